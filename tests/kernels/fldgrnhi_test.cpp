// Green-function moments of a patch span at a field point: a small flat
// patch of order 1 (one span, one basis function) carries the unit dipole
// and source of the same low-order panel, so its first moments must give
// the panel's influences (Rankine part integrated in both, wave part at
// the panel centroid against the span's Gauss points).
#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "kernels/fldgrn.hpp"
#include "panels/paneldata.hpp"
#include "tests/kernels/hofix.hpp"
#include "tests/support/panelfix.hpp"

namespace zorva {
namespace {

using test::Affine;

class FieldGreenHi : public test::HoKernelTest {
protected:
    // A 0.2 x 0.2 square at depth 0.5, tilted about the x axis, as patch
    // and as panel.
    Affine A{{0.3, -0.2, -0.5}, {0.1, 0.0, 0.0}, {0.0, 0.09, 0.04}};
    void build(int K, int N) {
        flat({A});
        spline(K, N, 4, 4);
        model::HBOT = -1.0f;
        test::Quad q;
        const test::D3 v[4] = {A.at(1, -1), A.at(-1, -1), A.at(-1, 1), A.at(1, 1)};
        for (int k = 0; k < 4; ++k)
            for (int c = 0; c < 3; ++c) q[static_cast<std::size_t>(k)][static_cast<std::size_t>(c)] = v[k][c];
        test::build_panels({q});
    }
};

TEST_F(FieldGreenHi, OrderOnePatchGivesThePanelInfluences) {
    build(1, 1);
    struct Case {
        const char* name;
        std::array<float, 3> x;
        float nu;
        int iplim;
    };
    const Case cases[] = {
        {"near, ordinary period", {0.35f, -0.15f, -0.35f}, 0.3f, 0},
        {"farther, shorter waves", {0.1f, 0.2f, -0.2f}, 1.0f, 0},
        {"zero frequency", {0.35f, -0.15f, -0.35f}, 1.0f, 1},
        {"infinite frequency", {0.35f, -0.15f, -0.35f}, 1.0f, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FldHi R;
        int ierr = -1;
        const float* xg = &model::HOTAB3(1, 1);
        const float* wg = &model::HOTAB4(1, 1);
        FLDGRNHI(c.x, 0, -1, 1, -1, 1, 1, 1, 4, 4, xg, wg, xg, wg, 1, 1, -c.nu, c.nu, 1, 0.0f, 1, c.iplim, 0, R, ierr);
        ASSERT_EQ(ierr, 0);
        float dre, dim, sre, sim, gd[3], gdi[3], gs[3], gsi[3];
        FLDGRNLO(c.x.data(), 100.0f, c.nu, 1, dre, dim, gd, gdi, sre, sim, gs, gsi, 1, 1, c.iplim, ierr);
        ASSERT_EQ(ierr, 0);
        const float scale = std::abs(cplx(dre, dim)) + std::abs(cplx(sre, sim));
        EXPECT_NEAR(static_cast<double>(R.DIP[0].real()), dre, 2e-3 * static_cast<double>(scale));
        EXPECT_NEAR(static_cast<double>(R.DIP[0].imag()), dim, 2e-3 * static_cast<double>(scale));
        for (int m : {1, 3, 5}) {
            const float vn = pnl::VNMODE(m, 1);
            EXPECT_NEAR(static_cast<double>(R.src(1, m).real()), static_cast<double>(sre * vn), 2e-3 * static_cast<double>(scale)) << m;
            EXPECT_NEAR(static_cast<double>(R.src(1, m).imag()), static_cast<double>(sim * vn), 2e-3 * static_cast<double>(scale)) << m;
        }
        float gscale = 0;
        for (int d = 0; d < 3; ++d) gscale += std::abs(cplx(gd[d], gdi[d])) + std::abs(cplx(gs[d], gsi[d]));
        for (int d = 1; d <= 3; ++d) {
            EXPECT_NEAR(static_cast<double>(R.gdip(d, 1).real()), static_cast<double>(gd[d - 1]), 5e-3 * static_cast<double>(gscale)) << d;
            EXPECT_NEAR(static_cast<double>(R.gsrc(d, 1, 3).real()), static_cast<double>(gs[d - 1] * pnl::VNMODE(3, 1)), 5e-3 * static_cast<double>(gscale)) << d;
        }
    }
}

}  // namespace
}  // namespace zorva
