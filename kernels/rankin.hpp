// Period-independent Rankine parts of the influence matrices, written once
// per run to the Rankine scratch units 23 (matrix terms, per column j in
// border form) and 24 (radiation right-hand-side parts); the higher-order
// method keeps its records (layout in rankinhi.cpp) in the matrix scratch
// store.
#pragma once

namespace zorva {

inline constexpr int IURNK = 23;    // Rankine matrix terms
inline constexpr int IURNKR = 24;   // Rankine radiation right-hand sides

void RANKIN(int N, int IRADF, int& IERR);
void RANKINLO(int N, int IRADF, float HBOT, int& IERR);
// Higher-order Rankine records into units 23..26 of the matrix scratch store.
void RANKINHI(int NEQN, int IRAD, float HBOT, int& IERR);

}  // namespace zorva
