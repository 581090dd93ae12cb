// SPDX-License-Identifier: MIT
// nerin-cli: the viewer's plan loading without the window, for scripts, comparisons and git
// diffs; with Qt at hand also the Gantt chart as a PNG image, drawn without a display.
//
// The command line follows the GNU conventions through getopt_long: options before or after
// the operands, --name=VALUE or --name VALUE, -oVALUE or -o VALUE, "--" to end the options,
// "-" for standard input or output. What the commands take comes from their table.
#include <getopt.h>

#include <csignal>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/text_units.h"
#include "tools/cli/cli.h"

#ifndef NERIN_VERSION
#error "NERIN_VERSION, the program's version number, comes from the build"
#endif

namespace nerin::cli {

namespace {

constexpr std::string_view PROGRAM = "nerin-cli";
// getopt_long's answers for the long options: the option's index from here on.
constexpr int FIRST_LONG_ONLY = 0x1000;
constexpr int HELP_ANSWER = 'h';

// The command's form after `lead`, its continuation lines lined up under the first.
std::string Indented(std::string_view text, std::string_view lead, std::size_t continuation) {
  std::string result(lead);
  for (const char c : text) {
    result += c;
    if (c == '\n') result.append(continuation, ' ');
  }
  return result + "\n";
}

bool WriteStandardOutput(const std::string& text) {
  return WriteOutput(text, {}, EXIT_LOADED) == EXIT_LOADED;
}

// getopt's own messages name the program as argv[0] gives it: so it is handed the bare name.
class ArgumentVector {
 public:
  ArgumentVector(std::vector<std::string> arguments) : strings_(std::move(arguments)) {
    strings_.insert(strings_.begin(), std::string(PROGRAM));
    for (std::string& argument : strings_) pointers_.push_back(argument.data());
    pointers_.push_back(nullptr);
  }
  int count() const { return static_cast<int>(strings_.size()); }
  char** data() { return pointers_.data(); }

