// SPDX-License-Identifier: MIT
// The plan's calendars: week days with their working times, work weeks, exceptions with
// their recurrences, and the base calendar each inherits from, resolved without recursion
// so that no chain or loop of bases, however long, can exhaust the stack.
#include <string>
#include <unordered_map>

#include "calendar/value_text.h"
#include "model/load_steps.h"
#include "model/terms_steps.h"

namespace nerin {

namespace {

struct CalendarElement {
  std::int64_t uid = 0;
  bool uidPresent = false;
  std::string name;
  std::int64_t baseUid = -1;
  std::uint8_t isBase = 0;
  CalendarDefinition definition;
  bool exceptionsElement = false;  // an Exceptions element: the older list in WeekDays is its copy
  std::vector<CalendarException> listedExceptions;  // the WeekDays of day type 0
};

class CalendarReader {
 public:
  CalendarReader(const XmlDocument& document, std::string& scratch) : document_(document), scratch_(scratch) {}

  CalendarElement Read(XmlNode element) {
    CalendarElement c;
    for (XmlNode child = document_.FirstChild(element); child != XML_NONE; child = document_.NextSibling(child)) {
      const std::string_view name = document_.Name(child);
      if (name == "UID") {
        c.uidPresent = !IsBlankText(Text(child));
        c.uid = IntegerFieldValue(Text(child));
      } else if (name == "Name") {
        c.name.assign(Text(child));
      } else if (name == "BaseCalendarUID") {
        c.baseUid = IsBlankText(Text(child)) ? -1 : IntegerFieldValue(Text(child));
      } else if (name == "IsBaseCalendar") {
        c.isBase = FlagFieldValue(Text(child));
      } else if (name == "WeekDays") {
        ReadWeekDays(child, c.definition.Week, &c.listedExceptions);
      } else if (name == "WorkWeeks") {
        ReadWorkWeeks(child, c.definition);
      } else if (name == "Exceptions") {
        c.exceptionsElement = true;
        ReadExceptions(child, c.definition);
      }
    }
    if (!c.exceptionsElement) c.definition.Exceptions = std::move(c.listedExceptions);
    // A base calendar has no base of its own, whatever number the file writes there
    // (some saves write 0).
    if (c.isBase != 0) c.baseUid = -1;
    return c;
  }

 private:
  std::string_view Text(XmlNode node) { return document_.Text(node, scratch_); }

  DayOrdinal Date(XmlNode node) {
    DayOrdinal day = 0;
    ParseIsoDate(Text(node), day);
    return day;
  }

  void ReadPeriod(XmlNode period, DayOrdinal& from, DayOrdinal& to) {
    for (XmlNode child = document_.FirstChild(period); child != XML_NONE; child = document_.NextSibling(child)) {
      const std::string_view name = document_.Name(child);
      if (name == "FromDate") from = Date(child);
      if (name == "ToDate") to = Date(child);
    }
  }

  void ReadTimes(XmlNode times, DaySchedule& day) {
    for (XmlNode time = document_.FirstChild(times); time != XML_NONE; time = document_.NextSibling(time)) {
      if (document_.Name(time) != "WorkingTime") continue;
      std::int32_t from = -1;
      std::int32_t to = -1;
      for (XmlNode child = document_.FirstChild(time); child != XML_NONE; child = document_.NextSibling(child)) {
        const std::string_view name = document_.Name(child);
        if (name == "FromTime") from = ClockMinutes(Text(child), false);
        if (name == "ToTime") to = ClockMinutes(Text(child), true);
      }
      if (from >= 0 && to > from) day.Times.push_back({from, to});
    }
  }

  // One day's DayWorking and WorkingTimes (the other children are the caller's).
  bool ReadDayPart(XmlNode child, DaySchedule& day, bool& workingGiven) {
    const std::string_view name = document_.Name(child);
    if (name == "DayWorking") {
      day.Working = FlagFieldValue(Text(child)) != 0;
      workingGiven = true;
    } else if (name == "WorkingTimes") {
      ReadTimes(child, day);
    } else {
      return false;
    }
    return true;
  }

  void ReadWeekDays(XmlNode weekDays, std::array<DaySchedule, 7>& week, std::vector<CalendarException>* listed) {
    for (XmlNode weekDay = document_.FirstChild(weekDays); weekDay != XML_NONE;
         weekDay = document_.NextSibling(weekDay)) {
      if (document_.Name(weekDay) != "WeekDay") continue;
      std::int64_t type = -1;
      DaySchedule day;
      day.Defined = true;
      bool workingGiven = false;
      CalendarException listedDay;
      for (XmlNode child = document_.FirstChild(weekDay); child != XML_NONE; child = document_.NextSibling(child)) {
        if (ReadDayPart(child, day, workingGiven)) continue;
        const std::string_view name = document_.Name(child);
        if (name == "DayType") type = IntegerFieldValue(Text(child));
        if (name == "TimePeriod") ReadPeriod(child, listedDay.From, listedDay.To);
      }
      if (!workingGiven) day.Working = !day.Times.empty();
      if (type >= 1 && type <= 7) {
        week[static_cast<std::size_t>(type - 1)] = std::move(day);
      } else if (type == 0 && listed != nullptr) {
        listedDay.Day = std::move(day);
        listed->push_back(std::move(listedDay));
      }
    }
  }

