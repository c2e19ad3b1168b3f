// Low-order assembly of one period.  Row i of every component is formed
// from the Rankine parts of unit 23 and the wave part of the Green function
// for the pairs (i, j), j <= i, of every geometric image: one Green-function
// batch per row gives both the entry (i, j) (panel j acting on i) and the
// entry (j, i) (panel i acting on j).
//
// Rows go in blocks.  The Rankine parts of a block are read in row order
// (the next block's while the current one is worked on), the wave parts of
// its rows are formed on all threads (common/threads.hpp), each row into
// its own buffers, and the block is then delivered (on several threads
// while the next block is worked on): the right-hand-side terms that a row
// adds to earlier rows are summed entry by entry in row order, and the
// borders go to the in-memory matrix or the matrix scratch files
// (solver/assembly_store.cpp) in row order.  No sum depends on the number
// of threads, so the matrices and right-hand sides are the same on any
// number.
#include "solver/assembly.hpp"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

#include "common/channels.hpp"
#include "common/messages.hpp"
#include "common/threads.hpp"
#include "geometry/model.hpp"
#include "kernels/rankin.hpp"
#include "main/config.hpp"
#include "main/runparams.hpp"
#include "main/symmetry.hpp"
#include "panels/geomdata.hpp"
#include "panels/paneldata.hpp"
#include "solver/assembly_row.hpp"
#include "solver/assembly_store.hpp"
#include "solver/matrices.hpp"
#include "solver/scrstore.hpp"

