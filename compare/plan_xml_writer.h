// SPDX-License-Identifier: MIT
// A loaded Plan written back as a Microsoft Project XML export: only the elements the viewer
// reads, so that loading the text again gives the same model. The change generator, the
// tests and the benchmarks make their second versions of a plan with it; the viewer itself
// never writes a plan.
#pragma once

#include <string>

#include "model/plan.h"

namespace nerin {

std::string PlanXmlText(const Plan& plan);

}  // namespace nerin
