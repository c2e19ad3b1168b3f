// Control surfaces: the reader of the bodies' control-surface files, the
// evaluation of their patches, the collection of quadrature points, and the
// potential and velocity at those points each period.  Every routine with a
// status ends with `int& IERR` (0 success, 1 failure after its messages).
#pragma once

#include <string>

#include "ctrlsurf/csfdata.hpp"

namespace zorva {

// Channels of the control-surface files.
inline constexpr int IUCSF = 43;   // .csf files and their derived files
inline constexpr int IUCSP = 44;   // .csp file; scratch of the user routine's data lines
inline constexpr int IUCSFP = 46;  // plot file "_csf.dat"

// Reads the control-surface files of all bodies and builds the point set.
void RDCSF(int& IERR);

// Point, derivatives, unit normal and Jacobian of patch IP of the surface
// of body IB at (U, V); IDER = 0: the point only.
void CSFGEOM(float U, float V, int IB, int IP, float* X, float* VN, float* XU, float* XV, float& AJ, int IDER,
             int& IERR);
// Bilinear map of flat patch IP of csf::XVCSF (vertex 1 at (1,-1), 2 at
// (-1,-1), 3 at (-1,1), 4 at (1,1)).
void BILINPAN(float U, float V, int IP, float* X, float* XU, float* XV);

// Readers of the surface blocks.
void RDCSF0(int NPATCSF, float ZLIM, int& IERR);
void RDCSFBSP(int NPATCSF, int& IERR);
void RDCSFGX(int IB, int& IERR);
// Writes rgkinitcsf.txt from the .csf file (standing after its record 4)
// and has the geometry kernel load the surface of body IB; the file is left
// after the surface's kernel lines.
void INITRGKCSF(int IB, int& IERR);
void RDCSFL(int IB, float ZLIM, int& NPAN, csf::Points& S, csf::Points& F, csf::Points& W, int& IERR);
// Sub-panel counts of every patch (PSZCSF the nondimensional panel size;
// negative: from the .csp file CSPNAME).
void RDCSFSPL(int IB, float PSZCSF, int NPATCSF, const std::string& CSPNAME, int& IERR);
void PSIDLENC(int IP, int IB, float* SLENC, int& IERR);

// Surface bounded by the body waterline (NPATCSF <= 0 on the fourth line):
// its wall, bottom and free-surface patches; NPATCSF the patch total on
// return.  EXTFSH cuts the free surface between the waterline and the wall
// into patches (IFLAG 1: body frame).
void RDCSFA(int& NPATCSF, int IB, int& IERR);
void EXTFSH(int IFLAG, int IB, int& IERR);
// Free-surface patch J of the surface of body IB (IB = 0: J counted from the
// interior free-surface patch limit) at (U, V): u = -1 the outer side,
// u = 1 the waterline.  Body frame only (IGLOB >= 1 is refused).
void WLEDGE(float U, float V, int IB, int J, float* X, float* XU, float* XV, int MODE, int IGLOB, int& IERR);

// Plane geometry round the waterline (x, y, nondimensional, body frame).
// Ray from P at angle TH against segment A-B: ISTAT 0 hit (H set), 1 miss,
// 2 parallel, 3 P on the segment's line, 43 degenerate segment.
void SLINT(const float* P, float TH, const float* A, const float* B, float* H, int& ISTAT);
// Polar angle of P (IFLAG 0) or of the point where the ray from P at angle
// A meets the cylinder RCSFCYL; raised by a turn below APREV; APREV := ANG.
void WLANGLE(const float* P, float A, int IFLAG, float& ANG, float& APREV);
// Point and inward horizontal normal at parameter T of waterline segment J
// (IFLAG 1: body frame).
void WLPNT(int J, float T, int IFLAG, float* X, float* VN, int& IERR);
// Foot of P on waterline loop K: segment J, parameter T; ISTAT 0 inside,
// 1 at the start vertex of J, 2 at the far end of an open loop.
void PCLOSE(const float* P, int K, int IFLAG, int& J, float& T, int& ISTAT, int& IERR);
// Completes the open boundary list csf::XBND(:, 1..N) out to the wall.
void FSPART(int& N, int IB, int& IERR);

// Quadrature points of one patch.
void CSFFSCHK(int IB, int IP, int NG, float& DU, float& DV, float& DU2, float& DV2, int& IFS, csf::Points& S,
              csf::Points& F, int& IERR);
void CSFWLCHK(int IB, int IP, int NG, float DU, float DV, float DU2, float DV2, csf::Points& W, int& IERR);

// Low-order panels of patch IP into csf::XVERC from panel NLOWC+1 on;
// the "_low.csf" file of surface ISURF of body IB.
void CSFLOWP(int IB, int IP, int& NLOWC, int& IERR);
void OPLOWCSF(int IB, int ISURF, int NLOWC, const std::string& HEADER, int& IERR);
// Plot file: the grid of patch IP (IP >= 1, N patches), or the N panels
// of csf::XVERC (IP = 0).
void CSFPLTP(int IB, int IP, int N, int& IERR);

// Potential and velocity of every heading at the control-surface points
// and their images, for the period of NU = omega^2/g and wavenumber WK.
void CSFPT(float NU, float WK, const int* NSYMRHS, int IPFL, int& IERR);
// The bodies' part, low-order panels (F the frequency factor).
void CSFPTLO(float F, const int* NSYMRHS, int ONE, int IPFL, int& IERR);
// The same from the B-spline potentials of the higher-order patches
// (values times 4 pi).
void CSFPTHI(float F, const int* NSYMRHS, int ONE, int IPFL, int& IERR);

}  // namespace zorva
