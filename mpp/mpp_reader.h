// SPDX-License-Identifier: MIT
// The product's binary plan files (.mpp) of the generations MPP9, MPP12 and MPP14. The reader
// turns the file into the document tree the XML export of the same plan would give and hands
// it to the load's steps after reading, so a binary plan is checked, counted and shown
// exactly as its export.
#pragma once

#include <string_view>

#include "model/message_log.h"
#include "model/plan.h"
#include "model/xml_document.h"

namespace nerin {

// True when the bytes start with the compound-file signature: the file then goes to this
// reader, whatever its name.
bool IsCompoundFile(std::string_view bytes);

// The sentence that refuses a plan in one of the product's formats the viewer recognises but
// does not read (the old MPX text format, the product's database format), or empty when the
// bytes are neither.
std::string_view OtherPlanFormatRefusal(std::string_view bytes);

// Reads the binary plan into `document`. A file that is refused (not a compound file, no
// plan, a generation the reader does not know, protected, damaged) clears the log and adds one
// ERROR that says why; `document` is then empty. INFO and WARNING lines about the reading
// itself go to `notes`, for the caller to add after the load's own messages.
bool ReadMppDocument(std::string_view bytes, std::string_view sourceName, XmlDocument& document,
                     MessageLog& log, MessageLog& notes);

// Reads the binary plan and loads it as LoadPlan loads a plan's text: a refused file leaves
// the plan as it was. True when the plan loaded.
bool LoadMppPlan(Plan& plan, MessageLog& log, std::string_view sourceName, std::string_view bytes);

}  // namespace nerin
