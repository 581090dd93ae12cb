// SPDX-License-Identifier: MIT
// Message boxes and the messages window; each returns when the user has closed it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include <QRect>
#include <QSize>

class QWidget;

namespace nerin {

enum class BoxIcon { Information, Error };

// The inner geometry of a window that asks for `requested` on the parent's screen: that size,
// centred, where the screen's available area has room for it and its frame; else as much as
// fits, so that everything at its bottom edge stays on screen.
QRect FittedGeometry(const QWidget* parent, QSize requested);

void ShowMessageBox(QWidget* parent, const std::string& title, const std::string& text, BoxIcon icon);

// A window centred on the screen, as large as the body needs up to 900 x 620 (less on a smaller
// screen), with the body as read-only, word-wrapped text that has the keyboard focus, and a
// Close button.
void RunMessagesWindow(QWidget* parent, const std::string& title, const std::string& body);

// An open or save dialog; the path chosen (as the file system spells it), empty when the user
// cancelled. A typed name that does not exist is passed on, and reported by whatever reads it.
struct FileDialogRequest {
  std::string Title;
  bool Save = false;
  std::vector<std::string> Filters;  // "Plans (*.xml *.mpp *.XML *.MPP)"
  std::string ProposedName;          // a save dialog's name to start with
  bool ConfirmOverwrite = true;
  std::string Folder;  // where the dialog starts; empty: the toolkit's choice
};
std::string AskForFile(QWidget* parent, const FileDialogRequest& request);
// The web-address dialog, offering the last address; empty when cancelled or left empty.
std::string AskForAddress(QWidget* parent, const std::string& lastAddress);

// Compare with…'s dialogs: the reference version's file, starting in `folder` (a name that does
// not exist is passed on; empty when cancelled), and its web address offering the last address, spaces trimmed
// (nothing when cancelled; an empty or other address is the caller's to refuse).
std::string AskForReferenceFile(QWidget* parent, const std::string& folder);
std::optional<std::string> AskForReferenceAddress(QWidget* parent, const std::string& lastAddress);

// The busy pointer while work that the window waits for runs; restored however the work ends.
class BusyPointer {
 public:
  BusyPointer();
  ~BusyPointer();
  BusyPointer(const BusyPointer&) = delete;
  BusyPointer& operator=(const BusyPointer&) = delete;
};

}  // namespace nerin
