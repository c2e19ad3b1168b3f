// Infinite-depth wave Green function: the three region kernels.
//
// The regular wave part Gw(R, d) = 2 PV Int e^(-kd) J0(kR)/(k-1) dk is taken from
// piecewise polynomial fits (tables WGTABS, WGTABL) in a depth variable t and a
// second variable s, with the logarithmic singularity and the propagating wave
// split off analytically.  Depth derivatives follow from the free-surface
// condition dGw/dd = -Gw - 2/r1; z and zeta enter only through d, so the zeta
// slots repeat the z slots.  Pieces that depend only on d or only on R are
// kept from the previous pair while that argument moves by no more than 1e-7.
#include "kernels/wavegreen_inf.hpp"

#include <algorithm>
#include <cmath>

namespace zorva {

namespace {

constexpr float PIF = 3.1415927f;

// Polynomial Bessel functions for R <= 3 in y = (R/3)^2, lowest power first:
// A ~ 2 J0, B/x ~ 2 J1/x, C ~ pi Y0 - 2 J0 ln R, D/x ~ dC/dR / x (x = R/3).
constexpr float CA[6] = {1.9999998f, -4.4999847f, 2.5310714f, -0.6320438f, 0.08748448f, -0.0066312575f};
constexpr float CB[6] = {2.9999998f, -3.3749917f, 1.265558f, -0.23707318f, 0.026305571f, -0.001680552f};
constexpr float CC[6] = {-0.2318625f, 5.021653f, -4.089872f, 1.2315611f, -0.19187479f, 0.015697394f};
constexpr float CD[6] = {3.3477938f, -5.4537463f, 2.466858f, -0.5212723f, 0.062998235f, -0.0042694374f};

// Hankel amplitude factors for R > 3 in w = (3/R)^2 (times 2 sqrt(2 pi)).
constexpr float CP0[6] = {5.0132565f, -0.039153676f, 0.0067696786f, -0.0029558353f, 0.00135059f, -0.00032640286f};
constexpr float CQ0[6] = {-0.20888472f, 0.013567826f, -0.004374416f, 0.0024296276f, -0.0011654174f, 0.0002763531f};
constexpr float CP1[6] = {5.0132565f, 0.06526271f, -0.008730216f, 0.0035469043f, -0.0015812477f, 0.0003785081f};
constexpr float CQ1[6] = {0.62665594f, -0.01900355f, 0.005377063f, -0.0028578106f, 0.0013487425f, -0.000317638f};

inline float poly6(const float* c, float x) {
    return c[0] + x * (c[1] + x * (c[2] + x * (c[3] + x * (c[4] + x * c[5]))));
}

// Depth interval k (1..8) and local variable t of the depth sum d >= 0.
// The depth sum of a pair is not negative when both points lie in the
// fluid; a point above its free surface (possible only from broken input)
// is taken at the surface rather than indexing outside the tables.
inline float depth_sum(float d) { return d > 0.0f ? d : 0.0f; }

inline void depth_interval(float d, int& k, float& t) {
    if (d < 4.0f) {
        int n = std::min(static_cast<int>(d), 3);
        t = d - static_cast<float>(n);
        k = n + 1;
    } else {
        float v = 16.0f / d;
        int n = std::min(static_cast<int>(v), 3);
        t = v - static_cast<float>(n);
        k = 8 - n;
    }
}

// The seven polynomials in t of one table row: P[0] is the constant term in
// the second variable s (degree 5 in t), P[6] the coefficient of s^6.
inline void row_polys(const float* c, float t, float* P) {
    P[0] = c[0] + t * (c[1] + t * (c[2] + t * (c[3] + t * (c[4] + t * c[5]))));
    P[1] = c[6] + t * (c[7] + t * (c[8] + t * (c[9] + t * (c[10] + t * c[11]))));
    P[2] = c[12] + t * (c[13] + t * (c[14] + t * (c[15] + t * c[16])));
    P[3] = c[17] + t * (c[18] + t * (c[19] + t * (c[20] + t * c[21])));
    P[4] = c[22] + t * (c[23] + t * (c[24] + t * c[25]));
    P[5] = c[26] + t * (c[27] + t * c[28]);
    P[6] = c[29] + t * c[30];
}

// S = sum P[p] s^p and dS/ds.
inline void row_fit(const float* P, float s, float& S, float& Ss) {
    S = P[0] + s * (P[1] + s * (P[2] + s * (P[3] + s * (P[4] + s * (P[5] + s * P[6])))));
    Ss = P[1] + s * (2.0f * P[2] + s * (3.0f * P[3] + s * (4.0f * P[4] + s * (5.0f * P[5] + s * 6.0f * P[6]))));
}

// The 8 slots of one pair from the value and its R- and d-derivatives (real)
// and from I0 = -2 pi e^(-d) J0(R), I1 = 2 pi e^(-d) J1(R) (imaginary).
inline void store(cplx* g, float gw, float gr, float gd, float grd, float gdd, float i0, float i1) {
    g[0] = cplx(gw, i0);
    g[1] = cplx(gr, i1);
    g[2] = cplx(gd, -i0);
    g[3] = cplx(grd, -i1);
    g[4] = cplx(gdd, i0);
    g[5] = cplx(gdd, i0);
    g[6] = cplx(gd, -i0);
    g[7] = cplx(grd, -i1);
}

}  // namespace

void WGRK09(const float* R, const float& A2, const float* Z, const float* ZETA, cplx* G, const int* ISING,
            const int* LIST, const int& NLIST, const float* WGTAB) {
    float dprev = 0.0f, xprev = 0.0f, e = 0.0f, t = 0.0f, y = 0.0f;
    float P[7] = {};
    float A = 0.0f, B = 0.0f, C = 0.0f, D = 0.0f;
    int k = 1;
    bool cdok = false;  // C and D belong to the current R
    for (int l = 0; l < NLIST; ++l) {
        const int i = LIST[l] - 1;
        const float r = R[i];
        const float d = depth_sum(Z[i] + A2 + ZETA[i]);
        const float r1 = std::sqrt(d * d + r * r);
        if (l == 0 || std::fabs(d - dprev) > 1.0e-7f) {
            depth_interval(d, k, t);
            row_polys(WGTAB + 31 * (k - 1), t, P);
            e = std::exp(-std::min(d, 30.0f));
            dprev = d;
        }
        const float x = r / 3.0f;
        if (l == 0 || std::fabs(x - xprev) > 1.0e-7f) {
            y = x * x;
            A = poly6(CA, y);
            B = x * poly6(CB, y);
            cdok = false;
            xprev = x;
        }
        if (k <= 4 && !cdok) {
            C = poly6(CC, y);
            D = x * poly6(CD, y);
            cdok = true;
        }
        const float rr1 = r1 <= 1.0e-8f ? 0.0f : 1.0f / r1;
        float S, Ss;
        row_fit(P, y, S, Ss);
        const float SR = Ss * (0.22222222f * r);
        float gw, gr;
        if (k <= 4) {
            const float L = std::log(d + r1);
            gw = e * (r1 * S - C - A * L);
            gr = e * (B * L + (r * rr1) * (S - A / (d + r1)) + r1 * SR - D);
        } else {
            gw = S;
            gr = SR;
        }
        const float rr3 = rr1 * rr1 * rr1;
        float gd = -gw - 2.0f * rr1;
        float grd = 2.0f * r * rr3 - gr;
        float gdd = 2.0f * d * rr3 - gd;
        if (ISING[i] < 2) {
            const float rr5 = rr3 * rr1 * rr1;
            gw += rr1;
            gr -= r * rr3;
            gd -= d * rr3;
            grd += 3.0f * r * d * rr5;
            gdd += 3.0f * d * d * rr5 - rr3;
        }
        store(G + 8 * i, gw, gr, gd, grd, gdd, -PIF * A * e, PIF * B * e);
    }
}

void WGRK10(const float* R, const float& A2, const float* Z, const float* ZETA, cplx* G, const int* ISING,
            const int* LIST, const int& NLIST, const float* WGTAB) {
    float dprev = 0.0f, rinvprev = 0.0f, e = 0.0f, t = 0.0f, u = 0.0f, dudr = 0.0f;
    float P[7] = {};
    float P0 = 0.0f, Q0 = 0.0f, P1 = 0.0f, Q1 = 0.0f, cs = 0.0f, sn = 0.0f;
    int k = 1, m = 0, jprev = 0;
    for (int l = 0; l < NLIST; ++l) {
        const int i = LIST[l] - 1;
        const float r = R[i];
        const float d = depth_sum(Z[i] + A2 + ZETA[i]);
        const float r1s = d * d + r * r;
        const float r1 = std::sqrt(r1s);
        bool newrow = l == 0;
        if (l == 0 || std::fabs(d - dprev) > 1.0e-7f) {
            depth_interval(d, k, t);
            e = std::exp(-std::min(d, 30.0f));
            dprev = d;
            newrow = true;
        }
        const float rinv = 1.0f / r;
        if (l == 0 || std::fabs(rinv - rinvprev) > 1.0e-7f) {
            const float v = 15.0f / r;  // exact at the steps R = 3.75, 5, 7.5, 15
            m = std::min(static_cast<int>(v), 4);
            u = v - static_cast<float>(m);
            dudr = -15.0f * rinv * rinv;
            const float x = 3.0f * rinv, w = x * x;
            P0 = poly6(CP0, w);
            Q0 = x * poly6(CQ0, w);
            P1 = poly6(CP1, w);
            Q1 = x * poly6(CQ1, w);
            // cos and sin of R - pi/4 from those of R itself: forming R - pi/4
            // first would lose the phase to rounding at large R
            const float c = std::cos(r), s = std::sin(r);
            const float sq = 0.70710678f / std::sqrt(r);
            cs = (c + s) * sq;
            sn = (s - c) * sq;
            rinvprev = rinv;
        }
        const int j = 5 * k - m;
        if (newrow || j != jprev) {
            row_polys(WGTAB + 31 * (j - 1), t, P);
            jprev = j;
        }
        float S, Ss;
        row_fit(P, u, S, Ss);
        float gw = S - e * (P0 * sn + Q0 * cs);
        float gr = Ss * dudr + e * (Q1 * sn - P1 * cs);
        const float i0 = e * (Q0 * sn - P0 * cs);
        const float i1 = e * (Q1 * cs + P1 * sn);
        const float rr2 = 1.0f / r1s;
        const float rr1 = 1.0f / r1;
        if (k >= 5) {
            const float q = 6.0f * d * d * rr2;
            const float E = 2.0f * d - 2.0f + q;
            const float F = (E * rr2 + 2.0f) * rr1;
            gw -= F;
            gr += (r * rr2) * (F + 2.0f * (E + q) * rr1 * rr2);
        }
        const float rr3 = rr1 * rr2;
        float gd = -gw - 2.0f * rr1;
        float grd = 2.0f * r * rr3 - gr;
        float gdd = 2.0f * d * rr3 - gd;
        if (ISING[i] < 2) {
            const float rr5 = rr3 * rr2;
            gw += rr1;
            gr -= r * rr3;
            gd -= d * rr3;
            grd += 3.0f * r * d * rr5;
            gdd += 3.0f * d * d * rr5 - rr3;
        }
        store(G + 8 * i, gw, gr, gd, grd, gdd, i0, i1);
    }
}

void WGRK11(const float* R, const float& A2, const float* Z, const float* ZETA, cplx* G, const int* LIST,
            const int& NLIST, const float* WGTAB) {
    float dprev = 0.0f, xprev = 0.0f, e = 0.0f, E1 = 0.0f, t = 0.0f, y = 0.0f;
    float P[7] = {};
    float A = 0.0f, A0 = 0.0f, B = 0.0f, C = 0.0f, D = 0.0f;
    int k = 1;
    for (int l = 0; l < NLIST; ++l) {
        const int i = LIST[l] - 1;
        const float r = R[i];
        const float d = depth_sum(Z[i] + A2 + ZETA[i]);
        const float r1 = std::sqrt(d * d + r * r);
        if (l == 0 || std::fabs(d - dprev) > 1.0e-7f) {
            depth_interval(d, k, t);
            row_polys(WGTAB + 31 * (k - 1), t, P);
            // e^(-d) and 1 - e^(-d), each without cancellation (neither is
            // taken from the other: 1 - E1 would lose e^(-d) as d nears 4)
            e = std::exp(-d);
            E1 = -std::expm1(-d);
            dprev = d;
        }
        const float x = r / 3.0f;
        if (l == 0 || std::fabs(x - xprev) > 1.0e-7f) {
            y = x * x;
            A = poly6(CA, y);
            A0 = A - 1.9999998f;
            B = x * poly6(CB, y);
            C = poly6(CC, y);
            D = x * poly6(CD, y);
            xprev = x;
        }
        const float i0 = -PIF * A * e, i1 = PIF * B * e;
        cplx* g = G + 8 * i;
        if (r1 <= 1.0e-8f) {
            store(g, -C, 0.0f, C, 0.0f, -C, i0, i1);
            continue;
        }
        float S, Ss;
        row_fit(P, y, S, Ss);
        const float SR = Ss * (0.22222222f * r);
        const float rr1 = 1.0f / r1;
        const float L = std::log(r1 + d);
        const float W = A * E1 - A0;
        const float V = (r * rr1) / (r1 + d);
        const float q = e * (r1 * S - C);
        const float qr = e * (B * L + S * r * rr1 + r1 * SR - D);
        const float gw = W * L + q;
        const float gr = W * V + qr;
        // 2L - G and 2V - GR, with 2 - W = A e + (2 - 1.9999998) taken out so
        // that nothing of size L cancels
        const float w2 = A * e + (2.0f - 1.9999998f);
        const float gd = w2 * L - q;
        const float grd = w2 * V - qr;
        const float gdd = 2.0f * rr1 - gd;
        store(g, gw, gr, gd, grd, gdd, i0, i1);
    }
}

}  // namespace zorva
