// SPDX-License-Identifier: MIT
// The findings of the last attempt to open a plan.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace nerin {

using MessageLevel = std::int64_t;
inline constexpr MessageLevel LEVEL_INFO = 1;
inline constexpr MessageLevel LEVEL_WARNING = 2;
inline constexpr MessageLevel LEVEL_ERROR = 3;

struct Message {
  MessageLevel level = LEVEL_INFO;
  std::string text;  // without prefix and without line end
};

struct MessageLog {
  std::vector<Message> messages;  // in the order they were added
};

void AddMessage(MessageLog& log, MessageLevel level, std::string text);
void ClearMessages(MessageLog& log);
std::int64_t CountMessages(const MessageLog& log, MessageLevel level);
// One line per message ("ERROR: ", "WARNING: " or "INFO: " + text + LF) for the first 200,
// then a line that counts the rest.
std::string MessageListText(const MessageLog& log);

}  // namespace nerin
