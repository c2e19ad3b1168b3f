// The bodies' contributions at the field points, low-order panels: for
// each point, panel of the point's own fluid (exterior or tank) and image
// of the geometry, the influences of the panel from FLDGRNLO, summed over
// the symmetry components with their parity signs, in the potential
// representation (option value 1) or the source representation (2).
#include <atomic>

#include "common/threads.hpp"
#include "common/types.hpp"
#include "force/bodyprs.hpp"
#include "force/fieldpt.hpp"
#include "geometry/model.hpp"
#include "kernels/fldgrn.hpp"
#include "main/config.hpp"
#include "main/runparams.hpp"
#include "main/symmetry.hpp"
#include "p2f/forcedata.hpp"
#include "panels/paneldata.hpp"

namespace zorva {

void FLDPTLO(float F, const int* /*NSYMRHS*/, int ONE, int IPERFL, int& IERR) {
    using namespace frc;
    const int o6 = run::IOPTN[6], o7 = run::IOPTN[7];
    const bool rad = model::IRAD >= 0, dif = NBETAF > 0 && model::IDIFF >= 0 && IPERFL == 0;
    const int ne = model::NEQN;
    auto tank = [](int j) { return model::ITANK.allocated() ? model::ITANK(j) : 0; };
    auto cls = [](int j) { return model::IDIPWM.allocated() ? model::IDIPWM(j) : 0; };
    // The points on all threads, each point's values by one thread; a
    // failure stops the points not yet begun.
    std::atomic<int> failed{0};
    thr::parallel_for(NFIELD, [&](int ip, int) {
        const int i = ip + 1;
        if (failed.load() != 0) return;
        int ierr = 0;
        const float x[3] = {XFIELD(1, i) * model::ULENI, XFIELD(2, i) * model::ULENI, XFIELD(3, i) * model::ULENI};
        const int ti = IFPTANK.allocated() ? IFPTANK(i) : 0;
        for (int j = 1; j <= ne; ++j) {
            if (tank(j) != ti) continue;
            const bool dipole = cfg::IDIPOLE != 0 && cls(j) != 0;
            for (int n = 1; n <= sym::NIMAGE; ++n) {
                const int a = sym::IMAGEID[static_cast<std::size_t>(n)];
                const float sxa = static_cast<float>(sym::ISGNX(a)), sya = static_cast<float>(sym::ISGNY(a));
                if (cfg::IDIPOLE == 1 && n >= 2 &&
                    ((cls(j) == 2 && sxa < 0.0f) || (cls(j) == 3 && sya < 0.0f)))
                    continue;
                const float xi[3] = {sxa * x[0], sya * x[1], x[2]};
                float dre, dim, sre, sim, gdre[3] = {}, gdim[3] = {}, gsre[3] = {}, gsim[3] = {};
                FLDGRNLO(xi, 100.0f, F, j, dre, dim, gdre, gdim, sre, sim, gsre, gsim, o7, ONE, IPERFL, ierr);
                if (ierr == 1) {
                    failed = 1;
                    return;
                }
                const cplx D(dre, dim), S(sre, sim);
                const cplx GD[3] = {{gdre[0], gdim[0]}, {gdre[1], gdim[1]}, {gdre[2], gdim[2]}};
                const cplx GS[3] = {{gsre[0], gsim[0]}, {gsre[1], gsim[1]}, {gsre[2], gsim[2]}};
                for (int k = 1; k <= sym::NSYMC; ++k) {
                    const int c = sym::ISYMC[static_cast<std::size_t>(k)];
                    const float s = static_cast<float>(ISGNPZ(c, a));
                    const float sg[3] = {sxa * s, sya * s, s};
                    if (rad)
                        for (int b = 1; b <= sym::NMODSC[static_cast<std::size_t>(k)]; ++b) {
                            const int m = sym::IMODSC(b, k), p = sym::IMODPOS(m);
                            const float vn = dipole ? 0.0f : pnl::VNMODE(m, j);
                            if (o6 == 1) PRADF(i, p) -= F * s * (D * RADPOT(j, p) - S * vn);
                            if (o6 == 2) PRADF(i, p) += F * s * S * RADSRC(j, p);
                            for (int d = 0; d < 3; ++d) {
                                if (o7 == 1) VRADF(d + 1, i, p) -= F * sg[d] * (GD[d] * RADPOT(j, p) - GS[d] * vn);
                                if (o7 == 2) VRADF(d + 1, i, p) += F * sg[d] * GS[d] * RADSRC(j, p);
                            }
                        }
                    if (dif)
                        for (int ib = 1; ib <= NBETAF; ++ib) {
                            if (o6 == 1) PDIFF(i, ib) -= s * D * DIFPOT(j, ib, k);
                            if (o6 == 2) PDIFF(i, ib) += s * S * DIFSRC(j, ib, k);
                            for (int d = 0; d < 3; ++d) {
                                if (o7 == 1) VDIFF(d + 1, i, ib) -= sg[d] * GD[d] * DIFPOT(j, ib, k);
                                if (o7 == 2) VDIFF(d + 1, i, ib) += sg[d] * GS[d] * DIFSRC(j, ib, k);
                            }
                        }
                }
            }
        }
    });
    IERR = failed.load() != 0 ? 1 : 0;
}

}  // namespace zorva
