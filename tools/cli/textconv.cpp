// SPDX-License-Identifier: MIT
// nerin-cli textconv: the text git diff compares for a plan file.
#include <fstream>
#include <iterator>

#include "app/sources/plan_source.h"
#include "model/model_dump.h"
#include "tools/cli/cli.h"

namespace nerin::cli {

namespace {

// The file's bytes as they are, or nothing when it cannot be read.
std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

// git diff runs this on both sides of a change and compares the texts, and a failing driver
// makes the whole diff fail: so the exit status is 0 whether the plan loads or not, and
// nothing goes to stderr. A file that does not load keeps its own text after the messages, or
// two different broken versions (or any other XML file the attribute happens to cover) would
// compare as equal and their changes would vanish from the diff.
int RunTextconv(const Invocation& invocation) {
  const std::string& path = invocation.operands[0];
  Plan plan;
  MessageLog log;
  if (ReadFileSource(plan, log, path)) {
    return WriteOutput(ModelDumpText(plan, log, plan.ProjectLoaded), {}, EXIT_LOADED);
  }
  std::string text = MessageListText(log);
  const std::string bytes = FileBytes(path);
  if (!bytes.empty()) text += "\n" + bytes;
  return WriteOutput(text, {}, EXIT_LOADED);
}

}  // namespace nerin::cli
