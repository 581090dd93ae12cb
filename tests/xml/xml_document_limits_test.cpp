// SPDX-License-Identifier: MIT
// Hostile and oversized documents: depth, entities, large text, text across feed chunks.
#include <gtest/gtest.h>

#include <ostream>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "model/xml_document.h"

namespace nerin {
namespace {

// All character data of the document, walked without recursion.
std::string AllText(const XmlDocument& doc) {
  std::string all;
  std::string scratch;
  for (std::size_t i = 0; i < doc.NodeCount(); ++i) all += doc.Text(static_cast<XmlNode>(i), scratch);
  return all;
}

TEST(XmlDepth, MillionLevelsBuildWalkAndFree) {
  constexpr int DEPTH = 1000000;
  std::string text;
  text.reserve(DEPTH * 7 + 16);
  for (int i = 0; i < DEPTH; ++i) text += "<a>";
  text += "deep";
  for (int i = 0; i < DEPTH; ++i) text += "</a>";

  XmlDocument doc;
  ASSERT_TRUE(doc.Parse(text));
  ASSERT_TRUE(doc.WellFormed()) << doc.ErrorText();
  EXPECT_EQ(doc.NodeCount(), static_cast<std::size_t>(DEPTH));
  int depth = 1;
  XmlNode node = doc.Root();
  for (XmlNode child = doc.FirstChild(node); child != XML_NONE; child = doc.FirstChild(child)) {
    EXPECT_EQ(doc.NextSibling(child), XML_NONE);
    node = child;
    ++depth;
  }
  EXPECT_EQ(depth, DEPTH);
  std::string scratch;
  EXPECT_EQ(doc.Text(node, scratch), "deep");
  EXPECT_EQ(doc.Text(doc.Root(), scratch), "");
  doc.Free();
  EXPECT_EQ(doc.NodeCount(), 0u);
}

TEST(XmlDepth, MillionUnclosedLevelsAreRejectedSafely) {
  constexpr int DEPTH = 1000000;
  std::string text;
  text.reserve(DEPTH * 3 + 8);
  for (int i = 0; i < DEPTH; ++i) text += "<a>";
  text += "x";
  XmlDocument doc;
  ASSERT_TRUE(doc.Parse(text));
  EXPECT_FALSE(doc.WellFormed());
  std::string scratch;
  EXPECT_EQ(doc.Text(static_cast<XmlNode>(doc.NodeCount() - 1), scratch), "x");
}

class TempFile {
 public:
  explicit TempFile(const std::string& content)
      : path_(std::filesystem::temp_directory_path() / ("nerin-xml-secret-" + std::to_string(::getpid()))) {
    std::ofstream(path_) << content;
  }
  ~TempFile() { std::filesystem::remove(path_); }
  std::string Path() const { return path_.string(); }

