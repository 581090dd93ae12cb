// SPDX-License-Identifier: MIT
// Paints the toolbar pictures (24 and 40 pixels) and the program icon (16 to 256 pixels) and writes
// them as RGBA PNG files under the given resources folder, and the program icon once more as a
// drawing that scales (program-icon/nerin-viewer.svg) when Qt's SVG module is there:
//   nerin-make-icons <resources folder>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QString>
#ifdef NERIN_ICONS_SVG
#include <QBuffer>
#include <QRegularExpression>
#include <QSvgGenerator>
#endif

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

#ifdef NERIN_ICONS_SVG
// Drawn as the largest PNG is, so the drawing looks like the 256-pixel icon: at that scale the
// edges the canvas snaps to whole pixels move by a quarter unit at most.
bool WriteSvg(const QString& path) {
  constexpr int kPixels = 256;
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  QSvgGenerator svg;
  svg.setOutputDevice(&buffer);
  svg.setSize(QSize(kPixels, kPixels));
  svg.setViewBox(QRectF(0, 0, kPixels, kPixels));
  svg.setTitle(QStringLiteral("Nerin Plan Viewer"));
  svg.setDescription(QStringLiteral("Program icon of Nerin Plan Viewer"));
  {
    IconCanvas canvas(svg, kPixels, PROGRAM_UNITS);
    DrawProgramPicture(canvas);
  }
  // The generator gives every group the painter's font, with no size, and its size in
  // millimetres; the icon has no text, and an icon theme measures in pixels.
  QString text = QString::fromUtf8(buffer.data());
  text.remove(QRegularExpression(QStringLiteral("\\s*font-family=\"[^\"]*\" font-size=\"[^\"]*\" "
                                                "font-weight=\"[^\"]*\" font-style=\"[^\"]*\"\\s*")));
  text.replace(QRegularExpression(QStringLiteral("width=\"[0-9.]+mm\" height=\"[0-9.]+mm\"")),
               QStringLiteral("width=\"%1\" height=\"%1\"").arg(kPixels));
  QFile file(path);
  const QByteArray bytes = text.toUtf8();
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}
#endif

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
#ifdef NERIN_ICONS_SVG
  const QString svg = folder + QStringLiteral("/nerin-viewer.svg");
  if (!WriteSvg(svg)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(svg));
    return 1;
  }
  ++written;
#else
  std::printf("Qt's SVG module is missing (qt6-svg-dev): the scalable program icon is not redrawn\n");
#endif
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
