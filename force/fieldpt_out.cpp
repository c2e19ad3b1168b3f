// Report sections and numeric records of the pressure and the velocity at
// the field points.
#include <algorithm>
#include <vector>

#include "common/fmtwrite.hpp"
#include "force/fieldpt.hpp"
#include "force/force.hpp"
#include "force/writer.hpp"
#include "geometry/model.hpp"
#include "main/config.hpp"
#include "main/symmetry.hpp"
#include "p2f/forcedata.hpp"

namespace zorva {

namespace {
int noout(int k) { return cfg::NOOUT.allocated() ? cfg::NOOUT(k) : 1; }
}  // namespace

void OUTFPRS(float PER, int IUOUT, int IUNUM, std::string_view NAME, int& IERR) {
    using namespace frc;
    using fout::nint;
    fout::Writer w(IUOUT, noout(6), IUNUM, NAME, IERR);
    if (!w.ok()) return;
    const int ns = sym::NSOLC, idiff = model::IDIFF, inum = cfg::INUMOPT6;
    std::vector<cplx> v;
    if (model::IRAD != -1 && inum != 0)
        for (int n = 1; n <= NFIELD; ++n) {
            v.clear();
            for (int a = 1; a <= std::min(ns, 6); ++a) v.push_back(PRADF(n, MODCOL(a)));
            w.num("(E14.6,I10,1P,12E14.6)", {PER, n, std::span<const cplx>(v)});
            if (ns > 6) {
                v.clear();
                for (int a = 7; a <= ns; ++a) v.push_back(PRADF(n, MODCOL(a)));
                w.num("(20X,1P,12E14.6)", {std::span<const cplx>(v)});
            }
        }
    w.rep("(/,/,' HYDRODYNAMIC PRESSURE IN FLUID DOMAIN',/)", {});
    const char* TITLES = "(1X,'      x           y           z     ','    Mod[Pf(x,y,z)]  Pha[Pf(x,y,z)]',/)";
    const char* LINE = "(1P,3E12.2,2X,E17.5,0P,I16)";
    float amod, pha, xr, xi;
    int ipha;
    if (NMODWM == 0) {
        for (int i = 1; i <= NBETAF && w.ok(); ++i) {
            float h = 0.0f;
            if (idiff != -1) {
                h = model::BETA(i);
                w.rep("(1X,' Wave Heading (deg) :  ',I5,/)", {nint(h)});
            }
            w.rep(TITLES, {});
            for (int n = 1; n <= NFIELD; ++n) {
                MODPHA(PTOTF(n, i), amod, pha, xr, xi, ipha);
                w.rep(LINE, {XFIELD(1, n), XFIELD(2, n), XFIELD(3, n), amod, ipha});
                if (inum == 0)
                    w.num("(2E14.6,I10,1P,4E14.6)", {PER, h, n, amod, pha, xr, xi});
                else if (idiff >= 0)
                    w.num("(2E14.6,I10,1P,4E14.6)", {PER, h, n, PDIFF(n, i)});
            }
            w.rep("(1X,/)", {});
        }
    } else {
        w.rep(TITLES, {});
        for (int n = 1; n <= NFIELD; ++n) {
            MODPHA(PTOTF(n, 1), amod, pha, xr, xi, ipha);
            w.rep(LINE, {XFIELD(1, n), XFIELD(2, n), XFIELD(3, n), amod, ipha});
            if (inum == 0) w.num("(E14.6,I6,1P,4E14.6)", {PER, n, amod, pha, xr, xi});
        }
        w.rep("(1X,/)", {});
    }
    w.done();
}

void OUTFVEL(float PER, int IUOUT, const int* IUNUM, const std::string* NAMES, int& IERR) {
    using namespace frc;
    using fout::nint;
    int e[3] = {0, 0, 0};
    fout::Writer wx(IUOUT, noout(7), IUNUM[0], NAMES[0], e[0]);
    fout::Writer wy(IUOUT, 0, IUNUM[1], NAMES[1], e[1]);
    fout::Writer wz(IUOUT, 0, IUNUM[2], NAMES[2], e[2]);
    fout::Writer* wc[3] = {&wx, &wy, &wz};
    auto ok = [&] { return wx.ok() && wy.ok() && wz.ok(); };
    if (ok()) {
        const int ns = sym::NSOLC, idiff = model::IDIFF, inum = cfg::INUMOPT7;
        std::vector<cplx> v;
        wx.rep("(/,/,' VELOCITY VECTOR IN FLUID DOMAIN',/)", {});
        if (model::IRAD != -1 && inum != 0)
            for (int n = 1; n <= NFIELD; ++n) {
                for (int c = 1; c <= 3; ++c) {
                    v.clear();
                    for (int a = 1; a <= std::min(ns, 6); ++a) v.push_back(VRADF(c, n, MODCOL(a)));
                    wc[c - 1]->num("(E14.6,I10,1P,12E14.6)", {PER, n, std::span<const cplx>(v)});
                }
                if (ns > 6)
                    for (int c = 1; c <= 3; ++c) {
                        v.clear();
                        for (int a = 7; a <= ns; ++a) v.push_back(VRADF(c, n, MODCOL(a)));
                        wc[c - 1]->num("(20X,1P,12E14.6)", {std::span<const cplx>(v)});
                    }
            }
        for (int i = 1; i <= NBETAF && ok(); ++i) {
            const float h = model::BETA(i);
            if (idiff != -1) wx.rep("(1X,' Wave Heading (deg) :  ',I5,/)", {nint(h)});
            wx.rep("('     x         y         z    ',1X,'    Mod(Vx)  Pha    Mod(Vy)  Pha    Mod(Vz)  Pha',/)", {});
            for (int n = 1; n <= NFIELD; ++n) {
                float m[3], pha, xr, xi;
                int ip[3];
                for (int c = 1; c <= 3; ++c) {
                    MODPHA(VTOTF(c, n, i), m[c - 1], pha, xr, xi, ip[c - 1]);
                    if (inum == 0)
                        wc[c - 1]->num("(2E14.6,I10,1P,4E14.6)", {PER, h, n, m[c - 1], pha, xr, xi});
                    else if (idiff >= 0)
                        wc[c - 1]->num("(2E14.6,I10,1P,4E14.6)", {PER, h, n, VDIFF(c, n, i)});
                }
                wx.rep("(1P,3E10.2,1X,3(E11.3,I5))",
                       {XFIELD(1, n), XFIELD(2, n), XFIELD(3, n), m[0], ip[0], m[1], ip[1], m[2], ip[2]});
            }
            wx.rep("(1X,/)", {});
        }
    }
    for (auto* w : wc) w->done();
    if (e[0] || e[1] || e[2]) IERR = 1;
}

}  // namespace zorva
