// The stage drivers of a run and the services that only they use.
#pragma once

#include <string>

namespace zorva {

// The POTEN stage: set-up, period loop and the .p2f file.  IERR 0, or 1
// after a failure (its message already written).
void POTENRUN(int& IERR);

// The FORCE stage: set-up and period loop over the periods of the .p2f file.
void FORCERUN(int& IERR);

// Progress line of a POTEN period: reads the clock into RUNDATE / RUNTIME
// and writes the period, the time and the largest iteration counts of the
// radiation and diffraction solves (NITER) and of the source-strength
// solves (NITERS, with ISOR = 1) to the run summary (channel 22) and the
// screen.  No line when both counts of NITER are 0.
void WRHEAD(const int* NITER, const int* NITERS, float PER, std::string& RUNDATE, std::string& RUNTIME);

// Symmetry components and solution order of the modes (main/symmetry.hpp)
// from the run's symmetry indices and the per-mode classes IMODE.
void ALLOCPOTW(int NMODT, int IDIFF);
// The symmetry set-up above copied into the tables the Rankine kernels read
// (geometry/symmetry.hpp).
void SYMTOKERN();

}  // namespace zorva
