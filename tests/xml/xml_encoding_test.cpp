// SPDX-License-Identifier: MIT
// The bytes of a document in the encodings real plans come in, and element names by
// namespace rather than by prefix.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "model/plan_text.h"
#include "model/xml_document.h"

namespace nerin {
namespace {

using namespace std::string_literals;
using test::Utf16;

const std::string FFFD = "\xEF\xBF\xBD";

// The document fed in pieces of `piece` bytes, as a file or a download arrives; whole when 0.
// Pieces of 1, 2 and 3 bytes cut every multi-byte character and every surrogate pair.
bool ParseInPieces(XmlDocument& doc, std::string_view bytes, std::size_t piece) {
  if (piece == 0) return doc.Parse(bytes);
  XmlStreamParser stream(doc);
  for (std::size_t at = 0; at < bytes.size(); at += piece) {
    if (!stream.Feed(bytes.substr(at, piece))) break;
  }
  return stream.Finish();
}

constexpr std::size_t PIECES[] = {0, 1, 2, 3, 5};

std::string Declared(std::string_view encoding, std::string_view body) {
  return "<?xml version=\"1.0\" encoding=\"" + std::string(encoding) + "\"?>" + std::string(body);
}

TEST(XmlEncodings, BytesAreReadInTheEncodingTheFileNames) {
  struct Row {
    std::string what;
    std::string bytes;
    std::string text;  // of the root element
    std::string encoding;
    std::int64_t replaced = 0;
  };
  const std::string german = "<a>Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC</a>";  // Grüße €
  const std::string germanText = "Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC";
  const std::string utf16Declared = Declared("UTF-16", german);
  const std::string loneSurrogate = Utf16("<a>x", false, true) + "\x00\xD8"s + Utf16("y</a>", false, false);
  const std::vector<Row> rows = {
      {"UTF-16LE with a mark", Utf16(utf16Declared, false, true), germanText, "UTF-16LE"},
      {"UTF-16BE with a mark", Utf16(utf16Declared, true, true), germanText, "UTF-16BE"},
      {"UTF-16LE without a mark", Utf16(utf16Declared, false, false), germanText, "UTF-16LE"},
      {"UTF-16BE without a mark", Utf16(utf16Declared, true, false), germanText, "UTF-16BE"},
      // A shell that saves text as UTF-16 keeps the declaration it was given: the mark wins.
      {"UTF-16 declared as UTF-8", Utf16(Declared("UTF-8", german), false, true), germanText, "UTF-16LE"},
      {"UTF-16 beyond the first plane", Utf16("<a>\xF0\x9F\x8F\x97</a>", false, true), "\xF0\x9F\x8F\x97",
       "UTF-16LE"},
      {"UTF-16 lone surrogate", loneSurrogate, "x" + FFFD + "y", "UTF-16LE", 1},
      {"UTF-16 zero after the root", Utf16("<a>z</a>", true, true) + "\0\0\0<\xD8"s, "z", "UTF-16BE"},
      {"UTF-16 odd last byte", Utf16("<a>z</a>\n", false, true) + "\x20", "z", "UTF-16LE", 1},
      {"ISO-8859-1",
       Declared("iso-8859-1",
                "<a>Gr\xFC\xDF"
                "e</a>"),
       "Gr\xC3\xBC\xC3\x9F"
       "e",
       "iso-8859-1"},
      {"windows-1252", Declared("windows-1252", "<a>\x80 \x93q\x94</a>"),
       "\xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D", "windows-1252"},
      {"windows-1252 undefined bytes",
       Declared("windows-1252",
                "<a>a\x81"
                "b\x9D</a>"),
       "a" + FFFD + "b" + FFFD, "windows-1252", 2},
      {"ISO-8859-15 through iconv", Declared("ISO-8859-15", "<a>\xA4</a>"), "\xE2\x82\xAC", "ISO-8859-15"},
      // Two-byte characters whose second byte is an ASCII letter or "{".
      {"Shift_JIS", Declared("Shift_JIS", "<a>\x93\xFA\x96\x7B-\x83\x76</a>"),
       "\xE6\x97\xA5\xE6\x9C\xAC-\xE3\x83\x97", "Shift_JIS"},
      // A lead byte that begins no character is one replacement; an ASCII byte after it is itself.
      {"Shift_JIS undecodable", Declared("Shift_JIS", "<a>\xA0x\x81\x7F</a>"), FFFD + "x" + FFFD + "\x7F",
       "Shift_JIS", 2},
      // A lead byte before markup no longer takes the "<" with it: the markup after it is read.
      {"Shift_JIS lead byte before a tag", Declared("Shift_JIS", "<a>x\x82<b/>y</a>"), "x" + FFFD + "y",
       "Shift_JIS", 1},
      {"Shift_JIS lead byte before the end tag", Declared("Shift_JIS", "<a>\x93\xFA\x82</a>"),
       "\xE6\x97\xA5" + FFFD, "Shift_JIS", 1},
      {"UTF-8 under another name with a stray byte", Declared("utf8", "<a>caf\xE9<b/>!</a>"),
       "caf" + FFFD + "!", "utf8", 1},
      // GB18030 gives its lead bytes sequences of two and of four bytes.
      {"GB18030 four bytes below U+FFFF", Declared("GB18030", "<a>\x81\x30\x81\x30-\xA8\xA6</a>"),
       "\xC2\x80-\xC3\xA9", "GB18030"},
      {"GB18030 U+FFFF, no XML character", Declared("GB18030", "<a>\x84\x31\xA4\x39</a>"), FFFD, "GB18030", 1},
      // A pair whose lead and trail bytes are both in range but that stands for nothing.
      {"Shift_JIS unassigned pair", Declared("Shift_JIS", "<a>\x85\x40</a>"), FFFD + "@", "Shift_JIS", 1},
      {"Big5 lead byte before the end tag", Declared("Big5", "<a>\xA4\xA4\xA4</a>"), "\xE4\xB8\xAD" + FFFD, "Big5", 1},
      {"GB18030 beyond the first plane", Declared("GB18030", "<a>\x90\x30\x81\x30</a>"), "\xF0\x90\x80\x80",
       "GB18030"},
      // .NET writes a string it serialised as UTF-16 into a UTF-8 file, declaration and all.
      {"UTF-8 declared as UTF-16", utf16Declared, germanText, "UTF-8"},
      {"UTF-8 mark over a Latin-1 declaration", "\xEF\xBB\xBF" + Declared("ISO-8859-1", german), germanText,
       "UTF-8"},
      {"US-ASCII with bytes above it",
       Declared("US-ASCII",
                "<a>Gr\xFC\xDF"
                "e</a>"),
       "Gr" + FFFD + FFFD + "e", "US-ASCII", 2},
      {"undeclared Latin-1",
       "<a>Gr\xFC\xDF"
       "e</a>",
       "Gr" + FFFD + FFFD + "e", "UTF-8", 2},
      {"invalid UTF-8 before a zero byte", "<a>\xC3(</a>\0\xFF"s, FFFD + "(", "UTF-8", 1},
  };
  for (const Row& row : rows) {
    for (const std::size_t piece : PIECES) {
      SCOPED_TRACE(row.what + " in pieces of " + std::to_string(piece));
      XmlDocument doc;
      ASSERT_TRUE(ParseInPieces(doc, row.bytes, piece));
      ASSERT_TRUE(doc.WellFormed()) << doc.ErrorText();
      std::string scratch;
      EXPECT_EQ(doc.Text(doc.Root(), scratch), row.text);
      EXPECT_EQ(doc.EncodingName(), row.encoding);
      EXPECT_EQ(doc.ReplacedCharacters(), row.replaced);
      EXPECT_EQ(doc.UnreadableEncoding(), "");
    }
  }
}

TEST(XmlEncodings, EncodingsNobodyCanReadAreNamed) {
  struct Row {
    std::string bytes;
    std::string unreadable;
  };
  const std::vector<Row> rows = {
      {Declared("x-nerin-unknown", "<a/>"), "x-nerin-unknown"},
      // Known to the C library, but its markup is not plain ASCII.
      {Declared("UTF-7", "<a/>"), "UTF-7"},
      {Declared("ISO-2022-JP", "<a/>"), "ISO-2022-JP"},
  };
  for (const Row& row : rows) {
    for (const std::size_t piece : PIECES) {
      XmlDocument doc;
      ASSERT_TRUE(ParseInPieces(doc, row.bytes, piece)) << row.unreadable;
      EXPECT_FALSE(doc.WellFormed()) << row.unreadable;
      EXPECT_EQ(doc.UnreadableEncoding(), row.unreadable);
      EXPECT_EQ(doc.NodeCount(), 0u) << row.unreadable;
    }
  }
  // Other faults say nothing about the encoding.
  XmlDocument doc;
  ASSERT_TRUE(doc.Parse(Declared("windows-1252", "<a>")));
  EXPECT_FALSE(doc.WellFormed());
  EXPECT_EQ(doc.UnreadableEncoding(), "");
}

std::vector<std::string> AllNames(const XmlDocument& doc) {
  std::vector<std::string> names;
  for (XmlNode node = 0; node < static_cast<XmlNode>(doc.NodeCount()); ++node) {
    names.emplace_back(doc.Name(node));
  }
  return names;
}

TEST(XmlNamespaces, ElementsOfThePlanNamespaceAreNamedWithoutPrefix) {
  struct Row {
    std::string what;
    std::string text;
    std::vector<std::string> names;  // in document order
  };
  const std::string plan = "\"http://schemas.microsoft.com/project\"";
  const std::vector<Row> rows = {
      {"prefixed root and children", "<p:Project xmlns:p=" + plan + "><p:Name/><p:Tasks><p:Task/></p:Tasks></p:Project>",
       {"Project", "Name", "Tasks", "Task"}},
      {"default namespace", "<Project xmlns=" + plan + "><Name/></Project>", {"Project", "Name"}},
      {"prefix declared lower down", "<Project><m:Tasks xmlns:m=" + plan + "><m:Task/></m:Tasks><m:Task/></Project>",
       {"Project", "Tasks", "Task", "m:Task"}},
      {"another namespace keeps its prefix", "<Project xmlns:x=\"urn:other\"><x:Name/><Name/></Project>",
       {"Project", "x:Name", "Name"}},
      {"a prefix bound again inside",
       "<p:Project xmlns:p=" + plan + "><p:A xmlns:p=\"urn:other\"><p:B/></p:A><p:C/></p:Project>",
       {"Project", "p:A", "p:B", "C"}},
      {"undeclared prefix", "<q:Project><q:Name/></q:Project>", {"q:Project", "q:Name"}},
      {"a default namespace of another kind", "<Project xmlns=\"urn:other\"><Name/></Project>",
       {"Project", "Name"}},
  };
  for (const Row& row : rows) {
    XmlDocument doc;
    ASSERT_TRUE(doc.Parse(row.text)) << row.what;
    ASSERT_TRUE(doc.WellFormed()) << row.what << ": " << doc.ErrorText();
    EXPECT_EQ(AllNames(doc), row.names) << row.what;
  }
}

}  // namespace
}  // namespace nerin
