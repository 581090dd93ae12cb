// SPDX-License-Identifier: MIT
#include "app/task_details_window.h"

#include "views/chart_colours.h"
#include "views/qt/qt_chart_painter.h"

#include <algorithm>

#include <QFontDatabase>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QStyle>
#include <QTimer>
#include <QTreeWidget>

#include "app/modal_windows.h"
#include "calendar/value_text.h"
#include "views/qt/qt_text.h"

namespace nerin {

namespace {

constexpr int kWidth = 760;
constexpr int kHeight = 620;
constexpr int kListTop = 312;
constexpr int kListHeight = 252;
constexpr int kButtonTop = 576;
constexpr int kButtonWidth = 160;
constexpr int kCloseWidth = 88;
constexpr int kButtonHeight = 30;
// Everything above the buttons: the part that scrolls when the window is shorter or narrower
// than it asks for.
constexpr int kContentHeight = kButtonTop - 4;

struct Column {
  const char* title;
  int width;
};
// The Task column takes what the other two leave of the list's width (232 at full size).
constexpr Column kLinkColumns[] = {{"ID", 60}, {"Task", 0}, {"Type", 50}};
constexpr int kLinkListSpare = 130;

// "Segoe UI" 12 bold, or the default face at that size and weight; made once and kept for every
// later window.
const QFont& TitleFont() {
  static const QFont font = [] {
    return QFont(ViewerFontFamily(), 12, QFont::Bold);
  }();
  return font;
}

// The text boxes break lines at line feeds; the texts end theirs with CR LF, and notes may
// hold lone carriage returns.
QString BoxText(const std::string& text) {
  QString box = ToQString(text);
  box.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  box.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return box;
}

QPlainTextEdit* CreateTextBox(QWidget* parent, int y, int width, int height, const char* name) {
  auto* box = new QPlainTextEdit(parent);
  box->setObjectName(QString::fromUtf8(name));
  box->setGeometry(12, y, width, height);
  box->setReadOnly(true);
  box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  box->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  return box;
}

void CreateLabel(QWidget* parent, int x, int y, int width, const char* text) {
  auto* label = new QLabel(QString::fromUtf8(text), parent);
  label->setTextFormat(Qt::PlainText);
  label->setGeometry(x, y, width, 20);
}

}  // namespace

TaskDetailsWindow::TaskDetailsWindow(const Plan& plan, std::int64_t task, GoToTask goTo, QWidget* parent,
                                     const ChartComparison* comparison)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      plan_(plan),
      comparison_(comparison),
      goTo_(std::move(goTo)) {
  setWindowTitle(QStringLiteral("Task details"));
  setModal(true);
  const QRect geometry = FittedGeometry(parent, QSize(kWidth, kHeight));
  setFixedSize(geometry.size());
  setGeometry(geometry);
  CreateControls(geometry.size());
  FillTaskDetails(task);
  clock_.start();
  openedAt_ = clock_.elapsed();
  lastNavigation_ = openedAt_;
}

void TaskDetailsWindow::CreateControls(QSize size) {
  // The buttons keep their distance from the bottom edge, as in the full-size window.
  const int buttonTop = size.height() - (kHeight - kButtonTop);
  const int viewHeight = std::max(buttonTop - 4, 1);
  // The controls scroll only up and down; across, they take the width there is, less the
  // scroll bar's when the window is too short for them.
  const int scrollBar = viewHeight < kContentHeight ? style()->pixelMetric(QStyle::PM_ScrollBarExtent) : 0;
  const int width = std::max(size.width() - scrollBar, 2 * kLinkListSpare);
  const int boxWidth = width - 24;
  const int listWidth = (width - 36) / 2;
  content_ = new QWidget;
  content_->setFixedSize(width, kContentHeight);
  auto* scroll = new QScrollArea(this);
  scroll->setObjectName(QStringLiteral("content"));
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  scroll->setWidget(content_);
  scroll->setGeometry(0, 0, size.width(), viewHeight);

  title_ = new QLabel(content_);
  title_->setObjectName(QStringLiteral("title"));
  title_->setTextFormat(Qt::PlainText);
  title_->setGeometry(12, 12, boxWidth, 26);
  title_->setFont(TitleFont());
  QPalette palette = title_->palette();
  palette.setColor(QPalette::WindowText, ToQColor(TEXT_DARK));
  title_->setPalette(palette);

  details_ = CreateTextBox(content_, 44, boxWidth, 148, "details");
  CreateLabel(content_, 12, 198, 200, "Note from the plan");
  note_ = CreateTextBox(content_, 218, boxWidth, 66, "note");

  CreateLinkList(predecessors_, 12, listWidth, "Predecessors (click to go there)", "Go to predecessor",
                 "predecessors");
  CreateLinkList(successors_, 24 + listWidth, listWidth, "Successors (click to go there)", "Go to successor",
                 "successors");

  auto* close = new QPushButton(QStringLiteral("Close"), this);
  close->setObjectName(QStringLiteral("close"));
  const int closeLeft = size.width() - 100;
  close->setGeometry(closeLeft, buttonTop, kCloseWidth, kButtonHeight);
  predecessors_.goTo->move(12, buttonTop);
  // In a narrower window the successor button moves left rather than under Close.
  successors_.goTo->move(std::max(std::min(24 + listWidth, closeLeft - 8 - kButtonWidth), 12 + kButtonWidth + 8),
                         buttonTop);
  close->setDefault(true);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void TaskDetailsWindow::CreateLinkList(LinkList& links, int left, int width, const char* label,
                                       const char* button, const char* name) {
  CreateLabel(content_, left, 290, width, label);

  auto* list = new QTreeWidget(content_);
  list->setObjectName(QString::fromUtf8(name));
  list->setGeometry(left, kListTop, width, kListHeight);
  list->setRootIsDecorated(false);
  list->setItemsExpandable(false);
  list->setUniformRowHeights(true);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  list->setAllColumnsShowFocus(true);
  list->setColumnCount(static_cast<int>(std::size(kLinkColumns)));
  QStringList titles;
  for (const Column& column : kLinkColumns) {
    titles << QString::fromUtf8(column.title);
  }
  list->setHeaderLabels(titles);
  list->header()->setStretchLastSection(false);
  for (std::size_t i = 0; i < std::size(kLinkColumns); ++i) {
    const int columnWidth = kLinkColumns[i].width > 0 ? kLinkColumns[i].width : width - kLinkListSpare;
    list->setColumnWidth(static_cast<int>(i), columnWidth);
  }
  links.list = list;

  links.goTo = new QPushButton(QString::fromUtf8(button), this);
  links.goTo->setObjectName(QString::fromUtf8(name) + QStringLiteral("Button"));
  links.goTo->resize(kButtonWidth, kButtonHeight);
  links.goTo->setAutoDefault(false);

  // A mouse click on a row goes there; moving the selection with the keys only chooses the row
  // the button goes to.
  connect(list, &QTreeWidget::itemClicked, this,
          [this, &links](QTreeWidgetItem* item) { ListClicked(links, item); });
  connect(links.goTo, &QPushButton::clicked, this, [this, &links] { GoToPressed(links); });
}

void TaskDetailsWindow::FillTaskDetails(std::int64_t task) {
  if (task < 0 || task >= std::clamp<std::int64_t>(plan_.TaskCount, 0, MAX_TASKS)) {
    return;
  }
  filling_ = true;
  shownTask_ = task;
  const Task& shown = plan_.Tasks[static_cast<std::size_t>(task)];
  setWindowTitle(ToQString("Task details - ID " + IntegerText(shown.ID)));
  const QString name = ToQString(SingleLineText(shown.Name));
  const QString elided = QFontMetrics(title_->font()).elidedText(name, Qt::ElideRight, title_->width());
  title_->setText(elided);
  // A name cut to fit the title is there in full when the pointer rests on it; marked up so
  // that a name that looks like markup is shown as written.
  title_->setToolTip(
      elided == name ? QString() : QStringLiteral("<qt>") + name.toHtmlEscaped() + QStringLiteral("</qt>"));
  std::string details = TaskDetailsText(plan_, task);
  if (comparison_ != nullptr) {
    const std::string change = ChangeDetailsText(*comparison_, task);
    if (!change.empty()) details += "\r\n" + change;
  }
  details_->setPlainText(BoxText(details));
  note_->setPlainText(BoxText(TaskNoteText(shown)));
  FillLinkList(predecessors_, PredecessorRows(plan_, task));
  FillLinkList(successors_, SuccessorRows(plan_, task));
  filling_ = false;
}

void TaskDetailsWindow::FillLinkList(LinkList& links, const std::vector<LinkRow>& rows) {
  links.list->clear();
  links.rowTask.clear();
  QList<QTreeWidgetItem*> items;
  items.reserve(static_cast<qsizetype>(rows.size()));
  for (const LinkRow& row : rows) {
    items.append(new QTreeWidgetItem(
        QStringList{ToQString(row.Id), ToQString(SingleLineText(row.Name)), ToQString(row.Type)}));
    links.rowTask.push_back(row.Task);
  }
  links.list->addTopLevelItems(items);
  links.list->setEnabled(!rows.empty());
}

void TaskDetailsWindow::ListClicked(const LinkList& links, QTreeWidgetItem* item) {
  const std::int64_t row = item != nullptr ? links.list->indexOfTopLevelItem(item) : -1;
  const auto rowCount = static_cast<std::int64_t>(links.rowTask.size());
  if (ListClickNavigates(filling_, clock_.elapsed(), openedAt_, lastNavigation_, row, rowCount)) {
    const std::int64_t task = links.rowTask[static_cast<std::size_t>(row)];
    lastNavigation_ = clock_.elapsed();
    // Refilling empties the list whose click this is; the list finishes the click first.
    QTimer::singleShot(0, this, [this, task] { GoToLinkedTask(task); });
  }
}

void TaskDetailsWindow::GoToPressed(const LinkList& links) {
  QTreeWidgetItem* current = links.list->currentItem();
  const bool selected = current != nullptr && current->isSelected();
  const std::int64_t row = GoToButtonRow(selected ? links.list->indexOfTopLevelItem(current) : -1,
                                         static_cast<std::int64_t>(links.rowTask.size()));
  if (row >= 0) {
    GoToLinkedTask(links.rowTask[static_cast<std::size_t>(row)]);
  }
}

void TaskDetailsWindow::GoToLinkedTask(std::int64_t task) {
  lastNavigation_ = clock_.elapsed();
  if (goTo_) {
    goTo_(task);
  }
  FillTaskDetails(task);
}

}  // namespace nerin
