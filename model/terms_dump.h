// SPDX-License-Identifier: MIT
// The model dump's lines for the plan's own terms (model/terms_dump.cpp lists their kinds).
#pragma once

#include <string>

#include "model/plan.h"

namespace nerin {

// Appends the TERMS, CAL, CALEX and TT lines of a loaded plan, each only where it says more
// than the defaults.
void AppendTermsLines(std::string& out, const Plan& plan);

}  // namespace nerin
