// SPDX-License-Identifier: MIT
#include "model/xml_encoding.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "calendar/text_units.h"

namespace nerin {

namespace {

constexpr std::string_view REPLACEMENT = "\xEF\xBF\xBD";
// A character of any encoding iconv reads is a few bytes long; a longer incomplete tail is
// not waited for.
constexpr std::size_t LONGEST_SEQUENCE = 8;

bool StartsWith(std::string_view bytes, std::string_view prefix) {
  return bytes.substr(0, prefix.size()) == prefix;
}

}  // namespace

ByteForm SniffByteForm(std::string_view bytes) {
  if (StartsWith(bytes, "\xEF\xBB\xBF")) return ByteForm::Utf8Mark;
  if (StartsWith(bytes, "\xFE\xFF") || StartsWith(bytes, std::string_view("\0<", 2))) return ByteForm::Utf16BE;
  if (StartsWith(bytes, "\xFF\xFE") || StartsWith(bytes, std::string_view("<\0", 2))) return ByteForm::Utf16LE;
  return ByteForm::Declared;
}

const char* ProtocolEncoding(ByteForm form) {
  switch (form) {
    case ByteForm::Utf8Mark:
      return "UTF-8";
    case ByteForm::Utf16LE:
      return "UTF-16LE";
    case ByteForm::Utf16BE:
      return "UTF-16BE";
    case ByteForm::Declared:
      break;
  }
  return nullptr;
}

namespace {

// The byte-order mark and the XML declaration are read from the first bytes: the declaration
// of a real file is far shorter.
constexpr std::size_t HEAD_BYTES = 1024;

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && ToLowerAscii(a) == ToLowerAscii(b);
}

// "utf8", "UTF_8" and the like: names iconv reads as UTF-8 that expat does not know.
bool IsUtf8Alias(std::string_view name) {
  std::string letters;
  for (const char c : ToLowerAscii(name)) {
    if (c != '-' && c != '_') letters += c;
  }
  return letters == "utf8";
}

// The encoding the XML declaration at the start of `head` names; empty without one.
std::string DeclaredEncoding(std::string_view head) {
  if (head.substr(0, 5) != "<?xml") return {};
  const std::string_view declaration = head.substr(0, head.find("?>"));
  std::size_t at = declaration.find("encoding");
  if (at == std::string_view::npos) return {};
  at += 8;
  const auto skipSpace = [&] {
    while (at < declaration.size() && (declaration[at] == ' ' || declaration[at] == '\t' ||
                                       declaration[at] == '\r' || declaration[at] == '\n'))
      ++at;
  };
  skipSpace();
  if (at >= declaration.size() || declaration[at] != '=') return {};
  ++at;
  skipSpace();
  if (at >= declaration.size() || (declaration[at] != '"' && declaration[at] != '\'')) return {};
  const char quote = declaration[at++];
  const std::size_t end = declaration.find(quote, at);
  if (end == std::string_view::npos) return {};
  return std::string(declaration.substr(at, end - at));
}

// Where a piece of UTF-8 can be cut so that no character is split: before a lead byte at
// its end whose sequence is not yet complete.
std::size_t WholeUtf8Prefix(std::string_view bytes) {
  const std::size_t size = bytes.size();
  for (std::size_t back = 1; back <= 3 && back <= size; ++back) {
    const auto byte = static_cast<unsigned char>(bytes[size - back]);
    if ((byte & 0xC0) == 0x80) continue;  // a continuation byte: look further back
    const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC2 ? 2 : 1;
    return length > back && byte <= 0xF4 ? size - back : size;
  }
  return size;
}

}  // namespace

bool HeadComplete(std::string_view head) {
  if (head.size() < 2) return false;
  const std::string_view utf8Mark = "\xEF\xBB\xBF";
  if (utf8Mark.substr(0, std::min<std::size_t>(head.size(), 3)) == head.substr(0, 3)) return head.size() >= 3;
  const std::string_view declaration = "<?xml";
  const std::size_t known = std::min(head.size(), declaration.size());
  if (head.substr(0, known) != declaration.substr(0, known)) return true;
  return head.size() >= HEAD_BYTES || (known == declaration.size() && head.find("?>") != std::string_view::npos);
}

