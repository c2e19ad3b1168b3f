// One row of the low-order assembly: the Rankine parts read back, the
// free-surface pairs, the wave Green function of every pair of the row (all
// images in one batch, or with the four-point rule one batch per image and
// direction), the influences through PAIRINF, the flat-panel Rankine image
// of the infinite-frequency limit, and the sums over the images into the
// components.
#include "solver/assembly_row.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "common/channels.hpp"
#include "common/messages.hpp"
#include "kernels/rankin.hpp"
#include "kernels/rankpan.hpp"
#include "kernels/wavegreen_fd.hpp"
#include "kernels/wgreenv.hpp"
#include "main/config.hpp"
#include "main/symmetry.hpp"
#include "panels/geomdata.hpp"
#include "panels/paneldata.hpp"
#include "solver/matrices.hpp"
#include "solver/scrstore.hpp"

namespace zorva::asmlo {

namespace {

constexpr float FOURPI = 12.566371f;

// Reflection signs of the four image identifiers and the weight of image g
// in component c.
constexpr int SX[5] = {0, 1, -1, -1, 1};
constexpr int SY[5] = {0, 1, 1, -1, -1};
constexpr int SIGMA[5][5] = {{0, 0, 0, 0, 0}, {0, 1, 1, 1, 1}, {0, 1, -1, -1, 1}, {0, 1, -1, 1, -1},
                             {0, 1, 1, -1, -1}};

template <class T>
void sized(std::vector<T>& v, std::size_t n, const T& x) {
    v.assign(n, x);
}

int read_codes(int I, std::vector<int>& code) {
    const std::size_t want = static_cast<std::size_t>(I) * sizeof(int);
    std::size_t len = 0;
    if (chan::read_record(IURNK, code.data(), want, len) != 0 || len != want) {
        ERRMSG(" Error reading scratch file for Rankine LHS, UNIT=", IURNK);
        return 1;
    }
    return 0;
}

// Green function of the first n pairs of the batch: the whole batch at once
// in an ordinary period, pair by pair at a frequency limit.
void green(const Period& P, Work& W, int n) {
    // The infinite-depth kernels set every value of every pair; the others
    // add parts to cleared values.
    if (P.iperfl != 0 || P.nuh > 0.0f) std::fill(W.g.begin(), W.g.begin() + 8 * n, cplx(0.0f, 0.0f));
    const float zero = 0.0f;
    if (P.iperfl == 0) {
        auto& l = W.l;
        WGREENV(W.x.data(), zero, W.z2.data(), W.z1.data(), P.nuh, W.g.data(), W.ising.data(), W.ibot.data(), n,
                l[0].data(), l[1].data(), l[2].data(), l[3].data(), l[4].data(), l[5].data(), l[6].data(),
                l[7].data(), l[8].data(), l[9].data(), l[10].data(), l[11].data(), l[12].data(), l[13].data());
        return;
    }
    for (std::size_t p = 0; p < static_cast<std::size_t>(n); ++p)
        FDGRNSC(W.x[p], W.z2[p], W.z1[p], P.nuh, &W.g[8 * p], W.ising[p], W.ibot[p], P.iperfl);
}

// The flat-panel Rankine image of source panel SRC about the free-surface
// level of field panel FLD, at the image of FLD's centroid (signs SX, SY):
// the raw influences the infinite-frequency limit takes off twice.
int rankine_image(const Period& P, int src, int fld, float sx, float sy, bool dipf, PairRaw& r) {
    using pnl::PAXES;
    using pnl::PCENT;
    const float lev = P.lev[static_cast<std::size_t>(fld - 1)];
    const float X[3] = {sx * PCENT(1, fld), sy * PCENT(2, fld), 2.0f * lev - PCENT(3, fld)};
    float Dv = 0, Sv = 0, LD = 0, LS = 0, GS[3] = {}, GD[3] = {}, GLS[3] = {}, GLD[3] = {};
    int ierr = 0;
    RANKPF(X, 0, src, PAXES, pnl::PNLARR6, pnl::PNLARR5, PCENT, pnl::PNLARR4, pnl::PPROP, pnl::PNLARR3, Dv, Sv, LD,
           LS, dipf || P.sor ? 1 : 0, GS, GD, GLS, GLD, ierr);
    if (ierr == 1) return 1;
    // Gradients at the field point: the mirror turns z.
    const float nf[3] = {sx * PAXES(3, 1, fld), sy * PAXES(3, 2, fld), PAXES(3, 3, fld)};
    r.SRC = cplx(Sv, 0.0f);
    r.DIP = cplx(Dv, 0.0f);
    r.VEL[0] = cplx(GS[0], 0.0f);
    r.VEL[1] = cplx(GS[1], 0.0f);
    r.VEL[2] = cplx(-GS[2], 0.0f);
    r.DNF = cplx(nf[0] * GD[0] + nf[1] * GD[1] - nf[2] * GD[2], 0.0f);
    return 0;
}

// The pairs of image m of row R.i into the work arrays of W: per source
// panel j <= i the direct pair (j acting on the image of i) and the
// reversed pair (i acting on the image of j), from the Green function of
// the centroid batch (first pair NP) or, with the four-point rule, of the
// point batches formed here.  SOR the source formulation, DIP any dipole
// panel, QUAD the four-point rule.  0, or 1 when a Rankine image fails.
template <bool SOR, bool DIP, bool QUAD>
int image_pairs(const Period& P, Row& R, Work& W, int m, int np) {
    const int i = R.i;
    const auto ui = static_cast<std::size_t>(i - 1);
    const float nu = P.nu;
    const int tanki = P.tank[ui];
    const int dipi = DIP ? P.dip[ui] : 0;
    const int id = sym::IMAGEID[static_cast<std::size_t>(m)];
    const int isx = SX[id], isy = SY[id];
    const float sx = static_cast<float>(isx), sy = static_cast<float>(isy);
    const int shift = 3 * (m - 1);
    const bool inf = P.iperfl == 2;
    const float Ai = P.area[ui];
    const float ni[3] = {P.nx[ui], P.ny[ui], P.nz[ui]};
    const float nim[3] = {sx * ni[0], sy * ni[1], ni[2]};  // field normal of i, mirrored
    auto digit = [&](std::size_t uj) { return (R.code[uj] >> shift) & 7; };

    // Four-point rule: the four points of each panel j against the image
    // of centroid i (direct pairs), then the four points of panel i against
    // the image of each centroid j (reversed pairs); the points' weights
    // take the place of the areas.
    auto quad_batch = [&](int pass) {
        using pnl::XVERG;
        int n4 = 0;
        for (int j = 1; j <= i; ++j) {
            const int dig = digit(static_cast<std::size_t>(j - 1));
            const int src = pass == 0 ? j : i, fld = pass == 0 ? i : j;
            const auto uf = static_cast<std::size_t>(fld - 1);
            const float fx = sx * P.cx[uf], fy = sy * P.cy[uf];
            const float zf = -nu * (P.cz[uf] - P.lev[uf]);
            for (int q = 1; q <= 4; ++q, ++n4) {
                const auto up = static_cast<std::size_t>(n4);
                W.ising[up] = dig & 3;
                W.ibot[up] = (dig >> 2) & 1;
                const float dx = XVERG(q, 1, src) - fx, dy = XVERG(q, 2, src) - fy;
                const float Rh = std::sqrt(dx * dx + dy * dy);
                W.x[up] = std::max(nu * Rh, 1.0e-6f);
                W.z1[up] = zf;
                W.z2[up] = -nu * (XVERG(q, 3, src) - P.lev[static_cast<std::size_t>(src - 1)]);
                W.ux[up] = Rh > 1.0e-6f ? dx / Rh : 0.0f;
                W.uy[up] = Rh > 1.0e-6f ? dy / Rh : 0.0f;
            }
        }
        green(P, W, n4);
    };
    auto quad_raw = [&](int j, int pass, const float* ns, const float* nf, bool dnf) {
        const int src = pass == 0 ? j : i;
        const float logt = (digit(static_cast<std::size_t>(j - 1)) & 3) == 3 ? P.L : 0.0f;
        PairRaw r{};
        for (int q = 1; q <= 4; ++q) {
            const auto up = static_cast<std::size_t>(4 * (j - 1) + q - 1);
            r += PAIRRAW(&W.g[8 * up], false, W.x[up], W.ux[up], W.uy[up], pnl::PNLARR2(q, src), logt, ns, nf, nu,
                         SOR, dnf);
        }
        return r;
    };

    cplx* const dD = W.dD.data();
    cplx* const dS = W.dS.data();
    cplx* const rD = W.rD.data();
    cplx* const rS = W.rS.data();
    cplx* const dN = W.dN.data();
    cplx* const rN = W.rN.data();
    cplx* const dV = W.dV.data();
    cplx* const rV = W.rV.data();
    // The pair's entries into the work arrays.
    auto put = [&](std::size_t uj, bool direct, const PairInf& p) {
        (direct ? dD : rD)[uj] = p.D;
        (direct ? dS : rS)[uj] = p.S;
        if constexpr (SOR) {
            (direct ? dN : rN)[uj] = p.N;
            for (std::size_t c = 0; c < 3; ++c) (direct ? dV : rV)[3 * uj + c] = p.V[c];
        }
    };

    for (int pass = 0; pass < (QUAD ? 2 : 1); ++pass) {
        if constexpr (QUAD) quad_batch(pass);
        for (int j = 1; j <= i; ++j) {
            const auto uj = static_cast<std::size_t>(j - 1);
            if (P.tank[uj] != tanki) {
                if (pass == 0) put(uj, true, PairInf{});
                put(uj, false, PairInf{});
                continue;
            }
            const int dipj = DIP ? P.dip[uj] : 0;
            const float nj[3] = {P.nx[uj], P.ny[uj], P.nz[uj]};
            const float njm[3] = {sx * nj[0], sy * nj[1], nj[2]};  // field normal of j, mirrored
            const bool fs = R.mark[uj] == 0;
            PairRaw rd{}, rr{};
            if constexpr (QUAD) {
                // Pass 0 the direct pairs of j, pass 1 the reversed.
                if (pass == 0)
                    rd = quad_raw(j, 0, nj, nim, dipi >= 1);
                else
                    rr = quad_raw(j, 1, ni, njm, dipj >= 1);
            } else {
                const auto up = static_cast<std::size_t>(np + j - 1);
                const cplx* g = &W.g[8 * up];
                rd = PAIRRAW(g, false, W.x[up], W.ux[up], W.uy[up], P.area[uj], W.logt[up], nj, nim, nu, SOR,
                             dipi >= 1);
                rr = PAIRRAW(g, true, W.x[up], W.vx[up], W.vy[up], Ai, W.logt[up], ni, njm, nu, SOR, dipj >= 1);
            }
            const bool do_dir = !QUAD || pass == 0, do_rev = (!QUAD || pass == 1) && j < i;
            // Infinite frequency: where the Rankine parts hold the
            // free-surface image integrated with the sign of the ordinary
            // periods, twice the flat-panel image is taken off (the image
            // changes sign at this limit).
            if (inf && (digit(uj) & 3) >= 2) {
                PairRaw im{};
                if (do_dir) {
                    if (rankine_image(P, j, i, sx, sy, dipi >= 1, im) != 0) return 1;
                    im *= -2.0f;
                    rd += im;
                }
                if (do_rev) {
                    if (rankine_image(P, i, j, sx, sy, dipj >= 1, im) != 0) return 1;
                    im *= -2.0f;
                    rr += im;
                }
            }
            // A dipole panel in a symmetry plane is not its own mirror
            // image: it acts through the images that keep it in place.
            const bool mirj = DIP && m > 1 && ((dipj == 2 && isx < 0) || (dipj == 3 && isy < 0));
            const bool miri = DIP && m > 1 && ((dipi == 2 && isx < 0) || (dipi == 3 && isy < 0));
            if (do_dir) put(uj, true, mirj ? PairInf{} : PAIRINF(rd, dipj >= 1, dipi >= 1, fs, P.ipfl[uj], nim, nu, SOR));
            if (j == i)
                put(uj, false, PairInf{});  // the diagonal is in the row part only
            else if (do_rev)
                put(uj, false, miri ? PairInf{} : PAIRINF(rr, dipi >= 1, dipj >= 1, fs, P.ipfl[ui], njm, nu, SOR));
        }
    }
    return 0;
}

}  // namespace

std::size_t raw_size(const Period& P) {
    if (!P.defer) return 0;
    const int nmat = 1 + (P.scatt ? 1 : 0) + (P.sor ? 1 : 0);
    return 2 * static_cast<std::size_t>(P.neqn) * static_cast<std::size_t>(P.nsymc) *
           static_cast<std::size_t>(cfg::ILOG + 1) * static_cast<std::size_t>(nmat);
}

bool Row::allocate(const Period& P) {
    try {
        const int n = P.neqn, k = P.nsymc;
        const int ns = P.scatt ? n : 1, ks = P.scatt ? k : 1;
        const int nv = P.sor ? n : 1, kv = P.sor ? k : 1;
        if (!rowd.allocate(n, k) || !cold.allocate(n, k) || !srow.allocate(n, k) || !scol.allocate(n, k) ||
            !rows.allocate(ns, ks) || !cols.allocate(ns, ks) || !rown.allocate(nv, kv) || !coln.allocate(nv, kv) ||
            !rowv.allocate(nv, 3, kv) || !colv.allocate(nv, 3, kv))
            return false;
        sized(raw, raw_size(P), 0.0f);
        sized(code, static_cast<std::size_t>(n), 0);
        sized(mark, static_cast<std::size_t>(n), 1);
        sized(racc, static_cast<std::size_t>(std::max(P.nsolc, 1)), cplx());
        sized(sacc, static_cast<std::size_t>(std::max(P.nbetac * k, 1)), cplx());
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

bool Work::allocate(const Period& P) {
    try {
        const auto n = static_cast<std::size_t>(P.neqn);
        const auto np = static_cast<std::size_t>(std::max(P.nimage, P.quad ? 4 : 1)) * n;
        for (auto* v : {&x, &z1, &z2, &logt, &ux, &uy, &vx, &vy}) sized(*v, np, 0.0f);
        sized(ising, np, 0);
        sized(ibot, np, 0);
        sized(g, 8 * np, cplx());
        for (auto& li : l) sized(li, np, 0);
        for (auto* v : {&dD, &dS, &rD, &rS}) sized(*v, n, cplx());
        const std::size_t nv = P.sor ? n : 1;
        for (auto* v : {&dN, &rN}) sized(*v, nv, cplx());
        for (auto* v : {&dV, &rV}) sized(*v, 3 * nv, cplx());
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

int read_row(const Period& P, Row& R, Arr2<float>& w, Arr2<float>& wv) {
    const int i = R.i, n = P.neqn;
    Arr2<cplx>* cols[3] = {&R.cold, &R.cols, &R.coln};
    Arr2<cplx>* rows[3] = {&R.rowd, &R.rows, &R.rown};
    float* raw = R.raw.data();
    int ierr = 0;
    for (int k = 1; k <= P.nsymc; ++k)
        for (int level = 0; level <= cfg::ILOG; ++level) {
            for (int m = 0; m < 3; ++m) {
                if ((m == 1 && !P.scatt) || (m == 2 && !P.sor)) continue;
                if (P.defer) {
                    ierr = slv::rdrlhs_read(IURNK, raw, n, i);
                    raw += 2 * static_cast<std::size_t>(n);
                } else {
                    slv::RDRLHS(IURNK, cols[m]->data(), rows[m]->data(), n, i, k, w.data(), level, P.s, ierr);
                }
                if (ierr != 0) return 1;
            }
            if (P.sor) slv::RDRVEL(IURNK, R.colv.data(), R.rowv.data(), n, i, k, wv.data(), level, P.s, ierr);
            if (ierr != 0) return 1;
        }
    return read_codes(i, R.code);
}

void wave_row(const Period& P, Row& R, Work& W) {
    const int i = R.i, nsymc = P.nsymc;
    const auto ui = static_cast<std::size_t>(i - 1);
    const float nu = P.nu, s = P.s;
    const int tanki = P.tank[ui];
    const int dipi = P.dipoles ? P.dip[ui] : 0;
    R.fail = 0;

    // The Rankine parts from the records: the left-hand side, then the
    // scattering and the source-formulation matrices.
    if (P.defer) {
        const int n = P.neqn;
        Arr2<cplx>* cols[3] = {&R.cold, &R.cols, &R.coln};
        Arr2<cplx>* rows[3] = {&R.rowd, &R.rows, &R.rown};
        const float* raw = R.raw.data();
        for (int k = 1; k <= nsymc; ++k)
            for (int level = 0; level <= cfg::ILOG; ++level)
                for (int m = 0; m < 3; ++m) {
                    if ((m == 1 && !P.scatt) || (m == 2 && !P.sor)) continue;
                    slv::rdrlhs_add(cols[m]->data(), rows[m]->data(), n, i, k, raw, level, s);
                    raw += 2 * static_cast<std::size_t>(n);
                }
    }

    // Free-surface pairs: the Rankine values become -s times themselves; the
    // diagonal takes 4 pi IPFLAG(i) in place of its stored value.
    for (int j = 1; j <= i; ++j) {
        const auto uj = static_cast<std::size_t>(j - 1);
        int& c = R.code[uj];
        R.mark[uj] = 1;
        if (c < 4096) continue;
        c -= 4096;
        R.mark[uj] = 0;
        for (int k = 1; k <= nsymc; ++k)
            for (auto* acc : {&R.rowd, &R.cold, &R.rown, &R.coln}) {
                const bool src = acc == &R.rown || acc == &R.coln;
                if (src && !P.sor) continue;
                const bool rowpart = acc == &R.rowd || acc == &R.rown;
                if (j == i && rowpart) {
                    const cplx v = (*acc)(i, k);
                    (*acc)(i, k) = cplx(FOURPI * P.ipfl[ui] - s * v.real(), -s * v.imag());
                } else if (j < i || rowpart) {
                    (*acc)(j, k) *= -s;
                }
            }
    }

    // The pair batch of the centroids: every image of the field point i
    // against the centroids of panels 1..i.
    if (!P.quad) {
        const float xi = P.cx[ui], yi = P.cy[ui];
        const float z1 = -nu * (P.cz[ui] - P.lev[ui]);
        int np = 0;
        for (int m = 1; m <= P.nimage; ++m) {
            const int id = sym::IMAGEID[static_cast<std::size_t>(m)];
            const float sx = static_cast<float>(SX[id]), sy = static_cast<float>(SY[id]);
            const int shift = 3 * (m - 1);
            for (int j = 1; j <= i; ++j, ++np) {
                const auto uj = static_cast<std::size_t>(j - 1);
                const auto up = static_cast<std::size_t>(np);
                const int dig = (R.code[uj] >> shift) & 7;
                W.ising[up] = dig & 3;
                W.ibot[up] = (dig >> 2) & 1;
                W.logt[up] = (dig & 3) == 3 ? P.L : 0.0f;
                const float dx = P.cx[uj] - sx * xi, dy = P.cy[uj] - sy * yi;
                const float Rh = std::sqrt(dx * dx + dy * dy);
                W.x[up] = std::max(nu * Rh, 1.0e-6f);
                W.z1[up] = z1;
                W.z2[up] = -nu * (P.cz[uj] - P.lev[uj]);
                if (Rh > 1.0e-6f) {
                    const float rr = 1.0f / Rh;
                    W.ux[up] = dx * rr;
                    W.uy[up] = dy * rr;
                    W.vx[up] = (xi - sx * P.cx[uj]) * rr;
                    W.vy[up] = (yi - sy * P.cy[uj]) * rr;
                } else {
                    W.ux[up] = W.uy[up] = W.vx[up] = W.vy[up] = 0.0f;
                }
            }
        }
        green(P, W, np);
    }

    for (int k = 1; k <= nsymc; ++k)
        for (int j = 1; j <= i; ++j) R.srow(j, k) = R.scol(j, k) = cplx(0.0f, 0.0f);

    // The pair loop, compiled for each combination of the source
    // formulation, dipole panels and the four-point rule, so that the
    // common case carries no test of the options that it does not use.
    using Pairs = int (*)(const Period&, Row&, Work&, int, int);
    static constexpr Pairs PAIRS[8] = {image_pairs<false, false, false>, image_pairs<false, false, true>,
                                       image_pairs<false, true, false>,  image_pairs<false, true, true>,
                                       image_pairs<true, false, false>,  image_pairs<true, false, true>,
                                       image_pairs<true, true, false>,   image_pairs<true, true, true>};
    const Pairs pairs = PAIRS[(P.sor ? 4 : 0) + (P.dipoles ? 2 : 0) + (P.quad ? 1 : 0)];
    int np = 0;
    for (int m = 1; m <= P.nimage; ++m) {
        const int id = sym::IMAGEID[static_cast<std::size_t>(m)];
        const float sx = static_cast<float>(SX[id]), sy = static_cast<float>(SY[id]);
        if (pairs(P, R, W, m, np) != 0) {
            R.fail = 1;
            return;
        }
        if (!P.quad) np += i;

        // The image's pairs into the components.
        for (int k = 1; k <= nsymc; ++k) {
            const float w = static_cast<float>(SIGMA[sym::ISYMC[static_cast<std::size_t>(k)]][id]);
            cplx* rd = &R.rowd(1, k);
            cplx* cd = &R.cold(1, k);
            cplx* sr = &R.srow(1, k);
            cplx* sc = &R.scol(1, k);
            for (int j = 0; j < i; ++j) {
                rd[j] += w * W.dD[static_cast<std::size_t>(j)];
                sr[j] += w * W.dS[static_cast<std::size_t>(j)];
            }
            for (int j = 0; j < i - 1; ++j) {
                cd[j] += w * W.rD[static_cast<std::size_t>(j)];
                sc[j] += w * W.rS[static_cast<std::size_t>(j)];
            }
            if (!P.sor) continue;
            cplx* rn = &R.rown(1, k);
            cplx* cn = &R.coln(1, k);
            for (int j = 0; j < i; ++j) rn[j] += w * W.dN[static_cast<std::size_t>(j)];
            for (int j = 0; j < i - 1; ++j) cn[j] += w * W.rN[static_cast<std::size_t>(j)];
            const float wc[3] = {w * sx, w * sy, w};
            for (int c = 0; c < 3; ++c) {
                cplx* rv = &R.rowv(1, c + 1, k);
                cplx* cv = &R.colv(1, c + 1, k);
                for (int j = 0; j < i; ++j) rv[j] += wc[c] * W.dV[3 * static_cast<std::size_t>(j) + static_cast<std::size_t>(c)];
                for (int j = 0; j < i - 1; ++j) cv[j] += wc[c] * W.rV[3 * static_cast<std::size_t>(j) + static_cast<std::size_t>(c)];
            }
        }
    }

    // The row's own radiation sums: the wave part of the source influences
    // applied to the modal normals (the column terms are added in row order
    // when the row is delivered).
    if (P.radiation)
        for (int k = 1; k <= nsymc; ++k) {
            const cplx* sr = &R.srow(1, k);
            for (int l = 1; l <= sym::NMODSC[static_cast<std::size_t>(k)]; ++l) {
                const int md = sym::IMODSC(l, k);
                cplx acc(0.0f, 0.0f);
                for (int j = 1; j <= i; ++j) acc += sr[j - 1] * pnl::VNMODE(md, j);
                R.racc[static_cast<std::size_t>(sym::IMODPOS(md) - 1)] = acc;
            }
        }
    if (P.scatt)
        for (int k = 1; k <= nsymc; ++k)
            for (int j = 1; j <= i; ++j) {
                R.rows(j, k) += R.srow(j, k);
                if (j < i) R.cols(j, k) += R.scol(j, k);
            }
    if (P.scatt_rhs && tanki == 0)
        for (int k = 1; k <= nsymc; ++k)
            for (int b = 1; b <= P.nbetac; ++b) {
                cplx acc(0.0f, 0.0f);
                for (int j = 1; j <= i; ++j) acc += R.rows(j, k) * slv::RHSSRC(j, b, k);
                R.sacc[static_cast<std::size_t>((k - 1) * P.nbetac + b - 1)] = acc;
            }

    // Dipole panels in a symmetry plane keep only their diagonal in the
    // components symmetric about that plane.
    if (dipi == 2 || dipi == 3)
        for (int k = 1; k <= nsymc; ++k) {
            const int cid = sym::ISYMC[static_cast<std::size_t>(k)];
            if (dipi == 2 ? (cid == 1 || cid == 4) : (cid == 1 || cid == 2))
                for (int j = 1; j < i; ++j) R.rowd(j, k) = R.cold(j, k) = cplx(0.0f, 0.0f);
        }

    // A zero diagonal makes the system singular: it is reported before a
    // reciprocal or a factorisation turns it into infinities.
    for (int k = 1; k <= nsymc; ++k) {
        if (R.rowd(i, k) == cplx(0.0f, 0.0f)) {
            R.fail = 2;
            R.fail_k = k;
            return;
        }
        if (P.recip) R.rowd(i, k) = 1.0f / R.rowd(i, k);
    }
    if (P.sor)
        for (int k = 1; k <= nsymc; ++k) {
            if (R.rown(i, k) == cplx(0.0f, 0.0f)) {
                R.fail = 3;
                return;
            }
            if (P.recip) R.rown(i, k) = 1.0f / R.rown(i, k);
        }
}

}  // namespace zorva::asmlo
