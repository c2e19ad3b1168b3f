#include "common/freeread.hpp"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <limits>
#include <vector>

#include "common/channels.hpp"
#include "common/messages.hpp"
#include "common/textline.hpp"

namespace zorva::fread {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool ends_value(char c) { return is_blank(c) || c == ',' || c == '/'; }

// Next record of the input: 0, -1 at end of file, 1 on a read error.
using RecordSource = std::function<int(std::string&)>;

// One element of the flattened item list.
struct Slot {
    const Item* item;
    int index;  // 0-based element of an array item
};

// Integer constant: optional sign, digits, nothing else.
bool parse_int(std::string_view s, int& out) {
    std::size_t i = 0;
    bool neg = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) neg = s[i++] == '-';
    if (i == s.size()) return false;
    long long v = 0;
    for (; i < s.size(); ++i) {
        if (!is_digit(s[i])) return false;
        v = v * 10 + (s[i] - '0');
        if (v > 2147483648LL) return false;
    }
    if (neg) v = -v;
    if (v > std::numeric_limits<int>::max() || v < std::numeric_limits<int>::min()) return false;
    out = static_cast<int>(v);
    return true;
}

// Real constant in any form a Fortran numeric input field takes: optional
// sign, digits with an optional decimal point (at least one digit), and an
// optional exponent written with E, D or Q and an optional sign, or as a
// bare sign (1.5+3).  The text is rewritten in C form for conversion.
// Values out of range of the target type are refused, as are NaN and
// infinities.
template <typename T>
bool parse_real(std::string_view s, T& out) {
    std::string c;
    std::size_t i = 0;
    bool neg = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) neg = s[i++] == '-';
    if (neg) c += '-';
    int mant_digits = 0;
    while (i < s.size() && is_digit(s[i])) c += s[i++], ++mant_digits;
    if (i < s.size() && s[i] == '.') {
        c += s[i++];
        while (i < s.size() && is_digit(s[i])) c += s[i++], ++mant_digits;
    }
    if (mant_digits == 0) return false;
    if (i < s.size()) {
        char e = s[i];
        if (e == 'E' || e == 'e' || e == 'D' || e == 'd' || e == 'Q' || e == 'q') {
            ++i;
        } else if (e != '+' && e != '-') {
            return false;
        }
        c += 'e';
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) c += s[i++];
        int exp_digits = 0;
        while (i < s.size() && is_digit(s[i])) c += s[i++], ++exp_digits;
        if (exp_digits == 0 || i != s.size()) return false;
    }
    T v{};
    auto r = std::from_chars(c.data(), c.data() + c.size(), v);
    if (r.ptr != c.data() + c.size()) return false;
    if (r.ec == std::errc::result_out_of_range) {
        // Underflow gives the nearest representable value (zero or a
        // denormal); overflow is an error.
        if constexpr (std::is_same_v<T, float>)
            v = std::strtof(c.c_str(), nullptr);
        else
            v = std::strtod(c.c_str(), nullptr);
    } else if (r.ec != std::errc()) {
        return false;
    }
    if (!std::isfinite(v)) return false;
    out = v;
    return true;
}

class Reader {
public:
    // The items are not flattened into one slot per value: a count read
    // from a damaged file may be huge, and the slot of the next value is
    // found by walking the items instead.
    Reader(RecordSource src, std::span<const Item> items, Taken* taken = nullptr)
        : src_(std::move(src)), items_(items), taken_(taken) {
        for (const Item& it : items_) total_ += it.kind == Item::Kind::Text ? 1 : std::max(it.n, 0);
        if (taken_) {
            taken_->records.clear();
            taken_->rest.clear();
        }
    }

    int run(int* nvals) {
        int s = src_(line_);
        if (s == 0) s = scan();
        if (nvals) *nvals = static_cast<int>(filled_);
        if (s == 0 && taken_) taken_->rest = line_.substr(std::min(pos_, line_.size()));
        return s;
    }

private:
    // Fetch the next record: 0, -1, 1.
    int next_record() {
        pos_ = 0;
        ++record_;
        return src_(line_);
    }

    // The record being read gives a value or a null.
    void note() {
        if (!taken_ || noted_ == record_) return;
        taken_->records.push_back(line_);
        noted_ = record_;
    }

