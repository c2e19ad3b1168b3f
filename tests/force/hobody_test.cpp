// Higher-order body values: the basis tables at the Gauss points against
// closed-form B-splines; on a flat patch carrying phi = x (coefficients at
// the Greville abscissae) the input-panel centroids and the located body
// points give potential x and velocity (1, 0, 0) exactly; the coefficient
// sets of "optn.5pb" read back.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include "force/bodyprs.hpp"
#include "force/bodypts.hpp"
#include "force/drftpi.hpp"
#include "force/force.hpp"
#include "force/forceres.hpp"
#include "main/runparams.hpp"
#include "main/symmetry.hpp"
#include "p2f/forcedata.hpp"
#include "tests/kernels/hofix.hpp"

namespace zorva {
namespace {

using test::Affine;

class HoBody : public test::HoKernelTest {
protected:
    // One flat patch in the plane z = -1 (normal along z), order K, N x N
    // spans; potential phi = x (diffraction, heading 1) and y (radiation of
    // heave, column 1) as coefficients at the Greville abscissae.
    void flat_patch(int K, int N) {
        using namespace model;
        flat({Affine{{0.3, -0.2, -1.0}, {0.7, 0.2, 0.0}, {0.1, 0.5, 0.0}}});
        spline(K, N, 2, 3);
        cfg::NBODY = 1;
        IPSTART.allocate(1), NPATCHB.allocate(1);
        IPSTART(1) = 1, NPATCHB(1) = 1;
        NEQN = NBU(1) * NBV(1);
        IRAD = IDIFF = 1;
        sym::NSYMF = sym::NSYMC = 1;
        sym::ISYMF[1] = sym::ISYMC[1] = 1;
        sym::NSOLC = 1;
        sym::NMODSC[1] = 1;
        sym::IMODSC.allocate(NMODT, 4);
        sym::IMODSC(1, 1) = 3;
        sym::IMODPOS.allocate(NMODT);
        sym::IMODPOS(3) = 1;
        frc::NBETAF = 1;
        frc::RADPOT.allocate(NEQN, 1);
        frc::DIFPOT.allocate(NEQN, 1, 1);
        const float* t = &HOTAB1(1, 1);
        for (int j = 1; j <= NBV(1); ++j)
            for (int i = 1; i <= NBU(1); ++i) {
                double xi = 0, eta = 0;
                for (int r = 1; r <= K - 1; ++r) {
                    xi += static_cast<double>(t[i + r - 1]);
                    eta += static_cast<double>(t[j + r - 1]);
                }
                xi /= K - 1, eta /= K - 1;
                const int c = i + (j - 1) * NBU(1);
                frc::DIFPOT(c, 1, 1) = static_cast<float>(0.3 + 0.7 * xi + 0.1 * eta);
                frc::RADPOT(c, 1) = static_cast<float>(-0.2 + 0.2 * xi + 0.5 * eta);
            }
    }
};

TEST_F(HoBody, BasisTablesAtGaussPointsMatchClosedForms) {
    // Linear and quadratic B-splines on two equal spans of [-1, 1].
    flat({Affine{{0, 0, -1}, {1, 0, 0}, {0, 1, 0}}, Affine{{0, 0, -1}, {1, 0, 0}, {0, 1, 0}}});
    spline({2, 3}, {2, 2}, 2, 2);
    int ierr = -1;
    PBCOEF(2, ierr);
    ASSERT_EQ(ierr, 0);
    const double g = 1.0 / std::sqrt(3.0);
    for (int a = 1; a <= 2; ++a)
        for (int q = 1; q <= 2; ++q) {
            const double x = (a == 1 ? -0.5 : 0.5) + 0.5 * (q == 1 ? -g : g);
            const double t = a == 1 ? x + 1 : x;  // local coordinate on the span, 0..1
            const double lin[2] = {1 - t, t};
            const double quad1[3] = {(1 - t) * (1 - t), 2 * t - 1.5 * t * t, 0.5 * t * t};
            const double quad2[3] = {0.5 * (1 - t) * (1 - t), 0.5 + t - 1.5 * t * t, t * t};
            for (int k = 1; k <= 3; ++k) {
                const int r = k + (q - 1) * model::MAXKU;
                if (k <= 2) {
                    EXPECT_NEAR(frc::BASQU(r, a, 1), lin[k - 1], 1e-6) << a << q << k;
                }
                EXPECT_NEAR(frc::BASQU(r, a, 2), (a == 1 ? quad1 : quad2)[k - 1], 1e-6) << a << q << k;
                EXPECT_NEAR(frc::BASQV(r, a, 2), (a == 1 ? quad1 : quad2)[k - 1], 1e-6) << a << q << k;
            }
        }
    // A knot vector without a physical space fails with the message.
    model::HOTAB1.fill(0.0f);
    PBCOEF(2, ierr);
    EXPECT_EQ(ierr, 1);
    EXPECT_NE(screen.str().find(" Error calling BASEF in PBCOEF"), std::string::npos);
}

TEST_F(HoBody, FlatPatchLinearPotentialAtCentroidsAndBodyPoints) {
    using namespace frc;
    flat_patch(3, 2);
    int ierr = -1;
    GETPCT(ierr);
    ASSERT_EQ(ierr, 0);
    ASSERT_EQ(NPCT, 64);
    double area = 0;
    for (int iu = 1; iu <= 2; ++iu)
        for (int iv = 1; iv <= 2; ++iv) EXPECT_EQ(NSUBPCT(iu, iv, 1), 16);
    for (int n = 1; n <= NPCT; ++n) area += static_cast<double>(APCT(n));
    EXPECT_NEAR(area, 4 * (0.7 * 0.5 - 0.2 * 0.1), 1e-5);
    const float S = 2.0f;
    NPBOUT = NPCT;
    PDIFP.allocate(NPCT, 1, 1), PRADP.allocate(NPCT, 1, 1);
    VDIFP.allocate(NPCT, 3, 1), VRADP.allocate(NPCT, 3, 1);
    BPBV(S, 1, 1, 0, ierr);
    ASSERT_EQ(ierr, 0);
    const float nz = ENPCT(3, 1);
    EXPECT_NEAR(std::fabs(nz), 1.0, 1e-6);
    for (int n = 1; n <= NPCT; ++n) {
        SCOPED_TRACE(n);
        EXPECT_NEAR(PDIFP(n, 1, 1).real(), XPCT(1, n), 2e-6);
        EXPECT_NEAR(PRADP(n, 1, 1).real(), S * XPCT(2, n), 4e-6);
        const double vd[3] = {1, 0, 0}, vr[3] = {0, S, S * nz * nz};
        for (int c = 1; c <= 3; ++c) {
            EXPECT_NEAR(VDIFP(n, c, 1).real(), vd[c - 1], 2e-5);
            EXPECT_NEAR(VRADP(n, c, 1).real(), vr[c - 1], 4e-5);
        }
    }

    // Body points given on the patch: found at their parameters, with the
    // same potential and velocity.
    const double uv[3][2] = {{0.25, -0.6}, {-0.9, 0.95}, {0.0, 0.0}};
    NBPTT = 3;
    IBPIMG.allocate(3), IBPIDX.allocate(3), IBPPAT.allocate(3), IBPLEFT.allocate(3);
    ENBP.allocate(3, 3), XUBP.allocate(3, 3), XVBP.allocate(3, 3), VNBP.allocate(model::NMODT, 3);
    BUBP.allocate(model::MAXKU, 2, 3), BVBP.allocate(model::MAXKV, 2, 3), UVBP.allocate(2, 3);
    IBPIMG.fill(1), IBPIDX.fill(1);
    ASSERT_EQ(chan::open(39, "run.bpo", chan::Status::Replace), 0);
    int nunconv = 0;
    const Affine pa{{0.3, -0.2, -1.0}, {0.7, 0.2, 0.0}, {0.1, 0.5, 0.0}};
    for (int j = 1; j <= 3; ++j) {
        const test::D3 x = pa.at(uv[j - 1][0], uv[j - 1][1]);
        const float X[3] = {static_cast<float>(x[0]), static_cast<float>(x[1]), static_cast<float>(x[2])};
        FINDBPTH(X, 1, 39, j, j, nunconv, ierr);
        ASSERT_EQ(ierr, 0);
        EXPECT_EQ(IBPPAT(j), 1);
    }
    chan::close(39);
    EXPECT_EQ(nunconv, 0);
    EXPECT_EQ(IBPLEFT(1), 1);  // u in span 2, v in span 1: the second coefficient first
    EXPECT_EQ(IBPLEFT(2), 4);  // u in span 1, v in span 2: one row of NBU = 4 further
    PDIFB.allocate(3, 1), PRADB.allocate(3, 1), VDIFB.allocate(3, 3, 1), VRADB.allocate(3, 3, 1);
    BPBVBPTH(S, 1, 1, 0, ierr);
    ASSERT_EQ(ierr, 0);
    std::istringstream bpo(read_file("run.bpo"));
    std::string line;
    for (int j = 1; j <= 3; ++j) {
        const test::D3 x = pa.at(uv[j - 1][0], uv[j - 1][1]);
        EXPECT_NEAR(PDIFB(j, 1).real(), x[0], 2e-6);
        EXPECT_NEAR(PRADB(j, 1).real(), static_cast<double>(S) * x[1], 4e-6);
        EXPECT_NEAR(VDIFB(j, 1, 1).real(), 1.0, 2e-5);
        EXPECT_NEAR(VDIFB(j, 2, 1).real(), 0.0, 2e-5);
        EXPECT_NEAR(VRADB(j, 2, 1).real(), S, 4e-5);
        // The .bpo line: number, image position, patch, u, v.
        ASSERT_TRUE(std::getline(bpo, line));
        int i, pos, p;
        float u, v;
        std::istringstream(line) >> i >> pos >> p >> u >> v;
        EXPECT_EQ(i, j);
        EXPECT_EQ(p, 1);
        EXPECT_NEAR(u, uv[j - 1][0], 2e-6);
        EXPECT_NEAR(v, uv[j - 1][1], 2e-6);
    }

    // Parallel tangents at a centroid: the velocities cannot be formed.
    for (int c = 1; c <= 3; ++c) XVPCT(c, 5) = XUPCT(c, 5);
    BPBV(S, 1, 1, 0, ierr);
    EXPECT_EQ(ierr, 1);
    EXPECT_NE(screen.str().find(" Error in matrix inversion in BPBV\n"), std::string::npos);
}


// Drift integrals on a vertical patch in the plane y = 0, z from -1 to 0,
// x from -0.3 to 0.9, its side v = 1 on the free surface, behind a
// skipped patch: total potential x + 2 (0.5) z (diffraction phi = x,
// surge radiation phi = z at amplitude 0.5 and frequency factor 2), so
// the velocity is (1, 0, 1) and the elevation at the waterline x.
TEST_F(HoBody, DriftIntegralsOfALinearPotentialOnAVerticalPatch) {
    using namespace model;
    flat({Affine{{5, 5, -1}, {1, 0, 0}, {0, 1, 0}}, Affine{{0.3, 0.0, -0.5}, {0.6, 0.0, 0.0}, {0.0, 0.0, 0.5}}});
    spline(3, 2, 2, 3);
    cfg::NBODY = 1;
    IPSTART.allocate(1), NPATCHB.allocate(1);
    IPSTART(1) = 1, NPATCHB(1) = 2;
    IFSPAT(1) = -1;
    IWTL.allocate(2);
    IWTL(2) = 2;  // side v = 1
    NEQN = NBU(1) * NBV(1) + NBU(2) * NBV(2);
    IRAD = IDIFF = 1;
    sym::NSYMF = sym::NSYMC = 1;
    sym::ISYMF[1] = sym::ISYMC[1] = 1;
    sym::NSOLC = 1, sym::NMODSC[1] = 1;
    sym::IMODSC.allocate(NMODT, 4), sym::IMODPOS.allocate(NMODT);
    sym::IMODSC(1, 1) = 1, sym::IMODPOS(1) = 1;
    frc::NBETAF = 1;
    frc::RADPOT.allocate(NEQN, 1), frc::DIFPOT.allocate(NEQN, 1, 1), frc::RAO.allocate(NMODT, 1);
    frc::RADPOT.fill(cplx(1000.0f)), frc::DIFPOT.fill(cplx(1000.0f));
    frc::RAO(1, 1) = 0.5f;
    const float* t = &HOTAB1(1, 2);
    const int off = NBU(1) * NBV(1);
    for (int j = 1; j <= NBV(2); ++j)
        for (int i = 1; i <= NBU(2); ++i) {
            const double xi = 0.5 * static_cast<double>(t[i] + t[i + 1]), eta = 0.5 * static_cast<double>(t[j] + t[j + 1]);
            frc::DIFPOT(off + i + (j - 1) * NBU(2), 1, 1) = static_cast<float>(0.3 + 0.6 * xi);
            frc::RADPOT(off + i + (j - 1) * NBU(2), 1) = static_cast<float>(-0.5 + 0.5 * eta);
        }
    const double n2 = ENQP(2, NQP);  // the patch's normal, +-y
    drft::Copy C{};
    C.IB = C.J1 = C.J2 = C.ISYM = 1;
    for (int k = 1; k <= 5; ++k) C.SGN[k] = 1;
    C.XIB1[1] = C.XIB2[1] = 0.5f;
    drft::Sums S{};
    int icoef = -1, ierr = -1;
    MDRFTP(C, S, icoef, 0, 2.0f, IDIFF, ierr);
    ASSERT_EQ(ierr, 0);
    EXPECT_EQ(icoef, NEQN);
    // Integrals over the patch (area 1.2) and along x on the waterline.
    struct Want {
        const char* what;
        cplx got;
        double want;
    };
    const Want w[] = {
        {"quadratic velocity, y force: |V|^2 n2 dS", S.DQVF[2], 2 * 1.2 * n2},
        {"quadratic velocity, roll: -z n2 |V|^2 dS", S.DQVM[1], 2 * 0.6 * n2},
        {"quadratic velocity, yaw: x n2 |V|^2 dS", S.DQVM[3], 2 * 0.36 * n2},
        {"body motion, y force: (0.5 + 0.5) n2 dS", S.DMTF[2], 1.2 * n2},
        {"pressure-normal, y: (x + z) n2 dS", S.PNF[2][1], (0.36 - 0.6) * n2},
        {"waterline, y force: x^2 n2 dx", S.DWLF[2], 0.252 * n2},
        {"waterline, x force", S.DWLF[1], 0.0},
        {"waterline, yaw: x^3 n2 dx", S.DWLM[3], 0.162 * n2},
        {"hull waterline, y: x^2 n2 dx", S.DWPF[2], 0.252 * n2},
        {"tank sums untouched", S.TQVF[2], 0.0},
    };
    for (const Want& e : w) {
        EXPECT_NEAR(e.got.real(), e.want, 2e-5) << e.what;
        EXPECT_NEAR(e.got.imag(), 0.0, 2e-5) << e.what;
    }
    // Knots without a physical space: the basis fails, and so does the
    // integration, with the basis routine's nonzero status.
    for (int r = 1; r <= HOTAB2.extent(1); ++r) HOTAB2(r, 2) = 0.0f;
    MDRFTP(C, S, icoef, 0, 2.0f, IDIFF, ierr);
    EXPECT_NE(ierr, 0);
    EXPECT_NE(screen.str().find(" Error calling BASEF in MDRFTP\n"), std::string::npos);
}

}  // namespace
}  // namespace zorva
