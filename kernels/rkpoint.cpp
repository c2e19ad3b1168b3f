// Rankine influence of every source span of the higher-order method at one
// outer (test) point: the run's rules and span corners, then RKPATCH span by
// span, each span's outputs kept for the caller to assemble.
#include <algorithm>
#include <cstddef>

#include "common/messages.hpp"
#include "geometry/bspline.hpp"
#include "geometry/model.hpp"
#include "geometry/modelmore.hpp"
#include "kernels/gausslog.hpp"
#include "kernels/horank.hpp"
#include "main/config.hpp"

namespace zorva {

void RKSETUP(RkPoint& K, int& IERR) {
    using namespace model;
    IERR = 0;
    int ierr = 0;
    GAUSLE(-1.0f, 1.0f, K.RL.XG, K.RL.WG, 8, ierr);
    if (ierr == 0 && cfg::ILOG == 1) ierr = GAUSSLOG(K.RL.XL, K.RL.WL, 8);
    if (ierr != 0) {
        IERR = 1;
        return;
    }

    // Centre and corners of every source span, the first square of each
    // of its subdivisions at every outer point.
    K.GOFF.assign(static_cast<std::size_t>(NPATCHT) + 1, 0);
    for (int p = 1; p <= NPATCHT; ++p)
        K.GOFF[static_cast<std::size_t>(p)] = K.GOFF[static_cast<std::size_t>(p - 1)] + NU(p) * NV(p);
    K.G.resize(15 * static_cast<std::size_t>(K.GOFF.back()));
    for (int p = 1; p <= NPATCHT; ++p)
        for (int lv = 1; lv <= NV(p); ++lv)
            for (int lu = 1; lu <= NU(p); ++lu) {
                const float ul = HOTAB1(KU(p) + lu - 1, p), uh = HOTAB1(KU(p) + lu, p);
                const float vl = HOTAB2(KV(p) + lv - 1, p), vh = HOTAB2(KV(p) + lv, p);
                const float pu[5] = {0.5f * (ul + uh), ul, uh, ul, uh}, pv[5] = {0.5f * (vl + vh), vl, vl, vh, vh};
                float* g = &K.G[15 * static_cast<std::size_t>(K.GOFF[static_cast<std::size_t>(p - 1)] +
                                                              (lv - 1) * NU(p) + lu - 1)];
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

    int MKU = 1, MKV = 1;
    for (int p = 1; p <= NPATCHT; ++p) MKU = std::max(MKU, KU(p)), MKV = std::max(MKV, KV(p));
    K.W.size(MKU * MKV, NMODT, cfg::IDIPOLE == 1);
    K.O.resize(static_cast<std::size_t>(K.GOFF.back()));
}

void RKPOINT(int IP, int IU, int JV, int IPT, float U, float V, int IRAD, float HBOT, RkPoint& K, int& IERR) {
    using namespace model;
    const int ib = IBPTH(IP);
    RkField F;
    F.IB = ib, F.IP = IP;
    F.IDIP = cfg::IDIPOLE == 1 && IDIPWM(IP) > 0 ? 1 : 0;
    F.U = U, F.V = V;
    for (int d = 0; d < 3; ++d) F.X[d] = XQO(d + 1, IPT), F.N[d] = ENQO(d + 1, IPT);
    F.VN = NMODT > 0 ? VNQO.ptr(1, IPT) : nullptr;
    const float zfs = ZBDYFS(IP);

    RkSpan SP;
    int nqpoff = 0;
    std::size_t s = 0;
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
            for (int lu = 1; lu <= NU(jp); ++lu, ++s) {
                SP.ULO = HOTAB1(KU(jp) + lu - 1, jp), SP.UHI = HOTAB1(KU(jp) + lu, jp);
                SP.VLO = HOTAB2(KV(jp) + lv - 1, jp), SP.VHI = HOTAB2(KV(jp) + lv, jp);
                SP.NQPOFF = nqpoff;
                SP.G = &K.G[15 * s];
                int ising = 0;
                if (jp == IP && lu == IU && lv == JV) ising = IFSPAT(jp) == 1 ? 2 : IFSPAT(jp) == -1 ? -2 : 1;
                RKPATCH(F, SP, ising, off, zfs, IRAD, HBOT, K.RL, K.O[s], K.W, IERR);
                if (IERR != 0) return;
                nqpoff += IQUI(jp) * IQVI(jp);
            }
    }
}

}  // namespace zorva
