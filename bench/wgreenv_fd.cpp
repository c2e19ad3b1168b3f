// One point pair through WGREENV in finite depth (x = nu h = 3), in each
// kind of region: far (eigenfunction modes), near with the depth sum above
// the depth (fitted series of both separations), near with a small depth
// sum (infinite-depth part plus remainder series).
#include <benchmark/benchmark.h>

#include <vector>

#include "geometry/model.hpp"
#include "kernels/wgreenv.hpp"
#include "kernels/wgsetup.hpp"

namespace {

void run(benchmark::State& st, float R, float z, float zeta, int code) {
    zorva::model::HBOT = 3.0f;
    float nu = 1.0f, K = 0.0f, per = 5.0f;
    int ierr = 0;
    zorva::HGRN00(nu, K, per, ierr);
    std::vector<int> L(14);
    zorva::cplx g[8];
    int bot = 0, n = 1;
    float a = 0.0f, h = 3.0f;
    for (auto _ : st) {
        benchmark::DoNotOptimize(R);
        zorva::WGREENV(&R, a, &z, &zeta, h, g, &code, &bot, n, &L[0], &L[1], &L[2], &L[3], &L[4], &L[5], &L[6],
                       &L[7], &L[8], &L[9], &L[10], &L[11], &L[12], &L[13]);
        benchmark::DoNotOptimize(g);
    }
}

void BM_WgreenvFdFar(benchmark::State& st) { run(st, 4.5f, 1.0f, 2.0f, 0); }
void BM_WgreenvFdNearDeepSum(benchmark::State& st) { run(st, 1.5f, 1.5f, 2.0f, 0); }
void BM_WgreenvFdNearShallowSum(benchmark::State& st) { run(st, 1.5f, 0.5f, 1.0f, 0); }
void BM_WgreenvFdLogRegion(benchmark::State& st) { run(st, 0.5f, 0.2f, 0.5f, 3); }

BENCHMARK(BM_WgreenvFdFar);
BENCHMARK(BM_WgreenvFdNearDeepSum);
BENCHMARK(BM_WgreenvFdNearShallowSum);
BENCHMARK(BM_WgreenvFdLogRegion);

}  // namespace
