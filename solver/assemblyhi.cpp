// Higher-order assembly of one period.  Each equation is the Galerkin
// projection of the integral equation on one B-spline of a test patch; the
// matrix is built a test patch and a v-span at a time in a column window
// (the test functions alive on the span), from the Rankine windows of unit
// 23 (read back in the order they were written) and the wave part of the
// Green function between every outer (test) point of the span and every
// source cell.  A finished v-row of test functions goes to the component's
// scratch unit as a slot record; each component is then read back as the
// rows of the in-memory matrix and rewritten in the solver's border
// records, and component 1 is left where the solver takes it.
//
// The wave parts of the test points of a span are formed on all threads,
// each into its own slot; their assembly into the window runs source patch
// by source patch (the patches own disjoint unknowns) and the right-hand
// sides in order, so the matrices do not depend on the number of threads.
#include <algorithm>
#include <cmath>
#include <new>
#include <string>
#include <vector>

#include "common/bounds.hpp"
#include "common/messages.hpp"
#include "common/threads.hpp"
#include "geometry/model.hpp"
#include "geometry/modelmore.hpp"
#include "kernels/rankin.hpp"
#include "kernels/wavegrblk.hpp"
#include "main/config.hpp"
#include "main/symmetry.hpp"
#include "solver/assembly.hpp"
#include "solver/blkstore.hpp"
#include "solver/matrices.hpp"
#include "solver/rwindow.hpp"
#include "solver/scrstore.hpp"

