// SPDX-License-Identifier: MIT
#include "calendar/work_calendar.h"

#include <algorithm>

namespace nerin {

namespace {

constexpr std::int64_t STANDARD_DAY_MINUTES = 480;

DayOrdinal LastCalendarDay() {
  static const DayOrdinal last = OrdinalFromDate(9999, 12, 31);
  return last;
}

DaySchedule StandardDay(bool working) {
  DaySchedule day;
  day.Defined = true;
  day.Working = working;
  if (working) day.Times = {{8 * 60, 12 * 60}, {13 * 60, 17 * 60}};
  return day;
}

const DaySchedule& StandardWeekDay(std::int64_t weekDay) {
  static const DaySchedule working = StandardDay(true);
  static const DaySchedule off = StandardDay(false);
  return weekDay >= 1 && weekDay <= 5 ? working : off;
}

// The ordinal of year/month(1..12)/day with the day held within the month.
DayOrdinal ClampedDate(std::int64_t year, std::int64_t month, std::int64_t day) {
  const std::int64_t last = DaysInMonth(year, month);
  return OrdinalFromDate(year, month, std::clamp<std::int64_t>(day, 1, last));
}

bool ItemMatches(MonthItem item, DayOrdinal day) {
  const std::int64_t weekDay = WeekDayFromOrdinal(day);
  switch (item) {
    case MonthItem::Day:
      return true;
    case MonthItem::Weekday:
      return weekDay >= 1 && weekDay <= 5;
    case MonthItem::WeekendDay:
      return weekDay == 0 || weekDay == 6;
    default:
      return weekDay == static_cast<std::int64_t>(item) - static_cast<std::int64_t>(MonthItem::Sunday);
  }
}

// "the second Tuesday", "the last weekday" of a month; 0 when the month has none.
DayOrdinal PositionInMonth(std::int64_t year, std::int64_t month, MonthItem item, std::int64_t position) {
  const DayOrdinal first = OrdinalFromDate(year, month, 1);
  if (first < 0) return 0;
  const DayOrdinal last = first + DaysInMonth(year, month) - 1;
  if (position >= 4) {
    for (DayOrdinal day = last; day >= first; --day) {
      if (ItemMatches(item, day)) return day;
    }
    return 0;
  }
  std::int64_t seen = 0;
  for (DayOrdinal day = first; day <= last; ++day) {
    if (ItemMatches(item, day) && seen++ == position) return day;
  }
  return 0;
}

// The single days of one exception, in order, up to its occurrences and the cap.
class Occurrences {
 public:
  Occurrences(const CalendarException& e, std::vector<DayOrdinal>& days, std::int64_t budget) : e_(e), days_(days) {
    limit_ = e.Occurrences > 0 ? std::min(e.Occurrences, MAX_EXCEPTION_OCCURRENCES) : MAX_EXCEPTION_OCCURRENCES;
    budgetBound_ = budget < limit_;
    limit_ = std::max<std::int64_t>(0, std::min(limit_, budget));
    period_ = std::clamp<std::int64_t>(e.Period, 1, 100000);
  }

  // False when occurrences were left out for the cap.
  bool Expand() {
    switch (e_.Kind) {
      case Recurrence::EveryNDays:
        for (DayOrdinal day = e_.From; day <= e_.To && Take(day); day += period_) {
        }
        break;
      case Recurrence::Weekly:
        ExpandWeekly();
        break;
      case Recurrence::MonthlyByDate:
      case Recurrence::MonthlyByPosition:
        ExpandMonthly(period_);
        break;
      case Recurrence::YearlyByDate:
      case Recurrence::YearlyByPosition:
        ExpandMonthly(12);
        break;
      default:
        break;
    }
    return !cut_;
  }

 private:
  // False once no more may be taken.
  bool Take(DayOrdinal day) {
    if (taken_ >= limit_) {
      cut_ = budgetBound_ || e_.Occurrences <= 0 || e_.Occurrences > MAX_EXCEPTION_OCCURRENCES;
      return false;
    }
    days_.push_back(day);
    ++taken_;
    return true;
  }

