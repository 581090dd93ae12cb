// SPDX-License-Identifier: MIT
#include "model/xml_encoding.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "calendar/text_units.h"

namespace nerin {

namespace {

constexpr int REPLACEMENT = 0xFFFD;
constexpr int DECODE_INVALID = -1;
constexpr int DECODE_INCOMPLETE = -2;
// Finding how long the sequences of a lead byte are takes a few conversions for any real
// encoding; the budget bounds a pathological one.
constexpr int LENGTH_SEARCH_BUDGET = 4096;

bool StartsWith(std::string_view bytes, std::string_view prefix) {
  return bytes.substr(0, prefix.size()) == prefix;
}

// What expat can take from a decoder of its own: characters of the Basic Multilingual Plane
// that are allowed in XML text (controls below space are left to expat, which refuses them as
// it does in UTF-8).
bool ExpatTakes(int codePoint) {
  if (codePoint < 0 || codePoint > 0xFFFF) return false;
  if (codePoint >= 0xD800 && codePoint <= 0xDFFF) return false;
  return codePoint != 0xFFFE && codePoint != 0xFFFF;
}

std::uint32_t PackedSequence(const unsigned char* bytes, std::size_t length) {
  std::uint32_t key = 0;
  for (std::size_t i = 0; i < length; ++i) key = (key << 8) | bytes[i];
  return key;
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
  reading.mend = TextMend::Cut;
  if (EqualsIgnoringCase(declared, "US-ASCII")) {
    // Read as UTF-8 once every byte above ASCII is the replacement character.
    reading.mend = TextMend::Ascii;
    reading.protocol = "UTF-8";
  }
  return reading;
}

void PieceMender::Begin(TextMend mend, bool bigEndian) {
  mend_ = mend;
  bigEndian_ = bigEndian;
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

bool RepairUtf8(std::string_view bytes, RepairedBytes& out) {
  if (ValidUtf8Length(bytes) == bytes.size()) return false;
  std::size_t replaced = 0;
  out.storage = DecodeUtf8(bytes, &replaced);
  out.bytes = out.storage;
  out.replaced = static_cast<std::int64_t>(replaced);
  return true;
}

bool RepairAscii(std::string_view bytes, RepairedBytes& out) {
  const std::string_view text = bytes.substr(0, std::min(bytes.find('\0'), bytes.size()));
  std::int64_t replaced = 0;
  std::string repaired;
  repaired.reserve(text.size());
  for (const char byte : text) {
    if (static_cast<unsigned char>(byte) < 0x80) {
      repaired += byte;
    } else {
      repaired += "\xEF\xBF\xBD";
      ++replaced;
    }
  }
  if (replaced == 0 && text.size() == bytes.size()) return false;
  out.storage = std::move(repaired);
  out.bytes = out.storage;
  out.replaced = replaced;
  return true;
}

bool CutAtZeroByte(std::string_view bytes, RepairedBytes& out) {
  const std::size_t zero = bytes.find('\0');
  if (zero == std::string_view::npos) return false;
  out.bytes = bytes.substr(0, zero);
  out.replaced = 0;
  return true;
}

bool TranscodeToUtf8(const char* encoding, std::string_view bytes, RepairedBytes& out) {
  const iconv_t converter = iconv_open("UTF-8", encoding);
  if (converter == reinterpret_cast<iconv_t>(-1)) return false;
  const std::string_view text = bytes.substr(0, std::min(bytes.find('\0'), bytes.size()));
  std::string utf8;
  std::int64_t replaced = 0;
  char buffer[4096];
  char* in = const_cast<char*>(text.data());
  std::size_t inLeft = text.size();
  const auto flushInto = [&](char* out) { utf8.append(buffer, static_cast<std::size_t>(out - buffer)); };
  try {
    utf8.reserve(text.size() + text.size() / 2);
    while (inLeft > 0) {
      char* out = buffer;
      std::size_t outLeft = sizeof buffer;
      const std::size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
      const int error = errno;
      flushInto(out);
      if (result != static_cast<std::size_t>(-1) || error == E2BIG) continue;
      // EILSEQ, or EINVAL for a sequence cut off by the end: one replacement for its first
      // byte, and what follows is read again from the initial state.
      utf8 += "\xEF\xBF\xBD";
      ++replaced;
      ++in;
      --inLeft;
      iconv(converter, nullptr, nullptr, nullptr, nullptr);
    }
    char* out = buffer;
    std::size_t outLeft = sizeof buffer;
    iconv(converter, nullptr, nullptr, &out, &outLeft);
    flushInto(out);
  } catch (...) {
    iconv_close(converter);
    throw;
  }
  iconv_close(converter);
  out.storage = std::move(utf8);
  out.bytes = out.storage;
  out.replaced = replaced;
  return true;
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

IconvEncoding::~IconvEncoding() {
  if (converter_ != reinterpret_cast<iconv_t>(-1)) iconv_close(converter_);
}

int IconvEncoding::Decode(const unsigned char* bytes, std::size_t length) {
  // Every sequence is converted on its own, from the initial state.
  iconv(converter_, nullptr, nullptr, nullptr, nullptr);
  unsigned char buffer[32];
  char* in = reinterpret_cast<char*>(const_cast<unsigned char*>(bytes));
  std::size_t inLeft = length;
  char* out = reinterpret_cast<char*>(buffer);
  std::size_t outLeft = sizeof buffer;
  if (iconv(converter_, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1)) {
    return errno == EINVAL ? DECODE_INCOMPLETE : DECODE_INVALID;
  }
  // A converter that holds a character back to combine it with the next gives it up here.
  if (iconv(converter_, nullptr, nullptr, &out, &outLeft) == static_cast<std::size_t>(-1)) return DECODE_INVALID;
  if (inLeft != 0 || sizeof buffer - outLeft != 4) return DECODE_INVALID;
  const std::uint32_t codePoint = (std::uint32_t{buffer[0]} << 24) | (std::uint32_t{buffer[1]} << 16) |
                                  (std::uint32_t{buffer[2]} << 8) | buffer[3];
  return codePoint > 0x10FFFF ? DECODE_INVALID : static_cast<int>(codePoint);
}

// Tries the continuation bytes in the order real encodings use them, high bytes first, and
// follows an incomplete sequence one byte further.
int IconvEncoding::LongestFrom(unsigned char* sequence, std::size_t length, int& budget) {
  static constexpr int RANGES[][2] = {{0x80, 0xFF}, {0x40, 0x7F}, {0x21, 0x3F}};
  for (const auto& range : RANGES) {
    for (int next = range[0]; next <= range[1]; ++next) {
      if (--budget < 0) return 0;
      sequence[length] = static_cast<unsigned char>(next);
      const int result = Decode(sequence, length + 1);
      if (result >= 0) return static_cast<int>(length + 1);
      if (result == DECODE_INCOMPLETE && length + 1 < 4) {
        const int longer = LongestFrom(sequence, length + 1, budget);
        if (longer > 0) return longer;
      }
    }
  }
  return 0;
}

int IconvEncoding::SequenceLength(unsigned char lead) {
  unsigned char sequence[4] = {lead, 0, 0, 0};
  int budget = LENGTH_SEARCH_BUDGET;
  return LongestFrom(sequence, 1, budget);
}

bool IconvEncoding::Open(const char* name, XML_Encoding& info) {
  converter_ = iconv_open("UTF-32BE", name);
  if (converter_ == reinterpret_cast<iconv_t>(-1)) return false;
  bool multiByte = false;
  for (int byte = 0; byte < 256; ++byte) {
    const auto lead = static_cast<unsigned char>(byte);
    const int result = Decode(&lead, 1);
    int value = result;
    if (result == DECODE_INCOMPLETE) {
      // Expat reads the characters of the declaration and of every tag as single bytes.
      if (byte < 0x80) return false;
      const int length = SequenceLength(lead);
      value = length > 0 ? -length : DECODE_INVALID;
      multiByte = multiByte || length > 0;
    }
    if (value == DECODE_INVALID || (value >= 0 && !ExpatTakes(value))) {
      value = REPLACEMENT;
      undecodableByte_[lead] = true;
    }
    map_[lead] = value;
  }
  std::memcpy(info.map, map_.data(), sizeof info.map);
  info.data = this;
  info.convert = multiByte ? &IconvEncoding::Convert : nullptr;
  info.release = nullptr;
  return true;
}

int IconvEncoding::Character(const unsigned char* sequence, std::size_t length, bool& undecodable) {
  const std::uint32_t key = PackedSequence(sequence, length);
  auto found = sequences_.find(key);
  if (found == sequences_.end()) {
    const int result = Decode(sequence, length);
    const bool good = ExpatTakes(result);
    found = sequences_.emplace(key, std::make_pair(good ? result : REPLACEMENT, !good)).first;
  }
  undecodable = found->second.second;
  return found->second.first;
}

int IconvEncoding::Convert(void* data, const char* sequence) {
  auto* self = static_cast<IconvEncoding*>(data);
  const auto* bytes = reinterpret_cast<const unsigned char*>(sequence);
  const int length = -self->map_[bytes[0]];
  if (length < 2 || length > 4) return REPLACEMENT;
  bool undecodable = false;
  try {
    return self->Character(bytes, static_cast<std::size_t>(length), undecodable);
  } catch (...) {  // out of memory for the cache: decode without it
    const int result = self->Decode(bytes, static_cast<std::size_t>(length));
    return ExpatTakes(result) ? result : REPLACEMENT;
  }
}

std::int64_t IconvEncoding::CountUndecodable(std::string_view bytes) {
  std::int64_t count = 0;
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  std::size_t at = 0;
  while (at < bytes.size()) {
    const int value = map_[data[at]];
    if (value >= 0) {
      if (undecodableByte_[data[at]]) ++count;
      ++at;
      continue;
    }
    const auto length = static_cast<std::size_t>(-value);
    if (bytes.size() - at < length) {
      ++count;
      break;
    }
    bool undecodable = false;
    Character(data + at, length, undecodable);
    if (undecodable) ++count;
    at += length;
  }
  return count;
}

std::int64_t IconvEncoding::CountUndecodable(std::string_view bytes, std::string& pending, bool last) {
  std::int64_t count = 0;
  if (!pending.empty()) {
    const auto lead = static_cast<unsigned char>(pending[0]);
    const auto length = static_cast<std::size_t>(-map_[lead]);
    const std::size_t missing = length - pending.size();
    if (bytes.size() < missing) {
      pending.append(bytes);
      return last ? 1 : 0;
    }
    pending.append(bytes.substr(0, missing));
    bytes.remove_prefix(missing);
    bool undecodable = false;
    Character(reinterpret_cast<const unsigned char*>(pending.data()), length, undecodable);
    if (undecodable) ++count;
    pending.clear();
  }
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  std::size_t at = 0;
  while (at < bytes.size()) {
    const int value = map_[data[at]];
    if (value >= 0) {
      if (undecodableByte_[data[at]]) ++count;
      ++at;
      continue;
    }
    const auto length = static_cast<std::size_t>(-value);
    if (bytes.size() - at < length) {
      if (last) {
        ++count;
      } else {
        pending.assign(bytes.substr(at));
      }
      break;
    }
    bool undecodable = false;
    Character(data + at, length, undecodable);
    if (undecodable) ++count;
    at += length;
  }
  return count;
}

}  // namespace nerin
