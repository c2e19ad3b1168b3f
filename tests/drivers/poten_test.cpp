// The POTEN driver: its order of calls, the break points, the early return
// on each failure, and the progress line.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "common/channels.hpp"
#include "common/datetime.hpp"
#include "common/messages.hpp"
#include "main/drivers/drivers.hpp"
#include "tests/drivers/fixture.hpp"

namespace zorva {
namespace {

using test::DriverTest;
using V = std::vector<std::string>;

const V SETUP = {"GETIP", "CHKPOT", "GEOMSTAT", "ALLOCMAT"};

V cat(std::initializer_list<V> parts) {
    V out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

int count(const V& v, const std::string& s) {
    int n = 0;
    for (const auto& x : v) n += x == s;
    return n;
}

TEST_F(DriverTest, PotenOrderPlain) {
    config("");
    int ierr = -1;
    POTENRUN(ierr);
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(calls(), cat({SETUP, {"WRP2F 2"}}));
    EXPECT_EQ(standin::SCR21RECS, 4);  // radiation and diffraction of two periods
    // The panels lie deep and far apart: heave potentials close to those of
    // isolated panels (source integral over 2 pi), diffraction close to the
    // incident wave at the panels (period 5, the last one solved).
    const float nu = model::WNUMNU(2);
    for (int i = 1; i <= model::NEQN; ++i) {
        EXPECT_NEAR(run::SOLWRK(i, sym::IMODPOS(3)).real(), -0.35255f / 6.2831855f, 2e-3f);
        EXPECT_NEAR(std::abs(run::RHSRAD(i, 1)), 2.0f * std::exp(-5.0f * nu), 0.05f);
    }
    chan::close(1);
    const auto log = read_lines("errorp.log");
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0], "Warning and error log from POTEN run:  05-Mar-2024 09:07:03");
    EXPECT_EQ(log[2], "  POTEN module run completed");
    EXPECT_EQ(model::NPER, 2);
    EXPECT_FALSE(model::IMODE.allocated());
}

// Source formulation, scattering, irregular-frequency removal and a kernel
// body: the second solution and its velocities go to the scratch as well.
TEST_F(DriverTest, PotenOrderAllSteps) {
    config("ISOR = 1\nISCATT = 1\nIRR = 1\n");
    standin::MODEL.nrgkbody = 1;
    int ierr = -1;
    POTENRUN(ierr);
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(calls(), cat({SETUP, {"RGKDONE", "DUPPAN", "DUPPAN", "WRP2F 2"}}));
    EXPECT_EQ(standin::SCR21RECS, 12);  // per period: potentials, source strengths, velocities
    EXPECT_FALSE(run::VELRAD.allocated());  // handed over and released
}

TEST_F(DriverTest, PotenNoSolveAndNoPeriods) {
    config("ISOLVE = -1\n");
    int ierr = -1;
    POTENRUN(ierr);
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(calls(), V({"GETIP", "CHKPOT", "GEOMSTAT", "ALLOCMAT", "WRP2F 2"}));
    EXPECT_EQ(standin::SCR21RECS, 0);
    EXPECT_EQ(model::WNUMK(2), model::WNUMNU(2));  // the Green-function set-up ran

    standin::reset();
    standin::MODEL.per = {};
    config("");
    POTENRUN(ierr);
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(calls(), V({"GETIP", "CHKPOT", "GEOMSTAT", "WRP2F 0"}));
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
        bool setup3;  // the Green-function set-up of period 3 ran
        const char* message;
    };
    const Case cases[] = {
        {"c\nc\nc\nc\nb\n", false, " Break at start of period loop, period JPER=3"},
        {"c\nc\nc\nc\nx\nc\nb\n", true, " Break before CALL SOLVE, period JPER=3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answers);
        standin::reset();
        model::reset();
        standin::MODEL.per = {1, 2, 3, 4, 5};
        config("");
        write_file("break.zrv", "");
        set_input(c.answers);
        int ierr = -1;
        POTENRUN(ierr);
        EXPECT_EQ(ierr, 0);
        const V v = calls();
        EXPECT_EQ(model::WNUMK(3) != 0.0f, c.setup3);
        EXPECT_EQ(standin::SCR21RECS, 4);  // two periods solved
        EXPECT_EQ(v.back(), "WRP2F 2");
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
    const Case cases[] = {{"GETIP", 1}, {"CHKPOT", 1}, {"GEOMSTAT", 1}, {"ALLOCMAT", 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.routine << " call " << c.nth);
        chan::close(1);
        standin::reset();
        model::reset();
        config("");
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
        EXPECT_EQ(count(v, "WRP2F 2"), 0);
        chan::close(1);
        const auto log = read_file("errorp.log");
        EXPECT_EQ(log.find("POTEN module run completed"), std::string::npos);
        EXPECT_NE(log.find(std::string("Error return from ") + c.routine), std::string::npos);
    }
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
