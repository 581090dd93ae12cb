// SPDX-License-Identifier: MIT
#include "model/xml_document.h"

#include <gtest/gtest.h>

#include <ostream>

#include <string>
#include <vector>

namespace nerin {
namespace {

using namespace std::string_literals;

// First element of that name in document order, found without recursion.
XmlNode FindFirst(const XmlDocument& doc, std::string_view name) {
  std::vector<XmlNode> pending;
  if (doc.Root() != XML_NONE) pending.push_back(doc.Root());
  while (!pending.empty()) {
    const XmlNode node = pending.back();
    pending.pop_back();
    if (doc.Name(node) == name) return node;
    if (doc.NextSibling(node) != XML_NONE) pending.push_back(doc.NextSibling(node));
    if (doc.FirstChild(node) != XML_NONE) pending.push_back(doc.FirstChild(node));
  }
  return XML_NONE;
}

std::vector<std::string> ChildNames(const XmlDocument& doc, XmlNode node) {
  std::vector<std::string> names;
  for (XmlNode child = doc.FirstChild(node); child != XML_NONE; child = doc.NextSibling(child)) {
    names.emplace_back(doc.Name(child));
  }
  return names;
}

struct FormCase {
  const char* label;
  std::string text;
  bool wellFormed;
};

// Test names carry the label; keeps ctest's list readable.
inline void PrintTo(const FormCase& c, std::ostream* out) { *out << c.label; }

class XmlWellFormed : public ::testing::TestWithParam<FormCase> {};

TEST_P(XmlWellFormed, ParsesAndReportsSyntax) {
  const FormCase& c = GetParam();
  XmlDocument doc;
  ASSERT_TRUE(doc.Parse(c.text)) << c.label;
  EXPECT_EQ(doc.WellFormed(), c.wellFormed) << c.label;
  if (c.wellFormed) {
    EXPECT_TRUE(doc.ErrorText().empty()) << c.label;
    EXPECT_NE(doc.Root(), XML_NONE);
  } else {
    EXPECT_NE(doc.ErrorText().find(" at line "), std::string::npos) << c.label << ": " << doc.ErrorText();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Documents, XmlWellFormed,
    ::testing::Values(
        FormCase{"empty element", "<a/>", true},
        FormCase{"declaration and nesting", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<a><b>x</b></a>",
                 true},
        FormCase{"namespace declared",
                 "<Project xmlns=\"http://schemas.microsoft.com/project\"><Name/></Project>", true},
        FormCase{"latin-1 declared, UTF-8 given",
                 "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\xC3\xA9</a>", true},
        FormCase{"unknown encoding declared", "<?xml version=\"1.0\" encoding=\"windows-1250\"?><a/>", true},
        FormCase{"doctype with internal subset", "<!DOCTYPE a [<!ELEMENT a ANY>]><a/>", true},
        FormCase{"empty text", "", false}, FormCase{"only spaces", "   \n", false},
        FormCase{"only a comment", "<!-- nothing -->", false},
        FormCase{"nothing closed", "<Project><Tasks><Task>", false},
        FormCase{"truncated in a tag", "<a><b>text</b><c", false},
        FormCase{"truncated in text", "<a><b>text", false},
        FormCase{"mismatched tags", "<a><b></a></b>", false}, FormCase{"second root", "<a/><b/>", false},
        FormCase{"undeclared entity", "<a>&nbsp;</a>", false},
        FormCase{"entity without semicolon", "<a>&amp</a>", false},
        FormCase{"bare ampersand", "<a>R&D</a>", false}, FormCase{"bare less-than", "<a>1 < 2</a>", false},
        FormCase{"duplicate attribute", "<a k='1' k='2'/>", false},
        // A byte that does not decode is read as U+FFFD; the text ends at a zero byte.
        FormCase{"invalid UTF-8", "<a>\xFF</a>", true}, FormCase{"zero byte inside", "<a>x\0y</a>"s, false},
        FormCase{"reference to character zero", "<a>&#0;</a>", false},
        FormCase{"text before the root", "x<a/>", false},
        FormCase{"unterminated comment", "<a><!-- </a>", false},
        FormCase{"unterminated CDATA", "<a><![CDATA[ </a>", false}),
    [](const ::testing::TestParamInfo<FormCase>& info) {
      std::string name;
      for (const char ch : std::string(info.param.label))
        name += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
      return name;
    });

struct TextCase {
  const char* label;
  std::string text;
  const char* element;
  std::string expected;
};

// Test names carry the label; keeps ctest's list readable.
inline void PrintTo(const TextCase& c, std::ostream* out) { *out << c.label; }

class XmlText : public ::testing::TestWithParam<TextCase> {};

TEST_P(XmlText, GivesDirectCharacterData) {
  const TextCase& c = GetParam();
  XmlDocument doc;
  ASSERT_TRUE(doc.Parse(c.text));
  ASSERT_TRUE(doc.WellFormed()) << c.label << ": " << doc.ErrorText();
  const XmlNode node = FindFirst(doc, c.element);
  ASSERT_NE(node, XML_NONE) << c.label;
  std::string scratch = "stale";
  EXPECT_EQ(doc.Text(node, scratch), c.expected) << c.label;
}

INSTANTIATE_TEST_SUITE_P(
    Documents, XmlText,
    ::testing::Values(
        TextCase{"plain", "<a>plain</a>", "a", "plain"},
        TextCase{"spaces kept", "<a>  spaced  out  </a>", "a", "  spaced  out  "},
        TextCase{"empty pair", "<a></a>", "a", ""}, TextCase{"self-closed", "<a/>", "a", ""},
        TextCase{"predefined entities", "<a>&amp;&lt;&gt;&quot;&apos;</a>", "a", "&<>\"'"},
        TextCase{"character references", "<a>&#x20AC;&#8364;&#65;</a>", "a",
                 "\xE2\x82\xAC\xE2\x82\xAC"
                 "A"},
        TextCase{"UTF-8 kept",
                 "<a>Gr\xC3\xBC\xC3\x9F"
                 "e \xE2\x82\xAC</a>",
                 "a",
                 "Gr\xC3\xBC\xC3\x9F"
                 "e \xE2\x82\xAC"},
        TextCase{"latin-1 declaration honoured",
                 "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\xE9</a>", "a", "\xC3\xA9"},
        TextCase{"CDATA", "<a>x<![CDATA[<b>&amp;</b>]]>y</a>", "a", "x<b>&amp;</b>y"},
        TextCase{"mixed content, parent", "<a>one<b>two</b>three<c/>four</a>", "a", "onethreefour"},
        TextCase{"mixed content, child", "<a>one<b>two</b>three<c/>four</a>", "b", "two"},
        TextCase{"child text is not the parent's", "<a><b>inner</b></a>", "a", ""},
        TextCase{"grandchild text", "<a>1<b>2<c>3</c>4</b>5</a>", "b", "24"},
        TextCase{"comments and instructions skipped", "<a>x<!-- c -->y<?pi data?>z</a>", "a", "xyz"},
        TextCase{"line ends normalised", "<a>l1\r\nl2\rl3</a>", "a", "l1\nl2\nl3"},
        TextCase{"attributes are not text", "<a k='v' xmlns='urn:x'>t</a>", "a", "t"},
        TextCase{"internal entity", "<!DOCTYPE a [<!ENTITY e 'ent&#x20AC;'>]><a>&e;!</a>", "a",
                 "ent\xE2\x82\xAC!"},
        TextCase{"prefixed name", "<p:a xmlns:p='urn:p'>t</p:a>", "p:a", "t"},
        TextCase{"whitespace around root ignored", "\n  <a>in</a>\n  ", "a", "in"}),
    [](const ::testing::TestParamInfo<TextCase>& info) {
      std::string name;
      for (const char ch : std::string(info.param.label))
        name += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
      return name;
    });

TEST(XmlTree, ChildrenInDocumentOrder) {
  XmlDocument doc;
  ASSERT_TRUE(doc.Parse("<r><x/>text<y><z/></y><!-- c --><w>1</w><x/></r>"));
  ASSERT_TRUE(doc.WellFormed());
  EXPECT_EQ(doc.NodeCount(), 6u);
  EXPECT_EQ(doc.Name(doc.Root()), "r");
  EXPECT_EQ(ChildNames(doc, doc.Root()), (std::vector<std::string>{"x", "y", "w", "x"}));
  const XmlNode y = FindFirst(doc, "y");
  EXPECT_EQ(ChildNames(doc, y), (std::vector<std::string>{"z"}));
  EXPECT_EQ(doc.FirstChild(FindFirst(doc, "z")), XML_NONE);
  EXPECT_EQ(doc.NextSibling(FindFirst(doc, "z")), XML_NONE);
  EXPECT_EQ(doc.NextSibling(doc.Root()), XML_NONE);
}

TEST(XmlTree, OutOfRangeNodesGiveNothing) {
  XmlDocument doc;
  ASSERT_TRUE(doc.Parse("<a><b>t</b></a>"));
  std::string scratch;
  for (const XmlNode bad : {XML_NONE, XmlNode{-7}, XmlNode{2}, XmlNode{1 << 30}}) {
    EXPECT_EQ(doc.Name(bad), "");
    EXPECT_EQ(doc.FirstChild(bad), XML_NONE);
    EXPECT_EQ(doc.NextSibling(bad), XML_NONE);
    EXPECT_EQ(doc.Text(bad, scratch), "");
  }
}

TEST(XmlTree, PartialTreeOfBrokenDocumentIsSafeToWalk) {
  XmlDocument doc;
  ASSERT_TRUE(doc.Parse("<Project><Tasks><Task><Name>half"));
  EXPECT_FALSE(doc.WellFormed());
  std::string scratch;
  const XmlNode name = FindFirst(doc, "Name");
  ASSERT_NE(name, XML_NONE);
  EXPECT_EQ(doc.Text(name, scratch), "half");
  EXPECT_EQ(doc.Text(doc.Root(), scratch), "");
}

TEST(XmlTree, ManyDistinctNamesAreKeptApart) {
  std::string text = "<root>";
  for (int i = 0; i < 3000; ++i) text += "<n" + std::to_string(i) + "/>";
  text += "<n7/></root>";
  XmlDocument doc;
  ASSERT_TRUE(doc.Parse(text));
  ASSERT_TRUE(doc.WellFormed());
  int i = 0;
  for (XmlNode child = doc.FirstChild(doc.Root()); child != XML_NONE; child = doc.NextSibling(child), ++i) {
    const std::string expected = i < 3000 ? "n" + std::to_string(i) : "n7";
    ASSERT_EQ(doc.Name(child), expected);
  }
  EXPECT_EQ(i, 3001);
}

TEST(XmlTree, MixedContentWithManyChildren) {
  // Whitespace between children belongs to the parent; gathering it must stay linear.
  constexpr int CHILDREN = 100000;
  std::string text = "<Tasks>";
  std::string expected;
  for (int i = 0; i < CHILDREN; ++i) {
    text += "\n  <Task>" + std::to_string(i) + "</Task>";
    expected += "\n  ";
  }
  text += "\n</Tasks>";
  expected += "\n";
  XmlDocument doc;
  ASSERT_TRUE(doc.Parse(text));
  ASSERT_TRUE(doc.WellFormed());
  std::string scratch;
  EXPECT_EQ(doc.Text(doc.Root(), scratch), expected);
  const XmlNode last = static_cast<XmlNode>(doc.NodeCount() - 1);
  EXPECT_EQ(doc.Text(last, scratch), std::to_string(CHILDREN - 1));
}

TEST(XmlTree, SinglePieceTextPointsIntoDocument) {
  XmlDocument doc;
  ASSERT_TRUE(doc.Parse("<a>one<b>two</b></a>"));
  std::string scratch;
  const std::string_view text = doc.Text(doc.Root(), scratch);
  EXPECT_EQ(text, "one");
  EXPECT_TRUE(scratch.empty());
}

TEST(XmlTree, FreeEmptiesAndParseStartsAfresh) {
  XmlDocument doc;
  ASSERT_TRUE(doc.Parse("<a><b>x</b>"));
  EXPECT_FALSE(doc.WellFormed());
  EXPECT_FALSE(doc.ErrorText().empty());
  doc.Free();
  EXPECT_EQ(doc.NodeCount(), 0u);
  EXPECT_EQ(doc.Root(), XML_NONE);
  EXPECT_FALSE(doc.WellFormed());
  EXPECT_TRUE(doc.ErrorText().empty());
  doc.Free();  // twice is harmless

  ASSERT_TRUE(doc.Parse("<c>y</c>"));
  EXPECT_TRUE(doc.WellFormed());
  EXPECT_TRUE(doc.ErrorText().empty());
  EXPECT_EQ(doc.NodeCount(), 1u);
  std::string scratch;
  EXPECT_EQ(doc.Text(doc.Root(), scratch), "y");
  // A second parse without Free replaces the first document.
  ASSERT_TRUE(doc.Parse("<d/>"));
  EXPECT_EQ(doc.NodeCount(), 1u);
  EXPECT_EQ(doc.Name(doc.Root()), "d");
}

TEST(XmlTree, ErrorTextNamesLineAndColumn) {
  XmlDocument doc;
  ASSERT_TRUE(doc.Parse("<a>\n<b></c>\n</a>"));
  EXPECT_FALSE(doc.WellFormed());
  EXPECT_EQ(doc.ErrorText(), "mismatched tag at line 2, column 6");
}

// Where the parser stopped, counted from 1 both ways; the place must survive the chunked
// feeding of large documents, and a later well-formed parse must forget it.
TEST(XmlTree, ErrorPlaceAndReason) {
  struct Row {
    std::string what;
    std::string text;
    std::int64_t line, column;
    std::string reason;
  };
  const std::string megabyte(std::size_t{3} << 20, ' ');
  const std::vector<Row> rows = {
      {"mismatched tag", "<a>\n<b></c>\n</a>", 2, 6, "mismatched tag"},
      {"first character", "x", 1, 1, "syntax error"},
      {"empty text", "", 1, 1, "no element found"},
      {"unclosed at the end", "<a>\r\n<b>", 2, 4, "no element found"},
      {"unknown entity", "<a>\n  &nope;</a>", 2, 3, "undefined entity"},
      {"after megabytes of text", "<a>" + megabyte + "\n\n<b></a>", 3, 6, "mismatched tag"},
  };
  for (const Row& row : rows) {
    XmlDocument doc;
    ASSERT_TRUE(doc.Parse(row.text)) << row.what;
    EXPECT_FALSE(doc.WellFormed()) << row.what;
    EXPECT_EQ(doc.ErrorLine(), row.line) << row.what;
    EXPECT_EQ(doc.ErrorColumn(), row.column) << row.what;
    EXPECT_EQ(doc.ErrorReason(), row.reason) << row.what;
    ASSERT_TRUE(doc.Parse("<ok/>"));
    EXPECT_EQ(doc.ErrorLine() + doc.ErrorColumn(), 0) << row.what;
    EXPECT_EQ(doc.ErrorReason(), "") << row.what;
  }
}

}  // namespace
}  // namespace nerin

namespace nerin {
namespace {

// A document built element by element reads as the same text parsed would.
TEST(XmlBuilt, ReadsLikeTheParsedText) {
  XmlDocument parsed;
  ASSERT_TRUE(parsed.Parse("<Project><Name>A &amp; B</Name><Tasks><Task><UID>1</UID></Task>"
                           "<Task><UID>2</UID><Name>Zw\xC3\xB6lf</Name></Task></Tasks></Project>"));
  XmlDocument built;
  {
    XmlDocumentBuilder builder(built);
    builder.Open("Project");
    builder.Element("Name", "A & B");
    builder.Open("Tasks");
    builder.Open("Task");
    builder.Element("UID", "1");
    builder.Close();
    builder.Open("Task");
    builder.Element("UID", "2");
    builder.Element("Name", "Zw\xC3\xB6lf");
    // Left open: Finish closes it, and Tasks and Project after it.
    ASSERT_TRUE(builder.Finish());
  }
  ASSERT_TRUE(built.WellFormed());
  ASSERT_EQ(built.NodeCount(), parsed.NodeCount());
  std::string a;
  std::string b;
  for (XmlNode node = 0; node < static_cast<XmlNode>(parsed.NodeCount()); ++node) {
    EXPECT_EQ(built.Name(node), parsed.Name(node)) << node;
    EXPECT_EQ(built.NextSibling(node), parsed.NextSibling(node)) << node;
    EXPECT_EQ(built.FirstChild(node), parsed.FirstChild(node)) << node;
    EXPECT_EQ(built.Text(node, a), parsed.Text(node, b)) << node;
  }
}

TEST(XmlBuilt, SecondRootAndStrayClosesAreIgnored) {
  XmlDocument built;
  XmlDocumentBuilder builder(built);
  builder.Close();
  builder.Element("Project", "x");
  builder.Element("Other", "y");
  builder.Close();
  ASSERT_TRUE(builder.Finish());
  EXPECT_EQ(built.NodeCount(), 1u);
  EXPECT_EQ(built.Name(built.Root()), "Project");
  // Nothing is taken once finished.
  builder.Open("Late");
  EXPECT_EQ(built.NodeCount(), 1u);
}

}  // namespace
}  // namespace nerin
