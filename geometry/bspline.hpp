// B-spline basis functions, knot vectors and Gauss-Legendre rules of the
// higher-order method.  No state, no shared arrays, no heap memory: safe
// to call from any number of threads.  Arrays are 1-based in the comments
// (T(1) is T[0]); matrices column-major with leading dimension LDB.
#pragma once

#include "common/bounds.hpp"

namespace zorva {

// Basis functions of order K (degree K-1) over the knot vector T(1..NB+K)
// at X, with their derivatives up to order ID (0 <= ID <= K-1).
//   IDFORM  non-zero: plain derivatives; 0: derivatives of order d >= 2
//           divided by d!
//   B       out, B(r, d+1) = B[(d)*LDB + r-1]: d-th derivative of basis
//           function INTV-K+r at X, r = 1..K; rows above K and columns above
//           ID+1 are not written
//   INTV    out, the interval T(INTV)..T(INTV+1) that holds X (an interior
//           knot belongs to the interval on its left)
//   IERR    0; 1 derivative order out of range (B, INTV untouched); 2 X
//           outside the physical space T(K)..T(NB+1) by 1.0E-6 of its length
//           or more (B zero, INTV = NB+1); 3 a degenerate knot vector: fewer
//           basis functions than the order, an empty physical space, or X
//           only in an interval of zero length (B zero, INTV = NB+1).
void BASEF(const float* T, int NB, int K, float X, int ID, int IDFORM, float* B, int LDB, int& INTV, int& IERR);

// Knot vector T(1..N+2K-1) of the potential B-splines of order K over N
// intervals on [-1, 1] (physical space T(K)..T(N+K)).
//   IEND    end knots: 0 K-fold; -1 extended on the left; 1 on the right;
//           2 both; other: T(1..K-1) and T(N+K+1..) not written
//   ISPACE  interior knots: 0 uniform; 1 dense towards +1; -1 towards -1;
//           2 towards both ends; other: T(K..N+K) as the caller placed them
//           (on [0, 1], mapped like the rest)
// N < 1 writes nothing; the form with IERR then gives status 1 and a message.
void KNOTVEC(int N, int K, int IEND, int ISPACE, float* T);
void KNOTVEC(int N, int K, int IEND, int ISPACE, float* T, int& IERR);

// The N-point Gauss-Legendre rule mapped to [A, B]: nodes X(1..N) ascending
// from A, weights W(1..N) (negative when A > B).  IERR 1 when N > 16 (X, W
// untouched); N <= 0 writes nothing.
void GAUSLE(float A, float B, float* X, float* W, int N, int& IERR);

namespace gauss {
inline constexpr int MAXORDER = MAXGAUSSORD;
// Nodes and weights on [-1, 1] of orders 1..16, order n from entry n(n-1)/2.
extern const float XGTAB[136];
extern const float WGTAB[136];
}  // namespace gauss

}  // namespace zorva
