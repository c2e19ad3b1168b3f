#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "main/symmetry.hpp"
#include "solver/rankin.hpp"
#include "solver/scrstore.hpp"
#include "tests/kernels/hofix.hpp"

using namespace zorva;

namespace {

class RankinHi : public test::HoKernelTest {
protected:
    // The quarter of a floating hemisphere (x, y >= 0) as one patch; with
    // WHOLE its four mirror images as four patches of an unsymmetric run.
    void hemisphere(bool whole) {
        user({"HEMISPHERE 1.0", "SYMMETRY 1 1"}, 1);
        if (whole) {
            using namespace model;
            NPATCHT = NPATCHLIM = 4;
            for (auto* a : {&IPRL, &IPREF, &ITRIM, &IBPTH, &IFSPAT, &ITANK, &IDIPWM}) a->allocate(4);
            for (int p = 1; p <= 4; ++p) IPRL(p) = 1, IPREF(p) = p, IBPTH(p) = 1;
        }
        symmetry(whole ? 0 : 1);
        spline(3, 2, 3, 4);
    }
    // Symmetry tables: none, or both planes (four images and components).
    static void symmetry(int isxy) {
        const sym::SymCase& c = sym::symcase(isxy, isxy);
        sym::NIMAGE = c.nimage;
        for (int g = 1; g <= c.nimage; ++g) sym::IMAGEID[g] = c.imageid[g - 1];
        sym::NSYMC = c.nsymf;
        sym::IMODSC.allocate(6, 4);
        sym::IMODPOS.allocate(6);
        int pos = 0, r = 0;
        for (int k = 1; k <= c.nsymf; ++k) {
            sym::ISYMC[k] = c.isymf[k - 1];
            sym::NMODSC[k] = c.nrig[k - 1];
            for (int l = 1; l <= c.nrig[k - 1]; ++l) {
                const int m = c.mrig[r++];
                sym::IMODSC(l, k) = m;
                sym::IMODPOS(m) = ++pos;
            }
        }
        sym::NSOLC = pos;
    }
    // All records of a store unit.
    static std::vector<std::vector<float>> records(int unit) {
        std::vector<std::vector<float>> out;
        EXPECT_EQ(slv::SCRREWIND(unit), 0);
        std::vector<char> b;
        while (slv::scr_read(unit, b) == 0) {
            out.emplace_back(b.size() / sizeof(float));
            std::memcpy(out.back().data(), b.data(), b.size());
        }
        return out;
    }
    int rankin(int neqn, int irad) {
        cfg::ILOWHI = 1;
        int ierr = -1;
        RANKIN(neqn, irad, ierr);
        return ierr;
    }
};

// The quarter hemisphere with four images gives, per symmetry component, the
// sign-weighted sum of the whole body's coefficients over the four mirror
// copies; its source vector is the whole body's for every mode.
TEST_F(RankinHi, QuarterBodyRecombinesToTheWholeBody) {
    hemisphere(false);
    ASSERT_EQ(rankin(16, 0), 0);
    const auto q23 = records(23), q24 = records(24);
    const std::vector<int> ids(sym::ISYMC.begin() + 1, sym::ISYMC.begin() + 5);
    std::vector<int> pos(7);
    for (int m = 1; m <= 6; ++m) pos[m] = sym::IMODPOS(m);
    test::reset_modules();
    hemisphere(true);
    ASSERT_EQ(rankin(64, 0), 0);
    const auto w23 = records(23), w24 = records(24);
    ASSERT_EQ(q23.size(), 4u);         // NBV records of the one patch
    ASSERT_EQ(w23.size(), 16u);        // four patches
    ASSERT_EQ(q23[0].size(), 16u * 4 * 4);  // NEQN x NBU x NSYMC
    ASSERT_EQ(w23[0].size(), 64u * 4);
    double big = 0;
    for (const auto& r : w23)
        for (float v : r) big = std::max(big, double(std::fabs(v)));
    for (int j = 0; j < 4; ++j)
        for (int k = 0; k < 4; ++k)
            for (int i = 0; i < 4; ++i)
                for (int n = 0; n < 16; ++n) {
                    double want = 0;
                    for (int g = 1; g <= 4; ++g)
                        want += sym::ISIGMA(ids[k], g) * static_cast<double>(w23[j][static_cast<std::size_t>((g - 1) * 16 + n + 64 * i)]);
                    EXPECT_NEAR(q23[j][n + 16 * (i + 4 * k)], want, 2e-4 * big) << j << " " << k << " " << i << " " << n;
                }
    ASSERT_EQ(q24.size(), 1u);
    ASSERT_EQ(w24.size(), 1u);
    ASSERT_EQ(q24[0].size(), 16u * 6);
    for (int m = 1; m <= 6; ++m)
        for (int n = 0; n < 16; ++n)
            EXPECT_NEAR(q24[0][n + 16 * (pos[m] - 1)], w24[0][n + 64 * (m - 1)], 2e-4) << m << " " << n;
}

// Record counts and sizes: one v-span writes all KV slots at once; ILOG = 1
// follows every dipole record by its logarithmic record, and the source
// record by its own; IRAD = -1 writes no source record.
TEST_F(RankinHi, RecordLayout) {
    flat({test::Affine{{0, 0, -1}, {0.5, 0, 0}, {0, 0.5, 0}}});
    symmetry(0);
    spline(3, 1, 2, 2);
    for (int ilog : {0, 1})
        for (int irad : {-1, 0}) {
            SCOPED_TRACE(ilog * 10 + irad);
            cfg::ILOG = ilog;
            ASSERT_EQ(rankin(9, irad), 0);
            const auto r23 = records(23);
            ASSERT_EQ(r23.size(), 3u * (ilog + 1));
            for (const auto& r : r23) EXPECT_EQ(r.size(), 9u * 3);
            EXPECT_EQ(slv::scr_records(24), irad < 0 ? 0 : ilog + 1);
            if (irad >= 0) {
                EXPECT_EQ(records(24)[0].size(), 9u * 6);
            }
            slv::store_reset();
        }
}

// Patches of different tanks do not see each other.
TEST_F(RankinHi, DifferentTanksGiveZeroCoefficients) {
    flat({test::Affine{{0, 0, -1}, {0.5, 0, 0}, {0, 0.5, 0}}, test::Affine{{1.5, 0, -1}, {0.5, 0, 0}, {0, 0.5, 0}}});
    model::ITANK(2) = 1;
    cfg::NTANKS = 1;
    cfg::ZTANKFS.allocate(1), cfg::ITANKB.allocate(1), cfg::ITANKB(1) = 1;
    symmetry(0);
    spline(2, 1, 2, 2);
    ASSERT_EQ(rankin(8, 0), 0);
    const auto r23 = records(23), r24 = records(24);
    ASSERT_EQ(r23.size(), 4u);
    for (int p = 0; p < 2; ++p)
        for (int j = 0; j < 2; ++j)
            for (int i = 0; i < 2; ++i)
                for (int n = 0; n < 8; ++n) {
                    const float v = r23[2 * p + j][n + 8 * i];
                    if (n / 4 != p) EXPECT_EQ(v, 0.0f) << p << j << i << n;
                    else if (n % 4 == 2 * j + i) {
                        EXPECT_GT(std::fabs(v), 1.0f);  // the free term at least
                    }
                }
}

}  // namespace

