// SPDX-License-Identifier: MIT
#include "app/task_details_window.h"

#include "views/chart_colours.h"
#include "views/qt/qt_chart_painter.h"

#include <algorithm>
#include <cmath>

#include <QFontDatabase>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QStyle>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTimer>
#include <QTreeWidget>

#include "app/modal_windows.h"
#include "calendar/value_text.h"
#include "views/qt/qt_text.h"

namespace nerin {

namespace {

constexpr int kWidth = 760;
constexpr int kHeight = static_cast<int>(DETAILS_WINDOW_HEIGHT);
constexpr int kListTop = 312;
constexpr int kListHeight = 252;
constexpr int kButtonTop = 576;
constexpr int kButtonWidth = 160;
constexpr int kCloseWidth = 88;
constexpr int kButtonHeight = 30;
// Everything above the buttons: the part that scrolls when the window is shorter or narrower
// than it asks for.
constexpr int kContentHeight = kButtonTop - 4;
// Asks for a window taller than any screen, to learn the tallest one the screen holds.
constexpr int kTallestRequest = 1000000;

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

QPlainTextEdit* CreateTextBox(QWidget* parent, const char* name) {
  auto* box = new QPlainTextEdit(parent);
  box->setObjectName(QString::fromUtf8(name));
  box->setReadOnly(true);
  box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  box->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  return box;
}

QLabel* CreateLabel(QWidget* parent, const char* text) {
  auto* label = new QLabel(QString::fromUtf8(text), parent);
  label->setTextFormat(Qt::PlainText);
  return label;
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
  CreateControls();
  PlaceControls(geometry.size());
  FillTaskDetails(task);
  clock_.start();
  openedAt_ = clock_.elapsed();
  lastNavigation_ = openedAt_;
}

void TaskDetailsWindow::CreateControls() {
  content_ = new QWidget;
  scroll_ = new QScrollArea(this);
  scroll_->setObjectName(QStringLiteral("content"));
  scroll_->setFrameShape(QFrame::NoFrame);
  scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  scroll_->setWidget(content_);

  title_ = new QLabel(content_);
  title_->setObjectName(QStringLiteral("title"));
  title_->setTextFormat(Qt::PlainText);
  title_->setFont(TitleFont());
  QPalette palette = title_->palette();
  palette.setColor(QPalette::WindowText, ToQColor(TEXT_DARK));
  title_->setPalette(palette);

  details_ = CreateTextBox(content_, "details");
  noteLabel_ = CreateLabel(content_, "Note from the plan");
  note_ = CreateTextBox(content_, "note");

  CreateLinkList(predecessors_, "Predecessors (click to go there)", "Go to predecessor", "predecessors");
  CreateLinkList(successors_, "Successors (click to go there)", "Go to successor", "successors");

  close_ = new QPushButton(QStringLiteral("Close"), this);
  close_->setObjectName(QStringLiteral("close"));
  close_->setDefault(true);
  connect(close_, &QPushButton::clicked, this, &QDialog::reject);
}

void TaskDetailsWindow::PlaceControls(QSize size) {
  // What the details box has grown by moves everything below it down.
  const int grown = static_cast<int>(boxHeight_ - DETAILS_BOX_HEIGHT);
  const int contentHeight = kContentHeight + grown;
  // The buttons keep their distance from the bottom edge, as in the full-size window.
  const int buttonTop = size.height() - (kHeight - kButtonTop);
  const int viewHeight = std::max(buttonTop - 4, 1);
  // The controls scroll only up and down; across, they take the width there is, less the
  // scroll bar's when the window is too short for them.
  const int scrollBar = viewHeight < contentHeight ? style()->pixelMetric(QStyle::PM_ScrollBarExtent) : 0;
  const int width = std::max(size.width() - scrollBar, 2 * kLinkListSpare);
  const int boxWidth = width - 24;
  const int listWidth = (width - 36) / 2;
  content_->setFixedSize(width, contentHeight);
  scroll_->setGeometry(0, 0, size.width(), viewHeight);

  title_->setGeometry(12, 12, boxWidth, 26);
  details_->setGeometry(12, 44, boxWidth, static_cast<int>(boxHeight_));
  noteLabel_->setGeometry(12, 198 + grown, 200, 20);
  note_->setGeometry(12, 218 + grown, boxWidth, 66);
  for (const auto& [links, left] : {std::pair{&predecessors_, 12}, std::pair{&successors_, 24 + listWidth}}) {
    links->label->setGeometry(left, 290 + grown, listWidth, 20);
    links->list->setGeometry(left, kListTop + grown, listWidth, kListHeight);
    for (std::size_t i = 0; i < std::size(kLinkColumns); ++i) {
      const int columnWidth = kLinkColumns[i].width > 0 ? kLinkColumns[i].width : listWidth - kLinkListSpare;
      links->list->setColumnWidth(static_cast<int>(i), columnWidth);
    }
  }

  const int closeLeft = size.width() - 100;
  close_->setGeometry(closeLeft, buttonTop, kCloseWidth, kButtonHeight);
  predecessors_.goTo->move(12, buttonTop);
  // In a narrower window the successor button moves left rather than under Close.
  successors_.goTo->move(std::max(std::min(24 + listWidth, closeLeft - 8 - kButtonWidth), 12 + kButtonWidth + 8),
                         buttonTop);
}

void TaskDetailsWindow::GrowDetailsBox(const QString& text) {
  // The text laid out as the box lays it out, at the width it has without a scroll bar.
  QTextDocument probe;
  probe.setDefaultFont(details_->font());
  probe.setDocumentMargin(details_->document()->documentMargin());
  QTextOption option = probe.defaultTextOption();
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  probe.setDefaultTextOption(option);
  const int frame = 2 * details_->frameWidth();
  probe.setTextWidth(std::max(details_->width() - frame, 1));
  probe.setPlainText(text);
  probe.size();  // lays the text out
  // The box counts whole pixels a line, and keeps a margin and a pixel below the last line.
  std::int64_t lines = 0;
  for (QTextBlock block = probe.begin(); block.isValid(); block = block.next()) {
    const QTextLayout* layout = block.layout();
    for (int i = 0; layout != nullptr && i < layout->lineCount(); ++i) {
      lines += static_cast<std::int64_t>(layout->lineAt(i).height());
    }
  }
  const auto margin = static_cast<std::int64_t>(std::ceil(probe.documentMargin()));
  const std::int64_t textHeight = lines + 2 * margin + 1 + frame;
  // The tallest window the screen holds, frame and all.
  const std::int64_t tallest = FittedGeometry(parentWidget(), QSize(kWidth, kTallestRequest)).height();
  const DetailsBoxSize grown = DetailsBoxFor(textHeight, boxHeight_, tallest);
  if (grown.Box == boxHeight_) {
    return;
  }
  boxHeight_ = grown.Box;
  const QRect geometry = FittedGeometry(parentWidget(), QSize(width(), static_cast<int>(grown.Window)));
  setFixedSize(geometry.size());
  setGeometry(geometry);
  PlaceControls(geometry.size());
}

void TaskDetailsWindow::CreateLinkList(LinkList& links, const char* label, const char* button, const char* name) {
  links.label = CreateLabel(content_, label);

  auto* list = new QTreeWidget(content_);
  list->setObjectName(QString::fromUtf8(name));
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
  if (task < 0 || task >= plan_.TaskCount()) {
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
  const QString detailsText = BoxText(details);
  details_->setPlainText(detailsText);
  GrowDetailsBox(detailsText);
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
