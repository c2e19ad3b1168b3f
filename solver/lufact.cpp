#include "solver/lufact.hpp"

#include <algorithm>

extern "C" {
void cgetrf_(const int* m, const int* n, std::complex<float>* a, const int* lda, int* ipiv, int* info);
void cgetrs_(const char* trans, const int* n, const int* nrhs, const std::complex<float>* a, const int* lda,
             const int* ipiv, std::complex<float>* b, const int* ldb, int* info, std::size_t trans_len);
}

namespace zorva {

void LUFACT(cplx* A, int* IPIV, int N, int& IERR) {
    IERR = 0;
    if (N <= 0) return;
    int info = 0;
    cgetrf_(&N, &N, A, &N, IPIV, &info);
    if (info != 0) IERR = 1;
}

void LUSOLV(const cplx* A, cplx* B, cplx* W, const int* IPIV, int N, int COPY) {
    if (N <= 0) return;
    std::copy(B, B + N, W);
    LUSOLV(A, W, 1, IPIV, N);
    if (COPY == 1) std::copy(W, W + N, B);
}

int LUSOLV(const cplx* A, cplx* B, int NRHS, const int* IPIV, int N) {
    if (N <= 0 || NRHS <= 0) return 0;
    const char trans = 'N';
    int info = 0;
    cgetrs_(&trans, &N, &NRHS, A, &N, IPIV, B, &N, &info, 1);
    return info;
}

}  // namespace zorva
