// FORCE-only runs of the program on a damaged POTEN-to-FORCE file of the
// higher-order hemisphere (examples/hohemi) and of the low-order box with a
// control surface (examples/boxcsf): a count, an index, a switch or a mode
// number out of its range, a NaN, an infinity or a huge value among the
// reals, panel tables that disagree, or a file cut short ends the run with
// status 1 and a message that names the file, the record and the item; the
// undamaged file still gives the example's results.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "tests/support/testdir.hpp"

namespace zorva::test {
namespace {

class P2FDamage : public TempDirTest {
protected:
    // Runs the program in the working directory: its exit status (-1 when
    // it did not end normally) and the screen output in `out`.
    int run() {
        for (const char* e : {".out", ".1", ".2", ".3", ".4", ".8", ".9", ".9c", ".hst"})
            std::remove((stem + e).c_str());
        return run_program(".", out);
    }
    std::string out;
    std::string stem = "hohemi";  // of the example's files
};

// Offset of the data of record r of a file, from its framing: 1-based, or
// counted back from the last record (-1) when negative.
std::size_t data_at(const std::string& file, int r) {
    std::vector<std::size_t> starts;
    for (std::size_t pos = 0; pos + 4 <= file.size();) {
        std::uint32_t len = 0;
        std::memcpy(&len, file.data() + pos, 4);
        starts.push_back(pos + 4);
        pos += 8 + len;
    }
    return starts.at(static_cast<std::size_t>(r > 0 ? r - 1 : static_cast<int>(starts.size()) + r));
}

std::string i32(std::int32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); }
std::string f32(float v) { return std::string(reinterpret_cast<const char*>(&v), 4); }

TEST_F(P2FDamage, RefusedWithRecordAndItem) {
    copy_example("hohemi");
    ASSERT_EQ(run(), 0) << out;
    const std::string good = read_file("hohemi.p2f");
    const std::string expected1 = read_file("hohemi.1");
    write_file("hohemi.cfg", read_file("hohemi.cfg") + "IPOTEN=0\n");

    // Records of this file (1-based, in file order): 2, 3 header counts;
    // 8 NPATCHT; 11 the spline maxima; 13-16 G1-G4; 27 B15 (periods);
    // 29 B17 (mode order); 32 P1 (KU KV NU NV NBU NBV IQUI IQVI of the 4
    // patches); 33 P2 (IBPTH of the patches, then the body tables); 35 P11
    // (NPANT); 37 P18 (quadrature points); 39 P20 (their weights); 46 P22
    // (knots and Gauss rules of the patches); the last two, the radiation and
    // the diffraction potentials of the last period.
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    struct Case {
        const char* what;
        std::size_t at;  // byte offset, or 0: `off` bytes into the data of record `rec`
        int rec, off;
        std::string bytes;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"NBV of patch 2 huge", 1160, 0, 0, i32(100000), "record P1, item NBV"},
        {"IBPTH of patch 2 negative", 1216, 0, 0, i32(std::numeric_limits<std::int32_t>::min()),
         "record P2, item IBPTH: element 2, -2147483648 outside 1 .. 1"},
        {"spline order beyond the basis routine", 0, 11, 8, i32(17), "record 11, item MAXKU"},
        {"order of patch 1 zero", 0, 32, 0, i32(0), "record P1, item NBU"},
        {"spans of patch 3 beyond MAXNU", 0, 32, 40, i32(5), "record P1, item NU"},
        {"quadrature order beyond the rule", 0, 32, 96, i32(99), "record P1, item IQUI"},
        {"patch count of the body", 0, 14, 0, i32(7), "record G2, item NPATCH"},
        {"patch total zero", 0, 8, 0, i32(0), "record 8, item NPATCHT"},
        {"mode at a solution position", 0, 29, 4, i32(99), "record B17, item IMODORD"},
        {"more periods than stored", 0, 3, 16, i32(100000), "record B15, item PER"},
        {"negative heading count", 0, 3, 20, i32(-1), "record 3, item NBETA"},
        {"more bodies than modes", 0, 2, 4, i32(5), "record 2, item NMODT"},
        {"panel count negative", 0, 35, 0, i32(-1), "record P11, item NPANT"},
        {"NaN quadrature point", 0, 37, 40, f32(nan), "record P18, item XQP: element 11, not a finite number"},
        {"mode count beyond the force tables", 0, 2, 12, i32(100000), "record 2, item NMODT"},
        {"point far above the free surface", 0, 37, 8, f32(4089.9f),
         "record P18, item XQP: point 1 above the free surface or below the bottom"},
        {"knot out of order", 0, 46, 16, f32(-5.0f), "record P22, item HOTAB1: knots of patch 1 not ascending"},
        {"huge quadrature weight", 0, 39, 0, f32(-1.0e30f), "record P20, item WQP: element 1, beyond any stored value"},
        {"infinite potential", 0, -2, 8, f32(inf), "record S, item RADPOT: element 2, not a finite number"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string b = good;
        const std::size_t at = c.at ? c.at : data_at(good, c.rec) + static_cast<std::size_t>(c.off);
        b.replace(at, c.bytes.size(), c.bytes);
        write_file("hohemi.p2f", b);
        EXPECT_EQ(run(), 1) << out;
        EXPECT_NE(out.find("File hohemi.p2f, " + std::string(c.message)), std::string::npos) << out;
    }
    // Cut short: inside the header, the patch tables and the last period.
    for (std::size_t cut : {std::size_t{30}, std::size_t{1200}, good.size() - 5}) {
        SCOPED_TRACE(cut);
        write_file("hohemi.p2f", good.substr(0, cut));
        EXPECT_EQ(run(), 1) << out;
        EXPECT_NE(out.find("File hohemi.p2f, record "), std::string::npos) << out;
    }
    // The file as written gives the results of both stages.
    write_file("hohemi.p2f", good);
    ASSERT_EQ(run(), 0) << out;
    EXPECT_EQ(read_file("hohemi.1"), expected1);
}

TEST_F(P2FDamage, LowOrderSwitchesAndPanelTables) {
    // The box with its control surface at the one period 2.5 s.
    stem = "box";
    copy_example("boxcsf");
    std::string pot = read_file("box.pot");
    for (const auto& [from, to] : {std::pair<std::string, std::string>{" 3                   NPER", " 1  NPER"},
                                   {" 2.  2.5  3.         PER (s)", " 2.5  PER"}}) {
        const std::size_t at = pot.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        pot.replace(at, from.size(), to);
    }
    write_file("box.pot", pot);
    ASSERT_EQ(run(), 0) << out;
    const std::string good = read_file("box.p2f");
    write_file("box.cfg", read_file("box.cfg") + "IPOTEN=0\n");

    // Records: 2 (NEQN NBODY NSOLC NMODT IBODY_WAVEMAKER ...), 6 (ISOR IQUAD
    // ILOG IDIAG ISOLVE ISCATT ...), 10 B3 (ULEN, the body length), 25 L1 (x
    // of the vertices of the 80 panels in their planes, four a panel).
    struct Case {
        const char* what;
        int rec, off;
        std::string bytes;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"ISCATT far out", 6, 20, i32(std::numeric_limits<std::int32_t>::min()),
         "record 6, item ISCATT: -2147483648 outside 0 .. 1"},
        {"ISOLVE below -1", 6, 16, i32(-2), "record 6, item ISOLVE: -2 outside -1 .. 16777216"},
        {"wavemaker body negative", 2, 16, i32(-1), "record 2, item IBODY_WAVEMAKER: -1 outside 0 .. 16777216"},
        {"wavemaker body beyond the bodies", 2, 16, i32(2), "record 2, item IBODY_WAVEMAKER: beyond the bodies"},
        // The geometry file's rule: no body length below 1.E-05, here the
        // smallest denormal (of 1.0), which would make every length of the
        // force control file huge.
        {"body length a denormal", 10, 0, i32(1), "record B3, item ULEN: length of body 1 less than 1.E-05"},
        {"two vertices of panel 39 moved (no longer at its side lengths)", 25, 612,
         std::string("\x01\0\0\0\0\0\0\0", 8),
         "record L1, item PNLARR6: vertices of panel 39 not at the lengths of its sides"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string b = good;
        b.replace(data_at(good, c.rec) + static_cast<std::size_t>(c.off), c.bytes.size(), c.bytes);
        write_file("box.p2f", b);
        EXPECT_EQ(run(), 1) << out;
        EXPECT_NE(out.find("File box.p2f, " + std::string(c.message)), std::string::npos) << out;
    }
    write_file("box.p2f", good);
    EXPECT_EQ(run(), 0) << out;
}

}  // namespace
}  // namespace zorva::test
