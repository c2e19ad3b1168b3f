// Incident-wave right-hand sides of the diffraction problem and the small
// adjustments made around the solution of a period (low-order method).
#pragma once

#include "common/farray.hpp"
#include "common/types.hpp"

namespace zorva {

// Right-hand sides of one period from the incident wave: clears
// slv::RHSRAD (and, low order, slv::RHSSRC and slv::RHSADD), then, for an
// ordinary period (IPERFL = 0) with IDIFF >= 0, fills them from the
// incident wave of wavenumber K at every hull panel, component by component
// summing the wave parts NSYMRHS(m + (k-1) NSYMD).  Heading j of component k
// at (i, j, k).  IERR is left as it is.
void INCRHS(int NEQN, const int* NSYMRHS, int NBETA, float K, int IDIFF, int IPERFL, int& IERR);

// Scattering formulation: the incident potential RHSADD added to the
// solved scattered potential RHSRAD (panels of dipole class 0 only).
void ADDPOT(int NEQN, int NBETAC, int NSYMC, Arr3<cplx>& RHSRAD, Arr3<cplx>& RHSADD);

// Clears the solutions of the panels flagged -1 (pnl::IPFLAG): the
// radiation columns of RHSMOD unless IRAD = -1, the diffraction columns of
// RHSRAD unless IDIFF = -1.
void ZEROFLG(Arr2<cplx>& RHSMOD, Arr3<cplx>& RHSRAD, int IRAD, int IDIFF, int NEQN, int NBETAC);

// Right-hand sides of the source-strength solution from the first
// solution (source formulation): the radiation columns of RHSMOD become
// the modal normals VNMODE at every panel not flagged -1, and with lid
// panels (largest IRR above 0) each lid panel tied to a waterline panel p
// takes -NU times p's first solution (radiation into RHSMOD, diffraction,
// less the incident part RHSADD, into RHSSRC).  NU is the period's
// infinite-depth wavenumber.
void DUPPAN(int NEQN, int NBETAC, int IRAD, int IDIFF, float NU);

}  // namespace zorva
