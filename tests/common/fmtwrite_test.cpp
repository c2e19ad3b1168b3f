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

// Layouts of the report and the numeric files.
TEST(FmtWrite, ReportLayouts) {
    std::vector<float> m(36);
    for (int i = 1; i <= 36; ++i) m[static_cast<std::size_t>(i - 1)] = static_cast<float>(i) * 1.25f - 20.f;
    m[6] = 0.f;
    m[7] = 123456.7f;
    const FormatCase cases[] = {
        {"(A,6(/,1X,1P,6E12.4),/)",
         {std::string_view(" Global body and external mass matrix:        "), std::span<const float>(m)},
         {" Global body and external mass matrix:        ",
          "  -1.8750E+01 -1.7500E+01 -1.6250E+01 -1.5000E+01 -1.3750E+01 -1.2500E+01",
          "   0.0000E+00  1.2346E+05 -8.7500E+00 -7.5000E+00 -6.2500E+00 -5.0000E+00",
          "  -3.7500E+00 -2.5000E+00 -1.2500E+00  0.0000E+00  1.2500E+00  2.5000E+00",
          "   3.7500E+00  5.0000E+00  6.2500E+00  7.5000E+00  8.7500E+00  1.0000E+01",
          "   1.1250E+01  1.2500E+01  1.3750E+01  1.5000E+01  1.6250E+01  1.7500E+01",
          "   1.8750E+01  2.0000E+01  2.1250E+01  2.2500E+01  2.3750E+01  2.5000E+01",
          ""}},
        {"(2I6,1P,2E15.6)", {1, 2, 0.123456789f, -98765.4321f}, {"     1     2   1.234568E-01  -9.876543E+04"}},
        {"(E14.6,2I6,1P,2E14.6)", {12.5f, 3, 4, 1.0e-3f, -2.5e12f},
         {"  0.125000E+02     3     4  1.000000E-03 -2.500000E+12"}},
        {"(' Volumes (VOLX,VOLY,VOLZ):         ',3G13.6,/,' Center of Buoyancy (Xb,Yb,Zb):',3F13.6)",
         {1234.5678f, 0.f, -1.0e7f, 0.5f, -0.25f, 100.f},
         {" Volumes (VOLX,VOLY,VOLZ):           1234.57      0.00000    -0.100000E+08",
          " Center of Buoyancy (Xb,Yb,Zb):     0.500000    -0.250000   100.000000"}},
        {"(I6,4X,4G13.6)", {2, 0.09999999f, 999999.4f, 9999995.f, -0.1f},
         {"     2     0.100000      999999.     0.100000E+08-0.100000    "}},
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
