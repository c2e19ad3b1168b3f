// Adjustments of the first solution of a period (low-order method).
#include "geometry/model.hpp"
#include "main/symmetry.hpp"
#include "panels/paneldata.hpp"
#include "solver/incrhs.hpp"

namespace zorva {

void ADDPOT(int NEQN, int NBETAC, int NSYMC, Arr2<cplx>& RHSRAD, Arr2<cplx>& RHSADD) {
    const bool have_dipwm = model::IDIPWM.allocated() && static_cast<int>(model::IDIPWM.size()) >= NEQN;
    for (int col = 1; col <= NBETAC * NSYMC; ++col)
        for (int i = 1; i <= NEQN; ++i)
            if (!have_dipwm || model::IDIPWM(i) == 0) RHSRAD(i, col) += RHSADD(i, col);
}

void ZEROFLG(Arr2<cplx>& RHSMOD, Arr2<cplx>& RHSRAD, int IRAD, int IDIFF, int NEQN, int NBETAC) {
    if (!pnl::IPFLAG.allocated()) return;
    const cplx zero(0.0f, 0.0f);
    for (int i = 1; i <= NEQN; ++i) {
        if (pnl::IPFLAG(i) != -1) continue;
        if (IRAD != -1)
            for (int c = 1; c <= sym::NSOLC; ++c) RHSMOD(i, c) = zero;
        if (IDIFF != -1)
            for (int col = 1; col <= NBETAC * sym::NSYMC; ++col) RHSRAD(i, col) = zero;
    }
}

}  // namespace zorva
