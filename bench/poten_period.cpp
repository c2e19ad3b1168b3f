// One POTEN period of a body of 2016 flat panels (an ellipsoid, no
// symmetry, infinite depth): incident-wave right-hand sides and assembly,
// then the direct solution of 6 radiation and 1 diffraction problems.  The
// counters split the period into assembly and solution; solve_lu_only is
// the factorisation within SOLVE, cgetrf_direct the library's factorisation
// of the same matrix called directly.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "common/channels.hpp"
#include "geometry/model.hpp"
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

// The body, its tables and its Rankine scratch, once per program.
void setup_once() {
    static bool done = false;
    if (done) return;
    done = true;
    auto dir = std::filesystem::temp_directory_path() / ("zorva_bench_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::filesystem::current_path(dir);
    cfg::reset();
    model::reset();
    sym::reset();
    run::reset();
    pnl::reset();
    slv::reset();
    cfg::ISOLVE = 1;
    model::HBOT = -1.0f;
    auto f = test::load_panels(test::ellipsoid(3.0, 1.5, 1.0, -1.5, 42, 48, false), 0, 0);
    const int n = model::NEQN;
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
}

using clk = std::chrono::steady_clock;

void BM_period(benchmark::State& state) {
    setup_once();
    const int n = model::NEQN;
    double t_asm = 0, t_sol = 0;
    for (auto _ : state) {
        int ierr = 0, niter[2];
        auto t0 = clk::now();
        INCRHS(n, &sym::NSYMRHS[1], 1, NU, 1, 0, ierr);
        WAVEGR(1, 1, 1, n, NU, slv::ALHS, 0, ierr);
        auto t1 = clk::now();
        SOLVE(n, 1, 1, 1, &slv::IUNIT[0], 1.0e-6f, slv::RHSMOD, slv::RHSRAD, slv::ALHS, niter, 0, 0, ierr);
        auto t2 = clk::now();
        if (ierr != 0) state.SkipWithError("period failed");
        t_asm += std::chrono::duration<double>(t1 - t0).count();
        t_sol += std::chrono::duration<double>(t2 - t1).count();
    }
    const double it = static_cast<double>(state.iterations());
    state.counters["panels"] = n;
    state.counters["assembly_ms"] = 1e3 * t_asm / it;
    state.counters["solve_ms"] = 1e3 * t_sol / it;
}

// The factorisation alone within SOLVE (no right-hand side solved).
void BM_solve_lu_only(benchmark::State& state) {
    setup_once();
    const int n = model::NEQN;
    for (auto _ : state) {
        state.PauseTiming();
        int ierr = 0, niter[2];
        INCRHS(n, &sym::NSYMRHS[1], 1, NU, 1, 0, ierr);
        WAVEGR(1, 1, 1, n, NU, slv::ALHS, 0, ierr);
        state.ResumeTiming();
        SOLVE(n, -1, -1, 1, &slv::IUNIT[0], 1.0e-6f, slv::RHSMOD, slv::RHSRAD, slv::ALHS, niter, 0, 0, ierr);
        if (ierr != 0) state.SkipWithError("solve failed");
    }
    state.counters["panels"] = n;
}

void BM_cgetrf_direct(benchmark::State& state) {
    setup_once();
    const int n = model::NEQN;
    int ierr = 0;
    INCRHS(n, &sym::NSYMRHS[1], 1, NU, 1, 0, ierr);
    WAVEGR(1, 1, 1, n, NU, slv::ALHS, 0, ierr);
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

}  // namespace

BENCHMARK(BM_period)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_solve_lu_only)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_cgetrf_direct)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
