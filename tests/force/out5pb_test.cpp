// The period block of "optn.5pb": coefficient sets formed from the
// period's potentials and motions and read back record by record, for an
// ordinary period and for the cases that leave groups out (limit period,
// no radiation, no diffraction, a mode switched off, a skipped patch).
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "common/channels.hpp"
#include "common/messages.hpp"
#include "force/force.hpp"
#include "geometry/model.hpp"
#include "geometry/modelmore.hpp"
#include "main/symmetry.hpp"
#include "p2f/forcedata.hpp"
#include "tests/support/modules.hpp"
#include "tests/support/testdir.hpp"

namespace zorva {
namespace {

using Rec = std::vector<double>;

class Out5pb : public test::TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        test::reset_modules();
        ASSERT_EQ(chan::open(IUERR, "errorf.log", chan::Status::Replace), 0);
        using namespace model;
        // Three patches of 2, 3 and 2 coefficients, the middle one skipped.
        NPATCHT = 3;
        for (auto* a : {&NBU, &NBV, &IFSPAT}) a->allocate(3);
        NBU(1) = 2, NBV(1) = 1, NBU(2) = 1, NBV(2) = 3, NBU(3) = 2, NBV(3) = 1;
        IFSPAT(2) = -1;
        NEQN = 7, NMODT = 6;
        // Symmetry about x = 0: copies 1 and 2 (image 2 mirrored), components
        // even (modes 1 and 3) and odd in x (mode 2).
        sym::NSYMF = sym::NSYMC = 2;
        sym::ISYMF[1] = sym::ISYMC[1] = 1, sym::ISYMF[2] = sym::ISYMC[2] = 2;
        sym::NSOLC = 3;
        sym::NMODSC[1] = 2, sym::NMODSC[2] = 1;
        sym::IMODSC.allocate(6, 4);
        sym::IMODSC(1, 1) = 1, sym::IMODSC(2, 1) = 3, sym::IMODSC(1, 2) = 2;
        sym::IMODPOS.allocate(6);
        sym::IMODPOS(1) = 1, sym::IMODPOS(3) = 2, sym::IMODPOS(2) = 3;
        frc::MODCOL.allocate(3), frc::MODNUM.allocate(3);
        for (int j = 1; j <= 3; ++j) frc::MODCOL(j) = j;
        frc::MODNUM(1) = 1, frc::MODNUM(2) = 3, frc::MODNUM(3) = 2;
        frc::NBETA0 = 2;
        frc::RADPOT.allocate(7, 3), frc::DIFPOT.allocate(7, 2, 2), frc::RAO.allocate(6, 2);
        for (int n = 1; n <= 7; ++n) {
            for (int q = 1; q <= 3; ++q) frc::RADPOT(n, q) = cplx(0.1f * n + q, -0.3f * q);
            for (int j = 1; j <= 2; ++j)
                for (int k = 1; k <= 2; ++k) frc::DIFPOT(n, j, k) = cplx(n - 2.0f * j, 0.5f * k + 0.25f * n);
        }
        for (int m = 1; m <= 6; ++m)
            for (int j = 1; j <= 2; ++j) frc::RAO(m, j) = cplx(0.5f * m, 0.2f * j - 0.1f * m);
    }
    void TearDown() override {
        chan::reset();
        test::reset_modules();
        TempDirTest::TearDown();
    }

    // The records of the file after its first line, every number in order
    // (a complex value as its two parts).
    std::vector<Rec> records() {
        std::istringstream in(read_file("run.5pb"));
        std::string line;
        std::getline(in, line);
        std::vector<Rec> out;
        while (std::getline(in, line)) {
            std::replace_if(line.begin(), line.end(), [](char c) { return c == '(' || c == ')' || c == ','; }, ' ');
            std::istringstream ls(line);
            Rec r;
            for (double v; ls >> v;) r.push_back(v);
            out.push_back(r);
        }
        return out;
    }

