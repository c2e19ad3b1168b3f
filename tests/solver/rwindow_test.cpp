#include <gtest/gtest.h>

#include <vector>

#include "common/messages.hpp"
#include "solver/rwindow.hpp"
#include "solver/scrstore.hpp"
#include "tests/support/testdir.hpp"

using namespace zorva;

namespace {

class RWindow : public test::TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        slv::store_reset();
        slv::set_store_limit(std::size_t(1) << 30);
    }
    void TearDown() override {
        slv::store_reset();
        slv::set_store_limit(std::size_t(1) << 30);
        TempDirTest::TearDown();
    }
};

// A window (N1, N2, N3) whose every entry tells its indices and the matrix.
std::vector<float> window(int n1, int n2, int n3, int tag) {
    std::vector<float> w(static_cast<std::size_t>(n1) * n2 * n3);
    for (int k = 0; k < n3; ++k)
        for (int c = 0; c < n2; ++c)
            for (int i = 0; i < n1; ++i) w[i + n1 * (c + n2 * k)] = float(tag * 1000 + 100 * k + 10 * c + i);
    return w;
}

// The writer's sequence of one patch (two single-slot spans, then the last
// span's three slots) read back in the reader's sequence, in memory and
// from spilled files: every slot of A and B returns where it was.
TEST_F(RWindow, SlotAndVectorRecordsReadBackInOrder) {
    const int N1 = 4, NBU = 2, KV = 3, N2 = 7, N3 = 2;  // N2 > NBU KV: the declared extent
    for (bool spill : {false, true}) {
        slv::set_store_limit(spill ? 0 : std::size_t(1) << 30);
        const int units[2] = {23, 24};
        int ierr;
        slv::SCROPEN(units, 2, ierr);
        ASSERT_EQ(ierr, 0);
        std::vector<std::vector<float>> as, bs;
        for (int span = 1; span <= 3; ++span) {
            as.push_back(window(N1, N2, N3, span));
            bs.push_back(window(N1, N2, N3, -span));
            RWRANK(as.back().data(), bs.back().data(), 1, N1, N2, N3, NBU, KV, 23, span == 3 ? 1 : 0, nullptr, nullptr,
                   0, 0, 0, 0, ierr);
            ASSERT_EQ(ierr, 0);
        }
        std::vector<float> va = {1, 2, 3}, vb = {4, 5, 6};
        RWRANK(nullptr, nullptr, 1, 0, 0, 0, 0, 0, 0, 0, va.data(), vb.data(), 3, 24, 1, 0, ierr);
        ASSERT_EQ(ierr, 0);
        EXPECT_EQ(slv::scr_records(23), 2 * 5);  // NBV = 5 slot records, each with its B record
        EXPECT_EQ(slv::scr_spilled(23), spill);

        ASSERT_EQ(slv::SCRREWIND(23), 0);
        ASSERT_EQ(slv::SCRREWIND(24), 0);
        std::vector<float> A(N1 * N2 * N3, -1.0f), B(N1 * N2 * N3, -1.0f);
        // the reader: KV slots on the first span; v-rows 1, 2, 3
        RWRANK(A.data(), B.data(), 1, N1, N2, N3, NBU, KV, 23, 1, nullptr, nullptr, 0, 0, 0, 1, ierr);
        ASSERT_EQ(ierr, 0);
        auto slot = [&](const std::vector<float>& w, int s, int c, int i, int k) {
            return w[i + N1 * ((s - 1) * NBU + c + N2 * k)];
        };
        const int from[3][2] = {{0, 1}, {1, 1}, {2, 1}};  // v-row r: span from[r][0], its slot from[r][1]
        for (int r = 0; r < 3; ++r)
            for (int k = 0; k < N3; ++k)
                for (int c = 0; c < NBU; ++c)
                    for (int i = 0; i < N1; ++i) {
                        EXPECT_EQ(slot(A, r + 1, c, i, k), slot(as[from[r][0]], from[r][1], c, i, k));
                        EXPECT_EQ(slot(B, r + 1, c, i, k), slot(bs[from[r][0]], from[r][1], c, i, k));
                    }
        // each later span: one record into slot KV (v-rows 4 and 5: slots 2 and 3 of the last span)
        for (int s = 2; s <= 3; ++s) {
            RWRANK(A.data(), B.data(), 1, N1, N2, N3, NBU, KV, 23, 0, nullptr, nullptr, 0, 0, 0, 1, ierr);
            ASSERT_EQ(ierr, 0);
            for (int k = 0; k < N3; ++k)
                for (int c = 0; c < NBU; ++c)
                    for (int i = 0; i < N1; ++i) EXPECT_EQ(slot(A, KV, c, i, k), slot(as[2], s, c, i, k));
        }
        std::vector<float> ra(3), rb(3);
        RWRANK(nullptr, nullptr, 1, 0, 0, 0, 0, 0, 0, 0, ra.data(), rb.data(), 3, 24, 1, 1, ierr);
        ASSERT_EQ(ierr, 0);
        EXPECT_EQ(ra, va);
        EXPECT_EQ(rb, vb);

        // one read too many: a message and status 1, not a silent zero
        screen.str("");
        RWRANK(A.data(), B.data(), 1, N1, N2, N3, NBU, KV, 23, 0, nullptr, nullptr, 0, 0, 0, 1, ierr);
        EXPECT_EQ(ierr, 1);
        EXPECT_NE(screen.str().find(" Error reading Rankine scratch file, UNIT=" + errmsg_value(23)), std::string::npos);
        slv::store_reset();
    }
}

