// SPDX-License-Identifier: MIT
#include "calendar/duration_text.h"

#include <charconv>
#include <cmath>

namespace nerin {

namespace {

constexpr std::int64_t ESTIMATED_OFFSET = 32;
constexpr const char* MINUS_SIGN = "\xE2\x88\x92";  // U+2212

struct UnitNames {
  const char* one;
  const char* many;
};

UnitNames NamesOf(DurationFormat format) {
  switch (format) {
    case DurationFormat::Minutes:
      return {"min", "mins"};
    case DurationFormat::ElapsedMinutes:
      return {"emin", "emins"};
    case DurationFormat::Hours:
      return {"hr", "hrs"};
    case DurationFormat::ElapsedHours:
      return {"ehr", "ehrs"};
    case DurationFormat::ElapsedDays:
      return {"eday", "edays"};
    case DurationFormat::Weeks:
      return {"wk", "wks"};
    case DurationFormat::ElapsedWeeks:
      return {"ewk", "ewks"};
    case DurationFormat::Months:
      return {"mon", "mons"};
    case DurationFormat::ElapsedMonths:
      return {"emon", "emons"};
    default:
      return {"day", "days"};
  }
}

// The unit a duration is shown in: a format without a time unit takes the plan's default,
// and a default without one takes days.
DurationFormat ShownFormat(DurationFormat format, DurationFormat planDefault) {
  auto timeUnit = [](DurationFormat f) {
    const DurationFormat definite = DefiniteFormat(f);
    return definite != DurationFormat::Null && definite != DurationFormat::Percent &&
           definite != DurationFormat::ElapsedPercent;
  };
  if (timeUnit(format)) return DefiniteFormat(format);
  if (timeUnit(planDefault)) return DefiniteFormat(planDefault);
  return DurationFormat::Days;
}

}  // namespace

std::optional<DurationFormat> DurationFormatOf(std::int64_t code) {
  const std::int64_t definite = code >= 35 ? code - ESTIMATED_OFFSET : code;
  if ((definite >= 3 && definite <= 12) || definite == 19 || definite == 20 || definite == 21) {
    return static_cast<DurationFormat>(code);
  }
  return std::nullopt;
}

DurationFormat DefiniteFormat(DurationFormat format) {
  return IsEstimatedFormat(format) ? static_cast<DurationFormat>(static_cast<std::int64_t>(format) - ESTIMATED_OFFSET)
                                   : format;
}

bool IsEstimatedFormat(DurationFormat format) {
  return static_cast<std::int64_t>(format) >= 35;
}

bool IsElapsedFormat(DurationFormat format) {
  const std::int64_t code = static_cast<std::int64_t>(DefiniteFormat(format));
  return code == 20 || (code >= 3 && code <= 12 && code % 2 == 0);
}

double DurationInUnit(double minutes, DurationFormat format, const PlanUnits& units) {
  const double perDay = static_cast<double>(units.MinutesPerDay > 0 ? units.MinutesPerDay : 480);
  const double perWeek = static_cast<double>(units.MinutesPerWeek > 0 ? units.MinutesPerWeek : 2400);
  const double daysPerMonth = static_cast<double>(units.DaysPerMonth > 0 ? units.DaysPerMonth : 20);
  switch (DefiniteFormat(format)) {
    case DurationFormat::Minutes:
    case DurationFormat::ElapsedMinutes:
      return minutes;
    case DurationFormat::Hours:
    case DurationFormat::ElapsedHours:
      return minutes / 60.0;
    case DurationFormat::ElapsedDays:
      return minutes / 1440.0;
    case DurationFormat::Weeks:
      return minutes / perWeek;
    case DurationFormat::ElapsedWeeks:
      return minutes / 10080.0;
    case DurationFormat::Months:
      return minutes / (perDay * daysPerMonth);
    case DurationFormat::ElapsedMonths:
      return minutes / 43200.0;  // 30 days of 24 hours
    default:
      return minutes / perDay;
  }
}

std::string ShortNumberText(double value) {
  // Beyond this no plan's duration goes; the text stays short whatever the file says.
  if (!std::isfinite(value) || std::fabs(value) > 1e15) return "0";
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::round(value * 100.0) / 100.0,
                                    std::chars_format::fixed, 2);
  std::string text(buffer, result.ptr);
  if (text.find('.') != std::string::npos) {
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
  }
  if (text == "-0") text = "0";
  return text;
}

std::string DurationText(double minutes, DurationStyle style, DurationFormat planDefault, const PlanUnits& units) {
  const DurationFormat shown = ShownFormat(style.Format, planDefault);
  const std::string number = ShortNumberText(DurationInUnit(minutes, shown, units));
  const UnitNames names = NamesOf(shown);
  std::string text = number + " " + (number == "1" ? names.one : names.many);
  if (style.Estimated || IsEstimatedFormat(style.Format)) text += '?';
  return text;
}

std::string LagText(std::string_view typeName, double lagTenths, std::optional<DurationFormat> format,
                    DurationFormat planDefault, const PlanUnits& units) {
  std::string text(typeName);
  if (!std::isfinite(lagTenths) || lagTenths == 0) return text;
  const bool negative = lagTenths < 0;
  const double amount = std::fabs(lagTenths);
  std::string body;
  const DurationFormat definite = format ? DefiniteFormat(*format) : DurationFormat::Null;
  if (definite == DurationFormat::Percent || definite == DurationFormat::ElapsedPercent) {
    body = ShortNumberText(amount) + (definite == DurationFormat::ElapsedPercent ? "e%" : "%");
  } else {
    DurationStyle style;
    style.Format = format ? *format : planDefault;
    body = DurationText(amount / 10.0, style, planDefault, units);
  }
  if (body.rfind("0", 0) == 0 && (body.size() == 1 || body[1] == ' ' || body[1] == '%' || body[1] == 'e')) return text;
  text += negative ? MINUS_SIGN : "+";
  text += body;
  return text;
}

std::string MaterialUnitsText(double units, std::string_view label) {
  std::string text = ShortNumberText(units);
  if (!label.empty()) {
    text += ' ';
    text += label;
  }
  return text;
}

}  // namespace nerin
