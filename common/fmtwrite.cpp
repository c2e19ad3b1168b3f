#include "common/fmtwrite.hpp"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "common/channels.hpp"

namespace zorva::fmt {
namespace {

std::string stars(int w) { return std::string(static_cast<std::size_t>(std::max(w, 0)), '*'); }

// |v| rounded to n >= 1 significant digits (to nearest, ties to even, on the
// exact binary value): v ~ 0.D1D2..Dn x 10^X.  Zero gives n zeros and X = 0.
void sig_digits(double a, int n, std::string& digs, int& X) {
    std::vector<char> buf(static_cast<std::size_t>(n) + 32);
    std::snprintf(buf.data(), buf.size(), "%.*e", n - 1, std::fabs(a));
    // d.ddde+XX
    digs.clear();
    const char* p = buf.data();
    for (; *p && *p != 'e'; ++p)
        if (*p != '.') digs += *p;
    X = (a == 0) ? 0 : std::atoi(p + 1) + 1;
}

// |v| with d >= 0 decimals: integer part and fraction digits.
void fixed_digits(double a, int d, std::string& ip, std::string& fp) {
    int need = std::snprintf(nullptr, 0, "%.*f", d, std::fabs(a));
    std::vector<char> buf(static_cast<std::size_t>(need) + 1);
    std::snprintf(buf.data(), buf.size(), "%.*f", d, std::fabs(a));
    std::string s(buf.data());
    std::size_t dot = s.find('.');
    ip = s.substr(0, dot);
    fp = dot == std::string::npos ? std::string() : s.substr(dot + 1);
}

// |v| x 10^k rounded to d decimals (d + k < 0: rounding to a power of ten
// above the units, done on the exact decimal expansion).
void scaled_fixed(double a, int d, int k, std::string& ip, std::string& fp) {
    a = std::fabs(a);
    if (d + k >= 0) {
        fixed_digits(a, d + k, ip, fp);
        if (k > 0) {
            ip += fp.substr(0, static_cast<std::size_t>(k));
            fp.erase(0, static_cast<std::size_t>(k));
        } else if (k < 0) {
            std::size_t m = static_cast<std::size_t>(-k);
            if (ip.size() < m) ip.insert(0, m - ip.size(), '0');
            fp.insert(0, ip.substr(ip.size() - m));
            ip.erase(ip.size() - m);
        }
    } else {
        // Exact integer part (a double's integer part has an exact decimal
        // expansion), rounded at digit position p = -(d + k) from the right.
        std::string exact;
        {
            int need = std::snprintf(nullptr, 0, "%.1100f", a);
            std::vector<char> buf(static_cast<std::size_t>(need) + 1);
            std::snprintf(buf.data(), buf.size(), "%.1100f", a);
            exact = buf.data();
        }
        std::size_t dot = exact.find('.');
        std::string whole = exact.substr(0, dot), frac = exact.substr(dot + 1);
        std::size_t p = static_cast<std::size_t>(-(d + k));
        if (whole.size() < p + 1) whole.insert(0, p + 1 - whole.size(), '0');
        std::string keep = whole.substr(0, whole.size() - p);
        std::string drop = whole.substr(whole.size() - p) + frac;
        // Round half to even.
        bool up = false;
        if (drop[0] > '5') {
            up = true;
        } else if (drop[0] == '5') {
            up = drop.find_first_not_of('0', 1) != std::string::npos || ((keep.back() - '0') % 2 == 1);
        }
        if (up) {
            int i = static_cast<int>(keep.size()) - 1;
            while (i >= 0 && keep[static_cast<std::size_t>(i)] == '9') keep[static_cast<std::size_t>(i--)] = '0';
            if (i < 0)
                keep.insert(0, "1");
            else
                ++keep[static_cast<std::size_t>(i)];
        }
        // keep x 10^p x 10^k = keep x 10^(-d): d decimals.
        std::size_t dd = static_cast<std::size_t>(d);
        if (keep.size() < dd + 1) keep.insert(0, dd + 1 - keep.size(), '0');
        ip = keep.substr(0, keep.size() - dd);
        fp = keep.substr(keep.size() - dd);
    }
    std::size_t nz = ip.find_first_not_of('0');
    ip = nz == std::string::npos ? std::string() : ip.substr(nz);
}

// Infinity and NaN in w columns.
std::string special(double v, int w) {
    std::string s;
    if (std::isnan(v)) {
        s = "NaN";
    } else {
        bool neg = std::signbit(v);
        if (w == 0 || w >= (neg ? 9 : 8))
            s = "Infinity";
        else
            s = "Inf";
        if (neg) s = std::string(1, '-') + s;
    }
    if (w == 0) return s;
    if (static_cast<int>(s.size()) > w) return stars(w);
    return rjust(s, w);
}

// Sign, integer digits (without leading zeros) and the rest of a numeric
// field ("." fraction exponent) put together in w columns: the leading zero
// of a magnitude below one is written when there is room for it.
std::string assemble(bool neg, const std::string& ip, const std::string& rest, int w) {
    std::string body = (neg ? "-" : "") + ip + rest;
    if (ip.empty()) {
        std::string with0 = (neg ? "-" : "") + std::string("0") + rest;
        if (w > 0 && static_cast<int>(with0.size()) <= w) body = with0;
    }
    if (w == 0) return body;
    if (static_cast<int>(body.size()) > w) return stars(w);
    return rjust(body, w);
}

// Exponent part of an E or ES field; false when it does not fit.  e = 0:
// the Ew.d form (E+dd, and +ddd without the letter beyond 99).
bool exponent(int x, int e, std::string& out) {
    char sign = x < 0 ? '-' : '+';
    int ax = std::abs(x);
    char buf[32];
    if (e <= 0) {
        if (ax <= 99)
            std::snprintf(buf, sizeof buf, "E%c%02d", sign, ax);
        else if (ax <= 999)
            std::snprintf(buf, sizeof buf, "%c%03d", sign, ax);
        else
            return false;
    } else {
        long lim = 1;
        for (int i = 0; i < e && lim <= 1000000000L; ++i) lim *= 10;
        if (ax >= lim) return false;
        std::string t = std::to_string(ax);
        out = std::string("E") + sign + std::string(static_cast<std::size_t>(e) - t.size(), '0') + t;
        return true;
    }
    out = buf;
    return true;
}

std::string e_field(double v, int w, int d, int e, int k) {
    if (!std::isfinite(v)) return special(v, w);
    if (d < 0 || w <= 0) throw std::invalid_argument("E field needs w > 0, d >= 0");
    if (k <= -d || k > d + 1) throw std::invalid_argument("scale factor out of range for E field");
    // Significant digits shown: d + k with k <= 0 (zeros after the point),
    // d + 1 with k > 0 (k digits before the point).
    int n = k <= 0 ? d + k : d + 1;
    std::string digs;
    int X;
    sig_digits(v, n, digs, X);
    if (v == 0) X = k;  // zero has the exponent 0
    std::string ex;
    if (!exponent(X - k, e, ex)) return stars(w);
    std::string ip, rest;
    if (k <= 0) {
        rest = "." + std::string(static_cast<std::size_t>(-k), '0') + digs + ex;
    } else {
        ip = digs.substr(0, static_cast<std::size_t>(k));
        rest = "." + digs.substr(static_cast<std::size_t>(k)) + ex;
    }
    return assemble(std::signbit(v), ip, rest, w);
}

std::string es_field(double v, int w, int d, int e) {
    if (!std::isfinite(v)) return special(v, w);
    if (d < 0 || w <= 0) throw std::invalid_argument("ES field needs w > 0, d >= 0");
    std::string digs;
    int X;
    sig_digits(v, d + 1, digs, X);
    if (v == 0) X = 1;
    std::string ex;
    if (!exponent(X - 1, e, ex)) return stars(w);
    std::string body;
    if (std::signbit(v)) body += '-';
    body += digs[0];
    body += '.';
    body.append(digs, 1);
    body += ex;
    if (static_cast<int>(body.size()) > w) return stars(w);
    return rjust(body, w);
}

std::string f_field(double v, int w, int d, int k) {
    if (!std::isfinite(v)) return special(v, w);
    if (d < 0 || w < 0) throw std::invalid_argument("F field needs w >= 0, d >= 0");
    std::string ip, fp;
    scaled_fixed(v, d, k, ip, fp);
    if (ip.empty() && fp.empty()) ip = "0";  // at least one digit
    return assemble(std::signbit(v), ip, "." + fp, w);
}

// 10^n in the value's own precision, built as the run-time library of a
// Fortran compiler builds it (so that the choice of form below agrees with
// it on the boundaries).
template <typename T>
T power10(int n) {
    T r = 1;
    for (int i = 0; i < std::abs(n); ++i) r *= 10;
    return n >= 0 ? r : T(1) / r;
}

// Gw.d: F editing in w - n columns followed by n blanks when the magnitude
// rounds into [0.1, 10^d), else Ew.d (n = 4, or e + 2 with Ee).  The range
// test is made in the value's own precision.
template <typename T>
std::string g_field(T v, int w, int d, int e, int k) {
    const double dv = static_cast<double>(v);
    if (!std::isfinite(v)) return special(dv, w);
    if (d <= 0 || w <= 0) return e_field(dv, w, d, e, k);
    volatile T m = std::fabs(v);
    const T half = T(0.5);
    const T exp_d = power10<T>(d);
    const T r_sc = T(1) - half / exp_d;
    volatile T temp = T(0.1) * r_sc;
    volatile T room = exp_d - m;
    if (m > 0 && (m < temp || half >= room)) return e_field(dv, w, d, e, k);
    // Smallest s with m < 10^s (1 - 0.5 10^-d), by the same bisection.
    int mid = 0, low = 0, high = d + 1, lbound = 0, ubound = d + 1;
    while (low <= high) {
        mid = (low + high) / 2;
        temp = power10<T>(mid - 1) * r_sc;
        if (m < temp) {
            ubound = mid;
            if (ubound == lbound + 1) break;
            high = mid - 1;
        } else if (m > temp) {
            lbound = mid;
            if (ubound == lbound + 1) {
                ++mid;
                break;
            }
            low = mid + 1;
        } else {
            ++mid;
            break;
        }
    }
    int n = e > 0 ? e + 2 : 4;
    if (n >= w) n = w - 1;
    int fd = m == 0 ? d - 1 : d + 1 - mid;
    return f_field(dv, w - n, fd, 0) + std::string(static_cast<std::size_t>(n), ' ');
}

}  // namespace

std::string I(long v, int w, int m) {
    unsigned long a = v < 0 ? 0UL - static_cast<unsigned long>(v) : static_cast<unsigned long>(v);
    std::string digs = (m == 0 && v == 0) ? std::string() : std::to_string(a);
    if (m > 0 && static_cast<int>(digs.size()) < m) digs.insert(0, static_cast<std::size_t>(m) - digs.size(), '0');
    if (v < 0) digs = std::string(1, '-') + digs;
    if (w <= 0) return digs;
    if (static_cast<int>(digs.size()) > w) return stars(w);
    return rjust(digs, w);
}

std::string F(float v, int w, int d) { return f_field(static_cast<double>(v), w, d, 0); }
std::string F(double v, int w, int d) { return f_field(v, w, d, 0); }
std::string E(float v, int w, int d, int e, int scale) { return e_field(static_cast<double>(v), w, d, e, scale); }
std::string E(double v, int w, int d, int e, int scale) { return e_field(v, w, d, e, scale); }
std::string ES(float v, int w, int d, int e) { return es_field(static_cast<double>(v), w, d, e); }
std::string ES(double v, int w, int d, int e) { return es_field(v, w, d, e); }

std::string num(float v, int digits) {
    char buf[64];
    const std::to_chars_result r = digits > 0 ? std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, digits)
                                              : std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

std::string A(std::string_view s, int w) {
    if (w < 0) return std::string(s);
    if (static_cast<int>(s.size()) >= w) return std::string(s.substr(0, static_cast<std::size_t>(w)));
    return rjust(s, w);
}

std::string X(int n) { return std::string(static_cast<std::size_t>(std::max(n, 0)), ' '); }

std::string rjust(std::string_view s, int w) {
    std::string out;
    if (static_cast<int>(s.size()) < w) out.assign(static_cast<std::size_t>(w) - s.size(), ' ');
    out += s;
    return out;
}

std::string ljust(std::string_view s, int w) {
    std::string out(s);
    if (static_cast<int>(out.size()) < w) out.append(static_cast<std::size_t>(w) - out.size(), ' ');
    return out;
}

// ---------------------------------------------------------------------------
// FORMAT interpreter

namespace {

struct Node {
    enum class Kind { I, F, E, ES, G, A, X, T, TL, TR, Slash, Colon, P, Lit, Group };
    Kind kind;
    int repeat = 1;
    int w = -1, d = 0, e = 0;  // field sizes (I: d is m, -1 for none); X/T/TL/TR/P: w is n
    std::string text;          // literal
    std::vector<Node> kids;    // group
};

[[noreturn]] void bad(std::string_view fmt, std::size_t at, const char* why) {
    throw std::invalid_argument("FORMAT " + std::string(fmt) + ": " + why + " at column " + std::to_string(at + 1));
}

class Parser {
public:
    explicit Parser(std::string_view f) : f_(f) {}

