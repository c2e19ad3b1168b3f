// Period-independent Rankine parts of the low-order influence matrices,
// written once per run to the Rankine scratch units 23 (matrix terms, per
// column j in border form) and 24 (radiation right-hand-side parts), which
// RANKIN (solver/rankin.hpp) opens; the higher-order integrals are those of
// RKPOINT (kernels/horank.hpp).
#pragma once

namespace zorva {

inline constexpr int IURNK = 23;    // Rankine matrix terms
inline constexpr int IURNKR = 24;   // Rankine radiation right-hand sides

void RANKINLO(int N, int IRADF, float HBOT, int& IERR);

}  // namespace zorva
