// SPDX-License-Identifier: MIT
// The table of nerin-cli's commands: one row each. The parser, the help text and the usage
// errors all read it.
#include "tools/cli/cli.h"

namespace nerin::cli {

namespace {

constexpr std::string_view ONE_SOURCE[] = {"SOURCE"};
constexpr std::string_view ONE_FILE[] = {"FILE"};

constexpr std::string_view TWO_VERSIONS[] = {"REFERENCE", "SUBJECT"};

constexpr Option OUTPUT_ONLY[] = {OUTPUT_OPTION};
constexpr Option CSV_OPTIONS[] = {OUTPUT_OPTION, {"list", 0, "tasks|resources"}, {"critical", 0, {}}};
constexpr Option DIFF_OPTIONS[] = {OUTPUT_OPTION, {"format", 0, "text|tsv"}};

#if NERIN_CLI_PNG
constexpr Option PNG_OPTIONS[] = {
    OUTPUT_OPTION,           {"size", 0, "WxH"},          {"day-width", 0, "F"}, {"task-column", 0, "N"},
    {"scroll", 0, "X,Y"},    {"today", 0, "YYYY-MM-DD"}, {"collapse", 0, {}},   {"critical", 0, {}},
    {"baseline", 0, "N"},
};
constexpr Option PDF_OPTIONS[] = {
    OUTPUT_OPTION,          {"paper", 0, "NAME"},         {"portrait", 0, {}},     {"landscape", 0, {}},
    {"scale", 0, "P"},      {"fit-width", 0, {}},         {"margin", 0, "MM"},     {"day-width", 0, "F"},
    {"task-column", 0, "N"},
    {"today", 0, "YYYY-MM-DD"}, {"collapse", 0, {}},      {"critical", 0, {}},
    {"baseline", 0, "N"},
};
#endif

constexpr Command COMMANDS[] = {
    {"dump", "dump SOURCE [-o FILE]",
     "write the model dump of the plan (CR LF lines) to FILE or stdout", ONE_SOURCE, OUTPUT_ONLY, {}, false,
     RunDump},
    {"csv", "csv SOURCE [--list tasks|resources] [--critical] [-o FILE]",
     "write the Tasks list (default) or the Resources list as CSV (RFC 4180, UTF-8, ISO dates)\n"
     "in plan order; --critical keeps only the critical tasks",
     ONE_SOURCE, CSV_OPTIONS, {}, false, RunCsv},
    {"report", "report SOURCE", "print the load report, an empty line and the messages", ONE_SOURCE, {}, {},
     false, RunReport},
    {"textconv", "textconv FILE",
     "for git diff: the model dump of the plan file; for a file that does not load, its\n"
     "messages, an empty line and the file's own text (of a binary .mpp file its size and\n"
     "checksum). Exit status 0 whether it loads or not",
     ONE_FILE, {}, {}, true, RunTextconv},
    {"diff", "diff REFERENCE SUBJECT [--format text|tsv] [-o FILE]",
     "what changed from REFERENCE (the older version) to SUBJECT: a summary and one block\n"
     "per task (text, the default) or one tab-separated line per change (tsv). Exit status\n"
     "as diff(1): 0 no differences, 1 differences, 2 trouble",
     TWO_VERSIONS, DIFF_OPTIONS, {}, false, RunDiff},
#if NERIN_CLI_PNG
    {"png",
     "png SOURCE -o FILE [--size WxH] [--day-width F] [--task-column N]\n"
     "[--scroll X,Y] [--today YYYY-MM-DD] [--collapse] [--critical] [--baseline N]",
     "write the Gantt chart as a PNG image: the whole chart (at most 30000 pixels a side),\n"
     "or with --size the W x H view at the --scroll offsets. Day width 1 to 20 pixels\n"
     "(default 4), task column 260 to 650 (default 390), today the local date;\n"
     "--collapse folds every summary, --critical shows only critical tasks, --baseline the\n"
     "baseline (0 to 10) the bars are compared with instead of the plan's default",
     ONE_SOURCE, PNG_OPTIONS, OUTPUT_OPTION.longName, false, RunPng},
    {"pdf",
     "pdf SOURCE -o FILE [--paper NAME] [--portrait|--landscape] [--scale P | --fit-width]\n"
     "[--margin MM] [--day-width F] [--task-column N] [--today YYYY-MM-DD] [--collapse]\n"
     "[--critical] [--baseline N]",
     "write the whole Gantt chart as a PDF document, page by page: paper A4, A3, A2,\n"
     "Letter, Legal or Tabloid (default A4, or Letter where the locale uses it), landscape\n"
     "unless --portrait, scale 10 to 400 % of the screen size (default 100) or the whole\n"
     "timeline in one page column with --fit-width, margins of MM millimetres on every\n"
     "side (0 to 100, default 10); at most 2000 pages",
     ONE_SOURCE, PDF_OPTIONS, OUTPUT_OPTION.longName, false, RunPdf},
#endif
};

}  // namespace

std::span<const Command> Commands() {
  return COMMANDS;
}

}  // namespace nerin::cli
