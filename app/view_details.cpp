// The task details window and the hover summary.
#include "app/main_window.h"

namespace nerin {

void MainWindow::HideHoverSummary() {}

void MainWindow::OpenTaskDetailsFromList() {}

}  // namespace nerin