    std::vector<Node> parse() {
        skip();
        if (i_ >= f_.size() || f_[i_] != '(') bad(f_, i_, "expected (");
        ++i_;
        std::vector<Node> list = parse_list();
        skip();
        if (i_ != f_.size()) bad(f_, i_, "text after the closing )");
        return list;
    }

private:
    void skip() {
        while (i_ < f_.size() && (f_[i_] == ' ' || f_[i_] == '\t')) ++i_;
    }
    char peek() {
        skip();
        return i_ < f_.size() ? static_cast<char>(std::toupper(static_cast<unsigned char>(f_[i_]))) : '\0';
    }
    bool digit() {
        skip();
        return i_ < f_.size() && f_[i_] >= '0' && f_[i_] <= '9';
    }
    int number() {
        skip();
        if (!digit()) bad(f_, i_, "expected a number");
        long v = 0;
        while (i_ < f_.size() && ((f_[i_] >= '0' && f_[i_] <= '9') || f_[i_] == ' ')) {
            if (f_[i_] != ' ') v = v * 10 + (f_[i_] - '0');
            if (v > 100000000L) bad(f_, i_, "number too large");
            ++i_;
        }
        return static_cast<int>(v);
    }

    std::vector<Node> parse_list() {
        std::vector<Node> list;
        for (;;) {
            char c = peek();
            if (c == '\0') bad(f_, i_, "missing )");
            if (c == ',') {
                ++i_;
                continue;
            }
            if (c == ')') {
                ++i_;
                return list;
            }
            // Optional (signed) number: a repeat count or a scale factor.
            bool has_num = false, neg = false;
            int num = 1;
            if (c == '+' || c == '-') {
                neg = c == '-';
                ++i_;
                num = number();
                has_num = true;
                if (peek() != 'P') bad(f_, i_, "a sign belongs to a scale factor");
            } else if (digit()) {
                num = number();
                has_num = true;
            }
            c = peek();
            Node n{};
            n.repeat = num;
            if (c == 'P') {
                if (!has_num) bad(f_, i_, "P needs a scale factor");
                ++i_;
                n.kind = Node::Kind::P;
                n.w = neg ? -num : num;
                n.repeat = 1;
                list.push_back(n);
                continue;
            }
            if (has_num && num == 0) bad(f_, i_, "repeat count 0");
            if (c == '(') {
                ++i_;
                n.kind = Node::Kind::Group;
                n.kids = parse_list();
                list.push_back(std::move(n));
                continue;
            }
            if (c == '\'' || c == '"') {
                if (has_num) bad(f_, i_, "repeat count before a literal");
                n.kind = Node::Kind::Lit;
                char q = f_[i_++];
                for (;;) {
                    if (i_ >= f_.size()) bad(f_, i_, "unterminated literal");
                    char ch = f_[i_++];
                    if (ch == q) {
                        if (i_ < f_.size() && f_[i_] == q) {
                            n.text += q;
                            ++i_;
                            continue;
                        }
                        break;
                    }
                    n.text += ch;
                }
                list.push_back(std::move(n));
                continue;
            }
            ++i_;
            switch (c) {
            case '/':
                n.kind = Node::Kind::Slash;
                break;
            case ':':
                if (has_num) bad(f_, i_ - 1, "repeat count before :");
                n.kind = Node::Kind::Colon;
                break;
            case 'X':
                n.kind = Node::Kind::X;
                n.w = num;
                n.repeat = 1;
                break;
            case 'T': {
                if (has_num) bad(f_, i_ - 1, "repeat count before T");
                char t = peek();
                if (t == 'L' || t == 'R') {
                    ++i_;
                    n.kind = t == 'L' ? Node::Kind::TL : Node::Kind::TR;
                } else {
                    n.kind = Node::Kind::T;
                }
                n.w = number();
                break;
            }
            case 'I':
                n.kind = Node::Kind::I;
                n.w = number();
                n.d = -1;
                if (peek() == '.') {
                    ++i_;
                    n.d = number();
                }
                break;
            case 'F':
                n.kind = Node::Kind::F;
                n.w = number();
                if (peek() != '.') bad(f_, i_, "F needs w.d");
                ++i_;
                n.d = number();
                break;
            case 'E':
            case 'G':
                n.kind = c == 'G' ? Node::Kind::G : Node::Kind::E;
                if (c == 'E' && peek() == 'S') {
                    ++i_;
                    n.kind = Node::Kind::ES;
                }
                n.w = number();
                if (peek() != '.') bad(f_, i_, "E, ES and G need w.d");
                ++i_;
                n.d = number();
                if (peek() == 'E') {
                    ++i_;
                    n.e = number();
                    if (n.e == 0) bad(f_, i_, "exponent width 0");
                }
                break;
            case 'A':
                n.kind = Node::Kind::A;
                n.w = digit() ? number() : -1;
                break;
            default:
                bad(f_, i_ - 1, "unknown edit descriptor");
            }
            list.push_back(std::move(n));
        }
    }

