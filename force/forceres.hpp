// Result arrays of the FORCE stage's period computations: added mass and
// damping, exciting forces, motions and drift forces, with the far-field
// work arrays of the momentum drift.  Rows are solution columns (position r
// holds mode sym::IMODORD(r)); columns are headings, wavemaker modes or
// heading pairs.  Allocated once by ALLOCRES after the FORCE set-up.
#pragma once

#include "common/farray.hpp"
#include "common/types.hpp"

namespace zorva::frc {

extern Arr2<float> AMAT, BMAT;       // (NMODT, NMODT) added mass and damping, nondimensional
extern Arr2<cplx> FEXH;              // (NMODT, NBETAX) exciting forces, Haskind relations
extern Arr2<cplx> FEXD;              // (NMODT, NBETAF) exciting forces, pressure integration
extern Arr2<cplx> RAO;               // (NMODT, NBETAX) motion amplitudes (default factors, then motions)
extern Arr2<cplx> DRIFTM, DRIFTS;    // (NMODT, NDRIFT) drift results and their companion
extern Arr2<cplx> DRIFTCM, DRIFTCS;  // (NMODT, NDRIFT) control-surface drift
extern Arr1<cplx> KOCHR1, KOCHR2;    // (NMODT) radiation far-field amplitudes and angle derivatives
extern Arr1<cplx> KOCHD1, KOCHD2;    // (NBETAF) diffraction far-field amplitudes
extern Arr1<cplx> KOCHT1, KOCHT2;    // (NBETAF) total far-field amplitudes
extern Arr1<float> VNWORK;           // (NMODT) modal normals at the current point

// Basis values of the potential B-splines at the Gauss points of every
// knot interval of every patch (higher order): BASQU(k + (q-1) MAXKU, a, p)
// is the k-th nonzero u basis function of patch p at Gauss point q of
// interval a (KU values; the column-major layout of a (MAXKU, MAXQU,
// MAXNU, NPATCHT) table), BASQV likewise in v with MAXKV.
extern Arr3<float> BASQU, BASQV;

// The same storage under the names the body and field computations use.
inline Arr2<cplx>& XIMOD = RAO;
inline Arr2<float>& ADDMASS = AMAT;
inline Arr2<float>& DAMPING = BMAT;

// Allocates the arrays above that the output options need (RAO always),
// zeroed.  IERR 1 after a message when memory runs out.
void ALLOCRES(int& IERR);

void reset_res();

}  // namespace zorva::frc
