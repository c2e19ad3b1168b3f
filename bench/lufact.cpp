// CGETRF through LUFACT against the library called directly, N = 2000 and
// 4000; the rate counts 8 N^3 / 3 real operations.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "solver/lufact.hpp"

extern "C" void cgetrf_(const int*, const int*, std::complex<float>*, const int*, int*, int*);

namespace {

std::vector<zorva::cplx> random_matrix(int n) {
    std::mt19937 gen(11);
    std::uniform_real_distribution<float> u(-1, 1);
    std::vector<zorva::cplx> a(static_cast<std::size_t>(n) * n);
    for (auto& v : a) v = {u(gen), u(gen)};
    return a;
}

template <bool Wrapper>
void BM_cgetrf(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::vector<zorva::cplx> a0 = random_matrix(n);
    std::vector<zorva::cplx> a;
    std::vector<int> ipiv(n);
    for (auto _ : state) {
        state.PauseTiming();
        a = a0;
        state.ResumeTiming();
        if constexpr (Wrapper) {
            int ierr;
            zorva::LUFACT(a.data(), ipiv.data(), n, ierr);
        } else {
            int info;
            cgetrf_(&n, &n, a.data(), &n, ipiv.data(), &info);
        }
        benchmark::DoNotOptimize(a.data());
    }
    const double flops = 8.0 * n * double(n) * n / 3.0;
    state.counters["GFLOPs"] =
        benchmark::Counter(flops * 1e-9 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK_TEMPLATE(BM_cgetrf, true)->Name("LUFACT")->Arg(2000)->Arg(4000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_TEMPLATE(BM_cgetrf, false)->Name("cgetrf_direct")->Arg(2000)->Arg(4000)->Unit(benchmark::kMillisecond)->UseRealTime();
