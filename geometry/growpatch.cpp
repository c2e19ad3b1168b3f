// Growth of the per-patch index tables and of the geometry B-spline tables
// of the higher-order method, and of the rigid-mode list.
#include <algorithm>

#include "common/messages.hpp"
#include "geometry/hogeom.hpp"
#include "geometry/model.hpp"
#include "geometry/modelmore.hpp"

namespace zorva {

using namespace model;

namespace {

// One operation on a per-patch integer table: create or append (new
// entries `fill`), delete entry K (N = -1), insert N copies of entry K.
bool grow_index(Arr1<int>& a, int N, int K, int fill) {
    if (!a.allocated()) {
        if (!a.allocate(std::max(N, 0))) return false;
        a.fill(fill);
        return true;
    }
    if (K <= 0) return a.resize_keep_fill(fill, std::max(N, 0));
    return N == -1 ? delete_entry(a, K) : insert_copies(a, K, N);
}

}  // namespace

void GROWBPTH(int N, int K, int& IERR) {
    IERR = 0;
    if (!grow_index(IBPTH, N, K, 0)) {
        ERRMSG("Error allocating array IBPTH in GETIP", 0);
        IERR = 1;
    }
}

void GROWPIR(int N, int K, int& IERR) {
    IERR = 0;
    if (!grow_index(IPIR, N, K, 0) || !grow_index(IPRL, N, K, 0) || !grow_index(IPREF, N, K, 1) ||
        !grow_index(ITRIM, N, K, 0)) {
        ERRMSG("Memory insufficient for arrays IPIR,IPRL,IPREF,ITRIM in GETIP", 0);
        IERR = 1;
    }
}

void GROWBSP1(int N1, int N2, int& IERR) {
    IERR = BASUG.resize_keep(N1, N1) && BASVG.resize_keep(N2, N2) ? 0 : 1;
}

void GROWBSP2(int N, int& IERR) { IERR = XCOEFG.resize_keep(3, N) ? 0 : 1; }

void GROWBSP3(int N1, int N2, int& IERR) {
    IERR = UKNOTG.resize_keep_fill(0.0f, N1, N2) && VKNOTG.resize_keep_fill(0.0f, N1, N2) ? 0 : 1;
}

void GROWBSP4(int N, int& IERR) {
    bool ok = true;
    for (auto* a : {&KUG, &KVG, &NUG, &NVG, &IUGOFF, &IVGOFF}) ok = ok && a->resize_keep(N);
    ok = ok && GEOPAR1.resize_keep(2, N) && GEOPAR2.resize_keep(2, N);
    IERR = ok ? 0 : 1;
}

void GROWMDRB(int N, int& IERR) {
    IERR = 0;
    if (!IMODERB.resize_keep(N)) {
        ERRMSG("Insufficient memory to allocate IMODERB array", 0);
        IERR = 1;
    }
}

}  // namespace zorva
