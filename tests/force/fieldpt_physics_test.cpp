// The field-point values from the bodies' potentials (Green's
// representation over the panels) on a faceted hemisphere with potentials
// from the reference panel solver: just outside a panel they reproduce the
// panel's own potential, and far from the body only the incident wave is
// left.
#include <gtest/gtest.h>

#include <cmath>

#include "force/fieldpt.hpp"
#include "panels/geom.hpp"
#include "tests/force/forcefix.hpp"
#include "tests/force/refsolver.hpp"

namespace zorva {
namespace {

using test::cd;
using test::ForceTest;
using test::RPanel;

TEST_F(ForceTest, FieldPointsNearAndFarFromAHemisphere) {
    const double nu = 0.5;
    const auto pans = test::hemisphere(1.0, 6, 16);
    const int ne = static_cast<int>(pans.size());
    std::vector<test::Pan> fp;
    for (const auto& p : pans)
        fp.push_back({{static_cast<float>(p.c[0]), static_cast<float>(p.c[1]), static_cast<float>(p.c[2])},
                      {static_cast<float>(p.n[0]), static_cast<float>(p.n[1]), static_cast<float>(p.n[2])},
                      static_cast<float>(p.area)});
    model1(fp, {0.0f}, 8.0f, static_cast<float>(nu), {0, 0, 0, 0, 0, 0, 1, 1, 0, 0});
    model::WNUMK(1) = static_cast<float>(nu);
    // The panel tables of the geometry step, vertices ordered for the normal
    // into the body.
    pnl::PNLARR3.allocate(2, ne);
    pnl::PNLARR4.allocate(4, ne);
    pnl::PNLARR5.allocate(4, ne);
    pnl::PNLARR6.allocate(4, ne);
    for (int i = 1; i <= ne; ++i) {
        const auto& p = pans[static_cast<std::size_t>(i - 1)];
        float X[12], XC[3], AX[9], XI[4], ETA[4], PROP[13], SIDE[4], XG[12], WG[4], DIAM[2];
        auto fill = [&](bool rev) {
            for (int k = 0; k < 4; ++k)
                for (int c = 0; c < 3; ++c)
                    X[c * 4 + k] = static_cast<float>(p.v[static_cast<std::size_t>(rev ? (4 - k) % 4 : k)][static_cast<std::size_t>(c)]);
        };
        int ierr = 0;
        fill(false);
        PANEL(X, XC, AX, XI, ETA, PROP, SIDE, XG, WG, 0, DIAM, i, 0, ierr);
        if (AX[2] * fp[static_cast<std::size_t>(i - 1)].n[0] + AX[5] * fp[static_cast<std::size_t>(i - 1)].n[1] +
                AX[8] * fp[static_cast<std::size_t>(i - 1)].n[2] < 0.0f) {
            fill(true);
            PANEL(X, XC, AX, XI, ETA, PROP, SIDE, XG, WG, 0, DIAM, i, 0, ierr);
        }
        ASSERT_EQ(ierr, 0);
        for (int c = 1; c <= 3; ++c)
            for (int a = 1; a <= 3; ++a) pnl::PAXES(a, c, i) = AX[(c - 1) * 3 + a - 1];
        for (int k = 1; k <= 4; ++k) {
            pnl::PNLARR6(k, i) = XI[k - 1];
            pnl::PNLARR5(k, i) = ETA[k - 1];
            pnl::PNLARR4(k, i) = SIDE[k - 1];
        }
        pnl::PNLARR3(1, i) = DIAM[0];
        pnl::PNLARR3(2, i) = DIAM[1];
    }
    model::ITANK.allocate(ne);
    model::ITANK.fill(0);
    sym::ISYMC[1] = sym::ISYMF[1] = 1;
    sym::NIMAGE = 1;
    sym::IMAGEID[1] = 1;

    // Heave radiation and head-sea diffraction (total potential).
    test::RefSolver sol(pans, nu);
    {
        std::vector<cd> vn(static_cast<std::size_t>(ne));
        for (int i = 1; i <= ne; ++i) vn[static_cast<std::size_t>(i - 1)] = pnl::VNMODE(3, i);
        const auto phi = sol.solve(vn);
        for (int i = 1; i <= ne; ++i) frc::RADPOT(i, 3) = phi[static_cast<std::size_t>(i - 1)];
    }
    {
        std::vector<cd> vn(static_cast<std::size_t>(ne)), p0(vn);
        for (int i = 0; i < ne; ++i) {
            const auto& p = pans[static_cast<std::size_t>(i)];
            const cd w = std::exp(nu * p.c[2]) * std::exp(cd(0.0, -nu * p.c[0]));
            vn[static_cast<std::size_t>(i)] = -(cd(0.0, -nu) * p.n[0] + nu * p.n[2]) * w;
            p0[static_cast<std::size_t>(i)] = w;
        }
        const auto phs = sol.solve(vn);
        for (int i = 1; i <= ne; ++i) {
            const cd t = cd(phs[static_cast<std::size_t>(i - 1)]) + p0[static_cast<std::size_t>(i - 1)];
            frc::DIFPOT(i, 1, 1) = cplx(static_cast<float>(t.real()), static_cast<float>(t.imag()));
        }
    }

    // Points: just outside a side panel (0.05 along its normal), and 40
    // radii away.
    const int k = 3 * 16 + 5;
    const float d = 0.05f;
    using namespace frc;
    NFIELD = 2;
    XFIELD.allocate(3, 2);
    IFPTANK.allocate(2);
    IFPTANK.fill(0);
    for (int c = 1; c <= 3; ++c) XFIELD(c, 1) = pnl::PCENT(c, k) - d * pnl::PAXES(3, c, k);
    XFIELD(1, 2) = 40.0f;
    XFIELD(2, 2) = 0.0f;
    XFIELD(3, 2) = -0.5f;
    PTOTF.allocate(2, 1);
    PDIFF.allocate(2, 1);
    PRADF.allocate(2, 6);
    VTOTF.allocate(3, 2, 1);
    VDIFF.allocate(3, 2, 1);
    VRADF.allocate(3, 2, 6);
    int ierr = 0;
    FIELDPT(static_cast<float>(nu), static_cast<float>(nu), &sym::NSYMRHS[1], 0, ierr);
    ASSERT_EQ(ierr, 0);
    // Near the panel: its potential, moved along the normal by the normal
    // velocity (0 for the total diffraction potential, the heave normal
    // for the heave radiation), times the frequency factor for radiation.
    EXPECT_LT(std::abs(PDIFF(1, 1) - DIFPOT(k, 1, 1)), 0.02f * std::abs(DIFPOT(k, 1, 1)));
    const cplx rad = static_cast<float>(nu) * (RADPOT(k, 3) - d * pnl::VNMODE(3, k));
    EXPECT_LT(std::abs(PRADF(1, 3) - rad), 0.03f * std::abs(rad));
    const float inc = std::exp(static_cast<float>(nu) * -0.5f);
    EXPECT_NEAR(std::abs(PDIFF(2, 1)), inc, 0.03f * inc);
}

}  // namespace
}  // namespace zorva