namespace zorva {

namespace {

struct Cell {
    WgCell c;
    int lu = 0, lv = 0, S0 = 0;
};

struct TestPt {
    WgTest t;
    int iu = 0, qu = 0, qv = 0;
    float w = 0;
};

}  // namespace

void WAVEGRHI(int IRAD, int NEQN, float NUP, float HBOT, Arr2<cplx>& A, int IPERFL, int& IERR) {
    using namespace model;
    IERR = 0;
    const int NS = sym::NSYMC, NSOL = sym::NSOLC, NM = NMODT;
    const bool logk = cfg::ILOG == 1, corr = IPERSPC == 1, rad = IRAD >= 0;
    int MAXNBKV = 1, MKU = 1, MKV = 1, MNP = 1;
    for (int p = 1; p <= NPATCHT; ++p) {
        MAXNBKV = std::max(MAXNBKV, NBU(p) * KV(p));
        MKU = std::max(MKU, KU(p)), MKV = std::max(MKV, KV(p));
        MNP = std::max(MNP, IQUI(p) * IQVI(p));
    }
    const int NPUV = MKU * MKV;
    if (MKU > MAXBSPLORD || MKV > MAXBSPLORD) {  // the per-cell work holds orders up to MAXBSPLORD
        ERRMSG(" B-spline order above " + std::to_string(MAXBSPLORD) + " in WAVEGR, order=", std::max(MKU, MKV));
        IERR = 1;
        return;
    }

    // Source cells of the whole run, in patch, v-span, u-span order.
    std::vector<Cell> cells;
    std::vector<int> pcell(static_cast<std::size_t>(NPATCHT) + 2, 0), poff(static_cast<std::size_t>(NPATCHT) + 2, 0);
    {
        int nq = 0, soff = 0;
        for (int jp = 1; jp <= NPATCHT; ++jp) {
            pcell[static_cast<std::size_t>(jp)] = static_cast<int>(cells.size());
            poff[static_cast<std::size_t>(jp)] = soff;
            for (int lv = 1; lv <= NV(jp); ++lv)
                for (int lu = 1; lu <= NU(jp); ++lu) {
                    Cell c;
                    c.c.UA = HOTAB1(KU(jp) + lu - 1, jp), c.c.UB = HOTAB1(KU(jp) + lu, jp);
                    c.c.VA = HOTAB2(KV(jp) + lv - 1, jp), c.c.VB = HOTAB2(KV(jp) + lv, jp);
                    c.c.JP = jp, c.c.JB = IBPTH(jp), c.c.NQPOFF = nq;
                    c.lu = lu, c.lv = lv, c.S0 = soff + (lv - 1) * NBU(jp) + lu - 1;
                    cells.push_back(c);
                    nq += IQUI(jp) * IQVI(jp);
                }
            soff += NBU(jp) * NBV(jp);
        }
        pcell[static_cast<std::size_t>(NPATCHT) + 1] = static_cast<int>(cells.size());
        poff[static_cast<std::size_t>(NPATCHT) + 1] = soff;
    }
    const std::size_t NC = cells.size();
    std::vector<std::pair<int, int>> vrows;  // (source patch, v-row of its unknowns)
    for (int jp = 1; jp <= NPATCHT; ++jp)
        for (int b = 1; b <= NBV(jp); ++b) vrows.emplace_back(jp, b);
    int MAXPTS = 1;
    for (int p = 1; p <= NPATCHT; ++p) MAXPTS = std::max(MAXPTS, NU(p) * IQUO(p) * IQVO(p));

    // Work arrays.
    const int nthr = std::max(thr::count(), 1);
    const std::size_t mstride = static_cast<std::size_t>(NPUV) * NS, vstride = static_cast<std::size_t>(std::max(NM, 1));
    RkWindows R;
    Arr3<cplx> CWIN;
    std::vector<cplx> MB, VB, SW;
    std::vector<float> TW;
    std::vector<WgBlkWork> WK;
    bool ok = CWIN.allocate(NEQN, MAXNBKV, 4) && R.RDIPW.allocate(NEQN, MAXNBKV, NS);
    if (ok && logk) ok = R.RDIPLW.allocate(NEQN, MAXNBKV, NS);
    if (ok && corr) ok = R.RDIPIW.allocate(NEQN, MAXNBKV, NS);
    if (ok && rad) {
        ok = R.RSRCV.allocate(NEQN, std::max(NM, 1));
        if (ok && logk) ok = R.RSRCLV.allocate(NEQN, std::max(NM, 1));
        if (ok && corr) ok = R.RSRCIV.allocate(NEQN, std::max(NM, 1));
    }
    if (ok) {
        try {
            MB.resize(static_cast<std::size_t>(MAXPTS) * NC * mstride);
            VB.resize(static_cast<std::size_t>(MAXPTS) * NC * vstride);
            SW.resize(static_cast<std::size_t>(nthr) * mstride);
            TW.resize(static_cast<std::size_t>(nthr) * static_cast<std::size_t>(NPUV));
            WK.resize(static_cast<std::size_t>(nthr));
            for (auto& w : WK) w.size(MNP, NPUV, NM);
        } catch (const std::bad_alloc&) {
            ok = false;
        }
    }
    if (!ok) {
        ERRMSG(" Allocation error in WAVEGR, RAM too small ", 0);
        IERR = 1;
        return;
    }

    const int KUN = NS + (cfg::ISOLVE >= 2 ? 3 : 0);
    slv::SCROPEN(slv::IUNIT, KUN, IERR);
    if (IERR != 0) return;

    WgPeriod P;
    const bool ord = IPERFL == 0;
    P.K = ord ? NUP : 1.0f;
    const float nup = ord ? NUP : 0.0f;
    P.KH = ord ? NUP * HBOT : HBOT;
    P.HBOT = HBOT;
    P.K2 = ord ? NUP * NUP : 1.0f;
    P.LOGC = ord ? -static_cast<float>(cfg::ILOG) * std::log(NUP * NUP) : 0.0f;
    P.IFD = HBOT > 0.0f ? 1 : 0;
    P.ICODE = cfg::ILOG + 2;
    P.IPERFL = IPERFL;
    P.IRAD = IRAD;

    // The Rankine units from their first record.
    slv::SCRREWIND(IURNK);
    if (rad) slv::SCRREWIND(IURNKR);
    if (corr) {
        slv::SCRREWIND(25);
        if (rad) slv::SCRREWIND(26);
    }

    // Radiation right-hand sides, Rankine part.
    if (rad) {
        const int nvec = NEQN * std::max(NSOL, 0);
        RWRANK(nullptr, nullptr, logk ? 1 : 0, 0, 0, 0, 0, 0, 0, 0, R.RSRCV.ptr(1, 1),
               logk ? R.RSRCLV.ptr(1, 1) : nullptr, nvec, IURNKR, 1, 1, IERR);
        if (IERR == 0 && corr)
            RWRANK(nullptr, nullptr, 0, 0, 0, 0, 0, 0, 0, 0, R.RSRCIV.ptr(1, 1), nullptr, nvec, 26, 1, 1, IERR);
        if (IERR != 0) return;
        for (int m = 1; m <= NSOL; ++m)
            for (int i = 1; i <= NEQN; ++i) {
                float v = R.RSRCV(i, m);
                if (IPERFL == 2) v += R.RSRCIV(i, m);
                if (logk) v += nup * R.RSRCLV(i, m);
                slv::RHSMOD(i, m) = cplx(v, 0.0f);
            }
    }

    std::vector<TestPt> pts;
    int iqpout = 0;
    for (int ip = 1; ip <= NPATCHT; ++ip) {
        const int ib = IBPTH(ip), ku = KU(ip), kv = KV(ip), nbu = NBU(ip);
        const int foff = poff[static_cast<std::size_t>(ip)];
        for (int iv = 1; iv <= NV(ip); ++iv) {
            const int mode = iv == 1 ? 1 : 0, last = iv == NV(ip) ? 1 : 0;

            // Rankine slots of the span into the window.
            RWRANK(R.RDIPW.ptr(1, 1, 1), logk ? R.RDIPLW.ptr(1, 1, 1) : nullptr, logk ? 1 : 0, NEQN, MAXNBKV, NS,
                   nbu, kv, IURNK, mode, nullptr, nullptr, 0, 0, 0, 1, IERR);
            if (IERR == 0 && corr)
                RWRANK(R.RDIPIW.ptr(1, 1, 1), nullptr, 0, NEQN, MAXNBKV, NS, nbu, kv, 25, mode, nullptr, nullptr, 0,
                       0, 0, 1, IERR);
            if (IERR != 0) return;
            for (int k = 1; k <= NS; ++k)
                for (int s = mode == 1 ? 1 : kv; s <= kv; ++s)
                    for (int c = (s - 1) * nbu + 1; c <= s * nbu; ++c)
                        for (int i = 1; i <= NEQN; ++i) {
                            float v = R.RDIPW(i, c, k);
                            if (IPERFL == 2) v += R.RDIPIW(i, c, k);
                            if (logk) v += nup * R.RDIPLW(i, c, k);
                            CWIN(i, c, k) = cplx(v, 0.0f);
                        }

            // Test points of the span.
            const float vlo = HOTAB2(kv + iv - 1, ip), vhi = HOTAB2(kv + iv, ip), hv = 0.5f * (vhi - vlo);
            pts.clear();
            for (int iu = 1; iu <= NU(ip); ++iu) {
                const float ulo = HOTAB1(ku + iu - 1, ip), uhi = HOTAB1(ku + iu, ip), hu = 0.5f * (uhi - ulo);
                for (int qv = 1; qv <= IQVO(ip); ++qv)
                    for (int qu = 1; qu <= IQUO(ip); ++qu) {
                        TestPt t;
                        ++iqpout;
                        for (int d = 0; d < 3; ++d) t.t.X[d] = XQO(d + 1, iqpout), t.t.N[d] = ENQO(d + 1, iqpout);
                        t.t.IP = ip, t.t.IB = ib;
                        t.t.IDIP = cfg::IDIPOLE == 1 && IDIPWM(ip) > 0 ? 1 : 0;
                        t.iu = iu, t.qu = qu, t.qv = qv;
                        t.w = WGVO(qv, ip) * WGUO(qu, ip) * hu * hv;
                        pts.push_back(t);
                    }
            }
            const int npt = static_cast<int>(pts.size());

            // Wave parts: every test point against every source cell.
            thr::parallel_for(npt * NPATCHT, [&](int item, int th) {
                const int n = item / NPATCHT, jp = item % NPATCHT + 1, jb = IBPTH(jp);
                float off[3] = {0, 0, 0};
                if (NWALL == 0 && jb != ib)
                    for (int d = 0; d < 3; ++d) off[d] = cfg::XBODY(d + 1, ib) - cfg::XBODY(d + 1, jb);
                for (int c = pcell[static_cast<std::size_t>(jp)]; c < pcell[static_cast<std::size_t>(jp) + 1]; ++c) {
                    const std::size_t slot = static_cast<std::size_t>(n) * NC + static_cast<std::size_t>(c);
                    WAVEGRBLK(P, pts[static_cast<std::size_t>(n)].t, cells[static_cast<std::size_t>(c)].c, off,
                              &MB[slot * mstride], &VB[slot * vstride], WK[static_cast<std::size_t>(th)]);
                }
            });

            // Into the window, source patch by source patch.
            auto basis = [&](const TestPt& t, const float*& bu, const float*& bv) {
                bu = BASUQ.ptr(1 + (t.qu - 1) * MAXKU, t.iu, ip);
                bv = BASVQ.ptr(1 + (t.qv - 1) * MAXKV, iv, ip);
            };
            // Each item adds the rows of one v-row of unknowns of one
            // source patch, from the cells that touch it, in the order of
            // test points and cells.
            thr::parallel_for(static_cast<int>(vrows.size()), [&](int item, int th) {
                const int jp = vrows[static_cast<std::size_t>(item)].first, b = vrows[static_cast<std::size_t>(item)].second;
                float* T = &TW[static_cast<std::size_t>(th) * NPUV];
                cplx* S = &SW[static_cast<std::size_t>(th) * mstride];
                // Cells of v-spans b - KV + 1 .. b hold the B-splines of v-row b.
                const int lv1 = std::max(1, b - KV(jp) + 1), lv2 = std::min(NV(jp), b);
                const int c1 = pcell[static_cast<std::size_t>(jp)] + (lv1 - 1) * NU(jp);
                const int c2 = pcell[static_cast<std::size_t>(jp)] + lv2 * NU(jp);
                for (int n = 0; n < npt; ++n) {
                    const TestPt& t = pts[static_cast<std::size_t>(n)];
                    const float *bu, *bv;
                    basis(t, bu, bv);
                    for (int c = c1; c < c2; ++c) {
                        const Cell& cl = cells[static_cast<std::size_t>(c)];
                        const std::size_t slot = static_cast<std::size_t>(n) * NC + static_cast<std::size_t>(c);
                        const int bo = b - cl.lv;
                        CASSEMB(bu, ku, bv, kv, t.w, foff + (iv - 1) * nbu + t.iu - 1, t.iu - 1, nbu,
                                HOTAB7.ptr(1, cl.lu, jp), KU(jp), HOTAB8.ptr(1, cl.lv, jp), KV(jp), cl.S0, NBU(jp),
                                &MB[slot * mstride], &VB[slot * vstride], NEQN, NS, NSOL, IRAD, CWIN, nullptr, T, S, bo,
                                bo);
                    }
                }
            });
            // Right-hand sides, in order.
            if (rad)
                for (int n = 0; n < npt; ++n) {
                    const TestPt& t = pts[static_cast<std::size_t>(n)];
                    const float *bu, *bv;
                    basis(t, bu, bv);
                    const int G0 = foff + (iv - 1) * nbu + t.iu - 1;
                    for (std::size_t c = 0; c < NC; ++c) {
                        const cplx* V = &VB[(static_cast<std::size_t>(n) * NC + c) * vstride];
                        for (int m = 1; m <= NSOL; ++m)
                            for (int b = 0; b < kv; ++b)
                                for (int a = 0; a < ku; ++a)
                                    slv::RHSMOD(G0 + b * nbu + a + 1, m) += (t.w * bu[a] * bv[b]) * V[m - 1];
                    }
                }

            WRBLKS(CWIN.data(), NEQN, MAXNBKV, NS, nbu, kv, slv::IUNIT, last, IERR);
            if (IERR != 0) return;
            BLKSHFT(CWIN.data(), NEQN, MAXNBKV, 4, nbu, kv, last);
        }
    }
    R = RkWindows();
    CWIN.deallocate();
    MB = std::vector<cplx>();
    VB = std::vector<cplx>();

    // Each component as rows of the in-memory matrix, then in border
    // records; component 1 last.
    cplx* a = A.data();
    for (int k = NS; k >= 1; --k) {
        const int unit = slv::IUNIT[k - 1];
        slv::SCRREWIND(unit);
        for (int ip = 1; ip <= NPATCHT; ++ip) {
            const int off = poff[static_cast<std::size_t>(ip)];
            RDBLKS(a, NEQN, unit, NBU(ip), NBV(ip), off, IERR);
            if (IERR != 0) return;
            if (IPERFL == 0) continue;
            // At a limit period the interior free surface takes no part.
            for (int jp = 1; jp <= NPATCHT; ++jp)
                if (IFSPAT(ip) == -1 || IFSPAT(jp) == -1)
                    BLKIDEN(a, NEQN, off, poff[static_cast<std::size_t>(jp)], NBU(ip) * NBV(ip), NBU(jp) * NBV(jp), ip,
                            jp);
            if (IFSPAT(ip) == -1 && rad && k == 1)
                for (int m = 1; m <= NSOL; ++m)
                    for (int i = off + 1; i <= off + NBU(ip) * NBV(ip); ++i) slv::RHSMOD(i, m) = cplx(0.0f, 0.0f);
        }
        slv::SCRREWIND(unit);
        WRLUBRD(a, NEQN, unit, cfg::ISOLVE, IERR);
        if (IERR != 0) return;
    }

    // Component 1 where the solver takes it.
    const int u1 = slv::IUNIT[0];
    slv::SCRREWIND(u1);
    std::vector<char> rec;
    const int nblk = NBLKSZ, nblkl = NBLKLAST;
    for (int i = 1; i <= NEQN; ++i) {
        const std::size_t nr = static_cast<std::size_t>(i), nc = nr - 1;
        if (slv::scr_read(u1, rec) != 0 || rec.size() != (nr + nc) * sizeof(cplx)) {
            ERRMSG(" Error reading scratch file for LHS from WAVEGR, UNIT=", u1);
            IERR = 1;
            return;
        }
        const cplx* Rr = reinterpret_cast<const cplx*>(rec.data());
        const cplx* Cc = Rr + nr;
        if (cfg::ISOLVE == 0) {
            cplx* p = a + (nr - 1) * (nr - 1);
            std::copy(Rr, Rr + nr + nc, p);
        } else if (cfg::ISOLVE == 1) {
            slv::SETBORD(a, Rr, Cc, i, NEQN);
        } else {
            const int b = (i - 1) / nblk, b0 = nblk * b, nb = b == cfg::ISOLVE - 1 ? nblkl : nblk;
            if (b0 > 0) {
                slv::WRVEC2(&slv::IUNIT[NS], Rr, Cc, NEQN, b0, IERR);
                if (IERR != 0) return;
            }
            slv::SETBORD(a, Rr + b0, Cc + b0, i - b0, nb);
            if (i % nblk == 0 || i == NEQN) {
                slv::WRLHS(slv::IUNIT[NS + 2], a, nb, IERR);
                if (IERR != 0) return;
            }
        }
    }
    int ierr = 0;
    slv::SCRCLOSE(&slv::IUNIT[0], 1, 0, ierr);
    if (ierr != 0) IERR = 1;
    // The other units stay open with their records for the solver.
}

}  // namespace zorva
