// Shared set-up of the driver tests: a fresh working directory, every
// shared module back at its start, and a one-panel model for the model
// input (list file, configuration, potential control and geometry files).
#pragma once

#include <string>
#include <vector>

#include "geometry/model.hpp"
#include "main/config.hpp"
#include "main/drivers/standins.hpp"
#include "main/fnames.hpp"
#include "main/runparams.hpp"
#include "main/symmetry.hpp"
#include "tests/support/testdir.hpp"

namespace zorva::test {

class DriverTest : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        cfg::reset();
        fnames::reset();
        model::reset();
        run::reset();
        sym::reset();
        standin::reset();
    }
    // A potential control file: `head` holds the lines of ISOR and IRR (left
    // out where the configuration gives them), `quad` IQUAD ILOG IDIAG,
    // `raddiff` IRAD IDIFF, `per` NPER and the periods, `beta` NBETA and
    // the headings.  By default two periods of 10 s and 5 s, one heading.
    static std::string pot(const std::string& head = "0\n0\n", const std::string& quad = "0 0 0",
                           const std::string& raddiff = "1 1", const std::string& per = "2\n10. 5.",
                           const std::string& beta = "1\n0.") {
        return "Test model\n" + head + "0. 0. 0. 0. 0.\n" + quad + "\n" + raddiff + "\n1 1 1 1 1 1\n" + per + "\n" +
               beta + "\n";
    }
    static constexpr const char* GDF =
        "One square panel\n1.0 9.80665\n0 0\n1\n-0.5 -0.5 -0.5  -0.5 0.5 -0.5  0.5 0.5 -0.5  0.5 -0.5 -0.5\n";
    // The list file names the configuration file, which holds `lines`, the
    // potential control file, which holds `potfile`, and the geometry file:
    // one square panel 1 x 1 at depth 0.5.
    static void config(const std::string& lines, const std::string& potfile = pot()) {
        write_file("fnames.zrv", "run.cfg\nrun.pot\nrun.gdf\n");
        write_file("run.cfg", lines);
        write_file("run.pot", potfile);
        write_file("run.gdf", GDF);
    }
    // What the model input logs of the files above: the potential control
    // file in full, and the head of the geometry file twice (read once as the
    // global geometry file and once as the body's).
    static std::vector<std::string> model_echo() {
        std::vector<std::string> out = {"", " Input file run.pot"};
        for (const auto& l : read_lines("run.pot")) out.push_back(l);
        for (int k = 0; k < 2; ++k) {
            out.insert(out.end(), {"", " First    10 lines of input file run.gdf"});
            for (const auto& l : read_lines("run.gdf")) out.push_back(l);
        }
        return out;
    }
    static std::vector<std::string> calls() { return standin::CALLS; }
};

}  // namespace zorva::test
