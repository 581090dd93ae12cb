// SPDX-License-Identifier: MIT
#include "views/gantt_chart_marks.h"

#include <algorithm>
#include <string>

#include "views/chart_colours.h"

namespace nerin {

namespace {

std::size_t Slot(std::int64_t value) {
  return static_cast<std::size_t>(value);
}

}  // namespace

const TaskTerms* TermsOf(const Plan& plan, std::int64_t task) {
  if (task < 0 || task >= std::ssize(plan.Terms.Tasks) || task >= plan.TaskCount()) {
    return nullptr;
  }
  return &plan.Terms.Tasks[Slot(task)];
}

bool IsManual(const Plan& plan, std::int64_t task) {
  const TaskTerms* terms = TermsOf(plan, task);
  return terms != nullptr && terms->Manual != 0;
}

bool IsInactive(const Plan& plan, std::int64_t task) {
  const TaskTerms* terms = TermsOf(plan, task);
  return terms != nullptr && terms->Active == 0;
}

PlanMarks MarksOfPlan(const Plan& plan) {
  PlanMarks marks;
  const std::int64_t count = std::min(std::ssize(plan.Terms.Tasks), plan.TaskCount());
  for (std::int64_t i = 0; i < count; ++i) {
    const TaskTerms& t = plan.Terms.Tasks[Slot(i)];
    marks.Manual = marks.Manual || t.Manual != 0;
    marks.Inactive = marks.Inactive || t.Active == 0;
    marks.Constraint = marks.Constraint || t.Constraint != ConstraintType::AsSoonAsPossible;
    marks.Deadline = marks.Deadline || t.Deadline > 0;
    if (marks.Manual && marks.Inactive && marks.Constraint && marks.Deadline) break;
  }
  return marks;
}

std::optional<DaySpan> ChildrenSpan(const Plan& plan, std::int64_t summary) {
  if (summary < 0 || summary >= plan.TaskCount()) {
    return std::nullopt;
  }
  const std::int64_t level = plan.Tasks[Slot(summary)].OutlineLevel;
  std::optional<DaySpan> span;
  for (std::int64_t i = summary + 1; i < plan.TaskCount(); ++i) {
    const Task& child = plan.Tasks[Slot(i)];
    if (child.OutlineLevel <= level) break;
    if (child.Start < 1 || child.Finish < 1) continue;
    if (!span) {
      span = DaySpan{child.Start, child.Finish};
    } else {
      span->Start = std::min(span->Start, child.Start);
      span->Finish = std::max(span->Finish, child.Finish);
    }
  }
  return span;
}

Rgb ManualBarFill(Rgb colour) {
  const auto half = [](std::uint8_t c) { return static_cast<std::uint8_t>((c + 255) / 2); };
  return Rgb{half(colour.r), half(colour.g), half(colour.b)};
}

void DrawManualBrackets(ChartPainter& p, std::int64_t x, std::int64_t w, std::int64_t y) {
  const std::int64_t right = x + std::max<std::int64_t>(w, 2) - 2;
  for (const std::int64_t edge : {x, right}) {
    p.FillRect(edge, y + 2, 2, 18, ChartBandColour);
  }
  p.FillRect(x, y + 2, 5, 2, ChartBandColour);
  p.FillRect(x, y + 18, 5, 2, ChartBandColour);
  p.FillRect(right - 3, y + 2, 5, 2, ChartBandColour);
  p.FillRect(right - 3, y + 18, 5, 2, ChartBandColour);
}

void DrawChildrenSpan(ChartPainter& p, std::int64_t x, std::int64_t w, std::int64_t y) {
  const std::int64_t width = std::max<std::int64_t>(w, 2);
  p.FillRect(x, y + 1, width, 2, ManualSpanColour);
  p.FillRect(x, y + 1, 1, 4, ManualSpanColour);
  p.FillRect(x + width - 1, y + 1, 1, 4, ManualSpanColour);
}

void DrawInactiveStrike(ChartPainter& p, std::int64_t x, std::int64_t w, std::int64_t y) {
  p.FillRect(x, y + 10, std::max<std::int64_t>(w, 2), 2, InactiveTextColour);
}

void DrawConstraintMark(ChartPainter& p, std::int64_t x, std::int64_t y) {
  p.FillRect(x, y, 6, 3, ConstraintMarkColour);
  p.FillRect(x + 2, y + 3, 2, 6, ConstraintMarkColour);
}

void DrawDeadlineMark(ChartPainter& p, std::int64_t x, std::int64_t y, bool late) {
  const Rgb colour = late ? LateDeadlineColour : DeadlineColour;
  p.FillRect(x - 1, y, 2, 4, colour);
  for (std::int64_t i = 0; i <= 4; ++i) {
    p.FillRect(x - 5 + i, y + 4 + i, 10 - 2 * i, 1, colour);
  }
}

void DrawMarksLegend(ChartPainter& p, std::int64_t x, std::int64_t y, const PlanMarks& marks) {
  const auto label = [&](const std::string& text) {
    p.Text(x, y, text, ChartFont::Small, ChartWhite);
    x += p.TextWidth(text, ChartFont::Small) + 12;
  };
  // The keys stand on the legend bar's middle, whose text line starts 5 below its top.
  const std::int64_t row = y - 5;
  if (marks.Manual) {
    p.FillRect(x, row + 6, 18, 12, ManualBarFill(PhaseBarColour(0)));
    DrawManualBrackets(p, x, 18, row);
    x += 22;
    label("manual");
  }
  if (marks.Inactive) {
    p.FillRect(x, row + 6, 18, 12, InactiveBarColour);
    DrawInactiveStrike(p, x, 18, row + 1);
    x += 22;
    label("inactive");
  }
  if (marks.Constraint) {
    DrawConstraintMark(p, x, row + 7);
    x += 10;
    label("constraint");
  }
  if (marks.Deadline) {
    DrawDeadlineMark(p, x + 5, row + 7, false);
    DrawDeadlineMark(p, x + 17, row + 7, true);
    x += 26;
    label("deadline, missed");
  }
}

}  // namespace nerin
