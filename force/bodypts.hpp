// Body points of the .bpi files: where each point lies on its body and,
// in the low-order method, the panels around it with their weights.
#pragma once

#include "common/farray.hpp"

namespace zorva {

namespace frc {
extern Arr1<int> IBPIMG;   // (NBPTT) image id of the copy that holds the point
extern Arr1<int> IBPIDX;   // (NBPTT) position of that copy among the run's copies
extern Arr2<int> IBPPAN;   // (|IPNLBPT|, NBPTT) nearest panels, nearest first
extern Arr2<float> WBPPAN; // (|IPNLBPT|, NBPTT) their weights, summing to 1
void reset_bpt();
}  // namespace frc

// Reads the .bpi file of every body, places its points and writes the
// .bpo report; IERR 1 after a message on failure.
void FINDBPT(int& IERR);
// Low-order placement of point X (body frame, folded, nondimensional) of
// body IB: the |IPNLBPT| nearest panel centroids from panel IFIRST on.
void PNLBPT(const float* X, int IB, int IUNIT, int IFIRST, int J, int& IERR);
// The option-5 listings of the set-up: body points when IPNLBPT is not 0,
// else the panel listings (one .pnl file per body).
void OPNPNL(int& IERR);
// Panel listing per body.
void WRPNL(int& IERR);

}  // namespace zorva
