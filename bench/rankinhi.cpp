// The higher-order Rankine step (RANKINHI) of the exact hemisphere of the
// user geometry routine (radius 1, four patches, water depth 5, no
// symmetry) at two spline resolutions: N x N spans of order 3 per patch,
// 2 x 2 outer and 4 x 4 inner Gauss points per span.  The counters give the
// outer points, the source spans and the time per outer point and source
// span.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "common/channels.hpp"
#include "common/datetime.hpp"
#include "common/messages.hpp"
#include "geometry/model.hpp"
#include "geometry/modelin.hpp"
#include "geometry/modelmore.hpp"
#include "main/config.hpp"
#include "main/drivers/drivers.hpp"
#include "main/fnames.hpp"
#include "main/runparams.hpp"
#include "main/symmetry.hpp"
#include "panels/geom.hpp"
#include "panels/geomdata.hpp"
#include "panels/paneldata.hpp"
#include "solver/rankin.hpp"
#include "solver/scrstore.hpp"

namespace {

using namespace zorva;

void write(const std::string& name, const std::string& text) { std::ofstream(name) << text; }

// The hemisphere with N x N spans per patch, read and set up as POTEN does
// it before the Rankine step.
int setup(int N) {
    auto dir = std::filesystem::temp_directory_path() /
               ("zorva_bench_rankinhi_" + std::to_string(::getpid()) + "_" + std::to_string(N));
    std::filesystem::create_directories(dir);
    std::filesystem::current_path(dir);
    chan::reset();
    slv::store_reset();
    cfg::reset(), model::reset(), model::reset_more(), sym::reset(), run::reset(), pnl::reset(), pnl::reset_geom();
    const std::string src = ZORVA_BENCH_SOURCE "/examples/hohemi/";
    for (const char* f : {"fnames.zrv", "hohemi.cfg", "hohemi.pot", "hohemi.gdf", "hohemi.frc"})
        std::filesystem::copy_file(src + f, f, std::filesystem::copy_options::overwrite_existing);
    std::string spl = "Hemisphere radius 1\n";
    for (int p = 0; p < 4; ++p)
        spl += std::to_string(N) + " " + std::to_string(N) + "\n3 3\n2 2\n4 4\n";
    write("hohemi.spl", spl);
    int ierr = 0;
    chan::open(IULOG, "zorvalog.txt", chan::Status::Replace);
    fnames::SETFNAMES(11, IUKBD, IUSCR, fnames::RUNFILES[5], fnames::EXTS, -1, ierr);
    if (ierr == 0) cfg::RDCONFIG(0, ierr);
    if (ierr == 0) ERRLOGOPEN("errorp.log", "POTEN", RUNDATE, RUNTIME, ierr);
    if (ierr == 0) GETIP(run::IMODFL, run::NBETAX, ierr);
    float tols = 1.0e-6f;
    if (ierr == 0)
        CHKPOT(model::IRAD, model::IDIFF, model::NPER, model::NBETA, run::IMODFL, model::NEQN, 1.0e-6f, 1.0e-4f, tols,
               ierr);
    if (ierr == 0) GEOMSTAT(model::NEQN, run::IMODFL, ierr);
    if (ierr == 0) ALLOCPOTW(model::NMODT, model::IDIFF);
    return ierr;
}

void BM_rankinhi(benchmark::State& state) {
    const int N = static_cast<int>(state.range(0));
    if (setup(N) != 0) {
        state.SkipWithError("set-up failed");
        return;
    }
    long outer = 0, spans = 0;
    for (int p = 1; p <= model::NPATCHT; ++p) {
        outer += static_cast<long>(model::NU(p)) * model::NV(p) * model::IQUO(p) * model::IQVO(p);
        spans += static_cast<long>(model::NU(p)) * model::NV(p);
    }
    double total = 0;
    for (auto _ : state) {
        slv::store_reset();
        int ierr = 0;
        auto t0 = std::chrono::steady_clock::now();
        RANKIN(model::NEQN, model::IRAD, ierr);
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        if (ierr != 0) {
            state.SkipWithError("RANKIN failed");
            return;
        }
    }
    slv::store_reset();
    chan::reset();
    const auto here = std::filesystem::current_path();
    std::filesystem::current_path(std::filesystem::temp_directory_path());
    std::filesystem::remove_all(here);
    state.counters["NEQN"] = model::NEQN;
    state.counters["outer_points"] = static_cast<double>(outer);
    state.counters["source_spans"] = static_cast<double>(spans);
    state.counters["us_per_point_span"] =
        1e6 * total / static_cast<double>(state.iterations()) / static_cast<double>(outer * spans);
}
BENCHMARK(BM_rankinhi)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond);

}  // namespace
