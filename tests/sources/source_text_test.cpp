// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sources/plan_source.h"

namespace nerin {
namespace {

TEST(SourceText, ClassifySource) {
  struct Row {
    std::string text;
    SourceKind kind;
  };
  const std::vector<Row> rows = {
      {"", SourceKind::Nothing},
      {"   ", SourceKind::Nothing},
      {"http://example.com/plan.xml", SourceKind::Address},
      {"https://example.com/plan.xml", SourceKind::Address},
      {"HTTPS://EXAMPLE.COM/PLAN.XML", SourceKind::Address},
      {"  https://example.com/plan.xml  ", SourceKind::Address},
      {"C:\\plans\\plan.xml", SourceKind::Path},
      {"/home/anna/plans/plan.xml", SourceKind::Path},
      {"plans\\plan.xml", SourceKind::Path},
      {"\\\\server\\share\\plan.xml", SourceKind::Path},
      {"\\\\server@SSL\\DavWWWRoot\\plans\\plan.xml", SourceKind::Path},
      {"ftp://example.com/plan.xml", SourceKind::Path},
      {"file:///home/anna/plan.xml", SourceKind::Path},
      {"http:/example.com", SourceKind::Path},
      {"\thttp://example.com", SourceKind::Path},  // only spaces are trimmed
      {"http://", SourceKind::Address},
  };
  for (const Row& row : rows) EXPECT_TRUE(ClassifySource(row.text) == row.kind) << "[" << row.text << "]";
}

std::string Joined(const std::vector<std::string>& arguments) {
  std::string joined;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (i > 0) joined += '\n';
    joined += arguments[i];
  }
  return joined;
}

TEST(SourceText, CommandLineSource) {
  struct Row {
    std::vector<std::string> arguments;
    std::string source;
  };
  const std::vector<Row> rows = {
      {{}, ""},
      {{"   "}, ""},
      {{"/o", "plan.xml"}, "plan.xml"},
      {{"/O", "plan.xml"}, "plan.xml"},
      {{"  /o  ", "  plan.xml  "}, "plan.xml"},
      {{"plan.xml"}, "plan.xml"},
      {{"C:\\plans\\plan.xml"}, "C:\\plans\\plan.xml"},
      {{"\\\\server\\share\\plan.xml"}, "\\\\server\\share\\plan.xml"},
      {{"/home/anna/plan.xml"}, "/home/anna/plan.xml"},
      {{"https://example.com/plan.xml"}, "https://example.com/plan.xml"},
      {{"first.xml", "second.xml"}, "first.xml"},
      {{"", "plan.xml"}, "plan.xml"},
      {{"other.xml", "/o", "plan.xml"}, "plan.xml"},
      {{"plan.xml", "/o"}, "plan.xml"},
      {{"/o"}, ""},
      {{"/x", "plan.xml"}, "/x"},
      {{"/o", "first.xml", "/o", "second.xml"}, "first.xml"},
      {{"   ", "  ", "plan.xml", ""}, "plan.xml"},
      {{"my plan.xml"}, "my plan.xml"},
      {{"\tplan.xml"}, "\tplan.xml"},
      // A desktop hands files over as URIs; one that names no local file stays as given.
      {{"file:///home/anna/My%20plans/plan.xml"}, "/home/anna/My plans/plan.xml"},
      {{"/o", "FILE:///tmp/plan.xml"}, "/tmp/plan.xml"},
      {{"file://server/share/plan.xml"}, "file://server/share/plan.xml"},
  };
  for (const Row& row : rows) {
    const std::string joined = Joined(row.arguments);
    EXPECT_EQ(CommandLineSource(joined), row.source) << "[" << joined << "]";
  }
}

TEST(SourceText, FileUriPath) {
  struct Row {
    std::string uri;
    std::optional<std::string> path;
  };
  const std::vector<Row> rows = {
      {"file:///tmp/plan.xml", "/tmp/plan.xml"},
      {"file:///home/anna/My%20plans/Plan%201.xml", "/home/anna/My plans/Plan 1.xml"},
      {"file:///tmp/%C3%9Cbergabe.xml", "/tmp/\xC3\x9C" "bergabe.xml"},
      {"file:///tmp/%c3%bc.xml", "/tmp/\xC3\xBC.xml"},
      {"file:///tmp/50%25.xml", "/tmp/50%.xml"},
      {"File://LOCALHOST/tmp/plan.xml", "/tmp/plan.xml"},
      {"file:/tmp/plan.xml", "/tmp/plan.xml"},
      {"file:///tmp/plan.xml?version=2#top", "/tmp/plan.xml"},
      {"file:///tmp/a%23b.xml", "/tmp/a#b.xml"},
      {"file:///", "/"},
      // Not a local path, or no path at all.
      {"file://server/share/plan.xml", std::nullopt},
      {"file://localhost", std::nullopt},
      {"file:plan.xml", std::nullopt},
      {"file:", std::nullopt},
      // Broken escapes, and an escaped zero byte that would cut the path short.
      {"file:///tmp/plan%2.xml", std::nullopt},
      {"file:///tmp/plan%zz.xml", std::nullopt},
      {"file:///tmp/plan.xml%", std::nullopt},
      {"file:///tmp/plan%00.xml", std::nullopt},
      // Other schemes and plain paths.
      {"https://example.com/plan.xml", std::nullopt},
      {"/tmp/file:///plan.xml", std::nullopt},
      {"", std::nullopt},
  };
  for (const Row& row : rows) EXPECT_EQ(FileUriPath(row.uri), row.path) << row.uri;
}

TEST(SourceText, AddressDisplayName) {
  struct Row {
    std::string address;
    std::string name;
  };
  const std::vector<Row> rows = {
      {"https://example.com/plans/plan.xml", "plan.xml"},
      {"https://example.com/plans/plan.xml?version=3&x=1#top", "plan.xml"},
      {"https://example.com/plans/plan.xml#top", "plan.xml"},
      {"https://example.com/get?path=/a/b.xml", "get"},
      {"https://example.com/plans/", "https://example.com/plans/"},
      {"https://example.com/plans/?file=plan.xml", "https://example.com/plans/?file=plan.xml"},
      {"https://example.com", "example.com"},
      {"plan.xml?x", "plan.xml"},
      {"", ""},
  };
  for (const Row& row : rows) EXPECT_EQ(AddressDisplayName(row.address), row.name) << row.address;
}

TEST(SourceText, PathFileName) {
  struct Row {
    std::string path;
    std::string name;
  };
  const std::vector<Row> rows = {
      {"/home/anna/plans/plan.xml", "plan.xml"},
      {"C:\\plans\\plan.xml", "plan.xml"},
      {"plans\\sub/plan.xml", "plan.xml"},
      {"plans/sub\\plan.xml", "plan.xml"},
      {"plan.xml", "plan.xml"},
      {"/home/anna/", ""},
      {"", ""},
  };
  for (const Row& row : rows) EXPECT_EQ(PathFileName(row.path), row.name) << row.path;
}

TEST(SourceText, DecodeUtf8) {
  const std::string fffd = "\xEF\xBF\xBD";
  struct Row {
    std::string_view what;
    std::string bytes;
    std::string text;
  };
  const std::vector<Row> rows = {
      {"empty", "", ""},
      {"ascii", "Plan 1", "Plan 1"},
      {"two, three and four bytes", "\xC3\xBC \xE2\x80\x93 \xF0\x9F\x8F\x97",
       "\xC3\xBC \xE2\x80\x93 \xF0\x9F\x8F\x97"},
      {"highest code point", "\xF4\x8F\xBF\xBF", "\xF4\x8F\xBF\xBF"},
      {"zero byte ends the text", std::string("ab\0cd", 5), "ab"},
      {"zero byte first", std::string("\0abc", 4), ""},
      {"zero byte inside a sequence", std::string("a\xE2\x80\0b", 5), "a" + fffd},
      {"lone continuation byte", "a\x80z", "a" + fffd + "z"},
      {"two continuation bytes", "\x80\xBF", fffd + fffd},
      {"overlong two bytes", "\xC0\xAF", fffd + fffd},
      {"overlong C1", "\xC1\xBF", fffd + fffd},
      {"overlong three bytes", "\xE0\x80\xAF", fffd + fffd + fffd},
      {"overlong four bytes", "\xF0\x80\x80\xAF", fffd + fffd + fffd + fffd},
      {"surrogate", "\xED\xA0\x80", fffd + fffd + fffd},
      {"surrogate pair", "\xED\xA0\xBD\xED\xB2\xA9", fffd + fffd + fffd + fffd + fffd + fffd},
      {"above U+10FFFF", "\xF4\x90\x80\x80", fffd + fffd + fffd + fffd},
      {"F5 lead", "\xF5\x80", fffd + fffd},
      {"FF byte",
       "a\xFF"
       "b",
       "a" + fffd + "b"},
      {"truncated three-byte sequence at end", "ab\xE2\x80", "ab" + fffd},
      {"truncated four-byte sequence at end", "\xF0\x9F\x8F", fffd},
      {"lead byte at end", "x\xC3", "x" + fffd},
      {"truncated sequence before ascii", "\xE2\x80z", fffd + "z"},
      {"truncated sequence before a new lead", "\xE2\xC3\xBC", fffd + "\xC3\xBC"},
      {"valid after invalid", "\xFF\xC3\xBC", fffd + "\xC3\xBC"},
  };
  for (const Row& row : rows) EXPECT_EQ(DecodeUtf8(row.bytes), row.text) << row.what;
}

// Whatever the bytes, the result is valid UTF-8 without a zero byte.
TEST(SourceText, DecodeUtf8AlwaysGivesValidText) {
  std::string bytes;
  std::uint32_t seed = 12345;
  for (int i = 0; i < 20000; ++i) {
    seed = seed * 1103515245u + 12345u;
    const auto byte = static_cast<char>((seed >> 16) & 0xFF);
    bytes += byte == '\0' ? '\x80' : byte;
  }
  const std::string text = DecodeUtf8(bytes);
  EXPECT_EQ(ValidUtf8Length(text), text.size());
  EXPECT_EQ(DecodeUtf8(text), text);
}

}  // namespace
}  // namespace nerin
