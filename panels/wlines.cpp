// Body waterlines: the sides of a body's panels that lie in the free surface,
// joined end to end into contours (closed loops, or open chains between
// symmetry planes), with the direction of each segment's normal for the
// control surfaces.
#include <algorithm>
#include <cmath>
#include <vector>

#include "common/messages.hpp"
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
    LINK.fill(0);
    for (int i = 1; i <= m; ++i) {
        const float tol = tolw((i + 1) / 2);
        if (ISXY[0] == 1 && std::fabs(P(1, i)) < tol) LINK(i) = -1;
        if (ISXY[1] == 1 && std::fabs(P(2, i)) < tol) LINK(i) -= 2;
        if (LINK(i) == -3) {
            ERRMSG("Error -- Waterline vertex on both symmetry planes, Patch =", ipan((i + 1) / 2));
            IERR = 1;
            return;
        }
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
    // Every point needs a partner that names it back, or a plane.
    for (int i = 1; i <= m; ++i) {
        if (LINK(i) == 0 || (LINK(i) > 0 && LINK(LINK(i)) != i)) {
            ERRMSG("Error -- Waterline is not closed ", 0);
            IERR = 1;
            return;
        }
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
                    ERRMSG("Error -- Waterline is not closed ", 0);
                    IERR = 1;
                    return;
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
                ERRMSG("Error -- Waterline is not closed ", 0);
                IERR = 1;
                return;
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
                ERRMSG("Error -- Waterline is not closed ", 0);
                IERR = 1;
                return;
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
        for (int k = of + 1; k <= o; ++k) ANGVTX(k) = 0.5f * (ANGBEG(k) + ANGEND(k - 1));
        if (ISYMBEG(c) == 1) ANGVTX(of) = -HALFPI;
        if (ISYMBEG(c) == 2) ANGVTX(of) = 0.0f;
        if (ISYMEND(c) == 1) ANGEND(o) = HALFPI;
        if (ISYMEND(c) == 2) ANGEND(o) = PI;
        if (ISYMBEG(c) == 0 && ISYMEND(c) == 0) ANGVTX(of) = 0.5f * (ANGBEG(of) + ANGEND(o)) - PI;
    }
    NSEGWL = o;
    ICONTWL.deallocate();
}

// The higher-order half waits for the evaluation of body patches.
void WLINESH(int, std::array<int, 2>, int, int& IERR) {
    ERRMSG("Waterlines of higher-order bodies (WLINESH) are not available in this build", 0);
    IERR = 1;
}

}  // namespace zorva
