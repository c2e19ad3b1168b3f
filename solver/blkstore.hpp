// Complex column windows of the higher-order influence matrices: slot
// records of one v-span to the matrix scratch store (WRBLKS), the slide of
// a window to the next span (BLKSHFT), a component read back as rows of the
// in-memory matrix (RDBLKS), blanked patch blocks (BLKIDEN), the border
// records of the solver (WRLUBRD), and the tensor-product assembly of one
// test point against one source cell (CASSEMB).
//
// A window W(N1, N2, N3) is laid out as the real windows of
// solver/rwindow.hpp: KV slots of NBU columns, column (s - 1) NBU + i the
// test function with u-index i and v-index span + s - 1; the first index
// runs over the unknowns, the third over the components.
#pragma once

#include "common/farray.hpp"
#include "common/types.hpp"

namespace zorva {

// For k = 1..N3 slot 1 of component k to IU[k-1]; with LAST = 1 then slots
// 2..KV likewise, slot by slot.  IERR 1 after a message when a write fails.
void WRBLKS(const cplx* W, int N1, int N2, int N3, int NBU, int KV, const int* IU, int LAST, int& IERR);

// Unless LAST = 1: slots 2..KV move to 1..KV-1 and slot KV becomes zero.
void BLKSHFT(cplx* W, int N1, int N2, int N3, int NBU, int KV, int LAST);

// NBV slot records of unit IU into rows OFF+1 .. OFF+NBU NBV of M (leading
// dimension N): value (i, c) of record r goes to M(OFF + r NBU + c, i).
void RDBLKS(cplx* M, int N, int IU, int NBU, int NBV, int OFF, int& IERR);

// M(R0+1..R0+NR, C0+1..C0+NC) = 0, and with IP = JP ones on the diagonal
// M(R0+m, R0+m), m = 1..NR.
void BLKIDEN(cplx* M, int N, int R0, int C0, int NR, int NC, int IP, int JP);

// Border records 1..N of M (leading dimension N) to IU; with FLAG = 0 the
// diagonal is first replaced by its reciprocal (a zero diagonal element is
// reported with its row).
void WRLUBRD(cplx* M, int N, int IU, int FLAG, int& IERR);

// One test point of test cell (iu, iv) of patch ip against one source cell
// of patch jp.  BU(KUF), BV(KVF): the test B-splines at the point, WT its
// weight, G0 the equation before the cell's first test function, L0 =
// iu - 1, NBUF the test patch's NBU.  CU(KUS, KUS), CV(KVS, KVS): the
// cell's Taylor coefficients of its B-splines about the cell centre, S0 the
// unknown before the cell's first B-spline, NBUS the source patch's NBU.
// M(KUS KVS, NSYMC): the cell's kernel moments; V(NMODT): right-hand-side
// values by solution column (used when RHS is given and IRAD >= 0).
// T, S: work of KUF KVF and KUS KVS NSYMC values.
void CASSEMB(const float* BU, int KUF, const float* BV, int KVF, float WT, int G0, int L0, int NBUF, const float* CU,
             int KUS, const float* CV, int KVS, int S0, int NBUS, const cplx* M, const cplx* V, int NEQN, int NSYMC,
             int NSOLC, int IRAD, Arr3<cplx>& CWIN, Arr2<cplx>* RHS, float* T, cplx* S);

}  // namespace zorva
