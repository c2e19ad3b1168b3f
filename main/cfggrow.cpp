// Grow-and-keep of the configuration's per-body arrays: the entries of the
// bodies already known stay in their places and the new bodies get their
// starting values.  A body index may come in any order, so an array only
// ever grows.
#include "common/messages.hpp"
#include "main/config.hpp"

namespace zorva::cfg {

void GROWIRR(int NBNEW, int& IERR) { GROWIRR(NBNEW, -1, IERR); }

void GROWIRR(int NBNEW, int IFILL, int& IERR) {
    IERR = 0;
    long nold = IRR.extent(1);
    if (NBNEW <= nold) return;
    int fill = (IFILL == -1 || nold == 0) ? -1 : IRR(nold);
    if (!IRR.resize_keep_fill(fill, NBNEW)) IERR = 1;
}

void GROWXTRIM(int NBNEW, int& IERR) {
    IERR = 0;
    if (NBNEW <= XTRIM.extent(2)) return;
    if (!XTRIM.resize_keep_fill(0.0f, 3, NBNEW)) {
        ERRMSG("Insufficient memory to allocate XTRIM array", 0);
        IERR = 1;
    }
}

void GROWXBODY(int NBNEW, int& IERR) {
    IERR = 0;
    if (NBNEW <= XBODY.extent(2)) return;
    if (!XBODY.resize_keep(4, NBNEW)) {
        ERRMSG("Insufficient memory to allocate XBODY array", 0);
        IERR = 1;
    }
}

void GROWGENM(int NBNEW, int& IERR) {
    IERR = 0;
    if (NBNEW > NEWMDS.extent(1) && !NEWMDS.resize_keep(NBNEW)) IERR = 1;
    if (IERR == 0 && NBNEW > IGENMDS.extent(1) && !IGENMDS.resize_keep(NBNEW)) IERR = 1;
}

void ALLOCCFG2(int NBNEW, int& IERR) {
    IERR = 0;
    if (NBNEW <= NTANKB.extent(1)) return;
    if (!NTANKB.resize_keep(NBNEW)) IERR = 1;
}

}  // namespace zorva::cfg
