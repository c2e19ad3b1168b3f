// Routines that the model input calls in parts of the program that this
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "geometry/lowout.hpp"
#include "geometry/modfile.hpp"
#include "geometry/trimlow.hpp"

namespace zorva {

// Set to 1 by a stand-in without a status argument when it is reached.
extern int IPENDERR;

}  // namespace zorva
