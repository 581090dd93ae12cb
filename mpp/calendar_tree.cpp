// SPDX-License-Identifier: MIT
// The plan's calendars (TBkndCal), written as the export writes them: each calendar's UID,
// name, base calendar, week days with their working times, and exceptions with their ranges
// and recurrences. Located from the twins (docs/mpp-fields.md).
#include <algorithm>
#include <cstdio>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "mpp/plan_reading.h"
#include "mpp/row_fields.h"

namespace nerin::mpp {

namespace {

// The variable-data key of a calendar's name (its hours' key is the layout's).
constexpr std::uint16_t NAME_KEY = 1;
constexpr std::uint32_t ROW_DELETED = 0x02;
constexpr std::uint32_t ROW_PLACEHOLDER = 0x04;

// A day's hours: 60 bytes, whether the day keeps the default (1), how many working periods,
// their total, five start times (tenths of a minute after midnight) and five lengths.
constexpr std::size_t HOURS_SIZE = 60;
constexpr std::size_t PERIODS = 5;
// An exception: its first and last day, occurrences, 4 bytes, its hours, its recurrence (type
// and four bytes of parameters), 8 bytes, and its name's length before the name.
constexpr std::size_t EXCEPTION_FIXED_SIZE = 92;
// More exceptions than any calendar keeps: a count past it is damage, not a plan.
constexpr std::uint32_t MOST_EXCEPTIONS = 10000;

enum class RecurrenceType : std::uint32_t {
  Daily = 1,
  YearlyAbsolute = 2,
  YearlyRelative = 3,
  MonthlyAbsolute = 4,
  MonthlyRelative = 5,
  Weekly = 6,
  EveryNDays = 7,
};

struct CalendarRow {
  std::int32_t uid = 0;
  std::int32_t base = -1;
  std::int32_t resource = -1;
};

std::string TimeText(std::int64_t tenthsOfMinutes) {
  const std::int64_t minutes = tenthsOfMinutes / 10 % (24 * 60);
  const std::int64_t hours = tenthsOfMinutes / 600;
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:00", static_cast<int>(hours % 24), static_cast<int>(minutes % 60));
  return text;
}

std::string DayText(std::uint16_t days, std::string_view time) {
  // The stored day counts from 1983-12-31, as the stored date-times do.
  std::string bytes(4, '\0');
  bytes[2] = static_cast<char>(days & 0xFF);
  bytes[3] = static_cast<char>(days >> 8);
  std::string text = TimestampText(bytes, 0);
  if (text.size() < 10) return {};
  return text.substr(0, 10) + "T" + std::string(time);
}

// True when the day keeps the default; otherwise writes DayWorking and the working times.
bool WriteHours(ByteCursor hours, TreeWriter& out) {
  const std::uint16_t keepsDefault = hours.U16();
  const std::uint16_t count = hours.U16();
  hours.Skip(4);
  std::uint16_t starts[PERIODS] = {};
  std::uint32_t lengths[PERIODS] = {};
  for (std::uint16_t& start : starts) start = hours.U16();
  hours.Skip(2);  // the lengths are aligned
  for (std::uint32_t& length : lengths) length = hours.U32();
  if (hours.Failed() || keepsDefault == 1) return hours.Ok();
  const std::size_t periods = std::min<std::size_t>(count, PERIODS);
  out.Flag("DayWorking", periods > 0);
  if (periods == 0) return false;
  out.Open("WorkingTimes");
  for (std::size_t i = 0; i < periods; ++i) {
    out.Open("WorkingTime");
    out.Text("FromTime", TimeText(starts[i]));
    out.Text("ToTime", TimeText(std::int64_t{starts[i]} + lengths[i] % (24 * 600 + 1)));
    out.Close();
  }
  out.Close();
  return false;
}

// The product's default week: Monday to Friday 08:00-12:00 and 13:00-17:00.
void WriteDefaultDay(int dayType, TreeWriter& out) {
  const bool working = dayType >= 2 && dayType <= 6;
  out.Flag("DayWorking", working);
  if (!working) return;
  out.Open("WorkingTimes");
  for (const auto& [from, to] : {std::pair{"08:00:00", "12:00:00"}, std::pair{"13:00:00", "17:00:00"}}) {
    out.Open("WorkingTime");
    out.Text("FromTime", from);
    out.Text("ToTime", to);
    out.Close();
  }
  out.Close();
}

void WriteWeekDays(ByteCursor days, bool isBase, TreeWriter& out) {
  bool opened = false;
  for (int dayType = 1; dayType <= 7; ++dayType) {
    const ByteCursor hours = days.Child(HOURS_SIZE);
    const bool keepsDefault = hours.Failed() || hours.U16At(0).value_or(1) == 1;
    // A derived calendar's default day is its base calendar's.
    if (keepsDefault && !isBase) continue;
    if (!opened) out.Open("WeekDays");
    opened = true;
    out.Open("WeekDay");
    out.Integer("DayType", dayType);
    if (keepsDefault) {
      WriteDefaultDay(dayType, out);
    } else {
      WriteHours(hours, out);
    }
    out.Close();
  }
  if (opened) out.Close();
}

void WriteRecurrence(RecurrenceType type, ByteCursor parameters, TreeWriter& out) {
  const std::uint8_t b0 = parameters.U8();
  const std::uint8_t b1 = parameters.U8();
  const std::uint16_t high = parameters.U16();
  const std::uint16_t low = static_cast<std::uint16_t>(b0 | b1 << 8);
  switch (type) {
    case RecurrenceType::Daily:
      break;
    case RecurrenceType::EveryNDays:
      out.Integer("Period", low);
      break;
    case RecurrenceType::Weekly:
      // One bit a day from Sunday; MPP12 leaves other bits in the second byte.
      out.Integer("Period", high);
      out.Integer("DaysOfWeek", b0 & 0x7F);
      break;
    case RecurrenceType::MonthlyRelative:
      out.Integer("Period", high);
      out.Integer("MonthItem", b1);
      out.Integer("MonthPosition", b0);
      break;
    case RecurrenceType::MonthlyAbsolute:
      out.Integer("Period", high);
      out.Integer("MonthDay", low);
      break;
    case RecurrenceType::YearlyRelative:
      out.Integer("Month", b0);
      out.Integer("MonthItem", high & 0xFF);
      out.Integer("MonthPosition", b1);
      break;
    case RecurrenceType::YearlyAbsolute:
      out.Integer("Month", b0);
      out.Integer("MonthDay", b1);
      break;
  }
}

// The exceptions; false when the list claims more than the value holds.
bool WriteExceptions(std::uint32_t count, ByteCursor in, TreeWriter& out) {
  if (count == 0) return true;
  if (count > MOST_EXCEPTIONS || count > in.Remaining() / EXCEPTION_FIXED_SIZE) return false;
  out.Open("Exceptions");
  bool whole = true;
  for (std::uint32_t i = 0; i < count; ++i) {
    ByteCursor fixed = in.Child(EXCEPTION_FIXED_SIZE);
    const std::uint16_t from = fixed.U16();
    const std::uint16_t to = fixed.U16();
    const std::uint32_t occurrences = fixed.U32();
    fixed.Skip(4);
    const ByteCursor hours = fixed.Child(HOURS_SIZE);
    const auto type = static_cast<RecurrenceType>(fixed.U32());
    const ByteCursor parameters = fixed.Child(4);
    fixed.Skip(8);
    const std::uint32_t nameBytes = fixed.U32();
    const std::string_view name = in.Take(nameBytes);
    // Names are padded to a multiple of 4 bytes.
    in.Skip(std::min<std::size_t>((4 - nameBytes % 4) % 4, in.Remaining()));
    if (fixed.Failed() || in.Failed()) {
      whole = false;
      break;
    }
    out.Open("Exception");
    out.Flag("EnteredByOccurrences", true);
    out.Open("TimePeriod");
    out.Text("FromDate", DayText(from, "00:00:00"));
    out.Text("ToDate", DayText(to, "23:59:00"));
    out.Close();
    out.Integer("Occurrences", occurrences);
    out.Text("Name", Utf16LeText(name));
    const bool known = type >= RecurrenceType::Daily && type <= RecurrenceType::EveryNDays;
    out.Integer("Type", known ? static_cast<std::int64_t>(type) : 1);
    if (known) WriteRecurrence(type, parameters, out);
    if (WriteHours(hours, out)) out.Flag("DayWorking", false);
    out.Close();
  }
  out.Close();
  return whole;
}

// The calendars of the table in file order: placeholders, deleted and repeated rows left out.
std::vector<CalendarRow> CalendarRows(const PlanFile& file, ReaderNotes* notes) {
  const EntityTable& table = file.calendars;
  std::vector<CalendarRow> rows;
  std::unordered_set<std::int32_t> seen;
  for (std::size_t k = 0; k < table.ItemCount(); ++k) {
    const std::uint32_t flags = table.Item(k).U32At(0).value_or(ROW_DELETED);
    if ((flags & (ROW_DELETED | ROW_PLACEHOLDER)) != 0) continue;
    const ByteCursor record(table.Record(k));
    const CalendarLayout& layout = file.layout.calendar;
    CalendarRow row;
    const auto uid = record.I32At(layout.uidOffset);
    const auto base = record.I32At(layout.baseOffset);
    if (!uid || !base) {
      if (notes != nullptr) notes->shortCalendarRecords = true;
      continue;
    }
    row.uid = *uid;
    row.base = *base;
    row.resource = record.I32At(layout.resourceOffset).value_or(-1);
    if (row.uid <= 0 || !seen.insert(row.uid).second) continue;
    // The placeholder resource's calendar is not the plan's; the export leaves it out. (A base
    // calendar of the late layout may name resource 0 for none.)
    const bool isBase = row.base == -1 || row.base == 0 || row.base == row.uid;
    if (row.resource == 0 && !isBase) continue;
    rows.push_back(row);
  }
  return rows;
}

}  // namespace

std::optional<std::int32_t> CalendarNamed(const PlanFile& file, std::string_view name) {
  if (name.empty()) return std::nullopt;
  for (const CalendarRow& row : CalendarRows(file, nullptr)) {
    const auto value = file.calendars.Var(row.uid, NAME_KEY);
    if (value && Utf16LeText(*value) == name) return row.uid;
  }
  return std::nullopt;
}

void WriteCalendars(const PlanFile& file, const std::unordered_map<std::int32_t, std::string>& resourceNames,
                    TreeWriter& out, ReaderNotes& notes) {
  const EntityTable& table = file.calendars;
  const std::vector<CalendarRow> rows = CalendarRows(file, &notes);
  if (rows.empty()) return;
  out.Open("Calendars");
  for (const CalendarRow& row : rows) {
    // A base calendar names none (-1; 0 in the late layout), or itself.
    const bool isBase = row.base == -1 || row.base == 0 || row.base == row.uid;
    out.Open("Calendar");
    out.Integer("UID", row.uid);
    std::string name;
    if (const auto value = table.Var(row.uid, NAME_KEY)) name = Utf16LeText(*value);
    if (name.empty() && row.resource > 0 && resourceNames.count(row.resource) != 0) name = resourceNames.at(row.resource);
    out.Text("Name", name);
    out.Flag("IsBaseCalendar", isBase);
    out.Flag("IsBaselineCalendar", false);
    // A calendar based on itself has no base: it is written as a base calendar of its own.
    if (row.base == row.uid) notes.selfBasedCalendars = true;
    out.Integer("BaseCalendarUID", row.base == row.uid ? -1 : row.base);
    const CalendarLayout& layout = file.layout.calendar;
    const auto hours = table.Var(row.uid, layout.hoursKey);
    ByteCursor in(hours.value_or(std::string_view()));
    std::uint32_t count = layout.exceptionCountFirst ? in.U32() : 0;
    WriteWeekDays(in.Child(7 * HOURS_SIZE), isBase, out);
    if (!layout.exceptionCountFirst) count = in.U32();
    // A value that ends with the week days has no exceptions.
    if (hours && in.Ok() && !WriteExceptions(count, ByteCursor(in.Rest()), out)) notes.damagedExceptionLists = true;
    out.Close();
  }
  out.Close();
}

}  // namespace nerin::mpp
