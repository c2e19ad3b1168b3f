// Rankine matrices of a small body symmetric about x = 0 and y = 0: the
// scratch records, their agreement with direct sums of the panel integrals
// and the recombination of the symmetry components into the whole body.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "common/channels.hpp"
#include "common/messages.hpp"
#include "geometry/model.hpp"
#include "kernels/rankin.hpp"
#include "kernels/rankpan.hpp"
#include "main/config.hpp"
#include "main/symmetry.hpp"
#include "panels/paneldata.hpp"
#include "solver/rankin.hpp"
#include "tests/support/panelfix.hpp"
#include "tests/support/testdir.hpp"

using namespace zorva;
using test::Quad;

namespace {

// Vertex order such that the panel normal points along `out`.
Quad oriented(Quad q, const test::Vertex& out) {
    auto f = test::panel_frame(q);
    if (f.ax[2][0] * out[0] + f.ax[2][1] * out[1] + f.ax[2][2] * out[2] < 0) std::swap(q[1], q[3]);
    return q;
}

// Quarter of a box (x, y > 0, -1 < z < 0): bottom, side x = 1, end y = 1.
std::vector<Quad> quarter() {
    return {oriented({{{0, 0, -1}, {1, 0, -1}, {1, 1, -1}, {0, 1, -1}}}, {0, 0, -1}),
            oriented({{{1, 0, -1}, {1, 1, -1}, {1, 1, 0}, {1, 0, 0}}}, {1, 0, 0}),
            oriented({{{0, 1, -1}, {1, 1, -1}, {1, 1, 0}, {0, 1, 0}}}, {0, 1, 0})};
}

// The whole body: image h of the quarter in IMAGEID order 1..4.
std::vector<Quad> whole() {
    std::vector<Quad> all;
    const int sx[4] = {1, -1, -1, 1}, sy[4] = {1, 1, -1, -1};
    for (int h = 0; h < 4; ++h)
        for (Quad q : quarter()) {
            for (auto& v : q) v[0] *= sx[h], v[1] *= sy[h];
            if (sx[h] * sy[h] < 0) std::swap(q[1], q[3]);
            all.push_back(q);
        }
    return all;
}

class RankineMatrices : public test::TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        cfg::reset();
        sym::reset();
        model::reset();
        pnl::reset();
        cfg::ILOG = 1;
        cfg::ISCATT = 1;
    }
    void TearDown() override {
        pnl::reset();
        sym::reset();
        model::reset();
        TempDirTest::TearDown();
    }
    void body(const std::vector<Quad>& panels, int nimage) {
        test::build_panels(panels);
        const int n = static_cast<int>(panels.size());
        model::NEQN = n;
        model::ITANK.allocate(n);
        model::IDIPWM.allocate(n);
        // One image (no symmetry) or the quarter body's four images and
        // four components, as the symmetry table gives them.
        const sym::SymCase& c = nimage == 4 ? sym::symcase(1, 1) : sym::symcase(0, 0);
        ASSERT_EQ(c.nimage, nimage);
        sym::NIMAGE = c.nimage;
        sym::NSYMC = c.nsymf;
        for (int k = 1; k <= 4; ++k) {
            const auto u = static_cast<std::size_t>(k);
            sym::IMAGEID[u] = c.imageid[u - 1];
            sym::ISYMC[u] = c.isymf[u - 1];
        }
        // The image order the reference sums use: itself, mirror in x, both, mirror in y.
        for (int k = 1; k <= nimage; ++k) ASSERT_EQ(sym::IMAGEID[static_cast<std::size_t>(k)], k);
        for (int k = 1; k <= sym::NSYMC; ++k) ASSERT_EQ(sym::ISYMC[static_cast<std::size_t>(k)], k);
        sym::NSOLC = 0;
    }
    // matrices[g][k] (p, q) read back from unit 23
    using Mat = std::vector<std::vector<float>>;
    std::vector<std::vector<Mat>> D, S;
    std::vector<std::vector<int>> code;
    void read_back(int n, int ns, int K) {
        D.assign(ns, std::vector<Mat>(K, Mat(n + 1, std::vector<float>(n + 1))));
        S = D;
        code.assign(n + 1, std::vector<int>(n + 1));
        ASSERT_EQ(chan::rewind(IURNK), 0);
        std::vector<char> buf;
        auto rec = [&](std::size_t count) {
            EXPECT_EQ(chan::read_record(IURNK, buf), 0);
            EXPECT_EQ(buf.size(), count * 4);
            return reinterpret_cast<const float*>(buf.data());
        };
        for (int j = 1; j <= n; ++j) {
            for (int g = 0; g < ns; ++g)
                for (int k = 0; k < K; ++k)
                    for (auto* M : {&D, &S}) {
                        const float* c = rec(j - 1);
                        for (int i = 1; i < j; ++i) (*M)[g][k][i][j] = c[i - 1];
                        const float* r = rec(j);
                        for (int i = 1; i <= j; ++i) (*M)[g][k][j][i] = r[i - 1];
                    }
            rec(j);
            for (int i = 1; i <= j; ++i) code[i][j] = reinterpret_cast<const int*>(buf.data())[i - 1];
        }
        EXPECT_EQ(chan::read_record(IURNK, buf), -1);  // nothing more
    }
};

}  // namespace

