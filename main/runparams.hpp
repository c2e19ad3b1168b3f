// Run parameters shared by the stage drivers with the model readers, the
// solver and the FORCE set-up, for the items that no other module holds
// yet.  The subsystems that fill them take them over as they are built.
#pragma once

#include <array>
#include <string>

#include "common/farray.hpp"
#include "common/types.hpp"

namespace zorva::run {

// Set by the model-input driver for the POTEN stage.
extern int IMODFL;     // extra-mode hand-over: 0, or -1 while the .pre file is being made
extern int NBETAX;     // headings sizing the diffraction solutions: NBETA when > 1, else 1

// NBETAX is the solver's NBETAC.  The right-hand sides, solutions and work
// matrix of the period loop belong to the solver (solver/matrices.hpp).
// Fluid velocity on the panels from the source strengths (ISOR = 1), made
// each period by the source-strength step: VELRAD (NEQN, 3, NSOLC) and
// VELDIF (NEQN, 3, NBETAX * NSYMC), heading before component.
extern Arr3<cplx> VELRAD, VELDIF;

// Work arrays of the higher-order geometry and of the hydrostatics driver
// that the POTEN stage frees at its end.
extern Arr2<float> BASUG, BASVG;
extern Arr1<float> HQMOD1, HQMOD2;

// FORCE stage: output options (entries 1 to 9), and the channel and file
// name of each numeric output, in the order of the numeric
// output table ("optn.1" ... "optn.9c").
inline constexpr int NNUM = 18;
extern std::array<int, 10> IOPTN;            // IOPTN[1..9]
extern std::array<int, NNUM + 1> IUNUM;      // IUNUM[1..18] = 25..42
extern std::array<std::string, NNUM + 1> NUMNAME;

void reset();

}  // namespace zorva::run
