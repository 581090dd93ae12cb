// SPDX-License-Identifier: MIT
#include "sources/viewer_arguments.h"

#ifndef NERIN_VERSION
#error "NERIN_VERSION, the program's version number, comes from the build"
#endif

namespace nerin {

namespace {

bool IsHelp(std::string_view argument) {
  return argument == "--help" || argument == "-h";
}

bool IsVersion(std::string_view argument) {
  return argument == "--version" || argument == "-V";
}

// "-platform", "-style": one dash and a word, as the toolkit writes its own options.
bool IsToolkitOption(std::string_view argument) {
  return argument.size() > 2 && argument[0] == '-' && argument[1] != '-';
}

}  // namespace

ViewerRequest ReadViewerArguments(const std::vector<std::string>& arguments, bool toolkitDone) {
  ViewerRequest request;
  bool optionsEnded = false;
  bool versionAsked = false;
  for (const std::string& argument : arguments) {
    if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
      request.planArguments.push_back(argument);
    } else if (argument == "--") {
      optionsEnded = true;
    } else if (IsHelp(argument)) {
      // Help is asked for to learn how to go on: it wins over everything else on the line.
      request.action = ViewerAction::Help;
      request.problem.clear();
      request.planArguments.clear();
      return request;
    } else if (IsVersion(argument)) {
      versionAsked = true;
    } else if (argument == "--reset-settings") {
      request.resetSettings = true;
    } else if (IsToolkitOption(argument)) {
      if (toolkitDone && request.problem.empty()) request.problem = "unrecognized option '" + argument + "'";
    } else if (request.problem.empty()) {
      request.problem = argument[1] == '-' ? "unrecognized option '" + argument + "'"
                                           : "invalid option -- '" + argument.substr(1) + "'";
    }
  }
  if (!request.problem.empty()) {
    request.action = ViewerAction::Misuse;
    request.planArguments.clear();
  } else if (versionAsked) {
    request.action = ViewerAction::Version;
    request.planArguments.clear();
  }
  return request;
}

std::string ViewerHelpText() {
  return "Usage: nerin-viewer [OPTION]... [PLAN]\n"
         "       nerin-viewer /o PLAN\n"
         "Show a Microsoft Project plan (its XML export or an .mpp file), read-only.\n"
         "\n"
         "PLAN is one of:\n"
         "  a file path                    plan.xml, /home/me/plans/plan.xml\n"
         "  a file: URI                    file:///home/me/My%20plans/plan.xml\n"
         "  an http:// or https:// address https://host/plans/plan.xml\n"
         "Only the first PLAN is opened; \"/o\" (any case) names the plan to open even after\n"
         "another. Without a PLAN the window opens empty.\n"
         "\n"
         "Options:\n"
         "  -h, --help       print this text and exit\n"
         "  -V, --version    print the version and exit\n"
         "  --reset-settings start with the default window, scale, folder and no recent plans\n"
         "                   (the remembered ones are replaced when the window closes)\n"
         "  --               end of options: what follows is a PLAN even if it starts with \"-\"\n"
         "The toolkit's own options (such as -platform NAME or -style NAME) are accepted too.\n"
         "\n"
         "The viewer never writes to a plan. For scripts, nerin-cli writes the model dump, the\n"
         "load report and the Gantt chart as PNG without a window (see nerin-cli --help).\n"
         "\n"
         "The window's size and place, the chart's scale and task column, the last folder and\n"
         "the ten most recent plans are kept in $XDG_CONFIG_HOME/nerin/nerin-viewer.conf\n"
         "(~/.config/nerin/nerin-viewer.conf when XDG_CONFIG_HOME is not set).\n"
         "Exit status: 0, or 2 for wrong usage.\n";
}

std::string ViewerVersionText() {
  return std::string("nerin-viewer ") + NERIN_VERSION + "\n";
}

}  // namespace nerin
