// Physical relations of the FORCE results on a floating box and a faceted
// hemisphere, with potentials from the reference panel solver: symmetric
// added mass and damping, damping positive semi-definite, the Haskind and
// pressure-integration exciting forces in agreement, damping and exciting
// forces related by energy, motions in long waves, and the momentum drift.
#include <gtest/gtest.h>

#include "tests/force/forcefix.hpp"
#include "tests/force/refsolver.hpp"
#include "tests/force/relations.hpp"

namespace zorva {
namespace {

using test::cd;
using test::ForceTest;
using test::RPanel;
using test::check_relations;

struct Body {
    double vol, zb, awp, ixx, iyy;  // volume, centre of buoyancy, waterplane area and its moments
    double kxx, kyy, kzz, zg;       // radii of gyration, centre of gravity
};

// The shared FORCE data of one period for the panels, with the potentials
// of the reference solver for every mode and heading.
void solve_period(const std::vector<RPanel>& pans, const Body& b, double nu, const std::vector<float>& beta,
                  int ioptn8) {
    std::vector<test::Pan> fp;
    for (const auto& p : pans)
        fp.push_back({{static_cast<float>(p.c[0]), static_cast<float>(p.c[1]), static_cast<float>(p.c[2])},
                      {static_cast<float>(p.n[0]), static_cast<float>(p.n[1]), static_cast<float>(p.n[2])},
                      static_cast<float>(p.area)});
    const float fnu = static_cast<float>(nu);
    ForceTest::model1(fp, beta, static_cast<float>(2.0 * M_PI / std::sqrt(nu * 9.80665)), fnu,
                      {0, 1, 1, 1, 1, 0, 0, 0, ioptn8, 0});
    const int ne = static_cast<int>(pans.size());
    test::RefSolver sol(pans, nu);
    for (int m = 1; m <= 6; ++m) {
        std::vector<cd> vn(static_cast<std::size_t>(ne));
        for (int i = 1; i <= ne; ++i) vn[static_cast<std::size_t>(i - 1)] = pnl::VNMODE(m, i);
        const auto phi = sol.solve(vn);
        for (int i = 1; i <= ne; ++i) frc::RADPOT(i, m) = phi[static_cast<std::size_t>(i - 1)];
    }
    for (int j = 1; j <= model::NBETA; ++j) {
        const double bj = static_cast<double>(beta[static_cast<std::size_t>(j - 1)]) * M_PI / 180.0;
        std::vector<cd> vn(static_cast<std::size_t>(ne)), p0(vn);
        for (int i = 0; i < ne; ++i) {
            const auto& p = pans[static_cast<std::size_t>(i)];
            const cd w = std::exp(nu * p.c[2]) * std::exp(cd(0.0, -nu * (p.c[0] * std::cos(bj) + p.c[1] * std::sin(bj))));
            const cd dn = (cd(0.0, -nu) * (std::cos(bj) * p.n[0] + std::sin(bj) * p.n[1]) + nu * p.n[2]) * w;
            vn[static_cast<std::size_t>(i)] = -dn;
            p0[static_cast<std::size_t>(i)] = w;
        }
        const auto phs = sol.solve(vn);
        for (int i = 1; i <= ne; ++i)
            frc::DIFPOT(i, j, 1) = phs[static_cast<std::size_t>(i - 1)] +
                                   cplx(static_cast<float>(p0[static_cast<std::size_t>(i - 1)].real()),
                                        static_cast<float>(p0[static_cast<std::size_t>(i - 1)].imag()));
    }
    // Freely floating: mass of the displacement, restoring of the waterplane
    // and of the centres of buoyancy and gravity.
    auto& E = frc::EXTMATND;
    const float v = static_cast<float>(b.vol), zg = static_cast<float>(b.zg);
    E(1, 1, 1) = E(1, 2, 2) = E(1, 3, 3) = v;
    E(1, 1, 5) = E(1, 5, 1) = v * zg;
    E(1, 2, 4) = E(1, 4, 2) = -v * zg;
    E(1, 4, 4) = static_cast<float>(b.vol * b.kxx * b.kxx);
    E(1, 5, 5) = static_cast<float>(b.vol * b.kyy * b.kyy);
    E(1, 6, 6) = static_cast<float>(b.vol * b.kzz * b.kzz);
    pnl::CHYD(3, 3) = static_cast<float>(b.awp);
    pnl::CHYD(4, 4) = static_cast<float>(b.vol * (b.zb - b.zg) + b.ixx);
    pnl::CHYD(5, 5) = static_cast<float>(b.vol * (b.zb - b.zg) + b.iyy);

    const float K = fnu, per = model::PER(1);
    AMDPINT();
    EXFHASK(fnu, K);
    FRCACC();
    int ierr = 0;
    RAOSOL(fnu, per, frc::FEXH, ierr);
    ASSERT_EQ(ierr, 0);
    if (ioptn8 > 0) MOMDRIFT(fnu, K, ioptn8);
}

std::vector<float> headings(int n) {
    std::vector<float> b;
    for (int j = 0; j < n; ++j) b.push_back(360.0f * static_cast<float>(j) / static_cast<float>(n));
    return b;
}

TEST_F(ForceTest, FloatingBox) {
    const auto pans = test::box(2.0, 1.0, 0.5, 8, 4, 2);
    const Body b = {1.0, -0.25, 2.0, 2.0 / 12.0, 8.0 / 12.0, 0.35, 0.5, 0.5, -0.4};
    solve_period(pans, b, 0.8, headings(36), 1);
    check_relations(0.8);
    // Drift along the wave, none across it for head and following seas.
    for (int j : {1, 19}) {
        const float dx = frc::DRIFTM(1, j).real() * static_cast<float>(model::COSBETA(j));
        EXPECT_GE(dx, 0.0f) << j;
        EXPECT_NEAR(std::abs(frc::DRIFTM(2, j)), 0.0f, 2e-3f * std::abs(frc::DRIFTM(1, j))) << j;
        EXPECT_NEAR(std::abs(frc::DRIFTM(3, j)), 0.0f, 2e-3f * std::abs(frc::DRIFTM(1, j))) << j;
    }
    // In beam seas the drift is along y and not negative.
    EXPECT_GE(frc::DRIFTM(2, 10).real(), 0.0f);
    EXPECT_NEAR(frc::DRIFTM(1, 10).real(), 0.0f, 2e-3f * std::abs(frc::DRIFTM(2, 10)));
}

TEST_F(ForceTest, FacetedHemisphere) {
    const auto pans = test::hemisphere(1.0, 6, 16);
    const double v = 2.0 * M_PI / 3.0;
    const Body b = {v, -0.375, M_PI, M_PI / 4.0, M_PI / 4.0, 0.6, 0.6, 0.6, -0.5};
    solve_period(pans, b, 0.6, headings(36), 1);
    check_relations(0.6);
    for (int j = 1; j <= 36; j += 5) {
        const double bj = static_cast<double>(model::BETA(j)) * M_PI / 180.0;
        const cplx d(frc::DRIFTM(1, j).real(), frc::DRIFTM(2, j).real());
        const double along = static_cast<double>(d.real()) * std::cos(bj) + static_cast<double>(d.imag()) * std::sin(bj);
        const double across = -static_cast<double>(d.real()) * std::sin(bj) + static_cast<double>(d.imag()) * std::cos(bj);
        EXPECT_GT(along, 0.0) << j;
        EXPECT_NEAR(across, 0.0, 0.02 * along) << j;
    }
}

TEST_F(ForceTest, BoxMotionsInLongWaves) {
    const auto pans = test::box(2.0, 1.0, 0.5, 8, 4, 2);
    const Body b = {1.0, -0.25, 2.0, 2.0 / 12.0, 8.0 / 12.0, 0.35, 0.5, 0.5, -0.4};
    const double nu = 0.01;
    solve_period(pans, b, nu, {0.0f}, 0);
    EXPECT_NEAR(std::abs(frc::RAO(3, 1)), 1.0f, 0.05f);
    EXPECT_NEAR(std::abs(frc::RAO(1, 1)), 1.0f, 0.1f);
    EXPECT_NEAR(static_cast<double>(std::abs(frc::RAO(5, 1))) / nu, 1.0, 0.1);
    EXPECT_NEAR(std::abs(frc::RAO(2, 1)), 0.0f, 0.01f);
}

}  // namespace
}  // namespace zorva
