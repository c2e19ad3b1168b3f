// Damaged inputs of the newer formats end the run with a message and exit
// status 1: each case makes one change to a copy of an example (a count out
// of range, a coordinate far out, a patch given twice, a geometry model
// without surfaces, a file that never ends, a patch stretched past what the
// subdivision of the influence integrals holds, a spline control file that
// still holds groups a configuration key removes or gives a line twice, a
// potential control file that still holds switches the configuration gives,
// a configuration value the run cannot take) and runs the program on it.
// Geometry or a depth that the POTEN-to-FORCE file could not carry, and wave
// periods beyond what the run can solve or report, are refused before any
// period is solved, with no .p2f file written; a period whose solution is not finite
// stops the run naming the period, again with no .p2f file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/deckedbox.hpp"
#include "tests/support/testdir.hpp"

namespace zorva::test {
namespace {

namespace fs = std::filesystem;

// A geometry file for a geometry-model body named MODEL, its surfaces in
// the list LIST.
std::string model_gdf(const std::string& model, const std::string& list) {
    return "Kernel model\n1.0 9.80665\n0 0\n0 2\n3\n" + model + "\n" + list + "\n1 0 0\n";
}

// A low-order geometry file, given by its LINES, with every coordinate
// times F.
std::string gdf_times(const std::vector<std::string>& lines, float f) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i < 4) {
            text += lines[i] + "\n";
            continue;
        }
        std::istringstream in(lines[i]);
        std::ostringstream out;
        for (float v = 0.0f; in >> v;) out << ' ' << v * f;
        text += out.str() + "\n";
    }
    return text;
}

// Text of a further file that stands for a link to /dev/zero.
const std::string ENDLESS = "(endless)";

// A geometry model that does not load: the kernel's code, and the pointer to
// its log, which gives the reason.
const char* const NOLOAD =
    "Error return from subroutine RGKINIT, error code = 3\n\n\n"
    "  The reason is in rgklog.txt, the log of the geometry-model library SURFLINK\n";

// The spline control file of the decked box (the box of hobox with sides
// raised to z = 0.3 and a deck there: the deck's spline panels added).
const char* const DECKED_SPL =
    "Decked box\n2 4\n3 3\n3 3\n4 4\n4 1\n3 3\n3 3\n4 4\n4 1\n3 3\n3 3\n4 4\n"
    "2 1\n3 3\n3 3\n4 4\n2 1\n3 3\n3 3\n4 4\n4 2\n3 3\n3 3\n4 4\n";

struct Case {
    const char* name;
    const char* example;
    const char* file;  // the file damaged
    int line;          // 1-based; 0: the whole file
    enum Op { Double, Replace, FirstValue, Text, DevZero } op;
    std::string value;  // the new line, first value or whole text
    const char* message;
    std::vector<std::pair<const char*, std::string>> extra = {};  // further files written
    bool before_solve = false;  // refused before the first period, no .p2f file
    bool no_p2f = false;        // no .p2f file
    bool last = false;          // the message ends the output
};

class DamagedInputs : public TempDirTest {};

