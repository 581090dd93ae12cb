// SPDX-License-Identifier: MIT
#include "tools/cli_diff.h"

#include <cstdio>
#include <string_view>

#include "app/sources/plan_source.h"
#include "calendar/text_units.h"
#include "compare/change_formats.h"
#include "compare/plan_changes.h"
#include "model/message_log.h"
#include "model/plan.h"

namespace nerin {
namespace {

bool WriteAll(std::FILE* out, const std::string& bytes) {
  return std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size() && std::fflush(out) == 0;
}

bool WriteOutput(const std::string& bytes, const std::string& path) {
  if (path.empty()) {
    if (WriteAll(stdout, bytes)) return true;
    std::fprintf(stderr, "nerin-cli: the output could not be written.\n");
    return false;
  }
  std::FILE* file = std::fopen(path.c_str(), "wb");
  bool written = file != nullptr && WriteAll(file, bytes);
  if (file != nullptr && std::fclose(file) != 0) written = false;
  if (!written) std::fprintf(stderr, "nerin-cli: the file could not be written: %s\n", path.c_str());
  return written;
}

// The same road as an open in the window; a failure names the version and gives its messages.
bool LoadVersion(Plan& plan, const std::string& source, std::string_view role) {
  MessageLog log;
  const bool loaded = ClassifySource(source) == SOURCE_ADDRESS ? FetchAddressSource(plan, log, source)
                                                               : ReadFileSource(plan, log, source);
  if (!loaded) {
    const std::string text =
        "nerin-cli: the " + std::string(role) + " did not load: " + source + "\n" + MessageListText(log);
    std::fputs(text.c_str(), stderr);
  }
  return loaded;
}

int UsageError(std::string_view problem) {
  const std::string text = "nerin-cli: " + std::string(problem) + "\nUsage: nerin-cli " + DIFF_SYNOPSIS +
                           "\nRun \"nerin-cli --help\" for all commands and options.\n";
  std::fputs(text.c_str(), stderr);
  return DIFF_TROUBLE;
}

}  // namespace

int RunDiff(const DiffOptions& options) {
  Plan reference;
  Plan subject;
  // Both are loaded, so that one run reports every version that is broken.
  const bool referenceLoaded = LoadVersion(reference, options.reference, "reference");
  const bool subjectLoaded = LoadVersion(subject, options.subject, "subject");
  if (!referenceLoaded || !subjectLoaded) return DIFF_TROUBLE;
  const PlanChanges changes = ComparePlans(reference, subject);
  const std::string text = options.format == DiffFormat::Tsv ? ChangesTsv(changes) : ChangesText(changes);
  if (!WriteOutput(text, options.outputPath)) return DIFF_TROUBLE;
  return changes.Empty() ? DIFF_SAME : DIFF_DIFFERENT;
}

std::optional<int> ParseDiffArguments(const std::vector<std::string>& arguments, DiffOptions& options) {
  std::vector<std::string> sources;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    const bool option = !optionsEnded && argument.size() > 1 && argument[0] == '-';
    if (!optionsEnded && argument == "--") {
      optionsEnded = true;
    } else if (option && (argument == "--help" || argument == "-h")) {
      const std::string text = std::string("Usage: nerin-cli ") + DIFF_SYNOPSIS +
                               "\n      what changed from REFERENCE (the older version) to SUBJECT: text\n"
                               "      (default) or tab-separated lines. Exit status 0 no differences,\n"
                               "      1 differences, 2 trouble\n";
      return WriteAll(stdout, text) ? DIFF_SAME : DIFF_TROUBLE;
    } else if (option && argument == "-o") {
      if (i + 1 >= arguments.size() || arguments[i + 1].empty()) return UsageError("-o needs a file name.");
      options.outputPath = arguments[++i];
    } else if (option && (argument == "--format" || argument.starts_with("--format="))) {
      std::string value;
      if (argument == "--format") {
        if (i + 1 >= arguments.size()) return UsageError("--format needs text or tsv.");
        value = arguments[++i];
      } else {
        value = argument.substr(std::string_view("--format=").size());
      }
      if (value == "text") {
        options.format = DiffFormat::Text;
      } else if (value == "tsv") {
        options.format = DiffFormat::Tsv;
      } else {
        return UsageError("--format needs text or tsv.");
      }
    } else if (option) {
      return UsageError("unknown option \"" + argument + "\".");
    } else {
      sources.emplace_back(TrimSpaces(argument));
    }
  }
  if (sources.size() > 2) return UsageError("only REFERENCE and SUBJECT can be given.");
  if (sources.size() < 2 || ClassifySource(sources[0]) == SOURCE_NOTHING ||
      ClassifySource(sources[1]) == SOURCE_NOTHING) {
    return UsageError("REFERENCE and SUBJECT are needed.");
  }
  options.reference = sources[0];
  options.subject = sources[1];
  return std::nullopt;
}

}  // namespace nerin
