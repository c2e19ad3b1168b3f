#include "common/threads.hpp"
#include "main/drivers/mainprog.hpp"

#include <string>

#include "common/channels.hpp"
#include "common/messages.hpp"
#include "main/config.hpp"
#include "main/fnames.hpp"
#include "main/drivers/drivers.hpp"
#include "main/runlog.hpp"

namespace zorva {

namespace {
// The end of the run: every file is closed (so that the logs are complete
// on disk and scratch files vanish).
void stop() {
    for (int unit = 0; unit <= chan::MAXUNIT; ++unit)
        if (unit != IUKBD && unit != IUSCR && chan::is_open(unit)) chan::close(unit);
    chan::flush(IUSCR);
}
}  // namespace

int MAIN() {
    if (chan::open(IULOG, "zorvalog.txt", chan::Status::Replace) != 0) {
        chan::write_line(IUSCR, " Unable to open ZORVA log file, UNIT =   " + std::to_string(IULOG));
        return 1;
    }
    int IERR = 0, NWARNP = 0, NWARNF = 0, NOCONV = 0;
    // The linear algebra library works on one thread until a large
    // factorisation asks for the run's threads.
    thr::blas_for(1);
    RUNSTAMP("ZORVALOG.TXT file from ZORVA run: ");
    POTENRUN(IERR, &NOCONV);
    RUNSTAMP("POTEN run completed: ");
    if (IERR == 0) {
        if (cfg::IPOTEN == 1) LOGCOUNT(NWARNP);
        const bool solved = cfg::IPOTEN == 1;
        if (IERR == 0 && cfg::IFORCE == 1) FORCERUN(IERR);
        // What stopped the FORCE stage could not be told before the solve:
        // the solved potentials stay for a run of the FORCE stage alone.
        if (IERR != 0 && solved)
            ERRMSG(" The solved potentials are kept in " + fnames::FILEP2F +
                       ": a run with IPOTEN=0 computes the forces from it",
                   0);
    }
    RUNSTAMP("FORCE run completed: ");
    if (IERR == 0) {
        ERRMSG(" ZORVA run completed", 0);
        if (cfg::IFORCE == 1) LOGCOUNT(NWARNF);
    }
    if (NWARNP > 0) ERRMSG(" See WARNING messages in ERRORP.LOG file ", 0);
    if (NWARNF > 0) ERRMSG(" See WARNING messages in ERRORF.LOG file ", 0);
    // A run whose solutions did not all converge has results that cannot be
    // trusted: the last line on the screen says so and the exit status
    // differs from that of a clean run.
    const bool unconverged = IERR == 0 && NOCONV != 0;
    if (unconverged) {
        for (int unit : {IUSCR, IULOG}) {
            chan::write_line(unit, "");
            chan::write_line(unit, "  Solutions did not converge within MAXITT iterations: see ERRORP.LOG file");
        }
    }
    stop();
    // A failed stage has reported itself; the exit status tells the caller.
    return IERR != 0 ? 1 : unconverged ? 2 : 0;
}

}  // namespace zorva
