// Values worked out from the model for the influence kernels and the
// solver: heading columns, the dipole-symmetry flag, and the symmetry images
// and components of the run.  The model itself (counts, switches, depth,
// per-panel classes) is in geometry/model.hpp.
#pragma once

#include "common/farray.hpp"

namespace zorva::geo {

extern int NBETAC;          // heading columns, max(NBETA, 1)
extern int IDIPSYM;         // 1: dipole classes 2 and 3 kept

// Symmetry: NIMAGE images IMGSYM(1..NIMAGE) (1 itself, 2 mirror x = 0,
// 3 both, 4 mirror y = 0), NSYMC components ICOMPSYM(1..NSYMC), the modes
// of each component NMODCOMP(k), IMODSC(1..NMODCOMP(k), k), the solution
// column of each mode IMODPOS(mode) and NSOLC columns.
extern int NIMAGE, NSYMC, NSOLC;
extern int IMGSYM[4], ICOMPSYM[4];
extern Arr1<int> NMODCOMP;  // (4)
extern Arr2<int> IMODSC;    // (NMODT, 4)
extern Arr1<int> IMODPOS;   // (NMODT)

// Reflection signs of image g and the weight of image g in component c.
int ISGNX(int g);
int ISGNY(int g);
int ISIGMA(int c, int g);

void reset();

}  // namespace zorva::geo
