// Waterline trimming of a low-order body: the body is moved to its trimmed
// floating position (sinkage, pitch, roll of XTRIM) and its panels are cut
// at the free surface.
#pragma once

#include <array>
#include <string>

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

// Body IB, its NPAN panels from global panel IFIRST on as read from its
// geometry file, before waterline trimming; ZFS as for TRIMGDF.  ISXY the
// body's symmetry indices: the reader adds the mirror images about those
// planes, so that an edge in one of them is no boundary of the body.  An
// edge of a panel (not a dipole or tank panel) that no other panel shares
// is an open edge of the body; one that the trim puts more than ONWL below
// ZFS leaves the body open under water.  Edges match within 1.E-4 (in ULEN)
// or 1.E-6 of the body's largest coordinate; an unmatched edge whose middle
// lies on another unmatched edge meets it at a T-junction and is covered;
// edges of length within that tolerance are skipped, as are edges in a wall
// plane of the run and bodies from IBODY_WAVEMAKER on.  IERR = 1 (message
// written, naming the geometry file, the body, the panel and its edge)
// when an open edge lies under water.
void OPENEDGE(int IFIRST, int NPAN, float ZFS, int IB, std::array<int, 2> ISXY, int& IERR);

// "XTRIM = 0.05 4 0" of body IB, sinkage in the units of its geometry file.
std::string TRIMTEXT(int IB);

}  // namespace zorva
