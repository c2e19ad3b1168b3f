// Fluid velocity on the panels from the source strengths of the second
// solution of a period (source formulation, low-order method).
#pragma once

namespace zorva {

// Unit of the source scratch file: per panel i and symmetry component k, the
// velocity coefficients of the sources 1..i at panel i and of source i at
// panels 1..i-1 (two records, written by the low-order assembly).
inline constexpr int IUSRC = 27;

// POTSRCST: multiplies the velocity coefficients on IUSRC by the radiation
// source strengths (slv::RHSMOD, one column per solved mode) and the
// diffraction source strengths (slv::RHSSRC, one column per heading and
// component) into run::VELRAD (NEQN, 3, NSOLC) and run::VELDIF (NEQN, 3,
// NBETAC * NSYMC).  IUSRC is read in full and closed (it is a scratch file).
// IERR 0, or 1 after a message (memory, or a failed read of IUSRC).
void POTSRCST(const int& NEQN, const int& IRAD, const int& IDIFF, const int& NBETAC, int& IERR);

}  // namespace zorva
