// SPDX-License-Identifier: MIT
#include "views/find.h"

#include <algorithm>
#include <functional>
#include <memory>

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
std::string LowerText(std::string_view text, const LowerCaseFunction& lower) {
  std::string lowered;
  lowered.reserve(text.size());
  std::size_t pos = 0;
  while (pos < text.size()) {
    const auto byte = static_cast<unsigned char>(text[pos]);
    if (byte < 0x80) {
      lowered += static_cast<char>(byte >= 'A' && byte <= 'Z' ? byte - 'A' + 'a' : byte);
      ++pos;
      continue;
    }
    // UTF-8 bytes of characters beyond ASCII are all 0x80 or above: the run ends on a whole
    // character.
    std::size_t end = pos + 1;
    while (end < text.size() && static_cast<unsigned char>(text[end]) >= 0x80) {
      ++end;
    }
    lowered += lower(text.substr(pos, end - pos));
    pos = end;
  }
  return lowered;
}

struct Domain {
  std::int64_t Count = 0;
  const std::vector<std::string>* Names = nullptr;
  const std::vector<std::string>* Notes = nullptr;  // tasks only
};

std::vector<std::string> LowerAll(std::int64_t count, const LowerCaseFunction& lower,
                                  const std::function<const std::string&(std::size_t)>& text) {
  std::vector<std::string> lowered(At(count));
  for (std::size_t i = 0; i < lowered.size(); ++i) {
    const std::string& original = text(i);
    lowered[i] = LowerText(original, lower);
  }
  return lowered;
}

Domain TaskDomain(const Plan& plan, FindTexts& texts, const LowerCaseFunction& lower) {
  const std::int64_t count = std::clamp<std::int64_t>(plan.TaskCount, 0, std::ssize(plan.Tasks));
  if (!texts.TasksMade || std::ssize(texts.TaskNames) != count) {
    texts.TaskNames =
        LowerAll(count, lower, [&plan](std::size_t i) -> const std::string& { return plan.Tasks[i].Name; });
    texts.TaskNotes =
        LowerAll(count, lower, [&plan](std::size_t i) -> const std::string& { return plan.Tasks[i].Notes; });
    texts.TasksMade = true;
  }
  return {count, &texts.TaskNames, &texts.TaskNotes};
}

Domain ResourceDomain(const Plan& plan, FindTexts& texts, const LowerCaseFunction& lower) {
  const std::int64_t count = std::clamp<std::int64_t>(plan.ResourceCount, 0, std::ssize(plan.Resources));
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
      return task >= 0 && task < plan.TaskCount ? task + 1 : 0;
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
  const TextMatcher needle(LowerText(text, lower));
  start %= domain.Count;
  for (std::int64_t i = 0; i < domain.Count; ++i) {
    std::int64_t d = start + i;
    if (d >= domain.Count) {
      d -= domain.Count;
    }
    if ((isNumber && RecordId(plan, resources, d) == number) || needle.FoundIn((*domain.Names)[At(d)]) ||
        (domain.Notes != nullptr && needle.FoundIn((*domain.Notes)[At(d)]))) {
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