namespace {

// Two coplanar flat patches of different orders and span counts, deep
// below the surface: the direct part of the dipole matrix (the record of
// unit 23 plus half the image-sign correction of unit 25) is the free term
// times the mass of the test functions (tested in the parameter plane), so
// that each column sums over the unknowns of its own patch to 2 pi times the
// integrals of its B-splines, (t(i+K) - t(i)) / K in u and in v, and the
// other patch adds nothing.
TEST_F(RankinHi, MixedOrdersGiveTheFreeTermTimesTheBasisIntegrals) {
    const test::Affine P1{{0, 0, -4}, {0.5, 0, 0}, {0, 0.4, 0}}, P2{{1.5, 0.2, -4}, {0.6, 0, 0}, {0, 0.5, 0}};
    flat({P1, P2});
    symmetry(0);
    spline({2, 3}, {1, 2}, 2, 3);
    model::IPERSPC = 1;
    const int n1 = 4, n2 = 16;  // (N + K - 1)^2 unknowns
    ASSERT_EQ(rankin(n1 + n2, -1), 0);
    const auto d = records(23), c = records(25);
    ASSERT_EQ(d.size(), 2u + 4u);
    ASSERT_EQ(c.size(), d.size());
    int r = 0;
    for (int p = 1; p <= 2; ++p) {
        const int K = model::KU(p), nb = model::NBU(p), off = p == 1 ? 0 : n1, nown = nb * nb;
        const float* t = &model::HOTAB1(1, p);
        for (int j = 1; j <= nb; ++j, ++r) {
            ASSERT_EQ(d[r].size(), static_cast<std::size_t>((n1 + n2) * nb));
            for (int i = 1; i <= nb; ++i) {
                double own = 0, other = 0;
                for (int n = 0; n < n1 + n2; ++n) {
                    const std::size_t e = static_cast<std::size_t>(n + (n1 + n2) * (i - 1));
                    const double v = static_cast<double>(d[r][e]) + 0.5 * static_cast<double>(c[r][e]);
                    (n >= off && n < off + nown ? own : other) += v;
                    if (!(n >= off && n < off + nown)) {
                        EXPECT_NEAR(v, 0.0, 1e-4);
                    }
                }
                const double bi = (t[i + K - 1] - t[i - 1]) / K, bj = (t[j + K - 1] - t[j - 1]) / K;
                EXPECT_NEAR(own, 6.283185307 * bi * bj, 2e-3 * 6.283185307 * bi * bj)
                    << p << " " << i << " " << j;
            }
        }
    }
}

}  // namespace

