// The mean drift by pressure integration against the drift by momentum
// conservation, both from the potentials and velocities of the real POTEN
// stage (source method) on a faceted hemisphere, headings every 30 degrees:
// for the held body the two agree within a few percent, and held or
// floating the drift has no part across the waves and no yaw moment.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "main/drivers/drivers.hpp"
#include "tests/drivers/fixture.hpp"
#include "tests/force/refsolver.hpp"

namespace zorva {
namespace {

using test::DriverTest;

// Records of a drift file: (heading, label) -> complex value.
std::map<std::pair<int, int>, std::complex<double>> drift_records(const std::vector<std::string>& lines) {
    std::map<std::pair<int, int>, std::complex<double>> out;
    for (const auto& l : lines) {
        std::istringstream in(l);
        double per, b1, b2, mod, pha, re, im;
        int label;
        if (in >> per >> b1 >> b2 >> label >> mod >> pha >> re >> im)
            out[{static_cast<int>(std::lround(b1)), label}] = {re, im};
    }
    return out;
}

TEST_F(DriverTest, PressureIntegrationDriftAgainstMomentumDrift) {
    const double nu = 0.6, per = 2.0 * M_PI / std::sqrt(nu * 9.80665);
    std::ostringstream pot;
    pot.precision(9);
    pot << "Drift test\n0\n0. 0. 0. 0. 0.\n0 0 0\n1 1\n1 1 1 1 1 1\n1\n" << per << "\n12\n";
    for (int j = 0; j < 12; ++j) pot << 30 * j << ' ';
    pot << '\n';
    const std::string gdf = test::gdf_of(test::hemisphere(1.0, 12, 48));
    config("ISOR = 1\nISOLVE = 1\n", pot.str(), gdf);
    poten_file();
    double held = 0.0;  // the held body's drift along the waves
    // The body held (no motions), then floating with its centre of gravity
    // below the centre of buoyancy; the same potentials for both.
    for (const char* motions : {"0", "1"}) {
        SCOPED_TRACE(motions);
        if (motions[0] == '1') {
            // A FORCE-only run on the .p2f file of the first.
            fresh();
            std::remove("run.out");
            config("ISOR = 1\nISOLVE = 1\nIPOTEN = 0\n", pot.str(), gdf);
        }
        write_file("run.frc", std::string("Force control of the drift test\n 0 0 0 ") + motions +
                                  " 0 0 0 1 1\n-0.5\n0.6 0 0  0 0.6 0  0 0 0.6\n0\n0\n");
        int ierr = -1;
        FORCERUN(ierr);
        ASSERT_EQ(ierr, 0);
        chan::close(1);
        const auto mom = drift_records(read_lines("run.8"));
        const auto pi = drift_records(read_lines("run.9"));
        ASSERT_EQ(mom.size(), 36u);
        ASSERT_EQ(pi.size(), 108u);
        for (int j = 0; j < 12; ++j) {
            const int b = 30 * j;
            const double br = b * M_PI / 180.0;
            const double fx = mom.at({b, 1}).real(), fy = mom.at({b, 2}).real();
            const double px = pi.at({b, 1}).real(), py = pi.at({b, 2}).real();
            const double along_m = fx * std::cos(br) + fy * std::sin(br);
            const double along_p = px * std::cos(br) + py * std::sin(br);
            if (motions[0] == '0') {
                held = along_m;
                // The held body: the two drifts within a few percent (the
                // pressure integration converges with the panel size).
                EXPECT_NEAR(along_p / along_m, 1.0, 0.07) << b;
            }
            // Symmetric about every vertical plane through the axis: no
            // drift across the waves, no yaw moment.
            EXPECT_NEAR(-px * std::sin(br) + py * std::cos(br), 0.0, 1e-4 * held) << b;
            EXPECT_NEAR(pi.at({b, 6}).real(), 0.0, 1e-4 * held) << b;
        }
    }
}

}  // namespace
}  // namespace zorva
