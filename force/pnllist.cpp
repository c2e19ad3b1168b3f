// Panel listing of option 5 (low-order method): per body, one .pnl file
// with the centroid, area and rigid-mode normals of every output panel,
// dimensional and in the global frame, repeated for each symmetric copy.
#include <string>

#include "common/channels.hpp"
#include "common/datetime.hpp"
#include "common/fmtwrite.hpp"
#include "common/fnamext.hpp"
#include "common/messages.hpp"
#include "force/bodypts.hpp"
#include "geometry/model.hpp"
#include "main/config.hpp"
#include "main/fnames.hpp"
#include "main/symmetry.hpp"
#include "panels/paneldata.hpp"

namespace zorva {

void WRPNL(int& IERR) {
    constexpr int IU = 39;
    constexpr float SX[5] = {0, 1, -1, -1, 1}, SY[5] = {0, 1, 1, -1, -1}, SO[5] = {0, 1, -1, 1, -1};
    const float L = model::ULEN(1);
    int IFIRST = 1, M0 = 1;
    for (int ib = 1; ib <= cfg::NBODY; ++ib) {
        const int first = IFIRST, last = IFIRST + model::NPANB(ib) - 1, m0 = M0;
        IFIRST += model::NPANB(ib);
        M0 += 6 + (cfg::NEWMDS.allocated() ? cfg::NEWMDS(ib) : 0);
        std::string name;
        FNAMEXT(fnames::GDFNAME(ib), name, ".pnl");
        if (name.size() > 20) name.resize(20);
        if (chan::open(IU, name, chan::Status::Replace) != 0) {
            ERRMSG("Error opening .PNL file for body IB=", ib);
            IERR = 1;
            return;
        }
        int st = 0;
        if (cfg::NUMHDR == 1) {
            std::string n20 = name;
            n20.resize(20, ' ');
            st |= fmt::write(IU, "(1X,'ZORVA Numeric Output -- Filename  ',A,2X,A,2X,A)",
                             {std::string_view(n20), std::string_view(RUNDATE), std::string_view(RUNTIME)});
        }
        for (int k = 1; k <= sym::NSYMF; ++k) {
            const int g = sym::ISYMF[static_cast<std::size_t>(k)];
            for (int p = first; p <= last; ++p) {
                if (pnl::IPFLAG.allocated() && pnl::IPFLAG(p) == -1) continue;
                auto n = [&](int j) { return pnl::VNMODE(m0 + j - 1, p); };
                st |= fmt::write(IU, "(I4,I6,1P,10E13.5)",
                                 {k, p - first + 1, pnl::PCENT(1, p) * SX[g] * L, pnl::PCENT(2, p) * SY[g] * L,
                                  pnl::PCENT(3, p) * L, pnl::PPROP(1, p) * L * L, n(1) * SX[g], n(2) * SY[g], n(3),
                                  n(4) * SY[g] * L, n(5) * SX[g] * L, n(6) * SO[g] * L});
            }
        }
        st |= chan::flush(IU);
        chan::close(IU);
        if (st != 0) {
            ERRMSG("Error writing .PNL file " + name + " for body IB=", ib);
            IERR = 1;
            return;
        }
    }
}

}  // namespace zorva
