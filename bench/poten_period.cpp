// One POTEN period of a faceted hemisphere (radius 1, floating, no
// symmetry): incident-wave right-hand sides and assembly, then the direct
// solution of 6 radiation and 1 diffraction problems, on one thread and on
// the run's own choice of threads (as without OMP_NUM_THREADS: the cores of
// the affinity mask).  Arguments: panels, threads (0 the run's choice),
// depth in radii (0 infinite).
// The counters split the period into assembly and solution.
// cgetrf_direct is the library's factorisation called directly.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include <unistd.h>

#include "bench/period.hpp"
#include "bench/workdir.hpp"
#include "common/channels.hpp"
#include "common/threads.hpp"
#include "geometry/model.hpp"
#include "kernels/wgsetup.hpp"
#include "main/config.hpp"
#include "main/drivers/drivers.hpp"
#include "main/runparams.hpp"
#include "main/symmetry.hpp"
#include "panels/paneldata.hpp"
#include "solver/assembly.hpp"
#include "solver/incrhs.hpp"
#include "solver/matrices.hpp"
#include "solver/solve.hpp"
#include "tests/support/lowbody.hpp"

extern "C" void cgetrf_(const int*, const int*, std::complex<float>*, const int*, int*, int*);

namespace {

using namespace zorva;

const float NU = 0.6f;
float K = NU;

// The body of N panels, its tables and its Rankine scratch, kept while
// the benchmarks ask for the same body.
void setup(int n, float depth) {
    static int done_n = 0;
    static float done_depth = -2.0f;
    if (n == done_n && depth == done_depth) return;
    done_n = n;
    done_depth = depth;
    static const bench::WorkDir dir("zorva_bench");
    chan::close(23);
    chan::close(24);
    cfg::reset();
    model::reset();
    sym::reset();
    run::reset();
    pnl::reset();
    slv::reset();
    cfg::ISOLVE = 1;
    model::HBOT = depth > 0 ? depth : -1.0f;
    // Latitude bands of the whole sphere, the lower half kept: nlat/2 bands
    // of nlon panels.
    int nlat = 2, nlon = 4;
    for (int b = 2; b <= 400; b += 2)
        if (n % (b / 2) == 0 && n / (b / 2) >= b && n / (b / 2) <= 2 * b) {
            nlat = b;
            nlon = n / (b / 2);
        }
    auto sphere = test::ellipsoid(1.0, 1.0, 1.0, 0.0, nlat, nlon, false);
    sphere.resize(static_cast<std::size_t>(n));
    auto f = test::load_panels(sphere, 0, 0);
    cfg::MAXSCR = n;
    ALLOCPOTW(6, 1);
    model::NBETA = 1;
    model::SINBETA.allocate(1);
    model::COSBETA.allocate(1);
    model::SINBETA(1) = 0.5f;
    model::COSBETA(1) = 0.8660254f;
    run::NBETAX = 1;
    slv::RHSMOD.allocate(n, sym::NSOLC);
    slv::RHSRAD.allocate(n, 1, 1);
    slv::RHSSRC.allocate(n, 1, 1);
    slv::RHSADD.allocate(n, 1, 1);
    slv::ALHS.allocate(n, n);
    test::write_rankine(f, 3.0);
    int ierr = 0;
    K = NU;
    const float per = 1.0f;
    HGRN00(NU, K, per, ierr);
}

void BM_period(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    setup(n, static_cast<float>(state.range(2)));
    thr::set_count(static_cast<int>(state.range(1)));
    bench::time_period(state, n, NU, K);
    state.counters["panels"] = n;
}

void BM_cgetrf_direct(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    setup(n, static_cast<float>(state.range(2)));
    thr::set_count(static_cast<int>(state.range(1)));
    thr::blas_for(n);
    int ierr = 0;
    INCRHS(n, &sym::NSYMRHS[1], 1, K, 1, 0, ierr);
    WAVEGR(1, 1, 1, n, NU, slv::ALHS, 0, ierr);
    thr::blas_for(n);
    const std::vector<cplx> a0(slv::ALHS.data(), slv::ALHS.data() + static_cast<long>(n) * n);
    std::vector<cplx> a;
    std::vector<int> ipiv(static_cast<std::size_t>(n));
    for (auto _ : state) {
        state.PauseTiming();
        a = a0;
        state.ResumeTiming();
        int info;
        cgetrf_(&n, &n, a.data(), &n, ipiv.data(), &info);
        benchmark::DoNotOptimize(a.data());
    }
    state.counters["panels"] = n;
}

// Panels, threads (0 the run's own choice), depth in radii (0 infinite).
void sizes(benchmark::internal::Benchmark* b) {
    for (int n : {1024, 4096})
        for (int t : {1, 0}) b->Args({n, t, 0});
    for (int t : {1, 0}) b->Args({2304, t, 3});
}

}  // namespace

BENCHMARK(BM_period)->Apply(sizes)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_period)->Name("BM_period_large")->Args({8000, 1, 0})->Args({8000, 0, 0})->Iterations(1)
    ->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_cgetrf_direct)->Args({4096, 0, 0})->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
