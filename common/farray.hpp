// 1-based (or any lower bound), column-major arrays of rank 1 to 3.
//
// The storage is one contiguous block, so a column (or any element run) can
// be handed on as a pointer: &A(1, j) or A.ptr(1, j).  Index checks are
// compiled in when ZORVA_BOUNDS_CHECK is defined (debug and sanitizer
// builds); a bad index then aborts with the array's bounds and the index.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <memory>
#include <new>

namespace zorva {

template <typename T, int R>
class FArray {
    static_assert(R >= 1 && R <= 3, "FArray supports rank 1 to 3");

public:
    FArray() = default;
    // Allocate with lower bound 1 in every dimension (elements value-initialised).
    template <typename... I>
    explicit FArray(I... n) { allocate(n...); }

    FArray(const FArray& o) { copy_from(o); }
    FArray& operator=(const FArray& o) {
        if (this != &o) copy_from(o);
        return *this;
    }
    FArray(FArray&&) noexcept = default;
    FArray& operator=(FArray&&) noexcept = default;

    // Allocate extents n1[, n2[, n3]] with lower bounds 1.  Old content is
    // dropped, new elements are value-initialised (0 for numbers).
    // Returns false (and leaves the array empty) when memory runs out.
    template <typename... I>
    bool allocate(I... n) {
        static_assert(sizeof...(I) == R, "wrong number of extents");
        std::array<long, R> lo, ext{static_cast<long>(n)...};
        lo.fill(1);
        return allocate_bounds(lo, ext);
    }

    // Allocate with explicit lower bounds: lo[d]..lo[d]+ext[d]-1.
    bool allocate_bounds(const std::array<long, R>& lo, const std::array<long, R>& ext) {
        // A size beyond what memory can address is a failed allocation too.
        constexpr std::size_t most = std::numeric_limits<std::ptrdiff_t>::max() / sizeof(T);
        std::size_t total = 1;
        bool fits = true, empty = false;
        for (int d = 0; d < R; ++d) {
            const auto e = static_cast<std::size_t>(std::max(ext[d], 0L));
            if (e == 0) empty = true;
            else if (total > most / e) fits = false;
            if (fits) total *= e;
        }
        if (empty) total = 0;
        if (!fits && !empty) {
            deallocate();
            return false;
        }
        std::unique_ptr<T[]> p;
        if (total > 0) {
            p.reset(new (std::nothrow) T[total]());
            if (!p) {
                deallocate();
                return false;
            }
        }
        data_ = std::move(p);
        size_ = total;
        lo_ = lo;
        for (int d = 0; d < R; ++d) ext_[d] = std::max(ext[d], 0L);
        allocated_ = true;
        return true;
    }

    // Grow-and-keep: new extents, keeping every element whose indices lie in
    // both the old and the new shape in its place; new elements are `fill`.
    // Returns false on allocation failure (the old content is then kept).
    template <typename... I>
    bool resize_keep(I... n) {
        static_assert(sizeof...(I) == R, "wrong number of extents");
        return resize_keep_fill(T{}, n...);
    }
    template <typename... I>
    bool resize_keep_fill(const T& fill, I... n) {
        static_assert(sizeof...(I) == R, "wrong number of extents");
        FArray tmp;
        std::array<long, R> ext{static_cast<long>(n)...};
        std::array<long, R> lo = allocated_ ? lo_ : std::array<long, R>{};
        if (!allocated_) lo.fill(1);
        if (!tmp.allocate_bounds(lo, ext)) return false;
        std::fill(tmp.data_.get(), tmp.data_.get() + tmp.size_, fill);
        if (allocated_ && size_ > 0 && tmp.size_ > 0) {
            std::array<long, R> keep;
            for (int d = 0; d < R; ++d) keep[d] = std::min(ext_[d], tmp.ext_[d]);
            if constexpr (R == 1) {
                std::copy(data_.get(), data_.get() + keep[0], tmp.data_.get());
            } else if constexpr (R == 2) {
                for (long j = 0; j < keep[1]; ++j)
                    std::copy(data_.get() + j * ext_[0], data_.get() + j * ext_[0] + keep[0],
                              tmp.data_.get() + j * tmp.ext_[0]);
            } else {
                for (long k = 0; k < keep[2]; ++k)
                    for (long j = 0; j < keep[1]; ++j)
                        std::copy(data_.get() + (k * ext_[1] + j) * ext_[0],
                                  data_.get() + (k * ext_[1] + j) * ext_[0] + keep[0],
                                  tmp.data_.get() + (k * tmp.ext_[1] + j) * tmp.ext_[0]);
            }
        }
        *this = std::move(tmp);
        return true;
    }

    void deallocate() {
        data_.reset();
        size_ = 0;
        ext_.fill(0);
        lo_.fill(1);
        allocated_ = false;
    }

