// Geometry of one flat panel: centroid, local axes, area and area moments,
// local vertex coordinates, side lengths, size measure and the four-point
// quadrature rule.  All arithmetic in single precision.
#include <cmath>

#include "common/messages.hpp"
#include "panels/geom.hpp"

namespace zorva {

namespace {

constexpr int NEXT[4] = {1, 2, 3, 0};

// Integral of xi^a eta^(b+1) / (b+1) d xi along the straight side from
// (x0, y0) to (x1, y1).  The integrand is a polynomial of degree a+b+1 <= 5
// in the side parameter, so the three-point Gauss rule is exact.
float side_moment(float x0, float y0, float x1, float y1, int a, int b) {
    static constexpr float T[3] = {0.1127017f, 0.5f, 0.8872983f};
    static constexpr float W[3] = {0.2777778f, 0.4444444f, 0.2777778f};
    const float dx = x1 - x0, dy = y1 - y0;
    float s = 0.0f;
    for (int q = 0; q < 3; ++q) {
        const float x = x0 + T[q] * dx, y = y0 + T[q] * dy;
        float p = 1.0f;
        for (int n = 0; n < a; ++n) p *= x;
        for (int n = 0; n <= b; ++n) p *= y;
        s += W[q] * p;
    }
    return s * dx / static_cast<float>(b + 1);
}

}  // namespace

void PANEL(const float* X, float* XC, float* AX, float* XI, float* ETA, float* PROP, float* SIDE, float* XG,
           float* WG, int IDIAG, float* DIAM, int I, int IQUAD, int& IERR) {
    auto P = [X](int k, int c) { return X[c * 4 + k]; };  // vertex k, coordinate c, from 0
    float m[3], a[3], b[3];
    for (int c = 0; c < 3; ++c) {
        m[c] = 0.25f * (P(0, c) + P(1, c) + P(2, c) + P(3, c));
        a[c] = P(0, c) + P(1, c) - P(2, c) - P(3, c);
        b[c] = P(0, c) + P(3, c) - P(1, c) - P(2, c);
    }
    float n[3] = {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
    const float la = std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]);
    const float ln = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);

    for (int k = 0; k < 13; ++k) PROP[k] = 0.0f;
    for (int k = 0; k < 4; ++k) XI[k] = ETA[k] = SIDE[k] = 0.0f;
    for (int c = 0; c < 3; ++c) XC[c] = m[c];

    // A panel without axes (collapsed to a line or a point, or with
    // non-finite vertices) has no area: it is rejected here with finite
    // tables instead of dividing by zero.
    if (!(la > 0.0f) || !(ln > 0.0f) || !std::isfinite(la) || !std::isfinite(ln)) {
        for (int k = 0; k < 9; ++k) AX[k] = k % 4 == 0 ? 1.0f : 0.0f;
        if (!std::isfinite(m[0] + m[1] + m[2]))
            for (int c = 0; c < 3; ++c) XC[c] = 0.0f;
        DIAM[0] = 1.0f;
        DIAM[1] = 0.0f;
        ERRMSG(" Error: panel area is less than 1.E-10 for panel I=", I);
        IERR = 1;
        return;
    }
    float e1[3], e3[3], e2[3];
    for (int c = 0; c < 3; ++c) {
        e1[c] = a[c] / la;
        e3[c] = n[c] / ln;
    }
    e2[0] = e3[1] * e1[2] - e3[2] * e1[1];
    e2[1] = e3[2] * e1[0] - e3[0] * e1[2];
    e2[2] = e3[0] * e1[1] - e3[1] * e1[0];
    for (int c = 0; c < 3; ++c) {
        AX[c * 3 + 0] = e1[c];
        AX[c * 3 + 1] = e2[c];
        AX[c * 3 + 2] = e3[c];
    }

    // Local coordinates about the vertex mean.
    float xl[4], yl[4];
    for (int k = 0; k < 4; ++k) {
        float d[3];
        for (int c = 0; c < 3; ++c) d[c] = P(k, c) - m[c];
        xl[k] = d[0] * e1[0] + d[1] * e1[1] + d[2] * e1[2];
        yl[k] = d[0] * e2[0] + d[1] * e2[1] + d[2] * e2[2];
    }

    // Bilinear map: vertex 1 at (u,v) = (1,1), 2 at (-1,1), 3 at (-1,-1),
    // 4 at (1,-1); area element J(u,v) = D + c1 u + c2 v.
    const float a1x = 0.5f * (xl[0] + xl[3]), a1y = 0.5f * (yl[0] + yl[3]);
    const float a2x = 0.5f * (xl[0] + xl[1]), a2y = 0.5f * (yl[0] + yl[1]);
    const float a3x = 0.5f * (xl[0] + xl[2]), a3y = 0.5f * (yl[0] + yl[2]);
    const float D = a2x * a1y - a1x * a2y;
    const float c1 = a3x * a1y - a1x * a3y;
    const float c2 = a2x * a3y - a3x * a2y;
    float xic = 0.0f, etac = 0.0f;
    if (D > 0.0f) {
        xic = (c1 * a1x + c2 * a2x) * 0.3333333f / D;
        etac = (c1 * a1y + c2 * a2y) * 0.3333333f / D;
    }
    if (!std::isfinite(xic) || !std::isfinite(etac)) xic = etac = 0.0f;
    for (int c = 0; c < 3; ++c) XC[c] = m[c] + xic * e1[c] + etac * e2[c];
    IERR = 0;

    for (int k = 0; k < 4; ++k) {
        XI[k] = xl[k] - xic;
        ETA[k] = yl[k] - etac;
    }

    if (IQUAD == 1) {
        constexpr float g = 0.5773503f;
        static constexpr float U[4] = {g, -g, -g, g}, V[4] = {g, g, -g, -g};
        for (int k = 0; k < 4; ++k) {
            const float px = a1x * U[k] + a2x * V[k] + a3x * U[k] * V[k];
            const float py = a1y * U[k] + a2y * V[k] + a3y * U[k] * V[k];
            for (int c = 0; c < 3; ++c) XG[c * 4 + k] = XC[c] + (px - xic) * e1[c] + (py - etac) * e2[c];
            WG[k] = D + c1 * U[k] + c2 * V[k];
        }
    }

    // Area and moments about the centroid by integration along the sides.
    static constexpr int MA[13] = {0, 2, 1, 0, 3, 2, 1, 0, 4, 3, 2, 1, 0};
    static constexpr int MB[13] = {0, 0, 1, 2, 0, 1, 2, 3, 0, 1, 2, 3, 4};
    float dxs[4], dys[4];
    for (int k = 0; k < 4; ++k) {
        const int e = NEXT[k];
        const float dxi = XI[e] - XI[k], deta = ETA[e] - ETA[k];
        dxs[k] = dxi;
        dys[k] = deta;
        PROP[0] += 0.5f * (ETA[e] + ETA[k]) * dxi;
        const float l2 = dxi * dxi + deta * deta;
        if (l2 >= 1.0E-12f) {
            SIDE[k] = std::sqrt(l2);
            for (int j = 1; j < 13; ++j) PROP[j] += side_moment(XI[k], ETA[k], XI[e], ETA[e], MA[j], MB[j]);
        } else {
            SIDE[k] = 0.0f;
        }
    }
    static constexpr float SCALE[13] = {1.0f, 1.5f, 3.0f, 1.5f, 1.5f, 1.5f, 1.5f, 1.5f, 3.75f, 7.5f, 3.75f, 7.5f, 3.75f};
    for (int j = 1; j < 13; ++j) PROP[j] *= SCALE[j];

    if (!(PROP[0] >= 1.0E-10f)) {
        ERRMSG(" Error: panel area is less than 1.E-10 for panel I=", I);
        IERR = 1;
    }

    int nrev = 0;
    for (int k = 0; k < 4; ++k) {
        const int e = NEXT[k];
        if (dxs[k] * dys[e] - dys[k] * dxs[e] > 0.0f && SIDE[k] > 0.0f && SIDE[e] > 0.0f) ++nrev;
    }
    if (nrev == 1) {
        ERRMSG(" Warning: panel side is convex, panel I=", I);
    } else if (nrev == 2) {
        ERRMSG(" Error: two sides intersect on panel I=", I);
        IERR = 1;
    }

    if (IDIAG < 1) {
        DIAM[0] = 1.0f;
        DIAM[1] = PROP[0];
    } else {
        float d2 = 0.0f;
        for (int k = 0; k < 3; ++k)
            for (int l = k + 1; l < 4; ++l) {
                const float dx = XI[k] - XI[l], dy = ETA[k] - ETA[l];
                d2 = std::max(d2, dx * dx + dy * dy);
            }
        DIAM[0] = d2 > 0.0f ? PROP[0] / std::sqrt(d2) : 0.0f;
        DIAM[1] = d2;
    }
}

}  // namespace zorva
