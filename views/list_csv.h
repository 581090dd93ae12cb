// SPDX-License-Identifier: MIT
// The Tasks and Resources lists as text for other programs: CSV for a file (a spreadsheet
// reads it as it is) and tab-separated lines for the clipboard (a spreadsheet pastes them
// into cells). Both start with a header line and take the rows in the order the list shows
// them, so a sorted or filtered list is written as it is seen.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "calendar/day_ordinal.h"
#include "compare/plan_changes.h"
#include "model/plan.h"

namespace nerin {

enum class PlanList : std::uint8_t { Tasks, Resources };

// One CSV field: quoted when it holds a comma, a quote, a line break or a leading or trailing
// space, with every quote doubled.
std::string CsvField(std::string_view text);

// The list as CSV (RFC 4180): UTF-8 without byte-order mark, CR LF after every record, the
// list's column titles as the header. `rows` are task indexes (Tasks) or resource indexes
// (Resources) in the order to write; indexes outside the plan are skipped. Texts are written
// whole, line breaks included (inside quotes). Dates are ISO (YYYY-MM-DD); durations, the
// percentage complete, slack and maximum units are plain numbers, their unit in the header
// ("Duration (h)", "% Complete", "Max. Units (%)"), so that a spreadsheet can add them up;
// the "Duration" column beside the hours gives the duration as the plan writes it ("3 days").
// A text that a spreadsheet would take for a formula (it begins with =, +, -, @, a tab or a
// carriage return) is written behind a single quote, so opening the file never runs it.
// While the plan is compared (`changes` not null) the Tasks list ends with the "Change" column
// it shows.
std::string ListCsv(const Plan& plan, PlanList list, std::span<const std::int64_t> rows,
                    const PlanChanges* changes = nullptr);

// The same rows as the list shows them, as tab-separated lines with a header line, each line
// ending in a line feed: for the clipboard. A cell's tabs and line breaks (and the other
// characters that end a line) become one space each, as the list shows them, so a pasted
// row stays one row of cells; texts are not cut.
std::string ListTabText(const Plan& plan, PlanList list, std::span<const std::int64_t> rows);

}  // namespace nerin
