#include "main/drivers/standins.hpp"

#include <map>

#include "common/channels.hpp"
#include "common/messages.hpp"
#include "geometry/model.hpp"
#include "main/config.hpp"
#include "main/fnames.hpp"
#include "main/runparams.hpp"
#include "main/symmetry.hpp"
#include "geometry/modelmore.hpp"
#include "panels/geomdata.hpp"
#include "panels/paneldata.hpp"
#include <algorithm>

namespace zorva {

namespace standin {

std::vector<std::string> CALLS;
Model MODEL;
Arr2<cplx> FHASK, FDIFF;

namespace {
std::map<std::string, int, std::less<>> failat;  // routine -> call number that fails
std::map<std::string, int, std::less<>> ncalls;
std::map<std::string, int, std::less<>> warnings;

// Records the call; returns 1 (after the routine's message) when this call
// is the one a test asked to fail.
int record(std::string_view name, const std::string& args = {}) {
    CALLS.push_back(args.empty() ? std::string(name) : std::string(name) + " " + args);
    int n = ++ncalls[std::string(name)];
    if (warnings.count(name)) ERRMSG("Warning from " + std::string(name), 0);
    auto it = failat.find(name);
    if (it != failat.end() && it->second == n) {
        ERRMSG("Error return from " + std::string(name), 0);
        return 1;
    }
    return 0;
}

// The tables that the .p2f file carries, for the fixed model of one body:
// zeros, a unit length scale, a body heading of 0 and the run's file names.
void put_tables() {
    using namespace model;
    const int nb = 1, n = NEQN, nm = NMODT;
    cfg::NBODY = nb;
    if (fnames::FILEP2F.empty()) fnames::FILEP2F = "run.p2f";
    if (fnames::GDFNAME.extent(1) < nb) fnames::GDFNAME.resize_keep(nb);
    ULEN.allocate(nb);
    ULEN.fill(1.0f);
    ULENI = 1.0f;
    GRAV = 9.80665f;
    IS.allocate(2, nb);
    NPANB.allocate(nb);
    NPANB.fill(n);
    pnl::NPANBG.allocate(nb);
    pnl::NPANBG.fill(n);
    NPATCH.allocate(nb);
    if (cfg::NEWMDS.extent(1) < nb) cfg::NEWMDS.resize_keep(nb);
    if (cfg::IGENMDS.extent(1) < nb) cfg::IGENMDS.resize_keep(nb);
    if (cfg::XBODY.extent(2) < nb) cfg::XBODY.allocate(4, nb);
    if (cfg::XTRIM.extent(2) < nb) cfg::XTRIM.allocate(3, nb);
    if (cfg::IRR.extent(1) < nb) cfg::IRR.resize_keep(nb);
    IBMOD.allocate(nb);
    CSPHIB.allocate(2, nb);
    CSPHIB(1, 1) = 1.0f;
    IREFLB.allocate(2, nb);
    TRIMCS.allocate(4, nb);
    pnl::VOLXYZ.allocate(3, nb);
    pnl::VOLB.allocate(nb);
    pnl::XBUOY.allocate(3, nb);
    pnl::CHYD.allocate(nm, nm);
    BETA.allocate(NBETA);
    SINBETA.allocate(NBETA);
    COSBETA.allocate(NBETA);
    COSBETA.fill(1.0f);
    if (cfg::ILOWHI == 0) {
        using namespace pnl;
        PNLARR6.allocate(4, n);
        PNLARR5.allocate(4, n);
        PCENT.allocate(3, n);
        PAXES.allocate(3, 3, n);
        PPROP.allocate(13, n);
        PNLARR4.allocate(4, n);
        XVERG.allocate(4, 3, n);
        PNLARR2.allocate(4, n);
        PNLARR1.allocate(4, 3, n);
        VNMODE.allocate(nm, n);
        PNLARR3.allocate(2, n);
        NWLPANB.allocate(nb);
        NWLSEG = 0;
        IWLPAN.allocate(0);
        IWLSIDE.allocate(0);
        IPFLAG.allocate(n);
        IDIPWMF = 0;
    } else {
        // One patch of a geometry-model body, every maximum 1.
        NPATCHT = NPATCHBD = 1;
        NCOEFT = NPANT = 0;
        MAXKNOT = MAXKUG = MAXKVG = MAXKNU = MAXKNV = MAXKU = MAXKV = MAXQU = MAXQV = MAXNU = MAXNV = NQP = 1;
        IGDEF.allocate(nb);
        IGDEF.fill(2);
        NPATCH.fill(1);
        NGXLINE.allocate(nb);
        for (auto* a : {&KU, &KV, &NU, &NV, &NBU, &NBV, &IQUI, &IQVI, &IBPTH, &ITRIM, &IWTL, &IFSPAT, &IPRL, &IPREF})
            a->allocate(1);
        for (auto* a : {&IPSTART, &IPATOFF, &NPATCHB}) a->allocate(nb);
        IPSTART.fill(1);
        NPATCHB.fill(1);
        for (auto* a : {&ITRMIDX}) a->allocate(1);
        for (auto* a : {&TRMRNG1, &TRMRNG2}) a->allocate(4, 1);
        for (auto* a : {&TRMMAP1, &TRMMAP2, &TRMMAP3, &TRMMAP4}) a->allocate(2, 1);
        XQP.allocate(3, 1);
        ENQP.allocate(3, 1);
        WQP.allocate(1);
        VNQP.allocate(nm, 1);
        for (auto* a : {&HOTAB1, &HOTAB2, &HOTAB3, &HOTAB4, &HOTAB5, &HOTAB6}) a->allocate(1, 1);
        HOTAB7.allocate(1, 1, 1);
        HOTAB8.allocate(1, 1, 1);
        IDIPWMF = 0;
    }
    if (run::NRGKBODY > 0) {
        // The geometry reader writes rgkinit.txt and counts its lines.
        chan::open(3, fnames::RUNFILES[3], chan::Status::Replace);
        for (const char* l : {"     0            !ILOWHI", "     9.80665      !GRAV", "     1            !NBODY"})
            chan::write_line(3, l);
        chan::close(3);
        NRGKLINES = 3;
    }
}

// The fixed model's periods, headings and modes.
void put_model() {
    const Model& m = MODEL;
    model::NPER = static_cast<int>(m.per.size());
    model::PER.allocate(model::NPER);
    model::WNUMNU.allocate(model::NPER);
    model::WNUMK.allocate(model::NPER);
    model::IPERFL.allocate(model::NPER);
    for (int j = 1; j <= model::NPER; ++j) {
        auto uj = static_cast<std::size_t>(j - 1);
        model::PER(j) = m.per[uj];
        model::IPERFL(j) = uj < m.iperfl.size() ? m.iperfl[uj] : 0;
    }
    model::NBETA = m.nbeta;
    model::NEQN = m.neqn;
    model::NMODT = static_cast<int>(m.imode.size());
    model::IMODE.allocate(model::NMODT);
    for (int i = 1; i <= model::NMODT; ++i) model::IMODE(i) = m.imode[static_cast<std::size_t>(i - 1)];
    model::IRAD = m.irad;
    model::IDIFF = m.idiff;
    model::ISX = m.isx;
    model::ISY = m.isy;
    model::HBOT = m.hbot;
    run::NRGKBODY = m.nrgkbody;
    put_tables();
}
}  // namespace

void fail(std::string_view name, int nth) { failat[std::string(name)] = nth; }
void warn(std::string_view name) { warnings[std::string(name)] = 1; }

void clear_calls() {
    CALLS.clear();
    failat.clear();
    ncalls.clear();
    warnings.clear();
}

void reset() {
    CALLS.clear();
    failat.clear();
    ncalls.clear();
    warnings.clear();
    MODEL = Model{};
    FHASK.allocate(1, 1);
    FDIFF.allocate(1, 1);
}

namespace {
struct Init {
    Init() { reset(); }
} init;
}  // namespace

}  // namespace standin

using standin::record;

void GETIP(int& IMODFL, int& NBETAX, int& IERR) {
    IERR = record("GETIP");
    if (IERR) return;
    standin::put_model();
    IMODFL = 0;
    NBETAX = model::NBETA > 1 ? model::NBETA : 1;
    // The run summary on channel 22 and the solution scratch on channel 21,
    // as the model input leaves them for the period loop.
    chan::open_scratch(22);
    chan::write_line(22, "Period       Time           RAD      DIFF  (max iterations)");
    chan::close(21);
    chan::open_scratch(21, chan::Form::Unformatted);
}

void CHKPOT(int, int, int, int, int, int, float TOL1, float, float& TOLS, int& IERR) {
    IERR = record("CHKPOT");
    TOLS = TOL1;
    // Nothing solved: no diffraction and no source strengths, as the input
    // checks settle it.
    if (cfg::ISOLVE == -1) {
        model::IDIFF = -1;
        cfg::ISOR = 0;
    }
}

void GEOMSTAT(int, int, int& IERR) { IERR = record("GEOMSTAT"); }
void RANKIN(int, int, int& IERR) { IERR = record("RANKIN"); }

void HGRN00(float, float&, float, int& IERR) { IERR = record("HGRN00"); }

void ALLOCMAT(int NEQN, int NBETAX, int, int& IERR) {
    IERR = record("ALLOCMAT");
    if (IERR) return;
    // The solution arrays, zero-filled, as the linear-system step makes them.
    run::SOLWRK.allocate(NEQN, std::max(sym::NSOLC, 1));
    run::RHSRAD.allocate(NEQN, NBETAX * std::max(sym::NSYMC, 1));
    run::RHSSRC.allocate(NEQN, NBETAX * std::max(sym::NSYMC, 1));
}
void INCRHS(int, const int*, int, float, int, int, int& IERR) { IERR = record("INCRHS"); }
void WAVEGR(int, int, int, int, float, Arr1<cplx>&, int, int& IERR) { IERR = record("WAVEGR"); }

void SOLVE(int, int, int, int, const int* IUNIT, float, Arr2<cplx>&, Arr2<cplx>&, Arr1<cplx>&, int* NITER,
           int KIND, int, int& IERR) {
    IERR = record("SOLVE", std::to_string(KIND) + " " + std::to_string(IUNIT[0]));
    const auto& n = KIND == 0 ? standin::MODEL.niter : standin::MODEL.niters;
    NITER[0] = n[0];
    NITER[1] = n[1];
}

void ADDPOT(int, int, int, Arr2<cplx>&, Arr2<cplx>&) { record("ADDPOT"); }
void ZEROFLG(Arr2<cplx>&, Arr2<cplx>&, int, int, int, int) { record("ZEROFLG"); }
void DUPPAN(int, int, int, int, float) { record("DUPPAN"); }
void POTSRCST(int NEQN, int, int, int NBETAX, int& IERR) {
    IERR = record("POTSRCST");
    if (IERR) return;
    run::VELRAD.allocate(NEQN, 3, std::max(sym::NSOLC, 1));
    run::VELDIF.allocate(NEQN, 3, NBETAX * std::max(sym::NSYMC, 1));
}

void PBCOEF(int, int& IERR) { IERR = record("PBCOEF"); }
void OPNUMOUT(int& IERR) { IERR = record("OPNUMOUT"); }
void RDCSF(int& IERR) { IERR = record("RDCSF"); }
void RGKINIT(int& IERR) { IERR = record("RGKINIT"); }

void SETMODFAC(float, int) { record("SETMODFAC"); }
void WRPERHDR(float, float, int) { record("WRPERHDR"); }
void AMDPINT() { record("AMDPINT"); }
void EXFHASK(float, float) { record("EXFHASK"); }
void FRCACC() { record("FRCACC"); }

void RAOSOL(float, float, Arr2<cplx>& EXFORCE, int& IERR) {
    IERR = record("RAOSOL", &EXFORCE == &standin::FHASK ? "HASKIND" : "DIFFRACTION");
}

void BPBVDRV(float, float, int, int& IERR) { IERR = record("BPBVDRV"); }
void BPVSUM(float, int) { record("BPVSUM"); }
void FIELDPT(float, float, const int*, int, int& IERR) { IERR = record("FIELDPT"); }
void MOMDRIFT(float, float, int) { record("MOMDRIFT"); }
void DRFTPI(float, int, int& IERR) { IERR = record("DRFTPI"); }

void OUTADMS(float, int, int, int, std::string_view) { record("OUTADMS"); }
void OUTHASK(float, int, int, int, std::string_view) { record("OUTHASK"); }
void OUTDIFF(float, int, int, int, std::string_view) { record("OUTDIFF"); }
void OUTRAO(float, int, int, int, std::string_view) { record("OUTRAO"); }
void OUTBPRS(float, int, int, int, std::string_view) { record("OUTBPRS"); }
void OUTBVEL(float, int, int, const int*, const std::string*) { record("OUTBVEL"); }
void OUT5PB(float, float, float, int, int, std::string_view) { record("OUT5PB"); }
void OUTFPRS(float, int, int, std::string_view) { record("OUTFPRS"); }
void OUTFVEL(float, int, const int*, const std::string*) { record("OUTFVEL"); }

void OUTDRIFT(float, int, int, int, std::string_view NAME, int NB, int IOPT, int ICS) {
    record("OUTDRIFT", std::string(NAME) + " " + std::to_string(NB) + " " + std::to_string(IOPT) + " " +
                           std::to_string(ICS));
}

void CSFPT(float, float, const int*, int, int& IERR) { IERR = record("CSFPT"); }
void RGKDONE() { record("RGKDONE"); }

}  // namespace zorva
