// SPDX-License-Identifier: MIT
#include "fuzz/chart_draw_check.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "views/chart_view.h"
#include "views/gantt_chart.h"
#include "views/row_model.h"

namespace nerin {
namespace {

constexpr int kStatesPerInput = 4;

void Fail(const char* what, std::int64_t a = 0, std::int64_t b = 0) {
  std::fprintf(stderr, "chart drawing: %s (%lld, %lld)\n", what, static_cast<long long>(a),
               static_cast<long long>(b));
  std::abort();
}

// The input's last bytes, read round and round: the fuzzer steers the view through them.
class ByteSource {
 public:
  ByteSource(const std::uint8_t* bytes, std::size_t size) {
    const std::size_t tail = std::min<std::size_t>(size, 64);
    begin_ = bytes + (size - tail);
    size_ = tail;
  }
  std::uint8_t Next() {
    const std::uint8_t byte = begin_[next_ % size_];
    ++next_;
    return byte;
  }
  std::int64_t Below(std::int64_t limit) {
    const std::uint32_t value = (std::uint32_t{Next()} << 16) | (std::uint32_t{Next()} << 8) | Next();
    return limit > 0 ? static_cast<std::int64_t>(value) % limit : 0;
  }

 private:
  const std::uint8_t* begin_ = nullptr;
  std::size_t size_ = 0;
  std::size_t next_ = 0;
};

struct Area {
  std::int64_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  bool Meets(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h) const {
    return x < x1 && y < y1 && x + w > x0 && y + h > y0;
  }
};

// Counts every call against a budget; a fill must show at least one pixel of the target
// within the current clip, and a clip must lie within the target.
class CheckingPainter : public ChartPainter {
 public:
  CheckingPainter(std::int64_t w, std::int64_t h, std::int64_t budget)
      : target_{0, 0, w, h}, clip_(target_), budget_(budget) {}

  void FillRect(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h, Rgb /*colour*/) override {
    Count();
    if (w <= 0 || h <= 0) Fail("empty fill", w, h);
    if (!target_.Meets(x, y, w, h)) Fail("fill outside the target", x, y);
    if (!clip_.Meets(x, y, w, h)) Fail("fill outside the clip", x, y);
  }
  void Text(std::int64_t /*x*/, std::int64_t /*y*/, const std::string& text, ChartFont /*font*/,
            Rgb /*colour*/, std::optional<Rgb> /*background*/) override {
    Count();
    if (text.empty()) Fail("empty text");
  }
  std::int64_t TextWidth(const std::string& text, ChartFont /*font*/) override {
    return 7 * static_cast<std::int64_t>(text.size());
  }
  std::int64_t TextHeight(ChartFont /*font*/) override { return 15; }
  void SetClip(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h) override {
    Count();
    if (w < 0 || h < 0 || x < 0 || y < 0 || x + w > target_.x1 || y + h > target_.y1)
      Fail("clip outside", x, y);
    clip_ = Area{x, y, x + w, y + h};
  }
  void ClearClip() override {
    Count();
    clip_ = target_;
  }
  std::int64_t Operations() const { return operations_; }

 private:
  void Count() {
    if (++operations_ > budget_) Fail("frame over its budget", operations_, budget_);
  }

  Area target_;
  Area clip_;
  std::int64_t budget_;
  std::int64_t operations_ = 0;
};

// What a frame may do: a fixed frame, per row in view, per day in view, per link drawn (the
// links of the rows in view and every driving link) and the dots of the today line.
std::int64_t FrameBudget(const Plan& plan, const RowModel& rows, const ChartView& view, std::int64_t w,
                         std::int64_t h) {
  const std::int64_t r = h - CHART_FRAME_HEIGHT;
  const std::int64_t rowsInView = std::min(r / ROW_HEIGHT + 4, rows.RowCount);
  const std::int64_t timeline = std::max<std::int64_t>(w - view.TaskColumnWidth, 0);
  const std::int64_t daysInView = std::min(PixelsToDays(timeline, view.DayWidth) + 4, plan.TimelineDays + 1);
  const std::int64_t firstRow = std::max<std::int64_t>(view.ScrollY / ROW_HEIGHT - 1, 0);
  std::int64_t links = 0;
  for (std::int64_t row = 0; row < rows.RowCount; ++row) {
    const Task& task = plan.Tasks[static_cast<std::size_t>(rows.RowTask[static_cast<std::size_t>(row)])];
    const bool inView = row >= firstRow && row < firstRow + rowsInView;
    for (std::int64_t k = 0; k < task.LinkCount(); ++k) {
      links += (inView ? 1 : 0) + (task.Links[static_cast<std::size_t>(k)].Driving != 0 ? 1 : 0);
    }
  }
  return 64 + 64 * rowsInView + 8 * daysInView + 12 * links + r / 5 + 2;
}

std::int64_t Pick(ByteSource& in, std::int64_t tiny, std::int64_t usual, std::int64_t large) {
  switch (in.Next() % 4) {
    case 0:
      return in.Below(tiny + 1);
    case 3:
      return in.Below(large + 1);
    default:
      return in.Below(usual + 1);
  }
}

void DrawOneState(const Plan& plan, RowModel& rows, ByteSource& in) {
  for (std::int64_t t = 0; t < plan.TaskCount(); ++t) {
    rows.TaskFolded[static_cast<std::size_t>(t)] = (in.Next() % 8 == 0) ? 1 : 0;
  }
  rows.CriticalFilter = in.Next() % 4 == 0;
  RebuildRows(rows, plan);
  ChartView view;
  view.DayWidth = 1.0f + static_cast<float>(in.Below(191)) / 10.0f;
  view.TaskColumnWidth = in.Next() % 16 == 0 ? in.Below(2000) : 260 + in.Below(391);
  const std::int64_t w = Pick(in, 40, 1600, 5000);
  const std::int64_t h = Pick(in, 130, 1000, 4000);
  const std::int64_t contentX = ScaledPixels(plan.TimelineDays, view.DayWidth);
  view.ScrollX = in.Next() % 8 == 0 ? in.Below(contentX + 2000) - 1000 : in.Below(contentX + 1);
  view.ScrollY = in.Next() % 8 == 0 ? in.Below(rows.RowCount * ROW_HEIGHT + 2000) - 1000
                                    : in.Below(rows.RowCount * ROW_HEIGHT + 1);
  const DayOrdinal today = plan.TimelineStart + in.Below(plan.TimelineDays + 20) - 10;
  const std::int64_t find = plan.TaskCount() > 0 ? in.Below(plan.TaskCount()) : -1;
  CheckingPainter painter(w, h, FrameBudget(plan, rows, view, w, h));
  DrawChart(painter, ChartFrame{plan, rows, view, w, h, today, find, nullptr});
  if (h < CHART_FRAME_HEIGHT + 1 && painter.Operations() != 0) Fail("drawn below the least height", h);
}

}  // namespace

void CheckChartDrawing(const Plan& plan, const std::uint8_t* bytes, std::size_t size) {
  if (!plan.ProjectLoaded || size == 0) return;
  static const std::unique_ptr<RowModel> rows = std::make_unique<RowModel>();
  ResetFolding(*rows, plan);
  RebuildRows(*rows, plan);
  ByteSource in(bytes, size);
  for (int state = 0; state < kStatesPerInput; ++state) {
    DrawOneState(plan, *rows, in);
  }
}

}  // namespace nerin
