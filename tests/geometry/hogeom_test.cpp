// Higher-order geometry input and patch evaluation through the model
// input of a POTEN run: flat, B-spline and user-routine patches, symmetry
// images, dipole lines, free-surface patches, the spline control files and
// the side lengths of a patch.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "geometry/hogeom.hpp"
#include "geometry/modelmore.hpp"
#include "tests/geometry/modeltest.hpp"

namespace zorva {
namespace {

using namespace model;

struct Eval {
    float x[3], vn[3], xu[3], xv[3], aj;
    int ierr;
};

Eval eval(float u, float v, int ib, int ip, int mode = 1, int iglob = 0) {
    Eval e{};
    BODYGEOM(u, v, ib, ip, e.x, e.vn, e.xu, e.xv, e.aj, mode, iglob, e.ierr);
    return e;
}

class HoGeomTest : public test::ModelTest {
protected:
    // A one-body higher-order run: configuration lines, .pot XBODY line
    // values, geometry file and spline file.
    static void run_files(const std::string& cfgtext, const std::string& gdf, const std::string& spl,
                          const std::string& xbody = "0. 0. 0. 0.") {
        write_file("fnames.zrv", "b.cfg\nb.pot\nb.gdf\n");
        write_file("b.cfg", "ILOWHI=1\n" + cfgtext);
        // ILOG given in the configuration removes its value from the
        // IQUAD ILOG IDIAG line.
        const std::string switches = cfgtext.find("ILOG") == std::string::npos ? "0 0 0\n" : "0 0\n";
        write_file("b.pot", "B\n0\n0\n0. " + xbody + "\n" + switches + "1 1\n1 1 1 1 1 1\n1\n5.\n1\n0.\n");
        write_file("b.gdf", gdf);
        if (!spl.empty()) write_file("b.spl", spl);
    }
    static std::string spl_lines(int npatch, const std::string& group = "1 1\n2 2\n2 2\n2 2\n") {
        std::string s = "spline\n";
        for (int p = 0; p < npatch; ++p) s += group;
        return s;
    }
};

const char* HEAD = "T\n1. 9.80665\n";

// The box as flat patches and as bilinear B-spline patches: the same points,
// normals, tangents and Jacobians; the flat patch at its corners is its
// vertices, its normal points into the body and its Jacobian is a quarter
// of its area.
TEST_F(HoGeomTest, BilinearSplinePatchEqualsFlatPatch) {
    std::vector<Eval> flat;
    const float us[4] = {-1.0f, -0.3f, 0.55f, 1.0f};
    for (const char* ex : {"hobox", "hoboxbs"}) {
        fresh();
        copy_example(ex);
        ASSERT_EQ(getip(), 0) << screen.str();
        ASSERT_EQ(NPATCHT, 5);
        ASSERT_EQ(IGDEF(1), ex[5] == 0 ? 0 : 1);
        int k = 0;
        for (int p = 1; p <= 5; ++p)
            for (float u : us)
                for (float v : us) {
                    const Eval e = eval(u, v, 1, p);
                    ASSERT_EQ(e.ierr, 0);
                    if (IGDEF(1) == 0) {
                        flat.push_back(e);
                        continue;
                    }
                    const Eval& f = flat[static_cast<std::size_t>(k++)];
                    for (int c = 0; c < 3; ++c) {
                        EXPECT_NEAR(e.x[c], f.x[c], 1e-6) << p << " " << u << " " << v;
                        EXPECT_NEAR(e.vn[c], f.vn[c], 1e-6);
                        EXPECT_NEAR(e.xu[c], f.xu[c], 1e-6);
                        EXPECT_NEAR(e.xv[c], f.xv[c], 1e-6);
                    }
                    EXPECT_NEAR(e.aj, f.aj, 1e-6);
                }
    }
    // Bottom patch (first in the file): vertex 1 (-1,-0.5,-0.5) at (1,-1),
    // vertex 3 (1,0.5,-0.5) at (-1,1); normal up into the body; area 2.
    const Eval& c1 = flat[static_cast<std::size_t>(3 * 4 + 0)];  // u = 1, v = -1
    EXPECT_FLOAT_EQ(c1.x[0], -1.0f);
    EXPECT_FLOAT_EQ(c1.x[1], -0.5f);
    EXPECT_FLOAT_EQ(c1.x[2], -0.5f);
    const Eval& c3 = flat[static_cast<std::size_t>(0 * 4 + 3)];  // u = -1, v = 1
    EXPECT_FLOAT_EQ(c3.x[0], 1.0f);
    EXPECT_FLOAT_EQ(c3.x[1], 0.5f);
    EXPECT_FLOAT_EQ(c3.vn[2], 1.0f);
    EXPECT_FLOAT_EQ(c3.aj, 0.5f);
    // Spline counts of the example (panels of 0.5) and the unknowns.
    EXPECT_EQ(NU(1), 2);
    EXPECT_EQ(NV(1), 4);
    EXPECT_EQ(NEQN, 4 * 6 + 3 * 6 * 2 + 3 * 4 * 2);
}

// A quarter of the box bottom given with ISX = ISY = 1: the images that the
// run does not take from its symmetry, with their ids, signs and
// orientation; mirrored normals still point into the body.
TEST_F(HoGeomTest, SymmetryImagesSignsAndOrientation) {
    const std::string gdf = std::string(HEAD) + "1 1\n1 0\n0 0 -0.5  0 0.5 -0.5  1 0.5 -0.5  1 0 -0.5\n";
    struct Case {
        const char* xbody;
        std::vector<int> ids;
    };
    for (const Case& c : {Case{"0. 0. 0. 0.", {1}}, Case{"0. 0.3 0. 0.", {1, 4}}, Case{"0.3 0. 0. 0.", {1, 2}},
                          Case{"0.3 0.3 0. 0.", {1, 2, 3, 4}}}) {
        fresh();
        run_files("", gdf, spl_lines(1), c.xbody);
        ASSERT_EQ(getip(), 0) << c.xbody << screen.str();
        ASSERT_EQ(NPATCHT, static_cast<int>(c.ids.size())) << c.xbody;
        const Eval a = eval(0.4f, -0.2f, 1, 1);
        for (int q = 1; q <= NPATCHT; ++q) {
            const int k = c.ids[static_cast<std::size_t>(q - 1)];
            EXPECT_EQ(IPREF(q), k) << c.xbody;
            EXPECT_EQ(IPRL(q), 1);
            const Eval e = eval(0.4f, -0.2f, 1, q);
            const float sx = k == 2 || k == 3 ? -1.0f : 1.0f, sy = k == 3 || k == 4 ? -1.0f : 1.0f;
            EXPECT_FLOAT_EQ(ORIENT, k == 2 || k == 4 ? -1.0f : 1.0f);
            EXPECT_FLOAT_EQ(e.x[0], sx * a.x[0]);
            EXPECT_FLOAT_EQ(e.x[1], sy * a.x[1]);
            EXPECT_FLOAT_EQ(e.x[2], a.x[2]);
            EXPECT_FLOAT_EQ(e.vn[2], 1.0f);  // up, into the body
            EXPECT_FLOAT_EQ(e.xu[0], sx * a.xu[0]);
            EXPECT_FLOAT_EQ(e.xv[1], sy * a.xv[1]);
        }
    }
}

// A quadratic-by-linear B-spline patch (Bezier knots): the point against
// the Bernstein form, the tangents against central differences, the
// normal a unit vector across both tangents, MODE 0 leaving the rest, and
// IGLOB > 0 moving the point only.
TEST_F(HoGeomTest, SplinePatchAgainstBernsteinFormAndDifferences) {
    const float P[3][2][3] = {{{0, 0, -1}, {0, 1, -1}}, {{1, 0, -0.5f}, {1, 1, -0.3f}}, {{2, 0, -1}, {2, 1, -0.8f}}};
    std::string gdf = std::string(HEAD) + "0 0\n1 1\n1 1\n3 2\n0 0 0 1 1 1\n-1 -1 1 1\n";
    for (int j = 0; j < 2; ++j)
        for (int i = 0; i < 3; ++i)
            gdf += std::to_string(P[i][j][0]) + " " + std::to_string(P[i][j][1]) + " " + std::to_string(P[i][j][2]) + "\n";
    run_files("", gdf, spl_lines(1), "0.5 0. 0. 30.");
    ASSERT_EQ(getip(), 0) << screen.str();
    for (float u : {-0.9f, -0.2f, 0.35f, 0.8f})
        for (float v : {-0.7f, 0.1f, 0.6f}) {
            const Eval e = eval(u, v, 1, 1);
            ASSERT_EQ(e.ierr, 0);
            const double s = (static_cast<double>(u) + 1.0) / 2, t = (static_cast<double>(v) + 1.0) / 2;
            const double B[3] = {(1 - s) * (1 - s), 2 * s * (1 - s), s * s};
            for (int c = 0; c < 3; ++c) {
                double want = 0.0;
                for (int i = 0; i < 3; ++i)
                    want += B[i] * ((1 - t) * static_cast<double>(P[i][0][c]) + t * static_cast<double>(P[i][1][c]));
                EXPECT_NEAR(e.x[c], want, 2e-6) << u << " " << v;
            }
            const float h = 1e-3f;
            const Eval up = eval(u + h, v, 1, 1, 0), um = eval(u - h, v, 1, 1, 0);
            const Eval vp = eval(u, v + h, 1, 1, 0), vm = eval(u, v - h, 1, 1, 0);
            double n2 = 0.0;
            for (int c = 0; c < 3; ++c) {
                EXPECT_NEAR(e.xu[c], (up.x[c] - um.x[c]) / (2 * h), 2e-3);
                EXPECT_NEAR(e.xv[c], (vp.x[c] - vm.x[c]) / (2 * h), 2e-3);
                n2 += static_cast<double>(e.vn[c] * e.vn[c]);
            }
            EXPECT_NEAR(n2, 1.0, 1e-6);
            const double cx = e.xu[1] * e.xv[2] - e.xu[2] * e.xv[1], cy = e.xu[2] * e.xv[0] - e.xu[0] * e.xv[2],
                         cz = e.xu[0] * e.xv[1] - e.xu[1] * e.xv[0];
            EXPECT_NEAR(e.aj, std::sqrt(cx * cx + cy * cy + cz * cz), 1e-5);
            EXPECT_NEAR(e.vn[2] * e.aj, cz, 1e-5);
        }
    // MODE 0 writes the point only; IGLOB > 0 moves it (heading 30 degrees,
    // x shifted by 0.5) and leaves the vectors in the body frame.
    Eval e0{};
    e0.aj = 7.0f;
    e0.vn[0] = e0.xu[0] = e0.xv[0] = 7.0f;
    BODYGEOM(0.2f, 0.3f, 1, 1, e0.x, e0.vn, e0.xu, e0.xv, e0.aj, 0, 0, e0.ierr);
    EXPECT_EQ(e0.aj, 7.0f);
    EXPECT_EQ(e0.vn[0], 7.0f);
    EXPECT_EQ(e0.xu[0], 7.0f);
    EXPECT_EQ(e0.xv[0], 7.0f);
    const Eval g = eval(0.2f, 0.3f, 1, 1, 1, 1), b = eval(0.2f, 0.3f, 1, 1, 1, 0);
    const double c30 = std::cos(M_PI / 6), s30 = std::sin(M_PI / 6);
    const double bx = b.x[0], by = b.x[1];
    EXPECT_NEAR(g.x[0], c30 * bx - s30 * by + 0.5, 1e-6);
    EXPECT_NEAR(g.x[1], s30 * bx + c30 * by, 1e-6);
    EXPECT_FLOAT_EQ(g.x[2], b.x[2]);
    for (int c = 0; c < 3; ++c) EXPECT_EQ(g.vn[c], b.vn[c]);
}

// The sample user routine's hemisphere: points on the unit sphere, normals
// towards the centre (into the body), also at the pole where the tangent
// XV vanishes; the modal normals of MODE 2 are the normal and r x n.
TEST_F(HoGeomTest, GeomxactHemisphereOnTheSphereWithNormalsIntoTheBody) {
    copy_example("hohemi");
    ASSERT_EQ(getip(), 0) << screen.str();
    ASSERT_EQ(NPATCHT, 4);
    for (int p = 1; p <= 4; ++p)
        for (float u : {-1.0f, -0.6f, 0.0f, 0.7f, 1.0f})
            for (float v : {-1.0f, -0.25f, 0.5f}) {
                const Eval e = eval(u, v, 1, p, 2);
                ASSERT_EQ(e.ierr, 0) << screen.str();
                const double r = std::sqrt(e.x[0] * e.x[0] + e.x[1] * e.x[1] + e.x[2] * e.x[2]);
                EXPECT_NEAR(r, 1.0, 2e-6);
                EXPECT_LE(e.x[2], 1e-6);
                for (int c = 0; c < 3; ++c) EXPECT_NEAR(e.vn[c], -e.x[c], 2e-3) << p << " " << u << " " << v;
                for (int c = 0; c < 3; ++c) EXPECT_EQ(VNPT(c + 1), e.vn[c]);
                EXPECT_FLOAT_EQ(VNPT(4), e.x[1] * e.vn[2] - e.x[2] * e.vn[1]);
                EXPECT_FLOAT_EQ(VNPT(6), e.x[0] * e.vn[1] - e.x[1] * e.vn[0]);
            }
    // Waterline side u = 1 of every patch; no free-surface patch.
    for (int p = 1; p <= 4; ++p) {
        EXPECT_EQ(IWTL(p), 1) << p;
        EXPECT_EQ(IFSPAT(p), 0);
    }
}

// A degenerate flat patch (all vertices one point) has no normal anywhere:
// a message and status 1, not a division by zero.
TEST_F(HoGeomTest, ZeroJacobianInsideGivesAStatus) {
    run_files("", std::string(HEAD) + "0 0\n2 0\n0 0 -1  0 1 -1  1 1 -1  1 0 -1\n0.5 0.5 -1 0.5 0.5 -1 0.5 0.5 -1 0.5 0.5 -1\n",
              spl_lines(2));
    EXPECT_EQ(getip(), 1);
    EXPECT_TRUE(said(" Singular Jacobian in BODYGEOM, body IBI=1")) << screen.str();
    const Eval e = eval(0.0f, 0.0f, 1, 2);
    EXPECT_EQ(e.ierr, 1);
    for (float c : e.vn) EXPECT_EQ(c, 0.0f);
}

// A flat triangle (vertex 4 = vertex 1): at its collapsed side u = 1 the
// tangent XV vanishes; the normal comes from just inside the side.
TEST_F(HoGeomTest, TriangleNormalAtItsCollapsedSide) {
    run_files("", std::string(HEAD) + "0 0\n1 0\n1 0 -1  0 0 -1  0 1 -1  1 0 -1\n", spl_lines(1));
    ASSERT_EQ(getip(), 0) << screen.str();
    for (float v : {-1.0f, 0.0f, 0.7f}) {
        const Eval e = eval(1.0f, v, 1, 1);
        ASSERT_EQ(e.ierr, 0);
        for (float c : e.xv) EXPECT_EQ(c, 0.0f);
        EXPECT_FLOAT_EQ(e.x[0], 1.0f);
        EXPECT_NEAR(e.vn[2], 1.0f, 1e-6);
        EXPECT_GT(e.aj, 0.0f);
        EXPECT_LT(e.aj, 1e-6f);
    }
}

// The reader's cases: dipole lines, free-surface patches 0.00005 and 0.0002
// below the surface, and its errors, as a table.
TEST_F(HoGeomTest, ReaderCasesAndErrors) {
    const std::string P1 = "0 0 -1  0 1 -1  1 1 -1  1 0 -1\n";         // bottom
    const std::string PX0 = "0 0 0  0 0 -1  0 1 -1  0 1 0\n";          // in the plane x = 0
    const std::string PY0 = "0 0 0  1 0 0  1 0 -1  0 0 -1\n";          // in the plane y = 0
    auto lid = [](const char* z) {  // upward-facing patch at height z
        const std::string s(z);
        return "0 0 " + s + "  0 1 " + s + "  1 1 " + s + "  1 0 " + s + "\n";
    };
    struct Case {
        const char* what;
        std::string cfgtext, gdf, xbody;
        const char* message;              // "" for success
        std::vector<int> idipwm, ifspat;  // per patch, when success
    };
    const std::string h3 = std::string(HEAD) + "1 1\n3 0\n";
    const std::vector<Case> cases = {
        {"record 5 without = is the first patch", "", std::string(HEAD) + "0 0\n1 0\n" + P1, "0. 0. 0. 0.", "", {0}, {0}},
        {"NPATCH_DIPOLE = 0 ends the dipole lines", "", std::string(HEAD) + "0 0\n1 0\n npatch_dipole = 0\n" + P1,
         "0. 0. 0. 0.", "", {0}, {0}},
        {"dipole in x = 0 keeps its class on both images, one in y = 0 loses its image", "",
         h3 + "NPATCH_DIPOLE = 2\nIPATCH_DIPOLE = 2 3\n" + P1 + PX0 + PY0, "0. 0.3 0. 0.", "", {0, 2, 1, 0, 2},
         {0, 0, 0, 0, 0}},
        {"IPATCH_DIPOLE first", "", std::string(HEAD) + "0 0\n1 0\nIPATCH_DIPOLE = 1\n" + P1, "0. 0. 0. 0.",
         " Error reading data from GDF for body N=1", {}, {}},
        {"dipole patch number beyond the body's patches", "",
         std::string(HEAD) + "0 0\n1 0\nNPATCH_DIPOLE = 1\nIPATCH_DIPOLE = 2\n" + P1, "0. 0. 0. 0.",
         " Error reading data from GDF for body N=1", {}, {}},
        {"dipole patch number zero", "", std::string(HEAD) + "0 0\n1 0\nNPATCH_DIPOLE = 1\nIPATCH_DIPOLE = 0\n" + P1,
         "0. 0. 0. 0.", " Error reading data from GDF for body N=1", {}, {}},
        {"negative dipole count", "", std::string(HEAD) + "0 0\n1 0\nNPATCH_DIPOLE = -1\n" + P1, "0. 0. 0. 0.",
         " Error reading data from GDF for body N=1", {}, {}},
        {"lid 0.00005 below the surface is a free-surface patch", "ILOG=1\n",
         std::string(HEAD) + "0 0\n2 0\n" + P1 + lid("-0.00005"), "0. 0. 0. 0.", "", {0, 0}, {0, 1}},
        {"lid 0.0002 below the surface is an ordinary patch", "",
         std::string(HEAD) + "0 0\n2 0\n" + P1 + lid("-0.0002"), "0. 0. 0. 0.", "", {0, 0}, {0, 0}},
        {"free-surface patch needs ILOG = 1", "", std::string(HEAD) + "0 0\n2 0\n" + P1 + lid("0."), "0. 0. 0. 0.",
         " ILOG=1 required with free surface patch, NPATCH=2", {}, {}},
        {"patch above the free surface", "", std::string(HEAD) + "0 0\n1 0\n0 0 0.1 0 1 0.1 1 1 0.1 1 0 0.1\n",
         "0. 0. 0. 0.", " Patch is above the free surface. NPATCH =1", {}, {}},
        {"missing flat patch", "", std::string(HEAD) + "0 0\n2 0\n" + P1, "0. 0. 0. 0.",
         "Error reading XVER array from GDF for body N=1", {}, {}},
        {"B-spline panel count", "", std::string(HEAD) + "0 0\n1 1\n0 1\n", "0. 0. 0. 0.",
         "Number of panels for geometry cannot be read for body N=1", {}, {}},
        {"B-spline order", "", std::string(HEAD) + "0 0\n1 1\n1 1\n2 x\n", "0. 0. 0. 0.",
         "B-spline order for geometry cannot be read for body N=1", {}, {}},
        {"decreasing knots", "", std::string(HEAD) + "0 0\n1 1\n1 1\n2 2\n0 1 0 1\n0 0 1 1\n", "0. 0. 0. 0.",
         "Knot vector for geometry cannot be read for body N=1", {}, {}},
        {"control points", "", std::string(HEAD) + "0 0\n1 1\n1 1\n2 2\n0 0 1 1\n0 0 1 1\n0 0 -1\n1 0 -1\n", "0. 0. 0. 0.",
         "Coefficients for geometry cannot be read for body N=1", {}, {}},
        {"user routine data lines missing", "", std::string(HEAD) + "0 0\n4 3\n2\nHEMISPHERE 1.0\n", "0. 0. 0. 0.",
         "Error reading GEOMXACT data from GDF for body N=1", {}, {}},
        {"user routine refuses its data", "", std::string(HEAD) + "0 0\n4 3\n1\nHEMISPHERE -1.0\n", "0. 0. 0. 0.",
         " Error reading data in GDF file from GEOMXACT", {}, {}},
    };
    for (const Case& c : cases) {
        fresh();
        const int np = static_cast<int>(std::max(c.idipwm.size(), std::size_t{4}));
        run_files(c.cfgtext, c.gdf, spl_lines(np), c.xbody);
        const int st = getip();
        if (*c.message) {
            EXPECT_EQ(st, 1) << c.what;
            EXPECT_TRUE(said(c.message)) << c.what << "\n" << screen.str();
            continue;
        }
        ASSERT_EQ(st, 0) << c.what << "\n" << screen.str();
        ASSERT_EQ(NPATCHT, static_cast<int>(c.idipwm.size())) << c.what;
        EXPECT_EQ(IDIPSYM, cfg::IDIPOLE) << c.what;  // classes kept when there are dipoles
        for (int q = 1; q <= NPATCHT; ++q) {
            EXPECT_EQ(IDIPWM(q), c.idipwm[static_cast<std::size_t>(q - 1)]) << c.what << " q=" << q;
            EXPECT_EQ(IFSPAT(q), c.ifspat[static_cast<std::size_t>(q - 1)]) << c.what << " q=" << q;
        }
    }
}

// Two flat-patch bodies: the second body's patches follow the first's in
// XVER and evaluate to its own vertices.
TEST_F(HoGeomTest, SecondFlatBodyHasItsOwnPatches) {
    write_file("fnames.zrv", "b.cfg\nb.pot\n");
    write_file("b.cfg", "ILOWHI=1\nIALTPOT=2\n");
    write_file("b.pot", "B\n0\n0.\n1 1\n1\n5.\n1\n0.\n2\na.gdf\n0 0 0 0\n1 1 1 1 1 1\n0\nb.gdf\n5 0 0 0\n"
                        "1 1 1 1 1 1\n0\n");
    write_file("a.gdf", std::string(HEAD) + "0 0\n1 0\n0 0 -1  0 1 -1  1 1 -1  1 0 -1\n");
    write_file("b.gdf", std::string(HEAD) + "0 0\n1 0\n0 0 -2  0 3 -2  3 3 -2  3 0 -2\n");
    write_file("a.spl", spl_lines(1));
    write_file("b.spl", spl_lines(1));
    ASSERT_EQ(getip(), 0) << screen.str();
    ASSERT_EQ(NPATCHT, 2);
    EXPECT_EQ(IPATOFF(2), 1);
    const Eval a = eval(1.0f, -1.0f, 1, 1), b = eval(1.0f, -1.0f, 2, 2);
    EXPECT_FLOAT_EQ(a.x[2], -1.0f);
    EXPECT_FLOAT_EQ(b.x[2], -2.0f);
    EXPECT_FLOAT_EQ(eval(-1.0f, 1.0f, 2, 2).x[1], 3.0f);
}

// Spline control files: the configuration's defaults and the file's
// groups, the panel size in place of the counts (no file needed), a
// missing file, and numbers left over after the last patch (groups that a
// key set in the configuration removes from the file, most likely, or
// without keys numbers that make no whole patch).
TEST_F(HoGeomTest, SplineControlFile) {
    // u from vertex 2 to vertex 1: 2.5 long; v from vertex 1 to vertex 4: 2.
    const std::string gdf = std::string(HEAD) + "0 0\n1 0\n2.5 0 -1  0 0 -1  0 2 -1  2.5 2 -1\n";
    struct Case {
        const char* what;
        std::string cfgtext, spl;
        const char* message;
        int nu, nv, ku, kv, iquo, iqui;
    };
    const std::vector<Case> cases = {
        {"all groups from the file", "", "h\n3 5\n4 2\n5 6\n7 8\n", "", 3, 5, 4, 2, 5, 7},
        {"orders and quadrature from the configuration", "KSPLIN=2\nIQUADO=2\nIQUADI=3\n", "h\n3 5\n", "", 3, 5,
         2, 2, 2, 3},
        {"negative KSPLIN skips the orders, default 3", "KSPLIN=-1\nIQUADO=1\nIQUADI=1\n", "h\n3 5\n", "", 3, 5, 3,
         3, 1, 1},
        {"panel size with everything set: no file", "PANEL_SIZE=1.0\nKSPLIN=3\nIQUADO=3\nIQUADI=4\n", "", "", 3, 3,
         3, 3, 3, 4},
        {"panel size, missing file is no error", "PANEL_SIZE=1.0\n", "", "", 3, 3, 3, 3, 3, 4},
        {"missing file", "", "", "Spline file (.spl) cannot be opened for body N=1", 0, 0, 0, 0, 0, 0},
        {"header only", "", "h\n", "Spline file (.spl) missing data for body N=1", 0, 0, 0, 0, 0, 0},
        {"bad counts", "", "h\n3 x\n", "Error reading NU,NV in .spl file for body N=1", 0, 0, 0, 0, 0, 0},
        {"zero count", "", "h\n0 1\n2 2\n2 2\n2 2\n", "Error reading NU,NV in .spl file for body N=1", 0, 0, 0,
         0, 0, 0},
        {"quadrature order above 16", "", "h\n1 1\n2 2\n2 2\n17 2\n", "Error reading IQUI in .spl file for body N=1",
         0, 0, 0, 0, 0, 0},
        // After the last patch: blank lines and notes, or numbers left over.
        {"notes and blank lines after the last patch", "KSPLIN=2\n",
         "h\n3 5  NU NV\n5 6 IQUO IQVO\n7 8 IQUI IQVI\n\n  \t\nend of the data, 1 patch\n  / 9 9\n'4 4'\n\n", "",
         3, 5, 2, 2, 5, 7},
        {"a group the key removed still in the file", "KSPLIN=2\n", "h\n3 5\n4 2\n5 6\n7 8",
         "Error in .spl file b.spl for body N=1: 2 numbers on 1 line left over after its 1 patch: as many as the KU "
         "KV group takes in each patch, which KSPLIN set in the configuration removes from the file: the file still "
         "holds that group, so values were read out of place. Remove the KU KV group of each patch from b.spl, or "
         "KSPLIN from the configuration",
         0, 0, 0, 0, 0, 0},
        {"the panel size in place of the counts, the counts still in the file", "PANEL_SIZE=1.0\nIQUADI=3\n",
         "h\n3 5\n4 2\n5 6\n7 8 IQUI IQVI\n",
         "Error in .spl file b.spl for body N=1: 4 numbers on 2 lines left over after its 1 patch: as many as the NU "
         "NV and IQUI IQVI groups take in each patch, which PANEL_SIZE and IQUADI set in the configuration remove "
         "from the file: the file still holds those groups, so values were read out of place. Remove the NU NV and "
         "IQUI IQVI groups of each patch from b.spl, or PANEL_SIZE and IQUADI from the configuration",
         0, 0, 0, 0, 0, 0},
        {"numbers left over, not those of the groups removed", "IQUADO=2\nIQUADI=2\n", "h\n3 5\n4 2\n2*5 9\n",
         "Error in .spl file b.spl for body N=1: 3 numbers on 1 line left over after its 1 patch; IQUADO and IQUADI "
         "set in the configuration remove the groups IQUO IQVO and IQUI IQVI from every patch of the file: if it "
         "still holds those groups, remove the IQUO IQVO and IQUI IQVI groups of each patch from b.spl, or IQUADO "
         "and IQUADI from the configuration",
         0, 0, 0, 0, 0, 0},
        {"no key set: groups of further patches after the last one are not read", "",
         "h\n3 5\n4 2\n5 6\n7 8\n1 1\n2 2\n2 2\n2 2\n", "", 3, 5, 4, 2, 5, 7},
        // A line given twice shifts every group after it: one group is left.
        {"no key set: numbers left over that make no whole patch", "", "h\n3 5\n3 5\n4 2\n5 6\n7 8\n",
         "Error in .spl file b.spl for body N=1: 2 numbers on 1 line left over after its 1 patch, not whole patches "
         "of 8 numbers each (the groups NU NV, KU KV, IQUO IQVO and IQUI IQVI): a line too many or missing in the "
         "file shifts every value read after it",
         0, 0, 0, 0, 0, 0},
        // Read one group off, the order 20 of the file's KU KV line is read
        // as a quadrature order: a bad value, and the key named with it.
        {"a value read out of place and out of range", "KSPLIN=2\n", "h\n3 5\n20 2\n5 6\n7 8\n",
         "Error reading IQUO in .spl file for body N=1, patch 1; KSPLIN set in the configuration removes the group "
         "KU KV from every patch of the file (b.spl): if it still holds that group, remove the KU KV group of each "
         "patch from b.spl, or KSPLIN from the configuration",
         0, 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        fresh();
        run_files(c.cfgtext, gdf, c.spl);
        const int st = getip();
        if (*c.message) {
            EXPECT_EQ(st, 1) << c.what;
            EXPECT_TRUE(said(c.message)) << c.what << "\n" << screen.str();
            continue;
        }
        ASSERT_EQ(st, 0) << c.what << "\n" << screen.str();
        EXPECT_EQ(NU(1), c.nu) << c.what;
        EXPECT_EQ(NV(1), c.nv) << c.what;
        EXPECT_EQ(KU(1), c.ku) << c.what;
        EXPECT_EQ(KV(1), c.kv) << c.what;
        EXPECT_EQ(IQUO(1), c.iquo) << c.what;
        EXPECT_EQ(IQUI(1), c.iqui) << c.what;
        EXPECT_EQ(NEQN, (c.nu + c.ku - 1) * (c.nv + c.kv - 1)) << c.what;
    }
}

// Side lengths of a flat square of side 2 (and a 2.5 x 1 rectangle).
TEST_F(HoGeomTest, SideLengthsOfAFlatPatch) {
    run_files("", std::string(HEAD) + "0 0\n2 0\n0 0 -1  0 2 -1  2 2 -1  2 0 -1\n0 0 -1  0 1 -1  2.5 1 -1  2.5 0 -1\n",
              spl_lines(2));
    ASSERT_EQ(getip(), 0) << screen.str();
    float S[6];
    int ierr = -1;
    PSIDLEN(S, 1, 1, ierr);
    EXPECT_EQ(ierr, 0);
    for (int k = 0; k < 4; ++k) EXPECT_NEAR(S[k], 2.0f, 1e-5) << k;
    EXPECT_FLOAT_EQ(S[4], 1.0f);
    EXPECT_FLOAT_EQ(S[5], 1.0f);
    PSIDLEN(S, 1, 2, ierr);
    // u runs from vertex 2 to vertex 1 (length 1), v from vertex 1 to 4 (2.5).
    EXPECT_NEAR(S[0], 2.5f, 1e-5);
    EXPECT_NEAR(S[1], 1.0f, 1e-5);
    EXPECT_NEAR(S[4], 1.25f, 1e-6);
    EXPECT_NEAR(S[5], 0.5f, 1e-6);
}

// The low-order file of a quarter bottom and its three mirror images: the
// mirrored patches' panels are written in the reversed vertex order, so
// that every panel read back faces up, into the body.
TEST_F(HoGeomTest, MirroredPatchesInTheLowOrderFile) {
    run_files("ILOWGDF=1\n", std::string(HEAD) + "1 1\n1 0\n0 0 -0.5  0 0.5 -0.5  1 0.5 -0.5  1 0 -0.5\n", spl_lines(1),
              "0.3 0.3 0. 0.");
    ASSERT_EQ(getip(), 0) << screen.str();
    ASSERT_EQ(NPATCHT, 4);
    std::string text;
    for (const auto& l : read_lines("b_low.gdf")) text += l + "\n";
    fresh();
    one_body_run("", text);
    ASSERT_EQ(getip(), 0) << screen.str();
    ASSERT_EQ(NEQN, 4);
    for (int p = 1; p <= 4; ++p) {
        const float a[2] = {XVER(1, 1, p) + XVER(2, 1, p) - XVER(3, 1, p) - XVER(4, 1, p),
                            XVER(1, 2, p) + XVER(2, 2, p) - XVER(3, 2, p) - XVER(4, 2, p)};
        const float b[2] = {XVER(1, 1, p) + XVER(4, 1, p) - XVER(2, 1, p) - XVER(3, 1, p),
                            XVER(1, 2, p) + XVER(4, 2, p) - XVER(2, 2, p) - XVER(3, 2, p)};
        EXPECT_GT(a[0] * b[1] - a[1] * b[0], 0.0f) << p;
    }
}

// The index tables' operations: create, append, insert copies, delete.
TEST_F(HoGeomTest, PatchIndexGrowth) {
    int ierr = -1;
    GROWPIR(0, 0, ierr);  // create empty
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(IPREF.extent(1), 0);
    GROWPIR(3, 0, ierr);  // append to 3: IPREF 1, the others 0
    ASSERT_EQ(IPREF.extent(1), 3);
    for (int q = 1; q <= 3; ++q) {
        IPIR(q) = 10 + q;
        IPRL(q) = 20 + q;
        IPREF(q) = q;
        ITRIM(q) = 30 + q;
    }
    GROWPIR(3, 0, ierr);  // append with the same extent keeps everything
    GROWPIR(0, 2, ierr);  // insert no copy: unchanged
    ASSERT_EQ(IPIR.extent(1), 3);
    GROWPIR(2, 2, ierr);  // two copies of entry 2 after it
    const int want[5] = {11, 12, 12, 12, 13};
    ASSERT_EQ(IPIR.extent(1), 5);
    for (int q = 1; q <= 5; ++q) {
        EXPECT_EQ(IPIR(q), want[q - 1]);
        EXPECT_EQ(IPRL(q), want[q - 1] + 10);
        EXPECT_EQ(ITRIM(q), want[q - 1] + 20);
    }
    GROWPIR(-1, 1, ierr);  // delete the first
    GROWPIR(-1, 4, ierr);  // and the last
    ASSERT_EQ(IPIR.extent(1), 3);
    for (int q = 1; q <= 3; ++q) EXPECT_EQ(IPIR(q), 12);
    GROWPIR(5, 0, ierr);
    EXPECT_EQ(IPREF(5), 1);
    EXPECT_EQ(IPIR(5), 0);
    GROWBPTH(-2, 0, ierr);
    EXPECT_EQ(IBPTH.extent(1), 0);
    GROWMDRB(4, ierr);
    EXPECT_EQ(IMODERB.extent(1), 4);
}

// Low-order and plot files of the box's patches: the _low.gdf file read
// back as a low-order body gives the patches' panels and normals; the zone
// files hold one zone per patch and one per spline panel.
TEST_F(HoGeomTest, PatchPlotAndLowOrderFiles) {
    copy_example("hoboxbs");
    set_line("hoboxbs.cfg", 5, "ILOWGDF=1\nIPLTDAT=2");
    ASSERT_EQ(getip(), 0) << screen.str();
    const auto low = read_lines("hoboxbs_low.gdf");
    ASSERT_GE(low.size(), 4u);
    EXPECT_EQ(low[0], " Box 2 x 1 x 0.5, one bilinear B-spline patch per face");
    EXPECT_EQ(low[2], "     0     0");
    // 20 spline panels, each in m x m = 2 x 2 panels.
    EXPECT_EQ(low[3], "        80");
    EXPECT_EQ(low.size(), 84u);
    // Zones: per patch (NU m + 1) x (NV m + 1) points, m = 2; per spline
    // panel 3 x 3.
    const auto pat = read_lines("hoboxbs_pat.dat"), pan = read_lines("hoboxbs_pan.dat");
    EXPECT_EQ(pat[0], "zone I=     5   J=     9  F=POINT");
    std::size_t npt = 0, nzone = 0;
    for (int p = 1; p <= NPATCHT; ++p) npt += static_cast<std::size_t>((NU(p) * 2 + 1) * (NV(p) * 2 + 1) + 1);
    EXPECT_EQ(pat.size(), npt);
    for (const auto& l : pan) nzone += l.rfind("zone", 0) == 0 ? 1 : 0;
    EXPECT_EQ(nzone, 20u);
    EXPECT_EQ(pan.size(), 20u * 10);
    EXPECT_EQ(pan[0], "zone I=     3   J=     3  F=POINT");
    EXPECT_EQ(pat[1], "      -1.000       0.500      -0.500");  // patch 1 at (-1, -1): its vertex 2

    // Read back as a low-order body: 20 panels whose normals agree with the
    // patches'.
    fresh();
    const std::string text = [&] {
        std::string all;
        for (const auto& l : low) all += l + "\n";
        return all;
    }();
    one_body_run("", text);
    ASSERT_EQ(getip(), 0) << screen.str();
    EXPECT_EQ(NEQN, 80);
    // Bottom panels (the first patch's 4 x 8) face up.
    for (int p = 1; p <= 32; ++p) {
        const float a[3] = {XVER(1, 1, p) + XVER(2, 1, p) - XVER(3, 1, p) - XVER(4, 1, p),
                            XVER(1, 2, p) + XVER(2, 2, p) - XVER(3, 2, p) - XVER(4, 2, p), 0.0f};
        const float b[3] = {XVER(1, 1, p) + XVER(4, 1, p) - XVER(2, 1, p) - XVER(3, 1, p),
                            XVER(1, 2, p) + XVER(4, 2, p) - XVER(2, 2, p) - XVER(3, 2, p), 0.0f};
        EXPECT_GT(a[0] * b[1] - a[1] * b[0], 0.0f) << p;
        EXPECT_FLOAT_EQ(XVER(1, 3, p), -0.5f);
    }
}

}  // namespace
}  // namespace zorva
