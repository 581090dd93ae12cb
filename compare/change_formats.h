// SPDX-License-Identifier: MIT
// The comparison as text: the summary line, the readable report and the tab-separated lines.
// Both reports are byte-stable: the same two plans always give the same bytes.
#pragma once

#include <string>

#include "compare/plan_changes.h"

namespace nerin {

// "12 tasks moved, 3 added, 1 removed, 5 renamed; finish 28.05.2027 → 11.06.2027 (+14 days)",
// or "No differences.".
std::string ChangesSummaryLine(const PlanChanges& changes);

// The summary line, then one block per changed or added task in the subject's order, the
// removed tasks, and the resources; dates as the viewer shows them. LF line ends.
std::string ChangesText(const PlanChanges& changes);

// The header "UID<TAB>ID<TAB>KIND<TAB>FIELD<TAB>OLD<TAB>NEW", then one line per change:
// the project's start and finish (UID "-"), the tasks, the resources (FIELD "resource").
std::string ChangesTsv(const PlanChanges& changes);

// One field's change in a sentence for the window and the text report: "Finish +5 days",
// "Duration 40 → 48 h", "Name "A" → "B"".
std::string FieldChangeText(const FieldChange& change);

// Names and notes on one line: backslash, tab, line feed and carriage return are written as
// "\\", "\t", "\n" and "\r".
std::string EscapedText(std::string_view text);

}  // namespace nerin
