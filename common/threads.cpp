#include "common/threads.hpp"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include <sched.h>

extern "C" {
void openblas_set_num_threads(int);
int blas_thread_shutdown_(void);
}

namespace zorva::thr {

namespace {

// Systems below this order are solved on one library thread.
constexpr int BLAS_MIN_ORDER = 512;
// Spins of a waiting thread before it sleeps (a few tens of microseconds).
constexpr int SPINS = 4000;

std::atomic<int> nthreads{0};
int blas_now = 0;

int cores() {
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0) return std::max(1, CPU_COUNT(&set));
    return std::max(1u, std::thread::hardware_concurrency());
}

void relax() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
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
        for (int s = 0; s < SPINS && job->done.load(std::memory_order_acquire) < n; ++s) relax();
        if (job->done.load(std::memory_order_acquire) < n) {
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

    void loop(int t) {
        long seen = gen_.load(std::memory_order_acquire);
        for (;;) {
            for (int s = 0; s < SPINS && gen_.load(std::memory_order_acquire) == seen; ++s) relax();
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
    std::shared_ptr<Job> cur_;
    bool stop_ = false;
};

Pool& pool() {
    static Pool p;
    return p;
}

// Processors that no other process is using now: the machine's cores less
// the runnable tasks of the system other than the caller.
int idle_cores() {
    int ncpu = cores();
    FILE* f = std::fopen("/proc/loadavg", "r");
    if (!f) return ncpu;
    double a, b, c;
    int running = 0, total = 0;
    const int got = std::fscanf(f, "%lf %lf %lf %d/%d", &a, &b, &c, &running, &total);
    std::fclose(f);
    if (got != 5) return ncpu;
    return std::max(1, ncpu - std::max(0, running - 1));
}

}  // namespace

int count() {
    if (nthreads.load() < 1) {
        int n = cores();
        if (const char* e = std::getenv("OMP_NUM_THREADS")) {
            char* end = nullptr;
            const long v = std::strtol(e, &end, 10);
            if (end != e && v >= 1) n = static_cast<int>(std::min(v, 1024L));
        }
        nthreads = n;
    }
    return nthreads.load();
}

void set_count(int n) { nthreads = n < 1 ? 1 : n; }

void parallel_for(int n, const std::function<void(int, int)>& fn) { pool().run(n, fn, count()); }

void blas_for(int n) {
    const int want = n < BLAS_MIN_ORDER ? 1 : std::min(count(), idle_cores());
    if (want != blas_now) {
        openblas_set_num_threads(want);
        blas_now = want;
    }
}

void blas_idle() {
    // The library starts its threads again at its next threaded call.
    blas_thread_shutdown_();
}

}  // namespace zorva::thr
