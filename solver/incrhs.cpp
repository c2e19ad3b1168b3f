// Incident-wave right-hand sides (low-order method).
#include "solver/incrhs.hpp"

#include "geometry/model.hpp"
#include "geometry/modelin.hpp"
#include "geometry/modelmore.hpp"
#include "main/config.hpp"
#include "main/runparams.hpp"
#include "main/symmetry.hpp"
#include "panels/paneldata.hpp"
#include "solver/incwave.hpp"
#include "solver/matrices.hpp"

namespace zorva {

namespace {

constexpr float FOURPI = 12.566371f;

void fill_zero(Arr3<cplx>& a) {
    if (a.allocated()) a.fill(cplx(0.0f, 0.0f));
}

// Body of each panel, from the panel counts of the bodies in order.
Arr1<int> panel_bodies(int NEQN) {
    Arr1<int> ibody(NEQN);
    int ib = 1, last = model::NPANB.allocated() && model::NPANB.size() > 0 ? model::NPANB(1) : NEQN;
    const int nb = model::NPANB.allocated() ? static_cast<int>(model::NPANB.size()) : 0;
    for (int i = 1; i <= NEQN; ++i) {
        while (i > last && ib < nb) last += model::NPANB(++ib);
        ibody(i) = ib;
    }
    return ibody;
}

int body_irr(int ib) {
    if (ib < 1 || !cfg::IRR.allocated() || ib > static_cast<int>(cfg::IRR.size())) return 0;
    return cfg::IRR(ib);
}

void INCRHSLO(int NEQN, const int* NSYMRHS, int NBETA, float K) {
    using pnl::PCENT;
    using pnl::PAXES;
    const int nsymc = sym::NSYMC, nsymd = sym::NSYMD, nbetac = run::NBETAX;
    const bool grad = cfg::ISCATT == 1 || cfg::IDIPOLE == 1 || cfg::ISOR == 1;
    const bool have_dipwm = model::IDIPWM.allocated() && static_cast<int>(model::IDIPWM.size()) >= NEQN;
    const bool have_tank = model::ITANK.allocated() && static_cast<int>(model::ITANK.size()) >= NEQN;
    Arr1<int> ibody = panel_bodies(NEQN);
    const int igrad = grad ? 1 : 0;

    for (int i = 1; i <= NEQN; ++i) {
        const bool hull = !have_tank || model::ITANK(i) == 0;
        const int idipwm = have_dipwm ? model::IDIPWM(i) : 0;
        const bool add = cfg::ISCATT == 1 || (cfg::ISOR == 1 && body_irr(ibody(i)) >= 1);
        const float n[3] = {PAXES(3, 1, i), PAXES(3, 2, i), PAXES(3, 3, i)};
        const float x[3] = {PCENT(1, i), PCENT(2, i), PCENT(3, i)};
        for (int j = 1; j <= NBETA; ++j) {
            IncWave W;
            if (hull) INCWAVE(K, model::SINBETA(j), model::COSBETA(j), x, igrad, W);
            for (int k = 1; k <= nsymc; ++k) {
                cplx P(0.0f, 0.0f), D(0.0f, 0.0f);
                if (hull) {
                    for (int m = 1; m <= nsymd; ++m) {
                        int part = NSYMRHS[(k - 1) * nsymd + m - 1];
                        P += W.PHIINC[part];
                        if (grad)
                            D += W.GRADINC[part][1] * n[0] + W.GRADINC[part][2] * n[1] +
                                 W.GRADINC[part][3] * n[2];
                    }
                }
                if (cfg::ISCATT == 0) slv::RHSRAD(i, j, k) = FOURPI * (idipwm != 0 ? D : P);
                if (add) slv::RHSADD(i, j, k) = P;
                if (grad) slv::RHSSRC(i, j, k) = -D;
            }
        }
    }

    // Lid panels of bodies that remove irregular frequencies carry no
    // source term of the scattering problem.  Each panel is judged by its
    // own body.
    if (cfg::ISCATT == 1 && pnl::IPFLAG.allocated()) {
        for (int i = 1; i <= NEQN; ++i) {
            if (pnl::IPFLAG(i) != -1 || body_irr(ibody(i)) < 1) continue;
            for (int k = 1; k <= nsymc; ++k)
                for (int j = 1; j <= nbetac; ++j) slv::RHSSRC(i, j, k) = cplx(0.0f, 0.0f);
        }
    }
}

// Higher order: the incident wave projected on the B-splines of every
// patch, from the outer quadrature points of each knot interval.
void INCRHSHI(const int* NSYMRHS, int NBETA, float K) {
    using namespace model;
    const int nsymc = sym::NSYMC, nsymd = sym::NSYMD;
    int q = 0, off = 0;
    for (int p = 1; p <= NPATCHT; ++p) {
        const int f = cfg::IDIPOLE == 1 && IDIPWM(p) >= 1 ? 1 : 0;
        const int ib = IBPTH(p), ku = KU(p), kv = KV(p), nbu = NBU(p);
        const int cls = cfg::IDIPOLE == 1 ? IDIPWM(p) : 0;
        const float c = CSPHIB(1, ib), s = CSPHIB(2, ib);
        for (int iv = 1; iv <= NV(p); ++iv) {
            const float hv = 0.5f * (HOTAB2(kv + iv, p) - HOTAB2(kv + iv - 1, p));
            for (int iu = 1; iu <= NU(p); ++iu) {
                const float hu = 0.5f * (HOTAB1(ku + iu, p) - HOTAB1(ku + iu - 1, p));
                for (int qv = 1; qv <= IQVO(p); ++qv)
                    for (int qu = 1; qu <= IQUO(p); ++qu) {
                        ++q;
                        if (ITANK(p) >= 1) continue;
                        const float W = WGUO(qu, p) * WGVO(qv, p) * hu * hv;
                        float x[3] = {XQO(1, q), XQO(2, q), XQO(3, q)};
                        if (NWALL == 0) {
                            const float xb[3] = {x[0], x[1], x[2]};
                            BODY2GLB(xb, x, ib);
                        }
                        const float n[3] = {c * ENQO(1, q) - s * ENQO(2, q), s * ENQO(1, q) + c * ENQO(2, q), ENQO(3, q)};
                        const float* bu = BASUQ.ptr(1 + (qu - 1) * MAXKU, iu, p);
                        const float* bv = BASVQ.ptr(1 + (qv - 1) * MAXKV, iv, p);
                        for (int j = 1; j <= NBETA; ++j) {
                            IncWave Wv;
                            INCWAVE(K, SINBETA(j), COSBETA(j), x, f, Wv);
                            for (int k = 1; k <= nsymc; ++k) {
                                const int code = sym::ISYMC[static_cast<std::size_t>(k)];
                                if ((cls == 2 && code != 2 && code != 3) || (cls == 3 && code != 3 && code != 4)) continue;
                                cplx Q(0.0f, 0.0f);
                                for (int m = 1; m <= nsymd; ++m) {
                                    const int part = NSYMRHS[(k - 1) * nsymd + m - 1];
                                    Q += f == 0 ? Wv.PHIINC[part]
                                                : Wv.GRADINC[part][1] * n[0] + Wv.GRADINC[part][2] * n[1] +
                                                      Wv.GRADINC[part][3] * n[2];
                                }
                                for (int b = 0; b < kv; ++b)
                                    for (int a = 0; a < ku; ++a)
                                        slv::RHSRAD(off + (iv + b - 1) * nbu + iu + a, j, k) += W * bu[a] * bv[b] * Q;
                            }
                        }
                    }
            }
        }
        off += nbu * NBV(p);
    }
    for (auto& v : slv::RHSRAD) v *= FOURPI;
}

}  // namespace

void INCRHS(int NEQN, const int* NSYMRHS, int NBETA, float K, int IDIFF, int IPERFL, int& IERR) {
    (void)IERR;  // cannot fail
    fill_zero(slv::RHSRAD);
    if (cfg::ILOWHI == 0) {
        fill_zero(slv::RHSSRC);
        fill_zero(slv::RHSADD);
    }
    if (IDIFF < 0 || IPERFL != 0) return;
    if (cfg::ILOWHI == 0)
        INCRHSLO(NEQN, NSYMRHS, NBETA, K);
    else
        INCRHSHI(NSYMRHS, NBETA, K);
}

}  // namespace zorva
