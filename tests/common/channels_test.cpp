// Channel table, unformatted records and the clock.
#include "common/channels.hpp"

#include <gtest/gtest.h>

#include <complex>
#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "common/clock.hpp"
#include "common/textline.hpp"
#include "common/unformatted.hpp"
#include "tests/support/testdir.hpp"

namespace zorva {
namespace {

namespace fs = std::filesystem;

using Channels = test::TempDirTest;

std::vector<std::string> read_all(int unit) {
    std::vector<std::string> out;
    std::string line;
    int s;
    while ((s = chan::read_line(unit, line)) == 0) out.push_back(line);
    EXPECT_EQ(s, -1);
    return out;
}

int count_entries(const fs::path& d) {
    int n = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(d)) ++n;
    return n;
}

TEST_F(Channels, OpenStatuses) {
    EXPECT_EQ(chan::open(12, "missing.pot", chan::Status::Old), 1);
    EXPECT_FALSE(chan::is_open(12));
    EXPECT_FALSE(chan::exists("missing.pot"));

    ASSERT_EQ(chan::open(8, "out.txt  ", chan::Status::Replace), 0);  // trailing blanks dropped
    EXPECT_EQ(chan::name(8), "out.txt");
    EXPECT_EQ(chan::write_line(8, "one"), 0);
    EXPECT_EQ(chan::write_text(8, "two"), 0);
    EXPECT_EQ(chan::write_line(8, ""), 0);
    chan::close(8);
    EXPECT_EQ(read_file("out.txt"), "one\ntwo\n");

    ASSERT_EQ(chan::open(8, "out.txt", chan::Status::Append), 0);
    EXPECT_EQ(chan::write_line(8, "three"), 0);
    chan::close(8);
    EXPECT_EQ(read_file("out.txt"), "one\ntwo\nthree\n");

    ASSERT_EQ(chan::open(12, "out.txt", chan::Status::Old), 0);
    EXPECT_EQ(read_all(12), (std::vector<std::string>{"one", "two", "three"}));

    // Opening a unit again closes the first file and keeps it.
    ASSERT_EQ(chan::open(12, "new.txt", chan::Status::Unknown), 0);
    EXPECT_TRUE(chan::exists("out.txt"));
    EXPECT_TRUE(chan::exists("new.txt"));

    ASSERT_EQ(chan::open(8, "out.txt", chan::Status::Replace), 0);
    chan::close(8);
    EXPECT_EQ(read_file("out.txt"), "");
    chan::close(12, true);
    EXPECT_FALSE(chan::exists("new.txt"));

    // Units that are not files, or out of range.
    for (int u : {-1, chan::KEYBOARD, chan::SCREEN, chan::MAXUNIT + 1})
        EXPECT_EQ(chan::open(u, "x.txt", chan::Status::Replace), 1) << u;
    std::string line;
    EXPECT_EQ(chan::read_line(30, line), 1);
    EXPECT_EQ(chan::write_line(30, "x"), 1);
    EXPECT_EQ(chan::rewind(30), 1);
    chan::close(30);  // nothing open: no effect
}

TEST_F(Channels, LineEndsAndLastLine) {
    write_file("in.txt", "a b\r\n\nlast without end");
    ASSERT_EQ(chan::open(11, "in.txt", chan::Status::Old), 0);
    EXPECT_EQ(read_all(11), (std::vector<std::string>{"a b", "", "last without end"}));
    std::string line;
    EXPECT_EQ(chan::read_line(11, line), -1);  // stays at the end
}

// Backspace steps back over the record read last, once; not after a rewind.
TEST_F(Channels, BackspaceRereadsTheLastRecord) {
    write_file("in.txt", "one\ntwo\nthree\n");
    ASSERT_EQ(chan::open(11, "in.txt", chan::Status::Old), 0);
    std::string line;
    EXPECT_EQ(chan::backspace(11), 1);  // nothing read yet
    ASSERT_EQ(chan::read_line(11, line), 0);
    ASSERT_EQ(chan::read_line(11, line), 0);
    EXPECT_EQ(chan::backspace(11), 0);
    EXPECT_EQ(chan::backspace(11), 1);  // only the one record
    ASSERT_EQ(chan::read_line(11, line), 0);
    EXPECT_EQ(line, "two");
    ASSERT_EQ(chan::read_line(11, line), 0);
    ASSERT_EQ(chan::rewind(11), 0);
    EXPECT_EQ(chan::backspace(11), 1);
    EXPECT_EQ(read_all(11), (std::vector<std::string>{"one", "two", "three"}));
    EXPECT_EQ(chan::backspace(30), 1);  // not open
}

TEST_F(Channels, WriteAfterReadOrRewindEndsTheFile) {
    ASSERT_EQ(chan::open(9, "s.txt", chan::Status::Replace), 0);
    for (const char* l : {"first line", "second line", "third line"}) chan::write_line(9, l);
    ASSERT_EQ(chan::rewind(9), 0);
    std::string line;
    ASSERT_EQ(chan::read_line(9, line), 0);
    EXPECT_EQ(line, "first line");
    // A write after a read replaces everything after the record read.
    ASSERT_EQ(chan::write_line(9, "2"), 0);
    ASSERT_EQ(chan::read_line(9, line), -1);
    ASSERT_EQ(chan::rewind(9), 0);
    EXPECT_EQ(read_all(9), (std::vector<std::string>{"first line", "2"}));
    // Rewind and write: the file holds the new record only, and a read
    // that needs more meets the end of file, not the old content.
    ASSERT_EQ(chan::rewind(9), 0);
    ASSERT_EQ(chan::write_line(9, "7"), 0);
    ASSERT_EQ(chan::rewind(9), 0);
    EXPECT_EQ(read_all(9), (std::vector<std::string>{"7"}));
    chan::close(9);
    EXPECT_EQ(read_file("s.txt"), "7\n");
}

TEST_F(Channels, ScratchFilesLeaveNothingBehind) {
    fs::create_directory("scr");
    const int before = count_entries(".");
    for (const char* path : {"", "scr"}) {
        SCOPED_TRACE(path);
        chan::set_scratch_path(path);
        EXPECT_EQ(chan::scratch_path(), path);
        ASSERT_EQ(chan::open_scratch(23), 0);
        ASSERT_EQ(chan::open_scratch(24, chan::Form::Unformatted), 0);
        EXPECT_EQ(chan::name(23), "");
        chan::write_line(23, "12 13");
        chan::write_line(23, "14");
        ASSERT_EQ(chan::rewind(23), 0);
        EXPECT_EQ(read_all(23), (std::vector<std::string>{"12 13", "14"}));
        const int v = 42;
        ASSERT_EQ(chan::write_record(24, &v, sizeof v), 0);
        ASSERT_EQ(chan::rewind(24), 0);
        std::vector<char> buf;
        ASSERT_EQ(chan::read_record(24, buf), 0);
        EXPECT_EQ(buf.size(), sizeof v);
        chan::close(23);
    }
    chan::reset();  // closes 24 and restores the scratch path
    EXPECT_EQ(chan::scratch_path(), "");
    EXPECT_EQ(count_entries("."), before);
    EXPECT_EQ(count_entries("scr"), 0);

    chan::set_scratch_path("no/such/dir");
    EXPECT_EQ(chan::open_scratch(25), 1);
    EXPECT_FALSE(chan::is_open(25));
}

TEST_F(Channels, UnformattedRecords) {
    ASSERT_EQ(chan::open(13, "run.p2f", chan::Status::Replace, chan::Form::Unformatted), 0);
    const std::vector<char> a = {'a', 'b', 'c'}, empty;
    std::vector<char> big(70000, 'z');
    ASSERT_EQ(chan::write_record(13, a), 0);
    ASSERT_EQ(chan::write_record(13, empty), 0);
    ASSERT_EQ(chan::write_record(13, big), 0);
    chan::close(13);
    // 4-byte little-endian length before and after each record.
    std::string bytes = read_file("run.p2f");
    ASSERT_EQ(bytes.size(), (4 + 3 + 4) + (4 + 0 + 4) + (4 + 70000 + 4));
    EXPECT_EQ(bytes.substr(0, 11), std::string("\x03\0\0\0abc\x03\0\0\0", 11));

    ASSERT_EQ(chan::open(13, "run.p2f", chan::Status::Old, chan::Form::Unformatted), 0);
    std::vector<char> buf;
    ASSERT_EQ(chan::read_record(13, buf), 0);
    EXPECT_EQ(buf, a);
    ASSERT_EQ(chan::skip_record(13), 0);
    ASSERT_EQ(chan::read_record(13, buf), 0);
    EXPECT_EQ(buf, big);
    EXPECT_EQ(chan::read_record(13, buf), -1);  // clean end of file
    chan::close(13);

    // Broken files: cut inside the data, cut inside the trailing length,
    // cut inside the leading length, lengths that disagree, a length far
    // beyond the end of the file.
    const std::string good = bytes.substr(0, 11);
    const std::string broken[] = {
        good.substr(0, 6),
        good.substr(0, 9),
        good + std::string("\x05\0", 2),
        std::string("\x03\0\0\0abc\x04\0\0\0", 11),
        std::string("\xff\xff\xff\x7f", 4) + "abc",
        std::string("\x00\x00\x10\x00", 4) + "abc",
    };
    for (const std::string& b : broken) {
        write_file("bad.p2f", b);
        ASSERT_EQ(chan::open(13, "bad.p2f", chan::Status::Old, chan::Form::Unformatted), 0);
        int s = chan::read_record(13, buf);
        if (b.size() > 11) {  // the first record is whole
            EXPECT_EQ(s, 0);
            s = chan::read_record(13, buf);
        }
        EXPECT_EQ(s, 1) << b.size();
        chan::close(13);
    }
}

TEST_F(Channels, KeyboardAndScreen) {
    set_input("answer\nsecond");
    std::string line;
    ASSERT_EQ(chan::read_line(chan::KEYBOARD, line), 0);
    EXPECT_EQ(line, "answer");
    ASSERT_EQ(chan::read_line(chan::KEYBOARD, line), 0);
    EXPECT_EQ(line, "second");
    EXPECT_EQ(chan::read_line(chan::KEYBOARD, line), -1);
    EXPECT_EQ(chan::write_text(chan::SCREEN, " Enter name: "), 0);
    EXPECT_EQ(chan::write_line(chan::SCREEN, "x"), 0);
    EXPECT_EQ(screen.str(), " Enter name: x\n");
    EXPECT_TRUE(chan::is_open(chan::SCREEN));
}

// A UTF-8 byte-order mark before the first line is no part of it: dropped
// there, also when the first line is read again (rewind, backspace) and on
// the keyboard; anywhere else its bytes are data.  A file of the mark alone
// is empty, and the mark does not count against the line limit.
TEST_F(Channels, ByteOrderMarkBeforeTheFirstLineOnly) {
    const std::string BOM = "\xEF\xBB\xBF";
    const std::string longest(text::MAXLINE, 'x');
    struct Case {
        std::string text;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {BOM + "a\nb\n", {"a", "b"}},
        {BOM + "a\r\n" + BOM + "b\n", {"a", BOM + "b"}},
        {"a" + BOM + "\n", {"a" + BOM}},
        {BOM + BOM + "x", {BOM + "x"}},
        {"\xEF\xBB" "x\n", {"\xEF\xBB" "x"}},
        {BOM, {}},
        {BOM + "\n", {""}},
        {BOM + longest + "\n", {longest}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 12));
        write_file("m.pot", c.text);
        ASSERT_EQ(chan::open(12, "m.pot", chan::Status::Old), 0);
        EXPECT_EQ(read_all(12), c.lines);
        chan::close(12);
    }
    // One character more than the limit after the mark is too long.
    write_file("m.pot", BOM + longest + "x\n");
    ASSERT_EQ(chan::open(12, "m.pot", chan::Status::Old), 0);
    std::string line;
    EXPECT_EQ(chan::read_line(12, line), 1);
    EXPECT_TRUE(chan::line_too_long(12));

