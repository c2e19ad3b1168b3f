// The choice of the thread counts: the value of OMP_NUM_THREADS, the
// processors' counters of /proc/stat, the load of other programs on the
// affinity mask and the library's thread count drawn from them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "common/threads.hpp"

namespace zorva::thr {
namespace {

TEST(Threads, CountAskedByOmpNumThreads) {
    const struct {
        const char* value;
        int count;
    } cases[] = {
        {nullptr, 0}, {"", 0},    {"4", 4},       {" 4", 4},     {"4,2", 4},    {"4 ", 4},     {"1", 1},
        {"0", 0},     {"-2", 0},  {"+3", 0},      {"abc", 0},    {"4abc", 0},   {"2.5", 0},    {"1024", 1024},
        {"5000", 1024}, {"99999999999999999999", 1024},
    };
    for (const auto& c : cases) EXPECT_EQ(env_count(c.value), c.count) << (c.value ? c.value : "(unset)");
}

// The head of /proc/stat on an eight-processor machine (two lines of an
// older system with four counts), and the ticks of cores 4 to 7.
const std::string STAT =
    "cpu  78005 0 8157 132349 200 0 97 194 0 0\n"
    "cpu0 9793 0 987 16576 14 0 13 2 0 0\n"
    "cpu1 9673 0 941 16713 10 0 7 28 0 0\n"
    "cpu2 9659 0 957 16680 7 0 8 64 0 0\n"
    "cpu3 9878 0 961 16516 6 0 2 15 0 0\n"
    "cpu4 100 1 20 300 4 5 6 7 0 0\n"
    "cpu5 10 0 0 90\n"
    "cpu6 0 0 0 0 0 0 0 0 0 0\n"
    "cpu7 1000 0 0 0 0 0 0 0 0 0\n"
    "intr 431276 0 0 0 0\n";

TEST(Threads, ProcessorTicksOfTheMask) {
    std::vector<CpuTicks> t;
    ASSERT_TRUE(cpu_ticks(STAT, {4, 5, 6, 7}, t));
    ASSERT_EQ(t.size(), 4u);
    EXPECT_EQ(t[0].busy, 100 + 1 + 20 + 5 + 6 + 7);
    EXPECT_EQ(t[0].all, 100 + 1 + 20 + 300 + 4 + 5 + 6 + 7);
    EXPECT_EQ(t[1].busy, 10);
    EXPECT_EQ(t[1].all, 100);
    EXPECT_EQ(t[2].all, 0);
    EXPECT_EQ(t[3].busy, 1000);
    // In the order of the mask; the machine's total line is no processor.
    ASSERT_TRUE(cpu_ticks(STAT, {7, 0}, t));
    EXPECT_EQ(t[0].busy, 1000);
    EXPECT_EQ(t[1].busy, 9793 + 987 + 13 + 2);
    // A processor of the mask without a line, or with a damaged one.
    EXPECT_FALSE(cpu_ticks(STAT, {4, 8}, t));
    EXPECT_FALSE(cpu_ticks("cpu0 1 2 3\ncpu1 1 2 3 4\n", {0, 1}, t));
    EXPECT_FALSE(cpu_ticks("cpu0 1 2 -3 4\n", {0}, t));
    EXPECT_FALSE(cpu_ticks("", {0}, t));
}

TEST(Threads, LoadOfOtherProgramsOnTheMask) {
    // Four processors over 100 ticks each: busy 100 %, 50 %, 25 % and 0 %
    // of the time, 1.75 processors' worth in all.
    const std::vector<CpuTicks> a = {{10, 100}, {20, 200}, {30, 300}, {40, 400}};
    const std::vector<CpuTicks> b = {{110, 200}, {70, 300}, {55, 400}, {40, 500}};
    EXPECT_DOUBLE_EQ(foreign_load(a, b, 0.0), 1.75);
    // The run's own threads used 1.5 of them.
    EXPECT_DOUBLE_EQ(foreign_load(a, b, 1.5), 0.25);
    // Own time beyond the counted load (counters a tick behind): none left.
    EXPECT_DOUBLE_EQ(foreign_load(a, b, 2.0), 0.0);
    // A processor whose counters did not move counts as free.
    EXPECT_DOUBLE_EQ(foreign_load(a, a, 0.0), 0.0);
}

TEST(Threads, LibraryThreadsForAFactorisation) {
    const struct {
        int n, set, cores;
        double foreign;
        int count;
    } cases[] = {
        {511, 4, 4, 0.0, 1},   // small systems: one thread, whatever was set
        {511, 0, 8, 0.0, 1},
        {4096, 4, 4, 3.0, 4},  // a count set is obeyed, load or not
        {4096, 6, 4, 0.0, 6},
        {4096, 0, 4, 0.0, 4},  // otherwise the mask's cores
        {4096, 0, 4, 0.4, 4},  // less those that others hold most of the time
        {4096, 0, 4, 0.6, 3},
        {4096, 0, 4, 2.0, 2},
        {4096, 0, 4, 7.0, 1},  // at least one
        {4096, 0, 0, 0.0, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(blas_count(c.n, c.set, c.cores, c.foreign), c.count)
            << "n " << c.n << " set " << c.set << " cores " << c.cores << " foreign " << c.foreign;
}

// A count set by the caller is the loops' count; 0 gives back the run's
// own choice, which follows OMP_NUM_THREADS.
TEST(Threads, CountSetAndGivenBack) {
    const char* old = std::getenv("OMP_NUM_THREADS");
    const std::string saved = old ? old : "";
    thr::set_count(3);
    EXPECT_EQ(thr::count(), 3);
    ::setenv("OMP_NUM_THREADS", "5", 1);
    thr::set_count(0);
    EXPECT_EQ(thr::count(), 5);
    ::unsetenv("OMP_NUM_THREADS");
    thr::set_count(0);
    EXPECT_GE(thr::count(), 1);
    if (old) ::setenv("OMP_NUM_THREADS", saved.c_str(), 1);
    thr::set_count(0);
}

}  // namespace
}  // namespace zorva::thr
