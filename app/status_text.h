// SPDX-License-Identifier: MIT
// The texts and colours that report the last open: status line, messages button, titles.
#pragma once

#include <string>

#include "model/message_log.h"
#include "model/plan.h"
#include "views/chart_colours.h"

namespace nerin {

inline constexpr const char* APP_TITLE = "Nerin Plan Viewer";
inline constexpr const char* READY_STATUS_TEXT = "READY | Open or drag an MS Project plan (.xml or .mpp)";

struct StatusFieldContent {
  std::string text;
  Rgb background;
  std::string tooltip;  // the load report of the shown plan, or empty
};
// `messagesMatchPlan`: the messages are the plan's own, not those of a later attempt that
// failed while the plan stayed.
StatusFieldContent ComposeStatusField(const Plan& plan, bool messagesMatchPlan, const MessageLog& log);

struct MessagesButtonContent {
  bool visible = false;
  std::string label;
};
// `failedReload`: a reload the viewer started by itself failed, and the plan shown stays; the
// button then offers the attempt's messages.
MessagesButtonContent ComposeMessagesButton(const Plan& plan, bool messagesMatchPlan, const MessageLog& log,
                                            bool failedReload = false);

// "<project> - Nerin Plan Viewer", or the program name alone.
std::string WindowTitleText(const Plan& plan);
// Title of the window the messages button opens: "Errors", "Warnings", "Messages", or empty
// when there is nothing to show.
std::string MessagesWindowTitle(const MessageLog& log);
// "File not loaded", "Address not loaded".
std::string NotLoadedTitle(const std::string& sourceKind);
}  // namespace nerin
