// Waterline search along one side of a sub-patch of the trimming list, and
// the split of a sub-patch with a single wet corner.
#include <algorithm>
#include <cmath>

#include "common/messages.hpp"
#include "geometry/hogeom.hpp"
#include "geometry/modelmore.hpp"
#include "geometry/trimhigh.hpp"

namespace zorva {

using namespace model;

namespace {

// Height above the waterline of entry JS at local (s, t).
bool height(const TrimGrid& GR, int JS, int IP, int IB, float s, float t, float du, float dv, float& F, int& IERR) {
    const float u = 0.5f * ((TRMRNG1(1, JS) + TRMRNG1(4, JS)) + (TRMRNG1(1, JS) - TRMRNG1(4, JS)) * s) + du;
    const float v = 0.5f * ((TRMRNG2(1, JS) + TRMRNG2(2, JS)) + (TRMRNG2(2, JS) - TRMRNG2(1, JS)) * t) + dv;
    float x[3], vn[3], xu[3], xv[3], aj = 0.0f;
    BODYGEOM(u, v, IB, IP, x, vn, xu, xv, aj, -1, 0, IERR);
    F = x[2] - GR.ZL;
    return IERR == 0;
}

}  // namespace

void WLSRCH(const TrimGrid& GR, int K, int JS, int IP, int IB, int DIR, int FREF, float& S, float& T, int& ISIDE,
            int& IERR) {
    if (IERR != 0) return;
    auto fail = [&] {
        ERRMSG(" Error searching for waterline intersection, patch=", IP);
        IERR = 1;
    };
    const int M = GR.M, n = M + 1;
    const int CI[5] = {0, n, n, 1, 1}, CJ[5] = {0, 1, n, n, 1};
    const int c0 = DIR == 1 ? K : NEXTC[K], c1 = DIR == 1 ? NEXTC[K] : K;
    const int di = (CI[c1] > CI[c0]) - (CI[c1] < CI[c0]), dj = (CJ[c1] > CJ[c0]) - (CJ[c1] < CJ[c0]);
    auto flag = [&](int k) { return GR.FLAG(CI[c0] + k * di, CJ[c0] + k * dj); };
    auto pos = [&](int k, float& s, float& t) {
        s = GR.G[static_cast<std::size_t>(CI[c0] + k * di - 1)];
        t = GR.G[static_cast<std::size_t>(CJ[c0] + k * dj - 1)];
    };

    // Walk along the side to the first change of flag.
    float s = 0.0f, t = 0.0f;
    const int F1 = flag(0), F2 = flag(1);
    int P = -1;
    if (F1 == 0 && F2 != F1 && F2 != FREF) {
        P = 0;
    } else {
        for (int k = (F1 == 0 && F2 == FREF) ? 2 : 1; k <= M && P < 0; ++k)
            if (flag(k) != flag(k - 1)) P = k;
        if (P < 0) return fail();
    }
    pos(P, s, t);

    // Refinement by halving from the first point past the change.
    if (flag(P) != 0 && P > 0) {
        float step = 2.0f / static_cast<float>(M), prev = static_cast<float>(flag(P));
        float ds = static_cast<float>(di), dt = static_cast<float>(dj);
        for (int it = 1; it <= 100; ++it) {
            step /= 2;
            s -= step * ds;
            t -= step * dt;
            float F;
            if (!height(GR, JS, IP, IB, s, t, 0.0f, 0.0f, F, IERR)) return fail();
            if (std::fabs(F) < 1.0E-5f) break;
            if ((F < 0.0f) != (prev < 0.0f)) step = -step;
            prev = F;
        }
    }

    // State just inside the side.
    constexpr float OU[5] = {0, -0.01f, 0, 0.01f, 0}, OV[5] = {0, 0, -0.01f, 0, 0.01f};
    float F;
    if (!height(GR, JS, IP, IB, s, t, OU[K], OV[K], F, IERR)) return fail();
    ISIDE = F < -1.0E-5f ? -1 : F > 1.0E-5f ? 1 : 0;
    S = s;
    T = t;
}

void TRIMWL1(const TrimGrid& GR, int Q, int JS, int IP, int IB, int& IERR) {
    if (IERR > 0) return;
    if (Q < 1 || Q > 4) {
        ERRMSG(" Error in subroutine for type 1 waterline patch ", 0);
        IERR = 1;
        return;
    }
    // The crossings on the two sides that meet at the wet corner.  A corner
    // on the waterline itself is taken as wet.
    float SA, TA, SB, TB;
    int IA = 0, IBS = 0;
    WLSRCH(GR, PREVC[Q], JS, IP, IB, 2, -1, SA, TA, IA, IERR);
    WLSRCH(GR, Q, JS, IP, IB, 1, -1, SB, TB, IBS, IERR);
    if (IERR != 0) return;
    const float dA = std::max(std::fabs(SA - CORNS[Q]), std::fabs(TA - CORNT[Q]));
    const float dB = std::max(std::fabs(SB - CORNS[Q]), std::fabs(TB - CORNT[Q]));
    IPGDF(JS) = IP;
    const float u1 = TRMRNG1(1, JS), u4 = TRMRNG1(4, JS), v1 = TRMRNG2(1, JS), v2 = TRMRNG2(2, JS);
    auto uof = [&](float s) { return 0.5f * ((u1 + u4) + (u1 - u4) * s); };
    auto vof = [&](float t) { return 0.5f * ((v1 + v2) + (v2 - v1) * t); };
    if (dA < 0.4f * dB && IBS == 1) {
        // Straight cut on the rectangle shortened to the far crossing B.
        ITRMIDX(JS) = OPPC[Q];
        for (int c : {NEXTC[Q], OPPC[Q]}) {
            if (Q == 1 || Q == 3) TRMRNG2(c, JS) = vof(TB);
            else TRMRNG1(c, JS) = uof(SB);
        }
        ITRIM(IP) = 2;
    } else if (dB < 0.4f * dA && IA == 1) {
        ITRMIDX(JS) = NEXTC[Q];
        for (int c : {OPPC[Q], PREVC[Q]}) {
            if (Q == 1 || Q == 3) TRMRNG1(c, JS) = uof(SA);
            else TRMRNG2(c, JS) = vof(TA);
        }
        ITRIM(IP) = 2;
    } else {
        ITRMIDX(JS) = -Q;
    }
}

}  // namespace zorva
