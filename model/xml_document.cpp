#include "model/xml_document.h"

#include <expat.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace nerin {

namespace {

// Expat takes int lengths; a chunk also bounds the copy expat keeps of the input.
constexpr std::size_t CHUNK_BYTES = std::size_t{4} << 20;
constexpr std::size_t MAX_NODES = static_cast<std::size_t>(std::numeric_limits<XmlNode>::max());
constexpr std::size_t MAX_TEXT = std::numeric_limits<std::uint32_t>::max();
constexpr std::uint32_t NAME_MASK = 0x7fffffffu;

}  // namespace

// Receives expat's callbacks and grows the document. Element names are interned in an
// open-addressing table, so an element costs one node and no allocation of its own.
struct XmlBuilder {
  struct Open {
    XmlNode node;
    XmlNode lastChild;
  };

  XmlDocument& doc;
  XML_Parser parser;
  std::vector<Open> open;
  std::vector<std::uint32_t> slots;       // name index + 1; 0 is free
  std::vector<std::uint32_t> nameHashes;  // per name index
  bool failed = false;

  void Fail() {
    if (!failed) {
      failed = true;
      XML_StopParser(parser, XML_FALSE);
    }
  }

  std::uint32_t Intern(const char* name) {
    // FNV-1a while finding the end, so the name is read once.
    std::uint32_t hash = 2166136261u;
    const char* end = name;
    for (; *end != '\0'; ++end) {
      hash = (hash ^ static_cast<unsigned char>(*end)) * 16777619u;
    }
    const std::size_t length = static_cast<std::size_t>(end - name);
    const std::size_t mask = slots.size() - 1;
    std::size_t slot = hash & mask;
    while (slots[slot] != 0) {
      const std::uint32_t index = slots[slot] - 1;
      if (nameHashes[index] == hash) {
        const std::string& known = doc.names_[index];
        if (known.size() == length && std::memcmp(known.data(), name, length) == 0) {
          return index;
        }
      }
      slot = (slot + 1) & mask;
    }
    if (doc.names_.size() >= static_cast<std::size_t>(NAME_MASK)) {
      Fail();
      return 0;
    }
    const auto index = static_cast<std::uint32_t>(doc.names_.size());
    doc.names_.emplace_back(name, length);
    nameHashes.push_back(hash);
    slots[slot] = index + 1;
    if (doc.names_.size() * 2 > slots.size()) Rehash();
    return index;
  }

  void Rehash() {
    std::vector<std::uint32_t> grown(slots.size() * 2, 0);
    const std::size_t mask = grown.size() - 1;
    for (std::uint32_t index = 0; index < nameHashes.size(); ++index) {
      std::size_t slot = nameHashes[index] & mask;
      while (grown[slot] != 0) slot = (slot + 1) & mask;
      grown[slot] = index + 1;
    }
    slots.swap(grown);
  }

  void Start(const char* name) {
    if (failed) return;
    try {
      if (doc.nodes_.size() >= MAX_NODES) {
        Fail();
        return;
      }
      const auto node = static_cast<XmlNode>(doc.nodes_.size());
      const std::uint32_t nameIndex = Intern(name);
      if (failed) return;
      const auto at = static_cast<std::uint32_t>(doc.text_.size());
      doc.nodes_.push_back(XmlDocument::Node{nameIndex, XML_NONE, at, at});
      if (!open.empty()) {
        Open& parent = open.back();
        if (parent.lastChild == XML_NONE) {
          doc.nodes_[static_cast<std::size_t>(parent.node)].name |= XmlDocument::HAS_CHILDREN;
        } else {
          doc.nodes_[static_cast<std::size_t>(parent.lastChild)].nextSibling = node;
        }
        parent.lastChild = node;
      }
      open.push_back(Open{node, XML_NONE});
    } catch (const std::bad_alloc&) {
      Fail();
    }
  }

  void End() {
    if (failed || open.empty()) return;
    doc.nodes_[static_cast<std::size_t>(open.back().node)].textEnd =
        static_cast<std::uint32_t>(doc.text_.size());
    open.pop_back();
  }

  void Characters(const char* data, int length) {
    if (failed || length <= 0) return;
    // Text outside the root element is not part of the tree.
    if (open.empty()) return;
    const auto count = static_cast<std::size_t>(length);
    if (count > MAX_TEXT - doc.text_.size()) {
      Fail();
      return;
    }
    try {
      doc.text_.append(data, count);
    } catch (const std::bad_alloc&) {
      Fail();
    }
  }

  // Elements left open by a syntax error end where the text ends.
  void CloseOpen() {
    const auto at = static_cast<std::uint32_t>(doc.text_.size());
    for (const Open& entry : open) doc.nodes_[static_cast<std::size_t>(entry.node)].textEnd = at;
    open.clear();
  }
};

namespace {

void OnStart(void* user, const XML_Char* name, const XML_Char** /*attributes*/) {
  static_cast<XmlBuilder*>(user)->Start(name);
}

void OnEnd(void* user, const XML_Char* /*name*/) {
  static_cast<XmlBuilder*>(user)->End();
}

void OnCharacters(void* user, const XML_Char* data, int length) {
  static_cast<XmlBuilder*>(user)->Characters(data, length);
}

}  // namespace

