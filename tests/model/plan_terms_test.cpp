// SPDX-License-Identifier: MIT
// The plan in its own terms: units, calendars, status date and each task's further facts,
// and the bad forms of each that a plan still opens with.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "plan_text.h"

namespace nerin {
namespace {

using test::Element;

std::string StandardWeek() {
  std::string days;
  for (int type = 1; type <= 7; ++type) {
    const bool working = type >= 2 && type <= 6;
    days += Element("WeekDay", Element("DayType", std::to_string(type)) +
                                   Element("DayWorking", working ? "1" : "0"));
  }
  return Element("WeekDays", days);
}

std::string CalendarXml(int uid, std::string_view name, int base, std::string_view body = "") {
  return Element("Calendar", Element("UID", std::to_string(uid)) + Element("Name", name) +
                                 Element("BaseCalendarUID", std::to_string(base)) + std::string(body));
}

std::string ExceptionXml(std::string_view name, std::string_view from, std::string_view to, std::string_view more = "") {
  return Element("Exception", Element("Name", name) +
                                  Element("TimePeriod", Element("FromDate", from) + Element("ToDate", to)) +
                                  Element("DayWorking", "0") + std::string(more));
}

const TaskTerms& TermsOf(const Plan& plan, std::int64_t uid) {
  return plan.Terms.Tasks.at(static_cast<std::size_t>(TaskIndex(plan, uid)));
}

TEST(PlanTerms, HeaderAndTaskFacts) {
  const std::string task =
      test::TaskXml(1, Element("DurationFormat", "39") + Element("Estimated", "1") + Element("WBS", "P1 - 1.1.1.1") +
                           Element("Manual", "1") + Element("Active", "0") + Element("ConstraintType", "4") +
                           Element("ConstraintDate", "2026-03-03T08:00:00") + Element("Deadline", "2026-03-05T17:00:00") +
                           Element("CalendarUID", "3") + Element("ActualStart", "2026-03-02T08:00:00") +
                           Element("PercentWorkComplete", "72") + Element("ActualDuration", "PT12H0M0S") +
                           Element("Baseline", Element("Number", "0") + Element("Start", "2026-03-02") +
                                                   Element("Finish", "2026-03-04") + Element("Duration", "PT24H0M0S")) +
                           Element("Baseline", Element("Number", "3") + Element("Start", "2026-03-09") +
                                                   Element("Finish", "2026-03-10")) +
                           Element("Baseline", Element("Number", "11") + Element("Start", "2026-03-09") +
                                                   Element("Finish", "2026-03-10")));
  const std::string linked =
      test::TaskXml(2, Element("PredecessorLink", Element("PredecessorUID", "1") + Element("Type", "1") +
                                                      Element("LinkLag", "-75") + Element("LagFormat", "19")));
  const std::string header = Element("MinutesPerDay", "450") + Element("MinutesPerWeek", "2250") +
                             Element("DaysPerMonth", "21") + Element("DurationFormat", "9") +
                             Element("CalendarUID", "1") + Element("StatusDate", "2026-03-04T17:00:00");
  Plan plan;
  MessageLog log;
  ASSERT_TRUE(test::Load(plan, log,
                         test::ProjectXml(header + Element("Calendars", CalendarXml(1, "Standard", -1, StandardWeek())) +
                                          Element("Tasks", task + linked))));
  EXPECT_EQ(MessageListText(log).find("WARNING"), std::string::npos) << MessageListText(log);
  EXPECT_EQ(plan.Terms.Units.MinutesPerDay, 450);
  EXPECT_EQ(plan.Terms.Units.MinutesPerWeek, 2250);
  EXPECT_EQ(plan.Terms.Units.DaysPerMonth, 21);
  EXPECT_EQ(plan.Terms.DefaultFormat, DurationFormat::Weeks);
  EXPECT_EQ(plan.Terms.ProjectCalendar, 0);
  EXPECT_EQ(plan.Terms.StatusDate, OrdinalFromDate(2026, 3, 4));
  const TaskTerms& t = TermsOf(plan, 1);
  EXPECT_EQ(t.Format, DurationFormat::EstimatedDays);
  EXPECT_EQ(t.Estimated, 1);
  EXPECT_EQ(t.WBS, "P1 - 1.1.1.1");
  EXPECT_EQ(t.Manual, 1);
  EXPECT_EQ(t.Active, 0);
  EXPECT_EQ(t.Constraint, ConstraintType::StartNoEarlierThan);
  EXPECT_EQ(t.ConstraintDate, OrdinalFromDate(2026, 3, 3));
  EXPECT_EQ(t.Deadline, OrdinalFromDate(2026, 3, 5));
  EXPECT_EQ(t.CalendarUID, 3);
  EXPECT_EQ(t.ActualStart, OrdinalFromDate(2026, 3, 2));
  EXPECT_EQ(t.ActualFinish, 0);
  EXPECT_EQ(t.PercentWorkComplete, 72);
  EXPECT_EQ(t.ActualDurationHours, 12.0f);
  EXPECT_TRUE(t.Baselines[0].Present);
  EXPECT_EQ(t.Baselines[0].DurationHours, 24.0f);
  EXPECT_TRUE(t.Baselines[3].Present);
  EXPECT_EQ(t.Baselines[3].Finish, OrdinalFromDate(2026, 3, 10));
  EXPECT_FALSE(t.Baselines[1].Present);
  const TaskTerms& second = TermsOf(plan, 2);
  ASSERT_EQ(second.LagFormats.size(), 1u);
  EXPECT_EQ(second.LagFormats[0], DurationFormat::Percent);
  EXPECT_EQ(second.Active, 1);
  EXPECT_FALSE(second.Format.has_value());

  const std::string dump = test::ModelText(plan);
  EXPECT_TRUE(test::Has(dump, "TERMS mpd=450 mpw=2250 dpm=21 fmt=9 cal=1 projcal=0 status=739679(04.03.2026)\r\n"));
  EXPECT_TRUE(test::Has(dump, "CAL 0 uid=1 base=-1 isbase=0 baseignored=0 week=0,480,480,480,480,480,0"));
  EXPECT_TRUE(test::Has(dump, " lags=[19] baselines=[]|wbs=\r\n"));
  EXPECT_TRUE(test::Has(dump, "baselines=[0:739677..739679/24.00,3:739684..739685/0.00]|wbs=P1 - 1.1.1.1\r\n"));
}

// Each bad form is named in a message and the plan still opens.
TEST(PlanTerms, BadInputIsNamedAndIgnored) {
  struct Row {
    const char* what;
    std::string body;
    const char* message;
  };
  const std::string task = Element("Tasks", test::TaskXml(1));
  const Row rows[] = {
      {"missing base", Element("Calendars", CalendarXml(2, "Night", 9)) + task,
       "WARNING: Calendar \"Night\" (UID 2) names base calendar UID 9, which the plan does not have; the standard "
       "week stands in for it."},
      {"loop of bases",
       Element("Calendars", CalendarXml(2, "A", 3) + CalendarXml(3, "B", 4) + CalendarXml(4, "C", 2)) + task,
       "WARNING: Calendar \"C\" (UID 4) closes a loop of base calendars; its base calendar is ignored."},
      {"own base", Element("Calendars", CalendarXml(5, "Self", 5)) + task,
       "WARNING: Calendar \"Self\" (UID 5) closes a loop of base calendars; its base calendar is ignored."},
      {"exception backwards",
       Element("Calendars", CalendarXml(1, "Standard", -1,
                                        StandardWeek() + Element("Exceptions", ExceptionXml("Late", "2026-03-06T00:00:00",
                                                                                              "2026-03-05T23:59:00")))) +
           task,
       "WARNING: Calendar \"Standard\" (UID 1): the exception \"Late\" ends before it begins; it is ignored."},
      {"a million Mondays",
       Element("Calendars",
               CalendarXml(1, "Standard", -1,
                           Element("Exceptions", ExceptionXml("Mondays", "2000-01-01T00:00:00", "9999-12-31T23:59:00",
                                                              Element("Type", "6") + Element("Period", "1") +
                                                                  Element("DaysOfWeek", "2") +
                                                                  Element("Occurrences", "1000000"))))) +
           task,
       "INFO: Calendar \"Standard\" (UID 1): the exception \"Mondays\" repeats more often than the viewer keeps "
       "(20000 days an exception, 200000 a plan); its later occurrences are ignored."},
      {"unknown task format", Element("Tasks", test::TaskXml(1, Element("DurationFormat", "99"))),
       "WARNING: 1 duration or lag format(s) not known to the viewer (the first 99) ignored; those are shown in the "
       "plan's default unit."},
      {"unknown plan format", Element("DurationFormat", "2") + task,
       "WARNING: The plan's duration format 2 is not one the viewer knows; durations without a format of their own "
       "are shown in days."},
      {"status date far away", Element("StatusDate", "9999-12-31T17:00:00") + task,
       "INFO: The status date 31.12.9999 lies more than a hundred years from the plan's dates; it is ignored."},
      {"status date unreadable", Element("StatusDate", "NA") + task,
       "WARNING: The status date \"NA\" cannot be read; it is ignored."},
      {"project calendar missing", Element("CalendarUID", "7") + task,
       "WARNING: The project calendar UID 7 is not among the plan's calendars; Saturday and Sunday are taken as the "
       "days off."},
  };
  for (const Row& row : rows) {
    Plan plan;
    MessageLog log;
    EXPECT_TRUE(test::Load(plan, log, test::ProjectXml(row.body))) << row.what;
    EXPECT_TRUE(test::Has(MessageListText(log), std::string(row.message) + "\n"))
        << row.what << "\n" << MessageListText(log);
    EXPECT_EQ(plan.TaskCount(), 1) << row.what;
  }
}

TEST(PlanTerms, LoopedCalendarsStillCount) {
  const std::string calendars =
      Element("Calendars", CalendarXml(2, "A", 3, Element("WeekDays", Element("WeekDay", Element("DayType", "7") +
                                                                                          Element("DayWorking", "1")))) +
                               CalendarXml(3, "B", 2));
  Plan plan;
  MessageLog log;
  ASSERT_TRUE(test::Load(plan, log, test::ProjectXml(Element("CalendarUID", "3") + calendars +
                                                     Element("Tasks", test::TaskXml(1)))));
  // B's base A is ignored (A closes the loop at B? either way each keeps a whole week).
  const WorkCalendar& project = ProjectWorkCalendar(plan.Terms);
  EXPECT_EQ(project.WorkingMinutes(OrdinalFromDate(2026, 3, 2)), 480);
  EXPECT_FALSE(project.IsWorkingDay(OrdinalFromDate(2026, 3, 8)));
}

// A finish the plan leaves out is counted on the project calendar: over its holiday and
// through its working Saturday. A plan on the standard week counts Monday to Friday.
TEST(PlanTerms, DerivedDatesCountTheProjectCalendar) {
  const std::string saturdays = Element(
      "WeekDays", Element("WeekDay", Element("DayType", "7") + Element("DayWorking", "1") +
                                         Element("WorkingTimes", Element("WorkingTime", Element("FromTime", "08:00:00") +
                                                                                            Element("ToTime", "16:00:00")))));
  const std::string calendar =
      Element("Calendars", CalendarXml(1, "Site", -1,
                                       saturdays + Element("Exceptions", ExceptionXml("Holiday", "2026-03-04T00:00:00",
                                                                                      "2026-03-04T23:59:00"))));
  const std::string task = Element("Tasks", Element("Task", Element("UID", "1") + Element("Name", "Pour") +
                                                                Element("Start", "2026-03-02T08:00:00") +
                                                                Element("Duration", "PT40H0M0S")));
  struct Row {
    const char* what;
    std::string header;
    DayOrdinal finish;
  };
  const Row rows[] = {
      {"the plan's calendar", Element("CalendarUID", "1") + Element("StatusDate", "2026-03-05T17:00:00") + calendar,
       OrdinalFromDate(2026, 3, 7)},
      {"no calendar", "", OrdinalFromDate(2026, 3, 6)},
  };
  for (const Row& row : rows) {
    Plan plan;
    MessageLog log;
    ASSERT_TRUE(test::Load(plan, log, test::ProjectXml(row.header + task))) << MessageListText(log);
    EXPECT_EQ(plan.Tasks.at(0).Finish, row.finish) << row.what;
    EXPECT_EQ(test::Has(plan.LoadReport, "\r\nStatus date: 05.03.2026\r\n"), !row.header.empty()) << row.what;
  }
}

// Dates in Baseline 2 only: the chart compares with Baseline 2 and the message says so.
TEST(PlanTerms, LowestBaselineWhenThereIsNoBaselineZero) {
  const std::string baseline = Element("Baseline", Element("Number", "2") + Element("Start", "2026-03-03") +
                                                       Element("Finish", "2026-03-09"));
  Plan plan;
  MessageLog log;
  ASSERT_TRUE(test::Load(plan, log, test::ProjectXml(Element("Tasks", test::TaskXml(1, baseline) + test::TaskXml(2)))));
  EXPECT_EQ(plan.Tasks.at(0).BaselineFinish, OrdinalFromDate(2026, 3, 9));
  EXPECT_EQ(plan.Tasks.at(1).BaselineFinish, 0);
  const std::string messages = MessageListText(log);
  EXPECT_TRUE(test::Has(messages, "INFO: 1 task(s) carry Baseline 2; the grey bar shows its dates (the plan has no "
                                  "Baseline 0).\n"))
      << messages;
  EXPECT_FALSE(test::Has(messages, "no baseline data"));
  // Another baseline on request; one without dates changes nothing.
  EXPECT_FALSE(SelectBaseline(plan, 0));
  EXPECT_FALSE(SelectBaseline(plan, 11));
  EXPECT_EQ(plan.Tasks.at(0).BaselineFinish, OrdinalFromDate(2026, 3, 9));
}

std::string ReadSample(const char* name) {
  const char* shared = std::getenv("NERIN_SHARED_DIR");
  const std::filesystem::path root = shared != nullptr && *shared != '\0'
                                         ? std::filesystem::path(shared)
                                         : std::filesystem::path(NERIN_SOURCE_DIR) / ".." / "shared";
  std::ifstream file(root / "mpp" / "pairs" / name, std::ios::binary);
  std::stringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

// The product lists every occurrence of its recurring exceptions a second time, as single
// days among the week days; the recurrences worked out here must give the same days.
TEST(PlanTerms, RecurrencesAgreeWithTheProductsOwnList) {
  const std::string bytes = ReadSample("calendar-recurring-exceptions-project2010-mpp14.xml");
  if (bytes.empty()) GTEST_SKIP() << "the product's saves are not beside the project";
  const std::size_t begin = bytes.find("<Exceptions>");
  const std::size_t end = bytes.find("</Exceptions>");
  ASSERT_NE(begin, std::string::npos);
  const std::string listedOnly = bytes.substr(0, begin) + bytes.substr(end + 13);
  Plan recurring;
  Plan listed;
  MessageLog log;
  ASSERT_TRUE(LoadPlan(recurring, log, "recurring.xml", bytes)) << MessageListText(log);
  ASSERT_TRUE(LoadPlan(listed, log, "listed.xml", listedOnly)) << MessageListText(log);
  const WorkCalendar& a = ProjectWorkCalendar(recurring.Terms);
  const WorkCalendar& b = ProjectWorkCalendar(listed.Terms);
  std::int64_t daysOff = 0;
  for (DayOrdinal day = OrdinalFromDate(2000, 1, 1); day <= OrdinalFromDate(2010, 12, 31); ++day) {
    ASSERT_EQ(a.WorkingMinutes(day), b.WorkingMinutes(day)) << OrdinalLabel(day);
    if (WeekDayFromOrdinal(day) >= 1 && WeekDayFromOrdinal(day) <= 5 && !a.IsWorkingDay(day)) ++daysOff;
  }
  EXPECT_GT(daysOff, 50);
  // The working exception: 09:00-13:00 and 14:00-17:00 on the first Saturdays of 2010.
  EXPECT_EQ(a.WorkingMinutes(OrdinalFromDate(2010, 1, 2)), 420);
}

}  // namespace
}  // namespace nerin
