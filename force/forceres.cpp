#include "force/forceres.hpp"

namespace zorva::frc {

Arr3<float> BASQU, BASQV;

void reset_res() {
    BASQU.deallocate();
    BASQV.deallocate();
}

}  // namespace zorva::frc
