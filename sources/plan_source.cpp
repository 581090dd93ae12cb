// SPDX-License-Identifier: MIT
// Files and bytes in memory on their way to LoadPlan.
#include "sources/plan_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <exception>
#include <string>
#include <string_view>
#include <utility>

#include "calendar/value_text.h"
#include "model/load_plan.h"
#include "mpp/mpp_reader.h"

namespace nerin {

namespace {

void ReportOnly(MessageLog& log, std::string text) {
  ClearMessages(log);
  AddMessage(log, MessageLevel::Error, std::move(text));
}

// The one road from a source's bytes to the load, whatever the source. The loader reads the
// bytes in the encoding that their byte-order mark or XML declaration names, so nothing is
// decoded here.
bool LoadSourceBytes(Plan& plan, MessageLog& log, std::string_view displayName, std::string_view bytes) {
  if (bytes.empty()) {
    ReportOnly(log, "The source is empty.");
    return false;
  }
  // A compound file is the product's binary plan: known by its first bytes, never by its name.
  if (IsCompoundFile(bytes)) return LoadMppPlan(plan, log, displayName, bytes);
  if (const std::string_view refusal = OtherPlanFormatRefusal(bytes); !refusal.empty()) {
    ReportOnly(log, std::string(refusal));
    return false;
  }
  return LoadPlan(plan, log, displayName, bytes);
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

bool ReadFileSource(Plan& plan, MessageLog& log, const std::string& path) {
  // Non-blocking so that naming a pipe cannot hang the viewer before it is turned away.
  FileHandle file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  struct stat info {};
  if (file.get() < 0 || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
    ReportOnly(log, "File does not exist or cannot be read.");
    return false;
  }
  const std::int64_t size = info.st_size;

  // std::string keeps a zero byte after its contents, so the data always ends with one.
  std::string buffer;
  try {
    buffer.resize(static_cast<std::size_t>(size));
  } catch (const std::exception&) {  // bad_alloc, or length_error past max_size()
    file.Close();
    ReportOnly(log, "Not enough memory to read the file.");
    return false;
  }

  std::int64_t done = 0;
  while (done < size) {
    const ssize_t got = ::read(file.get(), buffer.data() + done, static_cast<std::size_t>(size - done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += got;
  }
  file.Close();
  if (done < size) {
    std::string().swap(buffer);
    ReportOnly(log, "The file could only be read in part (" + IntegerText(done) + " of " + IntegerText(size) +
                        " bytes).");
    return false;
  }
  return LoadSourceBuffer(plan, log, PathFileName(path), std::move(buffer));
}

bool ReadStreamSource(Plan& plan, MessageLog& log, int fd, std::string_view displayName,
                      std::int64_t maxBytes) {
  constexpr std::size_t CHUNK = std::size_t{1} << 20;
  const auto limit = static_cast<std::size_t>(maxBytes > 0 ? maxBytes : 0);
  std::string buffer;
  std::size_t done = 0;
  try {
    // Input redirected from a file tells its size: one buffer of that size then holds it all.
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
      buffer.resize(std::min(static_cast<std::size_t>(info.st_size) + 1, limit + 1));
    }
    // A larger pipe lets the writer run ahead in bigger steps; refused or not, reading works.
    if (S_ISFIFO(info.st_mode)) (void)::fcntl(fd, F_SETPIPE_SZ, 1 << 20);
    while (true) {
      // Room for one byte past the limit, so that a stream of exactly the limit passes and a
      // longer one is known as such without reading it all.
      if (done == buffer.size()) buffer.resize(std::min(std::max(buffer.size() * 2, CHUNK), limit + 1));
      const ssize_t got = ::read(fd, buffer.data() + done, buffer.size() - done);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) {
        std::string().swap(buffer);
        ReportOnly(log, "File does not exist or cannot be read.");
        return false;
      }
      if (got == 0) break;
      done += static_cast<std::size_t>(got);
      if (done > limit) {
        std::string().swap(buffer);
        ReportOnly(log, "The source is larger than " + IntegerText(maxBytes) + " bytes, more than the viewer reads.");
        return false;
      }
    }
    buffer.resize(done);
    if (buffer.capacity() - done > done / 4) buffer.shrink_to_fit();
  } catch (const std::exception&) {  // bad_alloc, or length_error past max_size()
    std::string().swap(buffer);
    ReportOnly(log, "Not enough memory to read the file.");
    return false;
  }
  return LoadSourceBuffer(plan, log, displayName, std::move(buffer));
}

}  // namespace nerin
