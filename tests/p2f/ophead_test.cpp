// Parts of the report header that the set-up test's single body does not
// reach: two bodies beside a wall, the tank tables, the run summary.
#include <gtest/gtest.h>

#include "common/channels.hpp"
#include "p2f/forceprep.hpp"
#include "p2f/p2flayout.hpp"
#include "tests/p2f/p2fmodel.hpp"
#include "tests/support/testdir.hpp"

namespace zorva::test {
namespace {

class OpheadTest : public TempDirTest {};

TEST_F(OpheadTest, TwoBodiesWallAndTanks) {
    reset_all();
    // A .p2f file positioned at its run summary.
    ASSERT_EQ(chan::open(13, "run.p2f", chan::Status::Replace, chan::Form::Unformatted), 0);
    {
        p2f::Pass p(p2f::Pass::Dir::Write, 13);
        for (std::string l : {"Summary one", "Summary two", "*"}) p2f::lay_line(p, "T", l, 72);
    }
    chan::rewind(13);
    ASSERT_EQ(chan::open(11, "run.out", chan::Status::Replace), 0);
    cfg::NBODY = 2;
    model::NMODT = 12;
    model::NEQN = 30;
    model::NWALL = 1;
    model::ISX = -1;
    model::GRAV = 9.81f;
    model::HBOT = 0.0f;  // infinite
    model::ULEN.allocate(2);
    model::ULEN.fill(1.0f);
    model::NPANB.allocate(2);
    model::NPANB(1) = 10;
    model::NPANB(2) = 20;
    pnl::NPANBG.allocate(2);
    pnl::NPANBG(1) = 8;
    pnl::NPANBG(2) = 20;
    model::NWLPANB.allocate(2);
    model::NWLPANB(1) = 4;
    cfg::IRR.allocate(2);
    cfg::IRR(1) = 1;
    cfg::XBODY.allocate(4, 2);
    pnl::VOLXYZ.allocate(3, 2);
    pnl::XBUOY.allocate(3, 2);
    pnl::CHYD.allocate(12, 12);
    cfg::NEWMDS.allocate(2);
    cfg::IALTFRC = 1;
    cfg::IALTFRCN.allocate(2);
    cfg::IALTFRCN.fill(1);
    frc::CGBODY.allocate(3, 2);
    frc::XPRDCT.allocate(3, 3, 2);
    cfg::NTANKS = 1;
    cfg::ZTANKFS.allocate(1);
    cfg::VOLTANK.allocate(3, 1);
    cfg::RHOTANK.allocate(1);
    cfg::RHOTANK(1) = 1000.0f;
    cfg::CTANK.allocate(9, 1);
    cfg::CTANK(1, 1) = 0.5f;
    std::string date, time;
    int ierr = 0;
    OPHEAD(date, time, ierr);
    ASSERT_EQ(ierr, 0);
    chan::close(11);
    const auto out = read_lines("run.out");
    auto has = [&out](const std::string& l) { return std::find(out.begin(), out.end(), l) != out.end(); };
    EXPECT_EQ(out[0], "Summary one");
    EXPECT_EQ(out[1], "Summary two");
    // The depth text, 6 blanks and the blank 30-character density text.
    EXPECT_TRUE(has(" Water depth:        infinite" + std::string(36, ' ')));
    // The symmetry text on its own line, then the body parameters.
    auto it = std::find(out.begin(), out.end(), std::string(50, ' ') + "      Wall:      X=0    ");
    ASSERT_NE(it, out.end());
    EXPECT_EQ(*(it + 2), " BODY PARAMETERS:");
    // Body 1 with IRR 1 counts the panels without the lid; no image factor.
    EXPECT_TRUE(has(" Body number: N= 1" "      " " Total panels:     8    Waterline panels:    4"));
    EXPECT_TRUE(has(std::string(20, ' ') + " Irregular frequency index: IRR =   1"));
    EXPECT_TRUE(has(" Free surface panels:       2"));
    EXPECT_TRUE(has(" Body number: N= 2" "      " " Total panels:    20    Waterline panels:    0"));
    // Tank rows: I6, 4X, then G13.6 fields (1000 -> F9.2, -0.5 -> F9.6,
    // 0 -> F9.5, each followed by four blanks).
    EXPECT_TRUE(has("     1    " "  1000.00    " "-0.500000    " "  0.00000    " "  0.00000    "));
    EXPECT_FALSE(cfg::CTANK.allocated());
}

TEST_F(OpheadTest, BrokenRunSummary) {
    reset_all();
    ASSERT_EQ(chan::open(13, "run.p2f", chan::Status::Replace, chan::Form::Unformatted), 0);
    {
        p2f::Pass p(p2f::Pass::Dir::Write, 13);
        std::string l = "Summary without its end";
        p2f::lay_line(p, "T", l, 72);
    }
    chan::rewind(13);
    ASSERT_EQ(chan::open(11, "run.out", chan::Status::Replace), 0);
    std::string date, time;
    int ierr = 0;
    OPHEAD(date, time, ierr);
    EXPECT_EQ(ierr, 1);
    EXPECT_NE(screen.str().find("Error reading header from P2F file "), std::string::npos);
}

}  // namespace
}  // namespace zorva::test
