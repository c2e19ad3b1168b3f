// Waterline trimming of low-order panels: single panels with 0 to 4 dry
// corners, triangles, twisted panels with opposite dry corners, pitched
// panels with a corner on the waterline, and a closed box sunk and
// pitched, against areas and volumes clipped independently in double
// precision; bodies that the trim leaves open under water.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <vector>

#include "common/channels.hpp"
#include "geometry/model.hpp"
#include "geometry/modelin.hpp"
#include "geometry/trimlow.hpp"
#include "main/config.hpp"
#include "tests/support/panelsets.hpp"

namespace zorva {
namespace {

using test::P3;
using test::Panel4;

P3 sub(const P3& a, const P3& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
P3 cross(const P3& a, const P3& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

// Vector area of a polygon (right-hand rule), by a fan from its first vertex.
P3 vector_area(const std::vector<P3>& p) {
    P3 s{0, 0, 0};
    for (std::size_t k = 1; k + 1 < p.size(); ++k) {
        P3 c = cross(sub(p[k], p[0]), sub(p[k + 1], p[0]));
        for (int d = 0; d < 3; ++d) s[static_cast<std::size_t>(d)] += 0.5 * c[static_cast<std::size_t>(d)];
    }
    return s;
}

// The part of a polygon below z = zl (Sutherland-Hodgman).
std::vector<P3> clip_below(const std::vector<P3>& p, double zl) {
    std::vector<P3> out;
    for (std::size_t k = 0; k < p.size(); ++k) {
        const P3& a = p[k];
        const P3& b = p[(k + 1) % p.size()];
        const bool ia = a[2] < zl, ib = b[2] < zl;
        if (ia) out.push_back(a);
        if (ia != ib) {
            const double t = (zl - a[2]) / (b[2] - a[2]);
            out.push_back({a[0] + t * (b[0] - a[0]), a[1] + t * (b[1] - a[1]), zl});
        }
    }
    return out;
}

std::vector<P3> panel_poly(int p) {
    std::vector<P3> v;
    for (int k = 1; k <= 4; ++k)
        v.push_back({model::XVER(k, 1, p), model::XVER(k, 2, p), model::XVER(k, 3, p)});
    return v;
}

double norm(const P3& a) { return std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]); }

class TrimTest : public ::testing::Test {
protected:
    void SetUp() override {
        chan::reset();
        chan::set_screen(&screen);
    }
    void TearDown() override { chan::reset(); }

