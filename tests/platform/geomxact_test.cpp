// The sample user geometry library, called through its exported GEOMXACT as
// the program calls it: set-up from data lines on a unit, evaluation of the
// analytic bodies, failures.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "common/channels.hpp"
#include "common/messages.hpp"
#include "platform/zorva_userlib.h"
#include "tests/platform/userlib_support.hpp"
#include "tests/support/testdir.hpp"

namespace zorva {
namespace {

using test::gauss_legendre;
using V3 = std::array<double, 3>;

constexpr double PI = 3.14159265358979323846;

struct Eval {
    V3 x{}, xu{}, xv{};
    int ierr = 0;
};

class GeomxactTest : public test::TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        ASSERT_EQ(chan::open(IUERR, "errorp.log", chan::Status::Replace), 0);
        ASSERT_EQ(chan::open(IULOG, "zorvalog.txt", chan::Status::Replace), 0);
    }

    // Set-up call for body IB of kind IGDEF(IB), the lines on scratch unit 2
    // as the geometry reader leaves them (80 characters, rewound).
    int setup(int ib, const std::vector<std::string>& lines, std::array<int, 2> isxy = {0, 0}, int npatch = 0) {
        EXPECT_EQ(chan::open_scratch(2), 0);
        for (std::string l : lines) {
            l.resize(80, ' ');
            chan::write_line(2, l);
        }
        chan::rewind(2);
        float u = 0.f, v = 0.f, x[3] = {}, xu[3] = {}, xv[3] = {};
        int ipatch = 0, irr = 0, iudat = 2, ierr = -7;
        GEOMXACT(&u, &v, &ib, &ipatch, isxy.data(), &npatch, &irr, x, xu, xv, igdef.data(), &iudat, &ierr);
        chan::close(2);
        return ierr;
    }

    Eval eval(int ib, int ipatch, double u, double v, std::array<int, 2> isxy = {0, 0}, int npatch = 0) {
        float fu = static_cast<float>(u), fv = static_cast<float>(v), x[3] = {}, xu[3] = {}, xv[3] = {};
        int irr = 0, iudat = 0;
        Eval e;
        e.ierr = -7;
        GEOMXACT(&fu, &fv, &ib, &ipatch, isxy.data(), &npatch, &irr, x, xu, xv, igdef.data(), &iudat, &e.ierr);
        for (int k = 0; k < 3; ++k) e.x[k] = x[k], e.xu[k] = xu[k], e.xv[k] = xv[k];
        return e;
    }

    std::string logs() { return read_file("errorp.log") + "|" + read_file("zorvalog.txt"); }

    std::vector<int> igdef = std::vector<int>(8, 0);
};

