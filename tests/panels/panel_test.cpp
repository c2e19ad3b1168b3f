// Geometry of single panels: axes, area and moments against closed forms,
// the quadrature rule, the panel checks and degenerate input.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>

#include "common/channels.hpp"
#include "panels/geom.hpp"

namespace zorva {
namespace {

struct Out {
    float xc[3], ax[9], xi[4], eta[4], prop[13], side[4], xg[12], wg[4], diam[2];
    int ierr = -1;
};

// X(k, c) column-major from vertex rows.
Out run_panel(const float v[4][3], int iquad = 0, int idiag = 0) {
    float x[12];
    for (int k = 0; k < 4; ++k)
        for (int c = 0; c < 3; ++c) x[c * 4 + k] = v[k][c];
    Out o;
    for (float& w : o.wg) w = -99.0f;
    PANEL(x, o.xc, o.ax, o.xi, o.eta, o.prop, o.side, o.xg, o.wg, idiag, o.diam, 7, iquad, o.ierr);
    return o;
}

class PanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        chan::reset();
        chan::set_screen(&screen);
    }
    void TearDown() override { chan::reset(); }
    std::ostringstream screen;
};

TEST_F(PanelTest, UnitSquareAxesAreaAndMoments) {
    const float v[4][3] = {{1, 1, 0}, {1, -1, 0}, {-1, -1, 0}, {-1, 1, 0}};
    Out o = run_panel(v);
    EXPECT_EQ(o.ierr, 0);
    EXPECT_FLOAT_EQ(o.prop[0], 4.0f);
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(o.xc[c], 0.0f, 1e-7f);
    // axis 1 = x, axis 3 (normal) = +z: AX[(c)*3 + a]
    EXPECT_FLOAT_EQ(o.ax[0 * 3 + 0], 1.0f);
    EXPECT_FLOAT_EQ(o.ax[1 * 3 + 1], 1.0f);
    EXPECT_FLOAT_EQ(o.ax[2 * 3 + 2], 1.0f);
    // 1.5 I(2,0) = 1.5 * 4/3; I(1,1) = 0; 3.75 I(4,0) = 3.75 * 4/5; 3.75 I(2,2) = 3.75 * 4/9
    EXPECT_NEAR(o.prop[1], 2.0f, 1e-6f);
    EXPECT_NEAR(o.prop[2], 0.0f, 1e-6f);
    EXPECT_NEAR(o.prop[3], 2.0f, 1e-6f);
    EXPECT_NEAR(o.prop[8], 3.0f, 1e-5f);
    EXPECT_NEAR(o.prop[10], 3.75f * 4.0f / 9.0f, 1e-5f);
    for (int k : {4, 5, 6, 7, 9, 11}) EXPECT_NEAR(o.prop[k], 0.0f, 1e-6f) << k;
    for (int k = 0; k < 4; ++k) EXPECT_FLOAT_EQ(o.side[k], 2.0f);
    EXPECT_FLOAT_EQ(o.diam[0], 1.0f);  // IDIAG = 0: (1, area)
    EXPECT_FLOAT_EQ(o.diam[1], 4.0f);
    EXPECT_FLOAT_EQ(o.wg[0], -99.0f);  // no rule asked for
    EXPECT_EQ(screen.str(), "");
}

