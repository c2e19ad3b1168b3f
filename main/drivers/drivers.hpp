// The stage drivers of a run and the services that only they use.
#pragma once

#include <string>

namespace zorva {

// The POTEN stage: set-up, period loop and the .p2f file.  IERR 0, or 1
// after a failure (its message already written).  NOCONV (when given) is
// set to 1 when a solution stopped at MAXITT iterations without converging
// (the stage goes on; the solver has written its warning).
void POTENRUN(int& IERR, int* NOCONV = nullptr);

// The FORCE stage: set-up and period loop over the periods of the .p2f file.
void FORCERUN(int& IERR);

// The FORCE set-up before the period loop (file names, .p2f and force
// control files, arrays, report header, numeric output files).  IERR 1
// after a message.
void FRCSETUP(int& IERR);

// In a run of both stages, before the first period is solved: the FORCE
// stage's configuration pass, its force control file (when the list file
// names it) and the option checks, read and made as the FORCE stage will
// make them on the model at hand.  Nothing is said and nothing changes
// when they pass; IERR 1 after their messages and a line saying that no
// period is solved.
void CHKFRC(int& IERR);

// Progress line of a POTEN period: reads the clock into RUNDATE / RUNTIME
// and writes the period, the time and the largest iteration counts of the
// radiation and diffraction solves (NITER) and of the source-strength
// solves (NITERS, with ISOR = 1) to the run summary (channel 22) and the
// screen.  No line when both counts of NITER are 0.
void WRHEAD(const int* NITER, const int* NITERS, float PER, std::string& RUNDATE, std::string& RUNTIME);

// Symmetry components and solution order of the modes (main/symmetry.hpp)
// from the run's symmetry indices and the per-mode classes IMODE.
void ALLOCPOTW(int NMODT, int IDIFF);

}  // namespace zorva
