// The stand-in geometry kernel: model files, exact surface evaluation,
// panes, closest point, triangulation and lists.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "platform/zuzovoza/zuzovoza.h"
#include "tests/support/testdir.hpp"

namespace zorva::test {
namespace {

class Kernel : public TempDirTest {
protected:
    void TearDown() override {
        if (model != 0) rg_DestroyModel(model);
        TempDirTest::TearDown();
    }
    // Loads a model of the given records; the load result.
    int load(const std::string& records) {
        write_file("m.zzm", "ZUZOVOZA MODEL 1\n" + records);
        if (model != 0) rg_DestroyModel(model);
        model = 0;
        return rg_LoadModelFromFile("m.zzm", 0, &model);
    }
    // Point and derivatives of surface `name` at (u, v), through a pane map
    // of that one surface (pane 1 of 1).
    void eval(const char* name, double u, double v, double X[3], double Xu[3], double Xv[3]) {
        rg_SDAH l{};
        rg_AppendToSDAH(&l, rg_GetObjectFromName(model, name));
        rg_PaneMap map{};
        ASSERT_EQ(rg_StorePaneMaps(&l, &map), 1);
        const double uv[2] = {u, v};
        ASSERT_NE(rg_PanePointLevel1(&l, &map, 1, uv, X, Xu, Xv), 0);
        rg_DeallocatePaneMaps(&map);
        rg_RedimSDAH(&l, 0);
    }
    int model = 0;
};

void expect3(const double* a, std::array<double, 3> e, const char* what) {
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(a[c], e[c], 1e-12) << what << " component " << c;
}

// Each surface kind against its closed form at one interior point.
TEST_F(Kernel, SurfaceKindsAgainstClosedForms) {
    ASSERT_EQ(load("QUAD q 0 0 0  2 0 0  2 1 1  0 1 0\n"
                   "CYLINDER c 1 2 3 -4 0 0 90\n"
                   "DISC d 0 0 -1 2 0 180\n"
                   "SPHERE s 0 0 0 1 -90 0 0 360\n"
                   "BSPLINE b 3 2 3 2  0 0 0  1 2 0  2 0 0  0 0 1  1 2 1  2 0 1\n"),
              0);
    const double h = std::sqrt(0.5), pi = 3.14159265358979323846;
    double X[3], Xu[3], Xv[3];
    eval("q", 0.5, 0.5, X, Xu, Xv);  // bilinear: mean of the corners, averaged edges
    expect3(X, {1.0, 0.5, 0.25}, "quad X");
    expect3(Xu, {2.0, 0.0, 0.5}, "quad Xu");
    expect3(Xv, {0.0, 1.0, 0.5}, "quad Xv");
    eval("c", 0.5, 0.25, X, Xu, Xv);  // angle 45 degrees, z = -3
    expect3(X, {1 + 3 * h, 2 + 3 * h, -3.0}, "cylinder X");
    expect3(Xu, {-3 * h * pi / 2, 3 * h * pi / 2, 0.0}, "cylinder Xu");
    expect3(Xv, {0.0, 0.0, 4.0}, "cylinder Xv");
    eval("d", 0.5, 0.5, X, Xu, Xv);  // radius 1, angle 90 degrees
    expect3(X, {0.0, 1.0, -1.0}, "disc X");
    expect3(Xu, {0.0, 2.0, 0.0}, "disc Xu");
    expect3(Xv, {-pi, 0.0, 0.0}, "disc Xv");
    eval("s", 0.5, 0.25, X, Xu, Xv);  // latitude -45, longitude 90 degrees
    expect3(X, {0.0, h, -h}, "sphere X");
    expect3(Xu, {0.0, h * pi / 2, h * pi / 2}, "sphere Xu");
    expect3(Xv, {-h * 2 * pi, 0.0, 0.0}, "sphere Xv");
    eval("b", 0.5, 0.25, X, Xu, Xv);  // quadratic Bezier in u, linear in v
    expect3(X, {1.0, 1.0, 0.25}, "B-spline X");
    expect3(Xu, {2.0, 0.0, 0.0}, "B-spline Xu");
    expect3(Xv, {0.0, 0.0, 1.0}, "B-spline Xv");
}

// A cubic B-spline of several spans: end points interpolated, derivatives
// those of central differences, and a point inside a span by hand.
TEST_F(Kernel, BSplineSpans) {
    // 6 x 2 control points: y = i^2 along u, z = j along v.
    std::string rec = "BSPLINE b 4 2 6 2";
    for (int j = 0; j < 2; ++j)
        for (int i = 0; i < 6; ++i) {
            char p[40];
            std::snprintf(p, sizeof p, " %d %d %d", i, i * i, j);
            rec += p;
        }
    ASSERT_EQ(load(rec + "\n"), 0);
    double X[3], Xu[3], Xv[3], A[3], B[3], d[3];
    eval("b", 0.0, 0.0, X, Xu, Xv);
    expect3(X, {0.0, 0.0, 0.0}, "start");
    eval("b", 1.0, 1.0, X, Xu, Xv);
    expect3(X, {5.0, 25.0, 1.0}, "end");
    const double step = 1e-6;
    for (double u : {0.1, 0.4, 0.55, 0.9}) {
        eval("b", u, 0.3, X, Xu, Xv);
        eval("b", u + step, 0.3, A, d, d);
        eval("b", u - step, 0.3, B, d, d);
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(Xu[c], (A[c] - B[c]) / (2 * step), 1e-6) << u;
    }
    // Knots 0 0 0 0 1/3 2/3 1 1 1 1: at u = 1/6 (first span, t = 1/2 of it)
    // the nonzero basis values are 1/8, 19/32, 25/96, 1/48 (by hand).
    eval("b", 1.0 / 6.0, 0.0, X, Xu, Xv);
    const double w[4] = {1.0 / 8, 19.0 / 32, 25.0 / 96, 1.0 / 48};
    EXPECT_NEAR(X[0], w[1] * 1 + w[2] * 2 + w[3] * 3, 1e-12);
    EXPECT_NEAR(X[1], w[1] * 1 + w[2] * 4 + w[3] * 9, 1e-12);
}

// Panes split a surface: patch numbers run along u first, points and
// derivatives are those of the surface; surface points map back.
TEST_F(Kernel, PanesOfASurface) {
    ASSERT_EQ(load("QUAD a 0 0 0  1 0 0  1 1 0  0 1 0\n"
                   "QUAD q 0 0 0  2 0 0  2 1 1  0 1 0  panes=2x3\n"),
              0);
    rg_SDAH l{};
    rg_AppendToSDAH(&l, rg_GetObjectFromName(model, "a"));
    rg_AppendToSDAH(&l, rg_GetObjectFromName(model, "q"));
    rg_PaneMap map{};
    ASSERT_EQ(rg_StorePaneMaps(&l, &map), 7);
    EXPECT_EQ(map.surface_first[1], 2);
    EXPECT_EQ(map.surface_last[1], 7);
    EXPECT_EQ(map.patch_surface[4], 2.0);
    // patch 5 = pane (1, 1) of q: pane point (0.5, 0.5) is q's (0.75, 0.5)
    double X[3], Xu[3], Xv[3];
    const double uv[2] = {0.5, 0.5};
    ASSERT_NE(rg_PanePointLevel1(&l, &map, 5, uv, X, Xu, Xv), 0);
    expect3(X, {1.5, 0.5, 0.375}, "pane X");        // q(0.75, 0.5) from the bilinear form
    expect3(Xu, {1.0, 0.0, 0.25}, "pane Xu");       // q's Xu / 2
    expect3(Xv, {0.0, 1.0 / 3, 0.75 / 3}, "pane Xv");  // q's Xv / 3
    double back[2];
    EXPECT_EQ(rg_MapSurfaceToPane(&map, 2, (const double[]){0.75, 0.5}, back), 5);
    EXPECT_NEAR(back[0], 0.5, 1e-12);
    EXPECT_NEAR(back[1], 0.5, 1e-12);
    EXPECT_EQ(rg_PanePointLevel1(&l, &map, 8, uv, X, Xu, Xv), 0);
    rg_DeallocatePaneMaps(&map);
    // A trimmed surface has no panes.
    ASSERT_EQ(load("QUAD t 0 0 0  1 0 0  1 1 0  0 1 0 trimmed=1\n"), 0);
    rg_RedimSDAH(&l, 0);
    rg_AppendToSDAH(&l, rg_GetObjectFromName(model, "t"));
    EXPECT_EQ(rg_StorePaneMaps(&l, &map), -1);
    rg_RedimSDAH(&l, 0);
}

// Closest points: inside the surface (the foot of the normal), beyond an
// edge (clamped) and on a curved surface.
TEST_F(Kernel, ClosestPoint) {
    ASSERT_EQ(load("CYLINDER c 1 2 3 -4 0 0 90\nSPHERE s 0 0 0 2 -90 0 0 360\n"), 0);
    const int c = rg_GetObjectFromName(model, "c"), s = rg_GetObjectFromName(model, "s");
    const double pi = 3.14159265358979323846, a = pi / 6;
    double uv[2], pt[3], d2 = -1;
    const double p1[3] = {1 + 3.5 * std::cos(a), 2 + 3.5 * std::sin(a), -1.0};
    ASSERT_NE(rg_ClosestPtOnSurf(c, nullptr, p1, 1e-4, uv, pt, &d2), 0);
    EXPECT_NEAR(uv[0], 1.0 / 3, 1e-7);
    EXPECT_NEAR(uv[1], 0.75, 1e-7);
    EXPECT_NEAR(d2, 0.25, 1e-10);
    const double p2[3] = {1 + 3 * std::cos(-a), 2 + 3 * std::sin(-a), 1.0};  // below angle 0, above z = 0
    ASSERT_NE(rg_ClosestPtOnSurf(c, nullptr, p2, 1e-4, uv, pt, &d2), 0);
    EXPECT_NEAR(uv[0], 0.0, 1e-9);
    EXPECT_NEAR(uv[1], 1.0, 1e-9);
    EXPECT_NEAR(pt[0], 4.0, 1e-9);
    EXPECT_NEAR(pt[1], 2.0, 1e-9);
    const double p3[3] = {0.3, -0.4, -1.2};  // inside the sphere of radius 2: foot at radius 2
    ASSERT_NE(rg_ClosestPtOnSurf(s, nullptr, p3, 1e-4, uv, pt, &d2), 0);
    EXPECT_NEAR(std::sqrt(d2), 2.0 - std::sqrt(0.09 + 0.16 + 1.44), 1e-8);
    EXPECT_NEAR(pt[0] / p3[0], pt[2] / p3[2], 1e-7);
}

// Faulty model files are refused with their error numbers and the line at
// fault (the state divided by 10000).
TEST_F(Kernel, FaultyFiles) {
    int state = rg_LoadModelFromFile("absent.zzm", 0, &model);
    EXPECT_EQ(rg_GetErrorNumber(state), 1);
    EXPECT_EQ(state / 10000, 0);
    write_file("x.zzm", "ZUZOVOZA MODEL 2\n");
    state = rg_LoadModelFromFile("x.zzm", 0, &model);
    EXPECT_EQ(rg_GetErrorNumber(state), 2);
    EXPECT_EQ(state / 10000, 1);
    EXPECT_EQ(model, 0);
    EXPECT_EQ(rg_GetErrorNumber(rg_LoadModelFromFile("/dev/zero", 0, &model)), 2);  // a file without line ends
#define Q "0 0 0 1 0 0 1 1 0 0 1 0"
    const std::vector<std::string> faulty = {"QUAD q 1 2 3", "FOO x", "QUAD q " Q " color=x", "QUAD q " Q " shape=1",
                                             "QUAD q " Q "\nQUAD q " Q, "LIST L nothing",
                                             "QUAD q $V 0 0 1 0 0 1 1 0 0 1 0", "QUAD DEFAULT " Q,
                                             "BSPLINE b 3 3 2 2 " Q, "QUAD q " Q " &", "SYMMETRY 2 0", "UNITS furlong",
                                             "VAR v 1 2 0", "LIST L L", "QUAD q " Q " div=0x1",
                                             "CYLINDER c 0 0 1 -1 0 0 nan", "SPHERE s 1e30 0 0 1 -90 0 0 360",
                                             "QUAD q " Q " div=1001x1000", "QUAD q " Q " panes=1x1000001",
                                             "DIVMULT 11", "QUAD q " Q " " + std::string(1000000, ' ')};
#undef Q
    for (const auto& rec : faulty) {
        state = load(rec + "\n");
        EXPECT_EQ(rg_GetErrorNumber(state), 3) << rec;
        EXPECT_EQ(state / 10000, rec.find('\n') == std::string::npos ? 2 : 3) << rec;
        EXPECT_EQ(model, 0) << rec;
    }
    // the line counts comments, blank lines and continuations; a record
    // continued over lines is at fault at its first line; a name not found
    // at the record that names it
    const std::pair<std::string, int> where[] = {
        {"# comment\n\nQUAD a 0 0 0 1 0 0 &\n 1 1 0 0 1 0\nFOO x\n", 6},
        {"QUAD a 0 0 0 &\n 1 0 0\n", 2},
        {"LIST L a\nLIST M a b\nQUAD a 0 0 0 1 0 0 1 1 0 0 1 0\n", 3},
        {"QUAD a 0 0 0 1 0 0 1 1 0 0 1 0\n\nQUAD b 0 0 $V 1 0 0 1 1 0 0 1 0\n", 4},
        {"QUAD a 0 0 0 1 0 0 1 1 0 0 1 0\n#" + std::string(1000001, 'x') + "\n", 3},
    };
    for (const auto& [text, line] : where) {
        state = load(text);
        EXPECT_EQ(rg_GetErrorNumber(state), 3) << text.substr(0, 60);
        EXPECT_EQ(state / 10000, line) << text.substr(0, 60);
    }
}

// Triangulation of a trimmed surface, division counts, symmetry images,
// list expansion and variables that move a surface.
TEST_F(Kernel, CountsListsAndVariables) {
    ASSERT_EQ(load("DIVMULT 2\nSYMMETRY 1 1 3 4\nVAR R 1 0.5 3\n"
                   "QUAD t 0 0 0  1 0 0  1 1 0  0 1 0 trimmed=1 div=2x3\n"
                   "CYLINDER c 0 0 $R -1 0 0 90\n"
                   "LIST inner c\nLIST outer t inner\n"),
              0);
    const int t = rg_GetObjectFromName(model, "t"), c = rg_GetObjectFromName(model, "c");
    rg_Triangulation tr;
    rg_InitTrimSurfTriangulation(&tr);
    ASSERT_NE(rg_GetObjectTrimSurfTriangulation(t, &tr), 0);
    EXPECT_EQ(tr.nidx, 3 * 2 * (4 * 6));
    rg_FreeTrimSurfTriangulation1(&tr);
    int counts[4];
    ASSERT_NE(rg_SurfDivn(t, 1, counts), 0);
    EXPECT_EQ(counts[0] * counts[1] * counts[2] * counts[3], 24);
    EXPECT_EQ(rg_CountSymmetryImages(model), 16);
    rg_SDAH l{};
    rg_AppendToSDAH(&l, rg_GetObjectFromName(model, "outer"));
    EXPECT_EQ(rg_ExpandObjectLists(&l, 0), 2);
    EXPECT_EQ(rg_GetAtSDAH(&l, 0), t);
    EXPECT_EQ(rg_GetAtSDAH(&l, 1), c);
    rg_RedimSDAH(&l, 0);
    double box[6];
    ASSERT_NE(rg_GetObjectBBox(c, box), 0);
    EXPECT_DOUBLE_EQ(box[3], 1.0);
    const int r = rg_GetObjectFromName(model, "R");
    rg_SetObjectReal(r, 0, 2.5);
    rg_InvalidateObjectAndDependencies(r);
    ASSERT_NE(rg_GetObjectBBox(c, box), 0);
    EXPECT_DOUBLE_EQ(box[3], 2.5);
    EXPECT_DOUBLE_EQ(box[4], 2.5);
    EXPECT_NEAR(box[0], 0.0, 1e-15);
    rg_SetObjectReal(r, 0, -1.0);  // an invalid radius puts the surface in error
    rg_InvalidateObjectAndDependencies(r);
    EXPECT_EQ(rg_ForceValidTable(c), 0);
    EXPECT_EQ(rg_GetErrorNumber(rg_GetObjectError(c)), 21);
}

// Angle ranges beyond a full turn and latitudes beyond a pole make no
// valid surface; a full turn does.
TEST_F(Kernel, AngleRanges) {
    const std::pair<const char*, bool> cases[] = {
        {"CYLINDER s 0 0 1 -1 0 0 360", true},         {"CYLINDER s 0 0 1 -1 0 0 99999999", false},
        {"DISC s 0 0 0 1 -180 180", true},             {"DISC s 0 0 0 1 0 361", false},
        {"SPHERE s 0 0 0 1 -90 0 0 360", true},        {"SPHERE s 0 0 0 1 -90 0 99999999 360", false},
        {"SPHERE s 0 0 0 1 -91 0 0 360", false},
    };
    for (const auto& [rec, valid] : cases) {
        ASSERT_EQ(load(std::string(rec) + "\n"), 0) << rec;
        EXPECT_EQ(rg_ForceValidTable(rg_GetObjectFromName(model, "s")) != 0, valid) << rec;
    }
}

// The example of the format description loads, and the front side of each
// of its surfaces faces away from the box (into the fluid).
TEST_F(Kernel, DocumentedExample) {
    std::ifstream doc(source_path("surflink/model_format.md"));
    std::stringstream ss;
    ss << doc.rdbuf();
    const std::string text = ss.str();
    const auto a = text.find("```\nZUZOVOZA MODEL 1\n");
    ASSERT_NE(a, std::string::npos);
    const auto b = text.find("```", a + 3);
    write_file("example.zzm", text.substr(a + 4, b - a - 4));
    ASSERT_EQ(rg_LoadModelFromFile("example.zzm", 0, &model), 0);
    rg_SDAH l{};
    rg_AppendToSDAH(&l, rg_GetObjectFromName(model, "Hull"));
    ASSERT_EQ(rg_ExpandObjectLists(&l, 0), 3);
    for (int i = 0; i < 3; ++i) {
        double X[3], Xu[3], Xv[3];
        eval(rg_GetObjectName(rg_GetAtSDAH(&l, i)), 0.5, 0.5, X, Xu, Xv);
        const double n[3] = {Xu[1] * Xv[2] - Xu[2] * Xv[1], Xu[2] * Xv[0] - Xu[0] * Xv[2], Xu[0] * Xv[1] - Xu[1] * Xv[0]};
        const double out = n[0] * X[0] + n[1] * X[1] + n[2] * (X[2] + 0.25);  // from the centre (0, 0, -T/2)
        EXPECT_GT(out, 0.0) << rg_GetObjectName(rg_GetAtSDAH(&l, i));
    }
    rg_RedimSDAH(&l, 0);
}

}  // namespace
}  // namespace zorva::test
