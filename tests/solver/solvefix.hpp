// Shared fixture of the solver tests: random diagonally dominant complex
// systems (like the panel matrices), their double-precision LU solutions,
// and the matrix scratch files as the assembly leaves them.
#pragma once

#include <gtest/gtest.h>

#include <complex>
#include <cstring>
#include <random>
#include <vector>

#include "common/channels.hpp"
#include "common/farray.hpp"
#include "common/types.hpp"
#include "geometry/model.hpp"
#include "main/config.hpp"
#include "main/symmetry.hpp"
#include "solver/scrstore.hpp"
#include "tests/support/testdir.hpp"

extern "C" void zgesv_(const int* n, const int* nrhs, std::complex<double>* a, const int* lda, int* ipiv,
                       std::complex<double>* b, const int* ldb, int* info);

namespace zorva::test {

using cd = std::complex<double>;

// A dense complex matrix, column-major, 1-based access.
struct Mat {
    int n = 0;
    std::vector<cplx> a;
    cplx& operator()(int i, int j) { return a[static_cast<std::size_t>((i - 1) + (j - 1) * n)]; }
    cplx operator()(int i, int j) const { return a[static_cast<std::size_t>((i - 1) + (j - 1) * n)]; }
};

// Diagonal about 2 pi, off-diagonal entries of random phase whose row sums
// reach about half the diagonal.
inline Mat random_matrix(int n, unsigned seed) {
    std::mt19937 gen(seed);
    std::uniform_real_distribution<float> u(-1.0f, 1.0f);
    Mat m{n, std::vector<cplx>(static_cast<std::size_t>(n) * n)};
    const float off = 4.0f / static_cast<float>(n);
    for (int j = 1; j <= n; ++j)
        for (int i = 1; i <= n; ++i)
            m(i, j) = i == j ? cplx(6.2831855f + 0.5f * u(gen), 0.5f * u(gen)) : off * cplx(u(gen), u(gen));
    return m;
}

inline std::vector<cplx> random_vector(int n, unsigned seed, float scale = 3.0f) {
    std::mt19937 gen(seed);
    std::uniform_real_distribution<float> u(-1.0f, 1.0f);
    std::vector<cplx> v(static_cast<std::size_t>(n));
    for (auto& x : v) x = scale * cplx(u(gen), u(gen));
    return v;
}

// Solution of A x = b by LU in double precision.
inline std::vector<cd> lu_solve(const Mat& A, const cplx* b) {
    std::vector<cd> a(A.a.begin(), A.a.end()), x(b, b + A.n);
    std::vector<int> ipiv(static_cast<std::size_t>(A.n));
    int one = 1, info = 0;
    zgesv_(&A.n, &one, a.data(), &A.n, ipiv.data(), x.data(), &A.n, &info);
    EXPECT_EQ(info, 0);
    return x;
}

// Largest |x - ref| relative to the largest |ref|.
inline double rel_error(const cplx* x, const std::vector<cd>& ref) {
    double emax = 0.0, rmax = 0.0;
    for (std::size_t i = 0; i < ref.size(); ++i) {
        emax = std::max(emax, std::abs(cd(x[i]) - ref[i]));
        rmax = std::max(rmax, std::abs(ref[i]));
    }
    return emax / rmax;
}

// Border record i of A: a(i, 1..i), then a(1..i-1, i); with `inv` the
// diagonal holds 1/a(i, i) (the iterative solver's form).
inline std::vector<cplx> border(const Mat& A, int i, bool inv) {
    std::vector<cplx> r;
    for (int j = 1; j <= i; ++j) r.push_back(j == i && inv ? cplx(1.0f, 0.0f) / A(i, i) : A(i, j));
    for (int j = 1; j < i; ++j) r.push_back(A(j, i));
    return r;
}

inline void put(int unit, const std::vector<cplx>& v) {
    ASSERT_EQ(slv::scr_write(unit, v.data(), v.size() * sizeof(cplx)), 0);
}

// Opens store unit u afresh and writes the records; the unit stays open, as
// the assembly leaves it for the solver.
inline void write_unit(int u, const std::vector<std::vector<cplx>>& recs) {
    int ierr = 0;
    slv::SCROPEN(&u, 1, ierr);
    ASSERT_EQ(ierr, 0);
    for (const auto& r : recs) put(u, r);
}

// The records of an open store unit, from its first.
inline std::vector<std::vector<cplx>> records(int u) {
    std::vector<std::vector<cplx>> out;
    std::vector<char> buf;
    EXPECT_EQ(slv::SCRREWIND(u), 0);
    while (slv::scr_read(u, buf) == 0) {
        std::vector<cplx> v(buf.size() / sizeof(cplx));
        std::memcpy(static_cast<void*>(v.data()), buf.data(), buf.size());
        out.push_back(v);
    }
    return out;
}

// Whether store unit u is closed.
inline bool closed(int u) { return slv::SCRREWIND(u) != 0; }

class SolverTest : public TempDirTest {
protected:
    static constexpr int IU1[8] = {29, 30, 31, 32, 33, 34, 35, 36};
    static constexpr int IU2[8] = {37, 38, 39, 40, 41, 42, 43, 44};
    std::size_t limit = 0;

