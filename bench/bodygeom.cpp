// Cost of one patch evaluation through BODYGEOM, as the higher-order
// integrations make them: a bicubic B-spline patch of 8 x 8 intervals (a
// quarter cylinder wall, control points on the surface), and a flat patch,
// with the normal (MODE 1) and with the modal normals (MODE 2).
#include <benchmark/benchmark.h>

#include <cmath>

#include "geometry/hogeom.hpp"
#include "geometry/model.hpp"
#include "geometry/modelmore.hpp"
#include "main/config.hpp"

namespace {

using namespace zorva;

void setup(int igdef) {
    using namespace model;
    cfg::reset();
    model::reset();
    model::reset_more();
    cfg::NBODY = 1;
    cfg::IRR.allocate(1);
    cfg::XBODY.allocate(4, 1);
    cfg::XTRIM.allocate(3, 1);
    cfg::NEWMDS.allocate(1);
    cfg::IGENMDS.allocate(1);
    IGDEF.allocate(1);
    IGDEF(1) = igdef;
    IS.allocate(2, 1);
    NPATCH.allocate(1);
    NPATCH(1) = 1;
    ULEN.allocate(1);
    ULEN(1) = 1.0f;
    ULENI = 1.0f;
    CSPHIB.allocate(2, 1);
    CSPHIB(1, 1) = 1.0f;
    TRIMCS.allocate(4, 1);
    IPATOFF.allocate(1);
    IBMOD.allocate(1);
    NMODT = 6;
    IMODE.allocate(6);
    int ierr = 0;
    GROWPIR(1, 0, ierr);
    IPRL(1) = 1;
    if (igdef == 0) {
        XVER.allocate(4, 3, 1);
        const float v[4][3] = {{1, 0, -1}, {0, 0, -1}, {0, 1, -1}, {1, 1, -1}};
        for (int k = 1; k <= 4; ++k)
            for (int c = 1; c <= 3; ++c) XVER(k, c, 1) = v[k - 1][c - 1];
        return;
    }
    const int n = 8, k = 4, nb = n + k - 1;
    GROWBSP4(1, ierr);
    KUG(1) = KVG(1) = k;
    IUGOFF(1) = IVGOFF(1) = n;
    NUG(1) = NVG(1) = nb;
    GROWBSP3(nb + k, 1, ierr);
    for (int i = 1; i <= nb + k; ++i) {
        const float t = static_cast<float>(std::clamp(i - k, 0, n)) / static_cast<float>(n);
        UKNOTG(i, 1) = VKNOTG(i, 1) = t;
    }
    GEOPAR1(1, 1) = GEOPAR2(1, 1) = 0.5f;
    GEOPAR1(2, 1) = GEOPAR2(2, 1) = 0.5f;
    GROWBSP2(nb * nb, ierr);
    for (int j = 1; j <= nb; ++j)
        for (int i = 1; i <= nb; ++i) {
            const float a = 1.5707964f * static_cast<float>(i - 1) / static_cast<float>(nb - 1);
            const long c = static_cast<long>(j - 1) * nb + i;
            XCOEFG(1, c) = std::cos(a);
            XCOEFG(2, c) = std::sin(a);
            XCOEFG(3, c) = -static_cast<float>(j - 1) / static_cast<float>(nb - 1);
        }
}

void run(benchmark::State& state, int igdef, int mode) {
    setup(igdef);
    float x[3], vn[3], xu[3], xv[3], aj = 0.0f;
    int ierr = 0, i = 0;
    for (auto _ : state) {
        const float u = -0.95f + 0.0037f * static_cast<float>(i % 500), v = 0.9f - 0.0031f * static_cast<float>(i % 577);
        BODYGEOM(u, v, 1, 1, x, vn, xu, xv, aj, mode, 0, ierr);
        benchmark::DoNotOptimize(vn);
        ++i;
    }
    if (ierr != 0) state.SkipWithError("BODYGEOM failed");
}

void BM_BodygeomSpline(benchmark::State& s) { run(s, 1, 1); }
void BM_BodygeomSplineModal(benchmark::State& s) { run(s, 1, 2); }
void BM_BodygeomFlat(benchmark::State& s) { run(s, 0, 1); }

}  // namespace

BENCHMARK(BM_BodygeomSpline);
BENCHMARK(BM_BodygeomSplineModal);
BENCHMARK(BM_BodygeomFlat);
