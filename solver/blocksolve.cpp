// Block sorting and factoring of the block-iterative solver.
#include "solver/blocksolve.hpp"

#include <cstring>
#include <vector>

#include "common/messages.hpp"
#include "common/threads.hpp"
#include "solver/lufact.hpp"
#include "solver/scrstore.hpp"

namespace zorva {

namespace {

// Reads the next record of UNIT, which must hold at least n complex values,
// into the record buffer.
bool read_rec(int unit, std::vector<char>& rec, long n) {
    return slv::scr_read(unit, rec) == 0 && rec.size() >= static_cast<std::size_t>(n) * sizeof(cplx);
}

void copy_vals(const std::vector<char>& rec, std::size_t first, cplx* dst, long n) {
    if (n > 0) std::memcpy(static_cast<void*>(dst), rec.data() + first * sizeof(cplx), static_cast<std::size_t>(n) * sizeof(cplx));
}

}  // namespace

int NBLOCKS(const int& NEQN, const int& NBLK, const int& NBLKL) {
    if (NBLK >= 1 && NBLKL >= 1 && NBLKL <= NBLK && NEQN >= NBLKL && (NEQN - NBLKL) % NBLK == 0)
        return (NEQN - NBLKL) / NBLK + 1;
    ERRMSG(" Error block iteration: block sizes do not make up NEQN, NEQN=", NEQN);
    return 0;
}

void BLKSORT(const int& IUK, const int* IUB, const int& NEQN, const int& NBLK, const int& NBLKL, cplx* ALHS,
             int* IPIVB, cplx* RBUF, cplx* CBUF, const int& KCOMP, int& IERR) {
    IERR = 0;
    const int nblk = NBLOCKS(NEQN, NBLK, NBLKL);
    if (nblk == 0) {
        IERR = 1;
        return;
    }
    std::vector<char> rec;
    if (slv::SCRREWIND(IUK) != 0) {
        ERRMSG(" Error reading LHS scratch file in SOLVE ", 0);
        IERR = 1;
        return;
    }
    for (int b = 1; b <= nblk; ++b) {
        const int o = (b - 1) * NBLK;
        const int nb = b == nblk ? NBLKL : NBLK;
        for (int g = o + 1; g <= o + nb; ++g) {
            // Border record g: a(g, 1..g), then a(1..g-1, g).
            if (!read_rec(IUK, rec, 2L * g - 1)) {
                ERRMSG(" Error reading LHS scratch file in SOLVE ", 0);
                IERR = 1;
                return;
            }
            copy_vals(rec, 0, RBUF, g);
            copy_vals(rec, static_cast<std::size_t>(g), CBUF, g - 1);
            if (o > 0) {
                slv::WRVEC2(IUB, RBUF, CBUF, NEQN, o, IERR);
                if (IERR != 0) return;
            }
            slv::SETBORD(ALHS, RBUF + o, CBUF + o, g - o, nb);
        }
        thr::blas_for(nb);
        LUFACT(ALHS, IPIVB + o, nb, IERR);
        if (IERR != 0) {
            ERRMSG(" Error block iteration: singular LHS", KCOMP);
            IERR = 1;
            return;
        }
        slv::WRLHS(IUB[3], ALHS, nb, IERR);
        if (IERR != 0) return;
    }
    if (slv::SCRREWIND(IUB[0]) != 0 || slv::SCRREWIND(IUB[1]) != 0 || slv::SCRREWIND(IUB[3]) != 0) {
        ERRMSG(" Error reading LHS scratch file in SOLVE ", 0);
        IERR = 1;
    }
}

void BLKFACT(const int* IUB, const int& NEQN, const int& NBLK, const int& NBLKL, cplx* ALHS, int* IPIVB,
             const int& KCOMP, int& IERR) {
    IERR = 0;
    const int nblk = NBLOCKS(NEQN, NBLK, NBLKL);
    if (nblk == 0) {
        IERR = 1;
        return;
    }
    std::vector<char> rec;
    for (int b = 1; b <= nblk; ++b) {
        const int o = (b - 1) * NBLK;
        const int nb = b == nblk ? NBLKL : NBLK;
        const long nn = static_cast<long>(nb) * nb;
        if (!read_rec(IUB[2], rec, nn)) {
            ERRMSG(" Error reading LHS scratch file in SOLVE ", 0);
            IERR = 1;
            return;
        }
        copy_vals(rec, 0, ALHS, nn);
        thr::blas_for(nb);
        LUFACT(ALHS, IPIVB + o, nb, IERR);
        if (IERR != 0) {
            ERRMSG(" Error block iteration: singular LHS", KCOMP);
            IERR = 1;
            return;
        }
        slv::WRLHS(IUB[3], ALHS, nb, IERR);
        if (IERR != 0) return;
    }
    if (slv::SCRREWIND(IUB[3]) != 0) {
        ERRMSG(" Error reading LHS scratch file in SOLVE ", 0);
        IERR = 1;
    }
}

}  // namespace zorva
