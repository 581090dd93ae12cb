// SPDX-License-Identifier: MIT
// One A3 landscape page at 100 % of the generated 10,000-task plan: drawn into a PDF
// document (vector fills, real text), against DrawChart of the same chart area into an
// image as the window and the PNG export draw it. x_image is the page's CPU time over the
// image's; the page should cost at most three times the image.
#include <benchmark/benchmark.h>

#include <QIODevice>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>

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
#include "views/chart_view.h"
#include "views/gantt_chart.h"
#include "views/page_layout.h"
#include "views/qt/chart_pdf.h"
#include "views/qt/qt_chart_painter.h"
#include "views/row_model.h"

namespace nerin {
namespace {

struct Bench {
  std::unique_ptr<Plan> plan = std::make_unique<Plan>();
  MessageLog log;
  RowModel rows;
  ChartView view;
  PageLayout layout;
  QPageLayout pageLayout;
  std::int64_t page = 0;  // a page from the middle of the first page column
  DayOrdinal today = 0;
  bool loaded = false;

  ChartFrame Frame() const { return ShownChartFrame(*plan, rows, view, today); }
};

const ChartFonts& Fonts() {
  static const ChartFonts fonts = LoadChartFonts();
  return fonts;
}

Bench& Loaded() {
  static Bench bench = [] {
    Bench b;
    const std::string text = bench::BenchPlanText("plan10000.xml");
    b.loaded = !text.empty() && LoadPlan(*b.plan, b.log, "plan10000.xml", text);
    if (b.loaded) {
      ResetFolding(b.rows, *b.plan);
      RebuildRows(b.rows, *b.plan);
      PageOptions options;
      options.Paper = PaperName::A3;
      b.pageLayout = PageLayoutOf(options);
      b.layout = LayOutChart(b.Frame(), SheetOf(b.pageLayout), 100, false);
      b.page = b.layout.PageRows / 2;
      b.today = b.plan->TimelineStart + 30;
    }
    return b;
  }();
  return bench;
}

// A device that takes the document and keeps none of it: the page's drawing is measured, not
// the growth of a buffer in memory.
class DiscardingDevice : public QIODevice {
 public:
  std::int64_t written = 0;

 protected:
  qint64 readData(char* /*data*/, qint64 /*size*/) override { return -1; }
  qint64 writeData(const char* /*data*/, qint64 size) override {
    written += size;
    return size;
  }
};

double CpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double& ImageSeconds() {
  static double seconds = 0;
  return seconds;
}

void ImagePage(benchmark::State& state) {
  const Bench& bench = Loaded();
  if (!bench.loaded) {
    state.SkipWithError("plan10000.xml did not load");
    return;
  }
  const PageTile tile = TileOf(bench.layout, bench.page);
  const ChartFrame frame = PageFrame(bench.Frame(), bench.layout, bench.page);
  QImage image(static_cast<int>(tile.Width), static_cast<int>(tile.Height), QImage::Format_RGB32);
  // Kept across draws, as the window keeps it.
  ChartTextCache cache;
  const double start = CpuSeconds();
  for (auto _ : state) {
    QPainter painter(&image);
    QtChartPainter chart(painter, Fonts(), tile.Width, tile.Height, &cache);
    DrawChart(chart, frame);
  }
  ImageSeconds() = (CpuSeconds() - start) / static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
  benchmark::DoNotOptimize(image.constBits());
  state.counters["rows"] = static_cast<double>(tile.RowCount);
}

void PdfPage(benchmark::State& state) {
  const Bench& bench = Loaded();
  if (!bench.loaded) {
    state.SkipWithError("plan10000.xml did not load");
    return;
  }
  DiscardingDevice device;
  device.open(QIODevice::WriteOnly);
  QPdfWriter writer(&device);
  writer.setPageLayout(bench.pageLayout);
  QPainter painter(&writer);
  const ChartFrame frame = bench.Frame();
  // Kept across pages, as one document keeps it.
  PdfTextCache texts;
  bool first = true;
  const double start = CpuSeconds();
  for (auto _ : state) {
    if (!first) {
      writer.newPage();
    }
    first = false;
    PaintChartPage(painter, frame, Fonts(), bench.layout, bench.page, &texts);
  }
  const double seconds = CpuSeconds() - start;
  painter.end();
  state.counters["bytes_per_page"] =
      static_cast<double>(device.written) / static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
  if (ImageSeconds() > 0 && state.iterations() > 0) {
    state.counters["x_image"] = seconds / static_cast<double>(state.iterations()) / ImageSeconds();
  }
}

// The image runs first so that the page can be set against it.
BENCHMARK(ImagePage)->Unit(benchmark::kMillisecond);
BENCHMARK(PdfPage)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace nerin

int main(int argc, char** argv) {
  return nerin::bench::RunDrawingBenchmarks(argc, argv);
}
