// Panel geometry tables beside those of paneldata.hpp (the quadrature
// rule, the lid-panel strips) and the hydrostatic sums of each body, filled
// by the geometry step of the POTEN stage (GEOMSTAT) and carried to the
// force stage.  Lengths are nondimensional; the restoring matrix is per
// unit density and gravity.
#pragma once

#include "common/farray.hpp"
#include "geometry/hogeom.hpp"

namespace zorva::pnl {

// Four-point quadrature of each panel (IQUAD = 1; one-element placeholders
// otherwise).
extern Arr3<float> XVERG;    // (4, 3, NEQN) points, global frame
extern Arr2<float> PNLARR2;  // (4, NEQN) weights (area elements, summing to the area)
extern Arr3<float> PNLARR1;  // (4, 3, NEQN) r x n at each point, body frame

extern Arr1<int> NPANBG;     // (NBODY) panels of the body less its lid panels
extern Arr1<int> LIDSTRIP;   // lid-panel strips: per waterline segment a count, then the panels
extern int NLIDSTRIP;        // entries of LIDSTRIP written

// Hydrostatics of each body.
extern Arr2<float> XBUOY;    // (3, NBODY) centre of buoyancy, body axes
extern Arr2<float> VOLXYZ;   // (3, NBODY) the three volume estimates
extern Arr2<float> CHYD;     // (NMODT, NMODT) hydrostatic restoring matrix
extern Arr1<float> VOLB;     // (NBODY) adopted volume: the median estimate
// (NMODT) vertical displacement of each mode at a point: the work vector of
// the NEWMODES calls, shared with the patch evaluation.
using model::WMPT;

void reset_geom();

}  // namespace zorva::pnl