ReadingForm ReadingFormOf(std::string_view head) {
  ReadingForm reading;
  const ByteForm form = SniffByteForm(head);
  reading.protocol = ProtocolEncoding(form);
  if (form == ByteForm::Utf16LE || form == ByteForm::Utf16BE) {
    reading.mend = TextMend::Utf16;
    reading.bigEndian = form == ByteForm::Utf16BE;
    reading.encoding = reading.protocol;
    return reading;
  }
  const std::string declared = form == ByteForm::Declared ? DeclaredEncoding(head) : std::string();
  if (EqualsIgnoringCase(declared, "UTF-16") || EqualsIgnoringCase(declared, "UTF-16LE") ||
      EqualsIgnoringCase(declared, "UTF-16BE")) {
    // A tool that writes UTF-8 may declare the UTF-16 its text had in memory: the bytes tell.
    reading.protocol = "UTF-8";
  }
  if (reading.protocol != nullptr || declared.empty() || EqualsIgnoringCase(declared, "UTF-8")) {
    reading.mend = TextMend::Utf8;
    reading.encoding = reading.protocol != nullptr ? reading.protocol : "UTF-8";
    return reading;
  }
  reading.encoding = declared;
  if (IsUtf8Alias(declared)) {
    // UTF-8 under a name expat does not know: mended as UTF-8 is.
    reading.mend = TextMend::Utf8;
    reading.protocol = "UTF-8";
  } else if (EqualsIgnoringCase(declared, "US-ASCII")) {
    // Read as UTF-8 once every byte above ASCII is the replacement character.
    reading.mend = TextMend::Ascii;
    reading.protocol = "UTF-8";
  } else if (EqualsIgnoringCase(declared, "ISO-8859-1")) {
    reading.mend = TextMend::Cut;  // expat reads it itself
  } else if (TranscodesToUtf8(declared)) {
    // Expat is told UTF-8, which overrides the declaration.
    reading.mend = TextMend::Transcode;
    reading.protocol = "UTF-8";
  } else {
    // Left to expat, which finds no reader for it and says so.
    reading.mend = TextMend::Cut;
  }
  return reading;
}

bool TranscodesToUtf8(const std::string& name) {
  const iconv_t converter = iconv_open("UTF-8", name.c_str());
  if (converter == reinterpret_cast<iconv_t>(-1)) return false;
  bool plain = true;
  for (int byte = 1; byte < 0x80 && plain; ++byte) {
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    char in = static_cast<char>(byte);
    char* inAt = &in;
    std::size_t inLeft = 1;
    char out[8];
    char* outAt = out;
    std::size_t outLeft = sizeof out;
    const bool converted = iconv(converter, &inAt, &inLeft, &outAt, &outLeft) != static_cast<std::size_t>(-1) &&
                           iconv(converter, nullptr, nullptr, &outAt, &outLeft) != static_cast<std::size_t>(-1);
    const std::size_t length = static_cast<std::size_t>(outAt - out);
    // Japanese tables read "\\" and "~" as the yen sign and the overline; neither is markup.
    const bool markup = byte != '\\' && byte != '~';
    plain = converted && length > 0 && (!markup || (length == 1 && out[0] == in));
  }
  iconv_close(converter);
  return plain;
}

PieceMender::~PieceMender() {
  if (converter_ != reinterpret_cast<iconv_t>(-1)) iconv_close(converter_);
}

bool PieceMender::Begin(TextMend mend, bool bigEndian, const std::string& encoding) {
  mend_ = mend;
  bigEndian_ = bigEndian;
  if (mend != TextMend::Transcode) return true;
  converter_ = iconv_open("UTF-8", encoding.c_str());
  return converter_ != reinterpret_cast<iconv_t>(-1);
}

