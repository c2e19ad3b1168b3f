#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "geometry/bspline.hpp"
#include "kernels/gausslog.hpp"
#include "kernels/horank.hpp"
#include "tests/kernels/hofix.hpp"
#include "tests/platform/userlib_support.hpp"

using namespace zorva;
using test::Affine;
using test::D3;

namespace {

constexpr double PI = 3.14159265358979323846;

class Self : public test::HoKernelTest {
protected:
    void SetUp() override {
        HoKernelTest::SetUp();
        int ierr;
        GAUSLE(-1.0f, 1.0f, R.XG, R.WG, 8, ierr);
        ASSERT_EQ(ierr, 0);
        ASSERT_EQ(GAUSSLOG(R.XL, R.WL, 8), 0);
    }
    int self(float us, float vs, float uref, float vref, float h, int npu, int npv, int ilog, int ikind, int igrad,
             RkMoments& M) {
        M.size(npu * npv, model::NMODT, true);
        W.size(npu * npv, model::NMODT);
        int ierr = -1;
        SELF(us, vs, uref, vref, h, npu, npv, npu * npv, 1, ilog, 1, ikind, igrad, R, 8, 8, R.XG, R.WG, R.XG, R.WG, M,
             W, ierr);
        return ierr;
    }
    SelfRules R;
    SubdivWork W;
};

// Integral over [-1, 1] of f, double precision, in 8 parts of 40 points.
double quad1(const std::function<double(double)>& f) {
    std::vector<double> x, w;
    test::gauss_legendre(40, x, w);
    double s = 0;
    for (int p = 0; p < 8; ++p)
        for (std::size_t i = 0; i < x.size(); ++i) s += w[i] / 8 * f(-1 + 0.25 * p + 0.125 * (x[i] + 1));
    return s;
}

// Integral of f(du, dv) over the square |du|, |dv| <= h around a singular
// point, double precision: eight triangles meeting at the point, each
// mapped from the unit square (x, y) -> (x, x y) so that the 1/r of the
// point is cancelled by the Jacobian x.
double quad_square(double h, const std::function<double(double, double)>& f) {
    std::vector<double> x, w;
    test::gauss_legendre(48, x, w);
    double s = 0;
    for (int t = 0; t < 8; ++t) {
        const int axis = t % 2, sg = (t / 2) % 2 ? -1 : 1, sh = t / 4 ? -1 : 1;
        for (std::size_t i = 0; i < x.size(); ++i)
            for (std::size_t j = 0; j < x.size(); ++j) {
                const double a = 0.5 * (x[i] + 1), b = 0.5 * (x[j] + 1) * a;
                const double p = sg * h * a, q = sh * h * b;
                s += 0.25 * w[i] * w[j] * a * h * h * (axis ? f(q, p) : f(p, q));
            }
    }
    return s;
}

const Affine SKEW{{0.2, 0.1, -0.8}, {0.6, 0.1, 0.0}, {0.25, 0.45, 0.05}};

// On a flat patch the dipole kernel vanishes: the moments hold the free
// term alone, times the monomials of the singular point; the source sum of
// the two pairs is the closed form of 1/r over the parallelogram, and the
// log-source term that of ln r.
TEST_F(Self, FlatPatchFreeTermAndClosedForms) {
    flat({SKEW});
    const float us = 0.1f, vs = -0.2f, uref = 0.3f, vref = 0.05f, h = 0.25f;
    const D3 A = SKEW.A, B = SKEW.B, N = test::cross3(A, B);
    const double J = test::norm3(N), hd = h;
    const D3 n = {N[0] / J, N[1] / J, N[2] / J};
    // 1/r over a triangle pair: 2 J h (t1 - t2)/|B|, t = asinh((+-1 - c)/d)
    auto pair = [&](const D3& P, const D3& Q) {
        const double qq = test::dot3(Q, Q), c = -test::dot3(P, Q) / qq;
        const double d = std::sqrt(test::dot3(P, P) / qq - c * c);
        return 2 * J * hd * (std::asinh((1 - c) / d) - std::asinh((-1 - c) / d)) / std::sqrt(qq);
    };
    const double S = pair(A, B) + pair(B, A);
    // ln r: J h^2 times the integral over s of ln(h |A + s B|) - 1/2, both pairs
    auto lpair = [&](const D3& P, const D3& Q) {
        return J * hd * hd * quad1([&](double s) {
                   const D3 v = {P[0] + s * Q[0], P[1] + s * Q[1], P[2] + s * Q[2]};
                   return std::log(hd * test::norm3(v)) - 0.5;
               });
    };
    const double L = lpair(A, B) + lpair(B, A);
    for (int ikind : {0, -1}) {
        RkMoments M;
        ASSERT_EQ(self(us, vs, uref, vref, h, 2, 2, 1, ikind, 0, M), 0);
        const double t0 = ikind == -1 ? -2 * PI : 2 * PI, U = us - uref, V = vs - vref;
        const double mono[4] = {1, U, V, U * V};
        for (int k = 0; k < 4; ++k) EXPECT_NEAR(M.DIPMOM[k], t0 * mono[k], 1e-4) << ikind << " " << k;
        for (int m = 1; m <= 3; ++m) {
            EXPECT_NEAR(M.src(1, m), S * n[m - 1], 2e-5 * S) << m;
            EXPECT_NEAR(M.srcl(1, m), L * n[m - 1], 1e-4 * std::fabs(L)) << m;
        }
    }
    // a wavemaker body: source part and free term doubled, no dipole quadrature
    cfg::IBODY_WAVEMAKER = 1;
    RkMoments M;
    ASSERT_EQ(self(us, vs, us, vs, h, 1, 1, 0, 0, 0, M), 0);
    EXPECT_NEAR(M.DIPMOM[0], 4 * PI, 2e-5);
    EXPECT_NEAR(M.src(1, 3), 2 * S * n[2], 4e-5 * S);
}

// Thin parallelograms: tangents at a small angle, or of very unequal
// lengths.  In single precision |A|^2 / |B|^2 - c^2 is then nothing, while
// the flat parallelogram still has its closed forms (1/r as above, the free
// term alone for the dipole).  With |A x B| below 1e-6 of the larger squared
// tangent the distances of the nodes lose their digits (angle 1e-7: 5 %
// off, 1e-8: 2.8 times the closed form, 1e-12: a non-finite dipole moment);
// there the patch is refused, named.  Just above that bound the sum is off
// by up to about 1.3 % (measured from 1.0e-6 to 1.2e-6 over several points
// and spacings), at twice the bound by 0.2 to 0.8 % (0.23 % for the case
// below); at 1e-4 the asinh arguments reach 2e4.
TEST_F(Self, ThinParallelograms) {
    struct Case {
        double la, lb, angle;  // A = la (1, 0, 0), B = lb (cos, sin, 0)
        double tol;            // of the source sum, relative; 0: refused
    };
    const Case cases[] = {
        {1, 1, 1e-2, 1e-5},       {1, 1, 1e-4, 1e-4},     {1, 1, 2e-6, 5e-3},  {0.1, 1, 1e-4, 2e-3},
        {1e-3, 1, PI / 2, 1e-4},  {1, 1, 5e-7, 0},        {1, 1, 1e-7, 0},     {1, 1, 1e-8, 0},
        {1, 1, 1e-12, 0},         {1, 1, 1e-20, 0},       {10, 1, 5e-6, 0},    {1, 1e-7, PI / 2, 0},
    };
    const double h = 0.25;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.la << " " << c.lb << " " << c.angle);
        screen.str("");
        const Affine P{{0.0, 0.0, -1.0}, {c.la, 0.0, 0.0}, {c.lb * std::cos(c.angle), c.lb * std::sin(c.angle), 0.0}};
        flat({P});
        RkMoments M;
        const int ierr = self(0.1f, -0.2f, 0.1f, -0.2f, float(h), 1, 1, 1, 0, 1, M);
        if (c.tol == 0) {
            EXPECT_EQ(ierr, 1);
            EXPECT_NE(screen.str().find(" Patch without a tangent plane at a collocation point (tangents of zero "
                                        "length or parallel): body 1, patch 1\n"),
                      std::string::npos)
                << screen.str();
            continue;
        }
        const D3 A = P.A, B = P.B;
        const double J = test::norm3(test::cross3(A, B));
        auto pair = [&](const D3& U, const D3& V) {
            const double qq = test::dot3(V, V), cc = -test::dot3(U, V) / qq, d = J / qq;
            return 2 * J * h * (std::asinh((1 - cc) / d) - std::asinh((-1 - cc) / d)) / std::sqrt(qq);
        };
        const double S = pair(A, B) + pair(B, A);
        ASSERT_EQ(ierr, 0) << screen.str();
        EXPECT_NEAR(M.src(1, 3), S, c.tol * S);
        EXPECT_NEAR(M.DIPMOM[0], 2 * PI, 1e-4);
        EXPECT_TRUE(std::isfinite(M.srcl(1, 3)));
        for (int d = 1; d <= 3; ++d) EXPECT_TRUE(std::isfinite(M.gdip(d, 1))) << d;
    }
}

