// Per-period set-up of the finite-depth wave Green function: the propagating
// and the first five evanescent roots of the dispersion relation, the
// Bessel-series rows of the propagating mode pre-multiplied by its amplitude,
// the K0/K1 asymptotic rows of the evanescent modes and the fitted correction
// functions of the depth ratio x = nu*h.
#include <algorithm>
#include <cmath>

#include "common/messages.hpp"
#include "kernels/wavegreen_fd.hpp"
#include "geometry/model.hpp"
#include "geometry/modelin.hpp"
#include "kernels/wgsetup.hpp"

namespace zorva {

namespace wgcoef {
float FITA[91], FITB[57], EVK[5], EVC[5][7], EVD[5][7];
float AP0[6], AQ0[6], AP1[6], AQ1[6], SJ0[6], SY0[7], SJ1[6], SY1[6];
float A0T4, RXNUH, RXNUH2, RXNUH2T2, RXNUH2T8, AKNU, AKNU2, AKNUT2, XNUH2;

void reset() {
    std::fill(std::begin(FITA), std::end(FITA), 0.0f);
    std::fill(std::begin(FITB), std::end(FITB), 0.0f);
    std::fill(std::begin(EVK), std::end(EVK), 0.0f);
    std::fill(&EVC[0][0], &EVC[0][0] + 35, 0.0f);
    std::fill(&EVD[0][0], &EVD[0][0] + 35, 0.0f);
    for (float* a : {AP0, AQ0, AP1, AQ1, SJ0, SJ1, SY1}) std::fill(a, a + 6, 0.0f);
    std::fill(SY0, SY0 + 7, 0.0f);
    A0T4 = RXNUH = RXNUH2 = RXNUH2T2 = RXNUH2T8 = AKNU = AKNU2 = AKNUT2 = XNUH2 = 0.0f;
}
}  // namespace wgcoef

namespace {

// Economised Bessel series (K R <= 3) and Hankel factors (K R > 3).
constexpr float T1[6] = {6.2831845f, -14.137119f, 7.9515953f, -1.9856241f, 0.2748406f, -0.02083271f};
constexpr float T2[7] = {-0.46372604f, 10.043382f, -8.180633f,   2.4669123f,
                         -0.39105886f, 0.037891936f, -0.002165716f};
constexpr float T3[6] = {9.424777f, -10.602849f, 3.9758677f, -0.7447874f, 0.08264139f, -0.0052796095f};
constexpr float T4[6] = {-3.6955874f, 9.219995f, -4.511851f, 0.98325205f, -0.12071377f, 0.008251584f};
constexpr float T5[6] = {5.0132565f, -0.039153676f, 0.0067696786f, -0.0029558353f, 0.00135059f, -0.00032640286f};
constexpr float T6[6] = {-0.20888472f, 0.013567826f, -0.004374416f, 0.0024296276f, -0.0011654174f, 0.0002763531f};
constexpr float T7[6] = {5.0132565f, 0.06526271f, -0.008730216f, 0.0035469043f, -0.0015812477f, 0.0003785081f};
constexpr float T8[6] = {0.62665594f, -0.01900355f, 0.005377063f, -0.0028578106f, 0.0013487425f, -0.000317638f};
// K0 and K1 asymptotic factors: mode 1 in (pi/2)/z, modes 2..5 in (3 pi/2)/z.
constexpr float U1[7] = {0.9999999f, -0.0795628f, 0.028231105f, -0.016981402f,
                         0.011022209f, -0.005220378f, 0.0011738245f};
constexpr float V1[7] = {1.0000002f, 0.23871426f, -0.04716715f, 0.024106618f,
                         -0.014681226f, 0.006768554f, -0.0015028031f};
constexpr float U[5] = {0.99999994f, -0.026522536f, 0.0031381443f, -0.00061128865f, 9.868391e-05f};
constexpr float V[5] = {1.0000001f, 0.07957332f, -0.005241652f, 0.0008685854f, -0.00013209617f};

constexpr float PIS = 3.1415927f;

}  // namespace

void HGRN00FD(const float& nu, float& K, const float& /*per*/, int& IERR) {
    using namespace wgcoef;
    const float x = model::HBOT * nu;
    if (x < NUHMIN || x > NUHMAX) {
        IERR = 1;
        ERRMSG(" Error return in HGRN00: depth HBOT is illegal ", 0);
        return;
    }
    IERR = 0;
    RXNUH = 1.0f / x;
    RXNUH2 = RXNUH * RXNUH;
    RXNUH2T2 = 2.0f * RXNUH2;
    RXNUH2T8 = 8.0f * RXNUH2;
    XNUH2 = 2.0f * x;

    // Propagating root of y tanh y = x: start value and one correction step.
    const float e = std::exp(-std::min(2.0f * x, 30.0f));
    float y;
    if (x > 2.0f)
        y = x + x * e * (2.0f - 12.0f * e);
    else
        y = std::sqrt(x) * (1.0f + 0.169f * x + 0.031f * x * x);
    if (x <= 4.8f) {
        // The correction step subtracts nearly equal terms (atanh(x/y0) and
        // y0 for small x); in single precision that loses up to 5e-6 of y,
        // so the step is taken in double and y rounded back.
        const double xd = x, y0 = y;
        const double D = xd * xd - y0 * y0;
        const double W = 1.0 / (xd - D);
        const double S = (0.5 * std::log((y0 + xd) / (y0 - xd)) - y0) * W;
        y = static_cast<float>(y0 - D * S * (1.0 + S * W * xd * y0));
    }
    const float kappa0 = y / x;
    K = nu * kappa0;
    AKNU = kappa0;
    AKNU2 = kappa0 * kappa0;
    AKNUT2 = 2.0f * kappa0;

    // Propagating amplitude.
    const float E = 2.0f * y < 30.0f ? std::exp(-2.0f * y) : 0.0f;
    const float A0 = (1.0f + kappa0) * (1.0f - E) / (2.0f * ((1.0f - E) * (1.0f - E) + 4.0f * x * E));
    A0T4 = 4.0f * A0;

    // Propagating-mode rows: polynomials in R^2 (small argument) and in 1/R^2.
    const float q = AKNU2 / 9.0f, p = 9.0f / AKNU2, F = A0 / std::sqrt(kappa0);
    const float a1 = A0 * AKNU2 / 3.0f;
    float qj = 1.0f, pj = 1.0f;
    for (int j = 0; j < 7; ++j) {
        SY0[j] = T2[j] * A0 * qj;
        if (j < 6) {
            SJ0[j] = T1[j] * A0 * qj;
            SJ1[j] = T3[j] * a1 * qj;
            SY1[j] = T4[j] * a1 * qj;
            AP0[j] = T5[j] * F * pj;
            AQ0[j] = T6[j] * (3.0f / kappa0) * F * pj;
            AP1[j] = T7[j] * kappa0 * F * pj;
            AQ1[j] = T8[j] * 3.0f * F * pj;
        }
        qj *= q;
        pj *= p;
    }

    // Evanescent roots y_n = n pi - delta_n of y tan y = -x, one correction
    // step from a start value, and their K0/K1 rows.
    const float u = x / (2.3333f + x);
    const float d = u * (4.3152f - 2.8768f * u) + 0.1191f + 0.0371f / x;
    float delta = d * u;
    float c = 0.0f;
    for (int n = 1; n <= 5; ++n) {
        c += PIS;
        if (n >= 2) delta = u * delta;
        const float w = c - delta;
        const float Y = w * w + x * x;
        const float W = 1.0f / (x - Y);
        const float S = (std::atan(x / w) - delta) * W;
        delta = delta - (W * S * w * x + 1.0f) * Y * S;
        const float kn = (c - delta) / x;
        EVK[n - 1] = kn;
        const float An = 2.5066283f * (1.0f + kn * kn) / (std::sqrt(kn) * (x + (c - delta) * kn - 1.0f));
        const float sn = n == 1 ? 1.5707963f / EVK[0] : 4.712389f / kn;
        const int M = n == 1 ? 7 : 5;
        float sj = 1.0f;
        for (int j = 0; j < M; ++j) {
            EVC[n - 1][j] = (n == 1 ? U1[j] : U[j]) * An * sj;
            EVD[n - 1][j] = (n == 1 ? V1[j] : V[j]) * kn * An * sj;
            sj *= sn;
        }
    }

    HGRNFIT1(x, y, FITA);
    HGRNFIT2(x, y, FITB);
}

}  // namespace zorva
