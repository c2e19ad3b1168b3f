// Body pressure and velocity of a period in the low-order method: the
// symmetry components of the stored potentials and velocities expanded
// into the physical copies of every panel, the incident wave added to the
// diffraction velocity, the body points interpolated from the panels
// around them, and the totals formed with the period's motions.
#include <algorithm>

#include "common/messages.hpp"
#include "force/bodyprs.hpp"
#include "force/bodypts.hpp"
#include "force/forceres.hpp"
#include "geometry/model.hpp"
#include "main/config.hpp"
#include "main/runparams.hpp"
#include "main/symmetry.hpp"
#include "p2f/forcedata.hpp"
#include "panels/paneldata.hpp"
#include "solver/incwave.hpp"

namespace zorva {

namespace {
int img(int f) { return sym::ISYMF[static_cast<std::size_t>(f)]; }
int cls(int k) { return sym::ISYMC[static_cast<std::size_t>(k)]; }
float sgn(int (*t)(int, int), int k, int f) { return static_cast<float>(t(cls(k), img(f))); }
bool skipped(int i) { return pnl::IPFLAG.allocated() && pnl::IPFLAG(i) == -1; }
}  // namespace

void BPBVMOD(float S, int IPERFL) {
    using namespace frc;
    const int ne = model::NEQN, nsymc = sym::NSYMC, nsymf = sym::NSYMF;
    const int idiff = model::IDIFF, irad = model::IRAD;
    for (int i = 1; i <= ne; ++i) {
        if (skipped(i)) continue;
        for (int j = 1; j <= NBETAF; ++j) {
            for (int f = 1; f <= nsymf; ++f)
                for (int k = 1; k <= nsymc; ++k) {
                    if (idiff >= 0 && IPERFL == 0) PDIFP(i, j, f) += sgn(ISGNPZ, k, f) * DIFPOT(i, j, k);
                    if (j != 1 || irad < 0) continue;
                    for (int a = 1; a <= sym::NMODSC[static_cast<std::size_t>(k)]; ++a) {
                        const int q = sym::IMODPOS(sym::IMODSC(a, k));
                        PRADP(i, q, f) = S * sgn(ISGNPZ, k, f) * RADPOT(i, q);
                    }
                }
        }
    }
}

void BPBVEND(float S, float WNUMK, int IPERFL) {
    using namespace frc;
    const int ne = model::NEQN, nsymc = sym::NSYMC, nsymf = sym::NSYMF, nd = sym::NSYMD;
    const int idiff = model::IDIFF, irad = model::IRAD, nb = NBETAF, ns = sym::NSOLC;
    const bool dif = idiff >= 0 && IPERFL == 0;
    cplx v[5][4];
    for (int i = 1; i <= ne; ++i) {
        if (skipped(i)) {
            for (int j = 1; j <= nb; ++j)
                for (int f = 1; f <= nsymf; ++f)
                    for (int c = 1; c <= 3; ++c) VDIFP(i, c, j + (f - 1) * nb) = cplx{};
            continue;
        }
        for (int j = 1; j <= nb; ++j) {
            for (int k = 1; k <= nsymc; ++k)
                for (int c = 1; c <= 3; ++c) v[k][c] = dif ? VDIFP(i, c, j + (k - 1) * nb) : cplx{};
            if (dif && (!model::ITANK.allocated() || model::ITANK(i) == 0)) {
                const float x[3] = {pnl::PCENT(1, i), pnl::PCENT(2, i), pnl::PCENT(3, i)};
                IncWave W;
                INCWAVE(WNUMK, model::SINBETA(j), model::COSBETA(j), x, 1, W);
                for (int k = 1; k <= nsymc; ++k)
                    for (int e = 1; e <= nd; ++e) {
                        const int p = sym::NSYMRHS[static_cast<std::size_t>((k - 1) * nd + e)];
                        for (int c = 1; c <= 3; ++c) v[k][c] += W.GRADINC[p][c];
                    }
            }
            for (int f = 1; f <= nsymf; ++f) {
                const int L = j + (f - 1) * nb;
                for (int c = 1; c <= 3; ++c) VDIFP(i, c, L) = cplx{};
                for (int k = 1; k <= nsymc; ++k) {
                    VDIFP(i, 1, L) += sgn(ISGNX, k, f) * v[k][1];
                    VDIFP(i, 2, L) += sgn(ISGNY, k, f) * v[k][2];
                    VDIFP(i, 3, L) += sgn(ISGNPZ, k, f) * v[k][3];
                }
            }
        }
        if (irad < 0) continue;
        for (int f = 1; f <= nsymf; ++f)
            for (int k = 1; k <= nsymc; ++k)
                for (int a = 1; a <= sym::NMODSC[static_cast<std::size_t>(k)]; ++a) {
                    const int q = sym::IMODPOS(sym::IMODSC(a, k));
                    const int L = q + (f - 1) * ns;
                    VRADP(i, 1, L) = S * sgn(ISGNX, k, f) * RADVEL(i, 1, q);
                    VRADP(i, 2, L) = S * sgn(ISGNY, k, f) * RADVEL(i, 2, q);
                    VRADP(i, 3, L) = S * sgn(ISGNPZ, k, f) * RADVEL(i, 3, q);
                }
    }
    // The next period's record brings its own radiation velocities.
    RADVEL.deallocate();
}

void BPBVLO(int IBPPRS, int IBPVEL) {
    using namespace frc;
    const int ne = std::abs(cfg::IPNLBPT), nb = NBETAF, ns = sym::NSOLC;
    const bool dif = model::IDIFF >= 0, rad = model::IRAD >= 0;
    if (IBPPRS == 1) {
        PDIFB.fill(cplx{});
        if (rad) PRADB.fill(cplx{});
    }
    if (IBPVEL == 1) {
        VDIFB.fill(cplx{});
        if (rad) VRADB.fill(cplx{});
    }
    for (int b = 1; b <= NBPTT; ++b) {
        const int f = IBPIDX(b);
        for (int e = 1; e <= ne; ++e) {
            const int p = IBPPAN(e, b);
            const float w = WBPPAN(e, b);
            if (p < 1) continue;
            if (IBPPRS == 1) {
                if (dif)
                    for (int j = 1; j <= nb; ++j) PDIFB(b, j) += w * PDIFP(p, j, f);
                if (rad)
                    for (int q = 1; q <= ns; ++q) PRADB(b, q) += w * PRADP(p, q, f);
            }
            if (IBPVEL == 1)
                for (int c = 1; c <= 3; ++c) {
                    if (dif)
                        for (int j = 1; j <= nb; ++j) VDIFB(b, c, j) += w * VDIFP(p, c, j + (f - 1) * nb);
                    if (rad)
                        for (int q = 1; q <= ns; ++q) VRADB(b, c, q) += w * VRADP(p, c, q + (f - 1) * ns);
                }
        }
    }
}

void BPBVDRV(float WNUMNU, float WNUMK, int IPERFL, int& IERR) {
    using namespace frc;
    const float s = WNUMNU >= 1.0e-6f ? WNUMNU : 1.0f;
    const int irad = model::IRAD, idiff = model::IDIFF, nb = NBETAF, ns = sym::NSOLC, nsymf = sym::NSYMF;
    const bool prs = IBPPRS == 1 && PDIFP.allocated(), vel = IBPVEL == 1 && VDIFP.allocated();
    if (prs) {
        if (irad >= 0) PRADP.fill(cplx{});
        PDIFP.fill(cplx{});
    }
    const bool hi = cfg::ILOWHI != 0;
    if (hi && vel) {
        if (irad >= 0) VRADP.fill(cplx{});
        VDIFP.fill(cplx{});
    }
    if (hi && (prs || vel)) {
        BPBV(s, prs ? 1 : 0, vel ? 1 : 0, IPERFL, IERR);
        if (IERR != 0) return;
    }
    if (!hi && vel && irad >= 0 && !RADVEL.allocated()) {
        // The source method leaves the radiation velocities in every period
        // record; without them the body velocity cannot be formed.
        ERRMSG("Radiation velocities on the panels are missing from the .P2F file", 0);
        IERR = 1;
        return;
    }
    if (!hi && vel && irad >= 0) VRADP.fill(cplx{});
    if (!hi && vel) BPBVEND(s, WNUMK, IPERFL);
    if (!hi && prs) BPBVMOD(s, IPERFL);

    const int ipb = cfg::IPNLBPT;
    // Totals at the panels (the body points are formed from them).
    const int np = NPBOUT;
    for (int i = 1; i <= np; ++i)
        for (int f = 1; f <= nsymf; ++f)
            for (int j = 1; j <= nb; ++j) {
                cplx p{}, v[4]{};
                if (idiff >= 0) {
                    if (prs) p = PDIFP(i, j, f);
                    if (vel)
                        for (int c = 1; c <= 3; ++c) v[c] = VDIFP(i, c, j + (f - 1) * nb);
                }
                if (irad >= 0)
                    for (int q = 1; q <= ns; ++q) {
                        const cplx x = XIMOD(q, j);
                        if (prs) p += x * PRADP(i, q, f);
                        if (vel)
                            for (int c = 1; c <= 3; ++c) v[c] += x * VRADP(i, c, q + (f - 1) * ns);
                    }
                if (prs) PTOTP(i, j, f) = p;
                if (vel)
                    for (int c = 1; c <= 3; ++c) VTOTP(i, c, j + (f - 1) * nb) = v[c];
            }
    if (ipb == 0) return;
    const bool bp = IBPPRS == 1 && PDIFB.allocated(), bv = IBPVEL == 1 && VDIFB.allocated();
    if (hi) {
        if (bp) {
            PDIFB.fill(cplx{});
            if (irad >= 0) PRADB.fill(cplx{});
        }
        if (bv) {
            VDIFB.fill(cplx{});
            if (irad >= 0) VRADB.fill(cplx{});
        }
        BPBVBPTH(s, bp ? 1 : 0, bv ? 1 : 0, IPERFL, IERR);
        if (IERR != 0) return;
    } else {
        BPBVLO(bp ? 1 : 0, bv ? 1 : 0);
    }
    for (int b = 1; b <= NBPTT; ++b)
        for (int j = 1; j <= nb; ++j) {
            cplx p{}, v[4]{};
            if (idiff >= 0) {
                if (bp) p = PDIFB(b, j);
                if (bv)
                    for (int c = 1; c <= 3; ++c) v[c] = VDIFB(b, c, j);
            }
            if (irad >= 0)
                for (int q = 1; q <= ns; ++q) {
                    const cplx x = XIMOD(q, j);
                    if (bp) p += x * PRADB(b, q);
                    if (bv)
                        for (int c = 1; c <= 3; ++c) v[c] += x * VRADB(b, c, q);
                }
            if (bp) PTOTB(b, j) = p;
            if (bv)
                for (int c = 1; c <= 3; ++c) VTOTB(b, c, j) = v[c];
        }
}

}  // namespace zorva
