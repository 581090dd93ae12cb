// SPDX-License-Identifier: MIT
// The Tasks and Resources lists and Find in the window, without a display, on a plan of 10,000
// tasks that each carry a 1,000-character note and 5,000 resources. Each switch to a list
// (fill and first paint of a 1400 x 860 window) is set against one repaint of the filled list,
// and each Find against a plain byte search of the same text over every name and note; a sort
// of the Tasks list by each column is set against the same repaint.
// StartToFirstFrame opens the viewer on the realistic 10,000-task plan up to its first full
// chart frame, set against ReportFloor, what `nerin-cli report` does with the same file.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCollator>
#include <QLineEdit>
#include <QPixmap>
#include <QTabWidget>
#include <QTreeView>

#include <chrono>
#include <ctime>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "app/chart_canvas.h"
#include "bench/bench_support.h"
#include "app/main_window.h"
#include "sources/plan_source.h"
#include "app/startup.h"
#include "model/message_log.h"
#include "views/list_sort.h"
#include "views/view_keeping.h"

namespace nerin {
namespace {

// Runs the window's event loop until the load under way (a plan opens in the background) has
// ended.
void WaitForLoad(MainWindow& window) {
  while (window.Loading()) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
}

// Times are taken on this thread's CPU clock: on a shared machine wall time depends on what
// else runs. The window paints on this thread.
double CpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Counts the paints of a widget, so that a benchmark that painted nothing says so.
class PaintCounter : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return QObject::eventFilter(watched, event);
  }
  int paints = 0;
};

struct Viewer {
  std::unique_ptr<MainWindow> window;
  PaintCounter taskPaints;
  PaintCounter resourcePaints;
};

std::unique_ptr<Viewer>& TheViewer() {
  static std::unique_ptr<Viewer> viewer;
  return viewer;
}

// The viewer with the plan loaded, on the Gantt tab; null when the plan did not load.
Viewer* StartedViewer() {
  std::unique_ptr<Viewer>& viewer = TheViewer();
  if (!viewer) {
    viewer = std::make_unique<Viewer>();
    viewer->window = StartViewer({NERIN_BENCH_LISTS_PLAN});
    if (viewer->window != nullptr) WaitForLoad(*viewer->window);
    if (viewer->window == nullptr || !viewer->window->Session().ShownPlan().ProjectLoaded) return nullptr;
    viewer->window->resize(1400, 860);
    viewer->window->LayoutMainWindow();
    viewer->window->Controls().TaskList->viewport()->installEventFilter(&viewer->taskPaints);
    viewer->window->Controls().ResourceList->viewport()->installEventFilter(&viewer->resourcePaints);
    QCoreApplication::processEvents();
  }
  return viewer->window->Session().ShownPlan().ProjectLoaded ? viewer.get() : nullptr;
}

// Seconds per iteration of the floors, by name.
double& FloorSeconds(const std::string& name) {
  static std::map<std::string, double> floors;
  return floors[name];
}

void SetRatio(benchmark::State& state, const std::string& floor, double seconds) {
  const double base = FloorSeconds(floor);
  if (base > 0 && state.iterations() > 0) {
    state.counters["x_floor"] = seconds / static_cast<double>(state.iterations()) / base;
  }
}

// One paint of the whole window as it stands, tab page and list included.
void PaintWindow(QWidget& window) {
  const QPixmap image = window.grab();
  benchmark::DoNotOptimize(image.cacheKey());
}

void ListPaintFloor(benchmark::State& state) {
  Viewer* viewer = StartedViewer();
  if (viewer == nullptr) {
    state.SkipWithError("the plan did not load");
    return;
  }
  MainWindow& window = *viewer->window;
  window.Send(TabEvent{ViewKind::Tasks});
  QCoreApplication::processEvents();
  const int paintsBefore = viewer->taskPaints.paints;
  double seconds = 0;
  for (auto _ : state) {
    const double start = CpuSeconds();
    PaintWindow(window);
    const double used = CpuSeconds() - start;
    seconds += used;
    state.SetIterationTime(used);
  }
  if (viewer->taskPaints.paints == paintsBefore) state.SkipWithError("the list was not painted");
  FloorSeconds("paint") = seconds / static_cast<double>(state.iterations());
}

