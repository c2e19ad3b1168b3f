// Body points of the .bpi files in the low-order method: placement among
// the nearest panel centroids with inverse-distance weights, the .bpo
// report, the rules for the panels a body offers, folding into the
// representative part of a symmetric body, the values interpolated at the
// points, and the rejection of files that cannot be used.
#include <gtest/gtest.h>

#include <cmath>

#include "common/channels.hpp"
#include "force/bodyprs.hpp"
#include "force/bodypts.hpp"
#include "tests/force/forcefix.hpp"

namespace zorva {
namespace {

using test::ForceTest;
using test::Pan;

class BodyPointTest : public ForceTest {
public:
    // NB bodies of the given panels (NPANB per body), as the FORCE set-up
    // leaves them; body files body1.gdf, body2.gdf, ...
    void bodies(const std::vector<Pan>& pans, const std::vector<int>& npanb, int ipnlbpt) {
        model1(pans, {0.0f}, 8.0f, 0.0629f, {0, 0, 0, 0, 0, 1, 0, 0, 0, 0});
        const int nb = static_cast<int>(npanb.size());
        cfg::NBODY = nb;
        cfg::IPNLBPT = ipnlbpt;
        model::NPANB.allocate(nb);
        cfg::XBODY.allocate(4, nb);
        cfg::XBODY.fill(0.0f);
        model::CSPHIB.allocate(2, nb);
        fnames::GDFNAME.allocate(nb);
        for (int ib = 1; ib <= nb; ++ib) {
            model::NPANB(ib) = npanb[static_cast<std::size_t>(ib - 1)];
            model::CSPHIB(1, ib) = 1.0f;
            model::CSPHIB(2, ib) = 0.0f;
            fnames::GDFNAME(ib) = "body" + std::to_string(ib) + ".gdf";
        }
        model::ULEN.allocate(1);
        model::ULEN(1) = 1.0f;
        model::ULENI = 1.0f;
        frc::NBPT.allocate(nb);
        sym::ISYMC[1] = sym::ISYMF[1] = 1;
    }
};

// Four panels of one body, centroids on the unit square at z = -1.
std::vector<Pan> square() {
    return {{{0, 0, -1}, {0, 0, -1}, 1.0f}, {{1, 0, -1}, {0, 0, -1}, 1.0f}, {{0, 1, -1}, {0, 0, -1}, 1.0f},
            {{1, 1, -1}, {0, 0, -1}, 1.0f}};
}

TEST_F(BodyPointTest, PointsOnAndOffTheBodyWithTheirWeightsAndReport) {
    bodies(square(), {4}, 2);
    write_file("body1.bpi", "Points of the square\n3\n0.25 0 -1\n0 0 -3\n1 1 -1\n");
    int ierr = 0;
    FINDBPT(ierr);
    ASSERT_EQ(ierr, 0);
    EXPECT_EQ(frc::NBPTT, 3);
    EXPECT_EQ(frc::NBPT(1), 3);
    // Hand values: distances 0.25, 0.75 give weights 0.75, 0.25; the point
    // 2 below the body is sqrt(5) from panels 2 and 3 (the later of equal
    // distances is not taken once the list is full); a point on a centroid
    // takes all the weight, and of the two panels at distance 1 the later
    // comes first.
    const float s5 = std::sqrt(5.0f);
    const int pan[3][2] = {{1, 2}, {1, 2}, {4, 3}};
    const float w[3][2] = {{0.75f, 0.25f}, {0.5f / (0.5f + 1.0f / s5), (1.0f / s5) / (0.5f + 1.0f / s5)}, {1.0f, 0.0f}};
    for (int j = 1; j <= 3; ++j)
        for (int e = 1; e <= 2; ++e) {
            EXPECT_EQ(frc::IBPPAN(e, j), pan[j - 1][e - 1]) << j << " " << e;
            EXPECT_NEAR(frc::WBPPAN(e, j), w[j - 1][e - 1], 1e-6f) << j << " " << e;
        }
    const auto bpo = read_lines("body1.bpo");
    ASSERT_EQ(bpo.size(), 5u);
    EXPECT_EQ(bpo[0], std::string("Points of the square").append(52, ' '));
    EXPECT_EQ(bpo[1], "           3");
    EXPECT_EQ(bpo[2], "   1      1  0.250000     2  0.750000");
    EXPECT_EQ(bpo[3], "   1      1  2.000000     2  2.236068");
    EXPECT_EQ(bpo[4], "   1      4  0.000000     3  1.000000");

    // Values at the points: the panels' values with those weights.
    frc::PDIFP.allocate(4, 1, 1);
    frc::PRADP.allocate(4, 6, 1);
    frc::PDIFB.allocate(3, 1);
    frc::PRADB.allocate(3, 6);
    frc::PRADP.fill(cplx{});
    for (int p = 1; p <= 4; ++p) frc::PDIFP(p, 1, 1) = cplx(static_cast<float>(p), -static_cast<float>(p));
    BPBVLO(1, 0);
    EXPECT_NEAR(frc::PDIFB(1, 1).real(), 0.75f * 1 + 0.25f * 2, 1e-6f);
    EXPECT_NEAR(frc::PDIFB(3, 1).imag(), -4.0f, 1e-6f);
}

TEST_F(BodyPointTest, EqualDistancesAndMoreNeighboursThanAPointLine) {
    // Five nearest of six panels: the later of two equal distances comes
    // first, and the fifth pair goes on a continuation line.
    auto pans = square();
    pans.push_back({{2, 0, -1}, {0, 0, -1}, 1.0f});
    pans.push_back({{3, 0, -1}, {0, 0, -1}, 1.0f});
    bodies(pans, {6}, 5);
    write_file("body1.bpi", "t\n1\n0 0 -1\n");
    int ierr = 0;
    FINDBPT(ierr);
    ASSERT_EQ(ierr, 0);
    const auto bpo = read_lines("body1.bpo");
    ASSERT_EQ(bpo.size(), 4u);
    EXPECT_EQ(bpo[2], "   1      1  0.000000     3  1.000000     2  1.000000     4  1.414214");
    EXPECT_EQ(bpo[3], "          5  2.000000");
}

TEST_F(BodyPointTest, PanelsABodyOffers) {
    struct Case {
        const char* name;
        std::vector<int> ipflag;  // per panel of the two bodies (4 each)
        std::vector<int> idipwm;
        int ipnlbpt;
        int ierr;
        const char* message;
    };
    const std::vector<Case> cases = {
        // Body 1 has no dipole panels: the dipole panels of body 2 do not
        // take its ordinary panels away.
        {"dipole panels only on the other body", {0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 2, 2, 0, 0}, 3, 0, nullptr},
        // Body 2 holds two of each kind: the search keeps to one kind.
        {"a body with both kinds offers the smaller count", {0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 2, 2, 0, 0}, 3, 1,
         " |IPNLBPT| is too large, reduce it to 2"},
        // Panels flagged out of the body surface are not offered.
        {"flagged panels are not counted", {0, -1, -1, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0}, 3, 1,
         " |IPNLBPT| is too large, reduce it to 2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        auto pans = square();
        for (auto p : square()) {
            p.c[0] += 5.0f;
            pans.push_back(p);
        }
        bodies(pans, {4, 4}, c.ipnlbpt);
        cfg::IDIPOLE = 1;
        model::IDIPWM.allocate(8);
        pnl::IPFLAG.allocate(8);
        for (int p = 1; p <= 8; ++p) {
            model::IDIPWM(p) = c.idipwm[static_cast<std::size_t>(p - 1)];
            pnl::IPFLAG(p) = c.ipflag[static_cast<std::size_t>(p - 1)];
        }
        write_file("body1.bpi", "b1\n1\n0.5 0.5 -1\n");
        // In the second case the point of body 2 is the one refused.
        if (std::string(c.name).find("both kinds") != std::string::npos)
            write_file("body2.bpi", "b2\n1\n5.5 0.5 -1\n");
        else
            std::filesystem::remove("body2.bpi");
        int ierr = 0;
        FINDBPT(ierr);
        EXPECT_EQ(ierr, c.ierr);
        if (c.message) {
            EXPECT_NE(screen.str().find(c.message), std::string::npos) << screen.str();
        }
        if (c.ierr == 0) {
            // Never a flagged or foreign panel.
            for (int e = 1; e <= c.ipnlbpt; ++e) {
                const int p = frc::IBPPAN(e, 1);
                EXPECT_TRUE(p >= 1 && p <= 4 && pnl::IPFLAG(p) != -1) << p;
            }
            EXPECT_NE(screen.str().find("WARNING: no .bpi input file for body IB=2"), std::string::npos);
            EXPECT_NE(screen.str().find("WARNING: no .BPI input file for body IB=2"), std::string::npos);
            EXPECT_EQ(frc::NBPT(2), 0);
        }
    }
}

TEST_F(BodyPointTest, FilesThatCannotBeUsed) {
    struct Case {
        const char* name;
        const char* bpi;
        const char* message;
    };
    const Case cases[] = {
        {"count not a number", "t\nthree\n0 0 -1\n", "Error reading the number of points (record 2) of body-point file body1.bpi"},
        {"negative count", "t\n-1\n", "Error reading the number of points (record 2) of body-point file body1.bpi"},
        {"coordinate not a number", "t\n2\n0 0 -1\n0 y -1\n",
         "Body point 2 (record 4) of body1.bpi cannot be placed: three coordinates x y z expected"},
        {"fewer points than counted", "t\n2\n0 0 -1\n",
         "Body point 2 (record 4) of body1.bpi cannot be placed: three coordinates x y z expected"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        bodies(square(), {4}, 1);
        write_file("body1.bpi", c.bpi);
        int ierr = 0;
        FINDBPT(ierr);
        EXPECT_EQ(ierr, 1);
        EXPECT_NE(screen.str().find(c.message), std::string::npos) << screen.str();
        EXPECT_FALSE(chan::is_open(25));
        EXPECT_FALSE(chan::is_open(39));
    }
}

TEST_F(BodyPointTest, SymmetricBodyFoldsPointsIntoItsPart) {
    // The half y >= 0 of a body symmetric about y = 0: a point at y < 0 is
    // folded onto the half and belongs to the second copy (image id 4).
    auto pans = square();
    bodies(pans, {4}, 1);
    model::ISY = 1;
    write_file("body1.bpi", "t\n2\n1 -1 -1\n0 0.9 -1\n");
    int ierr = 0;
    FINDBPT(ierr);
    ASSERT_EQ(ierr, 0);
    EXPECT_EQ(frc::IBPIMG(1), 4);
    EXPECT_EQ(frc::IBPIDX(1), 2);
    EXPECT_EQ(frc::IBPPAN(1, 1), 4);
    EXPECT_EQ(frc::IBPIMG(2), 1);
    EXPECT_EQ(frc::IBPIDX(2), 1);
    EXPECT_EQ(frc::IBPPAN(1, 2), 3);
    const auto bpo = read_lines("body1.bpo");
    EXPECT_EQ(bpo[2], "   2      4  0.000000");
}

}  // namespace
}  // namespace zorva