TEST_F(RankineMatrices, SymmetryComponentsRecombineToTheWholeBody) {
    body(whole(), 1);
    int ierr;
    RANKIN(12, -1, ierr);
    ASSERT_EQ(ierr, 0);
    EXPECT_FALSE(chan::is_open(IURNKR));
    read_back(12, 1, 2);
    auto fullD = D, fullS = S;
    chan::close(IURNK);

    body(quarter(), 4);
    RANKIN(3, -1, ierr);
    ASSERT_EQ(ierr, 0);
    read_back(3, 4, 2);
    for (int c = 1; c <= 4; ++c)
        for (int k = 0; k < 2; ++k)
            for (int p = 1; p <= 3; ++p)
                for (int q = 1; q <= 3; ++q) {
                    double d = 0, s = 0;
                    for (int h = 1; h <= 4; ++h) {
                        d += sym::ISIGMA(c, h) * double(fullD[0][k][p][(h - 1) * 3 + q]);
                        s += sym::ISIGMA(c, h) * double(fullS[0][k][p][(h - 1) * 3 + q]);
                    }
                    EXPECT_NEAR(D[c - 1][k][p][q], d, 2e-5 * (1 + std::fabs(d))) << c << k << p << q;
                    EXPECT_NEAR(S[c - 1][k][p][q], s, 2e-5 * (1 + std::fabs(s))) << c << k << p << q;
                }
    // every slot integrated the direct term and the free-surface image
    for (int j = 1; j <= 3; ++j)
        for (int i = 1; i <= j; ++i) EXPECT_EQ(code[i][j], 3 + 3 * 8 + 3 * 64 + 3 * 512);

    // one entry as a direct sum of the panel integrals: field panel 2,
    // source panel 1, component 3
    double d1 = 0, d2 = 0;
    for (int h = 1; h <= 4; ++h) {
        float P[3] = {float(sym::ISGNX(h)) * pnl::PCENT(1, 2), float(sym::ISGNY(h)) * pnl::PCENT(2, 2), pnl::PCENT(3, 2)};
        float Dv, Sv, LD, LS, g[3];
        RANKPF(P, 0, 1, pnl::PAXES, pnl::PNLARR6, pnl::PNLARR5, pnl::PCENT, pnl::PNLARR4, pnl::PPROP, pnl::PNLARR3, Dv,
               Sv, LD, LS, 0, g, g, g, g, ierr);
        d1 += sym::ISIGMA(3, h) * double(Dv);
        P[2] = -P[2];
        RANKPF(P, 1, 1, pnl::PAXES, pnl::PNLARR6, pnl::PNLARR5, pnl::PCENT, pnl::PNLARR4, pnl::PPROP, pnl::PNLARR3, Dv,
               Sv, LD, LS, 0, g, g, g, g, ierr);
        d1 += sym::ISIGMA(3, h) * double(Dv);
        d2 += sym::ISIGMA(3, h) * -2.0 * double(LD);
    }
    EXPECT_NEAR(D[2][0][2][1], d1, 1e-5);
    EXPECT_NEAR(D[2][1][2][1], d2, 1e-5);
    // the diagonal carries 2 pi in every component
    const auto& F = fullD[0][0][1];
    EXPECT_NEAR(D[1][0][1][1], double(F[1]) - double(F[4]) - double(F[7]) + double(F[10]), 1e-5);
}

TEST_F(RankineMatrices, NearTestsAndTheirTies) {
    // two small panels, squared size set to 1/64 so that 100 s2 = 1.5625 exactly
    auto sq = [](double x, double z) {
        return oriented({{{x - 0.04, -0.04, z}, {x + 0.04, -0.04, z}, {x + 0.04, 0.04, z}, {x - 0.04, 0.04, z}}},
                        {0, 0, -1});
    };
    cfg::ISCATT = 0;
    struct T {
        double dx, hbot;
        int digit;
    } cases[] = {
        {1.25, -1.0, 0},  // direct at exactly 100 s2max: not near
        {0.75, 1.25, 5},  // sea-bed image at exactly 100 s2max: integrated
        {0.75, 1.26, 1},  // just beyond
    };
    for (const T& c : cases) {
        SCOPED_TRACE(c.dx);
        chan::close(IURNK);
        body({sq(0, -0.75), sq(c.dx, -0.75)}, 1);
        pnl::PNLARR3(2, 1) = pnl::PNLARR3(2, 2) = 0.015625f;
        model::HBOT = float(c.hbot);
        int ierr;
        RANKINLO(2, -1, model::HBOT, ierr);  // units not open: records are checked below
        EXPECT_EQ(ierr, 1);  // the write fails: unit 23 not open
        EXPECT_NE(screen.str().find(" Error writing scratch file in RANKIN "), std::string::npos);
        screen.str("");
        RANKIN(2, -1, ierr);
        ASSERT_EQ(ierr, 0);
        // j = 1: col, row, colL, rowL, code; j = 2: col, row, colL, rowL, code
        chan::rewind(IURNK);
        std::vector<char> buf;
        std::vector<std::vector<char>> recs;
        while (chan::read_record(IURNK, buf) == 0) recs.push_back(buf);
        ASSERT_EQ(recs.size(), 10u);
        const int* code2 = reinterpret_cast<const int*>(recs[9].data());
        EXPECT_EQ(code2[0], c.digit);
        const float* col = reinterpret_cast<const float*>(recs[5].data());
        // coplanar panels: only the sea-bed image gives a dipole term
        if (c.digit == 5) EXPECT_NE(col[0], 0.0f);
        else EXPECT_EQ(col[0], 0.0f);
    }
}

