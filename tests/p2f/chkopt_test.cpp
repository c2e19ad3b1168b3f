// The output option checks as a table: run and options in, messages,
// status and options out.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "common/channels.hpp"
#include "p2f/forceprep.hpp"
#include "tests/p2f/p2fmodel.hpp"
#include "tests/support/testdir.hpp"

namespace zorva::test {
namespace {

using V = std::vector<std::string>;
using Opt = std::array<int, 10>;

struct Case {
    const char* name;
    Opt in;
    std::function<void()> run;  // changes to the default run
    int ierr;
    V msgs;
    Opt out;  // {} : as in
};

class ChkoptTest : public TempDirTest {};

// Default run: one low-order body of two panels, source formulation,
// radiation and diffraction, two headings, infinite depth, one field point.
void default_run() {
    reset_all();
    cfg::NBODY = 1;
    model::IRAD = 1;
    model::IDIFF = 1;
    model::NBETA = 2;
    model::HBOT = -1.0f;
    cfg::ISOR = 1;
    cfg::ISOLVE = 1;
    cfg::ILOWHI = 0;
    sym::NSYMC = sym::NSYMF = 1;
    model::ULEN.allocate(1);
    model::ULEN(1) = 2.0f;
    cfg::NEWMDS.allocate(1);
    model::NPANB.allocate(1);
    model::NPANB(1) = 2;
    pnl::IPFLAG.allocate(2);
    frc::NFIELD = 1;
    frc::XFIELD.allocate(3, 1);
    frc::XFIELD(3, 1) = -1.0f;
    frc::IFPTANK.allocate(1);
}

TEST_F(ChkoptTest, Table) {
    auto field = [](std::vector<float> z) {
        return [z] {
            frc::NFIELD = static_cast<int>(z.size());
            frc::XFIELD.allocate(3, frc::NFIELD);
            frc::IFPTANK.allocate(frc::NFIELD);
            for (int n = 1; n <= frc::NFIELD; ++n) frc::XFIELD(3, n) = z[static_cast<std::size_t>(n - 1)];
        };
    };
    auto none = [] {};
    const std::vector<Case> cases = {
        {"accepted", {0, 1, 1, 1, 1, 3, 1, 1, 1, 1}, none, 0, {}, {}},
        {"only a mode list for option 4", {0, 0, 0, 0, -1, 0, 0, 0, 0, 0}, none, 1,
         {" All option indices IOPTN = 0"}, {}},
        {"ranges: -3 accepted, -4 refused", {0, 2, 0, 0, -4, 4, 3, 0, 0, 3}, none, 1,
         {" Illegal option index IOPTN(I), I=1", " Illegal option index IOPTN(I), I=4",
          " Illegal option index IOPTN(I), I=5", " Illegal option index IOPTN(I), I=6",
          " Illegal option index IOPTN(I), I=9"},
         {}},
        {"negative control-surface switch refused", {0, 0, 0, 0, 0, 0, 0, 0, 0, 1}, [] { cfg::ICTRSURF = -1; }, 1,
         {" Illegal value of ICTRSURF =     -1"}, {}},
        {"mode list -3 accepted", {0, 1, 0, 0, -3, 0, 0, 0, 0, 0}, none, 0, {}, {}},
        {"largest integers refused, not summed", {0, 2147483647, 0, 0, 0, 2147483647, 0, 0, 0, 0}, none, 1,
         {" Illegal option index IOPTN(I), I=1", " Illegal option index IOPTN(I), I=5"}, {}},
        {"option 2 without radiation or headings", {0, 0, 1, 0, 0, 0, 0, 0, 0, 0},
         [] { model::IRAD = -1; model::NBETA = 0; }, 1,
         {" Option 2 inconsistent with value of IRAD", " Option 2 inconsistent with NBETA"}, {}},
        {"option 2, no headings, wavemaker modes", {0, 0, 1, 0, 0, 0, 0, 0, 0, 0},
         [] { model::IRAD = -1; model::NBETA = 0; frc::NMODWM = 6; }, 1,
         {" Option 2 inconsistent with value of IRAD"}, {}},
        {"option 3 without headings even with wavemaker modes", {0, 0, 0, 1, 0, 0, 0, 0, 0, 0},
         [] { model::NBETA = 0; frc::NMODWM = 6; }, 1, {" Option 3 inconsistent with NBETA"}, {}},
        {"options 1, 3, 4 against the switches", {0, 1, 0, 1, 1, 0, 0, 0, 0, 0},
         [] { model::IRAD = -1; model::IDIFF = -1; }, 1,
         {" Option 1 inconsistent with value of IRAD", " Option 3 inconsistent with value of IDIFF",
          " Option 4 inconsistent with value of IRAD"},
         {}},
        {"option 4 = 2 never meets the heading test", {0, 0, 0, 0, 2, 0, 0, 0, 0, 0},
         [] { model::NBETA = 0; model::IDIFF = -1; }, 1, {" Option 4 inconsistent with value of IDIFF"}, {}},
        {"option 4 = 1 without headings", {0, 0, 0, 0, 1, 0, 0, 0, 0, 0}, [] { model::NBETA = 0; }, 1,
         {" Option 4 inconsistent with NBETA"}, {}},
        {"non-physical IDIFF", {0, 0, 0, 0, 0, 1, 0, 0, 0, 0}, [] { model::IDIFF = 0; sym::NSYMF = 2; }, 0,
         {" Warning : Non-physical setting of IDIFF for IOPTN(5:9) ", "           See User Manual Section 10.1 "},
         {}},
        {"field options without points", {0, 0, 0, 0, 0, 0, 1, 0, 0, 0}, [] { frc::NFIELD = 0; }, 1,
         {"Options 6 or 7 require NFIELD greater than zero"}, {}},
        {"momentum drift with a wall", {0, 0, 0, 0, 0, 0, 0, 0, 1, 0}, [] { model::ISY = -1; }, 1,
         {" Momentum drift forces cannot be evaluated with walls"}, {}},
        {"potential formulation refuses the velocity options", {0, 0, 0, 0, 0, 2, 2, 2, 0, 1},
         [] { cfg::ISOR = 0; }, 1,
         {"Velocity on body requires source method with ISOR=1", "IOPTN(6)=2 requires source method with ISOR=1",
          "IOPTN(7)=2 requires source method with ISOR=1", "IOPTN(9) > 0 requires source method with ISOR=1"},
         {}},
        {"pressure drift warnings per body", {0, 0, 0, 0, 0, 0, 0, 0, 0, 1},
         [] {
             cfg::NBODY = 2;
             cfg::NEWMDS.allocate(2);
             cfg::NEWMDS(1) = 1;
             model::NPANB.allocate(2);
             model::NPANB(1) = 1;
             model::NPANB(2) = 1;
             pnl::IPFLAG(2) = 1;
             cfg::IDIPOLE = 1;
         },
         0,
         {"Warning:pressure mean force skipped due to NEWMDS>0 for body=1",
          "Warning:pressure mean force skipped due to IFSPAT=1 on body=2",
          "Warning:Pressure mean force not physical with dipole patches"},
         {}},
        {"higher-order interior free-surface patch", {0, 0, 0, 0, 0, 0, 0, 0, 0, 1},
         [] {
             cfg::ILOWHI = 1;
             model::IPSTART.allocate(1);
             model::IPSTART(1) = 1;
             model::NPATCHB.allocate(1);
             model::NPATCHB(1) = 2;
             model::IFSPAT.allocate(2);
             model::IFSPAT(2) = 1;
         },
         0, {"Warning:pressure mean force skipped due to IFSPAT=1 on body=1"}, {}},
        // Depth value z = XFIELD(3) / ULEN(1), ULEN(1) = 2.
        {"field point on the bound is accepted", {0, 0, 0, 0, 0, 0, 1, 0, 0, 0}, field({2.0e-4f}), 0, {}, {}},
        {"two bad field points", {0, 0, 0, 0, 0, 0, 1, 0, 0, 0}, field({1.0f, -1.0f, 0.5f}), 1,
         {" Field point above free surface, N=1", " Field point above free surface, N=3"}, {}},
        {"finite depth 10: -10.00005 accepted, -10.001 refused", {0, 0, 0, 0, 0, 0, 0, 1, 0, 0},
         [&] {
             field({-20.0001f, -20.002f})();
             model::HBOT = 10.0f;
         },
         1, {" Field point below bottom, N=2"}, {}},
        {"depth 0 is infinite", {0, 0, 0, 0, 0, 0, 0, 1, 0, 0},
         [&] {
             field({-1.0e6f})();
             model::HBOT = 0.0f;
         },
         0, {}, {}},
        {"field point in a tank", {0, 0, 0, 0, 0, 0, 1, 0, 0, 0},
         [&] {
             field({-0.4f})();
             frc::IFPTANK(1) = 1;
             cfg::NTANKS = 1;
             cfg::ZTANKFS.allocate(1);
             cfg::ZTANKFS(1) = -0.5f;
             cfg::ITANKB.allocate(1);
             cfg::ITANKB(1) = 1;
             cfg::XBODY.allocate(4, 1);
         },
         1, {" Field point above free surface, N=1"}, {}},
        {"higher order resets the source options", {0, 0, 0, 0, 0, 0, 2, 2, 0, 0}, [] { cfg::ILOWHI = 1; }, 0,
         {" WARNING:IOPTN(6)=2 illegal for ILOWHI=1 and reset to 1",
          " WARNING:IOPTN(7)=2 illegal for ILOWHI=1 and reset to 1"},
         {0, 0, 0, 0, 0, 0, 1, 1, 0, 0}},
        {"low order refuses IOPTN(6)=2 without sources", {0, 0, 0, 0, 0, 0, 2, 0, 0, 0}, [] { cfg::ISOR = 0; }, 1,
         {"IOPTN(6)=2 requires source method with ISOR=1"}, {}},
        {"velocity on dipole patches", {0, 0, 0, 0, 0, 2, 0, 0, 0, 0}, [] { cfg::IDIPOLE = 1; }, 0,
         {" Warning: Fluid velocity on dipole patches is non-physical"}, {}},
        {"nothing solved", {0, 1, 0, 0, 1, 0, 1, 0, 0, 0}, [] { cfg::ISOLVE = -1; }, 0,
         {" WARNING: IOPTN(I) reset to 0 for I=1", " WARNING: IOPTN(I) reset to 0 for I=4"},
         {0, 0, 0, 0, 0, 0, 1, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        default_run();
        c.run();
        run::IOPTN = c.in;
        screen.str("");
        int ierr = -1;
        CHKOPT(ierr);
        EXPECT_EQ(ierr, c.ierr);
        V got;
        std::istringstream in(screen.str());
        for (std::string l; std::getline(in, l);)
            if (!l.empty()) got.push_back(l.substr(1));
        EXPECT_EQ(got, c.msgs);
        EXPECT_EQ(run::IOPTN, c.out == Opt{} ? c.in : c.out);
    }
}

}  // namespace
}  // namespace zorva::test
