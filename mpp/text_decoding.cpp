// SPDX-License-Identifier: MIT
#include "mpp/text_decoding.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

namespace nerin::mpp {

namespace {

constexpr std::string_view REPLACEMENT = "\xEF\xBF\xBD";

void AppendCodePoint(std::string& out, std::uint32_t c) {
  if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
    out += REPLACEMENT;
  } else if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// The C library's converter from one code page to UTF-8, closed when it goes.
class Converter {
 public:
  explicit Converter(std::int64_t codePage) {
    const std::string name = "CP" + std::to_string(codePage);
    handle_ = ::iconv_open("UTF-8", name.c_str());
  }
  ~Converter() {
    if (Usable()) ::iconv_close(handle_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool Usable() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

  void Append(std::string_view bytes, std::string& out) {
    std::array<char, 1024> buffer{};
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    while (inLeft > 0) {
      char* next = buffer.data();
      std::size_t room = buffer.size();
      const std::size_t done = ::iconv(handle_, &in, &inLeft, &next, &room);
      out.append(buffer.data(), static_cast<std::size_t>(next - buffer.data()));
      if (done != static_cast<std::size_t>(-1)) break;
      if (errno == E2BIG) continue;
      // A byte the code page has no character for, or a sequence cut off at the end.
      out += REPLACEMENT;
      ++in;
      --inLeft;
      ::iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    }
  }

 private:
  iconv_t handle_;
};

}  // namespace

std::string Utf16LeText(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() / 2);
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    std::uint32_t unit = static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8);
    if (unit == 0) break;
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < bytes.size()) {
      const std::uint32_t low =
          static_cast<unsigned char>(bytes[i + 2]) | (static_cast<unsigned char>(bytes[i + 3]) << 8);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
        i += 2;
      }
    }
    AppendCodePoint(out, unit);
  }
  return out;
}

std::string CodePageText(std::string_view bytes, std::int64_t codePage) {
  bytes = bytes.substr(0, bytes.find('\0'));
  if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
    return std::string(bytes);
  }
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 2);
  Converter converter(codePage == 65001 ? 65001 : codePage);
  if (codePage > 0 && converter.Usable()) {
    converter.Append(bytes, out);
    return out;
  }
  for (const char c : bytes) {
    if (static_cast<unsigned char>(c) < 0x80) {
      out += c;
    } else {
      out += REPLACEMENT;
    }
  }
  return out;
}

namespace {

// Groups whose first control word names one of these hold no text of the note.
constexpr std::array<std::string_view, 24> DESTINATIONS = {
    "fonttbl",  "colortbl",   "stylesheet", "info",       "pict",        "object",
    "objdata",  "listtable",  "listoverridetable",        "rsidtbl",     "generator",
    "themedata", "colorschememapping",      "latentstyles", "datastore", "xmlnstbl",
    "filetbl",  "revtbl",     "header",     "footer",     "fldinst",     "mmathPr",
    "bkmkstart", "bkmkend"};

struct GroupState {
  bool skip = false;
  std::int64_t fallbackCount = 1;  // \ucN
  bool firstToken = true;
};

// Collects the note: bytes of the document's code page wait until a character from
// elsewhere (\uN, a line break) comes, so multi-byte code pages decode whole characters.
class RtfText {
 public:
  void Byte(char c) { pending_ += c; }
  void CodePoint(std::uint32_t c) {
    Flush();
    // RTF writes a character beyond the first plane as two \u words, its surrogate halves.
    if (c >= 0xD800 && c <= 0xDBFF) {
      if (highSurrogate_ != 0) AppendCodePoint(text_, highSurrogate_);
      highSurrogate_ = c;
      return;
    }
    if (c >= 0xDC00 && c <= 0xDFFF && highSurrogate_ != 0) {
      c = 0x10000 + ((highSurrogate_ - 0xD800) << 10) + (c - 0xDC00);
    } else if (highSurrogate_ != 0) {
      AppendCodePoint(text_, highSurrogate_);
    }
    highSurrogate_ = 0;
    AppendCodePoint(text_, c);
  }
  void SetCodePage(std::int64_t codePage) {
    Flush();
    codePage_ = codePage;
  }
  std::string Finish() {
    Flush();
    if (highSurrogate_ != 0) AppendCodePoint(text_, highSurrogate_);
    highSurrogate_ = 0;
    const std::size_t first = text_.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    const std::size_t last = text_.find_last_not_of(" \t\r\n");
    return text_.substr(first, last - first + 1);
  }

