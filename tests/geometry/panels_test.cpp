// Panel-array growth, reflection about the symmetry planes, the interior
// free surface of IRR = 2 bodies, waterline segments and the body/global
// transforms.  Expected vertices are worked out by hand from the mirror
// rules (x or y negated, vertex order 2 1 4 3).
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>

#include "tests/geometry/modeltest.hpp"

namespace zorva::test {
namespace {

using namespace model;
using V4 = std::array<std::array<float, 3>, 4>;

void set_panel(int p, const V4& v) {
    for (int k = 1; k <= 4; ++k)
        for (int c = 1; c <= 3; ++c) XVER(k, c, p) = v[k - 1][c - 1];
}

V4 panel(int p) {
    V4 v;
    for (int k = 1; k <= 4; ++k)
        for (int c = 1; c <= 3; ++c) v[k - 1][c - 1] = XVER(k, c, p);
    return v;
}

void alloc_panels(int n) {
    int ierr = 0;
    GROWXVER(n, 0, ierr);
    GROWTANK(n, 0, ierr);
    GROWDIPW(n, 0, ierr);
}

TEST_F(ModelTest, GrowthKeepsDeletesAndInserts) {
    int ierr = -1;
    GROWTANK(3, 0, ierr);
    ASSERT_EQ(ierr, 0);
    ITANK(1) = 7;
    ITANK(2) = 8;
    ITANK(3) = 9;
    GROWTANK(3, 0, ierr);  // same count: unchanged
    EXPECT_EQ(ITANK(3), 9);
    GROWTANK(5, 0, ierr);
    ASSERT_EQ(ITANK.extent(1), 5);
    EXPECT_EQ(ITANK(2), 8);
    EXPECT_EQ(ITANK(5), 0);
    GROWTANK(-1, 2, ierr);  // delete entry 2
    ASSERT_EQ(ITANK.extent(1), 4);
    EXPECT_EQ(ITANK(1), 7);
    EXPECT_EQ(ITANK(2), 9);
    GROWTANK(1, 1, ierr);  // insert a copy of entry 1 after it
    ASSERT_EQ(ITANK.extent(1), 5);
    EXPECT_EQ(ITANK(2), 7);
    EXPECT_EQ(ITANK(3), 9);

    GROWXVER(3, 0, ierr);
    for (int p = 1; p <= 3; ++p) XVER(4, 3, p) = static_cast<float>(p);
    GROWXVER(1, 2, ierr);
    ASSERT_EQ(XVER.extent(3), 4);
    EXPECT_EQ(XVER(4, 3, 2), 2.f);
    EXPECT_EQ(XVER(4, 3, 3), 2.f);
    EXPECT_EQ(XVER(4, 3, 4), 3.f);
    GROWXVER(-1, 1, ierr);
    ASSERT_EQ(XVER.extent(3), 3);
    EXPECT_EQ(XVER(4, 3, 1), 2.f);
    EXPECT_EQ(XVER(4, 3, 3), 3.f);
}

TEST_F(ModelTest, ReflectionOfOnePanel) {
    alloc_panels(1);
    set_panel(1, {{{1, 0, 0}, {1, 1, 0}, {1, 1, -1}, {1, 0, -1}}});
    ITANK(1) = 3;
    int n = 1, ierr = -1;
    REFLPAN(n, 1, {1, 0}, ierr);
    ASSERT_EQ(ierr, 0);
    ASSERT_EQ(n, 2);
    const V4 want = {{{-1, 1, 0}, {-1, 0, 0}, {-1, 0, -1}, {-1, 1, -1}}};
    EXPECT_EQ(panel(2), want);
    EXPECT_EQ(ITANK(2), 3);
}

TEST_F(ModelTest, ReflectionAboutBothPlanes) {
    alloc_panels(10);
    for (int p = 1; p <= 10; ++p) {
        const float a = static_cast<float>(p);
        set_panel(p, {{{a, 1, -a}, {a + 1, 2, -a}, {a + 1, 3, -a - 1}, {a, 4, -a - 1}}});
    }
    int n = 10, ierr = -1;
    REFLPAN(n, 1, {1, 1}, ierr);
    ASSERT_EQ(ierr, 0);
    ASSERT_EQ(n, 40);
    ASSERT_EQ(XVER.extent(3), 40);
    for (int p = 1; p <= 10; ++p) {
        const V4 src = panel(p), both = panel(30 + p);
        for (int k = 0; k < 4; ++k) {  // two reversals: the source order again
            EXPECT_EQ(both[k][0], -src[k][0]);
            EXPECT_EQ(both[k][1], -src[k][1]);
            EXPECT_EQ(both[k][2], src[k][2]);
        }
        EXPECT_EQ(panel(10 + p)[0][0], -src[1][0]);  // x image: vertex 1 from vertex 2
        EXPECT_EQ(panel(20 + p)[0][1], -src[1][1]);  // y image of the source
    }
}

TEST_F(ModelTest, DipolePanelInTheReflectionPlane) {
    cfg::IDIPOLE = 1;
    IDIPSYM = 1;
    alloc_panels(2);
    set_panel(1, {{{0, 0, 0}, {0, 1, 0}, {0, 1, -1}, {0, 0, -1}}});  // in x = 0
    set_panel(2, {{{1, 1, -1}, {2, 1, -1}, {2, 2, -1}, {1, 2, -1}}});
    IDIPWM(1) = 2;
    int n = 2, ierr = -1;
    REFLPAN(n, 1, {1, 0}, ierr);
    ASSERT_EQ(ierr, 0);
    EXPECT_EQ(n, 3);  // no image of the panel in the plane
    EXPECT_EQ(IDIPWM(1), 1);
    EXPECT_EQ(XVER.extent(3), 3);
    EXPECT_EQ(XVER(1, 1, 3), -2.f);

    // About y = 0 the same panel gets its image, of class 2.
    IDIPWM(1) = 2;
    n = 1;
    XVER.resize_keep(4, 3, 1);
    ITANK.resize_keep(1);
    IDIPWM.resize_keep(1);
    REFLPAN(n, 1, {0, 1}, ierr);
    EXPECT_EQ(n, 2);
    EXPECT_EQ(IDIPWM(2), 2);
}

TEST_F(ModelTest, Transforms) {
    cfg::XBODY.allocate(4, 2);
    CSPHIB.allocate(2, 2);
    CSPHIB(1, 1) = 1.f;  // body 1: heading 0 at the origin
    cfg::XBODY(1, 2) = 2.f;
    cfg::XBODY(2, 2) = -3.f;
    cfg::XBODY(3, 2) = 0.5f;
    CSPHIB(1, 2) = std::cos(0.5f * 3.14159265f);  // body 2: heading 90 degrees
    CSPHIB(2, 2) = 1.f;
    const float p[3] = {0.3f, -0.7f, -1.1f};
    float q[3], r[3];
    BODY2GLB(p, q, 1);
    EXPECT_EQ(q[0], p[0]);
    EXPECT_EQ(q[1], p[1]);
    EXPECT_EQ(q[2], p[2]);
    const float ex[3] = {1.f, 0.f, 0.f};
    BODY2GLB(ex, q, 2);
    EXPECT_NEAR(q[0], 2.f, 1e-6f);
    EXPECT_NEAR(q[1], -2.f, 1e-6f);
    EXPECT_NEAR(q[2], 0.5f, 1e-6f);
    BODY2GLB(p, q, 2);
    EXPECT_NEAR(q[0], 2.f + 0.7f, 1e-6f);
    EXPECT_NEAR(q[1], -3.f + 0.3f, 1e-6f);
    EXPECT_NEAR(q[2], -0.6f, 1e-6f);
    GLB2BODY(q, r, 2);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(r[i], p[i], 1e-6f);
    // In place: every input is read before the output is written.
    float s[3] = {p[0], p[1], p[2]};
    BODY2GLB(s, s, 2);
    GLB2BODY(s, s, 2);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(s[i], p[i], 1e-6f);
}

TEST_F(ModelTest, InteriorFreeSurfaceProjection) {
    alloc_panels(4);
    // Bottom (normal up), a vertical side, a lid already in z = 0, and a
    // panel whose normal points down but that lies below the free surface.
    set_panel(1, {{{0, 0, -1}, {0, 1, -1}, {1, 1, -1}, {1, 0, -1}}});
    set_panel(2, {{{0, 0, 0}, {1, 0, 0}, {1, 0, -1}, {0, 0, -1}}});
    set_panel(3, {{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}});
    set_panel(4, {{{0, 0, -0.5f}, {1, 0, -0.5f}, {1, 1, -0.5f}, {0, 1, -0.5f}}});
    int n = 4, ierr = -1;
    IRR2FS(n, 1, 0.0f, ierr);
    ASSERT_EQ(ierr, 0);
    ASSERT_EQ(n, 6);
    const V4 bottom = {{{1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 0}}};
    EXPECT_EQ(panel(5), bottom);
    EXPECT_TRUE(said(" WARNING: IRR=2, panel slopes upward for panel number =4\n")) << screen.str();
    EXPECT_EQ(panel(6)[0][2], 0.0f);
}

TEST_F(ModelTest, WaterlineSegments) {
    cfg::XBODY.allocate(4, 1);
    NPANB.allocate(1);
    NWLPANB.allocate(1);
    struct Case {
        const char* what;
        V4 v;
        int nseg, side, ierr;
    };
    const Case cases[] = {
        {"vertices 1 and 2 at the surface", {{{0, 0, 0}, {1, 0, 0}, {1, 0, -1}, {0, 0, -1}}}, 1, 1, 0},
        {"vertices 3 and 4 at the surface", {{{0, 0, -1}, {1, 0, -1}, {1, 0, 0}, {0, 0, 0}}}, 1, 3, 0},
        {"submerged", {{{0, 0, -1}, {1, 0, -1}, {1, 0, -2}, {0, 0, -2}}}, 0, 0, 0},
        {"in the surface (projected)", {{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}}, 0, 0, 0},
        {"one vertex at the surface", {{{0, 0, 0}, {1, 0, -1}, {1, 0, -2}, {0, 0, -1}}}, 0, 0, 0},
        {"side shorter than 1e-4 of the panel", {{{0, 0, 0}, {1e-5f, 0, 0}, {1, 0, -1}, {0, 0, -1}}}, 0, 0, 0},
        {"three vertices at the surface", {{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 0, -1}}}, 0, 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        XVER.deallocate();
        ITANK.deallocate();
        alloc_panels(1);
        set_panel(1, c.v);
        NPANB(1) = 1;
        int ierr = -1;
        WLSEGS(1, 1, 1, ierr);
        EXPECT_EQ(ierr, c.ierr);
        EXPECT_EQ(NWLPANB(1), c.nseg);
        EXPECT_GE(IWLPAN.extent(1), 1);
        if (c.nseg == 1) {
            EXPECT_EQ(IWLPAN(1), 1);
            EXPECT_EQ(IWLSIDE(1), c.side);
        }
    }
    EXPECT_TRUE(said(" Error: Three vertices on the free surface of panel I= 1\n")) << screen.str();
    // A body without panels keeps a table of one entry.
    NPANB(1) = 0;
    int ierr = -1;
    WLSEGS(1, 1, 1, ierr);
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(NWLPANB(1), 0);
    EXPECT_EQ(IWLPAN.extent(1), 1);
}

}  // namespace
}  // namespace zorva::test
