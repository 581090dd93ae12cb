// SPDX-License-Identifier: MIT
// The whole model and the message log as a text for comparison.
#pragma once

#include <string>

#include "model/message_log.h"
#include "model/plan.h"

namespace nerin {

// "NERIN-VIEWER-DUMP v1" and one line per record, CR LF line ends; with `loaded` false only
// the "LOADED 0" line and the messages follow the first line.
std::string ModelDumpText(const Plan& plan, const MessageLog& log, bool loaded);

// The file name offered when saving the dump: the project name with the characters that
// file names cannot hold replaced by "_", or "model", followed by ".dump.txt".
std::string ModelDumpDefaultName(const std::string& projectName);

}  // namespace nerin
