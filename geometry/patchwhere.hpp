// The name of a patch as the input gives it, for messages about it.
#pragma once

#include <string>

namespace zorva {

// "body IB (its geometry file), patch P", P the patch of IP in that file;
// an interior free-surface patch says so and names the body patch it lies
// beside; a patch of a geometry-model body is said to be one of its model.
// IP is the global patch index.
std::string PATCHWHERE(int IB, int IP);

}  // namespace zorva
