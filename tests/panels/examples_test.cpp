// Panel geometry and hydrostatics of the examples read through the model
// input, and the extra-mode hand-over of a whole POTEN stage.
#include <gtest/gtest.h>

#include <sstream>

#include "main/drivers/drivers.hpp"
#include "panels/geom.hpp"
#include "panels/geomdata.hpp"
#include "panels/paneldata.hpp"
#include "tests/geometry/modeltest.hpp"
#include "tests/support/panelsets.hpp"

namespace zorva::test {
namespace {

using pnl::CHYD;

class ExampleHydroTest : public ModelTest {
protected:
    static float C(int nb, int j, int k) {
        const int m0 = model::IBMOD(nb);
        return CHYD(m0 + j, m0 + k);
    }
    static void append(const std::string& file, const std::string& text) { write_file(file, read_file(file) + text); }
    // A clean state that keeps the working directory's files.
    void fresh_keep_files() {
        chan::reset();
        chan::set_keyboard(&keyboard);
        chan::set_screen(&screen);
        screen.str("");
        model::reset();
        cfg::reset();
        fnames::reset();
    }
};

TEST_F(ExampleHydroTest, BoxesThroughTheReaders) {
    struct Case {
        const char* dir;
        const char* cfg;  // configuration lines added
        const char* pot;  // .pot file of the example, and its IQUAD ILOG IDIAG line then
        int nbody;
        float c44, c55;
    };
    const Case cases[] = {
        {"box", "", "", 1, -0.09375f, 0.40625f},
        {"box", "IQUAD=1\n", "box.pot", 1, -0.0833333f, 0.4166667f},
        {"boxquarter", "", "", 1, -0.09375f, 0.40625f},
        {"boxquarter", "IQUAD=1\n", "boxq.pot", 1, -0.0833333f, 0.4166667f},
        {"twoboxes", "", "", 2, -0.09375f, 0.40625f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.dir) + " " + c.cfg);
        fresh();
        copy_example(c.dir);
        for (const auto& e : std::filesystem::directory_iterator("."))
            if (e.path().extension() == ".cfg") append(e.path().filename().string(), c.cfg);
        if (*c.pot) {
            // IQUAD given in the configuration removes its value from the
            // IQUAD ILOG IDIAG line of the file.
            std::string pot = read_file(c.pot);
            const std::string line = " 0  0  0             IQUAD ILOG IDIAG";
            const std::size_t at = pot.find(line);
            ASSERT_NE(at, std::string::npos) << pot;
            write_file(c.pot, pot.replace(at, line.size(), " 0  0                ILOG IDIAG"));
        }
        ASSERT_EQ(getip(), 0) << screen.str();
        int ierr = -1;
        GEOMSTAT(model::NEQN, IMODFL, ierr);
        ASSERT_EQ(ierr, 0) << screen.str();
        for (int nb = 1; nb <= c.nbody; ++nb) {
            EXPECT_NEAR(pnl::VOLB(nb), 1.0f, 2e-6f);
            EXPECT_NEAR(pnl::XBUOY(3, nb), -0.25f, 1e-6f);
            EXPECT_NEAR(C(nb, 3, 3), 2.0f, 2e-6f);
            EXPECT_NEAR(C(nb, 4, 4), c.c44, 2e-6f);
            EXPECT_NEAR(C(nb, 5, 5), c.c55, 2e-6f);
        }
        EXPECT_EQ(screen.str().find("Warning"), std::string::npos) << screen.str();
    }
}

TEST_F(ExampleHydroTest, HemisphereThroughTheReaders) {
    copy_example("hemisphere");
    ASSERT_EQ(getip(), 0) << screen.str();
    int ierr = -1;
    GEOMSTAT(model::NEQN, IMODFL, ierr);
    ASSERT_EQ(ierr, 0) << screen.str();
    EXPECT_NEAR(pnl::VOLB(1), 1.9632982f, 2e-6f);
    EXPECT_NEAR(C(1, 3, 3), 3.0614674f, 2e-6f);
}

TEST_F(ExampleHydroTest, BoxInShallowerWaterThanItsDraft) {
    copy_example("box");
    set_line("box.pot", 4, " 0.4  0. 0. 0. 0.   HBOT  XBODY YBODY ZBODY PHIBODY");
    ASSERT_EQ(getip(), 0) << screen.str();
    int ierr = 0;
    GEOMSTAT(model::NEQN, IMODFL, ierr);
    EXPECT_EQ(ierr, 1);
    // The refusal names the files and ends the output: no volume follows.
    const std::string refusal = " Error in GDF file box.gdf, body 1, panel 1: centroid below the bottom (depth HBOT = "
                                "0.4 in POT file box.pot)";
    const std::string out = screen.str();
    ASSERT_NE(out.find(refusal), std::string::npos) << out;
    EXPECT_EQ(out.find_first_not_of(" \n", out.find(refusal) + refusal.size()), std::string::npos) << out;
}

// The quarter box, its sides raised to z = 0.25, trimmed through the reader:
// it is first reflected about x = 0 (the pitch breaks that symmetry), then
// sunk, pitched and cut; no vertex stays above the free surface, and the
// panels still pass the checks.  The example's own quarter box, open at
// z = 0, is left open under water by that trim and refused.
TEST_F(ExampleHydroTest, TrimmedQuarterBoxThroughTheReader) {
    copy_example("boxquarter");
    append("boxq.cfg", "ITRIMWL=1\nXTRIM(1)=-0.05 4.0 0.0\n");
    ASSERT_EQ(getip(), 1);
    EXPECT_TRUE(said(" Error in GDF file boxq.gdf, body 1: panel 10 has an open edge")) << screen.str();

    fresh_keep_files();
    PanelSet box = box_panels(2, 1, 0.75, 0.25, true);
    for (auto& q : box)
        for (auto& v : q) v[2] += 0.25;
    write_file("boxq.gdf", gdf_text(box, 1, 1));
    ASSERT_EQ(getip(), 0) << screen.str();
    EXPECT_EQ(model::ISX, 0);
    EXPECT_GT(model::NEQN, 40);
    for (int p = 1; p <= model::NEQN; ++p)
        for (int k = 1; k <= 4; ++k) EXPECT_LE(model::XVER(k, 3, p), 2e-6f) << p;
    int ierr = -1;
    GEOMSTAT(model::NEQN, IMODFL, ierr);
    EXPECT_EQ(ierr, 0) << screen.str();
}

// The first POTEN stage writes the .pre file and stops with the notice; a
// .mod file made from it (the heave mode as the extra mode) lets the second
// stage's geometry step through, with the mode's restoring coefficient
// equal to C33.
TEST_F(ExampleHydroTest, ExtraModeHandOverOverTwoRuns) {
    copy_example("box");
    append("box.cfg", "NEWMDS(1)=1\n");
    int ierr = 0;
    POTENRUN(ierr);
    EXPECT_EQ(ierr, 1);
    EXPECT_TRUE(said(" POTEN run 1 completed -- now run NORMIX")) << screen.str();
    EXPECT_FALSE(said(" POTEN module run completed"));
    chan::reset();
    auto pre = read_lines("box.pre");
    ASSERT_EQ(pre.size(), 2u + 160u);
    EXPECT_EQ(pre[1], "       0       0      80       7");

    std::string mod = "Extra mode of the box: heave\nmade from box.pre\n0 0 80\n1\n3\n";
    for (std::size_t i = 3; i < pre.size(); i += 2) {
        std::istringstream in(pre[i]);
        std::string nz;
        in >> nz;
        mod += nz + "\n";
    }
    for (int r = 1; r <= 6; ++r) mod += "0 0 0 0 0 0 " + std::string(r == 3 ? "2.0" : "0.0") + "\n";
    mod += "0 0 2.0 0 0 0 2.0\n";
    write_file("box.mod", mod);

    // The second stage up to its geometry step.
    fresh_keep_files();
    ASSERT_EQ(getip(), 0) << screen.str();
    EXPECT_EQ(IMODFL, 1);
    EXPECT_TRUE(said(" Input from Extra Mode MOD File:         box.mod")) << screen.str();
    ierr = -1;
    GEOMSTAT(model::NEQN, IMODFL, ierr);
    EXPECT_EQ(ierr, 0) << screen.str();
    EXPECT_EQ(model::IMODE(7), 3);
    EXPECT_FLOAT_EQ(pnl::VNMODE(7, 1), 1.0f);  // a bottom panel: n_z = 1
    EXPECT_NEAR(CHYD(7, 7), 2.0f, 1e-6f);
}

}  // namespace
}  // namespace zorva::test