TEST_F(RankineMatrices, FreeSurfacePanelNeedsTheLogarithm) {
    cfg::ILOG = 0;
    std::vector<Quad> p = quarter();
    p.push_back(oriented({{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}}, {0, 0, 1}));
    body(p, 1);
    int ierr;
    RANKIN(4, 0, ierr);
    EXPECT_EQ(ierr, 1);
    EXPECT_NE(screen.str().find(" ILOG=0 and panel NP in free surface, NP=" + errmsg_value(4)), std::string::npos);
    EXPECT_NE(screen.str().find(" Error in evaluating Rankine matrix"), std::string::npos);
}

TEST_F(RankineMatrices, RadiationPartsAreSourceSumsOverModalNormals) {
    body(whole(), 1);
    sym::NSOLC = 2;
    model::NMODT = 6;
    sym::NMODSC[1] = 2;
    sym::IMODSC.allocate(6, 4);
    sym::IMODPOS.allocate(6);
    sym::IMODSC(1, 1) = 3, sym::IMODSC(2, 1) = 5;  // heave and pitch
    sym::IMODPOS(3) = 1, sym::IMODPOS(5) = 2;
    int ierr;
    RANKIN(12, 0, ierr);
    ASSERT_EQ(ierr, 0);
    read_back(12, 1, 2);
    ASSERT_EQ(chan::rewind(IURNKR), 0);
    std::vector<char> buf;
    for (int k = 0; k < 2; ++k) {
        ASSERT_EQ(chan::read_record(IURNKR, buf), 0);
        ASSERT_EQ(buf.size(), 12u * 2u * 4u);
        const float* r = reinterpret_cast<const float*>(buf.data());
        for (int c = 0; c < 2; ++c)
            for (int p = 1; p <= 12; ++p) {
                double sum = 0;
                for (int q = 1; q <= 12; ++q) sum += double(S[0][k][p][q]) * double(pnl::VNMODE(c == 0 ? 3 : 5, q));
                EXPECT_NEAR(r[(p - 1) + 12 * c], sum, 1e-5 * (1 + std::fabs(sum))) << k << c << p;
            }
    }
    EXPECT_EQ(chan::read_record(IURNKR, buf), -1);
}

TEST_F(RankineMatrices, TanksAndDipolePanelsInASymmetryPlane) {
    // A plate in the plane x = 0 classed as dipole panel of class 2, and the
    // end panel moved into tank 1: it no longer sees the other panels.
    std::vector<Quad> p = quarter();
    p.push_back(oriented({{{0, 0.2, -0.8}, {0, 0.8, -0.8}, {0, 0.8, -0.2}, {0, 0.2, -0.2}}}, {1, 0, 0}));
    body(p, 4);
    model::IDIPSYM = 1;
    model::IDIPWM(4) = 2;
    model::ITANK(3) = 1;
    cfg::NTANKS = 1;
    cfg::ZTANKFS.allocate(1);
    cfg::ITANKB.allocate(1);
    cfg::XBODY.allocate(4, 1);
    cfg::ITANKB(1) = 1;
    cfg::ZTANKFS(1) = -0.1f;
    int ierr;
    RANKIN(4, -1, ierr);
    ASSERT_EQ(ierr, 0);
    read_back(4, 4, 2);
    for (int i : {1, 2, 4}) {
        EXPECT_EQ(code[std::min(i, 3)][std::max(i, 3)], 7 + 7 * 8 + 7 * 64 + 7 * 512) << i;
        for (int g = 0; g < 4; ++g) EXPECT_EQ(D[g][0][i][3], 0.0f);
    }
    EXPECT_EQ(D[0][0][4][4], 6.2831855f);
    EXPECT_EQ(D[3][0][4][4], 6.2831855f);
    EXPECT_NE(D[1][0][4][4], 6.2831855f);
    EXPECT_NE(D[2][0][4][4], 6.2831855f);
    EXPECT_TRUE(std::isfinite(D[1][0][4][4]) && std::isfinite(D[2][0][4][4]));
}
