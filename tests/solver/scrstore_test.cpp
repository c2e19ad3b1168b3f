#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "common/channels.hpp"
#include "geometry/model.hpp"
#include "main/config.hpp"
#include "main/symmetry.hpp"
#include "solver/matrices.hpp"
#include "solver/scrstore.hpp"
#include "tests/support/testdir.hpp"

using namespace zorva;
using namespace zorva::slv;

namespace {

class Store : public test::TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        cfg::reset();
        sym::reset();
        model::reset();
        slv::reset();
        store_reset();
        set_store_limit(std::size_t(1) << 30);
    }
    void TearDown() override {
        store_reset();
        chan::set_scratch_path("");
        set_store_limit(std::size_t(1) << 30);
        TempDirTest::TearDown();
    }
    static cplx a_of(int c, int i, int j) { return {float(100 * c + 10 * i + j), float(i - j)}; }
};

// Border records of two components written row by row (as the assembly
// does), read back whole.
void round_trip(const std::vector<int>& iu, int n) {
    const int nc = static_cast<int>(iu.size());
    std::vector<cplx> A(n * nc), B(n * nc);  // (N, component): row part and column part
    int ierr = 0;
    for (int m = 1; m <= n; ++m) {
        for (int c = 1; c <= nc; ++c)
            for (int k = 1; k <= m; ++k) {
                A[(k - 1) + (c - 1) * n] = {float(100 * c + 10 * m + k), float(m - k)};  // A(m, k)
                if (k < m) B[(k - 1) + (c - 1) * n] = {float(100 * c + 10 * k + m), float(k - m)};  // A(k, m)
            }
        WRLHSB(iu.data(), A.data(), B.data(), n, m, 1, nc, ierr);
        ASSERT_EQ(ierr, 0);
    }
    for (int c = 1; c <= nc; ++c) {
        ASSERT_EQ(SCRREWIND(iu[c - 1]), 0);
        std::vector<cplx> M(n * n), R(n), C(n);
        RDLHS(iu[c - 1], M.data(), R.data(), C.data(), n, ierr);
        ASSERT_EQ(ierr, 0);
        for (int i = 1; i <= n; ++i)
            for (int j = 1; j <= n; ++j)
                EXPECT_EQ(M[(i - 1) + (j - 1) * n], cplx(float(100 * c + 10 * i + j), float(i - j)));
    }
}

}  // namespace

TEST_F(Store, BorderRecordsRoundTripInMemoryAndOnFiles) {
    const std::vector<int> iu = {29, 30};
    int ierr;
    for (int pass = 0; pass < 3; ++pass) {
        SCOPED_TRACE(pass);
        if (pass == 2) {
            std::filesystem::create_directory("scr");
            cfg::SCRATCH_PATH = "scr";
            cfg::LSCRATCH = 3;
        }
        set_store_limit(pass == 0 ? std::size_t(1) << 20 : 100);  // 100 bytes: spills at once
        SCROPEN(iu.data(), 2, ierr);
        ASSERT_EQ(ierr, 0);
        round_trip(iu, 6);
        EXPECT_EQ(scr_spilled(29), pass > 0);
        EXPECT_EQ(scr_records(29), 6);
        // spilled records leave no file behind in the working or scratch directory
        for (const char* d : {".", "scr"}) {
            if (!std::filesystem::exists(d)) continue;
            for (auto& e : std::filesystem::directory_iterator(d)) EXPECT_TRUE(e.is_directory()) << e.path();
        }
        SCRCLOSE(iu.data(), 2, 0, ierr);
        EXPECT_EQ(ierr, 0);
    }
}

TEST_F(Store, RecordLayouts) {
    const int iu[2] = {29, 30};
    int ierr;
    SCROPEN(iu, 2, ierr);
    std::vector<cplx> A = {{1, 2}, {3, 4}, {5, 6}, {7, 8}};
    WRLHS(29, A.data(), 2, ierr);
    WRVEC2(iu, A.data(), A.data() + 1, 4, 3, ierr);
    WRLHSB(iu, A.data(), A.data(), 2, 2, 2, 1, ierr);  // J1 > J2: nothing
    std::vector<cplx> V1(4 * 3 * 2), V2(4 * 3 * 2);
    for (std::size_t k = 0; k < V1.size(); ++k) V1[k] = {float(k), 0}, V2[k] = {0, float(k)};
    VWRITE(30, V1.data(), V2.data(), 4, 2, 0, ierr);  // NC = 0: nothing
    EXPECT_EQ(scr_records(30), 1);
    VWRITE(30, V1.data(), V2.data(), 4, 2, 2, ierr);
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(scr_records(29), 2);
    EXPECT_EQ(scr_records(30), 5);
    std::vector<char> buf;
    SCRREWIND(29);
    ASSERT_EQ(scr_read(29, buf), 0);
    EXPECT_EQ(buf.size(), 4 * sizeof(cplx));
    ASSERT_EQ(scr_read(29, buf), 0);
    EXPECT_EQ(buf.size(), 3 * sizeof(cplx));
    EXPECT_EQ(scr_read(29, buf), -1);
    SCRREWIND(30);
    scr_read(30, buf);  // WRVEC2's Y
    ASSERT_EQ(scr_read(30, buf), 0);  // V1 column 1: M = 2 x, 2 y, 2 z
    ASSERT_EQ(buf.size(), 6 * sizeof(cplx));
    const cplx* v = reinterpret_cast<const cplx*>(buf.data());
    EXPECT_EQ(v[0], cplx(0, 0));
    EXPECT_EQ(v[2], cplx(4, 0));  // y of point 1 (N = 4)
    EXPECT_EQ(v[5], cplx(9, 0));
    ASSERT_EQ(scr_read(30, buf), 0);  // V2 column 1: M - 1 = 1 of each
    EXPECT_EQ(buf.size(), 3 * sizeof(cplx));
}

