// Right-hand sides, solutions and the in-memory influence matrix of the
// period loop, and the units of the matrix scratch store.
#pragma once

#include "common/farray.hpp"
#include "common/types.hpp"

namespace zorva::slv {

extern Arr2<cplx> RHSMOD;  // (NEQN, NSOLC)
extern Arr3<cplx> RHSRAD;  // (NEQN, NBETAC, NSYMC)
extern Arr3<cplx> RHSSRC;  // low-order method only
extern Arr3<cplx> RHSADD;  // low-order method only
extern Arr2<cplx> ALHS;    // (MAXSCR, MAXSCR)
extern int IUNIT[16];      // units 29..44 of the matrix scratch store

// Allocate the arrays once per run; IERR 0 or 1.
void ALLOCMAT(int NEQN, int NBETAC, int IDIFF, int& IERR);

void reset();

}  // namespace zorva::slv
