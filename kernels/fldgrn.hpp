// Whole influence of one low-order panel, carrying a unit source or a unit
// normal dipole, at one field point: the Rankine part integrated over the
// panel when the point (or its free-surface or sea-bed image) is near it,
// and the wave part of the Green function between the point and the panel
// centroid, weighted by the panel area.
#pragma once

#include <array>

namespace zorva {

// FLDGRNLO(P, FAC, NU, IPAN, DRE, DIM, GDRE, GDIM, SRE, SIM, GSRE, GSIM, MODE,
// IVEL, KPER, IERR)
//   P(3): field point, global frame, length unit of the geometry (not changed).
//   FAC: the Rankine part is integrated over the panel when the squared
//     distance of the point (or image) from the centroid is at most FAC
//     times the panel's squared size PNLARR3(2, IPAN).
//   NU: wavenumber scaling the wave part (1.0 at the frequency limits).
//   DRE, DIM / SRE, SIM: dipole and source influence.
//   GDRE, GDIM (3): gradient of the dipole influence (MODE 1, IVEL != 0).
//   GSRE, GSIM (3): gradient of the source influence (MODE 1 or 2, IVEL != 0).
//   KPER: 0 an ordinary period; 1 or 2 the zero- and infinite-frequency
//     limits (the free-surface image changes sign at 2).
//   IERR: 0, or 1 after a message when a Rankine integral failed.
void FLDGRNLO(const float* P, const float& FAC, const float& NU, const int& IPAN, float& DRE, float& DIM, float* GDRE,
              float* GDIM, float& SRE, float& SIM, float* GSRE, float* GSIM, const int& MODE, const int& IVEL,
              const int& KPER, int& IERR);

}  // namespace zorva

#include <vector>

#include "common/types.hpp"
#include "kernels/horank.hpp"

namespace zorva {

// Outputs and work of FLDGRNHI, owned by the caller (one per thread).
// Moments k = 1..NPUV (k = 1 + i + NPU j for (u - uc)^i (v - vc)^j):
// DIP(k) the normal-derivative integral, SRC(k, m) the integral of G times
// the modal normal of mode m, GDIP(3, k), GSRC(3, k, m) their field-point
// gradients; first index fastest.
struct FldHi {
    int NPUV = 0, NMODT = 0;
    std::vector<cplx> DIP, SRC, GDIP, GSRC;
    std::vector<cplx> WVSRC, WVDIP, WVGSRC, WVGDIP;
    RkMoments M;
    SubdivWork W;
    void size(int npuv, int nmodt);
    cplx& src(int k, int m) { return SRC[(k - 1) + static_cast<std::size_t>(NPUV) * (m - 1)]; }
    cplx& gdip(int d, int k) { return GDIP[(d - 1) + 3 * static_cast<std::size_t>(k - 1)]; }
    cplx& gsrc(int d, int k, int m) {
        return GSRC[(d - 1) + 3 * ((k - 1) + static_cast<std::size_t>(NPUV) * (m - 1))];
    }
};

// Green-function moments over the rectangle [ULO, UHI] x [VLO, VHI] of
// patch IP (body IB) seen from the field point XF (global frame, taken by
// value) in the fluid of tank ITANKF: Rankine part by subdivision, wave
// part at the NGU x NGV stored quadrature points after NQPOFF (v outer, u
// inner; nodes XGU, XGV with weights WGU, WGV on [-1, 1]).  NPU x NPV =
// NPUV moments; HS the scaled depth, SCL the period's length scale, IGRAD
// 1 adds the gradients, CLOG is added to the wave part of G, IPLIM 0 an
// ordinary period, 1 or 2 the zero- and infinite-frequency limits.  IERR 1
// when a Rankine integral failed (its message written).
void FLDGRNHI(std::array<float, 3> XF, int ITANKF, float ULO, float UHI, float VLO, float VHI, int NPU, int NPV,
              int NGU, int NGV, const float* XGU, const float* WGU, const float* XGV, const float* WGV, int NPUV,
              int IB, float HS, float SCL, int IGRAD, float CLOG, int IP, int IPLIM, int NQPOFF, FldHi& R, int& IERR);

}  // namespace zorva
