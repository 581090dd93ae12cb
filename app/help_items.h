// SPDX-License-Identifier: MIT
// The documents of the Help and About windows: a caption and a list of items, each drawn by
// its kind (text_layout.h). No Qt here.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "views/chart_painter.h"

namespace nerin {

inline constexpr std::int64_t HELP_HEADING = 0;
inline constexpr std::int64_t HELP_PARAGRAPH = 2;
inline constexpr std::int64_t HELP_KEY_ROW = 3;
inline constexpr std::int64_t HELP_NOTE = 4;
inline constexpr std::int64_t HELP_SPACER = 5;
inline constexpr std::int64_t HELP_LEGEND_ROW = 6;
inline constexpr std::int64_t HELP_TITLE = 7;
inline constexpr std::int64_t HELP_CENTRED_LINE = 8;
inline constexpr std::int64_t HELP_TOOLBAR_ROW = 9;
inline constexpr std::int64_t HELP_SMALL_NOTE = 10;

struct HelpItem {
  std::int64_t kind = HELP_SPACER;
  std::string text;
  // The description; empty for the kinds that have none.
  std::string text2;
  // The icon number of a toolbar row, the line colour of a legend row or the text colour of a
  // centred line (colours as 0xBBGGRR), else -1.
  std::int64_t value = -1;
};

struct HelpDocument {
  // The word in the dark header band.
  std::string caption;
  std::vector<HelpItem> items;
};

inline constexpr std::int64_t ColourValue(Rgb colour) {
  return static_cast<std::int64_t>(colour.r) | static_cast<std::int64_t>(colour.g) << 8 |
         static_cast<std::int64_t>(colour.b) << 16;
}

inline constexpr Rgb ColourOfValue(std::int64_t value) {
  return Rgb{static_cast<std::uint8_t>(value & 0xFF), static_cast<std::uint8_t>((value >> 8) & 0xFF),
             static_cast<std::uint8_t>((value >> 16) & 0xFF)};
}

void AddHelpItem(HelpDocument& document, std::int64_t kind, const std::string& text,
                 const std::string& text2 = {}, std::int64_t value = -1);

// Empty the document and fill it with the Help or the About window's contents.
void FillHelpDocument(HelpDocument& document);
// `version` is the program's version number, shown as "Version <version>".
void FillAboutDocument(HelpDocument& document, const std::string& version);

}  // namespace nerin