  void ReadWorkWeeks(XmlNode workWeeks, CalendarDefinition& definition) {
    for (XmlNode element = document_.FirstChild(workWeeks); element != XML_NONE;
         element = document_.NextSibling(element)) {
      if (document_.Name(element) != "WorkWeek") continue;
      WorkWeek week;
      for (XmlNode child = document_.FirstChild(element); child != XML_NONE; child = document_.NextSibling(child)) {
        const std::string_view name = document_.Name(child);
        if (name == "Name") week.Name.assign(Text(child));
        if (name == "TimePeriod") ReadPeriod(child, week.From, week.To);
        if (name == "WeekDays") ReadWeekDays(child, week.Days, nullptr);
      }
      definition.WorkWeeks.push_back(std::move(week));
    }
  }

  void ReadExceptionPart(XmlNode child, CalendarException& e) {
    const std::string_view name = document_.Name(child);
    if (name == "Name") {
      e.Name.assign(Text(child));
    } else if (name == "TimePeriod") {
      ReadPeriod(child, e.From, e.To);
    } else if (name == "Type") {
      const std::int64_t type = IntegerFieldValue(Text(child));
      // An unknown kind of repetition counts as the plain range it spans.
      e.Kind = type >= 1 && type <= 7 ? static_cast<Recurrence>(type) : Recurrence::Daily;
    } else if (name == "Occurrences") {
      e.Occurrences = IntegerFieldValue(Text(child));
    } else if (name == "Period") {
      e.Period = IntegerFieldValue(Text(child));
    } else if (name == "DaysOfWeek") {
      e.DaysOfWeek = static_cast<std::uint8_t>(IntegerFieldValue(Text(child)) & 0x7f);
    } else if (name == "Month") {
      e.Month = IntegerFieldValue(Text(child));
    } else if (name == "MonthDay") {
      e.MonthDay = IntegerFieldValue(Text(child));
    } else if (name == "MonthItem") {
      const std::int64_t item = IntegerFieldValue(Text(child));
      e.Item = item >= 0 && item <= 9 ? static_cast<MonthItem>(item) : MonthItem::Day;
    } else if (name == "MonthPosition") {
      e.MonthPosition = IntegerFieldValue(Text(child));
    }
  }

  void ReadExceptions(XmlNode exceptions, CalendarDefinition& definition) {
    for (XmlNode element = document_.FirstChild(exceptions); element != XML_NONE;
         element = document_.NextSibling(element)) {
      if (document_.Name(element) != "Exception") continue;
      CalendarException e;
      e.Day.Defined = true;
      bool workingGiven = false;
      for (XmlNode child = document_.FirstChild(element); child != XML_NONE; child = document_.NextSibling(child)) {
        if (!ReadDayPart(child, e.Day, workingGiven)) ReadExceptionPart(child, e);
      }
      if (!workingGiven) e.Day.Working = !e.Day.Times.empty();
      definition.Exceptions.push_back(std::move(e));
    }
  }

  const XmlDocument& document_;
  std::string& scratch_;
};

std::string CalendarLabel(const CalendarElement& c) {
  return "Calendar \"" + c.name + "\" (UID " + IntegerText(c.uid) + ")";
}

void ReportNotes(MessageLog& log, const CalendarElement& c, const CalendarNotes& notes) {
  for (const std::string& name : notes.ReversedExceptions) {
    AddMessage(log, MessageLevel::Warning,
               CalendarLabel(c) + ": the exception \"" + name + "\" ends before it begins; it is ignored.");
  }
  for (const std::string& name : notes.CutExceptions) {
    AddMessage(log, MessageLevel::Info,
               CalendarLabel(c) + ": the exception \"" + name + "\" repeats more often than the viewer keeps (" +
                   IntegerText(MAX_EXCEPTION_OCCURRENCES) + " days an exception, " +
                   IntegerText(CalendarNotes{}.OccurrenceBudget) + " a plan); its later occurrences are ignored.");
  }
  if (notes.ReversedWorkWeeks > 0) {
    AddMessage(log, MessageLevel::Warning,
               CalendarLabel(c) + ": " + IntegerText(notes.ReversedWorkWeeks) +
                   " work week(s) end before they begin; they are ignored.");
  }
}

// Each calendar after its base, walking each chain of bases as a list: a missing base, a
// loop or a chain deeper than MAX_CALENDAR_DEPTH leaves the calendar on the standard week.
class CalendarResolver {
 public:
  CalendarResolver(std::vector<CalendarElement>& elements, MessageLog& log)
      : elements_(elements), log_(log), state_(elements.size(), 0), built_(elements.size()),
        baseIgnored_(elements.size(), false) {
    for (std::size_t i = 0; i < elements.size(); ++i) indexOf_.emplace(elements[i].uid, i);
  }

