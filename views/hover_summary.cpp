// SPDX-License-Identifier: MIT
#include "views/hover_summary.h"

#include <algorithm>
#include <vector>

#include "calendar/text_units.h"
#include "calendar/value_text.h"
#include "views/chart_colours.h"
#include "views/gantt_chart_marks.h"
#include "views/plan_access.h"
#include "views/task_details_text.h"
#include "views/timeline_scale.h"

namespace nerin {

namespace {

constexpr std::size_t kNameSlot = 0;
constexpr std::size_t kNoteSlot = 6;
constexpr std::int64_t kLineWidth = 560;
constexpr std::int64_t kPadding = 20;
constexpr std::int64_t kHeight = 118;
constexpr std::int64_t kNoteLineHeight = 18;
constexpr std::int64_t kLineStep = 18;
constexpr std::int64_t kTextLeft = 12;
constexpr std::int64_t kTextTop = 5;
constexpr std::int64_t kStripWidth = 4;
constexpr std::size_t kNoteChars = 80;
// The box shows at most 560 pixels of a line: a thousand links already make a line far wider
// than that, so more are never looked up.
constexpr std::size_t kListedLinks = 1000;

std::string LinkList(const Plan& plan, const std::vector<LinkedTask>& links) {
  if (links.empty()) {
    return "-";
  }
  std::string list;
  for (const LinkedTask& link : links) {
    if (!list.empty()) list += ", ";
    list += IntegerText(plan.Tasks[At(link.Task)].ID) + " " + LinkedTaskText(plan, link);
  }
  return list;
}

std::int64_t Coordinate(std::int64_t value) {
  return std::clamp(value, -GEOMETRY_LIMIT, GEOMETRY_LIMIT);
}

// Start after the anchor; on the other side of it when the box would reach the far edge; never
// at 3 or less.
std::int64_t PlaceAlong(std::int64_t anchor, std::int64_t after, std::int64_t size, std::int64_t limit) {
  std::int64_t start = anchor + after;
  if (start + size >= limit - 3) {
    start = anchor - size - 8;
  }
  return start <= 3 ? 4 : start;
}

ChartFont SlotFont(std::size_t slot) {
  return slot == kNameSlot ? ChartFont::Bold : ChartFont::Text;
}

}  // namespace

std::int64_t HoverTaskAt(const Plan& plan, const RowModel& rows, const ChartView& view, std::int64_t x,
                         std::int64_t y) {
  if (!plan.ProjectLoaded || view.SplitterDrag || x < 0 || x >= view.Width) {
    return -1;
  }
  return ChartRowTaskAt(plan, rows, view, y);
}

namespace {

// The pointer left the row the timer or the box was for.
void StopAndHide(HoverState& hover, HoverActions& actions) {
  if (hover.TimerArmed) {
    actions.StopTimer = true;
    hover.TimerArmed = false;
  }
  if (hover.Shown) {
    hover.Shown = false;
    actions.DrawChart = true;
  }
}

}  // namespace

HoverActions HoverMoved(HoverState& hover, std::int64_t task, std::int64_t x, std::int64_t y) {
  HoverActions actions;
  if (task != hover.HoveredTask) {
    hover.HoveredTask = task;
    StopAndHide(hover, actions);
    if (task >= 0) {
      actions.StartTimer = true;
      hover.TimerArmed = true;
    }
  }
  if (!hover.Shown) {
    hover.AnchorX = x;
    hover.AnchorY = y;
  }
  return actions;
}

HoverActions HoverTimerRanOut(HoverState& hover, const Plan& plan, bool canShow) {
  HoverActions actions;
  actions.StopTimer = true;
  hover.TimerArmed = false;
  if (canShow && IsTask(plan, hover.HoveredTask)) {
    hover.SummaryTask = hover.HoveredTask;
    hover.Shown = true;
    actions.DrawChart = true;
  }
  return actions;
}

HoverActions HideHover(HoverState& hover) {
  HoverActions actions;
  hover.HoveredTask = -1;
  StopAndHide(hover, actions);
  return actions;
}

std::string NoteFirstLine(std::string_view notes) {
  std::string_view line = notes.substr(0, notes.find('\n'));
  line = TrimSpaces(line.substr(0, line.find('\r')));
  if (Utf16Length(line) > kNoteChars) {
    return std::string(Utf16Prefix(line, kNoteChars)) + "...";
  }
  return std::string(line);
}

HoverTexts HoverSummaryTexts(const Plan& plan, std::int64_t index) {
  HoverTexts texts;
  if (!IsTask(plan, index)) {
    return texts;
  }
  const Task& task = plan.Tasks[At(index)];
  texts[0] = task.Name;
  texts[1] = "ID " + IntegerText(task.ID) + "    " + task.StartLabel + " - " + task.FinishLabel;
  texts[2] = "Duration: " + TaskDurationText(plan, index) + "    Complete: " + IntegerText(task.PercentComplete) + "%";
  const bool inactive = IsInactive(plan, index);
  // An inactive task takes no part in the critical path.
  if (task.Critical != 0 && !inactive) texts[2] += "    critical";
  if (task.Milestone != 0) texts[2] += "    milestone";
  if (task.Summary != 0) texts[2] += "    summary";
  if (IsManual(plan, index)) texts[2] += "    manually scheduled";
  if (inactive) texts[2] += "    inactive";
  texts[3] = "Resources: " + (task.ResourceLabel.empty() ? std::string("-") : task.ResourceLabel);
  texts[4] = "Predecessors: " + LinkList(plan, PredecessorsOf(plan, index));
  texts[5] = "Successors: " + LinkList(plan, SuccessorsOf(plan, index, kListedLinks));
  const std::string note = NoteFirstLine(task.Notes);
  if (!note.empty()) {
    texts[kNoteSlot] = "Note: " + note;
  }
  return texts;
}

std::string HoverTermsLine(const Plan& plan, std::int64_t index) {
  const TaskTerms* t = TermsOf(plan, index);
  if (t == nullptr) {
    return {};
  }
  constexpr const char* kGap = "    ";
  const auto date = [](DayOrdinal day) { return day > 0 ? OrdinalLabel(day) : std::string("-"); };
  std::string line;
  const auto add = [&](const std::string& part) { line += (line.empty() ? "" : kGap) + part; };
  if (t->ActualStart > 0 || t->ActualFinish > 0 || t->PercentWorkComplete > 0) {
    add("Actual: " + date(t->ActualStart) + " - " + date(t->ActualFinish) +
        "    Work complete: " + IntegerText(t->PercentWorkComplete) + "%");
  }
  if (t->Constraint != ConstraintType::AsSoonAsPossible) {
    add("Constraint: " + ConstraintTypeName(t->Constraint) +
        (t->ConstraintDate > 0 ? " " + OrdinalLabel(t->ConstraintDate) : std::string()));
  }
  if (t->Deadline > 0) {
    add("Deadline: " + OrdinalLabel(t->Deadline));
    if (plan.Tasks[At(index)].Finish > t->Deadline) line += " (finishes after it)";
  }
  return line;
}

std::string FitTextToWidth(ChartPainter& painter, const std::string& text, ChartFont font,
                           std::int64_t maxWidth) {
  if (painter.TextWidth(text, font) <= maxWidth) {
    return text;
  }
  // The longest prefix that fits with "..." after it, by halving; prefixes count UTF-16 units
  // and never end inside a character.
  std::size_t low = 0;
  std::size_t high = Utf16Length(text);
  while (low < high) {
    const std::size_t middle = low + (high - low + 1) / 2;
    if (painter.TextWidth(std::string(Utf16Prefix(text, middle)) + "...", font) <= maxWidth) {
      low = middle;
    } else {
      high = middle - 1;
    }
  }
  return std::string(Utf16Prefix(text, low)) + "...";
}

HoverBox PlaceHoverBox(std::int64_t anchorX, std::int64_t anchorY, std::int64_t widest, bool withNote,
                       std::int64_t w, std::int64_t h, std::int64_t extraLines) {
  HoverBox box;
  box.Width = std::clamp<std::int64_t>(widest, 0, GEOMETRY_LIMIT) + kPadding;
  box.Height =
      kHeight + (withNote ? kNoteLineHeight : 0) + std::clamp<std::int64_t>(extraLines, 0, 2) * kLineStep;
  box.X = PlaceAlong(Coordinate(anchorX), 16, box.Width, Coordinate(w));
  box.Y = PlaceAlong(Coordinate(anchorY), 20, box.Height, Coordinate(h));
  return box;
}

void DrawHoverSummary(ChartPainter& painter, const Plan& plan, const HoverState& hover, std::int64_t w,
                      std::int64_t h, std::string_view change) {
  if (!hover.Shown || !IsTask(plan, hover.SummaryTask)) {
    return;
  }
  HoverTexts texts = HoverSummaryTexts(plan, hover.SummaryTask);
  std::int64_t widest = 0;
  for (std::size_t k = 0; k < texts.size(); ++k) {
    if (texts[k].empty()) continue;
    // Each slot is one line of the box, whatever line breaks the plan's texts hold.
    texts[k] = FitTextToWidth(painter, SingleLineText(texts[k]), SlotFont(k), kLineWidth);
    widest = std::max(widest, painter.TextWidth(texts[k], SlotFont(k)));
  }
  std::string changeLine;
  if (!change.empty()) {
    changeLine = FitTextToWidth(painter, SingleLineText(change), ChartFont::Bold, kLineWidth);
    widest = std::max(widest, painter.TextWidth(changeLine, ChartFont::Bold));
  }
  std::string termsLine = HoverTermsLine(plan, hover.SummaryTask);
  if (!termsLine.empty()) {
    termsLine = FitTextToWidth(painter, termsLine, ChartFont::Text, kLineWidth);
    widest = std::max(widest, painter.TextWidth(termsLine, ChartFont::Text));
  }
  const bool withNote = !texts[kNoteSlot].empty();
  // The plan's terms stand below the successors, moving the note and the change down a line.
  const std::int64_t shift = termsLine.empty() ? 0 : 1;
  const HoverBox box = PlaceHoverBox(hover.AnchorX, hover.AnchorY, widest, withNote, w, h,
                                     (changeLine.empty() ? 0 : 1) + shift);
  const Task& task = plan.Tasks[At(hover.SummaryTask)];
  const Rgb strip = PhaseBarColour(task.Phase);

  painter.ClearClip();
  painter.FillRect(box.X, box.Y, box.Width, box.Height, ChartBandColour);
  painter.FillRect(box.X + 1, box.Y + 1, box.Width - 2, box.Height - 2, ChartWhite);
  painter.FillRect(box.X + 1, box.Y + 1, kStripWidth, box.Height - 2, strip);
  for (std::size_t k = 0; k < texts.size(); ++k) {
    if (texts[k].empty()) continue;
    const std::int64_t line = static_cast<std::int64_t>(k) + (k == kNoteSlot ? shift : 0);
    painter.Text(box.X + kTextLeft, box.Y + kLineStep * line + kTextTop, texts[k], SlotFont(k), ChartBandColour);
  }
  if (!termsLine.empty()) {
    painter.Text(box.X + kTextLeft, box.Y + kLineStep * static_cast<std::int64_t>(kNoteSlot) + kTextTop,
                 termsLine, ChartFont::Text, ChartBandColour);
  }
  if (!changeLine.empty()) {
    // Below the note when there is one, else in the note's place.
    const std::int64_t line = static_cast<std::int64_t>(kNoteSlot) + (withNote ? 1 : 0) + shift;
    painter.Text(box.X + kTextLeft, box.Y + kLineStep * line + kTextTop, changeLine, ChartFont::Bold,
                 ReferenceBarColour);
  }
}

}  // namespace nerin
