// The POTEN driver: its order of calls, the break points, the early return
// on each failure, and the progress line.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/channels.hpp"
#include "common/datetime.hpp"
#include "common/messages.hpp"
#include "main/drivers/drivers.hpp"
#include "main/fnames.hpp"
#include "p2f/p2f.hpp"
#include "tests/drivers/fixture.hpp"

namespace zorva {
namespace {

using test::DriverTest;
using V = std::vector<std::string>;

// The model input (GETIP, CHKPOT) is real: the calls recorded start after it.
const V SETUP = {"GEOMSTAT", "RANKIN", "ALLOCMAT"};
const V PERIOD = {"HGRN00", "INCRHS", "WAVEGR", "SOLVE 0 29"};

V cat(std::initializer_list<V> parts) {
    V out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

// Periods held by the .p2f file the stage wrote (-1: no readable file).
int p2f_periods() {
    if (chan::open(13, "run.p2f", chan::Status::Old, chan::Form::Unformatted) != 0) return -1;
    int ierr = 0;
    RDP2FH(13, ierr);
    chan::close(13);
    return ierr == 0 ? model::NPER : -1;
}

int count(const V& v, const std::string& s) {
    int n = 0;
    for (const auto& x : v) n += x == s;
    return n;
}

TEST_F(DriverTest, PotenOrderPlain) {
    config("ISOLVE = 0\n");
    int ierr = -1;
    POTENRUN(ierr);
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(calls(), cat({SETUP, PERIOD, PERIOD}));
    // The model of the input files is in place.
    EXPECT_EQ(model::NEQN, 1);
    EXPECT_EQ(model::NBETA, 1);
    EXPECT_EQ(model::IPERFL(1), 0);
    EXPECT_EQ(model::IPERFL(2), 0);
    EXPECT_EQ(p2f_periods(), 2);
    chan::close(1);
    const auto log = read_lines("errorp.log");
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0], "Warning and error log from POTEN run:  05-Mar-2024 09:07:03");
    EXPECT_EQ(log[2], "  POTEN module run completed");
    EXPECT_EQ(model::NPER, 2);
    EXPECT_FALSE(model::IMODE.allocated());
}

// Source formulation, scattering, irregular-frequency removal, a kernel
// body and one zero-frequency period.  (The model input cannot read a
// geometry-kernel body yet: the geometry step's stand-in leaves one.)
TEST_F(DriverTest, PotenOrderAllSteps) {
    config("ISOR = 1\nISCATT = 1\nIRR = 1\n", pot("", "0 1 0", "1 1", "2\n10. 0."));
    kernel_body();
    int ierr = -1;
    POTENRUN(ierr);
    EXPECT_EQ(ierr, 0);
    const V full = {"HGRN00", "INCRHS", "WAVEGR", "SOLVE 0 29", "ADDPOT", "ZEROFLG",
                    "DUPPAN", "SOLVE 1 37", "POTSRCST"};
    const V zero = {"HGRN00", "INCRHS", "WAVEGR", "SOLVE 0 29", "DUPPAN", "SOLVE 1 37", "POTSRCST"};
    EXPECT_EQ(model::IPERFL(2), 2);
    EXPECT_EQ(calls(), cat({SETUP, {"RGKDONE"}, full, zero}));
    EXPECT_EQ(p2f_periods(), 2);
}

TEST_F(DriverTest, PotenNoSolveAndNoPeriods) {
    // Without a solution the run has no diffraction problem.
    config("ISOLVE = -1\n", pot("0\n0\n", "0 0 0", "1 -1"));
    int ierr = -1;
    POTENRUN(ierr);
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(calls(), V({"GEOMSTAT", "ALLOCMAT", "HGRN00", "HGRN00"}));
    EXPECT_EQ(p2f_periods(), 2);

    chan::close(1);
    standin::reset();
    std::remove("run.p2f");
    model::reset();
    cfg::reset();
    fnames::reset();
    config("", pot("0\n0\n", "0 0 0", "1 1", "0"));
    POTENRUN(ierr);
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(model::NPER, 0);
    EXPECT_EQ(calls(), V({"GEOMSTAT"}));
    EXPECT_EQ(p2f_periods(), 0);
    chan::close(1);
    EXPECT_EQ(read_lines("errorp.log").back(), "  POTEN module run completed");
}

TEST_F(DriverTest, PotenSwitchedOff) {
    config("IPOTEN = 0\n");
    int ierr = -1;
    POTENRUN(ierr);
    EXPECT_EQ(ierr, 0);
    EXPECT_TRUE(calls().empty());
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
        chan::close(1);
        standin::reset();
        std::remove("run.p2f");
        model::reset();
        cfg::reset();
        fnames::reset();
        config("", pot("0\n0\n", "0 0 0", "1 1", "5\n1. 2. 3. 4. 5."));
        write_file("break.zrv", "");
        set_input(c.answers);
        int ierr = -1;
        POTENRUN(ierr);
        EXPECT_EQ(ierr, 0);
        const V v = calls();
        ASSERT_FALSE(v.empty());
        EXPECT_EQ(count(v, "HGRN00"), c.hgrn);
        EXPECT_EQ(count(v, "SOLVE 0 29"), c.solves);
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
        chan::close(1);
        standin::reset();
        std::remove("run.p2f");
        model::reset();
        cfg::reset();
        fnames::reset();
        config("ISOR = 1\n", c.potfile);
        if (!c.gdf) std::remove("run.gdf");
        int ierr = -1;
        POTENRUN(ierr);
        EXPECT_EQ(ierr, 1);
        EXPECT_EQ(calls(), V{});
        chan::close(1);
        const auto log = read_file("errorp.log");
        EXPECT_EQ(log.find("POTEN module run completed"), std::string::npos);
        EXPECT_NE(log.find(c.message), std::string::npos) << log;
    }

