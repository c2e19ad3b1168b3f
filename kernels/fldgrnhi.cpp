// Green-function influence of a span of a B-spline patch at a field point:
// polynomial moments of G and of its normal derivative over the span, the
// Rankine terms integrated with adaptive subdivision, the wave part with
// the span's stored Gauss points.
#include <algorithm>
#include <cmath>

#include "geometry/model.hpp"
#include "geometry/modelin.hpp"
#include "geometry/modelmore.hpp"
#include "kernels/fldgrn.hpp"
#include "kernels/wavegreen_fd.hpp"
#include "kernels/wgreenv.hpp"
#include "main/config.hpp"

namespace zorva {

void FldHi::size(int npuv, int nmodt) {
    NPUV = npuv, NMODT = nmodt;
    const auto n = static_cast<std::size_t>(npuv), m = static_cast<std::size_t>(std::max(nmodt, 1));
    DIP.assign(n, {}), SRC.assign(n * m, {}), GDIP.assign(3 * n, {}), GSRC.assign(3 * n * m, {});
    WVSRC.assign(n, {}), WVDIP.assign(n, {}), WVGSRC.assign(3 * n, {}), WVGDIP.assign(3 * n, {});
    M.size(npuv, nmodt, true);
    W.size(npuv, nmodt);
}

void FLDGRNHI(std::array<float, 3> XF, int ITANKF, float ULO, float UHI, float VLO, float VHI, int NPU, int NPV,
              int NGU, int NGV, const float* XGU, const float* WGU, const float* XGV, const float* WGV, int NPUV,
              int IB, float HS, float SCL, int IGRAD, float CLOG, int IP, int IPLIM, int NQPOFF, FldHi& R, int& IERR) {
    using namespace model;
    IERR = 0;
    const int NM = NMODT;
    if (R.NPUV != NPUV || R.NMODT != NM) R.size(NPUV, NM);
    std::fill(R.DIP.begin(), R.DIP.end(), cplx{});
    std::fill(R.SRC.begin(), R.SRC.end(), cplx{});
    std::fill(R.GDIP.begin(), R.GDIP.end(), cplx{});
    std::fill(R.GSRC.begin(), R.GSRC.end(), cplx{});
    R.M.zero();
    const bool wm = cfg::IBODY_WAVEMAKER != 0 && IB >= cfg::IBODY_WAVEMAKER;
    const bool grad = IGRAD == 1, rad = IRAD >= 0, finite = HBOT > 0.0f;
    const float zb = cfg::XBODY(3, IB);
    const float zf = ITANKF != 0 ? zb + cfg::ZTANKFS(ITANKF) : 0.0f;
    // The field point in the frame of the patch tables.
    float P[3] = {XF[0], XF[1], XF[2]};
    float zm = 2.0f * zf - P[2];
    if (NWALL == 0) {
        const float xg[3] = {XF[0], XF[1], XF[2]};
        GLB2BODY(xg, P, IB);
        zm = 2.0f * (zf - zb) - P[2];
    }
    const float uc = 0.5f * (ULO + UHI), vc = 0.5f * (VLO + VHI), hu = 0.5f * (UHI - ULO), hv = 0.5f * (VHI - VLO);
    std::array<float, 16> UQ, WUQ, VQ, WVQ;
    // The logarithmic part of the free-surface image goes with the wave
    // part only at an ordinary period; at the limits the image is whole.
    const int ilog = IPLIM == 0 ? cfg::ILOG : 0;
    auto rankine = [&](float z, int ilogf, int isign) {
        const float Q[3] = {P[0], P[1], z};
        SUBDIV(Q, ilogf, uc, vc, ULO, UHI, VLO, VHI, NPU, NPV, NGU, NGV, XGU, WGU, XGV, WGV, UQ.data(), WUQ.data(),
               VQ.data(), WVQ.data(), NPUV, IB, IP, 1, IGRAD, isign, 1, NQPOFF, R.M, R.W, IERR);
        return IERR == 0;
    };
    if (!rankine(zm, ilog, -1)) return;
    if (IPLIM == 2) {
        for (auto* v : {&R.M.DIPMOM, &R.M.SRCMOM, &R.M.GDIPMOM, &R.M.GSRCMOM})
            for (float& x : *v) x = -x;
    }
    if (!rankine(P[2], 0, 1)) return;
    if (finite && !rankine(zm - 2.0f * HBOT, 0, -1)) return;

    const float lf = ilog == 1 ? 2.0f * SCL : 0.0f;
    for (int k = 1; k <= NPUV; ++k) {
        const auto K = static_cast<std::size_t>(k - 1);
        R.DIP[K] = R.M.DIPMOM[K] - lf * R.M.DIPLMOM[K];
        if (grad)
            for (int d = 1; d <= 3; ++d) R.gdip(d, k) = R.M.gdip(d, k) - lf * R.M.gdipl(d, k);
        if (!rad) continue;
        for (int m = 1; m <= NM; ++m) {
            R.src(k, m) = R.M.src(k, m) - lf * R.M.srcl(k, m);
            if (grad)
                for (int d = 1; d <= 3; ++d) R.gsrc(d, k, m) = R.M.gsrc(d, k, m) - lf * R.M.gsrcl(d, k, m);
        }
    }

    // Wave part at the stored points.
    const float s2 = SCL * SCL, s3 = s2 * SCL, fs = wm ? 2.0f : 1.0f;
    const float zglob = NWALL == 0 ? P[2] + zb : P[2];
    const float zsh = NWALL == 0 ? zb : 0.0f;
    const int singular = ilog + 2, bottom = finite ? 1 : 0;
    int n = NQPOFF;
    for (int j = 0; j < NGV; ++j)
        for (int i = 0; i < NGU; ++i) {
            ++n;
            const float* xs = &XQP(1, n);
            const float* en = &ENQP(1, n);
            const float dx = P[0] - xs[0], dy = P[1] - xs[1], rh = std::sqrt(dx * dx + dy * dy);
            const float cx = rh >= 1.0e-6f ? dx / rh : 0.0f, cy = rh >= 1.0e-6f ? dy / rh : 0.0f;
            const float nR = en[0] * cx + en[1] * cy;
            const float Rs = SCL * rh, Z = -(zglob - zf) * SCL, ZETA = -(xs[2] + zsh - zf) * SCL;
            cplx G[8]{};
            if (IPLIM == 0) {
                const float A0 = 0.0f;
                const int one = 1;
                int w[14];
                WGREENV(&Rs, A0, &Z, &ZETA, HS, G, &singular, &bottom, one, &w[0], &w[1], &w[2], &w[3], &w[4], &w[5],
                        &w[6], &w[7], &w[8], &w[9], &w[10], &w[11], &w[12], &w[13]);
            } else {
                FDGRNSC(Rs, Z, ZETA, HS, G, singular, bottom, IPLIM);
            }
            const float W = WGU[i] * hu * WGV[j] * hv * WQP(n);
            R.WVSRC[0] = (G[0] + CLOG) * W * SCL * fs;
            R.WVDIP[0] = -(nR * G[1] + en[2] * G[6]) * W * s2;
            if (grad) {
                const float Rp = std::max(Rs, 1.0e-6f);
                R.WVGSRC[0] = cx * G[1] * W * s2 * fs;
                R.WVGSRC[1] = cy * G[1] * W * s2 * fs;
                R.WVGSRC[2] = -G[2] * W * s2 * fs;
                const cplx rad2 = en[2] * G[7] - nR * (2.0f * G[1] / Rp + G[4]);
                R.WVGDIP[0] = -(cx * rad2 + en[0] * G[1] / Rp) * W * s3;
                R.WVGDIP[1] = -(cy * rad2 + en[1] * G[1] / Rp) * W * s3;
                R.WVGDIP[2] = (nR * G[3] + en[2] * G[5]) * W * s3;
            }
            // Monomials about the centre.
            const float u = XGU[i] * hu, v = XGV[j] * hv;
            for (int k = 2; k <= NPUV; ++k) {
                const auto K = static_cast<std::size_t>(k - 1);
                const bool inrow = k <= NPU;
                const auto B = inrow ? K - 1 : K - static_cast<std::size_t>(NPU);
                const float f = inrow ? u : v;
                R.WVSRC[K] = R.WVSRC[B] * f;
                R.WVDIP[K] = R.WVDIP[B] * f;
                if (grad)
                    for (int d = 0; d < 3; ++d) {
                        R.WVGSRC[3 * K + d] = R.WVGSRC[3 * B + d] * f;
                        R.WVGDIP[3 * K + d] = R.WVGDIP[3 * B + d] * f;
                    }
            }
            for (int k = 1; k <= NPUV; ++k) {
                const auto K = static_cast<std::size_t>(k - 1);
                R.DIP[K] += R.WVDIP[K];
                if (grad)
                    for (int d = 1; d <= 3; ++d) R.gdip(d, k) += R.WVGDIP[3 * K + static_cast<std::size_t>(d - 1)];
                if (!rad) continue;
                for (int m = 1; m <= NM; ++m) {
                    const float vn = VNQP(m, n);
                    R.src(k, m) += R.WVSRC[K] * vn;
                    if (grad)
                        for (int d = 1; d <= 3; ++d)
                            R.gsrc(d, k, m) += R.WVGSRC[3 * K + static_cast<std::size_t>(d - 1)] * vn;
                }
            }
        }
    if (wm) {
        std::fill(R.DIP.begin(), R.DIP.end(), cplx{});
        std::fill(R.GDIP.begin(), R.GDIP.end(), cplx{});
    }
}

}  // namespace zorva
