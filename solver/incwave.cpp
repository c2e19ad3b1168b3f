#include "solver/incwave.hpp"

#include <algorithm>
#include <cmath>

#include "geometry/model.hpp"
#include "main/config.hpp"

namespace zorva {

void INCWAVE(const float& K, const float& SINB, const float& COSB, const float* X, const int& IGRAD, IncWave& W) {
    static constexpr float WALLFAC[3] = {1.0f, 2.0f, 4.0f};
    const int nwall = std::clamp(cfg::IWALLX0 + cfg::IWALLY0, 0, 2);
    const float F = WALLFAC[nwall];
    const float h = model::HBOT;
    const float kz = K * X[2];

    // Depth function and its z-derivative; the exponents are clamped so that
    // nothing underflows far below the surface or overflows in deep water.
    float Z, Zz;
    if (h < 0.0f) {
        Z = F * std::exp(std::max(kz, -30.0f));
        Zz = K * Z;
    } else {
        float kh = K * h;
        float e1 = std::exp(-std::min(kh, 30.0f));
        float e2 = std::exp(std::max(kz, -30.0f));
        float e3 = std::exp(-std::min(kh + kz, 30.0f));
        float g = F / (1.0f + e1 * e1);
        Z = g * (e2 + e1 * e3);
        Zz = K * g * (e2 - e1 * e3);
    }

    const float a = (K * X[0]) * COSB;
    const float b = (K * X[1]) * SINB;
    const float ca = std::cos(a), sa = std::sin(a);
    const float cb = std::cos(b), sb = std::sin(b);

    cplx* PHIINC = W.PHIINC;
    PHIINC[1] = cplx(Z * ca * cb, 0.0f);
    PHIINC[2] = cplx(0.0f, -Z * sa * cb);
    PHIINC[3] = cplx(-Z * sa * sb, 0.0f);
    PHIINC[4] = cplx(0.0f, -Z * ca * sb);
    if (IGRAD != 1) return;

    const float kx = K * COSB, ky = K * SINB;
    auto& G = W.GRADINC;
    G[1][1] = cplx(-kx * Z * sa * cb, 0.0f);
    G[1][2] = cplx(-ky * Z * ca * sb, 0.0f);
    G[1][3] = cplx(Zz * ca * cb, 0.0f);
    G[2][1] = cplx(0.0f, -kx * Z * ca * cb);
    G[2][2] = cplx(0.0f, ky * Z * sa * sb);
    G[2][3] = cplx(0.0f, -Zz * sa * cb);
    G[3][1] = cplx(-kx * Z * ca * sb, 0.0f);
    G[3][2] = cplx(-ky * Z * sa * cb, 0.0f);
    G[3][3] = cplx(-Zz * sa * sb, 0.0f);
    G[4][1] = cplx(0.0f, kx * Z * sa * sb);
    G[4][2] = cplx(0.0f, -ky * Z * ca * cb);
    G[4][3] = cplx(0.0f, -Zz * ca * sb);
}

}  // namespace zorva
