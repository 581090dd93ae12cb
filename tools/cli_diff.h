// SPDX-License-Identifier: MIT
// nerin-cli diff: what changed between two versions of a plan. The exit status follows
// diff(1): 0 nothing differs, 1 something does, 2 trouble.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace nerin {

inline constexpr int DIFF_SAME = 0;
inline constexpr int DIFF_DIFFERENT = 1;
inline constexpr int DIFF_TROUBLE = 2;

enum class DiffFormat { Text, Tsv };

struct DiffOptions {
  std::string reference;  // the older version: a path or an http(s) address
  std::string subject;    // the newer version
  DiffFormat format = DiffFormat::Text;
  std::string outputPath;  // empty: standard output
};

inline constexpr const char* DIFF_SYNOPSIS = "diff REFERENCE SUBJECT [--format text|tsv] [-o FILE]";

// Loads both sources, compares them and writes the chosen format. A source that does not
// load has its messages written to standard error and gives DIFF_TROUBLE, as does an output
// that cannot be written.
int RunDiff(const DiffOptions& options);

// The arguments after "diff" into `options`: nothing when they were all taken, else the exit
// status to end with (the usage printed for --help, or a usage error reported).
std::optional<int> ParseDiffArguments(const std::vector<std::string>& arguments, DiffOptions& options);

}  // namespace nerin
