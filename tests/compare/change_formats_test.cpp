// SPDX-License-Identifier: MIT
// The two reports of a comparison against their expected files, and the one-line texts.
#include <gtest/gtest.h>

#include <string>

#include "compare/change_formats.h"
#include "compare_test_support.h"

namespace nerin {
namespace {

using test::CompareData;
using test::LoadedPlan;

struct Pair {
  std::unique_ptr<Plan> reference;
  std::unique_ptr<Plan> subject;
};

Pair QuayPair() {
  return {LoadedPlan(test::ReadWholeFile(CompareData("reference.xml")), "reference.xml"),
          LoadedPlan(test::ReadWholeFile(CompareData("subject.xml")), "subject.xml")};
}

TEST(ChangeFormats, ReportsMatchTheirExpectedFiles) {
  const Pair quay = QuayPair();
  const PlanChanges changes = ComparePlans(*quay.reference, *quay.subject);
  EXPECT_TRUE(test::MatchesGolden(CompareData("quay.diff.txt"), ChangesText(changes)));
  EXPECT_TRUE(test::MatchesGolden(CompareData("quay.diff.tsv"), ChangesTsv(changes)));
  // Backwards every addition is a removal and every move goes the other way.
  const PlanChanges back = ComparePlans(*quay.subject, *quay.reference);
  EXPECT_TRUE(test::MatchesGolden(CompareData("quay-back.diff.tsv"), ChangesTsv(back)));
}

TEST(ChangeFormats, ReportsAreByteStable) {
  const Pair first = QuayPair();
  const Pair second = QuayPair();
  const PlanChanges a = ComparePlans(*first.reference, *first.subject);
  const PlanChanges b = ComparePlans(*second.reference, *second.subject);
  EXPECT_EQ(ChangesText(a), ChangesText(b));
  EXPECT_EQ(ChangesTsv(a), ChangesTsv(b));
}

TEST(ChangeFormats, EveryTsvLineHasSixFieldsWhateverTheNamesHold) {
  const auto reference = LoadedPlan(test::ReadWholeFile(test::DEMO_PLAN_PATH));
  const auto edited = LoadedPlan(test::ReadWholeFile(test::DEMO_PLAN_PATH));
  edited->Tasks[3].Name = "Tab\there, line\nthere, back\\slash";
  edited->Tasks[4].Notes = "one\r\ntwo\tthree";
  edited->Resources[0].Name = "Crew\tA";
  const auto subject = test::Reloaded(*edited);
  const std::string tsv = ChangesTsv(ComparePlans(*reference, *subject));
  std::size_t lines = 0;
  for (std::size_t start = 0; start < tsv.size();) {
    const std::size_t end = tsv.find('\n', start);
    ASSERT_NE(end, std::string::npos);
    const std::string line = tsv.substr(start, end - start);
    EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 5) << line;
    EXPECT_EQ(line.find('\r'), std::string::npos) << line;
    start = end + 1;
    ++lines;
  }
  EXPECT_EQ(lines, 4u);  // the header, the name, the note and the resource
  EXPECT_NE(tsv.find("Tab\\there, line\\nthere, back\\\\slash"), std::string::npos) << tsv;
}

TEST(ChangeFormats, SummaryLine) {
  PlanChanges none;
  none.ReferenceFinish = none.SubjectFinish = OrdinalFromDate(2027, 5, 28);
  EXPECT_EQ(ChangesSummaryLine(none), "No differences.");
  EXPECT_EQ(ChangesText(none), "No differences.\n");
  EXPECT_EQ(ChangesTsv(none), "UID\tID\tKIND\tFIELD\tOLD\tNEW\n");

  PlanChanges one = none;
  TaskChange moved;
  moved.Fields.push_back({TaskField::Start, "", "", 1, 2});
  one.Tasks.push_back(moved);
  one.MovedCount = 1;
  EXPECT_EQ(ChangesSummaryLine(one),
            "1 task moved, 0 added, 0 removed, 0 renamed; finish 28.05.2027 unchanged");
  one.SubjectStart = OrdinalFromDate(2027, 3, 3);
  one.ReferenceStart = OrdinalFromDate(2027, 3, 1);
  one.SubjectFinish = OrdinalFromDate(2027, 5, 27);
  one.OtherCount = 2;
  EXPECT_EQ(
      ChangesSummaryLine(one),
      "1 task moved, 0 added, 0 removed, 0 renamed, 2 otherwise changed; start 01.03.2027 \u2192 03.03.2027 "
      "(+2 days); finish 28.05.2027 \u2192 27.05.2027 (-1 day)");
}

TEST(ChangeFormats, OneFieldInASentence) {
  const DayOrdinal may28 = OrdinalFromDate(2027, 5, 28);
  const struct {
    FieldChange change;
    const char* text;
  } rows[] = {
      {{TaskField::Finish, "", "", may28, may28 + 5}, "Finish 28.05.2027 \u2192 02.06.2027 (+5 days)"},
      {{TaskField::BaselineStart, "", "", 0, may28}, "Baseline start (none) \u2192 28.05.2027"},
      {{TaskField::Duration, "40", "48", 0, 0}, "Duration 40 \u2192 48 h"},
      {{TaskField::Milestone, "0", "1", 0, 0}, "Milestone no \u2192 yes"},
      {{TaskField::Predecessors, "", "2FS;7SS+4h", 0, 0}, "Predecessors (none) \u2192 2FS; 7SS+4h"},
      {{TaskField::Name, "a\"b", "c", 0, 0}, "Name \"a\"b\" \u2192 \"c\""},
      {{TaskField::Note, "", "\xC3\xA9t\xC3\xA9", 0, 0}, "Note added (3 characters)"},
      {{TaskField::Note, "x", "", 0, 0}, "Note removed"},
      {{TaskField::Parent, "- (level 1)", "4 (level 2)", 0, 0}, "Parent - (level 1) \u2192 4 (level 2)"},
  };
  for (const auto& row : rows) EXPECT_EQ(FieldChangeText(row.change), row.text);
}

}  // namespace
}  // namespace nerin
