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

bool Store::in_memory(int i) const { return cfg::ISOLVE == 1 || (cfg::ISOLVE == 0 && i <= maxscr_); }

void Store::place(int i, const cplx* row, const cplx* col, int j0, int j1) {
    cplx* a = alhs_->data();
    const auto ui = static_cast<std::size_t>(i);
    const int jr = std::min(j1, i), jc = std::min(j1, i - 1);
    if (cfg::ISOLVE == 1) {
        // Row part along row i, column part down column i.
        const auto ld = static_cast<std::size_t>(neqn_);
        for (int j = j0; j <= jr; ++j) a[(ui - 1) + static_cast<std::size_t>(j - 1) * ld] = row[j - 1];
        cplx* c = a + (ui - 1) * ld;
        for (int j = j0; j <= jc; ++j) c[j - 1] = col[j - 1];
        return;
    }
    // Packed borders: record i at positions (i-1)^2 + 1 .. i^2.
    cplx* p = a + (ui - 1) * (ui - 1);
    for (int j = j0; j <= jr; ++j) p[j - 1] = row[j - 1];
    for (int j = j0; j <= jc; ++j) p[ui + static_cast<std::size_t>(j - 1)] = col[j - 1];
}

void Store::place_rows(int i0, int nr, const cplx* const* row, const cplx* const* col, int j0, int j1) {
    if (cfg::ISOLVE != 1) {
        for (int r = 0; r < nr; ++r) place(i0 + r, row[r], col[r], j0, j1);
        return;
    }
    // Row parts: down each column j, the rows i >= j of the set.
    cplx* a = alhs_->data();
    const auto ld = static_cast<std::size_t>(neqn_);
    for (int j = j0; j <= std::min(j1, i0 + nr - 1); ++j) {
        cplx* c = a + static_cast<std::size_t>(j - 1) * ld;
        for (int r = std::max(0, j - i0); r < nr; ++r) c[i0 + r - 1] = row[r][j - 1];
    }
    // Column parts: down column i.
    for (int r = 0; r < nr; ++r) {
        const int i = i0 + r;
        cplx* c = a + static_cast<std::size_t>(i - 1) * ld;
        for (int j = j0; j <= std::min(j1, i - 1); ++j) c[j - 1] = col[r][j - 1];
    }
}

int Store::deliver(int i, Arr2<cplx>& row, Arr2<cplx>& col) {
    cplx* a = alhs_->data();
    int ierr = 0;
    int k0 = 2;
    if (cfg::ISOLVE == 0 && !in_memory(i)) {
        k0 = 1;
    } else if (cfg::ISOLVE >= 2) {
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
