// RGKEVAL, RGKEVALCSF and RGKX2NUV: orientation, rotation copies, errors
// and the closest point that finds an evaluated point back.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/surflink/fixture.hpp"

namespace zorva::test {
namespace {

const char* const SQUARES =
    "ZUZOVOZA MODEL 1\n"
    "QUAD a 0 0 -1  1 0 -1  1 1 -1  0 1 -1\n"
    "QUAD c 0 0 -1  1 0 -1  1 1 -1  0 1 -1  orient=1\n";

struct Eval {
    int ierr = -1;
    float X[3] = {}, XU[3] = {}, XV[3] = {};
};

Eval eval(int ib, int ip, float u, float v) {
    Eval e;
    RGKEVAL(&u, &v, &ib, &ip, e.X, e.XU, e.XV, &e.ierr);
    return e;
}

void expect3(const float* a, std::array<double, 3> e, const std::string& what) {
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(a[c], e[c], 1e-6) << what << " component " << c;
}

class EvalTest : public SurflinkTest {
protected:
    // Bodies: 1 the squares (normals as given), 2 the quarter cylinder with
    // its four copies; NBODY 3 with body 3 left without a block.
    int load(const std::string& normals_inward) {
        Block b1;
        b1.model = "sq.zzm";
        b1.lists = "DEFAULT";
        b1.flags = "1 0 " + normals_inward;
        Block b2;
        b2.ib = 2;
        b2.model = "cyl.zzm";
        b2.lists = "DEFAULT";
        write_file("sq.zzm", SQUARES);
        write_file("cyl.zzm", cylinder_model());
        write_file("rgkinit.txt", rgk_head(1, "9.80665", 3) + rgk_block(b1) + rgk_block(b2));
        return init();
    }
};

// u = v = -1 is the pane corner (0, 0) when the surface's orientation flag
// differs from the normals-inward flag, else (0, 1) with v and XV reversed.
TEST_F(EvalTest, Orientation) {
    struct Case {
        std::string inward;
        int ip;
        std::array<double, 3> X, XV;
    };
    for (const Case& c : std::vector<Case>{{"1", 1, {0, 0, -1}, {0, 0.5, 0}},
                                           {"1", 2, {0, 1, -1}, {0, -0.5, 0}},
                                           {"0", 1, {0, 1, -1}, {0, -0.5, 0}},
                                           {"0", 2, {0, 0, -1}, {0, 0.5, 0}}}) {
        ASSERT_EQ(load(c.inward), 0);
        const Eval e = eval(1, c.ip, -1, -1);
        ASSERT_EQ(e.ierr, 0);
        const std::string what = "inward " + c.inward + " patch " + std::to_string(c.ip);
        expect3(e.X, c.X, what);
        expect3(e.XU, {0.5, 0, 0}, what);
        expect3(e.XV, c.XV, what);
        RGKDONE();
    }
}

// Copy k of a surface is the evaluated point turned by 2 pi k / NROT
// ((x, y) -> (cos x + sin y, cos y - sin x)) with its derivatives.
TEST_F(EvalTest, RotationCopies) {
    ASSERT_EQ(load("0"), 0);
    const double pi = 3.14159265358979323846;
    // patch 6: the base (disc, orientation 1, v kept), copy 1: its point
    // (1, 0, -1) at the rim, angle 0, turned to (0, -1, -1).
    Eval e = eval(2, 6, 1, -1);
    ASSERT_EQ(e.ierr, 0);
    expect3(e.X, {0, -1, -1}, "base copy 1");
    expect3(e.XU, {0, -0.5, 0}, "base copy 1 XU");
    expect3(e.XV, {pi / 4, 0, 0}, "base copy 1 XV");
    // patch 4: the wall (orientation 0, v reversed), copy 3: its point
    // (1, 0, 0) turned by 3 pi / 2 to (0, 1, 0).
    e = eval(2, 4, -1, -1);
    ASSERT_EQ(e.ierr, 0);
    expect3(e.X, {0, 1, 0}, "wall copy 3");
    expect3(e.XV, {0, 0, -0.5}, "wall copy 3 XV");
}

// Errors: a bad body index or one without a geometry-model block returns
// ierr 1 and the previous call's values; a patch outside the pane map
// ierr 3.  Every call counts.
TEST_F(EvalTest, ErrorsKeepThePreviousValues) {
    ASSERT_EQ(load("1"), 0);
    const Eval good = eval(1, 1, 0, 0);
    ASSERT_EQ(good.ierr, 0);
    for (const auto& [ib, ip, code, line] : std::vector<std::tuple<int, int, int, std::string>>{
             {5, 1, 1, "RGKEVAL ERROR: body index ib = 5. (NBODY = 3)"},
             {0, 1, 1, "RGKEVAL ERROR: body index ib = 0. (NBODY = 3)"},
             {3, 1, 1, "RGKEVAL ERROR: body index ib = 3. Body's IGDEF isn't 2."},
             {2, 9, 3, "RGKEVAL ERROR: patch index ip = 9. (NPATCH = 8)"},
             {2, 0, 3, "RGKEVAL ERROR: patch index ip = 0. (NPATCH = 8)"}}) {
        const Eval e = eval(ib, ip, 0.5f, 0.5f);
        EXPECT_EQ(e.ierr, code) << line;
        EXPECT_TRUE(logged(line)) << line;
        for (int c = 0; c < 3; ++c) {
            EXPECT_EQ(e.X[c], good.X[c]);
            EXPECT_EQ(e.XU[c], good.XU[c]);
            EXPECT_EQ(e.XV[c], good.XV[c]);
        }
    }
    int ib = 7, ip = 0, ix = 0, iy = 0, ir = 0, ierr = -1;
    float u = 0, v = 0, d = 0;
    const float P[3] = {0, 0, 0};
    RGKX2NUV(&ib, P, &ip, &ix, &iy, &ir, &u, &v, &d, &ierr);
    EXPECT_EQ(ierr, 1);
    EXPECT_TRUE(logged("RGKX2NUV ERROR: body index ib = 7. (NBODY = 3)"));
    ib = 3;
    RGKX2NUV(&ib, P, &ip, &ix, &iy, &ir, &u, &v, &d, &ierr);
    EXPECT_EQ(ierr, 2);
    EXPECT_TRUE(logged("RGKX2NUV ERROR: body index ib = 3. Body's IGDEF isn't 2."));
    RGKDONE();
    const auto l = log();
    ASSERT_GE(l.size(), 3u);
    EXPECT_EQ(l[l.size() - 3], "There were 6 RGKEVAL calls.");
    EXPECT_EQ(l[l.size() - 2], "There were 2 RGKX2NUV calls.");
}

// RGKX2NUV finds evaluated points back: the same patch, rotation copy and
// mirror image, (u, v) within 1e-4 and distance 0.
TEST_F(EvalTest, ClosestPointFindsEvaluatedPointsBack) {
    ASSERT_EQ(load("0"), 0);
    struct Case {
        int ib, ip;
        float u, v;
        int rot;
    };
    const std::vector<Case> cases = {{2, 6, 0.3f, -0.2f, 1}, {2, 3, -0.5f, 0.7f, 2}, {2, 8, 0.9f, 0.1f, 3},
                                     {2, 1, 0.2f, 0.3f, 0},
                                     {1, 1, 0.4f, -0.6f, 0}};  // a, before c, which coincides with it
    for (const auto& c : cases) {
        const Eval e = eval(c.ib, c.ip, c.u, c.v);
        ASSERT_EQ(e.ierr, 0);
        int ip = 0, ix = -1, iy = -1, ir = -1, ierr = -1;
        float u = 9, v = 9, d = 9;
        RGKX2NUV(&c.ib, e.X, &ip, &ix, &iy, &ir, &u, &v, &d, &ierr);
        const std::string what = "body " + std::to_string(c.ib) + " patch " + std::to_string(c.ip);
        ASSERT_EQ(ierr, 0) << what;
        EXPECT_EQ(ip, c.ip) << what;
        EXPECT_EQ(ir, c.rot) << what;
        EXPECT_EQ(ix, 0) << what;
        EXPECT_EQ(iy, 0) << what;
        EXPECT_NEAR(u, c.u, 1e-4) << what;
        EXPECT_NEAR(v, c.v, 1e-4) << what;
        EXPECT_NEAR(d, 0.0f, 1e-5) << what;
    }
    RGKDONE();

    // A body mirrored in x = 0 (model and ISX 1): the mirror image of an
    // evaluated point is found on the same patch, image 1.
    Block b;
    b.isxy = "1 0";
    write_file("rgkinit.txt", rgk_head(1, "9.80665", 1) + rgk_block(b));
    write_file("box.zzm", box_model());
    ASSERT_EQ(init(), 0);
    const int ib = 1;
    for (const auto& [p, uu, vv] : std::vector<std::tuple<int, float, float>>{{1, 0.4f, 0.6f}, {3, -0.7f, 0.2f}}) {
        Eval e = eval(ib, p, uu, vv);
        ASSERT_EQ(e.ierr, 0);
        e.X[0] = -e.X[0];
        int ip = 0, ix = -1, iy = -1, ir = -1, ierr = -1;
        float u = 9, v = 9, d = 9;
        RGKX2NUV(&ib, e.X, &ip, &ix, &iy, &ir, &u, &v, &d, &ierr);
        ASSERT_EQ(ierr, 0);
        EXPECT_EQ(ip, p);
        EXPECT_EQ(ix, 1);
        EXPECT_EQ(iy, 0);
        EXPECT_NEAR(u, uu, 1e-4);
        EXPECT_NEAR(v, vv, 1e-4);
        EXPECT_NEAR(d, 0.0f, 1e-5);
    }
    // A point off the surface: the distance to the bottom z = -1 below it.
    const float P[3] = {-1.0f, 0.25f, -1.5f};
    int ip = 0, ix = -1, iy = -1, ir = -1, ierr = -1;
    float u = 9, v = 9, d = 9;
    RGKX2NUV(&ib, P, &ip, &ix, &iy, &ir, &u, &v, &d, &ierr);
    EXPECT_EQ(ip, 1);
    EXPECT_EQ(ix, 1);
    EXPECT_NEAR(d, 0.5f, 1e-6);
    // A failing call gives u, v and the distance of the call before.
    const int bad = 4;
    float u2 = 9, v2 = 9, d2 = 9;
    RGKX2NUV(&bad, P, &ip, &ix, &iy, &ir, &u2, &v2, &d2, &ierr);
    EXPECT_EQ(ierr, 1);
    EXPECT_EQ(u2, u);
    EXPECT_EQ(v2, v);
    EXPECT_EQ(d2, d);
}

// The control surface evaluates like a body, counted apart.
TEST_F(EvalTest, ControlSurface) {
    ASSERT_EQ(load("0"), 0);
    write_file("rgkinitcsf.txt", "1\ncyl.csf\ncyl_ms2.csf\n0 0 0 0\nCS\n1\n0 0\n0 2 0.5\n3\ncyl.zzm\nDEFAULT\n1 0 0\n");
    int ierr = -1;
    RGKINITCSF(&ierr);
    ASSERT_EQ(ierr, 0);
    const Eval body = eval(2, 6, 1, -1);
    float u = 1, v = -1, X[3], XU[3], XV[3];
    int ip = 6;
    RGKEVALCSF(&u, &v, &ip, X, XU, XV, &ierr);
    ASSERT_EQ(ierr, 0);
    for (int c = 0; c < 3; ++c) EXPECT_EQ(X[c], body.X[c]);
    ip = 9;
    RGKEVALCSF(&u, &v, &ip, X, XU, XV, &ierr);
    EXPECT_EQ(ierr, 3);
    for (int c = 0; c < 3; ++c) EXPECT_EQ(X[c], body.X[c]);  // the previous values
    RGKDONECSF();
    EXPECT_EQ(log()[log().size() - 2], "There were 2 RGKEVALCSF calls.");
    RGKEVALCSF(&u, &v, &ip, X, XU, XV, &ierr);  // released
    EXPECT_EQ(ierr, 1);
}

}  // namespace
}  // namespace zorva::test
