// Self-influence of a patch: the singular square around a point of the
// patch itself.
#include <algorithm>
#include <cmath>

#include "common/messages.hpp"
#include "geometry/model.hpp"
#include "geometry/patchwhere.hpp"
#include "geometry/trimhigh.hpp"
#include "kernels/horank.hpp"
#include "main/config.hpp"

namespace zorva {

namespace {

inline float dot(const float* a, const float* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// asinh in the form that keeps its accuracy on both sides of 0; for large
// |x|, where sqrt(x^2 + 1) is |x| to single precision, as ln 2|x| (x^2
// overflows above about 1.8e19).
inline float asinh_(float x) {
    const float ax = std::fabs(x);
    const float a = ax > 1.0e4f ? std::log(ax) + 0.6931472f : std::log(std::sqrt(ax * ax + 1.0f) + ax);
    return x < 0.0f ? -a : a;
}

inline float binom(int n, int l) {
    float c = 1.0f;
    for (int i = 1; i <= l; ++i) c = c * static_cast<float>(n - i + 1) / static_cast<float>(i);
    return c;
}

// Monomials MO(k) of (U, V): k = 2..NPU times U, then blocks of NPU times V.
inline void monomials(float* MO, int NPU, int NPUV, float U, float V) {
    MO[0] = 1.0f;
    for (int k = 2; k <= NPU; ++k) MO[k - 1] = MO[k - 2] * U;
    for (int k = NPU + 1; k <= NPUV; ++k) MO[k - 1] = MO[k - 1 - NPU] * V;
}

}  // namespace

void SELF(float US, float VS, float UREF, float VREF, float H, int NPU, int /*NPV*/, int NPUV, int IB, int ILOGF,
          int IP, int IKIND, int IGRAD, const SelfRules& RL, int NGU, int NGV, const float* XGU, const float* WGU,
          const float* XGV, const float* WGV, RkMoments& M, SubdivWork& W, int& IERR) {
    IERR = 0;
    const bool wm = cfg::IBODY_WAVEMAKER != 0 && IB >= cfg::IBODY_WAVEMAKER;
    const float fS = wm ? 2.0f : 1.0f, fD = wm ? 0.0f : 1.0f;
    const int NM = model::NMODT;
    const bool grad = IGRAD == 1, logk = ILOGF == 1;
    const float lnh = std::log(H);
    float* MO = W.PW.data();   // monomials about (UREF, VREF)
    float* MD = W.SPW.data();  // monomials of the offsets from the singular point
    float* LG = W.GPW.data();  // dipole gradient about the singular point (3 per term)
    float* VN = W.VN.data();
    auto fail = [&] {
        ERRMSG(" Error calling BODYGEOM in SELF", 0);
        IERR = 1;
    };
    HoPt s, q;
    if (HOEVAL(US, VS, IB, IP, 1, s, nullptr) != 0) return fail();
    const float* A0 = s.XU;
    const float* B0 = s.XV;
    const float AA = dot(A0, A0), AB = dot(A0, B0), BB = dot(B0, B0);
    // |A x B| straight from the cross product: from |A|^2 |B|^2 - (A.B)^2
    // it cancels to nothing when the tangents are long and nearly parallel.
    float AXB[3] = {0.0f, 0.0f, 0.0f};
    CROSSADD(AXB, 1.0f, A0, B0);
    const float JS = std::sqrt(dot(AXB, AXB));
    // The parallelogram of the tangents may not be too thin: with |A x B|
    // below 1e-6 of the larger of |A|^2 and |B|^2 (the sine of their angle
    // times the ratio of the shorter to the longer) the distances of the
    // nodes from the singular point lose their digits in single precision
    // (per cent errors near 1e-7, non-finite moments from about 1e-12).
    // Just above the bound the source sum is still off by up to about 1.3 %,
    // at twice the bound by 0.2 to 0.8 %.
    if (!(AA > 0.0f && BB > 0.0f && JS > 0.0f && std::isfinite(AA) && std::isfinite(BB) && std::isfinite(JS) &&
          JS >= 1.0e-6f * std::max(AA, BB))) {
        ERRMSG(" Patch without a tangent plane at a collocation point (tangents of zero length or parallel): " +
                   PATCHWHERE(IB, IP),
               0);
        IERR = 1;
        return;
    }
    if (grad)
        for (int k = 0; k < 3 * NPUV; ++k) LG[k] = 0.0f;

    for (int pair = 1; pair <= 2; ++pair) {
        // pair 1 reaches the sides u = US +- H, pair 2 the sides v = VS +- H;
        // for pair 2 the roles of A and B exchange
        const float QQ = pair == 1 ? BB : AA;
        // d^2 = |A|^2 / |B|^2 - c^2 = |A x B|^2 / |B|^4 (pair 1)
        const float c = -AB / QQ, d = JS / QQ;
        const float t1 = asinh_((1.0f - c) / d), t2 = asinh_((-1.0f - c) / d);
        const float lq = std::sqrt(QQ);  // |B| for pair 1, |A| for pair 2
        const float wt = 0.5f * (t1 - t2) / lq;
        auto offsets = [&](float rho, float sl, float& du, float& dv) {
            if (pair == 1) du = H * rho, dv = H * rho * sl;
            else du = H * rho * sl, dv = H * rho;
        };
        for (int k = 0; k < 8; ++k) {
            const float t = RL.XG[k] * 0.5f * (t1 - t2) + 0.5f * (t1 + t2);
            const float sl = c + d * std::sinh(t);
            // |A + s B| (pair 1), in the form that keeps its accuracy
            const float flat = std::sqrt(QQ * ((sl - c) * (sl - c) + d * d));
            for (int j = 0; j < 8; ++j) {
                const float rho = RL.XG[j];
                float du, dv;
                offsets(rho, sl, du, dv);
                if (HOEVAL(US + du, VS + dv, IB, IP, 2, q, VN) != 0) return fail();
                const float geo = H * H * std::fabs(rho) * flat * RL.WG[j] * RL.WG[k] * wt;
                const float w = q.J * geo;
                const float R[3] = {s.X[0] - q.X[0], s.X[1] - q.X[1], s.X[2] - q.X[2]};
                const float r2 = dot(R, R), r = std::sqrt(r2), r3i = 1.0f / (r2 * r);
                const float nR = dot(q.N, R);
                const float S = fS * w / r, D = fD * w * nR * r3i;
                for (int m = 1; m <= NM; ++m) M.src(1, m) += S * VN[m - 1];
                monomials(MO, NPU, NPUV, US + du - UREF, VS + dv - VREF);
                for (int kk = 0; kk < NPUV; ++kk) M.DIPMOM[kk] += D * MO[kk];
                if (logk && !wm)
                    for (int kk = 0; kk < NPUV; ++kk) M.DIPLMOM[kk] -= S * MO[kk];
                if (grad) {
                    const float gS = -fS * w * r3i;
                    for (int m = 1; m <= NM; ++m)
                        for (int dd = 1; dd <= 3; ++dd) M.gsrc(dd, 1, m) += gS * R[dd - 1] * VN[m - 1];
                    float gD[3];
                    for (int dd = 0; dd < 3; ++dd) gD[dd] = fD * w * (q.N[dd] - 3.0f * nR * R[dd] / r2) * r3i;
                    monomials(MD, NPU, NPUV, du, dv);
                    for (int kk = 0; kk < NPUV; ++kk)
                        for (int dd = 0; dd < 3; ++dd) LG[3 * kk + dd] += gD[dd] * MD[kk];
                    if (!wm) {
                        // the flat part, whose integral the contour term gives
                        const float na = dot(s.N, q.XU), nb = dot(s.N, q.XV);
                        float C[3] = {0, 0, 0};
                        CROSSADD(C, 1.0f, q.XU, q.XV);
                        CROSSADD(C, -na, s.N, q.XV);
                        CROSSADD(C, nb, s.N, q.XU);
                        const float Jp = std::sqrt(dot(C, C));
                        const float Rn = dot(R, s.N);
                        float Rt[3] = {R[0], R[1], R[2]};
                        if (Rn * Rn > 1.0e-12f)
                            for (int dd = 0; dd < 3; ++dd) Rt[dd] -= Rn * s.N[dd];
                        const float rt2 = dot(Rt, Rt), rt = std::sqrt(rt2);
                        const float nRt = dot(s.N, Rt);
                        const float f = Jp * geo / (rt2 * rt);
                        for (int dd = 0; dd < 3; ++dd) LG[dd] -= (s.N[dd] - 3.0f * nRt * Rt[dd] / rt2) * f;
                    }
                }
            }
        }
        if (!logk) continue;
        // Log-source term of the pair: ln r split into ln |rho| (log-weighted
        // rule) and the remainder, each node carrying ln r / ln r_flat.  The
        // remainder takes the length scale |B| for pair 1 and |A| for pair 2,
        // with which ln r_flat = ln |rho| + remainder holds exactly.
        auto node = [&](float a, float b, float wq) -> bool {
            float du, dv;
            offsets(a, b, du, dv);
            if (HOEVAL(US + du, VS + dv, IB, IP, 2, q, VN) != 0) return false;
            // r_f^2 = h^2 |a A + b B|^2 for pair 1 (A and B exchanged for
            // pair 2), written with c and d of the pair
            const float rf2 = H * H * a * a * QQ * ((b - c) * (b - c) + d * d);
            const float R[3] = {s.X[0] - q.X[0], s.X[1] - q.X[1], s.X[2] - q.X[2]};
            const float fac = q.J * std::log(dot(R, R)) / (std::log(rf2 / (H * H)) + 2.0f * lnh);
            const float v = fS * wq * fac;
            for (int m = 1; m <= NM; ++m) M.srcl(1, m) += v * VN[m - 1];
            return true;
        };
        for (int k = 0; k < 8; ++k)
            for (int j = 0; j < 8; ++j) {
                const float wq = RL.WL[j] * RL.XL[j] * RL.WG[k] * H * H;
                if (!node(RL.XL[j], RL.XG[k], wq) || !node(-RL.XL[j], RL.XG[k], wq)) return fail();
            }
        for (int k = 0; k < 8; ++k) {
            const float sk = RL.XG[k];
            const float L = (0.5f * std::log((sk - c) * (sk - c) + d * d) + std::log(lq) + lnh) * H * H * 0.5f;
            for (int j = 0; j < 8; ++j) {
                const float rp = 0.5f * (RL.XG[j] + 1.0f);
                const float wq = RL.WG[j] * rp * RL.WG[k] * L;
                if (!node(rp, sk, wq) || !node(-rp, sk, wq)) return fail();
            }
        }
    }

    // Free term of the integral equation.
    const float T0 = (IKIND == -1 ? -6.2831855f : 6.2831855f) * fS;
    const float Us = US - UREF, Vs = VS - VREF;
    monomials(MO, NPU, NPUV, Us, Vs);
    for (int k = 0; k < NPUV; ++k) M.DIPMOM[k] += T0 * MO[k];

    if (!grad) return;
    float T[3];
    SELFSUB(s.X, s.N, US - H, US + H, VS - H, VS + H, NGU, NGV, XGU, WGU, XGV, WGV, IB, IP, T, W, IERR);
    if (IERR != 0) return;
    for (int dd = 0; dd < 3; ++dd) LG[dd] += T[dd] * s.ORIENT;
    // moments about the singular point to moments about (UREF, VREF)
    for (int j = 0; j * NPU < NPUV; ++j)
        for (int i = 0; i < NPU; ++i) {
            const int k = 1 + i + NPU * j;
            for (int l = 0; l <= i; ++l)
                for (int qq = 0; qq <= j; ++qq) {
                    const float f = binom(i, l) * binom(j, qq) * std::pow(Us, static_cast<float>(i - l)) *
                                    std::pow(Vs, static_cast<float>(j - qq));
                    const int kl = 1 + l + NPU * qq;
                    for (int dd = 1; dd <= 3; ++dd) M.gdip(dd, k) += f * LG[3 * (kl - 1) + dd - 1];
                }
        }
}

void SELFSUB(const float* XS, const float* NS, float ULO, float UHI, float VLO, float VHI, int NGU, int NGV,
             const float* XGU, const float* WGU, const float* XGV, const float* WGV, int IB, int IP, float* T,
             SubdivWork& W, int& IERR) {
    IERR = 0;
    T[0] = T[1] = T[2] = 0.0f;
    HoPt q;
    // projected offset of a patch point from the singular point
    auto proj = [&](const float* X, float* P) {
        for (int d = 0; d < 3; ++d) P[d] = X[d] - XS[d];
        const float pn = dot(P, NS);
        for (int d = 0; d < 3; ++d) P[d] -= pn * NS[d];
    };
    for (int edge = 1; edge <= 4; ++edge) {
        const bool alongu = edge == 1 || edge == 3;
        const float fixed = edge == 1 ? VLO : edge == 2 ? UHI : edge == 3 ? VHI : ULO;
        const float lo = alongu ? ULO : VLO, hi = alongu ? UHI : VHI;
        const float mid = 0.5f * (lo + hi);
        const float sgn = edge <= 2 ? 1.0f : -1.0f;
        const int NG = alongu ? NGU : NGV;
        const float* XG = alongu ? XGU : XGV;
        const float* WG = alongu ? WGU : WGV;
        auto at = [&](float t, int mode) {
            return alongu ? HOEVAL(mid + t, fixed, IB, IP, mode, q, nullptr) : HOEVAL(fixed, mid + t, IB, IP, mode, q, nullptr);
        };
        // the interval list, relative to the edge midpoint (upper, lower)
        float* IUPP = W.SQUH.data();
        float* ILOW = W.SQUL.data();
        IUPP[0] = hi - mid, ILOW[0] = lo - mid;
        int n = 1;
        for (int iq = 0; iq < n; ++iq) {
            const float a = ILOW[iq], b = IUPP[iq], c = 0.5f * (a + b), hw = 0.5f * (b - a);
            float Pm[3], Pa[3], Pb[3];
            if (at(c, 0) != 0) goto bodygeom;
            proj(q.X, Pm);
            if (at(a, 0) != 0) goto bodygeom;
            proj(q.X, Pa);
            if (at(b, 0) != 0) goto bodygeom;
            proj(q.X, Pb);
            {
                float da[3] = {Pa[0] - Pm[0], Pa[1] - Pm[1], Pa[2] - Pm[2]};
                float db[3] = {Pb[0] - Pm[0], Pb[1] - Pm[1], Pb[2] - Pm[2]};
                const float ext = std::max(dot(da, da), dot(db, db));
                if (6.25f * ext <= dot(Pm, Pm)) {
                    for (int g = 0; g < NG; ++g) {
                        if (at(c + hw * XG[g], 1) != 0) goto bodygeom;
                        float P[3], Dt[3];
                        proj(q.X, P);
                        const float* D = alongu ? q.XU : q.XV;
                        const float dn = dot(D, NS);
                        for (int d = 0; d < 3; ++d) Dt[d] = D[d] - dn * NS[d];
                        const float p2 = dot(P, P), pl = std::sqrt(p2);
                        const float e[3] = {P[0] / pl, P[1] / pl, P[2] / pl};
                        CROSSADD(T, sgn * WG[g] * hw / p2, Dt, e);
                    }
                    continue;
                }
            }
            if (n + 2 > MAXSQR) {
                ERRMSG(" Number of subdivisions exceeds MAXSQR=" + errmsg_value(MAXSQR) + ": " + PATCHWHERE(IB, IP) +
                           TRIMNOTE(IB, IP),
                       0);
                SUBDIAG(XS, q.X, IB, IP);
                IERR = 1;
                return;
            }
            ILOW[n] = a, IUPP[n] = c, ++n;
            ILOW[n] = c, IUPP[n] = b, ++n;
        }
    }
    return;
bodygeom:
    ERRMSG(" Error calling BODYGEOM from SELFSUB", 0);
    IERR = 1;
}

}  // namespace zorva
