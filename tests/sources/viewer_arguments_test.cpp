// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "sources/viewer_arguments.h"
#include "sources_test_support.h"

namespace nerin {
namespace {

TEST(ViewerArguments, WhatTheCommandLineAsksFor) {
  using enum ViewerAction;
  struct Row {
    std::vector<std::string> arguments;
    bool toolkitDone;
    ViewerAction action;
    std::string problem;
    std::vector<std::string> plan;
    bool reset = false;
  };
  const std::vector<Row> rows = {
      {{}, true, Open, "", {}},
      {{"plan.xml"}, true, Open, "", {"plan.xml"}},
      {{"/o", "plan.xml"}, true, Open, "", {"/o", "plan.xml"}},
      {{"file:///tmp/My%20plan.xml"}, true, Open, "", {"file:///tmp/My%20plan.xml"}},
      {{"-"}, true, Open, "", {"-"}},
      {{"--", "--help"}, true, Open, "", {"--help"}},
      {{"--", "-plan.xml", "--"}, true, Open, "", {"-plan.xml", "--"}},
      // Help wins over everything before "--", a plan or a misuse included.
      {{"--help", "plan.xml"}, true, Help, "", {}},
      {{"plan.xml", "-h"}, true, Help, "", {}},
      {{"--bogus", "--help"}, true, Help, "", {}},
      {{"--version"}, true, Version, "", {}},
      {{"plan.xml", "-V"}, true, Version, "", {}},
      {{"--bogus"}, true, Misuse, "unrecognized option '--bogus'", {}},
      {{"--help=yes"}, true, Misuse, "unrecognized option '--help=yes'", {}},
      {{"-x", "plan.xml"}, true, Misuse, "invalid option -- 'x'", {}},
      {{"--bogus", "--version"}, true, Misuse, "unrecognized option '--bogus'", {}},
      // The toolkit's own options: passed over before it has seen them, a misuse after.
      {{"-platform", "offscreen", "plan.xml"}, false, Open, "", {"offscreen", "plan.xml"}},
      {{"-stylee", "plan.xml"}, true, Misuse, "unrecognized option '-stylee'", {}},
      {{"--reset-settings", "plan.xml"}, true, Open, "", {"plan.xml"}, true},
      {{"plan.xml", "--reset-settings"}, false, Open, "", {"plan.xml"}, true},
      {{"--", "--reset-settings"}, true, Open, "", {"--reset-settings"}, false},
      {{"--reset-setting"}, true, Misuse, "unrecognized option '--reset-setting'", {}},
  };
  for (const Row& row : rows) {
    std::string shown;
    for (const std::string& argument : row.arguments) shown += " [" + argument + "]";
    const ViewerRequest request = ReadViewerArguments(row.arguments, row.toolkitDone);
    EXPECT_EQ(request.action, row.action) << shown;
    EXPECT_EQ(request.problem, row.problem) << shown;
    EXPECT_EQ(request.planArguments, row.plan) << shown;
    EXPECT_EQ(request.resetSettings, row.reset) << shown;
  }
}

#ifdef NERIN_VIEWER_PROGRAM
// Help, version and misuse are answered on the terminal before any window: no display is
// needed, and a plan after --help is not opened.
// Sets an environment variable (or removes it) for the life of the object.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value != nullptr) {
      ::setenv(name, value, 1);
    } else {
      ::unsetenv(name);
    }
  }
  ~ScopedVariable() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(ViewerArguments, AnsweredWithoutAWindow) {
  test::TempDir dir;
  // With no display to reach, a viewer that got as far as starting the toolkit would fail.
  const ScopedVariable display("DISPLAY", nullptr);
  const ScopedVariable wayland("WAYLAND_DISPLAY", nullptr);
  const ScopedVariable platform("QT_QPA_PLATFORM", "xcb");
  const std::string plan = NERIN_SOURCE_DIR "/tests/sources/data/small_plan.xml";
  const std::string help = ViewerHelpText();
  struct Row {
    std::vector<std::string> arguments;
    int status;
    std::string out;
    std::string err;
  };
  const std::vector<Row> rows = {
      {{"--help"}, 0, help, ""},
      {{"--help", plan}, 0, help, ""},
      {{"-h", "/o", plan}, 0, help, ""},
      {{"--version"}, 0, "nerin-viewer " NERIN_VERSION "\n", ""},
      {{"--bogus", plan}, 2, "", "nerin-viewer: unrecognized option '--bogus'\nTry 'nerin-viewer --help'.\n"},
      {{"-q"}, 2, "", "nerin-viewer: invalid option -- 'q'\nTry 'nerin-viewer --help'.\n"},
  };
  for (const Row& row : rows) {
    const test::ProcessResult result = test::RunProgram(NERIN_VIEWER_PROGRAM, row.arguments, dir);
    EXPECT_EQ(result.status, row.status) << row.arguments[0];
    EXPECT_EQ(result.out, row.out) << row.arguments[0];
    EXPECT_EQ(result.err, row.err) << row.arguments[0];
  }
  EXPECT_NE(help.find("file:///"), std::string::npos);
  EXPECT_NE(help.find("--version"), std::string::npos);
}
#endif

}  // namespace
}  // namespace nerin
