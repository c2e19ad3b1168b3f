// Generator of the coefficient tables WGTABS and WGTABL of the infinite-depth
// wave Green function kernels (kernels/wgtabs.cpp).  Run by hand; its output is
// committed, so a build never runs it.
//
//   g++ -O2 -std=c++20 -I. tools/gen_wgtabs.cpp -o /tmp/gen_wgtabs
//   /tmp/gen_wgtabs > kernels/wgtabs.cpp          (statistics go to stderr)
//
// Each table row holds, for one interval of the local depth variable t in
// [0, 1] and of a second variable s in [0, 1], the 31 coefficients of
//   S(t, s) = P7(t) + P6(t) s + P5(t) s^2 + P4(t) s^3 + P3(t) s^4 + P2(t) s^5 + P1(t) s^6
// with P7, P6 of degree 5, P5, P4 of degree 4, P3 of degree 3, P2 of degree 2
// and P1 of degree 1, lowest power first.  The function S of a row is built
// from the regular wave part Gw (tools/wgref.hpp, long double) as the kernels
// take it apart again: near the source (R <= 3, d < 4) with the exact Bessel
// functions, so that S is smooth where r1 -> 0; for R > 3 with the kernels'
// own single-precision Hankel form of Y0, so that its error cancels.
//
// The fit is a least-squares fit in long double (Householder QR with scaled
// columns) to the values of S and of dS/dR on a tensor grid of Chebyshev
// points, followed by a few Lawson reweighting passes that pull the largest
// errors down towards the minimax fit.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "tools/wgref.hpp"

using T = long double;

