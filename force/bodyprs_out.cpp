// Report section and "optn.5p" records of the body pressure, at the panel
// centroids (per symmetric copy) or at the body points of the .bpi files
// (per body).
#include <algorithm>
#include <vector>

#include "force/bodyprs.hpp"
#include "force/bodypts.hpp"
#include "force/force.hpp"
#include "force/writer.hpp"
#include "geometry/model.hpp"
#include "main/config.hpp"
#include "main/symmetry.hpp"
#include "p2f/forcedata.hpp"
#include "panels/paneldata.hpp"

namespace zorva {

namespace bpo {
// Printed coordinates of panel I in copy K: dimensional, mirrored into the
// copy's image.
void coords(int I, int K, float& x, float& y, float& z) {
    const int g = sym::ISYMF[static_cast<std::size_t>(K)];
    const float L = model::ULEN(1);
    const bool hi = cfg::ILOWHI != 0;
    x = (g == 2 || g == 3 ? -1.0f : 1.0f) * (hi ? frc::XPCT(1, I) : pnl::PCENT(1, I)) * L;
    y = (g == 3 || g == 4 ? -1.0f : 1.0f) * (hi ? frc::XPCT(2, I) : pnl::PCENT(2, I)) * L;
    z = (hi ? frc::XPCT(3, I) : pnl::PCENT(3, I)) * L;
}
bool skipped(int I) { return cfg::ILOWHI == 0 && pnl::IPFLAG.allocated() && pnl::IPFLAG(I) == -1; }
// Radiation values of one point in output order: the first six columns,
// then the rest.
void radrec(std::vector<cplx>& v, int n1, int n2, auto&& val) {
    v.clear();
    for (int m = n1; m <= n2; ++m) v.push_back(val(frc::MODCOL(m)));
}
}  // namespace bpo

void OUTBPRS(float PER, int IUOUT, int NOOUT, int IUNUM, std::string_view NAME, int& IERR) {
    using namespace frc;
    using fout::nint;
    fout::Writer w(IUOUT, NOOUT, IUNUM, NAME, IERR);
    if (!w.ok()) return;
    const int ns = sym::NSOLC, nsymf = sym::NSYMF, irad = model::IRAD, idiff = model::IDIFF;
    const int inum = cfg::INUMOPT5;
    std::vector<cplx> v;
    const char* F1 = "(E14.6,I3,I10,1P,12E14.6)";
    const char* F2 = "(23X,1P,12E14.6)";
    const char* F3 = "(2E14.6,I3,I10,1P,4E14.6)";
    auto radiation = [&](int k, int i, auto&& val) {
        bpo::radrec(v, 1, std::min(ns, 6), val);
        w.num(F1, {PER, k, i, std::span<const cplx>(v)});
        if (ns > 6) {
            bpo::radrec(v, 7, ns, val);
            w.num(F2, {std::span<const cplx>(v)});
        }
    };
    auto numeric = [&](float beta, int k, int i, cplx tot, cplx dif) {
        float amod, pha, xr, xi;
        int ipha;
        MODPHA(tot, amod, pha, xr, xi, ipha);
        if (inum == 0)
            w.num(F3, {PER, idiff == -1 ? 0.0f : beta, k, i, amod, pha, xr, xi});
        else if (idiff >= 0)
            w.num(F3, {PER, beta, k, i, dif});
        return std::pair{amod, ipha};
    };
    if (cfg::IPNLBPT == 0) {
        const int n = NPBOUT;
        if (irad != -1 && inum != 0)
            for (int k = 1; k <= nsymf; ++k)
                for (int i = 1; i <= n; ++i)
                    if (!bpo::skipped(i)) radiation(k, i, [&](int q) { return PRADP(i, q, k); });
        w.rep("(/,/,' HYDRODYNAMIC PRESSURE AT CENTROIDS OF INPUT PANELS',/)", {});
        for (int ih = 1; ih <= NBETAF && w.ok(); ++ih) {
            const float beta = model::BETA(ih);
            if (idiff != -1) w.rep("(1X,' Wave Heading (deg) :  ',I5,/)", {nint(beta)});
            for (int k = 1; k <= nsymf; ++k) {
                if (nsymf == 4) w.rep("(/,1X,'  Hydrodynamic pressure in quadrant No. ',I1)", {k});
                if (nsymf == 2) w.rep("(/,1X,'  Hydrodynamic pressure in half     No. ',I1)", {k});
                w.rep("(/,1X,/,1X,'      I       x           y           z     ','       Mod[Pb(I)]   Pha[Pb(I)] ',/)",
                      {});
                for (int i = 1; i <= n; ++i) {
                    if (bpo::skipped(i)) continue;
                    float x, y, z;
                    bpo::coords(i, k, x, y, z);
                    const auto [amod, ipha] = numeric(beta, k, i, PTOTP(i, ih, k), PDIFP(i, ih, k));
                    w.rep("(I10,1P,3E12.2,5X,E13.5,I13)", {i, x, y, z, amod, ipha});
                }
            }
            w.rep("(1X,/)", {});
        }
    } else {
        w.rep("(/,/,' HYDRODYNAMIC PRESSURE AT BODY SURFACE POINTS',/)", {});
        if (irad != -1 && inum != 0) {
            int j = 0;
            for (int ib = 1; ib <= cfg::NBODY; ++ib)
                for (int i = 1; i <= NBPT(ib); ++i) {
                    ++j;
                    radiation(ib, i, [&](int q) { return PRADB(j, q); });
                }
        }
        for (int ih = 1; ih <= NBETAF && w.ok(); ++ih) {
            const float beta = model::BETA(ih);
            if (idiff != -1) w.rep("(1X,' Wave Heading (deg) :  ',I5,/)", {nint(beta)});
            int j = 0;
            for (int ib = 1; ib <= cfg::NBODY; ++ib) {
                w.rep("(/,1X,'  Hydrodynamic pressure on body No. ',I1)", {ib});
                w.rep("(/,1X,/,1X,'      I        Mod[Pb(I)]      Pha[Pb(I)] ',/)", {});
                for (int i = 1; i <= NBPT(ib); ++i) {
                    ++j;
                    const auto [amod, ipha] = numeric(beta, ib, i, PTOTB(j, ih), PDIFB(j, ih));
                    w.rep("(I10,1P,5X,E13.5,I13)", {i, amod, ipha});
                }
            }
            w.rep("(1X,/)", {});
        }
    }
    w.done();
}

}  // namespace zorva
