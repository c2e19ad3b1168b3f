// The check before the solve (CHKCARRY) and the .p2f reader hold the same
// records to the same rule: a real of a bounded table beyond 1.E10 is
// refused by both, the check naming the body and the panel or patch (or the
// input, or the item), the reader the record and the item; the unbounded
// hydrostatic and tank tables take such a value and refuse only a NaN.  An
// integer of the header, the geometry counts or the tables outside its range,
// and items at odds with each other, are refused by both as the reader
// names them.
#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "common/channels.hpp"
#include "p2f/p2f.hpp"
#include "p2f/p2flayout.hpp"
#include "tests/p2f/p2fmodel.hpp"
#include "tests/support/testdir.hpp"

namespace zorva::test {
namespace {

// Two bodies of three low-order panels each (panel 5 is panel 2 of body 2),
// the four-point rule and a tank.
ModelDesc low() {
    ModelDesc s;
    s.nbody = 2;
    s.neqn = 6;
    s.iquad = 1;
    s.ntanks = 1;
    return s;
}

// The higher-order model (high_trimmed): points 1-8 on patch 1 (body 1),
// 9-11 on patch 2, 12-13 on patch 3 (patch 1 of body 2, a geometry-model
// body), 14-15 on patch 4 (patch 1 of body 1 again).
ModelDesc high() { return high_trimmed(); }

class CarryCheck : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        reset_all();
    }

    // The check before the solve: its status, its message in `said`.
    int check() {
        screen.str("");
        int ierr = 0;
        CHKCARRY(ierr);
        said = screen.str();
        return ierr;
    }

    // The model as the writer lays it down, read back: the reader's status,
    // its message in `said`.
    int write_and_read() {
        EXPECT_EQ(chan::open(13, "run.p2f", chan::Status::Replace, chan::Form::Unformatted), 0);
        p2f::Pass w(p2f::Pass::Dir::Write, 13);
        float ver = p2f::VERSION;
        p2f::lay_version(w, ver);
        p2f::lay_header(w);
        if (cfg::ILOWHI == 1) p2f::lay_gxcounts(w);
        p2f::lay_bulk(w);
        EXPECT_TRUE(w.ok()) << w.id();
        chan::close(13);
        reset_all();
        fnames::FILEP2F = "run.p2f";
        EXPECT_EQ(chan::open(13, "run.p2f", chan::Status::Old, chan::Form::Unformatted), 0);
        screen.str("");
        int ierr = 0;
        RDP2FH(13, ierr);
        if (ierr == 0) RDP2F(13, ierr);
        chan::close(13);
        said = screen.str();
        return ierr;
    }

    std::string said;
};

