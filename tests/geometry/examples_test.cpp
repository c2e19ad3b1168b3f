// The model input on the example inputs of examples/, and on broken copies
// of them.  Expected counts are those of the geometry made by
// tools/mkexamples.py, counted by hand: the box 2 x 1 x 0.5 with panels of
// 0.25 has 8x4 bottom, 2x(8x2) side and 2x(4x2) end panels (80) and 8+8+4+4
// waterline panels (24); its quarter 4x2 + 4x2 + 2x2 panels (20) and 4+2
// waterline panels (6).  The wavenumbers are 4 pi^2 / (g T^2) with
// g = 9.80665 and T = 4, 6, 8 s, computed in double precision.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "tests/geometry/modeltest.hpp"

namespace zorva::test {
namespace {

using namespace model;

struct ExampleCase {
    const char* dir;
    int nbody, neqn, nwlseg, nmodt;
    int isx, isy;
    float hbot;  // after conversion
};

TEST_F(ModelTest, ExamplesGiveTheirCounts) {
    const ExampleCase cases[] = {
        {"box", 1, 80, 24, 6, 0, 0, -1.0f},
        {"boxquarter", 1, 20, 6, 6, 1, 1, -1.0f},
        {"twoboxes", 2, 160, 48, 12, 0, 0, -1.0f},
        {"hemisphere", 1, 64, 16, 6, 0, 0, 5.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dir);
        fresh();
        copy_example(c.dir);
        ASSERT_EQ(getip(), 0) << screen.str();
        EXPECT_EQ(cfg::NBODY, c.nbody);
        ASSERT_EQ(NEQN, c.neqn);
        ASSERT_EQ(NWLSEG, c.nwlseg);
        EXPECT_EQ(NMODT, c.nmodt);
        EXPECT_EQ(ISX, c.isx);
        EXPECT_EQ(ISY, c.isy);
        EXPECT_FLOAT_EQ(HBOT, c.hbot);
        ASSERT_EQ(IBMOD.extent(1), c.nbody);
        for (int ib = 1; ib <= c.nbody; ++ib) EXPECT_EQ(IBMOD(ib), 6 * (ib - 1));
        for (int m = 1; m <= NMODT; ++m) EXPECT_EQ(IMODE(m), (m - 1) % 6 + 1);  // every mode solved
        ASSERT_EQ(NPER, 3);
        const double T[3] = {4.0, 6.0, 8.0};
        for (int i = 1; i <= 3; ++i) {
            const double nu = 4.0 * M_PI * M_PI / (9.80665 * T[i - 1] * T[i - 1]);
            EXPECT_NEAR(WNUMNU(i), nu, 2e-7 * nu);
            EXPECT_EQ(IPERFL(i), 0);
        }
        EXPECT_NEAR(WNUMNU(1), 0.2516049, 1e-7);
        EXPECT_NEAR(WNUMNU(2), 0.1118244, 1e-7);
        EXPECT_NEAR(WNUMNU(3), 0.06290123, 1e-8);
        ASSERT_EQ(NBETA, 2);
        EXPECT_NEAR(SINBETA(2), std::sqrt(0.5), 1e-6);
        EXPECT_EQ(NBETAX, 2);
        EXPECT_EQ(IMODFL, 0);
        EXPECT_EQ(IRAD, 1);
        EXPECT_EQ(IDIFF, 1);
        // Every waterline segment is a side with both ends at z = 0.
        int s = 0, f = 1;
        for (int ib = 1; ib <= cfg::NBODY; ++ib) {
            for (int j = 1; j <= NWLPANB(ib); ++j) {
                ++s;
                const int p = f + IWLPAN(s) - 1, k = IWLSIDE(s), k2 = k % 4 + 1;
                EXPECT_NEAR(XVER(k, 3, p), 0.0f, 1e-6f);
                EXPECT_NEAR(XVER(k2, 3, p), 0.0f, 1e-6f);
            }
            f += NPANB(ib);
        }
        EXPECT_EQ(s, NWLSEG);
    }
}

TEST_F(ModelTest, TwoBoxesComeFromTheGlobalFile) {
    copy_example("twoboxes");
    ASSERT_EQ(getip(), 0) << screen.str();
    EXPECT_EQ(FILEGGDF, "twoboxes.gdf");
    EXPECT_EQ(fnames::GDFNAME(2), "box.gdf");
    EXPECT_FLOAT_EQ(cfg::XBODY(1, 1), -2.5f);
    EXPECT_FLOAT_EQ(cfg::XBODY(1, 2), 2.5f);
    ASSERT_EQ(NPANB(1), 80);
    ASSERT_EQ(NPANB(2), 80);
    EXPECT_EQ(NWLPANB(2), 24);
    // The body files hold body coordinates: both bodies have the same panels.
    EXPECT_EQ(XVER(3, 1, 7), XVER(3, 1, 87));
    EXPECT_TRUE(said(" NBODY data from Global GDF    :         twoboxes.gdf"));
    EXPECT_TRUE(said("                               N=  2     box.gdf"));
}

TEST_F(ModelTest, RunSummaryHead) {
    copy_example("box");
    ASSERT_EQ(getip(), 0) << screen.str();
    ASSERT_EQ(chan::rewind(22), 0);
    std::string all, line;
    while (chan::read_line(22, line) == 0) all += line + "\n";
    EXPECT_EQ(all,
              " Low-order panel method  (ILOWHI=0)\n\n"
              " Input from Geometric Data File:         box.gdf\n"
              " Box 2 x 1 x 0.5, panels 0.25\n\n"
              " Input from Potential Control File:      box.pot\n"
              " Box 2 x 1 x 0.5, infinite depth\n\n\n"
              " POTEN run date and starting time:        05-Mar-2024  --  09:07:03\n"
              "    Period       Time           RAD      DIFF  (max iterations)\n");
}

// The box with IRR = 2: the 32 bottom panels are projected onto z = 0, in
// reversed vertex order; the vertical panels are not.
TEST_F(ModelTest, Irr2BoxAddsProjectedBottom) {
    copy_example("box");
    write_file("box.cfg", "ILOWHI=0\nIRR=2\nILOG=1\n");
    // IRR and ILOG are given: the .pot lacks item 3 and ILOG on item 5.
    write_file("box.pot",
               "Box, IRR=2\n0\n0. 0. 0. 0. 0.\n0 0\n1 1\n1 1 1 1 1 1\n3\n4. 6. 8.\n2\n0. 45.\n");
    ASSERT_EQ(getip(), 0) << screen.str();
    ASSERT_EQ(NEQN, 112);
    ASSERT_EQ(NPANB(1), 112);
    EXPECT_EQ(NWLSEG, 24);  // projected panels are no waterline panels
    for (int i = 1; i <= 32; ++i) {
        const int p = 80 + i;
        for (int k = 1; k <= 4; ++k) {
            EXPECT_EQ(XVER(k, 3, p), 0.0f);
            EXPECT_EQ(XVER(k, 1, p), XVER(5 - k, 1, i));
            EXPECT_EQ(XVER(k, 2, p), XVER(5 - k, 2, i));
        }
    }
}

// IRR = 3: the waterline segments that bound the interior free surface are
// listed (all 24 of the box: no tank or dipole panels) before the interior
// free-surface panels are added behind the body's own.
TEST_F(ModelTest, Irr3BoxListsWaterlineSegments) {
    copy_example("box");
    write_file("box.cfg", "ILOWHI=0\nIRR=3\nILOG=1\n");
    write_file("box.pot",
               "Box, IRR=3\n0\n0. 0. 0. 0. 0.\n0 0\n1 1\n1 1 1 1 1 1\n3\n4. 6. 8.\n2\n0. 45.\n");
    ASSERT_EQ(getip(), 0) << screen.str();
    EXPECT_GT(NEQN, 80);
    EXPECT_EQ(NWTLD, 24);
    EXPECT_EQ(ZWTLD(1), 24);
    for (int k = 1; k <= NWTLD; ++k) {
        const int p = XWTLD(k), s = YWTLD(k);
        EXPECT_EQ(XVER(s, 3, p), 0.0f);
        EXPECT_EQ(XVER(s % 4 + 1, 3, p), 0.0f);
    }
}

struct BadCase {
    const char* what;
    const char* file;      // file to change
    int line;              // line to replace (0: append `text`)
    const char* text;
    const char* message;   // exact message expected on the screen
};

TEST_F(ModelTest, BadInputStopsWithItsMessage) {
    // Panel 34 is line 4 + 34 of box.gdf; its first vertex is raised to z = 0.1.
    const std::string raised =
        " -1.000000   0.500000   0.100000  -0.750000   0.500000   0.000000  -0.750000   0.500000  -0.250000  "
        "-1.000000   0.500000  -0.250000";
    const BadCase cases[] = {
        {"vertex above the free surface", "box.gdf", 38, raised.c_str(),
         " Error in GDF file: vertex above free surface for panel N=34\n"},
        {"extra data after the last panel", "box.gdf", 0, "the end",
         " Error in GDF file: extra data at end of file for body N=1\n"},
        {"IRAD = 2", "box.pot", 6, " 2  1", " Value of IRAD index is illegal in POT file\n"},
        {"missing geometry file", "fnames.zrv", 3, "nobox.gdf", " Error opening GDF file \n"},
        {"truncated panel record", "box.gdf", 84, " 1.0 0.5 -0.5  1.0 0.5", 
         " Error reading GDF file, vertices XVER of panel N=80\n"},
        // Counts beyond any list: refused before the panel arrays grow.
        {"panel count beyond any list", "box.gdf", 4, "  2147483647",
         " Error reading NPAN or NPANC from GDF for body N=1\n"},
        {"dipole panel count beyond any list", "box.gdf", 0, "999999999",
         " Error reading GDF file, dipole panels on body N=1\n"},
        {"zero gravity", "box.gdf", 2, " 1.0 0.0", " Error in value of GRAV in GDF for body N=1\n"},
        {"period too long for its wavenumber", "box.pot", 9, " 4.  1.e30  8.",
         " Error in POT file box.pot: wave period out of range, period number 2: period 1e+30 s beyond the limit "
         "99999 s, set by the longest period the run summary prints (99999 s)\n"},
        {"tank range past the panel count", "box.cfg", 0, "NPTANK = (1 81)",
         " Error: NPTANK or NPDIPOL range outside the panels of body 1\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fresh();
        copy_example("box");
        {
            if (c.line == 0) {
                write_file(c.file, read_file(c.file) + c.text + "\n");
            } else if (std::string(c.what) == "truncated panel record") {
                auto lines = read_lines(c.file);
                lines.resize(static_cast<std::size_t>(c.line));
                lines.back() = c.text;
                std::string all;
                for (const auto& l : lines) all += l + "\n";
                write_file(c.file, all);
            } else {
                set_line(c.file, c.line, c.text);
            }
            EXPECT_EQ(getip(), 1);
            EXPECT_TRUE(said(c.message)) << screen.str();
        }
    }
}

// A body file of a global file that ends after its title, or after its
// length scale: the first pass names the body and the item.
TEST_F(ModelTest, BodyFileHeaderReadFailures) {
    const char* files[] = {"Title only\n", "Title\n 1.0  9.80665\n"};
    const char* msgs[] = {" Error reading GDF file, ULEN,GRAV line for body N=1\n",
                          " Error reading ISX,ISY from GDF for body N=1\n"};
    for (int i = 0; i < 2; ++i) {
        fresh();
        copy_example("twoboxes");
        write_file("box.gdf", files[i]);
        EXPECT_EQ(getip(), 1);
        EXPECT_TRUE(said(msgs[i])) << screen.str();
    }
}

}  // namespace
}  // namespace zorva::test
