// The main program over the stage switches, stage failures and warnings:
// the run-log lines, the stage error logs, the notices and the exit status.
// The test clock is fixed, so every stamp carries the same date and time.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
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
// A message with a value is followed by an empty line.
V msgv(const std::string& text) { return {"", " " + text, ""}; }
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
    // The stage start, followed by the model input's echo of its files.
    config("");
    const V PSTART = cat({stamp("POTEN run started: "), model_echo()});
    const V POTEN = cat({PSTART, msg(" POTEN module run completed")});
    // Nothing solved: the potential control file has no diffraction problem.
    const std::string NODIFF = pot("0\n0\n", "0 0 0", "1 -1");
    config("", NODIFF);
    const V PSTART_ND = cat({stamp("POTEN run started: "), model_echo()});
    // Irregular-frequency removal asked for (IRR = 1 in the potential
    // control file) on a body without lid panels: the geometry step warns
    // and the run goes on.
    const std::string SRCPOT = pot("0\n1\n", "0 1 0");
    const V WIRR = msgv(" Warning: IRR>0 but no interior free-surface for body=1");
    config("", SRCPOT);
    const V PSTART_SRC = cat({stamp("POTEN run started: "), model_echo()});
    // A depth beyond the range of the Green-function set-up at the second
    // period (nu h = 0.16 * 1e6 at 5 s; the limit 1e5 is nu = 0.1, 2 pi /
    // sqrt(0.1 g) = 6.34482 s): refused before the first period is solved.
    const std::string DEEPPOT = pot_depth("1.0E6");
    config("", DEEPPOT);
    const V PSTART_DEEP = cat({stamp("POTEN run started: "), model_echo()});
    const V EDEEP = msg("Error in POT file run.pot: wave period out of range, period number 2: period 5 s beyond the "
                        "limit 6.34482 s, set by the largest deep-water wavenumber x depth the finite-depth wave Green "
                        "function takes (1e+05)");
    // The input checks warn of a run without a solution.
    const V WNOSOLVE = msg("Warning: ISOLVE=-1 is used only for wavemakers ");
    const V PDONE = stamp("POTEN run completed: ");
    const V FSTART = stamp("FORCE run started: ");
    const V FDONE = stamp("FORCE run completed: ");
    const V ZDONE = msg(" ZORVA run completed");
    const V NOTP = msg(" See WARNING messages in ERRORP.LOG file ");
    const V NOTF = msg(" See WARNING messages in ERRORF.LOG file ");
    const V NOFILE = {"-"};
    const V REFUSED =
        msg("Force control file run.frc refused before the first period is solved; no .p2f file is written");
    const V KEPT = msg(" The solved potentials are kept in run.p2f: a run with IPOTEN=0 computes the forces from it");
    // The FORCE set-up echoes the force control file (second layout: no
    // inertia matrix in the run log).
    const std::string FRC = "Force control of the test model\n 1 0 0 0 0 0 0 0 0\n1025.0\n0 0 0\n0\n0\n0\n0\n0\n";
    const V FECHO = {"", " Input file run.frc", "Force control of the test model", " 1 0 0 0 0 0 0 0 0", "1025.0",
                     "0 0 0", "0", "0", "0", "0", "0"};
    const std::vector<MainCase> cases = {
        {"both stages", "", [] {}, 0, cat({POTEN, PDONE, FSTART, FECHO, FDONE, ZDONE}),
         msg(" POTEN module run completed"), ZDONE},
        {"POTEN only", "IFORCE=0\n", [] {}, 0, cat({POTEN, PDONE, FDONE, ZDONE}),
         cat({msg(" POTEN module run completed"), ZDONE}), NOFILE},
        // The .p2f file of an earlier run.
        {"FORCE only", "IPOTEN=0\n",
         [] {
             write_file("run.cfg", "IALTFRC=2\n");
             poten_file();
             write_file("run.cfg", "IPOTEN=0\nIALTFRC=2\n");
             std::remove("errorp.log");
         },
         0, cat({PDONE, FSTART, FECHO, FDONE, ZDONE}), NOFILE, ZDONE},
        {"neither stage", "IPOTEN=0\nIFORCE=0\n", [] {}, 0, cat({PDONE, FDONE, ZDONE}), NOFILE, NOFILE},
        {"POTEN fails", "", [DEEPPOT] { write_file("run.pot", DEEPPOT); }, 1,
         cat({PSTART_DEEP, EDEEP, PDONE, FDONE}), EDEEP, NOFILE},
        {"configuration fails", "ISOLVE=?\n", [] {}, 1,
         cat({msg(" Error reading input file CONFIG.ZRV"),
              msg(" Configuration file run.cfg, line 1, keyword ISOLVE: value \"?\" not accepted"), PDONE, FDONE}),
         NOFILE, NOFILE},
        // What the FORCE stage would refuse is refused before the solve.
        {"force control file missing", "", [] { std::remove("run.frc"); }, 1,
         cat({PSTART, msg("Unable to open .FRC input file"), REFUSED, PDONE, FDONE}),
         cat({msg("Unable to open .FRC input file"), REFUSED}), NOFILE},
        // A refusal that only the FORCE stage can make: the potentials stay.
        {"FORCE fails after the solve", "", [] { write_file("run.out", ""); }, 1,
         cat({POTEN, PDONE, FSTART, msg(" Keyboard input ended; old output file not overwritten: run.out"), KEPT,
              FDONE}),
         msg(" POTEN module run completed"),
         cat({msg(" Keyboard input ended; old output file not overwritten: run.out"), KEPT})},
        {"POTEN warning", "",
         [SRCPOT] {
             write_file("run.pot", SRCPOT);
         },
         0,
         cat({PSTART_SRC, WIRR, msg(" POTEN module run completed"), PDONE,
              FSTART, FECHO, FDONE, ZDONE, NOTP}),
         cat({WIRR, msg(" POTEN module run completed")}), cat({ZDONE, NOTP})},
        // Nothing solved: the option checks reset option 1 with a warning.
        {"FORCE warning", "ISOLVE=-1\n", [NODIFF] { write_file("run.pot", NODIFF); }, 0,
         cat({PSTART_ND, WNOSOLVE, msg(" POTEN module run completed"), PDONE, FSTART, FECHO,
              msgv(" WARNING: IOPTN(I) reset to 0 for I=1"), FDONE, ZDONE, NOTP, NOTF}),
         cat({WNOSOLVE, msg(" POTEN module run completed")}),
         cat({msgv(" WARNING: IOPTN(I) reset to 0 for I=1"), ZDONE, NOTP, NOTF})},
        {"POTEN warning, options refused", "",
         [SRCPOT] {
             write_file("run.pot", SRCPOT);
             write_file("run.frc", "Bad options\n 1 5 0 0 0 0 0 0 0\n1025.0\n0 0 0\n0\n0\n0\n0\n0\n");
         },
         1, cat({PSTART_SRC, WIRR, msgv(" Illegal option index IOPTN(I), I=2"), REFUSED, PDONE, FDONE}),
         cat({WIRR, msgv(" Illegal option index IOPTN(I), I=2"), REFUSED}), NOFILE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        chan::reset();
        chan::set_keyboard(&keyboard);
        chan::set_screen(&screen);
        for (const char* f : {"errorp.log", "errorf.log", "zorvalog.txt", "run.out", "run.hst", "run.p2f"})
            std::remove(f);
        fresh();
        config(std::string(c.cfg) + "IALTFRC=2\n");
        write_file("run.frc", FRC);
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
    // No stage has begun.
    EXPECT_FALSE(chan::exists("errorp.log"));
    EXPECT_FALSE(chan::exists("errorf.log"));
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
    // The screen output after the run summary that the model input shows
    // first (its date and time vary), which ends with the starting time (and
    // without a solution no heading of the progress lines follows); "?" when
    // the summary is not there.
    static std::string after_summary(const std::string& out) {
        const std::string first = " Low-order panel method  (ILOWHI=0)\n";
        const std::string last = " POTEN run date and starting time:";
        std::size_t p = out.find(last);
        if (out.compare(0, first.size(), first) != 0 || p == std::string::npos) return "?";
        return out.substr(out.find('\n', p) + 1);
    }
    static constexpr const char* NOSOLVE = "\n Warning: ISOLVE=-1 is used only for wavemakers \n";
};

// A run without a solution (ISOLVE = -1): a wavemaker warning, no Rankine
// integrals.
TEST_F(Program, PotenOnlyRun) {
    config("IFORCE=0\nISOLVE=-1\n", pot("0\n0\n", "0 0 0", "1 -1"));
    std::string out;
    EXPECT_EQ(run("", out), 0);
    // The order of the stamps and messages; times masked.
    V log = read_lines("zorvalog.txt");
    for (auto& l : log)
        if (l.size() >= 21 && l[l.size() - 3] == ':' && l[l.size() - 6] == ':') l = l.substr(0, l.size() - 21) + "<T>";
    EXPECT_EQ(log, cat({{"", "ZORVALOG.TXT file from ZORVA run: <T>", "", " Input file run.cfg", "IFORCE=0", "ISOLVE=-1", "",
                         "POTEN run started: <T>"},
                        model_echo(),
                        {"", " Warning: ISOLVE=-1 is used only for wavemakers ", "", "  POTEN module run completed", "",
                         "POTEN run completed: <T>", "", "FORCE run completed: <T>", "", "  ZORVA run completed", "",
                         "  See WARNING messages in ERRORP.LOG file "}}));
    V elog = read_lines("errorp.log");
    ASSERT_EQ(elog.size(), 9u);
    EXPECT_EQ(elog[0].substr(0, 37), "Warning and error log from POTEN run:");
    EXPECT_EQ(elog[2], " Warning: ISOLVE=-1 is used only for wavemakers ");
    EXPECT_EQ(elog[4], "  POTEN module run completed");
    EXPECT_EQ(elog[6], "  ZORVA run completed");
    EXPECT_FALSE(chan::exists("errorf.log"));
    EXPECT_EQ(after_summary(out), std::string(NOSOLVE) +
                                      "\n  POTEN module run completed\n\n  ZORVA run completed\n"
                                      "\n  See WARNING messages in ERRORP.LOG file \n");
}

TEST_F(Program, BreakDialogue) {
    config("IFORCE=0\nISOLVE=-1\n", pot("0\n0\n", "0 0 0", "1 -1"));
    write_file("break.zrv", "");
    std::string out;
    EXPECT_EQ(run("Y\\nb\\n", out), 0);
    out = after_summary(out);
    const std::string menu =
        "\n        File BREAK.ZRV exists.  Select option (b,c,d):\n\n"
        "         b: Break run and continue with reduced NPER \n"
        "         c: Continue run and keep BREAK.ZRV  \n"
        "         d: Delete BREAK.ZRV and continue run \n"
        "                                    Enter b,c, or d:    ";
    // The message once, the menu twice (the first answer is not a choice).
    EXPECT_EQ(out.substr(0, out.find(menu)),
              std::string(NOSOLVE) + "\n  Break at start of period loop, period JPER=1\n\n");
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

// Solutions that stop at MAXITT iterations: both stages run to their end,
// and the closing line and the exit status (2) tell the run from a clean one.
TEST_F(Program, UnconvergedSolutionsEndWithTheirOwnStatus) {
    test::copy_example("box");
    write_file("box.cfg", read_file("box.cfg") + "MAXITT=1\n");
    std::string out;
    EXPECT_EQ(run("", out), 2);
    const std::string tail =
        "\n  ZORVA run completed\n\n  See WARNING messages in ERRORP.LOG file \n"
        "\n  Solutions did not converge within MAXITT iterations: see ERRORP.LOG file\n";
    ASSERT_GE(out.size(), tail.size());
    EXPECT_EQ(out.substr(out.size() - tail.size()), tail);
    EXPECT_NE(read_file("errorp.log").find(" No convergence after MAXITT iterations "), std::string::npos);
    for (const char* f : {"box.p2f", "box.out", "box.1", "box.4"}) EXPECT_TRUE(chan::exists(f)) << f;
    const V log = read_lines("zorvalog.txt");
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), "  Solutions did not converge within MAXITT iterations: see ERRORP.LOG file");
}