    // Store a value text (quoted or plain) in the next slot: 0 or 1.
    int assign(const Slot& sl, std::string_view v, bool quoted) {
        const Item& it = *sl.item;
        switch (it.kind) {
        case Item::Kind::Int: {
            int x;
            if (quoted || !parse_int(v, x)) return 1;
            static_cast<int*>(it.p)[sl.index] = x;
            break;
        }
        case Item::Kind::Real: {
            float x;
            if (quoted || !parse_real(v, x)) return 1;
            static_cast<float*>(it.p)[sl.index] = x;
            break;
        }
        case Item::Kind::Double: {
            double x;
            if (quoted || !parse_real(v, x)) return 1;
            static_cast<double*>(it.p)[sl.index] = x;
            break;
        }
        case Item::Kind::Text: {
            std::string t(v.substr(0, static_cast<std::size_t>(std::max(it.len, 0))));
            std::size_t e = t.find_last_not_of(' ');
            t.resize(e == std::string::npos ? 0 : e + 1);
            *static_cast<std::string*>(it.p) = std::move(t);
            break;
        }
        }
        return 0;
    }

    // Read a quoted text starting at pos_ (the delimiter); it may go on over
    // further records.  A doubled delimiter stands for one.  0, -1, 1.
    int quoted(std::string& out) {
        char q = line_[pos_++];
        for (;;) {
            while (pos_ < line_.size()) {
                char c = line_[pos_++];
                if (c == q) {
                    if (pos_ < line_.size() && line_[pos_] == q) {
                        out += q;
                        ++pos_;
                        continue;
                    }
                    // The text must be followed by a separator.
                    if (pos_ < line_.size() && !ends_value(line_[pos_])) return 1;
                    return 0;
                }
                out += c;
            }
            int s = next_record();
            if (s != 0) return s;
        }
    }

    // The slot of value number `filled_` (0-based); the items are walked
    // forward from the last lookup, values being filled in order.
    Slot slot() {
        while (cur_ < items_.size()) {
            const Item& it = items_[cur_];
            const long n = it.kind == Item::Kind::Text ? 1 : std::max(it.n, 0);
            if (filled_ - base_ < n) return {&it, static_cast<int>(filled_ - base_)};
            base_ += n;
            ++cur_;
        }
        return {nullptr, 0};
    }

    int scan() {
        const std::size_t total = static_cast<std::size_t>(total_);
        if (total == 0) return 0;  // an empty group passes over one record
        bool expect_value = true;  // no value since the start or the last comma
        for (;;) {
            // Skip blanks, going on to the next record while values are missing.
            while (pos_ < line_.size() && is_blank(line_[pos_])) ++pos_;
            if (pos_ >= line_.size()) {
                int s = next_record();
                if (s != 0) return s;
                continue;
            }
            char c = line_[pos_];
            if (c == '/') return 0;
            if (c == ',') {
                ++pos_;
                if (expect_value) {  // null value: the item keeps its value
                    note();
                    ++filled_;
                }
                expect_value = true;
                if (static_cast<std::size_t>(filled_) >= total) return 0;
                continue;
            }
            expect_value = false;
            // A repeat count r* ahead of the value?
            long repeat = 1;
            std::size_t j = pos_;
            while (j < line_.size() && is_digit(line_[j])) ++j;
            if (j > pos_ && j < line_.size() && line_[j] == '*') {
                std::string_view r(line_.data() + pos_, j - pos_);
                repeat = 0;
                for (char d : r) {
                    repeat = repeat * 10 + (d - '0');
                    if (repeat > 1000000000L) return 1;
                }
                if (repeat == 0) return 1;
                pos_ = j + 1;
                if (pos_ >= line_.size() || ends_value(line_[pos_])) {
                    // r* alone: r null values.
                    note();
                    filled_ = std::min<long>(static_cast<long>(total), filled_ + repeat);
                    if (static_cast<std::size_t>(filled_) >= total) return 0;
                    continue;
                }
            }
            std::string value;
            bool q = line_[pos_] == '\'' || line_[pos_] == '"';
            if (q) {
                int s = quoted(value);
                if (s != 0) return s;
            } else {
                std::size_t b = pos_;
                while (pos_ < line_.size() && !ends_value(line_[pos_])) ++pos_;
                value.assign(line_, b, pos_ - b);
            }
            for (long k = 0; k < repeat && static_cast<std::size_t>(filled_) < total; ++k) {
                if (assign(slot(), value, q) != 0) {
                    note();  // the record of the bad value
                    return 1;
                }
                note();
                ++filled_;
            }
            if (static_cast<std::size_t>(filled_) >= total) return 0;
        }
    }

