// Stand-ins for the routines of the solver, FORCE computations, control
// surfaces and geometry-kernel bridge that the stage drivers call, until
// those subsystems exist.  Each has the name and
// arguments of the routine it stands for (result arrays of the FORCE
// computations are left out until they exist).  A stand-in computes
// nothing: it records its call, and a test can make a chosen call fail.
// Where a real step after it reads what it would hand over (the
// source-strength scratch of the assembly), the stand-in leaves that in
// place, zero-filled.
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

// What the solver stand-in returns.
struct Model {
    std::array<int, 2> niter = {0, 0};   // iteration counts SOLVE returns (main solve)
    std::array<int, 2> niters = {0, 0};  // and for the source-strength solve
    // With ISOR = 1 the WAVEGR stand-in leaves on the source scratch unit
    // what the assembly hands to POTSRCST (zero velocity coefficients).
    bool srcvel = true;
};
extern Model MODEL;

// Called with the routine's name at each recorded call, before a chosen
// failure: lets a test put in place what the routine would make, change the
// run at that point, or look at the state the driver has reached.
extern std::function<void(const std::string&)> ON_CALL;

// Back to the start: no calls, no failures, warnings or hook.
void reset();
// No calls, failures or warnings; the model's settings and the hook kept.
void clear_calls();

}  // namespace standin

// Geometry and hydrostatics (GEOMSTAT) are in panels/geom.hpp; the model
// input and its checks (GETIP, CHKPOT) in geometry/modelin.hpp.

// Linear system (the arrays are the solver's: RHSMOD, RHSRAD, RHSSRC,
// RHSADD, ALHS).
void INCRHS(int NEQN, const int* NSYMRHS, int NBETA, float WNUMK, int IDIFF, int IPERFL, int& IERR);
void WAVEGR(int IRAD, int IDIFF, int NBETAX, int NEQN, float WNUMNU, Arr2<cplx>& ALHS, int IPERFL, int& IERR);
void SOLVE(int NEQN, int IRAD, int IDIFF, int NBETAX, const int* IUNIT, float TOL, Arr2<cplx>& RHSMOD,
           Arr3<cplx>& RHS, Arr2<cplx>& ALHS, int* NITER, int KIND, int IPERFL, int& IERR);
void ADDPOT(int NEQN, int NBETAX, int NSYMC, Arr3<cplx>& RHSRAD, Arr3<cplx>& RHSADD);
void ZEROFLG(Arr2<cplx>& RHSMOD, Arr3<cplx>& RHSRAD, int IRAD, int IDIFF, int NEQN, int NBETAX);
void DUPPAN(int NEQN, int NBETAX, int IRAD, int IDIFF, float WNUMNU);

// FORCE computations that the FORCE set-up calls.
void PBCOEF(int NPATCHT, int& IERR);

// FORCE computations and writers not built yet (the others are in
// force/force.hpp).
void BPVSUM(float WNUMNU, int IPERFL);
void OUT5PB(float PER, float WNUMK, float WNUMNU, int IPERFL, int IUNUM, std::string_view NAME);

// Control surfaces.
void CSFPT(float WNUMNU, float WNUMK, const int* NSYMRHS, int IPERFL, int& IERR);

// Control surfaces of the FORCE set-up.
void RDCSF(int& IERR);

// Geometry-kernel bridge (RGKINIT is with the model input's pending
// routines, geometry/pending.hpp).
void RGKDONE();

}  // namespace zorva
