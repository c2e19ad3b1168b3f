// Pressure and fluid velocity at the field points of the force control
// file (options 6 and 7): the period's values and their report sections
// and numeric files.
#pragma once

#include <string>
#include <string_view>

namespace zorva {

// Field-point values of a period into frc::PDIFF, PRADF, PTOTF (option 6)
// and VDIFF, VRADF, VTOTF (option 7): the incident wave, the bodies'
// contributions and the totals with the motions.  NSYMRHS lists the
// incident-wave parts of each symmetry component; IERR 1 after a message
// when the bodies' contributions cannot be formed.
void FIELDPT(float WNUMNU, float WNUMK, const int* NSYMRHS, int IPERFL, int& IERR);
// The bodies' contributions, low-order panels: F the frequency factor.
void FLDPTLO(float F, const int* NSYMRHS, int ONE, int IPERFL, int& IERR);
// The same from the B-spline potentials of the higher-order patches
// (potential representation only).
void FLDPTHI(float F, const int* NSYMRHS, int ONE, int IPERFL, int& IERR);

// Report section and "optn.6" records of the field pressure.
void OUTFPRS(float PER, int IUOUT, int IUNUM, std::string_view NAME, int& IERR);
// Report section and "optn.7x/y/z" records of the field velocity; IUNUM
// and NAMES point at the three entries x, y, z.
void OUTFVEL(float PER, int IUOUT, const int* IUNUM, const std::string* NAMES, int& IERR);

}  // namespace zorva
