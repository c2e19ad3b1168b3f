// Complex LU factorisation and solution (LAPACK CGETRF / CGETRS).
#pragma once

#include "common/types.hpp"

namespace zorva {

// LU factors of the N x N matrix A (leading dimension N) in place, with
// partial pivoting; IPIV receives the N pivot indices.  IERR = 1 for a zero
// pivot, else 0.
void LUFACT(cplx* A, int* IPIV, int N, int& IERR);

// W = B(1..N), then A x = W solved in place from the factors of LUFACT;
// COPY = 1 copies the solution back into B.
void LUSOLV(const cplx* A, cplx* B, cplx* W, const int* IPIV, int N, int COPY);

// The NRHS right-hand sides B (N x NRHS, leading dimension N) solved in
// place in one call; returns LAPACK's INFO (0 success).
int LUSOLV(const cplx* A, cplx* B, int NRHS, const int* IPIV, int N);

}  // namespace zorva
