// The C interface of the channel table that the user libraries call.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/channels.hpp"
#include "platform/zorva_units.h"
#include "tests/support/testdir.hpp"

namespace zorva {
namespace {

class UnitsTest : public test::TempDirTest {};

TEST_F(UnitsTest, ReadLinesCutToTheBuffer) {
    write_file("data.txt", "first line\r\n\n0123456789abc\n");
    ASSERT_EQ(zorva_open_unit(15, "data.txt  ", ZORVA_OPEN_OLD), 0);
    char buf[11];
    std::memset(buf, 'x', sizeof buf);
    EXPECT_EQ(zorva_read_line(15, buf, sizeof buf), 0);
    EXPECT_STREQ(buf, "first line");
    EXPECT_EQ(zorva_read_line(15, buf, sizeof buf), 0);
    EXPECT_STREQ(buf, "");
    EXPECT_EQ(zorva_read_line(15, buf, sizeof buf), 0);
    EXPECT_STREQ(buf, "0123456789");  // 10 characters and the NUL
    EXPECT_EQ(zorva_read_line(15, buf, sizeof buf), -1);
    EXPECT_EQ(zorva_read_line(15, buf, 0), 1);
    EXPECT_EQ(zorva_read_line(15, nullptr, 5), 1);
    zorva_close_unit(15);
    EXPECT_FALSE(chan::is_open(15));
    EXPECT_EQ(zorva_read_line(15, buf, sizeof buf), 1);  // not open
    zorva_close_unit(15);                                // passed over
}

TEST_F(UnitsTest, OpenWriteAndTheScreen) {
    EXPECT_EQ(zorva_open_unit(15, "missing.txt", ZORVA_OPEN_OLD), 1);
    EXPECT_EQ(zorva_open_unit(15, "out.txt", 7), 1);
    EXPECT_FALSE(chan::is_open(15));
    ASSERT_EQ(zorva_open_unit(15, "out.txt", ZORVA_OPEN_REPLACE), 0);
    EXPECT_EQ(zorva_write_line(15, " a line"), 0);
    EXPECT_EQ(read_file("out.txt"), " a line\n");  // flushed at once
    EXPECT_EQ(zorva_write_line(15, nullptr), 1);
    EXPECT_EQ(zorva_write_line(16, "x"), 1);  // not open
    EXPECT_EQ(zorva_write_line(ZORVA_UNIT_SCREEN, "on the screen"), 0);
    EXPECT_EQ(screen.str(), "on the screen\n");
    EXPECT_EQ(zorva_open_unit(ZORVA_UNIT_SCREEN, "x.txt", ZORVA_OPEN_REPLACE), 1);
}

}  // namespace
}  // namespace zorva
