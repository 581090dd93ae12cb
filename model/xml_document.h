// SPDX-License-Identifier: MIT
// A compact, read-only document tree built from expat. One arena of nodes, text kept as
// spans into one text buffer, no allocation per element; building, walking and freeing never
// recurse, so any nesting depth is safe. No external DTD or external entity is ever read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace nerin {

struct XmlBuilder;

using XmlNode = std::int32_t;
inline constexpr XmlNode XML_NONE = -1;

// How large a tree may grow: elements, all text, and the text of one element.
struct XmlLimits {
  std::size_t Elements = std::size_t{0x7fffffff};
  std::size_t Text = std::size_t{0xffffffff};
  std::size_t ElementText = std::size_t{0xffffffff};
};

// Which elements a reading keeps. An element that is not kept is skipped with everything
// inside it: it costs no node and no text, so a reader that needs a few elements of a large
// file holds only those.
class XmlElementFilter {
 public:
  virtual ~XmlElementFilter() = default;
  // A small number for the element name (after the plan namespace's prefix is taken off),
  // asked once for each distinct name; 0 for a name of no interest.
  virtual std::uint8_t NameClass(std::string_view name) const = 0;
  // Whether an element of class `element` at `depth` (the root is at 1) inside a kept element
  // of class `parent` (0 for the root) is kept.
  virtual bool Keep(std::size_t depth, std::uint8_t parent, std::uint8_t element) const = 0;
};

class XmlDocument {
 public:
  XmlDocument() = default;
  XmlDocument(const XmlDocument&) = delete;
  XmlDocument& operator=(const XmlDocument&) = delete;

  // Parses the file's bytes, in the encoding that their byte-order mark or XML declaration
  // names (UTF-8 without either): UTF-8, UTF-16 in either byte order, ISO-8859-1 and US-ASCII
  // by expat itself, any other encoding the C library's iconv knows read into UTF-8 as the
  // bytes arrive. The text ends at its first zero character. Characters that do
  // not decode are read as U+FFFD and counted. Returns false when the document could not be
  // created at all (the text is too large for the tree, or memory ran out); otherwise true,
  // and WellFormed() tells whether the XML was syntactically valid. A document that declares
  // more than 1000 entities counts as not well-formed: expanding long chains of them would
  // exhaust the stack.
  bool Parse(std::string_view bytes);
  bool WellFormed() const { return wellFormed_; }
  // What the tree could not hold when it passed its limits (Parse or a stream's Finish then
  // returned false): "more than 64 MB of text in one element" and the like; empty when it
  // did not pass them.
  const std::string& LimitPassed() const { return limitPassed_; }
  // Memory the tree holds now.
  std::size_t MemoryBytes() const;
  // The encoding the text was read in, as the file names it; "UTF-8" when it names none.
  const std::string& EncodingName() const { return encodingName_; }
  // How many characters did not decode in that encoding and were read as U+FFFD.
  std::int64_t ReplacedCharacters() const { return replacedCharacters_; }
  // The encoding the XML declaration names when neither expat nor the C library can read
  // it; the document is then not well-formed. Empty otherwise.
  const std::string& UnreadableEncoding() const { return unreadableEncoding_; }
  // Expat's description of the first syntax error (or the entity limit), with line and column;
  // empty when none.
  const std::string& ErrorText() const { return errorText_; }
  // Where the parser stopped on a syntax error: the line as expat counts it (from 1), the
  // column from 1 (expat counts from 0), and expat's own words for the fault. 0, 0 and empty
  // for a well-formed document.
  std::int64_t ErrorLine() const { return errorLine_; }
  std::int64_t ErrorColumn() const { return errorColumn_; }
  const std::string& ErrorReason() const { return errorReason_; }

  XmlNode Root() const { return nodes_.empty() ? XML_NONE : 0; }
  // The element's name: its local name when its prefix stands for the plan namespace
  // (http://schemas.microsoft.com/project), otherwise as written, prefix included. An element
  // without a prefix is named as written whatever its default namespace.
  std::string_view Name(XmlNode node) const {
    if (!Valid(node)) return {};
    const std::size_t name = nodes_[static_cast<std::size_t>(node)].name & NAME_MASK;
    return name < names_.size() ? std::string_view(names_[name]) : std::string_view();
  }
  XmlNode FirstChild(XmlNode node) const {
    if (!Valid(node) || (nodes_[static_cast<std::size_t>(node)].name & HAS_CHILDREN) == 0) return XML_NONE;
    return node + 1;
  }
  XmlNode NextSibling(XmlNode node) const {
    return Valid(node) ? nodes_[static_cast<std::size_t>(node)].nextSibling : XML_NONE;
  }
  // The character data directly inside the element (CDATA included, entities decoded),
  // in document order. When that text is in one piece the view points into the document;
  // otherwise the pieces are joined into `scratch` and the view points there.
  std::string_view Text(XmlNode node, std::string& scratch) const;

