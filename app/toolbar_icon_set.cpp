// SPDX-License-Identifier: MIT
#include "app/toolbar_icon_set.h"

#include <cmath>

#include <QGuiApplication>
#include <QImage>
#include <QScreen>

#include "app/window_geometry.h"
#include "resources/png_codec.h"

namespace nerin {

QImage DecodeEmbeddedPng(const PngData& png) {
  RgbaImage decoded;
  if (png.bytes == nullptr || !DecodePng(png.bytes, png.size, decoded)) {
    return {};
  }
  const QImage view(decoded.pixels.data(), decoded.width, decoded.height, decoded.width * 4,
                    QImage::Format_RGBA8888);
  return view.copy();  // detach from the decoder's buffer
}

bool UseLargeToolbarIcons(double displayScale) {
  return displayScale >= 1.35;
}

double DisplayScaleFactor() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) {
    return 1.0;
  }
  return screen->logicalDotsPerInchX() / 96.0 * screen->devicePixelRatio();
}

bool LoadToolbarIcons(double displayScale, ToolbarIconSet& icons) {
  const bool large = UseLargeToolbarIcons(displayScale);
  // 24 x 24 logical pixels, held at the resolution of the screen so that they stay sharp.
  const double ratio = displayScale > 1.0 ? displayScale : 1.0;
  const int side = static_cast<int>(std::lround(TOOLBAR_ICON_SIZE * ratio));
  for (int i = 0; i < TOOLBAR_ICON_COUNT; ++i) {
    QImage image = DecodeEmbeddedPng(ToolbarIconPng(i, large));
    if (image.isNull()) {
      return false;
    }
    if (image.width() != side || image.height() != side) {
      image = image.scaled(side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setDevicePixelRatio(static_cast<double>(side) / TOOLBAR_ICON_SIZE);
    icons[static_cast<std::size_t>(i)] = pixmap;
  }
  return true;
}

}  // namespace nerin
