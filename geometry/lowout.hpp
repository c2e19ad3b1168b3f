// Low-order geometry and plot output files written for the user.
#pragma once

namespace zorva {

// With ILOWGDF >= 1: body 1's panels, each divided into ILOWGDF x ILOWGDF
// sub-panels, as a low-order geometry file "<name>_low.gdf" (dimensional).
// With IPLTDAT >= 1: the panels of all bodies and their symmetry images as
// a finite-element plot file "<name>_pan.dat" in the global frame.
// IERR 1 when the subdivision grid cannot be allocated (message written).
void WRLOWPAN(int& IERR);

// The same for the patches of a higher-order run, each divided into
// NU x NV spline panels times m = max(ILOWGDF, IPLTDAT) per direction:
// with ILOWGDF >= 1 one "<name>_low.gdf" file per body; with IPLTDAT >= 1
// the zone files "<name>_pat.dat" (one zone per patch) and "<name>_pan.dat"
// (one zone per spline panel) of body 1's name, body frame, dimensional.
// IERR 1 after a message when the grid cannot be allocated or a patch
// point cannot be evaluated.
void PLTDATH(int& IERR);

}  // namespace zorva
