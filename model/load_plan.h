// SPDX-License-Identifier: MIT
// From the bytes of a plan file to a checked Plan and its messages.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "model/message_log.h"
#include "model/plan.h"
#include "model/xml_document.h"

namespace nerin {

// Loads the plan file's bytes into `plan`, reporting in `log`; the bytes are read in the
// encoding their byte-order mark or XML declaration names (XmlDocument::Parse). Everything
// that can reject the file as a whole is checked before the model is touched, so a rejected
// file leaves the previous plan as it was. True when the plan loaded (the log then holds no
// ERROR). `sourceName` is the file's name, shown in the report and standing in for a plan
// that names itself nowhere. The caller resets the chart's scroll offsets after a successful
// load.
bool LoadPlan(Plan& plan, MessageLog& log, std::string_view sourceName, std::string_view bytes);

// The file a plan was read from: the product's XML export, or one of its binary plan files.
// The messages and the load report name what the user has.
enum class PlanFileForm { XmlExport, Binary };

// The most text one element of a plan may hold: far more than any name or note, and a bound
// on what a damaged or hostile file can make the reader hold.
inline constexpr std::size_t MAX_ELEMENT_TEXT = std::size_t{64} << 20;

// A plan read as its bytes arrive (a file, standard input, a download): the XML is parsed
// piece by piece, and only the elements the model reads are kept on the way, so a load holds
// little more than the model it builds. LoadPlan is this stream fed the whole text.
class PlanStream {
 public:
  explicit PlanStream(std::string_view sourceName, std::size_t sizeHint = 0, XmlLimits limits = PlanXmlLimits());
  ~PlanStream();
  PlanStream(const PlanStream&) = delete;
  PlanStream& operator=(const PlanStream&) = delete;

  // Takes the next bytes; false once no more are needed (the reading has ended early: Finish
  // tells why).
  bool Feed(std::string_view bytes);
  // How many bytes the next Feed had best bring.
  std::size_t ChunkSize() const;
  // The input has ended: checks and reads the plan into `plan` as LoadPlan does.
  bool Finish(Plan& plan, MessageLog& log);

  static XmlLimits PlanXmlLimits() {
    XmlLimits limits;
    limits.ElementText = MAX_ELEMENT_TEXT;
    return limits;
  }

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// The steps after reading, for a plan that arrived as a document tree, whatever file format
// it was read from: the same checks, the same readers and the same messages as LoadPlan.
// `readMilliseconds` is how long reading the file took (the first phase of the load report,
// "xml" for an export, "read" for a binary plan). The document is freed.
bool LoadPlanDocument(Plan& plan, MessageLog& log, std::string_view sourceName, XmlDocument& document,
                      std::int64_t readMilliseconds = 0, PlanFileForm form = PlanFileForm::XmlExport);

// The first pass over a parsed document: root, capacities, UID rules, task dates.
// Clears the log first; true when it found no error.
bool ValidatePlan(const XmlDocument& document, MessageLog& log);

}  // namespace nerin
