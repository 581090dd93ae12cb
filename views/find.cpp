// SPDX-License-Identifier: MIT
#include "views/find.h"

#include <algorithm>
#include <functional>
#include <cstring>
#include <memory>
#include <unordered_map>

#include "calendar/text_units.h"
#include "calendar/value_text.h"
#include "views/plan_access.h"

namespace nerin {

namespace {

// Whether a text contains the needle, in time linear in the text whatever the needle: a
// search text of thousands of characters over plain or repetitive notes must not stall the
// window. Short needles go to the library's plain search, which is fastest for them and cannot
// degrade much.
class TextMatcher {
 public:
  explicit TextMatcher(std::string needle) : needle_(std::move(needle)) {
    if (needle_.size() > kPlainSearchLimit) {
      searcher_ = std::make_unique<Searcher>(needle_.cbegin(), needle_.cend());
    }
  }
  TextMatcher(const TextMatcher&) = delete;
  TextMatcher& operator=(const TextMatcher&) = delete;

  bool FoundIn(std::string_view text) const {
    if (text.size() < needle_.size()) {
      return false;
    }
    if (!searcher_) {
      return text.find(needle_) != std::string_view::npos;
    }
    return std::search(text.begin(), text.end(), *searcher_) != text.end();
  }

 private:
  static constexpr std::size_t kPlainSearchLimit = 16;
  using Searcher = std::boyer_moore_searcher<std::string::const_iterator>;

  std::string needle_;
  std::unique_ptr<Searcher> searcher_;
};

// The lower case of a whole text. Lower case maps each character on its own, so ASCII letters
// are lowered here and only the runs of other characters go to the platform, which keeps the
// first Find over ten thousand long notes quick.
// The platform's lower case of the runs of characters beyond ASCII, each distinct run asked
// for once: notes repeat the same few (a currency sign, an accented name) thousands of times.
// Runs of up to 8 bytes, nearly all of them, are looked up by their bytes packed in a number.
class RunLowerer {
 public:
  explicit RunLowerer(const LowerCaseFunction& lower) : lower_(lower) {}
  void AppendLowered(std::string_view run, std::string& out) {
    if (run.size() > sizeof(std::uint64_t)) {
      out += lower_(run);
      return;
    }
    std::uint64_t key = 0;
    std::memcpy(&key, run.data(), run.size());
    auto found = memo_.find(key);
    if (found == memo_.end()) {
      found = memo_.emplace(key, lower_(run)).first;
    }
    out += found->second;
  }

