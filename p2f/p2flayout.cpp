#include "p2f/p2flayout.hpp"

#include <algorithm>

#include "geometry/model.hpp"
#include "geometry/modelmore.hpp"
#include "main/config.hpp"
#include "main/fnames.hpp"
#include "main/runparams.hpp"
#include "main/symmetry.hpp"
#include "panels/geomdata.hpp"
#include "panels/paneldata.hpp"

namespace zorva::p2f {

using namespace model;
using cfg::NBODY;
using pnl::CHYD;
using pnl::PCENT;

bool Pass::begin(std::string_view id) {
    if (bad_) return false;
    id_ = id;
    if (writing()) {
        w_.clear();
    } else if (r_.read(unit_) != 0) {
        fail();
    }
    return !bad_;
}

bool Pass::end() {
    if (bad_) return false;
    std::size_t len = writing() ? w_.bytes().size() : r_.size();
    if (writing()) {
        if (w_.write(unit_) != 0) fail();
    } else if (r_.remaining() != 0) {
        fail();
    }
    if (!bad_ && lengths) lengths->emplace_back(id_, len);
    return !bad_;
}

void Pass::text(std::string& s, int len) {
    if (bad_) return;
    if (writing()) {
        w_.put_text(s, static_cast<std::size_t>(len));
    } else {
        std::string t;
        if (!r_.get_text(t, static_cast<std::size_t>(len))) return fail();
        s = t;
    }
}

void Pass::texts(Arr1<std::string>& a, long n, int len) {
    if (bad_) return;
    if (n < 0 || n > MAXCOUNT) return fail();
    if (reading()) {
        if (static_cast<std::size_t>(n) > r_.remaining() / static_cast<std::size_t>(len)) return fail();
        if (!fits(a, {n}) && !a.resize_keep(n)) return fail();
    } else if (n > 0 && !fits(a, {n})) {
        return fail();
    }
    for (long k = 1; k <= n; ++k) text(a(k), len);
}

void lay_version(Pass& p, float& ver) {
    float spare = 0.0f;
    int ispare = 0;
    if (!p.begin("1")) return;
    p.f(ver);
    p.f(spare);
    p.i(ispare);
    p.end();
}

void lay_header(Pass& p) {
    using namespace cfg;
    using namespace sym;
    auto u = [](int k) { return static_cast<std::size_t>(k); };
    if (p.begin("2")) {
        for (int* v : {&NEQN, &cfg::NBODY, &NSOLC, &NMODT, &IBODY_WAVEMAKER, &NWALL, &ITRIMWL}) p.i(*v);
        p.end();
    }
    if (p.begin("3")) {
        for (int* v : {&model::ISX, &model::ISY, &IRAD, &IDIFF, &NPER, &NBETA, &IPERSPC}) p.i(*v);
        p.end();
    }
    if (p.begin("4")) {
        p.i(NIMAGE);
        for (int k = 1; k <= 4; ++k) p.i(IMAGEID[u(k)]);
        for (int k = 1; k <= 4; ++k) p.i(ISYMF[u(k)]);
        p.i(NSYMF);
        p.i(NSYMC);
        for (int k = 1; k <= 4; ++k) p.i(ISYMC[u(k)]);
        p.end();
    }
    if (p.begin("5")) {
        p.i(NSYMD);
        for (int k = 1; k <= 4; ++k) p.i(NSYMRHS[u(k)]);
        for (int k = 1; k <= 4; ++k) p.i(NMODSC[u(k)]);
        p.end();
    }
    if (p.begin("6")) {
        for (int* v : {&ISOR, &IQUAD, &ILOG, &IDIAG, &ISOLVE, &ISCATT, &ILOWHI, &NTANKS}) p.i(*v);
        p.end();
    }
    if (p.begin("7")) {
        p.f(GRAV);
        p.f(HBOT);
        p.end();
    }
    if (!p.ok() || ILOWHI != 1) return;
    if (p.begin("8")) {
        p.i(NPATCHT);
        p.i(NPATCHBD);
        p.end();
    }
    if (p.begin("9")) {
        p.i(NCOEFT);
        p.end();
    }
    if (p.begin("10")) {
        for (int* v : {&MAXKNOT, &MAXKUG, &MAXKVG}) p.i(*v);
        p.end();
    }
    if (p.begin("11")) {
        for (int* v : {&MAXKNU, &MAXKNV, &MAXKU, &MAXKV, &MAXQU, &MAXQV, &MAXNU, &MAXNV}) p.i(*v);
        p.end();
    }
    if (p.begin("12")) {
        p.i(NQP);
        p.end();
    }
}

bool header_sane() {
    using namespace cfg;
    using namespace sym;
    auto in = [](int v, int lo, long hi) { return v >= lo && v <= hi; };
    bool ok = in(NEQN, 0, MAXCOUNT) && in(cfg::NBODY, 1, MAXCOUNT) && in(NMODT, 0, MAXCOUNT) &&
              in(NSOLC, 0, NMODT) && in(NPER, 0, MAXCOUNT) && in(NBETA, 0, MAXCOUNT) && in(NTANKS, 0, MAXCOUNT) &&
              in(NSYMC, 0, 4) && in(NSYMF, 0, 4) && in(NSYMD, 0, 4) && in(NIMAGE, 0, 4) && in(ILOWHI, 0, 1) &&
              in(model::ISX, -1, 1) && in(model::ISY, -1, 1) && in(IRAD, -1, 1) && in(IDIFF, -1, 1) &&
              NSYMC * NSYMD <= 4 && GRAV > 0.0f && in(IPERSPC, 0, 1) && in(ISOR, 0, 1) && in(IQUAD, 0, 1) &&
              in(ILOG, 0, 1) && in(IDIAG, 0, 1);
    // The symmetry tables index images, components and wave parts (1..4)
    // and count each component's modes.
    for (std::size_t k = 1; ok && k <= 4; ++k) {
        ok = in(IMAGEID[k], 0, 4) && in(ISYMF[k], 0, 4) && in(ISYMC[k], 0, 4) && in(NMODSC[k], 0, NMODT) &&
             in(NSYMRHS[k], static_cast<int>(k) <= NSYMC * NSYMD ? 1 : 0, 4);
        // Each wave part belongs to one component.
        for (std::size_t j = 1; ok && j < k && static_cast<int>(k) <= NSYMC * NSYMD; ++j)
            ok = NSYMRHS[j] != NSYMRHS[k];
    }
    if (ok && ILOWHI == 1) {
        for (int v : {NPATCHT, NPATCHBD, NCOEFT, MAXKNOT, MAXKUG, MAXKVG, MAXKNU, MAXKNV, MAXKU, MAXKV, MAXQU, MAXQV,
                      MAXNU, MAXNV, NQP})
            ok = ok && in(v, 0, MAXCOUNT);
        ok = ok && NPATCHBD <= NPATCHT && MAXKU <= 4096 && MAXKV <= 4096;
    }
    return ok;
}

void lay_gxcounts(Pass& p) {
    const long nb = NBODY;
    if (p.begin("G1")) {
        p.arr(IS, {2, nb});
        p.end();
    }
    if (p.begin("G2")) {
        p.arr(NPATCH, {nb});
        p.end();
    }
    if (p.begin("G3")) {
        p.arr(IGDEF, {nb});
        p.end();
    }
    if (p.begin("G4")) {
        p.arr(NGXLINE, {nb});
        p.end();
    }
}

void lay_line(Pass& p, std::string_view id, std::string& s, int len) {
    if (!p.begin(id)) return;
    p.text(s, len);
    p.end();
}

void lay_count(Pass& p, std::string_view id, int& n) {
    if (!p.begin(id)) return;
    p.i(n);
    p.end();
}

int irr_max() {
    int m = -1;
    for (int ib = 1; ib <= NBODY && ib <= cfg::IRR.extent(1); ++ib) m = std::max(m, cfg::IRR(ib));
    return m;
}

bool irr_from_patches() {
    int ierr = 0;
    if (cfg::IRR.extent(1) < NBODY) cfg::GROWIRR(NBODY, ierr);
    if (ierr != 0) return false;
    for (int ib = 1; ib <= NBODY; ++ib) cfg::IRR(ib) = 0;
    const int np = std::min<long>({NPATCHT, IBPTH.extent(1), IFSPAT.extent(1)});
    for (int q = 1; q <= np; ++q) {
        const int ib = IBPTH(q);
        if (ib < 1 || ib > NBODY) continue;
        if (q > NPATCHBD) cfg::IRR(ib) = 3;
        else if (IFSPAT(q) == -1 && cfg::IRR(ib) == 0) cfg::IRR(ib) = 1;
    }
    return true;
}

namespace {

void lay_low(Pass& p) {
    using namespace pnl;
    const long n = NEQN, nb = NBODY;
    auto rec = [&p](const char* id, auto&& body) {
        if (p.begin(id)) {
            body();
            p.end();
        }
    };
    rec("L1", [&] { p.arr(PNLARR6, {4, n}); });
    rec("L2", [&] { p.arr(PNLARR5, {4, n}); });
    rec("L3", [&] { p.arr(PCENT, {3, n}); });
    rec("L4", [&] { p.arr(PAXES, {3, 3, n}); });
    rec("L5", [&] { p.arr(PPROP, {13, n}); });
    rec("L6", [&] { p.arr(PNLARR4, {4, n}); });
    if (cfg::IQUAD == 1) {
        rec("L7", [&] { p.arr(XVERG, {4, 3, n}); });
        rec("L8", [&] { p.arr(PNLARR2, {4, n}); });
        rec("L9", [&] { p.arr(PNLARR1, {4, 3, n}); });
    }
    rec("L10", [&] { p.arr(VNMODE, {NMODT, n}); });
    rec("L11", [&] { p.arr(PNLARR3, {2, n}); });
    rec("L12", [&] { p.arr(NWLPANB, {nb}); });
    rec("L13", [&] { p.i(NWLSEG); });
    if (p.reading() && p.ok() && (NWLSEG < 0 || NWLSEG > NEQN)) p.fail();
    rec("L14", [&] { p.arr(IWLPAN, {NWLSEG}); });
    rec("L15", [&] { p.arr(IWLSIDE, {NWLSEG}); });
    if (p.reading() && p.ok() && cfg::IRR.extent(1) < nb) {
        int ierr = 0;
        cfg::GROWIRR(NBODY, ierr);
        if (ierr != 0) p.fail();
    }
    rec("L16", [&] { p.arr(cfg::IRR, {nb}); });
    if (!p.ok()) return;
    if (irr_max() >= 1) {
        rec("L17", [&] { p.arr(IPFLAG, {n}); });
    } else if (p.reading()) {
        p.alloc(IPFLAG, {n});
        if (p.ok()) std::fill(IPFLAG.begin(), IPFLAG.begin() + n, 0);
    }
    // The record's second item is the file's IDIPWMF: the dipole-class flag
    // of the run, IDIPSYM.
    rec("L18", [&] {
        p.i(cfg::IDIPOLE);
        p.i(IDIPSYM);
    });
    if (!p.ok()) return;
    if (IDIPSYM >= 1) {
        rec("L19", [&] { p.arr(IDIPWM, {n}); });
    } else if (p.reading()) {
        IDIPWM.deallocate();
    }
    if (cfg::IDIPOLE >= 1) rec("L20", [&] { p.arr(NPAND, {nb}); });
}

void lay_high(Pass& p) {
    const long np = NPATCHT, nbd = NPATCHBD, nb = NBODY;
    auto rec = [&p](const char* id, auto&& body) {
        if (p.begin(id)) {
            body();
            p.end();
        }
    };
    rec("P1", [&] {
        for (auto* a : {&KU, &KV, &NU, &NV, &NBU, &NBV, &IQUI, &IQVI}) p.arr(*a, {np});
    });
    rec("P2", [&] {
        p.arr(IBPTH, {np});
        for (auto* a : {&IPSTART, &IPATOFF, &NPATCHB}) p.arr(*a, {nb});
    });
    rec("P3", [&] { p.arr(ITRIM, {np}); });
    if (cfg::ITRIMWL > 0) {
        p.alloc(ITRMIDX, {np});
        for (auto* a : {&TRMRNG1, &TRMRNG2}) p.alloc(*a, {4, np});
        for (auto* a : {&TRMMAP1, &TRMMAP2, &TRMMAP3, &TRMMAP4}) p.alloc(*a, {2, np});
        rec("P4", [&] { p.arr(ITRMIDX, {nbd}); });
        rec("P5", [&] { p.arr(TRMRNG1, {4, nbd}); });
        rec("P6", [&] { p.arr(TRMRNG2, {4, nbd}); });
        rec("P7", [&] { p.arr(TRMMAP1, {2, nbd}); });
        rec("P8", [&] { p.arr(TRMMAP2, {2, nbd}); });
        rec("P9", [&] { p.arr(TRMMAP3, {2, nbd}); });
        rec("P10", [&] { p.arr(TRMMAP4, {2, nbd}); });
    }
    rec("P11", [&] { p.i(NPANT); });
    if (p.reading() && p.ok() && NPANT > MAXCOUNT) p.fail();
    if (p.ok() && NPANT > 0) rec("P12", [&] { p.arr(XVER, {4, 3, NPANT}); });

    // Geometry B-splines of the bodies of kind 1.
    bool any = false;
    for (int ib = 1; ib <= NBODY && p.ok(); ++ib) any = any || IGDEF(ib) == 1;
    if (any) {
        for (auto* a : {&KUG, &KVG, &IUGOFF, &IVGOFF, &NUG, &NVG}) p.alloc(*a, {np});
        p.alloc(UKNOTG, {MAXKNOT, np});
        p.alloc(VKNOTG, {MAXKNOT, np});
        p.alloc(GEOPAR1, {2, np});
        p.alloc(GEOPAR2, {2, np});
    }
    long j1 = 1;
    for (int ib = 1; ib <= NBODY && p.ok() && any; ++ib) {
        if (IGDEF(ib) != 1) continue;
        const long n = NPATCH(ib);
        const long j2 = j1 + n - 1;
        if (n < 0 || j2 > np) return p.fail();
        rec("P13", [&] {
            for (auto* a : {&KUG, &KVG, &IUGOFF, &IVGOFF, &NUG, &NVG}) p.sec(*a, j1, n);
        });
        if (!p.ok()) return;
        for (long j = j1; j <= j2; ++j)
            if (NUG(j) + KUG(j) > MAXKNOT || NVG(j) + KVG(j) > MAXKNOT || NUG(j) + KUG(j) < 0 ||
                NVG(j) + KVG(j) < 0)
                return p.fail();
        rec("P14", [&] {
            for (long j = j1; j <= j2; ++j)
                for (long k = 1; k <= NUG(j) + KUG(j); ++k) p.f(UKNOTG(k, j));
            for (long j = j1; j <= j2; ++j)
                for (long k = 1; k <= NVG(j) + KVG(j); ++k) p.f(VKNOTG(k, j));
        });
        rec("P15", [&] {
            for (long j = j1; j <= j2; ++j) {
                p.f(GEOPAR1(1, j));
                p.f(GEOPAR1(2, j));
                p.f(GEOPAR2(1, j));
                p.f(GEOPAR2(2, j));
            }
        });
        j1 = j2 + 1;
    }
    if (NCOEFT > 0) rec("P16", [&] { p.arr(XCOEFG, {3, NCOEFT}); });
    rec("P17", [&] {
        for (auto* a : {&IWTL, &IFSPAT, &IPRL, &IPREF}) p.arr(*a, {np});
    });
    rec("P18", [&] { p.arr(XQP, {3, NQP}); });
    rec("P19", [&] { p.arr(ENQP, {3, NQP}); });
    rec("P20", [&] { p.arr(WQP, {NQP}); });
    p.alloc(VNQP, {NMODT, NQP});
    for (int m = 1; m <= NMODT && p.ok(); ++m)
        rec("P21", [&] {
            for (long q = 1; q <= NQP; ++q) p.f(VNQP(m, q));
        });
    rec("P22", [&] {
        p.arr(HOTAB1, {MAXKNU, np});
        p.arr(HOTAB2, {MAXKNV, np});
        p.arr(HOTAB3, {MAXQU, np});
        p.arr(HOTAB4, {MAXQU, np});
        p.arr(HOTAB5, {MAXQV, np});
        p.arr(HOTAB6, {MAXQV, np});
        p.arr(HOTAB7, {static_cast<long>(MAXKU) * MAXKU, MAXNU, np});
        p.arr(HOTAB8, {static_cast<long>(MAXKV) * MAXKV, MAXNV, np});
    });
    // IDIPWMF of the file is IDIPSYM (as in L18).
    rec("P23", [&] {
        p.i(cfg::IDIPOLE);
        p.i(IDIPSYM);
    });
    if (!p.ok()) return;
    if (IDIPSYM >= 1) {
        rec("P24", [&] { p.arr(IDIPWM, {np}); });
    } else if (p.reading()) {
        IDIPWM.deallocate();
    }
}

}  // namespace

void lay_bulk(Pass& p) {
    using cfg::NTANKS;
    const long nb = NBODY;
    auto rec = [&p](const char* id, auto&& body) {
        if (p.begin(id)) {
            body();
            p.end();
        }
    };
    rec("B1", [&] { p.i(model::NRGKBODY); });
    rec("B2", [&] { p.texts(fnames::GDFNAME, nb, 20); });
    rec("B3", [&] { p.arr(ULEN, {nb}); });
    if (cfg::ILOWHI == 0) {
        rec("B4", [&] { p.arr(IS, {2, nb}); });
        rec("B5", [&] {
            p.arr(NPANB, {nb});
            p.arr(pnl::NPANBG, {nb});
        });
        rec("B6", [&] { p.arr(NPATCH, {nb}); });
    }
    rec("B7", [&] {
        p.arr(cfg::NEWMDS, {nb});
        p.arr(IBMOD, {nb});
    });
    rec("B8", [&] { p.arr(cfg::IGENMDS, {nb}); });
    rec("B9", [&] { p.arr(cfg::XBODY, {4, nb}); });
    rec("B10", [&] { p.arr(CSPHIB, {2, nb}); });
    if (cfg::ILOWHI == 1 && cfg::ITRIMWL > 0) {
        rec("B11", [&] { p.arr(cfg::XTRIM, {3, nb}); });
        rec("B12", [&] { p.arr(TRIMCS, {4, nb}); });
    }
    rec("B13", [&] { p.arr(IREFLB, {2, nb}); });
    p.alloc(pnl::VOLXYZ, {3, nb});
    p.alloc(pnl::VOLB, {nb});
    p.alloc(pnl::XBUOY, {3, nb});
    rec("B14", [&] {
        for (long ib = 1; ib <= nb; ++ib) {
            for (int k = 1; k <= 3; ++k) p.f(pnl::VOLXYZ(k, ib));
            p.f(pnl::VOLB(ib));
            for (int k = 1; k <= 3; ++k) p.f(pnl::XBUOY(k, ib));
        }
        p.arr(CHYD, {NMODT, NMODT});
    });
    rec("B15", [&] {
        p.arr(PER, {NPER});
        p.arr(WNUMK, {NPER});
        p.arr(WNUMNU, {NPER});
        p.arr(IPERFL, {NPER});
    });
    rec("B16", [&] {
        p.arr(BETA, {NBETA});
        p.arr(SINBETA, {NBETA});
        p.arr(COSBETA, {NBETA});
    });
    rec("B17", [&] { p.arr(sym::IMODORD, {NMODT}); });
    rec("B18", [&] { p.arr(sym::IMODSC, {NMODT, 4}); });
    rec("B19", [&] { p.arr(sym::IMODPOS, {NMODT}); });
    if (NTANKS > 0) {
        rec("B20", [&] { p.arr(cfg::ZTANKFS, {NTANKS}); });
        rec("B21", [&] { p.arr(cfg::ITANKB, {NTANKS}); });
        rec("B22", [&] { p.arr(cfg::CTANK, {9, NTANKS}); });
        rec("B23", [&] { p.arr(cfg::VOLTANK, {3, NTANKS}); });
        rec("B24", [&] { p.arr(ITANK, {cfg::ILOWHI == 0 ? NEQN : NPATCHT}); });
    }
    if (!p.ok()) return;
    if (cfg::ILOWHI == 0)
        lay_low(p);
    else
        lay_high(p);
}

std::vector<PerRec> period_layout(int IPFL) {
    const long n = NEQN, nsolc = sym::NSOLC, nd = static_cast<long>(NEQN) * NBETA * sym::NSYMC;
    std::vector<PerRec> v;
    if (IRAD >= 0) {
        v.push_back({PerKind::RAD, n * nsolc});
        if (cfg::ISOR == 1) {
            v.push_back({PerKind::RADSRC, n * nsolc});
            v.push_back({PerKind::RADVEL, 3 * n * nsolc});
        }
    }
    if (IDIFF >= 0 && IPFL == 0) {
        v.push_back({PerKind::DIF, nd});
        if (cfg::ISOR == 1) {
            v.push_back({PerKind::DIFSRC, nd});
            v.push_back({PerKind::DIFVEL, 3 * nd});
        }
    }
    return v;
}

std::vector<PerRec> scratch_layout(int N, int M, int IRAD_, int IDIFF_, int ISRC, int IPFL) {
    const long n = N, nsolc = sym::NSOLC, nd = static_cast<long>(N) * M * sym::NSYMC;
    std::vector<PerRec> v;
    if (IRAD_ >= 0) {
        v.push_back({ISRC == 1 ? PerKind::RADSRC : PerKind::RAD, n * nsolc});
        if (ISRC == 1) v.push_back({PerKind::RADVEL, 3 * n * nsolc});
    }
    if (IDIFF_ >= 0 && IPFL == 0) {
        v.push_back({ISRC == 1 ? PerKind::DIFSRC : PerKind::DIF, nd});
        if (ISRC == 1) v.push_back({PerKind::DIFVEL, 3 * nd});
    }
    return v;
}

}  // namespace zorva::p2f
