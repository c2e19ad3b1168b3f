// Free-surface mesher on its own: the square worked by hand, a table of
// contours whose panels must tile the polygon exactly (positive areas,
// areas summing to the shoelace area), the bulge quadrilateral, spike
// removal, and the refusals.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "common/channels.hpp"
#include "common/messages.hpp"
#include "geometry/model.hpp"
#include "panels/irrfs.hpp"
#include "tests/support/modules.hpp"

namespace zorva {
namespace {

using Pt = std::pair<double, double>;

class FsMeshTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::reset_modules();
        chan::reset();
        chan::set_screen(&screen);
    }
    void TearDown() override {
        chan::reset();
        test::reset_modules();
    }
    // Meshes the contour (clockwise from +z) with target side FSSIZE * 1.4
    // unless FACT is given; panels from XVER index 1.
    int mesh(const std::vector<Pt>& c, float fssize, float fact = 1.4f, int npanb = 1000, float zbody = 0.0f) {
        Arr2<float> xy(2, static_cast<long>(c.size()) + 1);
        for (std::size_t i = 0; i < c.size(); ++i) {
            xy(1, static_cast<long>(i) + 1) = static_cast<float>(c[i].first);
            xy(2, static_cast<long>(i) + 1) = static_cast<float>(c[i].second);
        }
        int npanmax = 0;
        nfsp = -1;
        ierr = -1;
        FSMESH(zbody, nfsp, npanmax, 1, fssize, xy, static_cast<int>(c.size()), npanb, 8, 8, 4, fact, ierr);
        return nfsp;
    }
    // Signed area of panel ip (positive: counter-clockwise from +z).
    static double area(int ip) {
        double a = 0;
        for (int k = 1; k <= 4; ++k) {
            const int n = k % 4 + 1;
            a += static_cast<double>(model::XVER(k, 1, ip)) * static_cast<double>(model::XVER(n, 2, ip)) -
                 static_cast<double>(model::XVER(n, 1, ip)) * static_cast<double>(model::XVER(k, 2, ip));
        }
        return 0.5 * a;
    }
    static double poly_area(const std::vector<Pt>& c) {
        double a = 0;
        for (std::size_t i = 0; i < c.size(); ++i) {
            const Pt& p = c[i];
            const Pt& q = c[(i + 1) % c.size()];
            a += p.first * q.second - q.first * p.second;
        }
        return -0.5 * a;  // clockwise contour
    }
    std::ostringstream screen;
    int nfsp = -1, ierr = -1;
};

// Regular polygon of n sides, radius r, clockwise from +z.
std::vector<Pt> ngon(int n, double r, double x0 = 0, double y0 = 0) {
    std::vector<Pt> c;
    const double pi = 3.14159265358979323846;
    for (int i = 0; i < n; ++i) c.emplace_back(x0 + r * std::cos(-2 * pi * i / n), y0 + r * std::sin(-2 * pi * i / n));
    return c;
}

// Rectangle [x0, x1] x [y0, y1] with points every step, clockwise.
std::vector<Pt> rect(double x0, double y0, double x1, double y1, double step) {
    std::vector<Pt> c;
    const int nx = static_cast<int>(std::lround((x1 - x0) / step));
    const int ny = static_cast<int>(std::lround((y1 - y0) / step));
    for (int j = 0; j < ny; ++j) c.emplace_back(x0, y0 + j * step);
    for (int i = 0; i < nx; ++i) c.emplace_back(x0 + i * step, y1);
    for (int j = 0; j < ny; ++j) c.emplace_back(x1, y1 - j * step);
    for (int i = 0; i < nx; ++i) c.emplace_back(x1 - i * step, y0);
    return c;
}

TEST_F(FsMeshTest, SquareOfSideHGivesTheTwoTrianglesWorkedByHand) {
    // H = 1.4 * FSSIZE = 1: nodes 1..4 are the corners; the first step
    // takes node 3, the second closes the three-edge front.
    const std::vector<Pt> sq = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
    ASSERT_EQ(mesh(sq, 1.0f / 1.4f, 1.4f, 10, 0.25f), 2);
    EXPECT_EQ(ierr, 0);
    const float want[2][4][2] = {{{1, 1}, {0, 1}, {0, 0}, {0, 0}}, {{1, 0}, {1, 1}, {0, 0}, {0, 0}}};
    for (int ip = 1; ip <= 2; ++ip)
        for (int k = 1; k <= 4; ++k) {
            EXPECT_FLOAT_EQ(model::XVER(k, 1, ip), want[ip - 1][k - 1][0]) << ip << ' ' << k;
            EXPECT_FLOAT_EQ(model::XVER(k, 2, ip), want[ip - 1][k - 1][1]) << ip << ' ' << k;
            EXPECT_FLOAT_EQ(model::XVER(k, 3, ip), -0.25f);
        }
    EXPECT_EQ(screen.str().find("WARNING"), std::string::npos);
}

