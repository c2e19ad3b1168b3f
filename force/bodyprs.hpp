// Pressure and fluid velocity on the body surfaces (output option 5, and
// the values the pressure-integration drift of option 9 integrates): the
// period's values at the panel centroids and at the body points of the
// .bpi files, and their report sections and numeric files.
#pragma once

#include <string>
#include <string_view>

#include "common/types.hpp"
#include "main/symmetry.hpp"

namespace zorva {

namespace frc {
// Signs that carry a symmetry component of class h (1 even in x and y, 2
// odd in x, 3 odd in both, 4 odd in y) to the physical copy of image id g
// (1 itself, 2 mirror in x = 0, 3 both, 4 mirror in y = 0): potential,
// pressure and vertical velocity; x-velocity; y-velocity.
inline int ISGNPZ(int h, int g) { return sym::ISIGMA(h, g); }
inline int ISGNX(int h, int g) { return sym::ISIGMA(h, g) * sym::ISGNX(g); }
inline int ISGNY(int h, int g) { return sym::ISIGMA(h, g) * sym::ISGNY(g); }
}  // namespace frc

// Body pressure and velocity of a period: diffraction, radiation (times
// the frequency factor) and their totals with the motions frc::RAO, in
// frc::PDIFP, PRADP, PTOTP, VDIFP, VRADP, VTOTP (centroids) and PDIFB, ...
// (body points).  IERR 1 after a message when the values cannot be formed.
void BPBVDRV(float WNUMNU, float WNUMK, int IPERFL, int& IERR);
// The low-order evaluators: pressures and velocities at the panels (S the
// frequency factor), and the body points from the panels around them.
void BPBVMOD(float S, int IPERFL);
void BPBVEND(float S, float WNUMK, int IPERFL);
void BPBVLO(int IBPPRS, int IBPVEL);
// The higher-order evaluators: potentials (IPRS = 1) and velocities (IVEL =
// 1) from the patches' coefficients at the input-panel centroids and at
// the body points; IERR 1 after a message at a singular surface gradient.
void BPBV(float S, int IPRS, int IVEL, int IPERFL, int& IERR);
void BPBVBPTH(float S, int IPRS, int IVEL, int IPERFL, int& IERR);
// One point of patch IP: basis values and derivatives BU, BV (leading
// dimensions MAXKU, MAXKV), coefficients after ILEFT, kind 1 radiation (S
// times the coefficients, NCOL = NSOLC) or 0 diffraction (a column per
// heading), modal normals VN, LU factors A, IPIV of the surface gradient,
// body IB, NF copies of image ids IMG.  P(q, f) and V(c, q, f) out.
// At a pole, where the u (IROW2 = 1) or v (IROW2 = 2) direction has
// collapsed, that row of the gradient system is the derivative along the
// other direction at a second point of the patch (tables BU2, BV2 after
// ILEFT2); A holds that point's tangent in the same row.
void BPBVSOL(int IP, const float* BU, const float* BV, int ILEFT, int KIND, int NCOL, const float* VN,
             const cplx* A, const int* IPIV, float S, int IB, int NF, const int* IMG, int IPRS, int IVEL, int IPERFL,
             cplx* P, cplx* V, const float* BU2 = nullptr, const float* BV2 = nullptr, int ILEFT2 = 0,
             int IROW2 = 0);
// Factors the surface-gradient matrix of rows XU, XV, EN into A, IPIV;
// false when it is singular.
bool gradient_matrix(const float* XU, const float* XV, const float* EN, cplx* A, int* IPIV);

// Report section and "optn.5p" records of the body pressure.
void OUTBPRS(float PER, int IUOUT, int NOOUT, int IUNUM, std::string_view NAME, int& IERR);
// Report section and "optn.5vx/y/z" records of the body velocity; IUNUM
// and NAMES point at the three entries x, y, z.
void OUTBVEL(float PER, int IUOUT, int NOOUT, const int* IUNUM, const std::string* NAMES, int& IERR);

}  // namespace zorva

namespace zorva::bpo {
// Shared by the two writers: printed coordinates of panel I in copy K, the
// panels left out, and one radiation record's values in output order.
void coords(int I, int K, float& x, float& y, float& z);
bool skipped(int I);
}  // namespace zorva::bpo
