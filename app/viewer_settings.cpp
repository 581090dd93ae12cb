// SPDX-License-Identifier: MIT
#include "app/viewer_settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <QVariant>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <system_error>

#include "app/window_geometry.h"
#include "views/chart_view.h"

namespace nerin {

namespace {

constexpr auto kWindowX = "window/x";
constexpr auto kWindowY = "window/y";
constexpr auto kWindowWidth = "window/width";
constexpr auto kWindowHeight = "window/height";
constexpr auto kMaximised = "window/maximised";
constexpr auto kDayWidth = "chart/dayWidth";
constexpr auto kTaskColumnWidth = "chart/taskColumnWidth";
constexpr auto kLastFolder = "open/lastFolder";
constexpr auto kRecentPlans = "open/recentPlans";

// No screen is this large: a larger coordinate or size is damage, not a place.
constexpr qint64 kMaxCoordinate = 1'000'000;

// A text value; a value of any other kind (a damaged file can hold a serialised type) is none.
std::optional<QString> TextValue(const QSettings& settings, const char* key) {
  const QVariant value = settings.value(key);
  if (value.typeId() != QMetaType::QString) return std::nullopt;
  QString text = value.toString();
  if (text.size() > MAX_REMEMBERED_TEXT) return std::nullopt;
  return text;
}

std::optional<qint64> IntegerValue(const QSettings& settings, const char* key) {
  const std::optional<QString> text = TextValue(settings, key);
  if (!text) return std::nullopt;
  bool ok = false;
  const qint64 value = text->trimmed().toLongLong(&ok);
  if (!ok || value < -kMaxCoordinate || value > kMaxCoordinate) return std::nullopt;
  return value;
}

std::optional<double> NumberValue(const QSettings& settings, const char* key) {
  const std::optional<QString> text = TextValue(settings, key);
  if (!text) return std::nullopt;
  bool ok = false;
  const double value = text->trimmed().toDouble(&ok);
  if (!ok || !std::isfinite(value)) return std::nullopt;
  return value;
}

// A menu entry must be one line: a text with a control character is no plan's name.
bool UsableEntry(const QString& text) {
  if (text.isEmpty() || text.size() > MAX_REMEMBERED_TEXT) return false;
  return std::none_of(text.begin(), text.end(),
                      [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; });
}

std::vector<std::string> RecentPlansValue(const QSettings& settings) {
  const QVariant value = settings.value(kRecentPlans);
  QStringList entries;
  // One entry is read back as a text, several as a list.
  if (value.typeId() == QMetaType::QString) {
    entries.append(value.toString());
  } else if (value.typeId() == QMetaType::QStringList) {
    entries = value.toStringList();
  }
  ViewerSettings collected;
  // Oldest first, so that each one remembered goes in front of the older ones.
  for (auto entry = entries.crbegin(); entry != entries.crend(); ++entry) {
    if (UsableEntry(*entry)) RememberPlan(collected, entry->toStdString());
  }
  return collected.RecentPlans;
}

bool WriteSettingsFile(const QString& path, const ViewerSettings& settings);

}  // namespace

QString ViewerSettingsPath() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
         QStringLiteral("/nerin/nerin-viewer.conf");
}

ViewerSettings LoadViewerSettings(const QString& path) {
  ViewerSettings loaded;
  const QFileInfo file(path);
  if (!file.isFile() || !file.isReadable()) return loaded;
  const QSettings settings(path, QSettings::IniFormat);
  if (settings.status() != QSettings::NoError) return loaded;

  const auto x = IntegerValue(settings, kWindowX);
  const auto y = IntegerValue(settings, kWindowY);
  const auto width = IntegerValue(settings, kWindowWidth);
  const auto height = IntegerValue(settings, kWindowHeight);
  if (x && y && width && height && *width > 0 && *height > 0) {
    loaded.WindowGeometry = QRect(static_cast<int>(*x), static_cast<int>(*y), static_cast<int>(*width),
                                  static_cast<int>(*height));
  }
  loaded.Maximised = TextValue(settings, kMaximised).value_or(QString()) == QStringLiteral("true");
  if (const auto dayWidth = NumberValue(settings, kDayWidth)) {
    loaded.DayWidth =
        std::clamp(static_cast<float>(std::clamp(*dayWidth, -1e6, 1e6)), MIN_DAY_WIDTH, MAX_DAY_WIDTH);
  }
  if (const auto column = IntegerValue(settings, kTaskColumnWidth)) {
    loaded.TaskColumnWidth = std::clamp<std::int64_t>(*column, MIN_TASK_COLUMN_WIDTH, MAX_TASK_COLUMN_WIDTH);
  }
  if (const auto folder = TextValue(settings, kLastFolder);
      folder && UsableEntry(*folder) && QDir::isAbsolutePath(*folder)) {
    loaded.LastFolder = folder->toStdString();
  }
  loaded.RecentPlans = RecentPlansValue(settings);
  return loaded;
}

