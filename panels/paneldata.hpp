// Panel geometry tables of the low-order method, filled once per POTEN run
// from the panel vertices and read by the influence kernels and the
// assembly.  Lengths are in the length unit of the geometry; panel i has
// its own frame with origin PCENT(:, i) and axes PAXES(k, :, i).
#pragma once

#include "common/farray.hpp"

namespace zorva::pnl {

extern Arr2<float> PCENT;    // (3, NEQN) centroid, global frame
extern Arr3<float> PAXES;    // (3, 3, NEQN) PAXES(k, c, i): component c of axis k; axis 3 the normal
extern Arr2<float> PNLARR6;  // (4, NEQN) x of vertices 1..4 in the panel frame
extern Arr2<float> PNLARR5;  // (4, NEQN) y of vertices 1..4 in the panel frame
extern Arr2<float> PNLARR4;  // (4, NEQN) length of side k (vertex k to k+1)
extern Arr2<float> PNLARR3;  // (2, NEQN) length scale, squared size
extern Arr2<float> PPROP;    // (13, NEQN) area and scaled area moments about the centroid
extern Arr1<int> IPFLAG;     // (NEQN) free-surface weight / clearing mark
extern Arr2<float> VNMODE;   // (NMODT, NEQN) generalized normals of the modes

void reset();

}  // namespace zorva::pnl
