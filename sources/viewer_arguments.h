// SPDX-License-Identifier: MIT
// What the viewer's command line asks for before any window opens: its help, its version, or a
// plan to open. No GUI here, so that --help and --version work without a display.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace nerin {

enum class ViewerAction {
  Open,     // start the window; planArguments name what to open
  Help,     // print ViewerHelpText and end
  Version,  // print ViewerVersionText and end
  Misuse,   // print `problem` and the hint to --help on stderr and end with status 2
};

struct ViewerRequest {
  ViewerAction action = ViewerAction::Open;
  std::string problem;                     // Misuse: one line, without the program name
  std::vector<std::string> planArguments;  // Open: the arguments for CommandLineSource
  bool resetSettings = false;              // Open: start with the default settings
};

// The program's arguments (without the program name). --help or -h anywhere before "--" wins,
// then --version or -V; an unknown "--word" or "-x" is a misuse. "/o" and everything that is
// not an option are plan arguments; "--" ends the options and is dropped. A single dash
// followed by a word ("-platform", "-style") is the toolkit's own option: the toolkit has taken
// those it knows before `toolkitDone` is set, so with it set one left over is a misuse, and
// without it such words and their values are passed over.
ViewerRequest ReadViewerArguments(const std::vector<std::string>& arguments, bool toolkitDone);

std::string ViewerHelpText();
// "nerin-viewer " + the version + a line feed.
std::string ViewerVersionText();
// The hint that follows every misuse.
inline constexpr std::string_view VIEWER_HELP_HINT = "Try 'nerin-viewer --help'.";

}  // namespace nerin
