// Wave part of the higher-order influence between one test quadrature point
// and one source cell (knot span) of a patch, over every geometric image,
// reduced to what the tensor-product assembly needs: per symmetry
// component the dipole-kernel moments of the cell, and per solution column
// the source integral weighted by the mode's normal velocity.  The Rankine
// parts are left out (they come from the once-per-run Rankine records).
#pragma once

#include <vector>

#include "common/types.hpp"

namespace zorva {

// Per-period values of the wave part.
struct WgPeriod {
    float K = 0;       // length scale: nu, or 1 at a limit period
    float K2 = 0;      // K squared
    float KH = 0;      // K HBOT (HBOT at a limit period; <= 0 infinite depth)
    float HBOT = 0;    // water depth (<= 0 infinite)
    float LOGC = 0;    // correction added to Re G of the source value
    int ICODE = 2;     // singular-part code of the pairs (ILOG + 2)
    int IFD = 0;       // 1 in finite depth: the bottom image 1/r2 is left out
    int IPERFL = 0;    // 0 ordinary period, 1 / 2 the limits
    int IRAD = 0;
};

// The test point: position and normal in its body's frame, its patch and
// body, dipole flag (1: the equation on the patch is the normal derivative).
struct WgTest {
    float X[3] = {0, 0, 0};
    float N[3] = {0, 0, 0};
    int IP = 0, IB = 0, IDIP = 0;
};

// One source cell: bounds, patch, body, the stored inner points before it.
struct WgCell {
    float UA = 0, UB = 0, VA = 0, VB = 0;
    int JP = 0, JB = 0, NQPOFF = 0;
};

// Pair batch and image accumulators; sized by WgBlkWork::size.
struct WgBlkWork {
    int NPMAX = 0, NPUVMAX = 0, NMODT = 0;
    std::vector<float> R, Z, ZETA, W, CR, EX, EY, NX, NY, NZ, S, T;
    std::vector<int> ISING, IBOT, L;
    std::vector<cplx> G, Mi, Vi, Mvi, Vvi, Mv, Vv;
    void size(int npairs, int npuv, int nmodt);
};

// M(NPUV, NSYMC) and V(NMODT, by solution column) of the cell, both zeroed
// first.  OFF: test body origin minus source body origin (zero with walls
// or within one body).
void WAVEGRBLK(const WgPeriod& P, const WgTest& T, const WgCell& C, const float* OFF, cplx* M, cplx* V,
               WgBlkWork& W);

}  // namespace zorva
