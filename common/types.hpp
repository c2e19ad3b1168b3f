// Basic numeric types of the program: single-precision reals and complex
// values throughout; double only where a routine needs it explicitly.
#pragma once

#include <complex>

namespace zorva {

using cplx = std::complex<float>;

inline constexpr float PI = 3.14159265f;
inline constexpr float FOURPI2 = 39.47842f;  // 4 pi^2, of a period turned into a wavenumber
inline constexpr float DEGRAD = 0.017453292f;  // degrees to radians

}  // namespace zorva
