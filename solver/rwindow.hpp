// Real column windows of the higher-order Rankine matrices: the tested
// assembly of one field point against one source span (RASSEMB), slot and
// vector records of the Rankine units in the matrix scratch store
// (RWRANK), and the slide of a window to the next v-span (RBLKSHFT).
//
// A window W(N1, N2, N3) holds, for the current v-span of a field patch,
// the KV slots of NBU columns of the test functions alive on it: slot s is
// v-index span + s - 1, column (s - 1) NBU + i its u-index i.  The first
// index runs over the unknowns, the third over the symmetry components.
#pragma once

#include <vector>

#include "common/farray.hpp"
#include "kernels/horank.hpp"

namespace zorva {

// The Rankine window and vector arrays: dipole windows (NEQN, MAXNBKV,
// NSYMC), their logarithmic terms and image-sign corrections; source
// vectors (NEQN, NMODT) likewise.
struct RkWindows {
    Arr3<float> RDIPW, RDIPLW, RDIPIW;
    Arr2<float> RSRCV, RSRCLV, RSRCIV;
    std::vector<float> T, CM, SM;  // test weights and span-to-basis work
};

// One test point of field patch cell (iu, iv) against one source span:
// BU(KUF), BV(KVF) the test B-splines at the point, WT its weight, G0 the
// equation number before the cell's first test function, L0 = iu - 1, NBUF
// the field patch's NBU; CU(KUS, KUS), CV(KVS, KVS) the span's moment to
// B-spline matrices, S0 the unknown before the span's first B-spline,
// NBUS the source patch's NBU; O the span's RKPATCH outputs.  Unknowns above
// NEQN are skipped.
void RASSEMB(const float* BU, int KUF, const float* BV, int KVF, float WT, int G0, int L0, int NBUF, const float* CU,
             int KUS, const float* CV, int KVS, int S0, int NBUS, const RkOut& O, int NEQN, int NSYMC, int NSOLC,
             int IRAD, int ILOG, int IPERSPC, RkWindows& R);

// READ 0 writes, else reads.  VEC nonzero: one vector record VA(1..NVEC) on
// IUV, followed by VB when TWO = 1.  VEC 0: slot records on IUB; writing
// emits slot 1 (A, then B when TWO = 1) and with MODE = 1 slots 2..KV;
// reading takes slots 1..KV with MODE = 1, else one record into slot KV.
// A failed transfer writes a message and gives IERR = 1.
void RWRANK(float* A, float* B, int TWO, int N1, int N2, int N3, int NBU, int KV, int IUB, int MODE, float* VA,
            float* VB, int NVEC, int IUV, int VEC, int READ, int& IERR);

// Unless LAST = 1: slots 2..KV move to 1..KV-1 and slot KV becomes zero,
// in A and (TWO = 1) in B.
void RBLKSHFT(float* A, float* B, int TWO, int N1, int N2, int N3, int NBU, int KV, int LAST);

}  // namespace zorva
