// Interior free surface of the higher-order method through the model input:
// the exact hemisphere (a fan of patches about its centre) and the box of
// flat patches (strips to the mean line); the patches must cover the water
// plane inside the waterline exactly, facing down, at z = 0.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "geometry/hogeom.hpp"
#include "geometry/modelmore.hpp"
#include "panels/irrfs.hpp"
#include "tests/geometry/modeltest.hpp"
#include "tests/support/modules.hpp"

namespace zorva::test {
namespace {

constexpr double PI = 3.14159265358979323846;

class IntFsTest : public ModelTest {
protected:
    void SetUp() override {
        ModelTest::SetUp();
        reset_modules();
    }
    void TearDown() override {
        reset_modules();
        ModelTest::TearDown();
    }
    // The higher-order example with IRR = 3 from the configuration.
    void irr3(const std::string& dir) {
        fresh();
        reset_modules();
        copy_example(dir);
        const std::string cfgf = dir + ".cfg", potf = dir + ".pot";
        write_file(cfgf, read_file(cfgf) + "IRR=3\nILOG=1\n");
        std::vector<std::string> l = read_lines(potf);
        std::string out = l[0] + "\n" + l[1] + "\n" + l[3] + "\n0 0\n";
        for (std::size_t i = 5; i < l.size(); ++i) out += l[i] + "\n";
        write_file(potf, out);
        ASSERT_EQ(getip(), 0) << screen.str();
    }
    // A clean state that keeps the working directory's files.
    void fresh_keep() {
        chan::reset();
        chan::set_keyboard(&keyboard);
        chan::set_screen(&screen);
        screen.str("");
        reset_modules();
    }
    // Area of the interior patches by Gauss quadrature of the surface
    // Jacobian; every point checked to lie at z = 0 with the normal down.
    double lid_area() {
        // 10-point Gauss-Legendre rule, nodes by Newton on P10 in double.
        std::vector<double> x, w;
        const int N = 10;
        for (int i = 1; i <= N; ++i) {
            double z = std::cos(PI * (i - 0.25) / (N + 0.5)), dp = 0;
            for (int it = 0; it < 100; ++it) {
                double p0 = 1, p1 = z;
                for (int k = 2; k <= N; ++k) {
                    const double p2 = ((2 * k - 1) * z * p1 - (k - 1) * p0) / k;
                    p0 = p1;
                    p1 = p2;
                }
                dp = N * (z * p1 - p0) / (z * z - 1);
                z -= p1 / dp;
            }
            x.push_back(z);
            w.push_back(2 / ((1 - z * z) * dp * dp));
        }
        double a = 0;
        for (int q = model::NPATCHBD + 1; q <= model::NPATCHW; ++q) {
            EXPECT_EQ(model::IFSPAT(q), -1);
            const int ib = model::IBPTH(q);
            for (std::size_t i = 0; i < x.size(); ++i)
                for (std::size_t j = 0; j < x.size(); ++j) {
                    float X[3], VN[3], XU[3], XV[3], AJ = 0.0f;
                    int ierr = 0;
                    BODYGEOM(static_cast<float>(x[i]), static_cast<float>(x[j]), ib, q, X, VN, XU, XV, AJ, 1, 0,
                             ierr);
                    EXPECT_EQ(ierr, 0);
                    EXPECT_NEAR(X[2], 0.0f, 1e-6f);
                    EXPECT_NEAR(VN[2], -1.0f, 1e-5f) << "patch " << q;
                    a += w[i] * w[j] * static_cast<double>(AJ);
                }
        }
        return a;
    }
};

TEST_F(IntFsTest, HemisphereGetsAFanAboutItsCentre) {
    irr3("hohemi");
    ASSERT_EQ(ifs::NFSPAT, 4);
    EXPECT_EQ(model::NPATCHW, model::NPATCHBD + 4);
    for (int k = 1; k <= 4; ++k) {
        EXPECT_GT(ifs::IFSEDG(k), 0);  // curved sides: a point end
        EXPECT_NEAR(ifs::FSLEN(k), 1.0f, 1e-4f);
        for (int e = 2 * k - 1; e <= 2 * k; ++e) {
            EXPECT_NEAR(ifs::XFSEND(1, e), 0.0f, 1e-4f);
            EXPECT_NEAR(ifs::XFSEND(2, e), 0.0f, 1e-4f);
        }
    }
    EXPECT_NEAR(lid_area(), PI, 1e-4);
    // Spline counts: along the side those of the body patch (4 intervals,
    // order 3); across, its 4 intervals over the meridian of length pi/2
    // scaled to the depth 1: ceil(4 / (pi / 2)) = 3.
    for (int q = 5; q <= 8; ++q) {
        EXPECT_EQ(model::NU(q), 3);
        EXPECT_EQ(model::NV(q), 4);
        EXPECT_EQ(model::KU(q), 3);
    }
    EXPECT_EQ(model::NEQN, 4 * 6 * 6 + 4 * 5 * 6);
}

TEST_F(IntFsTest, ExactBodiesOfTheUserRoutine) {
    // Waterline sides turning by more than 0.5 rad get a point end (a fan
    // about their common centre), flatter ones strips to the mean line;
    // either way the patches cover the disc inside the waterline.
    struct Case {
        const char* what;
        const char* lines;  // data lines of the user routine
        int isxy, npatch, nfs, sign;
        double area;
    };
    const Case cases[] = {
        {"hemisphere in 8 sectors: strips", "2\nHEMISPHERE 1.0\nSECTORS 2\n", 0, 8, 8, -1, PI},
        {"cylinder: a fan", "2\nCYLINDER 1.0 0.5\nSECTORS 1\n", 0, 8, 4, 1, PI},
        {"quarter hemisphere: one patch to the centre", "2\nHEMISPHERE 1.0\nSYMMETRY 1 1\n", 1, 1, 1, 1, PI / 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        irr3("hohemi");
        write_file("hohemi.gdf", "Exact body\n1.0 9.80665\n" + std::to_string(c.isxy) + " " +
                                     std::to_string(c.isxy) + "\n" + std::to_string(c.npatch) + " 3\n" + c.lines);
        std::string spl = "Exact body\n";
        for (int p = 0; p < c.npatch; ++p) spl += "4 4\n3 3\n2 2\n4 4\n";
        write_file("hohemi.spl", spl);
        fresh_keep();
        ASSERT_EQ(getip(), 0) << screen.str();
        ASSERT_EQ(ifs::NFSPAT, c.nfs);
        for (int k = 1; k <= c.nfs; ++k) EXPECT_EQ(ifs::IFSEDG(k) > 0 ? 1 : -1, c.sign) << k;
        EXPECT_NEAR(lid_area(), c.area, 2e-4);
    }
}

TEST_F(IntFsTest, BoxOfFlatPatchesGetsStripsToItsMeanLine) {
    irr3("hobox");
    // The long sides y = +-0.5 give strips to y = 0; the ends x = +-1 run
    // across and give none.
    ASSERT_EQ(ifs::NFSPAT, 2);
    for (int k = 1; k <= 2; ++k) {
        EXPECT_LT(ifs::IFSEDG(k), 0);
        EXPECT_NEAR(ifs::FSLEN(k), 0.5f, 1e-6f);
        EXPECT_NEAR(ifs::XFSEND(2, 2 * k - 1), 0.0f, 1e-6f);
        EXPECT_NEAR(ifs::XFSEND(2, 2 * k), 0.0f, 1e-6f);
    }
    EXPECT_NEAR(lid_area(), 2.0, 1e-5);
}

TEST_F(IntFsTest, HemisphereWaterlineIsOneClosedLoop) {
    irr3("hohemi");
    int ierr = -1;
    WLINESH(1, {0, 0}, 1, ierr);
    ASSERT_EQ(ierr, 0) << screen.str();
    EXPECT_EQ(wl::NSEGWL, 4);
    EXPECT_EQ(wl::NCONTWL, 1);
    EXPECT_EQ(wl::ISYMBEG(1), 0);
    EXPECT_EQ(wl::ISYMEND(1), 0);
    for (int i = 1; i <= 4; ++i) {
        // Segment ends on the unit circle, each end the next one's start.
        EXPECT_NEAR(std::hypot(wl::XWLBEG(1, i), wl::XWLBEG(2, i)), 1.0f, 1e-5f);
        const int n = i % 4 + 1;
        EXPECT_NEAR(wl::XWLEND(1, i), wl::XWLBEG(1, n), 1e-5f);
        EXPECT_NEAR(wl::XWLEND(2, i), wl::XWLBEG(2, n), 1e-5f);
        // The outward normal of a circle points along the radius: its angle
        // at the start is that of the start point, turning by a quarter.
        const float a = std::atan2(wl::XWLBEG(2, i), wl::XWLBEG(1, i));
        EXPECT_NEAR(std::remainder(wl::ANGBEG(i) - a, 2 * 3.14159265f), 0.0f, 1e-4f);
        EXPECT_NEAR(std::fabs(wl::ANGEND(i) - wl::ANGBEG(i)), 3.14159265f / 2, 1e-4f);
    }
}

TEST_F(IntFsTest, QuarterBoxIsOneOpenContourAndOneStrip) {
    // The quarter x >= 0, y >= 0 of the box as three flat patches (bottom,
    // side y = 0.5, end x = 1), ISX = ISY = 1.
    irr3("hobox");
    write_file("hobox.gdf",
               "Quarter box\n1.0 9.80665\n1 1\n3 0\n"
               "0 0 -0.5  0 0.5 -0.5  1 0.5 -0.5  1 0 -0.5\n"
               "0 0.5 0  1 0.5 0  1 0.5 -0.5  0 0.5 -0.5\n"
               "1 0.5 0  1 0 0  1 0 -0.5  1 0.5 -0.5\n");
    write_file("hobox.spl", "Quarter box\n" + std::string(3, ' ') + "2 2\n3 3\n2 2\n4 4\n2 2\n3 3\n2 2\n4 4\n"
                                                                   "2 2\n3 3\n2 2\n4 4\n");
    fresh_keep();
    ASSERT_EQ(getip(), 0) << screen.str();
    // The end x = 1 runs across: no patch; the side y = 0.5 a strip to the
    // mean line y = 0 (the body is cut by y = 0), from (1, 0) to (0, 0).
    ASSERT_EQ(ifs::NFSPAT, 1);
    EXPECT_NEAR(ifs::XFSEND(1, 1), 1.0f, 1e-6f);
    EXPECT_NEAR(ifs::XFSEND(1, 2), 0.0f, 1e-6f);
    EXPECT_NEAR(ifs::XFSEND(2, 1), 0.0f, 1e-6f);
    EXPECT_NEAR(lid_area(), 0.5, 1e-6);

    int ierr = -1;
    WLINESH(1, {1, 1}, 1, ierr);
    ASSERT_EQ(ierr, 0) << screen.str();
    ASSERT_EQ(wl::NCONTWL, 1);
    ASSERT_EQ(wl::NSEGWL, 2);
    // From the plane y = 0 round to the plane x = 0; the outward normal
    // turns from +x to +y.
    EXPECT_EQ(wl::ISYMBEG(1), 2);
    EXPECT_EQ(wl::ISYMEND(1), 1);
    const float seg[2][4] = {{1, 0, 1, 0.5f}, {1, 0.5f, 0, 0.5f}};
    for (int i = 1; i <= 2; ++i) {
        EXPECT_NEAR(wl::XWLBEG(1, i), seg[i - 1][0], 1e-6f);
        EXPECT_NEAR(wl::XWLBEG(2, i), seg[i - 1][1], 1e-6f);
        EXPECT_NEAR(wl::XWLEND(1, i), seg[i - 1][2], 1e-6f);
        EXPECT_NEAR(wl::XWLEND(2, i), seg[i - 1][3], 1e-6f);
    }
    EXPECT_NEAR(wl::ANGVTX(1), 0.0f, 1e-6f);
    EXPECT_NEAR(wl::ANGBEG(1), 0.0f, 1e-6f);
    EXPECT_NEAR(wl::ANGBEG(2), 3.14159265f / 2, 1e-6f);
    EXPECT_NEAR(wl::ANGVTX(2), 3.14159265f / 4, 1e-6f);
    EXPECT_NEAR(wl::ANGEND(2), 1.570796f, 1e-6f);
}

TEST_F(IntFsTest, SubmergedBodyHasNoWaterline) {
    irr3("hobox");
    std::vector<std::string> l = read_lines("hobox.pot");
    l[2] = "0.0  0. 0. -1. 0.";  // the box held 1 below the surface
    std::string out;
    for (const auto& x : l) out += x + "\n";
    write_file("hobox.pot", out);
    fresh_keep();
    ASSERT_EQ(getip(), 0) << screen.str();
    EXPECT_EQ(ifs::NFSPAT, 0);
    int ierr = -1;
    WLINESH(0, {0, 0}, 1, ierr);
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(wl::NSEGWL, 0);
    EXPECT_EQ(wl::NCONTWL, 0);
}

}  // namespace
}  // namespace zorva::test
