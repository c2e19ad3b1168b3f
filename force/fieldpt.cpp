// Field-point values of a period: the incident wave at each point, the
// contributions of the bodies, the scaling of the potential
// representation and the totals with the period's motions.
#include "force/fieldpt.hpp"
#include "force/forceres.hpp"
#include "geometry/model.hpp"
#include "main/config.hpp"
#include "main/runparams.hpp"
#include "main/symmetry.hpp"
#include "p2f/forcedata.hpp"
#include "solver/incwave.hpp"

namespace zorva {

void FIELDPT(float WNUMNU, float WNUMK, const int* NSYMRHS, int IPERFL, int& IERR) {
    using namespace frc;
    // 4 pi and 1/(16 pi^2) as 32-bit reals: a value scaled by 1/(4 pi) is
    // multiplied by the first and then by the second.
    constexpr float PI4 = 12.566371f, PI16SQ = 0.0063325736f;
    const int o6 = run::IOPTN[6], o7 = run::IOPTN[7];
    const int igrad = o7 > 0 ? 1 : 0;
    const int nd = sym::NSYMD, nc = sym::NSYMC, ns = sym::NSOLC, nb = NBETAF;
    const bool rad = model::IRAD != -1;
    IERR = 0;
    for (int i = 1; i <= NFIELD; ++i) {
        const float xf[3] = {XFIELD(1, i) * model::ULENI, XFIELD(2, i) * model::ULENI, XFIELD(3, i) * model::ULENI};
        for (int ih = 1; ih <= nb; ++ih) {
            if (model::IDIFF == -1 || IPERFL != 0 || (IFPTANK.allocated() && IFPTANK(i) != 0)) {
                if (o6 > 0) PDIFF(i, ih) = cplx{};
                if (o7 > 0)
                    for (int c = 1; c <= 3; ++c) VDIFF(c, i, ih) = cplx{};
                continue;
            }
            IncWave W;
            INCWAVE(WNUMK, model::SINBETA(ih), model::COSBETA(ih), xf, igrad, W);
            cplx phi{}, g[4]{};
            for (int k = 1; k <= nc; ++k)
                for (int d = 1; d <= nd; ++d) {
                    const int p = NSYMRHS[(k - 1) * nd + d - 1];
                    phi += W.PHIINC[p];
                    if (igrad == 1)
                        for (int c = 1; c <= 3; ++c) g[c] += W.GRADINC[p][c];
                }
            if (o6 > 0) PDIFF(i, ih) = o6 == 1 ? PI4 * phi : phi;
            if (o7 > 0)
                for (int c = 1; c <= 3; ++c) VDIFF(c, i, ih) = o7 == 1 ? PI4 * g[c] : g[c];
        }
    }
    if (rad) {
        if (o6 > 0) PRADF.fill(cplx{});
        if (o7 > 0) VRADF.fill(cplx{});
    }
    const float S = IPERFL != 0 ? 1.0f : WNUMNU;
    if (cfg::ILOWHI == 1)
        FLDPTHI(S, NSYMRHS, 1, IPERFL, IERR);
    else
        FLDPTLO(S, NSYMRHS, 1, IPERFL, IERR);
    for (int i = 1; i <= NFIELD; ++i) {
        if (rad)
            for (int m = 1; m <= ns; ++m) {
                if (o6 == 1) PRADF(i, m) = PRADF(i, m) * PI4 * PI16SQ;
                if (o7 == 1)
                    for (int c = 1; c <= 3; ++c) VRADF(c, i, m) = VRADF(c, i, m) * PI4 * PI16SQ;
            }
        for (int ih = 1; ih <= nb; ++ih) {
            if (o6 == 1) PDIFF(i, ih) = PDIFF(i, ih) * PI4 * PI16SQ;
            if (o6 > 0) PTOTF(i, ih) = PDIFF(i, ih);
            if (o7 == 1)
                for (int c = 1; c <= 3; ++c) VDIFF(c, i, ih) = VDIFF(c, i, ih) * PI4 * PI16SQ;
            if (o7 > 0)
                for (int c = 1; c <= 3; ++c) VTOTF(c, i, ih) = VDIFF(c, i, ih);
            if (!rad) continue;
            for (int m = 1; m <= ns; ++m) {
                const cplx x = XIMOD(m, ih);
                if (o6 > 0) PTOTF(i, ih) += x * PRADF(i, m);
                if (o7 > 0)
                    for (int c = 1; c <= 3; ++c) VTOTF(c, i, ih) += x * VRADF(c, i, m);
            }
        }
    }
}

}  // namespace zorva
