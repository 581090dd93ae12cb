// The Help and About windows.
#include "app/main_window.h"

namespace nerin {

void MainWindow::ShowHelp() {}

void MainWindow::ShowAbout() {}

}  // namespace nerin
