// SPDX-License-Identifier: MIT
#include "resources/toolbar_icons.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <string>

namespace nerin {
namespace {

// A corner this faint is background: the rounded edge of a picture may touch it with its smoothing.
constexpr int kClear = 16;

struct IconSet {
  bool large;
  int side;
};
constexpr IconSet kSets[] = {{false, TOOLBAR_ICON_SMALL}, {true, TOOLBAR_ICON_LARGE}};

RgbaImage Decode(const PngData& data) {
  RgbaImage image;
  if (!DecodePng(data.bytes, data.size, image)) return {};
  return image;
}

int Premultiplied(const RgbaImage& image, std::size_t pixel, int channel) {
  const int alpha = image.pixels[pixel * 4 + 3];
  return channel == 3 ? alpha : image.pixels[pixel * 4 + channel] * alpha / 255;
}

// The picture averaged down to 8 x 8 cells of premultiplied colour and coverage, so that one
// picture drawn at two sizes can be compared.
std::array<double, 256> Thumb(const RgbaImage& image) {
  std::array<double, 256> thumb{};
  const int cell = image.width / 8;
  for (int y = 0; y < cell * 8; ++y) {
    for (int x = 0; x < cell * 8; ++x) {
      for (int channel = 0; channel < 4; ++channel) {
        thumb[((y / cell) * 8 + x / cell) * 4 + channel] +=
            Premultiplied(image, static_cast<std::size_t>(y) * image.width + x, channel) /
            (255.0 * cell * cell);
      }
    }
  }
  return thumb;
}

double Distance(const std::array<double, 256>& a, const std::array<double, 256>& b) {
  double sum = 0;
  for (std::size_t i = 0; i < a.size(); ++i) sum += (a[i] - b[i]) * (a[i] - b[i]);
  return std::sqrt(sum);
}

// Checks the size, that at least 1/8 of the pixels are opaque and that the corners are clear.
void ExpectPictureOnClearGround(const RgbaImage& image, int side, const std::string& what) {
  ASSERT_EQ(image.width, side) << what;
  ASSERT_EQ(image.height, side) << what;
  int opaque = 0;
  for (std::size_t i = 3; i < image.pixels.size(); i += 4) opaque += image.pixels[i] >= 128 ? 1 : 0;
  EXPECT_GE(opaque, side * side / 8) << what;
  const std::size_t last = side - 1;
  for (std::size_t corner : {std::size_t{0}, last, last * side, last * side + last}) {
    EXPECT_LE(image.pixels[corner * 4 + 3], kClear) << what << ", corner pixel " << corner;
  }
}

TEST(ToolbarIcons, EveryIconIsAnRgbaPictureOfItsSetSizeOnAClearGround) {
  for (const IconSet& set : kSets) {
    for (int index = 0; index < TOOLBAR_ICON_COUNT; ++index) {
      const std::string what = "icon " + std::to_string(index) + " at " + std::to_string(set.side);
      const PngData data = ToolbarIconPng(index, set.large);
      ASSERT_GT(data.size, 33u) << what;
      EXPECT_EQ(data.bytes[24], 8) << what << ": 8 bits per channel";
      EXPECT_EQ(data.bytes[25], 6) << what << ": colour type RGBA";
      ExpectPictureOnClearGround(Decode(data), set.side, what);
    }
  }
}

TEST(ToolbarIcons, NoTwoIconsOfASetAreAlike) {
  for (const IconSet& set : kSets) {
    for (int a = 0; a < TOOLBAR_ICON_COUNT; ++a) {
      const RgbaImage first = Decode(ToolbarIconPng(a, set.large));
      for (int b = a + 1; b < TOOLBAR_ICON_COUNT; ++b) {
        const RgbaImage second = Decode(ToolbarIconPng(b, set.large));
        int different = 0;
        for (std::size_t pixel = 0; pixel < first.pixels.size() / 4; ++pixel) {
          for (int channel = 0; channel < 4; ++channel) {
            if (std::abs(Premultiplied(first, pixel, channel) - Premultiplied(second, pixel, channel)) > 48) {
              ++different;
              break;
            }
          }
        }
        EXPECT_GE(different, set.side / 4) << "icons " << a << " and " << b << " at " << set.side;
      }
    }
  }
}

// Each 40-pixel picture is nearer to the 24-pixel picture of its number than to any other.
TEST(ToolbarIcons, BothSetsShowTheSamePicturesInTheSameOrder) {
  std::array<double, 256> small[TOOLBAR_ICON_COUNT];
  for (int index = 0; index < TOOLBAR_ICON_COUNT; ++index) {
    small[index] = Thumb(Decode(ToolbarIconPng(index, false)));
  }
  for (int index = 0; index < TOOLBAR_ICON_COUNT; ++index) {
    const std::array<double, 256> large = Thumb(Decode(ToolbarIconPng(index, true)));
    for (int other = 0; other < TOOLBAR_ICON_COUNT; ++other) {
      if (other == index) continue;
      EXPECT_LT(Distance(large, small[index]), Distance(large, small[other]))
          << "the 40-pixel icon " << index << " looks like the 24-pixel icon " << other;
    }
  }
}

TEST(ProgramIcon, EverySizeIsAPictureOnAClearGround) {
  for (int side : PROGRAM_ICON_SIZES) {
    ExpectPictureOnClearGround(Decode(ProgramIconPng(side)), side, "size " + std::to_string(side));
  }
}

TEST(EmbeddedIcons, UnknownNumbersAndSizesGiveNoData) {
  const int numbers[] = {-1, TOOLBAR_ICON_COUNT, 1000, INT_MIN, INT_MAX};
  for (int index : numbers) {
    EXPECT_EQ(ToolbarIconPng(index, false).bytes, nullptr) << index;
    EXPECT_EQ(ToolbarIconPng(index, true).size, 0u) << index;
  }
  const int sizes[] = {0, -16, 15, 17, 24, 40, 512, INT_MAX};
  for (int side : sizes) {
    EXPECT_EQ(ProgramIconPng(side).bytes, nullptr) << side;
    EXPECT_EQ(ProgramIconPng(side).size, 0u) << side;
  }
}

}  // namespace
}  // namespace nerin