namespace {

constexpr int NC = 31;
constexpr int DEG[7] = {5, 5, 4, 4, 3, 2, 1};  // degree in t of the coefficient of s^p

// Single-precision polynomial Bessel functions of the kernels, R <= 3, y = (R/3)^2.
const float AP[6] = {1.9999998f, -4.4999847f, 2.5310714f, -0.6320438f, 0.08748448f, -0.0066312575f};
const float BP[6] = {2.9999998f, -3.3749917f, 1.265558f, -0.23707318f, 0.026305571f, -0.001680552f};
const float CP[6] = {-0.2318625f, 5.021653f, -4.089872f, 1.2315611f, -0.19187479f, 0.015697394f};
const float DP[6] = {3.3477938f, -5.4537463f, 2.466858f, -0.5212723f, 0.062998235f, -0.0042694374f};
// Large-argument amplitude factors, R > 3, w = (3/R)^2.
const float P0P[6] = {5.0132565f, -0.039153676f, 0.0067696786f, -0.0029558353f, 0.00135059f, -0.00032640286f};
const float Q0P[6] = {-0.20888472f, 0.013567826f, -0.004374416f, 0.0024296276f, -0.0011654174f, 0.0002763531f};
const float P1P[6] = {5.0132565f, 0.06526271f, -0.008730216f, 0.0035469043f, -0.0015812477f, 0.0003785081f};
const float Q1P[6] = {0.62665594f, -0.01900355f, 0.005377063f, -0.0028578106f, 0.0013487425f, -0.000317638f};

T poly(const float* c, int n, T x) {
    T s = 0;
    for (int i = n - 1; i >= 0; --i) s = s * x + T(c[i]);
    return s;
}

struct Small {  // A, B, C, D at R
    T A, B, C, D;
};
Small small_bessel(T R) {
    T x = R / 3, y = x * x;
    return {poly(AP, 6, y), x * poly(BP, 6, y), poly(CP, 6, y), x * poly(DP, 6, y)};
}

// The functions that A, B, C, D approximate: 2 J0, 2 J1, pi Y0 - 2 J0 ln R and
// its R-derivative.  S is defined with these, so that it is smooth where r1 -> 0.
Small exact_small(T R) {
    const T pi = boost::math::constants::pi<T>();
    if (R == 0) return {T(2), T(0), 2 * (boost::math::constants::euler<T>() - std::log(T(2))), T(0)};
    T j0 = boost::math::cyl_bessel_j(0, R), j1 = boost::math::cyl_bessel_j(1, R);
    T y0 = boost::math::cyl_neumann(0, R), y1 = boost::math::cyl_neumann(1, R);
    T lr = std::log(R);
    return {2 * j0, 2 * j1, pi * y0 - 2 * j0 * lr, -pi * y1 + 2 * j1 * lr - 2 * j0 / R};
}

// 2 pi Y0 and -2 pi Y0' = -2 pi Y1 ... as the kernel forms them: Y0p = P0 sn + Q0 cs,
// Y1p = Q1 sn - P1 cs (2 pi Y1).
void large_bessel(T R, T& y0p, T& y1p) {
    T x = 3 / R, w = x * x;
    T P0 = poly(P0P, 6, w), Q0 = x * poly(Q0P, 6, w), P1 = poly(P1P, 6, w), Q1 = x * poly(Q1P, 6, w);
    T th = R - T(0.7853982f);
    T cs = std::cos(th) / std::sqrt(R), sn = std::sin(th) / std::sqrt(R);
    y0p = P0 * sn + Q0 * cs;
    y1p = Q1 * sn - P1 * cs;
}

// Depth of interval k (1..8) at local variable t.
T depth_of(int k, T t) {
    if (k <= 4) return T(k - 1) + t;
    return T(16) / (T(8 - k) + t);
}

// Target S and dS/dR of a WGTABS row (k) at (t, s), s = (R/3)^2.
void target_s(int k, T t, T s, T& S, T& SR) {
    T d = depth_of(k, t), R = 3 * std::sqrt(s);
    if (k >= 5) {
        S = wgref::gw(R, d);
        SR = wgref::gwr(R, d);
        return;
    }
    T r1 = std::sqrt(R * R + d * d), L = std::log(d + r1);
    Small b = exact_small(R);
    T egw = R > 0 ? wgref::gw_scaled(R, d) : -2 * boost::math::expint(d);
    S = (egw + b.C + b.A * L) / r1;
    T egr = std::exp(d) * wgref::gwr(R, d);
    // kernel: GR = e (B L + (R/r1)(S - A/(d + r1)) + r1 SR - D)
    SR = (egr - b.B * L - (R / r1) * (S - b.A / (d + r1)) + b.D) / r1;
}

// Target S and dS/dR of a WGTABL row (depth interval k, R-interval m) at (t, u).
void target_l(int k, int m, T t, T u, T& S, T& SR) {
    T d = depth_of(k, t), R = 15 / (T(m) + u);
    T e = std::exp(-(d < 30 ? d : T(30)));
    T y0p, y1p;
    large_bessel(R, y0p, y1p);
    T y0 = boost::math::cyl_neumann(0, R);
    const T pi = boost::math::constants::pi<T>();
    // Gw = smooth - 2 pi e^(-d) Y0 (exact e^(-d) there)
    S = wgref::gw_smooth(R, d) - 2 * pi * std::exp(-d) * y0 + e * y0p;
    // kernel: GR = SR + e (Q1 sn - P1 cs) [+ (R/r1^2)(F + 2(E + 6d^2/r1^2)/r1^3)]
    SR = wgref::gwr(R, d) - e * y1p;
    if (k >= 5) {
        T r1s = R * R + d * d, r1 = std::sqrt(r1s);
        T E = 2 * d - 2 + 6 * d * d / r1s;
        T F = (E / r1s + 2) / r1;
        S += F;
        SR -= (R / r1s) * (F + 2 * (E + 6 * d * d / r1s) / (r1 * r1s));
    }
}

// Basis values: phi[c] for coefficient c and its s-derivative dphi[c].
void basis(T t, T s, T* phi, T* dphi) {
    int c = 0;
    for (int p = 0; p < 7; ++p) {
        T sp = std::pow(s, T(p)), dsp = p > 0 ? T(p) * std::pow(s, T(p - 1)) : T(0);
        for (int q = 0; q <= DEG[p]; ++q, ++c) {
            T tq = std::pow(t, T(q));
            phi[c] = tq * sp;
            dphi[c] = tq * dsp;
        }
    }
}

// Single-precision evaluation as the kernels do it.
void eval_row(const float* c, float t, float s, float& S, float& Ss) {
    float P[7], dummy;
    (void)dummy;
    int off = 0;
    for (int p = 0; p < 7; ++p) {
        float v = 0.0f;
        for (int q = DEG[p]; q >= 0; --q) v = v * t + c[off + q];
        P[p] = v;
        off += DEG[p] + 1;
    }
    S = P[6];
    Ss = 0.0f;
    for (int p = 5; p >= 0; --p) {
        Ss = Ss * s + S;
        S = S * s + P[p];
    }
    // Ss above is the derivative by Horner's scheme of the value polynomial
}

// Weighted least squares by Householder QR: minimise |W (M c - f)|.
std::vector<T> lsq(std::vector<std::vector<T>> M, std::vector<T> f) {
    const int m = static_cast<int>(M.size()), n = NC;
    std::vector<T> scale(n, 0);
    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < m; ++i) scale[j] += M[i][j] * M[i][j];
        scale[j] = scale[j] > 0 ? 1 / std::sqrt(scale[j]) : 1;
        for (int i = 0; i < m; ++i) M[i][j] *= scale[j];
    }
    for (int j = 0; j < n; ++j) {
        T nrm = 0;
        for (int i = j; i < m; ++i) nrm += M[i][j] * M[i][j];
        nrm = std::sqrt(nrm);
        if (nrm == 0) continue;
        T alpha = M[j][j] > 0 ? -nrm : nrm;
        std::vector<T> v(m, 0);
        for (int i = j; i < m; ++i) v[i] = M[i][j];
        v[j] -= alpha;
        T vv = 0;
        for (int i = j; i < m; ++i) vv += v[i] * v[i];
        for (int k = j; k < n; ++k) {
            T dot = 0;
            for (int i = j; i < m; ++i) dot += v[i] * M[i][k];
            dot = 2 * dot / vv;
            for (int i = j; i < m; ++i) M[i][k] -= dot * v[i];
        }
        T dot = 0;
        for (int i = j; i < m; ++i) dot += v[i] * f[i];
        dot = 2 * dot / vv;
        for (int i = j; i < m; ++i) f[i] -= dot * v[i];
    }
    std::vector<T> c(n, 0);
    for (int j = n - 1; j >= 0; --j) {
        T s = f[j];
        for (int k = j + 1; k < n; ++k) s -= M[j][k] * c[k];
        c[j] = M[j][j] != 0 ? s / M[j][j] : 0;
    }
    for (int j = 0; j < n; ++j) c[j] *= scale[j];
    return c;
}