// A configuration that gives nothing (emptied, of blanks only, of comments
// only, not listed, listed but absent) is legal, and every keyword keeps its default (here
// the low-order method, although hobox.gdf is a higher-order geometry);
// the run says so once, on the screen and in both logs, and its closing
// lines point to the POTEN log.
TEST_F(Program, ConfigurationWithoutLinesWarnsOnce) {
    const std::string TAIL = "; every keyword keeps its default";
    struct Case {
        const char* name;
        std::function<void()> change;
        std::string warning;
    };
    const Case cases[] = {
        {"emptied", [] { write_file("hobox.cfg", ""); }, "configuration file hobox.cfg is empty"},
        {"blanks only", [] { write_file("hobox.cfg", "  \n\t\n\n"); }, "configuration file hobox.cfg is empty"},
        {"comments only",
         [] { write_file("hobox.cfg", "Configuration of the higher-order box.\nHigher-order method, both stages.\n"); },
         "configuration file hobox.cfg sets no keyword"},
        {"not in the list file",
         [] {
             std::string list;
             for (const auto& l : read_lines("fnames.zrv"))
                 if (l != "hobox.cfg") list += l + "\n";
             write_file("fnames.zrv", list);
         },
         "configuration file config.zrv not found"},
        {"listed but absent", [] { std::remove("hobox.cfg"); }, "configuration file hobox.cfg not found"},
    };
    auto count = [](const std::string& text, const std::string& what) {
        int n = 0;
        for (std::size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
        return n;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const auto& e : std::filesystem::directory_iterator(".")) std::filesystem::remove_all(e.path());
        test::copy_example("hobox");
        c.change();
        std::string out;
        EXPECT_EQ(run("", out), 0) << out;
        const std::string line = "  WARNING: " + c.warning + TAIL + "\n";
        EXPECT_EQ(count(out, line), 1) << out;
        EXPECT_EQ(count(out, "WARNING"), 2) << out;  // and the closing pointer to the POTEN log
        EXPECT_NE(out.find("\n  See WARNING messages in ERRORP.LOG file \n"), std::string::npos) << out;
        EXPECT_NE(out.find(" Low-order panel method  (ILOWHI=0)"), std::string::npos) << out;
        const V elog = read_lines("errorp.log");
        ASSERT_GE(elog.size(), 3u);
        EXPECT_EQ(elog[2] + "\n", line);
        EXPECT_EQ(count(read_file("errorp.log"), "WARNING"), 1);
        const std::string log = read_file("zorvalog.txt");
        EXPECT_EQ(count(log, line), 1) << log;
        EXPECT_LT(log.find("\nPOTEN run started: "), log.find(line)) << log;
        EXPECT_EQ(count(read_file("errorf.log"), "WARNING: configuration"), 0);
    }
}

