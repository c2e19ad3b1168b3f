// The POTEN-to-FORCE file: the period solution scratch, the writer at the
// end of the POTEN stage and the readers of the FORCE stage.
#pragma once

#include "common/farray.hpp"
#include "common/types.hpp"

namespace zorva {

// Appends one period's solutions to the solution scratch file (unit 21):
// the radiation array XR (N, NSOLC) when IRAD >= 0, the diffraction array
// XD (N, M, NSYMC) when IDIFF >= 0 and the period is ordinary (IPFL = 0),
// and with ISRC = 1 (source strengths) also the velocity arrays VELRAD and
// VELDIF, which are then released.  IERR 1 (after a message) when the
// arrays are too small or a write fails.
void WRSCR21(int N, int M, int IRAD, int IDIFF, Arr2<cplx>& XR, Arr3<cplx>& XD, int ISRC, int IPFL, int& IERR);
// Whether every value that WRSCR21 with the same arguments stores is one
// the .p2f reader takes (finite and within MAXREAL).
bool SOLCARRIED(int N, int M, int IRAD, int IDIFF, const Arr2<cplx>& XR, const Arr3<cplx>& XD, int ISRC, int IPFL);

// Writes the .p2f file FILEP2F from the run data and the scratch units 21
// (period solutions), 22 (run summary) and 28 (user-routine data lines) and
// from rgkinit.txt; closes the scratch units.  IERR 1 after a message when
// the file cannot be made or a record cannot be written or copied.
void WRP2F(int IRAD, int IDIFF, int NPER, int NBETA, int NEQN, int& IERR);

// Before the solve: refuses (IERR 1, after a message naming the geometry
// file, the body and the panel or patch) a panel or patch whose tables the
// .p2f reader would refuse: a value beyond its bound or not finite, a
// centroid or quadrature point above the free surface or below the bottom.
// The tables are those the file's description (lay_bulk) lays out, as they
// stand after the geometry step; a value of another table that the file
// cannot carry is refused naming the item.
void CHKCARRY(int& IERR);

// Header of the open .p2f file on IUNIT (IERR set to 1 on failure, left
// as it is on success).
void RDP2FH(int IUNIT, int& IERR);
// The model records that follow the header.
void RDP2F(int IUNIT, int& IERR);
// The geometry-kernel lines (when NRGKBODY > 0): rgkinit.txt is written
// again from them.
void RDP2FRGK(int IUNIT, int& IERR);
// One period's potentials (IFLAG the period's limit flag).
void RDP2FPOT(int IUNIT, int IFLAG, int& IERR);

}  // namespace zorva
