// Internal-tank hydrostatics and the external RAO file.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "common/channels.hpp"
#include "common/freeread.hpp"
#include "p2f/forceprep.hpp"
#include "tests/p2f/p2fmodel.hpp"
#include "tests/support/testdir.hpp"

namespace zorva::test {
namespace {

class TankTest : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        reset_all();
        cfg::NBODY = 2;
        model::NMODT = 12;
        cfg::NEWMDS.allocate(2);
        cfg::IALTFRCN.allocate(2);
        cfg::IALTFRCN(1) = 1;
        cfg::IALTFRCN(2) = 2;
        model::ULEN.allocate(2);
        model::ULEN(1) = 2.0f;
        pnl::CHYD.allocate(12, 12);
        pnl::VOLB.allocate(2);
        pnl::VOLB(1) = 8.0f;
        pnl::VOLB(2) = 5.0f;
        frc::EXTMATND.allocate(3, 12, 12);
        frc::EXTMATND.fill(1.0f);
        frc::VMOMB.allocate(2, 2);
        frc::VMOMB(1, 1) = 4.0f;
        frc::CGBODY.allocate(3, 2);
        frc::CGBODY(3, 1) = -1.0f;
        frc::CGBODY(1, 2) = 7.0f;
        frc::CZ33.allocate(2);
        frc::CZ34.allocate(2);
        frc::CZ35.allocate(2);
        cfg::NTANKS = 2;
        cfg::ITANKB.allocate(2);
        cfg::ITANKB(1) = 1;
        cfg::ITANKB(2) = 2;
        cfg::RHOTANK.allocate(2);
        cfg::RHOTANK(1) = 1.0f;
        cfg::RHOTANK(2) = 2.0f;
        cfg::ZTANKFS.allocate(2);
        cfg::ZTANKFS(1) = 0.5f;
        cfg::CTANK.allocate(9, 2);
        for (int k = 1; k <= 9; ++k) {
            cfg::CTANK(k, 1) = static_cast<float>(k);
            cfg::CTANK(k, 2) = 1.0f;
        }
        cfg::VOLTANK.allocate(3, 2);
        cfg::VOLTANK(1, 1) = 1.0f;  // median of 1, 3, 2: 2
        cfg::VOLTANK(2, 1) = 3.0f;
        cfg::VOLTANK(3, 1) = 2.0f;
    }
};

// Body 1 (mass from its displacement 8) holds tank 1 (density 1, fluid
// mass 2): its mass block is scaled by 1 - 2/8; body 2 (second layout)
// holds tank 2.  Values worked out by hand from the tank coefficients.
TEST_F(TankTest, TermsOfEachBody) {
    int ierr = 0;
    TANKHYD(2, 2, ierr);
    ASSERT_EQ(ierr, 0);
    auto C = [](int i, int j) { return pnl::CHYD(i, j); };
    EXPECT_FLOAT_EQ(C(3, 3), 1.0f);
    EXPECT_FLOAT_EQ(C(3, 4), 3.0f);
    EXPECT_FLOAT_EQ(C(4, 3), 3.0f);
    EXPECT_FLOAT_EQ(C(3, 5), 2.0f);
    EXPECT_FLOAT_EQ(C(5, 3), 2.0f);
    // (4,4): 9 - 6/2, plus ml zg with zg = ZCG / L = -0.5.
    EXPECT_FLOAT_EQ(C(4, 4), 6.0f - 1.0f);
    EXPECT_FLOAT_EQ(C(5, 5), 4.0f - 1.0f);
    EXPECT_FLOAT_EQ(C(4, 5), 8.0f);
    EXPECT_FLOAT_EQ(C(4, 6), 0.0f);
    EXPECT_FLOAT_EQ(C(5, 6), 0.0f);
    EXPECT_FLOAT_EQ(frc::EXTMATND(1, 2, 5), 0.75f);
    EXPECT_FLOAT_EQ(frc::EXTMATND(1, 7, 7), 1.0f);
    EXPECT_FLOAT_EQ(frc::EXTMATND(2, 1, 1), 1.0f);
    EXPECT_FLOAT_EQ(frc::VMOMB(1, 1), 2.0f);
    EXPECT_FLOAT_EQ(frc::VMOMB(2, 1), -2.5f);
    EXPECT_FLOAT_EQ(frc::CGBODY(1, 1), 2.0f / 3.0f);   // 2 L / 6
    EXPECT_FLOAT_EQ(frc::CGBODY(2, 1), -5.0f / 6.0f);  // -2.5 L / 6
    EXPECT_FLOAT_EQ(frc::CZ35(1), 1.0f);
    EXPECT_FLOAT_EQ(frc::CZ33(1), -0.5f);
    EXPECT_FLOAT_EQ(frc::CZ34(1), -1.5f);
    // Body 2: density 2, all coefficients 1; c4, c5 into (4,6), (5,6).
    EXPECT_FLOAT_EQ(C(9, 9), 2.0f);
    EXPECT_FLOAT_EQ(C(10, 10), 1.0f);
    EXPECT_FLOAT_EQ(C(10, 12), 1.0f);
    EXPECT_FLOAT_EQ(C(11, 12), 1.0f);
    EXPECT_FLOAT_EQ(frc::CGBODY(1, 2), 7.0f);
    // No coupling between the bodies.
    for (int i = 1; i <= 6; ++i)
        for (int j = 7; j <= 12; ++j) EXPECT_EQ(C(i, j), 0.0f);
}

