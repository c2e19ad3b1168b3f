#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/channels.hpp"
#include "main/config.hpp"
#include "main/fnames.hpp"
#include "tests/support/testdir.hpp"

namespace zorva::fnames {
namespace {

class SetFnames : public test::TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        fnames::reset();
        cfg::reset();
    }
    int run(int mode) {
        int ierr = -1;
        SETFNAMES(11, 5, 6, RUNFILES[5], EXTS, mode, ierr);
        EXPECT_FALSE(chan::is_open(11));
        EXPECT_FALSE(chan::is_open(14));
        return ierr;
    }
    static int count(const std::string& hay, const std::string& needle) {
        int n = 0;
        for (std::size_t p = hay.find(needle); p != std::string::npos; p = hay.find(needle, p + 1)) ++n;
        return n;
    }
};

const std::string kNoList = "\n fnames.zrv          file cannot be opened or is incomplete;\n\n";

// Screen text of one prompt: the notice, the prompt text after PAD blanks
// (right-justified in 60 columns), the answer's line end and two empty lines.
std::string prompted(int pad, const char* text) {
    std::string s = kNoList;
    s.append(static_cast<std::size_t>(pad), ' ');
    s.append(text);
    s.append("\n\n\n");
    return s;
}

// Names from the list file: any order, leading blanks and trailing words
// dropped, extensions matched without regard to case, names kept as written.
TEST_F(SetFnames, NamesFromList) {
    write_file("fnames.zrv",
               "run.alt.pot\n"        // first "." does not start ".pot"
               "noextension\n"
               "  Hull.GDF  geometry of the hull\n"
               "  Model.POT extra words\n"
               "abcdefghijklmnop.frc\n"
               "other.pot\n");
    EXPECT_EQ(run(0), 0);
    EXPECT_EQ(FILEPOT, "Model.POT");
    EXPECT_EQ(GDFNAME(1), "Hull.GDF");
    EXPECT_EQ(FILEP2F, "Model.p2f");
    EXPECT_EQ(screen.str(), "");

    // The .cfg search finds nothing in an existing list: the default, no prompt.
    EXPECT_EQ(run(-1), 0);
    EXPECT_EQ(FILECFG, "config.zrv");

    EXPECT_EQ(run(1), 0);
    EXPECT_EQ(FILEFRC, "abcdefghijklmnop.frc");
    EXPECT_EQ(FILEOUT, "Model.out");
    EXPECT_EQ(FILEHST, "Model.hst");
    EXPECT_EQ(screen.str(), "");
}

TEST_F(SetFnames, ConfigurationFromListOrPrompt) {
    write_file("fnames.zrv", "a.pot\nrun.CFG\n");
    EXPECT_EQ(run(-1), 0);
    EXPECT_EQ(FILECFG, "run.CFG");

    std::filesystem::remove("fnames.zrv");
    set_input("   My Run.cfg\n");
    EXPECT_EQ(run(-1), 0);
    EXPECT_EQ(FILECFG, "My");
    EXPECT_EQ(screen.str(), prompted(14, " Enter full name of configuration file (CFG): "));
}

// An empty first line ends the list: every name is asked for; typed names
// keep their case.
TEST_F(SetFnames, EmptyFirstLineAsksForAll) {
    write_file("fnames.zrv", "\nmodel.pot\nmodel.gdf\n");
    set_input("Ship.POT\n ship.gdf\n");
    EXPECT_EQ(run(0), 0);
    EXPECT_EQ(FILEPOT, "Ship.POT");
    EXPECT_EQ(GDFNAME(1), "ship.gdf");
    EXPECT_EQ(FILEP2F, "Ship.p2f");
    EXPECT_EQ(screen.str(), prompted(10, " Enter full name of potential control file (POT): ") +
                                prompted(13, " Enter full name of geometric data file (GDF): "));
}

TEST_F(SetFnames, AlternativePotentialFileNeedsNoGeometryName) {
    cfg::IALTPOT = 2;
    set_input("a.pot\n");
    EXPECT_EQ(run(0), 0);
    EXPECT_EQ(FILEPOT, "a.pot");
    EXPECT_EQ(GDFNAME(1), "");
    EXPECT_EQ(count(screen.str(), "(GDF)"), 0);
}

TEST_F(SetFnames, ForceNamesFromPrompts) {
    set_input("run\nrun.frc\n");
    EXPECT_EQ(run(1), 0);
    EXPECT_EQ(FILEPOT, "run");
    EXPECT_EQ(FILEFRC, "run.frc");
    EXPECT_EQ(FILEP2F, "run.p2f");
    EXPECT_EQ(FILEOUT, "run.out");
    EXPECT_EQ(FILEHST, "run.hst");
    EXPECT_EQ(count(screen.str(), " Enter RUNID (name of POT or P2F data file): "), 1);
    EXPECT_EQ(count(screen.str(), " Enter full name of force control file (FRC): "), 1);
}

// At the end of the keyboard input a prompt fails with a message instead
// of waiting.
TEST_F(SetFnames, EndOfInputAtPrompt) {
    struct Case {
        int mode;
        const char* input;
        const char* prompt;
    };
    const Case cases[] = {
        {-1, "", "Enter full name of configuration file (CFG):"},
        {0, "", "Enter full name of potential control file (POT):"},
        {0, "a.pot\n", "Enter full name of geometric data file (GDF):"},
        {1, "run\n", "Enter full name of force control file (FRC):"},
    };
    for (const Case& c : cases) {
        set_input(c.input);
        screen.str("");
        EXPECT_EQ(run(c.mode), 1) << c.prompt;
        EXPECT_EQ(count(screen.str(), std::string("\n  Keyboard input ended without an answer to: ") + c.prompt + "\n"), 1)
            << screen.str();
    }
}

