#include "main/drivers/standins.hpp"

#include <map>
#include <vector>

#include "common/channels.hpp"
#include "common/messages.hpp"
#include "geometry/model.hpp"
#include "main/config.hpp"
#include "main/runparams.hpp"
#include "main/symmetry.hpp"
#include "panels/paneldata.hpp"

namespace zorva {

namespace standin {

std::vector<std::string> CALLS;
int SCR21RECS = 0;
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

// The fixed model's periods, headings and modes.
void put_model() {
    const Model& m = MODEL;
    model::NPER = static_cast<int>(m.per.size());
    model::PER.allocate(model::NPER);
    model::WNUMNU.allocate(model::NPER);
    model::WNUMK.allocate(model::NPER);
    model::WNUMK.fill(0.0f);
    model::IPERFL.allocate(model::NPER);
    for (int j = 1; j <= model::NPER; ++j) {
        auto uj = static_cast<std::size_t>(j - 1);
        model::PER(j) = m.per[uj];
        model::IPERFL(j) = uj < m.iperfl.size() ? m.iperfl[uj] : 0;
        float om = m.per[uj] > 0.0f ? 2.0f * PI / m.per[uj] : 0.0f;
        model::WNUMNU(j) = om * om / 9.80665f;
    }
    model::NBETA = m.nbeta;
    model::SINBETA.allocate(m.nbeta > 0 ? m.nbeta : 1);
    model::COSBETA.allocate(m.nbeta > 0 ? m.nbeta : 1);
    model::SINBETA.fill(0.0f);
    model::COSBETA.fill(1.0f);
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
}
}  // namespace

void fail(std::string_view name, int nth) { failat[std::string(name)] = nth; }
void warn(std::string_view name) { warnings[std::string(name)] = 1; }

void reset() {
    CALLS.clear();
    SCR21RECS = 0;
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
}

// Panel tables of the fixed model: small square panels (side 0.1) facing
// downward, 5 below the surface and 2 apart, so that every matrix is close
// to 2 pi times the unit matrix.
void GEOMSTAT(int, int, int& IERR) {
    IERR = record("GEOMSTAT");
    if (IERR) return;
    const int n = model::NEQN;
    model::ITANK.allocate(n);
    model::ITANK.fill(0);
    model::IDIPWM.allocate(n);
    model::IDIPWM.fill(0);
    model::NPANB.allocate(1);
    model::NPANB(1) = n;
    pnl::PCENT.allocate(3, n);
    pnl::PAXES.allocate(3, 3, n);
    pnl::PAXES.fill(0.0f);
    pnl::PNLARR6.allocate(4, n);
    pnl::PNLARR5.allocate(4, n);
    pnl::PNLARR4.allocate(4, n);
    pnl::PNLARR3.allocate(2, n);
    pnl::PPROP.allocate(13, n);
    pnl::PPROP.fill(0.0f);
    pnl::IPFLAG.allocate(n);
    pnl::IPFLAG.fill(1);
    pnl::VNMODE.allocate(model::NMODT, n);
    pnl::VNMODE.fill(0.0f);
    const float h = 0.05f;  // half side
    const float xi[4] = {h, h, -h, -h}, eta[4] = {h, -h, -h, h};  // clockwise seen from below
    for (int i = 1; i <= n; ++i) {
        pnl::PCENT(1, i) = 1.0f + 2.0f * static_cast<float>(i - 1);
        pnl::PCENT(2, i) = 1.0f;
        pnl::PCENT(3, i) = -5.0f;
        pnl::PAXES(1, 1, i) = 1.0f;
        pnl::PAXES(2, 2, i) = -1.0f;
        pnl::PAXES(3, 3, i) = -1.0f;
        for (int k = 1; k <= 4; ++k) {
            pnl::PNLARR6(k, i) = xi[k - 1];
            pnl::PNLARR5(k, i) = eta[k - 1];
            pnl::PNLARR4(k, i) = 2.0f * h;
        }
        pnl::PNLARR3(1, i) = 1.4142136f * h;
        pnl::PNLARR3(2, i) = 8.0f * h * h;
        const float h4 = h * h * h * h, h6 = h4 * h * h;
        pnl::PPROP(1, i) = 4.0f * h * h;
        pnl::PPROP(2, i) = pnl::PPROP(4, i) = 2.0f * h4;
        pnl::PPROP(9, i) = pnl::PPROP(13, i) = 3.0f * h6;
        pnl::PPROP(11, i) = 5.0f * h6 / 3.0f;
        for (int m = 1; m <= model::NMODT; ++m) pnl::VNMODE(m, i) = m == 3 ? -1.0f : 0.0f;
    }
}

void HGRN00(float NU, float& K, float, int& IERR) {
    IERR = record("HGRN00");
    K = NU;  // as in infinite depth
}

void ALLOCMAT(int NEQN, int NBETAX, int IDIFF, int& IERR) {
    IERR = record("ALLOCMAT");
    if (IERR) return;
    run::SOLWRK.allocate(NEQN, sym::NSOLC);
    run::SOLWRK.fill(cplx(0.0f, 0.0f));
    const int n = IDIFF < 0 ? 1 : NEQN, nc = IDIFF < 0 ? 1 : NBETAX * sym::NSYMC;
    run::RHSRAD.allocate(n, nc);
    run::RHSSRC.allocate(n, nc);
    run::RHSADD.allocate(n, nc);
    const int m = cfg::ISOLVE == 1 ? NEQN : cfg::MAXSCR;
    run::SOLBLK.allocate(m * m);
}


void DUPPAN(int, int, int, int, float) { record("DUPPAN"); }


void WRP2F(int, int, int NPER, int, int, int) {
    record("WRP2F", std::to_string(NPER));
    standin::SCR21RECS = 0;
    std::vector<char> buf;
    if (chan::is_open(21) && chan::rewind(21) == 0)
        while (chan::read_record(21, buf) == 0) ++standin::SCR21RECS;
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
}

void CHKOPT(int& IERR) { IERR = record("CHKOPT"); }
void RDP2FPOT(int, int, int& IERR) { IERR = record("RDP2FPOT"); }

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
