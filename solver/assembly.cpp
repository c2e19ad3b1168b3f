// Low-order assembly of one period.  Row i of every component is formed
// from the Rankine parts of unit 23 and the wave part of the Green function
// for the pairs (i, j), j <= i, of every geometric image: one Green-function
// batch per row gives both the entry (i, j) (panel j acting on i) and the
// entry (j, i) (panel i acting on j).  Each finished border goes to the
// in-memory matrix or the matrix scratch files (solver/assembly_store.cpp).
#include "solver/assembly.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "common/channels.hpp"
#include "common/messages.hpp"
#include "geometry/model.hpp"
#include "kernels/rankin.hpp"
#include "kernels/rankpan.hpp"
#include "kernels/wavegreen_fd.hpp"
#include "kernels/wgreenv.hpp"
#include "main/config.hpp"
#include "main/runparams.hpp"
#include "main/symmetry.hpp"
#include "panels/geomdata.hpp"
#include "panels/paneldata.hpp"
#include "solver/assembly_store.hpp"
#include "solver/matrices.hpp"
#include "solver/scrstore.hpp"

namespace zorva {

namespace {

constexpr float FOURPI = 12.566371f;
constexpr int IURAD = IURNKR;

// Reflection signs of the four image identifiers and the weight of image g
// in component c.
constexpr int SX[5] = {0, 1, -1, -1, 1};
constexpr int SY[5] = {0, 1, 1, -1, -1};
constexpr int SIGMA[5][5] = {{0, 0, 0, 0, 0}, {0, 1, 1, 1, 1}, {0, 1, -1, -1, 1}, {0, 1, -1, 1, -1},
                             {0, 1, 1, -1, -1}};

// Work arrays of one period.
struct Work {
    // Row accumulators (NEQN, NSYMC): row part (i, j) and column part (j, i).
    Arr2<cplx> rowd, cold, rows, cols;
    Arr2<cplx> srow, scol;   // wave part of the source influences of the row
    // Source formulation: the second matrix and the source velocities.
    Arr2<cplx> rown, coln;
    Arr3<cplx> rowv, colv;
    Arr2<float> wv;          // (NEQN, 3) record buffer of the velocity reader
    std::vector<cplx> pd, pdr, ps, psr;  // influences of the pairs of one image
    std::vector<cplx> pn, pnr, pv, pvr;  // normal velocities and velocities
    Arr2<float> w;           // (NEQN, 2) record buffer of the Rankine reader
    std::vector<int> code;   // pair codes of the row
    std::vector<int> mark;   // 1 ordinary pair, 0 free-surface pair
    std::vector<float> lev;  // free-surface level of each panel
    // Pair batch.
    std::vector<float> x, z1, z2, logt, ux, uy, vx, vy;
    std::vector<int> ising, ibot;
    std::vector<cplx> g;
    std::vector<int> l[14];

