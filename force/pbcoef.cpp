// Basis tables of the higher-order FORCE integrals: the values of the
// potential B-splines that are non-zero on each knot interval, at the inner
// Gauss points of the interval.
#include <algorithm>

#include "common/messages.hpp"
#include "force/forceres.hpp"
#include "geometry/bspline.hpp"
#include "geometry/modelmore.hpp"
#include "force/force.hpp"

namespace zorva {

void PBCOEF(int NPATCH, int& IERR) {
    using namespace model;
    IERR = 0;
    int mku = 1, mkv = 1, mqu = 1, mqv = 1, mnu = 1, mnv = 1;
    for (int p = 1; p <= NPATCH; ++p) {
        mku = std::max(mku, KU(p)), mkv = std::max(mkv, KV(p));
        mqu = std::max(mqu, IQUI(p)), mqv = std::max(mqv, IQVI(p));
        mnu = std::max(mnu, NU(p)), mnv = std::max(mnv, NV(p));
    }
    // The tables' layout takes the run's largest orders.
    if (MAXKU < mku || MAXKV < mkv) {
        ERRMSG(" Error calling BASEF in PBCOEF", 0);
        IERR = 1;
        return;
    }
    mku = MAXKU, mkv = MAXKV;
    if (!frc::BASQU.allocate(mku * mqu, mnu, std::max(NPATCH, 1)) ||
        !frc::BASQV.allocate(mkv * mqv, mnv, std::max(NPATCH, 1))) {
        ERRMSG(" Allocation error in PBCOEF, RAM too small ", 0);
        IERR = 1;
        return;
    }
    float B[16];
    auto fill = [&](const float* T, int nb, int k, int n, int nq, const float* xg, int ld, Arr3<float>& tab, int p) {
        for (int a = 1; a <= n; ++a) {
            const float lo = T[k + a - 2], hi = T[k + a - 1];
            for (int q = 1; q <= nq; ++q) {
                int intv = 0, ierr = 0;
                BASEF(T, nb, k, 0.5f * (lo + hi) + 0.5f * (hi - lo) * xg[q - 1], 0, 1, B, 16, intv, ierr);
                if (ierr != 0) return false;
                for (int r = 1; r <= k; ++r) tab(r + (q - 1) * ld, a, p) = B[r - 1];
            }
        }
        return true;
    };
    for (int p = 1; p <= NPATCH; ++p) {
        if (!fill(HOTAB1.ptr(1, p), NBU(p), KU(p), NU(p), IQUI(p), HOTAB3.ptr(1, p), mku, frc::BASQU, p) ||
            !fill(HOTAB2.ptr(1, p), NBV(p), KV(p), NV(p), IQVI(p), HOTAB5.ptr(1, p), mkv, frc::BASQV, p)) {
            ERRMSG(" Error calling BASEF in PBCOEF", 0);
            IERR = 1;
            return;
        }
    }
}

}  // namespace zorva
