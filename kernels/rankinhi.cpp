// Period-independent Rankine parts of the higher-order influence matrices,
// written once per run to the Rankine units of the matrix scratch store:
// 23 the dipole windows (each followed by its logarithmic window when
// ILOG = 1), 24 the tested source vector (and its logarithmic twin), 25 and
// 26 the image-sign corrections when some period is at the infinite
// frequency.
#include <algorithm>
#include <vector>

#include "common/messages.hpp"
#include "geometry/bspline.hpp"
#include "geometry/model.hpp"
#include "geometry/modelmore.hpp"
#include "kernels/horank.hpp"
#include "kernels/rankin.hpp"
#include "main/config.hpp"
#include "main/symmetry.hpp"
#include "solver/gausslog.hpp"
#include "solver/rwindow.hpp"

namespace zorva {

void RANKINHI(int NEQN, int IRAD, float HBOT, int& IERR) {
    using namespace model;
    const int NS = sym::NSYMC, NM = NMODT, NSOL = sym::NSOLC;
    const bool logk = cfg::ILOG == 1, corr = IPERSPC == 1, rad = IRAD >= 0;
    int MAXNBKV = 1, MKU = 1, MKV = 1;
    for (int p = 1; p <= NPATCHT; ++p) {
        MAXNBKV = std::max(MAXNBKV, NBU(p) * KV(p));
        MKU = std::max(MKU, KU(p)), MKV = std::max(MKV, KV(p));
    }

    RkWindows R;
    bool ok = R.RDIPW.allocate(NEQN, MAXNBKV, NS) && R.RSRCV.allocate(NEQN, std::max(NM, 1));
    if (ok && logk) ok = R.RDIPLW.allocate(NEQN, MAXNBKV, NS) && R.RSRCLV.allocate(NEQN, std::max(NM, 1));
    if (ok && corr) ok = R.RDIPIW.allocate(NEQN, MAXNBKV, NS) && R.RSRCIV.allocate(NEQN, std::max(NM, 1));
    if (!ok) {
        ERRMSG(" Allocation error in RANKIN -- RAM too small ", 0);
        IERR = 1;
        return;
    }

    SelfRules RL;
    int ierr = 0;
    GAUSLE(-1.0f, 1.0f, RL.XG, RL.WG, 8, ierr);
    if (ierr == 0 && logk) ierr = GAUSSLOG(RL.XL, RL.WL, 8);
    if (ierr != 0) {
        IERR = 1;
        return;
    }

    // Centre and corners of every source span, the first square of each
    // of its subdivisions at every outer point.
    std::vector<float> G;
    std::vector<int> goff(static_cast<std::size_t>(NPATCHT) + 1, 0);
    for (int p = 1; p <= NPATCHT; ++p) goff[static_cast<std::size_t>(p)] = goff[static_cast<std::size_t>(p - 1)] + NU(p) * NV(p);
    G.resize(15 * static_cast<std::size_t>(goff.back()));
    for (int p = 1; p <= NPATCHT; ++p)
        for (int lv = 1; lv <= NV(p); ++lv)
            for (int lu = 1; lu <= NU(p); ++lu) {
                const float ul = HOTAB1(KU(p) + lu - 1, p), uh = HOTAB1(KU(p) + lu, p);
                const float vl = HOTAB2(KV(p) + lv - 1, p), vh = HOTAB2(KV(p) + lv, p);
                const float pu[5] = {0.5f * (ul + uh), ul, uh, ul, uh}, pv[5] = {0.5f * (vl + vh), vl, vl, vh, vh};
                float* g = &G[15 * static_cast<std::size_t>(goff[static_cast<std::size_t>(p - 1)] + (lv - 1) * NU(p) + lu - 1)];
                for (int k = 0; k < 5; ++k) {
                    HoPt q;
                    if (HOEVAL(pu[k], pv[k], IBPTH(p), p, 0, q, nullptr) != 0) {
                        ERRMSG(" Error calling BODYGEOM from RANKINHI", 0);
                        IERR = 1;
                        return;
                    }
                    for (int d = 0; d < 3; ++d) g[3 * k + d] = q.X[d];
                }
            }

    RkOut O;
    RkWork W;
    W.size(MKU * MKV, NM, cfg::IDIPOLE == 1);
    RkField F;
    RkSpan SP;
    int ipt = 0, foff = 0;
    for (int ip = 1; ip <= NPATCHT; ++ip) {
        const int ib = IBPTH(ip), ku = KU(ip), kv = KV(ip), nbu = NBU(ip);
        F.IB = ib, F.IP = ip;
        F.IDIP = cfg::IDIPOLE == 1 && IDIPWM(ip) > 0 ? 1 : 0;
        const float zfs = ZBDYFS(ip);
        for (auto* a : {&R.RDIPW, &R.RDIPLW, &R.RDIPIW}) a->fill(0.0f);
        for (int jv = 1; jv <= NV(ip); ++jv) {
            const bool last = jv == NV(ip);
            const float vlo = HOTAB2(kv + jv - 1, ip), vhi = HOTAB2(kv + jv, ip);
            const float vm = 0.5f * (vlo + vhi), vh = 0.5f * (vhi - vlo);
            for (int iu = 1; iu <= NU(ip); ++iu)
                for (int kv_ = 1; kv_ <= IQVO(ip); ++kv_)
                    for (int ku_ = 1; ku_ <= IQUO(ip); ++ku_) {
                    const float ulo = HOTAB1(ku + iu - 1, ip), uhi = HOTAB1(ku + iu, ip);
                    const float um = 0.5f * (ulo + uhi), uh = 0.5f * (uhi - ulo);
                    const float wt = WGUO(ku_, ip) * WGVO(kv_, ip) * uh * vh;
                    ++ipt;
                    F.U = um + uh * XGUO(ku_, ip), F.V = vm + vh * XGVO(kv_, ip);
                    for (int d = 0; d < 3; ++d) F.X[d] = XQO(d + 1, ipt), F.N[d] = ENQO(d + 1, ipt);
                    F.VN = NM > 0 ? VNQO.ptr(1, ipt) : nullptr;
                    const float* bu = BASUQ.ptr(1 + (ku_ - 1) * MAXKU, iu, ip);
                    const float* bv = BASVQ.ptr(1 + (kv_ - 1) * MAXKV, jv, ip);
                    int nqpoff = 0, soff = 0;
                    for (int jp = 1; jp <= NPATCHT; ++jp) {
                        const int jb = IBPTH(jp);
                        float off[3] = {0, 0, 0};
                        if (jb != ib && NWALL == 0)
                            for (int d = 0; d < 3; ++d) off[d] = cfg::XBODY(d + 1, ib) - cfg::XBODY(d + 1, jb);
                        SP.IB = jb, SP.IP = jp, SP.KU = KU(jp), SP.KV = KV(jp);
                        SP.NGU = IQUI(jp), SP.NGV = IQVI(jp);
                        SP.XGU = HOTAB3.ptr(1, jp), SP.WGU = HOTAB4.ptr(1, jp);
                        SP.XGV = HOTAB5.ptr(1, jp), SP.WGV = HOTAB6.ptr(1, jp);
                        for (int lv = 1; lv <= NV(jp); ++lv)
                            for (int lu = 1; lu <= NU(jp); ++lu) {
                                SP.ULO = HOTAB1(KU(jp) + lu - 1, jp), SP.UHI = HOTAB1(KU(jp) + lu, jp);
                                SP.VLO = HOTAB2(KV(jp) + lv - 1, jp), SP.VHI = HOTAB2(KV(jp) + lv, jp);
                                SP.NQPOFF = nqpoff;
                                SP.G = &G[15 * static_cast<std::size_t>(goff[static_cast<std::size_t>(jp - 1)] + (lv - 1) * NU(jp) + lu - 1)];
                                int ising = 0;
                                if (jp == ip && lu == iu && lv == jv)
                                    ising = IFSPAT(jp) == 1 ? 2 : IFSPAT(jp) == -1 ? -2 : 1;
                                RKPATCH(F, SP, ising, off, zfs, IRAD, HBOT, RL, O, W, IERR);
                                if (IERR != 0) return;
                                RASSEMB(bu, ku, bv, kv, wt,
                                        foff + (jv - 1) * nbu + iu - 1, iu - 1, nbu, HOTAB7.ptr(1, lu, jp), KU(jp),
                                        HOTAB8.ptr(1, lv, jp), KV(jp), soff + (lv - 1) * NBU(jp) + lu - 1, NBU(jp), O,
                                        NEQN, NS, NSOL, IRAD, cfg::ILOG, IPERSPC, R);
                                nqpoff += IQUI(jp) * IQVI(jp);
                            }
                        soff += NBU(jp) * NBV(jp);
                    }
                }
            // The v-row jv is complete (all rows at the last span).
            RWRANK(R.RDIPW.ptr(1, 1, 1), logk ? R.RDIPLW.ptr(1, 1, 1) : nullptr, logk ? 1 : 0, NEQN, MAXNBKV, NS, nbu, kv,
                   IURNK, last ? 1 : 0, nullptr, nullptr, 0, 0, 0, 0, IERR);
            if (IERR == 0 && corr)
                RWRANK(R.RDIPIW.ptr(1, 1, 1), nullptr, 0, NEQN, MAXNBKV, NS, nbu, kv, 25, last ? 1 : 0, nullptr,
                       nullptr, 0, 0, 0, 0, IERR);
            if (IERR != 0) return;
            RBLKSHFT(R.RDIPW.ptr(1, 1, 1), logk ? R.RDIPLW.ptr(1, 1, 1) : nullptr, logk ? 1 : 0, NEQN, MAXNBKV, NS, nbu,
                     kv, last ? 1 : 0);
            if (corr) RBLKSHFT(R.RDIPIW.ptr(1, 1, 1), nullptr, 0, NEQN, MAXNBKV, NS, nbu, kv, last ? 1 : 0);
        }
        foff += nbu * NBV(ip);
    }
    if (!rad) return;
    const int nvec = NEQN * std::max(NSOL, 0);
    RWRANK(nullptr, nullptr, logk ? 1 : 0, 0, 0, 0, 0, 0, 0, 0, R.RSRCV.ptr(1, 1), logk ? R.RSRCLV.ptr(1, 1) : nullptr,
           nvec, IURNKR, 1, 0, IERR);
    if (IERR == 0 && corr)
        RWRANK(nullptr, nullptr, 0, 0, 0, 0, 0, 0, 0, 0, R.RSRCIV.ptr(1, 1), nullptr, nvec, 26, 1, 0, IERR);
}

}  // namespace zorva
