// The report sections and numeric files of a whole period of the tiny
// example (three panels, six modes, two headings): added mass and damping,
// exciting forces both ways, motions and momentum drift, against reference
// files computed independently in double precision (tools/force_golden.py).
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tests/force/forcefix.hpp"
#include "tests/force/golden.hpp"

namespace zorva {
namespace {

using test::ForceTest;
using test::Pan;

using test::golden;
using test::lines_of;

// Loads tiny.fix into the shared FORCE data.
void load_tiny() {
    std::ifstream f(golden("tiny.fix"));
    const test::FixHead h = test::read_fix_head(f);
    const int ne = h.ne, nm = h.nm, nb = h.nb;
    const float per = h.per, nu = h.nu, k = h.k;
    const std::vector<float>& beta = h.beta;
    std::vector<Pan> pans(static_cast<std::size_t>(ne));
    for (auto& p : pans) f >> p.c[0] >> p.c[1] >> p.c[2] >> p.n[0] >> p.n[1] >> p.n[2] >> p.area;
    test::ForceTest::model1(pans, beta, per, nu, {0, 1, 1, 1, 1, 0, 0, 0, 1, 0});
    model::WNUMK(1) = k;
    float re, im;
    for (int i = 1; i <= ne; ++i)
        for (int m = 1; m <= nm; ++m) {
            f >> re >> im;
            frc::RADPOT(i, m) = {re, im};
        }
    for (int i = 1; i <= ne; ++i)
        for (int j = 1; j <= nb; ++j) {
            f >> re >> im;
            frc::DIFPOT(i, j, 1) = {re, im};
        }
    for (int m = 1; m <= nm; ++m)
        for (int n = 1; n <= nm; ++n) f >> pnl::CHYD(m, n);
    for (int n = 1; n <= nm; ++n)
        for (int m = 1; m <= nm; ++m) f >> frc::EXTMATND(1, n, m);
    ASSERT_TRUE(f.good());
}

TEST_F(ForceTest, TinyExampleReportAndNumericFiles) {
    load_tiny();
    cfg::NUMHDR = 1;
    fnames::FILEOUT = "tiny.out";
    int ierr = 0;
    OPNUMOUT(ierr);
    ASSERT_EQ(ierr, 0);
    ASSERT_EQ(chan::open(11, "tiny.out", chan::Status::Replace), 0);

    const float per = model::PER(1), nu = model::WNUMNU(1), k = model::WNUMK(1);
    const auto& NAME = run::NUMNAME;
    const auto& IU = run::IUNUM;
    SETMODFAC(per, 0);
    WRPERHDR(per, k, 11);
    AMDPINT();
    OUTADMS(frc::AMAT, frc::BMAT, per, 11, 1, IU[1], NAME[1], 0, ierr);
    EXFHASK(nu, k);
    OUTHASK(frc::FEXH, per, 11, 1, IU[2], NAME[2], ierr);
    FRCACC();
    OUTDIFF(frc::FEXD, per, 11, 1, IU[3], NAME[3], ierr);
    RAOSOL(nu, per, frc::FEXH, ierr);
    ASSERT_EQ(ierr, 0);
    OUTRAO(frc::RAO, per, 11, 1, IU[4], NAME[4], ierr);
    MOMDRIFT(nu, k, 1);
    OUTDRIFT(frc::DRIFTM, frc::DRIFTS, per, 11, 1, IU[10], NAME[10], 0, 1, 0, ierr);
    ASSERT_EQ(ierr, 0);
    chan::close(11);

    for (const char* f : {"tiny.out", "tiny.1", "tiny.2", "tiny.3", "tiny.4", "tiny.8"})
        test::expect_same_layout(read_lines(f), lines_of(golden(f)), f);
    // Only the selected files exist; the banner also went to the screen.
    EXPECT_FALSE(chan::exists("tiny.5p"));
    EXPECT_FALSE(chan::exists("tiny.9"));
    EXPECT_NE(screen.str().find(" Wave period (sec) =  8.000000E+00"), std::string::npos);
}

}  // namespace
}  // namespace zorva
