// Extra modes of low-order bodies: the .pre file and the notice of the
// first run, the .mod file read back with its checks, and the mode
// velocities from the sample user routine NEWMODES.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "common/channels.hpp"
#include "geometry/model.hpp"
#include "geometry/modfile.hpp"
#include "main/config.hpp"
#include "main/fnames.hpp"
#include "panels/geom.hpp"
#include "panels/geomdata.hpp"
#include "panels/paneldata.hpp"
#include "tests/support/panelsets.hpp"
#include "tests/support/testdir.hpp"

namespace zorva {
namespace {

using pnl::CHYD;
using test::Body;

class ExtraModesTest : public test::TempDirTest {
protected:
    // The hand-over step of the model input for every body with modes
    // from files; returns IMODFL.
    int model_input() {
        chan::open_scratch(22);
        int imodfl = 0;
        for (int ib = 1; ib <= cfg::NBODY; ++ib)
            if (cfg::NEWMDS(ib) > 0 && cfg::IGENMDS(ib) == 0)
                RDMODF(14, fnames::EXTS, 22, 6, imodfl, cfg::NEWMDS(ib), ib, {model::IS(1, ib), model::IS(2, ib)},
                       model::NPANB(ib), model::NMODT, "05-Mar-2024", "09:07:03");
        return imodfl;
    }
    static std::vector<double> numbers(const std::string& line) {
        std::istringstream in(line);
        std::vector<double> v;
        double x;
        while (in >> x) v.push_back(x);
        return v;
    }
    // A .mod file for the 80-panel box with one generalized mode.
    static std::string mod_file(const std::string& counts = "0 0 80", const std::string& nm = "1",
                                const std::string& isym = "3", int npanels = 80) {
        std::string s = "Extra modes of the box\nwritten for the test\n" + counts + "\n" + nm + "\n" + isym + "\n";
        for (int i = 1; i <= npanels; ++i) s += std::to_string(0.5 * i) + "\n";
        for (int r = 1; r <= 6; ++r) s += "9 9 9 9 9 9 " + std::to_string(10 * r) + "\n";
        s += "1, 2, 3, 4, 5, 6, 7\n";
        return s;
    }
};

TEST_F(ExtraModesTest, FirstRunWritesThePreFileAndStops) {
    Body plain{test::box_panels(2, 1, 0.5, 0.25)}, modes = plain;
    modes.newmds = 1;
    modes.gdfname = "barge.gdf";
    test::setup_run({plain, modes});
    const int imodfl = model_input();
    EXPECT_EQ(imodfl, -1);
    EXPECT_EQ(cfg::NEWMDS(2), -1);
    EXPECT_EQ(fnames::GDFNAME(2), "barge.pre");
    int ierr = 0;
    GEOMSTAT(model::NEQN, imodfl, ierr);
    EXPECT_EQ(ierr, 1);
    const std::string out = screen.str();
    EXPECT_NE(out.find(" PRE file completed for body NBDY=2"), std::string::npos) << out;
    EXPECT_NE(out.find(" POTEN run 1 completed -- now run NORMIX"), std::string::npos) << out;

    chan::close(14);
    auto lines = read_lines("barge.pre");
    ASSERT_EQ(lines.size(), 2u + 160u);
    EXPECT_EQ(lines[0], " NORMIX Input,  Filename: barge.pre               05-Mar-2024  09:07:03");
    EXPECT_EQ(lines[1], "       0       0      80      13");
    // First panel: bottom cell at x in (-1, -0.75), y in (-0.5, -0.25).
    ASSERT_EQ(lines[2].size(), 78u);
    ASSERT_EQ(lines[3].size(), 57u);
    EXPECT_EQ(lines[2].substr(0, 13), " -8.75000E-01");
    const double a[6] = {-0.875, -0.375, -0.5, 0.0625, 0, 0}, b[5] = {1, -0.375, 0.875, 0, 0};
    auto va = numbers(lines[2]), vb = numbers(lines[3]);
    ASSERT_EQ(va.size(), 6u);
    ASSERT_EQ(vb.size(), 5u);
    for (int k = 0; k < 6; ++k) EXPECT_NEAR(va[static_cast<std::size_t>(k)], a[k], 1e-6) << k;
    for (int k = 0; k < 5; ++k) EXPECT_NEAR(vb[static_cast<std::size_t>(k)], b[k], 1e-6) << k;
}

TEST_F(ExtraModesTest, SecondRunReadsTheModFile) {
    Body b{test::box_panels(2, 1, 0.5, 0.25)};
    b.newmds = 1;
    b.gdfname = "box.gdf";
    write_file("box.mod", mod_file());
    test::setup_run({b});
    const int imodfl = model_input();
    EXPECT_EQ(imodfl, 1);
    EXPECT_EQ(fnames::GDFNAME(1), "box.mod");
    EXPECT_NE(screen.str().find(" Input from Extra Mode MOD File:         box.mod\n Extra modes of the box\n"
                                " written for the test\n\n"),
              std::string::npos)
        << screen.str();
    int ierr = 0;
    GEOMSTAT(model::NEQN, imodfl, ierr);
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(model::IMODE(7), 3);
    EXPECT_FLOAT_EQ(pnl::VNMODE(7, 1), 0.5f);
    EXPECT_FLOAT_EQ(pnl::VNMODE(7, 80), 40.0f);
    for (int r = 1; r <= 6; ++r) EXPECT_FLOAT_EQ(CHYD(r, 7), 10.0f * r);
    for (int k = 1; k <= 7; ++k) EXPECT_FLOAT_EQ(CHYD(7, k), static_cast<float>(k));
    EXPECT_NEAR(CHYD(3, 3), 2.0f, 2e-6f);  // the rigid block is finished as usual
}

TEST_F(ExtraModesTest, BadModFilesStopWithTheirMessage) {
    struct Case {
        std::string text, message;
    };
    const Case cases[] = {
        {mod_file("0 0 80", "2"), "Error reading MOD file, NEWMDS line "},
        {mod_file("0 1 80"), "Inconsistent integers in MOD and GDF files "},
        {mod_file("0 0 79"), "Inconsistent integers in MOD and GDF files "},
        {mod_file("0 0 80", "1", "7"), "Error in MOD file, ISYM line: symmetry class not in 0..6, value =7"},
        {mod_file("0 0 80", "1", "-1"), "Error in MOD file, ISYM line: symmetry class not in 0..6, value =    -1"},
        {mod_file("0 0 80", "1", "3", 79).substr(0, mod_file("0 0 80", "1", "3", 79).find("9 9")),
         "Error reading MOD file, modes VEL of panel N=80"},
        {"only one line\n", "Error reading MOD file, header lines of body N=1"},
        {mod_file().substr(0, mod_file().rfind("1, 2")), "Error reading MOD file, matrix C, line =7"},
    };
    for (const Case& c : cases) {
        Body b{test::box_panels(2, 1, 0.5, 0.25)};
        b.newmds = 1;
        b.gdfname = "box.gdf";
        write_file("box.mod", c.text);
        test::setup_run({b});
        screen.str("");
        const int imodfl = model_input();
        int ierr = 0;
        GEOMSTAT(model::NEQN, imodfl, ierr);
        EXPECT_EQ(ierr, 1) << c.message;
        EXPECT_NE(screen.str().find(c.message), std::string::npos) << c.message << "\n" << screen.str();
        chan::reset();
        chan::set_screen(&screen);
    }
}

TEST_F(ExtraModesTest, UserModeEqualToHeaveReproducesC33) {
    write_file("box.nmd", "HEAVE   ! the rigid heave mode\n");
    for (bool quarter : {false, true}) {
        Body b{test::box_panels(2, 1, 0.5, 0.25, quarter)};
        b.newmds = 1;
        b.igenmds = 1;
        b.gdfname = "box.gdf";
        test::setup_run({b}, quarter, quarter);
        model::IMODE(7) = 3;  // the heave symmetry class
        int ierr = -1;
        GEOMSTAT(model::NEQN, 0, ierr);
        EXPECT_EQ(ierr, 0) << screen.str();
        EXPECT_NEAR(CHYD(3, 3), 2.0f, 2e-6f);
        EXPECT_NEAR(CHYD(7, 7), 2.0f, 2e-6f) << quarter;
        EXPECT_NEAR(CHYD(7, 3), 2.0f, 2e-6f) << quarter;
        EXPECT_NEAR(CHYD(3, 7), 2.0f, 2e-6f) << quarter;
        EXPECT_NEAR(CHYD(7, 5), 0.0f, 1e-6f) << quarter;
        for (int i = 1; i <= model::NEQN; ++i) EXPECT_FLOAT_EQ(pnl::VNMODE(7, i), pnl::VNMODE(3, i));
    }
}

TEST_F(ExtraModesTest, FailedUserSetUpEndsTheRun) {
    Body b{test::box_panels(2, 1, 0.5, 0.25)};
    b.newmds = 1;
    b.igenmds = 1;
    b.gdfname = "nofile.gdf";  // the sample routine finds no nofile.nmd
    test::setup_run({b});
    int ierr = 0;
    GEOMSTAT(model::NEQN, 0, ierr);
    EXPECT_NE(ierr, 0);
}

TEST(ModSym, FactorsOfTheSymmetryClasses) {
    EXPECT_EQ(MODSYM(1, 5, 0, 0), 1);
    EXPECT_EQ(MODSYM(2, 3, 0, 0), 1);
    EXPECT_EQ(MODSYM(1, 5, 1, 0), 2);
    EXPECT_EQ(MODSYM(2, 4, 1, 0), 2);
    EXPECT_EQ(MODSYM(1, 2, 1, 0), 0);
    EXPECT_EQ(MODSYM(1, 3, 0, 1), 2);
    EXPECT_EQ(MODSYM(4, 6, 0, 1), 2);
    EXPECT_EQ(MODSYM(1, 2, 0, 1), 0);
    EXPECT_EQ(MODSYM(3, 3, 1, 1), 4);
    EXPECT_EQ(MODSYM(2, 4, 1, 1), 4);
    EXPECT_EQ(MODSYM(1, 5, 1, 1), 4);
    EXPECT_EQ(MODSYM(3, 5, 1, 1), 0);
    EXPECT_EQ(MODSYM(6, 1, 1, 1), 0);
    EXPECT_EQ(MODSYM(0, 3, 0, 0), 0);
    EXPECT_EQ(MODSYM(3, 7, 0, 0), 0);
}

}  // namespace
}  // namespace zorva
