// SPDX-License-Identifier: MIT
#include "app/list_models.h"

#include <algorithm>
#include <climits>

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QStyledItemDelegate>
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
};

}  // namespace

int PlanListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : NarrowToInt(Rows(), 0);
}

int PlanListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : NarrowToInt(Columns(), 0);
}

QVariant PlanListModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || index.model() != this) {
    return {};
  }
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

void TaskListModel::SetChanges(const PlanChanges* changes) {
  beginResetModel();
  changes_ = changes;
  endResetModel();
}

void ResourceListModel::Fill() {
  beginResetModel();
  rowCount_ =
      plan_->ProjectLoaded ? std::clamp<std::int64_t>(plan_->ResourceCount, 0, std::ssize(plan_->Resources)) : 0;
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