// A comment line that starts with a keyword (a setting that lost its "=")
// and a line of an unknown keyword are warned of on the screen and in the
// log of the first stage that runs, and the closing lines point to it: the
// POTEN log, or the FORCE log of a run without the POTEN stage.
TEST_F(Program, ConfigurationLineWarningsGoToTheStageLog) {
    auto count = [](const std::string& text, const std::string& what) {
        int n = 0;
        for (std::size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
        return n;
    };
    test::copy_example("box");
    write_file("box.cfg", "Box\nILOWHI=0\nISOLVE 1\nDirect solver (ISOLVE = 1)\n");
    std::string out;
    EXPECT_EQ(run("", out), 0) << out;
    const std::string w1 =
        "\n  WARNING: keyword ISOLVE without = in line 3 of configuration file box.cfg; line taken as a comment\n";
    const std::string w2 = "\n  WARNING: unknown keyword DIRECT in configuration file box.cfg; line ignored\n";
    EXPECT_EQ(count(out, w1 + w2), 1) << out;
    EXPECT_NE(out.find("\n  See WARNING messages in ERRORP.LOG file \n"), std::string::npos) << out;
    EXPECT_EQ(count(read_file("errorp.log"), w1 + w2), 1) << read_file("errorp.log");
    EXPECT_EQ(count(read_file("zorvalog.txt"), w1 + w2), 1);
    EXPECT_EQ(count(read_file("errorf.log"), "WARNING: keyword"), 0);

    // FORCE only, on the .p2f file of that run.
    std::remove("errorp.log");
    write_file("box.cfg", "IPOTEN=0\nILOWHI 0\n");
    EXPECT_EQ(run("y\\n", out), 0) << out;
    const std::string w3 =
        "\n  WARNING: keyword ILOWHI without = in line 2 of configuration file box.cfg; line taken as a comment\n";
    EXPECT_EQ(count(out, w3), 1) << out;
    EXPECT_NE(out.find("\n  See WARNING messages in ERRORF.LOG file \n"), std::string::npos) << out;
    EXPECT_EQ(count(read_file("errorf.log"), w3), 1) << read_file("errorf.log");
    EXPECT_FALSE(chan::exists("errorp.log"));
}

TEST_F(Program, FailedStageExitStatus) {
    config("ILOWHI=3\n");
    std::string out;
    EXPECT_EQ(run("", out), 1);
    EXPECT_EQ(out,
              "\n  Illegal value of ILOWHI = 3\n\n\n  Error reading input file CONFIG.ZRV\n"
              "\n  Configuration file run.cfg, line 1, keyword ILOWHI: value \"3\" not accepted\n");
    EXPECT_EQ(read_file("zorvalog.txt").find("ZORVA run completed"), std::string::npos);
}

}  // namespace
}  // namespace zorva
