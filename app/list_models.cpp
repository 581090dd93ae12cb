// SPDX-License-Identifier: MIT
#include "app/list_models.h"

#include <algorithm>
#include <climits>

#include <QHeaderView>
#include <QHelpEvent>
#include <QItemSelectionModel>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QToolTip>
#include <QTreeView>

#include "views/change_texts.h"
#include "views/list_text.h"
#include "views/qt/qt_text.h"
#include "calendar/narrow.h"

namespace nerin {

namespace {

// Rows of one line, LIST_ROW_HEIGHT high unless the font needs more, so that a page of the
// navigation keys is a page on screen.
class ListRowDelegate final : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(std::max(static_cast<int>(LIST_ROW_HEIGHT), option.fontMetrics.height() + 2));
    return size;
  }

  // A cell the list cuts shows its whole text when the pointer rests on it; a cell shown
  // whole has no tooltip.
  bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                 const QModelIndex& index) override {
    if (event == nullptr || view == nullptr || event->type() != QEvent::ToolTip || !index.isValid()) {
      return QStyledItemDelegate::helpEvent(event, view, option, index);
    }
    const QString shown = index.data(Qt::DisplayRole).toString();
    QString whole = index.data(Qt::ToolTipRole).toString();
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QStyle* style = view->style();
    const int room = style->subElementRect(QStyle::SE_ItemViewItemText, &item, view).width() -
                     2 * (style->pixelMetric(QStyle::PM_FocusFrameHMargin, &item, view) + 1);
    if (whole.isEmpty() || (whole == shown && option.fontMetrics.horizontalAdvance(shown) <= room)) {
      QToolTip::hideText();
      return true;
    }
    if (whole.size() > kLongestTooltip) whole = whole.left(kLongestTooltip) + QStringLiteral("\u2026");
    // Marked up, so that the box wraps a long text and shows one that looks like markup as it is.
    QToolTip::showText(event->globalPos(),
                       QStringLiteral("<qt>") + whole.toHtmlEscaped() + QStringLiteral("</qt>"),
                       view->viewport(), view->visualRect(index));
    return true;
  }

 private:
  // A resource's tasks can run to many thousands of characters; a tooltip the size of the
  // screen still reads.
  static constexpr qsizetype kLongestTooltip = 4000;
};

}  // namespace

int PlanListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : NarrowToInt(Rows(), 0);
}

int PlanListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : NarrowToInt(Columns(), 0);
}

QVariant PlanListModel::data(const QModelIndex& index, int role) const {
  if ((role != Qt::DisplayRole && role != Qt::ToolTipRole) || !index.isValid() || index.model() != this) {
    return {};
  }
  if (role == Qt::ToolTipRole) return ToQString(WholeCellText(index.row(), index.column()));
  return ToQString(CellText(index.row(), index.column()));
}

QVariant PlanListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= Columns()) {
    return {};
  }
  return QString::fromUtf8(ColumnTitle(section));
}

Qt::ItemFlags PlanListModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) {
    return Qt::NoItemFlags;
  }
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

TaskListModel::TaskListModel(const Plan& plan, const TaskListRows& rows, QObject* parent)
    : PlanListModel(plan, parent), rows_(rows) {}

void TaskListModel::ShowRows() {
  beginResetModel();
  endResetModel();
}

void TaskListModel::Clear() {
  // The session has emptied the rows already.
  beginResetModel();
  endResetModel();
}

// The "Change" column follows the plan's own columns while the plan is compared.
constexpr ListColumn kChangeColumn{"Change", 260};

std::int64_t TaskListModel::Columns() const {
  return std::ssize(TASK_LIST_COLUMNS) + (changes_ != nullptr ? 1 : 0);
}

std::int64_t TaskListModel::ColumnWidth(std::int64_t column) const {
  if (column == std::ssize(TASK_LIST_COLUMNS) && changes_ != nullptr) return kChangeColumn.Width;
  return column >= 0 && column < std::ssize(TASK_LIST_COLUMNS)
             ? TASK_LIST_COLUMNS[static_cast<std::size_t>(column)].Width
             : 0;
}

const char* TaskListModel::ColumnTitle(std::int64_t column) const {
  if (column == std::ssize(TASK_LIST_COLUMNS) && changes_ != nullptr) return kChangeColumn.Title;
  return column >= 0 && column < std::ssize(TASK_LIST_COLUMNS)
             ? TASK_LIST_COLUMNS[static_cast<std::size_t>(column)].Title
             : "";
}

std::string TaskListModel::CellText(std::int64_t row, std::int64_t column) const {
  if (column == std::ssize(TASK_LIST_COLUMNS)) return ChangeCell(changes_, ListRowTaskAt(rows_, row));
  return TaskListCell(*plan_, ListRowTaskAt(rows_, row), column);
}

std::string TaskListModel::WholeCellText(std::int64_t row, std::int64_t column) const {
  if (column == std::ssize(TASK_LIST_COLUMNS)) return CellText(row, column);
  return TaskListCell(*plan_, ListRowTaskAt(rows_, row), column, CellForm::Whole);
}

