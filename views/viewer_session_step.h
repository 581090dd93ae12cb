// SPDX-License-Identifier: MIT
// Inside the viewer session: one event's work (the session, the clock and the effects gathered
// so far) and the steps the files of the session share. Not for use outside views/.
#pragma once

#include <cstdint>
#include <string>

#include "views/viewer_session.h"

namespace nerin::session {

// The session's queries, on its state.
bool Comparing(const SessionState& s);
bool Loading(const SessionState& s);
bool GanttWithPlan(const SessionState& s);
std::string DialogFolder(const SessionState& s);
std::int64_t ListRowOfRecord(const SessionState& s, ViewKind list, std::int64_t record);

struct Step {
  SessionState& s;
  const SessionClock& clock;
  SessionEffects& out;

  const Plan& plan() const { return *s.Shown; }
  bool Loaded() const { return s.Shown->ProjectLoaded; }
  std::int64_t Now() const { return clock.Now; }
};

// Chart and navigation (viewer_session_chart.cpp).
void DrawChart(Step& step);
void DrawNow(Step& step);
void RequestRedraw(Step& step);
void RequestRelayout(Step& step);
void Show(Step& step, ViewUpdate update);
void UpdateMetrics(Step& step);
void ShowNoScrolling(Step& step);
void SwitchView(Step& step, ViewKind view);
void NavigateByKey(Step& step, NavigationKey key);
void Resize(Step& step, const ResizeEvent& event);
void Pointer(Step& step, const PointerEvent& event);
void Wheel(Step& step, const WheelEvent& event);
void FollowLink(Step& step, std::int64_t target);
void RedrawTimerTick(Step& step);
// The chart's commands: zoom, fit, Today, folding, the critical filter.
bool ChartCommand(Step& step, Command command);

// Lists and sort (viewer_session_lists.cpp).
void FillTaskList(Step& step);
void FillResourceList(Step& step);
std::int64_t ListRowCount(const SessionState& s, ViewKind list);
std::int64_t RecordAtRow(const SessionState& s, ViewKind list, std::int64_t row);
std::int64_t& Selection(SessionState& s, ViewKind list);
bool SelectRow(Step& step, ViewKind list, std::int64_t row, bool focus, bool atTop = false);
void FitOrRefresh(Step& step);
void Copy(Step& step, const CopyEvent& event);
void HeaderClicked(Step& step, const HeaderEvent& event);
void ListDoubleClick(Step& step);
void OpenDetails(Step& step, std::int64_t task);

// Find and hover (viewer_session_find.cpp).
void FindNext(Step& step, const std::string& text);
void HideHoverSummary(Step& step);
void ApplyHover(Step& step, const HoverActions& actions, bool draw);
void HoverTimerTick(Step& step);

// Feedback (viewer_session_feedback.cpp).
void ShowFeedback(Step& step, ToolbarIcon button, ToolbarIcon icon, std::int64_t flashes,
                  const std::string& message);
void FeedbackTick(Step& step);
void FileWritten(Step& step, const FileWrittenEvent& event);
// A command that needs the plan refused while a load runs; true when it was.
bool RefusedWhileLoading(Step& step, Command command);
// The refusal said, the button flashing as many times (none: the message alone).
void RefuseWhileLoading(Step& step, ToolbarIcon button, ToolbarIcon icon, std::int64_t flashes);

// Comparing (viewer_session_compare.cpp).
void ShowComparison(Step& step);
void StopComparing(Step& step);
void StartComparing(Step& step, WindowAction dialog);
void CompareFinished(Step& step, const CompareFinishedEvent& event);
// The comparison matched again, by UID, against the plan now shown.
void CompareAgain(Step& step);
// Esc registered while a load runs or a plan is compared.
bool EscapeWanted(const SessionState& s);

// Opening and reload (viewer_session_opening.cpp).
void OpenSource(Step& step, const OpenSourceEvent& event);
void OpenFinished(Step& step, const OpenFinishedEvent& event);
void Reload(Step& step, bool asked);
void FileChanged(Step& step, const FileChangedEvent& event);
void DialogClosed(Step& step);
void StopLoad(Step& step);
void LoadProgress(Step& step, std::int64_t bytes);
void StartNewPlan(Step& step);
DialogRequest Dialog(const SessionState& s, WindowAction dialog);

}  // namespace nerin::session
