// SPDX-License-Identifier: MIT
// The documents of the Help and About windows: a caption and a list of items, each drawn by
// its kind (text_layout.h). No Qt here.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "views/chart_painter.h"
#include "views/find.h"
#include "views/toolbar_tooltips.h"

namespace nerin {

// What an item is, which decides how it is laid out.
enum class HelpItemKind {
  Heading,
  Paragraph,
  KeyRow,
  Note,
  Spacer,
  LegendRow,  // a link type: its line in the chart's colour, its name and what it means
  Title,
  CentredLine,
  ToolbarRow,
  SmallNote,
  // Legend rows whose sample is not a link: the thin bar of the earlier version's dates, and
  // the mark at the left edge of a changed row. Laid out in the columns of the link legend rows.
  BarLegendRow,
  MarkLegendRow,
};

constexpr bool IsLegendRow(HelpItemKind kind) {
  return kind == HelpItemKind::LegendRow || kind == HelpItemKind::BarLegendRow || kind == HelpItemKind::MarkLegendRow;
}

struct HelpItem {
  HelpItemKind kind = HelpItemKind::Spacer;
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

// The toolbar's buttons, in toolbar order.
enum class ToolbarButton { Open, ZoomOut, ZoomIn, Fit, Find, Today, Critical, Collapse, Expand, Export, Compare, Help, About };

// What Help says of a toolbar button. Help's toolbar rows are made from these, and each button's
// tooltip is its description, so the two never say different things.
struct ToolbarText {
  ToolbarButton Button;
  const char* Name;
  const char* Description;
  std::int64_t Picture;  // the number of the toolbar picture the row shows
};

inline constexpr std::array<ToolbarText, 13> TOOLBAR_TEXTS = {{
    {ToolbarButton::Open, "Open", "Open an MS Project plan, XML or .mpp (Ctrl+O)", 0},
    {ToolbarButton::ZoomOut, "Zoom out", "Shrink the timeline (keypad -)", 1},
    {ToolbarButton::ZoomIn, "Zoom in", "Stretch the timeline (keypad +)", 2},
    {ToolbarButton::Fit, "Fit", "Fit the visible task bars into the view (F5)", 3},
    {ToolbarButton::Find, "Find", "Find the next matching task (F3)", 4},
    {ToolbarButton::Today, "Today", "Centre the timeline on today", 5},
    {ToolbarButton::Critical, "Critical", "Only critical tasks; stays pressed while the filter is on", 6},
    {ToolbarButton::Collapse, "Collapse", "Collapse all summary tasks", 7},
    {ToolbarButton::Expand, "Expand", "Expand all summary tasks", 8},
    {ToolbarButton::Export, "Export", "Save the chart as a PNG image or PDF document, or a list as a CSV file", 9},
    {ToolbarButton::Compare, "Compare", "Compare with another version (Ctrl+K); stays pressed while comparing", 15},
    {ToolbarButton::Help, "Help", "How to use the viewer", 10},
    {ToolbarButton::About, "About", "Version and contact", 11},
}};

// The tooltip of a toolbar button: Help's description of it. Export says what it writes on the
// tab shown: the chart as an image or a document, or the list as CSV.
constexpr const char* ToolbarToolTip(ToolbarButton button, ViewKind view = ViewKind::Gantt) {
  if (button == ToolbarButton::Export) return ExportButtonTooltip(view);
  for (const ToolbarText& text : TOOLBAR_TEXTS) {
    if (text.Button == button) return text.Description;
  }
  return "";
}

// The search field's tooltip, in the words of Help's "Finding tasks".
inline constexpr const char* SEARCH_FIELD_TOOLTIP =
    "Type part of a task name or a task ID, then press Enter or F3 for the next match";

void AddHelpItem(HelpDocument& document, HelpItemKind kind, const std::string& text,
                 const std::string& text2 = {}, std::int64_t value = -1);

// Empty the document and fill it with the Help or the About window's contents.
void FillHelpDocument(HelpDocument& document);
// `version` is the program's version number, shown as "Version <version>"; `contact` the
// address the project is reached at, shown as "Contact: <contact>".
void FillAboutDocument(HelpDocument& document, const std::string& version, const std::string& contact);

}  // namespace nerin
