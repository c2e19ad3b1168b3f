// The POTEN stage: set-up of the run, the period loop of the radiation and
// diffraction solutions, and the hand-over to the FORCE stage.
#include <algorithm>
#include <string>

#include "common/channels.hpp"
#include "common/datetime.hpp"
#include "common/fmtwrite.hpp"
#include "common/messages.hpp"
#include "geometry/model.hpp"
#include "geometry/modelin.hpp"
#include "geometry/rgklink.hpp"
#include "kernels/wgsetup.hpp"
#include "main/brkchk.hpp"
#include "main/config.hpp"
#include "main/drivers/drivers.hpp"
#include "main/fnames.hpp"
#include "main/runparams.hpp"
#include "main/symmetry.hpp"
#include "p2f/p2f.hpp"
#include "panels/geom.hpp"
#include "solver/assembly.hpp"
#include "solver/incrhs.hpp"
#include "solver/matrices.hpp"
#include "solver/rankin.hpp"
#include "solver/scrstore.hpp"
#include "solver/solve.hpp"
#include "solver/srcvel.hpp"

namespace zorva {

namespace {
constexpr int IULIST = 11;   // list file fnames.zrv
constexpr int IUSUM = 22;    // run summary
// The period's solutions (KIND 0: the potentials, RHS the diffraction
// array; KIND 1: the source strengths) to the solution scratch of the .p2f
// file, once each value is found to be one the file carries: a solution
// that is not stops the run with a message naming the period.
void STORESOL(int JPER, int NBETAX, Arr3<cplx>& RHS, int KIND, int& IERR) {
    using namespace model;
    const int iperfl = IPERFL(JPER);
    if (!SOLCARRIED(NEQN, NBETAX, IRAD, IDIFF, slv::RHSMOD, RHS, KIND, iperfl)) {
        const std::string per = iperfl == 1   ? "infinite period"
                                : iperfl == 2 ? "zero period"
                                              : "period " + fmt::num(PER(JPER)) + " s";
        ERRMSG("Error: solution of wave period number " + std::to_string(JPER) + " (" + per +
                   ") not finite or beyond 1.E10; no .p2f file is written",
               0);
        IERR = 1;
        return;
    }
    WRSCR21(NEQN, NBETAX, IRAD, IDIFF, slv::RHSMOD, RHS, KIND, iperfl, IERR);
}

}  // namespace

void WRHEAD(const int* NITER, const int* NITERS, float PER, std::string& RUNDATE, std::string& RUNTIME) {
    DATETIME(RUNDATE, RUNTIME);
    int nr = NITER[0], nd = NITER[1];
    if (nr == 0 && nd == 0) return;
    std::string line = fmt::F(PER, 10, 4) + fmt::X(4) + fmt::A(RUNTIME, 8);
    if (cfg::ISOR != 1) {
        if (nr != 0) {
            line += fmt::X(4) + fmt::I(nr, 8);
            if (nd != 0) line += fmt::I(nd, 8);
        } else {
            line += fmt::X(12) + fmt::I(nd, 8);
        }
    } else {
        auto pair = [](int n, int ns) { return fmt::I(n, 3) + " (" + fmt::I(ns, 2) + ")"; };
        if (nr != 0) {
            line += fmt::X(8) + pair(nr, NITERS[0]);
            if (nd != 0) line.append(1, ' ').append(pair(nd, NITERS[1])).append(1, ' ');
        } else {
            line += fmt::X(16) + pair(nd, NITERS[1]);
        }
    }
    chan::write_line(IUSUM, line);
    chan::write_line(IUSCR, line);
}

void POTENRUN(int& IERR, int* NOCONV) {
    using namespace model;
    IERR = 0;

    // Set-up.
    fnames::SETFNAMES(IULIST, IUKBD, IUSCR, fnames::RUNFILES[5], fnames::EXTS, -1, IERR);
    if (IERR != 0) return;
    cfg::RDCONFIG(0, IERR);
    if (IERR != 0) return;
    if (cfg::IPOTEN == 0) {
        // The configuration's warnings go to the FORCE log, or without a
        // stage to the screen and the run log now.
        if (cfg::IFORCE != 1) cfg::warn_file();
        return;
    }
    ERRLOGOPEN("errorp.log", "POTEN", RUNDATE, RUNTIME, IERR);
    if (IERR == 1) return;
    cfg::warn_file();
    GETIP(run::IMODFL, run::NBETAX, IERR);
    if (IERR == 1) return;
    float TOLS = 1.0E-6f;
    CHKPOT(IRAD, IDIFF, NPER, NBETA, run::IMODFL, NEQN, 1.0E-6f, 1.0E-4f, TOLS, IERR);
    if (IERR == 1) return;
    GEOMSTAT(NEQN, run::IMODFL, IERR);
    if (IERR != 0) return;
    // The symmetry components and mode lists, which the .p2f file carries,
    // are set before the check of what it carries.
    ALLOCPOTW(NMODT, IDIFF);
    CHKCARRY(IERR);
    if (IERR != 0) return;
    // What the FORCE stage of the run will refuse is refused before the
    // first period is solved.
    if (cfg::IFORCE == 1) {
        CHKFRC(IERR);
        if (IERR != 0) return;
    }
    const int nbetax = run::NBETAX;
    if (NPER > 0) {
        if (cfg::ISOLVE >= 0) {
            RANKIN(NEQN, IRAD, IERR);
            if (IERR != 0) return;
        }
        slv::ALLOCMAT(NEQN, nbetax, IDIFF, IERR);
        if (IERR != 0) return;
    }
    // Units of the solver's matrix scratch store: 1..8 main solve, 9..16
    // source-strength solve.
    for (int k = 0; k < 16; ++k) slv::IUNIT[k] = 29 + k;
    if (model::NRGKBODY > 0) RGKDONE();

    int irrmax = 0;
    for (int ib = 1; ib <= cfg::NBODY && ib <= static_cast<int>(cfg::IRR.size()); ++ib)
        irrmax = std::max(irrmax, cfg::IRR(ib));

    // Period loop.
    const int nper = NPER;
    int JPER = 1, IBRK = 0;
    int NITER[2] = {0, 0}, NITERS[2] = {0, 0};
    for (JPER = 1; JPER <= nper; ++JPER) {
        BRKCHK(JPER, 1, IBRK);
        if (IBRK == 1) break;
        HGRN00(WNUMNU(JPER), WNUMK(JPER), PER(JPER), IERR);
        if (IERR == 1) return;
        if (cfg::ISOLVE < 0) continue;
        const int iperfl = IPERFL(JPER);
        INCRHS(NEQN, &sym::NSYMRHS[1], NBETA, WNUMK(JPER), IDIFF, iperfl, IERR);
        if (IERR != 0) return;
        WAVEGR(IRAD, IDIFF, nbetax, NEQN, WNUMNU(JPER), slv::ALHS, iperfl, IERR);
        if (IERR == 1) return;
        BRKCHK(JPER, 2, IBRK);
        if (IBRK == 1) break;
        SOLVE(NEQN, IRAD, IDIFF, nbetax, &slv::IUNIT[0], 1.0E-6f, slv::RHSMOD, slv::RHSRAD, slv::ALHS, NITER, 0,
              iperfl, IERR, NOCONV);
        if (IERR != 0) return;
        if (cfg::ILOWHI == 0 && IDIFF >= 0 && cfg::ISCATT == 1 && iperfl == 0)
            ADDPOT(NEQN, nbetax, sym::NSYMC, slv::RHSRAD, slv::RHSADD);
        if (cfg::ILOWHI == 0 && irrmax > 0 && iperfl == 0)
            ZEROFLG(slv::RHSMOD, slv::RHSRAD, IRAD, IDIFF, NEQN, nbetax);
        STORESOL(JPER, nbetax, slv::RHSRAD, 0, IERR);
        if (IERR != 0) return;
        if (cfg::ISOR == 1) {
            DUPPAN(NEQN, nbetax, IRAD, IDIFF, WNUMNU(JPER));
            SOLVE(NEQN, IRAD, IDIFF, nbetax, &slv::IUNIT[8], TOLS, slv::RHSMOD, slv::RHSSRC, slv::ALHS, NITERS, 1,
                  iperfl, IERR, NOCONV);
            if (IERR != 0) return;
            POTSRCST(NEQN, IRAD, IDIFF, nbetax, IERR);
            if (IERR != 0) return;
            STORESOL(JPER, nbetax, slv::RHSSRC, 1, IERR);
            if (IERR != 0) return;
        }
        WRHEAD(NITER, NITERS, PER(JPER), RUNDATE, RUNTIME);
    }

    // Wrap-up: a break keeps the periods finished before it.
    if (nper > 0 && IBRK == 1) NPER = JPER - 1;
    WRP2F(IRAD, IDIFF, NPER, NBETA, NEQN, IERR);
    if (IERR != 0) return;
    IMODE.deallocate();
    slv::RHSMOD.deallocate();
    slv::RHSRAD.deallocate();
    slv::ALHS.deallocate();
    slv::RHSSRC.deallocate();
    slv::RHSADD.deallocate();
    run::HQMOD1.deallocate();
    run::HQMOD2.deallocate();
    if (run::BASUG.allocated()) {
        run::BASUG.deallocate();
        run::BASVG.deallocate();
    }
    for (int unit = 23; unit <= 26; ++unit) chan::close(unit);
    // The higher-order Rankine records live in the matrix scratch store.
    const int rankine[4] = {23, 24, 25, 26};
    int ierr = 0;
    slv::SCRCLOSE(rankine, 4, 0, ierr);
    ERRMSG(" POTEN module run completed", 0);
    IERR = 0;
}

}  // namespace zorva
