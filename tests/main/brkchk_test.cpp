#include "main/brkchk.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/channels.hpp"
#include "tests/support/testdir.hpp"

namespace zorva {
namespace {

class BreakFile : public test::TempDirTest {
protected:
    static int count(const std::string& hay, const std::string& needle) {
        int n = 0;
        for (std::size_t p = hay.find(needle); p != std::string::npos; p = hay.find(needle, p + 1)) ++n;
        return n;
    }
};

const std::string kMenu =
    "\n"
    "        File BREAK.ZRV exists.  Select option (b,c,d):\n"
    "\n"
    "         b: Break run and continue with reduced NPER \n"
    "         c: Continue run and keep BREAK.ZRV  \n"
    "         d: Delete BREAK.ZRV and continue run \n"
    "                                    Enter b,c, or d:    ";

TEST_F(BreakFile, NoFileNoOutput) {
    set_input("b\n");
    int ibrk = 5;
    BRKCHK(1, 1, ibrk);
    EXPECT_EQ(ibrk, 0);
    EXPECT_EQ(screen.str(), "");
}

TEST_F(BreakFile, MessageAndMenu) {
    write_file("break.zrv", "");  // an empty file counts like any other
    set_input("c\n");
    int ibrk = 5;
    BRKCHK(3, 1, ibrk);
    EXPECT_EQ(ibrk, 0);
    EXPECT_EQ(screen.str(), "\n  Break at start of period loop, period JPER=3\n\n" + kMenu);
    EXPECT_FALSE(chan::is_open(8));
}

// Answers: break, continue, delete; anything else (or an empty line)
// shows the menu again; the end of the input counts as a break.
TEST_F(BreakFile, Answers) {
    struct Case {
        const char* input;
        int ibrk;
        bool file_stays;
        int menus;
    };
    const Case cases[] = {
        {"B\n", 1, true, 1},
        {"b and more\n", 1, true, 1},
        {"x\nd\n", 0, false, 2},
        {"c\n", 0, true, 1},
        {"C\n", 0, true, 1},
        {"\n\nD\n", 0, false, 3},
        {"", 1, true, 1},
        {"x\n", 1, true, 2},
    };
    for (const Case& c : cases) {
        write_file("break.zrv", "stop please\n");
        set_input(c.input);
        screen.str("");
        int ibrk = 5;
        BRKCHK(12, 2, ibrk);
        const std::string out = screen.str();
        EXPECT_EQ(ibrk, c.ibrk) << "input '" << c.input << "'";
        EXPECT_EQ(std::filesystem::exists("break.zrv"), c.file_stays) << "input '" << c.input << "'";
        EXPECT_EQ(count(out, "Enter b,c, or d:"), c.menus) << "input '" << c.input << "'";
        EXPECT_EQ(count(out, "  Break before CALL SOLVE, period JPER=12\n"), 1) << "input '" << c.input << "'";
        EXPECT_FALSE(chan::is_open(8));
    }
}

}  // namespace
}  // namespace zorva
