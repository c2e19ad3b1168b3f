// Diagonal blocks of the block-iterative solver (ISOLVE >= 2): a component's
// matrix, read in border records, is sorted into the records the block
// sweep reads (the rows left of and the columns above each diagonal
// block) and its diagonal blocks are factored by LU, each on the library's
// threads for its own order (thr::blas_for).
#pragma once

#include "common/types.hpp"

namespace zorva {

// Rows of the diagonal blocks: NBLK each, the last NBLKL.  Returns the number
// of blocks, or 0 (after a message) when the sizes do not make up NEQN.
int NBLOCKS(const int& NEQN, const int& NBLK, const int& NBLKL);

// BLKSORT: reads border records 1..NEQN of component KCOMP from unit IUK and,
// for every row g outside the first block (offset o of its block), writes its
// entries left of the block, a(g, 1..o), to IUB(1) and the column's entries
// above it, a(1..o, g), to IUB(2); each diagonal block is gathered in ALHS
// (NBLK^2), factored (pivots at IPIVB(o+1..o+nb)) and written as one record
// to IUB(4).  IUB(1), IUB(2) and IUB(4) are rewound at the end.  RBUF and
// CBUF: complex (NEQN) record buffers.  IERR 1 after a message.
void BLKSORT(const int& IUK, const int* IUB, const int& NEQN, const int& NBLK, const int& NBLKL, cplx* ALHS,
             int* IPIVB, cplx* RBUF, cplx* CBUF, const int& KCOMP, int& IERR);

// BLKFACT: reads the unfactored diagonal blocks that the assembly left on
// IUB(3), factors each (pivots at its offset in IPIVB) and writes the
// factors to IUB(4), which is rewound at the end.  IERR 1 after a message.
void BLKFACT(const int* IUB, const int& NEQN, const int& NBLK, const int& NBLKL, cplx* ALHS, int* IPIVB,
             const int& KCOMP, int& IERR);

}  // namespace zorva
