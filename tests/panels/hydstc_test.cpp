// Hydrostatics of the higher-order method against closed forms: the box as
// flat and as B-spline patches, the exact hemisphere and vertical cylinder
// of the sample user routine under refinement of the spline panels, the
// quadrature point sets, and the higher-order examples through the POTEN
// stage up to the next missing step.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "geometry/hogeom.hpp"
#include "geometry/modelmore.hpp"
#include "main/drivers/drivers.hpp"
#include "panels/geom.hpp"
#include "panels/geomdata.hpp"
#include "tests/geometry/modeltest.hpp"
#include "tests/support/modules.hpp"

namespace zorva {
namespace {

using namespace model;

class HydstcTest : public test::ModelHydroTest {
protected:
    float C(int j, int k) const { return pnl::CHYD(j, k); }

    // A one-body run of a user-routine body with n x n spline panels per
    // patch and IQ x IQ force-set points per spline panel.
    static void user_body(const std::string& data, int npatch, int n, int iq) {
        write_file("fnames.zrv", "b.cfg\nb.pot\nb.gdf\n");
        write_file("b.cfg", "ILOWHI=1\n");
        write_file("b.pot", "B\n0\n0\n0. 0. 0. 0. 0.\n0 0 0\n1 1\n1 1 1 1 1 1\n1\n5.\n1\n0.\n");
        write_file("b.gdf", "U\n1. 9.80665\n0 0\n" + std::to_string(npatch) + " 5\n1\n" + data + "\n");
        std::string spl = "s\n";
        for (int p = 0; p < npatch; ++p)
            spl += std::to_string(n) + " " + std::to_string(n) + "\n3 3\n2 2\n" + std::to_string(iq) + " " +
                   std::to_string(iq) + "\n";
        write_file("b.spl", spl);
    }
};

// The box 2 x 1 x 0.5 gives the low-order values of its flat panels.
TEST_F(HydstcTest, BoxAsFlatAndAsSplinePatches) {
    for (const char* ex : {"hobox", "hoboxbs"}) {
        fresh();
        test::reset_modules();
        copy_example(ex);
        ASSERT_EQ(hydro(), 0) << ex << screen.str();
        EXPECT_NEAR(pnl::VOLB(1), 1.0, 1e-6) << ex;
        for (int k = 1; k <= 3; ++k) EXPECT_NEAR(pnl::VOLXYZ(k, 1), 1.0, 1e-6) << ex << k;
        EXPECT_NEAR(pnl::XBUOY(1, 1), 0.0, 1e-6) << ex;
        EXPECT_NEAR(pnl::XBUOY(2, 1), 0.0, 1e-6) << ex;
        EXPECT_NEAR(pnl::XBUOY(3, 1), -0.25, 1e-6) << ex;
        EXPECT_NEAR(C(3, 3), 2.0, 1e-6) << ex;
        EXPECT_NEAR(C(4, 4), 2.0 / 12 - 0.25, 1e-6) << ex;
        EXPECT_NEAR(C(5, 5), 8.0 / 12 - 0.25, 1e-6) << ex;
        for (auto [j, k] : {std::pair{3, 4}, {3, 5}, {4, 5}, {4, 6}, {5, 6}}) EXPECT_NEAR(C(j, k), 0.0, 1e-6) << ex;
        // Force set: 4 x 4 points on every spline panel of 0.5 x 0.5, weights
        // of the unit square summing to the wetted area 2 + 2 x 1 + 2 x 0.5.
        EXPECT_EQ(NQP, 16 * (8 + 4 + 4 + 2 + 2));
        EXPECT_EQ(NQO, 9 * (8 + 4 + 4 + 2 + 2));  // influence set: 3 x 3 points per spline panel
        double area = 0.0;
        int n = 0;
        for (int p = 1; p <= NPATCHT; ++p)
            for (int j = 1; j <= NV(p); ++j)
                for (int i = 1; i <= NU(p); ++i)
                    for (int qv = 1; qv <= IQVI(p); ++qv)
                        for (int qu = 1; qu <= IQUI(p); ++qu)
                            area += static_cast<double>(HOTAB4(qu, p) * HOTAB6(qv, p) * WQP(++n)) / (NU(p) * NV(p));
        EXPECT_NEAR(area, 5.0, 1e-5) << ex;
    }
}

// With a wall the force-set points are global (the body at x = 3) while the
// sums keep the body frame.
TEST_F(HydstcTest, WallMovesThePointsNotTheSums) {
    copy_example("hobox");
    set_line("hobox.cfg", 5, "IWALLY0=1");
    set_line("hobox.pot", 4, " 0.0  3. 0. 0. 0.   HBOT  XBODY YBODY ZBODY PHIBODY");
    ASSERT_EQ(hydro(), 0) << screen.str();
    EXPECT_EQ(ISY, -1);
    EXPECT_NEAR(pnl::VOLB(1), 1.0, 1e-6);
    EXPECT_NEAR(pnl::XBUOY(1, 1), 0.0, 1e-6);
    EXPECT_NEAR(C(5, 5), 8.0 / 12 - 0.25, 1e-6);
    EXPECT_NEAR(C(3, 5), 0.0, 1e-6);
    // First force-set point: first node of the first spline panel of patch 1.
    const float ua = HOTAB1(KU(1), 1), ub = HOTAB1(KU(1) + 1, 1), va = HOTAB2(KV(1), 1), vb = HOTAB2(KV(1) + 1, 1);
    const float u = (ua + ub) / 2 + HOTAB3(1, 1) * (ub - ua) / 2, v = (va + vb) / 2 + HOTAB5(1, 1) * (vb - va) / 2;
    float x[3], vn[3], xu[3], xv[3], aj;
    int ierr = 0;
    BODYGEOM(u, v, 1, 1, x, vn, xu, xv, aj, 0, 0, ierr);
    EXPECT_NEAR(XQP(1, 1), x[0] + 3.0f, 1e-6);
    EXPECT_NEAR(XQP(2, 1), x[1], 1e-6);
}

// Heave given once more as a generalized mode (sample NEWMODES, mode file
// "HEAVE"): its normal velocity is n3 at every point and its restoring
// coefficients repeat C33.  Without the mode file the set-up fails with
// its message; an evaluation whose mode call fails gives a status.
TEST_F(HydstcTest, GeneralizedHeaveRepeatsC33) {
    copy_example("hobox");
    set_line("hobox.cfg", 5, "NEWMDS(1)=1");
    write_file("hobox.nmd", "HEAVE\n");
    ASSERT_EQ(hydro(), 0) << screen.str();
    EXPECT_NEAR(C(3, 3), 2.0, 1e-6);
    EXPECT_NEAR(C(7, 7), 2.0, 1e-6);
    EXPECT_NEAR(C(3, 7), 2.0, 1e-6);
    EXPECT_NEAR(C(7, 3), 2.0, 1e-6);
    for (int n = 1; n <= NQP; n += 7) EXPECT_EQ(VNQP(7, n), ENQP(3, n));
    // An evaluation whose mode call fails (no mode file for the name).
    const std::string keep(MODNAME.begin(), MODNAME.end());
    std::fill(MODNAME.begin(), MODNAME.end(), ' ');
    std::copy_n("nofile", 6, MODNAME.begin());
    float x[3], vn[3], xu[3], xv[3], aj;
    int ierr = 0;
    BODYGEOM(0.1f, 0.2f, 1, 1, x, vn, xu, xv, aj, 2, 0, ierr);
    EXPECT_EQ(ierr, 1);
    EXPECT_TRUE(said(" Error calling NEWMODES from BODYGEOM, body IBI=1")) << screen.str();
    std::copy(keep.begin(), keep.end(), MODNAME.begin());

    fresh();
    test::reset_modules();
    copy_example("hobox");
    set_line("hobox.cfg", 5, "NEWMDS(1)=1");
    write_file("hobox.nmd", "TWIST\n");
    EXPECT_EQ(hydro(), 1);
    EXPECT_TRUE(said(" Error calling NEWMODES from HYDSTC, BODY N=1")) << screen.str();
}

// The exact hemisphere of radius 1: V = 2 pi / 3, C33 = pi, Zb = -3/8 as the
// spline panels are refined (2 x 2 points per panel); the error falls with
// the fourth power of the panel size.
TEST_F(HydstcTest, HemisphereConvergesUnderRefinement) {
    const double V = 2 * M_PI / 3, C33 = M_PI, ZB = -3.0 / 8;
    double last[3] = {1, 1, 1};
    for (int n : {1, 2, 4, 8}) {
        fresh();
        test::reset_modules();
        user_body("HEMISPHERE 1.0", 4, n, 2);
        ASSERT_EQ(hydro(), 0) << screen.str();
        const double v = pnl::VOLB(1), c33 = C(3, 3), zb = pnl::XBUOY(3, 1);
        const double err[3] = {std::fabs(v - V) / V, std::fabs(c33 - C33) / C33, std::fabs(zb - ZB) / -ZB};
        for (int k = 0; k < 3; ++k) {
            if (n > 1 && last[k] > 1e-6) {
                EXPECT_LT(err[k], last[k] / 8) << n << " " << k;
            }
            last[k] = err[k];
        }
    }
    for (double e : last) EXPECT_LT(e, 2e-5);
}

// The vertical cylinder R = 1.5, T = 0.8: V = pi R^2 T,
// C44 = C55 = pi R^4 / 4 - V T / 2, Zb = -T/2.
TEST_F(HydstcTest, VerticalCylinder) {
    const double R = 1.5, T = 0.8, V = M_PI * R * R * T;
    user_body("CYLINDER 1.5 0.8", 8, 4, 4);
    ASSERT_EQ(hydro(), 0) << screen.str();
    EXPECT_NEAR(static_cast<double>(pnl::VOLB(1)) / V, 1.0, 1e-5);
    EXPECT_NEAR(static_cast<double>(C(3, 3)) / (M_PI * R * R), 1.0, 1e-5);
    EXPECT_NEAR(C(4, 4), M_PI * R * R * R * R / 4 - V * T / 2, 1e-4);
    EXPECT_NEAR(C(5, 5), M_PI * R * R * R * R / 4 - V * T / 2, 1e-4);
    EXPECT_NEAR(pnl::XBUOY(3, 1), -T / 2, 1e-6);
}

// A bottom below the sea floor stops with a message naming the files, the
// body and the patch.
TEST_F(HydstcTest, PointBelowTheBottom) {
    user_body("CYLINDER 1.0 2.0", 8, 1, 2);
    write_file("b.pot", "B\n0\n0\n1.5 0. 0. 0. 0.\n0 0 0\n1 1\n1 1 1 1 1 1\n1\n5.\n1\n0.\n");
    EXPECT_EQ(hydro(), 1);
    EXPECT_TRUE(said(" Error in GDF file, body 1 (b.gdf), patch 1: point below the bottom (depth HBOT = 1.5 in POT "
                     "file b.pot)"))
        << screen.str();
}

// The higher-order examples go through the model input, the hydrostatics,
// the Rankine integrals and every period of the POTEN stage.
TEST_F(HydstcTest, ExamplesRunThroughPoten) {
    for (const char* ex : {"hobox", "hoboxbs", "hohemi"}) {
        fresh();
        test::reset_modules();
        copy_example(ex);
        int ierr = 0;
        POTENRUN(ierr);
        EXPECT_EQ(ierr, 0) << ex << screen.str();
        EXPECT_TRUE(said("POTEN module run completed")) << ex << screen.str();
        EXPECT_GT(NQP, 0) << ex;
        EXPECT_GT(pnl::VOLB(1), 0.9f) << ex;
    }
}

}  // namespace
}  // namespace zorva
