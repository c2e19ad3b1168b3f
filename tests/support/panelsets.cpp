#include "tests/support/panelsets.hpp"

#include <cmath>
#include <sstream>

#include "geometry/model.hpp"
#include "main/config.hpp"
#include "main/fnames.hpp"
#include "panels/geomdata.hpp"
#include "panels/paneldata.hpp"

namespace zorva::test {

namespace {

P3 add(const P3& a, const P3& b, double s = 1.0) { return {a[0] + s * b[0], a[1] + s * b[1], a[2] + s * b[2]}; }

// Orders the four vertices so that the panel normal (P1+P2-P3-P4) x
// (P1+P4-P2-P3) points along `inward`.
Panel4 oriented(Panel4 q, const P3& inward) {
    P3 a, b;
    for (int c = 0; c < 3; ++c) {
        a[c] = q[0][c] + q[1][c] - q[2][c] - q[3][c];
        b[c] = q[0][c] + q[3][c] - q[1][c] - q[2][c];
    }
    P3 n = {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
    if (n[0] * inward[0] + n[1] * inward[1] + n[2] * inward[2] < 0) std::swap(q[1], q[3]);
    return q;
}

// nu x nv cells of side h from corner O along unit vectors U and V.
void face(PanelSet& out, const P3& O, const P3& U, int nu, const P3& V, int nv, double h, const P3& inward) {
    for (int j = 0; j < nv; ++j)
        for (int i = 0; i < nu; ++i) {
            P3 p = add(add(O, U, i * h), V, j * h);
            out.push_back(oriented({p, add(p, U, h), add(add(p, U, h), V, h), add(p, V, h)}, inward));
        }
}

}  // namespace

PanelSet box_panels(double L, double B, double T, double h, bool quarter) {
    PanelSet s;
    const int nl = static_cast<int>(std::lround(L / h)), nb = static_cast<int>(std::lround(B / h));
    const int nt = static_cast<int>(std::lround(T / h));
    const P3 X = {1, 0, 0}, Y = {0, 1, 0}, Z = {0, 0, 1};
    const double x0 = quarter ? 0.0 : -L / 2, y0 = quarter ? 0.0 : -B / 2;
    const int ml = quarter ? nl / 2 : nl, mb = quarter ? nb / 2 : nb;
    face(s, {x0, y0, -T}, X, ml, Y, mb, h, Z);                           // bottom
    face(s, {L / 2, y0, -T}, Y, mb, Z, nt, h, {-1, 0, 0});               // x = L/2
    face(s, {x0, B / 2, -T}, X, ml, Z, nt, h, {0, -1, 0});               // y = B/2
    if (!quarter) {
        face(s, {-L / 2, y0, -T}, Y, mb, Z, nt, h, {1, 0, 0});           // x = -L/2
        face(s, {x0, -B / 2, -T}, X, ml, Z, nt, h, {0, 1, 0});           // y = -B/2
    }
    return s;
}

PanelSet hemisphere_panels(double R, int nphi, int ntheta) {
    PanelSet s;
    const double pi = std::acos(-1.0);
    auto pt = [&](int i, int j) {
        const double th = 0.5 * pi * i / ntheta, ph = 2 * pi * j / nphi;
        return P3{R * std::sin(th) * std::cos(ph), R * std::sin(th) * std::sin(ph), -R * std::cos(th)};
    };
    for (int i = 0; i < ntheta; ++i)
        for (int j = 0; j < nphi; ++j) {
            Panel4 q = {pt(i, j), pt(i + 1, j), pt(i + 1, j + 1), pt(i, j + 1)};
            if (i == 0) q[3] = q[0];  // triangle at the pole
            P3 c = add(add(q[0], q[1]), add(q[2], q[3]));
            s.push_back(oriented(q, {-c[0], -c[1], -c[2]}));
        }
    return s;
}

std::string gdf_text(const PanelSet& panels, int isx, int isy) {
    std::ostringstream out;
    out.precision(9);
    out << "Panels of a test body\n 1.0  9.80665   ULEN GRAV\n " << isx << ' ' << isy << "   ISX ISY\n "
        << panels.size() << "   NPAN\n";
    for (const Panel4& q : panels) {
        for (const P3& v : q) out << ' ' << v[0] << ' ' << v[1] << ' ' << v[2];
        out << '\n';
    }
    return out.str();
}

void setup_run(const std::vector<Body>& bodies, int isx, int isy, int iquad) {
    cfg::reset();
    model::reset();
    pnl::reset();
    pnl::reset_geom();
    fnames::reset();
    const int nb = static_cast<int>(bodies.size());
    cfg::NBODY = nb;
    cfg::IQUAD = iquad;
    cfg::XBODY.allocate(4, nb);
    cfg::IRR.allocate(nb);
    cfg::NEWMDS.allocate(nb);
    cfg::IGENMDS.allocate(nb);
    model::CSPHIB.allocate(2, nb);
    model::NPANB.allocate(nb);
    model::NPAND.allocate(nb);
    model::NWLPANB.allocate(nb);
    model::IBMOD.allocate(nb);
    model::ULEN.allocate(nb);
    model::IS.allocate(2, nb);
    model::GDFTITLE.allocate(nb);
    fnames::GDFNAME.allocate(nb);
    model::ULENI = 1.0f;
    model::ISX = isx;
    model::ISY = isy;
    model::HBOT = -1.0f;
    int neqn = 0, nmodt = 0;
    for (int b = 1; b <= nb; ++b) {
        const Body& bd = bodies[static_cast<std::size_t>(b - 1)];
        for (int c = 1; c <= 4; ++c) cfg::XBODY(c, b) = bd.xbody[static_cast<std::size_t>(c - 1)];
        const double h = static_cast<double>(bd.xbody[3]) * 0.017453292;
        model::CSPHIB(1, b) = static_cast<float>(std::cos(h));
        model::CSPHIB(2, b) = static_cast<float>(std::sin(h));
        cfg::IRR(b) = bd.irr;
        cfg::NEWMDS(b) = bd.newmds;
        cfg::IGENMDS(b) = bd.igenmds;
        model::NPANB(b) = static_cast<int>(bd.panels.size());
        model::IBMOD(b) = nmodt;
        model::ULEN(b) = 1.0f;
        model::IS(1, b) = isx;
        model::IS(2, b) = isy;
        model::GDFTITLE(b) = "test body";
        fnames::GDFNAME(b) = bd.gdfname;
        neqn += model::NPANB(b);
        nmodt += 6 + bd.newmds;
    }
    model::NEQN = neqn;
    model::NMODT = nmodt;
    model::IMODE.allocate(nmodt);
    for (int b = 1; b <= nb; ++b) {
        for (int k = 1; k <= 6; ++k) model::IMODE(model::IBMOD(b) + k) = k;
        for (int k = 7; k <= 6 + bodies[static_cast<std::size_t>(b - 1)].newmds; ++k) model::IMODE(model::IBMOD(b) + k) = 1;
    }
    model::XVER.allocate(4, 3, neqn);
    model::ITANK.allocate(neqn);
    model::IDIPWM.allocate(neqn);
    int p = 0;
    for (const Body& bd : bodies)
        for (const Panel4& q : bd.panels) {
            ++p;
            for (int k = 1; k <= 4; ++k)
                for (int c = 1; c <= 3; ++c)
                    model::XVER(k, c, p) = static_cast<float>(q[static_cast<std::size_t>(k - 1)][static_cast<std::size_t>(c - 1)]);
        }
}

}  // namespace zorva::test
