// SPDX-License-Identifier: MIT
// Driving a viewer session in tests: events with their time, a plan opened as the window opens
// one, and the effects' request read back by kind.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "model/message_log.h"
#include "views/viewer_session.h"

namespace nerin::test {

// An event and the clock it arrives at.
struct Timed {
  SessionEvent Event;
  SessionClock Clock;
};

inline Timed Cmd(Command command, std::int64_t now = 0, DayOrdinal today = 0) {
  return {CommandEvent{command}, {now, today}};
}
inline Timed Key(NavigationKey key, std::int64_t now = 0) {
  return {KeyEvent{key}, {now, 0}};
}
inline Timed Ptr(PointerAction action, std::int64_t x, std::int64_t y, bool leftHeld = false, std::int64_t now = 0) {
  return {PointerEvent{action, x, y, leftHeld}, {now, 0}};
}
inline Timed Whl(std::int64_t notches, bool shift, std::int64_t x, std::int64_t now = 0) {
  return {WheelEvent{notches, shift, x}, {now, 0}};
}
inline Timed Rsz(std::int64_t width, std::int64_t height, std::int64_t listHeight, std::int64_t now = 0) {
  return {ResizeEvent{width, height, listHeight}, {now, 0}};
}
inline Timed Tmr(SessionTimer timer, std::int64_t now = 0) {
  return {TimerEvent{timer}, {now, 0}};
}

inline SessionEffects Fire(ViewerSession& session, const Timed& timed) {
  return session.Apply(timed.Event, timed.Clock);
}

// The end of a load as the window reports it: the plan read (null: the shown plan stays), and
// the attempt's messages, one ERROR when it failed.
inline OpenFinishedEvent Finished(const std::string& source, bool loaded, std::shared_ptr<const Plan> plan) {
  auto log = std::make_shared<MessageLog>();
  if (!loaded) AddMessage(*log, MessageLevel::Error, "broken");
  return OpenFinishedEvent{source, loaded, std::move(plan), std::move(log)};
}

// A plan opened from a file of that name as the window opens one: the source chosen, then its
// end, bringing `plan` (null: a load that failed before its model, the shown plan stays). The
// effects of the end.
inline SessionEffects OpenPlan(ViewerSession& session, std::shared_ptr<const Plan> plan,
                               const std::string& name = "plan.xml", bool loaded = true,
                               OpenOrigin origin = OpenOrigin::Dialog) {
  OpenSourceEvent source;
  source.Source = "/plans/" + name;
  source.Name = name;
  source.Folder = "/plans";
  source.Origin = origin;
  session.Apply(source);
  return session.Apply(Finished(source.Source, loaded, std::move(plan)));
}

// The end of the load the session asked for last (a reload, say): loaded, the plan shown read
// again; failed, the plan stays or (planLeft false) an emptied plan takes its place.
inline SessionEffects FinishLoad(ViewerSession& session, bool loaded, bool planLeft = true) {
  const auto& load = session.State().Opening.Load;
  const std::string source = load ? load->Source : std::string();
  std::shared_ptr<const Plan> plan;
  if (loaded) plan = session.HeldPlan();
  if (!loaded && !planLeft) plan = std::make_shared<const Plan>();
  return session.Apply(Finished(source, loaded, std::move(plan)));
}

inline std::optional<MessageBoxRequest> Box(const SessionEffects& effects) {
  if (const auto* box = RequestOf<MessageBoxRequest>(effects)) return *box;
  return std::nullopt;
}
inline std::optional<std::string> Clip(const SessionEffects& effects) {
  if (const auto* clip = RequestOf<ClipboardRequest>(effects)) return clip->Text;
  return std::nullopt;
}
inline std::int64_t Details(const SessionEffects& effects) {
  const auto* details = RequestOf<DetailsRequest>(effects);
  return details != nullptr ? details->Task : -1;
}
inline WindowAction Opened(const SessionEffects& effects) {
  const auto* dialog = RequestOf<DialogRequest>(effects);
  return dialog != nullptr ? dialog->Dialog : WindowAction::None;
}
inline bool Reads(const SessionEffects& effects) {
  return RequestOf<ReadRequest>(effects) != nullptr;
}

}  // namespace nerin::test