    std::string_view f_;
    std::size_t i_ = 0;
};

// One element of the output list.
struct Elem {
    enum class Kind { Int, Float, Double, Text } kind;
    long i = 0;
    double r = 0;
    std::string_view s;
};

std::vector<Elem> flatten(std::span<const Arg> args) {
    std::vector<Elem> out;
    auto real = [&](float v) { out.push_back({Elem::Kind::Float, 0, static_cast<double>(v), {}}); };
    for (const Arg& a : args) {
        std::visit(
            [&](const auto& v) {
                using T = std::decay_t<decltype(v)>;
                if constexpr (std::is_same_v<T, int> || std::is_same_v<T, long>) {
                    out.push_back({Elem::Kind::Int, static_cast<long>(v), 0, {}});
                } else if constexpr (std::is_same_v<T, float>) {
                    real(v);
                } else if constexpr (std::is_same_v<T, double>) {
                    out.push_back({Elem::Kind::Double, 0, v, {}});
                } else if constexpr (std::is_same_v<T, std::complex<float>>) {
                    real(v.real());
                    real(v.imag());
                } else if constexpr (std::is_same_v<T, std::string_view>) {
                    out.push_back({Elem::Kind::Text, 0, 0, v});
                } else if constexpr (std::is_same_v<T, std::span<const int>>) {
                    for (int x : v) out.push_back({Elem::Kind::Int, x, 0, {}});
                } else if constexpr (std::is_same_v<T, std::span<const float>>) {
                    for (float x : v) real(x);
                } else if constexpr (std::is_same_v<T, std::span<const double>>) {
                    for (double x : v) out.push_back({Elem::Kind::Double, 0, x, {}});
                } else {
                    for (const std::complex<float>& x : v) {
                        real(x.real());
                        real(x.imag());
                    }
                }
            },
            a);
    }
    return out;
}

class Writer {
public:
    Writer(std::string_view fmt, std::vector<Elem> elems) : fmt_(fmt), el_(std::move(elems)) {}

