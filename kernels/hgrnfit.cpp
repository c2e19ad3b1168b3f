// Fitted correction functions of the depth ratio x = nu*h (HGRNFIT1: the 91
// row coefficients of the near-field series, HGRNFIT2: the 57 of the
// small-depth-sum remainder), from the piecewise-polynomial coefficient sets
// of kernels/hgrnfit_data.cpp.
#include <cmath>

#include "kernels/hgrnfit_data.hpp"
#include "kernels/wavegreen_fd.hpp"

namespace zorva {

namespace {

// Outputs (1-based) that carry a logarithmic part for x < 1.
constexpr int LOGA[19] = {43, 44, 53, 54, 55, 64, 65, 66, 67, 75, 76, 77, 78, 79, 87, 88, 89, 90, 91};
constexpr int LOGB[32] = {7,  11, 12, 15, 16, 17, 21, 22, 23, 26, 27, 28, 29, 33, 34, 35,
                          36, 39, 40, 41, 42, 43, 46, 47, 48, 49, 50, 53, 54, 55, 56, 57};

// Interval of x (each boundary belongs to the lower interval, except x = 1)
// and its polynomial variable t.
int fit_interval(float x, float& t) {
    if (x < 1.0f) { t = x; return 0; }
    if (x <= 2.0f) { t = x - 1.0f; return 1; }
    if (x <= 3.0f) { t = x - 2.0f; return 2; }
    if (x <= 4.0f) { t = x - 3.0f; return 3; }
    if (x <= 6.0f) { t = (x - 4.0f) * 0.5f; return 4; }
    if (x <= 8.0f) { t = (x - 6.0f) * 0.5f; return 5; }
    if (x <= 12.0f) { t = (x - 8.0f) * 0.25f; return 6; }
    if (x <= 16.0f) { t = (x - 12.0f) * 0.25f; return 7; }
    t = 16.0f / x;
    return 8;
}

// Polynomial i (1-based) of a set at t, highest power first.
inline float horner(const hgrnfit_data::FitSet& s, int i, float t) {
    const int b = s.start[i - 1] - 1, e = s.start[i] - 1;
    float p = s.coef[b];
    for (int k = b + 1; k < e; ++k) p = p * t + s.coef[k];
    return p;
}

void fit_eval(const hgrnfit_data::FitSet* sets, const hgrnfit_data::FitSet& logset, const int* loglist,
              int nlog, int nout, float x, float y, float* out) {
    float t;
    const int iv = fit_interval(x, t);
    for (int i = 1; i <= nout; ++i) out[i - 1] = horner(sets[iv], i, t);
    if (iv == 0) {
        const float rx = 1.0f / x;
        for (int i = 0; i < nout; ++i) out[i] *= rx;
        const float ly = std::log(y) * rx;
        for (int m = 1; m <= nlog; ++m) out[loglist[m - 1] - 1] -= ly * horner(logset, m, x);
    }
}

}  // namespace

void HGRNFIT1(const float& X, const float& Y, float* OUT) {
    fit_eval(hgrnfit_data::FITA_SETS, hgrnfit_data::FITA_LOGSET, LOGA, 19, 91, X, Y, OUT);
}

void HGRNFIT2(const float& X, const float& Y, float* OUT) {
    fit_eval(hgrnfit_data::FITB_SETS, hgrnfit_data::FITB_LOGSET, LOGB, 32, 57, X, Y, OUT);
}

}  // namespace zorva
