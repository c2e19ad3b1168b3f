// Generator of the finite-depth correction fits (FITA, FITB) read by HGRNFIT1
// and HGRNFIT2.  Run by hand; its output is committed as
// kernels/hgrnfit_data.cpp.
//
// Build and run (from the repository root):
//   g++ -std=c++20 -O2 -fopenmp -I. tools/gen_hgrnfit.cpp -o /tmp/gen_hgrnfit
//   /tmp/gen_hgrnfit kernels/hgrnfit_data.cpp
// It prints the accuracy of the fits against the double-precision reference
// (tools/fdgreen_ref.hpp) at both sides of every interval boundary.
//
// Method, per table:
//  1. Per depth ratio x, the function is sampled on a 24 x 24 tensor grid of
//     Chebyshev nodes in s = (R/h)^2 and in u = (v/h)^2 (FITA) or w = d/h
//     (FITB) and projected onto the products of shifted Chebyshev
//     polynomials of the table's index set (rows of lengths 6..12 or 3..7;
//     the set is downward closed, so the discrete projection is the
//     least-squares fit).
//  2. For x >= 1 each Chebyshev coefficient is sampled at 28 Chebyshev nodes
//     of the interval variable t, fitted by the lowest-degree polynomial in
//     t (at most 11) whose dropped Chebyshev tail is below 7.5e-9 of the
//     interval's scale divided by 1 + i^2 + j^2 for T_i(s) T_j(v) (the
//     kernels use first and second derivatives, which weigh the high orders
//     by up to i^2 j^2; not for x > 16), and the fits are mapped to the monomial
//     coefficients of the table; the error of the fitted function is then
//     bounded by the sum of the dropped tails.  For x > 16, x f/16 = f/t is
//     fitted (degree at most 10) and multiplied by t, so the outputs vanish
//     like 1/x in deep water.
//  3. For x < 1 the fitted quantity is x times the function, per monomial
//     coefficient s^p v^q (tolerance 3e-8 of the scale over 1 + p^2 + q^2),
//     with the ln(y) part removed for the listed outputs; the
//     coefficient of ln(y) is known in closed form (fdref::logcoef_*) and is
//     fitted separately as a polynomial in x.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "tools/fdgreen_ref.hpp"

using namespace zorva::fdref;

