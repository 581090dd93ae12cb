// SPDX-License-Identifier: MIT
// nerin-cli report: the load report and the messages, as the status line and the messages
// window show them.
#include "tools/cli/cli.h"

namespace nerin::cli {

int RunReport(const Invocation& invocation) {
  const std::string& source = invocation.operands[0];
  Plan plan;
  MessageLog log;
  const bool loaded = LoadCliSource(plan, log, source);
  if (!loaded) ReportNotLoaded(source, log);
  // A load rejected before the report was built leaves it empty: then only the messages.
  std::string text;
  if (!plan.LoadReport.empty()) text = WithLineFeeds(plan.LoadReport) + "\n\n";
  text += MessageListText(log);
  return WriteOutput(text, invocation.Output(), loaded ? EXIT_LOADED : EXIT_NOT_LOADED);
}

}  // namespace nerin::cli
