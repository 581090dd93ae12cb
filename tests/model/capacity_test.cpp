// SPDX-License-Identifier: MIT
// Plans of any size: what the machine can hold loads whole, what it cannot is refused by its
// size with the plan before it kept, and single values keep their bounds.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "model/memory_fit.h"
#include "plan_text.h"

namespace nerin {
namespace {

using test::AssignmentXml;
using test::Element;
using test::ProjectXml;
using test::ResourceXml;
using test::TaskXml;

std::string Many(std::int64_t first, std::int64_t count,
                 std::string (*make)(std::int64_t, std::string_view)) {
  std::string text;
  for (std::int64_t uid = first; uid < first + count; ++uid) text += make(uid, "");
  return text;
}

std::string Tasks(std::int64_t first, std::int64_t count) {
  return Many(first, count, [](std::int64_t uid, std::string_view) { return TaskXml(uid); });
}

// The memory the system can give, as a test sets it, for the length of one scope.
class AvailableMemory {
 public:
  explicit AvailableMemory(std::int64_t bytes) { OverrideAvailableMemory(bytes); }
  ~AvailableMemory() { OverrideAvailableMemory(std::nullopt); }
  AvailableMemory(const AvailableMemory&) = delete;
  AvailableMemory& operator=(const AvailableMemory&) = delete;
};

TEST(PlanSize, PlansPastTheOldCapacitiesLoadWhole) {
  struct Row {
    std::string body;
    std::int64_t tasks, resources;
    std::string messages;  // start of the log
  };
  const std::string placeholder = "<Task><IsNull>1</IsNull></Task>";
  const Row rows[] = {
      {Element("Tasks", Tasks(1, 10001)), 10001, 0, "INFO: This export"},
      {Element("Tasks", Tasks(1, 6000)) + Element("Tasks", placeholder + Tasks(6001, 14000)), 20000, 0,
       "INFO: 1 empty task row(s) left out.\n"},
      {Element("Tasks", "<Task><UID>0</UID></Task>" + Tasks(1, 10001)), 10001, 0,
       "INFO: 1 project summary task(s) left out; the chart shows the tasks of the plan under it.\n"},
      {Element("Resources", Many(1, 5001, ResourceXml)), 0, 5001, "WARNING: No tasks"},
      {Element("Resources", Many(1, 3000, ResourceXml)) + Element("Resources", Many(3001, 3000, ResourceXml)), 0,
       6000, "WARNING: No tasks"},
  };
  Plan plan;
  MessageLog log;
  for (const Row& row : rows) {
    ASSERT_TRUE(test::Load(plan, log, ProjectXml(row.body))) << MessageListText(log).substr(0, 300);
    EXPECT_EQ(MessageListText(log).rfind(row.messages, 0), 0u) << MessageListText(log).substr(0, 300);
    EXPECT_EQ(plan.TaskCount(), row.tasks);
    EXPECT_EQ(plan.ResourceCount(), row.resources);
    EXPECT_EQ(TaskIndex(plan, row.tasks), row.tasks - 1);
    EXPECT_EQ(ResourceIndex(plan, row.resources), row.resources - 1);
    // Room for the Task elements the file has, the skipped rows included, and no more.
    EXPECT_LE(plan.Tasks.capacity(), plan.Tasks.size() + 2);
  }
}

TEST(PlanSize, EveryLinkAndAssignmentOfATaskIsKept) {
  struct Row {
    int links, assignments;
  };
  const Row rows[] = {{0, 0}, {64, 64}, {65, 66}, {300, 200}};
  Plan plan;
  MessageLog log;
  for (const Row& row : rows) {
    std::string links;
    for (int i = 0; i < row.links; ++i) links += test::LinkXml(1, i % 4);
    std::string assignments = AssignmentXml(1, 1, 1);
    for (int i = 0; i < row.assignments; ++i) assignments += AssignmentXml(100 + i, 3, 1 + i % 2);
    ASSERT_TRUE(test::Load(plan, log,
                           ProjectXml(Element("Tasks", TaskXml(1) + TaskXml(3, links)) +
                                      Element("Resources", ResourceXml(1) + ResourceXml(2)) +
                                      Element("Assignments", assignments))));
    const Task& task = plan.Tasks[1];
    EXPECT_EQ(task.LinkCount(), row.links);
    EXPECT_EQ(task.Links.capacity(), task.Links.size());
    for (int i = 0; i < row.links; ++i) EXPECT_EQ(LinkTypeCode(task.Links[static_cast<std::size_t>(i)].Type), i % 4);
    EXPECT_EQ(task.AssignedCount(), row.assignments);
    EXPECT_EQ(plan.AssignmentCount(), row.assignments + 1);
    EXPECT_EQ(TotalLinkCount(plan), row.links);
    EXPECT_EQ(CountMessages(log, MessageLevel::Warning), 0) << MessageListText(log);
  }
}

TEST(PlanSize, APlanThatDoesNotFitIsRefusedByItsSizeAndTheShownPlanStays) {
  Plan plan;
  MessageLog log;
  ASSERT_TRUE(test::Load(plan, log, ProjectXml(Element("Tasks", TaskXml(77)))));
  const std::string before = test::ModelText(plan);
  const std::string large = ProjectXml(Element("Tasks", Tasks(1, 5000)) + Element("Resources", ResourceXml(1)));
  {
    const AvailableMemory little(std::int64_t{1} << 20);
    EXPECT_FALSE(test::Load(plan, log, large));
    const std::string messages = MessageListText(log);
    EXPECT_EQ(messages.rfind("ERROR: This plan of 5000 tasks needs about ", 0), 0u) << messages;
    EXPECT_TRUE(test::Has(messages, " MB of memory to open, more than the 1 MB this computer has free; nothing was "
                                    "loaded.\n"))
        << messages;
    EXPECT_EQ(CountMessages(log, MessageLevel::Error), 1);
    EXPECT_EQ(test::ModelText(plan), before);
    EXPECT_FALSE(plan.MessagesMatchPlan);
  }
  // The same plan fits in the memory the system has.
  EXPECT_TRUE(test::Load(plan, log, large));
  EXPECT_EQ(plan.TaskCount(), 5000);
}

TEST(PlanSize, SizesAreNamedInWholeMegabytes) {
  EXPECT_EQ(MegabytesText(0), "0 MB");
  EXPECT_EQ(MegabytesText(1), "1 MB");
  EXPECT_EQ(MegabytesText(std::int64_t{1} << 20), "1 MB");
  EXPECT_EQ(MegabytesText((std::int64_t{1} << 20) + 1), "2 MB");
  // A model costs more with every record of each kind, and never overflows.
  EXPECT_LT(ModelBytes(1, 0, 0, 0), ModelBytes(2, 0, 0, 0));
  EXPECT_LT(ModelBytes(1, 0, 0, 0), ModelBytes(1, 1, 0, 0));
  EXPECT_LT(ModelBytes(1, 0, 0, 0), ModelBytes(1, 0, 1, 0));
  EXPECT_LT(ModelBytes(1, 0, 0, 0), ModelBytes(1, 0, 0, 1));
  EXPECT_GT(ModelBytes(std::int64_t{1} << 62, std::int64_t{1} << 62, 0, 0), std::int64_t{1} << 62);
}

TEST(PlanSize, HostileCountsLoadOrAreRefusedWithoutCrashing) {
  Plan plan;
  MessageLog log;
  // Millions of empty task rows: each skipped, counted once.
  std::string empty;
  empty.reserve(3000000 * 7 + 64);
  for (int i = 0; i < 3000000; ++i) empty += "<Task/>";
  ASSERT_TRUE(test::Load(plan, log, ProjectXml(Element("Tasks", empty) + Element("Tasks", TaskXml(1)))));
  EXPECT_TRUE(test::Has(MessageListText(log), "WARNING: 3000000 task(s) without a usable unique ID left out.\n"));
  EXPECT_EQ(plan.TaskCount(), 1);
  // A million links on one task.
  std::string links;
  const std::string link = test::LinkXml(1, 1);
  links.reserve(link.size() * 1000000);
  for (int i = 0; i < 1000000; ++i) links += link;
  ASSERT_TRUE(test::Load(plan, log, ProjectXml(Element("Tasks", TaskXml(1) + TaskXml(2, links)))));
  EXPECT_EQ(plan.Tasks[1].LinkCount(), 1000000);
  EXPECT_EQ(TotalLinkCount(plan), 1000000);
  // A text node too long for one element: refused by the limit, not by the machine.
  PlanStream stream("long.xml", 0, [] {
    XmlLimits limits = PlanStream::PlanXmlLimits();
    limits.ElementText = 4096;
    return limits;
  }());
  stream.Feed(ProjectXml(Element("Tasks", TaskXml(1, Element("Notes", std::string(5000, 'n'))))));
  EXPECT_FALSE(stream.Finish(plan, log));
  EXPECT_EQ(MessageListText(log),
            "ERROR: The plan holds more than 4096 bytes of text in one element, more than the viewer reads; nothing "
            "was loaded.\n");
  EXPECT_EQ(plan.TaskCount(), 2);
  EXPECT_EQ(PlanStream::PlanXmlLimits().ElementText, MAX_ELEMENT_TEXT);
}

}  // namespace
}  // namespace nerin
