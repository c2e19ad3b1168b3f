// The higher-order method end to end: the exact hemisphere of radius 1
// (user geometry routine) through both stages, against published added
// mass and damping, and the agreements a correct assembly must show:
// quarter model and whole body, deep finite depth and infinite depth, the
// limit periods and very long or very short periods, and every solver.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "common/channels.hpp"
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
        int spans = 4;   // spline panels each way per patch
        std::string iopt = " 1  1  0  0  0  0  0  0  0";
    };
    // Writes the inputs of run R and runs the program; the added mass and
    // damping per period, in the order of the periods.
    std::vector<AB> run(const Run& R) {
        const int np = R.sym == 1 ? 1 : 4;
        std::ostringstream pot, gdf, spl, frc;
        pot << "Hemisphere\n 0\n 0\n " << R.hbot << " 0. 0. 0. 0.\n 0 0 0\n 1 1\n 1 1 1 1 1 1\n " << R.per.size()
            << "\n";
        for (double p : R.per) pot << " " << p;
        pot << "\n 1\n 0.\n";
        gdf << "Hemisphere\n 1.0 9.80665\n " << R.sym << " " << R.sym << "\n " << np << " 3\n 1\nHEMISPHERE 1.0\n";
        spl << "Hemisphere\n";
        for (int p = 0; p < np; ++p) spl << " " << R.spans << " " << R.spans << "\n 3 3\n 2 2\n 4 4\n";
        frc << "Hemisphere\n" << R.iopt << "\n 0.0\n 0.5 0. 0. 0. 0.5 0. 0. 0. 0.5\n 0\n 0\n";
        write_file("fnames.zrv", "hemi.cfg\nhemi.pot\nhemi.gdf\nhemi.frc\n");
        write_file("hemi.cfg", R.cfg);
        write_file("hemi.pot", pot.str());
        write_file("hemi.gdf", gdf.str());
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
        return out;
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
    const auto ref = run(d);
    for (int s : {0, 2, 3}) {
        SCOPED_TRACE(s);
        Run r;
        r.cfg = "ILOWHI=1\nIPOTEN=1\nIFORCE=1\nISOLVE=" + std::to_string(s) + "\n";
        EXPECT_LT(diff(run(r), ref), 1e-4);
    }
}

// A FORCE stage alone on the .p2f file of a higher-order run gives the
// outputs of the run of both stages, to the last digit (but for the
// report's line of the irregular-frequency index, which a FORCE-only run of
// the higher-order method leaves blank).
TEST_F(HoHemi, ForceOnlyRunOnItsFileMatchesBothStages) {
    Run r;
    r.iopt = " 1  1  1  1  0  0  0  0  0";
    run(r);
    std::vector<std::pair<std::string, std::string>> both;
    for (const char* f : {"hemi.out", "hemi.1", "hemi.2", "hemi.3", "hemi.4"}) both.emplace_back(f, read_file(f));
    for (const char* f : {"hemi.out", "hemi.1", "hemi.2", "hemi.3", "hemi.4", "hemi.hst"}) std::remove(f);
    write_file("hemi.cfg", "ILOWHI=1\nIPOTEN=0\nIFORCE=1\n");
    chan::reset();
    chan::set_keyboard(&keyboard);
    chan::set_screen(&screen);
    fresh();
    ASSERT_EQ(MAIN(), 0) << screen.str();
    auto strip = [](const std::string& t) {
        std::istringstream in(t);
        std::string o;
        for (std::string l; std::getline(in, l);)
            if (l.find("Irregular frequency index") == std::string::npos) o += l + "\n";
        return o;
    };
    for (const auto& [f, text] : both) {
        EXPECT_FALSE(text.empty()) << f;
        EXPECT_TRUE(strip(read_file(f)) == strip(text)) << f << " differs";
    }
}

}  // namespace
}  // namespace zorva
