// SPDX-License-Identifier: MIT
#include "sources/source_load.h"

#include <new>
#include <optional>
#include <utility>

#include "calendar/value_text.h"
#include "model/memory_fit.h"
#include "mpp/mpp_reader.h"

namespace nerin {

namespace {

// The first bytes tell what a source is: the compound file's signature is its first eight
// bytes, and the product's other formats (MPX text, the database) name themselves within 32.
constexpr std::size_t SNIFF_BYTES = 32;
// A binary plan is read whole; its compound file is small beside its XML.
constexpr std::int64_t MAX_BINARY_BYTES = std::int64_t{1} << 30;
// While a source is read the system's free memory is looked at every so many bytes; below the
// reserve the load stops before the system has to end a process for want of memory.
constexpr std::int64_t MEMORY_CHECK_BYTES = std::int64_t{16} << 20;
constexpr std::int64_t MEMORY_RESERVE_BYTES = std::int64_t{128} << 20;

void ReportOnly(MessageLog& log, std::string text) {
  ClearMessages(log);
  AddMessage(log, MessageLevel::Error, std::move(text));
}

}  // namespace

SourceLoad::SourceLoad(std::string_view displayName, std::size_t sizeHint)
    : name_(displayName), sizeHint_(sizeHint) {}

SourceLoad::~SourceLoad() = default;

bool SourceLoad::Feed(std::string_view bytes) {
  if (outOfMemory_ || binaryTooLarge_) return false;
  if (bytes.empty()) return true;
  total_ += static_cast<std::int64_t>(bytes.size());
  if (total_ >= nextMemoryCheck_) {
    nextMemoryCheck_ = total_ + MEMORY_CHECK_BYTES;
    const std::optional<std::int64_t> available = AvailableMemoryBytes();
    if (available && *available < MEMORY_RESERVE_BYTES) {
      outOfMemory_ = true;
      return false;
    }
  }
  try {
    return Take(bytes);
  } catch (const std::bad_alloc&) {
    outOfMemory_ = true;
    return false;
  }
}

bool SourceLoad::Take(std::string_view bytes) {
  if (binary_) {
    if (static_cast<std::int64_t>(whole_.size() + bytes.size()) > MAX_BINARY_BYTES) {
      binaryTooLarge_ = true;
      whole_ = {};
      return false;
    }
    whole_.append(bytes);
    return true;
  }
  if (xml_) return xml_->Feed(bytes);
  first_.append(bytes);
  if (first_.size() < SNIFF_BYTES) return true;
  if (!OtherPlanFormatRefusal(first_).empty()) return false;
  if (IsCompoundFile(first_)) {
    binary_ = true;
    whole_ = std::move(first_);
    first_ = {};
    return true;
  }
  xml_ = std::make_unique<PlanStream>(name_, sizeHint_);
  const std::string first = std::move(first_);
  first_ = {};
  return xml_->Feed(first);
}

std::size_t SourceLoad::ChunkSize() const {
  return xml_ ? xml_->ChunkSize() : std::size_t{1} << 20;
}

bool SourceLoad::Finish(Plan& plan, MessageLog& log) {
  // A source refused before any plan was read leaves the shown plan, whose messages these no
  // longer are.
  const auto refuse = [&plan, &log](std::string text) {
    ReportOnly(log, std::move(text));
    plan.MessagesMatchPlan = false;
    return false;
  };
  try {
    if (!outOfMemory_) {
      if (binaryTooLarge_) {
        return refuse("The source is larger than " + IntegerText(MAX_BINARY_BYTES) +
                      " bytes, more than the viewer reads.");
      }
      if (total_ == 0) return refuse("The source is empty.");
      if (binary_) return LoadMppPlan(plan, log, name_, whole_);
      if (!xml_) {
        // A source shorter than the first bytes looked at, or one in another format of the
        // product, which is named rather than read.
        if (const std::string_view refusal = OtherPlanFormatRefusal(first_); !refusal.empty()) {
          return refuse(std::string(refusal));
        }
        if (IsCompoundFile(first_)) return LoadMppPlan(plan, log, name_, first_);
        return LoadPlan(plan, log, name_, first_);
      }
      return xml_->Finish(plan, log);
    }
  } catch (const std::bad_alloc&) {
  }
  // What was built is let go before the message is written.
  xml_.reset();
  whole_ = {};
  ReportOutOfMemory(log, total_);
  plan.MessagesMatchPlan = false;
  return false;
}

}  // namespace nerin
