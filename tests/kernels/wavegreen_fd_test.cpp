// Finite-depth wave Green function: period set-up, fitted correction series,
// region kernels through WGREENV, and the frequency-limit kernel FDGRNSC.
//
// Expected values: the dispersion roots by Newton iteration in double; the
// far field by the eigenfunction series (propagating mode plus 60 evanescent
// modes, standard Bessel functions in double); the near field by the
// principal-value integrals of tools/fdgreen_ref.hpp (double quadrature).
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <complex>
#include <cstdio>
#include <string>
#include <vector>

#include "kernels/wavegreen_fd.hpp"
#include "geometry/model.hpp"
#include "kernels/wgreenv.hpp"
#include "kernels/wgsetup.hpp"
#include "tests/support/testdir.hpp"
#include "tools/fdgreen_ref.hpp"

namespace zorva {
namespace {

using Slots = std::array<std::complex<double>, 8>;

// Set up depth h (nu = 1, so x = h) and return the status.
int setup(double h, float* Kout = nullptr) {
    model::HBOT = static_cast<float>(h);
    float nu = 1.0f, K = -7.0f, per = 10.0f;
    int ierr = -5;
    HGRN00(nu, K, per, ierr);
    if (Kout) *Kout = K;
    return ierr;
}

// One pair through WGREENV.
Slots wgreenv1(float R, float z, float zeta, float h, int code, int bot) {
    std::vector<int> L(14, 0);
    cplx g[8];
    int n = 1;
    float a = 0.0f;
    WGREENV(&R, a, &z, &zeta, h, g, &code, &bot, n, &L[0], &L[1], &L[2], &L[3], &L[4], &L[5], &L[6], &L[7],
            &L[8], &L[9], &L[10], &L[11], &L[12], &L[13]);
    Slots s;
    for (int k = 0; k < 8; ++k) s[k] = {g[k].real(), g[k].imag()};
    return s;
}

// Eigenfunction series of the whole finite-depth G (nu = 1), far field.
Slots john(double x, double R, double z, double zeta) {
    const double h = x, K = fdref::disp_root(x) / h, pi = M_PI;
    Slots s{};
    auto mode = [&](std::complex<double> a, double V, double Vp, double Vpp, double W, double Wp,
                    std::complex<double> B, std::complex<double> Bp) {
        s[0] += a * V * W * B;
        s[1] += a * V * W * Bp;
        s[2] += a * Vp * W * B;
        s[3] += a * Vp * W * Bp;
        s[4] += a * Vpp * W * B;
        s[5] += a * Vp * Wp * B;
        s[6] += a * V * Wp * B;
        s[7] += a * V * Wp * Bp;
    };
    {
        // K^2 - 1 from y - x = 2y e^-2y / (1 + e^-2y), free of cancellation.
        const double y = K * h, e2 = std::exp(-2.0 * y);
        const double k2m1 = 2.0 * y * e2 / (1.0 + e2) * (y + x) / (x * x);
        const double C0 = k2m1 / (k2m1 * h + 1.0);
        auto V = [&](double zz) { return std::cosh(K * (h - zz)); };
        auto Vp = [&](double zz) { return -K * std::sinh(K * (h - zz)); };
        std::complex<double> B(std::cyl_neumann(0.0, K * R), std::cyl_bessel_j(0.0, K * R));
        std::complex<double> Bp(-K * std::cyl_neumann(1.0, K * R), -K * std::cyl_bessel_j(1.0, K * R));
        mode(-2.0 * pi * C0, V(z), Vp(z), K * K * V(z), V(zeta), Vp(zeta), B, Bp);
    }
    for (int n = 1; n <= 60; ++n) {
        const double k = fdref::evan_root(x, n) / h;
        const double Cn = (k * k + 1.0) / (k * k * h + h - 1.0);
        auto V = [&](double zz) { return std::cos(k * (h - zz)); };
        auto Vp = [&](double zz) { return k * std::sin(k * (h - zz)); };
        mode(4.0 * Cn, V(z), Vp(z), -k * k * V(z), V(zeta), Vp(zeta), std::cyl_bessel_k(0.0, k * R),
             -k * std::cyl_bessel_k(1.0, k * R));
    }
    return s;
}

// Rankine term s/rho (rho = sqrt(R^2 + c^2), c linear in z, zeta) in double.
void rank(Slots& g, double s, double R, double c, double sz, double szeta) {
    const double r2 = 1.0 / (c * c + R * R), r1 = std::sqrt(r2), r3 = r1 * r2, r5 = r3 * r2;
    const double zz = 3.0 * c * c * r5 - r3;
    g[0] += s * r1;
    g[1] += -s * R * r3;
    g[2] += -s * sz * c * r3;
    g[3] += 3.0 * s * sz * R * c * r5;
    g[4] += s * zz;
    g[5] += s * sz * szeta * zz;
    g[6] += -s * szeta * c * r3;
    g[7] += 3.0 * s * szeta * R * c * r5;
}

// F(R, v) (nu units) with v linear in z, zeta (slopes a, b), added to g.
void addF(Slots& g, double x, double R, double v, double a, double b) {
    const auto p = fdref::phi(x, R / x, v / x);
    const double x2 = x * x, x3 = x2 * x;
    g[0] += p.f / x;
    g[1] += p.fr / x2;
    g[2] += a * p.fv / x2;
    g[3] += a * p.frv / x3;
    g[4] += a * a * p.fvv / x3;
    g[5] += a * b * p.fvv / x3;
    g[6] += b * p.fv / x2;
    g[7] += b * p.frv / x3;
}

// Real parts of the near field from the principal-value integrals.
Slots near_ref(double x, double R, double z, double zeta, bool direct, bool bottom) {
    Slots g{};
    addF(g, x, R, z - zeta, 1.0, -1.0);
    addF(g, x, R, 2.0 * x - z - zeta, -1.0, -1.0);
    if (direct) rank(g, 1.0, R, z - zeta, 1.0, -1.0);
    if (bottom) rank(g, 1.0, R, 2.0 * x - z - zeta, -1.0, -1.0);
    return g;
}

// Largest relative deviation met by expect_slots (reported by the tests).
double worst_seen = 0;

// Compare 8 slots (real, and imaginary if asked) relative to the largest
// magnitude of the record part (or `scale` when larger: where the parts of
// a near-field value cancel, the parts set the attainable accuracy).
void expect_slots(const Slots& got, const Slots& ref, double tol, bool imag, const std::string& what,
                  double scale = 0) {
    double mr = scale, mi = 0;
    for (int k = 0; k < 8; ++k) {
        mr = std::max(mr, std::fabs(ref[k].real()));
        mi = std::max(mi, std::fabs(ref[k].imag()));
    }
    // Deep below the surface the propagating mode underflows its exponent
    // cap (e^-30): values below 1e-7 of unit size count as zero.
    mr = std::max(mr, 1e-7);
    mi = std::max(mi, 1e-7);
    for (int k = 0; k < 8; ++k) {
        worst_seen = std::max(worst_seen, std::fabs(got[k].real() - ref[k].real()) / mr);
        if (imag) worst_seen = std::max(worst_seen, std::fabs(got[k].imag() - ref[k].imag()) / mi);
        EXPECT_NEAR(got[k].real(), ref[k].real(), tol * mr) << what << " real slot " << k + 1;
        if (imag) {
            EXPECT_NEAR(got[k].imag(), ref[k].imag(), tol * mi) << what << " imag slot " << k + 1;
        }
    }
}

// Depth ratios on both sides of every boundary of the fitted intervals.
std::vector<double> boundary_xs() {
    std::vector<double> xs{1e-5, 1e-3, 0.02, 0.4};
    for (double b : {1.0, 2.0, 3.0, 4.0, 6.0, 8.0, 12.0, 16.0}) {
        xs.push_back(b * (1.0 - 2e-4));
        xs.push_back(b * (1.0 + 2e-4));
    }
    xs.push_back(40.0);
    return xs;
}

class FiniteDepthSetup : public test::TempDirTest {
protected:
    void TearDown() override {
        model::reset();
        wgcoef::reset();
        test::TempDirTest::TearDown();
    }
};

TEST_F(FiniteDepthSetup, DispersionRootsOverTheLegalRange) {
    for (double lx = -5.0; lx <= 5.0001; lx += 0.25) {
        const double x = std::pow(10.0, lx);
        float K;
        ASSERT_EQ(setup(x, &K), 0) << x;
        const double xf = static_cast<double>(static_cast<float>(x));
        const double y = fdref::disp_root(xf);
        EXPECT_NEAR(K, y / xf, 2e-7 * y / xf) << "x = " << x;
        EXPECT_NEAR(wgcoef::AKNU, y / xf, 2e-7 * y / xf);
        for (int n = 1; n <= 5; ++n) {
            const double k = fdref::evan_root(xf, n) / xf;
            EXPECT_NEAR(wgcoef::EVK[n - 1], k, 2e-7 * k) << "x = " << x << " mode " << n;
        }
    }
    // Around the switch of the start value and of the correction step.
    for (double x : {2.0, 2.0001, 4.8, 4.8001, 15.0}) {
        float K;
        ASSERT_EQ(setup(x, &K), 0);
        const double y = fdref::disp_root(static_cast<float>(x));
        EXPECT_NEAR(K, y / static_cast<double>(static_cast<float>(x)), 2e-7 * y / x) << x;
    }
}

TEST_F(FiniteDepthSetup, IllegalDepthLeavesEverythingUntouched) {
    ASSERT_EQ(setup(1.0e-5), 0);
    ASSERT_EQ(setup(1.0e5), 0);
    ASSERT_EQ(setup(2.0), 0);
    const float a = wgcoef::AKNU, f1 = wgcoef::FITA[0];
    for (double x : {0.99e-5, 1.01e5}) {
        screen.str("");
        float K;
        EXPECT_EQ(setup(x, &K), 1);
        EXPECT_EQ(K, -7.0f);  // not written
        EXPECT_EQ(wgcoef::AKNU, a);
        EXPECT_EQ(wgcoef::FITA[0], f1);
        EXPECT_NE(screen.str().find("Error return in HGRN00: depth HBOT is illegal"), std::string::npos);
    }
    // Infinite depth or a zero period: K = nu, status not written.
    for (auto [hb, per] : {std::pair{-1.0f, 10.0f}, std::pair{50.0f, 1.0e-6f}}) {
        model::HBOT = hb;
        float nu = 0.3f, K = 0, p = per;
        int ierr = -5;
        HGRN00(nu, K, p, ierr);
        EXPECT_EQ(K, 0.3f);
        EXPECT_EQ(ierr, -5);
    }
}

// The documented example rows of the fits (independent of the generator).
TEST_F(FiniteDepthSetup, FittedOutputsMatchDocumentedRows) {
    const float c91[12] = {-0.007790899f, 0.05291051f, -0.16437614f, 0.31492943f, -0.4289696f, 0.4585377f,
                           -0.40592098f, 0.2986962f,  -0.18959238f, 0.01979601f, 0.48020336f, -1.0477645f};
    for (double x : {1.0, 1.4, 2.0}) {
        ASSERT_EQ(setup(x), 0);
        double p = 0, t = x - 1.0;
        for (float c : c91) p = p * t + static_cast<double>(c);
        EXPECT_NEAR(wgcoef::FITA[90], p, 2e-6) << x;
        // The same value from the reference integral: F(0, 0).
        EXPECT_NEAR(wgcoef::FITA[90], fdref::phi(x, 0, 0).f / x, 2e-6) << x;
    }
}

TEST_F(FiniteDepthSetup, FarFieldMatchesEigenfunctionSeries) {
    worst_seen = 0;
    for (double x : boundary_xs()) {
        ASSERT_EQ(setup(x), 0);
        const double K = wgcoef::AKNU;
        // K R on both sides of 3, and R just beyond h.
        for (double R : {1.0001 * x, 1.7 * x, 2.9 / K, 3.1 / K, 6.0 * x}) {
            if (R <= x) continue;
            for (auto [z, zeta] : {std::pair{0.0, 0.3 * x}, std::pair{0.8 * x, x}, std::pair{0.45 * x, 0.5 * x}}) {
                auto got = wgreenv1(static_cast<float>(R), static_cast<float>(z), static_cast<float>(zeta),
                                    static_cast<float>(x), 0, 0);
                expect_slots(got, john(x, R, z, zeta), 2e-5, true,
                             "x=" + std::to_string(x) + " R=" + std::to_string(R) + " z=" + std::to_string(z));
            }
        }
    }
    RecordProperty("worst_relative_deviation", std::to_string(worst_seen));
    std::printf("largest relative deviation %.2e\n", worst_seen);
}

TEST_F(FiniteDepthSetup, NearFieldMatchesPrincipalValueIntegrals) {
    worst_seen = 0;
    for (double x : boundary_xs()) {
        ASSERT_EQ(setup(x), 0);
        struct P {
            double R, z, zeta;
        };
        // d >= h (series of both separations) and d < h (infinite-depth part
        // plus remainder), including R = h and d = h.
        for (P p : {P{0.3, 0.7, 0.9}, P{1.0, 0.5, 0.5}, P{0.0, 0.55, 0.95}, P{0.6, 0.2, 0.5}, P{0.95, 0.05, 0.4},
                    P{0.1, 0.3, 0.3}}) {
            const double R = p.R * x, z = p.z * x, zeta = p.zeta * x;
            auto got = wgreenv1(static_cast<float>(R), static_cast<float>(z), static_cast<float>(zeta),
                                static_cast<float>(x), 0, 0);
            const Slots far = john(x, std::max(R, 1e-9), z, zeta);  // imaginary parts hold everywhere
            Slots ref = near_ref(x, R, z, zeta, true, true);
            for (int k = 0; k < 8; ++k) ref[k] = {ref[k].real(), far[k].imag()};
            // Scale: the largest slot, or the bottom image and the
            // separation-sum part when the total is a small difference.
            Slots parts{};
            addF(parts, x, R, 2.0 * x - z - zeta, -1.0, -1.0);
            double scale = 1.0 / std::sqrt(R * R + (2.0 * x - z - zeta) * (2.0 * x - z - zeta));
            for (auto v : parts) scale = std::max(scale, std::fabs(v.real()));
            expect_slots(got, ref, 2e-5, true,
                         "x=" + std::to_string(x) + " R/h=" + std::to_string(p.R) + " z/h=" + std::to_string(p.z),
                         scale);
        }
    }
    RecordProperty("worst_relative_deviation", std::to_string(worst_seen));
    std::printf("largest relative deviation %.2e\n", worst_seen);
}

// The correction kernel alone against F(R, z - zeta) + H(R, d).
TEST_F(FiniteDepthSetup, SmallDepthSumRemainder) {
    worst_seen = 0;
    for (double x : {1e-5, 0.01, 0.5, 1.5, 5.0, 13.0, 100.0}) {
        ASSERT_EQ(setup(x), 0);
        for (auto [Rh, zh, zetah] : {std::array{0.0, 0.0, 0.0}, std::array{0.5, 0.1, 0.3}, std::array{1.0, 0.45, 0.5}}) {
            float R = Rh * x, z = zh * x, zeta = zetah * x, a2 = 0.0f;
            cplx g[8] = {};
            int list = 1, n = 1;
            WGRK08(&R, a2, &z, &zeta, g, &list, n);
            Slots ref{};
            addF(ref, x, R, z - zeta, 1.0, -1.0);
            const auto q = fdref::psi(x, Rh, zh + zetah);
            const double x2 = x * x, x3 = x2 * x;
            const double hs[8] = {q.f / x,  q.fr / x2, q.fv / x2, q.frv / x3,
                                  q.fvv / x3, q.fvv / x3, q.fv / x2, q.frv / x3};
            Slots got;
            for (int k = 0; k < 8; ++k) {
                ref[k] += hs[k];
                got[k] = {g[k].real(), 0.0};
            }
            expect_slots(got, ref, 1.5e-5, false, "x=" + std::to_string(x));
        }
    }
    RecordProperty("worst_relative_deviation", std::to_string(worst_seen));
    std::printf("largest relative deviation %.2e\n", worst_seen);
}

TEST_F(FiniteDepthSetup, CodesAddAndRemoveTheRankineTerms) {
    ASSERT_EQ(setup(3.0), 0);
    struct P {
        float R, z, zeta;
    };
    for (P p : {P{4.0f, 1.0f, 2.0f}, P{1.0f, 2.0f, 2.5f}, P{1.0f, 0.5f, 0.5f}}) {
        const double d = p.z + p.zeta, h2 = 6.0;
        auto g0 = wgreenv1(p.R, p.z, p.zeta, 3.0f, 0, 0);
        auto g1 = wgreenv1(p.R, p.z, p.zeta, 3.0f, 1, 0);
        auto g0b = wgreenv1(p.R, p.z, p.zeta, 3.0f, 0, 1);
        Slots e1 = g1, eb = g0b;
        rank(e1, 1.0, p.R, p.z - p.zeta, 1.0, -1.0);
        rank(eb, 1.0, p.R, h2 - d, -1.0, -1.0);
        expect_slots(g0, e1, 1e-5, true, "code 1 + 1/r");
        expect_slots(g0, eb, 1e-5, true, "bottom code 1 + 1/r2");
        {  // code 3: without 1/r and 1/r1, with 2 ln(r1 + d) (logarithmic region when d < h)
            auto g3 = wgreenv1(p.R, p.z, p.zeta, 3.0f, 3, 0);
            Slots e3 = g0;
            const double R = p.R, r1 = std::sqrt(R * R + d * d), r3 = r1 * r1 * r1;
            rank(e3, -1.0, p.R, p.z - p.zeta, 1.0, -1.0);
            rank(e3, -1.0, p.R, d, 1.0, 1.0);
            const double lg[8] = {2.0 * std::log(r1 + d), 2.0 * R / (r1 * (r1 + d)), 2.0 / r1, -2.0 * R / r3,
                                  -2.0 * d / r3, -2.0 * d / r3, 2.0 / r1, -2.0 * R / r3};
            for (int k = 0; k < 8; ++k) e3[k] += lg[k];
            expect_slots(g3, e3, 2e-5, true, "code 3");
        }
        if (d >= 3.0 || p.R > 3.0f) {  // code 2 lacks 1/r1 as well
            auto g2 = wgreenv1(p.R, p.z, p.zeta, 3.0f, 2, 0);
            Slots e2 = g2;
            rank(e2, 1.0, p.R, d, 1.0, 1.0);
            expect_slots(g1, e2, 1e-5, true, "code 2 + 1/r1");
        }
    }
}

TEST_F(FiniteDepthSetup, DeepWaterAgreesWithInfiniteDepth) {
    ASSERT_EQ(setup(1000.0), 0);
    struct P {
        float R, z, zeta;
        int code;
    };
    for (P p : {P{0.5f, 1.0f, 1.0f, 0}, P{2.0f, 0.1f, 0.3f, 1}, P{5.0f, 2.0f, 3.0f, 2}, P{1.0f, 0.5f, 0.5f, 3}}) {
        auto fd = wgreenv1(p.R, p.z, p.zeta, 1000.0f, p.code, 1);
        auto id = wgreenv1(p.R, p.z, p.zeta, -1.0f, p.code, 0);
        // The bottom is felt as corrections of order 1/h.
        for (int k = 0; k < 8; ++k) {
            EXPECT_NEAR(fd[k].real(), id[k].real(), 2e-3 + 1e-4 * std::fabs(id[k].real())) << k;
            EXPECT_NEAR(fd[k].imag(), id[k].imag(), 1e-4 * (1.0 + std::fabs(id[k].imag()))) << k;
        }
    }
}

TEST_F(FiniteDepthSetup, RegionTiesGoToTheFirstNamedSide) {
    ASSERT_EQ(setup(10.0), 0);
    const float T = 3.0f / wgcoef::AKNU;
    struct Case {
        float R, z, zeta;
        int list;  // 0-based index of the work list expected to hold the pair
        const char* what;
    };
    // Lists: 0 = K R <= 3, 1 = K R > 3, 3 = R > h, 4 = R <= h and d >= h.
    for (Case c : {Case{10.0f, 2.0f, 3.0f, 7, "R = h is near"},
                   Case{10.0001f, 2.0f, 3.0f, 3, "R just above h is far"},
                   Case{5.0f, 4.0f, 6.0f, 4, "d = h goes to the near-field series"},
                   Case{T, 1.0f, 1.0f, 0, "K R = 3 takes the small-argument form"}}) {
        std::vector<int> L(14, 0);
        cplx g[8];
        int code = 0, bot = 0, n = 1;
        float a = 0.0f, h = 10.0f, R = c.R, z = c.z, zeta = c.zeta;
        WGREENV(&R, a, &z, &zeta, h, g, &code, &bot, n, &L[0], &L[1], &L[2], &L[3], &L[4], &L[5], &L[6], &L[7],
                &L[8], &L[9], &L[10], &L[11], &L[12], &L[13]);
        EXPECT_EQ(L[c.list], 1) << c.what;
    }
    // R = T: not in the large-argument list.
    {
        std::vector<int> L(14, 0);
        cplx g[8];
        int code = 0, bot = 0, n = 1;
        float a = 0.0f, h = 10.0f, R = T, z = 1.0f, zeta = 1.0f;
        WGREENV(&R, a, &z, &zeta, h, g, &code, &bot, n, &L[0], &L[1], &L[2], &L[3], &L[4], &L[5], &L[6], &L[7],
                &L[8], &L[9], &L[10], &L[11], &L[12], &L[13]);
        EXPECT_EQ(L[1], 0);
    }
}

// FDGRNSC: the series (R <= h) and the channel modes (R > h) meet at R = h.
TEST(FdGrnSc, BranchesAgreeAtOneDepth) {
    const float h = 2.0f;
    for (int row : {1, 2})
        for (auto [z, zeta] : {std::pair{0.3f, 1.1f}, std::pair{1.5f, 1.9f}, std::pair{0.0f, 0.7f}})
            for (int fa : {0, 1, 2})
                for (int fb : {0, 1}) {
                    cplx a[8], b[8];
                    float R1 = h, R2 = h * (1.0f + 1e-6f);
                    FDGRNSC(R1, z, zeta, h, a, fa, fb, row);
                    FDGRNSC(R2, z, zeta, h, b, fa, fb, row);
                    double m = 0;
                    for (int k = 0; k < 8; ++k) m = std::max(m, static_cast<double>(std::fabs(a[k].real())));
                    for (int k = 0; k < 8; ++k) {
                        EXPECT_NEAR(a[k].real(), b[k].real(), 2e-5 * m)
                            << "row " << row << " z " << z << " flags " << fa << fb << " slot " << k + 1;
                        EXPECT_EQ(a[k].imag(), 0.0f);
                    }
                }
}

TEST(FdGrnSc, InfiniteDepthImages) {
    float R = 1.0f, z = 0.5f, zeta = 1.5f, h = -1.0f;
    for (int row : {1, 2}) {
        cplx g[8];
        FDGRNSC(R, z, zeta, h, g, 0, 0, row);
        const double f = row == 1 ? 1.0 : -1.0;
        EXPECT_NEAR(g[0].real(), 1.0 / std::sqrt(2.0) + f / std::sqrt(5.0), 1e-6);
        FDGRNSC(R, z, zeta, h, g, 2, 0, row);
        for (int k = 0; k < 8; ++k) EXPECT_EQ(g[k], cplx(0.0f, 0.0f));
    }
}

}  // namespace
}  // namespace zorva
