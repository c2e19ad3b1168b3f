// Plane geometry of the free surface round a body's waterline, for the
// control surfaces bounded by it: a ray against a segment, the polar angle
// of a point or of its ray's end on the outer cylinder, a point and normal
// on a waterline segment, the foot of a point on a waterline loop, and the
// completion of an open boundary list out to the outer wall.
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

namespace {

// Intersection tolerance: lengths are nondimensional, so a fixed fraction
// of the unit length.
constexpr float TOLINT = 1.0e-5f;

}  // namespace

void SLINT(const float* P, float TH, const float* A, const float* B, float* H, int& ISTAT) {
    const float c = std::cos(TH), s = std::sin(TH);
    const float dx = B[0] - A[0], dy = B[1] - A[1], ex = B[0] - P[0], ey = B[1] - P[1];
    const float den = dy * c - dx * s;
    int first = 2;
    if (std::fabs(den) >= TOLINT) {
        const float t = (c * ey - s * ex) / den, r = (ex * dy - ey * dx) / den;
        if (t < -1.0e-6f || t > 1.000001f || r < 0.0f) {
            first = 1;
        } else {
            first = 0;
            H[0] = B[0] * (1 - t) + A[0] * t;
            H[1] = B[1] * (1 - t) + A[1] * t;
        }
    }
    const float phi = std::atan2(-dx, dy);
    const float L = std::cos(phi) * dy - std::sin(phi) * dx;
    if (std::fabs(L) < TOLINT)
        ISTAT = 43;
    else if (std::fabs((ex * dy - ey * dx) / L) < TOLINT)
        ISTAT = 3;
    else
        ISTAT = first;
}

void WLANGLE(const float* P, float A, int IFLAG, float& ANG, float& APREV) {
    float a;
    if (IFLAG == 0) {
        a = std::atan2(P[1], P[0]);
    } else {
        const float R = csf::RCSFCYL, b = P[0] * std::cos(A) + P[1] * std::sin(A);
        const float w = std::sqrt(b * b - (P[0] * P[0] + P[1] * P[1] - R * R)) - b;
        a = std::atan2(P[1] + w * std::sin(A), P[0] + w * std::cos(A));
    }
    if (APREV > a) a += 6.2831855f;
    ANG = a;
    APREV = a;
}

void WLPNT(int J, float T, int IFLAG, float* X, float* VN, int& IERR) {
    IERR = 0;
    if (cfg::ILOWHI == 0) {
        for (int c = 1; c <= 2; ++c) X[c - 1] = (1 - T) * wl::XWLBEG(c, J) + T * wl::XWLEND(c, J);
        X[2] = 0.0f;
        const float dx = wl::XWLEND(1, J) - wl::XWLBEG(1, J), dy = wl::XWLEND(2, J) - wl::XWLBEG(2, J);
        const float len = std::sqrt(dx * dx + dy * dy);
        if (len < 1.0e-30f) {
            ERRMSG("Error in normal on waterline, Panel= ", J);
            IERR = 1;
            return;
        }
        VN[0] = -dy / len;
        VN[1] = dx / len;
        VN[2] = 0.0f;
        return;
    }
    const int ip = wl::IWLSEG(J, 1), e = std::abs(wl::IWLSEG(J, 2)), ib = model::IBPTH(ip);
    // A negative edge code: the segment runs against the edge.
    const float t = wl::IWLSEG(J, 2) < 0 ? 1 - T : T;
    const float s = (model::IPREF(ip) == 1 || model::IPREF(ip) == 3) ? t : 1 - t;
    float u, v;
    switch (e) {
        case 1: u = 1.0f, v = 2 * s - 1; break;
        case 2: u = 1 - 2 * s, v = 1.0f; break;
        case 3: u = -1.0f, v = 1 - 2 * s; break;
        default: u = 2 * s - 1, v = -1.0f;
    }
    float XU[3], XV[3], AJ = 0.0f;
    BODYGEOM(u, v, ib, ip, X, VN, XU, XV, AJ, 1, IFLAG == 1 ? 0 : 1, IERR);
    if (IERR != 0) {
        ERRMSG("Error in BODYGEOM on waterline, Patch= ", ip);
        IERR = 1;
    }
}

