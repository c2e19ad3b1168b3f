// Waterline trimming of a low-order body: the body is moved to its trimmed
// floating position (sinkage, pitch, roll of XTRIM) and its panels are cut
// at the free surface.
#pragma once

namespace zorva {

// Depth below the trimming level ZFS within which a wet vertex lies on the
// waterline: the waterline segments take a vertex within 1.E-5 of the free
// surface (ZFS is 1.E-6 above it) as one of theirs.
inline constexpr float ONWL = 1.1E-5f;

// Body IB, its NPAN panels from global panel IFIRST on; ZFS the free
// surface in the body frame (raised by 1.E-6 so that a vertex on the
// waterline is wet).  An edge is cut where it crosses ZFS, or at its wet
// end when that end lies on the waterline (less than ONWL below ZFS).
// NPAN becomes the new panel count.  IERR is not reset
// on entry; it is nonzero after a failure of the panel-array services
// (message written).
void TRIMGDF(int IFIRST, int& NPAN, float ZFS, int IB, int& IERR);

// Drops panel IP when no vertex lies 2.E-6 or more below ZL or its area is
// below 1.E-10; IP and NPAN then decrease by 1.
void DELPAN(int& IP, int& NPAN, float ZL, int IB, int& IERR);

}  // namespace zorva
