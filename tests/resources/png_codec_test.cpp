// SPDX-License-Identifier: MIT
#include "resources/png_codec.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace nerin {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Every channel varies; some pixels are transparent yet carry a colour, which must survive.
// noise: bytes that do not compress, so that the encoder outgrows its first buffer.
RgbaImage Picture(int width, int height, bool noise = false) {
  RgbaImage image{width, height, {}};
  std::uint32_t state = 12345;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      for (int channel = 0; channel < 4; ++channel) {
        state = state * 1664525u + 1013904223u;
        const int value = channel == 3 && (x + y) % 3 == 0 ? 0 : x * 37 + y * 11 + channel * 71;
        image.pixels.push_back(static_cast<std::uint8_t>(noise ? state >> 24 : value));
      }
    }
  }
  return image;
}

bool Same(const RgbaImage& a, const RgbaImage& b) {
  return a.width == b.width && a.height == b.height && a.pixels == b.pixels;
}

TEST(PngCodec, EncodedImagesDecodeToTheSamePixels) {
  const RgbaImage images[] = {Picture(1, 1),   Picture(2, 3),   Picture(40, 40),
                              Picture(257, 5), Picture(3, 300), Picture(200, 150, true)};
  for (const RgbaImage& image : images) {
    const std::string what = std::to_string(image.width) + "x" + std::to_string(image.height);
    Bytes png;
    ASSERT_TRUE(EncodePng(image, png)) << what;
    RgbaImage decoded;
    ASSERT_TRUE(DecodePng(png.data(), png.size(), decoded)) << what;
    EXPECT_TRUE(Same(decoded, image)) << what;
  }
}

TEST(PngCodec, EncodeRejectsImagesThatDoNotHoldTogether) {
  struct Row {
    const char* what;
    int width, height, pixel_bytes;
  };
  const Row rows[] = {
      {"no width", 0, 4, 0},          {"no height", 4, 0, 0},
      {"negative width", -2, -4, 32}, {"one byte short", 4, 4, 63},
      {"one byte over", 4, 4, 65},    {"a width far beyond the pixels", 1 << 30, 1, 64},
  };
  for (const Row& row : rows) {
    const RgbaImage image{row.width, row.height, Bytes(row.pixel_bytes, 200)};
    Bytes out = {1, 2, 3};
    EXPECT_FALSE(EncodePng(image, out)) << row.what;
    EXPECT_EQ(out, (Bytes{1, 2, 3})) << row.what;
  }
}

void PutBe32(Bytes& bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

// Recomputes the checksum of the chunk whose length field is at `at`, so that only the damage
// done to its content remains.
void FixCrc(Bytes& png, std::size_t at) {
  const std::uint32_t length = (png[at] << 24) | (png[at + 1] << 16) | (png[at + 2] << 8) | png[at + 3];
  std::uint32_t crc = 0xffffffffu;
  for (std::size_t i = at + 4; i < at + 8 + length; ++i) {
    crc ^= png[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
  }
  PutBe32(png, at + 8 + length, ~crc);
}

std::size_t IdatAt(const Bytes& png) {
  for (std::size_t at = 8; at + 8 <= png.size();
       at += 12 + ((png[at] << 24) | (png[at + 1] << 16) | (png[at + 2] << 8) | png[at + 3])) {
    if (std::string(png.begin() + at + 4, png.begin() + at + 8) == "IDAT") return at;
  }
  ADD_FAILURE() << "no IDAT";
  return 8;
}

std::size_t IdatLength(const Bytes& png) {
  const std::size_t at = IdatAt(png);
  return (png[at] << 24) | (png[at + 1] << 16) | (png[at + 2] << 8) | png[at + 3];
}

TEST(PngCodec, DecodeFailsCleanlyOnDamagedData) {
  constexpr std::size_t kIhdr = 8;  // the header chunk's length field; its data starts at 16
  struct Row {
    const char* what;
    std::function<void(Bytes&)> damage;
  };
  const Row rows[] = {
      {"empty", [](Bytes& png) { png.clear(); }},
      {"garbage", [](Bytes& png) { png.assign(png.size(), 0x5a); }},
      {"broken signature", [](Bytes& png) { png[1] ^= 0xff; }},
      {"cut inside the signature", [](Bytes& png) { png.resize(5); }},
      {"cut inside the header", [](Bytes& png) { png.resize(20); }},
      {"cut after the header", [](Bytes& png) { png.resize(33); }},
      {"cut inside the image data", [](Bytes& png) { png.resize(IdatAt(png) + 8 + IdatLength(png) / 2); }},
      {"wrong header checksum", [](Bytes& png) { png[29] ^= 1; }},
      {"wrong image data checksum", [](Bytes& png) { png[IdatAt(png) + 8 + IdatLength(png)] ^= 0x80; }},
      {"damaged image data with a matching checksum",
       [](Bytes& png) {
         png[IdatAt(png) + 8 + IdatLength(png) / 2] ^= 0x5a;
         FixCrc(png, IdatAt(png));
       }},
      {"more rows than the image data holds",
       [](Bytes& png) {
         PutBe32(png, 20, 25);
         FixCrc(png, kIhdr);
       }},
      {"a header claiming 30000 x 30000 pixels",
       [](Bytes& png) {
         PutBe32(png, 16, 30000);
         PutBe32(png, 20, 30000);
         FixCrc(png, kIhdr);
       }},
  };
  const RgbaImage before = Picture(2, 1);
  for (const Row& row : rows) {
    Bytes png;
    ASSERT_TRUE(EncodePng(Picture(24, 24), png));
    row.damage(png);
    RgbaImage out = before;
    EXPECT_FALSE(DecodePng(png.data(), png.size(), out)) << row.what;
    EXPECT_TRUE(Same(out, before)) << row.what << ": the image was changed";
  }
  RgbaImage out;
  EXPECT_FALSE(DecodePng(nullptr, 100, out));
}

}  // namespace
}  // namespace nerin
