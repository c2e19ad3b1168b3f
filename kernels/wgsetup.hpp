// Per-period set-up of the wave Green function.
#pragma once

namespace zorva {

// HGRN00(nu, K, per, IERR): from the infinite-depth wavenumber nu of the period
// and the water depth model::HBOT, the finite-depth wavenumber K and the
// period's finite-depth coefficients.  In infinite depth (HBOT <= 0), or for a
// period entry per <= 1e-6, K = nu and nothing else is written (IERR untouched).
void HGRN00(const float& nu, float& K, const float& per, int& IERR);

// The finite-depth part of HGRN00 (HBOT > 0 and per > 1e-6): the one call
// point of the finite-depth set-up.
void HGRN00FD(const float& nu, float& K, const float& per, int& IERR);

}  // namespace zorva
