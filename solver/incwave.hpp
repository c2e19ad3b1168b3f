// The undisturbed incident plane wave at a point, split into its four
// parity parts in x and y so that a solution in symmetry components adds
// only the parts that belong to the component at hand.
#pragma once

#include "common/types.hpp"

namespace zorva {

// The incident wave at a point: PHIINC[p] (p = 1..4) the parts of the
// potential, GRADINC[p][d] (d = 1 x, 2 y, 3 z) their derivatives (written
// only with IGRAD = 1).  Entry 0 of each index is unused.
struct IncWave {
    cplx PHIINC[5];
    cplx GRADINC[5][4];
};

// Incident wave of wavenumber K and heading (SINB, COSB) at X (global frame,
// z upward), in the water depth model::HBOT (negative: infinite) with the
// run's walls (cfg::IWALLX0 + cfg::IWALLY0).  IGRAD = 1 also gives the
// gradient.  The values go to W.  Cannot fail.
void INCWAVE(const float& K, const float& SINB, const float& COSB, const float* X, const int& IGRAD, IncWave& W);

}  // namespace zorva
