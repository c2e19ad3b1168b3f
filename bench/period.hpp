// One POTEN period timed for a benchmark: the incident-wave right-hand sides
// and the assembly, then the direct solution of 6 radiation and 1
// diffraction problems.  The counters split the period into assembly and
// solution.
#pragma once

#include <benchmark/benchmark.h>

#include <chrono>

#include "common/threads.hpp"
#include "main/symmetry.hpp"
#include "solver/assembly.hpp"
#include "solver/incrhs.hpp"
#include "solver/matrices.hpp"
#include "solver/solve.hpp"

namespace zorva::bench {

// NEQN unknowns, wave number NU (infinite depth) and K.
inline void time_period(benchmark::State& state, int neqn, float nu, float k) {
    using clk = std::chrono::steady_clock;
    double t_asm = 0, t_sol = 0;
    for (auto _ : state) {
        int ierr = 0, niter[2];
        const auto t0 = clk::now();
        INCRHS(neqn, &sym::NSYMRHS[1], 1, k, 1, 0, ierr);
        WAVEGR(1, 1, 1, neqn, nu, slv::ALHS, 0, ierr);
        const auto t1 = clk::now();
        if (ierr == 0)
            SOLVE(neqn, 1, 1, 1, &slv::IUNIT[0], 1.0e-6f, slv::RHSMOD, slv::RHSRAD, slv::ALHS, niter, 0, 0, ierr);
        const auto t2 = clk::now();
        if (ierr != 0) state.SkipWithError("period failed");
        t_asm += std::chrono::duration<double>(t1 - t0).count();
        t_sol += std::chrono::duration<double>(t2 - t1).count();
    }
    const double it = static_cast<double>(state.iterations());
    state.counters["threads"] = thr::count();
    state.counters["assembly_ms"] = 1e3 * t_asm / it;
    state.counters["solve_ms"] = 1e3 * t_sol / it;
}

}  // namespace zorva::bench
