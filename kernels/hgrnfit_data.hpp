// Coefficient sets of the finite-depth correction fits (generated data,
// kernels/hgrnfit_data.cpp, by tools/gen_hgrnfit.cpp).
//
// Per x interval (x < 1, [1, 2], (2, 3], (3, 4], (4, 6], (6, 8], (8, 12],
// (12, 16], x > 16) one set: output i (1-based) is the polynomial in the
// interval variable t whose coefficients, highest power first, are entries
// start[i-1] .. start[i]-1 (1-based) of coef.  The log set holds, for x < 1,
// the polynomials in x of the logarithmic parts of the listed outputs.
#pragma once

namespace zorva::hgrnfit_data {

struct FitSet {
    const int* start;
    const float* coef;
};

extern const FitSet FITA_SETS[9];
extern const FitSet FITA_LOGSET;
extern const FitSet FITB_SETS[9];
extern const FitSet FITB_LOGSET;

}  // namespace zorva::hgrnfit_data
