#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "geometry/bspline.hpp"
#include "kernels/gausslog.hpp"
#include "kernels/horank.hpp"
#include "kernels/rankpan.hpp"
#include "main/symmetry.hpp"
#include "panels/paneldata.hpp"
#include "tests/kernels/hofix.hpp"
#include "tests/support/panelfix.hpp"

using namespace zorva;
using test::Affine;
using test::D3;

namespace {

constexpr double TWOPI = 6.283185307179586;

class RkPatch : public test::HoKernelTest {
protected:
    void SetUp() override {
        HoKernelTest::SetUp();
        int ierr;
        GAUSLE(-1.0f, 1.0f, R.XG, R.WG, 8, ierr);
        ASSERT_EQ(GAUSSLOG(R.XL, R.WL, 8), 0);
        // one image, one component holding the six modes
        sym::NIMAGE = 1, sym::IMAGEID[1] = 1, sym::NSYMC = 1, sym::ISYMC[1] = 1, sym::NMODSC[1] = 6;
        sym::IMODSC.allocate(6, 4), sym::IMODPOS.allocate(6);
        for (int m = 1; m <= 6; ++m) sym::IMODSC(m, 1) = m, sym::IMODPOS(m) = m;
        sym::NSOLC = 6;
    }
    // The whole patch as one span of order 2 in u and v, inner order 8.
    RkSpan span() const {
        RkSpan s;
        s.ULO = s.VLO = -1, s.UHI = s.VHI = 1, s.KU = s.KV = 2, s.NGU = s.NGV = 8;
        s.XGU = s.XGV = R.XG, s.WGU = s.WGV = R.WG, s.IB = s.IP = 1;
        return s;
    }
    RkField field(const D3& x, float u, float v) {
        RkField f;
        f.U = u, f.V = v, f.IB = f.IP = 1, f.VN = vn;
        for (int d = 0; d < 3; ++d) f.X[d] = float(x[d]);
        return f;
    }
    SelfRules R;
    float vn[6] = {0, 0, 1, 0, 0, 0};
    RkWork W;
};

const Affine LOW{{0.1, 0.0, -0.7}, {0.4, 0.05, 0.0}, {0.1, 0.3, 0.02}};

// The images of the free surface and the sea bottom are added, the
// logarithmic terms (of the free-surface image alone) taken -2 times, and
// the correction of the image sign is minus twice the free-surface part.
TEST_F(RkPatch, ImagesAndTheirCorrection) {
    flat({LOW});
    cfg::ILOG = 1;
    model::IPERSPC = 1;
    const float H = 2.5f, zfs = 0.0f;
    const D3 x = {0.5, -0.3, -0.4};
    RkOut O;
    int ierr = -1;
    const float off[3] = {0, 0, 0};
    RKPATCH(field(x, 0, 0), span(), 0, off, zfs, 0, H, R, O, W, ierr);
    ASSERT_EQ(ierr, 0);
    // the three parts, one SUBDIV each
    const float pts[3][3] = {{float(x[0]), float(x[1]), float(x[2])},
                             {float(x[0]), float(x[1]), 2 * zfs - float(x[2])},
                             {float(x[0]), float(x[1]), 2 * zfs - float(x[2]) - 2 * H}};
    RkMoments M[3];
    SubdivWork SW;
    SW.size(4, 6);
    float uq[8], wuq[8], vq[8], wvq[8];
    for (int i = 0; i < 3; ++i) {
        M[i].size(4, 6, false);
        SUBDIV(pts[i], 1, 0, 0, -1, 1, -1, 1, 2, 2, 8, 8, R.XG, R.WG, R.XG, R.WG, uq, wuq, vq, wvq, 4, 1, 1, 0, 0,
               i == 0 ? 1 : -1, 0, 0, M[i], SW, ierr);
        ASSERT_EQ(ierr, 0);
    }
    for (int k = 0; k < 4; ++k) {
        const float d = M[0].DIPMOM[k] + M[1].DIPMOM[k] + M[2].DIPMOM[k];
        EXPECT_NEAR(O.DIP[k], d, 1e-5f) << k;
        EXPECT_NEAR(O.DIPI[k], -2 * M[1].DIPMOM[k], 1e-5f) << k;
        EXPECT_NEAR(O.DIPL[k], -2 * M[1].DIPLMOM[k], 1e-5f) << k;
    }
    for (int m = 1; m <= 6; ++m) {
        EXPECT_NEAR(O.SRC[m - 1], M[0].src(1, m) + M[1].src(1, m) + M[2].src(1, m), 1e-5f) << m;
        EXPECT_NEAR(O.SRCI[m - 1], -2 * M[1].src(1, m), 1e-5f) << m;
        EXPECT_NEAR(O.SRCL[m - 1], -2 * M[1].srcl(1, m), 1e-5f) << m;
    }
    EXPECT_NE(O.DIP[0], 0.0f);
    EXPECT_NE(O.DIPI[0], 0.0f);
}

// A field point on the span: the square around it (SELF) and the eight
// rectangles around that square together give the panel's closed form on
// the panel itself (source continuous, dipole 2 pi with the free term), at
// an inner point and at the outermost nodes of an 8-point rule.
TEST_F(RkPatch, PointOnItsOwnSpanMatchesTheClosedForm) {
    const Affine deep{{0.1, 0.0, -3.0}, {0.4, 0.05, 0.0}, {0.1, 0.3, 0.02}};
    flat({deep});
    test::build_panels({test::Quad{deep.at(1, -1), deep.at(-1, -1), deep.at(-1, 1), deep.at(1, 1)}});
    model::IPERSPC = 1;
    const D3 N = test::cross3(deep.A, deep.B);
    const double J = test::norm3(N);
    for (auto [u, v] : {std::pair{0.3, -0.45}, std::pair{0.9602899, 0.2}, std::pair{-0.6, -0.9602899}}) {
        SCOPED_TRACE(u);
        const D3 x = deep.at(u, v);
        RkOut O;
        int ierr = -1;
        const float off[3] = {0, 0, 0};
        RKPATCH(field(x, float(u), float(v)), span(), 1, off, 0.0f, 0, -1.0f, R, O, W, ierr);
        ASSERT_EQ(ierr, 0);
        // direct part = result + correction / 2 (the correction is minus twice the image)
        const float dip = O.DIP[0] + 0.5f * O.DIPI[0], src = O.SRC[2] + 0.5f * O.SRCI[2];
        const float xf[3] = {float(x[0]), float(x[1]), float(x[2])};
        float D, S, LD, LS, GS[3], GD[3], GLS[3];
        RANKPF(xf, 0, 1, pnl::PAXES, pnl::PNLARR6, pnl::PNLARR5, pnl::PCENT, pnl::PNLARR4, pnl::PPROP, pnl::PNLARR3, D,
               S, LD, LS, 0, GS, GD, GLS, nullptr, ierr);
        // single precision: n.R of points some 3 units from the origin, over a
        // square of half-width 0.04 at the outermost nodes
        EXPECT_NEAR(dip, TWOPI, 2e-3);
        EXPECT_NEAR(src, static_cast<double>(S) * N[2] / J, 2e-4 * static_cast<double>(S));
        // the moment (1, 0) of the dipole is the free term times u (the flat integrand is 0)
        EXPECT_NEAR(O.DIP[1] + 0.5f * O.DIPI[1], TWOPI * u, 2e-3);
    }
}

// Patches of different tanks do not interact; a source patch of dipole
// class 2 is not mirrored in x = 0.
TEST_F(RkPatch, TanksAndDipoleClassesInASymmetryPlane) {
    flat({LOW, Affine{{0.1, 0.9, -0.7}, {0.4, 0.0, 0.0}, {0.0, 0.3, 0.0}}});
    const D3 x = {0.5, -0.3, -0.4};
    RkOut O;
    int ierr;
    const float off[3] = {0, 0, 0};
    model::ITANK(1) = 1;
    RkSpan s = span();
    s.IP = 2;
    RKPATCH(field(x, 0, 0), s, 0, off, 0.0f, 0, -1.0f, R, O, W, ierr);
    ASSERT_EQ(ierr, 0);
    for (float v : O.DIP) EXPECT_EQ(v, 0.0f);
    for (float v : O.SRC) EXPECT_EQ(v, 0.0f);
    model::ITANK(1) = 0;
    // two images (the body and its mirror in x = 0), the component odd in x
    // (in the even one a plane dipole patch takes no part at all)
    sym::NIMAGE = 2, sym::IMAGEID[2] = 2, sym::ISYMC[1] = 2;
    RkOut both, once;
    RKPATCH(field(x, 0, 0), s, 0, off, 0.0f, 0, -1.0f, R, both, W, ierr);
    model::IDIPSYM = 1, cfg::IDIPOLE = 1, model::IDIPWM(2) = 2;
    RKPATCH(field(x, 0, 0), s, 0, off, 0.0f, 0, -1.0f, R, once, W, ierr);
    sym::NIMAGE = 1;
    model::IDIPWM(2) = 0;
    RkOut direct;
    RKPATCH(field(x, 0, 0), s, 0, off, 0.0f, 0, -1.0f, R, direct, W, ierr);
    EXPECT_NEAR(once.DIP[0], direct.DIP[0], 1e-6f);
    EXPECT_GT(std::fabs(both.DIP[0] - direct.DIP[0]), 1e-3f);
}

}  // namespace

