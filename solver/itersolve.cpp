// Iterative solver: Gauss-Seidel or block Gauss-Seidel sweeps accelerated by
// minimal-residual combinations of all iterates.
//
// One iteration k (the sweep number) works on the residual r_k of the
// current iterate x_k: the sweep gives y, an approximate solution of
// A y = r_k, and the residual r_{k+1} of x_k + y.  The new iterate is then
// the affine combination of x_1 = 0, x_2, ..., x_k and x_k + y whose
// residual (the same combination of r_1 = b, ..., r_{k+1}) has the least
// norm.  The coefficients solve the normal equations built from the Gram
// matrix of the residuals, which grows by one column per sweep; after the
// combination its last column is known without new products, since the
// minimal residual is orthogonal to every r_i - r_{k+1}.
//
// The right-hand sides of one component share the matrix, so they are
// swept together: every sweep reads the matrix once (from memory and, for
// the part beyond MAXSCR or for the block files, from scratch) and applies
// it to every right-hand side still iterating, each on a thread of its own.
// The arithmetic of a right-hand side does not depend on the others.
#include "solver/itersolve.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "common/farray.hpp"
#include "common/messages.hpp"
#include "common/threads.hpp"
#include "geometry/model.hpp"
#include "main/config.hpp"
#include "main/symmetry.hpp"
#include "solver/blocksolve.hpp"
#include "solver/lufact.hpp"
#include "solver/scrstore.hpp"

