// The run's threads: one count for the program's own parallel loops and for
// the linear algebra library.  A count set in OMP_NUM_THREADS is obeyed;
// without it the run uses the cores of its affinity mask, and the library
// leaves out those of them that other programs keep busy.
#pragma once

#include <atomic>
#include <functional>
#include <string_view>
#include <vector>

namespace zorva::thr {

// Threads of the program's parallel loops.
int count();
// A count of the caller's choice (tests, benchmarks), obeyed as one set in
// OMP_NUM_THREADS; 0 or below: the run's own choice again, as at its start.
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
// it (see blas_count), after the pool's waiting threads went to sleep.
// The library's threads are kept between its calls: they wait busily for
// about a tenth of a second and then sleep, while a restart of ended
// threads costs a factorisation tens to hundreds of milliseconds.
void blas_for(int n);

// The parts of the choice of the thread counts, on their own.

// The count that a value of OMP_NUM_THREADS asks for: its first item, a
// whole number from 1 (at most 1024); 0 when VALUE is null or asks for none.
int env_count(const char* value);

// Clock ticks of one processor in /proc/stat: those in use (user, nice,
// system, irq, softirq, steal) and all of them (those and idle, iowait).
struct CpuTicks {
    long long busy = 0, all = 0;
};
// The ticks of the processors CPUS, in their order, from the text STAT of
// /proc/stat; false when one of them has no readable line.
bool cpu_ticks(std::string_view stat, const std::vector<int>& cpus, std::vector<CpuTicks>& out);
// The processors' worth (0 up to the number of processors) that other
// programs used between the readings BEFORE and AFTER: the fractions of
// time each processor was in use, summed, less OWN, the processors' worth
// the run itself used in that time (its processor time over the time
// passed), which may have been on any of them.
double foreign_load(const std::vector<CpuTicks>& before, const std::vector<CpuTicks>& after, double own);

// The library's threads for a system of order N.  One below the order at
// which the hand-over between threads starts to pay; SET when the user set
// a count (OMP_NUM_THREADS or set_count; 0 when not); else the CORES of
// the affinity mask less the processors' worth FOREIGN that other programs
// keep busy (rounded; at least one), since the library's threads wait for
// each other busily and collapse on a processor that another program holds.
int blas_count(int n, int set, int cores, double foreign);

}  // namespace zorva::thr
