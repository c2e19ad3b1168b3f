// The run's threads: one count for the program's own parallel loops and for
// the linear algebra library, taken from OMP_NUM_THREADS (all cores when it
// is not set).
#pragma once

namespace zorva::thr {

// Threads of the program's parallel loops.
int count();
// A count of the caller's choice (tests, benchmarks); below 1 means 1.
void set_count(int n);

// Before a factorisation or solution of order N: the library's threads for
// it (one thread for small systems, whose hand-over between threads costs
// more than it gains and collapses on a loaded machine).
void blas_for(int n);
// After the library's work: its worker threads end instead of waiting
// busily for more, so that they take no processor from the assembly.
void blas_idle();

}  // namespace zorva::thr
