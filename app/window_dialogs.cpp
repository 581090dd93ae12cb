// SPDX-License-Identifier: MIT
#include "app/window_dialogs.h"

#include <QFile>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QMenu>
#include <QTreeView>

#include "app/help_windows.h"
#include "app/main_window.h"
#include "app/modal_windows.h"
#include "app/print_dialogs.h"
#include "sources/plan_source.h"
#include "app/status_text.h"
#include "calendar/local_today.h"
#include "calendar/path_text.h"
#include "model/atomic_file.h"
#include "model/model_dump.h"
#include "views/chart_export.h"
#include "views/gantt_chart.h"
#include "views/list_csv.h"
#include "views/qt/chart_image.h"
#include "views/qt/qt_text.h"

namespace nerin {

namespace {

std::string FolderOf(const std::string& path) {
  return PathFromQString(QFileInfo(LocalPath(path)).absolutePath());
}

// Written whole or not at all: a file that was there stays as it was on failure.
void WriteForUser(MainWindow& window, const std::string& title, const std::string& path, const std::string& text,
                  const std::string& written) {
  if (!WriteFileAtomically(path, text)) {
    window.Send(FileWrittenEvent{title, "The file could not be written.", false, true, true});
    return;
  }
  window.Send(FileWrittenEvent{title, written + std::string(PathNamePart(path)), true, false});
}

std::string SaveModelDump(MainWindow& window, const std::string& folder) {
  // The plan and messages held: the session may move on while the dialog is open.
  const std::shared_ptr<const Plan> plan = window.Session().HeldPlan();
  const std::shared_ptr<const MessageLog> log = window.Session().State().Log;
  const std::string path = AskForFile(
      &window, {"Save model dump", true, {"Text (*.txt)"}, ModelDumpDefaultName(plan->ProjectName), false, folder});
  if (path.empty()) return {};
  // A full disk shows only when the data is written out; that is no success either.
  WriteForUser(window, "Model dump", path, ModelDumpText(*plan, *log, plan->ProjectLoaded), "Model dump written to ");
  return FolderOf(path);
}

std::string ExportListCsv(MainWindow& window, const std::string& folder) {
  const ViewerSession& session = window.Session();
  const ViewKind view = session.State().CurrentView;
  if (view == ViewKind::Gantt) return {};
  const bool tasks = view == ViewKind::Tasks;
  const std::shared_ptr<const Plan> plan = session.HeldPlan();
  // The records as the list shows them when the dialog opens.
  const std::vector<std::int64_t> records = session.ListRecords(view);
  const std::string proposed = SafeFileName(plan->ProjectName, "plan") + (tasks ? "-tasks.csv" : "-resources.csv");
  std::string path = AskForFile(&window, {"Export list", true, {"CSV file (*.csv)"}, proposed, true, folder});
  if (path.empty()) return {};
  if (QFileInfo(LocalPath(path)).suffix().isEmpty()) path += ".csv";
  WriteForUser(window, "Export list", path,
               ListCsv(*plan, tasks ? PlanList::Tasks : PlanList::Resources, records,
                       session.Comparing() ? session.State().Comparison.Changes : nullptr),
               "List written to ");
  return FolderOf(path);
}

void CompareWithAddress(MainWindow& window, const std::string& lastAddress) {
  const std::optional<std::string> address = AskForReferenceAddress(&window, lastAddress);
  if (!address) return;
  if (ClassifySource(*address) != SourceKind::Address) {
    OpenSourceEvent refused;
    refused.Origin = OpenOrigin::Reference;
    refused.Supported = false;
    window.Send(refused);
    return;
  }
  window.Open(*address, OpenOrigin::Reference);
}

}  // namespace

std::string RunWindowDialog(MainWindow& window, const DialogRequest& request) {
  switch (request.Dialog) {
    case WindowAction::OpenFileDialog: {
      // File names on this system are case-sensitive; the extension test is not.
      const std::string path = AskForFile(
          &window, {"Open MS Project plan", false, {"Plans (*.xml *.mpp *.XML *.MPP)", "All files (*)"}, "", true, request.Folder});
      if (!path.empty()) window.Open(path, OpenOrigin::Dialog);
      return {};
    }
    case WindowAction::OpenAddressDialog: {
      const std::string address = AskForAddress(&window, request.LastAddress);
      if (!address.empty()) window.Open(address, OpenOrigin::Dialog);
      return {};
    }
    case WindowAction::Compare: {
      const std::string path = AskForReferenceFile(&window, request.Folder);
      if (!path.empty()) window.Open(path, OpenOrigin::Reference);
      return {};
    }
    case WindowAction::CompareAddress:
      CompareWithAddress(window, request.LastAddress);
      return {};
    case WindowAction::SaveModelDump:
      return SaveModelDump(window, request.Folder);
    case WindowAction::ExportList:
      return ExportListCsv(window, request.Folder);
    case WindowAction::Help:
      ShowHelpWindow(&window, window.Icons());
      return {};
    case WindowAction::About:
      ShowAboutWindow(&window, window.Icons());
      return {};
    case WindowAction::MessagesWindow: {
      const MessageLog& log = window.Session().ShownLog();
      const std::string title = MessagesWindowTitle(log);
      if (!title.empty()) RunMessagesWindow(&window, title, MessageListText(log));
      return {};
    }
    default:
      return {};
  }
}

std::optional<std::string> ExportChartImage(MainWindow& window, const std::string& folder, std::string& usedFolder) {
  const std::optional<ChartFileChoice> choice =
      AskForChartFile(&window, LocalPath(folder), window.Session().ShownPlan().ProjectName);
  if (!choice) return std::nullopt;
  const std::string chosen = PathFromQString(choice->File);
  usedFolder = FolderOf(chosen);
  if (ExportAsPdf(chosen, choice->PdfChosen)) return WithPdfExtension(chosen);
  const std::string path = WithPngExtension(chosen);
  ExportResult result;
  {
    // The export blocks the window for a moment on a large chart.
    const BusyPointer busy;
    // The image shows what the chart shows, a comparison included.
    result = ExportWholeChart(window.ShownFrame(), window.Fonts(), path);
  }
  window.Send(FileWrittenEvent{std::string(EXPORT_DIALOG_TITLE), ExportReportText(result),
                               result.Status == ExportStatus::Saved, false});
  return std::nullopt;
}

std::vector<std::int64_t> SelectedListRows(MainWindow& window) {
  std::vector<std::int64_t> rows;
  const ViewKind view = window.Session().State().CurrentView;
  if (view == ViewKind::Gantt) return rows;
  const QItemSelectionModel* selection = ListOf(window.Controls(), view)->selectionModel();
  if (selection == nullptr) return rows;
  for (const QModelIndex& index : selection->selectedRows()) rows.push_back(index.row());
  return rows;
}

void ShowListMenu(MainWindow& window, ViewKind view, const QPoint& at) {
  QMenu menu(&window);
  QAction* copy = menu.addAction(QStringLiteral("Copy"));
  copy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
  copy->setEnabled(!SelectedListRows(window).empty());
  QAction* exportList = menu.addAction(QStringLiteral("Export list\u2026"));
  exportList->setEnabled(window.Session().ShownPlan().ProjectLoaded);
  QAction* chosen = menu.exec(ListOf(window.Controls(), view)->viewport()->mapToGlobal(at));
  if (chosen == copy) {
    window.RunCommand(Command::Copy);
  } else if (chosen == exportList) {
    window.RunCommand(Command::ExportList);
  }
}

}  // namespace nerin
