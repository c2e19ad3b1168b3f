// Influence of a flat panel at a field point: the Rankine integrals and the
// wave kernel evaluated directly and combined by hand; gradients against
// central differences of the influences; a tank panel against the same
// panel in open water shifted by its free-surface level.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <complex>
#include <string>

#include "common/types.hpp"
#include "geometry/model.hpp"
#include "kernels/fldgrn.hpp"
#include "kernels/rankpan.hpp"
#include "kernels/wgreenv.hpp"
#include "main/config.hpp"
#include "panels/paneldata.hpp"
#include "tests/support/panelfix.hpp"

namespace zorva {
namespace {

using test::Quad;

// A tilted quadrilateral, centred at about (0.45, 0.5, zc).
Quad panel(double zc) {
    return {{{0.0, 0.0, zc + 0.1}, {0.1, 1.0, zc - 0.1}, {1.0, 1.1, zc - 0.1}, {0.8, -0.1, zc + 0.1}}};
}

struct Out {
    float dre, dim, sre, sim;
    float gd[3], gdi[3], gs[3], gsi[3];
    int ierr;
};

Out influence(const float* p, float nu, int mode, int ivel = 1, int ipan = 1) {
    Out o{};
    FLDGRNLO(p, 100.0f, nu, ipan, o.dre, o.dim, o.gd, o.gdi, o.sre, o.sim, o.gs, o.gsi, mode, ivel, 0, o.ierr);
    return o;
}

class FieldGreen : public ::testing::Test {
protected:
    void SetUp() override {
        cfg::reset();
        model::reset();
        pnl::reset();
        model::HBOT = -1.0f;
    }
    void TearDown() override {
        cfg::reset();
        model::reset();
        pnl::reset();
    }
    static void one_panel(const Quad& q, int itank = 0) {
        test::build_panels({q});
        model::ITANK.allocate(1);
        model::ITANK(1) = itank;
    }
};

// The wave kernel for one pair with singular-part code `code`.
void wave(float nu, const float* p, const float* c, int code, cplx* G) {
    const float dx = p[0] - c[0], dy = p[1] - c[1];
    const float R = nu * std::sqrt(dx * dx + dy * dy), z = -nu * p[2], zeta = -nu * c[2], h = -nu, a = 0.0f;
    int ibot = 0, one = 1, w[14];
    WGREENV(&R, a, &z, &zeta, h, G, &code, &ibot, one, &w[0], &w[1], &w[2], &w[3], &w[4], &w[5], &w[6], &w[7], &w[8],
            &w[9], &w[10], &w[11], &w[12], &w[13]);
}

TEST_F(FieldGreen, RankineIntegralsPlusWaveKernel) {
    struct Case {
        const char* name;
        double zc;          // panel depth
        float p[3];         // field point
        int mode, ilog;
        int code;           // what the point sees of the Rankine terms
        bool image;         // free-surface image integrated
    };
    const Case cases[] = {
        {"far: centroid wave kernel alone", -1.0, {20.0f, 15.0f, -3.0f}, 1, 0, 0, false},
        {"near, image far", -10.0, {0.2f, 0.9f, -11.5f}, 1, 0, 1, false},
        {"near, image near", -1.0, {0.3f, 0.7f, -1.8f}, 1, 0, 2, true},
        {"near, image near, logarithmic part (source gradient only)", -1.0, {0.6f, 0.2f, -0.4f}, 2, 1, 3, true},
        {"near, image near, MODE 1 ignores the logarithm", -1.0, {0.6f, 0.2f, -0.4f}, 1, 1, 2, true},
    };
    const float nu = 0.7f;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        cfg::ILOG = c.ilog;
        one_panel(panel(c.zc));
        const float cen[3] = {pnl::PCENT(1, 1), pnl::PCENT(2, 1), pnl::PCENT(3, 1)};
        const float A = pnl::PPROP(1, 1);
        const float n[3] = {pnl::PAXES(3, 1, 1), pnl::PAXES(3, 2, 1), pnl::PAXES(3, 3, 1)};

        // By hand: the Rankine integrals at the point and its image ...
        std::complex<double> S = 0.0, D = 0.0;
        float gs[3], gd[3], gls[3], d, s, ld, ls;
        int ierr = 0;
        if (c.code >= 1) {
            RANKPF(c.p, 0, 1, pnl::PAXES, pnl::PNLARR6, pnl::PNLARR5, pnl::PCENT, pnl::PNLARR4, pnl::PPROP,
                   pnl::PNLARR3, d, s, ld, ls, 0, gs, gd, gls, gls, ierr);
            S += double(s);
            D += double(d);
        }
        if (c.image) {
            const int L = c.mode != 1 ? c.ilog : 0;
            const float q[3] = {c.p[0], c.p[1], -c.p[2]};
            RANKPF(q, L, 1, pnl::PAXES, pnl::PNLARR6, pnl::PNLARR5, pnl::PCENT, pnl::PNLARR4, pnl::PPROP,
                   pnl::PNLARR3, d, s, ld, ls, 0, gs, gd, gls, gls, ierr);
            S += double(s) - 2.0 * double(nu) * L * (double(A) * std::log(double(nu)) + double(ls));
            D += double(d) - 2.0 * double(nu) * L * double(ld);
        }
        // ... plus the wave kernel at the centroid, weighted by the area.
        cplx G[8];
        wave(nu, c.p, cen, c.code, G);
        const double dx = c.p[0] - cen[0], dy = c.p[1] - cen[1], R = std::hypot(dx, dy);
        const double nR = (double(n[0]) * dx + double(n[1]) * dy) / R;
        S += double(A) * double(nu) * std::complex<double>(G[0]);
        D += -double(A) * double(nu * nu) * (std::complex<double>(G[1]) * nR + std::complex<double>(G[6]) * double(n[2]));

        const float p0[3] = {c.p[0], c.p[1], c.p[2]};
        Out o = influence(c.p, nu, c.mode);
        EXPECT_EQ(o.ierr, 0);
        const double tol = 2e-5 * (1.0 + std::abs(S) + std::abs(D));
        EXPECT_NEAR(o.sre, S.real(), tol);
        EXPECT_NEAR(o.sim, S.imag(), tol);
        EXPECT_NEAR(o.dre, D.real(), tol);
        EXPECT_NEAR(o.dim, D.imag(), tol);
        // The caller's point is not changed.
        for (int k = 0; k < 3; ++k) EXPECT_EQ(c.p[k], p0[k]);
    }
}

TEST_F(FieldGreen, GradientsAreDerivativesOfTheInfluences) {
    struct Case {
        const char* name;
        float p[3];
        int mode, ilog;
    };
    const Case cases[] = {
        {"far", {9.0f, -7.0f, -2.5f}, 1, 0},
        {"near, images near", {0.2f, 0.3f, -1.7f}, 1, 0},
        {"near, logarithmic part", {0.7f, 0.1f, -0.5f}, 2, 1},
        {"straight above the centroid", {0.0f, 0.0f, -0.3f}, 1, 0},
    };
    const float nu = 0.9f, h = 2.0e-3f;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        cfg::ILOG = c.ilog;
        one_panel(panel(-1.0));
        float p[3] = {c.p[0], c.p[1], c.p[2]};
        if (std::string(c.name) == "straight above the centroid") {
            p[0] = pnl::PCENT(1, 1);
            p[1] = pnl::PCENT(2, 1);
        }
        Out o = influence(p, nu, c.mode);
        ASSERT_EQ(o.ierr, 0);
        for (int k = 0; k < 3; ++k) {
            float pp[3] = {p[0], p[1], p[2]}, pm[3] = {p[0], p[1], p[2]};
            pp[k] += h;
            pm[k] -= h;
            Out a = influence(pp, nu, c.mode), b = influence(pm, nu, c.mode);
            auto fd = [&](float up, float down) { return (double(up) - double(down)) / (2.0 * double(h)); };
            auto tol = [](float re, float im) { return 1e-2 * (1.0 + std::abs(double(re)) + std::abs(double(im))); };
            EXPECT_NEAR(o.gs[k], fd(a.sre, b.sre), tol(o.gs[k], o.gsi[k])) << k;
            EXPECT_NEAR(o.gsi[k], fd(a.sim, b.sim), tol(o.gs[k], o.gsi[k])) << k;
            if (c.mode == 1) {
                EXPECT_NEAR(o.gd[k], fd(a.dre, b.dre), tol(o.gd[k], o.gdi[k])) << k;
                EXPECT_NEAR(o.gdi[k], fd(a.dim, b.dim), tol(o.gd[k], o.gdi[k])) << k;
            } else {
                EXPECT_EQ(o.gd[k], 0.0f);
                EXPECT_EQ(o.gdi[k], 0.0f);
            }
        }
    }
}

