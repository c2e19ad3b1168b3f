#include <algorithm>

#include "common/messages.hpp"
#include "geometry/model.hpp"
#include "main/config.hpp"
#include "main/symmetry.hpp"
#include "solver/matrices.hpp"
#include "solver/scrstore.hpp"

namespace zorva::slv {

Arr2<cplx> RHSMOD, ALHS;
Arr3<cplx> RHSRAD, RHSSRC, RHSADD;
int IUNIT[16];

void ALLOCMAT(int NEQN, int NBETAC, int IDIFF, int& IERR) {
    IERR = 0;
    auto dim = [](int n) { return std::max(n, 0); };
    const int n = dim(NEQN), nb = dim(NBETAC), ns = dim(sym::NSYMC);
    auto ram = [&] {
        ERRMSG(" RAM too small for number of panels ", 0);
        IERR = 1;
    };
    if (!RHSMOD.allocate(n, dim(sym::NSOLC))) return ram();
    RHSMOD.fill(cplx(0.0f, 0.0f));
    const bool diff = IDIFF >= 0;
    if (!(diff ? RHSRAD.allocate(n, nb, ns) : RHSRAD.allocate(1, 1, 1))) return ram();
    if (cfg::ILOWHI == 0) {
        if (!(diff ? RHSSRC.allocate(n, nb, ns) : RHSSRC.allocate(1, 1, 1))) return ram();
        if (!(diff ? RHSADD.allocate(n, nb, ns) : RHSADD.allocate(1, 1, 1))) return ram();
    }
    if (!ALHS.allocate(dim(cfg::MAXSCR), dim(cfg::MAXSCR))) {
        ERRMSG(" RAM too small.  Reduce MAXSCR ", 0);
        IERR = 1;
        return;
    }
    // The matrix scratch store keeps in memory no more than the in-memory
    // matrix holds; further records go to its files.
    set_store_limit(ALHS.size() * sizeof(cplx));
}

void reset() {
    RHSMOD.deallocate();
    RHSRAD.deallocate();
    RHSSRC.deallocate();
    RHSADD.deallocate();
    ALHS.deallocate();
    for (int k = 0; k < 16; ++k) IUNIT[k] = 29 + k;
}

}  // namespace zorva::slv
