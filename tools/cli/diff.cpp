// SPDX-License-Identifier: MIT
// nerin-cli diff: what changed from one version of a plan to the next. The exit status
// follows diff(1): 0 nothing differs, 1 something does, 2 trouble (wrong usage, a version that
// does not load, an output that cannot be written).
#include <memory>

#include "compare/change_formats.h"
#include "compare/plan_changes.h"
#include "tools/cli/cli.h"

namespace nerin::cli {

namespace {

constexpr int DIFF_SAME = 0;
constexpr int DIFF_DIFFERENT = 1;
constexpr int DIFF_TROUBLE = 2;
static_assert(EXIT_USAGE == DIFF_TROUBLE, "a usage error is trouble to diff as well");

// A plan holds its records at full capacity: on the heap.
bool LoadVersion(Plan& plan, const std::string& source) {
  MessageLog log;
  const bool loaded = LoadCliSource(plan, log, source);
  if (!loaded) ReportNotLoaded(source, log);
  return loaded;
}

}  // namespace

int RunDiff(const Invocation& invocation) {
  const std::string& reference = invocation.operands[0];
  const std::string& subject = invocation.operands[1];
  const std::string format = invocation.Value("format").value_or("text");
  if (format != "text" && format != "tsv") return UsageError("--format needs text or tsv.");
  if (reference == "-" && subject == "-") {
    return UsageError("only one of REFERENCE and SUBJECT can be standard input.");
  }
  auto referencePlan = std::make_unique<Plan>();
  auto subjectPlan = std::make_unique<Plan>();
  // Both are tried, so that one run names every version that does not load.
  const bool referenceLoaded = LoadVersion(*referencePlan, reference);
  const bool subjectLoaded = LoadVersion(*subjectPlan, subject);
  if (!referenceLoaded || !subjectLoaded) return DIFF_TROUBLE;
  const PlanChanges changes = ComparePlans(*referencePlan, *subjectPlan);
  const std::string text = format == "tsv" ? ChangesTsv(changes) : ChangesText(changes);
  const int status = WriteOutput(text, invocation.Output(), changes.Empty() ? DIFF_SAME : DIFF_DIFFERENT);
  return status == EXIT_WRITE_FAILED ? DIFF_TROUBLE : status;
}

}  // namespace nerin::cli