    write_file("m.pot", BOM + "first\nsecond\n");
    ASSERT_EQ(chan::open(12, "m.pot", chan::Status::Old), 0);
    ASSERT_EQ(chan::read_line(12, line), 0);
    ASSERT_EQ(chan::backspace(12), 0);
    ASSERT_EQ(chan::read_line(12, line), 0);
    EXPECT_EQ(line, "first");
    ASSERT_EQ(chan::read_line(12, line), 0);
    EXPECT_EQ(line, "second");
    ASSERT_EQ(chan::rewind(12), 0);
    ASSERT_EQ(chan::read_line(12, line), 0);
    EXPECT_EQ(line, "first");
    chan::close(12);

    set_input(BOM + "answer\n" + BOM + "again\n");
    ASSERT_EQ(chan::read_line(chan::KEYBOARD, line), 0);
    EXPECT_EQ(line, "answer");
    ASSERT_EQ(chan::read_line(chan::KEYBOARD, line), 0);
    EXPECT_EQ(line, BOM + "again");

    // The shared reader keeps the mark of a line that does not start the file.
    std::stringbuf sb(BOM + "z\n");
    EXPECT_EQ(text::get_line(sb, line, text::At::Within), text::Got::Line);
    EXPECT_EQ(line, BOM + "z");
}

