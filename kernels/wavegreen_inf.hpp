// Region kernels of the infinite-depth free-surface wave Green function.
//
// All lengths are multiplied by the period's wavenumber nu = omega^2/g.  Each
// kernel walks a list of pair numbers (1-based) and overwrites all 8 complex
// values of each listed pair in G (8 per pair, pair after pair):
//   G, dG/dR, dG/dz, d2G/dRdz, d2G/dz2, d2G/dzdzeta, dG/dzeta, d2G/dRdzeta.
// None of them includes 1/r.  WGRK09 and WGRK10 include 1/r1 for singular-part
// codes 0 and 1; WGRK11 returns the wave part plus 2 ln(r1 + d), without 1/r1.
// A2 is twice the vertical shift; WGTAB points at the first row of the table.
#pragma once

#include "common/types.hpp"

namespace zorva {

// R <= 3, outside the logarithmic region.
void WGRK09(const float* R, const float& A2, const float* Z, const float* ZETA, cplx* G, const int* ISING,
            const int* LIST, const int& NLIST, const float* WGTAB);

// R > 3.
void WGRK10(const float* R, const float& A2, const float* Z, const float* ZETA, cplx* G, const int* ISING,
            const int* LIST, const int& NLIST, const float* WGTAB);

// Logarithmic region: R <= 3, d < 4, logarithmic singularity removed.
void WGRK11(const float* R, const float& A2, const float* Z, const float* ZETA, cplx* G, const int* LIST,
            const int& NLIST, const float* WGTAB);

}  // namespace zorva
