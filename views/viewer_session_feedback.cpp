// SPDX-License-Identifier: MIT
// The session's feedback: a toolbar button flashing with a message held in the status line,
// the reports of files written, and the commands refused while a plan is being opened.
#include <algorithm>

#include "views/viewer_session_step.h"

namespace nerin::session {

namespace {

constexpr std::int64_t SAVED_FLASHES = 2;
constexpr std::int64_t REFUSED_FLASHES = 3;

}  // namespace

void ShowFeedback(Step& step, ToolbarIcon button, ToolbarIcon icon, std::int64_t flashes,
                  const std::string& message) {
  FeedbackState& f = step.s.Feedback;
  if (f.Button) {
    step.out.Timers.Feedback = TimerAction::Stop;
    step.out.Toolbar.Icons.push_back({*f.Button, *f.Button});
  }
  f.Button = button;
  f.Icon = icon;
  f.FlashTicks = 2 * std::max<std::int64_t>(flashes, 0);
  step.out.Toolbar.Icons.push_back({button, icon});
  f.ShowsMessage = !message.empty();
  f.MessageTicks = message.empty() ? 0 : FEEDBACK_MESSAGE_TICKS;
  if (!message.empty()) step.out.Status.Feedback = message;
  step.out.Timers.Feedback = TimerAction::Start;
}

void FeedbackTick(Step& step) {
  FeedbackState& f = step.s.Feedback;
  if (!f.Button) {
    step.out.Timers.Feedback = TimerAction::Stop;
    return;
  }
  const ToolbarIcon button = *f.Button;
  if (f.FlashTicks > 0) {
    --f.FlashTicks;
    // The first tick shows the normal icon, the next the feedback icon, and so on; the last
    // flash tick leaves the normal icon.
    const bool flash = f.FlashTicks > 0 && f.FlashTicks % 2 == 0;
    step.out.Toolbar.Icons.push_back({button, flash ? f.Icon : button});
  }
  if (f.MessageTicks > 0) --f.MessageTicks;
  if (f.FlashTicks == 0 && f.MessageTicks == 0) {
    step.out.Timers.Feedback = TimerAction::Stop;
    step.out.Toolbar.Icons.push_back({button, button});
    f.Button.reset();
    if (f.ShowsMessage) {
      f.ShowsMessage = false;
      step.out.Status.Compose = true;
    }
  }
}

void FileWritten(Step& step, const FileWrittenEvent& event) {
  if (!event.InBox && event.Report.find('\n') == std::string::npos) {
    ShowFeedback(step, ToolbarIcon::Export, ToolbarIcon::ExportFeedback, event.Saved ? SAVED_FLASHES : REFUSED_FLASHES,
                 event.Report);
    step.out.Status.FeedbackSucceeded = event.Saved;
  } else {
    step.out.Request = MessageBoxRequest{event.Title, event.Report, event.LongIsError || !event.Saved};
  }
}

// The commands that read the whole plan wait for the one being opened: what they wrote or
// showed would be of the plan about to go.
bool RefusedWhileLoading(Step& step, Command command) {
  const std::optional<LoadUnderWay>& load = step.s.Opening.Load;
  if (!load) return false;
  switch (command) {
    case Command::Export:
    case Command::ExportList:
    case Command::Print:
    case Command::PrintPreview:
    case Command::ModelDump:
    case Command::CompareAddress:
    case Command::FindNext:
      break;
    case Command::Compare:
      // Stopping a comparison needs no plan.
      if (Comparing(step.s)) return false;
      break;
    default:
      return false;
  }
  const bool find = command == Command::FindNext;
  RefuseWhileLoading(step, find ? ToolbarIcon::Find : ToolbarIcon::Export,
                     find ? ToolbarIcon::FindFeedback : ToolbarIcon::ExportFeedback, REFUSED_FLASHES);
  if (command == Command::Compare || command == Command::CompareAddress) step.out.Toolbar.CompareChecked = false;
  return true;
}

void RefuseWhileLoading(Step& step, ToolbarIcon button, ToolbarIcon icon, std::int64_t flashes) {
  if (!step.s.Opening.Load) return;
  ShowFeedback(step, button, icon, flashes, "Wait until " + step.s.Opening.Load->Name + " has opened, or press Stop (Esc).");
}

}  // namespace nerin::session
