// SPDX-License-Identifier: MIT
// The marks a plan's author set on tasks, as the chart draws them: manually scheduled bars,
// inactive tasks, constraints other than as soon as possible, and deadlines.
#pragma once

#include <cstdint>
#include <optional>

#include "calendar/day_ordinal.h"
#include "model/plan.h"
#include "views/chart_painter.h"

namespace nerin {

// The task's own terms; null for an index outside them (a plan read without them).
const TaskTerms* TermsOf(const Plan& plan, std::int64_t task);
bool IsManual(const Plan& plan, std::int64_t task);
bool IsInactive(const Plan& plan, std::int64_t task);

// Which marks a plan has anywhere: the legend names only these.
struct PlanMarks {
  bool Manual = false;
  bool Inactive = false;
  bool Constraint = false;
  bool Deadline = false;
  bool Any() const { return Manual || Inactive || Constraint || Deadline; }
};
PlanMarks MarksOfPlan(const Plan& plan);

// The first start and last finish of a summary's children (those with dates); none without.
struct DaySpan {
  DayOrdinal Start = 0;
  DayOrdinal Finish = 0;
};
std::optional<DaySpan> ChildrenSpan(const Plan& plan, std::int64_t summary);

// A manual bar's fill: the bar's colour halfway to white.
Rgb ManualBarFill(Rgb colour);
// "[" and "]" at both ends of a bar x..x+w on the row at y.
void DrawManualBrackets(ChartPainter& p, std::int64_t x, std::int64_t w, std::int64_t y);
// A thin line from x over w along the row's top with a tick at each end.
void DrawChildrenSpan(ChartPainter& p, std::int64_t x, std::int64_t w, std::int64_t y);
// A line through the middle of an inactive bar.
void DrawInactiveStrike(ChartPainter& p, std::int64_t x, std::int64_t w, std::int64_t y);
// A pin 6 wide and 9 high whose top-left corner is (x, y).
void DrawConstraintMark(ChartPainter& p, std::int64_t x, std::int64_t y);
// A down-arrow 9 wide pointing at x from the row's top at y; red when late.
void DrawDeadlineMark(ChartPainter& p, std::int64_t x, std::int64_t y, bool late);

// The marks' keys from x on the legend bar whose text line starts at y.
void DrawMarksLegend(ChartPainter& p, std::int64_t x, std::int64_t y, const PlanMarks& marks);

}  // namespace nerin