TEST_F(CarryCheck, CheckAndReaderRefuseTheSameValues) {
    using namespace model;
    using namespace pnl;
    const std::string panel = " Error in GDF file body2.gdf, body 2, panel 2: ";
    const std::string point3 = " Error in GDF file, body 2 (body2.gdf), patch 1 of its geometry model: ";
    const std::string beyond = " beyond 1.E10 or not finite";
    struct Row {
        const char* record;
        const char* item;
        bool high;
        std::function<float&()> at;
        std::string check;  // what the check says
        bool bounded = true;
    };
    const std::vector<Row> rows = {
        // The header: the depth (in units of ULEN) named as the potential
        // control file gives it, gravity as the item.
        {"7", "HBOT", false,
         []() -> float& {
             fnames::FILEPOT = "box.pot";
             return HBOT;
         },
         " Error in POT file box.pot: water depth HBOT beyond 1.E10 x ULEN or not finite"},
        {"7", "GRAV", true, []() -> float& { return GRAV; }, "item GRAV, index 1 (record 7):"},
        // Body, period and heading tables: named as the item, with the
        // last index of the element (the body, period, heading or tank).
        {"B3", "ULEN", false, []() -> float& { return ULEN(2); }, "cannot carry item ULEN, index 2 (record B3):"},
        {"B9", "XBODY", false, []() -> float& { return cfg::XBODY(1, 2); }, "item XBODY, index 2 (record B9):"},
        {"B10", "CSPHIB", false, []() -> float& { return CSPHIB(2, 1); }, "item CSPHIB, index 1 (record B10):"},
        {"B11", "XTRIM", true, []() -> float& { return cfg::XTRIM(1, 2); }, "item XTRIM, index 2 (record B11):"},
        {"B12", "TRIMCS", true, []() -> float& { return TRIMCS(4, 2); }, "item TRIMCS, index 2 (record B12):"},
        {"B15", "PER", false, []() -> float& { return PER(2); }, "item PER, index 2 (record B15):"},
        {"B15", "WNUMK", false, []() -> float& { return WNUMK(1); }, "item WNUMK, index 1 (record B15):"},
        {"B15", "WNUMNU", false, []() -> float& { return WNUMNU(2); }, "item WNUMNU, index 2 (record B15):"},
        {"B16", "BETA", false, []() -> float& { return BETA(2); }, "item BETA, index 2 (record B16):"},
        {"B16", "SINBETA", false, []() -> float& { return SINBETA(1); }, "item SINBETA, index 1 (record B16):"},
        {"B16", "COSBETA", false, []() -> float& { return COSBETA(2); }, "item COSBETA, index 2 (record B16):"},
        {"B20", "ZTANKFS", false, []() -> float& { return cfg::ZTANKFS(1); }, "item ZTANKFS, index 1 (record B20):"},
        // Low-order panel tables: named as the panel of its body's file.
        {"L1", "PNLARR6", false, []() -> float& { return PNLARR6(1, 5); }, panel + "vertices in the panel's plane" + beyond},
        {"L2", "PNLARR5", false, []() -> float& { return PNLARR5(4, 5); }, panel + "vertices in the panel's plane" + beyond},
        {"L3", "PCENT", false, []() -> float& { return PCENT(1, 5); }, panel + "centroid" + beyond},
        {"L4", "PAXES", false, []() -> float& { return PAXES(3, 3, 5); }, panel + "axes" + beyond},
        {"L5", "PPROP", false, []() -> float& { return PPROP(13, 5); },
         panel + "area or area moments" + beyond + " (area moments beyond 1.E10 in units of ULEN, as of a square "
                 "panel more than about 75 x ULEN on a side: give a larger ULEN or smaller panels)"},
        {"L6", "PNLARR4", false, []() -> float& { return PNLARR4(2, 5); }, panel + "side lengths" + beyond},
        {"L7", "XVERG", false, []() -> float& { return XVERG(4, 3, 5); }, panel + "quadrature points" + beyond},
        {"L8", "PNLARR2", false, []() -> float& { return PNLARR2(1, 5); }, panel + "quadrature weights" + beyond},
        {"L9", "PNLARR1", false, []() -> float& { return PNLARR1(2, 2, 5); },
         panel + "moments of the quadrature points" + beyond},
        {"L10", "VNMODE", false, []() -> float& { return VNMODE(12, 5); }, panel + "modal normals" + beyond},
        {"L11", "PNLARR3", false, []() -> float& { return PNLARR3(2, 5); }, panel + "size" + beyond},
        // Higher-order tables of the patches: the trimming, flat-patch,
        // geometry B-spline and basis tables named as the item (the patch,
        // or the place of a scalar among those of its name in the record).
        {"P5", "TRMRNG1", true, []() -> float& { return TRMRNG1(4, 3); }, "item TRMRNG1, index 3 (record P5):"},
        {"P6", "TRMRNG2", true, []() -> float& { return TRMRNG2(1, 2); }, "item TRMRNG2, index 2 (record P6):"},
        {"P7", "TRMMAP1", true, []() -> float& { return TRMMAP1(2, 3); }, "item TRMMAP1, index 3 (record P7):"},
        {"P8", "TRMMAP2", true, []() -> float& { return TRMMAP2(1, 1); }, "item TRMMAP2, index 1 (record P8):"},
        {"P9", "TRMMAP3", true, []() -> float& { return TRMMAP3(2, 2); }, "item TRMMAP3, index 2 (record P9):"},
        {"P10", "TRMMAP4", true, []() -> float& { return TRMMAP4(1, 3); }, "item TRMMAP4, index 3 (record P10):"},
        {"P12", "XVER", true, []() -> float& { return XVER(4, 3, 3); }, "item XVER, index 3 (record P12):"},
        // Knots of patch 2 follow the 6 of patch 1 (NUG + KUG).
        {"P14", "UKNOTG", true, []() -> float& { return UKNOTG(2, 2); }, "item UKNOTG, index 8 (record P14):"},
        {"P14", "VKNOTG", true, []() -> float& { return VKNOTG(1, 1); }, "item VKNOTG, index 1 (record P14):"},
        {"P15", "GEOPAR1", true, []() -> float& { return GEOPAR1(2, 2); }, "item GEOPAR1, index 4 (record P15):"},
        {"P15", "GEOPAR2", true, []() -> float& { return GEOPAR2(1, 1); }, "item GEOPAR2, index 1 (record P15):"},
        {"P16", "XCOEFG", true, []() -> float& { return XCOEFG(3, 14); }, "item XCOEFG, index 14 (record P16):"},
        // Quadrature points: named as the patch they lie on.
        {"P18", "XQP", true, []() -> float& { return XQP(1, 12); }, point3 + "quadrature point" + beyond},
        {"P18", "XQP", true, []() -> float& { return XQP(2, 15); },
         " Error in GDF file, body 1 (body1.gdf), patch 1: quadrature point" + beyond},
        {"P19", "ENQP", true, []() -> float& { return ENQP(2, 13); }, point3 + "normal" + beyond},
        {"P20", "WQP", true, []() -> float& { return WQP(12); }, point3 + "surface Jacobian" + beyond},
        {"P21", "VNQP", true, []() -> float& { return VNQP(12, 13); }, point3 + "modal normals" + beyond},
        {"P22", "HOTAB1", true, []() -> float& { return HOTAB1(7, 4); }, "item HOTAB1, index 4 (record P22):"},
        {"P22", "HOTAB2", true, []() -> float& { return HOTAB2(1, 1); }, "item HOTAB2, index 1 (record P22):"},
        {"P22", "HOTAB3", true, []() -> float& { return HOTAB3(2, 2); }, "item HOTAB3, index 2 (record P22):"},
        {"P22", "HOTAB4", true, []() -> float& { return HOTAB4(1, 3); }, "item HOTAB4, index 3 (record P22):"},
        {"P22", "HOTAB5", true, []() -> float& { return HOTAB5(3, 4); }, "item HOTAB5, index 4 (record P22):"},
        {"P22", "HOTAB6", true, []() -> float& { return HOTAB6(1, 1); }, "item HOTAB6, index 1 (record P22):"},
        {"P22", "HOTAB7", true, []() -> float& { return HOTAB7(9, 2, 2); }, "item HOTAB7, index 2 (record P22):"},
        {"P22", "HOTAB8", true, []() -> float& { return HOTAB8(4, 1, 3); }, "item HOTAB8, index 3 (record P22):"},
        // Hydrostatic and tank tables, whose moments grow with the fourth
        // power of the length: unbounded, finite.
        {"B14", "VOLXYZ", false, []() -> float& { return VOLXYZ(3, 2); }, "item VOLXYZ, index 6 (record B14):", false},
        {"B14", "VOLB", false, []() -> float& { return VOLB(2); }, "item VOLB, index 2 (record B14):", false},
        {"B14", "XBUOY", false, []() -> float& { return XBUOY(1, 2); }, "item XBUOY, index 4 (record B14):", false},
        {"B14", "CHYD", false, []() -> float& { return CHYD(3, 5); }, "item CHYD, index 5 (record B14):", false},
        {"B22", "CTANK", false, []() -> float& { return cfg::CTANK(9, 1); }, "item CTANK, index 1 (record B22):", false},
        {"B23", "VOLTANK", false, []() -> float& { return cfg::VOLTANK(3, 1); }, "item VOLTANK, index 1 (record B23):",
         false},
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.record) + " " + r.item);
        const std::string fault = "File run.p2f, record " + std::string(r.record) + ", item " + r.item + ": ";
        // Beyond the bound: refused by both where bounded, else taken.
        reset_all();
        build_model(r.high ? high() : low());
        r.at() = 2.0e10f;
        EXPECT_EQ(check(), r.bounded ? 1 : 0);
        if (r.bounded) {
            EXPECT_NE(said.find(r.check), std::string::npos) << said;
        }
        EXPECT_EQ(write_and_read(), r.bounded ? 1 : 0);
        if (r.bounded) {
            EXPECT_NE(said.find(fault), std::string::npos) << said;
            continue;
        }
        // A NaN in an unbounded table.
        reset_all();
        build_model(r.high ? high() : low());
        r.at() = nan;
        EXPECT_EQ(check(), 1);
        EXPECT_NE(said.find(r.check), std::string::npos) << said;
        EXPECT_EQ(write_and_read(), 1);
        EXPECT_NE(said.find(fault), std::string::npos) << said;
        EXPECT_NE(said.find("not a finite number"), std::string::npos) << said;
    }
    // The models as built pass both.
    for (const ModelDesc& s : {low(), high()}) {
        reset_all();
        build_model(s);
        EXPECT_EQ(check(), 0) << said;
        EXPECT_EQ(write_and_read(), 0) << said;
    }
}

