// Low-order output files: the _low.gdf file read back through the
// low-order geometry reader, its subdivision, and the _pan.dat plot file
// with its symmetry images.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "common/channels.hpp"
#include "geometry/lowout.hpp"
#include "geometry/model.hpp"
#include "geometry/modelin.hpp"
#include "main/config.hpp"
#include "main/fnames.hpp"
#include "tests/support/panelsets.hpp"
#include "tests/support/testdir.hpp"

namespace zorva {
namespace {

class LowOutTest : public test::TempDirTest {
protected:
    static std::vector<double> numbers(const std::string& line) {
        std::istringstream in(line);
        std::vector<double> v;
        double x;
        while (in >> x) v.push_back(x);
        return v;
    }
};

TEST_F(LowOutTest, LowGdfReadsBackAsThePanelsWritten) {
    test::Body b{test::box_panels(2, 1, 0.5, 0.25)};
    b.gdfname = "box.gdf";
    test::setup_run({b});
    model::ULEN(1) = 2.0f;  // lengths held divided by 2
    model::ULENI = 0.5f;
    model::GDFTITLE(1) = "Box for the low-order file";
    cfg::ILOWGDF = 1;
    const Arr3<float> xver = model::XVER;
    int ierr = -1;
    WRLOWPAN(ierr);
    ASSERT_EQ(ierr, 0);
    auto lines = read_lines("box_low.gdf");
    ASSERT_EQ(lines.size(), 4u + 80u);
    EXPECT_EQ(lines[0], " Box for the low-order file");
    auto ug = numbers(lines[1]);
    ASSERT_EQ(ug.size(), 2u);
    EXPECT_DOUBLE_EQ(ug[0], 2.0);
    EXPECT_NEAR(ug[1], 9.80665, 1e-6);
    EXPECT_EQ(numbers(lines[2]), (std::vector<double>{0, 0}));
    EXPECT_EQ(numbers(lines[3]), (std::vector<double>{80}));
    // Dimensional vertices in the panel's own order.
    auto v = numbers(lines[4]);
    ASSERT_EQ(v.size(), 12u);
    for (int k = 1; k <= 4; ++k)
        for (int c = 1; c <= 3; ++c)
            EXPECT_NEAR(v[static_cast<std::size_t>(3 * (k - 1) + c - 1)], 2.0 * static_cast<double>(xver(k, c, 1)), 1e-6);

    // Through the low-order reader: the same panels again.
    model::IGDEF.allocate(1);
    model::IREFLB.allocate(2, 1);
    fnames::GDFNAME(1) = "box_low.gdf";
    ierr = -1;
    RDGDFL(11, ierr);
    ASSERT_EQ(ierr, 0) << screen.str();
    ASSERT_EQ(model::NEQN, 80);
    for (int p = 1; p <= 80; ++p)
        for (int k = 1; k <= 4; ++k)
            for (int c = 1; c <= 3; ++c) EXPECT_NEAR(model::XVER(k, c, p), xver(k, c, p), 1e-6f);
}

TEST_F(LowOutTest, SubdivisionFollowsTheBilinearMap) {
    test::Body b{{test::Panel4{test::P3{1, 1, -1}, {-1, 1, -1}, {-1, -1, -1}, {1, -1, -1}}}};
    test::setup_run({b});
    cfg::ILOWGDF = 2;
    int ierr = -1;
    WRLOWPAN(ierr);
    ASSERT_EQ(ierr, 0);
    auto lines = read_lines("body_low.gdf");
    ASSERT_EQ(lines.size(), 4u + 4u);
    EXPECT_EQ(numbers(lines[3]), (std::vector<double>{4}));
    // Sub-panel over (s, t) in (0..1, -1..0): vertex 1 at the middle of side
    // 1-2, vertex 2 = vertex 2, vertex 3 the middle of side 2-3, vertex 4 the centre.
    EXPECT_EQ(numbers(lines[4]), (std::vector<double>{0, 1, -1, -1, 1, -1, -1, 0, -1, 0, 0, -1}));
}

TEST_F(LowOutTest, PanelPlotFileOfTheQuarterBox) {
    test::Body b{test::box_panels(2, 1, 0.5, 0.25, true)};
    b.xbody = {10.0f, 0.0f, 0.0f, 0.0f};
    test::setup_run({b}, 1, 1);
    cfg::IPLTDAT = 1;
    int ierr = -1;
    WRLOWPAN(ierr);
    ASSERT_EQ(ierr, 0);
    auto lines = read_lines("body_pan.dat");
    ASSERT_EQ(lines.size(), 1u + 320u + 80u);
    EXPECT_EQ(lines[0], "ZONE T=\"1\", I=   320, J=    80, F=FEPOINT");
    // Image 1 then image 2 (mirrored in x), global frame.
    char want[64];
    const float x = model::XVER(1, 1, 1), y = model::XVER(1, 2, 1), z = model::XVER(1, 3, 1);
    std::snprintf(want, sizeof want, "%12.3f%12.3f%12.3f", static_cast<double>(10 + x), static_cast<double>(y),
                  static_cast<double>(z));
    EXPECT_EQ(lines[1], want);
    std::snprintf(want, sizeof want, "%12.3f%12.3f%12.3f", static_cast<double>(10 - x), static_cast<double>(y),
                  static_cast<double>(z));
    EXPECT_EQ(lines[1 + 80], want);
    EXPECT_EQ(lines[321], "     1     2     3     4");
    EXPECT_EQ(lines[400], "   317   318   319   320");

    // A wall adds no image.
    test::setup_run({b}, -1, 0);
    cfg::IPLTDAT = 1;
    WRLOWPAN(ierr);
    EXPECT_EQ(read_lines("body_pan.dat").size(), 1u + 80u + 20u);
}

}  // namespace
}  // namespace zorva
