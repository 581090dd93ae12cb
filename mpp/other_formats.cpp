// SPDX-License-Identifier: MIT
// Plans in the product's other formats, recognised by their first bytes so that the user
// learns what the file is and how to open it, instead of a parse error about XML.
#include <string_view>

#include "mpp/mpp_reader.h"

namespace nerin {

namespace {

constexpr std::string_view MPX_REFUSAL =
    "This plan is in the old MPX text format, which the viewer does not read; save it as XML from the product.";
constexpr std::string_view DATABASE_REFUSAL =
    "This plan is in the product's database format (.mpd), which the viewer does not read; save it as XML or "
    ".mpp from the product.";

// The MPX format's first record names the format: "MPX," then the program that wrote it.
bool IsMpxText(std::string_view bytes) {
  constexpr std::string_view UTF8_BOM = "\xEF\xBB\xBF";
  if (bytes.starts_with(UTF8_BOM)) bytes.remove_prefix(UTF8_BOM.size());
  return bytes.starts_with("MPX,");
}

// A database file of the product: a Jet (or its successor's) database, whose page 0 holds the
// engine's name at byte 4.
bool IsPlanDatabase(std::string_view bytes) {
  constexpr std::string_view PAGE_START{"\x00\x01\x00\x00", 4};
  if (!bytes.starts_with(PAGE_START)) return false;
  const std::string_view engine = bytes.substr(PAGE_START.size());
  return engine.starts_with("Standard Jet DB") || engine.starts_with("Standard ACE DB");
}

}  // namespace

std::string_view OtherPlanFormatRefusal(std::string_view bytes) {
  if (IsMpxText(bytes)) return MPX_REFUSAL;
  if (IsPlanDatabase(bytes)) return DATABASE_REFUSAL;
  return {};
}

}  // namespace nerin
