// Growth of the low-order panel arrays XVER, ITANK, IDIPWM and the mirror
// images of a body's panels about the symmetry planes the run does not use.
#include <algorithm>

#include "common/messages.hpp"
#include "geometry/model.hpp"
#include "geometry/modelin.hpp"
#include "main/config.hpp"

namespace zorva {

using namespace model;

namespace {

// One grow-and-keep step on a per-panel array (new entries 0): create,
// set the extent, delete entry K (N = -1) or insert one copy of entry K
// after it.
template <typename T, int R>
bool grow_panels(FArray<T, R>& a, int N, int K) {
    if (!a.allocated() || K <= 0) {
        const long n = std::max(N, 0);
        if constexpr (R == 1) return a.allocated() ? a.resize_keep(n) : a.allocate(n);
        else return a.allocated() ? a.resize_keep(4, 3, n) : a.allocate(4, 3, n);
    }
    return N == -1 ? delete_entry(a, K) : insert_copies(a, K, 1);
}

}  // namespace

void GROWXVER(int N, int K, int& IERR) {
    IERR = 0;
    if (!grow_panels(XVER, N, K)) {
        ERRMSG("Insufficient memory to allocate XVER array", 0);
        IERR = 1;
    }
}

void GROWTANK(int N, int K, int& IERR) {
    IERR = 0;
    if (!grow_panels(ITANK, N, K)) {
        ERRMSG("Memory insufficient for ITANK in GETIP", 0);
        IERR = 1;
    }
}

void GROWDIPW(int N, int K, int& IERR) {
    IERR = 0;
    if (!grow_panels(IDIPWM, N, K)) {
        ERRMSG("Memory insufficient for IDIPWM array in GETIP", 0);
        IERR = 1;
    }
}

void REFLPAN(int& NPAN, int IF, std::array<int, 2> IFLAG, int& IERR) {
    static constexpr int V[4] = {2, 1, 4, 3};
    IERR = 0;
    for (int a = 1; a <= 2; ++a) {
        if (IFLAG[static_cast<std::size_t>(a - 1)] != 1) continue;
        const int n = NPAN;
        const int last = IF + 2 * n - 1;
        // Room for one image of every panel; XVER, ITANK (and IDIPWM) stay
        // in step.
        bool ok = XVER.allocated() && XVER.extent(3) >= last ? true : XVER.resize_keep(4, 3, last);
        if (ok && (!ITANK.allocated() || ITANK.extent(1) < last)) ok = ITANK.resize_keep(last);
        if (ok && (IDIPSYM == 1 || cfg::IDIPOLE == 1) && (!IDIPWM.allocated() || IDIPWM.extent(1) < last))
            ok = IDIPWM.resize_keep(last);
        if (!ok) {
            ERRMSG("RAM too small for reflected panels", 0);
            IERR = 1;
            return;
        }
        const int inplane = a == 1 ? 2 : 3;  // dipole class of a panel in the reflection plane
        int q = IF + n - 1;
        for (int p = IF; p <= IF + n - 1; ++p) {
            if (cfg::IDIPOLE == 1 && IDIPWM(p) == inplane) {
                IDIPWM(p) = 1;  // the panel is its own image: one dipole sheet
                continue;
            }
            ++q;
            for (int k = 1; k <= 4; ++k)
                for (int c = 1; c <= 3; ++c) {
                    const float x = XVER(V[k - 1], c, p);
                    XVER(k, c, q) = c == a ? -x : x;
                }
            ITANK(q) = ITANK(p);
            if (cfg::IDIPOLE == 1) IDIPWM(q) = IDIPWM(p);
        }
        NPAN = q - IF + 1;
        if (q < last) {
            // Panels without an image: drop the unused room again.
            XVER.resize_keep(4, 3, q);
            ITANK.resize_keep(q);
            if (IDIPWM.allocated() && IDIPWM.extent(1) > q) IDIPWM.resize_keep(q);
        }
    }
}

}  // namespace zorva
