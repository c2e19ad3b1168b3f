// Field-point values of a period: the incident wave at each point (deep
// water: modulus e^(K z), phase -K (x cos b + y sin b)), the scaling of the
// two option values, the points without an incident wave (in a tank, at a
// limit period, without diffraction) and the totals with the motions.
#include <gtest/gtest.h>

#include <cmath>

#include "force/fieldpt.hpp"
#include "tests/force/forcefix.hpp"

namespace zorva {
namespace {

using test::ForceTest;

class FieldTest : public ForceTest {
public:
    // One panel far from the points, zero potentials: the bodies add nothing.
    void points(int o6, int o7) {
        model1({{{50.0f, 50.0f, -1.0f}, {0, 0, -1}, 1.0f}}, {0.0f, 30.0f}, 8.0f, 0.0629f, {0, 0, 0, 0, 0, 0, o6, o7, 0, 0});
        model::WNUMK(1) = 0.0629f;
        model::ULEN.allocate(1);
        model::ULEN(1) = 2.0f;
        model::ULENI = 0.5f;
        sym::ISYMC[1] = sym::ISYMF[1] = 1;
        sym::NIMAGE = 1;
        sym::IMAGEID[1] = 1;
        using namespace frc;
        NFIELD = 3;
        XFIELD.allocate(3, 3);
        IFPTANK.allocate(3);
        const float x[3][3] = {{10.0f, -4.0f, -2.0f}, {-6.0f, 8.0f, -20.0f}, {1.0f, 1.0f, -1.0f}};
        for (int n = 1; n <= 3; ++n) {
            for (int c = 1; c <= 3; ++c) XFIELD(c, n) = x[n - 1][c - 1];
            IFPTANK(n) = n == 3 ? 1 : 0;
        }
        model::ITANK.allocate(1);
        model::ITANK(1) = 0;
        pnl::PNLARR3.allocate(2, 1);
        pnl::PNLARR3(1, 1) = 1.0f;
        pnl::PNLARR3(2, 1) = 1.0f;
        RADSRC.allocate(1, 6);
        RADSRC.fill(cplx{});
        DIFSRC.allocate(1, NBETAF, 1);
        DIFSRC.fill(cplx{});
        for (auto* a : {&PTOTF, &PDIFF}) a->allocate(3, NBETAF);
        PRADF.allocate(3, 6);
        for (auto* a : {&VTOTF, &VDIFF}) a->allocate(3, 3, NBETAF);
        VRADF.allocate(3, 3, 6);
    }
};

TEST_F(FieldTest, IncidentWaveAtThePointsForBothOptionValues) {
    for (int o : {1, 2}) {
        SCOPED_TRACE(o);
        SetUp();
        points(o, o);
        int ierr = 0;
        FIELDPT(model::WNUMNU(1), model::WNUMK(1), &sym::NSYMRHS[1], 0, ierr);
        const double K = 0.0629;
        for (int n = 1; n <= 2; ++n)
            for (int j = 1; j <= 2; ++j) {
                // Nondimensional point: the coordinates over the length scale 2.
                const double x = static_cast<double>(frc::XFIELD(1, n)) / 2.0, y = static_cast<double>(frc::XFIELD(2, n)) / 2.0,
                             z = static_cast<double>(frc::XFIELD(3, n)) / 2.0;
                const double b = static_cast<double>(model::BETA(j)) * M_PI / 180.0;
                const std::complex<double> P =
                    std::exp(K * z) * std::exp(std::complex<double>(0.0, -K * (x * std::cos(b) + y * std::sin(b))));
                const std::complex<double> g[3] = {std::complex<double>(0, -K * std::cos(b)) * P,
                                                   std::complex<double>(0, -K * std::sin(b)) * P, K * P};
                const cplx p = frc::PTOTF(n, j);
                EXPECT_NEAR(std::abs(p), std::exp(K * z), 2e-6);
                EXPECT_NEAR(p.real(), P.real(), 2e-6);
                EXPECT_NEAR(p.imag(), P.imag(), 2e-6);
                for (int c = 1; c <= 3; ++c) {
                    EXPECT_NEAR(frc::VTOTF(c, n, j).real(), g[c - 1].real(), 2e-7) << c;
                    EXPECT_NEAR(frc::VTOTF(c, n, j).imag(), g[c - 1].imag(), 2e-7) << c;
                }
            }
        // The point in a tank sees no incident wave.
        for (int j = 1; j <= 2; ++j) {
            EXPECT_EQ(frc::PTOTF(3, j), cplx{});
            EXPECT_EQ(frc::VTOTF(3, 3, j), cplx{});
        }
    }
}

TEST_F(FieldTest, NoIncidentWaveAndTotalsWithTheMotions) {
    struct Case {
        const char* name;
        int ipf, idiff, irad;
        bool incident;
    };
    const Case cases[] = {
        {"limit period", 1, 1, 1, false},
        {"no diffraction", 0, -1, 1, false},
        {"no radiation: totals are the diffraction values", 0, 1, -1, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        points(2, 2);
        model::IDIFF = c.idiff;
        model::IRAD = c.irad;
        // Radiation values a previous period left are cleared when there is
        // radiation; the totals then add nothing from them.
        frc::PRADF.fill(cplx{1.0f, 1.0f});
        frc::RAO.fill(cplx{0.5f, 0.0f});
        int ierr = 0;
        FIELDPT(model::WNUMNU(1), model::WNUMK(1), &sym::NSYMRHS[1], c.ipf, ierr);
        for (int j = 1; j <= 2; ++j) {
            EXPECT_EQ(frc::PTOTF(1, j), frc::PDIFF(1, j));
            EXPECT_EQ(std::abs(frc::PDIFF(1, j)) > 0.5f, c.incident);
        }
        if (c.irad != -1) {
            EXPECT_EQ(frc::PRADF(1, 1), cplx{});
        }
    }
}

}  // namespace
}  // namespace zorva
