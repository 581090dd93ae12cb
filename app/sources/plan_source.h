// SPDX-License-Identifier: MIT
// Where a plan comes from: a file, a web address or the command line. No GUI here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/message_log.h"
#include "model/plan.h"

namespace nerin {

inline constexpr std::int64_t SOURCE_NOTHING = 0;
inline constexpr std::int64_t SOURCE_ADDRESS = 1;
inline constexpr std::int64_t SOURCE_PATH = 2;

// Reads the file whole and loads it. Read failures clear the log and add one ERROR.
bool ReadFileSource(Plan& plan, MessageLog& log, const std::string& path);
// Reads an open descriptor (standard input, a pipe) to its end and loads what arrived under
// `displayName`. More than `maxBytes` is refused before any of it is loaded, so a stream cannot
// exhaust memory; read failures clear the log and add one ERROR, like those of a file.
inline constexpr std::int64_t MAX_STREAM_BYTES = std::int64_t{1} << 30;
bool ReadStreamSource(Plan& plan, MessageLog& log, int fd, std::string_view displayName,
                      std::int64_t maxBytes = MAX_STREAM_BYTES);
// Downloads the address (one GET) and loads the body. An HTTP status of 400 or more adds an
// INFO naming it after the load's own messages.
bool FetchAddressSource(Plan& plan, MessageLog& log, const std::string& address);

struct FetchOptions {
  // A body that grows past this is abandoned and the address reported as unreadable, so a
  // server cannot exhaust memory.
  std::int64_t maxBodyBytes = std::int64_t{1} << 30;
  // A transfer that receives fewer than lowSpeedBytesPerSecond for lowSpeedSeconds in a row
  // is given up and the address reported as unreadable, so a server that stops answering
  // cannot freeze the viewer; a slow but moving download is never cut off. 0 turns it off.
  std::int64_t lowSpeedBytesPerSecond = 1;
  std::int64_t lowSpeedSeconds = 60;
};
bool FetchAddressSource(Plan& plan, MessageLog& log, const std::string& address, const FetchOptions& options);
// Bytes that start with the compound-file signature are the product's binary plan and go to
// LoadMppPlan, whatever the source's name. Anything else: drops a UTF-8 byte-order mark,
// decodes UTF-8 up to the end or the first zero byte (each invalid sequence becomes U+FFFD)
// and hands the text to LoadPlan.
bool LoadSource(Plan& plan, MessageLog& log, std::string_view displayName, const char* bytes,
                std::int64_t count);
// The same for bytes the caller hands over: they are released before LoadPlan whenever the
// text has to be rebuilt, and otherwise loaded in place without a copy.
bool LoadSourceBuffer(Plan& plan, MessageLog& log, std::string_view displayName, std::string&& bytes);

// Valid UTF-8 from bytes: stops at the first zero byte, each invalid sequence becomes U+FFFD.
std::string DecodeUtf8(std::string_view bytes);
// Length of the longest prefix that is whole, valid UTF-8 sequences without a zero byte.
std::size_t ValidUtf8Length(std::string_view bytes);

// 0 nothing, 1 web address (http or https), 2 path.
std::int64_t ClassifySource(std::string_view text);
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
