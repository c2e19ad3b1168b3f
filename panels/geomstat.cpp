// The geometry step of the POTEN stage: panel tables and raw surface sums
// from the method's routine, then the volumes, centre of buoyancy,
// restoring matrix and tank coefficients of every body.
#include <algorithm>

#include "common/messages.hpp"
#include "geometry/model.hpp"
#include "main/config.hpp"
#include "panels/geom.hpp"
#include "panels/geomdata.hpp"

namespace zorva {

using namespace pnl;

void GEOMSTAT(int NEQN, int IMODFL, int& IERR) {
    const int nb = cfg::NBODY, nmodt = model::NMODT;
    if (!XBUOY.allocate(3, nb) || !VOLXYZ.allocate(3, nb) || !CHYD.allocate(nmodt, nmodt) || !VOLB.allocate(nb) ||
        !WMPT.allocate(nmodt)) {
        ERRMSG(" RAM too small to allocate arrays in GEOMSTAT ", 0);
        IERR = 1;
        return;
    }
    if (cfg::ILOWHI == 0) {
        GEOMN(NEQN, IMODFL, IERR);
    } else {
        HYDSTC(cfg::XBODY, nb, IERR);
    }
    // A refused geometry has no volumes to report (the hand-over run of the
    // extra modes ends here too, after its closing message, and still
    // finishes its sums).
    if (IERR != 0 && IMODFL >= 0) return;

    const int sx = std::max(model::ISX, 0), sy = std::max(model::ISY, 0);
    const float F = static_cast<float>((sx + 1) * (sy + 1));
    const float ox = static_cast<float>(1 - sx), oy = static_cast<float>(1 - sy);
    const int ibw = cfg::IBODY_WAVEMAKER;
    for (int NB = 1; NB <= nb; ++NB) {
        const int m0 = model::IBMOD(NB);
        auto C = [m0](int j, int k) -> float& { return CHYD(m0 + j, m0 + k); };
        const float ZB = cfg::XBODY(3, NB);
        float& vx = VOLXYZ(1, NB);
        float& vy = VOLXYZ(2, NB);
        float& vz = VOLXYZ(3, NB);
        vx = -F * vx;
        vy = -F * vy;
        vz = -F * (vz + ZB * C(3, 3));
        const float vmin = std::min({vx, vy, vz}), vmax = std::max({vx, vy, vz});
        const float V = std::min({std::max(vx, vy), std::max(vy, vz), std::max(vx, vz)});
        VOLB(NB) = V;

        float s = 1.0f;
        if (ibw == 0 || (ibw > 0 && NB < ibw)) {
            if (V >= 1.0E-30f)
                s = -F * 0.5f / V;
            else
                ERRMSG(" Warning: body volume less than 1.E-30 for body N=", NB);
        } else if (ibw > 0) {
            if (V > 1.0E-6f) ERRMSG(" Warning: Wavemaker volume > 1.E-6 for body N=", NB);
        }
        if (vmin > 1.0E-30f && vmin / vmax < 0.99f) ERRMSG(" Warning: body volumes differ by > 1% for body N=", NB);

        const float Xb = s * ox * XBUOY(1, NB), Yb = s * oy * XBUOY(2, NB), Zb = s * XBUOY(3, NB) - ZB;
        XBUOY(1, NB) = Xb;
        XBUOY(2, NB) = Yb;
        XBUOY(3, NB) = Zb;

        C(3, 3) = F * C(3, 3);
        C(3, 4) = F * oy * C(3, 4);
        C(4, 3) = C(3, 4);
        C(3, 5) = -F * ox * C(3, 5);
        C(5, 3) = C(3, 5);
        C(4, 4) = F * C(4, 4) + V * Zb;
        C(5, 5) = F * C(5, 5) + V * Zb;
        C(4, 5) = -F * ox * oy * C(4, 5);
        C(5, 4) = C(4, 5);
        C(4, 6) = -V * Xb;
        C(5, 6) = -V * Yb;
    }

    for (int t = 1; t <= cfg::NTANKS && t <= cfg::CTANK.extent(2); ++t) {
        for (int k = 1; k <= 3; ++k) cfg::VOLTANK(k, t) *= F;
        for (int k : {1, 6, 7, 9}) cfg::CTANK(k, t) *= F;
        if (model::ISX == 1) {
            cfg::CTANK(2, t) = cfg::CTANK(4, t) = cfg::CTANK(8, t) = 0.0f;
        } else {
            for (int k : {2, 4, 8}) cfg::CTANK(k, t) *= F;
        }
        if (model::ISY == 1) {
            cfg::CTANK(3, t) = cfg::CTANK(5, t) = cfg::CTANK(8, t) = 0.0f;
        } else {
            for (int k : {3, 5}) cfg::CTANK(k, t) *= F;
        }
    }
}

}  // namespace zorva
