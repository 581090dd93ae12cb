// SPDX-License-Identifier: MIT
// nerin-cli diff as a script runs it: exit statuses as diff(1) has them, output, messages.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compare_test_support.h"
#include "sources/sources_test_support.h"

namespace nerin {
namespace {

using test::CompareData;
using test::ProcessResult;

const std::string CLI = NERIN_BIN_DIR "/nerin-cli";

TEST(CliDiff, ExitStatusOutputAndMessages) {
  test::TempDir dir;
  const std::string reference = CompareData("reference.xml");
  const std::string subject = CompareData("subject.xml");
  const std::string broken = dir.Write("broken.xml", "<Project><Tasks><Task>");
  const std::string out = dir.File("out.tsv");
  struct Row {
    std::vector<std::string> arguments;
    int status;
    std::string onStdout;  // the whole output; "*" for any non-empty output
    std::string onStderr;  // a part of it; empty: nothing at all
  };
  const std::vector<Row> rows = {
      {{"diff", reference, reference}, 0, "No differences.\n", ""},
      {{"diff", reference, subject}, 1, test::ReadWholeFile(CompareData("quay.diff.txt")), ""},
      {{"diff", "--format", "tsv", reference, subject},
       1,
       test::ReadWholeFile(CompareData("quay.diff.tsv")),
       ""},
      {{"diff", reference, subject, "--format=tsv", "-o", out}, 1, "", ""},
      {{"diff", reference, broken}, 2, "", "nerin-cli: " + broken + ": ERROR: "},
      {{"diff", dir.File("missing.xml"), subject}, 2, "", "nerin-cli: " + dir.File("missing.xml") + ": ERROR: "},
      {{"diff", reference}, 2, "", "nerin-cli: SUBJECT is missing."},
      {{"diff", reference, subject, subject}, 2, "", "unexpected argument"},
      {{"diff", reference, subject, "--format", "html"}, 2, "", "nerin-cli: --format needs text or tsv."},
      {{"diff", "-", "-"}, 2, "", "only one of REFERENCE and SUBJECT can be standard input."},
      {{"diff", reference, subject, "--colour"}, 2, "", "Try 'nerin-cli --help'."},
      {{"diff", reference, subject, "-o", dir.File("no/such/dir/out.txt")}, 2, "", "could not be written"},
      {{"diff", "--help"}, 0, "*", ""},
  };
  for (const Row& row : rows) {
    const ProcessResult result = test::RunProgram(CLI, row.arguments, dir);
    const std::string what = row.arguments.back();
    EXPECT_EQ(result.status, row.status) << what << "\n" << result.err;
    if (row.onStdout == "*") {
      EXPECT_FALSE(result.out.empty()) << what;
    } else {
      EXPECT_EQ(result.out, row.onStdout) << what;
    }
    EXPECT_NE(result.err.find(row.onStderr), std::string::npos) << what << "\n" << result.err;
    EXPECT_EQ(result.err.empty(), row.onStderr.empty()) << what << "\n" << result.err;
  }
  EXPECT_EQ(test::ReadWholeFile(out), test::ReadWholeFile(CompareData("quay.diff.tsv")));
}

}  // namespace
}  // namespace nerin
