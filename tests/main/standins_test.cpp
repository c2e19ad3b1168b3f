// The program's stand-ins for routines not in this build stop the run: a
// message naming the routine, and status 1 where the routine has one.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "common/channels.hpp"
#include "main/drivers/standins.hpp"
#include "tests/support/testdir.hpp"

namespace zorva {
namespace {

class StandIns : public test::TempDirTest {};

TEST_F(StandIns, FailLoudly) {
    struct Case {
        const char* name;
        std::function<int()> call;  // status, -1 where the routine has none
    };
    const Case cases[] = {
        {"RGKDONE", [] { RGKDONE(); return -1; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        screen.str("");
        const int st = c.call();
        if (st != -1) {
            EXPECT_EQ(st, 1);
        }
        const std::string s = screen.str();
        EXPECT_NE(s.find(std::string("(") + c.name + ")"), std::string::npos) << s;
        EXPECT_NE(s.find("not available in this build\n"), std::string::npos) << s;
    }
}

}  // namespace
}  // namespace zorva
