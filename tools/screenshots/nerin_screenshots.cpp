// SPDX-License-Identifier: MIT
// The README's screenshots: starts the viewer on a plan at a fixed window size and grabs the
// Gantt chart, the Tasks list, one task's details window and the Help window to PNG files.
//   nerin-screenshots PLAN.xml OUTPUT-FOLDER [--fold TASK]... [--find TEXT] [--details TASK]
// --fold clicks the triangle of a summary task, by name, before the chart is grabbed; --find
// types the text into the search field and clicks Find in the Tasks list before it is grabbed;
// --details names the task whose details window is shown (default: the first task with a
// note). Run it on a display of at least 1280 x 800 (tools/make-screenshots.sh runs it on a
// virtual one). Exit status 0 when all four images were written, 1 otherwise.
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPixmap>
#include <QPointer>
#include <QTabWidget>
#include <QThread>
#include <QTimer>
#include <QToolButton>

#include "app/startup.h"
#include "app/status_text.h"

namespace nerin {
namespace {

constexpr int kWindowWidth = 1280;
constexpr int kWindowHeight = 800;
// How long a window is given to settle (layout, first paint) before it is grabbed.
constexpr int kSettleMs = 400;

void Pump(int ms) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < ms) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(2);
  }
}

bool Save(QWidget& widget, const std::string& path) {
  const QPixmap image = widget.grab();
  if (image.isNull() || !image.save(QString::fromStdString(path), "PNG")) {
    std::fprintf(stderr, "nerin-screenshots: could not write %s\n", path.c_str());
    return false;
  }
  std::printf("%s (%d x %d)\n", path.c_str(), image.width(), image.height());
  return true;
}

// Runs `open`, which shows a modal window and returns when it is closed; a timer grabs that
// window to `path` once it has settled, then closes it. False when no window came or the
// image could not be written.
bool GrabModal(const std::function<void()>& open, const std::string& path) {
  bool saved = false;
  bool seen = false;
  QPointer<QWidget> current;
  QElapsedTimer since;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible()) {
      return;
    }
    if (modal != current) {
      current = modal;
      since.start();
      return;
    }
    if (since.elapsed() < kSettleMs) {
      return;
    }
    seen = true;
    saved = Save(*modal, path);
    poll.stop();
    modal->close();
  });
  poll.start(20);
  // When no window comes, `open` returns at once and nothing waits.
  open();
  poll.stop();
  if (!seen) {
    std::fprintf(stderr, "nerin-screenshots: no window appeared for %s\n", path.c_str());
  }
  return saved;
}

struct Options {
  std::string plan;
  std::string folder;
  std::vector<std::string> fold;
  std::string find;
  std::string details;
};

bool ReadOptions(int argc, char** argv, Options& options) {
  std::vector<std::string> positional;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--fold" && i + 1 < argc) {
      options.fold.emplace_back(argv[++i]);
    } else if (argument == "--find" && i + 1 < argc) {
      options.find = argv[++i];
    } else if (argument == "--details" && i + 1 < argc) {
      options.details = argv[++i];
    } else {
      positional.push_back(argument);
    }
  }
  if (positional.size() != 2) {
    return false;
  }
  options.plan = positional[0];
  options.folder = positional[1];
  return true;
}

// The first task of that name; with an empty name, the first task with a note.
std::int64_t FindTask(const Plan& plan, const std::string& name) {
  for (std::int64_t i = 0; i < plan.TaskCount(); ++i) {
    const Task& task = plan.Tasks[static_cast<std::size_t>(i)];
    if (name.empty() ? !task.Notes.empty() : task.Name == name) {
      return i;
    }
  }
  std::fprintf(stderr, "nerin-screenshots: no task %s%s%s in the plan\n", name.empty() ? "with a note" : "\"",
               name.c_str(), name.empty() ? "" : "\"");
  return -1;
}

// The middle of the task's row on the canvas, the row scrolled into view first; -1 when the
// task has no row.
std::int64_t RowMiddle(MainWindow& window, std::int64_t task) {
  const SessionState& state = window.Session().State();
  const std::int64_t row = state.Rows.TaskRow[static_cast<std::size_t>(task)];
  if (row < 0) {
    return -1;
  }
  const auto middle = [&] {
    return CHART_TOP + row * ROW_HEIGHT + ROW_HEIGHT / 2 - state.View.ScrollY;
  };
  if (middle() < CHART_TOP || middle() >= CHART_TOP + RowAreaHeight(state.View)) {
    // Brought into view as a followed link brings a task.
    window.Send(FollowLinkEvent{task});
    window.Controls().ChartCanvas->DrawNow();
  }
  return middle();
}

