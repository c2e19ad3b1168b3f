#include "common/threads.hpp"

#include <algorithm>
#include <atomic>
#include <chrono>
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
