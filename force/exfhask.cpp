// Exciting forces by the Haskind relations: the integral over the wetted
// surface of the incident potential times the mode's normal velocity minus
// the radiation potential times the incident wave's normal derivative.
#include <algorithm>

#include "force/force.hpp"
#include "force/forceres.hpp"
#include "force/hopoints.hpp"
#include "force/panelpts.hpp"
#include "geometry/model.hpp"
#include "main/config.hpp"
#include "main/runparams.hpp"
#include "main/symmetry.hpp"
#include "p2f/forcedata.hpp"
#include "panels/paneldata.hpp"
#include "solver/incwave.hpp"

namespace zorva {

void EXFHASK(float WNUMNU, float WNUMK) {
    using frc::FEXH;
    FEXH.fill(cplx{});
    if (frc::NMODWM <= 0) {
        if (cfg::ILOWHI == 1)
            EXFHASKHI(WNUMK, &sym::NSYMRHS[1]);
        else
            EXFHASKLO(WNUMK, &sym::NSYMRHS[1]);
        return;
    }
    // Wavemaker modes: the force of each wavemaker's unit motion on the
    // body modes.  Rows are solution columns, as the motion solution and
    // the writers read them.  The added mass and damping of the period are
    // formed here when no other option has asked for them.
    if (run::IOPTN[1] != 1 && run::IOPTN[4] <= 0) AMDPINT();
    for (int j = 1; j <= frc::NMODBD; ++j) {
        const int m = frc::MODCOL(j);
        for (int k = 1; k <= frc::NMODWM; ++k) {
            const int q = frc::MODCOL(frc::NMODBD + k);
            FEXH(m, k) = cplx(WNUMNU * frc::AMAT(m, q), -WNUMNU * frc::BMAT(m, q));
        }
    }
}

namespace {

// Contribution of one integration point to the Haskind sums.
template <typename VN, typename RAD>
void haskind_point(float K, const float* x, const float* nrm, float w, int cls, VN vn, RAD rad) {
    using frc::FEXH;
    for (int j = 1; j <= model::NBETA; ++j) {
        PlaneWave W;
        PLNWAVE(K, model::SINBETA(j), model::COSBETA(j), x, nrm, W);
        for (int kc = 1; kc <= sym::NSYMC; ++kc) {
            const cplx s0 = fpan::sum_parts(W.PHIINC, kc);
            const cplx s1 = fpan::sum_parts(W.DPHI, kc);
            for (int a = 1; a <= sym::NMODSC[static_cast<std::size_t>(kc)]; ++a) {
                const int m = sym::IMODSC(a, kc);
                const int jc = sym::IMODPOS(m);
                FEXH(jc, j) -= w * s1 * rad(jc);
                if (cls == 0) FEXH(jc, j) += w * s0 * vn(m);
            }
        }
    }
}

}  // namespace

void EXFHASKLO(float K, const int* /*NSYMRHS*/) {
    fpan::Point pts[4];
    for (int i = 1; i <= model::NEQN; ++i) {
        if (fpan::panel_tank(i) > 0) continue;
        const int cls = fpan::panel_class(i);
        const float nrm[3] = {pnl::PAXES(3, 1, i), pnl::PAXES(3, 2, i), pnl::PAXES(3, 3, i)};
        const int np = fpan::panel_points(i, pts);
        for (int ip = 0; ip < np; ++ip) {
            fpan::set_vnwork(i, pts[ip]);
            haskind_point(
                K, pts[ip].x, nrm, pts[ip].w, cls, [](int m) { return frc::VNWORK(m); },
                [i](int jc) { return frc::RADPOT(i, jc); });
        }
    }
}

void EXFHASKHI(float K, const int* /*NSYMRHS*/) {
    const float nsymf = static_cast<float>(sym::NSYMF);
    fho::for_each(true, [&](const fho::Point& q) {
        const float w = q.w * nsymf * (q.cls > 1 ? 0.5f : 1.0f);
        haskind_point(
            K, q.x, q.n, w, q.cls, [&q](int m) { return model::VNQP(m, q.pt); },
            [&q](int jc) { return fho::potential(q, frc::RADPOT.ptr(1, jc)); });
    });
}

void FRCACC() {
    using frc::FEXD;
    FEXD.fill(cplx{});
    if (model::IDIFF < 0) return;
    if (cfg::ILOWHI == 1) return FRCACC2();
    const int nbeta = std::min<int>(model::NBETA, static_cast<int>(frc::DIFPOT.extent(2)));
    const float nsymf = static_cast<float>(sym::NSYMF);
    for (int i = 1; i <= model::NEQN; ++i) {
        float w = nsymf * pnl::PPROP(1, i);
        if (cfg::IDIPOLE != 0 && fpan::panel_class(i) >= 2) w *= 0.5f;
        for (int kc = 1; kc <= sym::NSYMC; ++kc)
            for (int a = 1; a <= sym::NMODSC[static_cast<std::size_t>(kc)]; ++a) {
                const int m = sym::IMODSC(a, kc);
                const int jc = sym::IMODPOS(m);
                const float wn = w * pnl::VNMODE(m, i);
                for (int j = 1; j <= nbeta; ++j) FEXD(jc, j) += wn * frc::DIFPOT(i, j, kc);
            }
    }
}

}  // namespace zorva

namespace zorva {

void FRCACC2() {
    using frc::FEXD;
    const int nbeta = std::min<int>(model::NBETA, static_cast<int>(frc::DIFPOT.extent(2)));
    const float nsymf = static_cast<float>(sym::NSYMF);
    fho::for_each(false, [&](const fho::Point& q) {
        const float w = q.w * nsymf * (q.cls > 1 ? 0.5f : 1.0f);
        for (int kc = 1; kc <= sym::NSYMC; ++kc)
            for (int j = 1; j <= nbeta; ++j) {
                const cplx phi = fho::potential(q, frc::DIFPOT.ptr(1, j, kc));
                for (int a = 1; a <= sym::NMODSC[static_cast<std::size_t>(kc)]; ++a) {
                    const int m = sym::IMODSC(a, kc);
                    FEXD(sym::IMODPOS(m), j) += w * model::VNQP(m, q.pt) * phi;
                }
            }
    });
}

}  // namespace zorva
