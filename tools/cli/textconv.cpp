// SPDX-License-Identifier: MIT
// nerin-cli textconv: the text git diff compares for a plan file.
#include <fstream>
#include <iterator>

#include <cstdint>
#include <cstdio>

#include "sources/plan_source.h"
#include "model/model_dump.h"
#include "mpp/mpp_reader.h"
#include "tools/cli/cli.h"

namespace nerin::cli {

namespace {

// The file's bytes as they are, or nothing when it cannot be read.
std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A binary plan file that does not load is no text to show: its size and a checksum (64-bit
// FNV-1a) still tell two versions apart.
std::string BinaryFileLine(const std::string& bytes) {
  std::uint64_t hash = 0xCBF29CE484222325u;
  for (const char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001B3u;
  }
  char checksum[17];
  std::snprintf(checksum, sizeof checksum, "%016llx", static_cast<unsigned long long>(hash));
  return "Binary plan file: " + std::to_string(bytes.size()) + " bytes, checksum " + checksum + "\n";
}

}  // namespace

// git diff runs this on both sides of a change and compares the texts, and a failing driver
// makes the whole diff fail: so the exit status is 0 whether the plan loads or not, and
// nothing goes to stderr. A file that does not load keeps its own text after the messages (a
// binary plan its size and checksum), or two different broken versions (or any other file the
// attribute happens to cover) would compare as equal and their changes would vanish from the
// diff.
int RunTextconv(const Invocation& invocation) {
  const std::string& path = invocation.operands[0];
  Plan plan;
  MessageLog log;
  if (ReadFileSource(plan, log, path)) {
    return WriteOutput(ModelDumpText(plan, log, plan.ProjectLoaded), {}, EXIT_LOADED);
  }
  std::string text = MessageListText(log);
  const std::string bytes = FileBytes(path);
  if (IsCompoundFile(bytes)) {
    text += "\n" + BinaryFileLine(bytes);
  } else if (!bytes.empty()) {
    text += "\n" + bytes;
  }
  return WriteOutput(text, {}, EXIT_LOADED);
}

}  // namespace nerin::cli
