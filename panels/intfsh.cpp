// Interior free surface of the higher-order method: one patch from each
// waterline side of a body with IRR = 3 to an inner end, either the centre
// of curvature of a curved side (the patches of a round waterline form a fan)
// or a segment on the mean line of the contour (strips from straight
// sides).  FSPATCH evaluates these patches.
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

namespace zorva {

namespace ifs {

int NFSPAT = 0;
Arr1<int> IFSBP, IFSEDG;
Arr2<float> XFSEND;
Arr1<float> FSLEN;

void reset() {
    NFSPAT = 0;
    IFSBP.deallocate();
    IFSEDG.deallocate();
    XFSEND.deallocate();
    FSLEN.deallocate();
}

}  // namespace ifs

namespace {

constexpr int NEXT[5] = {0, 2, 3, 4, 1};
constexpr float CU[5] = {0, 1, 1, -1, -1}, CV[5] = {0, -1, 1, 1, -1};   // corners
constexpr float MU[5] = {0, 1, 0, -1, 0}, MV[5] = {0, 0, 1, 0, -1};     // side midpoints
constexpr float QU[5] = {0, 1, 0.5f, -1, -0.5f}, QV[5] = {0, -0.5f, 1, 0.5f, -1};  // quarter points

struct SidePoint {
    float x[3];
    float t[2];  // horizontal tangent along the side, unit length (0 when none)
};

// Point and horizontal tangent of body patch IP at (U, V) on side S.
bool side_point(float U, float V, int IB, int IP, int S, SidePoint& p) {
    float vn[3], xu[3], xv[3], aj = 0.0f;
    int ierr = 0;
    BODYGEOM(U, V, IB, IP, p.x, vn, xu, xv, aj, 1, 0, ierr);
    if (ierr != 0) {
        ERRMSG("Error in BODYGEOM on waterline, Patch= ", IP);
        return false;
    }
    const float* d = S == 1 || S == 3 ? xv : xu;
    const float l = std::hypot(d[0], d[1]);
    p.t[0] = l > 0.0f ? d[0] / l : 0.0f;
    p.t[1] = l > 0.0f ? d[1] / l : 0.0f;
    return true;
}

float cross2(const float* a, const float* b) { return a[0] * b[1] - a[1] * b[0]; }
float dot2(const float* a, const float* b) { return a[0] * b[0] + a[1] * b[1]; }

// Intersection of the normals of the side (lines through a point
// perpendicular to its tangent) at A and B; false when they are parallel.
bool normals_meet(const SidePoint& a, const SidePoint& b, float* c) {
    const float d = cross2(a.t, b.t);
    if (std::fabs(d) < 0.001f) return false;
    // (c - a.x) . a.t = 0 and (c - b.x) . b.t = 0.
    const float ra = a.t[0] * a.x[0] + a.t[1] * a.x[1], rb = b.t[0] * b.x[0] + b.t[1] * b.x[1];
    c[0] = (ra * b.t[1] - rb * a.t[1]) / d;
    c[1] = (rb * a.t[0] - ra * b.t[0]) / d;
    return true;
}

}  // namespace

void INTFSH(std::array<int, 2> ISXY, int& IERR) {
    using namespace model;
    using namespace ifs;
    IERR = 0;
    WLINESH(0, ISXY, 0, IERR);
    if (IERR != 0) return;
    const int nseg = wl::NSEGWL;
    auto alloc_fail = [&] {
        ERRMSG(" Allocation error in INTFSH, waterline segments ", 0);
        IERR = 1;
    };
    const int cap = std::max(nseg, 1);
    if (!FSLEN.allocate(cap) || !IFSBP.allocate(cap) || !IFSEDG.allocate(cap) || !XFSEND.allocate(2, 2 * cap))
        return alloc_fail();
    NFSPAT = 0;

    // The inner ends, per patch k from point 2k-1 to point 2k, in waterline
    // order; a strip meets the end of the strip or fan before it and leaves
    // its end to the side after it, as one chain along each contour.
    enum Kind { NONE, POINT, STRIP, TRANSVERSE };
    Kind kind = NONE;
    float last[2] = {0.0f, 0.0f};
    std::vector<int> pcont;  // contour of each patch
    int cprev = 0;
    for (int i = 1; i <= nseg; ++i) {
        const int ip = wl::IWLSEG(i, 1), s = wl::IWLSEG(i, 2), ic = wl::ICONTWL(i);
        const int ib = IBPTH(ip);
        if (ic != cprev) {
            kind = NONE;
            cprev = ic;
        }
        if (cfg::IRR(ib) != 3) continue;
        const float ym = wl::YMEANWL(ic);
        SidePoint p0, pm, p1;
        if (!side_point(CU[s], CV[s], ib, ip, s, p0) || !side_point(MU[s], MV[s], ib, ip, s, pm) ||
            !side_point(CU[NEXT[s]], CV[NEXT[s]], ib, ip, s, p1)) {
            IERR = 1;
            return;
        }
        const float th1 = std::atan2(cross2(p0.t, pm.t), dot2(p0.t, pm.t));
        const float th2 = std::atan2(cross2(pm.t, p1.t), dot2(pm.t, p1.t));
        const float th = std::max(std::fabs(th1), std::fabs(th2));
        const int k = NFSPAT + 1;
        if (th > 0.5f) {
            // Curved side: a patch to the centre of curvature.
            float c[2];
            if (!normals_meet(p0, p1, c) && !normals_meet(p0, pm, c)) {
                SidePoint pq;
                if (!side_point(QU[s], QV[s], ib, ip, s, pq)) {
                    IERR = 1;
                    return;
                }
                if (!normals_meet(p0, pq, c)) {
                    ERRMSG("Error mapping waterline, Patch= ", ip);
                    IERR = 1;
                    return;
                }
            }
            if (kind == STRIP) {
                XFSEND(1, 2 * k - 2) = c[0];
                XFSEND(2, 2 * k - 2) = c[1];
            }
            IFSBP(k) = ip;
            IFSEDG(k) = s;
            FSLEN(k) = std::hypot(c[0] - pm.x[0], c[1] - pm.x[1]);
            XFSEND(1, 2 * k - 1) = XFSEND(1, 2 * k) = c[0];
            XFSEND(2, 2 * k - 1) = XFSEND(2, 2 * k) = c[1];
            last[0] = c[0];
            last[1] = c[1];
            kind = POINT;
            NFSPAT = k;
            pcont.push_back(ic);
            continue;
        }
        float xs = p0.x[0], xe = p1.x[0];
        if (IPREF(ip) == 2 || IPREF(ip) == 4) std::swap(xs, xe);
        if (th < 0.001f && std::fabs(xs - xe) < 0.1f * std::fabs(p0.x[1] - p1.x[1])) {
            // A straight side running across: no patch; its end nearer the
            // mean line ends the strip before it and starts the one after.
            if (kind != TRANSVERSE) {
                last[0] = std::fabs(p0.x[1] - ym) <= std::fabs(p1.x[1] - ym) ? p0.x[0] : p1.x[0];
                last[1] = ym;
                if (kind == STRIP) {
                    XFSEND(1, 2 * NFSPAT) = last[0];
                    XFSEND(2, 2 * NFSPAT) = last[1];
                }
            }
            kind = TRANSVERSE;
            continue;
        }
        // A strip to the mean line.
        if (kind == STRIP || kind == NONE) {
            XFSEND(1, 2 * k - 1) = xs;
            XFSEND(2, 2 * k - 1) = ym;
        } else {
            XFSEND(1, 2 * k - 1) = last[0];
            XFSEND(2, 2 * k - 1) = last[1];
        }
        IFSBP(k) = ip;
        IFSEDG(k) = -s;
        FSLEN(k) = std::fabs(pm.x[1] - ym);
        XFSEND(1, 2 * k) = last[0] = xe;
        XFSEND(2, 2 * k) = last[1] = ym;
        kind = STRIP;
        NFSPAT = k;
        pcont.push_back(ic);
    }

    // Per contour: a ring of fan patches shares one centre, the mean of
    // their centres; fans and strips together keep to the mean line.
    for (int a = 1; a <= NFSPAT;) {
        int b = a;
        while (b < NFSPAT && pcont[static_cast<std::size_t>(b)] == pcont[static_cast<std::size_t>(a - 1)]) ++b;
        const float ym = wl::YMEANWL(pcont[static_cast<std::size_t>(a - 1)]);
        int npt = 0, nstrip = 0;
        double sx = 0.0, sy = 0.0;
        for (int k = a; k <= b; ++k) {
            if (IFSEDG(k) > 0) {
                ++npt;
                sx += static_cast<double>(XFSEND(1, 2 * k - 1));
                sy += static_cast<double>(XFSEND(2, 2 * k - 1));
            } else {
                ++nstrip;
            }
        }
        for (int k = a; k <= b; ++k)
            for (int e = 2 * k - 1; e <= 2 * k; ++e) {
                if (nstrip == 0 && npt > 1) {
                    XFSEND(1, e) = static_cast<float>(sx / npt);
                    XFSEND(2, e) = static_cast<float>(sy / npt);
                } else if (nstrip > 0 && npt > 0) {
                    XFSEND(2, e) = ym;
                }
            }
        a = b + 1;
    }

    // The new patches after the body patches.
    const int n0 = NPATCHBD, n1 = NPATCHBD + NFSPAT;
    int e = 0;
    GROWBPTH(n1, 0, e);
    if (e == 0) GROWPIR(n1, 0, e);
    if (e == 0 && ITANK.extent(1) < n1) GROWTANK(n1, 0, e);
    // The patch classes are read per patch by the influence integrals
    // whenever they are held: the free-surface patches get class 0.
    if (e == 0 && (cfg::IDIPOLE == 1 || IDIPWM.allocated()) && IDIPWM.extent(1) < n1) GROWDIPW(n1, 0, e);
    if (e != 0) return alloc_fail();
    if (!IWTL.resize_keep(n1) || !IFSPAT.resize_keep_fill(-1, n1) || !ZBDYFS.resize_keep(n1) ||
        (ARCLEN.allocated() && !ARCLEN.resize_keep(n1)) || (WTLARR5.allocated() && !WTLARR5.resize_keep(n1)) ||
        (ITRMIDX.allocated() && ITRMIDX.extent(1) < n1 && !ITRMIDX.resize_keep(n1)))
        return alloc_fail();
    // The trimming tables span all patches, the new ones untrimmed.
    for (Arr2<float>* t : {&TRMRNG1, &TRMRNG2, &TRMMAP1, &TRMMAP2, &TRMMAP3, &TRMMAP4})
        if (t->allocated() && t->extent(2) < n1 && !t->resize_keep_fill(0.0f, t->extent(1), n1)) return alloc_fail();
    for (int k = 1; k <= NFSPAT; ++k) {
        const int q = n0 + k, p = IFSBP(k), ib = IBPTH(p);
        IBPTH(q) = ib;
        ZBDYFS(q) = -cfg::XBODY(3, ib);
        IPIR(q) = IPIR.extent(1) >= p ? IPIR(p) : 0;
        IPRL(q) = IPRL(p);
        IPREF(q) = 1;
        ITRIM(q) = 0;
        IWTL(q) = 0;
        IFSPAT(q) = -1;
        ITANK(q) = 0;
        if (IDIPWM.allocated()) IDIPWM(q) = 0;
    }
    NPATCHW = n1;
    wl::reset();
}

void FSPATCH(float U, float V, int IB, int IP, float* X, float* XU, float* XV, int MODE, int& IERR) {
    using namespace model;
    using namespace ifs;
    IERR = 0;
    const int j = IP - NPATCHLIM;
    const int p = IFSBP(j), e = IFSEDG(j), s = std::abs(e);
    const bool mirror = IPREF(p) == 2 || IPREF(p) == 4;
    const float w = mirror ? -V : V;
    const float eu[5] = {0, 1, -w, -1, w}, ev[5] = {0, w, 1, -w, -1};
    float xe[3], pu[3], pv[3];
    float u = eu[s], v = ev[s];
    // Derivatives are needed for the tangent whatever the caller asked.
    const int mode = MODE == 0 ? 1 : MODE;
    if (MODE != -1 && ITRIM(p) != 0 && ITRMIDX.allocated() && ITRMIDX(p) != 0)
        PATCHWL(u, v, IB, p, xe, pu, pv, mode, 0, IERR);
    else
        PATCHEV(u, v, IB, p, xe, pu, pv, mode, 0, IERR);
    if (IERR != 0) {
        ERRMSG(" Singular mapping on waterline, body IBI=", IB);
        ERRMSG("                             Patch =", p);
        IERR = 1;
        return;
    }
    // Tangent along the edge, in the direction of v.
    float t[2];
    const float sg = mirror ? -1.0f : 1.0f;
    for (int c = 0; c < 2; ++c) {
        const float tv[5] = {0, pv[c], -pu[c], -pv[c], pu[c]};
        t[c] = sg * tv[s];
    }
    float q[2], dq[2] = {0.0f, 0.0f};
    if (e > 0) {
        q[0] = XFSEND(1, 2 * j - 1);
        q[1] = XFSEND(2, 2 * j - 1);
    } else {
        for (int c = 0; c < 2; ++c) {
            const float a0 = XFSEND(c + 1, 2 * j - 1), a1 = XFSEND(c + 1, 2 * j);
            q[c] = 0.5f * ((1.0f - V) * a0 + (1.0f + V) * a1);
            dq[c] = 0.5f * (a1 - a0);
        }
    }
    const float a = 0.5f * (1.0f + U), b = 0.5f * (1.0f - U);
    for (int c = 0; c < 2; ++c) {
        X[c] = a * q[c] + b * xe[c];
        XU[c] = 0.5f * (q[c] - xe[c]);
        XV[c] = a * dq[c] + b * t[c];
    }
    X[2] = -cfg::XBODY(3, IB);
    XU[2] = XV[2] = 0.0f;
}

}  // namespace zorva
