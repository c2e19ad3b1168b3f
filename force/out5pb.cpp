// Whole-body B-spline coefficient sets of a period and their list-directed
// records in "optn.5pb": total (diffraction plus motion-weighted
// radiation), diffraction and radiation coefficients per physical copy.
#include <string>

#include "common/channels.hpp"
#include "common/fmtwrite.hpp"
#include "common/messages.hpp"
#include "force/bodyprs.hpp"
#include "force/force.hpp"
#include "force/forceres.hpp"
#include "geometry/model.hpp"
#include "geometry/modelmore.hpp"
#include "main/runparams.hpp"
#include "main/symmetry.hpp"
#include "p2f/forcedata.hpp"

namespace zorva {

namespace {
int img(int f) { return sym::ISYMF[static_cast<std::size_t>(f)]; }
int cls(int k) { return sym::ISYMC[static_cast<std::size_t>(k)]; }
// Component holding mode m (0 when none does).
int component_of(int m) {
    for (int k = 1; k <= sym::NSYMC; ++k)
        for (int a = 1; a <= sym::NMODSC[static_cast<std::size_t>(k)]; ++a)
            if (sym::IMODSC(a, k) == m) return k;
    return 0;
}
bool mode_off(int m) { return frc::MODE.allocated() && m >= 1 && m <= frc::MODE.extent(1) && frc::MODE(m) == 0; }
}  // namespace

void BPVSUM(float WNUMNU, int IPERFL, CoefSets& C) {
    using namespace frc;
    const int ne = model::NEQN, nsymf = sym::NSYMF, nsymc = sym::NSYMC, nh = NBETA0, ns = sym::NSOLC;
    const bool rad = model::IRAD >= 0, dif = IPERFL == 0 && model::IDIFF >= 0;
    C = CoefSets{};
    if (dif && rad) C.CTOT.allocate(ne, nsymf, nh);
    if (dif) C.CDIF.allocate(ne, nsymf, nh);
    if (rad) C.CRAD.allocate(ne, ns, nsymf);
    for (auto* a : {&C.CTOT, &C.CDIF, &C.CRAD})
        if (a->allocated()) a->fill(cplx{});
    for (int f = 1; f <= nsymf; ++f)
        for (int k = 1; k <= nsymc; ++k) {
            const float e = static_cast<float>(ISGNPZ(cls(k), img(f)));
            if (!dif) continue;
            for (int j = 1; j <= nh; ++j)
                for (int n = 1; n <= ne; ++n) {
                    const cplx d = e * DIFPOT(n, j, k);
                    C.CDIF(n, f, j) += d;
                    if (!rad) continue;
                    cplx t = d;
                    for (int a = 1; a <= sym::NMODSC[static_cast<std::size_t>(k)]; ++a) {
                        const int q = sym::IMODPOS(sym::IMODSC(a, k));
                        t += e * WNUMNU * XIMOD(q, j) * RADPOT(n, q);
                    }
                    C.CTOT(n, f, j) += t;
                }
        }
    if (!rad) return;
    for (int col = 1; col <= ns; ++col) {
        const int m = MODNUM(col);
        if (mode_off(m)) continue;
        const int k = component_of(m);
        if (k == 0) continue;
        const int q = sym::IMODPOS(m);
        for (int f = 1; f <= nsymf; ++f) {
            const float e = static_cast<float>(ISGNPZ(cls(k), img(f)));
            for (int n = 1; n <= ne; ++n) C.CRAD(n, q, f) = e * RADPOT(n, q);
        }
    }
}

void OUT5PB(float PER, float WNUMK, float WNUMNU, int IPERFL, int IUNUM, std::string_view NAME, CoefSets& C,
            int& IERR) {
    using namespace model;
    IERR = 0;
    OPNAPND(IUNUM, NAME, IERR);
    if (IERR != 0) {
        C = CoefSets{};
        return;
    }
    int st = fmt::write_list(IUNUM, {PER, WNUMK, WNUMNU, IPERFL});
    const int nsymf = sym::NSYMF;
    // The records of one coefficient column per copy and patch; patches
    // marked -1 are left out but keep their place in the numbering.
    auto patches = [&](auto&& column) {
        for (int k = 1; k <= nsymf; ++k) {
            int joff = 0;
            for (int p = 1; p <= NPATCHT; ++p) {
                const int n = NBU(p) * NBV(p);
                if (IFSPAT(p) != -1) st |= fmt::write_list(IUNUM, {std::span<const cplx>(column(k) + joff, n)});
                joff += n;
            }
        }
    };
    const bool both = IPERFL == 0 && IRAD >= 0 && IDIFF >= 0;
    if (both) {
        const int nm = NMODT;
        for (int ih = 1; ih <= frc::NBETA0; ++ih) {
            std::span<const cplx> r = nm > 0 ? std::span<const cplx>(&frc::RAO(1, ih), nm) : std::span<const cplx>();
            st |= fmt::write_list(IUNUM, {r});
        }
        for (int ih = 1; ih <= frc::NBETA0; ++ih) patches([&](int k) { return &C.CTOT(1, k, ih); });
    }
    C.CTOT.deallocate();
    if (IPERFL == 0 && IDIFF >= 0)
        for (int ih = 1; ih <= frc::NBETA0; ++ih) patches([&](int k) { return &C.CDIF(1, k, ih); });
    C.CDIF.deallocate();
    if (IRAD >= 0)
        for (int m = 1; m <= sym::NSOLC; ++m) {
            const int M = frc::MODNUM(frc::MODCOL(m));
            if (mode_off(M)) continue;
            st |= fmt::write_list(IUNUM, {M});
            const int q = sym::IMODPOS(M);
            patches([&](int k) { return &C.CRAD(1, q, k); });
        }
    C.CRAD.deallocate();
    if (st == 0) st = chan::flush(IUNUM);
    chan::close(IUNUM);
    if (st != 0) {
        ERRMSG("Error writing numeric output file " + std::string(NAME) + ", UNIT=", IUNUM);
        IERR = 1;
    }
}

}  // namespace zorva