 private:
  const LowerCaseFunction& lower_;
  std::unordered_map<std::uint64_t, std::string> memo_;
};

constexpr std::uint64_t HIGH_BITS = 0x8080808080808080ULL;

bool IsHigh(char c) {
  return static_cast<unsigned char>(c) >= 0x80;
}

// Eight ASCII bytes at once: each of 'A'..'Z' gets the 0x20 bit. No byte carries into the next
// while every byte is below 0x80.
std::uint64_t LowerAsciiWord(std::uint64_t word) {
  const std::uint64_t atLeastA = word + 0x3f3f3f3f3f3f3f3fULL;  // 0x80 - 'A'
  const std::uint64_t aboveZ = word + 0x2525252525252525ULL;    // 0x80 - 'Z' - 1
  return word | (((atLeastA & ~aboveZ) & HIGH_BITS) >> 2);
}

char LowerAsciiByte(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return static_cast<char>(static_cast<unsigned>(byte - 'A') < 26u ? byte + ('a' - 'A') : byte);
}

std::string LowerText(std::string_view text, RunLowerer& lower) {
  // One pass over the text, eight bytes at a time while they are plain ASCII (most names and
  // notes are); only the runs beyond ASCII (all their UTF-8 bytes are 0x80 or above, so a run
  // ends on a whole character) go to the platform.
  std::string lowered;
  lowered.resize(text.size());
  std::size_t out = 0;
  std::size_t pos = 0;
  const auto put = [&](std::string_view piece) {
    if (out + piece.size() > lowered.size()) lowered.resize(out + piece.size() + text.size() / 8);
    std::memcpy(lowered.data() + out, piece.data(), piece.size());
    out += piece.size();
  };
  std::string run;
  while (pos < text.size()) {
    std::uint64_t word = 0;
    if (pos + sizeof word <= text.size()) {
      std::memcpy(&word, text.data() + pos, sizeof word);
      if ((word & HIGH_BITS) == 0) {
        word = LowerAsciiWord(word);
        if (out + sizeof word > lowered.size()) lowered.resize(out + sizeof word + text.size() / 8);
        std::memcpy(lowered.data() + out, &word, sizeof word);
        out += sizeof word;
        pos += sizeof word;
        continue;
      }
    }
    if (!IsHigh(text[pos])) {
      const char c = LowerAsciiByte(text[pos]);
      put(std::string_view(&c, 1));
      ++pos;
      continue;
    }
    std::size_t end = pos;
    while (end < text.size() && IsHigh(text[end])) ++end;
    run.clear();
    lower.AppendLowered(text.substr(pos, end - pos), run);
    put(run);
    pos = end;
  }
  lowered.resize(out);
  return lowered;
}

struct Domain {
  std::int64_t Count = 0;
  const std::vector<std::string>* Names = nullptr;
  const std::vector<std::string>* Notes = nullptr;  // tasks only
  const std::vector<std::string>* Wbs = nullptr;    // tasks only
};

std::vector<std::string> LowerAll(std::int64_t count, const LowerCaseFunction& platformLower,
                                  const std::function<const std::string&(std::size_t)>& text) {
  RunLowerer lower(platformLower);
  std::vector<std::string> lowered(At(count));
  for (std::size_t i = 0; i < lowered.size(); ++i) {
    const std::string& original = text(i);
    lowered[i] = LowerText(original, lower);
  }
  return lowered;
}

Domain TaskDomain(const Plan& plan, FindTexts& texts, const LowerCaseFunction& lower) {
  const std::int64_t count = std::clamp<std::int64_t>(plan.TaskCount(), 0, std::ssize(plan.Tasks));
  if (!texts.TasksMade || std::ssize(texts.TaskNames) != count) {
    texts.TaskNames =
        LowerAll(count, lower, [&plan](std::size_t i) -> const std::string& { return plan.Tasks[i].Name; });
    texts.TaskNotes =
        LowerAll(count, lower, [&plan](std::size_t i) -> const std::string& { return plan.Tasks[i].Notes; });
    static const std::string kNoCode;
    const std::int64_t coded = std::min(count, std::ssize(plan.Terms.Tasks));
    texts.TaskWbs = LowerAll(count, lower, [&plan, coded](std::size_t i) -> const std::string& {
      return static_cast<std::int64_t>(i) < coded ? plan.Terms.Tasks[i].WBS : kNoCode;
    });
    texts.TasksMade = true;
  }
  return {count, &texts.TaskNames, &texts.TaskNotes, &texts.TaskWbs};
}

Domain ResourceDomain(const Plan& plan, FindTexts& texts, const LowerCaseFunction& lower) {
  const std::int64_t count = std::clamp<std::int64_t>(plan.ResourceCount(), 0, std::ssize(plan.Resources));
  if (!texts.ResourcesMade || std::ssize(texts.ResourceNames) != count) {
    texts.ResourceNames = LowerAll(
        count, lower, [&plan](std::size_t i) -> const std::string& { return plan.Resources[i].Name; });
    texts.ResourcesMade = true;
  }
  return {count, &texts.ResourceNames, nullptr};
}

// Where the search starts, before a changed text sends it back to the first record.
std::int64_t StartAfterCurrent(const Plan& plan, const TaskListRows& listRows, const FindRequest& request) {
  switch (request.View) {
    case FindView::Resources:
      return std::max<std::int64_t>(request.SelectedRow, -1) + 1;
    case FindView::Tasks: {
      const std::int64_t task = ListRowTaskAt(listRows, request.SelectedRow);
      return task >= 0 && task < plan.TaskCount() ? task + 1 : 0;
    }
    case FindView::Gantt:
    default:
      return std::max<std::int64_t>(request.Highlight, -1) + 1;
  }
}

std::int64_t RecordId(const Plan& plan, bool resources, std::int64_t index) {
  return resources ? plan.Resources[At(index)].ID : plan.Tasks[At(index)].ID;
}

}  // namespace

void DropFindTexts(FindTexts& texts) {
  texts = FindTexts{};
}

bool SearchTextNumber(std::string_view text, std::int64_t& number) {
  const std::int64_t value = IntegerFieldValue(text);
  if (IntegerText(value) != text) {
    return false;
  }
  number = value;
  return true;
}

FindResult FindNextRecord(const Plan& plan, const TaskListRows& listRows, FindTexts& texts,
                          std::string& lastFindText, const FindRequest& request,
                          const LowerCaseFunction& lower) {
  FindResult result;
  if (!plan.ProjectLoaded) {
    return result;
  }
  const std::string_view text = TrimSpaces(request.FieldText);
  if (text.empty()) {
    return result;
  }
  result.Text = std::string(text);
  std::int64_t number = 0;
  const bool isNumber = SearchTextNumber(text, number);

  std::int64_t start = StartAfterCurrent(plan, listRows, request);
  if (result.Text != lastFindText) {
    lastFindText = result.Text;
    start = 0;
  }
  const bool resources = request.View == FindView::Resources;
  const Domain domain = resources ? ResourceDomain(plan, texts, lower) : TaskDomain(plan, texts, lower);
  if (domain.Count == 0) {
    return result;
  }
  RunLowerer needleLower(lower);
  const TextMatcher needle(LowerText(text, needleLower));
  start %= domain.Count;
  for (std::int64_t i = 0; i < domain.Count; ++i) {
    std::int64_t d = start + i;
    if (d >= domain.Count) {
      d -= domain.Count;
    }
    if ((isNumber && RecordId(plan, resources, d) == number) || needle.FoundIn((*domain.Names)[At(d)]) ||
        (domain.Notes != nullptr && needle.FoundIn((*domain.Notes)[At(d)])) ||
        (domain.Wbs != nullptr && needle.FoundIn((*domain.Wbs)[At(d)]))) {
      result.Outcome = FindOutcome::Found;
      result.Record = d;
      return result;
    }
  }
  result.Outcome = FindOutcome::NoMatch;
  return result;
}

std::string NoMatchMessage(std::string_view text) {
  return "No match for '" + std::string(text) + "'.";
}

}  // namespace nerin
