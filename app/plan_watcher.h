// SPDX-License-Identifier: MIT
// Follows the file of the shown plan and says when it has changed, so that the viewer can
// read it again by itself. A change is reported only once the file has been quiet for a
// while, so that an export still being written is never read half-way; a burst of writes
// gives one report. Editors and exporters often save by writing a new file and renaming it
// over the old one, or by deleting and recreating it: the watcher keeps following the path,
// not the file that was there first.
#pragma once

#include <sys/types.h>

#include <functional>

#include <QFileSystemWatcher>
#include <QString>
#include <QTimer>

namespace nerin {

inline constexpr int PLAN_QUIET_MILLISECONDS = 500;

class PlanWatcher {
 public:
  // `changed` runs on the event loop, once per settled change.
  explicit PlanWatcher(std::function<void()> changed, int quietMilliseconds = PLAN_QUIET_MILLISECONDS);
  PlanWatcher(const PlanWatcher&) = delete;
  PlanWatcher& operator=(const PlanWatcher&) = delete;

  // Follows this path from now on (and no other); changes before this call are not reported.
  void Follow(const QString& path);
  // Follows nothing; a change waiting for quiet is dropped.
  void Stop();
  const QString& Path() const { return path_; }

 private:
  // What tells one version of the file from another: a new file, a write or a touch.
  struct Version {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    long long modifiedNs = 0;
    long long changedNs = 0;
    friend bool operator==(const Version&, const Version&) = default;
  };
  static Version VersionOf(const QString& path);

  void Watch();
  void Stirred(bool fileEvent);
  void Settled();

  std::function<void()> changed_;
  QFileSystemWatcher watcher_;
  QTimer quiet_;
  QString path_;
  QString folder_;
  Version reported_;         // the version the viewer last heard of
  dev_t watchedDevice_ = 0;  // the file the system watch is on
  ino_t watchedInode_ = 0;
  bool pending_ = false;
};

}  // namespace nerin
