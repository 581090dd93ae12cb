// SPDX-License-Identifier: MIT
// The QPainter adapter cuts every fill and text to the clip and to its band itself, writes
// thin fills straight into images and keeps texts as images across frames: each way must
// give the pixels the plain toolkit calls would.
#include "views/qt/qt_chart_painter.h"

#include <gtest/gtest.h>

#include <QGuiApplication>

#include <cstdlib>
#include <string>

namespace nerin {
namespace {

constexpr QRgb kWhite = 0xffffffff;

// The pixels of a w x h image that are not white, as a box; empty when there is none.
QRect Painted(const QImage& image) {
  QRect box;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixel(x, y) != kWhite) box |= QRect(x, y, 1, 1);
    }
  }
  return box;
}

class QtChartPainterTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (QGuiApplication::instance() == nullptr) {
      setenv("QT_QPA_PLATFORM", "offscreen", 1);
      static int argc = 1;
      static char name[] = "qt_chart_painter_test";
      static char* argv[] = {name, nullptr};
      static QGuiApplication app(argc, argv);
    }
  }

  // Draws into a white 100 x 60 image, or into the band of rows bandTop .. bandTop + 59.
  template <typename Draw>
  QImage Image(Draw draw, int bandTop = -1, ChartTextCache* cache = nullptr) {
    QImage image(100, 60, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    if (bandTop < 0) {
      QtChartPainter chart(painter, fonts_, 100, 60, cache);
      draw(chart);
    } else {
      QtChartPainter chart(painter, fonts_, 100, bandTop, 60, cache);
      draw(chart);
    }
    return image;
  }

  ChartFonts fonts_ = LoadChartFonts();
};

TEST_F(QtChartPainterTest, FillsAreCutToClipAndBand) {
  struct Case {
    const char* name;
    std::int64_t x, y, w, h;  // the fill, in chart pixels
    bool clipped;             // under the clip 20, 10, 30 x 25
    int bandTop;              // -1: the whole image
    QRect expected;           // in image pixels
  };
  const Case cases[] = {
      {"thin", 5, 0, 1, 60, false, -1, QRect(5, 0, 1, 60)},
      {"thin clipped", 25, 0, 3, 60, true, -1, QRect(25, 10, 3, 25)},
      {"wide clipped", 0, 0, 100, 60, true, -1, QRect(20, 10, 30, 25)},
      {"band top", 40, 95, 2, 10, false, 100, QRect(40, 0, 2, 5)},
      {"band", 40, 105, 2, 10, false, 100, QRect(40, 5, 2, 10)},
      {"above band", 40, 80, 2, 10, false, 100, QRect()},
      {"band clipped", 0, 90, 100, 100, true, 100, QRect()},
      {"band clipped", 0, 0, 100, 200, true, 20, QRect(20, 0, 30, 15)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QImage image = Image(
        [&](ChartPainter& p) {
          if (c.clipped) p.SetClip(20, 10, 30, 25);
          p.FillRect(c.x, c.y, c.w, c.h, Rgb{9, 9, 9});
        },
        c.bandTop);
    EXPECT_EQ(Painted(image), c.expected);
  }
}

TEST_F(QtChartPainterTest, TextsStayInsideTheClip) {
  const QImage whole =
      Image([](ChartPainter& p) { p.Text(10, 20, "Quay wall", ChartFont::Text, Rgb{}, {}); });
  const QRect ink = Painted(whole);
  ASSERT_FALSE(ink.isEmpty());
  const int cut = ink.center().x();
  const QImage clipped = Image([&](ChartPainter& p) {
    p.SetClip(0, 0, cut, 60);
    p.Text(10, 20, "Quay wall", ChartFont::Text, Rgb{}, {});
  });
  // Left of the cut exactly the pixels of the whole text, right of it nothing.
  for (int y = 0; y < 60; ++y) {
    for (int x = 0; x < 100; ++x) {
      ASSERT_EQ(clipped.pixel(x, y), x < cut ? whole.pixel(x, y) : kWhite) << x << "," << y;
    }
  }
  // The same text lower in a band lands the same pixels higher up.
  const QImage band =
      Image([](ChartPainter& p) { p.Text(10, 520, "Quay wall", ChartFont::Text, Rgb{}, {}); }, 500);
  EXPECT_EQ(band, whole);
}

TEST_F(QtChartPainterTest, KeptTextsFollowColourAndFonts) {
  ChartTextCache cache;
  const auto draw = [](Rgb colour) {
    return [colour](ChartPainter& p) { p.Text(5, 5, "Deck", ChartFont::Bold, colour, {}); };
  };
  const QImage black = Image(draw(Rgb{}), -1, &cache);
  const QImage red = Image(draw(Rgb{255, 0, 0}), -1, &cache);
  EXPECT_EQ(Image(draw(Rgb{}), -1, &cache), black);
  EXPECT_EQ(Image(draw(Rgb{}), -1, nullptr), black);
  EXPECT_NE(red, black);
  EXPECT_EQ(Painted(red), Painted(black));
  std::int64_t width = 0;
  Image([&](ChartPainter& p) { width = p.TextWidth("Deck", ChartFont::Bold); }, -1, &cache);
  fonts_.bold.setPointSize(20);
  std::int64_t larger = 0;
  const QImage large = Image(
      [&](ChartPainter& p) {
        larger = p.TextWidth("Deck", ChartFont::Bold);
        p.Text(5, 5, "Deck", ChartFont::Bold, Rgb{}, {});
      },
      -1, &cache);
  EXPECT_GT(larger, width);
  EXPECT_GT(Painted(large).height(), Painted(black).height());
}

}  // namespace
}  // namespace nerin
