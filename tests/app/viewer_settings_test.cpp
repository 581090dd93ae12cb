// SPDX-License-Identifier: MIT
// Remembered settings: round trip, damaged files, ranges, the recent plans and where the
// window goes, each in a throwaway folder.
#include "app/viewer_settings.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <random>
#include <string>

#include "app/window_geometry.h"
#include "views/chart_view.h"

namespace nerin {
namespace {

void WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(bytes);
}

void ExpectLegal(const ViewerSettings& settings) {
  EXPECT_GE(settings.DayWidth, MIN_DAY_WIDTH);
  EXPECT_LE(settings.DayWidth, MAX_DAY_WIDTH);
  EXPECT_GE(settings.TaskColumnWidth, MIN_TASK_COLUMN_WIDTH);
  EXPECT_LE(settings.TaskColumnWidth, MAX_TASK_COLUMN_WIDTH);
  EXPECT_LE(settings.RecentPlans.size(), MAX_RECENT_PLANS);
  if (settings.WindowGeometry) {
    EXPECT_GT(settings.WindowGeometry->width(), 0);
    EXPECT_GT(settings.WindowGeometry->height(), 0);
  }
}

TEST(ViewerSettings, RoundTripInANewFolder) {
  QTemporaryDir dir;
  const QString path = dir.filePath("config/nerin/nerin-viewer.conf");  // folders made on save
  ViewerSettings saved;
  saved.WindowGeometry = QRect(-30, 40, 1200, 800);
  saved.Maximised = true;
  saved.DayWidth = 7.5f;
  saved.TaskColumnWidth = 512;
  saved.LastFolder = "/home/ana/Plans, 2026/\"Q1\" Ø";
  saved.RecentPlans = {"/plans/a,b.xml", "https://example.com/plan.xml?x=1,2&y=\"3\"",
                       "/plans/Ünïcode plan.xml", "/plans/semi;colon = equals [bracket].xml",
                       "/plans/back\\slash.xml"};
  ASSERT_TRUE(SaveViewerSettings(path, saved));
  EXPECT_EQ(LoadViewerSettings(path), saved);
  // Saved again over itself with less in it: nothing of the old file stays behind.
  ViewerSettings fewer;
  fewer.RecentPlans = {"/plans/only.xml"};
  ASSERT_TRUE(SaveViewerSettings(path, fewer));
  EXPECT_EQ(LoadViewerSettings(path), fewer);
  EXPECT_FALSE(QFile::exists(path + ".new"));
}

TEST(ViewerSettings, MissingOrUnreadableFileGivesDefaults) {
  QTemporaryDir dir;
  EXPECT_EQ(LoadViewerSettings(dir.filePath("none.conf")), ViewerSettings{});
  EXPECT_EQ(LoadViewerSettings(dir.path()), ViewerSettings{});  // a folder where the file should be
  EXPECT_EQ(LoadViewerSettings(QString()), ViewerSettings{});
  WriteBytes(dir.filePath("empty.conf"), {});
  EXPECT_EQ(LoadViewerSettings(dir.filePath("empty.conf")), ViewerSettings{});
}

TEST(ViewerSettings, ValuesOutOfRangeOrDamagedAreMadeLegal) {
  struct Row {
    const char* text;
    float dayWidth;
    std::int64_t taskColumn;
    bool hasGeometry;
    std::size_t recent;
  };
  const Row rows[] = {
      {"[chart]\ndayWidth=50\ntaskColumnWidth=100\n", MAX_DAY_WIDTH, MIN_TASK_COLUMN_WIDTH, false, 0},
      {"[chart]\ndayWidth=0.2\ntaskColumnWidth=99999999999\n", MIN_DAY_WIDTH, 390, false, 0},
      {"[chart]\ndayWidth=nan\ntaskColumnWidth=abc\n", 4.0f, 390, false, 0},
      {"[chart]\ndayWidth=inf\ntaskColumnWidth=-5\n", 4.0f, MIN_TASK_COLUMN_WIDTH, false, 0},
      {"[chart]\ndayWidth=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x1)\n", 4.0f, 390, false, 0},
      {"[window]\nx=10\ny=20\nwidth=0\nheight=500\n", 4.0f, 390, false, 0},
      {"[window]\nx=10\ny=20\nwidth=900\nheight=500\n", 4.0f, 390, true, 0},
      {"[window]\nx=10\ny=20\nwidth=90000000000\nheight=500\n", 4.0f, 390, false, 0},
      {"[open]\nrecentPlans=a, b, a, , c\\nd\n", 4.0f, 390, false, 2},
      {"[open]\nrecentPlans=1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12\nlastFolder=relative/folder\n", 4.0f, 390,
       false, 10},
      {"[open]\nrecentPlans=@Rect(1 2 3 4)\n", 4.0f, 390, false, 0},
  };
  QTemporaryDir dir;
  const QString path = dir.filePath("nerin-viewer.conf");
  for (const Row& row : rows) {
    WriteBytes(path, row.text);
    const ViewerSettings loaded = LoadViewerSettings(path);
    EXPECT_EQ(loaded.DayWidth, row.dayWidth) << row.text;
    EXPECT_EQ(loaded.TaskColumnWidth, row.taskColumn) << row.text;
    EXPECT_EQ(loaded.WindowGeometry.has_value(), row.hasGeometry) << row.text;
    EXPECT_EQ(loaded.RecentPlans.size(), row.recent) << row.text;
    EXPECT_EQ(loaded.LastFolder, "") << row.text;
    ExpectLegal(loaded);
  }
}

// A file of random bytes never fails the start: whatever is read is legal, and the next save
// replaces it.
TEST(ViewerSettings, RandomBytesGiveLegalSettingsAndAreReplacedOnSave) {
  QTemporaryDir dir;
  const QString path = dir.filePath("nerin-viewer.conf");
  std::mt19937 random(20261207);
  for (int round = 0; round < 50; ++round) {
    QByteArray bytes(static_cast<qsizetype>(random() % 4096), '\0');
    for (char& byte : bytes) byte = static_cast<char>(random());
    // Some rounds look like a settings file that went wrong half-way.
    if (round % 2 == 1) bytes.prepend("[chart]\ndayWidth=");
    WriteBytes(path, bytes);
    ExpectLegal(LoadViewerSettings(path));
  }
  ViewerSettings saved;
  saved.DayWidth = 12.0f;
  saved.RecentPlans = {"/plans/x.xml"};
  ASSERT_TRUE(SaveViewerSettings(path, saved));
  EXPECT_EQ(LoadViewerSettings(path), saved);
}

TEST(ViewerSettings, ResetStartsWithDefaults) {
  QTemporaryDir dir;
  const QString path = dir.filePath("nerin-viewer.conf");
  ViewerSettings saved;
  saved.TaskColumnWidth = 600;
  saved.RecentPlans = {"/plans/x.xml"};
  ASSERT_TRUE(SaveViewerSettings(path, saved));
  EXPECT_EQ(StartupSettings(path, true), ViewerSettings{});
  EXPECT_EQ(StartupSettings(path, false), saved);
}

TEST(RecentPlans, NewestFirstWithoutDuplicatesAtMostTen) {
  using List = std::vector<std::string>;
  struct Row {
    List before;
    std::string opened;
    List after;
  };
  const List ten = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
  const Row rows[] = {
      {{}, "/a.xml", {"/a.xml"}},
      {{"/a.xml", "/b.xml"}, "/b.xml", {"/b.xml", "/a.xml"}},
      {{"/a.xml", "/b.xml"}, "/a.xml", {"/a.xml", "/b.xml"}},
      {{"/a.xml"}, "", {"/a.xml"}},
      {ten, "new", {"new", "0", "1", "2", "3", "4", "5", "6", "7", "8"}},
      {ten, "5", {"5", "0", "1", "2", "3", "4", "6", "7", "8", "9"}},
      {{"/A.xml"}, "/a.xml", {"/a.xml", "/A.xml"}},  // file names differ by case on Linux
  };
  for (const Row& row : rows) {
    ViewerSettings settings;
    settings.RecentPlans = row.before;
    RememberPlan(settings, row.opened);
    EXPECT_EQ(settings.RecentPlans, row.after) << row.opened;
  }
  ViewerSettings settings;
  settings.RecentPlans = {"http://unreachable.invalid/plan.xml", "/a.xml"};
  EXPECT_TRUE(ForgetPlan(settings, "http://unreachable.invalid/plan.xml"));
  EXPECT_FALSE(ForgetPlan(settings, "http://unreachable.invalid/plan.xml"));
  EXPECT_EQ(settings.RecentPlans, List{"/a.xml"});
}

TEST(WindowPlace, RememberedFrameOnTheScreensOfNow) {
  const QList<QRect> one = {QRect(0, 0, 1920, 1080)};
  const QList<QRect> two = {QRect(0, 0, 1920, 1080), QRect(1920, 0, 2560, 1440)};
  struct Row {
    std::optional<QRect> remembered;
    QList<QRect> screens;
    std::optional<QRect> placed;
  };
  const Row rows[] = {
      {QRect(100, 100, 1000, 700), one, QRect(100, 100, 1000, 700)},
      {QRect(2500, 200, 1000, 700), two, QRect(2500, 200, 1000, 700)},  // on the second screen
      {QRect(2500, 200, 1000, 700), one, QRect(460, 190, 1000, 700)},   // that screen is gone
      {QRect(-950, 100, 1000, 700), one, QRect(460, 190, 1000, 700)},   // 50 wide in reach: too little
      {QRect(-900, 100, 1000, 700), one, QRect(-900, 100, 1000, 700)},  // 100 wide in reach
      {QRect(100, -40, 1000, 700), one, QRect(460, 190, 1000, 700)},    // title above the screen
      {QRect(100, 100, 300, 200), one,
       QRect(100, 100, static_cast<int>(MIN_WINDOW_WIDTH), static_cast<int>(MIN_WINDOW_HEIGHT))},
      {QRect(5000, 5000, 4000, 3000), one, QRect(0, 0, 1920, 1080)},  // larger than the screen
      {std::nullopt, one, std::nullopt},
      {QRect(100, 100, 1000, 700), {}, std::nullopt},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(PlacedWindowGeometry(row.remembered, row.screens), row.placed)
        << (row.remembered ? row.remembered->x() : -1);
  }
}

}  // namespace
}  // namespace nerin
