// The FORCE set-up on the .p2f file of a small model: heading counts,
// column order, wavemaker split, kernel file, the report header and the
// hydrostatic matrix file.
#include <gtest/gtest.h>

#include <fstream>
#include <iostream>
#include <filesystem>
#include <regex>

#include "common/channels.hpp"
#include "main/drivers/drivers.hpp"
#include "p2f/forcedata.hpp"
#include "tests/drivers/fixture.hpp"

namespace zorva {
namespace {

using test::DriverTest;
using V = std::vector<std::string>;

class FrcSetupTest : public DriverTest {
protected:
    void fresh() {
        chan::reset();
        chan::set_keyboard(&keyboard);
        chan::set_screen(&screen);
        screen.str("");
        for (const char* f : {"run.out", "run.p2f"}) std::filesystem::remove(f);
        DriverTest::fresh();
    }
    // POTEN of the model of POTFILE and GDF, then the set-up with the force
    // control file FRC.
    int setup(const std::string& cfgtext, const std::string& frc, const std::string& potfile = pot(),
              const std::string& gdf = GDF) {
        config(cfgtext, potfile, gdf);
        write_file("run.frc", frc);
        poten_file();
        screen.str("");
        chan::close(1);
        reset_modules();
        fnames::FILECFG = "run.cfg";  // set by the POTEN stage's file-name step
        chan::open(4, "zorvalog.txt", chan::Status::Replace);
        int ierr = -1;
        FRCSETUP(ierr);
        if (ierr) std::cerr << screen.str();
        return ierr;
    }
};

// Date and time of the banner masked.
V masked(const std::string& file) {
    V v;
    std::ifstream in(file);
    for (std::string l; std::getline(in, l);) v.push_back(l);
    for (auto& l : v) l = std::regex_replace(l, std::regex("\\d\\d-[A-Z][a-z][a-z]-\\d{4} -- \\d\\d:\\d\\d:\\d\\d"),
                                             "<DATE> -- <TIME>");
    return v;
}

// Half (x >= 0) of a flat 2 x 2 square at depth 0.5, held as 4 panels and
// mirrored about x = 0.
const std::string HALF =
    "Half square, four panels\n1.0 9.80665\n1 0\n4\n"
    "0 -1 -0.5  0 -0.5 -0.5  1 -0.5 -0.5  1 -1 -0.5\n"
    "0 -0.5 -0.5  0 0 -0.5  1 0 -0.5  1 -0.5 -0.5\n"
    "0 0 -0.5  0 0.5 -0.5  1 0.5 -0.5  1 0 -0.5\n"
    "0 0.5 -0.5  0 1 -0.5  1 1 -0.5  1 0.5 -0.5\n";
// Potential control file with water depth HBOT and the headings BETA
// (count first), diffraction when IDIFF = 1.
std::string potb(const std::string& beta, const char* hbot = "0.", const char* raddiff = "1 1") {
    return std::string("Test model\n0\n0\n") + hbot + " 0. 0. 0. 0.\n0 0 0\n" + raddiff +
           "\n1 1 1 1 1 1\n2\n10. 5.\n" + beta + "\n";
}

// The same held as four vertical strips in the plane y = 0, x >= 0: every
// volume, the buoyancy centre and the hydrostatic restoring terms are zero,
// so the header shows the gravitational terms alone.
const std::string HALF_V =
    "Half square, four panels\n1.0 9.80665\n1 0\n4\n"
    "0 0 -0.625  1 0 -0.625  1 0 -0.5  0 0 -0.5\n"
    "0 0 -0.75  1 0 -0.75  1 0 -0.625  0 0 -0.625\n"
    "0 0 -0.875  1 0 -0.875  1 0 -0.75  0 0 -0.75\n"
    "0 0 -1  1 0 -1  1 0 -0.875  0 0 -0.875\n";
// One vertical panel in the plane y = 0 (no volume, no restoring terms).
const std::string VERTICAL = "One vertical panel\n1.0 9.80665\n0 0\n1\n-0.5 0 -0.5  0.5 0 -0.5  0.5 0 -1  -0.5 0 -1\n";

const std::string LAYOUT2 = "Header test\n1 0 0 0 0 0 0 0 0\n1025.0\n0.5 0 -1.25\n0\n0\n0\n0\n0\n";

TEST_F(FrcSetupTest, ReportHeader) {
    // Half the body held: 4 panels, 8 reported.
    ASSERT_EQ(setup("IALTFRC=2\n", LAYOUT2, potb("1\n0.", "2.5"), HALF_V), 0);
    chan::close(11);
    std::ifstream golden(test::source_path("tests/data/ophead_golden.out"));
    V want;
    for (std::string l; std::getline(golden, l);) want.push_back(l);
    EXPECT_EQ(masked("run.out"), want);
    // From the gravity line on the screen shows the same lines, but not the
    // run summary before them.
    std::size_t g = 0;
    while (g + 1 < want.size() && want[g].rfind(" Gravity:", 0) != 0) ++g;
    ASSERT_LT(g + 1, want.size());
    EXPECT_NE(screen.str().find(want[g] + "\n" + want[g + 1] + "\n"), std::string::npos);
    EXPECT_EQ(screen.str().find(want[0]), std::string::npos);
}

TEST_F(FrcSetupTest, HydrostaticMatrixFile) {
    // Mass matrix diag(1025) with density 1025 and the centre of gravity
    // (0.5, 0, -1.25): C(4,4) = C(5,5) = 1.25, C(4,6) = 0.5.
    std::string mass;
    for (int j = 1; j <= 6; ++j)
        for (int i = 1; i <= 6; ++i) mass += i == j ? "1025 " : "0 ";
    ASSERT_EQ(setup("IALTFRC=2\nNUMHDR=1\n",
                    "H\n1 0 0 0 0 0 0 0 0\n1025.0\n0.5 0 -1.25\n1\n" + mass + "\n0\n0\n0\n0\n", pot(), VERTICAL),
              0);
    const V hst = read_lines("run.hst");
    ASSERT_EQ(hst.size(), 37u);
    EXPECT_EQ(hst[0], " ZORVA Hydrostatic Matrix C(I,J) -- run.hst               05-Mar-2024  09:07:03");
    EXPECT_EQ(hst[1], "     1     1   0.000000E+00");
    EXPECT_EQ(hst[1 + 3 * 6 + 3], "     4     4   1.250000E+00");
    EXPECT_EQ(hst[1 + 3 * 6 + 5], "     4     6   5.000000E-01");
    EXPECT_EQ(hst[36], "     6     6   0.000000E+00");
    // A body of the second layout gets no inertia block in the run log.
    chan::close(4);
    EXPECT_EQ(read_file("zorvalog.txt").find("Nondimensional inertia matrix"), std::string::npos);
}

TEST_F(FrcSetupTest, HeadingsColumnsAndKernel) {
    // No heading in the POTEN run (so no diffraction problem).
    ASSERT_EQ(setup("", "H\n1 0 0 0 0 0 0 0 0\n0\n1 0 0 0 1 0 0 0 1\n0\n0\n", potb("0", "0.", "1 -1")), 0);
    EXPECT_EQ(frc::NBETA0, 0);
    EXPECT_EQ(frc::NBETAP, 1);
    EXPECT_EQ(frc::NBETAF, 1);
    EXPECT_GE(model::BETA.extent(1), 1);
    EXPECT_EQ(frc::DIFPOT.extent(2), 1);
    // Layout 1: the inertia block is logged.
    chan::close(4);
    EXPECT_NE(read_file("zorvalog.txt").find(" Nondimensional inertia matrix for body N =   1"), std::string::npos);

    // Haskind headings replace the POTEN headings and switch options off.
    fresh();
    ASSERT_EQ(setup("", "H\n1 1 1 0 1 0 0 1 0\n0\n1 0 0 0 1 0 0 0 1\n3\n0 90 180\n0\n"), 0);
    EXPECT_EQ(model::NBETA, 3);
    EXPECT_EQ(frc::NBETAF, 3);
    EXPECT_EQ(frc::NBETAP, 1);
    EXPECT_EQ(run::IOPTN, (std::array<int, 10>{0, 1, 1, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_NEAR(model::SINBETA(2), 1.0f, 1e-6f);
    EXPECT_NEAR(model::COSBETA(3), -1.0f, 1e-6f);

    // Symmetry about x = 0: columns (2 3 4)(1 5 6), listed in mode order;
    // drift pairs of 3 headings.
    fresh();
    ASSERT_EQ(setup("", "H\n0 0 0 0 0 0 0 2 0\n0\n1 0 0 0 1 0 0 0 1\n0\n0\n", potb("3\n0. 45. 90."), HALF), 0);
    EXPECT_EQ(V({std::to_string(frc::MODCOL(1)), std::to_string(frc::MODCOL(2)), std::to_string(frc::MODCOL(6))}),
              V({"4", "1", "6"}));
    EXPECT_EQ(frc::MODNUM(1), 2);
    EXPECT_EQ(frc::NDRIFT, 6);

    // Every column a wavemaker column: options 3 and 8 off, RAO columns at
    // least NMODWM; Haskind headings then not used.
    fresh();
    // A wavemaker body: one panel in the wall plane x = 0, moved by six
    // generalized modes of the user routine (its rigid modes are not solved).
    const std::string WM = "Wavemaker\n1.0 9.80665\n0 0\n1\n0 -0.5 -1  0 0.5 -1  0 0.5 -0.5  0 -0.5 -0.5\n";
    // The six modes, for the user routine's sample: surge each.
    write_file("run.nmd", "SURGE\nSURGE\nSURGE\nSURGE\nSURGE\nSURGE\n");
    ASSERT_EQ(setup("IBODY_WAVEMAKER = 1\nIWALLX0 = 1\nNEWMDS(1) = 6\nIGENMDS(1) = 1\n",
                    "H\n1 0 1 0 0 0 0 1 0\n0\n1 0 0 0 1 0 0 0 1\n4\n0 1 2 3\n0\n", potb("2\n0. 90."), WM),
              0);
    EXPECT_EQ(frc::NMODWM, 6);
    EXPECT_EQ(frc::NMODBD, 0);
    EXPECT_EQ(run::IOPTN[3], 0);
    EXPECT_EQ(run::IOPTN[8], 0);
    EXPECT_EQ(frc::NBETAX, 6);
    EXPECT_EQ(model::NBETA, 2);
    EXPECT_EQ(model::BETA.extent(1), 2);  // the POTEN headings, not the four Haskind ones
    EXPECT_NE(screen.str().find("WARNING: Haskind headings NBETAH not used with wavemaker modes"), std::string::npos);

    // Motions from the Haskind forces: added mass, damping and Haskind
    // forces exist with options 1 and 2 off; no pressure-integration forces.
    fresh();
    ASSERT_EQ(setup("", "H\n0 0 0 1 0 0 0 0 0\n0\n1 0 0 0 1 0 0 0 1\n0\n0\n"), 0);
    EXPECT_TRUE(frc::AMAT.allocated() && frc::BMAT.allocated() && frc::FEXH.allocated());
    EXPECT_FALSE(frc::FEXD.allocated());
    EXPECT_EQ(frc::RAO.extent(2), frc::NBETAX);

    // Option 9 alone in the low-order method: the six centroid-type arrays.
    fresh();
    // ISOR given in the configuration: the file holds no ISOR line.
    ASSERT_EQ(setup("ISOR = 1\n", "H\n0 0 0 0 0 0 0 0 1\n0\n1 0 0 0 1 0 0 0 1\n0\n0\n", pot("0\n"), HALF), 0);
    EXPECT_EQ(frc::NPBOUT, 4);
    EXPECT_EQ(frc::IBPPRS, 1);
    EXPECT_EQ(frc::IBPVEL, 1);
    for (const auto* a : {&frc::PTOTP, &frc::PDIFP, &frc::PRADP, &frc::VTOTP, &frc::VDIFP, &frc::VRADP})
        EXPECT_EQ(a->extent(1), 4);
    EXPECT_TRUE(frc::DRIFTM.allocated());
    EXPECT_FALSE(frc::PTOTB.allocated());

    // A kernel body with options 5, 6, 7 and 9 off: rgkinit.txt is written
    // again from the file, the kernel is not started.
    fresh();
    kernel_body();
    ASSERT_EQ(setup("", "H\n1 0 0 0 0 0 0 0 0\n0\n1 0 0 0 1 0 0 0 1\n0\n0\n"), 0);
    std::filesystem::remove("rgkinit.txt");
    EXPECT_EQ(model::NRGKBODY, 0);
    EXPECT_FALSE(chan::exists("rgklog.txt")) << "the kernel is not started";
}

}  // namespace
}  // namespace zorva
