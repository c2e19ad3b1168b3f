// The bodies' contributions at the field points, higher-order patches: for
// each point, knot span of a patch of the point's own fluid and image of
// the geometry, the Green-function moments of the span from FLDGRNHI,
// combined with the B-spline coefficients of the span (through their
// Taylor tables about the span centre) and the modal normals, summed over
// the symmetry components with their parity signs; potential
// representation, values times 4 pi.
#include <atomic>
#include <cmath>
#include <vector>

#include "common/threads.hpp"
#include "common/types.hpp"
#include "force/bodyprs.hpp"
#include "force/fieldpt.hpp"
#include "force/hopoints.hpp"
#include "geometry/model.hpp"
#include "geometry/modelmore.hpp"
#include "kernels/fldgrn.hpp"
#include "main/config.hpp"
#include "main/runparams.hpp"
#include "main/symmetry.hpp"
#include "p2f/forcedata.hpp"

namespace zorva {

namespace fho {

void span_sums(const float* x, int ti, float F, int IPERFL, bool grad, bool field, const SpanSink& sink, int& IERR) {
    using namespace frc;
    using namespace model;
    IERR = 0;
    const bool rad = IRAD >= 0, dif = NBETAF > 0 && IDIFF >= 0 && IPERFL == 0;
    const float logt = cfg::ILOG != 0 && IPERFL <= 0 ? -2.0f * static_cast<float>(cfg::ILOG) * std::log(F) : 0.0f;
    auto cls = [](int p) { return IDIPWM.allocated() && p <= IDIPWM.extent(1) ? IDIPWM(p) : 0; };
    auto tank = [](int p) { return ITANK.allocated() && p <= ITANK.extent(1) ? ITANK(p) : 0; };
    FldHi R;
    std::vector<cplx> cdk, cgdk;  // per coefficient of the span: moments combined with its B-spline
    int coff = 0, qoff = 0;
    for (int ip = 1; ip <= NPATCHT; ++ip) {
        const int c0ff = coff, q0ff = qoff;
        coff += NBU(ip) * NBV(ip);
        qoff += NU(ip) * NV(ip) * IQUI(ip) * IQVI(ip);
        if (IFSPAT(ip) == -1 || tank(ip) != ti) continue;
        const int ku = KU(ip), kv = KV(ip), nbu = NBU(ip), npuv = ku * kv, ib = IBPTH(ip);
        // Dipole class: the field points read it with dipoles or wavemakers
        // on and test its size (wavemaker classes -2, -3 skip images like 2,
        // 3 but keep their source terms); the control surface with dipoles.
        const int c = cfg::IDIPOLE != 0 ? cls(ip) : 0;
        const int ci = field ? std::abs(c) : c;
        const bool source = field ? c < 1 : c == 0;
        const float c0 = CSPHIB(1, ib), s0 = CSPHIB(2, ib);
        cdk.assign(static_cast<std::size_t>(npuv), {});
        cgdk.assign(3 * static_cast<std::size_t>(npuv), {});
        for (int iv = 1; iv <= NV(ip); ++iv)
            for (int iu = 1; iu <= NU(ip); ++iu) {
                const float ulo = HOTAB1(ku + iu - 1, ip), uhi = HOTAB1(ku + iu, ip);
                const float vlo = HOTAB2(kv + iv - 1, ip), vhi = HOTAB2(kv + iv, ip);
                const int nq = q0ff + ((iv - 1) * NU(ip) + iu - 1) * IQUI(ip) * IQVI(ip);
                for (int n = 1; n <= sym::NIMAGE; ++n) {
                    const int a = sym::IMAGEID[static_cast<std::size_t>(n)];
                    const float sxa = static_cast<float>(sym::ISGNX(a)), sya = static_cast<float>(sym::ISGNY(a));
                    if (cfg::IDIPOLE != 0 && n >= 2 && ((ci == 2 && sxa < 0.0f) || (ci == 3 && sya < 0.0f))) continue;
                    FLDGRNHI({sxa * x[0], sya * x[1], x[2]}, ti, ulo, uhi, vlo, vhi, ku, kv, IQUI(ip), IQVI(ip),
                             &HOTAB3(1, ip), &HOTAB4(1, ip), &HOTAB5(1, ip), &HOTAB6(1, ip), npuv, ib, F * HBOT, F,
                             grad ? 1 : 0, logt, ip, IPERFL, nq, R, IERR);
                    if (IERR != 0) return;
                    auto rot = [&](cplx* g) {
                        const cplx gx = g[0], gy = g[1];
                        g[0] = c0 * gx - s0 * gy;
                        g[1] = s0 * gx + c0 * gy;
                    };
                    if (grad)
                        for (int k = 1; k <= npuv; ++k) {
                            rot(&R.gdip(1, k));
                            for (int m = 1; m <= NMODT && rad; ++m) rot(&R.gsrc(1, k, m));
                        }
                    // The span's B-spline (a, b) as moments: its Taylor
                    // coefficients about the centre times the moments.
                    for (int b = 1; b <= kv; ++b)
                        for (int aa = 1; aa <= ku; ++aa) {
                            const auto e = static_cast<std::size_t>(aa - 1 + (b - 1) * ku);
                            cplx d{}, g[3]{};
                            for (int jv = 1; jv <= kv; ++jv)
                                for (int iu2 = 1; iu2 <= ku; ++iu2) {
                                    const float t = HOTAB7(aa + (iu2 - 1) * ku, iu, ip) * HOTAB8(b + (jv - 1) * kv, iv, ip);
                                    const int k = iu2 + (jv - 1) * ku;
                                    d += t * R.DIP[static_cast<std::size_t>(k - 1)];
                                    if (grad)
                                        for (int q = 0; q < 3; ++q) g[q] += t * R.gdip(q + 1, k);
                                }
                            cdk[e] = d;
                            for (int q = 0; q < 3; ++q) cgdk[3 * e + static_cast<std::size_t>(q)] = g[q];
                        }
                    // Sum over the span's coefficients of a column.
                    auto spansum = [&](auto&& coef, cplx& phi, cplx* g) {
                        phi = {};
                        g[0] = g[1] = g[2] = {};
                        for (int b = 1; b <= kv; ++b)
                            for (int aa = 1; aa <= ku; ++aa) {
                                const auto e = static_cast<std::size_t>(aa - 1 + (b - 1) * ku);
                                const cplx C = coef(c0ff + (iv + b - 2) * nbu + iu + aa - 1);
                                phi += C * cdk[e];
                                for (int q = 0; q < 3; ++q) g[q] += C * cgdk[3 * e + static_cast<std::size_t>(q)];
                            }
                    };
                    for (int k = 1; k <= sym::NSYMC; ++k) {
                        const int h = sym::ISYMC[static_cast<std::size_t>(k)];
                        const float sp = static_cast<float>(ISGNPZ(h, a));
                        const float sg[3] = {sxa * sp, sya * sp, sp};
                        cplx phi, g[3];
                        if (rad)
                            for (int bm = 1; bm <= sym::NMODSC[static_cast<std::size_t>(k)]; ++bm) {
                                const int m = sym::IMODSC(bm, k), p = sym::IMODPOS(m);
                                spansum([&](int cc) { return RADPOT(cc, p); }, phi, g);
                                cplx gv[3];
                                for (int d = 1; d <= 3; ++d)
                                    gv[d - 1] = grad ? sg[d - 1] * ((source ? R.gsrc(d, 1, m) : cplx{}) - g[d - 1]) : cplx{};
                                sink(k, 1, p, sp * ((source ? R.src(1, m) : cplx{}) - phi), gv);
                            }
                        if (dif)
                            for (int hb = 1; hb <= NBETAF; ++hb) {
                                spansum([&](int cc) { return DIFPOT(cc, hb, k); }, phi, g);
                                cplx gv[3];
                                for (int d = 1; d <= 3; ++d) gv[d - 1] = -sg[d - 1] * g[d - 1];
                                sink(k, 0, hb, -sp * phi, gv);
                            }
                    }
                }
            }
    }
}

}  // namespace fho

void FLDPTHI(float F, const int* /*NSYMRHS*/, int /*ONE*/, int IPERFL, int& IERR) {
    using namespace frc;
    const int o6 = run::IOPTN[6], o7 = run::IOPTN[7];
    const bool pot = o6 == 1, vel = o7 == 1;
    IERR = 0;
    if (!pot && !vel) return;
    std::atomic<int> failed{0};
    thr::parallel_for(NFIELD, [&](int ipt, int) {
        const int i = ipt + 1;
        if (failed.load() != 0) return;
        const float x[3] = {XFIELD(1, i) * model::ULENI, XFIELD(2, i) * model::ULENI, XFIELD(3, i) * model::ULENI};
        const int ti = IFPTANK.allocated() ? IFPTANK(i) : 0;
        // Radiation per column without the motion, times F; diffraction per
        // heading.
        auto sink = [&](int, int kind, int q, cplx v, const cplx* g) {
            const float f = kind == 1 ? F : 1.0f;
            if (pot) (kind == 1 ? PRADF(i, q) : PDIFF(i, q)) += f * v;
            if (vel)
                for (int d = 1; d <= 3; ++d) (kind == 1 ? VRADF(d, i, q) : VDIFF(d, i, q)) += f * g[d - 1];
        };
        int ierr = 0;
        fho::span_sums(x, ti, F, IPERFL, vel, true, sink, ierr);
        if (ierr != 0) failed = 1;
    });
    IERR = failed.load() != 0 ? 1 : 0;
}

}  // namespace zorva
