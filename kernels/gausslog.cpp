#include "kernels/gausslog.hpp"

#include "common/messages.hpp"

namespace zorva {

int GAUSSLOG(float* X, float* W, int N) {
    using namespace glog;
    const double *x = nullptr, *w = nullptr;
    switch (N) {
        case 2: x = NODES2, w = WEIGHTS2; break;
        case 3: x = NODES3, w = WEIGHTS3; break;
        case 4: x = NODES4, w = WEIGHTS4; break;
        case 5: x = NODES5, w = WEIGHTS5; break;
        case 6: x = NODES6, w = WEIGHTS6; break;
        case 7: x = NODES7, w = WEIGHTS7; break;
        case 8: x = NODES8, w = WEIGHTS8; break;
        case 16: x = NODES16, w = WEIGHTS16; break;
        default:
            ERRMSG(" No log-weighted Gauss rule of this order, Order=", N);
            return 1;
    }
    for (int k = 0; k < N; ++k) {
        X[k] = static_cast<float>(x[k]);
        W[k] = -static_cast<float>(w[k]);
    }
    return 0;
}

}  // namespace zorva
