// nerin-cli: the viewer's plan loading without the window, for scripts and comparisons.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "app/sources/plan_source.h"
#include "calendar/text_units.h"
#include "model/message_log.h"
#include "model/model_dump.h"
#include "model/plan.h"

namespace nerin {
namespace {

constexpr int EXIT_LOADED = 0;
constexpr int EXIT_NOT_LOADED = 1;
constexpr int EXIT_USAGE = 2;
constexpr int EXIT_WRITE_FAILED = 3;

struct Arguments {
  std::string source;
  std::string outputPath;  // empty: standard output
};

struct Command {
  std::string_view name;
  std::string_view synopsis;
  std::string_view summary;
  bool takesOutput;  // accepts -o FILE
  int (*run)(const Arguments& arguments);
};

int RunDump(const Arguments& arguments);
int RunReport(const Arguments& arguments);

constexpr Command COMMANDS[] = {
    {"dump", "dump SOURCE [-o FILE]", "write the model dump of the plan (CR LF lines) to FILE or stdout",
     true, RunDump},
    {"report", "report SOURCE", "print the load report, an empty line and the messages", false, RunReport},
};

std::string UsageText() {
  std::string text = "Usage:\n";
  for (const Command& command : COMMANDS) {
    text += "  nerin-cli ";
    text += command.synopsis;
    text += "\n      ";
    text += command.summary;
    text += "\n";
  }
  text +=
      "  nerin-cli --help\n"
      "\n"
      "SOURCE is a file path or an http:// or https:// address.\n"
      "Exit status: 0 the plan loaded, 1 it did not load, 2 wrong usage, 3 the output could not be\n"
      "written.\n";
  return text;
}

bool WriteAll(std::FILE* out, const std::string& bytes) {
  return std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size() && std::fflush(out) == 0;
}

int PrintUsage() {
  return WriteAll(stdout, UsageText()) ? EXIT_LOADED : EXIT_WRITE_FAILED;
}

int UsageError(std::string_view problem) {
  std::fprintf(stderr, "nerin-cli: %.*s\n\n%s", static_cast<int>(problem.size()), problem.data(),
               UsageText().c_str());
  return EXIT_USAGE;
}

// Writes the bytes unchanged, so CR LF stays CR LF.
int WriteOutput(const std::string& bytes, const std::string& path, int status) {
  if (path.empty()) {
    if (WriteAll(stdout, bytes)) return status;
    std::fprintf(stderr, "nerin-cli: the output could not be written.\n");
    return EXIT_WRITE_FAILED;
  }
  std::FILE* file = std::fopen(path.c_str(), "wb");
  bool written = file != nullptr && WriteAll(file, bytes);
  if (file != nullptr && std::fclose(file) != 0) written = false;
  if (written) return status;
  std::fprintf(stderr, "nerin-cli: the file could not be written: %s\n", path.c_str());
  return EXIT_WRITE_FAILED;
}

// The same road as an open in the window: an address is downloaded, anything else is a path.
bool LoadFromSource(Plan& plan, MessageLog& log, const std::string& source) {
  if (ClassifySource(source) == SOURCE_ADDRESS) return FetchAddressSource(plan, log, source);
  return ReadFileSource(plan, log, source);
}

int RunDump(const Arguments& arguments) {
  Plan plan;
  MessageLog log;
  const bool loaded = LoadFromSource(plan, log, arguments.source);
  return WriteOutput(ModelDumpText(plan, log, plan.ProjectLoaded), arguments.outputPath,
                     loaded ? EXIT_LOADED : EXIT_NOT_LOADED);
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

int RunReport(const Arguments& arguments) {
  Plan plan;
  MessageLog log;
  const bool loaded = LoadFromSource(plan, log, arguments.source);
  // A load rejected before the report was built leaves it empty: then only the messages.
  std::string text;
  if (!plan.LoadReport.empty()) text = WithLineFeeds(plan.LoadReport) + "\n\n";
  text += MessageListText(log);
  return WriteOutput(text, arguments.outputPath, loaded ? EXIT_LOADED : EXIT_NOT_LOADED);
}

bool IsHelp(std::string_view argument) {
  return argument == "--help" || argument == "-h";
}

int Main(const std::vector<std::string>& argv) {
  if (argv.size() < 2) return UsageError("a command is missing.");
  if (IsHelp(argv[1])) return PrintUsage();
  const Command* command = nullptr;
  for (const Command& candidate : COMMANDS) {
    if (candidate.name == argv[1]) command = &candidate;
  }
  if (command == nullptr) return UsageError("unknown command \"" + argv[1] + "\".");

  Arguments arguments;
  bool haveSource = false;
  bool optionsEnded = false;
  for (std::size_t i = 2; i < argv.size(); ++i) {
    const std::string& argument = argv[i];
    if (!optionsEnded && argument == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && command->takesOutput && argument == "-o") {
      if (i + 1 >= argv.size() || argv[i + 1].empty()) return UsageError("-o needs a file name.");
      arguments.outputPath = argv[++i];
    } else if (!optionsEnded && IsHelp(argument)) {
      return PrintUsage();
    } else if (!optionsEnded && argument.size() > 1 && argument[0] == '-') {
      return UsageError("unknown option \"" + argument + "\".");
    } else if (haveSource) {
      return UsageError("only one SOURCE can be given.");
    } else {
      arguments.source = std::string(TrimSpaces(argument));
      haveSource = true;
    }
  }
  if (!haveSource || ClassifySource(arguments.source) == SOURCE_NOTHING) {
    return UsageError("SOURCE is missing.");
  }
  return command->run(arguments);
}

}  // namespace
}  // namespace nerin

int main(int argc, char** argv) {
  return nerin::Main(std::vector<std::string>(argv, argv + argc));
}
