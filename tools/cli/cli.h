// SPDX-License-Identifier: MIT
// nerin-cli's commands: the table the parser reads, what a command's run function is handed,
// and the helpers every command shares (loading a source, writing the output, reporting).
//
// Adding a command takes one row in COMMANDS (commands.cpp) and its run function in a file of
// its own, declared below: the parser reads the row's options and operands, so the run
// function starts with its operands and option values in hand.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/message_log.h"
#include "model/plan.h"

namespace nerin::cli {

inline constexpr int EXIT_LOADED = 0;
inline constexpr int EXIT_NOT_LOADED = 1;
inline constexpr int EXIT_USAGE = 2;
inline constexpr int EXIT_WRITE_FAILED = 3;

// One option of a command, written --longName=VALUE, --longName VALUE, -sVALUE or -s VALUE
// (a switch without a value when valueName is empty). shortName 0: long form only.
struct Option {
  std::string_view longName;
  char shortName = 0;
  std::string_view valueName;
};

inline constexpr Option OUTPUT_OPTION{"output", 'o', "FILE"};

struct Invocation;

struct Command {
  std::string_view name;
  // The form after "nerin-cli "; a line feed starts a continuation line, indented when shown.
  std::string_view synopsis;
  // What it does, as the help shows it; a line feed starts a continuation line.
  std::string_view summary;
  // The operands in order, all required ("SOURCE"; "REFERENCE", "SUBJECT").
  std::span<const std::string_view> operands;
  std::span<const Option> options;
  // An option the command cannot go without (its long name), or empty.
  std::string_view requiredOption;
  // The operands are file names exactly as given: never trimmed, never downloaded, and one
  // that starts with "-" is a file too (only a lone --help or -h before "--" is not).
  bool literalOperands = false;
  int (*run)(const Invocation& invocation) = nullptr;
};

// What the parser found on the command line for one command.
struct Invocation {
  const Command* command = nullptr;
  // One per operand, in the command's order; trimmed of spaces unless literalOperands.
  std::vector<std::string> operands;
  // (long name, value) in the order given; a switch has an empty value. An option with a
  // value occurs at most once.
  std::vector<std::pair<std::string, std::string>> options;

  bool Has(std::string_view longName) const;
  std::optional<std::string> Value(std::string_view longName) const;
  // The -o value; empty or "-" means standard output.
  std::string Output() const { return Value(OUTPUT_OPTION.longName).value_or(""); }
};

// Every command; defined in commands.cpp.
std::span<const Command> Commands();

// The run functions, one file each.
int RunCsv(const Invocation& invocation);
int RunDump(const Invocation& invocation);
int RunReport(const Invocation& invocation);
int RunTextconv(const Invocation& invocation);
int RunDiff(const Invocation& invocation);
#if NERIN_CLI_PNG
int RunPng(const Invocation& invocation);
int RunPdf(const Invocation& invocation);
#endif

// The whole help text.
std::string UsageText();
// "nerin-cli: " + problem, then "Try 'nerin-cli --help'.", on stderr; returns EXIT_USAGE.
int UsageError(std::string_view problem);

// True when the output names standard output (no -o, or "-o -").
bool IsStandardOutput(const std::string& output);
// How the output is named in messages: its path, or "standard output".
std::string OutputName(const std::string& output);
// Writes the bytes unchanged (CR LF stays CR LF) to standard output or to the file. A file is
// written under a temporary name beside it and renamed only when complete, so a failed write
// never leaves half a file. Returns `status`, or EXIT_WRITE_FAILED after reporting on stderr.
int WriteOutput(const std::string& bytes, const std::string& output, int status);
// "nerin-cli: NAME: problem" on stderr.
void ReportProblem(std::string_view name, std::string_view problem);

// The same road as an open in the window: an http or https address is downloaded, "-" is
// standard input (loaded under the name "stdin", at most 1 GiB), a file: URI is the file it
// names, anything else is a path.
bool LoadCliSource(Plan& plan, MessageLog& log, const std::string& source);
// After a failed load: the attempt's messages on stderr, each line "nerin-cli: SOURCE: ...".
void ReportNotLoaded(const std::string& source, const MessageLog& log);
// The text with every CR LF made a single LF.
std::string WithLineFeeds(std::string_view text);

}  // namespace nerin::cli
