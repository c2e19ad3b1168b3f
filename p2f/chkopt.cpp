// Checks of the output options against the run of the .p2f file.
#include <algorithm>

#include "common/messages.hpp"
#include "geometry/model.hpp"
#include "geometry/modelmore.hpp"
#include "main/config.hpp"
#include "main/runparams.hpp"
#include "main/symmetry.hpp"
#include "p2f/forcedata.hpp"
#include "p2f/forceprep.hpp"
#include "panels/paneldata.hpp"

namespace zorva {

void CHKOPT(int& IERR) {
    using namespace model;
    auto& IOPTN = run::IOPTN;
    IERR = 0;
    auto fatal = [&IERR](std::string_view text, int n = 0) {
        ERRMSG(text, n);
        IERR = 1;
    };

    // Each option within its range.
    static const int lo[10] = {0, 0, 0, 0, -3, 0, 0, 0, 0, 0};
    static const int hi[10] = {0, 1, 1, 1, 2, 3, 2, 2, 2, 2};
    for (int i = 1; i <= 9; ++i)
        if (IOPTN[static_cast<std::size_t>(i)] < lo[i] || IOPTN[static_cast<std::size_t>(i)] > hi[i])
            fatal(" Illegal option index IOPTN(I), I=", i);
    // At least one output asked for.
    // Formed wide: an option that rule 1 refused may hold any integer.
    long long sum = 0LL + IOPTN[1] + IOPTN[2] + IOPTN[3] + std::max(IOPTN[4], 0);
    for (int i = 5; i <= 9; ++i) sum += IOPTN[static_cast<std::size_t>(i)];
    if (sum == 0) fatal(" All option indices IOPTN = 0");
    // The control-surface switch is off (0) or a surface count.
    if (cfg::ICTRSURF < 0) fatal(" Illegal value of ICTRSURF = ", cfg::ICTRSURF);
    // The options against the problems solved and the headings.
    if (IOPTN[1] == 1 && IRAD == -1) fatal(" Option 1 inconsistent with value of IRAD");
    if (IOPTN[2] == 1 && IRAD == -1) fatal(" Option 2 inconsistent with value of IRAD");
    if (IOPTN[2] == 1 && NBETA == 0 && frc::NMODWM == 0) fatal(" Option 2 inconsistent with NBETA");
    if (IOPTN[3] == 1 && IDIFF == -1) fatal(" Option 3 inconsistent with value of IDIFF");
    if (IOPTN[3] == 1 && NBETA == 0) fatal(" Option 3 inconsistent with NBETA");
    if (IOPTN[4] == 1 && IRAD == -1) fatal(" Option 4 inconsistent with value of IRAD");
    if (IOPTN[4] == 2 && IDIFF == -1) fatal(" Option 4 inconsistent with value of IDIFF");
    if (IOPTN[4] == 1 && NBETA == 0 && frc::NMODWM == 0) fatal(" Option 4 inconsistent with NBETA");
    // Diffraction set to 0 with symmetry components left out.
    if (sym::NSYMC < sym::NSYMF && IDIFF == 0 && *std::max_element(IOPTN.begin() + 5, IOPTN.end()) >= 1) {
        ERRMSG(" Warning : Non-physical setting of IDIFF for IOPTN(5:9) ", 0);
        ERRMSG("           See User Manual Section 10.1 ", 0);
    }
    // Field points, walls and the source formulation that some outputs need.
    if ((IOPTN[6] > 0 || IOPTN[7] > 0) && frc::NFIELD < 1) fatal("Options 6 or 7 require NFIELD greater than zero");
    if (IOPTN[8] > 0 && (ISX == -1 || ISY == -1)) fatal(" Momentum drift forces cannot be evaluated with walls");
    if (cfg::ILOWHI == 0 && cfg::ISOR == 0) {
        if (IOPTN[5] > 1) fatal("Velocity on body requires source method with ISOR=1");
        if (IOPTN[6] == 2) fatal("IOPTN(6)=2 requires source method with ISOR=1");
        if (IOPTN[7] == 2) fatal("IOPTN(7)=2 requires source method with ISOR=1");
        if (IOPTN[9] > 0) fatal("IOPTN(9) > 0 requires source method with ISOR=1");
    }
    // Pressure drift warnings, body by body.
    if (IOPTN[9] > 0) {
        int p0 = 0;  // panels of the earlier bodies
        for (int ib = 1; ib <= cfg::NBODY; ++ib) {
            if (cfg::NEWMDS.extent(1) >= ib && cfg::NEWMDS(ib) > 0)
                ERRMSG("Warning:pressure mean force skipped due to NEWMDS>0 for body=", ib);
            bool fs = false;
            if (cfg::ILOWHI == 0) {
                const int np = NPANB.extent(1) >= ib ? NPANB(ib) : 0;
                for (int i = p0 + 1; i <= p0 + np && i <= pnl::IPFLAG.extent(1); ++i) fs = fs || pnl::IPFLAG(i) == 1;
                p0 += np;
            } else if (IPSTART.extent(1) >= ib && NPATCHB.extent(1) >= ib) {
                for (int p = IPSTART(ib); p <= IPSTART(ib) + NPATCHB(ib) - 1; ++p)
                    fs = fs || (p >= 1 && p <= IFSPAT.extent(1) && IFSPAT(p) == 1);
            }
            if (fs) ERRMSG("Warning:pressure mean force skipped due to IFSPAT=1 on body=", ib);
        }
        if (cfg::IDIPOLE > 0) ERRMSG("Warning:Pressure mean force not physical with dipole patches", 0);
    }
    // Field points above the free surface or below the bottom.
    if (IOPTN[6] > 0 || IOPTN[7] > 0) {
        const float L = ULEN.extent(1) >= 1 ? ULEN(1) : 1.0f;
        for (int n = 1; n <= frc::NFIELD; ++n) {
            float z = frc::XFIELD(3, n) / L;
            const int t = frc::IFPTANK.extent(1) >= n ? frc::IFPTANK(n) : 0;
            if (cfg::NTANKS > 0 && t > 0 && t <= cfg::NTANKS) z = z - cfg::ZTANKFS(t) - cfg::XBODY(3, cfg::ITANKB(t));
            if (z > 1.0E-4f) fatal(" Field point above free surface, N=", n);
            if (HBOT > 0.0f && z < -1.0E-4f - HBOT) fatal(" Field point below bottom, N=", n);
        }
        if (IOPTN[6] == 2 && cfg::ILOWHI == 1) {
            ERRMSG(" WARNING:IOPTN(6)=2 illegal for ILOWHI=1 and reset to 1", 0);
            IOPTN[6] = 1;
        }
        if (IOPTN[7] == 2 && cfg::ILOWHI == 1) {
            ERRMSG(" WARNING:IOPTN(7)=2 illegal for ILOWHI=1 and reset to 1", 0);
            IOPTN[7] = 1;
        }
    }
    // Velocities on dipole patches.
    if (IOPTN[5] > 1 && cfg::IDIPOLE == 1) ERRMSG(" Warning: Fluid velocity on dipole patches is non-physical", 0);
    // Nothing was solved.
    if (cfg::ISOLVE == -1) {
        for (int i : {1, 2, 3, 4, 5, 8, 9}) {
            if (IOPTN[static_cast<std::size_t>(i)] > 0) {
                ERRMSG(" WARNING: IOPTN(I) reset to 0 for I=", i);
                IOPTN[static_cast<std::size_t>(i)] = 0;
            }
        }
    }
}

}  // namespace zorva
