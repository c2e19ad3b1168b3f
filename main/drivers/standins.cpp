#include "main/drivers/standins.hpp"

#include <map>

#include "common/channels.hpp"
#include "common/messages.hpp"
#include "geometry/model.hpp"
#include "main/runparams.hpp"
#include "force/force.hpp"
#include "main/config.hpp"
#include "main/fnames.hpp"
#include "main/symmetry.hpp"
#include "p2f/forcedata.hpp"
#include "panels/geomdata.hpp"
#include "panels/paneldata.hpp"

namespace zorva {

namespace standin {

std::vector<std::string> CALLS;
Model MODEL;

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
    model::NRGKBODY = m.nrgkbody;
}
}  // namespace

// What the FORCE stage finds after reading a .p2f file of the fixed model.
void put_force_model(int& IERR) {
    using namespace model;
    const int nm = NMODT, ne = NEQN;
    if (!sym::IMODORD.allocated()) {
        sym::NSYMF = sym::NSYMC = 1;
        sym::NSYMD = 4;
        for (int k = 1; k <= 4; ++k) sym::NSYMRHS[static_cast<std::size_t>(k)] = k;
        if (sym::NSOLC == 0) sym::NSOLC = nm;
        sym::NMODSC[1] = sym::NSOLC;
        sym::IMODORD.allocate(nm);
        sym::IMODPOS.allocate(nm);
        sym::IMODSC.allocate(nm, 4);
        sym::IMODPOS.fill(0);
        for (int r = 1; r <= sym::NSOLC; ++r) {
            sym::IMODORD(r) = r;
            sym::IMODPOS(r) = r;
            sym::IMODSC(r, 1) = r;
        }
    }
    frc::NBETAF = frc::NBETAP = frc::NBETAX = NBETA > 0 ? NBETA : 1;
    frc::NMODBD = frc::NMODFREE = sym::NSOLC;
    frc::NMODWM = 0;
    frc::MODE.deallocate();
    BETA.allocate(frc::NBETAF);
    SINBETA.allocate(frc::NBETAF);
    COSBETA.allocate(frc::NBETAF);
    BETA.fill(0.0f);
    SINBETA.fill(0.0f);
    COSBETA.fill(1.0f);
    for (int j = 1; j <= NPER; ++j) {
        const float w = PER(j) > 0.0f ? 6.2831855f / PER(j) : 0.0f;
        WNUMNU(j) = WNUMK(j) = w * w / 9.80665f;
    }
    frc::MODCOL.allocate(nm);
    frc::MODNUM.allocate(nm);
    frc::MODEC.allocate(nm);
    for (int r = 1; r <= nm; ++r) {
        frc::MODCOL(r) = r;
        frc::MODNUM(r) = sym::IMODORD(r);
        frc::MODEC(r) = 1;
    }
    frc::RADPOT.allocate(ne, nm);
    frc::DIFPOT.allocate(ne, frc::NBETAP, 1);
    frc::RADPOT.fill(cplx{});
    frc::DIFPOT.fill(cplx{});
    pnl::PCENT.allocate(3, ne);
    pnl::PAXES.allocate(3, 3, ne);
    pnl::PPROP.allocate(13, ne);
    pnl::VNMODE.allocate(nm, ne);
    pnl::PCENT.fill(0.0f);
    pnl::PAXES.fill(0.0f);
    pnl::PPROP.fill(0.0f);
    pnl::VNMODE.fill(0.0f);
    pnl::CHYD.allocate(nm, nm);
    pnl::CHYD.fill(0.0f);
    if (MODEL.restoring)
        for (int m = 1; m <= nm; ++m) pnl::CHYD(m, m) = 1.0f;
    if (fnames::FILEOUT.empty()) fnames::FILEOUT = "run.out";
    chan::open(11, fnames::FILEOUT, chan::Status::Replace);
    cfg::NOOUT.allocate(9);
    cfg::NOOUT.fill(1);
    OPNUMOUT(IERR);
}

void fail(std::string_view name, int nth) { failat[std::string(name)] = nth; }
void warn(std::string_view name) { warnings[std::string(name)] = 1; }

void reset() {
    CALLS.clear();
    failat.clear();
    ncalls.clear();
    warnings.clear();
    MODEL = Model{};
}

namespace {
struct Init {
    Init() { reset(); }
} init;
}  // namespace

}  // namespace standin

using standin::record;

void GEOMSTAT(int, int, int& IERR) { IERR = record("GEOMSTAT"); }
void RANKIN(int, int, int& IERR) { IERR = record("RANKIN"); }

void HGRN00(float, float&, float, int& IERR) { IERR = record("HGRN00"); }

void ALLOCMAT(int, int, int, int& IERR) { IERR = record("ALLOCMAT"); }
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
void POTSRCST(int, int, int, int, int& IERR) { IERR = record("POTSRCST"); }

void WRSCR21(int, int, int, int, Arr2<cplx>&, Arr2<cplx>&, int KIND, int) {
    record("WRSCR21", std::to_string(KIND));
}

void WRP2F(int, int, int NPER, int, int, int) {
    record("WRP2F", std::to_string(NPER));
    // The writer drains and closes the scratch files it copies.
    chan::close(21);
    chan::close(22);
}

void FRCSETUP(int& IERR) {
    IERR = record("FRCSETUP");
    if (IERR) return;
    // A FORCE-only run has no model yet: it would come from the .p2f file.
    if (!model::PER.allocated()) standin::put_model();
    for (int k = 1; k <= 9; ++k) run::IOPTN[static_cast<std::size_t>(k)] = standin::MODEL.ioptn[static_cast<std::size_t>(k)];
    standin::put_force_model(IERR);
}

void CHKOPT(int& IERR) { IERR = record("CHKOPT"); }
void RDP2FPOT(int, int, int& IERR) { IERR = record("RDP2FPOT"); }


void BPBVDRV(float, float, int, int& IERR) { IERR = record("BPBVDRV"); }
void BPVSUM(float, int) { record("BPVSUM"); }
void FIELDPT(float, float, const int*, int, int& IERR) { IERR = record("FIELDPT"); }
void DRFTPI(float, int, int& IERR) { IERR = record("DRFTPI"); }

void OUTBPRS(float, int, int, int, std::string_view) { record("OUTBPRS"); }
void OUTBVEL(float, int, int, const int*, const std::string*) { record("OUTBVEL"); }
void OUT5PB(float, float, float, int, int, std::string_view) { record("OUT5PB"); }
void OUTFPRS(float, int, int, std::string_view) { record("OUTFPRS"); }
void OUTFVEL(float, int, const int*, const std::string*) { record("OUTFVEL"); }

void CSFPT(float, float, const int*, int, int& IERR) { IERR = record("CSFPT"); }
void RGKDONE() { record("RGKDONE"); }

}  // namespace zorva
