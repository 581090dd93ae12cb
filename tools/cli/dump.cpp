// SPDX-License-Identifier: MIT
// nerin-cli dump: the model dump of the plan, as Ctrl+D writes it in the window.
#include "model/model_dump.h"
#include "tools/cli/cli.h"

namespace nerin::cli {

int RunDump(const Invocation& invocation) {
  const std::string& source = invocation.operands[0];
  Plan plan;
  MessageLog log;
  const bool loaded = LoadCliSource(plan, log, source);
  // A plan that does not load still gets its dump: the messages are what a comparison needs.
  if (!loaded) ReportNotLoaded(source, log);
  return WriteOutput(ModelDumpText(plan, log, plan.ProjectLoaded), invocation.Output(),
                     loaded ? EXIT_LOADED : EXIT_NOT_LOADED);
}

}  // namespace nerin::cli
