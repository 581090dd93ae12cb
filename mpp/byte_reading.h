// SPDX-License-Identifier: MIT
// Little-endian values at byte offsets, every read checked against the end of the bytes.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>

namespace nerin::mpp {

// The unsigned value of `width` bytes at `offset`, or nothing when they do not all lie inside.
inline std::optional<std::uint64_t> UnsignedAt(std::string_view bytes, std::size_t offset, std::size_t width) {
  if (offset > bytes.size() || width > bytes.size() - offset) return std::nullopt;
  std::uint64_t value = 0;
  for (std::size_t i = width; i-- > 0;) {
    value = (value << 8) | static_cast<unsigned char>(bytes[offset + i]);
  }
  return value;
}

// The same reads with 0 for bytes that are not there, where the caller checked the length.
inline std::uint8_t U8At(std::string_view bytes, std::size_t offset) {
  return static_cast<std::uint8_t>(UnsignedAt(bytes, offset, 1).value_or(0));
}
inline std::uint16_t U16At(std::string_view bytes, std::size_t offset) {
  return static_cast<std::uint16_t>(UnsignedAt(bytes, offset, 2).value_or(0));
}
inline std::uint32_t U32At(std::string_view bytes, std::size_t offset) {
  return static_cast<std::uint32_t>(UnsignedAt(bytes, offset, 4).value_or(0));
}
inline std::uint64_t U64At(std::string_view bytes, std::size_t offset) {
  return UnsignedAt(bytes, offset, 8).value_or(0);
}

inline std::optional<std::int32_t> I32Field(std::string_view bytes, std::size_t offset) {
  const auto value = UnsignedAt(bytes, offset, 4);
  if (!value) return std::nullopt;
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(*value));
}
inline std::optional<std::uint16_t> U16Field(std::string_view bytes, std::size_t offset) {
  const auto value = UnsignedAt(bytes, offset, 2);
  if (!value) return std::nullopt;
  return static_cast<std::uint16_t>(*value);
}
inline std::optional<double> F64Field(std::string_view bytes, std::size_t offset) {
  const auto value = UnsignedAt(bytes, offset, 8);
  if (!value) return std::nullopt;
  return std::bit_cast<double>(*value);
}

}  // namespace nerin::mpp
