// SPDX-License-Identifier: MIT
#include "resources/png_codec.h"

#include <png.h>

#include <cstring>
#include <limits>
#include <new>
#include <utility>

namespace nerin {
namespace {

// png_image_free may be called any number of times; libpng frees the image itself on most errors.
class ImageGuard {
 public:
  ImageGuard() {
    std::memset(&image_, 0, sizeof image_);
    image_.version = PNG_IMAGE_VERSION;
  }
  ~ImageGuard() { png_image_free(&image_); }
  ImageGuard(const ImageGuard&) = delete;
  ImageGuard& operator=(const ImageGuard&) = delete;
  png_image& get() { return image_; }

 private:
  png_image image_;
};

// Bytes of an RGBA image, or 0 when the sides are not positive or the count overflows.
std::size_t RgbaByteCount(int width, int height) {
  if (width <= 0 || height <= 0) return 0;
  const std::size_t row = static_cast<std::size_t>(width) * 4;
  if (static_cast<std::size_t>(height) > std::numeric_limits<std::size_t>::max() / row) return 0;
  return row * static_cast<std::size_t>(height);
}

}  // namespace

bool DecodePng(const unsigned char* bytes, std::size_t size, RgbaImage& out) {
  if (bytes == nullptr || size == 0) return false;
  ImageGuard guard;
  png_image& image = guard.get();
  if (png_image_begin_read_from_memory(&image, bytes, size) == 0) return false;
  if (image.width == 0 || image.height == 0 || image.width > PNG_DECODE_MAX_SIDE ||
      image.height > PNG_DECODE_MAX_SIDE ||
      static_cast<std::int64_t>(image.width) * image.height > PNG_DECODE_MAX_PIXELS) {
    return false;
  }
  image.format = PNG_FORMAT_RGBA;
  RgbaImage decoded;
  decoded.width = static_cast<int>(image.width);
  decoded.height = static_cast<int>(image.height);
  const std::size_t byte_count = RgbaByteCount(decoded.width, decoded.height);
  if (byte_count != PNG_IMAGE_SIZE(image)) return false;
  try {
    decoded.pixels.resize(byte_count);
  } catch (const std::bad_alloc&) {
    return false;
  }
  if (png_image_finish_read(&image, nullptr, decoded.pixels.data(), 0, nullptr) == 0) return false;
  out = std::move(decoded);
  return true;
}

bool EncodePng(const RgbaImage& image, std::vector<std::uint8_t>& out) {
  const std::size_t byte_count = RgbaByteCount(image.width, image.height);
  if (byte_count == 0 || image.pixels.size() != byte_count) return false;
  // libpng takes the row stride as a signed 32-bit count of bytes.
  if (image.width > std::numeric_limits<png_int_32>::max() / 4) return false;

  ImageGuard guard;
  png_image& png = guard.get();
  png.width = static_cast<png_uint_32>(image.width);
  png.height = static_cast<png_uint_32>(image.height);
  png.format = PNG_FORMAT_RGBA;

  // A first guess that fits most pictures; when it is too small libpng reports the size it needs.
  std::vector<std::uint8_t> encoded;
  png_alloc_size_t encoded_size = byte_count / 4 + 4096;
  for (int attempt = 0; attempt < 2; ++attempt) {
    try {
      encoded.resize(encoded_size);
    } catch (const std::bad_alloc&) {
      return false;
    }
    const png_alloc_size_t capacity = encoded_size;
    if (png_image_write_to_memory(&png, encoded.data(), &encoded_size, 0, image.pixels.data(), 0, nullptr) !=
        0) {
      encoded.resize(encoded_size);
      out = std::move(encoded);
      return true;
    }
    if (encoded_size <= capacity) return false;  // a real error, not a short buffer
    png_image_free(&png);
    png.warning_or_error = 0;
    png.message[0] = '\0';
  }
  return false;
}

}  // namespace nerin