void TaskListModel::SetChanges(const PlanChanges* changes) {
  beginResetModel();
  changes_ = changes;
  endResetModel();
}

void ResourceListModel::Fill() {
  beginResetModel();
  rowCount_ =
      plan_->ProjectLoaded ? std::clamp<std::int64_t>(plan_->ResourceCount(), 0, std::ssize(plan_->Resources)) : 0;
  if (order_ != nullptr) rowCount_ = std::min<std::int64_t>(rowCount_, std::ssize(*order_));
  endResetModel();
}

void ResourceListModel::Clear() {
  beginResetModel();
  rowCount_ = 0;
  endResetModel();
}

std::int64_t ResourceListModel::Columns() const {
  return std::ssize(RESOURCE_LIST_COLUMNS);
}

std::int64_t ResourceListModel::ColumnWidth(std::int64_t column) const {
  return column >= 0 && column < Columns() ? RESOURCE_LIST_COLUMNS[static_cast<std::size_t>(column)].Width
                                           : 0;
}

const char* ResourceListModel::ColumnTitle(std::int64_t column) const {
  return column >= 0 && column < Columns() ? RESOURCE_LIST_COLUMNS[static_cast<std::size_t>(column)].Title
                                           : "";
}

std::string ResourceListModel::CellText(std::int64_t row, std::int64_t column) const {
  if (order_ != nullptr) {
    if (row < 0 || row >= std::ssize(*order_)) return {};
    return ResourceListCell(*plan_, (*order_)[static_cast<std::size_t>(row)], column);
  }
  return ResourceListCell(*plan_, row, column);
}

std::string ResourceListModel::WholeCellText(std::int64_t row, std::int64_t column) const {
  if (order_ != nullptr && (row < 0 || row >= std::ssize(*order_))) return {};
  const std::int64_t resource = order_ != nullptr ? (*order_)[static_cast<std::size_t>(row)] : row;
  return ResourceListCell(*plan_, resource, column, CellForm::Whole);
}

QTreeView* CreatePlanList(QWidget* page, PlanListModel* model) {
  auto* list = new QTreeView(page);
  list->setModel(model);
  list->setItemDelegate(new ListRowDelegate(list));
  list->setRootIsDecorated(false);
  list->setItemsExpandable(false);
  list->setExpandsOnDoubleClick(false);
  // Every row is one line: the view measures the first and lays out the rest at once.
  list->setUniformRowHeights(true);
  list->setWordWrap(false);
  list->setAllColumnsShowFocus(true);
  // Several rows can be selected for Copy (Shift and Ctrl with the pointer or the keys).
  list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list->setAlternatingRowColors(true);
  QHeaderView* header = list->header();
  header->setSectionsMovable(false);
  for (int column = 0; column < model->columnCount(); ++column) {
    list->setColumnWidth(column, NarrowToInt(model->ColumnWidth(column), 0));
  }
  // The last column takes whatever width the others leave, so that no room stays empty while
  // its texts are cut.
  header->setStretchLastSection(true);
  // A double-click on a header's edge fits the column to its contents (the tree view does the
  // fitting), measured over every row rather than those near the view...
  header->setResizeContentsPrecision(-1);
  // ...and kept within the width the list shows at once.
  QObject::connect(header, &QHeaderView::sectionHandleDoubleClicked, list, [list](int column) {
    const int width = NarrowToInt(FittedColumnWidth(list->columnWidth(column), list->viewport()->width()), 0);
    if (width != list->columnWidth(column)) list->setColumnWidth(column, width);
  });
  return list;
}

void FitLastColumn(QTreeView* list, std::int64_t wantedWidth) {
  const QAbstractItemModel* model = list->model();
  if (model == nullptr || model->columnCount() < 1) return;
  const int last = model->columnCount() - 1;
  int others = 0;
  for (int column = 0; column < last; ++column) others += list->columnWidth(column);
  // The room beside the others, with the vertical scroll bar a long list shows.
  const int room =
      list->viewport()->width() -
      (list->verticalScrollBar()->isVisible() ? 0 : list->style()->pixelMetric(QStyle::PM_ScrollBarExtent)) -
      others;
  constexpr int kNarrowest = 120;
  list->setColumnWidth(last, std::max(std::min(NarrowToInt(wantedWidth, 0), room), kNarrowest));
}

std::int64_t SelectedRow(const QAbstractItemView* list) {
  const QItemSelectionModel* selection = list->selectionModel();
  if (selection == nullptr) {
    return -1;
  }
  const QModelIndexList rows = selection->selectedRows();
  return rows.isEmpty() ? -1 : rows.constFirst().row();
}

bool SelectListRow(QAbstractItemView* list, std::int64_t row, QAbstractItemView::ScrollHint hint) {
  const QAbstractItemModel* model = list->model();
  if (model == nullptr || row < 0 || row >= model->rowCount()) {
    return false;
  }
  const QModelIndex index = model->index(static_cast<int>(row), 0);
  list->selectionModel()->setCurrentIndex(index,
                                          QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  list->scrollTo(index, hint);
  return true;
}

}  // namespace nerin
