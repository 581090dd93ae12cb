// SPDX-License-Identifier: MIT
#include "app/status_text.h"

#include "calendar/value_text.h"

namespace nerin {

StatusFieldContent ComposeStatusField(const Plan& plan, bool messagesMatchPlan, const MessageLog& log) {
  const std::int64_t errors = CountMessages(log, MessageLevel::Error);
  const std::int64_t warnings = CountMessages(log, MessageLevel::Warning);
  const std::int64_t infos = CountMessages(log, MessageLevel::Info);
  const std::string notes = infos > 0 ? " | " + IntegerText(infos) + " message(s)" : std::string();

  StatusFieldContent content;
  std::string timing;
  if (plan.ProjectLoaded && plan.LoadMilliseconds >= 0) {
    timing = " | loaded in " + FormatMilliseconds(plan.LoadMilliseconds);
    content.tooltip = plan.LoadReport;
  }

  if (plan.ProjectLoaded && !messagesMatchPlan) {
    content.background = STATUS_FAILED_BACKGROUND;
    content.text =
        "FAILED | " + IntegerText(errors) + " error(s) | previous project is still displayed" + timing;
  } else if (plan.ProjectLoaded && errors == 0) {
    const std::string facts = "loaded | " + IntegerText(plan.TaskCount()) + " tasks | " +
                              IntegerText(plan.ResourceCount()) + " resources | " +
                              IntegerText(TotalLinkCount(plan)) + " dependencies";
    if (warnings == 0) {
      content.background = STATUS_OK_BACKGROUND;
      content.text = "OK | " + facts + notes + timing;
    } else {
      content.background = STATUS_WARNING_BACKGROUND;
      content.text = "WARNING | " + facts + " | " + IntegerText(warnings) + " warning(s)" + notes + timing;
    }
  } else if (errors > 0) {
    content.background = STATUS_FAILED_BACKGROUND;
    content.text = "FAILED | " + IntegerText(errors) + " error(s)";
  } else {
    content.background = STATUS_READY_BACKGROUND;
    content.text = READY_STATUS_TEXT;
  }
  return content;
}

MessagesButtonContent ComposeMessagesButton(const Plan& plan, bool messagesMatchPlan, const MessageLog& log,
                                            bool failedReload) {
  MessagesButtonContent content;
  const std::int64_t errors = CountMessages(log, MessageLevel::Error);
  if (failedReload && plan.ProjectLoaded && errors > 0) {
    return {true, "View errors (" + IntegerText(errors) + ")"};
  }
  if (!plan.ProjectLoaded || !messagesMatchPlan) {
    return content;
  }
  const std::int64_t warnings = CountMessages(log, MessageLevel::Warning);
  const std::int64_t infos = CountMessages(log, MessageLevel::Info);
  if (warnings > 0) {
    content = {true, "View warnings (" + IntegerText(warnings) + ")"};
  } else if (infos > 0) {
    content = {true, "View messages (" + IntegerText(infos) + ")"};
  }
  return content;
}

std::string WindowTitleText(const Plan& plan) {
  if (plan.ProjectLoaded && !plan.ProjectName.empty()) {
    return plan.ProjectName + " - " + APP_TITLE;
  }
  return APP_TITLE;
}

std::string MessagesWindowTitle(const MessageLog& log) {
  if (CountMessages(log, MessageLevel::Error) >= 1) {
    return "Errors";
  }
  if (CountMessages(log, MessageLevel::Warning) >= 1) {
    return "Warnings";
  }
  if (CountMessages(log, MessageLevel::Info) >= 1) {
    return "Messages";
  }
  return {};
}

std::string NotLoadedTitle(const std::string& sourceKind) {
  return sourceKind + " not loaded";
}

}  // namespace nerin
