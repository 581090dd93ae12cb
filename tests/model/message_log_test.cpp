// SPDX-License-Identifier: MIT
// The message log and its text for the messages window.
#include <gtest/gtest.h>

#include <string>

#include "model/message_log.h"

namespace nerin {
namespace {

TEST(MessageLog, ListTextShowsTwoHundredLinesAndCountsTheRest) {
  struct Row {
    int count;
    std::string tail;
  };
  const Row rows[] = {
      {0, ""},
      {200, "INFO: filler 199\nINFO: filler 200\n"},
      {201, "INFO: filler 200\n... and 1 further message(s) not shown.\n"},
      {225, "INFO: filler 200\n... and 25 further message(s) not shown.\n"},
  };
  for (const Row& row : rows) {
    MessageLog log;
    for (int i = 1; i <= row.count; ++i) AddMessage(log, MessageLevel::Info, "filler " + std::to_string(i));
    const std::string text = MessageListText(log);
    ASSERT_GE(text.size(), row.tail.size());
    EXPECT_EQ(text.substr(text.size() - row.tail.size()), row.tail) << row.count;
    EXPECT_EQ(text.rfind("INFO: filler 1\n", 0), row.count ? 0u : std::string::npos);
  }
}

TEST(MessageLog, LevelsArePrefixedAndCountedExactly) {
  MessageLog log;
  for (MessageLevel level : {MessageLevel::Error, MessageLevel::Warning, MessageLevel::Info, MessageLevel{0}, MessageLevel::Error}) {
    AddMessage(log, level, "m" + std::to_string(static_cast<int>(level)));
  }
  EXPECT_EQ(MessageListText(log), "ERROR: m3\nWARNING: m2\nINFO: m1\nINFO: m0\nERROR: m3\n");
  EXPECT_EQ(CountMessages(log, MessageLevel::Error), 2);
  EXPECT_EQ(CountMessages(log, MessageLevel::Info), 1);
  ClearMessages(log);
  EXPECT_EQ(CountMessages(log, MessageLevel::Error), 0);
  EXPECT_EQ(MessageListText(log), "");
}

}  // namespace
}  // namespace nerin
