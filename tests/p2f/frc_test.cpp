// The force control file: its layouts, the mass matrix of a freely floating
// body and the nondimensional external matrices, the field points, and
// every read error with its text.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <sstream>

#include "common/channels.hpp"
#include "p2f/forceprep.hpp"
#include "tests/p2f/p2fmodel.hpp"
#include "tests/support/testdir.hpp"

namespace zorva::test {
namespace {

class FrcTest : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        reset_all();
        body_model(1);
    }
    // NB bodies of six modes, unit length scale, zero hydrostatics.
    static void body_model(int nb) {
        cfg::NBODY = nb;
        model::NMODT = 6 * nb;
        cfg::NEWMDS.allocate(nb);
        cfg::IALTFRCN.allocate(nb);
        cfg::IALTFRCN.fill(1);
        model::ULEN.allocate(nb);
        model::ULEN.fill(1.0f);
        model::ULENI = 1.0f;
        model::GRAV = 1.0f;
        pnl::VOLB.allocate(nb);
        pnl::XBUOY.allocate(3, nb);
        pnl::CHYD.allocate(6 * nb, 6 * nb);
        model::NBETA = 1;
        model::BETA.allocate(1);
        model::SINBETA.allocate(1);
        model::COSBETA.allocate(1);
    }
    int rdfrc(const std::string& text) {
        write_file("run.frc", text);
        EXPECT_EQ(chan::open(12, "run.frc", chan::Status::Old), 0);
        int ierr = 0;
        RDFRC(12, model::ULENI, ierr);
        chan::close(12);
        return ierr;
    }
    // The non-empty lines written to the screen (one blank of each
    // message's margin taken off).
    std::vector<std::string> messages() {
        std::vector<std::string> v;
        std::istringstream in(screen.str());
        for (std::string l; std::getline(in, l);)
            if (l.find_first_not_of(' ') != std::string::npos) v.push_back(l.substr(1));
        return v;
    }
};

const std::vector<std::string> NOTES = {"Note: if data is missing from the .frc file this",
                                        "may precede the line where the READ error occurs."};

