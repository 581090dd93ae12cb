// SPDX-License-Identifier: MIT
// A plan with its message log, loaded through one of the sources, and ways to look at it.
#pragma once

#include <memory>
#include <string>

#include "sources/plan_source.h"
#include "model/model_dump.h"
#include "sources_test_support.h"

namespace nerin::test {

struct Loaded {
  std::unique_ptr<Plan> plan = std::make_unique<Plan>();
  MessageLog log;
  std::string Dump() const { return ModelDumpText(*plan, log, plan->ProjectLoaded); }
};

// "LEVEL text" of the one message in the log, or how many there were instead.
inline std::string OnlyMessage(const MessageLog& log) {
  if (log.messages.size() != 1) return "(" + std::to_string(log.messages.size()) + " messages)";
  return std::to_string(static_cast<int>(log.messages[0].level)) + " " + log.messages[0].text;
}

inline std::string FirstLine(const std::string& text) {
  return text.substr(0, text.find('\r'));
}

// The dump of the small plan read from disk, which every other way in must reproduce.
inline const std::string& ReferenceDump() {
  static const std::string dump = [] {
    Loaded loaded;
    ReadFileSource(*loaded.plan, loaded.log, SmallPlanPath());
    return loaded.Dump();
  }();
  return dump;
}

}  // namespace nerin::test