  std::size_t NodeCount() const { return nodes_.size(); }
  // Releases all memory; the document is empty afterwards.
  void Free();

 private:
  friend struct XmlBuilder;
  friend class XmlDocumentBuilder;
  friend class XmlStreamParser;
  // Nodes are stored in document order (pre-order), so an element's first child, when it
  // has one, is the very next node. All character data goes into text_ in document order,
  // so an element's span covers its own text and that of its descendants; its own text is
  // what lies between the spans of its children.
  struct Node {
    std::uint32_t name = 0;  // index into names_, HAS_CHILDREN bit on top
    XmlNode nextSibling = XML_NONE;
    std::uint32_t textBegin = 0;  // into text_
    std::uint32_t textEnd = 0;
  };
  static constexpr std::uint32_t HAS_CHILDREN = 0x80000000u;
  static constexpr std::uint32_t NAME_MASK = 0x7fffffffu;

  bool Valid(XmlNode node) const { return node >= 0 && static_cast<std::size_t>(node) < nodes_.size(); }

  std::vector<Node> nodes_;
  std::string text_;
  std::vector<std::string> names_;
  bool wellFormed_ = false;
  std::string encodingName_;
  std::int64_t replacedCharacters_ = 0;
  std::string unreadableEncoding_;
  std::string errorText_;
  std::int64_t errorLine_ = 0;
  std::int64_t errorColumn_ = 0;
  std::string errorReason_;
  std::string limitPassed_;
};

// Reads a document as its bytes arrive, in pieces of any size, into a document: the same
// document that Parse builds from the whole text. What the first bytes say (byte-order mark,
// declaration) is read from the first kilobyte; a character split between two pieces is
// joined before it is decoded, so the pieces can be cut anywhere.
class XmlStreamParser {
 public:
  // Empties `document`. `filter`, when given, says which elements are kept; it must outlive
  // the parser. `sizeHint` is the number of bytes expected, when known.
  explicit XmlStreamParser(XmlDocument& document, const XmlElementFilter* filter = nullptr,
                           XmlLimits limits = {}, std::size_t sizeHint = 0);
  ~XmlStreamParser();
  XmlStreamParser(const XmlStreamParser&) = delete;
  XmlStreamParser& operator=(const XmlStreamParser&) = delete;

  // Takes the next bytes. False once the reading has ended before the input's end (a syntax
  // error, the tree's limits, memory, or the text's first zero character): no more bytes are
  // needed, and Finish gives the result.
  bool Feed(std::string_view bytes);
  // The input has ended: completes the document. The result is Parse's for the whole input.
  bool Finish();
  // How many bytes the next Feed had best bring: more while a long token is pending, since
  // expat reads such a token again from its start at every feed.
  std::size_t ChunkSize() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// Builds a document element by element, for the readers of other file formats: what they
// read is handed to the same checks and readers as a parsed plan. Names and text are UTF-8.
// The tree's limits hold as for a parsed document; past them, or when memory runs out, the
// builder stops taking elements and Finish() says so.
class XmlDocumentBuilder {
 public:
  // Empties `document`; it is complete once Finish() returned true.
  explicit XmlDocumentBuilder(XmlDocument& document);
  ~XmlDocumentBuilder();
  XmlDocumentBuilder(const XmlDocumentBuilder&) = delete;
  XmlDocumentBuilder& operator=(const XmlDocumentBuilder&) = delete;

  void Open(std::string_view name);
  void Text(std::string_view text);
  void Close();
  // An element that holds only text.
  void Element(std::string_view name, std::string_view text) {
    Open(name);
    Text(text);
    Close();
  }
  // Closes every element still open and marks the document well-formed. False when the tree
  // could not be built whole; the document is then empty.
  bool Finish();

 private:
  XmlDocument& document_;
  std::unique_ptr<XmlBuilder> builder_;
};

}  // namespace nerin
