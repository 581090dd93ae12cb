// SPDX-License-Identifier: MIT
// The plan's own structures damaged inside a sound file: a calendar based on itself, an
// exception list, a list of custom fields and a block of further fields that claim more than
// they hold, a record shorter than its layout. Each loads the rest of the plan with a WARNING
// that says what was set aside.
#include <gtest/gtest.h>

#include <functional>

#include "mpp/compound_file.h"
#include "mpp/mpp_reader.h"
#include "mpp_test_support.h"

namespace nerin {
namespace {

using mpp_test::SampleEditor;

// The bytes of one stream of the sample, and the id of its directory entry.
std::string StreamOf(const std::string& bytes, std::string_view path, std::uint32_t& id) {
  mpp::CompoundFile file;
  std::string error;
  EXPECT_TRUE(file.Open(bytes, error)) << error;
  id = file.Find(path);
  std::string stream;
  EXPECT_TRUE(file.ReadStream(id, stream, error)) << error;
  return stream;
}

// Writes `value` at `position` of the stream, byte by byte (a stream's sectors need not follow
// each other in the file).
void PutStreamU32(SampleEditor& editor, std::uint32_t id, std::size_t position, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i) {
    editor.Bytes()[editor.StreamByteOffset(id, position + i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
  }
}

std::string Utf16(std::string_view text) {
  std::string bytes;
  for (const char c : text) {
    bytes += c;
    bytes += '\0';
  }
  return bytes;
}

struct Case {
  const char* name;
  const char* file;
  const char* stream;
  // Where in the stream to write and what: from the stream's bytes.
  std::function<std::size_t(const std::string&)> position;
  std::uint32_t value;
  const char* warning;
};

TEST(HostileStructures, EachDamageIsNamedAndTheRestOfThePlanLoads) {
  NERIN_SKIP_WITHOUT_SAMPLES();
  const std::vector<Case> cases = {
      {"calendar based on itself", "calendar-calendars-project2010-mpp14.mpp", "   114/TBkndCal/FixedData",
       // Calendar 5 (based on 1, of resource 1) names itself as its base.
       [](const std::string& s) { return s.find(std::string("\5\0\0\0\1\0\0\0\1\0\0\0", 12)) + 4; }, 5,
       "A calendar in the file names itself as its base calendar; it was read as a base calendar."},
      {"a million exceptions", "calendar-recurring-exceptions-project2010-mpp14.mpp", "   114/TBkndCal/Var2Data",
       // The count stands before the first exception, whose name follows its 92 bytes (the live
       // value is the last of the stream's copies).
       [](const std::string& s) { return s.rfind(Utf16("Daily 1")) - 92 - 4; }, 1000000,
       "A calendar's list of exceptions claims more than the file holds; the exceptions it holds were read."},
      {"custom-field list past its block", "task-text-project2010-mpp14.mpp", "   114/Props",
       // The list's count follows the property's key, 4 bytes and a first 4 bytes.
       [](const std::string& s) { return s.find(std::string("\xC5\x13\x40\x02", 4)) + 12; }, 1000000,
       "The plan's list of custom fields claims more entries than it holds; the fields it holds were read."},
      {"further fields past their block", "task-baselines-project2003-mpp9.mpp", "   19/TBkndTask/Var2Data",
       // Baseline1 cost's value offset.
       [](const std::string& s) { return s.find(std::string("\xE4\x01\x40\x0B", 4)) + 4; }, 0x7FFF,
       "A task's block of further fields (baselines 1-10) claims more than it holds; what it holds was read."},
      {"calendar record shorter than a calendar", "calendar-calendars-project2010-mpp14.mpp",
       "   114/TBkndCal/FixedMeta",
       // Item 4 (the first calendar) points at the last 4 bytes of the records.
       [](const std::string&) { return std::size_t{16 + 4 * 10 + 4}; }, 136 - 4,
       "A calendar record in the file is shorter than a calendar; it was skipped."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string bytes = mpp_test::Sample(c.file);
    Plan whole;
    MessageLog wholeLog;
    ASSERT_TRUE(LoadMppPlan(whole, wholeLog, c.file, bytes)) << MessageListText(wholeLog);

    std::uint32_t id = 0;
    const std::string stream = StreamOf(bytes, c.stream, id);
    const std::size_t position = c.position(stream);
    ASSERT_LT(position + 4, stream.size());
    SampleEditor editor(bytes);
    PutStreamU32(editor, id, position, c.value);

    Plan plan;
    MessageLog log;
    ASSERT_TRUE(LoadMppPlan(plan, log, c.file, editor.Bytes())) << MessageListText(log);
    bool named = false;
    for (const Message& message : log.messages) {
      named = named || (message.level == MessageLevel::Warning && message.text == c.warning);
    }
    EXPECT_TRUE(named) << MessageListText(log);
    EXPECT_EQ(plan.TaskCount(), whole.TaskCount());
    EXPECT_EQ(plan.ResourceCount(), whole.ResourceCount());
  }
}

// The custom fields, baselines and calendars a file holds reach the plan's tree whole.
TEST(HostileStructures, UndamagedSamplesNameNothing) {
  NERIN_SKIP_WITHOUT_SAMPLES();
  for (const char* file : {"calendar-recurring-exceptions-project2010-mpp14.mpp", "task-text-project2010-mpp14.mpp",
                           "task-baselines-project2003-mpp9.mpp", "calendar-calendars-project2010-mpp9.mpp"}) {
    SCOPED_TRACE(file);
    Plan plan;
    MessageLog log;
    ASSERT_TRUE(LoadMppPlan(plan, log, file, mpp_test::Sample(file)));
    for (const Message& message : log.messages) {
      // A plan of calendars only has no tasks: the load says so, the reader nothing.
      if (message.text.starts_with("No tasks were loaded")) continue;
      EXPECT_NE(message.level, MessageLevel::Warning) << message.text;
    }
  }
}

}  // namespace
}  // namespace nerin
