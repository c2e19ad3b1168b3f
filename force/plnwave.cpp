// Plane wave of unit amplitude at a point, in its four parity parts, with
// the normal derivative, the derivative with respect to the heading and the
// normal derivative of that: the far-field and Haskind integrands.
#include <algorithm>
#include <cmath>

#include "force/force.hpp"
#include "geometry/model.hpp"
#include "main/config.hpp"

namespace zorva {

void PLNWAVE(float K, float SINB, float COSB, const float* X, const float* VNORM, PlaneWave& W) {
    static constexpr float WALLFAC[3] = {1.0f, 2.0f, 4.0f};
    const float F = WALLFAC[std::clamp(cfg::IWALLX0 + cfg::IWALLY0, 0, 2)];
    const float h = model::HBOT;
    const float x = X[0], y = X[1], z = X[2];
    const float nx = VNORM[0], ny = VNORM[1], nz = VNORM[2];

    // Depth function and the vertical factor (d/dz of the depth function
    // over its value), every exponent capped.
    float A, Kz;
    if (h > 0.0f) {
        const float e1 = std::exp(-std::min(K * h, 30.0f));
        const float e2 = std::exp(-std::min(-K * z, 30.0f));
        const float e3 = std::exp(-std::min(K * (h + z), 30.0f));
        A = F * (e2 + e3 * e1) / (1.0f + e1 * e1);
        Kz = K * (1.0f - e3 * e3) / (1.0f + e3 * e3);
    } else {
        A = F * std::exp(-std::min(-K * z, 30.0f));
        Kz = K;
    }
    Kz *= nz;

    const float a = K * x * COSB, b = K * y * SINB;
    const float ca = std::cos(a), sa = std::sin(a), cb = std::cos(b), sb = std::sin(b);
    const float cc = A * ca * cb, sc = A * sa * cb, ss = A * sa * sb, cs = A * ca * sb;
    const float kc = K * COSB, ks = K * SINB;

    // Normal derivatives of the four products.
    const float dcc = -kc * sc * nx - ks * cs * ny + Kz * cc;
    const float dsc = kc * cc * nx - ks * ss * ny + Kz * sc;
    const float dss = kc * cs * nx + ks * sc * ny + Kz * ss;
    const float dcs = -kc * ss * nx + ks * cc * ny + Kz * cs;

    // Rotational derivative L = x d/dy - y d/dx of the products and the
    // normal derivative of each.
    const float lcc = K * y * COSB * sc - K * x * SINB * cs;
    const float lsc = -K * x * SINB * ss - K * y * COSB * cc;
    const float lss = K * x * SINB * sc - K * y * COSB * cs;
    const float lcs = K * x * SINB * cc + K * y * COSB * ss;
    const float nlcc = K * COSB * (ny * sc + y * dsc) - K * SINB * (nx * cs + x * dcs);
    const float nlsc = -K * SINB * (nx * ss + x * dss) - K * COSB * (ny * cc + y * dcc);
    const float nlss = K * SINB * (nx * sc + x * dsc) - K * COSB * (ny * cs + y * dcs);
    const float nlcs = K * SINB * (nx * cc + x * dcc) + K * COSB * (ny * ss + y * dss);

    cplx* P = W.PHIINC;
    P[1] = cplx(cc, 0.0f);
    P[2] = cplx(0.0f, -sc);
    P[3] = cplx(-ss, 0.0f);
    P[4] = cplx(0.0f, -cs);
    cplx* D = W.DPHI;
    D[1] = cplx(dcc, 0.0f);
    D[2] = cplx(0.0f, -dsc);
    D[3] = cplx(-dss, 0.0f);
    D[4] = cplx(0.0f, -dcs);
    cplx* R = W.RPHI;
    R[1] = cplx(lss, 0.0f);
    R[2] = cplx(0.0f, lcs);
    R[3] = cplx(-lcc, 0.0f);
    R[4] = cplx(0.0f, lsc);
    cplx* S = W.SPHI;
    S[1] = cplx(nlss, 0.0f);
    S[2] = cplx(0.0f, nlcs);
    S[3] = cplx(-nlcc, 0.0f);
    S[4] = cplx(0.0f, nlsc);
}

}  // namespace zorva
