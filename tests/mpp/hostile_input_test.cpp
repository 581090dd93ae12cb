// SPDX-License-Identifier: MIT
// Damaged and hostile binary plans, made from a sample of each generation: every one ends in a
// clear ERROR (or, for a cut that only loses unused sectors, in the same plan), and the plan
// shown before stays as it was.
#include <gtest/gtest.h>

#include <functional>

#include "model/load_plan.h"
#include "mpp/mpp_reader.h"
#include "mpp_test_support.h"

namespace nerin {
namespace {

using mpp_test::SampleEditor;

// One sample of each generation, with the name of its data storage.
struct GenerationSample {
  const char* file;
  const char* dataStorage;
};
constexpr GenerationSample SAMPLES[] = {
    {"task-links-project2016-mpp14.mpp", "   114"},
    {"task-baselines-project2016-mpp12.mpp", "   112"},
    {"task-baselines-project2003-mpp9.mpp", "   19"},
};

class ShownPlan {
 public:
  ShownPlan() {
    const std::string text = mpp_test::FileBytes(std::string(NERIN_TEST_DATA_DIR) + "/typical.xml");
    EXPECT_TRUE(LoadPlan(plan_, log_, "typical.xml", text));
    dump_ = mpp_test::DumpOf(plan_, MessageLog{});
  }
  // Loads the bytes over the shown plan: either they are refused with one ERROR and the plan
  // stays, or they load as `whole` (the dump of the undamaged file) does.
  void Expect(std::string_view bytes, const std::string& whole, const std::string& trace) {
    SCOPED_TRACE(trace);
    if (LoadMppPlan(plan_, log_, "damaged.mpp", bytes)) {
      EXPECT_EQ(mpp_test::DumpOf(plan_, MessageLog{}), whole);
      ReloadShown();
      return;
    }
    ASSERT_EQ(CountMessages(log_, MessageLevel::Error), 1) << MessageListText(log_);
    EXPECT_EQ(log_.messages.size(), 1u) << MessageListText(log_);
    EXPECT_EQ(mpp_test::DumpOf(plan_, MessageLog{}), dump_);
  }
  const MessageLog& Log() const { return log_; }
  Plan& Shown() { return plan_; }

 private:
  void ReloadShown() {
    const std::string text = mpp_test::FileBytes(std::string(NERIN_TEST_DATA_DIR) + "/typical.xml");
    EXPECT_TRUE(LoadPlan(plan_, log_, "typical.xml", text));
  }
  Plan plan_;
  MessageLog log_;
  std::string dump_;
};

std::string WholeDump(std::string_view bytes) {
  Plan plan;
  MessageLog log;
  EXPECT_TRUE(LoadMppPlan(plan, log, "damaged.mpp", bytes)) << MessageListText(log);
  return mpp_test::DumpOf(plan, MessageLog{});
}

TEST(HostileInput, CutAtEverySectorBoundary) {
  NERIN_SKIP_WITHOUT_SAMPLES();
  ShownPlan shown;
  for (const GenerationSample& sample : SAMPLES) {
    const std::string bytes = mpp_test::Sample(sample.file);
    const std::string whole = WholeDump(bytes);
    std::size_t refused = 0;
    for (std::size_t length = 0; length < bytes.size(); length += 512) {
      shown.Expect(std::string_view(bytes).substr(0, length), whole,
                   std::string(sample.file) + " cut at " + std::to_string(length));
      if (!shown.Log().messages.empty() && shown.Log().messages[0].level == MessageLevel::Error) ++refused;
    }
    EXPECT_GT(refused, bytes.size() / 512 / 2) << sample.file;
  }
}

TEST(HostileInput, DamagedContainersOfEachGeneration) {
  NERIN_SKIP_WITHOUT_SAMPLES();
  using Edit = std::function<void(SampleEditor&, const GenerationSample&)>;
  const auto PropsEntry = [](SampleEditor& e, const GenerationSample& s) {
    // The data storage's own Props: the first entry of that name after the storage.
    const std::uint32_t storage = e.FindEntry(s.dataStorage);
    EXPECT_NE(storage, mpp_test::FREE);
    const std::uint32_t child = mpp_test::GetU32(e.Bytes(), e.EntryOffset(storage) + 76);
    std::vector<std::uint32_t> stack{child};
    while (!stack.empty()) {
      const std::uint32_t id = stack.back();
      stack.pop_back();
      if (id == mpp_test::FREE) continue;
      const std::size_t at = e.EntryOffset(id);
      if (e.Bytes().compare(at, 12, std::string("P\0r\0o\0p\0s\0\0\0", 12)) == 0) return id;
      stack.push_back(mpp_test::GetU32(e.Bytes(), at + 68));
      stack.push_back(mpp_test::GetU32(e.Bytes(), at + 72));
    }
    ADD_FAILURE() << "no Props in " << s.dataStorage;
    return 0u;
  };
  const struct {
    const char* name;
    Edit edit;
    const char* expected;
  } cases[] = {
      {"a directory cycle",
       [&](SampleEditor& e, const GenerationSample& s) {
         const std::uint32_t props = PropsEntry(e, s);
         mpp_test::PutU32(e.Bytes(), e.EntryOffset(props) + 68, props);
       },
       "The compound file is damaged: the directory's links run in a loop."},
      {"a FAT cycle in a stream",
       [&](SampleEditor& e, const GenerationSample& s) {
         const std::uint32_t first = mpp_test::GetU32(e.Bytes(), e.EntryOffset(PropsEntry(e, s)) + 116);
         mpp_test::PutU32(e.Bytes(), e.FatEntryOffset(e.Fat(first)), first);
       },
       "The compound file is damaged: a chain of sectors runs in a loop."},
      {"a FAT cycle in the directory",
       [](SampleEditor& e, const GenerationSample&) {
         const std::uint32_t first = mpp_test::GetU32(e.Bytes(), 48);
         mpp_test::PutU32(e.Bytes(), e.FatEntryOffset(e.Fat(first)), first);
       },
       "The compound file is damaged: a chain of sectors runs in a loop."},
      {"a sector index past the end",
       [&](SampleEditor& e, const GenerationSample& s) {
         const std::uint32_t first = mpp_test::GetU32(e.Bytes(), e.EntryOffset(PropsEntry(e, s)) + 116);
         mpp_test::PutU32(e.Bytes(), e.FatEntryOffset(first), 0x00800000);
       },
       "The compound file is damaged: a sector number points past the end of the file."},
      {"a stream size of 2^32 - 1",
       [&](SampleEditor& e, const GenerationSample& s) {
         mpp_test::PutU32(e.Bytes(), e.EntryOffset(PropsEntry(e, s)) + 120, 0xFFFFFFFFu);
       },
       "The compound file is damaged: a stream is larger than the file."},
      {"a mini stream beyond the file",
       [](SampleEditor& e, const GenerationSample&) {
         mpp_test::PutU32(e.Bytes(), e.EntryOffset(0) + 120, static_cast<std::uint32_t>(e.Bytes().size() + 4096));
       },
       "The compound file is damaged: the mini stream lies beyond the end of the file."},
      {"a mini stream that starts past the end",
       [](SampleEditor& e, const GenerationSample&) { mpp_test::PutU32(e.Bytes(), e.EntryOffset(0) + 116, 0x00800000); },
       "The compound file is damaged: a sector number points past the end of the file."},
  };
  ShownPlan shown;
  for (const GenerationSample& sample : SAMPLES) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(sample.file) + ": " + c.name);
      SampleEditor editor(mpp_test::Sample(sample.file));
      c.edit(editor, sample);
      shown.Expect(editor.Bytes(), "", c.name);
      ASSERT_FALSE(shown.Log().messages.empty());
      EXPECT_EQ(shown.Log().messages[0].text, c.expected);
    }
  }
}

