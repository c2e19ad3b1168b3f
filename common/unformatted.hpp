// Typed access to unformatted sequential records (the .p2f file and the
// scratch files): a record is built with RecWriter and written whole; a
// record read with RecReader is taken apart in the same order.  Numbers are
// stored little-endian as they are in memory (32-bit integers and reals,
// complex values as two reals, real part first); texts blank-padded.
#pragma once

#include <complex>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace zorva::ufmt {

class RecWriter {
public:
    template <typename T>
    RecWriter& put(const T& v) {
        static_assert(std::is_trivially_copyable_v<T>);
        return put(&v, 1);
    }
    template <typename T>
    RecWriter& put(const T* p, std::size_t n) {
        static_assert(std::is_trivially_copyable_v<T>);
        const char* c = reinterpret_cast<const char*>(p);
        buf_.insert(buf_.end(), c, c + n * sizeof(T));
        return *this;
    }
    // A text of exactly len characters (cut or blank-padded).
    RecWriter& put_text(std::string_view s, std::size_t len);
    // Write the record to UNIT and start a new one; status 0 or 1.
    int write(int unit);
    void clear() { buf_.clear(); }
    const std::vector<char>& bytes() const { return buf_; }

private:
    std::vector<char> buf_;
};

class RecReader {
public:
    // Read the next record of UNIT: 0, -1 at end of file, 1 broken record.
    int read(int unit);
    // Take values in order; false (and ok() false) when the record is too
    // short, the value then being left as it was.
    template <typename T>
    bool get(T& v) {
        return get(&v, 1);
    }
    template <typename T>
    bool get(T* p, std::size_t n) {
        static_assert(std::is_trivially_copyable_v<T>);
        std::size_t bytes = n * sizeof(T);
        if (n > buf_.size() || bytes > buf_.size() - pos_) {
            ok_ = false;
            return false;
        }
        if (bytes) std::memcpy(static_cast<void*>(p), buf_.data() + pos_, bytes);
        pos_ += bytes;
        return true;
    }
    bool get_text(std::string& s, std::size_t len);  // trailing blanks removed
    std::size_t size() const { return buf_.size(); }
    std::size_t remaining() const { return buf_.size() - pos_; }
    bool ok() const { return ok_; }

private:
    std::vector<char> buf_;
    std::size_t pos_ = 0;
    bool ok_ = true;
};

}  // namespace zorva::ufmt
