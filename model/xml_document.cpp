// SPDX-License-Identifier: MIT
#include "model/xml_document.h"

#include <expat.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#include "calendar/text_units.h"
#include "model/xml_encoding.h"

namespace nerin {

namespace {

// Expat takes int lengths, and keeps its own copy of what it is fed: feeding in chunks keeps
// that copy small. A token longer than a chunk is rescanned from its start on every feed,
// so the chunk grows while a long token is pending.
constexpr std::size_t FIRST_CHUNK = std::size_t{1} << 20;
constexpr std::size_t LAST_CHUNK = std::size_t{1} << 30;
constexpr std::size_t MAX_NODES = static_cast<std::size_t>(std::numeric_limits<XmlNode>::max());
constexpr std::size_t MAX_TEXT = std::numeric_limits<std::uint32_t>::max();
constexpr std::size_t MEBIBYTE = std::size_t{1} << 20;

std::string SizeText(std::size_t bytes) {
  return bytes >= MEBIBYTE ? std::to_string(bytes / MEBIBYTE) + " MB" : std::to_string(bytes) + " bytes";
}
// Expat expands an entity that refers to another entity by recursion, one level per
// reference, so a long enough chain of declarations overflows the stack. A chain cannot be
// longer than the number of declarations, and plans declare none.
constexpr std::size_t MAX_ENTITY_DECLARATIONS = 1000;
// A prefix bound to this namespace names the plan's own elements.
constexpr const char* PLAN_NAMESPACE = "http://schemas.microsoft.com/project";

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
    std::uint8_t nameClass = 0;
    std::size_t ownText = 0;
  };

  // A namespace prefix declared on an open element.
  struct Binding {
    std::string prefix;
    bool plan;          // bound to the plan namespace
    std::size_t depth;  // of the element that declares it
  };

  XmlBuilder(XmlDocument& document, XML_Parser expat, XmlLimits treeLimits = {},
             const XmlElementFilter* elementFilter = nullptr)
      : doc(document), parser(expat), limits(treeLimits), filter(elementFilter) {
    limits.Elements = std::min(limits.Elements, MAX_NODES);
    limits.Text = std::min(limits.Text, MAX_TEXT);
  }

  XmlDocument& doc;
  XML_Parser parser;
  XmlLimits limits;
  const XmlElementFilter* filter;
  std::vector<std::uint8_t> nameClasses;  // per name, asked of the filter; 0xFF not yet asked
  std::size_t skipping = 0;               // depth inside an element that is not kept
  std::vector<Open> open;
  std::vector<Binding> bindings;
  std::vector<std::uint8_t> prefixed;  // per name: it has a prefix
  std::vector<std::uint64_t> slots;  // hash << 32 | (name index + 1); 0 is free
  std::vector<std::uint32_t> next;   // per name: the name index + 1 that followed it last
  std::uint32_t previous = std::numeric_limits<std::uint32_t>::max();
  std::size_t entityDeclarations = 0;
  // The encoding as the XML declaration names it, and the one expat asked for a reader of.
  std::string declaredEncoding;
  std::string servedEncoding;
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

  void PassLimit(std::string what) {
    if (failed) return;
    try {
      doc.limitPassed_ = std::move(what);
    } catch (const std::bad_alloc&) {
    }
    Fail();
  }

