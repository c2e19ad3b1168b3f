// The preparation steps of the FORCE stage that live with the POTEN-to-FORCE
// data: option checks, force control file, tank hydrostatics, report header,
// hydrostatic matrix file and external RAO file.  The stage's set-up in the
// drivers (FRCSETUP) calls them in turn.
#pragma once

#include <string>

namespace zorva {

// Checks the output options IOPTN against the run; resets some of them.
// IERR 1 when a fatal inconsistency was found (every one is reported).
void CHKOPT(int& IERR);

// Reads the force control file open on IUNIT (unit 12).  A body's own
// force control file is read on unit IUFIRST, its matrix files on the three
// units after it.
void RDFRC(int IUNIT, float ULENI, int& IERR, int IUFIRST = 21);
// Mass matrix of a freely floating body IB (mode offset IOFF), from its
// displaced volume, centre of buoyancy, ZCG and radii of gyration.
void MASSGYR(int NMODT, float ULENI, int IB, int IOFF);
// External matrices of bodies IB1..IB2 (mode offset IOFF of IB1) to
// nondimensional form, with the gravitational restoring terms.
void SCALEXM(int NMODT, float RHO, float GRAV, float ULENI, int IB1, int IB2, int IOFF);
// Grow the field-point arrays to NEW points, keeping the old ones.
void ALLXFLD(int NEW, int& IERR);

// Tank terms of the restoring matrix and, for bodies whose mass is their
// displacement, the mass and centre of gravity without the tank fluid.
// IERR 1 (after a message) for a tank that holds the whole displacement.
void TANKHYD(int NBODY, int NTANKS, int& IERR);

// The head of the report (unit 11): run summary from the .p2f file, run and
// body parameters, tanks, banner.  DATE and TIME receive the banner's stamp.
void OPHEAD(std::string& DATE, std::string& TIME, int& IERR);

// The hydrostatic matrix file and the nondimensional inertia matrices in
// the run log.
void WRHST(const std::string& DATE, const std::string& TIME, int& IERR);

// Checks the external RAO file against the run and leaves it open on
// unit 45 at its first data record.
void RDRAO(int& IERR);

}  // namespace zorva
