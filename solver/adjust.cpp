// Adjustments of the first solution of a period (low-order method).
#include "geometry/model.hpp"
#include "main/symmetry.hpp"
#include "panels/paneldata.hpp"
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

}  // namespace zorva
