// The POTEN driver: the state it reaches within each period, the break
// points, the early return on each failure, and the progress line.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "common/channels.hpp"
#include "common/datetime.hpp"
#include "common/messages.hpp"
#include "kernels/rankin.hpp"
#include "main/drivers/drivers.hpp"
#include "main/fnames.hpp"
#include "p2f/forcedata.hpp"
#include "p2f/p2f.hpp"
#include "p2f/p2flayout.hpp"
#include "solver/scrstore.hpp"
#include "solver/srcvel.hpp"
#include "tests/drivers/fixture.hpp"

namespace zorva {
namespace {

using test::DriverTest;
using V = std::vector<std::string>;

// Progress lines on the screen: one per period solved (periods of whole
// seconds, the fixed clock).
int progress_lines(const std::string& screen) {
    int n = 0;
    for (auto pos = screen.find(".0000    09:07:03"); pos != std::string::npos;
         pos = screen.find(".0000    09:07:03", pos + 1))
        ++n;
    return n;
}

// Periods held by the .p2f file the stage wrote (-1: no readable file).
int p2f_periods() {
    if (chan::open(13, "run.p2f", chan::Status::Old, chan::Form::Unformatted) != 0) return -1;
    int ierr = 0;
    RDP2FH(13, ierr);
    chan::close(13);
    return ierr == 0 ? model::NPER : -1;
}

// K of the propagating root of y tanh y = nu h, in double.
double wavenumber(double nu, double h) {
    const double x = nu * h;
    double y = x > 1 ? x : std::sqrt(x);
    for (int k = 0; k < 100; ++k) y -= (y * std::tanh(y) - x) / (std::tanh(y) + y / (std::cosh(y) * std::cosh(y)));
    return y / h;
}

// What the driver has in place at the check before a period's SOLVE
// (after its assembly): the Rankine
// scratch unit open (RANKIN has run) and the solver arrays' shapes.
struct State {
    bool rankine;
    long rhsmod[2], rhsrad[3], alhs;
    bool src;
};
State state() {
    State s{chan::is_open(IURNK), {0, 0}, {0, 0, 0}, -1, slv::RHSSRC.allocated()};
    if (slv::RHSMOD.allocated()) s.rhsmod[0] = slv::RHSMOD.extent(1), s.rhsmod[1] = slv::RHSMOD.extent(2);
    if (slv::RHSRAD.allocated())
        for (int d = 1; d <= 3; ++d) s.rhsrad[d - 1] = slv::RHSRAD.extent(d);
    if (slv::ALHS.allocated()) s.alhs = slv::ALHS.extent(1);
    return s;
}

TEST_F(DriverTest, PotenOrderPlain) {
    // Water depth 2 (unit length): the Green-function set-up gives each
    // period its finite-depth wavenumber.  The break file's
    // check before each period's SOLVE shows the state within it.
    config("ISOLVE = 0\nISOR = 1\n", pot_depth("2.", "0\n"));
    std::vector<State> seen = {state()};  // before the stage
    at_check([&](int n) {
        if (n % 2 == 0) seen.push_back(state());
    });
    int ierr = -1;
    POTENRUN(ierr);
    EXPECT_EQ(ierr, 0);
    // The model of the input files is in place.
    EXPECT_EQ(model::NEQN, 1);
    EXPECT_EQ(model::NBETA, 1);
    EXPECT_EQ(model::IPERFL(1), 0);
    EXPECT_EQ(model::IPERFL(2), 0);
    EXPECT_EQ(p2f_periods(), 2);
    for (int j = 1; j <= 2; ++j) {
        const double per = j == 1 ? 10.0 : 5.0, nu = 4 * M_PI * M_PI / (9.80665 * per * per);
        EXPECT_NEAR(model::WNUMK(j), wavenumber(nu, 2.0), 1e-5 * wavenumber(nu, 2.0)) << j;
    }
    // Before the geometry nothing; from the first period on the Rankine
    // terms are written and the arrays have the run's shapes: one panel, six
    // solved modes in one component, one heading, MAXSCR 1.
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_FALSE(seen[0].rankine);
    EXPECT_EQ(seen[0].alhs, -1);
    for (std::size_t k = 1; k < 3; ++k) {
        EXPECT_TRUE(seen[k].rankine) << k;
        EXPECT_EQ(seen[k].rhsmod[0], 1);
        EXPECT_EQ(seen[k].rhsmod[1], 6);
        EXPECT_EQ(seen[k].rhsrad[0], 1);
        EXPECT_EQ(seen[k].rhsrad[1], 1);
        EXPECT_EQ(seen[k].rhsrad[2], 1);
        EXPECT_EQ(seen[k].alhs, 1);
        EXPECT_TRUE(seen[k].src);
    }
    // The wrap-up frees the solver arrays and closes the Rankine units.
    EXPECT_FALSE(slv::ALHS.allocated());
    EXPECT_FALSE(slv::RHSSRC.allocated());
    EXPECT_FALSE(slv::RHSADD.allocated());
    EXPECT_FALSE(chan::is_open(IURNK));
    EXPECT_FALSE(chan::is_open(IURNKR));
    chan::close(1);
    const auto log = read_lines("errorp.log");
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log[0], "Warning and error log from POTEN run:  05-Mar-2024 09:07:03");
    EXPECT_EQ(log.back(), "  POTEN module run completed");
    EXPECT_EQ(model::NPER, 2);
    EXPECT_FALSE(model::IMODE.allocated());
}

// Source formulation, scattering, irregular-frequency removal, a kernel
// body and one zero-frequency period.  (At the first period's check the
// geometry run's body becomes a kernel body without a model, so the .p2f
// file carries it; the set-up's RGKDONE is behind by then.)
TEST_F(DriverTest, PotenOrderAllSteps) {
    config("ISOR = 1\nISCATT = 1\nIRR = 1\n", pot("", "0 1 0", "1 1", "2\n10. 0."));
    kernel_body();
    int ierr = -1;
    POTENRUN(ierr);
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(model::IPERFL(2), 2);
    EXPECT_EQ(model::NRGKBODY, 1);
    EXPECT_EQ(p2f_periods(), 2);
    // The source-strength velocities of each period, as the .p2f file holds
    // them: finite, and not all zero (the panel moves in every mode).
    const int velrad = p2f_velocities([](int j) {
        EXPECT_EQ(frc::RADVEL.extent(1), 1);
        EXPECT_EQ(frc::RADVEL.extent(3), 6);
        if (model::IPERFL(j) == 0) {
            EXPECT_EQ(frc::VDIFP.extent(3), 1);
        }
        float big = 0.0f;
        for (const auto& v : frc::RADVEL) {
            EXPECT_TRUE(std::isfinite(v.real()) && std::isfinite(v.imag()));
            big = std::max(big, std::abs(v));
        }
        EXPECT_GT(big, 0.0f) << j;
    });
    EXPECT_EQ(velrad, 2);
}

// Four small square panels (side 0.1) facing downward, 5 below the
// surface and 2 apart: every matrix is close to 2 pi times the unit
// matrix.  The heave potentials are close to those of isolated panels
// (the source integral over the panel, 4 a ln(1 + sqrt 2) = 0.35255 for
// a = 0.1, over 2 pi), the diffraction potentials close to twice the
// incident wave at the panels (period 5, where the free surface matters
// least).
TEST_F(DriverTest, PotenDeepPanelsSolved) {
    std::string gdf = "Four deep panels\n1.0 9.80665\n0 0\n4\n";
    for (int i = 0; i < 4; ++i) {
        const double cx = 1.0 + 2.0 * i, h = 0.05;
        char line[160];
        std::snprintf(line, sizeof line, "%g %g -5  %g %g -5  %g %g -5  %g %g -5\n", cx - h, 1 - h, cx + h, 1 - h,
                      cx + h, 1 + h, cx - h, 1 + h);
        gdf += line;
    }
    config("ISOLVE = 1\n", pot(), gdf);
    int ierr = -1;
    POTENRUN(ierr);
    ASSERT_EQ(ierr, 0);
    ASSERT_EQ(model::NEQN, 4);
    // A progress line per period: direct solutions, -1 for both counts.
    EXPECT_NE(screen.str().find("   10.0000    09:07:03          -1      -1\n    5.0000    09:07:03          -1      -1\n"),
              std::string::npos)
        << screen.str();
    const float nu = model::WNUMNU(2);
    const int c3 = sym::IMODPOS(3);
    const int n = p2f_velocities([&](int j) {
        if (j != 2) return;
        for (int i = 1; i <= 4; ++i) {
            EXPECT_NEAR(frc::RADPOT(i, c3).real(), -0.35255f / 6.2831855f, 2e-3f) << i;
            EXPECT_NEAR(std::abs(frc::DIFPOT(i, 1, 1)), 2.0f * std::exp(-5.0f * nu), 0.05f) << i;
        }
    });
    EXPECT_EQ(n, 2);
}

TEST_F(DriverTest, PotenNoSolveAndNoPeriods) {
    // Without a solution the run has no diffraction problem, and no Rankine
    // terms or solver arrays at any check of its periods.
    config("ISOLVE = -1\n", pot("0\n0\n", "0 0 0", "1 -1"));
    std::vector<State> seen;
    at_check([&](int) { seen.push_back(state()); });
    int ierr = -1;
    POTENRUN(ierr);
    EXPECT_EQ(ierr, 0);
    ASSERT_GE(seen.size(), 2u);
    for (const auto& s : seen) {
        EXPECT_FALSE(s.rankine);
        EXPECT_LE(s.alhs, 0);
    }
    EXPECT_EQ(progress_lines(screen.str()), 0);
    EXPECT_EQ(p2f_periods(), 2);
    // Each period has its wavenumber (infinite depth: K = nu).
    for (int j = 1; j <= 2; ++j) EXPECT_EQ(model::WNUMK(j), model::WNUMNU(j)) << j;
    EXPECT_GT(model::WNUMK(2), 0.0f);

    fresh();
    std::remove("run.p2f");
    config("", pot("0\n0\n", "0 0 0", "1 1", "0"));
    POTENRUN(ierr);
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(model::NPER, 0);
    EXPECT_EQ(p2f_periods(), 0);
    // No period: no Rankine terms, no solver arrays.
    EXPECT_FALSE(chan::is_open(IURNK));
    EXPECT_FALSE(slv::ALHS.allocated());
    chan::close(1);
    EXPECT_EQ(read_lines("errorp.log").back(), "  POTEN module run completed");
}

TEST_F(DriverTest, PotenSwitchedOff) {
    config("IPOTEN = 0\n");
    int ierr = -1;
    POTENRUN(ierr);
    EXPECT_EQ(ierr, 0);
    EXPECT_FALSE(chan::exists("run.p2f"));
    EXPECT_FALSE(chan::is_open(1));
    EXPECT_FALSE(chan::exists("errorp.log"));
}

// Break at either check of period 3 of 5: the .p2f file gets the two
// periods finished before it.
TEST_F(DriverTest, PotenBreak) {
    struct Case {
        const char* answers;
        int hgrn, solves;
        const char* message;
    };
    const Case cases[] = {
        {"c\nc\nc\nc\nb\n", 2, 2, " Break at start of period loop, period JPER=3"},
        {"c\nc\nc\nc\nx\nc\nb\n", 3, 2, " Break before CALL SOLVE, period JPER=3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answers);
        fresh();
        std::remove("run.p2f");
        config("ISOR = 1\n", pot("0\n", "0 0 0", "1 1", "5\n1. 2. 3. 4. 5."));
        write_file("break.zrv", "");
        set_input(c.answers);
        screen.str("");
        int ierr = -1;
        POTENRUN(ierr);
        EXPECT_EQ(ierr, 0);
        // The Green-function set-up has run for the periods begun.
        for (int j = 1; j <= 3; ++j) EXPECT_EQ(model::WNUMK(j) != 0.0f, j <= c.hgrn) << j;
        // A progress line for each period solved.
        EXPECT_EQ(progress_lines(screen.str()), c.solves);
        EXPECT_EQ(p2f_periods(), 2);
        EXPECT_EQ(model::NPER, 2);
        chan::close(1);
        const auto log = read_file("errorp.log");
        EXPECT_NE(log.find(std::string(c.message) + "\n"), std::string::npos);
        EXPECT_NE(log.find(" POTEN module run completed"), std::string::npos);
        EXPECT_TRUE(chan::exists("break.zrv"));
    }
}

// Every failing step ends the stage at once: nothing after it, no .p2f,
// no completion message.
TEST_F(DriverTest, PotenFailures) {
    struct Case {
        const char* routine;
        int nth;
    };
    // The model input's own failures: a geometry file that is not there
    // (GETIP) and a diffraction problem without headings (CHKPOT).
    struct Input {
        const char* routine;
        std::string potfile;
        bool gdf;
        const char* message;
    };
    const Input inputs[] = {
        {"GETIP", pot("0\n"), false, "Error opening GDF"},
        {"CHKPOT", pot("0\n", "0 0 0", "1 1", "2\n10. 5.", "0"), true,
         "No wave headings specified for diffraction problem"},
    };
    for (const auto& c : inputs) {
        SCOPED_TRACE(c.routine);
        fresh();
        std::remove("run.p2f");
        config("ISOR = 1\n", c.potfile);
        if (!c.gdf) std::remove("run.gdf");
        int ierr = -1;
        POTENRUN(ierr);
        EXPECT_EQ(ierr, 1);
        EXPECT_FALSE(chan::exists("run.p2f"));
        chan::close(1);
        const auto log = read_file("errorp.log");
        EXPECT_EQ(log.find("POTEN module run completed"), std::string::npos);
        EXPECT_NE(log.find(c.message), std::string::npos) << log;
    }

    // Real steps made to fail by what a period leaves behind, spoilt at the
    // check before the first period's SOLVE: the Rankine scratch unit closed (the
    // assembly of period 2 cannot read it), the source solve's matrix unit
    // emptied (the source-strength solve of period 1 cannot read it).
    struct Spoilt {
        const char* routine;
        int nth;
        std::function<void()> spoil;
        const char* message;
    };
    const Spoilt spoilt[] = {
        {"WAVEGR", 2, [] { chan::close(IURNK); }, " Error reading scratch file for Rankine LHS, UNIT="},
        {"SOLVE", 2,
         [] {
             int u = slv::IUNIT[8], e = 0;
             slv::SCRCLOSE(&u, 1, 0, e);
         },
         " Error reading scratch file for LHS from SOLVE, UNIT="},
    };
    for (const auto& c : spoilt) {
        SCOPED_TRACE(testing::Message() << c.routine << " call " << c.nth);
        fresh();
        std::remove("run.p2f");
        config("ISOR = 1\nISOLVE = 1\n", pot("0\n"));
        at_check([&c](int n) {
            if (n == 2) c.spoil();
        });
        int ierr = -1;
        POTENRUN(ierr);
        EXPECT_EQ(ierr, 1);
        EXPECT_FALSE(chan::exists("run.p2f"));
        chan::close(1);
        const auto log = read_file("errorp.log");
        EXPECT_EQ(log.find("POTEN module run completed"), std::string::npos);
        EXPECT_NE(log.find(c.message), std::string::npos) << log;
    }

    // The real routines, failing for real: a depth beyond the range of the
    // finite-depth set-up at the second period (nu h = 0.04 * 1e6 at 10 s,
    // 0.16 * 1e6 at 5 s), refused by the model input before any period is
    // solved, and a source scratch unit that the assembly wrote and that is
    // gone before the first period's SOLVE (POTSRCST).  The periods solved
    // before the failure have their progress lines.
    struct Real {
        const char* routine;
        const char* cfg;
        std::string potfile;
        std::function<void()> pre;  // before the run
        int solved;
        const char* message;
    };
    const Real reals[] = {
        {"GETIP", "ISOR = 1\n", pot_depth("1.0E6", "0\n"), [] {}, 0,
         " Error in POT file run.pot: wave period out of range, period number 2: period 5 s beyond the limit 6.34482 s"},
        {"POTSRCST", "ISOR = 1\n", pot("0\n"),
         [] {
             at_first = [] {
                 int u = IUSRC, e = 0;
                 slv::SCRCLOSE(&u, 1, 0, e);
             };
         },
         0, " Error reading scratch file of source velocities in POTSRCST, UNIT="},
    };
    for (const auto& c : reals) {
        SCOPED_TRACE(c.routine);
        fresh();
        std::remove("run.p2f");
        screen.str("");
        config(c.cfg, c.potfile);
        c.pre();
        // `at_first` at the check before the first period's SOLVE.
        first_at_check(2);
        int ierr = -1;
        POTENRUN(ierr);
        EXPECT_EQ(ierr, 1);
        EXPECT_EQ(progress_lines(screen.str()), c.solved);
        EXPECT_FALSE(chan::exists("run.p2f"));
        chan::close(1);
        const auto log = read_file("errorp.log");
        EXPECT_EQ(log.find("POTEN module run completed"), std::string::npos);
        EXPECT_NE(log.find(c.message), std::string::npos) << log;
    }
}

// A .p2f file that cannot be written fails the stage: no completion
// message, status 1.
TEST_F(DriverTest, PotenP2FWriteFailure) {
    config("ISOR = 1\n", pot("0\n"));
    // The model input names the file after the potential control file: the
    // name is changed once it has done so (at the first period's check).
    at_first = [] { fnames::FILEP2F = "no/such/dir/run.p2f"; };
    first_at_check();
    int ierr = -1;
    POTENRUN(ierr);
    EXPECT_EQ(ierr, 1);
    chan::close(1);
    const auto log = read_file("errorp.log");
    EXPECT_NE(log.find("Unable to open new .P2F file"), std::string::npos);
    EXPECT_EQ(log.find("POTEN module run completed"), std::string::npos);
}

TEST_F(DriverTest, PotenSetupFailures) {
    // A configuration error comes before the error log.
    config("ILOWHI = 5\n");
    int ierr = -1;
    POTENRUN(ierr);
    EXPECT_EQ(ierr, 1);
    EXPECT_FALSE(chan::exists("errorp.log"));
    EXPECT_FALSE(chan::exists("run.p2f"));

    // An error log that cannot be opened.
    config("");
    std::filesystem::create_directory("errorp.log");
    POTENRUN(ierr);
    EXPECT_EQ(ierr, 1);
    EXPECT_FALSE(chan::exists("run.p2f"));
    EXPECT_NE(screen.str().find(" Unable to open error log file, UNIT =   1"), std::string::npos);
}

TEST_F(DriverTest, ProgressLine) {
    struct Case {
        int isor;
        int n[2], ns[2];
        float per;
        const char* line;  // nullptr: no line
    };
    const std::string head = "   12.5000    09:07:03";
    const Case cases[] = {
        {0, {12, 7}, {0, 0}, 12.5f, "    " "      12" "       7"},
        {0, {12, 0}, {0, 0}, 12.5f, "    " "      12"},
        {0, {0, 7}, {0, 0}, 12.5f, "            " "       7"},
        {1, {12, 7}, {3, 4}, 12.5f, "        " " 12 ( 3) " "  7 ( 4) "},
        {1, {12, 0}, {3, 0}, 12.5f, "        " " 12 ( 3)"},
        {1, {0, 7}, {0, 4}, 12.5f, "                " "  7 ( 4)"},
        {0, {0, 0}, {5, 5}, 12.5f, nullptr},
        {1, {0, 0}, {5, 5}, 12.5f, nullptr},
        {0, {1, 1}, {0, 0}, -1.0f, "    " "       1" "       1"},
    };
    for (const auto& c : cases) {
        chan::close(22);
        ASSERT_EQ(chan::open_scratch(22), 0);
        screen.str("");
        cfg::ISOR = c.isor;
        std::string date, time;
        WRHEAD(c.n, c.ns, c.per, date, time);
        EXPECT_EQ(date, "05-Mar-2024");
        EXPECT_EQ(time, "09:07:03");
        chan::rewind(22);
        std::string rec;
        int st = chan::read_line(22, rec);
        if (!c.line) {
            EXPECT_EQ(st, -1);
            EXPECT_EQ(screen.str(), "");
            continue;
        }
        std::string want = (c.per < 0 ? std::string("   -1.0000    09:07:03") : head) + c.line;
        EXPECT_EQ(rec, want);
        EXPECT_EQ(screen.str(), want + "\n");
    }
}

}  // namespace
}  // namespace zorva
