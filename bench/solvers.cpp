// Direct against iterative solution of one symmetry component with 3000
// unknowns and 7 right-hand sides (6 modes, 1 heading): time per period's
// solve and the memory each method holds.  Counters: "matrix_MB" the
// matrix held in memory, "work_MB" the solver's work arrays, "scratch_MB"
// the matrix read from scratch files during the solve, "sweeps" the
// largest sweep count.
//
// Run with OPENBLAS_NUM_THREADS=1 (the program runs on one thread).
#include <benchmark/benchmark.h>

#include <cmath>
#include <complex>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "bench/workdir.hpp"
#include "common/types.hpp"
#include "geometry/model.hpp"
#include "main/config.hpp"
#include "main/symmetry.hpp"
#include "solver/blocksolve.hpp"
#include "solver/itersolve.hpp"
#include "solver/lufact.hpp"
#include "solver/scrstore.hpp"

namespace {

using namespace zorva;

constexpr int N = 3000;
constexpr int NMODE = 6;
constexpr int NRHS = NMODE + 1;
constexpr int IU[8] = {29, 30, 31, 32, 33, 34, 35, 36};

// A panel-like matrix: N points spread evenly over a unit sphere, each
// standing for a panel of area 4 pi / N; off the diagonal the influence of
// panel j at point i, area times exp(i k r) / (2 r) with k = 1 (smooth, and
// with row sums about as large as the diagonal 2 pi).
const std::vector<cplx>& matrix() {
    static std::vector<cplx> a;
    if (a.empty()) {
        a.resize(static_cast<std::size_t>(N) * N);
        std::vector<double> x(N), y(N), z(N);
        const double golden = 3.14159265358979 * (3.0 - std::sqrt(5.0));
        for (int i = 0; i < N; ++i) {
            z[i] = 1.0 - (2.0 * i + 1.0) / N;
            const double rho = std::sqrt(1.0 - z[i] * z[i]);
            x[i] = rho * std::cos(golden * i);
            y[i] = rho * std::sin(golden * i);
        }
        const double area = 4.0 * 3.14159265358979 / N;
        for (int j = 0; j < N; ++j)
            for (int i = 0; i < N; ++i) {
                cplx v(6.2831855f, 0.0f);
                if (i != j) {
                    const double r = std::sqrt((x[i] - x[j]) * (x[i] - x[j]) + (y[i] - y[j]) * (y[i] - y[j]) +
                                               (z[i] - z[j]) * (z[i] - z[j]));
                    v = cplx(std::polar(area / (2.0 * r), r));
                }
                a[static_cast<std::size_t>(i + j * N)] = v;
            }
    }
    return a;
}
cplx A(int i, int j) { return matrix()[static_cast<std::size_t>((i - 1) + (j - 1) * N)]; }

std::vector<cplx> rhs() {
    std::vector<cplx> b(static_cast<std::size_t>(N) * NRHS);
    std::mt19937 gen(4);
    std::uniform_real_distribution<float> u(-3.0f, 3.0f);
    for (auto& x : b) x = cplx(u(gen), u(gen));
    return b;
}

// One symmetry component solving modes 1..6 and one heading.  The store
// keeps the scratch records in files (its memory limit 0), as large runs do.
void setup(int isolve, int maxscr, int nblk, int nblkl) {
    static const bench::WorkDir dir("zorva_bench_solvers");
    cfg::reset();
    model::reset();
    sym::reset();
    slv::store_reset();
    slv::set_store_limit(0);
    cfg::ISOLVE = isolve;
    cfg::MAXSCR = maxscr;
    model::NITMAX = cfg::MAXITT + 1;
    model::NBLKSZ = nblk;
    model::NBLKLAST = nblkl;
    sym::NSYMC = 1;
    sym::NSOLC = NMODE;
    sym::NMODSC[1] = NMODE;
    sym::IMODSC.allocate(NMODE, 4);
    sym::IMODPOS.allocate(NMODE);
    for (int m = 1; m <= NMODE; ++m) {
        sym::IMODSC(m, 1) = m;
        sym::IMODPOS(m) = m;
    }
}

void put(int u, const std::vector<cplx>& v) { slv::scr_write(u, v.data(), v.size() * sizeof(cplx)); }

// Border record i for the iterative solver (diagonal inverted).
std::vector<cplx> border(int i) {
    std::vector<cplx> r;
    for (int j = 1; j <= i; ++j) r.push_back(j == i ? cplx(1.0f, 0.0f) / A(i, i) : A(i, j));
    for (int j = 1; j < i; ++j) r.push_back(A(j, i));
    return r;
}

// Packed border records 1..nm into alhs and the rest to the overflow unit.
void store_gs(int nm, std::vector<cplx>& alhs, bool file) {
    std::size_t p = 0;
    for (int i = 1; i <= nm; ++i)
        for (cplx v : border(i)) alhs[p++] = v;
    if (!file || N <= nm) return;
    int ierr = 0;
    slv::SCROPEN(&IU[1], 1, ierr);
    for (int i = nm + 1; i <= N; ++i) put(IU[1], border(i));
}

// The assembly's block files: rows, columns and unfactored blocks.
void store_blocks(int nblk) {
    int ierr = 0;
    slv::SCROPEN(&IU[1], 3, ierr);
    for (int o = 0; o < N; o += nblk) {
        const int nb = std::min(nblk, N - o);
        for (int g = o + 1; o > 0 && g <= o + nb; ++g) {
            std::vector<cplx> r, c;
            for (int j = 1; j <= o; ++j) {
                r.push_back(A(g, j));
                c.push_back(A(j, g));
            }
            put(IU[1], r);
            put(IU[2], c);
        }
        std::vector<cplx> blk;
        for (int j = 1; j <= nb; ++j)
            for (int i = 1; i <= nb; ++i) blk.push_back(A(o + i, o + j));
        put(IU[3], blk);
    }
}

constexpr double MB = 1.0 / (1024.0 * 1024.0);

void BM_Direct(benchmark::State& st) {
    std::vector<cplx> alhs(static_cast<std::size_t>(N) * N), b = rhs(), w(N);
    std::vector<int> ipiv(N);
    for (auto _ : st) {
        st.PauseTiming();
        alhs = matrix();
        b = rhs();
        st.ResumeTiming();
        int ierr = 0;
        LUFACT(alhs.data(), ipiv.data(), N, ierr);
        for (int r = 0; r < NRHS; ++r) LUSOLV(alhs.data(), b.data() + r * N, w.data(), ipiv.data(), N, 1);
        benchmark::DoNotOptimize(b.data());
    }
    st.counters["matrix_MB"] = double(N) * N * sizeof(cplx) * MB;
    st.counters["work_MB"] = (double(N) * (sizeof(int) + sizeof(cplx))) * MB;
    st.counters["scratch_MB"] = 0;
}

// Iterative (ISOLVE = 0) through SOLVEITR: all right-hand sides swept
// together; maxscr below N streams the rows beyond it from scratch.
void BM_GaussSeidel(benchmark::State& st) {
    const int maxscr = static_cast<int>(st.range(0));
    setup(0, maxscr, 1, 1);
    const int nm = std::min(N, maxscr);
    std::vector<cplx> alhs(static_cast<std::size_t>(nm) * nm), b;
    int niter[2] = {0, 0};
    for (auto _ : st) {
        st.PauseTiming();
        store_gs(nm, alhs, true);
        b = rhs();
        st.ResumeTiming();
        int ierr = 0;
        SOLVEITR(N, 1, 1, 1, IU, 1.0e-6f, b.data(), b.data() + NMODE * N, alhs.data(), niter, 0, 0, ierr);
        if (ierr) st.SkipWithError("SOLVEITR failed");
    }
    const int K = model::NITMAX, sw = std::max(niter[0], niter[1]);
    st.counters["sweeps"] = sw;
    st.counters["matrix_MB"] = double(nm) * nm * sizeof(cplx) * MB;
    st.counters["work_MB"] = (NRHS * (2.0 * N * K * sizeof(cplx) + N * (sizeof(cplx) + sizeof(float))) +
                              N * (2 * sizeof(cplx) + sizeof(int))) * MB;
    st.counters["scratch_MB"] = sw * (double(N) * N - double(nm) * nm) * sizeof(cplx) * MB;
}

// The same streamed matrix, one right-hand side after the other through
// ITRCC: the overflow file is read once per sweep of every right-hand side.
void BM_GaussSeidelOneByOne(benchmark::State& st) {
    const int maxscr = static_cast<int>(st.range(0));
    setup(0, maxscr, 1, 1);
    const int nm = std::min(N, maxscr), K = model::NITMAX;
    std::vector<cplx> alhs(static_cast<std::size_t>(nm) * nm), b, V1(static_cast<std::size_t>(N) * K), V2(V1.size()),
        G(static_cast<std::size_t>(K) * K), M(G.size()), C(K), R(K), CW(N);
    std::vector<float> RW(N);
    std::vector<int> IPS(K), IPB(N);
    store_gs(nm, alhs, true);
    slv::SCRREWIND(IU[1]);
    int ierr = 0, total = 0;
    for (auto _ : st) {
        st.PauseTiming();
        b = rhs();
        st.ResumeTiming();
        total = 0;
        for (int r = 0; r < NRHS; ++r) {
            int iter = 0, noconv = 0;
            ITRCC(N, K, b.data() + r * N, V1.data(), V2.data(), alhs.data(), nm, IPB.data(), 1, 1, 1.0e-6f, 0,
                  G.data(), M.data(), C.data(), R.data(), IPS.data(), CW.data(), RW.data(), IU[1], iter, noconv, ierr);
            total += iter;
        }
        if (ierr) st.SkipWithError("ITRCC failed");
    }
    slv::SCRCLOSE(&IU[1], 1, 0, ierr);
    st.counters["sweeps"] = total;
    st.counters["matrix_MB"] = double(nm) * nm * sizeof(cplx) * MB;
    st.counters["work_MB"] = (2.0 * N * K * sizeof(cplx) + N * (2 * sizeof(cplx) + sizeof(float) + sizeof(int))) * MB;
    st.counters["scratch_MB"] = total * (double(N) * N - double(nm) * nm) * sizeof(cplx) * MB;
}

// Block-iterative (ISOLVE = 3, blocks of 1000): one block in memory, the
// rest of the matrix and the factors read from scratch every sweep.
void BM_BlockGaussSeidel(benchmark::State& st) {
    const int nblk = static_cast<int>(st.range(0));
    const int nblocks = (N + nblk - 1) / nblk;
    setup(nblocks, nblk, nblk, N - (nblocks - 1) * nblk);
    std::vector<cplx> alhs(static_cast<std::size_t>(nblk) * nblk), b;
    int niter[2] = {0, 0};
    for (auto _ : st) {
        st.PauseTiming();
        store_blocks(nblk);
        b = rhs();
        st.ResumeTiming();
        int ierr = 0;
        SOLVEITR(N, 1, 1, 1, IU, 1.0e-6f, b.data(), b.data() + NMODE * N, alhs.data(), niter, 0, 0, ierr);
        if (ierr) st.SkipWithError("SOLVEITR failed");
    }
    const int K = model::NITMAX, sw = std::max(niter[0], niter[1]);
    st.counters["sweeps"] = sw;
    st.counters["matrix_MB"] = double(nblk) * nblk * sizeof(cplx) * MB;
    st.counters["work_MB"] = (NRHS * (2.0 * N * K * sizeof(cplx) + N * (sizeof(cplx) + sizeof(float))) +
                              N * (2 * sizeof(cplx) + sizeof(int))) * MB;
    // Per sweep: the off-diagonal part and the factors of every block.
    st.counters["scratch_MB"] = sw * double(N) * N * sizeof(cplx) * MB;
}

BENCHMARK(BM_Direct)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_GaussSeidel)->Arg(N)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_GaussSeidelOneByOne)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_BlockGaussSeidel)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
