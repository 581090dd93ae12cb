// SPDX-License-Identifier: MIT
// Plans as the desktop product and other tools really write them: one small plan per
// construct, with the messages it gives and the dump lines that matter. Each encoding's
// decoding is tested with the document tree (tests/xml); here, what a load says about it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plan_text.h"

namespace nerin {
namespace {

using namespace std::string_literals;
using test::Element;
using test::Has;
using test::ProjectXml;
using test::TaskXml;

const char* const kNoBaseline = "INFO: This export contains no baseline data, so no baseline bars are drawn.";
const char* const kNoCritical = "INFO: No task is flagged as critical; the export contains no critical path.";

// The messages of the load without the two that nearly every small plan gives.
std::vector<std::string> Messages(const MessageLog& log) {
  std::vector<std::string> lines;
  const std::string text = MessageListText(log);
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = text.find('\n', at);
    std::string line = text.substr(at, end - at);
    if (line != kNoBaseline && line != kNoCritical) lines.push_back(std::move(line));
    at = end + 1;
  }
  return lines;
}

struct Construct {
  std::string what;
  std::string bytes;
  bool loads;
  std::vector<std::string> messages;
  std::vector<std::string> dump;  // parts of the model dump
};

void Check(const std::vector<Construct>& rows) {
  for (const Construct& row : rows) {
    Plan plan;
    MessageLog log;
    EXPECT_EQ(LoadPlan(plan, log, "site-plan.xml", row.bytes), row.loads) << row.what << "\n" << MessageListText(log);
    EXPECT_EQ(Messages(log), row.messages) << row.what;
    const std::string dump = test::ModelText(plan);
    for (const std::string& part : row.dump) EXPECT_TRUE(Has(dump, part)) << row.what << ": " << part << "\n" << dump;
  }
}

std::string Task(std::int64_t uid, std::string_view children) {
  return Element("Task", Element("UID", std::to_string(uid)) + Element("ID", std::to_string(uid)) +
                             Element("Name", "Task " + std::to_string(uid)) + std::string(children));
}

std::string Tasks(std::string_view tasks) {
  return Element("Tasks", tasks);
}

const std::string kDerived1 =
    "INFO: 1 task date(s) missing or unreadable were derived from the other date and the duration, in working "
    "days of 480 minutes, Monday to Friday.";
const std::string kWithoutBar1 =
    "WARNING: 1 task(s) have no start or finish date that could be read or derived; they are shown without a "
    "bar.";

TEST(RealPlans, ProjectDates) {
  const std::string oneTask = Tasks(TaskXml(1));
  Check({
      {"declared start after the declared finish",
       ProjectXml(oneTask, "2026-03-31T08:00:00", "2026-03-02T17:00:00"),
       true,
       {"WARNING: The declared project start date (31.03.2026) is after the declared project finish date "
        "(02.03.2026); the chart follows the tasks.",
        "INFO: 1 task(s) fall outside the declared project dates; timeline extended to cover them."},
       {"DATES start=739706(31.03.2026) finish=739677(02.03.2026) timeline=739677..739706 totaldays=43"}},
      // The chart covers the declared start two years on, so it spans two years, not none.
      {"a task two years before a start that is after the finish",
       ProjectXml(oneTask, "2028-03-06T08:00:00", "2026-03-06T17:00:00"),
       true,
       {"WARNING: The declared project start date (06.03.2028) is after the declared project finish date "
        "(06.03.2026); the chart follows the tasks.",
        "INFO: 1 task(s) fall outside the declared project dates; timeline extended to cover them.",
        "WARNING: Task 1 \"Task 1\" starts 02.03.2026, 2 year(s) before the declared project start. The chart "
        "spans 2 year(s) as a result; check the date in the source plan."},
       {"timeline=739677..740412 "}},
      {"no StartDate, tasks dated",
       ProjectXml(Tasks(TaskXml(1, "", "2026-03-04", "2026-03-06") + TaskXml(2, "", "2026-03-02", "2026-03-03")),
                  "", "2026-03-31T17:00:00"),
       true,
       {"INFO: Project start date missing; deriving it from task start dates.",
        "INFO: Project start date derived from the earliest task start date."},
       {"DATES start=739677(02.03.2026) finish=739706(31.03.2026) timeline=739677..739706 "}},
      {"empty StartDate and FinishDate, tasks dated", ProjectXml(oneTask, " ", "\n"), true,
       {"INFO: Project start date missing; deriving it from task start dates.",
        "INFO: Project finish date missing; deriving it from task finish dates.",
        "INFO: Project start date derived from the earliest task start date.",
        "INFO: Project finish date derived from the latest task finish date."},
       {"DATES start=739677(02.03.2026) finish=739681(06.03.2026) "}},
      {"a start after every task and no finish", ProjectXml(oneTask, "2026-03-20T08:00:00", ""), true,
       {"INFO: Project finish date missing; deriving it from task finish dates.",
        "INFO: Project finish date derived from the latest task finish date.",
        "WARNING: The declared project start date (20.03.2026) is after the project finish date derived from the "
        "tasks (06.03.2026); the chart follows the tasks.",
        "INFO: 1 task(s) fall outside the declared project dates; timeline extended to cover them."},
       {"timeline=739677..739695 "}},
  });
}

TEST(RealPlans, TaskDatesFromTheDuration) {
  Check({
      {"start and duration", ProjectXml(Tasks(TaskXml(1, "<Duration>PT40H0M0S</Duration>", "2026-03-02", ""))),
       true, {kDerived1}, {" start=739677(02.03.2026) finish=739681(06.03.2026) "}},
      {"finish and duration, across a weekend",
       ProjectXml(Tasks(TaskXml(1, "<Duration>PT80H0M0S</Duration>", "", "2026-03-13T17:00:00"))), true,
       {kDerived1}, {" start=739677(02.03.2026) finish=739688(13.03.2026) "}},
      {"from a Wednesday into the next week",
       ProjectXml(Tasks(TaskXml(1, "<Duration>PT40H0M0S</Duration>", "2026-03-04T08:00:00", ""))), true,
       {kDerived1}, {" start=739679(04.03.2026) finish=739685(10.03.2026) "}},
      {"a start on a Saturday counts from Monday",
       ProjectXml(Tasks(TaskXml(1, "<Duration>PT16H0M0S</Duration>", "2026-03-07", ""))), true,
       {kDerived1}, {" start=739682(07.03.2026) finish=739685(10.03.2026) "}},
      {"a part of a day is a day", ProjectXml(Tasks(TaskXml(1, "<Duration>PT12H0M0S</Duration>", "2026-03-02", ""))),
       true, {kDerived1}, {" finish=739678(03.03.2026) "}},
      {"the project's own working day",
       ProjectXml("<MinutesPerDay>420</MinutesPerDay>" +
                  Tasks(TaskXml(1, "<Duration>PT14H0M0S</Duration>", "2026-03-02", ""))),
       true,
       {"INFO: 1 task date(s) missing or unreadable were derived from the other date and the duration, in "
        "working days of 420 minutes, Monday to Friday."},
       {" finish=739678(03.03.2026) "}},
      // Whole minutes, rounded up to whole days: a float of 1.3333334 hours is no 81st day.
      {"1-minute days",
       ProjectXml("<MinutesPerDay>1</MinutesPerDay>" +
                  Tasks(TaskXml(1, "<Duration>PT1H20M0S</Duration>", "2026-03-02", ""))),
       true,
       {"INFO: 1 task date(s) missing or unreadable were derived from the other date and the duration, in "
        "working days of 1 minutes, Monday to Friday.",
        "INFO: 1 task(s) fall outside the declared project dates; timeline extended to cover them."},
       {" start=739677(02.03.2026) finish=739786(19.06.2026) "}},
      {"a part of a very long day is a day, counted from Monday",
       ProjectXml("<MinutesPerDay>1000000000000</MinutesPerDay>" +
                  Tasks(TaskXml(1, "<Duration>PT8H0M0S</Duration>", "2026-03-07", ""))),
       true,
       {"INFO: 1 task date(s) missing or unreadable were derived from the other date and the duration, in "
        "working days of 1000000000000 minutes, Monday to Friday."},
       {" start=739682(07.03.2026) finish=739684(09.03.2026) "}},
      {"a milestone", ProjectXml(Tasks(TaskXml(1, "<Duration>PT0H0M0S</Duration><Milestone>1</Milestone>", "",
                                               "2026-03-06T17:00:00"))),
       true, {kDerived1}, {" mile=1 crit=0 start=739681(06.03.2026) finish=739681(06.03.2026) "}},
      {"an unreadable start", ProjectXml(Tasks(TaskXml(1, "<Duration>P1D</Duration>", "2026-13-02", "2026-03-06"))),
       true, {kDerived1}, {" start=739679(04.03.2026) finish=739681(06.03.2026) "}},
      {"neither date", ProjectXml(Tasks(TaskXml(1) + Task(2, "<Duration>PT8H0M0S</Duration>"))), true,
       {kWithoutBar1}, {"T 1 uid=2 id=2 lvl=1 sum=0 mile=0 crit=0 start=0() finish=0() "}},
      {"one date and no duration", ProjectXml(Tasks(TaskXml(1, "", "2026-03-02", ""))), true, {kWithoutBar1},
       {" start=739677(02.03.2026) finish=0() "}},
      {"counted once for all tasks",
       ProjectXml(Tasks(TaskXml(1, "<Duration>PT8H0M0S</Duration>", "2026-03-02", "") +
                        TaskXml(2, "<Duration>PT8H0M0S</Duration>", "", "2026-03-03") + Task(3, "") + Task(4, ""))),
       true,
       {"INFO: 2 task date(s) missing or unreadable were derived from the other date and the duration, in "
        "working days of 480 minutes, Monday to Friday.",
        "WARNING: 2 task(s) have no start or finish date that could be read or derived; they are shown without "
        "a bar."},
       {"COUNTS tasks=4 "}},
  });
}

TEST(RealPlans, FlagsAsBooleanWords) {
  Check({
      {"true in any case", ProjectXml(Tasks(TaskXml(1, "<Summary>true</Summary><Milestone>TRUE</Milestone>"
                                                       "<Critical> True\n</Critical>"))),
       true, {"INFO: All 1 tasks are flagged critical, so the plan has no float anywhere; the critical chain is not "
              "meaningful here."},
       {" sum=1 mile=1 crit=1 "}},
      {"false, 0 and other words", ProjectXml(Tasks(TaskXml(1, "<Summary>false</Summary><Milestone>0</Milestone>"
                                                               "<Critical>yes</Critical>"))),
       true, {}, {" sum=0 mile=0 crit=0 "}},
      {"placeholders and cost resources",
       ProjectXml(Tasks(TaskXml(1) + "<Task><UID>2</UID><IsNull>true</IsNull></Task>") +
                  Element("Resources", test::ResourceXml(1, "<IsCostResource>True</IsCostResource>") +
                                           "<Resource><UID>2</UID><IsNull>TRUE</IsNull></Resource>")),
       true,
       {"INFO: 1 empty task row(s) left out.", "INFO: 1 empty resource row(s) left out."},
       {"COUNTS tasks=1 resources=1 ", "R 0 uid=1 id=0 type=0 cost=1 "}},
  });
}

std::string Plan(std::string_view header) {
  return "<Project>" + std::string(header) + "<StartDate>2026-03-02</StartDate><FinishDate>2026-03-31</FinishDate>" +
         Tasks(TaskXml(1)) + "</Project>";
}

TEST(RealPlans, ProjectName) {
  Check({
      {"Name", Plan("<Title>Title</Title><Name>Name</Name>"), true, {}, {"PROJECT name=Name|"}},
      {"Title without Name", Plan("<Title>Harbour refit</Title>"), true, {}, {"PROJECT name=Harbour refit|"}},
      {"Title and an empty Name", Plan("<Name>  </Name><Title>Harbour refit</Title>"), true, {},
       {"PROJECT name=Harbour refit|"}},
      {"neither", Plan("<Author>Mara</Author>"), true,
       {"INFO: The plan has no name or title; it is shown under its file name."}, {"PROJECT name=site-plan|"}},
  });
}

TEST(RealPlans, ProjectSummaryRow) {
  const std::string first = Task(1, "<OutlineLevel>1</OutlineLevel><Start>2026-03-02</Start><Finish>2026-03-06</Finish>");
  Check({
      {"UID 0 at level 0",
       ProjectXml(Tasks(Task(0, "<OutlineLevel>0</OutlineLevel><Summary>1</Summary>") + first)), true,
       {"INFO: 1 project summary task(s) left out; the chart shows the tasks of the plan under it."}, {"COUNTS tasks=1 ", "T 0 uid=1 "}},
      {"UID 0 without a level", ProjectXml(Tasks(Task(0, "") + first)), true,
       {"INFO: 1 project summary task(s) left out; the chart shows the tasks of the plan under it."}, {"COUNTS tasks=1 "}},
      {"level 0 with another UID", ProjectXml(Tasks(Task(9, "<OutlineLevel>0</OutlineLevel>") + first)), true,
       {"INFO: 1 more task(s) at the level of the project summary left out."}, {"COUNTS tasks=1 ", "T 0 uid=1 "}},
      // A tool that numbers from 0: the first task is UID 0, and links name it.
      {"UID 0 at level 1",
       ProjectXml(Tasks(Task(0, "<OutlineLevel>1</OutlineLevel><Start>2026-03-02</Start><Finish>2026-03-03</Finish>") +
                        TaskXml(1, test::LinkXml(0, 1), "2026-03-04", "2026-03-06"))),
       true, {}, {"COUNTS tasks=2 ", "T 0 uid=0 id=0 lvl=1 ", "T 1 uid=1 ", " links=[0>0:1:0] "}},
  });
}

TEST(RealPlans, RootForms) {
  const std::string plan = "xmlns:p=\"http://schemas.microsoft.com/project\"";
  Check({
      {"prefixed root and elements",
       "<p:Project " + plan + "><p:Name>Quay</p:Name><p:StartDate>2026-03-02</p:StartDate><p:Tasks><p:Task>"
       "<p:UID>1</p:UID><p:Start>2026-03-02</p:Start><p:Finish>2026-03-06</p:Finish><p:Summary>1</p:Summary>"
       "</p:Task></p:Tasks></p:Project>",
       true, {"INFO: Project finish date missing; deriving it from task finish dates.",
              "INFO: Project finish date derived from the latest task finish date."},
       {"PROJECT name=Quay|", "T 0 uid=1 id=0 lvl=1 sum=1 "}},
      {"a prefix of another namespace is not the plan's",
       ProjectXml("<x:Tasks xmlns:x=\"urn:other\">" + TaskXml(1) + "</x:Tasks>" + Tasks(TaskXml(2))), true, {},
       {"COUNTS tasks=1 ", "T 0 uid=2 "}},
      {"a root of another namespace", "<x:Project xmlns:x=\"urn:other\"><Tasks/></x:Project>", false,
       {"ERROR: Root element is not Project."}, {}},
  });
}

TEST(RealPlans, Encodings) {
  const std::string dates = "<StartDate>2026-03-02</StartDate><FinishDate>2026-03-31</FinishDate>";
  const std::string body = "<Name>Br\xC3\xBC" "cke</Name>" + dates + Tasks(TaskXml(1)) + "</Project>";
  const auto Declared = [&](std::string_view encoding, std::string_view name) {
    return "<?xml version=\"1.0\" encoding=\"" + std::string(encoding) + "\"?><Project><Name>" +
           std::string(name) + "</Name>" + dates + Tasks(TaskXml(1)) + "</Project>";
  };
  const std::string utf16 = "<?xml version=\"1.0\" encoding=\"UTF-16\"?><Project>" + body;
  Check({
      {"UTF-16LE with a mark", test::Utf16(utf16, false, true), true, {}, {"PROJECT name=Br\xC3\xBC" "cke|"}},
      {"windows-1252", Declared("windows-1252", "\x84Kai\x93 \x80"), true, {},
       {"PROJECT name=\xE2\x80\x9EKai\xE2\x80\x9C \xE2\x82\xAC|"}},
      {"bytes that do not decode", Declared("windows-1252", "A\x81" "B\x8D"), true,
       {"WARNING: 2 character(s) could not be decoded as windows-1252 and are shown as \"\xEF\xBF\xBD\"."},
       {"PROJECT name=A\xEF\xBF\xBD" "B\xEF\xBF\xBD|"}},
      {"Latin-1 bytes in a file that declares nothing", "<Project><Name>Br\xFC" "cke</Name>" + body.substr(body.find("<StartDate>")),
       true,
       {"WARNING: 1 character(s) could not be decoded as UTF-8 and are shown as \"\xEF\xBF\xBD\"."},
       {"PROJECT name=Br\xEF\xBF\xBD" "cke|"}},
      {"an encoding nobody knows", Declared("x-nerin-1", "B"), false,
       {"ERROR: The XML declaration names the encoding \"x-nerin-1\", which the viewer cannot read."}, {}},
  });
}

}  // namespace
}  // namespace nerin
