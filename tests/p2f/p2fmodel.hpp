// A small synthetic model for the POTEN-to-FORCE tests: every table that
// the .p2f file carries, filled with distinct values, and helpers that
// reset the shared modules and take a byte-exact snapshot of the tables.
#pragma once

#include <cmath>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "common/channels.hpp"
#include "geometry/model.hpp"
#include "geometry/modelmore.hpp"
#include "main/config.hpp"
#include "main/fnames.hpp"
#include "main/runparams.hpp"
#include "main/symmetry.hpp"
#include "p2f/forcedata.hpp"
#include "panels/geomdata.hpp"
#include "panels/paneldata.hpp"

#include "tests/support/modules.hpp"

namespace zorva::test {

struct ModelDesc {
    int ilowhi = 0;
    int nbody = 1;
    int neqn = 3;
    int nper = 2;
    std::vector<int> iperfl = {0, 0};
    int nbeta = 2;
    int irad = 1, idiff = 1;
    int isor = 0, isolve = 1;
    int iquad = 0;
    int ntanks = 0;
    int irr = 0;          // IRR of every body
    int idipwmf = 0, idipole = 0;
    int nwlseg = 2;
    int itrimwl = 0;
    int nrgkbody = 0;
    int isx = 0, isy = 0;  // symmetry: (0,0) one component; (1,0) two
};

inline void reset_all() { reset_modules(); }

// The higher-order model of build_model (two bodies, four patches) with
// waterline trimming, at one period.
inline ModelDesc high_trimmed() {
    ModelDesc s;
    s.ilowhi = 1;
    s.nbody = 2;
    s.neqn = 7;
    s.itrimwl = 1;
    s.nper = 1;
    s.iperfl = {0};
    return s;
}

// Distinct, exactly representable values.
struct Filler {
    int k = 0;
    float next() {
        ++k;
        return static_cast<float>(k % 997) * 0.125f - 37.0f + static_cast<float>(k / 997) * 1000.0f;
    }
    int nexti() { return ++k * 7 % 1013 - 100; }
    template <typename T, int R, typename... E>
    void operator()(FArray<T, R>& a, E... ext) {
        a.allocate(static_cast<long>(ext)...);
        for (auto& v : a) {
            if constexpr (std::is_same_v<T, float>) v = next();
            else if constexpr (std::is_same_v<T, int>) v = nexti();
            else v = T(next(), next());
        }
    }
};

inline void build_model(const ModelDesc& s) {
    using namespace model;
    Filler F;
    const int nb = s.nbody, n = s.neqn;
    cfg::NBODY = nb;
    cfg::ILOWHI = s.ilowhi;
    cfg::ISOR = s.isor;
    cfg::ISOLVE = s.isolve;
    cfg::IQUAD = s.iquad;
    cfg::ILOG = 1;
    cfg::IDIAG = 0;
    cfg::ISCATT = 0;
    cfg::NTANKS = s.ntanks;
    cfg::IDIPOLE = s.idipole;
    cfg::ITRIMWL = s.itrimwl;
    cfg::IBODY_WAVEMAKER = 0;
    model::NRGKBODY = s.nrgkbody;
    NRGKLINES = s.nrgkbody > 0 ? 4 : 0;
    NEQN = n;
    NMODT = 6 * nb;
    NWALL = 0;
    ISX = s.isx;
    ISY = s.isy;
    IRAD = s.irad;
    IDIFF = s.idiff;
    NPER = s.nper;
    NBETA = s.nbeta;
    IPERSPC = 0;
    GRAV = 9.80665f;
    HBOT = -1.0f;
    IDIPSYM = s.idipwmf;  // the file calls it IDIPWMF

    // Symmetry: (0,0) one component with all modes; (1,0) two components.
    sym::NIMAGE = s.isx == 1 ? 2 : 1;
    sym::IMAGEID = {0, 1, s.isx == 1 ? 2 : 0, 0, 0};
    sym::NSYMF = s.isx == 1 ? 2 : 1;
    sym::ISYMF = {0, 1, s.isx == 1 ? 2 : 0, 0, 0};
    sym::NSYMC = sym::NSYMF;
    sym::ISYMC = sym::ISYMF;
    sym::NSYMD = s.isx == 1 ? 2 : 4;
    sym::NSYMRHS = s.isx == 1 ? std::array<int, 5>{0, 1, 4, 2, 3} : std::array<int, 5>{0, 1, 2, 3, 4};
    sym::NSOLC = NMODT;
    sym::NMODSC = s.isx == 1 ? std::array<int, 5>{0, 3 * nb, 3 * nb, 0, 0} : std::array<int, 5>{0, NMODT, 0, 0, 0};
    // Mode lists: every mode solved, in reverse order.
    sym::IMODORD.allocate(NMODT);
    sym::IMODSC.allocate(NMODT, 4);
    sym::IMODPOS.allocate(NMODT);
    for (int m = 1; m <= NMODT; ++m) {
        sym::IMODORD(m) = NMODT + 1 - m;
        sym::IMODPOS(NMODT + 1 - m) = m;
        for (int c = 1; c <= 4; ++c) sym::IMODSC(m, c) = (m * 7 + c) % NMODT + 1;
    }

    fnames::GDFNAME.allocate(nb);
    for (int ib = 1; ib <= nb; ++ib) fnames::GDFNAME(ib) = "body" + std::to_string(ib) + ".gdf";
    ULEN.allocate(nb);
    for (int ib = 1; ib <= nb; ++ib) ULEN(ib) = 0.5f + 0.25f * static_cast<float>(ib);
    // Counts and indices within the ranges the reader accepts: symmetry
    // indices -1..1, panels of the bodies within NEQN, six modes a body.
    IS.allocate(2, nb);
    NPANB.allocate(nb);
    pnl::NPANBG.allocate(nb);
    NPATCH.allocate(nb);
    cfg::NEWMDS.allocate(nb);
    IBMOD.allocate(nb);
    for (int ib = 1; ib <= nb; ++ib) {
        IS(1, ib) = ib % 3 - 1;
        IS(2, ib) = (ib + 1) % 3 - 1;
        NPANB(ib) = n / nb;
        pnl::NPANBG(ib) = 10 + ib;
        NPATCH(ib) = ib;
        IBMOD(ib) = 6 * (ib - 1);
    }
    F(cfg::IGENMDS, nb);
    F(cfg::XBODY, 4, nb);
    for (int ib = 1; ib <= nb; ++ib) cfg::XBODY(3, ib) = -0.25f * static_cast<float>(ib);
    F(CSPHIB, 2, nb);
    F(cfg::XTRIM, 3, nb);
    F(TRIMCS, 4, nb);
    IREFLB.allocate(2, nb);
    for (int ib = 1; ib <= nb; ++ib) IREFLB(1, ib) = ib % 2;
    F(pnl::VOLXYZ, 3, nb);
    F(pnl::VOLB, nb);
    F(pnl::XBUOY, 3, nb);
    F(pnl::CHYD, NMODT, NMODT);
    F(PER, s.nper);
    F(WNUMK, s.nper);
    F(WNUMNU, s.nper);
    IPERFL.allocate(s.nper);
    for (int j = 1; j <= s.nper; ++j) IPERFL(j) = s.iperfl[static_cast<std::size_t>(j - 1)];
    F(BETA, s.nbeta);
    F(SINBETA, s.nbeta);
    F(COSBETA, s.nbeta);
    if (s.ntanks > 0) {
        F(cfg::ZTANKFS, s.ntanks);
        cfg::ITANKB.allocate(s.ntanks);
        for (int t = 1; t <= s.ntanks; ++t) cfg::ITANKB(t) = (t - 1) % nb + 1;
        F(cfg::CTANK, 9, s.ntanks);
        F(cfg::VOLTANK, 3, s.ntanks);
    }
    cfg::IRR.allocate(nb);
    cfg::IRR.fill(s.irr);
    if (s.ilowhi == 0) {
        using namespace pnl;
        if (s.ntanks > 0) {
            ITANK.allocate(n);
            for (int i = 1; i <= n; ++i) ITANK(i) = i % (s.ntanks + 1);
        }
        F(PNLARR6, 4, n);
        F(PNLARR5, 4, n);
        F(PCENT, 3, n);
        // Centroids below the free surface.
        for (int i = 1; i <= n; ++i) PCENT(3, i) = -0.125f * static_cast<float>(i);
        F(PAXES, 3, 3, n);
        F(PPROP, 13, n);
        F(PNLARR4, 4, n);
        // Side lengths: the distances of the vertices in the panel's plane.
        for (int i = 1; i <= n; ++i)
            for (int k = 1; k <= 4; ++k) {
                const float dx = PNLARR6(k % 4 + 1, i) - PNLARR6(k, i), dy = PNLARR5(k % 4 + 1, i) - PNLARR5(k, i);
                PNLARR4(k, i) = std::sqrt(dx * dx + dy * dy);
            }
        if (s.iquad == 1) {
            F(XVERG, 4, 3, n);
            F(PNLARR2, 4, n);
            F(PNLARR1, 4, 3, n);
        }
        F(VNMODE, NMODT, n);
        F(PNLARR3, 2, n);
        NWLPANB.allocate(nb);
        NWLPANB.fill(1);
        NWLSEG = s.nwlseg;
        IWLPAN.allocate(s.nwlseg);
        IWLSIDE.allocate(s.nwlseg);
        for (int j = 1; j <= s.nwlseg; ++j) {
            IWLPAN(j) = n + 1 - j;
            IWLSIDE(j) = j % 4 + 1;
        }
        if (s.irr >= 1) {
            IPFLAG.allocate(n);
            for (int i = 1; i <= n; ++i) IPFLAG(i) = i % 3 - 1;
        }
        if (s.idipwmf == 1) {
            IDIPWM.allocate(n);
            for (int i = 1; i <= n; ++i) IDIPWM(i) = i % 7 - 3;
        }
        if (s.idipole >= 1) {
            NPAND.allocate(nb);
            NPAND.fill(1);
        }
    } else {
        // Body 1 of kind 1 with two patches, body 2 of kind 2 with one;
        // one interior free-surface patch.
        NPATCHT = 4;
        NPATCHBD = 3;
        NCOEFT = 14;
        MAXKNOT = 6;
        MAXKUG = 3;
        MAXKVG = 2;
        MAXKNU = 7;
        MAXKNV = 5;
        MAXKU = 3;
        MAXKV = 2;
        MAXQU = 2;
        MAXQV = 3;
        MAXNU = 2;
        MAXNV = 1;
        NQP = 5;
        IGDEF.allocate(nb);
        IGDEF.fill(2);
        IGDEF(1) = 1;
        NPATCH(1) = 2;
        F(NGXLINE, nb);
        NGXLINE.fill(0);
        const int np = NPATCHT;
        if (s.ntanks > 0) {
            ITANK.allocate(np);
            for (int j = 1; j <= np; ++j) ITANK(j) = j % (s.ntanks + 1);
        }
        // Patches 1 and 2 of body 1, patch 3 of body 2, patch 4 on the
        // free surface of body 1; patch 1 holds all unknowns but one for
        // each of the others (NEQN >= 4).
        for (auto* a : {&KU, &KV, &NU, &NV, &NBU, &NBV, &IQUI, &IQVI, &IBPTH, &ITRIM, &IWTL, &IFSPAT, &IPRL, &IPREF})
            a->allocate(np);
        for (int j = 1; j <= np; ++j) {
            KU(j) = KV(j) = NU(j) = NV(j) = 1;
            IQUI(j) = j % 2 + 1;
            IQVI(j) = j % 3 + 1;
            IBPTH(j) = j == 3 ? 2 : 1;
            IPRL(j) = j == 2 ? 2 : 1;
            ITRIM(j) = j % 4 - 1;
            IWTL(j) = j + 10;
            IFSPAT(j) = j % 3 - 1;
            IPREF(j) = 5 - j;
        }
        KU(1) = std::min(3, n - 3);
        NU(1) = n - 3 - KU(1) + 1;
        MAXNU = std::max(MAXNU, NU(1));
        NQP = 0;
        for (int j = 1; j <= np; ++j) {
            NBU(j) = NU(j) + KU(j) - 1;
            NBV(j) = NV(j) + KV(j) - 1;
            NQP += NU(j) * NV(j) * IQUI(j) * IQVI(j);
        }
        for (auto* a : {&IPSTART, &IPATOFF, &NPATCHB}) a->allocate(nb);
        for (int ib = 1; ib <= nb; ++ib) {
            IPSTART(ib) = ib == 1 ? 1 : 3;
            NPATCHB(ib) = ib == 1 ? 2 : ib == 2 ? 1 : 0;
            IPSTART(ib) = std::min(IPSTART(ib), np);
        }
        if (s.itrimwl > 0) {
            // Patch 2 a fan from a wet corner (negative edge code); body 2
            // has more patches in its file than the trimmed run keeps.
            ITRMIDX.allocate(np);
            for (int j = 1; j <= np; ++j) ITRMIDX(j) = j == 2 ? -4 : j % 5;
            NPATCH(2) = NPATCHT + 2;
            F(TRMRNG1, 4, np);
            F(TRMRNG2, 4, np);
            for (auto* a : {&TRMMAP1, &TRMMAP2, &TRMMAP3, &TRMMAP4}) F(*a, 2, np);
        }
        NPANT = 3;
        F(XVER, 4, 3, NPANT);
        // Geometry B-spline tables: one entry per patch of the kind-1
        // geometry files (body 1's two patches).
        const int ng = NPATCH(1);
        for (auto* a : {&KUG, &KVG, &IUGOFF, &IVGOFF, &NUG, &NVG}) F(*a, ng);
        KUG(1) = 3; NUG(1) = 3; KVG(1) = 2; NVG(1) = 2;
        KUG(2) = 2; NUG(2) = 2; KVG(2) = 2; NVG(2) = 4;
        for (int j = 1; j <= ng; ++j) IUGOFF(j) = NUG(j) - KUG(j) + 1, IVGOFF(j) = NVG(j) - KVG(j) + 1;
        F(UKNOTG, MAXKNOT, ng);
        F(VKNOTG, MAXKNOT, ng);
        F(GEOPAR1, 2, ng);
        F(GEOPAR2, 2, ng);
        F(XCOEFG, 3, NCOEFT);
        F(XQP, 3, NQP);
        for (int q = 1; q <= NQP; ++q) XQP(3, q) = -0.5f - 0.125f * static_cast<float>(q);
        F(ENQP, 3, NQP);
        F(WQP, NQP);
        F(VNQP, NMODT, NQP);
        F(HOTAB1, MAXKNU, np);
        F(HOTAB2, MAXKNV, np);
        F(HOTAB3, MAXQU, np);
        F(HOTAB4, MAXQU, np);
        F(HOTAB5, MAXQV, np);
        F(HOTAB6, MAXQV, np);
        F(HOTAB7, MAXKU * MAXKU, MAXNU, np);
        F(HOTAB8, MAXKV * MAXKV, MAXNV, np);
        // Unit normals, positive weights, ascending knots and Gauss rules
        // on [-1, 1].
        for (int q = 1; q <= NQP; ++q) {
            ENQP(1, q) = 0.6f;
            ENQP(2, q) = -0.125f * static_cast<float>(q % 5);
            ENQP(3, q) = -0.8f;
            WQP(q) = 0.25f * static_cast<float>(q);
        }
        for (int j = 1; j <= np; ++j) {
            for (int k = 1; k <= MAXKNU; ++k) HOTAB1(k, j) = 0.25f * static_cast<float>(k + j) - 1.0f;
            for (int k = 1; k <= MAXKNV; ++k) HOTAB2(k, j) = 0.5f * static_cast<float>(k) - 1.5f;
            for (int k = 1; k <= MAXQU; ++k) HOTAB3(k, j) = 0.5f * static_cast<float>(k) - 1.0f, HOTAB4(k, j) = 0.75f;
            for (int k = 1; k <= MAXQV; ++k) HOTAB5(k, j) = 0.25f * static_cast<float>(k) - 0.5f, HOTAB6(k, j) = 0.5f;
        }
        if (s.idipwmf == 1) {
            IDIPWM.allocate(np);
            for (int j = 1; j <= np; ++j) IDIPWM(j) = j % 7 - 3;
        }
        // The file carries the knots of each geometry patch up to its own
        // count and the trimming tables of the body patches only.
        for (int j = 1; j <= ng; ++j)
            for (int k = 1; k <= MAXKNOT; ++k) {
                if (k > NUG(j) + KUG(j)) UKNOTG(k, j) = 0.0f;
                if (k > NVG(j) + KVG(j)) VKNOTG(k, j) = 0.0f;
            }
        for (int j = 1; j <= np; ++j) {
            if (s.itrimwl > 0 && j > NPATCHBD) {
                ITRMIDX(j) = 0;
                for (int k = 1; k <= 4; ++k) TRMRNG1(k, j) = TRMRNG2(k, j) = 0.0f;
                for (auto* a : {&TRMMAP1, &TRMMAP2, &TRMMAP3, &TRMMAP4}) (*a)(1, j) = (*a)(2, j) = 0.0f;
            }
        }
    }
}

// Byte-exact picture of the carried tables (extents and contents).
using Snapshot = std::map<std::string, std::vector<char>>;

template <typename T, int R>
void snap_arr(Snapshot& s, const std::string& name, const FArray<T, R>& a) {
    std::vector<char> b;
    for (int d = 1; d <= R; ++d) {
        long e = a.extent(d);
        b.insert(b.end(), reinterpret_cast<char*>(&e), reinterpret_cast<char*>(&e) + sizeof e);
    }
    if (a.size() > 0)
        b.insert(b.end(), reinterpret_cast<const char*>(a.data()), reinterpret_cast<const char*>(a.data() + a.size()));
    s[name] = b;
}
inline void snap_int(Snapshot& s, const std::string& name, int v) {
    s[name] = std::vector<char>(reinterpret_cast<char*>(&v), reinterpret_cast<char*>(&v) + sizeof v);
}

inline Snapshot snapshot(const ModelDesc& sp) {
    using namespace model;
    Snapshot s;
#define SA(a) snap_arr(s, #a, a)
#define SI(v) snap_int(s, #v, v)
    SI(NEQN); SI(cfg::NBODY); SI(sym::NSOLC); SI(NMODT); SI(cfg::IBODY_WAVEMAKER); SI(NWALL); SI(cfg::ITRIMWL);
    SI(ISX); SI(ISY); SI(IRAD); SI(IDIFF); SI(NPER); SI(NBETA); SI(IPERSPC);
    SI(sym::NIMAGE); SI(sym::NSYMF); SI(sym::NSYMC); SI(sym::NSYMD);
    for (int k = 1; k <= 4; ++k) {
        auto u = static_cast<std::size_t>(k);
        snap_int(s, "IMAGEID" + std::to_string(k), sym::IMAGEID[u]);
        snap_int(s, "ISYMF" + std::to_string(k), sym::ISYMF[u]);
        snap_int(s, "ISYMC" + std::to_string(k), sym::ISYMC[u]);
        snap_int(s, "NSYMRHS" + std::to_string(k), sym::NSYMRHS[u]);
        snap_int(s, "NMODSC" + std::to_string(k), sym::NMODSC[u]);
    }
    SI(cfg::ISOR); SI(cfg::IQUAD); SI(cfg::ILOG); SI(cfg::IDIAG); SI(cfg::ISOLVE); SI(cfg::ISCATT); SI(cfg::ILOWHI);
    SI(cfg::NTANKS); SI(model::NRGKBODY); SI(cfg::IDIPOLE); SI(IDIPSYM);
    s["GRAV"] = std::vector<char>(reinterpret_cast<char*>(&GRAV), reinterpret_cast<char*>(&GRAV) + 4);
    s["HBOT"] = std::vector<char>(reinterpret_cast<char*>(&HBOT), reinterpret_cast<char*>(&HBOT) + 4);
    std::string names;
    for (int ib = 1; ib <= cfg::NBODY; ++ib) names += fnames::GDFNAME(ib) + "|";
    s["GDFNAME"] = std::vector<char>(names.begin(), names.end());
    SA(ULEN); SA(IS); SA(cfg::NEWMDS); SA(IBMOD); SA(cfg::IGENMDS); SA(cfg::XBODY); SA(CSPHIB); SA(IREFLB);
    SA(pnl::VOLXYZ); SA(pnl::VOLB); SA(pnl::XBUOY); SA(pnl::CHYD);
    SA(PER); SA(WNUMK); SA(WNUMNU); SA(IPERFL); SA(BETA); SA(SINBETA); SA(COSBETA);
    SA(sym::IMODORD); SA(sym::IMODSC); SA(sym::IMODPOS);
    if (sp.ntanks > 0) {
        SA(cfg::ZTANKFS); SA(cfg::ITANKB); SA(cfg::CTANK); SA(cfg::VOLTANK); SA(ITANK);
    }
    if (sp.ilowhi == 0) {
        using namespace pnl;
        SA(NPANB); SA(NPANBG); SA(NPATCH);
        SA(PNLARR6); SA(PNLARR5); SA(PCENT); SA(PAXES); SA(PPROP); SA(PNLARR4); SA(VNMODE); SA(PNLARR3);
        if (sp.iquad == 1) {
            SA(XVERG); SA(PNLARR2); SA(PNLARR1);
        }
        SA(NWLPANB); SI(NWLSEG); SA(IWLPAN); SA(IWLSIDE); SA(cfg::IRR);
        if (sp.irr >= 1) SA(IPFLAG);
        if (sp.idipwmf == 1) SA(IDIPWM);
        if (sp.idipole >= 1) SA(NPAND);
    } else {
        SA(NPATCH); SA(IGDEF); SA(NGXLINE);
        SI(NPATCHT); SI(NPATCHBD); SI(NCOEFT); SI(MAXKNOT); SI(MAXKUG); SI(MAXKVG); SI(MAXKNU); SI(MAXKNV);
        SI(MAXKU); SI(MAXKV); SI(MAXQU); SI(MAXQV); SI(MAXNU); SI(MAXNV); SI(NQP); SI(NPANT);
        for (auto* a : {&KU, &KV, &NU, &NV, &NBU, &NBV, &IQUI, &IQVI, &IBPTH, &ITRIM, &IWTL, &IFSPAT, &IPRL, &IPREF,
                        &IPSTART, &IPATOFF, &NPATCHB, &KUG, &KVG, &IUGOFF, &IVGOFF, &NUG, &NVG})
            snap_arr(s, "I" + std::to_string(reinterpret_cast<std::uintptr_t>(a)), *a);
        if (sp.itrimwl > 0) {
            SA(cfg::XTRIM); SA(TRIMCS); SA(ITRMIDX); SA(TRMRNG1); SA(TRMRNG2);
            SA(TRMMAP1); SA(TRMMAP2); SA(TRMMAP3); SA(TRMMAP4);
        }
        SA(XVER); SA(UKNOTG); SA(VKNOTG); SA(GEOPAR1); SA(GEOPAR2); SA(XCOEFG);
        SA(XQP); SA(ENQP); SA(WQP); SA(VNQP);
        SA(HOTAB1); SA(HOTAB2); SA(HOTAB3); SA(HOTAB4); SA(HOTAB5); SA(HOTAB6); SA(HOTAB7); SA(HOTAB8);
        if (sp.idipwmf == 1) SA(IDIPWM);
    }
#undef SA
#undef SI
    return s;
}

}  // namespace zorva::test
