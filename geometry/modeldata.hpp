// Model values set by model input and the input checks that the influence
// kernels and the solver read: counts, run switches, per-panel classes and
// the symmetry images and components of the run.
#pragma once

#include "common/farray.hpp"

namespace zorva::geo {

extern int NEQN;            // unknowns (panels in the low-order method)
extern int NMODT;           // modes of all bodies
extern int IRAD, IDIFF;     // radiation / diffraction switches (-1, 0, 1)
extern int NBETAC;          // heading columns, max(NBETA, 1)
extern float HBOT;          // depth; -1 in infinite depth
extern int IPERSPC;         // 1 when some period is the infinite-frequency limit
extern int IDIPSYM;         // 1: dipole classes 2 and 3 kept
extern Arr1<int> NPANB;     // panels of each body
extern Arr1<int> ITANK;     // per panel: 0 hull, else tank number
extern Arr1<int> IDIPWM;    // per panel: dipole / wavemaker class

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
