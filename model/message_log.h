// SPDX-License-Identifier: MIT
// The findings of the last attempt to open a plan.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace nerin {

// Ordered by weight: a load succeeds exactly when it ends without an Error.
enum class MessageLevel : std::int64_t { Info = 1, Warning = 2, Error = 3 };

struct Message {
  MessageLevel level = MessageLevel::Info;
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