TEST_F(RWindow, WriteToAUnitNotOpenIsAnError) {
    std::vector<float> v(3, 1.0f);
    int ierr;
    RWRANK(nullptr, nullptr, 0, 0, 0, 0, 0, 0, 0, 0, v.data(), nullptr, 3, 26, 1, 0, ierr);
    EXPECT_EQ(ierr, 1);
    EXPECT_NE(screen.str().find(" Error writing Rankine scratch file, UNIT=" + errmsg_value(26)), std::string::npos);
}

TEST_F(RWindow, ShiftMovesSlotsAndClearsTheLast) {
    const int N1 = 3, NBU = 2, KV = 3, N2 = 8, N3 = 2;
    const auto a0 = window(N1, N2, N3, 1), b0 = window(N1, N2, N3, 2);
    auto a = a0, b = b0;
    RBLKSHFT(a.data(), b.data(), 1, N1, N2, N3, NBU, KV, 1);
    EXPECT_EQ(a, a0);
    EXPECT_EQ(b, b0);
    RBLKSHFT(a.data(), b.data(), 1, N1, N2, N3, NBU, KV, 0);
    for (const auto* p : {&a, &b}) {
        const auto& w = *p;
        const auto& w0 = p == &a ? a0 : b0;
        for (int k = 0; k < N3; ++k)
            for (int c = 0; c < N2; ++c)
                for (int i = 0; i < N1; ++i) {
                    const std::size_t e = i + N1 * (c + N2 * k);
                    const float want = c < NBU * (KV - 1) ? w0[i + N1 * (c + NBU + N2 * k)]
                                       : c < NBU * KV     ? 0.0f
                                                          : w0[e];  // beyond the window: untouched
                    EXPECT_EQ(w[e], want) << k << " " << c << " " << i;
                }
    }
}

