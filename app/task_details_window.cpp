// SPDX-License-Identifier: MIT
#include "app/task_details_window.h"

#include "views/qt/qt_chart_painter.h"

#include <algorithm>

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QTreeWidget>

#include "calendar/value_text.h"
#include "views/qt/qt_text.h"

namespace nerin {

namespace {

constexpr int kWidth = 760;
constexpr int kHeight = 620;
constexpr int kListTop = 312;
constexpr int kListWidth = 362;
constexpr int kListHeight = 252;
constexpr int kButtonTop = 576;
constexpr int kTitleWidth = 736;

struct Column {
  const char* title;
  int width;
};
constexpr Column kLinkColumns[] = {{"ID", 60}, {"Task", 232}, {"Type", 50}};

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

QPlainTextEdit* CreateTextBox(QWidget* parent, int y, int height, const char* name) {
  auto* box = new QPlainTextEdit(parent);
  box->setObjectName(QString::fromUtf8(name));
  box->setGeometry(12, y, kTitleWidth, height);
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

TaskDetailsWindow::TaskDetailsWindow(const Plan& plan, std::int64_t task, GoToTask goTo, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      plan_(plan),
      goTo_(std::move(goTo)) {
  setWindowTitle(QStringLiteral("Task details"));
  setModal(true);
  const QSize size(kWidth, kHeight);
  setFixedSize(size);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size, screen->availableGeometry()));
  }
  CreateControls();
  FillTaskDetails(task);
  clock_.start();
  openedAt_ = clock_.elapsed();
  lastNavigation_ = openedAt_;
}

void TaskDetailsWindow::CreateControls() {
  title_ = new QLabel(this);
  title_->setObjectName(QStringLiteral("title"));
  title_->setTextFormat(Qt::PlainText);
  title_->setGeometry(12, 12, kTitleWidth, 26);
  title_->setFont(TitleFont());
  QPalette palette = title_->palette();
  palette.setColor(QPalette::WindowText, QColor(16, 42, 67));
  title_->setPalette(palette);

  details_ = CreateTextBox(this, 44, 148, "details");
  CreateLabel(this, 12, 198, 200, "Note from the plan");
  note_ = CreateTextBox(this, 218, 66, "note");

  CreateLinkList(predecessors_, 12, "Predecessors (click to go there)", "Go to predecessor", "predecessors");
  CreateLinkList(successors_, 386, "Successors (click to go there)", "Go to successor", "successors");

  auto* close = new QPushButton(QStringLiteral("Close"), this);
  close->setObjectName(QStringLiteral("close"));
  close->setGeometry(660, kButtonTop, 88, 30);
  close->setDefault(true);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void TaskDetailsWindow::CreateLinkList(LinkList& links, int left, const char* label, const char* button,
                                       const char* name) {
  CreateLabel(this, left, 290, kListWidth, label);

  auto* list = new QTreeWidget(this);
  list->setObjectName(QString::fromUtf8(name));
  list->setGeometry(left, kListTop, kListWidth, kListHeight);
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
    list->setColumnWidth(static_cast<int>(i), kLinkColumns[i].width);
  }
  links.list = list;

  links.goTo = new QPushButton(QString::fromUtf8(button), this);
  links.goTo->setObjectName(QString::fromUtf8(name) + QStringLiteral("Button"));
  links.goTo->setGeometry(left, kButtonTop, 160, 30);
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
  const QString elided = QFontMetrics(title_->font()).elidedText(name, Qt::ElideRight, kTitleWidth);
  title_->setText(elided);
  // A name cut to fit the title is there in full when the pointer rests on it; marked up so
  // that a name that looks like markup is shown as written.
  title_->setToolTip(
      elided == name ? QString() : QStringLiteral("<qt>") + name.toHtmlEscaped() + QStringLiteral("</qt>"));
  details_->setPlainText(BoxText(TaskDetailsText(plan_, task)));
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
