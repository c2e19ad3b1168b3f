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
    // Added mass, damping and the two exciting forces of one period through
    // the POTEN and FORCE stages: A(1,1), A(3,3), A(5,5), B(1,1), B(3,3),
    // B(5,5), then |Haskind| and |pressure| forces of surge, heave and pitch at
    // heading 0.
    std::vector<double> force_results(const std::string& gdf, int iquad, double nu) {
        std::vector<double> out;
        const double per = 2.0 * M_PI / std::sqrt(nu * 9.80665);
        std::ostringstream pot;
        pot.precision(9);
        pot << "Four-point rule\n0\n0\n0. 0. 0. 0. 0.\n" << iquad << " 0 0\n1 1\n1 1 1 1 1 1\n1\n" << per << "\n1\n0.\n";
        config("ISOLVE = 1\n", pot.str(), gdf);
        frc_file({0, 1, 1, 1, 0, 0, 0, 0, 0, 0});
        poten_file();
        int ierr = -1;
        FORCERUN(ierr);
        EXPECT_EQ(ierr, 0);
        for (int m : {1, 3, 5}) out.push_back(frc::AMAT(m, m));
        for (int m : {1, 3, 5}) out.push_back(frc::BMAT(m, m));
        for (int m : {1, 3, 5}) out.push_back(std::abs(frc::FEXH(m, 1)));
        for (int m : {1, 3, 5}) out.push_back(std::abs(frc::FEXD(m, 1)));
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

// The scattering formulation (the scattered potential solved from the
// incident wave's normal velocity, the incident wave added after) and the
// direct one (the total potential solved from the incident wave) are two
// discretisations of one problem: their total diffraction potentials
// differ by the discretisation error, which halves as the panels do.
TEST_F(OptionsChain, ScatteringGivesTheTotalDiffractionPotential) {
    const std::string pot = potfile(0, 0, "2\n4. 2.");
    double prev[2] = {1.0, 1.0};
    for (int n : {4, 8}) {
        SCOPED_TRACE(n);
        const std::string g = test::gdf_of(test::box(1.0, 1.0, 0.5, n, n, n / 2));
        const auto direct = run("ISOLVE = 1\n", pot, g);
        const auto scatt = run("ISOLVE = 1\nISCATT = 1\n", pot, g);
        ASSERT_EQ(direct.size(), 2u);
        ASSERT_EQ(scatt.size(), 2u);
        for (std::size_t j = 0; j < 2; ++j) {
            const double d = reldiff(direct[j].dif, scatt[j].dif);
            EXPECT_LT(d, n == 4 ? 0.03 : 0.6 * prev[j]) << j;
            prev[j] = d;
        }
    }
}

// Component c of the velocity of column p at panel i.
cplx vel(const Period& r, int p, int c, int i, int N) {
    return r.radvel[(static_cast<std::size_t>(p - 1) * 3 + static_cast<std::size_t>(c - 1)) * static_cast<std::size_t>(N) +
                    static_cast<std::size_t>(i - 1)];
}
cplx at(const cvec& a, int p, int i, int N) {
    return a[static_cast<std::size_t>(p - 1) * static_cast<std::size_t>(N) + static_cast<std::size_t>(i - 1)];
}

// Source potential sum_j sigma_j S_j(x) of column p at the point x.
cplx source_potential(const Period& r, int p, const double* x) {
    const int N = model::NEQN;
    cplx phi(0.0f, 0.0f);
    for (int j = 1; j <= N; ++j) {
        float q[3] = {static_cast<float>(x[0]), static_cast<float>(x[1]), static_cast<float>(x[2])};
        float dre = 0, dim = 0, sre = 0, sim = 0, gd[3], gdi[3], gs[3], gsi[3];
        int ierr = 0;
        FLDGRNLO(q, 100.0f, r.nu, j, dre, dim, gd, gdi, sre, sim, gs, gsi, 0, 0, 0, ierr);
        EXPECT_EQ(ierr, 0);
        phi += cplx(sre, sim) * at(r.radsrc, p, j, N);
    }
    return phi;
}

// The source-strength velocities at the panels are the velocities of the
// flow of the solved sources: their normal part is the prescribed normal
// velocity of every mode at every panel, and the whole vector is the
// gradient, by central differences, of the sources' potential (summed
// with the field-point influences) just outside the body.
TEST_F(OptionsChain, SourceVelocitiesAreGradientsOfTheSourcePotential) {
    const auto r = run("ISOLVE = 1\n", potfile(1, 0, "1\n3."), small_box());
    ASSERT_EQ(r.size(), 1u);
    const int N = model::NEQN;
    ASSERT_EQ(N, 48);
    for (int m = 1; m <= 6; ++m) {
        const int p = sym::IMODPOS(m);
        for (int i = 1; i <= N; ++i) {
            cplx vn(0.0f, 0.0f);
            for (int c = 1; c <= 3; ++c) vn += vel(r[0], p, c, i, N) * pnl::PAXES(3, c, i);
            EXPECT_NEAR(std::abs(vn - pnl::VNMODE(m, i)), 0.0, 1e-4) << m << " " << i;
        }
    }
    // Panels on the bottom, on a side and at an edge; surge and heave.
    const double h = 1e-3, off = 4e-3;
    for (int i : {1, 6, 20, 30, 41}) {
        double x0[3];
        for (int c = 0; c < 3; ++c)
            x0[c] = static_cast<double>(pnl::PCENT(c + 1, i)) - off * static_cast<double>(pnl::PAXES(3, c + 1, i));  // outside
        for (int m : {1, 3}) {
            SCOPED_TRACE(testing::Message() << "panel " << i << " mode " << m);
            const int p = sym::IMODPOS(m);
            double big = 0.0;
            for (int c = 1; c <= 3; ++c) big = std::max(big, static_cast<double>(std::abs(vel(r[0], p, c, i, N))));
            for (int c = 0; c < 3; ++c) {
                double a[3] = {x0[0], x0[1], x0[2]}, b[3] = {x0[0], x0[1], x0[2]};
                a[c] += h;
                b[c] -= h;
                const cplx fd = (source_potential(r[0], p, a) - source_potential(r[0], p, b)) / static_cast<float>(2 * h);
                EXPECT_NEAR(std::abs(fd - vel(r[0], p, c + 1, i, N)), 0.0, 0.03 * big) << c;
            }
        }
    }
}

// Green's representation 4 pi phi(x) = sum_j (S_j(x) dphi/dn_j - D_j(x)
// phi_j), with the field-point influences of every panel and the solved
// radiation potentials, reproduces the body's potential at a point next to
// a panel (a thousandth of the body length outside it).
TEST_F(OptionsChain, FieldPointNextToTheBodyHasTheBodyPotential) {
    const auto r = run("ISOLVE = 1\n", potfile(0, 0, "1\n3."), test::gdf_of(test::box(1.0, 1.0, 0.5, 8, 8, 4)));
    ASSERT_EQ(r.size(), 1u);
    const int N = model::NEQN;
    for (int m : {1, 3, 5}) {
        const int p = sym::IMODPOS(m);
        double big = 0.0;
        for (int i = 1; i <= N; ++i) big = std::max(big, static_cast<double>(std::abs(at(r[0].rad, p, i, N))));
        for (int i = 1; i <= N; i += 23) {
            float x[3];
            for (int c = 0; c < 3; ++c) x[c] = pnl::PCENT(c + 1, i) - 1e-3f * pnl::PAXES(3, c + 1, i);
            std::complex<double> sum = 0.0;
            for (int j = 1; j <= N; ++j) {
                float q[3] = {x[0], x[1], x[2]};
                float dre = 0, dim = 0, sre = 0, sim = 0, gd[3], gdi[3], gs[3], gsi[3];
                int ierr = 0;
                FLDGRNLO(q, 100.0f, r[0].nu, j, dre, dim, gd, gdi, sre, sim, gs, gsi, 0, 0, 0, ierr);
                ASSERT_EQ(ierr, 0);
                sum += std::complex<double>(sre, sim) * static_cast<double>(pnl::VNMODE(m, j)) -
                       std::complex<double>(dre, dim) * std::complex<double>(at(r[0].rad, p, j, N));
            }
            const std::complex<double> phi = sum / (4.0 * M_PI);
            EXPECT_NEAR(std::abs(phi - std::complex<double>(at(r[0].rad, p, i, N))), 0.0, 0.01 * big)
                << "mode " << m << " panel " << i;
        }
    }
}

// The four-point rule (IQUAD = 1) and the one-point rule converge to the
// same answer: on the box of the examples (2 x 1 x 0.5, panels 0.25 and
// 0.125) every result of the two rules differs by less on the finer mesh,
// by about a quarter, and by under 2 % of its mode's scale there.  On a
// hemisphere centred at the origin the pitch forces vanish in the limit
// (the pressure passes through the centre); those of both rules and both
// force integrals do vanish under refinement, so that their ratio, which
// stays near 1.6 between the Haskind force of the four-point rule and the
// others, says nothing about either rule.
TEST_F(OptionsChain, FourPointRuleConvergesToTheOnePointRule) {
    auto study = [&](const std::vector<test::RPanel>& coarse, const std::vector<test::RPanel>& fine, double nu) {
        std::vector<std::vector<double>> r;  // coarse 0, coarse 1, fine 0, fine 1
        for (const auto* mesh : {&coarse, &fine})
            for (int iq : {0, 1}) {
                fresh();
                std::remove("run.p2f");
                r.push_back(force_results(test::gdf_of(*mesh), iq, nu));
                chan::reset();
                chan::set_keyboard(&keyboard);
                chan::set_screen(&screen);
            }
        return r;
    };
    const auto box = study(test::box(2.0, 1.0, 0.5, 8, 4, 2), test::box(2.0, 1.0, 0.5, 16, 8, 4), 0.8);
    // Scale of each result: its largest value over the four runs.
    for (std::size_t q = 0; q < box[0].size(); ++q) {
        SCOPED_TRACE(q);
        double scale = 0.0;
        for (const auto& v : box) scale = std::max(scale, std::fabs(v[q]));
        const double dc = std::fabs(box[1][q] - box[0][q]), df = std::fabs(box[3][q] - box[2][q]);
        EXPECT_LT(df, 0.02 * scale);
        EXPECT_LT(df, 0.45 * dc + 1e-5 * scale);
    }
    const auto hemi = study(test::hemisphere(1.0, 4, 16), test::hemisphere(1.0, 8, 32), 0.6);
    const double heave = hemi[2][7];  // |Haskind heave force|, fine mesh
    for (std::size_t q : {8u, 11u}) {  // pitch: Haskind, pressure
        for (int iq : {0, 1}) {
            SCOPED_TRACE(testing::Message() << q << " IQUAD " << iq);
            const double c = hemi[static_cast<std::size_t>(iq)][q], f = hemi[static_cast<std::size_t>(2 + iq)][q];
            EXPECT_LT(f, 0.35 * c);
            EXPECT_LT(f, 3e-3 * heave);
        }
    }
}

// The limit periods of the period list (PER = -1: zero frequency, PER = 0:
// infinite frequency) give the radiation potentials of very long and very
// short ordinary periods (nu = 1e-4 and nu = 200), on a sphere of radius 1
// centred 1.5 below the surface; the two limits differ.
TEST_F(OptionsChain, LimitPeriodsAreTheLimitsOfOrdinaryPeriods) {
    std::vector<test::RPanel> sphere;
    const int nlat = 8, nlon = 16;
    auto pt = [&](int il, int jl) {
        const double ph = -M_PI / 2 + M_PI * il / nlat, th = 2 * M_PI * jl / nlon;
        return test::V3{std::cos(ph) * std::cos(th), std::cos(ph) * std::sin(th), -1.5 + std::sin(ph)};
    };
    for (int il = 0; il < nlat; ++il)
        for (int jl = 0; jl < nlon; ++jl) {
            const auto a = pt(il, jl), b = pt(il + 1, jl), c = pt(il + 1, jl + 1), d = pt(il, jl + 1);
            // Triangles at the poles, their last vertex repeated.
            if (il == 0)
                sphere.push_back(test::make_panel(b, c, d, d, {0, 0, -1.5}));
            else if (il == nlat - 1)
                sphere.push_back(test::make_panel(a, b, d, d, {0, 0, -1.5}));
            else
                sphere.push_back(test::make_panel(a, b, c, d, {0, 0, -1.5}));
        }
    auto period = [](double nu) { return 2.0 * M_PI / std::sqrt(nu * 9.80665); };
    std::ostringstream per;
    per.precision(9);
    per << "4\n-1. " << period(1e-4) << " 0. " << period(200.0);
    const auto r = run("ISOLVE = 1\n", potfile(0, 0, per.str()), test::gdf_of(sphere));
    ASSERT_EQ(r.size(), 4u);
    EXPECT_EQ(r[0].iperfl, 1);
    EXPECT_EQ(r[2].iperfl, 2);
    // Relative 2-norm difference of the radiation potentials.
    auto rel = [](const cvec& a, const cvec& b) {
        double e = 0.0, n = 0.0;
        for (std::size_t k = 0; k < a.size(); ++k) {
            e += std::norm(std::complex<double>(a[k] - b[k]));
            n += std::norm(std::complex<double>(b[k]));
        }
        return std::sqrt(e / n);
    };
    EXPECT_LT(rel(r[1].rad, r[0].rad), 5e-4);
    EXPECT_LT(rel(r[3].rad, r[2].rad), 3e-3);
    EXPECT_GT(rel(r[0].rad, r[2].rad), 0.05);
}

}  // namespace
}  // namespace zorva
