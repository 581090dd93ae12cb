// SPDX-License-Identifier: MIT
// Texts as a binary plan keeps them: UTF-16 names, code-page strings and notes in RTF, and the
// value texts the reader writes for the loader.
#include "mpp/text_decoding.h"

#include <gtest/gtest.h>

#include "mpp/plan_reading.h"

namespace nerin::mpp {
namespace {

std::string Utf16(std::u16string_view text) {
  std::string bytes;
  for (const char16_t unit : text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

TEST(TextDecoding, Utf16Names) {
  const struct {
    std::string bytes;
    std::string expected;
  } cases[] = {
      {Utf16(u"Task 2"), "Task 2"},
      {Utf16(u"AJUDANTE DE MEC\u00C2NICO"), "AJUDANTE DE MEC\xC3\x82NICO"},
      {Utf16(u"\u6E2C\u8A66") + std::string(2, '\0') + Utf16(u"rest"), "\xE6\xB8\xAC\xE8\xA9\xA6"},
      {Utf16(u"\U0001F600"), "\xF0\x9F\x98\x80"},           // a pair of surrogates
      {Utf16(u"a") + std::string("\x00\xD8", 2) + Utf16(u"b"), "a\xEF\xBF\xBD" "b"},  // a lone high surrogate
      {Utf16(u"odd") + "x", "odd"},                         // a last byte without its partner
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(Utf16LeText(c.bytes), c.expected);
}

TEST(TextDecoding, CodePages) {
  EXPECT_EQ(CodePageText("Caf\xE9", 1252), "Caf\xC3\xA9");
  EXPECT_EQ(CodePageText("\x80", 1252), "\xE2\x82\xAC");  // the euro sign
  EXPECT_EQ(CodePageText("\xCF\xF0\xEE\xE5\xEA\xF2", 1251), "\xD0\x9F\xD1\x80\xD0\xBE\xD0\xB5\xD0\xBA\xD1\x82");
  EXPECT_EQ(CodePageText(std::string("ab\0cd", 5), 1252), "ab");
  EXPECT_EQ(CodePageText("x\xE9", 99999), "x\xEF\xBF\xBD");  // no such code page
}

TEST(TextDecoding, RtfNotesAsPlainText) {
  const struct {
    const char* name;
    std::string rtf;
    std::string expected;
  } cases[] = {
      {"plain", R"({\rtf1\ansi\ansicpg1252\deff0{\fonttbl{\f0 Arial;}}\pard\f0\fs20 Comments Text\par})", "Comments Text"},
      {"code page escapes", R"({\rtf1\ansi\ansicpg1252 fun\'e7\'e3o\par})", "fun\xC3\xA7\xC3\xA3o"},
      {"another code page", R"({\rtf1\ansi\ansicpg1251 \'cf\'f0\'e8\par})", "\xD0\x9F\xD1\x80\xD0\xB8"},
      {"lines and tabs", "{\\rtf1 one\\par two\\line three\\tab four\r\n five}", "one\ntwo\nthree\tfour five"},
      {"unicode with fallback", R"({\rtf1\uc1 a\u8364?b\u-3913?c})", "a\xE2\x82\xAC" "b\xEF\x82\xB7" "c"},
      {"fallback of two", R"({\rtf1\uc2 x\u233\'65\'65y})", "x\xC3\xA9y"},
      {"surrogate pair", R"({\rtf1\uc1 \u-10179?\u-8704?})", "\xF0\x9F\x98\x80"},
      {"destinations skipped",
       R"({\rtf1{\colortbl;\red0\green0\blue0;}{\*\generator Riched20;}{\stylesheet{s1 x;}}{\info{\title T}}Kept})",
       "Kept"},
      {"embedded object skipped", R"({\rtf1 before {\object{\*\objdata 0102}{\result shown}} after})",
       "before  after"},
      {"escaped braces", R"({\rtf1 a\{b\}c\\d})", "a{b}c\\d"},
      {"binary data skipped", std::string("{\\rtf1 x{\\pict\\bin4 }}{\\}}y}"), "xy"},
      {"unbalanced", R"({\rtf1 open {\b bold)", "open bold"},
      {"stray closing", R"(}}}{\rtf1 text}}})", "text"},
      {"ends in a backslash", "{\\rtf1 text\\", "text"},
      {"cut escape", "{\\rtf1 text\\'e", "text"},
      {"trimmed", "{\\rtf1 \\par\\par  text  \\par}", "text"},
      {"zero byte ends it", std::string("{\\rtf1 a\0b}", 11), "a"},
      {"deep nesting", std::string(10000, '{') + "deep" + std::string(10000, '}') + "tail", "tail"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(RtfPlainText(c.rtf), c.expected);
  }
}

TEST(TextDecoding, ValueTextsForTheLoader) {
  // Worked examples of the format note: 08:00 on 2012-01-09, 16:01 on 2011-07-18.
  EXPECT_EQ(TimestampText(std::string("\xC0\x12\xFC\x27", 4), 0), "2012-01-09T08:00:00");
  EXPECT_EQ(TimestampText(std::string("\x8A\x25\x4D\x27", 4), 0), "2011-07-18T16:01:00");
  EXPECT_EQ(TimestampText(std::string("\xFF\xFF\xFF\xFF", 4), 0), "");  // not set
  EXPECT_EQ(TimestampText(std::string("\x00\x00\x01\x00", 4), 0), "");  // day 1: not set
  EXPECT_EQ(TimestampText(std::string("\xFF\xFF\xFC\x27", 4), 0), "2012-01-09T00:00:00");
  EXPECT_EQ(TimestampText(std::string("\xC0\x12\xFC", 3), 0), "");  // cut off
  EXPECT_EQ(DurationText(4800), "PT8H0M0S");
  EXPECT_EQ(DurationText(42610), "PT71H1M0S");
  EXPECT_EQ(DurationText(432000), "PT720H0M0S");
  EXPECT_EQ(DurationText(7), "PT0H0M42S");
  EXPECT_EQ(DurationText(-1), "");
  EXPECT_EQ(NumberText(0.25), "0.25");
  EXPECT_EQ(NumberText(6300.0 / 10000.0), "0.63");
  EXPECT_EQ(NumberText(1.0), "1");
}

}  // namespace
}  // namespace nerin::mpp
