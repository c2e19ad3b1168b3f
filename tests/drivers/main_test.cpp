// The main program over the stage switches, stage failures and warnings:
// the run-log lines, the stage error logs, the notices and the exit status.
// The test clock is fixed, so every stamp carries the same date and time.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "common/channels.hpp"
#include "main/drivers/mainprog.hpp"
#include "tests/drivers/fixture.hpp"

namespace zorva {
namespace {

using test::DriverTest;
using V = std::vector<std::string>;

const std::string DT = " 05-Mar-2024 09:07:03";

V stamp(const std::string& text) { return {"", text + DT}; }
V msg(const std::string& text) { return {"", " " + text}; }
V cat(std::initializer_list<V> parts) {
    V out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

struct MainCase {
    const char* name;
    const char* cfg;
    std::function<void()> pre;
    int status;
    V runlog;   // after the opening stamp and the echo of the configuration
    V errorp;   // after the header; {"-"}: no file
    V errorf;
};

TEST_F(DriverTest, MainRuns) {
    const V POTEN = cat({stamp("POTEN run started: "), msg(" POTEN module run completed")});
    const V PDONE = stamp("POTEN run completed: ");
    const V FSTART = stamp("FORCE run started: ");
    const V FDONE = stamp("FORCE run completed: ");
    const V ZDONE = msg(" ZORVA run completed");
    const V NOTP = msg(" See WARNING messages in ERRORP.LOG file ");
    const V NOTF = msg(" See WARNING messages in ERRORF.LOG file ");
    const V NOFILE = {"-"};
    const std::vector<MainCase> cases = {
        {"both stages", "", [] {}, 0, cat({POTEN, PDONE, FSTART, FDONE, ZDONE}),
         msg(" POTEN module run completed"), ZDONE},
        {"POTEN only", "IFORCE=0\n", [] {}, 0, cat({POTEN, PDONE, FDONE, ZDONE}),
         cat({msg(" POTEN module run completed"), ZDONE}), NOFILE},
        {"FORCE only", "IPOTEN=0\n", [] {}, 0, cat({PDONE, FSTART, FDONE, ZDONE}), NOFILE, ZDONE},
        {"neither stage", "IPOTEN=0\nIFORCE=0\n", [] {}, 0, cat({PDONE, FDONE, ZDONE}), NOFILE, NOFILE},
        {"POTEN fails", "", [] { standin::fail("GEOMSTAT"); }, 1,
         cat({stamp("POTEN run started: "), msg("Error return from GEOMSTAT"), PDONE, FDONE}),
         msg("Error return from GEOMSTAT"), NOFILE},
        {"configuration fails", "ISOLVE=?\n", [] {}, 1,
         cat({msg(" Error reading input file CONFIG.ZRV"), PDONE, FDONE}), NOFILE, NOFILE},
        {"FORCE fails", "", [] { standin::fail("FRCSETUP"); }, 1,
         cat({POTEN, PDONE, FSTART, msg("Error return from FRCSETUP"), FDONE}),
         msg(" POTEN module run completed"), msg("Error return from FRCSETUP")},
        {"POTEN warning", "", [] { standin::warn("GEOMSTAT"); }, 0,
         cat({stamp("POTEN run started: "), msg("Warning from GEOMSTAT"), msg(" POTEN module run completed"), PDONE,
              FSTART, FDONE, ZDONE, NOTP}),
         cat({msg("Warning from GEOMSTAT"), msg(" POTEN module run completed")}), cat({ZDONE, NOTP})},
        {"FORCE warning", "", [] { standin::warn("CHKOPT"); }, 0,
         cat({POTEN, PDONE, FSTART, msg("Warning from CHKOPT"), FDONE, ZDONE, NOTF}),
         msg(" POTEN module run completed"), cat({msg("Warning from CHKOPT"), ZDONE, NOTF})},
        {"POTEN warning, FORCE fails", "", [] { standin::warn("GEOMSTAT"); standin::fail("CHKOPT"); }, 1,
         cat({stamp("POTEN run started: "), msg("Warning from GEOMSTAT"), msg(" POTEN module run completed"), PDONE,
              FSTART, msg("Error return from CHKOPT"), FDONE, NOTP}),
         cat({msg("Warning from GEOMSTAT"), msg(" POTEN module run completed")}),
         cat({msg("Error return from CHKOPT"), NOTP})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        chan::reset();
        chan::set_keyboard(&keyboard);
        chan::set_screen(&screen);
        for (const char* f : {"errorp.log", "errorf.log", "zorvalog.txt"}) std::remove(f);
        cfg::reset();
        fnames::reset();
        model::reset();
        run::reset();
        sym::reset();
        standin::reset();
        config(c.cfg);
        c.pre();
        V echo = {"", " Input file run.cfg"};
        {
            std::ifstream in("run.cfg");
            for (std::string l; std::getline(in, l);) echo.push_back(l);
        }
        EXPECT_EQ(MAIN(), c.status);
        EXPECT_EQ(read_lines("zorvalog.txt"), cat({stamp("ZORVALOG.TXT file from ZORVA run: "), echo, c.runlog}));
        auto check_log = [](const char* file, const char* stage, const V& body) {
            if (body == V{"-"}) {
                EXPECT_FALSE(chan::exists(file)) << file;
                return;
            }
            EXPECT_EQ(read_lines(file),
                      cat({{std::string("Warning and error log from ") + stage + " run: " + DT}, body}))
                << file;
        };
        check_log("errorp.log", "POTEN", c.errorp);
        check_log("errorf.log", "FORCE", c.errorf);
    }
}

TEST_F(DriverTest, MainRunLogCannotOpen) {
    std::filesystem::create_directory("zorvalog.txt");
    EXPECT_NE(MAIN(), 0);
    EXPECT_EQ(screen.str(), " Unable to open ZORVA log file, UNIT =   4\n");
    EXPECT_TRUE(standin::CALLS.empty());
}

// The program itself, in a fresh directory, with the console on a pipe.
class Program : public DriverTest {
protected:
    static int run(const std::string& input, std::string& out) {
        std::string cmd = std::string(input.empty() ? "" : "printf '" + input + "' | ") + ZORVA_BINARY_DIR +
                          "/zorva" + (input.empty() ? " < /dev/null" : "") + " > screen.txt 2>&1";
        int st = std::system(cmd.c_str());
        out = read_file("screen.txt");
        return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    }
};

TEST_F(Program, PotenOnlyRun) {
    config("IFORCE=0\n");
    std::string out;
    EXPECT_EQ(run("", out), 0);
    // The order of the stamps and messages; times masked.
    V log = read_lines("zorvalog.txt");
    for (auto& l : log)
        if (l.size() >= 21 && l[l.size() - 3] == ':' && l[l.size() - 6] == ':') l = l.substr(0, l.size() - 21) + "<T>";
    EXPECT_EQ(log, V({"", "ZORVALOG.TXT file from ZORVA run: <T>", "", " Input file run.cfg", "ISOLVE = 1", "IFORCE=0", "",
                      "POTEN run started: <T>", "", "  POTEN module run completed", "", "POTEN run completed: <T>",
                      "", "FORCE run completed: <T>", "", "  ZORVA run completed"}));
    V elog = read_lines("errorp.log");
    ASSERT_EQ(elog.size(), 5u);
    EXPECT_EQ(elog[0].substr(0, 37), "Warning and error log from POTEN run:");
    EXPECT_EQ(elog[2], "  POTEN module run completed");
    EXPECT_EQ(elog[4], "  ZORVA run completed");
    EXPECT_FALSE(chan::exists("errorf.log"));
    // A progress line per period (direct solutions: -1 for both counts).
    EXPECT_EQ(out.substr(0, 14), "   10.0000    ");
    EXPECT_EQ(out.substr(22, 35), "          -1      -1\n    5.0000    ");
    EXPECT_TRUE(out.ends_with("      -1\n\n  POTEN module run completed\n\n  ZORVA run completed\n"));
}

TEST_F(Program, BreakDialogue) {
    config("IFORCE=0\n");
    write_file("break.zrv", "");
    std::string out;
    EXPECT_EQ(run("Y\\nb\\n", out), 0);
    const std::string menu =
        "\n        File BREAK.ZRV exists.  Select option (b,c,d):\n\n"
        "         b: Break run and continue with reduced NPER \n"
        "         c: Continue run and keep BREAK.ZRV  \n"
        "         d: Delete BREAK.ZRV and continue run \n"
        "                                    Enter b,c, or d:    ";
    // The message once, the menu twice (the first answer is not a choice).
    EXPECT_EQ(out.substr(0, out.find(menu)), "\n  Break at start of period loop, period JPER=1\n\n");
    std::size_t second = out.find(menu, out.find(menu) + 1);
    ASSERT_NE(second, std::string::npos);
    // The break message is logged in errorp.log, so the run ends with the notice.
    EXPECT_EQ(out.substr(second + menu.size()),
              "\n  POTEN module run completed\n\n  ZORVA run completed\n"
              "\n  See WARNING messages in ERRORP.LOG file \n");
    EXPECT_TRUE(chan::exists("break.zrv"));
    std::string log = read_file("zorvalog.txt");
    EXPECT_NE(log.find(" Break at start of period loop, period JPER=1\n"), std::string::npos);
    EXPECT_NE(log.find(" POTEN module run completed"), std::string::npos);
}

TEST_F(Program, FailedStageExitStatus) {
    config("ILOWHI=3\n");
    std::string out;
    EXPECT_EQ(run("", out), 1);
    EXPECT_EQ(out, "\n  Illegal value of ILOWHI = 3\n\n\n  Error reading input file CONFIG.ZRV\n");
    EXPECT_EQ(read_file("zorvalog.txt").find("ZORVA run completed"), std::string::npos);
}

}  // namespace
}  // namespace zorva
