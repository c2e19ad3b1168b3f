// Routines that the model input calls in parts of the program that this
// build does not hold yet (the higher-order readers, the higher-order plot
// files and the geometry kernel bridge).  Each stand-in writes a clear
// message when it is reached and fails, so that a run asking for them stops
// instead of going on wrongly.
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

// Patch-array growth: IMODERB made N entries long, keeping its content.
void GROWMDRB(int N, int& IERR);

// Plot files of the higher-order method.
void PLTDATH(int& IERR);
// Higher-order geometry and spline control files.
void RDGDFH(int IU, int& IERR);
void RDSPL(const ExtTable& EXTS, int LEXT, int IU, int& NEQN, int& IERR);
// Geometry-kernel bridge (SURFLINK).
void RGKINIT(int& IERR);
void RGKLOWGDF(int IB, int& IERR);
void RGKNTANK(int IB, int& N);
void RGKPANTYPE(int IB, int I, int& ITYPE, int& ITANK, int& IERR);

}  // namespace zorva
