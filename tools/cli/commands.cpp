// SPDX-License-Identifier: MIT
// The table of nerin-cli's commands: one row each. The parser, the help text and the usage
// errors all read it.
#include "tools/cli/cli.h"

namespace nerin::cli {

namespace {

constexpr std::string_view ONE_SOURCE[] = {"SOURCE"};
constexpr std::string_view ONE_FILE[] = {"FILE"};

constexpr Option OUTPUT_ONLY[] = {OUTPUT_OPTION};

#if NERIN_CLI_PNG
constexpr Option PNG_OPTIONS[] = {
    OUTPUT_OPTION,           {"size", 0, "WxH"},          {"day-width", 0, "F"}, {"task-column", 0, "N"},
    {"scroll", 0, "X,Y"},    {"today", 0, "YYYY-MM-DD"}, {"collapse", 0, {}},   {"critical", 0, {}},
};
#endif

constexpr Command COMMANDS[] = {
    {"dump", "dump SOURCE [-o FILE]",
     "write the model dump of the plan (CR LF lines) to FILE or stdout", ONE_SOURCE, OUTPUT_ONLY, {}, false,
     RunDump},
    {"report", "report SOURCE", "print the load report, an empty line and the messages", ONE_SOURCE, {}, {},
     false, RunReport},
    {"textconv", "textconv FILE",
     "for git diff: the model dump of the plan file; for a file that does not load, its\n"
     "messages, an empty line and the file's own text. Exit status 0 whether it loads or not",
     ONE_FILE, {}, {}, true, RunTextconv},
#if NERIN_CLI_PNG
    {"png",
     "png SOURCE -o FILE [--size WxH] [--day-width F] [--task-column N]\n"
     "[--scroll X,Y] [--today YYYY-MM-DD] [--collapse] [--critical]",
     "write the Gantt chart as a PNG image: the whole chart (at most 30000 pixels a side),\n"
     "or with --size the W x H view at the --scroll offsets. Day width 1 to 20 pixels\n"
     "(default 4), task column 260 to 650 (default 390), today the local date;\n"
     "--collapse folds every summary, --critical shows only critical tasks",
     ONE_SOURCE, PNG_OPTIONS, OUTPUT_OPTION.longName, false, RunPng},
#endif
};

}  // namespace

std::span<const Command> Commands() {
  return COMMANDS;
}

}  // namespace nerin::cli