  void ExpandWeekly() {
    if ((e_.DaysOfWeek & 0x7f) == 0) return;
    DayOrdinal weekStart = e_.From - WeekDayFromOrdinal(e_.From);  // its Sunday
    for (; weekStart <= e_.To; weekStart += 7 * period_) {
      for (std::int64_t weekDay = 0; weekDay < 7; ++weekDay) {
        if ((e_.DaysOfWeek & (1u << weekDay)) == 0) continue;
        const DayOrdinal day = weekStart + weekDay;
        if (day < e_.From) continue;
        if (day > e_.To || !Take(day)) return;
      }
    }
  }

  // Months from the range's first (or, yearly, from the named month of the first year).
  void ExpandMonthly(std::int64_t stepMonths) {
    std::int64_t year = 0;
    std::int64_t month = 0;
    std::int64_t dayOfMonth = 0;
    DateFromOrdinal(e_.From, year, month, dayOfMonth);
    const bool yearly = e_.Kind == Recurrence::YearlyByDate || e_.Kind == Recurrence::YearlyByPosition;
    if (yearly) month = std::clamp<std::int64_t>(e_.Month, 0, 11) + 1;
    const bool byDate = e_.Kind == Recurrence::MonthlyByDate || e_.Kind == Recurrence::YearlyByDate;
    for (std::int64_t index = (year - 1) * 12 + (month - 1);; index += stepMonths) {
      const std::int64_t y = index / 12 + 1;
      const std::int64_t m = index % 12 + 1;
      if (y > 9999) return;
      const DayOrdinal day = byDate ? ClampedDate(y, m, e_.MonthDay) : PositionInMonth(y, m, e_.Item, e_.MonthPosition);
      if (day > e_.To) return;
      if (day < e_.From || day <= 0) continue;
      if (!Take(day)) return;
    }
  }

  const CalendarException& e_;
  std::vector<DayOrdinal>& days_;
  std::int64_t limit_ = 0;
  std::int64_t period_ = 1;
  std::int64_t taken_ = 0;
  bool budgetBound_ = false;
  bool cut_ = false;
};

}  // namespace

std::int64_t ScheduleMinutes(const DaySchedule& day) {
  if (!day.Working) return 0;
  if (day.Times.empty()) return STANDARD_DAY_MINUTES;
  std::int64_t minutes = 0;
  for (const WorkingTime& time : day.Times) {
    if (time.To > time.From) minutes += time.To - time.From;
  }
  return minutes;
}

std::int32_t ClockMinutes(std::string_view text, bool asEnd) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  // Some tools write a whole date-time; the time of day follows the "T".
  const std::size_t t = text.find('T');
  if (t != std::string_view::npos) text.remove_prefix(t + 1);
  if (text.size() < 5 || text[2] != ':') return -1;
  auto digit = [&](std::size_t i) { return text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -100; };
  const int hours = digit(0) * 10 + digit(1);
  const int minutes = digit(3) * 10 + digit(4);
  if (hours < 0 || hours > 24 || minutes < 0 || minutes > 59 || (hours == 24 && minutes != 0)) return -1;
  const std::int32_t value = hours * 60 + minutes;
  return asEnd && value == 0 ? 1440 : value;
}

WorkCalendar::WorkCalendar() {
  for (std::size_t weekDay = 0; weekDay < 7; ++weekDay) {
    week_[weekDay] = StandardWeekDay(static_cast<std::int64_t>(weekDay));
    weekMinutes_[weekDay] = ScheduleMinutes(week_[weekDay]);
  }
}

