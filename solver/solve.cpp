#include "solver/solve.hpp"

#include <new>
#include <vector>

#include "common/channels.hpp"
#include "common/messages.hpp"
#include "common/threads.hpp"
#include "main/config.hpp"
#include "main/symmetry.hpp"
#include "solver/matrices.hpp"
#include "solver/scrstore.hpp"
#include "solver/itersolve.hpp"
#include "solver/lufact.hpp"

namespace zorva {

namespace {

// Direct solution of every component.
void SOLVEDIR(int NEQN, int IRAD, int IDIFF, int NBETAC, const int* IU, Arr2<cplx>& RHSMOD, Arr3<cplx>& RHS,
              Arr2<cplx>& ALHS, int* NITER, int KSRC, int IPERFL, int& IERR) {
    std::vector<int> ipiv;
    std::vector<cplx> work, work2;
    try {
        ipiv.assign(static_cast<std::size_t>(NEQN > 0 ? NEQN : 1), 0);
        work.assign(static_cast<std::size_t>(NEQN > 0 ? NEQN : 1), cplx(0.0f, 0.0f));
        work2 = work;
    } catch (const std::bad_alloc&) {
        ERRMSG(" RAM too small. Allocation error in SOLVE ", 0);
        IERR = 1;
        return;
    }
    cplx* a = ALHS.data();
    for (int k = 1; k <= sym::NSYMC; ++k) {
        if (!(k == 1 && KSRC == 0)) {
            // The assembly left the unit open with the component's border
            // records; a unit without records gives the read error.
            int unit = IU[k - 1];
            if (slv::scr_records(unit) == 0) {
                slv::SCROPEN(&unit, 1, IERR);
                if (IERR != 0) return;
            }
            slv::SCRREWIND(unit);
            slv::RDLHS(unit, a, work.data(), work2.data(), NEQN, IERR);
            int ierrc = 0;
            slv::SCRCLOSE(&unit, 1, 0, ierrc);
            if (IERR != 0) return;
        }
        int ierr = 0;
        thr::blas_for(NEQN);
        LUFACT(a, ipiv.data(), NEQN, ierr);
        if (ierr != 0) {
            ERRMSG(" Error in direct solver: singular LHS", k);
            IERR = 1;
            return;
        }
        // Every right-hand side of the component in one solution: the
        // radiation columns of its modes, then the diffraction columns.
        std::vector<cplx*> cols;
        const int nrad = IRAD != -1 ? sym::NMODSC[static_cast<std::size_t>(k)] : 0;
        for (int i = 1; i <= nrad; ++i) cols.push_back(&RHSMOD(1, sym::IMODPOS(sym::IMODSC(i, k))));
        if (IDIFF >= 0 && IPERFL == 0)
            for (int b = 1; b <= NBETAC; ++b) cols.push_back(&RHS(1, b, k));
        if (cols.empty()) continue;
        const auto un = static_cast<std::size_t>(NEQN);
        std::vector<cplx> B;
        try {
            B.resize(un * cols.size());
        } catch (const std::bad_alloc&) {
            ERRMSG(" RAM too small. Allocation error in SOLVE ", 0);
            IERR = 1;
            return;
        }
        for (std::size_t c = 0; c < cols.size(); ++c) std::copy(cols[c], cols[c] + un, B.data() + c * un);
        const int info = LUSOLV(a, B.data(), static_cast<int>(cols.size()), ipiv.data(), NEQN);
        if (info != 0) {
            ERRMSG(" Error in direct solver: LAPACK CGETRS INFO=", info);
            IERR = 1;
            return;
        }
        for (std::size_t c = 0; c < cols.size(); ++c) std::copy(B.data() + c * un, B.data() + (c + 1) * un, cols[c]);
        if (nrad > 0) NITER[0] = -1;
        if (cols.size() > static_cast<std::size_t>(nrad)) NITER[1] = -1;
    }
}

}  // namespace

void SOLVE(int NEQN, int IRAD, int IDIFF, int NBETAC, const int* IU, float TOL, Arr2<cplx>& RHSMOD, Arr3<cplx>& RHS,
           Arr2<cplx>& ALHS, int* NITER, int KSRC, int IPERFL, int& IERR, int* NOCONV) {
    IERR = 0;
    NITER[0] = NITER[1] = 0;
    if (cfg::ISOLVE == 1) {
        SOLVEDIR(NEQN, IRAD, IDIFF, NBETAC, IU, RHSMOD, RHS, ALHS, NITER, KSRC, IPERFL, IERR);
        return;
    }
    // The iterative (ISOLVE = 0) and block-iterative (ISOLVE >= 2) solvers.
    SOLVEITR(NEQN, IRAD, IDIFF, NBETAC, IU, TOL, RHSMOD.data(), RHS.data(), ALHS.data(), NITER, KSRC, IPERFL, IERR,
             NOCONV);
}

}  // namespace zorva
