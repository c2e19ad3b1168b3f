#include "force/forceres.hpp"

#include <algorithm>

#include "common/messages.hpp"
#include "geometry/model.hpp"
#include "main/config.hpp"
#include "main/runparams.hpp"
#include "main/symmetry.hpp"
#include "p2f/forcedata.hpp"

namespace zorva::frc {

Arr2<float> AMAT, BMAT;
Arr2<cplx> FEXH, FEXD, RAO, DRIFTM, DRIFTS, DRIFTCM, DRIFTCS;
Arr1<cplx> KOCHR1, KOCHR2, KOCHD1, KOCHD2, KOCHT1, KOCHT2;
Arr1<float> VNWORK;
Arr3<float> BASQU, BASQV;

namespace {
int pairs(int opt, int n) { return opt == 1 ? n : opt == 2 ? n * (n + 1) / 2 : 1; }

template <typename T>
bool alloc2(Arr2<T>& a, long n1, long n2) {
    if (!a.allocate(n1, n2)) return false;
    a.fill(T{});
    return true;
}
template <typename T>
bool alloc1(Arr1<T>& a, long n) {
    if (!a.allocate(n)) return false;
    a.fill(T{});
    return true;
}
}  // namespace

void ALLOCRES(int& IERR) {
    const auto& IOPTN = run::IOPTN;
    const long nm = std::max(model::NMODT, 1);
    const int nbf = std::max(NBETAF, 1);
    const long nbx = std::max({NBETAX, nbf, model::NBETA, NMODWM});
    const long ndr = std::max({NDRIFT, pairs(IOPTN[8], nbf), pairs(IOPTN[9], nbf)});
    bool ok = alloc2(RAO, nm, nbx);
    // The wavemaker forces of option 2 are formed from the added mass and
    // damping, so option 2 needs them too.
    if (IOPTN[1] == 1 || IOPTN[2] == 1 || IOPTN[4] >= 1) ok = ok && alloc2(AMAT, nm, nm) && alloc2(BMAT, nm, nm);
    if (IOPTN[2] == 1 || IOPTN[4] == 1) ok = ok && alloc2(FEXH, nm, nbx);
    if (IOPTN[3] == 1 || IOPTN[4] == 2) ok = ok && alloc2(FEXD, nm, nbf);
    if (IOPTN[8] > 0 || IOPTN[9] >= 1) ok = ok && alloc2(DRIFTM, nm, ndr) && alloc2(DRIFTS, nm, ndr);
    if (IOPTN[9] > 0 && cfg::ICTRSURF > 0) ok = ok && alloc2(DRIFTCM, nm, ndr) && alloc2(DRIFTCS, nm, ndr);
    if (IOPTN[2] == 1 || IOPTN[4] == 1 || IOPTN[8] != 0) ok = ok && alloc1(VNWORK, nm);
    if (IOPTN[8] > 0)
        ok = ok && alloc1(KOCHR1, nm) && alloc1(KOCHR2, nm) && alloc1(KOCHD1, nbf) && alloc1(KOCHD2, nbf) &&
             alloc1(KOCHT1, nbf) && alloc1(KOCHT2, nbf);
    if (!ok) {
        ERRMSG("Insufficient RAM to allocate FORCE result arrays", 0);
        IERR = 1;
    }
}

void reset_res() {
    AMAT.deallocate();
    BMAT.deallocate();
    for (auto* a : {&FEXH, &FEXD, &RAO, &DRIFTM, &DRIFTS, &DRIFTCM, &DRIFTCS}) a->deallocate();
    for (auto* a : {&KOCHR1, &KOCHR2, &KOCHD1, &KOCHD2, &KOCHT1, &KOCHT2}) a->deallocate();
    VNWORK.deallocate();
    BASQU.deallocate();
    BASQV.deallocate();
}

}  // namespace zorva::frc