TEST_F(Store, ShortReadAndFailedWriteReport) {
    const int iu[1] = {31};
    int ierr;
    SCROPEN(iu, 1, ierr);
    std::vector<cplx> a(4), b(4);
    WRLHSB(iu, a.data(), b.data(), 4, 1, 1, 1, ierr);
    WRLHSB(iu, a.data(), b.data(), 4, 2, 1, 1, ierr);
    SCRREWIND(31);
    std::vector<cplx> M(9), R(3), C(3);
    RDLHS(31, M.data(), R.data(), C.data(), 3, ierr);  // only two records
    EXPECT_EQ(ierr, 1);
    EXPECT_NE(screen.str().find(" Error reading scratch file for LHS from SOLVE, UNIT="), std::string::npos);

    // a record shorter than the border it should hold
    const int iv[1] = {32};
    SCROPEN(iv, 1, ierr);
    WRLHS(32, a.data(), 1, ierr);
    WRLHS(32, a.data(), 1, ierr);
    SCRREWIND(32);
    RDLHS(32, M.data(), R.data(), C.data(), 2, ierr);
    EXPECT_EQ(ierr, 1);

    // the scratch directory vanishes before the records spill
    std::filesystem::create_directory("gone");
    cfg::SCRATCH_PATH = "gone";
    cfg::LSCRATCH = 4;
    const int iw[1] = {33};
    SCROPEN(iw, 1, ierr);
    ASSERT_EQ(ierr, 0);
    std::filesystem::remove("gone");
    set_store_limit(0);
    screen.str("");
    WRLHS(33, a.data(), 2, ierr);
    EXPECT_EQ(ierr, 1);
    EXPECT_NE(screen.str().find("Error writing scratch LHS file, UNIT="), std::string::npos);
    SCROPEN(iw, 1, ierr);
    EXPECT_EQ(ierr, 1);
    EXPECT_NE(screen.str().find(" Unable to open scratch file, UNIT ="), std::string::npos);
}

TEST_F(Store, Names) {
    EXPECT_EQ(SCRNAME(29), "SCRATCHA");
    EXPECT_EQ(SCRNAME(44), "SCRATCHP");
    cfg::SCRATCH_PATH = "D:\\TMP";
    cfg::LSCRATCH = 6;
    EXPECT_EQ(SCRNAME(31), "D:\\TMP\\SCRATCHC");
}

