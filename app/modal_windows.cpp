// SPDX-License-Identifier: MIT
#include "app/modal_windows.h"

#include <algorithm>

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QScrollBar>
#include <QFileDialog>
#include <QInputDialog>
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
  constexpr int MARGIN = 8;
  constexpr QSize LARGEST(900, 620);
  constexpr QSize SMALLEST(420, 150);
  QDialog window(parent,
                 Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  window.setWindowTitle(ToQString(title));
  window.setModal(true);
  auto* text = new QPlainTextEdit(&window);
  text->setReadOnly(true);
  text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  text->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  text->setPlainText(ToQString(body));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &window);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &window, &QDialog::reject);
  // As large as the text needs, up to the old fixed size; the text scrolls beyond that.
  const QFontMetrics metrics(text->font());
  int widest = 0;
  const QStringList lines = text->toPlainText().split(QLatin1Char('\n'));
  for (const QString& line : lines) widest = std::max(widest, metrics.horizontalAdvance(line));
  const int frame = 2 * (text->frameWidth() + static_cast<int>(text->document()->documentMargin())) + 4;
  const int width = std::clamp(widest + frame + 2 * MARGIN + text->verticalScrollBar()->sizeHint().width(),
                               SMALLEST.width(), LARGEST.width());
  const int textHeight = static_cast<int>(lines.size()) * metrics.lineSpacing() + frame;
  const int height = std::clamp(textHeight + buttons->sizeHint().height() + 3 * MARGIN, SMALLEST.height(),
                                LARGEST.height());
  const QRect geometry = FittedGeometry(parent, QSize(width, height));
  window.setFixedSize(geometry.size());
  window.setGeometry(geometry);
  const int buttonHeight = buttons->sizeHint().height();
  text->setGeometry(MARGIN, MARGIN, std::max(geometry.width() - 2 * MARGIN, 1),
                    std::max(geometry.height() - 3 * MARGIN - buttonHeight, 1));
  buttons->setGeometry(MARGIN, geometry.height() - MARGIN - buttonHeight, std::max(geometry.width() - 2 * MARGIN, 1),
                       buttonHeight);
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
  dialog.setLabelText(QStringLiteral("Address of the MS Project plan (XML or .mpp):"));
  dialog.setInputMode(QInputDialog::TextInput);
  dialog.setTextValue(ToQString(lastAddress));
  dialog.setGeometry(FittedGeometry(parent, QSize(560, dialog.sizeHint().height())));
  if (dialog.exec() != QDialog::Accepted) {
    return {};
  }
  return FromQString(dialog.textValue());
}

std::string AskForReferenceFile(QWidget* parent, const std::string& folder) {
  QFileDialog dialog(parent, QStringLiteral("Compare with an earlier version"));
  if (!folder.empty()) dialog.setDirectory(ToQString(folder));
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
  dialog.setLabelText(QStringLiteral("Address of the MS Project plan (XML or .mpp):"));
  dialog.setInputMode(QInputDialog::TextInput);
  dialog.setTextValue(ToQString(lastAddress));
  dialog.resize(560, dialog.sizeHint().height());
  if (dialog.exec() != QDialog::Accepted) {
    return std::nullopt;
  }
  return std::string(TrimSpaces(FromQString(dialog.textValue())));
}

BusyPointer::BusyPointer() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
}

BusyPointer::~BusyPointer() {
  QApplication::restoreOverrideCursor();
}

}  // namespace nerin
