// Selection of a body's surfaces: wetted and tank lists, their error codes
// and log lines, patch types, tanks and the qualification flags.
#include <gtest/gtest.h>

#include "tests/surflink/fixture.hpp"

namespace zorva::test {
namespace {

const char* const MODEL =
    "ZUZOVOZA MODEL 1\n"
    "UNITS m\n"
    "SYMMETRY 1 0\n"
    "VAR R 1 -1 2\n"
    "QUAD a    0 -1 -1  1 -1 -1  1 1 -1  0 1 -1\n"
    "QUAD b    1 -1 -1  1 -1 0   1 1 0   1 1 -1\n"
    "QUAD lid  0 -1 0   1 -1 0   1 1 0   0 1 0   color=7\n"
    "QUAD flat 0 -1 0   1 -1 0   1 1 0   0 1 0\n"
    "QUAD out  0 -1 -1  0 1 -1   0 1 0   0 -1 0  color=15\n"
    "QUAD err  0 0 -2   1 0 -2   1 1 -2  0 1 -2  error=9\n"
    "QUAD trim 0 -1 -1  1 -1 -1  1 1 -1  0 1 -1  trimmed=1\n"
    "QUAD tk1  0 0 -0.5 0.5 0 -0.5 0.5 0.5 -0.5 0 0.5 -0.5\n"
    "QUAD tk2  0 0 -0.6 0.5 0 -0.6 0.5 0.5 -0.6 0 0.5 -0.6\n"
    "QUAD tk3  0 0 -0.7 0.5 0 -0.7 0.5 0.5 -0.7 0 0.5 -0.7\n"
    "CYLINDER badcyl 0 0 $R -1 0 0 90\n"
    "LIST Hull a b\n"
    "LIST WithErr a err\n"
    "LIST Dup a b a\n"
    "LIST WithLid a lid\n"
    "LIST Flat flat\n"
    "LIST Out a out\n"
    "LIST BadCyl a badcyl\n"
    "LIST Trimmed a trim\n"
    "LIST Tanks tk1 TankGroup\n"
    "LIST TankGroup tk2 tk3\n"
    "LIST BadTanks a R\n"
    "LIST TrimTanks trim\n"
    "LIST ErrList a error=4\n";

class Select : public SurflinkTest {
protected:
    // Loads one body block on the model above; RGKINIT's code.
    int load(const std::string& lists, const std::vector<std::string>& params = {}, int npatch = 0, int irr = 0,
             const std::string& xbody = "0 0 0 0") {
        RGKDONE();
        Block b;
        b.model = "sel.zzm";
        b.lists = lists;
        b.params = params;
        b.irr = irr;
        b.isxy = "1 0";
        b.xbody = xbody;
        b.npatch_igdef = std::to_string(npatch) + " 2";
        write_file("sel.zzm", MODEL);
        write_file("rgkinit.txt", rgk_head(1, "9.80665", 1) + rgk_block(b));
        return init();
    }
    static int npatch(int ib = 1) {
        int n = 0;
        RGKNPATCH(&ib, &n);
        return n;
    }
    static std::pair<int, int> pattype(int ip) {
        int ib = 1, t = -1, k = -1, ierr = -1;
        RGKPATTYPE(&ib, &ip, &t, &k, &ierr);
        EXPECT_EQ(ierr, 0) << ip;
        return {t, k};
    }
};

// Every selection error, its code and its log line; the first code stays.
TEST_F(Select, ErrorCodes) {
    struct Case {
        std::string lists;
        std::vector<std::string> params;
        int npatch, code;
        std::vector<std::string> lines;
    };
    const std::vector<Case> cases = {
        {"Nope", {}, 0, 4, {"Entity Nope was not found in model."}},
        {"a", {}, 0, 5, {"The entity named a is not an Entity List."}},
        {"WithErr", {}, 0, 6, {"Entity List WithErr failed to evaluate."}},
        {"Hull", {}, 5, 8, {"The surface list contains only 2 entities.This is fewer than NPATCH / NROT (5)."}},
        {"BadCyl", {"R 1 -0.5"}, 0, 11, {"Failed to build table for badcyl. (error 21)"}},
        {"Hull NoTank", {}, 0, 12, {"Entity List NoTank not found in model."}},
        {"Hull a", {}, 0, 13, {"The entity named a is not an Entity List."}},
        {"Hull ErrList", {}, 0, 14, {"Entity List ErrList has error 4."}},
        {"Hull TrimTanks", {}, 0, 15, {"Entity List TrimTanks contents don't qualify for a tank list; err = 2."}},
        {"Hull BadTanks", {}, 0, 15, {"Entity List BadTanks contents don't qualify for a tank list; err = 1."}},
        {"Dup", {}, 0, 16, {"The surface list contains duplicate entities; for example, a."}},
        {"Out", {}, 0, 19, {"Surface out, classified by color as patch type 4,", "doesn't qualify for analysis."}},
        {"WithErr NoTank", {}, 0, 12, {"Entity List NoTank not found in model.", "Entity List WithErr failed to evaluate."}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(load(c.lists, c.params, c.npatch), c.code) << c.lists;
        const auto l = log();
        for (const auto& line : c.lines)
            EXPECT_NE(std::find(l.begin(), l.end(), line), l.end()) << c.lists << ": " << line;
        // The block's closing lines follow except where the block ended at once.
        EXPECT_EQ(logged("Do body surfaces qualify for higher-order analysis? N") ||
                      logged("Do body surfaces qualify for higher-order analysis? Y"),
                  c.code != 19)
            << c.lists;
    }
    // The entities in error are listed after each block.
    ASSERT_EQ(load("Hull"), 0);
    EXPECT_TRUE(logged("2 entities are in error"));
    EXPECT_TRUE(logged("M9     Quad err"));
    EXPECT_TRUE(logged("M4     EntityList ErrList"));
}

// NPATCH keeps the first surfaces; a free-surface surface counts only with
// IRR 1; tanks number the tank list's top-level entries.
TEST_F(Select, PatchesTypesAndTanks) {
    ASSERT_EQ(load("Hull", {}, 1), 0);
    EXPECT_EQ(npatch(), 1);
    ASSERT_EQ(load("WithLid", {}, 0, 0), 0);
    EXPECT_EQ(npatch(), 1);
    ASSERT_EQ(load("WithLid", {}, 0, 1), 0);
    EXPECT_EQ(npatch(), 2);
    EXPECT_EQ(pattype(2), std::make_pair(3, 0));

    ASSERT_EQ(load("Hull Tanks"), 0);  // ITKMS2 1: the tank surfaces follow the wetted ones
    EXPECT_EQ(npatch(), 5);
    int ib = 1, n = 0;
    RGKNTANK(&ib, &n);
    EXPECT_EQ(n, 2);
    EXPECT_EQ(pattype(1), std::make_pair(1, 0));
    EXPECT_EQ(pattype(3), std::make_pair(1, 1));
    EXPECT_EQ(pattype(4), std::make_pair(1, 2));
    EXPECT_EQ(pattype(5), std::make_pair(1, 2));
    int ip = 6, t = 0, k = 0, ierr = 0;
    RGKPATTYPE(&ib, &ip, &t, &k, &ierr);
    EXPECT_EQ(ierr, 3);
    ib = 2;
    RGKPATTYPE(&ib, &ip, &t, &k, &ierr);
    EXPECT_EQ(ierr, 1);
}

// A trimmed surface clears the higher-order flag: no pane map, no
// evaluation, no patch types; low-order panels still count its triangles.
TEST_F(Select, TrimmedSurface) {
    ASSERT_EQ(load("Trimmed"), 0);
    EXPECT_TRUE(logged("trim is a trimmed surface; not eligible for ZORVA higher-order analysis."));
    EXPECT_TRUE(logged("Do body surfaces qualify for making low-order panels? Y"));
    EXPECT_TRUE(logged("Do body surfaces qualify for higher-order analysis? N"));
    EXPECT_EQ(npatch(), -1);
    int ib = 1, n1 = 0, n2 = 0;
    RGKNPAN(&ib, &n1, &n2);
    EXPECT_EQ(n1, 1 + 2);
    int ip = 1, t = 0, k = 0, ierr = 0;
    RGKPATTYPE(&ib, &ip, &t, &k, &ierr);
    EXPECT_EQ(ierr, 3);
    float u = 0, v = 0, X[3], XU[3], XV[3];
    RGKEVAL(&u, &v, &ib, &ip, X, XU, XV, &ierr);
    EXPECT_EQ(ierr, 5);
    EXPECT_TRUE(logged("RGKEVAL ERROR: body index ib = 1. This body's surfaces"));
    int ix, iy, ir;
    float d;
    const float P[3] = {0, 0, 0};
    RGKX2NUV(&ib, P, &ip, &ix, &iy, &ir, &u, &v, &d, &ierr);
    EXPECT_EQ(ierr, 5);
}

// Surfaces placed by XBODY(3) against the free surface z = 0.
TEST_F(Select, PositioningWarnings) {
    ASSERT_EQ(load("WithLid", {}, 0, 1, "0 0 -0.2 0"), 0);
    EXPECT_TRUE(logged("WARNING: When positioned by XBODY, surface lid"));
    EXPECT_TRUE(logged("does not lie on the global free surface."));
    ASSERT_EQ(load("Flat"), 0);
    EXPECT_TRUE(logged("WARNING: When positioned by XBODY, surface flat"));
    EXPECT_TRUE(logged("lies on the global free surface."));
    ASSERT_EQ(load("Hull", {}, 0, 0, "0 0 0.5 0"), 0);
    EXPECT_TRUE(logged("extends   5.00e-01    above the global free surface."));
    ASSERT_EQ(load("Hull Tanks", {}, 0, 0, "0 0 0.6 0"), 0);  // tank surfaces are not checked
    EXPECT_FALSE(logged("WARNING: When positioned by XBODY, surface tk1"));
}

// A low-order control surface takes by default every entity that is
// visible, on an enabled layer and meshable; a higher-order one every
// surface.  Its named surfaces that cannot be meshed are reported.
TEST_F(Select, ControlSurfaceDefaults) {
    write_file("cs.zzm",
               "ZUZOVOZA MODEL 1\nLAYER Off off\nVAR x 1 0 2\n"
               "QUAD a      0 0 -1  1 0 -1  1 1 -1  0 1 -1  div=2x3\n"
               "QUAD hidden 0 0 -2  1 0 -2  1 1 -2  0 1 -2  visible=0\n"
               "QUAD offl   0 0 -3  1 0 -3  1 1 -3  0 1 -3  layer=Off\n"
               "QUAD nm     0 0 -4  1 0 -4  1 1 -4  0 1 -4  mesh=0\n"
               "LIST WithNm a nm\n");
    write_file("rgkinit.txt", rgk_head(0, "9.80665", 1));
    ASSERT_EQ(init(), 0);
    auto csf = [&](const std::string& ilowhi, const std::string& list) {
        write_file("rgkinitcsf.txt", "1\ncs.csf\ncs_ms2.csf\n0 0 0 0\nCS\n" + ilowhi + "\n0 0\n0 2 0.5\n3\ncs.zzm\n" +
                                         list + "\n1 0 0\n");
        int ierr = -1;
        RGKINITCSF(&ierr);
        EXPECT_EQ(ierr, 0) << ilowhi << " " << list;
    };
    int ib = 0, n1 = 0, n2 = 0, np = 0;
    csf("0", "DEFAULT");
    RGKNPAN(&ib, &n1, &n2);
    EXPECT_EQ(n1, 6);  // a alone, 2 x 3 panels
    RGKNPATCSF(&np);
    EXPECT_EQ(np, 1);
    csf("1", "DEFAULT");
    RGKNPATCSF(&np);
    EXPECT_EQ(np, 4);
    RGKNPAN(&ib, &n1, &n2);
    EXPECT_EQ(n1, -1);  // nm cannot be meshed
    EXPECT_FALSE(logged("nm doesn't qualify for low-order panels."));
    csf("0", "WithNm");
    EXPECT_TRUE(logged("nm doesn't qualify for low-order panels."));
}

}  // namespace
}  // namespace zorva::test
