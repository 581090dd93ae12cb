// SPDX-License-Identifier: MIT
#include "views/gantt_chart.h"

#include <algorithm>
#include <array>
#include <string>

#include "calendar/value_text.h"
#include "views/chart_colours.h"
#include "views/gantt_chart_header.h"
#include "views/gantt_chart_marks.h"
#include "views/plan_access.h"

namespace nerin {

namespace {

constexpr std::int64_t kTitleHeight = 54;
constexpr std::int64_t kHeaderHeight = CHART_TOP - kTitleHeight;
constexpr std::int64_t kMinChartHeight = CHART_FRAME_HEIGHT + 1;
constexpr std::int64_t kNameColumnEnd = 187;  // the name column ends this far left of K
constexpr std::int64_t kStartColumn = 164;    // the start date this far left of K
constexpr std::int64_t kFinishColumn = 86;
constexpr std::int64_t kConstraintColumn = 186;  // the constraint pin, left of the note mark
constexpr const char* kStatusDateLabel = "Status date";
// Blue beside today's red: progress in the plan is as of this day.
constexpr Rgb kStatusDateColour{38, 110, 220};

std::int64_t Bounded(std::int64_t value) {
  return BoundedCoordinate(value);
}

// The end of a span; a span reaching past the 64-bit range ends at its limit.
std::int64_t End(std::int64_t start, std::int64_t length) {
  std::int64_t end = 0;
  if (__builtin_add_overflow(start, length, &end)) {
    return length > 0 ? INT64_MAX : INT64_MIN;
  }
  return end;
}

// Passes on only what can show: a fill or text wholly outside the target or the current
// clip is dropped, and a clip change reaches the painter only before something is drawn
// under it. What appears on the target is the same as if everything were passed on.
class VisiblePainter final : public ChartPainter {
 public:
  VisiblePainter(ChartPainter& target, std::int64_t w, std::int64_t h) : target_(target), w_(w), h_(h) {
    ClearClip();
    sent_ = clip_;
  }

  void FillRect(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h, Rgb colour) override {
    if (w <= 0 || h <= 0 || clip_.Empty() || x >= clip_.Right() || y >= clip_.Bottom() ||
        End(x, w) <= clip_.x || End(y, h) <= clip_.y) {
      return;
    }
    Sync();
    target_.FillRect(x, y, w, h, colour);
  }

  void Text(std::int64_t x, std::int64_t y, const std::string& text, ChartFont font, Rgb colour,
            std::optional<Rgb> background) override {
    // Glyphs may reach a little past their cell.
    constexpr std::int64_t kOverhang = 2;
    if (text.empty() || clip_.Empty() || End(x, -kOverhang) >= clip_.Right() ||
        End(y, -kOverhang) >= clip_.Bottom() || End(y, TextHeight(font) + kOverhang) <= clip_.y) {
      return;
    }
    if (x < clip_.x && End(x, TextWidth(text, font) + kOverhang) <= clip_.x) {
      return;
    }
    Sync();
    target_.Text(x, y, text, font, colour, background);
  }

  std::int64_t TextWidth(const std::string& text, ChartFont font) override {
    return target_.TextWidth(text, font);
  }

  std::int64_t TextHeight(ChartFont font) override {
    std::int64_t& height = heights_[static_cast<std::size_t>(font)];
    if (height < 0) {
      height = target_.TextHeight(font);
    }
    return height;
  }

  // The clip is the part of the rectangle inside the target (empty when they do not meet).
  void SetClip(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h) override {
    const std::int64_t left = std::max<std::int64_t>(x, 0);
    const std::int64_t top = std::max<std::int64_t>(y, 0);
    const std::int64_t right = w > 0 ? std::min(End(x, w), w_) : left;
    const std::int64_t bottom = h > 0 ? std::min(End(y, h), h_) : top;
    clip_ = Area{left, top, right - left, bottom - top};
    if (clip_.Empty()) {
      clip_ = Area{};
    }
  }

  void ClearClip() override { clip_ = Area{0, 0, w_, h_}; }