namespace {

// Two bodies, the second turned by 30 degrees and moved (also vertically),
// give the coefficients of one body holding both patches where the second
// body puts its patch, in finite depth.
TEST_F(RankinHi, SecondBodyMovedAndTurnedEqualsOneBody) {
    const test::Affine P1{{0, 0, -0.8}, {0.5, 0, 0.1}, {0, 0.4, 0}}, P2{{0.2, -0.1, -0.6}, {0.3, 0.1, 0}, {0, 0.5, 0.1}};
    const double th = 30.0 * 3.14159265358979 / 180, c = std::cos(th), s = std::sin(th);
    const test::D3 off = {1.4, 0.5, -0.3};
    auto turn = [&](const test::D3& v) { return test::D3{c * v[0] - s * v[1], s * v[0] + c * v[1], v[2]}; };
    const test::D3 o = turn(P2.O);
    const test::Affine Q{{o[0] + off[0], o[1] + off[1], o[2] + off[2]}, turn(P2.A), turn(P2.B)};
    model::HBOT = 4.0f;
    flat({P1, Q});
    symmetry(0);
    spline(3, 2, 2, 3);
    ASSERT_EQ(rankin(2 * 16, -1), 0);
    const auto one = records(23);
    test::reset_modules();

    model::HBOT = 4.0f;
    flat({P1, P2}, 2, {1, 2});
    for (int d = 1; d <= 3; ++d) cfg::XBODY(d, 2) = float(off[d - 1]);
    model::CSPHIB(1, 2) = float(c), model::CSPHIB(2, 2) = float(s);
    symmetry(0);
    spline(3, 2, 2, 3);
    model::ZBDYFS(2) = -float(off[2]);  // the sea surface in the second body's axes
    ASSERT_EQ(rankin(2 * 16, -1), 0);
    const auto two = records(23);
    ASSERT_EQ(one.size(), 8u);
    ASSERT_EQ(two.size(), one.size());
    double big = 0;
    for (const auto& r : one)
        for (float v : r) big = std::max(big, double(std::fabs(v)));
    for (std::size_t r = 0; r < one.size(); ++r)
        for (std::size_t e = 0; e < one[r].size(); ++e) EXPECT_NEAR(two[r][e], one[r][e], 2e-4 * big) << r << " " << e;
}

}  // namespace
