// Incident-wave right-hand sides (low-order method).
#include "solver/incrhs.hpp"

#include "geometry/model.hpp"
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

}  // namespace

void INCRHS(int NEQN, const int* NSYMRHS, int NBETA, float K, int IDIFF, int IPERFL, int& IERR) {
    (void)IERR;  // cannot fail
    fill_zero(slv::RHSRAD);
    if (cfg::ILOWHI == 0) {
        fill_zero(slv::RHSSRC);
        fill_zero(slv::RHSADD);
    }
    if (IDIFF < 0 || IPERFL != 0) return;
    if (cfg::ILOWHI == 0) INCRHSLO(NEQN, NSYMRHS, NBETA, K);
    // The higher-order right-hand sides are formed by the higher-order
    // assembly's own routine.
}

}  // namespace zorva
