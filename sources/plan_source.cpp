// SPDX-License-Identifier: MIT
// Files and bytes in memory on their way to LoadPlan.
#include "sources/plan_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <new>
#include <string>
#include <string_view>
#include <utility>

#include "calendar/value_text.h"
#include "sources/source_load.h"

namespace nerin {

namespace {

void ReportOnly(MessageLog& log, std::string text) {
  ClearMessages(log);
  AddMessage(log, MessageLevel::Error, std::move(text));
}

// Bytes already in memory, handed to a source's load as if they arrived in pieces.
bool LoadSourceBytes(Plan& plan, MessageLog& log, std::string_view displayName, std::string_view bytes) {
  SourceLoad load(displayName, bytes.size());
  std::size_t done = 0;
  while (done < bytes.size()) {
    const std::size_t chunk = std::min(load.ChunkSize(), bytes.size() - done);
    if (!load.Feed(bytes.substr(done, chunk))) break;
    done += chunk;
  }
  return load.Finish(plan, log);
}

constexpr const char* STOPPED_TEXT = "Opening was stopped; nothing was loaded.";

struct ReadOutcome {
  std::int64_t bytes = 0;
  bool error = false;    // a read failed
  bool atEnd = false;    // the input's end was reached
  bool refused = false;  // more than the most bytes read
  bool stopped = false;  // the stop flag was raised
};

// Reads the descriptor into `load` a piece at a time, until its end, until the load needs no
// more, or past `maxBytes`.
ReadOutcome ReadInto(SourceLoad& load, int fd, std::int64_t maxBytes, const std::atomic<bool>* stop) {
  ReadOutcome outcome;
  std::string buffer;
  while (true) {
    if (stop != nullptr && stop->load()) {
      outcome.stopped = true;
      return outcome;
    }
    buffer.resize(load.ChunkSize());
    const ssize_t got = ::read(fd, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      outcome.error = true;
      return outcome;
    }
    if (got == 0) {
      outcome.atEnd = true;
      return outcome;
    }
    outcome.bytes += got;
    if (outcome.bytes > maxBytes) {
      outcome.refused = true;
      return outcome;
    }
    if (!load.Feed(std::string_view(buffer.data(), static_cast<std::size_t>(got)))) return outcome;
  }
}

class FileHandle {
 public:
  explicit FileHandle(int fd) : fd_(fd) {}
  ~FileHandle() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  int get() const { return fd_; }
  void Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_;
};

}  // namespace

bool LoadSource(Plan& plan, MessageLog& log, std::string_view displayName, const char* bytes,
                std::int64_t count) {
  if (bytes == nullptr || count <= 0) return LoadSourceBytes(plan, log, displayName, {});
  return LoadSourceBytes(plan, log, displayName, std::string_view(bytes, static_cast<std::size_t>(count)));
}

bool LoadSourceBuffer(Plan& plan, MessageLog& log, std::string_view displayName, std::string&& bytes) {
  const std::string owned = std::move(bytes);
  return LoadSourceBytes(plan, log, displayName, owned);
}

bool ReadFileSource(Plan& plan, MessageLog& log, const std::string& path, const std::atomic<bool>* stop) {
  // Non-blocking so that naming a pipe cannot hang the viewer before it is turned away.
  FileHandle file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  struct stat info {};
  if (file.get() < 0 || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
    ReportOnly(log, "File does not exist or cannot be read.");
    return false;
  }
  const std::int64_t size = info.st_size;
  SourceLoad load(PathFileName(path), static_cast<std::size_t>(size));
  ReadOutcome read;
  try {
    read = ReadInto(load, file.get(), std::numeric_limits<std::int64_t>::max(), stop);
  } catch (const std::bad_alloc&) {
    ReportOnly(log, "Not enough memory to read the file.");
    return false;
  }
  file.Close();
  if (read.stopped) {
    ReportOnly(log, STOPPED_TEXT);
    return false;
  }
  if (read.error || (read.atEnd && read.bytes < size)) {
    ReportOnly(log, "The file could only be read in part (" + IntegerText(read.bytes) + " of " + IntegerText(size) +
                        " bytes).");
    return false;
  }
  return load.Finish(plan, log);
}

bool ReadStreamSource(Plan& plan, MessageLog& log, int fd, std::string_view displayName,
                      std::int64_t maxBytes) {
  // A larger pipe lets the writer run ahead in bigger steps; refused or not, reading works.
  struct stat info {};
  if (::fstat(fd, &info) == 0 && S_ISFIFO(info.st_mode)) (void)::fcntl(fd, F_SETPIPE_SZ, 1 << 20);
  const std::size_t sizeHint = S_ISREG(info.st_mode) && info.st_size > 0 ? static_cast<std::size_t>(info.st_size) : 0;
  SourceLoad load(displayName, sizeHint);
  ReadOutcome read;
  try {
    read = ReadInto(load, fd, maxBytes > 0 ? maxBytes : 0, nullptr);
  } catch (const std::bad_alloc&) {
    ReportOnly(log, "Not enough memory to read the file.");
    return false;
  }
  if (read.error) {
    ReportOnly(log, "File does not exist or cannot be read.");
    return false;
  }
  if (read.refused) {
    ReportOnly(log, "The source is larger than " + IntegerText(maxBytes) + " bytes, more than the viewer reads.");
    return false;
  }
  return load.Finish(plan, log);
}

}  // namespace nerin
