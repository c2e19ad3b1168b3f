// Stand-ins for the routines of the solver, FORCE computations and
// geometry-kernel bridge that the stage drivers call, until
// those subsystems exist.  Each has the name and arguments of the routine
// it stands for.  A stand-in computes nothing: it records its call, and a
// test can make a chosen call fail.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/farray.hpp"
#include "common/types.hpp"
#include "geometry/modelin.hpp"
#include "kernels/rankin.hpp"
#include "panels/geom.hpp"

namespace zorva {

namespace standin {

// Calls in the order made: the routine's name, for some followed by the
// arguments that tell the calls apart.
extern std::vector<std::string> CALLS;

// Make the nth call (from 1) of the named routine return status 1 (after one
// message through ERRMSG, as the routine would write).
void fail(std::string_view name, int nth = 1);
// Make the nth call (0: every call) of the named routine write a warning
// (status stays 0).
void warn(std::string_view name, int nth = 0);

// Called with the routine's name at each recorded call, before a chosen
// failure: lets a test put in place what the routine would make, change the
// run at that point, or look at the state the driver has reached.
extern std::function<void(const std::string&)> ON_CALL;

// Back to the start: no calls, no failures, warnings or hook.
void reset();
// No calls, failures or warnings; the hook kept.
void clear_calls();

}  // namespace standin

// Geometry and hydrostatics (GEOMSTAT) are in panels/geom.hpp; the model
// input and its checks (GETIP, CHKPOT) in geometry/modelin.hpp.

// FORCE computations that the FORCE set-up calls.
void PBCOEF(int NPATCHT, int& IERR);

// FORCE computations and writers not built yet (the others are in
// force/force.hpp).
void BPVSUM(float WNUMNU, int IPERFL);
void OUT5PB(float PER, float WNUMK, float WNUMNU, int IPERFL, int IUNUM, std::string_view NAME);

// Geometry-kernel bridge (RGKINIT is with the model input's pending
// routines, geometry/pending.hpp).
void RGKDONE();

}  // namespace zorva
