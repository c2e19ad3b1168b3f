// Added mass and damping of a period by integration of the radiation
// potentials over the wetted surface: A = integral of Re(phi) n, B = minus
// the integral of Im(phi) n, per pair of modes of one symmetry component.
#include "force/force.hpp"
#include "force/forceres.hpp"
#include "force/hopoints.hpp"
#include "force/panelpts.hpp"
#include "geometry/model.hpp"
#include "main/config.hpp"
#include "main/symmetry.hpp"
#include "p2f/forcedata.hpp"
#include "panels/paneldata.hpp"

namespace zorva {

void AMDPINT() {
    // The wavemaker forces of option 2 may need the matrices without
    // options 1 and 4, for which the set-up made them.
    const int nm = model::NMODT;
    for (auto* a : {&frc::AMAT, &frc::BMAT})
        if (!a->allocated() || a->extent(1) < nm || a->extent(2) < nm) a->allocate(nm, nm);
    frc::AMAT.fill(0.0f);
    frc::BMAT.fill(0.0f);
    if (cfg::ILOWHI == 0)
        AMDPLO();
    else
        AMDPHI();
}

void AMDPLO() {
    using frc::AMAT;
    using frc::BMAT;
    using frc::RADPOT;
    AMAT.fill(0.0f);
    BMAT.fill(0.0f);
    if (model::IRAD < 0) return;
    const float nsymf = static_cast<float>(sym::NSYMF);
    for (int p = 1; p <= model::NEQN; ++p) {
        float w0 = pnl::PPROP(1, p) * nsymf;
        if (fpan::panel_class(p) > 1) w0 *= 0.5f;
        const int t = fpan::panel_tank(p);
        if (t > 0) w0 *= cfg::RHOTANK(t);
        for (int k = 1; k <= sym::NSYMC; ++k) {
            const int nk = sym::NMODSC[static_cast<std::size_t>(k)];
            for (int a = 1; a <= nk; ++a) {
                const int m = sym::IMODSC(a, k);
                const int r = sym::IMODPOS(m);
                const float w = w0 * pnl::VNMODE(m, p);
                for (int b = 1; b <= nk; ++b) {
                    const int q = sym::IMODPOS(sym::IMODSC(b, k));
                    const cplx phi = RADPOT(p, q);
                    AMAT(r, q) += phi.real() * w;
                    BMAT(r, q) -= phi.imag() * w;
                }
            }
        }
    }
}

void AMDPHI() {
    using frc::AMAT;
    using frc::BMAT;
    if (model::IRAD < 0) return;
    const float nsymf = static_cast<float>(sym::NSYMF);
    fho::for_each(false, [&](const fho::Point& q) {
        float w = q.w * nsymf;
        if (q.cls > 1) w *= 0.5f;
        if (q.tank > 0) w *= cfg::RHOTANK(q.tank);
        for (int k = 1; k <= sym::NSYMC; ++k) {
            const int nk = sym::NMODSC[static_cast<std::size_t>(k)];
            for (int b = 1; b <= nk; ++b) {
                const int q2 = sym::IMODPOS(sym::IMODSC(b, k));
                const cplx phi = fho::potential(q, frc::RADPOT.ptr(1, q2));
                for (int a = 1; a <= nk; ++a) {
                    const int m = sym::IMODSC(a, k);
                    const float wn = w * model::VNQP(m, q.pt);
                    AMAT(sym::IMODPOS(m), q2) += phi.real() * wn;
                    BMAT(sym::IMODPOS(m), q2) -= phi.imag() * wn;
                }
            }
        }
    });
}

}  // namespace zorva
