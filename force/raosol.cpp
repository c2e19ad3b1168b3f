// Motions of the bodies for one period: the equations of motion with the
// body mass and external matrices, added mass and damping and the
// restoring matrix, solved for every heading (or wavemaker mode).  Modes
// held fixed are left out of the system and receive the force that holds
// them.
#include <algorithm>
#include <vector>

#include "common/freeread.hpp"
#include "common/messages.hpp"
#include "force/force.hpp"
#include "force/forceres.hpp"
#include "geometry/model.hpp"
#include "main/config.hpp"
#include "main/symmetry.hpp"
#include "p2f/forcedata.hpp"
#include "panels/geomdata.hpp"
#include "solver/lufact.hpp"

namespace zorva {

namespace {

constexpr int IURAO = 45;

float ext(int k, int n, int m) {
    const auto& E = frc::EXTMATND;
    if (!E.allocated() || n > E.extent(2) || m > E.extent(3)) return 0.0f;
    return E(k, n, m);
}

float chyd(int m, int n) {
    const auto& C = pnl::CHYD;
    if (!C.allocated() || m > C.extent(1) || n > C.extent(2)) return 0.0f;
    return C(m, n);
}

}  // namespace

void RAOSOL(float WNUMNU, float PER, Arr2<cplx>& F, int& IERR) {
    using frc::RAO;
    IERR = 0;
    const float nu = WNUMNU;
    const float w1 = PER * 0.15915494f;
    const int nbd = frc::NMODBD;
    // Columns: headings or wavemaker modes, as far as the force array holds
    // them (the pressure-integration forces have heading columns only).
    const int ncol = std::min<int>(std::max(model::NBETA, frc::NMODWM), static_cast<int>(F.extent(2)));
    const bool list = frc::MODE.allocated();

    auto modec = [](int r) { return frc::MODEC.allocated() ? frc::MODEC(r) : 1; };
    // Element (r, s) of the system, by solution positions.
    auto zel = [&](int r, int s) {
        const int mr = sym::IMODORD(r), ms = sym::IMODORD(s);
        return cplx(-nu * (frc::AMAT(r, s) + ext(1, ms, mr)) + chyd(mr, ms) + ext(3, ms, mr),
                    nu * (frc::BMAT(r, s) + w1 * ext(2, ms, mr)));
    };

    std::vector<int> freep;
    for (int r = 1; r <= nbd; ++r)
        if (!list || modec(r) != 0) freep.push_back(r);
    const int nf = static_cast<int>(freep.size());

    std::vector<cplx> Z(static_cast<std::size_t>(nf) * static_cast<std::size_t>(nf));
    std::vector<int> ipiv(static_cast<std::size_t>(std::max(nf, 1)));
    for (int b = 0; b < nf; ++b)
        for (int a = 0; a < nf; ++a) Z[static_cast<std::size_t>(a + b * nf)] = zel(freep[a], freep[b]);
    if (nf >= 1) {
        int ierr = 0;
        LUFACT(Z.data(), ipiv.data(), nf, ierr);
        if (ierr != 0) {
            ERRMSG("Error -- singular matrix in RAO solution", 0);
            IERR = 1;
            return;
        }
    }

    std::vector<cplx> rhs(static_cast<std::size_t>(std::max(nf, 1))), x(rhs.size());
    for (int j = 1; j <= ncol; ++j) {
        for (int a = 0; a < nf; ++a) rhs[static_cast<std::size_t>(a)] = F(freep[a], j);
        if (nf >= 1) LUSOLV(Z.data(), rhs.data(), x.data(), ipiv.data(), nf, 0);
        for (int r = 1; r <= nbd; ++r) RAO(r, j) = cplx{};
        for (int a = 0; a < nf; ++a) RAO(freep[a], j) = x[static_cast<std::size_t>(a)];
        if (!list) continue;
        // Restraint force of each fixed mode.
        for (int r = 1; r <= nbd; ++r) {
            if (modec(r) != 0) continue;
            cplx s{};
            for (int a = 0; a < nf; ++a) s += zel(r, freep[a]) * RAO(freep[a], j);
            RAO(r, j) = F(r, j) - s;
        }
    }

    if (frc::NMODWM > 0)
        for (int j = 1; j <= ncol; ++j)
            for (int r = nbd + 1; r <= sym::NSOLC; ++r) RAO(r, j) = cplx(1.0f, 0.0f);

    if (cfg::IREADRAO == 2) {
        for (int j = 1; j <= model::NBETA; ++j)
            for (int r = 1; r <= nbd; ++r) {
                if (modec(r) == 0) continue;
                float per = 0.0f, beta = 0.0f, v[4] = {};
                int I = 0;
                const int st = fread::read_group(IURAO, {fread::R(per), fread::R(beta), fread::I(I), fread::R(v, 4)});
                if (st != 0 || I < 1 || I > model::NMODT || sym::IMODPOS(I) < 1) {
                    ERRMSG("Error reading .RAO file, heading ", j);
                    IERR = 1;
                    return;
                }
                RAO(sym::IMODPOS(I), j) = cplx(v[2], v[3]);
            }
    }
}

}  // namespace zorva
