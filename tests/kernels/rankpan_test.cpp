// Rankine integrals of a flat panel against adaptive double-precision
// quadrature of the integrands over the panel, evaluated in global
// coordinates from the panel vertices.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "kernels/rankpan.hpp"
#include "panels/paneldata.hpp"
#include "tests/support/panelfix.hpp"

namespace {

using zorva::test::PanelFrame;
using zorva::test::Quad;
using zorva::test::Vertex;

// Adaptive Gauss-Kronrod (7/15) on [a, b].
double gk15(const std::function<double(double)>& f, double a, double b, double tol, int depth = 0) {
    static const double xk[8] = {0.991455371120813, 0.949107912342759, 0.864864423359769, 0.741531185599394,
                                 0.586087235467691, 0.405845151377397, 0.207784955007898, 0.0};
    static const double wk[8] = {0.022935322010529, 0.063092092629979, 0.104790010322250, 0.140653259715525,
                                 0.169004726639267, 0.190350578064785, 0.204432940075298, 0.209482141084728};
    static const double wg[4] = {0.129484966168870, 0.279705391489277, 0.381830050505119, 0.417959183673469};
    double c = 0.5 * (a + b), h = 0.5 * (b - a);
    double fc = f(c), k = wk[7] * fc, g = wg[3] * fc;
    for (int i = 0; i < 7; ++i) {
        double f1 = f(c - h * xk[i]), f2 = f(c + h * xk[i]);
        k += wk[i] * (f1 + f2);
        if (i % 2 == 1) g += wg[i / 2] * (f1 + f2);
    }
    k *= h;
    g *= h;
    if (!(std::fabs(k - g) > tol) || depth > 24) return k;
    return gk15(f, a, c, 0.6 * tol, depth + 1) + gk15(f, c, b, 0.6 * tol, depth + 1);
}

struct Ref {
    double S, D, LS, LD;
};

// Integrals over the panel of 1/r, n.R/r^3, ln(r + Rz) and -n.grad ln(r + Rz)
// (R = P - source point), by triangles fanned from a centre point of the
// panel plane (t maps the triangle onto [0,1]^2 with Jacobian t).
double fan_integral(const PanelFrame& f, const double c2[2], const std::function<double(const Vertex&)>& g) {
    double total = 0;
    for (int k = 0; k < 4; ++k) {
        int kp = (k + 1) % 4;
        double ax = f.xi[k] - c2[0], ay = f.eta[k] - c2[1], bx = f.xi[kp] - c2[0], by = f.eta[kp] - c2[1];
        double jac = ax * by - ay * bx;
        if (std::fabs(jac) < 1e-14) continue;
        auto inner = [&](double s) {
            return gk15(
                [&](double t) {
                    double x = c2[0] + t * (ax + s * (bx - ax)), y = c2[1] + t * (ay + s * (by - ay));
                    Vertex q;
                    for (int c = 0; c < 3; ++c) q[c] = f.c[c] + x * f.ax[0][c] + y * f.ax[1][c];
                    return g(q) * t;
                },
                0.0, 1.0, 1e-12);
        };
        total += jac * gk15(inner, 0.0, 1.0, 1e-9);
    }
    return -total;  // vertices run clockwise
}

Ref reference(const Quad& q, const Vertex& P) {
    PanelFrame f = zorva::test::panel_frame(q);
    const double* n = f.ax[2];
    double loc[3];
    for (int k = 0; k < 3; ++k)
        loc[k] = (P[0] - f.c[0]) * f.ax[k][0] + (P[1] - f.c[1]) * f.ax[k][1] + (P[2] - f.c[2]) * f.ax[k][2];
    double c0[2] = {loc[0], loc[1]};
    Ref r;
    auto R = [&](const Vertex& s) { return Vertex{P[0] - s[0], P[1] - s[1], P[2] - s[2]}; };
    auto len = [](const Vertex& v) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); };
    r.S = fan_integral(f, c0, [&](const Vertex& s) { return 1.0 / len(R(s)); });
    r.D = fan_integral(f, c0, [&](const Vertex& s) {
        Vertex v = R(s);
        double l = len(v);
        return (n[0] * v[0] + n[1] * v[1] + n[2] * v[2]) / (l * l * l);
    });
    // The logarithm is singular where the vertical through P meets the panel
    // plane above P: fan from there when that point lies on the panel.
    double cl[2] = {c0[0], c0[1]};
    if (std::fabs(f.ax[2][2]) > 1e-9) {
        double ts = -loc[2] / f.ax[2][2];
        double px = loc[0] + ts * f.ax[0][2], py = loc[1] + ts * f.ax[1][2];
        bool in = false;
        for (int k = 0; k < 4; ++k) {
            int j = (k + 1) % 4;
            if ((f.eta[k] > py) != (f.eta[j] > py) &&
                px < f.xi[k] + (f.xi[j] - f.xi[k]) * (py - f.eta[k]) / (f.eta[j] - f.eta[k]))
                in = !in;
        }
        if (ts > 0 && in) cl[0] = px, cl[1] = py;
    }
    // r + Rz without cancellation below the point
    auto rpz = [&](const Vertex& v) {
        double l = len(v);
        return v[2] >= 0 ? l + v[2] : (v[0] * v[0] + v[1] * v[1]) / (l - v[2]);
    };
    r.LS = fan_integral(f, cl, [&](const Vertex& s) { return std::log(rpz(R(s))); });
    r.LD = fan_integral(f, cl, [&](const Vertex& s) {
        Vertex v = R(s);
        double l = len(v), p = rpz(v);
        return -(n[0] * v[0] / l + n[1] * v[1] / l + n[2] * p / l) / p;
    });
    return r;
}

