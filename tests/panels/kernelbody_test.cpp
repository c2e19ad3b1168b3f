// Bodies of geometry-model files (IGDEF = 2) through the model input and
// the hydrostatics: the box as kernel surfaces gives the point set of its
// flat patches, the kernel's hemisphere and cylinder those of the sample
// user routine; tanks and dipole surfaces of a model; the kernel's failures
// stop the input with their messages.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "geometry/model.hpp"
#include "geometry/modelmore.hpp"
#include "geometry/rgklink.hpp"
#include "panels/geom.hpp"
#include "panels/geomdata.hpp"
#include "tests/geometry/modeltest.hpp"
#include "tests/support/modules.hpp"

namespace zorva {
namespace {

using namespace model;

// The box 2 x 1 x 0.5 as five bilinear surfaces, the corners in the order of
// the flat patches of the example hobox (front sides facing the fluid).
const std::string BOX =
    "QUAD bottom -1 -0.5 -0.5  -1 0.5 -0.5  1 0.5 -0.5  1 -0.5 -0.5 DIV1\n"
    "QUAD endp   -1 0.5 0  1 0.5 0  1 0.5 -0.5  -1 0.5 -0.5 DIV2\n"
    "QUAD endm   1 -0.5 0  -1 -0.5 0  -1 -0.5 -0.5  1 -0.5 -0.5 DIV2\n"
    "QUAD sidep  1 0.5 0  1 -0.5 0  1 -0.5 -0.5  1 0.5 -0.5 DIV3\n"
    "QUAD sidem  -1 -0.5 0  -1 0.5 0  -1 0.5 -0.5  -1 -0.5 -0.5 DIV3\n";

std::string replace_all(std::string s, const std::string& from, const std::string& to) {
    for (std::size_t p = 0; (p = s.find(from, p)) != std::string::npos; p += to.size()) s.replace(p, from.size(), to);
    return s;
}

// Point, unit normal and Jacobian of a force-set point.
using Point = std::array<float, 7>;

class KernelBodyTest : public test::ModelHydroTest {
protected:
    void restart() {
        fresh();
        test::reset_modules();
    }
    // The body file b.gdf naming the model b.zmd (wetted list `list`,
    // tank list `tanks`), with symmetry indices `isxy`.
    static void kernel_body(const std::string& model, const std::string& list = "DEFAULT",
                            const std::string& isxy = "0 0") {
        write_file("b.zmd", "ZUZOVOZA MODEL 1\nUNITS m\n" + model);
        write_file("b.gdf", "Kernel body\n1. 9.80665\n" + isxy + "\n0 2\n3\nb.zmd\n" + list + "\n1 0 0\n");
    }
    // A one-body run of b.gdf: low or higher order, with every patch cut
    // into n x n spline panels of IQ x IQ force-set points.
    static void run_files(int ilowhi, const std::string& cfgtext = "", int npatch = 0, int n = 1, int iq = 2) {
        write_file("fnames.zrv", "b.cfg\nb.pot\nb.gdf\n");
        write_file("b.cfg", "ILOWHI=" + std::to_string(ilowhi) + "\n" + cfgtext);
        write_file("b.pot", "B\n0\n0\n0. 0. 0. 0. 0.\n0 0 0\n1 1\n1 1 1 1 1 1\n1\n5.\n1\n0.\n");
        std::string spl = "s\n";
        for (int p = 0; p < npatch; ++p)
            spl += std::to_string(n) + " " + std::to_string(n) + "\n3 3\n2 2\n" + std::to_string(iq) + " " +
                   std::to_string(iq) + "\n";
        write_file("b.spl", spl);
    }
    // The force-set points, sorted.
    static std::vector<Point> points() {
        std::vector<Point> v;
        for (int n = 1; n <= NQP; ++n)
            v.push_back({XQP(1, n), XQP(2, n), XQP(3, n), ENQP(1, n), ENQP(2, n), ENQP(3, n), WQP(n)});
        std::sort(v.begin(), v.end(), [](const Point& a, const Point& b) {
            for (int k = 0; k < 3; ++k)
                if (std::fabs(a[k] - b[k]) > 1e-4f) return a[k] < b[k];
            return false;
        });
        return v;
    }
    static void expect_same_points(const std::vector<Point>& a, const std::vector<Point>& b, float tol) {
        ASSERT_EQ(a.size(), b.size());
        int bad = 0;
        for (std::size_t i = 0; i < a.size() && bad < 5; ++i)
            for (int k = 0; k < 7; ++k)
                if (std::fabs(a[i][k] - b[i][k]) > tol) {
                    ADD_FAILURE() << "point " << i << " item " << k << ": " << a[i][k] << " vs " << b[i][k];
                    ++bad;
                    break;
                }
    }
    struct Hydro {
        float vol, zb, c33, c44, c55;
    };
    static Hydro hydrostatics() {
        return {pnl::VOLB(1), pnl::XBUOY(3, 1), pnl::CHYD(3, 3), pnl::CHYD(4, 4), pnl::CHYD(5, 5)};
    }
};

// Higher order: the box as kernel surfaces gives the force-set points of
// its flat patches (same points, normals and Jacobians), so the
// hydrostatics of the box: V = 1, Zb = -0.25, C33 = 2, C44 = 1/6 - 1/4,
// C55 = 2/3 - 1/4.  The kernel's evaluations are counted in its log.
TEST_F(KernelBodyTest, HigherOrderBoxGivesTheFlatPatchPoints) {
    copy_example("hobox");
    ASSERT_EQ(hydro(), 0) << screen.str();
    const auto flat = points();

    restart();
    copy_example("hobox");
    write_file("hobox.zmd", "ZUZOVOZA MODEL 1\n" + replace_all(replace_all(replace_all(BOX, " DIV1", ""), " DIV2", ""),
                                                                    " DIV3", ""));
    write_file("hobox.gdf", "Box\n1. 9.80665\n0 0\n0 2\n3\nhobox.zmd\nDEFAULT\n1 0 0\n");
    ASSERT_EQ(hydro(), 0) << screen.str();
    EXPECT_EQ(NPATCH(1), 5);
    expect_same_points(points(), flat, 2e-6f);
    const Hydro h = hydrostatics();
    EXPECT_NEAR(h.vol, 1.0, 1e-6);
    EXPECT_NEAR(h.zb, -0.25, 1e-6);
    EXPECT_NEAR(h.c33, 2.0, 1e-6);
    EXPECT_NEAR(h.c44, 2.0 / 12 - 0.25, 1e-6);
    EXPECT_NEAR(h.c55, 8.0 / 12 - 0.25, 1e-6);
    RGKDONE();
    const std::string log = read_file("rgklog.txt");
    EXPECT_EQ(log.find("There were 0 RGKEVAL calls."), std::string::npos) << log;
    EXPECT_NE(log.find("\nExecuting RGKDONE at "), std::string::npos) << log;
}

// Low order: the panels the kernel exports for the whole box, for its
// quarter with ISX = ISY = 1 and for the quarter with its mirror images
// give the hydrostatics of the flat panels of 0.25 (centroid rule:
// C44 = 0.15625 - 0.25, C55 = 0.65625 - 0.25).
TEST_F(KernelBodyTest, LowOrderBoxWholeQuarterAndMirrored) {
    const std::string whole = replace_all(replace_all(replace_all(BOX, "DIV1", "div=4x8"), "DIV2", "div=8x2"),
                                          "DIV3", "div=4x2");
    const std::string quarter = "SYMMETRY 1 1\n"
                                "QUAD bottom 0 0 -0.5  0 0.5 -0.5  1 0.5 -0.5  1 0 -0.5  div=2x4\n"
                                "QUAD side   1 0 -0.5  1 0.5 -0.5  1 0.5 0  1 0 0  div=2x2\n"
                                "QUAD end    0 0.5 -0.5  0 0.5 0  1 0.5 0  1 0.5 -0.5  div=2x4\n";
    struct Case {
        const char* what;
        std::string model, isxy;
        int neqn;
    };
    const Case cases[] = {
        {"whole", whole, "0 0", 80}, {"quarter", quarter, "1 1", 20}, {"mirrored quarter", quarter, "0 0", 80}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        restart();
        run_files(0);
        kernel_body(c.model, "DEFAULT", c.isxy);
        ASSERT_EQ(hydro(), 0) << screen.str();
        EXPECT_EQ(NEQN, c.neqn);
        const Hydro h = hydrostatics();
        EXPECT_NEAR(h.vol, 1.0, 2e-6);
        EXPECT_NEAR(h.zb, -0.25, 1e-6);
        EXPECT_NEAR(h.c33, 2.0, 2e-6);
        EXPECT_NEAR(h.c44, -0.09375, 2e-6);
        EXPECT_NEAR(h.c55, 0.40625, 2e-6);
        EXPECT_EQ(read_lines("b_ms2.gdf").size(), 4u + static_cast<std::size_t>(c.neqn));
    }
}

// The kernel's hemisphere (a sphere zone) and vertical cylinder (wall and
// bottom disc) give the force-set points and hydrostatics of the sample
// user routine's exact bodies cut into the same patches, and the closed
// forms: hemisphere V = 2 pi / 3, C33 = pi, Zb = -3/8; cylinder R = 1.5,
// T = 0.8: V = pi R^2 T, C33 = pi R^2, C44 = pi R^4 / 4 - V T / 2, Zb = -T/2.
TEST_F(KernelBodyTest, HemisphereAndCylinderAsTheUserRoutineGivesThem) {
    const double R = 1.5, T = 0.8, VC = M_PI * R * R * T;
    struct Case {
        const char* what;
        std::string user, model;
        int npatch;
        double vol, zb, c33, c44;
    };
    const Case cases[] = {
        {"hemisphere", "HEMISPHERE 1.0", "SPHERE hull 0 0 0 1 -90 0 0 360 orient=1 panes=1x4\n", 4, 2 * M_PI / 3,
         -3.0 / 8, M_PI, M_PI / 4 - 2 * M_PI / 3 * 3.0 / 8},
        {"cylinder", "CYLINDER 1.5 0.8",
         "CYLINDER wall 0 0 1.5 -0.8 0 0 360 panes=4x1\nDISC bottom 0 0 -0.8 1.5 0 360 orient=1 panes=1x4\n", 8, VC,
         -T / 2, M_PI * R * R, M_PI * R * R * R * R / 4 - VC * T / 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        restart();
        run_files(1, "", c.npatch, 4, 3);
        write_file("b.gdf", "U\n1. 9.80665\n0 0\n" + std::to_string(c.npatch) + " 5\n1\n" + c.user + "\n");
        ASSERT_EQ(hydro(), 0) << screen.str();
        const auto user = points();
        const Hydro hu = hydrostatics();

        restart();
        run_files(1, "", c.npatch, 4, 3);
        kernel_body(c.model);
        ASSERT_EQ(hydro(), 0) << screen.str();
        EXPECT_EQ(NPATCH(1), c.npatch);
        expect_same_points(points(), user, 2e-5f);
        const Hydro h = hydrostatics();
        for (auto [a, b] : {std::pair{h.vol, hu.vol}, {h.zb, hu.zb}, {h.c33, hu.c33}, {h.c44, hu.c44}})
            EXPECT_NEAR(a, b, 2e-6 * static_cast<double>(std::max(1.0f, std::fabs(b))));
        EXPECT_NEAR(static_cast<double>(h.vol) / static_cast<double>(c.vol), 1.0, 1e-4);
        EXPECT_NEAR(static_cast<double>(h.zb) / static_cast<double>(c.zb), 1.0, 1e-4);
        EXPECT_NEAR(static_cast<double>(h.c33) / static_cast<double>(c.c33), 1.0, 1e-4);
        EXPECT_NEAR(h.c44, c.c44, 1e-4);
        EXPECT_NEAR(h.c55, c.c44, 1e-4);
    }
}

// A model's tank list and dipole surface: the tank's panels (low order) or
// patches (higher order) get its tank number, the dipole surface's get the
// dipole class; a tank count that differs from the configuration's stops
// the input.
TEST_F(KernelBodyTest, TanksAndDipolesFromTheModel) {
    const std::string model =
        replace_all(replace_all(replace_all(BOX, "DIV1", "div=2x2"), "DIV2", "div=2x1"), "DIV3", "div=2x1") +
        // an open tank x in [-0.5, 0.5], y in [-0.25, 0.25], z in [-0.4, -0.1]
        "QUAD tbottom -0.5 -0.25 -0.4  0.5 -0.25 -0.4  0.5 0.25 -0.4  -0.5 0.25 -0.4\n"
        "QUAD twall   -0.5 0.25 -0.4  0.5 0.25 -0.4  0.5 0.25 -0.1  -0.5 0.25 -0.1\n"
        // a fin below the bottom, a dipole surface
        "QUAD fin 0 -0.2 -0.5  0 0.2 -0.5  0 0.2 -0.7  0 -0.2 -0.7 color=11 div=2x2\n"
        "LIST Hull bottom endp endm sidep sidem fin\nLIST Tanks Tank1\nLIST Tank1 tbottom twall\n";
    for (int ilowhi : {0, 1}) {
        SCOPED_TRACE(ilowhi);
        restart();
        run_files(ilowhi, "NPTANK(1) = (1 1)\n", 8, 1, 2);
        kernel_body(model, "Hull Tanks");
        ASSERT_EQ(getip(), 0) << screen.str();
        EXPECT_EQ(cfg::ITANKB(1), 1);
        EXPECT_EQ(cfg::IDIPOLE, 1);
        // Hull panels 4 + 2 x 2 + 2 x 2, tank 1 + 1 (low order: the fin's
        // 4 dipole panels last); higher order one patch a surface.
        const int nhull = ilowhi == 0 ? 12 : 5, ntank = 2, nfin = ilowhi == 0 ? 4 : 1;
        const int n = ilowhi == 0 ? NEQN : NPATCHR;
        ASSERT_EQ(n, nhull + ntank + nfin);
        // The fin is in the list before the tank surfaces in higher order
        // (list order); the low-order file has it after all other panels.
        for (int p = 1; p <= n; ++p) {
            const bool fin = ilowhi == 0 ? p > nhull + ntank : p == nhull + 1;
            const bool tank = ilowhi == 0 ? p > nhull && p <= nhull + ntank : p > nhull + 1;
            EXPECT_EQ(ITANK(p), tank ? 1 : 0) << p;
            EXPECT_EQ(IDIPWM(p), fin ? 1 : 0) << p;
        }
        if (ilowhi == 0) {
            EXPECT_EQ(NPAND(1), 4);
        }
    }
    restart();
    run_files(0, "NPTANK(1) = (1 1) (2 2)\n");
    kernel_body(model, "Hull Tanks");
    EXPECT_EQ(getip(), 1);
    EXPECT_TRUE(said("Error:NTANKS different in CFG and MS2 files, body 1\n")) << screen.str();
}

// The kernel's failures: the low-order export refusing ISX = 1 on a model
// without symmetry (code 5), a trimmed surface that has no patches for the
// higher-order method, and a body file that names a surface not in the
// model (the set-up's code 4).
TEST_F(KernelBodyTest, KernelFailuresStopTheInput) {
    const std::string quad = "QUAD bottom -1 -0.5 -0.5  -1 0.5 -0.5  1 0.5 -0.5  1 -0.5 -0.5";
    // The kernel's reason is in its log: the run points to it.
    const std::string NOTE = " The reason is in rgklog.txt, the log of the geometry-model library SURFLINK\n";
    struct Case {
        const char* what;
        int ilowhi;
        std::string model, list, isxy;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"ISX without model symmetry", 0, quad + "\n", "DEFAULT", "1 0",
         {"Error calling RGKLOWGDF for body N=1\n", "                      error code = 5\n", NOTE}},
        {"trimmed surface", 1, quad + " trimmed=1\n", "DEFAULT", "0 0", {"Error calling RGKNPATCH, body 1\n"}},
        {"unknown wetted list", 1, quad + "\n", "Hull", "0 0",
         {"Error return from subroutine RGKINIT, error code = 4\n", NOTE}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        restart();
        run_files(c.ilowhi, "", 1);
        kernel_body(c.model, c.list, c.isxy);
        EXPECT_EQ(getip(), 1);
        for (const auto& m : c.messages) EXPECT_TRUE(said(m)) << m << screen.str();
    }
}

}  // namespace
}  // namespace zorva