    // Loads the panels as body 1 with the given trim (sinkage, pitch, roll
    // in degrees) and runs TRIMGDF at level zl.
    int trim(const std::vector<Panel4>& panels, float zl, std::array<float, 3> xtrim = {0, 0, 0},
             std::vector<int> idip = {}, std::vector<int> itank = {}) {
        test::setup_run({test::Body{panels}});
        model::TRIMCS.allocate(4, 1);
        cfg::XTRIM.allocate(3, 1);
        cfg::XTRIM(1, 1) = xtrim[0];
        cfg::XTRIM(2, 1) = xtrim[1];
        cfg::XTRIM(3, 1) = xtrim[2];
        const float a = xtrim[1] * 0.017453292f, b = xtrim[2] * 0.017453292f;
        model::TRIMCS(1, 1) = std::cos(a);
        model::TRIMCS(2, 1) = std::sin(a);
        model::TRIMCS(3, 1) = std::cos(b);
        model::TRIMCS(4, 1) = std::sin(b);
        for (std::size_t i = 0; i < idip.size(); ++i) {
            model::IDIPWM(static_cast<int>(i) + 1) = idip[i];
            model::NPAND(1) += idip[i] == 1 ? 1 : 0;
        }
        for (std::size_t i = 0; i < itank.size(); ++i) model::ITANK(static_cast<int>(i) + 1) = itank[i];
        int npan = model::NPANB(1), ierr = 0;
        TRIMGDF(1, npan, zl, 1, ierr);
        EXPECT_EQ(ierr, 0);
        EXPECT_EQ(model::XVER.extent(3), npan);
        EXPECT_EQ(model::ITANK.extent(1), npan);
        EXPECT_EQ(model::IDIPWM.extent(1), npan);
        return npan;
    }
    void expect_wet(int npan, float zl) {
        for (int p = 1; p <= npan; ++p)
            for (int k = 1; k <= 4; ++k) {
                EXPECT_TRUE(std::isfinite(model::XVER(k, 3, p)));
                EXPECT_LE(model::XVER(k, 3, p), zl + 1e-6f) << "panel " << p << " vertex " << k;
            }
    }
    std::ostringstream screen;
};

// Panels in the plane y = 0 (normal along -y for this vertex order).
Panel4 xz(double x1, double z1, double x2, double z2, double x3, double z3, double x4, double z4) {
    return {P3{x1, 0, z1}, P3{x2, 0, z2}, P3{x3, 0, z3}, P3{x4, 0, z4}};
}

TEST_F(TrimTest, SinglePanelsAgainstClippedAreas) {
    const Panel4 diamond = xz(0, 1, -1, 0, 0, -1, 1, 0);
    const Panel4 square = xz(1, 1, -1, 1, -1, -1, 1, -1);
    auto rot = [](Panel4 q, int r) {
        Panel4 o;
        for (int k = 0; k < 4; ++k) o[static_cast<std::size_t>(k)] = q[static_cast<std::size_t>((k + r) % 4)];
        return o;
    };
    const Panel4 tri = xz(-1, -1, 1, -1, 0, 1, 0, 1);  // third vertex repeated
    struct Case {
        const char* what;
        Panel4 q;
        float zl;
        int npan;  // panels left
    };
    const Case cases[] = {
        {"no dry corner", diamond, 1.5f, 1},
        {"one dry corner: split", diamond, 0.5f, 2},
        {"one dry corner, neighbours on the level", diamond, 1.0e-6f, 1},
        {"three dry corners: triangle", diamond, -0.5f, 1},
        {"four dry corners: removed", diamond, -1.5f, 0},
        {"dry 1 and 2", square, 0.0f, 1},
        {"dry 2 and 3", rot(square, 3), 0.0f, 1},
        {"dry 3 and 4", rot(square, 2), 0.0f, 1},
        {"dry 4 and 1", rot(square, 1), 0.0f, 1},
        {"one dry corner at vertex 2: split", rot(diamond, 3), 0.5f, 2},
        {"triangle, apex dry", tri, 0.0f, 1},
        {"triangle, one base corner dry", xz(-1, 1, 1, -1, 0, -1, 0, -1), 0.0f, 1},
        {"triangle, base corner before the repeat dry", xz(0, -1, -1, 1, 1, -1, 1, -1), 0.0f, 1},
        {"triangle, two corners dry", xz(-1, 1, 1, 1, 0, -1, 0, -1), 0.0f, 1},
        {"strip less than 2.E-6 deep: removed", square, -0.999999f, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<P3> orig(c.q.begin(), c.q.end());
        const P3 n0 = vector_area(orig);
        const int npan = trim({c.q}, c.zl);
        EXPECT_EQ(npan, c.npan);
        expect_wet(npan, c.zl);
        P3 sum{0, 0, 0};
        for (int p = 1; p <= npan; ++p) {
            P3 s = vector_area(panel_poly(p));
            EXPECT_GT(s[0] * n0[0] + s[1] * n0[1] + s[2] * n0[2], 0.0) << "orientation kept, panel " << p;
            for (int d = 0; d < 3; ++d) sum[static_cast<std::size_t>(d)] += s[static_cast<std::size_t>(d)];
        }
        EXPECT_NEAR(norm(sum), norm(vector_area(clip_below(orig, c.zl))), 5e-6);
    }
    EXPECT_EQ(screen.str(), "");
}

TEST_F(TrimTest, SplitOrderDipolesAndTanks) {
    // Panel 2 of three loses one corner: a triangle then a quadrilateral at
    // its place, the third panel moves up by one; a dipole adds to NPAND.
    const Panel4 deep = xz(1, -2, -1, -2, -1, -3, 1, -3), diamond = xz(0, 1, -1, 0, 0, -1, 1, 0);
    int npan = trim({deep, diamond, deep}, 0.5f, {0, 0, 0}, {0, 1, 0});
    ASSERT_EQ(npan, 4);
    EXPECT_EQ(model::NPAND(1), 2);
    EXPECT_EQ(model::IDIPWM(2), 1);
    EXPECT_EQ(model::IDIPWM(3), 1);
    auto is_tri = [](int p) {
        auto v = panel_poly(p);
        for (int k = 0; k < 4; ++k)
            if (norm(sub(v[static_cast<std::size_t>(k)], v[static_cast<std::size_t>((k + 1) % 4)])) < 1e-9) return true;
        return false;
    };
    EXPECT_TRUE(is_tri(2));
    EXPECT_FALSE(is_tri(3));
    EXPECT_FLOAT_EQ(model::XVER(1, 3, 4), -2.0f);

    // A tank panel without its own level is moved but not cut.
    npan = trim({diamond}, 0.5f, {-0.25f, 0, 0}, {}, {1});
    ASSERT_EQ(npan, 1);
    EXPECT_FLOAT_EQ(model::XVER(1, 3, 1), 0.75f);
}

TEST_F(TrimTest, OppositeDryCornersLeaveNoDryVertex) {
    // Twisted panels whose corners 1 and 3 (or 2 and 4) lie above the level.
    const Panel4 twisted13 = {P3{1, 1, 0.5}, P3{-1, 1, -0.5}, P3{-1, -1, 0.5}, P3{1, -1, -0.5}};
    const Panel4 twisted24 = {P3{1, 1, -0.5}, P3{-1, 1, 0.5}, P3{-1, -1, -0.5}, P3{1, -1, 0.5}};
    for (const Panel4& q : {twisted13, twisted24}) {
        const int npan = trim({q}, 0.0f);
        EXPECT_EQ(npan, 2);
        expect_wet(npan, 0.0f);
        for (int p = 1; p <= npan; ++p) EXPECT_GT(norm(vector_area(panel_poly(p))), 0.1);
    }
}

TEST_F(TrimTest, CornerOnTheWaterlineLeavesOneWaterlineSegment) {
    // Side panels of a box whose top corner at x = 0 lies on the waterline,
    // pitched: the wet part keeps that corner and gains one crossing on the
    // lower edge, and the waterline segments find one segment.  A crossing
    // cut a hair (the level's 1.E-6) away from the corner would add a third
    // vertex on the free surface.
    const Panel4 side = xz(0, 0, -0.25, 0, -0.25, -0.25, 0, -0.25);
    const Panel4 back = xz(0, 0, 0, -0.25, -0.25, -0.25, -0.25, 0);
    for (float pitch : {30.0f, 60.0f, 80.0f, 89.0f}) {
        for (const Panel4& q : {side, back}) {
            SCOPED_TRACE(pitch);
            const float zl = 1.0e-6f;
            const int npan = trim({q}, zl, {0, pitch, 0});
            ASSERT_EQ(npan, 1);
            expect_wet(npan, zl);
            // Wet part: the pitched panel clipped at z = 0.
            const double th = static_cast<double>(pitch) * 0.017453292;
            std::vector<P3> turned;
            for (const P3& v : q) turned.push_back({std::cos(th) * v[0] + std::sin(th) * v[2], v[1],
                                                    -std::sin(th) * v[0] + std::cos(th) * v[2]});
            EXPECT_NEAR(norm(vector_area(panel_poly(1))), norm(vector_area(clip_below(turned, 0.0))), 1e-5);
            model::NPANB(1) = npan;
            int ierr = 0;
            WLSEGS(1, 1, 1, ierr);
            EXPECT_EQ(ierr, 0) << screen.str();
            EXPECT_EQ(model::NWLPANB(1), 1);
        }
    }
}

TEST_F(TrimTest, ClosedBoxSunkPitchedAndRolled) {
    // Box 2 x 1 from z = -0.5 to 0.25, closed on top.
    test::PanelSet box = test::box_panels(2, 1, 0.75, 0.25);
    for (auto& q : box)
        for (auto& v : q) v[2] += 0.25;
    for (const auto& q : test::box_panels(2, 1, 0.5, 0.25)) {
        if (q[0][2] != -0.5 || q[2][2] != -0.5) continue;  // its bottom panels, reversed as the lid
        Panel4 t = q;
        for (auto& v : t) v[2] = 0.25;
        std::swap(t[1], t[3]);
        box.push_back(t);
    }
    const float zl = 1.0e-6f;
    struct Case {
        float sink, pitch, roll;
    };
    for (Case c : {Case{-0.05f, 5.0f, 0.0f}, Case{0.1f, -8.0f, 0.0f}, Case{-0.05f, 5.0f, 3.0f}}) {
        const int npan = trim(box, zl, {c.sink, c.pitch, c.roll});
        expect_wet(npan, zl);
        if (c.roll != 0.0f) continue;
        // Submerged volume: the pitched rectangle section below z = 0 times the beam.
        const double th = static_cast<double>(c.pitch) * 0.017453292, ct = std::cos(th), st = std::sin(th);
        std::vector<P3> sec;
        for (auto [x, z] : {std::pair{1.0, 0.25}, {-1.0, 0.25}, {-1.0, -0.5}, {1.0, -0.5}})
            sec.push_back({ct * x + st * z, 0.0, -st * x + ct * z + static_cast<double>(c.sink)});
        const double vexact = norm(vector_area(clip_below(sec, 0.0)));
        // Volume from the trimmed panels: the integral of z n_z over the wet
        // surface (outward normal); the waterplane adds nothing.
        double v = 0;
        for (int p = 1; p <= npan; ++p) {
            auto q = panel_poly(p);
            for (int k = 1; k <= 2; ++k) {
                P3 s = cross(sub(q[static_cast<std::size_t>(k)], q[0]), sub(q[static_cast<std::size_t>(k + 1)], q[0]));
                v += 0.5 * s[2] * (q[0][2] + q[static_cast<std::size_t>(k)][2] + q[static_cast<std::size_t>(k + 1)][2]) / 3;
            }
        }
        EXPECT_NEAR(v, vexact, 2e-5) << c.pitch;
    }
}

// Box 2 x 1 from z = -0.5 to ztop, sides of panels 0.25, closed on top
// when deck; quarter: x >= 0, y >= 0 only (deck included).
test::PanelSet topped_box(double ztop, bool deck, bool quarter = false) {
    test::PanelSet box = test::box_panels(2, 1, 0.5 + ztop, 0.25, quarter);
    for (auto& q : box)
        for (auto& v : q) v[2] += ztop;
    if (!deck) return box;
    for (const auto& q : test::box_panels(2, 1, 0.5, 0.25, quarter)) {
        if (q[0][2] != -0.5 || q[2][2] != -0.5) continue;  // its bottom panels, reversed as the deck
        Panel4 t = q;
        for (auto& v : t) v[2] = ztop;
        std::swap(t[1], t[3]);
        box.push_back(t);
    }
    return box;
}

// Unit cube centred at (0, 0, -1), one panel a face, but the face x = 0.5
// split into 2 x 2 panels against its 1 x 1 neighbours; drop: that many of
// the four left out (the first, at y < 0, z < -1: the next, panel 6, then
// has an open edge at y = 0).
test::PanelSet split_cube(int drop) {
    const double a = 0.5, zc = -1.0;
    auto v = [&](double x, double y, double z) { return P3{x, y, zc + z}; };
    test::PanelSet s = {
        {v(-a, -a, -a), v(-a, a, -a), v(a, a, -a), v(a, -a, -a)},  // bottom
        {v(-a, -a, a), v(a, -a, a), v(a, a, a), v(-a, a, a)},      // top
        {v(-a, -a, -a), v(-a, -a, a), v(-a, a, a), v(-a, a, -a)},  // x = -a
        {v(-a, -a, -a), v(a, -a, -a), v(a, -a, a), v(-a, -a, a)},  // y = -a
        {v(-a, a, -a), v(-a, a, a), v(a, a, a), v(a, a, -a)},      // y = a
    };
    for (int j = 0; j < 2; ++j)
        for (int i = 0; i < 2; ++i) {
            if (2 * j + i < drop) continue;
            const double y0 = -a + a * i, z0 = -a + a * j;
            s.push_back({v(a, y0, z0), v(a, y0 + a, z0), v(a, y0 + a, z0 + a), v(a, y0, z0 + a)});
        }
    return s;
}

// Bodies that the trim would leave open under water are refused before
// they are cut, naming the file, the panel and its edge; closed bodies,
// edges in a plane of symmetry, at or above the waterline, at a T-junction
// of a mesh that does not conform, or of dipole and tank panels are not.
TEST_F(TrimTest, OpenEdgesUnderWater) {
    struct Case {
        const char* name;
        test::PanelSet panels;
        std::array<float, 3> xtrim;
        std::array<int, 2> isxy;
        const char* message;  // nullptr: not refused
        std::vector<int> idip = {}, itank = {};
    };
    const test::PanelSet lidless = test::box_panels(2, 1, 0.5, 0.25);
    // A plate below the decked box (a dipole panel) and a lidless tank
    // inside it, both with edges under water.
    test::PanelSet fitted = topped_box(0.25, true);
    const std::size_t nbox = fitted.size();
    fitted.push_back(xz(0.5, -0.6, -0.5, -0.6, -0.5, -0.9, 0.5, -0.9));
    for (const auto& q : test::box_panels(0.5, 0.5, 0.3, 0.25)) fitted.push_back(q);
    std::vector<int> fdip(fitted.size(), 0), ftank(fitted.size(), 0);
    fdip[nbox] = 1;
    for (std::size_t i = nbox + 1; i < fitted.size(); ++i) ftank[i] = 1;
    // The lidless box sunk 0.01: the first panel with an edge on the rim is
    // the fifth of the side x = 1 (after the 32 of the bottom), the first of
    // its upper row; its top edge runs from y = -0.25 to -0.5.
    const char* sunk =
        " Error in GDF file body.gdf, body 1: panel 37 has an open edge, from (1, -0.25, 0) to (1, -0.5, 0), that no "
        "other panel shares, and waterline trimming (XTRIM = -0.01 0 0) puts it 0.01 below the free surface: the "
        "body is open under water. A body to be trimmed needs freeboard (its panels must reach above the waterline "
        "it will have: a deck, or sides high enough), or a smaller trim or sinkage\n";
    const Case cases[] = {
        {"lidless box, not trimmed", lidless, {0, 0, 0}, {0, 0}, nullptr},
        {"lidless box lifted", lidless, {0.1f, 0, 0}, {0, 0}, nullptr},
        {"lidless box sunk", lidless, {-0.01f, 0, 0}, {0, 0}, sunk},
        {"lidless box pitched 1 degree", lidless, {0, 1, 0}, {0, 0}, "has an open edge"},
        {"lidless quarter box rolled: its image about y = 0 dips", topped_box(0, false, true), {0, 0, 3}, {1, 1},
         "the mirror image about y = 0 of panel "},
        {"box with freeboard, no deck", topped_box(0.25, false), {-0.05f, 5, 3}, {0, 0}, nullptr},
        {"decked box", topped_box(0.25, true), {0.1f, -8, 0}, {0, 0}, nullptr},
        {"decked quarter box, symmetric", topped_box(0.25, true, true), {-0.05f, 4, 3}, {1, 1}, nullptr},
        {"decked quarter box, not symmetric", topped_box(0.25, true, true), {-0.05f, 4, 3}, {0, 0},
         "has an open edge"},
        {"hemisphere, triangles at the pole", test::hemisphere_panels(1, 16, 6), {0, 0, 0}, {0, 0}, nullptr},
        {"hemisphere rolled", test::hemisphere_panels(1, 16, 6), {0, 0, 2}, {0, 0}, "has an open edge"},
        {"cube with a face split 2 x 2, submerged", split_cube(0), {0, 5, 3}, {0, 0}, nullptr},
        {"that cube with a quarter of the face missing", split_cube(1), {0, 0, 0}, {0, 0},
         "panel 6 has an open edge, from (0.5, 0, -1) to (0.5, 0, -1.5)"},
        {"decked box with a dipole plate and a lidless tank", fitted, {0, 4, 0}, {0, 0}, nullptr, fdip, ftank},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        screen.str("");
        test::setup_run({test::Body{c.panels}}, c.isxy[0], c.isxy[1]);
        model::TRIMCS.allocate(4, 1);
        cfg::XTRIM.allocate(3, 1);
        for (int k = 1; k <= 3; ++k) cfg::XTRIM(k, 1) = c.xtrim[static_cast<std::size_t>(k - 1)];
        const float a = c.xtrim[1] * 0.017453292f, b = c.xtrim[2] * 0.017453292f;
        model::TRIMCS(1, 1) = std::cos(a);
        model::TRIMCS(2, 1) = std::sin(a);
        model::TRIMCS(3, 1) = std::cos(b);
        model::TRIMCS(4, 1) = std::sin(b);
        for (std::size_t i = 0; i < c.idip.size(); ++i) model::IDIPWM(static_cast<int>(i) + 1) = c.idip[i];
        for (std::size_t i = 0; i < c.itank.size(); ++i) model::ITANK(static_cast<int>(i) + 1) = c.itank[i];
        int ierr = -1;
        OPENEDGE(1, model::NPANB(1), 1.0e-6f, 1, c.isxy, ierr);
        if (c.message == nullptr) {
            EXPECT_EQ(ierr, 0) << screen.str();
            EXPECT_EQ(screen.str(), "");
        } else {
            EXPECT_EQ(ierr, 1);
            EXPECT_NE(screen.str().find(c.message), std::string::npos) << screen.str();
        }
    }
}

}  // namespace
}  // namespace zorva