// A planar panel from local vertices (clockwise seen from its normal),
// tilted by `tilt` degrees about the global x axis and moved by `o`.
Quad make_panel(const std::vector<std::array<double, 2>>& v2, double tilt, const Vertex& o) {
    double ct = std::cos(tilt * M_PI / 180), st = std::sin(tilt * M_PI / 180);
    Quad q;
    for (int k = 0; k < 4; ++k) {
        const auto& p = v2[std::min<std::size_t>(k, v2.size() - 1)];
        // local (x, y, 0), normal +z before the tilt; clockwise seen from +z
        // means the order given runs clockwise: we reverse y to keep it so.
        double x = p[0], y = p[1];
        q[k] = {x + o[0], ct * y + o[1], st * y + o[2]};
    }
    return q;
}

struct Eval {
    float S, D, LS, LD, GS[3], GD[3], GLS[3], GLD[3];
    int ierr;
};

Eval eval(const Vertex& P, int ilog = 1, int ivel = 1) {
    using namespace zorva::pnl;
    Eval e{};
    float p[3] = {float(P[0]), float(P[1]), float(P[2])};
    zorva::RANKPF(p, ilog, 1, PAXES, PNLARR6, PNLARR5, PCENT, PNLARR4, PPROP, PNLARR3, e.D, e.S, e.LD, e.LS,
                  ivel, e.GS, e.GD, e.GLS, e.GLD, e.ierr);
    return e;
}

Vertex local_point(const Quad& q, double x, double y, double z) {
    PanelFrame f = zorva::test::panel_frame(q);
    Vertex P;
    for (int c = 0; c < 3; ++c) P[c] = f.c[c] + x * f.ax[0][c] + y * f.ax[1][c] + z * f.ax[2][c];
    return P;
}

const std::vector<std::array<double, 2>> SQUARE = {{1, 1}, {1, -1}, {-1, -1}, {-1, 1}};
const std::vector<std::array<double, 2>> TRAP = {{0.9, 1.1}, {1.3, -0.8}, {-1.1, -1.0}, {-0.7, 0.6}};
const std::vector<std::array<double, 2>> TRI = {{1.0, 0.8}, {0.9, -1.0}, {-1.2, -0.3}, {-1.2, -0.3}};

struct Case {
    std::string name;
    std::vector<std::array<double, 2>> v;
    double tilt;
    double x, y, z;  // field point in the panel frame
    bool logs;       // compare the logarithmic integrals
    double tol;
};

}  // namespace