  // Hands the painter the current clip, before someone else draws on it directly.
  void Sync() {
    if (clip_ == sent_) {
      return;
    }
    if (clip_ == Area{0, 0, w_, h_}) {
      target_.ClearClip();
    } else {
      target_.SetClip(clip_.x, clip_.y, clip_.w, clip_.h);
    }
    sent_ = clip_;
  }

 private:
  struct Area {
    std::int64_t x = 0;
    std::int64_t y = 0;
    std::int64_t w = 0;
    std::int64_t h = 0;
    std::int64_t Right() const { return x + w; }
    std::int64_t Bottom() const { return y + h; }
    bool Empty() const { return w <= 0 || h <= 0; }
    friend bool operator==(const Area&, const Area&) = default;
  };

  ChartPainter& target_;
  std::int64_t w_;
  std::int64_t h_;
  Area clip_;
  Area sent_;
  std::array<std::int64_t, 3> heights_{-1, -1, -1};
};

// The geometry and plan facts of one frame, within bounds that keep the arithmetic exact.
struct Layout {
  const ChartFrame& frame;
  TimelineScale scale;
  RowGeometry rows;
  std::int64_t W = 0;
  std::int64_t H = 0;
  std::int64_t R = 0;  // height of the row area
  std::int64_t K = 0;  // x where the timeline begins
  std::int64_t TaskCount = 0;

