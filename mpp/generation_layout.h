// SPDX-License-Identifier: MIT
// What differs between the generations of binary plan files, and between the saving versions
// inside one generation, as one row per kind of file. The row is chosen once, when the file is
// recognised; the reading code reads the row and never asks which generation it is in.
// A new generation is a new row (and its samples).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "mpp/byte_cursor.h"

namespace nerin::mpp {

// The file's format generation, from its own format string.
enum class Generation { Mpp9 = 9, Mpp12 = 12, Mpp14 = 14 };

// How a generation's records are laid out: the product changed the task, assignment and link
// layouts twice, and files of one generation come in more than one of them.
enum class RecordLayout {
  Classic,    // MPP9 and MPP12 as saved by their own versions (and most later savers)
  Early2010,  // MPP14 saved by 14.0, and MPP9/MPP12 files an early 14.0 build wrote
  Late,       // MPP14 saved by 15.0 or later
};

// A flag bit inside a row's index item.
struct FlagBit {
  std::uint8_t byte = 0;
  std::uint8_t mask = 0;
  bool In(const ByteCursor& item) const { return (item.U8At(byte).value_or(0) & mask) != 0; }
};

// A link record's fields.
struct LinkLayout {
  std::size_t recordSize = 20;
  std::size_t lagOffset = 16;
  std::size_t lagFormatOffset = 14;
};

// A calendar record's fields.
struct CalendarLayout {
  std::size_t uidOffset = 0;
  std::size_t baseOffset = 4;
  std::size_t resourceOffset = 8;
  // The variable-data key of a calendar's week days and exceptions, and whether the count of
  // exceptions comes before the week days (MPP9) or after them.
  std::uint16_t hoursKey = 8;
  bool exceptionCountFirst = false;
};

struct GenerationLayout {
  Generation generation = Generation::Mpp14;
  RecordLayout layout = RecordLayout::Classic;
  std::string_view digits;       // "14": the storages are named after it
  std::string_view dataStorage;  // "   114"
  std::string_view outerProps;   // "Props14"

  // The variable-data index: MPP9 keeps one-byte keys (taken from the field map) and
  // three-byte UIDs in 8-byte entries; later generations the field's number and full UIDs.
  bool oneByteVarKeys = false;
  std::size_t varEntrySize = 12;

  // Index item sizes of the entity tables.
  std::size_t taskItemSize = 47;
  std::size_t resourceItemSize = 37;
  std::size_t assignmentItemSize = 34;
  std::size_t linkItemSize = 10;
  std::size_t calendarItemSize = 10;
  // A task record this short (or shorter) is a blank row.
  std::size_t blankTaskRecordSize = 16;
  // Assignment records have a fixed length.
  std::size_t assignmentRecordSize = 110;

  // Task flags in the first index item; manual scheduling in the second (MPP14 only).
  FlagBit milestone;
  FlagBit summary;
  FlagBit critical;
  std::optional<FlagBit> manual;
  // An MPP14 task is active while this bit of its second item is set; older generations keep
  // no inactive tasks.
  std::optional<FlagBit> active;
  // A resource's cost flag in its second index item.
  std::optional<FlagBit> costResource;

  LinkLayout link;
  CalendarLayout calendar;

  // Where the author's flag fields (Flag1-20) start in the first index item, as a bit number
  // from the item's start: the map's bit number of a flag is added to it. Nothing where no
  // sample has shown it.
  std::optional<std::size_t> taskCustomFlagBase;
  std::optional<std::size_t> resourceCustomFlagBase;
  std::optional<std::size_t> assignmentCustomFlagBase;
};

// A bit of an index item counted from its first byte.
inline bool BitAt(const ByteCursor& item, std::size_t bit) {
  return (item.U8At(bit / 8).value_or(0) & (1u << (bit % 8))) != 0;
}

// The row for a recognised file: its generation, the version that saved it and what its
// assignment field map says about the record layout (the largest fixed offset of the classic
// layout is 134).
GenerationLayout ChooseGenerationLayout(Generation generation, std::int64_t savingVersion,
                                        std::uint16_t assignmentMapLargestOffset);

}  // namespace nerin::mpp
