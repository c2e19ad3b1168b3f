// The FORCE stage of the higher-order method on the exact hemisphere of
// radius 1 in deep water (4 patches of 4 x 4 quadratic spline panels):
// the relations a correct stage must satisfy between independent results
// (damping and Haskind forces through the energy relation, Haskind and
// pressure-integration forces, momentum and pressure-integration drift),
// and body pressures at .bpi points against a fine low-order run of the
// same body.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "common/channels.hpp"
#include "main/drivers/mainprog.hpp"
#include "tests/drivers/fixture.hpp"

namespace zorva {
namespace {

using test::DriverTest;

constexpr double PI = 3.14159265358979323846;
constexpr double G = 9.80665;
// Field points 1 % and 5 % of the radius outside the first body point, and
// one far away.
const char* FIELD = "3\n 0.606 0.303 -0.7490360\n 0.63 0.315 -0.7787\n 40.0 0.0 -0.3\n";
const char* BPI = "Body points\n4\n0.6 0.3 -0.7416198\n-0.5 0.5 -0.7071068\n0.2 -0.9 -0.3872983\n0.9 0.0 -0.4358899\n";

class HoHemiForce : public DriverTest {
protected:
    std::string field = "0\n";  // the field points of the force control file
    std::string bpi = BPI;       // the body points
    void run(const std::string& cfg, const std::string& pot, const std::string& gdf, const std::string& spl,
             const std::string& iopt) {
        write_file("fnames.zrv", "h.cfg\nh.pot\nh.gdf\nh.frc\n");
        write_file("h.cfg", cfg);
        write_file("h.pot", pot);
        write_file("h.gdf", gdf);
        if (!spl.empty()) write_file("h.spl", spl);
        write_file("h.frc", "Hemisphere\n" + iopt + "\n 0.0\n 0.5 0. 0. 0. 0.5 0. 0. 0. 0.5\n 0\n" + field);
        write_file("h.bpi", bpi);
        for (const char* f : {"h.p2f", "h.out", "h.1", "h.2", "h.3", "h.4", "h.5p", "h.8", "h.9", "h.hst"})
            std::remove(f);
        chan::reset();
        chan::set_keyboard(&keyboard);
        chan::set_screen(&screen);
        fresh();
        ASSERT_EQ(MAIN(), 0) << screen.str();
    }
    static std::string pot(int isor, const std::string& per, const std::string& beta) {
        return "Hemisphere\n " + std::to_string(isor) + "\n 0\n 0. 0. 0. 0. 0.\n 0 0 0\n 1 1\n 1 1 1 1 1 1\n " +
               std::to_string(std::count(per.begin(), per.end(), ' ') + 1) + "\n " + per + "\n " +
               std::to_string(std::count(beta.begin(), beta.end(), ' ') + 1) + "\n " + beta + "\n";
    }
    void higher(const std::string& cfg, const std::string& per, const std::string& beta, const std::string& iopt) {
        std::ostringstream spl;
        spl << "Hemisphere\n";
        for (int p = 0; p < 4; ++p) spl << " 4 4\n 3 3\n 2 2\n 4 4\n";
        run("ILOWHI=1\nIPOTEN=1\nIFORCE=1\nISOLVE=1\n" + cfg, pot(0, per, beta),
            "Hemisphere\n 1.0 9.80665\n 0 0\n 4 3\n 1\nHEMISPHERE 1.0\n", spl.str(), iopt);
    }
    // Numeric records of a file: every line's numbers (a complex value as
    // its two parts); lines without numbers are left out.
    std::vector<std::vector<double>> rows(const std::string& f) {
        std::vector<std::vector<double>> out;
        std::istringstream in(read_file(f));
        for (std::string l; std::getline(in, l);) {
            for (char& ch : l)
                if (ch == '(' || ch == ')' || ch == ',') ch = ' ';
            std::istringstream ls(l);
            std::vector<double> r;
            for (double v; ls >> v;) r.push_back(v);
            if (!r.empty()) out.push_back(r);
        }
        return out;
    }
};

TEST_F(HoHemiForce, EnergyHaskindAndDriftRelations) {
    higher("", "2.0 3.0", "0. 45.", " 1 1 1 1 0 0 0 1 1");
    // (period, row, column) -> damping; (period, heading, mode) -> force.
    std::map<std::vector<double>, double> B, drm, drp;
    std::map<std::vector<double>, std::complex<double>> XH, XD;
    for (const auto& r : rows("h.1")) B[{r[0], r[1], r[2]}] = r[4];
    for (const auto& r : rows("h.2")) XH[{r[0], r[1], r[2]}] = {r[5], r[6]};
    for (const auto& r : rows("h.3")) XD[{r[0], r[1], r[2]}] = {r[5], r[6]};
    for (const auto& r : rows("h.8")) drm[{r[0], r[1], r[3]}] = r[6];
    for (const auto& r : rows("h.9")) drp[{r[0], r[1], r[3]}] = r[6];
    auto k = [](double a, double b, double c) { return std::vector<double>{a, b, c}; };
    for (double T : {2.0, 3.0}) {
        SCOPED_TRACE(T);
        const double K = std::pow(2 * PI / T, 2) / G;
        // Energy: damping = K |X|^2 / 2 in heave, K |X(0)|^2 / 4 in surge
        // (deep water, an axisymmetric body, forces per unit wave amplitude).
        EXPECT_NEAR(K * std::norm(XH[k(T, 0, 3)]) / 2 / B[k(T, 3, 3)], 1.0, 0.005);
        EXPECT_NEAR(K * std::norm(XH[k(T, 0, 1)]) / 4 / B[k(T, 1, 1)], 1.0, 0.005);
        for (double beta : {0.0, 45.0})
            for (int m : {1, 2, 3}) {
                const double scale = std::abs(XH[k(T, beta, m == 2 ? 1 : m)]) + std::abs(XH[k(T, beta, 2)]);
                EXPECT_LT(std::abs(XH[k(T, beta, m)] - XD[k(T, beta, m)]), 0.01 * scale) << beta << " " << m;
            }
        // Drift of the freely floating body along the waves.
        EXPECT_NEAR(drp[k(T, 0, 1)], drm[k(T, 0, 1)], 0.02 * std::fabs(drm[k(T, 0, 1)]));
        EXPECT_GT(drm[k(T, 0, 1)], 0.0);
    }
}

// Body-point and field-point pressures of a run with the motions: at the
// .bpi points and near the body against the fine low-order run, far away
// the incident wave; the field velocity just outside the body that of the
// body point inside.
TEST_F(HoHemiForce, BodyAndFieldValuesMatchAFineLowOrderRun) {
    // Pressures at the input-panel centroids of the patches, three of them
    // added to the body points of the low-order run.
    higher("", "3.0", "30.", " 0 0 0 1 1 0 0 0 0");
    const auto hic = rows("h.5p"), pnl = rows("h.pnl"), pb = rows("h.5pb");
    const std::size_t pick[3] = {99, 399, 699};
    ASSERT_EQ(hic.size(), 1024u);
    ASSERT_EQ(pnl.size(), 1024u);
    std::ostringstream more;
    more << "Body points\n7\n" << std::string(BPI).substr(std::string(BPI).find("\n0.6") + 1);
    for (std::size_t c : pick) more << pnl[c][2] << " " << pnl[c][3] << " " << pnl[c][4] << "\n";
    field = FIELD;
    higher("IPNLBPT=1\n", "3.0", "30.", " 0 0 0 1 3 1 1 0 0");
    const auto hi = rows("h.5p"), hif = rows("h.6"), hiv = rows("h.7x"), hib = rows("h.5vx");
    // The quarter of a hemisphere in 16 x 16 flat panels, the points
    // interpolated from the four nearest.
    std::ostringstream gdf;
    gdf << "Hemisphere quarter\n 1.0 9.80665\n 1 1\n 256\n";
    auto P = [&](int j, int i) {
        const double t = j * PI / 32, p = i * PI / 32;
        gdf << " " << std::cos(t) * std::cos(p) << " " << std::cos(t) * std::sin(p) << " " << -std::sin(t);
    };
    for (int j = 0; j < 16; ++j)
        for (int i = 0; i < 16; ++i) {
            P(j, i + 1), P(j, i), P(j + 1, i), P(j + 1, i + 1);
            gdf << "\n";
        }
    bpi = more.str();
    run("ILOWHI=0\nIPOTEN=1\nIFORCE=1\nIPNLBPT=4\n", pot(1, "3.0", "30."), gdf.str(), "", " 0 0 0 1 1 1 0 0 0");
    const auto lo = rows("h.5p"), lof = rows("h.6");
    ASSERT_EQ(hi.size(), 4u);
    ASSERT_EQ(lo.size(), 7u);
    // "optn.5pb" read with its run summary (after the title: symmetry,
    // length, patches, IRAD IDIFF, periods and headings, unknowns, ...,
    // orders and spans per patch, ..., headings): the period record, the
    // motions, the total coefficients of every patch (as many as the
    // summary's orders and spans give), the diffraction coefficients of
    // every patch, then per mode its number and its radiation coefficients
    // of every patch.
    ASSERT_GE(pb.size(), 23u);
    const int np = static_cast<int>(pb[2][0]), neqn = static_cast<int>(pb[5][0]);
    ASSERT_EQ(np, 4);
    std::vector<std::size_t> nc;
    for (int p = 0; p < np; ++p) {
        const auto& kk = pb[16];
        nc.push_back(static_cast<std::size_t>((kk[4 * p + 2] + kk[4 * p] - 1) * (kk[4 * p + 3] + kk[4 * p + 1] - 1)));
    }
    EXPECT_EQ(static_cast<int>(nc[0] + nc[1] + nc[2] + nc[3]), neqn);
    ASSERT_EQ(pb.size(), 22u + 1 + 1 + 2 * 4 + 6 * (1 + 4));
    EXPECT_EQ(pb[22][0], 3.0);        // the period
    EXPECT_EQ(pb[23].size(), 2u * 6);  // the motions of the six modes
    for (std::size_t g = 0; g < 2; ++g)
        for (std::size_t p = 0; p < 4; ++p) EXPECT_EQ(pb[24 + 4 * g + p].size(), 2 * nc[p]);
    for (std::size_t m = 0; m < 6; ++m) {
        EXPECT_EQ(pb[32 + 5 * m], std::vector<double>{static_cast<double>(m + 1)});
        for (std::size_t p = 0; p < 4; ++p) EXPECT_EQ(pb[33 + 5 * m + p].size(), 2 * nc[p]);
    }
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(pick[i] + 1);
        EXPECT_NEAR(hic[pick[i]][4], lo[4 + i][4], 0.005 * lo[4 + i][4]);
        EXPECT_NEAR(hic[pick[i]][5], lo[4 + i][5], 1.5);
    }
    for (std::size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i + 1);
        EXPECT_NEAR(hi[i][4], lo[i][4], 0.005 * lo[i][4]);  // modulus
        EXPECT_NEAR(hi[i][5], lo[i][5], 1.5);               // phase, degrees
    }
    ASSERT_EQ(hif.size(), 3u);
    ASSERT_EQ(lof.size(), 3u);
    for (std::size_t i = 0; i < 2; ++i) {
        SCOPED_TRACE(i + 1);
        EXPECT_NEAR(hif[i][3], lof[i][3], 0.002 * lof[i][3]);
        EXPECT_NEAR(hif[i][4], lof[i][4], 0.2);
    }
    const double K = std::pow(2 * PI / 3.0, 2) / G;
    EXPECT_NEAR(hif[2][3], std::exp(-0.3 * K), 2e-4);  // the incident wave alone
    EXPECT_NEAR(hif[2][4], lof[2][4], 0.01);
    // x velocity 1 % of the radius outside against the body point.
    ASSERT_EQ(hib.size(), 4u);
    EXPECT_NEAR(hiv[0][3], hib[0][4], 0.03 * hib[0][4]);
    EXPECT_NEAR(hiv[0][4], hib[0][5], 1.0);
}

