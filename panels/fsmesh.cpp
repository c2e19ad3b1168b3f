// Free-surface mesher: an advancing front of triangles that fills one
// closed waterline contour with flat panels in the plane of the free
// surface.  The contour is resampled into boundary nodes of about the target
// side H; the front starts as the chain of boundary edges, and each step
// closes the first front edge with a third node (an existing front node or
// a newly placed one), writes one panel and updates the front, until the
// front is empty.  A boundary edge that cuts across several contour points
// keeps the most outlying of them, which can turn the triangle on that edge
// into a quadrilateral.
#include <algorithm>
#include <cmath>

#include "common/messages.hpp"
#include "geometry/model.hpp"
#include "geometry/modelin.hpp"
#include "panels/irrfs.hpp"

namespace zorva {

namespace {

// Work arrays of one call; they live only during it.
struct FsWork {
    Arr2<float> FSNODE;    // node coordinates
    Arr2<float> FSBULGE;   // per boundary node: kept outlying point of edge k -> k+1
    Arr1<int> NFSSKIP;     // per boundary node: contour points merged into edge k -> k+1
    Arr1<int> IFSCPT;      // per boundary node: contour index of the point at the node
    Arr2<int> IFSFRONT;    // directed edges that ever belonged to the front
    Arr2<int> IFSEDGE;     // every mesh edge made so far
    Arr1<int> IFSORD;      // the current front: positions into IFSFRONT, entry 1 active
    Arr1<int> IFSNEAR, IFSFAR, IFSCAND;
    Arr1<float> FSNEARD, FSFARD;
};

long twice(int NREQ, long cur) { return 2L * std::max<long>(NREQ, cur); }

// Grow-and-keep of the work arrays: capacity twice the larger of the
// request and the present extent.
void GROWFS1(FsWork& w, int NREQ, int& NCAP, int& IERR) {
    const long n = twice(NREQ, w.FSNODE.extent(2));
    IERR = w.FSNODE.resize_keep(2, n) ? 0 : 1;
    NCAP = static_cast<int>(n);
}
void GROWFS2(FsWork& w, int NREQ, int& NCAP, int& IERR) {
    const long n = twice(NREQ, w.IFSCPT.extent(1));
    IERR = w.IFSCPT.resize_keep(n) ? 0 : 1;
    NCAP = static_cast<int>(n);
}
void GROWFS3(FsWork& w, int NREQ, int& NCAP, int& IERR) {
    const long n = twice(NREQ, w.IFSFAR.extent(1));
    IERR = w.IFSFAR.resize_keep(n) && w.FSFARD.resize_keep(n) ? 0 : 1;
    NCAP = static_cast<int>(n);
}
void GROWFS4(FsWork& w, int NREQ, int& NCAP, int& IERR) {
    const long n = twice(NREQ, w.IFSNEAR.extent(1));
    IERR = w.IFSNEAR.resize_keep(n) && w.FSNEARD.resize_keep(n) ? 0 : 1;
    NCAP = static_cast<int>(n);
}
void GROWFS5(FsWork& w, int NREQ, int& NCAP, int& IERR) {
    const long n = twice(NREQ, w.IFSCAND.extent(1));
    IERR = w.IFSCAND.resize_keep(n) ? 0 : 1;
    NCAP = static_cast<int>(n);
}
void GROWFS6(FsWork& w, int NREQ, int& NCAP, int& IERR) {
    const long n = twice(NREQ, w.IFSORD.extent(1));
    IERR = w.IFSORD.resize_keep(n) ? 0 : 1;
    NCAP = static_cast<int>(n);
}
void GROWFS7(FsWork& w, int NREQ, int& NCAP, int& IERR) {
    const long n = twice(NREQ, w.IFSFRONT.extent(2));
    IERR = w.IFSFRONT.resize_keep(2, n) && w.IFSEDGE.resize_keep(2, n) ? 0 : 1;
    NCAP = static_cast<int>(n);
}
void GROWFS8(FsWork& w, int NREQ, int& NCAP, int& IERR) {
    const long n = twice(NREQ, w.FSBULGE.extent(2));
    IERR = w.FSBULGE.resize_keep(2, n) ? 0 : 1;
    NCAP = static_cast<int>(n);
}
void GROWFS9(FsWork& w, int NREQ, int& NCAP, int& IERR) {
    const long n = twice(NREQ, w.NFSSKIP.extent(1));
    IERR = w.NFSSKIP.resize_keep(n) ? 0 : 1;
    NCAP = static_cast<int>(n);
}

float dist(float ax, float ay, float bx, float by) { return std::hypot(bx - ax, by - ay); }

// Does the new edge from node NX to node NV (points X, V) cross the
// existing edge (E1, E2)?  H sets the tolerances.
bool crosses(const Arr2<float>& P, int NX, int NV, int E1, int E2, float H) {
    // An edge that is the existing edge itself (either direction) closes
    // the front there; it is no crossing.
    if ((E1 == NX && E2 == NV) || (E1 == NV && E2 == NX)) return false;
    const float tpar = 1.0E-6f * H, tcr = 0.001f * H;
    const float xa = P(1, NX), ya = P(2, NX), xb = P(1, NV), yb = P(2, NV);
    const float xc = P(1, E1), yc = P(2, E1), xd = P(1, E2), yd = P(2, E2);
    // Each segment as the line p y + q x = r.
    auto line = [&](float x1, float y1, float x2, float y2, float& p, float& q, float& r) {
        if (std::fabs(x2 - x1) < tpar) {
            p = 0.0f;
            q = 1.0f;
            r = x1;
        } else {
            const float s = (y2 - y1) / (x2 - x1);
            p = 1.0f;
            q = -s;
            r = y1 - s * x1;
        }
    };
    float pn, qn, rn, po, qo, ro;
    line(xa, ya, xb, yb, pn, qn, rn);
    line(xc, yc, xd, yd, po, qo, ro);
    auto inside = [](float v, float a, float b, float t) { return v > std::min(a, b) + t && v < std::max(a, b) - t; };
    const float det = qn * po - pn * qo;
    if (std::fabs(det) >= tpar) {
        float x, y;
        if (E1 == NV || E1 == NX) {
            x = xc;
            y = yc;
        } else if (E2 == NV || E2 == NX) {
            x = xd;
            y = yd;
        } else {
            // p_n y + q_n x = r_n and p_o y + q_o x = r_o.
            x = (rn * po - ro * pn) / det;
            y = (qn * ro - qo * rn) / det;
        }
        const bool in_old = inside(x, xc, xd, tcr) || inside(y, yc, yd, tcr);
        const bool in_new = inside(x, xa, xb, tpar) || inside(y, ya, yb, tpar);
        return in_old && in_new;
    }
    // Parallel lines: they cross when they coincide and their ranges overlap.
    auto overlap = [](float a1, float a2, float b1, float b2) {
        return std::max(std::min(a1, a2), std::min(b1, b2)) < std::min(std::max(a1, a2), std::max(b1, b2));
    };
    const bool horiz = pn != 0.0f && po != 0.0f && std::fabs(qn) < 1.0f && std::fabs(qo) < 1.0f;
    if (horiz) {
        if (std::fabs(pn * ro - po * rn) < tpar) return overlap(xa, xb, xc, xd);
        return false;
    }
    if (std::fabs(qn * ro - qo * rn) < tpar) return overlap(ya, yb, yc, yd);
    return false;
}

// Inserts (I, KEY) into the ascending list (IL, DL) of N entries, after the
// entries of equal key.
void insert_sorted(Arr1<int>& IL, Arr1<float>& DL, int N, int I, float KEY) {
    int j = N;
    while (j >= 1 && DL(j) > KEY) {
        IL(j + 1) = IL(j);
        DL(j + 1) = DL(j);
        --j;
    }
    IL(j + 1) = I;
    DL(j + 1) = KEY;
}

}  // namespace

void FSTRIANG(const float* P0, const float* P1, const float* P2, float& CMAX, float& CNEG2, float& D02,
              float& D12, float D01) {
    D02 = dist(P0[0], P0[1], P2[0], P2[1]);
    D12 = dist(P1[0], P1[1], P2[0], P2[1]);
    const float a = D01 * D01, b = D02 * D02, c = D12 * D12;
    CNEG2 = (a - b - c) / (2.0f * D02 * D12);
    const float c0 = (a + b - c) / (2.0f * D01 * D02);
    const float c1 = (a - b + c) / (2.0f * D01 * D12);
    CMAX = std::max({std::fabs(CNEG2), std::fabs(c0), std::fabs(c1)});
}

void FSDIST(const Arr2<float>& FSNODE, int ICP, float& S, const Arr2<float>& XYWL, int K, float TOL) {
    const float x1 = FSNODE(1, K), y1 = FSNODE(2, K), x2 = FSNODE(1, K + 1), y2 = FSNODE(2, K + 1);
    const float xp = XYWL(1, ICP + 1), yp = XYWL(2, ICP + 1);
    const float l = dist(x1, y1, x2, y2);
    S = l > 0.0f ? ((x2 - x1) * (yp - y1) - (y2 - y1) * (xp - x1)) / l : -1.0f;
    if (S < TOL) S = -1.0f;
}

void FSMESH(float ZBODY, int& NFSP, int& NPANMAX, int IFIRST, float FSSIZE, Arr2<float>& XYWL, int NWL, int NPANB,
            int NNODE0, int NBND0, int NLIST0, float FSFACT, int& IERR) {
    using model::XVER;
    IERR = 0;
    NFSP = 0;
    const int N = NWL;
    const int limit = NPANB > 0 && NPANB < (1 << 29) ? 2 * NPANB : 0;
    if (limit <= 0) {
        ERRMSG("Number of free-surface panels exceeds limit ", limit);
        IERR = 1;
        return;
    }
    // The contour must hold its closing point; a shorter array is refused
    // rather than written past.
    if (N < 1 || XYWL.extent(1) < 2 || XYWL.extent(2) < N + 1) {
        ERRMSG("Free-surface contour array holds fewer points than the contour and its closing point, NWL=", N);
        IERR = 1;
        return;
    }
    FsWork w;
    int capn = std::max(NNODE0, 8), capb = std::max(NBND0, 8), capl = std::max(NLIST0, 4);
    int cape = capn, capo = capn, capf = capl, capr = capl, capc = capl, capbk = capb, capsk = capn, cappt = capb;
    if (!w.FSNODE.allocate(2, capn) || !w.FSBULGE.allocate(2, capb) || !w.NFSSKIP.allocate(capn) ||
        !w.IFSCPT.allocate(capb) || !w.IFSFRONT.allocate(2, capn) || !w.IFSEDGE.allocate(2, capn) ||
        !w.IFSORD.allocate(capn) || !w.IFSNEAR.allocate(capl) || !w.FSNEARD.allocate(capl) ||
        !w.IFSFAR.allocate(capl) || !w.FSFARD.allocate(capl) || !w.IFSCAND.allocate(capl)) {
        IERR = 1;
        return;
    }
    auto& P = w.FSNODE;
    const float H = FSFACT * FSSIZE;
    const float HSHORT = 0.5f * H, HLONG = 1.5f * H, HSEARCH = 4.0f * H, TOLC = 0.001f * H;

    // Node k exists with room for the bookkeeping of a boundary node.
    auto need_node = [&](int k) {
        int e = 0;
        if (k > capn) GROWFS1(w, k, capn, e);
        if (e == 0 && k > cappt) GROWFS2(w, k, cappt, e);
        if (e == 0 && k > capbk) GROWFS8(w, k, capbk, e);
        if (e == 0 && k > capsk) {
            const int old = capsk;
            GROWFS9(w, k, capsk, e);
            for (int i = old + 1; e == 0 && i <= capsk; ++i) w.NFSSKIP(i) = 0;
        }
        if (e != 0) IERR = 1;
        return e == 0;
    };

    // 1. Boundary nodes.
    XYWL(1, N + 1) = XYWL(1, 1);
    XYWL(2, N + 1) = XYWL(2, 1);
    w.NFSSKIP.fill(0);
    P(1, 1) = XYWL(1, 1);
    P(2, 1) = XYWL(2, 1);
    int k = 1, m = 0;
    float ax = 0.0f, ay = 0.0f;
    for (int i = 1; i <= N; ++i) {
        const float x0 = XYWL(1, i), y0 = XYWL(2, i), x1 = XYWL(1, i + 1), y1 = XYWL(2, i + 1);
        const float L = m == 0 ? dist(x0, y0, x1, y1) : dist(ax, ay, x1, y1);
        if (L > HLONG) {
            const int n = static_cast<int>(L / HLONG) + 1;
            for (int j = 1; j <= n; ++j) {
                ++k;
                if (!need_node(k + 1)) return;
                const float t = static_cast<float>(j) / static_cast<float>(n);
                P(1, k) = j == n ? x1 : x0 + t * (x1 - x0);
                P(2, k) = j == n ? y1 : y0 + t * (y1 - y0);
            }
            m = 0;
        } else if (L >= HSHORT) {
            ++k;
            if (!need_node(k + 1)) return;
            P(1, k) = x1;
            P(2, k) = y1;
            m = 0;
        } else {
            if (m == 0) {
                ax = x0;
                ay = y0;
                w.IFSCPT(k) = i;
            }
            ++m;
            w.NFSSKIP(k) = m;
            if (i == N) {
                P(1, k) = XYWL(1, 1);
                P(2, k) = XYWL(2, 1);
            }
        }
    }
    int K = k;
    if (!need_node(K + 1)) return;

    // 2. Bulge points: of the contour points merged into a boundary edge,
    // the one farthest outside its chord (at least 0.001 H).
    for (int b = 1; b < K; ++b) {
        if (w.NFSSKIP(b) <= 0) continue;
        float smax = 0.0f;
        bool kept = false;
        for (int c = w.IFSCPT(b) + 1; c <= w.IFSCPT(b) + w.NFSSKIP(b); ++c) {
            float s = 0.0f;
            FSDIST(P, c - 1, s, XYWL, b, TOLC);
            if (s > smax) {
                smax = s;
                w.FSBULGE(1, b) = XYWL(1, c);
                w.FSBULGE(2, b) = XYWL(2, c);
                kept = true;
            }
        }
        if (!kept) w.NFSSKIP(b) = 0;
    }
    w.NFSSKIP(K) = 0;

    // 3. Spike removal: an interior boundary node whose angle is below about
    // 8.1 degrees, or that coincides with a neighbour, is dropped.  Node 1
    // (and its closing copy K) stays.  The bulge of the two edges it joined
    // is dropped with it; the later nodes keep their own.
    {
        int kk = 1;
        while (kk + 2 <= K) {
            const float* a = P.ptr(1, kk);
            const float* b = P.ptr(1, kk + 2);
            const float* c = P.ptr(1, kk + 1);
            const float d01 = dist(a[0], a[1], b[0], b[1]);
            bool drop;
            const float tiny = 1.0E-6f * H;
            if (d01 <= tiny || dist(a[0], a[1], c[0], c[1]) <= tiny || dist(b[0], b[1], c[0], c[1]) <= tiny) {
                drop = true;
            } else {
                float cmax, cneg2, d02, d12;
                FSTRIANG(a, b, c, cmax, cneg2, d02, d12, d01);
                drop = cneg2 < -0.99f;
            }
            if (drop) {
                for (int i = kk + 1; i < K; ++i) {
                    P(1, i) = P(1, i + 1);
                    P(2, i) = P(2, i + 1);
                    w.NFSSKIP(i) = w.NFSSKIP(i + 1);
                    w.FSBULGE(1, i) = w.FSBULGE(1, i + 1);
                    w.FSBULGE(2, i) = w.FSBULGE(2, i + 1);
                }
                w.NFSSKIP(kk) = 0;
                --K;
            }
            ++kk;
        }
    }
    int NNODE = K;

    // 4. The front: the boundary edges, the last one back to node 1.
    int NE = K - 1;
    if (NE < 3) {
        ERRMSG("WARNING: Free surface panelling is not completed", 0);
        return;
    }
    if (NE + 2 > capo) {
        int e = 0;
        GROWFS6(w, NE + 2, capo, e);
        if (e == 0 && NE + 2 > cape) GROWFS7(w, NE + 2, cape, e);
        if (e != 0) {
            IERR = 1;
            return;
        }
    }
    for (int e = 1; e <= NE; ++e) {
        w.IFSORD(e) = e;
        w.IFSFRONT(1, e) = w.IFSEDGE(1, e) = e;
        w.IFSFRONT(2, e) = w.IFSEDGE(2, e) = e + 1;
    }
    w.IFSFRONT(2, NE) = w.IFSEDGE(2, NE) = 1;
    int NEDGE = NE;

    // Bulge quadrilateral: taken when the kept point lies outside the chord
    // by at least 1 % of the chord's length and the quadrilateral it makes
    // is strictly convex.  Both measures are ratios, free of the model's
    // length unit.
    auto convex = [](const float q[4][2]) {
        for (int i = 0; i < 4; ++i) {
            const float* a = q[i];
            const float* b = q[(i + 1) % 4];
            const float* c = q[(i + 2) % 4];
            if ((b[0] - a[0]) * (c[1] - b[1]) - (b[1] - a[1]) * (c[0] - b[0]) <= 0.0f) return false;
        }
        return true;
    };
    auto bulge_ok = [&](int first, const float q[4][2]) {
        const float x1 = P(1, first), y1 = P(2, first), x2 = P(1, first + 1), y2 = P(2, first + 1);
        const float c = dist(x1, y1, x2, y2);
        const float bx = w.FSBULGE(1, first), by = w.FSBULGE(2, first);
        const float s = c > 0.0f ? ((x2 - x1) * (by - y1) - (y2 - y1) * (bx - x1)) / c : 0.0f;
        return s >= 0.01f * c && convex(q);
    };
    auto is_bulge = [&](int a, int b) { return a <= K && b == a + 1 && b <= K && w.NFSSKIP(a) != 0; };

    // 5. Steps.
    bool newnode = false;
    for (int step = 1; step <= limit; ++step) {
        ++NFSP;
        const int ea = w.IFSORD(1);
        const int N1 = w.IFSFRONT(1, ea), N2 = w.IFSFRONT(2, ea);
        const float x1 = P(1, N1), y1 = P(2, N1), x2 = P(1, N2), y2 = P(2, N2);
        const float dx = x2 - x1, dy = y2 - y1, d = std::hypot(dx, dy);
        // The new point, at height H^2/d to the right of the edge.
        const int NC = NNODE + 1;
        if (NC + 1 > capn) {
            int e = 0;
            GROWFS1(w, NC + 1, capn, e);
            if (e != 0) {
                IERR = 1;
                return;
            }
        }
        NNODE = NC;
        // Its height H^2/d is held to at most H: below a side of H the point
        // would otherwise go far out and the search about it would miss the
        // front nodes next to a short edge.
        const float h2 = std::min(H * H / (d * d), H / d);
        P(1, NC) = 0.5f * (x1 + x2) + h2 * dy;
        P(2, NC) = 0.5f * (y1 + y2) - h2 * dx;

        // Candidates among the front nodes, strictly right of the edge and
        // within the search radius.
        int nnear = 0, nfar = 0;
        for (int j = newnode ? 3 : 2; j <= NE - 1; ++j) {
            const int M = w.IFSFRONT(2, w.IFSORD(j));
            if (M == N1 || M == N2) continue;
            const float xm = P(1, M), ym = P(2, M);
            const float sd = ((ym - y1) * dx - (xm - x1) * dy) / d;
            if (!(sd < 0.0f) || dist(P(1, NC), P(2, NC), xm, ym) >= HSEARCH) continue;
            const float key = std::max(dist(xm, ym, x1, y1), dist(xm, ym, x2, y2));
            int e = 0;
            if (key < HLONG) {
                if (nnear + 1 >= capr) GROWFS4(w, nnear + 2, capr, e);
                if (e == 0) insert_sorted(w.IFSNEAR, w.FSNEARD, nnear++, M, key);
            } else {
                if (nfar + 1 >= capf) GROWFS3(w, nfar + 2, capf, e);
                if (e == 0) insert_sorted(w.IFSFAR, w.FSFARD, nfar++, M, key);
            }
            if (e != 0) {
                IERR = 1;
                return;
            }
        }
        const int ncand = nnear + 1 + nfar;
        if (ncand > capc) {
            int e = 0;
            GROWFS5(w, ncand, capc, e);
            if (e != 0) {
                IERR = 1;
                return;
            }
        }
        for (int j = 1; j <= nnear; ++j) w.IFSCAND(j) = w.IFSNEAR(j);
        w.IFSCAND(nnear + 1) = NC;
        for (int j = 1; j <= nfar; ++j) w.IFSCAND(nnear + 1 + j) = w.IFSFAR(j);

        int V = 0, fallback = 0;
        for (int j = 1; j <= ncand && V == 0; ++j) {
            const int c = w.IFSCAND(j);
            bool cross = false;
            for (int e = 1; e <= NEDGE && !cross; ++e) {
                const int E1 = w.IFSEDGE(1, e), E2 = w.IFSEDGE(2, e);
                cross = crosses(P, N1, c, E1, E2, H) || crosses(P, N2, c, E1, E2, H);
            }
            if (cross) continue;
            float cmax, cneg2, d02, d12;
            FSTRIANG(P.ptr(1, N1), P.ptr(1, N2), P.ptr(1, c), cmax, cneg2, d02, d12, d);
            if (cmax < 0.99f)
                V = c;
            else if (fallback == 0)
                fallback = c;
        }
        if (V == 0) V = fallback;
        if (V == 0) {
            --NFSP;
            ERRMSG("WARNING: Free surface panelling is not completed", 0);
            return;
        }
        newnode = V == NC;

        // Front update.
        int p1 = 0, p2 = 0;
        for (int j = 2; j <= NE; ++j) {
            const int e = w.IFSORD(j);
            if (p1 == 0 && w.IFSFRONT(1, e) == N2 && w.IFSFRONT(2, e) == V) p1 = j;
            if (p2 == 0 && w.IFSFRONT(1, e) == V && w.IFSFRONT(2, e) == N1) p2 = j;
        }
        auto remove_pos = [&](int pos) {
            for (int j = pos; j < NE; ++j) w.IFSORD(j) = w.IFSORD(j + 1);
            --NE;
        };
        auto add_edge = [&](int a, int b) {
            if (NEDGE + 1 > cape) {
                int e = 0;
                GROWFS7(w, NEDGE + 1, cape, e);
                if (e != 0) return false;
            }
            ++NEDGE;
            w.IFSFRONT(1, NEDGE) = w.IFSEDGE(1, NEDGE) = a;
            w.IFSFRONT(2, NEDGE) = w.IFSEDGE(2, NEDGE) = b;
            return true;
        };
        if (p1 == 0 && p2 == 0) {
            if (NE + 1 > capo) {
                int e = 0;
                GROWFS6(w, NE + 1, capo, e);
                if (e != 0) {
                    IERR = 1;
                    return;
                }
            }
            for (int j = NE; j >= 2; --j) w.IFSORD(j + 1) = w.IFSORD(j);
            if (!add_edge(N1, V) || !add_edge(V, N2)) {
                IERR = 1;
                return;
            }
            w.IFSORD(1) = NEDGE - 1;
            w.IFSORD(2) = NEDGE;
            ++NE;
        } else if (p1 == 0 || p2 == 0) {
            remove_pos(p1 != 0 ? p1 : p2);
            if (!(p1 != 0 ? add_edge(N1, V) : add_edge(V, N2))) {
                IERR = 1;
                return;
            }
            w.IFSORD(1) = NEDGE;
        } else {
            remove_pos(std::max(p1, p2));
            remove_pos(std::min(p1, p2));
            remove_pos(1);
        }

        // The panel.
        const int IP = IFIRST + NFSP - 1;
        if (IP > NPANMAX) NPANMAX = std::max(static_cast<int>(1.1 * IP), IP);
        if (IP > XVER.extent(3)) {
            int e = 0;
            GROWXVER(NPANMAX, 0, e);
            if (e != 0) {
                IERR = 1;
                return;
            }
        }
        float q[4][2] = {{P(1, V), P(2, V)}, {x2, y2}, {x1, y1}, {x1, y1}};
        auto try_bulge = [&](int first, const float qb[4][2]) {
            if (bulge_ok(first, qb)) {
                std::copy(&qb[0][0], &qb[0][0] + 8, &q[0][0]);
            }
        };
        if (is_bulge(V, N1)) {
            const float qb[4][2] = {{P(1, V), P(2, V)}, {x2, y2}, {x1, y1}, {w.FSBULGE(1, V), w.FSBULGE(2, V)}};
            try_bulge(V, qb);
        } else if (is_bulge(N1, N2)) {
            const float qb[4][2] = {{P(1, V), P(2, V)}, {x2, y2}, {w.FSBULGE(1, N1), w.FSBULGE(2, N1)}, {x1, y1}};
            try_bulge(N1, qb);
        } else if (is_bulge(N2, V)) {
            const float qb[4][2] = {{P(1, V), P(2, V)}, {w.FSBULGE(1, N2), w.FSBULGE(2, N2)}, {x2, y2}, {x1, y1}};
            try_bulge(N2, qb);
        }
        for (int v = 1; v <= 4; ++v) {
            XVER(v, 1, IP) = q[v - 1][0];
            XVER(v, 2, IP) = q[v - 1][1];
            XVER(v, 3, IP) = -ZBODY;
        }

        if (NE == 0) return;
    }
    ERRMSG("Number of free-surface panels exceeds limit ", limit);
    IERR = 1;
}

}  // namespace zorva
