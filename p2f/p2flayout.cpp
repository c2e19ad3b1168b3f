#include "p2f/p2flayout.hpp"

#include <algorithm>
#include <cmath>

#include "geometry/bspline.hpp"
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

void Pass::fail(std::string_view item, std::string why) {
    if (!bad_) {
        item_ = item;
        why_ = std::move(why);
    }
    bad_ = true;
}

void Pass::check(bool ok, std::string_view rec, std::string_view item, std::string_view why) {
    if (bad_ || ok || writing()) return;
    id_ = rec;
    fail(item, std::string(why));
}

std::string Pass::fault() const {
    std::string s = "record " + id_;
    if (!item_.empty()) s += ", item " + item_;
    if (!why_.empty()) s += ": " + why_;
    return s;
}

bool Pass::begin(std::string_view id) {
    if (bad_ || stopped_) return false;
    id_ = id;
    name_ = {};
    if (writing()) {
        w_.clear();
    } else if (checking()) {
        bytes_ = 0;
        ordinals_.clear();
    } else if (int st = r_.read(unit_); st != 0) {
        fail("", st < 0 ? "end of file before the record" : "record frame broken or cut short");
    }
    return !bad_;
}

bool Pass::end() {
    if (bad_) return false;
    std::size_t len = writing() ? w_.bytes().size() : checking() ? bytes_ : r_.size();
    if (writing()) {
        if (w_.write(unit_) != 0) fail();
    } else if (reading() && r_.remaining() != 0) {
        fail("", "record longer than its items");
    }
    if (!bad_ && lengths) lengths->emplace_back(id_, len);
    return !bad_;
}

void Pass::text(std::string& s, int len) {
    if (bad_) return;
    if (writing()) {
        w_.put_text(s, static_cast<std::size_t>(len));
    } else if (checking()) {
        bytes_ += static_cast<std::size_t>(len);
    } else {
        std::string t;
        if (!r_.get_text(t, static_cast<std::size_t>(len))) return fail(name_, SHORT);
        s = t;
    }
}

