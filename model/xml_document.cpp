// SPDX-License-Identifier: MIT
#include "model/xml_document.h"

#include <expat.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace nerin {

namespace {

// Expat takes int lengths, and keeps its own copy of what it is fed: feeding in chunks keeps
// that copy small. A token longer than a chunk is rescanned from its start on every feed,
// so the chunk grows while a long token is pending.
constexpr std::size_t FIRST_CHUNK = std::size_t{1} << 20;
constexpr std::size_t LAST_CHUNK = std::size_t{1} << 30;
constexpr std::size_t MAX_NODES = static_cast<std::size_t>(std::numeric_limits<XmlNode>::max());
constexpr std::size_t MAX_TEXT = std::numeric_limits<std::uint32_t>::max();
// Expat expands an entity that refers to another entity by recursion, one level per
// reference, so a long enough chain of declarations overflows the stack. A chain cannot be
// longer than the number of declarations, and plans declare none.
constexpr std::size_t MAX_ENTITY_DECLARATIONS = 1000;

std::uint64_t Load64(const char* at) {
  std::uint64_t value;
  std::memcpy(&value, at, sizeof value);
  return value;
}

std::uint32_t Load32(const char* at) {
  std::uint32_t value;
  std::memcpy(&value, at, sizeof value);
  return value;
}

// Names are short: compare and hash them a word at a time.
bool SameBytes(const char* a, const char* b, std::size_t length) {
  if (length > 16) return std::memcmp(a, b, length) == 0;
  if (length >= 8) return Load64(a) == Load64(b) && Load64(a + length - 8) == Load64(b + length - 8);
  if (length >= 4) return Load32(a) == Load32(b) && Load32(a + length - 4) == Load32(b + length - 4);
  for (std::size_t i = 0; i < length; ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
}

std::uint32_t NameHash(const char* name, std::size_t length) {
  constexpr std::uint64_t K = 0x9E3779B97F4A7C15ull;
  std::uint64_t hash = length * K;
  std::size_t at = 0;
  for (; at + 8 <= length; at += 8) hash = (hash ^ Load64(name + at)) * K;
  if (at < length) {
    std::uint64_t tail = 0;
    if (length >= 8) {
      tail = Load64(name + length - 8);
    } else {
      for (std::size_t i = 0; i < length; ++i)
        tail |= std::uint64_t{static_cast<unsigned char>(name[i])} << (8 * i);
    }
    hash = (hash ^ tail) * K;
  }
  hash ^= hash >> 31;
  hash *= K;
  return static_cast<std::uint32_t>(hash >> 32);
}

}  // namespace

// Receives expat's callbacks and grows the document. Element names are interned in an
// open-addressing table, so an element costs one node and no allocation of its own.
struct XmlBuilder {
  struct Open {
    XmlNode node;
    XmlNode lastChild;
  };

  XmlBuilder(XmlDocument& document, XML_Parser expat) : doc(document), parser(expat) {}

  XmlDocument& doc;
  XML_Parser parser;
  std::vector<Open> open;
  std::vector<std::uint64_t> slots;  // hash << 32 | (name index + 1); 0 is free
  std::vector<std::uint32_t> next;   // per name: the name index + 1 that followed it last
  std::uint32_t previous = std::numeric_limits<std::uint32_t>::max();
  std::size_t entityDeclarations = 0;
  bool failed = false;  // out of memory or past the tree's limits
  bool tooManyEntities = false;

  void EntityDeclared() {
    if (++entityDeclarations > MAX_ENTITY_DECLARATIONS && !tooManyEntities && !failed) {
      tooManyEntities = true;
      XML_StopParser(parser, XML_FALSE);
    }
  }

  void Fail() {
    if (!failed) {
      failed = true;
      if (parser != nullptr) XML_StopParser(parser, XML_FALSE);
    }
  }

  // A plan repeats the same sequences of elements (UID, ID, Name, ... in every Task), so the
  // element that followed this name last time is tried before the table.
  std::uint32_t NameOf(const char* name, std::size_t length) {
    if (previous < next.size()) {
      const std::uint32_t guess = next[previous];
      if (guess != 0) {
        const std::string& known = doc.names_[guess - 1];
        if (known.size() == length && SameBytes(known.data(), name, length)) return previous = guess - 1;
      }
    }
    const std::uint32_t index = Intern(name, length);
    if (failed) return 0;
    if (previous < next.size()) next[previous] = index + 1;
    if (next.size() <= index) next.resize(index + 1, 0);
    return previous = index;
  }

  std::uint32_t Intern(const char* name, std::size_t length) {
    const std::uint32_t hash = NameHash(name, length);
    const std::size_t mask = slots.size() - 1;
    std::size_t slot = hash & mask;
    while (slots[slot] != 0) {
      if (static_cast<std::uint32_t>(slots[slot] >> 32) == hash) {
        const std::uint32_t index = static_cast<std::uint32_t>(slots[slot]) - 1;
        const std::string& known = doc.names_[index];
        if (known.size() == length && SameBytes(known.data(), name, length)) return index;
      }
      slot = (slot + 1) & mask;
    }
    if (doc.names_.size() >= static_cast<std::size_t>(XmlDocument::NAME_MASK)) {
      Fail();
      return 0;
    }
    const auto index = static_cast<std::uint32_t>(doc.names_.size());
    doc.names_.emplace_back(name, length);
    slots[slot] = (std::uint64_t{hash} << 32) | (index + 1);
    if (doc.names_.size() * 2 > slots.size()) Rehash();
    return index;
  }

