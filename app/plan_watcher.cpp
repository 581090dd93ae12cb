// SPDX-License-Identifier: MIT
#include "app/plan_watcher.h"

#include <sys/stat.h>

#include <QFile>
#include <QFileInfo>

#include <utility>

namespace nerin {

PlanWatcher::PlanWatcher(std::function<void()> changed, int quietMilliseconds)
    : changed_(std::move(changed)) {
  quiet_.setSingleShot(true);
  quiet_.setInterval(quietMilliseconds);
  QObject::connect(&quiet_, &QTimer::timeout, &quiet_, [this] { Settled(); });
  QObject::connect(&watcher_, &QFileSystemWatcher::fileChanged, &watcher_, [this](const QString& path) {
    if (path == path_) Stirred(true);
  });
  QObject::connect(&watcher_, &QFileSystemWatcher::directoryChanged, &watcher_,
                   [this](const QString& folder) {
                     if (folder == folder_) Stirred(false);
                   });
}

PlanWatcher::Version PlanWatcher::VersionOf(const QString& path) {
  struct stat status {};
  if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &status) != 0 ||
      !S_ISREG(status.st_mode)) {
    return {};
  }
  Version version;
  version.exists = true;
  version.device = status.st_dev;
  version.inode = status.st_ino;
  version.size = status.st_size;
  version.modifiedNs =
      static_cast<long long>(status.st_mtim.tv_sec) * 1'000'000'000LL + status.st_mtim.tv_nsec;
  version.changedNs =
      static_cast<long long>(status.st_ctim.tv_sec) * 1'000'000'000LL + status.st_ctim.tv_nsec;
  return version;
}

void PlanWatcher::Follow(const QString& path) {
  Stop();
  path_ = QFileInfo(path).absoluteFilePath();
  folder_ = QFileInfo(path_).absolutePath();
  reported_ = VersionOf(path_);
  Watch();
}

void PlanWatcher::Stop() {
  quiet_.stop();
  pending_ = false;
  if (!watcher_.files().isEmpty()) watcher_.removePaths(watcher_.files());
  if (!watcher_.directories().isEmpty()) watcher_.removePaths(watcher_.directories());
  path_.clear();
  folder_.clear();
  reported_ = {};
}

// The folder tells when a file of the plan's name appears again after a rename or a delete;
// the file itself tells of writes in place. The system drops a file's watch when the file
// goes, so it is set again whenever the file is there.
// A file renamed over the plan while the old one is still open somewhere keeps the old file
// alive, and with it the old watch: the watch is moved to whichever file now has the name.
void PlanWatcher::Watch() {
  if (path_.isEmpty()) return;
  if (!watcher_.directories().contains(folder_) && QFileInfo(folder_).isDir()) watcher_.addPath(folder_);
  const Version now = VersionOf(path_);
  const bool watched = watcher_.files().contains(path_);
  if (watched && (!now.exists || now.inode != watchedInode_ || now.device != watchedDevice_)) {
    watcher_.removePath(path_);
  }
  if (now.exists && !watcher_.files().contains(path_) && watcher_.addPath(path_)) {
    watchedDevice_ = now.device;
    watchedInode_ = now.inode;
  }
}

void PlanWatcher::Stirred(bool fileEvent) {
  Watch();
  // Other files in the folder come and go; only a new version of the plan's file counts.
  if (!fileEvent && !pending_ && VersionOf(path_) == reported_) return;
  pending_ = true;
  quiet_.start();  // every stir starts the quiet time again
}

void PlanWatcher::Settled() {
  Watch();
  const Version now = VersionOf(path_);
  // A file that is gone is not reported: the plan on screen stays until one is there again.
  if (!pending_ || !now.exists) return;
  pending_ = false;
  if (now == reported_) return;
  reported_ = now;
  if (changed_) changed_();
}

}  // namespace nerin
