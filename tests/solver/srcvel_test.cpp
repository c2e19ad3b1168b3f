// Source-strength velocities: the product of the velocity coefficients,
// delivered border by border on the source scratch unit, with the source
// strengths, against a dense double-precision product.
#include <gtest/gtest.h>

#include <complex>
#include <random>
#include <vector>

#include "main/runparams.hpp"
#include "main/symmetry.hpp"
#include "solver/matrices.hpp"
#include "solver/scrstore.hpp"
#include "solver/srcvel.hpp"
#include "tests/support/testdir.hpp"

namespace zorva {
namespace {

using cd = std::complex<double>;

class SrcVel : public test::TempDirTest {
protected:
    static constexpr int NB = 2;  // headings
    int n = 5;
    // coef[k][(c * n + j) * n + i]: velocity component c at panel i from source j, component k.
    std::vector<std::vector<cplx>> coef;

    void SetUp() override {
        TempDirTest::SetUp();
        slv::store_reset();
        run::reset();
        slv::reset();
        sym::reset();
    }
    void TearDown() override {
        slv::store_reset();
        run::reset();
        slv::reset();
        sym::reset();
        TempDirTest::TearDown();
    }

    // Two components; modes 1 and 3 in component 1, mode 2 in component 2,
    // held in solution columns 1, 3 and 2.
    void setup(int neqn) {
        n = neqn;
        sym::NSYMC = 2;
        sym::NSOLC = 3;
        sym::NMODSC = {0, 2, 1, 0, 0};
        sym::IMODSC.allocate(3, 4);
        sym::IMODSC(1, 1) = 1;
        sym::IMODSC(2, 1) = 3;
        sym::IMODSC(1, 2) = 2;
        sym::IMODPOS.allocate(3);
        sym::IMODPOS(1) = 1;
        sym::IMODPOS(2) = 3;
        sym::IMODPOS(3) = 2;
        std::mt19937 gen(7);
        std::uniform_real_distribution<float> u(-1.0f, 1.0f);
        coef.assign(2, std::vector<cplx>(static_cast<std::size_t>(3 * n * n)));
        for (auto& v : coef)
            for (auto& x : v) x = cplx(u(gen), u(gen));
        slv::RHSMOD.allocate(n, 3);
        for (auto& x : slv::RHSMOD) x = cplx(u(gen), u(gen));
        slv::RHSSRC.allocate(n, NB, 2);
        for (auto& x : slv::RHSSRC) x = cplx(u(gen), u(gen));
    }
    cplx V(int k, int c, int i, int j) const {
        return coef[static_cast<std::size_t>(k - 1)][static_cast<std::size_t>(((c - 1) * n + j - 1) * n + i - 1)];
    }
    // The scratch unit as the assembly leaves it; `drop` leaves out the last
    // records.
    void write_scratch(int drop = 0) {
        int ierr = 0;
        slv::SCROPEN(&IUSRC, 1, ierr);
        ASSERT_EQ(ierr, 0);
        std::vector<std::vector<cplx>> recs;
        for (int i = 1; i <= n; ++i)
            for (int k = 1; k <= 2; ++k) {
                std::vector<cplx> b, c;
                for (int cc = 1; cc <= 3; ++cc) {
                    for (int j = 1; j <= i; ++j) b.push_back(V(k, cc, i, j));
                    for (int j = 1; j < i; ++j) c.push_back(V(k, cc, j, i));
                }
                recs.push_back(b);
                recs.push_back(c);
            }
        for (std::size_t r = 0; r + static_cast<std::size_t>(drop) < recs.size(); ++r)
            ASSERT_EQ(slv::scr_write(IUSRC, recs[r].data(), recs[r].size() * sizeof(cplx)), 0);
    }
    // Dense product of component k's coefficients with sigma, component c at panel i.
    cd product(int k, int c, int i, const cplx* sigma) const {
        cd s = 0.0;
        for (int j = 1; j <= n; ++j) s += cd(V(k, c, i, j)) * cd(sigma[j - 1]);
        return s;
    }
    void expect_velocities(bool rad, bool dif) {
        const int modecomp[4] = {0, 1, 2, 1};  // component of modes 1..3
        for (int m = 1; m <= 3; ++m) {
            const int p = sym::IMODPOS(m);
            for (int c = 1; c <= 3; ++c)
                for (int i = 1; i <= n; ++i) {
                    cd want = rad ? product(modecomp[m], c, i, slv::RHSMOD.ptr(1, p)) : cd(0.0);
                    EXPECT_NEAR(std::abs(cd(run::VELRAD(i, c, p)) - want), 0.0, 2e-5) << m << c << i;
                }
        }
        for (int k = 1; k <= 2; ++k)
            for (int ib = 1; ib <= NB; ++ib) {
                const int col = ib + NB * (k - 1);
                for (int c = 1; c <= 3; ++c)
                    for (int i = 1; i <= n; ++i) {
                        cd want = dif ? product(k, c, i, slv::RHSSRC.ptr(1, ib, k)) : cd(0.0);
                        EXPECT_NEAR(std::abs(cd(run::VELDIF(i, c, col)) - want), 0.0, 2e-5) << k << ib << c << i;
                    }
            }
    }
};

TEST_F(SrcVel, ProductOfCoefficientsAndStrengths) {
    struct Case {
        int neqn, irad, idiff;
    };
    for (Case c : {Case{5, 1, 1}, Case{1, 1, 1}, Case{4, -1, 0}, Case{4, 0, -1}}) {
        SCOPED_TRACE(c.neqn * 100 + c.irad * 10 + c.idiff);
        setup(c.neqn);
        write_scratch();
        int ierr = -1;
        POTSRCST(n, c.irad, c.idiff, NB, ierr);
        EXPECT_EQ(ierr, 0);
        ASSERT_EQ(run::VELRAD.extent(1), n);
        ASSERT_EQ(run::VELRAD.extent(3), 3);
        ASSERT_EQ(run::VELDIF.extent(3), 2 * NB);
        expect_velocities(c.irad != -1, c.idiff >= 0);
        // The unit is read in full and closed, whatever is solved.
        EXPECT_NE(slv::SCRREWIND(IUSRC), 0);
        EXPECT_EQ(screen.str(), "");
    }
}

TEST_F(SrcVel, NextPeriodReusesTheArraysAndStartsFromZero) {
    setup(4);
    write_scratch();
    int ierr = -1;
    POTSRCST(n, 1, 1, NB, ierr);
    ASSERT_EQ(ierr, 0);
    const cplx* before = run::VELRAD.data();
    write_scratch();
    POTSRCST(n, 1, 1, NB, ierr);
    ASSERT_EQ(ierr, 0);
    EXPECT_EQ(run::VELRAD.data(), before);
    expect_velocities(true, true);
}

TEST_F(SrcVel, FailedReadOfTheScratchUnitStopsWithAMessage) {
    for (int drop : {1, 2}) {
        setup(3);
        write_scratch(drop);
        int ierr = 0;
        screen.str("");
        POTSRCST(n, 1, 1, NB, ierr);
        EXPECT_EQ(ierr, 1);
        EXPECT_NE(screen.str().find(" Error reading scratch file of source velocities in POTSRCST, UNIT=27"),
                  std::string::npos)
            << screen.str();
        slv::store_reset();
    }
    // No unit at all.
    screen.str("");
    int ierr = 0;
    POTSRCST(n, 1, 1, NB, ierr);
    EXPECT_EQ(ierr, 1);
    EXPECT_NE(screen.str().find("POTSRCST"), std::string::npos);
}

}  // namespace
}  // namespace zorva
