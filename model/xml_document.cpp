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
  };

  // A namespace prefix declared on an open element.
  struct Binding {
    std::string prefix;
    bool plan;          // bound to the plan namespace
    std::size_t depth;  // of the element that declares it
  };

  XmlBuilder(XmlDocument& document, XML_Parser expat) : doc(document), parser(expat) {}

  XmlDocument& doc;
  XML_Parser parser;
  std::vector<Open> open;
  std::vector<Binding> bindings;
  std::vector<std::uint8_t> prefixed;  // per name: it has a prefix
  std::vector<std::uint64_t> slots;  // hash << 32 | (name index + 1); 0 is free
  std::vector<std::uint32_t> next;   // per name: the name index + 1 that followed it last
  std::uint32_t previous = std::numeric_limits<std::uint32_t>::max();
  std::size_t entityDeclarations = 0;
  // The encoding as the XML declaration names it, and the decoder served to expat for one it
  // does not know itself, with the characters of the input that do not decode in it.
  std::string declaredEncoding;
  std::string servedEncoding;
  std::unique_ptr<IconvEncoding> iconv;
  std::string_view input;
  std::int64_t undecodable = 0;
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
    try {
      if (doc.nodes_.size() >= MAX_NODES) {
        Fail();
        return;
      }
      const auto node = static_cast<XmlNode>(doc.nodes_.size());
      std::uint32_t nameIndex = NameOf(name, length);
      if (failed) return;
      if (prefixed[nameIndex] != 0 && !bindings.empty()) {
        nameIndex = Unprefixed(name, length, nameIndex);
        if (failed) return;
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
    while (!bindings.empty() && bindings.back().depth >= open.size()) bindings.pop_back();
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

void OnStart(void* user, const XML_Char* name, const XML_Char** attributes) {
  auto* builder = static_cast<XmlBuilder*>(user);
  if (attributes[0] != nullptr) builder->Declare(attributes);
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

int OnUnknownEncoding(void* user, const XML_Char* name, XML_Encoding* info) {
  auto* builder = static_cast<XmlBuilder*>(user);
  try {
    builder->servedEncoding = name;
    auto decoder = std::make_unique<IconvEncoding>();
    if (!decoder->Open(name, *info)) return XML_STATUS_ERROR;
    builder->undecodable = decoder->CountUndecodable(builder->input);
    builder->iconv = std::move(decoder);
    return XML_STATUS_OK;
  } catch (const std::bad_alloc&) {
    builder->Fail();
    return XML_STATUS_ERROR;
  }
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && ToLowerAscii(a) == ToLowerAscii(b);
}

}  // namespace

// What one reading of the bytes found out besides the tree.
struct XmlDocument::Attempt {
  bool created = true;
  XML_Error error = XML_ERROR_NONE;
  bool entityLimit = false;
  std::string declaredEncoding;
  std::string servedEncoding;
  std::int64_t undecodable = 0;
};

bool XmlDocument::Parse(std::string_view bytes) {
  const ByteForm form = SniffByteForm(bytes);
  const char* protocol = ProtocolEncoding(form);
  std::int64_t replaced = 0;
  RepairedBytes utf16;
  if (form == ByteForm::Utf16LE || form == ByteForm::Utf16BE) {
    try {
      if (RepairUtf16(bytes, form == ByteForm::Utf16BE, utf16)) {
        bytes = utf16.bytes;
        replaced = utf16.replaced;
      }
    } catch (const std::bad_alloc&) {
      Free();
      return false;
    }
  }
  Attempt attempt;
  ParseOnce(bytes, protocol, attempt);
  if (attempt.created && attempt.error == XML_ERROR_INCORRECT_ENCODING && form == ByteForm::Declared) {
    // A tool that writes UTF-8 may declare the UTF-16 its text had in memory: the bytes tell.
    protocol = "UTF-8";
    attempt = Attempt{};
    ParseOnce(bytes, protocol, attempt);
  }

  // The encoding the bytes were read in, and how a text that failed in it is mended.
  enum class Mend { Utf8, Ascii, Cut, Transcode, None } mend = Mend::Cut;
  std::string encoding;
  if (form == ByteForm::Utf16LE || form == ByteForm::Utf16BE) {
    mend = Mend::None;  // mended before the reading
    encoding = protocol;
  } else if (protocol != nullptr || attempt.declaredEncoding.empty() ||
             EqualsIgnoringCase(attempt.declaredEncoding, "UTF-8")) {
    mend = Mend::Utf8;
    encoding = protocol != nullptr ? protocol : "UTF-8";
  } else {
    encoding = attempt.declaredEncoding;
    if (EqualsIgnoringCase(encoding, "US-ASCII")) mend = Mend::Ascii;
    // Served from iconv: a byte that did not decode may have cost the markup after it, even
    // where the reading did not fail.
    if (!attempt.servedEncoding.empty()) mend = Mend::Transcode;
  }

  const bool lostText = mend == Mend::Transcode && attempt.undecodable > 0;
  if (attempt.created && (attempt.error != XML_ERROR_NONE || lostText) && !attempt.entityLimit &&
      attempt.error != XML_ERROR_UNKNOWN_ENCODING && mend != Mend::None) {
    // Read again without what does not decode: the first reading stops at it.
    RepairedBytes repaired;
    bool changed = false;
    try {
      switch (mend) {
        case Mend::Utf8:
          changed = RepairUtf8(bytes, repaired);
          break;
        case Mend::Ascii:
          // Read as UTF-8 once every byte above ASCII is the replacement character.
          changed = RepairAscii(bytes, repaired);
          if (changed) protocol = "UTF-8";
          break;
        case Mend::Cut:
          changed = CutAtZeroByte(bytes, repaired);
          break;
        case Mend::Transcode:
          changed = TranscodeToUtf8(attempt.servedEncoding.c_str(), bytes, repaired);
          if (changed) protocol = "UTF-8";
          break;
        case Mend::None:
          break;
      }
    } catch (const std::bad_alloc&) {
      changed = false;
    }
    if (changed) {
      attempt = Attempt{};
      ParseOnce(repaired.bytes, protocol, attempt);
      replaced = repaired.replaced;
    }
  }
  if (!attempt.created) {
    Free();
    return false;
  }
  encodingName_ = encoding;
  replacedCharacters_ = replaced + attempt.undecodable;
  if (attempt.error == XML_ERROR_UNKNOWN_ENCODING) {
    unreadableEncoding_ = attempt.servedEncoding.empty() ? attempt.declaredEncoding : attempt.servedEncoding;
  }
  return true;
}

void XmlDocument::ParseOnce(std::string_view text, const char* protocolEncoding, Attempt& attempt) {
  Free();
  XML_Parser parser = XML_ParserCreate(protocolEncoding);
  if (parser == nullptr) {
    attempt.created = false;
    return;
  }

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
    XML_SetXmlDeclHandler(parser, OnXmlDeclaration);
    XML_SetUnknownEncodingHandler(parser, OnUnknownEncoding, &builder);
    XML_SetParamEntityParsing(parser, XML_PARAM_ENTITY_PARSING_NEVER);
    builder.input = text;

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
    attempt.declaredEncoding = builder.declaredEncoding;
    attempt.servedEncoding = builder.servedEncoding;
    attempt.undecodable = builder.undecodable;
    attempt.entityLimit = builder.tooManyEntities;
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
    // The builder and its decoder go before the parser is freed; expat calls nothing then.
  } catch (const std::bad_alloc&) {
    created = false;
  }
  XML_ParserFree(parser);
  attempt.error = error;
  if (!created) {
    attempt.created = false;
    Free();
    return;
  }
  wellFormed_ = error == XML_ERROR_NONE;
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