WorkCalendar::WorkCalendar(const CalendarDefinition& own, std::shared_ptr<const WorkCalendar> base,
                           CalendarNotes& notes)
    : WorkCalendar() {
  base_ = std::move(base);
  const WorkCalendar* const baseCalendar = base_.get();
  bool anyWorking = false;
  for (std::size_t weekDay = 0; weekDay < 7; ++weekDay) {
    const DaySchedule& day = own.Week[weekDay];
    if (day.Defined) {
      week_[weekDay] = day;
      weekMinutes_[weekDay] = ScheduleMinutes(day);
    } else {
      week_[weekDay].Defined = false;
      weekMinutes_[weekDay] = baseCalendar != nullptr ? baseCalendar->weekMinutes_[weekDay]
                                              : ScheduleMinutes(StandardWeekDay(static_cast<std::int64_t>(weekDay)));
    }
    if (weekMinutes_[weekDay] > 0) anyWorking = true;
  }
  for (const WorkWeek& week : own.WorkWeeks) {
    if (week.From <= 0 || week.To < week.From) {
      ++notes.ReversedWorkWeeks;
      continue;
    }
    workWeeks_.push_back(week);
    for (const DaySchedule& day : week.Days) anyWorking = anyWorking || ScheduleMinutes(day) > 0;
  }

  std::vector<Range> ranges;
  std::vector<DayOrdinal> days;
  for (const CalendarException& e : own.Exceptions) {
    if (e.From <= 0 || e.To < e.From) {
      notes.ReversedExceptions.push_back(e.Name);
      continue;
    }
    const auto schedule = static_cast<std::int32_t>(schedules_.size());
    schedules_.push_back(e.Day);
    schedules_.back().Defined = true;
    anyWorking = anyWorking || ScheduleMinutes(e.Day) > 0;
    if (e.Kind == Recurrence::Daily) {
      ranges.push_back({e.From, e.To, schedule});
      continue;
    }
    days.clear();
    if (!Occurrences(e, days, notes.OccurrenceBudget).Expand()) notes.CutExceptions.push_back(e.Name);
    notes.OccurrenceBudget -= static_cast<std::int64_t>(days.size());
    // Neighbouring days become one range: a daily recurrence holds as little as one holiday.
    for (const DayOrdinal day : days) {
      if (!ranges.empty() && ranges.back().Schedule == schedule && ranges.back().To + 1 == day) {
        ranges.back().To = day;
      } else {
        ranges.push_back({day, day, schedule});
      }
    }
  }
  // Where exceptions overlap, the one that begins first (or comes first in the file) decides.
  std::stable_sort(ranges.begin(), ranges.end(), [](const Range& a, const Range& b) { return a.From < b.From; });
  DayOrdinal coveredTo = 0;
  for (Range range : ranges) {
    if (range.From <= coveredTo) range.From = coveredTo + 1;
    if (range.From > range.To) continue;
    ranges_.push_back(range);
    coveredTo = range.To;
  }
  plain_ = (baseCalendar == nullptr || baseCalendar->plain_) && workWeeks_.empty() && ranges_.empty();
  standard_ = plain_;
  for (std::size_t weekDay = 0; weekDay < 7; ++weekDay) {
    if (weekMinutes_[weekDay] != ScheduleMinutes(StandardWeekDay(static_cast<std::int64_t>(weekDay)))) {
      standard_ = false;
    }
  }
  hasWorkingTime_ = anyWorking || (baseCalendar != nullptr && baseCalendar->hasWorkingTime_);
}

std::int64_t WorkCalendar::WeekMinutes(std::int64_t weekDay) const {
  return weekDay >= 0 && weekDay < 7 ? weekMinutes_[static_cast<std::size_t>(weekDay)] : 0;
}

std::vector<WorkCalendar::ExceptionRange> WorkCalendar::ExceptionRanges() const {
  std::vector<ExceptionRange> ranges;
  ranges.reserve(ranges_.size());
  for (const Range& range : ranges_) {
    ranges.push_back({range.From, range.To, ScheduleMinutes(schedules_[static_cast<std::size_t>(range.Schedule)])});
  }
  return ranges;
}

const DaySchedule* WorkCalendar::ExceptionAt(DayOrdinal day) const {
  for (const WorkCalendar* layer = this; layer != nullptr; layer = layer->base_.get()) {
    const auto& ranges = layer->ranges_;
    auto it = std::upper_bound(ranges.begin(), ranges.end(), day,
                               [](DayOrdinal d, const Range& range) { return d < range.From; });
    if (it != ranges.begin() && std::prev(it)->To >= day) {
      return &layer->schedules_[static_cast<std::size_t>(std::prev(it)->Schedule)];
    }
  }
  return nullptr;
}

