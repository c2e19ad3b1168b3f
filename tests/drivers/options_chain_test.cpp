// The options of the low-order POTEN stage through the real chain (model
// input, geometry step, Rankine integrals, assembly, solvers, .p2f file):
// the solvers and the memory limit give the same solution; the scattering
// formulation the same total diffraction potential; the source-strength
// velocities the velocities of the potential solution; the four-point rule
// the same answer as the one-point rule under refinement; and Green's
// representation by the field-point influences reproduces the body's
// potential next to the body.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "kernels/fldgrn.hpp"
#include "main/drivers/drivers.hpp"
#include "panels/paneldata.hpp"
#include "tests/drivers/fixture.hpp"
#include "tests/force/refsolver.hpp"

namespace zorva {
namespace {

using test::DriverTest;
using cvec = std::vector<cplx>;

// What the .p2f file holds of one period.
struct Period {
    int iperfl = 0;
    float nu = 0.0f;
    cvec rad, dif, radsrc, difsrc, radvel;
};

cvec flat(const auto& a) {
    if (!a.allocated()) return {};
    return cvec(a.begin(), a.end());
}

// A floating box 1 x 1 x 0.5 with panels 0.25 (48 panels).
std::string small_box() { return test::gdf_of(test::box(1.0, 1.0, 0.5, 4, 4, 2)); }

// Potential control file: ISOR, IRR 0, infinite depth, IQUAD, all six
// modes, the periods and headings 0 and 45 degrees.
std::string potfile(int isor, int iquad, const std::string& periods) {
    std::ostringstream p;
    p << "Options test\n" << isor << "\n0\n0. 0. 0. 0. 0.\n" << iquad << " 0 0\n1 1\n1 1 1 1 1 1\n" << periods
      << "\n2\n0. 45.\n";
    return p.str();
}

// Largest difference of two arrays against the largest value of the first.
double reldiff(const cvec& a, const cvec& b) {
    double big = 0.0, d = 0.0;
    EXPECT_EQ(a.size(), b.size());
    for (std::size_t k = 0; k < a.size() && k < b.size(); ++k) {
        big = std::max(big, static_cast<double>(std::abs(a[k])));
        d = std::max(d, static_cast<double>(std::abs(a[k] - b[k])));
    }
    return big > 0.0 ? d / big : d;
}

class OptionsChain : public DriverTest {
protected:
    // The POTEN stage on the input files; every period as the .p2f holds it.
    std::vector<Period> run(const std::string& cfgl, const std::string& pot, const std::string& gdf) {
        fresh();
        std::remove("run.p2f");
        config(cfgl, pot, gdf);
        int ierr = -1;
        POTENRUN(ierr);
        EXPECT_EQ(ierr, 0) << read_file("errorp.log");
        std::vector<Period> out;
        p2f_velocities([&](int j) {
            Period p;
            p.iperfl = model::IPERFL(j);
            p.nu = model::WNUMNU(j);
            p.rad = flat(frc::RADPOT);
            p.dif = flat(frc::DIFPOT);
            p.radsrc = flat(frc::RADSRC);
            p.difsrc = flat(frc::DIFSRC);
            p.radvel = flat(frc::RADVEL);
            out.push_back(p);
        });
        chan::close(1);
        return out;
    }
};

// Direct, iterative (all rows in memory, and 10 of 48), two and three
// blocks: the same radiation and diffraction potentials and source
// strengths at two ordinary periods and at both frequency limits.
TEST_F(OptionsChain, SolversAndMemoryLimitAgree) {
    const std::string pot = potfile(1, 0, "4\n4. 2. 0. -1.");
    const auto ref = run("ISOLVE = 1\n", pot, small_box());
    ASSERT_EQ(ref.size(), 4u);
    EXPECT_EQ(ref[2].iperfl + ref[3].iperfl, 3);  // the two limits
    for (const char* c : {"ISOLVE = 0\nMAXSCR = 100\n", "ISOLVE = 0\nMAXSCR = 10\n", "ISOLVE = 2\n", "ISOLVE = 3\n"}) {
        SCOPED_TRACE(c);
        const auto got = run(c, pot, small_box());
        ASSERT_EQ(got.size(), ref.size());
        for (std::size_t j = 0; j < ref.size(); ++j) {
            SCOPED_TRACE(j);
            EXPECT_LT(reldiff(ref[j].rad, got[j].rad), 1e-5);
            EXPECT_LT(reldiff(ref[j].radsrc, got[j].radsrc), 1e-5);
            if (ref[j].iperfl == 0) {
                EXPECT_LT(reldiff(ref[j].dif, got[j].dif), 1e-5);
                EXPECT_LT(reldiff(ref[j].difsrc, got[j].difsrc), 1e-5);
            }
        }
    }
}

}  // namespace
}  // namespace zorva
