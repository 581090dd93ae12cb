// SPDX-License-Identifier: MIT
#include "app/modal_windows.h"

#include <algorithm>

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

#include "app/window_geometry.h"
#include "calendar/text_units.h"
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

std::string AskForFile(QWidget* parent, const FileDialogRequest& request) {
  QFileDialog dialog(parent, ToQString(request.Title));
  dialog.setAcceptMode(request.Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.ConfirmOverwrite);
  QStringList filters;
  for (const std::string& filter : request.Filters) filters << ToQString(filter);
  dialog.setNameFilters(filters);
  if (!request.Folder.empty()) dialog.setDirectory(ToQString(request.Folder));
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
  dialog.setGeometry(FittedGeometry(parent, QSize(560, dialog.sizeHint().height())));
  if (dialog.exec() != QDialog::Accepted) {
    return {};
  }
  return FromQString(dialog.textValue());
}

std::string AskForReferenceFile(QWidget* parent) {
  QFileDialog dialog(parent, QStringLiteral("Compare with an earlier version"));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilters({QStringLiteral("Plans (*.xml *.mpp *.XML *.MPP)"), QStringLiteral("All files (*)")});
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
    return {};
  }
  return PathFromQString(dialog.selectedFiles().constFirst());
}

std::optional<std::string> AskForReferenceAddress(QWidget* parent, const std::string& lastAddress) {
  QInputDialog dialog(parent);
  dialog.setWindowTitle(QStringLiteral("Compare with an earlier version from a web address"));
  dialog.setLabelText(QStringLiteral("Address of the MS Project XML file:"));
  dialog.setInputMode(QInputDialog::TextInput);
  dialog.setTextValue(ToQString(lastAddress));
  dialog.resize(560, dialog.sizeHint().height());
  if (dialog.exec() != QDialog::Accepted) {
    return std::nullopt;
  }
  return std::string(TrimSpaces(FromQString(dialog.textValue())));
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

BusyPointer::BusyPointer() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
}

BusyPointer::~BusyPointer() {
  QApplication::restoreOverrideCursor();
}

}  // namespace nerin