 private:
  void Flush() {
    if (pending_.empty()) return;
    if (highSurrogate_ != 0) AppendCodePoint(text_, highSurrogate_);
    highSurrogate_ = 0;
    text_ += CodePageText(pending_, codePage_);
    pending_.clear();
  }
  std::string text_;
  std::string pending_;
  std::int64_t codePage_ = 1252;
  std::uint32_t highSurrogate_ = 0;
};

bool IsLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string RtfPlainText(std::string_view rtf) {
  rtf = rtf.substr(0, rtf.find('\0'));
  RtfText out;
  // Groups nested deeper than any real note are only counted, their text dropped, so a file
  // of braces cannot make the stack grow with its length.
  constexpr std::size_t MAX_DEPTH = 256;
  std::vector<GroupState> stack(1);
  std::size_t tooDeep = 0;
  std::int64_t skipFallback = 0;  // characters of a \uN fallback still to drop
  std::size_t i = 0;
  const auto Emit = [&](char c) {
    if (skipFallback > 0) {
      --skipFallback;
      return;
    }
    if (!stack.back().skip) out.Byte(c);
  };
  while (i < rtf.size()) {
    const char c = rtf[i];
    if (c == '{' && (tooDeep > 0 || stack.size() >= MAX_DEPTH)) {
      ++tooDeep;
      ++i;
      continue;
    }
    if (c == '}' && tooDeep > 0) {
      --tooDeep;
      ++i;
      continue;
    }
    if (tooDeep > 0) {
      i += c == '\\' ? 2 : 1;
      continue;
    }
    if (c == '{') {
      GroupState inner = stack.back();
      inner.firstToken = true;
      stack.push_back(inner);
      skipFallback = 0;
      ++i;
      continue;
    }
    if (c == '}') {
      if (stack.size() > 1) stack.pop_back();
      skipFallback = 0;
      ++i;
      continue;
    }
    if (c == '\r' || c == '\n') {
      ++i;
      continue;
    }
    GroupState& group = stack.back();
    const bool first = group.firstToken;
    group.firstToken = false;
    if (c != '\\') {
      Emit(c);
      ++i;
      continue;
    }
    // A control symbol or a control word.
    if (i + 1 >= rtf.size()) break;
    const char next = rtf[i + 1];
    if (next == '\\' || next == '{' || next == '}') {
      Emit(next);
      i += 2;
      continue;
    }
    if (next == '\'') {
      const int high = i + 2 < rtf.size() ? HexDigit(rtf[i + 2]) : -1;
      const int low = i + 3 < rtf.size() ? HexDigit(rtf[i + 3]) : -1;
      if (high >= 0 && low >= 0) {
        Emit(static_cast<char>(high * 16 + low));
        i += 4;
      } else {
        i += high >= 0 ? 3 : 2;
      }
      continue;
    }
    if (next == '*') {
      group.skip = true;
      i += 2;
      continue;
    }
    if (!IsLetter(next)) {
      if (next == '~' && !group.skip && skipFallback == 0) out.CodePoint(0xA0);
      if (next == '_' && !group.skip && skipFallback == 0) out.CodePoint(0x2011);
      i += 2;
      continue;
    }
    std::size_t end = i + 1;
    while (end < rtf.size() && IsLetter(rtf[end])) ++end;
    const std::string_view word = rtf.substr(i + 1, end - i - 1);
    bool hasParameter = false;
    std::int64_t parameter = 0;
    bool negative = false;
    if (end < rtf.size() && rtf[end] == '-') {
      negative = true;
      ++end;
    }
    while (end < rtf.size() && rtf[end] >= '0' && rtf[end] <= '9') {
      hasParameter = true;
      if (parameter < 100000000) parameter = parameter * 10 + (rtf[end] - '0');
      ++end;
    }
    if (negative) parameter = -parameter;
    if (end < rtf.size() && rtf[end] == ' ') ++end;
    i = end;

    if (first && std::find(DESTINATIONS.begin(), DESTINATIONS.end(), word) != DESTINATIONS.end()) {
      group.skip = true;
      continue;
    }
    if (word == "bin" && hasParameter && parameter > 0) {
      i += static_cast<std::size_t>(std::min<std::int64_t>(parameter, static_cast<std::int64_t>(rtf.size() - i)));
      continue;
    }
    if (word == "ansicpg" && hasParameter) {
      out.SetCodePage(parameter);
      continue;
    }
    if (word == "uc" && hasParameter) {
      group.fallbackCount = parameter < 0 ? 0 : parameter;
      continue;
    }
    if (group.skip) continue;
    if (word == "u" && hasParameter) {
      const std::int64_t code = parameter < 0 ? parameter + 65536 : parameter;
      out.CodePoint(static_cast<std::uint32_t>(code));
      skipFallback = group.fallbackCount;
      continue;
    }
    skipFallback = 0;
    if (word == "par" || word == "line") {
      out.CodePoint('\n');
    } else if (word == "tab") {
      out.CodePoint('\t');
    } else if (word == "emdash") {
      out.CodePoint(0x2014);
    } else if (word == "endash") {
      out.CodePoint(0x2013);
    } else if (word == "lquote") {
      out.CodePoint(0x2018);
    } else if (word == "rquote") {
      out.CodePoint(0x2019);
    } else if (word == "ldblquote") {
      out.CodePoint(0x201C);
    } else if (word == "rdblquote") {
      out.CodePoint(0x201D);
    } else if (word == "bullet") {
      out.CodePoint(0x2022);
    }
  }
  return out.Finish();
}

}  // namespace nerin::mpp