TEST_F(DamagedInputs, EndTheRunWithAMessage) {
    const std::string hull = "ZUZOVOZA MODEL 1\nUNITS m\n";
    const Case cases[] = {
        {"NPATCH 0 (ISX ISY line doubled)", "hobox", "hobox.gdf", 3, Case::Double, "",
         "Error in GDF file: NPATCH outside 1 to 16777216 for body N=1"},
        {"low-order NPAN 0 (ISX ISY line of a model body doubled)", "box", "box.gdf", 0, Case::Text,
         "Kernel model\n1.0 9.80665\n0 0\n0 0\n0 2\n3\nbox.zmd\nHull\n1 0 0\n",
         "Error in GDF file: no panels (NPAN = 0) for body N=1"},
        {"NPATCH negative", "hohemi", "hohemi.gdf", 4, Case::Replace, "  -5  3      NPATCH IGDEF",
         "Error in GDF file: NPATCH outside 1 to 16777216 for body N=1"},
        {"model without surfaces", "hobox", "hobox.gdf", 0, Case::Text, model_gdf("box.zmd", "DEFAULT"),
         "Error: no patches or too many in the geometry model, body 1", {{"box.zmd", hull}}},
        {"B-spline coefficient far out", "hoboxbs", "hoboxbs.gdf", 10, Case::FirstValue, "99999999",
         "Error in GDF file: coefficient XCOEF beyond 1.E6 x ULEN for body N=1"},
        {"model sphere centred at 1e30", "hobox", "hobox.gdf", 0, Case::Text, model_gdf("s.zmd", "DEFAULT"),
         NOLOAD,
         {{"s.zmd", hull + "SPHERE hull 1e30 0 0 1 -90 0 0 360 orient=1\n"}}},
        {"model sphere centred at 1e10", "hobox", "hobox.gdf", 0, Case::Text, model_gdf("s.zmd", "DEFAULT"),
         "Error: patch point beyond 1.E6 x ULEN or not finite, NPATCH=1",
         {{"s.zmd", hull + "SPHERE hull 1e10 0 0 1 -90 0 0 360 orient=1\n"}}},
        {"low-order control-surface vertex", "hemicsf", "hemi.csf", 636, Case::FirstValue, "2147483648",
         "Error in CSF file: vertex beyond 1.E6 x ULEN for panel 632"},
        {"control-surface cylinder radius", "hemicsf", "hemi.csf", 0, Case::Text,
         "Cylinder\n1\n0 0\n0 0 0.25\n1e38 2.0\n0\n",
         "Error in CSF file: radius or depth beyond 1.E6 x ULEN"},
        {"control-surface flat-patch vertex", "boxcsf", "box.csf", 5, Case::FirstValue, "1e38",
         "Error in CSF file: vertex beyond 1.E6 x ULEN for patch 1"},
        {".pot XBODY", "hohemi", "hohemi.pot", 4, Case::Replace, " 5.0  1e38 0. 0. 0.",
         "Error in POT file: XBODY beyond 1.E6 x ULEN or 10000 degrees for body N=1"},
        {"configuration XBODY", "hobox", "hobox.cfg", 6, Case::Replace, "ISOLVE=1\nXBODY(1) = 0 -3E6 0 0",
         "Error in CONFIG file: XBODY beyond 1.E6 x ULEN or 10000 degrees for body N=1\n\n\n"
         "  Configuration file hobox.cfg, line 7, keyword XBODY: value \"0 -3E6 0 0\" not accepted\n"},
        // Configuration values the run cannot take: refused when read, or
        // where the model shows them wrong, naming the line that gave them.
        {"configuration B-spline order above the largest", "hobox", "hobox.cfg", 0, Case::Text,
         "ILOWHI=1\nKSPLIN=17\n",
         "  KSPLIN above the largest B-spline order (16): KSPLIN=17\n\n\n  Error reading input file CONFIG.ZRV\n"
         "\n  Configuration file hobox.cfg, line 2, keyword KSPLIN: value \"17\" not accepted\n",
         {}, true},
        {"configuration wavemaker beyond the bodies", "box", "box.cfg", 0, Case::Text,
         "ILOWHI=0\nIBODY_WAVEMAKER = 2\n",
         " Value of IBODY_WAVEMAKER is illegal In CONFIG file: IBODY_WAVEMAKER=2\n\n"
         "\n  Configuration file box.cfg, line 2, keyword IBODY_WAVEMAKER: value \"2\" not accepted\n",
         {}, true, false, true},
        {"configuration tank of a body beyond the bodies", "box", "box.cfg", 0, Case::Text,
         "ILOWHI=0\nNPTANK(2) = (1 4)\n",
         " Error in CONFIG file: tank ranges NPTANK of a body beyond the bodies of the run, body N=2\n\n"
         "\n  Configuration file box.cfg, line 2, keyword NPTANK: value \"(1 4)\" not accepted\n",
         {}, true, false, true},
        // Switches outside their values, of either stage: refused in the
        // first pass over the file, before the solve.
        {"configuration FORCE switch 2", "box", "box.cfg", 0, Case::Text, "ILOWHI=0\nIFORCE=2\n",
         "  Illegal value of IFORCE = 2\n\n\n  Error reading input file CONFIG.ZRV\n"
         "\n  Configuration file box.cfg, line 2, keyword IFORCE: value \"2\" not accepted\n",
         {}, true, false, true},
        {"configuration wall switch -1", "box", "box.cfg", 0, Case::Text, "ILOWHI=0\nIWALLY0=-1\n",
         "  Illegal value of IWALLY0 =     -1\n\n\n  Error reading input file CONFIG.ZRV\n"
         "\n  Configuration file box.cfg, line 2, keyword IWALLY0: value \"-1\" not accepted\n",
         {}, true, false, true},
        {"configuration force control layout 0", "box", "box.cfg", 0, Case::Text, "ILOWHI=0\nIALTFRC=0\n",
         "  Illegal value of IALTFRC = 0\n\n  Error reading input file CONFIG.ZRV\n"
         "\n  Configuration file box.cfg, line 2, keyword IALTFRC: value \"0\" not accepted\n",
         {}, true, false, true},
        {"configuration ISCATT=1 with the higher-order method", "hobox", "hobox.cfg", 0, Case::Text,
         "ILOWHI=1\nISCATT=1\n",
         " ISCATT=1 is illegal with ILOWHI=1 \n"
         "\n  Configuration file hobox.cfg, line 2, keyword ISCATT: value \"1\" not accepted\n",
         {}, true},
        {"wave heading", "hohemi", "hohemi.pot", 11, Case::Replace, " 0.  1e38",
         "Error in POT file: heading BETA beyond 10000 degrees, heading number 2"},
        {"flat patch given twice", "hobox", "hobox.gdf", 8, Case::Double, "",
         "Error: two patches with the same centre, NPATCH =4"},
        {"flat-patch vertex", "hobox", "hobox.gdf", 5, Case::FirstValue, "99999999",
         "Error in GDF file: vertex coordinate beyond 1.E6 x ULEN for panel N=1"},
        {"flat patch stretched past what the subdivision holds", "hobox", "hobox.gdf", 8, Case::Replace,
         "  1.0 0.5 0.0  1.0 -0.5 0.0  1e4 -0.5 -0.5  1.0 0.5 -0.5",
         " Number of subdivisions exceeds MAXSQR=2048: body 1 (hobox.gdf), patch 4\n"},
        {"model surface stretched past what the subdivision holds", "hoboxmodel", "hull.zmd", 7, Case::Replace,
         "QUAD end_xp   1 -0.5 0  1e6 -0.5 -0.5  1 0.5 -0.5  1 0.5 0",
         " Number of subdivisions exceeds MAXSQR=2048: body 1 (boxm.gdf), patch 4 of its geometry model\n"},
        {"spline order", "hobox", "hobox.spl", 3, Case::Replace, "  3  17      KU KV",
         "Error reading KU,KV in .spl file for body N=1"},
        // A key set in the configuration removes a group from each patch of
        // the .spl file; the unchanged file of the example still holds it,
        // one group for each of the 5 patches left over at the end.
        {"IQUADI=4 with the .spl file unchanged", "hobox", "hobox.cfg", 6, Case::Replace, "ISOLVE=1\nIQUADI=4",
         "Error in .spl file hobox.spl for body N=1: 10 numbers on 5 lines left over after its 5 patches: as many as "
         "the IQUI IQVI group takes in each patch, which IQUADI set in the configuration removes from the file: the "
         "file still holds that group, so values were read out of place. Remove the IQUI IQVI group of each patch "
         "from hobox.spl, or IQUADI from the configuration\n", {}, true},
        {"KSPLIN=3 with the .spl file unchanged", "hobox", "hobox.cfg", 6, Case::Replace, "ISOLVE=1\nKSPLIN=3",
         "Error in .spl file hobox.spl for body N=1: 10 numbers on 5 lines left over after its 5 patches: as many as "
         "the KU KV group takes in each patch, which KSPLIN set in the configuration removes from the file: the file "
         "still holds that group, so values were read out of place. Remove the KU KV group of each patch from "
         "hobox.spl, or KSPLIN from the configuration\n", {}, true},
        // Two keys, and a file that gives one of their groups: 5 groups left
        // over, fewer than the 10 the keys remove.
        {"KSPLIN=3 and IQUADO=3 with the KU KV lines alone taken out of the .spl file", "hobox", "hobox.cfg", 6,
         Case::Replace, "ISOLVE=1\nKSPLIN=3\nIQUADO=3",
         "Error in .spl file hobox.spl for body N=1: 10 numbers on 5 lines left over after its 5 patches; KSPLIN and "
         "IQUADO set in the configuration remove the groups KU KV and IQUO IQVO from every patch of the file: if it "
         "still holds those groups, remove the KU KV and IQUO IQVO groups of each patch from hobox.spl, or KSPLIN "
         "and IQUADO from the configuration\n",
         {{"hobox.spl", "Box\n2 4\n3 3\n4 4\n4 1\n3 3\n4 4\n4 1\n3 3\n4 4\n2 1\n3 3\n4 4\n2 1\n3 3\n4 4\n"}},
         true},
        // Without keys, a line given twice leaves one group over at the end.
        {"line of the .spl file doubled", "hobox", "hobox.spl", 2, Case::Double, "",
         "Error in .spl file hobox.spl for body N=1: 2 numbers on 1 line left over after its 5 patches, not whole "
         "patches of 8 numbers each (the groups NU NV, KU KV, IQUO IQVO and IQUI IQVI): a line too many or missing "
         "in the file shifts every value read after it\n", {}, true},
        {"IQUAD=0 and ILOG=0 with the .pot file unchanged", "box", "box.cfg", 5, Case::Replace,
         "IFORCE=1\nIQUAD=0\nILOG=0",
         "Error reading POT file box.pot, IQUAD,ILOG,IDIAG line: 3 numbers where IDIAG (1) is expected; IQUAD and "
         "ILOG set in the configuration remove their values from that line: if it still holds them, remove them "
         "from box.pot, or IQUAD and ILOG from the configuration\n", {}, true},
        {"low-order vertex at 1e6 (within the coordinate limit): a panel too large for its tables", "hemisphere",
         "hemi.gdf", 19, Case::Replace,
         "  0.923880  -0.382683   0.000000   0.707107  -0.707107   0.000000   0.653281   1e6  -0.382683   0.853553  "
         "-0.353553  -0.382683",
         "Error in GDF file hemi.gdf, body 1, panel 15: area or area moments beyond 1.E10 or not finite", {}, true},
        // Panels of 0.25 x 310 = 77.5 on a side: the fourth moments of a
        // square panel of side a about its centroid are a^6 / 21.33 (by
        // hand), 1.02E10 here (75 on a side would give 8.3E9).
        {"box scaled by 310: panels 77.5 x ULEN on a side", "box", "box.gdf", 0, Case::Text,
         gdf_times(read_lines(source_path("examples/box/box.gdf")), 310.0f),
         "Error in GDF file box.gdf, body 1, panel 1: area or area moments beyond 1.E10 or not finite (area moments "
         "beyond 1.E10 in units of ULEN, as of a square panel more than about 75 x ULEN on a side: give a larger ULEN "
         "or smaller panels)",
         {}, true},
        {"a number of a flat patch doubled: a corner above the free surface", "hobox", "hobox.gdf", 5, Case::Replace,
         " -1.000000  -0.500000  -0.500000  -0.500000  -1.000000   0.500000  -0.500000   1.000000   0.500000  "
         "-0.500000   1.000000  -0.500000  -0.500000",
         "Error in GDF file, body 1 (hobox.gdf), patch 1: point above the free surface or below the bottom", {}, true},
        // The box, 0.5 deep, lifted 0.6 by the waterline trimming, and
        // lifted to leave its bottom 5.E-6 deep, in the free surface.
        {"low-order body trimmed out of the water", "box", "box.cfg", 0, Case::Text,
         "ILOWHI=0\nITRIMWL=1\nXTRIM=0.6 0 0\n",
         "Error in GDF file box.gdf, body 1: every panel of the body is above the free surface (none reaches 1.E-5 x "
         "ULEN below it) after waterline trimming (XTRIM = 0.6 0 0): check the sign of the sinkage (a positive "
         "sinkage in XTRIM lifts the body) and the freeboard", {}, true},
        {"low-order body trimmed to its bottom", "box", "box.cfg", 0, Case::Text,
         "ILOWHI=0\nITRIMWL=1\nXTRIM=0.499995 0 0\n",
         "Error in GDF file box.gdf, body 1: every panel of the body is above the free surface (none reaches 1.E-5 x "
         "ULEN below it) after waterline trimming (XTRIM = 0.499995 0 0)", {}, true},
        // The box, open at z = 0, pitched 1 degree: the rim dips at x > 0,
        // first on panel 42 (sin 1 deg x 0.25 deep at its end x = 0.25); the
        // quarter box heeled 3 degrees: the image about y = 0 of its panel
        // 10 dips sin 3 deg x 0.5 at y = -0.5.
        {"lidless box trimmed", "box", "box.cfg", 0, Case::Text, "ILOWHI=0\nITRIMWL=1\nXTRIM=0 1 0\n",
         "Error in GDF file box.gdf, body 1: panel 42 has an open edge, from (0, 0.5, 0) to (0.25, 0.5, 0), that no "
         "other panel shares, and waterline trimming (XTRIM = 0 1 0) puts it 0.0043631 below the free surface: the "
         "body is open under water. A body to be trimmed needs freeboard (its panels must reach above the waterline "
         "it will have: a deck, or sides high enough), or a smaller trim or sinkage\n", {}, true},
        {"lidless quarter box heeled", "boxquarter", "boxq.cfg", 0, Case::Text, "ILOWHI=0\nITRIMWL=1\nXTRIM=0 0 3\n",
         "Error in GDF file boxq.gdf, body 1: the mirror image about y = 0 of panel 10 has an open edge, from (0, "
         "-0.5, 0) to (0.25, -0.5, 0), that no other panel shares, and waterline trimming (XTRIM = 0 0 3) puts it "
         "0.026168 below", {}, true},
        // Wave periods beyond the run's limits, each with the limit in the
        // kind of value the file gives (worked by hand: the run summary
        // prints periods up to 99999 s; nu x ULEN = 1000 is the period 2 pi
        // sqrt(ULEN / 1000 g) = 0.0634482 s; 99999 s is the frequency 2 pi /
        // 99999 = 6.28325e-05 rad/s; at depth 5, nu x depth = 1e-5 is the
        // period 2 pi / sqrt(2e-6 g) = 1418.75 s and the finite-depth
        // wavenumber of K tanh(5 K) = 2e-6, K = 6.32457e-4).
        {"a period longer than the run summary prints", "box", "box.pot", 9, Case::Replace, " 4.  6.  1.e5",
         "Error in POT file box.pot: wave period out of range, period number 3: period 1e+05 s beyond the limit "
         "99999 s, set by the longest period the run summary prints (99999 s)", {}, true},
        {"a frequency that long (IPERIO = 2)", "box", "box.pot", 9, Case::Replace, " 1.5  1.  5e-5",
         "Error in POT file box.pot: wave period out of range, period number 3: frequency 5e-05 rad/s beyond the "
         "limit 6.28325e-05 rad/s, set by the longest period the run summary prints (99999 s)",
         {{"box.cfg", "ILOWHI=0\nIPERIO=2\n"}}, true},
        {"a frequency whose period squared is lost below the smallest float (IPERIO = 2)", "box", "box.pot", 9,
         Case::Replace, " 1.5  1.  1e30",
         "Error in POT file box.pot: wave period out of range, period number 3: frequency 1e+30 rad/s beyond the "
         "limit 99.0285 rad/s, set by the largest deep-water wavenumber x ULEN the solution takes (1000)",
         {{"box.cfg", "ILOWHI=0\nIPERIO=2\n"}}, true},
        {"a period too short for the solution", "box", "box.pot", 9, Case::Replace, " 4.  6.  0.01",
         "Error in POT file box.pot: wave period out of range, period number 3: period 0.01 s beyond the limit "
         "0.0634482 s, set by the largest deep-water wavenumber x ULEN the solution takes (1000)", {}, true},
        {"a period too long for the finite-depth Green function", "hemisphere", "hemi.pot", 9, Case::Replace,
         " 4.  6.  2000.",
         "Error in POT file hemi.pot: wave period out of range, period number 3: period 2000 s beyond the limit "
         "1418.75 s, set by the least deep-water wavenumber x depth the finite-depth wave Green function takes "
         "(1e-05)", {}, true},
        {"a finite-depth wavenumber that small (IPERIO = 4)", "hemisphere", "hemi.pot", 9, Case::Replace,
         " 4.  1e-4  1.",
         "Error in POT file hemi.pot: wave period out of range, period number 2: wavenumber K x ULEN 1e-04 beyond "
         "the limit 0.000632457, set by the least deep-water wavenumber x depth the finite-depth wave Green "
         "function takes (1e-05)", {{"hemi.cfg", "ILOWHI=0\nIPERIO=4\n"}}, true},
        // The box given a length scale of 0.01 m: nu x ULEN is 403 at 0.01 s,
        // within the limit, but the waves are 6 mm long on a body of 2 m and
        // the solution of that period is not finite.
        {"a period whose solution is not finite", "box", "box.gdf", 2, Case::Replace,
         "  0.01  9.80665      ULEN GRAV",
         "Error: solution of wave period number 3 (period 0.01 s) not finite or beyond 1.E10; no .p2f file is "
         "written", {{"box.pot", "Box\n0\n0\n0. 0. 0. 0. 0.\n0 0 0\n1 1\n1 1 1 1 1 1\n3\n4. 6. 0.01\n2\n0. 45.\n"}},
         false, true},
        {"a gravity the .p2f file cannot carry", "box", "box.gdf", 2, Case::Replace, "  1.0  1e11      ULEN GRAV",
         "Error in GDF file: ULEN or GRAV not positive or beyond 1.E10 for body N=1", {}, true},
        // A depth of 1e11 x ULEN, which the period of 5000 s leaves within
        // the finite-depth limits (nu x depth = 1.6e4 by hand): the .p2f
        // file carries the depth in units of ULEN only up to 1e10.
        {"a depth the .p2f file cannot carry", "box", "box.pot", 0, Case::Text,
         "Box\n0\n0\n1.e11 0. 0. 0. 0.\n0 0 0\n1 1\n1 1 1 1 1 1\n1\n5000.\n2\n0. 45.\n",
         "Error in POT file box.pot: water depth HBOT beyond 1.E10 x ULEN or not finite", {}, true},
        // Waterline trimming: the boxes of hobox and hoboxbs have no deck and
        // their top edge at the free surface, so that any trim puts part of
        // it under water, open; a grid the trimming cannot hold; a body
        // lifted clear of the water.
        {"open B-spline box trimmed 1 degree", "hoboxbs", "hoboxbs.cfg", 0, Case::Text,
         "ILOWHI=1\nIPOTEN=1\nIFORCE=1\nISOLVE=1\nITRIMWL=1\nXTRIM=0 1 0\n",
         "Error in GDF file, body 1 (hoboxbs.gdf), patch 2: with the trim XTRIM an open edge of the patch lies under "
         "water, where no other patch closes the wetted surface; a body whose top edge lies at the free surface "
         "cannot be trimmed: give it freeboard, or a smaller trim", {}, true},
        {"open flat-patch box trimmed 30 degrees", "hobox", "hobox.cfg", 0, Case::Text,
         "ILOWHI=1\nIPOTEN=1\nIFORCE=1\nISOLVE=1\nITRIMWL=1\nXTRIM=0 30 0\n",
         "Error in GDF file, body 1 (hobox.gdf), patch 2: with the trim XTRIM an open edge of the patch lies under "
         "water", {}, true},
        {"trimming grid too fine", "hobox", "hobox.cfg", 0, Case::Text,
         "ILOWHI=1\nIPOTEN=1\nIFORCE=1\nISOLVE=1\nITRIMWL=2000\nXTRIM=0.4 6 0\n",
         "Error in CONFIG file hobox.cfg: ITRIMWL outside 0 to 1000 (intervals a side of the waterline-trimming grid "
         "of each patch), ITRIMWL=2000\n\n  Configuration file hobox.cfg, line 5, keyword ITRIMWL: value \"2000\" "
         "not accepted", {}, true},
        {"box lifted clear of the water", "hobox", "hobox.cfg", 0, Case::Text,
         "ILOWHI=1\nIPOTEN=1\nIFORCE=1\nISOLVE=1\nITRIMWL=1\nXTRIM=0.6 0 0\n",
         "Error in GDF file, body 1 (hobox.gdf): with the trim XTRIM = 0.6 0 0 no point of the body lies more than "
         "1.E-4 x ULEN below the free surface, nothing is wet", {}, true},
        // The box 0.5 deep lifted by its draft: its bottom in the free
        // surface; the B-spline box lifted to 9.E-5 below its draft, with
        // ILOG=1 as a bottom there would ask (its line of the .pot file giving
        // IQUAD and IDIAG only).
        {"box lifted by its draft", "hobox", "hobox.cfg", 0, Case::Text,
         "ILOWHI=1\nIPOTEN=1\nIFORCE=1\nISOLVE=1\nITRIMWL=1\nXTRIM=0.5 0 0\n",
         "Error in GDF file, body 1 (hobox.gdf): with the trim XTRIM = 0.5 0 0 no point of the body lies more than "
         "1.E-4 x ULEN below the free surface, nothing is wet", {}, true, false, true},
        {"B-spline box lifted to 9.E-5 below its draft", "hoboxbs", "hoboxbs.cfg", 0, Case::Text,
         "ILOWHI=1\nIPOTEN=1\nIFORCE=1\nISOLVE=1\nILOG=1\nITRIMWL=1\nXTRIM=0.49991 0 0\n",
         "Error in GDF file, body 1 (hoboxbs.gdf): with the trim XTRIM = 0.49991 0 0 no point of the body lies more "
         "than 1.E-4 x ULEN below the free surface, nothing is wet",
         {{"hoboxbs.pot", "B-spline box, ILOG in the configuration\n 0\n 0\n 0.0  0. 0. 0. 0.\n 0  0   IQUAD IDIAG\n"
                          " 1  1\n 1  1  1  1  1  1\n 3\n 4.  6.  8.\n 2\n 0.  45.\n"}},
         true, false, true},
        // The decked box sunk to leave one corner of its bottom 5.E-4 above
        // the waterline and the next 2.6E-3 below it: the end x = -1 keeps
        // a sliver too thin for the integrals beside it.
        {"decked box trimmed to a sliver", "hobox", "hobox.cfg", 0, Case::Text,
         "ILOWHI=1\nIPOTEN=1\nIFORCE=1\nISOLVE=1\nITRIMWL=1\nXTRIM=0.3586 7.8 0.18\n",
         "Number of subdivisions exceeds MAXSQR=2048: body 1 (hobox.gdf), patch 1, which the waterline trimming "
         "(ITRIMWL=1, XTRIM = 0.3586 7.8 0.18) cuts: the cut leaves a part of the wetted surface too thin for the "
         "integration", {{"hobox.gdf", DECKED_BOX}, {"hobox.spl", DECKED_SPL}}, true},
        // Water 0.3 deep under bodies 0.5 deep.
        {"box deeper than the water", "box", "box.pot", 4, Case::Replace,
         " 0.3  0. 0. 0. 0.   HBOT  XBODY YBODY ZBODY PHIBODY",
         "Error in GDF file box.gdf, body 1, panel 1: centroid below the bottom (depth HBOT = 0.3 in POT file "
         "box.pot)", {}, true, false, true},
        {"flat-patch box deeper than the water", "hobox", "hobox.pot", 4, Case::Replace,
         " 0.3  0. 0. 0. 0.   HBOT  XBODY YBODY ZBODY PHIBODY",
         "Error in GDF file, body 1 (hobox.gdf), patch 1: point below the bottom (depth HBOT = 0.3 in POT file "
         "hobox.pot)", {}, true, false, true},
        // What the FORCE stage of the run would refuse in its configuration
        // pass, force control file or option checks.
        {"control-surface drift with ISOR=0", "boxcsf", "box.pot", 2, Case::Replace, " 0   ISOR",
         " IOPTN(9) > 0 requires source method with ISOR=1\n\n Force control file box.frc refused before the first "
         "period is solved; no .p2f file is written", {}, true},
        {"field arrays asked for, none in the .frc file", "box", "box.cfg", 0, Case::Text,
         "ILOWHI=0\nIFIELD_ARRAYS=1\n",
         " Error reading .FRC file, field points XFIELD\n\n Note: if data is missing from the .frc file this\n\n may "
         "precede the line where the READ error occurs.\n\n Force control file box.frc refused before the first "
         "period is solved; no .p2f file is written", {}, true},
        {"a body's own force control file missing", "box", "box.cfg", 0, Case::Text, "ILOWHI=0\nIALTFRC=3\n",
         " body1.frc            file cannot be opened\n\n Note: if data is missing from the .frc file this\n\n "
         "may precede the line where the READ error occurs.\n\n Force control file box.frc refused",
         {{"box.frc", "Box\n 1 1 1 1 0 0 0 0 0\n 1025.\n body1.frc\n 0\n 0\n"}}, true},
        {"tanks without their fluid density", "box", "box.cfg", 0, Case::Text, "ILOWHI=0\nNPTANK=(1 4)\n",
         " RHOTANK not in CONFIG.ZRV, NTANKS=1\n\n\n Configuration file box.cfg refused before the first period is "
         "solved; no .p2f file is written", {}, true},
        {"one huge line", "hobox", "hobox.gdf", 0, Case::Text, std::string(1500000, '1'),
         "Error: line longer than 1000000 characters in file hobox.gdf"},
        {"endless .gdf", "hohemi", "hohemi.gdf", 0, Case::DevZero, "",
         "Error: line longer than 1000000 characters in file hohemi.gdf"},
        {"endless .spl", "hohemi", "hohemi.spl", 0, Case::DevZero, "",
         "Error: line longer than 1000000 characters in file hohemi.spl"},
        {"endless .pot", "hohemi", "hohemi.pot", 0, Case::DevZero, "",
         "Error: line longer than 1000000 characters in file hohemi.pot"},
        {"endless list file", "hohemi", "fnames.zrv", 0, Case::DevZero, "",
         "Error: line longer than 1000000 characters in file fnames.zrv"},
        {"endless .csf", "boxcsf", "box.csf", 0, Case::DevZero, "",
         "Error: line longer than 1000000 characters in file box.csf"},
        {"endless model file", "hobox", "hobox.gdf", 0, Case::Text, model_gdf("z.zmd", "DEFAULT"),
         NOLOAD, {{"z.zmd", ENDLESS}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string sub = std::to_string(&c - cases);
        sub.insert(0, 1, 'd');
        const fs::path dir = fs::current_path() / sub;
        fs::create_directory(dir);
        copy_example(c.example, dir);
        const fs::path file = dir / c.file;
        for (const auto& [name, text] : c.extra) {
            if (text == ENDLESS)
                fs::create_symlink("/dev/zero", dir / name);
            else
                write_file((dir / name).string(), text);
        }
        if (c.op == Case::DevZero) {
            fs::remove(file);
            fs::create_symlink("/dev/zero", file);
        } else if (c.op == Case::Text) {
            write_file(file.string(), c.value);
        } else {
            std::vector<std::string> lines = read_lines(file.string());
            ASSERT_LE(c.line, static_cast<int>(lines.size()));
            std::string& l = lines[static_cast<std::size_t>(c.line - 1)];
            if (c.op == Case::Double) {
                lines.insert(lines.begin() + c.line - 1, l);
            } else if (c.op == Case::Replace) {
                l = c.value;
            } else {
                const std::size_t b = l.find_first_not_of(' '), e = l.find(' ', b);
                l = " " + c.value + l.substr(e);
            }
            std::string text;
            for (const std::string& s : lines) text += s + "\n";
            write_file(file.string(), text);
        }
        std::string screen;
        EXPECT_EQ(run_program(dir, screen), 1) << screen;
        EXPECT_NE(screen.find(c.message), std::string::npos) << screen;
        if (c.last) {  // nothing but blanks after the (last) line of the message
            const std::string m = c.message;
            const std::size_t at = screen.rfind(m);
            const std::size_t end = at == std::string::npos ? at : screen.find('\n', at + std::max<std::size_t>(m.size(), 1) - 1);
            EXPECT_TRUE(end == std::string::npos || screen.find_first_not_of(" \n", end) == std::string::npos)
                << screen;
        }
        if (c.before_solve) {
            // No period line (period, then the time of day) and no .p2f file.
            EXPECT_FALSE(std::regex_search(screen, std::regex(R"(\n +[0-9.]+ +[0-9]{2}:[0-9]{2}:[0-9]{2} )"))) << screen;
        }
        if (c.before_solve || c.no_p2f) {
            for (const auto& f : fs::directory_iterator(dir)) EXPECT_NE(f.path().extension(), ".p2f");
        }
        fs::remove_all(dir);
    }
}

// A refused run leaves the numeric outputs of an earlier run as they were:
// the FORCE stage alone with a field point above the free surface (refused
// by the option checks, with no report written) or with a body-point file
// that gives no point count, and both stages with the control-surface drift
// asked for without the source method (refused before the first period is
// solved, with no report written).
class EarlierOutputs : public TempDirTest {};

TEST_F(EarlierOutputs, StayAfterARefusedRun) {
    copy_example("boxcsf");
    std::string screen;
    ASSERT_EQ(run_program(fs::current_path(), screen), 0) << screen;
    std::map<std::string, std::string> before;
    for (const char* f : {"box.4", "box.8", "box.9", "box.9c", "box.hst"}) {
        before[f] = read_file(f);
        ASSERT_FALSE(before[f].empty()) << f;
    }
    fs::remove("box.out");
    const std::string cfg = read_file("box.cfg"), frc = read_file("box.frc"), pot = read_file("box.pot");
    auto unchanged = [&](bool report = false) {
        for (const auto& [f, text] : before) EXPECT_EQ(read_file(f), text) << f;
        EXPECT_EQ(fs::exists("box.out"), report);
        fs::remove("box.out");
    };

    write_file("box.cfg", cfg + "IPOTEN=0\n");
    std::string f = frc;
    f.replace(f.find(" 0  0  0  1  0  0  0  1  1"), 26, " 0  0  0  1  0  1  0  1  1");
    f.replace(f.find(" 0                            NFIELD"), 37, " 1\n 0. 0. 0.5");
    write_file("box.frc", f);
    EXPECT_EQ(run_program(fs::current_path(), screen), 1) << screen;
    EXPECT_NE(screen.find(" Field point above free surface, N=1"), std::string::npos) << screen;
    unchanged();

    write_file("box.cfg", cfg + "IPOTEN=0\nIPNLBPT=1\n");
    f = frc;
    f.replace(f.find(" 0  0  0  1  0  0  0  1  1"), 26, " 0  0  0  1  1  0  0  1  1");
    write_file("box.frc", f);
    write_file("box.bpi", "Body points\nnone\n");
    EXPECT_EQ(run_program(fs::current_path(), screen), 1) << screen;
    EXPECT_NE(screen.find(" Error reading the number of points (record 2) of body-point file box.bpi"),
              std::string::npos)
        << screen;
    unchanged(true);

    write_file("box.cfg", cfg);
    write_file("box.frc", frc);
    std::string p = pot;
    p.replace(p.find(" 1                   ISOR"), 2, " 0");
    write_file("box.pot", p);
    fs::remove("box.p2f");
    EXPECT_EQ(run_program(fs::current_path(), screen), 1) << screen;
    EXPECT_NE(screen.find(" IOPTN(9) > 0 requires source method with ISOR=1"), std::string::npos) << screen;
    EXPECT_FALSE(fs::exists("box.p2f"));
    unchanged();
}

// The box of hobox (2 x 1 x 0.5, no deck) lifted by 0.4 and trimmed 6
// degrees bow down (XTRIM = 0.4 6 0): its top edge stays above water, its
// stern end x = -1 leaves it, and the wetted part runs through FORCE to the
// results.  By hand, with s = sin 6, c = cos 6: a point (x, z) of the box
// lies at height -s x + c z + 0.4, so the wet depth of the box at x is
// h(x) = 0.5 + (s x - 0.4) / c (from x0 = -0.93047 on, where it is 0), the
// wetted volume is the integral of h (width 1), and the waterline on each
// side runs from (x0, -0.5) to (1, (s - 0.4) / c), whose horizontal extent
// c x + s z is the waterplane length (C33 in units of rho g ULEN^2).  The
// trim keeps the plane y = 0 of symmetry: no added mass or damping between
// the modes symmetric in y (1, 3, 5) and the others (2, 4, 6); it breaks
// the fore-and-aft symmetry: surge and heave are coupled, as heave and
// surge, the same coupling both ways.  The panel listing (option 5) covers
// the wetted surface: the two sides (the volume each), the bottom from x0
// and the end x = 1 to the depth h(1).
class TrimmedRun : public TempDirTest {};

TEST_F(TrimmedRun, BoxTrimmedSixDegreesRunsToResults) {
    copy_example("hobox");
    write_file("hobox.cfg", "ILOWHI=1\nIPOTEN=1\nIFORCE=1\nISOLVE=1\nITRIMWL=1\nXTRIM=0.4 6 0\n");
    std::vector<std::string> frc = read_lines("hobox.frc");
    ASSERT_GE(frc.size(), 2u);
    frc[1] = " 1  1  1  1  1  0  0  0  0    IOPTN(1..9)";
    std::string text;
    for (const std::string& l : frc) text += l + "\n";
    write_file("hobox.frc", text);
    std::string screen;
    ASSERT_EQ(run_program(fs::current_path(), screen), 0) << screen;
    EXPECT_NE(screen.find("ZORVA run completed"), std::string::npos) << screen;
    EXPECT_TRUE(fs::exists("hobox.p2f"));

    const double s = std::sin(6.0 * M_PI / 180), c = std::cos(6.0 * M_PI / 180);
    const double a = 0.5 - 0.4 / c, b = s / c, x0 = -a / b;
    const double volume = a * (1 - x0) + b * (1 - x0 * x0) / 2;
    const double awp = (c * 1 + s * (s - 0.4) / c) - (c * x0 - s * 0.5);
    const std::string out = read_file("hobox.out");
    std::smatch m;
    ASSERT_TRUE(std::regex_search(out, m, std::regex(R"(Volumes \(VOLX,VOLY,VOLZ\): +(\S+) +(\S+) +(\S+))")));
    EXPECT_NEAR(std::stod(m[3]) / volume, 1.0, 1e-4) << m[0];
    ASSERT_TRUE(std::regex_search(out, m, std::regex(R"(C\(3,3\),C\(3,4\),C\(3,5\): +(\S+))")));
    EXPECT_NEAR(std::stod(m[1]) / awp, 1.0, 1e-3) << m[0];
    double area = 0;
    int panels = 0;
    for (const std::string& line : read_lines("hobox.pnl")) {
        std::istringstream in(line);
        int k = 0, j = 0;
        double x[3], ap = 0;
        if (!(in >> k >> j >> x[0] >> x[1] >> x[2] >> ap)) continue;
        EXPECT_LE(x[2], 1e-6) << line;
        area += ap, ++panels;
    }
    EXPECT_GT(panels, 0);
    EXPECT_NEAR(area / (2 * volume + (1 - x0) + (a + b)), 1.0, 1e-2);

    // Added mass and damping of each period: "period i j A B".
    std::map<double, double> A[7][7], B[7][7];
    int rows = 0;
    for (const std::string& line : read_lines("hobox.1")) {
        std::istringstream in(line);
        double per = 0, av = 0, bv = 0;
        int i = 0, j = 0;
        if (!(in >> per >> i >> j >> av >> bv) || i < 1 || i > 6 || j < 1 || j > 6) continue;
        A[i][j][per] = av, B[i][j][per] = bv;
        ++rows;
    }
    ASSERT_EQ(rows, 3 * 36);
    for (const auto& [per, a33] : A[3][3]) {
        SCOPED_TRACE(per);
        double big = 0;
        for (int i = 1; i <= 6; ++i) big = std::max({big, std::fabs(A[i][i][per]), std::fabs(B[i][i][per])});
        for (int i = 1; i <= 6; ++i)
            for (int j = 1; j <= 6; ++j) {
                if (i % 2 == j % 2) continue;
                EXPECT_LT(std::fabs(A[i][j][per]), 1e-5 * big) << i << " " << j;
                EXPECT_LT(std::fabs(B[i][j][per]), 1e-5 * big) << i << " " << j;
            }
        EXPECT_GT(std::fabs(A[1][3][per]), 0.05 * std::sqrt(A[1][1][per] * a33));
        EXPECT_NEAR(A[1][3][per] / A[3][1][per], 1.0, 0.02);
        EXPECT_NEAR(B[1][3][per] / B[3][1][per], 1.0, 0.02);
    }
}

}  // namespace
}  // namespace zorva::test