    bool allocated() const { return allocated_; }
    std::size_t size() const { return size_; }
    long extent(int d) const { return ext_[d - 1]; }     // d = 1..R
    long lbound(int d) const { return lo_[d - 1]; }
    long ubound(int d) const { return lo_[d - 1] + ext_[d - 1] - 1; }

    T* data() { return data_.get(); }
    const T* data() const { return data_.get(); }
    T* begin() { return data_.get(); }
    T* end() { return data_.get() + size_; }
    const T* begin() const { return data_.get(); }
    const T* end() const { return data_.get() + size_; }

    void fill(const T& v) { std::fill(begin(), end(), v); }

    T& operator()(long i) requires(R == 1) { return data_[off(i)]; }
    const T& operator()(long i) const requires(R == 1) { return data_[off(i)]; }
    T& operator()(long i, long j) requires(R == 2) { return data_[off(i, j)]; }
    const T& operator()(long i, long j) const requires(R == 2) { return data_[off(i, j)]; }
    T& operator()(long i, long j, long k) requires(R == 3) { return data_[off(i, j, k)]; }
    const T& operator()(long i, long j, long k) const requires(R == 3) { return data_[off(i, j, k)]; }

    // Address of an element, for handing a column or a slice on as a pointer.
    template <typename... I>
    T* ptr(I... i) { return data_.get() + off(static_cast<long>(i)...); }
    template <typename... I>
    const T* ptr(I... i) const { return data_.get() + off(static_cast<long>(i)...); }

private:
    void copy_from(const FArray& o) {
        if (!o.allocated_) {
            deallocate();
            return;
        }
        allocate_bounds(o.lo_, o.ext_);
        std::copy(o.begin(), o.end(), begin());
    }

#ifdef ZORVA_BOUNDS_CHECK
    [[noreturn]] void bad(int d, long i) const {
        std::fprintf(stderr, "FArray: index %ld out of bounds %ld:%ld in dimension %d (rank %d%s)\n", i,
                     lo_[d], lo_[d] + ext_[d] - 1, d + 1, R, allocated_ ? "" : ", not allocated");
        std::abort();
    }
    void check(int d, long i) const {
        if (i < lo_[d] || i >= lo_[d] + ext_[d]) bad(d, i);
    }
#else
    void check(int, long) const {}
#endif

    std::size_t off(long i) const {
        check(0, i);
        return static_cast<std::size_t>(i - lo_[0]);
    }
    std::size_t off(long i, long j) const {
        check(0, i);
        check(1, j);
        return static_cast<std::size_t>((i - lo_[0]) + ext_[0] * (j - lo_[1]));
    }
    std::size_t off(long i, long j, long k) const {
        check(0, i);
        check(1, j);
        check(2, k);
        return static_cast<std::size_t>((i - lo_[0]) + ext_[0] * ((j - lo_[1]) + ext_[1] * (k - lo_[2])));
    }

    std::unique_ptr<T[]> data_;
    std::size_t size_ = 0;
    std::array<long, R> lo_{};
    std::array<long, R> ext_{};
    bool allocated_ = false;
};

template <typename T> using Arr1 = FArray<T, 1>;
template <typename T> using Arr2 = FArray<T, 2>;
template <typename T> using Arr3 = FArray<T, 3>;

// Entry edits along the last dimension (an entry is an element of a rank-1
// array, a column of a rank-2 array, a slab of a rank-3 array; lower bound
// 1): delete entry K, the later entries moving down by one; or open N
// entries after entry K, the later ones moving up by N, each new entry a
// copy of entry K.  False on allocation failure or K outside the array.
template <typename T, int R>
bool resize_last(FArray<T, R>& a, long n) {
    if constexpr (R == 1) return a.resize_keep(n);
    else if constexpr (R == 2) return a.resize_keep(a.extent(1), n);
    else return a.resize_keep(a.extent(1), a.extent(2), n);
}
template <typename T, int R>
long entry_size(const FArray<T, R>& a) {
    long n = 1;
    for (int d = 1; d < R; ++d) n *= a.extent(d);
    return n;
}
template <typename T, int R>
bool delete_entry(FArray<T, R>& a, long K) {
    const long m = a.extent(R), e = entry_size(a);
    if (K < 1 || K > m) return false;
    std::copy(a.data() + K * e, a.data() + m * e, a.data() + (K - 1) * e);
    return resize_last(a, m - 1);
}
template <typename T, int R>
bool insert_copies(FArray<T, R>& a, long K, long N) {
    const long m = a.extent(R), e = entry_size(a);
    if (K < 1 || K > m) return false;
    if (N <= 0) return true;
    if (!resize_last(a, m + N)) return false;
    T* d = a.data();
    std::copy_backward(d + K * e, d + m * e, d + (m + N) * e);
    for (long i = 1; i <= N; ++i) std::copy(d + (K - 1) * e, d + K * e, d + (K - 1 + i) * e);
    return true;
}

}  // namespace zorva
