// Interior free surface of the low-order method (irregular-frequency
// removal, IRR = 3): the body waterlines as contours, the panels that cover
// the water plane inside them and the 2-D advancing-front mesher.  Every
// routine with a status ends with `int& IERR` (0 success, 1 failure after
// one message through ERRMSG, unless said otherwise).
#pragma once

#include <array>
#include <string>

#include "common/farray.hpp"
#include "geometry/modfile.hpp"

namespace zorva {

// ---- Free-surface mesher -------------------------------------------------

// Fills the inside of the closed contour XYWL(1:2, 1..NWL) with flat panels
// at z = -ZBODY, written to XVER from panel IFIRST on (NFSP of them, out).
// The contour runs clockwise seen from +z (the region on its right); point
// NWL+1 := point 1 is written, so XYWL must hold NWL+1 points.  NPANMAX is
// the XVER capacity, raised when XVER is grown.  FSSIZE * FSFACT is the
// target side; NPANB bounds the number of steps (2 * NPANB).  NNODE0,
// NBND0, NLIST0 are first capacities of the work arrays.  A mesh that
// cannot be completed gives a warning, IERR = 0 and the panels made so far.
void FSMESH(float ZBODY, int& NFSP, int& NPANMAX, int IFIRST, float FSSIZE, Arr2<float>& XYWL, int NWL, int NPANB,
            int NNODE0, int NBND0, int NLIST0, float FSFACT, int& IERR);

// Triangle measures of P0, P1, P2 (x, y) with D01 = |P0P1| given: D02, D12,
// CNEG2 = minus the cosine of the angle at P2, CMAX = largest |cos| of the
// three angles.
void FSTRIANG(const float* P0, const float* P1, const float* P2, float& CMAX, float& CNEG2, float& D02,
              float& D12, float D01);

// Signed distance of contour point ICP+1 of XYWL from the line through
// nodes K and K+1 of FSNODE (positive to the left of K -> K+1); returned in
// S when at least TOL, else S = -1.
void FSDIST(const Arr2<float>& FSNODE, int ICP, float& S, const Arr2<float>& XYWL, int K, float TOL);

// ---- Interior free-surface panels ---------------------------------------

// Appends the interior free-surface panels of every body with IRR >= 3 to
// its own panels in XVER (later bodies move up), grows NPANB and NEQN, and
// writes each such body with its new panels to its .idf file on channel
// IUNIT.  EXTS is the run's extension table (entry 6 ".idf"); ISXY the
// run's ISX, ISY; NWTLD the number of waterline-list entries; ISOR selects
// the mesher (0) or concentric rings (other values).
void FSPANL(int IUNIT, const ExtTable& EXTS, std::array<int, 2> ISXY, int NWTLD, int ISOR, int& IERR);

// ---- Body waterlines ------------------------------------------------------

namespace wl {

extern int NSEGWL, NCONTWL;
extern Arr2<int> IWLSEG;             // (NSEGWL, 2)
extern Arr1<int> ICONTWL;            // MODE 0
extern Arr1<float> TOLWL;            // MODE 1
extern Arr1<float> YMEANWL;          // higher order, MODE 0
extern Arr1<int> IFSTWL, ILSTWL;     // MODE 1
extern Arr1<int> ISYMBEG, ISYMEND;   // MODE 1 (the low-order routine: always)
extern Arr2<float> XWLBEG, XWLEND;   // (2, NSEGWL) MODE 1
extern Arr1<float> ANGBEG, ANGEND, ANGVTX;  // MODE 1

// Frees every waterline table.
void reset();

}  // namespace wl

// ---- Interior free-surface patches (higher order) -------------------------

namespace ifs {

extern int NFSPAT;            // interior free-surface patches, numbered after the body patches
extern Arr1<int> IFSBP;       // (NFSPAT) body patch whose waterline side bounds the patch
extern Arr1<int> IFSEDG;      // (NFSPAT) that side; > 0 the inner end is a point, < 0 a segment
extern Arr2<float> XFSEND;    // (2, 2 NFSPAT) inner end of patch k: from point 2k-1 to point 2k
extern Arr1<float> FSLEN;     // (NFSPAT) depth of the patch from its side to its inner end

// Frees the tables.
void reset();

}  // namespace ifs

// Interior free-surface patches of the bodies with IRR = 3 (ISXY: the run's
// ISX, ISY): one patch from each waterline side of a body patch to an inner
// end, appended after the body patches (NPATCHW grows by NFSPAT).
void INTFSH(std::array<int, 2> ISXY, int& IERR);

// Waterline of low-order body IB as ordered segments and contours in the
// tables of wl:: (MODE 0: for the interior free surface, 1: for a control
// surface, which also keeps the segment ends and normal angles).  ISXY: the
// requester's symmetry planes.  Also allocates IBPTH over the panels of
// bodies 1..IB and marks the body's waterline panels.
void WLINESL(int MODE, std::array<int, 2> ISXY, int IB, int& IERR);
// The same for the patches of the higher-order method (IB = 0: all bodies).
void WLINESH(int MODE, std::array<int, 2> ISXY, int IB, int& IERR);

}  // namespace zorva
