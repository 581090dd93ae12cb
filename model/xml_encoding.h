// SPDX-License-Identifier: MIT
// How the bytes of a plan file are encoded, for the XML reader: what the first bytes say,
// the repair of text that does not decode, and the encodings expat does not know itself,
// read into UTF-8 through the C library's iconv before expat sees them. Not for the views.
#pragma once

#include <iconv.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace nerin {

// What the first bytes of a document say before any declaration is read: a byte-order mark,
// or the "<" of a UTF-16 document without one. Otherwise the XML declaration decides, and
// without one the text is UTF-8.
enum class ByteForm { Declared, Utf8Mark, Utf16LE, Utf16BE };
ByteForm SniffByteForm(std::string_view bytes);
// The encoding name expat is to read a document of that form in; null when the declaration
// decides.
const char* ProtocolEncoding(ByteForm form);

// Whether the first bytes tell how the rest is to be read: a byte-order mark, the first
// character of UTF-16, a whole XML declaration (or none at all), or a kilobyte without the
// declaration's end.
bool HeadComplete(std::string_view head);

// How text that does not decode is mended on its way to expat: it becomes U+FFFD, and the
// text ends at its first zero character. Transcode: an encoding expat does not know itself,
// read into UTF-8 here.
enum class TextMend { Utf8, Ascii, Cut, Utf16, Transcode };

// How a document is read, from its first bytes: the encoding expat is told (null when the
// declaration decides), how it is mended, and the encoding's name as the file gives it.
struct ReadingForm {
  const char* protocol = nullptr;
  TextMend mend = TextMend::Utf8;
  bool bigEndian = false;
  std::string encoding;
};
ReadingForm ReadingFormOf(std::string_view head);

// Whether the C library's iconv reads `name` into UTF-8 with every ASCII byte a character of
// its own, as the markup needs (not UTF-7, ISO-2022-JP, UTF-32 or EBCDIC).
bool TranscodesToUtf8(const std::string& name);

// Mends a text that arrives in pieces cut anywhere: a character split between two pieces is
// held back and joined to the next, so every piece is mended as the whole text would be.
class PieceMender {
 public:
  PieceMender() = default;
  ~PieceMender();
  PieceMender(const PieceMender&) = delete;
  PieceMender& operator=(const PieceMender&) = delete;

  // `encoding` names what Transcode reads from. False when iconv cannot read it after all.
  bool Begin(TextMend mend, bool bigEndian, const std::string& encoding = {});
  // Hands the mended bytes of `bytes` to `take` (once, or not at all); `last` says no more
  // bytes follow, so nothing is held back.
  void Take(std::string_view bytes, bool last, const std::function<void(std::string_view)>& take);
  // The text's first zero character was met: whatever follows is not part of it.
  bool TextEnded() const { return textEnded_; }
  // Characters read as U+FFFD so far.
  std::int64_t Replaced() const { return replaced_; }

 private:
  std::string_view CutAtZero(std::string_view bytes);
  void TakeUtf16(std::string_view data, bool last, const std::function<void(std::string_view)>& take);
  void Transcode(std::string_view data, bool last);
  void ReplaceNoncharacters();

  TextMend mend_ = TextMend::Utf8;
  bool bigEndian_ = false;
  bool textEnded_ = false;
  std::int64_t replaced_ = 0;
  iconv_t converter_ = reinterpret_cast<iconv_t>(-1);
  std::string carry_;  // the start of a character whose end is in the next bytes
  std::string joined_;
  std::string repaired_;
};

// Bytes as they must be read after a repair, and how many characters were replaced on the way.
struct RepairedBytes {
  std::string storage;  // when the bytes had to be rebuilt
  std::string_view bytes;
  std::int64_t replaced = 0;
};

// UTF-16 in the given byte order: each unpaired surrogate becomes U+FFFD, and an odd last
// byte is dropped and counted; the text ends at its first zero character. Expat pairs a lead
// surrogate with whatever follows it, so this runs before expat reads the text. False when
// there was nothing to change.
bool RepairUtf16(std::string_view bytes, bool bigEndian, RepairedBytes& out);

}  // namespace nerin
