#include "common/threads.hpp"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <sched.h>
#include <time.h>

extern "C" void openblas_set_num_threads(int);

namespace zorva::thr {

namespace {

// Systems below this order are solved on one library thread.
constexpr int BLAS_MIN_ORDER = 512;
// How long a waiting thread stays awake before it sleeps: long enough to
// bridge the gaps between the steps of a parallel loop (a sleeping thread
// takes tens of microseconds to wake, on a virtual machine often much more,
// and a loop of short steps then runs at a fraction of its speed), short
// enough to cost nothing between the loops of a run.  While it waits it
// gives its processor to any other thread that wants one, and once another
// thread took it (the machine is busy) it sleeps at once.
constexpr auto AWAKE = std::chrono::microseconds(1000);
// A pause this long between two looks at the clock means that another
// thread had the processor.
constexpr auto TAKEN = std::chrono::microseconds(50);

std::atomic<int> nthreads{0};
// Whether the count was set (OMP_NUM_THREADS, set_count).
std::atomic<bool> chosen{false};
int blas_now = 0;

// The cores of the affinity mask, by number.
std::vector<int> mask_cpus() {
    std::vector<int> out;
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0)
        for (int c = 0; c < CPU_SETSIZE; ++c)
            if (CPU_ISSET(c, &set)) out.push_back(c);
    return out;
}

int cores() {
    const std::size_t n = mask_cpus().size();
    return n > 0 ? static_cast<int>(n) : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

void relax() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
}

// Waits awake until DONE() holds or AWAKE has passed; whether it holds.
template <class Done>
bool wait_awake(Done done) {
    const auto t0 = std::chrono::steady_clock::now();
    auto last = t0;
    for (unsigned s = 1;; ++s) {
        if (done()) return true;
        if (s % 64 != 0) {
            relax();
            continue;
        }
        const auto now = std::chrono::steady_clock::now();
        if (now - t0 > AWAKE || now - last > TAKEN) return done();
        last = now;
        sched_yield();
    }
}

// One parallel loop: its function, its size and the counts of indices
// handed out and done.
struct Job {
    const std::function<void(int, int)>* fn = nullptr;
    int n = 0;
    std::atomic<int> next{0}, done{0};
};

class Pool {
public:
    ~Pool() { stop(); }

    void run(int n, const std::function<void(int, int)>& fn, int want) {
        if (want <= 1 || n <= 1) {
            for (int k = 0; k < n; ++k) fn(k, 0);
            return;
        }
        ensure(want - 1);
        hush_.store(false, std::memory_order_relaxed);
        auto job = std::make_shared<Job>();
        job->fn = &fn;
        job->n = n;
        {
            std::lock_guard<std::mutex> lk(m_);
            cur_ = job;
            gen_.fetch_add(1, std::memory_order_release);
        }
        cv_work_.notify_all();
        work(*job, 0);
        if (!wait_awake([&] { return job->done.load(std::memory_order_acquire) >= n; })) {
            std::unique_lock<std::mutex> lk(m_);
            cv_done_.wait(lk, [&] { return job->done.load(std::memory_order_acquire) >= n; });
        }
        std::lock_guard<std::mutex> lk(m_);
        cur_.reset();
    }

private:
    static void work(Job& j, int t) {
        for (;;) {
            const int k = j.next.fetch_add(1, std::memory_order_relaxed);
            if (k >= j.n) return;
            (*j.fn)(k, t);
            j.done.fetch_add(1, std::memory_order_acq_rel);
        }
    }

