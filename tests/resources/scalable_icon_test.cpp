// SPDX-License-Identifier: MIT
// The scalable program icon is drawn by the same generator as the PNG sizes; a desktop that
// scales it must show the same picture, not an older one left behind when the PNGs were redrawn.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QString>
#include <QSvgRenderer>

#include <cstdlib>
#include <string>

namespace nerin {
namespace {

const QString kIcons = QStringLiteral(NERIN_SOURCE_DIR "/resources/program-icon/");

QImage Rendered(QSvgRenderer& svg, int side) {
  QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  svg.render(&painter);
  painter.end();
  return image;
}

// The share of pixels whose colour or coverage differs by more than a smoothed edge would.
double ShareOfDifferentPixels(const QImage& a, const QImage& b) {
  int different = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y);
      const QRgb q = b.pixel(x, y);
      const int worst = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                  std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
      if (worst > 48) ++different;
    }
  }
  return static_cast<double>(different) / (a.width() * a.height());
}

TEST(ScalableProgramIcon, ShowsThePictureOfTheDrawnSizes) {
  QSvgRenderer svg(kIcons + QStringLiteral("nerin-viewer.svg"));
  ASSERT_TRUE(svg.isValid());
  EXPECT_EQ(svg.viewBoxF().width(), svg.viewBoxF().height()) << "an icon is square";
  // A bar or the milestone out of place is 2 % of the picture or more; smaller sizes snap
  // their edges to whole pixels by design, so they may differ along an edge.
  const struct {
    int side;
    double most_different;
  } rows[] = {{256, 0.002}, {128, 0.005}, {64, 0.02}};
  for (const auto& row : rows) {
    const QImage drawn = QImage(kIcons + QStringLiteral("nerin-viewer-%1.png").arg(row.side))
                             .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    ASSERT_EQ(drawn.width(), row.side);
    EXPECT_LE(ShareOfDifferentPixels(Rendered(svg, row.side), drawn), row.most_different)
        << row.side << " pixels";
  }
}

}  // namespace
}  // namespace nerin
