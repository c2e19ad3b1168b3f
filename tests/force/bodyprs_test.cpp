// Body pressure and velocity of a period at the panels: the frequency
// factor of the radiation values, the limit periods, the runs without
// radiation or diffraction, and the panels flagged out of the surface.
#include <gtest/gtest.h>

#include "force/bodyprs.hpp"
#include "tests/force/forcefix.hpp"

namespace zorva {
namespace {

using test::ForceTest;

TEST_F(ForceTest, BodyValuesAtLimitsAndWithoutParts) {
    struct Case {
        const char* name;
        float nu;
        int ipf, irad, idiff;
        float srad;     // factor of the radiation potential in the radiation pressure
        bool diff;      // diffraction values present
    };
    const Case cases[] = {
        {"ordinary period", 0.5f, 0, 1, 1, 0.5f, true},
        {"zero frequency: radiation scaled by 1", 0.0f, 2, 1, 1, 1.0f, false},
        {"limit period: no diffraction", 0.5f, 1, 1, 1, 0.5f, false},
        {"no radiation: totals are the diffraction", 0.5f, 0, -1, 1, 0.0f, true},
        {"no diffraction: totals are the radiation sums", 0.5f, 0, 1, -1, 0.5f, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        model1({{{1, 0, -1}, {1, 0, 0}, 1.0f}, {{0, 1, -1}, {0, 1, 0}, 1.0f}}, {0.0f}, 8.0f, c.nu,
               {0, 0, 0, 0, 0, 3, 0, 0, 0, 0});
        model::IRAD = c.irad;
        model::IDIFF = c.idiff;
        sym::ISYMC[1] = sym::ISYMF[1] = 1;
        pnl::IPFLAG.allocate(2);
        pnl::IPFLAG(1) = 0;
        pnl::IPFLAG(2) = -1;
        using namespace frc;
        NPBOUT = 2;
        IBPPRS = IBPVEL = 1;
        PTOTP.allocate(2, 1, 1);
        PDIFP.allocate(2, 1, 1);
        PRADP.allocate(2, 6, 1);
        VTOTP.allocate(2, 3, 1);
        VRADP.allocate(2, 3, 6);
        VDIFP.allocate(2, 3, 1);
        RADVEL.allocate(2, 3, 6);
        for (int i = 1; i <= 2; ++i) {
            DIFPOT(i, 1, 1) = {1.0f, 2.0f};
            for (int c3 = 1; c3 <= 3; ++c3) {
                VDIFP(i, c3, 1) = {0.1f * c3, 0.0f};
                for (int q = 1; q <= 6; ++q) RADVEL(i, c3, q) = {0.01f * q, 0.0f};
            }
            for (int q = 1; q <= 6; ++q) RADPOT(i, q) = {static_cast<float>(q), 0.0f};
        }
        for (int q = 1; q <= 6; ++q) RAO(q, 1) = {0.0f, 0.1f};
        int ierr = 0;
        BPBVDRV(c.nu, 0.0629f, c.ipf, ierr);
        ASSERT_EQ(ierr, 0);
        // Panel 1: diffraction plus sum over q of 0.1i * srad * q (= 2.1i srad).
        const cplx d = c.diff ? cplx{1.0f, 2.0f} : cplx{};
        EXPECT_NEAR(std::abs(PDIFP(1, 1, 1) - d), 0.0f, 1e-6f);
        if (c.irad >= 0) {
            EXPECT_NEAR(PRADP(1, 3, 1).real(), 3.0f * c.srad, 1e-6f);
        }
        const cplx tot = (c.idiff >= 0 ? d : cplx{}) + cplx{0.0f, 2.1f * c.srad};
        EXPECT_NEAR(std::abs(PTOTP(1, 1, 1) - tot), 0.0f, 1e-5f);
        // Panel 2 is flagged: nothing at all.
        EXPECT_EQ(PDIFP(2, 1, 1), cplx{});
        EXPECT_EQ(PTOTP(2, 1, 1), cplx{});
        for (int c3 = 1; c3 <= 3; ++c3) EXPECT_EQ(VTOTP(2, c3, 1), cplx{});
    }
}

}  // namespace
}  // namespace zorva

namespace zorva {
namespace {

TEST_F(ForceTest, BodyVelocityWithoutRadiationVelocitiesIsRefused) {
    test::ForceTest::model1({{{1, 0, -1}, {1, 0, 0}, 1.0f}}, {0.0f}, 8.0f, 0.5f, {0, 0, 0, 0, 0, 2, 0, 0, 0, 0});
    sym::ISYMC[1] = sym::ISYMF[1] = 1;
    frc::NPBOUT = 1;
    frc::IBPPRS = 0;
    frc::IBPVEL = 1;
    frc::VTOTP.allocate(1, 3, 1);
    frc::VRADP.allocate(1, 3, 6);
    frc::VDIFP.allocate(1, 3, 1);
    int ierr = 0;
    BPBVDRV(0.5f, 0.5f, 0, ierr);
    EXPECT_EQ(ierr, 1);
    EXPECT_NE(screen.str().find("Radiation velocities on the panels are missing from the .P2F file"), std::string::npos);
}

}  // namespace
}  // namespace zorva
