// The FORCE set-up: file names, the .p2f file and the force control file,
// the arrays of the FORCE stage, the geometry kernel where outputs need the
// body surfaces, the hydrostatics, the report header, the headings and
// options of the period loop and the numeric output files.
#include <algorithm>
#include <array>
#include <cmath>
#include <tuple>

#include "common/channels.hpp"
#include "common/messages.hpp"
#include "ctrlsurf/ctrlsurf.hpp"
#include "force/bodypts.hpp"
#include "force/force.hpp"
#include "geometry/model.hpp"
#include "geometry/modelmore.hpp"
#include "geometry/rgklink.hpp"
#include "main/config.hpp"
#include "main/fnames.hpp"
#include "main/runparams.hpp"
#include "main/symmetry.hpp"
#include "p2f/forcedata.hpp"
#include "p2f/forceprep.hpp"
#include "p2f/p2f.hpp"
#include "panels/geomdata.hpp"
#include "panels/paneldata.hpp"

namespace zorva {

namespace {
constexpr int IUOUT = 11, IUFRC = 12, IUP2F = 13;
// The force control file read ahead in a run of both stages; a body's own
// file on the unit after it, its matrix files on the three after that.
constexpr int IUFRCA = 95;

// Copies of module variables, put back when it goes.
template <typename... T>
class Restore {
public:
    explicit Restore(T&... v) : at_(&v...), was_(v...) {}
    ~Restore() {
        std::apply([this](T*... p) { std::apply([&](const T&... w) { ((*p = w), ...); }, was_); }, at_);
    }
    Restore(const Restore&) = delete;
    Restore& operator=(const Restore&) = delete;

private:
    std::tuple<T*...> at_;
    std::tuple<T...> was_;
};

// The solution columns before the first wavemaker column: all of them
// without wavemaker modes, none when body 1 is the wavemaker.  The columns
// of the wavemaker body and of every body after it follow the others.
int body_columns() {
    const int iwm = cfg::IBODY_WAVEMAKER;
    if (iwm <= 0) return sym::NSOLC;
    if (iwm == 1) return 0;
    const int off = iwm <= model::IBMOD.extent(1) ? model::IBMOD(iwm) : model::NMODT;
    for (int j = 1; j <= sym::NSOLC; ++j)
        if (sym::IMODORD(j) > off) return j - 1;
    return std::max(sym::NSOLC, 0);
}

// The options and the heading count as wavemaker columns or Haskind
// headings leave them for the period loop.
void settle(std::array<int, 10>& IOPTN, int& NBETA) {
    if (frc::NMODWM >= 1) {
        IOPTN[3] = 0;
        IOPTN[8] = 0;
    } else if (frc::NBETAH >= 1) {
        NBETA = frc::NBETAH;
        for (int i : {3, 5, 6, 7, 8, 9}) IOPTN[static_cast<std::size_t>(i)] = 0;
    }
}

// The option checks on the options and heading count as the period loop
// will see them, before the set-up writes any file: nothing is said and
// nothing changes unless they refuse the run (1, after all their messages).
// With NAMES, the names of the numeric files the options select first.
int options_refused(bool names) {
    Restore keep(run::IOPTN, model::NBETA);
    settle(run::IOPTN, model::NBETA);
    if (names) {
        int ierr = 0;
        CHKNUMOUT(ierr);
        if (ierr != 0) return 1;
    }
    MessageHold hold;
    int ierr = 0;
    CHKOPT(ierr);
    if (ierr != 0) hold.release();
    return ierr;
}
}  // namespace

void FRCSETUP(int& IERR) {
    using namespace model;
    using namespace frc;
    auto& IOPTN = run::IOPTN;
    IERR = 0;
    auto stop = [&IERR](std::string_view text, int n = 0) {
        ERRMSG(text, n);
        IERR = 1;
    };

    // Names and files.
    if (!cfg::NOOUT.allocate(9)) return stop("Insufficient RAM to allocate .P2F inputs");
    cfg::NOOUT.fill(1);
    fnames::SETFNAMES(IUOUT, IUKBD, IUSCR, fnames::RUNFILES[5], fnames::EXTS, 1, IERR);
    if (IERR != 0) return;
    // The report is opened once the inputs and options are accepted: a
    // refused run leaves no report behind.
    if (chan::exists(fnames::FILEOUT)) return stop("Unable to open new .OUT file");
    if (chan::open(IUFRC, fnames::FILEFRC, chan::Status::Old) != 0) return stop("Unable to open .FRC input file");
    ECHOINP(fnames::FILEFRC, IUFRC, 0);
    if (chan::open(IUP2F, fnames::FILEP2F, chan::Status::Old, chan::Form::Unformatted) != 0)
        return stop("Unable to open .P2F input file");

    // Header and heading counts.
    RDP2FH(IUP2F, IERR);
    if (IERR == 1) return;
    NBETA0 = NBETA;
    NBETAF = NBETA > 0 ? NBETA : 1;
    NBETAP = NBETAF;

    // Tables of an earlier configuration pass, then the FORCE arrays
    // that the readers do not size themselves.
    cfg::XBODY.deallocate();
    cfg::XTRIM.deallocate();
    if (cfg::NEWMDS.allocated()) {
        cfg::NEWMDS.deallocate();
        cfg::IGENMDS.deallocate();
    }
    const int nb = cfg::NBODY, nm = NMODT;
    if (!MODCOL.allocate(nm) || !MODNUM.allocate(nm) || !CGBODY.allocate(3, nb) || !XPRDCT.allocate(3, 3, nb) ||
        !IMASSB.allocate(3, nb) || !FILEFRCB.allocate(nb) || !HEADFRCB.allocate(nb) || !VMOMB.allocate(2, nb) ||
        !CZ33.allocate(nb) || !CZ34.allocate(nb) || !CZ35.allocate(nb) || !cfg::IALTFRCN.allocate(nb) ||
        !EXTMAT.allocate(3, nm, nm) || !EXTMATND.allocate(3, nm, nm) || !NBPT.allocate(nb))
        return stop("Insufficient RAM to allocate .P2F inputs");
    ITANK.allocate(cfg::ILOWHI == 0 ? NEQN : NPATCHT);
    if (cfg::NTANKS > 0) {
        cfg::RHOTANK.allocate(cfg::NTANKS);
        cfg::RHOTANK.fill(-1.0f);
        cfg::ZTANKFS.allocate(cfg::NTANKS);
        cfg::ITANKB.allocate(cfg::NTANKS);
    }

    // Configuration, then the model records.
    cfg::RDCONFIG(1, IERR);
    if (IERR == 1) return;
    if (cfg::ILOWHI == 0 && cfg::IQUAD != 1) {
        pnl::XVERG.allocate(1, 1, 1);
        pnl::PNLARR2.allocate(1, 1);
        pnl::PNLARR1.allocate(1, 1, 1);
    }
    RDP2F(IUP2F, IERR);
    if (IERR == 1) return;
    // The heading tables hold at least NBETAF entries.
    if (BETA.extent(1) < NBETAF) {
        BETA.resize_keep(NBETAF);
        SINBETA.resize_keep(NBETAF);
        COSBETA.resize_keep_fill(1.0f, NBETAF);
    }
    const Arr1<float> beta0 = BETA, sin0 = SINBETA, cos0 = COSBETA;

    // Output order of the solution columns.
    for (int j = 1; j <= sym::NSOLC; ++j) {
        MODCOL(j) = j;
        MODNUM(j) = sym::IMODORD(j);
    }
    if (cfg::MODLST != 1 && sym::NSYMC > 1) {
        int k = 1;
        for (int m = 1; m <= nm; ++m)
            for (int j = 1; j <= sym::NSOLC; ++j)
                if (MODNUM(j) == m) MODCOL(k++) = j;
    }

    // Length scale and the force control file.
    if (!(ULEN(1) > 0.0f)) return stop(" Length scale ULEN(1) in .P2F file not positive");
    ULENI = 1.0f / ULEN(1);
    RDFRC(IUFRC, ULENI, IERR);
    if (IERR == 1) return;

    // Columns: free, wavemaker.
    if (!MODEC.allocate(nm)) return stop("Insufficient RAM to allocate .FRC inputs");
    MODEC.fill(1);
    NMODFREE = 0;
    for (int j = 1; j <= sym::NSOLC; ++j) {
        if (MODE.allocated()) MODEC(j) = MODE(sym::IMODORD(j));
        if (!MODE.allocated() || MODEC(j) != 0) ++NMODFREE;
    }
    // Only a body number makes wavemaker modes (as in the POTEN run).
    NMODBD = body_columns();
    NMODWM = sym::NSOLC - NMODBD;
    if (cfg::IBODY_WAVEMAKER == 1)
        NMODFREE = 0;
    else if (cfg::IBODY_WAVEMAKER > 1)
        NMODFREE -= NMODWM;

    // Geometry kernel.
    if (model::NRGKBODY >= 1) {
        RDP2FRGK(IUP2F, IERR);
        if (IERR == 1) return;
        if (IOPTN[5] < 1 && IOPTN[6] < 1 && IOPTN[7] < 1 && IOPTN[9] < 1) {
            model::NRGKBODY = 0;
        } else {
            int ierr = 0;
            RGKINIT(ierr);
            if (ierr > 0) {
                stop("Error return from subroutine RGKINIT, error code = ", ierr);
                RGKLOGNOTE();
                return;
            }
        }
    }
    // Control surfaces.
    if (cfg::ICTRSURF > 0 && IOPTN[9] > 0) {
        RDCSF(IERR);
        if (IERR == 1) return;
    }
    // Hydrostatic products.
    for (int ib = 1, k = 0; ib <= nb; k += 6 + cfg::NEWMDS(ib), ++ib) {
        const float z = cfg::XBODY(3, ib);
        VMOMB(1, ib) = pnl::XBUOY(1, ib) * pnl::VOLB(ib);
        VMOMB(2, ib) = pnl::XBUOY(2, ib) * pnl::VOLB(ib);
        CZ33(ib) = pnl::CHYD(k + 3, k + 3) * z;
        CZ35(ib) = -(pnl::CHYD(k + 3, k + 5) * z);
        CZ34(ib) = pnl::CHYD(k + 3, k + 4) * z;
    }
    // Tanks, external RAOs, report header, hydrostatic matrix file.
    if (cfg::NTANKS > 0) {
        TANKHYD(nb, cfg::NTANKS, IERR);
        if (IERR == 1) return;
    }
    if (cfg::IREADRAO == 2) {
        RDRAO(IERR);
        if (IERR == 1) return;
    }
    if (options_refused(true) != 0) {
        IERR = 1;
        return;
    }
    if (chan::open(IUOUT, fnames::FILEOUT, chan::Status::Replace) != 0) return stop("Unable to open new .OUT file");
    std::string date, time;
    OPHEAD(date, time, IERR);
    if (IERR != 0) return;
    WRHST(date, time, IERR);
    if (IERR != 0) return;

    // Headings and options of the period loop.
    settle(IOPTN, NBETA);
    if (NMODWM >= 1) {
        if (NBETAH > 0) {
            // The wavemaker run keeps the POTEN headings.
            ERRMSG("WARNING: Haskind headings NBETAH not used with wavemaker modes", 0);
            BETA = beta0;
            SINBETA = sin0;
            COSBETA = cos0;
        }
        NBETAH = 0;
    } else if (NBETAH >= 1) {
        NBETAF = NBETAH;
        for (int i = 1; i <= NBETAH; ++i) {
            const float r = BETA(i) * 0.017453292f;
            SINBETA(i) = std::sin(r);
            COSBETA(i) = std::cos(r);
        }
    }
    auto pairs = [](int v, int n) { return v == 1 ? n : v == 2 ? n * (n + 1) / 2 : 1; };
    NDRIFT = std::max(pairs(IOPTN[8], NBETAF), pairs(IOPTN[9], NBETAF));
    NBETAX = std::max({NBETAF, NBETA, NMODWM});

    // The period's potentials and the results the options ask for.
    const long nsolc = sym::NSOLC, nsymf = sym::NSYMF, nf = NFIELD;
    bool ok = RADPOT.allocate(NEQN, nsolc) && DIFPOT.allocate(NEQN, NBETAP, sym::NSYMC) && RAO.allocate(nm, NBETAX);
    if (IOPTN[1] == 1 || IOPTN[4] >= 1) ok = ok && AMAT.allocate(nm, nm) && BMAT.allocate(nm, nm);
    if (IOPTN[2] == 1 || IOPTN[4] == 1) ok = ok && FEXH.allocate(nm, NBETAX);
    if (IOPTN[3] == 1 || IOPTN[4] == 2) ok = ok && FEXD.allocate(nm, NBETAF);
    if (IOPTN[6] > 0) ok = ok && PTOTF.allocate(nf, NBETAF) && PRADF.allocate(nf, nsolc) && PDIFF.allocate(nf, NBETAF);
    if (IOPTN[7] > 0)
        ok = ok && VTOTF.allocate(3, nf, NBETAF) && VRADF.allocate(3, nf, nsolc) && VDIFF.allocate(3, nf, NBETAF);
    if (IOPTN[8] > 0 || IOPTN[9] >= 1) {
        ok = ok && DRIFTM.allocate(nm, NDRIFT) && DRIFTS.allocate(nm, NDRIFT);
        if (IOPTN[9] > 0 && cfg::ICTRSURF > 0) ok = ok && DRIFTCM.allocate(nm, NDRIFT) && DRIFTCS.allocate(nm, NDRIFT);
    }
    // Method-dependent work.
    auto koch = [&](long nr) {
        return KOCHR1.allocate(nr) && KOCHR2.allocate(nr) && KOCHD1.allocate(NBETAF) && KOCHD2.allocate(NBETAF) &&
               KOCHT1.allocate(NBETAF) && KOCHT2.allocate(NBETAF);
    };
    if (cfg::ILOWHI != 0) {
        if (IOPTN[8] > 0) ok = ok && koch(nsolc);
        if (!ok) return stop("Insufficient RAM to allocate .P2F inputs");
        // The .p2f file does not carry the last body patch: the patches
        // above it are interior free-surface patches.
        NPATCHLIM = NPATCHBD;
        // Without the basis tables every higher-order result would be wrong.
        PBCOEF(NPATCHT, IERR);
        if (IERR != 0) return;
    } else {
        if (cfg::ISOR == 0 && IOPTN[5] == 0 && IOPTN[9] == 0) {
            IWLPAN.deallocate();
            IWLSIDE.deallocate();
            pnl::IPFLAG.allocate(1);
        }
        if (IOPTN[2] == 1 || IOPTN[4] == 1 || IOPTN[8] != 0) ok = ok && VNWORK.allocate(nm);
        if (IOPTN[8] > 0) ok = ok && koch(nm);
        if (!ok) return stop("Insufficient RAM to allocate .P2F inputs");
    }
    // Option 5's listings: the body points of the .bpi files (read first:
    // a refused file leaves the numeric files alone), or the panels.
    OPNPNL(IERR);
    if (IERR == 1) return;
    // Numeric output files.
    OPNUMOUT(IERR);
    if (IERR == 1) return;

    // Body pressure and velocity switches and arrays.
    IBPPRS = IBPVEL = 0;
    bool centroid = true;
    if (IOPTN[5] < 1) {
        if (cfg::ILOWHI != 0 || IOPTN[9] < 1) return;
        NPBOUT = NEQN;
        IBPPRS = IBPVEL = 1;
    } else {
        NPBOUT = cfg::ILOWHI == 0 ? NEQN : NPCT;
        IBPPRS = IOPTN[5] != 2 || IOPTN[9] != 0 ? 1 : 0;
        IBPVEL = IOPTN[5] != 1 || IOPTN[9] != 0 ? 1 : 0;
        centroid = !(cfg::ILOWHI != 0 && cfg::IPNLBPT != 0);
    }
    const long np = NPBOUT;
    ok = true;
    if (centroid) {
        if (IBPPRS == 1)
            ok = ok && PTOTP.allocate(np, NBETAF, nsymf) && PDIFP.allocate(np, NBETAF, nsymf) &&
                 PRADP.allocate(np, nsolc, nsymf);
        if (IBPVEL == 1)
            ok = ok && VTOTP.allocate(np, 3, NBETAF * nsymf) && VDIFP.allocate(np, 3, NBETAF * nsymf) &&
                 VRADP.allocate(np, 3, nsolc * nsymf);
    }
    if (IOPTN[5] >= 1 && cfg::IPNLBPT != 0) {
        NBPTT = 0;
        for (int ib = 1; ib <= NBPT.extent(1); ++ib) NBPTT += NBPT(ib);
        const long nt = NBPTT;
        if (IBPPRS == 1) ok = ok && PTOTB.allocate(nt, NBETAF) && PDIFB.allocate(nt, NBETAF) && PRADB.allocate(nt, nsolc);
        if (IBPVEL == 1)
            ok = ok && VTOTB.allocate(nt, 3, NBETAF) && VDIFB.allocate(nt, 3, NBETAF) && VRADB.allocate(nt, 3, nsolc);
    }
    if (!ok) return stop("Insufficient RAM to allocate BPBV arrays");
}

void CHKFRC(int& IERR) {
    using namespace frc;
    IERR = 0;
    // Everything the FORCE readers set is put back: the POTEN stage goes on
    // as before, and its FORCE stage reads the files afresh.
    cfg::Kept keepc;
    Restore keepf(run::IOPTN, HEADFRC, RHO, IMASS, FILEEXT, HEADEXT, FILEFRCB, HEADFRCB, IMASSB, CGBODY, XPRDCT,
                  EXTMAT, EXTMATND, MODE, NBETAH, NFIELD, XFIELD, IFPTANK, NMODWM);
    Restore keepm(model::ULENI, model::BETA, model::SINBETA, model::COSBETA, pnl::CHYD);
    MessageHold hold;
    auto refused = [&](const std::string& what) {
        ERRMSG(what + " refused before the first period is solved; no .p2f file is written", 0);
        hold.release();
        IERR = 1;
    };

    // The configuration as the FORCE stage reads it.
    const int nb = cfg::NBODY;
    if (!cfg::NOOUT.allocate(9) || !cfg::IALTFRCN.allocate(nb) ||
        (cfg::NTANKS > 0 && !cfg::RHOTANK.allocate(cfg::NTANKS))) {
        ERRMSG("Insufficient RAM to allocate .P2F inputs", 0);
        return refused("Configuration file " + fnames::FILECFG);
    }
    cfg::NOOUT.fill(1);
    cfg::RHOTANK.fill(-1.0f);
    int ierr = 0;
    cfg::RDCONFIG(1, ierr);
    if (ierr != 0) return refused("Configuration file " + fnames::FILECFG);

    // The force control file, when the list file names it (else the FORCE
    // stage asks for it).
    if (fnames::FILEFRC.empty()) return;
    if (chan::open(IUFRCA, fnames::FILEFRC, chan::Status::Old) != 0) {
        ERRMSG("Unable to open .FRC input file", 0);
        return refused("Force control file " + fnames::FILEFRC);
    }
    RDFRC(IUFRCA, 1.0f / model::ULEN(1), ierr, IUFRCA + 1);
    chan::close(IUFRCA);
    if (ierr != 0) return refused("Force control file " + fnames::FILEFRC);

    // The output options against the run that is about to be solved.
    NMODWM = sym::NSOLC - body_columns();
    if (options_refused(false) != 0) return refused("Force control file " + fnames::FILEFRC);
}

}  // namespace zorva
