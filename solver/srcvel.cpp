// Source-strength velocities: the velocity at every panel is the product of
// the velocity influence coefficients with the source strengths.  The
// coefficients arrive one border at a time (panel i against sources 1..i,
// source i against panels 1..i-1), so every entry of the product is
// complete once all borders have been read.
#include "solver/srcvel.hpp"

#include <algorithm>
#include <vector>

#include "common/farray.hpp"
#include "common/messages.hpp"
#include "common/types.hpp"
#include "main/runparams.hpp"
#include "main/symmetry.hpp"
#include "solver/matrices.hpp"
#include "solver/scrstore.hpp"

namespace zorva {

namespace {

// Allocates A as (n1, 3, n3) unless it already has that shape; then zeroes it.
bool prepare(Arr3<cplx>& A, long n1, long n3) {
    if (!(A.allocated() && A.extent(1) == n1 && A.extent(2) == 3 && A.extent(3) == n3)) {
        if (!A.allocate(n1, 3, n3)) return false;
    }
    A.fill(cplx(0.0f, 0.0f));
    return true;
}

// Reads one record of exactly n complex values into P.
bool read_values(std::vector<char>& buf, cplx* P, long n) {
    if (slv::scr_read(IUSRC, buf) != 0) return false;
    const std::size_t bytes = static_cast<std::size_t>(n) * sizeof(cplx);
    if (buf.size() != bytes) return false;
    if (bytes > 0) std::copy_n(buf.data(), bytes, reinterpret_cast<char*>(P));
    return true;
}

// Adds the border i of the product into V(:, c, col) for c = 1..3: sets row i
// from the coefficients B of sources 1..i and adds the coefficients C of
// source i times sigma_i into rows j < i.  B holds i values per velocity
// component, C i-1, as the records hold them.
void border_product(Arr3<cplx>& V, long col, const cplx* B, const cplx* C, const cplx* sigma, int i) {
    for (int c = 1; c <= 3; ++c) {
        const cplx* b = B + static_cast<long>(c - 1) * i;
        const cplx* cc = C + static_cast<long>(c - 1) * (i - 1);
        cplx s(0.0f, 0.0f);
        for (int j = 1; j <= i; ++j) s += b[j - 1] * sigma[j - 1];
        V(i, c, col) = s;
        const cplx si = sigma[i - 1];
        cplx* v = V.ptr(1, c, col);
        for (int j = 1; j < i; ++j) v[j - 1] += cc[j - 1] * si;
    }
}

}  // namespace

void POTSRCST(const int& NEQN, const int& IRAD, const int& IDIFF, const int& NBETAC, int& IERR) {
    IERR = 0;
    const long n = std::max(NEQN, 0);
    const int nsymc = sym::NSYMC;
    const int nsolc = std::max(sym::NSOLC, 0);

    // The velocity arrays keep their storage from one period to the next
    // when their shape is unchanged.
    Arr1<cplx> B, C;
    if (!prepare(run::VELRAD, n, nsolc) || !prepare(run::VELDIF, n, static_cast<long>(NBETAC) * nsymc) ||
        !B.allocate(3 * n) || !C.allocate(3 * n)) {
        ERRMSG(" RAM too small.  Reduce MAXSCR, NEQN, or set ISOR=0 ", 0);
        IERR = 1;
        return;
    }

    std::vector<char> buf;
    if (slv::SCRREWIND(IUSRC) != 0) {
        ERRMSG(" Error reading scratch file of source velocities in POTSRCST, UNIT=", IUSRC);
        IERR = 1;
        return;
    }
    const cplx* rhsmod = slv::RHSMOD.data();
    const cplx* rhssrc = slv::RHSSRC.data();
    for (int i = 1; i <= NEQN; ++i) {
        for (int k = 1; k <= nsymc; ++k) {
            // Records: B(1..i, 1..3), then C(1..i-1, 1..3), all first
            // components, then all second, then all third.
            if (!read_values(buf, B.data(), 3L * i) || !read_values(buf, C.data(), 3L * (i - 1))) {
                ERRMSG(" Error reading scratch file of source velocities in POTSRCST, UNIT=", IUSRC);
                IERR = 1;
                return;
            }
            if (IRAD != -1) {
                for (int m = 1; m <= sym::NMODSC[static_cast<std::size_t>(k)]; ++m) {
                    const int p = sym::IMODPOS(sym::IMODSC(m, k));
                    border_product(run::VELRAD, p, B.data(), C.data(), rhsmod + (p - 1) * n, i);
                }
            }
            if (IDIFF >= 0) {
                for (int ib = 1; ib <= NBETAC; ++ib) {
                    const long col = ib + static_cast<long>(NBETAC) * (k - 1);
                    border_product(run::VELDIF, col, B.data(), C.data(), rhssrc + (col - 1) * n, i);
                }
            }
        }
    }
    int ierr = 0;
    slv::SCRCLOSE(&IUSRC, 1, 0, ierr);
}

}  // namespace zorva