    // Workers 1..want, started once and kept.
    void ensure(int want) {
        while (static_cast<int>(workers_.size()) < want) {
            const int t = static_cast<int>(workers_.size()) + 1;
            workers_.emplace_back([this, t] { loop(t); });
        }
    }

public:
    // The waiting workers go to sleep now (before others take the
    // processors); returns when none is awake.
    void hush() {
        hush_.store(true, std::memory_order_release);
        wait_awake([&] { return awake_.load(std::memory_order_acquire) == 0; });
    }

private:
    void loop(int t) {
        long seen = gen_.load(std::memory_order_acquire);
        for (;;) {
            awake_.fetch_add(1, std::memory_order_acq_rel);
            wait_awake([&] {
                return gen_.load(std::memory_order_acquire) != seen || hush_.load(std::memory_order_acquire);
            });
            awake_.fetch_sub(1, std::memory_order_acq_rel);
            std::shared_ptr<Job> job;
            {
                std::unique_lock<std::mutex> lk(m_);
                cv_work_.wait(lk, [&] { return stop_ || gen_.load(std::memory_order_acquire) != seen; });
                if (stop_) return;
                seen = gen_.load(std::memory_order_acquire);
                job = cur_;
            }
            // Only threads up to the loop's count take part.
            if (!job || t >= nthreads) continue;
            work(*job, t);
            if (job->done.load(std::memory_order_acquire) >= job->n) {
                std::lock_guard<std::mutex> lk(m_);
                cv_done_.notify_all();
            }
        }
    }

    void stop() {
        {
            std::lock_guard<std::mutex> lk(m_);
            stop_ = true;
        }
        cv_work_.notify_all();
        for (auto& w : workers_) w.join();
        workers_.clear();
    }

    std::vector<std::thread> workers_;
    std::mutex m_;
    std::condition_variable cv_work_, cv_done_;
    std::atomic<long> gen_{0};
    std::atomic<int> awake_{0};
    std::atomic<bool> hush_{false};
    std::shared_ptr<Job> cur_;
    bool stop_ = false;
};

Pool& pool() {
    static Pool p;
    return p;
}

// The lines of the processors at the head of /proc/stat.
std::string stat_text() {
    std::ifstream in("/proc/stat");
    std::string out, line;
    while (std::getline(in, line) && line.compare(0, 3, "cpu") == 0) out += line + '\n';
    return out;
}

double seconds(clockid_t clock) {
    timespec ts{};
    clock_gettime(clock, &ts);
    return static_cast<double>(ts.tv_sec) + 1e-9 * static_cast<double>(ts.tv_nsec);
}

// The load that other programs put on the cores of the affinity mask:
// the processors' counters read twice, SAMPLE apart, while the run's own
// threads sleep (others then get the processors they want, where they
// would share them with ours while the run works), and the processor time
// of the run's threads that were awake none the less (the library's,
// still waiting for work) taken off.  A sample serves for REUSE: a few
// per cent of a factorisation's time at most.
class LoadMeter {
public:
    // The load now; 0 when the counters cannot be read.
    double foreign() {
        constexpr auto SAMPLE = std::chrono::milliseconds(50);
        constexpr double REUSE = 5.0;
        if (have_ && seconds(CLOCK_MONOTONIC) - when_ < REUSE) return load_;
        const std::vector<int> cpus = mask_cpus();
        std::vector<CpuTicks> before, after;
        const double wall0 = seconds(CLOCK_MONOTONIC), own0 = seconds(CLOCK_PROCESS_CPUTIME_ID);
        const bool ok0 = !cpus.empty() && cpu_ticks(stat_text(), cpus, before);
        if (ok0) std::this_thread::sleep_for(SAMPLE);
        const double wall1 = seconds(CLOCK_MONOTONIC), own1 = seconds(CLOCK_PROCESS_CPUTIME_ID);
        const bool ok = ok0 && cpu_ticks(stat_text(), cpus, after) && wall1 > wall0;
        load_ = ok ? foreign_load(before, after, (own1 - own0) / (wall1 - wall0)) : 0.0;
        when_ = wall1;
        have_ = true;
        return load_;
    }

private:
    bool have_ = false;
    double when_ = 0.0, load_ = 0.0;
};

LoadMeter& meter() {
    static LoadMeter m;
    return m;
}

}  // namespace

int env_count(const char* value) {
    if (!value) return 0;
    const char* p = value;
    while (*p == ' ' || *p == '\t') ++p;
    if (*p < '0' || *p > '9') return 0;
    long v = 0;
    for (; *p >= '0' && *p <= '9'; ++p) v = std::min(10 * v + (*p - '0'), 100000L);
    if (*p != '\0' && *p != ',' && *p != ' ' && *p != '\t') return 0;
    return static_cast<int>(std::min(v, 1024L));
}

