// Per-period assembly of the influence matrices: the wave part of the Green
// function added to the period-independent Rankine parts of the scratch
// units 23 and 24, the images combined into one system per symmetry
// component, delivered border by border to the in-memory matrix and the
// matrix scratch files.
#pragma once

#include "common/farray.hpp"
#include "common/types.hpp"

namespace zorva {

// Entry of the period's assembly: the low-order assembly when cfg::ILOWHI
// is 0.  NU is the period's infinite-depth wavenumber, IPERFL its limit
// flag; ALHS the in-memory matrix (MAXSCR x MAXSCR, column-major).
void WAVEGR(int IRAD, int IDIFF, int NBETAC, int NEQN, float NU, Arr2<cplx>& ALHS, int IPERFL, int& IERR);

// Low-order assembly of one period (flat panels; one source point per
// panel, or four with cfg::IQUAD not 0).  A limit period (IPERFL 1 zero
// frequency, 2 infinite frequency) uses the limit kernel pair by pair.
// IERR 0, or 1 after one message.
void WAVEGRLO(int IRAD, int IDIFF, int NBETAC, int NEQN, float WNUMNU, float HBOT, Arr2<cplx>& ALHS, int IPERFL,
              int& IERR);

// Higher-order assembly of one period (B-spline patches): the component
// matrices on the scratch units IUNIT(1..NSYMC), component 1 where the
// solver takes it (A, or the block units with ISOLVE >= 2), the radiation
// right-hand sides in slv::RHSMOD.  NU the period's infinite-depth
// wavenumber, IPERFL its limit flag.  IERR 0, or 1 after one message.
void WAVEGRHI(int IRAD, int NEQN, float NU, float HBOT, Arr2<cplx>& A, int IPERFL, int& IERR);

}  // namespace zorva
