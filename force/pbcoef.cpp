// Basis tables of the higher-order surface integrals: the values of the
// potential B-splines at the Gauss points of every knot interval.
#include "common/messages.hpp"
#include "force/force.hpp"
#include "force/forceres.hpp"
#include "geometry/bspline.hpp"
#include "geometry/model.hpp"
#include "geometry/modelmore.hpp"

namespace zorva {

void PBCOEF(int NPATCH, int& IERR) {
    using namespace model;
    using frc::BASQU;
    using frc::BASQV;
    IERR = 0;
    const int np = NPATCH > 0 ? NPATCH : 0;
    if (!BASQU.allocate(MAXKU * MAXQU, MAXNU, np) || !BASQV.allocate(MAXKV * MAXQV, MAXNV, np)) {
        ERRMSG(" Error allocating memory in PBCOEF", 0);
        IERR = 1;
        return;
    }
    BASQU.fill(0.0f);
    BASQV.fill(0.0f);
    // One direction of patch p: order K, N intervals, Q Gauss points on
    // [-1, 1] (nodes X), knots T; values into TAB with leading dimension LD.
    auto fill = [&](const float* T, int K, int N, int Q, const float* X, Arr3<float>& TAB, int LD, int p) {
        for (int a = 1; a <= N; ++a) {
            const float lo = T[K + a - 2], hi = T[K + a - 1];
            const float mid = 0.5f * (hi + lo), half = 0.5f * (hi - lo);
            for (int q = 1; q <= Q; ++q) {
                int intv = 0, ierr = 0;
                BASEF(T, N + K - 1, K, mid + half * X[q - 1], 0, 1, &TAB(1 + (q - 1) * LD, a, p), LD, intv, ierr);
                if (ierr != 0) return false;
            }
        }
        return true;
    };
    for (int p = 1; p <= np; ++p) {
        if (!fill(&HOTAB1(1, p), KU(p), NU(p), IQUI(p), &HOTAB3(1, p), BASQU, MAXKU, p) ||
            !fill(&HOTAB2(1, p), KV(p), NV(p), IQVI(p), &HOTAB5(1, p), BASQV, MAXKV, p)) {
            ERRMSG(" Error calling BASEF in PBCOEF", 0);
            IERR = 1;
            return;
        }
    }
}

}  // namespace zorva