  void Resolve(std::size_t first) {
    std::vector<std::size_t> path;
    std::size_t j = first;
    while (state_[j] == 0) {
      state_[j] = 1;
      path.push_back(j);
      const CalendarElement& c = elements_[j];
      if (c.baseUid < 0) break;
      const auto base = indexOf_.find(c.baseUid);
      if (base == indexOf_.end()) {
        Ignore(j, CalendarLabel(c) + " names base calendar UID " + IntegerText(c.baseUid) +
                      ", which the plan does not have; the standard week stands in for it.");
        break;
      }
      if (state_[base->second] == 1) {
        Ignore(j, CalendarLabel(c) + " closes a loop of base calendars; its base calendar is ignored.");
        break;
      }
      if (static_cast<std::int64_t>(path.size()) >= MAX_CALENDAR_DEPTH) {
        Ignore(j, CalendarLabel(c) + " lies more than " + IntegerText(MAX_CALENDAR_DEPTH) +
                      " base calendars deep; its base calendar is ignored.");
        break;
      }
      j = base->second;
    }
    for (auto it = path.rbegin(); it != path.rend(); ++it) Build(*it);
  }

  std::shared_ptr<const WorkCalendar> Built(std::size_t i) const { return built_[i]; }
  bool BaseIgnored(std::size_t i) const { return baseIgnored_[i]; }

 private:
  void Ignore(std::size_t i, std::string text) {
    baseIgnored_[i] = true;
    AddMessage(log_, MessageLevel::Warning, std::move(text));
  }

  void Build(std::size_t i) {
    const CalendarElement& c = elements_[i];
    std::shared_ptr<const WorkCalendar> base;
    if (!baseIgnored_[i] && c.baseUid >= 0) {
      const auto found = indexOf_.find(c.baseUid);
      if (found != indexOf_.end()) base = built_[found->second];
    }
    CalendarNotes notes;
    notes.OccurrenceBudget = budget_;
    built_[i] = std::make_shared<const WorkCalendar>(c.definition, std::move(base), notes);
    budget_ = notes.OccurrenceBudget;
    state_[i] = 2;
    ReportNotes(log_, c, notes);
  }

  std::vector<CalendarElement>& elements_;
  MessageLog& log_;
  std::vector<char> state_;  // 0 not seen, 1 on the walk, 2 built
  std::vector<std::shared_ptr<const WorkCalendar>> built_;
  std::vector<bool> baseIgnored_;
  std::unordered_map<std::int64_t, std::size_t> indexOf_;
  std::int64_t budget_ = CalendarNotes{}.OccurrenceBudget;
};

}  // namespace

void ReadPlanCalendars(const XmlDocument& document, Plan& plan, MessageLog& log, std::string& scratch) {
  std::vector<CalendarElement> elements;
  std::unordered_map<std::int64_t, bool> seen;
  std::int64_t withoutUid = 0;
  std::int64_t duplicates = 0;
  CalendarReader reader(document, scratch);
  ForEachInSections(document, "Calendars", "Calendar", [&](XmlNode element) {
    CalendarElement c = reader.Read(element);
    if (!c.uidPresent) {
      ++withoutUid;
    } else if (!seen.emplace(c.uid, true).second) {
      ++duplicates;
    } else {
      elements.push_back(std::move(c));
    }
  });
  if (withoutUid > 0) {
    AddMessage(log, MessageLevel::Warning, IntegerText(withoutUid) + " calendar(s) without a UID ignored.");
  }
  if (duplicates > 0) {
    AddMessage(log, MessageLevel::Warning,
               IntegerText(duplicates) + " calendar(s) with a UID used before ignored; the first of each is used.");
  }
  CalendarResolver resolver(elements, log);
  for (std::size_t i = 0; i < elements.size(); ++i) resolver.Resolve(i);
  plan.Terms.Calendars.reserve(elements.size());
  for (std::size_t i = 0; i < elements.size(); ++i) {
    PlanCalendar calendar;
    calendar.UID = elements[i].uid;
    calendar.Name = std::move(elements[i].name);
    calendar.BaseUID = elements[i].baseUid;
    calendar.IsBase = elements[i].isBase;
    calendar.BaseIgnored = resolver.BaseIgnored(i);
    calendar.Calendar = resolver.Built(i);
    plan.Terms.Calendars.push_back(std::move(calendar));
  }
  if (plan.Terms.CalendarUID >= 0) {
    plan.Terms.ProjectCalendar = CalendarIndex(plan.Terms, plan.Terms.CalendarUID);
    if (plan.Terms.ProjectCalendar < 0) {
      AddMessage(log, MessageLevel::Warning,
                 "The project calendar UID " + IntegerText(plan.Terms.CalendarUID) +
                     " is not among the plan's calendars; Saturday and Sunday are taken as the days off.");
    }
  }
}

}  // namespace nerin
