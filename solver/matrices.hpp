// Right-hand sides, solutions and the in-memory influence matrix of the
// period loop, and the units of the matrix scratch store.
#pragma once

#include "common/farray.hpp"
#include "common/types.hpp"

namespace zorva::slv {

// The one set of these arrays of the run; the stage drivers use them
// directly.  (In the drivers' older terms RHSMOD was SOLWRK and ALHS was
// SOLBLK; NBETAC is run::NBETAX.)
extern Arr2<cplx> RHSMOD;  // (NEQN, NSOLC) radiation right-hand sides, then solutions
extern Arr3<cplx> RHSRAD;  // (NEQN, NBETAC, NSYMC) diffraction right-hand sides, then solutions
extern Arr3<cplx> RHSSRC;  // the same for the source-strength solve; low-order method only
extern Arr3<cplx> RHSADD;  // added into RHSRAD after the main solve; low-order method only
extern Arr2<cplx> ALHS;    // (MAXSCR, MAXSCR) in-memory influence matrix and block work matrix
extern int IUNIT[16];      // units 29..44 of the matrix scratch store

// Allocate the arrays once per run; IERR 0 or 1.
void ALLOCMAT(int NEQN, int NBETAC, int IDIFF, int& IERR);

void reset();

}  // namespace zorva::slv
