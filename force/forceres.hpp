// Result arrays of the FORCE stage's period computations: the arrays that
// the FORCE set-up allocates are declared with the FORCE-stage data
// (p2f/forcedata.hpp: AMAT, BMAT, FEXH, FEXD, RAO, DRIFTM, DRIFTS, the
// far-field work arrays); here the basis tables of the higher-order
// integrals and the other names the body and field computations give the
// same storage.
#pragma once

#include "common/farray.hpp"
#include "common/types.hpp"
#include "p2f/forcedata.hpp"

namespace zorva::frc {

// Basis values of the potential B-splines at the Gauss points of every
// knot interval of every patch (higher order): BASQU(k + (q-1) MAXKU, a, p)
// is the k-th nonzero u basis function of patch p at Gauss point q of
// interval a (KU values; the column-major layout of a (MAXKU, MAXQU,
// MAXNU, NPATCHT) table), BASQV likewise in v with MAXKV.
extern Arr3<float> BASQU, BASQV;

// Motion amplitudes, added mass and damping under the names of the body
// and field computations.
inline Arr2<cplx>& XIMOD = RAO;
inline Arr2<float>& ADDMASS = AMAT;
inline Arr2<float>& DAMPING = BMAT;

void reset_res();

}  // namespace zorva::frc
