// The bodies' contributions at the field points, low-order panels.  This
// build has no field-point influence of the panels yet: with field points
// to serve, the values would miss the bodies' part, so the call fails.
#include "common/messages.hpp"
#include "force/fieldpt.hpp"
#include "p2f/forcedata.hpp"

namespace zorva {

void FLDPTLO(float, const int*, int, int, int& IERR) {
    if (frc::NFIELD == 0) return;
    ERRMSG("The panel influence at field points is not available in this build", 0);
    IERR = 1;
}

}  // namespace zorva