TEST_F(FieldGreen, TankPanelUsesItsFreeSurface) {
    // Tank 1 of body 1: free surface at 0.4 above the body origin, which is
    // at z = 0.3.  The same panel and point 0.7 lower in open water see the
    // same influence.
    cfg::NTANKS = 1;
    cfg::ZTANKFS.allocate(1);
    cfg::ZTANKFS(1) = 0.4f;
    cfg::ITANKB.allocate(1);
    cfg::ITANKB(1) = 1;
    cfg::XBODY.allocate(4, 1);
    cfg::XBODY(3, 1) = 0.3f;
    const float nu = 0.8f;
    const std::array<float, 3> points[2] = {{0.4f, 0.6f, -0.1f}, {6.0f, 3.0f, -1.0f}};
    for (const auto& p : points) {
        one_panel(panel(-0.3), 1);
        const float pt[3] = {p[0], p[1], p[2]};
        Out t = influence(pt, nu, 1);
        one_panel(panel(-1.0), 0);
        const float ps[3] = {pt[0], pt[1], pt[2] - 0.7f};
        Out s = influence(ps, nu, 1);
        EXPECT_NEAR(t.sre, s.sre, 1e-4);
        EXPECT_NEAR(t.sim, s.sim, 1e-4);
        EXPECT_NEAR(t.dre, s.dre, 1e-4);
        EXPECT_NEAR(t.dim, s.dim, 1e-4);
        for (int k = 0; k < 3; ++k) {
            EXPECT_NEAR(t.gs[k], s.gs[k], 1e-4);
            EXPECT_NEAR(t.gd[k], s.gd[k], 1e-4);
        }
    }
}

}  // namespace
}  // namespace zorva
