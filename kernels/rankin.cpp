#include "kernels/rankin.hpp"

#include <algorithm>
#include <new>
#include <vector>

#include "common/channels.hpp"
#include "common/farray.hpp"
#include "common/messages.hpp"
#include "common/threads.hpp"
#include "geometry/model.hpp"
#include "kernels/rankpan.hpp"
#include "main/config.hpp"
#include "main/symmetry.hpp"
#include "panels/paneldata.hpp"

namespace zorva {

namespace {

// One RANKPF evaluation reduced to what the matrices take from it.
struct Terms {
    float mat[2] = {0, 0};   // matrix term, levels 1 and 2
    float src[2] = {0, 0};   // source term
    float nds[2] = {0, 0};   // n . grad S
    float grad[2][3] = {};   // source gradient, mirrored back
};

// The terms of one column j of the Rankine matrices: column part (i, j)
// and row part (j, i), i <= j, per component and level; the pair codes;
// the column's own radiation terms RADOWN and, per image and level, the
// source terms COLSRC from which the ordered pass forms the radiation
// terms that the column adds to the rows i < j.
struct Column {
    Arr3<float> DCOL, DROW, SCOL, SROW, NCOL, NROW, VCOL, VROW;
    Arr1<int> RKCODE;
    Arr2<float> RADOWN;
    Arr3<float> COLSRC;
    int fail = 0;  // 1 a Rankine integral failed, 2 a free-surface panel with ILOG = 0
};

}  // namespace

void RANKINLO(int N, int IRADF, float HBOT, int& IERR) {
    using namespace pnl;
    IERR = 0;
    const int K = cfg::ILOG + 1;
    const int NS = sym::NSYMC;
    const int NSOL = std::max(sym::NSOLC, 0);
    const bool scatt = cfg::ISCATT == 1, sor = cfg::ISOR == 1, rad = IRADF != -1;
    const float TWOPI = 6.2831855f, FOURPI = 12.566371f;
    auto zfs_of = [&](int t) { return t > 0 && cfg::NTANKS > 0 ? cfg::ZTANKFS(t) + cfg::XBODY(3, cfg::ITANKB(t)) : 0.0f; };
    auto dist2 = [](const float* a, const float* b) {
        float d0 = a[0] - b[0], d1 = a[1] - b[1], d2 = a[2] - b[2];
        return d0 * d0 + d1 * d1 + d2 * d2;
    };

    // One call: field panel p at point P (normal np), source panel q; the
    // image kind: 0 direct, 1 free surface (with the logarithm), 2 sea bed.
    auto call = [&](const float* P, const float* np, int p, int q, int ivel, int kind, Terms& t) -> bool {
        float D, S, LD = 0, LS = 0, GS[3] = {0, 0, 0}, GD[3] = {0, 0, 0}, GLS[3] = {0, 0, 0}, GLD[3] = {0, 0, 0};
        int ierr;
        const int ilogf = kind == 1 ? cfg::ILOG : 0;
        RANKPF(P, ilogf, q, PAXES, PNLARR6, PNLARR5, PCENT, PNLARR4, PPROP, PNLARR3, D, S, LD, LS, ivel, GS, GD, GLS,
               GLD, ierr);
        if (ierr == 1) return false;
        const bool dipp = model::IDIPWM(p) > 0, dipq = model::IDIPWM(q) > 0;
        auto ndot = [&](const float* g) { return np[0] * g[0] + np[1] * g[1] + np[2] * g[2]; };
        const float zs = kind == 0 ? 1.0f : -1.0f;
        t.mat[0] += dipp ? ndot(GD) : D;
        const float s1 = dipq ? 0.0f : (dipp ? ndot(GS) : S);
        t.src[0] += s1;
        if (sor) {
            t.nds[0] += ndot(GS);
            t.grad[0][0] += GS[0], t.grad[0][1] += GS[1], t.grad[0][2] += zs * GS[2];
        }
        if (ilogf == 1) {
            t.mat[1] += -2.0f * (dipp ? ndot(GLD) : LD);
            t.src[1] += -2.0f * (dipq ? 0.0f : (dipp ? ndot(GLS) : LS));
            if (sor) {
                t.nds[1] += -2.0f * ndot(GLS);
                t.grad[1][0] += -2.0f * GLS[0], t.grad[1][1] += -2.0f * GLS[1], t.grad[1][2] += -2.0f * zs * GLS[2];
            }
        }
        return true;
    };

    // Columns go in blocks: the columns of a block are formed on all
    // threads, each into its own arrays, then their radiation terms are
    // added and their records written in column order.  On one thread the
    // columns go one by one and add their radiation terms as they form
    // them: the same terms in the same order.
    const bool direct = thr::count() == 1;
    const int NIMG = sym::NIMAGE;
    Arr3<float> RKRAD;
    std::vector<Column> cols;
    int B = 1;
    if (!direct) {
        const double per = 4.0 * N * NS * K * (2 + (scatt ? 2 : 0) + (sor ? 8 : 0)) + 4.0 * N * NIMG * K;
        B = std::clamp(std::min(256, std::max(32, 8 * thr::count())), 1,
                       std::max(1, static_cast<int>(256.0 * 1024 * 1024 / std::max(per, 1.0))));
        B = std::min(B, std::max(N, 1));
    }
    bool ok = RKRAD.allocate(N, NSOL, K);
    try {
        cols.resize(static_cast<std::size_t>(B));
    } catch (const std::bad_alloc&) {
        ok = false;
    }
    for (auto& C : cols) {
        if (!ok) break;
        ok = C.DCOL.allocate(N, NS, K) && C.DROW.allocate(N, NS, K) && C.RKCODE.allocate(N) &&
             C.RADOWN.allocate(NSOL, K) && (direct || !rad || C.COLSRC.allocate(N, NIMG, K));
        if (ok && scatt) ok = C.SCOL.allocate(N, NS, K) && C.SROW.allocate(N, NS, K);
        // velocity vectors: (N, 3, NSYMC x K), component g and level k at g + NS (k - 1)
        if (ok && sor)
            ok = C.NCOL.allocate(N, NS, K) && C.NROW.allocate(N, NS, K) && C.VCOL.allocate(N, 3, NS * K) &&
                 C.VROW.allocate(N, 3, NS * K);
    }
    if (!ok) {
        ERRMSG(" RAM too small.  Allocation error in RANKIN ", 0);
        IERR = 1;
        return;
    }

    // Column j into C: its pair terms, codes and own radiation terms.
    // The radiation term that panel j adds to row i: its source term SRC
    // of one image with the image's weight SG, times the normal velocity of
    // mode MD on panel j (a dipole panel's counted twice).
    auto radcol = [](float sg, float src, int md, int j) {
        return sg * src * VNMODE(md, j) * (model::IDIPWM(j) < 0 ? 2.0f : 1.0f);
    };

    auto column = [&](int j, Column& C) {
        C.fail = 0;
        auto fail = [&] { C.fail = 1; };
        C.RADOWN.fill(0.0f);
        // The column's own radiation terms: on one thread straight into
        // RKRAD, whose entry j no earlier column touches.
        auto own = [&](int c, int k) -> float& { return direct ? RKRAD(j, c, k) : C.RADOWN(c, k); };
        for (int k = 1; k <= K; ++k)
            for (int g = 1; g <= NS; ++g)
                for (int i = 1; i <= j; ++i) {
                    C.DCOL(i, g, k) = C.DROW(i, g, k) = 0.0f;
                    if (scatt) C.SCOL(i, g, k) = C.SROW(i, g, k) = 0.0f;
                    if (sor) {
                        C.NCOL(i, g, k) = C.NROW(i, g, k) = 0.0f;
                        for (int c = 1; c <= 3; ++c) C.VCOL(i, c, g + NS * (k - 1)) = C.VROW(i, c, g + NS * (k - 1)) = 0.0f;
                    }
                }
        if (rad && !direct)
            for (int k = 1; k <= K; ++k)
                for (int m = 1; m <= NIMG; ++m) std::fill_n(C.COLSRC.ptr(1, m, k), j, 0.0f);
        bool jfree = false;
        for (int i = 1; i <= j; ++i) {
            const float s2max = std::max(PNLARR3(2, i), PNLARR3(2, j));
            const bool sametank = model::ITANK(i) == model::ITANK(j);
            const float zfs = zfs_of(model::ITANK(i));
            const float zsum = 2.0f * zfs - PCENT(3, i) - PCENT(3, j);
            const bool fspair = sametank && zsum * zsum <= 1.0e-8f * s2max;
            if (fspair && i == j) jfree = true;
            if (fspair && cfg::ILOG == 0) {
                C.fail = 2;
                return;
            }
            const int ivr = (fspair ? sor : (model::IDIPWM(j) > 0 || sor)) ? 1 : 0;
            const int ivc = (fspair ? sor : (model::IDIPWM(i) > 0 || sor)) ? 1 : 0;
            int code = fspair ? 4096 : 0;
            int w8 = 1;
            for (int m = 1; m <= sym::NIMAGE; ++m, w8 *= 8) {
                if (!sametank) {
                    code += 7 * w8;
                    continue;
                }
                const int img = sym::IMAGEID[static_cast<std::size_t>(m)];
                const float sx = float(sym::ISGNX(img)), sy = float(sym::ISGNY(img));
                bool dorow = true, docol = i != j;
                if (model::IDIPSYM == 1) {
                    const int di = std::abs(model::IDIPWM(i)), dj = std::abs(model::IDIPWM(j));
                    if ((di == 2 && sx < 0) || (di == 3 && sy < 0)) dorow = false;
                    if ((dj == 2 && sx < 0) || (dj == 3 && sy < 0)) docol = false;
                }
                // reflected centroids and normals of the two field panels
                const float cj[3] = {sx * PCENT(1, j), sy * PCENT(2, j), PCENT(3, j)};
                const float ci[3] = {sx * PCENT(1, i), sy * PCENT(2, i), PCENT(3, i)};
                const float nj[3] = {sx * PAXES(3, 1, j), sy * PAXES(3, 2, j), PAXES(3, 3, j)};
                const float ni[3] = {sx * PAXES(3, 1, i), sy * PAXES(3, 2, i), PAXES(3, 3, i)};
                const float* c_i = PCENT.ptr(1, i);
                if (!(dist2(cj, c_i) < 100.0f * s2max)) continue;  // digit 0
                Terms row, col;
                if (dorow && !call(cj, nj, j, i, ivr, 0, row)) return fail();
                if (docol && !call(ci, ni, i, j, ivc, 0, col)) return fail();
                int a = 1, b = 0;
                const float fj[3] = {cj[0], cj[1], 2.0f * zfs - cj[2]}, fi[3] = {ci[0], ci[1], 2.0f * zfs - ci[2]};
                const float njf[3] = {nj[0], nj[1], -nj[2]}, nif[3] = {ni[0], ni[1], -ni[2]};
                if (dist2(fj, c_i) < 100.0f * s2max) {
                    a = cfg::ILOG + 2;
                    if (dorow && !call(fj, njf, j, i, ivr, 1, row)) return fail();
                    if (docol && !call(fi, nif, i, j, ivc, 1, col)) return fail();
                }
                if (HBOT > 0.0f) {
                    const float bj[3] = {cj[0], cj[1], 2.0f * zfs - 2.0f * HBOT - cj[2]};
                    const float bi[3] = {ci[0], ci[1], 2.0f * zfs - 2.0f * HBOT - ci[2]};
                    if (dist2(bj, c_i) <= 100.0f * s2max) {
                        b = 1;
                        if (dorow && !call(bj, njf, j, i, ivr, 2, row)) return fail();
                        if (docol && !call(bi, nif, i, j, ivc, 2, col)) return fail();
                    }
                }
                code += (a + 4 * b) * w8;
                if (rad && !direct && i != j)
                    for (int k = 1; k <= K; ++k) C.COLSRC(i, m, k) = col.src[k - 1];

                for (int g = 1; g <= NS; ++g) {
                    const float sg = float(sym::ISIGMA(sym::ISYMC[static_cast<std::size_t>(g)], img));
                    for (int k = 1; k <= K; ++k) {
                        const int l = k - 1;
                        if (fspair) {
                            C.DROW(i, g, k) -= float(IPFLAG(i)) * sg * row.src[l];
                            if (i != j) C.DCOL(i, g, k) -= float(IPFLAG(j)) * sg * col.src[l];
                        } else {
                            C.DROW(i, g, k) += sg * row.mat[l];
                            if (i != j) C.DCOL(i, g, k) += sg * col.mat[l];
                        }
                        if (scatt) {
                            C.SROW(i, g, k) += sg * row.src[l];
                            if (i != j) C.SCOL(i, g, k) += sg * col.src[l];
                        }
                        if (sor) {
                            if (fspair) {
                                C.NROW(i, g, k) -= float(IPFLAG(j)) * sg * row.src[l];
                                if (i != j) C.NCOL(i, g, k) -= float(IPFLAG(i)) * sg * col.src[l];
                            } else {
                                C.NROW(i, g, k) += sg * row.nds[l];
                                if (i != j) C.NCOL(i, g, k) += sg * col.nds[l];
                            }
                            const float f[3] = {sx * sg, sy * sg, sg};
                            for (int c = 1; c <= 3; ++c) {
                                C.VROW(i, c, g + NS * l) += f[c - 1] * row.grad[l][c - 1];
                                if (i != j) C.VCOL(i, c, g + NS * l) += f[c - 1] * col.grad[l][c - 1];
                            }
                        }
                        if (rad) {
                            const int nm = sym::NMODSC[static_cast<std::size_t>(g)];
                            const float fi = model::IDIPWM(i) < 0 ? 2.0f : 1.0f;
                            if (direct)
                                for (int md_ = 1; md_ <= nm; ++md_) {
                                    const int md = sym::IMODSC(md_, g), col_ = sym::IMODPOS(md);
                                    RKRAD(j, col_, k) += sg * row.src[l] * VNMODE(md, i) * fi;
                                    if (i != j) RKRAD(i, col_, k) += radcol(sg, col.src[l], md, j);
                                }
                            else
                                for (int md_ = 1; md_ <= nm; ++md_) {
                                    const int md = sym::IMODSC(md_, g);
                                    C.RADOWN(sym::IMODPOS(md), k) += sg * row.src[l] * VNMODE(md, i) * fi;
                                }
                        }
                    }
                }
            }
            C.RKCODE(i) = code;
        }

        // Diagonal of column j, level 1.
        const int dj = model::IDIPWM(j);
        for (int g = 1; g <= NS; ++g) {
            const int cid = sym::ISYMC[static_cast<std::size_t>(g)];
            const bool plane = (dj == 2 && (cid == 1 || cid == 4)) || (dj == 3 && (cid == 1 || cid == 2));
            if (plane) {
                C.DROW(j, g, 1) = TWOPI;
                if (rad)
                    for (int l = 1; l <= sym::NMODSC[static_cast<std::size_t>(g)]; ++l)
                        own(sym::IMODPOS(sym::IMODSC(l, g)), 1) = 0.0f;
            } else if (!(jfree || dj == 1 || dj == 2 || dj == 3)) {
                if (dj == 0) C.DROW(j, g, 1) += TWOPI;
                else if (dj < 0) C.DROW(j, g, 1) = FOURPI;
            }
            if (dj >= 1 && !plane && rad)
                for (int l = 1; l <= sym::NMODSC[static_cast<std::size_t>(g)]; ++l) {
                    const int md = sym::IMODSC(l, g);
                    own(sym::IMODPOS(md), 1) -= FOURPI * VNMODE(md, j);
                }
            if (scatt && dj > 0) C.SROW(j, g, 1) -= FOURPI;
            if (sor && !jfree) {
                // The panel's own source sheet: the normal velocity on the
                // fluid side is the principal value plus 2 pi sigma, in the
                // normal-velocity equation and in the velocity vector alike.
                C.NROW(j, g, 1) += TWOPI;
                for (int c = 1; c <= 3; ++c) C.VROW(j, c, g) += TWOPI * PAXES(3, c, j);
            }
        }

    };

    for (int j0 = 1; j0 <= N; j0 += B) {
        const int nb = std::min(B, N - j0 + 1);
        thr::parallel_for(nb, [&](int c, int) { column(j0 + c, cols[static_cast<std::size_t>(c)]); });
        // A failed column ends the run after the records of the columns
        // before it.
        int nok = nb;
        for (int c = 0; c < nb && nok == nb; ++c)
            if (cols[static_cast<std::size_t>(c)].fail != 0) nok = c;
        // Radiation terms: each column's own, then those it adds to earlier
        // columns, entry by entry in column order, term by term as on one
        // thread (a zero source term adds nothing).
        if (rad && !direct) {
            constexpr int CHUNK = 64;
            const int jl = j0 + nok - 1;
            thr::parallel_for((jl + CHUNK - 1) / CHUNK, [&](int ch, int) {
                const int i0 = ch * CHUNK + 1, i1 = std::min(jl, (ch + 1) * CHUNK);
                for (int c = 0; c < nok; ++c) {
                    const Column& C = cols[static_cast<std::size_t>(c)];
                    const int j = j0 + c;
                    if (j >= i0 && j <= i1)
                        for (int k = 1; k <= K; ++k)
                            for (int m = 1; m <= NSOL; ++m) RKRAD(j, m, k) = C.RADOWN(m, k);
                    for (int i = i0; i <= std::min(i1, j - 1); ++i)
                        for (int m = 1; m <= NIMG; ++m) {
                            const int img = sym::IMAGEID[static_cast<std::size_t>(m)];
                            for (int g = 1; g <= NS; ++g) {
                                const float sg = float(sym::ISIGMA(sym::ISYMC[static_cast<std::size_t>(g)], img));
                                for (int k = 1; k <= K; ++k) {
                                    const float src = C.COLSRC(i, m, k);
                                    if (src == 0.0f) continue;
                                    for (int md_ = 1; md_ <= sym::NMODSC[static_cast<std::size_t>(g)]; ++md_) {
                                        const int md = sym::IMODSC(md_, g);
                                        RKRAD(i, sym::IMODPOS(md), k) += radcol(sg, src, md, j);
                                    }
                                }
                            }
                        }
                }
            });
        }
        for (int c = 0; c < nb; ++c) {
            Column& C = cols[static_cast<std::size_t>(c)];
            const int j = j0 + c;
            if (C.fail == 2) {
                ERRMSG(" ILOG=0 and panel NP in free surface, NP=", j);
                ERRMSG(" Error in evaluating Rankine matrix", 0);
                IERR = 1;
                return;
            }
            if (C.fail == 1) {
                ERRMSG(" Error in evaluating Rankine matrix", 0);
                IERR = 1;
                return;
            }
            // Column j's records.
            bool wok = true;
            auto put = [&](const float* p, int n) {
                if (wok && chan::write_record(IURNK, p, sizeof(float) * std::max(n, 0)) != 0) wok = false;
            };
            std::vector<float> v;
            auto put3 = [&](Arr3<float>& V, int n, int slot) {
                v.clear();
                for (int cc = 1; cc <= 3; ++cc)
                    for (int i = 1; i <= n; ++i) v.push_back(V(i, cc, slot));
                put(v.data(), static_cast<int>(v.size()));
            };
            for (int g = 1; g <= NS; ++g)
                for (int k = 1; k <= K; ++k) {
                    put(C.DCOL.ptr(1, g, k), j - 1);
                    put(C.DROW.ptr(1, g, k), j);
                    if (scatt) {
                        put(C.SCOL.ptr(1, g, k), j - 1);
                        put(C.SROW.ptr(1, g, k), j);
                    }
                    if (sor) {
                        put(C.NCOL.ptr(1, g, k), j - 1);
                        put(C.NROW.ptr(1, g, k), j);
                        put3(C.VCOL, j - 1, g + NS * (k - 1));
                        put3(C.VROW, j, g + NS * (k - 1));
                    }
                }
            if (wok && chan::write_record(IURNK, C.RKCODE.ptr(1), sizeof(int) * j) != 0) wok = false;
            if (!wok) {
                ERRMSG(" Error writing scratch file in RANKIN ", 0);
                IERR = 1;
                return;
            }
        }
    }
    if (rad)
        for (int k = 1; k <= K; ++k)
            if (chan::write_record(IURNKR, RKRAD.size() ? RKRAD.ptr(1, 1, k) : nullptr,
                                   sizeof(float) * N * NSOL) != 0) {
                ERRMSG(" Error writing scratch file in RANKIN ", 0);
                IERR = 1;
                return;
            }
}

}  // namespace zorva