// From the Gantt tab to a list that has to be filled, as after a load, up to its first paint.
void SwitchToList(benchmark::State& state, ViewKind view) {
  Viewer* viewer = StartedViewer();
  if (viewer == nullptr) {
    state.SkipWithError("the plan did not load");
    return;
  }
  MainWindow& window = *viewer->window;
  QTabWidget* tabs = window.Controls().ViewTabs;
  PaintCounter& paints = view == ViewKind::Tasks ? viewer->taskPaints : viewer->resourcePaints;
  const int paintsBefore = paints.paints;
  double seconds = 0;
  for (auto _ : state) {
    tabs->setCurrentIndex(static_cast<int>(ViewKind::Gantt));
    // The plan opened anew, as the user would: its lists are filled on the first switch.
    window.Open(NERIN_BENCH_LISTS_PLAN);
    WaitForLoad(window);
    QCoreApplication::processEvents();
    const double start = CpuSeconds();
    tabs->setCurrentIndex(static_cast<int>(view));
    PaintWindow(window);
    const double used = CpuSeconds() - start;
    seconds += used;
    state.SetIterationTime(used);
  }
  if (paints.paints == paintsBefore) state.SkipWithError("the list was not painted");
  SetRatio(state, "paint", seconds);
  const SessionState& shown = window.Session().State();
  state.counters["rows"] = view == ViewKind::Tasks ? static_cast<double>(shown.ListRows.RowCount)
                                                   : static_cast<double>(shown.Shown->ResourceCount());
}

void SwitchToTasks(benchmark::State& state) {
  SwitchToList(state, ViewKind::Tasks);
}

void SwitchToResources(benchmark::State& state) {
  SwitchToList(state, ViewKind::Resources);
}

// A header click on the Tasks list up to its repaint: the 10,000 rows sorted by one column
// (ascending and descending in turn, so that every step reorders), texts by the locale's
// collation as the window compares them, then the window painted.
void SortTasks(benchmark::State& state) {
  Viewer* viewer = StartedViewer();
  if (viewer == nullptr) {
    state.SkipWithError("the plan did not load");
    return;
  }
  MainWindow& window = *viewer->window;
  window.Send(TabEvent{ViewKind::Tasks});
  QCoreApplication::processEvents();
  const std::int64_t column = state.range(0);
  double seconds = 0;
  for (auto _ : state) {
    const ListSort before = window.Session().State().TaskSort;
    const double start = CpuSeconds();
    window.Send(HeaderEvent{ViewKind::Tasks, column});
    PaintWindow(window);
    const double used = CpuSeconds() - start;
    seconds += used;
    state.SetIterationTime(used);
    if (window.Session().State().TaskSort == before) state.SkipWithError("the click did not sort");
  }
  // Back to plan order for the benchmarks that follow.
  for (int click = 0; click < 3 && window.Session().State().TaskSort.Direction != SortDirection::PlanOrder; ++click) {
    window.Send(HeaderEvent{ViewKind::Tasks, column});
  }
  SetRatio(state, "paint", seconds);
}

// What a reload adds to a fresh open of the same plan: the view taken before and given back
// after (folds, top task, selection matched by UID). Set it against a load in nerin-bench-load.
void ReloadViewKeeping(benchmark::State& state) {
  Viewer* viewer = StartedViewer();
  if (viewer == nullptr) {
    state.SkipWithError("the plan did not load");
    return;
  }
  const SessionState& shown = viewer->window->Session().State();
  for (auto _ : state) {
    // Copies of the view and rows, which the restore writes; the session's own stay as they are.
    ChartView view = shown.View;
    RowModel rows = shown.Rows;
    const double start = CpuSeconds();
    const KeptView kept = KeepView(*shown.Shown, view, rows, 42);
    benchmark::DoNotOptimize(RestoreView(kept, *shown.Shown, view, rows));
    state.SetIterationTime(CpuSeconds() - start);
  }
}

