// Double-precision reference for the finite-depth wave Green function.
//
// Used by the coefficient generator (tools/gen_hgrnfit.cpp) and, for a few
// points, by the tests.  Everything is in depth-scaled units: with x = nu*h
// (nu = omega^2/g, h the depth), the horizontal distance R' = R/h and the
// vertical coordinates v' = v/h, w = d/h.
//
// Near field.  With F(R, v) the regular part that, in nu-scaled units,
// completes G = 1/r + 1/r2 + F(R, z - zeta) + F(R, 2h - z - zeta):
//   x * F = Phi(R', v') = PV int_0^inf a(q) cosh(q v') J0(q R') dq,
//   a(q) = (q + x) e^-q / (q sinh q - x cosh q),
// whose only real pole is the propagating root q = y (y tanh y = x).
//
// The smooth remainder of the bottom-image part when the depth sum is small,
//   H = F(R, 2h - d) - 1/r1 - Gw_inf(R, d),
// with Gw_inf = 2 PV int e^(-kd) J0(kR)/(k - 1) dk the infinite-depth wave
// part, is x * H = Psi(R', w) = PV int_0^inf b(q) J0(q R') dq with
//   b(q) = (q + x) [e^(-q(2+w)) (q + x) + e^(-q(4-w)) (q - x)] / (D(q) (q - x)),
//   D(q) = (q - x) - e^(-2q) (q + x),
// which has poles at q = y and q = x and decays like e^(-2q).
//
// Principal values: every real pole p below the cut-off L is subtracted as
// res/(q - p), the subtracted integrand (analytic) is integrated by 20-point
// Gauss-Legendre panels that have the poles as breakpoints and are graded
// geometrically towards q = 0, and res * ln((L - p)/p) is added back.
//
// For x < 1 the functions behave as A(x) + ln(y) B(x) with A, B analytic in
// x; B is available in closed form (logcoef_phi, logcoef_psi).
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace zorva::fdref {

// Propagating root y of y tanh y = x (Newton in double, x > 0).
inline double disp_root(double x) {
    double y = x > 1.0 ? x : std::sqrt(x) * (1.0 + 0.169 * x + 0.031 * x * x);
    if (x > 1.0) y = x + 2.0 * x * std::exp(-2.0 * x);
    for (int it = 0; it < 60; ++it) {
        double th = std::tanh(y);
        double f = y * th - x;
        double fp = th + y * (1.0 - th * th);
        double dy = f / fp;
        y -= dy;
        if (std::fabs(dy) <= 1e-16 * y) break;
    }
    return y;
}

// n-th evanescent root m_n = n pi - delta of m tan m = -x, i.e.
// (n pi - delta) tan(delta) = x with delta in (0, pi/2), by bisection on
// delta (monotone there), which keeps full relative accuracy in delta.
inline double evan_root(double x, int n) {
    const double pi = 3.14159265358979323846;
    double lo = 0.0, hi = 0.5 * pi;
    for (int it = 0; it < 2000 && hi - lo > 1e-17 * hi; ++it) {
        double d = 0.5 * (lo + hi);
        if ((n * pi - d) * std::tan(d) < x) lo = d; else hi = d;
    }
    return n * pi - 0.5 * (lo + hi);
}

// Gauss-Legendre nodes and weights on [-1, 1].
template <int N>
struct GaussLegendre {
    std::array<double, N> t{}, w{};
    GaussLegendre() {
        const double pi = 3.14159265358979323846;
        for (int i = 0; i < N; ++i) {
            double z = std::cos(pi * (i + 0.75) / (N + 0.5)), pp = 0;
            for (int it = 0; it < 100; ++it) {
                double p1 = 1, p2 = 0;
                for (int j = 1; j <= N; ++j) {
                    double p3 = p2;
                    p2 = p1;
                    p1 = ((2.0 * j - 1) * z * p2 - (j - 1.0) * p3) / j;
                }
                pp = N * (z * p1 - p2) / (z * z - 1.0);
                double dz = p1 / pp;
                z -= dz;
                if (std::fabs(dz) < 1e-16) break;
            }
            t[i] = z;
            w[i] = 2.0 / ((1 - z * z) * pp * pp);
        }
    }
};

// Quadrature nodes on [0, L] with breakpoints at the given poles, graded
// geometrically towards 0 (from the smallest scale) and panels of at most
// `hmax` elsewhere.
struct Rule {
    std::vector<double> q, w;
};

inline Rule make_rule(double L, const std::vector<double>& poles, double hmax = 0.5) {
    static const GaussLegendre<20> gl;
    std::vector<double> b{0.0, L};
    double small = 1.0;
    for (double p : poles)
        if (p > 0 && p < L) {
            b.push_back(p);
            small = std::min(small, p);
        }
    for (double s = small / 16.0; s < 1.0; s *= 2.0) b.push_back(s);
    // Geometric grading on both sides of each pole as well (the other
    // singularities of the subtracted integrand lie at distance ~ p).
    for (double p : poles)
        if (p > 0 && p < L)
            for (double s = p / 2.0; s > small / 32.0; s /= 2.0) {
                b.push_back(p - s);
                if (p + s < L) b.push_back(p + s);
            }
    for (double s = 1.0; s < L; s += hmax) b.push_back(s);
    // Other breakpoints too close to a pole are dropped (a sliver panel
    // beside a pole puts nodes where q - p is lost to rounding).
    std::vector<double> keep;
    for (double v : b) {
        bool ispole = false, near = false;
        for (double p : poles) {
            if (v == p) ispole = true;
            else if (std::fabs(v - p) < small / 64.0) near = true;
        }
        if (ispole || !near) keep.push_back(v);
    }
    std::sort(keep.begin(), keep.end());
    std::vector<double> u;
    for (double v : keep)
        if (u.empty() || v - u.back() > 1e-13 * std::max(1.0, v)) u.push_back(v);
    Rule r;
    for (size_t i = 0; i + 1 < u.size(); ++i) {
        double a = u[i], c = u[i + 1], hm = 0.5 * (c - a), md = 0.5 * (c + a);
        for (int k = 0; k < 20; ++k) {
            r.q.push_back(md + hm * gl.t[k]);
            r.w.push_back(hm * gl.w[k]);
        }
    }
    return r;
}

// ---------------------------------------------------------------------------
// Phi and its derivatives at one point.  Returns {Phi, Phi_R, Phi_v, Phi_Rv,
// Phi_vv} (derivatives with respect to R' and v').
struct PhiVals {
    double f, fr, fv, frv, fvv;
};

inline PhiVals phi(double x, double Rp, double vp) {
    const double y = disp_root(x);
    const double L = std::min(60.0 / (2.0 - std::fabs(vp)), 3000.0);
    // a(q) = 2 (q + x) e^-2q / D(q) with D(q) = (q - x) - e^-2q (q + x); the
    // factor e^-2q is carried by the vertical functions below (no overflow).
    auto a = [x](double q) { return 2.0 * (q + x) / ((q - x) - std::exp(-2.0 * q) * (q + x)); };
    const bool pole = y < L;
    double res = 0;
    if (pole) res = 2.0 * (y + x) / (1.0 + std::exp(-2.0 * y) * (2.0 * (y + x) - 1.0));
    Rule r = make_rule(L, pole ? std::vector<double>{y} : std::vector<double>{});
    auto m = [Rp, vp](double q, double out[5]) {
        double j0 = std::cyl_bessel_j(0.0, q * Rp), j1 = std::cyl_bessel_j(1.0, q * Rp);
        double ep = std::exp(-q * (2.0 - vp)), em = std::exp(-q * (2.0 + vp));
        double ch = 0.5 * (ep + em), sh = 0.5 * (ep - em);  // e^-2q cosh, e^-2q sinh
        out[0] = ch * j0;
        out[1] = -q * ch * j1;
        out[2] = q * sh * j0;
        out[3] = -q * q * sh * j1;
        out[4] = q * q * ch * j0;
    };
    double my[5] = {0, 0, 0, 0, 0};
    if (pole) m(y, my);
    double s[5] = {0, 0, 0, 0, 0};
    for (size_t i = 0; i < r.q.size(); ++i) {
        double q = r.q[i], mq[5];
        m(q, mq);
        double aq = a(q);
        double sub = pole ? res / (q - y) : 0.0;
        for (int k = 0; k < 5; ++k) s[k] += r.w[i] * (aq * mq[k] - sub * my[k]);
    }
    if (pole) {
        double lg = std::log((L - y) / y);
        for (int k = 0; k < 5; ++k) s[k] += res * my[k] * lg;
    }
    return {s[0], s[1], s[2], s[3], s[4]};
}

// Coefficient of ln(y) in Phi (x small): -[(y+x)e^-y + (y-x)e^y] cosh(y v') J0(y R') / D'(y).
inline double logcoef_phi(double x, double Rp, double vp) {
    double y = disp_root(x);
    double dp = std::sinh(y) + y * std::cosh(y) - x * std::sinh(y);
    return -((y + x) * std::exp(-y) + (y - x) * std::exp(y)) * std::cosh(y * vp) *
           std::cyl_bessel_j(0.0, y * Rp) / dp;
}

// ---------------------------------------------------------------------------
// Psi and its derivatives: {Psi, Psi_R, Psi_w, Psi_Rw, Psi_ww}.
inline PhiVals psi(double x, double Rp, double w) {
    const double y = disp_root(x);
    const double L = 40.0;
    const double dyx = 2.0 * y * std::exp(-2.0 * y) / (1.0 + std::exp(-2.0 * y));  // y - x
    // Numerator parts of b for the m-th w-derivative: (-q)^m and (+q)^m.
    auto num = [x, w](double q, int mth) {
        double a1 = std::exp(-q * (2.0 + w)) * (q + x), a2 = std::exp(-q * (4.0 - w)) * (q - x);
        double f1 = mth == 0 ? 1.0 : (mth == 1 ? -q : q * q);
        double f2 = mth == 0 ? 1.0 : (mth == 1 ? q : q * q);
        return (q + x) * (f1 * a1 + f2 * a2);
    };
    auto D = [x](double q) { return (q - x) - std::exp(-2.0 * q) * (q + x); };
    auto Dp = [x](double q) { return 1.0 + std::exp(-2.0 * q) * (2.0 * (q + x) - 1.0); };
    const bool poles = x < 22.0;
    // Two close poles share one breakpoint: nodes between them would lose
    // the differences q - x, q - y to rounding.
    Rule r = make_rule(L, poles ? (dyx > 1e-3 ? std::vector<double>{x, y}
                                              : std::vector<double>{0.5 * (x + y)})
                                : std::vector<double>{x});
    double s[5] = {0, 0, 0, 0, 0};
    double resx[3] = {0, 0, 0}, resy[3] = {0, 0, 0};
    if (poles)
        for (int mth = 0; mth < 3; ++mth) {
            resx[mth] = num(x, mth) / D(x);
            resy[mth] = num(y, mth) / (Dp(y) * dyx);
        }
    double j0x = std::cyl_bessel_j(0.0, x * Rp), j1x = std::cyl_bessel_j(1.0, x * Rp);
    double j0y = std::cyl_bessel_j(0.0, y * Rp), j1y = std::cyl_bessel_j(1.0, y * Rp);
    for (size_t i = 0; i < r.q.size(); ++i) {
        double q = r.q[i];
        double j0 = std::cyl_bessel_j(0.0, q * Rp), j1 = std::cyl_bessel_j(1.0, q * Rp);
        double den = D(q) * (q - x);
        for (int mth = 0; mth < 3; ++mth) {
            double b = num(q, mth) / den;
            double sx = poles ? resx[mth] / (q - x) : 0.0, sy = poles ? resy[mth] / ((q - x) - dyx) : 0.0;
            // value-type: J0; R-derivative: -q J1
            double v0 = b * j0 - sx * j0x - sy * j0y;
            double v1 = -(b * q * j1 - sx * x * j1x - sy * y * j1y);
            if (mth == 0) {
                s[0] += r.w[i] * v0;
                s[1] += r.w[i] * v1;
            } else if (mth == 1) {
                s[2] += r.w[i] * v0;
                s[3] += r.w[i] * v1;
            } else {
                s[4] += r.w[i] * v0;
            }
        }
    }
    if (poles) {
        double lx = std::log((L - x) / x), ly = std::log((L - y) / y);
        s[0] += resx[0] * j0x * lx + resy[0] * j0y * ly;
        s[1] += -(resx[0] * x * j1x * lx + resy[0] * y * j1y * ly);
        s[2] += resx[1] * j0x * lx + resy[1] * j0y * ly;
        s[3] += -(resx[1] * x * j1x * lx + resy[1] * y * j1y * ly);
        s[4] += resx[2] * j0x * lx + resy[2] * j0y * ly;
    }
    return {s[0], s[1], s[2], s[3], s[4]};
}

// Coefficient of ln(y) in Psi (x small): -(res_y + res_-y) - 2 res_x.
inline double logcoef_psi(double x, double Rp, double w) {
    double y = disp_root(x);
    auto N = [x, w](double q) {
        return (q + x) * (std::exp(-q * (2.0 + w)) * (q + x) + std::exp(-q * (4.0 - w)) * (q - x));
    };
    auto Dp = [x](double q) { return 1.0 + std::exp(-2.0 * q) * (2.0 * (q + x) - 1.0); };
    double dyx = 2.0 * y * std::exp(-2.0 * y) / (1.0 + std::exp(-2.0 * y));
    double j0y = std::cyl_bessel_j(0.0, y * Rp);
    double ry = N(y) * j0y / (Dp(y) * dyx);
    double rmy = N(-y) * j0y / (Dp(-y) * (-y - x));
    double rx = -2.0 * x * std::exp(-x * w) * std::cyl_bessel_j(0.0, x * Rp);
    return -(ry + rmy) - 2.0 * rx;
}

}  // namespace zorva::fdref
