// Routines of the FORCE computations, control surfaces and geometry-kernel
// bridge that the stage drivers call but that this build does not have
// yet.  Each has the name and arguments of the routine it stands for and
// stops the run with a message saying that the feature is not available.
#pragma once

#include <string_view>

namespace zorva {

// Control surfaces: the control-surface file (FORCE set-up) and the
// period's control-surface values (period loop).
void RDCSF(int& IERR);
void CSFPT(float WNUMNU, float WNUMK, const int* NSYMRHS, int IPERFL, int& IERR);

// Release of the geometry kernel (RGKINIT is with the model input's
// pending routines, geometry/pending.hpp).
void RGKDONE();

}  // namespace zorva
