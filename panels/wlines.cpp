// Body waterlines: the sides of a body's panels that lie in the free surface,
// joined end to end into contours (closed loops, or open chains between
// symmetry planes), with the direction of each segment's normal for the
// control surfaces.
#include <algorithm>
#include <cmath>
#include <vector>

#include "common/messages.hpp"
#include "geometry/hogeom.hpp"
#include "geometry/model.hpp"
#include "geometry/modelin.hpp"
#include "geometry/modelmore.hpp"
#include "main/config.hpp"
#include "panels/irrfs.hpp"
#include "panels/paneldata.hpp"

namespace zorva {

namespace wl {

int NSEGWL = 0, NCONTWL = 0;
Arr2<int> IWLSEG;
Arr1<int> ICONTWL;
Arr1<float> TOLWL;
Arr1<float> YMEANWL;
Arr1<int> IFSTWL, ILSTWL;
Arr1<int> ISYMBEG, ISYMEND;
Arr2<float> XWLBEG, XWLEND;
Arr1<float> ANGBEG, ANGEND, ANGVTX;

void reset() {
    NSEGWL = NCONTWL = 0;
    IWLSEG.deallocate();
    ICONTWL.deallocate();
    TOLWL.deallocate();
    YMEANWL.deallocate();
    IFSTWL.deallocate();
    ILSTWL.deallocate();
    ISYMBEG.deallocate();
    ISYMEND.deallocate();
    XWLBEG.deallocate();
    XWLEND.deallocate();
    ANGBEG.deallocate();
    ANGEND.deallocate();
    ANGVTX.deallocate();
}

}  // namespace wl

namespace {

constexpr int NEXT[5] = {0, 2, 3, 4, 1};
constexpr float PI = 3.141593f, HALFPI = 1.570796f, TWOPI = 6.283185f;

// Matching of the end points P(1:2, 1..m) (segment k owns 2k-1 and 2k)
// within the tolerance of their segment: LINK(i) = -1 on the plane x = 0,
// -2 on y = 0, else the partner.  A point on a plane is paired with no
// other.  Returns minus the first point on both planes, else the first
// point without a partner that names it back, else 0.
int match_points(const Arr2<float>& P, const Arr1<float>& tolw, int m, std::array<int, 2> ISXY, Arr1<int>& LINK) {
    LINK.fill(0);
    for (int i = 1; i <= m; ++i) {
        const float tol = tolw((i + 1) / 2);
        if (ISXY[0] == 1 && std::fabs(P(1, i)) < tol) LINK(i) = -1;
        if (ISXY[1] == 1 && std::fabs(P(2, i)) < tol) LINK(i) -= 2;
        if (LINK(i) == -3) return -i;
    }
    for (int i = 1; i <= m; ++i) {
        if (LINK(i) < 0) continue;
        const float tol = tolw((i + 1) / 2);
        for (int j = i + 1; j <= m; ++j) {
            if (LINK(j) < 0) continue;
            if (std::fabs(P(1, i) - P(1, j)) + std::fabs(P(2, i) - P(2, j)) < tol) {
                LINK(i) = j;
                LINK(j) = i;
            }
        }
    }
    for (int i = 1; i <= m; ++i)
        if (LINK(i) == 0 || (LINK(i) > 0 && LINK(LINK(i)) != i)) return i;
    return 0;
}

// The angle A raised or lowered by 2 pi until it lies within pi of PREV.
float continued(float a, float prev) {
    while (a < prev - PI) a += TWOPI;
    while (a > prev + PI) a -= TWOPI;
    return a;
}

// Normal angles at the vertices of contour C (segments I1..I2): the mean of
// the two segments' angles inside, a plane's own direction at an end on a
// plane, and the turn back between the last and the first of a loop.
void vertex_angles(int C, int I1, int I2) {
    using namespace wl;
    for (int i = I1 + 1; i <= I2; ++i) ANGVTX(i) = 0.5f * (ANGBEG(i) + ANGEND(i - 1));
    if (ISYMBEG(C) == 1) ANGVTX(I1) = -HALFPI;
    if (ISYMBEG(C) == 2) ANGVTX(I1) = 0.0f;
    if (ISYMEND(C) == 1) ANGEND(I2) = HALFPI;
    if (ISYMEND(C) == 2) ANGEND(I2) = PI;
    if (ISYMBEG(C) == 0 && ISYMEND(C) == 0) ANGVTX(I1) = 0.5f * (ANGBEG(I1) + ANGEND(I2)) - PI;
}

}  // namespace

void WLINESL(int MODE, std::array<int, 2> ISXY, int IB, int& IERR) {
    using namespace wl;
    using model::NPANB;
    using model::NWLPANB;
    IERR = 0;
    auto alloc_fail = [&] {
        ERRMSG("Allocation error in WLINESL, waterline segments ", 0);
        IERR = 1;
    };
    auto not_closed = [&] {
        ERRMSG("Error -- Waterline is not closed ", 0);
        IERR = 1;
    };
    if (IB < 1 || IB > cfg::NBODY) {
        ERRMSG("Error -- Waterline of an illegal body number, NBODY =", IB);
        IERR = 1;
        return;
    }
    if (IWLSEG.allocated() || model::IBPTH.allocated()) return alloc_fail();

    int f = 1, w0 = 1;
    for (int b = 1; b < IB; ++b) {
        f += NPANB(b);
        w0 += NWLPANB(b);
    }
    int nseg = NWLPANB(IB);
    if (ISXY[0] == 1 && model::ISX == 0) nseg /= 2;
    if (ISXY[1] == 1 && model::ISY == 0) nseg /= 2;
    NSEGWL = nseg;
    NCONTWL = 0;
    const int ntot = f - 1 + NPANB(IB);
    if (!model::IBPTH.allocate(std::max(ntot, 1))) return alloc_fail();
    model::IBPTH.fill(0);

    // Segment collection: end points 2k-1 and 2k of collected segment k.
    const int cap = std::max(nseg, 1);
    Arr2<float> P(2, 2 * cap);
    Arr1<int> LINK(2 * cap), ipan(cap);
    Arr1<float> tolw(cap);
    int n = 0;
    for (int j = 1; j <= nseg; ++j) {
        const int p = model::IWLPAN(w0 + j - 1), s = model::IWLSIDE(w0 + j - 1);
        const int g = f + p - 1;
        model::IBPTH(g) = IB;
        if (model::ITANK.extent(1) >= g && model::ITANK(g) != 0) continue;
        if (model::IDIPSYM == 1 && model::IDIPWM.extent(1) >= g && model::IDIPWM(g) != 0) continue;
        ++n;
        ipan(n) = g;
        const int vtx[2] = {s, NEXT[s]};
        for (int e = 0; e < 2; ++e) {
            const int v = vtx[e];
            float xg[3], xb[3];
            for (int c = 1; c <= 3; ++c)
                xg[c - 1] = pnl::PCENT(c, g) + pnl::PNLARR6(v, g) * pnl::PAXES(1, c, g) +
                            pnl::PNLARR5(v, g) * pnl::PAXES(2, c, g);
            xg[2] = 0.0f;
            GLB2BODY(xg, xb, IB);
            P(1, 2 * n - 1 + e) = xb[0];
            P(2, 2 * n - 1 + e) = xb[1];
        }
        float lmax = 1.0f;
        for (int k = 1; k <= 4; ++k) lmax = std::max(lmax, pnl::PNLARR4(k, g));
        tolw(n) = cfg::TOLGAPWL * lmax;
    }
    NSEGWL = n;
    const int m = 2 * n;

    // End-point matching.  A point on a symmetry plane keeps its plane code
    // and is paired with no other point.
    const int bad = match_points(P, tolw, m, ISXY, LINK);
    if (bad < 0) {
        ERRMSG("Error -- Waterline vertex on both symmetry planes, Patch =", ipan((-bad + 1) / 2));
        IERR = 1;
        return;
    }
    if (bad > 0) {
        return not_closed();
    }

    // Ordering by end points into contours.
    if (!IWLSEG.allocate(cap, 2) || !ICONTWL.allocate(cap) || !IFSTWL.allocate(cap) || !ILSTWL.allocate(cap) ||
        !ISYMBEG.allocate(cap) || !ISYMEND.allocate(cap))
        return alloc_fail();
    std::vector<char> seen(static_cast<std::size_t>(m + 1), 0);
    int i = 0, ic = 0;
    for (;;) {
        int u = 0;
        for (int q = 1; q <= m && u == 0; q += 2)
            if (!seen[q] && LINK(q) < 0) u = q;
        if (u == 0) {
            // No start on a plane is left; an end point on a plane that is
            // still unvisited belongs to a chain that cannot be started.
            for (int q = 1; q <= m; ++q)
                if (!seen[q] && LINK(q) < 0) {
                    return not_closed();
                }
            for (int q = 1; q <= m && u == 0; q += 2)
                if (!seen[q]) u = q;
        }
        if (u == 0) break;
        ++ic;
        IFSTWL(ic) = i + 1;
        ISYMBEG(ic) = LINK(u) < 0 ? -LINK(u) : 0;
        ISYMEND(ic) = 0;
        int entry = u;
        for (;;) {
            if (i >= n) {
                return not_closed();
            }
            const int other = entry % 2 == 1 ? entry + 1 : entry - 1;
            seen[entry] = seen[other] = 1;
            ++i;
            ICONTWL(i) = ic;
            IWLSEG(i, 1) = entry;
            IWLSEG(i, 2) = other;
            ILSTWL(ic) = i;
            const int l = LINK(other);
            if (l < 0) {
                ISYMEND(ic) = -l;
                break;
            }
            if (l == u) break;
            if (seen[l]) {
                return not_closed();
            }
            entry = l;
        }
    }
    NCONTWL = ic;

    if (MODE != 1) {
        IFSTWL.deallocate();
        ILSTWL.deallocate();
        return;
    }

    // Contour tables: segment ends, normal angles; collinear neighbours of
    // a contour are merged into one segment.
    if (!TOLWL.allocate(cap) || !XWLBEG.allocate(2, cap) || !XWLEND.allocate(2, cap) || !ANGBEG.allocate(cap) ||
        !ANGEND.allocate(cap) || !ANGVTX.allocate(cap))
        return alloc_fail();
    int o = 0;
    for (int c = 1; c <= NCONTWL; ++c) {
        const int i1 = IFSTWL(c), i2 = ILSTWL(c);
        const int of = o + 1;
        for (int k = i1; k <= i2; ++k) {
            const int a1 = IWLSEG(k, 1), a2 = IWLSEG(k, 2);
            const float dx = P(1, a2) - P(1, a1), dy = P(2, a2) - P(2, a1);
            float a = std::atan2(dy, dx) - HALFPI;
            if (o >= of) {
                // The angle is kept continuous along the contour, whichever
                // way the contour turns.
                if (a < ANGEND(o) - PI) a += TWOPI;
                if (a > ANGEND(o) + PI) a -= TWOPI;
                if (std::fabs(a - ANGBEG(o)) < 0.0001f) {
                    XWLEND(1, o) = P(1, a2);
                    XWLEND(2, o) = P(2, a2);
                    IWLSEG(o, 2) = a2;
                    continue;
                }
            }
            ++o;
            IWLSEG(o, 1) = a1;
            IWLSEG(o, 2) = a2;
            ICONTWL(o) = c;
            TOLWL(o) = tolw((a1 + 1) / 2);
            XWLBEG(1, o) = P(1, a1);
            XWLBEG(2, o) = P(2, a1);
            XWLEND(1, o) = P(1, a2);
            XWLEND(2, o) = P(2, a2);
            ANGBEG(o) = ANGEND(o) = a;
        }
        IFSTWL(c) = of;
        ILSTWL(c) = o;
        vertex_angles(c, of, o);
    }
    NSEGWL = o;
    ICONTWL.deallocate();
}


void WLINESH(int MODE, std::array<int, 2> ISXY, int IB, int& IERR) {
    using namespace wl;
    using namespace model;
    IERR = 0;
    auto alloc_fail = [&] {
        ERRMSG("Allocation error in WLINESH, waterline segments ", 0);
        IERR = 1;
    };
    if (IB < 0 || IB > cfg::NBODY) {
        ERRMSG("Error -- Waterline of an illegal body number, NBODY =", IB);
        IERR = 1;
        return;
    }
    if (IWLSEG.allocated()) return alloc_fail();

    // Patch range.
    int p1 = 1, p2 = NPATCHBD;
    if (IB > 0) {
        p1 = IPSTART(IB);
        if (MODE == 0 || cfg::NBODY == 1) {
            p2 = p1 + NPATCHB(IB) - 1;
        } else {
            int m = 1;
            for (int a = 1; a <= 2; ++a)
                if (IS(a, IB) == 1 && IREFLB(a, IB) == 1) m *= 2;
            p2 = p1 - 1 + m * NPATCH(IB);
            if (cfg::IRR.extent(1) < cfg::NBODY && !cfg::IRR.resize_keep(cfg::NBODY)) return alloc_fail();
        }
    }
    auto contributes = [&](int ip) {
        return IWTL(ip) != 0 && (ITANK.extent(1) < ip || ITANK(ip) == 0) &&
               !(cfg::IDIPOLE == 1 && IDIPWM.extent(1) >= ip && IDIPWM(ip) != 0);
    };
    int nseg = 0;
    for (int ip = p1; ip <= p2; ++ip)
        if (contributes(ip))
            for (int k = 1; k <= 4; ++k) nseg += (IWTL(ip) >> (k - 1)) & 1;
    NSEGWL = nseg;
    NCONTWL = 0;
    const int cap = std::max(nseg, 1);
    Arr2<float> P(2, 2 * cap), NRM(2, 3 * cap);
    Arr1<int> LINK(2 * cap), spat(cap), sside(cap);
    Arr1<float> tolw(cap);
    Arr1<int> yplane(std::max(cfg::NBODY, 1));
    yplane.fill(0);

    // Segment collection: the two corners of each waterline side, in the
    // direction of the patch (reversed on mirror images).
    constexpr float CU[5] = {0, 1, 1, -1, -1}, CV[5] = {0, -1, 1, 1, -1};
    constexpr float MU[5] = {0, 1, 0, -1, 0}, MV[5] = {0, 0, 1, 0, -1};
    int n = 0;
    for (int ip = p1; ip <= p2; ++ip) {
        if (!contributes(ip)) continue;
        const int ib = IBPTH(ip);
        float S[6];
        PSIDLEN(S, ib, ip, IERR);
        if (IERR != 0) {
            ERRMSG(" Error calling PSIDLEN from WLINESH, NPATCH=", ip);
            ERRMSG(" (NBODY=0 indicates all bodies)     NBODY =", IB);
            return;
        }
        const float smax = std::max(1.0f, *std::max_element(S, S + 6));
        for (int k = 1; k <= 4; ++k) {
            if (((IWTL(ip) >> (k - 1)) & 1) == 0) continue;
            ++n;
            spat(n) = ip;
            sside(n) = k;
            tolw(n) = cfg::TOLGAPWL * smax;
            const bool keep = IPREF(ip) == 1 || IPREF(ip) == 3;
            const int c0 = keep ? k : NEXT[k], c1 = keep ? NEXT[k] : k;
            const float pu[3] = {CU[c0], MU[k], CU[c1]}, pv[3] = {CV[c0], MV[k], CV[c1]};
            for (int e = 0; e < 3; ++e) {
                if (e == 1 && MODE != 1) continue;
                float x[3], vn[3], xu[3], xv[3], aj = 0.0f;
                BODYGEOM(pu[e], pv[e], ib, ip, x, vn, xu, xv, aj, 1, 0, IERR);
                if (IERR != 0) {
                    ERRMSG(" Error calling BODYGEOM from WLINESH, NPATCH=", ip);
                    ERRMSG("                                     NBODY =", ib);
                    return;
                }
                if (e != 1) {
                    P(1, 2 * n - 1 + e / 2) = x[0];
                    P(2, 2 * n - 1 + e / 2) = x[1];
                }
                NRM(1, 3 * (n - 1) + e + 1) = vn[0];
                NRM(2, 3 * (n - 1) + e + 1) = vn[1];
            }
        }
    }

    // End-point matching.
    const int m = 2 * n;
    const int bad = match_points(P, tolw, m, ISXY, LINK);
    if (bad < 0) {
        ERRMSG("Error -- Waterline vertex on both symmetry planes, Patch =", spat((-bad + 1) / 2));
        IERR = 1;
        return;
    }
    if (bad > 0) {
        ERRMSG("Error -- Waterline is not closed, NBODY =", IBPTH(spat((bad + 1) / 2)));
        IERR = 1;
        return;
    }
    for (int i = 1; i <= m; ++i)
        if (LINK(i) == -2) yplane(IBPTH(spat((i + 1) / 2))) = 1;

    // Ordering by segments.  An open chain entered in its middle is
    // completed from its start on a plane and rotated to begin there.
    if (!IWLSEG.allocate(cap, 2) || !ICONTWL.allocate(cap) || !YMEANWL.allocate(cap) || !IFSTWL.allocate(cap) ||
        !ILSTWL.allocate(cap) || !ISYMBEG.allocate(cap) || !ISYMEND.allocate(cap))
        return alloc_fail();
    YMEANWL.fill(0.0f);
    std::vector<int> order, entry;  // ordered segments and the end point each is entered by
    std::vector<char> placed(static_cast<std::size_t>(n + 1), 0);
    double ysum = 0.0;
    int ic = 0;
    auto not_closed = [&](int s) {
        ERRMSG("Error -- Waterline is not closed, NBODY =", IBPTH(spat(s)));
        IERR = 1;
    };
    for (int s0 = 1; s0 <= n; ++s0) {
        if (placed[s0]) continue;
        ++ic;
        const int cstart = static_cast<int>(order.size());
        IFSTWL(ic) = cstart + 1;
        ISYMBEG(ic) = LINK(2 * s0 - 1) < 0 ? -LINK(2 * s0 - 1) : 0;
        ISYMEND(ic) = 0;
        int s = s0, in = 2 * s0 - 1, jumped = -1;
        for (;;) {
            placed[s] = 1;
            order.push_back(s);
            entry.push_back(in);
            const int out = in % 2 == 1 ? in + 1 : in - 1;
            ysum += 0.5 * (static_cast<double>(P(2, in)) + static_cast<double>(P(2, out)));
            const int l = LINK(out);
            if (l == 2 * s0 - 1) break;  // closed
            if (l < 0) {
                ISYMEND(ic) = -l;
                if (ISYMBEG(ic) != 0 || jumped >= 0) break;
                int t = 0;
                for (int q = 1; q <= n && t == 0; ++q)
                    if (!placed[q] && LINK(2 * q - 1) < 0) t = q;
                if (t == 0) return not_closed(s);
                ISYMBEG(ic) = -LINK(2 * t - 1);
                jumped = static_cast<int>(order.size());
                s = t;
                in = 2 * t - 1;
                continue;
            }
            s = (l + 1) / 2;
            if (placed[s]) return not_closed(s);
            in = l;
        }
        if (jumped >= 0) {
            std::rotate(order.begin() + cstart, order.begin() + jumped, order.end());
            std::rotate(entry.begin() + cstart, entry.begin() + jumped, entry.end());
        }
        const int last = static_cast<int>(order.size());
        ILSTWL(ic) = last;
        for (int i = cstart + 1; i <= last; ++i) ICONTWL(i) = ic;
        // Mean line: the running mean of the segment midpoints' y; a body cut
        // by the plane y = 0 keeps 0.
        if (yplane(IBPTH(spat(order.back()))) == 0) YMEANWL(ic) = static_cast<float>(ysum / last);
    }
    NCONTWL = ic;
    for (int i = 1; i <= n; ++i) {
        IWLSEG(i, 1) = spat(order[static_cast<std::size_t>(i - 1)]);
        IWLSEG(i, 2) = sside(order[static_cast<std::size_t>(i - 1)]);
    }

    if (MODE != 1) {
        IFSTWL.deallocate();
        ILSTWL.deallocate();
        ISYMBEG.deallocate();
        ISYMEND.deallocate();
        return;
    }

    // Contour tables: segment ends and the horizontal angle of the outward
    // normal at the start, middle and end of each segment, continuous along
    // the contour.
    if (!TOLWL.allocate(cap) || !XWLBEG.allocate(2, cap) || !XWLEND.allocate(2, cap) || !ANGBEG.allocate(cap) ||
        !ANGEND.allocate(cap) || !ANGVTX.allocate(cap))
        return alloc_fail();
    for (int c = 1; c <= NCONTWL; ++c) {
        const int i1 = IFSTWL(c), i2 = ILSTWL(c);
        for (int i = i1; i <= i2; ++i) {
            const int sg = order[static_cast<std::size_t>(i - 1)], in = entry[static_cast<std::size_t>(i - 1)];
            const int out = in % 2 == 1 ? in + 1 : in - 1;
            const bool fwd = in % 2 == 1;
            TOLWL(i) = tolw(sg);
            XWLBEG(1, i) = P(1, in);
            XWLBEG(2, i) = P(2, in);
            XWLEND(1, i) = P(1, out);
            XWLEND(2, i) = P(2, out);
            const int ks = 3 * (sg - 1) + (fwd ? 1 : 3), km = 3 * (sg - 1) + 2, ke = 3 * (sg - 1) + (fwd ? 3 : 1);
            float a = std::atan2(-NRM(2, ks), -NRM(1, ks));
            float b = std::atan2(-NRM(2, km), -NRM(1, km));
            float e = std::atan2(-NRM(2, ke), -NRM(1, ke));
            if (i > i1) a = continued(a, ANGEND(i - 1));
            b = continued(b, a);
            e = continued(e, b);
            ANGBEG(i) = a;
            ANGEND(i) = e;
        }
        vertex_angles(c, i1, i2);
    }
    ICONTWL.deallocate();
    YMEANWL.deallocate();
}

}  // namespace zorva
