// The Rankine scratch units of a POTEN run, written once per run before the
// period loop (their low-order layout is RANKINLO's, kernels/rankin.hpp).
// The higher-order records live in the matrix scratch store: unit 23 the
// dipole windows, one record per v-index of a field patch (each followed by
// its logarithmic record when ILOG = 1), unit 24 the tested source vector
// (and its logarithmic twin), units 25 and 26 the image-sign corrections
// when some period is at the infinite frequency.
#pragma once

namespace zorva {

// Opens the Rankine units (23, 24 when IRADF >= 0; with ILOWHI = 1 in the
// matrix scratch store, with 25 and 26 when IPERSPC = 1) and writes them
// through RANKINLO or RANKINHI.  IERR 1 after a message.
void RANKIN(int N, int IRADF, int& IERR);
// Higher-order Rankine records into units 23..26 of the matrix scratch
// store: the Rankine integrals of every outer point (RKPOINT) tested into
// the column windows (RASSEMB), each v-row written when complete (RWRANK)
// and the window moved on (RBLKSHFT).
void RANKINHI(int NEQN, int IRAD, float HBOT, int& IERR);

}  // namespace zorva
