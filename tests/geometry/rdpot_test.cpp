// Potential control file: the layouts the configuration selects (items left
// out because the configuration gave them, the multi-body list), period and
// heading series, and the messages of bad files.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "tests/geometry/modeltest.hpp"

namespace zorva::test {
namespace {

using namespace model;

constexpr int KIDIAG = 1, KILOG = 3, KIQUAD = 5, KISOR = 10, KIRR = 48;

struct PotCase {
    const char* what;
    std::function<void()> config;  // configuration values and given-flags
    const char* pot;
    int ierr;
    const char* message;           // expected on the screen ("" none)
    std::function<void()> check;
};

void give(int key) { cfg::CFGSET(key) = 1; }

// The values of the file "T / 0 / 0 / 5. 1. 2. 3. 4. / 1 0 1 / 0 -1 /
// 1 0 1 0 1 0 / 1 / 4. / 0" (ISOR, IRR, depth and body position, IQUAD ILOG
// IDIAG, IRAD IDIFF, MODE, one period, no heading), whatever layout or keys
// give them.
void plain_values() {
    EXPECT_EQ(cfg::ISOR, 0);
    EXPECT_EQ(cfg::IRR(1), 0);
    EXPECT_FLOAT_EQ(HBOT, 5.f);
    for (int k = 1; k <= 4; ++k) EXPECT_FLOAT_EQ(cfg::XBODY(k, 1), static_cast<float>(k)) << k;
    EXPECT_EQ(cfg::IQUAD, 1);
    EXPECT_EQ(cfg::ILOG, 0);
    EXPECT_EQ(cfg::IDIAG, 1);
    EXPECT_EQ(IRAD, 0);
    EXPECT_EQ(IDIFF, -1);
    for (int k = 1; k <= 6; ++k) EXPECT_EQ(IMODERB(k), k % 2) << k;
    ASSERT_EQ(NPER, 1);
    EXPECT_FLOAT_EQ(PER(1), 4.f);
    EXPECT_EQ(NBETA, 0);
}

// Configuration values of the switches that plain_values expects.
void plain_switches() {
    cfg::ISOR = 0;
    cfg::IQUAD = 1;
    cfg::ILOG = 0;
    cfg::IDIAG = 1;
}

TEST_F(ModelTest, PotLayouts) {
    const std::vector<PotCase> cases = {
        {"single-body layout, nothing given", [] {},
         "Title line\n1\n0\n100. 1. 2. 3. 30.\n1 0 1\n0 -1\n1 0 1 0 1 0\n-3\n5.0 1.0\n0\n", 0, "",
         [] {
             EXPECT_EQ(POTTITLE, "Title line");
             EXPECT_EQ(cfg::ISOR, 1);
             EXPECT_EQ(cfg::IRR(1), 0);
             EXPECT_FLOAT_EQ(HBOT, 100.f);
             EXPECT_FLOAT_EQ(cfg::XBODY(4, 1), 30.f);
             EXPECT_EQ(cfg::IQUAD, 1);
             EXPECT_EQ(cfg::ILOG, 0);
             EXPECT_EQ(cfg::IDIAG, 1);
             EXPECT_EQ(IRAD, 0);
             EXPECT_EQ(IDIFF, -1);
             EXPECT_EQ(IMODERB(5), 1);
             EXPECT_EQ(IMODERB(6), 0);
             ASSERT_EQ(NPER, 3);
             EXPECT_FLOAT_EQ(PER(3), 7.f);
             EXPECT_EQ(NBETA, 0);
         }},
        {"IQUAD given: item 5 holds ILOG IDIAG",
         [] {
             give(KIQUAD);
             cfg::IQUAD = 1;
         },
         "T\n0\n0\n-1. 0 0 0 0\n1 0\n1 1\n1 1 1 1 1 1\n-1\n6.5 9.\n2\n0. 90.\n", 0, "",
         [] {
             EXPECT_EQ(cfg::IQUAD, 1);
             EXPECT_EQ(cfg::ILOG, 1);
             EXPECT_EQ(cfg::IDIAG, 0);
             ASSERT_EQ(NPER, 1);
             EXPECT_FLOAT_EQ(PER(1), 6.5f);
             ASSERT_EQ(NBETA, 2);
             EXPECT_NEAR(SINBETA(2), 1.0f, 1e-6f);
             EXPECT_NEAR(COSBETA(2), 0.0f, 1e-6f);
         }},
        {"ISOR, IRR, XBODY, IQUAD, ILOG, IDIAG given: items 2, 3, 5 and the body position absent",
         [] {
             for (int k : {KISOR, KIRR, KIQUAD, KILOG, KIDIAG, cfg::KEYXBODY}) give(k);
             cfg::IRR(1) = 1;
             cfg::ILOG = 1;
             cfg::XBODY(1, 1) = 7.f;
         },
         "T\n50. 9 9 9 9\n1 1\n1 1 0 0 0 1\n2\n3. 4.\n-3\n0. 30.\n", 0, "",
         [] {
             EXPECT_FLOAT_EQ(HBOT, 50.f);
             EXPECT_FLOAT_EQ(cfg::XBODY(1, 1), 7.f);  // the configuration's value stands
             EXPECT_EQ(IRAD, 1);
             EXPECT_EQ(IMODERB(6), 1);
             EXPECT_FLOAT_EQ(PER(2), 4.f);
             ASSERT_EQ(NBETA, 3);
             EXPECT_FLOAT_EQ(BETA(3), 60.f);
         }},
        {"multi-body layout (IALTPOT = 2)",
         [] { cfg::IALTPOT = 2; },
         "Two bodies\n0\n0.\n1 1\n1\n5.\n1\n0.\n2\n  a.gdf  more words\n1. 0. 0. 0.\n1 1 1 0 0 0\n0\n"
         "b.gdf\n-1. 2. 0. 90.\n0 0 0 1 1 1\n2\n",
         0, "",
         [] {
             EXPECT_EQ(cfg::NBODY, 2);
             EXPECT_EQ(fnames::GDFNAME(1), "a.gdf");
             EXPECT_EQ(fnames::GDFNAME(2), "b.gdf");
             EXPECT_FLOAT_EQ(cfg::XBODY(2, 2), 2.f);
             EXPECT_FLOAT_EQ(cfg::XBODY(4, 2), 90.f);
             ASSERT_EQ(IMODERB.extent(1), 12);
             EXPECT_EQ(IMODERB(3), 1);
             EXPECT_EQ(IMODERB(4), 0);
             EXPECT_EQ(IMODERB(10), 1);
             EXPECT_EQ(cfg::NEWMDS(1), 0);
             EXPECT_EQ(cfg::NEWMDS(2), 2);
             EXPECT_EQ(NMODT, 12);
             EXPECT_EQ(GDFTITLE.extent(1), 2);
         }},
        {"multi-body layout with one body keeps the one-body arrays",
         [] { cfg::IALTPOT = 2; },
         "One body\n0\n0.\n1 1\n1\n5.\n0\n1\nonly.gdf\n0. 0. 0. 0.\n1 1 1 1 1 1\n0\n", 0, "",
         [] {
             EXPECT_EQ(cfg::NBODY, 1);
             EXPECT_EQ(fnames::GDFNAME(1), "only.gdf");
             EXPECT_EQ(GDFTITLE.extent(1), 1);
             EXPECT_EQ(NMODT, 6);
         }},
        {"IALTPOT = 3: neither single-body items nor a body list",
         [] { cfg::IALTPOT = 3; }, "T\n0\n20.\n1 1\n1\n5.\n0\n", 0, "",
         [] {
             EXPECT_FLOAT_EQ(HBOT, 20.f);
             EXPECT_EQ(NPER, 1);
             EXPECT_EQ(cfg::NBODY, 1);
         }},
        {"ISOR = 2 from the configuration", [] { give(KISOR); cfg::ISOR = 2; }, "T\n", 1,
         " Value of ISOR is illegal in CONFIG file: ISOR=2\n", [] {}},
        {"ISOR = 2 from the file", [] {}, "T\n2\n", 1, " Value of ISOR is illegal in POT file: ISOR=2\n", [] {}},
        {"IRR > 0 with ILOG = 0", [] {}, "T\n0\n1\n0. 0 0 0 0\n0 0 0\n", 1, " Set ILOG = 1, when IRR > 0\n",
         [] {}},
        {"IRAD = 2", [] {}, "T\n0\n0\n0. 0 0 0 0\n0 0 0\n2 1\n", 1,
         " Value of IRAD index is illegal in POT file\n", [] {}},
        {"IDIFF = -2", [] {}, "T\n0\n0\n0. 0 0 0 0\n0 0 0\n1 -2\n", 1,
         " Value of IDIFF index is illegal in POT file\n", [] {}},
        {"periods cut short", [] {}, "T\n0\n0\n0. 0 0 0 0\n0 0 0\n1 1\n1 1 1 1 1 1\n3\n4. 5.\n", 1,
         " Error reading POT file, array of periods PER\n", [] {}},
        {"HBOT line without the body position", [] {}, "T\n0\n0\n0.\n", 1,
         " Error reading POT file, HBOT line\n", [] {}},
        // ISOR or IRR given in the configuration removes its line; a file
        // that still holds it gives no shifted depth and body position.
        {"IRR given, its line removed", [] { give(KIRR); }, "T\n0\n5. 1 2 3 4\n0 0 0\n1 1\n1 1 1 1 1 1\n1\n4.\n0\n", 0,
         "", [] {
             EXPECT_FLOAT_EQ(HBOT, 5.f);
             EXPECT_FLOAT_EQ(cfg::XBODY(4, 1), 4.f);
         }},
        {"IRR given, its line still there", [] { give(KIRR); }, "T\n0\n0\n5. 0 0 0 0\n0 0 0\n", 1,
         " Error reading POT file run.pot, HBOT line: 1 number where HBOT XBODY YBODY ZBODY PHIBODY (5) are "
         "expected; IRR set in the configuration removes its line from the file: if it still holds it, remove that "
         "line from run.pot, or IRR from the configuration\n",
         [] {}},
        // A depth line after blank lines or split over several lines reads
        // as it does without the keys.
        {"ISOR given, its line removed, a blank line before the depth line",
         [] {
             give(KISOR);
             plain_switches();
         },
         "T\n0\n\n5. 1. 2. 3. 4.   HBOT XBODY YBODY ZBODY PHIBODY\n1 0 1\n0 -1\n1 0 1 0 1 0\n1\n4.\n0\n", 0, "",
         plain_values},
        {"IRR given, its line removed, the depth alone on its line", [] { give(KIRR); },
         "T\n0\n5.\n1. 2. 3. 4.\n1 0 1\n0 -1\n1 0 1 0 1 0\n1\n4.\n0\n", 0, "", plain_values},
        {"IRR given, a depth of 0 written as an integer, alone on its line", [] { give(KIRR); },
         "T\n0\n0\n1. 2. 3. 4.\n1 0 1\n0 -1\n1 0 1 0 1 0\n1\n4.\n0\n", 0, "",
         [] {
             EXPECT_FLOAT_EQ(HBOT, 0.f);
             EXPECT_FLOAT_EQ(cfg::XBODY(4, 1), 4.f);
             EXPECT_EQ(IRAD, 0);
         }},
        {"ISOR and IRR given, the depth line split by commas, tabs and blank lines",
         [] {
             give(KISOR);
             give(KIRR);
             plain_switches();
         },
         "T\n\n 5.,\t1.,\n\n\t2. 3.\n4.  depth and body\n1 0 1\n0 -1\n1 0 1 0 1 0\n1\n4.\n0\n", 0, "",
         plain_values},
        {"ISOR and XBODY given, a blank line before the depth alone",
         [] {
             give(KISOR);
             give(cfg::KEYXBODY);
         },
         "T\n0\n\n7.\n1 0 1\n0 -1\n1 0 1 0 1 0\n1\n4.\n0\n", 0, "",
         [] {
             EXPECT_FLOAT_EQ(HBOT, 7.f);
             EXPECT_EQ(cfg::IDIAG, 1);
             EXPECT_EQ(IDIFF, -1);
         }},
        {"multi-body layout, IRR given, a blank line before the depth",
         [] {
             cfg::IALTPOT = 2;
             give(KIRR);
         },
         "T\n\n6.\n0 -1\n1\n4.\n0\n1\na.gdf\n1. 2. 3. 4.\n1 0 1 0 1 0\n0\n", 0, "",
         [] {
             EXPECT_FLOAT_EQ(HBOT, 6.f);
             EXPECT_EQ(IDIFF, -1);
             EXPECT_FLOAT_EQ(cfg::XBODY(4, 1), 4.f);
             EXPECT_EQ(NMODT, 6);
         }},
        // The removed line still there, with its note, after a blank line.
        {"ISOR given, its line and note still there after a blank line",
         [] {
             give(KISOR);
             cfg::ISOR = 0;
         },
         "T\n0   ISOR\n\n0   IRR\n5. 0. 0. 0. 0.   HBOT XBODY YBODY ZBODY PHIBODY\n1 0 1\n", 1,
         " Error reading POT file run.pot, HBOT line: 1 number where HBOT XBODY YBODY ZBODY PHIBODY (5) are "
         "expected; ISOR set in the configuration removes its line from the file: if it still holds it, remove that "
         "line from run.pot, or ISOR from the configuration\n",
         [] {}},
        {"IRR given, its line still there, the depth line split", [] { give(KIRR); },
         "T\n0\n\n0\n5. 0.\n\n0. 0. 0.\n1 0 1\n", 1, " Error reading POT file run.pot, HBOT line: 1 number where",
         [] {}},
        // Switches given for part of the IQUAD ILOG IDIAG line remove their
        // values from it: a line that still holds them is refused.
        {"IQUAD and ILOG given, the line kept whole",
         [] {
             give(KIQUAD);
             give(KILOG);
             cfg::IQUAD = 0;
             cfg::ILOG = 0;
         },
         "T\n0\n0\n5. 0 0 0 0\n0 0 1   IQUAD ILOG IDIAG\n1 1\n1 1 1 1 1 1\n1\n4.\n0\n", 1,
         " Error reading POT file run.pot, IQUAD,ILOG,IDIAG line: 3 numbers where IDIAG (1) is expected; IQUAD and "
         "ILOG set in the configuration remove their values from that line: if it still holds them, remove them "
         "from run.pot, or IQUAD and ILOG from the configuration\n",
         [] {}},
        {"IDIAG given, the line kept whole after a blank line", [] { give(KIDIAG); },
         "T\n0\n0\n5. 0 0 0 0\n\n1\t0,1\n1 1\n1 1 1 1 1 1\n1\n4.\n0\n", 1,
         " Error reading POT file run.pot, IQUAD,ILOG,IDIAG line: 3 numbers where IQUAD ILOG (2) are expected; "
         "IDIAG set in the configuration removes its value from that line: if it still holds it, remove it from "
         "run.pot, or IDIAG from the configuration\n",
         [] {}},
        {"IQUAD, ILOG and IDIAG given, their line still there after a blank line",
         [] {
             for (int k : {KIQUAD, KILOG, KIDIAG}) give(k);
         },
         "T\n0\n0\n5. 0 0 0 0\n\n0 0 0\n1 1\n1 1 1 1 1 1\n1\n4.\n0\n", 1,
         " Error reading POT file run.pot, IRAD,IDIFF line: 3 numbers where IRAD IDIFF (2) are expected; IQUAD, "
         "ILOG and IDIAG set in the configuration remove their line from the file",
         [] {}},
        {"IQUAD, ILOG and IDIAG given, their line still there",
         [] {
             for (int k : {KIQUAD, KILOG, KIDIAG}) give(k);
         },
         "T\n0\n0\n5. 0 0 0 0\n0 0 0   IQUAD ILOG IDIAG\n1 1\n", 1,
         " Error reading POT file run.pot, IRAD,IDIFF line: 3 numbers where IRAD IDIFF (2) are expected; IQUAD, "
         "ILOG and IDIAG set in the configuration remove their line from the file: if it still holds it, remove that "
         "line from run.pot, or IQUAD, ILOG and IDIAG from the configuration\n",
         [] {}},
        {"ISOR and IRR given, both lines still there",
         [] {
             give(KISOR);
             give(KIRR);
         },
         "T\n0\n0\n5. 0 0 0 0\n0 0 0\n", 1,
         " Error reading POT file run.pot, HBOT line: 1 number where HBOT XBODY YBODY ZBODY PHIBODY (5) are "
         "expected; ISOR and IRR set in the configuration remove their lines from the file",
         [] {}},
        {"empty file", [] {}, "", 1, " Error reading POT file, header line\n", [] {}},
        // Counts of a damaged file are refused before anything is
        // allocated for them: no huge allocation, no endless read.
        {"period count beyond any list", [] {}, "T\n0\n0\n0. 0 0 0 0\n0 0 0\n1 1\n1 1 1 1 1 1\n2147483647\n4.\n", 1,
         " Error reading POT file, parameter NPER\n", [] {}},
        {"period series count beyond any list", [] {},
         "T\n0\n0\n0. 0 0 0 0\n0 0 0\n1 1\n1 1 1 1 1 1\n-2147483648\n4. 1.\n", 1,
         " Error reading POT file, parameter NPER\n", [] {}},
        {"heading count beyond any list", [] {},
         "T\n0\n0\n0. 0 0 0 0\n0 0 0\n1 1\n1 1 1 1 1 1\n1\n4.\n-99999999\n0. 1.\n", 1,
         " Error reading POT file, parameter NBETA\n", [] {}},
        {"period series running out of the real range", [] {},
         "T\n0\n0\n0. 0 0 0 0\n0 0 0\n1 1\n1 1 1 1 1 1\n-3\n1e38 3e38\n", 1,
         " Error reading POT file, array of periods PER\n", [] {}},
        {"body count beyond any list", [] { cfg::IALTPOT = 2; }, "T\n0\n0.\n1 1\n0\n0\n99999999\n", 1,
         " Error reading POT file, number of bodies NBODY*****\n", [] {}},
        {"negative NEWMDS of a body", [] { cfg::IALTPOT = 2; },
         "T\n0\n0.\n1 1\n0\n0\n1\na.gdf\n0 0 0 0\n1 1 1 1 1 1\n-1\n", 1,
         " Error reading POT file, NEWMDS for body N=1\n", [] {}},
        {"second body's MODE line missing", [] { cfg::IALTPOT = 2; },
         "T\n0\n0.\n1 1\n0\n0\n2\na.gdf\n0 0 0 0\n1 1 1 1 1 1\n0\nb.gdf\n0 0 0 0\n", 1,
         " Error reading POT file, MODE indices for body N=2\n", [] {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fresh();
        cfg::IRR.allocate(1);
        cfg::XBODY.allocate(4, 1);
        cfg::NEWMDS.allocate(1);
        cfg::IGENMDS.allocate(1);
        GDFTITLE.allocate(1);
        NPANB.allocate(1);
        NWLPANB.allocate(1);
        ULEN.allocate(1);
        c.config();
        fnames::FILEPOT = "run.pot";
        write_file("run.pot", c.pot);
        int ierr = -9;
        RDPOT(12, ierr);
        EXPECT_EQ(ierr, c.ierr) << screen.str();
        if (*c.message) {
            EXPECT_TRUE(said(c.message)) << screen.str();
        }
        if (ierr == 0) c.check();
        EXPECT_FALSE(chan::is_open(12));
    }
}

TEST_F(ModelTest, PotFileMissing) {
    fnames::FILEPOT = "none.pot";
    int ierr = 0;
    RDPOT(12, ierr);
    EXPECT_EQ(ierr, 1);
    EXPECT_TRUE(said(" Error opening POT file \n"));
}

// Global geometry file variants: a body's own file named for the run, and
// the layout with per-body IRAD, IDIFF (IALTPOT = -1).
TEST_F(ModelTest, GlobalGeometryFile) {
    cfg::XBODY.allocate(4, 1);
    cfg::NEWMDS.allocate(1);
    cfg::IGENMDS.allocate(1);
    fnames::GDFNAME(1) = "one.gdf";
    write_file("one.gdf", "A body\n1.0 9.81\n0 0\n0\n");
    int irad = 1, idiff = 0, ierr = -1;
    RDGLBGDF(11, irad, idiff, ierr);
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(cfg::NBODY, 1);
    EXPECT_EQ(fnames::GDFNAME(1), "one.gdf");
    EXPECT_EQ(screen.str(), "");  // no summary line for a body file

    struct Case {
        const char* bodies;  // IRAD IDIFF of the three bodies
        int irad, idiff;
    };
    const Case cases[] = {{"1 1\n", 1, 1}, {"-1 1\n", 0, 1}};
    for (const auto& c : cases) {
        fresh();
        cfg::IALTPOT = -1;
        cfg::NEWMDS.allocate(1);
        cfg::IGENMDS.allocate(1);
        fnames::GDFNAME(1) = "all.gdf";
        write_file("all.gdf", std::string("Global\n0.\n3\na.gdf\n0 0 0 0\n1 1\n0 0 0 0 0 0\nb.gdf\n1 0 0 0\n1 1\n"
                                          "0 0 0 0 0 0\nc.gdf\n2 0 0 0\n") +
                                  c.bodies + "0 1 0 1 0 1\n");
        irad = 0;
        idiff = 0;
        RDGLBGDF(11, irad, idiff, ierr);
        ASSERT_EQ(ierr, 0) << screen.str();
        EXPECT_EQ(irad, c.irad);
        EXPECT_EQ(idiff, c.idiff);
        EXPECT_EQ(cfg::NBODY, 3);
        EXPECT_EQ(NMODT, 18);
        EXPECT_EQ(IMODERB(1), 1);  // body IRAD 1 makes every mode 1
        EXPECT_EQ(IMODERB(13), c.irad == 1 ? 1 : 0);
        EXPECT_EQ(IMODERB(14), c.irad == 1 ? 1 : 0);  // body IRAD -1: every mode 0
        EXPECT_EQ(fnames::GDFNAME(3), "c.gdf");
        EXPECT_FLOAT_EQ(cfg::XBODY(1, 3), 2.f);
        EXPECT_EQ(cfg::NEWMDS.extent(1), 3);
        EXPECT_EQ(FILEGGDF, "all.gdf");
    }

    // A configuration that gives XBODY: no positions in the file.
    fresh();
    cfg::XBODY.allocate(4, 2);
    cfg::CFGSET(cfg::KEYXBODY) = 1;
    fnames::GDFNAME(1) = "all.gdf";
    write_file("all.gdf", "Global\n-1.\n2\na.gdf\n1 1 1 1 1 1\nb.gdf\n0 0 1 0 0 0\n");
    RDGLBGDF(11, irad, idiff, ierr);
    ASSERT_EQ(ierr, 0) << screen.str();
    EXPECT_EQ(IMODERB(9), 1);

    const struct {
        const char* text;
        const char* message;
    } bad[] = {
        {"G\n0.\n0\n", " Value of NBODY in global GDF is illegal:  NBODY=\n"},
        {"G\n0.\n2147483647\na.gdf\n", " Value of NBODY in global GDF is illegal:  NBODY=*****\n"},
        {"G\n0.\nx\n", " Error reading global GDF file:  parameter NBODY \n"},
        {"G\n0.\n1\na.gdf\n0 0 0\n", " Error reading XBODY coordinates in global GDF file for body N=1\n"},
        {"G\n0.\n1\na.gdf\n0 0 0 0\n1 1 1\n", " Error reading array MODE in global GDF file for body N=1\n"},
    };
    for (const auto& b : bad) {
        fresh();
        cfg::NEWMDS.allocate(1);
        cfg::IGENMDS.allocate(1);
        fnames::GDFNAME(1) = "g.gdf";
        write_file("g.gdf", b.text);
        RDGLBGDF(11, irad, idiff, ierr);
        EXPECT_EQ(ierr, 1);
        EXPECT_TRUE(said(b.message)) << screen.str();
        EXPECT_FALSE(chan::is_open(11));
    }
}

// A configuration that gives XBODY for fewer bodies than the global file
// lists stops with a message instead of reading past the positions given.
TEST_F(ModelTest, ConfiguredXbodyShorterThanBodyList) {
    copy_example("twoboxes");
    write_file("twoboxes.cfg", "ILOWHI=0\nXBODY = -2.5 0 0 0\n");
    write_file("twoboxes.gdf", "Two boxes\n0.\n2\nbox.gdf\n1 1 1 1 1 1\nbox.gdf\n1 1 1 1 1 1\n");
    EXPECT_EQ(getip(), 1);
    EXPECT_TRUE(said(" XBODY is not given in the configuration file for body N=2\n")) << screen.str();
}

}  // namespace
}  // namespace zorva::test