V3 cross(const V3& a, const V3& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
double dot(const V3& a, const V3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// The bodies of the sample, with closed-form area and enclosed volume
// (waterplane excluded from the area; it adds nothing to the volume
// integral -1/3 X.n dS since z = 0 there).
enum Shape { HEMI, SPHERE, CYL };
struct BodyCase {
    const char* line;
    Shape shape;
    double area, volume;
};
const double R = 2.0, T = 3.0, ZC = -5.0;
const BodyCase bodies[] = {
    {"HEMISPHERE 2.0", HEMI, 2 * PI * R * R, 2 * PI * R * R * R / 3},
    {"sphere, 2.0, -5.0 ! submerged", SPHERE, 4 * PI * R * R, 4 * PI * R * R * R / 3},
    {"Cylinder 2.0 3.0", CYL, 2 * PI * R * T + PI * R * R, PI * R * R * T},
};

void check_on_surface(Shape shape, int p, int np, const Eval& e) {
    const V3& x = e.x;
    V3 n = cross(e.xu, e.xv);
    // On a collapsed edge (pole, axis) XU x XV vanishes and gives no direction.
    if (dot(n, n) < 1e-12) n = {0, 0, 0};
    const bool has_normal = dot(n, n) > 0;
    double rho = std::hypot(x[0], x[1]);
    if (shape == CYL && p <= np / 2) {  // wall
        EXPECT_NEAR(rho, R, 1e-5);
        EXPECT_TRUE(x[2] <= 0 && x[2] >= -T) << x[2];
        EXPECT_TRUE(!has_normal || n[0] * x[0] + n[1] * x[1] < 0);  // towards the axis
    } else if (shape == CYL) {  // bottom
        EXPECT_NEAR(x[2], -T, 1e-5);
        EXPECT_LE(rho, R + 1e-5);
        EXPECT_TRUE(!has_normal || n[2] > 0);  // up, into the body
    } else {
        V3 c = {x[0], x[1], x[2] - (shape == SPHERE ? ZC : 0.0)};
        EXPECT_NEAR(std::sqrt(dot(c, c)), R, 1e-5);
        if (shape == HEMI) {
            EXPECT_LE(x[2], 1e-6);
        }
        EXPECT_TRUE(!has_normal || dot(n, c) < 0);  // towards the centre
    }
}

// Every point of every patch lies on the body, inside the part that the
// symmetry leaves to describe, XU x XV points into the body, and the patches
// together have the area and the volume of that part.
TEST_F(GeomxactTest, BodiesLieOnTheirSurfacesAndCoverThem) {
    const std::array<int, 2> syms[] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
    std::vector<double> gx, gw;
    gauss_legendre(12, gx, gw);
    int kind = 100;
    for (const BodyCase& b : bodies) {
        for (int sectors : {1, 2}) {
            for (auto sym : syms) {
                SCOPED_TRACE(std::string(b.line) + ", sectors " + std::to_string(sectors) + ", symmetry " +
                             std::to_string(sym[0]) + std::to_string(sym[1]));
                igdef[0] = ++kind;
                int quarters = 4 >> (sym[0] + sym[1]);
                int np = (b.shape == CYL ? 2 : 1) * sectors * quarters;
                ASSERT_EQ(setup(1, {b.line, "SECTORS " + std::to_string(sectors)}, sym, np), 0);
                double area = 0, vol = 0;
                for (int p = 1; p <= np; ++p) {
                    for (std::size_t i = 0; i < gx.size(); ++i) {
                        for (std::size_t j = 0; j < gx.size(); ++j) {
                            Eval e = eval(1, p, gx[i], gx[j], sym, np);
                            ASSERT_EQ(e.ierr, 0);
                            V3 n = cross(e.xu, e.xv);
                            double w = gw[i] * gw[j];
                            area += w * std::sqrt(dot(n, n));
                            vol -= w * dot(e.x, n) / 3;
                            check_on_surface(b.shape, p, np, e);
                            if (sym[0]) {
                                EXPECT_GE(e.x[0], -1e-5);
                            }
                            if (sym[1]) {
                                EXPECT_GE(e.x[1], -1e-5);
                            }
                        }
                    }
                    // Edges and corners too, where the poles and the axis collapse.
                    for (double u : {-1.0, 1.0})
                        for (double v : {-1.0, 0.3, 1.0}) {
                            check_on_surface(b.shape, p, np, eval(1, p, u, v, sym, np));
                            check_on_surface(b.shape, p, np, eval(1, p, v, u, sym, np));
                        }
                }
                EXPECT_NEAR(area, b.area * quarters / 4, b.area * 1e-5);
                EXPECT_NEAR(vol, b.volume * quarters / 4, b.volume * 1e-5);
            }
        }
    }
}

// Parts of the surfaces that the parametrisation fixes: the hemisphere's
// waterline side u = 1 at z = 0 and its pole u = -1; the cylinder's sector
// boundaries at the azimuths of the quarter.
TEST_F(GeomxactTest, PatchLayout) {
    igdef[0] = 201;
    ASSERT_EQ(setup(1, {"HEMISPHERE 2.0"}), 0);
    for (int p = 1; p <= 4; ++p) {
        for (double v : {-1.0, 0.0, 1.0}) {
            EXPECT_NEAR(eval(1, p, 1.0, v).x[2], 0.0, 1e-6);
            EXPECT_NEAR(eval(1, p, -1.0, v).x[2], -R, 1e-6);
        }
        // Sector p spans the azimuths (p-1) 90 .. p 90 degrees.
        double a0 = (p - 1) * PI / 2, a1 = p * PI / 2;
        Eval e0 = eval(1, p, 1.0, -1.0), e1 = eval(1, p, 1.0, 1.0);
        EXPECT_NEAR(e0.x[0], R * std::cos(a0), 1e-5);
        EXPECT_NEAR(e0.x[1], R * std::sin(a0), 1e-5);
        EXPECT_NEAR(e1.x[0], R * std::cos(a1), 1e-5);
        EXPECT_NEAR(e1.x[1], R * std::sin(a1), 1e-5);
    }
    // Half body x >= 0, one sector per quarter: azimuths -90..0 and 0..90.
    igdef[1] = 202;
    ASSERT_EQ(setup(2, {"CYLINDER 2.0 3.0"}, {1, 0}, 4), 0);
    Eval w1 = eval(2, 1, 0.0, -1.0, {1, 0}, 4), w2 = eval(2, 2, 0.0, 1.0, {1, 0}, 4);
    EXPECT_NEAR(w1.x[1], -R, 1e-5);
    EXPECT_NEAR(w2.x[1], R, 1e-5);
    EXPECT_NEAR(w1.x[2], -T / 2, 1e-5);
    Eval b3 = eval(2, 3, -1.0, 0.0, {1, 0}, 4), b4 = eval(2, 4, 1.0, -1.0, {1, 0}, 4);
    EXPECT_NEAR(std::hypot(b3.x[0], b3.x[1]), 0.0, 1e-6);  // axis
    EXPECT_NEAR(b4.x[0], R, 1e-5);                           // rim at azimuth 0
    EXPECT_NEAR(b4.x[1], 0.0, 1e-5);
}

// XU and XV against central differences of X (double-precision step over
// the single-precision results).
TEST_F(GeomxactTest, DerivativesMatchFiniteDifferences) {
    const double h = 1e-3;
    int kind = 300;
    for (const BodyCase& b : bodies) {
        igdef[0] = ++kind;
        ASSERT_EQ(setup(1, {b.line, "SECTORS 2"}, {0, 1}), 0);
        int np = (b.shape == CYL ? 2 : 1) * 4;
        for (int p = 1; p <= np; ++p) {
            for (auto [u, v] : {std::array<double, 2>{0.1, -0.4}, {-0.7, 0.8}, {0.9, 0.95}}) {
                SCOPED_TRACE(std::string(b.line) + " patch " + std::to_string(p));
                Eval e = eval(1, p, u, v, {0, 1});
                Eval up = eval(1, p, u + h, v, {0, 1}), um = eval(1, p, u - h, v, {0, 1});
                Eval vp = eval(1, p, u, v + h, {0, 1}), vm = eval(1, p, u, v - h, {0, 1});
                for (int k = 0; k < 3; ++k) {
                    EXPECT_NEAR(e.xu[k], (up.x[k] - um.x[k]) / (2 * h), 2e-3 * R);
                    EXPECT_NEAR(e.xv[k], (vp.x[k] - vm.x[k]) / (2 * h), 2e-3 * R);
                }
            }
        }
    }
}

// Bodies with the same geometry kind share one description; a set-up
// without data lines (as the FORCE stage makes for a body that had none)
// leaves it unchanged; another kind is independent.
TEST_F(GeomxactTest, KindsAndEmptySetUp) {
    igdef = {401, 402, 401, 0, 0, 0, 0, 0};
    ASSERT_EQ(setup(1, {"HEMISPHERE 1.5"}), 0);
    ASSERT_EQ(setup(2, {"CYLINDER 1.0 4.0"}), 0);
    EXPECT_EQ(setup(3, {}), 0);
    EXPECT_EQ(setup(3, {"", "  ! only a comment", ""}), 0);
    Eval a = eval(3, 2, 0.2, 0.4), b = eval(1, 2, 0.2, 0.4);
    ASSERT_EQ(a.ierr, 0);
    EXPECT_EQ(a.x, b.x);
    EXPECT_NEAR(std::sqrt(dot(a.x, a.x)), 1.5, 1e-6);
    Eval c = eval(2, 1, 0.0, 0.0);
    EXPECT_NEAR(std::hypot(c.x[0], c.x[1]), 1.0, 1e-6);
    EXPECT_NEAR(c.x[2], -2.0, 1e-6);
    // A new set-up of the kind replaces it for every body of the kind.
    ASSERT_EQ(setup(3, {"HEMISPHERE 0.5"}), 0);
    EXPECT_NEAR(std::sqrt(dot(eval(1, 1, 0.0, 0.0).x, eval(1, 1, 0.0, 0.0).x)), 0.5, 1e-6);
    EXPECT_EQ(logs(), "|");
}

// A control surface's calls carry ISXY = (0, 0) and NPATCH = 0: its
// SYMMETRY line chooses the part described.
TEST_F(GeomxactTest, SymmetryLineOverridesTheCall) {
    igdef[0] = 501;
    ASSERT_EQ(setup(1, {"CYLINDER 3.0 1.0", "SYMMETRY 1 1"}), 0);
    EXPECT_EQ(eval(1, 2, 0.0, 0.0).ierr, 0);
    EXPECT_EQ(eval(1, 3, 0.0, 0.0).ierr, 1);  // a quarter has one wall and one bottom patch
    Eval e = eval(1, 1, 0.0, -1.0);
    EXPECT_NEAR(e.x[0], 3.0, 1e-5);
    Eval f = eval(1, 1, 0.0, 1.0);
    EXPECT_NEAR(f.x[1], 3.0, 1e-5);
}

// Bad data lines: the set-up fails with a message naming the line, and the
// kind keeps the description it had.
TEST_F(GeomxactTest, BadDataLinesFailTheSetUp) {
    struct Case {
        std::vector<std::string> lines;
        std::array<int, 2> isxy;
        int npatch;
        const char* text;
    };
    const Case cases[] = {
        {{"TORUS 1 2 3"}, {0, 0}, 0, "unknown keyword TORUS in data line 1"},
        {{"", "HEMISPHERE"}, {0, 0}, 0, "HEMISPHERE takes 1 value, found 0 in data line 2"},
        {{"CYLINDER 1.0 2.0 3.0"}, {0, 0}, 0, "CYLINDER takes 2 values, found 3 in data line 1"},
        {{"SPHERE 1.0 x"}, {0, 0}, 0, "bad number x for SPHERE in data line 1"},
        {{"HEMISPHERE -1.0"}, {0, 0}, 0, "radius must be positive in data line 1"},
        {{"CYLINDER 1.0 0.0"}, {0, 0}, 0, "radius and draft must be positive in data line 1"},
        {{"BOX 1.0 2.0 0.0"}, {0, 0}, 0, "half-widths and depth must be positive in data line 1"},
        {{"HEMISPHERE 1.0", "SPHERE 1.0 -3.0"}, {0, 0}, 0, "second body line SPHERE in data line 2"},
        {{"SECTORS 2"}, {0, 0}, 0, "no body line (HEMISPHERE, SPHERE, CYLINDER or BOX)"},
        {{"HEMISPHERE 1.0", "SECTORS 0"}, {0, 0}, 0, "SECTORS must be 1 to"},
        {{"HEMISPHERE 1.0", "SECTORS 1.5"}, {0, 0}, 0, "bad integer 1.5 for SECTORS in data line 2"},
        {{"HEMISPHERE 1.0", "SYMMETRY 2 0"}, {0, 0}, 0, "SYMMETRY indices must be 0 or 1"},
        {{"CYLINDER 1.0 2.0"}, {1, 1}, 4, "the data lines describe 2 patches, the geometry file gives NPATCH = 4"},
    };
    igdef[0] = 601;
    ASSERT_EQ(setup(1, {"HEMISPHERE 1.25"}), 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        chan::open(IUERR, "errorp.log", chan::Status::Replace);
        chan::open(IULOG, "zorvalog.txt", chan::Status::Replace);
        EXPECT_EQ(setup(1, c.lines, c.isxy, c.npatch), 1);
        std::string expect = "\n GEOMXACT, body 1: " + std::string(c.text);
        EXPECT_EQ(read_file("errorp.log").rfind(expect, 0), 0u) << read_file("errorp.log");
        EXPECT_EQ(read_file("zorvalog.txt"), read_file("errorp.log"));
        Eval e = eval(1, 1, 0.0, 0.0);
        EXPECT_EQ(e.ierr, 0);
        EXPECT_NEAR(std::sqrt(dot(e.x, e.x)), 1.25, 1e-6);
    }
    // A data unit that is not open.
    float u = 0.f, x[3] = {}, xu[3] = {}, xv[3] = {};
    int ib = 1, ipatch = 0, isxy[2] = {0, 0}, npatch = 0, irr = 0, iudat = 33, ierr = 0;
    GEOMXACT(&u, &u, &ib, &ipatch, isxy, &npatch, &irr, x, xu, xv, igdef.data(), &iudat, &ierr);
    EXPECT_EQ(ierr, 1);
    EXPECT_NE(logs().find(" GEOMXACT, body 1: cannot read data line 1 on unit 33"), std::string::npos);
}

// Evaluation failures: a patch the body does not have, a kind without data
// lines, a geometry file whose patch count differs.
TEST_F(GeomxactTest, EvaluationFailures) {
    igdef = {701, 702, 0, 0, 0, 0, 0, 0};
    ASSERT_EQ(setup(1, {"CYLINDER 1.0 1.0", "SECTORS 2"}, {0, 0}, 16), 0);
    EXPECT_EQ(eval(1, 16, 0.0, 0.0, {0, 0}, 16).ierr, 0);
    EXPECT_EQ(eval(1, 17, 0.0, 0.0, {0, 0}, 16).ierr, 1);
    EXPECT_EQ(logs(), "\n GEOMXACT, body 1: no patch 17 (the body has 16 patches)\n|"
                      "\n GEOMXACT, body 1: no patch 17 (the body has 16 patches)\n");
    EXPECT_EQ(eval(1, 0, 0.0, 0.0, {0, 0}, 16).ierr, 1);
    EXPECT_EQ(eval(1, 1, 0.0, 0.0, {0, 0}, 8).ierr, 1);
    EXPECT_NE(logs().find("describe 16 patches, the geometry file gives NPATCH = 8"), std::string::npos);
    EXPECT_EQ(eval(2, 1, 0.0, 0.0, {0, 0}, 16).ierr, 1);
    EXPECT_NE(logs().find(" GEOMXACT, body 2: no data lines were given for geometry kind 702"), std::string::npos);
    // The kind of body 1 as a control surface (NPATCH = 0) has no description.
    EXPECT_EQ(eval(1, 1, 0.0, 0.0).ierr, 1);
    EXPECT_NE(logs().find(" GEOMXACT, body 1: no data lines were given for geometry kind 701"), std::string::npos);
}

// A body and a control surface of the same kind number keep their own
// descriptions (the control surface's calls carry NPATCH = 0).
TEST_F(GeomxactTest, BodyAndControlSurfaceOfOneKind) {
    igdef[0] = 801;
    ASSERT_EQ(setup(1, {"HEMISPHERE 1.0"}, {1, 1}, 1), 0);
    ASSERT_EQ(setup(1, {"HEMISPHERE 3.0", "SYMMETRY 1 1"}), 0);
    Eval body = eval(1, 1, 0.5, 0.5, {1, 1}, 1), surface = eval(1, 1, 0.5, 0.5);
    ASSERT_EQ(body.ierr, 0);
    ASSERT_EQ(surface.ierr, 0);
    EXPECT_NEAR(std::sqrt(dot(body.x, body.x)), 1.0, 1e-6);
    EXPECT_NEAR(std::sqrt(dot(surface.x, surface.x)), 3.0, 1e-6);
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(surface.x[k], 3 * body.x[k], 1e-5);
}

}  // namespace
}  // namespace zorva
