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
// Higher order: per body point its patch, the unknown before its first
// B-spline coefficient, normal and tangents, the u and v basis values
// (column 1) and first derivatives (column 2), and the modal normals.
extern Arr1<int> IBPPAT, IBPLEFT;            // (NBPTT)
extern Arr2<float> ENBP, XUBP, XVBP;         // (3, NBPTT)
extern Arr3<float> BUBP, BVBP;               // (MAXKU | MAXKV, 2, NBPTT)
extern Arr2<float> VNBP;                     // (NMODT, NBPTT)
extern Arr2<float> UVBP;                     // (2, NBPTT) the point's parameters
// Input-panel centroids of the patches (GETPCT): points per knot-interval
// panel, and per point the same tables as a body point, with its area.
extern Arr3<int> NSUBPCT;                    // (MAXNU, MAXNV, NPATCHT)
extern Arr2<float> XPCT, ENPCT, XUPCT, XVPCT, VNPCT;
extern Arr1<float> APCT;
extern Arr3<float> BUPCT, BVPCT;
void reset_hobody();
}  // namespace frc

// Reads the .bpi file of every body, places its points and writes the
// .bpo report; IERR 1 after a message on failure.
void FINDBPT(int& IERR);
// Low-order placement of point X (body frame, folded, nondimensional) of
// body IB: the |IPNLBPT| nearest panel centroids from panel IFIRST on.
void PNLBPT(const float* X, int IB, int IUNIT, int IFIRST, int J, int& IERR);
// Higher-order placement of point X (body frame, folded, nondimensional),
// the I-th of body IB and J-th of the run, by inverse mapping onto the
// body's patches; NUNCONV counts the points not found within tolerance.
void FINDBPTH(const float* X, int IB, int IUNIT, int I, int J, int& NUNCONV, int& IERR);
// Input-panel centroids of every patch and their tables.
void GETPCT(int& IERR);
// The option-5 listings of the set-up: body points when IPNLBPT is not 0,
// else the panel listings (one .pnl file per body).
void OPNPNL(int& IERR);
// Panel listing per body.
void WRPNL(int& IERR);

}  // namespace zorva
