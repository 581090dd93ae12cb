// SPDX-License-Identifier: MIT
#include "model/plan_terms.h"

namespace nerin {

std::string ConstraintTypeName(ConstraintType type) {
  switch (type) {
    case ConstraintType::AsSoonAsPossible:
      return "As Soon As Possible";
    case ConstraintType::AsLateAsPossible:
      return "As Late As Possible";
    case ConstraintType::MustStartOn:
      return "Must Start On";
    case ConstraintType::MustFinishOn:
      return "Must Finish On";
    case ConstraintType::StartNoEarlierThan:
      return "Start No Earlier Than";
    case ConstraintType::StartNoLaterThan:
      return "Start No Later Than";
    case ConstraintType::FinishNoEarlierThan:
      return "Finish No Earlier Than";
    case ConstraintType::FinishNoLaterThan:
      return "Finish No Later Than";
  }
  return "As Soon As Possible";
}

std::int64_t CalendarIndex(const PlanTerms& terms, std::int64_t uid) {
  for (std::size_t i = 0; i < terms.Calendars.size(); ++i) {
    if (terms.Calendars[i].UID == uid) return static_cast<std::int64_t>(i);
  }
  return -1;
}

const WorkCalendar& ProjectWorkCalendar(const PlanTerms& terms) {
  static const WorkCalendar standard;
  const std::int64_t index = terms.ProjectCalendar;
  if (index < 0 || index >= static_cast<std::int64_t>(terms.Calendars.size())) return standard;
  const auto& calendar = terms.Calendars[static_cast<std::size_t>(index)].Calendar;
  return calendar ? *calendar : standard;
}

}  // namespace nerin
