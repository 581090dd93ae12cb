// SPDX-License-Identifier: MIT
// The viewer's one set of state: the plan, its messages and the session over them.
#pragma once

#include <string>

#include "model/message_log.h"
#include "model/plan.h"
#include "views/viewer_session.h"

namespace nerin {

struct AppState {
  Plan plan;
  MessageLog log;
  // Last address opened from the command line or the web-address dialog.
  std::string LastAddress;
  // Everything the window shows and decides: chart, lists, Find, hover, feedback.
  ViewerSession session{plan};
};

}  // namespace nerin
