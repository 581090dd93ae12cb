// SPDX-License-Identifier: MIT
#include "model/message_log.h"

#include <utility>

#include "calendar/value_text.h"

namespace nerin {

namespace {

constexpr std::size_t kListedMessages = 200;

const char* LevelPrefix(MessageLevel level) {
  if (level == MessageLevel::Error) return "ERROR: ";
  if (level == MessageLevel::Warning) return "WARNING: ";
  return "INFO: ";
}

}  // namespace

void AddMessage(MessageLog& log, MessageLevel level, std::string text) {
  log.messages.push_back(Message{level, std::move(text)});
}

void ClearMessages(MessageLog& log) {
  log.messages.clear();
}

std::int64_t CountMessages(const MessageLog& log, MessageLevel level) {
  std::int64_t count = 0;
  for (const Message& message : log.messages) {
    if (message.level == level) ++count;
  }
  return count;
}

std::string MessageListText(const MessageLog& log) {
  std::string text;
  const std::size_t listed = log.messages.size() < kListedMessages ? log.messages.size() : kListedMessages;
  for (std::size_t i = 0; i < listed; ++i) {
    text += LevelPrefix(log.messages[i].level);
    text += log.messages[i].text;
    text += '\n';
  }
  if (log.messages.size() > kListedMessages) {
    text += "... and ";
    text += IntegerText(static_cast<std::int64_t>(log.messages.size() - kListedMessages));
    text += " further message(s) not shown.\n";
  }
  return text;
}

}  // namespace nerin
