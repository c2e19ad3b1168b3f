#include "main/runlog.hpp"

#include <gtest/gtest.h>

#include <string>

#include "common/channels.hpp"
#include "common/datetime.hpp"
#include "common/messages.hpp"
#include "tests/support/testdir.hpp"

namespace zorva {
namespace {

class RunLog : public test::TempDirTest {};

TEST_F(RunLog, StampLineAndSharedTexts) {
    ASSERT_EQ(chan::open(IULOG, "zorvalog.txt", chan::Status::Replace), 0);
    RUNSTAMP("ZORVALOG.TXT file from ZORVA run: ");
    RUNSTAMP("POTEN run completed: ");
    chan::close(IULOG);
    EXPECT_EQ(RUNDATE, "05-Mar-2024");
    EXPECT_EQ(RUNTIME, "09:07:03");
    EXPECT_EQ(read_file("zorvalog.txt"),
              "\nZORVALOG.TXT file from ZORVA run:  05-Mar-2024 09:07:03\n"
              "\nPOTEN run completed:  05-Mar-2024 09:07:03\n");
}

// A clean log (header and one completion message) holds 3 lines; one more
// line means warnings.  The flag is only ever raised.
TEST_F(RunLog, CountThreshold) {
    struct Case {
        int lines;
        int flag_in;
        int flag_out;
    };
    const Case cases[] = {{0, 0, 0}, {3, 0, 0}, {4, 0, 1}, {7, 0, 1}, {3, 1, 1}};
    for (const Case& c : cases) {
        std::string text;
        for (int i = 0; i < c.lines; ++i) text += "line\n";
        write_file("errorp.log", text);
        ASSERT_EQ(chan::open(IUERR, "errorp.log", chan::Status::Old), 0);
        int flag = c.flag_in;
        LOGCOUNT(flag);
        EXPECT_EQ(flag, c.flag_out) << c.lines << " lines";
        chan::close(IUERR);
    }
}

// After the count, a message lands after the log's last line, also when
// the count stopped at its limit.
TEST_F(RunLog, MessagesAppendAfterCount) {
    for (int lines : {3, 100001}) {
        std::string text = "header\n";
        for (int i = 1; i < lines; ++i) text += "l\n";
        write_file("errorf.log", text);
        ASSERT_EQ(chan::open(IUERR, "errorf.log", chan::Status::Old), 0);
        int flag = 0;
        LOGCOUNT(flag);
        EXPECT_EQ(flag, lines >= 4 ? 1 : 0);
        ERRMSG(" ZORVA run completed", 0);
        chan::close(IUERR);
        EXPECT_EQ(read_file("errorf.log"), text + "\n  ZORVA run completed\n") << lines << " lines";
    }
}

}  // namespace
}  // namespace zorva
