// The layout of the POTEN-to-FORCE file (.p2f), written once and read back
// by the same code: each record is described once, as a list of the shared
// scalars and arrays it carries in order, and a Pass either packs those
// items into records (writing) or takes them out of the records of the file
// (reading), so the writer and the readers cannot disagree on the layout.
// A third direction (checking) walks the same items in memory without any
// I/O and holds them to the whole rule of the reader (the value rule of the
// reals, the ranges of the integers and the relations between items), so
// that the POTEN stage refuses before it solves what the file could not
// carry.
//
// A record is framed as every unformatted record of the program (4-byte
// little-endian length before and after).  Reading is strict: a record must
// hold exactly the items its description names, and an array is allocated
// only after the record in memory has been found long enough for it, so a
// truncated or foreign file gives a failed pass, never a huge allocation or
// an access outside an array.
#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <limits>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "common/bounds.hpp"
#include "common/farray.hpp"
#include "common/types.hpp"
#include "common/unformatted.hpp"

namespace zorva::p2f {

inline constexpr float VERSION = 6.4f;
inline constexpr int IUP2F = 13;

// Largest count the reader accepts from a file header (bodies, panels,
// modes, periods, ...); anything larger marks a foreign or broken file.
using zorva::MAXCOUNT;
// Largest array (elements) the reader allocates outside a record it holds.
inline constexpr long MAXELEMS = 1L << 28;
// Largest B-spline order (potential and geometry) the evaluators take.
inline constexpr int MAXORDER = MAXBSPLORD;
// Largest number of modes: the FORCE stage holds several NMODT x NMODT
// tables.
inline constexpr int MAXMODES = 4096;
// The reals of the bounded records are held to `carried` (common/bounds.hpp)
// and the length of body 1 to `long_enough`.

// Whether a point of a body's wetted surface at height z (global) lies
// between the bottom and the free surface, as the reader requires of the
// panel centroids and quadrature points of a run without tanks, walls or
// trimming.
bool wetted(float z);
// Whether the reader holds the quadrature points of patch J to `wetted`:
// not in runs with waterline trimming or walls, nor on a tank's patch.
bool heights_held(long J);

// Admissible values of an integer item; reading refuses any other.
struct Lim {
    long lo = std::numeric_limits<long>::min();
    long hi = std::numeric_limits<long>::max();
};

class Pass {
public:
    enum class Dir { Write, Read, Check };
    Pass(Dir d, int unit) : dir_(d), unit_(unit) {}

    bool writing() const { return dir_ == Dir::Write; }
    bool reading() const { return dir_ == Dir::Read; }
    bool checking() const { return dir_ == Dir::Check; }
    bool ok() const { return !bad_; }
    void fail() { bad_ = true; }
    // Reading and checking: a failure with the item it concerns and why
    // (the first failure of the pass stands).
    void fail(std::string_view item, std::string why);
    // Reading and checking: refuses the file unless OK holds (a relation
    // between items that their records cannot check alone); REC names the
    // record.
    void check(bool ok, std::string_view rec, std::string_view item, std::string_view why);
    // Whether the relations between items are to be tested: reading, or
    // checking while every table walked so far was there at its extents
    // (a relation reads the tables of its records, which a check pass
    // never makes).
    bool held() const { return reading() || (checking() && !bad_ && !stopped_ && !passed_); }
    // Identifier of the record being handled (or of the failed one).
    const std::string& id() const { return id_; }
    // What a failed reading or checking pass met: "record R, item I: why"
    // (or less when no item was named).
    std::string fault() const;
    // The item that failed and, when checking a real's value, where: for an
    // array the last index of the element refused (its panel, point, patch,
    // body, ...), for a scalar its ordinal among the items of that name in
    // the record; 0 when the failure is not a real's value.
    const std::string& failed_item() const { return item_; }
    long failed_at() const { return at_; }

    // Start a record: writing clears the buffer, reading takes the next
    // record of the unit.  End: writing sends the record, reading checks
    // that every byte of the record was taken.  Checking does neither; it
    // starts no record after a table it would have to make (see alloc).
    bool begin(std::string_view id);
    bool end();

    void i(int& v, std::string_view name = {}, Lim lim = {}) {
        name_ = name;
        item(&v, 1);
        within(&v, 1, lim);
    }
    void f(float& v, std::string_view name = {}) {
        name_ = name;
        first_ = checking() ? ordinal(name) : 1;
        per_ = 1;
        item(&v, 1);
    }
    void text(std::string& s, int len);

