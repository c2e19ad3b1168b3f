// Report sections and numeric records of the result writers: the pairs of
// modes written, the limit-period layout, fixed modes in the motions,
// rounded headings, the wavemaker layout and the drift layouts.
#include <gtest/gtest.h>

#include <limits>

#include "tests/force/forcefix.hpp"

namespace zorva {
namespace {

using test::ForceTest;
using V = std::vector<std::string>;

class Writers : public ForceTest {
protected:
    void SetUp() override {
        ForceTest::SetUp();
        model1({{{0.0f, 0.0f, -1.0f}, {0.0f, 0.0f, -1.0f}, 1.0f}}, {22.5f, -22.5f}, 8.0f, 0.06f,
               {0, 1, 1, 1, 1, 0, 0, 0, 2, 1});
        fnames::FILEOUT = "w.out";
        int ierr = 0;
        OPNUMOUT(ierr);
        chan::open(11, "w.out", chan::Status::Replace);
    }
    V report() {
        chan::close(11);
        return read_lines("w.out");
    }
};

// Two components (symmetry about y = 0): modes 1, 3, 5 in the first,
// 2, 4, 6 in the second, solved in that order, listed by mode number.
void two_components() {
    const int order[6] = {1, 3, 5, 2, 4, 6};
    sym::NSYMC = 2;
    sym::NMODSC[1] = sym::NMODSC[2] = 3;
    for (int r = 1; r <= 6; ++r) {
        const int m = order[r - 1];
        sym::IMODORD(r) = m;
        sym::IMODPOS(m) = r;
        sym::IMODSC((r - 1) % 3 + 1, (r - 1) / 3 + 1) = m;
        frc::MODNUM(r) = m;
    }
    for (int a = 1; a <= 6; ++a) frc::MODCOL(a) = sym::IMODPOS(a);
}

TEST_F(Writers, AddedMassPairsOfOneComponentInModeOrder) {
    two_components();
    for (int r = 1; r <= 6; ++r)
        for (int s = 1; s <= 6; ++s) {
            frc::AMAT(r, s) = static_cast<float>(10 * sym::IMODORD(r) + sym::IMODORD(s));
            frc::BMAT(r, s) = -0.5f;
        }
    int ierr = 0;
    OUTADMS(frc::AMAT, frc::BMAT, 8.0f, 11, 1, 25, "w.1", 0, ierr);
    OUTADMS(frc::AMAT, frc::BMAT, 0.0f, 11, 1, 25, "w.1", 2, ierr);
    ASSERT_EQ(ierr, 0);
    const V rep = report();
    const V head = {"", "", "    ADDED-MASS AND DAMPING COEFFICIENTS", "     I     J         A(I,J)         B(I,J)", ""};
    ASSERT_EQ(rep.size(), 5u + 18u + 2u + 5u + 18u + 2u);
    EXPECT_EQ(V(rep.begin(), rep.begin() + 5), head);
    EXPECT_EQ(rep[5], "     1     1   1.100000E+01  -5.000000E-01");
    EXPECT_EQ(rep[6], "     1     3   1.300000E+01  -5.000000E-01");
    EXPECT_EQ(rep[8], "     2     2   2.200000E+01  -5.000000E-01");
    EXPECT_EQ(rep[22], "     6     6   6.600000E+01  -5.000000E-01");
    EXPECT_EQ(rep[27], "    ADDED-MASS COEFFICIENTS");
    EXPECT_EQ(rep[28], "     I     J         A(I,J)");
    EXPECT_EQ(rep[30], "     1     1   1.100000E+01");
    const V num = read_lines("w.1");
    ASSERT_EQ(num.size(), 36u);
    EXPECT_EQ(num[1], "  0.800000E+01     1     3  1.300000E+01 -5.000000E-01");
    EXPECT_EQ(num[18], "  0.000000E+00     1     1  1.100000E+01");
}

TEST_F(Writers, ReportFlagAndMonitor) {
    int ierr = 0;
    cfg::MONITR = 1;
    OUTADMS(frc::AMAT, frc::BMAT, 8.0f, 11, 0, 25, "w.1", 0, ierr);
    EXPECT_TRUE(report().empty());
    EXPECT_NE(screen.str().find("    ADDED-MASS AND DAMPING COEFFICIENTS"), std::string::npos);
    EXPECT_EQ(read_lines("w.1").size(), 36u);
}

TEST_F(Writers, MotionsOfFixedModesAndRoundedHeadings) {
    frc::MODE.allocate(6);
    frc::MODE.fill(1);
    frc::MODE(3) = 0;
    for (int r = 1; r <= 6; ++r) frc::RAO(r, 1) = frc::RAO(r, 2) = cplx(0.0f, static_cast<float>(r));
    int ierr = 0;
    OUTRAO(frc::RAO, 8.0f, 11, 1, 28, "w.4", ierr);
    ASSERT_EQ(ierr, 0);
    const V rep = report();
    EXPECT_EQ(V(rep.begin(), rep.begin() + 8), V({"", "", "    RESPONSE AMPLITUDE OPERATORS", "",
                                                  "  Wave Heading (deg) :     23", "",
                                                  "     I    Mod[RAO(I)]    Pha[RAO(I)]", ""}));
    EXPECT_EQ(rep[10], "    -3    3.00000E+00             90");
    EXPECT_EQ(rep[16], "  Wave Heading (deg) :    -23");
    const V num = read_lines("w.4");
    EXPECT_EQ(num[2], "  0.800000E+01  0.225000E+02    -3  3.000000E+00  9.000000E+01  0.000000E+00  3.000000E+00");
    EXPECT_EQ(num[8], "  0.800000E+01 -0.225000E+02    -3  3.000000E+00  9.000000E+01  0.000000E+00  3.000000E+00");
    // Later users of the motions find the fixed mode at rest.
    EXPECT_EQ(frc::RAO(3, 1), cplx(0.0f, 0.0f));
    EXPECT_EQ(frc::RAO(3, 2), cplx(0.0f, 0.0f));
    EXPECT_EQ(frc::RAO(4, 1), cplx(0.0f, 4.0f));
}

// A result that is not a number is written as it is, with a rounded phase
// of 0, and one warning per file and period names the quantity.
TEST_F(Writers, NonFiniteResultsAreNamedOncePerPeriod) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (int r = 1; r <= 6; ++r) frc::RAO(r, 1) = frc::RAO(r, 2) = cplx(1.0f, 1.0f);
    frc::RAO(2, 1) = cplx(nan, 0.0f);
    frc::RAO(5, 2) = cplx(std::numeric_limits<float>::infinity(), nan);
    int ierr = 0;
    OUTRAO(frc::RAO, 8.0f, 11, 1, 28, "w.4", ierr);
    OUTRAO(frc::RAO, 6.5f, 11, 1, 28, "w.4", ierr);
    EXPECT_EQ(ierr, 0);
    const std::string warn = "  WARNING: non-finite motions in w.4 for period ";
    const std::string scr = screen.str();
    auto count = [&scr](const std::string& t) {
        int n = 0;
        for (std::size_t p = scr.find(t); p != std::string::npos; p = scr.find(t, p + 1)) ++n;
        return n;
    };
    EXPECT_EQ(count(warn), 2) << scr;
    EXPECT_EQ(count(warn + "8\n"), 1) << scr;
    EXPECT_EQ(count(warn + "6.5\n"), 1) << scr;
    const V rep = report();
    ASSERT_GT(rep.size(), 9u);
    EXPECT_EQ(rep[9].substr(0, 6), "     2");
    EXPECT_EQ(rep[9].substr(rep[9].size() - 15), "              0");
    for (const auto& l : rep) EXPECT_EQ(l.find("2147483648"), std::string::npos) << l;
}

TEST_F(Writers, WavemakerLayout) {
    frc::NMODWM = 1;
    frc::NMODBD = 5;
    for (int r = 1; r <= 6; ++r) frc::FEXH(r, 1) = cplx(static_cast<float>(r), 0.0f);
    int ierr = 0;
    OUTHASK(frc::FEXH, 8.0f, 11, 1, 26, "w.2", ierr);
    const V rep = report();
    EXPECT_EQ(rep[2], "  WAVEMAKER EXCITING FORCES AND MOMENTS");
    EXPECT_EQ(rep[4], "  Wavemaker mode :      1");
    EXPECT_EQ(rep.size(), 4u + 4u + 5u + 2u);
    const V num = read_lines("w.2");
    ASSERT_EQ(num.size(), 5u);
    EXPECT_EQ(num[4], "  0.800000E+01     1     5  5.000000E+00  0.000000E+00  5.000000E+00  0.000000E+00");
    // The diffraction forces have no wavemaker layout.
    OUTDIFF(frc::FEXD, 8.0f, 11, 0, 27, "w.3", ierr);
    EXPECT_EQ(read_lines("w.3").size(), 12u);
}

TEST_F(Writers, DriftLayouts) {
    model::IRAD = 0;
    // Momentum layout, pair option 2: pairs (1,1), (1,2), (2,2).
    for (int p = 1; p <= 3; ++p)
        for (int m = 1; m <= 6; ++m) {
            frc::DRIFTM(m, p) = cplx(static_cast<float>(10 * p + m), 0.0f);
            frc::DRIFTS(m, p) = cplx(0.0f, -static_cast<float>(m));
        }
    int ierr = 0;
    OUTDRIFT(frc::DRIFTM, frc::DRIFTS, 8.0f, 11, 1, 34, "w.8", 0, 2, 0, ierr);
    const V num8 = read_lines("w.8");
    ASSERT_EQ(num8.size(), 9u);
    EXPECT_EQ(num8[3],
              "  0.800000E+01  0.225000E+02 -0.225000E+02     1  2.100000E+01  0.000000E+00  2.100000E+01  0.000000E+00");
    EXPECT_EQ(num8[5].substr(42, 6), "     6");
    // Body layout (pressure integration), one body, pair option 1.
    OUTDRIFT(frc::DRIFTM, frc::DRIFTS, 8.0f, 11, 1, 35, "w.9", 1, 1, 0, ierr);
    ASSERT_EQ(ierr, 0);
    const V num9 = read_lines("w.9");
    ASSERT_EQ(num9.size(), 18u);
    V labels;
    for (int k = 0; k < 9; ++k) labels.push_back(num9[static_cast<std::size_t>(k)].substr(42, 6));
    EXPECT_EQ(labels, V({"     1", "     2", "     3", "     4", "     5", "     6", "    -4", "    -5", "    -6"}));
    const V rep = report();
    // Momentum: title, three groups of heading line, titles, three lines.
    EXPECT_EQ(rep[2], " SURGE, SWAY & YAW DRIFT FORCES (Momentum Conservation)");
    EXPECT_EQ(rep[4], "  Wave Heading (deg) :     23        23");
    EXPECT_EQ(rep[13], "  Wave Heading (deg) :     23       -23");
    EXPECT_EQ(rep[6], "     I      Mod[F(I)]    Pha[F(I)]");
    EXPECT_EQ(rep[8], "     1    1.10000E+01            0");
    EXPECT_EQ(rep[10], "     6    1.30000E+01            0");
    const std::size_t b = 4 + 3 * 9;
    EXPECT_EQ(rep[b + 2], " SURGE, SWAY, HEAVE, ROLL, PITCH & YAW DRIFT FORCES (Pressure Integration)");
    EXPECT_EQ(rep[b + 6], "     I      Mod[F(I)]    Pha[F(I)]      Mod[F(I)]    Pha[F(I)]");
    EXPECT_EQ(rep[b + 8], "     1    1.10000E+01            0");
    EXPECT_EQ(rep[b + 11], "     4    1.40000E+01            0    4.00000E+00          -90");
}

}  // namespace
}  // namespace zorva
