// SPDX-License-Identifier: MIT
// The one way the binary plan reader reads bytes: a cursor over a span of little-endian
// values. Every read checks that its bytes are there; a read past the end sets a sticky
// error that the caller tests once per record, and the value it gives is never taken for
// data (the caller sees the error first). Sub-ranges get cursors of their own, so a record
// cannot read into its neighbour.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace nerin::mpp {

class ByteCursor {
 public:
  ByteCursor() = default;
  explicit ByteCursor(std::string_view bytes) : bytes_(bytes) {}

  // A cursor that failed before it read anything: a sub-range that was not there.
  static ByteCursor Missing() {
    ByteCursor cursor;
    cursor.failed_ = true;
    return cursor;
  }

  bool Ok() const { return !failed_; }
  bool Failed() const { return failed_; }
  void Fail() { failed_ = true; }
  std::size_t Size() const { return bytes_.size(); }
  std::size_t Position() const { return position_; }
  std::size_t Remaining() const { return bytes_.size() - position_; }
  bool AtEnd() const { return position_ >= bytes_.size(); }
  std::string_view Bytes() const { return bytes_; }
  std::string_view Rest() const { return bytes_.substr(position_); }

  // Moves to `offset` from the start; past the end is an error.
  ByteCursor& Seek(std::size_t offset) {
    if (offset > bytes_.size()) {
      failed_ = true;
      position_ = bytes_.size();
    } else {
      position_ = offset;
    }
    return *this;
  }
  void Skip(std::size_t count) { Seek(count > Remaining() ? bytes_.size() + 1 : position_ + count); }

  std::uint8_t U8() { return static_cast<std::uint8_t>(Unsigned(1)); }
  std::uint16_t U16() { return static_cast<std::uint16_t>(Unsigned(2)); }
  std::uint32_t U32() { return static_cast<std::uint32_t>(Unsigned(4)); }
  std::int32_t I32() { return static_cast<std::int32_t>(U32()); }
  std::uint64_t U64() { return Unsigned(8); }
  double F64() { return std::bit_cast<double>(U64()); }

  // The next `count` bytes, or an error and nothing.
  std::string_view Take(std::size_t count) {
    if (failed_ || count > Remaining()) {
      failed_ = true;
      return {};
    }
    const std::string_view taken = bytes_.substr(position_, count);
    position_ += count;
    return taken;
  }
  // The next `count` bytes as a cursor of their own; this one moves past them.
  ByteCursor Child(std::size_t count) {
    const std::string_view taken = Take(count);
    return failed_ ? Missing() : ByteCursor(taken);
  }
  // The sub-range [offset, offset + count) without moving; a failed cursor when it does not
  // lie inside. `count` npos: to the end.
  ByteCursor Range(std::size_t offset, std::size_t count = std::string_view::npos) const {
    if (failed_ || offset > bytes_.size()) return Missing();
    if (count == std::string_view::npos) return ByteCursor(bytes_.substr(offset));
    if (count > bytes_.size() - offset) return Missing();
    return ByteCursor(bytes_.substr(offset, count));
  }

  // Reads at an offset without moving, for fields that may be absent: nothing when the bytes
  // are not all there. The cursor's own state is not touched.
  std::optional<std::uint8_t> U8At(std::size_t offset) const { return Peek<std::uint8_t>(offset); }
  std::optional<std::uint16_t> U16At(std::size_t offset) const { return Peek<std::uint16_t>(offset); }
  std::optional<std::uint32_t> U32At(std::size_t offset) const { return Peek<std::uint32_t>(offset); }
  std::optional<std::int32_t> I32At(std::size_t offset) const {
    const auto value = Peek<std::uint32_t>(offset);
    if (!value) return std::nullopt;
    return static_cast<std::int32_t>(*value);
  }
  std::optional<double> F64At(std::size_t offset) const {
    const auto value = Peek<std::uint64_t>(offset);
    if (!value) return std::nullopt;
    return std::bit_cast<double>(*value);
  }

 private:
  template <typename T>
  std::optional<T> Peek(std::size_t offset) const {
    if (offset > bytes_.size() || sizeof(T) > bytes_.size() - offset) return std::nullopt;
    return static_cast<T>(Gather(offset, sizeof(T)));
  }
  std::uint64_t Gather(std::size_t offset, std::size_t width) const {
    std::uint64_t value = 0;
    for (std::size_t i = width; i-- > 0;) value = (value << 8) | static_cast<unsigned char>(bytes_[offset + i]);
    return value;
  }
  std::uint64_t Unsigned(std::size_t width) {
    if (failed_ || width > Remaining()) {
      failed_ = true;
      return 0;
    }
    const std::uint64_t value = Gather(position_, width);
    position_ += width;
    return value;
  }

  std::string_view bytes_;
  std::size_t position_ = 0;
  bool failed_ = false;
};

}  // namespace nerin::mpp