    // An array, or its leading section: the first extents must be those
    // named, the last at least the one named.  Reading allocates the array
    // with the named extents when it is not allocated at a fitting shape.
    // NAME names the item in a message; LIM (integers) bounds its values.
    // Checking passes over an array not (yet) of the named extents (and
    // tests no relation between items after it, see held).
    template <typename T, int R>
    void arr(FArray<T, R>& a, std::array<long, R> ext, std::string_view name = {}, Lim lim = {}) {
        if (bad_) return;
        name_ = name;
        long n = count(ext);
        if (n < 0) return fail(name, "extents out of range");
        first_ = 1;
        per_ = n > 0 ? n / ext[static_cast<std::size_t>(R - 1)] : 1;
        if (checking()) {
            if (n == 0) return;
            if (!fits(a, ext)) {
                passed_ = true;
                return;
            }
            item(a.data(), static_cast<std::size_t>(n));
            within(a.data(), static_cast<std::size_t>(n), lim);
            return;
        }
        if (reading() && n == 0) {
            // An empty section leaves an existing array as it is.
            if (!a.allocated() && !a.allocate_bounds(ones<R>(), ext)) fail();
            return;
        }
        if (reading()) {
            if (static_cast<std::size_t>(n) > r_.remaining() / sizeof(T)) return fail(name, SHORT);
            if (!fits(a, ext) && !a.allocate_bounds(ones<R>(), ext)) return fail(name, "no memory for its extents");
        } else if (n > 0 && !fits(a, ext)) {
            return fail();
        }
        if (n > 0) {
            item(a.data(), static_cast<std::size_t>(n));
            within(a.data(), static_cast<std::size_t>(n), lim);
        }
    }
    // Elements start .. start+n-1 of a rank-1 array (allocated beforehand).
    template <typename T>
    void sec(Arr1<T>& a, long start, long n, std::string_view name = {}, Lim lim = {}) {
        if (bad_) return;
        name_ = name;
        if (n < 0 || start < 1 || !a.allocated() || start + n - 1 > a.extent(1)) {
            if (!checking()) fail(name, "section out of range");
            passed_ = true;
            return;
        }
        first_ = start;
        per_ = 1;
        if (n > 0) {
            item(a.ptr(start), static_cast<std::size_t>(n));
            within(a.ptr(start), static_cast<std::size_t>(n), lim, start);
        }
    }
    // Texts of len characters, elements 1..n.
    void texts(Arr1<std::string>& a, long n, int len, std::string_view name = {});

    // Reading: allocate an array that element-wise items fill (kept when it
    // already has a fitting shape).  Writing: check that it is there.
    // Checking: an array not there yet ends the walk, with the records
    // after it unchecked (nothing of it is made, nothing refused).
    template <typename T, int R>
    void alloc(FArray<T, R>& a, std::array<long, R> ext) {
        if (bad_) return;
        long n = count(ext);
        if (n < 0 || n > MAXELEMS) return fail("", "extents of a table out of range");
        if (fits(a, ext)) return;
        if (checking()) {
            stopped_ = stopped_ || n > 0;
            return;
        }
        if (writing()) {
            if (n > 0) fail();
            return;
        }
        if (!a.allocate_bounds(ones<R>(), ext)) fail();
    }

    // Reading and checking: whether reals beyond MAXREAL are refused (the
    // default).
    void bounded(bool on) { bounded_ = on; }

    // Record lengths (bytes of data) as written or read, when a test asks.
    std::vector<std::pair<std::string, std::size_t>>* lengths = nullptr;