struct Sample {
    T t, s, dsdR, S, SR;
    T wv, wd;  // weights of the value and derivative residuals
};

// Weights that turn residuals of S and dS/dR into errors of the kernel's Gw
// and dGw/dR relative to the size of the output slots that carry them (the
// depth derivatives -Gw - 2/r1 and 2d/r1^3 - Gd carry the error of Gw,
// 2R/r1^3 - GR that of GR), absolute below 0.1.  fac is the factor by which an
// error of S enters Gw (e^(-d) r1 near the source, else 1).
void set_weights(Sample& p, T R, T d, T fac) {
    T gw = wgref::gw(R, d), gr = wgref::gwr(R, d);
    T r1 = std::sqrt(R * R + d * d), r3 = r1 * r1 * r1;
    T gd = -gw - 2 / r1, gdd = 2 * d / r3 - gd, grd = 2 * R / r3 - gr;
    T sv = std::min({std::fabs(gw), std::fabs(gd), std::fabs(gdd)});
    T sd = std::min(std::fabs(gr), std::fabs(grd));
    p.wv = fac / std::max(sv, T(0.1));
    p.wd = fac / std::max(sd, T(0.1));
}

std::vector<float> fit(const std::vector<Sample>& pts) {
    const int np = static_cast<int>(pts.size());
    std::vector<T> w(2 * np, 1);
    std::vector<T> c;
    const T wder = 1;
    for (int pass = 0; pass < 30; ++pass) {
        std::vector<std::vector<T>> M;
        std::vector<T> f;
        T phi[NC], dphi[NC];
        for (int i = 0; i < np; ++i) {
            const Sample& p = pts[i];
            basis(p.t, p.s, phi, dphi);
            std::vector<T> row(phi, phi + NC);
            for (auto& x : row) x *= w[i] * p.wv;
            M.push_back(row);
            f.push_back(w[i] * p.wv * p.S);
            std::vector<T> drow(NC);
            for (int j = 0; j < NC; ++j) drow[j] = w[np + i] * p.wd * dphi[j] * p.dsdR;
            M.push_back(drow);
            f.push_back(w[np + i] * p.wd * p.SR);
        }
        // rows were pushed interleaved; weights index by sample
        c = lsq(M, f);
        // Lawson update: weights grow where the residual is large
        T tot = 0;
        std::vector<T> r(2 * np);
        for (int i = 0; i < np; ++i) {
            const Sample& p = pts[i];
            basis(p.t, p.s, phi, dphi);
            T v = 0, dv = 0;
            for (int j = 0; j < NC; ++j) v += c[j] * phi[j], dv += c[j] * dphi[j] * p.dsdR;
            r[i] = p.wv * std::fabs(v - p.S);
            r[np + i] = wder * p.wd * std::fabs(dv - p.SR);
        }
        for (int i = 0; i < 2 * np; ++i) tot += w[i] * w[i] * r[i];
        for (int i = 0; i < 2 * np; ++i) w[i] = std::sqrt(w[i] * w[i] * r[i] / tot * T(2 * np));
        for (auto& x : w) x = x < T(1e-3) ? T(1e-3) : x;
    }
    std::vector<float> out(NC);
    for (int j = 0; j < NC; ++j) out[j] = static_cast<float>(c[j]);
    if (std::getenv("WGFIT_DEBUG")) {  // weighted errors before and after rounding
        T e0 = 0, e1 = 0;
        T phi[NC], dphi[NC];
        for (const Sample& p : pts) {
            basis(p.t, p.s, phi, dphi);
            T v = 0, dv = 0, vf = 0, dvf = 0;
            for (int j = 0; j < NC; ++j) {
                v += c[j] * phi[j], dv += c[j] * dphi[j] * p.dsdR;
                vf += T(out[j]) * phi[j], dvf += T(out[j]) * dphi[j] * p.dsdR;
            }
            e0 = std::max({e0, p.wv * std::fabs(v - p.S), p.wd * std::fabs(dv - p.SR)});
            e1 = std::max({e1, p.wv * std::fabs(vf - p.S), p.wd * std::fabs(dvf - p.SR)});
        }
        std::fprintf(stderr, "  fit %.3Le rounded %.3Le\n", e0, e1);
    }
    return out;
}

