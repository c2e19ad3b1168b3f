#include "kernels/wgmod.hpp"

namespace zorva::wgmod {

float HBOT = -1.0f;

void reset() { HBOT = -1.0f; }

}  // namespace zorva::wgmod