TEST_F(Store, RankineRecordReaders) {
    ASSERT_EQ(chan::open_scratch(23, chan::Form::Unformatted), 0);
    const float c1[2] = {1, 2}, r1[3] = {3, 4, 5};
    for (int k = 0; k < 4; ++k) {  // four record pairs
        chan::write_record(23, c1, sizeof c1);
        chan::write_record(23, r1, sizeof r1);
    }
    chan::rewind(23);
    const int N = 4;
    std::vector<cplx> A(N * 2, cplx(9, 9)), B(N * 2, cplx(9, 9));
    std::vector<float> W(N * 3);
    int ierr;
    RDRLHS(23, A.data(), B.data(), N, 3, 2, W.data(), 0, 1.0f, ierr);
    EXPECT_EQ(A[N + 1], cplx(2, 0));
    EXPECT_EQ(B[N + 2], cplx(5, 0));
    RDRLHS(23, A.data(), B.data(), N, 3, 2, W.data(), 1, 2.0f, ierr);
    EXPECT_EQ(B[N + 2], cplx(15, 0));
    RDRLHS(23, A.data(), B.data(), N, 3, 2, W.data(), 2, 0.0f, ierr);  // consumed, unchanged
    EXPECT_EQ(B[N + 2], cplx(15, 0));
    RDRLHS(23, A.data(), B.data(), N, 3, 2, W.data(), 2, 1.0f, ierr);
    EXPECT_EQ(B[N + 2], cplx(15, 5));
    EXPECT_EQ(A[0], cplx(9, 9));  // other columns untouched
    RDRLHS(23, A.data(), B.data(), N, 3, 2, W.data(), 0, 1.0f, ierr);  // end of file
    EXPECT_EQ(ierr, 1);
    EXPECT_NE(screen.str().find(" Error reading scratch file for Rankine LHS, UNIT="), std::string::npos);

    // velocity records: (I-1) x 3 then I x 3 reals
    ASSERT_EQ(chan::open_scratch(24, chan::Form::Unformatted), 0);
    const float v1[3] = {1, 2, 3}, v2[6] = {4, 5, 6, 7, 8, 9};
    chan::write_record(24, v1, sizeof v1);
    chan::write_record(24, v2, sizeof v2);
    chan::write_record(24, v1, sizeof v1);  // a short second record
    chan::write_record(24, v1, sizeof v1);
    chan::rewind(24);
    std::vector<cplx> V1(N * 3), V2(N * 3);
    RDRVEL(24, V1.data(), V2.data(), N, 2, 1, W.data(), 0, 1.0f, ierr);
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(V1[N], cplx(2, 0));      // y of point 1
    EXPECT_EQ(V2[2 * N + 1], cplx(9, 0));  // z of point 2
    RDRVEL(24, V1.data(), V2.data(), N, 2, 1, W.data(), 1, 1.0f, ierr);
    EXPECT_EQ(ierr, 1);
    EXPECT_NE(screen.str().find(" Error reading scratch file for Rankine velocity, UNIT="), std::string::npos);
}

TEST_F(Store, AllocmatShapes) {
    sym::NSOLC = 0;
    sym::NSYMC = 2;
    cfg::MAXSCR = 7;
    int ierr;
    ALLOCMAT(5, 3, -1, ierr);
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(RHSMOD.extent(1), 5);
    EXPECT_EQ(RHSMOD.extent(2), 0);
    EXPECT_EQ(RHSRAD.size(), 1u);
    EXPECT_EQ(RHSSRC.size(), 1u);
    EXPECT_EQ(RHSADD.size(), 1u);
    EXPECT_EQ(ALHS.extent(1), 7);
    slv::reset();
    sym::NSOLC = 4;
    cfg::ILOWHI = 1;
    ALLOCMAT(5, 3, 0, ierr);
    EXPECT_EQ(RHSRAD.extent(3), 2);
    EXPECT_EQ(RHSMOD(5, 4), cplx(0, 0));
    EXPECT_FALSE(RHSSRC.allocated());
    EXPECT_FALSE(RHSADD.allocated());
}

// MAXSCR bounds the matrix memory: the store keeps in memory no more records
// than the in-memory matrix holds (MAXSCR^2 complex values), and the rows
// beyond go to its file, from which they read back unchanged.
TEST_F(Store, MemoryLimitFollowsMaxscr) {
    sym::NSYMC = 1;
    sym::NSOLC = 1;
    cfg::MAXSCR = 4;
    int ierr = 0;
    ALLOCMAT(40, 1, 0, ierr);
    ASSERT_EQ(ierr, 0);
    EXPECT_EQ(store_limit(), 16 * sizeof(cplx));
    const int u = IUNIT[1];
    SCROPEN(&u, 1, ierr);
    ASSERT_EQ(ierr, 0);
    std::vector<cplx> r(10), c(10);
    for (int i = 1; i <= 3; ++i) {  // 1 + 3 + 5 = 9 values: within 16
        for (int j = 1; j <= i; ++j) r[j - 1] = c[j - 1] = a_of(1, i, j);
        WRLHSB(&u, r.data(), c.data(), 10, i, 1, 1, ierr);
    }
    EXPECT_FALSE(scr_spilled(u));
    for (int i = 4; i <= 5; ++i) {  // 7 + 9 more: beyond
        for (int j = 1; j <= i; ++j) r[j - 1] = c[j - 1] = a_of(1, i, j);
        WRLHSB(&u, r.data(), c.data(), 10, i, 1, 1, ierr);
    }
    EXPECT_TRUE(scr_spilled(u));
    std::vector<cplx> A(25), R(5), C(5);
    ASSERT_EQ(SCRREWIND(u), 0);
    RDLHS(u, A.data(), R.data(), C.data(), 5, ierr);
    ASSERT_EQ(ierr, 0);
    for (int i = 1; i <= 5; ++i)
        for (int j = 1; j <= i; ++j) {
            EXPECT_EQ(A[static_cast<std::size_t>(i - 1 + 5 * (j - 1))], a_of(1, i, j));
            EXPECT_EQ(A[static_cast<std::size_t>(j - 1 + 5 * (i - 1))], a_of(1, i, j));
        }
}
