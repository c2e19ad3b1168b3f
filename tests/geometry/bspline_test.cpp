// B-spline basis, knot vectors and Gauss-Legendre rules against closed
// forms: the uniform quadratic and cubic B-spline polynomials, the published
// five-point rule and exact integrals of polynomials.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "geometry/bspline.hpp"
#include "tests/support/testdir.hpp"

namespace zorva {
namespace {

class BsplineTest : public test::TempDirTest {
protected:
    bool said(const std::string& text) const { return screen.str().find(text) != std::string::npos; }
};

// Uniform B-spline of order k with knot spacing h starting at knot a:
// value and derivatives (order d) at x from its polynomial on its p-th
// interval (counted from 0) in the local coordinate s = (x - a)/h.
double uniform_poly(int k, int d, double s, double h, int p) {
    const double f = std::pow(h, -d);
    if (k == 3) {
        const double poly[3][3] = {{s * s / 2, s, 1}, {(-2 * s * s + 6 * s - 3) / 2, -2 * s + 3, -2},
                                    {(3 - s) * (3 - s) / 2, -(3 - s), 1}};
        return f * poly[p][d];
    }
    // k = 4
    const double poly[4][4] = {
        {s * s * s / 6, s * s / 2, s, 1},
        {(-3 * s * s * s + 12 * s * s - 12 * s + 4) / 6, (-9 * s * s + 24 * s - 12) / 6, -3 * s + 4, -3},
        {(3 * s * s * s - 24 * s * s + 60 * s - 44) / 6, (9 * s * s - 48 * s + 60) / 6, 3 * s - 8, 3},
        {(4 - s) * (4 - s) * (4 - s) / 6, -(4 - s) * (4 - s) / 2, 4 - s, -1}};
    return f * poly[p][d];
}

std::vector<float> knots(int n, int k, int iend, int ispace) {
    std::vector<float> t(static_cast<std::size_t>(n + 2 * k - 1), -99.0f);
    KNOTVEC(n, k, iend, ispace, t.data());
    return t;
}

TEST_F(BsplineTest, KnotVectors) {
    const std::vector<float> ext = knots(4, 3, 2, 0);
    const std::vector<float> want = {-2, -1.5, -1, -0.5, 0, 0.5, 1, 1.5, 2};
    for (std::size_t j = 0; j < want.size(); ++j) EXPECT_FLOAT_EQ(ext[j], want[j]) << j;

    const std::vector<float> clamped = knots(2, 3, 0, 2);
    const std::vector<float> want0 = {-1, -1, -1, 0, 1, 1, 1};
    for (std::size_t j = 0; j < want0.size(); ++j) EXPECT_NEAR(clamped[j], want0[j], 1e-6) << j;

    // Dense towards +1 and towards -1, right and left extensions.
    const std::vector<float> s1 = knots(3, 2, 1, 1), sm1 = knots(3, 2, -1, -1);
    const double pi = 3.14159265358979;
    for (int j = 0; j <= 3; ++j) {
        EXPECT_NEAR(s1[1 + j], 2 * std::sin(j * pi / 6) - 1, 2e-6) << j;
        EXPECT_NEAR(sm1[1 + j], 1 - 2 * std::cos(j * pi / 6), 2e-6) << j;
    }
    EXPECT_FLOAT_EQ(s1[0], -1.0f);
    EXPECT_NEAR(s1[5], 1 + (s1[4] - s1[3]), 2e-6);
    EXPECT_NEAR(sm1[0], -1 - (sm1[2] - sm1[1]), 2e-6);
    EXPECT_FLOAT_EQ(sm1[5], 1.0f);

    // Fewer than one interval: nothing written, a status from the checked form.
    std::vector<float> t(5, 7.0f);
    int ierr = 0;
    KNOTVEC(0, 3, 2, 0, t.data(), ierr);
    EXPECT_EQ(ierr, 1);
    EXPECT_TRUE(said(" Number of knot intervals less than 1 in KNOTVEC, N=")) << screen.str();
    KNOTVEC(0, 3, 2, 0, t.data());
    for (float v : t) EXPECT_EQ(v, 7.0f);
}

// Quadratic B-splines on the extended knots -2..2 (spacing 0.5): values,
// first and second derivatives against the uniform polynomials, the interval
// found at the ends and at an interior knot, and the end tolerance.
TEST_F(BsplineTest, QuadraticBasisAgainstUniformPolynomials) {
    const std::vector<float> t = knots(4, 3, 2, 0);
    struct Case {
        float x;
        int intv;
    };
    for (const Case c : {Case{-1.0f, 3}, Case{1.0f, 6}, Case{0.0f, 4}, Case{0.3f, 5}, Case{-0.8f, 3},
                         Case{-1.0f - 1.0e-6f, 3}, Case{1.0f + 1.0e-6f, 6}}) {
        float b[5 * 3];
        std::fill(std::begin(b), std::end(b), -7.0f);
        int intv = 0, ierr = -1;
        BASEF(t.data(), 6, 3, c.x, 2, 1, b, 5, intv, ierr);
        ASSERT_EQ(ierr, 0) << c.x;
        EXPECT_EQ(intv, c.intv) << c.x;
        double sum = 0.0;
        for (int r = 1; r <= 3; ++r) {
            const int j = intv - 3 + r;
            const double s = (static_cast<double>(c.x) - static_cast<double>(t[j - 1])) / 0.5;
            for (int d = 0; d <= 2; ++d)
                EXPECT_NEAR(b[d * 5 + r - 1], uniform_poly(3, d, s, 0.5, 3 - r), 2e-5 * std::pow(2.0, 2 * d))
                    << c.x << " r=" << r << " d=" << d;
            sum += static_cast<double>(b[r - 1]);
        }
        for (int d = 0; d <= 2; ++d) EXPECT_TRUE(b[d * 5 + 3] == -7.0f && b[d * 5 + 4] == -7.0f);  // rows 4, 5
        EXPECT_NEAR(sum, 1.0, 1e-6) << c.x;
    }
}

TEST_F(BsplineTest, CubicTaylorFormDividesByFactorials) {
    const std::vector<float> t = knots(4, 4, 2, 0);  // -2.5 .. 2.5, spacing 0.5
    for (float x : {-0.9f, -0.2f, 0.45f, 0.99f}) {
        float plain[4 * 4], taylor[4 * 4];
        int i1 = 0, i2 = 0, e1 = -1, e2 = -1;
        BASEF(t.data(), 7, 4, x, 3, 1, plain, 4, i1, e1);
        BASEF(t.data(), 7, 4, x, 3, 0, taylor, 4, i2, e2);
        ASSERT_EQ(e1, 0);
        ASSERT_EQ(e2, 0);
        ASSERT_EQ(i1, i2);
        const double fact[4] = {1, 1, 2, 6};
        double sums[4] = {0, 0, 0, 0};
        for (int r = 1; r <= 4; ++r) {
            const double s = (static_cast<double>(x) - static_cast<double>(t[i1 - 4 + r - 1])) / 0.5;
            for (int d = 0; d <= 3; ++d) {
                const double want = uniform_poly(4, d, s, 0.5, 4 - r);
                const double tol = 3e-5 * std::pow(2.0, 3 * d);
                EXPECT_NEAR(plain[d * 4 + r - 1], want, tol) << x << " r=" << r << " d=" << d;
                EXPECT_NEAR(taylor[d * 4 + r - 1], want / fact[d], tol / fact[d]) << x << " r=" << r << " d=" << d;
                sums[d] += static_cast<double>(plain[d * 4 + r - 1]);
            }
        }
        EXPECT_NEAR(sums[0], 1.0, 1e-6);
        for (int d = 1; d <= 3; ++d) EXPECT_NEAR(sums[d], 0.0, 1e-3) << d;
    }
}

// Clamped (K-fold end knots) and unevenly spaced knots: first derivatives
// against central differences of the values in double steps.
TEST_F(BsplineTest, DerivativesAgainstFiniteDifferences) {
    const std::vector<float> t = knots(5, 4, 0, 2);
    const int nb = 5 + 4 - 1;
    for (float x : {-0.95f, -0.4f, 0.07f, 0.61f, 0.93f}) {
        float b[4 * 2], bp[4 * 2], bm[4 * 2];
        int i = 0, ip = 0, im = 0, e = 0;
        const float h = 1.0e-3f;
        BASEF(t.data(), nb, 4, x, 1, 1, b, 4, i, e);
        BASEF(t.data(), nb, 4, x + h, 1, 1, bp, 4, ip, e);
        BASEF(t.data(), nb, 4, x - h, 1, 1, bm, 4, im, e);
        ASSERT_EQ(i, ip);
        ASSERT_EQ(i, im);
        double sum = 0.0;
        for (int r = 0; r < 4; ++r) {
            EXPECT_NEAR(b[4 + r], (bp[r] - bm[r]) / (2.0f * h), 5e-3) << x << " r=" << r;
            sum += static_cast<double>(b[r]);
        }
        EXPECT_NEAR(sum, 1.0, 1e-6);
    }
}

TEST_F(BsplineTest, FailuresAndOrderOne) {
    const std::vector<float> t = knots(4, 3, 2, 0);
    float b[3 * 3];
    int intv = -5, ierr = 0;
    // Derivative order equal to the order: untouched outputs.
    std::fill(std::begin(b), std::end(b), 9.0f);
    BASEF(t.data(), 6, 3, 0.1f, 3, 1, b, 3, intv, ierr);
    EXPECT_EQ(ierr, 1);
    EXPECT_EQ(intv, -5);
    for (float v : b) EXPECT_EQ(v, 9.0f);
    EXPECT_TRUE(said(" Order of derivative exceeds degree of polynomial")) << screen.str();
    // Outside the physical space by more than the tolerance.
    BASEF(t.data(), 6, 3, -1.0001f, 2, 1, b, 3, intv, ierr);
    EXPECT_EQ(ierr, 2);
    EXPECT_EQ(intv, 7);
    for (float v : b) EXPECT_EQ(v, 0.0f);
    EXPECT_TRUE(said(" The coordinate is out of physical space")) << screen.str();
    // Degenerate knots: fewer functions than the order, an empty range.
    const float same[6] = {0, 0, 0, 0, 0, 0};
    for (int nb : {2, 3}) {
        std::fill(std::begin(b), std::end(b), 9.0f);
        BASEF(nb == 2 ? t.data() : same, nb, 3, 0.0f, 0, 1, b, 3, intv, ierr);
        EXPECT_EQ(ierr, 3) << nb;
        for (int r = 0; r < 3; ++r) EXPECT_EQ(b[r], 0.0f);
    }
    EXPECT_TRUE(said(" Knot vector is degenerate")) << screen.str();
    // Order 1: the one non-zero function is 1.
    const float t1[3] = {-1, 0, 1};
    float b1[2] = {5, 5};
    BASEF(t1, 2, 1, 0.5f, 0, 1, b1, 2, intv, ierr);
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(intv, 2);
    EXPECT_EQ(b1[0], 1.0f);
    EXPECT_EQ(b1[1], 5.0f);
}

TEST_F(BsplineTest, GaussRules) {
    // Published five-point rule.
    float x[16], w[16];
    int ierr = -1;
    GAUSLE(-1.0f, 1.0f, x, w, 5, ierr);
    ASSERT_EQ(ierr, 0);
    const double a = std::sqrt(5 - 2 * std::sqrt(10.0 / 7)) / 3, c = std::sqrt(5 + 2 * std::sqrt(10.0 / 7)) / 3;
    const double wa = (322 + 13 * std::sqrt(70.0)) / 900, wc = (322 - 13 * std::sqrt(70.0)) / 900;
    const double xs[5] = {-c, -a, 0, a, c}, ws[5] = {wc, wa, 128.0 / 225, wa, wc};
    for (int k = 0; k < 5; ++k) {
        EXPECT_NEAR(x[k], xs[k], 1e-7) << k;
        EXPECT_NEAR(w[k], ws[k], 1e-7) << k;
    }
    // Every order integrates x^(2n-1) exactly on [0.5, 2]; ascending nodes.
    for (int n = 1; n <= 16; ++n) {
        GAUSLE(0.5f, 2.0f, x, w, n, ierr);
        ASSERT_EQ(ierr, 0);
        double q = 0.0;
        for (int k = 0; k < n; ++k) q += static_cast<double>(w[k]) * std::pow(static_cast<double>(x[k]), 2 * n - 1);
        const double exact = (std::pow(2.0, 2 * n) - std::pow(0.5, 2 * n)) / (2 * n);
        EXPECT_NEAR(q / exact, 1.0, 2e-6 * n) << n;
        for (int k = 1; k < n; ++k) EXPECT_LT(x[k - 1], x[k]) << n;
    }
    GAUSLE(0.0f, 2.0f, x, w, 1, ierr);
    EXPECT_EQ(x[0], 1.0f);
    EXPECT_EQ(w[0], 2.0f);
    // Reversed interval: negative weights.
    GAUSLE(1.0f, -1.0f, x, w, 2, ierr);
    EXPECT_LT(w[0], 0.0f);
    EXPECT_FLOAT_EQ(x[0], 0.577350269f);
    // Order 0 writes nothing; order 17 fails naming the order.
    x[0] = w[0] = 42.0f;
    GAUSLE(0.0f, 1.0f, x, w, 0, ierr);
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(x[0], 42.0f);
    GAUSLE(0.0f, 1.0f, x, w, 17, ierr);
    EXPECT_EQ(ierr, 1);
    EXPECT_EQ(x[0], 42.0f);
    EXPECT_TRUE(said(" Order of Gauss integration exceeds limit 16, Order=17")) << screen.str();
}

}  // namespace
}  // namespace zorva
