// SPDX-License-Identifier: MIT
// Any bytes, read as the product's binary plan file: first by the compound-file reader alone
// (every stream of the directory read whole), then by the plan reader into one long-lived plan,
// so that successive inputs run through reloads as well as refusals. Seeded with the binary
// samples; inputs that start with anything but the compound-file signature are given one,
// so that the fuzzer spends its time inside the container. A plan that loads is drawn.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/chart_draw_check.h"
#include "fuzz/model_check.h"
#include "model/message_log.h"
#include "model/plan.h"
#include "mpp/compound_file.h"
#include "mpp/mpp_reader.h"
#include "mpp/text_decoding.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static nerin::Plan plan;
  static nerin::MessageLog log;
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::string withSignature;
  if (!nerin::IsCompoundFile(bytes)) {
    withSignature.assign(nerin::mpp::COMPOUND_FILE_SIGNATURE);
    withSignature.append(bytes);
    bytes = withSignature;
  }

  nerin::mpp::CompoundFile container;
  std::string error;
  if (container.Open(bytes, error)) {
    std::string stream;
    for (std::size_t entry = 0; entry < container.EntryCount(); ++entry) {
      const auto id = static_cast<nerin::mpp::EntryId>(entry);
      if (!container.IsStream(id)) continue;
      if (!container.ReadStream(id, stream, error)) continue;
      // The reader's text decoders see every stream too: notes are RTF, names UTF-16.
      if (stream.starts_with("{\\rtf")) nerin::mpp::RtfPlainText(stream);
      nerin::mpp::Utf16LeText(std::string_view(stream).substr(0, 512));
    }
  }

  const bool wasLoaded = plan.ProjectLoaded;
  const bool loaded = nerin::LoadMppPlan(plan, log, "fuzz.mpp", bytes);
  nerin::CheckModel(plan, log, loaded, wasLoaded);
  if (loaded) nerin::CheckChartDrawing(plan, data, size);
  return 0;
}
