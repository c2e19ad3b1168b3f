// Evaluation of body patches: flat panels as bilinear patches, geometry
// B-spline patches, surfaces of the geometry kernel and of the user routine
// GEOMXACT, with their symmetry images, trim attitude, normal, Jacobian and
// modal normals.  The hot path of the higher-order method: no heap memory
// and no text work per call.
#include <algorithm>
#include <cmath>

#include "common/bounds.hpp"
#include "common/messages.hpp"
#include "geometry/bspline.hpp"
#include "geometry/hogeom.hpp"
#include "geometry/model.hpp"
#include "geometry/modelin.hpp"
#include "geometry/modelmore.hpp"
#include "geometry/rgklink.hpp"
#include "main/config.hpp"
#include "platform/zorva_userlib.h"

namespace zorva {

namespace model {
thread_local float ORIENT = 1.0f;
thread_local Arr1<float> VNPT;
thread_local Arr1<float> WMPT;
std::array<char, 16> MODNAME = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
}  // namespace model

using namespace model;

namespace {

// Sign of x, of y, and orientation of each symmetry image 1..4.
constexpr float SXI[5] = {0.0f, 1.0f, -1.0f, -1.0f, 1.0f};
constexpr float SYI[5] = {0.0f, 1.0f, 1.0f, -1.0f, -1.0f};
constexpr float ORI[5] = {0.0f, 1.0f, -1.0f, 1.0f, -1.0f};

// Largest geometry B-spline order (the reader refuses larger ones).
constexpr int MAXGORD = MAXBSPLORD;  // largest geometry B-spline order

inline void cross(const float* a, const float* b, float* c) {
    c[0] = a[1] * b[2] - a[2] * b[1];
    c[1] = a[2] * b[0] - a[0] * b[2];
    c[2] = a[0] * b[1] - a[1] * b[0];
}
inline float dot(const float* a, const float* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// One evaluation by the dispatch rule of BODYGEOM.
void dispatch(float u, float v, int IB, int IP, float* X, float* XU, float* XV, int MODE, int IGLOB, int& IERR) {
    if (cfg::IRR(IB) > 1 && NPATCHLIM > 0 && IP > NPATCHLIM) {
        FSPATCH(u, v, IB, IP, X, XU, XV, MODE, IERR);
        ORIENT = 1.0f;
    } else if (MODE != -1 && ITRIM(IP) != 0 && ITRMIDX.allocated() && ITRMIDX(IP) != 0) {
        PATCHWL(u, v, IB, IP, X, XU, XV, MODE, IGLOB, IERR);
    } else {
        PATCHEV(u, v, IB, IP, X, XU, XV, MODE, IGLOB, IERR);
    }
}

}  // namespace

void BODYBILIN(float U, float V, int G, float* X, float* XU, float* XV) {
    const float up = 1.0f + U, um = 1.0f - U, vp = 1.0f + V, vm = 1.0f - V;
    for (int c = 1; c <= 3; ++c) {
        const float p1 = XVER(1, c, G), p2 = XVER(2, c, G), p3 = XVER(3, c, G), p4 = XVER(4, c, G);
        X[c - 1] = 0.25f * (vm * (up * p1 + um * p2) + vp * (um * p3 + up * p4));
        XU[c - 1] = 0.25f * (vm * (p1 - p2) + vp * (p4 - p3));
        XV[c - 1] = 0.25f * (up * (p4 - p1) + um * (p3 - p2));
    }
}

void BODYBSPL(float U, float V, int G, float* X, float* XU, float* XV, int& IERR) {
    const int ku = KUG(G), kv = KVG(G), nu = NUG(G);
    const float s = GEOPAR1(1, G) * U + GEOPAR1(2, G);
    const float t = GEOPAR2(1, G) * V + GEOPAR2(2, G);
    float bu[MAXGORD * 2], bv[MAXGORD * 2];
    int iu = 0, iv = 0, ierr = 0;
    BASEF(&UKNOTG(1, G), nu, ku, s, 1, 1, bu, ku, iu, IERR);
    BASEF(&VKNOTG(1, G), NVG(G), kv, t, 1, 1, bv, kv, iv, ierr);
    if (IERR == 0) IERR = ierr;
    if (IERR != 0) return;
    long off = 0;
    for (int h = 1; h < G; ++h) off += static_cast<long>(NUG(h)) * NVG(h);
    double x[3] = {0, 0, 0}, xu[3] = {0, 0, 0}, xv[3] = {0, 0, 0};
    for (int j = 1; j <= kv; ++j) {
        const double bvj = static_cast<double>(bv[j - 1]), dvj = static_cast<double>(bv[kv + j - 1]);
        const long row = off + static_cast<long>(iv - kv + j - 1) * nu + (iu - ku);
        for (int i = 1; i <= ku; ++i) {
            const float* c = &XCOEFG(1, row + i);
            const double bi = static_cast<double>(bu[i - 1]), di = static_cast<double>(bu[ku + i - 1]);
            const double b = bi * bvj, bdu = di * bvj, bdv = bi * dvj;
            for (int k = 0; k < 3; ++k) {
                const double ck = static_cast<double>(c[k]);
                x[k] += b * ck;
                xu[k] += bdu * ck;
                xv[k] += bdv * ck;
            }
        }
    }
    const double gu = static_cast<double>(GEOPAR1(1, G)), gv = static_cast<double>(GEOPAR2(1, G));
    for (int k = 0; k < 3; ++k) {
        X[k] = static_cast<float>(x[k]);
        XU[k] = static_cast<float>(xu[k] * gu);
        XV[k] = static_cast<float>(xv[k] * gv);
    }
}

void PATCHEV(float U, float V, int IB, int IP, float* X, float* XU, float* XV, int MODE, int IGLOB, int& IERR) {
    IERR = 0;
    const bool trim = cfg::ITRIMWL != 0;
    float u = U, v = V;
    if (trim && MODE != -1 && ITRIM(IP) >= 2) {
        u = TRMMAP1(1, IP) + TRMMAP2(1, IP) * U + TRMMAP3(1, IP) * V + TRMMAP4(1, IP) * U * V;
        v = TRMMAP1(2, IP) + TRMMAP2(2, IP) * U + TRMMAP3(2, IP) * V + TRMMAP4(2, IP) * U * V;
    }
    const int g = IPRL(IP) + IPATOFF(IB);
    float P[3], PU[3], PV[3];
    const int kind = IGDEF(IB);
    if (kind == 0) {
        BODYBILIN(u, v, g, P, PU, PV);
    } else if (kind == 1) {
        BODYBSPL(u, v, g, P, PU, PV, IERR);
        if (IERR != 0) {
            ERRMSG("                              Patch =", IPRL(IP));
            return;
        }
    } else if (kind == 2) {
        RGKEVAL(u, v, IB, IPRL(IP), P, PU, PV, IERR);
        if (IERR != 0) {
            ERRMSG(" Error in subroutine RGKEVAL, Body =", IB);
            ERRMSG("                              Patch =", IPRL(IP));
            return;
        }
    } else {
        const int unit = 0;
        GEOMXACT(&u, &v, &IB, &IPRL(IP), &IS(1, IB), &NPATCH(IB), &cfg::IRR(IB), P, PU, PV, &IGDEF(1), &unit, &IERR);
        if (IERR != 0) {
            ERRMSG(" Error in subroutine GEOMXACT, Body =", IB);
            ERRMSG("                              Patch =", IPRL(IP));
            return;
        }
    }

    const int k = IPREF(IP);
    const float s = ULENI, sx = SXI[k] * s, sy = SYI[k] * s;
    ORIENT = ORI[k];
    const float x = sx * P[0], y = sy * P[1], z = s * P[2];
    const bool attitude = cfg::ITRIMWL >= 1 && IGLOB >= 0;
    float c1 = 1.0f, s1 = 0.0f, c2 = 1.0f, s2 = 0.0f;
    if (attitude) {
        c1 = TRIMCS(1, IB), s1 = TRIMCS(2, IB), c2 = TRIMCS(3, IB), s2 = TRIMCS(4, IB);
        X[0] = c1 * x + s1 * s2 * y + s1 * c2 * z;
        X[1] = c2 * y - s2 * z;
        X[2] = -s1 * x + c1 * s2 * y + c1 * c2 * z + cfg::XTRIM(1, IB);
    } else {
        X[0] = x, X[1] = y, X[2] = z;
    }
    if (MODE == 0) return;

    float xu[3] = {sx * PU[0], sy * PU[1], s * PU[2]}, xv[3] = {sx * PV[0], sy * PV[1], s * PV[2]};
    if (trim && MODE > 0) {
        if (ITRIM(IP) == 2) {
            const float au = TRMMAP2(1, IP) + TRMMAP4(1, IP) * V, bu = TRMMAP2(2, IP) + TRMMAP4(2, IP) * V;
            const float av = TRMMAP3(1, IP) + TRMMAP4(1, IP) * U, bv = TRMMAP3(2, IP) + TRMMAP4(2, IP) * U;
            float tu[3], tv[3];
            for (int c = 0; c < 3; ++c) {
                tu[c] = xu[c] * au + xv[c] * bu;
                tv[c] = xu[c] * av + xv[c] * bv;
            }
            std::copy(tu, tu + 3, xu);
            std::copy(tv, tv + 3, xv);
        }
        if (IGLOB >= 0) {
            for (float* w : {xu, xv}) {
                const float a = w[0], b = w[1], c = w[2];
                w[0] = c1 * a + s1 * s2 * b + s1 * c2 * c;
                w[1] = c2 * b - s2 * c;
                w[2] = -s1 * a + c1 * s2 * b + c1 * c2 * c;
            }
        }
    }
    std::copy(xu, xu + 3, XU);
    std::copy(xv, xv + 3, XV);
}

void BODYGEOM(float U, float V, int IB, int IP, float* X, float* VN, float* XU, float* XV, float& AJAC, int MODE,
              int IGLOB, int& IERR) {
    IERR = 0;
    dispatch(U, V, IB, IP, X, XU, XV, MODE, IGLOB, IERR);
    if (IERR > 0) return;

    if (MODE != 0) {
        float N[3];
        cross(XU, XV, N);
        float aj = std::sqrt(dot(N, N));
        const float au = std::fabs(U), av = std::fabs(V);
        if (std::max(au, av) > 0.9999f) {
            // At the patch edge the tangents of many surfaces degenerate:
            // the normal is taken just inside the edge where the Jacobian
            // vanishes.
            const float uu = dot(XU, XU), vv = dot(XV, XV);
            const bool loose = IGDEF(IB) == 2 || (uu > 1.0E-30f && vv > 1.0E-30f && dot(N, N) < 1.0E-8f * uu * vv);
            const float tol = loose ? 1.0E-4f : 1.0E-6f, lim = loose ? 0.9999f : 0.999999f;
            if (aj < tol) {
                float X2[3], XU2[3], XV2[3];
                dispatch(std::clamp(U, -lim, lim), std::clamp(V, -lim, lim), IB, IP, X2, XU2, XV2, MODE, IGLOB,
                         IERR);
                if (IERR > 0) return;
                cross(XU2, XV2, N);
                aj = std::sqrt(dot(N, N));
            }
        }
        AJAC = aj;
        // A vanishing Jacobian (at the edge after the second evaluation, or
        // anywhere inside) leaves no normal.
        if (aj < 1.0E-30f) {
            std::copy(N, N + 3, VN);
            ERRMSG(" Singular Jacobian in BODYGEOM, body IBI=", IB);
            IERR = 1;
            return;
        }
        const float f = ORIENT / aj;
        for (int c = 0; c < 3; ++c) VN[c] = N[c] * f;

        if (MODE == 2) {
            const int nmodt = NMODT;
            if (VNPT.extent(1) < nmodt && !VNPT.allocate(nmodt)) {
                ERRMSG("Insufficient memory to allocate VNPT array in BODYGEOM", 0);
                IERR = 1;
                return;
            }
            std::fill(VNPT.begin(), VNPT.end(), 0.0f);
            const int b = IBMOD(IB);
            const float x = X[0], y = X[1], z = X[2];
            VNPT(b + 1) = VN[0];
            VNPT(b + 2) = VN[1];
            VNPT(b + 3) = VN[2];
            VNPT(b + 4) = y * VN[2] - z * VN[1];
            VNPT(b + 5) = z * VN[0] - x * VN[2];
            VNPT(b + 6) = x * VN[1] - y * VN[0];
            if (cfg::NEWMDS(IB) > 0) {
                if (WMPT.extent(1) < nmodt && !WMPT.resize_keep(nmodt)) {
                    ERRMSG("Insufficient memory to allocate WMPT array in BODYGEOM", 0);
                    IERR = 1;
                    return;
                }
                std::fill(WMPT.begin(), WMPT.end(), 0.0f);
                const float XD[3] = {x * ULEN(1), y * ULEN(1), z * ULEN(1)};
                const int mode = 2, iuext = 15, iuerr = IUERR, iulog = IULOG;
                int ierr = 0;
                NEWMODES(XD, VN, &IBMOD(1), &IB, &IPRL(IP), &cfg::NEWMDS(1), &cfg::IGENMDS(IB), &IMODE(1), &VNPT(1),
                         &WMPT(1), &mode, &iuext, MODNAME.data(), 16, &iuerr, &iulog, &ierr);
                if (ierr != 0) {
                    ERRMSG(" Error calling NEWMODES from BODYGEOM, body IBI=", IB);
                    IERR = 1;
                    return;
                }
            }
        }
    }

    if (IGLOB > 0) {
        const float xb[3] = {X[0], X[1], X[2]};
        BODY2GLB(xb, X, IB);
    }
}

}  // namespace zorva
