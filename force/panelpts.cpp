#include "force/panelpts.hpp"

#include "force/forceres.hpp"
#include "geometry/model.hpp"
#include "main/config.hpp"
#include "main/symmetry.hpp"
#include "panels/geomdata.hpp"
#include "panels/paneldata.hpp"

namespace zorva::fpan {

int panel_class(int i) {
    if (cfg::IDIPOLE == 0 || !model::IDIPWM.allocated() || i > model::IDIPWM.extent(1)) return 0;
    return model::IDIPWM(i);
}

int panel_tank(int i) {
    if (!model::ITANK.allocated() || i > model::ITANK.extent(1)) return 0;
    return model::ITANK(i);
}

int panel_points(int i, Point pts[4]) {
    float f = static_cast<float>(sym::NSYMF);
    if (panel_class(i) > 1) f *= 0.5f;
    if (cfg::IQUAD == 1) {
        for (int q = 1; q <= 4; ++q) {
            Point& p = pts[q - 1];
            for (int c = 1; c <= 3; ++c) p.x[c - 1] = pnl::XVERG(q, c, i);
            p.w = pnl::PNLARR2(q, i) * f;
            p.q = q;
        }
        return 4;
    }
    for (int c = 1; c <= 3; ++c) pts[0].x[c - 1] = pnl::PCENT(c, i);
    pts[0].w = pnl::PPROP(1, i) * f;
    pts[0].q = 0;
    return 1;
}

void set_vnwork(int i, const Point& p) {
    auto& V = frc::VNWORK;
    const int nm = model::NMODT;
    for (int m = 1; m <= nm; ++m) V(m) = pnl::VNMODE(m, i);
    if (p.q == 0) return;
    for (int ib = 1, k = 0; ib <= cfg::NBODY && k + 6 <= nm; k += 6 + (cfg::NEWMDS.allocated() ? cfg::NEWMDS(ib) : 0), ++ib)
        for (int c = 1; c <= 3; ++c)
            if (V(k + 3 + c) != 0.0f) V(k + 3 + c) = pnl::PNLARR1(p.q, c, i);
}

cplx sum_parts(const cplx* V, int kc) {
    cplx s{};
    for (int m = 1; m <= sym::NSYMD; ++m) s += V[sym::NSYMRHS[static_cast<std::size_t>(m + (kc - 1) * sym::NSYMD)]];
    return s;
}

}  // namespace zorva::fpan