    bool allocate(int n, int nsymc, int npair) {
        try {
            const int ns = cfg::ISCATT == 1 ? n : 1;
            const int ks = cfg::ISCATT == 1 ? nsymc : 1;
            if (!rowd.allocate(n, nsymc) || !cold.allocate(n, nsymc) || !rows.allocate(ns, ks) ||
                !cols.allocate(ns, ks) || !w.allocate(n, 2) || !srow.allocate(n, nsymc) || !scol.allocate(n, nsymc))
                return false;
            const bool sor = cfg::ISOR == 1;
            const int nv = sor ? n : 1, kv = sor ? nsymc : 1;
            if (!rown.allocate(nv, kv) || !coln.allocate(nv, kv) || !rowv.allocate(nv, 3, kv) ||
                !colv.allocate(nv, 3, kv) || !wv.allocate(nv, 3))
                return false;
            auto un = static_cast<std::size_t>(n), up = static_cast<std::size_t>(npair);
            for (auto* v : {&pn, &pnr}) v->assign(sor ? un : 1, cplx(0.0f, 0.0f));
            for (auto* v : {&pv, &pvr}) v->assign(sor ? 3 * un : 3, cplx(0.0f, 0.0f));
            code.assign(un, 0);
            mark.assign(un, 1);
            lev.assign(un, 0.0f);
            for (auto* v : {&x, &z1, &z2, &logt, &ux, &uy, &vx, &vy}) v->assign(up, 0.0f);
            for (auto* v : {&pd, &pdr, &ps, &psr}) v->assign(un, cplx(0.0f, 0.0f));
            ising.assign(up, 0);
            ibot.assign(up, 0);
            g.assign(8 * up, cplx(0.0f, 0.0f));
            for (auto& li : l) li.assign(up, 0);
        } catch (const std::bad_alloc&) {
            return false;
        }
        return true;
    }
};

// Radiation Rankine part (unit 24) into RHSMOD.
int read_radiation(int NEQN, float s) {
    const int nsolc = sym::NSOLC;
    const std::size_t nval = static_cast<std::size_t>(NEQN) * static_cast<std::size_t>(nsolc);
    std::vector<char> buf;
    chan::rewind(IURAD);
    for (int level = 0; level <= cfg::ILOG; ++level) {
        if (chan::read_record(IURAD, buf) != 0 || buf.size() != nval * sizeof(float)) {
            ERRMSG(" Error reading scratch file for Rankine LHS, UNIT=", IURAD);
            return 1;
        }
        std::vector<float> v(nval);
        if (nval) std::memcpy(v.data(), buf.data(), buf.size());
        for (int c = 1; c <= nsolc; ++c)
            for (int i = 1; i <= NEQN; ++i) {
                float r = v[static_cast<std::size_t>(c - 1) * static_cast<std::size_t>(NEQN) +
                            static_cast<std::size_t>(i - 1)];
                if (level == 0)
                    slv::RHSMOD(i, c) = cplx(r, 0.0f);
                else
                    slv::RHSMOD(i, c) += cplx(s * r, 0.0f);
            }
    }
    return 0;
}

int read_codes(int I, std::vector<int>& code) {
    static std::vector<char> buf;
    if (chan::read_record(IURNK, buf) != 0 || buf.size() != static_cast<std::size_t>(I) * sizeof(int)) {
        ERRMSG(" Error reading scratch file for Rankine LHS, UNIT=", IURNK);
        return 1;
    }
    std::memcpy(code.data(), buf.data(), buf.size());
    return 0;
}

}  // namespace

void WAVEGR(int IRAD, int IDIFF, int NBETAC, int NEQN, float NU, Arr2<cplx>& ALHS, int IPERFL, int& IERR) {
    if (cfg::ILOWHI == 0) {
        WAVEGRLO(IRAD, IDIFF, NBETAC, NEQN, NU, model::HBOT, ALHS, IPERFL, IERR);
        return;
    }
    ERRMSG(" Higher-order assembly is not available", 0);
    IERR = 1;
}

void WAVEGRLO(int IRAD, int IDIFF, int NBETAC, int NEQN, float WNUMNU, float HBOT, Arr2<cplx>& ALHS, int IPERFL,
              int& IERR) {
    using pnl::PAXES;
    using pnl::PCENT;
    using pnl::PPROP;
    IERR = 0;
    const int nsymc = sym::NSYMC;
    const int nimage = sym::NIMAGE;
    const bool scatt = cfg::ISCATT == 1;
    const bool sor = cfg::ISOR == 1;
    const bool quad = cfg::IQUAD != 0;
    const bool dipoles = model::IDIPWM.allocated() &&
                         std::any_of(model::IDIPWM.begin(), model::IDIPWM.end(), [](int c) { return c != 0; });
    if (quad && dipoles) {
        ERRMSG(" WAVEGR: dipole panels with the four-point rule (IQUAD not 0) are not available", 0);
        IERR = 1;
        return;
    }
    const bool limit = IPERFL != 0;

    // 1. Work arrays.
    Work wk;
    if (!wk.allocate(NEQN, nsymc, std::max(nimage, quad ? 4 : 1) * NEQN)) {
        ERRMSG(" RAM too small to allocate WAVEGR arrays ", 0);
        IERR = 1;
        return;
    }

    // 2. Period scalars.
    // A limit period works in the geometry's own lengths (nu = 1) and has
    // no frequency-dependent Rankine part.
    const float nu = limit ? 1.0f : WNUMNU;
    const float nuh = HBOT * nu;
    const float nu2 = nu * nu;
    const float nu3 = nu2 * nu;
    const float L = limit ? 0.0f : -std::log(nu2);
    const float s = limit ? 0.0f : WNUMNU;

    // 3. Clear the scattering right-hand sides.
    if (scatt && IDIFF >= 0) slv::RHSRAD.fill(cplx(0.0f, 0.0f));

    // 4. Radiation Rankine part.
    if (IRAD >= 0 && read_radiation(NEQN, s) != 0) {
        IERR = 1;
        return;
    }

    // 5. Scratch units.
    Store store;
    if (store.open(NEQN, nsymc, ALHS) != 0) {
        IERR = 1;
        return;
    }
    chan::rewind(IURNK);

    const bool have_tank = model::ITANK.allocated() && static_cast<int>(model::ITANK.size()) >= NEQN;
    const bool have_dip = model::IDIPWM.allocated() && static_cast<int>(model::IDIPWM.size()) >= NEQN;
    const bool have_flag = pnl::IPFLAG.allocated();
    auto itank = [&](int i) { return have_tank ? model::ITANK(i) : 0; };
    auto idipwm = [&](int i) { return have_dip ? model::IDIPWM(i) : 0; };
    auto ipflag = [&](int i) { return have_flag ? static_cast<float>(pnl::IPFLAG(i)) : 1.0f; };
    bool any_dipole = false;
    for (int i = 1; i <= NEQN && have_dip; ++i) any_dipole = any_dipole || model::IDIPWM(i) != 0;
    for (int i = 1; i <= NEQN; ++i) {
        int t = itank(i);
        wk.lev[static_cast<std::size_t>(i - 1)] = t == 0 ? 0.0f : cfg::ZTANKFS(t) + cfg::XBODY(3, cfg::ITANKB(t));
    }

    // Green function of the first n pairs of the batch: the whole batch at
    // once in an ordinary period, pair by pair at a frequency limit.
    const float zero = 0.0f;
    auto green = [&](int n) {
        std::fill(wk.g.begin(), wk.g.begin() + 8 * n, cplx(0.0f, 0.0f));
        if (!limit) {
            WGREENV(wk.x.data(), zero, wk.z2.data(), wk.z1.data(), nuh, wk.g.data(), wk.ising.data(),
                    wk.ibot.data(), n, wk.l[0].data(), wk.l[1].data(), wk.l[2].data(), wk.l[3].data(),
                    wk.l[4].data(), wk.l[5].data(), wk.l[6].data(), wk.l[7].data(), wk.l[8].data(), wk.l[9].data(),
                    wk.l[10].data(), wk.l[11].data(), wk.l[12].data(), wk.l[13].data());
            return;
        }
        for (std::size_t p = 0; p < static_cast<std::size_t>(n); ++p)
            FDGRNSC(wk.x[p], wk.z2[p], wk.z1[p], nuh, &wk.g[8 * p], wk.ising[p], wk.ibot[p], IPERFL);
    };

    auto& rowd = wk.rowd;
    auto& cold = wk.cold;
    auto& rows = wk.rows;
    auto& cols = wk.cols;
    const bool radiation = IRAD >= 0;

    // 6. Row loop.
    for (int i = 1; i <= NEQN; ++i) {
        const auto ui = static_cast<std::size_t>(i - 1);
        const float levi = wk.lev[ui];
        const int dipi = any_dipole ? idipwm(i) : 0;
        const int tanki = itank(i);

        // Memory switch of the iterative solver's store.
        if (store.switch_at(i) != 0) {
            IERR = 1;
            return;
        }

        // Rankine parts and pair codes.
        for (int k = 1; k <= nsymc; ++k)
            for (int level = 0; level <= cfg::ILOG; ++level) {
                slv::RDRLHS(IURNK, cold.data(), rowd.data(), NEQN, i, k, wk.w.data(), level, s, IERR);
                if (IERR == 0 && scatt)
                    slv::RDRLHS(IURNK, cols.data(), rows.data(), NEQN, i, k, wk.w.data(), level, s, IERR);
                if (IERR == 0 && sor)
                    slv::RDRLHS(IURNK, wk.coln.data(), wk.rown.data(), NEQN, i, k, wk.w.data(), level, s, IERR);
                if (IERR == 0 && sor)
                    slv::RDRVEL(IURNK, wk.colv.data(), wk.rowv.data(), NEQN, i, k, wk.wv.data(), level, s, IERR);
                if (IERR != 0) return;
            }
        if (read_codes(i, wk.code) != 0) {
            IERR = 1;
            return;
        }

        // Free-surface pairs.
        for (int j = 1; j <= i; ++j) {
            auto uj = static_cast<std::size_t>(j - 1);
            int& c = wk.code[uj];
            wk.mark[uj] = 1;
            if (c < 4096) continue;
            c -= 4096;
            wk.mark[uj] = 0;
            for (int k = 1; k <= nsymc; ++k) {
                for (auto* acc : {&rowd, &cold, &wk.rown, &wk.coln}) {
                    if (!sor && (acc == &wk.rown || acc == &wk.coln)) continue;
                    const bool rowpart = acc == &rowd || acc == &wk.rown;
                    if (j == i && rowpart) {
                        const float v = (*acc)(i, k).real();
                        (*acc)(i, k) = cplx(FOURPI * ipflag(i) - s * v, -s * (*acc)(i, k).imag());
                    } else if (j < i || rowpart) {
                        (*acc)(j, k) *= -s;
                    }
                }
            }
        }

        // Pair batch: every image of the field point against panels 1..i.
        const float xi = PCENT(1, i), yi = PCENT(2, i), zi = PCENT(3, i);
        const float z1 = -nu * (zi - levi);
        int np = 0;
        for (int m = 1; m <= (quad ? 0 : nimage); ++m) {
            const int id = sym::IMAGEID[static_cast<std::size_t>(m)];
            const float sx = static_cast<float>(SX[id]), sy = static_cast<float>(SY[id]);
            for (int j = 1; j <= i; ++j, ++np) {
                auto uj = static_cast<std::size_t>(j - 1);
                const auto up = static_cast<std::size_t>(np);
                const int dig = (wk.code[uj] >> (3 * (m - 1))) & 7;
                wk.ising[up] = dig & 3;
                wk.ibot[up] = (dig >> 2) & 1;
                wk.logt[up] = (dig & 3) == 3 ? L : 0.0f;
                const float dx = PCENT(1, j) - sx * xi, dy = PCENT(2, j) - sy * yi;
                const float R = std::sqrt(dx * dx + dy * dy);
                wk.x[up] = std::max(nu * R, 1.0e-6f);
                wk.z1[up] = z1;
                wk.z2[up] = -nu * (PCENT(3, j) - wk.lev[uj]);
                if (R > 1.0e-6f) {
                    wk.ux[up] = dx / R;
                    wk.uy[up] = dy / R;
                    wk.vx[up] = (xi - sx * PCENT(1, j)) / R;
                    wk.vy[up] = (yi - sy * PCENT(2, j)) / R;
                } else {
                    wk.ux[up] = wk.uy[up] = wk.vx[up] = wk.vy[up] = 0.0f;
                }
            }
        }

        // Wave Green function of the whole batch.
        if (!quad) green(np);

        // Influences of every pair of an image, then gathered
        // into the components: D (j on i) and Dr (i on j) into the matrix
        // borders, the source influences S and Sr into the row sums of the
        // wave part that form the radiation and scattering right-hand sides.
        const float Ai = PPROP(1, i);
        const float nix = PAXES(3, 1, i), niy = PAXES(3, 2, i), niz = PAXES(3, 3, i);
        for (int k = 1; k <= nsymc; ++k)
            for (int j = 1; j <= i; ++j) wk.srow(j, k) = wk.scol(j, k) = cplx(0.0f, 0.0f);
        cplx* pn = wk.pn.data();
        cplx* pnr = wk.pnr.data();
        cplx* pv = wk.pv.data();
        cplx* pvr = wk.pvr.data();
        // Four-point rule (IQUAD not 0): for image m, the four points of each
        // panel j against the image of centroid i (direct pairs), then the
        // four points of panel i against the image of each centroid j
        // (reversed pairs); the points' weights take the place of the areas.
        auto quad_image = [&](int m, float sx, float sy) {
            using pnl::PNLARR2;
            using pnl::XVERG;
            for (int pass = 0; pass < 2; ++pass) {
                int n4 = 0;
                for (int j = 1; j <= i; ++j) {
                    const auto uj = static_cast<std::size_t>(j - 1);
                    const int dig = (wk.code[uj] >> (3 * (m - 1))) & 7;
                    const int src = pass == 0 ? j : i, fld = pass == 0 ? i : j;
                    const float fx = sx * PCENT(1, fld), fy = sy * PCENT(2, fld);
                    const float zf = -nu * (PCENT(3, fld) - wk.lev[static_cast<std::size_t>(fld - 1)]);
                    for (int q = 1; q <= 4; ++q, ++n4) {
                        const auto up = static_cast<std::size_t>(n4);
                        wk.ising[up] = dig & 3;
                        wk.ibot[up] = (dig >> 2) & 1;
                        const float dx = XVERG(q, 1, src) - fx, dy = XVERG(q, 2, src) - fy;
                        const float R = std::sqrt(dx * dx + dy * dy);
                        wk.x[up] = std::max(nu * R, 1.0e-6f);
                        wk.z1[up] = zf;
                        wk.z2[up] = -nu * (XVERG(q, 3, src) - wk.lev[static_cast<std::size_t>(src - 1)]);
                        wk.ux[up] = R > 1.0e-6f ? dx / R : 0.0f;
                        wk.uy[up] = R > 1.0e-6f ? dy / R : 0.0f;
                    }
                }
                green(n4);
                for (int j = 1; j <= i; ++j) {
                    const auto uj = static_cast<std::size_t>(j - 1);
                    const int src = pass == 0 ? j : i, fld = pass == 0 ? i : j;
                    const float ns[3] = {PAXES(3, 1, src), PAXES(3, 2, src), PAXES(3, 3, src)};
                    const float nf[3] = {sx * PAXES(3, 1, fld), sy * PAXES(3, 2, fld), PAXES(3, 3, fld)};
                    const float Lp = ((wk.code[uj] >> (3 * (m - 1))) & 3) == 3 ? L : 0.0f;
                    cplx S(0.0f, 0.0f), D(0.0f, 0.0f), V[3] = {};
                    for (int q = 1; q <= 4; ++q) {
                        const auto up = static_cast<std::size_t>(4 * (j - 1) + q - 1);
                        const cplx* g = &wk.g[8 * up];
                        const float w = PNLARR2(q, src);
                        S += nu * w * (g[0] + Lp);
                        D += nu2 * w * (g[1] * (ns[0] * wk.ux[up] + ns[1] * wk.uy[up]) - g[2] * ns[2]);
                        V[0] += -nu2 * w * g[1] * wk.ux[up];
                        V[1] += -nu2 * w * g[1] * wk.uy[up];
                        V[2] += -nu2 * w * g[6];
                    }
                    if (wk.mark[uj] == 0) D = ipflag(src) * nu * S;
                    const bool skip = itank(j) != tanki;
                    if (pass == 0) {
                        wk.pd[uj] = skip ? cplx() : D;
                        wk.ps[uj] = skip ? cplx() : S;
                    } else {
                        wk.pdr[uj] = skip ? cplx() : D;
                        wk.psr[uj] = skip ? cplx() : S;
                    }
                    if (!sor) continue;
                    cplx N = wk.mark[uj] == 0 ? ipflag(src) * nu * S : V[0] * nf[0] + V[1] * nf[1] + V[2] * nf[2];
                    cplx* pvv = pass == 0 ? pv : pvr;
                    (pass == 0 ? pn : pnr)[uj] = skip ? cplx() : N;
                    for (int c = 0; c < 3; ++c) pvv[3 * uj + static_cast<std::size_t>(c)] = skip ? cplx() : V[c];
                }
            }
        };

        np = 0;
        for (int m = 1; m <= nimage; ++m) {
            const int id = sym::IMAGEID[static_cast<std::size_t>(m)];
            const int isx = SX[id], isy = SY[id];
            const float sx = static_cast<float>(isx), sy = static_cast<float>(isy);
            cplx* pd = wk.pd.data();
            cplx* pdr = wk.pdr.data();
            cplx* ps = wk.ps.data();
            cplx* psr = wk.psr.data();
            if (quad) quad_image(m, sx, sy);
            for (int j = 1; j <= (quad ? 0 : i); ++j, ++np) {
                const auto up = static_cast<std::size_t>(np);
                const auto uj = static_cast<std::size_t>(j - 1);
                if (itank(j) != tanki) {
                    pd[uj] = pdr[uj] = ps[uj] = psr[uj] = cplx(0.0f, 0.0f);
                    if (sor) {
                        pn[uj] = pnr[uj] = cplx(0.0f, 0.0f);
                        for (int c = 0; c < 3; ++c) pv[3 * uj + c] = pvr[3 * uj + c] = cplx(0.0f, 0.0f);
                    }
                    continue;
                }
                const cplx* g = &wk.g[8 * up];
                const float Aj = PPROP(1, j);
                const float njx = PAXES(3, 1, j), njy = PAXES(3, 2, j), njz = PAXES(3, 3, j);
                const float ux = wk.ux[up], uy = wk.uy[up], vx = wk.vx[up], vy = wk.vy[up];
                const cplx G0 = g[0] + wk.logt[up];
                const bool fs = wk.mark[uj] == 0;
                const int dipj = any_dipole ? idipwm(j) : 0;

                // Panel j acting on the image of i (S, D); panel i acting on
                // the image of j (Sr, Dr).
                cplx S(0.0f, 0.0f), D, Sr(0.0f, 0.0f), Dr;
                if (dipi >= 1 || dipj >= 1) {
                    // Normal-velocity equations of dipole panels: derivatives at
                    // the field point, with G_RR from Laplace's equation.
                    const float X = wk.x[up];
                    const cplx GR = g[1], Gz = g[2], GRz = g[3], Gzz = g[4], Gzzeta = g[5], Gzeta = g[6],
                               GRzeta = g[7];
                    const cplx GRR = -GR / X - Gzz;
                    const float nu_j = njx * ux + njy * uy;
                    const float mx = sx * nix, my = sy * niy;  // field normal, mirrored
                    if (dipi >= 1) {
                        if (dipj < 1) S = -nu2 * Aj * (GR * (mx * ux + my * uy) + Gzeta * niz);
                        cplx Fx = -ux * GRR * nu_j + (GR / X) * (ux * nu_j - njx) + ux * GRz * njz;
                        cplx Fy = -uy * GRR * nu_j + (GR / X) * (uy * nu_j - njy) + uy * GRz * njz;
                        cplx Fz = GRzeta * nu_j - Gzzeta * njz;
                        D = nu3 * Aj * (mx * Fx + my * Fy - niz * Fz);
                        if (fs) D = ipflag(j) * S;
                    } else {
                        if (dipj < 1) S = nu * Aj * G0;
                        D = fs ? ipflag(j) * nu2 * Aj * G0 : nu2 * Aj * (GR * nu_j - Gz * njz);
                    }
                    const float nu_i = nix * vx + niy * vy;
                    const float px = sx * njx, py = sy * njy;
                    if (dipj >= 1) {
                        if (dipi < 1) Sr = -nu2 * Ai * (GR * (px * vx + py * vy) + Gz * njz);
                        cplx Fx = -vx * GRR * nu_i + (GR / X) * (vx * nu_i - nix) + vx * GRzeta * niz;
                        cplx Fy = -vy * GRR * nu_i + (GR / X) * (vy * nu_i - niy) + vy * GRzeta * niz;
                        cplx Fz = GRz * nu_i - Gzzeta * niz;
                        Dr = nu3 * Ai * (px * Fx + py * Fy - njz * Fz);
                        if (fs) Dr = ipflag(i) * Sr;
                    } else {
                        if (dipi < 1) Sr = nu * Ai * G0;
                        Dr = fs ? ipflag(i) * nu2 * Ai * G0 : nu2 * Ai * (GR * nu_i - Gzeta * niz);
                    }
                    // A dipole panel in a symmetry plane is not its own mirror image.
                    const bool mirj = (dipj == 2 && isx < 0) || (dipj == 3 && isy < 0);
                    const bool miri = (dipi == 2 && isx < 0) || (dipi == 3 && isy < 0);
                    if (m > 1 && mirj) D = S = cplx(0.0f, 0.0f);
                    if (m > 1 && miri) Dr = Sr = cplx(0.0f, 0.0f);
                } else {
                    S = nu * Aj * G0;
                    Sr = nu * Ai * G0;
                    if (fs) {
                        D = ipflag(j) * nu * S;
                        Dr = ipflag(i) * nu * Sr;
                    } else {
                        D = nu2 * Aj * (g[1] * (njx * ux + njy * uy) - g[2] * njz);
                        Dr = nu2 * Ai * (g[1] * (nix * vx + niy * vy) - g[6] * niz);
                    }
                }
                pd[uj] = D;
                pdr[uj] = Dr;
                ps[uj] = S;
                psr[uj] = Sr;
                if (sor) {
                    // Velocity of source j at the image of i and of source i
                    // at the image of j, with their normal components at the
                    // field panels (normals mirrored with the field point).
                    const cplx vj[3] = {-nu2 * Aj * g[1] * ux, -nu2 * Aj * g[1] * uy, -nu2 * Aj * g[6]};
                    const cplx vi[3] = {-nu2 * Ai * g[1] * vx, -nu2 * Ai * g[1] * vy, -nu2 * Ai * g[2]};
                    for (int c = 0; c < 3; ++c) {
                        pv[3 * uj + c] = vj[c];
                        pvr[3 * uj + c] = vi[c];
                    }
                    if (fs) {
                        pn[uj] = ipflag(j) * nu * S;
                        pnr[uj] = ipflag(i) * nu * Sr;
                    } else {
                        pn[uj] = vj[0] * (sx * nix) + vj[1] * (sy * niy) + vj[2] * niz;
                        pnr[uj] = vi[0] * (sx * njx) + vi[1] * (sy * njy) + vi[2] * njz;
                    }
                }
            }
            if (sor) pnr[i - 1] = cplx(0.0f, 0.0f);
            // Infinite frequency: where the Rankine parts hold the
            // free-surface image integrated with the sign of the ordinary
            // periods, twice the flat-panel image is taken off (the image
            // changes sign at this limit).
            if (IPERFL == 2) {
                for (int j = 1; j <= i; ++j) {
                    const auto uj = static_cast<std::size_t>(j - 1);
                    if ((((wk.code[uj] >> (3 * (m - 1))) & 3) < 2) || itank(j) != tanki) continue;
                    for (int pass = 0; pass < (j < i ? 2 : 1); ++pass) {
                        const int src = pass == 0 ? j : i, fld = pass == 0 ? i : j;
                        const float lev = wk.lev[static_cast<std::size_t>(fld - 1)];
                        const float P[3] = {sx * PCENT(1, fld), sy * PCENT(2, fld), 2.0f * lev - PCENT(3, fld)};
                        const int dipf = any_dipole ? idipwm(fld) : 0, dips = any_dipole ? idipwm(src) : 0;
                        const int ivel = dipf >= 1 || sor ? 1 : 0;
                        float Dv = 0, Sv = 0, LD = 0, LS = 0, GS[3] = {}, GD[3] = {}, GLS[3] = {};
                        int ierr = 0;
                        RANKPF(P, 0, src, PAXES, pnl::PNLARR6, pnl::PNLARR5, PCENT, pnl::PNLARR4, PPROP,
                               pnl::PNLARR3, Dv, Sv, LD, LS, ivel, GS, GD, GLS, ierr);
                        if (ierr == 1) {
                            ERRMSG("Error evaluating Rankine image for infinite-frequency case", 0);
                            IERR = 1;
                            return;
                        }
                        // Gradients at the field point: the mirror turns z.
                        const float gs[3] = {GS[0], GS[1], -GS[2]}, gd[3] = {GD[0], GD[1], -GD[2]};
                        const float nf[3] = {sx * PAXES(3, 1, fld), sy * PAXES(3, 2, fld), PAXES(3, 3, fld)};
                        const float nS = nf[0] * gs[0] + nf[1] * gs[1] + nf[2] * gs[2];
                        const float nD = nf[0] * gd[0] + nf[1] * gd[1] + nf[2] * gd[2];
                        const float dS = dips >= 1 ? 0.0f : (dipf >= 1 ? nS : Sv);
                        const float dD = dipf >= 1 ? nD : Dv;
                        const bool fs = wk.mark[uj] == 0;
                        (pass == 0 ? pd : pdr)[uj] -= 2.0f * (fs ? ipflag(src) * nu * dS : dD);
                        (pass == 0 ? ps : psr)[uj] -= 2.0f * dS;
                        if (!sor) continue;
                        (pass == 0 ? pn : pnr)[uj] -= 2.0f * (fs ? ipflag(src) * nu * Sv : nS);
                        cplx* pvv = pass == 0 ? pv : pvr;
                        for (int c = 0; c < 3; ++c) pvv[3 * uj + static_cast<std::size_t>(c)] -= 2.0f * gs[c];
                    }
                }
            }
            pdr[i - 1] = psr[i - 1] = cplx(0.0f, 0.0f);  // the diagonal is in the row part only
            for (int k = 1; k <= nsymc; ++k) {
                const float w = static_cast<float>(SIGMA[sym::ISYMC[static_cast<std::size_t>(k)]][id]);
                cplx* rd = &rowd(1, k);
                cplx* cdp = &cold(1, k);
                cplx* sr = &wk.srow(1, k);
                cplx* sc = &wk.scol(1, k);
                for (int j = 0; j < i; ++j) {
                    rd[j] += w * pd[j];
                    sr[j] += w * ps[j];
                }
                for (int j = 0; j < i - 1; ++j) {
                    cdp[j] += w * pdr[j];
                    sc[j] += w * psr[j];
                }
                if (!sor) continue;
                cplx* rn = &wk.rown(1, k);
                cplx* cn = &wk.coln(1, k);
                for (int j = 0; j < i; ++j) rn[j] += w * pn[j];
                for (int j = 0; j < i - 1; ++j) cn[j] += w * pnr[j];
                const float wc[3] = {w * sx, w * sy, w};
                for (int c = 0; c < 3; ++c) {
                    cplx* rv = &wk.rowv(1, c + 1, k);
                    cplx* cv = &wk.colv(1, c + 1, k);
                    for (int j = 0; j < i; ++j) rv[j] += wc[c] * pv[3 * j + c];
                    for (int j = 0; j < i - 1; ++j) cv[j] += wc[c] * pvr[3 * j + c];
                }
            }
        }

        // Radiation right-hand sides: the wave part of the source
        // influences applied to the modal normals.
        if (radiation) {
            for (int k = 1; k <= nsymc; ++k) {
                const cplx* sr = &wk.srow(1, k);
                const cplx* sc = &wk.scol(1, k);
                for (int l = 1; l <= sym::NMODSC[static_cast<std::size_t>(k)]; ++l) {
                    const int md = sym::IMODSC(l, k);
                    const int c = sym::IMODPOS(md);
                    cplx acc(0.0f, 0.0f);
                    for (int j = 1; j <= i; ++j) acc += sr[j - 1] * pnl::VNMODE(md, j);
                    slv::RHSMOD(i, c) += acc;
                    const float vi = pnl::VNMODE(md, i);
                    cplx* out = &slv::RHSMOD(1, c);
                    for (int j = 0; j < i - 1; ++j) out[j] += sc[j] * vi;
                }
            }
        }
        if (scatt)
            for (int k = 1; k <= nsymc; ++k)
                for (int j = 1; j <= i; ++j) {
                    rows(j, k) += wk.srow(j, k);
                    if (j < i) cols(j, k) += wk.scol(j, k);
                }

        // Scattering right-hand sides.
        if (scatt && IDIFF >= 0) {
            for (int k = 1; k <= nsymc; ++k)
                for (int b = 1; b <= NBETAC; ++b) {
                    const cplx si = slv::RHSSRC(i, b, k);
                    if (tanki == 0) {
                        cplx acc(0.0f, 0.0f);
                        for (int j = 1; j <= i; ++j) acc += rows(j, k) * slv::RHSSRC(j, b, k);
                        slv::RHSRAD(i, b, k) += acc;
                    }
                    for (int j = 1; j < i; ++j)
                        if (itank(j) == 0) slv::RHSRAD(j, b, k) += cols(j, k) * si;
                }
        }

        // Dipole panels in a symmetry plane keep only their diagonal in
        // the components symmetric about that plane.
        if (dipi == 2 || dipi == 3) {
            for (int k = 1; k <= nsymc; ++k) {
                const int cid = sym::ISYMC[static_cast<std::size_t>(k)];
                const bool sym_plane = dipi == 2 ? (cid == 1 || cid == 4) : (cid == 1 || cid == 2);
                if (!sym_plane) continue;
                for (int j = 1; j < i; ++j) rowd(j, k) = cold(j, k) = cplx(0.0f, 0.0f);
                if (!radiation) continue;
                for (int l = 1; l <= sym::NMODSC[static_cast<std::size_t>(k)]; ++l)
                    slv::RHSMOD(i, sym::IMODPOS(sym::IMODSC(l, k))) = cplx(0.0f, 0.0f);
            }
        }

        // Delivery of the borders.
        if (store.deliver(i, rowd, cold) != 0 || (sor && store.deliver_src(i, wk.rown, wk.coln, wk.rowv, wk.colv) != 0)) {
            IERR = 1;
            return;
        }
    }

    // 7. The scratch units stay open with their records for the solver.
}

}  // namespace zorva