TEST_F(Channels, TypedRecordsRoundTrip) {
    ASSERT_EQ(chan::open(13, "t.p2f", chan::Status::Replace, chan::Form::Unformatted), 0);
    const float xs[3] = {1.5f, -2.f, 3.25f};
    ufmt::RecWriter w;
    w.put(7).put(std::complex<float>(0.5f, -1.f)).put_text("abc", 6).put(xs, 3);
    EXPECT_EQ(w.bytes().size(), 4u + 8u + 6u + 12u);
    ASSERT_EQ(w.write(13), 0);
    EXPECT_TRUE(w.bytes().empty());
    ASSERT_EQ(w.put_text("a long name", 4).write(13), 0);
    ASSERT_EQ(chan::rewind(13), 0);

    ufmt::RecReader r;
    ASSERT_EQ(r.read(13), 0);
    int n = 0;
    std::complex<float> c;
    std::string t;
    float ys[3] = {};
    EXPECT_TRUE(r.get(n));
    EXPECT_TRUE(r.get(c));
    EXPECT_TRUE(r.get_text(t, 6));
    EXPECT_TRUE(r.get(ys, 3));
    EXPECT_EQ(n, 7);
    EXPECT_EQ(c, std::complex<float>(0.5f, -1.f));
    EXPECT_EQ(t, "abc");  // trailing blanks removed
    EXPECT_EQ(ys[2], 3.25f);
    EXPECT_EQ(r.remaining(), 0u);
    EXPECT_TRUE(r.ok());
    // Taking more than the record holds fails and leaves the value alone.
    EXPECT_FALSE(r.get(n));
    EXPECT_EQ(n, 7);
    EXPECT_FALSE(r.ok());

    ASSERT_EQ(r.read(13), 0);  // a new record clears the failure
    EXPECT_TRUE(r.ok());
    EXPECT_TRUE(r.get_text(t, 4));
    EXPECT_EQ(t, "a lo");
    double d = 9;
    EXPECT_FALSE(r.get(d));
    EXPECT_EQ(d, 9);
    EXPECT_EQ(r.read(13), -1);
    EXPECT_FALSE(r.get_text(t, 1));
}

TEST(Clock, Texts) {
    const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (int m = 1; m <= 12; ++m) {
        clock::DateTime t{2031, m, 9, 0, 0, 0};
        EXPECT_EQ(clock::date_text(t), std::string("09-") + months[m - 1] + "-2031");
    }
    EXPECT_EQ(clock::date_text({1999, 12, 31, 23, 59, 58}), "31-Dec-1999");
    EXPECT_EQ(clock::time_text({1999, 12, 31, 23, 59, 58}), "23:59:58");
    EXPECT_EQ(clock::time_text({2024, 3, 5, 9, 7, 3}), "09:07:03");
}

TEST_F(Channels, FixedAndSystemClock) {
    EXPECT_EQ(clock::date_text(clock::now()), "05-Mar-2024");
    EXPECT_EQ(clock::time_text(clock::now()), "09:07:03");
    clock::set_source({});
    clock::DateTime t = clock::now();
    EXPECT_GE(t.year, 2024);
    EXPECT_GE(t.month, 1);
    EXPECT_LE(t.month, 12);
}

}  // namespace
}  // namespace zorva
