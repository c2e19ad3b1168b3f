// Routines that the model input calls in parts of the program that this
// build does not hold yet (the geometry kernel bridge).  Each stand-in
// writes a clear message when it is reached and fails, so that a run asking
// for them stops instead of going on wrongly.
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

// Geometry-kernel bridge (SURFLINK).
void RGKINIT(int& IERR);
void RGKLOWGDF(int IB, int& IERR);
void RGKNTANK(int IB, int& N);
void RGKNPATCH(int IB, int& N);
void RGKPANTYPE(int IB, int I, int& ITYPE, int& ITANK, int& IERR);
void RGKPATTYPE(int IB, int IP, int& ITYPE, int& ITANK, int& IERR);
void RGKEVAL(float U, float V, int IB, int IP, float* X, float* XU, float* XV, int& IERR);

}  // namespace zorva
