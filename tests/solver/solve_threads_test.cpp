// The linear algebra library's threads while the direct and the block
// solvers factorise and solve: every LU factorisation or solution of a
// system of order n runs on one library thread below 512 unknowns and on
// the count set for the run from 512 on.  The test program stands in for
// the library's CGETRF and CGETRS: it notes the library's thread count at
// each call and hands the call on to the library.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <algorithm>
#include <complex>
#include <mutex>
#include <string>
#include <vector>

#include "common/farray.hpp"
#include "common/threads.hpp"
#include "solver/solve.hpp"
#include "tests/solver/solvefix.hpp"

extern "C" int openblas_get_num_threads(void);

namespace {

// One call of the library: 'f' factorisation, 's' solution; its order and
// the library's threads at the call.
struct Call {
    char what;
    int n, threads;
};
std::mutex calls_mutex;
std::vector<Call> calls;

void note(char what, int n) {
    const int threads = openblas_get_num_threads();
    std::lock_guard<std::mutex> lk(calls_mutex);
    calls.push_back({what, n, threads});
}

template <class F>
F library(const char* name) {
    void* p = dlsym(RTLD_NEXT, name);
    if (!p) std::abort();
    return reinterpret_cast<F>(p);
}

}  // namespace

extern "C" void cgetrf_(const int* m, const int* n, std::complex<float>* a, const int* lda, int* ipiv, int* info) {
    using F = void (*)(const int*, const int*, std::complex<float>*, const int*, int*, int*);
    static const F real = library<F>("cgetrf_");
    note('f', *n);
    real(m, n, a, lda, ipiv, info);
}

extern "C" void cgetrs_(const char* trans, const int* n, const int* nrhs, const std::complex<float>* a,
                        const int* lda, const int* ipiv, std::complex<float>* b, const int* ldb, int* info,
                        std::size_t trans_len) {
    using F = void (*)(const char*, const int*, const int*, const std::complex<float>*, const int*, const int*,
                       std::complex<float>*, const int*, int*, std::size_t);
    static const F real = library<F>("cgetrs_");
    note('s', *n);
    real(trans, n, nrhs, a, lda, ipiv, b, ldb, info, trans_len);
}

namespace zorva::test {
namespace {

class SolveThreads : public SolverTest {
protected:
    void TearDown() override {
        thr::set_count(0);
        SolverTest::TearDown();
    }
};

TEST_F(SolveThreads, FactorisationsAndSolutionsFollowTheThreadRule) {
    constexpr int NBETAC = 2;
    struct Case {
        const char* name;
        int isolve, n, nblk, nblkl, ksrc;
        std::vector<int> factors;  // orders of the factorisations, in their order
    };
    const Case cases[] = {
        {"direct, 700 unknowns", 1, 700, 0, 0, 0, {700}},
        {"direct, 300 unknowns", 1, 300, 0, 0, 0, {300}},
        {"blocks of 600, 600, 100 from the assembly's block files", 3, 1300, 600, 100, 0, {600, 600, 100}},
        {"two blocks of 520 sorted from border records", 2, 1040, 520, 520, 1, {520, 520}},
    };
    for (const Case& c : cases) {
        // The count 3 first, then 1: the library's count must rise and
        // fall with the order of each system.
        for (int set : {3, 1}) {
            SCOPED_TRACE(std::string(c.name) + ", threads " + std::to_string(set));
            slv::store_reset();
            cfg::ISOLVE = c.isolve;
            model::NBLKSZ = c.nblk;
            model::NBLKLAST = c.nblkl;
            const int n = c.n;
            cfg::MAXSCR = c.isolve == 1 ? n : c.nblk;
            symmetry({{1, 2}});
            const Mat A = random_matrix(n, 7);
            Arr2<cplx> rhsmod, alhs;
            Arr3<cplx> rhs;
            const int side = std::max(cfg::MAXSCR, 1);
            ASSERT_TRUE(rhsmod.allocate(n, 2) && rhs.allocate(n, NBETAC, 1) && alhs.allocate(side, side));
            const std::vector<cplx> b = random_vector(n * (2 + NBETAC), 3);
            std::copy(b.begin(), b.begin() + 2 * n, rhsmod.data());
            std::copy(b.begin() + 2 * n, b.end(), rhs.data());
            const int* iu = c.ksrc == 0 ? IU1 : IU2;
            if (c.isolve == 1)
                std::copy(A.a.begin(), A.a.end(), alhs.data());
            else if (c.ksrc == 0)
                store_blocks(A, iu, 1, c.nblk);
            else
                store_borders(A, iu, 1);

            thr::set_count(set);
            calls.clear();
            int niter[2] = {0, 0}, ierr = -1;
            SOLVE(n, 1, 1, NBETAC, iu, 1.0e-6f, rhsmod, rhs, alhs, niter, c.ksrc, 0, ierr);
            ASSERT_EQ(ierr, 0);

            // Every call, the iteration's own reduced systems (at most
            // MAXITT + 1 unknowns, solved on the pool's threads) among them;
            // the orders of the solver's systems.
            std::vector<int> factors;
            std::vector<int> solved;
            for (const Call& k : calls) {
                EXPECT_EQ(k.threads, k.n < 512 ? 1 : set) << k.what << " of order " << k.n;
                if (k.n > model::NITMAX) (k.what == 'f' ? factors : solved).push_back(k.n);
            }
            EXPECT_EQ(factors, c.factors);
            for (int order : c.factors)
                EXPECT_NE(std::find(solved.begin(), solved.end(), order), solved.end()) << "no solution of " << order;

            // Every column solves its system, whatever the threads.
            for (int col = 0; col < 2 + NBETAC; ++col) {
                const cplx* x = col < 2 ? &rhsmod(1, col + 1) : &rhs(1, col - 1, 1);
                const cplx* bc = b.data() + static_cast<std::size_t>(col) * n;
                double rmax = 0.0, bmax = 0.0;
                for (int i = 1; i <= n; ++i) {
                    cd s = -cd(bc[i - 1]);
                    for (int j = 1; j <= n; ++j) s += cd(A(i, j)) * cd(x[j - 1]);
                    rmax = std::max(rmax, std::abs(s));
                    bmax = std::max(bmax, std::abs(cd(bc[i - 1])));
                }
                EXPECT_LT(rmax, 1e-5 * bmax) << "column " << col + 1;
            }
        }
    }
}

}  // namespace
}  // namespace zorva::test
