// The FORCE stage's shared data: heading and column counts, the force
// control file's inputs, the per-body hydrostatic products and the arrays
// of each period's potentials.  Allocated by the FORCE set-up and kept to
// the end of the run.
#pragma once

#include <array>
#include <string>

#include "common/farray.hpp"
#include "common/types.hpp"

namespace zorva::frc {

// Heading counts: as read from the .p2f file (may be 0), heading extent of
// the stored diffraction potentials (>= 1), headings of the result arrays,
// Haskind headings of the force control file, columns of RAO and FEXH,
// columns of the drift arrays.
extern int NBETA0, NBETAP, NBETAF, NBETAH, NBETAX, NDRIFT;
// Wavemaker columns, columns of the other bodies, free columns.
extern int NMODWM, NMODBD, NMODFREE;
extern int NFIELD, NPCT, NPBOUT, NBPTT, IBPPRS, IBPVEL;

// Output order of the solution columns and the mode of each column; the
// force control file's MODE flag per column.
extern Arr1<int> MODCOL, MODNUM, MODEC;
extern Arr1<int> MODE;                   // (NMODT) mode list of the force control file (IOPTN(4) < 0)

// Force control file.
extern std::string HEADFRC;              // first line (72 characters)
extern float RHO;                        // fluid density
extern std::array<int, 4> IMASS;         // [1..3] IMASS, IDAMP, ISTIF
extern std::array<std::string, 4> FILEEXT, HEADEXT;  // [1..3] matrix file names and first lines
extern Arr1<std::string> FILEFRCB, HEADFRCB;         // per body
extern Arr2<int> IMASSB;                 // (3, NBODY)
extern Arr2<float> CGBODY;               // (3, NBODY) centre of gravity, dimensional
extern Arr3<float> XPRDCT;               // (3, 3, NBODY) radii of gyration, dimensional
extern Arr3<float> EXTMAT, EXTMATND;     // (3, NMODT, NMODT) external matrices as read, nondimensional
extern Arr2<float> XFIELD;               // (3, NFIELD) field points, dimensional
extern Arr1<int> IFPTANK;                // (NFIELD) tank of each field point, 0 outside

// Per-body hydrostatic products (set-up step and tank hydrostatics).
extern Arr2<float> VMOMB;                // (2, NBODY)
extern Arr1<float> CZ33, CZ34, CZ35;     // (NBODY)

// The period's potentials.  The velocity arrays hold the heading and the
// symmetry component in their last extent: heading ih of component k at
// ih + (k - 1) * (headings per component).
extern Arr2<cplx> RADPOT;                // (NEQN, NSOLC)
extern Arr3<cplx> DIFPOT;                // (NEQN, NBETAP, NSYMC)
extern Arr2<cplx> RADSRC;                // (NEQN, NSOLC)
extern Arr3<cplx> RADVEL;                // (NEQN, 3, NSOLC)
extern Arr3<cplx> DIFSRC;                // (NEQN, NBETAP, NSYMC)
extern Arr3<cplx> VDIFP;                 // (NPBOUT, 3, NBETAF * NSYMF)

// Results of a period (allocated when their options ask for them).
extern Arr2<cplx> RAO;                   // (NMODT, NBETAX) motions
extern Arr2<float> AMAT, BMAT;           // (NMODT, NMODT) added mass and damping
extern Arr2<cplx> FEXH;                  // (NMODT, NBETAX) Haskind exciting forces
extern Arr2<cplx> FEXD;                  // (NMODT, NBETAF) exciting forces by pressure integration
extern Arr2<cplx> PTOTF, PRADF, PDIFF;   // (NFIELD, NBETAF | NSOLC | NBETAF) field pressure
extern Arr3<cplx> VTOTF, VRADF, VDIFF;   // (3, NFIELD, NBETAF | NSOLC | NBETAF) field velocity
extern Arr2<cplx> DRIFTM, DRIFTS;        // (NMODT, NDRIFT) mean drift forces
extern Arr2<cplx> DRIFTCM, DRIFTCS;      // (NMODT, NDRIFT) the same from the control surfaces
// Work arrays of the momentum drift and the Haskind forces.
extern Arr1<cplx> KOCHR1, KOCHR2, KOCHD1, KOCHD2, KOCHT1, KOCHT2;
extern Arr1<float> VNWORK;               // (NMODT)
// Body pressure and velocity: at the centroid-type points (heading or
// column, then symmetric copy) and at the body points of the .bpi file.
extern Arr3<cplx> PTOTP, PDIFP;          // (NPBOUT, NBETAF, NSYMF)
extern Arr3<cplx> PRADP;                 // (NPBOUT, NSOLC, NSYMF)
extern Arr3<cplx> VTOTP;                 // (NPBOUT, 3, NBETAF * NSYMF)
extern Arr3<cplx> VRADP;                 // (NPBOUT, 3, NSOLC * NSYMF)
extern Arr2<cplx> PTOTB, PDIFB, PRADB;   // (NBPTT, NBETAF | NBETAF | NSOLC)
extern Arr3<cplx> VTOTB, VDIFB, VRADB;   // (NBPTT, 3, NBETAF | NBETAF | NSOLC)
extern Arr1<int> NBPT;                   // (NBODY) body points of each body

// Name of the external RAO file (the report's name with ".rao").
extern std::string FILERAO;

void reset();

}  // namespace zorva::frc