    void SetUp() override {
        TempDirTest::SetUp();
        slv::store_reset();
        limit = slv::store_limit();
        cfg::reset();
        model::reset();
        sym::reset();
        model::NITMAX = cfg::MAXITT + 1;
    }
    void TearDown() override {
        slv::store_reset();
        slv::set_store_limit(limit);
        cfg::reset();
        model::reset();
        sym::reset();
        TempDirTest::TearDown();
    }

    // NSYMC components; component k solves the modes listed in modes[k-1],
    // mode m held in solution column m.
    static void symmetry(const std::vector<std::vector<int>>& modes) {
        sym::NSYMC = static_cast<int>(modes.size());
        int nm = 0;
        for (const auto& v : modes) nm += static_cast<int>(v.size());
        sym::NSOLC = nm;
        sym::IMODSC.allocate(std::max(nm, 1), 4);
        sym::IMODPOS.allocate(std::max(nm, 1));
        for (std::size_t k = 0; k < modes.size(); ++k) {
            sym::NMODSC[k + 1] = static_cast<int>(modes[k].size());
            for (std::size_t i = 0; i < modes[k].size(); ++i) {
                sym::IMODSC(static_cast<long>(i + 1), static_cast<long>(k + 1)) = modes[k][i];
                sym::IMODPOS(modes[k][i]) = modes[k][i];
            }
        }
    }

    // The matrix of component k as the assembly leaves it for the iterative
    // solver (ISOLVE = 0): records 1..NM on iu[k-1] (or, for component 1 of
    // the first call, packed in alhs) and NM+1..N on iu[nsymc+k-1].
    static void store_gs(const Mat& A, const int* iu, int nsymc, int k, int nm, bool in_alhs,
                         std::vector<cplx>& alhs) {
        std::vector<std::vector<cplx>> first, rest;
        for (int i = 1; i <= A.n; ++i) (i <= nm ? first : rest).push_back(border(A, i, true));
        if (in_alhs) {
            alhs.assign(static_cast<std::size_t>(nm) * nm, cplx(0.0f, 0.0f));
            std::size_t p = 0;
            for (const auto& r : first)
                for (const auto& v : r) alhs[p++] = v;
        } else {
            write_unit(iu[k - 1], first);
        }
        if (A.n > nm) write_unit(iu[nsymc + k - 1], rest);
    }

    // Component k for the block solver, as border records 1..N on iu[k-1].
    static void store_borders(const Mat& A, const int* iu, int k) {
        std::vector<std::vector<cplx>> recs;
        for (int i = 1; i <= A.n; ++i) recs.push_back(border(A, i, false));
        write_unit(iu[k - 1], recs);
    }

    // Component 1 of the first call for the block solver: the row and
    // column records and the unfactored diagonal blocks.
    static void store_blocks(const Mat& A, const int* iu, int nsymc, int nblk) {
        std::vector<std::vector<cplx>> rows, cols, blocks;
        for (int o = 0; o < A.n; o += nblk) {
            const int nb = std::min(nblk, A.n - o);
            for (int g = o + 1; o > 0 && g <= o + nb; ++g) {
                std::vector<cplx> r, c;
                for (int j = 1; j <= o; ++j) {
                    r.push_back(A(g, j));
                    c.push_back(A(j, g));
                }
                rows.push_back(r);
                cols.push_back(c);
            }
            std::vector<cplx> blk;
            for (int j = 1; j <= nb; ++j)
                for (int i = 1; i <= nb; ++i) blk.push_back(A(o + i, o + j));
            blocks.push_back(blk);
        }
        write_unit(iu[nsymc], rows);
        write_unit(iu[nsymc + 1], cols);
        write_unit(iu[nsymc + 2], blocks);
    }
};

}  // namespace zorva::test
