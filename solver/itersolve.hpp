// Iterative solution of the influence systems of a period.
//
// ITRCC solves one complex system by a splitting iteration, a Gauss-Seidel
// sweep (ISOLVE = 0) or a block Gauss-Seidel sweep over LU-factored diagonal
// blocks (ISOLVE >= 2), accelerated after every sweep by the affine
// combination of all iterates whose residual has the least Euclidean norm.
// The matrix is never held whole: what does not fit in memory is read from
// the matrix scratch files once per sweep.
//
// SOLVEITR is the part of SOLVE for ISOLVE = 0 and ISOLVE >= 2: it loads each
// symmetry component's matrix (packed border order, or sorted into diagonal
// blocks) and solves all its radiation and diffraction right-hand sides.
// It sweeps all right-hand sides of a component together, in one pass over
// the matrix per sweep; each right-hand side's arithmetic is that of ITRCC
// alone, so the solutions, iteration counts and messages are the same as
// solving them one after the other.
#pragma once

#include "common/types.hpp"

namespace zorva {

// ITRCC: solves A x = B (NEQN unknowns); B is overwritten with x.
//   MAXITT1 = K: iterates kept, and the sweep limit (K - 1 sweeps at most).
//   V1, V2: complex (NEQN, K) work (residuals, iterates).
//   ALHS: ISOLVE = 0: border records 1..NM in packed border order (record i
//     at positions (i-1)^2 + 1 .. i^2, the diagonal holding 1/a(i,i));
//     ISOLVE >= 2: room for one diagonal block (NBLK^2).
//   IPIVB: pivots of the factored diagonal blocks (block b at its offset).
//   NBLK, NBLKL: rows of the diagonal blocks and of the last one.
//   G, M: complex (K, K); C, R: complex (K); IPIVS: integer (K).
//   CW: complex (NEQN) sweep output; RW: real (NEQN) moduli of B.
//   IUF: ISOLVE = 0 the unit of border records NM+1..NEQN; ISOLVE >= 2 the
//     unit of the block row records (IUF + 1 the column records, IUF + 3
//     the factored blocks).
// Returns the sweeps done in ITER, NOCONV = 1 (after a message) when the
// limit was reached without convergence, and IERR = 1 after a message when
// a scratch read failed or the residual matrix was singular.
void ITRCC(const int& NEQN, const int& MAXITT1, cplx* B, cplx* V1, cplx* V2, cplx* ALHS, const int& NM,
           const int* IPIVB, const int& NBLK, const int& NBLKL, const float& TOL, const int& ISOLVE, cplx* G, cplx* M,
           cplx* C, cplx* R, int* IPIVS, cplx* CW, float* RW, const int& IUF, int& ITER, int& NOCONV, int& IERR);

// SOLVEITR: SOLVE for ISOLVE = 0 and ISOLVE >= 2, with SOLVE's arguments.
//   IU(1..8): the units of the call (first solution IUNIT(1..8), second
//     IUNIT(9..16)).
//   RHSMOD (NEQN, NSOLC) and RHS (NEQN, NBETAC, NSYMC): right-hand sides in,
//     solutions out.  ALHS: complex (MAXSCR, MAXSCR) work matrix; for
//     component 1 of the first call (KSRC = 0) it holds what the assembly
//     left there.
//   NITER(2): largest sweep counts of the radiation and the diffraction
//     right-hand sides (0 where nothing was solved).
//   NOCONV (when given): set to 1 when a right-hand side did not converge.
// Reads cfg::ISOLVE, cfg::MAXSCR, model::NITMAX (MAXITT1, taken as at least
// 2 so that one sweep is always made), model::NBLKSZ, model::NBLKLAST and the
// symmetry components and mode lists.  A store unit that is already open
// (written by the assembly in this period) keeps its records when SOLVEITR
// opens it; every unit it reads is closed and its records dropped.
void SOLVEITR(const int& NEQN, const int& IRAD, const int& IDIFF, const int& NBETAC, const int* IU, const float& TOL,
              cplx* RHSMOD, cplx* RHS, cplx* ALHS, int* NITER, const int& KSRC, const int& IPERFL, int& IERR,
              int* NOCONV = nullptr);

}  // namespace zorva
