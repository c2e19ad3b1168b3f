// Routines of the FORCE computations that the stage drivers call but that
// this build does not have
// yet.  Each has the name and arguments of the routine it stands for and
// stops the run with a message saying that the feature is not available.
#pragma once

#include <string_view>

namespace zorva {

// Body pressure and velocity sums of the higher-order method and their
// numeric output (period loop).
void BPVSUM(float WNUMNU, int IPERFL);
void OUT5PB(float PER, float WNUMK, float WNUMNU, int IPERFL, int IUNUM, std::string_view NAME);

}  // namespace zorva
