#include "main/drivers/standins.hpp"

#include <functional>
#include <map>
#include <vector>

#include "common/channels.hpp"
#include "common/messages.hpp"
#include "geometry/model.hpp"
#include "main/config.hpp"
#include "main/runparams.hpp"
#include "main/symmetry.hpp"
#include "solver/matrices.hpp"
#include "solver/scrstore.hpp"
#include "solver/srcvel.hpp"

namespace zorva {

namespace standin {

std::vector<std::string> CALLS;
Model MODEL;
std::function<void(const std::string&)> ON_CALL;

namespace {
std::map<std::string, int, std::less<>> failat;  // routine -> call number that fails
std::map<std::string, int, std::less<>> ncalls;
std::map<std::string, int, std::less<>> warnings;

// Records the call; returns 1 (after the routine's message) when this call
// is the one a test asked to fail.
int record(std::string_view name, const std::string& args = {}) {
    CALLS.push_back(args.empty() ? std::string(name) : std::string(name) + " " + args);
    int n = ++ncalls[std::string(name)];
    if (ON_CALL) ON_CALL(std::string(name));
    auto w = warnings.find(name);
    if (w != warnings.end() && (w->second == 0 || w->second == n)) ERRMSG("Warning from " + std::string(name), 0);
    auto it = failat.find(name);
    if (it != failat.end() && it->second == n) {
        ERRMSG("Error return from " + std::string(name), 0);
        return 1;
    }
    return 0;
}
}  // namespace

void fail(std::string_view name, int nth) { failat[std::string(name)] = nth; }
void warn(std::string_view name, int nth) { warnings[std::string(name)] = nth; }

void clear_calls() {
    CALLS.clear();
    failat.clear();
    ncalls.clear();
    warnings.clear();
}

void reset() {
    clear_calls();
    ON_CALL = nullptr;
    MODEL = Model{};
}

namespace {
struct Init {
    Init() { reset(); }
} init;
}  // namespace

}  // namespace standin

using standin::record;


void INCRHS(int, const int*, int, float, int, int, int& IERR) { IERR = record("INCRHS"); }

void WAVEGR(int, int, int, int NEQN, float, Arr2<cplx>&, int, int& IERR) {
    IERR = record("WAVEGR");
    if (IERR != 0 || cfg::ISOR != 1 || !standin::MODEL.srcvel) return;
    // Per panel i and component: the coefficients of sources 1..i at panel i,
    // then of source i at panels 1..i-1, three velocity components each.
    slv::SCROPEN(&IUSRC, 1, IERR);
    if (IERR != 0) return;
    for (int i = 1; i <= NEQN; ++i)
        for (int k = 1; k <= sym::NSYMC; ++k) {
            std::vector<cplx> b(static_cast<std::size_t>(3 * i)), c(static_cast<std::size_t>(3 * (i - 1)));
            slv::scr_write(IUSRC, b.data(), b.size() * sizeof(cplx));
            slv::scr_write(IUSRC, c.data(), c.size() * sizeof(cplx));
        }
}

void SOLVE(int, int, int, int, const int* IUNIT, float, Arr2<cplx>&, Arr3<cplx>&, Arr2<cplx>&, int* NITER,
           int KIND, int, int& IERR) {
    IERR = record("SOLVE", std::to_string(KIND) + " " + std::to_string(IUNIT[0]));
    const auto& n = KIND == 0 ? standin::MODEL.niter : standin::MODEL.niters;
    NITER[0] = n[0];
    NITER[1] = n[1];
}

void ADDPOT(int, int, int, Arr3<cplx>&, Arr3<cplx>&) { record("ADDPOT"); }
void ZEROFLG(Arr2<cplx>&, Arr3<cplx>&, int, int, int, int) { record("ZEROFLG"); }
void DUPPAN(int, int, int, int, float) { record("DUPPAN"); }

void PBCOEF(int, int& IERR) { IERR = record("PBCOEF"); }
void RDCSF(int& IERR) { IERR = record("RDCSF"); }



void BPVSUM(float, int) { record("BPVSUM"); }

void OUT5PB(float, float, float, int, int, std::string_view) { record("OUT5PB"); }


void CSFPT(float, float, const int*, int, int& IERR) { IERR = record("CSFPT"); }
void RGKDONE() { record("RGKDONE"); }

}  // namespace zorva