// The dipole gradient of a flat rectangle at its own point is the finite
// part of the integral of n / r^3: -4 sqrt(a^2 + b^2) / (a b) times n for
// half-sides a and b.
TEST_F(Self, FlatRectangleDipoleGradientIsTheFinitePart) {
    const double al = 0.7, be = 0.4, h = 0.3;
    flat({Affine{{0.0, 0.0, -1.0}, {al, 0.0, 0.0}, {0.0, be, 0.0}}});
    RkMoments M;
    ASSERT_EQ(self(0.2f, -0.1f, 0.2f, -0.1f, float(h), 1, 1, 0, 0, 1, M), 0);
    const double a = al * h, b = be * h, fp = -4 * std::sqrt(a * a + b * b) / (a * b);
    EXPECT_NEAR(M.gdip(1, 1), 0.0, 1e-3 * std::fabs(fp));
    EXPECT_NEAR(M.gdip(2, 1), 0.0, 1e-3 * std::fabs(fp));
    EXPECT_NEAR(M.gdip(3, 1), fp, 1e-3 * std::fabs(fp));
}

// A sector of a sphere from the user geometry routine: source, dipole and
// log-source self-influence against double-precision quadrature of the
// same square.
TEST_F(Self, CurvedPatchAgainstDoubleQuadrature) {
    const double RAD = 1.3, ZC = -2.0;
    sphere(RAD, ZC);
    const double us = 0.05, vs = 0.1, h = 0.3;
    D3 Xs, Au, Bv;
    sphere_at(RAD, ZC, 1, us, vs, Xs, Au, Bv);
    double S = 0, D = 0, L = 0;
    auto f = [&](double du, double dv, int what) {
        D3 X, XU, XV;
        sphere_at(RAD, ZC, 1, us + du, vs + dv, X, XU, XV);
        const D3 N = test::cross3(XU, XV);
        const double J = test::norm3(N);
        const D3 R = {Xs[0] - X[0], Xs[1] - X[1], Xs[2] - X[2]};
        const double r = test::norm3(R), nz = N[2] / J;
        if (what == 0) return J * nz / r;
        if (what == 1) return test::dot3(N, R) / (r * r * r);
        return J * nz * std::log(r);
    };
    S = quad_square(h, [&](double a, double b) { return f(a, b, 0); });
    D = quad_square(h, [&](double a, double b) { return f(a, b, 1); }) + 2 * PI;
    L = quad_square(h, [&](double a, double b) { return f(a, b, 2); });
    RkMoments M;
    ASSERT_EQ(self(float(us), float(vs), float(us), float(vs), float(h), 1, 1, 1, 0, 0, M), 0);
    EXPECT_NEAR(M.src(1, 3), S, 5e-4 * std::fabs(S));
    EXPECT_NEAR(M.DIPMOM[0], D, 5e-4 * std::fabs(D));
    EXPECT_NEAR(M.srcl(1, 3), L, 1e-3 * std::fabs(L));
}

}  // namespace

