#include "common/messages.hpp"

#include <gtest/gtest.h>

#include <string>

#include "common/channels.hpp"
#include "common/datetime.hpp"
#include "tests/support/testdir.hpp"

namespace zorva {
namespace {

class Messages : public test::TempDirTest {};

// Field width of the value grows with its magnitude; a negative value takes
// six columns; 0 shows no value and no closing empty line.
TEST_F(Messages, ValueWidths) {
    struct Case {
        int value;
        const char* expected;
    };
    const Case cases[] = {
        {0, "\n Count = \n"},
        {7, "\n Count = 7\n\n"},
        {-3, "\n Count =     -3\n\n"},
        {9999, "\n Count = 9999\n\n"},
        {10000, "\n Count = 10000\n\n"},
    };
    for (const Case& c : cases) {
        screen.str("");
        ERRMSG("Count = ", c.value);
        EXPECT_EQ(screen.str(), c.expected) << "value " << c.value;
    }
}

// The same message reaches the screen, the stage error log and the run log;
// a message written before the error log is open goes to the other two.
TEST_F(Messages, ThreeChannelsWithStamps) {
    ASSERT_EQ(chan::open(IULOG, "zorvalog.txt", chan::Status::Replace), 0);
    ERRMSG(" Early note", 0);

    write_file("errorp.log", "stale content from an earlier run\n");
    std::string date = "x", time = "y";
    int ierr = 7;
    ERRLOGOPEN("errorp.log", "POTEN", date, time, ierr);
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(date, "05-Mar-2024");
    EXPECT_EQ(time, "09:07:03");

    ERRMSG(" Error reading record = ", 12);
    ERRMSG(" POTEN module run completed", 0);
    chan::close(IUERR);
    chan::close(IULOG);

    const std::string msgs = "\n  Error reading record = 12\n\n\n  POTEN module run completed\n";
    EXPECT_EQ(screen.str(), "\n  Early note\n" + msgs);
    EXPECT_EQ(read_file("errorp.log"), "Warning and error log from POTEN run:  05-Mar-2024 09:07:03\n" + msgs);
    EXPECT_EQ(read_file("zorvalog.txt"),
              "\n  Early note\n\nPOTEN run started:  05-Mar-2024 09:07:03\n" + msgs);
}

TEST_F(Messages, ErrorLogOpenFailureTellsScreenOnly) {
    ASSERT_EQ(chan::open(IULOG, "zorvalog.txt", chan::Status::Replace), 0);
    std::string date, time;
    int ierr = 0;
    ERRLOGOPEN("no_such_dir/errorf.log", "FORCE", date, time, ierr);
    EXPECT_EQ(ierr, 1);
    EXPECT_EQ(screen.str(), " Unable to open error log file, UNIT =   1\n");
    EXPECT_FALSE(chan::is_open(IUERR));
    chan::close(IULOG);
    EXPECT_EQ(read_file("zorvalog.txt"), "");
}

// Echo of an input file into the run log: heading, lines cut to 80
// characters without trailing blanks, and the unit rewound for the caller.
TEST_F(Messages, EchoInput) {
    const std::string longline(85, 'L');
    write_file("data.pot", "first line   \n" + longline + "\n   \n");
    struct Case {
        int n;
        std::string expected;
    };
    const std::string body = "first line\n" + std::string(80, 'L') + "\n\n";
    const Case cases[] = {
        {5, "\n First     5 lines of input file data.pot\n" + body},
        {0, "\n Input file data.pot\n" + body},
        {-1, "\n Input file data.pot\n" + body},
        {1, "\n First     1 lines of input file data.pot\nfirst line\n"},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(chan::open(IULOG, "zorvalog.txt", chan::Status::Replace), 0);
        ASSERT_EQ(chan::open(12, "data.pot", chan::Status::Old), 0);
        std::string rec;
        ASSERT_EQ(chan::read_line(12, rec), 0);  // the caller may have read already
        ECHOINP("data.pot", 12, c.n);
        ASSERT_EQ(chan::read_line(12, rec), 0);
        EXPECT_EQ(rec, "first line   ") << "N = " << c.n;
        chan::close(12);
        chan::close(IULOG);
        EXPECT_EQ(read_file("zorvalog.txt"), c.expected) << "N = " << c.n;
    }
}

// A hold keeps back what the messages, the screen lines and the input echo
// would write: dropped, nothing is seen; released, the same text in the same
// order as without the hold.  A hold within another releases into it.
TEST_F(Messages, HeldUntilReleasedOrDropped) {
    write_file("data.frc", "title\n1 2 3\n");
    auto say = [] {
        ERRMSG(" A note", 0);
        SCRLINE(" a screen line");
        ASSERT_EQ(chan::open(12, "data.frc", chan::Status::Old), 0);
        ECHOINP("data.frc", 12, 0);
        chan::close(12);
        ERRMSG(" Error at record = ", 3);
    };
    ASSERT_EQ(chan::open(IULOG, "plain.txt", chan::Status::Replace), 0);
    say();
    chan::close(IULOG);
    const std::string plain = screen.str();
    ASSERT_FALSE(plain.empty());

    screen.str("");
    ASSERT_EQ(chan::open(IULOG, "held.txt", chan::Status::Replace), 0);
    {
        MessageHold dropped;
        say();
    }
    EXPECT_EQ(screen.str(), "");
    {
        MessageHold outer;
        {
            MessageHold inner;
            say();
            inner.release();
        }
        EXPECT_EQ(screen.str(), "");
        outer.release();
    }
    chan::close(IULOG);
    EXPECT_EQ(screen.str(), plain);
    EXPECT_EQ(read_file("held.txt"), read_file("plain.txt"));
}

TEST(Ljust20, FirstWordOfFirstTwentyCharacters) {
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"   abc def", "abc"},
        {"", ""},
        {"                    ", ""},
        {"abcdefghijklmnop.pot", "abcdefghijklmnop.pot"},
        {"abcdefghijklmnop.potXYZ", "abcdefghijklmnop.pot"},
        {"  Box.GDF", "Box.GDF"},
        // Only the first 20 characters count, leading blanks included.
        {"          abcdefghijklmnop", "abcdefghij"},
    };
    for (const Case& c : cases) {
        std::string s = c.in;
        LJUST20(s);
        EXPECT_EQ(s, c.out) << "input '" << c.in << "'";
    }
}

}  // namespace
}  // namespace zorva
