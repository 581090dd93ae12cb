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

// A control word with its optional numeric parameter: "\ansicpg1252 ".
struct ControlWord {
  std::string_view word;
  bool hasParameter = false;
  std::int64_t parameter = 0;
};

// The characters the named control words stand for.
std::uint32_t SymbolOf(std::string_view word) {
  static constexpr std::pair<std::string_view, std::uint32_t> SYMBOLS[] = {
      {"par", '\n'},        {"line", '\n'},       {"tab", '\t'},          {"emdash", 0x2014},
      {"endash", 0x2013},   {"lquote", 0x2018},   {"rquote", 0x2019},     {"ldblquote", 0x201C},
      {"rdblquote", 0x201D}, {"bullet", 0x2022}};
  for (const auto& [name, code] : SYMBOLS) {
    if (name == word) return code;
  }
  return 0;
}

// Walks an RTF document once, group by group, keeping the text outside destinations.
class RtfWalker {
 public:
  explicit RtfWalker(std::string_view rtf) : rtf_(rtf.substr(0, rtf.find('\0'))) {}

  std::string Text() {
    while (i_ < rtf_.size()) Step();
    return out_.Finish();
  }

 private:
  // Groups nested deeper than any real note are only counted, their text dropped, so a file
  // of braces cannot make the stack grow with its length.
  static constexpr std::size_t MAX_DEPTH = 256;

  void Step() {
    const char c = rtf_[i_];
    if (tooDeep_ > 0 || (c == '{' && stack_.size() >= MAX_DEPTH)) return SkipTooDeep(c);
    if (c == '{') return OpenGroup();
    if (c == '}') return CloseGroup();
    ++i_;
    if (c == '\r' || c == '\n') return;
    GroupState& group = stack_.back();
    const bool first = group.firstToken;
    group.firstToken = false;
    if (c != '\\') return Emit(c);
    Control(group, first);
  }

  void SkipTooDeep(char c) {
    if (c == '{') ++tooDeep_;
    if (c == '}') --tooDeep_;
    i_ += c == '\\' ? 2 : 1;
  }

  void OpenGroup() {
    GroupState inner = stack_.back();
    inner.firstToken = true;
    stack_.push_back(inner);
    skipFallback_ = 0;
    ++i_;
  }

  void CloseGroup() {
    if (stack_.size() > 1) stack_.pop_back();
    skipFallback_ = 0;
    ++i_;
  }

  void Emit(char c) {
    if (skipFallback_ > 0) {
      --skipFallback_;
      return;
    }
    if (!stack_.back().skip) out_.Byte(c);
  }

  // After a backslash: a control symbol or a control word.
  void Control(GroupState& group, bool first) {
    if (i_ >= rtf_.size()) return;
    const char next = rtf_[i_];
    if (next == '\\' || next == '{' || next == '}') {
      ++i_;
      return Emit(next);
    }
    if (next == '\'') return HexByte();
    if (next == '*') {
      group.skip = true;
      ++i_;
      return;
    }
    if (!IsLetter(next)) {
      const bool shown = !group.skip && skipFallback_ == 0;
      if (next == '~' && shown) out_.CodePoint(0xA0);
      if (next == '_' && shown) out_.CodePoint(0x2011);
      ++i_;
      return;
    }
    Apply(group, first, ReadWord());
  }

  void HexByte() {
    const int high = i_ + 1 < rtf_.size() ? HexDigit(rtf_[i_ + 1]) : -1;
    const int low = i_ + 2 < rtf_.size() ? HexDigit(rtf_[i_ + 2]) : -1;
    if (high >= 0 && low >= 0) {
      i_ += 3;
      return Emit(static_cast<char>(high * 16 + low));
    }
    i_ += high >= 0 ? 2 : 1;
  }

  ControlWord ReadWord() {
    ControlWord control;
    std::size_t end = i_;
    while (end < rtf_.size() && IsLetter(rtf_[end])) ++end;
    control.word = rtf_.substr(i_, end - i_);
    const bool negative = end < rtf_.size() && rtf_[end] == '-';
    if (negative) ++end;
    while (end < rtf_.size() && rtf_[end] >= '0' && rtf_[end] <= '9') {
      control.hasParameter = true;
      if (control.parameter < 100000000) control.parameter = control.parameter * 10 + (rtf_[end] - '0');
      ++end;
    }
    if (negative) control.parameter = -control.parameter;
    if (end < rtf_.size() && rtf_[end] == ' ') ++end;
    i_ = end;
    return control;
  }

  void Apply(GroupState& group, bool first, const ControlWord& control) {
    const std::string_view word = control.word;
    if (first && std::find(DESTINATIONS.begin(), DESTINATIONS.end(), word) != DESTINATIONS.end()) {
      group.skip = true;
    } else if (word == "bin" && control.hasParameter && control.parameter > 0) {
      i_ += static_cast<std::size_t>(std::min<std::int64_t>(control.parameter, static_cast<std::int64_t>(rtf_.size() - i_)));
    } else if (word == "ansicpg" && control.hasParameter) {
      out_.SetCodePage(control.parameter);
    } else if (word == "uc" && control.hasParameter) {
      group.fallbackCount = control.parameter < 0 ? 0 : control.parameter;
    } else if (group.skip) {
      return;
    } else if (word == "u" && control.hasParameter) {
      out_.CodePoint(static_cast<std::uint32_t>(control.parameter < 0 ? control.parameter + 65536 : control.parameter));
      skipFallback_ = group.fallbackCount;
    } else {
      skipFallback_ = 0;
      if (const std::uint32_t symbol = SymbolOf(word); symbol != 0) out_.CodePoint(symbol);
    }
  }

  std::string_view rtf_;
  std::size_t i_ = 0;
  RtfText out_;
  std::vector<GroupState> stack_ = std::vector<GroupState>(1);
  std::size_t tooDeep_ = 0;
  std::int64_t skipFallback_ = 0;  // characters of a \uN fallback still to drop
};

}  // namespace

std::string RtfPlainText(std::string_view rtf) {
  return RtfWalker(rtf).Text();
}

}  // namespace nerin::mpp
