// Hydrostatics of low-order bodies from panel sets built from vertices:
// volumes, centre of buoyancy and restoring coefficients against closed
// forms, symmetry, several bodies, and the panel checks of a run.
#include <gtest/gtest.h>

#include <cmath>

#include "common/channels.hpp"
#include "geometry/model.hpp"
#include "geometry/modelin.hpp"
#include "main/config.hpp"
#include "panels/geom.hpp"
#include "panels/geomdata.hpp"
#include "panels/paneldata.hpp"
#include "tests/support/panelsets.hpp"
#include "tests/support/testdir.hpp"

namespace zorva {
namespace {

using pnl::CHYD;
using test::Body;

class HydroTest : public test::TempDirTest {
protected:
    // Runs GEOMSTAT with an open error log; returns its status.
    int run() {
        chan::open(1, "errorp.log", chan::Status::Replace);
        int ierr = -1;
        GEOMSTAT(model::NEQN, 0, ierr);
        chan::close(1);
        return ierr;
    }
    static float C(int nb, int j, int k) {
        const int m0 = model::IBMOD(nb);
        return CHYD(m0 + j, m0 + k);
    }
    // Box 2 x 1 x 0.5: V = 1, Zb = -0.25, C33 = 2, C44 and C55 as given.
    void expect_box(int nb, float c44, float c55) {
        EXPECT_NEAR(pnl::VOLB(nb), 1.0f, 2e-6f);
        for (int k = 1; k <= 3; ++k) EXPECT_NEAR(pnl::VOLXYZ(k, nb), 1.0f, 2e-6f) << k;
        EXPECT_NEAR(pnl::XBUOY(1, nb), 0.0f, 1e-6f);
        EXPECT_NEAR(pnl::XBUOY(2, nb), 0.0f, 1e-6f);
        EXPECT_NEAR(pnl::XBUOY(3, nb), -0.25f, 1e-6f);
        EXPECT_NEAR(C(nb, 3, 3), 2.0f, 2e-6f);
        EXPECT_NEAR(C(nb, 4, 4), c44, 2e-6f);
        EXPECT_NEAR(C(nb, 5, 5), c55, 2e-6f);
        for (auto [j, k] : {std::pair{3, 4}, {3, 5}, {4, 5}, {4, 6}, {5, 6}, {4, 3}, {5, 3}, {5, 4}})
            EXPECT_NEAR(C(nb, j, k), 0.0f, 1e-6f) << j << k;
    }
};

// Closed forms: C44 = L B^3/12 - V T/2 = 1/6 - 1/4, C55 = B L^3/12 - V T/2 =
// 2/3 - 1/4.  With panel centroids only, the sums over the 0.25 panels give
// 0.15625 - 0.25 and 0.65625 - 0.25.
TEST_F(HydroTest, BoxWithCentroidsAndWithQuadratureRule) {
    struct Case {
        int iquad;
        float c44, c55;
    };
    for (Case c : {Case{0, -0.09375f, 0.40625f}, Case{1, -0.0833333f, 0.4166667f}}) {
        test::setup_run({Body{test::box_panels(2, 1, 0.5, 0.25)}}, 0, 0, c.iquad);
        ASSERT_EQ(model::NEQN, 80);
        EXPECT_EQ(run(), 0);
        expect_box(1, c.c44, c.c55);
        EXPECT_EQ(pnl::NPANBG(1), 80);
        EXPECT_EQ(read_file("errorp.log"), "") << "a clean run writes no warning";
        EXPECT_FALSE(model::XVER.allocated());  // released once the tables exist
    }
}

TEST_F(HydroTest, QuarterBoxGivesTheWholeBody) {
    for (int iquad : {0, 1}) {
        test::setup_run({Body{test::box_panels(2, 1, 0.5, 0.25, true)}}, 1, 1, iquad);
        ASSERT_EQ(model::NEQN, 20);
        EXPECT_EQ(run(), 0);
        expect_box(1, iquad ? -0.0833333f : -0.09375f, iquad ? 0.4166667f : 0.40625f);
    }
}

TEST_F(HydroTest, TwoBoxesHaveTheSameValuesPerBody) {
    Body a{test::box_panels(2, 1, 0.5, 0.25)}, b = a;
    a.xbody = {0.0f, -3.0f, 0.0f, 0.0f};
    b.xbody = {5.0f, 3.0f, 0.0f, 90.0f};
    test::setup_run({a, b});
    EXPECT_EQ(run(), 0);
    expect_box(1, -0.09375f, 0.40625f);
    expect_box(2, -0.09375f, 0.40625f);
    // The global tables moved with the second body (heading 90 degrees):
    // its first bottom panel, body centroid (-0.875, -0.375), lies at
    // (5 + 0.375, 3 - 0.875) with its normal still +z.
    EXPECT_NEAR(pnl::PCENT(1, 81), 5.375f, 1e-5f);
    EXPECT_NEAR(pnl::PCENT(2, 81), 2.125f, 1e-5f);
    EXPECT_NEAR(pnl::PAXES(3, 3, 81), 1.0f, 1e-6f);
    EXPECT_EQ(read_file("errorp.log"), "");
}

TEST_F(HydroTest, FacetedHemisphere) {
    test::setup_run({Body{test::hemisphere_panels(1.0, 16, 4)}});
    ASSERT_EQ(model::NEQN, 64);
    EXPECT_EQ(run(), 0);
    EXPECT_NEAR(pnl::VOLB(1), 1.9632982f, 2e-6f);
    EXPECT_NEAR(C(1, 3, 3), 3.0614674f, 2e-6f);
    EXPECT_EQ(read_file("errorp.log"), "");
}

TEST_F(HydroTest, BoxDeeperThanTheWaterStops) {
    test::setup_run({Body{test::box_panels(2, 1, 0.5, 0.25)}});
    model::HBOT = 0.4f;
    EXPECT_EQ(run(), 1);
    const std::string log = read_file("errorp.log");
    // The first bottom panel is panel 1 of the body; the rest are not listed,
    // and the refusal, naming the body, needs no list line.
    EXPECT_NE(log.find(", body 1, panel 1: centroid below the bottom (depth HBOT = 0.4 in POT file "),
              std::string::npos)
        << log;
    EXPECT_LT(log.find(" Field point is below bottom on panel "), log.find(", body 1, panel 1: centroid below")) << log;
    EXPECT_EQ(log.find("panel 2: centroid below"), std::string::npos) << log;
    EXPECT_EQ(log.find("Panels listed above"), std::string::npos) << log;
    EXPECT_EQ(log.find("volume"), std::string::npos) << log;

    // After a panel listed for another fault the list line follows.
    test::PanelSet box = test::box_panels(2, 1, 0.5, 0.25);
    box[0][1] = box[0][2] = box[0][3] = box[0][0];  // collapsed to a point on the bottom
    test::setup_run({Body{box}});
    model::HBOT = 0.4f;
    EXPECT_EQ(run(), 1);
    const std::string log2 = read_file("errorp.log");
    EXPECT_NE(log2.find("for panel I=1"), std::string::npos) << log2;
    EXPECT_NE(log2.find("panel 1: centroid below the bottom"), std::string::npos) << log2;
    EXPECT_NE(log2.find("Panels listed above are for body N=1"), std::string::npos) << log2;
}

TEST_F(HydroTest, LidAndUpwardPanels) {
    // A lid at z = 0 facing down on a body with IRR = 0 stops the run.
    test::PanelSet box = test::box_panels(2, 1, 0.5, 0.25);
    test::PanelSet lid = box;
    for (auto& q : lid)
        for (auto& v : q) v[2] = 0.0;  // bottom panels lifted to the surface: normals still +z
    test::PanelSet down;
    for (int i = 0; i < 32; ++i) {
        test::Panel4 q = lid[static_cast<std::size_t>(i)];
        std::swap(q[1], q[3]);  // facing down: an interior free-surface panel
        down.push_back(q);
    }
    Body b{box};
    b.panels.push_back(down[0]);
    test::setup_run({b});
    EXPECT_EQ(run(), 1);
    EXPECT_NE(read_file("errorp.log").find(" Interior free-surface panels input with IRR=0, body1"),
              std::string::npos);

    // The same lid on a body with IRR = 1 is flagged and counted out.
    b.irr = 1;
    test::setup_run({b});
    model::NWLPANB(1) = 0;
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(pnl::IPFLAG(81), -1);
    EXPECT_EQ(pnl::NPANBG(1), 80);
    expect_box(1, -0.09375f, 0.40625f);  // the lid adds nothing

    // A panel at z = 0 facing up is computed normally, flagged and warned about.
    Body u{box};
    u.panels.push_back(lid[0]);
    test::setup_run({u});
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(pnl::IPFLAG(81), 1);
    EXPECT_NE(read_file("errorp.log").find(" Warning: Physical panel in free surface for body=1"),
              std::string::npos);
}

TEST_F(HydroTest, VolumeWarnings) {
    // A vertical plate has no volume: warning, and the raw moments stand.
    test::setup_run({Body{{test::Panel4{test::P3{1, 0, 0}, {1, 0, -1}, {-1, 0, -1}, {-1, 0, 0}}}}});
    EXPECT_EQ(run(), 0);
    EXPECT_NE(read_file("errorp.log").find(" Warning: body volume less than 1.E-30 for body N=1"), std::string::npos);
    EXPECT_EQ(pnl::VOLB(1), 0.0f);
    for (int k = 1; k <= 3; ++k) EXPECT_TRUE(std::isfinite(pnl::XBUOY(k, 1)));

    // A wavemaker body keeps its raw moments: Zb = int z^2 n_z = 0.25 x 2.
    test::setup_run({Body{test::box_panels(2, 1, 0.5, 0.25)}});
    cfg::IBODY_WAVEMAKER = 1;
    EXPECT_EQ(run(), 0);
    const std::string log = read_file("errorp.log");
    EXPECT_NE(log.find(" Warning: Wavemaker volume > 1.E-6 for body N=1"), std::string::npos) << log;
    EXPECT_EQ(log.find("less than 1.E-30"), std::string::npos) << log;
    EXPECT_NEAR(pnl::XBUOY(3, 1), 0.5f, 1e-6f);

    // End faces moved out to x = +-1.02: VOLX = 1.02 against VOLY = VOLZ = 1.
    test::PanelSet box = test::box_panels(2, 1, 0.5, 0.25);
    for (auto& q : box) {
        const bool end = q[0][0] == q[2][0] && std::fabs(q[0][0]) == 1.0;
        for (auto& v : q)
            if (end) v[0] *= 1.02;
    }
    test::setup_run({Body{box}});
    EXPECT_EQ(run(), 0);
    EXPECT_NEAR(pnl::VOLXYZ(1, 1), 1.02f, 1e-6f);
    EXPECT_NEAR(pnl::VOLB(1), 1.0f, 2e-6f);
    EXPECT_NE(read_file("errorp.log").find(" Warning: body volumes differ by > 1% for body N=1"), std::string::npos);
}

TEST_F(HydroTest, DegeneratePanelInABody) {
    test::PanelSet box = test::box_panels(2, 1, 0.5, 0.25);
    box[5][1] = box[5][2] = box[5][3] = box[5][0];  // collapsed to a point
    test::setup_run({Body{box}});
    EXPECT_EQ(run(), 1);
    const std::string log = read_file("errorp.log");
    EXPECT_NE(log.find(" Error: panel area is less than 1.E-10 for panel I=6"), std::string::npos) << log;
    EXPECT_NE(log.find("Panels listed above are for body N=1"), std::string::npos) << log;
    for (int i = 1; i <= 80; ++i)
        for (int k = 1; k <= 13; ++k) ASSERT_TRUE(std::isfinite(pnl::PPROP(k, i)));
    for (int j = 1; j <= 6; ++j)
        for (int k = 1; k <= 6; ++k) ASSERT_TRUE(std::isfinite(CHYD(j, k)));
}

// Box with a lid of 8 x 4 panels at z = 0 (IRR = 1).  The waterline
// segments come in panel order: the 4 of the end x = 1 first, so their
// strips run in -x across all 32 lid panels (8 each) and every later
// segment finds none left.
TEST_F(HydroTest, LidStripsFromTheWaterlineSegments) {
    test::PanelSet box = test::box_panels(2, 1, 0.5, 0.25);
    Body b{box};
    for (int i = 0; i < 32; ++i) {
        test::Panel4 q = box[static_cast<std::size_t>(i)];
        for (auto& v : q) v[2] = 0.0;
        std::swap(q[1], q[3]);
        b.panels.push_back(q);
    }
    b.irr = 1;
    test::setup_run({b});
    int ierr = 0;
    WLSEGS(1, 1, 1, ierr);
    ASSERT_EQ(ierr, 0);
    ASSERT_EQ(model::NWLPANB(1), 24);
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(pnl::NPANBG(1), 80);
    ASSERT_EQ(pnl::NLIDSTRIP, 24 + 32);
    std::vector<int> seen(113, 0);
    int k = 1;
    for (int s = 1; s <= 24; ++s) {
        const int n = pnl::LIDSTRIP(k++);
        EXPECT_EQ(n, s <= 4 ? 8 : 0) << s;
        float y = 0;
        for (int j = 1; j <= n; ++j) {
            const int p = pnl::LIDSTRIP(k++);
            ASSERT_GT(p, 80);
            ++seen[static_cast<std::size_t>(p)];
            EXPECT_EQ(pnl::IPFLAG(p), -1);
            // A strip keeps its row and steps inward from x = 1.
            if (j == 1) y = pnl::PCENT(2, p);
            EXPECT_NEAR(pnl::PCENT(2, p), y, 1e-6f);
            EXPECT_NEAR(pnl::PCENT(1, p), 0.875f - 0.25f * static_cast<float>(j - 1), 1e-6f);
        }
    }
    for (int p = 81; p <= 112; ++p) EXPECT_EQ(seen[static_cast<std::size_t>(p)], 1) << p;
    expect_box(1, -0.09375f, 0.40625f);
}

}  // namespace
}  // namespace zorva
