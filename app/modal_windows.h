// SPDX-License-Identifier: MIT
// Message boxes and the messages window; each returns when the user has closed it.
#pragma once

#include <string>

#include <QRect>
#include <QSize>

class QWidget;

namespace nerin {

enum class BoxIcon { Information, Error };

// The inner geometry of a window that asks for `requested` on the parent's screen: that size,
// centred, where the screen's available area has room for it and its frame; else as much as
// fits, so that everything at its bottom edge stays on screen.
QRect FittedGeometry(const QWidget* parent, QSize requested);

void ShowMessageBox(QWidget* parent, const std::string& title, const std::string& text, BoxIcon icon);

// A fixed 900 x 620 window centred on the screen (smaller on a smaller screen) with the body as
// read-only, word-wrapped text that has the keyboard focus.
void RunMessagesWindow(QWidget* parent, const std::string& title, const std::string& body);

}  // namespace nerin
