// SPDX-License-Identifier: MIT
// The dialogs and windows the session asks the main window for: each runs modally and tells the
// session its outcome as an event (a source to open, a file written).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <QPoint>

#include "views/viewer_session.h"

namespace nerin {

class MainWindow;

// Runs a dialog other than printing and the chart's export; the folder of the file chosen in
// it, empty when none was.
std::string RunWindowDialog(MainWindow& window, const DialogRequest& request);
// Export of the chart: the PNG written here; the path of a PDF, which the window's pages write.
// `usedFolder` gets the folder of the file chosen.
std::optional<std::string> ExportChartImage(MainWindow& window, const std::string& folder, std::string& usedFolder);

// The selected rows of the list shown, none on the Gantt tab.
std::vector<std::int64_t> SelectedListRows(MainWindow& window);
// The lists' context menu: Copy and Export list.
void ShowListMenu(MainWindow& window, ViewKind view, const QPoint& at);

}  // namespace nerin