const DaySchedule* WorkCalendar::WeekDayAt(DayOrdinal day) const {
  const auto weekDay = static_cast<std::size_t>(WeekDayFromOrdinal(day));
  for (const WorkCalendar* layer = this; layer != nullptr; layer = layer->base_.get()) {
    for (const WorkWeek& week : layer->workWeeks_) {
      if (day >= week.From && day <= week.To && week.Days[weekDay].Defined) return &week.Days[weekDay];
    }
    if (layer->week_[weekDay].Defined) return &layer->week_[weekDay];
  }
  return &StandardWeekDay(static_cast<std::int64_t>(weekDay));
}

std::int64_t WorkCalendar::WorkingMinutes(DayOrdinal day) const {
  if (day <= 0) return 0;
  if (const DaySchedule* exception = ExceptionAt(day)) return ScheduleMinutes(*exception);
  if (plain_) return weekMinutes_[static_cast<std::size_t>(WeekDayFromOrdinal(day))];
  return ScheduleMinutes(*WeekDayAt(day));
}

DayOrdinal WorkCalendar::RegularThrough(DayOrdinal day, DayOrdinal limit, std::int64_t step) const {
  for (const WorkCalendar* layer = this; layer != nullptr; layer = layer->base_.get()) {
    const auto& ranges = layer->ranges_;
    auto it = std::upper_bound(ranges.begin(), ranges.end(), day,
                               [](DayOrdinal d, const Range& range) { return d < range.From; });
    if (it != ranges.begin() && std::prev(it)->To >= day) return day - step;
    if (step > 0 && it != ranges.end()) limit = std::min(limit, it->From - 1);
    if (step < 0 && it != ranges.begin()) limit = std::max(limit, std::prev(it)->To + 1);
    for (const WorkWeek& week : layer->workWeeks_) {
      if (day >= week.From && day <= week.To) return day - step;
      if (step > 0 && week.From > day) limit = std::min(limit, week.From - 1);
      if (step < 0 && week.To < day) limit = std::max(limit, week.To + 1);
    }
  }
  return limit;
}

DayOrdinal WorkCalendar::Advance(DayOrdinal from, std::int64_t amount, std::int64_t step, bool minutes) const {
  if (amount <= 0) return from;
  if (!hasWorkingTime_ || from <= 0) return 0;
  step = step < 0 ? -1 : 1;
  const DayOrdinal end = step > 0 ? LastCalendarDay() : ORDINAL_EPOCH;
  std::int64_t weekAmount = 0;
  for (const std::int64_t dayMinutes : weekMinutes_) weekAmount += minutes ? dayMinutes : (dayMinutes > 0 ? 1 : 0);
  std::int64_t remaining = amount;
  DayOrdinal day = from;
  while (step > 0 ? day <= end : day >= end) {
    const std::int64_t dayMinutes = WorkingMinutes(day);
    if (dayMinutes > 0) {
      const std::int64_t take = minutes ? dayMinutes : 1;
      if (take >= remaining) return day >= ORDINAL_EPOCH && day <= LastCalendarDay() ? day : 0;
      remaining -= take;
    }
    day += step;
    // Through a stretch that only the default week decides, whole weeks at a time.
    const DayOrdinal regularEnd = RegularThrough(day, end, step);
    const std::int64_t regularDays = (regularEnd - day) * step + 1;
    if (regularDays >= 7) {
      if (weekAmount == 0) {
        day = regularEnd + step;
        continue;
      }
      const std::int64_t weeks = std::min(regularDays / 7, (remaining - 1) / weekAmount);
      day += step * weeks * 7;
      remaining -= weeks * weekAmount;
    }
  }
  return 0;
}

DayOrdinal WorkCalendar::AddWorkingDays(DayOrdinal from, std::int64_t days, std::int64_t step) const {
  return Advance(from, days, step, false);
}

DayOrdinal WorkCalendar::AddWorkingMinutes(DayOrdinal from, std::int64_t minutes, std::int64_t step) const {
  return Advance(from, minutes, step, true);
}

}  // namespace nerin
