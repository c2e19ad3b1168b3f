// Configuration reader: one table of configuration files, each with the
// values, given-flags, status and messages it must give.  Expected values
// are read off the lines of each case by hand.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "common/channels.hpp"
#include "common/freeread.hpp"
#include "main/config.hpp"
#include "main/fnames.hpp"
#include "tests/support/testdir.hpp"

namespace zorva {
namespace {

using namespace cfg;

struct CfgCase {
    const char* name;
    int runtype;                     // 0 POTEN, 1 FORCE
    const char* file;                // nullptr: no configuration file
    int ierr;
    std::string screen;              // messages, as the screen shows them (held warning included)
    std::vector<std::string> given;  // keywords whose CFGSET flag is 1
    std::function<void()> pre = [] {};
    std::function<void()> check = [] {};
};

const char* const READERR = "\n  Error reading input file CONFIG.ZRV\n";
// The warning of a configuration without lines, as the POTEN stage writes it.
std::string nolines(const std::string& what) {
    return "\n  WARNING: configuration file run.cfg " + what + "; every keyword keeps its default\n";
}
// The warning of a comment line that starts with a keyword.
std::string comment(int line, const std::string& key) {
    return "\n  WARNING: keyword " + key + " without = in line " + std::to_string(line) +
           " of configuration file run.cfg; line taken as a comment\n";
}
std::string unknown(const std::string& key) {
    return "\n  WARNING: unknown keyword " + key + " in configuration file run.cfg; line ignored\n";
}
// The warning of a trim given to a run without waterline trimming.
std::string notrim(int line) {
    return "\n  WARNING: keyword XTRIM in line " + std::to_string(line) +
           " of configuration file run.cfg ignored: no waterline trimming (ITRIMWL = 0)\n";
}
// The line after a refusal that names the refused item (value or body index).
std::string named(int line, const std::string& key, const std::string& item) {
    return "\n  Configuration file run.cfg, line " + std::to_string(line) + ", keyword " + key + ": " + item +
           " not accepted\n";
}

int given_flag(const std::string& key) {
    for (int k = 1; k <= NKEYS; ++k)
        if (key == KEYNAME[k - 1]) return CFGSET(k);
    ADD_FAILURE() << "no keyword " << key;
    return -1;
}

// FORCE stage set-up as the FORCE set-up leaves it before the call.
void force_arrays(int nbody, int ntanks) {
    NBODY = nbody;
    NTANKS = ntanks;
    NOOUT.allocate(9);
    IALTFRCN.allocate(nbody);
    RHOTANK.allocate(ntanks);
    RHOTANK.fill(-1.0f);
}

const std::vector<CfgCase>& cases() {
    static const std::vector<CfgCase> c = {
        {"no file: defaults, with a warning", 0, nullptr, 0, nolines("not found"), {},
         [] { ISOLVE = 5; },
         [] {
             EXPECT_EQ(MAXSCR, 2);
             EXPECT_EQ(IPERIO, 1);
             EXPECT_EQ(MAXITT, 35);
             EXPECT_EQ(IFORCE, 1);
             EXPECT_EQ(IPOTEN, 1);
             EXPECT_EQ(IALTPOT, 1);
             EXPECT_EQ(ISOLVE, 0);  // staged: not given becomes 0
             EXPECT_FLOAT_EQ(TOLGAPWL, 0.001f);
             EXPECT_FLOAT_EQ(PANEL_SIZE, -1.0f);
             EXPECT_EQ(IRR.extent(1), 1);
             EXPECT_EQ(XBODY.extent(2), 1);
         }},
        {"empty file: defaults, with a warning", 0, "", 0, nolines("is empty"), {},
         [] {}, [] { EXPECT_EQ(ILOWHI, 0); EXPECT_EQ(IPOTEN, 1); EXPECT_EQ(MAXITT, 35); }},
        {"blanks, tabs and line ends only", 0, " \n\t\r\n\n", 0, nolines("is empty"), {}},
        {"a byte-order mark and nothing else", 0, "\xEF\xBB\xBF", 0, nolines("is empty"), {}},
        {"byte-order mark before the first keyword", 0, "\xEF\xBB\xBFILOWHI=1\nISOLVE=1\n", 0, "",
         {"ILOWHI", "ISOLVE"}, [] {}, [] { EXPECT_EQ(ILOWHI, 1); EXPECT_EQ(ISOLVE, 1); }},
        {"byte-order mark inside a line is data", 0, "ISOLVE=1\n\xEF\xBB\xBFILOWHI=1\n", 0,
         "\n  WARNING: unknown keyword \xEF\xBB\xBFILOWHI in configuration file run.cfg; line ignored\n",
         {"ISOLVE"}, [] {}, [] { EXPECT_EQ(ILOWHI, 0); }},
        {"FORCE pass without a file: said once, by the POTEN pass", 1, nullptr, 0, "", {},
         [] { force_arrays(1, 0); }},
        // A line without = is a comment; one whose first word (letters,
        // digits and "_", after one leading quote) is a keyword in any case
        // gets a warning.
        {"lines without = are comments", 0,
         "Configuration for the hemisphere\n"
         "ILOWHI 1\n"
         "ilowhi: 1\n"
         "   Isolve\n"
         "NEWMDS(2) 3\n"
         "ILOWHIGH 1\n"
         "# MAXSCR 9\n"
         "\n"
         "ISOR\t1\n"
         "Iperio:\n"
         "MAXITT=50\n"
         "NOSUCHKEY = 3\n",
         0,
         comment(2, "ILOWHI") + comment(3, "ILOWHI") + comment(4, "ISOLVE") + comment(5, "NEWMDS") +
             comment(9, "ISOR") + comment(10, "IPERIO") + unknown("NOSUCHKEY"),
         {"MAXITT"},
         [] {},
         [] {
             EXPECT_EQ(ILOWHI, 0);
             EXPECT_EQ(ISOLVE, 0);
             EXPECT_EQ(ISOR, 0);
             EXPECT_EQ(MAXSCR, 2);
             EXPECT_EQ(MAXITT, 50);
             EXPECT_EQ(IPERIO, 1);
             EXPECT_EQ(NEWMDS.extent(1), 1);
         }},
        {"the first word of a comment ends at any character a keyword cannot hold", 0,
         "ILOWHI,1\n"
         "ILOWHI;1\n"
         "ILOWHI/1\n"
         "\"ILOWHI\" 1\n"
         "'isolve' 1\n"
         "Isor-1\n"
         "# ILOWHI 1\n"
         "ILOWHIGH;1\n"
         "\"Iso\" 1\n"
         "MAXITT=50\n",
         0,
         comment(1, "ILOWHI") + comment(2, "ILOWHI") + comment(3, "ILOWHI") + comment(4, "ILOWHI") +
             comment(5, "ISOLVE") + comment(6, "ISOR"),
         {"MAXITT"},
         [] {},
         [] { EXPECT_EQ(ILOWHI, 0); EXPECT_EQ(ISOLVE, 0); EXPECT_EQ(ISOR, 0); }},
        // The keyword is looked up first: a note with a parenthesis before
        // "=" is an unknown keyword, whatever follows; values at the limits
        // of their keywords and the values the program gives a meaning are
        // accepted.
        {"notes with a parenthesis before =, and values at their limits", 0,
         "Direct solver (ISOLVE = 1)\n"
         "Body 1 (the box) = 2 x 1 x 0.5 m\n"
         "XBODY(2) = 1 2 3 4\n"
         "KSPLIN = 16\nIQUADO = 16\nIQUADI = 16\n"
         "ISOLVE = -1\nISCATT = 1\nISOR = 1\nIQUAD = 1\nILOG = 1\nIDIAG = 1\nIRR(2) = 3\n"
         "IBODY_WAVEMAKER = 7\nIPERIO = 4\nICTRSURF = 0\n"
         "IALTFRC = 3\nMAXMIT = 30\nIREADRAO = 2\nIPNLBPT = -2147483647\nIWALLY0 = 1\nIFIELD_ARRAYS = 1\n",
         0, unknown("DIRECT") + unknown("BODY"),
         {"XBODY", "KSPLIN", "IQUADO", "IQUADI", "ISOLVE", "ISCATT", "ISOR", "IQUAD", "ILOG", "IDIAG", "IRR",
          "IBODY_WAVEMAKER", "IPERIO", "ICTRSURF", "IALTFRC", "MAXMIT", "IREADRAO", "IPNLBPT", "IWALLY0",
          "IFIELD_ARRAYS"},
         [] {},
         [] {
             EXPECT_EQ(ISOLVE, -1);
             EXPECT_FLOAT_EQ(XBODY(1, 2), 1.0f);
             EXPECT_EQ(KSPLIN, 16);
             EXPECT_EQ(IQUADO, 16);
             EXPECT_EQ(IQUADI, 16);
             EXPECT_EQ(IRR(2), 3);
             EXPECT_EQ(IBODY_WAVEMAKER, 7);
             EXPECT_EQ(IPERIO, 4);
         }},
        {"orders 0 and below: from the .spl file or the defaults", 0,
         "Higher order (KSPLIN = 3) = set below\nKSPLIN = 0\nIQUADO = -1\nIQUADI = -4\nIPERIO = 0\n", 0,
         unknown("HIGHER"), {"KSPLIN", "IQUADO", "IQUADI", "IPERIO"},
         [] {}, [] { EXPECT_EQ(KSPLIN, 0); EXPECT_EQ(IQUADO, -1); EXPECT_EQ(IQUADI, -4); EXPECT_EQ(IPERIO, 0); }},
        // No line gives a keyword: every keyword keeps its default, as
        // with an empty file.
        {"comments only", 0, "Configuration of the box\n  Low-order method, both stages.\n", 0,
         nolines("sets no keyword"), {}},
        {"comments only, one a keyword", 0, "Higher-order method\nILOWHI 1\n", 0,
         comment(2, "ILOWHI") + nolines("sets no keyword"), {}, [] {}, [] { EXPECT_EQ(ILOWHI, 0); }},
        {"case, leading blanks, unknown keys", 0, "   maxitt = 50\nNOSUCHKEY = 3\nIsOr=1 , 7\n", 0,
         "\n  WARNING: unknown keyword NOSUCHKEY in configuration file run.cfg; line ignored\n",
         {"MAXITT", "ISOR"},
         [] {}, [] { EXPECT_EQ(MAXITT, 50); EXPECT_EQ(ISOR, 1); }},
        {"tabs before, around and after =", 0, "\tMAXITT\t=\t50\nISOR\t= 1\nilog =\t1\nXTRIM(1)\t=\t0.5\t2.\t0.\n", 0,
         notrim(4),
         {"MAXITT", "ISOR", "ILOG", "XTRIM"},
         [] {},
         [] {
             EXPECT_EQ(MAXITT, 50);
             EXPECT_EQ(ISOR, 1);
             EXPECT_EQ(ILOG, 1);
             EXPECT_FLOAT_EQ(XTRIM(1, 1), 0.5f);
             EXPECT_FLOAT_EQ(XTRIM(2, 1), 2.0f);
         }},
        {"misspelt keyword only: its warning, and no keyword set", 0, "MAXIT = 50\n", 0,
         unknown("MAXIT") + nolines("sets no keyword"), {}, [] {}, [] { EXPECT_EQ(MAXITT, 35); }},
        {"FORCE pass: unknown keys and keyword comments were named by the POTEN pass", 1,
         "MAXIT = 50\nMAXMIT 12\n", 0, "", {}, [] { force_arrays(1, 0); }, [] { EXPECT_EQ(MAXMIT, 8); }},
        {"file that exists but cannot be read: warning, defaults", 0, nullptr, 0, nolines("cannot be read"), {},
         [] { std::filesystem::create_directory("run.cfg"); },
         [] { EXPECT_EQ(MAXITT, 35); EXPECT_EQ(IPOTEN, 1); }},
        {"index on a scalar key", 0, "isolve(3) = 1\n", 0, "", {"ISOLVE"},
         [] {}, [] { EXPECT_EQ(ISOLVE, 1); EXPECT_EQ(IRR.extent(1), 1); }},
        {"given-flags", 0, "ISOR=1\nIRR(1)=2\nXBODY(1)= 1.5, -2, 0.25 90\nIQUAD=1\nILOG=1\nIDIAG=1\n", 0, "",
         {"ISOR", "IRR", "XBODY", "IQUAD", "ILOG", "IDIAG"},
         [] {},
         [] {
             EXPECT_EQ(ISOR, 1);
             EXPECT_EQ(IRR(1), 2);
             EXPECT_FLOAT_EQ(XBODY(1, 1), 1.5f);
             EXPECT_FLOAT_EQ(XBODY(2, 1), -2.0f);
             EXPECT_FLOAT_EQ(XBODY(3, 1), 0.25f);
             EXPECT_FLOAT_EQ(XBODY(4, 1), 90.0f);
             EXPECT_EQ(IQUAD, 1);
             EXPECT_EQ(ILOG, 1);
             EXPECT_EQ(IDIAG, 1);
             EXPECT_EQ(CFGSET(KEYXBODY), 1);
         }},
        // Every refused value or body index is followed by a line naming
        // the file, the line, the keyword and the item as written.
        {"body index 0", 0, "IRR(0) = 1\n", 1,
         "\n  Illegal value of body index NB = 0\n" + std::string(READERR) + named(1, "IRR", "body index \"(0)\""), {}},
        {"negative body index", 0, "ILOWHI=0\nxtrim (-2) = 1 2 3\n", 1,
         "\n  Illegal value of body index NB =     -2\n\n" + std::string(READERR) +
             named(2, "XTRIM", "body index \"(-2)\""),
         {"ILOWHI"}},
        {"unclosed body index", 0, "IRR(2 = 1\n", 1, READERR + named(1, "IRR", "body index \"(2\""), {}},
        // A body index or a count beyond any model: refused before any
        // array is grown for it.
        {"huge body index", 0, "XBODY(2000000000) = 1 2 3 4\n", 1,
         "\n  Illegal value of body index NB = 2000000000\n" + std::string(READERR) +
             named(1, "XBODY", "body index \"(2000000000)\""),
         {}},
        {"negative NEWMDS", 0, "NEWMDS(1) = -1\n", 1,
         "\n  Illegal value of NEWMDS =     -1\n\n" + std::string(READERR) + named(1, "NEWMDS", "value \"-1\""),
         {"NEWMDS"}},
        {"NEWMDS above the largest count", 0, "NEWMDS(2) = 16777217\n", 1,
         "\n  Illegal value of NEWMDS = 16777217\n" + std::string(READERR) + named(1, "NEWMDS", "value \"16777217\""),
         {"NEWMDS"}},
        {"huge MAXITT", 0, "MAXITT = 2147483647\n", 1,
         "\n  Illegal value of MAXITT = 2147483647\n" + std::string(READERR) + named(1, "MAXITT", "value \"2147483647\""),
         {"MAXITT"}},
        {"unreadable body index", 0, "IRR(b) = 1\n", 1, READERR + named(1, "IRR", "body index \"(b)\""), {}},
        {"IRR of body 2 alone", 0, "IRR(2) = 1\n", 0, "", {"IRR"},
         [] { IRR.allocate(1); IRR(1) = 4; },
         [] { ASSERT_EQ(IRR.extent(1), 2); EXPECT_EQ(IRR(1), 4); EXPECT_EQ(IRR(2), 1); }},
        {"IRR of body 3 without body 2", 0, "IRR(3) = 1\n", 1, "\n  Not enough data for IRR in CONFIG.ZRV\n",
         {"IRR"}},
        {"per-body growth keeps entries", 0, "XTRIM(2) = 0.5 1 2\nNEWMDS(3) = 2\nXBODY(2) = 1 2 3 4\n", 0, notrim(1),
         {"XTRIM", "NEWMDS", "XBODY"},
         [] {},
         [] {
             ASSERT_EQ(XTRIM.extent(2), 2);
             EXPECT_FLOAT_EQ(XTRIM(1, 1), 0.0f);
             EXPECT_FLOAT_EQ(XTRIM(1, 2), 0.5f);
             EXPECT_FLOAT_EQ(XTRIM(3, 2), 2.0f);
             ASSERT_EQ(NEWMDS.extent(1), 3);
             ASSERT_EQ(IGENMDS.extent(1), 3);
             EXPECT_EQ(NEWMDS(2), 0);
             EXPECT_EQ(NEWMDS(3), 2);
             EXPECT_FLOAT_EQ(XBODY(4, 2), 4.0f);
         }},
        {"unreadable value", 0, "ISOLVE = 1\n\tilowhi =  one \n", 1, READERR + named(2, "ILOWHI", "value \"one\""),
         {"ISOLVE", "ILOWHI"}},
        {"real for an integer key", 0, "MAXITT = 1.5\n", 1, READERR + named(1, "MAXITT", "value \"1.5\""),
         {"MAXITT"}},
        {"too few XBODY values", 0, "XBODY = 1 2\n", 1, READERR + named(1, "XBODY", "value \"1 2\""), {"XBODY"}},
        {"empty value", 0, "IDIAG =\n", 1, READERR + named(1, "IDIAG", "value \"\""), {"IDIAG"}},
        {"MAXSCR 1 keeps the default", 0, "MAXSCR = 1\n", 0, "", {"MAXSCR"},
         [] {}, [] { EXPECT_EQ(MAXSCR, 2); }},
        {"MAXSCR above 1", 0, "MAXSCR = 500\n", 0, "", {"MAXSCR"},
         [] {}, [] { EXPECT_EQ(MAXSCR, 500); }},
        // Checked after the file: the line named is the last that gave it.
        {"illegal ILOWHI", 0, "ILOWHI = 1\nISOLVE = 1\nILOWHI = 2\n", 1,
         "\n  Illegal value of ILOWHI = 2\n\n" + std::string(READERR) + named(3, "ILOWHI", "value \"2\""),
         {"ILOWHI", "ISOLVE"}},
        // Values the run cannot take, refused after the file with the
        // message the later check gave, naming the line (after the
        // warnings held so far).
        {"ISCATT 2", 0, "ISOLVE 1\nNOSUCH = 1\nISOLVE = 1\nISCATT = 2\n", 1,
         comment(1, "ISOLVE") + unknown("NOSUCH") + "\n Value of ISCATT is illegal In CONFIG file: ISCATT=2\n\n" +
             READERR + named(4, "ISCATT", "value \"2\""),
         {"ISOLVE", "ISCATT"}},
        {"ISOR 2", 0, "ISOR = 2\n", 1,
         "\n Value of ISOR is illegal in CONFIG file: ISOR=2\n\n" + std::string(READERR) + named(1, "ISOR", "value \"2\""),
         {"ISOR"}},
        {"IQUAD 2", 0, "IQUAD = 2\n", 1,
         "\n  Value of IQUAD index is illegal \n" + std::string(READERR) + named(1, "IQUAD", "value \"2\""), {"IQUAD"}},
        {"ILOG 2", 0, "ilog=2\n", 1,
         "\n  Value of ILOG index is illegal \n" + std::string(READERR) + named(1, "ILOG", "value \"2\""), {"ILOG"}},
        {"IDIAG -1", 0, "IDIAG = 0\nIDIAG = -1\n", 1,
         "\n  Value of IDIAG index is illegal \n" + std::string(READERR) + named(2, "IDIAG", "value \"-1\""),
         {"IDIAG"}},
        {"ISOLVE below -1", 0, "ISOLVE = -2\n", 1,
         "\n Value of ISOLVE is illegal In CONFIG file: ISOLVE=    -2\n\n" + std::string(READERR) +
             named(1, "ISOLVE", "value \"-2\""),
         {"ISOLVE"}},
        {"negative IBODY_WAVEMAKER", 0, "IBODY_WAVEMAKER = -1\n", 1,
         "\n Value of IBODY_WAVEMAKER is illegal In CONFIG file: IBODY_WAVEMAKER=    -1\n\n" + std::string(READERR) +
             named(1, "IBODY_WAVEMAKER", "value \"-1\""),
         {"IBODY_WAVEMAKER"}},
        {"KSPLIN above the largest B-spline order", 0, "KSPLIN = 17\n", 1,
         "\n  KSPLIN above the largest B-spline order (16): KSPLIN=17\n\n" + std::string(READERR) +
             named(1, "KSPLIN", "value \"17\""),
         {"KSPLIN"}},
        {"IQUADO above the largest quadrature order", 0, "IQUADO = 17\n", 1,
         "\n  IQUADO above the largest Gauss quadrature order (16): IQUADO=17\n\n" + std::string(READERR) +
             named(1, "IQUADO", "value \"17\""),
         {"IQUADO"}},
        {"IQUADI above the largest quadrature order", 0, "IQUADI = 17\n", 1,
         "\n  IQUADI above the largest Gauss quadrature order (16): IQUADI=17\n\n" + std::string(READERR) +
             named(1, "IQUADI", "value \"17\""),
         {"IQUADI"}},
        {"no iteration", 0, "MAXITT = 0\n", 1,
         "\n  Illegal value of MAXITT = 0\n" + std::string(READERR) + named(1, "MAXITT", "value \"0\""), {"MAXITT"}},
        // A solver that does not iterate takes no iteration limit.
        {"MAXITT 0 with the direct solver", 0, "MAXITT = 0\nISOLVE = 1\nISOR = 1\n", 0, "", {"MAXITT", "ISOLVE", "ISOR"},
         [] {}, [] { EXPECT_EQ(MAXITT, 0); }},
        {"negative MAXITT without a solution", 0, "ISOLVE = -1\nMAXITT = -5\n", 0, "", {"ISOLVE", "MAXITT"},
         [] {}, [] { EXPECT_EQ(MAXITT, -5); }},
        // The waterline trimming grid as the .p2f file carries it: the
        // value in the message, however wide.
        {"ITRIMWL above the largest count", 0, "ITRIMWL = 16777217\n", 1,
         "\n  Illegal value of ITRIMWL = 16777217\n" + std::string(READERR) + named(1, "ITRIMWL", "value \"16777217\""),
         {"ITRIMWL"}},
        {"trims without trimming: one warning a line", 0, "XTRIM(2) = 0 0 1\nITRIMWL = 0\nXTRIM = 0.1 1 0\n", 0,
         notrim(1) + notrim(3), {"ITRIMWL", "XTRIM"}},
        {"negative ITRIMWL", 0, "ITRIMWL = -1\n", 1,
         "\n  Illegal value of ITRIMWL =     -1\n\n" + std::string(READERR) + named(1, "ITRIMWL", "value \"-1\""),
         {"ITRIMWL"}},
        {"IRR above 3", 0, "IRR = 4\n", 1,
         "\n  IRR > 3 is illegal  \n" + std::string(READERR) + named(1, "IRR", "value \"4\""), {"IRR"}},
        {"negative IRR of body 2", 0, "IRR(1) = 0\nIRR(2) = -1\n", 1,
         "\n  IRR < 0 is illegal \n" + std::string(READERR) + named(2, "IRR", "value \"-1\""), {"IRR"}},
        // Refused when the FORCE stage will run: in the POTEN pass, or in
        // the FORCE pass of a run without it.
        {"negative ICTRSURF", 0, "ICTRSURF = -1\n", 1,
         "\n  Illegal value of ICTRSURF =     -1\n\n" + std::string(READERR) + named(1, "ICTRSURF", "value \"-1\""),
         {"ICTRSURF"}},
        {"negative ICTRSURF, FORCE pass", 1, "IPOTEN = 0\nICTRSURF = -2\n", 1,
         "\n  Illegal value of ICTRSURF =     -2\n\n" + std::string(READERR) + named(2, "ICTRSURF", "value \"-2\""),
         {"IPOTEN", "ICTRSURF"}, [] { force_arrays(1, 0); }},
        // Switches and counts outside the values the program gives a
        // meaning; a key of the FORCE stage is refused in the POTEN pass of
        // a run with that stage, before the solve.
        {"IPOTEN 2", 0, "IPOTEN = 2\n", 1,
         "\n  Illegal value of IPOTEN = 2\n\n" + std::string(READERR) + named(1, "IPOTEN", "value \"2\""), {"IPOTEN"}},
        {"IPOTEN -1", 0, "IPOTEN = -1\n", 1,
         "\n  Illegal value of IPOTEN =     -1\n\n" + std::string(READERR) + named(1, "IPOTEN", "value \"-1\""),
         {"IPOTEN"}},
        {"IFORCE 2 in a run without the POTEN stage", 0, "IPOTEN = 0\nIFORCE = 2\n", 1,
         "\n  Illegal value of IFORCE = 2\n\n" + std::string(READERR) + named(2, "IFORCE", "value \"2\""),
         {"IPOTEN", "IFORCE"}},
        {"IWALLY0 -1", 0, "IWALLY0 = -1\n", 1,
         "\n  Illegal value of IWALLY0 =     -1\n\n" + std::string(READERR) + named(1, "IWALLY0", "value \"-1\""),
         {"IWALLY0"}},
        {"IWALLX0 2", 0, "IWALLX0 = 2\n", 1,
         "\n  Illegal value of IWALLX0 = 2\n\n" + std::string(READERR) + named(1, "IWALLX0", "value \"2\""),
         {"IWALLX0"}},
        {"ILOWGDF -1", 0, "ILOWGDF = -1\n", 1,
         "\n  Illegal value of ILOWGDF =     -1\n\n" + std::string(READERR) + named(1, "ILOWGDF", "value \"-1\""),
         {"ILOWGDF"}},
        {"IPLTDAT -1, FORCE only", 1, "IPOTEN = 0\nIPLTDAT = -1\n", 1,
         "\n  Illegal value of IPLTDAT =     -1\n\n" + std::string(READERR) + named(2, "IPLTDAT", "value \"-1\""),
         {"IPOTEN", "IPLTDAT"}, [] { force_arrays(1, 0); }},
        {"IALTFRC 0", 0, "IALTFRC = 0\n", 1,
         "\n  Illegal value of IALTFRC = 0\n" + std::string(READERR) + named(1, "IALTFRC", "value \"0\""), {"IALTFRC"}},
        {"IALTFRC 0, FORCE only", 1, "IPOTEN = 0\nIALTFRC = 0\n", 1,
         "\n  Illegal value of IALTFRC = 0\n" + std::string(READERR) + named(2, "IALTFRC", "value \"0\""),
         {"IPOTEN", "IALTFRC"}, [] { force_arrays(1, 0); }},
        {"MODLST 2", 0, "MODLST = 2\n", 1,
         "\n  Illegal value of MODLST = 2\n\n" + std::string(READERR) + named(1, "MODLST", "value \"2\""), {"MODLST"}},
        {"MONITR -1", 0, "MONITR = -1\n", 1,
         "\n  Illegal value of MONITR =     -1\n\n" + std::string(READERR) + named(1, "MONITR", "value \"-1\""),
         {"MONITR"}},
        {"NUMHDR 2, FORCE only", 1, "IPOTEN = 0\nNUMHDR = 2\n", 1,
         "\n  Illegal value of NUMHDR = 2\n\n" + std::string(READERR) + named(2, "NUMHDR", "value \"2\""),
         {"IPOTEN", "NUMHDR"}, [] { force_arrays(1, 0); }},
        {"NUMNAM 2", 0, "NUMNAM = 2\n", 1,
         "\n  Illegal value of NUMNAM = 2\n\n" + std::string(READERR) + named(1, "NUMNAM", "value \"2\""), {"NUMNAM"}},
        {"MAXMIT 31", 0, "MAXMIT = 31\n", 1,
         "\n  Illegal value of MAXMIT = 31\n\n" + std::string(READERR) + named(1, "MAXMIT", "value \"31\""),
         {"MAXMIT"}},
        {"IPNLBPT without a size", 0, "IPNLBPT = -2147483648\n", 1,
         "\n  Illegal value of IPNLBPT = -2147483648\n" + std::string(READERR) +
             named(1, "IPNLBPT", "value \"-2147483648\""),
         {"IPNLBPT"}},
        {"IFIELD_ARRAYS -1", 0, "IFIELD_ARRAYS = -1\n", 1,
         "\n  Illegal value of IFIELD_ARRAYS =     -1\n\n" + std::string(READERR) +
             named(1, "IFIELD_ARRAYS", "value \"-1\""),
         {"IFIELD_ARRAYS"}},
        {"IREADRAO 3", 0, "IREADRAO = 3\n", 1,
         "\n  Illegal value of IREADRAO = 3\n\n" + std::string(READERR) + named(1, "IREADRAO", "value \"3\""),
         {"IREADRAO"}},
        {"IREADRAO -1, FORCE only", 1, "IPOTEN = 0\nIREADRAO = -1\n", 1,
         "\n  Illegal value of IREADRAO =     -1\n\n" + std::string(READERR) + named(2, "IREADRAO", "value \"-1\""),
         {"IPOTEN", "IREADRAO"}, [] { force_arrays(1, 0); }},
        {"POTEN off keeps the FORCE switch", 0, "IFORCE = 0\nIPOTEN = 0\nISOLVE = 3\n", 0, "",
         {"IFORCE", "IPOTEN", "ISOLVE"},
         [] {},
         [] {
             EXPECT_EQ(IPOTEN, 0);
             EXPECT_EQ(IFORCE, 0);
             EXPECT_EQ(ISOLVE, 0);  // POTEN keys are not copied
             EXPECT_FALSE(chan::is_open(21));
             EXPECT_FALSE(chan::is_open(22));
         }},
        {"tank ranges and their surface heights", 0,
         "NPTANK(2) = (1 20) (21 40)\nZTANKFS = -0.5\nZTANKFS = -1.25\n", 0, "", {"NPTANK", "ZTANKFS"},
         [] {},
         [] {
             EXPECT_EQ(NTANKS, 2);
             ASSERT_EQ(NTANKB.extent(1), 2);
             EXPECT_EQ(NTANKB(1), 0);
             EXPECT_EQ(NTANKB(2), 2);
             EXPECT_EQ(IZTANKFS, 1);
             EXPECT_FLOAT_EQ(ZTANKFS(1), -0.5f);
             EXPECT_FLOAT_EQ(ZTANKFS(2), -1.25f);
             EXPECT_EQ(CTANK.extent(2), 2);
             EXPECT_EQ(VOLTANK.extent(2), 2);
             EXPECT_FALSE(chan::is_open(22));
             // The range records, as the tank reader reads them back.
             ASSERT_TRUE(chan::is_open(21));
             chan::rewind(21);
             const std::vector<std::vector<int>> expect = {
                 {0, 1}, {-2}, {1}, {-2}, {20}, {0, -1}, {0, 1}, {-2}, {21}, {-2}, {40}, {0, -1}};
             for (const auto& rec : expect) {
                 int v[2] = {9, 9};
                 ASSERT_EQ(fread::read_group(21, {fread::I(v, static_cast<int>(rec.size()))}), 0);
                 for (std::size_t i = 0; i < rec.size(); ++i) EXPECT_EQ(v[i], rec[i]);
             }
             std::string rest;
             EXPECT_EQ(chan::read_line(21, rest), -1);
         }},
        {"dipole ranges", 0, "NPDIPOLE(3) = (5, 9)\n", 0, "", {"NPDIPOLE"},
         [] {},
         [] {
             EXPECT_EQ(IDIPOLE, 1);
             EXPECT_EQ(NTANKS, 0);
             chan::rewind(21);
             const int expect[] = {0, 1, 3, 5, 3, 9, 0, -1};
             int v[8] = {};
             ASSERT_EQ(fread::read_group(21, {fread::I(v, 8)}), 0);
             for (int i = 0; i < 8; ++i) EXPECT_EQ(v[i], expect[i]);
         }},
        {"odd tank count", 0, "NPTANK(1) = (1 10) (11\n", 1,
         "\n  Incomplete NPTANK data in CONFIG.ZRV\n" + named(1, "NPTANK", "value \"(1 10) (11\""), {"NPTANK"}},
        // Ranges the model readers cannot take: numbers of a tank outside
        // parentheses, or a pair that is not two numbers.
        {"tank range without parentheses", 0, "NPTANK(1) = 1 10\n", 1,
         "\n Error: NPTANK or NPDIPOL illegal in CFG file\n" + std::string(READERR) + named(1, "NPTANK", "value \"1 10\""), {"NPTANK"}},
        {"dipole range of three numbers", 0, "NPDIPOLE(2) = 4 (5 6 7)\n", 1,
         "\n Error: NPTANK or NPDIPOL illegal in CFG file\n" + std::string(READERR) + named(1, "NPDIPOLE", "value \"4 (5 6 7)\""),
         {"NPDIPOLE"}},
        {"tank ranges nested", 0, "NPTANK(1) = ((1 2) 3)\n", 1,
         "\n Error: NPTANK or NPDIPOL illegal in CFG file\n" + std::string(READERR) + named(1, "NPTANK", "value \"((1 2) 3)\""), {"NPTANK"}},
        {"too few tank heights", 0, "NPTANK(1) = (1 5) (6 9)\nZTANKFS = 0.5\n", 1,
         "\n  Not enough data for ZTANK in CONFIG.ZRV\n" + std::string(READERR) + named(2, "ZTANKFS", "value \"0.5\""),
         {"NPTANK", "ZTANKFS"}},
        {"scratch path", 0, "SCRATCH_PATH =   /tmp/Scr  more\n", 0, "", {"SCRATCH_PATH"},
         [] {}, [] { EXPECT_EQ(SCRATCH_PATH, "/tmp/Scr"); EXPECT_EQ(LSCRATCH, 8); }},
        {"scratch path too long", 0, "SCRATCH_PATH = /aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\n", 1,
         "\n  Path name for file in CONFIG.ZRV too long\n" +
             named(1, "SCRATCH_PATH", "value \"/aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\""),
         {"SCRATCH_PATH"}},
        {"reals", 0, "PANEL_SIZE = 0.75\nTOLGAPWL = 1e-4\n", 0, "", {"PANEL_SIZE", "TOLGAPWL"},
         [] {}, [] { EXPECT_FLOAT_EQ(PANEL_SIZE, 0.75f); EXPECT_FLOAT_EQ(TOLGAPWL, 1e-4f); }},
        {"FORCE ignores POTEN keys but flags them", 1, "ISOLVE = 1\nXBODY(3) = 1 2 3 4\nMAXMIT = 12\n", 0, "",
         {"ISOLVE", "XBODY", "MAXMIT"},
         [] { force_arrays(1, 0); ISOLVE = 7; },
         [] {
             EXPECT_EQ(ISOLVE, 7);
             EXPECT_FALSE(XBODY.allocated());
             EXPECT_EQ(MAXMIT, 12);
         }},
        {"FORCE tank densities", 1, "RHOTANK = 1025\nRHOTANK = 1000\n", 0, "", {"RHOTANK"},
         [] { force_arrays(1, 3); },
         [] {
             EXPECT_FLOAT_EQ(RHOTANK(1), 1025.0f);
             EXPECT_FLOAT_EQ(RHOTANK(2), 1000.0f);
             EXPECT_FLOAT_EQ(RHOTANK(3), 1000.0f);
             EXPECT_EQ(CTANK.extent(2), 3);
         }},
        {"FORCE tanks without densities", 1, "IALTFRC = 1\n", 1, "\n  RHOTANK not in CONFIG.ZRV, NTANKS=2\n\n",
         {"IALTFRC"}, [] { force_arrays(1, 2); }},
        {"FORCE layout switches", 1, "IALTFRCN = 1 3\nIALTFRC = 2\nNOOUT = 0 1 0 1 0 1 0 1 0\n", 0, "",
         {"IALTFRCN", "IALTFRC", "NOOUT"},
         [] { force_arrays(2, 0); },
         [] {
             EXPECT_EQ(IALTFRC, 2);
             EXPECT_EQ(IALTFRCN(1), 2);
             EXPECT_EQ(IALTFRCN(2), 2);
             for (int k = 1; k <= 9; ++k) EXPECT_EQ(NOOUT(k), k % 2 == 0 ? 1 : 0) << k;
         }},
        {"FORCE too few IALTFRCN", 1, "IALTFRCN = 2\n", 1,
         "\n  Not enough data for IALTFRCN in CONFIG.ZRV\n" + named(1, "IALTFRCN", "value \"2\""), {"IALTFRCN"},
         [] { force_arrays(2, 0); }},
    };
    return c;
}

class RdConfig : public test::TempDirTest {};

TEST_F(RdConfig, Table) {
    for (const CfgCase& c : cases()) {
        SCOPED_TRACE(c.name);
        chan::reset();
        chan::set_keyboard(&keyboard);
        chan::set_screen(&screen);
        screen.str("");
        cfg::reset();
        fnames::reset();
        fnames::FILECFG = "run.cfg";
        std::remove("run.cfg");
        if (c.file) write_file("run.cfg", c.file);
        c.pre();
        int ierr = -1;
        RDCONFIG(c.runtype, ierr);
        warn_file();
        EXPECT_EQ(ierr, c.ierr);
        EXPECT_EQ(screen.str(), c.screen);
        for (int k = 1; k <= NKEYS; ++k) {
            bool want = false;
            for (const auto& g : c.given) want = want || g == KEYNAME[k - 1];
            EXPECT_EQ(CFGSET(k), want ? 1 : 0) << KEYNAME[k - 1];
        }
        for (const auto& g : c.given) EXPECT_EQ(given_flag(g), 1);
        if (c.ierr == 0) c.check();
    }
}

// The POTEN stage copies the whole file into the run log.
TEST_F(RdConfig, EchoIntoRunLog) {
    cfg::reset();
    fnames::FILECFG = "run.cfg";
    write_file("run.cfg", "ISOLVE = 1\n  ILOG=1\n");
    ASSERT_EQ(chan::open(4, "zorvalog.txt", chan::Status::Replace), 0);
    int ierr = -1;
    RDCONFIG(0, ierr);
    chan::close(4);
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(read_file("zorvalog.txt"), "\n Input file run.cfg\nISOLVE = 1\n  ILOG=1\n");
}

// The held warning is written once, however often it is asked for, and a
// later pass over a good file holds none.
TEST_F(RdConfig, HeldWarningWrittenOnce) {
    cfg::reset();
    fnames::FILECFG = "run.cfg";
    int ierr = -1;
    RDCONFIG(0, ierr);
    ASSERT_EQ(ierr, 0);
    EXPECT_EQ(screen.str(), "");  // not before the stage's log is open
    warn_file();
    warn_file();
    EXPECT_EQ(screen.str(), nolines("not found"));
    write_file("run.cfg", "ISOLVE=1\n");
    RDCONFIG(0, ierr);
    warn_file();
    EXPECT_EQ(screen.str(), nolines("not found"));
    // The warnings of the lines are held the same way, in the order found.
    write_file("run.cfg", "ISOLVE 1\nNOSUCH = 2\n");
    screen.str("");
    RDCONFIG(0, ierr);
    ASSERT_EQ(ierr, 0);
    EXPECT_EQ(screen.str(), "");
    warn_file();
    warn_file();
    EXPECT_EQ(screen.str(), comment(1, "ISOLVE") + unknown("NOSUCH") + nolines("sets no keyword"));
}

// Once the model is read: a per-body keyword for a body the run does not
// have is warned of, once for each line that gives one, in line order; a
// body index on a keyword of the run is no body.
TEST_F(RdConfig, KeysOfBodiesBeyondTheRun) {
    cfg::reset();
    fnames::FILECFG = "run.cfg";
    write_file("run.cfg",
               "XTRIM(3) = 0 0 0\nITRIMWL = 1\nIRR(1) = 0\nIRR(2) = 1\nNEWMDS(2) = 0\nisolve(5) = 1\n"
               "NPDIPOLE(2) = (1 2)\nXBODY(2) = 0 0 0 0\nXTRIM(2) = 0 0 0\n");
    int ierr = -1;
    RDCONFIG(0, ierr);
    ASSERT_EQ(ierr, 0);
    warn_file();
    ASSERT_EQ(screen.str(), "");
    NBODY = 1;
    warn_bodies();
    auto beyond = [](const std::string& key, int line) {
        return "\n  WARNING: keyword " + key + " in line " + std::to_string(line) +
               " of configuration file run.cfg ignored: the run has 1 body\n";
    };
    EXPECT_EQ(screen.str(), beyond("XTRIM(3)", 1) + beyond("IRR(2)", 4) + beyond("NEWMDS(2)", 5) +
                                beyond("NPDIPOLE(2)", 7) + beyond("XBODY(2)", 8) + beyond("XTRIM(2)", 9));
    screen.str("");
    NBODY = 3;
    warn_bodies();
    EXPECT_EQ(screen.str(), "");
}

TEST(CfgGrow, IrrFillModes) {
    cfg::reset();
    int ierr = -1;
    GROWIRR(2, ierr);
    EXPECT_EQ(ierr, 0);
    IRR(1) = 5;
    IRR(2) = 3;
    GROWIRR(4, 0, ierr);  // copies of the last entry
    ASSERT_EQ(IRR.extent(1), 4);
    EXPECT_EQ(IRR(1), 5);
    EXPECT_EQ(IRR(4), 3);
    GROWIRR(3, ierr);  // never shrinks
    EXPECT_EQ(IRR.extent(1), 4);
    GROWIRR(5, ierr);
    EXPECT_EQ(IRR(5), -1);
}

}  // namespace
}  // namespace zorva
