#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "common/farray.hpp"
#include "solver/blkstore.hpp"
#include "solver/scrstore.hpp"
#include "tests/support/testdir.hpp"

using namespace zorva;

namespace {

class BlkStore : public test::TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        slv::store_reset();
    }
    void TearDown() override {
        slv::store_reset();
        TempDirTest::TearDown();
    }
};

cplx tagc(int i, int c, int k) { return cplx(float(100 * k + 10 * c + i), float(-i)); }

// A patch with one v-span is first and last span at once: KV slot records
// per component, slot after slot, and the window stays as it is.  A read
// back with NBU 3, NBV 4 and offset 10 fills rows 11..22, row 10 + 3r + c
// from column c of record r.
TEST_F(BlkStore, OneSpanPatchWrittenAndReadBackAsRows) {
    const int N = 24, NBU = 3, KV = 4, N2 = 13, N3 = 2;
    Arr3<cplx> W(N, N2, 4);
    for (int k = 1; k <= N3; ++k)
        for (int c = 1; c <= N2; ++c)
            for (int i = 1; i <= N; ++i) W(i, c, k) = tagc(i, c, k);
    const Arr3<cplx> before = W;
    const int units[2] = {29, 30};
    int ierr = 0;
    slv::SCROPEN(units, 2, ierr);
    ASSERT_EQ(ierr, 0);
    WRBLKS(W.data(), N, N2, N3, NBU, KV, units, 1, ierr);
    ASSERT_EQ(ierr, 0);
    BLKSHFT(W.data(), N, N2, 4, NBU, KV, 1);
    for (std::size_t e = 0; e < W.size(); ++e) EXPECT_EQ(W.data()[e], before.data()[e]);
    EXPECT_EQ(slv::scr_records(29), KV);
    EXPECT_EQ(slv::scr_records(30), KV);

    Arr2<cplx> M(N, N);
    M.fill(cplx(-7.0f, 0.0f));
    slv::SCRREWIND(30);
    RDBLKS(M.data(), N, 30, NBU, KV, 10, ierr);
    ASSERT_EQ(ierr, 0);
    for (int row = 1; row <= N; ++row)
        for (int i = 1; i <= N; ++i) {
            const int r = (row - 11) / NBU, c = (row - 11) % NBU + 1;
            const cplx want = row >= 11 && row <= 22 ? tagc(i, r * NBU + c, 2) : cplx(-7.0f, 0.0f);
            ASSERT_EQ(M(row, i), want) << row << " " << i;
        }
    // One record too few gives a message and status 1.
    RDBLKS(M.data(), N, 30, NBU, 1, 0, ierr);
    EXPECT_EQ(ierr, 1);
    EXPECT_NE(screen.str().find("Error reading LHS slot record, UNIT="), std::string::npos);
    // A unit that is not open fails the write.
    const int shut[2] = {29, 35};
    WRBLKS(W.data(), N, N2, N3, NBU, KV, shut, 1, ierr);
    EXPECT_EQ(ierr, 1);
    EXPECT_NE(screen.str().find("Error writing LHS slot record, UNIT=35"), std::string::npos);
}

// Not the last span: slots 2..KV move down one, slot KV is cleared, every
// component, all rows; columns beyond NBU KV untouched.
TEST_F(BlkStore, ShiftSlidesTheWindowOneSlot) {
    const int N = 3, NBU = 2, KV = 3, N2 = 7;
    Arr3<cplx> W(N, N2, 4);
    for (int k = 1; k <= 4; ++k)
        for (int c = 1; c <= N2; ++c)
            for (int i = 1; i <= N; ++i) W(i, c, k) = tagc(i, c, k);
    BLKSHFT(W.data(), N, N2, 4, NBU, KV, 0);
    for (int k = 1; k <= 4; ++k)
        for (int c = 1; c <= N2; ++c)
            for (int i = 1; i <= N; ++i) {
                const cplx want = c <= NBU * (KV - 1) ? tagc(i, c + NBU, k) : c <= NBU * KV ? cplx() : tagc(i, c, k);
                EXPECT_EQ(W(i, c, k), want);
            }
}

// Zeroed block; ones on the diagonal only for a patch with itself.
TEST_F(BlkStore, BlankedBlocks) {
    const int N = 6;
    for (int same : {0, 1}) {
        Arr2<cplx> M(N, N);
        M.fill(cplx(2.0f, 1.0f));
        const int r0 = 1, c0 = same ? 1 : 3, nr = 2, nc = same ? 2 : 3;
        BLKIDEN(M.data(), N, r0, c0, nr, nc, 4, same ? 4 : 5);
        for (int j = 1; j <= N; ++j)
            for (int i = 1; i <= N; ++i) {
                const bool in = i > r0 && i <= r0 + nr && j > c0 && j <= c0 + nc;
                const cplx want = !in ? cplx(2.0f, 1.0f) : (same && i == j) ? cplx(1.0f, 0.0f) : cplx();
                EXPECT_EQ(M(i, j), want) << same << " " << i << " " << j;
            }
    }
}

