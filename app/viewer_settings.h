// SPDX-License-Identifier: MIT
// What the viewer remembers between runs: the window's place, the chart's scale and task
// column, the last folder used and the recent plans. Kept with QSettings in the user's XDG
// configuration folder. Every value is checked when read: a missing, unreadable or damaged
// file gives the defaults, never an error, and a value out of its range is brought into it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <QList>
#include <QRect>
#include <QString>

namespace nerin {

inline constexpr std::size_t MAX_RECENT_PLANS = 10;
// Longer entries are no plan anyone opened from a menu: they are dropped when read.
inline constexpr qsizetype MAX_REMEMBERED_TEXT = 8192;

struct ViewerSettings {
  // The window's normal (not maximised) frame; none: the window sizes itself to the desktop.
  std::optional<QRect> WindowGeometry;
  bool Maximised = false;
  float DayWidth = 4.0f;
  std::int64_t TaskColumnWidth = 390;
  // Where the Open dialog starts; empty: the dialog's own choice.
  std::string LastFolder;
  // Files and addresses, newest first, no two alike, at most MAX_RECENT_PLANS.
  std::vector<std::string> RecentPlans;

  friend bool operator==(const ViewerSettings&, const ViewerSettings&) = default;
};

// The settings file: nerin/nerin-viewer.conf in the user's configuration folder
// ($XDG_CONFIG_HOME, else ~/.config).
QString ViewerSettingsPath();

// The settings in the file; the defaults for whatever is missing or unusable in it.
ViewerSettings LoadViewerSettings(const QString& path);
// The settings to start with: the defaults when the user asked to reset them (the file is
// overwritten at the next save), else those in the file.
ViewerSettings StartupSettings(const QString& path, bool reset);
// Writes the settings whole (a damaged file is replaced); false when the file could not be
// written, which the viewer does not report: it only forgets.
bool SaveViewerSettings(const QString& path, const ViewerSettings& settings);

// An opened plan goes to the front of the recent plans; an entry already there moves, and
// the oldest beyond MAX_RECENT_PLANS drops off. An empty source is not kept.
void RememberPlan(ViewerSettings& settings, std::string_view source);
// A recent plan that no longer opens leaves the list; false when it was not there.
bool ForgetPlan(ViewerSettings& settings, std::string_view source);

// Where the window goes with the remembered frame on these screens (their available areas):
// the frame as it was when enough of it (a 100 x 50 corner of its title area) is on a screen,
// else the same size within the first screen, else none (the window sizes itself). A frame
// below the window's minimum size grows to it.
std::optional<QRect> PlacedWindowGeometry(const std::optional<QRect>& remembered,
                                          const QList<QRect>& screens);

}  // namespace nerin
