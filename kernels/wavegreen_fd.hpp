// Finite-depth wave Green function: the per-period coefficient record
// WGCOEF, its set-up (HGRN00FD, HGRNFIT1, HGRNFIT2), the eight region
// kernels WGRK01..WGRK08 that WGREENVFD dispatches to, and the scalar kernel
// FDGRNSC of the two frequency limits.
//
// Lengths in the region kernels are multiplied by nu = omega^2/g; x = nu*h is
// the depth ratio, y = K*h the propagating root of y tanh y = x.  The output
// record of a pair is 8 complex values (real part first):
//   G, dG/dR, dG/dz, d2G/dRdz, d2G/dz2, d2G/dzdzeta, dG/dzeta, d2G/dRdzeta.
#pragma once

#include "common/types.hpp"

namespace zorva {

// Per-period finite-depth coefficients, written by HGRN00FD only.
namespace wgcoef {
extern float FITA[91];        // fitted correction functions of x (HGRNFIT1), 9 rows
extern float FITB[57];        // the same for the small-depth-sum remainder (HGRNFIT2), 10 rows
extern float EVK[5];          // kappa_n = k_n/nu of the evanescent modes
extern float EVC[5][7];       // per mode: K0 asymptotic row times A_n (7 entries for n = 1, else 5)
extern float EVD[5][7];       // per mode: K1 asymptotic row times kappa_n A_n
extern float AP0[6], AQ0[6], AP1[6], AQ1[6];  // propagating mode, K R > 3
extern float SJ0[6], SY0[7], SJ1[6], SY1[6];  // propagating mode, K R <= 3
extern float A0T4;                            // 4 A0
extern float RXNUH, RXNUH2, RXNUH2T2, RXNUH2T8;  // 1/x, 1/x^2, 2/x^2, 8/x^2
extern float AKNU, AKNU2, AKNUT2;                // kappa0 = K/nu, kappa0^2, 2 kappa0
extern float XNUH2;                              // 2x
void reset();
}  // namespace wgcoef

// Fitted functions of x: 91 values (FITA) and 57 values (FITB).
void HGRNFIT1(const float& X, const float& Y, float* OUT);
void HGRNFIT2(const float& X, const float& Y, float* OUT);

// Region kernels.  R, Z, ZETA, G are WGREENV's arrays (pair numbers 1-based
// in LIST); A is the shift for WGRK01/02 and the doubled shift 2a for the
// others; H = nu*HBOT.
void WGRK01(const float* R, const float& A, const float* Z, const float* ZETA, const float& H, cplx* G,
            const int* LIST, const int& NLIST);
void WGRK02(const float* R, const float& A, const float* Z, const float* ZETA, const float& H, cplx* G,
            const int* LIST, const int& NLIST);
void WGRK03(const float* R, const float& A2, const float* Z, const float* ZETA, cplx* G, const int* LIST,
            const int& NLIST);
void WGRK04(const float* R, const float& A2, const float* Z, const float* ZETA, cplx* G, const int* LIST,
            const int& NLIST);
void WGRK05(const float* R, const float& A2, const float* Z, const float* ZETA, cplx* G, const int* ISING,
            const int* LIST, const int& NLIST);
void WGRK06(const float* R, const float& A2, const float* Z, const float* ZETA, cplx* G, const int* ISING,
            const int* LIST, const int& NLIST);
void WGRK07(const float* R, const float& A2, const float* Z, const float* ZETA, cplx* G, const int* LIST,
            const int& NLIST);
void WGRK08(const float* R, const float& A2, const float* Z, const float* ZETA, cplx* G, const int* LIST,
            const int& NLIST);

// One pair at a frequency limit (IROW 1: zero frequency, 2: infinite
// frequency), in the caller's lengths; H <= 0 is infinite depth.  IFLAGA: 0
// with 1/r and the free-surface image, 1 image only, 2 or more neither;
// IFLAGB: 0 with the bottom image, 1 without.  Only real parts are written.
void FDGRNSC(const float& R, const float& Z, const float& ZETA, const float& H, cplx* G, const int& IFLAGA,
             const int& IFLAGB, const int& IROW);

}  // namespace zorva