namespace zorva {

namespace {

constexpr int IURAD = IURNKR;

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

// Rows per block: enough to keep every thread busy, within a memory
// allowance for the NSET sets of row buffers; on one thread few enough that
// the row buffers stay in the processor's cache.
int block_rows(const asmlo::Period& P, int nthr, int nset) {
    const double per_row = 8.0 * P.neqn * P.nsymc * (4 + (P.scatt ? 2 : 0) + (P.sor ? 8 : 0)) +
                           4.0 * static_cast<double>(asmlo::raw_size(P));
    const double allowance = nthr == 1 ? 1024.0 * 1024 : 256.0 * 1024 * 1024;
    const int by_mem = static_cast<int>(allowance / (nset * per_row));
    return std::clamp(nthr == 1 ? 8 : std::min(256, std::max(64, 16 * nthr)), 1, std::max(by_mem, 1));
}

// The terms that the rows I0..I1 add to the right-hand sides of rows
// J0..J1 (J1 <= I1): for each entry, the rows in order.
void add_rhs(const asmlo::Period& P, const std::vector<asmlo::Row*>& rows, int j0, int j1) {
    for (const asmlo::Row* R : rows) {
        const int i = R->i;
        if (j0 > i) continue;
        const auto ui = static_cast<std::size_t>(i - 1);
        const int jc = std::min(j1, i - 1);
        if (P.radiation)
            for (int k = 1; k <= P.nsymc; ++k) {
                const int cid = sym::ISYMC[static_cast<std::size_t>(k)];
                const int d = P.dipoles ? P.dip[ui] : 0;
                const bool zero = (d == 2 && (cid == 1 || cid == 4)) || (d == 3 && (cid == 1 || cid == 2));
                const cplx* sc = &R->scol(1, k);
                for (int l = 1; l <= sym::NMODSC[static_cast<std::size_t>(k)]; ++l) {
                    const int md = sym::IMODSC(l, k);
                    const int c = sym::IMODPOS(md);
                    cplx* out = &slv::RHSMOD(1, c);
                    const float vi = pnl::VNMODE(md, i);
                    for (int j = j0; j <= jc; ++j) out[j - 1] += sc[j - 1] * vi;
                    if (j1 >= i) {
                        out[i - 1] += R->racc[static_cast<std::size_t>(c - 1)];
                        if (zero) out[i - 1] = cplx(0.0f, 0.0f);
                    }
                }
            }
        if (P.scatt_rhs)
            for (int k = 1; k <= P.nsymc; ++k)
                for (int b = 1; b <= P.nbetac; ++b) {
                    cplx* out = &slv::RHSRAD(1, b, k);
                    const cplx si = slv::RHSSRC(i, b, k);
                    const cplx* cs = &R->cols(1, k);
                    for (int j = j0; j <= jc; ++j)
                        if (P.tank[static_cast<std::size_t>(j - 1)] == 0) out[j - 1] += cs[j - 1] * si;
                    if (j1 >= i && P.tank[ui] == 0)
                        out[i - 1] += R->sacc[static_cast<std::size_t>((k - 1) * P.nbetac + b - 1)];
                }
    }
}

}  // namespace

void WAVEGR(int IRAD, int IDIFF, int NBETAC, int NEQN, float NU, Arr2<cplx>& ALHS, int IPERFL, int& IERR) {
    if (cfg::ILOWHI == 0) {
        WAVEGRLO(IRAD, IDIFF, NBETAC, NEQN, NU, model::HBOT, ALHS, IPERFL, IERR);
        return;
    }
    WAVEGRHI(IRAD, NEQN, NU, model::HBOT, ALHS, IPERFL, IERR);
}

void WAVEGRLO(int IRAD, int IDIFF, int NBETAC, int NEQN, float WNUMNU, float HBOT, Arr2<cplx>& ALHS, int IPERFL,
              int& IERR) {
    IERR = 0;
    asmlo::Period P;
    P.neqn = NEQN;
    P.nsymc = sym::NSYMC;
    P.nimage = sym::NIMAGE;
    P.nsolc = sym::NSOLC;
    P.nbetac = NBETAC;
    P.scatt = cfg::ISCATT == 1;
    P.scatt_rhs = P.scatt && IDIFF >= 0 && NBETAC > 0;
    P.sor = cfg::ISOR == 1;
    P.quad = cfg::IQUAD != 0;
    P.radiation = IRAD >= 0;
    P.recip = cfg::ISOLVE == 0;
    P.iperfl = IPERFL;

    // 1. Work arrays: per-panel tables, the sets of row buffers (the block
    // being worked on, the next one being read and, on several threads, the
    // previous one being delivered) and one set of pair work arrays per
    // thread.
    const int nthr = thr::count();
    // On several threads a block is delivered while the next one is worked
    // on; on one thread at once, while its buffers are in the cache.
    const int lag = nthr > 1 ? 1 : 0;
    const int nset = 2 + lag;
    // On several threads the reader, the one thread that must go in row
    // order, leaves the Rankine records for the rows' threads to add.
    P.defer = lag > 0;
    std::vector<asmlo::Row> slots;
    std::vector<asmlo::Work> work;
    Arr2<float> w, wv;
    int B = 1;
    bool ok = true;
    try {
        const auto un = static_cast<std::size_t>(std::max(NEQN, 0));
        P.lev.assign(un, 0.0f);
        P.tank.assign(un, 0);
        P.dip.assign(un, 0);
        P.ipfl.assign(un, 1.0f);
        for (auto* v : {&P.cx, &P.cy, &P.cz, &P.nx, &P.ny, &P.nz, &P.area}) v->assign(un, 0.0f);
        const bool have_tank = model::ITANK.allocated() && static_cast<int>(model::ITANK.size()) >= NEQN;
        const bool have_dip = model::IDIPWM.allocated() && static_cast<int>(model::IDIPWM.size()) >= NEQN;
        const bool have_flag = pnl::IPFLAG.allocated();
        for (int i = 1; i <= NEQN; ++i) {
            const auto ui = static_cast<std::size_t>(i - 1);
            const int t = have_tank ? model::ITANK(i) : 0;
            P.tank[ui] = t;
            P.lev[ui] = t == 0 ? 0.0f : cfg::ZTANKFS(t) + cfg::XBODY(3, cfg::ITANKB(t));
            P.dip[ui] = have_dip ? model::IDIPWM(i) : 0;
            P.dipoles = P.dipoles || P.dip[ui] != 0;
            if (have_flag) P.ipfl[ui] = static_cast<float>(pnl::IPFLAG(i));
            P.cx[ui] = pnl::PCENT(1, i);
            P.cy[ui] = pnl::PCENT(2, i);
            P.cz[ui] = pnl::PCENT(3, i);
            P.nx[ui] = pnl::PAXES(3, 1, i);
            P.ny[ui] = pnl::PAXES(3, 2, i);
            P.nz[ui] = pnl::PAXES(3, 3, i);
            P.area[ui] = pnl::PPROP(1, i);
        }
        B = std::max(1, std::min(block_rows(P, nthr, nset), NEQN));
        slots.resize(static_cast<std::size_t>(nset) * static_cast<std::size_t>(B));
        work.resize(static_cast<std::size_t>(nthr));
        // The buffers are allocated and cleared on all threads.
        const int nslot = static_cast<int>(slots.size());
        std::vector<char> got(slots.size() + work.size(), 0);
        thr::parallel_for(static_cast<int>(got.size()), [&](int k, int) {
            const auto uk = static_cast<std::size_t>(k);
            got[uk] = k < nslot ? slots[uk].allocate(P) : work[uk - slots.size()].allocate(P);
        });
        for (char g : got) ok = ok && g != 0;
        ok = ok && w.allocate(std::max(NEQN, 1), 2) && wv.allocate(P.sor ? std::max(NEQN, 1) : 1, 3);
    } catch (const std::bad_alloc&) {
        ok = false;
    }
    if (!ok) {
        ERRMSG(" RAM too small to allocate WAVEGR arrays ", 0);
        IERR = 1;
        return;
    }

    // 2. Period scalars.  A limit period works in the geometry's own lengths
    // (nu = 1) and has no frequency-dependent Rankine part.
    const bool limit = IPERFL != 0;
    P.nu = limit ? 1.0f : WNUMNU;
    P.nuh = HBOT * P.nu;
    P.nu2 = P.nu * P.nu;
    P.L = limit ? 0.0f : -std::log(P.nu2);
    P.s = limit ? 0.0f : WNUMNU;

    // 3. Clear the scattering right-hand sides.
    if (P.scatt && IDIFF >= 0) slv::RHSRAD.fill(cplx(0.0f, 0.0f));

    // 4. Radiation Rankine part.
    if (P.radiation && read_radiation(NEQN, P.s) != 0) {
        IERR = 1;
        return;
    }

    // 5. Scratch units.
    Store store;
    if (store.open(NEQN, P.nsymc, ALHS) != 0) {
        IERR = 1;
        return;
    }
    chan::rewind(IURNK);
    if (NEQN < 1) return;

    // 6. Row loop, block by block.  Step s forms the wave parts of block s
    // on all threads while one thread delivers the scratch records of the
    // block before (on several threads) and then reads the Rankine parts of
    // block s + 1; the right-hand-side terms and the in-memory borders of the
    // delivered block are summed on the threads that are free.  Every entry
    // still takes the terms of the rows in row order: each chunk of entries
    // takes a block's sums after the block before's.
    const int nblock = (NEQN + B - 1) / B;
    constexpr int JCHUNK = 256;
    // Rows and chunks of entries of block b.
    auto nrow = [&](int b) { return std::min(NEQN, (b + 1) * B) - b * B; };
    auto nchunk = [&](int b) { return (std::min(NEQN, (b + 1) * B) + JCHUNK - 1) / JCHUNK; };
    // Block b uses the buffers of set b mod nset; its reader numbers them.
    auto rows_of = [&](int b) {
        std::vector<asmlo::Row*> r;
        const int i0 = b * B + 1, i1 = std::min(NEQN, (b + 1) * B);
        const auto set = static_cast<std::size_t>(b % nset);
        for (int i = i0; i <= i1; ++i) r.push_back(&slots[set * static_cast<std::size_t>(B) + static_cast<std::size_t>(i - i0)]);
        return r;
    };
    auto read_block = [&](int b) {
        int i = b * B;
        for (asmlo::Row* R : rows_of(b)) {
            R->i = ++i;
            R->fail = 0;
            if (asmlo::read_row(P, *R, w, wv) != 0) return 1;
        }
        return 0;
    };
    // The scratch records of a block in row order.
    auto deliver_block = [&](const std::vector<asmlo::Row*>& rows) {
        for (asmlo::Row* R : rows)
            if (store.switch_at(R->i) != 0 || store.deliver(R->i, R->rowd, R->cold) != 0 ||
                (P.sor && store.deliver_src(R->i, R->rown, R->coln, R->rowv, R->colv) != 0))
                return 1;
        return 0;
    };
    // The right-hand-side terms of a block and its component-1 borders in
    // memory, by chunks of entries.
    auto sum_chunk = [&](const std::vector<asmlo::Row*>& rows, int c) {
        const int j0 = c * JCHUNK + 1, j1 = std::min(rows.back()->i, (c + 1) * JCHUNK);
        add_rhs(P, rows, j0, j1);
        // The rows in memory (the first rows of the period) together.
        std::vector<const cplx*> rp, cp;
        int i0 = 0;
        for (asmlo::Row* R : rows)
            if (store.in_memory(R->i) && j0 <= R->i) {
                if (rp.empty()) i0 = R->i;
                rp.push_back(&R->rowd(1, 1));
                cp.push_back(&R->cold(1, 1));
            }
        if (!rp.empty()) store.place_rows(i0, static_cast<int>(rp.size()), rp.data(), cp.data(), j0, j1);
    };
    if (read_block(0) != 0) {
        IERR = 1;
        return;
    }
    int read_fail = 0, store_fail = 0, bad_block = -1;
    auto block_bad = [&](int b) {
        for (const asmlo::Row* R : rows_of(b))
            if (R->fail != 0) return true;
        return false;
    };
    if (lag == 0) {
        // One thread: the next block read, then this one formed, summed and
        // delivered while its buffers are in the cache.  Rows with a failure
        // end the period before anything of their block is delivered.
        for (int st = 0; st < nblock; ++st) {
            if (st + 1 < nblock && read_block(st + 1) != 0) {
                IERR = 1;
                return;
            }
            const std::vector<asmlo::Row*> rows = rows_of(st);
            for (asmlo::Row* R : rows) asmlo::wave_row(P, *R, work[0]);
            if (block_bad(st)) {
                bad_block = st;
                break;
            }
            for (int c = 0; c < nchunk(st); ++c) sum_chunk(rows, c);
            if (deliver_block(rows) != 0) {
                IERR = 1;
                return;
            }
        }
    } else {
        // Several threads: every task of the period in one parallel loop,
        // handed out step by step - at step s first the records of block
        // s - 1 and the Rankine parts of block s + 1 (one chain, in block
        // order), then the sums of block s - 1 by chunks of entries, then
        // the wave parts of the rows of block s.  A task waits only for what
        // it needs, all of it handed out before it: the rows of a block for
        // their block's reading; a block's records and sums for its rows,
        // each chunk also for the same chunk of the block before (so every
        // entry takes the terms of the rows in row order); a reading for
        // the end of the block that used its buffers before.  No thread
        // waits for the others at the end of a step.
        struct Task {
            int kind, b, k;  // 0 the chain at step b, 1 chunk k of block b, 2 row k of block b
        };
        std::vector<Task> tasks;
        const int nchunks = nchunk(nblock - 1);
        std::vector<std::atomic<int>> rows_done(static_cast<std::size_t>(nblock)),
            sums_done(static_cast<std::size_t>(nblock)), chunk_next(static_cast<std::size_t>(nchunks));
        std::atomic<int> chain{0};
        std::atomic<bool> stop{false};
        try {
            for (int st = 0; st <= nblock; ++st) {
                tasks.push_back({0, st, 0});
                if (st >= 1)
                    for (int c = 0; c < nchunk(st - 1); ++c) tasks.push_back({1, st - 1, c});
                if (st < nblock)
                    for (int r = 0; r < nrow(st); ++r) tasks.push_back({2, st, r});
            }
        } catch (const std::bad_alloc&) {
            ERRMSG(" RAM too small to allocate WAVEGR arrays ", 0);
            IERR = 1;
            return;
        }
        // The first block whose sums reach chunk c.
        for (int c = 0, b = 0; c < nchunks; ++c) {
            while (nchunk(b) <= c) ++b;
            chunk_next[static_cast<std::size_t>(c)] = b;
        }
        auto ub = [](int b) { return static_cast<std::size_t>(b); };
        thr::parallel_for(static_cast<int>(tasks.size()), [&](int k, int t) {
            const Task T = tasks[static_cast<std::size_t>(k)];
            if (T.kind == 0) {
                const int st = T.b;
                thr::await(chain, st);
                if (!stop && st >= 1) {
                    thr::await(rows_done[ub(st - 1)], nrow(st - 1));
                    // Rows with a failure end the period before anything of
                    // their block is delivered.
                    if (block_bad(st - 1)) {
                        bad_block = st - 1;
                        stop = true;
                    } else if (deliver_block(rows_of(st - 1)) != 0) {
                        store_fail = 1;
                        stop = true;
                    }
                }
                if (!stop && st + 1 < nblock) {
                    if (st + 1 >= nset) thr::await(sums_done[ub(st + 1 - nset)], nchunk(st + 1 - nset));
                    if (read_block(st + 1) != 0) {
                        read_fail = 1;
                        stop = true;
                    }
                }
                thr::advance(chain);
            } else if (T.kind == 1) {
                thr::await(rows_done[ub(T.b)], nrow(T.b));
                thr::await(chunk_next[ub(T.k)], T.b);
                if (!stop && !block_bad(T.b)) sum_chunk(rows_of(T.b), T.k);
                thr::advance(chunk_next[ub(T.k)]);
                thr::advance(sums_done[ub(T.b)]);
            } else {
                thr::await(chain, T.b);
                if (!stop)
                    asmlo::wave_row(P, slots[ub(T.b % nset) * ub(B) + ub(T.k)], work[static_cast<std::size_t>(t)]);
                thr::advance(rows_done[ub(T.b)]);
            }
        });
        if (store_fail != 0) {
            IERR = 1;
            return;
        }
    }
    if (read_fail != 0) {
        IERR = 1;
        return;
    }
    // The first row of the block whose wave part failed.
    if (bad_block >= 0)
        for (const asmlo::Row* R : rows_of(bad_block)) {
            if (R->fail == 0) continue;
            if (R->fail == 1) ERRMSG("Error evaluating Rankine image for infinite-frequency case", 0);
            if (R->fail == 2) ERRMSG(" Zero diagonal of the influence matrix, panel", R->i);
            if (R->fail == 3) ERRMSG(" Zero diagonal of the source-strength matrix, panel", R->i);
            IERR = 1;
            return;
        }

    // 7. The scratch units stay open with their records for the solver.
}

}  // namespace zorva
