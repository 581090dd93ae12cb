// SPDX-License-Identifier: MIT
// Where a plan comes from: a file, a web address or the command line. No GUI here.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "calendar/text_units.h"  // ValidUtf8Length, DecodeUtf8
#include "model/message_log.h"
#include "model/plan.h"

namespace nerin {

// What a source text names.
enum class SourceKind { Nothing, Address, Path };

// Reads the file and loads it as it is read, a piece at a time; raising `stop` ends the read
// at the next piece ("Opening was stopped; nothing was loaded."). Read failures clear the log
// and add one ERROR.
bool ReadFileSource(Plan& plan, MessageLog& log, const std::string& path, const std::atomic<bool>* stop = nullptr);
// Reads an open descriptor (standard input, a pipe) to its end, loading what arrives under
// `displayName` as it arrives. More than `maxBytes` is refused; read failures clear the log and
// add one ERROR, like those of a file. A stream has no limit of its own: the load stops when
// the system's free memory runs low.
inline constexpr std::int64_t MAX_STREAM_BYTES = std::numeric_limits<std::int64_t>::max();
bool ReadStreamSource(Plan& plan, MessageLog& log, int fd, std::string_view displayName,
                      std::int64_t maxBytes = MAX_STREAM_BYTES);
// Downloads the address (one GET), loading the body as it arrives. An answer with an HTTP
// status of 400 or more is the one ERROR, and its body is not read.
bool FetchAddressSource(Plan& plan, MessageLog& log, const std::string& address);

struct FetchOptions {
  // A body that grows past this is abandoned and the address reported as unreadable. A body
  // is parsed as it arrives, so by default there is no limit: the load stops when the system's
  // free memory runs low.
  std::int64_t maxBodyBytes = std::numeric_limits<std::int64_t>::max();
  // A transfer that receives fewer than lowSpeedBytesPerSecond for lowSpeedSeconds in a row
  // is given up and the address reported as unreadable, so a server that stops answering
  // cannot freeze the viewer; a slow but moving download is never cut off. 0 turns it off.
  std::int64_t lowSpeedBytesPerSecond = 1;
  std::int64_t lowSpeedSeconds = 60;
  // A download off the window's thread: told the bytes received so far as they come, and
  // given up (unreadable) as soon as `stop` is raised.
  std::function<void(std::int64_t)> progress;
  const std::atomic<bool>* stop = nullptr;
};
bool FetchAddressSource(Plan& plan, MessageLog& log, const std::string& address, const FetchOptions& options);
// Bytes in memory on the road every source takes (SourceLoad): bytes that start with the
// compound-file signature are the product's binary plan and go to LoadMppPlan, whatever the
// source's name; anything else is read as XML in the encoding its byte-order mark or XML
// declaration names. No bytes give the one ERROR "The source is empty.".
bool LoadSource(Plan& plan, MessageLog& log, std::string_view displayName, const char* bytes,
                std::int64_t count);
// The same for bytes the caller hands over; they are released when the load returns.
bool LoadSourceBuffer(Plan& plan, MessageLog& log, std::string_view displayName, std::string&& bytes);

// The whole road of one open, whatever the source: an address downloaded (its progress told,
// stopped when asked) or a file read (stopped when asked), loaded into `plan` as it arrives. A
// plan that does not fit in memory is refused with an ERROR and `plan` is left as it was.
bool ReadPlanSource(Plan& plan, MessageLog& log, const std::string& source, bool address,
                    const FetchOptions& options = {});

// A web address (http or https), a path, or nothing.
SourceKind ClassifySource(std::string_view text);
// The plan source named by the program arguments joined with line feeds; possibly empty. A
// local file: URI (as a desktop hands over a file) comes back as its decoded path.
std::string CommandLineSource(std::string_view joinedArguments);
// True when the text begins with the scheme "file:" (any letter case).
bool IsFileUri(std::string_view text);
// The local path a file: URI names, percent-decoded ("file:///home/a%20b/plan.xml",
// "file://localhost/..." or "file:/..."); a query or fragment is not part of the path. Nothing
// when the text is no file: URI, names another host, or its escapes are broken or decode to a
// zero byte.
std::optional<std::string> FileUriPath(std::string_view text);
// The last segment of the address without query and fragment, or the whole address.
std::string AddressDisplayName(std::string_view address);
// The file name part of a path: the text after its last "/" or "\".
std::string PathFileName(std::string_view path);

}  // namespace nerin
