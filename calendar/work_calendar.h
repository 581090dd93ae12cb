// SPDX-License-Identifier: MIT
// A plan's working-time calendar: which days are worked and for how many minutes, with the
// week, the work weeks of a period, the exceptions (holidays, working weekends) and the base
// calendar a calendar inherits from. Whole days only, as everywhere in the viewer.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/day_ordinal.h"

namespace nerin {

// One span of working time in minutes after midnight; To is at most 1440 (midnight ending the day).
struct WorkingTime {
  std::int32_t From = 0;
  std::int32_t To = 0;
};

// What one day of the week, of a work week or of an exception says.
struct DaySchedule {
  bool Defined = false;  // false: the base calendar, or else the standard week, decides
  bool Working = false;
  std::vector<WorkingTime> Times;  // empty on a working day: the standard 08:00-12:00, 13:00-17:00
};

// Working minutes of a defined day (0 for a day off).
std::int64_t ScheduleMinutes(const DaySchedule& day);

// How an exception repeats, numbered as the plan file numbers it.
enum class Recurrence : std::int64_t {
  Daily = 1,              // every day of its range
  YearlyByDate = 2,       // Month, MonthDay
  YearlyByPosition = 3,   // Month, MonthItem, MonthPosition
  MonthlyByDate = 4,      // every Period months on MonthDay
  MonthlyByPosition = 5,  // every Period months on MonthItem at MonthPosition
  Weekly = 6,             // every Period weeks on DaysOfWeek
  EveryNDays = 7,         // every Period days
};

// The day a "first Monday" or "last weekday" counts, numbered as the file numbers it.
enum class MonthItem : std::int64_t {
  Day = 0,
  Weekday = 1,
  WeekendDay = 2,
  Sunday = 3,
  Monday = 4,
  Tuesday = 5,
  Wednesday = 6,
  Thursday = 7,
  Friday = 8,
  Saturday = 9,
};

struct CalendarException {
  std::string Name;
  DayOrdinal From = 0;
  DayOrdinal To = 0;
  Recurrence Kind = Recurrence::Daily;
  std::int64_t Occurrences = 0;  // 0: as many as the range holds
  std::int64_t Period = 1;
  std::uint8_t DaysOfWeek = 0;   // bit 0 Sunday .. bit 6 Saturday
  std::int64_t Month = 0;        // 0 January .. 11 December
  std::int64_t MonthDay = 1;
  MonthItem Item = MonthItem::Day;
  std::int64_t MonthPosition = 0;  // 0 first .. 3 fourth, 4 last
  DaySchedule Day;
};

// A period with a week of its own; index 0 of Days is Sunday.
struct WorkWeek {
  std::string Name;
  DayOrdinal From = 0;
  DayOrdinal To = 0;
  std::array<DaySchedule, 7> Days{};
};

// A calendar as the file gives it, before its base is resolved.
struct CalendarDefinition {
  std::array<DaySchedule, 7> Week{};  // index 0 Sunday
  std::vector<WorkWeek> WorkWeeks;
  std::vector<CalendarException> Exceptions;
};

// What building a calendar left out, for the loader's messages.
struct CalendarNotes {
  std::vector<std::string> ReversedExceptions;  // finish before start: ignored
  std::vector<std::string> CutExceptions;       // more occurrences than MAX_EXCEPTION_OCCURRENCES
  std::int64_t ReversedWorkWeeks = 0;
  // How many more single days recurrences may still add; shared by the calendars of one
  // plan, so that many calendars cannot together hold what one may not.
  std::int64_t OccurrenceBudget = 200000;
};

// An exception's occurrences past this many are not used: a recurrence that runs for
// thousands of years must not cost a step for each.
inline constexpr std::int64_t MAX_EXCEPTION_OCCURRENCES = 20000;
// How deep a chain of base calendars may go.
inline constexpr std::int64_t MAX_CALENDAR_DEPTH = 64;

class WorkCalendar {
 public:
  // The standard week: Monday to Friday, 08:00-12:00 and 13:00-17:00, no exceptions.
  WorkCalendar();
  // The definition over its base (none: the standard week); `notes` gets what was left out.
  // Calendars derived from one base share it.
  WorkCalendar(const CalendarDefinition& own, std::shared_ptr<const WorkCalendar> base, CalendarNotes& notes);

  std::int64_t WorkingMinutes(DayOrdinal day) const;
  bool IsWorkingDay(DayOrdinal day) const { return WorkingMinutes(day) > 0; }
  // True when some day of the week is worked, or some exception or work week works.
  bool HasWorkingTime() const { return hasWorkingTime_; }
  // True for the standard week with no exceptions and no work weeks anywhere in the chain.
  bool IsStandard() const { return standard_; }

  // The day on which `days` working days end when they begin on `from` (step +1), or begin
  // when they end on `from` (step -1). A day off is stepped over before the count starts;
  // no days leave the date as it is. 0 when the result leaves the calendar or the calendar
  // has no working time.
  DayOrdinal AddWorkingDays(DayOrdinal from, std::int64_t days, std::int64_t step) const;
  // Likewise for working minutes: the day on which the last of them is worked.
  DayOrdinal AddWorkingMinutes(DayOrdinal from, std::int64_t minutes, std::int64_t step) const;

  // The exception ranges of this calendar (not of its base), sorted and disjoint: for the
  // dump and the tests.
  std::int64_t ExceptionRangeCount() const { return static_cast<std::int64_t>(ranges_.size()); }
  std::int64_t WeekMinutes(std::int64_t weekDay) const;  // 0 Sunday; the resolved default week
  // This calendar's own exception days (not its base's), sorted and disjoint, with the
  // working minutes of each of their days.
  struct ExceptionRange {
    DayOrdinal From = 0;
    DayOrdinal To = 0;
    std::int64_t Minutes = 0;
  };
  std::vector<ExceptionRange> ExceptionRanges() const;
  std::int64_t WorkWeekCount() const { return static_cast<std::int64_t>(workWeeks_.size()); }

 private:
  struct Range {
    DayOrdinal From = 0;
    DayOrdinal To = 0;
    std::int32_t Schedule = 0;  // index into schedules_
  };
  // The exception's schedule on `day`, searched through the chain; nullptr when none.
  const DaySchedule* ExceptionAt(DayOrdinal day) const;
  // The week's schedule of `day` (work weeks first), searched through the chain.
  const DaySchedule* WeekDayAt(DayOrdinal day) const;
  // The farthest day from `day` towards `limit` (step +1 or -1) up to which only the default
  // weeks decide; one step short of `day` when `day` itself is in an exception or a work week.
  DayOrdinal RegularThrough(DayOrdinal day, DayOrdinal limit, std::int64_t step) const;
  DayOrdinal Advance(DayOrdinal from, std::int64_t amount, std::int64_t step, bool minutes) const;

  std::array<DaySchedule, 7> week_{};
  std::vector<WorkWeek> workWeeks_;
  std::vector<DaySchedule> schedules_;
  std::vector<Range> ranges_;
  std::shared_ptr<const WorkCalendar> base_;
  std::array<std::int64_t, 7> weekMinutes_{};  // the default week resolved through the chain
  bool hasWorkingTime_ = true;
  bool plain_ = true;  // no exceptions and no work weeks anywhere in the chain
  bool standard_ = true;
};

// Minutes after midnight of "08:30:00" (or "08:30"); -1 when unreadable. "00:00:00" as an
// end and "24:00:00" both give 1440 when `asEnd`.
std::int32_t ClockMinutes(std::string_view text, bool asEnd);

}  // namespace nerin