    // The block the options should give, from the inputs by hand: sign of
    // component k in copy f, the coefficient sets, the records.
    std::vector<Rec> expected(float per, float K, float nu, int iperfl, const std::vector<int>& modeoff) {
        const double e[3][3] = {{0, 0, 0}, {0, 1, 1}, {0, 1, -1}};
        const int comp[4] = {0, 1, 1, 2};  // component of solution column q
        auto dif = [&](int n, int f, int j) {
            cplx s{};
            for (int k = 1; k <= 2; ++k) s += static_cast<float>(e[k][f]) * frc::DIFPOT(n, j, k);
            return s;
        };
        auto rad = [&](int n, int q, int f) { return static_cast<float>(e[comp[q]][f]) * frc::RADPOT(n, q); };
        auto tot = [&](int n, int f, int j) { 
            cplx s = dif(n, f, j);
            for (int q = 1; q <= 3; ++q) s += nu * frc::RAO(q, j) * rad(n, q, f);
            return s;
        };
        std::vector<Rec> out{{per, K, nu, static_cast<double>(iperfl)}};
        auto cx = [](Rec& r, cplx v) { r.push_back(v.real()), r.push_back(v.imag()); };
        auto patches = [&](auto&& val) {
            for (int f = 1; f <= 2; ++f)
                for (int first : {1, 6}) {
                    Rec r;
                    cx(r, val(first, f)), cx(r, val(first + 1, f));
                    out.push_back(r);
                }
        };
        const bool ord = iperfl == 0;
        if (ord && model::IRAD >= 0 && model::IDIFF >= 0) {
            for (int j = 1; j <= 2; ++j) {
                Rec r;
                for (int m = 1; m <= 6; ++m) cx(r, frc::RAO(m, j));
                out.push_back(r);
            }
            for (int j = 1; j <= 2; ++j) patches([&](int n, int f) { return tot(n, f, j); });
        }
        if (ord && model::IDIFF >= 0)
            for (int j = 1; j <= 2; ++j) patches([&](int n, int f) { return dif(n, f, j); });
        if (model::IRAD >= 0)
            for (int q = 1; q <= 3; ++q) {
                const int M = frc::MODNUM(q);
                if (std::count(modeoff.begin(), modeoff.end(), M)) continue;
                out.push_back({static_cast<double>(M)});
                patches([&](int n, int f) { return rad(n, q, f); });
            }
        return out;
    }
};

TEST_F(Out5pb, PeriodBlockReadsBackForEveryCase) {
    struct Case {
        const char* name;
        int irad, idiff, iperfl;
        std::vector<int> modeoff;
    };
    const Case cases[] = {
        {"ordinary period", 1, 1, 0, {}},
        {"limit period: radiation only", 1, 1, 1, {}},
        {"no radiation: diffraction only", -1, 1, 0, {}},
        {"no diffraction: radiation only", 1, -1, 0, {}},
        {"mode 3 off", 1, 1, 0, {3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        model::IRAD = c.irad, model::IDIFF = c.idiff;
        frc::MODE.deallocate();
        if (!c.modeoff.empty()) {
            frc::MODE.allocate(6);
            frc::MODE.fill(1);
            for (int m : c.modeoff) frc::MODE(m) = 0;
        }
        write_file("run.5pb", "head\n");
        CoefSets C;
        BPVSUM(0.75f, c.iperfl, C);
        EXPECT_EQ(C.CTOT.allocated(), c.iperfl == 0 && c.irad >= 0 && c.idiff >= 0);
        EXPECT_EQ(C.CDIF.allocated(), c.iperfl == 0 && c.idiff >= 0);
        EXPECT_EQ(C.CRAD.allocated(), c.irad >= 0);
        int ierr = -1;
        OUT5PB(8.0f, 0.5f, 0.75f, c.iperfl, 41, "run.5pb", C, ierr);
        EXPECT_EQ(ierr, 0);
        EXPECT_FALSE(C.CTOT.allocated() || C.CDIF.allocated() || C.CRAD.allocated());
        const auto got = records(), want = expected(8.0f, 0.5f, 0.75f, c.iperfl, c.modeoff);
        ASSERT_EQ(got.size(), want.size());
        for (std::size_t r = 0; r < got.size(); ++r) {
            ASSERT_EQ(got[r].size(), want[r].size()) << "record " << r + 2;
            for (std::size_t i = 0; i < got[r].size(); ++i)
                EXPECT_NEAR(got[r][i], want[r][i], 1e-6 * (1 + std::fabs(want[r][i]))) << "record " << r + 2;
        }
    }
}

TEST_F(Out5pb, MissingFileIsReported) {
    model::IRAD = model::IDIFF = 1;
    CoefSets C;
    BPVSUM(0.75f, 0, C);
    int ierr = 0;
    OUT5PB(8.0f, 0.5f, 0.75f, 0, 41, "none.5pb", C, ierr);
    EXPECT_EQ(ierr, 1);
    EXPECT_FALSE(C.CTOT.allocated());
    EXPECT_NE(screen.str().find("none.5pb"), std::string::npos);
}

}  // namespace
}  // namespace zorva
