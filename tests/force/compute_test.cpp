// The period computations on small hand-made models: mode factors, the
// period banner, the motion solution with fixed modes, wavemakers and the
// external RAO file, panel weights of the surface integrals, and the
// momentum drift's pair layout and convergence warnings.
#include <gtest/gtest.h>

#include "tests/force/forcefix.hpp"

namespace zorva {
namespace {

using test::ForceTest;
using test::Pan;
using V = std::vector<std::string>;

const std::vector<Pan> TWO = {{{0.3f, -0.2f, -0.5f}, {0.6f, 0.0f, -0.8f}, 1.2f},
                              {{-0.4f, 0.5f, -0.7f}, {0.0f, 0.6f, -0.8f}, 0.8f}};

TEST_F(ForceTest, ModeFactors) {
    struct Case {
        int irad, idiff, ioptn4, iperfl;
        float f;
    };
    const Case cases[] = {
        {-1, -1, 1, 2, 0.0f},  // no radiation solutions
        {1, 0, 0, 0, 0.0f},    // diffraction, no motions, ordinary period: held fixed
        {1, 0, 0, 2, 1.0f},    // the same at a limit period
        {1, -1, 0, 0, 1.0f},   // no diffraction
        {1, 1, 1, 0, 1.0f},    // motions to be solved
    };
    model1(TWO, {0.0f, 90.0f}, 8.0f, 0.06f, {0, 0, 0, 0, 1, 0, 0, 0, 0, 0});
    frc::MODEC(4) = 0;
    for (const auto& c : cases) {
        model::IRAD = c.irad;
        model::IDIFF = c.idiff;
        run::IOPTN[4] = c.ioptn4;
        frc::RAO.fill(cplx(7.0f, 7.0f));
        SETMODFAC(8.0f, c.iperfl);
        for (int j = 1; j <= 2; ++j)
            for (int i = 1; i <= 6; ++i) EXPECT_EQ(frc::RAO(i, j), cplx(i == 4 ? 0.0f : c.f, 0.0f)) << i;
    }
}

TEST_F(ForceTest, PeriodBanner) {
    chan::open(11, "b.out", chan::Status::Replace);
    for (float p : {12.5f, 1.0e-6f, 0.0f, -1.0f, std::nanf("")}) WRPERHDR(p, 0.25f, 11);
    chan::close(11);
    const V rep = read_lines("b.out");
    const std::string star = " " + std::string(72, '*'), dash = " " + std::string(72, '-');
    EXPECT_EQ(V(rep.begin(), rep.begin() + 4),
              V({star, "", " Wave period (sec) =  1.250000E+01        Wavenumber (kL) =  2.500000E-01", dash}));
    EXPECT_EQ(rep[6], " Wave period = zero                                 Wavenumber = infinite ");
    EXPECT_EQ(rep[10], rep[6]);
    EXPECT_EQ(rep[14], " Wave period = infinite                                 Wavenumber = zero ");
    EXPECT_EQ(rep[18], rep[14]);
    // The screen receives the same lines, whatever the monitor switch.
    EXPECT_NE(screen.str().find(rep[2]), std::string::npos);
}

// Diagonal system: Z(r, r) = -nu (A + M) + C + i nu (B + w1 Bext).
class Motions : public ForceTest {
protected:
    void SetUp() override {
        ForceTest::SetUp();
        model1(TWO, {0.0f}, 2.0f * 3.14159265f, 0.5f, {0, 0, 0, 0, 1, 0, 0, 0, 0, 0});
        for (int r = 1; r <= 6; ++r) {
            frc::AMAT(r, r) = 0.2f * r;
            frc::BMAT(r, r) = 0.1f;
            frc::EXTMATND(1, r, r) = 1.0f;
            frc::EXTMATND(2, r, r) = 0.4f;
            pnl::CHYD(r, r) = 3.0f;
            F.allocate(6, 1);
            F(r, 1) = cplx(1.0f, -0.5f * r);
        }
        // Coupling of heave (3) into pitch (5) through the restoring matrix.
        pnl::CHYD(5, 3) = 0.7f;
    }
    static cplx zdiag(int r) {
        const double nu = 0.5, w1 = 1.0;  // T / 2 pi = 1
        return {static_cast<float>(-nu * (0.2 * r + 1.0) + 3.0), static_cast<float>(nu * (0.1 + w1 * 0.4))};
    }
    Arr2<cplx> F;
};

TEST_F(Motions, FreeFixedAndAllFixed) {
    int ierr = -1;
    RAOSOL(0.5f, 2.0f * 3.14159265f, F, ierr);
    ASSERT_EQ(ierr, 0);
    const cplx x3 = F(3, 1) / zdiag(3);
    EXPECT_NEAR(std::abs(frc::RAO(3, 1) - x3), 0.0f, 1e-5f);
    EXPECT_NEAR(std::abs(frc::RAO(5, 1) - (F(5, 1) - 0.7f * x3) / zdiag(5)), 0.0f, 1e-5f);

    // Heave held fixed: pitch is free of the coupling, heave's slot holds
    // the force that holds it.
    frc::MODE.allocate(6);
    frc::MODE.fill(1);
    frc::MODE(3) = 0;
    frc::MODEC(3) = 0;
    RAOSOL(0.5f, 2.0f * 3.14159265f, F, ierr);
    ASSERT_EQ(ierr, 0);
    EXPECT_NEAR(std::abs(frc::RAO(5, 1) - F(5, 1) / zdiag(5)), 0.0f, 1e-5f);
    EXPECT_NEAR(std::abs(frc::RAO(3, 1) - F(3, 1)), 0.0f, 1e-6f);  // no coupling from row 3 to others
    // With the coupling in row 3 the restraint takes it off.
    pnl::CHYD(3, 5) = 0.9f;
    RAOSOL(0.5f, 2.0f * 3.14159265f, F, ierr);
    EXPECT_NEAR(std::abs(frc::RAO(3, 1) - (F(3, 1) - 0.9f * frc::RAO(5, 1))), 0.0f, 1e-5f);

    // Every mode fixed: nothing solved, each slot holds its force.
    frc::MODEC.fill(0);
    RAOSOL(0.5f, 2.0f * 3.14159265f, F, ierr);
    ASSERT_EQ(ierr, 0);
    for (int r = 1; r <= 6; ++r) EXPECT_EQ(frc::RAO(r, 1), F(r, 1));
}

TEST_F(Motions, SingularSystem) {
    pnl::CHYD.fill(0.0f);
    frc::AMAT.fill(0.0f);
    frc::BMAT.fill(0.0f);
    frc::EXTMATND.fill(0.0f);
    frc::RAO.fill(cplx(2.0f, 0.0f));
    int ierr = 0;
    RAOSOL(0.5f, 1.0f, F, ierr);
    EXPECT_EQ(ierr, 1);
    EXPECT_NE(screen.str().find(" Error -- singular matrix in RAO solution"), std::string::npos);
    EXPECT_EQ(frc::RAO(1, 1), cplx(2.0f, 0.0f));
}

TEST_F(Motions, WavemakerColumnsAndExternalFile) {
    // Mode 6 is a wavemaker: its slot moves with unit amplitude.
    frc::NMODWM = 1;
    frc::NMODBD = 5;
    int ierr = 0;
    RAOSOL(0.5f, 2.0f * 3.14159265f, F, ierr);
    EXPECT_EQ(frc::RAO(6, 1), cplx(1.0f, 0.0f));
    frc::NMODWM = 0;
    frc::NMODBD = 6;

    // Motions read from the external file replace the free modes' values.
    cfg::IREADRAO = 2;
    write_file("r.rao", "8.0 0.0 1 1. 0. 0.5 0.25\n8.0 0.0 2 1. 0. 1.5 0.0\n8.0 0.0 4 1. 0. 0 1\n"
                        "8.0 0.0 5 1. 0. 0 2\n8.0 0.0 6 1. 0. 0 3\n");
    frc::MODEC(3) = 0;
    frc::MODE.allocate(6);
    frc::MODE.fill(1);
    frc::MODE(3) = 0;
    chan::open(45, "r.rao", chan::Status::Old);
    RAOSOL(0.5f, 2.0f * 3.14159265f, F, ierr);
    ASSERT_EQ(ierr, 0);
    EXPECT_EQ(frc::RAO(1, 1), cplx(0.5f, 0.25f));
    EXPECT_EQ(frc::RAO(6, 1), cplx(0.0f, 3.0f));
    EXPECT_EQ(frc::RAO(3, 1), F(3, 1));  // fixed mode keeps its restraint force
    // A file that ends early is reported.
    chan::rewind(45);
    write_file("r.rao", "8.0 0.0 1 1. 0. 0.5 0.25\n");
    chan::open(45, "r.rao", chan::Status::Old);
    RAOSOL(0.5f, 2.0f * 3.14159265f, F, ierr);
    EXPECT_EQ(ierr, 1);
}

TEST_F(ForceTest, PanelWeightsOfTheSurfaceIntegrals) {
    // Three copies of one panel: ordinary, dipole in a symmetry plane,
    // tank wall with density 0.25.
    const Pan p = {{0.2f, 0.1f, -0.6f}, {0.0f, 0.6f, -0.8f}, 1.5f};
    model1({p, p, p}, {30.0f}, 8.0f, 0.3f, {0, 1, 1, 1, 0, 0, 0, 0, 0, 0});
    cfg::IDIPOLE = 1;
    model::IDIPWM.allocate(3);
    model::IDIPWM(1) = 0;
    model::IDIPWM(2) = 2;
    model::IDIPWM(3) = 0;
    model::ITANK.allocate(3);
    model::ITANK(1) = model::ITANK(2) = 0;
    model::ITANK(3) = 1;
    cfg::RHOTANK.allocate(1);
    cfg::RHOTANK(1) = 0.25f;
    const cplx phi(0.4f, -0.3f), dif(-0.2f, 0.5f);
    for (int i = 1; i <= 3; ++i)
        for (int m = 1; m <= 6; ++m) frc::RADPOT(i, m) = phi;
    for (int i = 1; i <= 3; ++i) frc::DIFPOT(i, 1, 1) = dif;
    AMDPINT();
    FRCACC();
    EXFHASK(0.3f, 0.3f);
    const float n3 = -0.8f;
    const double a = 1.5;
    // Added mass and damping: weights 1 + 0.5 + 0.25.
    EXPECT_NEAR(frc::AMAT(3, 2), 1.5f * 1.75f * n3 * 0.4f, 1e-6f);
    EXPECT_NEAR(frc::BMAT(3, 2), -1.5f * 1.75f * n3 * -0.3f, 1e-6f);
    // Pressure integration: every panel, the dipole one at half weight.
    EXPECT_NEAR(std::abs(frc::FEXD(3, 1) - 1.5f * 2.5f * n3 * dif), 0.0f, 1e-6f);
    // Haskind: the tank panel is left out, the dipole panel gives only its
    // potential term.  Plane wave at the centroid, by hand.
    const double K = 0.3, b = 30.0 * M_PI / 180.0, x = 0.2, y = 0.1, z = -0.6;
    const std::complex<double> P = std::exp(K * z) * std::exp(std::complex<double>(0.0, -K * (x * std::cos(b) + y * std::sin(b))));
    const std::complex<double> D = (std::complex<double>(0.0, -K * 0.6 * std::sin(b)) + K * -0.8) * P;
    const std::complex<double> phid(0.4, -0.3);
    const std::complex<double> ref = a * (P * -0.8 - D * phid) + 0.5 * a * (-D * phid);
    EXPECT_NEAR(frc::FEXH(3, 1).real(), ref.real(), 1e-5);
    EXPECT_NEAR(frc::FEXH(3, 1).imag(), ref.imag(), 1e-5);
}

TEST_F(ForceTest, WavemakerForcesStoredInSolutionRows) {
    model1(TWO, {0.0f}, 8.0f, 0.4f, {0, 1, 1, 0, 0, 0, 0, 0, 0, 0});
    // Output order differs from solution order; column 6 is the wavemaker.
    const int col[6] = {3, 1, 2, 5, 4, 6};
    for (int a = 1; a <= 6; ++a) frc::MODCOL(a) = col[a - 1];
    frc::NMODWM = 1;
    frc::NMODBD = 5;
    for (int r = 1; r <= 6; ++r) {
        frc::AMAT(r, 6) = static_cast<float>(r);
        frc::BMAT(r, 6) = 0.5f;
    }
    EXFHASK(0.4f, 0.4f);
    for (int r = 1; r <= 5; ++r) EXPECT_EQ(frc::FEXH(r, 1), cplx(0.4f * r, -0.2f)) << r;
    // Option 2 alone: the added mass and damping are formed for it.
    run::IOPTN[1] = 0;
    for (int i = 1; i <= 2; ++i) frc::RADPOT(i, 6) = cplx(1.0f, -2.0f);
    EXFHASK(0.4f, 0.4f);
    const float a3 = 1.2f * -0.8f + 0.8f * -0.8f;  // sum of area x heave normal
    EXPECT_NEAR(frc::FEXH(3, 1).real(), 0.4f * a3, 1e-6f);
    EXPECT_NEAR(frc::FEXH(3, 1).imag(), -0.4f * 2.0f * a3, 1e-6f);
}

TEST_F(ForceTest, MomentumDriftPairsAndWarnings) {
    model1(TWO, {0.0f, 40.0f, 135.0f}, 8.0f, 0.5f, {0, 0, 0, 0, 0, 0, 0, 0, 2, 0});
    for (int i = 1; i <= 2; ++i) {
        for (int m = 1; m <= 6; ++m) frc::RADPOT(i, m) = cplx(0.1f * m, -0.05f * i);
        for (int j = 1; j <= 3; ++j) frc::DIFPOT(i, j, 1) = cplx(0.3f * j, 0.2f * i - 0.1f * j);
    }
    for (int r = 1; r <= 6; ++r)
        for (int j = 1; j <= 3; ++j) frc::RAO(r, j) = cplx(0.2f * r, 0.1f * j);
    MOMDRIFT(0.5f, 0.5f, 2);
    Arr2<cplx> both = frc::DRIFTM;
    MOMDRIFT(0.5f, 0.5f, 1);
    // The diagonal pairs (1,1), (2,2), (3,3) are columns 1, 4, 6 of the
    // pair layout and equal the one-heading results, which are real.
    const int diag[3] = {1, 4, 6};
    for (int i = 1; i <= 3; ++i)
        for (int r = 1; r <= 3; ++r) {
            const cplx d = both(r, diag[i - 1]), s = frc::DRIFTM(r, i);
            EXPECT_NEAR(std::abs(d - s), 0.0f, 1e-5f * (1.0f + std::abs(s))) << i << " " << r;
            EXPECT_NEAR(s.imag(), 0.0f, 1e-5f * (1.0f + std::abs(s)));
        }
    // Stopping after the first pass leaves changes above the tolerance.
    cfg::MAXMIT = 0;
    screen.str("");
    MOMDRIFT(0.5f, 0.5f, 1);
    EXPECT_NE(screen.str().find(" WARNING -- no convergence in momentum Dx for headings I=1\n"), std::string::npos);
    EXPECT_NE(screen.str().find(" " + std::string(51, ' ') + "and J=1\n"), std::string::npos);
    // A negative limit skips the integration: only the incident-wave terms.
    cfg::MAXMIT = -1;
    screen.str("");
    MOMDRIFT(0.5f, 0.5f, 1);
    EXPECT_EQ(screen.str(), "");
    // Without diffraction and without the integral nothing is left.
    model::IDIFF = -1;
    MOMDRIFT(0.5f, 0.5f, 1);
    for (int r = 1; r <= 3; ++r) EXPECT_EQ(frc::DRIFTM(r, 1), cplx(0.0f, 0.0f));
}

TEST_F(ForceTest, FourPointRuleAtTheCentroidEqualsTheCentroidRule) {
    model1(TWO, {25.0f}, 8.0f, 0.5f, {0, 0, 1, 0, 0, 0, 0, 0, 1, 0});
    for (int i = 1; i <= 2; ++i)
        for (int m = 1; m <= 6; ++m) frc::RADPOT(i, m) = cplx(0.1f * m - 0.2f, 0.05f * i);
    for (int i = 1; i <= 2; ++i) frc::DIFPOT(i, 1, 1) = cplx(0.3f, -0.4f * i);
    for (int r = 1; r <= 6; ++r) frc::RAO(r, 1) = cplx(0.2f, -0.1f * r);
    EXFHASK(0.5f, 0.5f);
    MOMDRIFT(0.5f, 0.5f, 1);
    const Arr2<cplx> fex = frc::FEXH, drift = frc::DRIFTM;
    cfg::IQUAD = 1;
    pnl::XVERG.allocate(4, 3, 2);
    pnl::PNLARR2.allocate(4, 2);
    pnl::PNLARR1.allocate(4, 3, 2);
    for (int i = 1; i <= 2; ++i)
        for (int q = 1; q <= 4; ++q) {
            for (int c = 1; c <= 3; ++c) {
                pnl::XVERG(q, c, i) = pnl::PCENT(c, i);
                pnl::PNLARR1(q, c, i) = pnl::VNMODE(3 + c, i);
            }
            pnl::PNLARR2(q, i) = pnl::PPROP(1, i) / 4.0f;
        }
    EXFHASK(0.5f, 0.5f);
    MOMDRIFT(0.5f, 0.5f, 1);
    for (int r = 1; r <= 6; ++r) EXPECT_NEAR(std::abs(frc::FEXH(r, 1) - fex(r, 1)), 0.0f, 1e-5f);
    for (int r = 1; r <= 3; ++r) EXPECT_NEAR(std::abs(frc::DRIFTM(r, 1) - drift(r, 1)), 0.0f, 1e-5f);
}

}  // namespace
}  // namespace zorva
