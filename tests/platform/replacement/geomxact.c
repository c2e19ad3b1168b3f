/* A user's replacement of libgeomxact.so, in plain C from the platform
 * headers alone: a flat square z = -1 of side 2 for every patch.  The
 * user-library tests put it first on LD_LIBRARY_PATH. */
#include "platform/zorva_units.h"
#include "platform/zorva_userlib.h"

void GEOMXACT(const float* U, const float* V, const int* IB, const int* IPATCH, const int* ISXY, const int* NPATCH,
              const int* IRR, float* X, float* XU, float* XV, const int* IGDEF, const int* IUDAT, int* IERR) {
    char line[81];
    int n = 0;
    (void)IB, (void)IPATCH, (void)ISXY, (void)NPATCH, (void)IRR, (void)IGDEF;
    *IERR = 0;
    if (*IUDAT != 0) {
        while (zorva_read_line(*IUDAT, line, (int)sizeof line) == 0) ++n;
        zorva_write_line(ZORVA_UNIT_RUNLOG, n > 0 ? " replacement GEOMXACT: data lines read" : " replacement GEOMXACT: no data");
        return;
    }
    X[0] = *U, X[1] = *V, X[2] = -1.0f;
    XU[0] = 1.0f, XU[1] = 0.0f, XU[2] = 0.0f;
    XV[0] = 0.0f, XV[1] = 1.0f, XV[2] = 0.0f;
}
