// Report section and "optn.5vx", "optn.5vy", "optn.5vz" records of the
// fluid velocity on the bodies: the frame of the pressure section, with
// three components per point, each into its own numeric file.
#include <algorithm>
#include <memory>
#include <vector>

#include "common/fmtwrite.hpp"
#include "force/bodyprs.hpp"
#include "force/force.hpp"
#include "force/writer.hpp"
#include "geometry/model.hpp"
#include "main/config.hpp"
#include "main/symmetry.hpp"
#include "p2f/forcedata.hpp"

namespace zorva {

void OUTBVEL(float PER, int IUOUT, int NOOUT, const int* IUNUM, const std::string* NAMES, int& IERR) {
    using namespace frc;
    using fout::nint;
    // The report goes with the x file; the y and z files take records only.
    int e[3] = {0, 0, 0};
    fout::Writer wx(IUOUT, NOOUT, IUNUM[0], NAMES[0], e[0]);
    fout::Writer wy(IUOUT, 0, IUNUM[1], NAMES[1], e[1]);
    fout::Writer wz(IUOUT, 0, IUNUM[2], NAMES[2], e[2]);
    fout::Writer* wc[3] = {&wx, &wy, &wz};
    auto finish = [&] {
        for (auto* w : wc) w->done();
        if (e[0] || e[1] || e[2]) IERR = 1;
    };
    if (!wx.ok() || !wy.ok() || !wz.ok()) return finish();
    auto ok = [&] { return wx.ok() && wy.ok() && wz.ok(); };
    // The blank line after a heading goes to the report only.
    auto e1_report = [&] {
        if (NOOUT == 1 && fmt::write(IUOUT, "(1X,/)", {}) != 0) IERR = 1;
    };
    const int ns = sym::NSOLC, nsymf = sym::NSYMF, irad = model::IRAD, idiff = model::IDIFF;
    const int nb = NBETAF, inum = cfg::INUMOPT5;
    std::vector<cplx> v;
    const char* F1 = "(E14.6,I3,I10,1P,12E14.6)";
    const char* F2 = "(23X,1P,12E14.6)";
    const char* F3 = "(2E14.6,I3,I10,1P,4E14.6)";
    auto radiation = [&](int k, int i, auto&& val) {
        for (int c = 1; c <= 3; ++c) {
            v.clear();
            for (int m = 1; m <= std::min(ns, 6); ++m) v.push_back(val(c, MODCOL(m)));
            wc[c - 1]->num(F1, {PER, k, i, std::span<const cplx>(v)});
        }
        if (ns > 6)
            for (int c = 1; c <= 3; ++c) {
                v.clear();
                for (int m = 7; m <= ns; ++m) v.push_back(val(c, MODCOL(m)));
                wc[c - 1]->num(F2, {std::span<const cplx>(v)});
            }
    };
    // Modulus and integer phase of the three totals, and their records.
    struct MP {
        float m[3];
        int p[3];
    };
    auto numeric = [&](float beta, int k, int i, auto&& tot, auto&& dif) {
        MP r{};
        for (int c = 1; c <= 3; ++c) {
            float pha, xr, xi;
            MODPHA(tot(c), r.m[c - 1], pha, xr, xi, r.p[c - 1]);
            if (inum == 0)
                wc[c - 1]->num(F3, {PER, idiff == -1 ? 0.0f : beta, k, i, r.m[c - 1], pha, xr, xi});
            else if (idiff >= 0)
                wc[c - 1]->num(F3, {PER, beta, k, i, dif(c)});
        }
        return r;
    };
    if (cfg::IPNLBPT == 0) {
        const int n = NPBOUT;
        if (irad != -1 && inum != 0)
            for (int k = 1; k <= nsymf; ++k)
                for (int i = 1; i <= n; ++i)
                    if (!bpo::skipped(i)) radiation(k, i, [&](int c, int q) { return VRADP(i, c, q + (k - 1) * ns); });
        wx.rep("(/,/,' VELOCITY VECTOR AT CENTROIDS OF INPUT PANELS',/)", {});
        for (int ih = 1; ih <= nb && ok(); ++ih) {
            const float beta = model::BETA(ih);
            if (idiff != -1) wx.rep("(1X,' Wave Heading (deg) :  ',I5,/)", {nint(beta)});
            for (int k = 1; k <= nsymf; ++k) {
                if (nsymf == 4) wx.rep("(/,1X,'  Velocity vector in quadrant No. ',I1)", {k});
                if (nsymf == 2) wx.rep("(/,1X,'  Velocity vector in half No. ',I1)", {k});
                wx.rep("(/,1X,/,'       I     x         y         z    ',' Mod[Vx(I)] Pha Mod[Vy(I)] Pha Mod[Vz(I)] Pha',/)",
                       {});
                const int L = ih + (k - 1) * nb;
                for (int i = 1; i <= n; ++i) {
                    if (bpo::skipped(i)) continue;
                    float x, y, z;
                    bpo::coords(i, k, x, y, z);
                    const MP r = numeric(beta, k, i, [&](int c) { return VTOTP(i, c, L); },
                                         [&](int c) { return VDIFP(i, c, L); });
                    wx.rep("(I10,3E10.2,3(E10.3,I5))", {i, x, y, z, r.m[0], r.p[0], r.m[1], r.p[1], r.m[2], r.p[2]});
                }
            }
            e1_report();
        }
    } else {
        wx.rep("(/,/,' VELOCITY VECTOR AT BODY SURFACE POINTS',/)", {});
        if (irad != -1 && inum != 0) {
            int j = 0;
            for (int ib = 1; ib <= cfg::NBODY; ++ib)
                for (int i = 1; i <= NBPT(ib); ++i) {
                    ++j;
                    radiation(ib, i, [&](int c, int q) { return VRADB(j, c, q); });
                }
        }
        for (int ih = 1; ih <= nb && ok(); ++ih) {
            const float beta = model::BETA(ih);
            if (idiff != -1) wx.rep("(1X,' Wave Heading (deg) :  ',I5,/)", {nint(beta)});
            int j = 0;
            for (int ib = 1; ib <= cfg::NBODY; ++ib) {
                wx.rep("(/,1X,'  Velocity vector on body No. ',I1)", {ib});
                wx.rep("(/,1X,/,'      I   ',' Mod[Vx(I)] Pha Mod[Vy(I)] Pha Mod[Vz(I)] Pha',/)", {});
                for (int i = 1; i <= NBPT(ib); ++i) {
                    ++j;
                    const MP r = numeric(beta, ib, i, [&](int c) { return VTOTB(j, c, ih); },
                                         [&](int c) { return VDIFB(j, c, ih); });
                    wx.rep("(I10,2X,3(E10.3,I5))", {i, r.m[0], r.p[0], r.m[1], r.p[1], r.m[2], r.p[2]});
                }
            }
            e1_report();
        }
    }
    wx.rep("(1X,/)", {});
    finish();
}

}  // namespace zorva
