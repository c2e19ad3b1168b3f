// The wave part between a test point and a source cell: the cases in which
// it vanishes, doubles or drops the source term, and a test point straight
// above a source point.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "kernels/wavegrblk.hpp"
#include "kernels/wgsetup.hpp"
#include "main/symmetry.hpp"
#include "tests/kernels/hofix.hpp"

using namespace zorva;
using test::Affine;

namespace {

class WaveGrBlk : public test::HoKernelTest {
protected:
    void SetUp() override {
        HoKernelTest::SetUp();
        sym::NIMAGE = 1, sym::IMAGEID[1] = 1, sym::NSYMC = 1, sym::ISYMC[1] = 1, sym::NMODSC[1] = 6;
        sym::IMODSC.allocate(6, 4), sym::IMODPOS.allocate(6);
        for (int m = 1; m <= 6; ++m) sym::IMODSC(m, 1) = m, sym::IMODPOS(m) = m;
        sym::NSOLC = 6;
        // Two horizontal squares below the free surface, 2 x 2 quadratic
        // spans each, 3 x 3 inner points per span.
        flat({Affine{{0.0, 0.0, -1.0}, {0.5, 0.0, 0.0}, {0.0, 0.5, 0.0}},
              Affine{{2.0, 0.5, -0.6}, {0.5, 0.0, 0.0}, {0.0, 0.5, 0.0}}});
        spline(3, 2, 2, 3);
        model::HBOT = -1.0f;
        int ierr = 0;
        float k = 0.0f;
        HGRN00(0.8f, k, 7.0f, ierr);
        ASSERT_EQ(ierr, 0);
        P.K = 0.8f, P.K2 = 0.64f, P.KH = -0.8f, P.HBOT = -1.0f, P.ICODE = 2;
        W.size(9, 9, 6);
    }
    // Cell (1, 1) of patch 2 seen from the test point X above patch 1.
    void cell(const float* X, std::vector<cplx>& M, std::vector<cplx>& V) {
        WgTest T;
        for (int d = 0; d < 3; ++d) T.X[d] = X[d];
        T.N[2] = 1.0f, T.IP = T.IB = 1;
        T.IDIP = cfg::IDIPOLE == 1 && model::IDIPWM(1) > 0 ? 1 : 0;
        WgCell C;
        C.UA = model::HOTAB1(3, 2), C.UB = model::HOTAB1(4, 2), C.VA = model::HOTAB2(3, 2), C.VB = model::HOTAB2(4, 2);
        C.JP = 2, C.JB = 1, C.NQPOFF = 4 * 9;
        M.assign(9, cplx(7.0f, 7.0f));
        V.assign(6, cplx(7.0f, 7.0f));
        const float off[3] = {0, 0, 0};
        WAVEGRBLK(P, T, C, off, M.data(), V.data(), W);
    }
    WgPeriod P;
    WgBlkWork W;
};

bool all_zero(const std::vector<cplx>& v) {
    for (const cplx& c : v)
        if (c != cplx()) return false;
    return true;
}

TEST_F(WaveGrBlk, VanishingDoubledAndDroppedParts) {
    const float X[3] = {0.3f, 0.1f, -1.0f};
    std::vector<cplx> M0, V0, M, V;
    cell(X, M0, V0);
    EXPECT_NE(std::abs(M0[0]), 0.0f);
    EXPECT_NE(std::abs(V0[2]), 0.0f);  // heave
    // Another tank: no interaction at all.
    model::ITANK(2) = 1;
    cell(X, M, V);
    EXPECT_TRUE(all_zero(M) && all_zero(V));
    model::ITANK(2) = 0;
    // An interior free-surface source patch takes part in the matrix only.
    model::IFSPAT(2) = -1;
    cell(X, M, V);
    EXPECT_TRUE(all_zero(V));
    for (int n = 0; n < 9; ++n) EXPECT_EQ(M[static_cast<std::size_t>(n)], M0[static_cast<std::size_t>(n)]);
    model::IFSPAT(2) = 0;
    // A wavemaker source patch: twice the source, no dipole.
    cfg::IDIPOLE = 1, model::IDIPSYM = 1, model::IDIPWM(2) = -2;
    cell(X, M, V);
    EXPECT_TRUE(all_zero(M));
    for (int m = 0; m < 6; ++m) EXPECT_EQ(V[static_cast<std::size_t>(m)], 2.0f * V0[static_cast<std::size_t>(m)]);
    cfg::IDIPOLE = 0, model::IDIPSYM = 0, model::IDIPWM(2) = 0;
    // At the zero-frequency limit in deep water the Rankine parts hold the
    // whole Green function: nothing is left for the wave part.
    P.IPERFL = 1, P.K = P.K2 = 1.0f;
    cell(X, M, V);
    EXPECT_TRUE(all_zero(M) && all_zero(V));
}

// A test point straight above a stored source point: no horizontal
// direction, finite moments, for an ordinary and a dipole test patch.
TEST_F(WaveGrBlk, TestPointAboveASourcePoint) {
    const int q = 4 * 9 + 5;  // the middle inner point of the cell
    const float X[3] = {model::XQP(1, q), model::XQP(2, q), -1.0f};
    for (int dip : {0, 1}) {
        std::vector<cplx> M, V;
        cfg::IDIPOLE = dip, model::IDIPSYM = dip, model::IDIPWM(1) = dip;
        cell(X, M, V);
        for (const cplx& c : M) EXPECT_TRUE(std::isfinite(c.real()) && std::isfinite(c.imag())) << dip;
        for (const cplx& c : V) EXPECT_TRUE(std::isfinite(c.real()) && std::isfinite(c.imag())) << dip;
        EXPECT_NE(std::abs(M[0]), 0.0f) << dip;
    }
}

}  // namespace
