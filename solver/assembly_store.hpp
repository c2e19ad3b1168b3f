// Where the borders of the period's matrices go: the in-memory matrix
// ALHS and the matrix scratch store (solver/scrstore.hpp, units
// slv::IUNIT), as the solver choice cfg::ISOLVE and the memory limit
// cfg::MAXSCR decide.  The units written stay open with their records for
// the solver of the period, which reads them and closes them.
#pragma once

#include "common/farray.hpp"
#include "common/types.hpp"

namespace zorva {

class Store {
public:
    // Opens the scratch units of the period; ALHS receives component 1.
    int open(int neqn, int nsymc, Arr2<cplx>& alhs);
    // Before row i: the iterative solver's switch to the overflow units.
    int switch_at(int i);
    // Whether component 1 of row i goes to ALHS by place() (the direct
    // solver's whole matrix, the iterative solver's packed rows up to
    // MAXSCR) rather than by deliver().
    bool in_memory(int i) const;
    // Entries J0..J1 of the borders of component 1 of row i into ALHS: the
    // row part ROW(j), j <= i, and the column part COL(j), j < i.  Calls for
    // different rows or entries touch different elements, so they may run
    // on several threads at once.
    void place(int i, const cplx* row, const cplx* col, int j0, int j1);
    // The same for the consecutive rows I0, I0+1, ..., I0+NR-1 (row parts
    // ROW[r], column parts COL[r]), every one of them in memory; the rows'
    // entries of one column of ALHS are written side by side.
    void place_rows(int i0, int nr, const cplx* const* row, const cplx* const* col, int j0, int j1);
    // Row i complete: row part ROW(1..i, k) and column part COL(1..i-1, k)
    // of every component k (leading dimension neqn), the diagonal already
    // in the solver's form; component 1 only when not in_memory(i).
    int deliver(int i, Arr2<cplx>& row, Arr2<cplx>& col);
    // Source formulation: the borders of the second matrix and the source
    // velocities (row part VROW(1..i, 1..3, k), column part VCOL(1..i-1, ..)).
    int deliver_src(int i, Arr2<cplx>& row, Arr2<cplx>& col, Arr3<cplx>& vrow, Arr3<cplx>& vcol);

private:
    int neqn_ = 0, nsymc_ = 0, set_ = 1, maxscr_ = 0, nblk_ = 0, nblkl_ = 0;
    Arr2<cplx>* alhs_ = nullptr;
};

}  // namespace zorva
