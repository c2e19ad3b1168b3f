// Symmetry components: the nine (ISX, ISY) cases with every rigid mode of
// one body solved, and the cases where components are kept or dropped.
// Expected mode groups follow from which rigid motions are symmetric about
// each plane: about x = 0 (sway, heave, roll) and (surge, pitch, yaw);
// about y = 0 (surge, heave, pitch) and (sway, roll, yaw); about both
// (heave), (surge, pitch), (yaw), (sway, roll).  Walls add images only.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "main/drivers/drivers.hpp"
#include "tests/drivers/fixture.hpp"

namespace zorva {
namespace {

using test::DriverTest;

void set_modes(const std::vector<int>& imode) {
    model::NMODT = static_cast<int>(imode.size());
    model::IMODE.allocate(model::NMODT);
    for (int m = 1; m <= model::NMODT; ++m) model::IMODE(m) = imode[static_cast<std::size_t>(m - 1)];
}

struct SymCaseT {
    int isx, isy;
    int nimage;
    std::array<int, 4> imageid;
    int nsymc;
    std::array<int, 4> isymc, nmodsc;
    std::array<int, 6> imodord;
    int nsymd;
    std::array<int, 4> nsymrhs;
};

TEST_F(DriverTest, SymmetryNineCases) {
    const SymCaseT cases[] = {
        {-1, -1, 4, {1, 2, 3, 4}, 1, {1, 0, 0, 0}, {6, 0, 0, 0}, {1, 2, 3, 4, 5, 6}, 1, {1, 0, 0, 0}},
        {-1, 0, 2, {1, 2, 0, 0}, 1, {1, 0, 0, 0}, {6, 0, 0, 0}, {1, 2, 3, 4, 5, 6}, 2, {1, 4, 0, 0}},
        {-1, 1, 4, {1, 2, 3, 4}, 2, {1, 4, 0, 0}, {3, 3, 0, 0}, {1, 3, 5, 2, 4, 6}, 1, {1, 4, 0, 0}},
        {0, -1, 2, {1, 4, 0, 0}, 1, {1, 0, 0, 0}, {6, 0, 0, 0}, {1, 2, 3, 4, 5, 6}, 2, {1, 2, 0, 0}},
        {0, 0, 1, {1, 0, 0, 0}, 1, {1, 0, 0, 0}, {6, 0, 0, 0}, {1, 2, 3, 4, 5, 6}, 4, {1, 2, 3, 4}},
        {0, 1, 2, {1, 4, 0, 0}, 2, {1, 4, 0, 0}, {3, 3, 0, 0}, {1, 3, 5, 2, 4, 6}, 2, {1, 2, 3, 4}},
        {1, -1, 4, {1, 2, 3, 4}, 2, {1, 2, 0, 0}, {3, 3, 0, 0}, {2, 3, 4, 1, 5, 6}, 1, {1, 2, 0, 0}},
        {1, 0, 2, {1, 2, 0, 0}, 2, {1, 2, 0, 0}, {3, 3, 0, 0}, {2, 3, 4, 1, 5, 6}, 2, {1, 4, 2, 3}},
        {1, 1, 4, {1, 2, 3, 4}, 4, {1, 2, 3, 4}, {1, 2, 1, 2}, {3, 1, 5, 6, 2, 4}, 1, {1, 2, 3, 4}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "ISX=" << c.isx << " ISY=" << c.isy);
        model::ISX = c.isx;
        model::ISY = c.isy;
        set_modes({1, 2, 3, 4, 5, 6});
        ALLOCPOTW(6, 1);
        EXPECT_EQ(sym::NIMAGE, c.nimage);
        EXPECT_EQ(sym::NSYMF, c.nsymc);  // all components kept here
        EXPECT_EQ(sym::NSYMC, c.nsymc);
        EXPECT_EQ(sym::NSYMD, c.nsymd);
        EXPECT_EQ(sym::NSOLC, 6);
        for (int i = 1; i <= 4; ++i) {
            auto ui = static_cast<std::size_t>(i);
            EXPECT_EQ(sym::IMAGEID[ui], c.imageid[ui - 1]) << i;
            EXPECT_EQ(sym::ISYMC[ui], c.isymc[ui - 1]) << i;
            EXPECT_EQ(sym::NMODSC[ui], c.nmodsc[ui - 1]) << i;
            EXPECT_EQ(sym::NSYMRHS[ui], c.nsymrhs[ui - 1]) << i;
        }
        int pos = 0;
        for (int j = 1; j <= sym::NSYMC; ++j)
            for (int q = 1; q <= sym::NMODSC[static_cast<std::size_t>(j)]; ++q)
                EXPECT_EQ(sym::IMODSC(q, j), c.imodord[static_cast<std::size_t>(pos++)]);
        for (int p = 1; p <= 6; ++p) {
            int m = c.imodord[static_cast<std::size_t>(p - 1)];
            EXPECT_EQ(sym::IMODORD(p), m);
            EXPECT_EQ(sym::IMODPOS(m), p);
        }
    }
}

// A component without a solved mode is kept only for the diffraction
// problem; modes not solved get no position.
TEST_F(DriverTest, SymmetryKeptComponents) {
    model::ISX = 1;
    model::ISY = 0;
    set_modes({0, 0, 3, 0, 0, 0});
    ALLOCPOTW(6, -1);
    EXPECT_EQ(sym::NSYMF, 2);
    EXPECT_EQ(sym::NSYMC, 1);
    EXPECT_EQ(sym::ISYMC[1], 1);
    EXPECT_EQ(sym::NMODSC[1], 1);
    EXPECT_EQ(sym::NSYMRHS[1], 1);
    EXPECT_EQ(sym::NSYMRHS[2], 4);
    EXPECT_EQ(sym::NSYMRHS[3], 0);
    EXPECT_EQ(sym::NSOLC, 1);
    EXPECT_EQ(sym::IMODORD(1), 3);
    EXPECT_EQ(sym::IMODPOS(3), 1);
    EXPECT_EQ(sym::IMODPOS(1), 0);

    ALLOCPOTW(6, 1);
    EXPECT_EQ(sym::NSYMC, 2);
    EXPECT_EQ(sym::ISYMC[2], 2);
    EXPECT_EQ(sym::NMODSC[1], 1);
    EXPECT_EQ(sym::NMODSC[2], 0);
    EXPECT_EQ(sym::NSYMRHS[3], 2);
    EXPECT_EQ(sym::NSYMRHS[4], 3);
    EXPECT_EQ(sym::NSOLC, 1);

    // Plane x = 0 with heave dropped and y = 0 a wall: the first component
    // (sway, heave, roll) keeps sway and roll, the second is dropped.
    model::ISY = -1;
    set_modes({0, 2, 0, 4, 0, 0});
    ALLOCPOTW(6, 0);
    EXPECT_EQ(sym::NIMAGE, 4);
    EXPECT_EQ(sym::NSYMC, 1);
    EXPECT_EQ(sym::NMODSC[1], 2);
    EXPECT_EQ(sym::NSYMRHS[1], 1);
    EXPECT_EQ(sym::NSYMRHS[2], 0);
}

// Two bodies: positions run component by component and, within one, in
// mode order; a generalized mode (class 1) goes with surge.
TEST_F(DriverTest, SymmetryTwoBodies) {
    model::ISX = 0;
    model::ISY = 0;
    set_modes({1, 2, 3, 4, 5, 6, 1, 2, 3, 4, 5, 6});
    ALLOCPOTW(12, 0);
    EXPECT_EQ(sym::NSOLC, 12);
    for (int p = 1; p <= 12; ++p) EXPECT_EQ(sym::IMODORD(p), p);

    model::ISX = 1;
    set_modes({1, 2, 3, 4, 5, 6, 1, 2, 3, 4, 5, 6, 1});
    ALLOCPOTW(13, 0);
    const int order[] = {2, 3, 4, 8, 9, 10, 1, 5, 6, 7, 11, 12, 13};
    EXPECT_EQ(sym::NSOLC, 13);
    EXPECT_EQ(sym::NMODSC[1], 6);
    EXPECT_EQ(sym::NMODSC[2], 7);
    for (int p = 1; p <= 13; ++p) EXPECT_EQ(sym::IMODORD(p), order[p - 1]) << p;
}

// The image signs and component weights against the parity of each rigid
// motion under the two reflections (x -> -x, y -> -y): surge odd in x,
// sway odd in y, heave even in both, roll odd in y, pitch odd in x, yaw odd
// in both.  A component's weight for image g is its modes' common parity
// under g's reflections, checked on every component of the table.
TEST_F(DriverTest, SymmetryImageSignsAndComponentWeights) {
    const int px[7] = {0, -1, 1, 1, 1, -1, -1}, py[7] = {0, 1, -1, 1, -1, 1, -1};
    const int sx[5] = {0, 1, -1, -1, 1}, sy[5] = {0, 1, 1, -1, -1};
    for (int g = 1; g <= 4; ++g) {
        EXPECT_EQ(sym::ISGNX(g), sx[g]) << g;
        EXPECT_EQ(sym::ISGNY(g), sy[g]) << g;
    }
    int checked = 0;
    for (int isx = -1; isx <= 1; ++isx)
        for (int isy = -1; isy <= 1; ++isy) {
            const sym::SymCase& c = sym::symcase(isx, isy);
            int d = 0;
            for (int k = 0; k < c.nsymf; ++k)
                for (int r = 0; r < c.nrig[static_cast<std::size_t>(k)]; ++r, ++d) {
                    const int m = c.mrig[static_cast<std::size_t>(d)], id = c.isymf[static_cast<std::size_t>(k)];
                    for (int g = 1; g <= 4; ++g) {
                        const int want = (sx[g] < 0 ? px[m] : 1) * (sy[g] < 0 ? py[m] : 1);
                        // Only the reflections of a symmetry plane split the modes.
                        if ((sx[g] < 0 && isx != 1) || (sy[g] < 0 && isy != 1)) continue;
                        EXPECT_EQ(sym::ISIGMA(id, g), want) << isx << isy << " mode " << m << " image " << g;
                        ++checked;
                    }
                }
        }
    EXPECT_GT(checked, 40);
}

}  // namespace
}  // namespace zorva
