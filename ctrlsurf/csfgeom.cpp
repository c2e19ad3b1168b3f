// Evaluation of a control-surface patch of any kind: flat patches by their
// bilinear map, B-spline patches, and the user routine; the point scaled to
// the nondimensional length, the normal and the Jacobian, with a retry just
// inside the patch where the map degenerates (a collapsed edge).
#include <algorithm>
#include <cmath>
#include <vector>

#include "common/messages.hpp"
#include "ctrlsurf/ctrlsurf.hpp"
#include "geometry/bspline.hpp"
#include "geometry/hogeom.hpp"
#include "geometry/model.hpp"
#include "platform/zorva_userlib.h"

namespace zorva {

namespace {

// B-spline patch IP: the parameters mapped onto the patch's knot range,
// the basis values and first derivatives in u and v, summed with the
// patch's control points.
void GEOMBSPL(float U, float V, int IP, float* X, float* XU, float* XV, int& IERR) {
    using namespace csf;
    const int ku = KUCG(IP), kv = KVCG(IP), nbu = NBUCG(IP), nbv = NBVCG(IP);
    std::vector<float> bu(2 * static_cast<std::size_t>(ku)), bv(2 * static_cast<std::size_t>(kv));
    int iu = 0, iv = 0;
    BASEF(UKNOTC.ptr(1, IP), nbu, ku, UPARC(2, IP) + UPARC(1, IP) * U, 1, 1, bu.data(), ku, iu, IERR);
    if (IERR != 0) return;
    BASEF(VKNOTC.ptr(1, IP), nbv, kv, VPARC(2, IP) + VPARC(1, IP) * V, 1, 1, bv.data(), kv, iv, IERR);
    if (IERR != 0) return;
    int off = 0;
    for (int q = 1; q < IP; ++q) off += NBUCG(q) * NBVCG(q);
    for (int c = 0; c < 3; ++c) X[c] = XU[c] = XV[c] = 0.0f;
    for (int b = 1; b <= kv; ++b)
        for (int a = 1; a <= ku; ++a) {
            const int col = off + (iv - kv + b - 1) * nbu + (iu - ku + a);
            const float w = bu[static_cast<std::size_t>(a - 1)] * bv[static_cast<std::size_t>(b - 1)];
            const float wu = bu[static_cast<std::size_t>(ku + a - 1)] * bv[static_cast<std::size_t>(b - 1)] * UPARC(1, IP);
            const float wv = bu[static_cast<std::size_t>(a - 1)] * bv[static_cast<std::size_t>(kv + b - 1)] * VPARC(1, IP);
            for (int c = 0; c < 3; ++c) {
                const float p = XCOEFC(c + 1, col);
                X[c] += w * p;
                XU[c] += wu * p;
                XV[c] += wv * p;
            }
        }
}

// Point and derivatives of the kind, in the patch's own units.
int evaluate(float u, float v, int ib, int ip, float* P, float* PU, float* PV) {
    using namespace csf;
    const int kind = ICDEF(ib);
    if (kind == 0) {
        BILINPAN(u, v, ip, P, PU, PV);
        return 0;
    }
    if (kind == 1) {
        int ierr = 0;
        GEOMBSPL(u, v, ip, P, PU, PV, ierr);
        if (ierr != 0) ERRMSG(" Error in subroutine GEOMBSPL/BASEF, CSF=", ib);
        return ierr != 0 ? 1 : 0;
    }
    if (kind == 2) {
        ERRMSG("Control surfaces of a geometry-model file are not available in this build, body ", ib);
        return 1;
    }
    const int isxy[2] = {0, 0}, npatch = 0, irr = 0, iunit = 0;
    int ierr = 0;
    GEOMXACT(&u, &v, &ib, &ip, isxy, &npatch, &irr, P, PU, PV, ICDEF.ptr(1), &iunit, &ierr);
    if (ierr != 0) {
        ERRMSG(" Error in subroutine GEOMXACT, CSF =", ib);
        return 1;
    }
    return 0;
}

}  // namespace

void BILINPAN(float U, float V, int IP, float* X, float* XU, float* XV) {
    const auto& P = csf::XVCSF;
    for (int c = 1; c <= 3; ++c) {
        const float p1 = P(1, c, IP), p2 = P(2, c, IP), p3 = P(3, c, IP), p4 = P(4, c, IP);
        X[c - 1] = ((p1 * (1 + U) + p2 * (1 - U)) * (1 - V) + (p3 * (1 - U) + p4 * (1 + U)) * (1 + V)) / 4;
        XU[c - 1] = ((p1 - p2) * (1 - V) + (p4 - p3) * (1 + V)) / 4;
        XV[c - 1] = (p3 * (1 - U) + p4 * (1 + U) - p1 * (1 + U) - p2 * (1 - U)) / 4;
    }
}

void CSFGEOM(float U, float V, int IB, int IP, float* X, float* VN, float* XU, float* XV, float& AJ, int IDER,
             int& IERR) {
    float P[3] = {}, PU[3] = {}, PV[3] = {};
    IERR = evaluate(U, V, IB, IP, P, PU, PV);
    if (IERR != 0) return;
    const float s = model::ULENI;
    for (int c = 0; c < 3; ++c) X[c] = s * P[c];
    if (IDER == 0) return;
    for (int c = 0; c < 3; ++c) {
        XU[c] = s * PU[c];
        XV[c] = s * PV[c];
    }
    auto normal = [](const float* a, const float* b, float* n) {
        n[0] = a[1] * b[2] - a[2] * b[1];
        n[1] = a[2] * b[0] - a[0] * b[2];
        n[2] = a[0] * b[1] - a[1] * b[0];
        return std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    };
    float N[3];
    AJ = normal(XU, XV, N);
    if (AJ < 1.0e-6f) {
        // A degenerate point: the normal (and the area factor) from just
        // inside the patch.
        const float uc = std::clamp(U, -0.999999f, 0.999999f), vc = std::clamp(V, -0.999999f, 0.999999f);
        IERR = evaluate(uc, vc, IB, IP, P, PU, PV);
        if (IERR != 0) return;
        for (int c = 0; c < 3; ++c) {
            PU[c] *= s;
            PV[c] *= s;
        }
        AJ = normal(PU, PV, N);
        if (AJ < 1.0e-30f) {
            ERRMSG(" Singular Jacobian in CSFGEOM, CSF for body=", IB);
            IERR = 1;
            return;
        }
    }
    for (int c = 0; c < 3; ++c) VN[c] = N[c] / AJ;
}

void PSIDLENC(int IP, int IB, float* SLENC, int& IERR) {
    float X[3], VN[3], XU[3], XV[3], AJ;
    // |dX/dv| along u = +-1 (sides 1, 3), |dX/du| along v = +-1 (sides 2, 4).
    auto f = [&](int k, float s, float& val) {
        const bool alongv = k == 1 || k == 3;
        const float fixed = (k == 1 || k == 2) ? 1.0f : -1.0f;
        CSFGEOM(alongv ? fixed : s, alongv ? s : fixed, IB, IP, X, VN, XU, XV, AJ, 1, IERR);
        const float* d = alongv ? XV : XU;
        val = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
        return IERR == 0;
    };
    auto fail = [&] { ERRMSG(" Error in call to CSFGEOM from PSIDLENC, PATCH= ", IP); };
    for (int k = 1; k <= 4; ++k) {
        float T = 0.0f;
        const int st = SIDELEN([&](float s, float& v) { return f(k, s, v); }, T);
        if (st < 0) return fail();
        if (st == 0) {
            ERRMSG(" Warning: Romberg not converged in PSIDLENC", 0);
            ERRMSG("                                 BODY= ", IB);
            ERRMSG("                                PATCH= ", IP);
        }
        SLENC[k - 1] = T;
    }
    CSFGEOM(0.0f, 0.0f, IB, IP, X, VN, XU, XV, AJ, 1, IERR);
    if (IERR != 0) return fail();
    SLENC[4] = std::sqrt(XV[0] * XV[0] + XV[1] * XV[1] + XV[2] * XV[2]);
    SLENC[5] = std::sqrt(XU[0] * XU[0] + XU[1] * XU[1] + XU[2] * XU[2]);
}

}  // namespace zorva
