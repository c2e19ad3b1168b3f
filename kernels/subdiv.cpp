// Adaptive subdivision of a patch rectangle for the Rankine kernels.
#include <cmath>
#include <span>

#include "common/fmtwrite.hpp"
#include "common/messages.hpp"
#include "geometry/model.hpp"
#include "geometry/modelmore.hpp"
#include "geometry/patchwhere.hpp"
#include "geometry/trimhigh.hpp"
#include "kernels/horank.hpp"
#include "main/config.hpp"

namespace zorva {

void RkMoments::size(int npuv, int nmodt, bool grad) {
    NPUV = npuv;
    NMODT = nmodt;
    const std::size_t n = static_cast<std::size_t>(npuv), nm = n * static_cast<std::size_t>(std::max(nmodt, 0));
    SRCMOM.assign(nm, 0.0f), SRCLMOM.assign(nm, 0.0f);
    DIPMOM.assign(n, 0.0f), DIPLMOM.assign(n, 0.0f);
    GSRCMOM.assign(grad ? 3 * nm : 0, 0.0f), GSRCLMOM.assign(grad ? 3 * nm : 0, 0.0f);
    GDIPMOM.assign(grad ? 3 * n : 0, 0.0f), GDIPLMOM.assign(grad ? 3 * n : 0, 0.0f);
}

void RkMoments::zero() {
    for (auto* v : {&SRCMOM, &DIPMOM, &SRCLMOM, &DIPLMOM, &GSRCMOM, &GDIPMOM, &GSRCLMOM, &GDIPLMOM})
        std::fill(v->begin(), v->end(), 0.0f);
}

void SubdivWork::size(int npuv, int nmodt) {
    const std::size_t n = static_cast<std::size_t>(std::max(npuv, 1));
    PW.assign(n, 0.0f), LPW.assign(n, 0.0f), SPW.assign(n, 0.0f), DPW.assign(n, 0.0f);
    GPW.assign(3 * n, 0.0f), GLPW.assign(3 * n, 0.0f);
    VN.assign(static_cast<std::size_t>(std::max(nmodt, 1)), 0.0f);
}

void CROSSADD(float* V, float S, const float* A, const float* B) {
    V[0] += S * (A[1] * B[2] - A[2] * B[1]);
    V[1] += S * (A[2] * B[0] - A[0] * B[2]);
    V[2] += S * (A[0] * B[1] - A[1] * B[0]);
}

void SUBDIAG(const float* XF, const float* XC, int IB, int IP) {
    const std::span<const float> xf(XF, 3), xc(XC, 3);
    fmt::write(IULOG, "('     Body index =',I4,'    Patch index =',I4/'     Field Point coordinates:    ',1P3E14.6/"
                      "'     Panel centroid coordinates: ',1P3E14.6)",
               {IB, IP, xf, xc});
}

namespace {

inline float dist2(const float* a, const float* b) {
    const float d0 = a[0] - b[0], d1 = a[1] - b[1], d2 = a[2] - b[2];
    return d0 * d0 + d1 * d1 + d2 * d2;
}

// Term k of a power array from its first term: k = 2..NPU times U, then
// each further block of NPU terms the block before times V; STRIDE values
// per term (1 or 3).
inline void powers(float* P, int stride, int NPU, int NPUV, float U, float V) {
    for (int k = 2; k <= NPU; ++k)
        for (int d = 0; d < stride; ++d) P[(k - 1) * stride + d] = P[(k - 2) * stride + d] * U;
    for (int k = NPU + 1; k <= NPUV; ++k)
        for (int d = 0; d < stride; ++d) P[(k - 1) * stride + d] = P[(k - 1 - NPU) * stride + d] * V;
}

}  // namespace

void SUBDIV(const float* XF, int ILOGF, float UREF, float VREF, float ULO, float UHI, float VLO, float VHI,
            int NPU, int /*NPV*/, int NGU, int NGV, const float* XGU, const float* WGU, const float* XGV,
            const float* WGV, float* UQ, float* WUQ, float* VQ, float* WVQ, int NPUV, int IB, int IP,
            int ISTORED, int IGRAD, int ISIGN, int IFULL, int NQPOFF, RkMoments& M, SubdivWork& W, int& IERR,
            const float* G1) {
    IERR = 0;
    if (NGU <= 0 || NGV <= 0) return;
    const float F = IGRAD == 1 ? 6.25f : 2.25f;
    const bool wm = cfg::IBODY_WAVEMAKER != 0 && IB >= cfg::IBODY_WAVEMAKER;
    const float fS = wm ? 2.0f : 1.0f, fD = wm ? 0.0f : 1.0f;
    const bool grad = IGRAD != 0, logk = ILOGF == 1;
    const float sg = static_cast<float>(ISIGN);
    const int NM = model::NMODT;
    const int NS = IFULL != 0 ? NPUV : 1;  // source terms formed
    float* MO = W.PW.data();  // monomials of the current point
    float* VN = W.VN.data();

    W.SQUH[0] = UHI - UREF, W.SQUL[0] = ULO - UREF, W.SQVH[0] = VHI - VREF, W.SQVL[0] = VLO - VREF;
    int n = 1;
    HoPt c, p[4], q;
    for (int iq = 0; iq < n; ++iq) {
        const float uh = W.SQUH[iq], ul = W.SQUL[iq], vh = W.SQVH[iq], vl = W.SQVL[iq];
        const float uc = 0.5f * (uh + ul), vc = 0.5f * (vh + vl);
        const float hu = 0.5f * (uh - ul), hv = 0.5f * (vh - vl);
        const float cu[4] = {ul, uh, ul, uh}, cv[4] = {vl, vl, vh, vh};
        bool bad = false;
        if (iq == 0 && G1) {
            for (int d = 0; d < 3; ++d) {
                c.X[d] = G1[d];
                for (int k = 0; k < 4; ++k) p[k].X[d] = G1[3 * (k + 1) + d];
            }
        } else {
            bad = HOEVAL(UREF + uc, VREF + vc, IB, IP, 0, c, nullptr) != 0;
            for (int k = 0; k < 4 && !bad; ++k) bad = HOEVAL(UREF + cu[k], VREF + cv[k], IB, IP, 0, p[k], nullptr) != 0;
        }
        if (bad) {
            ERRMSG(" Error calling BODYGEOM from SUBDIV", 0);
            IERR = 1;
            return;
        }
        float rmax2 = 0.0f;
        for (int k = 0; k < 4; ++k) rmax2 = std::max(rmax2, dist2(c.X, p[k].X));
        if (F * rmax2 <= dist2(XF, c.X)) {
            for (int i = 0; i < NGU; ++i) UQ[i] = XGU[i] * hu + uc, WUQ[i] = WGU[i] * hu;
            for (int j = 0; j < NGV; ++j) VQ[j] = XGV[j] * hv + vc, WVQ[j] = WGV[j] * hv;
            // the stored points of the whole rectangle (when the table holds them)
            const bool stored = ISTORED == 1 && n == 1 && NQPOFF >= 0 && NQPOFF + NGU * NGV <= model::NQP &&
                                model::VNQP.extent(1) >= NM;
            int ipt = NQPOFF;
            for (int j = 0; j < NGV; ++j)
                for (int i = 0; i < NGU; ++i) {
                    float J;
                    const float *X, *NV;
                    if (stored) {
                        ++ipt;
                        X = model::XQP.ptr(1, ipt), NV = model::ENQP.ptr(1, ipt), J = model::WQP(ipt);
                        for (int m = 1; m <= NM; ++m) VN[m - 1] = model::VNQP(m, ipt);
                    } else {
                        if (HOEVAL(UREF + UQ[i], VREF + VQ[j], IB, IP, 2, q, VN) != 0) {
                            ERRMSG(" Error calling BODYGEOM from SUBDIV", 0);
                            IERR = 1;
                            return;
                        }
                        X = q.X, NV = q.N, J = q.J;
                    }
                    const float w = WUQ[i] * WVQ[j] * J;
                    const float R[3] = {XF[0] - X[0], XF[1] - X[1], XF[2] - X[2]};
                    const float r2 = R[0] * R[0] + R[1] * R[1] + R[2] * R[2];
                    if (!(r2 > 0.0f)) {  // the field point lies on this patch: the patches cross
                        ERRMSG(" Error: a field point lies on another patch, NPATCH =", IP);
                        IERR = 1;
                        return;
                    }
                    const float r = std::sqrt(r2), ri = 1.0f / r, r3i = ri * ri * ri;
                    const float nR = NV[0] * R[0] + NV[1] * R[1] + NV[2] * R[2];
                    const float S = fS * w * ri, D = fD * w * nR * r3i;
                    float lam = 1.0f, LS = 0.0f, LD = 0.0f, GD[3] = {0, 0, 0}, GLD[3] = {0, 0, 0};
                    if (logk) {
                        lam = r + R[2];
                        LS = fS * w * std::log(lam);
                        LD = -fD * w * (nR + NV[2] * r) / (r * lam);
                    }
                    if (grad) {
                        for (int d = 0; d < 3; ++d) GD[d] = fD * w * (NV[d] - 3.0f * nR * R[d] * ri * ri) * r3i;
                        GD[2] *= sg;
                        if (logk) {
                            // gradient of -(n.R + nz r)/(r lam) with respect to the field point
                            const float a = nR + NV[2] * r, rl = r * lam;
                            for (int d = 0; d < 3; ++d) {
                                const float da = NV[d] + NV[2] * R[d] * ri;
                                const float drl = R[d] * lam * ri + R[d] + (d == 2 ? r : 0.0f);
                                GLD[d] = -fD * w * (da * rl - a * drl) / (rl * rl);
                            }
                            GLD[2] *= sg;
                        }
                    }
                    MO[0] = 1.0f;
                    powers(MO, 1, NPU, NPUV, UQ[i], VQ[j]);
                    for (int k = 0; k < NPUV; ++k) M.DIPMOM[k] += D * MO[k];
                    for (int m = 0; m < NM; ++m) {
                        float* s = &M.SRCMOM[static_cast<std::size_t>(m) * NPUV];
                        for (int k = 0; k < NS; ++k) s[k] += S * MO[k] * VN[m];
                    }
                    if (logk) {
                        for (int k = 0; k < NPUV; ++k) M.DIPLMOM[k] += LD * MO[k];
                        for (int m = 0; m < NM; ++m) {
                            float* s = &M.SRCLMOM[static_cast<std::size_t>(m) * NPUV];
                            for (int k = 0; k < NS; ++k) s[k] += LS * MO[k] * VN[m];
                        }
                    }
                    if (grad) {
                        const float GS[3] = {-fS * w * R[0] * r3i, -fS * w * R[1] * r3i, -sg * fS * w * R[2] * r3i};
                        for (int k = 1; k <= NPUV; ++k)
                            for (int d = 1; d <= 3; ++d) M.gdip(d, k) += GD[d - 1] * MO[k - 1];
                        for (int m = 1; m <= NM; ++m)
                            for (int k = 1; k <= NS; ++k)
                                for (int d = 1; d <= 3; ++d) M.gsrc(d, k, m) += GS[d - 1] * MO[k - 1] * VN[m - 1];
                        if (logk) {
                            const float GLS[3] = {fS * w * R[0] / (r * lam), fS * w * R[1] / (r * lam), sg * fS * w * ri};
                            for (int k = 1; k <= NPUV; ++k)
                                for (int d = 1; d <= 3; ++d) M.gdipl(d, k) += GLD[d - 1] * MO[k - 1];
                            for (int m = 1; m <= NM; ++m)
                                for (int k = 1; k <= NS; ++k)
                                    for (int d = 1; d <= 3; ++d)
                                        M.gsrcl(d, k, m) += GLS[d - 1] * MO[k - 1] * VN[m - 1];
                        }
                    }
                }
            continue;
        }
        // Split: halves along a long narrow side once the rectangle has been
        // quartered, else quarters.
        const float lu2 = std::max(dist2(p[0].X, p[1].X), dist2(p[2].X, p[3].X));
        const float lv2 = std::max(dist2(p[0].X, p[2].X), dist2(p[1].X, p[3].X));
        auto add = [&](float a, float b, float cc, float d) {
            W.SQUH[n] = a, W.SQUL[n] = b, W.SQVH[n] = cc, W.SQVL[n] = d;
            ++n;
        };
        const float um = ul + hu, vm = vl + hv;
        if (2.0f * lv2 < lu2 && n >= 2 && n + 2 <= MAXSQR) {
            add(um, ul, vh, vl), add(uh, um, vh, vl);
        } else if (2.0f * lu2 < lv2 && n >= 2 && n + 2 <= MAXSQR) {
            add(uh, ul, vm, vl), add(uh, ul, vh, vm);
        } else if (n + 4 <= MAXSQR) {
            add(um, ul, vm, vl), add(uh, um, vm, vl), add(um, ul, vh, vm), add(uh, um, vh, vm);
        } else {
            ERRMSG(" Number of subdivisions exceeds MAXSQR=" + errmsg_value(MAXSQR) + ": " + PATCHWHERE(IB, IP) +
                       TRIMNOTE(IB, IP),
                   0);
            SUBDIAG(XF, c.X, IB, IP);
            IERR = 1;
            return;
        }
    }
}

}  // namespace zorva
