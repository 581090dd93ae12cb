// SPDX-License-Identifier: MIT
// The desktop product's own XML saves: every one whose root is a project plan loads without
// an ERROR. They are read where they are kept, beside the project (../shared), never copied.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "calendar/text_units.h"
#include "plan_text.h"
#include "support/golden.h"

namespace nerin {
namespace {

std::filesystem::path SavesFolder() {
  // NERIN_SHARED_DIR stands in for ../shared where a checkout lives elsewhere.
  const char* shared = std::getenv("NERIN_SHARED_DIR");
  const std::filesystem::path root = shared != nullptr && *shared != '\0'
                                         ? std::filesystem::path(shared)
                                         : std::filesystem::path(NERIN_SOURCE_DIR) / ".." / "shared";
  return root / "mpp" / "pairs";
}

bool IsProjectPlan(const std::string& bytes) {
  XmlDocument document;
  return document.Parse(bytes) && document.WellFormed() && document.Root() != XML_NONE &&
         ToLowerAscii(document.Name(document.Root())) == "project";
}

TEST(ProductSaves, EveryProjectPlanLoadsWithoutError) {
  const std::filesystem::path folder = SavesFolder();
  std::error_code error;
  if (!std::filesystem::is_directory(folder, error)) {
    GTEST_SKIP() << "the product's saves are not at " << folder.string();
  }
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    if (entry.path().extension() == ".xml") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  std::size_t plans = 0;
  for (const std::filesystem::path& file : files) {
    const std::string bytes = test::ReadWholeFile(file.string());
    if (!IsProjectPlan(bytes)) continue;
    ++plans;
    Plan plan;
    MessageLog log;
    EXPECT_TRUE(LoadPlan(plan, log, file.filename().string(), bytes))
        << file.filename().string() << "\n" << MessageListText(log);
    EXPECT_EQ(CountMessages(log, MessageLevel::Error), 0) << file.filename().string();
  }
  RecordProperty("plans", static_cast<int>(plans));
  std::printf("%zu of %zu XML saves are project plans; each loaded or is reported above\n", plans, files.size());
  EXPECT_GT(plans, 0u) << "no project plan among the saves at " << folder.string();
}

}  // namespace
}  // namespace nerin
