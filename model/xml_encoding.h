// SPDX-License-Identifier: MIT
// How the bytes of a plan file are encoded, for the XML reader: what the first bytes say,
// the repair of text that does not decode, and the encodings expat does not know itself,
// served to expat from the C library's iconv. Not for the views.
#pragma once

#include <expat.h>
#include <iconv.h>

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

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
// text ends at its first zero character.
enum class TextMend { Utf8, Ascii, Cut, Utf16 };

// How a document is read, from its first bytes: the encoding expat is told (null when the
// declaration decides), how it is mended, and the encoding's name as the file gives it.
struct ReadingForm {
  const char* protocol = nullptr;
  TextMend mend = TextMend::Utf8;
  bool bigEndian = false;
  std::string encoding;
};
ReadingForm ReadingFormOf(std::string_view head);

// Mends a text that arrives in pieces cut anywhere: a character split between two pieces is
// held back and joined to the next, so every piece is mended as the whole text would be.
class PieceMender {
 public:
  void Begin(TextMend mend, bool bigEndian);
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

  TextMend mend_ = TextMend::Utf8;
  bool bigEndian_ = false;
  bool textEnded_ = false;
  std::int64_t replaced_ = 0;
  std::string carry_;  // the start of a character whose end is in the next bytes
  std::string joined_;
  std::string repaired_;
};

// Bytes as they must be read again after the first reading failed on them, and how many
// characters were replaced on the way.
struct RepairedBytes {
  std::string storage;  // when the bytes had to be rebuilt
  std::string_view bytes;
  std::int64_t replaced = 0;
};

// A text ends at its first zero character, as it always has for this viewer: whatever a tool
// left after it is not read. Each repair returns false when there was nothing to change.
// UTF-8: each invalid sequence becomes U+FFFD.
bool RepairUtf8(std::string_view bytes, RepairedBytes& out);
// US-ASCII: each byte above ASCII becomes U+FFFD, written in UTF-8.
bool RepairAscii(std::string_view bytes, RepairedBytes& out);
// A single-byte or iconv encoding: only the cut at the first zero byte.
bool CutAtZeroByte(std::string_view bytes, RepairedBytes& out);
// An encoding served from iconv, read into UTF-8 whole: expat's own decoder of such an
// encoding gives each lead byte one length, so it cannot take an encoding whose lead bytes
// begin sequences of several lengths (GB18030), and a lead byte that does not decode takes
// the bytes after it, markup included. Here each byte where no character begins becomes one
// U+FFFD and the reading goes on at the next byte; the text ends at its first zero byte. False
// when iconv does not know the name.
bool TranscodeToUtf8(const char* encoding, std::string_view bytes, RepairedBytes& out);
// UTF-16 in the given byte order: each unpaired surrogate becomes U+FFFD, and an odd last
// byte is dropped and counted. Expat pairs a lead surrogate with whatever follows it, so this
// runs before the first reading.
bool RepairUtf16(std::string_view bytes, bool bigEndian, RepairedBytes& out);

// An encoding that expat does not know itself, described for its unknown-encoding handler
// from the C library's iconv. Bytes and sequences that do not decode are read as U+FFFD.
class IconvEncoding {
 public:
  IconvEncoding() = default;
  ~IconvEncoding();
  IconvEncoding(const IconvEncoding&) = delete;
  IconvEncoding& operator=(const IconvEncoding&) = delete;

  // Fills `info` for expat. False when iconv does not know the name, or the encoding does not
  // keep every ASCII character in one byte of its own as expat requires (UTF-7, ISO-2022-JP,
  // UTF-32 and the like).
  bool Open(const char* name, XML_Encoding& info);
  // How many characters of `bytes` do not decode and are read as U+FFFD, split the way expat
  // splits them.
  std::int64_t CountUndecodable(std::string_view bytes);
  // The same for text that arrives in pieces: `pending` holds the start of a sequence that
  // the piece cut off (count one more for it when nothing follows).
  std::int64_t CountUndecodable(std::string_view bytes, std::string& pending, bool last);

 private:
  static int Convert(void* data, const char* sequence);
  // The code point of the `length` bytes, or one of the DECODE_ values below.
  int Decode(const unsigned char* bytes, std::size_t length);
  // The length of the sequences that begin with `lead` (2 to 4), or 0 when none decodes.
  int SequenceLength(unsigned char lead);
  int LongestFrom(unsigned char* sequence, std::size_t length, int& budget);
  // The code point of a whole sequence as expat is given it: U+FFFD for one that does not
  // decode, or decodes to something expat cannot take.
  int Character(const unsigned char* sequence, std::size_t length, bool& undecodable);

  iconv_t converter_ = reinterpret_cast<iconv_t>(-1);
  std::array<int, 256> map_{};
  std::array<bool, 256> undecodableByte_{};
  // Sequence bytes packed into a word -> code point, and whether it decoded.
  std::unordered_map<std::uint32_t, std::pair<int, bool>> sequences_;
};

}  // namespace nerin