// The plan's own structures damaged inside a sound container: a clear ERROR too.
TEST(HostileInput, DamagedPlanTables) {
  NERIN_SKIP_WITHOUT_SAMPLES();
  ShownPlan shown;
  for (const GenerationSample& sample : SAMPLES) {
    SCOPED_TRACE(sample.file);
    SampleEditor editor(mpp_test::Sample(sample.file));
    // The task index's magic number: the first FixedMeta below TBkndTask.
    const std::uint32_t tasks = editor.FindEntry("TBkndTask");
    ASSERT_NE(tasks, mpp_test::FREE);
    std::string& bytes = editor.Bytes();
    std::vector<std::uint32_t> stack{mpp_test::GetU32(bytes, editor.EntryOffset(tasks) + 76)};
    std::uint32_t meta = mpp_test::FREE;
    while (!stack.empty() && meta == mpp_test::FREE) {
      const std::uint32_t id = stack.back();
      stack.pop_back();
      if (id == mpp_test::FREE) continue;
      const std::size_t at = editor.EntryOffset(id);
      if (bytes.compare(at, 20, std::string("F\0i\0x\0e\0d\0M\0e\0t\0a\0\0\0", 20)) == 0) meta = id;
      stack.push_back(mpp_test::GetU32(bytes, at + 68));
      stack.push_back(mpp_test::GetU32(bytes, at + 72));
    }
    ASSERT_NE(meta, mpp_test::FREE);
    // Renamed, the table is missing; without its magic number, it is no table.
    std::string renamed = bytes;
    renamed[editor.EntryOffset(meta)] = 'X';
    shown.Expect(renamed, "", "renamed");
    EXPECT_EQ(shown.Log().messages[0].text, "The plan file is damaged: a part of the plan is missing (\"" +
                                                std::string(sample.dataStorage).substr(3) + "/TBkndTask/FixedMeta\").");
    std::string unmarked = bytes;
    ASSERT_EQ(mpp_test::GetU32(unmarked, editor.StreamByteOffset(meta, 0)), 0xFADFADBAu);
    unmarked[editor.StreamByteOffset(meta, 0)] = '\0';
    shown.Expect(unmarked, "", "unmarked");
    EXPECT_EQ(shown.Log().messages[0].text, "The plan file is damaged: its task table is unreadable.");
  }
}

}  // namespace
}  // namespace nerin