constexpr std::string_view kNoMatchText = "no such text";
// Names the work package lot of one task in a thousand: each step passes some 1,000 tasks.
constexpr std::string_view kStepText = "lot 0412.";

// A plain byte search of the text over every task name and note, as typed (no lower case).
void FindFloor(benchmark::State& state) {
  Viewer* viewer = StartedViewer();
  if (viewer == nullptr) {
    state.SkipWithError("the plan did not load");
    return;
  }
  const Plan& plan = viewer->window->Session().ShownPlan();
  double seconds = 0;
  for (auto _ : state) {
    const double start = CpuSeconds();
    std::int64_t found = 0;
    for (std::int64_t i = 0; i < plan.TaskCount(); ++i) {
      const Task& task = plan.Tasks[static_cast<std::size_t>(i)];
      if (std::string_view(task.Name).find(kNoMatchText) != std::string_view::npos ||
          std::string_view(task.Notes).find(kNoMatchText) != std::string_view::npos) {
        ++found;
      }
    }
    benchmark::DoNotOptimize(found);
    const double used = CpuSeconds() - start;
    seconds += used;
    state.SetIterationTime(used);
  }
  FloorSeconds("find") = seconds / static_cast<double>(state.iterations());
}

void FindNextBench(benchmark::State& state, std::string_view text, bool afterLoad) {
  Viewer* viewer = StartedViewer();
  if (viewer == nullptr) {
    state.SkipWithError("the plan did not load");
    return;
  }
  MainWindow& window = *viewer->window;
  window.Send(TabEvent{ViewKind::Tasks});
  window.Controls().SearchField->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
  window.RunCommand(Command::FindNext);  // the first Find after the load makes the lower-case texts
  const SessionState& shown = window.Session().State();
  std::int64_t found = shown.FindHighlight;
  std::int64_t moves = 0;
  double seconds = 0;
  for (auto _ : state) {
    if (afterLoad) {
      // The plan opened anew: its lower-case texts are made again by the next Find.
      window.Open(NERIN_BENCH_LISTS_PLAN);
      WaitForLoad(window);
      window.Send(TabEvent{ViewKind::Tasks});
    }
    const double start = CpuSeconds();
    window.RunCommand(Command::FindNext);
    const double used = CpuSeconds() - start;
    seconds += used;
    state.SetIterationTime(used);
    if (shown.FindHighlight != found) ++moves;
    found = shown.FindHighlight;
  }
  QCoreApplication::processEvents();
  if (text == kStepText && moves < static_cast<std::int64_t>(state.iterations())) {
    state.SkipWithError("Find did not move at every step");
  }
  SetRatio(state, "find", seconds);
}

void FindNoMatch(benchmark::State& state) {
  FindNextBench(state, kNoMatchText, false);
}

void FindStep(benchmark::State& state) {
  FindNextBench(state, kStepText, false);
}

// The first Find after a load, which also lowers every name and note once.
void FindFirstAfterLoad(benchmark::State& state) {
  FindNextBench(state, kNoMatchText, true);
}

double WallSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

const std::string kRealisticPlan = std::string(NERIN_BENCH_PLAN_DIR) + "/plan10000.xml";

// What `nerin-cli report` does: a model, the file read and loaded, the report and the messages
// as text. Wall time, as a user waits for it.
void ReportFloor(benchmark::State& state) {
  double seconds = 0;
  for (auto _ : state) {
    const double start = WallSeconds();
    auto plan = std::make_unique<Plan>();
    MessageLog log;
    const bool loaded = ReadFileSource(*plan, log, kRealisticPlan);
    std::string text = plan->LoadReport + "\n\n" + MessageListText(log);
    benchmark::DoNotOptimize(text.data());
    plan.reset();
    const double used = WallSeconds() - start;
    if (!loaded) state.SkipWithError("the plan did not load");
    seconds += used;
    state.SetIterationTime(used);
  }
  FloorSeconds("report") = seconds / static_cast<double>(state.iterations());
}

