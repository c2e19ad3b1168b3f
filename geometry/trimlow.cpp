// Waterline trimming of low-order bodies: move, classify, cut and split.
#include "geometry/trimlow.hpp"

#include <algorithm>
#include <cmath>

#include "common/messages.hpp"
#include "geometry/model.hpp"
#include "geometry/modelin.hpp"
#include "main/config.hpp"

namespace zorva {

using namespace model;

namespace {

constexpr int NEXT[5] = {0, 2, 3, 4, 1};
constexpr int PREV[5] = {0, 4, 1, 2, 3};
constexpr int OPP[5] = {0, 3, 4, 1, 2};

struct V3 {
    float x[3];
};

V3 vert(int p, int k) { return {{XVER(k, 1, p), XVER(k, 2, p), XVER(k, 3, p)}}; }
void set_vert(int p, int k, const V3& v) {
    for (int c = 1; c <= 3; ++c) XVER(k, c, p) = v.x[c - 1];
}

// Point where the edge (a, b) crosses the level ZL.  When its wet end lies
// on the waterline, that end itself: a crossing a hair away from it would
// leave an edge too short to be a waterline segment but long enough to be
// taken for one, and three vertices of the panel on the free surface.
V3 cut(const V3& a, const V3& b, float ZL) {
    const float A = a.x[2] - ZL, B = b.x[2] - ZL;
    if (B == A) return a;  // both ends at one level: no crossing to find
    if (A < 0.0f && A > -ONWL) return a;
    if (B < 0.0f && B > -ONWL) return b;
    V3 r;
    for (int c = 0; c < 3; ++c) r.x[c] = (a.x[c] * B - b.x[c] * A) / (B - A);
    return r;
}

// Two adjacent dry vertices K and next(K): each is moved to the crossing of
// the edge that joins it to its wet neighbour.
void two_dry(int p, int K, float ZL) {
    const int Q = NEXT[K];
    const V3 nk = cut(vert(p, PREV[K]), vert(p, K), ZL);
    const V3 nq = cut(vert(p, Q), vert(p, OPP[K]), ZL);
    set_vert(p, K, nk);
    set_vert(p, Q, nq);
}

// Level of panel IP: its tank's own free surface where one is given.
float level(int IP, float ZFS) {
    const int t = ITANK(IP);
    if (t != 0 && cfg::IZTANKFS == 1 && t >= 1 && t <= cfg::ZTANKFS.extent(1)) return cfg::ZTANKFS(t) + ZFS;
    return ZFS;
}

// The three panel arrays with count -1 (delete IP) or +1 (copy IP to IP+1).
void services(int n, int IP, int IB, int& IERR) {
    GROWXVER(n, IP, IERR);
    if (IERR == 0) GROWTANK(n, IP, IERR);
    if (IERR != 0) return;
    if (IDIPWM(IP) == 1) NPAND(IB) += n;
    GROWDIPW(n, IP, IERR);
}

}  // namespace

void DELPAN(int& IP, int& NPAN, float ZL, int IB, int& IERR) {
    IERR = 0;
    float c[3] = {0, 0, 0}, a[3], b[3];
    for (int d = 1; d <= 3; ++d) {
        c[d - 1] = 0.25f * (XVER(1, d, IP) + XVER(2, d, IP) + XVER(3, d, IP) + XVER(4, d, IP));
        a[d - 1] = XVER(1, d, IP) + XVER(2, d, IP) - XVER(3, d, IP) - XVER(4, d, IP);
        b[d - 1] = XVER(1, d, IP) + XVER(4, d, IP) - XVER(2, d, IP) - XVER(3, d, IP);
    }
    float A = 0.0f;
    const float la = std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]);
    float n[3] = {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
    const float ln = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (la > 0.0f && ln > 0.0f) {
        float e1[3], e2[3];
        for (int d = 0; d < 3; ++d) {
            e1[d] = a[d] / la;
            n[d] /= ln;
        }
        e2[0] = n[1] * e1[2] - n[2] * e1[1];
        e2[1] = n[2] * e1[0] - n[0] * e1[2];
        e2[2] = n[0] * e1[1] - n[1] * e1[0];
        float xi[5], eta[5];
        for (int k = 1; k <= 4; ++k) {
            xi[k] = eta[k] = 0.0f;
            for (int d = 1; d <= 3; ++d) {
                const float v = XVER(k, d, IP) - c[d - 1];
                xi[k] += v * e1[d - 1];
                eta[k] += v * e2[d - 1];
            }
        }
        for (int k = 1; k <= 4; ++k) A += 0.5f * (xi[NEXT[k]] - xi[k]) * (eta[k] + eta[NEXT[k]]);
    }
    float D = 1.0f;
    for (int k = 1; k <= 4; ++k) D = std::min(D, XVER(k, 3, IP) - ZL);
    if (D > -2.0E-6f || !(A >= 1.0E-10f)) {
        services(-1, IP, IB, IERR);
        if (IERR != 0) return;
        --IP;
        --NPAN;
    }
}