TEST_F(PanelTest, TrapezoidCentroidMomentsAndQuadratureRule) {
    // Trapezoid in the plane z = 2: x from 0 to 2, width 2 at x = 0 and 1 at
    // x = 2 (symmetric about y = 0).  Area 3, centroid x = 8/9.
    const float v[4][3] = {{0, 1, 2}, {2, 0.5f, 2}, {2, -0.5f, 2}, {0, -1, 2}};
    Out o = run_panel(v, 1, 1);
    EXPECT_EQ(o.ierr, 0);
    EXPECT_NEAR(o.prop[0], 3.0f, 1e-6f);
    EXPECT_NEAR(o.xc[0], 8.0f / 9.0f, 1e-6f);
    EXPECT_NEAR(o.xc[1], 0.0f, 1e-6f);
    EXPECT_NEAR(o.xc[2], 2.0f, 1e-6f);
    // Normal +z (vertices clockwise seen from above); axis 1 along +y.
    EXPECT_NEAR(o.ax[2 * 3 + 2], 1.0f, 1e-6f);
    EXPECT_NEAR(o.ax[1 * 3 + 0], 1.0f, 1e-6f);
    // Weights sum to the area; the rule integrates (x - xc)^2 exactly:
    // int x^2 dA = int_0^2 x^2 (2 - x/2) dx = 16/3 - 2 = 10/3;
    // about the centroid: 10/3 - 3 (8/9)^2.
    float ws = 0, sxx = 0;
    for (int g = 0; g < 4; ++g) {
        ws += o.wg[g];
        sxx += o.wg[g] * (o.xg[g] - o.xc[0]) * (o.xg[g] - o.xc[0]);
        EXPECT_NEAR(o.xg[8 + g], 2.0f, 1e-6f);
    }
    EXPECT_NEAR(ws, 3.0f, 1e-5f);
    const double ixx = 10.0 / 3.0 - 3.0 * 64.0 / 81.0;
    EXPECT_NEAR(sxx, ixx, 1e-5);
    // Axis 1 = y, axis 2 = -x: PPROP(2) = 1.5 int y^2 dA = 1.5 int_0^2 w^3/12 dx
    // (w = 2 - x/2) = 1.5 * 5/8, and PPROP(4) = 1.5 int (x - xc)^2 dA.
    EXPECT_NEAR(o.prop[1], 1.5 * 0.625, 1e-5);
    EXPECT_NEAR(o.prop[3], 1.5 * ixx, 1e-5);
    EXPECT_NEAR(o.prop[2], 0.0, 1e-5);
    // IDIAG = 1: largest vertex distance is a diagonal, sqrt(4 + 2.25).
    EXPECT_NEAR(o.diam[1], 6.25f, 1e-5f);
    EXPECT_NEAR(o.diam[0], 3.0f / 2.5f, 1e-6f);
}

TEST_F(PanelTest, TriangleWithRepeatedVertex) {
    const float v[4][3] = {{0, 0, -1}, {0, 0, -1}, {3, 0, -1}, {0, 3, -1}};
    Out o = run_panel(v);
    EXPECT_EQ(o.ierr, 0);
    EXPECT_NEAR(o.prop[0], 4.5f, 1e-5f);
    EXPECT_NEAR(o.xc[0], 1.0f, 1e-5f);
    EXPECT_NEAR(o.xc[1], 1.0f, 1e-5f);
    EXPECT_FLOAT_EQ(o.side[0], 0.0f);
    EXPECT_EQ(screen.str(), "");  // no corner warning at the collapsed side
}

TEST_F(PanelTest, CornerChecks) {
    // Dart: vertex 3 pushed inside -> one reflex corner, a warning only.
    const float dart[4][3] = {{1, 1, 0}, {1, -1, 0}, {0.2f, 0.2f, 0}, {-1, 1, 0}};
    Out d = run_panel(dart);
    EXPECT_EQ(d.ierr, 0);
    EXPECT_NE(screen.str().find(" Warning: panel side is convex, panel I=7"), std::string::npos) << screen.str();
    screen.str("");
    const float bow[4][3] = {{1, 1, 0}, {1, -1, 0}, {-1, 1.5f, 0}, {-1, -1, 0}};
    Out b = run_panel(bow);
    EXPECT_EQ(b.ierr, 1);
    EXPECT_NE(screen.str().find(" Error: two sides intersect on panel I="), std::string::npos) << screen.str();
}

TEST_F(PanelTest, DegeneratePanelsFailWithFiniteTables) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float cases[][4][3] = {
        {{1, 1, 1}, {1, 1, 1}, {1, 1, 1}, {1, 1, 1}},          // a point
        {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}},          // a line
        {{0, 0, 0}, {1, 0, 0}, {1, 0, 0}, {0, 0, 0}},          // collapsed to a segment
        {{1, 1, 0}, {1, -1, 0}, {-1, -1, nan}, {-1, 1, 0}},    // an undefined vertex
        {{1, 1, 0}, {1, 1, 0}, {1, 1 + 1e-7f, 0}, {1 + 1e-7f, 1, 0}},  // area far below 1.E-10
    };
    for (const auto& v : cases) {
        screen.str("");
        Out o = run_panel(v, 1, 1);
        EXPECT_EQ(o.ierr, 1);
        EXPECT_NE(screen.str().find(" Error: panel area is less than 1.E-10 for panel I="), std::string::npos)
            << screen.str();
        for (float f : o.ax) EXPECT_TRUE(std::isfinite(f));
        for (float f : o.prop) EXPECT_TRUE(std::isfinite(f));
        for (float f : o.diam) EXPECT_TRUE(std::isfinite(f));
        for (int k = 0; k < 4; ++k) EXPECT_TRUE(std::isfinite(o.xi[k]) && std::isfinite(o.eta[k]));
    }
}

}  // namespace
}  // namespace zorva
