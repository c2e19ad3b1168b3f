// First pass over the bodies' geometry files: headers, length scale and
// gravity, symmetry and walls, the bodies' frames and trim, and the
// geometry kernel's set-up file rgkinit.txt for geometry-model bodies.
#include <cmath>
#include <string>

#include "common/bounds.hpp"
#include "common/channels.hpp"
#include "common/fmtwrite.hpp"
#include "common/fnamext.hpp"
#include "common/freeread.hpp"
#include "common/messages.hpp"
#include "geometry/model.hpp"
#include "geometry/modelin.hpp"
#include "geometry/rgklink.hpp"
#include "main/config.hpp"
#include "main/fnames.hpp"

namespace zorva {

using namespace model;
namespace fr = fread;

namespace {

constexpr int IURGK = 3;  // rgkinit.txt

void rgkline(const std::string& s) { chan::write_line(IURGK, s); }

std::string rtrim(std::string s) {
    s.erase(s.find_last_not_of(' ') + 1);
    return s;
}

}  // namespace

void RDGDF(int IU, int& IERR) {
    IERR = 0;
    const int nb = cfg::NBODY;
    auto fail = [&](const char* text, int value) {
        ERRMSG(text, value);
        chan::close(IU);
        IERR = 1;
    };
    if (!CSPHIB.allocate(2, nb) || !NPATCH.allocate(nb) || !IGDEF.allocate(nb) || !IS.allocate(2, nb) ||
        !TRIMCS.allocate(4, nb) || !IREFLB.allocate(2, nb))
        return fail("Allocation error in RDGDF, RAM too small ", 0);
    NRGKBODY = 0;
    NRGKLINES = 0;
    if (cfg::ITRIMWL != 0 && (!cfg::XTRIM.allocated() || cfg::XTRIM.extent(2) < nb)) {
        int ierr = 0;
        cfg::GROWXTRIM(nb, ierr);
        if (ierr != 0) {
            IERR = 1;
            return;
        }
    }

    for (int ib = 1; ib <= nb; ++ib) {
        const std::string& name = fnames::GDFNAME(ib);
        if (chan::open(IU, name, chan::Status::Old) != 0)
            return fail("Geometric data file cannot be opened for body N=", ib);
        float grav = 0.0f;
        if (fr::read_text(IU, GDFTITLE(ib), 72) != 0) return fail("Error reading GDF file header for body N=", ib);
        if (fr::read_group(IU, {fr::R(ULEN(ib)), fr::R(grav)}) != 0)
            return fail("Error reading GDF file, ULEN,GRAV line for body N=", ib);

        if (ib == 1) {
            if (!long_enough(ULEN(1))) return fail(" Body length ULEN less than 1.E-05 for body N=", 1);
            // Gravity divides every wavenumber: zero or negative is no
            // value for it.
            if (!(grav > 0.0f)) return fail("Error in value of GRAV in GDF for body N=", 1);
            ULENI = 1.0f / ULEN(1);
            GRAV = grav;
            if (cfg::IZTANKFS == 1)
                for (int t = 1; t <= cfg::NTANKS; ++t) cfg::ZTANKFS(t) *= ULENI;
        } else {
            if (std::fabs(GRAV - grav) > 0.1f) return fail("Error in value of GRAV in GDF for body N=", ib);
            if (std::fabs(ULEN(1) - ULEN(ib)) > 1.0E-5f) ERRMSG("Warning: ULEN for body N=1 differs from body N=", ib);
        }
        // The .p2f file carries every body's length and the gravity.
        if (!(ULEN(ib) > 0.0f) || !carried(ULEN(ib)) || !carried(grav))
            return fail("Error in GDF file: ULEN or GRAV not positive or beyond 1.E10 for body N=", ib);

        if (!COORDSOK(cfg::XBODY.ptr(1, ib), 3, ULENI) || !(std::fabs(cfg::XBODY(4, ib)) <= MAXANGLE)) {
            const bool incfg = cfg::CFGSET.allocated() && cfg::CFGSET(cfg::KEYXBODY) == 1;
            const char* text =
                incfg ? "Error in CONFIG file: XBODY beyond 1.E6 x ULEN or 10000 degrees for body N="
                : cfg::IALTPOT != 2 && !FILEGGDF.empty()
                    ? "Error in global GDF file: XBODY beyond 1.E6 x ULEN or 10000 degrees for body N="
                    : "Error in POT file: XBODY beyond 1.E6 x ULEN or 10000 degrees for body N=";
            fail(text, ib);
            if (incfg) cfg::name_given("XBODY", ib);
            return;
        }
        for (int c = 1; c <= 3; ++c) cfg::XBODY(c, ib) *= ULENI;
        const float h = cfg::XBODY(4, ib) * 0.017453292f;
        CSPHIB(1, ib) = std::cos(h);
        CSPHIB(2, ib) = std::sin(h);

        if (cfg::ITRIMWL == 0) {
            for (int k = 1; k <= 4; ++k) TRIMCS(k, ib) = 0.0f;
        } else {
            if (!COORDSOK(cfg::XTRIM.ptr(1, ib), 1, ULENI) || !(std::fabs(cfg::XTRIM(2, ib)) <= MAXANGLE) ||
                !(std::fabs(cfg::XTRIM(3, ib)) <= MAXANGLE)) {
                std::string text = "Error in CONFIG file: XTRIM =";
                for (int c = 1; c <= 3; ++c) {
                    text += ' ';
                    text += fmt::num(cfg::XTRIM(c, ib));
                }
                text += ", sinkage beyond 1.E6 x ULEN or trim or heel beyond 10000 degrees, for body N=";
                fail(text.c_str(), ib);
                cfg::name_given("XTRIM", ib);
                return;
            }
            cfg::XTRIM(1, ib) *= ULENI;
            const float a = cfg::XTRIM(2, ib) * 0.017453292f, b = cfg::XTRIM(3, ib) * 0.017453292f;
            TRIMCS(1, ib) = std::cos(a);
            TRIMCS(2, ib) = std::sin(a);
            TRIMCS(3, ib) = std::cos(b);
            TRIMCS(4, ib) = std::sin(b);
            IREFLB(1, ib) = std::fabs(TRIMCS(2, ib)) > 1.0E-6f ? 1 : 0;
            IREFLB(2, ib) = std::fabs(TRIMCS(4, ib)) > 1.0E-6f ? 1 : 0;
        }

        if (fr::read_group(IU, {fr::I(IS.ptr(1, ib), 2)}) != 0)
            return fail("Error reading ISX,ISY from GDF for body N=", ib);
        if (cfg::ILOWHI == 0) {
            // A negative index marks a wall in that plane: -1 a plain wall,
            // -2 a wall about which the body is also symmetric.
            if (IS(1, ib) < 0) {
                cfg::IWALLX0 = 1;
                IS(1, ib) = -1 - IS(1, ib);
            }
            if (IS(2, ib) < 0) {
                cfg::IWALLY0 = 1;
                IS(2, ib) = -1 - IS(2, ib);
            }
        }
        if (IS(1, ib) < 0 || IS(1, ib) > 1 || IS(2, ib) < 0 || IS(2, ib) > 1)
            return fail("Illegal values for ISX, ISY in GDF file for body N=", ib);
        const bool sym = nb == 1 && std::fabs(h) <= 1.0E-6f;
        ISX = sym ? IS(1, ib) : 0;
        ISY = sym ? IS(2, ib) : 0;
        if (std::fabs(cfg::XBODY(1, ib)) > 1.0E-6f || cfg::IWALLX0 > 0 || IREFLB(1, ib) > 0) ISX = 0;
        if (std::fabs(cfg::XBODY(2, ib)) > 1.0E-6f || cfg::IWALLY0 > 0 || IREFLB(2, ib) > 0) ISY = 0;

        int nlines = 0;
        if (cfg::ILOWHI == 0) {
            if (fr::read_group(IU, {fr::I(NPANB(ib))}) != 0 || NPANB(ib) < 0 || NPANB(ib) > fr::MAXITEMS)
                return fail("Error reading NPAN or NPANC from GDF for body N=", ib);
            if (NPANB(ib) == 0) {
                if (fr::read_group(IU, {fr::I(nlines)}) != 0)
                    return fail("Error reading NPAND or NLINES from GDF for body N=", ib);
                float v[12];
                if (fr::read_group(IU, {fr::R(v, 12)}) != 0) {
                    // No panel follows: the body is written in the
                    // higher-order header form (NPATCH IGDEF, NLINES).
                    chan::rewind(IU);
                    int is2[2];
                    fr::read_text(IU, GDFTITLE(ib), 72);
                    fr::read_group(IU, {fr::R(ULEN(ib)), fr::R(grav)});
                    fr::read_group(IU, {fr::I(is2, 2)});
                    if (fr::read_group(IU, {fr::I(NPANB(ib)), fr::I(IGDEF(ib))}) != 0)
                        return fail("Error reading NPATCH, IGDEF from GDF for body N=", ib);
                    if (fr::read_group(IU, {fr::I(nlines)}) != 0)
                        return fail("Error reading NPAND or NLINES from GDF for body N=", ib);
                    NPATCH(ib) = NPANB(ib);
                }
            }
        } else {
            if (fr::read_group(IU, {fr::I(NPATCH(ib)), fr::I(IGDEF(ib))}) != 0 || IGDEF(ib) < 0)
                return fail("Error reading NPATCH, IGDEF from GDF for body N=", ib);
            // A body without patches has no unknowns; a geometry-model body
            // takes its patch count from the model.
            if (IGDEF(ib) != 2 && (NPATCH(ib) < 1 || NPATCH(ib) > fr::MAXITEMS))
                return fail("Error in GDF file: NPATCH outside 1 to 16777216 for body N=", ib);
            // NLINES serves only the geometry-model bodies here; line 5 of a
            // flat or B-spline body holds its first panel or patch data (a
            // coordinate need not read as an integer), which the
            // higher-order reader reads in its own pass.
            const int st = IGDEF(ib) == 2 ? fr::read_group(IU, {fr::I(nlines)}) : 0;
            if (st == -1 || (st == 0 && (nlines < 0 || nlines > fr::MAXITEMS)))
                return fail("Error reading NPAND or NLINES from GDF for body N=", ib);
            if (st != 0) {
                // A dipole line "NPATCH_DIPOLE = n": the next must be the
                // "IPATCH_DIPOLE = ..." line, then NLINES.
                std::string line;
                if (fr::read_text(IU, line, 80) != 0) return fail("Error reading data from GDF for body N=", ib);
                if (line.find('=') == std::string::npos)
                    return fail("Error reading NPAND or NLINES from GDF for body N=", ib);
                if (fr::read_group(IU, {fr::I(nlines)}) != 0 || nlines < 0 || nlines > fr::MAXITEMS)
                    return fail("Error reading NPAND or NLINES from GDF for body N=", ib);
            }
        }

        if (IGDEF(ib) == 2) {
            if (NRGKBODY == 0) {
                if (!WRRGKHEAD()) return fail("Error opening RGKINIT.TXT file ", 0);
                NRGKLINES = 3;
            }
            ++NRGKBODY;
            std::string ms2;
            FNAMEXT(name, ms2, "_ms2.gdf");
            rgkline("====================");
            rgkline(fmt::I(ib, 6) + fmt::I(cfg::IRR(ib), 6) + fmt::I(1, 6) + fmt::X(12) + "!IBODY, IRR, ITKMS2");
            rgkline(rtrim(name));
            rgkline(rtrim(ms2));
            rgkline(XBODYLINE(ib));
            rgkline(rtrim(GDFTITLE(ib)));
            rgkline(fmt::F(ULEN(ib), 12, 5) + fmt::F(grav, 12, 5) + fmt::X(6) + "!ULEN, GRAV");
            rgkline(fmt::I(IS(1, ib), 4) + fmt::I(IS(2, ib), 4) + fmt::X(22) + "!ISX, ISY");
            rgkline(fmt::I(NPATCH(ib), 4) + fmt::I(IGDEF(ib), 4) + fmt::X(22) + "!NPATCH, IGDEF");
            rgkline(fmt::I(nlines, 6) + fmt::X(24) + "!NLINES");
            for (int l = 1; l <= nlines; ++l) {
                std::string line;
                if (fr::read_text(IU, line, 80) != 0) return fail("Error reading data from GDF for body N=", ib);
                rgkline(rtrim(line));
            }
            NRGKLINES += nlines + 10;
        }

        ECHOINP(name, IU, IGDEF(ib) == 0 || IGDEF(ib) == 1 ? 10 : 0);
        chan::close(IU);
    }

    NWALL = cfg::IWALLX0 + cfg::IWALLY0;
    if (NRGKBODY >= 1) {
        chan::close(IURGK);
        int code = 0;
        RGKINIT(code);
        if (code != 0) {
            fail("Error return from subroutine RGKINIT, error code = ", code);
            RGKLOGNOTE();
        }
    }
}

}  // namespace zorva
