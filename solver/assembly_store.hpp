// Where the borders of the period's matrices go: the in-memory matrix
// ALHS and the matrix scratch files SCRATCHA .. SCRATCHP, as the solver
// choice cfg::ISOLVE and the memory limit cfg::MAXSCR decide; and the
// reader of border records used by the direct solver.
#pragma once

#include "common/farray.hpp"
#include "common/types.hpp"

namespace zorva {

class Store {
public:
    // Opens the scratch files of the period; ALHS receives component 1.
    int open(int neqn, int nsymc, Arr1<cplx>& alhs);
    // Before row i: the iterative solver's switch to the overflow files.
    int switch_at(int i);
    // Row i complete: row part ROW(1..i, k) and column part COL(1..i-1, k)
    // of every component k.
    int deliver(int i, Arr2<cplx>& row, Arr2<cplx>& col);
    // End of the period: closes (keeps) the files written.
    int close();

private:
    int neqn_ = 0, nsymc_ = 0, set_ = 1, maxscr_ = 0;
    Arr1<cplx>* alhs_ = nullptr;
    std::size_t packed_ = 0;
};

// Scratch-file name of unit IU (SCRATCHA for asmb::IUNIT[1], ...), under
// SCRATCH_PATH when it is given.
std::string scratch_name(int IU);
// Opens IU(1..K) (unformatted, replacing old files); status 0 or 1 after
// " Unable to open scratch file, UNIT =".
int scr_open(const int* IU, int K);
// Closes IU(1..K), keeping the files when KEEP is not 0.
void scr_close(const int* IU, int K, int KEEP);
// Border record I: ROW(1..I) then COL(1..I-1), one record on IU.
int write_border(int IU, const cplx* ROW, const cplx* COL, int I);
// Reads border records 1..N of IU into the N x N matrix A (column-major,
// leading dimension N); status 0 or 1 after its message.
int read_borders(int IU, cplx* A, int N);

}  // namespace zorva
