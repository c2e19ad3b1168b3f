// The run's threads: one count for the program's own parallel loops and for
// the linear algebra library, taken from OMP_NUM_THREADS (all cores when it
// is not set).
#pragma once

#include <atomic>
#include <functional>

namespace zorva::thr {

// Threads of the program's parallel loops.
int count();
// A count of the caller's choice (tests, benchmarks); below 1 means 1.
void set_count(int n);

// Runs FN(k, t) for k = 0..N-1, each index once, in any order, on the
// run's threads (the caller among them); t (0..count()-1) numbers the
// thread, so that FN can use work arrays of its own.  Indices are handed
// out one at a time, so a thread that the machine holds up delays only the
// index it works on.  Returns when every index is done.  Waiting threads
// stay awake for about a millisecond, giving way to any other thread that
// wants their processor, and then sleep.
void parallel_for(int n, const std::function<void(int, int)>& fn);

// For tasks of one parallel_for that wait for each other (only ever for
// tasks handed out before them): waits until COUNTER >= VALUE, awake as
// the pool's threads wait, then asleep until advance() wakes it.
void await(const std::atomic<int>& counter, int value);
// Adds 1 to COUNTER and wakes the threads that wait for it.
void advance(std::atomic<int>& counter);

// Before a factorisation or solution of order N: the library's threads for
// it (one thread for small systems, whose hand-over between threads costs
// more than it gains; no more threads than the machine has idle
// processors, since the library's threads wait for each other busily and
// collapse on a loaded machine).
void blas_for(int n);
// After the library's work: its worker threads end instead of waiting
// busily for more, so that they take no processor from the assembly.
void blas_idle();

}  // namespace zorva::thr
