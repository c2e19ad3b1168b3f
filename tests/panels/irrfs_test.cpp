// Interior free surface of the low-order method through the model input:
// the examples' boxes with IRR = 3 (rings and mesher, whole, quarter, two
// bodies), the .idf file read back, and the body waterlines as contours.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "geometry/modelmore.hpp"
#include "panels/geom.hpp"
#include "panels/irrfs.hpp"
#include "panels/paneldata.hpp"
#include "tests/geometry/modeltest.hpp"
#include "tests/support/modules.hpp"

namespace zorva::test {
namespace {

using model::NEQN;
using model::NPANB;
using model::XVER;

class IrrFsTest : public ModelTest {
protected:
    void SetUp() override {
        ModelTest::SetUp();
        reset_modules();
    }
    void TearDown() override {
        reset_modules();
        ModelTest::TearDown();
    }
    // The example with IRR = 3 and the given ISOR in its configuration (the
    // .pot file then lacks both items, and ILOG is given as IRR needs it).
    void irr3(const std::string& dir, int isor, const std::string& more = "") {
        fresh();
        reset_modules();
        copy_example(dir);
        for (const auto& e : std::filesystem::directory_iterator(".")) {
            const std::string f = e.path().filename().string();
            if (e.path().extension() == ".cfg")
                write_file(f, read_file(f) + "IRR=3\nISOR=" + std::to_string(isor) + "\nILOG=1\n" + more);
            if (e.path().extension() == ".pot") {
                std::vector<std::string> l = read_lines(f);
                std::string out = l[0] + "\n" + l[3] + "\n0 0\n";
                for (std::size_t i = 5; i < l.size(); ++i) out += l[i] + "\n";
                write_file(f, out);
            }
        }
    }
    // Signed area of panel ip in the (x, y) plane, counter-clockwise positive.
    static double area(int ip) {
        double a = 0;
        for (int k = 1; k <= 4; ++k) {
            const int n = k % 4 + 1;
            a += static_cast<double>(XVER(k, 1, ip)) * static_cast<double>(XVER(n, 2, ip)) -
                 static_cast<double>(XVER(n, 1, ip)) * static_cast<double>(XVER(k, 2, ip));
        }
        return 0.5 * a;
    }
    // Area of the interior panels of a body (panels from..to), each checked
    // to lie at z = 0 facing down (counter-clockwise from +z).
    static double lid_area(int from, int to) {
        double s = 0;
        for (int ip = from; ip <= to; ++ip) {
            EXPECT_GT(area(ip), 1e-6) << "panel " << ip;
            for (int k = 1; k <= 4; ++k) EXPECT_EQ(XVER(k, 3, ip), 0.0f) << "panel " << ip;
            s += area(ip);
        }
        return s;
    }
    // A clean state that keeps the working directory's files.
    void fresh_keep_files() {
        chan::reset();
        chan::set_keyboard(&keyboard);
        chan::set_screen(&screen);
        screen.str("");
        reset_modules();
    }
    std::vector<float> panels_copy() const {
        std::vector<float> v;
        for (int ip = 1; ip <= NEQN; ++ip)
            for (int c = 1; c <= 3; ++c)
                for (int k = 1; k <= 4; ++k) v.push_back(XVER(k, c, ip));
        return v;
    }
};

TEST_F(IrrFsTest, BoxRingsAndMesherAndTheIdfFileReadBack) {
    for (int isor : {1, 0}) {
        SCOPED_TRACE(isor);
        irr3("box", isor);
        ASSERT_EQ(getip(), 0) << screen.str();
        if (isor == 1) {
            // 24 sides, area 2 over a side of 0.25: trunc(32 / 24) = 1 inner
            // ring, so two rings of 24 panels.
            EXPECT_EQ(NEQN, 128);
        } else {
            EXPECT_GT(NEQN, 80 + 24);
        }
        EXPECT_EQ(NPANB(1), NEQN);
        EXPECT_NEAR(lid_area(81, NEQN), 2.0, 1e-5);
        EXPECT_EQ(model::ITANK.extent(1), NEQN);
        EXPECT_EQ(screen.str().find("WARNING"), std::string::npos) << screen.str();
        const std::vector<float> made = panels_copy();

        // The .idf file is a geometry file of the body with its new panels.
        ASSERT_TRUE(std::filesystem::exists("box.idf"));
        EXPECT_EQ(read_lines("box.idf")[0], " Free surface discretizaton; GDF=box.gdf             ");
        fresh_keep_files();
        write_file("box.cfg", "ILOWHI=0\nIRR=0\nISOR=" + std::to_string(isor) + "\nILOG=1\n");
        std::filesystem::copy_file("box.idf", "boxfs.gdf");
        write_file("fnames.zrv", "box.cfg\nbox.pot\nboxfs.gdf\n");
        ASSERT_EQ(getip(), 0) << screen.str();
        ASSERT_EQ(NEQN, static_cast<int>(made.size() / 12));
        EXPECT_EQ(panels_copy(), made);

        // The panel tables take the new panels as lid panels.
        int ierr = -1;
        fresh_keep_files();
        irr3("box", isor);
        ASSERT_EQ(getip(), 0);
        GEOMSTAT(NEQN, IMODFL, ierr);
        ASSERT_EQ(ierr, 0) << screen.str();
        for (int ip = 1; ip <= NEQN; ++ip) EXPECT_EQ(pnl::IPFLAG(ip), ip > 80 ? -1 : 0) << ip;
    }
}

TEST_F(IrrFsTest, HalfAndQuarterBoxesAreClosedAlongTheirPlanes) {
    // The half y >= 0 of the box (ISY = 1), cut from the example's file, and
    // the quarter example.
    struct Case {
        const char* dir;
        int nbody;
        double area;
    };
    for (const Case& c : {Case{"box", 40, 1.0}, Case{"boxquarter", 20, 0.5}}) {
        for (int isor : {1, 0}) {
            SCOPED_TRACE(std::string(c.dir) + " ISOR=" + std::to_string(isor));
            irr3(c.dir, isor);
            if (std::string(c.dir) == "box") {
                std::vector<std::string> l = read_lines("box.gdf");
                std::string out = l[0] + "\n" + l[1] + "\n0 1\n40\n";
                for (std::size_t i = 4; i < l.size(); ++i) {
                    std::istringstream v(l[i]);
                    bool half = true;
                    for (int k = 0; k < 4; ++k) {
                        double x, y, z;
                        v >> x >> y >> z;
                        half = half && y >= 0.0;
                    }
                    if (half) out += l[i] + "\n";
                }
                write_file("box.gdf", out);
            }
            ASSERT_EQ(getip(), 0) << screen.str();
            ASSERT_EQ(NPANB(1), NEQN);
            ASSERT_GT(NEQN, c.nbody);
            EXPECT_NEAR(lid_area(c.nbody + 1, NEQN), c.area, 1e-5);
            // Nothing crosses a plane.
            for (int ip = c.nbody + 1; ip <= NEQN; ++ip)
                for (int k = 1; k <= 4; ++k) {
                    if (model::ISX == 1) {
                        EXPECT_GE(XVER(k, 1, ip), 0.0f);
                    }
                    EXPECT_GE(XVER(k, 2, ip), 0.0f);
                }
        }
    }
}

TEST_F(IrrFsTest, TwoBoxesEachFollowedByItsFreeSurface) {
    for (int isor : {1, 0}) {
        SCOPED_TRACE(isor);
        // Body 2's panels 3..4 are a tank of the configuration: their class
        // must move with them.
        irr3("twoboxes", isor, "NPTANK(2) = (3 4)\n");
        const int ierr0 = getip();
        ASSERT_EQ(ierr0, 0) << screen.str();
        const int n1 = NPANB(1), n2 = NPANB(2);
        EXPECT_EQ(n1, n2);
        EXPECT_EQ(NEQN, n1 + n2);
        // Body 1, its free surface, body 2 (the same file: the same panels in
        // its own frame), its free surface.
        for (int ip = 1; ip <= 80; ++ip)
            for (int c = 1; c <= 3; ++c)
                for (int k = 1; k <= 4; ++k) ASSERT_EQ(XVER(k, c, n1 + ip), XVER(k, c, ip)) << ip;
        EXPECT_NEAR(lid_area(81, n1), 2.0, 1e-5);
        EXPECT_NEAR(lid_area(n1 + 81, NEQN), 2.0, 1e-5);
        for (int ip = 1; ip <= NEQN; ++ip) {
            const bool tank = ip == n1 + 3 || ip == n1 + 4;
            EXPECT_EQ(model::ITANK(ip) != 0, tank) << ip;
        }
    }
}

TEST_F(IrrFsTest, BodyWithoutIrr3IsLeftAlone) {
    // Body 1 of the two boxes has the interior free surface, body 2 not:
    // body 2 follows body 1's new panels unchanged, and only one file is
    // written (both bodies share box.gdf: the file is body 1's).
    irr3("twoboxes", 1, "IRR(2)=0\n");
    ASSERT_EQ(getip(), 0) << screen.str();
    EXPECT_EQ(NPANB(1), 128);
    EXPECT_EQ(NPANB(2), 80);
    EXPECT_EQ(NEQN, 208);
    for (int ip = 1; ip <= 80; ++ip)
        for (int c = 1; c <= 3; ++c)
            for (int k = 1; k <= 4; ++k) ASSERT_EQ(XVER(k, c, 128 + ip), XVER(k, c, ip)) << ip;
    EXPECT_EQ(std::stoi(read_lines("box.idf")[3]), 128);
}

// ---- Waterlines ------------------------------------------------------------

class WaterlineTest : public IrrFsTest {
protected:
    void geometry(const std::string& dir) {
        fresh();
        reset_modules();
        copy_example(dir);
        ASSERT_EQ(getip(), 0) << screen.str();
        int ierr = -1;
        GEOMSTAT(NEQN, IMODFL, ierr);
        ASSERT_EQ(ierr, 0) << screen.str();
    }
    static void expect_seg(int i, float x0, float y0, float x1, float y1) {
        EXPECT_NEAR(wl::XWLBEG(1, i), x0, 1e-6f) << i;
        EXPECT_NEAR(wl::XWLBEG(2, i), y0, 1e-6f) << i;
        EXPECT_NEAR(wl::XWLEND(1, i), x1, 1e-6f) << i;
        EXPECT_NEAR(wl::XWLEND(2, i), y1, 1e-6f) << i;
    }
};

constexpr float PI = 3.14159265f;

TEST_F(WaterlineTest, BoxIsOneClosedLoopOfFourSides) {
    geometry("box");
    int ierr = -1;
    WLINESL(1, {0, 0}, 1, ierr);
    ASSERT_EQ(ierr, 0) << screen.str();
    ASSERT_EQ(wl::NCONTWL, 1);
    ASSERT_EQ(wl::NSEGWL, 4);  // the collinear panel sides merged
    EXPECT_EQ(wl::ISYMBEG(1), 0);
    EXPECT_EQ(wl::ISYMEND(1), 0);
    EXPECT_EQ(wl::IFSTWL(1), 1);
    EXPECT_EQ(wl::ILSTWL(1), 4);
    // Clockwise from +z, as the panel sides run; the normal angle is that of
    // the right-hand normal, into the body, kept continuous.
    expect_seg(1, -1, 0.5f, 1, 0.5f);
    expect_seg(2, 1, 0.5f, 1, -0.5f);
    expect_seg(3, 1, -0.5f, -1, -0.5f);
    expect_seg(4, -1, -0.5f, -1, 0.5f);
    const float ang[4] = {-PI / 2, -PI, -1.5f * PI, -2 * PI};
    for (int i = 1; i <= 4; ++i) {
        EXPECT_NEAR(wl::ANGBEG(i), ang[i - 1], 1e-5f) << i;
        EXPECT_NEAR(wl::ANGEND(i), ang[i - 1], 1e-5f) << i;
    }
    // Corners: the mean of the two sides' angles; at the first corner, the
    // mean of the last and first, a turn back.
    EXPECT_NEAR(wl::ANGVTX(2), -0.75f * PI, 1e-5f);
    EXPECT_NEAR(wl::ANGVTX(4), -1.75f * PI, 1e-5f);
    EXPECT_NEAR(wl::ANGVTX(1), -2.25f * PI, 1e-5f);
    EXPECT_FALSE(wl::ICONTWL.allocated());  // kept for MODE 0 only
    int marked = 0;
    for (int ip = 1; ip <= NEQN; ++ip) marked += model::IBPTH(ip) == 1;
    EXPECT_EQ(marked, 24);

    // MODE 0: the 24 segments of the one contour, unmerged; the contour
    // tables of MODE 1 are not kept.
    wl::reset();
    model::IBPTH.deallocate();
    WLINESL(0, {0, 0}, 1, ierr);
    ASSERT_EQ(ierr, 0);
    ASSERT_EQ(wl::NSEGWL, 24);
    for (int i = 1; i <= 24; ++i) EXPECT_EQ(wl::ICONTWL(i), 1);
    EXPECT_FALSE(wl::XWLBEG.allocated());

    // A second call while the tables are held is refused.
    WLINESL(0, {0, 0}, 1, ierr);
    EXPECT_EQ(ierr, 1);
    EXPECT_NE(screen.str().find("Allocation error in WLINESL, waterline segments"), std::string::npos);
}

TEST_F(WaterlineTest, QuarterBoxIsOneOpenContourBetweenThePlanes) {
    geometry("boxquarter");
    int ierr = -1;
    WLINESL(1, {1, 1}, 1, ierr);
    ASSERT_EQ(ierr, 0) << screen.str();
    ASSERT_EQ(wl::NCONTWL, 1);
    ASSERT_EQ(wl::NSEGWL, 2);
    EXPECT_EQ(wl::ISYMBEG(1), 1);
    EXPECT_EQ(wl::ISYMEND(1), 2);
    expect_seg(1, 0, 0.5f, 1, 0.5f);
    expect_seg(2, 1, 0.5f, 1, 0);
    EXPECT_NEAR(wl::ANGVTX(1), -1.570796f, 1e-6f);
    EXPECT_NEAR(wl::ANGBEG(1), -PI / 2, 1e-5f);
    EXPECT_NEAR(wl::ANGBEG(2), -PI, 1e-5f);
    EXPECT_NEAR(wl::ANGVTX(2), -0.75f * PI, 1e-5f);
    EXPECT_NEAR(wl::ANGEND(2), 3.141593f, 1e-6f);
}

TEST_F(WaterlineTest, SecondOfTwoBodiesInItsOwnFrame) {
    geometry("twoboxes");
    int ierr = -1;
    WLINESL(1, {0, 0}, 2, ierr);
    ASSERT_EQ(ierr, 0) << screen.str();
    ASSERT_EQ(wl::NSEGWL, 4);
    expect_seg(1, -1, 0.5f, 1, 0.5f);
    ASSERT_EQ(model::IBPTH.extent(1), 160);
    for (int ip = 1; ip <= 160; ++ip) EXPECT_EQ(model::IBPTH(ip) != 0, ip > 80 && model::IBPTH(ip) == 2) << ip;
}

TEST_F(WaterlineTest, NoWaterlineAndWaterlinesThatDoNotClose) {
    // One submerged panel: no waterline, no error.
    fresh();
    reset_modules();
    one_body_run("", "P\n1.0 9.80665\n0 0\n1\n0 0 -1  0 1 -1  1 1 -1  1 0 -1\n");
    ASSERT_EQ(getip(), 0) << screen.str();
    int ierr = -1;
    GEOMSTAT(NEQN, IMODFL, ierr);
    ASSERT_EQ(ierr, 0) << screen.str();
    WLINESL(1, {0, 0}, 1, ierr);
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(wl::NSEGWL, 0);
    EXPECT_EQ(wl::NCONTWL, 0);

    // The box with one waterline side missing, and with one side listed
    // twice (its points then have partners that do not name them back).
    for (int mode : {1, 2}) {
        SCOPED_TRACE(mode);
        geometry("box");
        if (mode == 1)
            model::NWLPANB(1) = 23;
        else
            model::IWLPAN(2) = model::IWLPAN(1);
        screen.str("");
        WLINESL(1, {0, 0}, 1, ierr);
        EXPECT_EQ(ierr, 1);
        EXPECT_NE(screen.str().find("Error -- Waterline is not closed"), std::string::npos) << screen.str();
    }
}

}  // namespace
}  // namespace zorva::test
