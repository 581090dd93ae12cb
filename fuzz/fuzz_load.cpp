// SPDX-License-Identifier: MIT
// Any bytes, loaded as a plan source into one long-lived plan, so that successive inputs run
// through reloads as well as rejections. Besides the sanitizers, the checks below catch a
// load that leaves the model inconsistent; a plan that loads is then drawn as a Gantt chart
// at view states taken from the same bytes.
#include <cstddef>
#include <cstdint>

#include "sources/plan_source.h"
#include "fuzz/chart_draw_check.h"
#include "fuzz/model_check.h"
#include "model/message_log.h"
#include "model/plan.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static nerin::Plan plan;
  static nerin::MessageLog log;
  const bool wasLoaded = plan.ProjectLoaded;
  const bool loaded = nerin::LoadSource(plan, log, "fuzz.xml", reinterpret_cast<const char*>(data),
                                        static_cast<std::int64_t>(size));
  nerin::CheckModel(plan, log, loaded, wasLoaded);
  if (loaded) {
    nerin::CheckChartDrawing(plan, data, size);
  }
  return 0;
}
