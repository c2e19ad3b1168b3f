// Consistency checks of the switches and indices of a POTEN run, made once
// all input is read.  Every rule is checked, so one call reports every
// failed rule (a value the configuration file gave is named by a second
// line); three corrections (MAXSCR, ISCATT, IDIFF) survive the call.
#include <algorithm>

#include "common/messages.hpp"
#include "geometry/model.hpp"
#include "geometry/modelin.hpp"
#include "main/config.hpp"

namespace zorva {

using namespace model;
using namespace cfg;

void CHKPOT(int IRAD_, int& IDIFF_, int NPER_, int NBETA_, int IMODFL, int NEQN_, float TOL0, float TOLIRR,
            float& TOL, int& IERR) {
    (void)NPER_;
    IERR = 0;
    auto err = [&](const char* text, int value) {
        ERRMSG(text, value);
        IERR = 1;
    };

    bool all0 = IRR.allocated() && IRR.extent(1) > 0;
    int irrmin = 0, irrmax = 0;
    for (long i = 1; i <= IRR.extent(1); ++i) {
        if (IRR(i) != 0) all0 = false;
        irrmin = i == 1 ? IRR(i) : std::min(irrmin, IRR(i));
        irrmax = i == 1 ? IRR(i) : std::max(irrmax, IRR(i));
    }
    TOL = all0 ? TOL0 : TOLIRR;

    // Per-body keys of the configuration for bodies the run does not have:
    // ignored, but tanks that no body holds are refused.
    warn_bodies();
    for (int ib = NBODY + 1; ib <= NTANKB.extent(1); ++ib)
        if (NTANKB(ib) > 0) {
            err("Error in CONFIG file: tank ranges NPTANK of a body beyond the bodies of the run, body N=", ib);
            name_given("NPTANK", ib);
            break;
        }

    if (ISOLVE < -1) {
        err("Value of ISOLVE is illegal In CONFIG file: ISOLVE=", ISOLVE);
    } else if (ISOLVE == -1) {
        ERRMSG("Warning: ISOLVE=-1 is used only for wavemakers ", 0);
        if (IDIFF_ >= 0) {
            err("Value of IDIFF is illegal : IDIFF=", IDIFF_);
            ERRMSG("Set IDIFF=-1 ", 0);
        }
        if (ISOR != 0) {
            err("Value of ISOR is illegal : ISOR=", ISOR);
            ERRMSG("Set ISOR=0 ", 0);
        }
    }

    if (ILOWHI >= 1)
        MAXSCR = NEQN_;
    else if (ISOLVE == 0)
        MAXSCR = std::min(MAXSCR, NEQN_);
    else if (ISOLVE == 1)
        MAXSCR = NEQN_;
    else
        MAXSCR = NBLKSZ;

    if (ISX < -1 || ISX > 1) err("Value of a symmetry index is illegal", 0);
    if (ISY < -1 || ISY > 1) err("Value of a symmetry index is illegal", 0);

    // Switches and the wavemaker body as the .p2f file carries them (ISOR,
    // from the configuration or the .pot file, RDPOT has bounded already).
    if (ISCATT < 0 || ISCATT > 1) err("Value of ISCATT is illegal In CONFIG file: ISCATT=", ISCATT);
    if (IBODY_WAVEMAKER < 0 || IBODY_WAVEMAKER > NBODY) {
        err("Value of IBODY_WAVEMAKER is illegal In CONFIG file: IBODY_WAVEMAKER=", IBODY_WAVEMAKER);
        name_given("IBODY_WAVEMAKER");
    }
    if (IQUAD < 0 || IQUAD > 1) err(" Value of IQUAD index is illegal ", 0);
    if (ILOG < 0 || ILOG > 1) err(" Value of ILOG index is illegal ", 0);
    if (IDIAG < 0 || IDIAG > 1) err(" Value of IDIAG index is illegal ", 0);
    if (IDIFF_ < -1 || IDIFF_ > 1) err("Value of IDIFF index is illegal", 0);

    int s = 0;
    for (int m = 1; m <= NMODT && m <= IMODE.extent(1); ++m) s += IMODE(m);
    if (IMODFL < 0) s = -1;  // the extra modes are not known yet
    if (IRAD_ == 0 && s == 0) err("IRAD=0 and all mode indices IMODE(I)=0", 0);
    if (IRAD_ == -1 && IDIFF_ == -1) err("Error return: both IRAD=-1 and IDIFF=-1", 0);
    if (IDIFF_ == 0 && s == 0) err("Error return: IDIFF=0 and all mode indices IMODE(I)=0", 0);

    if (NBETA_ == 0 && IDIFF_ >= 0) err("No wave headings specified for diffraction problem", 0);

    if (ILOWHI == 1) {
        if (ISOR == 1) {
            err(" ISOR=1 is illegal with ILOWHI=1 ", 0);
            name_given("ISOR");
        }
        if (ISCATT == 1) {
            err(" ISCATT=1 is illegal with ILOWHI=1 ", 0);
            name_given("ISCATT");
        }
    }

    if (IRR.extent(1) > 0) {
        if (irrmin < 0) {
            err(" IRR < 0 is illegal ", 0);
        } else if (irrmax > 3) {
            err(" IRR > 3 is illegal  ", 0);
        } else if (ILOWHI == 1 && irrmax > 1) {
            for (long i = 1; i <= IRR.extent(1); ++i)
                if (IRR(i) == 2) {
                    err(" IRR = 2 is illegal with ILOWHI=1 ", 0);
                    name_given("IRR", static_cast<int>(i));
                    break;
                }
        }
    }

    if (ILOWHI == 1) {
        if (IDIAG >= 1) ERRMSG(" Warning: IDIAG is ignored with ILOWHI=1 ", 0);
        if (IQUAD > 0) ERRMSG(" Warning: IQUAD is ignored with ILOWHI=1 ", 0);
    }

    if (IDIPOLE == 1) {
        if (ISOR == 1) err("Set ISOR=0 if dipole panels are used in GDF", 0);
        if (ISOLVE == -1) err("Dipole panels are illegal for wavemaker", 0);
        if (ISCATT == 0 && ILOWHI == 0) {
            ERRMSG(" WARNING: ISCATT=0 may be inaccurate for DIPOLE PANELS", 0);
            ERRMSG("          ISCATT is set to ISCATT=1 ", 0);
            ISCATT = 1;
        }
    }

    // A wavemaker body refused above changes nothing.
    if (IBODY_WAVEMAKER > 0 && IBODY_WAVEMAKER <= NBODY) {
        if (IDIFF_ >= 0) {
            ERRMSG("IDIFF=-1 reset for wavetank ", 0);
            IDIFF_ = -1;
        }
        if (IBODY_WAVEMAKER < NBODY) {
            ERRMSG("WARNING: NBODY>IBODYW.  Check that physical ", 0);
            ERRMSG("         bodies precede wavemakers", 0);
        }
    }
}

}  // namespace zorva
