// SPDX-License-Identifier: MIT
// Paints the toolbar pictures (24 and 40 pixels) and the program icon (16 to 256 pixels) and writes
// them as RGBA PNG files under the given resources folder:
//   nerin-make-icons <resources folder>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QString>

#include <cstdio>
#include <functional>
#include <vector>

#include "resources/icon_generator/icon_canvas.h"
#include "resources/icon_generator/pictures.h"
#include "resources/png_codec.h"
#include "resources/toolbar_icons.h"

namespace nerin::icons {
namespace {

static_assert(TOOLBAR_PICTURE_COUNT == TOOLBAR_ICON_COUNT);

QImage Paint(int pixels, double units, const std::function<void(IconCanvas&)>& draw) {
  QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  {
    IconCanvas canvas(image, units);
    draw(canvas);
  }
  return image.convertToFormat(QImage::Format_RGBA8888);
}

bool WritePng(const QImage& image, const QString& path) {
  RgbaImage rgba;
  rgba.width = image.width();
  rgba.height = image.height();
  rgba.pixels.reserve(static_cast<std::size_t>(rgba.width) * rgba.height * 4);
  for (int y = 0; y < image.height(); ++y) {
    const uchar* row = image.constScanLine(y);
    rgba.pixels.insert(rgba.pixels.end(), row, row + static_cast<std::size_t>(rgba.width) * 4);
  }
  std::vector<std::uint8_t> png;
  if (!EncodePng(rgba, png)) return false;
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  const auto length = static_cast<qint64>(png.size());
  return file.write(reinterpret_cast<const char*>(png.data()), length) == length;
}

bool MakeFolder(const QString& folder) {
  if (QDir().mkpath(folder)) return true;
  std::fprintf(stderr, "cannot create %s\n", qPrintable(folder));
  return false;
}

int Run(const QString& root) {
  int written = 0;
  const int toolbar_sizes[] = {TOOLBAR_ICON_SMALL, TOOLBAR_ICON_LARGE};
  for (int pixels : toolbar_sizes) {
    const QString folder = root + QStringLiteral("/icons/") + QString::number(pixels);
    if (!MakeFolder(folder)) return 1;
    for (int index = 0; index < TOOLBAR_PICTURE_COUNT; ++index) {
      const QString path = folder + '/' + ToolbarPictureName(index) + QStringLiteral(".png");
      const QImage image =
          Paint(pixels, TOOLBAR_UNITS, [index](IconCanvas& canvas) { DrawToolbarPicture(index, canvas); });
      if (!WritePng(image, path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
      }
      ++written;
    }
  }
  const QString folder = root + QStringLiteral("/program-icon");
  if (!MakeFolder(folder)) return 1;
  for (int pixels : PROGRAM_ICON_SIZES) {
    const QString path = folder + QStringLiteral("/nerin-viewer-%1.png").arg(pixels);
    if (!WritePng(Paint(pixels, PROGRAM_UNITS, DrawProgramPicture), path)) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
      return 1;
    }
    ++written;
  }
  std::printf("%d icons written under %s\n", written, qPrintable(root));
  return 0;
}

}  // namespace
}  // namespace nerin::icons

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: nerin-make-icons <resources folder>\n");
    return 2;
  }
  return nerin::icons::Run(QString::fromLocal8Bit(argv[1]));
}