bool cpu_ticks(std::string_view stat, const std::vector<int>& cpus, std::vector<CpuTicks>& out) {
    out.assign(cpus.size(), CpuTicks{});
    std::vector<bool> seen(cpus.size(), false);
    while (!stat.empty()) {
        const std::size_t eol = std::min(stat.find('\n'), stat.size());
        const std::string line(stat.substr(0, eol));
        stat.remove_prefix(std::min(eol + 1, stat.size()));
        // "cpuN user nice system idle iowait irq softirq steal ...": at
        // least the first four counts (older systems have fewer).
        if (line.size() < 4 || line.compare(0, 3, "cpu") != 0 || line[3] < '0' || line[3] > '9') continue;
        int cpu = -1;
        long long v[8] = {};
        const int got = std::sscanf(line.c_str(), "cpu%d %lld %lld %lld %lld %lld %lld %lld %lld", &cpu, &v[0], &v[1],
                                    &v[2], &v[3], &v[4], &v[5], &v[6], &v[7]);
        if (got < 5) continue;
        const auto at = std::find(cpus.begin(), cpus.end(), cpu);
        if (at == cpus.end()) continue;
        bool ok = true;
        for (int k = 0; k < got - 1; ++k) ok = ok && v[k] >= 0;
        if (!ok) continue;
        const auto i = static_cast<std::size_t>(at - cpus.begin());
        out[i].busy = v[0] + v[1] + v[2] + v[5] + v[6] + v[7];
        out[i].all = out[i].busy + v[3] + v[4];
        seen[i] = true;
    }
    return std::all_of(seen.begin(), seen.end(), [](bool b) { return b; });
}

double foreign_load(const std::vector<CpuTicks>& before, const std::vector<CpuTicks>& after, double own) {
    double used = 0.0;
    for (std::size_t i = 0; i < before.size() && i < after.size(); ++i) {
        const long long all = after[i].all - before[i].all;
        const long long busy = after[i].busy - before[i].busy;
        if (all > 0) used += std::clamp(static_cast<double>(busy) / static_cast<double>(all), 0.0, 1.0);
    }
    return std::max(0.0, used - std::max(0.0, own));
}

int blas_count(int n, int set, int cores, double foreign) {
    if (n < BLAS_MIN_ORDER) return 1;
    if (set > 0) return set;
    cores = std::max(cores, 1);
    return std::clamp(static_cast<int>(std::lround(cores - foreign)), 1, cores);
}

int count() {
    if (nthreads.load() < 1) {
        const int set = env_count(std::getenv("OMP_NUM_THREADS"));
        chosen = set > 0;
        nthreads = set > 0 ? set : cores();
    }
    return nthreads.load();
}

void set_count(int n) {
    chosen = n >= 1;
    nthreads = n >= 1 ? n : 0;
}

void parallel_for(int n, const std::function<void(int, int)>& fn) { pool().run(n, fn, count()); }

void await(const std::atomic<int>& counter, int value) {
    if (wait_awake([&] { return counter.load(std::memory_order_acquire) >= value; })) return;
    for (int v = counter.load(std::memory_order_acquire); v < value; v = counter.load(std::memory_order_acquire))
        counter.wait(v, std::memory_order_acquire);
}

void advance(std::atomic<int>& counter) {
    counter.fetch_add(1, std::memory_order_acq_rel);
    counter.notify_all();
}

void blas_for(int n) {
    // Our own waiting threads are no competition: they sleep first.
    pool().hush();
    const int set = count();  // settles `chosen` too
    const double foreign = !chosen && n >= BLAS_MIN_ORDER ? meter().foreign() : 0.0;
    const int want = blas_count(n, chosen ? set : 0, cores(), foreign);
    if (want != blas_now) {
        openblas_set_num_threads(want);
        blas_now = want;
    }
}

}  // namespace zorva::thr
