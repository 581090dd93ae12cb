// SPDX-License-Identifier: MIT
// Writing a file so that its path only ever holds the old content or the complete new one: the
// bytes go to a temporary file beside the target, are flushed to the disk, and the temporary
// file is renamed onto the target. The model dump, the PNG export and the PDF export use it.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace nerin {

class AtomicFile {
 public:
  // Opens the temporary file; Stream() is null when that failed (a folder that does not exist,
  // no permission). A target that exists and is no regular file (a device such as /dev/full, a
  // pipe) is written in place instead: renaming onto it would replace the device itself.
  explicit AtomicFile(const std::string& target);
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  std::FILE* Stream() const { return file_; }
  // Flushes the bytes to the disk, closes the file and puts it in place of the target; false,
  // with the target as it was, when any step failed. Without Commit the temporary file goes.
  bool Commit();

 private:
  std::string target_;
  std::string temporary_;  // empty when written in place
  std::FILE* file_ = nullptr;
  bool committed_ = false;
};

// The whole text written through an AtomicFile; false, with errno telling why, when any of it
// could not be written.
bool WriteFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace nerin
