// Shared set-up of the driver tests: a fresh working directory, every
// shared module back at its start, and the stand-ins' fixed model.
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
    // The list file names the configuration file, which holds `lines`
    // after the choice of the direct solver (the period loop solves for
    // real on the stand-ins' small model).
    static void config(const std::string& lines) {
        write_file("fnames.zrv", "run.cfg\n");
        write_file("run.cfg", "ISOLVE = 1\n" + lines);
    }
    static std::vector<std::string> calls() { return standin::CALLS; }
};

}  // namespace zorva::test
