#include "main/drivers/standins.hpp"

#include <algorithm>
#include <functional>
#include <map>

#include "common/channels.hpp"
#include "common/messages.hpp"
#include "geometry/model.hpp"
#include "main/config.hpp"
#include "main/runparams.hpp"
#include "main/symmetry.hpp"
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
std::map<std::string, std::function<void()>, std::less<>> hooks;  // routine -> run after each call

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
    auto h = hooks.find(name);
    if (h != hooks.end()) h->second();
    return 0;
}

// The tables of the panel-geometry and hydrostatics step that the .p2f
// file carries (low order), zero-filled, with every panel kept: what the
// geometry step would leave for the rest of the run.
void put_tables() {
    using namespace pnl;
    const int nb = cfg::NBODY, n = model::NEQN, nm = model::NMODT;
    NPANBG.allocate(nb);
    for (int ib = 1; ib <= nb && ib <= model::NPANB.extent(1); ++ib) NPANBG(ib) = model::NPANB(ib);
    VOLXYZ.allocate(3, nb);
    VOLB.allocate(nb);
    XBUOY.allocate(3, nb);
    CHYD.allocate(nm, nm);
    if (cfg::ILOWHI != 0) return;
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
    IPFLAG.allocate(n);
}
}  // namespace

void fail(std::string_view name, int nth) { failat[std::string(name)] = nth; }
void warn(std::string_view name) { warnings[std::string(name)] = 1; }
void after(std::string_view name, std::function<void()> hook) { hooks[std::string(name)] = std::move(hook); }

void clear_calls() {
    CALLS.clear();
    failat.clear();
    ncalls.clear();
    warnings.clear();
    hooks.clear();
}

void reset() {
    clear_calls();
    MODEL = Model{};
}

namespace {
struct Init {
    Init() { reset(); }
} init;
}  // namespace

}  // namespace standin

using standin::record;

void GEOMSTAT(int, int, int& IERR) {
    IERR = record("GEOMSTAT");
    if (IERR) return;
    standin::put_tables();
}
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
void RDCSF(int& IERR) { IERR = record("RDCSF"); }



void BPVSUM(float, int) { record("BPVSUM"); }

void OUT5PB(float, float, float, int, int, std::string_view) { record("OUT5PB"); }


void CSFPT(float, float, const int*, int, int& IERR) { IERR = record("CSFPT"); }
void RGKDONE() { record("RGKDONE"); }

}  // namespace zorva
