// SPDX-License-Identifier: MIT
// What every command shares: loading a source, writing the output, reporting problems.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "sources/plan_source.h"
#include "model/atomic_file.h"
#include "tools/cli/cli.h"

namespace nerin::cli {

namespace {

bool WriteAllTo(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace

bool Invocation::Has(std::string_view longName) const {
  for (const auto& [name, value] : options) {
    if (name == longName) return true;
  }
  return false;
}

std::optional<std::string> Invocation::Value(std::string_view longName) const {
  for (const auto& [name, value] : options) {
    if (name == longName) return value;
  }
  return std::nullopt;
}

bool IsStandardOutput(const std::string& output) {
  return output.empty() || output == "-";
}

std::string OutputName(const std::string& output) {
  return IsStandardOutput(output) ? "standard output" : output;
}

void ReportProblem(std::string_view name, std::string_view problem) {
  std::string line = "nerin-cli: ";
  line += name;
  line += ": ";
  line += problem;
  line += "\n";
  std::fputs(line.c_str(), stderr);
}

int WriteOutput(const std::string& bytes, const std::string& output, int status) {
  errno = 0;
  const bool written = IsStandardOutput(output) ? std::fflush(stdout) == 0 && WriteAllTo(STDOUT_FILENO, bytes)
                                                : WriteFileAtomically(output, bytes);
  if (written) return status;
  const int error = errno;
  ReportProblem(OutputName(output),
                std::string("could not be written: ") + (error != 0 ? std::strerror(error) : "unknown error"));
  return EXIT_WRITE_FAILED;
}

bool LoadCliSource(Plan& plan, MessageLog& log, const std::string& source) {
  if (source == "-") return ReadStreamSource(plan, log, STDIN_FILENO, "stdin");
  if (ClassifySource(source) == SourceKind::Address) return FetchAddressSource(plan, log, source);
  if (IsFileUri(source)) {
    if (const std::optional<std::string> path = FileUriPath(source)) return ReadFileSource(plan, log, *path);
  }
  return ReadFileSource(plan, log, source);
}

void ReportNotLoaded(const std::string& source, const MessageLog& log) {
  const std::string name = source == "-" ? "stdin" : source;
  const std::string messages = MessageListText(log);
  std::size_t start = 0;
  while (start < messages.size()) {
    const std::size_t end = messages.find('\n', start);
    const std::size_t stop = end == std::string::npos ? messages.size() : end;
    ReportProblem(name, std::string_view(messages).substr(start, stop - start));
    start = stop + 1;
  }
}

std::string WithLineFeeds(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    result += text[i];
  }
  return result;
}

}  // namespace nerin::cli