// An integer outside the range the reader takes, or items at odds with each
// other, in the header, the geometry counts or the tables: the check refuses
// it as the reader does, with the reader's words (worked from the model by
// hand: NPATCHT is 4, NEQN 6, NMODT 12).
TEST_F(CarryCheck, CheckAndReaderRefuseTheSameCountsAndRelations) {
    using namespace model;
    struct Row {
        const char* name;
        bool high;
        std::function<void()> damage;
        const char* fault;  // what both say
    };
    const std::vector<Row> rows = {
        {"ITRIMWL negative", false, [] { cfg::ITRIMWL = -1; }, "record 2, item ITRIMWL: -1 outside 0 .. 16777216"},
        {"a wave maker beyond the bodies", false, [] { cfg::IBODY_WAVEMAKER = 3; },
         "record 2, item IBODY_WAVEMAKER: beyond the bodies"},
        {"more solved modes than modes", false, [] { sym::NSOLC = 13; },
         "record 2, item NSOLC: more solved modes than modes"},
        {"an untrimmed higher-order body with more patches than the run", true,
         [] {
             cfg::ITRIMWL = 0;
             NPATCH(2) = 5;
         },
         "record G2, item NPATCH: element 2, 5 outside 0 .. 4"},
        {"a reflection flag", false, [] { IREFLB(2, 2) = 2; }, "record B13, item IREFLB: element 4, 2 outside 0 .. 1"},
        {"the modes of body 2 not after those of body 1", false, [] { IBMOD(2) = 5; },
         "record B7, item IBMOD: not the modes of the bodies before body 2"},
        {"more panels than NEQN", false, [] { NPANB(1) = 6; }, "record B5, item NPANB: more panels than NEQN"},
        {"a side length not the distance of its vertices", false, [] { pnl::PNLARR4(2, 5) += 1.0f; },
         "record L1, item PNLARR6: vertices of panel 5 not at the lengths of its sides"},
        {"a patch's body beyond the bodies", true, [] { IBPTH(3) = 3; },
         "record P2, item IBPTH: element 3, 3 outside 1 .. 2"},
        {"a basis not of its order and intervals", true, [] { NBV(2) = 2; },
         "record P1, item NBV: basis of patch 2 not of its order and intervals"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        reset_all();
        build_model(r.high ? high() : low());
        r.damage();
        EXPECT_EQ(check(), 1);
        EXPECT_NE(said.find(" Error before the solve: the .p2f file cannot carry " + std::string(r.fault)),
                  std::string::npos)
            << said;
        EXPECT_EQ(write_and_read(), 1);
        EXPECT_NE(said.find("File run.p2f, " + std::string(r.fault)), std::string::npos) << said;
    }
}

// The check walks every record and item that the writer lays down, byte
// for byte, when the tables are all made; a table the walk would have to
// make ends it without a refusal.
TEST_F(CarryCheck, WalksWhatTheWriterWrites) {
    for (const ModelDesc& s : {low(), high()}) {
        SCOPED_TRACE(s.ilowhi);
        reset_all();
        build_model(s);
        std::vector<std::pair<std::string, std::size_t>> written, walked;
        EXPECT_EQ(chan::open(13, "run.p2f", chan::Status::Replace, chan::Form::Unformatted), 0);
        p2f::Pass w(p2f::Pass::Dir::Write, 13);
        w.lengths = &written;
        p2f::lay_bulk(w);
        chan::close(13);
        p2f::Pass c(p2f::Pass::Dir::Check, 13);
        c.lengths = &walked;
        p2f::lay_bulk(c);
        EXPECT_TRUE(w.ok() && c.ok());
        EXPECT_GT(written.size(), 20u);
        EXPECT_EQ(walked, written);
    }
    // The quadrature points' modal normals not made yet: P21 and after
    // are not walked, nothing is refused, nothing is made.
    reset_all();
    build_model(high());
    model::VNQP.deallocate();
    model::HOTAB1(1, 1) = std::numeric_limits<float>::infinity();
    std::vector<std::pair<std::string, std::size_t>> walked;
    p2f::Pass c(p2f::Pass::Dir::Check, 13);
    c.lengths = &walked;
    p2f::lay_bulk(c);
    EXPECT_TRUE(c.ok());
    EXPECT_FALSE(model::VNQP.allocated());
    ASSERT_FALSE(walked.empty());
    EXPECT_EQ(walked.back().first, "P20");
}

}  // namespace
}  // namespace zorva::test