// A click on the summary's fold triangle, as a user would make it.
bool FoldTask(MainWindow& window, const std::string& name) {
  const std::int64_t task = FindTask(window.Session().ShownPlan(), name);
  const std::int64_t y = task >= 0 ? RowMiddle(window, task) : -1;
  if (y < 0) {
    return false;
  }
  const std::int64_t level = window.Session().ShownPlan().Tasks[static_cast<std::size_t>(task)].OutlineLevel;
  // The triangle is drawn 4 to 12 pixels into the row's indent of 14 pixels a level.
  window.Send(PointerEvent{PointerAction::Press, 14 * (level - 1) + 8, y, true});
  window.Send(PointerEvent{PointerAction::Release, 14 * (level - 1) + 8, y, false});
  return window.Session().State().Rows.TaskFolded[static_cast<std::size_t>(task)] != 0;
}

void DoubleClickTask(MainWindow& window, std::int64_t task) {
  const std::int64_t y = RowMiddle(window, task);
  if (y >= 0) {
    window.Send(PointerEvent{PointerAction::DoubleClick, window.Session().State().View.TaskColumnWidth / 2, y, true});
  }
}

int Run(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QString::fromUtf8(APP_TITLE));
  Options options;
  if (!ReadOptions(argc, argv, options)) {
    std::fprintf(stderr,
                 "usage: nerin-screenshots PLAN.xml OUTPUT-FOLDER [--fold TASK]... [--find TEXT] "
                 "[--details TASK]\n");
    return 1;
  }
  const std::string& folder = options.folder;
  if (!QDir().mkpath(QString::fromStdString(folder))) {
    std::fprintf(stderr, "nerin-screenshots: could not make the folder %s\n", folder.c_str());
    return 1;
  }
  // A plan that does not load shows its messages in a modal window during start-up: closed
  // here, so that the run ends with an error instead of waiting for a person.
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      modal->close();
    }
  });
  closer.start(100);
  std::unique_ptr<MainWindow> window = StartViewer({options.plan});
  // The plan loads in the background.
  while (window != nullptr && window->Loading()) Pump(20);
  closer.stop();
  if (window == nullptr || !window->Session().ShownPlan().ProjectLoaded) {
    std::fprintf(stderr, "nerin-screenshots: %s did not load\n", options.plan.c_str());
    return 1;
  }
  window->resize(kWindowWidth, kWindowHeight);
  window->Send(RelayoutEvent{});
  Pump(kSettleMs);

  bool ok = true;
  for (const std::string& name : options.fold) {
    ok = FoldTask(*window, name) && ok;
  }
  Pump(kSettleMs);
  ok = Save(*window, folder + "/gantt-chart.png") && ok;

  window->Controls().ViewTabs->setCurrentIndex(static_cast<int>(ViewKind::Tasks));
  Pump(kSettleMs);
  if (!options.find.empty()) {
    window->Controls().SearchField->setText(QString::fromStdString(options.find));
    window->Controls().FindButton->click();
    Pump(kSettleMs);
    if (window->Session().State().FindHighlight < 0) {
      std::fprintf(stderr, "nerin-screenshots: Find found no \"%s\"\n", options.find.c_str());
      ok = false;
    }
  }
  ok = Save(*window, folder + "/tasks-list.png") && ok;
  window->Controls().ViewTabs->setCurrentIndex(static_cast<int>(ViewKind::Gantt));
  Pump(kSettleMs);

  const std::int64_t task = FindTask(window->Session().ShownPlan(), options.details);
  ok = task >= 0 && GrabModal([&] { DoubleClickTask(*window, task); }, folder + "/task-details.png") && ok;
  ok = GrabModal([&] { window->Controls().HelpButton->click(); }, folder + "/help.png") && ok;

  window.reset();
  return ok ? 0 : 1;
}

}  // namespace
}  // namespace nerin

int main(int argc, char** argv) {
  return nerin::Run(argc, argv);
}