// A body point at the pole, where one parameter direction of every patch
// collapses: its velocity is that of the surrounding surface (the mean over
// a ring 0.1 around it differs from the centre by the curvature term only),
// and the velocity across the plane of symmetry vanishes there as it does
// beside it.
TEST_F(HoHemiForce, VelocityAtAPoleIsThatOfTheSurfaceAroundIt) {
    const double r = 0.1, zr = -std::sqrt(1 - r * r), c = r / std::sqrt(2.0);
    std::ostringstream pts;
    pts << "Body points\n6\n0 0 -1\n0.01 0 " << -std::sqrt(1 - 1e-4) << "\n";
    for (int i = 0; i < 4; ++i) pts << (i == 0 || i == 3 ? c : -c) << " " << (i < 2 ? c : -c) << " " << zr << "\n";
    bpi = pts.str();
    higher("IPNLBPT=1\n", "3.0", "0.", " 0 0 0 1 3 0 0 0 0");
    const auto p = rows("h.5p");
    const std::vector<std::vector<double>> v[3] = {rows("h.5vx"), rows("h.5vy"), rows("h.5vz")};
    ASSERT_EQ(p.size(), 6u);
    double scale = 0;
    for (const auto& vc : v) {
        ASSERT_EQ(vc.size(), 6u);
        scale = std::max(scale, std::hypot(vc[0][6], vc[0][7]));
    }
    auto ring = [](const std::vector<std::vector<double>>& f, int part) {
        return (f[2][part] + f[3][part] + f[4][part] + f[5][part]) / 4;
    };
    for (int part : {6, 7}) {
        SCOPED_TRACE(part);
        EXPECT_NEAR(p[0][part], ring(p, part), 0.01 * std::hypot(p[0][6], p[0][7]));
        for (const auto& vc : v) {
            EXPECT_NEAR(vc[0][part], ring(vc, part), 0.02 * scale);
            EXPECT_NEAR(vc[1][part], vc[0][part], 0.02 * scale);  // 0.01 beside the pole
        }
        EXPECT_NEAR(v[1][0][part], 0.0, 0.02 * scale);
        EXPECT_NEAR(v[1][1][part], 0.0, 0.02 * scale);
    }
}

}  // namespace
}  // namespace zorva
