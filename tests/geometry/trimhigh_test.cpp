// Waterline trimming of higher-order bodies: the crossing search on a flat
// inclined patch against its closed form, the one-wet-corner split, a box of
// flat patches moved up, the exact hemisphere and cylinder moved up and
// heeled (cut edges on the free surface, wetted volume and waterplane area
// against the closed forms of the moved body, and against the low-order
// trimming of the same hemisphere panelled finely), and the list services.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "geometry/bspline.hpp"
#include "geometry/hogeom.hpp"
#include "geometry/modelmore.hpp"
#include "geometry/trimhigh.hpp"
#include "panels/geom.hpp"
#include "panels/geomdata.hpp"
#include "tests/geometry/modeltest.hpp"
#include "tests/support/deckedbox.hpp"
#include "tests/support/modules.hpp"

namespace zorva {
namespace {

using namespace model;

class TrimHighTest : public test::ModelHydroTest {
protected:
    // A one-body higher-order run: configuration lines, geometry file, and
    // n x n spline panels of IQ x IQ points on each of its npatch patches.
    static void run_files(const std::string& cfgtext, const std::string& gdf, int npatch, int n, int iq) {
        write_file("fnames.zrv", "b.cfg\nb.pot\nb.gdf\n");
        write_file("b.cfg", "ILOWHI=1\n" + cfgtext);
        // IRR given in the configuration removes its line from the file,
        // ILOG its value from the IQUAD ILOG IDIAG line.
        const std::string irr = cfgtext.find("IRR") == std::string::npos ? "0\n" : "";
        const std::string switches = cfgtext.find("ILOG") == std::string::npos ? "0 0 0\n" : "0 0\n";
        write_file("b.pot", "B\n0\n" + irr + "0. 0. 0. 0. 0.\n" + switches + "1 1\n1 1 1 1 1 1\n1\n5.\n1\n0.\n");
        write_file("b.gdf", gdf);
        std::string spl = "s\n";
        for (int p = 0; p < npatch; ++p)
            spl += std::to_string(n) + " " + std::to_string(n) + "\n3 3\n2 2\n" + std::to_string(iq) + " " +
                   std::to_string(iq) + "\n";
        write_file("b.spl", spl);
    }
    // Flat patch x = u, y = v, z = a u + b v + c (vertices at (1,-1),
    // (-1,-1), (-1,1), (1,1)).
    static std::string plane(double a, double b, double c) {
        char s[400];
        std::snprintf(s, sizeof s, "plane\n1. 9.80665\n0 0\n1 0\n%g %g %g %g %g %g %g %g %g %g %g %g\n", 1., -1.,
                      a - b + c, -1., -1., -a - b + c, -1., 1., -a + b + c, 1., 1., a + b + c);
        return s;
    }
    // Area of sub-patch p by 16 x 16 Gauss points.
    static double area(int p) {
        float x[16], w[16];
        int ierr = 0;
        GAUSLE(-1.0f, 1.0f, x, w, 16, ierr);
        double a = 0.0;
        for (int i = 0; i < 16; ++i)
            for (int j = 0; j < 16; ++j) {
                float X[3], VN[3], XU[3], XV[3], AJ = 0.0f;
                BODYGEOM(x[i], x[j], IBPTH(p), p, X, VN, XU, XV, AJ, 1, 0, ierr);
                EXPECT_EQ(ierr, 0);
                a += static_cast<double>(w[i]) * static_cast<double>(w[j]) * static_cast<double>(AJ);
            }
        return a;
    }
    // Largest height above z = 0 (global) of the cut edges of all sub-patches.
    static double cut_edge_gap() {
        double gap = 0.0;
        for (int p = 1; p <= NPATCHBD; ++p) {
            const int ec = ITRMIDX(p);
            if (ec == 0) continue;
            for (int k = 0; k <= 8; ++k) {
                const float w = -1.0f + 0.25f * static_cast<float>(k);
                float u = w, v = w;
                if (ec == 1 || ec < 0) u = 1.0f;
                if (ec == 3) u = -1.0f;
                if (ec == 2) v = 1.0f;
                if (ec == 4) v = -1.0f;
                float X[3], VN[3], XU[3], XV[3], AJ = 0.0f;
                int ierr = 0;
                BODYGEOM(u, v, IBPTH(p), p, X, VN, XU, XV, AJ, 0, 1, ierr);
                EXPECT_EQ(ierr, 0);
                gap = std::max(gap, std::fabs(static_cast<double>(X[2])));
            }
        }
        return gap;
    }
};

// The crossing of a side with the waterline of the plane z = u + 0.3 v + 0.2
// (wet below z = 0): u = -0.3 v - 0.2 on the sides v = +-0.9999 of the
// sampled grid, from either end of the side; and a crossing on a grid point
// is taken as it is.
TEST_F(TrimHighTest, SearchOnAnInclinedPlane) {
    struct Case {
        double c;
        int M, K, DIR, FREF;
        float S, T;
        int ISIDE;
    };
    const Case cases[] = {
        {0.2, 7, 4, 1, -1, 0.1f, -0.9999f, 1},  {0.2, 7, 4, 2, 1, 0.1f, -0.9999f, 1},
        {0.2, 5, 2, 1, 1, -0.5f, 0.9999f, 1},   {0.2, 5, 2, 2, -1, -0.5f, 0.9999f, 1},
        {0.29997, 4, 4, 1, -1, 0.0f, -0.9999f, 1},  // on the grid point u = 0
    };
    for (const Case& c : cases) {
        fresh();
        test::reset_modules();
        run_files("", plane(1.0, 0.3, c.c - 1.0), 1, 1, 2);  // level z = -1 below the untrimmed patch
        ASSERT_EQ(getip(), 0) << screen.str();
        IPGDF.deallocate();
        int ierr = 0;
        TRIMWLH(1, 0, ierr);
        ASSERT_EQ(ierr, 0);
        TrimGrid GR;
        GR.setup(c.M);
        GR.ZL = -1.0f;
        TRIMFLAGS(GR, 1, 1, 1, ierr);
        ASSERT_EQ(ierr, 0);
        float S = 9, T = 9;
        int iside = 9;
        WLSRCH(GR, c.K, 1, 1, 1, c.DIR, c.FREF, S, T, iside, ierr);
        ASSERT_EQ(ierr, 0) << screen.str();
        // The crossing on the side lies at the closed form within 1e-5.
        // (the sides of the sampled grid lie at t = -+0.9999)
        const float expect = static_cast<float>(-0.3 * static_cast<double>(c.T) - c.c);
        if (c.M == 4) {
            EXPECT_EQ(S, 0.0f);
        }
        EXPECT_NEAR(S, expect, 1e-5) << c.K << " " << c.DIR;
        EXPECT_NEAR(T, c.T, 1e-6);
        EXPECT_EQ(iside, c.K == 4 ? 1 : -1) << c.K;
    }
    // A side without a change of flag is a failure with its message.
    fresh();
    test::reset_modules();
    run_files("", plane(1.0, 0.3, -0.8), 1, 1, 2);
    ASSERT_EQ(getip(), 0);
    IPGDF.deallocate();
    int ierr = 0;
    TRIMWLH(1, 0, ierr);
    TrimGrid GR;
    GR.setup(4);
    GR.ZL = -1.0f;
    TRIMFLAGS(GR, 1, 1, 1, ierr);
    float S, T;
    int iside;
    WLSRCH(GR, 1, 1, 1, 1, 1, -1, S, T, iside, ierr);
    EXPECT_EQ(ierr, 1);
    EXPECT_TRUE(said(" Error searching for waterline intersection, patch=1")) << screen.str();
}

// One wet corner: a crossing much nearer the corner than the other gives a
// straight cut on the rectangle shortened to the far crossing; comparable
// distances give a corner cut.  The wetted area is the triangle below the
// waterline in either case.
TEST_F(TrimHighTest, OneWetCornerStraightOrCornerCut) {
    struct Case {
        double a, b, c;
        int edge;           // expected edge code
        double tri_u, tri_v;  // legs of the wet triangle at corner 4 in (u, v)
    };
    const Case cases[] = {
        {1.0, 0.3, 0.9, 1, 0.4, 1.0 / 0.3 * 0.4},  // v of the far crossing: 1/3
        {1.0, 1.0, 1.2, -4, 0.8, 0.8},
        {0.3, 1.0, 0.9, 2, 1.0 / 0.3 * 0.4, 0.4},
    };
    for (const Case& c : cases) {
        for (int M : {3, 8}) {
            fresh();
            test::reset_modules();
            run_files("ITRIMWL=" + std::to_string(M) + "\n", plane(c.a, c.b, c.c), 1, 1, 2);
            ASSERT_EQ(getip(), 0) << screen.str();
            ASSERT_EQ(NPATCHBD, 1);
            EXPECT_EQ(ITRMIDX(1), c.edge) << c.c << " M=" << M;
            const double exact = 0.5 * c.tri_u * c.tri_v * std::sqrt(1 + c.a * c.a + c.b * c.b);
            EXPECT_NEAR(area(1) / exact, 1.0, 2e-4) << c.c << " M=" << M;
            EXPECT_LT(cut_edge_gap(), 1e-5);
        }
    }
}

// Flat patches cut by waterlines of every slant: one dry corner (two
// fans of triangles), steep lines (quartering), lines through two adjacent
// or opposite sides.  The sub-patches cover exactly the wet part of the
// patch: their areas add up to the polygon clipped below the waterline, and
// their cut edges lie on it.
TEST_F(TrimHighTest, FlatPatchWetPartCoveredExactly) {
    struct Case {
        double a, b, c;
    };
    const Case cases[] = {{1, 1, -1.2}, {1, 4, -0.5}, {0.5, 2, -0.3}, {-1, 0.7, -0.4},
                          {2, -1, -0.5}, {1, 1, 0.5}, {0.2, -1.5, -0.1}, {3, 3, -0.2}};
    for (const Case& c : cases) {
        // Wet part of the square below a u + b v + c = 0, by clipping.
        std::vector<std::array<double, 2>> poly = {{1, -1}, {1, 1}, {-1, 1}, {-1, -1}}, wet;
        for (std::size_t k = 0; k < poly.size(); ++k) {
            const auto& p = poly[k];
            const auto& q = poly[(k + 1) % poly.size()];
            const double fp = c.a * p[0] + c.b * p[1] + c.c, fq = c.a * q[0] + c.b * q[1] + c.c;
            if (fp < 0) wet.push_back(p);
            if ((fp < 0) != (fq < 0)) {
                const double t = fp / (fp - fq);
                wet.push_back({p[0] + t * (q[0] - p[0]), p[1] + t * (q[1] - p[1])});
            }
        }
        double uv = 0.0;
        for (std::size_t k = 0; k < wet.size(); ++k) {
            const auto& p = wet[k];
            const auto& q = wet[(k + 1) % wet.size()];
            uv += 0.5 * (p[0] * q[1] - q[0] * p[1]);
        }
        const double exact = std::fabs(uv) * std::sqrt(1 + c.a * c.a + c.b * c.b);
        for (int M : {2, 5, 8}) {
            fresh();
            test::reset_modules();
            run_files("ITRIMWL=" + std::to_string(M) + "\n", plane(c.a, c.b, c.c), 1, 1, 2);
            ASSERT_EQ(getip(), 0) << c.a << " " << c.b << " " << c.c << " M=" << M << screen.str();
            double sum = 0.0;
            for (int p = 1; p <= NPATCHBD; ++p) sum += area(p);
            EXPECT_NEAR(sum / exact, 1.0, 2e-4) << c.a << " " << c.b << " " << c.c << " M=" << M;
            EXPECT_LT(cut_edge_gap(), 1e-5) << c.a << " " << c.b << " " << c.c << " M=" << M;
        }
    }
}

// The box 2 x 1 x 0.8 (sides to z = 0.3, lid at z = 0.3) as it floats: the
// lid is dropped, each side is one straight cut with the dry side on top,
// and the box lifted by 0.2 keeps a wetted volume 2 x 1 x 0.3 and the
// waterplane area 2.  A box lifted clear of the water stops with a message.
TEST_F(TrimHighTest, BoxOfFlatPatchesMovedUp) {
    const std::string gdf = test::DECKED_BOX;
    for (double d : {0.0, 0.2}) {
        fresh();
        test::reset_modules();
        char cfgt[80];
        std::snprintf(cfgt, sizeof cfgt, "ITRIMWL=4\nXTRIM(1)=%g 0. 0.\n", d);
        run_files(cfgt, gdf, 6, 2, 3);
        ASSERT_EQ(hydro(), 0) << screen.str();
        ASSERT_EQ(NPATCHBD, 5);
        EXPECT_EQ(NPATCHB(1), 5);
        EXPECT_EQ(ITRMIDX(1), 0);  // bottom: whole
        double wet = area(1);
        for (int p = 2; p <= 5; ++p) {
            EXPECT_EQ(ITRMIDX(p), 4) << p;  // the vertex order puts v = -1 on top
            EXPECT_EQ(ITRIM(p), 1) << p;
            EXPECT_EQ(IPGDF(p), p);
            wet += area(p);
        }
        const double depth = 0.5 - d;
        EXPECT_NEAR(wet, 2.0 + 2 * (2 + 1) * depth, 1e-5) << d;
        EXPECT_NEAR(pnl::VOLB(1), 2.0 * depth, 1e-5) << d;
        EXPECT_NEAR(pnl::CHYD(3, 3), 2.0, 1e-5) << d;
        EXPECT_LT(cut_edge_gap(), 1e-5);
    }
    fresh();
    test::reset_modules();
    run_files("ITRIMWL=2\nXTRIM(1)=0.9 0. 0.\n", gdf, 6, 1, 2);
    EXPECT_NE(getip(), 0);
    EXPECT_EQ(NPATCHB(1), 0);
    EXPECT_TRUE(said(" Error in GDF file, body 1 (b.gdf): with the trim XTRIM = 0.9 0 0 no point of the body lies "
                     "more than 1.E-4 x ULEN below the free surface, nothing is wet; give the body a smaller rise (the "
                     "sinkage of XTRIM) or a smaller trim"))
        << screen.str();
}

// The same box lifted by its draft 0.5, or to less than 1.E-4 below it,
// keeps no point deeper than a free-surface patch lies: its bottom lies in
// the waterline plane (or within 1.E-4 of it, a free-surface patch) and its
// sides keep slivers at most.  Refused naming the file, the body and the
// trim, with ILOG=1 too (which such a bottom would otherwise ask for).
TEST_F(TrimHighTest, BoxLiftedByItsDraftIsRefused) {
    struct Case {
        const char* lift;
        const char* more;  // further configuration lines
    };
    const Case cases[] = {
        {"0.49991", ""},  // the first value past the edge
        {"0.49991", "ILOG=1\n"}, {"0.49999", ""}, {"0.5", ""}, {"0.5", "ILOG=1\n"}, {"0.500005", ""}, {"0.50001", ""},
    };
    for (const Case& c : cases) {
        for (int M : {1, 4}) {
            SCOPED_TRACE(std::string(c.lift) + " " + c.more + " M=" + std::to_string(M));
            fresh();
            test::reset_modules();
            run_files("ITRIMWL=" + std::to_string(M) + "\nXTRIM(1)=" + c.lift + " 0. 0.\n" + c.more, test::DECKED_BOX, 6,
                      2, 3);
            EXPECT_NE(getip(), 0);
            EXPECT_TRUE(said(" Error in GDF file, body 1 (b.gdf): with the trim XTRIM = " + std::string(c.lift) +
                             " 0 0 no point of the body lies more than 1.E-4 x ULEN below the free surface, nothing "
                             "is wet"))
                << screen.str();
            EXPECT_FALSE(said("ILOG=1 required")) << screen.str();
            EXPECT_FALSE(said("Patch is above the free surface")) << screen.str();
        }
    }
}

// A move that leaves an edge of the body open under water is refused before
// any trimming, naming the patch whose edge it is: the box 2 x 1 x 0.5
// without deck, its top edge at the free surface, trimmed or heeled by one
// degree (the end x = 1 goes down, or the side y = -0.5: patch 2 or 3 of
// the file is the first with its top edge under water), the hemisphere
// lifted by 0.3 and heeled 20 degrees (its rim at y = -1 sinks to 0.3 -
// sin 20 = -0.04, in sector 3).  Closed under water, and taken: the open box
// lifted 0.2 and trimmed 5 degrees (its top edge no lower than 0.2 - sin 5 =
// 0.11), the box with a deck at z = 0.3 trimmed 20 degrees (its top edge
// under water, the deck wet), the half of the open box on y >= 0 given with
// ISY = 1 (its edges on y = 0 closed by the symmetry plane, or by the
// mirror image once the heel breaks the symmetry), and a dipole plate under
// the decked box, whose free edges are those of a thin plate.
TEST_F(TrimHighTest, OpenEdgeUnderWaterIsRefused) {
    const std::string open_box =
        "Box\n1. 9.80665\n0 0\n5 0\n"
        "-1 -0.5 -0.5  -1 0.5 -0.5  1 0.5 -0.5  1 -0.5 -0.5\n"
        "-1 0.5 0  1 0.5 0  1 0.5 -0.5  -1 0.5 -0.5\n"
        "1 -0.5 0  -1 -0.5 0  -1 -0.5 -0.5  1 -0.5 -0.5\n"
        "1 0.5 0  1 -0.5 0  1 -0.5 -0.5  1 0.5 -0.5\n"
        "-1 -0.5 0  -1 0.5 0  -1 0.5 -0.5  -1 -0.5 -0.5\n";
    const std::string decked_box = test::DECKED_BOX;
    const std::string half_box =
        "Half box\n1. 9.80665\n0 1\n4 0\n"
        "-1 0 -0.5  -1 0.5 -0.5  1 0.5 -0.5  1 0 -0.5\n"
        "-1 0.5 0  1 0.5 0  1 0.5 -0.5  -1 0.5 -0.5\n"
        "1 0.5 0  1 0 0  1 0 -0.5  1 0.5 -0.5\n"
        "-1 0 0  -1 0.5 0  -1 0.5 -0.5  -1 0 -0.5\n";
    std::string plated_box = decked_box;
    plated_box.replace(plated_box.find("6 0\n"), 4,
                       "7 0\nNPATCH_DIPOLE = 1\nIPATCH_DIPOLE = 7\n");
    plated_box += "-0.5 0 -0.5  0.5 0 -0.5  0.5 0 -0.8  -0.5 0 -0.8\n";
    const std::string hemisphere = "U\n1. 9.80665\n0 0\n4 5\n1\nHEMISPHERE 1.0\n";
    const std::string why =
        ": with the trim XTRIM an open edge of the patch lies under water, where no other patch closes the wetted "
        "surface; a body whose top edge lies at the free surface cannot be trimmed: give it freeboard, or a smaller "
        "trim (the edge is under water at (";
    struct Case {
        const char* name;
        const std::string& gdf;
        int npatch;
        const char* xtrim;
        int patch;  // the patch named, 0 when taken
    };
    const Case cases[] = {
        {"open box trimmed 1 degree", open_box, 5, "0. 1. 0.", 2},
        {"open box heeled 1 degree", open_box, 5, "0. 0. 1.", 3},
        {"hemisphere lifted 0.3, heeled 20 degrees", hemisphere, 4, "0.3 0. 20.", 3},
        {"open box lifted 0.2, trimmed 5 degrees", open_box, 5, "0.2 5. 0.", 0},
        {"decked box trimmed 20 degrees", decked_box, 6, "0. 20. 0.", 0},
        {"half box lifted, trimmed", half_box, 4, "0.2 5. 0.", 0},
        {"half box lifted, heeled", half_box, 4, "0.2 0. 3.", 0},
        {"decked box with a dipole plate, trimmed", plated_box, 7, "0. 2. 0.", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fresh();
        test::reset_modules();
        run_files(std::string("ITRIMWL=2\nXTRIM(1)=") + c.xtrim + "\n", c.gdf, c.npatch, 1, 2);
        const int st = getip();
        if (c.patch == 0) {
            EXPECT_EQ(st, 0) << screen.str();
            EXPECT_FALSE(said(" an open edge")) << screen.str();
            continue;
        }
        EXPECT_NE(st, 0);
        EXPECT_TRUE(said(" Error in GDF file, body 1 (b.gdf), patch " + std::to_string(c.patch) + why))
            << screen.str();
        EXPECT_EQ(IPGDF.allocated() ? IPGDF.extent(1) : 0, 0);  // refused before the list is made
    }
}

// The exact hemisphere R = 1 lifted by 0.3 and the vertical cylinder R = 1,
// T = 0.8 lifted by 0.2, upright and heeled 10 degrees: cut edges on the
// free surface, and the wetted volume and waterplane area of the moved body
// (spherical cap of depth 0.7: V = pi h^2 (3R - h)/3, A = pi (R^2 - d^2),
// whatever the heel about the centre; cylinder: V = pi R^2 (T - d/cos),
// A = pi R^2 / cos).  The sphere lifted by 0.8 and heeled 45 degrees has a
// wet cap off its bottom pole, which the trimming quarters and cuts at
// corners.
TEST_F(TrimHighTest, ExactBodiesMovedAndHeeled) {
    struct Case {
        const char* data;
        int npatch;
        double d, heel, V, A;
        int mmin = 1;  // a coarser grid misses the wet part
    };
    const double h = 0.7, c10 = std::cos(10 * M_PI / 180);
    const Case cases[] = {
        {"HEMISPHERE 1.0", 4, 0.3, 0, M_PI * h * h * (3 - h) / 3, M_PI * (1 - 0.09)},
        {"HEMISPHERE 1.0", 4, 0.3, 10, M_PI * h * h * (3 - h) / 3, M_PI * (1 - 0.09)},
        {"CYLINDER 1.0 0.8", 8, 0.2, 0, M_PI * 0.6, M_PI},
        {"CYLINDER 1.0 0.8", 8, 0.2, 10, M_PI * (0.8 - 0.2 / c10), M_PI / c10},
        {"SPHERE 1.0 0.0", 4, 0.8, 45, M_PI * 0.04 * 2.8 / 3, M_PI * 0.36, 4},
    };
    for (const Case& c : cases) {
        std::printf("%s lift %.1f heel %.0f:", c.data, c.d, c.heel);
        for (int M : {1, 2, 4, 8, 16}) {
            if (M < c.mmin) continue;
            fresh();
            test::reset_modules();
            char cfgt[120];
            std::snprintf(cfgt, sizeof cfgt, "ITRIMWL=%d\nXTRIM(1)=%g 0. %g\n", M, c.d, c.heel);
            run_files(cfgt, "U\n1. 9.80665\n0 0\n" + std::to_string(c.npatch) + " 5\n1\n" + c.data + "\n",
                      c.npatch, 4, 4);
            ASSERT_EQ(hydro(), 0) << c.data << " M=" << M << screen.str();
            EXPECT_LT(cut_edge_gap(), 1e-5) << c.data << " M=" << M;
            EXPECT_EQ(NPATCHLIM, NPATCHBD);
            // A quarter of m subdivisions has 4/m + 1 spline intervals.
            for (int p = 1; p <= NPATCHBD; ++p) EXPECT_EQ(NU(p), ITRIMSV(p) >= 2 ? 4 / ITRIMSV(p) + 1 : 4) << p;
            const double ev = std::fabs(static_cast<double>(pnl::VOLB(1)) / c.V - 1);
            const double ea = std::fabs(static_cast<double>(pnl::CHYD(3, 3)) / c.A - 1);
            std::printf("  M=%d dV=%.1e dA=%.1e", M, ev, ea);

            if (M >= 4) {
                EXPECT_LT(ev, 1e-4) << c.data << " heel " << c.heel << " M=" << M;
                EXPECT_LT(ea, 1e-4) << c.data << " heel " << c.heel << " M=" << M;
            }
        }
        std::printf("\n");
    }
}

// On the sub-patches of the heeled sphere (quarters, straight and corner
// cuts) the tangents are the derivatives of the point, checked by central
// differences; MODE -2 gives the parent parameters at which the plain
// evaluation finds the same point.
TEST_F(TrimHighTest, CutSubPatchTangentsAndParentParameters) {
    run_files("ITRIMWL=8\nXTRIM(1)=0.8 0. 45.\n", "U\n1. 9.80665\n0 0\n4 5\n1\nSPHERE 1.0 0.0\n", 4, 2, 2);
    ASSERT_EQ(getip(), 0) << screen.str();
    int corner = 0, straight = 0;
    for (int p = 1; p <= NPATCHBD; ++p) {
        corner += ITRMIDX(p) < 0 ? 1 : 0;
        straight += ITRMIDX(p) > 0 ? 1 : 0;
        for (const auto& uv : {std::array<float, 2>{0.3f, -0.4f}, {-0.6f, 0.5f}, {0.7f, 0.7f}}) {
            float X[3], VN[3], XU[3], XV[3], AJ = 0.0f, Xa[3], Xb[3], Xc[3], Xd[3], D[3];
            int ierr = 0;
            const float h = 1.0e-3f, u = uv[0], v = uv[1];
            BODYGEOM(u, v, 1, p, X, VN, XU, XV, AJ, 1, 0, ierr);
            BODYGEOM(u + h, v, 1, p, Xa, VN, D, D, AJ, 0, 0, ierr);
            BODYGEOM(u - h, v, 1, p, Xb, VN, D, D, AJ, 0, 0, ierr);
            BODYGEOM(u, v + h, 1, p, Xc, VN, D, D, AJ, 0, 0, ierr);
            BODYGEOM(u, v - h, 1, p, Xd, VN, D, D, AJ, 0, 0, ierr);
            ASSERT_EQ(ierr, 0);
            const float su = std::hypot(XU[0], XU[1], XU[2]), sv = std::hypot(XV[0], XV[1], XV[2]);
            for (int k = 0; k < 3; ++k) {
                EXPECT_NEAR((Xa[k] - Xb[k]) / (2 * h), XU[k], 2e-3f * su) << p << " " << ITRMIDX(p) << " " << k;
                EXPECT_NEAR((Xc[k] - Xd[k]) / (2 * h), XV[k], 2e-3f * sv) << p << " " << ITRMIDX(p) << " " << k;
            }
            if (ITRMIDX(p) == 0) continue;
            float U = u, V = v, P[3];
            PATCHWL(U, V, 1, p, P, D, D, -2, 0, ierr);
            ASSERT_EQ(ierr, 0);
            PATCHEV(U, V, 1, p, P, D, D, 0, 0, ierr);
            for (int k = 0; k < 3; ++k) EXPECT_NEAR(P[k], X[k], 1e-6f) << p;
        }
    }
    EXPECT_GT(corner, 0);
    EXPECT_GT(straight, 0);
}

// The interior free-surface patches of a trimmed body (IRR = 3) follow its
// sub-patches in every trimming table, untrimmed: the .p2f file carries the
// tables over all patches (before, a trimmed hemisphere with IRR = 3 was
// solved and its .p2f file then failed to be written).
TEST_F(TrimHighTest, InteriorFreeSurfacePatchesJoinTheTrimmingTables) {
    run_files("ITRIMWL=2\nXTRIM(1)=0.3 0. 10.\nIRR(1)=3\nILOG=1\n", "U\n1. 9.80665\n0 0\n4 5\n1\nHEMISPHERE 1.0\n", 4,
              2, 2);
    ASSERT_EQ(getip(), 0) << screen.str();
    ASSERT_GT(NPATCHW, NPATCHBD);
    EXPECT_GE(ITRMIDX.extent(1), NPATCHW);
    for (const auto* t : {&TRMRNG1, &TRMRNG2, &TRMMAP1, &TRMMAP2, &TRMMAP3, &TRMMAP4}) {
        ASSERT_GE(t->extent(2), NPATCHW);
        for (int q = NPATCHBD + 1; q <= NPATCHW; ++q)
            for (int k = 1; k <= t->extent(1); ++k) EXPECT_EQ((*t)(k, q), 0.0f) << q;
    }
    for (int q = NPATCHBD + 1; q <= NPATCHW; ++q) {
        EXPECT_EQ(ITRMIDX(q), 0) << q;
        EXPECT_EQ(ITRIM(q), 0) << q;
    }
}

// A trimmed body with IRR = 1 is warned about once.
TEST_F(TrimHighTest, TrimmedBodyWithIrr1IsWarned) {
    run_files("ITRIMWL=2\nXTRIM(1)=0.3 0. 0.\nIRR(1)=1\nILOG=1\n", "U\n1. 9.80665\n0 0\n4 5\n1\nHEMISPHERE 1.0\n", 4, 1, 2);
    getip();
    const std::string out = screen.str(), w = " Warning: IRR=1 and trimmed waterline ITRIMWL=2";
    ASSERT_NE(out.find(w), std::string::npos) << out;
    EXPECT_EQ(out.find(w, out.find(w) + 1), std::string::npos) << out;
}

// The saddle z = -u v - 0.3 has its dry corners opposite: quartered, then
// the quarters classified.  With one interval per direction the visit limit
// (4 visits per patch) stops before the last quarter, with a warning; with
// four intervals every entry is visited.
TEST_F(TrimHighTest, VisitLimitIsWarned) {
    const std::string gdf = "saddle\n1. 9.80665\n0 0\n1 0\n1 -1 0.7  -1 -1 -1.3  -1 1 0.7  1 1 -1.3\n";
    for (int M : {1, 4}) {
        fresh();
        test::reset_modules();
        run_files("ITRIMWL=" + std::to_string(M) + "\n", gdf, 1, 2, 2);
        ASSERT_EQ(getip(), 0) << screen.str();
        EXPECT_EQ(said(" Warning: trimming visit limit reached, sub-patch left unclassified, NPATCH=1"), M == 1)
            << M << screen.str();
        EXPECT_EQ(ITRIM(1), 2);
        EXPECT_LT(cut_edge_gap(), 1e-5);
    }
}

// The hemisphere lifted and heeled, as higher-order patches and as flat
// panels through the low-order trimming: the low-order values approach the
// higher-order ones as the panels are refined.
TEST_F(TrimHighTest, AgreesWithLowOrderTrimming) {
    const char* cfg = "ITRIMWL=4\nXTRIM(1)=0.3 0. 10.\n";
    run_files(cfg, "U\n1. 9.80665\n0 0\n4 5\n1\nHEMISPHERE 1.0\n", 4, 4, 4);
    ASSERT_EQ(hydro(), 0) << screen.str();
    const double vh = static_cast<double>(pnl::VOLB(1)), ah = static_cast<double>(pnl::CHYD(3, 3));

    // Low order: nt x np panels with their vertices on the sphere.
    double last[2] = {1, 1};
    for (int nt : {8, 16, 32}) {
        const int np = 4 * nt;
        fresh();
        test::reset_modules();
        std::string gdf = "hemisphere panels\n1. 9.80665\n0 0\n" + std::to_string(nt * np) + "\n";
        auto pt = [&](int i, int j) {
            const double th = M_PI / 2 * i / nt, ph = 2 * M_PI * j / np;
            char s[80];
            std::snprintf(s, sizeof s, " %.9f %.9f %.9f", std::sin(th) * std::cos(ph), std::sin(th) * std::sin(ph),
                          -std::cos(th));
            return std::string(s);
        };
        for (int i = 0; i < nt; ++i)
            for (int j = 0; j < np; ++j) gdf += pt(i, j) + pt(i, j + 1) + pt(i + 1, j + 1) + pt(i + 1, j) + "\n";
        write_file("fnames.zrv", "b.cfg\nb.pot\nb.gdf\n");
        write_file("b.cfg", std::string("ILOWHI=0\n") + cfg);
        write_file("b.pot", "B\n0\n0\n0. 0. 0. 0. 0.\n0 0 0\n1 1\n1 1 1 1 1 1\n1\n5.\n1\n0.\n");
        write_file("b.gdf", gdf);
        ASSERT_EQ(hydro(), 0) << screen.str();
        const double vl = static_cast<double>(pnl::VOLB(1)), al = static_cast<double>(pnl::CHYD(3, 3));
        const double dv = std::fabs(vl / vh - 1), da = std::fabs(al / ah - 1);
        std::printf("hemisphere lift 0.3 heel 10: higher order V=%.6f A=%.6f; low order %dx%d V=%.6f A=%.6f\n", vh,
                    ah, nt, np, vl, al);
        // The panelling error falls with the square of the panel size.
        EXPECT_LT(dv, last[0] / 3) << nt;
        EXPECT_LT(da, last[1] / 3) << nt;
        last[0] = dv, last[1] = da;
    }
    EXPECT_LT(last[0], 2e-3);
    EXPECT_LT(last[1], 2e-3);
}

// The list keeps its own insertion: N new entries after POS, the last a copy
// of POS, the others with edge code 0; deletion closes the gap.
TEST_F(TrimHighTest, ListInsertAndDelete) {
    int ierr = 0;
    TRIMWLH(3, 0, ierr);
    ASSERT_EQ(ierr, 0);
    ITRMIDX(2) = -3;
    TRMRNG1(1, 2) = 0.5f;
    ITRIMSV(2) = 4;
    TRIMWLH(3, 2, ierr);
    ASSERT_EQ(IPGDF.extent(1), 6);
    const int ipg[6] = {1, 2, 2, 2, 2, 3}, edge[6] = {0, -3, 0, 0, -3, 0};
    for (int i = 1; i <= 6; ++i) {
        EXPECT_EQ(IPGDF(i), ipg[i - 1]) << i;
        EXPECT_EQ(ITRMIDX(i), edge[i - 1]) << i;
    }
    EXPECT_EQ(TRMRNG1(1, 5), 0.5f);
    EXPECT_EQ(ITRIMSV(5), 4);
    EXPECT_EQ(TRMRNG1(1, 6), 1.0f);
    TRIMWLH(-1, 1, ierr);
    EXPECT_EQ(IPGDF.extent(1), 5);
    EXPECT_EQ(TRMRNG2.extent(2), 5);
    EXPECT_EQ(ITRMIDX(1), -3);
    EXPECT_EQ(IPGDF(5), 3);
    // The no-trimming mode resizes the source numbers alone.
    IPGDF.deallocate();
    TRIMWLH(2, -1, ierr);
    TRIMWLH(4, -1, ierr);
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(IPGDF(i), i);
}

}  // namespace
}  // namespace zorva
