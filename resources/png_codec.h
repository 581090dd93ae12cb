// SPDX-License-Identifier: MIT
// PNG reading and writing in memory (libpng): decoding the embedded toolbar icons, encoding the
// icons the generator draws. The chart export streams its rows to libpng itself (views/qt/).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace nerin {

// RGBA8, rows top to bottom, straight (non-premultiplied) alpha.
struct RgbaImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;
};

// The largest picture DecodePng accepts: each side and the pixel count (256 MiB of RGBA).
inline constexpr int PNG_DECODE_MAX_SIDE = 32768;
inline constexpr std::int64_t PNG_DECODE_MAX_PIXELS = std::int64_t{1} << 26;

// False on any error (out is then left as it was); never crashes on bad data.
bool DecodePng(const unsigned char* bytes, std::size_t size, RgbaImage& out);
// False when the image is empty or its pixel count does not match its size.
bool EncodePng(const RgbaImage& image, std::vector<std::uint8_t>& out);

}  // namespace nerin