void PCLOSE(const float* P, int K, int IFLAG, int& J, float& T, int& ISTAT, int& IERR) {
    using namespace wl;
    IERR = 0;
    const int i1 = IFSTWL(K), i2 = ILSTWL(K);
    const int nsub = i1 == i2 ? 9 : 5;
    const float h = i1 == i2 ? 0.125f : 0.25f;
    auto dist = [P](const float* X) { return std::hypot(P[0] - X[0], P[1] - X[1]); };
    float best = 0.0f;
    int ibest = 1;
    J = i1;
    for (int j = i1; j <= i2; ++j) {
        float sb = 0.0f;
        int si = 1;
        for (int i = 1; i <= nsub; ++i) {
            float X[3], VN[3];
            if (i == 1) {
                X[0] = XWLBEG(1, j), X[1] = XWLBEG(2, j);
            } else if (i == nsub) {
                X[0] = XWLEND(1, j), X[1] = XWLEND(2, j);
            } else {
                WLPNT(j, (i - 1) * h, IFLAG, X, VN, IERR);
                if (IERR != 0) {
                    ERRMSG("Error in RDCSF subroutine PCLOSE ", 0);
                    IERR = 1;
                    return;
                }
            }
            const float d = dist(X);
            if (i == 1 || d < sb) sb = d, si = i;
        }
        if (j == i1 || sb < best) best = sb, ibest = si, J = j;
    }
    int i = ibest;
    if (i == nsub && !(ISYMEND(K) != 0 && J >= i2)) {
        J = J + 1 > i2 ? i1 : J + 1;
        i = 1;
    }
    if (i == 1) {
        T = 0.0f;
        ISTAT = 1;
        return;
    }
    if (i == nsub) {
        T = 1.0f;
        ISTAT = 2;
        return;
    }
    T = (i - 1) * h;
    ISTAT = 0;
    const float off = IFLAG == 1 ? 0.0f : 0.017453292f * cfg::XBODY(4, model::IBPTH(IWLSEG(J, 1)));
    float step = 0.1f, p = 0.0f;
    for (int it = 0; it < 100; ++it) {
        float W[3], N[3];
        WLPNT(J, T, IFLAG, W, N, IERR);
        if (IERR != 0) {
            ERRMSG("Error in BODYGEOM on waterline, Patch= ", IWLSEG(J, 1));
            IERR = 1;
            return;
        }
        float a1 = std::atan2(-N[1], -N[0]) + off, a2 = std::atan2(P[1] - W[1], P[0] - W[0]);
        if (a2 < a1 - 3.1415929f) a2 += 6.2831855f;
        if (a1 < a2 - 3.1415929f) a1 += 6.2831855f;
        const float D = a2 - a1;
        if (std::fabs(D) < 1.0e-4f) return;
        if (p * D < 0.0f) step *= 0.1f;
        T += D >= 0.0f ? std::fabs(step) : -std::fabs(step);
        T = std::max(std::min(T, 1.0f), 0.0f);
        p = D;
    }
}

