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

constexpr std::int64_t kFeedbackMessageTicks = 17;

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

void MainWindow::FinishOpen(bool loaded, const std::string& sourceKind) {
  if (loaded) {
    // A new plan starts at its first row and first day.
    state_.view.ScrollX = 0;
    state_.view.ScrollY = 0;
    ResetFolding();
    state_.rows.CriticalFilter = false;
    controls_.CriticalButton->setChecked(false);
    RebuildRows();
    state_.FindHighlight = -1;
    DropFindTexts(state_.findTexts);
    state_.TaskListFilled = false;
    state_.ResourceListFilled = false;
    UpdateStatusField();
    UpdateWindowTitle();
    SwitchView(state_.CurrentView);
    RequestRelayout();
    return;
  }
  UpdateStatusField();
  if (!state_.plan.ProjectLoaded) {
    RebuildRows();
    ClearViews();
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
  SetStatusLine(content.text, content.background);
  controls_.StatusField->setToolTip(ReportToolTip(content.tooltip));
  UpdateMessagesButton();
}

void MainWindow::UpdateMessagesButton() {
  const MessagesButtonContent content = ComposeMessagesButton(state_.plan, state_.log);
  if (content.visible) {
    controls_.MessagesButton->setText(ToQString(content.label));
    controls_.MessagesButton->show();
  } else {
    controls_.MessagesButton->hide();
  }
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

void MainWindow::ClearViews() {
  EmptyLists();
  state_.TaskListFilled = false;
  state_.ResourceListFilled = false;
  if (state_.CurrentView == VIEW_GANTT) {
    DrawChart();
  }
}

void MainWindow::ShowFeedback(int buttonIcon, int feedbackIcon, std::int64_t flashes,
                              const std::string& message) {
  if (state_.FeedbackButton >= 0) {
    feedbackTimer_.stop();
    const int previous = static_cast<int>(state_.FeedbackButton);
    ButtonOfIcon(previous)->setIcon(ToolbarIcon(previous));
  }
  QToolButton* button = ButtonOfIcon(buttonIcon);
  if (button == nullptr || feedbackIcon < 0 || feedbackIcon >= TOOLBAR_ICON_COUNT) {
    state_.FeedbackButton = -1;
    return;
  }
  state_.FeedbackButton = buttonIcon;
  state_.FeedbackIcon = feedbackIcon;
  state_.FeedbackFlashTicks = 2 * std::max<std::int64_t>(flashes, 0);
  button->setIcon(ToolbarIcon(feedbackIcon));
  if (message.empty()) {
    state_.FeedbackMessageTicks = 0;
    state_.FeedbackShowsMessage = false;
  } else {
    SetStatusLine(message, STATUS_WARNING_BACKGROUND);
    state_.FeedbackMessageTicks = kFeedbackMessageTicks;
    state_.FeedbackShowsMessage = true;
  }
  feedbackTimer_.start();
}

void MainWindow::FeedbackTick() {
  if (state_.FeedbackButton < 0) {
    feedbackTimer_.stop();
    return;
  }
  const int normal = static_cast<int>(state_.FeedbackButton);
  QToolButton* button = ButtonOfIcon(normal);
  if (state_.FeedbackFlashTicks > 0) {
    --state_.FeedbackFlashTicks;
    // The first tick shows the normal icon, the next the feedback icon, and so on; the last
    // flash tick leaves the normal icon.
    const bool showFeedback = state_.FeedbackFlashTicks > 0 && state_.FeedbackFlashTicks % 2 == 0;
    const int icon = showFeedback ? static_cast<int>(state_.FeedbackIcon) : normal;
    button->setIcon(ToolbarIcon(icon));
  }
  if (state_.FeedbackMessageTicks > 0) {
    --state_.FeedbackMessageTicks;
  }
  if (state_.FeedbackFlashTicks == 0 && state_.FeedbackMessageTicks == 0) {
    feedbackTimer_.stop();
    button->setIcon(ToolbarIcon(normal));
    state_.FeedbackButton = -1;
    if (state_.FeedbackShowsMessage) {
      state_.FeedbackShowsMessage = false;
      UpdateStatusField();
    }
  }
}

}  // namespace nerin
