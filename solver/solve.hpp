// Solution of one period's radiation and diffraction problems, component
// by component, from the matrices that the assembly left in memory and in
// the matrix scratch files.
#pragma once

#include "common/farray.hpp"
#include "common/types.hpp"

namespace zorva {

// IU: the eight units of this solution (IUNIT(1..8), or (9..16) for the
// source strengths, KSRC = 1).  RHSMOD (NEQN, NSOLC) and RHS (NEQN,
// NBETAC, NSYMC) hold the right-hand sides and receive the solutions.
// NITER(1..2): -1 for a direct solution, else the largest iteration count
// of the radiation and the diffraction problems, 0 where nothing was
// solved.  NOCONV (when given) is set to 1 when an iterative solution
// stopped at MAXITT iterations without converging, and left alone
// otherwise.
void SOLVE(int NEQN, int IRAD, int IDIFF, int NBETAC, const int* IU, float TOL, Arr2<cplx>& RHSMOD, Arr3<cplx>& RHS,
           Arr2<cplx>& ALHS, int* NITER, int KSRC, int IPERFL, int& IERR, int* NOCONV = nullptr);

}  // namespace zorva