void FSPART(int& N, int IB, int& IERR) {
    using namespace csf;
    IERR = 0;
    if (N < 2) {
        ERRMSG(" Inner partition has fewer than two points, body ", IB);
        IERR = 1;
        return;
    }
    auto on_plane = [IB](int a, int b) {
        return (model::IS(1, IB) == 1 && std::fabs(XBND(1, a)) < 1.0e-5f && std::fabs(XBND(1, b)) > 1.0e-5f) ||
               (model::IS(2, IB) == 1 && std::fabs(XBND(2, a)) < 1.0e-5f && std::fabs(XBND(2, b)) > 1.0e-5f);
    };
    const bool ext_s = !on_plane(1, 2), ext_e = !on_plane(N, N - 1);
    auto missed = [&IERR] {
        ERRMSG(" Inner partition does not intersect control surface ", 0);
        IERR = 1;
    };
    if (ICSFCYL == 1) {
        // Out along the line from the neighbour through the end, to the circle.
        auto extend = [&](int q, int qn) {
            const float dx = XBND(1, q) - XBND(1, qn), dy = XBND(2, q) - XBND(2, qn);
            const float a = dx * dx + dy * dy, b = dx * XBND(1, qn) + dy * XBND(2, qn);
            const float c = XBND(1, qn) * XBND(1, qn) + XBND(2, qn) * XBND(2, qn) - RCSFCYL * RCSFCYL;
            const float disc = b * b - a * c;
            if (a <= 0.0f || disc < 0.0f) return false;
            const float s = (std::sqrt(disc) - b) / a;
            XBND(1, q) = XBND(1, qn) + s * dx;
            XBND(2, q) = XBND(2, qn) + s * dy;
            return true;
        };
        if (ext_s && !extend(1, 2)) return missed();
        if (ext_e && !extend(N, N - 1)) return missed();
        return;
    }
    const int nv = NVERTCSF;
    // First polygon edge from E0 on that the ray from point QN through
    // point Q meets; 0 when none.
    auto hit = [&](int q, int qn, int e0, float* H) {
        const float P[2] = {XBND(1, qn), XBND(2, qn)};
        const float th = std::atan2(XBND(2, q) - XBND(2, qn), XBND(1, q) - XBND(1, qn));
        for (int e = e0; e <= nv - 1; ++e) {
            int st = 0;
            SLINT(P, th, XYCSF.ptr(1, e), XYCSF.ptr(1, e + 1), H, st);
            if (st == 0) return e;
        }
        return 0;
    };
    int es = 0, ee = 0;
    if (ext_s) {
        float H[2];
        es = hit(1, 2, 1, H);
        if (es == 0) return missed();
        if (es == 1 && nv == 5) {
            float H4[2];
            if (hit(1, 2, 4, H4) == 4) es = 4, H[0] = H4[0], H[1] = H4[1];
        }
        XBND(1, 1) = H[0], XBND(2, 1) = H[1];
    }
    if (ext_e) {
        float H[2];
        ee = hit(N, N - 1, 1, H);
        if (ee == 0) return missed();
        if (ee < nv - 1) {
            float H2[2];
            int st = 0;
            const float P[2] = {XBND(1, N - 1), XBND(2, N - 1)};
            const float th = std::atan2(XBND(2, N) - P[1], XBND(1, N) - P[0]);
            SLINT(P, th, XYCSF.ptr(1, ee + 1), XYCSF.ptr(1, ee + 2), H2, st);
            if (st == 0) ++ee, H[0] = H2[0], H[1] = H2[1];
        }
        XBND(1, N) = H[0], XBND(2, N) = H[1];
    }
    if (ext_s && ext_e) {
        int q = es - ee;
        if (q < 0) q += nv - 1;
        for (int i = 1; i <= q; ++i) {
            const int v = (ee + i - 1) % (nv - 1) + 1;
            XBND(1, N + i) = XYCSF(1, v), XBND(2, N + i) = XYCSF(2, v);
        }
        XBND(1, N + q + 1) = XBND(1, 1), XBND(2, N + q + 1) = XBND(2, 1);
        N += q + 1;
    } else if (ext_s) {
        for (int i = N; i >= 2; --i) XBND(1, i + es) = XBND(1, i), XBND(2, i + es) = XBND(2, i);
        XBND(1, es + 1) = XBND(1, 1), XBND(2, es + 1) = XBND(2, 1);
        for (int v = 1; v <= es; ++v) XBND(1, v) = XYCSF(1, v), XBND(2, v) = XYCSF(2, v);
        N += es;
    } else if (ext_e) {
        for (int v = ee + 1; v <= nv; ++v) XBND(1, N + v - ee) = XYCSF(1, v), XBND(2, N + v - ee) = XYCSF(2, v);
        N += nv - ee;
    }
}

}  // namespace zorva
