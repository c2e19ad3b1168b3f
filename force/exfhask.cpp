// Exciting forces by the Haskind relations: the integral over the wetted
// surface of the incident potential times the mode's normal velocity minus
// the radiation potential times the incident wave's normal derivative.
#include <algorithm>

#include "force/force.hpp"
#include "force/forceres.hpp"
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
        if (cfg::ILOWHI == 0) EXFHASKLO(WNUMK, &sym::NSYMRHS[1]);
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

void EXFHASKLO(float K, const int* /*NSYMRHS*/) {
    using frc::FEXH;
    using frc::VNWORK;
    const int nbeta = model::NBETA;
    fpan::Point pts[4];
    for (int i = 1; i <= model::NEQN; ++i) {
        if (fpan::panel_tank(i) > 0) continue;
        const int cls = fpan::panel_class(i);
        for (int c = 1; c <= 3; ++c) plw::VNORM[c - 1] = pnl::PAXES(3, c, i);
        const int np = fpan::panel_points(i, pts);
        for (int ip = 0; ip < np; ++ip) {
            const fpan::Point& pt = pts[ip];
            fpan::set_vnwork(i, pt);
            for (int j = 1; j <= nbeta; ++j) {
                PLNWAVE(K, model::SINBETA(j), model::COSBETA(j), pt.x);
                for (int kc = 1; kc <= sym::NSYMC; ++kc) {
                    const cplx s0 = fpan::sum_parts(incw::PHIINC, kc);
                    const cplx s1 = fpan::sum_parts(plw::DPHI, kc);
                    for (int a = 1; a <= sym::NMODSC[static_cast<std::size_t>(kc)]; ++a) {
                        const int m = sym::IMODSC(a, kc);
                        const int jc = sym::IMODPOS(m);
                        FEXH(jc, j) -= pt.w * s1 * frc::RADPOT(i, jc);
                        if (cls == 0) FEXH(jc, j) += pt.w * s0 * VNWORK(m);
                    }
                }
            }
        }
    }
}

void FRCACC() {
    using frc::FEXD;
    FEXD.fill(cplx{});
    if (cfg::ILOWHI != 0 || model::IDIFF < 0) return;
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
