// Patch points for the higher-order Rankine integrals.
#include "common/messages.hpp"
#include "kernels/horank.hpp"

namespace zorva {

int HOEVAL(float, float, int, int, int, HoPt&, float*) {
    ERRMSG(" Patch evaluation is not available in this build", 0);
    return 1;
}

}  // namespace zorva
