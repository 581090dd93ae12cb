// SPDX-License-Identifier: MIT
// Message boxes and the messages window; each returns when the user has closed it.
#pragma once

#include <string>

class QWidget;

namespace nerin {

enum class BoxIcon { Information, Error };

void ShowMessageBox(QWidget* parent, const std::string& title, const std::string& text, BoxIcon icon);

// A fixed 900 x 620 window centred on the screen with the body as read-only, word-wrapped
// text that has the keyboard focus.
void RunMessagesWindow(QWidget* parent, const std::string& title, const std::string& body);

}  // namespace nerin