TEST(RankinePanel, IntegralsAgainstQuadrature) {
    const Vertex o{0.3, -0.2, -1.5};
    // r^2 in units of s2 for the far points: s2 of the square is 8.
    const std::vector<Case> cases = {
        {"far square", SQUARE, 0, 20.0, 14.0, 27.0, true, 1e-5},
        {"far trapezoid tilted", TRAP, 40, -22.0, 18.0, 30.0, true, 1e-5},
        {"between 40 and 150 s2", SQUARE, 0, 12.0, 9.0, 13.0, false, 1e-5},
        {"between 40 and 150 s2 trapezoid", TRAP, 25, -11.0, 8.0, 14.0, false, 2e-5},
        {"near above", TRAP, 0, 0.3, -0.2, 0.4, true, 1e-5},
        {"near below", TRAP, 0, -0.5, 0.3, -0.7, true, 1e-5},
        {"near outside", TRAP, 30, 2.1, 0.4, 0.6, true, 1e-5},
        {"in plane inside", TRAP, 0, 0.2, 0.1, 0.0, true, 1e-5},
        {"in plane outside", TRAP, 0, 2.5, 0.3, 0.0, true, 1e-5},
        {"over a vertex", TRAP, 0, 0.9 - 0.0, 1.1, 0.3, true, 1e-5},
        {"side extension", SQUARE, 0, 1.0, 2.0, 0.05, true, 1e-5},
        {"side extension in plane", SQUARE, 0, 1.0, 2.5, 0.0, true, 1e-5},
        {"triangle", TRI, 20, 0.2, 0.4, 0.5, true, 1e-5},
        {"vertical panel", TRAP, 90, 0.4, 0.7, 0.5, true, 1e-5},
        {"steep panel, vertical ray through it", TRAP, 75, 0.1, -0.3, -0.3, true, 1e-5},
        {"tilted panel, vertical ray through it", TRAP, 40, 0.2, 0.1, -0.6, true, 1e-5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Quad q = make_panel(c.v, c.tilt, o);
        zorva::test::build_panels({q});
        // vertex cases are given in the frame of the panel built
        Vertex P = local_point(q, c.x, c.y, c.z);
        if (c.name == "over a vertex")
            P = local_point(q, zorva::pnl::PNLARR6(1, 1), zorva::pnl::PNLARR5(1, 1), c.z);

        Ref r = reference(q, P);
        Eval e = eval(P);
        const double A = zorva::pnl::PPROP(1, 1), l = std::sqrt(zorva::pnl::PNLARR3(2, 1));
        EXPECT_NEAR(e.S, r.S, c.tol * (std::fabs(r.S) + A / l));
        EXPECT_NEAR(e.D, r.D, c.tol * (std::fabs(r.D) + 1.0));
        if (c.logs) {
            EXPECT_NEAR(e.LS, r.LS, c.tol * (std::fabs(r.LS) + A));
            EXPECT_NEAR(e.LD, r.LD, c.tol * (std::fabs(r.LD) + A / l));
            EXPECT_EQ(e.ierr, 0);
        }
    }
}

TEST(RankinePanel, DipoleJumpsByFourPiAcrossThePanel) {
    Quad q = make_panel(TRAP, 30, {0, 0, -2});
    zorva::test::build_panels({q});
    Eval up = eval(local_point(q, 0, 0, 1e-4), 0, 0), dn = eval(local_point(q, 0, 0, -1e-4), 0, 0);
    EXPECT_NEAR(up.D, 6.2831855, 2e-3);
    EXPECT_NEAR(dn.D, -6.2831855, 2e-3);
    Eval in = eval(local_point(q, 0, 0, 0), 0, 0);
    EXPECT_EQ(in.D, 0.0f);
}

TEST(RankinePanel, SquareSeenFromItsCentre) {
    for (double a : {1.0, 2.0, 0.1}) {
        std::vector<std::array<double, 2>> sq = {{a / 2, a / 2}, {a / 2, -a / 2}, {-a / 2, -a / 2}, {-a / 2, a / 2}};
        Quad q = make_panel(sq, 0, {0, 0, 0});
        zorva::test::build_panels({q});
        Eval e = eval({0, 0, 0}, 0, 0);
        EXPECT_NEAR(e.S, 4 * a * std::log(1 + std::sqrt(2.0)), 1e-5 * a);
        EXPECT_EQ(e.D, 0.0f);
    }
}

TEST(RankinePanel, GradientsAgainstFiniteDifferences) {
    struct G {
        std::vector<std::array<double, 2>> v;
        double tilt, x, y, z, tol;
    };
    const std::vector<G> pts = {
        {TRAP, 0, 0.3, -0.2, 0.4, 1e-3},    {TRAP, 40, 2.1, 0.4, 0.6, 1e-3},   {TRAP, 30, 0.9, 1.1, 0.3, 1e-3},
        {SQUARE, 0, 1.0, 2.0, 0.2, 1e-3},   {TRI, 20, 0.2, 0.4, -0.5, 1e-3},  {TRAP, 75, 0.1, -0.3, -0.3, 1e-3},
        {TRAP, 25, -11.0, 8.0, 14.0, 1e-3}, {SQUARE, 0, 20.0, 14.0, 27.0, 1e-3}, {TRAP, 90, 0.4, 0.7, 0.5, 1e-2},
    };
    for (const G& g : pts) {
        SCOPED_TRACE(std::to_string(g.tilt) + " " + std::to_string(g.x) + " " + std::to_string(g.z));
        Quad q = make_panel(g.v, g.tilt, {0.1, 0.2, -1});
        zorva::test::build_panels({q});
        Vertex P = local_point(q, g.x, g.y, g.z);
        Eval e = eval(P);
        const double h = 1e-2 * (1 + std::fabs(g.z));
        const double scale = 1.0 / (1.0 + g.x * g.x + g.y * g.y + g.z * g.z);
        for (int c = 0; c < 3; ++c) {
            // fourth-order central differences
            Eval ev[4];
            for (int m = 0; m < 4; ++m) {
                Vertex Q = P;
                Q[c] += h * (m < 2 ? m - 2 : m - 1);
                ev[m] = eval(Q);
            }
            auto fd4 = [&](float Eval::*f) {
                return (double(ev[0].*f) - 8.0 * double(ev[1].*f) + 8.0 * double(ev[2].*f) - double(ev[3].*f)) / (12 * h);
            };
            auto tl = [&](float v) { return g.tol * (std::fabs(double(v)) + scale); };
            EXPECT_NEAR(e.GS[c], fd4(&Eval::S), tl(e.GS[c])) << c;
            EXPECT_NEAR(e.GD[c], fd4(&Eval::D), tl(e.GD[c])) << c;
            EXPECT_NEAR(e.GLS[c], fd4(&Eval::LS), tl(e.GLS[c])) << c;
            EXPECT_NEAR(e.GLD[c], fd4(&Eval::LD), tl(e.GLD[c])) << c;
        }
    }
}

TEST(RankinePanel, FarFieldThresholds) {
    using zorva::RANKPI;
    // Unit square; the moments passed are deliberately altered so that the
    // branch taken shows in S: m1 doubled, fourth moments large.
    const float XV[4] = {0.5f, 0.5f, -0.5f, -0.5f}, YV[4] = {0.5f, -0.5f, -0.5f, 0.5f};
    const float SL[4] = {1, 1, 1, 1}, E[3] = {0, 0, 1}, SZ[2] = {0.5f, 1.0f};
    float AM[13] = {2.0f};
    auto S_at = [&](float x, float y, float z) {
        float S, D, SX, SY, DX, DY, DZ, LS, LD, LSX, LSY, LDX, LDY;
        int ierr;
        RANKPI(x, y, z, XV, YV, AM, SL, E, SZ, S, D, SX, SY, DX, DY, DZ, LS, LD, LSX, LSY, LDX, LDY, 0, 0, ierr);
        return double(S);
    };
    const double r40 = std::sqrt(40.0);
    EXPECT_NEAR(S_at(6, 0, 2), 1.0 / r40, 2e-4);                 // exactly 40 s2: near field
    EXPECT_NEAR(S_at(6, 0, 2.0001f), 2.0 / r40, 5e-2 / r40);     // just above: far field
    for (int k = 8; k < 13; ++k) AM[k] = 1.0e5f;
    const double q150 = 2.0 / std::sqrt(150.0);                   // order 2 only at 150 s2
    EXPECT_NEAR(S_at(11, 5, 2), q150, 1e-3 * q150);
    EXPECT_GT(std::fabs(S_at(10, 7, 0.5f) - 2.0 / std::sqrt(149.25)), 5e-2);  // fourth order below
}

TEST(RankinePanel, DegenerateLogarithmAndPointShift) {
    // A vertex straight above the point: its logarithm degenerates; S and D
    // stay complete.
    Quad q = make_panel(SQUARE, 0, {0, 0, 0});
    zorva::test::build_panels({q});
    Vertex P{1.0, 1.0, -0.5};
    Eval e = eval(P);
    EXPECT_EQ(e.ierr, 1);
    Ref r = reference(q, P);
    EXPECT_NEAR(e.S, r.S, 1e-5 * r.S);
    EXPECT_NEAR(e.D, r.D, 1e-5 * (1 + std::fabs(r.D)));

    // Tilted panel, point level with a horizontal side and beside it: the
    // plane through side and point is horizontal.  With logarithmic
    // gradients asked for, the point moves up by 1e-4.
    Quad t = make_panel(SQUARE, 40, {0, 0, 0});
    zorva::test::build_panels({t});
    // side 2 runs along global x at the height of vertex 2
    Vertex Q{0.0, t[1][1] + 0.8, t[1][2]};
    Eval shifted = eval(Q, 1, 1);
    EXPECT_EQ(shifted.ierr, 2);
    Eval moved = eval({Q[0], Q[1], Q[2] + 1e-4}, 1, 0);
    EXPECT_EQ(moved.ierr, 0);
    EXPECT_NEAR(shifted.S, moved.S, 1e-6);
    EXPECT_NEAR(shifted.LS, moved.LS, 1e-5);
    Eval plain = eval(Q, 1, 0);  // no gradients: no shift
    EXPECT_EQ(plain.ierr, 0);
}

// A point at a vertex of a small panel (side 0.01, so that the in-plane
// point is raised to 1e-6 of the panel scale, 7e-9): the denominator of the
// vertex terms of the dipole gradient, z^6, falls below the smallest float.
// The gradients stay those of the square at that height: for the square
// [x1, x2] x [y1, y2] and the point (x0, y0, z), with a = x - x0,
// b = y - y0 and R^2 = a^2 + b^2 + z^2 at the corners, dD/dx0 is minus the
// corner sum of b z / (R (a^2 + z^2)) and dS/dx0 the sum over the two sides
// b = b1, b2 of +-(asinh(b / sqrt(a1^2 + z^2)) - asinh(b / sqrt(a2^2 + z^2)));
// y likewise.  S's gradient, singular along the sides in the plane, keeps
// two to three digits there.
TEST(RankinePanel, GradientsAtTheVertexOfASmallPanel) {
    const double hl = 0.005;
    Quad q = make_panel({{hl, hl}, {hl, -hl}, {-hl, -hl}, {-hl, hl}}, 0, {0, 0, 0});
    zorva::test::build_panels({q});
    const double eps = double(1.0e-6f * zorva::pnl::PNLARR3(1, 1));
    for (double zf : {0.0, 2.0}) {
        SCOPED_TRACE(zf);
        const double z = zf == 0 ? eps : zf * eps;
        Eval e = eval({hl, hl, zf * eps}, 0, 1);
        // corner sums over a = -2 hl, 0 and b = -2 hl, 0 (signs + - - +)
        double DX = 0, DY = 0, SX = 0, SY = 0;
        const double ab[2] = {-2 * hl, 0.0};
        for (int i = 0; i < 2; ++i)
            for (int j = 0; j < 2; ++j) {
                const double a = ab[i], b = ab[j], R = std::sqrt(a * a + b * b + z * z), sg = i == j ? 1 : -1;
                DX -= sg * b * z / (R * (a * a + z * z));
                DY -= sg * a * z / (R * (b * b + z * z));
            }
        for (int j = 0; j < 2; ++j) {
            const double b = ab[j], sg = j == 1 ? 1 : -1;
            SX += sg * (std::asinh(b / std::sqrt(4 * hl * hl + z * z)) - std::asinh(b / z));
        }
        SY = SX;
        EXPECT_NEAR(e.GD[0], DX, 1e-5 * std::fabs(DX));
        EXPECT_NEAR(e.GD[1], DY, 1e-5 * std::fabs(DY));
        EXPECT_NEAR(e.GS[0], SX, 1e-2 * std::fabs(SX));
        EXPECT_NEAR(e.GS[1], SY, 1e-2 * std::fabs(SY));
    }
}
