// Numeric output files: selection, names, header lines, the field-point
// list, refused name clashes, creation and write failures; the
// modulus-and-phase form.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>

#include "common/fmtwrite.hpp"
#include "common/messages.hpp"
#include "tests/force/forcefix.hpp"

namespace zorva {
namespace {

using test::ForceTest;

TEST(ModPha, ModulusPhaseAndRoundedPhase) {
    struct Case {
        cplx x;
        float mod, pha;
        int ipha;
    };
    const Case cases[] = {
        {{3e-12f, -1.0f}, 1.0f, -90.0f, -90},  // real part below 5e-12: +-90
        {{0.0f, 0.0f}, 0.0f, 90.0f, 90},       // zero: +90
        {{-4e-12f, 2.0f}, 2.0f, 90.0f, 90},
        {{3.0f, 4.0f}, 5.0f, 53.130102f, 53},
        {{-1.0f, 0.0f}, 1.0f, 180.0f, 180},
        {{-1.0f, 0.00698126f}, 1.0000244f, 179.6f, 180},    // 179.6 -> 180
        {{-1.0f, -0.00698126f}, 1.0000244f, -179.6f, -180},
        {{1.0f, -0.01047259f}, 1.0000548f, -0.6f, -1},       // -0.6 -> -1
        {{1.0f, 0.00698126f}, 1.0000244f, 0.4f, 0},
    };
    for (const auto& c : cases) {
        float m, p, xr, xi;
        int ip;
        MODPHA(c.x, m, p, xr, xi, ip);
        EXPECT_NEAR(m, c.mod, 1e-5f * c.mod + 1e-12f);
        EXPECT_NEAR(p, c.pha, 2e-4f);
        EXPECT_EQ(ip, c.ipha) << c.pha;
        EXPECT_EQ(xr, c.x.real());
        EXPECT_EQ(xi, c.x.imag());
    }
    // A value that is not a number has no phase: the rounded phase is 0.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (cplx x : {cplx(nan, 1.0f), cplx(1.0f, nan), cplx(nan, nan)}) {
        float m, p, xr, xi;
        int ip = -1;
        MODPHA(x, m, p, xr, xi, ip);
        EXPECT_TRUE(std::isnan(m));
        EXPECT_EQ(ip, 0);
    }
}

class NumOut : public ForceTest {
protected:
    void SetUp() override {
        ForceTest::SetUp();
        fnames::FILEOUT = "run1.out";
    }
    static void opts(std::array<int, 10> o) { run::IOPTN = o; }
    static std::vector<std::string> made() {
        std::vector<std::string> out;
        for (const auto& e : std::filesystem::directory_iterator("."))
            if (e.path().filename().string().rfind("run1.", 0) == 0 || e.path().filename().string().rfind("optn.", 0) == 0)
                out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }
};

TEST_F(NumOut, SelectionAndNames) {
    using V = std::vector<std::string>;
    struct Case {
        const char* name;
        std::array<int, 10> ioptn;
        int numnam, ictrsurf;
        V files;
    };
    const std::vector<Case> cases = {
        {"run name", {0, 1, 0, 0, 1, 0, 0, 0, 1, 0}, 0, 0, {"run1.1", "run1.4", "run1.8"}},
        {"table names", {0, 1, 0, 0, 1, 0, 0, 0, 1, 0}, 1, 0, {"optn.1", "optn.4", "optn.8"}},
        {"option 1 = 2 makes nothing", {0, 2, 1, 1, 2, 0, 0, 0, 2, 0}, 0, 0, {"run1.2", "run1.3", "run1.4", "run1.8"}},
        {"body pressure only", {0, 0, 0, 0, 0, 1, 0, 0, 0, 0}, 0, 0, {"run1.5p"}},
        {"body velocity only", {0, 0, 0, 0, 0, 2, 0, 0, 0, 0}, 0, 0, {"run1.5vx", "run1.5vy", "run1.5vz"}},
        {"field pressure 2: no point list", {0, 0, 0, 0, 0, 0, 2, 0, 0, 0}, 0, 0, {"run1.6"}},
        {"field velocity: point list", {0, 0, 0, 0, 0, 0, 0, 1, 0, 0}, 0, 0, {"run1.7x", "run1.7y", "run1.7z", "run1.fpt"}},
        {"no control surface: no 9c", {0, 0, 0, 0, 0, 0, 0, 0, 0, 1}, 0, 0, {"run1.9"}},
        {"control surface", {0, 0, 0, 0, 0, 0, 0, 0, 0, 2}, 0, 1, {"run1.9", "run1.9c"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (const auto& f : made()) std::filesystem::remove(f);
        run::reset();
        fnames::FILEOUT = "run1.out";
        opts(c.ioptn);
        cfg::NUMNAM = c.numnam;
        cfg::ICTRSURF = c.ictrsurf;
        int ierr = -1;
        OPNUMOUT(ierr);
        EXPECT_EQ(ierr, 0);
        EXPECT_EQ(made(), c.files);
    }
    cfg::ICTRSURF = 0;
}

TEST_F(NumOut, HeaderAndFieldPointList) {
    opts({0, 1, 0, 0, 0, 0, 1, 0, 0, 0});
    frc::NFIELD = 2;
    frc::XFIELD.allocate(3, 2);
    const float xf[6] = {1.5f, -2.0f, -3.25f, 10.0f, 0.0f, -0.5f};
    std::copy(xf, xf + 6, frc::XFIELD.data());
    cfg::NUMHDR = 1;
    int ierr = 0;
    OPNUMOUT(ierr);
    ASSERT_EQ(ierr, 0);
    EXPECT_EQ(read_lines("run1.1"),
              std::vector<std::string>({" ZORVA Numeric Output -- Filename  run1.1                05-Mar-2024  09:07:03"}));
    EXPECT_EQ(read_lines("run1.fpt"),
              std::vector<std::string>({" ZORVA Numeric Output -- Filename  run1.fpt              05-Mar-2024  09:07:03",
                                        "         1  0.150000E+01 -0.200000E+01 -0.325000E+01",
                                        "         2  0.100000E+02  0.000000E+00 -0.500000E+00"}));
    // Without the header switch the files start empty.
    cfg::NUMHDR = 0;
    run::reset();
    opts({0, 1, 0, 0, 0, 0, 0, 0, 0, 0});
    OPNUMOUT(ierr);
    EXPECT_EQ(read_file("run1.1"), "");
}

TEST_F(NumOut, RunSummaryOfTheCoefficientFile) {
    test::ForceTest::model1({{{0.0f, 0.0f, -1.0f}, {0.0f, 0.0f, -1.0f}, 1.0f}}, {0.0f, 45.0f}, 8.0f, 0.06f,
                            {0, 0, 0, 0, 0, 1, 0, 0, 0, 0});
    fnames::FILEOUT = "run1.out";
    frc::NBETA0 = 2;
    cfg::ILOWHI = 1;
    model::NPATCHT = 1;
    for (auto* a : {&model::KU, &model::KV, &model::NU, &model::NV, &model::IBPTH, &model::IFSPAT}) a->allocate(1);
    model::KU(1) = 3;
    model::KV(1) = 2;
    model::NU(1) = 4;
    model::NV(1) = 5;
    model::IBPTH(1) = 1;
    model::IFSPAT(1) = 0;
    model::IBMOD.allocate(1);
    model::IBMOD(1) = 0;
    model::ULEN.allocate(1);
    model::ULEN(1) = 2.5f;
    cfg::XBODY.allocate(4, 1);
    cfg::XBODY.fill(0.0f);
    model::CSPHIB.allocate(2, 1);
    model::CSPHIB(1, 1) = 1.0f;
    model::CSPHIB(2, 1) = 0.0f;
    int ierr = 0;
    OPNUMOUT(ierr);
    ASSERT_EQ(ierr, 0);
    const auto rec = read_lines("run1.5pb");
    // Header (always), then 22 records.
    ASSERT_EQ(rec.size(), 23u);
    EXPECT_EQ(rec[0], " ZORVA Numeric Output -- Filename  run1.5pb              05-Mar-2024  09:07:03");
    EXPECT_EQ(rec[1], "           0           0");
    EXPECT_EQ(rec[2], "  2.50000000E+00");
    EXPECT_EQ(rec[17], "           3           2           4           5");
    EXPECT_EQ(rec[22], "  0.00000000E+00  4.50000000E+01");
    EXPECT_EQ(fmt::list({cplx(1.0f, -2.0f)}), " (1.00000000E+00,-2.00000000E+00)");
}

TEST_F(NumOut, SecondRunOverwritesOnlyItsFiles) {
    write_file("run1.1", "old\n");
    write_file("run1.2", "old\n");
    opts({0, 1, 0, 0, 0, 0, 0, 0, 0, 0});
    int ierr = 0;
    OPNUMOUT(ierr);
    EXPECT_EQ(read_file("run1.1"), "");
    EXPECT_EQ(read_file("run1.2"), "old\n");
}

TEST_F(NumOut, LongReportNamesThatWouldShareAFileAreRefused) {
    struct Case {
        const char* out;
        std::array<int, 10> ioptn;
        int ierr;
    };
    const Case cases[] = {
        {"abcdefghijklmnopqrstu.out", {0, 1, 1, 0, 0, 0, 0, 0, 0, 0}, 1},  // both cut to 20 characters
        {"abcdefghijklmnopq.out", {0, 1, 1, 0, 0, 0, 0, 0, 0, 0}, 0},      // .1 and .2 still fit
        {"abcdefghijklmnopq.out", {0, 0, 0, 0, 0, 2, 0, 0, 0, 0}, 1},      // .5vx, .5vy, .5vz cut to .5v
        {"abcdefghijklmnopq.out", {0, 0, 0, 0, 0, 2, 0, 0, 0, 0}, 0},      // table names
        {"abcdefghijklmnopq.4", {0, 0, 0, 0, 1, 0, 0, 0, 0, 0}, 1},        // the report's own name
    };
    int k = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.out);
        run::reset();
        fnames::FILEOUT = c.out;
        opts(c.ioptn);
        cfg::NUMNAM = ++k == 4 ? 1 : 0;
        screen.str("");
        int ierr = 0;
        OPNUMOUT(ierr);
        EXPECT_EQ(ierr, c.ierr);
        if (c.ierr == 1) {
            EXPECT_TRUE(screen.str().find("numeric output files would share the name") != std::string::npos ||
                        screen.str().find("Numeric output file would overwrite the report abcdefghijklmnopq.4") !=
                            std::string::npos);
            EXPECT_FALSE(chan::exists("abcdefghijklmnopqrst"));
            EXPECT_FALSE(chan::exists("abcdefghijklmnopq.5v"));
        }
    }
}

TEST_F(NumOut, CreationFailureStopsAtThatFile) {
    std::filesystem::create_directory("run1.4");
    opts({0, 1, 0, 0, 1, 0, 0, 0, 1, 0});
    int ierr = 0;
    OPNUMOUT(ierr);
    EXPECT_EQ(ierr, 1);
    EXPECT_TRUE(chan::exists("run1.1"));
    EXPECT_FALSE(chan::exists("run1.8"));
    EXPECT_NE(screen.str().find(" Error opening numeric output file UNIT=28"), std::string::npos);
}

TEST_F(NumOut, WriterFailuresStopWithAMessage) {
    test::ForceTest::model1({{{0.0f, 0.0f, -1.0f}, {0.0f, 0.0f, -1.0f}, 1.0f}}, {0.0f}, 8.0f, 0.06f,
                            {0, 1, 0, 0, 0, 0, 0, 0, 0, 0});
    ASSERT_EQ(chan::open(11, "run1.out", chan::Status::Replace), 0);
    // The numeric file has gone: the re-open fails.
    int ierr = 0;
    OUTADMS(frc::AMAT, frc::BMAT, 8.0f, 11, 1, 25, "run1.1", 0, ierr);
    EXPECT_EQ(ierr, 1);
    EXPECT_NE(screen.str().find(" Error opening numeric output file run1.1, UNIT=25"), std::string::npos);
    // A file whose writes fail.
    if (chan::exists("/dev/full")) {
        std::filesystem::create_symlink("/dev/full", "run1.1");
        ierr = 0;
        OUTADMS(frc::AMAT, frc::BMAT, 8.0f, 11, 1, 25, "run1.1", 0, ierr);
        EXPECT_EQ(ierr, 1);
        EXPECT_NE(screen.str().find(" Error writing output file run1.1, UNIT=25"), std::string::npos);
    }
}

}  // namespace
}  // namespace zorva
