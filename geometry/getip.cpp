// Model input driver of a POTEN run: file names, the potential control
// file, the global and the bodies' geometry files, the panel list (low
// order) or the patch tables (higher order), the mode list, the period
// conversion, the block layout of the solver and the head of the run
// summary.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "common/channels.hpp"
#include "common/datetime.hpp"
#include "common/freeread.hpp"
#include "common/fmtwrite.hpp"
#include "common/messages.hpp"
#include "common/types.hpp"
#include "geometry/hogeom.hpp"
#include "geometry/lowout.hpp"
#include "geometry/model.hpp"
#include "geometry/modelin.hpp"
#include "geometry/modfile.hpp"
#include "geometry/rgklink.hpp"
#include "main/config.hpp"
#include "main/fnames.hpp"
#include "panels/irrfs.hpp"

namespace zorva {

using namespace model;

namespace {

constexpr int IUGDF = 11, IUPOT = 12, IUSPL = 14, IURGK = 3, IUSOL = 21, IUHDR = 22;

std::string rtrim(std::string s) {
    s.erase(s.find_last_not_of(' ') + 1);
    return s;
}

}  // namespace

void WRSUMM(const std::string& line) {
    const std::string s = rtrim(line);
    chan::write_line(IUHDR, s);
    chan::write_line(chan::SCREEN, s);
}

void PERCONV() {
    if (HBOT > 0.0f)
        HBOT *= ULENI;
    else
        HBOT = -1.0f;
    IPERSPC = 0;
    if (NPER < 1) return;
    constexpr float SMALL = 1.0E-6f, TWOPI = 6.2831855f;
    for (int i = 1; i <= NPER; ++i) {
        const float p = PER(i);
        if (p <= SMALL && std::fabs(p) <= SMALL) {
            PER(i) = 0.0f;
            WNUMNU(i) = 0.0f;
            IPERFL(i) = 2;
            IPERSPC = 1;
        } else if (p < -SMALL) {
            PER(i) = -1.0f;
            WNUMNU(i) = -1.0f;
            IPERFL(i) = 1;
        } else {
            IPERFL(i) = 0;
            if (cfg::IPERIO <= 2) {
                if (cfg::IPERIO == 2) PER(i) = TWOPI / p;
                // A frequency so high that the square of its period is lost
                // below the smallest float has no wavenumber in range: it
                // gets an infinite one, which the period check refuses.
                const float den = GRAV * PER(i) * PER(i);
                WNUMNU(i) = den > 0.0f ? FOURPI2 * ULEN(1) / den : HUGE_VALF;
            } else {
                // The value is a nondimensional wavenumber: K L in finite
                // depth (IPERIO = 4), else nu L.
                const float nu = cfg::IPERIO == 4 && HBOT > 0.0f ? p * std::tanh(p * HBOT) : p;
                PER(i) = TWOPI / std::sqrt(ULENI * GRAV * nu);
                WNUMNU(i) = nu;
            }
        }
    }
}

void BLKLAYOUT() {
    if (cfg::ISOLVE <= 1) return;
    // NEQN / ISOLVE rounded up, formed so that no ISOLVE can wrap it.
    NBLKSZ = NEQN / cfg::ISOLVE + (NEQN % cfg::ISOLVE != 0 ? 1 : 0);
    if (NBLKSZ == 1) {
        cfg::ISOLVE = 0;
        ERRMSG("WARNING: Block size = 1 ; ISOLVE is reset to =", cfg::ISOLVE);
    } else if (NBLKSZ == NEQN) {
        cfg::ISOLVE = 1;
        ERRMSG("WARNING: Block size = NEQN ; ISOLVE is reset to =", cfg::ISOLVE);
    } else {
        int n = NEQN / NBLKSZ;
        if (n * NBLKSZ == NEQN) {
            NBLKLAST = NBLKSZ;
        } else {
            NBLKLAST = NEQN - n * NBLKSZ;
            ++n;
        }
        if (n != cfg::ISOLVE) ERRMSG("WARNING: Number of blocks is reset to ", n);
        cfg::ISOLVE = n;
    }
}

void WTLPND(int NB, int& IERR) {
    IERR = 0;
    if (!XWTLD.allocate(std::max(NWLSEG, 0)) || !YWTLD.allocate(std::max(NWLSEG, 0)) ||
        !ZWTLD.allocate(cfg::NBODY)) {
        ERRMSG("Memory insufficient for *WTLD arrays in WTLPND in GETIP", 0);
        IERR = 1;
        return;
    }
    NWTLD = 0;
    if (NB < 1) return;
    int k = 0, s = 0, f = 1;
    for (int ib = 1; ib <= NB; ++ib) {
        for (int j = 1; j <= NWLPANB(ib); ++j) {
            ++s;
            const int p = f + IWLPAN(s) - 1;  // global panel of the segment
            if (IDIPWM(p) == 0 && ITANK(p) == 0) {
                ++k;
                XWTLD(k) = p;
                YWTLD(k) = IWLSIDE(s);
                ++ZWTLD(ib);
            }
        }
        f += NPANB(ib);
    }
    NWTLD = k;
}

void ALLMODE(int& IRAD_, int& IDIFF_, int& IERR) {
    IERR = 0;
    const int nb = cfg::NBODY;
    // The readers keep NEWMDS and NBODY within their limits; the mode count
    // is formed wide all the same so that no sum of them can wrap.
    long long nmodes = 6LL * nb;
    for (int ib = 1; ib <= nb; ++ib) nmodes += ib <= cfg::NEWMDS.extent(1) ? cfg::NEWMDS(ib) : 0;
    if (nmodes > fread::MAXITEMS) {
        ERRMSG(" Error allocating arrays IMODE,IBMOD in GETIP ", 0);
        IERR = 1;
        return;
    }
    NMODT = static_cast<int>(nmodes);
    if (!IMODERB.allocated() || IMODERB.extent(1) < 6 * nb) IMODERB.resize_keep(6 * nb);
    // Every MODE index 1 (any other value than 0 and 1 is refused below).
    bool allfree = true;
    for (int i = 1; i <= 6 * nb; ++i) allfree = allfree && IMODERB(i) == 1;
    if (!IBMOD.allocate(nb) || !IMODE.allocate(NMODT)) {
        ERRMSG(" Error allocating arrays IMODE,IBMOD in GETIP ", 0);
        IERR = 1;
        return;
    }
    int m0 = 0;
    for (int ib = 1; ib <= nb; ++ib) {
        IBMOD(ib) = m0;
        for (int k = 1; k <= 6; ++k) IMODE(m0 + k) = IMODERB(6 * (ib - 1) + k);
        if (IRAD_ == 1 || (IRAD_ == -1 && IDIFF_ == 1))
            for (int k = 1; k <= 6; ++k) IMODE(m0 + k) = 1;
        if (cfg::IBODY_WAVEMAKER > 0 && ib >= cfg::IBODY_WAVEMAKER)
            for (int k = 1; k <= 6; ++k) IMODE(m0 + k) = 0;
        for (int k = 1; k <= 6; ++k) {
            if (IMODE(m0 + k) == 1) {
                IMODE(m0 + k) = k;
            } else if (IMODE(m0 + k) != 0) {
                ERRMSG("Value of MODE index is illegal for body N=", ib);
                IERR = 1;
                return;
            }
        }
        const int nm = ib <= cfg::NEWMDS.extent(1) ? cfg::NEWMDS(ib) : 0;
        for (int k = 1; k <= nm; ++k) IMODE(m0 + 6 + k) = 1;
        m0 += 6 + nm;
    }
    if (allfree) {
        if (IRAD_ == 0) IRAD_ = 1;
        if (IDIFF_ == 0) IDIFF_ = 1;
    }
    IMODERB.deallocate();
}

void GETIP(int& IMODFL, int& NBETAX, int& IERR) {
    IERR = 0;
    if (!GDFTITLE.allocate(1) || !fnames::GDFNAME.resize_keep(1) || !NPANB.allocate(1) || !NWLPANB.allocate(1) ||
        !ULEN.allocate(1)) {
        ERRMSG("Insufficient memory to allocate input arrays", 0);
        IERR = 1;
        return;
    }
    NITMAX = cfg::MAXITT + 1;

    fnames::SETFNAMES(IUGDF, chan::KEYBOARD, chan::SCREEN, fnames::RUNFILES[5], fnames::EXTS, 0, IERR);
    if (IERR != 0) return;

    RDPOT(IUPOT, IERR);
    if (IERR != 0) return;
    NBETAX = std::max(NBETA, 1);

    if (chan::open_scratch(IUHDR) != 0) {
        ERRMSG("Error opening scratch file for the run summary", 0);
        IERR = 1;
        return;
    }

    if (cfg::ILOWHI == 0 && cfg::IALTPOT <= 1) {
        RDGLBGDF(IUGDF, IRAD, IDIFF, IERR);
        if (IERR != 0) return;
    }

    const int nb = cfg::NBODY;
    cfg::GROWGENM(nb, IERR);
    if (IERR == 0) cfg::GROWIRR(nb, 0, IERR);
    // IRR given for bodies beyond the run's: the surplus entries are dropped.
    if (IERR == 0 && cfg::IRR.extent(1) > nb && !cfg::IRR.resize_keep(nb)) IERR = 1;
    if (IERR == 0 && (!cfg::XTRIM.allocated() || cfg::XTRIM.extent(2) < nb)) cfg::GROWXTRIM(nb, IERR);
    if (IERR != 0) {
        ERRMSG("Insufficient memory to allocate input arrays", 0);
        return;
    }
    // Every body needs its position: the configuration may give XBODY for
    // fewer bodies than the run has.
    if (!cfg::XBODY.allocated() || cfg::XBODY.extent(2) < nb) {
        ERRMSG("XBODY is not given in the configuration file for body N=",
               static_cast<int>(cfg::XBODY.extent(2)) + 1);
        IERR = 1;
        return;
    }

    RDGDF(IUGDF, IERR);
    if (IERR != 0) return;

    if (cfg::ILOWHI == 0) {
        RDGDFL(IUGDF, IERR);
        if (IERR != 0) return;
        int irrmax = 0;
        for (int ib = 1; ib <= nb; ++ib) irrmax = std::max(irrmax, cfg::IRR(ib));
        if (irrmax == 3) {
            WTLPND(nb, IERR);
            if (IERR != 0) return;
            FSPANL(IUGDF, fnames::EXTS, {ISX, ISY}, NWTLD, cfg::ISOR, IERR);
            if (IERR != 0) return;
            GROWDIPW(NEQN, 0, IERR);
            if (IERR != 0) return;
            GROWTANK(NEQN, 0, IERR);
            if (IERR != 0) return;
        }
        if (cfg::ILOWGDF > 0 || cfg::IPLTDAT > 0) {
            WRLOWPAN(IERR);
            if (IERR != 0) return;
        }
    } else {
        if (NRGKBODY <= 0) {
            chan::close(IURGK, true);
        } else {
            chan::write_line(chan::SCREEN, " initializing ZUZovoza -- please wait ");
            chan::close(IURGK);
            int code = 0;
            RGKINIT(code);
            if (code > 0) {
                ERRMSG("Error return from subroutine RGKINIT, error code = ", code);
                RGKLOGNOTE();
                IERR = 1;
                return;
            }
            if (chan::open(IURGK, fnames::RUNFILES[3], chan::Status::Old) != 0) {
                ERRMSG("Error opening RGKINIT.TXT file ", 0);
                IERR = 1;
                return;
            }
        }
        RDGDFH(IUGDF, IERR);
        if (IERR != 0) return;
        RDSPL(fnames::EXTS, 4, IUSPL, NEQN, IERR);
        if (IERR != 0) return;
        if (cfg::ILOWGDF > 0 || cfg::IPLTDAT > 0) {
            // Plot output only: a failure (after its message) does not stop the run.
            int ierr = 0;
            PLTDATH(ierr);
        }
    }

    cfg::CFGSET.deallocate();

    ALLMODE(IRAD, IDIFF, IERR);
    if (IERR != 0) return;
    const std::vector<float> typed(PER.data(), PER.data() + NPER);  // the values as the file gives them
    PERCONV();
    CHKPER(typed.data(), IERR);
    if (IERR != 0) return;
    BLKLAYOUT();

    if (chan::open_scratch(IUSOL, chan::Form::Unformatted) != 0) {
        ERRMSG("Error opening scratch file for the period solutions", 0);
        IERR = 1;
        return;
    }
    IMODFL = 0;

    // Head of the run summary.
    if (cfg::ILOWHI == 0)
        WRSUMM(" Low-order panel method  (ILOWHI=0)        ");
    else if (cfg::PANEL_SIZE >= 0.0f)
        WRSUMM(" High-order panel method (ILOWHI=1) " + fmt::X(8) + " Panel_Size =" + fmt::F(cfg::PANEL_SIZE, 15, 5));
    else
        WRSUMM(" High-order panel method (ILOWHI=1)        ");
    WRSUMM("");
    if (nb == 1)
        WRSUMM(" Input from Geometric Data File:         " + fmt::ljust(fnames::GDFNAME(1), 20));
    else
        WRSUMM(" Input from Geometric Data Files:         ");
    for (int ib = 1; ib <= nb; ++ib) {
        if (nb > 1)
            WRSUMM("                               N=" + fmt::I(ib, 3) + fmt::X(5) + fmt::ljust(fnames::GDFNAME(ib), 20));
        WRSUMM(std::string(" ").append(fmt::ljust(GDFTITLE(ib), 72)));
        WRSUMM("");
        if (cfg::ILOWHI == 0 && cfg::NEWMDS(ib) > 0 && cfg::IGENMDS(ib) == 0) {
            RDMODF(14, fnames::EXTS, IUHDR, chan::SCREEN, IMODFL, cfg::NEWMDS(ib), ib, {IS(1, ib), IS(2, ib)},
                   NPANB(ib), NMODT, RUNDATE, RUNTIME);
        }
    }
    WRSUMM(" Input from Potential Control File:      " + fmt::ljust(fnames::FILEPOT, 20));
    WRSUMM(std::string(" ").append(fmt::ljust(POTTITLE, 72)));
    WRSUMM("");
    WRSUMM("");
    WRSUMM(" POTEN run date and starting time:" + fmt::X(8) + fmt::ljust(RUNDATE, 11) + "  -- " +
           fmt::rjust(RUNTIME, 9));
    if (cfg::ISOLVE >= 0) WRSUMM("    Period       Time           RAD      DIFF  (max iterations)");
}

}  // namespace zorva