    template <typename T, int R>
    static bool fits(const FArray<T, R>& a, const std::type_identity_t<std::array<long, R>>& ext) {
        if (!a.allocated()) return false;
        for (int d = 1; d < R; ++d)
            if (a.extent(d) != ext[static_cast<std::size_t>(d - 1)]) return false;
        return a.extent(R) >= ext[static_cast<std::size_t>(R - 1)];
    }

private:
    static constexpr const char* SHORT = "record shorter than its items";
    template <typename T>
    void item(T* p, std::size_t n) {
        if (bad_) return;
        if (writing()) {
            w_.put(p, n);
        } else if (checking()) {
            bytes_ += n * sizeof(T);
            if constexpr (std::is_floating_point_v<T> || std::is_same_v<T, cplx>) {
                for (std::size_t k = 0; k < n; ++k) {
                    if (const char* why = refused(p[k])) {
                        at_ = first_ + static_cast<long>(k) / per_;
                        return fail(name_, why);
                    }
                }
            }
        } else if (!r_.get(p, n)) {
            fail(name_, SHORT);
        } else if constexpr (std::is_floating_point_v<T> || std::is_same_v<T, cplx>) {
            for (std::size_t k = 0; k < n; ++k)
                if (const char* why = refused(p[k])) return fail(name_, element(k + 1, n) + why);
        }
    }
    // The value rule of the reals: a POTEN run stores only finite reals of
    // moderate size, so a NaN, an infinity or (in a bounded record) a huge
    // value marks a damaged file, or a model the file cannot carry.  Null
    // when V is taken, else why not.
    template <typename T>
    const char* refused(const T& v) const {
        if (!finite(v)) return "not a finite number";
        if (bounded_ && !small(v)) return "beyond any stored value";
        return nullptr;
    }
    // Checking: the ordinal of the next scalar item NAME in the record.
    long ordinal(std::string_view name) {
        for (auto& [n, k] : ordinals_)
            if (n == name) return ++k;
        ordinals_.emplace_back(name, 1);
        return 1;
    }
    static bool small(float v) { return carried(v); }
    static bool small(double v) { return std::fabs(v) <= static_cast<double>(MAXREAL); }
    static bool small(const cplx& v) { return small(v.real()) && small(v.imag()); }
    // Reading and checking: every value of an integer item within LIM
    // (FIRST: number of the first element, for the message).
    template <typename T>
    void within(const T* p, std::size_t n, Lim lim, long first = 1) {
        if constexpr (std::is_integral_v<T>) {
            if (bad_ || writing()) return;
            for (std::size_t k = 0; k < n; ++k)
                if (p[k] < lim.lo || p[k] > lim.hi)
                    return fail(name_, element(first + static_cast<long>(k), n + (first > 1 ? 2 : 0)) +
                                           std::to_string(p[k]) + " outside " + std::to_string(lim.lo) + " .. " +
                                           std::to_string(lim.hi));
        }
    }
    // "element k, " for an array of more than one element.
    static std::string element(long k, std::size_t n) {
        return n > 1 ? "element " + std::to_string(k) + ", " : std::string();
    }
    static bool finite(float v) { return std::isfinite(v); }
    static bool finite(double v) { return std::isfinite(v); }
    static bool finite(const cplx& v) { return std::isfinite(v.real()) && std::isfinite(v.imag()); }
    template <int R>
    static std::array<long, R> ones() {
        std::array<long, R> o;
        o.fill(1);
        return o;
    }
    // Number of elements of the extents; -1 when an extent is negative or
    // the product is beyond any sane record.
    template <std::size_t R>
    static long count(const std::array<long, R>& ext) {
        long n = 1;
        for (long e : ext) {
            if (e < 0 || e > MAXELEMS) return -1;
            if (e == 0) return 0;
            if (n > MAXELEMS / e) return -1;
            n *= e;
        }
        return n;
    }

    Dir dir_;
    int unit_;
    bool bad_ = false;
    bool stopped_ = false;       // checking: walk ended before a table not made
    bool passed_ = false;        // checking: an array passed over, not there at its extents
    std::string id_;
    std::string_view name_;      // item being handled
    std::string item_, why_;     // the failure
    long at_ = 0;                // checking: where the item failed
    long first_ = 1, per_ = 1;   // index of the item's first element, elements an index
    std::size_t bytes_ = 0;      // checking: bytes of the record's items
    std::vector<std::pair<std::string_view, long>> ordinals_;  // checking: scalars of the record
    bool bounded_ = true;
    ufmt::RecWriter w_;
    ufmt::RecReader r_;
};

// The record groups of the file, in file order.  Each works on the shared
// run data (model, configuration, symmetry and panel tables) and leaves the
// Pass failed on the first problem.

// Record 1: the version and the two values that follow it.
void lay_version(Pass& p, float& ver);
// Records 2 to 7 and, in a higher-order file, 8 to 12.
void lay_header(Pass& p);
// Reading: the counts and switches of the header within their ranges and
// consistent with each other; a failed pass when not.
void header_sane(Pass& p);
// Higher-order file: symmetry indices, patch counts, geometry kinds and
// data-line counts of the bodies (G1 to G4).
void lay_gxcounts(Pass& p);
// One record holding one text of len characters (data lines, kernel lines,
// run-summary lines).
void lay_line(Pass& p, std::string_view id, std::string& s, int len);
// One record holding one integer (the kernel line count).
void lay_count(Pass& p, std::string_view id, int& n);
// The body tables B1 to B24 and the low-order or higher-order tables.
void lay_bulk(Pass& p);

// The records of one period, in file order: what they hold and how many
// complex values.
enum class PerKind { RAD, RADSRC, RADVEL, DIF, DIFSRC, DIFVEL };
struct PerRec {
    PerKind kind;
    long n;
};
std::vector<PerRec> period_layout(int IPFL);
// The records that one call of the scratch writer appends (NBETAM headings).
std::vector<PerRec> scratch_layout(int N, int M, int IRAD, int IDIFF, int ISRC, int IPFL);

// Largest panel-flag index of the bodies of the run (IRR(1..NBODY)); it
// decides whether the panel-flag record is present.
int irr_max();

// The irregular-frequency index of each body of a higher-order file, from
// its patch tables (a higher-order file holds no IRR record): 3 when the
// body owns patches after the last body patch (the interior free surface
// the program builds), 1 when one of its own patches is an interior
// free-surface patch, else 0.  Sets IRR(1..NBODY); false when IRR cannot
// be sized.  A body given IRR = 1 without a lid patch, or IRR = 3 without a
// waterline, solves as IRR = 0 and is found so.
bool irr_from_patches();

}  // namespace zorva::p2f
