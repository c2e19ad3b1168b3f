// Irregular frequencies through the whole program: the floating hemisphere
// of radius 1 (336 panels, the quarter given) in deep water, without and
// with the interior free surface (IRR = 0 and 3), against the published
// added mass and damping of the floating hemisphere (Hulme, J. Fluid Mech.
// 121, 1982) and, through the Haskind relation, its exciting forces.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "main/drivers/mainprog.hpp"
#include "tests/drivers/fixture.hpp"

namespace zorva {
namespace {

using test::DriverTest;

constexpr double PI = 3.14159265358979323846;
constexpr double FACT = 1.0 / (2.0 / 3.0 * PI);  // to rho 2/3 pi a^3 (omega)

struct Coef {
    double a11, b11, a33, b33, x1, x3;
};

class HemisphereIrr : public DriverTest {
protected:
    // Quarter hemisphere x >= 0, y >= 0: nazi / 4 sectors by npol bands,
    // triangles at the pole; vertices clockwise seen from inside.
    static std::string gdf(int nazi, int npol) {
        auto pt = [&](int i, int j) {
            if (j == npol) return std::array<double, 3>{0, 0, -1};
            const double ph = PI / 2 * j / npol, a = 2 * PI * i / nazi;
            return std::array<double, 3>{std::cos(ph) * std::cos(a), std::cos(ph) * std::sin(a),
                                         j == 0 ? 0.0 : -std::sin(ph)};
        };
        std::ostringstream f;
        f.precision(9);
        f << "Quarter hemisphere\n1.0 9.80665\n1 1\n" << nazi / 4 * npol << "\n";
        for (int j = 0; j < npol; ++j)
            for (int i = 0; i < nazi / 4; ++i) {
                // Reversed from the azimuth order, so that the normal points
                // into the body.
                std::array<std::array<double, 3>, 4> q = {pt(i + 1, j), pt(i, j), pt(i, j + 1), pt(i + 1, j + 1)};
                if (j == npol - 1) q = {pt(i + 1, j), pt(i, j), pt(i, j + 1), pt(i, j + 1)};
                for (const auto& v : q) f << ' ' << v[0] << ' ' << v[1] << ' ' << v[2];
                f << '\n';
            }
        return f.str();
    }
    // One run at the wave numbers K a of `ka`; per K a the coefficients.
    std::vector<Coef> run(int irr, const std::vector<double>& ka) {
        for (const auto& e : std::filesystem::directory_iterator(".")) std::filesystem::remove_all(e.path());
        write_file("fnames.zrv", "h.cfg\nh.pot\nh.gdf\nh.frc\n");
        write_file("h.cfg", "ILOWHI=0\nIPERIO=3\nISOLVE=1\nISOR=0\nILOG=1\nIRR=" + std::to_string(irr) + "\n");
        std::ostringstream p;
        p << "Hemisphere\n0. 0. 0. 0. 0.\n0 0\n1 1\n1 1 1 1 1 1\n" << ka.size() << "\n";
        for (double k : ka) p << k << ' ';
        p << "\n1\n0.\n";
        write_file("h.pot", p.str());
        write_file("h.gdf", gdf(24, 14));
        write_file("h.frc", "Hemisphere\n 1 0 1 0 0 0 0 0 0\n0.0\n0.5 0 0  0 0.5 0  0 0 0.5\n0\n0\n");
        chan::reset();
        chan::set_keyboard(&keyboard);
        chan::set_screen(&screen);
        fresh();
        EXPECT_EQ(MAIN(), 0) << screen.str();
        std::vector<Coef> c(ka.size());
        std::map<std::pair<int, int>, int> seen;
        std::istringstream a(read_file("h.1"));
        for (std::string l; std::getline(a, l);) {
            std::istringstream s(l);
            double per, A, B;
            int i, j;
            s >> per >> i >> j >> A >> B;
            const int n = seen[{i, j}]++;
            if (n >= static_cast<int>(c.size())) continue;
            if (i == 1 && j == 1) c[n].a11 = A * FACT, c[n].b11 = B * FACT;
            if (i == 3 && j == 3) c[n].a33 = A * FACT, c[n].b33 = B * FACT;
        }
        std::map<int, int> seenx;
        std::istringstream x(read_file("h.3"));
        for (std::string l; std::getline(x, l);) {
            std::istringstream s(l);
            double per, beta, mod;
            int i;
            s >> per >> beta >> i >> mod;
            const int n = seenx[i]++;
            if (n >= static_cast<int>(c.size())) continue;
            if (i == 1) c[n].x1 = mod;
            if (i == 3) c[n].x3 = mod;
        }
        return c;
    }
};

TEST_F(HemisphereIrr, InteriorFreeSurfaceRemovesTheSpikes) {
    // Published surge A, B and heave A, B at K a = 3, 4, 5.
    const std::vector<double> ka = {2.3, 2.4, 2.5, 2.6, 2.7, 3.0, 4.0, 5.0};
    const double pub[3][4] = {{0.1720, 0.2237, 0.4111, 0.0452},
                              {0.1620, 0.1510, 0.4322, 0.0219},
                              {0.1679, 0.1073, 0.4471, 0.0116}};
    const std::vector<Coef> c0 = run(0, ka), c3 = run(3, ka);
    for (int k = 0; k < 3; ++k) {
        SCOPED_TRACE(ka[5 + k]);
        const Coef& c = c3[5 + k];
        // The coarse mesh is within a few percent; heave damping, small at
        // these wave numbers, within 10 %.
        EXPECT_NEAR(c.a11, pub[k][0], 0.04 * pub[k][0]);
        EXPECT_NEAR(c.b11, pub[k][1], 0.04 * pub[k][1]);
        EXPECT_NEAR(c.a33, pub[k][2], 0.04 * pub[k][2]);
        EXPECT_NEAR(c.b33, pub[k][3], 0.10 * pub[k][3]);
        // Haskind in deep water for an axisymmetric body: B33 = K |X3|^2 / 2,
        // B11 = K |X1|^2 / 4 (B over rho L^3 omega, X over rho g A L^2).
        const double K = ka[5 + k];
        EXPECT_NEAR(c.x1, std::sqrt(4 * pub[k][1] / FACT / K), 0.04 * std::sqrt(4 * pub[k][1] / FACT / K));
        EXPECT_NEAR(c.x3, std::sqrt(2 * pub[k][3] / FACT / K), 0.05 * std::sqrt(2 * pub[k][3] / FACT / K));
    }
    // Without the interior free surface this mesh has an irregular
    // frequency of surge close to K a = 4 ...
    EXPECT_GT(std::fabs(c0[6].b11 - pub[1][1]), 0.10 * pub[1][1]);
    // ... and one of heave between 2.5 and 2.7: the heave damping jumps
    // there, while with it the damping falls smoothly.
    auto second = [](const std::vector<Coef>& c, int i) { return c[i - 1].b33 - 2 * c[i].b33 + c[i + 1].b33; };
    double worst0 = 0, worst3 = 0;
    for (int i = 1; i <= 3; ++i) {
        worst0 = std::max(worst0, std::fabs(second(c0, i)));
        worst3 = std::max(worst3, std::fabs(second(c3, i)));
    }
    EXPECT_GT(worst0, 0.005);
    EXPECT_LT(worst3, 0.001);
}

}  // namespace
}  // namespace zorva
