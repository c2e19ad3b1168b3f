// Control surfaces bounded by the body waterline: the plane geometry of
// rays, angles and foot points against hand-worked values, the completion
// of open boundary lists, the free-surface partition on hand-made
// waterlines (patch tables and the area they cover, integrated through the
// patch evaluation), its tangents against finite differences, and whole
// surfaces round the example boxes whose free-surface weights add up to
// the area between the waterline and the cylinder.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "common/channels.hpp"
#include "ctrlsurf/ctrlsurf.hpp"
#include "geometry/bspline.hpp"
#include "geometry/model.hpp"
#include "main/config.hpp"
#include "main/symmetry.hpp"
#include "p2f/forcedata.hpp"
#include "panels/geom.hpp"
#include "panels/irrfs.hpp"
#include "tests/geometry/modeltest.hpp"
#include "tests/support/modules.hpp"

namespace zorva {
namespace {

constexpr double PI = 3.14159265358979;

class WlCsf : public test::ModelTest {
protected:
    void SetUp() override {
        ModelTest::SetUp();
        clean();
    }
    // All tables back to nothing; one body at the origin, low order.
    void clean() {
        test::reset_modules();
        chan::set_screen(&screen);
        model::ULENI = 1.0f;
        cfg::ILOWHI = 0;
        cfg::NBODY = 1;
        model::IS.allocate(2, 1);
        cfg::XBODY.allocate(4, 1);
    }
    void TearDown() override {
        chan::reset();
        test::reset_modules();
        ModelTest::TearDown();
    }
    // Low-order waterline of one loop through the points XY (x, y pairs):
    // closed (ISYMEND 0) or open from plane IBEG to plane IEND; ray angles ANG.
    static void loop(const std::vector<float>& xy, bool closed, const std::vector<float>& ang, int ibeg = 0,
                     int iend = 0, float angend = 0.0f) {
        using namespace wl;
        const int n = static_cast<int>(xy.size()) / 2 - (closed ? 0 : 1);
        NSEGWL = n;
        NCONTWL = 1;
        for (auto* a : {&XWLBEG, &XWLEND}) a->allocate(2, n);
        for (auto* a : {&ANGVTX, &ANGBEG, &ANGEND, &TOLWL}) a->allocate(n);
        for (auto* a : {&IFSTWL, &ILSTWL, &ISYMBEG, &ISYMEND}) a->allocate(1);
        IWLSEG.allocate(n, 2);
        const int np = static_cast<int>(xy.size()) / 2;
        for (int j = 1; j <= n; ++j) {
            const int a = j - 1, b = j % np;
            XWLBEG(1, j) = xy[2 * a], XWLBEG(2, j) = xy[2 * a + 1];
            XWLEND(1, j) = xy[2 * b], XWLEND(2, j) = xy[2 * b + 1];
            ANGVTX(j) = ang[static_cast<std::size_t>(a)];
        }
        ANGEND(n) = angend;
        IFSTWL(1) = 1, ILSTWL(1) = n, ISYMBEG(1) = ibeg, ISYMEND(1) = iend;
    }
    // The square |x|, |y| <= 1, counter-clockwise from (1, -1).
    static void square() {
        loop({1, -1, 1, 1, -1, 1, -1, -1}, true,
             {static_cast<float>(-PI / 4), static_cast<float>(PI / 4), static_cast<float>(3 * PI / 4),
              static_cast<float>(5 * PI / 4)});
    }
    // Area of the free-surface patches 1..NCSFFSP through their evaluation
    // (8-point Gauss rule in u and v).
    static double fs_area(int ib = 1) {
        float xg[9], wg[9];
        int ierr = 0;
        GAUSLE(-1.0f, 1.0f, &xg[1], &wg[1], 8, ierr);
        double a = 0.0;
        for (int ip = 1; ip <= csf::NCSFFSP; ++ip)
            for (int i = 1; i <= 8; ++i)
                for (int j = 1; j <= 8; ++j) {
                    float X[3], XU[3], XV[3];
                    WLEDGE(xg[i], xg[j], ib, ip, X, XU, XV, 1, 0, ierr);
                    EXPECT_EQ(ierr, 0);
                    a += static_cast<double>(wg[i]) * static_cast<double>(wg[j]) *
                         (static_cast<double>(XU[0]) * static_cast<double>(XV[1]) -
                          static_cast<double>(XU[1]) * static_cast<double>(XV[0]));
                }
        return -a;  // the normal points down
    }
    void lists(const std::string& text) {
        write_file("lists.txt", text);
        ASSERT_EQ(chan::open(IUCSF, "lists.txt", chan::Status::Old), 0);
    }
    bool said(const std::string& t) const { return screen.str().find(t) != std::string::npos; }
};

TEST_F(WlCsf, RayAgainstSegment) {
    const float A[2] = {1, -1}, B[2] = {1, 1}, D[2] = {1, 1};
    const struct {
        float px, py, th;
        const float* b;
        int st;
        float hx, hy;
    } cases[] = {
        {0, 0, 0, B, 0, 1, 0},                                       // through the middle
        {0, 1, 0, B, 0, 1, 1},                                       // exactly at B
        {0, -1, 0, B, 0, 1, -1},                                     // exactly at A
        {0, 1.0000002f, 0, B, 0, 1, 1.0000002f},                     // just beyond B: still a hit
        {0, 1.1f, 0, B, 1, 0, 0},                                    // beyond B
        {0, 0, static_cast<float>(PI), B, 1, 0, 0},                  // pointing away
        {0, 0, static_cast<float>(PI / 2), B, 2, 0, 0},              // parallel
        {1, -5, static_cast<float>(PI / 2), B, 3, 0, 0},             // on the segment's line
        {0, 0, 0, D, 43, 0, 0},                                      // a degenerate segment (A = B)
    };
    for (const auto& c : cases) {
        const float P[2] = {c.px, c.py};
        float H[2] = {-9, -9};
        int st = -1;
        SLINT(P, c.th, c.b == D ? D : A, c.b, H, st);
        EXPECT_EQ(st, c.st) << c.px << ' ' << c.py << ' ' << c.th;
        if (c.st == 0) {
            EXPECT_NEAR(H[0], c.hx, 1e-6f);
            EXPECT_NEAR(H[1], c.hy, 1e-6f);
        }
    }
}

TEST_F(WlCsf, PolarAnglesRiseAlongASequence) {
    csf::RCSFCYL = 3.0f;
    const struct {
        float px, py, a;
        int iflag;
        float aprev, ang;
    } cases[] = {
        {0, -1, 0, 0, 0.5f, static_cast<float>(-PI / 2) + 6.2831855f},
        {1, 0, 0, 1, -10.0f, 0.0f},
        {1, 0, static_cast<float>(PI / 2), 1, -10.0f, static_cast<float>(std::atan2(std::sqrt(8.0), 1.0))},
        {0, 1, static_cast<float>(PI), 1, 3.0f, static_cast<float>(std::atan2(1.0, -std::sqrt(8.0)) + 2 * PI)},
    };
    for (const auto& c : cases) {
        const float P[2] = {c.px, c.py};
        float ap = c.aprev, ang = 0.0f;
        WLANGLE(P, c.a, c.iflag, ang, ap);
        EXPECT_NEAR(ang, c.ang, 2e-6f) << c.px << ' ' << c.py;
        EXPECT_EQ(ap, ang);
    }
}

TEST_F(WlCsf, FootPointsOnWaterlineLoops) {
    square();
    const struct {
        float px, py;
        int J, S;
        float T;
    } cases[] = {
        {3.0f, 0.2f, 1, 0, 0.6f},     // outward of segment 1
        {0.2f, -4.0f, 4, 0, 0.6f},    // outward of segment 4 (from (-1, -1) to (1, -1))
        {2.0f, 2.0f, 2, 1, 0.0f},     // nearest to the shared vertex: the later segment
        {-3.0f, -2.9f, 4, 1, 0.0f},   // near vertex 4, the start of segment 4
    };
    for (const auto& c : cases) {
        const float P[2] = {c.px, c.py};
        int J = 0, S = -1, ierr = -1;
        float T = -1;
        PCLOSE(P, 1, 1, J, T, S, ierr);
        EXPECT_EQ(ierr, 0);
        EXPECT_EQ(J, c.J) << c.px << ' ' << c.py;
        EXPECT_EQ(S, c.S) << c.px << ' ' << c.py;
        EXPECT_NEAR(T, c.T, 2e-3f) << c.px << ' ' << c.py;
    }
    // The end of an open loop (a quarter from the plane y = 0 to x = 0).
    wl::reset();
    loop({1, 0, 1, 1, 0, 1}, false, {0.0f, static_cast<float>(PI / 4)}, 2, 1);
    {
        const float P[2] = {-0.5f, 3.0f};
        int J = 0, S = -1, ierr = -1;
        float T = -1;
        PCLOSE(P, 1, 1, J, T, S, ierr);
        EXPECT_EQ(J, 2);
        EXPECT_EQ(S, 2);
        EXPECT_EQ(T, 1.0f);
    }
    // A loop of one segment is sampled every eighth: the point outward of
    // T = 0.125 is found there, not at the start vertex.
    wl::reset();
    loop({1, -1, 1, 1}, false, {0.0f});
    wl::ISYMEND(1) = 0;
    {
        const float P[2] = {3.0f, -0.75f};
        int J = 0, S = -1, ierr = -1;
        float T = -1;
        PCLOSE(P, 1, 1, J, T, S, ierr);
        EXPECT_EQ(S, 0);
        EXPECT_NEAR(T, 0.125f, 1e-3f);
    }
    // A degenerate segment: the normal fails and the search says so.
    wl::reset();
    loop({1, 1, 1, 1}, false, {0.0f});
    {
        const float P[2] = {3.0f, -0.75f};
        int J = 0, S = -1, ierr = -1;
        float T = -1;
        PCLOSE(P, 1, 1, J, T, S, ierr);
        EXPECT_EQ(ierr, 1);
        EXPECT_TRUE(said("Error in normal on waterline, Panel= "));
        EXPECT_TRUE(said("Error in RDCSF subroutine PCLOSE "));
    }
}

TEST_F(WlCsf, OpenListsCarriedOutToTheWall) {
    using csf::XBND;
    auto set = [](const std::vector<float>& xy, int room) {
        XBND.allocate(2, room);
        for (std::size_t i = 0; i < xy.size() / 2; ++i) {
            XBND(1, static_cast<int>(i) + 1) = xy[2 * i];
            XBND(2, static_cast<int>(i) + 1) = xy[2 * i + 1];
        }
        return static_cast<int>(xy.size() / 2);
    };
    auto polygon = [](const std::vector<float>& xy) {
        csf::ICSFCYL = 0;
        csf::NVERTCSF = static_cast<int>(xy.size() / 2);
        csf::XYCSF.allocate(2, csf::NVERTCSF);
        for (int v = 1; v <= csf::NVERTCSF; ++v)
            csf::XYCSF(1, v) = xy[2 * (v - 1)], csf::XYCSF(2, v) = xy[2 * (v - 1) + 1];
    };
    auto expect = [](int n, const std::vector<float>& xy) {
        ASSERT_EQ(n, static_cast<int>(xy.size() / 2));
        for (int i = 1; i <= n; ++i) {
            EXPECT_NEAR(XBND(1, i), xy[2 * (i - 1)], 2e-5f) << i;
            EXPECT_NEAR(XBND(2, i), xy[2 * (i - 1) + 1], 2e-5f) << i;
        }
    };
    int ierr = -1;
    // Both ends on the symmetry planes: unchanged.
    csf::ICSFCYL = 1, csf::RCSFCYL = 10.0f;
    model::IS(1, 1) = model::IS(2, 1) = 1;
    int n = set({0, 5, 5, 0}, 2);
    FSPART(n, 1, ierr);
    EXPECT_EQ(ierr, 0);
    expect(n, {0, 5, 5, 0});
    // No symmetry, cylinder of radius 10: both ends out along their end
    // segments; from (2, 2) along (1, -2) the circle is met at s with
    // 5 s^2 - 4 s - 92 = 0.
    model::IS(1, 1) = model::IS(2, 1) = 0;
    const float s = static_cast<float>((4.0 + std::sqrt(16.0 + 1840.0)) / 10.0);
    n = set({3, 0, 2, 2, 0, 3}, 3);
    FSPART(n, 1, ierr);
    EXPECT_EQ(ierr, 0);
    expect(n, {2 + s, 2 - 2 * s, 2, 2, 2 - 2 * s, 2 + s});
    // A quarter prism: the free end meets the side y = 10 at (6.5, 10);
    // the corner (0, 10) follows.
    polygon({10, 0, 10, 10, 0, 10});
    model::IS(1, 1) = model::IS(2, 1) = 1;
    n = set({3, 0, 3, 3, 4, 5}, 6);
    FSPART(n, 1, ierr);
    EXPECT_EQ(ierr, 0);
    expect(n, {3, 0, 3, 3, 6.5f, 10, 0, 10});
    // A full prism of five vertices (the last the first): the start ray
    // through the corner (10, -10) is taken on side 4; the list is closed
    // round the corners (-10, 10) and (-10, -10).
    polygon({10, -10, 10, 10, -10, 10, -10, -10, 10, -10});
    model::IS(1, 1) = model::IS(2, 1) = 0;
    n = set({6, -6, 5, -5, 5, 5}, 8);
    FSPART(n, 1, ierr);
    EXPECT_EQ(ierr, 0);
    expect(n, {10, -10, 5, -5, 5, 10, -10, 10, -10, -10, 10, -10});
    // Only the start free: the corners before the hit side go in front.
    polygon({10, 0, 10, 10, 0, 10});
    model::IS(1, 1) = 1;
    n = set({4, 5, 3, 3, 0, 3}, 6);
    FSPART(n, 1, ierr);
    EXPECT_EQ(ierr, 0);
    expect(n, {10, 0, 10, 10, 6.5f, 10, 3, 3, 0, 3});

    // Refusals: a ray that meets no side, a line that misses the circle, a
    // list of one point.
    const struct {
        int cyl;
        std::vector<float> xy;
        const char* msg;
    } bad[] = {
        {0, {3, 3, 2, 2}, " Inner partition does not intersect control surface "},
        {1, {20, 20, 21, 20}, " Inner partition does not intersect control surface "},
        {1, {1, 1}, " Inner partition has fewer than two points, body "},
    };
    model::IS(1, 1) = model::IS(2, 1) = 0;
    for (const auto& b : bad) {
        screen.str("");
        csf::ICSFCYL = b.cyl;
        n = set(b.xy, 6);
        FSPART(n, 1, ierr);
        EXPECT_EQ(ierr, 1) << b.msg;
        EXPECT_TRUE(said(b.msg)) << screen.str();
        EXPECT_FALSE(said("nan"));
    }
}

// One arc patch per segment of the square in a cylinder of radius 3: the
// rays from the corners along the diagonals meet it at the corners' own
// angles; the patches cover the area between square and circle.
TEST_F(WlCsf, NoListsGiveOneArcPatchPerSegment) {
    square();
    csf::ICSFCYL = 1, csf::RCSFCYL = 3.0f, csf::NEXTPTS = 4;
    int ierr = -1;
    EXTFSH(1, 1, ierr);
    ASSERT_EQ(ierr, 0) << screen.str();
    ASSERT_EQ(csf::NCSFFSP, 4);
    for (int j = 1; j <= 4; ++j) {
        EXPECT_EQ(csf::IWLFSP(j), j);
        EXPECT_EQ(csf::IBFSP(j), 0);
        EXPECT_NEAR(csf::XFSP1(1, j), (2 * j - 3) * PI / 4, 1e-5) << j;
        EXPECT_NEAR(csf::XFSP2(1, j), (2 * j - 1) * PI / 4, 1e-5) << j;
    }
    EXPECT_NEAR(fs_area(), 9 * PI - 4, 1e-3);
    EXPECT_FALSE(wl::ANGVTX.allocated());  // the loop tables released,
    EXPECT_TRUE(wl::XWLBEG.allocated());   // the segments kept for the evaluation

    // The quarter of it, an open loop from the plane y = 0 to x = 0.
    clean();
    loop({1, 0, 1, 1, 0, 1}, false, {0.0f, static_cast<float>(PI / 4)}, 2, 1, static_cast<float>(PI / 2));
    csf::ICSFCYL = 1, csf::RCSFCYL = 3.0f, csf::NEXTPTS = 2;
    EXTFSH(1, 1, ierr);
    ASSERT_EQ(ierr, 0);
    ASSERT_EQ(csf::NCSFFSP, 2);
    EXPECT_NEAR(csf::XFSP1(1, 1), 0.0, 1e-6);
    EXPECT_NEAR(csf::XFSP2(1, 1), PI / 4, 1e-6);
    EXPECT_NEAR(csf::XFSP2(1, 2), PI / 2, 1e-6);
    EXPECT_NEAR(fs_area(), 9 * PI / 4 - 1, 1e-3);

    // A prism has no cylinder to project on: boundary lists are needed.
    clean();
    square();
    csf::ICSFCYL = 0, csf::NEXTPTS = 4;
    screen.str("");
    EXTFSH(1, 1, ierr);
    EXPECT_EQ(ierr, 1);
    EXPECT_TRUE(said(" Control-surface prism needs boundary lists for the free surface, body "));
}

// A closed list round the square (the diamond |x| + |y| = 3) inside a
// prism: a patch from each list point and a ray patch from each corner.
TEST_F(WlCsf, ListsWithRayPatches) {
    square();
    csf::ICSFCYL = 0, csf::NBNDCSF = 2, csf::NEXTPTS = 19, csf::NBNDMAX = 10;
    lists("5\n4 -4\n4 4\n-4 4\n-4 -4\n4 -4\n5\n3 0\n0 3\n-3 0\n0 -3\n3 0\n");
    int ierr = -1;
    EXTFSH(1, 1, ierr);
    ASSERT_EQ(ierr, 0) << screen.str();
    ASSERT_EQ(csf::NCSFFSP, 8);
    // Per patch: segment, list point, outer start, waterline stretch.
    const struct {
        int seg, ib;
        float x1, y1, x2, y2, t1, t2;
    } want[] = {
        {1, 1, 3, 0, 1.5f, 1.5f, 0.5f, 1},   {2, 1, 1.5f, 1.5f, 0, 3, 0, 0.5f},
        {2, 2, 0, 3, -1.5f, 1.5f, 0.5f, 1},  {3, 2, -1.5f, 1.5f, -3, 0, 0, 0.5f},
        {3, 3, -3, 0, -1.5f, -1.5f, 0.5f, 1}, {4, 3, -1.5f, -1.5f, 0, -3, 0, 0.5f},
        {4, 4, 0, -3, 1.5f, -1.5f, 0.5f, 1},  {1, 4, 1.5f, -1.5f, 3, 0, 0, 0.5f},
    };
    for (int i = 1; i <= 8; ++i) {
        const auto& w = want[i - 1];
        SCOPED_TRACE(i);
        EXPECT_EQ(csf::IWLFSP(i), w.seg);
        EXPECT_EQ(csf::IBFSP(i), w.ib);
        EXPECT_NEAR(csf::XFSP1(1, i), w.x1, 1e-5f);
        EXPECT_NEAR(csf::XFSP1(2, i), w.y1, 1e-5f);
        EXPECT_NEAR(csf::XFSP2(1, i), w.x2, 1e-5f);
        EXPECT_NEAR(csf::XFSP2(2, i), w.y2, 1e-5f);
        EXPECT_NEAR(csf::TFSP1(i), w.t1, 1e-3f);
        EXPECT_NEAR(csf::TFSP2(i), w.t2, 1e-3f);
    }
    EXPECT_NEAR(fs_area(), 18.0 - 4.0, 1e-3);
    chan::close(IUCSF);

    // Two list points on one segment: no ray between them (not a full
    // turn of rays against the short stretch of list between them).
    clean();
    square();
    csf::ICSFCYL = 0, csf::NBNDCSF = 2, csf::NEXTPTS = 20, csf::NBNDMAX = 11;
    lists("5\n4 -4\n4 4\n-4 4\n-4 -4\n4 -4\n6\n3 -0.5\n3 0.5\n0 3\n-3 0\n0 -3\n3 -0.5\n");
    EXTFSH(1, 1, ierr);
    ASSERT_EQ(ierr, 0) << screen.str();
    EXPECT_EQ(csf::NCSFFSP, 9);
    EXPECT_NEAR(fs_area(), 19.5 - 4.0, 1e-3);
    chan::close(IUCSF);

    // The quarter square, an open loop from the plane y = 0 to x = 0, in a
    // quarter prism: its list runs between the planes and stays as given;
    // the last point's foot is the loop's far end.
    clean();
    loop({1, 0, 1, 1, 0, 1}, false, {0.0f, static_cast<float>(PI / 4)}, 2, 1, static_cast<float>(PI / 2));
    model::IS(1, 1) = model::IS(2, 1) = 1;
    csf::ICSFCYL = 0, csf::NBNDCSF = 2, csf::NEXTPTS = 2 + 3 + 6, csf::NBNDMAX = 6;
    lists("3\n3 0\n3 3\n0 3\n3\n2 0\n2 2\n0 2\n");
    EXTFSH(1, 1, ierr);
    ASSERT_EQ(ierr, 0) << screen.str();
    ASSERT_EQ(csf::NCSFFSP, 2);
    EXPECT_EQ(csf::IWLFSP(1), 1);
    EXPECT_EQ(csf::IWLFSP(2), 2);
    EXPECT_EQ(csf::XFSP2(1, 1), 2.0f);
    EXPECT_EQ(csf::XFSP2(2, 1), 2.0f);
    EXPECT_EQ(csf::XFSP2(1, 2), 0.0f);
    EXPECT_EQ(csf::XFSP2(2, 2), 2.0f);
    EXPECT_NEAR(fs_area(), 4.0 - 1.0, 1e-4);
    chan::close(IUCSF);
}

// An open list round a cylinder: carried out to the circle, one straight
// patch along it, then arc patches round the rest of the loop.
TEST_F(WlCsf, CylinderListThenArcs) {
    square();
    csf::ICSFCYL = 1, csf::RCSFCYL = 3.0f, csf::NBNDCSF = 1, csf::NEXTPTS = 6, csf::NBNDMAX = 2;
    lists("2\n2 -0.5\n2 0.5\n");
    int ierr = -1;
    EXTFSH(1, 1, ierr);
    ASSERT_EQ(ierr, 0) << screen.str();
    ASSERT_EQ(csf::NCSFFSP, 4);
    const double a = std::atan2(std::sqrt(5.0), 2.0);
    EXPECT_EQ(csf::IBFSP(1), 1);
    EXPECT_NEAR(csf::XFSP1(2, 1), -std::sqrt(5.0), 1e-5);
    EXPECT_NEAR(csf::XFSP2(2, 1), std::sqrt(5.0), 1e-5);
    const double from[3] = {a, 3 * PI / 4, 5 * PI / 4}, to[3] = {3 * PI / 4, 5 * PI / 4, 2 * PI - a};
    for (int i = 2; i <= 4; ++i) {
        EXPECT_EQ(csf::IWLFSP(i), i);
        EXPECT_EQ(csf::IBFSP(i), 0);
        EXPECT_NEAR(csf::XFSP1(1, i), from[i - 2], 1e-5) << i;
        EXPECT_NEAR(csf::XFSP2(1, i), to[i - 2], 1e-5) << i;
    }
    // The circle less the square and the cap beyond the chord x = 2.
    EXPECT_NEAR(fs_area(), 9 * PI - 4 - (9 * std::acos(2.0 / 3.0) - 2 * std::sqrt(5.0)), 1e-3);
    chan::close(IUCSF);
}

TEST_F(WlCsf, PartitionRefusals) {
    const struct {
        const char* name;
        int next, nbnd;
        std::string text;
        const char* msg;
    } cases[] = {
        {"patches beyond the room", 3, 1, "2\n2 -0.5\n2 0.5\n",
         " Too many free-surface patches of the control surface in EXTFSH, body "},
        {"empty list", 6, 1, "0\n", " Boundary list of the control surface has a wrong point count, waterline "},
        {"list cut short", 6, 1, "2\n2 -0.5\n", "Error reading CSF file for boundaries of waterlines= "},
        {"more lists than loops", 6, 2, "2\n2 -0.5\n2 0.5\n",
         " Number of boundary lists differs from the number of waterlines, body "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        clean();
        screen.str("");
        square();
        csf::ICSFCYL = 1, csf::RCSFCYL = 3.0f, csf::NBNDCSF = c.nbnd, csf::NEXTPTS = c.next, csf::NBNDMAX = 2;
        lists(c.text);
        int ierr = -1;
        EXTFSH(1, 1, ierr);
        EXPECT_EQ(ierr, 1);
        EXPECT_TRUE(said(c.msg)) << screen.str();
        chan::close(IUCSF);
    }
}

// Tangents of an arc patch and of a straight one against central
// differences; the outer side at u = -1, the waterline at u = 1.
TEST_F(WlCsf, PatchTangentsAgainstFiniteDifferences) {
    square();
    cfg::XBODY(3, 1) = 0.25f;
    csf::RCSFCYL = 3.0f, csf::NCSFFSP = 2;
    for (auto* a : {&csf::IWLFSP, &csf::IBFSP}) a->allocate(2);
    for (auto* a : {&csf::TFSP1, &csf::TFSP2}) a->allocate(2);
    for (auto* a : {&csf::XFSP1, &csf::XFSP2}) a->allocate(2, 2);
    csf::IWLFSP(1) = 1, csf::IBFSP(1) = 0, csf::TFSP1(1) = 0.2f, csf::TFSP2(1) = 0.9f;
    csf::XFSP1(1, 1) = -0.6f, csf::XFSP2(1, 1) = 0.9f;
    csf::IWLFSP(2) = 2, csf::IBFSP(2) = 3, csf::TFSP1(2) = 0.0f, csf::TFSP2(2) = 0.5f;
    csf::XFSP1(1, 2) = 1.5f, csf::XFSP1(2, 2) = 2.5f, csf::XFSP2(1, 2) = -0.5f, csf::XFSP2(2, 2) = 2.0f;
    const float h = 1e-3f;
    int ierr = -1;
    for (int ip = 1; ip <= 2; ++ip)
        for (float u : {-0.7f, 0.1f, 0.8f})
            for (float v : {-0.9f, 0.0f, 0.6f}) {
                float X[3], XU[3], XV[3], Xa[3], Xb[3], D[3];
                WLEDGE(u, v, 1, ip, X, XU, XV, 1, 0, ierr);
                ASSERT_EQ(ierr, 0);
                EXPECT_EQ(X[2], -0.25f);
                WLEDGE(u + h, v, 1, ip, Xa, D, D, 1, 0, ierr);
                WLEDGE(u - h, v, 1, ip, Xb, D, D, 1, 0, ierr);
                for (int c = 0; c < 2; ++c) EXPECT_NEAR(XU[c], (Xa[c] - Xb[c]) / (2 * h), 2e-3f) << ip << u << v;
                WLEDGE(u, v + h, 1, ip, Xa, D, D, 1, 0, ierr);
                WLEDGE(u, v - h, 1, ip, Xb, D, D, 1, 0, ierr);
                for (int c = 0; c < 2; ++c) EXPECT_NEAR(XV[c], (Xa[c] - Xb[c]) / (2 * h), 2e-3f) << ip << u << v;
            }
    // The ends: u = 1 on segment 1 at T = 0.2 (v = -1), u = -1 on the circle.
    float X[3], XU[3], XV[3];
    WLEDGE(1.0f, -1.0f, 1, 1, X, XU, XV, 1, 0, ierr);
    EXPECT_NEAR(X[0], 1.0f, 1e-6f);
    EXPECT_NEAR(X[1], -0.6f, 1e-6f);
    WLEDGE(-1.0f, 1.0f, 1, 1, X, XU, XV, 1, 0, ierr);
    EXPECT_NEAR(X[0], 3 * std::cos(0.9f), 1e-5f);
    EXPECT_NEAR(X[1], 3 * std::sin(0.9f), 1e-5f);
    // The global frame is not offered.
    WLEDGE(0.0f, 0.0f, 1, 1, X, XU, XV, 1, 1, ierr);
    EXPECT_EQ(ierr, 1);
}

// ---- Whole surfaces round the example bodies --------------------------------

class WlCsfRun : public test::ModelTest {
protected:
    // The example's model, then its control surface from TEXT: the sum of
    // the free-surface weights of each body.
    std::vector<double> read(const std::string& dir, const std::string& gdf, const std::string& text, int& ierr) {
        fresh();
        test::reset_modules();
        copy_example(dir);
        EXPECT_EQ(getip(), 0) << screen.str();
        ierr = 0;
        if (cfg::ILOWHI == 0) GEOMSTAT(model::NEQN, IMODFL, ierr);
        EXPECT_EQ(ierr, 0);
        write_file(gdf + ".csf", text);
        frc::NBETAF = 1;
        sym::NSYMF = sym::NSYMC = 1;
        cfg::ICTRSURF = 1;
        RDCSF(ierr);
        std::vector<double> out;
        if (ierr != 0) return out;
        for (int ib = 1; ib <= cfg::NBODY; ++ib) {
            double s = 0.0;
            for (int i = csf::ICSFF(ib) + 1; i <= csf::ICSFF(ib) + csf::NCSFF(ib); ++i) s += static_cast<double>(csf::WCSF(i));
            out.push_back(s);
        }
        return out;
    }
    void TearDown() override {
        chan::reset();
        test::reset_modules();
        ModelTest::TearDown();
    }
};

TEST_F(WlCsfRun, BoxInsideCylinderFreeSurfaceArea) {
    const double whole = PI * 4.0 - 2.0;  // radius 2 round the box 2 x 1
    int ierr = -1;
    auto w = read("box", "box", "Cylinder\n1\n0 0\n0 0 0.3\n2.0 1.0\n0\n", ierr);
    ASSERT_EQ(ierr, 0) << screen.str();
    ASSERT_EQ(w.size(), 1u);
    EXPECT_NEAR(w[0], whole, 1e-3 * whole);
    EXPECT_GT(csf::NCSFW(1), 0);
    // The quarter model: a quarter of it.
    w = read("boxquarter", "boxq", "Cylinder\n1\n1 1\n0 0 0.3\n2.0 1.0\n0\n", ierr);
    ASSERT_EQ(ierr, 0) << screen.str();
    EXPECT_NEAR(w[0], whole / 4, 1e-3 * whole);
    // Two boxes, each inside its own cylinder (one file serves both).
    w = read("twoboxes", "box", "Cylinder\n1\n0 0\n0 0 0.3\n2.0 1.0\n0\n", ierr);
    ASSERT_EQ(ierr, 0) << screen.str();
    ASSERT_EQ(w.size(), 2u);
    EXPECT_NEAR(w[0], whole, 1e-3 * whole);
    EXPECT_NEAR(w[1], whole, 1e-3 * whole);
}

// Walls and bottoms alone (NPATCSF < 0), and a prism whose polygon serves
// as the list of the free surface.
TEST_F(WlCsfRun, WallsAndBottoms) {
    int ierr = -1;
    auto submerged = [](double& area, double& nz) {
        area = nz = 0.0;
        for (int i = csf::ICSFS(1) + 1; i <= csf::ICSFS(1) + csf::NCSFS(1); ++i) {
            area += static_cast<double>(csf::WCSF(i));
            nz += static_cast<double>(csf::WCSF(i)) * static_cast<double>(csf::VNCSF(3, i));
        }
    };
    double area = 0, nz = 0;
    // Cylinder of radius 5 and depth 3: two patches, no flat ones.
    read("box", "box", "Cylinder\n1\n0 0\n-1 0 0.5\n5 3\n0\n", ierr);
    ASSERT_EQ(ierr, 0) << screen.str();
    EXPECT_EQ(csf::NWALLCSF, 2);
    EXPECT_EQ(csf::NCSFFSP, 0);
    EXPECT_FALSE(csf::XVCSF.allocated());
    submerged(area, nz);
    EXPECT_NEAR(area, 2 * PI * 5 * 3 + PI * 25, 1e-3 * area);
    EXPECT_NEAR(nz, -PI * 25, 1e-3 * area);  // stored normals point out of the enclosed water
    EXPECT_EQ(csf::NCSFF(1), 0);

    // A quarter polygon: two walls, and the bottom closed through the
    // origin; without the quarter symmetry the bottom is the triangle.
    const struct {
        const char* dir;
        const char* gdf;
        const char* sym;
        float v4x, v4y;
    } polys[] = {{"boxquarter", "boxq", "1 1", 0, 0}, {"box", "box", "0 0", 10, 0}};
    for (const auto& p : polys) {
        read(p.dir, p.gdf, std::string("Prism\n1\n") + p.sym + "\n-1 0 2\n0 3\n1\n3\n10 0\n10 10\n0 10\n", ierr);
        ASSERT_EQ(ierr, 0) << screen.str();
        ASSERT_EQ(csf::NWALLCSF, 3);
        const float want[4][2] = {{0, 10}, {10, 10}, {10, 0}, {p.v4x, p.v4y}};
        for (int m = 1; m <= 4; ++m) {
            EXPECT_EQ(csf::XVCSF(m, 1, 3), want[m - 1][0]) << p.dir << m;
            EXPECT_EQ(csf::XVCSF(m, 2, 3), want[m - 1][1]) << p.dir << m;
            EXPECT_EQ(csf::XVCSF(m, 3, 3), -3.0f);
        }
    }
    // A quarter polygon of five vertices: its bottom in two flat patches,
    // closed through the origin (shoelace area 90).
    read("boxquarter", "boxq", "Prism\n1\n1 1\n-1 0 2\n0 3\n1\n5\n10 0\n10 5\n8 8\n5 10\n0 10\n", ierr);
    ASSERT_EQ(ierr, 0) << screen.str();
    EXPECT_EQ(csf::NWALLCSF, 6);
    submerged(area, nz);
    EXPECT_NEAR(nz, -90.0, 1e-3 * 90);
    EXPECT_NEAR(area, 90.0 + 3 * (10 + 2 * std::sqrt(13.0)), 1e-3 * area);

    // The free surface of a full prism given as 5 vertices, its polygon
    // the outer side: the list counts of the prism carry the polygon.
    const auto w = read("box", "box",
                        "Prism\n1\n0 0\n0 0 0.5\n0 1\n2\n5\n3 -3\n3 3\n-3 3\n-3 -3\n3 -3\n7\n3 -3\n3 0\n3 3\n"
                        "-3 3\n-3 0\n-3 -3\n3 -3\n",
                        ierr);
    ASSERT_EQ(ierr, 0) << screen.str();
    EXPECT_EQ(csf::NEXTPTS, 4 + 5 + 12);
    EXPECT_NEAR(w.at(0), 36.0 - 2.0, 1e-3 * 34);
    submerged(area, nz);
    EXPECT_NEAR(area, 36.0 + 24.0, 1e-3 * 60);

    // More lists than waterlines (plus the polygon).
    read("box", "box", "Prism\n1\n0 0\n0 0 0.5\n0 1\n3\n2\n3 0\n0 3\n2\n3 0\n0 3\n2\n3 0\n0 3\n", ierr);
    EXPECT_EQ(ierr, 1);
    EXPECT_TRUE(said(" More boundary lists than waterlines in the CSF file, body ")) << screen.str();
}

// Higher-order bodies: the waterline found on the patches and the inner
// sides of the free-surface patches on the patch edges: the box of flat
// patches and the exact hemisphere of radius 1 inside a cylinder of radius 2.
TEST_F(WlCsfRun, HigherOrderBodiesInsideCylinder) {
    int ierr = -1;
    auto w = read("hobox", "hobox", "Cylinder\n1\n0 0\n0 0 0.3\n2.0 1.0\n0\n", ierr);
    ASSERT_EQ(ierr, 0) << screen.str();
    EXPECT_NEAR(w.at(0), PI * 4 - 2, 1e-3 * (PI * 4 - 2));
    w = read("hohemi", "hohemi", "Cylinder\n1\n0 0\n0 0 0.3\n2.0 1.0\n0\n", ierr);
    ASSERT_EQ(ierr, 0) << screen.str();
    EXPECT_NEAR(w.at(0), PI * 3, 1e-3 * PI * 3);
}

// Tangents of the free-surface patches of the exact hemisphere (inner
// sides on its curved patch edges, arcs outside) against central
// differences, and their inner ends on the waterline circle of radius 1.
TEST_F(WlCsfRun, HigherOrderPatchTangents) {
    fresh();
    test::reset_modules();
    copy_example("hohemi");
    ASSERT_EQ(getip(), 0) << screen.str();
    csf::ISCSF.allocate(2, 1);
    csf::ISXBODY = model::IREFLB(1, 1) == 1 ? 0 : model::IS(1, 1);
    csf::ISYBODY = model::IREFLB(2, 1) == 1 ? 0 : model::IS(2, 1);
    write_file("c.csf", "2.0 1.0\n0\n");
    ASSERT_EQ(chan::open(IUCSF, "c.csf", chan::Status::Old), 0);
    int np = 0, ierr = -1;
    RDCSFA(np, 1, ierr);
    ASSERT_EQ(ierr, 0) << screen.str();
    ASSERT_GT(csf::NCSFFSP, 0);
    EXPECT_EQ(np, csf::NCSFFSP + 2);
    const float h = 1e-3f;
    for (int ip = 1; ip <= csf::NCSFFSP; ++ip)
        for (float u : {-0.5f, 0.5f})
            for (float v : {-0.6f, 0.3f}) {
                float X[3], XU[3], XV[3], Xa[3], Xb[3], D[3];
                WLEDGE(u, v, 1, ip, X, XU, XV, 1, 0, ierr);
                ASSERT_EQ(ierr, 0);
                WLEDGE(u, v + h, 1, ip, Xa, D, D, 1, 0, ierr);
                WLEDGE(u, v - h, 1, ip, Xb, D, D, 1, 0, ierr);
                for (int c = 0; c < 2; ++c) EXPECT_NEAR(XV[c], (Xa[c] - Xb[c]) / (2 * h), 3e-3f) << ip << ' ' << v;
                WLEDGE(u + h, v, 1, ip, Xa, D, D, 1, 0, ierr);
                WLEDGE(u - h, v, 1, ip, Xb, D, D, 1, 0, ierr);
                for (int c = 0; c < 2; ++c) EXPECT_NEAR(XU[c], (Xa[c] - Xb[c]) / (2 * h), 3e-3f) << ip << ' ' << u;
                // Normal down.
                EXPECT_LT(XU[0] * XV[1] - XU[1] * XV[0], 0.0f) << ip;
                WLEDGE(1.0f, v, 1, ip, X, XU, XV, 1, 0, ierr);
                EXPECT_NEAR(std::hypot(X[0], X[1]), 1.0f, 1e-4f) << ip;
            }
    // Numbered from the interior free-surface patch limit, without a body:
    // the same point in x and y.
    model::NPATCHLIM = 7;
    float X1[3], X0[3], XU[3], XV[3];
    WLEDGE(0.3f, -0.2f, 1, 1, X1, XU, XV, 1, 0, ierr);
    WLEDGE(0.3f, -0.2f, 0, 8, X0, XU, XV, 1, 0, ierr);
    ASSERT_EQ(ierr, 0);
    EXPECT_EQ(X0[0], X1[0]);
    EXPECT_EQ(X0[1], X1[1]);
    chan::close(IUCSF);
}

}  // namespace
}  // namespace zorva
