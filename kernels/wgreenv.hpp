// Vector wave Green function: the free-surface Green function of one period
// with its first and second derivatives for a batch of N point pairs.
//
// Lengths are multiplied by nu = omega^2/g.  Per pair i: horizontal distance
// R(i), depths Z(i) of the field point and ZETA(i) of the source (positive
// downward), singular-part code ISING(i) (0 whole G; 1 without 1/r; 2 without
// 1/r and 1/r1; 3 as 2 with 2 ln(r1 + d) added, which removes the logarithmic
// singularity of the wave part) and bottom-image code IBOT(i) (finite depth:
// 0 with 1/r2, 1 without).  A is the vertical shift, H the scaled water depth
// (0 or less: infinite depth).  G receives 8 complex values per pair:
//   G, dG/dR, dG/dz, d2G/dRdz, d2G/dz2, d2G/dzdzeta, dG/dzeta, d2G/dRdzeta.
// In infinite depth every value of every pair is set; in finite depth parts
// are added to G, which the caller clears first.
// L10 .. L23 are work lists of N entries each, supplied by the caller.
#pragma once

#include "common/types.hpp"

namespace zorva {

void WGREENV(const float* R, const float& A, const float* Z, const float* ZETA, const float& H, cplx* G,
             const int* ISING, const int* IBOT, const int& N, int* L10, int* L11, int* L12, int* L13, int* L14,
             int* L15, int* L16, int* L17, int* L18, int* L19, int* L20, int* L21, int* L22, int* L23);

// The finite-depth path of WGREENV (H > 0), same arguments.  It is the one
// call point of the finite-depth kernels from WGREENV.
void WGREENVFD(const float* R, const float& A, const float* Z, const float* ZETA, const float& H, cplx* G,
               const int* ISING, const int* IBOT, const int& N, int* L10, int* L11, int* L12, int* L13, int* L14,
               int* L15, int* L16, int* L17, int* L18, int* L19, int* L20, int* L21, int* L22, int* L23);

// Rankine term s/rho, rho = sqrt(R^2 + c^2), with its derivatives added to the
// real parts of the 8 slots at g; c is linear in z and zeta with dc/dz = SZ
// and dc/dzeta = SZETA.
void WGRANK(cplx* g, float s, float R, float c, float SZ, float SZETA);

// 2 ln(r1 + d) with its derivatives added to the real parts at g.
void WGLOGT(cplx* g, float R, float d);

}  // namespace zorva
