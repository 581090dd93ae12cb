// SPDX-License-Identifier: MIT
// The Help and About windows.
#include <string>

#include "app/help_items.h"
#include "app/main_window.h"
#include "app/status_text.h"
#include "app/text_window.h"

#ifndef NERIN_VERSION
#error "NERIN_VERSION, the program's version number, comes from the build"
#endif
#ifndef NERIN_CONTACT
#error "NERIN_CONTACT, the maintainers' address, comes from the build"
#endif

namespace nerin {

void MainWindow::ShowHelp() {
  HelpDocument document;
  FillHelpDocument(document);
  RunTextWindow(this, std::string(APP_TITLE) + " - Help", 800, 760, document, icons_);
}

void MainWindow::ShowAbout() {
  HelpDocument document;
  FillAboutDocument(document, NERIN_VERSION, NERIN_CONTACT);
  RunTextWindow(this, std::string("About ") + APP_TITLE, 640, 380, document, icons_);
}

}  // namespace nerin
