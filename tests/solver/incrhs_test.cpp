// Incident wave, incident-wave right-hand sides and the adjustments after
// the solution.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>

#include "geometry/model.hpp"
#include "main/config.hpp"
#include "main/drivers/drivers.hpp"
#include "main/runparams.hpp"
#include "main/symmetry.hpp"
#include "panels/geomdata.hpp"
#include "panels/paneldata.hpp"
#include "solver/incrhs.hpp"
#include "solver/matrices.hpp"
#include "solver/incwave.hpp"

namespace zorva {
namespace {

using cd = std::complex<double>;

struct WaveCase {
    double K, h, beta;
    double x, y, z;
    int walls;
};

// Reference in double precision: the whole wave F Z(z) exp(-i K (x cos b +
// y sin b)) and its gradient, with Z = exp(Kz) or cosh K(z+h) / cosh Kh.
void reference(const WaveCase& c, cd& phi, cd grad[3]) {
    const double F = c.walls == 0 ? 1 : c.walls == 1 ? 2 : 4;
    double Z, Zz;
    if (c.h < 0) {
        Z = F * std::exp(c.K * c.z);
        Zz = c.K * Z;
    } else {
        Z = F * std::cosh(c.K * (c.z + c.h)) / std::cosh(c.K * c.h);
        Zz = F * c.K * std::sinh(c.K * (c.z + c.h)) / std::cosh(c.K * c.h);
    }
    const double kx = c.K * std::cos(c.beta), ky = c.K * std::sin(c.beta);
    const cd e = std::exp(cd(0, -(kx * c.x + ky * c.y)));
    phi = Z * e;
    grad[0] = cd(0, -kx) * Z * e;
    grad[1] = cd(0, -ky) * Z * e;
    grad[2] = Zz * e;
}

TEST(IncidentWave, PartsSumToTheWaveAndHaveTheirParity) {
    const WaveCase cases[] = {
        {0.8, -1, 0.3, 1.2, -0.7, -0.4, 0},  {0.8, -1, 2.5, -3.0, 2.0, -2.0, 1},
        {1.5, 2.0, 1.1, 0.4, 0.9, -1.3, 2},  {0.05, 30.0, -0.6, 10.0, 4.0, -5.0, 0},
        {0.0, 3.0, 0.7, 1.0, 1.0, -1.0, 0},  {0.3, -1, 0.0, 0.0, 0.0, 0.5, 0},  // above z = 0: not clamped
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "K " << c.K << " h " << c.h << " walls " << c.walls);
        cfg::IWALLX0 = c.walls >= 1 ? 1 : 0;
        cfg::IWALLY0 = c.walls >= 2 ? 1 : 0;
        model::HBOT = static_cast<float>(c.h);
        cd phi, grad[3];
        reference(c, phi, grad);
        const float K = static_cast<float>(c.K), sb = static_cast<float>(std::sin(c.beta)),
                    cb = static_cast<float>(std::cos(c.beta));
        const float X[3] = {static_cast<float>(c.x), static_cast<float>(c.y), static_cast<float>(c.z)};
        IncWave W;
        INCWAVE(K, sb, cb, X, 1, W);
        cd sum = 0, gsum[3] = {0, 0, 0};
        for (int p = 1; p <= 4; ++p) {
            sum += cd(W.PHIINC[p]);
            for (int d = 0; d < 3; ++d) gsum[d] += cd(W.GRADINC[p][d + 1]);
        }
        const double tol = 2e-6 * std::max(1.0, std::abs(phi)) * std::max(1.0, c.K * (std::abs(c.x) + std::abs(c.y)));
        EXPECT_NEAR(std::abs(sum - phi), 0.0, tol);
        for (int d = 0; d < 3; ++d) EXPECT_NEAR(std::abs(gsum[d] - grad[d]), 0.0, tol * std::max(1.0, c.K));
        // Part p at the mirrored point: parts 2, 3 odd in x; parts 3, 4 odd in y.
        cplx at[5];
        for (int p = 1; p <= 4; ++p) at[p] = W.PHIINC[p];
        const float Xm[3] = {-X[0], -X[1], X[2]};
        INCWAVE(K, sb, cb, Xm, 0, W);
        const float sgn[5] = {0, 1, -1, 1, -1};  // at (-x, -y)
        for (int p = 1; p <= 4; ++p)
            EXPECT_NEAR(std::abs(W.PHIINC[p] - sgn[p] * at[p]), 0.0f, 1e-5f) << p;
    }
}

TEST(IncidentWave, DeepPointIsClampedAndGradientKeptWithoutRequest) {
    cfg::IWALLX0 = cfg::IWALLY0 = 0;
    model::HBOT = -1.0f;
    const float K = 1.0f, sb = 0.0f, cb = 1.0f;
    const float X[3] = {0.0f, 0.0f, -100.0f};
    IncWave W;
    INCWAVE(K, sb, cb, X, 1, W);
    EXPECT_FLOAT_EQ(W.PHIINC[1].real(), std::exp(-30.0f));
    const cplx g = W.GRADINC[1][3];
    const float Y[3] = {0.0f, 0.0f, -1.0f};
    INCWAVE(K, sb, cb, Y, 0, W);
    EXPECT_EQ(W.GRADINC[1][3], g);
    EXPECT_FLOAT_EQ(W.PHIINC[1].real(), std::exp(-1.0f));
}

class RightHandSides : public ::testing::Test {
protected:
    // Three panels in a row: two of body 1, one of body 2, one heading
    // (beta = 0.4), no symmetry.
    void SetUp() override {
        cfg::reset();
        model::reset();
        sym::reset();
        run::reset();
        pnl::reset();
        cfg::IWALLX0 = cfg::IWALLY0 = 0;
        model::HBOT = -1.0f;
        model::NEQN = 3;
        model::NPANB.allocate(2);
        model::NPANB(1) = 2;
        model::NPANB(2) = 1;
        model::ITANK.allocate(3);
        model::ITANK.fill(0);
        model::IDIPWM.allocate(3);
        model::IDIPWM.fill(0);
        model::NMODT = 6;
        model::IMODE.allocate(6);
        for (int m = 1; m <= 6; ++m) model::IMODE(m) = m;
        ALLOCPOTW(6, 1);
        model::NBETA = 1;
        model::SINBETA.allocate(1);
        model::COSBETA.allocate(1);
        model::SINBETA(1) = std::sin(0.4f);
        model::COSBETA(1) = std::cos(0.4f);
        run::NBETAX = 1;
        pnl::PCENT.allocate(3, 3);
        pnl::PAXES.allocate(3, 3, 3);
        pnl::PAXES.fill(0.0f);
        pnl::IPFLAG.allocate(3);
        pnl::IPFLAG.fill(1);
        for (int i = 1; i <= 3; ++i) {
            pnl::PCENT(1, i) = 0.5f * static_cast<float>(i);
            pnl::PCENT(2, i) = -0.3f;
            pnl::PCENT(3, i) = -0.2f * static_cast<float>(i);
            pnl::PAXES(3, 1, i) = 0.6f;
            pnl::PAXES(3, 3, i) = -0.8f;
        }
        for (auto* a : {&slv::RHSRAD, &slv::RHSSRC, &slv::RHSADD}) {
            a->allocate(3, 1, 1);
            a->fill(cplx(9.0f, 9.0f));
        }
    }
    // The wave and its normal derivative at panel i (double precision).
    static void wave(int i, float K, cd& P, cd& D) {
        WaveCase c{K, -1, 0.4, pnl::PCENT(1, i), pnl::PCENT(2, i), pnl::PCENT(3, i), 0};
        cd g[3];
        reference(c, P, g);
        D = g[0] * 0.6 - g[2] * 0.8;
    }
};

TEST_F(RightHandSides, PotentialOrNormalDerivativeByPanelClass) {
    model::ITANK(2) = 1;   // a tank panel
    model::IDIPWM(3) = 1;  // a dipole panel
    cfg::IDIPOLE = 1;
    const float K = 0.7f;
    int ierr = 0;
    INCRHS(3, &sym::NSYMRHS[1], 1, K, 1, 0, ierr);
    EXPECT_EQ(ierr, 0);
    cd P, D;
    wave(1, K, P, D);
    EXPECT_NEAR(std::abs(cd(slv::RHSRAD(1, 1, 1)) - 4 * M_PI * P), 0.0, 1e-5);
    EXPECT_NEAR(std::abs(cd(slv::RHSSRC(1, 1, 1)) + D), 0.0, 1e-6);
    EXPECT_EQ(slv::RHSRAD(2, 1, 1), cplx(0.0f, 0.0f));
    EXPECT_EQ(slv::RHSSRC(2, 1, 1), cplx(0.0f, 0.0f));
    wave(3, K, P, D);
    EXPECT_NEAR(std::abs(cd(slv::RHSRAD(3, 1, 1)) - 4 * M_PI * D), 0.0, 1e-5);
    EXPECT_EQ(slv::RHSADD(1, 1, 1), cplx(0.0f, 0.0f));  // neither scattering nor lids: cleared only
}

TEST_F(RightHandSides, NothingWithoutDiffractionOrAtFrequencyLimits) {
    int ierr = 0;
    for (auto [idiff, iperfl] : {std::pair{-1, 0}, std::pair{1, 1}, std::pair{1, 2}}) {
        slv::RHSRAD.fill(cplx(9.0f, 9.0f));
        INCRHS(3, &sym::NSYMRHS[1], 1, 0.7f, idiff, iperfl, ierr);
        for (int i = 1; i <= 3; ++i) EXPECT_EQ(slv::RHSRAD(i, 1, 1), cplx(0.0f, 0.0f));
    }
}

// Scattering formulation with lids: the lid panel of body 1 (which removes
// irregular frequencies) loses its source term even though the last body
// does not remove them; the flagged panel of body 2 keeps its own.
TEST_F(RightHandSides, LidPanelsClearedByTheirOwnBody) {
    cfg::ISCATT = 1;
    int ierr = 0;
    cfg::GROWIRR(2, ierr);
    cfg::IRR(1) = 1;
    cfg::IRR(2) = 0;
    pnl::IPFLAG(2) = -1;
    pnl::IPFLAG(3) = -1;
    const float K = 0.7f;
    INCRHS(3, &sym::NSYMRHS[1], 1, K, 1, 0, ierr);
    cd P, D;
    wave(1, K, P, D);
    EXPECT_EQ(slv::RHSRAD(1, 1, 1), cplx(0.0f, 0.0f));
    EXPECT_NEAR(std::abs(cd(slv::RHSADD(1, 1, 1)) - P), 0.0, 1e-6);
    EXPECT_NEAR(std::abs(cd(slv::RHSSRC(1, 1, 1)) + D), 0.0, 1e-6);
    EXPECT_EQ(slv::RHSSRC(2, 1, 1), cplx(0.0f, 0.0f));
    wave(3, K, P, D);
    EXPECT_NEAR(std::abs(cd(slv::RHSSRC(3, 1, 1)) + D), 0.0, 1e-6);
}

TEST_F(RightHandSides, AddAndClearAfterTheSolution) {
    model::IDIPWM(2) = 1;
    slv::RHSMOD.allocate(3, sym::NSOLC);
    slv::RHSMOD.fill(cplx(1.0f, 1.0f));
    for (int i = 1; i <= 3; ++i) {
        slv::RHSRAD(i, 1, 1) = cplx(1.0f, 2.0f);
        slv::RHSADD(i, 1, 1) = cplx(0.5f, -1.0f);
    }
    ADDPOT(3, 1, 1, slv::RHSRAD, slv::RHSADD);
    EXPECT_EQ(slv::RHSRAD(1, 1, 1), cplx(1.5f, 1.0f));
    EXPECT_EQ(slv::RHSRAD(2, 1, 1), cplx(1.0f, 2.0f));  // dipole panel left alone

    pnl::IPFLAG(3) = -1;
    ZEROFLG(slv::RHSMOD, slv::RHSRAD, -1, 1, 3, 1);
    EXPECT_EQ(slv::RHSMOD(3, 1), cplx(1.0f, 1.0f));
    EXPECT_EQ(slv::RHSRAD(3, 1, 1), cplx(0.0f, 0.0f));
    slv::RHSRAD(3, 1, 1) = cplx(7.0f, 7.0f);
    ZEROFLG(slv::RHSMOD, slv::RHSRAD, 1, -1, 3, 1);
    EXPECT_EQ(slv::RHSRAD(3, 1, 1), cplx(7.0f, 7.0f));
    for (int c = 1; c <= sym::NSOLC; ++c) {
        EXPECT_EQ(slv::RHSMOD(3, c), cplx(0.0f, 0.0f));
        EXPECT_EQ(slv::RHSMOD(2, c), cplx(1.0f, 1.0f));
    }
}

// Right-hand sides of the source-strength solution: body 1 is panel 1 (a
// waterline panel, IRR = 0, so no lid strip); body 2 is panels 2 and 3,
// with IRR = 1, its waterline panel 2 (body-local 1) and the lid panel 3
// tied to it.  nu = 0.5.
TEST_F(RightHandSides, SourceRightHandSidesFromTheFirstSolution) {
    int ierr = 0;
    cfg::NBODY = 2;
    cfg::GROWIRR(2, ierr);
    model::NPANB(1) = 1;
    model::NPANB(2) = 2;
    model::NWLSEG = 2;
    model::NWLPANB.allocate(2);
    model::NWLPANB.fill(1);
    model::IWLPAN.allocate(2);
    model::IWLPAN.fill(1);
    pnl::IPFLAG(3) = -1;
    pnl::LIDSTRIP.allocate(3);
    pnl::LIDSTRIP(1) = 1;
    pnl::LIDSTRIP(2) = 3;
    pnl::NLIDSTRIP = 2;
    pnl::VNMODE.allocate(6, 3);
    for (int i = 1; i <= 3; ++i)
        for (int m = 1; m <= 6; ++m) pnl::VNMODE(m, i) = static_cast<float>(10 * i + m);
    const int nc = sym::NSOLC;
    ASSERT_EQ(nc, 6);
    auto first = [&] {
        slv::RHSMOD.allocate(3, nc);
        for (int i = 1; i <= 3; ++i) {
            for (int c = 1; c <= nc; ++c) slv::RHSMOD(i, c) = cplx(static_cast<float>(i), static_cast<float>(c));
            slv::RHSRAD(i, 1, 1) = cplx(1.0f, static_cast<float>(i));
            slv::RHSADD(i, 1, 1) = cplx(0.5f, -1.0f);
            slv::RHSSRC(i, 1, 1) = cplx(7.0f, 7.0f);
        }
    };
    struct Case {
        int irr1, irad, idiff;
    };
    for (const Case c : {Case{1, 1, 1}, Case{0, 1, 1}, Case{1, -1, 1}, Case{1, 1, -1}}) {
        SCOPED_TRACE(testing::Message() << c.irr1 << " " << c.irad << " " << c.idiff);
        cfg::IRR(1) = 0;
        cfg::IRR(2) = c.irr1;
        first();
        DUPPAN(3, 1, c.irad, c.idiff, 0.5f);
        for (int col = 1; col <= nc; ++col) {
            const int m = sym::IMODORD(col);
            for (int i = 1; i <= 2; ++i)
                EXPECT_EQ(slv::RHSMOD(i, col), c.irad == -1 ? cplx(static_cast<float>(i), static_cast<float>(col))
                                                           : cplx(pnl::VNMODE(m, i), 0.0f));
            // The lid panel: minus nu times its waterline panel's solution.
            const cplx lid = c.irad != -1 && c.irr1 == 1 ? cplx(-1.0f, -0.5f * static_cast<float>(col))
                                                         : cplx(3.0f, static_cast<float>(col));
            EXPECT_EQ(slv::RHSMOD(3, col), lid);
        }
        // Diffraction: minus nu times the scattered part at the waterline
        // panel, (1 + 2i) - (0.5 - i).
        EXPECT_EQ(slv::RHSSRC(3, 1, 1),
                  c.idiff != -1 && c.irr1 == 1 ? cplx(-0.25f, -1.5f) : cplx(7.0f, 7.0f));
        for (int i = 1; i <= 2; ++i) EXPECT_EQ(slv::RHSSRC(i, 1, 1), cplx(7.0f, 7.0f));
    }
    pnl::reset_geom();
}

}  // namespace
}  // namespace zorva
