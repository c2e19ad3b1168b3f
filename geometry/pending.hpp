// Routines that the model input calls in parts of the program that this
// build does not hold yet (the waterline trimming of higher-order bodies).
// Each stand-in writes a clear message when it is reached and fails, so
// that a run asking for them stops instead of going on wrongly.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "geometry/lowout.hpp"
#include "geometry/modfile.hpp"
#include "geometry/trimlow.hpp"

namespace zorva {

// Set to 1 by a stand-in without a status argument when it is reached.
extern int IPENDERR;

// Waterline trimming of higher-order bodies and the spline counts of the
// trimmed patches.
void TRIMWLB(int& IERR);
void GROWSPL(int NPATCHR, int NPATCHW, int NPATCHBD, int& IERR);

}  // namespace zorva
