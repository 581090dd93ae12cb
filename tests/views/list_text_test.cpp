// SPDX-License-Identifier: MIT
// What the Tasks and Resources lists show in their cells.
#include "views/list_text.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "model/plan_text.h"

namespace nerin {
namespace {

using test::Element;

TEST(ListCells, TasksAndResourcesInColumnOrder) {
  const std::string tasks =
      test::TaskXml(1, Element("OutlineNumber", "1") + Element("Duration", "PT40H0M0S") +
                           Element("PercentComplete", "75") + Element("TotalSlack", "9600") +
                           Element("Critical", "1")) +
      test::TaskXml(2, Element("Name", "Pour\ndeck\tslab") + Element("OutlineNumber", "1.1") +
                           Element("TotalSlack", "-9600")) +
      test::TaskXml(3);
  const std::string resources =
      test::ResourceXml(1, Element("Type", "1") + Element("MaxUnits", "1.5") + Element("Initials", "CR") +
                               Element("EmailAddress", "crane@example.com")) +
      test::ResourceXml(2, Element("Type", "0") + Element("IsCostResource", "1")) +
      test::ResourceXml(3, Element("Type", "0"));
  const std::string assignments = test::AssignmentXml(1, 1, 1, "0.5") + test::AssignmentXml(2, 2, 1);
  auto plan = std::make_unique<Plan>();
  MessageLog log;
  ASSERT_TRUE(test::Load(*plan, log,
                         test::ProjectXml(Element("Tasks", tasks) + Element("Resources", resources) +
                                          Element("Assignments", assignments))));

  using Row = std::vector<std::string>;
  const Row taskRows[] = {
      {"1", "1", "Task 1", "02.03.2026", "06.03.2026", "5 days", "75%", "2.0", "yes", "Resource 1 [50%]"},
      {"2", "1.1", "Pour deck slab", "02.03.2026", "06.03.2026", "0 days", "0%", "-2.0", "", "Resource 1"},
      {"3", "", "Task 3", "02.03.2026", "06.03.2026", "0 days", "0%", "0.0", "", ""},
  };
  const Row resourceRows[] = {
      {"Resource 1", "Work", "CR", "crane@example.com", "150%", "Task 1; Pour deck slab"},
      {"Resource 2", "Cost", "", "", "100%", ""},
      {"Resource 3", "Material", "", "", "100%", ""},
  };
  for (std::int64_t i = 0; i < 3; ++i) {
    for (std::int64_t column = 0; column < 10; ++column) {
      EXPECT_EQ(TaskListCell(*plan, i, column), taskRows[i][column]) << "task " << i << " column " << column;
    }
    for (std::int64_t column = 0; column < 6; ++column) {
      EXPECT_EQ(ResourceListCell(*plan, i, column), resourceRows[i][column])
          << "resource " << i << " " << column;
    }
  }
  // Outside the plan or the columns: nothing.
  for (const auto& [record, column] :
       {std::pair{3, 0}, std::pair{-1, 0}, std::pair{0, 14}, std::pair{0, -1}}) {
    EXPECT_EQ(TaskListCell(*plan, record, column), "");
    EXPECT_EQ(ResourceListCell(*plan, record, column == 14 ? 6 : column), "");
  }
}

// The plan's own terms after the columns every plan has: WBS code, actual start and finish,
// % work complete; the outline number stays in its column.
TEST(ListCells, WbsAndProgressAsThePlanGivesThem) {
  const std::string tasks =
      test::TaskXml(1, Element("OutlineNumber", "1.1")) + test::TaskXml(2, Element("OutlineNumber", "2"));
  auto plan = std::make_unique<Plan>();
  MessageLog log;
  ASSERT_TRUE(test::Load(*plan, log, test::ProjectXml(Element("Tasks", tasks))));
  plan->Terms.Tasks.resize(2);
  TaskTerms& first = plan->Terms.Tasks[0];
  first.WBS = "P1 - 1.1.1.1";
  first.ActualStart = OrdinalFromDate(2026, 3, 3);
  first.ActualFinish = OrdinalFromDate(2026, 3, 5);
  first.PercentWorkComplete = 72;
  plan->Terms.Tasks[1] = TaskTerms{};
  plan->Terms.Tasks[1].ActualStart = OrdinalFromDate(2026, 3, 4);
  using Row = std::vector<std::string>;
  const Row rows[] = {
      {"1.1", "P1 - 1.1.1.1", "03.03.2026", "05.03.2026", "72%"},
      {"2", "", "04.03.2026", "", "0%"},
  };
  for (std::int64_t i = 0; i < 2; ++i) {
    const Row shown = {TaskListCell(*plan, i, 1), TaskListCell(*plan, i, 10), TaskListCell(*plan, i, 11),
                       TaskListCell(*plan, i, 12), TaskListCell(*plan, i, 13)};
    EXPECT_EQ(shown, rows[i]) << "task " << i;
  }
  EXPECT_EQ(std::string(TASK_LIST_COLUMNS[10].Title), "WBS");
  // A plan read without its terms shows nothing there.
  plan->Terms.Tasks.clear();
  for (std::int64_t column = 10; column < 14; ++column) EXPECT_EQ(TaskListCell(*plan, 0, column), "");
}

// One format per column: every value of a column has the same number of decimals, and a value
// that rounds to zero shows no minus sign.
TEST(ListCells, NumbersKeepTheirColumnsFormat) {
  const struct {
    const char* name;
    std::string text;
    std::string expected;
  } cases[] = {
      {"no slack", SlackText(0.0f), "0.0"},
      {"171 days", SlackText(1368.0f), "171.0"},
      {"negative slack", SlackText(-20.0f), "-2.5"},
      {"a few minutes behind", SlackText(-0.2f), "0.0"},
      {"negative zero", SlackText(-0.0f), "0.0"},
      {"no duration", DurationText(0.0f), "0.0h"},
      {"a duration that rounds to zero from below", DurationText(-0.01f), "0.0h"},
      {"units that round to zero from below", FixedNumberText(-0.004f, 0), "0"},
      {"a negative number is kept", FixedNumberText(-0.06f, 1), "-0.1"},
      {"not a number", FixedNumberText(std::numeric_limits<float>::quiet_NaN(), 1), "NaN"},
      {"full units", MaxUnitsText(1.0f), "100%"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.text, c.expected) << c.name;
  }
}

TEST(ListCells, FittedColumnStaysWithinTheList) {
  const struct {
    std::int64_t contents;
    std::int64_t visible;
    std::int64_t width;
  } cases[] = {
      {180, 1200, 180},   // fits: as wide as its contents
      {5000, 1200, 1200}, // a very long cell: the list's width
      {0, 1200, 1},       // never vanishes
      {300, 0, 300},      // a list not shown yet does not limit it
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FittedColumnWidth(c.contents, c.visible), c.width) << c.contents << " in " << c.visible;
  }
}

TEST(ListCells, OneLinePerCell) {
  const std::pair<std::string, std::string> cases[] = {
      {"plain", "plain"},
      {"a\r\nb", "a b"},
      {"a\n\nb", "a  b"},
      {"a\rb\tc\vd\fe", "a b c d e"},
      {"next\xC2\x85line", "next line"},
      {"line\xE2\x80\xA8sep\xE2\x80\xA9para", "line sep para"},
      {"\xC2\xA9 \xE2\x80\xA6 stay", "\xC2\xA9 \xE2\x80\xA6 stay"},  // other characters with those lead bytes
      {"\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D e\xCC\x81 \xF0\x9F\x98\x80",
       "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D e\xCC\x81 \xF0\x9F\x98\x80"},
  };
  for (const auto& [text, line] : cases) {
    EXPECT_EQ(ListCellLine(text), line);
  }
}

TEST(ListCells, LongTextIsCutWithoutSplittingACharacter) {
  const std::string ellipsis = "\xE2\x80\xA6";
  const std::string fits(MAX_LIST_CELL_UNITS, 'x');
  EXPECT_EQ(ListCellLine(fits), fits);
  EXPECT_EQ(ListCellLine(fits + "y"), fits + ellipsis);
  // An emoji takes two units: one unit short of room, it is left out whole.
  const std::string almost(MAX_LIST_CELL_UNITS - 1, 'x');
  EXPECT_EQ(ListCellLine(almost + "\xF0\x9F\x98\x80"), almost + ellipsis);
  // 4000 characters in lines of "ab": one line of the first thousand.
  std::string note;
  while (note.size() < 4000) note += "ab\r\n";
  EXPECT_EQ(ListCellLine(note), [] {
    std::string line;
    while (line.size() < 750) line += "ab ";
    return line + "\xE2\x80\xA6";
  }());
}

}  // namespace
}  // namespace nerin
