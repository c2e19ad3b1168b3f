// Bounds on stored values that the readers of the configuration, the model
// input and the POTEN-to-FORCE file (.p2f) share: each rule is written here
// once, so that what the input takes the file carries and reads back.
#pragma once

#include <cmath>

namespace zorva {

// Largest magnitude of a real that the .p2f file carries in its bounded
// records (the hydrostatic and tank records aside, whose volume moments grow
// with the fourth power of the length): coordinates, normals, weights and
// potentials of a POTEN run stay far below it, and their products within
// single precision.
inline constexpr float MAXREAL = 1.0e10f;

// Whether a real is carried: finite and within MAXREAL.  The model input,
// the check before the solve and the .p2f reader hold values to it.
inline bool carried(float v) { return std::isfinite(v) && std::fabs(v) <= MAXREAL; }

// The shortest body length ULEN of body 1, whose length makes the whole run
// nondimensional: the geometry file and a stored .p2f file are held to it.
inline constexpr float MINULEN = 1.0e-5f;
inline bool long_enough(float ulen) { return ulen >= MINULEN; }

// The largest B-spline order (potential and geometry) of the higher-order
// method: the per-cell work of the assembly holds orders up to it, and the
// configuration and the spline control files are held to it.
inline constexpr int MAXBSPLORD = 16;

// The largest Gauss-Legendre order of the tabulated rules: the spline
// control files and the configuration are held to it.
inline constexpr int MAXGAUSSORD = 16;

// The largest count the .p2f file carries in its header (bodies, panels,
// modes, periods, ...); counts that the configuration gives and the file
// carries (the waterline-trimming grid) are held to it as well.
inline constexpr long MAXCOUNT = 1L << 24;

}  // namespace zorva
