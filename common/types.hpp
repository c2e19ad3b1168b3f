// Basic numeric types of the program: single-precision reals and complex
// values throughout; double only where a routine needs it explicitly.
#pragma once

#include <complex>

namespace zorva {

using cplx = std::complex<float>;

inline constexpr float PI = 3.14159265f;
inline constexpr float DEGRAD = 0.017453292f;  // degrees to radians

}  // namespace zorva
