#include "common/threads.hpp"

#include <omp.h>

extern "C" {
void openblas_set_num_threads(int);
int blas_thread_shutdown_(void);
}

namespace zorva::thr {

namespace {
// Systems below this order are solved on one library thread.
constexpr int BLAS_MIN_ORDER = 512;
int nthreads = 0;
int blas_now = 0;
}  // namespace

int count() {
    if (nthreads < 1) nthreads = omp_get_max_threads() > 0 ? omp_get_max_threads() : 1;
    return nthreads;
}

void set_count(int n) {
    nthreads = n < 1 ? 1 : n;
    omp_set_num_threads(nthreads);
}

void blas_for(int n) {
    const int want = n < BLAS_MIN_ORDER ? 1 : count();
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
