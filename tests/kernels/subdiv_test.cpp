#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "geometry/bspline.hpp"
#include "geometry/hogeom.hpp"
#include "tests/platform/userlib_support.hpp"
#include "kernels/horank.hpp"
#include "kernels/rankpan.hpp"
#include "panels/paneldata.hpp"
#include "tests/kernels/hofix.hpp"
#include "tests/support/panelfix.hpp"

using namespace zorva;
using test::Affine;
using test::D3;

namespace {

// A tilted parallelogram, its panel twin for the closed-form integrals.
const Affine PATCH{{0.3, -0.2, -1.0}, {0.5, 0.1, 0.05}, {0.15, 0.4, -0.1}};

class Subdiv : public test::HoKernelTest {
protected:
    void SetUp() override {
        HoKernelTest::SetUp();
        flat({PATCH});
        test::build_panels({test::Quad{PATCH.at(1, -1), PATCH.at(-1, -1), PATCH.at(-1, 1), PATCH.at(1, 1)}});
        int ierr;
        GAUSLE(-1.0f, 1.0f, xg, wg, 8, ierr);
        ASSERT_EQ(ierr, 0);
    }
    // SUBDIV over the whole patch with NPU x NPV moments about (uref, vref).
    int run(const float* xf, RkMoments& M, int npu = 1, int npv = 1, int igrad = 1, int isign = 1, int stored = 0,
            int ng = 8, float uref = 0.0f, float vref = 0.0f) {
        M.size(npu * npv, model::NMODT, true);
        W.size(npu * npv, model::NMODT);
        int ierr = -1;
        SUBDIV(xf, 1, uref, vref, -1, 1, -1, 1, npu, npv, ng, ng, xg, wg, xg, wg, uq, wuq, vq, wvq, npu * npv, 1, 1,
               stored, igrad, isign, 1, 0, M, W, ierr);
        return ierr;
    }
    float xg[8], wg[8], uq[8], wuq[8], vq[8], wvq[8];
    SubdivWork W;
};

D3 normal() {
    D3 n = test::cross3(PATCH.A, PATCH.B);
    const double l = test::norm3(n);
    return {n[0] / l, n[1] / l, n[2] / l};
}

// Source, dipole, logarithmic integrals and all their gradients against the
// closed form of the flat panel, at a far point, points near the patch
// (above its middle and beside an edge) and a point in its plane.
TEST_F(Subdiv, FlatPatchEqualsTheClosedFormOfThePanel) {
    const D3 n = normal(), c = PATCH.at(0, 0);
    struct Pt {
        const char* name;
        D3 x;
    };
    const D3 far = {c[0] + 2.0 * n[0] + 1.5, c[1] + 2.0 * n[1], c[2] + 2.0 * n[2]};
    const D3 near = {c[0] + 0.1 * n[0], c[1] + 0.1 * n[1], c[2] + 0.1 * n[2]};
    const D3 e = PATCH.at(0.95, 0.3);
    const D3 edge = {e[0] + 0.02 * n[0], e[1] + 0.02 * n[1], e[2] + 0.02 * n[2]};
    const D3 plane = PATCH.at(1.4, -0.2);
    ASSERT_GT(n[2], 0.9);  // the panel twin's axis 3 is the patch normal
    EXPECT_GT(pnl::PAXES(3, 3, 1), 0.9f);
    for (const Pt& p : {Pt{"far", far}, Pt{"near", near}, Pt{"edge", edge}, Pt{"in plane", plane}}) {
        SCOPED_TRACE(p.name);
        const float xf[3] = {float(p.x[0]), float(p.x[1]), float(p.x[2])};
        float D, S, LD, LS, GS[3], GD[3], GLS[3], GRDLOGD[3];
        int ierr;
        RANKPF(xf, 1, 1, pnl::PAXES, pnl::PNLARR6, pnl::PNLARR5, pnl::PCENT, pnl::PNLARR4, pnl::PPROP, pnl::PNLARR3,
               D, S, LD, LS, 1, GS, GD, GLS, GRDLOGD, ierr);
        RkMoments M;
        ASSERT_EQ(run(xf, M), 0);
        // the source moments carry the modal normals: sum n_m S_m = S
        float s = 0, ls = 0, gs[3] = {0, 0, 0}, gls[3] = {0, 0, 0};
        for (int m = 1; m <= 3; ++m) {
            s += float(n[m - 1]) * M.src(1, m);
            ls += float(n[m - 1]) * M.srcl(1, m);
            for (int d = 1; d <= 3; ++d) gs[d - 1] += float(n[m - 1]) * M.gsrc(d, 1, m), gls[d - 1] += float(n[m - 1]) * M.gsrcl(d, 1, m);
        }
        const float tol = 2e-4f * (1.0f + std::fabs(S));
        EXPECT_NEAR(s, S, tol);
        EXPECT_NEAR(M.DIPMOM[0], D, tol);
        EXPECT_NEAR(ls, LS, tol);
        EXPECT_NEAR(M.DIPLMOM[0], LD, tol);
        for (int d = 1; d <= 3; ++d) {
            const float gt = 5e-4f * (1.0f + std::fabs(GD[d - 1]));
            EXPECT_NEAR(gs[d - 1], GS[d - 1], gt) << d;
            EXPECT_NEAR(M.gdip(d, 1), GD[d - 1], gt) << d;
            EXPECT_NEAR(gls[d - 1], GLS[d - 1], gt) << d;
            EXPECT_NEAR(M.gdipl(d, 1), GRDLOGD[d - 1], gt) << d;
        }
        // ISIGN -1 reverses the vertical gradient components only
        RkMoments Mm;
        ASSERT_EQ(run(xf, Mm, 1, 1, 1, -1), 0);
        EXPECT_FLOAT_EQ(Mm.gdip(1, 1), M.gdip(1, 1));
        EXPECT_FLOAT_EQ(Mm.gdip(3, 1), -M.gdip(3, 1));
        EXPECT_FLOAT_EQ(Mm.gdipl(3, 1), -M.gdipl(3, 1));
        EXPECT_FLOAT_EQ(Mm.gsrc(3, 1, 3), -M.gsrc(3, 1, 3));
        EXPECT_FLOAT_EQ(Mm.gsrcl(2, 1, 3), M.gsrcl(2, 1, 3));
    }
}

// Higher moments about an off-centre reference point against a
// double-precision product rule (the field point is off the patch, so the
// integrand is smooth).
TEST_F(Subdiv, MomentsAgainstDoubleQuadrature) {
    const D3 n = normal(), c = PATCH.at(0.2, -0.4);
    const D3 x = {c[0] + 0.15 * n[0], c[1] + 0.15 * n[1], c[2] + 0.15 * n[2]};
    const float xf[3] = {float(x[0]), float(x[1]), float(x[2])};
    const int npu = 3, npv = 2;
    const double ur = 0.25, vr = -0.5;
    RkMoments M;
    ASSERT_EQ(run(xf, M, npu, npv, 0, 1, 0, 8, float(ur), float(vr)), 0);
    std::vector<double> gx, gw;
    test::gauss_legendre(40, gx, gw);
    const double J = test::norm3(test::cross3(PATCH.A, PATCH.B));
    std::vector<double> S(npu * npv, 0.0), D(npu * npv, 0.0);
    // 4 x 4 blocks of a 40-point rule
    for (int bu = 0; bu < 4; ++bu)
        for (int bv = 0; bv < 4; ++bv)
            for (std::size_t i = 0; i < gx.size(); ++i)
                for (std::size_t j = 0; j < gx.size(); ++j) {
                    const double u = -1 + 0.5 * bu + 0.25 * (gx[i] + 1), v = -1 + 0.5 * bv + 0.25 * (gx[j] + 1);
                    const double w = gw[i] * gw[j] * 0.0625 * J;
                    const D3 X = PATCH.at(u, v);
                    const D3 R = {x[0] - X[0], x[1] - X[1], x[2] - X[2]};
                    const double r = test::norm3(R);
                    for (int b = 0; b < npv; ++b)
                        for (int a = 0; a < npu; ++a) {
                            const double mono = std::pow(u - ur, a) * std::pow(v - vr, b);
                            S[a + npu * b] += w / r * mono;
                            D[a + npu * b] += w * test::dot3(n, R) / (r * r * r) * mono;
                        }
                }
    for (int k = 0; k < npu * npv; ++k) {
        EXPECT_NEAR(M.src(k + 1, 3), S[k] * n[2], 2e-4 * (1 + std::fabs(S[0]))) << k;
        EXPECT_NEAR(M.DIPMOM[k], D[k], 2e-4 * (1 + std::fabs(D[0]))) << k;
    }
}

// A far point takes one rule over the whole rectangle, from the stored
// points when allowed: with their Jacobians doubled the result doubles.  A
// near point splits the rectangle, and the stored points are not used.
TEST_F(Subdiv, StoredPointsServeARectangleAcceptedWhole) {
    using namespace model;
    NQP = 64;
    XQP.allocate(3, NQP), ENQP.allocate(3, NQP), WQP.allocate(NQP), VNQP.allocate(6, NQP);
    int k = 0;
    for (int j = 0; j < 8; ++j)
        for (int i = 0; i < 8; ++i) {
            ++k;
            float X[3], N[3], XU[3], XV[3], J;
            int ierr;
            BODYGEOM(xg[i], xg[j], 1, 1, X, N, XU, XV, J, 2, 0, ierr);
            ASSERT_EQ(ierr, 0);
            for (int c = 1; c <= 3; ++c) XQP(c, k) = X[c - 1], ENQP(c, k) = N[c - 1];
            WQP(k) = 2.0f * J;
            for (int m = 1; m <= 6; ++m) VNQP(m, k) = VNPT(m);
        }
    const D3 n = normal(), c = PATCH.at(0, 0);
    for (double h : {3.0, 0.2}) {
        const float xf[3] = {float(c[0] + h * n[0]), float(c[1] + h * n[1]), float(c[2] + h * n[2])};
        RkMoments M0, M1;
        ASSERT_EQ(run(xf, M0, 1, 1, 1, 1, 0), 0);
        ASSERT_EQ(run(xf, M1, 1, 1, 1, 1, 1), 0);
        const float f = h > 1 ? 2.0f : 1.0f;
        EXPECT_NEAR(M1.DIPMOM[0], f * M0.DIPMOM[0], 1e-6f * std::fabs(M0.DIPMOM[0])) << h;
        EXPECT_NEAR(M1.src(1, 3), f * M0.src(1, 3), 1e-6f * std::fabs(M0.src(1, 3))) << h;
    }
}

// A point on the patch itself is never far enough: the square list fills up,
// the limit is reported with the diagnostic block in the run log.
TEST_F(Subdiv, PointOnThePatchReachesTheLimit) {
    const D3 c = PATCH.at(0.1, 0.1);
    const float xf[3] = {float(c[0]), float(c[1]), float(c[2])};
    RkMoments M;
    EXPECT_EQ(run(xf, M, 1, 1, 0), 1);
    EXPECT_NE(screen.str().find(" Number of subdivisions exceeds MAXSQR=" + errmsg_value(2048)), std::string::npos);
    chan::flush(IULOG);
    const std::string log = read_file("zorvalog.txt");
    EXPECT_NE(log.find("     Body index =   1    Patch index =   1\n     Field Point coordinates:    "), std::string::npos);
    EXPECT_NE(log.find("\n     Panel centroid coordinates: "), std::string::npos);
}

TEST_F(Subdiv, NoNodesNoMomentsAndWavemakerBodies) {
    const D3 c = PATCH.at(0, 0);
    const float xf[3] = {float(c[0]), float(c[1]), float(c[2] + 0.5)};
    RkMoments M;
    EXPECT_EQ(run(xf, M, 1, 1, 1, 1, 0, 0), 0);
    for (float v : M.DIPMOM) EXPECT_EQ(v, 0.0f);
    for (float v : M.SRCMOM) EXPECT_EQ(v, 0.0f);
    RkMoments M1, M2;
    ASSERT_EQ(run(xf, M1), 0);
    cfg::IBODY_WAVEMAKER = 1;
    ASSERT_EQ(run(xf, M2), 0);
    EXPECT_EQ(M2.DIPMOM[0], 0.0f);
    EXPECT_EQ(M2.DIPLMOM[0], 0.0f);
    EXPECT_EQ(M2.gdip(3, 1), 0.0f);
    EXPECT_FLOAT_EQ(M2.src(1, 3), 2.0f * M1.src(1, 3));
    EXPECT_FLOAT_EQ(M2.srcl(1, 3), 2.0f * M1.srcl(1, 3));
    EXPECT_FLOAT_EQ(M2.gsrc(1, 1, 3), 2.0f * M1.gsrc(1, 1, 3));
}

}  // namespace
