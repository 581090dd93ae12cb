// SPDX-License-Identifier: MIT
#include "app/modal_windows.h"

#include <QDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStyle>

#include "views/qt/qt_text.h"

namespace nerin {

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
  const QSize size(900, 620);
  window.setFixedSize(size);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    window.setGeometry(
        QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size, screen->availableGeometry()));
  }
  auto* text = new QPlainTextEdit(&window);
  text->setGeometry(8, 8, 884, 604);
  text->setReadOnly(true);
  text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  text->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  text->setPlainText(ToQString(body));
  text->setFocus();
  window.exec();
}

}  // namespace nerin
