// SPDX-License-Identifier: MIT
// The watch on the shown plan's file, with a real file written in place, replaced by rename,
// deleted and recreated, with a short quiet time. Waits for a report run the event loop with
// generous time-outs; a check that nothing is reported waits twice the quiet time.
#include "app/plan_watcher.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <functional>
#include <memory>

namespace nerin {
namespace {

// Long enough for a test machine under load, short enough for the tests to run quickly; a burst
// of writes comes at a tenth of it.
constexpr int QUIET_MS = 200;
constexpr int BURST_GAP_MS = 20;

// Runs the event loop for about this long.
void Pump(int milliseconds) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < milliseconds) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(5);
  }
}

// Runs the event loop until the condition holds or the time is up.
bool WaitFor(const std::function<bool()>& condition, int milliseconds = 10000) {
  QElapsedTimer clock;
  clock.start();
  while (!condition()) {
    if (clock.elapsed() > milliseconds) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(5);
  }
  return true;
}

void Write(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  ASSERT_EQ(file.write(bytes), bytes.size());
}

// A fresh folder with plan.xml followed from the start; `reports` counts what was reported.
struct Watched {
  QTemporaryDir dir;
  QString plan = dir.filePath("plan.xml");
  int reports = 0;
  PlanWatcher watcher{[this] { ++reports; }, QUIET_MS};
  std::unique_ptr<QFile> held;  // an old version some program still has open

  Watched() {
    Write(plan, "<Project>first</Project>");
    watcher.Follow(plan);
  }
  // After a settled report, nothing more comes for twice the quiet time.
  bool ReportedOnce() {
    if (!WaitFor([this] { return reports >= 1; })) return false;
    Pump(2 * QUIET_MS);
    return reports == 1;
  }
  bool NothingReported() {
    Pump(2 * QUIET_MS);
    return reports == 0;
  }
};

TEST(PlanWatcher, EachWayOfSavingGivesOneReport) {
  struct Row {
    const char* name;
    std::function<void(Watched&)> save;
  };
  const Row rows[] = {
      {"rewritten in place", [](Watched& w) { Write(w.plan, "<Project>second, longer</Project>"); }},
      {"replaced by rename",
       [](Watched& w) {
         const QString fresh = w.dir.filePath(".plan.xml.part");
         Write(fresh, "<Project>renamed</Project>");
         ASSERT_EQ(std::rename(QFile::encodeName(fresh).constData(), QFile::encodeName(w.plan).constData()),
                   0);
       }},
      {"replaced by rename while the old file is held open",
       [](Watched& w) {
         w.held = std::make_unique<QFile>(w.plan);
         ASSERT_TRUE(w.held->open(QIODevice::ReadOnly));
         const QString fresh = w.dir.filePath(".plan.xml.part");
         Write(fresh, "<Project>renamed</Project>");
         ASSERT_EQ(std::rename(QFile::encodeName(fresh).constData(), QFile::encodeName(w.plan).constData()),
                   0);
       }},
      {"deleted and recreated",
       [](Watched& w) {
         ASSERT_TRUE(QFile::remove(w.plan));
         Pump(BURST_GAP_MS);
         Write(w.plan, "<Project>again</Project>");
       }},
      {"emptied", [](Watched& w) { Write(w.plan, ""); }},
      {"twenty writes in a burst",
       [](Watched& w) {
         for (int i = 0; i < 20; ++i) {
           Write(w.plan, QByteArray("<Project>") + QByteArray::number(i) + "</Project>");
           Pump(BURST_GAP_MS);
         }
       }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Watched w;
    row.save(w);
    EXPECT_TRUE(w.ReportedOnce()) << w.reports << " reports";
    // And it goes on following the path: the next save is reported too.
    Write(w.plan, "<Project>next</Project>");
    EXPECT_TRUE(WaitFor([&] { return w.reports == 2; })) << w.reports << " reports";
  }
}

TEST(PlanWatcher, DeletedFileIsReportedOnlyWhenItIsBack) {
  Watched w;
  ASSERT_TRUE(QFile::remove(w.plan));
  EXPECT_TRUE(w.NothingReported());
  Write(w.plan, "<Project>back</Project>");
  EXPECT_TRUE(w.ReportedOnce());
}

TEST(PlanWatcher, QuietWithoutAChangeOfThePlan) {
  Watched w;
  EXPECT_TRUE(w.NothingReported());
  // Another file in the same folder is none of its business.
  Write(w.dir.filePath("other.xml"), "<Project/>");
  EXPECT_TRUE(w.NothingReported());
}

TEST(PlanWatcher, StoppedOrMovedOnItFollowsNoMore) {
  Watched w;
  Write(w.plan, "<Project>changed</Project>");
  w.watcher.Stop();  // a change still waiting for quiet is dropped too
  EXPECT_TRUE(w.NothingReported());
  Write(w.plan, "<Project>changed again</Project>");
  EXPECT_TRUE(w.NothingReported());
  EXPECT_TRUE(w.watcher.Path().isEmpty());

  const QString other = w.dir.filePath("other.xml");
  Write(other, "<Project/>");
  w.watcher.Follow(other);
  Write(w.plan, "<Project>not followed</Project>");
  EXPECT_TRUE(w.NothingReported());
  Write(other, "<Project>followed</Project>");
  EXPECT_TRUE(w.ReportedOnce());
}

}  // namespace
}  // namespace nerin