namespace {

// A square reaching past the edge of a B-spline patch: the inner nodes lie
// on the patch, the contour of the dipole gradient does not, and its failed
// evaluation makes SELF fail instead of dropping the edge.
TEST_F(Self, ContourOffThePatchIsAnError) {
    using namespace model;
    body(1, 1);
    KUG.allocate(1), KVG.allocate(1), NUG.allocate(1), NVG.allocate(1);
    KUG(1) = KVG(1) = NUG(1) = NVG(1) = 2;
    MAXKNOT = 4, MAXKUG = MAXKVG = 2;
    UKNOTG.allocate(4, 1), VKNOTG.allocate(4, 1), GEOPAR1.allocate(2, 1), GEOPAR2.allocate(2, 1);
    const float t[4] = {-1, -1, 1, 1};
    for (int k = 1; k <= 4; ++k) UKNOTG(k, 1) = VKNOTG(k, 1) = t[k - 1];
    GEOPAR1(1, 1) = GEOPAR2(1, 1) = 1.0f;
    XCOEFG.allocate(3, 4);
    const float c[4][3] = {{-0.5f, -0.4f, -1}, {0.5f, -0.4f, -1}, {-0.5f, 0.4f, -1}, {0.5f, 0.4f, -1}};
    for (int k = 1; k <= 4; ++k)
        for (int d = 1; d <= 3; ++d) XCOEFG(d, k) = c[k - 1][d - 1];
    RkMoments M;
    // without the gradient the square's nodes are all on the patch
    EXPECT_EQ(self(0.5f, 0.0f, 0.5f, 0.0f, 0.5005f, 1, 1, 1, 0, 0, M), 0);
    EXPECT_NEAR(M.DIPMOM[0], 2 * PI, 1e-4);
    EXPECT_EQ(self(0.5f, 0.0f, 0.5f, 0.0f, 0.5005f, 1, 1, 1, 0, 1, M), 1);
    EXPECT_NE(screen.str().find(" Error calling BODYGEOM from SELFSUB"), std::string::npos);
}

}  // namespace
