// Cost of one point pair through WGREENV in infinite depth, for the pairs of a
// panelled floating body: a vertical cylinder of radius 1 and draft 1 (side
// and bottom panels, 400 in all), one call per source panel with all field
// panels as the block, as a low-order assembly makes them.  The wavenumber
// nu scales the lengths: 0.3 keeps nearly every pair at R <= 3, 3.0 puts
// most of them beyond.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "kernels/wgreenv.hpp"

namespace {

struct Panels {
    std::vector<float> x, y, z;  // centroids, z depth below the free surface
};

Panels cylinder() {
    Panels p;
    const int nth = 32, nz = 8, nr = 4;
    const float pi = 3.14159265f;
    for (int k = 0; k < nz; ++k)
        for (int j = 0; j < nth; ++j) {
            float th = 2 * pi * (j + 0.5f) / nth;
            p.x.push_back(std::cos(th));
            p.y.push_back(std::sin(th));
            p.z.push_back((k + 0.5f) / nz);
        }
    for (int k = 0; k < nr; ++k)
        for (int j = 0; j < 36; ++j) {
            float th = 2 * pi * (j + 0.5f) / 36, r = (k + 0.5f) / nr;
            p.x.push_back(r * std::cos(th));
            p.y.push_back(r * std::sin(th));
            p.z.push_back(1.0f);
        }
    return p;
}

void BM_WGREENV_inf(benchmark::State& state) {
    const float nu = static_cast<float>(state.range(0)) / 10.0f;
    const Panels p = cylinder();
    const int n = static_cast<int>(p.x.size());
    // per source panel j: the block of all field panels i
    std::vector<std::vector<float>> R(n), Z(n), ZETA(n);
    std::vector<std::vector<int>> code(n);
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            float dx = p.x[i] - p.x[j], dy = p.y[i] - p.y[j], dz = p.z[i] - p.z[j];
            float dist = std::sqrt(dx * dx + dy * dy + dz * dz);
            R[j].push_back(nu * std::sqrt(dx * dx + dy * dy));
            Z[j].push_back(nu * p.z[i]);
            ZETA[j].push_back(nu * p.z[j]);
            // near pairs integrate 1/r (and 1/r1 close to the surface) themselves
            code[j].push_back(dist > 0.6f ? 0 : (p.z[i] + p.z[j] > 0.6f ? 1 : 2));
        }
    std::vector<int> ibot(n, 0);
    std::vector<zorva::cplx> G(8 * static_cast<std::size_t>(n));
    std::vector<std::vector<int>> w(14, std::vector<int>(n));
    const float a = 0.0f, h = -1.0f;
    for (auto _ : state) {
        for (int j = 0; j < n; ++j) {
            zorva::WGREENV(R[j].data(), a, Z[j].data(), ZETA[j].data(), h, G.data(), code[j].data(), ibot.data(), n,
                           w[0].data(), w[1].data(), w[2].data(), w[3].data(), w[4].data(), w[5].data(), w[6].data(),
                           w[7].data(), w[8].data(), w[9].data(), w[10].data(), w[11].data(), w[12].data(),
                           w[13].data());
            benchmark::DoNotOptimize(G.data());
        }
        benchmark::ClobberMemory();
    }
    const double pairs = static_cast<double>(n) * n;
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * pairs));
    // time per pair (shown in seconds with an SI prefix)
    state.counters["per_pair"] =
        benchmark::Counter(pairs, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

}  // namespace

// nu = 0.3, 1.0, 3.0 (argument in tenths)
BENCHMARK(BM_WGREENV_inf)->Arg(3)->Arg(10)->Arg(30)->Unit(benchmark::kMillisecond);