bool XmlDocument::Parse(std::string_view text) {
  Free();
  // The caller hands over UTF-8 whatever the declaration says, so the declaration must not
  // switch the decoding.
  XML_Parser parser = XML_ParserCreate("UTF-8");
  if (parser == nullptr) return false;

  bool created = true;
  XML_Error error = XML_ERROR_NONE;
  try {
    XmlBuilder builder{*this, parser, {}, {}, {}, false};
    builder.open.reserve(64);
    builder.slots.assign(1024, 0);
    builder.nameHashes.reserve(512);
    names_.reserve(512);
    // Reserved but untouched memory costs address space only; a typical plan has an element
    // every twenty-odd bytes and about a third of its bytes as text.
    try {
      nodes_.reserve(std::min(text.size() / 12 + 16, MAX_NODES));
      text_.reserve(std::min(text.size() / 2 + 64, MAX_TEXT));
    } catch (const std::bad_alloc&) {
    }

    XML_SetUserData(parser, &builder);
    XML_SetElementHandler(parser, OnStart, OnEnd);
    XML_SetCharacterDataHandler(parser, OnCharacters);
    XML_SetParamEntityParsing(parser, XML_PARAM_ENTITY_PARSING_NEVER);

    std::size_t done = 0;
    for (;;) {
      const std::size_t chunk = std::min(CHUNK_BYTES, text.size() - done);
      const bool last = done + chunk == text.size();
      if (XML_Parse(parser, text.data() + done, static_cast<int>(chunk), last ? XML_TRUE : XML_FALSE) !=
          XML_STATUS_OK) {
        error = XML_GetErrorCode(parser);
        break;
      }
      done += chunk;
      if (last) break;
    }
    if (builder.failed) {
      created = false;
    } else {
      builder.CloseOpen();
      if (error != XML_ERROR_NONE) {
        errorText_ = XML_ErrorString(error);
        errorText_ += " at line ";
        errorText_ += std::to_string(XML_GetCurrentLineNumber(parser));
        errorText_ += ", column ";
        errorText_ += std::to_string(XML_GetCurrentColumnNumber(parser) + 1);
      }
    }
  } catch (const std::bad_alloc&) {
    created = false;
  }
  XML_ParserFree(parser);
  if (!created) {
    Free();
    return false;
  }
  wellFormed_ = error == XML_ERROR_NONE;
  return true;
}

XmlNode XmlDocument::Root() const {
  return nodes_.empty() ? XML_NONE : 0;
}

std::string_view XmlDocument::Name(XmlNode node) const {
  if (!Valid(node)) return {};
  const std::size_t index = nodes_[static_cast<std::size_t>(node)].name & NAME_MASK;
  if (index >= names_.size()) return {};
  return names_[index];
}

XmlNode XmlDocument::FirstChild(XmlNode node) const {
  if (!Valid(node) || (nodes_[static_cast<std::size_t>(node)].name & HAS_CHILDREN) == 0) return XML_NONE;
  return node + 1;
}

XmlNode XmlDocument::NextSibling(XmlNode node) const {
  if (!Valid(node)) return XML_NONE;
  return nodes_[static_cast<std::size_t>(node)].nextSibling;
}

std::string_view XmlDocument::Text(XmlNode node, std::string& scratch) const {
  if (!Valid(node)) return {};
  const Node& element = nodes_[static_cast<std::size_t>(node)];
  const std::size_t end = std::min<std::size_t>(element.textEnd, text_.size());
  std::size_t at = std::min<std::size_t>(element.textBegin, end);
  if ((element.name & HAS_CHILDREN) == 0) return std::string_view(text_).substr(at, end - at);

  // The element's own text is what lies between its children's spans.
  std::string_view first;
  bool joined = false;
  auto take = [&](std::size_t from, std::size_t to) {
    if (to <= from) return;
    const std::string_view piece = std::string_view(text_).substr(from, to - from);
    if (first.empty() && !joined) {
      first = piece;
      return;
    }
    if (!joined) {
      scratch.assign(first);
      joined = true;
    }
    scratch.append(piece);
  };
  for (XmlNode child = node + 1; Valid(child); child = nodes_[static_cast<std::size_t>(child)].nextSibling) {
    const Node& inner = nodes_[static_cast<std::size_t>(child)];
    const std::size_t childBegin = std::clamp<std::size_t>(inner.textBegin, at, end);
    take(at, childBegin);
    at = std::clamp<std::size_t>(inner.textEnd, at, end);
  }
  take(at, end);
  if (joined) return scratch;
  return first;
}

std::size_t XmlDocument::NodeCount() const {
  return nodes_.size();
}

void XmlDocument::Free() {
  std::vector<Node>().swap(nodes_);
  std::string().swap(text_);
  std::vector<std::string>().swap(names_);
  wellFormed_ = false;
  errorText_.clear();
  errorText_.shrink_to_fit();
}

}  // namespace nerin
