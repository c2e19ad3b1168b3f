// Rankine influence of one source span at one field point, over the images
// of the run, sorted into the symmetry components.
#include <algorithm>
#include <cmath>

#include "geometry/model.hpp"
#include "geometry/modelmore.hpp"
#include "kernels/horank.hpp"
#include "main/config.hpp"
#include "main/symmetry.hpp"

namespace zorva {

void RkOut::size(int npuv, int nsymc, int nmodt, bool grad) {
    NPUV = npuv, NSYMC = nsymc, NMODT = nmodt;
    const std::size_t nd = static_cast<std::size_t>(npuv) * nsymc, ns = static_cast<std::size_t>(std::max(nmodt, 0));
    for (auto* v : {&DIP, &DIPL, &DIPI}) v->assign(nd, 0.0f);
    for (auto* v : {&SRC, &SRCL, &SRCI}) v->assign(ns, 0.0f);
    for (auto* v : {&GDIP, &GDIPL, &GDIPI}) v->assign(grad ? 3 * nd : 0, 0.0f);
    for (auto* v : {&GSRC, &GSRCL, &GSRCI}) v->assign(grad ? 3 * ns : 0, 0.0f);
}

void RkWork::size(int npuv, int nmodt, bool grad) {
    M.size(npuv, nmodt, grad);
    S.size(npuv, nmodt);
    KEEP.assign(M.SRCMOM.size() + M.DIPMOM.size() + M.GSRCMOM.size() + M.GDIPMOM.size(), 0.0f);
}

namespace {

// The parts of the moments that the image-sign correction takes: source,
// dipole and, for a dipole field patch, their gradients, one after another.
template <typename F>
void each_kept(RkMoments& M, bool grad, F&& f) {
    std::size_t o = 0;
    for (auto* v : {&M.SRCMOM, &M.DIPMOM, &M.GSRCMOM, &M.GDIPMOM}) {
        if (!grad && (v == &M.GSRCMOM || v == &M.GDIPMOM)) continue;
        for (float& x : *v) f(x, o++);
    }
}

}  // namespace

void to_source(const float* P, float* Q, int IBF, int IBS, const float* OFF, bool translate) {
    const float cf = model::CSPHIB(1, IBF), sf = model::CSPHIB(2, IBF);
    const float cs = model::CSPHIB(1, IBS), ss = model::CSPHIB(2, IBS);
    float g0 = cf * P[0] - sf * P[1], g1 = sf * P[0] + cf * P[1], g2 = P[2];
    if (translate) g0 += OFF[0], g1 += OFF[1], g2 += OFF[2];
    Q[0] = cs * g0 + ss * g1;
    Q[1] = -ss * g0 + cs * g1;
    Q[2] = g2;
}

void RKPATCH(const RkField& F, const RkSpan& SP, int ISING, const float* OFF, float ZFS, int IRAD, float HBOT,
             const SelfRules& RL, RkOut& O, RkWork& W, int& IERR) {
    IERR = 0;
    const int NPU = SP.KU, NPV = SP.KV, NPUV = NPU * NPV;
    const int NS = sym::NSYMC, NM = model::NMODT;
    const bool grad = F.IDIP == 1, rad = IRAD >= 0, logk = cfg::ILOG == 1, corr = model::IPERSPC == 1;
    const float UREF = 0.5f * (SP.ULO + SP.UHI), VREF = 0.5f * (SP.VLO + SP.VHI);
    O.size(NPUV, NS, NM, grad);
    // The work keeps the room of the largest span seen: the accumulators
    // take the stride of this span's moments within it.
    RkMoments& M = W.M;
    const std::size_t nuv = static_cast<std::size_t>(NPUV);
    if (M.NMODT != NM || M.DIPMOM.size() < nuv || M.SRCMOM.size() < nuv * std::max(NM, 0) ||
        (grad && M.GDIPMOM.size() < 3 * nuv))
        W.size(NPUV, NM, grad);
    M.NPUV = NPUV;
    if (W.S.PW.size() < nuv) W.S.size(NPUV, NM);

    if (model::ITANK(F.IP) != model::ITANK(SP.IP)) return;
    auto cls = [](int c) { return model::IDIPSYM == 1 ? c : (c > 0 ? 1 : 0); };
    const int cf = cls(model::IDIPWM(F.IP)), cs = cls(model::IDIPWM(SP.IP)), c = std::abs(cs);
    const bool other = F.IB != SP.IB;

    // The logarithmic kernel ln(r + Rz) belongs to the free-surface image
    // alone (Rz >= 0 there): it is what the wave part leaves out.  The direct
    // part takes it only on a free-surface patch, where the direct part is
    // the image too; the bottom image never.
    const int logfs = ISING == 2 || ISING == -2 ? cfg::ILOG : 0;
    // The whole span (stored points allowed) may use its evaluated corners.
    auto subdiv = [&](const float* XF, float ulo, float uhi, float vlo, float vhi, int stored, int isign, int ilog) {
        SUBDIV(XF, ilog, UREF, VREF, ulo, uhi, vlo, vhi, NPU, NPV, SP.NGU, SP.NGV, SP.XGU, SP.WGU, SP.XGV,
               SP.WGV, W.UQ.data(), W.WUQ.data(), W.VQ.data(), W.WVQ.data(), NPUV, SP.IB, SP.IP, stored, F.IDIP,
               isign, 0, SP.NQPOFF, M, W.S, IERR, stored == 1 ? SP.G : nullptr);
        return IERR == 0;
    };

    for (int g = 1; g <= sym::NIMAGE; ++g) {
        const int img = sym::IMAGEID[static_cast<std::size_t>(g)];
        const int sx = sym::ISGNX(img), sy = sym::ISGNY(img);
        if (g > 1 && ((c == 2 && sx < 0) || (c == 3 && sy < 0))) continue;
        const float P[3] = {static_cast<float>(sx) * F.X[0], static_cast<float>(sy) * F.X[1], F.X[2]};
        float XF[3] = {P[0], P[1], P[2]};
        if (other) to_source(P, XF, F.IB, SP.IB, OFF, true);
        M.zero();

        // Direct part.
        if (g == 1 && ISING != 0) {
            const float uf = F.U, vf = F.V;
            const float d = std::min({uf - SP.ULO, SP.UHI - uf, vf - SP.VLO, SP.VHI - vf});
            const float ub[4] = {SP.ULO, uf - d, uf + d, SP.UHI}, vb[4] = {SP.VLO, vf - d, vf + d, SP.VHI};
            const float wu = SP.UHI - SP.ULO, wv = SP.VHI - SP.VLO;
            for (int b = 0; b < 3; ++b)
                for (int a = 0; a < 3; ++a) {
                    if (a == 1 && b == 1) {
                        SELF(uf, vf, UREF, VREF, d, NPU, NPV, NPUV, SP.IB, logfs, SP.IP, model::IFSPAT(SP.IP),
                             F.IDIP, RL, SP.NGU, SP.NGV, SP.XGU, SP.WGU, SP.XGV, SP.WGV, M, W.S, IERR);
                        if (IERR != 0) return;
                        continue;
                    }
                    if ((ub[a + 1] - ub[a]) / wu > 1e-5f && (vb[b + 1] - vb[b]) / wv > 1e-5f &&
                        !subdiv(XF, ub[a], ub[a + 1], vb[b], vb[b + 1], 0, 1, logfs))
                        return;
                }
        } else if (!subdiv(XF, SP.ULO, SP.UHI, SP.VLO, SP.VHI, 1, 1, g == 1 ? logfs : 0)) {
            return;
        }
        if (corr) each_kept(M, grad, [&](float& x, std::size_t o) { W.KEEP[o] = x; });

        // Free-surface image.
        if (g == 1 && (ISING == 2 || ISING == -2)) {
            for (float& x : M.DIPMOM) x *= 2.0f;
            for (float& x : M.SRCMOM) x *= 2.0f;
        } else {
            float Q[3] = {P[0], P[1], 2.0f * ZFS - P[2]};
            if (other) to_source(Q, Q, F.IB, SP.IB, OFF, true);
            if (!subdiv(Q, SP.ULO, SP.UHI, SP.VLO, SP.VHI, 1, -1, cfg::ILOG)) return;
        }
        if (corr) each_kept(M, grad, [&](float& x, std::size_t o) { W.KEEP[o] = 2.0f * (W.KEEP[o] - x); });

        // Sea-bottom image.
        if (HBOT > 0.0f) {
            float Q[3] = {P[0], P[1], 2.0f * ZFS - P[2] - 2.0f * HBOT};
            if (other) to_source(Q, Q, F.IB, SP.IB, OFF, true);
            if (!subdiv(Q, SP.ULO, SP.UHI, SP.VLO, SP.VHI, 1, -1, 0)) return;
        }

        // Into the components.  The kept corrections lie in KEEP in the
        // order source, dipole, source gradient, dipole gradient.
        const std::size_t ks = M.SRCMOM.size(), kd = ks + M.DIPMOM.size(), kgs = kd + M.GSRCMOM.size();
        const float fg[3] = {static_cast<float>(sx), static_cast<float>(sy), 1.0f};
        for (int k = 1; k <= NS; ++k) {
            const float s = static_cast<float>(sym::ISIGMA(sym::ISYMC[static_cast<std::size_t>(k)], img));
            const std::size_t o = static_cast<std::size_t>(k - 1) * NPUV;
            for (int t = 0; t < NPUV; ++t) {
                O.DIP[o + t] += s * M.DIPMOM[t];
                if (corr) O.DIPI[o + t] += s * W.KEEP[kd - M.DIPMOM.size() + t];
                if (logk) O.DIPL[o + t] += -2.0f * s * M.DIPLMOM[t];
                if (grad)
                    for (int dd = 0; dd < 3; ++dd) {
                        const std::size_t e = 3 * (o + t) + dd;
                        O.GDIP[e] += s * fg[dd] * M.GDIPMOM[3 * t + dd];
                        if (corr) O.GDIPI[e] += s * fg[dd] * W.KEEP[kgs + 3 * t + dd];
                        if (logk) O.GDIPL[e] += -2.0f * s * fg[dd] * M.GDIPLMOM[3 * t + dd];
                    }
            }
            if (!rad || model::IFSPAT(SP.IP) == -1) continue;
            for (int l = 1; l <= sym::NMODSC[static_cast<std::size_t>(k)]; ++l) {
                const int md = sym::IMODSC(l, k), col = sym::IMODPOS(md) - 1;
                O.SRC[col] += s * M.src(1, md);
                if (corr) O.SRCI[col] += s * W.KEEP[static_cast<std::size_t>(md - 1) * NPUV];
                if (logk) O.SRCL[col] += -2.0f * s * M.srcl(1, md);
                if (grad)
                    for (int dd = 1; dd <= 3; ++dd) {
                        const std::size_t e = 3 * static_cast<std::size_t>(col) + dd - 1;
                        O.GSRC[e] += s * fg[dd - 1] * M.gsrc(dd, 1, md);
                        if (corr) O.GSRCI[e] += s * fg[dd - 1] * W.KEEP[kd + 3 * static_cast<std::size_t>(md - 1) * NPUV + dd - 1];
                        if (logk) O.GSRCL[e] += -2.0f * s * fg[dd - 1] * M.gsrcl(dd, 1, md);
                    }
            }
        }
    }

    if (cfg::IDIPOLE != 1) return;
    if (cf < 1) {
        if (cs > 0 && rad)
            for (auto* v : {&O.SRC, &O.SRCI, &O.SRCL}) std::fill(v->begin(), v->end(), 0.0f);
    } else {
        // Normal-derivative form of the equation on a dipole patch.
        float n[3] = {F.N[0], F.N[1], F.N[2]};
        if (other) to_source(F.N, n, F.IB, SP.IB, OFF, false);
        auto ndot = [&](const std::vector<float>& G, std::size_t e) { return n[0] * G[3 * e] + n[1] * G[3 * e + 1] + n[2] * G[3 * e + 2]; };
        for (std::size_t e = 0; e < O.DIP.size(); ++e) {
            O.DIP[e] = ndot(O.GDIP, e);
            if (corr) O.DIPI[e] = ndot(O.GDIPI, e);
            if (logk) O.DIPL[e] = ndot(O.GDIPL, e);
        }
        if (rad) {
            for (std::size_t e = 0; e < O.SRC.size(); ++e) {
                O.SRC[e] = cs < 1 ? ndot(O.GSRC, e) : 0.0f;
                if (corr) O.SRCI[e] = cs < 1 ? ndot(O.GSRCI, e) : 0.0f;
                if (logk) O.SRCL[e] = cs < 1 ? ndot(O.GSRCL, e) : 0.0f;
            }
            if (ISING != 0)
                for (int k = 1; k <= NS; ++k)
                    for (int l = 1; l <= sym::NMODSC[static_cast<std::size_t>(k)]; ++l) {
                        const int md = sym::IMODSC(l, k);
                        O.SRC[sym::IMODPOS(md) - 1] -= 12.566371f * F.VN[md - 1];
                    }
        }
        for (int k = 1; k <= NS; ++k) {
            const int cid = sym::ISYMC[static_cast<std::size_t>(k)];
            if (!((cf == 2 && (cid == 1 || cid == 4)) || (cf == 3 && (cid == 1 || cid == 2)))) continue;
            if (!rad) continue;
            for (int l = 1; l <= sym::NMODSC[static_cast<std::size_t>(k)]; ++l) {
                const int col = sym::IMODPOS(sym::IMODSC(l, k)) - 1;
                O.SRC[col] = 0.0f;
                if (logk) O.SRCL[col] = 0.0f;
            }
        }
    }
    if (F.IP != SP.IP)
        for (int k = 1; k <= NS; ++k) {
            const int cid = sym::ISYMC[static_cast<std::size_t>(k)];
            if (!(((cf == 2 || cs == 2) && (cid == 1 || cid == 4)) || ((cf == 3 || cs == 3) && (cid == 1 || cid == 2))))
                continue;
            const std::size_t o = static_cast<std::size_t>(k - 1) * NPUV;
            std::fill(O.DIP.begin() + o, O.DIP.begin() + o + NPUV, 0.0f);
            if (corr) std::fill(O.DIPI.begin() + o, O.DIPI.begin() + o + NPUV, 0.0f);
        }
}

}  // namespace zorva