TEST_F(FsMeshTest, PanelsTileEachPolygon) {
    // Waterline of the box of the examples (2 x 1, sides of 0.25) and of a
    // faceted hemisphere of radius 1 (16 sides); the driver's reference
    // length is the mean side.
    struct Case {
        const char* name;
        std::vector<Pt> c;
        float fssize;
    };
    const std::vector<Case> cases = {
        {"square 2 x 2, H = 1", {{0, 0}, {0, 2}, {2, 2}, {2, 0}}, 1.0f / 1.4f},
        {"rectangle 3.1 x 1, long sides split", {{0, 0}, {0, 1}, {3.1, 1}, {3.1, 0}}, 1.0f / 1.4f},
        {"L-shape", {{0, 0}, {0, 3}, {1, 3}, {1, 1}, {3, 1}, {3, 0}}, 0.5f},
        {"L-shape, fine", {{0, 0}, {0, 3}, {1, 3}, {1, 1}, {3, 1}, {3, 0}}, 0.15f},
        {"16-gon", ngon(16, 1.0), 0.39f},
        {"64-gon", ngon(64, 1.0), 0.098f},
        {"64-gon off the origin", ngon(64, 2.0, 5.0, -3.0), 0.196f},
        {"64-gon, finer interior", ngon(64, 1.0), 0.075f},
        {"box waterline", rect(-1, -0.5, 1, 0.5, 0.25), 0.25f},
        {"hemisphere waterline", ngon(16, 1.0), 0.3902f},
    };
    for (const auto& cs : cases) {
        SCOPED_TRACE(cs.name);
        screen.str("");
        const int n = mesh(cs.c, cs.fssize);
        ASSERT_EQ(ierr, 0);
        ASSERT_GT(n, 0);
        double sum = 0;
        for (int ip = 1; ip <= n; ++ip) {
            const double a = area(ip);
            EXPECT_GT(a, 1e-3 * static_cast<double>(cs.fssize * cs.fssize)) << "panel " << ip;
            sum += a;
        }
        EXPECT_NEAR(sum, poly_area(cs.c), 2e-5 * poly_area(cs.c));
        EXPECT_EQ(screen.str().find("WARNING"), std::string::npos) << screen.str();
    }
}

TEST_F(FsMeshTest, MergedPointBecomesTheBulgeOfItsEdge) {
    // M lies 0.49 from B (< 0.5 H): merged into the edge B -> C, 0.2 outside
    // its chord.  The triangle on that edge becomes C, M, B, A, and the two
    // panels cover the polygon with M exactly: 1 + 0.1.
    const std::vector<Pt> c = {{0, 0}, {0, 1}, {0.45, 1.2}, {1, 1}, {1, 0}};
    ASSERT_EQ(mesh(c, 1.0f / 1.4f), 2);
    const float want[4][2] = {{1, 1}, {0.45f, 1.2f}, {0, 1}, {0, 0}};
    for (int k = 1; k <= 4; ++k) {
        EXPECT_FLOAT_EQ(model::XVER(k, 1, 1), want[k - 1][0]) << k;
        EXPECT_FLOAT_EQ(model::XVER(k, 2, 1), want[k - 1][1]) << k;
    }
    EXPECT_NEAR(area(1) + area(2), 1.1, 1e-6);
}

TEST_F(FsMeshTest, NarrowSpikeIsCutOff) {
    // A spike of 7.6 degrees on the top side of a 2 x 2 square: its tip is
    // dropped and the rest is tiled (the spike's 0.054 lost).
    const std::vector<Pt> c = {{0, 0}, {0, 2}, {0.94, 2}, {1.0, 2.9}, {1.06, 2}, {2, 2}, {2, 0}};
    const int n = mesh(c, 1.0f / 1.4f);
    ASSERT_EQ(ierr, 0);
    double sum = 0;
    for (int ip = 1; ip <= n; ++ip) {
        EXPECT_GT(area(ip), 0.0) << ip;
        sum += area(ip);
        for (int k = 1; k <= 4; ++k) EXPECT_LE(model::XVER(k, 2, ip), 2.0f + 1e-6f);
    }
    EXPECT_NEAR(sum, 4.0, 1e-5);
    EXPECT_EQ(screen.str().find("WARNING"), std::string::npos) << screen.str();
}

TEST_F(FsMeshTest, RefusesNoPanelLimitAndAShortContourArray) {
    const std::vector<Pt> sq = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
    mesh(sq, 1.0f, 1.0f, 0);
    EXPECT_EQ(ierr, 1);
    EXPECT_EQ(nfsp, 0);
    EXPECT_NE(screen.str().find("Number of free-surface panels exceeds limit"), std::string::npos);

    // Too few steps for the mesh: the limit is reported, not overrun.
    screen.str("");
    mesh(ngon(64, 1.0), 0.098f, 1.4f, 3);
    EXPECT_EQ(ierr, 1);
    EXPECT_NE(screen.str().find("exceeds limit " + errmsg_value(6)), std::string::npos) << screen.str();

    // An array without room for the closing point.
    screen.str("");
    Arr2<float> xy(2, 4);
    int n = -1, npanmax = 0, e = -1;
    for (int i = 1; i <= 4; ++i) xy(1, i) = xy(2, i) = 0.0f;
    FSMESH(0.0f, n, npanmax, 1, 1.0f, xy, 4, 10, 8, 8, 4, 1.0f, e);
    EXPECT_EQ(e, 1);
    EXPECT_NE(screen.str().find("closing point"), std::string::npos);
}

TEST(FsTriang, ThreeFourFiveTriangle) {
    const float p0[2] = {0, 0}, p1[2] = {4, 0}, p2[2] = {0, 3};
    float cmax, cneg2, d02, d12;
    FSTRIANG(p0, p1, p2, cmax, cneg2, d02, d12, 4.0f);
    EXPECT_FLOAT_EQ(d02, 3.0f);
    EXPECT_FLOAT_EQ(d12, 5.0f);
    EXPECT_FLOAT_EQ(cneg2, -0.6f);  // cos of the angle at P2 is 3/5
    EXPECT_FLOAT_EQ(cmax, 0.8f);    // the angle at P1: 4/5
}

}  // namespace
}  // namespace zorva