TEST_F(TankTest, TankHoldingTheWholeDisplacement) {
    cfg::VOLTANK(1, 1) = cfg::VOLTANK(2, 1) = cfg::VOLTANK(3, 1) = 8.0f;
    int ierr = 0;
    TANKHYD(2, 2, ierr);
    EXPECT_EQ(ierr, 1);
    EXPECT_NE(screen.str().find("Tank fluid mass not less than the displaced mass of body=1"), std::string::npos);
}

class RaoTest : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        reset_all();
        fnames::FILEOUT = "run.out";
        model::NPER = 2;
        model::PER.allocate(2);
        model::PER(1) = 10.0f;
        model::PER(2) = 0.5f;
        model::NBETA = 1;
        model::BETA.allocate(1);
        model::BETA(1) = 90.0f;
        sym::NSOLC = 6;
        frc::MODNUM.allocate(6);
        for (int k = 1; k <= 6; ++k) frc::MODNUM(k) = k;
    }
    static std::string rec(float p, float b, int m) {
        std::ostringstream s;
        s << p << ' ' << b << ' ' << m << " 1.0 0.0 1.0 0.0\n";
        return s.str();
    }
    static std::string good(float b2 = 90.0f) {
        std::string t;
        for (float p : {10.0f, 0.5f})
            for (int m = 1; m <= 6; ++m) t += rec(p, b2, m);
        return t;
    }
    int rdrao(const std::string& text) {
        write_file("run.rao", text);
        screen.str("");
        chan::close(45);
        int ierr = 0;
        RDRAO(ierr);
        return ierr;
    }
    std::vector<std::string> messages() {
        std::vector<std::string> v;
        std::istringstream in(screen.str());
        for (std::string l; std::getline(in, l);)
            if (!l.empty()) v.push_back(l.substr(1));
        return v;
    }
};

TEST_F(RaoTest, ChecksAgainstTheRun) {
    using V = std::vector<std::string>;
    std::string missing4 = good();
    missing4.replace(missing4.find(" 4 "), 3, " 3 ");
    const std::string HDR = "ZORVA RAO file\n";
    struct Case {
        const char* name;
        int numhdr;
        std::string text;
        int ierr;
        V msgs;
    };
    const std::vector<Case> cases = {
        {"good", 0, good(), 0, {}},
        {"good with header", 1, HDR + good(), 0, {}},
        {"heading within the relative bound", 0, good(90.0008f), 0, {}},
        {"header missing", 1, good(), 1, {"NUMHDR=1 but no header line in .rao"}},
        {"header not expected", 0, HDR + good(), 1,
         {"Error reading first line of .rao", "NUMHDR=0 but header line is in .rao, or ",
          "Incorrect format of numeric data in .rao"}},
        {"short file", 0, good().substr(0, good().rfind(rec(0.5f, 90, 6))), 1, {".rao data insufficient"}},
        {"unreadable record", 0, rec(10, 90, 1) + "10 90 x 1 0 1 0\n", 1, {"Incorrect format of numeric data in .rao"}},
        {"heading off", 0, good(90.002f), 1, {"Wave heading inconsistent with POT, heading 1"}},
        {"period off", 0, good().replace(good().find("0.5 90 1"), 3, "0.6"), 1,
         {"period inconsistent with POT, period 2"}},
        {"unknown mode", 0, good().replace(good().find("10 90 2"), 7, "10 90 7"), 1,
         {"Mode inconsistent with POT, mode 7"}},
        {"mode given twice, one missing", 0, missing4, 1, {"Mode is missing in .RAO file, mode 4"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        cfg::NUMHDR = c.numhdr;
        EXPECT_EQ(rdrao(c.text), c.ierr);
        EXPECT_EQ(messages(), c.msgs);
        if (c.ierr == 0) {
            // Left at the first data record.
            float p = 0, b = 0, v[4];
            int m = 0;
            EXPECT_EQ(fread::read_group(45, {fread::R(p), fread::R(b), fread::I(m), fread::R(v, 4)}), 0);
            EXPECT_EQ(p, 10.0f);
            EXPECT_EQ(m, 1);
        }
    }
    // A small heading is compared absolutely: 0.5 read as 0.500004 passes.
    model::BETA(1) = 0.5f;
    cfg::NUMHDR = 0;
    EXPECT_EQ(rdrao(good(0.500004f)), 0);

    // With a mode list, the modes switched off are not expected.
    frc::MODE.allocate(12);
    frc::MODE.fill(1);
    frc::MODE(6) = 0;
    std::string five;
    for (float p : {10.0f, 0.5f})
        for (int m = 1; m <= 5; ++m) five += rec(p, 0.5f, m);
    EXPECT_EQ(rdrao(five), 0);
    EXPECT_EQ(messages(), V({"WARNING: External RAO file used with fixed modes"}));

    chan::close(45);
    std::filesystem::remove("run.rao");
    int ierr = 0;
    RDRAO(ierr);
    EXPECT_EQ(ierr, 1);
    EXPECT_NE(screen.str().find(".rao can not be opened"), std::string::npos);
}

}  // namespace
}  // namespace zorva::test
