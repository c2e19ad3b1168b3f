// The physical relations of the FORCE results on the potentials of the real
// POTEN stage: the box and hemisphere of the examples, one period and
// headings every 10 degrees, through the .p2f file into the FORCE stage.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "main/drivers/drivers.hpp"
#include "tests/drivers/fixture.hpp"
#include "tests/force/refsolver.hpp"
#include "tests/force/relations.hpp"

namespace zorva {
namespace {

using test::DriverTest;

std::string example(const std::string& rel) {
    std::ifstream in(test::source_path(rel));
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST_F(DriverTest, ForcePhysicsOnRealPotentials) {
    struct Case {
        const char* name;
        std::string gdf;
        double nu;  // infinite-depth wavenumber of the one period (unit length)
    };
    const Case cases[] = {
        {"box of the example, panels 0.125", test::gdf_of(test::box(2.0, 1.0, 0.5, 16, 8, 4)), 0.8},
        {"hemisphere of the example", example("examples/hemisphere/hemi.gdf"), 0.6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fresh();
        std::remove("run.p2f");
        const double per = 2.0 * M_PI / std::sqrt(c.nu * 9.80665);
        std::ostringstream pot;
        pot.precision(9);
        pot << "Physics test\n0\n0\n0. 0. 0. 0. 0.\n0 0 0\n1 1\n1 1 1 1 1 1\n1\n" << per << "\n36\n";
        for (int j = 0; j < 36; ++j) pot << 10 * j << ' ';
        pot << '\n';
        config("ISOLVE = 1\n", pot.str(), c.gdf);
        frc_file({0, 1, 1, 1, 0, 0, 0, 0, 0, 0});
        poten_file();
        int ierr = -1;
        FORCERUN(ierr);
        ASSERT_EQ(ierr, 0);
        ASSERT_EQ(model::NBETA, 36);
        test::check_relations(c.nu);
        chan::close(1);
        EXPECT_EQ(read_lines("errorf.log").size(), 1u);  // the header alone: no warning, no error
        chan::reset();
        chan::set_keyboard(&keyboard);
        chan::set_screen(&screen);
    }
}

}  // namespace
}  // namespace zorva
