// SPDX-License-Identifier: MIT
#include "app/modal_windows.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QInputDialog>
#include <QWindow>
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

std::string AskForFile(QWidget* parent, const FileDialogRequest& request) {
  QFileDialog dialog(parent, ToQString(request.Title));
  dialog.setAcceptMode(request.Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.ConfirmOverwrite);
  QStringList filters;
  for (const std::string& filter : request.Filters) filters << ToQString(filter);
  dialog.setNameFilters(filters);
  if (request.Save) {
    dialog.setDefaultSuffix(QString());
    dialog.selectFile(ToQString(request.ProposedName));
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
    return {};
  }
  return PathFromQString(dialog.selectedFiles().constFirst());
}

std::string AskForAddress(QWidget* parent, const std::string& lastAddress) {
  QInputDialog dialog(parent);
  dialog.setWindowTitle(QStringLiteral("Open from a web address"));
  dialog.setLabelText(QStringLiteral("Address of the MS Project XML file:"));
  dialog.setInputMode(QInputDialog::TextInput);
  dialog.setTextValue(ToQString(lastAddress));
  dialog.resize(560, dialog.sizeHint().height());
  if (dialog.exec() != QDialog::Accepted) {
    return {};
  }
  return FromQString(dialog.textValue());
}

BusyWindow::BusyWindow(QWidget* window) {
  // A newly opened window is mapped by the display server in its own time.
  constexpr qint64 EXPOSE_WAIT_MS = 1000;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  QElapsedTimer clock;
  clock.start();
  while (window->isVisible() && window->windowHandle() != nullptr && !window->windowHandle()->isExposed() &&
         clock.elapsed() < EXPOSE_WAIT_MS) {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
  }
  if (window->isVisible()) {
    window->repaint();
  }
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

BusyWindow::~BusyWindow() {
  QApplication::restoreOverrideCursor();
}

}  // namespace nerin
