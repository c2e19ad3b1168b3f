#include "solver/assembly_store.hpp"

#include <algorithm>

#include "common/messages.hpp"
#include "geometry/model.hpp"
#include "main/config.hpp"
#include "solver/matrices.hpp"
#include "solver/scrstore.hpp"
#include "solver/srcvel.hpp"

namespace zorva {

namespace {
// Unit list starting at IUNIT(k) (1-based).
const int* units_from(int k) { return &slv::IUNIT[k - 1]; }
}  // namespace

int Store::open(int neqn, int nsymc, Arr2<cplx>& alhs) {
    neqn_ = neqn;
    nsymc_ = nsymc;
    alhs_ = &alhs;
    set_ = 1;
    packed_ = 0;
    int ierr = 0;
    if (cfg::ISOLVE >= 2) {
        nblk_ = model::NBLKSZ;
        nblkl_ = model::NBLKLAST;
        maxscr_ = nblk_;
    } else {
        maxscr_ = cfg::ISOLVE == 1 ? neqn : std::min(cfg::MAXSCR, neqn);
    }
    if (static_cast<long>(alhs.size()) < static_cast<long>(maxscr_) * maxscr_ || (cfg::ISOLVE >= 2 && nblk_ < 1)) {
        ERRMSG(" RAM too small.  Reduce MAXSCR ", 0);
        return 1;
    }
    if (cfg::ISOLVE >= 2)
        slv::SCROPEN(units_from(2), nsymc + 2, ierr);
    else if (nsymc > 1)
        slv::SCROPEN(units_from(2), nsymc - 1, ierr);
    if (ierr == 0 && cfg::ISOR == 1) {
        slv::SCROPEN(units_from(9), nsymc, ierr);
        if (ierr == 0) {
            int iusrc = IUSRC;
            slv::SCROPEN(&iusrc, 1, ierr);
            if (ierr != 0) ERRMSG("Error opening scratch file, subroutine WAVEGR, UNIT=", IUSRC);
        }
    }
    return ierr;
}

int Store::deliver_src(int i, Arr2<cplx>& row, Arr2<cplx>& col, Arr3<cplx>& vrow, Arr3<cplx>& vcol) {
    for (int k = 1; k <= nsymc_; ++k) {
        if (row(i, k) == cplx(0.0f, 0.0f)) {
            ERRMSG(" Zero diagonal of the source-strength matrix, panel", i);
            return 1;
        }
        if (cfg::ISOLVE == 0) row(i, k) = 1.0f / row(i, k);
    }
    int ierr = 0;
    slv::WRLHSB(units_from(8 + set_), &row(1, 1), &col(1, 1), neqn_, i, 1, nsymc_, ierr);
    if (ierr == 0) slv::VWRITE(IUSRC, vrow.data(), vcol.data(), neqn_, i, nsymc_, ierr);
    return ierr;
}

int Store::switch_at(int i) {
    if (cfg::ISOLVE != 0 || i != maxscr_ + 1) return 0;
    // The first set keeps rows 1..MAXSCR of components 2.. for the solver;
    // every component's later rows go to the second set.
    set_ = nsymc_ + 1;
    int ierr = 0;
    slv::SCROPEN(units_from(set_), nsymc_, ierr);
    if (ierr == 0 && cfg::ISOR == 1) slv::SCROPEN(units_from(8 + set_), nsymc_, ierr);
    return ierr;
}

int Store::deliver(int i, Arr2<cplx>& row, Arr2<cplx>& col) {
    // A zero diagonal makes the system singular: stop before a reciprocal or
    // a factorisation turns it into infinities.
    for (int k = 1; k <= nsymc_; ++k) {
        if (row(i, k) == cplx(0.0f, 0.0f)) {
            ERRMSG(" Zero diagonal of the influence matrix, panel", i);
            return 1;
        }
        if (cfg::ISOLVE == 0) row(i, k) = 1.0f / row(i, k);
    }
    cplx* a = alhs_->data();
    int ierr = 0;
    int k0 = 2;
    if (cfg::ISOLVE == 1) {
        slv::SETBORD(a, &row(1, 1), &col(1, 1), i, neqn_);
    } else if (cfg::ISOLVE == 0) {
        if (set_ == 1) {
            for (int j = 1; j <= i; ++j) a[packed_++] = row(j, 1);
            for (int j = 1; j < i; ++j) a[packed_++] = col(j, 1);
        } else {
            k0 = 1;
        }
    } else {
        const int b = (i - 1) / nblk_;
        const int nb = b == cfg::ISOLVE - 1 ? nblkl_ : nblk_;
        const int r0 = b * nblk_;
        if (r0 > 0) {
            slv::WRVEC2(units_from(nsymc_ + 1), &row(1, 1), &col(1, 1), neqn_, r0, ierr);
            if (ierr != 0) return 1;
        }
        slv::SETBORD(a, &row(r0 + 1, 1), &col(r0 + 1, 1), i - r0, nb);
        if (i % nblk_ == 0 || i == neqn_) {
            slv::WRLHS(slv::IUNIT[nsymc_ + 2], a, nb, ierr);
            if (ierr != 0) return 1;
        }
    }
    if (k0 <= nsymc_) slv::WRLHSB(units_from(set_), &row(1, 1), &col(1, 1), neqn_, i, k0, nsymc_, ierr);
    return ierr;
}

}  // namespace zorva
