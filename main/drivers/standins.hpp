// Stand-ins for the routines of the geometry step, kernels, solver, FORCE
// computations, control surfaces and geometry-kernel bridge that the stage
// drivers call, until those subsystems exist.  Each has the name and
// arguments of the routine it stands for (result arrays of the FORCE
// computations are left out until they exist).  A stand-in computes
// nothing: it records its call, and a test can make a chosen call fail.
// Where later steps need the arrays a step makes (geometry tables, solver
// and source-strength arrays), the stand-in allocates them zero-filled.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/farray.hpp"
#include "common/types.hpp"
#include "geometry/modelin.hpp"

namespace zorva {

namespace standin {

// Calls in the order made: the routine's name, for some followed by the
// arguments that tell the calls apart.
extern std::vector<std::string> CALLS;

// Make the nth call (from 1) of the named routine return status 1 (after one
// message through ERRMSG, as the routine would write).
void fail(std::string_view name, int nth = 1);
// Make every call of the named routine write a warning (status stays 0).
void warn(std::string_view name);
// Run HOOK after every successful call of the named routine (a test's way
// to leave what the real routine would, e.g. a geometry-kernel body).
void after(std::string_view name, std::function<void()> hook);

// What the solver stand-in returns.
struct Model {
    std::array<int, 2> niter = {0, 0};   // iteration counts SOLVE returns (main solve)
    std::array<int, 2> niters = {0, 0};  // and for the source-strength solve
};
extern Model MODEL;

// Back to the start: no calls, no failures, warnings or hooks.
void reset();
// No calls, failures, warnings or hooks; the iteration counts kept.
void clear_calls();

}  // namespace standin

// Geometry and hydrostatics (POTEN set-up): leaves the panel tables that
// the .p2f file carries.  The model input and its checks (GETIP, CHKPOT)
// are in geometry/modelin.hpp.
void GEOMSTAT(int NEQN, int IMODFL, int& IERR);

// Influence kernels.
void RANKIN(int NEQN, int IRAD, int& IERR);
void HGRN00(float WNUMNU, float& WNUMK, float PER, int& IERR);

// Linear system.
void ALLOCMAT(int NEQN, int NBETAX, int IDIFF, int& IERR);
void INCRHS(int NEQN, const int* NSYMRHS, int NBETA, float WNUMK, int IDIFF, int IPERFL, int& IERR);
void WAVEGR(int IRAD, int IDIFF, int NBETAX, int NEQN, float WNUMNU, Arr1<cplx>& SOLBLK, int IPERFL, int& IERR);
void SOLVE(int NEQN, int IRAD, int IDIFF, int NBETAX, const int* IUNIT, float TOL, Arr2<cplx>& SOLWRK,
           Arr2<cplx>& RHS, Arr1<cplx>& SOLBLK, int* NITER, int KIND, int IPERFL, int& IERR);
void ADDPOT(int NEQN, int NBETAX, int NSYMC, Arr2<cplx>& RHSRAD, Arr2<cplx>& RHSADD);
void ZEROFLG(Arr2<cplx>& SOLWRK, Arr2<cplx>& RHSRAD, int IRAD, int IDIFF, int NEQN, int NBETAX);
void DUPPAN(int NEQN, int NBETAX, int IRAD, int IDIFF, float WNUMNU);
void POTSRCST(int NEQN, int IRAD, int IDIFF, int NBETAX, int& IERR);

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
