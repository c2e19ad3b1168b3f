// The pieces of the low-order assembly: the period's shared read-only data,
// one row's Rankine parts (read in row order from the Rankine scratch), the
// wave part of one row (any thread, any order) and the work arrays of one
// thread.  A row's results stay in its own buffers until the row is
// delivered (solver/assembly.cpp).
#pragma once

#include <vector>

#include "common/farray.hpp"
#include "common/types.hpp"
#include "solver/pairinf.hpp"

namespace zorva::asmlo {

// What every row of the period reads.
struct Period {
    int neqn = 0, nsymc = 0, nimage = 0, nsolc = 0, nbetac = 0;
    bool scatt = false, scatt_rhs = false, sor = false, quad = false, radiation = false, dipoles = false;
    bool recip = false;  // the iterative solver takes the reciprocal diagonal
    bool defer = false;  // the reader leaves the Rankine records to wave_row
    int iperfl = 0;
    float nu = 0, nuh = 0, nu2 = 0, L = 0, s = 0;
    std::vector<float> lev;    // free-surface level of each panel
    std::vector<int> tank;     // tank of each panel (0 hull)
    std::vector<int> dip;      // dipole class of each panel
    std::vector<float> ipfl;   // free-surface flag of each panel
    // Centroid, normal and area of each panel, side by side for the pair
    // loops.
    std::vector<float> cx, cy, cz, nx, ny, nz, area;
};

// One row i: row part (i, j) and column part (j, i), j <= i, of every
// component of the left-hand side (d), the scattering source matrix (s) and
// the source-formulation matrix (n), the source velocities (v), the wave
// part of the source influences, and the row's own right-hand-side sums.
struct Row {
    int i = 0;
    Arr2<cplx> rowd, cold, rows, cols, rown, coln, srow, scol;
    Arr3<cplx> rowv, colv;
    std::vector<int> code, mark;
    // The row's Rankine records as read, two per matrix, level and
    // component, until wave_row adds them to the row's buffers.
    std::vector<float> raw;
    std::vector<cplx> racc;   // (NSOLC) sum over j of the row's radiation terms
    std::vector<cplx> sacc;   // (NBETAC x NSYMC) the same for the scattering terms
    int fail = 0;             // 1 Rankine image, 2 zero diagonal, 3 zero source diagonal
    int fail_k = 0;
    bool allocate(const Period& P);
};

// Per-thread work arrays: the pair batch of one row and the influences of
// its pairs for one image.
struct Work {
    std::vector<float> x, z1, z2, logt, ux, uy, vx, vy;
    std::vector<int> ising, ibot;
    std::vector<cplx> g;
    std::vector<int> l[14];
    // Per source panel j of the row and one image: the entries of the
    // direct pair (j acting on i) and of the reversed pair (i acting on
    // j): dipole (D) and source (S) influences, and with the source
    // formulation the normal velocity (N) and the velocity (V, 3 per j).
    std::vector<cplx> dD, dS, rD, rS, dN, rN, dV, rV;
    bool allocate(const Period& P);
};

// Length of a row's Rankine records (Row::raw; none without P.defer).
std::size_t raw_size(const Period& P);

// Rankine parts (or with P.defer their records) and pair codes of row R.i
// from the Rankine scratch (the rows in order).  0, or 1 after the reader's
// message.
int read_row(const Period& P, Row& R, Arr2<float>& w, Arr2<float>& wv);

// The wave part of row R.i added to its Rankine parts (with P.defer formed
// here from its records), and the row's own right-hand-side sums.  A failure is left in R.fail for the caller's
// message.
void wave_row(const Period& P, Row& R, Work& W);

}  // namespace zorva::asmlo