    RecordSource src_;
    std::span<const Item> items_;
    Taken* taken_ = nullptr;
    long record_ = 0;    // the record being read, counted from 0
    long noted_ = -1;    // the last record noted in taken_
    long total_ = 0;     // values of all items
    std::size_t cur_ = 0;  // item of the last slot lookup
    long base_ = 0;      // values of the items before cur_
    std::string line_;
    std::size_t pos_ = 0;
    long filled_ = 0;
};

}  // namespace

int read_line(int unit, std::string& line) {
    const int st = chan::read_line(unit, line);
    if (st == 1 && chan::line_too_long(unit)) {
        const std::string& name = chan::name(unit);
        ERRMSG("Error: line longer than " + std::to_string(text::MAXLINE) + " characters in " +
                   (name.empty() ? std::string("keyboard input") : "file " + name),
               0);
    }
    return st;
}

int read_group(int unit, std::span<const Item> items, int* nvals) {
    Reader r([unit](std::string& line) { return read_line(unit, line); }, items);
    return r.run(nvals);
}

int read_group(int unit, std::span<const Item> items, Taken& taken) {
    Reader r([unit](std::string& line) { return read_line(unit, line); }, items, &taken);
    return r.run(nullptr);
}

int parse_group(std::string_view text, std::span<const Item> items, int* nvals) {
    // Each line of the text is one record.
    std::size_t at = 0;
    bool done = false;
    Reader r(
        [&](std::string& line) {
            if (done) return -1;
            std::size_t e = text.find('\n', at);
            if (e == std::string_view::npos) {
                line.assign(text.substr(at));
                done = true;
            } else {
                line.assign(text.substr(at, e - at));
                at = e + 1;
            }
            return 0;
        },
        items);
    return r.run(nvals);
}

long long count_numbers(std::string_view record) {
    long long n = 0;
    std::size_t pos = 0;
    for (;;) {
        while (pos < record.size() && (is_blank(record[pos]) || record[pos] == ',')) ++pos;
        if (pos >= record.size() || record[pos] == '/') return n;
        const std::size_t b = pos;
        while (pos < record.size() && !ends_value(record[pos])) ++pos;
        std::string_view value = record.substr(b, pos - b);
        // A repeat count r* ahead of the value; r* alone gives null values.
        long long repeat = 1;
        const std::size_t star = value.find('*');
        if (star != std::string_view::npos) {
            int r = 0;
            if (star == 0 || !parse_int(value.substr(0, star), r) || r < 1 || r > 1000000000 ||
                value[0] == '+' || value[0] == '-')
                return n;
            repeat = r;
            value.remove_prefix(star + 1);
            if (value.empty()) continue;
        }
        double x;
        if (!parse_real(value, x)) return n;
        n += repeat;
    }
}

int read_text(int unit, std::string& s, int len) {
    std::string line;
    int st = read_line(unit, line);
    if (st != 0) return st;
    line.resize(std::min(line.size(), static_cast<std::size_t>(std::max(len, 0))));
    std::size_t e = line.find_last_not_of(' ');
    line.resize(e == std::string::npos ? 0 : e + 1);
    s = std::move(line);
    return 0;
}

int read_fname(int unit, std::string& name) {
    std::string line;
    int st = read_line(unit, line);
    if (st != 0) return st;
    line.resize(std::min<std::size_t>(line.size(), 20));
    std::size_t b = 0;
    while (b < line.size() && is_blank(line[b])) ++b;
    std::size_t e = b;
    while (e < line.size() && !is_blank(line[e])) ++e;
    name = line.substr(b, e - b);
    return 0;
}

}  // namespace zorva::fread
