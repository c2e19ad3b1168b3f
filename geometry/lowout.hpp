// Low-order geometry and plot output files written for the user.
#pragma once

namespace zorva {

// With ILOWGDF >= 1: body 1's panels, each divided into ILOWGDF x ILOWGDF
// sub-panels, as a low-order geometry file "<name>_low.gdf" (dimensional).
// With IPLTDAT >= 1: the panels of all bodies and their symmetry images as
// a finite-element plot file "<name>_pan.dat" in the global frame.
// IERR 1 when the subdivision grid cannot be allocated (message written).
void WRLOWPAN(int& IERR);

}  // namespace zorva
