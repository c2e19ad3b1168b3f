// The hydrostatic matrix file (.hst) and the nondimensional inertia
// matrices in the run log.
#include "common/channels.hpp"
#include "common/fmtwrite.hpp"
#include "common/messages.hpp"
#include "geometry/model.hpp"
#include "main/config.hpp"
#include "main/fnames.hpp"
#include "p2f/forcedata.hpp"
#include "p2f/forceprep.hpp"
#include "panels/geomdata.hpp"

namespace zorva {

void WRHST(const std::string& DATE, const std::string& TIME, int& IERR) {
    constexpr int IUHST = 25;
    IERR = 0;
    if (chan::open(IUHST, fnames::FILEHST, chan::Status::Replace) != 0) {
        ERRMSG("Error opening .HST file for hydrostatic matrix", 0);
        IERR = 1;
        return;
    }
    const int nm = model::NMODT;
    if (cfg::NUMHDR == 1) {
        std::string name = fnames::FILEHST;
        name.resize(20, ' ');
        fmt::write(IUHST, "(1X,'ZORVA Hydrostatic Matrix C(I,J) -- ',A,2X,A,2X,A)", {name, DATE, TIME});
    }
    for (int i = 1; i <= nm; ++i)
        for (int j = 1; j <= nm; ++j) fmt::write(IUHST, "(2I6,1P,E15.6)", {i, j, pnl::CHYD(i, j)});
    chan::close(IUHST);

    int o = 0;
    for (int ib = 1; ib <= cfg::NBODY; ++ib) {
        if (cfg::IALTFRCN(ib) == 1) {
            fmt::write(IULOG, "(/,' Nondimensional inertia matrix for body N =',I4,/)", {ib});
            for (int i = 1; i <= 6; ++i) {
                float row[6];
                for (int j = 1; j <= 6; ++j) row[j - 1] = frc::EXTMATND(1, o + i, o + j);
                fmt::write(IULOG, "(6G13.6)", {std::span<const float>(row, 6)});
            }
        }
        o += 6 + (cfg::NEWMDS.extent(1) >= ib ? cfg::NEWMDS(ib) : 0);
    }
}

}  // namespace zorva
