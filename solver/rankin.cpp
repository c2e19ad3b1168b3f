// The Rankine scratch units of a POTEN run: their opening, and the
// higher-order records placed in the real column windows from the Rankine
// integrals of the kernels.
#include "solver/rankin.hpp"

#include <algorithm>

#include "common/channels.hpp"
#include "common/messages.hpp"
#include "geometry/model.hpp"
#include "geometry/modelmore.hpp"
#include "kernels/horank.hpp"
#include "kernels/rankin.hpp"
#include "main/config.hpp"
#include "main/symmetry.hpp"
#include "solver/rwindow.hpp"
#include "solver/scrstore.hpp"

namespace zorva {

void RANKIN(int N, int IRADF, int& IERR) {
    IERR = 0;
    auto fail = [&] {
        ERRMSG(" Error opening scratch files in RANKIN ", 0);
        IERR = 1;
    };
    if (cfg::ILOWHI != 0) {
        // The higher-order records live in the matrix scratch store (memory
        // while it has room, files beyond): units 23, 24 and, when some
        // period is at the infinite frequency, 25 and 26.
        int units[4], n = 0;
        units[n++] = IURNK;
        if (IRADF >= 0) units[n++] = IURNKR;
        if (model::IPERSPC == 1) {
            units[n++] = 25;
            if (IRADF >= 0) units[n++] = 26;
        }
        slv::SCROPEN(units, n, IERR);
        if (IERR == 0) RANKINHI(N, IRADF, model::HBOT, IERR);
        return;
    }
    if (chan::open_scratch(IURNK, chan::Form::Unformatted) != 0) return fail();
    if (IRADF >= 0 && chan::open_scratch(IURNKR, chan::Form::Unformatted) != 0) return fail();
    RANKINLO(N, IRADF, model::HBOT, IERR);
}

void RANKINHI(int NEQN, int IRAD, float HBOT, int& IERR) {
    using namespace model;
    const int NS = sym::NSYMC, NM = NMODT, NSOL = sym::NSOLC;
    const bool logk = cfg::ILOG == 1, corr = IPERSPC == 1, rad = IRAD >= 0;
    int MAXNBKV = 1;
    for (int p = 1; p <= NPATCHT; ++p) MAXNBKV = std::max(MAXNBKV, NBU(p) * KV(p));

    RkWindows R;
    bool ok = R.RDIPW.allocate(NEQN, MAXNBKV, NS) && R.RSRCV.allocate(NEQN, std::max(NM, 1));
    if (ok && logk) ok = R.RDIPLW.allocate(NEQN, MAXNBKV, NS) && R.RSRCLV.allocate(NEQN, std::max(NM, 1));
    if (ok && corr) ok = R.RDIPIW.allocate(NEQN, MAXNBKV, NS) && R.RSRCIV.allocate(NEQN, std::max(NM, 1));
    if (!ok) {
        ERRMSG(" Allocation error in RANKIN -- RAM too small ", 0);
        IERR = 1;
        return;
    }

    // The kernels give the span moments of every source span at an outer
    // point; they go into the windows tested with the point's B-splines.
    RkPoint K;
    RKSETUP(K, IERR);
    if (IERR != 0) return;
    int ipt = 0, foff = 0;
    for (int ip = 1; ip <= NPATCHT; ++ip) {
        const int ku = KU(ip), kv = KV(ip), nbu = NBU(ip);
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
                        RKPOINT(ip, iu, jv, ipt, um + uh * XGUO(ku_, ip), vm + vh * XGVO(kv_, ip), IRAD, HBOT, K,
                                IERR);
                        if (IERR != 0) return;
                        const float* bu = BASUQ.ptr(1 + (ku_ - 1) * MAXKU, iu, ip);
                        const float* bv = BASVQ.ptr(1 + (kv_ - 1) * MAXKV, jv, ip);
                        int s = 0, soff = 0;
                        for (int jp = 1; jp <= NPATCHT; ++jp) {
                            for (int lv = 1; lv <= NV(jp); ++lv)
                                for (int lu = 1; lu <= NU(jp); ++lu, ++s)
                                    RASSEMB(bu, ku, bv, kv, wt, foff + (jv - 1) * nbu + iu - 1, iu - 1, nbu,
                                            HOTAB7.ptr(1, lu, jp), KU(jp), HOTAB8.ptr(1, lv, jp), KV(jp),
                                            soff + (lv - 1) * NBU(jp) + lu - 1, NBU(jp),
                                            K.O[static_cast<std::size_t>(s)], NEQN, NS, NSOL, IRAD, cfg::ILOG,
                                            IPERSPC, R);
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
