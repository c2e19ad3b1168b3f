// Higher-order surface integrals: patches of one interval and one Gauss
// point stand for the panels of a low-order model and must give its added
// mass, exciting forces and drift; a patch marked -1 in between is skipped
// without shifting the numbering; the B-spline sum picks the coefficients
// of its interval.
#include <gtest/gtest.h>

#include "force/hopoints.hpp"
#include "geometry/modelmore.hpp"
#include "tests/force/forcefix.hpp"

namespace zorva {
namespace {

using test::ForceTest;
using test::Pan;

const std::vector<Pan> TWO = {{{0.3f, -0.2f, -0.5f}, {0.6f, 0.0f, -0.8f}, 1.2f},
                              {{-0.4f, 0.5f, -0.7f}, {0.0f, 0.6f, -0.8f}, 0.8f}};

template <typename T>
void alloc1(Arr1<T>& a, int n, T v) {
    a.allocate(n);
    a.fill(v);
}

// Patches 1 and 3 are the two panels; patch 2 is marked -1.
void patches_for_panels() {
    using namespace model;
    const int np = 3, nm = NMODT;
    NPATCHT = NQP = np;
    MAXKU = MAXKV = MAXQU = MAXQV = MAXNU = MAXNV = 1;
    for (auto* a : {&KU, &KV, &NU, &NV, &NBU, &NBV, &IQUI, &IQVI, &IBPTH}) alloc1(*a, np, 1);
    alloc1(IFSPAT, np, 0);
    IFSPAT(2) = -1;
    HOTAB1.allocate(2, np);
    HOTAB2.allocate(2, np);
    HOTAB4.allocate(1, np);
    HOTAB6.allocate(1, np);
    for (int p = 1; p <= np; ++p) {
        HOTAB1(1, p) = HOTAB2(1, p) = -1.0f;
        HOTAB1(2, p) = HOTAB2(2, p) = 1.0f;
        HOTAB4(1, p) = HOTAB6(1, p) = 2.0f;
    }
    XQP.allocate(3, np);
    ENQP.allocate(3, np);
    WQP.allocate(np);
    VNQP.allocate(nm, np);
    XQP.fill(7.0f);
    ENQP.fill(0.0f);
    WQP.fill(100.0f);
    VNQP.fill(9.0f);
    for (int i = 1; i <= 2; ++i) {
        const int p = i == 1 ? 1 : 3;
        for (int c = 1; c <= 3; ++c) {
            XQP(c, p) = pnl::PCENT(c, i);
            ENQP(c, p) = pnl::PAXES(3, c, i);
        }
        WQP(p) = pnl::PPROP(1, i) / 4.0f;
        for (int m = 1; m <= nm; ++m) VNQP(m, p) = pnl::VNMODE(m, i);
    }
    frc::BASQU.allocate(1, 1, np);
    frc::BASQV.allocate(1, 1, np);
    frc::BASQU.fill(1.0f);
    frc::BASQV.fill(1.0f);
    cfg::XBODY.allocate(4, 1);
    cfg::XBODY.fill(0.0f);
    CSPHIB.allocate(2, 1);
    CSPHIB(1, 1) = 1.0f;
    CSPHIB(2, 1) = 0.0f;
    ITANK.allocate(np);
    ITANK.fill(0);
    // Coefficients: panel i's values at patch 1 and 3, a large value on the
    // skipped patch.
    Arr2<cplx> rad = frc::RADPOT;
    Arr3<cplx> dif = frc::DIFPOT;
    frc::RADPOT.allocate(np, rad.extent(2));
    frc::DIFPOT.allocate(np, dif.extent(2), 1);
    for (int m = 1; m <= rad.extent(2); ++m) {
        frc::RADPOT(1, m) = rad(1, m);
        frc::RADPOT(2, m) = cplx(1e3f, 1e3f);
        frc::RADPOT(3, m) = rad(2, m);
    }
    for (int j = 1; j <= dif.extent(2); ++j) {
        frc::DIFPOT(1, j, 1) = dif(1, j, 1);
        frc::DIFPOT(2, j, 1) = cplx(1e3f, 1e3f);
        frc::DIFPOT(3, j, 1) = dif(2, j, 1);
    }
}

TEST_F(ForceTest, PatchesEqualTheirPanels) {
    model1(TWO, {0.0f, 60.0f}, 8.0f, 0.5f, {0, 1, 1, 1, 0, 0, 0, 0, 1, 0});
    for (int i = 1; i <= 2; ++i) {
        for (int m = 1; m <= 6; ++m) frc::RADPOT(i, m) = cplx(0.1f * m - 0.2f * i, 0.05f * i + 0.01f * m);
        for (int j = 1; j <= 2; ++j) frc::DIFPOT(i, j, 1) = cplx(0.3f * j, -0.4f * i);
    }
    for (int r = 1; r <= 6; ++r)
        for (int j = 1; j <= 2; ++j) frc::RAO(r, j) = cplx(0.2f, -0.1f * r + 0.05f * j);
    AMDPINT();
    EXFHASK(0.5f, 0.5f);
    FRCACC();
    MOMDRIFT(0.5f, 0.5f, 1);
    const Arr2<float> A = frc::AMAT, B = frc::BMAT;
    const Arr2<cplx> XH = frc::FEXH, XD = frc::FEXD, D = frc::DRIFTM;

    patches_for_panels();
    cfg::ILOWHI = 1;
    model::NEQN = 3;
    AMDPINT();
    EXFHASK(0.5f, 0.5f);
    FRCACC();
    MOMDRIFT(0.5f, 0.5f, 1);
    for (int r = 1; r <= 6; ++r) {
        for (int s = 1; s <= 6; ++s) {
            EXPECT_NEAR(frc::AMAT(r, s), A(r, s), 1e-6f);
            EXPECT_NEAR(frc::BMAT(r, s), B(r, s), 1e-6f);
        }
        for (int j = 1; j <= 2; ++j) {
            EXPECT_NEAR(std::abs(frc::FEXH(r, j) - XH(r, j)), 0.0f, 1e-6f);
            EXPECT_NEAR(std::abs(frc::FEXD(r, j) - XD(r, j)), 0.0f, 1e-6f);
        }
    }
    for (int j = 1; j <= 2; ++j)
        for (int r = 1; r <= 3; ++r) EXPECT_NEAR(std::abs(frc::DRIFTM(r, j) - D(r, j)), 0.0f, 1e-6f);
}

TEST_F(ForceTest, SplineSumUsesTheCoefficientsOfItsInterval) {
    using namespace model;
    // One patch, two intervals in u and order 2 (three coefficients in u),
    // one in v of order 1; Gauss point 1 of interval 2.
    NPATCHT = 1;
    MAXKU = 2;
    MAXKV = 1;
    for (auto* a : {&KV, &NV, &NBV, &IQUI, &IQVI}) alloc1(*a, 1, 1);
    alloc1(KU, 1, 2);
    alloc1(NU, 1, 2);
    alloc1(NBU, 1, 3);
    frc::BASQU.allocate(2, 2, 1);
    frc::BASQV.allocate(1, 1, 1);
    frc::BASQU(1, 2, 1) = 0.25f;
    frc::BASQU(2, 2, 1) = 0.75f;
    frc::BASQV(1, 1, 1) = 2.0f;
    const cplx col[4] = {{100.0f, 0.0f}, {1.0f, 1.0f}, {3.0f, -1.0f}, {500.0f, 0.0f}};
    fho::Point q{};
    q.p = 1;
    q.a = 2;
    q.b = 1;
    q.qu = q.qv = 1;
    q.coff = 1;  // one coefficient of an earlier patch
    EXPECT_EQ(fho::potential(q, col), 2.0f * (0.25f * col[2] + 0.75f * col[3]));
}

}  // namespace
}  // namespace zorva
