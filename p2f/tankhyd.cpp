// Internal tanks: their hydrostatic terms in the restoring matrix and, for
// bodies whose mass is their displacement, the body mass without the tank
// fluid.
//
// Units: the vertical centre of gravity enters the restoring matrix in the
// nondimensional form that the force control file's gravitational terms
// use (ZCG divided by the length scale), so that the correction agrees with
// those terms whatever the length scale is.
#include <algorithm>

#include "common/messages.hpp"
#include "geometry/model.hpp"
#include "main/config.hpp"
#include "p2f/forcedata.hpp"
#include "p2f/forceprep.hpp"
#include "panels/geomdata.hpp"

namespace zorva {

void TANKHYD(int NBODY, int NTANKS, int& IERR) {
    using cfg::CTANK;
    using frc::VMOMB;
    const float L = model::ULEN(1);
    const float ULENI = 1.0f / L;
    int o = 0;
    for (int ib = 1; ib <= NBODY; ++ib) {
        const int nmod = 6 + (cfg::NEWMDS.extent(1) >= ib ? cfg::NEWMDS(ib) : 0);
        auto C = [&](int i, int j) -> float& { return pnl::CHYD(o + i, o + j); };
        const bool layout1 = cfg::IALTFRCN(ib) == 1;
        float ml = 0.0f;
        for (int t = 1; t <= NTANKS; ++t) {
            if (cfg::ITANKB(t) != ib) continue;
            const float r = cfg::RHOTANK(t);
            auto c = [&](int k) { return CTANK(k, t); };
            C(3, 3) += r * c(1);
            C(3, 4) += r * c(3);
            C(4, 3) += r * c(3);
            C(3, 5) += r * c(2);
            C(5, 3) += r * c(2);
            C(4, 4) += r * (c(9) - c(6) / 2.0f);
            C(5, 5) += r * (c(7) - c(6) / 2.0f);
            C(4, 5) += r * c(8);
            C(5, 4) += r * c(8);
            if (layout1) {
                const float v1 = cfg::VOLTANK(1, t), v2 = cfg::VOLTANK(2, t), v3 = cfg::VOLTANK(3, t);
                ml += r * std::min({std::max(v1, v2), std::max(v1, v3), std::max(v2, v3)});
            } else {
                C(4, 6) += r * c(4) / 2.0f;
                C(5, 6) += r * c(5) / 2.0f;
            }
            VMOMB(1, ib) -= r * c(4) / 2.0f;
            VMOMB(2, ib) -= r * c(5) / 2.0f;
            frc::CZ35(ib) += r * c(2) * cfg::ZTANKFS(t);
            frc::CZ33(ib) -= r * c(1) * cfg::ZTANKFS(t);
            frc::CZ34(ib) -= r * c(3) * cfg::ZTANKFS(t);
        }
        if (layout1) {
            const float vol = pnl::VOLB(ib);
            // The body must keep a positive mass once its tank fluid is
            // taken out; otherwise the centre of gravity is undefined.
            if (!(vol > 0.0f) || !(ml < vol)) {
                ERRMSG("Tank fluid mass not less than the displaced mass of body=", ib);
                IERR = 1;
                return;
            }
            const float f = 1.0f - ml / vol;
            for (int j = 1; j <= 6; ++j)
                for (int i = 1; i <= 6; ++i) frc::EXTMATND(1, o + i, o + j) *= f;
            const float mp = f * vol;
            const float zg = frc::CGBODY(3, ib) * ULENI;
            C(4, 4) += ml * zg;
            C(5, 5) += ml * zg;
            frc::CGBODY(1, ib) = VMOMB(1, ib) * L / mp;
            frc::CGBODY(2, ib) = VMOMB(2, ib) * L / mp;
        }
        o += nmod;
    }
}

}  // namespace zorva
