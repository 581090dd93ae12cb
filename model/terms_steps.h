// SPDX-License-Identifier: MIT
// The load's steps for the plan's own terms (model/plan_terms.h). Not for the views.
#pragma once

#include <string>

#include "model/message_log.h"
#include "model/plan.h"
#include "model/xml_document.h"

namespace nerin {

// MinutesPerDay, MinutesPerWeek, DaysPerMonth, DurationFormat, CalendarUID and StatusDate of
// the root, then the calendars. Empties plan.Terms first.
void ReadPlanTermsHeader(const XmlDocument& document, Plan& plan, MessageLog& log, std::string& scratch);
void ReadPlanCalendars(const XmlDocument& document, Plan& plan, MessageLog& log, std::string& scratch);
// Each stored task's further facts and each resource's material label, after the tasks and
// resources were read; the status date is checked against the plan's dates.
void ReadTaskTerms(const XmlDocument& document, Plan& plan, MessageLog& log, std::string& scratch);

}  // namespace nerin