    std::vector<std::string> run(const std::vector<Node>& top) {
        // The group where the format starts again when the list outlasts it:
        // the rightmost group at the top level, or the whole format.
        std::size_t rev = 0;
        for (std::size_t j = 0; j < top.size(); ++j)
            if (top[j].kind == Node::Kind::Group) rev = j;
        std::size_t from = 0;
        for (;;) {
            std::size_t before = next_;
            if (!run_list(top, from)) break;
            if (next_ >= el_.size()) break;
            if (next_ == before) bad(fmt_, 0, "no edit descriptor for the values");
            end_record();
            from = rev;
        }
        end_record();
        return std::move(recs_);
    }

private:
    // False when the output list is exhausted at a data edit descriptor or a colon.
    bool run_list(const std::vector<Node>& list, std::size_t from) {
        for (std::size_t j = from; j < list.size(); ++j) {
            const Node& n = list[j];
            for (int r = 0; r < n.repeat; ++r)
                if (!run_node(n)) return false;
        }
        return true;
    }

    bool run_node(const Node& n) {
        using K = Node::Kind;
        switch (n.kind) {
        case K::Group:
            return run_list(n.kids, 0);
        case K::Lit:
            put(n.text);
            return true;
        case K::X:
        case K::TR:
            pos_ += static_cast<std::size_t>(n.w);
            return true;
        case K::TL:
            pos_ -= std::min(pos_, static_cast<std::size_t>(n.w));
            return true;
        case K::T:
            pos_ = n.w > 0 ? static_cast<std::size_t>(n.w - 1) : 0;
            return true;
        case K::Slash:
            end_record();
            return true;
        case K::Colon:
            return next_ < el_.size();
        case K::P:
            scale_ = n.w;
            return true;
        default:
            break;
        }
        if (next_ >= el_.size()) return false;
        const Elem& v = el_[next_++];
        bool real = v.kind == Elem::Kind::Float || v.kind == Elem::Kind::Double;
        switch (n.kind) {
        case K::I:
            if (v.kind != Elem::Kind::Int) bad(fmt_, 0, "I edit descriptor for a value that is not an integer");
            put(I(v.i, n.w, n.d));
            break;
        case K::A:
            if (v.kind != Elem::Kind::Text) bad(fmt_, 0, "A edit descriptor for a value that is not a text");
            put(A(v.s, n.w));
            break;
        case K::G:
            if (v.kind == Elem::Kind::Int)
                put(I(v.i, n.w, -1));
            else if (v.kind == Elem::Kind::Text)
                put(A(v.s, n.w));
            else if (v.kind == Elem::Kind::Float)
                put(g_field(static_cast<float>(v.r), n.w, n.d, n.e, scale_));
            else
                put(g_field(v.r, n.w, n.d, n.e, scale_));
            break;
        default:
            if (!real) bad(fmt_, 0, "F, E or ES edit descriptor for a value that is not real");
            if (n.kind == K::F)
                put(f_field(v.r, n.w, n.d, scale_));
            else if (n.kind == K::E)
                put(e_field(v.r, n.w, n.d, n.e, scale_));
            else
                put(es_field(v.r, n.w, n.d, n.e));
            break;
        }
        return true;
    }