void TRIMGDF(int IFIRST, int& NPAN, float ZFS, int IB, int& IERR) {
    if (NPAN < 1) return;
    const int N = NPAN;
    // The class and tank arrays move in step with XVER below: they must
    // hold an entry for every panel (a reflection may have left the class
    // array shorter).
    const int last = IFIRST + NPAN - 1;
    int ierr = 0;
    if (!ITANK.allocated() || ITANK.extent(1) < last) GROWTANK(last, 0, ierr);
    if (ierr == 0 && (!IDIPWM.allocated() || IDIPWM.extent(1) < last)) GROWDIPW(last, 0, ierr);
    if (ierr != 0) {
        IERR = ierr;
        ERRMSG("RAM is not sufficient to allocate arrays from GDF file ", 0);
        return;
    }
    const float ct = TRIMCS(1, IB), st = TRIMCS(2, IB), cp = TRIMCS(3, IB), sp = TRIMCS(4, IB);
    const float sink = cfg::XTRIM(1, IB);
    int IP = IFIRST - 1;
    for (int pass = 1; pass <= N; ++pass) {
        ++IP;
        const float ZL = level(IP, ZFS);
        for (int k = 1; k <= 4; ++k) {
            const float x = XVER(k, 1, IP), y = XVER(k, 2, IP), z = XVER(k, 3, IP);
            XVER(k, 1, IP) = ct * x + st * sp * y + st * cp * z;
            XVER(k, 2, IP) = cp * y - sp * z;
            XVER(k, 3, IP) = -st * x + ct * sp * y + ct * cp * z + sink;
        }
        if (ITANK(IP) != 0 && cfg::IZTANKFS != 1) continue;  // a tank without its own level is not cut

        bool dry[5] = {false, false, false, false, false};
        int ndry = 0, K1 = 0, KW = 0;
        for (int k = 1; k <= 4; ++k) {
            dry[k] = !(XVER(k, 3, IP) < ZL);
            if (dry[k]) {
                ++ndry;
                if (K1 == 0) K1 = k;
            } else {
                KW = k;
            }
        }
        if (KW == 3) K1 = 4;

        if (ndry == 0) continue;
        if (ndry == 4) {
            services(-1, IP, IB, IERR);
            if (IERR != 0) break;
            --IP;
            --NPAN;
            continue;
        }
        if (ndry == 2 && dry[OPP[K1]]) {
            // Two opposite dry corners: the panel is split along the diagonal
            // of its wet corners W1, W2 and each triangle keeps its wet part,
            // so that no dry vertex is left.
            const int W1 = NEXT[K1], D2 = OPP[K1], W2 = PREV[K1];
            const V3 k1 = vert(IP, K1), w1 = vert(IP, W1), d2 = vert(IP, D2), w2 = vert(IP, W2);
            services(1, IP, IB, IERR);
            if (IERR != 0) break;
            ++NPAN;
            set_vert(IP, K1, cut(w2, k1, ZL));
            set_vert(IP, W1, cut(k1, w1, ZL));
            set_vert(IP, D2, w1);
            set_vert(IP, W2, w2);
            DELPAN(IP, NPAN, ZL, IB, IERR);
            if (IERR != 0) break;
            ++IP;
            set_vert(IP, K1, w2);
            set_vert(IP, W1, w1);
            set_vert(IP, D2, cut(w1, d2, ZL));
            set_vert(IP, W2, cut(d2, w2, ZL));
            DELPAN(IP, NPAN, ZL, IB, IERR);
            if (IERR != 0) break;
            continue;
        }
        if (ndry == 2) {
            two_dry(IP, K1, ZL);
        } else if (ndry == 3) {
            const int W = KW, Q = NEXT[W], P = PREV[W];
            const V3 w = vert(IP, W);
            const V3 nq = cut(w, vert(IP, Q), ZL), np = cut(w, vert(IP, P), ZL);
            set_vert(IP, Q, nq);
            set_vert(IP, P, np);
            set_vert(IP, OPP[W], nq);
        } else {
            const int K = K1, P = PREV[K], Q = NEXT[K], O = OPP[K];
            auto d2 = [&](int a, int b) {
                float s = 0.0f;
                for (int c = 1; c <= 3; ++c) s += (XVER(a, c, IP) - XVER(b, c, IP)) * (XVER(a, c, IP) - XVER(b, c, IP));
                return s;
            };
            if (ZL - XVER(Q, 3, IP) < 2.0E-6f) {
                two_dry(IP, K, ZL);
            } else if (ZL - XVER(P, 3, IP) < 2.0E-6f) {
                two_dry(IP, P, ZL);
            } else if (d2(P, O) < 1.0E-12f) {
                set_vert(IP, P, vert(IP, K));
                two_dry(IP, P, ZL);
            } else if (d2(Q, O) < 1.0E-12f) {
                set_vert(IP, Q, vert(IP, K));
                two_dry(IP, K, ZL);
            } else {
                // Split: the triangle P, P1, O and the quadrilateral P1, P2, Q, O.
                const V3 p1 = cut(vert(IP, P), vert(IP, K), ZL), p2 = cut(vert(IP, K), vert(IP, Q), ZL);
                services(1, IP, IB, IERR);
                if (IERR != 0) break;
                ++NPAN;
                set_vert(IP, K, p1);
                set_vert(IP, Q, vert(IP, O));
                DELPAN(IP, NPAN, ZL, IB, IERR);
                if (IERR != 0) break;
                ++IP;
                set_vert(IP, K, p2);
                set_vert(IP, P, p1);
            }
        }
        DELPAN(IP, NPAN, ZL, IB, IERR);
        if (IERR != 0) break;
    }
    if (IERR != 0) ERRMSG("RAM is not sufficient to allocate arrays from GDF file ", 0);
}

}  // namespace zorva
