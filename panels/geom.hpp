// Panel geometry and hydrostatics of the POTEN stage: the geometry step
// GEOMSTAT, the low-order panel tables (GEOMN, PNLCHKS, PANEL, PNLTRI) and
// the generalized (extra) modes of low-order bodies (WRPNLLST, RDMOD,
// NEWMDVEL).  Every routine with a status ends with `int& IERR` (0 success,
// 1 failure after one message through ERRMSG).
#pragma once

#include <array>

#include "common/farray.hpp"

namespace zorva {

// Allocates the hydrostatic arrays, fills the panel tables and raw surface
// sums (GEOMN for the low-order method) and finishes the volumes, centre of
// buoyancy, restoring matrix and tank coefficients of every body.
// IMODFL < 0: the run only writes the .pre files of the extra modes.
void GEOMSTAT(int NEQN, int IMODFL, int& IERR);

// Higher-order quadrature point sets and hydrostatic sums of all patches
// (XBODY the body positions, nondimensional).
void HYDSTC(const Arr2<float>& XBODY, int NBODY, int& IERR);

// Low-order panel tables of all bodies, their checks and hydrostatic sums.
void GEOMN(int NEQN, int IMODFL, int& IERR);

// Geometry of one flat panel.  X(k, c) = X[(c-1)*4 + k-1] is coordinate c
// of vertex k (column-major 4 x 3).  Out: XC(3) area centroid, AX(3,3)
// AX[(c-1)*3 + a-1] component c of axis a (axis 3 the unit normal), XI(4),
// ETA(4) local vertex coordinates about the centroid, PROP(13) area and
// scaled area moments, SIDE(4) side lengths, DIAM(2); with IQUAD = 1 also
// XG(4,3) and WG(4), the four quadrature points and weights.  I names the
// panel in messages.  A degenerate panel (no axes, area below 1.E-10) or
// one whose sides intersect gives IERR = 1; every output stays finite.
void PANEL(const float* X, float* XC, float* AX, float* XI, float* ETA, float* PROP, float* SIDE, float* XG,
           float* WG, int IDIAG, float* DIAM, int I, int IQUAD, int& IERR);

// Panel tables and hydrostatic sums of body NB (its NP panels from global
// panel IPAN0 on).  IPERR is set to 1 when a panel fails (never reset),
// or to 2 when the first failure is a centroid below the bottom, whose
// refusal names the geometry file, the body and the panel and ends the
// body's panels.
void PNLCHKS(int NB, int NP, int IPAN0, int& IPERR);

// Strips of lid panels running inward from each waterline segment of body
// NB (NP panels from global panel IPAN0, segments IW.. of IWLPAN/IWLSIDE),
// written to LIDSTRIP from entry IS on; NOUT entries written.
void PNLTRI(int NB, int NP, int IPAN0, int IW, int IS, int& NOUT);

// Symmetry factor of the product of two modes of symmetry classes A and B
// (1..6) with the symmetry planes SX, SY (0 or 1) in use: the number of
// images in which the product survives.  0 for a class outside 1..6.
int MODSYM(int A, int B, int SX, int SY);

// Extra modes of body NB, panels IPAN1..IPAN2:
// the panel lines of its .pre file (first run of the hand-over);
void WRPNLLST(int NB, int IPAN1, int IPAN2);
// its .mod file: symmetry classes, mode velocities, restoring rows;
void RDMOD(int NB, int IPAN1, int IPAN2, std::array<int, 2> ISXY, int& IERR);
// mode velocities and restoring terms from the user routine NEWMODES
// (IERR the value it returned; no message of its own).
void NEWMDVEL(int NB, int IPAN1, int IPAN2, int& IERR);

}  // namespace zorva
