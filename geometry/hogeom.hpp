// Higher-order geometry: the patch tables' growth, the higher-order
// geometry and spline control file readers, the evaluation of body patches
// and the side lengths of a patch.  Every routine with a status ends with
// `int& IERR` (0 success, 1 failure after one message through ERRMSG).
#pragma once

#include <array>
#include <functional>

#include "common/farray.hpp"
#include "geometry/modfile.hpp"

namespace zorva {

namespace model {
// Results of the last patch evaluation of the calling thread: the
// orientation sign of the patch's symmetry image, and with MODE = 2 the
// normal velocity VNPT and the vertical displacement WMPT of every mode at
// the point (NMODT entries).  WMPT also serves the set-up and panel calls
// of NEWMODES.
extern thread_local float ORIENT;
extern thread_local Arr1<float> VNPT;
extern thread_local Arr1<float> WMPT;
// Body name handed to NEWMODES (set by the hydrostatics pass).
extern std::array<char, 16> MODNAME;
}  // namespace model

// Patch-array growth.  GROWBPTH (IBPTH) and GROWPIR (IPIR, IPRL, IPREF,
// ITRIM together): create (arrays absent) with N entries; append (K = 0)
// to N entries in all; delete entry K (N = -1); insert N copies of entry K
// after it (K > 0, N >= 0).  New entries: IBPTH 0; IPIR 0, IPRL 0, IPREF 1,
// ITRIM 0.
void GROWBPTH(int N, int K, int& IERR);
void GROWPIR(int N, int K, int& IERR);
// Geometry B-spline tables, created or enlarged keeping their content:
// BASUG (N1 x N1) and BASVG (N2 x N2); XCOEFG (3 x N); UKNOTG and VKNOTG
// (N1 x N2, new knots 0); KUG, KVG, NUG, NVG, IUGOFF, IVGOFF, GEOPAR1,
// GEOPAR2 (N).  No message: the caller reports.
void GROWBSP1(int N1, int N2, int& IERR);
void GROWBSP2(int N, int& IERR);
void GROWBSP3(int N1, int N2, int& IERR);
void GROWBSP4(int N, int& IERR);
// Rigid-mode indices IMODERB made N entries long, keeping their content.
void GROWMDRB(int N, int& IERR);

// Higher-order geometry files of all bodies (geometry file unit IU).
void RDGDFH(int IU, int& IERR);
// Spline control files: orders, interval and quadrature counts of every
// patch and the number of unknowns NEQN.
void RDSPL(const ExtTable& EXTS, int LEXT, int IU, int& NEQN, int& IERR);
// Spline orders, quadrature orders and (without PANEL_SIZE) interval
// counts of the trimmed sub-patches 1..NPATCHBD from their source patches;
// a quarter of m subdivisions gets 1/m of the intervals, plus one.
void GROWSPL(int NPATCHR, int NPATCHW, int NPATCHBD, int& IERR);
// Side lengths of patch IP of body IB: S(1..4) the arc lengths of the sides
// u = 1, v = 1, u = -1, v = -1; S(5) = |dX/dv|, S(6) = |dX/du| at the centre.
void PSIDLEN(float* S, int IB, int IP, int& IERR);
// Length of one patch side: the integral over [-1, 1] of F(t, value) (false
// when the evaluation failed, after its message) by successive halving of
// the trapezoidal rule, at least five and at most ten halvings, until the
// change is below 0.01 (absolute for small values, else relative).  T the
// last estimate; 1 converged, 0 not converged, -1 an evaluation failed.
int SIDELEN(const std::function<bool(float, float&)>& F, float& T);

// Point X, unit normal VN (times ORIENT), tangents XU, XV and surface
// Jacobian AJAC of patch IP of body IB at (U, V) in [-1, 1]^2,
// nondimensional.  MODE -1: point and normal of the untrimmed parent
// patch; 0: point only (VN, XU, XV, AJAC untouched); 1: all; 2: all and the
// modal normals VNPT (and NEWMODES).  IGLOB > 0: X in the global frame
// (VN, XU, XV stay in the body frame); 0 body frame with the trim attitude;
// < 0 untrimmed body frame.  Allocates nothing after the first MODE = 2
// call of a thread.
void BODYGEOM(float U, float V, int IB, int IP, float* X, float* VN, float* XU, float* XV, float& AJAC, int MODE,
              int IGLOB, int& IERR);
// A plain patch (no waterline edge): parameter remap of a trimmed
// sub-patch, evaluation by geometry kind, scale, image and trim attitude.
// XU, XV written when MODE is not 0.
void PATCHEV(float U, float V, int IB, int IP, float* X, float* XU, float* XV, int MODE, int IGLOB, int& IERR);
// A trimmed sub-patch whose cut edge follows the waterline; MODE = -2
// writes the parent parameters into U, V and returns.
void PATCHWL(float& U, float& V, int IB, int IP, float* X, float* XU, float* XV, int MODE, int IGLOB, int& IERR);
// An interior free-surface patch.
void FSPATCH(float U, float V, int IB, int IP, float* X, float* XU, float* XV, int MODE, int& IERR);
// Flat panel G of XVER as a bilinear patch (dimensional, as stored).
void BODYBILIN(float U, float V, int G, float* X, float* XU, float* XV);
// Geometry B-spline patch G (dimensional); IERR the status of BASEF.
void BODYBSPL(float U, float V, int G, float* X, float* XU, float* XV, int& IERR);

}  // namespace zorva