const std::string kOld =
    "\n"
    "     WARNING!\n"
    "\n"
    "     An old output file exists with the specified filename ";
const std::string kAsk =
    "     Options: overwrite old file or rename new file:\n"
    "\n"
    "     Overwrite old file?  (Y/N) :";

TEST_F(SetFnames, OldOutputOverwrite) {
    write_file("fnames.zrv", "a.pot\na.gdf\n");
    write_file("a.p2f", "old results");
    set_input("y\n");
    EXPECT_EQ(run(0), 0);
    EXPECT_EQ(FILEP2F, "a.p2f");
    EXPECT_FALSE(std::filesystem::exists("a.p2f"));
    EXPECT_EQ(screen.str(), kOld + "a.p2f\n" + kAsk);
}

// Declining leads to a new name, which is checked in turn; blank names are
// asked for again.
TEST_F(SetFnames, OldOutputRename) {
    write_file("fnames.zrv", "a.pot\na.frc\n");
    write_file("a.out", "old report");
    write_file("b.out", "another old report");
    set_input("N\n  \nb.out\nno\nNew.out\n");
    EXPECT_EQ(run(1), 0);
    EXPECT_EQ(FILEOUT, "New.out");
    EXPECT_EQ(FILEHST, "New.hst");
    EXPECT_EQ(FILEP2F, "a.p2f");
    EXPECT_EQ(read_file("a.out"), "old report");
    EXPECT_EQ(read_file("b.out"), "another old report");
    EXPECT_EQ(count(screen.str(), "\n Enter new filename for output file:    "), 3);
    EXPECT_EQ(count(screen.str(), kOld + "b.out\n" + kAsk), 1);
}

TEST_F(SetFnames, OldOutputEndOfInputKeepsFile) {
    write_file("fnames.zrv", "a.pot\na.gdf\n");
    write_file("a.p2f", "old results");
    for (const char* input : {"", "n\n"}) {
        set_input(input);
        screen.str("");
        EXPECT_EQ(run(0), 1) << "input '" << input << "'";
        EXPECT_EQ(read_file("a.p2f"), "old results");
        EXPECT_EQ(count(screen.str(), "\n  Keyboard input ended; old output file not overwritten: a.p2f\n"), 1);
    }
}

// A directory or an input file of the run is never offered for
// overwriting: the dialogue says so and asks for another name, and the
// input stays as it was.  Another spelling of an input file is caught too.
TEST_F(SetFnames, NewNameMayNotBeAnInputOrADirectory) {
    struct Case {
        int mode;
        const char* old;     // old output file
        const char* answer;  // the refused name
        const char* input;   // file that must stay
    };
    const Case cases[] = {
        {0, "a.p2f", "a.gdf", "a.gdf"},     {0, "a.p2f", "a.pot", "a.pot"},
        {0, "a.p2f", "fnames.zrv", "fnames.zrv"}, {0, "a.p2f", "run.cfg", "run.cfg"},
        {0, "a.p2f", "./a.gdf", "a.gdf"},   {0, "a.p2f", "a.frc", "a.frc"},
        {0, "a.p2f", "sub", "sub/keep"},    {1, "a.out", "a.p2f", "a.p2f"},
        {1, "a.out", "a.frc", "a.frc"},     {1, "a.out", "sub", "sub/keep"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.old) + " -> " + c.answer);
        fnames::reset();
        std::filesystem::create_directory("sub");
        for (const char* f : {"a.gdf", "a.pot", "a.frc", "a.p2f", "run.cfg", "sub/keep", c.old})
            write_file(f, std::string("content of ") + f);
        write_file("fnames.zrv", "run.cfg\na.pot\na.gdf\na.frc\n");
        const std::string list = read_file("fnames.zrv");
        int ierr = -1;
        SETFNAMES(11, 5, 6, RUNFILES[5], EXTS, -1, ierr);
        ASSERT_EQ(ierr, 0);
        const std::string next = c.mode == 0 ? "new.p2f" : "new.out";
        set_input(std::string("n\n") + c.answer + "\n" + next + "\n");
        screen.str("");
        EXPECT_EQ(run(c.mode), 0) << screen.str();
        EXPECT_EQ(c.mode == 0 ? FILEP2F : FILEOUT, next);
        EXPECT_EQ(count(screen.str(), std::string("     ") + c.answer +
                                          " is a directory or an input file of this run;\n"),
                  1)
            << screen.str();
        const std::string in(c.input);
        EXPECT_EQ(read_file(in), in == "fnames.zrv" ? list : "content of " + in);
    }
}

TEST_F(SetFnames, ListLineReader) {
    write_file("names.txt", "  Model.POT extra\n\tTab.gdf\tgeometry\nabcdefghijklmnopqrstuvwxyz\nnodot\n   \nlater.gdf\n");
    ASSERT_EQ(chan::open(11, "names.txt", chan::Status::Old), 0);
    struct Line {
        const char* name;
        int idot, istat;
    };
    const Line lines[] = {{"Model.POT", 6, 0}, {"Tab.gdf", 4, 0}, {"abcdefghijklmnopqrst", 0, 0}, {"nodot", 0, 0}, {"", 0, 1}, {"later.gdf", 6, 0},
                          {"", 0, 1}};
    for (const Line& l : lines) {
        std::string name = "junk";
        int idot = -1, istat = -1;
        RDFNLINE(11, name, idot, istat);
        EXPECT_EQ(name, l.name);
        EXPECT_EQ(idot, l.idot) << l.name;
        EXPECT_EQ(istat, l.istat) << l.name;
    }
}

}  // namespace
}  // namespace zorva::fnames
