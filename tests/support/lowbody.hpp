// Test and benchmark fixture of the low-order assembly: flat-panel bodies
// (sphere, ellipsoid; whole or the quarter x >= 0, y >= 0), the panel tables
// the assembly reads, and the period-independent Rankine parts on the
// scratch units 23 and 24 in the layout the assembly reads.  The Rankine
// parts are computed here independently, in double precision: pairs within
// NEAR panel sizes get the exact 1/r integrals over the source panel (8 x 8
// Gauss points, the self term in closed form) and a code digit 1; farther
// pairs are left to the wave Green function (digit 0).  Header-only so that
// the benchmarks can use it too.
#pragma once

#include <array>
#include <cmath>
#include <vector>

#include "common/channels.hpp"
#include "common/farray.hpp"
#include "common/types.hpp"
#include "geometry/model.hpp"
#include "main/config.hpp"
#include "main/symmetry.hpp"
#include "panels/geomdata.hpp"
#include "panels/paneldata.hpp"

namespace zorva::test {

// Element (i, col) of a right-hand-side array (NEQN, NBETAC, NSYMC) by its
// column col = j + (k-1) NBETAC over headings j and components k.
inline cplx& col2(Arr3<cplx>& a, int i, int col) {
    const int nb = a.extent(2);
    return a(i, (col - 1) % nb + 1, (col - 1) / nb + 1);
}

using V3 = std::array<double, 3>;

struct LowPanel {
    std::array<V3, 4> v;  // vertices (a triangle repeats its last)
};

inline V3 sub(const V3& a, const V3& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
inline V3 cross(const V3& a, const V3& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
inline double dot(const V3& a, const V3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
inline double norm(const V3& a) { return std::sqrt(dot(a, a)); }

// Latitude-longitude panels of the ellipsoid with semi-axes (a, b, c) and
// centre (0, 0, zc), normals into the body.  nlat bands from the bottom pole
// to the top one, nlon sectors round the whole body; with quarter only the
// sectors of x >= 0, y >= 0 (nlon a multiple of 4).
inline std::vector<LowPanel> ellipsoid(double a, double b, double c, double zc, int nlat, int nlon, bool quarter) {
    const double pi = 3.14159265358979323846;
    std::vector<LowPanel> out;
    auto pt = [&](int il, int jl) {
        double ph = -pi / 2 + pi * il / nlat, th = 2 * pi * jl / nlon;
        return V3{a * std::cos(ph) * std::cos(th), b * std::cos(ph) * std::sin(th), zc + c * std::sin(ph)};
    };
    const int jmax = quarter ? nlon / 4 : nlon;
    for (int il = 0; il < nlat; ++il)
        for (int jl = 0; jl < jmax; ++jl) {
            // Order giving the inward normal from (v3 - v1) x (v4 - v2).
            LowPanel p{{pt(il, jl), pt(il + 1, jl), pt(il + 1, jl + 1), pt(il, jl + 1)}};
            if (il == 0) p.v = {pt(il + 1, jl), pt(il + 1, jl + 1), pt(il, jl), pt(il, jl)};
            if (il == nlat - 1) p.v = {pt(il, jl + 1), pt(il, jl), pt(il + 1, jl), pt(il + 1, jl)};
            out.push_back(p);
        }
    return out;
}

// The body mirrored into all four quadrants (image order 1, 2, 3, 4:
// itself, mirror in x, in both, in y).
inline std::vector<LowPanel> whole_from_quarter(const std::vector<LowPanel>& q) {
    std::vector<LowPanel> out = q;
    const int sgn[3][2] = {{-1, 1}, {-1, -1}, {1, -1}};
    for (auto& s : sgn)
        for (const auto& p : q) {
            // A single mirror turns the panel over: reverse its vertices (a
            // repeated vertex kept last); the double mirror is a rotation.
            LowPanel m;
            const bool flip = s[0] * s[1] < 0;
            for (int k = 0; k < 4; ++k)
                m.v[flip ? 3 - k : k] = {s[0] * p.v[k][0], s[1] * p.v[k][1], p.v[k][2]};
            if (flip && p.v[2] == p.v[3]) m.v = {m.v[2], m.v[3], m.v[0], m.v[1]};
            out.push_back(m);
        }
    return out;
}

// Flat panel: centroid, unit normal, area, and a bilinear map of the
// vertices projected into the mean plane.
struct FlatPanel {
    V3 c, n;
    double area;
    std::array<V3, 4> v;
};

inline FlatPanel flat(const LowPanel& p) {
    FlatPanel f;
    V3 d = cross(sub(p.v[2], p.v[0]), sub(p.v[3], p.v[1]));
    double dn = norm(d);
    f.n = {d[0] / dn, d[1] / dn, d[2] / dn};
    f.area = 0.5 * dn;
    V3 m{0, 0, 0};
    for (auto& v : p.v)
        for (int k = 0; k < 3; ++k) m[k] += 0.25 * v[k];
    for (int k = 0; k < 4; ++k) {
        double h = dot(sub(p.v[k], m), f.n);
        for (int q = 0; q < 3; ++q) f.v[k][q] = p.v[k][q] - h * f.n[q];
    }
    // Area-weighted centroid of the two triangles.
    double a1 = 0.5 * norm(cross(sub(f.v[1], f.v[0]), sub(f.v[2], f.v[0])));
    double a2 = 0.5 * norm(cross(sub(f.v[2], f.v[0]), sub(f.v[3], f.v[0])));
    for (int q = 0; q < 3; ++q)
        f.c[q] = (a1 * (f.v[0][q] + f.v[1][q] + f.v[2][q]) + a2 * (f.v[0][q] + f.v[2][q] + f.v[3][q])) /
                 (3 * (a1 + a2));
    return f;
}

// Integrals of 1/r (S) and of d/dn_q 1/r (D) over panel f at point P.
inline void rank_integrals(const FlatPanel& f, const V3& P, bool self, double& S, double& D) {
    S = D = 0;
    if (self) {
        // Point in the panel plane: sum over the sides of h ln((s2 + r2)/(s1 + r1)).
        for (int k = 0; k < 4; ++k) {
            const V3& A = f.v[k];
            const V3& B = f.v[(k + 1) % 4];
            V3 e = sub(B, A);
            double L = norm(e);
            if (L < 1e-14) continue;
            V3 t{e[0] / L, e[1] / L, e[2] / L};
            double s1 = dot(sub(A, P), t), s2 = dot(sub(B, P), t);
            double h = norm(cross(sub(A, P), t));
            double r1 = norm(sub(A, P)), r2 = norm(sub(B, P));
            if (h > 1e-14) S += h * std::log((s2 + r2) / (s1 + r1));
        }
        return;
    }
    static const double xg[8] = {-0.9602898564975363, -0.7966664774136267, -0.5255324099163290,
                                 -0.1834346424956498, 0.1834346424956498,  0.5255324099163290,
                                 0.7966664774136267,  0.9602898564975363};
    static const double wg[8] = {0.1012285362903763, 0.2223810344533745, 0.3137066458778873,
                                 0.3626837833783620, 0.3626837833783620, 0.3137066458778873,
                                 0.2223810344533745, 0.1012285362903763};
    for (int a = 0; a < 8; ++a)
        for (int b = 0; b < 8; ++b) {
            double u = 0.5 * (1 + xg[a]), v = 0.5 * (1 + xg[b]);
            V3 Q, Xu, Xv;
            for (int q = 0; q < 3; ++q) {
                Q[q] = (1 - u) * (1 - v) * f.v[0][q] + u * (1 - v) * f.v[1][q] + u * v * f.v[2][q] +
                       (1 - u) * v * f.v[3][q];
                Xu[q] = (1 - v) * (f.v[1][q] - f.v[0][q]) + v * (f.v[2][q] - f.v[3][q]);
                Xv[q] = (1 - u) * (f.v[3][q] - f.v[0][q]) + u * (f.v[2][q] - f.v[1][q]);
            }
            double J = norm(cross(Xu, Xv)) * 0.25 * wg[a] * wg[b];
            V3 d = sub(P, Q);
            double r = norm(d);
            S += J / r;
            D += J * dot(d, f.n) / (r * r * r);
        }
}

// Puts the panels into the model and panel tables (one body, hull panels,
// rigid modes about the origin) and sets the symmetry of the run.
inline std::vector<FlatPanel> load_panels(const std::vector<LowPanel>& ps, int isx, int isy) {
    const int n = static_cast<int>(ps.size());
    std::vector<FlatPanel> f;
    for (const auto& p : ps) f.push_back(flat(p));
    model::NEQN = n;
    model::NPANB.allocate(1);
    model::NPANB(1) = n;
    model::ITANK.allocate(n);
    model::ITANK.fill(0);
    model::IDIPWM.allocate(n);
    model::IDIPWM.fill(0);
    model::ISX = isx;
    model::ISY = isy;
    model::NMODT = 6;
    model::IMODE.allocate(6);
    for (int m = 1; m <= 6; ++m) model::IMODE(m) = m;
    pnl::PCENT.allocate(3, n);
    pnl::PAXES.allocate(3, 3, n);
    pnl::PAXES.fill(0.0f);
    pnl::PPROP.allocate(13, n);
    pnl::PPROP.fill(0.0f);
    pnl::IPFLAG.allocate(n);
    pnl::IPFLAG.fill(1);
    pnl::VNMODE.allocate(6, n);
    // Four-point rule: the 2 x 2 Gauss points of the flat panel's bilinear
    // map, weighted by the Jacobian (the weights sum to the area).
    pnl::XVERG.allocate(4, 3, n);
    pnl::PNLARR2.allocate(4, n);
    for (int i = 1; i <= n; ++i) {
        const FlatPanel& p = f[static_cast<std::size_t>(i - 1)];
        const double g = 0.5 / std::sqrt(3.0);
        const double uv[4][2] = {{0.5 - g, 0.5 - g}, {0.5 + g, 0.5 - g}, {0.5 + g, 0.5 + g}, {0.5 - g, 0.5 + g}};
        for (int q = 0; q < 4; ++q) {
            const double u = uv[q][0], v = uv[q][1];
            V3 Xu, Xv;
            for (int c = 0; c < 3; ++c) {
                const auto uc = static_cast<std::size_t>(c);
                double x = (1 - u) * (1 - v) * p.v[0][uc] + u * (1 - v) * p.v[1][uc] + u * v * p.v[2][uc] +
                           (1 - u) * v * p.v[3][uc];
                pnl::XVERG(q + 1, c + 1, i) = static_cast<float>(x);
                Xu[uc] = (1 - v) * (p.v[1][uc] - p.v[0][uc]) + v * (p.v[2][uc] - p.v[3][uc]);
                Xv[uc] = (1 - u) * (p.v[3][uc] - p.v[0][uc]) + u * (p.v[2][uc] - p.v[1][uc]);
            }
            pnl::PNLARR2(q + 1, i) = static_cast<float>(0.25 * norm(cross(Xu, Xv)));
        }
    }
    for (int i = 1; i <= n; ++i) {
        const FlatPanel& p = f[static_cast<std::size_t>(i - 1)];
        V3 rxn = cross(p.c, p.n);
        for (int q = 1; q <= 3; ++q) {
            pnl::PCENT(q, i) = static_cast<float>(p.c[static_cast<std::size_t>(q - 1)]);
            pnl::PAXES(3, q, i) = static_cast<float>(p.n[static_cast<std::size_t>(q - 1)]);
            pnl::VNMODE(q, i) = static_cast<float>(p.n[static_cast<std::size_t>(q - 1)]);
            pnl::VNMODE(q + 3, i) = static_cast<float>(rxn[static_cast<std::size_t>(q - 1)]);
        }
        pnl::PPROP(1, i) = static_cast<float>(p.area);
    }
    return f;
}

// Writes the Rankine parts of the loaded panels (symmetry set-up of
// sym:: done) to units 23 and 24, ILOG = 0.
inline void write_rankine(const std::vector<FlatPanel>& f, double near) {
    static const int SX[5] = {0, 1, -1, -1, 1}, SY[5] = {0, 1, 1, -1, -1};
    static const int SIG[5][5] = {{0}, {0, 1, 1, 1, 1}, {0, 1, -1, -1, 1}, {0, 1, -1, 1, -1}, {0, 1, 1, -1, -1}};
    const int n = static_cast<int>(f.size());
    const int nsymc = sym::NSYMC, nsolc = sym::NSOLC;
    chan::open_scratch(23, chan::Form::Unformatted);
    chan::open_scratch(24, chan::Form::Unformatted);
    std::vector<float> rad(static_cast<std::size_t>(n) * static_cast<std::size_t>(nsolc > 0 ? nsolc : 1), 0.0f);
    std::vector<double> col, row;
    std::vector<int> code;
    for (int j = 1; j <= n; ++j) {
        const auto uj = static_cast<std::size_t>(j - 1);
        col.assign(static_cast<std::size_t>(j * nsymc), 0.0);
        row.assign(static_cast<std::size_t>(j * nsymc), 0.0);
        code.assign(static_cast<std::size_t>(j), 0);
        std::vector<double> rowS(static_cast<std::size_t>(j * nsymc), 0.0), colS(rowS);
        for (int i = 1; i <= j; ++i) {
            const auto ui = static_cast<std::size_t>(i - 1);
            const double s2 = std::max(f[ui].area, f[uj].area);
            for (int m = 1; m <= sym::NIMAGE; ++m) {
                const int id = sym::IMAGEID[static_cast<std::size_t>(m)];
                V3 Pj{SX[id] * f[uj].c[0], SY[id] * f[uj].c[1], f[uj].c[2]};
                V3 Pi{SX[id] * f[ui].c[0], SY[id] * f[ui].c[1], f[ui].c[2]};
                V3 dd = sub(Pj, f[ui].c);
                if (dot(dd, dd) >= near * near * s2) continue;
                code[ui] += 1 << (3 * (m - 1));
                double Sr, Dr, Sc = 0, Dc = 0;
                rank_integrals(f[ui], Pj, i == j && m == 1, Sr, Dr);  // panel i at point j
                if (i != j) rank_integrals(f[uj], Pi, false, Sc, Dc);  // panel j at point i
                for (int k = 1; k <= nsymc; ++k) {
                    const double w = SIG[sym::ISYMC[static_cast<std::size_t>(k)]][id];
                    const auto at = static_cast<std::size_t>((k - 1) * j) + ui;
                    row[at] += w * Dr;
                    rowS[at] += w * Sr;
                    if (i != j) {
                        col[at] += w * Dc;
                        colS[at] += w * Sc;
                    }
                    for (int l = 1; l <= sym::NMODSC[static_cast<std::size_t>(k)]; ++l) {
                        const int md = sym::IMODSC(l, k);
                        const auto c = static_cast<std::size_t>(sym::IMODPOS(md) - 1) * static_cast<std::size_t>(n);
                        rad[c + uj] += static_cast<float>(w * Sr * static_cast<double>(pnl::VNMODE(md, i)));
                        if (i != j) rad[c + ui] += static_cast<float>(w * Sc * static_cast<double>(pnl::VNMODE(md, j)));
                    }
                }
            }
        }
        for (int k = 1; k <= nsymc; ++k) {
            const auto o = static_cast<std::size_t>((k - 1) * j);
            row[o + uj] += 6.283185307179586;  // solid angle of a smooth surface
            std::vector<float> c(uj), r(uj + 1);
            for (std::size_t q = 0; q < uj; ++q) c[q] = static_cast<float>(col[o + q]);
            for (std::size_t q = 0; q <= uj; ++q) r[q] = static_cast<float>(row[o + q]);
            chan::write_record(23, c.data(), c.size() * sizeof(float));
            chan::write_record(23, r.data(), r.size() * sizeof(float));
            if (cfg::ISCATT == 1) {
                for (std::size_t q = 0; q < uj; ++q) c[q] = static_cast<float>(colS[o + q]);
                for (std::size_t q = 0; q <= uj; ++q) r[q] = static_cast<float>(rowS[o + q]);
                chan::write_record(23, c.data(), c.size() * sizeof(float));
                chan::write_record(23, r.data(), r.size() * sizeof(float));
            }
        }
        chan::write_record(23, code.data(), code.size() * sizeof(int));
    }
    chan::write_record(24, rad.data(), rad.size() * sizeof(float));
}

}  // namespace zorva::test
