// The matrix scratch store: sequential records of units IUNIT(1..16)
// (SCRATCHA..SCRATCHP), held in memory while the store's memory limit
// allows and spilled to unnamed scratch files (working directory or
// SCRATCH_PATH) beyond it; a unit reads back the same records wherever they
// live.  Also the readers of the Rankine scratch units (RDRLHS, RDRVEL).
// Every routine reports its own failure through ERRMSG and returns IERR = 1.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "common/types.hpp"

namespace zorva::slv {

// Bytes of records the store keeps in memory over all its units (set by
// ALLOCMAT from MAXSCR: the size of the in-memory matrix).
void set_store_limit(std::size_t bytes);
std::size_t store_limit();
// The file name of a store unit: SCRATCH followed by its letter, after
// SCRATCH_PATH and "\" when a path is configured.
std::string SCRNAME(int unit);
// Whether a unit's records have gone to a file (for tests and diagnostics).
bool scr_spilled(int unit);
int scr_records(int unit);

void SCROPEN(const int* IU, int K, int& IERR);
void SCRCLOSE(const int* IU, int K, int KEEP, int& IERR);
// Back to the first record of a unit; 0 or 1 (no message).
int SCRREWIND(int unit);

// Raw record access of the store (0 success, -1 end of records, 1 failure).
int scr_write(int unit, const void* p, std::size_t n);
int scr_read(int unit, std::vector<char>& buf);

void WRLHS(int IU, const cplx* A, int N, int& IERR);
void WRVEC2(const int* IU, const cplx* X, const cplx* Y, int N, int M, int& IERR);
void WRLHSB(const int* IU, const cplx* A, const cplx* B, int N, int M, int J1, int J2, int& IERR);
void RDLHS(int IU, cplx* A, cplx* R, cplx* C, int N, int& IERR);
void SETBORD(cplx* A, const cplx* R, const cplx* C, int I, int LDA);
void VWRITE(int IU, const cplx* V1, const cplx* V2, int N, int M, int NC, int& IERR);
void RDRLHS(int IU, cplx* A, cplx* B, int N, int I, int J, float* W, int MODE, float SCALE, int& IERR);
// RDRLHS in two steps, so that the records can be read in order and their
// terms added elsewhere: the two records into W(1..I-1) and W(N+1..N+I)
// (0, or 1 after the message), then their terms into A and B.
int rdrlhs_read(int IU, float* W, int N, int I);
void rdrlhs_add(cplx* A, cplx* B, int N, int I, int J, const float* W, int MODE, float SCALE);
void RDRVEL(int IU, cplx* V1, cplx* V2, int N, int I, int J, float* W, int FLAG, float SCALE, int& IERR);

// Close every store unit and drop its records (for tests).
void store_reset();

}  // namespace zorva::slv