    const Case cases[] = {{"GEOMSTAT", 1}, {"RANKIN", 1}, {"ALLOCMAT", 1}, {"HGRN00", 2},  {"INCRHS", 1},
                          {"WAVEGR", 2},   {"SOLVE", 1},  {"SOLVE", 2},    {"POTSRCST", 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.routine << " call " << c.nth);
        chan::close(1);
        standin::reset();
        std::remove("run.p2f");
        model::reset();
        cfg::reset();
        fnames::reset();
        config("ISOR = 1\n", pot("0\n"));
        standin::fail(c.routine, c.nth);
        int ierr = -1;
        POTENRUN(ierr);
        EXPECT_EQ(ierr, 1);
        const V v = calls();
        ASSERT_FALSE(v.empty());
        EXPECT_EQ(v.back().substr(0, v.back().find(' ')), c.routine);
        int n = 0;
        for (const auto& x : v) n += x.substr(0, x.find(' ')) == c.routine;
        EXPECT_EQ(n, c.nth);
        EXPECT_FALSE(chan::exists("run.p2f"));
        chan::close(1);
        const auto log = read_file("errorp.log");
        EXPECT_EQ(log.find("POTEN module run completed"), std::string::npos);
        EXPECT_NE(log.find(std::string("Error return from ") + c.routine), std::string::npos);
    }
}

// A .p2f file that cannot be written fails the stage: no completion
// message, status 1.
TEST_F(DriverTest, PotenP2FWriteFailure) {
    config("");
    // The model input names the file after the potential control file: the
    // name is changed once it has done so.
    standin::after("GEOMSTAT", [] { fnames::FILEP2F = "no/such/dir/run.p2f"; });
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
    EXPECT_TRUE(calls().empty());
    EXPECT_FALSE(chan::exists("errorp.log"));

    // An error log that cannot be opened.
    config("");
    std::filesystem::create_directory("errorp.log");
    POTENRUN(ierr);
    EXPECT_EQ(ierr, 1);
    EXPECT_TRUE(calls().empty());
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
