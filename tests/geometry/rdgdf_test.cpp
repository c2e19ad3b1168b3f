// Geometry files: the first pass (length scale, gravity, symmetry, walls,
// trim, rgkinit.txt), dipole panels listed after the panels, and the
// configuration's tank and dipole ranges.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/geometry/modeltest.hpp"

namespace zorva::test {
namespace {

using namespace model;

// Per-body arrays of a run of NB bodies, as the readers before the first
// pass leave them.
void bodies(int nb) {
    cfg::NBODY = nb;
    fnames::GDFNAME.allocate(nb);
    GDFTITLE.allocate(nb);
    NPANB.allocate(nb);
    NWLPANB.allocate(nb);
    ULEN.allocate(nb);
    cfg::XBODY.allocate(4, nb);
    cfg::XTRIM.allocate(3, nb);
    cfg::IRR.allocate(nb);
}

std::string body_file(const char* ulen_grav, const char* isxy) {
    return std::string("Body\n") + ulen_grav + "\n" + isxy + "\n1\n0 0 -1 0 1 -1 1 1 -1 1 0 -1\n";
}

TEST_F(ModelTest, FirstPassHeaders) {
    struct Case {
        const char* what;
        const char* file1;
        const char* file2;  // "" one body
        float x1, heading;
        int itrimwl;
        float pitch;
        int ierr;
        const char* message;
        int isx, iwallx0, is1;
    };
    const Case cases[] = {
        {"ULEN 1.0E-5 accepted", "1.0E-5 9.81", "", 0, 0, 0, 0, 0, "", 0, 0, 0},
        {"ULEN 0.99E-5 refused", "0.99E-5 9.81", "", 0, 0, 0, 0, 1, " Body length ULEN less than 1.E-05 for body N=1\n",
         0, 0, 0},
        {"GRAV 9.80 against 9.81 passes", "1. 9.81", "1. 9.80", 0, 0, 0, 0, 0, "", 0, 0, 0},
        {"GRAV 9.6 against 9.81 fails", "1. 9.81", "1. 9.6", 0, 0, 0, 0, 1,
         " Error in value of GRAV in GDF for body N=2\n", 0, 0, 0},
        // Zero or negative gravity would divide every wavenumber by zero
        // or turn it over.
        {"GRAV 0 refused", "1. 0.", "", 0, 0, 0, 0, 1, " Error in value of GRAV in GDF for body N=1\n", 0, 0, 0},
        {"GRAV negative refused", "1. -9.81", "", 0, 0, 0, 0, 1, " Error in value of GRAV in GDF for body N=1\n", 0, 0,
         0},
        {"ULEN of body 2 differs: warning", "1. 9.81", "2. 9.81", 0, 0, 0, 0, 0,
         " Warning: ULEN for body N=1 differs from body N=2\n", 0, 0, 0},
        {"symmetric body at the origin", "1. 9.81 \n1 0", "", 0, 0, 0, 0, 0, "", 1, 0, 1},
        {"symmetric body turned 30 degrees", "1. 9.81 \n1 0", "", 0, 30, 0, 0, 0, "", 0, 0, 1},
        {"symmetric body moved to x = 5", "1. 9.81 \n1 0", "", 5, 0, 0, 0, 0, "", 0, 0, 1},
        {"wall in x = 0", "1. 9.81 \n-1 0", "", 0, 0, 0, 0, 0, "", 0, 1, 0},
        {"wall in x = 0 with symmetry", "1. 9.81 \n-2 0", "", 0, 0, 0, 0, 0, "", 0, 1, 1},
        {"illegal ISX", "1. 9.81 \n2 0", "", 0, 0, 0, 0, 1, " Illegal values for ISX, ISY in GDF file for body N=1\n",
         0, 0, 0},
        {"trim of 2 degrees breaks the x symmetry", "1. 9.81 \n1 0", "", 0, 0, 1, 2.f, 0, "", 0, 0, 1},
        // An angle whose sine and cosine single precision no longer resolves.
        {"trim beyond 10000 degrees", "1. 9.81", "", 0, 0, 1, 20000.f, 1,
         " Error in CONFIG file: XTRIM = 0 20000 0, sinkage beyond 1.E6 x ULEN or trim or heel beyond 10000 degrees, "
         "for body N=1\n", 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fresh();
        const bool two = *c.file2 != 0;
        bodies(two ? 2 : 1);
        // A "ULEN GRAV \n ISX ISY" text replaces both header lines.
        std::string u1 = c.file1, s1 = "0 0";
        if (auto n = u1.find(" \n"); n != std::string::npos) {
            s1 = u1.substr(n + 2);
            u1 = u1.substr(0, n);
        }
        write_file("b1.gdf", body_file(u1.c_str(), s1.c_str()));
        fnames::GDFNAME(1) = "b1.gdf";
        if (two) {
            write_file("b2.gdf", body_file(c.file2, "0 0"));
            fnames::GDFNAME(2) = "b2.gdf";
        }
        cfg::XBODY(1, 1) = c.x1;
        cfg::XBODY(4, 1) = c.heading;
        cfg::ITRIMWL = c.itrimwl;
        cfg::XTRIM(2, 1) = c.pitch;
        int ierr = -1;
        RDGDF(11, ierr);
        EXPECT_EQ(ierr, c.ierr) << screen.str();
        if (*c.message) {
            EXPECT_TRUE(said(c.message)) << screen.str();
        }
        if (c.ierr == 0) {
            EXPECT_EQ(ISX, c.isx);
            EXPECT_EQ(cfg::IWALLX0, c.iwallx0);
            EXPECT_EQ(NWALL, c.iwallx0);
            EXPECT_EQ(IS(1, 1), c.is1);
            EXPECT_EQ(NPANB(1), 1);
            EXPECT_EQ(IREFLB(1, 1), c.pitch != 0 ? 1 : 0);
            EXPECT_FALSE(chan::is_open(11));
        }
    }
}

// Trim data given for fewer bodies than the run has: the first pass grows
// XTRIM (no trim for the others) instead of reading past it.
TEST_F(ModelTest, TrimOfUnlistedBodies) {
    bodies(2);
    cfg::XTRIM.allocate(3, 1);
    cfg::XTRIM(2, 1) = 2.f;
    cfg::ITRIMWL = 1;
    write_file("b.gdf", body_file("1. 9.81", "0 0"));
    fnames::GDFNAME(1) = fnames::GDFNAME(2) = "b.gdf";
    int ierr = -1;
    RDGDF(11, ierr);
    ASSERT_EQ(ierr, 0) << screen.str();
    EXPECT_EQ(cfg::XTRIM.extent(2), 2);
    EXPECT_EQ(IREFLB(1, 1), 1);
    EXPECT_EQ(IREFLB(1, 2), 0);
    EXPECT_EQ(TRIMCS(1, 2), 1.f);
}

// Two geometry-model bodies, written in the higher-order header form with
// no panels: rgkinit.txt gets its head and one block per body; the first
// names a model file that does not exist, so the kernel's set-up then
// stops the pass with its code.
TEST_F(ModelTest, RgkinitWriter) {
    bodies(2);
    cfg::NBODY = 2;
    write_file("m1.gdf", "Model one\n1.0 9.80665\n0 0\n0 2\n3\nnomodel.txt\n  Hull  \n1 0 0\n");
    write_file("m2.gdf", "Model two\n1.0 9.80665\n1 0\n0 2\n0\n");
    fnames::GDFNAME(1) = "m1.gdf";
    fnames::GDFNAME(2) = "m2.gdf";
    cfg::XBODY(1, 1) = 1.f;
    cfg::XBODY(2, 1) = 2.f;
    cfg::XBODY(3, 2) = -0.5f;
    cfg::XBODY(4, 2) = 45.f;
    cfg::IRR(2) = 1;
    int ierr = -1;
    RDGDF(11, ierr);
    EXPECT_EQ(ierr, 1);
    EXPECT_TRUE(said(" Error return from subroutine RGKINIT, error code = 3\n\n\n"
                     "  The reason is in rgklog.txt, the log of the geometry-model library SURFLINK\n"))
        << screen.str();
    EXPECT_NE(read_file("rgklog.txt").find("Could not open RG model file: nomodel.txt\n"), std::string::npos);
    EXPECT_EQ(NRGKBODY, 2);
    EXPECT_EQ(NRGKLINES, 3 + 13 + 10);
    EXPECT_EQ(IGDEF(1), 2);
    EXPECT_EQ(NPANB(1), 0);
    EXPECT_EQ(read_file("rgkinit.txt"),
              "     0            !ILOWHI\n"
              "     9.80665      !GRAV\n"
              "     2            !NBODY\n"
              "====================\n"
              "     1     0     1            !IBODY, IRR, ITKMS2\n"
              "m1.gdf\n"
              "m1_ms2.gdf\n"
              "      1.00      2.00      0.00      0.00      !XBODY\n"
              "Model one\n"
              "     1.00000     9.80665      !ULEN, GRAV\n"
              "   0   0                      !ISX, ISY\n"
              "   0   2                      !NPATCH, IGDEF\n"
              "     3                        !NLINES\n"
              "nomodel.txt\n"
              "  Hull\n"
              "1 0 0\n"
              "====================\n"
              "     2     1     1            !IBODY, IRR, ITKMS2\n"
              "m2.gdf\n"
              "m2_ms2.gdf\n"
              "      0.00      0.00     -0.50     45.00      !XBODY\n"
              "Model two\n"
              "     1.00000     9.80665      !ULEN, GRAV\n"
              "   1   0                      !ISX, ISY\n"
              "   0   2                      !NPATCH, IGDEF\n"
              "     0                        !NLINES\n");
}

// Higher-order headers: a B-spline body whose line 5 starts its patch data
// with a real, and a geometry-model body with dipole lines before NLINES.
TEST_F(ModelTest, FirstPassHigherOrderHeaders) {
    bodies(2);
    cfg::ILOWHI = 1;
    write_file("s.gdf", "Splines\n1.0 9.81\n1 1\n3 1\n0.5 0.5 0.5\n");
    write_file("m.gdf", "Model\n1.0 9.81\n0 0\n5 2\nNPATCH_DIPOLE = 1\nIPATCH_DIPOLE = 2\n1\nhull.igs\n");
    fnames::GDFNAME(1) = "s.gdf";
    fnames::GDFNAME(2) = "m.gdf";
    int ierr = -1;
    RDGDF(11, ierr);
    EXPECT_EQ(ierr, 1);
    // The block ends after its model file name: an early end of the file.
    EXPECT_TRUE(said(" Error return from subroutine RGKINIT, error code = 2\n")) << screen.str();
    EXPECT_EQ(NPATCH(1), 3);
    EXPECT_EQ(IGDEF(1), 1);
    EXPECT_EQ(NPATCH(2), 5);
    EXPECT_EQ(NRGKBODY, 1);
    EXPECT_EQ(NRGKLINES, 3 + 11);
    const auto lines = read_lines("rgkinit.txt");
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_EQ(lines[0], "     1            !ILOWHI");
    EXPECT_EQ(lines[4], "     2     0     1            !IBODY, IRR, ITKMS2");
    EXPECT_EQ(lines[11], "   5   2                      !NPATCH, IGDEF");
    EXPECT_EQ(lines[13], "hull.igs");
}

// A low-order run given a body in the higher-order form with a user
// geometry kind stops with a message naming the body.
TEST_F(ModelTest, LowOrderRunRefusesOtherGeometryKinds) {
    one_body_run("", "Exact\n1. 9.81\n0 0\n0 7\n1\nuser data line\n");
    EXPECT_EQ(getip(), 1);
    EXPECT_TRUE(said(" Geometry kind IGDEF of GDF file needs ILOWHI=1 in CONFIG file, body N=1\n")) << screen.str();
}

const char* P1 = "1 0 -1  1 1 -1  2 1 -1  2 0 -1\n";                       // bottom, away from x = 0
const char* PX0 = "0 0 -1  0 0 -2  0 1 -2  0 1 -1\n";                      // in the plane x = 0
const char* PW = "0 0 0  0 1 0  0 1 -1  0 0 -1\n";                         // waterline panel in x = 0

TEST_F(ModelTest, DipolePanelsAfterThePanels) {
    struct Case {
        const char* what;
        std::string tail;
        int ierr, npanb, idipole;
    };
    const Case cases[] = {
        {"end of file", "", 0, 1, 0},
        {"a trailing 0", "0\n", 0, 1, 0},
        {"two dipole panels", std::string("2\n") + P1 + PX0, 0, 3, 1},
        {"a word", "dipoles\n", 1, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fresh();
        one_body_run("", std::string("B\n1. 9.81\n1 0\n1\n") + P1 + c.tail);
        EXPECT_EQ(getip(), c.ierr) << screen.str();
        if (c.ierr != 0) continue;
        EXPECT_EQ(NPANB(1), c.npanb);
        EXPECT_EQ(NEQN, c.npanb);
        EXPECT_EQ(cfg::IDIPOLE, c.idipole);
        if (c.idipole == 1) {
            EXPECT_EQ(NPAND(1), 2);
            EXPECT_EQ(IDIPWM(1), 0);
            EXPECT_EQ(IDIPWM(2), 1);
            EXPECT_EQ(IDIPWM(3), 2);  // in x = 0 on a body with ISX = 1
        }
    }
}

TEST_F(ModelTest, TankAndDipoleRanges) {
    copy_example("box");
    write_file("box.cfg", "ILOWHI=0\nNPTANK(1) = (1 8) (9 16)\nNPDIPOLE(1) = 20\n");
    ASSERT_EQ(getip(), 0) << screen.str();
    EXPECT_EQ(cfg::NTANKS, 2);
    for (int p = 1; p <= 80; ++p) EXPECT_EQ(ITANK(p), p <= 8 ? 1 : p <= 16 ? 2 : 0) << p;
    EXPECT_EQ(cfg::ITANKB(1), 1);
    EXPECT_EQ(cfg::ITANKB(2), 1);
    EXPECT_FLOAT_EQ(cfg::ZTANKFS(1), -0.5f);  // highest vertex of the tank's panels
    EXPECT_EQ(NPAND(1), 1);
    EXPECT_EQ(IDIPWM(20), 1);
    EXPECT_EQ(cfg::IDIPOLE, 1);

    // Ranges of body 2 leave body 1 alone.
    fresh();
    copy_example("twoboxes");
    write_file("twoboxes.cfg", "ILOWHI=0\nNPTANK(2) = (1 20) (21 40)\n");
    ASSERT_EQ(getip(), 0) << screen.str();
    for (int p = 1; p <= 160; ++p)
        EXPECT_EQ(ITANK(p), p <= 80 ? 0 : p <= 100 ? 1 : p <= 120 ? 2 : 0) << p;
    EXPECT_EQ(cfg::ITANKB(2), 2);
}

// The configuration's ranges address the body's panels only: dipole
// panels listed after them in the file are not marked again.
TEST_F(ModelTest, RangesNotAppliedToDipolePanelsOfTheFile) {
    one_body_run("NPTANK(1) = (1 1)\nZTANKFS = 0.\n", std::string("B\n1. 9.81\n0 0\n2\n") + P1 + P1 + "1\n" + P1);
    ASSERT_EQ(getip(), 0) << screen.str();
    EXPECT_EQ(NEQN, 3);
    EXPECT_EQ(ITANK(1), 1);
    EXPECT_EQ(ITANK(2), 0);
    EXPECT_EQ(ITANK(3), 0);
    EXPECT_EQ(IDIPWM(3), 1);
}

TEST_F(ModelTest, WavemakerClasses) {
    cfg::IWALLX0 = 1;
    XVER.allocate(4, 3, 2);
    IDIPWM.allocate(2);
    const float wall[12] = {0, 0, 0, 0, 1, 0, 0, 1, -1, 0, 0, -1};
    for (int k = 1; k <= 4; ++k)
        for (int c = 1; c <= 3; ++c) {
            XVER(k, c, 1) = wall[3 * (k - 1) + c - 1];
            XVER(k, c, 2) = wall[3 * (k - 1) + c - 1] + (c == 1 ? 0.5f : 0.f);
        }
    int ierr = 0;
    DIPWMCLS(1, 2, {0, 0}, -1, ierr);
    EXPECT_EQ(ierr, -1);
    EXPECT_EQ(IDIPWM(1), -2);
    EXPECT_EQ(IDIPWM(2), 0);

    // Through the reader: the run stops with the wavemaker message.
    fresh();
    one_body_run("IBODY_WAVEMAKER = 1\n", std::string("B\n1. 9.81\n-1 0\n2\n") + PW + P1);
    EXPECT_EQ(getip(), 1);
    EXPECT_TRUE(said(" Wavemaker panel not in plane X=0 or Y=0 on body N=1\n")) << screen.str();
}

TEST_F(ModelTest, VertexLimitAtTheFreeSurface) {
    // Nondimensional z of 1.0E-6 passes, 2.0E-6 is refused; a tank panel
    // may lie above.
    const char* zs[] = {"1.0E-6", "2.0E-6"};
    for (int i = 0; i < 2; ++i) {
        fresh();
        one_body_run("", std::string("B\n1. 9.81\n0 0\n1\n0 0 ") + zs[i] + " 0 1 -1 1 1 -1 1 0 -1\n");
        EXPECT_EQ(getip(), i) << screen.str();
    }
    EXPECT_TRUE(said(" Error in GDF file: vertex above free surface for panel N=1\n"));
    fresh();
    one_body_run("NPTANK(1) = (1 1)\n", std::string("B\n1. 9.81\n0 0\n2\n0 0 0.5 0 1 -1 1 1 -1 1 0 -1\n") + P1);
    EXPECT_EQ(getip(), 0) << screen.str();
    EXPECT_FLOAT_EQ(cfg::ZTANKFS(1), 0.5f);
}

}  // namespace
}  // namespace zorva::test