std::string_view PieceMender::CutAtZero(std::string_view bytes) {
  const std::size_t zero = bytes.find('\0');
  if (zero == std::string_view::npos) return bytes;
  textEnded_ = true;
  return bytes.substr(0, zero);
}

void PieceMender::Take(std::string_view bytes, bool last, const std::function<void(std::string_view)>& take) {
  if (textEnded_) return;
  std::string_view data = bytes;
  if (!carry_.empty()) {
    joined_.assign(carry_);
    joined_.append(bytes);
    carry_.clear();
    data = joined_;
  }
  switch (mend_) {
    case TextMend::Utf8: {
      const std::size_t whole = last ? data.size() : WholeUtf8Prefix(data);
      carry_.assign(data.substr(whole));
      std::string_view body = data.substr(0, whole);
      if (ValidUtf8Length(body) == body.size()) {
        take(body);
        return;
      }
      body = CutAtZero(body);
      std::size_t count = 0;
      repaired_ = DecodeUtf8(body, &count);
      replaced_ += static_cast<std::int64_t>(count);
      take(repaired_);
      return;
    }
    case TextMend::Ascii: {
      const std::string_view body = CutAtZero(data);
      repaired_.clear();
      for (const char byte : body) {
        if (static_cast<unsigned char>(byte) < 0x80) {
          repaired_ += byte;
        } else {
          repaired_ += "\xEF\xBF\xBD";
          ++replaced_;
        }
      }
      take(repaired_);
      return;
    }
    case TextMend::Cut:
      take(CutAtZero(data));
      return;
    case TextMend::Utf16:
      TakeUtf16(data, last, take);
      return;
    case TextMend::Transcode:
      Transcode(data, last);
      take(repaired_);
      return;
  }
}

// Each byte where no character begins, and a character cut off by the end, is one U+FFFD, and
// the reading goes on at the next byte: a lead byte that does not decode never takes the
// markup after it.
void PieceMender::Transcode(std::string_view data, bool last) {
  const std::string_view body = CutAtZero(data);
  const bool end = last || textEnded_;
  repaired_.clear();
  char buffer[4096];
  char* in = const_cast<char*>(body.data());
  std::size_t inLeft = body.size();
  const auto flush = [&](const char* out) { repaired_.append(buffer, static_cast<std::size_t>(out - buffer)); };
  while (inLeft > 0) {
    char* out = buffer;
    std::size_t outLeft = sizeof buffer;
    const std::size_t result = iconv(converter_, &in, &inLeft, &out, &outLeft);
    const int error = errno;
    flush(out);
    if (result != static_cast<std::size_t>(-1) || error == E2BIG) continue;
    if (error == EINVAL && !end && inLeft <= LONGEST_SEQUENCE) {
      carry_.assign(in, inLeft);  // the rest of the character is in the next piece
      break;
    }
    repaired_ += REPLACEMENT;
    ++replaced_;
    ++in;
    --inLeft;
    iconv(converter_, nullptr, nullptr, nullptr, nullptr);
  }
  if (end) {
    char* out = buffer;
    std::size_t outLeft = sizeof buffer;
    iconv(converter_, nullptr, nullptr, &out, &outLeft);
    flush(out);
  }
  ReplaceNoncharacters();
}

// U+FFFE and U+FFFF decode in some encodings (GB18030) but are no XML characters.
void PieceMender::ReplaceNoncharacters() {
  for (std::size_t at = repaired_.find("\xEF\xBF"); at != std::string::npos;
       at = repaired_.find("\xEF\xBF", at + 3)) {
    if (at + 2 < repaired_.size() && (repaired_[at + 2] == '\xBE' || repaired_[at + 2] == '\xBF')) {
      repaired_[at + 2] = '\xBD';
      ++replaced_;
    }
  }
}