  std::uint8_t ClassOf(std::uint32_t name) {
    if (nameClasses.size() <= name) nameClasses.resize(name + 1, 0xFF);
    if (nameClasses[name] == 0xFF) nameClasses[name] = filter->NameClass(doc.names_[name]);
    return nameClasses[name];
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
    prefixed.push_back(std::memchr(name, ':', length) != nullptr ? 1 : 0);
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

  // The namespace prefixes declared on the element just skipped go with it.
  void DropBindingsOf(std::size_t depth) {
    while (!bindings.empty() && bindings.back().depth >= depth) bindings.pop_back();
  }

  // Prefixes are found in the attributes as written ("xmlns:p"); the default namespace does
  // not change what an element without a prefix is.
  void Declare(const XML_Char** attributes) {
    if (failed) return;
    try {
      for (std::size_t i = 0; attributes[i] != nullptr && attributes[i + 1] != nullptr; i += 2) {
        if (std::strncmp(attributes[i], "xmlns:", 6) != 0) continue;
        bindings.push_back(
            Binding{std::string(attributes[i] + 6), std::strcmp(attributes[i + 1], PLAN_NAMESPACE) == 0, open.size()});
      }
    } catch (const std::bad_alloc&) {
      Fail();
    }
  }

  // The local name when the prefix stands for the plan namespace, else the name as written.
  std::uint32_t Unprefixed(const char* name, std::size_t length, std::uint32_t asWritten) {
    const auto* colon = static_cast<const char*>(std::memchr(name, ':', length));
    if (colon == nullptr) return asWritten;
    const std::string_view prefix(name, static_cast<std::size_t>(colon - name));
    for (auto binding = bindings.rbegin(); binding != bindings.rend(); ++binding) {
      if (binding->prefix != prefix) continue;
      if (!binding->plan) return asWritten;
      const std::size_t skipped = prefix.size() + 1;
      return Intern(name + skipped, length - skipped);
    }
    return asWritten;
  }

  void Start(const char* name, std::size_t length) {
    if (failed) return;
    if (skipping > 0) {
      ++skipping;
      return;
    }
    try {
      if (doc.nodes_.size() >= limits.Elements) {
        PassLimit("more than " + std::to_string(limits.Elements) + " elements");
        return;
      }
      const auto node = static_cast<XmlNode>(doc.nodes_.size());
      std::uint32_t nameIndex = NameOf(name, length);
      if (failed) return;
      if (prefixed[nameIndex] != 0 && !bindings.empty()) {
        nameIndex = Unprefixed(name, length, nameIndex);
        if (failed) return;
      }
      std::uint8_t nameClass = 0;
      if (filter != nullptr) {
        nameClass = ClassOf(nameIndex);
        if (!filter->Keep(open.size() + 1, open.empty() ? 0 : open.back().nameClass, nameClass)) {
          skipping = 1;
          DropBindingsOf(open.size());
          return;
        }
      }
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
      open.push_back(Open{node, XML_NONE, nameClass, 0});
    } catch (const std::bad_alloc&) {
      Fail();
    }
  }

  void End() {
    if (skipping > 0) {
      --skipping;
      return;
    }
    if (failed || open.empty()) return;
    doc.nodes_[static_cast<std::size_t>(open.back().node)].textEnd =
        static_cast<std::uint32_t>(doc.text_.size());
    open.pop_back();
    while (!bindings.empty() && bindings.back().depth >= open.size()) bindings.pop_back();
  }

  void Characters(const char* data, int length) {
    if (length > 0) Characters(data, static_cast<std::size_t>(length));
  }

  void Characters(const char* data, std::size_t count) {
    if (failed || count == 0 || skipping > 0) return;
    // Text outside the root element is not part of the tree.
    if (open.empty()) return;
    if (count > limits.Text - doc.text_.size()) {
      PassLimit("more than " + SizeText(limits.Text) + " of text");
      return;
    }
    std::size_t& own = open.back().ownText;
    if (count > limits.ElementText - own) {
      PassLimit("more than " + SizeText(limits.ElementText) + " of text in one element");
      return;
    }
    own += count;
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

void OnStart(void* user, const XML_Char* name, const XML_Char** attributes) {
  auto* builder = static_cast<XmlBuilder*>(user);
  if (attributes[0] != nullptr && builder->skipping == 0) builder->Declare(attributes);
  builder->Start(name);
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

void OnXmlDeclaration(void* user, const XML_Char* /*version*/, const XML_Char* encoding, int /*standalone*/) {
  auto* builder = static_cast<XmlBuilder*>(user);
  try {
    builder->declaredEncoding = encoding != nullptr ? encoding : "";
  } catch (const std::bad_alloc&) {
    builder->Fail();
  }
}

// Every encoding iconv can read for expat is read into UTF-8 before expat sees it; expat asks
// only for one nobody here can read.
int OnUnknownEncoding(void* user, const XML_Char* name, XML_Encoding* /*info*/) {
  auto* builder = static_cast<XmlBuilder*>(user);
  try {
    builder->servedEncoding = name;
  } catch (const std::bad_alloc&) {
    builder->Fail();
  }
  return XML_STATUS_ERROR;
}

}  // namespace

struct XmlStreamParser::State {
  State(XmlDocument& document, const XmlElementFilter* elementFilter, XmlLimits treeLimits, std::size_t size)
      : doc(document), filter(elementFilter), limits(treeLimits), sizeHint(size) {}
  ~State() {
    // The builder and its decoder go before the parser is freed; expat calls nothing then.
    builder.reset();
    if (parser != nullptr) XML_ParserFree(parser);
  }

  XmlDocument& doc;
  const XmlElementFilter* filter;
  XmlLimits limits;
  std::size_t sizeHint;
  XML_Parser parser = nullptr;
  std::unique_ptr<XmlBuilder> builder;
  bool started = false;
  bool stopped = false;  // expat stopped, or the tree could not grow
  bool created = true;
  std::string head;  // the first bytes, until they tell how the rest is read
  std::string encoding;
  PieceMender mender;
  XML_Error error = XML_ERROR_NONE;
  std::size_t chunkLimit = FIRST_CHUNK;

  void Start() {
    started = true;
    const ReadingForm form = ReadingFormOf(head);
    encoding = form.encoding;
    parser = mender.Begin(form.mend, form.bigEndian, form.encoding) ? XML_ParserCreate(form.protocol) : nullptr;
    if (parser == nullptr) {
      created = false;
      stopped = true;
      return;
    }
    builder = std::make_unique<XmlBuilder>(doc, parser, limits, filter);
    builder->open.reserve(64);
    builder->slots.assign(1024, 0);
    doc.names_.reserve(512);
    if (sizeHint > 0 && filter == nullptr) {
      // Reserved but untouched memory costs address space only; a typical plan has an element
      // every twenty-odd bytes and about a third of its bytes as text.
      try {
        doc.nodes_.reserve(std::min(sizeHint / 12 + 16, builder->limits.Elements));
        doc.text_.reserve(std::min(sizeHint / 2 + 64, builder->limits.Text));
      } catch (const std::bad_alloc&) {
      }
    }
    XML_SetUserData(parser, builder.get());
    XML_SetElementHandler(parser, OnStart, OnEnd);
    XML_SetCharacterDataHandler(parser, OnCharacters);
    XML_SetEntityDeclHandler(parser, OnEntityDeclaration);
    XML_SetXmlDeclHandler(parser, OnXmlDeclaration);
    XML_SetUnknownEncodingHandler(parser, OnUnknownEncoding, builder.get());
    XML_SetParamEntityParsing(parser, XML_PARAM_ENTITY_PARSING_NEVER);
  }

  void ToExpat(std::string_view piece) {
    if (stopped || piece.empty()) return;
    // Expat takes int lengths.
    while (piece.size() > LAST_CHUNK) {
      ToExpat(piece.substr(0, LAST_CHUNK));
      piece.remove_prefix(LAST_CHUNK);
    }
    if (XML_Parse(parser, piece.data(), static_cast<int>(piece.size()), XML_FALSE) != XML_STATUS_OK) {
      error = XML_GetErrorCode(parser);
      stopped = true;
    }
    if (stopped) return;
    int offset = 0;
    int buffered = 0;
    if (XML_GetInputContext(parser, &offset, &buffered) == nullptr ||
        buffered - offset > static_cast<int>(chunkLimit / 2)) {
      chunkLimit = std::min(chunkLimit * 2, LAST_CHUNK);
    }
  }

  void Mended(std::string_view bytes, bool last) {
    mender.Take(bytes, last, [this](std::string_view piece) { ToExpat(piece); });
  }

  bool Feed(std::string_view bytes) {
    if (stopped || mender.TextEnded()) return false;
    try {
      if (!started) {
        head.append(bytes);
        if (!HeadComplete(head)) return true;
        Start();
        const std::string first = std::move(head);
        head.clear();
        if (!stopped) Mended(first, false);
      } else {
        Mended(bytes, false);
      }
    } catch (const std::bad_alloc&) {
      created = false;
      stopped = true;
    }
    if (builder && builder->failed) stopped = true;
    return !stopped && !mender.TextEnded();
  }

  bool Finish() {
    try {
      if (!started) {
        Start();
        const std::string first = std::move(head);
        if (!stopped) Mended(first, true);
      } else if (!stopped) {
        Mended({}, true);
      }
      if (!stopped && XML_Parse(parser, "", 0, XML_TRUE) != XML_STATUS_OK) error = XML_GetErrorCode(parser);
    } catch (const std::bad_alloc&) {
      created = false;
    }
    if (!created || !builder || builder->failed) {
      std::string limit = std::move(doc.limitPassed_);
      doc.Free();
      doc.limitPassed_ = std::move(limit);
      return false;
    }
    XmlBuilder& b = *builder;
    b.CloseOpen();
    if (error != XML_ERROR_NONE) {
      // Stopped by the entity limit, expat itself would only say that parsing was aborted.
      const XML_LChar* expatReason = XML_ErrorString(error);
      doc.errorReason_ = b.tooManyEntities
                             ? "more than " + std::to_string(MAX_ENTITY_DECLARATIONS) + " entity declarations"
                             : std::string(expatReason != nullptr ? expatReason : "unknown error");
      doc.errorLine_ = static_cast<std::int64_t>(XML_GetCurrentLineNumber(parser));
      doc.errorColumn_ = static_cast<std::int64_t>(XML_GetCurrentColumnNumber(parser)) + 1;
      doc.errorText_ = doc.errorReason_ + " at line " + std::to_string(doc.errorLine_) + ", column " +
                       std::to_string(doc.errorColumn_);
    }
    doc.encodingName_ = encoding;
    doc.replacedCharacters_ = mender.Replaced();
    if (error == XML_ERROR_UNKNOWN_ENCODING) {
      doc.unreadableEncoding_ = b.servedEncoding.empty() ? b.declaredEncoding : b.servedEncoding;
    }
    doc.wellFormed_ = error == XML_ERROR_NONE;
    return true;
  }
};

XmlStreamParser::XmlStreamParser(XmlDocument& document, const XmlElementFilter* filter, XmlLimits limits,
                                 std::size_t sizeHint) {
  document.Free();
  try {
    state_ = std::make_unique<State>(document, filter, limits, sizeHint);
  } catch (const std::bad_alloc&) {
  }
}

XmlStreamParser::~XmlStreamParser() = default;

bool XmlStreamParser::Feed(std::string_view bytes) {
  return state_ != nullptr && state_->Feed(bytes);
}

bool XmlStreamParser::Finish() {
  return state_ != nullptr && state_->Finish();
}

std::size_t XmlStreamParser::ChunkSize() const {
  return state_ != nullptr ? state_->chunkLimit : FIRST_CHUNK;
}

bool XmlDocument::Parse(std::string_view bytes) {
  XmlStreamParser stream(*this, nullptr, {}, bytes.size());
  std::size_t done = 0;
  while (done < bytes.size()) {
    const std::size_t chunk = std::min(stream.ChunkSize(), bytes.size() - done);
    if (!stream.Feed(bytes.substr(done, chunk))) break;
    done += chunk;
  }
  return stream.Finish();
}

std::size_t XmlDocument::MemoryBytes() const {
  std::size_t names = 0;
  for (const std::string& name : names_) names += sizeof name + name.capacity();
  return nodes_.capacity() * sizeof(Node) + text_.capacity() + names;
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
  limitPassed_.clear();
  std::vector<Node>().swap(nodes_);
  std::string().swap(text_);
  std::vector<std::string>().swap(names_);
  wellFormed_ = false;
  encodingName_.clear();
  replacedCharacters_ = 0;
  unreadableEncoding_.clear();
  errorText_.clear();
  errorText_.shrink_to_fit();
  errorLine_ = 0;
  errorColumn_ = 0;
  errorReason_.clear();
  errorReason_.shrink_to_fit();
}

}  // namespace nerin
