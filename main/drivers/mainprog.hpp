// The main program: run log, POTEN and FORCE stages, completion summary.
#pragma once

namespace zorva {

// Runs the whole program; returns the process exit status: 0 after a run
// without a stage failure, 1 after a failed stage or when the run log
// cannot be opened, 2 after a run whose stages ended but some of whose
// solutions did not converge within MAXITT iterations.
int MAIN();

}  // namespace zorva
