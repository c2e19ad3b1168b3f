// The body and field writers' own rules: report and screen copies, the
// symmetric halves with their mirrored coordinates, panels left out, the
// separate radiation and diffraction records with their continuation
// lines, the body-point form, the blank lines of the velocity section and
// the wavemaker layout of the field pressure.
#include <gtest/gtest.h>

#include <algorithm>

#include "force/bodyprs.hpp"
#include "force/fieldpt.hpp"
#include "tests/force/forcefix.hpp"

namespace zorva {
namespace {

using test::ForceTest;

class WriterTest : public ForceTest {
public:
    // Two panels of a half body (plane y = 0), seven solution columns, one
    // heading of -22.5 degrees; panel 2 is flagged out of the surface.
    void half() {
        model1({{{1.5f, 2.0f, -0.5f}, {0, 0, -1}, 1.0f}, {{0.5f, 1.0f, -0.5f}, {0, 0, -1}, 1.0f}}, {-22.5f}, 8.0f,
               0.0629f, {0, 0, 0, 0, 0, 3, 0, 0, 0, 0});
        model::ULEN.allocate(1);
        model::ULEN(1) = 2.0f;
        sym::NSYMF = 2;
        sym::ISYMF[1] = 1;
        sym::ISYMF[2] = 4;
        sym::NSOLC = 7;
        frc::MODCOL.allocate(7);
        for (int m = 1; m <= 7; ++m) frc::MODCOL(m) = m;
        pnl::IPFLAG.allocate(2);
        pnl::IPFLAG(1) = 0;
        pnl::IPFLAG(2) = -1;
        using namespace frc;
        NPBOUT = 2;
        PRADP.allocate(2, 7, 2);
        PDIFP.allocate(2, 1, 2);
        PTOTP.allocate(2, 1, 2);
        for (int q = 1; q <= 7; ++q) {
            PRADP(1, q, 1) = cplx(static_cast<float>(q), 0.0f);
            PRADP(1, q, 2) = cplx(0.0f, static_cast<float>(q));
        }
        PDIFP(1, 1, 1) = {0.5f, -0.25f};
        PDIFP(1, 1, 2) = {0.25f, 0.5f};
        PTOTP(1, 1, 1) = {1.0f, 0.0f};
        PTOTP(1, 1, 2) = {0.0f, -2.0f};
        VRADP.allocate(2, 3, 14);
        VRADP.fill(cplx{});
        VDIFP.allocate(2, 3, 2);
        VDIFP.fill(cplx{});
        VTOTP.allocate(2, 3, 2);
        VTOTP.fill(cplx{});
        VTOTP(1, 2, 2) = {1.0f, 0.0f};
        VTOTP(1, 3, 2) = {0.0f, -2.0f};
        for (const char* f : {"t.5p", "t.5vx", "t.5vy", "t.5vz"}) write_file(f, "");
    }
    static void run_prs(int noout) {
        int ierr = 0;
        OUTBPRS(8.0f, 11, noout, 29, "t.5p", ierr);
        ASSERT_EQ(ierr, 0);
    }
    static void run_vel(int noout) {
        const int iu[3] = {36, 37, 38};
        const std::string nm[3] = {"t.5vx", "t.5vy", "t.5vz"};
        int ierr = 0;
        OUTBVEL(8.0f, 11, noout, iu, nm, ierr);
        ASSERT_EQ(ierr, 0);
    }
    std::vector<std::string> screen_lines() {
        std::vector<std::string> out;
        std::istringstream in(screen.str());
        for (std::string l; std::getline(in, l);) out.push_back(l);
        return out;
    }
};

TEST_F(WriterTest, PressureOfAHalfBodyWithSeparateRecords) {
    half();
    cfg::INUMOPT5 = 1;
    ASSERT_EQ(chan::open(11, "t.out", chan::Status::Replace), 0);
    run_prs(1);
    chan::close(11);
    const auto rep = read_lines("t.out");
    EXPECT_TRUE(screen.str().empty());
    // Radiation records per copy of the one listed panel, then the
    // diffraction record per copy; panel 2 is left out everywhere.
    const std::vector<std::string> num = read_lines("t.5p");
    const std::vector<std::string> want = {
        "  0.800000E+01  1         1  1.000000E+00  0.000000E+00  2.000000E+00  0.000000E+00  3.000000E+00  "
        "0.000000E+00  4.000000E+00  0.000000E+00  5.000000E+00  0.000000E+00  6.000000E+00  0.000000E+00",
        "                         7.000000E+00  0.000000E+00",
        "  0.800000E+01  2         1  0.000000E+00  1.000000E+00  0.000000E+00  2.000000E+00  0.000000E+00  "
        "3.000000E+00  0.000000E+00  4.000000E+00  0.000000E+00  5.000000E+00  0.000000E+00  6.000000E+00",
        "                         0.000000E+00  7.000000E+00",
        "  0.800000E+01 -0.225000E+02  1         1  5.000000E-01 -2.500000E-01",
        "  0.800000E+01 -0.225000E+02  2         1  2.500000E-01  5.000000E-01",
    };
    EXPECT_EQ(num, want);
    const std::vector<std::string> head = {"", "", " HYDRODYNAMIC PRESSURE AT CENTROIDS OF INPUT PANELS", "",
                                           "  Wave Heading (deg) :    -23", "", "",
                                           "   Hydrodynamic pressure in half     No. 1"};
    ASSERT_GE(rep.size(), head.size());
    EXPECT_EQ(std::vector<std::string>(rep.begin(), rep.begin() + 8), head);
    // The second half mirrors y; the pressure (0, -2) has phase -90.
    EXPECT_NE(std::find(rep.begin(), rep.end(), "   Hydrodynamic pressure in half     No. 2"), rep.end());
    EXPECT_NE(std::find(rep.begin(), rep.end(),
                        "         1    3.00E+00   -4.00E+00   -1.00E+00       2.00000E+00          -90"),
              rep.end());
    EXPECT_EQ(std::count_if(rep.begin(), rep.end(), [](const std::string& l) { return l.rfind("         2", 0) == 0; }),
              0);

    // Screen only: the same lines, none to the report.
    write_file("t.5p", "");
    cfg::MONITR = 1;
    ASSERT_EQ(chan::open(11, "t2.out", chan::Status::Replace), 0);
    run_prs(0);
    chan::close(11);
    EXPECT_TRUE(read_lines("t2.out").empty());
    EXPECT_EQ(screen_lines(), rep);
}

TEST_F(WriterTest, VelocityBlankLinesAndZeroComponent) {
    half();
    cfg::MONITR = 1;
    ASSERT_EQ(chan::open(11, "t.out", chan::Status::Replace), 0);
    run_vel(1);
    chan::close(11);
    const auto rep = read_lines("t.out");
    const auto scr = screen_lines();
    // The blank lines after each heading go to the report only; those at
    // the end of the section to both.
    ASSERT_EQ(rep.size(), scr.size() + 2);
    EXPECT_EQ(std::vector<std::string>(rep.end() - 4, rep.end()), std::vector<std::string>(4, ""));
    EXPECT_EQ(std::vector<std::string>(scr.end() - 2, scr.end()), std::vector<std::string>(2, ""));
    EXPECT_NE(std::find(rep.begin(), rep.end(), "   Velocity vector in half No. 2"), rep.end());
    EXPECT_NE(std::find(rep.begin(), rep.end(),
                        "         1  0.30E+01 -0.40E+01 -0.10E+01 0.000E+00   90 0.100E+01    0 0.200E+01  -90"),
              rep.end());
    EXPECT_EQ(read_lines("t.5vz").size(), 2u);
}

TEST_F(WriterTest, BodyPointFormAndLargeBodyNumbers) {
    half();
    cfg::IPNLBPT = 1;
    cfg::NBODY = 10;
    frc::NBPT.allocate(10);
    frc::NBPT.fill(0);
    frc::NBPT(10) = 1;
    frc::NBPTT = 1;
    frc::PTOTB.allocate(1, 1);
    frc::PDIFB.allocate(1, 1);
    frc::PRADB.allocate(1, 7);
    frc::PRADB.fill(cplx{});
    frc::PTOTB(1, 1) = {0.0f, 0.0f};
    frc::PDIFB(1, 1) = {0.0f, 0.0f};
    ASSERT_EQ(chan::open(11, "t.out", chan::Status::Replace), 0);
    run_prs(1);
    chan::close(11);
    const auto rep = read_lines("t.out");
    EXPECT_EQ(rep[2], " HYDRODYNAMIC PRESSURE AT BODY SURFACE POINTS");
    EXPECT_NE(std::find(rep.begin(), rep.end(), "   Hydrodynamic pressure on body No. 9"), rep.end());
    EXPECT_NE(std::find(rep.begin(), rep.end(), "   Hydrodynamic pressure on body No. *"), rep.end());
    // A zero pressure: modulus 0, phase 90.
    EXPECT_NE(std::find(rep.begin(), rep.end(), "         1       0.00000E+00           90"), rep.end());
    // Records of the point of body 10: I3 holds the body.
    const auto num = read_lines("t.5p");
    ASSERT_EQ(num.size(), 1u);
    EXPECT_EQ(num[0].substr(28, 13), " 10         1");
}

TEST_F(WriterTest, FieldPressureOfWavemakerModes) {
    half();
    frc::NMODWM = 1;
    frc::NFIELD = 1;
    frc::XFIELD.allocate(3, 1);
    frc::XFIELD(1, 1) = 1.0f;
    frc::XFIELD(2, 1) = 2.0f;
    frc::XFIELD(3, 1) = -3.0f;
    frc::PTOTF.allocate(1, 1);
    frc::PTOTF(1, 1) = {0.0f, 2.0f};
    write_file("t.6", "");
    ASSERT_EQ(chan::open(11, "t.out", chan::Status::Replace), 0);
    int ierr = 0;
    OUTFPRS(8.0f, 11, 30, "t.6", ierr);
    ASSERT_EQ(ierr, 0);
    chan::close(11);
    const auto rep = read_lines("t.out");
    EXPECT_EQ(std::count_if(rep.begin(), rep.end(), [](const std::string& l) { return l.find("Heading") != l.npos; }), 0);
    EXPECT_EQ(read_lines("t.6"), std::vector<std::string>{"  0.800000E+01     1  2.000000E+00  9.000000E+01  0.000000E+00  2.000000E+00"});
}

}  // namespace
}  // namespace zorva
