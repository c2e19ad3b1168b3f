#include "kernels/wgsetup.hpp"

#include "geometry/model.hpp"

namespace zorva {

void HGRN00(const float& nu, float& K, const float& per, int& IERR) {
    if (model::HBOT <= 0.0f || per <= 1.0e-6f) {
        K = nu;
        return;
    }
    HGRN00FD(nu, K, per, IERR);
}

}  // namespace zorva
