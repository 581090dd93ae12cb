// SPDX-License-Identifier: MIT
// The viewer's one palette: the chart's colours, indexed by a task's colour group Phase 0..9,
// its fixed colours, and the colours of the window around it (status line, toolbar rules,
// tabs, Help, About and the details window), which take the chart's own where they match.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>

#include "views/chart_painter.h"

namespace nerin {

// The strong colour of a task's bar and marks.
inline constexpr std::array<Rgb, 10> BarPalette = {{
    {0, 184, 169},
    {47, 128, 237},
    {108, 74, 182},
    {255, 107, 53},
    {169, 50, 38},
    {30, 132, 73},
    {97, 106, 107},
    {183, 149, 11},
    {26, 82, 118},
    {110, 47, 26},
}};

// The light tint of the rows of summary tasks.
inline constexpr std::array<Rgb, 10> RowTintPalette = {{
    {209, 242, 235},
    {214, 234, 248},
    {232, 218, 239},
    {250, 229, 211},
    {250, 219, 216},
    {213, 245, 227},
    {234, 237, 237},
    {254, 249, 231},
    {212, 226, 236},
    {253, 235, 208},
}};

// The colours of a task's colour group Phase; a group outside 0..9 takes the nearest one's.
constexpr std::size_t PaletteIndex(std::int64_t phase) {
  return static_cast<std::size_t>(std::clamp<std::int64_t>(phase, 0, std::ssize(BarPalette) - 1));
}
constexpr Rgb PhaseBarColour(std::int64_t phase) {
  return BarPalette[PaletteIndex(phase)];
}
constexpr Rgb PhaseRowTint(std::int64_t phase) {
  return RowTintPalette[PaletteIndex(phase)];
}

// Background of the chart and of its odd rows.
inline constexpr Rgb ChartBackground{238, 243, 247};
// The dark colour: title band, bar outline, fold triangles, names of non-summary tasks,
// splitter line, legend bar and the chrome on light bars.
inline constexpr Rgb ChartBandColour{16, 42, 67};
inline constexpr Rgb ChartWhite{255, 255, 255};

inline constexpr Rgb EvenRowColour{226, 234, 240};
inline constexpr Rgb FindMatchRowColour{255, 236, 153};
// Column and timeline header bands; milestone outline.
inline constexpr Rgb HeaderBandColour{36, 59, 83};
inline constexpr Rgb WeekendColour{194, 211, 226};
// Row separators and the month, week and day lines.
inline constexpr Rgb GridColour{199, 213, 224};
// Baseline bar, variance line and tick.
inline constexpr Rgb BaselineColour{70, 82, 96};
inline constexpr Rgb TodayColour{255, 38, 61};
// Start and finish dates and resource labels.
inline constexpr Rgb DateTextColour{85, 85, 85};
inline constexpr Rgb NoteMarkEdgeColour{0, 0, 0};
// Comparing with a reference version: the reference's dates as a thin bar, and the marks of
// the changed rows in the task column.
inline constexpr Rgb ReferenceBarColour{196, 48, 160};
inline constexpr Rgb AddedMarkColour{30, 150, 70};
inline constexpr Rgb LaterMarkColour{220, 90, 30};
inline constexpr Rgb EarlierMarkColour{40, 110, 220};
inline constexpr Rgb OtherChangeMarkColour{150, 150, 160};
inline constexpr Rgb NoteMarkColour{255, 214, 0};
// The author's marks: inactive bars and names, the constraint pin, deadline arrows (red when
// the task finishes after its deadline) and the span of a manual summary's children.
inline constexpr Rgb InactiveBarColour{178, 184, 190};
inline constexpr Rgb InactiveTextColour{128, 134, 140};
inline constexpr Rgb ConstraintMarkColour{123, 31, 162};
inline constexpr Rgb DeadlineColour{30, 132, 73};
inline constexpr Rgb LateDeadlineColour{214, 32, 40};
inline constexpr Rgb ManualSpanColour{70, 82, 96};
// Dependency links by type: 0 FF, 1 FS, 2 SF, 3 SS.
inline constexpr std::array<Rgb, 4> LinkTypeColours = {{
    {30, 132, 73},
    {97, 106, 107},
    {202, 111, 30},
    {36, 113, 163},
}};
// Driving links of the critical path.
inline constexpr Rgb DrivingLinkColour{255, 0, 0};

// --- The window around the chart --------------------------------------------------------

// The status line's text, and its background by how the last open went.
inline constexpr Rgb STATUS_TEXT_COLOUR = HeaderBandColour;
inline constexpr Rgb STATUS_READY_BACKGROUND{232, 238, 243};
inline constexpr Rgb STATUS_OK_BACKGROUND{198, 232, 205};
inline constexpr Rgb STATUS_WARNING_BACKGROUND{255, 224, 150};
inline constexpr Rgb STATUS_FAILED_BACKGROUND{245, 190, 190};
// The dark rule under the toolbar, the accent line under it, and the tabs' ground.
inline constexpr Rgb TOOLBAR_RULE_COLOUR = ChartBandColour;
inline constexpr Rgb ACCENT_RULE_COLOUR = BarPalette[0];
inline constexpr Rgb VIEW_TABS_BACKGROUND{217, 229, 238};
// Help, About and the details window: their header band and titles, the accent, rules, the
// band behind key names, the grey of notes and the white on the header.
inline constexpr Rgb TEXT_DARK = ChartBandColour;
inline constexpr Rgb TEXT_ACCENT = BarPalette[0];
inline constexpr Rgb TEXT_RULE = GridColour;
inline constexpr Rgb TEXT_KEY_BAND = ChartBackground;
inline constexpr Rgb TEXT_GREY = DateTextColour;
inline constexpr Rgb TEXT_WHITE = ChartWhite;

}  // namespace nerin