void PieceMender::TakeUtf16(std::string_view data, bool last, const std::function<void(std::string_view)>& take) {
  const auto unitAt = [&](std::size_t at) -> unsigned {
    const auto first = static_cast<unsigned char>(data[at]);
    const auto second = static_cast<unsigned char>(data[at + 1]);
    return bigEndian_ ? (first << 8) | second : (second << 8) | first;
  };
  std::size_t whole = data.size();
  if (!last) {
    // An odd byte, and a lead surrogate whose partner may follow, wait for the next bytes.
    whole &= ~std::size_t{1};
    if (whole >= 2 && unitAt(whole - 2) >= 0xD800 && unitAt(whole - 2) <= 0xDBFF) whole -= 2;
    carry_.assign(data.substr(whole));
  }
  std::string_view body = data.substr(0, whole);
  for (std::size_t at = 0; at + 1 < body.size(); at += 2) {
    if (unitAt(at) == 0) {
      body = body.substr(0, at);
      textEnded_ = true;
      break;
    }
  }
  RepairedBytes fixed;
  if (RepairUtf16(body, bigEndian_, fixed)) {
    replaced_ += fixed.replaced;
    take(fixed.bytes);
  } else {
    take(body);
  }
}

namespace {

// Whether any code unit is a surrogate or zero: only then is there anything to look at
// closely. Checked a block at a time so that the common case, a text with neither, is one
// quick pass.
bool HasSurrogateOrZero(std::string_view bytes, bool bigEndian) {
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t units = bytes.size() / 2;
  const std::size_t high = bigEndian ? 0 : 1;
  constexpr std::size_t BLOCK = 64;
  std::size_t at = 0;
  for (; at + BLOCK <= units; at += BLOCK) {
    unsigned found = 0;
    for (std::size_t k = 0; k < BLOCK; ++k) {
      const unsigned char top = data[2 * (at + k) + high];
      const unsigned char bottom = data[2 * (at + k) + (1 - high)];
      found |= static_cast<unsigned>((top & 0xF8) == 0xD8) | static_cast<unsigned>((top | bottom) == 0);
    }
    if (found != 0) return true;
  }
  for (; at < units; ++at) {
    const unsigned char top = data[2 * at + high];
    const unsigned char bottom = data[2 * at + (1 - high)];
    if ((top & 0xF8) == 0xD8 || (top | bottom) == 0) return true;
  }
  return false;
}

}  // namespace

bool RepairUtf16(std::string_view bytes, bool bigEndian, RepairedBytes& out) {
  if (bytes.size() % 2 == 0 && !HasSurrogateOrZero(bytes, bigEndian)) return false;
  const auto unitAt = [&](std::size_t at) -> unsigned {
    const auto first = static_cast<unsigned char>(bytes[at]);
    const auto second = static_cast<unsigned char>(bytes[at + 1]);
    return bigEndian ? (first << 8) | second : (second << 8) | first;
  };
  const std::size_t whole = bytes.size() & ~std::size_t{1};
  std::size_t end = whole;
  std::int64_t replaced = 0;
  std::string repaired;
  bool rebuilt = false;
  for (std::size_t at = 0; at < whole; at += 2) {
    const unsigned unit = unitAt(at);
    if (unit == 0) {
      end = at;
      break;
    }
    bool lone = false;
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      const bool paired = at + 3 < whole && unitAt(at + 2) >= 0xDC00 && unitAt(at + 2) <= 0xDFFF;
      if (paired) {
        at += 2;
        continue;
      }
      lone = true;
    } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
      lone = true;
    }
    if (!lone) continue;
    if (!rebuilt) {
      repaired.assign(bytes.substr(0, whole));
      rebuilt = true;
    }
    repaired[at] = bigEndian ? '\xFF' : '\xFD';
    repaired[at + 1] = bigEndian ? '\xFD' : '\xFF';
    ++replaced;
  }
  if (end == whole && whole != bytes.size()) ++replaced;  // an odd last byte, not cut off before
  if (!rebuilt && end == bytes.size()) return false;
  if (rebuilt) {
    repaired.resize(end);
    out.storage = std::move(repaired);
    out.bytes = out.storage;
  } else {
    out.bytes = bytes.substr(0, end);
  }
  out.replaced = replaced;
  return true;
}

}  // namespace nerin
