// SPDX-License-Identifier: MIT
// The model dump's escaping and its default file name; whole dumps are in the golden files.
#include <gtest/gtest.h>

#include <string>

#include "plan_text.h"

namespace nerin {
namespace {

TEST(ModelDump, DefaultNameReplacesWhatFileNamesCannotHold) {
  const std::pair<const char*, const char*> rows[] = {
      {"Harbour Crane", "Harbour Crane.dump.txt"},
      {"Q1/Q2: plan", "Q1_Q2_ plan.dump.txt"},
      {"a\\b*c?d<e>f|g\"h", "a_b_c_d_e_f_g_h.dump.txt"},
      {"", "model.dump.txt"},
      {"   ", "model.dump.txt"},
      {" x ", " x .dump.txt"},
      {"\t", "\t.dump.txt"},
  };
  for (const auto& [project, name] : rows) EXPECT_EQ(ModelDumpDefaultName(project), name) << project;
}

TEST(ModelDump, NotesKeepEveryLineBreakOnTheTaskLine) {
  const std::pair<const char*, const char*> rows[] = {
      {"a&#13;&#10;b", "a\\nb"},    {"a&#10;b", "a\\nb"},
      {"a&#13;b", "a\\nb"},         {"a&#13;&#13;&#10;&#10;b", "a\\n\\n\\nb"},
      {"a&#10;&#13;b", "a\\n\\nb"}, {"t&#9;x \\n|y", "t\tx \\n|y"},
  };
  Plan plan;
  MessageLog log;
  for (const auto& [note, escaped] : rows) {
    ASSERT_TRUE(test::Load(plan, log,
                           test::ProjectXml(test::Element(
                               "Tasks", test::TaskXml(1, "<Notes>" + std::string(note) + "</Notes>")))));
    EXPECT_TRUE(test::Has(ModelDumpText(plan, log, true), std::string("|notes=") + escaped + "\r\nI 1 "))
        << note;
  }
}

}  // namespace
}  // namespace nerin
