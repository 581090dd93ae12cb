// SPDX-License-Identifier: MIT
#include "model/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>

namespace nerin {

namespace {

// The path a write through a symbolic link ends at, so that the link stays a link; also for a
// link whose target does not exist yet, as the shell's ">" would write it.
std::string ResolvedTarget(const std::string& target) {
  char resolved[PATH_MAX];
  if (::realpath(target.c_str(), resolved) != nullptr) {
    return resolved;
  }
  std::string path = target;
  for (int hops = 0; hops < 40; ++hops) {
    char next[PATH_MAX];
    const ssize_t length = ::readlink(path.c_str(), next, sizeof next - 1);
    if (length <= 0) break;
    const std::string link(next, static_cast<std::size_t>(length));
    const std::size_t slash = path.rfind('/');
    path = link.front() == '/' || slash == std::string::npos ? link : path.substr(0, slash + 1) + link;
  }
  return path;
}

}  // namespace

AtomicFile::AtomicFile(const std::string& target) : target_(ResolvedTarget(target)) {
  if (target_.empty() || target_.back() == '/') {
    return;
  }
  struct stat existing {};
  const bool exists = ::stat(target_.c_str(), &existing) == 0;
  if (exists && !S_ISREG(existing.st_mode)) {
    file_ = std::fopen(target_.c_str(), "wb");
    return;
  }
  const std::size_t slash = target_.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string() : target_.substr(0, slash + 1);
  const auto seed =
      static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
  for (unsigned long long attempt = 0; attempt < 100; ++attempt) {
    const std::string name = folder + ".nerin-" + std::to_string(::getpid()) + "-" +
                             std::to_string((seed + attempt) % 1000000007ULL) + ".tmp";
    // O_EXCL: never reuse or truncate a file that is already there. Mode 0666 less the umask, as
    // for any new file; a replaced file keeps its own mode.
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      // A writable file in a folder that takes no new names can only be written as it is.
      if (errno == EACCES && exists) file_ = std::fopen(target_.c_str(), "wb");
      return;
    }
    if (exists) {
      (void)::fchmod(fd, existing.st_mode & 07777);
    }
    temporary_ = name;
    file_ = ::fdopen(fd, "wb");
    if (file_ == nullptr) {
      ::close(fd);
    }
    return;
  }
}

AtomicFile::~AtomicFile() {
  if (file_ != nullptr) {
    std::fclose(file_);
  }
  if (!committed_ && !temporary_.empty()) {
    ::unlink(temporary_.c_str());
  }
}

bool AtomicFile::Commit() {
  if (file_ == nullptr) {
    return false;
  }
  bool written = std::fflush(file_) == 0;
  // A device or a pipe has no disk to sync to; its flush is the whole write.
  if (!temporary_.empty()) written = ::fsync(::fileno(file_)) == 0 && written;
  written = std::fclose(file_) == 0 && written;
  file_ = nullptr;
  if (!written) {
    return false;
  }
  if (!temporary_.empty() && ::rename(temporary_.c_str(), target_.c_str()) != 0) {
    return false;
  }
  committed_ = true;
  return true;
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes) {
  bool written = false;
  int error = 0;
  {
    AtomicFile file(path);
    written = file.Stream() != nullptr &&
              (bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file.Stream()) == bytes.size()) &&
              file.Commit();
    error = errno;
  }
  // The temporary file's removal must not hide why the write failed.
  if (!written) errno = error;
  return written;
}

}  // namespace nerin
