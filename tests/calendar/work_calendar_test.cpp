// SPDX-License-Identifier: MIT
#include "calendar/work_calendar.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace nerin {
namespace {

DayOrdinal D(std::int64_t year, std::int64_t month, std::int64_t day) {
  return OrdinalFromDate(year, month, day);
}

DaySchedule Off() {
  DaySchedule day;
  day.Defined = true;
  return day;
}

DaySchedule Working(std::vector<WorkingTime> times = {}) {
  DaySchedule day;
  day.Defined = true;
  day.Working = true;
  day.Times = std::move(times);
  return day;
}

CalendarException Holiday(DayOrdinal from, DayOrdinal to, std::string name = "holiday") {
  CalendarException e;
  e.Name = std::move(name);
  e.From = from;
  e.To = to;
  e.Day = Off();
  return e;
}

// Every day of the recurrence's range that is taken, as the product lists it.
std::vector<DayOrdinal> Taken(const CalendarException& e) {
  CalendarDefinition definition;
  // A week of seven working days, so only the exception makes a day off.
  for (DaySchedule& day : definition.Week) day = Working();
  definition.Exceptions.push_back(e);
  CalendarNotes notes;
  const WorkCalendar calendar(definition, nullptr, notes);
  std::vector<DayOrdinal> days;
  for (DayOrdinal day = e.From; day <= e.To; ++day) {
    if (!calendar.IsWorkingDay(day)) days.push_back(day);
  }
  return days;
}

TEST(WorkCalendar, StandardWeek) {
  const WorkCalendar calendar;
  EXPECT_TRUE(calendar.IsStandard());
  EXPECT_EQ(calendar.WorkingMinutes(D(2026, 3, 2)), 480);  // Monday
  EXPECT_EQ(calendar.WorkingMinutes(D(2026, 3, 7)), 0);    // Saturday
  EXPECT_EQ(calendar.WorkingMinutes(D(2026, 3, 8)), 0);    // Sunday
  EXPECT_EQ(calendar.WorkingMinutes(0), 0);
}

// The product's recurrences, as its own saves list their occurrences beside them.
TEST(WorkCalendar, Recurrences) {
  struct Row {
    const char* name;
    CalendarException e;
    std::vector<DayOrdinal> days;
  };
  auto make = [](Recurrence kind, DayOrdinal from, DayOrdinal to, std::int64_t occurrences, std::int64_t period) {
    CalendarException e = Holiday(from, to);
    e.Kind = kind;
    e.Occurrences = occurrences;
    e.Period = period;
    return e;
  };
  std::vector<Row> rows;
  rows.push_back({"daily range", make(Recurrence::Daily, D(2000, 1, 1), D(2000, 1, 3), 3, 1),
                  {D(2000, 1, 1), D(2000, 1, 2), D(2000, 1, 3)}});
  rows.push_back({"every 3 days", make(Recurrence::EveryNDays, D(2000, 2, 1), D(2000, 2, 10), 4, 3),
                  {D(2000, 2, 1), D(2000, 2, 4), D(2000, 2, 7), D(2000, 2, 10)}});
  CalendarException weekly = make(Recurrence::Weekly, D(2001, 1, 1), D(2001, 2, 13), 4, 2);
  weekly.DaysOfWeek = 4;  // Tuesday
  rows.push_back({"every 2 weeks on Tuesday", weekly, {D(2001, 1, 2), D(2001, 1, 16), D(2001, 1, 30), D(2001, 2, 13)}});
  CalendarException firstMonday = make(Recurrence::MonthlyByPosition, D(2002, 1, 1), D(2002, 5, 6), 3, 2);
  firstMonday.Item = MonthItem::Monday;
  rows.push_back({"first Monday every 2 months", firstMonday, {D(2002, 1, 7), D(2002, 3, 4), D(2002, 5, 6)}});
  CalendarException lastThursday = make(Recurrence::MonthlyByPosition, D(2002, 1, 1), D(2002, 3, 31), 0, 1);
  lastThursday.Item = MonthItem::Thursday;
  lastThursday.MonthPosition = 4;
  rows.push_back({"last Thursday", lastThursday, {D(2002, 1, 31), D(2002, 2, 28), D(2002, 3, 28)}});
  CalendarException fourth = make(Recurrence::MonthlyByDate, D(2003, 1, 1), D(2005, 2, 4), 6, 5);
  fourth.MonthDay = 4;
  rows.push_back({"day 4 every 5 months", fourth,
                  {D(2003, 1, 4), D(2003, 6, 4), D(2003, 11, 4), D(2004, 4, 4), D(2004, 9, 4), D(2005, 2, 4)}});
  CalendarException thirtyFirst = make(Recurrence::MonthlyByDate, D(2003, 1, 1), D(2003, 3, 31), 0, 1);
  thirtyFirst.MonthDay = 31;
  rows.push_back({"day 31 held within short months", thirtyFirst, {D(2003, 1, 31), D(2003, 2, 28), D(2003, 3, 31)}});
  CalendarException yearly = make(Recurrence::YearlyByDate, D(2005, 1, 1), D(2008, 3, 2), 4, 1);
  yearly.Month = 1;  // February
  yearly.MonthDay = 2;
  rows.push_back({"2 February yearly", yearly, {D(2005, 2, 2), D(2006, 2, 2), D(2007, 2, 2), D(2008, 2, 2)}});
  CalendarException firstTuesdayMarch = make(Recurrence::YearlyByPosition, D(2004, 1, 1), D(2007, 3, 6), 4, 1);
  firstTuesdayMarch.Month = 2;
  firstTuesdayMarch.Item = MonthItem::Tuesday;
  rows.push_back({"first Tuesday of March", firstTuesdayMarch,
                  {D(2004, 3, 2), D(2005, 3, 1), D(2006, 3, 7), D(2007, 3, 6)}});
  CalendarException weekday = make(Recurrence::MonthlyByPosition, D(2026, 8, 1), D(2026, 8, 31), 1, 1);
  weekday.Item = MonthItem::Weekday;
  rows.push_back({"first weekday (August 2026 begins on a Saturday)", weekday, {D(2026, 8, 3)}});
  CalendarException noDays = make(Recurrence::Weekly, D(2001, 1, 1), D(2001, 2, 1), 0, 1);
  rows.push_back({"weekly on no day", noDays, {}});
  for (const Row& row : rows) EXPECT_EQ(Taken(row.e), row.days) << row.name;
}

TEST(WorkCalendar, ExceptionsWeeksAndBase) {
  CalendarDefinition base;
  base.Week[6] = Working({{8 * 60, 12 * 60}});  // Saturday mornings
  base.Exceptions.push_back(Holiday(D(2026, 12, 24), D(2026, 12, 26), "Christmas"));
  CalendarNotes notes;
  const auto standard = std::make_shared<const WorkCalendar>(base, nullptr, notes);

  CalendarDefinition derived;
  derived.Week[5] = Off();  // no Fridays
  CalendarException workingSunday = Holiday(D(2026, 12, 27), D(2026, 12, 27), "stock-take");
  workingSunday.Day = Working({{9 * 60, 13 * 60}, {14 * 60, 0 + 1440}});
  derived.Exceptions.push_back(workingSunday);
  WorkWeek summer;
  summer.From = D(2026, 7, 1);
  summer.To = D(2026, 8, 31);
  summer.Days[1] = Working({{7 * 60, 13 * 60}});  // Mondays short
  derived.WorkWeeks.push_back(summer);
  const WorkCalendar resource(derived, standard, notes);

  struct Row {
    const char* what;
    const WorkCalendar& calendar;
    DayOrdinal day;
    std::int64_t minutes;
  };
  const Row rows[] = {
      {"base Saturday", *standard, D(2026, 12, 5), 240},
      {"base holiday", *standard, D(2026, 12, 24), 0},
      {"base Thursday", *standard, D(2026, 12, 3), 480},
      {"derived Friday off", resource, D(2026, 12, 4), 0},
      {"derived inherits Saturday", resource, D(2026, 12, 5), 240},
      {"derived inherits holiday", resource, D(2026, 12, 24), 0},
      {"derived working Sunday", resource, D(2026, 12, 27), 240 + 600},
      {"work week Monday", resource, D(2026, 7, 6), 360},
      {"work week leaves Tuesday", resource, D(2026, 7, 7), 480},
      {"Monday after the work week", resource, D(2026, 9, 7), 480},
  };
  for (const Row& row : rows) EXPECT_EQ(row.calendar.WorkingMinutes(row.day), row.minutes) << row.what;
  EXPECT_FALSE(resource.IsStandard());
  EXPECT_TRUE(notes.ReversedExceptions.empty());
}

TEST(WorkCalendar, BadExceptionsAreNoted) {
  CalendarDefinition definition;
  definition.Exceptions.push_back(Holiday(D(2026, 5, 2), D(2026, 5, 1), "backwards"));
  CalendarException endless = Holiday(D(2000, 1, 1), D(9999, 12, 31), "endless");
  endless.Kind = Recurrence::Weekly;
  endless.DaysOfWeek = 2;  // Mondays
  endless.Occurrences = 1000000;
  definition.Exceptions.push_back(endless);
  WorkWeek reversed;
  reversed.From = D(2026, 2, 1);
  reversed.To = D(2026, 1, 1);
  definition.WorkWeeks.push_back(reversed);
  CalendarNotes notes;
  const WorkCalendar calendar(definition, nullptr, notes);
  EXPECT_EQ(notes.ReversedExceptions, std::vector<std::string>{"backwards"});
  EXPECT_EQ(notes.CutExceptions, std::vector<std::string>{"endless"});
  EXPECT_EQ(notes.ReversedWorkWeeks, 1);
  EXPECT_EQ(calendar.WorkingMinutes(D(2026, 5, 1)), 480);  // the backwards one is ignored
  EXPECT_EQ(calendar.WorkingMinutes(D(2000, 1, 3)), 0);    // the first Monday is taken
  EXPECT_LE(calendar.ExceptionRangeCount(), MAX_EXCEPTION_OCCURRENCES);
}

// The calendars of one plan share what their recurrences may add.
TEST(WorkCalendar, OccurrenceBudget) {
  CalendarDefinition definition;
  CalendarException daily = Holiday(D(2026, 1, 1), D(2026, 1, 31), "every other day");
  daily.Kind = Recurrence::EveryNDays;
  daily.Period = 2;
  definition.Exceptions.push_back(daily);
  CalendarNotes notes;
  notes.OccurrenceBudget = 5;
  const WorkCalendar calendar(definition, nullptr, notes);
  EXPECT_EQ(notes.CutExceptions, std::vector<std::string>{"every other day"});
  EXPECT_EQ(notes.OccurrenceBudget, 0);
  EXPECT_FALSE(calendar.IsWorkingDay(D(2026, 1, 9)));  // the fifth
  EXPECT_TRUE(calendar.IsWorkingDay(D(2026, 1, 13)));  // the seventh is past the budget
}

TEST(WorkCalendar, AddingWorkingTime) {
  CalendarDefinition definition;
  definition.Exceptions.push_back(Holiday(D(2026, 4, 3), D(2026, 4, 6), "Easter"));  // Friday to Monday
  CalendarNotes notes;
  const WorkCalendar easter(definition, nullptr, notes);
  const WorkCalendar standard;
  struct Row {
    const char* what;
    const WorkCalendar& calendar;
    DayOrdinal from;
    std::int64_t amount;
    std::int64_t step;
    bool minutes;
    DayOrdinal expected;
  };
  const Row rows[] = {
      {"one day is the day itself", standard, D(2026, 3, 2), 1, 1, false, D(2026, 3, 2)},
      {"five days, Monday to Friday", standard, D(2026, 3, 2), 5, 1, false, D(2026, 3, 6)},
      {"a Saturday start waits for Monday", standard, D(2026, 3, 7), 1, 1, false, D(2026, 3, 9)},
      {"no days leave the date", standard, D(2026, 3, 7), 0, 1, false, D(2026, 3, 7)},
      {"backwards", standard, D(2026, 3, 6), 5, -1, false, D(2026, 3, 2)},
      {"a thousand weeks", standard, D(2026, 3, 2), 5000, 1, false, D(2026, 3, 2) + 7 * 999 + 4},
      {"over Easter", easter, D(2026, 4, 1), 3, 1, false, D(2026, 4, 7)},
      {"back over Easter", easter, D(2026, 4, 7), 3, -1, false, D(2026, 4, 1)},
      {"12 hours end on the second day", standard, D(2026, 3, 2), 720, 1, true, D(2026, 3, 3)},
      {"16 hours end on the second day", standard, D(2026, 3, 2), 960, 1, true, D(2026, 3, 3)},
      {"past the calendar's end", standard, D(9999, 12, 20), 100, 1, false, 0},
  };
  for (const Row& row : rows) {
    const DayOrdinal got = row.minutes ? row.calendar.AddWorkingMinutes(row.from, row.amount, row.step)
                                       : row.calendar.AddWorkingDays(row.from, row.amount, row.step);
    EXPECT_EQ(got, row.expected) << row.what;
  }
}

TEST(WorkCalendar, NoWorkingTimeAtAll) {
  CalendarDefinition definition;
  for (DaySchedule& day : definition.Week) day = Off();
  CalendarNotes notes;
  const WorkCalendar closed(definition, nullptr, notes);
  EXPECT_FALSE(closed.HasWorkingTime());
  EXPECT_EQ(closed.AddWorkingDays(D(2026, 1, 1), 3, 1), 0);
}

// A year of holidays every day but one: the count still ends, through the holidays one by one.
TEST(WorkCalendar, LongExceptionIsSteppedThrough) {
  CalendarDefinition definition;
  definition.Exceptions.push_back(Holiday(D(2026, 1, 1), D(2026, 12, 30), "closed"));
  CalendarNotes notes;
  const WorkCalendar calendar(definition, nullptr, notes);
  EXPECT_EQ(calendar.AddWorkingDays(D(2026, 1, 1), 1, 1), D(2026, 12, 31));
  EXPECT_EQ(calendar.AddWorkingDays(D(2026, 1, 1), 2, 1), D(2027, 1, 1));
}

TEST(ClockMinutes, Texts) {
  struct Row {
    const char* text;
    bool asEnd;
    std::int32_t minutes;
  };
  const Row rows[] = {{"08:00:00", false, 480}, {"13:30:00", false, 810}, {"00:00:00", true, 1440},
                      {"00:00:00", false, 0},   {"24:00:00", true, 1440}, {"2026-01-01T09:15:00", false, 555},
                      {"25:00:00", false, -1},  {"8:00", false, -1},      {"", false, -1}};
  for (const Row& row : rows) EXPECT_EQ(ClockMinutes(row.text, row.asEnd), row.minutes) << row.text;
}

}  // namespace
}  // namespace nerin