std::vector<std::string> cat(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

TEST_F(FrcTest, ReadErrors) {
    using V = std::vector<std::string>;
    const std::string OPT = "H\n1 0 0 0 0 0 0 0 0\n";
    const std::string L1 = "0.0\n1 0 0 0 1 0 0 0 1\n";  // layout 1 body data
    const std::string L2 = "1025\n0 0 0\n";              // layout 2: density, centre of gravity
    struct Case {
        const char* name;
        int ialtfrc;
        std::string text;
        V msgs;  // after the echoed header line
    };
    const std::vector<Case> cases = {
        {"empty file", 1, "", cat({{"Error reading header in .FRC file"}, NOTES})},
        {"no line 2", 1, "H\n", cat({{"Error reading .FRC file, line 2"}, NOTES})},
        {"short option line", 1, "H\n1 0 0 0 0 0 0 0\n", cat({{"Error reading .FRC file, line 2"}, NOTES})},
        {"NDFR", 1, "H\n0 0 0 -1 0 0 0 0 0\nx\n",
         cat({{"Error reading .FRC file, number of degrees of freedom"}, NOTES})},
        {"NDFR not NMODT", 1, "H\n0 0 0 -1 0 0 0 0 0\n5\n",
         cat({{" Length of MODE array not equal to NDFR=6", "Error reading data in .FRC file"}, NOTES})},
        {"MODE", 1, "H\n0 0 0 -1 0 0 0 0 0\n6\n1 1 x\n",
         cat({{"Error reading .FRC file, array MODE of active modes"}, NOTES})},
        {"ZCG", 1, OPT + "x\n", cat({{"Error reading .FRC file, body c.g. data XCG,YCG,ZCG"}, NOTES})},
        {"XPRDCT", 1, OPT + "0.0\n1 2 3\n", cat({{"Error reading .FRC file, XPRDCT matrix"}, NOTES})},
        // Lengths beyond 1e6 length scales would overflow the mass matrix:
        // the limit is named, with the file, item and body, and no note of
        // missing data follows (more in LengthsBeyondTheLimit).
        {"ZCG huge", 1, OPT + "1e30\n",
         {"Error reading .FRC file, body c.g. data XCG,YCG,ZCG",
          "Error in FRC file run.frc: ZCG beyond 1.E6 x ULEN for body N=1"}},
        {"XPRDCT huge", 1, OPT + "0.0\n1 0 0 0 -1e30 0 0 0 1\n",
         {"Error reading .FRC file, XPRDCT matrix",
          "Error in FRC file run.frc: radius of gyration XPRDCT beyond 1.E6 x ULEN for body N=1"}},
        {"RHO", 2, OPT + "x\n", cat({{"Error reading .FRC file, fluid density RHO"}, NOTES})},
        {"RHO zero", 2, OPT + "0\n", cat({{"Error reading .FRC file, fluid density RHO"}, NOTES})},
        {"XCG", 2, OPT + "1025\n0 0\n", cat({{"Error reading .FRC file, body c.g. data XCG,YCG,ZCG"}, NOTES})},
        {"XCG huge", 2, OPT + "1025\n0 4e38 0\n", cat({{"Error reading .FRC file, body c.g. data XCG,YCG,ZCG"}, NOTES})},
        {"IMASS", 2, OPT + L2 + "x\n",
         cat({{"Error reading .FRC file, external force index, K=1", "  K=1,2,3 for mass, damping, stiffness matrix"},
              NOTES})},
        {"IMASS value", 2, OPT + L2 + "0\n3\n",
         cat({{" Illegal values of IMASS, IDAMP or ISTIF ", "Error reading data in .FRC file"}, NOTES})},
        {"matrix in the file", 2, OPT + L2 + "0\n0\n1\n1 2 3\n",
         cat({{"Error reading .FRC file, external force index, K=3", "  K=1,2,3 for mass, damping, stiffness matrix"},
              NOTES})},
        {"matrix file name", 2, OPT + L2 + "2\n",
         cat({{"Error reading .FRC file, external force filename K=1",
               "  K=1,2,3 for mass, damping, stiffness matrix"},
              NOTES})},
        {"matrix file missing", 2, OPT + L2 + "2\nnofile.mat\n",
         cat({{"nofile.mat           file cannot be opened"}, NOTES})},
        {"body file name", 3, OPT + "1025\n", cat({{"Error reading .FRC file, filename for body N=1"}, NOTES})},
        {"body file missing", 3, OPT + "1025\nbody1.frc\n", cat({{"body1.frc            file cannot be opened"}, NOTES})},
        {"NBETAH", 1, OPT + L1 + "x\n", cat({{"Error reading .FRC file, number of Haskind headings NBETAH"}, NOTES})},
        {"BETAH", 1, OPT + L1 + "2\n10\n", cat({{"Error reading .FRC file, Haskind headings BETAH"}, NOTES})},
        // Counts beyond any list are refused before anything is allocated.
        {"NBETAH beyond any list", 1, OPT + L1 + "2147483647\n10\n",
         cat({{"Error reading .FRC file, number of Haskind headings NBETAH"}, NOTES})},
        {"NFIELD beyond any list", 1, OPT + L1 + "0\n2147483647\n0 0 -1\n",
         cat({{"Error reading .FRC file, number of field points NFIELD"}, NOTES})},
        {"NBETAH with option 4 = 2", 1, "H\n0 0 0 2 0 0 0 0 0\n" + L1 + "1\n0\n",
         {" NBETAH > 0 is inconsistent with IOPTN(4) = 2"}},
        {"NFIELD", 1, OPT + L1 + "0\nx\n",
         cat({{"Error reading .FRC file, number of field points NFIELD"}, NOTES})},
        {"field point", 1, "H\n0 0 0 0 0 1 0 0 0\n" + L1 + "0\n1\n0 0\n",
         cat({{"Error reading .FRC file, field points XFIELD"}, NOTES})},
        {"options 6, 7 without points", 1, "H\n0 0 0 0 0 1 0 0 0\n" + L1 + "0\n0\n",
         cat({{" IOPTN(6) and IOPTN(7) >0 but NFIELD=0", "Error reading data in .FRC file"}, NOTES})},
        {"points without options 6, 7", 1, OPT + L1 + "0\n2\n0 0 -1\n0 0 -2\n",
         cat({{" IOPTN(6)=0 and IOPTN(7)=0 but NFIELD>0", "Error reading data in .FRC file"}, NOTES})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        reset_all();
        body_model(1);
        cfg::IALTFRC = c.ialtfrc;
        screen.str("");
        EXPECT_EQ(rdfrc(c.text), 1);
        auto m = messages();
        if (!c.text.empty() && !m.empty() && m.front() == "H") m.erase(m.begin());
        EXPECT_EQ(m, c.msgs);
    }
}

// Centres of gravity and radii of gyration are bounded by 1e6 x ULEN, as
// the geometry's coordinates are: a length at the limit is taken, one
// beyond it is refused naming the file (a body's own file in the third
// layout), the item, the body and the limit.  Here ULEN = 2.
TEST_F(FrcTest, LengthsBeyondTheLimit) {
    const std::string OPT = "H\n1 0 0 0 0 0 0 0 0\n";
    const std::string GYR = "1 0 0 0 1 0 0 0 1\n";
    struct Case {
        const char* name;
        int nbody, ialtfrc, ialtfrcn;  // layout, and the bodies' layout in their own files
        std::string text, body2;       // the .frc, and the file b2.frc of body 2
        const char* message;           // the line naming the limit; nullptr: accepted
    };
    const Case cases[] = {
        {"layout 1, ZCG at the limit", 1, 1, 1, OPT + "-2e6\n" + GYR + "0\n0\n", "", nullptr},
        {"layout 1, radius of gyration at the limit", 1, 1, 1, OPT + "0\n2e6 0 0 0 1 0 0 0 -2e6\n0\n0\n", "",
         nullptr},
        {"layout 1, ZCG of body 2", 2, 1, 1, OPT + "0\n" + GYR + "-2.1e6\n",
         "", "Error in FRC file run.frc: ZCG beyond 1.E6 x ULEN for body N=2"},
        {"layout 1, radius of gyration of body 2", 2, 1, 1, OPT + "0\n" + GYR + "0\n1 0 0 0 1 0 0 0 -3e6\n", "",
         "Error in FRC file run.frc: radius of gyration XPRDCT beyond 1.E6 x ULEN for body N=2"},
        {"layout 2, XCG at the limit", 1, 2, 1, OPT + "1025\n2e6 -2e6 0\n0\n0\n0\n0\n0\n", "", nullptr},
        {"layout 2, YCG of body 2", 2, 2, 1, OPT + "1025\n0 0 0 0 2.1e6 0\n", "",
         "Error in FRC file run.frc: XCG,YCG,ZCG beyond 1.E6 x ULEN for body N=2"},
        {"layout 3, ZCG in the body's file", 2, 3, 1, OPT + "1025\nb1.frc\nb2.frc\n",
         "B2\n1 0 0 0 0 0 0 0 0\n1e7\n", "Error in FRC file b2.frc: ZCG beyond 1.E6 x ULEN for body N=2"},
        {"layout 3, XCG in the body's file", 2, 3, 2, OPT + "1025\nb1.frc\nb2.frc\n",
         "B2\n1 0 0 0 0 0 0 0 0\n1025\n-1e7 0 0\n",
         "Error in FRC file b2.frc: XCG,YCG,ZCG beyond 1.E6 x ULEN for body N=2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        reset_all();
        body_model(c.nbody);
        model::ULEN.fill(2.0f);
        model::ULENI = 0.5f;
        pnl::VOLB.fill(1.0f);
        cfg::IALTFRC = c.ialtfrc;
        cfg::IALTFRCN.fill(c.ialtfrcn);
        write_file("b1.frc", c.ialtfrcn == 1 ? "B1\n1 0 0 0 0 0 0 0 0\n0\n" + GYR
                                             : "B1\n1 0 0 0 0 0 0 0 0\n1025\n0 0 0\n0\n0\n0\n");
        write_file("b2.frc", c.body2);
        screen.str("");
        const int ierr = rdfrc(c.text);
        auto m = messages();
        if (!m.empty() && m.front() == "H") m.erase(m.begin());
        if (!c.message) {
            EXPECT_EQ(ierr, 0);
            EXPECT_TRUE(m.empty()) << screen.str();
            continue;
        }
        EXPECT_EQ(ierr, 1);
        ASSERT_FALSE(m.empty());
        EXPECT_EQ(m.back(), c.message);
        for (const auto& n : NOTES) EXPECT_EQ(std::count(m.begin(), m.end(), n), 0) << n;
    }
}

TEST_F(FrcTest, LayoutsAndOptions) {
    // Old layout: line 2 holds the layout, the options follow on line 3.
    EXPECT_EQ(rdfrc("Old\n2\n1 0 0 -2 0 0 0 0 0\n6\n1 1 1 0 0 1\n1025\n0 0 -1\n0\n0\n0\n0\n0\n"), 0);
    EXPECT_EQ(cfg::IALTFRC, 2);
    EXPECT_EQ(run::IOPTN[4], 2);  // -2 with a good mode list becomes 2
    EXPECT_EQ(frc::MODE(6), 1);
    EXPECT_EQ(frc::HEADFRC, "Old");
    EXPECT_FLOAT_EQ(frc::RHO, 1025.0f);
    EXPECT_NE(screen.str().find("WARNING: Old FRC format is deprecated, IALTFRC=2"), std::string::npos);
    // IMASS = 0 0 0: no matrix, no gravitational term.
    for (float v : pnl::CHYD) EXPECT_EQ(v, 0.0f);

    reset_all();
    body_model(1);
    EXPECT_EQ(rdfrc("New\n1 0 0 -3 0 0 0 0 0\n6\n1 1 1 1 1 1\n0\n1 0 0 0 1 0 0 0 1\n0\n0\n"), 0);
    EXPECT_EQ(cfg::IALTFRC, 1);
    EXPECT_EQ(run::IOPTN[4], -3);

    // Layout 1 with two bodies: two records each, no density; damping and
    // stiffness stay zero.
    reset_all();
    body_model(2);
    pnl::VOLB.fill(1.0f);
    EXPECT_EQ(rdfrc("Two\n1 0 0 0 0 0 0 0 0\n-0.5\n1 0 0 0 2 0 0 0 3\n-1\n2 0 0 0 2 0 0 0 2\n0\n0\n"), 0);
    EXPECT_FLOAT_EQ(frc::CGBODY(3, 2), -1.0f);
    EXPECT_FLOAT_EQ(frc::EXTMATND(1, 11, 11), 4.0f);  // body 2 pitch: m r|r| = 1*2*2
    EXPECT_FLOAT_EQ(frc::EXTMATND(1, 6, 6), 9.0f);
    for (int i = 1; i <= 12; ++i)
        for (int j = 1; j <= 12; ++j) {
            EXPECT_EQ(frc::EXTMATND(2, i, j), 0.0f);
            EXPECT_EQ(frc::EXTMATND(3, i, j), 0.0f);
        }

    // Haskind headings replace the heading tables.
    reset_all();
    body_model(1);
    EXPECT_EQ(rdfrc("H\n0 1 0 0 0 0 0 0 0\n0\n1 0 0 0 1 0 0 0 1\n3\n0 45 90\n0\n"), 0);
    EXPECT_EQ(frc::NBETAH, 3);
    EXPECT_EQ(model::BETA.extent(1), 3);
    EXPECT_FLOAT_EQ(model::BETA(3), 90.0f);
    EXPECT_EQ(model::SINBETA.extent(1), 3);
}

TEST_F(FrcTest, FieldPointsAndArrays) {
    cfg::ITANKFPT = 1;
    cfg::IFIELD_ARRAYS = 1;
    EXPECT_EQ(rdfrc("H\n0 0 0 0 0 1 0 0 0\n0\n1 0 0 0 1 0 0 0 1\n0\n1\n2 5 6 -7\n1\n3\n2 1.0 0.5\n1 2.0 9\n"
                    "3 -1.0 -0.25\n"),
              0);
    ASSERT_EQ(frc::NFIELD, 7);
    EXPECT_EQ(frc::IFPTANK(1), 2);
    EXPECT_FLOAT_EQ(frc::XFIELD(3, 1), -7.0f);
    // x innermost, then y, then z.
    const float want[6][3] = {{1, 2, -1}, {1.5f, 2, -1}, {1, 2, -1.25f}, {1.5f, 2, -1.25f}, {1, 2, -1.5f},
                              {1.5f, 2, -1.5f}};
    for (int n = 0; n < 6; ++n) {
        for (int k = 0; k < 3; ++k) EXPECT_FLOAT_EQ(frc::XFIELD(k + 1, n + 2), want[n][k]) << n;
        EXPECT_EQ(frc::IFPTANK(n + 2), 3);
    }
}

// Per-body files: the body's layout from the configuration unless the file
// gives an old-layout value; matrices from their own files.
TEST_F(FrcTest, PerBodyFiles) {
    reset_all();
    body_model(2);
    cfg::IALTFRC = 3;
    cfg::IALTFRCN(2) = 2;
    pnl::VOLB.fill(1.0f);
    write_file("b1.frc", "Body one\n1 0 0 0 0 0 0 0 0\n-0.25\n1 0 0 0 1 0 0 0 1\n");
    write_file("b2.frc", "Body two\n1 0 0 0 0 0 0 0 0\n999\n0 0 -0.5\n2\nmass.mat\n0\n0\n");
    std::ostringstream mass;
    mass << "Mass matrix\n";
    for (int j = 1; j <= 6; ++j)
        for (int i = 1; i <= 6; ++i) mass << (i == j ? 2.0 : 0.0) << ' ';
    write_file("mass.mat", mass.str() + "\n");
    ASSERT_EQ(rdfrc("H\n1 0 0 0 0 0 0 0 0\n1000\nb1.frc\nb2.frc\n0\n0\n"), 0) << screen.str();
    EXPECT_EQ(frc::HEADFRCB(2), "Body two");
    EXPECT_EQ(frc::HEADEXT[1], "Mass matrix");
    EXPECT_EQ(frc::FILEEXT[1], "mass.mat");
    EXPECT_EQ(frc::IMASSB(1, 2), 2);
    // Body 2's block sits at modes 7..12: 2 / RHO, the file's density ignored.
    EXPECT_FLOAT_EQ(frc::EXTMAT(1, 9, 9), 2.0f);
    EXPECT_FLOAT_EQ(frc::EXTMATND(1, 9, 9), 2.0f / 1000.0f);
    EXPECT_EQ(frc::EXTMATND(1, 3, 3), 1.0f);  // body 1 from MASSGYR
    // Gravitational term of body 2: C(4,4) -= ZCG m.
    EXPECT_FLOAT_EQ(pnl::CHYD(10, 10), 0.5f * 2.0f / 1000.0f);
}

// The box 2 x 1 with draft 0.5 (volume 1, centre of buoyancy at z = -0.25,
// waterplane 2 x 1) with its centre of gravity at z = -0.25: the restoring
// coefficients in roll and pitch are the waterplane moments B^3 L / 12 =
// 1/6 and B L^3 / 12 = 2/3 (rho = g = 1).  The POTEN stage leaves the
// hydrostatic part C44 = 1/6 + V zb = -1/12 and C55 = 2/3 - 1/4 = 5/12.
TEST_F(FrcTest, BoxRestoringCoefficients) {
    for (int layout : {1, 2}) {
        SCOPED_TRACE(layout);
        reset_all();
        body_model(1);
        pnl::VOLB(1) = 1.0f;
        pnl::XBUOY(3, 1) = -0.25f;
        pnl::CHYD(3, 3) = 2.0f;
        pnl::CHYD(4, 4) = -1.0f / 12.0f;
        pnl::CHYD(5, 5) = 5.0f / 12.0f;
        cfg::IALTFRC = layout;
        if (layout == 1) {
            ASSERT_EQ(rdfrc("Box\n1 0 0 0 0 0 0 0 0\n-0.25\n0.3 0 0 0 0.6 0 0 0 0.6\n0\n0\n"), 0);
            EXPECT_FLOAT_EQ(frc::EXTMATND(1, 3, 3), 1.0f);
            EXPECT_FLOAT_EQ(frc::EXTMATND(1, 5, 5), 0.36f);
            EXPECT_FLOAT_EQ(frc::EXTMATND(1, 1, 5), -0.25f);
            EXPECT_FLOAT_EQ(frc::EXTMATND(1, 5, 1), -0.25f);
        } else {
            // Mass matrix of the body given in the file, density 1.
            ASSERT_EQ(rdfrc("Box\n1 0 0 0 0 0 0 0 0\n1.0\n0 0 -0.25\n1\n1 0 0 0 0 0  0 1 0 0 0 0  0 0 1 0 0 0"
                            "  0 0 0 1 0 0  0 0 0 0 1 0  0 0 0 0 0 1\n0\n0\n0\n0\n"),
                      0);
        }
        EXPECT_NEAR(pnl::CHYD(4, 4), 1.0f / 6.0f, 1e-6f);
        EXPECT_NEAR(pnl::CHYD(5, 5), 2.0f / 3.0f, 1e-6f);
        EXPECT_FLOAT_EQ(pnl::CHYD(3, 3), 2.0f);
    }
}

}  // namespace
}  // namespace zorva::test