// The viewer as the program starts it with the plan on its command line (the application
// object, made once for the process, aside), up to the first paint of the chart with the plan.
void StartToFirstFrame(benchmark::State& state) {
  double seconds = 0;
  for (auto _ : state) {
    PaintCounter chartPaints;
    const double start = WallSeconds();
    std::unique_ptr<MainWindow> window = StartViewer({kRealisticPlan});
    if (window != nullptr) {
      window->Controls().ChartCanvas->installEventFilter(&chartPaints);
      WaitForLoad(*window);
    }
    if (window == nullptr || !window->Session().ShownPlan().ProjectLoaded) {
      state.SkipWithError("the plan did not load");
      return;
    }
    // The frame with the plan: the one the window paints once the plan is in place.
    chartPaints.paints = 0;
    while (chartPaints.paints == 0) {
      window->Controls().ChartCanvas->update();
      QCoreApplication::processEvents();
    }
    const double used = WallSeconds() - start;
    window.reset();
    seconds += used;
    state.SetIterationTime(used);
  }
  SetRatio(state, "report", seconds);
}

// A started window showing the realistic plan; none (and the benchmark skipped) when it did
// not load.
std::unique_ptr<MainWindow> WindowOnRealisticPlan(benchmark::State& state) {
  std::unique_ptr<MainWindow> window = StartViewer({kRealisticPlan});
  if (window != nullptr) WaitForLoad(*window);
  if (window == nullptr || !window->Session().ShownPlan().ProjectLoaded) {
    state.SkipWithError("the plan did not load");
    return nullptr;
  }
  return window;
}

// The realistic plan opened in a started window (a plan already shown), up to the paint of the
// chart: the floor of a reload.
void OpenInWindow(benchmark::State& state) {
  const std::unique_ptr<MainWindow> window = WindowOnRealisticPlan(state);
  if (window == nullptr) return;
  // The same scale as the reload below: the day width survives an open too.
  window->RunCommand(Command::ZoomIn);
  double seconds = 0;
  for (auto _ : state) {
    const double start = WallSeconds();
    window->Open(kRealisticPlan);
    WaitForLoad(*window);
    PaintWindow(*window);
    const double used = WallSeconds() - start;
    seconds += used;
    state.SetIterationTime(used);
  }
  FloorSeconds("open") = seconds / static_cast<double>(state.iterations());
}

// Ctrl+R on the same plan, the view kept (zoomed, scrolled, summaries folded, a task
// selected, the Tasks list sorted), up to the paint: against the open above.
void ReloadInWindow(benchmark::State& state) {
  const std::unique_ptr<MainWindow> window = WindowOnRealisticPlan(state);
  if (window == nullptr) return;
  window->RunCommand(Command::ZoomIn);
  window->RunCommand(Command::CollapseAll);
  window->RunCommand(Command::ExpandAll);
  window->Send(HeaderEvent{ViewKind::Tasks, 2});
  double seconds = 0;
  for (auto _ : state) {
    const double start = WallSeconds();
    window->RunCommand(Command::Reload);
    WaitForLoad(*window);
    PaintWindow(*window);
    const double used = WallSeconds() - start;
    if (window->Session().State().TaskSort.Direction != SortDirection::Ascending) state.SkipWithError("the sort was lost");
    seconds += used;
    state.SetIterationTime(used);
  }
  SetRatio(state, "open", seconds);
}

BENCHMARK(OpenInWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(ReloadInWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(ReportFloor)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(StartToFirstFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(ListPaintFloor)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(SwitchToTasks)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(SwitchToResources)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(SortTasks)->DenseRange(0, 9)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(ReloadViewKeeping)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(FindFloor)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(FindNoMatch)
    ->Name("FindNext/NoMatch")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0);
BENCHMARK(FindStep)->Name("FindNext/Step")->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(FindFirstAfterLoad)
    ->Name("FindNext/FirstAfterLoad")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

}  // namespace
}  // namespace nerin

int main(int argc, char** argv) {
  // The window goes before the application.
  return nerin::bench::RunQtBenchmarks<QApplication>(argc, argv, false, [] { nerin::TheViewer().reset(); });
}
