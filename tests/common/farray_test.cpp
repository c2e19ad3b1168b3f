#include "common/farray.hpp"
#include "common/types.hpp"

#include <gtest/gtest.h>

namespace zorva {
namespace {

TEST(FArray, ColumnMajorOneBased) {
    Arr2<int> a(3, 2);
    int v = 0;
    for (int j = 1; j <= 2; ++j)
        for (int i = 1; i <= 3; ++i) a(i, j) = ++v;
    // Consecutive in memory down a column; a column can be passed as a pointer.
    EXPECT_EQ(a.data()[0], 1);
    EXPECT_EQ(a.data()[3], 4);
    EXPECT_EQ(a.ptr(1, 2)[2], 6);
    Arr3<float> b(2, 3, 4);
    b(2, 3, 4) = 7.f;
    EXPECT_EQ(b.data()[b.size() - 1], 7.f);
    EXPECT_EQ(b.ptr(1, 1, 2) - b.data(), 6);
}

TEST(FArray, GrowAndKeep) {
    Arr2<int> a(2, 2);
    a(1, 1) = 11; a(2, 1) = 21; a(1, 2) = 12; a(2, 2) = 22;
    ASSERT_TRUE(a.resize_keep_fill(-1, 3, 4));
    EXPECT_EQ(a(1, 1), 11);
    EXPECT_EQ(a(2, 1), 21);
    EXPECT_EQ(a(1, 2), 12);
    EXPECT_EQ(a(2, 2), 22);
    EXPECT_EQ(a(3, 1), -1);
    EXPECT_EQ(a(3, 4), -1);
    ASSERT_TRUE(a.resize_keep(1, 1));
    EXPECT_EQ(a(1, 1), 11);
    Arr1<float> c;
    ASSERT_TRUE(c.resize_keep(3));  // growing an unallocated array creates it
    EXPECT_EQ(c.extent(1), 3);
    EXPECT_EQ(c(3), 0.f);
}

TEST(FArray, LowerBounds) {
    Arr1<int> a;
    ASSERT_TRUE(a.allocate_bounds({0}, {5}));
    a(0) = 3;
    a(4) = 4;
    EXPECT_EQ(a.lbound(1), 0);
    EXPECT_EQ(a.ubound(1), 4);
    EXPECT_EQ(a.data()[0], 3);
}

// A size whose bytes exceed the address space fails like a failed
// allocation (no exception, no wrapped-around small block).
TEST(FArray, SizeBeyondMemoryFails) {
    Arr2<cplx> a;
    ASSERT_TRUE(a.allocate(2, 2));
    EXPECT_FALSE(a.allocate(2147483647, 2147483647));
    EXPECT_FALSE(a.allocated());
    Arr3<float> b;
    EXPECT_FALSE(b.allocate(1L << 31, 1L << 31, 1L << 31));  // the element count wraps in 64 bits
    EXPECT_TRUE(b.allocate(1L << 40, 0, 1L << 40));             // empty
    EXPECT_EQ(b.size(), 0u);
}

// Entry edits along the last dimension move whole columns: delete closes
// the gap, insert opens N copies of the entry after it; an entry outside
// the array is refused.
TEST(FArray, EntryDeleteAndInsert) {
    Arr2<int> a(2, 4);
    for (int j = 1; j <= 4; ++j) a(1, j) = 10 * j, a(2, j) = 10 * j + 1;
    ASSERT_TRUE(insert_copies(a, 2, 2));
    ASSERT_EQ(a.extent(2), 6);
    const int first[6] = {10, 20, 20, 20, 30, 40};
    for (int j = 1; j <= 6; ++j) {
        EXPECT_EQ(a(1, j), first[j - 1]) << j;
        EXPECT_EQ(a(2, j), first[j - 1] + 1) << j;
    }
    ASSERT_TRUE(delete_entry(a, 1));
    ASSERT_TRUE(delete_entry(a, 5));
    ASSERT_EQ(a.extent(2), 4);
    EXPECT_EQ(a(1, 1), 20);
    EXPECT_EQ(a(2, 4), 31);
    EXPECT_TRUE(insert_copies(a, 4, 0));
    EXPECT_EQ(a.extent(2), 4);
    EXPECT_FALSE(insert_copies(a, 5, 1));
    EXPECT_FALSE(delete_entry(a, 0));
    Arr3<float> x(1, 2, 1);
    x(1, 2, 1) = 7.0f;
    ASSERT_TRUE(insert_copies(x, 1, 1));
    EXPECT_EQ(x(1, 2, 2), 7.0f);
}

#ifdef ZORVA_BOUNDS_CHECK
TEST(FArrayDeathTest, OutOfBoundsAborts) {
    Arr2<int> a(2, 2);
    EXPECT_DEATH(a(3, 1) = 0, "out of bounds");
    EXPECT_DEATH(a(1, 0) = 0, "out of bounds");
}
#endif

}  // namespace
}  // namespace zorva
