// RGKLOWGDF and RGKLOWCSF: the low-order file, read back with the
// program's free-format reader as its low-order geometry reader reads it,
// panel ranges and types in the order of the file, and the export errors.
#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "common/channels.hpp"
#include "common/freeread.hpp"
#include "tests/surflink/fixture.hpp"

namespace zorva::test {
namespace {

namespace fr = zorva::fread;

const char* const MODEL =
    "ZUZOVOZA MODEL 1\n"
    "UNITS m\n"
    "SYMMETRY 1 0\n"
    "QUAD bottom 0 -1 -1  0 1 -1  2 1 -1  2 -1 -1  div=2x2\n"
    "QUAD side   2 -1 -1  2 1 -1  2 1 0  2 -1 0  div=1x2\n"
    "QUAD skirt  0 1 -1  2 1 -1  2 1 -1.5  0 1 -1.5  color=11 div=2x1\n"
    "QUAD nomesh 0 -1 0  1 -1 0  1 1 0  0 1 0  mesh=0\n"
    "LIST Hull skirt bottom side\n"
    "LIST Bad bottom nomesh\n"
    "LIST Empty\n";

struct LowFile {
    std::string title;
    float ulen = 0, grav = 0;
    int isxy[2] = {-1, -1};
    std::vector<std::array<float, 12>> panels;  // body panels, then dipole panels
    int npan = -1, ndip = 0;
};

// Reads a low-order file the way the program's low-order reader does.
LowFile read_low(const std::string& name) {
    LowFile f;
    const int iu = 31;
    EXPECT_EQ(chan::open(iu, name, chan::Status::Old), 0) << name;
    EXPECT_EQ(fr::read_text(iu, f.title, 72), 0);
    EXPECT_EQ(fr::read_group(iu, {fr::R(f.ulen), fr::R(f.grav)}), 0);
    EXPECT_EQ(fr::read_group(iu, {fr::I(f.isxy, 2)}), 0);
    EXPECT_EQ(fr::read_group(iu, {fr::I(f.npan)}), 0);
    auto panels = [&](int n) {
        for (int k = 0; k < n; ++k) {
            std::array<float, 12> v{};
            EXPECT_EQ(fr::read_group(iu, {fr::R(v.data(), 12)}), 0);
            f.panels.push_back(v);
        }
    };
    panels(f.npan);
    if (fr::read_group(iu, {fr::I(f.ndip)}) == 0) panels(f.ndip);
    chan::close(iu);
    return f;
}

std::array<float, 3> centroid(const std::array<float, 12>& v) {
    std::array<float, 3> c{};
    for (int k = 0; k < 4; ++k)
        for (int j = 0; j < 3; ++j) c[j] += 0.25f * v[3 * k + j];
    return c;
}

class Export : public SurflinkTest {
protected:
    int load(const std::string& model, const std::string& lists, const std::string& isxy,
             const std::string& ms2 = "box_ms2.gdf") {
        RGKDONE();
        Block b;
        b.model = "m.zzm";
        b.lists = lists;
        b.isxy = isxy;
        b.ms2 = ms2;
        b.ulen_grav = "2.0 9.81";
        write_file("m.zzm", model);
        write_file("rgkinit.txt", rgk_head(0, "9.80665", 2) + rgk_block(b));
        return init();
    }
    static int lowgdf(int ib) {
        int ierr = -1;
        RGKLOWGDF(&ib, &ierr);
        return ierr;
    }
    static std::pair<int, int> npan() {
        int ib = 1, a = 0, b = 0;
        RGKNPAN(&ib, &a, &b);
        return {a, b};
    }
    static int pantype(int ipan) {
        int ib = 1, t = -1, k = -1, ierr = -1;
        RGKPANTYPE(&ib, &ipan, &t, &k, &ierr);
        EXPECT_EQ(ierr, 0) << ipan;
        return t;
    }
    // Type of the surface a panel of the export model lies on (by its
    // centroid): 2 the skirt below z = -1, else 1 (bottom, side).
    static int source_type(const std::array<float, 12>& v) { return centroid(v)[2] < -1.0f ? 2 : 1; }
};

// Planes matching the model: the panels of one half, the body's symmetry
// in the header, the dipole panels after their count; every panel's type
// from RGKPANTYPE is that of the surface it lies on.
TEST_F(Export, HalfBodyWithDipolePanels) {
    ASSERT_EQ(load(MODEL, "Hull", "1 0"), 0);
    EXPECT_EQ(npan(), std::make_pair(4 + 2, 2));
    ASSERT_EQ(lowgdf(1), 0);
    const LowFile f = read_low("box_ms2.gdf");
    EXPECT_EQ(f.title, "Box");
    EXPECT_FLOAT_EQ(f.ulen, 2.0f);
    EXPECT_FLOAT_EQ(f.grav, 9.81f);
    EXPECT_EQ(f.isxy[0], 1);
    EXPECT_EQ(f.isxy[1], 0);
    EXPECT_EQ(f.npan, 6);
    EXPECT_EQ(f.ndip, 2);
    ASSERT_EQ(f.panels.size(), 8u);
    for (int i = 1; i <= 8; ++i) EXPECT_EQ(pantype(i), source_type(f.panels[static_cast<size_t>(i - 1)])) << i;
    // bottom's first panel: the division cell at u, v in [0, 1/2]^2, its
    // vertices in the order (0,0), (1,0), (1,1), (0,1) of the cell
    const std::array<float, 12> first = {0, -1, -1, 0, 0, -1, 1, 0, -1, 1, -1, -1};
    for (int k = 0; k < 12; ++k) EXPECT_FLOAT_EQ(f.panels[0][static_cast<size_t>(k)], first[static_cast<size_t>(k)]) << k;
    int ib = 1, ip = 9, t, k, ierr;
    RGKPANTYPE(&ib, &ip, &t, &k, &ierr);
    EXPECT_EQ(ierr, 3);
}

// A symmetric model without ISX: each surface is written with its mirror
// image in a row, and the panel ranges follow that order.
TEST_F(Export, ImagesFollowTheirSurface) {
    ASSERT_EQ(load(MODEL, "Hull", "0 0"), 0);
    EXPECT_EQ(npan(), std::make_pair(2 * (4 + 2), 2 * 2));
    ASSERT_EQ(lowgdf(1), 0);
    const LowFile f = read_low("box_ms2.gdf");
    EXPECT_EQ(f.isxy[0], 0);
    ASSERT_EQ(f.panels.size(), 16u);
    for (int i = 1; i <= 16; ++i) {
        const auto& v = f.panels[static_cast<size_t>(i - 1)];
        EXPECT_EQ(pantype(i), source_type(v)) << i;
        // panels 1-4 bottom, 5-8 its image, 9-10 side, 11-12 its image, 13-14 skirt, 15-16 its image
        const bool image = (i >= 5 && i <= 8) || (i >= 11 && i <= 12) || i >= 15;
        EXPECT_EQ(centroid(v)[0] < 0.0f, image) << i;
    }
    EXPECT_NEAR(centroid(f.panels[9])[0], 2.0f, 1e-6);  // side
    EXPECT_NEAR(centroid(f.panels[10])[0], -2.0f, 1e-6);
}

// Rotational symmetry about z: the four copies of each surface are written,
// once each although the surface list holds every surface four times.
TEST_F(Export, RotationCopies) {
    ASSERT_EQ(load(cylinder_model(), "DEFAULT", "0 0"), 0);
    EXPECT_EQ(npan(), std::make_pair(4 * (2 + 1), 0));
    ASSERT_EQ(lowgdf(1), 0);
    const LowFile f = read_low("box_ms2.gdf");
    ASSERT_EQ(f.panels.size(), 12u);
    int quadrant[4] = {0, 0, 0, 0};
    for (const auto& v : f.panels) {
        const auto c = centroid(v);
        ++quadrant[(c[0] > 0 ? 0 : 1) + (c[1] > 0 ? 0 : 2)];
    }
    for (int i = 1; i <= 12; ++i) EXPECT_EQ(pantype(i), 1) << i;
    for (int q : quadrant) EXPECT_EQ(q, 3);

    // With the base a dipole surface, its four copies follow the wall's as
    // dipole panels, and their type is read at the base's first copy.
    std::string dipole_base = cylinder_model();
    dipole_base.replace(dipole_base.find("orient=1"), 8, "orient=1 color=11");
    ASSERT_EQ(load(dipole_base, "DEFAULT", "0 0"), 0);
    EXPECT_EQ(npan(), std::make_pair(4 * 2, 4 * 1));
    ASSERT_EQ(lowgdf(1), 0);
    const LowFile g = read_low("box_ms2.gdf");
    EXPECT_EQ(g.npan, 8);
    EXPECT_EQ(g.ndip, 4);
    for (int i = 1; i <= 12; ++i) EXPECT_EQ(pantype(i), i <= 8 ? 1 : 2) << i;
}

// Export errors, with their log lines; nothing is written.
TEST_F(Export, Errors) {
    const char* const SQUARE = "ZUZOVOZA MODEL 1\nQUAD a 0 0 -1  1 0 -1  1 1 -1  0 1 -1\nLIST Hull a\n";
    struct Case {
        std::string name, model, lists, isxy, ms2;
        int ib, code;
        std::vector<std::string> lines;
    };
    const std::vector<Case> cases = {
        {"body out of range", MODEL, "Hull", "1 0", "box_ms2.gdf", 3, 1, {}},
        {"no block", MODEL, "Hull", "1 0", "box_ms2.gdf", 2, 2, {}},
        {"surface without panels", MODEL, "Bad", "1 0", "box_ms2.gdf", 1, 8, {}},
        {"rotation and ISX", cylinder_model(), "DEFAULT", "1 0", "box_ms2.gdf", 1, 3,
         {"RGKLOWGDF ERROR: Rotational symmetry combined with nonzero ISX or ISY."}},
        {"planes not in the model", MODEL, "Hull", "1 1", "box_ms2.gdf", 1, 4,
         {"RGKLOWGDF ERROR: Nonzero ISX requires model X-symmetry.",
          "RGKLOWGDF ERROR: Nonzero ISY requires model Y-symmetry."}},
        {"model without symmetry", SQUARE, "Hull", "1 0", "box_ms2.gdf", 1, 5,
         {"RGKLOWGDF ERROR: If no model level symmetry, ISX and ISY must be 0."}},
        {"no such folder", MODEL, "Hull", "1 0", "nodir/box_ms2.gdf", 1, 6,
         {"RGKLOWGDF ERROR: Cannot open output file nodir/box_ms2.gdf."}},
        {"nothing to write", MODEL, "Empty", "1 0", "box_ms2.gdf", 1, 7,
         {"RGKLOWGDF ERROR: No qualifying objects for export."}},
    };
    for (const auto& c : cases) {
        std::filesystem::remove("box_ms2.gdf");
        ASSERT_EQ(load(c.model, c.lists, c.isxy, c.ms2), 0) << c.name;
        EXPECT_EQ(lowgdf(c.ib), c.code) << c.name;
        for (const auto& line : c.lines) EXPECT_TRUE(logged(line)) << c.name << ": " << line;
        EXPECT_FALSE(std::filesystem::exists("box_ms2.gdf")) << c.name;
    }
}

// The control surface's low-order file: every panel, symmetry images
// included, with the kernel's default ULEN and GRAV.
TEST_F(Export, ControlSurface) {
    ASSERT_EQ(load(MODEL, "Hull", "1 0"), 0);
    write_file("cyl.zzm", cylinder_model());
    write_file("rgkinitcsf.txt", "1\ncyl.csf\ncyl_ms2.csf\n0 0 0 0\nCS\n0\n0 0\n0 2 0.5\n3\ncyl.zzm\nDEFAULT\n1 0 0\n");
    int ierr = -1;
    RGKINITCSF(&ierr);
    ASSERT_EQ(ierr, 0);
    int ib = 0, a = 0, b = 0;
    RGKNPAN(&ib, &a, &b);
    EXPECT_EQ(a, 12);
    RGKLOWCSF(&ierr);
    ASSERT_EQ(ierr, 0);
    const LowFile f = read_low("cyl_ms2.csf");
    EXPECT_EQ(f.title, "CS");
    EXPECT_FLOAT_EQ(f.ulen, 1.0f);
    EXPECT_FLOAT_EQ(f.grav, 9.80665f);
    EXPECT_EQ(f.npan, 12);
    EXPECT_EQ(f.ndip, 0);
}

}  // namespace
}  // namespace zorva::test