// Border record i holds row i up to the diagonal and column i above it,
// 2i - 1 values; with FLAG 0 the diagonal is its reciprocal.  A zero
// diagonal element is reported, not inverted.
TEST_F(BlkStore, BorderRecords) {
    const int N = 4;
    for (int flag : {0, 1}) {
        slv::store_reset();
        Arr2<cplx> M(N, N);
        for (int j = 1; j <= N; ++j)
            for (int i = 1; i <= N; ++i) M(i, j) = cplx(float(10 * i + j), i == j ? 2.0f : 0.0f);
        const int u = 31;
        int ierr = 0;
        slv::SCROPEN(&u, 1, ierr);
        WRLUBRD(M.data(), N, u, flag, ierr);
        ASSERT_EQ(ierr, 0);
        slv::SCRREWIND(u);
        std::vector<char> rec;
        for (int i = 1; i <= N; ++i) {
            ASSERT_EQ(slv::scr_read(u, rec), 0);
            ASSERT_EQ(rec.size(), sizeof(cplx) * static_cast<std::size_t>(2 * i - 1));
            const cplx* v = reinterpret_cast<const cplx*>(rec.data());
            for (int j = 1; j < i; ++j) {
                EXPECT_EQ(v[j - 1], cplx(float(10 * i + j), 0.0f));
                EXPECT_EQ(v[i + j - 1], cplx(float(10 * j + i), 0.0f));
            }
            // 1 / (11 i + 2i) for the diagonal (11 i, 2).
            const float a = float(11 * i), d = a * a + 4.0f;
            const cplx want = flag == 0 ? cplx(a / d, -2.0f / d) : cplx(a, 2.0f);
            EXPECT_NEAR(v[i - 1].real(), want.real(), 1e-6f * std::abs(want));
            EXPECT_NEAR(v[i - 1].imag(), want.imag(), 1e-6f * std::abs(want));
        }
    }
    Arr2<cplx> Z(2, 2);
    Z(1, 1) = cplx(1.0f, 0.0f);
    const int u = 32;
    int ierr = 0;
    slv::SCROPEN(&u, 1, ierr);
    WRLUBRD(Z.data(), 2, u, 0, ierr);
    EXPECT_EQ(ierr, 1);
    EXPECT_NE(screen.str().find("Zero diagonal element of the LHS, ROW=2"), std::string::npos) << screen.str();
    // A unit that is not open fails the write with a message.
    slv::store_reset();
    WRLUBRD(Z.data(), 1, 33, 1, ierr);
    EXPECT_EQ(ierr, 1);
    EXPECT_NE(screen.str().find("Error writing border record of the LHS, UNIT="), std::string::npos);
}

// The tensor-product assembly against a hand sum: linear test functions
// (KU = KV = 2) on a patch with NBU = 3 and a quadratic-by-linear source
// cell whose Taylor coefficients are given; one component, one solution
// column.
TEST_F(BlkStore, TensorProductAssemblyByHand) {
    const int NEQN = 11, NBUF = 3, NBUS = 4;
    const float BU[2] = {0.25f, 0.75f}, BV[2] = {0.5f, 0.5f}, WT = 2.0f;
    // Source cell: KUS = 3, KVS = 2, CU(a', i) and CV(b', j) column-major.
    const float CU[9] = {1, 0, 0, 0.5f, 1, 0, 0, 0.25f, 1};
    const float CV[4] = {1, 2, 0, 1};
    std::vector<cplx> Mm(6);
    for (int n = 0; n < 6; ++n) Mm[static_cast<std::size_t>(n)] = cplx(float(n + 1), float(n % 2));
    const cplx V[1] = {cplx(0.0f, 3.0f)};
    Arr3<cplx> CWIN(NEQN, 6, 4);
    Arr2<cplx> RHS(NEQN, 1);
    float T[4];
    cplx S[6];
    const int G0 = 4, L0 = 1, S0 = 5;  // source unknowns 6, 7, 8, 10, 11 and 12 (above NEQN: skipped)
    CASSEMB(BU, 2, BV, 2, WT, G0, L0, NBUF, CU, 3, CV, 2, S0, NBUS, Mm.data(), V, NEQN, 1, 1, 0, CWIN, &RHS, T, S);
    for (int b = 0; b < 2; ++b)
        for (int a = 0; a < 2; ++a) {
            const float t = WT * BU[a] * BV[b];
            EXPECT_EQ(RHS(G0 + b * NBUF + a + 1, 1), t * V[0]);
            for (int bp = 0; bp < 2; ++bp)
                for (int ap = 0; ap < 3; ++ap) {
                    cplx s;
                    for (int j = 0; j < 2; ++j)
                        for (int i = 0; i < 3; ++i) s += CU[ap + 3 * i] * CV[bp + 2 * j] * Mm[static_cast<std::size_t>(j * 3 + i)];
                    const int unk = S0 + bp * NBUS + ap + 1;
                    const cplx got = unk <= NEQN ? CWIN(unk, L0 + b * NBUF + a + 1, 1) : cplx();
                    const cplx want = unk <= NEQN ? t * s : cplx();
                    EXPECT_NEAR(got.real(), want.real(), 1e-5f * std::abs(want) + 1e-6f);
                    EXPECT_NEAR(got.imag(), want.imag(), 1e-5f * std::abs(want) + 1e-6f);
                }
        }
    // Nothing else touched: 4 test columns by 5 source unknowns.
    int nz = 0;
    for (const cplx& c : CWIN) nz += c != cplx();
    EXPECT_EQ(nz, 4 * 5);
}

}  // namespace
