// Waterline trimming of higher-order bodies: the sub-patch list, the
// classification of each entry on a sampled grid of waterline flags, the
// rebuild of the per-patch tables for the sub-patches and the per-patch
// waterline tables.
#include "geometry/trimhigh.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/messages.hpp"
#include "geometry/hogeom.hpp"
#include "geometry/model.hpp"
#include "geometry/modelmore.hpp"
#include "geometry/patchwhere.hpp"
#include "geometry/trimlow.hpp"
#include "main/config.hpp"
#include "main/fnames.hpp"

namespace zorva {

using namespace model;

namespace {

// The list arrays, one entry per sub-patch, beside IPGDF.
bool list_edit(int N, int POS) {
    bool ok = true;
    auto one = [&](auto& a) {
        if (ok) ok = N == -1 ? delete_entry(a, POS) : insert_copies(a, POS, N);
    };
    one(IPGDF), one(ITRIMSV), one(ITRMIDX), one(TRMRNG1), one(TRMRNG2);
    one(TRMMAP1), one(TRMMAP2), one(TRMMAP3), one(TRMMAP4);
    return ok;
}

// Line tables and corner counts of one sampled entry.
struct Lines {
    std::vector<int> NA, NB, CA, CB;  // [1..M+1]
};

void line_tables(const TrimGrid& GR, Lines& L) {
    const int n = GR.M + 1;
    L.NA.assign(static_cast<std::size_t>(n + 1), 0);
    L.NB = L.CA = L.CB = L.NA;
    for (int l = 1; l <= n; ++l) {
        auto& na = L.NA[static_cast<std::size_t>(l)];
        auto& nb = L.NB[static_cast<std::size_t>(l)];
        auto& ca = L.CA[static_cast<std::size_t>(l)];
        auto& cb = L.CB[static_cast<std::size_t>(l)];
        for (int m = 1; m <= n; ++m) {
            na += GR.FLAG(l, m) < 1 ? 1 : 0;
            nb += GR.FLAG(m, l) < 1 ? 1 : 0;
            if (m < 2) continue;
            if (GR.FLAG(l, m) != GR.FLAG(l, m - 1) && (GR.FLAG(l, m) != 0 || m == n)) ++ca;
            if (GR.FLAG(m, l) != GR.FLAG(m - 1, l) && (GR.FLAG(m, l) != 0 || m == n)) ++cb;
        }
    }
}

int maxof(const std::vector<int>& a) { return *std::max_element(a.begin() + 1, a.end()); }

// Whether XTRIM moves body ib.
bool moved(int ib) {
    return std::fabs(cfg::XTRIM(1, ib)) + std::fabs(cfg::XTRIM(2, ib)) + std::fabs(cfg::XTRIM(3, ib)) >= 1.0E-6f;
}

// The open-edge check samples each side of a patch at NSEG + 1 points and
// each patch on an NGRID x NGRID grid of intervals, in the body frame.
constexpr int NSEG = 16, NGRID = 8;
using Pt = std::array<float, 3>;

float dist(const float* a, const float* b) {
    const float d[3] = {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
    return std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
}

// Point of patch q of body ib at (u, v), in the body frame (IGLOB -1) or
// moved (0), with its tangents; false after the evaluator's message.
bool patch_point(int ib, int q, float u, float v, int iglob, float* X, float* XU, float* XV) {
    int ierr = 0;
    PATCHEV(u, v, ib, q, X, XU, XV, -1, iglob, ierr);
    return ierr == 0;
}

// Parameters of the point at t in [0, 1] along side s of a patch, from
// corner s to the next.
void side_uv(int s, float t, float& u, float& v) {
    const int e = NEXTC[s];
    u = CORNS[s] + t * (CORNS[e] - CORNS[s]);
    v = CORNT[s] + t * (CORNT[e] - CORNT[s]);
}

struct Box {
    Pt lo{1.0E30f, 1.0E30f, 1.0E30f}, hi{-1.0E30f, -1.0E30f, -1.0E30f};
    void add(const Pt& p) {
        for (int k = 0; k < 3; ++k) lo[k] = std::min(lo[k], p[k]), hi[k] = std::max(hi[k], p[k]);
    }
    bool near(const float* x, float pad) const {
        for (int k = 0; k < 3; ++k)
            if (x[k] < lo[k] - pad || x[k] > hi[k] + pad) return false;
        return true;
    }
};

// One patch of the body as the check sees it: its grid and its sides.
struct PatchSample {
    int q = 0;
    std::vector<Pt> grid;    // (NGRID + 1)^2 nodes, u fastest
    std::vector<Pt> centre;  // NGRID^2 cell centres, u fastest
    Box box;
    float cell = 0.0f;     // longest grid step
    std::array<std::vector<Pt>, 5> side;  // [1..4]: NSEG + 1 points
    std::array<float, 5> len{}, seg{};    // length and longest step of each side
};

// Distance from X to patch P after Newton steps of the projection onto the
// surface within the parameter square, from (u, v).
float project(const PatchSample& P, int ib, const float* X, float u, float v, bool& ok) {
    float d = 1.0E30f;
    for (int it = 0; it < 20; ++it) {
        float S[3], XU[3], XV[3];
        if (!patch_point(ib, P.q, u, v, -1, S, XU, XV)) {
            ok = false;
            return d;
        }
        const float r[3] = {S[0] - X[0], S[1] - X[1], S[2] - X[2]};
        d = std::min(d, dist(S, X));
        const float a = XU[0] * XU[0] + XU[1] * XU[1] + XU[2] * XU[2];
        const float b = XU[0] * XV[0] + XU[1] * XV[1] + XU[2] * XV[2];
        const float c = XV[0] * XV[0] + XV[1] * XV[1] + XV[2] * XV[2];
        const float g1 = XU[0] * r[0] + XU[1] * r[1] + XU[2] * r[2];
        const float g2 = XV[0] * r[0] + XV[1] * r[1] + XV[2] * r[2];
        const float det = a * c - b * b;
        float du = 0.0f, dv = 0.0f;
        if (det > 1.0E-6f * a * c && a > 0.0f && c > 0.0f) {
            du = -(c * g1 - b * g2) / det;
            dv = -(a * g2 - b * g1) / det;
        } else if (a >= c && a > 0.0f) {  // a degenerate side: along the other direction
            du = -g1 / a;
        } else if (c > 0.0f) {
            dv = -g2 / c;
        } else {
            break;
        }
        du = std::clamp(du, -0.5f, 0.5f), dv = std::clamp(dv, -0.5f, 0.5f);
        const float un = std::clamp(u + du, -1.0f, 1.0f), vn = std::clamp(v + dv, -1.0f, 1.0f);
        if (std::fabs(un - u) + std::fabs(vn - v) < 1.0E-7f) break;
        u = un, v = vn;
    }
    return d;
}

// Least distance from X to patch P: projections from the nearest grid point
// and from the centre of the nearest grid cell (inside the square, clear of
// a side drawn to a point).
float surface_distance(const PatchSample& P, int ib, const float* X, bool& ok) {
    std::size_t node = 0, cell = 0;
    float dn = 1.0E30f, dc = 1.0E30f;
    for (std::size_t k = 0; k < P.grid.size(); ++k) {
        const float e = dist(P.grid[k].data(), X);
        if (e < dn) dn = e, node = k;
    }
    for (std::size_t k = 0; k < P.centre.size(); ++k) {
        const float e = dist(P.centre[k].data(), X);
        if (e < dc) dc = e, cell = k;
    }
    const float step = 2.0f / NGRID;
    auto at = [&](std::size_t k, int n, float off) { return -1.0f + step * (static_cast<float>(k % n) + off); };
    auto row = [&](std::size_t k, int n, float off) { return -1.0f + step * (static_cast<float>(k / n) + off); };
    const float d1 = project(P, ib, X, at(cell, NGRID, 0.5f), row(cell, NGRID, 0.5f), ok);
    if (d1 <= 0.0f || !ok) return d1;
    return std::min(d1, project(P, ib, X, at(node, NGRID + 1, 0.0f), row(node, NGRID + 1, 0.0f), ok));
}

// Least distance from X to side s of patch P: the nearest chord, then a
// golden-section search on the side about it.
float side_distance(const PatchSample& P, int s, int ib, const float* X, bool& ok) {
    const std::vector<Pt>& C = P.side[static_cast<std::size_t>(s)];
    int best = 0;
    float d = 1.0E30f;
    for (int i = 0; i < NSEG; ++i) {
        const float* a = C[static_cast<std::size_t>(i)].data();
        const float* b = C[static_cast<std::size_t>(i + 1)].data();
        const float ab[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
        const float l2 = ab[0] * ab[0] + ab[1] * ab[1] + ab[2] * ab[2];
        float t = l2 > 0.0f ? ((X[0] - a[0]) * ab[0] + (X[1] - a[1]) * ab[1] + (X[2] - a[2]) * ab[2]) / l2 : 0.0f;
        t = std::clamp(t, 0.0f, 1.0f);
        const float p[3] = {a[0] + t * ab[0], a[1] + t * ab[1], a[2] + t * ab[2]};
        const float e = dist(p, X);
        if (e < d) d = e, best = i;
    }
    float lo = std::max(0.0f, static_cast<float>(best - 1) / NSEG);
    float hi = std::min(1.0f, static_cast<float>(best + 2) / NSEG);
    auto at = [&](float t) {
        float u, v, S[3], XU[3], XV[3];
        side_uv(s, t, u, v);
        if (!patch_point(ib, P.q, u, v, -1, S, XU, XV)) ok = false;
        return ok ? dist(S, X) : 1.0E30f;
    };
    constexpr float G = 0.618034f;
    float t1 = hi - G * (hi - lo), t2 = lo + G * (hi - lo), f1 = at(t1), f2 = at(t2);
    for (int it = 0; it < 30 && ok; ++it) {
        if (f1 < f2) {
            hi = t2, t2 = t1, f2 = f1, t1 = hi - G * (hi - lo), f1 = at(t1);
        } else {
            lo = t1, t1 = t2, f1 = f2, t2 = lo + G * (hi - lo), f2 = at(t2);
        }
    }
    return std::min({d, f1, f2});
}

void trim_fail(int ip, int ib, int itype) {
    ERRMSG(" Error trimming waterline patch, NPATCH=", ip);
    ERRMSG("                                 NBODY =", ib);
    ERRMSG("                                 itype =", itype);
}

}  // namespace

std::string TRIMNOTE(int IB, int IP) {
    if (cfg::ITRIMWL < 1 || !ITRIM.allocated() || IP < 1 || IP > ITRIM.extent(1) || ITRIM(IP) == 0) return {};
    return ", which the waterline trimming (ITRIMWL=" + std::to_string(cfg::ITRIMWL) + ", " + TRIMTEXT(IB) +
           ") cuts: the cut leaves a part of the wetted surface too thin for the integration (a waterline close to "
           "an edge or corner of a patch, or crossing a nearly level patch at a small angle); a slightly different "
           "sinkage or trim avoids it";
}

void TrimGrid::setup(int m) {
    M = m;
    G.assign(static_cast<std::size_t>(m + 1), 0.0f);
    G[0] = -1.0f;
    const float step = 2.0f / static_cast<float>(m);
    for (int k = 1; k <= m; ++k) G[static_cast<std::size_t>(k)] = G[static_cast<std::size_t>(k - 1)] + step;
    G[0] += 0.0001f;
    G[static_cast<std::size_t>(m)] = -G[0];
}

int TrimGrid::corner(int q) const {
    const int n = M + 1;
    switch (q) {
        case 1: return FLAG(n, 1);
        case 2: return FLAG(n, n);
        case 3: return FLAG(1, n);
        default: return FLAG(1, 1);
    }
}

void TRIMWLH(int N, int POS, int& IERR) {
    if (IERR != 0) return;
    auto nomem = [&] {
        ERRMSG("Allocation error for arrays IPGDF,ITRIMSV,UP,VP in TRIMWLH", 0);
        IERR = 1;
    };
    if (!IPGDF.allocated()) {
        const int n = std::max(N, 0);
        if (!IPGDF.allocate(n)) return nomem();
        for (int i = 1; i <= n; ++i) IPGDF(i) = i;
        if (POS == -1) return;
        if (!ITRIMSV.allocate(n) || !ITRMIDX.allocate(n) || !TRMRNG1.allocate(4, n) || !TRMRNG2.allocate(4, n) ||
            !TRMMAP1.allocate(2, n) || !TRMMAP2.allocate(2, n) || !TRMMAP3.allocate(2, n) || !TRMMAP4.allocate(2, n))
            return nomem();
        for (int i = 1; i <= n; ++i) {
            ITRIMSV(i) = 1;
            ITRMIDX(i) = 0;
            for (int k = 1; k <= 4; ++k) TRMRNG1(k, i) = CORNS[k], TRMRNG2(k, i) = CORNT[k];
            TRMMAP2(1, i) = 1.0f;  // identity: u = s, v = t
            TRMMAP3(2, i) = 1.0f;
        }
        return;
    }
    if (POS == -1) {
        const long old = IPGDF.extent(1);
        if (!IPGDF.resize_keep(std::max(N, 0))) return nomem();
        for (long i = old + 1; i <= N; ++i) IPGDF(i) = static_cast<int>(i);
        return;
    }
    if (N == -1 || N >= 1) {
        if (!list_edit(N, POS)) return nomem();
        for (int i = POS + 1; i < POS + N; ++i) ITRMIDX(i) = 0;
    }
}

void TRIMIDX(int NOLD, int NNEW, int& IERR) {
    IERR = 0;
    for (Arr1<int>* t : {&IBPTH, &ITANK, &IPRL, &IPREF, &ITRIM, &IDIPWM}) {
        if (!t->allocated() || t->extent(1) < NOLD) continue;  // a table the run does not keep
        Arr1<int> old = *t;
        if (!old.allocated() || !t->allocate(NNEW)) {
            ERRMSG("Error allocating arrays IBPTH,ITANK,IPGDF in GETIP", 0);
            IERR = 1;
            return;
        }
        for (int js = 1; js <= NNEW; ++js) (*t)(js) = old(IPGDF(js));
    }
}

void GROWWTL(int N, int POS, int& IERR) {
    (void)POS;
    IERR = 0;
    const bool sized = cfg::PANEL_SIZE > 0.0f;
    bool ok;
    if (!IWTL.allocated()) {
        ok = IWTL.allocate(N) && IFSPAT.allocate(N) && ZBDYFS.allocate(N);
        if (ok && sized) ok = ARCLEN.allocate(N) && WTLARR5.allocate(N);
    } else {
        ok = IWTL.resize_keep_fill(0, N) && IFSPAT.resize_keep_fill(-1, N) && ZBDYFS.resize_keep(N);
        if (ok && sized) ok = ARCLEN.resize_keep(N) && WTLARR5.resize_keep(N);
    }
    if (!ok) {
        ERRMSG("Error allocating arrays IWTL,IFSPAT,ZBDYFS,ARCLEN in GETIP", 0);
        IERR = 1;
    }
}

void TRIMFLAGS(TrimGrid& GR, int JS, int IP, int IB, int& IERR) {
    const int n = GR.M + 1;
    if (GR.FLAG.extent(1) != n && !GR.FLAG.allocate(n, n)) {
        ERRMSG(" Error allocating arrays ", 0);
        IERR = 1;
        return;
    }
    const float u1 = TRMRNG1(1, JS), u4 = TRMRNG1(4, JS), v1 = TRMRNG2(1, JS), v2 = TRMRNG2(2, JS);
    GR.FMIN = HUGE_VALF;
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j) {
            const float u = 0.5f * ((u1 + u4) + (u1 - u4) * GR.G[static_cast<std::size_t>(i - 1)]);
            const float v = 0.5f * ((v1 + v2) + (v2 - v1) * GR.G[static_cast<std::size_t>(j - 1)]);
            float x[3], vn[3], xu[3], xv[3], aj = 0.0f;
            BODYGEOM(u, v, IB, IP, x, vn, xu, xv, aj, -1, 0, IERR);
            if (IERR != 0) return;
            const float f = x[2] - GR.ZL;
            GR.FMIN = std::min(GR.FMIN, f);
            GR.FLAG(i, j) = f >= 1.0E-5f ? 1 : f < -1.0E-5f ? -1 : 0;
        }
}

void WLINDEX(const TrimGrid& GR, int& ITYPE) {
    Lines L;
    line_tables(GR, L);
    const int M = GR.M, n = M + 1;
    if (maxof(L.CB) <= 1 || maxof(L.CA) <= 1) return;
    if (ITYPE == 2) {
        ITYPE = 4;
        return;
    }
    if (ITYPE != 1 && ITYPE != 3) return;
    constexpr int DI[5] = {0, 1, 1, -1, -1}, DJ[5] = {0, -1, 1, 1, -1};
    int q = 0;
    for (int c = 1; c <= 4 && q == 0; ++c)
        if (ITYPE == 1 ? GR.corner(c) < 1 : GR.corner(c) == 1) q = c;
    if (q == 0) return;
    const int key = ITYPE == 1 ? -1 : 1;
    for (int i0 = 2; i0 <= M; ++i0)
        for (int j0 = 2; j0 <= M; ++j0) {
            if (L.CA[static_cast<std::size_t>(i0)] < 2 || L.CB[static_cast<std::size_t>(j0)] < 2) continue;
            const int f = GR.FLAG(i0, j0);
            const int c = f == key ? q : OPPC[q];
            const int di = DI[c], dj = DJ[c];
            const int li = di > 0 ? n : 1, lj = dj > 0 ? n : 1;
            int i = i0, j = j0;
            for (int step = 0; step <= M && i != li && j != lj; ++step) {
                const bool diag = GR.FLAG(i + di, j + dj) == f;
                const bool alongj = GR.FLAG(i, j + dj) == f, alongi = GR.FLAG(i + di, j) == f;
                if (diag && (alongj || alongi)) {
                    i += di;
                    j += dj;
                } else if (alongi) {
                    i += di;
                } else if (alongj) {
                    j += dj;
                } else {
                    ITYPE = 4;
                    return;
                }
            }
        }
}

void TRIMOPEN(int& IERR) {
    IERR = 0;
    for (int ib = 1; ib <= cfg::NBODY; ++ib) {
        if (!moved(ib)) continue;
        // The body's patches sampled; the body's size sets the tolerances:
        // points within TOL of each other meet, a point more than TOLZ below
        // the waterline is under water.
        std::vector<PatchSample> ps;
        Box body;
        for (int q = 1; q <= NPATCHR; ++q) {
            if (IBPTH(q) != ib) continue;
            PatchSample P;
            P.q = q;
            const float step = 2.0f / NGRID;
            for (int j = 0; j <= NGRID; ++j)
                for (int i = 0; i <= NGRID; ++i) {
                    Pt x;
                    float XU[3], XV[3];
                    const float u = i == NGRID ? 1.0f : -1.0f + step * static_cast<float>(i);
                    const float v = j == NGRID ? 1.0f : -1.0f + step * static_cast<float>(j);
                    if (!patch_point(ib, q, u, v, -1, x.data(), XU, XV)) {
                        IERR = 1;
                        return;
                    }
                    P.grid.push_back(x);
                    P.box.add(x);
                    if (i > 0) P.cell = std::max(P.cell, dist(x.data(), P.grid[P.grid.size() - 2].data()));
                    if (j > 0)
                        P.cell = std::max(P.cell, dist(x.data(), P.grid[P.grid.size() - 1 - NGRID - 1].data()));
                }
            for (int j = 0; j < NGRID; ++j)
                for (int i = 0; i < NGRID; ++i) {
                    Pt x;
                    float XU[3], XV[3];
                    const float u = -1.0f + step * (static_cast<float>(i) + 0.5f);
                    const float v = -1.0f + step * (static_cast<float>(j) + 0.5f);
                    if (!patch_point(ib, q, u, v, -1, x.data(), XU, XV)) {
                        IERR = 1;
                        return;
                    }
                    P.centre.push_back(x);
                }
            for (int s = 1; s <= 4; ++s) {
                auto& C = P.side[static_cast<std::size_t>(s)];
                for (int k = 0; k <= NSEG; ++k) {
                    Pt x;
                    float u, v, XU[3], XV[3];
                    side_uv(s, static_cast<float>(k) / NSEG, u, v);
                    if (!patch_point(ib, q, u, v, -1, x.data(), XU, XV)) {
                        IERR = 1;
                        return;
                    }
                    C.push_back(x);
                    if (k == 0) continue;
                    const float e = dist(x.data(), C[static_cast<std::size_t>(k - 1)].data());
                    P.len[static_cast<std::size_t>(s)] += e;
                    P.seg[static_cast<std::size_t>(s)] = std::max(P.seg[static_cast<std::size_t>(s)], e);
                }
            }
            body.add(P.box.lo);
            body.add(P.box.hi);
            ps.push_back(std::move(P));
        }
        const float size = dist(body.lo.data(), body.hi.data());
        const float TOL = 1.0E-3f * size, TOLZ = 1.0E-4f * size;

        // Whether the point X of side s of patch a is closed: on a symmetry
        // plane or wall of the run, on another patch, or on another side of
        // its own patch.
        bool ok = true;
        auto closed = [&](const PatchSample& A, int s, const float* X) {
            if ((ISX != 0 && std::fabs(X[0]) < TOL) || (ISY != 0 && std::fabs(X[1]) < TOL)) return true;
            for (const PatchSample& P : ps) {
                if (&P == &A) {
                    for (int r = 1; r <= 4; ++r)
                        if (r != s && P.len[static_cast<std::size_t>(r)] >= TOL &&
                            side_distance(P, r, ib, X, ok) < TOL)
                            return true;
                } else if (P.box.near(X, P.cell + TOL) && surface_distance(P, ib, X, ok) < TOL) {
                    return true;
                }
            }
            return false;
        };

        for (const PatchSample& A : ps) {
            const int q = A.q, t = ITANK.allocated() && q <= ITANK.extent(1) ? ITANK(q) : 0;
            if (IDIPWM.allocated() && q <= IDIPWM.extent(1) && IDIPWM(q) != 0) continue;  // a thin plate
            if (t > 0 && cfg::IZTANKFS == 0) continue;  // a tank that keeps its own level
            const float ZL = -cfg::XBODY(3, ib) + (t > 0 ? cfg::ZTANKFS(t) : 0.0f);
            for (int s = 1; s <= 4; ++s) {
                if (A.len[static_cast<std::size_t>(s)] < TOL) continue;  // a side drawn to a point
                std::array<bool, NSEG + 1> under{};
                for (int k = 0; k <= NSEG; ++k) {
                    float u, v, X[3], XU[3], XV[3];
                    side_uv(s, static_cast<float>(k) / NSEG, u, v);
                    if (!patch_point(ib, q, u, v, 0, X, XU, XV)) {
                        IERR = 1;
                        return;
                    }
                    under[static_cast<std::size_t>(k)] = X[2] - ZL < -TOLZ;
                }
                // The points inside the side; the first and last stand for
                // the corners beside them.
                for (int k = 1; k < NSEG; ++k) {
                    const bool wet = under[static_cast<std::size_t>(k)] || (k == 1 && under[0]) ||
                                     (k == NSEG - 1 && under[NSEG]);
                    const float* X = A.side[static_cast<std::size_t>(s)][static_cast<std::size_t>(k)].data();
                    if (!wet || closed(A, s, X)) {
                        if (!ok) break;
                        continue;
                    }
                    // The point in the body's axes and units, to 4 digits.
                    double w[3];
                    for (int c = 0; c < 3; ++c)
                        w[c] = std::fabs(X[c]) < TOLZ ? 0.0 : static_cast<double>(X[c] * ULEN(1));
                    char where[120];
                    std::snprintf(where, sizeof where, "(%.4g, %.4g, %.4g)", w[0], w[1], w[2]);
                    const std::string image =
                        IPREF(q) > 1 ? " (its symmetry image " + std::to_string(IPREF(q)) + ")" : "";
                    ERRMSG("Error in GDF file, " + PATCHWHERE(ib, q) + image +
                               ": with the trim XTRIM an open edge of the patch lies under water, where no other "
                               "patch closes the wetted surface; a body whose top edge lies at the free surface "
                               "cannot be trimmed: give it freeboard, or a smaller trim (the edge is under water "
                               "at " + where + " in the body's axes)",
                           0);
                    IERR = 1;
                    return;
                }
                if (!ok) {
                    ERRMSG(" Error evaluating the patches for the open-edge check of the trim, body=", ib);
                    IERR = 1;
                    return;
                }
            }
        }
    }
}

void TRIMWLB(int& IERR) {
    IERR = 0;
    const int M = cfg::ITRIMWL, nb = cfg::NBODY;
    TRIMOPEN(IERR);
    if (IERR != 0) return;
    TrimGrid GR;
    GR.setup(M);
    if (!GR.FLAG.allocate(M + 1, M + 1)) {
        ERRMSG(" Error allocating arrays ", 0);
        trim_fail(0, 0, 0);
        IERR = 1;
        return;
    }
    TRIMWLH(NPATCHR, 0, IERR);
    if (IERR != 0) return;

    // Height above the free surface of the deepest point sampled on each
    // body's hull patches: the points of the trimming grids, and a grid of
    // NGRID x NGRID intervals on every patch (a coarse trimming grid samples
    // little more than the corners).
    std::vector<float> deepest(static_cast<std::size_t>(nb + 1), HUGE_VALF);
    for (int q = 1; q <= NPATCHR; ++q) {
        const int ib = IBPTH(q);
        if (ITANK(q) > 0) continue;
        float& d = deepest[static_cast<std::size_t>(ib)];
        for (int j = 0; j <= NGRID; ++j)
            for (int i = 0; i <= NGRID; ++i) {
                float X[3], XU[3], XV[3];
                const float u = -1.0f + 2.0f * static_cast<float>(i) / NGRID;
                const float v = -1.0f + 2.0f * static_cast<float>(j) / NGRID;
                if (!patch_point(ib, q, u, v, 0, X, XU, XV)) {
                    trim_fail(q, ib, 0);
                    IERR = 1;
                    return;
                }
                d = std::min(d, X[2] + cfg::XBODY(3, ib));
            }
    }
    const long limit = static_cast<long>(NPATCHR) * (M + 1) * (M + 1);
    long visits = 0;
    int js = 1;
    for (; js <= IPGDF.extent(1) && visits < limit; ++js, ++visits) {
        if (ITRMIDX(js) != 0) continue;
        const int ip = IPGDF(js), ib = IBPTH(ip), t = ITANK(ip);
        if (t > 0 && cfg::IZTANKFS == 0) continue;
        GR.ZL = -cfg::XBODY(3, ib) + (t > 0 ? cfg::ZTANKFS(t) : 0.0f);
        int itype = 0;
        auto failed = [&] {
            trim_fail(ip, ib, itype);
            IERR = 1;
        };
        TRIMFLAGS(GR, js, ip, ib, IERR);
        if (IERR != 0) return failed();
        if (t == 0) deepest[static_cast<std::size_t>(ib)] = std::min(deepest[static_cast<std::size_t>(ib)], GR.FMIN);
        int ndry = 0, nwet = 0;
        for (int f : GR.FLAG) ndry += f == 1 ? 1 : 0, nwet += f == -1 ? 1 : 0;
        if (ndry == 0) continue;  // wholly wet
        if (nwet == 0) {          // wholly dry
            ITRIMSV(js) = -1;
            if (ITRIM(ip) == 0) ITRIM(ip) = -1;
            continue;
        }

        // Classify by the flag changes along the edges and the corners.
        Lines L;
        line_tables(GR, L);
        const int n = M + 1;
        auto at = [](const std::vector<int>& a, int l) { return a[static_cast<std::size_t>(l)]; };
        const int E[5] = {0, at(L.NA, n), at(L.NB, n), at(L.NA, 1), at(L.NB, 1)};
        const int K = std::max({at(L.CB, n), at(L.CB, 1), at(L.CA, n), at(L.CA, 1)});
        int EW = 0, ED = 0, CD = 0, CW = 0;
        for (int k = 1; k <= 4; ++k) {
            EW += E[k] > 0 ? 1 : 0;
            ED += E[k] < n ? 1 : 0;
            CD += GR.corner(k) == 1 ? 1 : 0;
            CW += GR.corner(k) == -1 ? 1 : 0;
        }
        if (K != 1) itype = 4;
        else if (CD == 3 && ED == 4 && EW == 2) itype = 1;
        else if (CD == 2) itype = ED == 3 && EW == 3 ? 2 : 4;
        else if (EW == 4 && CW == 2 && CD > 1) itype = 4;
        else if (EW == 4 && CW == 2 && ED == CD + 1) itype = 2;
        else if (CD == 1 && ED == 2 && EW == 4) itype = 3;
        else itype = 4;

        int kcut = 0;
        if (itype == 2) {
            // The dry side: the edge with the fewest not-dry points.  A
            // waterline that moves by 3 or more grid steps between
            // neighbouring grid lines is too steep for one cut.
            kcut = 1;
            for (int k = 2; k <= 4; ++k)
                if (E[k] < E[kcut]) kcut = k;
            const std::vector<int>& N = kcut == 1 || kcut == 3 ? L.NB : L.NA;
            int D = 0;
            for (int l = 2; l <= n; ++l) D = std::max(D, std::abs(at(N, l) - at(N, l - 1)));
            if (D >= 3) itype = 4;
        }
        if (itype != 4) WLINDEX(GR, itype);

        if (itype == 2) {
            ITRMIDX(js) = kcut;
            if (ITRIM(ip) == 0) ITRIM(ip) = 1;
        } else if (itype == 1) {
            int q = 1;
            while (q < 4 && GR.corner(q) >= 1) ++q;
            TRIMWL1(GR, q, js, ip, ib, IERR);
            if (IERR != 0) return failed();
            if (ITRIM(ip) == 0) ITRIM(ip) = 1;
        } else if (itype == 3) {
            int q = 1;
            while (q < 4 && GR.corner(q) != 1) ++q;
            TRIMWLH(1, js, IERR);
            if (IERR != 0) return failed();
            IPGDF(js) = IPGDF(js + 1) = ip;
            const int p = PREVC[q], x = NEXTC[q];
            TRMRNG1(p, js) = TRMRNG1(q, js), TRMRNG2(p, js) = TRMRNG2(q, js);
            TRMRNG1(x, js + 1) = TRMRNG1(q, js + 1), TRMRNG2(x, js + 1) = TRMRNG2(q, js + 1);
            ITRMIDX(js) = p;
            ITRMIDX(js + 1) = q;
            ITRIM(ip) = 2;
        } else {
            // Quarters of the square.
            TRIMWLH(4, js, IERR);
            if (IERR != 0) return failed();
            ITRIM(ip) = 2;
            const float h = (TRMRNG1(1, js) - TRMRNG1(4, js)) / 2, um = TRMRNG1(4, js) + h;
            const float ua = TRMRNG1(3, js), ub = TRMRNG1(1, js), va = TRMRNG2(1, js), vb = TRMRNG2(2, js);
            const float vm = va + h;
            const float QU[4][4] = {{um, um, ua, ua}, {ub, ub, um, um}, {um, um, ua, ua}, {ub, ub, um, um}};
            const float QV[4][4] = {{va, vm, vm, va}, {va, vm, vm, va}, {vm, vb, vb, vm}, {vm, vb, vb, vm}};
            for (int c = 0; c < 4; ++c) {
                const int e = js + 1 + c;
                IPGDF(e) = ip;
                ITRIMSV(e) = 2 * ITRIMSV(js);
                ITRMIDX(e) = 0;
                for (int k = 1; k <= 4; ++k) TRMRNG1(k, e) = QU[c][k - 1], TRMRNG2(k, e) = QV[c][k - 1];
            }
            ITRIMSV(js) = -1;
        }
    }
    for (int e = js; e <= IPGDF.extent(1); ++e)
        if (ITRMIDX(e) == 0 && ITRIMSV(e) != -1) {
            ERRMSG(" Warning: trimming visit limit reached, sub-patch left unclassified, NPATCH=", IPGDF(e));
            break;
        }

    // Drop the dry entries and the subdivided ones.
    for (int e = 1; e <= IPGDF.extent(1);) {
        if (ITRIMSV(e) == -1) {
            TRIMWLH(-1, e, IERR);
            if (IERR != 0) return;
        } else {
            ++e;
        }
    }

    // Bilinear maps of the sub-patches and the bodies' ranges.
    NPATCHW = static_cast<int>(IPGDF.extent(1));
    for (int ib = 1; ib <= nb; ++ib) NPATCHB(ib) = 0;
    int first = 1, prev = 0;
    for (int e = 1; e <= NPATCHW; ++e) {
        const float U1 = TRMRNG1(1, e), U2 = TRMRNG1(2, e), U3 = TRMRNG1(3, e), U4 = TRMRNG1(4, e);
        const float V1 = TRMRNG2(1, e), V2 = TRMRNG2(2, e), V3 = TRMRNG2(3, e), V4 = TRMRNG2(4, e);
        TRMMAP1(1, e) = 0.25f * (U1 + U2 + U3 + U4), TRMMAP1(2, e) = 0.25f * (V1 + V2 + V3 + V4);
        TRMMAP2(1, e) = 0.25f * (U1 + U2 - U3 - U4), TRMMAP2(2, e) = 0.25f * (V1 + V2 - V3 - V4);
        TRMMAP3(1, e) = 0.25f * (-U1 + U2 + U3 - U4), TRMMAP3(2, e) = 0.25f * (-V1 + V2 + V3 - V4);
        TRMMAP4(1, e) = 0.25f * (-U1 + U2 - U3 + U4), TRMMAP4(2, e) = 0.25f * (-V1 + V2 - V3 + V4);
        const int ib = IBPTH(IPGDF(e));
        if (ib != prev) IPSTART(ib) = first = e;
        prev = ib;
        if (e == NPATCHW || IBPTH(IPGDF(e + 1)) != ib) {
            NPATCHB(ib) = e - first + 1;
            if (cfg::IRR(ib) == 1 && moved(ib))
                ERRMSG(" Warning: IRR=1 and trimmed waterline ITRIMWL=", cfg::ITRIMWL);
        }
    }
    // A body left without a wet patch has no range: it starts where the
    // next body would and counts no patch.  A body with no point deeper
    // than a free-surface patch lies (a bottom lifted into the waterline
    // plane, the slivers of its sides) has no wetted surface either.
    int next = NPATCHW + 1;
    for (int ib = nb; ib >= 1; --ib) {
        if (NPATCHB(ib) > 0) next = IPSTART(ib);
        else IPSTART(ib) = next;
        if (NPATCHB(ib) > 0 && deepest[static_cast<std::size_t>(ib)] < -FSGAP) continue;
        ERRMSG("Error in GDF file, body " + std::to_string(ib) + " (" + fnames::GDFNAME(ib) + "): with the trim " +
                   TRIMTEXT(ib) +
                   " no point of the body lies more than 1.E-4 x ULEN below the free surface, nothing is wet; give "
                   "the body a smaller rise (the sinkage of XTRIM) or a smaller trim",
               0);
        IERR = 1;
    }
    if (IERR != 0) return;
    TRIMIDX(NPATCHR, NPATCHW, IERR);
}

}  // namespace zorva