std::vector<T> cheb(int n) {
    std::vector<T> x(n);
    const T pi = boost::math::constants::pi<T>();
    for (int i = 0; i < n; ++i) x[i] = (1 - std::cos(pi * (2 * i + 1) / (2 * n))) / 2;
    return x;
}

void print_row(const char* name, int row, const std::vector<float>& c, bool last) {
    std::printf("    // %s row %d\n    {", name, row);
    for (int j = 0; j < NC; ++j) {
        std::printf("%s%.9ef", j == 0 ? "" : (j % 4 == 0 ? ",\n     " : ", "), static_cast<double>(c[j]));
    }
    std::printf("}%s\n", last ? "" : ",");
}

}  // namespace

int main() {
    const int NG = 30;
    std::vector<T> tn = cheb(NG), sn = cheb(NG);
    std::vector<std::vector<float>> tabs(8), tabl(40);

    for (int k = 1; k <= 8; ++k) {
        std::vector<Sample> pts;
        for (T t : tn)
            for (T s : sn) {
                Sample p{t, s, 0, 0, 0, 1, 1};
                T R = 3 * std::sqrt(s), d = depth_of(k, t);
                p.dsdR = 2 * R / 9;
                target_s(k, t, s, p.S, p.SR);
                set_weights(p, R, d, k <= 4 ? std::exp(-d) * std::sqrt(R * R + d * d) : T(1));
                pts.push_back(p);
            }
        tabs[k - 1] = fit(pts);
        std::fprintf(stderr, "WGTABS row %d fitted\n", k);
    }
    for (int k = 1; k <= 8; ++k)
        for (int m = 0; m <= 4; ++m) {
            std::vector<Sample> pts;
            for (T t : tn)
                for (T u : sn) {
                    Sample p{t, u, 0, 0, 0, 1, 1};
                    T R = 15 / (T(m) + u);
                    p.dsdR = -15 / (R * R);
                    target_l(k, m, t, u, p.S, p.SR);
                    set_weights(p, R, depth_of(k, t), T(1));
                    pts.push_back(p);
                }
            int j = 5 * k - m;
            tabl[j - 1] = fit(pts);
            std::fprintf(stderr, "WGTABL row %d fitted\n", j);
        }

    // Check on a uniform grid with the edges, in single-precision evaluation.
    const int NCK = 41;
    for (int k = 1; k <= 8; ++k) {
        T emax = 0, edmax = 0, gmax = 0, grmax = 0;
        for (int i = 0; i < NCK; ++i)
            for (int l = 0; l < NCK; ++l) {
                T t = T(i) / (NCK - 1), s = T(l) / (NCK - 1);
                if (k == 1 && i == 0 && l == 0) continue;
                if (k == 8 && i == 0) continue;
                T S, SR;
                target_s(k, t, s, S, SR);
                float fs, fss;
                eval_row(tabs[k - 1].data(), float(t), float(s), fs, fss);
                T R = 3 * std::sqrt(s);
                emax = std::max(emax, std::fabs(T(fs) - S));
                edmax = std::max(edmax, std::fabs(T(fss) * 2 * R / 9 - SR));
                // the wave part as the kernel rebuilds it, with its Bessel polynomials
                T d = depth_of(k, t), gw = wgref::gw(R, d), gr = wgref::gwr(R, d), g = T(fs),
                  gR = T(fss) * 2 * R / 9;
                if (k <= 4) {
                    T r1 = std::sqrt(R * R + d * d), L = std::log(d + r1), e = std::exp(-d);
                    Small b = small_bessel(R);
                    g = e * (r1 * T(fs) - b.C - b.A * L);
                    gR = e * (b.B * L + (R / r1) * (T(fs) - b.A / (d + r1)) + r1 * gR - b.D);
                }
                gmax = std::max(gmax, std::fabs(g - gw) / std::max(std::fabs(gw), T(0.1)));
                grmax = std::max(grmax, std::fabs(gR - gr) / std::max(std::fabs(gr), T(0.1)));
            }
        std::fprintf(stderr, "WGTABS %d: max |dS| %.3Le  max |dSR| %.3Le  Gw %.3Le  GR %.3Le\n", k, emax,
                     edmax, gmax, grmax);
    }
    for (int j = 1; j <= 40; ++j) {
        int k = (j + 4) / 5, m = 5 * k - j;
        T emax = 0, edmax = 0, gmax = 0, grmax = 0;
        for (int i = 0; i < NCK; ++i)
            for (int l = 0; l < NCK; ++l) {
                T t = T(i) / (NCK - 1), u = T(l) / (NCK - 1);
                if ((k == 8 && i == 0) || (m == 0 && l == 0)) continue;
                T S, SR;
                target_l(k, m, t, u, S, SR);
                float fs, fss;
                eval_row(tabl[j - 1].data(), float(t), float(u), fs, fss);
                T R = 15 / (T(m) + u);
                emax = std::max(emax, std::fabs(T(fs) - S));
                edmax = std::max(edmax, std::fabs(-T(fss) * 15 / (R * R) - SR));
                Sample p{};
                set_weights(p, R, depth_of(k, t), T(1));
                gmax = std::max(gmax, p.wv * std::fabs(T(fs) - S));
                grmax = std::max(grmax, p.wd * std::fabs(-T(fss) * 15 / (R * R) - SR));
            }
        std::fprintf(stderr, "WGTABL %d (k %d, m %d): max |dS| %.3Le  max |dSR| %.3Le  Gw %.3Le  GR %.3Le\n", j, k,
                     m, emax, edmax, gmax, grmax);
    }

    std::printf(
        "// Coefficient tables of the infinite-depth wave Green function kernels.\n"
        "// Generated by tools/gen_wgtabs.cpp (least-squares fits to the regular wave\n"
        "// part of the Green function); do not edit by hand.\n"
        "#include \"kernels/wgmod.hpp\"\n\n"
        "namespace zorva::wgmod {\n\n"
        "// Depth intervals k = 1..8, second variable (R/3)^2, R <= 3.\n"
        "const float WGTABS[8][31] = {\n");
    for (int k = 1; k <= 8; ++k) print_row("WGTABS", k, tabs[k - 1], k == 8);
    std::printf("};\n\n// Rows j = 5k - m: depth interval k, R-interval m; second variable 15/R - m.\n"
                "const float WGTABL[40][31] = {\n");
    for (int j = 1; j <= 40; ++j) print_row("WGTABL", j, tabl[j - 1], j == 40);
    std::printf("};\n\n}  // namespace zorva::wgmod\n");
    return 0;
}
