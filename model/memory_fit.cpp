// SPDX-License-Identifier: MIT
#include "model/memory_fit.h"

#include <atomic>
#include <cstdio>
#include <algorithm>
#include <limits>

#include "calendar/value_text.h"
#include "model/plan.h"

namespace nerin {

namespace {

constexpr std::int64_t MEBIBYTE = std::int64_t{1} << 20;
// What a task, a link, a resource and an assignment cost beyond their records: texts longer
// than a string holds in place, the UID lookup's entry, and the growth of the arrays.
constexpr std::int64_t TASK_EXTRA_BYTES = 160;
constexpr std::int64_t RESOURCE_EXTRA_BYTES = 128;
constexpr std::int64_t RECORD_SLACK_PERCENT = 125;

constexpr std::int64_t NO_OVERRIDE = -2;
std::atomic<std::int64_t> overriddenBytes{NO_OVERRIDE};

std::int64_t Saturated(__int128 value) {
  return value > std::numeric_limits<std::int64_t>::max() ? std::numeric_limits<std::int64_t>::max()
                                                           : static_cast<std::int64_t>(value);
}

}  // namespace

std::optional<std::int64_t> AvailableMemoryBytes() {
  const std::int64_t overridden = overriddenBytes.load();
  if (overridden != NO_OVERRIDE) return overridden;
  std::FILE* file = std::fopen("/proc/meminfo", "re");
  if (file == nullptr) return std::nullopt;
  char line[256];
  std::optional<std::int64_t> available;
  while (std::fgets(line, sizeof line, file) != nullptr) {
    long long kilobytes = 0;
    if (std::sscanf(line, "MemAvailable: %lld kB", &kilobytes) == 1) {
      available = Saturated(static_cast<__int128>(kilobytes) * 1024);
      break;
    }
  }
  std::fclose(file);
  return available;
}

void OverrideAvailableMemory(std::optional<std::int64_t> bytes) {
  overriddenBytes.store(bytes ? std::max<std::int64_t>(*bytes, 0) : NO_OVERRIDE);
}

std::int64_t ModelBytes(std::int64_t tasks, std::int64_t links, std::int64_t resources, std::int64_t assignments) {
  const __int128 records = static_cast<__int128>(tasks) * (static_cast<std::int64_t>(sizeof(Task)) + TASK_EXTRA_BYTES) +
                           static_cast<__int128>(links) * static_cast<std::int64_t>(sizeof(TaskLink)) +
                           static_cast<__int128>(resources) *
                               (static_cast<std::int64_t>(sizeof(Resource)) + RESOURCE_EXTRA_BYTES) +
                           static_cast<__int128>(assignments) *
                               static_cast<std::int64_t>(sizeof(Assignment) + sizeof(TaskAssignment));
  return Saturated(records * RECORD_SLACK_PERCENT / 100);
}

std::string MegabytesText(std::int64_t bytes) {
  const std::int64_t megabytes = bytes <= 0 ? 0 : bytes / MEBIBYTE + (bytes % MEBIBYTE != 0 ? 1 : 0);
  return IntegerText(megabytes) + " MB";
}

bool FitsInMemory(MessageLog& log, const std::string& what, std::int64_t neededBytes) {
  const std::optional<std::int64_t> available = AvailableMemoryBytes();
  if (!available || neededBytes <= *available) return true;
  ClearMessages(log);
  AddMessage(log, MessageLevel::Error,
             what + " needs about " + MegabytesText(neededBytes) + " of memory to open, more than the " +
                 MegabytesText(*available) + " this computer has free; nothing was loaded.");
  return false;
}

void ReportOutOfMemory(MessageLog& log, std::int64_t sourceBytes) {
  ClearMessages(log);
  AddMessage(log, MessageLevel::Error,
             "This plan did not fit in the memory this computer has free (" + MegabytesText(sourceBytes) +
                 " of it read); nothing was loaded.");
}

}  // namespace nerin
