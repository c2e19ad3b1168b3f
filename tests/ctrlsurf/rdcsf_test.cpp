// The control-surface reader: one box described in each kind of file gives
// the same point set (area, area-weighted normal and first moment,
// waterline length), its lid gives the free-surface points, a cylinder of the user routine
// mirrored from its quarter gives its closed-form values, the index form
// keeps each kind of point together, the "_low.csf" file reads back as the
// panels written, and every reader message comes from a small broken file.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <functional>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "common/channels.hpp"
#include "ctrlsurf/ctrlsurf.hpp"
#include "geometry/model.hpp"
#include "main/config.hpp"
#include "main/fnames.hpp"
#include "main/symmetry.hpp"
#include "p2f/forcedata.hpp"
#include "tests/support/modules.hpp"
#include "tests/support/testdir.hpp"

namespace zorva {
namespace {

using P3 = std::array<double, 3>;
struct Face {
    std::array<P3, 4> v;  // vertex 1 at (u, v) = (1, -1), 2 at (-1, -1), 3 at (-1, 1), 4 at (1, 1)
};

// Corners round a face, ordered so that the bilinear map's normal points along `want`.
Face face(std::array<P3, 4> c, P3 want) {
    P3 a, b;
    for (int k = 0; k < 3; ++k) {
        a[k] = c[0][k] + c[1][k] - c[2][k] - c[3][k];
        b[k] = c[0][k] + c[3][k] - c[1][k] - c[2][k];
    }
    const P3 n = {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
    if (n[0] * want[0] + n[1] * want[1] + n[2] * want[2] < 0) std::swap(c[1], c[3]);
    return {c};
}

// Box |x| <= 2, |y| <= 1.5, -1 <= z <= 0: four walls, bottom, and the
// free surface as its lid; normals into the box.
std::vector<Face> box() {
    const double a = 2, b = 1.5, d = 1;
    return {face({P3{a, -b, 0}, P3{a, b, 0}, P3{a, b, -d}, P3{a, -b, -d}}, {-1, 0, 0}),
            face({P3{-a, -b, 0}, P3{-a, b, 0}, P3{-a, b, -d}, P3{-a, -b, -d}}, {1, 0, 0}),
            face({P3{-a, b, 0}, P3{a, b, 0}, P3{a, b, -d}, P3{-a, b, -d}}, {0, -1, 0}),
            face({P3{-a, -b, 0}, P3{a, -b, 0}, P3{a, -b, -d}, P3{-a, -b, -d}}, {0, 1, 0}),
            face({P3{-a, -b, -d}, P3{a, -b, -d}, P3{a, b, -d}, P3{-a, b, -d}}, {0, 0, 1}),
            face({P3{-a, -b, 0}, P3{a, -b, 0}, P3{a, b, 0}, P3{-a, b, 0}}, {0, 0, -1})};
}

P3 bilin(const Face& f, double u, double v) {
    P3 x;
    for (int k = 0; k < 3; ++k)
        x[k] = ((f.v[0][k] * (1 + u) + f.v[1][k] * (1 - u)) * (1 - v) + (f.v[2][k] * (1 - u) + f.v[3][k] * (1 + u)) * (1 + v)) / 4;
    return x;
}

std::string pts(std::initializer_list<P3> ps) {
    std::ostringstream o;
    o.precision(9);
    for (const P3& p : ps) o << p[0] << ' ' << p[1] << ' ' << p[2] << "  ";
    return o.str();
}

// The faces as low-order panels, n x n each.
std::string low_order(const std::vector<Face>& fs, int n) {
    std::ostringstream o;
    o << "Box as panels\n0\n0 0\n" << fs.size() * static_cast<std::size_t>(n * n) << "\n";
    for (const Face& f : fs)
        for (int j = 0; j < n; ++j)
            for (int i = 0; i < n; ++i) {
                auto g = [&](int a, int b) { return bilin(f, -1.0 + 2.0 * a / n, -1.0 + 2.0 * b / n); };
                o << pts({g(i + 1, j), g(i, j), g(i, j + 1), g(i + 1, j + 1)}) << "\n";
            }
    return o.str();
}

std::string flat(const std::vector<Face>& fs, int icdef = 0, double psz = 0.5) {
    std::ostringstream o;
    o << "Box as flat patches\n1\n0 0\n" << fs.size() << ' ' << icdef << ' ' << psz << "\n";
    for (const Face& f : fs) o << pts({f.v[0], f.v[1], f.v[2], f.v[3]}) << "\n";
    return o.str();
}

// B-spline patches reproducing the faces: order 2 over two intervals in u
// (knots from 2 to 4), order 3 over one interval in v; control points at
// the Greville points u, v = -1, 0, 1.
std::string bspline(const std::vector<Face>& fs) {
    std::ostringstream o;
    o << "Box as B-spline patches\n1\n0 0\n" << fs.size() << " 1 0.5\n";
    for (const Face& f : fs) {
        o << "2 1\n2 3\n2 2 3 4 4\n0 0 0 1 1 1\n";
        for (int j = -1; j <= 1; ++j)
            for (int i = -1; i <= 1; ++i) o << pts({bilin(f, i, j)}) << "\n";
    }
    return o.str();
}

// The faces as bilinear surfaces of a geometry-model file (box.zmd), each
// divided n x n for low-order panels: corners P00, P10, P11, P01 are the
// face's vertices 2, 3, 4, 1, so that the surface's front side faces away
// from the normal the face asks for.  With the .csf file naming it: low
// order ("0 2") or patches of panel size 0.5.
std::string kernel_model(const std::vector<Face>& fs, int n) {
    std::ostringstream o;
    o << "ZUZOVOZA MODEL 1\n";
    for (std::size_t i = 0; i < fs.size(); ++i)
        o << "QUAD f" << i + 1 << ' ' << pts({fs[i].v[1], fs[i].v[2], fs[i].v[3], fs[i].v[0]}) << "div=" << n << 'x'
          << n << "\n";
    return o.str();
}
std::string kernel(bool low) {
    return std::string("Box of the geometry kernel\n") + (low ? "0\n0 0\n0 2\n" : "1\n0 0\n0 2 0.5\n") +
           "3\nbox.zmd\nDEFAULT\n1 0 0\n";
}

// Sums over the point set: area, area-weighted normal, first moment
// (sum of w x.n), waterline length, free-surface area.
struct Sums {
    double area = 0, n[3] = {}, xn = 0, wl = 0, fs = 0;
    int nf = 0, ns = 0, nw = 0;
};
Sums sums() {
    using namespace csf;
    Sums s;
    s.nf = NCSFF(1);
    s.ns = NCSFS(1);
    s.nw = NCSFW(1);
    auto pt = [](int i, int k) { return static_cast<double>(XCSF(k, i)); };
    auto nv = [](int i, int k) { return static_cast<double>(VNCSF(k, i)); };
    for (int i = ICSFF(1) + 1; i <= ICSFF(1) + NCSFF(1); ++i) s.fs += static_cast<double>(WCSF(i));
    for (int i = ICSFW(1) + 1; i <= ICSFW(1) + NCSFW(1); ++i) s.wl += static_cast<double>(WCSF(i));
    for (int i : {0, 1}) {
        const int o = i == 0 ? ICSFF(1) : ICSFS(1), c = i == 0 ? NCSFF(1) : NCSFS(1);
        for (int p = o + 1; p <= o + c; ++p) {
            const double w = WCSF(p);
            s.area += w;
            for (int k = 0; k < 3; ++k) s.n[k] += w * nv(p, k + 1);
            s.xn += w * (pt(p, 1) * nv(p, 1) + pt(p, 2) * nv(p, 2) + pt(p, 3) * nv(p, 3));
        }
    }
    return s;
}

class CsfReader : public test::TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        test::reset_modules();
        cfg::NBODY = 1;
        cfg::XBODY.allocate(4, 1);
        fnames::GDFNAME.allocate(1);
        fnames::GDFNAME(1) = "box.gdf";
        model::IS.allocate(2, 1);
        model::CSPHIB.allocate(2, 1);
        model::CSPHIB(1, 1) = 1.0f;
        model::ULEN.allocate(1);
        model::ULEN(1) = 1.0f;
        model::ULENI = 1.0f;
        model::HBOT = -1.0f;
        frc::NBETAF = 1;
        sym::NSYMF = sym::NSYMC = 1;
        cfg::ICTRSURF = 1;
    }
    void TearDown() override {
        chan::reset();
        test::reset_modules();
        TempDirTest::TearDown();
    }
    int read(const std::string& csf) {
        write_file("box.csf", csf);
        int ierr = -1;
        RDCSF(ierr);
        return ierr;
    }
};

// The walls and bottom of the box (no lid) in every kind of file, the user
// routine's BOX among them.
TEST_F(CsfReader, OneBoxInEveryKindGivesTheSamePointSet) {
    std::vector<Face> b = box();
    b.pop_back();
    const struct {
        const char* kind;
        std::string file;
        int ns, nw;  // submerged and waterline points
    } cases[] = {
        // 4 x 4 panels a face: one point each, one waterline point per top panel.
        {"low-order panels", low_order(b, 4), 80, 16},
        // Panel size 0.5: walls 8 (or 6) x 2 sub-panels, the bottom 8 x 6,
        // nine points each; three waterline points per sub-panel along the top.
        {"flat patches", flat(b), 9 * (2 * 16 + 2 * 12 + 48), 3 * (8 + 8 + 6 + 6)},
        {"B-spline patches", bspline(b), 9 * (2 * 16 + 2 * 12 + 48), 3 * (8 + 8 + 6 + 6)},
        {"user routine", "Box of the user routine\n1\n0 0\n5 7 0.5\n1\nBOX 2.0 1.5 1.0\n", 9 * (2 * 16 + 2 * 12 + 48),
         3 * (8 + 8 + 6 + 6)},
        {"geometry-kernel panels", kernel(true), 80, 16},
        {"geometry-kernel patches", kernel(false), 9 * (2 * 16 + 2 * 12 + 48), 3 * (8 + 8 + 6 + 6)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        test::reset_modules();
        SetUp();
        write_file("box.zmd", kernel_model(b, 4));
        ASSERT_EQ(read(c.file), 0) << screen.str();
        const Sums s = sums();
        EXPECT_EQ(s.nf, 0);
        EXPECT_EQ(s.ns, c.ns);
        EXPECT_EQ(s.nw, c.nw);
        EXPECT_EQ(csf::NCSFPT, c.ns + c.nw);
        // Open at the top: area 26, net normal that of the missing lid
        // (0, 0, -12), first moment three times the volume 12.
        EXPECT_NEAR(s.area, 26.0, 1e-4);
        EXPECT_NEAR(s.n[0], 0.0, 1e-4);
        EXPECT_NEAR(s.n[1], 0.0, 1e-4);
        EXPECT_NEAR(s.n[2], -12.0, 1e-4);
        EXPECT_NEAR(s.xn, 36.0, 1e-4);
        EXPECT_NEAR(s.wl, 14.0, 1e-5);
    }
}

// The whole box, its lid on the free surface, as flat patches: the lid's
// points are free-surface points, and the closed surface has no net normal.
TEST_F(CsfReader, ClosedBoxWithItsLidOnTheFreeSurface) {
    ASSERT_EQ(read(flat(box())), 0) << screen.str();
    const Sums s = sums();
    EXPECT_EQ(s.nf, 9 * 48);
    EXPECT_NEAR(s.fs, 12.0, 1e-5);
    EXPECT_NEAR(s.area, 38.0, 1e-4);
    for (double x : s.n) EXPECT_NEAR(x, 0.0, 1e-4);
    EXPECT_NEAR(s.xn, 36.0, 1e-4);
    EXPECT_NEAR(s.wl, 14.0, 1e-5);
}

// A vertical cylinder of radius 1.5 and depth 1 (wall and bottom) from the
// user routine, given as its quarter x, y >= 0 and mirrored about both planes.
TEST_F(CsfReader, UserRoutineCylinderMirroredFromItsQuarter) {
    const double R = 1.5, T = 1.0, pi = M_PI;
    ASSERT_EQ(read("Cylinder of the user routine\n1\n1 1\n4 7 0.25\n3\nCYLINDER 1.5 1.0\nSECTORS 2\nSYMMETRY 1 1\n"),
              0)
        << screen.str();
    const Sums s = sums();
    EXPECT_EQ(s.nf, 0);
    EXPECT_EQ(s.ns % 4, 0);
    EXPECT_NEAR(s.area, 2 * pi * R * T + pi * R * R, 1e-4);
    EXPECT_NEAR(s.n[0], 0.0, 1e-5);
    EXPECT_NEAR(s.n[1], 0.0, 1e-5);
    EXPECT_NEAR(s.n[2], -pi * R * R, 1e-4);  // open at the top
    EXPECT_NEAR(s.xn, 3 * pi * R * R * T, 1e-4);
    EXPECT_NEAR(s.wl, 2 * pi * R, 1e-4);
    // The images: the point and its mirror in x, then both mirrored in y.
    const int n = s.ns / 4, o = csf::ICSFS(1);
    for (int i = 1; i <= n; ++i) {
        EXPECT_EQ(csf::XCSF(1, o + n + i), -csf::XCSF(1, o + i));
        EXPECT_EQ(csf::XCSF(2, o + 2 * n + i), -csf::XCSF(2, o + i));
        EXPECT_EQ(csf::VNCSF(2, o + 3 * n + i), -csf::VNCSF(2, o + n + i));
        EXPECT_EQ(csf::WCSF(o + 3 * n + i), csf::WCSF(o + i));
    }
}

// An index file naming two surfaces (the walls as panels, bottom and lid as
// flat patches): each kind of point stays in one block of the body, and the
// plot file holds the zones of both.
TEST_F(CsfReader, IndexFormKeepsEachKindTogether) {
    const std::vector<Face> b = box();
    write_file("walls.csf", low_order({b[0], b[1], b[2], b[3]}, 4));
    write_file("caps.csf", flat({b[4], b[5]}));
    cfg::IPLTDAT = 1;
    ASSERT_EQ(read("Two surfaces\n2\nwalls.csf\ncaps.csf\n"), 0) << screen.str();
    const Sums s = sums();
    EXPECT_EQ(s.nf, 9 * 48);
    EXPECT_EQ(s.ns, 64 + 9 * 48);
    EXPECT_EQ(s.nw, 16);
    EXPECT_EQ(csf::ICSFF(1), 0);
    EXPECT_EQ(csf::ICSFS(1), s.nf);
    EXPECT_EQ(csf::ICSFW(1), s.nf + s.ns);
    EXPECT_NEAR(s.area, 38.0, 1e-4);
    EXPECT_NEAR(s.xn, 36.0, 1e-4);
    EXPECT_NEAR(s.wl, 14.0, 1e-5);
    const std::vector<std::string> plot = read_lines("box_csf.dat");
    int zones = 0;
    for (const auto& l : plot) zones += l.rfind("zone", 0) == 0 ? 1 : 0;
    EXPECT_EQ(zones, 3);  // the panels, then the two patches
    // The panels: their 4 x 64 vertices, then the connectivity four a line.
    ASSERT_GT(plot.size(), 322u);
    EXPECT_EQ(plot[0], "zone I=   256   J=    64  F=FEPOINT");
    EXPECT_EQ(plot[1].size(), 39u);
    EXPECT_EQ(plot[257], "       1       2       3       4");
    EXPECT_EQ(plot[320], "     253     254     255     256");
    EXPECT_EQ(plot[321].rfind("zone I=", 0), 0u);
}

// A geometry-kernel surface in a run without kernel bodies: the kernel is
// set up with the three-line rgkinit.txt, then rgkinitcsf.txt names the
// .csf file, the low-order file and the body's position (dimensional) and
// repeats the .csf records, a low-order file's "0 2" line given the panel
// size the library reads; the surface is released once read.  The
// kernel's failures stop the reader with their codes.
TEST_F(CsfReader, GeometryKernelSurfaceControlFileAndFailures) {
    std::vector<Face> b = box();
    b.pop_back();
    const std::string head = "     1                              !IBODY\nbox.csf\nbox_ms2.csf\n"
                             "      1.00     -0.50     -0.20      0.00      !XBODY\nBox of the geometry kernel\n";
    const std::string tail = "3\nbox.zmd\nDEFAULT\n1 0 0\n";
    for (bool low : {true, false}) {
        SCOPED_TRACE(low);
        test::reset_modules();
        SetUp();
        model::ULEN(1) = 2.0f;
        model::ULENI = 0.5f;
        model::GRAV = 9.80665f;
        cfg::XBODY(1, 1) = 0.5f;
        cfg::XBODY(2, 1) = -0.25f;
        cfg::XBODY(3, 1) = -0.1f;
        write_file("box.zmd", kernel_model(b, 4));
        ASSERT_EQ(read(kernel(low)), 0) << screen.str();
        EXPECT_EQ(read_file("rgkinit.txt"), "     0            !ILOWHI\n     9.80665      !GRAV\n     1            !NBODY\n");
        EXPECT_EQ(read_file("rgkinitcsf.txt"),
                  head + (low ? "0\n0 0\n     0     2     0.000      !NPATCSF, ICDEF, PSZCSF\n" : "1\n0 0\n0 2 0.5\n") + tail);
        EXPECT_EQ(model::NRGKBODY, 1);
        const std::string log = read_file("rgklog.txt");
        EXPECT_NE(log.find(low ? "NPATCSF: 0  ICDEF: 2  PSZCSF: 0.000\n" : "NPATCSF: 0  ICDEF: 2  PSZCSF: 0.500\n"),
                  std::string::npos)
            << log;
        EXPECT_NE(log.find("XBODY:    1.000  -0.500  -0.200   0.000\n"), std::string::npos) << log;
        EXPECT_NE(log.find("\nExecuting RGKDONECSF at "), std::string::npos) << log;
        EXPECT_EQ(std::ifstream("box_ms2.csf").good(), low);
    }
    const std::string quad = "ZUZOVOZA MODEL 1\nQUAD f 2 -1.5 0  2 -1.5 -1  2 1.5 -1  2 1.5 0";
    // The kernel's reason is in its log: the run points to it.
    const std::string NOTE = " The reason is in rgklog.txt, the log of the geometry-model library SURFLINK\n";
    const struct {
        const char* name;
        std::string model, csf;
        std::vector<std::string> messages;
    } cases[] = {
        {"no model file", "", kernel(true),
         {" Error return from subroutine RGKINITCSF, body 1\n", "                               error code = 3\n", NOTE}},
        {"ISX without model symmetry", quad + "\n", "T\n0\n1 0\n0 2\n" + tail,
         {" Error return from subroutine RGKLOWCSF for body 1\n", "                                  error code = 5\n", NOTE}},
        {"trimmed surface", quad + " trimmed=1\n", kernel(false), {" Error calling RGKNPATCSF for body 1\n"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::reset_modules();
        SetUp();
        screen.str("");
        if (!c.model.empty()) write_file("box.zmd", c.model);
        EXPECT_EQ(read(c.csf), 1);
        for (const auto& m : c.messages) EXPECT_NE(screen.str().find(m), std::string::npos) << m << screen.str();
    }
}

// Flat patches with one low-order panel per sub-panel: the "_low.csf" file
// read back as a control-surface file gives the panels and the box again.
TEST_F(CsfReader, LowOrderFileReadsBackAsThePanels) {
    cfg::ILOWGDF = 1;
    ASSERT_EQ(read(flat(box(), 0, 1.0)), 0) << screen.str();
    const Arr3<float> written = csf::XVERC;
    ASSERT_EQ(written.extent(3), 2 * 4 + 2 * 3 + 2 * 12);
    const std::vector<std::string> low = read_lines("box_low.csf");
    ASSERT_EQ(low.size(), 4 + 4 * static_cast<std::size_t>(written.extent(3)));
    EXPECT_EQ(low[1], "         0");
    EXPECT_EQ(low[3], "        38");
    // The first panel's first vertex: the first patch at (u, v) = (-1, -1).
    const P3 v1 = bilin(box()[0], -1, -1);
    std::istringstream first(low[4]);
    for (double x : v1) {
        double r = 0;
        first >> r;
        EXPECT_DOUBLE_EQ(r, x);
    }
    EXPECT_EQ(low[4].size(), 39u);
    cfg::ILOWGDF = 0;
    ASSERT_EQ(read(read_file("box_low.csf")), 0) << screen.str();
    ASSERT_EQ(csf::XVERC.extent(3), written.extent(3));
    for (long k = 1; k <= written.extent(3); ++k)
        for (int m = 1; m <= 4; ++m)
            for (int c = 1; c <= 3; ++c) EXPECT_NEAR(csf::XVERC(m, c, k), written(m, c, k), 1e-5);
    const Sums s = sums();
    EXPECT_NEAR(s.area, 38.0, 1e-4);
    EXPECT_NEAR(s.xn, 36.0, 1e-4);
    EXPECT_NEAR(s.wl, 14.0, 1e-5);
}

}  // namespace
}  // namespace zorva

namespace zorva {
namespace {

// Every message of the reader from a small broken file: the file (or the
// files beside it), the configuration change, the message and the status.
TEST_F(CsfReader, BrokenFilesGiveTheirMessages) {
    const std::vector<Face> b = box();
    const std::string wall = pts({b[0].v[0], b[0].v[1], b[0].v[2], b[0].v[3]});
    // A wall patch that leaves the free surface horizontally (quadratic in v,
    // its first two control rows at z = 0): its waterline points would have
    // a vertical normal.
    std::string flare = "Flare\n1\n0 0\n1 1 1.0\n1 1\n2 3\n0 0 1 1\n0 0 0 1 1 1\n";
    for (const char* row : {"2 -1 0  2 1 0", "2.5 -1 0  2.5 1 0", "2.5 -1 -1  2.5 1 -1"}) {
        std::istringstream r(row);
        for (int k = 0; k < 2; ++k) {
            double x, y, z;
            r >> x >> y >> z;
            std::ostringstream o;
            o << x << ' ' << y << ' ' << z << '\n';
            flare += o.str();
        }
    }
    const struct {
        const char* name;
        std::string csf;                     // "-" for no file
        std::vector<std::pair<std::string, std::string>> more;  // other files
        std::function<void()> change;
        const char* message;
        int value;  // the number after the message (0 none)
        int ierr;
    } cases[] = {
        {"no file", "-", {}, nullptr, "WARNING: No control surface found for body: ", 1, 0},
        {"empty file", "", {}, nullptr, " Error reading header from CSF for body ", 1, 1},
        {"title only", "T\n", {}, nullptr, " Error reading ILOWHICSF in CSF for body ", 1, 1},
        {"kind not a number", "T\nx\n", {}, nullptr, " Error reading ILOWHICSF in CSF for body ", 1, 1},
        {"symmetry line", "T\n0\n1\n", {}, nullptr, " Error reading symmetry indices of CSF for body ", 1, 1},
        {"fourth line", "T\n1\n0 0\n1 0\n", {}, nullptr, " Error reading 4th line from CSF for body ", 1, 1},
        {"panel count", "T\n0\n0 0\n-1\n", {}, nullptr, " Error reading number of panels of CSF for body ", 1, 1},
        {"no panels", "T\n0\n0 0\n0 0\n", {}, nullptr, "WARNING: No control surface found for body: ", 1, 0},
        {"panel vertices", "T\n0\n0 0\n2\n" + wall + "\n1 2 3\n", {}, nullptr,
         " Error reading vertices from CSF for panel ", 2, 1},
        {"panel above the free surface", "T\n0\n0 0\n1\n2 -1 2.0E-6  2 1 0  2 1 -1  2 -1 -1\n", {}, nullptr,
         " CSF above free surface  PANEL ", 1, 1},
        {"degenerate panel", "T\n0\n0 0\n1\n2 0 0  2 0 0  2 0 0  2 0 0\n", {}, nullptr,
         " Error from subroutine PANEL for CSF, body number", 1, 1},
        {"patch record", "T\n1\n0 0\n2 0 0.5\n" + wall + "\n1 2\n", {}, nullptr, " Error reading CSF file for patch ",
         2, 1},
        {"patch above the free surface", "T\n1\n0 0\n1 0 0.5\n2 -1 0.01  2 1 0  2 1 -1  2 -1 -1\n", {}, nullptr,
         " CSF vertex above free surface for patch ", 1, 1},
        {"panel size 0", "T\n1\n0 0\n1 0 0\n" + wall + "\n", {}, nullptr,
         " Error: panel size PSZCSF is 0 in CSF for body ", 1, 1},
        {"no .csp file", "T\n1\n0 0\n1 0 -1\n" + wall + "\n", {}, nullptr, " Error -- cannot open CSP file ", 0, 1},
        {".csp short", "T\n1\n0 0\n2 0 -1\n" + wall + "\n" + wall + "\n", {{"box.csp", "Spacing\n2 2\n"}}, nullptr,
         " Total number of control surface patches =", 2, 1},
        {".csp count 0", "T\n1\n0 0\n1 0 -1\n" + wall + "\n", {{"box.csp", "Spacing\n0 2\n"}}, nullptr,
         " Error: sub-panel counts below 1 in CSP file for patch ", 1, 1},
        {"B-spline intervals", "T\n1\n0 0\n1 1 0.5\nx\n", {}, nullptr, " Error reading NU & NV from CSF for patch ", 1,
         1},
        {"B-spline without intervals", "T\n1\n0 0\n1 1 0.5\n0 1\n2 2\n", {}, nullptr,
         " Error reading NU & NV from CSF for patch ", 1, 1},
        {"B-spline orders", "T\n1\n0 0\n1 1 0.5\n1 1\nx\n", {}, nullptr, " Error reading KU & KV from CSF for patch ",
         1, 1},
        {"B-spline knots", "T\n1\n0 0\n1 1 0.5\n1 1\n2 2\n0 0 1\n", {}, nullptr,
         " Error reading knot vector from CSF for patch ", 1, 1},
        {"B-spline control points", "T\n1\n0 0\n1 1 0.5\n1 1\n2 2\n0 0 1 1\n0 0 1 1\n1 2 3\n", {}, nullptr,
         " Error reading XCOEF from CSF for patch ", 1, 1},
        {"user routine lines", "T\n1\n0 0\n4 7 0.25\nx\n", {}, nullptr, " Error GEOMXACT data lines from CSF ", 0, 1},
        {"user routine set-up", "T\n1\n0 0\n4 7 0.25\n1\nTORUS 1\n", {}, nullptr,
         " Error calling GEOMXACT in RDCSF for body ", 1, 1},
        {"free-surface normal up", "T\n1\n0 0\n1 0 0.5\n" + pts({b[5].v[0], b[5].v[3], b[5].v[2], b[5].v[1]}) + "\n",
         {}, nullptr, " Error: Free surface normal reversed in CSF, patch= ", 1, 1},
        {"horizontal at the waterline", flare, {}, nullptr,
         " Error: horizontal CSF patch side on the free surface, patch= ", 1, 1},
        {"symmetry of the body", low_order({b[0]}, 1), {}, [] { model::IS(1, 1) = 1; },
         " Symmetry in CSF file inconsistent with IS in GDF", 0, 1},
        {"below the bottom", low_order({b[0]}, 1), {}, [] { model::HBOT = 0.4f; },
         " Control surface below bottom for body ", 1, 1},
        {"wall polygon of one vertex", "T\n1\n0 0\n-1 0 0.5\n0 3\n1\n1\n5 5\n", {}, nullptr,
         " Control-surface polygon needs at least two vertices, body ", 1, 1},
        {"wall polygon cut short", "T\n1\n0 0\n-1 0 0.5\n0 3\n1\n3\n1 0\n0 1\n", {}, nullptr,
         "Error reading CSF file for boundaries of waterlines= ", 0, 1},
        {"cylinder depth missing", "T\n1\n0 0\n-1 0 0.5\n5\n", {}, nullptr,
         "Error reading CSF file for boundaries of waterlines= ", 0, 1},
        {"geometry-kernel lines", "T\n1\n0 0\n1 2 0.5\n", {}, nullptr, " Error reading .csf file, body ", 1, 1},
        {"low-order panels beyond any list", flat(b), {}, [] { cfg::ILOWGDF = 1000000; },
         " Allocation error for XVERC in RDCSF", 0, 1},
        {"plot grid beyond any list", flat(b), {}, [] { cfg::IPLTDAT = 1000000; }, " Allocation error for XPLT in RDCSF",
         0, 1},
        {"second file of an index missing", "Two\n2\nwalls.csf\nnone.csf\n", {{"walls.csf", low_order({b[0]}, 1)}},
         nullptr, "WARNING: No control surface found for body: ", 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        chan::reset();
        test::reset_modules();
        SetUp();
        screen.str("");
        chan::set_screen(&screen);
        std::remove("box.csf");
        std::remove("box.csp");
        for (const auto& [f, t] : c.more) write_file(f, t);
        if (c.change) c.change();
        int ierr = -1;
        if (c.csf == "-") {
            RDCSF(ierr);
        } else {
            ierr = read(c.csf);
        }
        EXPECT_EQ(ierr, c.ierr);
        const std::string want = c.message + (c.value != 0 ? std::to_string(c.value) : std::string());
        EXPECT_NE(screen.str().find(want), std::string::npos) << screen.str();
    }
    // The index form keeps the first surface's points when the second is missing.
    EXPECT_EQ(csf::NCSFPTB(1), 2);
}

}  // namespace
}  // namespace zorva

namespace zorva {
namespace {

// A flat patch whose vertices 3 and 4 coincide: on its collapsed side the
// map has no normal, which comes from just inside (v = 0.999999), with the
// Jacobian there scaled to the nondimensional length like any other; a
// patch collapsed to a point has none and stops.
TEST_F(CsfReader, CollapsedPatchSideTakesItsNormalFromJustInside) {
    model::ULENI = 0.5f;
    csf::ICDEF.allocate(1);
    csf::XVCSF.allocate(4, 3, 2);
    const float P[4][3] = {{0, 0, 0}, {2, 0, 0}, {1, 2, 0}, {1, 2, 0}};
    for (int k = 1; k <= 4; ++k)
        for (int c = 1; c <= 3; ++c) csf::XVCSF(k, c, 1) = P[k - 1][c - 1];
    float X[3], VN[3], XU[3], XV[3], AJ = -1;
    int ierr = -1;
    CSFGEOM(0.3f, 1.0f, 1, 1, X, VN, XU, XV, AJ, 1, ierr);
    ASSERT_EQ(ierr, 0);
    // dX/du = (P1 - P2)(1 - v)/4 and dX/dv = (0.15, 1, 0) at u = 0.3, both
    // times 0.5; the point is P3 (times 0.5).
    const double vc = static_cast<double>(0.999999f);
    EXPECT_NEAR(AJ, 0.25 * (1 - vc) / 2, 1e-3 * 0.25 * (1 - vc) / 2);
    EXPECT_FLOAT_EQ(VN[2], -1.0f);
    EXPECT_FLOAT_EQ(X[0], 0.5f);
    EXPECT_FLOAT_EQ(X[1], 1.0f);
    EXPECT_FLOAT_EQ(XU[0], 0.0f);
    // All four vertices in one point.
    for (int k = 1; k <= 4; ++k)
        for (int c = 1; c <= 3; ++c) csf::XVCSF(k, c, 2) = 1.0f;
    CSFGEOM(0.0f, 0.0f, 1, 2, X, VN, XU, XV, AJ, 1, ierr);
    EXPECT_EQ(ierr, 1);
    EXPECT_NE(screen.str().find(" Singular Jacobian in CSFGEOM, CSF for body=1"), std::string::npos) << screen.str();
}

// ICTRSURF = 2 collects no waterline points, in either form of file.
TEST_F(CsfReader, SecondFormulationHasNoWaterlinePoints) {
    cfg::ICTRSURF = 2;
    ASSERT_EQ(read(flat(box())), 0);
    EXPECT_EQ(csf::NCSFW(1), 0);
    EXPECT_GT(csf::NCSFS(1), 0);
    ASSERT_EQ(read(low_order(box(), 2)), 0);
    EXPECT_EQ(csf::NCSFW(1), 0);
    EXPECT_EQ(csf::NCSFPT, 6 * 4);
}

}  // namespace
}  // namespace zorva
