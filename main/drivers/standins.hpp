// Routines of the FORCE computations and geometry-kernel
// bridge that the stage drivers call but that this build does not have
// yet.  Each has the name and arguments of the routine it stands for and
// stops the run with a message saying that the feature is not available.
#pragma once

#include <string_view>

namespace zorva {


// Release of the geometry kernel (RGKINIT is with the model input's
// pending routines, geometry/pending.hpp).
void RGKDONE();

}  // namespace zorva