 private:
  std::filesystem::path path_;
};

struct EntityCase {
  const char* label;
  std::string before;  // text before the file name
  std::string after;   // text after it
};

// Test names carry the label; keeps ctest's list readable.
inline void PrintTo(const EntityCase& c, std::ostream* out) { *out << c.label; }

class XmlExternal : public ::testing::TestWithParam<EntityCase> {};

TEST_P(XmlExternal, NoFileContentReachesTheTree) {
  const EntityCase& c = GetParam();
  const TempFile secret("SECRET-MARKER-4711");
  for (const std::string& target : {"file://" + secret.Path(), secret.Path(),
                                    std::string("file:///etc/passwd"), std::string("/etc/passwd")}) {
    XmlDocument doc;
    ASSERT_TRUE(doc.Parse(c.before + target + c.after)) << c.label;
    const std::string all = AllText(doc);
    EXPECT_EQ(all.find("SECRET-MARKER"), std::string::npos) << c.label;
    EXPECT_EQ(all.find("root:"), std::string::npos) << c.label;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Documents, XmlExternal,
    ::testing::Values(
        EntityCase{"general entity", "<?xml version=\"1.0\"?><!DOCTYPE a [<!ENTITY xxe SYSTEM \"",
                   "\">]><a>&xxe;</a>"},
        EntityCase{"entity in nested element", "<!DOCTYPE Project [<!ENTITY xxe SYSTEM \"",
                   "\">]><Project><Name>&xxe;</Name></Project>"},
        EntityCase{"parameter entity", "<!DOCTYPE a [<!ENTITY % p SYSTEM \"", "\"> %p;]><a>&e;</a>"},
        EntityCase{"external subset", "<!DOCTYPE a SYSTEM \"", "\"><a>x</a>"},
        EntityCase{"public identifier", "<!DOCTYPE a PUBLIC \"-//X//Y\" \"", "\"><a>&e;</a>"}));

TEST(XmlEntities, BillionLaughsIsRejected) {
  std::string text = "<?xml version=\"1.0\"?><!DOCTYPE lolz [<!ENTITY lol \"lol\">";
  text += "<!ENTITY lol1 \"&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;\">";
  for (int i = 2; i <= 9; ++i) {
    text += "<!ENTITY lol" + std::to_string(i) + " \"";
    for (int j = 0; j < 10; ++j) text += "&lol" + std::to_string(i - 1) + ";";
    text += "\">";
  }
  text += "]><lolz>&lol9;</lolz>";
  XmlDocument doc;
  ASSERT_TRUE(doc.Parse(text));
  EXPECT_FALSE(doc.WellFormed());
  EXPECT_FALSE(doc.ErrorText().empty());
}

std::string EntityChain(int declarations) {
  std::string text = "<!DOCTYPE a [<!ENTITY e0 'x'>";
  for (int i = 1; i < declarations; ++i) {
    text += "<!ENTITY e" + std::to_string(i) + " '&e" + std::to_string(i - 1) + ";'>";
  }
  return text + "]><a>&e" + std::to_string(declarations - 1) + ";</a>";
}

TEST(XmlEntities, ChainWithinTheDeclarationLimitExpands) {
  XmlDocument doc;
  ASSERT_TRUE(doc.Parse(EntityChain(1000)));
  ASSERT_TRUE(doc.WellFormed()) << doc.ErrorText();
  std::string scratch;
  EXPECT_EQ(doc.Text(doc.Root(), scratch), "x");
}

TEST(XmlEntities, LongChainIsRejectedBeforeExpansion) {
  // Expanded, a chain this long would recurse deep enough inside expat to overflow the stack.
  XmlDocument doc;
  ASSERT_TRUE(doc.Parse(EntityChain(200000)));
  EXPECT_FALSE(doc.WellFormed());
  EXPECT_EQ(doc.ErrorText().rfind("more than 1000 entity declarations at line 1, column ", 0), 0u)
      << doc.ErrorText();
  EXPECT_EQ(doc.NodeCount(), 0u);
}

TEST(XmlSize, LargeTextNodeIsKeptWhole) {
  constexpr std::size_t SIZE = 24u << 20;  // larger than one feed chunk
  std::string body(SIZE, 'x');
  for (std::size_t i = 0; i < SIZE; i += 4099) body[i] = 'y';
  XmlDocument doc;
  ASSERT_TRUE(doc.Parse("<Notes>" + body + "</Notes>"));
  ASSERT_TRUE(doc.WellFormed());
  std::string scratch;
  const std::string_view text = doc.Text(doc.Root(), scratch);
  EXPECT_EQ(text.size(), SIZE);
  EXPECT_TRUE(text == body);
}

TEST(XmlSize, TextAcrossFeedChunksIsExact) {
  // Entities, multi-byte characters and CDATA land on every possible chunk boundary.
  std::string text = "<r>";
  std::vector<std::string> expected;
  for (int i = 0; text.size() < (9u << 20); ++i) {
    const std::string n = std::to_string(i);
    text += "<t>" + n + "&amp;\xE2\x82\xAC<![CDATA[<" + n + ">]]>&#x41;</t>\r\n";
    expected.push_back(n + "&\xE2\x82\xAC<" + n + ">A");
  }
  text += "</r>";
  XmlDocument doc;
  ASSERT_TRUE(doc.Parse(text));
  ASSERT_TRUE(doc.WellFormed());
  std::string scratch;
  std::size_t i = 0;
  for (XmlNode t = doc.FirstChild(doc.Root()); t != XML_NONE; t = doc.NextSibling(t), ++i) {
    ASSERT_LT(i, expected.size());
    ASSERT_EQ(doc.Text(t, scratch), expected[i]) << "element " << i;
  }
  EXPECT_EQ(i, expected.size());
  EXPECT_EQ(doc.Text(doc.Root(), scratch), std::string(expected.size(), '\n'));
}

}  // namespace
}  // namespace nerin
