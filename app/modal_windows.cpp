// SPDX-License-Identifier: MIT
#include "app/modal_windows.h"

#include <algorithm>

#include <QDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScreen>

#include "app/window_geometry.h"
#include "views/qt/qt_text.h"

namespace nerin {

QRect FittedGeometry(const QWidget* parent, QSize requested) {
  const QScreen* screen = parent != nullptr ? parent->screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) {
    return {QPoint(0, 0), requested};
  }
  // The frame the window manager put around the main window; a dialog gets the same.
  FrameMargins frame;
  if (const QWidget* top = parent != nullptr ? parent->window() : nullptr; top != nullptr && top->isVisible()) {
    const QRect outer = top->frameGeometry();
    const QRect inner = top->geometry();
    frame = {std::max(inner.left() - outer.left(), 0), std::max(inner.top() - outer.top(), 0),
             std::max(outer.right() - inner.right(), 0), std::max(outer.bottom() - inner.bottom(), 0)};
  }
  const QRect area = screen->availableGeometry();
  const ControlRect rect = FittedWindowRect({requested.width(), requested.height()},
                                            {area.x(), area.y(), area.width(), area.height()}, frame);
  return {static_cast<int>(rect.x), static_cast<int>(rect.y), static_cast<int>(rect.w), static_cast<int>(rect.h)};
}

void ShowMessageBox(QWidget* parent, const std::string& title, const std::string& text, BoxIcon icon) {
  QMessageBox box(icon == BoxIcon::Error ? QMessageBox::Critical : QMessageBox::Information, ToQString(title),
                  ToQString(text), QMessageBox::Ok, parent);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

void RunMessagesWindow(QWidget* parent, const std::string& title, const std::string& body) {
  QDialog window(parent,
                 Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  window.setWindowTitle(ToQString(title));
  window.setModal(true);
  const QRect geometry = FittedGeometry(parent, QSize(900, 620));
  window.setFixedSize(geometry.size());
  window.setGeometry(geometry);
  // The text box scrolls; on a small screen it is smaller, with the same margin.
  auto* text = new QPlainTextEdit(&window);
  text->setGeometry(8, 8, std::max(geometry.width() - 16, 1), std::max(geometry.height() - 16, 1));
  text->setReadOnly(true);
  text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  text->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  text->setPlainText(ToQString(body));
  text->setFocus();
  window.exec();
}

}  // namespace nerin
