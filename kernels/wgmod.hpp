// Shared data of the wave Green function: the fitted coefficient tables of the
// infinite-depth kernels.
#pragma once

namespace zorva::wgmod {

// Infinite-depth fit tables, 31 coefficients per row (see kernels/wgtabs.cpp).
// WGTABS: row k = depth interval k (1..8), R <= 3.
// WGTABL: row j = 5k - m, depth interval k and R-interval m = min(trunc(15/R), 4), R > 3.
extern const float WGTABS[8][31];
extern const float WGTABL[40][31];

}  // namespace zorva::wgmod
