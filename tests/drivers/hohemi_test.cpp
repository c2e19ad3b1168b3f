// The higher-order method end to end: the exact hemisphere of radius 1
// (user geometry routine) through both stages, against published added
// mass and damping, and the agreements a correct assembly must show:
// quarter model and whole body, deep finite depth and infinite depth, the
// limit periods and very long or very short periods, and every solver.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <array>
#include <iomanip>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "common/channels.hpp"
#include "common/threads.hpp"
#include "main/drivers/mainprog.hpp"
#include "tests/drivers/fixture.hpp"

namespace zorva {
namespace {

using test::DriverTest;

constexpr double PI = 3.14159265358979323846;
constexpr double VOL = 2.0 * PI / 3.0;  // displaced volume of the hemisphere
constexpr double G = 9.80665;

// Added mass and damping of one period: (row mode, column mode) -> (A, B),
// nondimensional as the .1 file has them (rho L^3, rho L^3 omega).
using AB = std::map<std::pair<int, int>, std::pair<double, double>>;

class HoHemi : public DriverTest {
protected:
    struct Run {
        std::string cfg = "ILOWHI=1\nIPOTEN=1\nIFORCE=1\nISOLVE=1\n";
        std::string hbot = "0.";
        std::vector<double> per = {4.0, 8.0};
        int sym = 0;     // 1: the quarter x, y >= 0 with ISX = ISY = 1
        int spans = 2;   // spline panels each way per patch (4 for the accuracy tests)
        std::string iopt = " 1  1  0  0  0  0  0  0  0";
        int ilog = 0;
        std::string beta = "1\n 0.";  // headings
        int irr = 0;                   // 3: interior free surface
    };
    // Writes the inputs of run R and runs the program; the added mass and
    // damping per period, in the order of the periods.
    std::vector<AB> run(const Run& R) {
        const int np = R.sym == 1 ? 1 : 4;
        std::ostringstream pot, gdf, spl, frc;
        pot << "Hemisphere\n 0\n " << R.irr << "\n " << R.hbot << " 0. 0. 0. 0.\n 0 " << R.ilog << " 0\n 1 1\n 1 1 1 1 1 1\n " << R.per.size()
            << "\n";
        for (double p : R.per) pot << " " << p;
        pot << "\n " << R.beta << "\n";
        gdf << "Hemisphere\n 1.0 9.80665\n " << R.sym << " " << R.sym << "\n " << np << " 3\n 1\nHEMISPHERE 1.0\n";
        spl << "Hemisphere\n";
        for (int p = 0; p < np; ++p) spl << " " << R.spans << " " << R.spans << "\n 3 3\n 2 2\n 4 4\n";
        frc << "Hemisphere\n" << R.iopt << "\n 0.0\n 0.5 0. 0. 0. 0.5 0. 0. 0. 0.5\n 0\n 0\n";
        write_file("fnames.zrv", "hemi.cfg\nhemi.pot\nhemi.gdf\nhemi.frc\n");
        write_file("hemi.cfg", R.cfg);
        write_file("hemi.pot", pot.str());
        write_file("hemi.gdf", low_gdf.empty() ? gdf.str() : low_gdf);
        low_gdf.clear();
        write_file("hemi.spl", spl.str());
        write_file("hemi.frc", frc.str());
        for (const char* f : {"hemi.p2f", "hemi.out", "hemi.1", "hemi.2", "hemi.3", "hemi.4", "hemi.hst"})
            std::remove(f);
        chan::reset();
        chan::set_keyboard(&keyboard);
        chan::set_screen(&screen);
        fresh();
        EXPECT_EQ(MAIN(), 0) << screen.str();
        std::vector<AB> out;
        std::istringstream in(read_file("hemi.1"));
        std::string last;
        for (std::string line; std::getline(in, line);) {
            std::istringstream ls(line);
            std::string p;
            int i = 0, j = 0;
            double a = 0, b = 0;
            if (!(ls >> p >> i >> j >> a)) continue;
            if (!(ls >> b)) b = 0;  // limit periods: no damping column
            if (p != last) out.emplace_back(), last = p;
            out.back()[{i, j}] = {a, b};
        }
        EXPECT_EQ(out.size(), R.per.size());
        fex = forces("hemi.2", {1, 3});
        return out;
    }
    // The faceted hemisphere of NAZI x NPOL flat panels (triangles at the
    // pole) solved by the low-order method, the other inputs as run R.
    std::vector<AB> run_low(const Run& R, int nazi, int npol) {
        using P = std::array<double, 3>;
        auto pt = [&](int i, int j) -> P {
            if (j == npol) return {0.0, 0.0, -1.0};
            const double phi = 0.5 * PI * j / npol, a = 2.0 * PI * i / nazi;
            return {std::cos(phi) * std::cos(a), std::cos(phi) * std::sin(a), j == 0 ? 0.0 : -std::sin(phi)};
        };
        std::ostringstream gdf;
        gdf << "Faceted hemisphere\n 1.0 9.80665\n 0 0\n " << nazi * npol << "\n" << std::fixed << std::setprecision(7);
        for (int j = 0; j < npol; ++j)
            for (int i = 0; i < nazi; ++i) {
                // Vertices clockwise seen from the fluid: the normal of the
                // order (i, j), (i, j+1), (i+1, j+1), (i+1, j) points into
                // the body; the first two lie in the waterline on the top row.
                std::array<P, 4> q = {pt(i, j), pt(i + 1, j), pt(i + 1, j + 1), pt(i, j + 1)};
                if (j == npol - 1) q[2] = q[3];
                for (const P& v : {q[0], q[3], q[2], q[1]})
                    for (double c : v) gdf << " " << (std::fabs(c) < 5e-8 ? 0.0 : c);
                gdf << "\n";
            }
        Run L = R;
        L.cfg = "ILOWHI=0\nIPOTEN=1\nIFORCE=1\nISOLVE=1\n";
        low_gdf = gdf.str();
        return run(L);
    }
    std::string low_gdf;  // the low-order geometry file of run_low, when set
    std::vector<std::pair<double, double>> fex;  // exciting forces (Haskind) of the last run
    // The exciting forces of the given modes in a .2 (Haskind) or .3
    // (pressure integration) file, row by row; empty without the file.
    static std::vector<std::pair<double, double>> forces(const char* name, std::vector<int> modes) {
        std::vector<std::pair<double, double>> f;
        if (!chan::exists(name)) return f;
        std::istringstream in(read_file(name));
        for (std::string line; std::getline(in, line);) {
            std::istringstream ls(line);
            double p, beta, mod, pha, re, im;
            int m;
            if ((ls >> p >> beta >> m >> mod >> pha >> re >> im) &&
                std::find(modes.begin(), modes.end(), m) != modes.end())
                f.push_back({re, im});
        }
        return f;
    }
    // Largest difference of the exciting forces, relative to the largest.
    static double fdiff(const std::vector<std::pair<double, double>>& x,
                        const std::vector<std::pair<double, double>>& y) {
        double d = 0, s = 0;
        for (std::size_t k = 0; k < x.size() && k < y.size(); ++k) {
            d = std::max({d, std::fabs(x[k].first - y[k].first), std::fabs(x[k].second - y[k].second)});
            s = std::max({s, std::fabs(y[k].first), std::fabs(y[k].second)});
        }
        return x.size() == y.size() && !x.empty() ? d / s : 1.0;
    }
    static double period(double ka) { return 2.0 * PI / std::sqrt(ka * G); }
    // Largest difference over the diagonal terms of the rigid modes,
    // relative to the largest value of the run.
    static double diff(const std::vector<AB>& x, const std::vector<AB>& y) {
        double d = 0, s = 0;
        for (std::size_t p = 0; p < x.size() && p < y.size(); ++p)
            for (int m = 1; m <= 6; ++m) {
                const auto& a = x[p].at({m, m});
                const auto& b = y[p].at({m, m});
                d = std::max({d, std::fabs(a.first - b.first), std::fabs(a.second - b.second)});
                s = std::max({s, std::fabs(b.first), std::fabs(b.second)});
            }
        return d / s;
    }
};

// Heave and surge of the floating hemisphere in deep water against the
// published values (added mass / (rho 2/3 pi a^3), damping / (rho 2/3 pi
// a^3 omega)) at Ka = 0.5, 1, 2, with 4 patches of 4 x 4 quadratic spline
// panels: 144 unknowns.
TEST_F(HoHemi, HulmeHeaveAndSurge) {
    struct Ref { double ka, a33, b33, a11, b11; };
    const Ref ref[] = {{0.5, 0.5861, 0.3391, 0.6439, 0.0987},
                       {1.0, 0.4284, 0.2484, 0.5740, 0.3535},
                       {2.0, 0.3884, 0.1031, 0.2493, 0.3424}};
    Run R;
    R.spans = 4;
    R.per.clear();
    for (const Ref& r : ref) R.per.push_back(period(r.ka));
    const auto v = run(R);
    ASSERT_EQ(v.size(), 3u);
    for (int k = 0; k < 3; ++k) {
        SCOPED_TRACE(ref[k].ka);
        const auto& h = v[static_cast<std::size_t>(k)].at({3, 3});
        const auto& s = v[static_cast<std::size_t>(k)].at({1, 1});
        EXPECT_NEAR(h.first / VOL, ref[k].a33, 0.005 * ref[k].a33);
        EXPECT_NEAR(h.second / VOL, ref[k].b33, 0.005 * ref[k].b33);
        EXPECT_NEAR(s.first / VOL, ref[k].a11, 0.005 * ref[k].a11);
        EXPECT_NEAR(s.second / VOL, ref[k].b11, 0.005 * ref[k].b11);
        // Surge and sway alike; no coupling of surge with heave.
        const auto& w = v[static_cast<std::size_t>(k)].at({2, 2});
        EXPECT_NEAR(w.first, s.first, 1e-4 * s.first);
        EXPECT_NEAR(v[static_cast<std::size_t>(k)].at({1, 3}).first, 0.0, 1e-4 * s.first);
    }
}

// The quarter model solves four symmetry components; the whole body one.
// Both must give the same coefficients, as must finite depth with a deep
// bottom and infinite depth.
TEST_F(HoHemi, QuarterAndDeepBottomMatchTheWholeBodyInDeepWater) {
    Run whole;
    whole.per = {3.0, 4.0};  // K h = 10 and more at the depth below
    const auto w = run(whole);
    Run quarter = whole;
    quarter.sym = 1;
    EXPECT_LT(diff(run(quarter), w), 2e-4);
    Run deep = whole;
    deep.hbot = "40.";
    EXPECT_LT(diff(run(deep), w), 2e-3);
}

// The zero-frequency and infinite-frequency limits (periods -1 and 0)
// against very long and very short ordinary periods, and against the
// closed forms of the two limits: at zero frequency the free surface is a
// rigid lid and surge sees half a sphere in infinite fluid, at infinite
// frequency the potential vanishes on it and heave sees the same; both
// added masses are half the displaced mass.
TEST_F(HoHemi, LimitPeriodsMatchVeryLongAndVeryShortPeriods) {
    Run lim;
    lim.per = {-1.0, 0.0};
    const auto l = run(lim);
    Run ord = lim;
    ord.per = {1000.0, 0.2};
    const auto o = run(ord);
    ASSERT_EQ(l.size(), 2u);
    ASSERT_EQ(o.size(), 2u);
    EXPECT_NEAR(l[0].at({1, 1}).first / VOL, 0.5, 0.0025);
    EXPECT_NEAR(l[1].at({3, 3}).first / VOL, 0.5, 0.0025);
    for (int m : {1, 3}) {
        SCOPED_TRACE(m);
        const double a0 = l[0].at({m, m}).first, ai = l[1].at({m, m}).first;
        EXPECT_NEAR(o[0].at({m, m}).first, a0, 1e-3 * a0);
        // At 0.2 s the waves are a few spline panels long: the short
        // period is near its limit only to the accuracy of the mesh.
        EXPECT_NEAR(o[1].at({m, m}).first, ai, 0.03 * ai);
        EXPECT_EQ(l[0].at({m, m}).second, 0.0);  // no damping column
        EXPECT_EQ(l[1].at({m, m}).second, 0.0);
    }
}

// Every solver gives the same radiation solution: direct, iterative and
// block-iterative with two and three blocks.
TEST_F(HoHemi, SolversAgree) {
    Run d;
    d.spans = 4;  // coarser meshes need more iterations than MAXITT allows
    d.per = {4.0};
    const auto ref = run(d);
    for (int s : {0, 2, 3}) {
        SCOPED_TRACE(s);
        Run r = d;
        r.cfg = "ILOWHI=1\nIPOTEN=1\nIFORCE=1\nISOLVE=" + std::to_string(s) + "\n";
        EXPECT_LT(diff(run(r), ref), 1e-4);
    }
}

// The logarithmic part of the wave Green function integrated with the
// Rankine parts gives the coefficients of the plain wave part, in infinite
// and in finite depth (the log kernel belongs to the free-surface image
// only).
TEST_F(HoHemi, LogKernelOptionChangesNothing) {
    for (const char* h : {"0.", "3."}) {
        SCOPED_TRACE(h);
        Run plain;
        plain.hbot = h;
        const auto p = run(plain);
        Run lg = plain;
        lg.ilog = 1;
        EXPECT_LT(diff(run(lg), p), 1e-4);
    }
}

// Both methods converge to the same added mass, damping and exciting
// forces (integrals of the radiation and diffraction potentials): the
// faceted hemisphere moves towards the exact one of 144 unknowns as its
// panels are refined.
TEST_F(HoHemi, LowOrderConvergesToHigherOrder) {
    Run R;
    R.spans = 4;
    R.iopt = " 1  1  0  0  0  0  0  0  0";
    const auto ho = run(R);
    const auto fho = fex;
    const double d256 = diff(run_low(R, 32, 8), ho), f256 = fdiff(fex, fho);
    const double d1024 = diff(run_low(R, 64, 16), ho), f1024 = fdiff(fex, fho);
    EXPECT_LT(d1024, 0.01);
    EXPECT_LT(d1024, 0.5 * d256);
    EXPECT_LT(f1024, 0.01);
    EXPECT_LT(f1024, 0.5 * f256);
    // Measured: 0.85 % and 0.59 % at 256 panels, 0.20 % and 0.15 % at 1024.
}

// The wave parts are formed on all threads; the .p2f file (potentials and
// all) is the same bit for bit on one thread and on three.
TEST_F(HoHemi, ResultsDoNotDependOnTheThreadCount) {
    const int saved = thr::count();
    std::string text[2];
    for (int k = 0; k < 2; ++k) {
        thr::set_count(k == 0 ? 1 : 3);
        Run r;
        r.per = {4.0};
        run(r);
        text[k] = read_file("hemi.p2f");
    }
    thr::set_count(saved);
    EXPECT_FALSE(text[0].empty());
    EXPECT_TRUE(text[0] == text[1]);
}

// The exciting forces from the radiation potentials (Haskind) and from the
// diffraction potentials (pressure integration) agree: the incident-wave
// right-hand sides and the diffraction solution, in finite depth, for an
// oblique heading that excites every rigid mode of the body.
TEST_F(HoHemi, HaskindAndPressureExcitingForcesAgree) {
    Run r;
    r.hbot = "3.";
    r.spans = 4;
    r.beta = "1\n 30.";
    r.iopt = " 1  1  1  0  0  0  0  0  0";
    run(r);
    const auto h = forces("hemi.2", {1, 2, 3}), d = forces("hemi.3", {1, 2, 3});
    ASSERT_EQ(h.size(), 6u);
    EXPECT_LT(fdiff(d, h), 2e-3);
}

// With the interior free surface (IRR = 3) the limit periods solve the
// body's equations alone: the interior patches' rows and columns are
// blanked to the identity, so the coefficients are those of the body
// without them.  At an ordinary period away from the irregular frequencies
// they change little.
TEST_F(HoHemi, InteriorFreeSurfaceTakesNoPartAtTheLimits) {
    Run plain;
    plain.per = {-1.0, 0.0};
    const auto p = run(plain);
    Run irr = plain;
    irr.irr = 3;
    irr.ilog = 1;  // required with IRR > 0
    EXPECT_LT(diff(run(irr), p), 1e-4);
    plain.per = irr.per = {4.0};
    const auto q = run(plain);
    EXPECT_LT(diff(run(irr), q), 5e-3);
}

// A FORCE stage alone on the .p2f file of a higher-order run gives the
// outputs of the run of both stages, to the last digit, the report's
// irregular-frequency index among them (the file holds no IRR: the FORCE
// stage finds it from the interior free-surface patches).
TEST_F(HoHemi, ForceOnlyRunOnItsFileMatchesBothStages) {
    for (int irr : {0, 3}) {
        SCOPED_TRACE("IRR = " + std::to_string(irr));
        Run r;
        r.iopt = " 1  1  1  1  0  0  0  0  0";
        r.irr = irr;
        r.ilog = irr == 0 ? 0 : 1;  // required with IRR > 0
        if (irr != 0) r.per = {4.0};
        run(r);
        std::vector<std::pair<std::string, std::string>> both;
        for (const char* f : {"hemi.out", "hemi.1", "hemi.2", "hemi.3", "hemi.4"}) both.emplace_back(f, read_file(f));
        const std::string line = " Irregular frequency index: IRR =   " + std::to_string(irr) + "\n";
        EXPECT_NE(both[0].second.find(line), std::string::npos) << both[0].second;
        for (const char* f : {"hemi.out", "hemi.1", "hemi.2", "hemi.3", "hemi.4", "hemi.hst"}) std::remove(f);
        write_file("hemi.cfg", "ILOWHI=1\nIPOTEN=0\nIFORCE=1\n");
        chan::reset();
        chan::set_keyboard(&keyboard);
        chan::set_screen(&screen);
        fresh();
        ASSERT_EQ(MAIN(), 0) << screen.str();
        for (const auto& [f, text] : both) {
            EXPECT_FALSE(text.empty()) << f;
            EXPECT_TRUE(read_file(f) == text) << f << " differs:\n" << read_file(f);
        }
    }
}

// The hemisphere as a geometry-model surface of the kernel (a sphere zone
// in four panes) gives the added mass, damping and exciting forces of the
// user routine's exact hemisphere, and both the published values at
// K a = 1 (A33 0.4284, B33 0.2484, A11 0.5740, B11 0.3535) within the
// error of 2 x 2 spline panels per patch.
TEST_F(HoHemi, KernelHemisphereMatchesTheUserRoutine) {
    Run r;
    r.per = {period(1.0)};
    const auto user = run(r);
    const auto fuser = fex;
    write_file("hemi.zmd", "ZUZOVOZA MODEL 1\nUNITS m\nSPHERE hull 0 0 0 1 -90 0 0 360 orient=1 panes=1x4\n");
    low_gdf = "Kernel hemisphere\n 1.0 9.80665\n 0 0\n 0 2\n3\nhemi.zmd\nDEFAULT\n1 0 0\n";
    const auto kern = run(r);
    ASSERT_EQ(kern.size(), 1u);
    ASSERT_EQ(user.size(), 1u);
    EXPECT_LT(diff(kern, user), 1e-4);
    EXPECT_LT(fdiff(fex, fuser), 1e-4);
    for (const auto& v : {user[0], kern[0]}) {
        EXPECT_NEAR(v.at({3, 3}).first / VOL, 0.4284, 0.02 * 0.4284);
        EXPECT_NEAR(v.at({3, 3}).second / VOL, 0.2484, 0.02 * 0.2484);
        EXPECT_NEAR(v.at({1, 1}).first / VOL, 0.5740, 0.02 * 0.5740);
        EXPECT_NEAR(v.at({1, 1}).second / VOL, 0.3535, 0.02 * 0.3535);
    }
}

}  // namespace
}  // namespace zorva
