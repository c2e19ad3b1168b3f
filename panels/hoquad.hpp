// Outer quadrature points of the higher-order method: per patch the outer
// Gauss orders, and per point, in the order patch, v-span, u-span,
// v-point, u-point, its parameters, weight, position, normal, modal normals
// and the values of the B-splines alive on its span.  Filled before the
// Rankine step; read by the Rankine matrices of patches.
#pragma once

#include "common/farray.hpp"

namespace zorva::hoq {

extern Arr1<int> IQUO, IQVO;   // (NPATCHT) outer Gauss orders in u and v
extern int NQPO;               // outer points of all patches
extern Arr2<float> UVQPO;      // (2, NQPO) parameters u, v
extern Arr1<float> WTQPO;      // (NQPO) Gauss weights times the span half-lengths
extern Arr2<float> XQPO;       // (3, NQPO) position, body frame
extern Arr2<float> ENQPO;      // (3, NQPO) unit normal
extern Arr2<float> VNQPO;      // (NMODT, NQPO) modal normal velocities
extern Arr2<float> BUO, BVO;   // (MAXKU | MAXKV, NQPO) B-splines of the span at the point

void reset();

}  // namespace zorva::hoq