namespace zorva {

namespace {

// What ended the iteration of a right-hand side, for its message.
enum class Outcome { Running, Converged, NoConvergence, ReadError, Singular };

// One right-hand side and its iteration state; the arrays are those of ITRCC.
struct Column {
    cplx* b = nullptr;
    cplx* V1 = nullptr;  // (NEQN, K) residuals
    cplx* V2 = nullptr;  // (NEQN, K) iterates 2..K
    cplx* G = nullptr;   // (K, K) Gram matrix
    cplx* M = nullptr;   // reduced system, k x k
    cplx* C = nullptr;   // combination coefficients (K)
    cplx* R = nullptr;   // reduced right side (K)
    int* IPS = nullptr;  // pivots of the reduced system (K)
    cplx* Y = nullptr;   // sweep output (NEQN)
    float* BABS = nullptr;  // |b(n)| (NEQN)
    float bmax = 0.0f;
    int iter = 0;
    Outcome out = Outcome::Running;
};

// Where a sweep finds the matrix.
struct Source {
    int NEQN, NM, ISOLVE, NBLK, NBLKL, IUF;
    cplx* ALHS;
    const int* IPIVB;
    std::vector<char> rec;
};

bool read_vals(int unit, std::vector<char>& rec, long need) {
    return slv::scr_read(unit, rec) == 0 && rec.size() >= static_cast<std::size_t>(need) * sizeof(cplx);
}
void copy_vals(const std::vector<char>& rec, long first, cplx* dst, long n) {
    if (n > 0)
        std::memcpy(static_cast<void*>(dst), rec.data() + static_cast<std::size_t>(first) * sizeof(cplx),
                    static_cast<std::size_t>(n) * sizeof(cplx));
}

// Records read from scratch in one go: at most this many bytes.
constexpr std::size_t CHUNK_BYTES = std::size_t(64) << 20;

// One Gauss-Seidel row i of iteration k on column c: y_i = d_i (r_i -
// sum_{j<i} a_ij y_j), and the residual's update -a_ji y_i, j < i.
inline void gs_row(Column* c, long n, long i, int k, const cplx* row, const cplx* col) {
    const cplx* r = c->V1 + (k - 1) * n;
    cplx* rn = c->V1 + k * n;
    cplx* y = c->Y;
    cplx s = r[i - 1];
    for (long j = 0; j < i - 1; ++j) s -= row[j] * y[j];
    const cplx yi = row[i - 1] * s;
    y[i - 1] = yi;
    for (long j = 0; j < i - 1; ++j) rn[j] -= col[j] * yi;
}

// Gauss-Seidel sweep of iteration k on every column of `act`: y_i = d_i (r_i
// - sum_{j<i} a_ij y_j), and the residual of x_k + y, -U y, into V1(:, k+1).
// The columns are swept on all threads, each by one thread, row by row:
// first the rows in memory, then the rows of the overflow file in chunks
// read once for all columns.
bool sweep_gs(Source& S, const std::vector<Column*>& act, int k) {
    const long n = S.NEQN;
    const long nm = std::min<long>(S.NM, n);
    const int na = static_cast<int>(act.size());
    thr::parallel_for(na, [&](int a, int) {
        Column* c = act[static_cast<std::size_t>(a)];
        std::fill(c->V1 + k * n, c->V1 + (k + 1) * n, cplx(0.0f, 0.0f));
        for (long i = 1; i <= nm; ++i) {
            const cplx* row = S.ALHS + (i - 1) * (i - 1);
            gs_row(c, n, i, k, row, row + i);
        }
    });
    std::vector<cplx> buf;
    for (long i0 = nm + 1; i0 <= n;) {
        // Records i0..i1, record i at (i-1)^2 - (i0-1)^2 of the chunk.
        long i1 = i0;
        while (i1 < n && static_cast<std::size_t>(i1 * i1 - (i0 - 1) * (i0 - 1)) * sizeof(cplx) < CHUNK_BYTES) ++i1;
        const long base = (i0 - 1) * (i0 - 1);
        buf.resize(static_cast<std::size_t>(i1 * i1 - base));
        for (long i = i0; i <= i1; ++i) {
            if (!read_vals(S.IUF, S.rec, 2 * i - 1)) return false;
            copy_vals(S.rec, 0, buf.data() + ((i - 1) * (i - 1) - base), 2 * i - 1);
        }
        thr::parallel_for(na, [&](int a, int) {
            for (long i = i0; i <= i1; ++i) {
                const cplx* row = buf.data() + ((i - 1) * (i - 1) - base);
                gs_row(act[static_cast<std::size_t>(a)], n, i, k, row, row + i);
            }
        });
        i0 = i1 + 1;
    }
    if (n > S.NM && slv::SCRREWIND(S.IUF) != 0) return false;
    return true;
}

// Reads the records of rows g0..g1 of a block file (o values each) into
// buf, row by row.
bool read_rows(Source& S, int unit, long g0, long g1, long o, std::vector<cplx>& buf) {
    buf.resize(static_cast<std::size_t>((g1 - g0 + 1) * o));
    for (long g = g0; g <= g1; ++g) {
        if (!read_vals(unit, S.rec, o)) return false;
        copy_vals(S.rec, 0, buf.data() + (g - g0) * o, o);
    }
    return true;
}

// Block Gauss-Seidel sweep of iteration k: the rows left of each diagonal
// block are applied to the solved part of y, the block is solved from its
// LU factors, and the columns above it give the residual -U y.  The
// records are read once for all columns, which are then worked on all
// threads; the block solution takes every column at once, on the library's
// threads for the block's order.
bool sweep_block(Source& S, const std::vector<Column*>& act, int k) {
    const long n = S.NEQN;
    const int nblk = (S.NEQN - S.NBLKL) / S.NBLK + 1;
    const int na = static_cast<int>(act.size());
    for (Column* c : act) {
        std::copy(c->V1 + (k - 1) * n, c->V1 + k * n, c->Y);
        std::fill(c->V1 + k * n, c->V1 + (k + 1) * n, cplx(0.0f, 0.0f));
    }
    const int IUR = S.IUF, IUC = S.IUF + 1, IUL = S.IUF + 3;
    std::vector<cplx> buf, ys;
    for (int b = 1; b <= nblk; ++b) {
        const long o = static_cast<long>(b - 1) * S.NBLK;
        const int nb = b == nblk ? S.NBLKL : S.NBLK;
        const long step = o > 0 ? std::max<long>(1, static_cast<long>(CHUNK_BYTES / sizeof(cplx)) / o) : nb;
        for (long g0 = o + 1; o > 0 && g0 <= o + nb; g0 += step) {
            const long g1 = std::min<long>(o + nb, g0 + step - 1);
            if (!read_rows(S, IUR, g0, g1, o, buf)) return false;
            thr::parallel_for(na, [&](int a, int) {
                cplx* y = act[static_cast<std::size_t>(a)]->Y;
                for (long g = g0; g <= g1; ++g) {
                    const cplx* row = buf.data() + (g - g0) * o;
                    cplx s = y[g - 1];
                    for (long j = 0; j < o; ++j) s -= row[j] * y[j];
                    y[g - 1] = s;
                }
            });
        }
        const long nn = static_cast<long>(nb) * nb;
        if (!read_vals(IUL, S.rec, nn)) return false;
        copy_vals(S.rec, 0, S.ALHS, nn);
        ys.resize(static_cast<std::size_t>(nb) * static_cast<std::size_t>(na));
        for (int a = 0; a < na; ++a)
            std::copy(act[static_cast<std::size_t>(a)]->Y + o, act[static_cast<std::size_t>(a)]->Y + o + nb,
                      ys.data() + static_cast<std::size_t>(a) * nb);
        thr::blas_for(nb);
        LUSOLV(S.ALHS, ys.data(), na, S.IPIVB + o, nb);
        for (int a = 0; a < na; ++a)
            std::copy(ys.data() + static_cast<std::size_t>(a) * nb, ys.data() + static_cast<std::size_t>(a + 1) * nb,
                      act[static_cast<std::size_t>(a)]->Y + o);
        for (long g0 = o + 1; o > 0 && g0 <= o + nb; g0 += step) {
            const long g1 = std::min<long>(o + nb, g0 + step - 1);
            if (!read_rows(S, IUC, g0, g1, o, buf)) return false;
            thr::parallel_for(na, [&](int a, int) {
                Column* c = act[static_cast<std::size_t>(a)];
                cplx* rn = c->V1 + k * n;
                for (long g = g0; g <= g1; ++g) {
                    const cplx* col = buf.data() + (g - g0) * o;
                    const cplx yg = c->Y[g - 1];
                    for (long j = 0; j < o; ++j) rn[j] -= col[j] * yg;
                }
            });
        }
    }
    return slv::SCRREWIND(IUR) == 0 && slv::SCRREWIND(IUC) == 0 && slv::SCRREWIND(IUL) == 0;
}

void start(Column& c, long n) {
    float s = 0.0f, bmax = 0.0f;
    for (long i = 0; i < n; ++i) {
        const float a = std::abs(c.b[i]);
        c.BABS[i] = a;
        c.V1[i] = c.b[i];
        s += a * a;
        bmax = std::max(bmax, a * a);
    }
    c.bmax = bmax;
    c.G[0] = cplx(s, 0.0f);
    c.iter = 0;
    c.out = Outcome::Running;
}

// The steps after the sweep of iteration k; true when the column is done.
bool combine(Column& c, long n, int k, int K, long ng, float TOL) {
    auto G = [&](int i, int j) -> cplx& { return c.G[(i - 1) + static_cast<long>(j - 1) * K]; };
    if (c.bmax < 1.0e-12f) {
        std::copy(c.Y, c.Y + n, c.b);
        c.iter = k;
        c.out = Outcome::Converged;
        return true;
    }
    cplx* rn = c.V1 + k * n;
    // Gram column of the new residual.
    for (int i = 1; i <= k; ++i) {
        const cplx* ri = c.V1 + (i - 1) * n;
        cplx s(0.0f, 0.0f);
        for (long m = 0; m < ng; ++m) s += std::conj(ri[m]) * rn[m];
        G(i, k + 1) = s;
        G(k + 1, i) = std::conj(s);
    }
    float s2 = 0.0f;
    for (long m = 0; m < ng; ++m) s2 += std::norm(rn[m]);
    G(k + 1, k + 1) = cplx(s2, 0.0f);

    // Normal equations of min |r_{k+1} + sum_i c_i (r_i - r_{k+1})|.
    float amax = 0.0f;
    for (int j = 1; j <= k; ++j)
        for (int i = 1; i <= k; ++i) {
            const cplx v = G(i, j) - G(i, k + 1) - G(k + 1, j) + G(k + 1, k + 1);
            c.M[(i - 1) + (j - 1) * k] = v;
            amax = std::max(amax, std::abs(v));
        }
    for (int i = 1; i <= k; ++i) c.R[i - 1] = G(k + 1, k + 1) - G(i, k + 1);
    int ierr = amax > 0.0f ? 0 : 1;
    if (ierr == 0) {
        const float sc = 1.0f / amax;
        for (int m = 0; m < k * k; ++m) c.M[m] *= sc;
        for (int i = 0; i < k; ++i) c.R[i] *= sc;
        LUFACT(c.M, c.IPS, k, ierr);
    }
    if (ierr != 0) {
        c.out = Outcome::Singular;
        c.iter = k;
        return true;
    }
    LUSOLV(c.M, c.R, c.C, c.IPS, k, 0);
    cplx csum(0.0f, 0.0f);
    for (int i = 0; i < k; ++i) csum += c.C[i];
    c.C[k] = cplx(1.0f, 0.0f) - csum;

    // The combined iterate and residual, and the error of each unknown.
    const cplx ck1 = c.C[k];
    cplx* xk1 = c.V2 + k * n;
    const cplx* xk = c.V2 + (k - 1) * n;
    float emax = 0.0f;
    for (long m = 0; m < n; ++m) {
        const cplx xnew = k == 1 ? c.Y[m] : xk[m] + c.Y[m];
        cplx x = ck1 * xnew;
        cplx r = c.C[0] * c.V1[m] + ck1 * rn[m];
        for (int i = 2; i <= k; ++i) {
            x += c.C[i - 1] * c.V2[(i - 1) * n + m];
            r += c.C[i - 1] * c.V1[(i - 1) * n + m];
        }
        xk1[m] = x;
        rn[m] = r;
        const float e = c.BABS[m] > 1.0f ? std::abs(r) / c.BABS[m] : std::abs(r);
        emax = std::max(emax, e);
    }
    if (emax < TOL) {
        std::copy(xk1, xk1 + n, c.b);
        c.iter = k;
        c.out = Outcome::Converged;
        return true;
    }
    if (k + 1 == K) {
        std::copy(xk1, xk1 + n, c.b);
        c.iter = k;
        c.out = Outcome::NoConvergence;
        return true;
    }
    // Gram entries of the combined residual.
    cplx gam = ck1 * G(k + 1, k + 1);
    for (int i = 1; i <= k; ++i) gam += c.C[i - 1] * G(k + 1, i);
    for (int i = 1; i <= k; ++i) {
        G(i, k + 1) = gam;
        G(k + 1, i) = std::conj(gam);
    }
    G(k + 1, k + 1) = gam;
    return false;
}

// Iterates every column to its end, sweeping the active ones together.
void iterate(Source& S, std::vector<Column>& cols, int K, float TOL) {
    const long n = S.NEQN;
    const long ng = S.ISOLVE == 0 ? n - 1 : n - S.NBLKL;
    for (Column& c : cols) start(c, n);
    std::vector<Column*> act;
    for (int k = 1;; ++k) {
        act.clear();
        for (Column& c : cols)
            if (c.out == Outcome::Running) act.push_back(&c);
        if (act.empty()) return;
        const bool ok = S.ISOLVE == 0 ? sweep_gs(S, act, k) : sweep_block(S, act, k);
        if (!ok) {
            for (Column* c : act) c->out = Outcome::ReadError;
            return;
        }
        // The reduced systems are solved on the pool's threads, each on one
        // library thread (whatever the block solutions used).
        thr::blas_for(1);
        thr::parallel_for(static_cast<int>(act.size()),
                          [&](int a, int) { combine(*act[static_cast<std::size_t>(a)], n, k, K, ng, TOL); });
    }
}

// The solver's own message for an outcome; true when the solution failed
// (the caller stops) or did not converge.
bool report(const Column& c) {
    switch (c.out) {
        case Outcome::ReadError:
            ERRMSG(" Error reading LHS scratch file in ITRCC ", 0);
            return true;
        case Outcome::Singular:
            ERRMSG(" Error in iterative solver: residual matrix is singular ", 0);
            return true;
        case Outcome::NoConvergence:
            ERRMSG(" No convergence after MAXITT iterations ", 0);
            return true;
        default:
            return false;
    }
}

// Work arrays of one right-hand side in SOLVEITR.
struct ColumnStore {
    Arr1<cplx> V1, V2, G, M, C, R, Y;
    Arr1<int> IPS;
    Arr1<float> BABS;
    bool allocate(long n, int K) {
        const long kk = static_cast<long>(K) * K;
        return V1.allocate(n * K) && V2.allocate(n * K) && G.allocate(kk) && M.allocate(kk) && C.allocate(K) &&
               R.allocate(K) && Y.allocate(n) && IPS.allocate(K) && BABS.allocate(n);
    }
    void bind(Column& c, cplx* b) {
        c.b = b;
        c.V1 = V1.data();
        c.V2 = V2.data();
        c.G = G.data();
        c.M = M.data();
        c.C = C.data();
        c.R = R.data();
        c.IPS = IPS.data();
        c.Y = Y.data();
        c.BABS = BABS.data();
    }
};

// Opens units IU(1..K) of the store; a unit that is open already (written
// earlier in the period, by the assembly) keeps its records and is rewound.
void open_keep(const int* IU, int K, int& IERR) {
    IERR = 0;
    for (int k = 0; k < K && IERR == 0; ++k)
        if (slv::SCRREWIND(IU[k]) != 0) slv::SCROPEN(IU + k, 1, IERR);
}

// Reads border records 1..NM of unit IUK into ALHS in packed border order.
bool load_packed(int IUK, cplx* ALHS, int NM) {
    std::vector<char> rec;
    if (slv::SCRREWIND(IUK) != 0) return false;
    for (long i = 1; i <= NM; ++i) {
        if (!read_vals(IUK, rec, 2 * i - 1)) return false;
        copy_vals(rec, 0, ALHS + (i - 1) * (i - 1), 2 * i - 1);
    }
    return true;
}

}  // namespace

void ITRCC(const int& NEQN, const int& MAXITT1, cplx* B, cplx* V1, cplx* V2, cplx* ALHS, const int& NM,
           const int* IPIVB, const int& NBLK, const int& NBLKL, const float& TOL, const int& ISOLVE, cplx* G, cplx* M,
           cplx* C, cplx* R, int* IPIVS, cplx* CW, float* RW, const int& IUF, int& ITER, int& NOCONV, int& IERR) {
    IERR = 0;
    NOCONV = 0;
    ITER = 0;
    const int K = MAXITT1;
    Source S{NEQN, NM, ISOLVE, NBLK, NBLKL, IUF, ALHS, IPIVB, {}};
    std::vector<Column> cols(1);
    Column& c = cols[0];
    c.b = B;
    c.V1 = V1;
    c.V2 = V2;
    c.G = G;
    c.M = M;
    c.C = C;
    c.R = R;
    c.IPS = IPIVS;
    c.Y = CW;
    c.BABS = RW;
    iterate(S, cols, K, TOL);
    ITER = c.iter;
    report(c);
    if (c.out == Outcome::NoConvergence) NOCONV = 1;
    if (c.out == Outcome::ReadError || c.out == Outcome::Singular) IERR = 1;
}

void SOLVEITR(const int& NEQN, const int& IRAD, const int& IDIFF, const int& NBETAC, const int* IU, const float& TOL,
              cplx* RHSMOD, cplx* RHS, cplx* ALHS, int* NITER, const int& KSRC, const int& IPERFL, int& IERR,
              int* NOCONV) {
    IERR = 0;
    NITER[0] = NITER[1] = 0;
    const int ISOLVE = cfg::ISOLVE;
    const long n = NEQN;
    const int NM = std::min(NEQN, cfg::MAXSCR);
    const int K = std::max(model::NITMAX, 2);
    const int NSYMC = sym::NSYMC;
    const bool block = ISOLVE >= 2;
    const int NBLK = block ? model::NBLKSZ : 1;
    const int NBLKL = block ? model::NBLKLAST : 1;
    if (block && NBLOCKS(NEQN, NBLK, NBLKL) == 0) {
        IERR = 1;
        return;
    }

    // Right-hand sides of each component: the radiation modes, then the
    // diffraction headings.
    const bool dodiff = IDIFF >= 0 && IPERFL == 0;
    int most = 0;
    for (int k = 1; k <= NSYMC; ++k)
        most = std::max(most, (IRAD != -1 ? sym::NMODSC[static_cast<std::size_t>(k)] : 0) + (dodiff ? NBETAC : 0));

    // Work arrays: pivots and record buffers, and one set per right-hand
    // side swept together (fewer, down to one, when memory is short).
    Arr1<int> IPIVB;
    Arr1<cplx> RBUF, CBUF;
    std::vector<ColumnStore> store;
    bool ok = IPIVB.allocate(n) && RBUF.allocate(n) && CBUF.allocate(n);
    for (int want = most; ok && want > 0; want /= 2) {
        store.assign(static_cast<std::size_t>(want), ColumnStore{});
        bool all = true;
        for (ColumnStore& s : store) all = all && s.allocate(n, K);
        if (all) break;
        store.clear();
        if (want == 1) ok = false;
    }
    if (!ok) {
        ERRMSG(" RAM too small. Allocation error in SOLVE ", 0);
        IERR = 1;
        return;
    }

    const int* IUB = IU + NSYMC;  // block files: rows, columns, blocks, factors
    if (block) {
        open_keep(IUB, 4, IERR);
        if (IERR != 0) return;
    }
    Source S{NEQN, NM, ISOLVE, NBLK, NBLKL, block ? IUB[0] : IU[NSYMC], ALHS, IPIVB.data(), {}};

    for (int k = 1; k <= NSYMC; ++k) {
        const int* IUO = IU + NSYMC + k - 1;  // border records beyond NM (ISOLVE = 0)
        if (!block && NEQN > NM) {
            open_keep(IUO, 1, IERR);
            if (IERR != 0) return;
            S.IUF = *IUO;
        }
        if (!(k == 1 && KSRC == 0)) {
            const int* IUK = IU + k - 1;
            open_keep(IUK, 1, IERR);
            if (IERR != 0) return;
            if (block) {
                BLKSORT(*IUK, IUB, NEQN, NBLK, NBLKL, ALHS, IPIVB.data(), RBUF.data(), CBUF.data(), k, IERR);
                if (IERR != 0) return;
            } else if (!load_packed(*IUK, ALHS, NM)) {
                ERRMSG(" Error reading LHS scratch file in SOLVE ", 0);
                IERR = 1;
                return;
            }
            slv::SCRCLOSE(IUK, 1, 0, IERR);
            if (IERR != 0) return;
        } else if (block) {
            BLKFACT(IUB, NEQN, NBLK, NBLKL, ALHS, IPIVB.data(), k, IERR);
            if (IERR != 0) return;
        }

        // The component's right-hand sides: (column, mode or heading, kind).
        struct Rhs {
            cplx* b;
            int id;
            int diff;
        };
        std::vector<Rhs> list;
        if (IRAD != -1)
            for (int i = 1; i <= sym::NMODSC[static_cast<std::size_t>(k)]; ++i) {
                const int m = sym::IMODSC(i, k);
                list.push_back({RHSMOD + (sym::IMODPOS(m) - 1) * n, m, 0});
            }
        if (dodiff)
            for (int ib = 1; ib <= NBETAC; ++ib)
                list.push_back({RHS + (ib - 1 + static_cast<long>(NBETAC) * (k - 1)) * n, ib, 1});

        for (std::size_t first = 0; first < list.size(); first += store.size()) {
            const std::size_t cnt = std::min(store.size(), list.size() - first);
            std::vector<Column> cols(cnt);
            for (std::size_t i = 0; i < cnt; ++i) store[i].bind(cols[i], list[first + i].b);
            iterate(S, cols, K, TOL);
            for (std::size_t i = 0; i < cnt; ++i) {
                const Rhs& r = list[first + i];
                NITER[r.diff] = std::max(NITER[r.diff], cols[i].iter);
                if (report(cols[i])) {
                    ERRMSG(r.diff ? "       Error in diffraction solution for heading IBETA="
                                  : "       Error in radiation solution for mode M=",
                           r.id);
                    if (cols[i].out != Outcome::NoConvergence) {
                        IERR = 1;
                        return;
                    }
                    if (NOCONV) *NOCONV = 1;
                }
            }
        }

        if (!block && NEQN > NM) {
            slv::SCRCLOSE(IUO, 1, 0, IERR);
            if (IERR != 0) return;
        }
    }
    if (block) slv::SCRCLOSE(IUB, 4, 0, IERR);
}

}  // namespace zorva
