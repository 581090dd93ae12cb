// SPDX-License-Identifier: MIT
// What the Tasks and Resources lists show: their columns and the text of every cell.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "model/plan.h"

namespace nerin {

struct ListColumn {
  const char* Title;
  std::int64_t Width;  // pixels
};

// The plan's own terms stand after the columns every plan has, so that a column keeps its
// number (its sort, its remembered width) whatever the plan holds.
inline constexpr std::array<ListColumn, 14> TASK_LIST_COLUMNS = {{
    {"ID", 50},
    {"Outline", 70},
    {"Task", 240},
    {"Start", 85},
    {"Finish", 85},
    {"Duration", 70},
    {"%", 50},
    {"Slack (d)", 70},
    {"Critical", 60},
    {"Resources", 280},
    {"WBS", 90},
    {"Actual Start", 85},
    {"Actual Finish", 85},
    {"% Work", 60},
}};

inline constexpr std::array<ListColumn, 6> RESOURCE_LIST_COLUMNS = {{
    {"Name", 200},
    {"Type", 90},
    {"Initials", 80},
    {"Email", 200},
    {"Max. Units", 80},
    {"Tasks", 420},
}};

// A cell shows at most this many UTF-16 code units of its text: more than the widest column
// can hold, and a list of a resource with thousands of tasks stays quick to draw.
inline constexpr std::size_t MAX_LIST_CELL_UNITS = 1000;

// A number with `decimals` decimals, one format for every value of a column: 0 slack days
// are "0.0" like 171 are "171.0", and a value that rounds to zero has no minus sign.
std::string FixedNumberText(float value, std::int64_t decimals);
// "40.0h"
std::string DurationText(float hours);
// Total slack in working days of 8 hours, with one decimal: "2.0", "0.0", "-2.5".
std::string SlackText(float hours);
// "75%"
std::string PercentText(std::int64_t percent);
// "yes" for a critical task, else empty.
std::string CriticalText(std::uint8_t critical);
// The task's WBS code, actual start and finish labels and % work complete as the plan gives
// them; empty where the plan has no terms for the task (or no actual date).
std::string TaskWbs(const Plan& plan, std::int64_t task);
std::string ActualDateText(DayOrdinal day);
// Maximum units as a percentage without decimals: 1.5 gives "150%".
std::string MaxUnitsText(float maxUnits);

// The text as one line of a list cell: line breaks (a CR LF pair counts as one), tabs and the
// Unicode line and paragraph separators become a space; a longer text is cut at
// MAX_LIST_CELL_UNITS and ends in "…". A cut never splits a character.
std::string ListCellLine(std::string_view text);
// The same one line, never cut: for copying a cell elsewhere whole.
std::string WholeCellLine(std::string_view text);

// A cell as the list shows it (a very long text cut) or whole (for a tooltip or a copy).
enum class CellForm { Shown, Whole };
// The cell of a list column (in the order of the column arrays above), as one line. Empty for
// a task, resource or column outside the plan.
std::string TaskListCell(const Plan& plan, std::int64_t task, std::int64_t column,
                         CellForm form = CellForm::Shown);
std::string ResourceListCell(const Plan& plan, std::int64_t resource, std::int64_t column,
                             CellForm form = CellForm::Shown);

// The width a column takes when the user double-clicks its header's edge: its contents' width,
// but never wider than the list shows at once, so that one very long cell does not push the
// other columns out of sight.
std::int64_t FittedColumnWidth(std::int64_t contentsWidth, std::int64_t visibleWidth);

}  // namespace nerin
