// Pressure-integration drift and the body values it integrates, checked
// against relations any consistent solution satisfies: a body symmetric
// about y = 0 in head seas has no sway force, roll or yaw moment; the same
// body solved as a half with a symmetry plane gives the drift of the whole
// body; the pressure summed over the panels' areas and normals is the
// pressure-integration exciting force; a waterline on a horizontal panel
// is refused.
#include <gtest/gtest.h>

#include <cmath>

#include "force/bodyprs.hpp"
#include "force/drftpi.hpp"
#include "tests/force/forcefix.hpp"

namespace zorva {
namespace {

using test::ForceTest;
using test::Pan;

// The half y > 0 of a small body: panels with their in-plane axes, vertex
// coordinates in the panel frame and side lengths; panel 2 has its side 3
// on the waterline.
struct HPan {
    Pan p;
    float e1[3], e2[3];
};
const HPan HALF[3] = {
    {{{-0.4f, 0.3f, -0.5f}, {-0.6f, 0.0f, -0.8f}, 1.2f}, {0.0f, 1.0f, 0.0f}, {0.8f, 0.0f, -0.6f}},
    {{{0.5f, 0.2f, -0.7f}, {0.36f, 0.48f, -0.8f}, 0.9f}, {0.8f, -0.6f, 0.0f}, {0.384f, 0.512f, 0.6f}},
    {{{0.1f, 0.6f, -0.3f}, {0.0f, 0.6f, -0.8f}, 1.5f}, {1.0f, 0.0f, 0.0f}, {0.0f, 0.8f, 0.6f}},
};
const float U[4] = {-0.45f, 0.45f, 0.45f, -0.45f}, V[4] = {-0.5f, -0.5f, 0.5f, 0.5f}, LEN[4] = {0.9f, 1.0f, 0.9f, 1.0f};

// Values of half panel i (0-based), even in y: diffraction and radiation
// potentials and velocities (x, y, z) of heading j and mode m.
cplx dif(int i, int j) { return {0.3f + 0.1f * i - 0.05f * j, -0.2f + 0.07f * i * j}; }
cplx rad(int i, int m) { return {0.1f * (m + 1) - 0.03f * i, 0.02f * m * (i + 1) - 0.05f}; }
cplx dvel(int i, int c, int j) { return {0.05f * (c + 1) - 0.02f * i + 0.01f * j, 0.03f * i - 0.01f * c * j}; }
cplx rvel(int i, int c, int m) { return {0.02f * (m + c) - 0.01f * i, 0.015f * i * c - 0.01f * m}; }

// The body as the whole (mirror = false: six panels, no symmetry) or as
// the half with the plane y = 0; surge, heave and pitch move, the motions
// of the odd modes are 0.
class DriftTest : public ForceTest {
public:
    void body(bool half) {
        std::vector<Pan> pans;
        std::vector<const HPan*> src;
        std::vector<float> sy;
        for (int side : {1, -1}) {
            if (half && side == -1) break;
            for (const auto& h : HALF) {
                Pan p = h.p;
                p.c[1] *= static_cast<float>(side);
                p.n[1] *= static_cast<float>(side);
                pans.push_back(p);
                src.push_back(&h);
                sy.push_back(static_cast<float>(side));
            }
        }
        const int ne = static_cast<int>(pans.size());
        model1(pans, {0.0f, 30.0f}, 8.0f, 0.0629f, {0, 0, 0, 0, 0, 0, 0, 0, 0, 2});
        model::WNUMK(1) = 0.0629f;
        if (half) {
            model::ISY = 1;
            const auto& sc = sym::symcase(0, 1);
            sym::NSYMF = sc.nsymf;
            sym::NSYMC = sc.nsymf;
            sym::NSYMD = sc.nsymd;
            for (int k = 1; k <= 4; ++k) {
                const auto uk = static_cast<std::size_t>(k);
                sym::ISYMF[uk] = sc.isymf[uk - 1];
                sym::ISYMC[uk] = sc.isymf[uk - 1];
                sym::NSYMRHS[uk] = sc.isymd[uk - 1];
                sym::NMODSC[uk] = sc.nrig[uk - 1];
            }
            sym::IMODSC.fill(0);
            int r = 0;
            for (int k = 1; k <= 2; ++k)
                for (int a = 1; a <= 3; ++a) {
                    const int m = sc.mrig[static_cast<std::size_t>(r)];
                    ++r;
                    sym::IMODSC(a, k) = m;
                    sym::IMODORD(r) = m;
                    sym::IMODPOS(m) = r;
                    frc::MODCOL(r) = r;
                }
        } else {
            sym::ISYMC[1] = sym::ISYMF[1] = 1;
        }
        const int nsymf = sym::NSYMF, nsymc = sym::NSYMC, nb = frc::NBETAF;
        frc::DIFPOT.allocate(ne, nb, nsymc);
        frc::DIFPOT.fill(cplx{});
        frc::VDIFP.allocate(ne, 3, nb * nsymf);
        frc::VDIFP.fill(cplx{});
        frc::RADVEL.allocate(ne, 3, 6);
        frc::RADVEL.fill(cplx{});
        frc::RADPOT.fill(cplx{});
        pnl::PNLARR4.allocate(4, ne);
        pnl::PNLARR5.allocate(4, ne);
        pnl::PNLARR6.allocate(4, ne);
        for (int i = 1; i <= ne; ++i) {
            const int h = (i - 1) % 3;
            const float s = sy[static_cast<std::size_t>(i - 1)];
            for (int c = 1; c <= 3; ++c) {
                const float f = c == 2 ? s : 1.0f;
                pnl::PAXES(1, c, i) = f * src[static_cast<std::size_t>(i - 1)]->e1[c - 1];
                pnl::PAXES(2, c, i) = f * src[static_cast<std::size_t>(i - 1)]->e2[c - 1];
            }
            for (int k = 1; k <= 4; ++k) {
                pnl::PNLARR6(k, i) = U[k - 1];
                pnl::PNLARR5(k, i) = V[k - 1];
                pnl::PNLARR4(k, i) = LEN[k - 1];
            }
            // Even modes (surge, heave, pitch) and the even diffraction
            // component: the y-velocity changes sign with the side.
            for (int j = 1; j <= nb; ++j) {
                frc::DIFPOT(i, j, 1) = dif(h, j);
                for (int c = 1; c <= 3; ++c) frc::VDIFP(i, c, j) = (c == 2 ? s : 1.0f) * dvel(h, c, j);
            }
            for (int m : {1, 3, 5}) {
                const int q = sym::IMODPOS(m);
                frc::RADPOT(i, q) = rad(h, m);
                for (int c = 1; c <= 3; ++c) frc::RADVEL(i, c, q) = (c == 2 ? s : 1.0f) * rvel(h, c, m);
            }
        }
        for (int j = 1; j <= nb; ++j) {
            frc::RAO(sym::IMODPOS(1), j) = {0.8f, 0.1f * j};
            frc::RAO(sym::IMODPOS(3), j) = {1.1f, -0.2f};
            frc::RAO(sym::IMODPOS(5), j) = {0.05f * j, 0.02f};
        }
        model::NWLSEG = half ? 1 : 2;
        model::IWLPAN.allocate(model::NWLSEG);
        model::IWLSIDE.allocate(model::NWLSEG);
        model::IWLPAN(1) = 2;
        model::IWLSIDE.fill(3);
        if (!half) model::IWLPAN(2) = 5;
        model::NPANB.allocate(1);
        model::NWLPANB.allocate(1);
        model::NPANB(1) = ne;
        model::NWLPANB(1) = model::NWLSEG;
        model::CSPHIB.allocate(2, 1);
        model::CSPHIB(1, 1) = 1.0f;
        model::CSPHIB(2, 1) = 0.0f;
        cfg::XBODY.allocate(4, 1);
        cfg::XBODY.fill(0.0f);
        for (int m = 1; m <= 6; ++m) pnl::CHYD(m, m) = 1.0f + 0.1f * m;
        pnl::CHYD(3, 5) = pnl::CHYD(5, 3) = 0.2f;
        for (auto* a : {&frc::CZ33, &frc::CZ35, &frc::CZ34}) a->allocate(1);
        frc::VMOMB.allocate(2, 1);
        frc::CZ33(1) = 0.12f;
        frc::CZ35(1) = 0.03f;
        frc::CZ34(1) = 0.0f;
        frc::VMOMB(1, 1) = 0.1f;
        frc::VMOMB(2, 1) = 0.0f;
        frc::NPBOUT = ne;
        frc::IBPPRS = frc::IBPVEL = 1;
        frc::PTOTP.allocate(ne, nb, nsymf);
        frc::PDIFP.allocate(ne, nb, nsymf);
        frc::PRADP.allocate(ne, 6, nsymf);
        frc::VTOTP.allocate(ne, 3, nb * nsymf);
        frc::VRADP.allocate(ne, 3, 6 * nsymf);
    }
};

TEST_F(DriftTest, SymmetricBodyInHeadSeasAndItsHalf) {
    // Whole body.
    body(false);
    int ierr = 0;
    const float nu = model::WNUMNU(1), k = model::WNUMK(1);
    BPBVDRV(nu, k, 0, ierr);
    ASSERT_EQ(ierr, 0);
    DRFTPI(nu, 2, ierr);
    ASSERT_EQ(ierr, 0);
    const Arr2<cplx> whole = frc::DRIFTM, whole2 = frc::DRIFTS;
    // Head seas, pair (1, 1): no sway force, roll or yaw moment; the
    // others are not trivially 0.
    float scale = 0.0f;
    for (int r : {1, 3, 5}) scale = std::max(scale, std::abs(whole(r, 1)));
    ASSERT_GT(scale, 1e-3f);
    for (int r : {2, 4, 6}) EXPECT_LT(std::abs(whole(r, 1)), 1e-5f * scale) << r;
    for (int r : {4, 6}) EXPECT_LT(std::abs(whole2(r, 1)), 1e-5f * scale) << r;

    // The half with the plane y = 0: the same drift for every pair.
    SetUp();
    body(true);
    BPBVDRV(nu, k, 0, ierr);
    ASSERT_EQ(ierr, 0);
    DRFTPI(nu, 2, ierr);
    ASSERT_EQ(ierr, 0);
    ASSERT_EQ(frc::DRIFTM.extent(2), 3);
    for (int p = 1; p <= 3; ++p)
        for (int r = 1; r <= 6; ++r) {
            EXPECT_NEAR(std::abs(frc::DRIFTM(r, p) - whole(r, p)), 0.0f, 1e-5f * scale) << r << " " << p;
            if (r >= 4) {
                EXPECT_NEAR(std::abs(frc::DRIFTS(r, p) - whole2(r, p)), 0.0f, 1e-5f * scale) << r << " " << p;
            }
        }
}

TEST_F(DriftTest, PressureOverTheCopiesIsThePressureIntegrationForce) {
    // On the half body the two copies' pressures, summed with the copies'
    // areas and mode normals, give the exciting force by pressure
    // integration.
    body(true);
    int ierr = 0;
    BPBVDRV(model::WNUMNU(1), model::WNUMK(1), 0, ierr);
    ASSERT_EQ(ierr, 0);
    frc::FEXD.allocate(6, frc::NBETAF);
    FRCACC();
    // Mode-normal factors of the copy mirrored in y = 0.
    const float f4[7] = {0, 1, -1, 1, -1, 1, -1};
    for (int m = 1; m <= 6; ++m)
        for (int j = 1; j <= frc::NBETAF; ++j) {
            cplx s{};
            for (int i = 1; i <= 3; ++i)
                s += pnl::PPROP(1, i) * pnl::VNMODE(m, i) * (frc::PDIFP(i, j, 1) + f4[m] * frc::PDIFP(i, j, 2));
            const cplx f = frc::FEXD(sym::IMODPOS(m), j);
            EXPECT_NEAR(std::abs(s - f), 0.0f, 1e-5f * std::max(1.0f, std::abs(f))) << m << " " << j;
        }
}

TEST_F(DriftTest, WaterlineOnAHorizontalPanel) {
    body(false);
    for (int c = 1; c <= 3; ++c) pnl::VNMODE(c, 5) = c == 3 ? -1.0f : 0.0f;
    int ierr = 0;
    BPBVDRV(model::WNUMNU(1), model::WNUMK(1), 0, ierr);
    DRFTPI(model::WNUMNU(1), 1, ierr);
    EXPECT_EQ(ierr, 1);
    const std::string s = screen.str();
    const auto a = s.find(" Error in waterline integral, OPTN 9 (horizontal panel)");
    const auto b = s.find("                              Body number :1");
    const auto c = s.find("                             Panel number :2");
    EXPECT_TRUE(a != std::string::npos && b != std::string::npos && c != std::string::npos && a < b && b < c) << s;
}

}  // namespace
}  // namespace zorva
