// SPDX-License-Identifier: MIT
// The Help and About windows.
#include <string>

#include "app/help_items.h"
#include "app/help_windows.h"
#include "app/status_text.h"
#include "app/text_window.h"

#ifndef NERIN_VERSION
#error "NERIN_VERSION, the program's version number, comes from the build"
#endif
#ifndef NERIN_CONTACT
#error "NERIN_CONTACT, the maintainers' address, comes from the build"
#endif

namespace nerin {

void ShowHelpWindow(QWidget* parent, const ToolbarIconSet& icons) {
  HelpDocument document;
  FillHelpDocument(document);
  RunTextWindow(parent, std::string(APP_TITLE) + " - Help", 800, 760, document, icons);
}

void ShowAboutWindow(QWidget* parent, const ToolbarIconSet& icons) {
  HelpDocument document;
  FillAboutDocument(document, NERIN_VERSION, NERIN_CONTACT);
  RunTextWindow(parent, std::string("About ") + APP_TITLE, 640, 380, document, icons);
}

}  // namespace nerin