    // Write s at the current column (a tab may have moved it back or past
    // the end of what the record holds).
    void put(std::string_view s) {
        if (rec_.size() < pos_ + s.size()) rec_.resize(pos_ + s.size(), ' ');
        rec_.replace(pos_, s.size(), s);
        pos_ += s.size();
    }

    void end_record() {
        recs_.push_back(std::move(rec_));
        rec_.clear();
        pos_ = 0;
    }

    std::string_view fmt_;
    std::vector<Elem> el_;
    std::size_t next_ = 0;
    std::string rec_;
    std::size_t pos_ = 0;
    int scale_ = 0;
    std::vector<std::string> recs_;
};

}  // namespace

std::vector<std::string> format(std::string_view fmt, std::span<const Arg> args) {
    std::vector<Node> top = Parser(fmt).parse();
    return Writer(fmt, flatten(args)).run(top);
}

std::vector<std::string> format(std::string_view fmt, std::initializer_list<Arg> args) {
    return format(fmt, std::span<const Arg>(args.begin(), args.size()));
}

int write(int unit, std::string_view fmt, std::span<const Arg> args) {
    for (const std::string& rec : format(fmt, args))
        if (chan::write_line(unit, rec) != 0) return 1;
    return 0;
}

int write(int unit, std::string_view fmt, std::initializer_list<Arg> args) {
    return write(unit, fmt, std::span<const Arg>(args.begin(), args.size()));
}

namespace {
std::string lreal(double v, bool dbl) {
    return dbl ? e_field(v, 25, 16, 0, 1) : e_field(v, 16, 8, 0, 1);
}
std::string lcplx(std::complex<float> z) {
    auto t = [](float v) {
        std::string f = e_field(static_cast<double>(v), 16, 8, 0, 1);
        return f.substr(f.find_first_not_of(' '));
    };
    return " (" + t(z.real()) + "," + t(z.imag()) + ")";
}
}  // namespace

std::string list(std::span<const Arg> args) {
    std::string out;
    for (const Arg& a : args) {
        std::visit(
            [&out](const auto& v) {
                using T = std::decay_t<decltype(v)>;
                if constexpr (std::is_same_v<T, int> || std::is_same_v<T, long>) {
                    out += I(static_cast<long>(v), 12);
                } else if constexpr (std::is_same_v<T, float>) {
                    out += lreal(static_cast<double>(v), false);
                } else if constexpr (std::is_same_v<T, double>) {
                    out += lreal(v, true);
                } else if constexpr (std::is_same_v<T, std::complex<float>>) {
                    out += lcplx(v);
                } else if constexpr (std::is_same_v<T, std::string_view>) {
                    out += " " + std::string(v);
                } else if constexpr (std::is_same_v<T, std::span<const int>>) {
                    for (int x : v) out += I(x, 12);
                } else if constexpr (std::is_same_v<T, std::span<const float>>) {
                    for (float x : v) out += lreal(static_cast<double>(x), false);
                } else if constexpr (std::is_same_v<T, std::span<const double>>) {
                    for (double x : v) out += lreal(x, true);
                } else {
                    for (std::complex<float> x : v) out += lcplx(x);
                }
            },
            a);
    }
    if (out.empty() || out[0] != ' ') out.insert(out.begin(), ' ');
    return out;
}

std::string list(std::initializer_list<Arg> args) { return list(std::span<const Arg>(args.begin(), args.size())); }

int write_list(int unit, std::initializer_list<Arg> args) {
    return chan::write_line(unit, list(std::span<const Arg>(args.begin(), args.size())));
}

}  // namespace zorva::fmt
