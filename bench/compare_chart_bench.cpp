// SPDX-License-Identifier: MIT
// A chart frame while the 10,000-task plan is compared with a version derived from it by a
// few hundred known edits: the reference bars and the row marks on top of the plain frame,
// against the floor of one fill of the whole image, as the chart's own benchmarks measure.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <ctime>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "compare/plan_changes.h"
#include "tests/fixtures/plan_edits.h"
#include "tests/fixtures/plan_xml_writer.h"
#include "bench/bench_support.h"
#include "model/load_plan.h"
#include "views/change_texts.h"
#include "views/chart_colours.h"
#include "views/gantt_chart.h"
#include "views/qt/qt_chart_painter.h"
#include "views/row_model.h"

namespace nerin {
namespace {

constexpr int kWidth = 1400;
constexpr int kHeight = 860;

// The derived version is the plan shown; the original is the reference.
struct Compared {
  std::unique_ptr<Plan> subject = std::make_unique<Plan>();
  PlanChanges changes;
  ChartComparison comparison;
  bool ready = false;
};

Compared& TheComparison() {
  static Compared compared = [] {
    Compared c;
    const std::string text = bench::BenchPlanText("plan10000.xml");
    auto reference = std::make_unique<Plan>();
    auto edited = std::make_unique<Plan>();
    MessageLog log;
    if (text.empty() || !LoadPlan(*reference, log, "plan10000.xml", text) ||
        !LoadPlan(*edited, log, "plan10000.xml", text)) {
      return c;
    }
    ApplySpreadEdits(*edited, 30);
    if (!LoadPlan(*c.subject, log, "plan10000-changed.xml", PlanXmlText(*edited))) return c;
    c.changes = ComparePlans(*reference, *c.subject);
    c.comparison.ReferenceName = "plan10000.xml";
    c.ready = true;
    return c;
  }();
  compared.comparison.Changes = &compared.changes;
  return compared;
}

double CpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double& FloorSeconds() {
  static double seconds = 0;
  return seconds;
}

void FillFloor(benchmark::State& state) {
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  const double start = CpuSeconds();
  for (auto _ : state) {
    QPainter painter(&image);
    painter.fillRect(0, 0, kWidth, kHeight, ToQColor(ChartBackground));
  }
  FloorSeconds() = (CpuSeconds() - start) /
                   static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
  benchmark::DoNotOptimize(image.constBits());
}

// The middle of the plan at 4 pixels a day as the chart's own benchmark draws it; with
// argument 1 also the pointer's box over a changed task, its change line included.
void ComparedFrame(benchmark::State& state) {
  Compared& c = TheComparison();
  if (!c.ready) {
    state.SkipWithError("the plans did not load");
    return;
  }
  const Plan& plan = *c.subject;
  RowModel rows;
  ResetFolding(rows, plan);
  RebuildRows(rows, plan);
  ChartView view;
  view.DayWidth = 4.0f;
  view.Width = kWidth;
  view.Height = kHeight;
  const std::int64_t middleRow = rows.RowCount / 2;
  const Task& middle =
      plan.Tasks[static_cast<std::size_t>(rows.RowTask[static_cast<std::size_t>(middleRow)])];
  view.ScrollY = std::max<std::int64_t>(middleRow * ROW_HEIGHT - (kHeight - CHART_FRAME_HEIGHT) / 2, 0);
  view.ScrollX = std::max<std::int64_t>(ScaledPixels(middle.Start - plan.TimelineStart, 4.0f) - 40, 0);
  HoverState hover;
  hover.Shown = state.range(0) == 1;
  hover.SummaryTask = c.changes.Tasks.empty() ? 0 : c.changes.Tasks[c.changes.Tasks.size() / 2].SubjectIndex;
  hover.AnchorX = kWidth / 2;
  hover.AnchorY = kHeight / 2;
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  ChartTextCache cache;
  const ChartFrame frame = ShownChartFrame(plan, rows, view, middle.Start + 3, &c.comparison, -1, &hover);
  const ChartFonts fonts = LoadChartFonts();
  const double start = CpuSeconds();
  for (auto _ : state) {
    QPainter painter(&image);
    QtChartPainter chart(painter, fonts, kWidth, kHeight, &cache);
    DrawChart(chart, frame);
  }
  const double seconds = CpuSeconds() - start;
  benchmark::DoNotOptimize(image.constBits());
  state.counters["changed_tasks"] = static_cast<double>(c.changes.Tasks.size());
  if (FloorSeconds() > 0 && state.iterations() > 0) {
    state.counters["x_fill"] = seconds / static_cast<double>(state.iterations()) / FloorSeconds();
  }
}

BENCHMARK(FillFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(ComparedFrame)->Name("DrawChart/Compared")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace nerin

int main(int argc, char** argv) {
  return nerin::bench::RunDrawingBenchmarks(argc, argv);
}
