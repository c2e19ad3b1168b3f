// Evaluation of a trimmed sub-patch whose cut edge follows the waterline:
// along the line of the point (straight cut) or along the ray from its wet
// corner (corner cut) the waterline crossing is found on the surface, the
// sub-patch parameter is mapped onto the wetted part of the line, and the
// plain patch evaluation is made there.
#include <algorithm>
#include <cmath>

#include "common/messages.hpp"
#include "geometry/hogeom.hpp"
#include "geometry/model.hpp"
#include "geometry/modelmore.hpp"
#include "geometry/trimhigh.hpp"
#include "main/config.hpp"

namespace zorva {

using namespace model;

void PATCHWL(float& U, float& V, int IB, int IP, float* X, float* XU, float* XV, int MODE, int IGLOB, int& IERR) {
    IERR = 0;
    constexpr float LIM = 0.999999f;
    const int M = cfg::ITRIMWL, EC = ITRMIDX(IP);
    const float STEP = 2.0f / static_cast<float>(M);
    float ZOFF = cfg::XBODY(3, IB);
    if (ITANK(IP) > 0) ZOFF -= cfg::ZTANKFS(ITANK(IP));
    auto fail = [&](bool singular) {
        if (singular) ERRMSG(" Singular mapping searching for waterline", 0);
        ERRMSG(" Error trimming waterline, body IBI=", IB);
        ERRMSG("                             Patch =", IPRL(IP));
        IERR = 1;
    };
    const float u = U, v = V;
    float P[3], PU[3], PV[3];
    // Height above the waterline at sub-patch parameters (a, b); with
    // derivatives its slopes along both.
    auto height = [&](float a, float b, int mode, float& F, float& Fa, float& Fb) {
        PATCHEV(a, b, IB, IP, P, PU, PV, mode, 0, IERR);
        F = P[2] + ZOFF;
        if (mode != 0) Fa = PU[2], Fb = PV[2];
        return IERR == 0;
    };
    // Step search along a line p(i), then regula falsi and Newton.  at(p)
    // gives the parameters of line point p, slope(Fa, Fb) dF/dp.
    float ua = 0.0f, va = 0.0f;  // parameters of the accepted crossing
    float Fa = 0.0f, Fb = 0.0f;  // slopes there (valid when haveslope)
    bool haveslope = false;

    float us, vs;  // mapped parameters
    float dpdv = 0.0f, pst = 0.0f, tst = 0.0f, c = 0.0f, s = 0.0f, A = 0.0f, U0 = 0.0f, V0 = 0.0f;
    if (EC >= 1 && EC <= 4) {
        const bool alongu = EC == 1 || EC == 3;
        const float held = std::clamp(alongu ? v : u, -LIM, LIM);
        const float E = EC <= 2 ? -LIM : LIM;
        auto at = [&](float p, float& a, float& b) {
            a = alongu ? p : held;
            b = alongu ? held : p;
        };
        float pprev = E, Fprev = 0.0f, p = E, F = 0.0f, d1, d2;
        at(p, ua, va);
        if (!height(ua, va, 0, Fprev, d1, d2)) return fail(true);
        int i = 1;
        for (; i <= M + 1; ++i) {
            p = (1.0f - static_cast<float>(i) * STEP) * E;
            at(p, ua, va);
            if (!height(ua, va, 0, F, d1, d2)) return fail(true);
            if (F > -1.0E-5f) break;
            pprev = p, Fprev = F;
        }
        if (i <= M + 1 && F > 1.0E-5f) {
            p = (pprev * F - p * Fprev) / (F - Fprev);
            for (int it = 1; it <= 16; ++it) {
                p = std::clamp(p, -LIM, LIM);
                at(p, ua, va);
                if (!height(ua, va, 1, F, Fa, Fb)) return fail(false);
                haveslope = true;
                if (std::fabs(F) < 1.0E-5f) break;
                const float dF = alongu ? Fa : Fb;
                if (std::fabs(dF) < 1.0E-16f) return fail(true);
                p -= F / dF;
                haveslope = false;
            }
        }
        pst = p;
        const float pc = std::clamp(pst, -LIM, LIM);
        if (EC == 1) us = (1 + pst) / 2 * u - (1 - pst) / 2;
        else if (EC == 3) us = (1 - pst) / 2 * u + (1 + pst) / 2;
        else if (EC == 2) us = (1 + pst) / 2 * v - (1 - pst) / 2;
        else us = (1 - pst) / 2 * v + (1 + pst) / 2;
        if (alongu) vs = v;
        else vs = us, us = u;
        if (MODE != 0 && MODE != -2) {
            if (!haveslope) {
                at(pc, ua, va);
                float F2;
                if (!height(ua, va, 1, F2, Fa, Fb)) return fail(false);
            }
            const float num = alongu ? Fb : Fa, den = alongu ? Fa : Fb;
            if (std::fabs(den) < 1.0E-16f) return fail(true);
            dpdv = -num / den;
        }
    } else if (EC >= -4 && EC <= -1) {
        constexpr float QP = 0.785398163f;
        const int k = -EC;
        U0 = CORNS[k], V0 = CORNT[k], A = k == 1 || k == 3 ? -QP : QP;
        const float th = QP + A * v;
        c = std::cos(th), s = std::sin(th);
        auto at = [&](float t, float& a, float& b) {
            a = std::clamp(U0 * (1 - t * c), -LIM, LIM);
            b = std::clamp(V0 * (1 - t * s), -LIM, LIM);
        };
        float tprev = 1.0E-6f, Fprev = 0.0f, t = tprev, F = 0.0f, d1, d2;
        at(t, ua, va);
        if (!height(ua, va, 0, Fprev, d1, d2)) return fail(true);
        int i = 1;
        for (; i <= 2 * M; ++i) {
            t = static_cast<float>(i) * STEP + 1.0E-6f;
            at(t, ua, va);
            if (!height(ua, va, 0, F, d1, d2)) return fail(true);
            if (F > -1.0E-5f) break;
            if (std::max(c, s) * t > 2.0f) return fail(false);
            tprev = t, Fprev = F;
        }
        if (i > 2 * M) return fail(false);
        if (F > 1.0E-5f) {
            t = (tprev * F - t * Fprev) / (F - Fprev);
            for (int it = 1; it <= 16; ++it) {
                at(t, ua, va);
                if (!height(ua, va, 1, F, Fa, Fb)) return fail(false);
                haveslope = true;
                if (std::fabs(F) < 1.0E-5f) break;
                const float dF = -(U0 * c * Fa + V0 * s * Fb);
                if (std::fabs(dF) < 1.0E-16f) return fail(true);
                t -= F / dF;
                haveslope = false;
            }
        }
        tst = t;
        const float r = (1 + u) / 2 * tst;
        us = U0 * (1 - r * c);
        vs = V0 * (1 - r * s);
        if (MODE != 0 && MODE != -2) {
            if (!haveslope) {
                at(tst, ua, va);
                float F2;
                if (!height(ua, va, 1, F2, Fa, Fb)) return fail(false);
            }
            const float den = U0 * c * Fa + V0 * s * Fb;
            if (std::fabs(den) < 1.0E-16f) return fail(true);
            dpdv = A * tst * (U0 * s * Fa - V0 * c * Fb) / den;
        }
    } else {
        PATCHEV(u, v, IB, IP, X, XU, XV, MODE, IGLOB, IERR);
        return;
    }

    us = std::clamp(us, -LIM, LIM);
    vs = std::clamp(vs, -LIM, LIM);
    if (MODE == -2) {
        U = us;
        V = vs;
        return;
    }
    PATCHEV(us, vs, IB, IP, X, PU, PV, MODE, IGLOB, IERR);
    if (IERR != 0) return fail(false);
    if (MODE == 0) return;
    for (int k = 0; k < 3; ++k) {
        switch (EC) {
            case 1: XU[k] = (1 + pst) / 2 * PU[k], XV[k] = PV[k] + (1 + u) / 2 * dpdv * PU[k]; break;
            case 3: XU[k] = (1 - pst) / 2 * PU[k], XV[k] = PV[k] + (1 - u) / 2 * dpdv * PU[k]; break;
            case 2: XV[k] = (1 + pst) / 2 * PV[k], XU[k] = PU[k] + (1 + v) / 2 * dpdv * PV[k]; break;
            case 4: XV[k] = (1 - pst) / 2 * PV[k], XU[k] = PU[k] + (1 - v) / 2 * dpdv * PV[k]; break;
            default:
                XU[k] = -(tst / 2) * (U0 * c * PU[k] + V0 * s * PV[k]);
                XV[k] = (1 + u) / 2 * (U0 * (tst * s * A - c * dpdv) * PU[k] - V0 * (tst * c * A + s * dpdv) * PV[k]);
        }
    }
}

}  // namespace zorva
