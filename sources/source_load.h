// SPDX-License-Identifier: MIT
// The bytes of one source on their way into a plan, as they arrive. Not for the views.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "model/load_plan.h"
#include "model/message_log.h"
#include "model/plan.h"

namespace nerin {

// Every source ends here. Bytes that start with the compound-file signature are the product's
// binary plan: they are gathered whole and go to LoadMppPlan, whatever the source's name.
// Anything else is XML, parsed piece by piece as it arrives (PlanStream). A load that runs out
// of memory, or sees the system's free memory run low while it reads, ends with an ERROR that
// names the size and leaves the plan it was given as it was.
class SourceLoad {
 public:
  explicit SourceLoad(std::string_view displayName, std::size_t sizeHint = 0);
  ~SourceLoad();
  SourceLoad(const SourceLoad&) = delete;
  SourceLoad& operator=(const SourceLoad&) = delete;

  // Takes the next bytes; false once no more are needed.
  bool Feed(std::string_view bytes);
  // How many bytes the next Feed had best bring.
  std::size_t ChunkSize() const;
  std::int64_t BytesRead() const { return total_; }
  // The input has ended (or no more was needed): the load's result, its messages in `log`. No
  // bytes give the one ERROR "The source is empty.".
  bool Finish(Plan& plan, MessageLog& log);

 private:
  bool Take(std::string_view bytes);

  std::string name_;
  std::size_t sizeHint_;
  std::int64_t total_ = 0;
  std::int64_t nextMemoryCheck_ = 0;
  bool outOfMemory_ = false;
  bool binary_ = false;
  bool binaryTooLarge_ = false;
  std::string first_;  // the first bytes, until they tell XML from a binary plan
  std::string whole_;  // a binary plan
  std::unique_ptr<PlanStream> xml_;
};

}  // namespace nerin
