// SPDX-License-Identifier: MIT
// One row's fields wherever the field map puts them, and the writer of the plan's tree.
// Shared by the reader's source files only.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "calendar/value_text.h"
#include "model/xml_document.h"
#include "mpp/byte_cursor.h"
#include "mpp/plan_reading.h"
#include "mpp/plan_tables.h"
#include "mpp/text_decoding.h"

namespace nerin::mpp {

// The fields of one row, wherever its map puts them.
class RowFields {
 public:
  RowFields(const EntityTable& table, std::size_t row, std::string_view record, std::int64_t uid = 0)
      : table_(table), record_(record), record2_(table.Record2(row)), uid_(uid) {}
  void SetUid(std::int64_t uid) { uid_ = uid; }

  // The field's bytes as a cursor of their own: `width` bytes, or (0) the whole value; a
  // failed cursor when the field is not there.
  ByteCursor Bytes(FieldLocation location, std::size_t width) const {
    switch (location.kind) {
      case FieldLocation::Kind::Fixed: {
        const ByteCursor block = location.block == 0 ? record_ : location.block == 1 ? record2_ : ByteCursor();
        return block.Range(location.offset, width == 0 ? std::string_view::npos : width);
      }
      case FieldLocation::Kind::Var: {
        const auto value = table_.Var(uid_, location.varKey);
        if (!value) return ByteCursor::Missing();
        return ByteCursor(*value).Range(0, width == 0 ? std::string_view::npos : width);
      }
      case FieldLocation::Kind::None:
        break;
    }
    return ByteCursor::Missing();
  }
  std::optional<std::int32_t> I32(FieldLocation location) const { return Bytes(location, 4).I32At(0); }
  std::optional<std::uint16_t> U16(FieldLocation location) const { return Bytes(location, 2).U16At(0); }
  std::optional<double> F64(FieldLocation location) const { return Bytes(location, 8).F64At(0); }
  std::string Timestamp(FieldLocation location) const { return TimestampText(Bytes(location, 4).Bytes(), 0); }
  std::string Text(FieldLocation location) const {
    const ByteCursor bytes = Bytes(location, 0);
    return bytes.Ok() ? Utf16LeText(bytes.Bytes()) : std::string();
  }
  std::optional<std::string_view> Blob(FieldLocation location) const {
    const ByteCursor bytes = Bytes(location, 0);
    if (bytes.Failed()) return std::nullopt;
    return bytes.Bytes();
  }

 private:
  const EntityTable& table_;
  ByteCursor record_;
  ByteCursor record2_;
  std::int64_t uid_;
};

class TreeWriter {
 public:
  explicit TreeWriter(XmlDocumentBuilder& builder) : builder_(builder) {}
  void Open(std::string_view name) { builder_.Open(name); }
  void Close() { builder_.Close(); }
  void Text(std::string_view name, std::string_view text) {
    if (!text.empty()) builder_.Element(name, text);
  }
  void Integer(std::string_view name, std::optional<std::int64_t> value) {
    if (value) builder_.Element(name, IntegerText(*value));
  }
  void Flag(std::string_view name, bool value) { builder_.Element(name, value ? "1" : "0"); }

 private:
  XmlDocumentBuilder& builder_;
};

}  // namespace nerin::mpp