void Pass::texts(Arr1<std::string>& a, long n, int len, std::string_view name) {
    if (bad_) return;
    name_ = name;
    if (n < 0 || n > MAXCOUNT) return fail(name, "count out of range");
    if (checking()) {
        if (fits(a, {n}))
            bytes_ += static_cast<std::size_t>(n) * static_cast<std::size_t>(len);
        else
            passed_ = true;
        return;
    }
    if (reading()) {
        if (static_cast<std::size_t>(n) > r_.remaining() / static_cast<std::size_t>(len)) return fail(name, SHORT);
        if (!fits(a, {n}) && !a.resize_keep(n)) return fail(name, "no memory for its extents");
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
    const Lim count{0, MAXCOUNT}, flag{0, 1}, sign{-1, 1};
    struct Item {
        int* v;
        const char* name;
        Lim lim;
    };
    auto items = [&p](std::initializer_list<Item> list) {
        for (const Item& it : list) p.i(*it.v, it.name, it.lim);
    };
    if (p.begin("2")) {
        items({{&NEQN, "NEQN", {1, MAXCOUNT}},
               {&cfg::NBODY, "NBODY", {1, MAXCOUNT}},
               {&NSOLC, "NSOLC", count},
               {&NMODT, "NMODT", {6, MAXMODES}},
               {&IBODY_WAVEMAKER, "IBODY_WAVEMAKER", count},
               {&NWALL, "NWALL", {0, 2}},
               {&ITRIMWL, "ITRIMWL", count}});
        p.end();
    }
    // NPER: the writer's count is less than the check's before the solve
    // when a break ends the period loop early.
    if (p.begin("3")) {
        items({{&model::ISX, "ISX", sign},
               {&model::ISY, "ISY", sign},
               {&IRAD, "IRAD", sign},
               {&IDIFF, "IDIFF", sign},
               {&NPER, "NPER", count},
               {&NBETA, "NBETA", count},
               {&IPERSPC, "IPERSPC", flag}});
        p.end();
    }
    if (p.begin("4")) {
        p.i(NIMAGE, "NIMAGE", {0, 4});
        for (int k = 1; k <= 4; ++k) p.i(IMAGEID[u(k)], "IMAGEID", {0, 4});
        for (int k = 1; k <= 4; ++k) p.i(ISYMF[u(k)], "ISYMF", {0, 4});
        p.i(NSYMF, "NSYMF", {0, 4});
        p.i(NSYMC, "NSYMC", {0, 4});
        for (int k = 1; k <= 4; ++k) p.i(ISYMC[u(k)], "ISYMC", {0, 4});
        p.end();
    }
    if (p.begin("5")) {
        p.i(NSYMD, "NSYMD", {0, 4});
        for (int k = 1; k <= 4; ++k) p.i(NSYMRHS[u(k)], "NSYMRHS", {0, 4});
        for (int k = 1; k <= 4; ++k) p.i(NMODSC[u(k)], "NMODSC", count);
        p.end();
    }
    if (p.begin("6")) {
        items({{&ISOR, "ISOR", flag},
               {&IQUAD, "IQUAD", flag},
               {&ILOG, "ILOG", flag},
               {&IDIAG, "IDIAG", flag},
               {&ISOLVE, "ISOLVE", {-1, MAXCOUNT}},
               {&ISCATT, "ISCATT", flag},
               {&ILOWHI, "ILOWHI", flag},
               {&NTANKS, "NTANKS", count}});
        p.end();
    }
    if (p.begin("7")) {
        p.f(GRAV, "GRAV");
        p.f(HBOT, "HBOT");
        p.end();
    }
    if (!p.ok() || ILOWHI != 1) return;
    if (p.begin("8")) {
        p.i(NPATCHT, "NPATCHT", {1, MAXCOUNT});
        p.i(NPATCHBD, "NPATCHBD", {1, MAXCOUNT});
        p.end();
    }
    if (p.begin("9")) {
        p.i(NCOEFT, "NCOEFT", count);
        p.end();
    }
    if (p.begin("10")) {
        items({{&MAXKNOT, "MAXKNOT", count}, {&MAXKUG, "MAXKUG", count}, {&MAXKVG, "MAXKVG", count}});
        p.end();
    }
    // The potential B-splines: orders up to the basis routine's limit,
    // quadrature orders up to the Gauss rule's.
    const Lim order{0, MAXORDER}, quad{0, gauss::MAXORDER};
    if (p.begin("11")) {
        items({{&MAXKNU, "MAXKNU", count},
               {&MAXKNV, "MAXKNV", count},
               {&MAXKU, "MAXKU", order},
               {&MAXKV, "MAXKV", order},
               {&MAXQU, "MAXQU", quad},
               {&MAXQV, "MAXQV", quad},
               {&MAXNU, "MAXNU", count},
               {&MAXNV, "MAXNV", count}});
        p.end();
    }
    if (p.begin("12")) {
        p.i(NQP, "NQP", count);
        p.end();
    }
}

void header_sane(Pass& p) {
    using namespace cfg;
    using namespace sym;
    p.check(NSOLC <= NMODT, "2", "NSOLC", "more solved modes than modes");
    p.check(NMODT >= 6L * cfg::NBODY, "2", "NMODT", "fewer than six modes a body");
    p.check(IBODY_WAVEMAKER <= cfg::NBODY, "2", "IBODY_WAVEMAKER", "beyond the bodies");
    p.check(NSYMC * NSYMD <= 4, "5", "NSYMD", "more than four wave parts");
    p.check(GRAV > 0.0f, "7", "GRAV", "not positive");
    // The potentials of one period are allocated before their record is
    // read.
    const long ncol = std::max({NSOLC, NBETA * NSYMC, 1});
    p.check(NEQN <= MAXELEMS / ncol, "2", "NEQN", "potentials of a period beyond any file");
    // The symmetry tables index images, components and wave parts (1..4)
    // and count each component's modes.
    for (std::size_t k = 1; k <= 4; ++k) {
        p.check(NMODSC[k] <= NMODT, "5", "NMODSC", "more modes than NMODT");
        const bool part = static_cast<int>(k) <= NSYMC * NSYMD;
        p.check(!part || NSYMRHS[k] >= 1, "5", "NSYMRHS", "a wave part without its component");
        // Each wave part belongs to one component.
        for (std::size_t j = 1; part && j < k; ++j) p.check(NSYMRHS[j] != NSYMRHS[k], "5", "NSYMRHS", "repeated");
    }
    if (ILOWHI == 1) p.check(NPATCHBD <= NPATCHT, "8", "NPATCHBD", "more body patches than patches");
}

void lay_gxcounts(Pass& p) {
    const long nb = NBODY;
    if (p.begin("G1")) {
        p.arr(IS, {2, nb}, "IS", {-1, 1});
        p.end();
    }
    // A body's patches in its geometry file: no more than the run's
    // patches, unless waterline trimming dropped some of them.
    if (p.begin("G2")) {
        p.arr(NPATCH, {nb}, "NPATCH", {0, cfg::ITRIMWL > 0 ? MAXCOUNT : NPATCHT});
        p.end();
    }
    if (p.begin("G3")) {
        p.arr(IGDEF, {nb}, "IGDEF");
        p.end();
    }
    if (p.begin("G4")) {
        p.arr(NGXLINE, {nb}, "NGXLINE", {0, MAXCOUNT});
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
    p.i(n, "NRGKLINES", {0, MAXCOUNT});
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

bool wetted(float z) {
    constexpr float TOL = 1.0E-3f;
    return z <= TOL && (HBOT <= 0.0f || z >= -HBOT - TOL);
}

bool heights_held(long J) {
    return cfg::ITRIMWL == 0 && NWALL == 0 && !(ITANK.allocated() && ITANK(J) != 0);
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
    rec("L1", [&] { p.arr(PNLARR6, {4, n}, "PNLARR6"); });
    rec("L2", [&] { p.arr(PNLARR5, {4, n}, "PNLARR5"); });
    rec("L3", [&] { p.arr(PCENT, {3, n}, "PCENT"); });
    // The heights of the centroids (and of the quadrature points, P18):
    // the check before the solve holds them to the same rule itself, naming
    // the panel or patch of the geometry file.
    for (long i = 1; i <= n && p.ok() && p.reading() && cfg::NTANKS == 0; ++i)
        p.check(wetted(PCENT(3, i)), "L3", "PCENT",
                "centroid of panel " + std::to_string(i) + " above the free surface or below the bottom");
    rec("L4", [&] { p.arr(PAXES, {3, 3, n}, "PAXES"); });
    rec("L5", [&] { p.arr(PPROP, {13, n}, "PPROP"); });
    rec("L6", [&] { p.arr(PNLARR4, {4, n}, "PNLARR4"); });
    // The side lengths are the distances of the panel's vertices in its
    // plane (the kernels divide by both).
    for (long i = 1; i <= n && p.ok() && p.held(); ++i) {
        bool ok = true;
        for (int k = 1; k <= 4; ++k) {
            const int e = k % 4 + 1;
            const float dx = PNLARR6(e, i) - PNLARR6(k, i), dy = PNLARR5(e, i) - PNLARR5(k, i);
            const float l2 = dx * dx + dy * dy, d = std::sqrt(l2);
            ok = ok && std::fabs(PNLARR4(k, i) - (l2 >= 1.0E-12f ? d : 0.0f)) <= 1.0E-3f * d + 1.0E-6f;
        }
        p.check(ok, "L1", "PNLARR6", "vertices of panel " + std::to_string(i) + " not at the lengths of its sides");
    }
    if (cfg::IQUAD == 1) {
        rec("L7", [&] { p.arr(XVERG, {4, 3, n}, "XVERG"); });
        rec("L8", [&] { p.arr(PNLARR2, {4, n}, "PNLARR2"); });
        rec("L9", [&] { p.arr(PNLARR1, {4, 3, n}, "PNLARR1"); });
    }
    rec("L10", [&] { p.arr(VNMODE, {NMODT, n}, "VNMODE"); });
    rec("L11", [&] { p.arr(PNLARR3, {2, n}, "PNLARR3"); });
    rec("L12", [&] { p.arr(NWLPANB, {nb}, "NWLPANB", {0, n}); });
    rec("L13", [&] { p.i(NWLSEG, "NWLSEG", {0, n}); });
    rec("L14", [&] { p.arr(IWLPAN, {NWLSEG}, "IWLPAN", {1, n}); });
    rec("L15", [&] { p.arr(IWLSIDE, {NWLSEG}, "IWLSIDE", {1, 4}); });
    if (p.reading() && p.ok() && cfg::IRR.extent(1) < nb) {
        int ierr = 0;
        cfg::GROWIRR(NBODY, ierr);
        if (ierr != 0) p.fail("IRR", "no memory for its extents");
    }
    rec("L16", [&] { p.arr(cfg::IRR, {nb}, "IRR", {0, 3}); });
    if (!p.ok()) return;
    if (irr_max() >= 1) {
        rec("L17", [&] { p.arr(IPFLAG, {n}, "IPFLAG", {-1, 1}); });
    } else if (p.reading()) {
        p.alloc(IPFLAG, {n});
        if (p.ok()) std::fill(IPFLAG.begin(), IPFLAG.begin() + n, 0);
    }
    // The record's second item is the file's IDIPWMF: the dipole-class flag
    // of the run, IDIPSYM.
    rec("L18", [&] {
        p.i(cfg::IDIPOLE, "IDIPOLE", {0, 1});
        p.i(IDIPSYM, "IDIPWMF", {0, 1});
    });
    if (!p.ok()) return;
    if (IDIPSYM >= 1) {
        rec("L19", [&] { p.arr(IDIPWM, {n}, "IDIPWM", {-3, 3}); });
    } else if (p.reading()) {
        IDIPWM.deallocate();
    }
    if (cfg::IDIPOLE >= 1) rec("L20", [&] { p.arr(NPAND, {nb}, "NPAND", {0, n}); });
}

void lay_high(Pass& p) {
    const long np = NPATCHT, nbd = NPATCHBD, nb = NBODY;
    auto rec = [&p](const char* id, auto&& body) {
        if (p.begin(id)) {
            body();
            p.end();
        }
    };
    const Lim count{0, MAXCOUNT};
    rec("P1", [&] {
        p.arr(KU, {np}, "KU", {0, MAXKU});
        p.arr(KV, {np}, "KV", {0, MAXKV});
        p.arr(NU, {np}, "NU", {0, MAXNU});
        p.arr(NV, {np}, "NV", {0, MAXNV});
        p.arr(NBU, {np}, "NBU", count);
        p.arr(NBV, {np}, "NBV", count);
        p.arr(IQUI, {np}, "IQUI", {0, MAXQU});
        p.arr(IQVI, {np}, "IQVI", {0, MAXQV});
    });
    // Each patch's basis in u and in v: over N >= 1 knot intervals, N + K - 1
    // functions of order K >= 1 and N + 2K - 1 knots within the knot table,
    // at least one quadrature point; a patch without intervals has no
    // functions.  The unknowns of all patches are the run's NEQN (unless no
    // patch has intervals).
    auto basis = [&p](long j, int n, int k, int nb, int q, int maxkn, const char* item) {
        p.check(n == 0 ? nb == 0 : k >= 1 && q >= 1 && nb == n + k - 1 && nb + k <= maxkn, "P1", item,
                "basis of patch " + std::to_string(j) + " not of its order and intervals");
    };
    long neqn = 0;
    for (long j = 1; j <= np && p.ok() && p.held(); ++j) {
        basis(j, NU(j), KU(j), NBU(j), IQUI(j), MAXKNU, "NBU");
        basis(j, NV(j), KV(j), NBV(j), IQVI(j), MAXKNV, "NBV");
        neqn += static_cast<long>(NBU(j)) * NBV(j);
    }
    p.check(!p.held() || neqn == NEQN || neqn == 0, "P1", "NBU", "unknowns of the patches not NEQN");
    rec("P2", [&] {
        p.arr(IBPTH, {np}, "IBPTH", {1, nb});
        p.arr(IPSTART, {nb}, "IPSTART", {1, np + 1});
        p.arr(IPATOFF, {nb}, "IPATOFF", count);
        p.arr(NPATCHB, {nb}, "NPATCHB", {0, np});
    });
    for (long ib = 1; ib <= nb && p.ok() && p.held(); ++ib)
        p.check(IPSTART(ib) + NPATCHB(ib) - 1 <= np, "P2", "NPATCHB",
                "patches of body " + std::to_string(ib) + " beyond NPATCHT");
    rec("P3", [&] { p.arr(ITRIM, {np}, "ITRIM", {-1, 2}); });
    if (cfg::ITRIMWL > 0) {
        p.alloc(ITRMIDX, {np});
        for (auto* a : {&TRMRNG1, &TRMRNG2}) p.alloc(*a, {4, np});
        for (auto* a : {&TRMMAP1, &TRMMAP2, &TRMMAP3, &TRMMAP4}) p.alloc(*a, {2, np});
        // Edge codes: 0 whole, 1..4 cut along the waterline, -1..-4 fans
        // from a wet corner.
        rec("P4", [&] { p.arr(ITRMIDX, {nbd}, "ITRMIDX", {-4, 4}); });
        rec("P5", [&] { p.arr(TRMRNG1, {4, nbd}, "TRMRNG1"); });
        rec("P6", [&] { p.arr(TRMRNG2, {4, nbd}, "TRMRNG2"); });
        rec("P7", [&] { p.arr(TRMMAP1, {2, nbd}, "TRMMAP1"); });
        rec("P8", [&] { p.arr(TRMMAP2, {2, nbd}, "TRMMAP2"); });
        rec("P9", [&] { p.arr(TRMMAP3, {2, nbd}, "TRMMAP3"); });
        rec("P10", [&] { p.arr(TRMMAP4, {2, nbd}, "TRMMAP4"); });
    }
    rec("P11", [&] { p.i(NPANT, "NPANT", count); });
    if (p.ok() && NPANT > 0) rec("P12", [&] { p.arr(XVER, {4, 3, NPANT}, "XVER"); });

    // Geometry B-splines of the bodies of kind 1, one entry per patch of
    // their geometry files (trimming may leave fewer or more patches).
    bool any = false;
    long ngeo = 0;
    for (int ib = 1; ib <= NBODY && p.ok(); ++ib)
        if (IGDEF(ib) == 1) any = true, ngeo += NPATCH(ib);
    if (any) {
        for (auto* a : {&KUG, &KVG, &IUGOFF, &IVGOFF, &NUG, &NVG}) p.alloc(*a, {ngeo});
        p.alloc(UKNOTG, {MAXKNOT, ngeo});
        p.alloc(VKNOTG, {MAXKNOT, ngeo});
        p.alloc(GEOPAR1, {2, ngeo});
        p.alloc(GEOPAR2, {2, ngeo});
    }
    long j1 = 1, ncoef = 0;
    for (int ib = 1; ib <= NBODY && p.ok() && any; ++ib) {
        if (IGDEF(ib) != 1) continue;
        const long n = NPATCH(ib);
        const long j2 = j1 + n - 1;
        rec("P13", [&] {
            p.sec(KUG, j1, n, "KUG", {1, std::min(MAXKUG, MAXORDER)});
            p.sec(KVG, j1, n, "KVG", {1, std::min(MAXKVG, MAXORDER)});
            p.sec(IUGOFF, j1, n, "IUGOFF", count);
            p.sec(IVGOFF, j1, n, "IVGOFF", count);
            p.sec(NUG, j1, n, "NUG", {1, MAXKNOT});
            p.sec(NVG, j1, n, "NVG", {1, MAXKNOT});
        });
        if (!p.ok()) return;
        // Knots of each patch within the knot tables, the control points
        // of all patches within the coefficient table.
        for (long j = j1; j <= j2 && p.held(); ++j) {
            p.check(NUG(j) + KUG(j) <= MAXKNOT && NVG(j) + KVG(j) <= MAXKNOT, "P13", "NUG",
                    "knots of patch " + std::to_string(j) + " beyond MAXKNOT");
            ncoef += static_cast<long>(NUG(j)) * NVG(j);
        }
        p.check(!p.held() || ncoef <= NCOEFT, "P13", "NUG", "control points beyond NCOEFT");
        rec("P14", [&] {
            for (long j = j1; j <= j2; ++j)
                for (long k = 1; k <= NUG(j) + KUG(j); ++k) p.f(UKNOTG(k, j), "UKNOTG");
            for (long j = j1; j <= j2; ++j)
                for (long k = 1; k <= NVG(j) + KVG(j); ++k) p.f(VKNOTG(k, j), "VKNOTG");
        });
        rec("P15", [&] {
            for (long j = j1; j <= j2; ++j) {
                p.f(GEOPAR1(1, j), "GEOPAR1");
                p.f(GEOPAR1(2, j), "GEOPAR1");
                p.f(GEOPAR2(1, j), "GEOPAR2");
                p.f(GEOPAR2(2, j), "GEOPAR2");
            }
        });
        j1 = j2 + 1;
    }
    if (NCOEFT > 0) rec("P16", [&] { p.arr(XCOEFG, {3, NCOEFT}, "XCOEFG"); });
    rec("P17", [&] {
        p.arr(IWTL, {np}, "IWTL", {0, 15});
        p.arr(IFSPAT, {np}, "IFSPAT", {-1, 1});
        p.arr(IPRL, {np}, "IPRL", {1, MAXCOUNT});
        p.arr(IPREF, {np}, "IPREF", {1, 4});
    });
    // A patch's number in its body's file, with the body's offset, names
    // an entry of the flat-patch or geometry B-spline tables.
    for (long j = 1; j <= np && p.ok() && p.held(); ++j) {
        const int ib = IBPTH(j), kind = IGDEF(ib);
        const long g = static_cast<long>(IPRL(j)) + IPATOFF(ib);
        p.check(IPRL(j) <= std::max(NPATCH(ib), 1) || kind > 2 || kind < 0, "P17", "IPRL",
                "patch " + std::to_string(j) + " beyond its body's patches");
        p.check(kind != 0 || g <= NPANT, "P17", "IPRL", "flat patch " + std::to_string(j) + " beyond NPANT");
        p.check(kind != 1 || g <= j1 - 1, "P17", "IPRL",
                "B-spline patch " + std::to_string(j) + " beyond the geometry patches");
    }
    rec("P18", [&] { p.arr(XQP, {3, NQP}, "XQP"); });
    // The points follow the patches, IQUI x IQVI on each knot interval.
    long nqp = 0;
    for (long j = 1; j <= np && p.ok() && p.held(); ++j) {
        const int ib = IBPTH(j);
        const long q1 = nqp + 1;
        nqp += static_cast<long>(NU(j)) * NV(j) * IQUI(j) * IQVI(j);
        if (nqp > NQP || !heights_held(j) || !p.reading()) continue;
        for (long q = q1; q <= nqp; ++q)
            p.check(wetted(XQP(3, q) + cfg::XBODY(3, ib)), "P18", "XQP",
                    "point " + std::to_string(q) + " above the free surface or below the bottom");
    }
    p.check(!p.held() || nqp <= NQP, "P18", "XQP", "fewer than the points of the patches' intervals");
    rec("P19", [&] { p.arr(ENQP, {3, NQP}, "ENQP"); });
    for (long q = 1; q <= NQP && p.ok() && p.held(); ++q)
        p.check(std::fabs(ENQP(1, q)) <= 1.001f && std::fabs(ENQP(2, q)) <= 1.001f && std::fabs(ENQP(3, q)) <= 1.001f,
                "P19", "ENQP", "normal at point " + std::to_string(q) + " not of unit length");
    rec("P20", [&] { p.arr(WQP, {NQP}, "WQP"); });
    for (long q = 1; q <= NQP && p.ok() && p.held(); ++q)
        p.check(WQP(q) >= 0.0f, "P20", "WQP", "weight of point " + std::to_string(q) + " negative");
    p.alloc(VNQP, {NMODT, NQP});
    for (int m = 1; m <= NMODT && p.ok(); ++m)
        rec("P21", [&] {
            for (long q = 1; q <= NQP; ++q) p.f(VNQP(m, q), "VNQP");
        });
    rec("P22", [&] {
        p.arr(HOTAB1, {MAXKNU, np}, "HOTAB1");
        p.arr(HOTAB2, {MAXKNV, np}, "HOTAB2");
        p.arr(HOTAB3, {MAXQU, np}, "HOTAB3");
        p.arr(HOTAB4, {MAXQU, np}, "HOTAB4");
        p.arr(HOTAB5, {MAXQV, np}, "HOTAB5");
        p.arr(HOTAB6, {MAXQV, np}, "HOTAB6");
        p.arr(HOTAB7, {static_cast<long>(MAXKU) * MAXKU, MAXNU, np}, "HOTAB7");
        p.arr(HOTAB8, {static_cast<long>(MAXKV) * MAXKV, MAXNV, np}, "HOTAB8");
    });
    // Each patch's knots ascend, its knot intervals are not empty, and its
    // Gauss rules have their nodes in [-1, 1] and positive weights.
    auto knots = [&p](const float* t, long j, int n, int k, const char* item) {
        bool ok = true;
        for (int i = 2; i <= n + 2 * k - 1 && n > 0; ++i) ok = ok && (i <= k || i > n + k ? t[i - 1] >= t[i - 2] : t[i - 1] > t[i - 2]);
        p.check(ok, "P22", item, "knots of patch " + std::to_string(j) + " not ascending");
    };
    auto rule = [&p](const float* x, const float* w, long j, int n, const char* item) {
        bool ok = true;
        for (int i = 0; i < n; ++i) ok = ok && std::fabs(x[i]) <= 1.0f && w[i] > 0.0f && w[i] <= 2.0f;
        p.check(ok, "P22", item, "Gauss rule of patch " + std::to_string(j) + " not on [-1, 1]");
    };
    for (long j = 1; j <= np && p.ok() && p.held(); ++j) {
        knots(HOTAB1.ptr(1, j), j, NU(j), KU(j), "HOTAB1");
        knots(HOTAB2.ptr(1, j), j, NV(j), KV(j), "HOTAB2");
        if (NU(j) > 0) rule(HOTAB3.ptr(1, j), HOTAB4.ptr(1, j), j, IQUI(j), "HOTAB3");
        if (NV(j) > 0) rule(HOTAB5.ptr(1, j), HOTAB6.ptr(1, j), j, IQVI(j), "HOTAB5");
    }
    // IDIPWMF of the file is IDIPSYM (as in L18).
    rec("P23", [&] {
        p.i(cfg::IDIPOLE, "IDIPOLE", {0, 1});
        p.i(IDIPSYM, "IDIPWMF", {0, 1});
    });
    if (!p.ok()) return;
    if (IDIPSYM >= 1) {
        rec("P24", [&] { p.arr(IDIPWM, {np}, "IDIPWM", {-3, 3}); });
    } else if (p.reading()) {
        IDIPWM.deallocate();
    }
}

}  // namespace

void lay_bulk(Pass& p) {
    using cfg::NTANKS;
    const long nb = NBODY, nm = NMODT;
    const Lim count{0, MAXCOUNT};
    auto rec = [&p](const char* id, auto&& body) {
        if (p.begin(id)) {
            body();
            p.end();
        }
    };
    rec("B1", [&] { p.i(model::NRGKBODY, "NRGKBODY", {0, nb}); });
    rec("B2", [&] { p.texts(fnames::GDFNAME, nb, 20, "GDFNAME"); });
    rec("B3", [&] { p.arr(ULEN, {nb}, "ULEN"); });
    for (long ib = 1; ib <= nb && p.ok() && p.held(); ++ib) p.check(ULEN(ib) > 0.0f, "B3", "ULEN", "not positive");
    // Body 1's length makes the run nondimensional: no shorter than the
    // geometry file takes it.
    if (p.ok() && p.held() && nb >= 1)
        p.check(long_enough(ULEN(1)), "B3", "ULEN", "length of body 1 less than 1.E-05");
    if (cfg::ILOWHI == 0) {
        rec("B4", [&] { p.arr(IS, {2, nb}, "IS", {-1, 1}); });
        rec("B5", [&] {
            p.arr(NPANB, {nb}, "NPANB", {0, NEQN});
            p.arr(pnl::NPANBG, {nb}, "NPANBG", count);
        });
        long npan = 0;
        for (long ib = 1; ib <= nb && p.ok() && p.held(); ++ib) npan += NPANB(ib);
        p.check(npan <= NEQN, "B5", "NPANB", "more panels than NEQN");
        rec("B6", [&] { p.arr(NPATCH, {nb}, "NPATCH", count); });
    }
    rec("B7", [&] {
        p.arr(cfg::NEWMDS, {nb}, "NEWMDS", {0, nm});
        p.arr(IBMOD, {nb}, "IBMOD", {0, nm});
    });
    // The modes of each body follow those of the bodies before it.
    long m0 = 0;
    for (long ib = 1; ib <= nb && p.ok() && p.held(); ++ib) {
        p.check(IBMOD(ib) == m0, "B7", "IBMOD", "not the modes of the bodies before body " + std::to_string(ib));
        m0 += 6 + cfg::NEWMDS(ib);
    }
    p.check(!p.held() || m0 == nm, "B7", "NEWMDS", "modes of the bodies differ from NMODT");
    rec("B8", [&] { p.arr(cfg::IGENMDS, {nb}, "IGENMDS"); });
    rec("B9", [&] { p.arr(cfg::XBODY, {4, nb}, "XBODY"); });
    rec("B10", [&] { p.arr(CSPHIB, {2, nb}, "CSPHIB"); });
    if (cfg::ILOWHI == 1 && cfg::ITRIMWL > 0) {
        rec("B11", [&] { p.arr(cfg::XTRIM, {3, nb}, "XTRIM"); });
        rec("B12", [&] { p.arr(TRIMCS, {4, nb}, "TRIMCS"); });
    }
    rec("B13", [&] { p.arr(IREFLB, {2, nb}, "IREFLB", {0, 1}); });
    p.alloc(pnl::VOLXYZ, {3, nb});
    p.alloc(pnl::VOLB, {nb});
    p.alloc(pnl::XBUOY, {3, nb});
    p.bounded(false);
    rec("B14", [&] {
        for (long ib = 1; ib <= nb; ++ib) {
            for (int k = 1; k <= 3; ++k) p.f(pnl::VOLXYZ(k, ib), "VOLXYZ");
            p.f(pnl::VOLB(ib), "VOLB");
            for (int k = 1; k <= 3; ++k) p.f(pnl::XBUOY(k, ib), "XBUOY");
        }
        p.arr(CHYD, {NMODT, NMODT}, "CHYD");
    });
    p.bounded(true);
    // WNUMK is set period by period as the periods are solved (zeros when
    // the check before the solve walks it).
    rec("B15", [&] {
        p.arr(PER, {NPER}, "PER");
        p.arr(WNUMK, {NPER}, "WNUMK");
        p.arr(WNUMNU, {NPER}, "WNUMNU");
        p.arr(IPERFL, {NPER}, "IPERFL", {0, 2});
    });
    rec("B16", [&] {
        p.arr(BETA, {NBETA}, "BETA");
        p.arr(SINBETA, {NBETA}, "SINBETA");
        p.arr(COSBETA, {NBETA}, "COSBETA");
    });
    // The mode lists of the solution: modes 1..NMODT at the NSOLC solution
    // positions.
    rec("B17", [&] { p.arr(sym::IMODORD, {NMODT}, "IMODORD", {0, nm}); });
    for (long j = 1; j <= sym::NSOLC && p.ok() && p.held(); ++j)
        p.check(sym::IMODORD(j) >= 1, "B17", "IMODORD", "no mode at solution position " + std::to_string(j));
    rec("B18", [&] { p.arr(sym::IMODSC, {NMODT, 4}, "IMODSC", {0, nm}); });
    for (int c = 1; c <= sym::NSYMC && p.ok() && p.held(); ++c)
        for (int k = 1; k <= sym::NMODSC[static_cast<std::size_t>(c)]; ++k)
            p.check(sym::IMODSC(k, c) >= 1, "B18", "IMODSC", "no mode at place " + std::to_string(k) +
                    " of component " + std::to_string(c));
    rec("B19", [&] { p.arr(sym::IMODPOS, {NMODT}, "IMODPOS", {0, sym::NSOLC}); });
    for (int j = 1; j <= sym::NSOLC && p.ok() && p.held(); ++j)
        p.check(sym::IMODPOS(sym::IMODORD(j)) == j, "B19", "IMODPOS",
                "not the solution position of mode " + std::to_string(sym::IMODORD(j)));
    if (NTANKS > 0) {
        rec("B20", [&] { p.arr(cfg::ZTANKFS, {NTANKS}, "ZTANKFS"); });
        rec("B21", [&] { p.arr(cfg::ITANKB, {NTANKS}, "ITANKB", {1, nb}); });
        // The tanks' restoring coefficients and volume moments grow with the
        // fourth power of the length, as the bodies' of B14.
        p.bounded(false);
        rec("B22", [&] { p.arr(cfg::CTANK, {9, NTANKS}, "CTANK"); });
        rec("B23", [&] { p.arr(cfg::VOLTANK, {3, NTANKS}, "VOLTANK"); });
        p.bounded(true);
        rec("B24", [&] { p.arr(ITANK, {cfg::ILOWHI == 0 ? NEQN : NPATCHT}, "ITANK", {0, NTANKS}); });
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