 private:
  std::vector<std::string> strings_;
  std::vector<char*> pointers_;
};

// The operands of a command whose operands are file names as given: only a lone --help or
// -h before "--" is not one. Nothing when help was printed (status in `status`).
std::optional<std::vector<std::string>> LiteralOperands(const std::vector<std::string>& arguments, int& status) {
  std::vector<std::string> operands;
  bool optionsEnded = false;
  for (const std::string& argument : arguments) {
    if (!optionsEnded && argument == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && (argument == "--help" || argument == "-h")) {
      status = WriteStandardOutput(UsageText()) ? EXIT_LOADED : EXIT_WRITE_FAILED;
      return std::nullopt;
    } else {
      operands.push_back(argument);
    }
  }
  return operands;
}

// The arguments after the command name into `invocation`: nothing when they were all taken,
// else the exit status to end with (help printed, or a usage error reported).
std::optional<int> ParseCommand(const Command& command, const std::vector<std::string>& arguments,
                                Invocation& invocation) {
  invocation.command = &command;
  std::vector<std::string> operands;
  if (command.literalOperands) {
    int status = EXIT_LOADED;
    std::optional<std::vector<std::string>> literal = LiteralOperands(arguments, status);
    if (!literal) return status;
    operands = std::move(*literal);
  } else {
    // "-" first: operands come back in place, so options may follow them whatever
    // POSIXLY_CORRECT says, and getopt prints its own one-line complaints.
    std::string shortOptions = "-h";
    std::vector<option> longOptions;
    for (std::size_t i = 0; i < command.options.size(); ++i) {
      const Option& entry = command.options[i];
      const int hasValue = entry.valueName.empty() ? no_argument : required_argument;
      longOptions.push_back({entry.longName.data(), hasValue, nullptr, FIRST_LONG_ONLY + static_cast<int>(i)});
      if (entry.shortName != 0) {
        shortOptions += entry.shortName;
        if (hasValue == required_argument) shortOptions += ':';
      }
    }
    longOptions.push_back({"help", no_argument, nullptr, HELP_ANSWER});
    longOptions.push_back({nullptr, 0, nullptr, 0});

    ArgumentVector argv(arguments);
    optind = 0;  // a fresh scan (glibc)
    opterr = 1;
    bool helpAsked = false;
    for (;;) {
      const int answer = ::getopt_long(argv.count(), argv.data(), shortOptions.c_str(), longOptions.data(), nullptr);
      if (answer == -1) break;
      if (answer == '?' || answer == ':') return UsageError({});
      if (answer == 1) {
        operands.emplace_back(optarg);
        continue;
      }
      if (answer == HELP_ANSWER) {
        helpAsked = true;
        continue;
      }
      std::size_t index = command.options.size();
      if (answer >= FIRST_LONG_ONLY) {
        index = static_cast<std::size_t>(answer - FIRST_LONG_ONLY);
      } else {
        for (std::size_t i = 0; i < command.options.size(); ++i) {
          if (command.options[i].shortName == answer) index = i;
        }
      }
      if (index >= command.options.size()) return UsageError({});
      const Option& entry = command.options[index];
      const std::string name(entry.longName);
      if (entry.valueName.empty()) {
        if (!invocation.Has(name)) invocation.options.emplace_back(name, std::string());
        continue;
      }
      // Two values for one option leave it open which was meant: a script with -o given
      // twice must not write to a file nobody looks at.
      if (invocation.Has(name)) return UsageError("--" + name + " is given more than once.");
      const std::string value = optarg != nullptr ? optarg : "";
      if (value.empty()) return UsageError("--" + name + " needs a " + std::string(entry.valueName) + ".");
      invocation.options.emplace_back(name, value);
    }
    if (helpAsked) return WriteStandardOutput(UsageText()) ? EXIT_LOADED : EXIT_WRITE_FAILED;
    for (int i = optind; i < argv.count(); ++i) operands.emplace_back(argv.data()[i]);
  }

  for (std::string& operand : operands) {
    // git hands the textconv driver a file name that must be opened exactly as given.
    if (!command.literalOperands) operand = std::string(TrimSpaces(operand));
  }
  for (std::size_t i = 0; i < command.operands.size(); ++i) {
    if (i >= operands.size() || operands[i].empty()) return UsageError(std::string(command.operands[i]) + " is missing.");
  }
  if (operands.size() > command.operands.size()) {
    return UsageError("unexpected argument '" + operands[command.operands.size()] + "'.");
  }
  if (!command.requiredOption.empty() && !invocation.Has(command.requiredOption)) {
    for (const Option& entry : command.options) {
      if (entry.longName != command.requiredOption) continue;
      std::string form = entry.shortName != 0 ? std::string("-") + entry.shortName : "--" + std::string(entry.longName);
      return UsageError(std::string(command.name) + " needs " + form + " " + std::string(entry.valueName) + ".");
    }
  }
  invocation.operands = std::move(operands);
  return std::nullopt;
}

int Main(const std::vector<std::string>& arguments) {
  // Only --help and --version come before the command; "+" stops at the command's name.
  static const option GLOBAL_OPTIONS[] = {
      {"help", no_argument, nullptr, 'h'}, {"version", no_argument, nullptr, 'V'}, {nullptr, 0, nullptr, 0}};
  ArgumentVector argv(arguments);
  optind = 0;
  opterr = 1;
  for (;;) {
    const int answer = ::getopt_long(argv.count(), argv.data(), "+hV", GLOBAL_OPTIONS, nullptr);
    if (answer == -1) break;
    if (answer == 'h') return WriteStandardOutput(UsageText()) ? EXIT_LOADED : EXIT_WRITE_FAILED;
    if (answer == 'V') {
      return WriteStandardOutput(std::string(PROGRAM) + " " + NERIN_VERSION + "\n") ? EXIT_LOADED
                                                                                    : EXIT_WRITE_FAILED;
    }
    return UsageError({});
  }
  if (optind >= argv.count()) return UsageError("a command is missing.");
  const std::string name = argv.data()[optind];
  for (const Command& command : Commands()) {
    if (command.name != name) continue;
    Invocation invocation;
    const std::vector<std::string> rest(argv.data() + optind + 1, argv.data() + argv.count());
    if (const std::optional<int> status = ParseCommand(command, rest, invocation)) return *status;
    return command.run(invocation);
  }
  return UsageError("unknown command '" + name + "'.");
}

}  // namespace

std::string UsageText() {
  std::string text = "Usage:\n";
  for (const Command& command : Commands()) {
    text += Indented(command.synopsis, "  nerin-cli ", std::string_view("  nerin-cli ").size());
    text += Indented(command.summary, "      ", 6);
  }
  text +=
      "  nerin-cli -h | --help\n"
      "      print this text\n"
      "  nerin-cli -V | --version\n"
      "      print the version\n"
      "\n"
      "SOURCE is a file path, a file: URI, an http:// or https:// address, or - for standard\n"
      "input (read as \"stdin\", at most 1 GiB), holding a plan in the product's XML export or\n"
      "in its own .mpp file (MPP9, MPP12 or MPP14): the content tells which, not the name.\n"
      "-o FILE is also written -oFILE, --output FILE or --output=FILE; -o - writes to standard\n"
      "output; -- ends the options.\n"
      "Exit status: 0 the plan loaded, 1 it did not load (png, pdf: or the image or document\n"
      "was not written), 2 wrong usage, 3 the output could not be written; diff: 0 no\n"
      "differences, 1 differences, 2 trouble.\n";
  return text;
}

int UsageError(std::string_view problem) {
  // getopt has already written its own line for the options it does not know.
  std::string text;
  if (!problem.empty()) text = std::string(PROGRAM) + ": " + std::string(problem) + "\n";
  text += "Try 'nerin-cli --help'.\n";
  std::fputs(text.c_str(), stderr);
  return EXIT_USAGE;
}

}  // namespace nerin::cli

int main(int argc, char** argv) {
  // A reader that goes away (nerin-cli dump plan.xml | head) must not kill the process
  // half-way: the write fails and is reported with exit status 3 instead.
  std::signal(SIGPIPE, SIG_IGN);
  return nerin::cli::Main(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + (argc > 0 ? argc : 0)));
}