  void Rehash() {
    std::vector<std::uint64_t> grown(slots.size() * 2, 0);
    const std::size_t mask = grown.size() - 1;
    for (const std::uint64_t entry : slots) {
      if (entry == 0) continue;
      std::size_t slot = (entry >> 32) & mask;
      while (grown[slot] != 0) slot = (slot + 1) & mask;
      grown[slot] = entry;
    }
    slots.swap(grown);
  }

  void Start(const char* name) { Start(name, std::strlen(name)); }

  void Start(const char* name, std::size_t length) {
    if (failed) return;
    try {
      if (doc.nodes_.size() >= MAX_NODES) {
        Fail();
        return;
      }
      const auto node = static_cast<XmlNode>(doc.nodes_.size());
      const std::uint32_t nameIndex = NameOf(name, length);
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
    if (length > 0) Characters(data, static_cast<std::size_t>(length));
  }

  void Characters(const char* data, std::size_t count) {
    if (failed || count == 0) return;
    // Text outside the root element is not part of the tree.
    if (open.empty()) return;
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

void OnEntityDeclaration(void* user, const XML_Char* /*name*/, int /*parameter*/, const XML_Char* /*value*/,
                         int /*length*/, const XML_Char* /*base*/, const XML_Char* /*systemId*/,
                         const XML_Char* /*publicId*/, const XML_Char* /*notation*/) {
  static_cast<XmlBuilder*>(user)->EntityDeclared();
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
    XmlBuilder builder{*this, parser};
    builder.open.reserve(64);
    builder.slots.assign(1024, 0);
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
    XML_SetEntityDeclHandler(parser, OnEntityDeclaration);
    XML_SetParamEntityParsing(parser, XML_PARAM_ENTITY_PARSING_NEVER);

    std::size_t done = 0;
    std::size_t chunkLimit = FIRST_CHUNK;
    for (;;) {
      const std::size_t chunk = std::min(chunkLimit, text.size() - done);
      const bool last = done + chunk == text.size();
      if (XML_Parse(parser, text.data() + done, static_cast<int>(chunk), last ? XML_TRUE : XML_FALSE) !=
          XML_STATUS_OK) {
        error = XML_GetErrorCode(parser);
        break;
      }
      done += chunk;
      if (last) break;
      int offset = 0;
      int buffered = 0;
      if (XML_GetInputContext(parser, &offset, &buffered) == nullptr ||
          buffered - offset > static_cast<int>(chunkLimit / 2)) {
        chunkLimit = std::min(chunkLimit * 2, LAST_CHUNK);
      }
    }
    if (builder.failed) {
      created = false;
    } else {
      builder.CloseOpen();
      if (error != XML_ERROR_NONE) {
        // Stopped by the entity limit, expat itself would only say that parsing was aborted.
        const XML_LChar* expatReason = XML_ErrorString(error);
        errorReason_ = builder.tooManyEntities
                           ? "more than " + std::to_string(MAX_ENTITY_DECLARATIONS) + " entity declarations"
                           : std::string(expatReason != nullptr ? expatReason : "unknown error");
        errorLine_ = static_cast<std::int64_t>(XML_GetCurrentLineNumber(parser));
        errorColumn_ = static_cast<std::int64_t>(XML_GetCurrentColumnNumber(parser)) + 1;
        errorText_ = errorReason_ + " at line " + std::to_string(errorLine_) + ", column " +
                     std::to_string(errorColumn_);
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

XmlDocumentBuilder::XmlDocumentBuilder(XmlDocument& document) : document_(document) {
  document_.Free();
  try {
    builder_ = std::make_unique<XmlBuilder>(document_, nullptr);
    builder_->open.reserve(16);
    builder_->slots.assign(256, 0);
  } catch (const std::bad_alloc&) {
    builder_.reset();
  }
}

XmlDocumentBuilder::~XmlDocumentBuilder() = default;

void XmlDocumentBuilder::Open(std::string_view name) {
  // A second root would make the tree something no parser produces.
  if (builder_ == nullptr || (builder_->open.empty() && !document_.nodes_.empty())) return;
  builder_->Start(name.data(), name.size());
}

void XmlDocumentBuilder::Text(std::string_view text) {
  if (builder_ != nullptr) builder_->Characters(text.data(), text.size());
}

void XmlDocumentBuilder::Close() {
  if (builder_ != nullptr) builder_->End();
}

bool XmlDocumentBuilder::Finish() {
  if (builder_ == nullptr || builder_->failed) {
    builder_.reset();
    document_.Free();
    return false;
  }
  while (!builder_->open.empty()) builder_->End();
  builder_.reset();
  document_.wellFormed_ = true;
  return true;
}

void XmlDocument::Free() {
  std::vector<Node>().swap(nodes_);
  std::string().swap(text_);
  std::vector<std::string>().swap(names_);
  wellFormed_ = false;
  errorText_.clear();
  errorText_.shrink_to_fit();
  errorLine_ = 0;
  errorColumn_ = 0;
  errorReason_.clear();
  errorReason_.shrink_to_fit();
}

}  // namespace nerin
