// SPDX-License-Identifier: MIT
// The Tasks and Resources lists: item models that read their cells from the plan when a row is
// drawn (no item per cell is made, so ten thousand tasks appear at once), and the list views
// that show them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <QAbstractItemView>
#include <QAbstractTableModel>

#include "compare/plan_changes.h"
#include "model/plan.h"
#include "views/list_navigation.h"

class QTreeView;

namespace nerin {

class PlanListModel : public QAbstractTableModel {
 public:
  PlanListModel(const Plan& plan, QObject* parent) : QAbstractTableModel(parent), plan_(&plan) {}
  // The plan the cells are read from, from now on (the viewer's session replaces it whole).
  void SetPlan(const Plan& plan) { plan_ = &plan; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // The column widths of the list, in pixels.
  virtual std::int64_t ColumnWidth(std::int64_t column) const = 0;

 protected:
  virtual std::int64_t Rows() const = 0;
  virtual std::int64_t Columns() const = 0;
  virtual const char* ColumnTitle(std::int64_t column) const = 0;
  virtual std::string CellText(std::int64_t row, std::int64_t column) const = 0;
  // The cell's text whole, for the tooltip of a cell the list cuts.
  virtual std::string WholeCellText(std::int64_t row, std::int64_t column) const {
    return CellText(row, column);
  }

  const Plan* plan_;
};

// One row per task of the plan in plan order; with the critical filter on, the critical ones.
class TaskListModel final : public PlanListModel {
 public:
  TaskListModel(const Plan& plan, const TaskListRows& rows, QObject* parent);

  // The rows as the viewer session has just filled them.
  void ShowRows();
  void Clear();
  std::int64_t ColumnWidth(std::int64_t column) const override;
  // While the plan is compared with a reference version the list has one more column,
  // "Change"; null ends it.
  void SetChanges(const PlanChanges* changes);

 protected:
  std::int64_t Rows() const override { return rows_.RowCount; }
  std::int64_t Columns() const override;
  const char* ColumnTitle(std::int64_t column) const override;
  std::string CellText(std::int64_t row, std::int64_t column) const override;
  std::string WholeCellText(std::int64_t row, std::int64_t column) const override;

 private:
  const TaskListRows& rows_;
  const PlanChanges* changes_ = nullptr;
};

// One row per resource: in resource order, or in the order given (resource indexes, as the
// session sorts them) when there is one.
class ResourceListModel final : public PlanListModel {
 public:
  using PlanListModel::PlanListModel;
  ResourceListModel(const Plan& plan, const std::vector<std::int64_t>* order, QObject* parent)
      : PlanListModel(plan, parent), order_(order) {}

  void Fill();
  void Clear();
  std::int64_t ColumnWidth(std::int64_t column) const override;

 protected:
  std::int64_t Rows() const override { return rowCount_; }
  std::int64_t Columns() const override;
  const char* ColumnTitle(std::int64_t column) const override;
  std::string CellText(std::int64_t row, std::int64_t column) const override;
  std::string WholeCellText(std::int64_t row, std::int64_t column) const override;

 private:
  // The resource count when the list was filled; the list shows no more rows until refilled.
  std::int64_t rowCount_ = 0;
  const std::vector<std::int64_t>* order_ = nullptr;
};

// A report-style list on `page` over the model: header, single full-row selection, the model's
// column widths, rows of one line.
QTreeView* CreatePlanList(QWidget* page, PlanListModel* model);
// While comparing, the Tasks list's last column ("Change") takes the room the other columns
// leave, down to a width where its texts still read, so that the list needs no horizontal
// scroll bar at the window's usual size.
void FitLastColumn(QTreeView* list, std::int64_t wantedWidth);

// The selected row, -1 for none.
std::int64_t SelectedRow(const QAbstractItemView* list);
// Selects the row when it is in the list and scrolls it into view as the hint says; false
// when the row is not in the list.
bool SelectListRow(QAbstractItemView* list, std::int64_t row,
                   QAbstractItemView::ScrollHint hint = QAbstractItemView::EnsureVisible);

}  // namespace nerin
