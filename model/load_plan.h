// SPDX-License-Identifier: MIT
// From the bytes of a plan file to a checked Plan and its messages.
#pragma once

#include <cstdint>
#include <string_view>

#include "model/message_log.h"
#include "model/plan.h"
#include "model/xml_document.h"

namespace nerin {

// Loads the plan file's bytes into `plan`, reporting in `log`; the bytes are read in the
// encoding their byte-order mark or XML declaration names (XmlDocument::Parse). Everything
// that can reject the file as a whole is checked before the model is touched, so a rejected
// file leaves the previous plan as it was. True when the plan loaded (the log then holds no
// ERROR). `sourceName` is the file's name, shown in the report and standing in for a plan
// that names itself nowhere. The caller resets the chart's scroll offsets after a successful
// load.
bool LoadPlan(Plan& plan, MessageLog& log, std::string_view sourceName, std::string_view bytes);

// The file a plan was read from: the product's XML export, or one of its binary plan files.
// The messages and the load report name what the user has.
enum class PlanFileForm { XmlExport, Binary };

// The steps after reading, for a plan that arrived as a document tree, whatever file format
// it was read from: the same checks, the same readers and the same messages as LoadPlan.
// `readMilliseconds` is how long reading the file took (the first phase of the load report,
// "xml" for an export, "read" for a binary plan). The document is freed.
bool LoadPlanDocument(Plan& plan, MessageLog& log, std::string_view sourceName, XmlDocument& document,
                      std::int64_t readMilliseconds = 0, PlanFileForm form = PlanFileForm::XmlExport);

// The first pass over a parsed document: root, capacities, UID rules, task dates.
// Clears the log first; true when it found no error.
bool ValidatePlan(const XmlDocument& document, MessageLog& log);

}  // namespace nerin
