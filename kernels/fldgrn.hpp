// Whole influence of one low-order panel, carrying a unit source or a unit
// normal dipole, at one field point: the Rankine part integrated over the
// panel when the point (or its free-surface or sea-bed image) is near it,
// and the wave part of the Green function between the point and the panel
// centroid, weighted by the panel area.
#pragma once

namespace zorva {

// FLDGRNLO(P, FAC, NU, IPAN, DRE, DIM, GDRE, GDIM, SRE, SIM, GSRE, GSIM, MODE,
// IVEL, KPER, IERR)
//   P(3): field point, global frame, length unit of the geometry (not changed).
//   FAC: the Rankine part is integrated over the panel when the squared
//     distance of the point (or image) from the centroid is at most FAC
//     times the panel's squared size PNLARR3(2, IPAN).
//   NU: wavenumber scaling the wave part (1.0 at the frequency limits).
//   DRE, DIM / SRE, SIM: dipole and source influence.
//   GDRE, GDIM (3): gradient of the dipole influence (MODE 1, IVEL != 0).
//   GSRE, GSIM (3): gradient of the source influence (MODE 1 or 2, IVEL != 0).
//   KPER: 0 an ordinary period; 1 or 2 the zero- and infinite-frequency
//     limits (the free-surface image changes sign at 2).
//   IERR: 0, or 1 after a message when a Rankine integral failed.
void FLDGRNLO(const float* P, const float& FAC, const float& NU, const int& IPAN, float& DRE, float& DIM, float* GDRE,
              float* GDIM, float& SRE, float& SIM, float* GSRE, float* GSIM, const int& MODE, const int& IVEL,
              const int& KPER, int& IERR);

}  // namespace zorva
