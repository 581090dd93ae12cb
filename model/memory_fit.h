// SPDX-License-Identifier: MIT
// Whether a plan fits in the memory the system can still give, asked before a load takes it:
// a plan too large for this computer is refused with an ERROR that names its size, and the
// shown plan stays, instead of the process ending when memory runs out.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "model/message_log.h"

namespace nerin {

// What the system can still give without swapping (MemAvailable of /proc/meminfo); nothing
// when it cannot be told.
std::optional<std::int64_t> AvailableMemoryBytes();

// Replaces what AvailableMemoryBytes says, for tests of the refusals; std::nullopt gives the
// system's own figure back.
void OverrideAvailableMemory(std::optional<std::int64_t> bytes);

// Memory the model of a plan with these records takes, its texts included.
std::int64_t ModelBytes(std::int64_t tasks, std::int64_t links, std::int64_t resources, std::int64_t assignments);

// "12 MB": a size as the messages name it, in whole mebibytes rounded up.
std::string MegabytesText(std::int64_t bytes);

// True when `neededBytes` fits in the available memory (or the memory cannot be told);
// otherwise clears the log, adds the ERROR naming `what` and both sizes, and returns false.
bool FitsInMemory(MessageLog& log, const std::string& what, std::int64_t neededBytes);

// The one ERROR of a load that ran out of memory, or saw the free memory run low, after
// reading `sourceBytes` of its source.
void ReportOutOfMemory(MessageLog& log, std::int64_t sourceBytes);

}  // namespace nerin
