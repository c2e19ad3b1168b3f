// Free-format group reader.  The expected values of the tables are those a
// Fortran list-directed READ gives for the same records (checked against a
// Fortran compiler), with the item lists x(4) real, k(3) integer and
// (t1*8, k, t2*3).  Where this reader is stricter on purpose, the case says
// so: a value beyond the range of its type, NaN and infinities are read
// errors here, never numbers handed on to the computation.
#include "common/freeread.hpp"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "common/channels.hpp"
#include "common/textline.hpp"
#include "tests/support/testdir.hpp"

namespace zorva {
namespace {

constexpr float U = -9.f;  // value of an item left unchanged
constexpr int UI = -9;

struct RealCase {
    const char* text;
    int status;
    int nvals;
    std::array<float, 4> x;
};

TEST(FreeRead, RealGroups) {
    const RealCase cases[] = {
        {"1 2 3 4", 0, 4, {1, 2, 3, 4}},
        {"1,2,,4", 0, 4, {1, 2, U, 4}},             // empty value between commas: null
        {",2,3,4", 0, 4, {U, 2, 3, 4}},             // leading comma: null first value
        {"1 2\n3 4 5", 0, 4, {1, 2, 3, 4}},         // continued, rest of line ignored
        {"1\n  \n\t\n2 3 4", 0, 4, {1, 2, 3, 4}},   // blank records skipped
        {"1.5D0 2e3 1.e-3 +.5", 0, 4, {1.5f, 2000.f, 1.e-3f, 0.5f}},
        {"1.5d+1, -2.5E-1, 1.0+3, 3", 0, 4, {15.f, -0.25f, 1000.f, 3.f}},
        {"2*7 2*", 0, 4, {7, 7, U, U}},             // repeat count, repeated nulls
        {"3*,5", 0, 4, {U, U, U, 5}},               // r* is a value: the comma only separates
        {"2*  , 5 6 7", 0, 4, {U, U, 5, 6}},
        {"1 2/ 9", 0, 2, {1, 2, U, U}},             // slash ends the group
        {"1 / 7 8 9", 0, 1, {1, U, U, U}},
        {"1,\n,2", -1, 3, {1, U, 2, U}},            // comma, end of record, comma: one null
        {"1 \"a b\" 3 4", 1, 1, {1, U, U, U}},      // a text for a real
        {"1.5x 2 3 4", 1, 0, {U, U, U, U}},
        {"0*3 1 2 3", 1, 0, {U, U, U, U}},          // zero repeat count
        {"1e39 1 2 3", 1, 0, {U, U, U, U}},         // beyond the range of a real (stricter)
        {"NaN 1 2 3", 1, 0, {U, U, U, U}},          // (stricter)
        {"1.5E 1 2 3", 1, 0, {U, U, U, U}},
        {"1e-50 1 2 3", 0, 4, {0, 1, 2, 3}},        // underflow reads as zero
        {"1 2 3", -1, 3, {1, 2, 3, U}},             // end of file inside the group
        {"1,,,", -1, 3, {1, U, U, U}},
        {"", -1, 0, {U, U, U, U}},
    };
    for (const RealCase& c : cases) {
        SCOPED_TRACE(c.text);
        std::array<float, 4> x{U, U, U, U};
        int nv = -1;
        EXPECT_EQ(fread::parse_group(c.text, {fread::R(x.data(), 4)}, &nv), c.status);
        EXPECT_EQ(nv, c.nvals);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(x[i], c.x[i]) << "element " << i + 1;
    }
}

struct IntCase {
    const char* text;
    int status;
    std::array<int, 3> k;
};

TEST(FreeRead, IntegerGroups) {
    const IntCase cases[] = {
        {"1 2 3 4", 0, {1, 2, 3}},
        {"+1,-2 , 3", 0, {1, -2, 3}},
        {"1.5 2 3", 1, {UI, UI, UI}},               // a real for an integer
        {"1e3 2 3", 1, {UI, UI, UI}},
        {"7 1.5D0", 1, {7, UI, UI}},
        {"2*7 2*", 0, {7, 7, UI}},
        {"1,,,", 0, {1, UI, UI}},
        {"2147483647 -2147483648 0", 0, {2147483647, -2147483647 - 1, 0}},
        {"2147483648 1 1", 1, {UI, UI, UI}},        // integer overflow
        {"1 2/", 0, {1, 2, UI}},
        {"abc 1 2", 1, {UI, UI, UI}},
        {"3*4", 0, {4, 4, 4}},
        {"5*4", 0, {4, 4, 4}},                      // repeat beyond the list
    };
    for (const IntCase& c : cases) {
        SCOPED_TRACE(c.text);
        std::array<int, 3> k{UI, UI, UI};
        EXPECT_EQ(fread::parse_group(c.text, {fread::I(k.data(), 3)}), c.status);
        EXPECT_EQ(k, c.k);
    }
}

// A group announced far longer than its text (a count from a damaged file)
// ends at the end of the text after the values it holds, with no storage
// set aside for the values it does not.  Items after a long array item
// take the values that follow it.
TEST(FreeRead, HugeGroupEndsAtTheEndOfItsText) {
    std::array<int, 3> k{UI, UI, UI};
    int nv = 0;
    EXPECT_EQ(fread::parse_group("4 5", {fread::I(k.data(), 1 << 30)}, &nv), -1);
    EXPECT_EQ(nv, 2);
    EXPECT_EQ(k, (std::array<int, 3>{4, 5, UI}));
    int a = UI, b = UI, c = UI;
    std::array<int, 2> m{UI, UI};
    EXPECT_EQ(fread::parse_group("1 2 3 4 5", {fread::I(a), fread::I(m.data(), 2), fread::I(b), fread::I(c)}), 0);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(m, (std::array<int, 2>{2, 3}));
    EXPECT_EQ(b, 4);
    EXPECT_EQ(c, 5);
}

struct TextCase {
    const char* text;
    int status;
    const char* t1;
    int k;
    const char* t2;
};

TEST(FreeRead, TextItems) {
    const TextCase cases[] = {
        {"abc.pot 5 x", 0, "abc.pot", 5, "x"},
        {"'it''s' 7 \"q/r,s\"", 0, "it's", 7, "q/r"},       // quoted: blanks, commas, slash kept
        {"   'long text here' 3 toolong", 0, "long tex", 3, "too"},  // cut to the length
        {"1.5 2 3", 0, "1.5", 2, "3"},
        {"'two\nlines' 4 z", 0, "twolines", 4, "z"},        // a quoted text may go on
        {"name/ 1 2", 0, "name", UI, "@"},
        {"'open", -1, "@", UI, "@"},                        // end of file inside the quotes
        {"'ab'c 1 2", 1, "@", UI, "@"},                     // no separator after the quote
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.text);
        std::string t1 = "@", t2 = "@";
        int k = UI;
        EXPECT_EQ(fread::parse_group(c.text, {fread::A(t1, 8), fread::I(k), fread::A(t2, 3)}), c.status);
        EXPECT_EQ(t1, c.t1);
        EXPECT_EQ(k, c.k);
        EXPECT_EQ(t2, c.t2);
    }
}

TEST(FreeRead, MixedItemsAndDoubles) {
    int n = 0;
    float r[2] = {0, 0};
    double d = 0;
    int nv = 0;
    EXPECT_EQ(fread::parse_group("3, 0.1 2.5 0.1", {fread::I(n), fread::R(r, 2), fread::D(d)}, &nv), 0);
    EXPECT_EQ(nv, 4);
    EXPECT_EQ(n, 3);
    EXPECT_EQ(r[0], 0.1f);  // rounded once, straight to single precision
    EXPECT_EQ(r[1], 2.5f);
    EXPECT_EQ(d, 0.1);
    // An item of length 0 takes nothing.
    EXPECT_EQ(fread::parse_group("4 5", {fread::R(r, 0), fread::I(n)}), 0);
    EXPECT_EQ(n, 4);
}

// The numbers a record gives from its start, as a read of reals takes
// them, up to a slash or a word of a note (counted by hand).
TEST(FreeRead, NumbersOfARecord) {
    const std::pair<const char*, long long> cases[] = {
        {"  3  3      KU KV", 2},
        {"1.5D0, 2e3\t+.5 1.0+3", 4},
        {"2*7 2* 3*,5", 3},          // r*value counts r times; r* alone gives nulls
        {"1,,4", 2},                 // a null between commas is no number
        {"1e39 -1e-50", 2},          // numbers, if beyond the range of a real
        {"1 2/ 9", 2},
        {"/ 7 8", 0},
        {"end of the data 4 4", 0},
        {"'4 4' 5", 0},
        {"4x 5", 0},
        {"0*3 1", 0},                // a zero repeat count is no number
        {"", 0},
        {" \t ", 0},
        {"1000000000*1 1000000000*1", 2000000000},
    };
    for (const auto& [text, n] : cases) EXPECT_EQ(fread::count_numbers(text), n) << text;
}

using FreeReadFile = test::TempDirTest;

TEST_F(FreeReadFile, GroupsStartOnNewRecords) {
    write_file("in.txt",
               "  A title line that is longer than seventy-two characters, so it is cut here|xx  \n"
               "   body one.gdf  extra\n"
               "1 2 3 rest of line\n"
               "4, 5\n"
               "6\n"
               "7 8\n");
    ASSERT_EQ(chan::open(12, "in.txt", chan::Status::Old), 0);
    std::string title, fname;
    ASSERT_EQ(fread::read_text(12, title, 72), 0);
    EXPECT_EQ(title, "  A title line that is longer than seventy-two characters, so it is cut");
    ASSERT_EQ(fread::read_fname(12, fname), 0);
    EXPECT_EQ(fname, "body");
    int a[2] = {0, 0};
    ASSERT_EQ(fread::read_group(12, {fread::I(a, 2)}), 0);
    EXPECT_EQ(a[0], 1);
    EXPECT_EQ(a[1], 2);
    int b[3] = {0, 0, 0};
    ASSERT_EQ(fread::read_group(12, {fread::I(b, 3)}), 0);  // starts on "4, 5", goes on to "6"
    EXPECT_EQ(b[2], 6);
    int c[3] = {0, 0, 0}, nv = 0;
    EXPECT_EQ(fread::read_group(12, {fread::I(c, 3)}, &nv), -1);  // end of file inside
    EXPECT_EQ(nv, 2);
    EXPECT_EQ(fread::read_group(12, {fread::I(c, 1)}, &nv), -1);  // and before
    EXPECT_EQ(nv, 0);
    EXPECT_EQ(fread::read_text(12, title, 72), -1);
    EXPECT_EQ(fread::read_fname(12, fname), -1);
}

// Where a group found its values: the records that gave them, blank ones
// passed over, and the text its last record holds after the group.
TEST_F(FreeReadFile, RecordsAGroupTookItsValuesFrom) {
    write_file("in.txt", "\n 5.,\t1.,\n\n\t2. 3. 9  note\n7 / 8\n\n1 x\n");
    ASSERT_EQ(chan::open(12, "in.txt", chan::Status::Old), 0);
    fread::Taken t;
    float x[4] = {0, 0, 0, 0};
    ASSERT_EQ(fread::read_group(12, {fread::R(x, 4)}, t), 0);
    EXPECT_EQ(x[3], 3.f);
    EXPECT_EQ(t.records, (std::vector<std::string>{" 5.,\t1.,", "\t2. 3. 9  note"}));
    EXPECT_EQ(t.rest, " 9  note");
    int k[2] = {0, 0};
    ASSERT_EQ(fread::read_group(12, {fread::I(k, 2)}, t), 0);  // ended by the slash
    EXPECT_EQ(t.records, std::vector<std::string>{"7 / 8"});
    EXPECT_EQ(t.rest, "/ 8");
    EXPECT_EQ(fread::read_group(12, {fread::I(k, 2)}, t), 1);  // the record of the bad value last
    EXPECT_EQ(t.records, std::vector<std::string>{"1 x"});
}

TEST_F(FreeReadFile, FileNameRules) {
    // First 20 characters, leading blanks dropped, cut at the first blank.
    write_file("names.txt", "   abc def\n123456789012345678901234\n      abcdefghijklmnopqrstu\n\t x.gdf\t y\n\n");
    ASSERT_EQ(chan::open(11, "names.txt", chan::Status::Old), 0);
    const char* want[] = {"abc", "12345678901234567890", "abcdefghijklmn", "x.gdf", ""};
    for (const char* w : want) {
        std::string s = "?";
        ASSERT_EQ(fread::read_fname(11, s), 0);
        EXPECT_EQ(s, w);
    }
}

TEST_F(FreeReadFile, ReadErrorLeavesNextGroupOnNextRecord) {
    write_file("in.txt", "1.5 2\n3\n");
    ASSERT_EQ(chan::open(12, "in.txt", chan::Status::Old), 0);
    int k = 0;
    EXPECT_EQ(fread::read_group(12, {fread::I(k)}), 1);
    EXPECT_EQ(fread::read_group(12, {fread::I(k)}), 0);
    EXPECT_EQ(k, 3);
    EXPECT_EQ(fread::read_group(99, {fread::I(k)}), 1);  // unit not open
}

TEST_F(FreeReadFile, LinesUpToTheLimitAreReadLongerOnesRefused) {
    // A data line of exactly the limit (its last value at the end) reads;
    // one character more is a read error with a message naming the file,
    // read no further than the limit.
    const std::size_t L = text::MAXLINE;
    write_file("long.txt", std::string(L - 1, ' ') + "7\n" + std::string(L + 1, '8') + "\n9\n");
    ASSERT_EQ(chan::open(12, "long.txt", chan::Status::Old), 0);
    int k = 0;
    EXPECT_EQ(fread::read_group(12, {fread::I(k)}), 0);
    EXPECT_EQ(k, 7);
    EXPECT_FALSE(chan::line_too_long(12));
    EXPECT_TRUE(screen.str().empty());
    std::string title;
    EXPECT_EQ(fread::read_text(12, title, 72), 1);
    EXPECT_TRUE(chan::line_too_long(12));
    EXPECT_NE(screen.str().find("Error: line longer than 1000000 characters in file long.txt"), std::string::npos);
    // A device that never ends is refused the same way.
    ASSERT_EQ(chan::open(13, "/dev/zero", chan::Status::Old), 0);
    std::string line;
    EXPECT_EQ(fread::read_line(13, line), 1);
    EXPECT_TRUE(chan::line_too_long(13));
    EXPECT_LE(line.size(), L);
}

}  // namespace
}  // namespace zorva
