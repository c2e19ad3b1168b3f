// Shared set-up of the driver tests: a fresh working directory, every
// shared module back at its start, and the stand-ins' fixed model.
#pragma once

#include <array>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "common/channels.hpp"
#include "geometry/model.hpp"
#include "geometry/modelmore.hpp"
#include "main/config.hpp"
#include "main/drivers/drivers.hpp"
#include "main/drivers/standins.hpp"
#include "main/fnames.hpp"
#include "main/runparams.hpp"
#include "main/symmetry.hpp"
#include "p2f/forcedata.hpp"
#include "panels/geomdata.hpp"
#include "panels/paneldata.hpp"
#include "tests/support/testdir.hpp"

namespace zorva::test {

class DriverTest : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        reset_modules();
        standin::reset();
    }
    static void reset_modules() {
        cfg::reset();
        fnames::reset();
        model::reset();
        model::reset_more();
        run::reset();
        sym::reset();
        pnl::reset();
        pnl::reset_geom();
        frc::reset();
    }
    // The list file names the configuration file, which holds `lines`, the
    // run (run.pot: the .p2f file is run.p2f, the report run.out) and the
    // force control file run.frc.
    static void config(const std::string& lines) {
        write_file("fnames.zrv", "run.cfg\nrun.pot\nrun.frc\n");
        write_file("run.cfg", lines);
        if (!chan::exists("run.frc")) frc_file({0, 1, 0, 0, 0, 0, 0, 0, 0, 0});
    }
    // A force control file in the first layout for the one body of the
    // stand-in model: the options, ZCG, the radii of gyration, no Haskind
    // headings, and one field point when option 6 or 7 asks for it.
    static void frc_file(const std::array<int, 10>& ioptn) {
        std::ostringstream f;
        f << "Force control of the test model\n";
        for (int k = 1; k <= 9; ++k) f << ' ' << ioptn[static_cast<std::size_t>(k)];
        f << "\n0.0\n1 0 0  0 1 0  0 0 1\n0\n";
        if (ioptn[6] != 0 || ioptn[7] != 0)
            f << "1\n0.0 0.0 -0.5\n";
        else
            f << "0\n";
        write_file("run.frc", f.str());
    }
    // The POTEN stage of the stand-in model, leaving run.p2f; then the
    // call record is cleared and the POTEN error log closed.
    static void poten_file() {
        int ierr = -1;
        POTENRUN(ierr);
        ASSERT_EQ(ierr, 0);
        standin::clear_calls();
        chan::close(1);
        for (const char* f : {"run.out", "run.hst"}) std::remove(f);
    }
    static std::vector<std::string> calls() { return standin::CALLS; }
};

}  // namespace zorva::test
