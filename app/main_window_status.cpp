// SPDX-License-Identifier: MIT
// The status line, the messages button, the messages window and the title: what the last
// open did and what is shown.
#include <algorithm>

#include <QLabel>
#include <QPushButton>
#include <QTextDocument>
#include <QToolButton>

#include "app/main_window.h"
#include "app/modal_windows.h"
#include "views/qt/qt_text.h"
#include "app/status_text.h"

namespace nerin {

namespace {

// The load report as a tooltip: plain text (never read as markup) in a fixed-pitch font, so that
// its right-aligned column of milliseconds lines up.
QString ReportToolTip(const std::string& text) {
  if (text.empty()) {
    return {};
  }
  QString plain = ToQString(text);
  plain.remove(QLatin1Char('\r'));
  return QStringLiteral("<pre>") + plain.toHtmlEscaped() + QStringLiteral("</pre>");
}

}  // namespace

void MainWindow::FinishOpen(bool loaded, const std::string& sourceKind, bool reload) {
  // Another plan, or none: the comparison was with the plan that is gone.
  if (loaded || !state_.plan.ProjectLoaded) {
    ShowEffects(EndComparison(session_, Event(EventKind::Command)));
  }
  UpdateStatusField();
  if (loaded) {
    UpdateWindowTitle();
    ShowEffects(reload ? ReloadFinished(session_, true, Event(EventKind::Command))
                       : StartNewPlan(session_, Event(EventKind::Command)));
    return;
  }
  // A reload that failed: the plan shown stays, as after any failed open.
  if (reload) ShowEffects(ReloadFinished(session_, false, Event(EventKind::Command)));
  if (!state_.plan.ProjectLoaded) {
    planFolder_.clear();
    ShowEffects(PlanEmptied(session_, Event(EventKind::Command)));
    UpdateWindowTitle();
  }
  ShowMessagesWindow(NotLoadedTitle(sourceKind), MessageListText(state_.log));
}

void MainWindow::SetStatusLine(const std::string& text, Rgb background) {
  QLabel* field = controls_.StatusField;
  QPalette palette = field->palette();
  palette.setColor(QPalette::Window, ToQColor(background));
  palette.setColor(QPalette::WindowText, ToQColor(STATUS_TEXT_COLOUR));
  field->setPalette(palette);
  field->setText(ToQString(text));
}

void MainWindow::UpdateStatusField() {
  const StatusFieldContent content = ComposeStatusField(state_.plan, state_.log);
  SetStatusLine(StatusLineText(session_, content.text), content.background);
  controls_.StatusField->setToolTip(ReportToolTip(content.tooltip));
  const MessagesButtonContent button = ComposeMessagesButton(state_.plan, state_.log);
  controls_.MessagesButton->setText(ToQString(button.label));
  controls_.MessagesButton->setVisible(button.visible);
}

void MainWindow::ShowMessagesWindow(const std::string& title, const std::string& body) {
  RunMessagesWindow(this, title, body);
  activateWindow();
}

void MainWindow::ShowMessagesFromButton() {
  const std::string title = MessagesWindowTitle(state_.log);
  if (!title.empty()) {
    ShowMessagesWindow(title, MessageListText(state_.log));
  }
}

void MainWindow::UpdateWindowTitle() {
  QString title = ToQString(WindowTitleText(state_.plan));
  // The toolkit reads "[*]" as the modified mark; doubled it stands for itself.
  title.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
  setWindowTitle(title);
}

}  // namespace nerin