  std::int64_t X(DayOrdinal day) const { return scale.DayX(day); }
  std::int64_t Y(std::int64_t row) const { return rows.RowTop(row); }
  // The task of a row, or null when the row model names none of this plan.
  const Task* TaskOfRow(std::int64_t row) const {
    const std::int64_t t = frame.rows.RowTask[At(row)];
    return t >= 0 && t < TaskCount ? &frame.plan.Tasks[At(t)] : nullptr;
  }
  bool RowShown(std::int64_t row) const { return rows.RowShown(row); }
};

Layout MakeLayout(const ChartFrame& frame) {
  Layout layout{frame, TimelineScale::Of(frame.view, frame.plan, frame.Width),
                RowGeometry::Of(frame.view, frame.rows, frame.Height)};
  layout.W = layout.scale.Width;
  layout.H = layout.rows.Height;
  layout.R = layout.rows.RowArea();
  layout.K = layout.scale.TaskColumnWidth;
  // Every per-task array read below holds at least TaskCount entries, RowTask RowCount.
  const std::int64_t taskCapacity = static_cast<std::int64_t>(
      std::min({frame.plan.Tasks.size(), frame.rows.TaskRow.size(), frame.rows.TaskHasChildren.size(),
                frame.rows.TaskFolded.size()}));
  layout.TaskCount = std::clamp<std::int64_t>(frame.plan.TaskCount(), 0, taskCapacity);
  return layout;
}

Rgb BarColour(const Task& task) {
  return PhaseBarColour(task.Phase);
}

// --- timeline ---------------------------------------------------------------------------

// The project calendar's days off (without one, Saturday and Sunday): holidays shaded,
// working weekends left white. Days off side by side are one fill: day j + 1 begins exactly
// where day j ends.
void DrawWeekends(ChartPainter& p, const Layout& l, DayRange days) {
  const TimelineScale& scale = l.scale;
  const WorkCalendar& calendar = ProjectWorkCalendar(l.frame.plan.Terms);
  const auto dayOff = [&](std::int64_t j) {
    const DayOrdinal day = scale.Start + j;
    return day > 0 && !calendar.IsWorkingDay(day);
  };
  for (std::int64_t j = days.First; j <= days.Last; ++j) {
    if (!dayOff(j)) {
      continue;
    }
    std::int64_t last = j;
    while (last < days.Last && dayOff(last + 1)) ++last;
    const std::int64_t left = scale.IndexX(j);
    std::int64_t right = left;
    for (std::int64_t day = j; day <= last; ++day) {
      // Each day at least 1 pixel wide.
      right = std::max({right, scale.IndexX(day + 1), scale.IndexX(day) + 1});
    }
    p.FillRect(left, CHART_TOP, right - left, l.R, WeekendColour);
    j = last;
  }
}

// Each mark is a grid line down the row area; its label stands only over the timeline. Month
// lines have no line outside it either, and where every day has its line a week needs none
// of its own. A label left out keeps its grid line.
HeaderLabel DrawTicks(ChartPainter& p, const Layout& l, const std::vector<TimelineTick>& ticks) {
  std::optional<std::int64_t> todayX;
  if (l.frame.Today >= 1) todayX = l.X(l.frame.Today);
  const HeaderLabels labels = PlaceHeaderLabels(
      l.scale, ticks, todayX, [&p](const std::string& text) { return p.TextWidth(text, ChartFont::Small); });
  const bool everyDay = l.scale.DayWidth >= 8.0f;
  for (std::size_t i = 0; i < ticks.size(); ++i) {
    const TimelineTick& tick = ticks[i];
    const HeaderLabel& label = labels.Ticks[i];
    const bool lined = tick.Kind == TickKind::Month ? l.scale.InTimeline(tick.X)
                                                    : !(tick.Kind == TickKind::Week && everyDay);
    if (lined) p.FillRect(tick.X, CHART_TOP, 1, l.R, GridColour);
    if (label.Shown) p.Text(label.Left, label.Y, label.Text, ChartFont::Small, ChartWhite);
  }
  return labels.Today;
}

// The header; returns where "Today" is to stand, drawn with today's line over the rows.
HeaderLabel DrawTimeline(ChartPainter& p, const Layout& l) {
  const DayRange days = l.scale.VisibleDays();
  p.ClearClip();
  p.SetClip(l.K, kTitleHeight, l.W - l.K, kHeaderHeight);
  p.FillRect(l.K, kTitleHeight, l.W - l.K, kHeaderHeight, HeaderBandColour);
  p.SetClip(l.K, CHART_TOP, l.W - l.K, l.R);
  DrawWeekends(p, l, days);
  p.SetClip(l.K, kTitleHeight, l.W - l.K, l.R + kHeaderHeight);
  return DrawTicks(p, l, l.scale.Ticks(days));
}

// --- rows -------------------------------------------------------------------------------

void DrawRowBackgrounds(ChartPainter& p, const Layout& l, RowRange rows) {
  p.SetClip(0, CHART_TOP, l.W, l.R);
  for (std::int64_t r = rows.First; r <= rows.Last; ++r) {
    const Task* task = l.TaskOfRow(r);
    if (task == nullptr || !l.RowShown(r)) {
      continue;
    }
    Rgb colour = r % 2 != 0 ? ChartBackground : EvenRowColour;
    if (l.frame.rows.RowTask[At(r)] == l.frame.FindHighlight) {
      colour = FindMatchRowColour;
    } else if (task->Summary != 0) {
      colour = PhaseRowTint(task->Phase);
    }
    // The row area holds nothing but the background yet and rows do not overlap: an odd row
    // in the background colour is already there.
    if (colour != ChartBackground) {
      p.FillRect(0, l.Y(r), l.W, ROW_HEIGHT, colour);
    }
  }
}

// A diamond 13 pixels high whatever the zoom, centred on the milestone's day.
void DrawMilestone(ChartPainter& p, std::int64_t m, std::int64_t y, Rgb colour) {
  for (std::int64_t i = 0; i <= 6; ++i) {
    p.FillRect(m - i, y + 5 + i, 2 * i + 1, 1, HeaderBandColour);
  }
  for (std::int64_t i = 0; i <= 5; ++i) {
    p.FillRect(m - 5 + i, y + 12 + i, 11 - 2 * i, 1, HeaderBandColour);
  }
  for (std::int64_t i = 0; i <= 5; ++i) {
    p.FillRect(m - 5 + i, y + 11 - i, 11 - 2 * i, 1, colour);
  }
  for (std::int64_t i = 0; i <= 4; ++i) {
    p.FillRect(m - 4 + i, y + 12 + i, 9 - 2 * i, 1, colour);
  }
}

void DrawTaskBar(ChartPainter& p, const Task& task, std::int64_t x, std::int64_t w, std::int64_t y,
                 Rgb colour) {
  p.FillRect(x, y + 4, w, 14, colour);
  if (task.PercentComplete > 0) {
    // The loader keeps the percentage within 0..100; a larger one must not reach past the bar.
    const std::int64_t progress = std::min<std::int64_t>(task.PercentComplete, 100) * w / 100;
    if (progress > 2) {
      p.FillRect(x + 1, y + 5, progress - 2, 12, BarChrome(colour));
    }
  }
  if (w > 1) {
    p.FillRect(x, y + 4, w, 1, ChartBandColour);
    p.FillRect(x, y + 17, w, 1, ChartBandColour);
    p.FillRect(x, y + 4, 1, 14, ChartBandColour);
    p.FillRect(x + w - 1, y + 4, 1, 14, ChartBandColour);
  }
}

// The approved dates under the bar, and how far the task has moved from them.
void DrawBaseline(ChartPainter& p, const Layout& l, const Task& task, std::int64_t x, std::int64_t y) {
  if (task.BaselineStart < 1 || task.BaselineFinish <= 0) {
    return;
  }
  std::int64_t b = l.X(task.BaselineStart);
  std::int64_t f = 0;
  if (task.Milestone != 0 || task.BaselineFinish == task.BaselineStart) {
    b += l.scale.HalfDay();
    f = x + l.scale.HalfDay();
  } else {
    std::int64_t v = l.scale.Length(Bounded(task.BaselineFinish) - Bounded(task.BaselineStart) + 1);
    if (v <= 1) {
      v = 2;
    }
    p.FillRect(b, y + 19, v, 2, BaselineColour);
    b += v;
    f = l.X(Bounded(task.Finish) + 1);
  }
  p.FillRect(std::min(b, f), y + 19, (f > b ? f - b : b - f) + 1, 2, BaselineColour);
  p.FillRect(b, y + 16, 1, 5, BaselineColour);
}

void DrawFoldTriangle(ChartPainter& p, std::int64_t n, std::int64_t y, bool folded) {
  if (folded) {
    for (std::int64_t i = 0; i <= 5; ++i) {
      p.FillRect(n + 6 + i, y + 6 + i, 1, 11 - 2 * i, ChartBandColour);
    }
  } else {
    for (std::int64_t i = 0; i <= 4; ++i) {
      p.FillRect(n + 4 + i, y + 8 + i, 9 - 2 * i, 1, ChartBandColour);
    }
  }
}

// Name with its fold triangle, note mark, dates and the resource label after the bar end.
void DrawRowTexts(ChartPainter& p, const Layout& l, std::int64_t task, std::int64_t y, std::int64_t barEnd) {
  const Task& t = l.frame.plan.Tasks[At(task)];
  p.ClearClip();
  const std::int64_t n = RowGeometry::Indent(t.OutlineLevel);
  p.SetClip(0, CHART_TOP, l.K - kNameColumnEnd, l.R);
  if (l.frame.rows.TaskHasChildren[At(task)] != 0) {
    DrawFoldTriangle(p, n, y, l.frame.rows.TaskFolded[At(task)] != 0);
  }
  const TaskTerms* terms = TermsOf(l.frame.plan, task);
  const bool inactive = terms != nullptr && terms->Active == 0;
  p.Text(n + 18, y + 4, t.Name, ChartFont::Text,
         inactive ? InactiveTextColour : t.Summary != 0 ? BarColour(t) : ChartBandColour);
  if (inactive) {
    p.FillRect(n + 18, y + 11, p.TextWidth(t.Name, ChartFont::Text), 1, InactiveTextColour);
  }
  p.ClearClip();
  if (terms != nullptr && terms->Constraint != ConstraintType::AsSoonAsPossible) {
    p.SetClip(0, CHART_TOP, l.K, l.R);
    DrawConstraintMark(p, l.K - kConstraintColumn, y + 7);
  }
  if (!t.Notes.empty()) {
    p.SetClip(0, CHART_TOP, l.K, l.R);
    p.FillRect(l.K - 180, y + 7, 9, 9, NoteMarkEdgeColour);
    p.FillRect(l.K - 179, y + 8, 7, 7, NoteMarkColour);
  }
  p.SetClip(0, CHART_TOP, l.K, l.R);
  p.Text(l.K - kStartColumn, y + 5, t.StartLabel, ChartFont::Small, DateTextColour);
  p.Text(l.K - kFinishColumn, y + 5, t.FinishLabel, ChartFont::Small, DateTextColour);
  if (!t.ResourceLabel.empty()) {
    p.SetClip(l.K, CHART_TOP, l.W - l.K, l.R);
    p.Text(barEnd + 4, y + 5, t.ResourceLabel, ChartFont::Small, DateTextColour);
  }
  p.ClearClip();
}

// --- comparison with a reference version -----------------------------------------------

Rgb RowMarkColour(RowMark mark) {
  switch (mark) {
    case RowMark::Added:
      return AddedMarkColour;
    case RowMark::Later:
      return LaterMarkColour;
    case RowMark::Earlier:
      return EarlierMarkColour;
    default:
      return OtherChangeMarkColour;
  }
}

// The reference's dates as a thin bar along the row's top edge, clear of the baseline strip
// at its bottom; and a mark at the left edge of a changed row, coloured by how it changed.
void DrawComparedRow(ChartPainter& p, const Layout& l, std::int64_t taskIndex, std::int64_t y) {
  const PlanChanges* changes = l.frame.Comparison->Changes;
  if (changes == nullptr || taskIndex < 0 ||
      taskIndex >= static_cast<std::int64_t>(changes->ReferenceDatesOfSubjectTask.size())) {
    return;
  }
  const ReferenceDates& reference = changes->ReferenceDatesOfSubjectTask[At(taskIndex)];
  if (reference.Start >= 1 && reference.Finish > 0) {
    const std::int64_t x = l.X(reference.Start);
    std::int64_t w = l.scale.Length(Bounded(reference.Finish) - Bounded(reference.Start) + 1);
    if (w <= 1) {
      w = 2;
    }
    if (x + w >= l.K && x <= l.W) {
      p.SetClip(l.K, CHART_TOP, l.W - l.K, l.R);
      p.FillRect(x, y + 1, w, 2, ReferenceBarColour);
    }
  }
  if (const TaskChange* change = changes->ChangeOf(taskIndex); change != nullptr) {
    p.SetClip(0, CHART_TOP, l.K, l.R);
    p.FillRect(0, y + 1, 4, ROW_HEIGHT - 2, RowMarkColour(MarkOf(*change)));
  }
  p.ClearClip();
}

// The bar or diamond in the task's look: greyed and struck through when inactive, light with
// brackets when manually scheduled (a manual summary also spans its children where they differ).
void DrawBar(ChartPainter& p, const Layout& l, std::int64_t taskIndex, const PixelRect& bar, std::int64_t y) {
  const Task& task = l.frame.plan.Tasks[At(taskIndex)];
  const TaskTerms* terms = TermsOf(l.frame.plan, taskIndex);
  const bool inactive = terms != nullptr && terms->Active == 0;
  const bool manual = terms != nullptr && terms->Manual != 0;
  Rgb colour = inactive ? InactiveBarColour : BarColour(task);
  if (task.Milestone != 0) {
    DrawMilestone(p, bar.X + l.scale.HalfDay(), y, colour);
    if (inactive) DrawInactiveStrike(p, bar.X + l.scale.HalfDay() - 7, 15, y);
    return;
  }
  if (manual && !inactive) colour = ManualBarFill(colour);
  DrawTaskBar(p, task, bar.X, bar.W, y, colour);
  if (inactive) DrawInactiveStrike(p, bar.X, bar.W, y);
  if (!manual) return;
  DrawManualBrackets(p, bar.X, bar.W, y);
  if (task.Summary == 0) return;
  const std::optional<DaySpan> span = ChildrenSpan(l.frame.plan, taskIndex);
  if (span && (span->Start != task.Start || span->Finish != task.Finish)) {
    const std::int64_t left = l.X(span->Start);
    DrawChildrenSpan(p, left, l.X(Bounded(span->Finish) + 1) - left, y);
  }
}

// A down-arrow at the end of the deadline's day, red when the task finishes after it.
void DrawDeadline(ChartPainter& p, const Layout& l, std::int64_t taskIndex, std::int64_t y) {
  const TaskTerms* terms = TermsOf(l.frame.plan, taskIndex);
  if (terms == nullptr || terms->Deadline < 1) {
    return;
  }
  const std::int64_t x = l.X(Bounded(terms->Deadline) + 1);
  if (x < l.K - 6 || x > l.W + 6) {
    return;
  }
  p.SetClip(l.K, CHART_TOP, l.W - l.K, l.R);
  DrawDeadlineMark(p, x, y, l.frame.plan.Tasks[At(taskIndex)].Finish > terms->Deadline);
}

void DrawRow(ChartPainter& p, const Layout& l, std::int64_t row) {
  const std::int64_t taskIndex = l.frame.rows.RowTask[At(row)];
  const Task& task = l.frame.plan.Tasks[At(taskIndex)];
  const std::int64_t y = l.Y(row);
  p.FillRect(0, y + 21, l.W, 1, GridColour);
  const PixelRect bar = RowGeometry::BarRect(task, l.scale, y);
  const std::int64_t x = bar.X;
  const std::int64_t w = bar.W;
  if (HasBarDates(task) && x + w >= l.K && x <= l.W) {
    p.SetClip(l.K, CHART_TOP, l.W - l.K, l.R);
    DrawBar(p, l, taskIndex, bar, y);
    DrawBaseline(p, l, task, x, y);
  }
  DrawDeadline(p, l, taskIndex, y);
  if (l.frame.Comparison != nullptr) {
    DrawComparedRow(p, l, taskIndex, y);
  }
  DrawRowTexts(p, l, taskIndex, y, x + w);
}

void DrawRows(ChartPainter& p, const Layout& l, RowRange rows) {
  p.ClearClip();
  for (std::int64_t r = rows.First; r <= rows.Last; ++r) {
    if (l.TaskOfRow(r) != nullptr && l.RowShown(r)) {
      DrawRow(p, l, r);
    }
  }
}

// A dotted red line down the rows at today's date, and its label where the header has room.
void DrawToday(ChartPainter& p, const Layout& l, const HeaderLabel& label) {
  if (l.frame.Today < 1) {
    return;
  }
  const std::int64_t x = l.X(l.frame.Today);
  if (!l.scale.InTimeline(x)) {
    return;
  }
  for (std::int64_t y = CHART_TOP; y <= l.R + CHART_TOP; y += 5) {
    p.FillRect(x, y, 3, 3, TodayColour);
  }
  if (label.Shown) p.Text(label.Left, label.Y, label.Text, ChartFont::Small, TodayColour);
}

// A solid blue line down the rows at the plan's status date, labelled below Today's label
// height so that the two never cover each other.
void DrawStatusDate(ChartPainter& p, const Layout& l) {
  const DayOrdinal status = l.frame.plan.Terms.StatusDate;
  if (status < 1) {
    return;
  }
  const std::int64_t x = l.X(status);
  if (!l.scale.InTimeline(x)) {
    return;
  }
  p.FillRect(x, CHART_TOP, 2, l.R, kStatusDateColour);
  p.Text(x + 3, CHART_TOP + 2, kStatusDateLabel, ChartFont::Small, kStatusDateColour);
}

// --- links ------------------------------------------------------------------------------

struct LinkStyle {
  Rgb colour;
  std::int64_t thickness = 1;
  std::int64_t arrow = 4;
};

// From the predecessor's side D along its row middle o, down or up at the successor's
// side E to its row middle q, ending in an arrowhead.
void DrawLink(ChartPainter& p, const Layout& l, std::int64_t d, std::int64_t e, std::int64_t o,
              std::int64_t q, const LinkStyle& style) {
  if ((d < l.K && e < l.K) || (d > l.W && e > l.W)) {
    return;
  }
  if ((o <= CHART_TOP - 1 && q <= CHART_TOP - 1) || (o > l.R + CHART_TOP && q > l.R + CHART_TOP)) {
    return;
  }
  if (d != e) {
    p.FillRect(std::min(d, e), o, d < e ? e - d : d - e, style.thickness, style.colour);
  }
  if (o != q) {
    p.FillRect(e, std::min(o, q), style.thickness, o < q ? q - o : o - q, style.colour);
  }
  const bool up = q < o;
  for (std::int64_t n = style.arrow; n >= 1; --n) {
    p.FillRect(e - n, up ? q + n : q - n, 2 * n + 1, 1, style.colour);
  }
}

void DrawTaskLinks(ChartPainter& p, const Layout& l, std::int64_t row, bool driving) {
  const Task* successor = l.TaskOfRow(row);
  if (successor == nullptr) {
    return;
  }
  const RowModel& rows = l.frame.rows;
  for (const TaskLink& link : successor->Links) {
    if (driving && link.Driving == 0) continue;
    const std::optional<LinkType> type = link.Type;
    if (link.PredecessorIndex < 0 || link.PredecessorIndex >= l.TaskCount || successor->Start < 1 ||
        successor->Finish < 1) {
      continue;
    }
    const std::int64_t predecessorRow = rows.TaskRow[At(link.PredecessorIndex)];
    const Task& predecessor = l.frame.plan.Tasks[At(link.PredecessorIndex)];
    if (predecessorRow < 0 || predecessorRow >= l.rows.RowCount || predecessor.Start < 1 ||
        predecessor.Finish < 1) {
      continue;
    }
    // An inactive task is never drawn on the critical path.
    if (driving && (IsInactive(l.frame.plan, link.PredecessorIndex) ||
                    IsInactive(l.frame.plan, rows.RowTask[At(row)]))) {
      continue;
    }
    const bool fromFinish = *type == LinkType::FF || *type == LinkType::FS;
    const bool toFinish = *type == LinkType::FF || *type == LinkType::SF;
    const std::int64_t d = fromFinish ? l.X(Bounded(predecessor.Finish) + 1) : l.X(predecessor.Start);
    const std::int64_t e = toFinish ? l.X(Bounded(successor->Finish) + 1) : l.X(successor->Start);
    const std::int64_t middle = ROW_HEIGHT / 2;
    const LinkStyle style =
        driving ? LinkStyle{DrivingLinkColour, 3, 7} : LinkStyle{LinkTypeColours[static_cast<std::size_t>(*type)]};
    DrawLink(p, l, d, e, l.Y(predecessorRow) + middle, l.Y(row) + middle, style);
  }
}

void DrawLinksOfRows(ChartPainter& p, const Layout& l, RowRange rows) {
  const std::int64_t last = std::min(rows.Last, l.rows.RowCount - 1);
  for (std::int64_t r = std::max<std::int64_t>(rows.First, 0); r <= last; ++r) {
    DrawTaskLinks(p, l, r, false);
  }
}

// A driving link is drawn even when its successor is far off screen: the rows that have one
// are listed by the row model, so that no frame visits every task.
void DrawDrivingLinks(ChartPainter& p, const Layout& l) {
  for (const std::int64_t r : l.frame.rows.DrivingRows) {
    if (r >= 0 && r < l.rows.RowCount) DrawTaskLinks(p, l, r, true);
  }
}

// --- frame ------------------------------------------------------------------------------

void DrawLegend(ChartPainter& p, const Layout& l) {
  p.FillRect(l.K, kTitleHeight, 2, l.H - 78, ChartBandColour);
  p.FillRect(0, l.H - LEGEND_HEIGHT, l.W, LEGEND_HEIGHT, ChartBandColour);
  const std::string keys = l.frame.Paper
                               ? "Dependencies: FS FF SS SF | red = critical path"
                               : "Dependencies: FS FF SS SF | red = critical path | Ctrl+O / Open | read-only";
  p.Text(8, l.H - 19, keys, ChartFont::Small, ChartWhite);
  // Only a plan that has a mark names it: charts of plans without any stay as they were.
  if (const PlanMarks marks = MarksOfPlan(l.frame.plan); marks.Any()) {
    const std::string bar = "|";
    std::int64_t x = 8 + p.TextWidth(keys, ChartFont::Small) + 6;
    p.Text(x, l.H - 19, bar, ChartFont::Small, ChartWhite);
    x += p.TextWidth(bar, ChartFont::Small) + 6;
    DrawMarksLegend(p, x, l.H - 19, marks);
  }
}

void DrawTitle(ChartPainter& p, const Layout& l) {
  const Plan& plan = l.frame.plan;
  p.SetClip(0, 0, l.W, CHART_TOP);
  p.FillRect(0, 0, l.W, kTitleHeight, ChartBandColour);
  p.FillRect(0, kTitleHeight, l.K, kHeaderHeight, HeaderBandColour);
  p.Text(8, 6, "Nerin Plan Viewer - " + plan.ProjectName, ChartFont::Bold, ChartWhite);
  p.Text(8, 27,
         "Start: " + plan.ProjectStartLabel + "   Finish: " + plan.ProjectFinishLabel +
             "   Tasks: " + IntegerText(plan.TaskCount()) + "   Resources: " + IntegerText(plan.ResourceCount()),
         ChartFont::Text, ChartWhite);
  p.Text(4, 64, "Task", ChartFont::Small, ChartWhite);
  p.Text(l.K < 169 ? 5 : l.K - kStartColumn, 64, "Start", ChartFont::Small, ChartWhite);
  p.Text(l.K - kFinishColumn, 64, "Finish", ChartFont::Small, ChartWhite);
  p.ClearClip();
}

}  // namespace

void DrawChart(ChartPainter& painter, const ChartFrame& frame) {
  const Layout l = MakeLayout(frame);
  if (l.H < kMinChartHeight || l.W < 1) {
    return;
  }
  VisiblePainter p(painter, l.W, l.H);
  p.FillRect(0, 0, l.W, l.H, ChartBackground);
  const RowRange rows = l.rows.VisibleRows();
  DrawRowBackgrounds(p, l, rows);
  const HeaderLabel today = DrawTimeline(p, l);
  DrawRows(p, l, rows);
  DrawToday(p, l, today);
  p.SetClip(l.K, CHART_TOP, l.W - l.K, l.R);
  DrawStatusDate(p, l);
  DrawLinksOfRows(p, l, rows);
  DrawDrivingLinks(p, l);
  p.ClearClip();
  DrawLegend(p, l);
  DrawTitle(p, l);
  if (frame.Hover != nullptr && frame.Hover->Shown) {
    const std::string change = frame.Comparison != nullptr
                                   ? ChangeSentence(*frame.Comparison, frame.Hover->SummaryTask)
                                   : std::string();
    DrawHoverSummary(p, frame.plan, *frame.Hover, l.W, l.H, change);
  }
  p.Sync();
}

ChartFrame ShownChartFrame(const Plan& plan, const RowModel& rows, const ChartView& view, DayOrdinal today,
                           const ChartComparison* comparison, std::int64_t findHighlight,
                           const HoverState* hover) {
  return ChartFrame{plan, rows, view, view.Width, view.Height, today, findHighlight, hover, comparison};
}

OutputArea ViewArea(const ChartView& view, std::int64_t w, std::int64_t h) {
  return OutputArea{view.ScrollX, view.ScrollY, w, h, true};
}

ChartFrame OutputFrame(const ChartFrame& shown, const OutputArea& area) {
  ChartFrame frame = shown;
  frame.view.ScrollX = area.ScrollX;
  frame.view.ScrollY = area.ScrollY;
  frame.view.Width = area.Width;
  frame.view.Height = area.Height;
  frame.view.SplitterDrag = false;
  frame.Width = area.Width;
  frame.Height = area.Height;
  if (!area.KeepHover) frame.Hover = nullptr;
  return frame;
}

std::int64_t Luma(Rgb colour) {
  return (299 * std::int64_t{colour.r} + 587 * std::int64_t{colour.g} + 114 * std::int64_t{colour.b}) / 1000;
}

Rgb BarChrome(Rgb colour) {
  return Luma(colour) < 150 ? ChartWhite : ChartBandColour;
}

}  // namespace nerin
