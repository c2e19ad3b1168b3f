// Hydrostatics of the higher-order method: Gauss points over every spline
// panel of every patch (the influence set and the force set with their
// per-patch knot, Gauss and basis tables), the raw surface sums of the
// volumes, centre of buoyancy, restoring matrix and tanks, and the
// restoring terms of the generalized modes.
#include <algorithm>
#include <string>

#include "common/fmtwrite.hpp"
#include "common/messages.hpp"
#include "geometry/bspline.hpp"
#include "geometry/hogeom.hpp"
#include "geometry/model.hpp"
#include "geometry/modelin.hpp"
#include "geometry/modelmore.hpp"
#include "geometry/patchwhere.hpp"
#include "main/config.hpp"
#include "main/fnames.hpp"
#include "panels/geom.hpp"
#include "panels/geomdata.hpp"
#include "platform/zorva_userlib.h"

namespace zorva {

using namespace model;

namespace {

// The body's geometry-file name up to its first ".", 16 characters.
void set_modname(int NB) {
    const std::string& gdf = fnames::GDFNAME(NB);
    std::string name = gdf.substr(0, gdf.find('.'));
    name.resize(16, ' ');
    std::copy(name.begin(), name.end(), MODNAME.begin());
}

}  // namespace

void HYDSTC(const Arr2<float>& XBODY, int NBODY, int& IERR) {
    IERR = 0;
    const int np = NPATCHT, nmodt = NMODT;
    auto nomem = [&] {
        ERRMSG(" RAM too small to allocate arrays in HYDSTC ", 0);
        IERR = 1;
    };
    const long ku2 = static_cast<long>(MAXKU) * MAXKU, kv2 = static_cast<long>(MAXKV) * MAXKV;
    if (!HOTAB1.allocate(MAXKNU, np) || !HOTAB2.allocate(MAXKNV, np) || !XGUO.allocate(MXIQUO, np) ||
        !WGUO.allocate(MXIQUO, np) || !XGVO.allocate(MXIQVO, np) || !WGVO.allocate(MXIQVO, np) ||
        !HOTAB3.allocate(MAXQU, np) || !HOTAB4.allocate(MAXQU, np) || !HOTAB5.allocate(MAXQV, np) ||
        !HOTAB6.allocate(MAXQV, np) || !BASUQ.allocate(static_cast<long>(MAXKU) * MXIQUO, MAXNU, np) ||
        !BASVQ.allocate(static_cast<long>(MAXKV) * MXIQVO, MAXNV, np) || !HOTAB7.allocate(ku2, MAXNU, np) ||
        !HOTAB8.allocate(kv2, MAXNV, np) || !VNPT.allocate(nmodt) || WMPT.extent(1) < nmodt)
        return nomem();
    WMPT.fill(0.0f);

    // Set-up of the generalized modes of every body that has them.
    for (int NB = 1; NB <= NBODY; ++NB) {
        if (cfg::NEWMDS(NB) <= 0) continue;
        set_modname(NB);
        const float X0[3] = {0, 0, 0}, VN0[3] = {0, 0, 0};
        const int mode = -1, ipos = 1, iuext = 15, iuerr = IUERR, iulog = IULOG;
        NEWMODES(X0, VN0, &IBMOD(1), &NB, &ipos, &cfg::NEWMDS(1), &cfg::IGENMDS(NB), &IMODE(1), &VNPT(1), &WMPT(1),
                 &mode, &iuext, MODNAME.data(), 16, &iuerr, &iulog, &IERR);
        if (IERR > 0) {
            ERRMSG(" Error calling NEWMODES from HYDSTC, BODY N=", NB);
            return;
        }
        IERR = 0;
    }

    long nqo = 0, nqp = 0;
    for (int p = 1; p <= np; ++p) {
        const long spans = static_cast<long>(NU(p)) * NV(p);
        nqo += spans * IQUO(p) * IQVO(p);
        nqp += spans * IQUI(p) * IQVI(p);
    }
    if (!XQO.allocate(3, nqo) || !ENQO.allocate(3, nqo) || !VNQO.allocate(nmodt, nqo) || !XQP.allocate(3, nqp) ||
        !ENQP.allocate(3, nqp) || !VNQP.allocate(nmodt, nqp) || !WQP.allocate(nqp))
        return nomem();
    NQO = static_cast<int>(nqo);

    auto gauss = [&](int n, float* x, float* w) {
        GAUSLE(-1.0f, 1.0f, x, w, n, IERR);
        if (IERR != 0) ERRMSG(" Error calling GAUSLE in HYDSTC", 0);
        return IERR == 0;
    };
    auto basis = [&](const float* t, int nb, int k, float x, int id, float* b, int ldb) {
        int intv = 0;
        BASEF(t, nb, k, x, id, 0, b, ldb, intv, IERR);
        if (IERR != 0) {
            ERRMSG(" Error calling BASEF in HYDSTC", 0);
            IERR = 1;
        }
        return IERR == 0;
    };
    auto point = [&](float u, float v, int ib, int p, float* x, float* vn, float& aj, int iglob) {
        float xu[3], xv[3];
        BODYGEOM(u, v, ib, p, x, vn, xu, xv, aj, 2, iglob, IERR);
        if (IERR != 0) ERRMSG(" Error calling BODYGEOM in HYDSTC", 0);
        return IERR == 0;
    };

    // Influence set and the per-patch tables.
    long n = 0;
    for (int p = 1; p <= np; ++p) {
        const int ib = IBPTH(p), ku = KU(p), kv = KV(p);
        if (cfg::NEWMDS(ib) > 0) set_modname(ib);
        KNOTVEC(NU(p), ku, 2, 0, &HOTAB1(1, p), IERR);
        if (IERR == 0) KNOTVEC(NV(p), kv, 2, 0, &HOTAB2(1, p), IERR);
        if (IERR != 0) return;
        if (!gauss(IQUO(p), &XGUO(1, p), &WGUO(1, p)) || !gauss(IQVO(p), &XGVO(1, p), &WGVO(1, p))) return;
        const float* tu = &HOTAB1(1, p);
        const float* tv = &HOTAB2(1, p);
        for (int i = 1; i <= NU(p); ++i) {
            const float a = tu[ku + i - 2], b = tu[ku + i - 1], m = (a + b) / 2.0f, h = (b - a) / 2.0f;
            if (!basis(tu, NBU(p), ku, m, ku - 1, &HOTAB7(1, i, p), ku)) return;
            for (int q = 1; q <= IQUO(p); ++q)
                if (!basis(tu, NBU(p), ku, m + XGUO(q, p) * h, 0, &BASUQ(1 + (q - 1) * MAXKU, i, p), MAXKU)) return;
        }
        for (int j = 1; j <= NV(p); ++j) {
            const float a = tv[kv + j - 2], b = tv[kv + j - 1], m = (a + b) / 2.0f, h = (b - a) / 2.0f;
            if (!basis(tv, NBV(p), kv, m, kv - 1, &HOTAB8(1, j, p), kv)) return;
            for (int q = 1; q <= IQVO(p); ++q)
                if (!basis(tv, NBV(p), kv, m + XGVO(q, p) * h, 0, &BASVQ(1 + (q - 1) * MAXKV, j, p), MAXKV)) return;
        }
        for (int j = 1; j <= NV(p); ++j) {
            const float vm = (tv[kv + j - 2] + tv[kv + j - 1]) / 2.0f, vh = (tv[kv + j - 1] - tv[kv + j - 2]) / 2.0f;
            for (int i = 1; i <= NU(p); ++i) {
                const float um = (tu[ku + i - 2] + tu[ku + i - 1]) / 2.0f,
                            uh = (tu[ku + i - 1] - tu[ku + i - 2]) / 2.0f;
                for (int qv = 1; qv <= IQVO(p); ++qv)
                    for (int qu = 1; qu <= IQUO(p); ++qu) {
                        ++n;
                        float aj = 0.0f;
                        if (!point(um + XGUO(qu, p) * uh, vm + XGVO(qv, p) * vh, ib, p, &XQO(1, n), &ENQO(1, n), aj,
                                   NWALL))
                            return;
                        std::copy(VNPT.begin(), VNPT.begin() + nmodt, &VNQO(1, n));
                    }
            }
        }
    }

    // Force set and the hydrostatic sums.
    const int sx = std::max(ISX, 0), sy = std::max(ISY, 0);
    n = 0;
    for (int p = 1; p <= np; ++p) {
        const int ib = IBPTH(p), ku = KU(p), kv = KV(p), t = ITANK(p), m0 = IBMOD(ib);
        if (cfg::NEWMDS(ib) > 0) set_modname(ib);
        if (!gauss(IQUI(p), &HOTAB3(1, p), &HOTAB4(1, p)) || !gauss(IQVI(p), &HOTAB5(1, p), &HOTAB6(1, p))) return;
        const float* tu = &HOTAB1(1, p);
        const float* tv = &HOTAB2(1, p);
        const float ZB = XBODY(3, ib);
        const float zt = t > 0 && t <= cfg::ZTANKFS.extent(1) ? cfg::ZTANKFS(t) : 0.0f;
        const bool sums = IFSPAT(p) != -1 && !(cfg::IDIPOLE == 1 && IDIPWM(p) != 0);
        auto C = [m0](int j, int k) -> float& { return pnl::CHYD(m0 + j, m0 + k); };
        for (int j = 1; j <= NV(p); ++j) {
            const float vm = (tv[kv + j - 2] + tv[kv + j - 1]) / 2.0f, vh = (tv[kv + j - 1] - tv[kv + j - 2]) / 2.0f;
            for (int i = 1; i <= NU(p); ++i) {
                const float um = (tu[ku + i - 2] + tu[ku + i - 1]) / 2.0f,
                            uh = (tu[ku + i - 1] - tu[ku + i - 2]) / 2.0f;
                for (int qv = 1; qv <= IQVI(p); ++qv)
                    for (int qu = 1; qu <= IQUI(p); ++qu) {
                        ++n;
                        float X[3];
                        if (!point(um + HOTAB3(qu, p) * uh, vm + HOTAB5(qv, p) * vh, ib, p, X, &ENQP(1, n), WQP(n), 0))
                            return;
                        std::copy(VNPT.begin(), VNPT.begin() + nmodt, &VNQP(1, n));
                        if (NWALL > 0)
                            BODY2GLB(X, &XQP(1, n), ib);
                        else
                            std::copy(X, X + 3, &XQP(1, n));
                        const float x = X[0], y = X[1], z = X[2];
                        if (HBOT > 0.0f && HBOT + (t == 0 ? z + ZB : z - zt) < -1.0E-5f) {
                            ERRMSG(" Field point is below bottom on body  ", ib);
                            ERRMSG("                           Patch      ", p);
                            ERRMSG(" Error in GDF file, " + PATCHWHERE(ib, p) + ": point below the bottom (depth HBOT = " +
                                       fmt::num(HBOT * ULEN(1), 6) + " in POT file " + fnames::FILEPOT + ")",
                                   0);
                            IERR = 1;
                            return;
                        }
                        if (!sums) continue;
                        const float dS = HOTAB4(qu, p) * HOTAB6(qv, p) * uh * vh * WQP(n);
                        const float nx = ENQP(1, n), ny = ENQP(2, n), nz = ENQP(3, n);
                        if (t == 0) {
                            pnl::VOLXYZ(1, ib) += nx * x * dS;
                            pnl::VOLXYZ(2, ib) += ny * y * dS;
                            pnl::VOLXYZ(3, ib) += nz * z * dS;
                            pnl::XBUOY(1, ib) += x * x * nx * dS;
                            pnl::XBUOY(2, ib) += y * y * ny * dS;
                            pnl::XBUOY(3, ib) += (z + ZB) * (z + ZB) * nz * dS;
                            C(3, 3) += nz * dS;
                            C(3, 4) += y * nz * dS;
                            C(3, 5) += x * nz * dS;
                            C(4, 4) += y * y * nz * dS;
                            C(4, 5) += x * y * nz * dS;
                            C(5, 5) += x * x * nz * dS;
                        } else {
                            cfg::VOLTANK(1, t) += nx * x * dS;
                            cfg::VOLTANK(2, t) += ny * y * dS;
                            cfg::VOLTANK(3, t) += nz * (z - zt) * dS;
                            cfg::CTANK(1, t) += nz * dS;
                            cfg::CTANK(2, t) -= x * nz * dS;
                            cfg::CTANK(3, t) += y * nz * dS;
                            cfg::CTANK(4, t) += x * x * nx * dS;
                            cfg::CTANK(5, t) += y * y * ny * dS;
                            cfg::CTANK(6, t) += (z + zt) * (z - zt) * nz * dS;
                            cfg::CTANK(7, t) += x * x * nz * dS;
                            cfg::CTANK(8, t) -= x * y * nz * dS;
                            cfg::CTANK(9, t) += y * y * nz * dS;
                        }
                        const int ng = cfg::NEWMDS(ib);
                        if (ng <= 0) continue;
                        const int g1 = m0 + 7, gN = m0 + 6 + ng;
                        for (int jj = g1; jj <= gN; ++jj)
                            for (int k = m0 + 1; k <= gN; ++k)
                                if (IMODE(k) != 0)
                                    pnl::CHYD(jj, k) += static_cast<float>(MODSYM(IMODE(jj), IMODE(k), sx, sy)) *
                                                        VNPT(k) * dS * WMPT(jj);
                        WMPT(m0 + 1) = 0.0f;
                        WMPT(m0 + 2) = 0.0f;
                        WMPT(m0 + 3) = 1.0f;
                        WMPT(m0 + 4) = y;
                        WMPT(m0 + 5) = -x;
                        WMPT(m0 + 6) = 0.0f;
                        for (int jj = m0 + 1; jj <= m0 + 6; ++jj) {
                            if (IMODE(jj) == 0) continue;
                            for (int k = g1; k <= gN; ++k)
                                pnl::CHYD(jj, k) += static_cast<float>(MODSYM(IMODE(jj), IMODE(k), sx, sy)) *
                                                    VNPT(k) * dS * WMPT(jj);
                        }
                    }
            }
        }
    }
    NQP = static_cast<int>(nqp);
}

}  // namespace zorva
