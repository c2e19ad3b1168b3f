// Potential and velocity at the control-surface points each period: the
// incident wave, the bodies' part from Green's representation of the
// period's solution (source strengths of the low-order panels), per
// symmetry component, then recombined at each point and its mirror images
// and turned into the axes of the body that owns the point.
#include <atomic>

#include "common/messages.hpp"
#include "common/threads.hpp"
#include "ctrlsurf/ctrlsurf.hpp"
#include "force/bodyprs.hpp"
#include "force/forceres.hpp"
#include "force/hopoints.hpp"
#include "geometry/model.hpp"
#include "kernels/fldgrn.hpp"
#include "main/config.hpp"
#include "main/symmetry.hpp"
#include "p2f/forcedata.hpp"
#include "solver/incwave.hpp"

namespace zorva {

void CSFPT(float NU, float WK, const int* NSYMRHS, int IPFL, int& IERR) {
    using namespace csf;
    using frc::NBETAF;
    IERR = 0;
    for (auto* a : {&PHICSFC, &PHICSF}) a->fill(cplx{});
    for (auto* a : {&VELCSFC, &VELCSF}) a->fill(cplx{});
    const int nd = sym::NSYMD, nc = sym::NSYMC, nf = sym::NSYMF;
    const bool hi = cfg::ILOWHI == 1;
    constexpr float PI4 = 12.566371f, PI16SQ = 0.0063325736f;

    // Incident wave, in the exterior fluid only.
    for (int i = 1; i <= NCSFPT; ++i) {
        if (model::IDIFF == -1 || IPFL != 0 || ITANKCSF(i) != 0) continue;
        const float x[3] = {XCSFG(1, i), XCSFG(2, i), XCSFG(3, i)};
        for (int ib = 1; ib <= NBETAF; ++ib) {
            IncWave W;
            INCWAVE(WK, model::SINBETA(ib), model::COSBETA(ib), x, 1, W);
            for (int k = 1; k <= nc; ++k) {
                const int col = ib + (k - 1) * NBETAF;
                for (int j = 1; j <= nd; ++j) {
                    const int p = NSYMRHS[(k - 1) * nd + j - 1];
                    PHICSFC(i, col) += W.PHIINC[p];
                    for (int d = 1; d <= 3; ++d) VELCSFC(d, i, col) += W.GRADINC[p][d];
                }
                if (hi) {
                    PHICSFC(i, col) *= PI4;
                    for (int d = 1; d <= 3; ++d) VELCSFC(d, i, col) *= PI4;
                }
            }
        }
    }

    // The bodies' part.
    const float F = IPFL == 0 ? NU : 1.0f;
    if (hi)
        CSFPTHI(F, NSYMRHS, 1, IPFL, IERR);
    else
        CSFPTLO(F, NSYMRHS, 1, IPFL, IERR);

    // The point and its images.
    for (int i = 1; i <= NCSFPT; ++i)
        for (int ib = 1; ib <= NBETAF; ++ib)
            for (int f = 1; f <= nf; ++f) {
                const int a = sym::ISYMF[static_cast<std::size_t>(f)], cf = ib + (f - 1) * NBETAF;
                for (int k = 1; k <= nc; ++k) {
                    const int c = sym::ISYMC[static_cast<std::size_t>(k)], ck = ib + (k - 1) * NBETAF;
                    const float s = static_cast<float>(frc::ISGNPZ(c, a));
                    PHICSF(i, cf) += s * PHICSFC(i, ck);
                    VELCSF(1, i, cf) += static_cast<float>(frc::ISGNX(c, a)) * VELCSFC(1, i, ck);
                    VELCSF(2, i, cf) += static_cast<float>(frc::ISGNY(c, a)) * VELCSFC(2, i, ck);
                    VELCSF(3, i, cf) += s * VELCSFC(3, i, ck);
                }
            }

    // Horizontal velocities in the axes of the body that owns the point.
    int i0 = 0;
    for (int b = 1; b <= cfg::NBODY && NCSFPTB.allocated(); ++b) {
        const float c = model::CSPHIB(1, b), s = model::CSPHIB(2, b);
        for (int j = i0 + 1; j <= i0 + NCSFPTB(b); ++j)
            for (int col = 1; col <= NBETAF * nf; ++col) {
                const cplx vx = VELCSF(1, j, col), vy = VELCSF(2, j, col);
                VELCSF(1, j, col) = c * vx + s * vy;
                VELCSF(2, j, col) = c * vy - s * vx;
            }
        i0 += NCSFPTB(b);
    }
    if (hi) {
        for (auto& v : PHICSF) v *= PI4 * PI16SQ;
        for (auto& v : VELCSF) v *= PI4 * PI16SQ;
    }
}

void CSFPTHI(float F, const int* /*NSYMRHS*/, int /*ONE*/, int IPFL, int& IERR) {
    using namespace csf;
    using frc::NBETAF;
    IERR = 0;
    std::atomic<int> failed{0};
    thr::parallel_for(NCSFPT, [&](int ip, int) {
        const int i = ip + 1;
        if (failed.load() != 0) return;
        const float x[3] = {XCSFG(1, i), XCSFG(2, i), XCSFG(3, i)};
        // Radiation weighted by F and the motions of every heading.
        auto sink = [&](int k, int kind, int q, cplx v, const cplx* g) {
            for (int ib = 1; ib <= NBETAF; ++ib) {
                if (kind == 0 && ib != q) continue;
                const cplx w = kind == 1 ? F * frc::XIMOD(q, ib) : cplx(1.0f);
                const int col = ib + (k - 1) * NBETAF;
                PHICSFC(i, col) += w * v;
                for (int d = 1; d <= 3; ++d) VELCSFC(d, i, col) += w * g[d - 1];
            }
        };
        int ierr = 0;
        fho::span_sums(x, ITANKCSF(i), F, IPFL, true, false, sink, ierr);
        if (ierr != 0) failed = 1;
    });
    if (failed.load() != 0) IERR = 1;
}

void CSFPTLO(float F, const int* /*NSYMRHS*/, int ONE, int IPFL, int& IERR) {
    using namespace csf;
    using frc::NBETAF;
    IERR = 0;
    const bool rad = model::IRAD >= 0, dif = NBETAF > 0 && model::IDIFF >= 0 && IPFL == 0;
    auto tank = [](int j) { return model::ITANK.allocated() ? model::ITANK(j) : 0; };
    auto cls = [](int j) { return model::IDIPWM.allocated() ? model::IDIPWM(j) : 0; };
    // The points on all threads, each point's values by one thread; a
    // failure stops the points not yet begun.
    std::atomic<int> failed{0};
    thr::parallel_for(NCSFPT, [&](int ip, int) {
        const int i = ip + 1;
        if (failed.load() != 0) return;
        const float x[3] = {XCSFG(1, i), XCSFG(2, i), XCSFG(3, i)};
        for (int j = 1; j <= model::NEQN; ++j) {
            if (tank(j) != ITANKCSF(i)) continue;
            for (int n = 1; n <= sym::NIMAGE; ++n) {
                const int a = sym::IMAGEID[static_cast<std::size_t>(n)];
                const float sxa = static_cast<float>(sym::ISGNX(a)), sya = static_cast<float>(sym::ISGNY(a));
                if (cfg::IDIPOLE == 1 && n >= 2 && ((cls(j) == 2 && sxa < 0.0f) || (cls(j) == 3 && sya < 0.0f)))
                    continue;
                const float xi[3] = {sxa * x[0], sya * x[1], x[2]};
                float dre, dim, sre, sim, gdre[3] = {}, gdim[3] = {}, gsre[3] = {}, gsim[3] = {};
                // The source gradient is always wanted: the velocities are
                // formed from it whatever the field-point options.
                int ierr = 0;
                FLDGRNLO(xi, 100.0f, F, j, dre, dim, gdre, gdim, sre, sim, gsre, gsim, 2, ONE, IPFL, ierr);
                if (ierr == 1) {
                    failed = 1;
                    return;
                }
                const cplx S(sre, sim);
                const cplx GS[3] = {{gsre[0], gsim[0]}, {gsre[1], gsim[1]}, {gsre[2], gsim[2]}};
                for (int k = 1; k <= sym::NSYMC; ++k) {
                    const int c = sym::ISYMC[static_cast<std::size_t>(k)];
                    const float s = static_cast<float>(frc::ISGNPZ(c, a));
                    const float sg[3] = {sxa * s, sya * s, s};
                    for (int ib = 1; ib <= NBETAF; ++ib) {
                        cplx w{};
                        if (rad)
                            for (int b = 1; b <= sym::NMODSC[static_cast<std::size_t>(k)]; ++b) {
                                const int p = sym::IMODPOS(sym::IMODSC(b, k));
                                w += F * frc::XIMOD(p, ib) * frc::RADSRC(j, p);
                            }
                        if (dif) w += frc::DIFSRC(j, ib, k);
                        const int col = ib + (k - 1) * NBETAF;
                        PHICSFC(i, col) += s * S * w;
                        for (int d = 0; d < 3; ++d) VELCSFC(d + 1, i, col) += sg[d] * GS[d] * w;
                    }
                }
            }
        }
    });
    if (failed.load() != 0) IERR = 1;
}

}  // namespace zorva
