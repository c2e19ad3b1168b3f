// Placeholders of the finite-depth path until its kernels are built: the
// set-up refuses a finite depth, so no finite-depth pair reaches WGREENV.
// This file goes when HGRN00FD, WGREENVFD and FDGRNSC are provided.
#include <algorithm>

#include "common/messages.hpp"
#include "kernels/wgreenv.hpp"
#include "kernels/wgsetup.hpp"

namespace zorva {

void HGRN00FD(const float& /*nu*/, float& /*K*/, const float& /*per*/, int& IERR) {
    ERRMSG(" Error return in HGRN00: finite water depth is not available", 0);
    IERR = 1;
}

void WGREENVFD(const float* /*R*/, const float& /*A*/, const float* /*Z*/, const float* /*ZETA*/,
               const float& /*H*/, cplx* G, const int* /*ISING*/, const int* /*IBOT*/, const int& N, int*, int*,
               int*, int*, int*, int*, int*, int*, int*, int*, int*, int*, int*, int*) {
    ERRMSG(" Error in WGREENV: finite water depth is not available", 0);
    std::fill(G, G + 8 * static_cast<long>(N), cplx(0.0f, 0.0f));
}

// Frequency-limit kernel (one pair): not available until finite depth is;
// the record is cleared.
void FDGRNSC(const float& /*R*/, const float& /*Z*/, const float& /*ZETA*/, const float& /*H*/, cplx* G,
             const int& /*IFLAGA*/, const int& /*IFLAGB*/, const int& /*IROW*/) {
    ERRMSG(" Error in FDGRNSC: frequency-limit Green function is not available", 0);
    std::fill(G, G + 8, cplx(0.0f, 0.0f));
}

}  // namespace zorva