ViewerSettings StartupSettings(const QString& path, bool reset) {
  return reset ? ViewerSettings{} : LoadViewerSettings(path);
}

bool SaveViewerSettings(const QString& path, const ViewerSettings& settings) {
  if (!QDir().mkpath(QFileInfo(path).absolutePath())) return false;
  // Written whole beside the file and renamed over it: a damaged file is never merged into,
  // and a write that fails halfway leaves the old settings.
  const QString temporary = path + QStringLiteral(".new");
  QFile::remove(temporary);
  if (!WriteSettingsFile(temporary, settings)) {
    QFile::remove(temporary);
    return false;
  }
  std::error_code error;
  std::filesystem::rename(QFile::encodeName(temporary).toStdString(), QFile::encodeName(path).toStdString(),
                          error);
  if (error) QFile::remove(temporary);
  return !error;
}

namespace {

bool WriteSettingsFile(const QString& path, const ViewerSettings& settings) {
  QSettings file(path, QSettings::IniFormat);
  if (settings.WindowGeometry) {
    const QRect& frame = *settings.WindowGeometry;
    file.setValue(kWindowX, QString::number(frame.x()));
    file.setValue(kWindowY, QString::number(frame.y()));
    file.setValue(kWindowWidth, QString::number(frame.width()));
    file.setValue(kWindowHeight, QString::number(frame.height()));
  }
  file.setValue(kMaximised, settings.Maximised ? QStringLiteral("true") : QStringLiteral("false"));
  file.setValue(kDayWidth, QString::number(static_cast<double>(settings.DayWidth)));
  file.setValue(kTaskColumnWidth, QString::number(settings.TaskColumnWidth));
  if (!settings.LastFolder.empty()) file.setValue(kLastFolder, QString::fromStdString(settings.LastFolder));
  QStringList recent;
  for (const std::string& source : settings.RecentPlans) recent.append(QString::fromStdString(source));
  if (!recent.isEmpty()) file.setValue(kRecentPlans, recent);
  file.sync();
  return file.status() == QSettings::NoError;
}

}  // namespace

void RememberPlan(ViewerSettings& settings, std::string_view source) {
  if (source.empty()) return;
  ForgetPlan(settings, source);
  settings.RecentPlans.insert(settings.RecentPlans.begin(), std::string(source));
  if (settings.RecentPlans.size() > MAX_RECENT_PLANS) settings.RecentPlans.resize(MAX_RECENT_PLANS);
}

bool ForgetPlan(ViewerSettings& settings, std::string_view source) {
  const auto before = settings.RecentPlans.size();
  std::erase(settings.RecentPlans, source);
  return settings.RecentPlans.size() != before;
}

std::optional<QRect> PlacedWindowGeometry(const std::optional<QRect>& remembered,
                                          const QList<QRect>& screens) {
  if (!remembered || screens.isEmpty()) return std::nullopt;
  QRect frame = *remembered;
  frame.setWidth(std::max(frame.width(), static_cast<int>(MIN_WINDOW_WIDTH)));
  frame.setHeight(std::max(frame.height(), static_cast<int>(MIN_WINDOW_HEIGHT)));
  // The title area, by which the user moves the window, must be within reach.
  const QRect titleArea(frame.x(), frame.y(), frame.width(), 50);
  for (const QRect& screen : screens) {
    const QRect reachable = screen.intersected(titleArea);
    if (reachable.width() >= 100 && reachable.height() >= 50) return frame;
  }
  const QRect& first = screens.front();
  if (first.isEmpty()) return std::nullopt;
  QRect moved(0, 0, std::min(frame.width(), first.width()), std::min(frame.height(), first.height()));
  moved.moveCenter(first.center());
  return moved;
}

}  // namespace nerin
