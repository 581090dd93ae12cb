// SPDX-License-Identifier: MIT
// Drawing times of the Gantt chart of a generated 10,000-task plan into a window-sized
// off-screen image, against the floor of one fill of the whole image: a draw covers the
// image at least once, so no draw can be faster than that fill.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "bench/bench_support.h"
#include "model/load_plan.h"
#include "model/message_log.h"
#include "model/plan.h"
#include "views/chart_colours.h"
#include "views/chart_view.h"
#include "views/gantt_chart.h"
#include "views/qt/qt_chart_painter.h"
#include "views/row_model.h"

namespace nerin {
namespace {

constexpr int kWidth = 1400;
constexpr int kHeight = 860;

struct BenchPlan {
  std::unique_ptr<Plan> plan = std::make_unique<Plan>();
  MessageLog log;
  bool loaded = false;
};

BenchPlan& LoadedPlan() {
  static BenchPlan bench = [] {
    BenchPlan b;
    const std::string text = bench::BenchPlanText("plan10000.xml");
    b.loaded = !text.empty() && LoadPlan(*b.plan, b.log, "plan10000.xml", text);
    return b;
  }();
  return bench;
}

const ChartFonts& Fonts() {
  static const ChartFonts fonts = LoadChartFonts();
  return fonts;
}

enum class Case { Plain, CriticalFilter, Collapsed };

// The ratio to the floor is taken on CPU time: on a shared machine wall time depends on what
// else runs.
double CpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// CPU seconds per iteration of the floor, for the ratio of each draw.
double& FloorSeconds() {
  static double seconds = 0;
  return seconds;
}

// The view of one benchmark: rows as the case asks, scrolled so that the middle row is in the
// middle of the view and its start 40 pixels right of the task column.
struct Scene {
  RowModel rows;
  ChartView view;
  DayOrdinal today = 0;
};

std::unique_ptr<Scene> MakeScene(const Plan& plan, float dayWidth, Case kind) {
  auto scene = std::make_unique<Scene>();
  RowModel& rows = scene->rows;
  ResetFolding(rows, plan);
  rows.CriticalFilter = kind == Case::CriticalFilter;
  if (kind == Case::Collapsed) {
    for (std::int64_t t = 0; t < plan.TaskCount(); ++t) {
      rows.TaskFolded[static_cast<std::size_t>(t)] = rows.TaskHasChildren[static_cast<std::size_t>(t)];
    }
  }
  RebuildRows(rows, plan);
  ChartView& view = scene->view;
  view.DayWidth = dayWidth;
  view.Width = kWidth;
  view.Height = kHeight;
  const std::int64_t middleRow = rows.RowCount / 2;
  const Task& middle =
      plan.Tasks[static_cast<std::size_t>(rows.RowTask[static_cast<std::size_t>(middleRow)])];
  view.ScrollY = std::max<std::int64_t>(RowGeometry::Offset(middleRow) - ViewRows(view, rows).RowAreaHeight() / 2, 0);
  view.ScrollX = std::max<std::int64_t>(ViewTimeline(view, plan).Offset(middle.Start) - 40, 0);
  // Today in view, so that the today line is part of the frame.
  scene->today = middle.Start + 3;
  return scene;
}

void DrawChartBench(benchmark::State& state, float dayWidth, Case kind) {
  const BenchPlan& bench = LoadedPlan();
  if (!bench.loaded) {
    state.SkipWithError("plan10000.xml did not load");
    return;
  }
  const auto scene = MakeScene(*bench.plan, dayWidth, kind);
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  // Kept across frames, as the window keeps it.
  ChartTextCache cache;
  const ChartFrame frame = ShownChartFrame(*bench.plan, scene->rows, scene->view, scene->today);
  const double start = CpuSeconds();
  for (auto _ : state) {
    QPainter painter(&image);
    QtChartPainter chart(painter, Fonts(), kWidth, kHeight, &cache);
    DrawChart(chart, frame);
  }
  const double seconds = CpuSeconds() - start;
  benchmark::DoNotOptimize(image.constBits());
  state.counters["rows"] = static_cast<double>(scene->rows.RowCount);
  if (FloorSeconds() > 0 && state.iterations() > 0) {
    state.counters["x_fill"] = seconds / static_cast<double>(state.iterations()) / FloorSeconds();
  }
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

// The floor runs first so that each draw can be set against it.
BENCHMARK(FillFloor)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DrawChartBench, DayWidth1, 1.0f, Case::Plain)
    ->Name("DrawChart/DayWidth1")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DrawChartBench, DayWidth4, 4.0f, Case::Plain)
    ->Name("DrawChart/DayWidth4")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DrawChartBench, DayWidth20, 20.0f, Case::Plain)
    ->Name("DrawChart/DayWidth20")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DrawChartBench, CriticalFilter, 4.0f, Case::CriticalFilter)
    ->Name("DrawChart/CriticalFilter")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DrawChartBench, Collapsed, 4.0f, Case::Collapsed)
    ->Name("DrawChart/Collapsed")
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace nerin

int main(int argc, char** argv) {
  return nerin::bench::RunDrawingBenchmarks(argc, argv);
}
