// Higher-order geometry files: every body's patches by geometry kind (flat
// patches, geometry B-splines, geometry-model surfaces, user routine), the
// configuration's tank and dipole ranges, the symmetry images, the dipole
// and wavemaker classes, the tank levels, and the free-surface patches and
// waterline sides of every patch.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>
#include <vector>

#include "common/bounds.hpp"
#include "common/channels.hpp"
#include "common/freeread.hpp"
#include "common/messages.hpp"
#include "geometry/hogeom.hpp"
#include "geometry/model.hpp"
#include "geometry/modelin.hpp"
#include "geometry/modelmore.hpp"
#include "geometry/rgklink.hpp"
#include "geometry/trimhigh.hpp"
#include "panels/irrfs.hpp"
#include "main/config.hpp"
#include "main/fnames.hpp"
#include "platform/zorva_userlib.h"

namespace zorva {

using namespace model;
namespace fr = fread;

namespace {

constexpr int IUUSR = 2, IUTKDP = 21, IULINES = 28;
constexpr int MAXGORD = MAXBSPLORD;  // largest geometry B-spline order
constexpr int MAXTRIMWL = 1000;  // largest waterline-trimming grid

// Keyword of a dipole line: the text before "=", leading blanks skipped,
// letters raised to upper case.
std::string keyword(const std::string& line) {
    std::string k = line.substr(0, line.find('='));
    k.erase(0, k.find_first_not_of(' '));
    k.erase(k.find_last_not_of(' ') + 1);
    for (char& c : k) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return k;
}

// Patch centre (or another point) with its normal; false after a message.
bool evaluate(float u, float v, int ib, int q, float* x, float* vn, int mode, int iglob) {
    float xu[3], xv[3], aj = 0.0f;
    int ierr = 0;
    BODYGEOM(u, v, ib, q, x, vn, xu, xv, aj, mode, iglob, ierr);
    if (ierr == 0 && COORDSOK(x, 3, 1.0f)) return true;
    // A point far out (or not finite) comes from a geometry that no
    // coordinate check of a file reached: a model or the user routine.
    ERRMSG(ierr != 0 ? " Error calling BODYGEOM from RDGDFH, NPATCH="
                     : " Error: patch point beyond 1.E6 x ULEN or not finite, NPATCH=",
           q);
    ERRMSG("                                     NBODY =", ib);
    return false;
}

// Centre of patch q of body ib.
struct Centre {
    int ib, q;
    float x[3];
};

// False (after a message) when two patches of one body share their centre:
// a patch given twice, whose points would meet the other's.
bool distinct(std::vector<Centre>& c) {
    constexpr float TOL = 1.0E-5f;
    std::sort(c.begin(), c.end(), [](const Centre& a, const Centre& b) {
        return a.ib != b.ib ? a.ib < b.ib : a.x[0] < b.x[0];
    });
    for (std::size_t i = 0; i < c.size(); ++i)
        for (std::size_t j = i + 1; j < c.size() && c[j].ib == c[i].ib && c[j].x[0] - c[i].x[0] <= TOL; ++j) {
            const float d[3] = {c[j].x[0] - c[i].x[0], c[j].x[1] - c[i].x[1], c[j].x[2] - c[i].x[2]};
            if (d[0] * d[0] + d[1] * d[1] + d[2] * d[2] > TOL * TOL) continue;
            ERRMSG(" Error: two patches with the same centre, NPATCH =", std::min(c[i].q, c[j].q));
            ERRMSG("                                      and NPATCH =", std::max(c[i].q, c[j].q));
            return false;
        }
    return true;
}

}  // namespace

void RDGDFH(int IU, int& IERR) {
    IERR = 0;
    const int nb = cfg::NBODY;
    auto fail = [&](const char* text, int value) {
        ERRMSG(text, value);
        chan::close(IU);
        IERR = 1;
    };
    auto nomem = [&] { fail("Allocation error in RDGDF, RAM too small ", 0); };
    auto stop = [&] {  // after the callee's message
        chan::close(IU);
        IERR = 1;
    };
    // The trimming grid: ITRIMWL intervals a side on each patch (0: no
    // trimming); a finer grid only slows every evaluation on a cut patch.
    if (cfg::ITRIMWL > MAXTRIMWL) {  // below 0 refused when read
        ERRMSG("Error in CONFIG file " + fnames::FILECFG + ": ITRIMWL outside 0 to " + std::to_string(MAXTRIMWL) +
                   " (intervals a side of the waterline-trimming grid of each patch), ITRIMWL=" +
                   std::to_string(cfg::ITRIMWL),
               0);
        cfg::name_given("ITRIMWL");
        IERR = 1;
        return;
    }
    if (!NPATCHB.allocate(nb) || !IPSTART.allocate(nb) || !NGXLINE.allocate(nb) || !IPATOFF.allocate(nb) ||
        !NPAND.allocate(nb))
        return nomem();
    NPATCHT = NPATCHR = NPATCHLIM = NCOEFT = MAXKUG = MAXKVG = MAXKNOT = 0;
    IDIPSYM = 0;
    if (chan::open_scratch(IULINES) != 0) return fail("Error opening scratch file for GEOMXACT data lines", 0);

    int running = 0, nflat = 0, ngeo = 0;
    bool shared = false;
    for (int ib = 1; ib <= nb; ++ib) {
        IPSTART(ib) = NPATCHR + 1;
        const int d = std::abs(IS(1, ib) - ISX) + std::abs(IS(2, ib) - ISY);
        const int images = d == 0 ? 1 : d == 1 ? 2 : 4;
        int ierr = 0;
        if (IGDEF(ib) != 2) {
            NPATCHB(ib) = images * NPATCH(ib);
            NPATCHT += NPATCH(ib);
            NPATCHR += NPATCHB(ib);
            GROWDIPW(NPATCHR, 0, ierr);
            if (ierr != 0) return nomem();
        }

        if (chan::open(IU, fnames::GDFNAME(ib), chan::Status::Old) != 0)
            return fail("Geometric data file cannot be opened for body N=", ib);
        std::string title;
        float r2[2];
        int i2[2];
        if (fr::read_text(IU, title, 80) != 0) return fail("Error reading header line from GDF for body N=", ib);
        if (fr::read_group(IU, {fr::R(r2, 2)}) != 0) return fail("Error reading ULEN, GRAV from GDF for body N=", ib);
        if (fr::read_group(IU, {fr::I(i2, 2)}) != 0) return fail("Error reading ISX,ISY from GDF for body N=", ib);
        if (fr::read_group(IU, {fr::I(i2, 2)}) != 0)
            return fail("Error reading NPATCH, IGDEF from GDF for body N=", ib);

        // Dipole lines: "NPATCH_DIPOLE = n", then "IPATCH_DIPOLE = p1 .. pn"
        // (all on that line).  A line without "=" is the first record of
        // what follows.
        for (int k = 1, n = 0; k <= 2; ++k) {
            std::string line;
            const int st = fr::read_text(IU, line, 80);
            if (st == 1) return fail("Error reading data from GDF for body N=", ib);
            if (st == -1 || line.find('=') == std::string::npos) {
                if (st == 0) chan::backspace(IU);
                break;
            }
            if (IGDEF(ib) == 2) return fail("Error: IGDEF=2 and dipole data in GDF for body N=", ib);
            if (keyword(line) != (k == 1 ? "NPATCH_DIPOLE" : "IPATCH_DIPOLE"))
                return fail("Error reading data from GDF for body N=", ib);
            const std::string values = line.substr(line.find('=') + 1);
            if (k == 1) {
                if (fr::parse_group(values, {fr::I(n)}) != 0 || n < 0 || n > NPATCH(ib))
                    return fail("Error reading data from GDF for body N=", ib);
                if (n == 0) break;
            } else {
                std::vector<int> ps(static_cast<std::size_t>(n));
                if (fr::parse_group(values, {fr::I(ps.data(), n)}) != 0)
                    return fail("Error reading data from GDF for body N=", ib);
                // Patch numbers outside the body's patches are refused.
                for (int p : ps)
                    if (p < 1 || p > NPATCH(ib)) return fail("Error reading data from GDF for body N=", ib);
                cfg::IDIPOLE = 1;
                for (int p : ps) IDIPWM(IPSTART(ib) + p - 1) = 1;
            }
        }

        if (IGDEF(ib) == 0) {
            IPATOFF(ib) = nflat;
            RDXVER(IU, nflat + 1, NPATCH(ib), 1.0E-6f - cfg::XBODY(3, ib), 0, ierr);
            if (ierr != 0) return fail("Error reading XVER array from GDF for body N=", ib);
            nflat += NPATCH(ib);
        } else if (IGDEF(ib) == 1) {
            IPATOFF(ib) = ngeo;
            GROWBSP4(ngeo + NPATCH(ib), ierr);
            if (ierr != 0) return nomem();
            for (int p = 1; p <= NPATCH(ib); ++p) {
                const int j = ngeo + p;
                if (fr::read_group(IU, {fr::I(IUGOFF(j)), fr::I(IVGOFF(j))}) != 0 || IUGOFF(j) < 1 ||
                    IVGOFF(j) < 1 || IUGOFF(j) > fr::MAXITEMS || IVGOFF(j) > fr::MAXITEMS)
                    return fail("Number of panels for geometry cannot be read for body N=", ib);
                if (fr::read_group(IU, {fr::I(KUG(j)), fr::I(KVG(j))}) != 0 || KUG(j) < 2 || KVG(j) < 2 ||
                    KUG(j) > MAXGORD || KVG(j) > MAXGORD)
                    return fail("B-spline order for geometry cannot be read for body N=", ib);
                MAXKUG = std::max(MAXKUG, KUG(j));
                MAXKVG = std::max(MAXKVG, KVG(j));
                NUG(j) = IUGOFF(j) + KUG(j) - 1;
                NVG(j) = IVGOFF(j) + KVG(j) - 1;
                const int nku = NUG(j) + KUG(j), nkv = NVG(j) + KVG(j);
                const long ncp = static_cast<long>(NUG(j)) * NVG(j);
                if (ncp > fr::MAXITEMS) return fail("Number of panels for geometry cannot be read for body N=", ib);
                MAXKNOT = std::max({MAXKNOT, nku, nkv});
                GROWBSP3(MAXKNOT, ngeo + NPATCH(ib), ierr);
                if (ierr != 0) return nomem();
                bool knots_ok = fr::read_group(IU, {fr::R(&UKNOTG(1, j), nku)}) == 0 &&
                                fr::read_group(IU, {fr::R(&VKNOTG(1, j), nkv)}) == 0;
                for (int i = 2; knots_ok && i <= nku; ++i) knots_ok = UKNOTG(i, j) >= UKNOTG(i - 1, j);
                for (int i = 2; knots_ok && i <= nkv; ++i) knots_ok = VKNOTG(i, j) >= VKNOTG(i - 1, j);
                knots_ok = knots_ok && UKNOTG(NUG(j) + 1, j) > UKNOTG(KUG(j), j) &&
                           VKNOTG(NVG(j) + 1, j) > VKNOTG(KVG(j), j);
                knots_ok = knots_ok && COORDSOK(&UKNOTG(1, j), nku, 1.0f) && COORDSOK(&VKNOTG(1, j), nkv, 1.0f);
                if (!knots_ok) return fail("Knot vector for geometry cannot be read for body N=", ib);
                if (NCOEFT + ncp > fr::MAXITEMS) return fail("Coefficients for geometry cannot be read for body N=", ib);
                GROWBSP2(NCOEFT + static_cast<int>(ncp), ierr);
                if (ierr != 0) return nomem();
                for (long c = 1; c <= ncp; ++c) {
                    if (fr::read_group(IU, {fr::R(&XCOEFG(1, NCOEFT + c), 3)}) != 0)
                        return fail("Coefficients for geometry cannot be read for body N=", ib);
                    if (!COORDSOK(&XCOEFG(1, NCOEFT + c), 3, ULENI))
                        return fail("Error in GDF file: coefficient XCOEF beyond 1.E6 x ULEN for body N=", ib);
                }
                NCOEFT += static_cast<int>(ncp);
                GEOPAR1(1, j) = (UKNOTG(NUG(j) + 1, j) - UKNOTG(KUG(j), j)) / 2.0f;
                GEOPAR1(2, j) = (UKNOTG(KUG(j), j) + UKNOTG(NUG(j) + 1, j)) / 2.0f;
                GEOPAR2(1, j) = (VKNOTG(NVG(j) + 1, j) - VKNOTG(KVG(j), j)) / 2.0f;
                GEOPAR2(2, j) = (VKNOTG(KVG(j), j) + VKNOTG(NVG(j) + 1, j)) / 2.0f;
            }
            ngeo += NPATCH(ib);
            GROWBSP1(MAXKUG, MAXKVG, ierr);
            if (ierr != 0) return nomem();
        } else if (IGDEF(ib) == 2) {
            int n = 0;
            RGKNPATCH(ib, n);
            if (n < 0) return fail("Error calling RGKNPATCH, body ", ib);
            if (n == 0 || n > fr::MAXITEMS) return fail("Error: no patches or too many in the geometry model, body ", ib);
            NPATCH(ib) = n;
            NPATCHB(ib) = images * n;
            NPATCHR += NPATCHB(ib);
            GROWDIPW(NPATCHR, 0, ierr);
            if (ierr != 0) return nomem();
            for (int p = 1; p <= n; ++p) {
                int type = 0, tank = 0;
                RGKPATTYPE(ib, p, type, tank, ierr);
                if (ierr != 0) return fail("Error calling RGKPATTYPE, body ", ib);
                if (tank > 0 && cfg::NTANKS == 0) return fail("Tanks in MS2 file require NPTANK input in CFG file, body ", ib);
                if (type == 2) {
                    IDIPWM(IPSTART(ib) + p - 1) = 1;
                    cfg::IDIPOLE = 1;
                }
            }
        } else {
            int nlines = 0;
            if (fr::read_group(IU, {fr::I(nlines)}) != 0 || nlines < 0 || nlines > fr::MAXITEMS)
                return fail("Error reading GEOMXACT data from GDF for body N=", ib);
            if (chan::open_scratch(IUUSR) != 0) return fail("Error reading GEOMXACT data from GDF for body N=", ib);
            for (int l = 1; l <= nlines; ++l) {
                std::string line;
                if (fr::read_line(IU, line) != 0) {
                    chan::close(IUUSR);
                    return fail("Error reading GEOMXACT data from GDF for body N=", ib);
                }
                chan::write_line(IUUSR, line.substr(0, 80));
                ++NGXLINE(ib);
            }
            chan::rewind(IUUSR);
            if (NGXLINE(ib) > 0) {
                const float zero = 0.0f;
                const int ip0 = 0, irr0 = 0, unit = IUUSR;
                float x[3], xu[3], xv[3];
                GEOMXACT(&zero, &zero, &ib, &ip0, &IS(1, ib), &NPATCH(ib), &irr0, x, xu, xv, &IGDEF(1), &unit, &ierr);
                if (ierr != 0) {
                    chan::close(IUUSR);
                    return fail(" Error reading data in GDF file from GEOMXACT", 0);
                }
                chan::rewind(IUUSR);
                std::string line;
                for (int l = 1; l <= NGXLINE(ib) && chan::read_line(IUUSR, line) == 0; ++l)
                    chan::write_line(IULINES, line);
            }
            chan::close(IUUSR);
            for (int b = 1; b < ib && !shared; ++b) shared = IGDEF(b) == IGDEF(ib);
        }

        RDTKDP(ib, IPSTART(ib), NPATCH(ib), ierr);
        if (ierr != 0) return stop();
        GROWPIR(NPATCHR, 0, ierr);
        if (ierr != 0) return stop();

        // Symmetry images: ids 1 (as read), 2 (mirror in x), 3 (in x and y),
        // 4 (in y); with one plane to add and that plane y = 0, the second
        // image is id 4.
        for (int g = 1; g <= images; ++g) {
            const int id = g == 2 && IS(1, ib) == ISX ? 4 : g;
            for (int p = 1; p <= NPATCH(ib); ++p) {
                const int q = IPSTART(ib) + (g - 1) * NPATCH(ib) + p - 1;
                IPIR(q) = running + p;
                IPRL(q) = p;
                IPREF(q) = id;
            }
        }
        running += NPATCH(ib);

        float x[3], vn[3];
        if (cfg::IBODY_WAVEMAKER >= 1 && ib >= cfg::IBODY_WAVEMAKER) {
            for (int q = IPSTART(ib); q < IPSTART(ib) + NPATCHB(ib); ++q) {
                if (!evaluate(0.0f, 0.0f, ib, q, x, vn, 0, 0)) return stop();
                if (cfg::IWALLX0 == 1 && std::fabs(x[0]) < 1.0E-5f) IDIPWM(q) = -2;
                if (cfg::IWALLY0 == 1 && std::fabs(x[1]) < 1.0E-5f) IDIPWM(q) = -3;
                if (IDIPWM(q) > -2) return fail(" Wavemaker is not in wall for global patch ", q);
            }
        } else if (cfg::IDIPOLE == 1) {
            int kept = 0;
            if (d == 1 && IS(1, ib) == 1 && IS(2, ib) == 1) kept = ISX == 1 ? 2 : ISY == 1 ? 3 : 0;
            for (int p = 1; p <= NPATCH(ib); ++p) {
                const int q = IPSTART(ib) + p - 1;
                if (IDIPWM(q) != 1) continue;
                if (!evaluate(0.0f, 0.0f, ib, q, x, vn, 0, 0)) return stop();
                int c = IS(1, ib) == 1 && std::fabs(x[0]) < 1.0E-5f ? 2 : 1;
                if (IS(2, ib) == 1 && std::fabs(x[1]) < 1.0E-5f) c = 3;
                const bool all = c < 2 || d == 0 || c == kept;
                for (int g = 1; g <= images; ++g)
                    IDIPWM(q + (g - 1) * NPATCH(ib)) = all ? c : (g % 2 == 1 ? 1 : -1);
            }
            // Mirror images that coincide with a kept patch go.
            for (int q = NPATCHR; q >= IPSTART(ib) + NPATCH(ib); --q) {
                if (IDIPWM(q) >= 0) continue;
                GROWDIPW(-1, q, ierr);
                if (ierr == 0) GROWPIR(-1, q, ierr);
                if (ierr != 0) return stop();
                --NPATCHB(ib);
                --NPATCHR;
            }
        }
        chan::close(IU);
    }
    NPANT = nflat;
    // The dipole and wavemaker classes are kept for the run when any patch
    // has one.
    for (int q = 1; q <= NPATCHR && IDIPSYM == 0; ++q) IDIPSYM = IDIPWM(q) != 0 ? 1 : 0;

    chan::rewind(IULINES);
    if (cfg::IWALLX0 > 0) ISX = -1;
    if (cfg::IWALLY0 > 0) ISY = -1;

    int ierr = 0;
    GROWBPTH(NPATCHR, 0, ierr);
    if (ierr == 0) GROWTANK(NPATCHR, 0, ierr);
    if (ierr != 0) {
        IERR = 1;
        return;
    }
    for (int ib = 1; ib <= nb; ++ib)
        for (int q = IPSTART(ib); q < IPSTART(ib) + NPATCHB(ib); ++q) IBPTH(q) = ib;
    chan::close(IUTKDP);

    if (cfg::NTANKS > 0) {
        for (int ib = 1; ib <= nb; ++ib) {
            if (IGDEF(ib) != 2) continue;
            int n = 0;
            RGKNTANK(ib, n);
            if (n != (ib <= cfg::NTANKB.extent(1) ? cfg::NTANKB(ib) : 0)) {
                ERRMSG("Error: NTANKS different in CFG and MS2 files, body ", ib);
                IERR = 1;
                return;
            }
            for (int p = 1; p <= NPATCH(ib); ++p) {
                int type = 0, t = 0;
                RGKPATTYPE(ib, p, type, t, ierr);
                if (ierr != 0 || t < 0 || t > cfg::NTANKS) {
                    ERRMSG("Error calling RGKPATTYPE, body ", ib);
                    IERR = 1;
                    return;
                }
                if (t > 0) {
                    ITANK(IPSTART(ib) + p - 1) = t;
                    cfg::ITANKB(t) = ib;
                }
            }
        }
    }

    // Tank levels: the highest corner of the first-image patch of each tank
    // patch, unless the configuration gives them with trimming on.
    int lastt = 0;
    for (int q = 1; q <= NPATCHR; ++q) {
        const int ib = IBPTH(q), s = IPSTART(ib) + IPRL(q) - 1, t = ITANK(s);
        if (t == 0) {
            lastt = 0;
            continue;
        }
        ITANK(q) = t;
        if (cfg::IZTANKFS == 1 && cfg::ITRIMWL >= 1) continue;
        float zmax = -1.0E30f;
        for (const auto& c : {std::array<float, 2>{1, -1}, {1, 1}, {-1, 1}, {-1, -1}}) {
            float x[3], vn[3];
            if (!evaluate(c[0], c[1], ib, s, x, vn, 0, 0)) {
                IERR = 1;
                return;
            }
            zmax = std::max(zmax, x[2]);
        }
        if (t <= cfg::ZTANKFS.extent(1) && (t != lastt || zmax > cfg::ZTANKFS(t))) cfg::ZTANKFS(t) = zmax;
        lastt = t;
    }

    // Trimming: the sub-patch list (no trimming: each patch its own source).
    NPATCHW = NPATCHR;
    if (cfg::ITRIMWL < 1) TRIMWLH(NPATCHR, -1, IERR);
    else TRIMWLB(IERR);
    if (IERR != 0) return;
    GROWWTL(std::max(NPATCHR, NPATCHW), 0, IERR);
    if (IERR != 0) return;

    // Free-surface patches: centre at the free surface with a vertical normal.
    std::vector<Centre> centres;
    for (int q = 1; q <= NPATCHW; ++q) {
        const int ib = IBPTH(q), t = ITANK(q);
        float x[3], vn[3];
        IFSPAT(q) = 0;
        if (!evaluate(0.0f, 0.0f, ib, q, x, vn, 1, NWALL)) {
            IERR = 1;
            return;
        }
        centres.push_back({ib, q, {x[0], x[1], x[2]}});
        if (t == 0) {
            ZBDYFS(q) = NWALL == 0 ? -cfg::XBODY(3, ib) : 0.0f;
            const float dz = x[2] - ZBDYFS(q);
            if (dz > 1.0E-6f) {
                ERRMSG(" Patch is above the free surface. NPATCH =", q);
                ERRMSG("                                  NBODY  =", ib);
                IERR = 1;
                return;
            }
            if (dz >= -FSGAP) {
                if (vn[2] > 0.9999f) IFSPAT(q) = 1;
                if (vn[2] < -0.9999f) IFSPAT(q) = -1;
            }
            if (cfg::ILOG == 0 && IFSPAT(q) != 0) {
                ERRMSG(" ILOG=1 required with free surface patch, NPATCH=", q);
                ERRMSG("                                       NBODY  =", ib);
                IERR = 1;
                return;
            }
            if (IFSPAT(q) == -1 && cfg::IRR(ib) != 1) {
                ERRMSG(" Interior free surface patch and IRR/=1, NPATCH=", q);
                IERR = 1;
                return;
            }
        } else {
            ZBDYFS(q) = t <= cfg::ZTANKFS.extent(1) ? cfg::ZTANKFS(t) : 0.0f;
            if (std::fabs(x[2] - ZBDYFS(q)) < 1.0E-6f && vn[2] > 0.9999f) IFSPAT(q) = 1;
        }
    }
    if (!distinct(centres)) {
        IERR = 1;
        return;
    }
    for (int ib = 1; ib <= nb; ++ib) {
        if (cfg::IRR(ib) != 1) continue;
        bool lid = false;
        for (int q = 1; q <= NPATCHW; ++q) lid = lid || (IBPTH(q) == ib && IFSPAT(q) == -1);
        if (!lid) ERRMSG(" Warning: IRR=1 but no interior free-surface for body=", ib);
    }

    // Waterline sides: both corners and the midpoint of the side at the
    // free surface.
    constexpr float CU[5] = {0, 1, 1, -1, -1}, CV[5] = {0, -1, 1, 1, -1};  // corners 1..4
    constexpr float MU[5] = {0, 1, 0, -1, 0}, MV[5] = {0, 0, 1, 0, -1};    // side midpoints
    for (int q = 1; q <= NPATCHW; ++q) {
        const int ib = IBPTH(q);
        float S[6];
        PSIDLEN(S, ib, q, IERR);
        if (IERR != 0) return;
        if (cfg::PANEL_SIZE > 0.0f) {
            ARCLEN(q) = std::max({S[1], S[3], S[5]});
            WTLARR5(q) = std::max({S[0], S[2], S[4]});
        }
        IWTL(q) = 0;
        if (IFSPAT(q) != 0) continue;
        float zc[5], zm[5];
        for (int c = 1; c <= 4; ++c) {
            float xc[3], xm[3], vn[3];
            if (!evaluate(CU[c], CV[c], ib, q, xc, vn, 0, NWALL) || !evaluate(MU[c], MV[c], ib, q, xm, vn, 0, NWALL)) {
                IERR = 1;
                return;
            }
            zc[c] = xc[2];
            zm[c] = xm[2];
        }
        const float smax = *std::max_element(S, S + 6), tol = std::max(1.0E-4f * smax, 1.0E-4f);
        const float len[5] = {0, S[0], S[1], S[2], S[3]};
        int nside = 0;
        for (int s = 1; s <= 4; ++s) {
            const int e = s % 4 + 1;
            if (std::fabs(zc[s] - zc[e]) < tol && std::fabs(zc[s] - ZBDYFS(q)) < tol &&
                std::fabs(zm[s] - ZBDYFS(q)) < tol && len[s] >= tol) {
                IWTL(q) |= 1 << (s - 1);
                ++nside;
            }
        }
        if (nside > 1 && cfg::IRR(ib) == 3) {
            ERRMSG(" Error: IRR=3 and >1 side on free surface, NPATCH =", IPGDF(q));
            IERR = 1;
            return;
        }
        if (nside > 2) ERRMSG(" Warning: >2 sides on free surface, NPATCH =", IPGDF(q));
    }

    // Interior free-surface patches are numbered after the body patches,
    // which after trimming are the sub-patches.
    NPATCHLIM = cfg::ITRIMWL >= 1 ? NPATCHW : NPATCHR;
    NPATCHBD = NPATCHW;
    int irrmax = 0;
    for (int ib = 1; ib <= nb; ++ib) irrmax = std::max(irrmax, cfg::IRR(ib));
    if (irrmax > 1) {
        INTFSH({ISX, ISY}, IERR);
        if (IERR != 0) return;
    }
    if (shared) {
        ERRMSG(" Warning: Multiple bodies using same IGDEF, GEOMXACT ", 0);
        ERRMSG("          Check that gdf data is consistent. ", 0);
    }
}

}  // namespace zorva
