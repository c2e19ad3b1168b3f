// One POTEN period of the exact hemisphere (radius 1, floating, infinite
// depth, Ka = 1) by the higher-order method: 4 patches of N x N quadratic
// spline panels, 4 (N + 2)^2 unknowns; incident-wave right-hand sides and
// assembly, then the direct solution of 6 radiation and 1 diffraction
// problems, on one thread and on the run's own choice of threads (the
// cores of the affinity mask).  Arguments: N, threads (0 the run's choice).
// Compare with BM_period of bench_poten_period at the panel count of equal
// accuracy (N = 3 about 1024 panels, N = 4 about 4096 panels).
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

#include "bench/period.hpp"
#include "bench/workdir.hpp"
#include "common/channels.hpp"
#include "common/datetime.hpp"
#include "common/threads.hpp"
#include "geometry/model.hpp"
#include "geometry/modelin.hpp"
#include "kernels/wgsetup.hpp"
#include "main/config.hpp"
#include "main/drivers/drivers.hpp"
#include "main/fnames.hpp"
#include "main/runparams.hpp"
#include "main/symmetry.hpp"
#include "panels/geom.hpp"
#include "solver/assembly.hpp"
#include "solver/incrhs.hpp"
#include "solver/matrices.hpp"
#include "solver/rankin.hpp"
#include "solver/solve.hpp"
#include "kernels/wavegreen_fd.hpp"
#include "geometry/modelmore.hpp"
#include "panels/geomdata.hpp"
#include "panels/paneldata.hpp"
#include "solver/scrstore.hpp"
#include "tests/support/modules.hpp"

namespace {

using namespace zorva;

std::istringstream keys;
std::ostringstream screen;

void put(const std::string& name, const std::string& text) { std::ofstream(name) << text; }

// The model of N x N spline panels per patch, its Rankine records and the
// period set-up, kept while the benchmarks ask for the same N.
bool setup(int n) {
    static int done = 0;
    if (n == done) return true;
    done = n;
    static const bench::WorkDir dir("zorva_hobench");
    chan::reset();
    chan::set_keyboard(&keys);
    chan::set_screen(&screen);
    test::reset_modules();
    const double T = 2.0 * 3.14159265358979 / std::sqrt(9.80665);
    put("fnames.zrv", "h.cfg\nh.pot\nh.gdf\n");
    put("h.cfg", "ILOWHI=1\nISOLVE=1\n");
    put("h.pot", "H\n0\n0\n0. 0. 0. 0. 0.\n0 0 0\n1 1\n1 1 1 1 1 1\n1\n" + std::to_string(T) + "\n1\n0.\n");
    put("h.gdf", "H\n1. 9.80665\n0 0\n4 3\n1\nHEMISPHERE 1.0\n");
    std::string spl = "S\n";
    for (int p = 0; p < 4; ++p) spl += std::to_string(n) + " " + std::to_string(n) + "\n3 3\n2 2\n4 4\n";
    put("h.spl", spl);
    using namespace model;
    int ierr = 0;
    fnames::SETFNAMES(11, chan::KEYBOARD, chan::SCREEN, fnames::RUNFILES[5], fnames::EXTS, -1, ierr);
    if (ierr == 0) cfg::RDCONFIG(0, ierr);
    DATETIME(RUNDATE, RUNTIME);
    if (ierr == 0) GETIP(run::IMODFL, run::NBETAX, ierr);
    float tols = 1.0e-6f;
    if (ierr == 0) CHKPOT(IRAD, IDIFF, NPER, NBETA, run::IMODFL, NEQN, 1.0e-6f, 1.0e-4f, tols, ierr);
    if (ierr == 0) GEOMSTAT(NEQN, run::IMODFL, ierr);
    if (ierr != 0) return false;
    ALLOCPOTW(NMODT, IDIFF);
    RANKIN(NEQN, IRAD, ierr);
    if (ierr == 0) slv::ALLOCMAT(NEQN, run::NBETAX, IDIFF, ierr);
    for (int k = 0; k < 16; ++k) slv::IUNIT[k] = 29 + k;
    if (ierr == 0) HGRN00(WNUMNU(1), WNUMK(1), PER(1), ierr);
    return ierr == 0;
}

void BM_hoperiod(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    if (!setup(n)) {
        state.SkipWithError("set-up failed");
        return;
    }
    const int t = static_cast<int>(state.range(1));
    thr::set_count(t);
    bench::time_period(state, model::NEQN, model::WNUMNU(1), model::WNUMK(1));
    state.counters["unknowns"] = model::NEQN;
}

}  // namespace

BENCHMARK(BM_hoperiod)->ArgsProduct({{3, 4}, {1, 0}})->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
