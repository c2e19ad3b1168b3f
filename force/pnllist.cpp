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
#include "geometry/modelin.hpp"
#include "geometry/modelmore.hpp"
#include "p2f/forcedata.hpp"
#include "main/config.hpp"
#include "main/fnames.hpp"
#include "main/symmetry.hpp"
#include "panels/paneldata.hpp"

namespace zorva {

namespace {
constexpr int IU = 39;
constexpr float SX[5] = {0, 1, -1, -1, 1}, SY[5] = {0, 1, 1, -1, -1}, SO[5] = {0, 1, -1, 1, -1};

// Opens the .pnl file of body IB and writes its header; false after a
// message when it cannot be opened.
bool open_pnl(int ib, std::string& name, int& st, int& IERR) {
    FNAMEXT(fnames::GDFNAME(ib), name, ".pnl");
    if (name.size() > 20) name.resize(20);
    if (chan::open(IU, name, chan::Status::Replace) != 0) {
        ERRMSG("Error opening .PNL file for body IB=", ib);
        IERR = 1;
        return false;
    }
    if (cfg::NUMHDR == 1) {
        std::string n20 = name;
        n20.resize(20, ' ');
        st |= fmt::write(IU, "(1X,'ZORVA Numeric Output -- Filename  ',A,2X,A,2X,A)",
                         {std::string_view(n20), std::string_view(RUNDATE), std::string_view(RUNTIME)});
    }
    return true;
}

bool close_pnl(int ib, const std::string& name, int st, int& IERR) {
    st |= chan::flush(IU);
    chan::close(IU);
    if (st != 0) {
        ERRMSG("Error writing .PNL file " + name + " for body IB=", ib);
        IERR = 1;
        return false;
    }
    return true;
}

// Input panels of the patches (higher order): one file per body with
// several bodies, else one file with a block per symmetric copy.
void wrpnl_hi(int& IERR) {
    using namespace model;
    using namespace frc;
    const float L = ULEN(1);
    auto line = [&](int& st, int k, int j, int n, int g, int m0, int ib) {
        float xb[3] = {XPCT(1, n), XPCT(2, n), XPCT(3, n)}, xg[3];
        if (ib == 0) xb[0] *= SX[g], xb[1] *= SY[g];
        BODY2GLB(xb, xg, ib == 0 ? 1 : ib);
        auto vn = [&](int i) { return VNPCT(m0 + i - 1, n); };
        const float f[7] = {0, SX[g], SY[g], 1, SY[g] * L, SX[g] * L, SO[g] * L};
        st |= fmt::write(IU, "(I4,I6,1P,10E13.5)",
                         {k, j, xg[0] * L, xg[1] * L, xg[2] * L, APCT(n) * L * L, vn(1) * f[1], vn(2) * f[2],
                          vn(3) * f[3], vn(4) * f[4], vn(5) * f[5], vn(6) * f[6]});
    };
    auto count = [](int p) {
        int c = 0;
        if (IFSPAT(p) == -1 || NV(p) == 0) return 0;
        for (int iv = 1; iv <= NV(p); ++iv)
            for (int iu = 1; iu <= NU(p); ++iu) c += NSUBPCT(iu, iv, p);
        return c;
    };
    if (cfg::NBODY > 1) {
        int n = 0, M0 = 1;
        for (int ib = 1; ib <= cfg::NBODY; ++ib) {
            std::string name;
            int st = 0;
            if (!open_pnl(ib, name, st, IERR)) return;
            int j = 0;
            for (int p = IPSTART(ib); p < IPSTART(ib) + NPATCHB(ib); ++p)
                for (int c = count(p); c > 0; --c) line(st, 1, ++j, ++n, 1, M0, ib);
            M0 += 6 + (cfg::NEWMDS.allocated() ? cfg::NEWMDS(ib) : 0);
            if (!close_pnl(ib, name, st, IERR)) return;
        }
        return;
    }
    std::string name;
    int st = 0;
    if (!open_pnl(1, name, st, IERR)) return;
    for (int k = 1; k <= sym::NSYMF; ++k) {
        const int g = sym::ISYMF[static_cast<std::size_t>(k)];
        int n = 0;
        for (int p = IPSTART(1); p < IPSTART(1) + NPATCHB(1); ++p)
            for (int c = count(p); c > 0; --c) ++n, line(st, k, n, n, g, 1, 0);
    }
    close_pnl(1, name, st, IERR);
}
}  // namespace

void WRPNL(int& IERR) {
    if (cfg::ILOWHI != 0) return wrpnl_hi(IERR);
    const float L = model::ULEN(1);
    int IFIRST = 1, M0 = 1;
    for (int ib = 1; ib <= cfg::NBODY; ++ib) {
        const int first = IFIRST, last = IFIRST + model::NPANB(ib) - 1, m0 = M0;
        IFIRST += model::NPANB(ib);
        M0 += 6 + (cfg::NEWMDS.allocated() ? cfg::NEWMDS(ib) : 0);
        std::string name;
        int st = 0;
        if (!open_pnl(ib, name, st, IERR)) return;
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
        if (!close_pnl(ib, name, st, IERR)) return;
    }
}

}  // namespace zorva
