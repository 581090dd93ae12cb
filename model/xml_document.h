// A compact, read-only document tree built from expat. One arena of nodes, text kept as
// spans into one text buffer, no allocation per element; building, walking and freeing never
// recurse, so any nesting depth is safe. No DTD or external entity is ever read.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace nerin {

using XmlNode = std::int32_t;
inline constexpr XmlNode XML_NONE = -1;

class XmlDocument {
 public:
  XmlDocument() = default;
  XmlDocument(const XmlDocument&) = delete;
  XmlDocument& operator=(const XmlDocument&) = delete;

  // Parses the whole text. Returns false when the document could not be created at all
  // (the text is too large for the tree, or memory ran out); otherwise true, and
  // WellFormed() tells whether the XML was syntactically valid.
  bool Parse(std::string_view text);
  bool WellFormed() const { return wellFormed_; }
  // Expat's description of the first syntax error, with line and column; empty when none.
  const std::string& ErrorText() const { return errorText_; }

  XmlNode Root() const;
  // The element's name as written (prefix included when it has one).
  std::string_view Name(XmlNode node) const;
  XmlNode FirstChild(XmlNode node) const;
  XmlNode NextSibling(XmlNode node) const;
  // The character data directly inside the element (CDATA included, entities decoded),
  // in document order. When that text is in one piece the view points into the document;
  // otherwise the pieces are joined into `scratch` and the view points there.
  std::string_view Text(XmlNode node, std::string& scratch) const;

  std::size_t NodeCount() const;
  // Releases all memory; the document is empty afterwards.
  void Free();

 private:
  friend struct XmlBuilder;
  struct Node {
    std::int32_t name = 0;        // index into names_
    XmlNode firstChild = XML_NONE;
    XmlNode nextSibling = XML_NONE;
    std::int32_t firstPiece = -1; // index into pieces_, -1 when no text
  };
  struct Piece {
    std::uint64_t offset = 0;     // into text_
    std::uint32_t length = 0;
    std::int32_t next = -1;       // next piece of the same element's text
  };
  std::vector<Node> nodes_;
  std::vector<Piece> pieces_;
  std::string text_;
  std::vector<std::string> names_;
  bool wellFormed_ = false;
  std::string errorText_;
};

}  // namespace nerin
