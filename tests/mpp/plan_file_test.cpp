// SPDX-License-Identifier: MIT
// Which files the binary reader reads and which it refuses, with what words; a refused file
// leaves the shown plan as it was.
#include <gtest/gtest.h>

#include <map>

#include "sources/plan_source.h"
#include "model/load_plan.h"
#include "mpp/mpp_reader.h"
#include "mpp_test_support.h"

namespace nerin {
namespace {

using mpp_test::CompObjStream;
using mpp_test::MadeEntry;
using mpp_test::MakeCompoundFile;

constexpr std::string_view PROTECTED =
    "This plan is protected by a password; the viewer does not open protected plans.";
constexpr std::string_view MPP8 =
    "This plan was saved in an older file format (MPP8) that the viewer does not read; save it as XML from the "
    "product.";

// A plan already shown, to see that a refused file leaves it as it was.
struct ShownPlan {
  Plan plan;
  MessageLog log;
  std::string dump;
  ShownPlan() {
    const std::string text = mpp_test::FileBytes(std::string(NERIN_TEST_DATA_DIR) + "/typical.xml");
    EXPECT_TRUE(LoadPlan(plan, log, "typical.xml", text));
    dump = ModelDumpText(plan, MessageLog{}, true);
  }
  bool Untouched() const { return ModelDumpText(plan, MessageLog{}, true) == dump; }
};

void ExpectRefused(std::string_view bytes, std::string_view expected) {
  ShownPlan shown;
  EXPECT_FALSE(LoadMppPlan(shown.plan, shown.log, "refused.mpp", bytes));
  ASSERT_EQ(shown.log.messages.size(), 1u) << MessageListText(shown.log);
  EXPECT_EQ(shown.log.messages[0].level, MessageLevel::Error);
  EXPECT_EQ(shown.log.messages[0].text, expected);
  EXPECT_TRUE(shown.Untouched());
}

// Every sample the index marks as one to refuse, with the words that say why.
TEST(PlanFile, SamplesToRefuseSayWhy) {
  NERIN_SKIP_WITHOUT_SAMPLES();
  const std::string_view NOT_COMPOUND =
      "The file is not a compound file (its first bytes are not the compound-file signature).";
  const std::map<std::string, std::string_view> expected = {
      {"password-protected-mpp9.mpp", PROTECTED},
      {"bothpassword9.mpp", PROTECTED},
      {"task-links-project2003-mpp8.mpp", MPP8},
      {"headertest8.mpp", MPP8},
      {"empty.mpx", NOT_COMPOUND},
      {"mpp9header.mpd", NOT_COMPOUND},
  };
  std::size_t refused = 0;
  for (const mpp_test::IndexRow& row : mpp_test::ReadIndex()) {
    if (!row.Refused()) continue;
    SCOPED_TRACE(row.file);
    ++refused;
    const auto known = expected.find(row.file);
    ASSERT_NE(known, expected.end()) << "a refusal of the index without its words here";
    ExpectRefused(mpp_test::Sample(row.file), known->second);
  }
  EXPECT_EQ(refused, expected.size());
}

// Through the sources the signature decides: a file that is no compound file goes to the XML
// loader whatever its name, and a binary plan loads whatever its name.
TEST(PlanFile, ContentNotNameDecidesTheReader) {
  NERIN_SKIP_WITHOUT_SAMPLES();
  {
    Plan plan;
    MessageLog log;
    const std::string bytes = mpp_test::Sample("empty.mpx");
    EXPECT_FALSE(LoadSource(plan, log, "empty.mpp", bytes.data(), static_cast<std::int64_t>(bytes.size())));
    ASSERT_FALSE(log.messages.empty());
    EXPECT_EQ(log.messages[0].text, "XML is syntactically invalid.");
  }
  {
    Plan plan;
    MessageLog log;
    std::string bytes = mpp_test::Sample("mpp14nulltasks.mpp");
    EXPECT_TRUE(LoadSourceBuffer(plan, log, "plan.xml", std::move(bytes))) << MessageListText(log);
    EXPECT_EQ(plan.TaskCount(), 5);
  }
}

// The data storage follows the format string, never what happens to be in the file: an MPP12
// plan that also carries storages named like MPP9 ones reads as MPP12.
TEST(PlanFile, StoragesFollowTheFormatString) {
  NERIN_SKIP_WITHOUT_SAMPLES();
  mpp_test::SampleEditor editor(mpp_test::Sample("mpp12nulltasks.mpp"));
  const std::uint32_t view = editor.FindEntry("   212");
  ASSERT_NE(view, mpp_test::FREE);
  std::string& bytes = editor.Bytes();
  const std::size_t at = editor.EntryOffset(view);
  bytes.replace(at, 12, std::string("\x20\x00\x20\x00\x20\x00\x31\x00\x39\x00\x00\x00", 12));
  mpp_test::PutU16(bytes, at + 64, 12);
  Plan plan;
  MessageLog log;
  EXPECT_TRUE(LoadMppPlan(plan, log, "mixed.mpp", bytes)) << MessageListText(log);
  EXPECT_EQ(plan.TaskCount(), 5);
  EXPECT_EQ(log.messages.back().text, "Read from a binary plan file (MPP12, saved by MS Project 12.0).");
}

TEST(PlanFile, CompoundFilesThatAreNoPlansSaySo) {
  const struct {
    const char* name;
    std::vector<MadeEntry> entries;
    std::string_view expected;
  } cases[] = {
      {"a document",
       {{"\x01" "CompObj", false, CompObjStream("Microsoft Word 97-2003 Document", "MSWordDoc")},
        {"WordDocument", false, std::string(5000, 'w')}},
       "This file is not a plan but a compound document of another kind (\"Microsoft Word 97-2003 Document\")."},
      {"a spreadsheet without a user type",
       {{"\x01" "CompObj", false, CompObjStream("", "Biff8")}},
       "This file is not a plan but a compound document of another kind (\"Biff8\")."},
      {"no CompObj", {{"Workbook", false, std::string(100, 'x')}}, "This file is a compound document but not a plan."},
      {"a cut CompObj", {{"\x01" "CompObj", false, std::string(30, '\0')}}, "This file is a compound document but not a plan."},
      {"a newer generation",
       {{"\x01" "CompObj", false, CompObjStream("Microsoft.Project 17.0", "MSProject.MPP15")}},
       "This plan was saved in a file format (MPP15) that this version cannot read yet; save it as XML from the "
       "product."},
      {"an older generation",
       {{"\x01" "CompObj", false, CompObjStream("Microsoft Project 4.0", "MSProject.MPP4")}},
       "This plan was saved in an older file format (MPP4) that the viewer does not read; save it as XML from the "
       "product."},
      {"a template",
       {{"\x01" "CompObj", false, CompObjStream("Microsoft.Project 14.0", "MSProject.MPT14")}},
       "This file is a template of the product (format \"MSProject.MPT14\"), not a plan; the viewer opens plans only."},
      {"a plan without its data",
       {{"\x01" "CompObj", false, CompObjStream("Microsoft.Project 14.0", "MSProject.MPP14")},
        {"Props14", false, std::string(16, '\0')}},
       "The plan file is damaged: its MPP14 data storage is missing."},
      {"a plan without its properties",
       {{"\x01" "CompObj", false, CompObjStream("Microsoft.Project 14.0", "MSProject.MPP14")},
        {"   114", true, ""}},
       "The plan file is damaged: a part of the plan is missing (\"114/Props\")."},
      {"a plan without field maps",
       {{"\x01" "CompObj", false, CompObjStream("Microsoft.Project 14.0", "MSProject.MPP14")},
        {"   114", true, ""},
        {"   114/Props", false, std::string(16, '\0')}},
       "The plan file is damaged: it does not say where the fields of its tasks are."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ExpectRefused(MakeCompoundFile(c.entries).bytes, c.expected);
  }
}

}  // namespace
}  // namespace nerin
