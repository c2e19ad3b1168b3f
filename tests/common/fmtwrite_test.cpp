// Fixed-format writer.  Every expected text here is what a Fortran
// compiler's formatted WRITE produced for the same FORMAT and values.
#include "common/fmtwrite.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/channels.hpp"
#include "tests/support/testdir.hpp"

namespace zorva {
namespace {

struct RefField {
    char kind;  // 'f' float, 'd' double, 'i' integer
    const char* desc;
    unsigned long long bits;  // value bits (integers: the value itself)
    const char* want;
};

const RefField kRef[] = {
#include "tests/common/fmt_reference.inc"
};

fmt::Arg ref_value(const RefField& r) {
    if (r.kind == 'f') return std::bit_cast<float>(static_cast<std::uint32_t>(r.bits));
    if (r.kind == 'd') return std::bit_cast<double>(static_cast<std::uint64_t>(r.bits));
    return static_cast<long>(static_cast<long long>(r.bits));
}

// Each edit descriptor through the FORMAT interpreter (E, ES, F, G, I with
// widths that fit and that overflow, scale factors, exponents past 99,
// rounding ties, negative zero, denormals).
TEST(FmtWrite, ReferenceFieldsThroughFormat) {
    for (const RefField& r : kRef) {
        std::string f = std::string("(") + r.desc + ")";
        std::vector<std::string> recs = fmt::format(f, {ref_value(r)});
        ASSERT_EQ(recs.size(), 1u) << f;
        EXPECT_EQ(recs[0], r.want) << f << " kind " << r.kind << " bits " << std::hex << r.bits;
    }
}

// The same fields through the field functions, where one maps to the
// descriptor: E[k P]w.d[Ee], ESw.d[Ee], Fw.d, Iw[.m].
TEST(FmtWrite, ReferenceFieldsThroughFieldFunctions) {
    int checked = 0;
    for (const RefField& r : kRef) {
        std::string d = r.desc, got;
        int k = 0, w = 0, dd = 0, e = 0, n = 0;
        double v = r.kind == 'f'   ? static_cast<double>(std::bit_cast<float>(static_cast<std::uint32_t>(r.bits)))
                   : r.kind == 'd' ? std::bit_cast<double>(static_cast<std::uint64_t>(r.bits))
                                   : 0.0;
        auto E = [&](int kk) {
            return r.kind == 'f' ? fmt::E(static_cast<float>(v), w, dd, e, kk) : fmt::E(v, w, dd, e, kk);
        };
        if (std::sscanf(d.c_str(), "%dPE%d.%d%n", &k, &w, &dd, &n) == 3 && n == static_cast<int>(d.size())) {
            got = E(k);
        } else if (std::sscanf(d.c_str(), "E%d.%dE%d%n", &w, &dd, &e, &n) == 3 && n == static_cast<int>(d.size())) {
            got = E(0);
        } else if (e = 0; std::sscanf(d.c_str(), "E%d.%d%n", &w, &dd, &n) == 2 && n == static_cast<int>(d.size())) {
            got = E(0);
        } else if (std::sscanf(d.c_str(), "ES%d.%d%n", &w, &dd, &n) == 2 && n == static_cast<int>(d.size())) {
            got = r.kind == 'f' ? fmt::ES(static_cast<float>(v), w, dd) : fmt::ES(v, w, dd);
        } else if (std::sscanf(d.c_str(), "F%d.%d%n", &w, &dd, &n) == 2 && n == static_cast<int>(d.size())) {
            got = r.kind == 'f' ? fmt::F(static_cast<float>(v), w, dd) : fmt::F(v, w, dd);
        } else if (std::sscanf(d.c_str(), "I%d.%d%n", &w, &dd, &n) == 2 && n == static_cast<int>(d.size())) {
            got = fmt::I(static_cast<long>(static_cast<long long>(r.bits)), w, dd);
        } else if (std::sscanf(d.c_str(), "I%d%n", &w, &n) == 1 && n == static_cast<int>(d.size())) {
            got = fmt::I(static_cast<long>(static_cast<long long>(r.bits)), w);
        } else {
            continue;
        }
        ++checked;
        EXPECT_EQ(got, r.want) << d << " bits " << std::hex << r.bits;
    }
    EXPECT_GT(checked, 500);
}

TEST(FmtWrite, TextAndSpacingFields) {
    EXPECT_EQ(fmt::A("abc", 5), "  abc");  // right-justified
    EXPECT_EQ(fmt::A("xyz", 2), "xy");     // cut to its first w characters
    EXPECT_EQ(fmt::A("whole"), "whole");
    EXPECT_EQ(fmt::X(3), "   ");
    EXPECT_EQ(fmt::rjust("05-Mar-2024", 12), " 05-Mar-2024");
    EXPECT_EQ(fmt::ljust("ab", 4), "ab  ");
}

struct FormatCase {
    const char* fmt;
    std::vector<fmt::Arg> args;
    std::vector<std::string> want;
};

TEST(FmtWrite, FormatInterpreter) {
    const std::complex<float> c(1.5f, -2.25f);
    const float r5[] = {1.0f, 2.5f, -3.25f, 4.125f, 5.0f};
    const FormatCase cases[] = {
        // Reversion to the start of a format without groups: a new record each time.
        {"(1X,3I5)", {1, 2, 3, 4, 5, 6, 7}, {"     1    2    3", "     4    5    6", "     7"}},
        // Reversion to the rightmost top-level group, with its repeat count.
        {"(A,2(I3,F6.2))",
         {std::string_view("ab"), 1, 1.5f, 2, 2.5f, 3, 3.5f, 4, 4.5f, 5, 5.5f},
         {"ab  1  1.50  2  2.50", "  3  3.50  4  4.50", "  5  5.50"}},
        // Tabs: absolute, left (overwriting) and right.
        {"(2X,\"ab\",T10,I3,TL5,I2,TR2,A)", {123, 45, std::string_view("end")}, {"  ab   4512end"}},
        {"(5X,A,T3,\"zz\",I3,5X)", {std::string_view("abcdef"), 7}, {"  zz  7cdef"}},
        {"(T5,I1,T1,I1,T20)", {5, 1}, {"1   5"}},
        // The scale factor stays in force after reversion.
        {"(1PE12.4,(E12.4))", {1.5f, 2.5f, 3.5f}, {"  1.5000E+00  2.5000E+00", "  3.5000E+00"}},
        {"(1X,I2,2P,F7.2,(F7.2,I2))", {1, 0.5f, 0.25f, 3, 0.125f, 4}, {"  1  50.00  25.00 3", "  12.50 4"}},
        // Colon: stop when the list is done; without it literals go on.
        {"(I3,:,\" after\")", {1}, {"  1"}},
        {"(I3,\" after\")", {1}, {"  1 after"}},
        {"(F6.1,2(I2,:,\",\"))", {1.0f, 1, 2, 3, 4}, {"   1.0 1, 2,", " 3, 4"}},
        // Slashes, empty records, repeated slash.
        {"(I3/I3//I3)", {1, 2, 3}, {"  1", "  2", "", "  3"}},
        {"(I3,2(/,I3))", {1, 2, 3}, {"  1", "  2", "  3"}},
        {"(I2,/)", {4}, {" 4", ""}},
        {"(2(I1,1X),3/)", {1, 2, 3}, {"1 2", "", "", "", "3"}},
        {"(\" title\")", {}, {" title"}},
        // Nested groups, complex values as two reals, arrays element by element.
        {"(2(I2,2(A1)))",
         {1, std::string_view("a"), std::string_view("b"), 2, std::string_view("c"), std::string_view("d")},
         {" 1ab 2cd"}},
        {"(2(1X,F6.3))", {c}, {"  1.500 -2.250"}},
        {"(3F6.2)", {std::span<const float>(r5)}, {"  1.00  2.50 -3.25", "  4.12  5.00"}},
        // G takes integers and texts as I and A; literals with doubled quotes.
        {"(2G8.3,A3)", {5, 0.5f, std::string_view("x")}, {"       5.500      x"}},
        {"('it''s',1X,A,\" q\"\"q\")", {std::string_view("x")}, {"it's x q\"q"}},
        {"(A5,A2,A)", {std::string_view("abc"), std::string_view("xyz"), std::string_view("whole")},
         {"  abcxywhole"}},
        {"(1X,E15.7,ES13.5E3,I4.3)", {-1.0e-5f, 2.0e20f, 5}, {"  -0.1000000E-04 2.00000E+020 005"}},
    };
    for (const FormatCase& fc : cases) {
        EXPECT_EQ(fmt::format(fc.fmt, std::span<const fmt::Arg>(fc.args)), fc.want) << fc.fmt;
    }
}

TEST(FmtWrite, MalformedFormatsAndMismatchesThrow) {
    for (const char* f : {"(I3", "I3", "(Q5)", "(F6)", "(E12)", "(I3)x", "(0I3)", "(3'a')", "('open)"}) {
        EXPECT_THROW(fmt::format(f, {1}), std::invalid_argument) << f;
    }
    EXPECT_THROW(fmt::format("(I5)", {1.5f}), std::invalid_argument);
    EXPECT_THROW(fmt::format("(F5.1)", {1}), std::invalid_argument);
    EXPECT_THROW(fmt::format("(A)", {1}), std::invalid_argument);
    EXPECT_THROW(fmt::format("(\"no data\")", {1}), std::invalid_argument);  // would never end
}

using FmtWriteUnit = test::TempDirTest;

TEST_F(FmtWriteUnit, WritesRecordsToUnit) {
    ASSERT_EQ(chan::open(25, "optn.1", chan::Status::Replace), 0);
    EXPECT_EQ(fmt::write(25, "(1X,2I3)", {1, 2, 3}), 0);
    chan::close(25);
    EXPECT_EQ(read_file("optn.1"), "   1  2\n   3\n");
    EXPECT_EQ(fmt::write(26, "(I3)", {1}), 1);  // unit not open
    EXPECT_EQ(fmt::write(6, "(\" on screen\")", {}), 0);
    EXPECT_EQ(screen.str(), " on screen\n");
}

}  // namespace
}  // namespace zorva
