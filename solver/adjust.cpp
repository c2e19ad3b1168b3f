// Adjustments of the first solution of a period (low-order method).
#include <algorithm>

#include "geometry/model.hpp"
#include "main/symmetry.hpp"
#include "main/config.hpp"
#include "panels/geomdata.hpp"
#include "panels/paneldata.hpp"
#include "solver/matrices.hpp"
#include "solver/incrhs.hpp"

namespace zorva {

void ADDPOT(int NEQN, int NBETAC, int NSYMC, Arr3<cplx>& RHSRAD, Arr3<cplx>& RHSADD) {
    const bool have_dipwm = model::IDIPWM.allocated() && static_cast<int>(model::IDIPWM.size()) >= NEQN;
    for (int k = 1; k <= NSYMC; ++k)
        for (int j = 1; j <= NBETAC; ++j)
            for (int i = 1; i <= NEQN; ++i)
                if (!have_dipwm || model::IDIPWM(i) == 0) RHSRAD(i, j, k) += RHSADD(i, j, k);
}

void ZEROFLG(Arr2<cplx>& RHSMOD, Arr3<cplx>& RHSRAD, int IRAD, int IDIFF, int NEQN, int NBETAC) {
    if (!pnl::IPFLAG.allocated()) return;
    const cplx zero(0.0f, 0.0f);
    for (int i = 1; i <= NEQN; ++i) {
        if (pnl::IPFLAG(i) != -1) continue;
        if (IRAD != -1)
            for (int c = 1; c <= sym::NSOLC; ++c) RHSMOD(i, c) = zero;
        if (IDIFF != -1)
            for (int k = 1; k <= sym::NSYMC; ++k)
                for (int j = 1; j <= NBETAC; ++j) RHSRAD(i, j, k) = zero;
    }
}

namespace {

// Calls F(p, q) for every lid panel q tied to a waterline panel p (global
// panel numbers).  The strips of lid panels were built body by body, one
// count-and-list group per waterline segment, for the bodies with IRR > 0
// that have lid panels (IPFLAG -1); other bodies' segments have no group.
template <class F>
void each_lid_pair(F&& f) {
    using namespace model;
    if (!pnl::LIDSTRIP.allocated() || !pnl::IPFLAG.allocated()) return;
    int ipan0 = 1, iw = 1, is = 1;
    for (int NB = 1; NB <= cfg::NBODY && NB <= NPANB.extent(1); ++NB) {
        const int np = NPANB(NB);
        const int nseg = NB <= NWLPANB.extent(1) ? NWLPANB(NB) : 0;
        bool lid = false;
        if (NB <= cfg::IRR.extent(1) && cfg::IRR(NB) > 0)
            for (int i = ipan0; i < ipan0 + np && !lid; ++i) lid = pnl::IPFLAG(i) == -1;
        if (lid) {
            for (int s = 0; s < nseg && is <= pnl::NLIDSTRIP; ++s) {
                const int p = ipan0 + IWLPAN(iw + s) - 1;
                const int n = pnl::LIDSTRIP(is);
                for (int l = 1; l <= n && is + l <= pnl::NLIDSTRIP; ++l) f(p, pnl::LIDSTRIP(is + l));
                is += n + 1;
            }
        }
        iw += nseg;
        ipan0 += np;
    }
}

}  // namespace

void DUPPAN(int NEQN, int NBETAC, int IRAD, int IDIFF, float NU) {
    int irrmax = 0;
    for (int ib = 1; ib <= cfg::NBODY && ib <= cfg::IRR.extent(1); ++ib) irrmax = std::max(irrmax, cfg::IRR(ib));
    const cplx mnu(-NU, 0.0f);
    if (IRAD != -1) {
        if (irrmax != 0)
            each_lid_pair([&](int p, int q) {
                for (int c = 1; c <= sym::NSOLC; ++c) slv::RHSMOD(q, c) = mnu * slv::RHSMOD(p, c);
            });
        for (int i = 1; i <= NEQN; ++i) {
            if (pnl::IPFLAG.allocated() && pnl::IPFLAG.extent(1) >= i && pnl::IPFLAG(i) == -1) continue;
            for (int k = 1; k <= sym::NSYMC; ++k)
                for (int n = 1; n <= sym::NMODSC[static_cast<std::size_t>(k)]; ++n) {
                    const int m = sym::IMODSC(n, k);
                    slv::RHSMOD(i, sym::IMODPOS(m)) = cplx(pnl::VNMODE(m, i), 0.0f);
                }
        }
    }
    if (IDIFF != -1 && irrmax != 0)
        each_lid_pair([&](int p, int q) {
            for (int k = 1; k <= sym::NSYMC; ++k)
                for (int j = 1; j <= NBETAC; ++j)
                    slv::RHSSRC(q, j, k) = mnu * (slv::RHSRAD(p, j, k) - slv::RHSADD(p, j, k));
        });
}

}  // namespace zorva
