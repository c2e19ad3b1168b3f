// Free-surface patches of a control surface bounded by the body waterline:
// ruled strips between a stretch of a body waterline segment (the inner
// side) and a straight side or a cylinder arc (the outer side).  u runs
// from the outer side (u = -1) to the waterline (u = 1), v along both, so
// that round a counter-clockwise waterline the normal points down.
#include <cmath>
#include <cstdlib>

#include "common/messages.hpp"
#include "ctrlsurf/ctrlsurf.hpp"
#include "geometry/hogeom.hpp"
#include "geometry/model.hpp"
#include "geometry/modelmore.hpp"
#include "main/config.hpp"
#include "panels/irrfs.hpp"

namespace zorva {

void WLEDGE(float U, float V, int IB, int J, float* X, float* XU, float* XV, int MODE, int IGLOB, int& IERR) {
    using namespace csf;
    IERR = 0;
    if (IGLOB >= 1) {
        ERRMSG(" Free-surface patch of a control surface asked in the global frame, body ", IB);
        IERR = 1;
        return;
    }
    const int j = IB == 0 ? J - model::NPATCHLIM : J;
    const int s = IWLFSP(j);
    const float t1 = TFSP1(j), t2 = TFSP2(j);
    float w = (t1 + t2 - 1) + V * (t2 - t1);
    float XE[3] = {}, T[3] = {};
    if (cfg::ILOWHI != 0) {
        const int p = wl::IWLSEG(s, 1), e = std::abs(wl::IWLSEG(s, 2));
        // Against the edge on a mirror image or on a segment reversed with
        // its loop (negative edge code); both: along it.
        const bool mirror = (model::IPREF(p) == 2 || model::IPREF(p) == 4) != (wl::IWLSEG(s, 2) < 0);
        if (mirror) w = -w;
        float u, v;
        switch (e) {
            case 1: u = 1.0f, v = w; break;
            case 2: u = -w, v = 1.0f; break;
            case 3: u = -1.0f, v = -w; break;
            default: u = w, v = -1.0f;
        }
        // The patch's own body when the caller names none.
        const int ib = IB == 0 ? model::IBPTH(p) : IB;
        float PU[3], PV[3];
        if (model::ITRIM(p) != 0)
            PATCHWL(u, v, ib, p, XE, PU, PV, MODE, IGLOB, IERR);
        else
            PATCHEV(u, v, ib, p, XE, PU, PV, MODE, IGLOB, IERR);
        if (IERR != 0) {
            ERRMSG(" Singular mapping on waterline, body IBI=", IB == 0 ? 1 : IB);
            ERRMSG("                             Patch =", p);
            IERR = 1;
            return;
        }
        // d(inner point)/dv: the edge tangent in the direction of w, times dw/dv.
        const float* d = (e == 1 || e == 3) ? PV : PU;
        const float sg = (e == 1 || e == 4) ? 1.0f : -1.0f;
        for (int c = 0; c < 2; ++c) T[c] = sg * d[c] * (t2 - t1) * (mirror ? -1.0f : 1.0f);
    } else {
        for (int c = 1; c <= 2; ++c) {
            XE[c - 1] = ((1 - w) * wl::XWLBEG(c, s) + (1 + w) * wl::XWLEND(c, s)) / 2;
            T[c - 1] = (wl::XWLEND(c, s) - wl::XWLBEG(c, s)) * (t2 - t1) / 2;
        }
    }
    float Q[2], DQ[2];
    if (IBFSP(j) != 0) {
        for (int c = 1; c <= 2; ++c) {
            Q[c - 1] = ((1 - V) * XFSP1(c, j) + (1 + V) * XFSP2(c, j)) / 2;
            DQ[c - 1] = (XFSP2(c, j) - XFSP1(c, j)) / 2;
        }
    } else {
        const float a1 = XFSP1(1, j), a2 = XFSP2(1, j);
        const float phi = ((1 - V) * a1 + (1 + V) * a2) / 2;
        Q[0] = RCSFCYL * std::cos(phi);
        Q[1] = RCSFCYL * std::sin(phi);
        DQ[0] = -RCSFCYL * std::sin(phi) * (a2 - a1) / 2;
        DQ[1] = RCSFCYL * std::cos(phi) * (a2 - a1) / 2;
    }
    const float a = (1 + U) / 2, b = (1 - U) / 2;
    for (int c = 0; c < 2; ++c) {
        X[c] = a * XE[c] + b * Q[c];
        XU[c] = (XE[c] - Q[c]) / 2;
        XV[c] = a * T[c] + b * DQ[c];
    }
    XU[2] = XV[2] = 0.0f;
    if (IB > 0) X[2] = -cfg::XBODY(3, IB);
}

}  // namespace zorva
