#include "kernels/wavegrblk.hpp"

#include <algorithm>
#include <cmath>

#include "common/bounds.hpp"
#include "geometry/model.hpp"
#include "geometry/modelmore.hpp"
#include "kernels/horank.hpp"
#include "kernels/wavegreen_fd.hpp"
#include "kernels/wgreenv.hpp"
#include "main/config.hpp"
#include "main/symmetry.hpp"

namespace zorva {

void WgBlkWork::size(int npairs, int npuv, int nmodt) {
    NPMAX = npairs, NPUVMAX = npuv, NMODT = nmodt;
    const auto n = static_cast<std::size_t>(std::max(npairs, 1));
    for (auto* v : {&R, &Z, &ZETA, &W, &CR, &EX, &EY, &NX, &NY, &NZ, &S, &T}) v->assign(n, 0.0f);
    ISING.assign(n, 0);
    IBOT.assign(n, 0);
    L.assign(14 * n, 0);
    G.assign(8 * n, cplx(0.0f, 0.0f));
    const auto uv = static_cast<std::size_t>(std::max(npuv, 1)), nm = static_cast<std::size_t>(std::max(nmodt, 1));
    Mi.assign(uv, cplx(0.0f, 0.0f));
    Vi.assign(nm, cplx(0.0f, 0.0f));
    Mvi.assign(3 * uv, cplx(0.0f, 0.0f));
    Vvi.assign(3 * nm, cplx(0.0f, 0.0f));
    Mv.assign(3 * uv * 4, cplx(0.0f, 0.0f));
    Vv.assign(3 * nm, cplx(0.0f, 0.0f));
}


void WAVEGRBLK(const WgPeriod& P, const WgTest& T, const WgCell& C, const float* OFF, cplx* M, cplx* V,
               WgBlkWork& W) {
    using namespace model;
    const int jp = C.JP, ip = T.IP;
    const int KUS = KU(jp), KVS = KV(jp), NE = KUS * KVS, NS = sym::NSYMC, NM = NMODT;
    const int NQU = IQUI(jp), NQV = IQVI(jp), NP = NQU * NQV;
    const bool dip = T.IDIP == 1;
    const cplx zero(0.0f, 0.0f);
    std::fill(M, M + static_cast<std::size_t>(NE) * NS, zero);
    std::fill(V, V + std::max(NM, 0), zero);
    if (dip) {
        std::fill(W.Mv.begin(), W.Mv.begin() + 3 * NE * NS, zero);
        std::fill(W.Vv.begin(), W.Vv.begin() + 3 * std::max(NM, 0), zero);
    }
    if (ITANK(ip) != ITANK(jp)) return;

    auto cls = [](int c) { return IDIPSYM == 1 ? c : (c > 0 ? 1 : 0); };
    const int ci = cfg::IDIPOLE == 1 ? cls(IDIPWM(ip)) : 0, cj = cfg::IDIPOLE == 1 ? cls(IDIPWM(jp)) : 0;
    const bool wavemaker = cj < -1, other = T.IB != C.JB;
    const float hu = (C.UB - C.UA) * 0.5f, hv = (C.VB - C.VA) * 0.5f;
    const float* xgu = HOTAB3.ptr(1, jp);
    const float* wgu = HOTAB4.ptr(1, jp);
    const float* xgv = HOTAB5.ptr(1, jp);
    const float* wgv = HOTAB6.ptr(1, jp);
    const float zf = -(T.X[2] - ZBDYFS(ip)) * P.K;
    float tn[3] = {T.N[0], T.N[1], T.N[2]};
    if (other) to_source(T.N, tn, T.IB, C.JB, OFF, false);

    // Pair values that do not depend on the image.
    for (int j = 0, p = 0; j < NQV; ++j)
        for (int i = 0; i < NQU; ++i, ++p) {
            const int q = C.NQPOFF + p + 1;
            W.S[p] = hu * xgu[i];
            W.T[p] = hv * xgv[j];
            W.W[p] = (hu * wgu[i]) * (hv * wgv[j]) * WQP(q);
            W.ZETA[p] = -(XQP(3, q) - ZBDYFS(jp)) * P.K;
            W.Z[p] = zf;
            W.NX[p] = ENQP(1, q), W.NY[p] = ENQP(2, q), W.NZ[p] = ENQP(3, q);
            W.ISING[p] = P.ICODE;
            W.IBOT[p] = P.IFD;
        }

    for (int g = 1; g <= sym::NIMAGE; ++g) {
        const int img = sym::IMAGEID[static_cast<std::size_t>(g)];
        const int sx = sym::ISGNX(img), sy = sym::ISGNY(img);
        if (g > 1 && ((sx < 0 && std::abs(cj) == 2) || (sy < 0 && std::abs(cj) == 3))) continue;
        float X[3] = {static_cast<float>(sx) * T.X[0], static_cast<float>(sy) * T.X[1], T.X[2]};
        if (other) to_source(X, X, T.IB, C.JB, OFF, true);

        for (int p = 0; p < NP; ++p) {
            const int q = C.NQPOFF + p + 1;
            const float dx = X[0] - XQP(1, q), dy = X[1] - XQP(2, q);
            const float r = std::sqrt(dx * dx + dy * dy);
            if (r <= 1.0e-6f) {
                W.EX[p] = W.EY[p] = 0.0f;
                W.CR[p] = 0.0f;
            } else {
                W.EX[p] = dx / r, W.EY[p] = dy / r;
                W.CR[p] = -(W.NX[p] * dx + W.NY[p] * dy) / r;
            }
            float R = P.K * r;
            if (dip && R < 1.0e-6f) R = 1.0e-6f;
            W.R[p] = R;
        }

        // The kernel for all pairs of the cell.
        cplx* G = W.G.data();
        if (P.IPERFL == 0) {
            const float A = 0.0f;
            const std::size_t n = static_cast<std::size_t>(W.NPMAX);
            int* L = W.L.data();
            WGREENV(W.R.data(), A, W.Z.data(), W.ZETA.data(), P.KH, G, W.ISING.data(), W.IBOT.data(), NP, L, L + n,
                    L + 2 * n, L + 3 * n, L + 4 * n, L + 5 * n, L + 6 * n, L + 7 * n, L + 8 * n, L + 9 * n,
                    L + 10 * n, L + 11 * n, L + 12 * n, L + 13 * n);
        } else {
            std::fill(G, G + 8 * NP, zero);
            for (int p = 0; p < NP; ++p)
                FDGRNSC(W.R[p], W.Z[p], W.ZETA[p], P.HBOT, G + 8 * p, P.ICODE, P.IFD, P.IPERFL);
        }

        // Image moments and values.
        std::fill(W.Mi.begin(), W.Mi.begin() + NE, zero);
        std::fill(W.Vi.begin(), W.Vi.begin() + std::max(NM, 0), zero);
        if (dip) {
            std::fill(W.Mvi.begin(), W.Mvi.begin() + 3 * NE, zero);
            std::fill(W.Vvi.begin(), W.Vvi.begin() + 3 * std::max(NM, 0), zero);
        }
        for (int p = 0; p < NP; ++p) {
            const int q = C.NQPOFF + p + 1;
            const cplx* g8 = G + 8 * p;
            const float w = W.W[p];
            cplx S = P.K * w * cplx(g8[0].real() + P.LOGC, g8[0].imag());
            cplx D = P.K2 * w * (g8[1] * W.CR[p] - g8[6] * W.NZ[p]);
            if (wavemaker) S *= 2.0f, D = zero;
            const float s = W.S[p], t = W.T[p];
            // D s^(i-1) t^(j-1), each power from the one before it.
            cplx* Mi = W.Mi.data();
            cplx pw = D;
            for (int i = 0; i < KUS; ++i) Mi[i] += pw, pw *= s;
            if (KVS > 1) {
                cplx row[MAXBSPLORD];  // KUS <= MAXBSPLORD (checked before the assembly)
                pw = D;
                for (int i = 0; i < KUS; ++i) row[i] = pw, pw *= s;
                for (int j = 1; j < KVS; ++j)
                    for (int i = 0; i < KUS; ++i) row[i] *= t, Mi[j * KUS + i] += row[i];
            }
            for (int m = 0; m < NM; ++m) W.Vi[m] += S * VNQP(m + 1, q);
            if (!dip) continue;
            const float rho = 1.0f / W.R[p], K3w = P.K2 * P.K * w;
            const float cr = W.CR[p], nz = W.NZ[p], ex = W.EX[p], ey = W.EY[p];
            cplx Sg[3] = {P.K2 * w * g8[1] * ex, P.K2 * w * g8[1] * ey, -P.K2 * w * g8[2]};
            const cplx A = -(2.0f * rho * g8[1] + g8[4]) * cr - g8[7] * nz;
            cplx Dg[3] = {K3w * (ex * A - W.NX[p] * rho * g8[1]), K3w * (ey * A - W.NY[p] * rho * g8[1]),
                          K3w * (g8[5] * nz - g8[3] * cr)};
            if (wavemaker)
                for (int d = 0; d < 3; ++d) Sg[d] *= 2.0f, Dg[d] = zero;
            float sj = 1.0f;
            for (int j = 0; j < KVS; ++j, sj *= t) {
                float si = sj;
                for (int i = 0; i < KUS; ++i, si *= s)
                    for (int d = 0; d < 3; ++d) W.Mvi[3 * (j * KUS + i) + d] += si * Dg[d];
            }
            for (int m = 0; m < NM; ++m)
                for (int d = 0; d < 3; ++d) W.Vvi[3 * m + d] += Sg[d] * VNQP(m + 1, q);
        }

        // Into the components.
        const float fg[3] = {static_cast<float>(sx), static_cast<float>(sy), 1.0f};
        const bool rhs = IFSPAT(jp) != -1 && P.IRAD >= 0;
        for (int k = 1; k <= NS; ++k) {
            const float sg = static_cast<float>(sym::ISIGMA(sym::ISYMC[static_cast<std::size_t>(k)], img));
            cplx* Mk = M + static_cast<std::size_t>(k - 1) * NE;
            for (int n = 0; n < NE; ++n) Mk[n] += sg * W.Mi[n];
            if (dip)
                for (int n = 0; n < NE; ++n)
                    for (int d = 0; d < 3; ++d) W.Mv[3 * ((k - 1) * NE + n) + d] += sg * fg[d] * W.Mvi[3 * n + d];
            if (!rhs) continue;
            for (int l = 1; l <= sym::NMODSC[static_cast<std::size_t>(k)]; ++l) {
                const int md = sym::IMODSC(l, k), col = sym::IMODPOS(md) - 1;
                V[col] += sg * W.Vi[md - 1];
                if (dip)
                    for (int d = 0; d < 3; ++d) W.Vv[3 * col + d] += sg * fg[d] * W.Vvi[3 * (md - 1) + d];
            }
        }
    }

    // The equation of a dipole patch is the normal derivative.
    if (cfg::IDIPOLE == 1) {
        if (ci < 1) {
            if (cj > 0) std::fill(V, V + std::max(NM, 0), zero);
        } else {
            for (int e = 0; e < NE * NS; ++e)
                M[e] = tn[0] * W.Mv[3 * e] + tn[1] * W.Mv[3 * e + 1] + tn[2] * W.Mv[3 * e + 2];
            if (IFSPAT(jp) != -1 && P.IRAD >= 0)
                for (int m = 0; m < NM; ++m)
                    V[m] = cj < 1 ? tn[0] * W.Vv[3 * m] + tn[1] * W.Vv[3 * m + 1] + tn[2] * W.Vv[3 * m + 2] : zero;
        }
        // Dipole patches in a symmetry plane.
        for (int k = 1; k <= NS; ++k) {
            const int c = sym::ISYMC[static_cast<std::size_t>(k)];
            const bool x14 = c == 1 || c == 4, y12 = c == 1 || c == 2;
            if (((ci == 2 || cj == 2) && x14) || ((ci == 3 || cj == 3) && y12))
                if (ip != jp) std::fill(M + static_cast<std::size_t>(k - 1) * NE, M + static_cast<std::size_t>(k) * NE, zero);
            if ((ci == 2 && x14) || (ci == 3 && y12))
                for (int l = 1; l <= sym::NMODSC[static_cast<std::size_t>(k)]; ++l)
                    V[sym::IMODPOS(sym::IMODSC(l, k)) - 1] = zero;
        }
    }
}

}  // namespace zorva