// Linear B-splines on a span with midpoint 0 and half-width 1: B1 = (1 - s)/2,
// B2 = (1 + s)/2, so U = [[0.5, -0.5], [0.5, 0.5]] (row the B-spline, column
// the power).  For the kernel K(s, t) = s the moments are m(1, 0) = 4/3 and
// zero otherwise, and the B-spline integrals of B_a(s) B_b(t) s are -1/3 for
// a = 1 and 1/3 for a = 2, whatever b.
TEST_F(RWindow, AssemblyTurnsMomentsIntoBasisIntegralsAtTheirPlaces) {
    const int NEQN = 12, MAXNBKV = 6, NS = 2, NM = 2;
    RkWindows R;
    ASSERT_TRUE(R.RDIPW.allocate(NEQN, MAXNBKV, NS));
    ASSERT_TRUE(R.RDIPLW.allocate(NEQN, MAXNBKV, NS));
    ASSERT_TRUE(R.RDIPIW.allocate(NEQN, MAXNBKV, NS));
    ASSERT_TRUE(R.RSRCV.allocate(NEQN, NM));
    ASSERT_TRUE(R.RSRCLV.allocate(NEQN, NM));
    ASSERT_TRUE(R.RSRCIV.allocate(NEQN, NM));
    RkOut O;
    O.size(4, NS, NM, false);
    // component 1: K = s; component 2: K = -2 s; log and correction: 3 s, 5 s
    for (int k = 0; k < NS; ++k) {
        O.DIP[1 + 4 * k] = (k == 0 ? 1.0f : -2.0f) * 4.0f / 3.0f;
        O.DIPL[1 + 4 * k] = 3.0f * 4.0f / 3.0f;
        O.DIPI[1 + 4 * k] = 5.0f * 4.0f / 3.0f;
    }
    O.SRC = {7.0f, 11.0f};
    O.SRCL = {13.0f, 17.0f};
    O.SRCI = {19.0f, 23.0f};
    const float U[4] = {0.5f, 0.5f, -0.5f, 0.5f};
    const float BU[2] = {0.25f, 0.75f}, BV[2] = {0.5f, 0.5f};
    // field cell (iu = 2, iv = 1) of a patch with NBU = 3 starting after 2
    // unknowns; source span with NBU = 4 whose first B-spline follows
    // unknown 7: unknowns 8, 9, 12, 13 (13 beyond NEQN, skipped)
    const int G0 = 2 + 1, L0 = 1, NBUF = 3, S0 = 7, NBUS = 4;
    RASSEMB(BU, 2, BV, 2, 2.0f, G0, L0, NBUF, U, 2, U, 2, S0, NBUS, O, NEQN, NS, NM, 0, 1, 1, R);
    const int unk[4] = {8, 9, 12, 13};
    const float sab[4] = {-1.0f / 3, 1.0f / 3, -1.0f / 3, 1.0f / 3};
    for (int b = 0; b < 2; ++b)
        for (int a = 0; a < 2; ++a) {
            const float t = 2.0f * BU[a] * BV[b];
            const int col = L0 + b * NBUF + a + 1, eq = G0 + b * NBUF + a + 1;
            for (int e = 0; e < 4; ++e) {
                if (unk[e] > NEQN) continue;
                EXPECT_NEAR(R.RDIPW(unk[e], col, 1), t * sab[e], 1e-6f);
                EXPECT_NEAR(R.RDIPW(unk[e], col, 2), -2.0f * t * sab[e], 1e-6f);
                EXPECT_NEAR(R.RDIPLW(unk[e], col, 1), 3.0f * t * sab[e], 1e-6f);
                EXPECT_NEAR(R.RDIPIW(unk[e], col, 2), 5.0f * t * sab[e], 1e-6f);
            }
            EXPECT_FLOAT_EQ(R.RSRCV(eq, 1), 7.0f * t);
            EXPECT_FLOAT_EQ(R.RSRCV(eq, 2), 11.0f * t);
            EXPECT_FLOAT_EQ(R.RSRCLV(eq, 2), 17.0f * t);
            EXPECT_FLOAT_EQ(R.RSRCIV(eq, 1), 19.0f * t);
        }
    // nothing anywhere else
    double total = 0;
    for (int k = 1; k <= NS; ++k)
        for (int c = 1; c <= MAXNBKV; ++c)
            for (int i = 1; i <= NEQN; ++i) total += static_cast<double>(std::abs(R.RDIPW(i, c, k)));
    double placed = 0;
    for (int b = 0; b < 2; ++b)
        for (int a = 0; a < 2; ++a)
            for (int e = 0; e < 3; ++e) placed += 3.0 * static_cast<double>(std::abs(2.0f * BU[a] * BV[b] * sab[e]));
    EXPECT_NEAR(total, placed, 1e-5);
}

}  // namespace
