// The FORCE stage: set-up from the .p2f and force control files, then the
// results of each stored period in a fixed order, as the output options ask.
#include "common/datetime.hpp"
#include "common/messages.hpp"
#include "ctrlsurf/ctrlsurf.hpp"
#include "geometry/model.hpp"
#include "geometry/rgklink.hpp"
#include "kernels/wgsetup.hpp"
#include "main/config.hpp"
#include "main/drivers/drivers.hpp"
#include "main/runparams.hpp"
#include "main/symmetry.hpp"
#include "force/bodyprs.hpp"
#include "force/drftpi.hpp"
#include "force/fieldpt.hpp"
#include "force/force.hpp"
#include "force/forceres.hpp"
#include "p2f/forcedata.hpp"
#include "p2f/forceprep.hpp"
#include "p2f/p2f.hpp"

namespace zorva {

namespace {
constexpr int IUOUT = 11;  // .out report
constexpr int IUP2F = 13;  // .p2f file
}  // namespace

void FORCERUN(int& IERR) {
    using namespace model;
    using cfg::ICTRSURF;
    using cfg::INUMOPT5;
    using cfg::INUMOPT6;
    using cfg::INUMOPT7;
    IERR = 0;

    ERRLOGOPEN("errorf.log", "FORCE", RUNDATE, RUNTIME, IERR);
    if (IERR == 1) return;
    cfg::warn_file();  // those of a run without the POTEN stage
    FRCSETUP(IERR);
    if (IERR == 1) return;
    CHKOPT(IERR);
    if (IERR == 1) return;

    const auto& IOPTN = run::IOPTN;
    const auto& IUNUM = run::IUNUM;
    const auto& NAME = run::NUMNAME;
    auto noout = [](int k) { return cfg::NOOUT.extent(1) >= k ? cfg::NOOUT(k) : 1; };
    const int* NSYMRHS = &sym::NSYMRHS[1];

    const int nper = NPER;
    for (int JPER = 1; JPER <= nper; ++JPER) {
        const float per = PER(JPER);
        const int iperfl = IPERFL(JPER);
        // A failure of the field points, the control surface or the pressure
        // drift ends the loop after the period's outputs; the first failure
        // of the period stands, a later success does not clear it.
        int ierrp = 0;
        auto keep = [&ierrp](int st) {
            if (ierrp == 0 && st != 0) ierrp = st;
        };

        SETMODFAC(per, iperfl);
        RDP2FPOT(IUP2F, iperfl, IERR);
        if (IERR == 1) return;
        WRPERHDR(per, WNUMK(JPER), IUOUT);
        if (HBOT > 0.0f && iperfl == 0 && (IOPTN[6] != 0 || IOPTN[7] != 0 || ICTRSURF != 0)) {
            float wnumk = 0.0f;
            HGRN00(WNUMNU(JPER), wnumk, per, IERR);
            if (IERR == 1) return;
        }
        if (IOPTN[1] == 1 || IOPTN[4] > 0) {
            AMDPINT();
            if (IOPTN[1] == 1) {
                OUTADMS(frc::AMAT, frc::BMAT, per, IUOUT, noout(1), IUNUM[1], NAME[1], iperfl, IERR);
                if (IERR == 1) return;
            }
        }

        // Exciting forces and motions, ordinary periods only.
        if (iperfl <= 0) {
            if (IOPTN[2] == 1 || IOPTN[4] == 1) {
                EXFHASK(WNUMNU(JPER), WNUMK(JPER));
                if (IOPTN[2] == 1) OUTHASK(frc::FEXH, per, IUOUT, noout(2), IUNUM[2], NAME[2], IERR);
                if (IERR == 1) return;
            }
            if (IOPTN[3] == 1 || IOPTN[4] == 2) {
                FRCACC();
                if (IOPTN[3] == 1) OUTDIFF(frc::FEXD, per, IUOUT, noout(3), IUNUM[3], NAME[3], IERR);
                if (IERR == 1) return;
            }
            if (IOPTN[4] == 1 || IOPTN[4] == 2) {
                RAOSOL(WNUMNU(JPER), per, IOPTN[4] == 1 ? frc::FEXH : frc::FEXD, IERR);
                if (IERR == 1) return;
            }
            if (IOPTN[4] > 0) {
                OUTRAO(frc::RAO, per, IUOUT, noout(4), IUNUM[4], NAME[4], IERR);
                if (IERR == 1) return;
            }
            if (cfg::IREADRAO == 1) continue;
        }

        const bool nsolc1 = IOPTN[4] == 0 && sym::NSOLC == 1;
        // Body surface.
        if (iperfl == 0 || INUMOPT5 == 1 || nsolc1) {
            if (IOPTN[5] > 0 || IOPTN[9] > 0) {
                int ierr = 0;
                BPBVDRV(WNUMNU(JPER), WNUMK(JPER), iperfl, ierr);
                if (ierr != 0) {
                    IERR = ierr;
                    return;
                }
            }
            if (IOPTN[5] == 1 || IOPTN[5] == 3) {
                OUTBPRS(per, IUOUT, noout(5), IUNUM[5], NAME[5], IERR);
                if (IERR == 1) return;
            }
            if (IOPTN[5] >= 2) {
                OUTBVEL(per, IUOUT, noout(5), &IUNUM[12], &NAME[12], IERR);
                if (IERR == 1) return;
            }
            if (cfg::ILOWHI == 1 && cfg::IPNLBPT == 0 && IOPTN[5] > 0) {
                CoefSets cs;
                BPVSUM(WNUMNU(JPER), iperfl, cs);
                OUT5PB(per, WNUMK(JPER), WNUMNU(JPER), iperfl, IUNUM[17], NAME[17], cs, IERR);
                if (IERR == 1) return;
            }
        }

        // Field points.
        if ((IOPTN[6] > 0 || IOPTN[7] > 0) && (iperfl == 0 || INUMOPT6 == 1 || INUMOPT7 == 1 || nsolc1)) {
            int ierr = 0;
            FIELDPT(WNUMNU(JPER), WNUMK(JPER), NSYMRHS, iperfl, ierr);
            keep(ierr);
        }
        if (IOPTN[6] > 0 && (iperfl == 0 || INUMOPT6 == 1 || nsolc1)) {
            OUTFPRS(per, IUOUT, IUNUM[6], NAME[6], IERR);
            if (IERR == 1) return;
        }
        if (IOPTN[7] > 0 && (iperfl == 0 || INUMOPT7 == 1 || nsolc1)) {
            OUTFVEL(per, IUOUT, &IUNUM[7], &NAME[7], IERR);
            if (IERR == 1) return;
        }

        // Drift forces, ordinary periods only.
        if (iperfl == 0) {
            if (IOPTN[8] > 0) {
                MOMDRIFT(WNUMNU(JPER), WNUMK(JPER), IOPTN[8]);
                OUTDRIFT(frc::DRIFTM, frc::DRIFTS, per, IUOUT, noout(8), IUNUM[10], NAME[10], 0, IOPTN[8], 0, IERR);
                if (IERR == 1) return;
            }
            if (IOPTN[9] > 0) {
                int ierr = 0;
                if (ICTRSURF != 0) {
                    CSFPT(WNUMNU(JPER), WNUMK(JPER), NSYMRHS, iperfl, ierr);
                    keep(ierr);
                }
                ierr = 0;
                DRFTPI(WNUMNU(JPER), IOPTN[9], ierr);
                keep(ierr);
                OUTDRIFT(frc::DRIFTM, frc::DRIFTS, per, IUOUT, noout(9), IUNUM[11], NAME[11], cfg::NBODY, IOPTN[9], 0,
                         IERR);
                if (IERR == 1) return;
                if (ICTRSURF != 0) {
                    OUTDRIFT(frc::DRIFTCM, frc::DRIFTCS, per, IUOUT, noout(9), IUNUM[18], NAME[18], cfg::NBODY, IOPTN[9],
                             ICTRSURF, IERR);
                    if (IERR == 1) return;
                }
            }
        }
        if (ierrp != 0) {
            IERR = 1;
            break;
        }
    }

    if (model::NRGKBODY > 0) RGKDONE();
}

}  // namespace zorva