namespace {

// Dipole patches: on its own span a dipole patch takes the equation in
// normal-derivative form, whose source value on a flat patch is the jump
// -4 pi times the modal normal velocity; a dipole source patch gives no
// source values at an ordinary patch.
TEST_F(RkPatch, DipolePatches) {
    const Affine deep{{0.1, 0.0, -3.0}, {0.4, 0.0, 0.0}, {0.0, 0.3, 0.0}};
    flat({deep, Affine{{0.1, 1.0, -3.0}, {0.4, 0.0, 0.0}, {0.0, 0.3, 0.0}}});
    cfg::IDIPOLE = 1;
    model::IPERSPC = 1;
    model::IDIPWM(1) = 1;
    const D3 x = deep.at(0.2, -0.3);
    RkField f = field(x, 0.2f, -0.3f);
    f.IDIP = 1;
    f.N[2] = 1.0f;
    RkOut O;
    int ierr = -1;
    const float off[3] = {0, 0, 0};
    RKPATCH(f, span(), 1, off, 0.0f, 0, -1.0f, R, O, W, ierr);
    ASSERT_EQ(ierr, 0);
    for (int m = 1; m <= 6; ++m)
        EXPECT_NEAR(O.SRC[m - 1] + 0.5f * O.SRCI[m - 1], m == 3 ? -12.566371f : 0.0f, 1e-3f) << m;
    // an ordinary field patch against the dipole patch
    RkField g = field(deep.at(0.2, 3.0), 0.2f, 0.0f);
    g.IP = 2;
    RKPATCH(g, span(), 0, off, 0.0f, 0, -1.0f, R, O, W, ierr);
    ASSERT_EQ(ierr, 0);
    for (float v : O.SRC) EXPECT_EQ(v, 0.0f);
    EXPECT_NE(O.DIP[0], 0.0f);
}

// The influence of every span of a closed, deeply submerged sphere at its
// own outer points (RKPOINT), the normals pointing into the body: the
// dipole integral is 2 pi (principal value) plus the free term 2 pi, the
// image sphere adding nothing at a point outside it; the surge and sway
// normal velocities -(x - c)_x / a and -(x - c)_y / a are first spherical
// harmonics, whose single layers are -(4 pi a / 3) (x - c)_x / a on the
// sphere and -(4 pi a^3 / 3) (x - c')_x / |x - c'|^3 outside the image.
TEST_F(RkPatch, ClosedSphereAtItsOwnPoints) {
    const double A = 1.0, ZC = -6.0;
    sphere(A, ZC);
    spline(3, 2, 2, 4);
    RkPoint K;
    int ierr = -1;
    RKSETUP(K, ierr);
    ASSERT_EQ(ierr, 0) << screen.str();
    ASSERT_EQ(K.O.size(), 16u);
    const int QO = 2, N = 2;
    for (int ipt : {1, 7, 22, 40, 63}) {
        SCOPED_TRACE(ipt);
        // the point's patch, spans and nodes in the order of the point tables
        const int r = ipt - 1;
        const int qu = r % QO + 1, qv = r / QO % QO + 1, iu = r / (QO * QO) % N + 1, jv = r / (QO * QO * N) % N + 1,
                  ip = r / (QO * QO * N * N) + 1;
        const float* t = &model::HOTAB1(1, ip);
        const float u = 0.5f * (t[2 + iu - 1] + t[2 + iu]) + 0.5f * (t[2 + iu] - t[2 + iu - 1]) * model::XGUO(qu, ip);
        const float v = 0.5f * (t[2 + jv - 1] + t[2 + jv]) + 0.5f * (t[2 + jv] - t[2 + jv - 1]) * model::XGVO(qv, ip);
        RKPOINT(ip, iu, jv, ipt, u, v, 0, -1.0f, K, ierr);
        ASSERT_EQ(ierr, 0) << screen.str();
        double dip = 0, src[2] = {0, 0};
        for (const RkOut& O : K.O) {
            dip += static_cast<double>(O.DIP[0]);
            src[0] += static_cast<double>(O.SRC[0]), src[1] += static_cast<double>(O.SRC[1]);
        }
        const D3 x = {model::XQO(1, ipt), model::XQO(2, ipt), model::XQO(3, ipt)};
        const D3 d = {x[0], x[1], x[2] + ZC};  // from the image centre (0, 0, -ZC)
        const double r3 = std::pow(test::norm3(d), 3), PI = 3.141592653589793;
        EXPECT_NEAR(dip, 4 * PI, 2e-3);
        for (int c = 0; c < 2; ++c)
            EXPECT_NEAR(src[c], -(4 * PI * A / 3 * x[c] / A + 4 * PI * A * A * A / 3 * d[c] / r3), 1e-3) << c;
    }
}

}  // namespace
