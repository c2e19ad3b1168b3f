// The whole POTEN stage of a run, as the program makes it, on one thread
// and on the run's own choice of threads (as without OMP_NUM_THREADS: the
// cores of the affinity mask): the floating hemisphere of radius 1 in deep
// water of tools/threadspeed.py (low-order panels, direct solver or the
// block solver, periods 6 s and 8 s, two headings), from the input files
// to the .p2f file.  Arguments: panels (64 round the body), threads (0: the
// run's choice), ISOLVE (1 the direct solver, 2 or more the blocks).
// The counter speedup is the time on one thread over this one.  Pin the
// program to give it fewer cores: taskset -c 4-7 build/bench/bench_whole_run
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <utility>

#include "bench/workdir.hpp"
#include "common/channels.hpp"
#include "common/threads.hpp"
#include "main/drivers/mainprog.hpp"
#include "tests/support/modules.hpp"

namespace {

using namespace zorva;

// The input set of N panels solved by ISOLVE, written once into a folder
// of its own.
std::filesystem::path inputs(int n, int isolve) {
    static const bench::WorkDir dir("zorva_bench_run");
    static const std::filesystem::path base = std::filesystem::current_path();
    static std::map<std::pair<int, int>, std::filesystem::path> made;
    auto it = made.find({n, isolve});
    if (it != made.end()) return it->second;
    const auto folder = base / ("hemi" + std::to_string(n) + "_isolve" + std::to_string(isolve));
    const std::string cmd = "python3 '" ZORVA_BENCH_SOURCE "/tools/threadspeed.py' make '" + folder.string() +
                            "' --round 64 --down " + std::to_string(n / 64) + " --isolve " + std::to_string(isolve) +
                            " > /dev/null";
    if (n % 64 != 0 || std::system(cmd.c_str()) != 0) return {};
    return made[{n, isolve}] = folder;
}

// One run of the program in FOLDER; whether it completed.
bool run(const std::filesystem::path& folder) {
    std::filesystem::current_path(folder);
    for (const char* f : {"hemi.p2f", "hemi.out"}) std::remove(f);
    static std::istringstream keyboard;
    static std::ostringstream screen;
    keyboard.clear();
    screen.str("");
    chan::reset();
    chan::set_keyboard(&keyboard);
    chan::set_screen(&screen);
    test::reset_modules();
    return MAIN() == 0;
}

void BM_whole_run(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0)), t = static_cast<int>(state.range(1));
    const int isolve = static_cast<int>(state.range(2));
    const auto folder = inputs(n, isolve);
    if (folder.empty()) {
        state.SkipWithError("no input set (python3 tools/threadspeed.py make)");
        return;
    }
    thr::set_count(t);
    double secs = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        if (!run(folder)) {
            state.SkipWithError("the run failed");
            break;
        }
        secs += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    }
    // The time on one thread, for the speed-up of the runs after it.
    static std::map<std::pair<int, int>, double> one;
    const double per = secs / static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
    if (t == 1) one[{n, isolve}] = per;
    state.counters["threads"] = thr::count();
    state.counters["panels"] = n;
    state.counters["isolve"] = isolve;
    if (one.count({n, isolve}) && per > 0) state.counters["speedup"] = one[{n, isolve}] / per;
    thr::set_count(0);
}

}  // namespace

BENCHMARK(BM_whole_run)->Args({1024, 1, 1})->Args({1024, 0, 1})->Args({4096, 1, 1})->Args({4096, 0, 1})
    ->Args({4096, 1, 2})->Args({4096, 0, 2})
    ->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
