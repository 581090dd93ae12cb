// SPDX-License-Identifier: MIT
// Documents read as their bytes arrive: only the elements a reader keeps, and the limits of
// the tree, each passed with a reason rather than with the memory of the machine.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "model/xml_document.h"

namespace nerin {
namespace {

// Keeps the root, its "keep" children and their "field" children; "field" elements elsewhere,
// and every other element, are skipped.
class KeepFilter final : public XmlElementFilter {
 public:
  std::uint8_t NameClass(std::string_view name) const override {
    if (name == "keep") return 1;
    if (name == "field") return 2;
    return 0;
  }
  bool Keep(std::size_t depth, std::uint8_t parent, std::uint8_t element) const override {
    if (depth == 1) return true;
    if (depth == 2) return element == 1;
    return depth == 3 && parent == 1 && element == 2;
  }
};

std::string Outline(const XmlDocument& doc) {
  std::string outline;
  std::string scratch;
  for (XmlNode node = 0; node < static_cast<XmlNode>(doc.NodeCount()); ++node) {
    outline += std::string(doc.Name(node)) + "=" + std::string(doc.Text(node, scratch)) + ";";
  }
  return outline;
}

TEST(XmlStream, ElementsAReaderDoesNotKeepCostNothing) {
  struct Row {
    std::string what;
    std::string bytes;
    std::string outline;
  };
  const std::vector<Row> rows = {
      {"kept and skipped", "<r>t<keep>k<field>1</field><other>x<field>2</field></other></keep><skip><keep/></skip></r>",
       "r=t;keep=k;field=1;"},
      // The text of a skipped element is not part of its parent's own text.
      {"text around a skipped element", "<r><keep>a<other>b</other>c</keep></r>", "r=;keep=ac;"},
      // A prefix declared on a skipped element does not reach its siblings.
      {"prefix of a skipped element", "<r xmlns:p='x'><skip xmlns:p='http://schemas.microsoft.com/project'/>"
       "<p:keep>n</p:keep><keep>y</keep></r>",
       "r=;keep=y;"},
      {"plan namespace prefix", "<r xmlns:p='http://schemas.microsoft.com/project'><p:keep><p:field>v</p:field>"
       "</p:keep></r>",
       "r=;keep=;field=v;"},
  };
  const KeepFilter filter;
  for (const Row& row : rows) {
    for (const std::size_t piece : {std::size_t{1}, std::size_t{4}, row.bytes.size()}) {
      XmlDocument doc;
      XmlStreamParser stream(doc, &filter);
      for (std::size_t at = 0; at < row.bytes.size(); at += piece) stream.Feed(std::string_view(row.bytes).substr(at, piece));
      ASSERT_TRUE(stream.Finish()) << row.what;
      ASSERT_TRUE(doc.WellFormed()) << row.what << ": " << doc.ErrorText();
      EXPECT_EQ(Outline(doc), row.outline) << row.what << " in pieces of " << piece;
    }
  }
}

TEST(XmlStream, TheTreesLimitsAreNamed) {
  struct Row {
    std::string what;
    XmlLimits limits;
    std::string bytes;
    std::string passed;  // empty: within the limits
  };
  const auto limits = [](std::size_t elements, std::size_t text, std::size_t elementText) {
    XmlLimits l;
    l.Elements = elements;
    l.Text = text;
    l.ElementText = elementText;
    return l;
  };
  const std::string many = "<r>" + std::string(2000, 'x') + "<a/><a/><a/></r>";
  const std::vector<Row> rows = {
      {"within", limits(4, 2000, 2000), many, ""},
      {"elements", limits(3, 2000, 2000), many, "more than 3 elements"},
      {"text", limits(4, 1999, 5000), many, "more than 1999 bytes of text"},
      {"one element's text", limits(4, 5000, 1999), many, "more than 1999 bytes of text in one element"},
      // Each element's own text counts on its own.
      {"text spread over elements", limits(10, 5000, 3), "<r>abc<a>abc</a>abc</r>", "more than 3 bytes of text in one element"},
      {"in megabytes", limits(10, std::size_t{3} << 20, std::size_t{2} << 20),
       "<r><a>" + std::string((std::size_t{2} << 20) + 1, 'y') + "</a></r>", "more than 2 MB of text in one element"},
  };
  for (const Row& row : rows) {
    XmlDocument doc;
    XmlStreamParser stream(doc, nullptr, row.limits);
    for (std::size_t at = 0; at < row.bytes.size(); at += 4096) {
      if (!stream.Feed(std::string_view(row.bytes).substr(at, 4096))) break;
    }
    EXPECT_EQ(stream.Finish(), row.passed.empty()) << row.what;
    EXPECT_EQ(doc.LimitPassed(), row.passed) << row.what;
    if (!row.passed.empty()) {
      EXPECT_EQ(doc.NodeCount(), 0u) << row.what;
    }
  }
}

TEST(XmlStream, ReadingEndsAtAFaultWithoutTheRest) {
  XmlDocument doc;
  XmlStreamParser stream(doc);
  EXPECT_TRUE(stream.Feed("<r><a>"));
  EXPECT_FALSE(stream.Feed("</b>"));  // a mismatched tag: nothing after it is needed
  EXPECT_FALSE(stream.Feed("</a></r>"));
  ASSERT_TRUE(stream.Finish());
  EXPECT_FALSE(doc.WellFormed());
  EXPECT_EQ(doc.ErrorLine(), 1);
  // The text's first zero character ends it, as it does for a whole text.
  XmlDocument cut;
  XmlStreamParser zero(cut);
  EXPECT_TRUE(zero.Feed("<r>a</r>"));
  EXPECT_FALSE(zero.Feed(std::string_view("\0junk", 5)));
  ASSERT_TRUE(zero.Finish());
  EXPECT_TRUE(cut.WellFormed()) << cut.ErrorText();
}

}  // namespace
}  // namespace nerin
