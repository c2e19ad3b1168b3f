// The mean drift through a control surface against the drift by momentum
// conservation and by pressure integration, all three from the real POTEN
// stage (source method) on faceted hemispheres of two panel sizes, the body
// held and floating freely.  The control surface is a faceted vertical
// cylinder of radius 2 and depth 2 around the body, closed by a bottom and
// by the free surface between it and the body's waterline, given as
// low-order panels.  Through a surface with no body inside the horizontal
// momentum flux is the flux at infinity, so the control-surface drift must
// match the momentum drift up to the surface's quadrature; the vertical
// drift has only the pressure integration to compare with.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <complex>
#include <cmath>
#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "ctrlsurf/csfdata.hpp"
#include "main/drivers/drivers.hpp"
#include "tests/drivers/fixture.hpp"
#include "tests/force/refsolver.hpp"

namespace zorva {
namespace {

using test::drift_records;
using test::DriverTest;
using test::RPanel;
using test::V3;

// Low-order .csf file of the panels (normals into the enclosed fluid).
std::string csf_of(const std::vector<RPanel>& pans) {
    const std::string g = test::gdf_of(pans);
    std::size_t at = 0;
    for (int k = 0; k < 3; ++k) at = g.find('\n', at) + 1;
    return "Control surface\n0\n0 0\n" + g.substr(at);
}

// Faceted cylinder of radius A and depth D with m facets (vertices at the
// angles 2 pi j / m, as the hemisphere's waterline), its bottom, and the
// free surface from radius R (the body's waterline polygon) out to it.
// Panels of about h; normals towards the body (down on the free surface).
std::vector<RPanel> cylinder_surface(double A, double D, double R, int m, double h) {
    std::vector<RPanel> out;
    auto at = [&](double r, int j, double z) {
        const double f = 2 * M_PI * j / m;
        return V3{r * std::cos(f), r * std::sin(f), z};
    };
    const int nz = static_cast<int>(std::lround(D / h)), nb = static_cast<int>(std::lround(A / h)),
              nf = static_cast<int>(std::lround((A - R) / h));
    for (int j = 0; j < m; ++j) {
        for (int k = 0; k < nz; ++k) {
            const double z0 = -D * k / nz, z1 = -D * (k + 1) / nz;
            out.push_back(test::make_panel(at(A, j, z0), at(A, j + 1, z0), at(A, j + 1, z1), at(A, j, z1),
                                           V3{0, 0, 0.5 * (z0 + z1)}));
        }
        for (int k = 0; k < nb; ++k) {
            const double r0 = A * k / nb, r1 = A * (k + 1) / nb;
            out.push_back(test::make_panel(at(r0, j, -D), at(r1, j, -D), at(r1, j + 1, -D), at(r0, j + 1, -D),
                                           V3{0, 0, 0}));
        }
        for (int k = 0; k < nf; ++k) {
            const double r0 = R + (A - R) * k / nf, r1 = R + (A - R) * (k + 1) / nf;
            const V3 c = at(0.5 * (r0 + r1), j, 0.0);
            out.push_back(test::make_panel(at(r0, j, 0), at(r1, j, 0), at(r1, j + 1, 0), at(r0, j + 1, 0),
                                           V3{c[0], c[1], -1.0}));
        }
    }
    return out;
}

constexpr int HEADINGS[] = {0, 30};

// Drift of one heading: along the waves (momentum, pressure, control
// surface) and vertical (pressure, control surface); cs2, csz2: the control
// surface with the free-surface form of its waterline terms (ICTRSURF = 2).
struct Drift {
    double mom, pi, cs, piz, csz, cs2 = 0.0, csz2 = 0.0;
};

class CsfDrift : public DriverTest {
protected:
    // The FORCE stage on the .p2f file of the run's inputs.
    void force_stage() {
        int ierr = -1;
        POTENRUN(ierr);  // the configuration, no POTEN stage
        EXPECT_EQ(ierr, 0);
        FORCERUN(ierr);
        EXPECT_EQ(ierr, 0);
        chan::close(1);
    }
    std::map<std::pair<int, int>, std::complex<double>> floating_cs(int nt, bool quarter);
    // POTEN on a hemisphere of radius 1 with nt panels from the bottom to
    // the waterline, then FORCE held (first) and floating (second).
    std::array<std::map<int, Drift>, 2> drift(int nt) {
        const double nu = 0.6, per = 2.0 * M_PI / std::sqrt(nu * 9.80665);
        std::ostringstream pot;
        pot.precision(9);
        pot << "Control-surface drift test\n0\n0. 0. 0. 0. 0.\n0 0 0\n1 1\n1 1 1 1 1 1\n1\n" << per << "\n2\n";
        for (int b : HEADINGS) pot << b << ' ';
        pot << '\n';
        const std::string gdf = test::gdf_of(test::hemisphere(1.0, nt, 4 * nt));
        fresh();
        std::remove("run.p2f");
        config("ISOR = 1\nISOLVE = 1\nICTRSURF = 1\n", pot.str(), gdf);
        poten_file();
        std::array<std::map<int, Drift>, 2> out;
        for (int run = 0; run < 4; ++run) {
            const int m = run / 2, ics = run % 2 + 1;
            fresh();
            for (const char* f : {"run.out", "run.9c"}) std::remove(f);
            config("ISOR = 1\nISOLVE = 1\nIPOTEN = 0\nICTRSURF = " + std::to_string(ics) + "\n", pot.str(), gdf);
            write_file("run.csf", csf_of(cylinder_surface(2.0, 2.0, 1.0, 4 * nt, 0.125)));
            write_file("run.frc", std::string("Force control of the drift test\n 0 0 0 ") + (m == 0 ? "0" : "1") +
                                      " 0 0 0 1 1\n-0.5\n0.6 0 0  0 0.6 0  0 0 0.6\n0\n0\n");
            force_stage();
            const auto mom = drift_records(read_lines("run.8"));
            const auto pi = drift_records(read_lines("run.9"));
            const auto cs = drift_records(read_lines("run.9c"));

            EXPECT_EQ(cs.size(), pi.size());
            if (mom.size() != 6u || pi.size() != 18u || cs.size() != 18u) return out;
            for (int b : HEADINGS) {
                const double br = b * M_PI / 180.0, c = std::cos(br), s = std::sin(br);
                auto along = [&](const auto& r) { return r.at({b, 1}).real() * c + r.at({b, 2}).real() * s; };
                auto across = [&](const auto& r) { return -r.at({b, 1}).real() * s + r.at({b, 2}).real() * c; };
                Drift& d = out[static_cast<std::size_t>(m)][b];
                if (ics == 1)
                    d = {along(mom), along(pi), along(cs), pi.at({b, 3}).real(), cs.at({b, 3}).real()};
                else {
                    d.cs2 = along(cs);
                    d.csz2 = cs.at({b, 3}).real();
                }
                // Symmetric about every vertical plane through its axis: no
                // drift across the waves and no yaw moment by any method.
                const double ref = std::fabs(along(mom));
                EXPECT_NEAR(across(mom), 0.0, 1e-3 * ref) << b;
                EXPECT_NEAR(across(pi), 0.0, 1e-3 * ref) << b;
                EXPECT_NEAR(across(cs), 0.0, 1e-3 * ref) << b;
                EXPECT_NEAR(mom.at({b, 6}).real(), 0.0, 1e-3 * ref) << b;
                EXPECT_NEAR(pi.at({b, 6}).real(), 0.0, 1e-3 * ref) << b;
                EXPECT_NEAR(cs.at({b, 6}).real(), 0.0, 1e-3 * ref) << b;
                if (b == 0) {
                    EXPECT_NEAR(pi.at({b, 4}).real(), 0.0, 1e-3 * ref);
                    EXPECT_NEAR(cs.at({b, 4}).real(), 0.0, 1e-3 * ref);
                }
            }
            chan::reset();
            chan::set_keyboard(&keyboard);
            chan::set_screen(&screen);
        }
        return out;
    }
};

// The .9c records of the floating body on nt panels from the bottom to the
// waterline with the control surface of panel size 0.25; `quarter`: the
// body and the control surface given as their quarter x, y >= 0, the run
// using both symmetry planes.
std::map<std::pair<int, int>, std::complex<double>> CsfDrift::floating_cs(int nt, bool quarter) {
    const double nu = 0.6, per = 2.0 * M_PI / std::sqrt(nu * 9.80665);
    std::ostringstream pot;
    pot.precision(9);
    pot << "Control-surface drift test\n0\n0. 0. 0. 0. 0.\n0 0 0\n1 1\n1 1 1 1 1 1\n1\n" << per << "\n2\n0 30\n";
    auto part = [quarter](std::vector<RPanel> ps) {
        if (!quarter) return ps;
        std::vector<RPanel> q;
        for (const auto& p : ps)
            if (p.c[0] > 0 && p.c[1] > 0) q.push_back(p);
        return q;
    };
    auto sym = [quarter](std::string f, const char* from) {
        if (quarter) f.replace(f.find(from), 5, "\n1 1\n");
        return f;
    };
    const std::string gdf = sym(test::gdf_of(part(test::hemisphere(1.0, nt, 4 * nt))), "\n0 0\n");
    fresh();
    std::remove("run.p2f");
    config("ISOR = 1\nISOLVE = 1\nICTRSURF = 1\n", pot.str(), gdf);
    poten_file();
    fresh();
    config("ISOR = 1\nISOLVE = 1\nIPOTEN = 0\nICTRSURF = 1\n", pot.str(), gdf);
    write_file("run.csf", sym(csf_of(part(cylinder_surface(2.0, 2.0, 1.0, 4 * nt, 0.25))), "\n0 0\n"));
    write_file("run.frc", "Force control of the drift test\n 0 0 0 1 0 0 0 0 1\n-0.5\n0.6 0 0  0 0.6 0  0 0 0.6\n0\n0\n");
    force_stage();
    const auto out = drift_records(read_lines("run.9c"));
    chan::reset();
    chan::set_keyboard(&keyboard);
    chan::set_screen(&screen);
    return out;
}

// The same body and control surface given whole and as their quarter: the
// symmetry components recombined at the points and their images give the
// same control-surface drift, all six components and both headings.
TEST_F(CsfDrift, QuarterWithBothSymmetryPlanesAsTheWhole) {
    const auto whole = floating_cs(8, false), quarter = floating_cs(8, true);
    ASSERT_EQ(whole.size(), 18u);
    ASSERT_EQ(quarter.size(), 18u);
    double big = 0.0;
    for (const auto& [k, v] : whole) big = std::max(big, std::abs(v));
    for (const auto& [k, v] : whole) {
        SCOPED_TRACE(k.first);
        SCOPED_TRACE(k.second);
        EXPECT_NEAR(quarter.at(k).real(), v.real(), 1e-4 * big);
        EXPECT_NEAR(quarter.at(k).imag(), v.imag(), 1e-4 * big);
    }
}

TEST_F(CsfDrift, ControlSurfaceAgainstMomentumAndPressureHeldAndFloating) {
    const int NT[2] = {12, 16};  // 576 and 1024 panels
    std::array<std::array<std::map<int, Drift>, 2>, 2> r;
    for (int k = 0; k < 2; ++k) {
        SCOPED_TRACE(NT[k]);
        r[static_cast<std::size_t>(k)] = drift(NT[k]);
    }
    for (int m = 0; m < 2; ++m)
        for (int b : HEADINGS) {
            SCOPED_TRACE(m == 0 ? "held" : "floating");
            SCOPED_TRACE(b);
            const Drift c = r[0][static_cast<std::size_t>(m)][b], f = r[1][static_cast<std::size_t>(m)][b];
            for (int k = 0; k < 2; ++k) {
                const Drift d = k == 0 ? c : f;
                std::printf("%-8s nt=%2d beta=%2d  along: mom %.5e  pi %.5e  cs %.5e  cs2 %.5e   vertical: pi %.5e  "
                            "cs %.5e  cs2 %.5e\n",
                            m == 0 ? "held" : "floating", NT[k], b, d.mom, d.pi, d.cs, d.cs2, d.piz, d.csz, d.csz2);
            }
            // Along the waves the control surface approaches the momentum
            // drift as the body's panels shrink (the flux through it is that
            // of the panels' sources; the momentum drift takes the far field
            // from the body values): within 5 % and closing.
            EXPECT_NEAR(f.cs / f.mom, 1.0, 0.05);
            EXPECT_LT(std::fabs(f.cs - f.mom), 0.8 * std::fabs(c.cs - c.mom));
            EXPECT_LT(std::fabs(f.pi - f.mom), 0.8 * std::fabs(c.pi - c.mom));
            // Vertically the control surface and the pressure integration
            // approach each other.
            EXPECT_NEAR(f.csz / f.piz, 1.0, m == 0 ? 0.01 : 0.05);
            EXPECT_LT(std::fabs(f.csz - f.piz), 0.85 * std::fabs(c.csz - c.piz));
            // With the waterline terms moved to the body's waterline and the
            // free surface between (the divergence theorem on the mean free
            // surface, where phi_z = nu phi) the two forms differ only by the
            // discretisation: by the first power of the body's panel size
            // along the waves (the pressure of the waterline panels stands
            // for the elevation at the waterline), and not at all vertically
            // (the vertical wall's waterline carries no vertical normal).
            EXPECT_LT(std::fabs(f.cs2 - f.cs), 0.8 * std::fabs(c.cs2 - c.cs));
            EXPECT_LT(std::fabs(f.cs2 - f.mom), 0.8 * std::fabs(c.cs2 - c.mom));
            EXPECT_NEAR(f.csz2, f.csz, 1e-4 * std::fabs(f.csz));
            EXPECT_NEAR(c.csz2, c.csz, 1e-4 * std::fabs(c.csz));
        }
}


// The exact hemisphere of the higher-order method (4 patches of 4 x 4
// quadratic spline panels) held in waves, with the same control surface
// (32 facets, so that its free surface nearly meets the round waterline):
// its drift along the waves is the momentum drift, and its vertical drift
// the pressure-integration drift.
TEST_F(CsfDrift, HigherOrderHemisphere) {
    const double nu = 0.6, per = 2.0 * M_PI / std::sqrt(nu * 9.80665);
    std::ostringstream pot, spl;
    pot.precision(9);
    pot << "Control-surface drift, higher order\n0\n0\n0. 0. 0. 0. 0.\n0 0 0\n1 1\n1 1 1 1 1 1\n1\n" << per
        << "\n2\n0 30\n";
    spl << "Hemisphere\n";
    for (int p = 0; p < 4; ++p) spl << " 4 4\n 3 3\n 2 2\n 4 4\n";
    fresh();
    config("ILOWHI = 1\nISOLVE = 1\nICTRSURF = 1\n", pot.str(), "Hemisphere\n 1.0 9.80665\n 0 0\n 4 3\n 1\nHEMISPHERE 1.0\n");
    write_file("run.spl", spl.str());
    poten_file();
    fresh();
    for (const char* f : {"run.out", "run.8", "run.9", "run.9c"}) std::remove(f);
    config("ILOWHI = 1\nISOLVE = 1\nIPOTEN = 0\nICTRSURF = 1\n", pot.str(),
           "Hemisphere\n 1.0 9.80665\n 0 0\n 4 3\n 1\nHEMISPHERE 1.0\n");
    write_file("run.csf", csf_of(cylinder_surface(2.0, 2.0, 1.0, 32, 0.125)));
    write_file("run.frc", "Force control of the drift test\n 0 0 0 0 0 0 0 1 1\n-0.5\n0.6 0 0  0 0.6 0  0 0 0.6\n0\n0\n");
    force_stage();
    const auto mom = drift_records(read_lines("run.8"));
    const auto pi = drift_records(read_lines("run.9"));
    const auto cs = drift_records(read_lines("run.9c"));
    for (int b : HEADINGS) {
        SCOPED_TRACE(b);
        const double along = std::cos(b * M_PI / 180), across = std::sin(b * M_PI / 180);
        const double m = along * mom.at({b, 1}).real() + across * mom.at({b, 2}).real();
        const double c = along * cs.at({b, 1}).real() + across * cs.at({b, 2}).real();
        EXPECT_GT(m, 0.0);
        EXPECT_NEAR(c / m, 1.0, 0.02);
        EXPECT_NEAR(cs.at({b, 3}).real() / pi.at({b, 3}).real(), 1.0, 0.02);
    }
}

}  // namespace
}  // namespace zorva
