// Waterline trimming of higher-order bodies: the sub-patch list, the
// classification of each entry on a sampled grid of waterline flags, the
// rebuild of the per-patch tables for the sub-patches and the per-patch
// waterline tables.
#include "geometry/trimhigh.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "common/messages.hpp"
#include "geometry/hogeom.hpp"
#include "geometry/model.hpp"
#include "geometry/modelmore.hpp"
#include "main/config.hpp"

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

void trim_fail(int ip, int ib, int itype) {
    ERRMSG(" Error trimming waterline patch, NPATCH=", ip);
    ERRMSG("                                 NBODY =", ib);
    ERRMSG("                                 itype =", itype);
}

}  // namespace

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
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j) {
            const float u = 0.5f * ((u1 + u4) + (u1 - u4) * GR.G[static_cast<std::size_t>(i - 1)]);
            const float v = 0.5f * ((v1 + v2) + (v2 - v1) * GR.G[static_cast<std::size_t>(j - 1)]);
            float x[3], vn[3], xu[3], xv[3], aj = 0.0f;
            BODYGEOM(u, v, IB, IP, x, vn, xu, xv, aj, -1, 0, IERR);
            if (IERR != 0) return;
            const float f = x[2] - GR.ZL;
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

void TRIMWLB(int& IERR) {
    IERR = 0;
    const int M = cfg::ITRIMWL, nb = cfg::NBODY;
    std::vector<char> moved(static_cast<std::size_t>(nb + 1), 0);
    for (int ib = 1; ib <= nb; ++ib)
        moved[static_cast<std::size_t>(ib)] =
            std::fabs(cfg::XTRIM(1, ib)) + std::fabs(cfg::XTRIM(2, ib)) + std::fabs(cfg::XTRIM(3, ib)) >= 1.0E-6f;
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
            if (cfg::IRR(ib) == 1 && moved[static_cast<std::size_t>(ib)])
                ERRMSG(" Warning: IRR=1 and trimmed waterline ITRIMWL=", cfg::ITRIMWL);
        }
    }
    // A body left without a wet patch has no range: it starts where the
    // next body would and counts no patch.
    int next = NPATCHW + 1;
    for (int ib = nb; ib >= 1; --ib) {
        if (NPATCHB(ib) > 0) {
            next = IPSTART(ib);
            continue;
        }
        IPSTART(ib) = next;
        ERRMSG(" Error: every patch of the body is above the free surface, body=", ib);
        IERR = 1;
    }
    if (IERR != 0) return;
    TRIMIDX(NPATCHR, NPATCHW, IERR);
}

}  // namespace zorva