namespace {

constexpr double PI = 3.14159265358979323846;
constexpr int NG = 24;  // grid nodes per variable
constexpr int NT = 28;  // interval samples

const std::vector<int> LENA{6, 8, 9, 10, 11, 11, 12, 12, 12};
const std::vector<int> LENB{3, 4, 5, 5, 6, 6, 7, 7, 7, 7};
const std::vector<int> LOGA{43, 44, 53, 54, 55, 64, 65, 66, 67, 75, 76, 77, 78, 79, 87, 88, 89, 90, 91};
const std::vector<int> LOGB{7,  11, 12, 15, 16, 17, 21, 22, 23, 26, 27, 28, 29, 33, 34, 35,
                            36, 39, 40, 41, 42, 43, 46, 47, 48, 49, 50, 53, 54, 55, 56, 57};

// Table layout: row k holds the coefficients of v^(nrow-1-k), a polynomial
// in s of length len[k], highest power first.
struct Layout {
    std::vector<int> len;
    int nout() const {
        int n = 0;
        for (int l : len) n += l;
        return n;
    }
    // (row k, s-power i) -> 0-based output index
    int index(int k, int i) const {
        int st = 0;
        for (int j = 0; j < k; ++j) st += len[j];
        return st + len[k] - 1 - i;
    }
};

double cheb_node(int a, int n) { return std::cos(PI * (a + 0.5) / n); }

// Monomial coefficients of T_i(2s - 1) on [0, 1]: tc[i][p].
std::vector<std::vector<double>> shifted_cheb(int nmax) {
    std::vector<std::vector<double>> tc(nmax + 1, std::vector<double>(nmax + 1, 0.0));
    tc[0][0] = 1;
    if (nmax >= 1) {
        tc[1][0] = -1;
        tc[1][1] = 2;
    }
    for (int i = 1; i < nmax; ++i)
        for (int p = 0; p <= nmax; ++p) {
            double v = -2.0 * tc[i][p] - tc[i - 1][p];
            if (p > 0) v += 4.0 * tc[i][p - 1];
            tc[i + 1][p] = v;
        }
    return tc;
}

const auto TC = shifted_cheb(12);

// Grid values of a function f(s, v) -> 2-D projection onto the shifted
// Chebyshev products of the layout's index set: c[i][j] for T_i(s) T_j(v)
// (zero outside the set).
using Cheb2 = std::vector<std::vector<double>>;

Cheb2 cheb2d(const Layout& lay, const std::vector<std::vector<double>>& g) {
    const int nrow = static_cast<int>(lay.len.size());
    Cheb2 c(12, std::vector<double>(nrow, 0.0));
    for (int j = 0; j < nrow; ++j) {
        int deg = lay.len[nrow - 1 - j] - 1;
        for (int i = 0; i <= deg; ++i) {
            double acc = 0;
            for (int a = 0; a < NG; ++a) {
                double ti = std::cos(i * PI * (a + 0.5) / NG);
                for (int b = 0; b < NG; ++b) acc += g[a][b] * ti * std::cos(j * PI * (b + 0.5) / NG);
            }
            c[i][j] = acc * (i == 0 ? 1.0 : 2.0) * (j == 0 ? 1.0 : 2.0) / (NG * NG);
        }
    }
    return c;
}

// Chebyshev products -> monomial coefficients s^p v^q in the table layout.
std::vector<double> to_mono(const Layout& lay, const Cheb2& c) {
    const int nrow = static_cast<int>(lay.len.size());
    std::vector<double> out(lay.nout(), 0.0);
    for (int j = 0; j < nrow; ++j) {
        int deg = lay.len[nrow - 1 - j] - 1;
        for (int i = 0; i <= deg; ++i)
            for (int p = 0; p <= i; ++p)
                for (int q = 0; q <= j; ++q) out[lay.index(nrow - 1 - q, p)] += c[i][j] * TC[i][p] * TC[j][q];
    }
    return out;
}

std::vector<double> fit2d(const Layout& lay, const std::vector<std::vector<double>>& g) {
    return to_mono(lay, cheb2d(lay, g));
}

// Evaluate a layout's monomial coefficients at (s, v).
double eval2d(const Layout& lay, const std::vector<double>& co, double s, double v) {
    const int nrow = static_cast<int>(lay.len.size());
    double f = 0;
    for (int k = 0; k < nrow; ++k) {
        double p = 0;
        for (int i = lay.len[k] - 1; i >= 0; --i) p = p * s + co[lay.index(k, i)];
        f = f * v + p;
    }
    return f;
}

// ---------------------------------------------------------------------------
// Grid evaluation of Phi (FITA, v = u = (v'/h)^2) and Psi (FITB, v = w).

std::vector<double> grid_nodes() {
    std::vector<double> n(NG);
    for (int a = 0; a < NG; ++a) n[a] = 0.5 * (cheb_node(a, NG) + 1.0);
    return n;
}

// Phi on the grid (values only), separable evaluation of the same
// quadrature as fdref::phi.
std::vector<std::vector<double>> grid_phi(double x) {
    auto sn = grid_nodes();
    std::vector<double> Rp(NG), vp(NG);
    for (int a = 0; a < NG; ++a) {
        Rp[a] = std::sqrt(sn[a]);
        vp[a] = std::sqrt(sn[a]);
    }
    const double y = disp_root(x);
    const double L = 60.0;  // v' <= 1
    const bool pole = y < L;
    double res = 0;
    if (pole) {
        double e2 = std::exp(-2.0 * y);
        double dp = 0.5 * ((1.0 - e2) + y * (1.0 + e2) - x * (1.0 - e2));
        res = (y + x) * e2 / dp;
    }
    Rule r = make_rule(L, pole ? std::vector<double>{y} : std::vector<double>{});
    std::vector<std::vector<double>> g(NG, std::vector<double>(NG, 0.0));
    std::vector<double> jy(NG), cy(NG);
    for (int a = 0; a < NG; ++a) {
        jy[a] = std::cyl_bessel_j(0.0, y * Rp[a]);
        cy[a] = std::cosh(y * vp[a]);
    }
    double subsum = 0;
    std::vector<double> J(NG), C(NG);
    for (size_t i = 0; i < r.q.size(); ++i) {
        double q = r.q[i];
        double e2 = std::exp(-2.0 * q);
        double aq = 2.0 * (q + x) * e2 / ((q - x) - e2 * (q + x));
        for (int a = 0; a < NG; ++a) {
            J[a] = std::cyl_bessel_j(0.0, q * Rp[a]);
            C[a] = std::cosh(q * vp[a]);
        }
        for (int a = 0; a < NG; ++a)
            for (int b = 0; b < NG; ++b) g[a][b] += r.w[i] * aq * J[a] * C[b];
        if (pole) subsum += r.w[i] * res / (q - y);
    }
    if (pole) {
        double lg = std::log((L - y) / y);
        for (int a = 0; a < NG; ++a)
            for (int b = 0; b < NG; ++b) g[a][b] += (res * lg - subsum) * jy[a] * cy[b];
    }
    return g;
}

std::vector<std::vector<double>> grid_psi(double x) {
    auto sn = grid_nodes();
    std::vector<std::vector<double>> g(NG, std::vector<double>(NG, 0.0));
    // Psi is cheap enough pointwise.
    for (int a = 0; a < NG; ++a)
        for (int b = 0; b < NG; ++b) g[a][b] = psi(x, std::sqrt(sn[a]), sn[b]).f;
    return g;
}

std::vector<std::vector<double>> grid_log(bool tabA, double x) {
    auto sn = grid_nodes();
    std::vector<std::vector<double>> g(NG, std::vector<double>(NG, 0.0));
    for (int a = 0; a < NG; ++a)
        for (int b = 0; b < NG; ++b)
            g[a][b] = tabA ? logcoef_phi(x, std::sqrt(sn[a]), std::sqrt(sn[b]))
                           : logcoef_psi(x, std::sqrt(sn[a]), sn[b]);
    return g;
}

// ---------------------------------------------------------------------------
// Intervals of x and their variable t in [0, 1].
double x_of_t(int iv, double t) {
    switch (iv) {
        case 0: return t;
        case 1: return 1.0 + t;
        case 2: return 2.0 + t;
        case 3: return 3.0 + t;
        case 4: return 4.0 + 2.0 * t;
        case 5: return 6.0 + 2.0 * t;
        case 6: return 8.0 + 4.0 * t;
        case 7: return 12.0 + 4.0 * t;
        default: return 16.0 / t;
    }
}
int interval_of(double x, double& t) {
    if (x < 1) { t = x; return 0; }
    if (x <= 2) { t = x - 1; return 1; }
    if (x <= 3) { t = x - 2; return 2; }
    if (x <= 4) { t = x - 3; return 3; }
    if (x <= 6) { t = (x - 4) * 0.5; return 4; }
    if (x <= 8) { t = (x - 6) * 0.5; return 5; }
    if (x <= 12) { t = (x - 8) * 0.25; return 6; }
    if (x <= 16) { t = (x - 12) * 0.25; return 7; }
    t = 16 / x;
    return 8;
}

// Fit samples f(t_a) at NT Chebyshev nodes of [0, 1]: monomial coefficients
// highest power first, lowest degree with tail < tol.
std::vector<double> fit1d(const std::vector<double>& f, double tol, double& err, int maxdeg = 11) {
    std::vector<double> c(NT, 0.0);
    for (int i = 0; i < NT; ++i) {
        double acc = 0;
        for (int a = 0; a < NT; ++a) acc += f[a] * std::cos(i * PI * (a + 0.5) / NT);
        c[i] = acc * (i == 0 ? 1.0 : 2.0) / NT;
    }
    int deg = maxdeg;
    for (int d = 0; d <= maxdeg; ++d) {
        double tail = 0;
        for (int i = d + 1; i < NT; ++i) tail += std::fabs(c[i]);
        if (tail < tol) {
            deg = d;
            break;
        }
    }
    err = 0;
    for (int i = deg + 1; i < NT; ++i) err += std::fabs(c[i]);
    std::vector<double> mono(deg + 1, 0.0);
    for (int i = 0; i <= deg; ++i)
        for (int p = 0; p <= i; ++p) mono[p] += c[i] * TC[i][p];
    std::vector<double> hi(mono.rbegin(), mono.rend());
    return hi;
}

struct Table {
    std::vector<int> start;
    std::vector<float> coef;
};

double horner(const std::vector<float>& co, int b, int e, double t) {
    double p = 0;
    for (int i = b; i < e; ++i) p = p * t + co[i];
    return p;
}

struct Generated {
    Table sets[9];
    Table logset;
};

// Add polynomial b (highest power first) times f into a (highest first).
void poly_axpy(std::vector<double>& a, const std::vector<double>& b, double f) {
    if (a.size() < b.size()) a.insert(a.begin(), b.size() - a.size(), 0.0);
    size_t off = a.size() - b.size();
    for (size_t i = 0; i < b.size(); ++i) a[off + i] += f * b[i];
}

Generated generate(bool tabA) {
    Layout lay{tabA ? LENA : LENB};
    const int nout = lay.nout();
    const int nrow = static_cast<int>(lay.len.size());
    const auto& loglist = tabA ? LOGA : LOGB;
    Generated G;
    for (int iv = 0; iv < 9; ++iv) {
        // Samples: for x < 1 the monomial coefficients of x*f (log part
        // removed), otherwise the Chebyshev coefficients of f (for x > 16 of
        // x*f/16 = f/t, so that the fitted f vanishes like t = 16/x).
        std::vector<std::vector<double>> samp(nout, std::vector<double>(NT));
        std::vector<Cheb2> csamp(NT);
        std::vector<std::vector<double>> lsamp(loglist.size(), std::vector<double>(NT));
        std::vector<double> scal(NT, 0.0);
#pragma omp parallel for schedule(dynamic)
        for (int a = 0; a < NT; ++a) {
            double t = 0.5 * (cheb_node(a, NT) + 1.0);
            double x = x_of_t(iv, t);
            auto g = tabA ? grid_phi(x) : grid_psi(x);  // x * function
            for (auto& row : g)
                for (double& v : row) {
                    if (iv > 0 && iv < 8) v /= x;
                    if (iv == 8) v /= 16.0;
                    scal[a] = std::max(scal[a], std::fabs(v));
                }
            if (iv == 0) {
                auto co = fit2d(lay, g);
                auto lg = fit2d(lay, grid_log(tabA, x));
                double ly = std::log(disp_root(x));
                for (size_t m = 0; m < loglist.size(); ++m) {
                    int o = loglist[m] - 1;
                    co[o] -= ly * lg[o];
                    lsamp[m][a] = -lg[o];
                }
                for (int o = 0; o < nout; ++o) samp[o][a] = co[o];
            } else {
                csamp[a] = cheb2d(lay, g);
            }
        }
        double scale = 0;
        for (double v : scal) scale = std::max(scale, v);
        double tol = 3e-8 * scale, worst = 0;
        Table& T = G.sets[iv];
        T.start.push_back(1);
        if (iv == 0) {
            for (int o = 0; o < nout; ++o) {
                // Powers of s and v of output o: high powers get a tighter
                // tolerance, since the kernels also use the derivatives.
                int k = 0, st = 0;
                while (o >= st + lay.len[k]) st += lay.len[k++];
                const int ps = lay.len[k] - 1 - (o - st), pv = nrow - 1 - k;
                double err;
                auto c = fit1d(samp[o], tol / (1.0 + ps * ps + pv * pv), err);
                worst = std::max(worst, err / scale);
                for (double v : c) T.coef.push_back(static_cast<float>(v));
                T.start.push_back(static_cast<int>(T.coef.size()) + 1);
            }
        } else {
            // Fit every Chebyshev coefficient in t, then map to monomials:
            // the fitted function's error is then the sum of the dropped
            // tails, without the growth of the monomial coefficients.
            const int maxdeg = iv == 8 ? 10 : 11;
            std::vector<std::vector<double>> mono(nout);
            for (int j = 0; j < nrow; ++j) {
                int deg = lay.len[nrow - 1 - j] - 1;
                for (int i = 0; i <= deg; ++i) {
                    std::vector<double> f(NT);
                    for (int a = 0; a < NT; ++a) f[a] = csamp[a][i][j];
                    double err;
                    // (Not for x > 16: there the higher degrees in t cost
                    // more in single-precision rounding than they gain.)
                    const double w = iv == 8 ? 1.0 : 1.0 + i * i + j * j;
                    auto c = fit1d(f, tol / (4.0 * w), err, maxdeg);
                    worst = std::max(worst, err / scale);
                    for (int p = 0; p <= i; ++p)
                        for (int q = 0; q <= j; ++q)
                            poly_axpy(mono[lay.index(nrow - 1 - q, p)], c, TC[i][p] * TC[j][q]);
                }
            }
            for (int o = 0; o < nout; ++o) {
                auto& c = mono[o];
                if (iv == 8) c.push_back(0.0);  // times t
                // Drop leading coefficients that vanish.
                size_t k = 0;
                while (k + 1 < c.size() && c[k] == 0.0) ++k;
                for (size_t m = k; m < c.size(); ++m) T.coef.push_back(static_cast<float>(c[m]));
                T.start.push_back(static_cast<int>(T.coef.size()) + 1);
            }
        }
        std::fprintf(stderr, "%s interval %d: %zu coefficients, worst dropped tail %.2e (scale %.3g)\n",
                     tabA ? "FITA" : "FITB", iv + 1, T.coef.size(), worst, scale);
        if (iv == 0) {
            Table& Lg = G.logset;
            Lg.start.push_back(1);
            double lscale = 0;
            for (auto& v : lsamp)
                for (double z : v) lscale = std::max(lscale, std::fabs(z));
            for (auto& v : lsamp) {
                double err;
                auto c = fit1d(v, 1e-9 * lscale, err);
                for (double z : c) Lg.coef.push_back(static_cast<float>(z));
                Lg.start.push_back(static_cast<int>(Lg.coef.size()) + 1);
            }
            std::fprintf(stderr, "%s log part: %zu coefficients\n", tabA ? "FITA" : "FITB", Lg.coef.size());
        }
    }
    return G;
}

// The fitted outputs at x (as HGRNFIT1/2 compute them, in double).
std::vector<double> eval_outputs(bool tabA, const Generated& G, double x) {
    Layout lay{tabA ? LENA : LENB};
    const auto& loglist = tabA ? LOGA : LOGB;
    double t;
    int iv = interval_of(x, t);
    const Table& T = G.sets[iv];
    std::vector<double> out(lay.nout());
    for (int o = 0; o < lay.nout(); ++o) out[o] = horner(T.coef, T.start[o] - 1, T.start[o + 1] - 1, t);
    if (iv == 0) {
        double ly = std::log(disp_root(x));
        for (auto& v : out) v /= x;
        for (size_t m = 0; m < loglist.size(); ++m)
            out[loglist[m] - 1] -= ly / x * horner(G.logset.coef, G.logset.start[m] - 1, G.logset.start[m + 1] - 1, x);
    }
    return out;
}

void check(bool tabA, const Generated& G) {
    Layout lay{tabA ? LENA : LENB};
    std::vector<double> xs;
    for (double b : {1.0, 2.0, 3.0, 4.0, 6.0, 8.0, 12.0, 16.0}) {
        xs.push_back(b * (1 - 1e-6));
        xs.push_back(b * (1 + 1e-6));
    }
    for (double x : {1e-5, 1e-3, 0.05, 0.3, 0.77, 1.5, 5.0, 10.0, 30.0, 200.0, 1e4, 1e5}) xs.push_back(x);
    double worst = 0;
    for (double x : xs) {
        auto out = eval_outputs(tabA, G, x);
        double mx = 0, me = 0;
        for (double s : {0.0, 0.13, 0.5, 0.87, 1.0})
            for (double v : {0.0, 0.21, 0.6, 0.95, 1.0}) {
                double ref = tabA ? phi(x, std::sqrt(s), std::sqrt(v)).f / x : psi(x, std::sqrt(s), v).f / x;
                double fit = eval2d(lay, out, s, v);
                mx = std::max(mx, std::fabs(ref));
                me = std::max(me, std::fabs(fit - ref));
            }
        worst = std::max(worst, me / mx);
        std::fprintf(stderr, "  %s x = %-12.7g max |ref| %.4e  max rel err %.2e\n", tabA ? "FITA" : "FITB", x, mx, me / mx);
    }
    std::fprintf(stderr, "%s worst relative error %.2e\n", tabA ? "FITA" : "FITB", worst);
}

void emit(FILE* f, const char* name, const Table& T) {
    std::fprintf(f, "const int %s_START[%zu] = {", name, T.start.size());
    for (size_t i = 0; i < T.start.size(); ++i) std::fprintf(f, "%s%d", i == 0 ? "\n    " : (i % 16 ? ", " : ",\n    "), T.start[i]);
    std::fprintf(f, "};\nconst float %s_COEF[%zu] = {", name, T.coef.size());
    for (size_t i = 0; i < T.coef.size(); ++i) {
        char num[40];
        std::snprintf(num, sizeof num, "%.9g", static_cast<double>(T.coef[i]));
        std::string lit(num);
        if (lit.find_first_of(".e") == std::string::npos) lit += ".0";  // a valid float literal
        std::fprintf(f, "%s%sf", i == 0 ? "\n    " : (i % 6 ? ", " : ",\n    "), lit.c_str());
    }
    std::fprintf(f, "};\n\n");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: gen_hgrnfit <output.cpp>\n");
        return 1;
    }
    // Quick check of the reference against a known value: the constant term
    // of F at x = 1.5 (R = 0, v = 0).
    std::fprintf(stderr, "F(0,0; 1.5) = %.9f\n", phi(1.5, 0, 0).f / 1.5);
    Generated A = generate(true);
    check(true, A);
    Generated B = generate(false);
    check(false, B);
    FILE* f = std::fopen(argv[1], "w");
    if (!f) return 1;
    std::fprintf(f,
                 "// Generated by tools/gen_hgrnfit.cpp; do not edit.\n"
                 "// Piecewise-polynomial coefficient sets of the finite-depth correction\n"
                 "// series: per x interval a start table and a flat array of coefficients\n"
                 "// (highest power first), and for x < 1 the logarithmic part.\n"
                 "#include \"kernels/hgrnfit_data.hpp\"\n\nnamespace zorva::hgrnfit_data {\n\nnamespace {\n\n");
    const char* tn[2] = {"A", "B"};
    for (int tb = 0; tb < 2; ++tb) {
        const Generated& G = tb == 0 ? A : B;
        for (int iv = 0; iv < 9; ++iv) {
            std::string n = std::string("FIT") + tn[tb] + std::to_string(iv + 1);
            emit(f, n.c_str(), G.sets[iv]);
        }
        emit(f, (std::string("FIT") + tn[tb] + "LOG").c_str(), G.logset);
    }
    std::fprintf(f, "}  // namespace\n\n");
    for (int tb = 0; tb < 2; ++tb) {
        std::fprintf(f, "const FitSet FIT%s_SETS[9] = {\n", tn[tb]);
        for (int iv = 0; iv < 9; ++iv)
            std::fprintf(f, "    {FIT%s%d_START, FIT%s%d_COEF},\n", tn[tb], iv + 1, tn[tb], iv + 1);
        std::fprintf(f, "};\nconst FitSet FIT%s_LOGSET = {FIT%sLOG_START, FIT%sLOG_COEF};\n\n", tn[tb], tn[tb], tn[tb]);
    }
    std::fprintf(f, "}  // namespace zorva::hgrnfit_data\n");
    std::fclose(f);
    return 0;
}
