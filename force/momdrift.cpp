// Mean drift force and yaw moment by momentum conservation in the far
// field: products of the far-field amplitude functions (Kochin functions)
// of the radiated and scattered waves, averaged over the angle of
// radiation, plus the interaction of each incident wave with the waves
// scattered in its own direction.
#include <algorithm>
#include <cmath>
#include <vector>

#include "common/messages.hpp"
#include "force/force.hpp"
#include "force/forceres.hpp"
#include "force/hopoints.hpp"
#include "force/panelpts.hpp"
#include "geometry/model.hpp"
#include "main/config.hpp"
#include "main/symmetry.hpp"
#include "p2f/forcedata.hpp"
#include "panels/paneldata.hpp"
#include "solver/incwave.hpp"

namespace zorva {

namespace {

// Contribution of one integration point (x, weight w, class cls; normal
// already in the plane-wave input) to the far-field amplitudes: vn(m) the
// modal normal, rad(jc) and dif(j, kc) the potentials at the point.
template <typename VN, typename RAD, typename DIF>
void kochin_point(float K, float SINT, float COST, int IH1, int IH2, const float* x, const float* nrm, float w, int cls, VN vn, RAD rad,
                  DIF dif) {
    using namespace frc;
    PlaneWave W;
    PLNWAVE(K, SINT, COST, x, nrm, W);
    for (int kc = 1; kc <= sym::NSYMC; ++kc) {
        const cplx s0 = fpan::sum_parts(W.PHIINC, kc);
        const cplx s1 = fpan::sum_parts(W.DPHI, kc);
        const cplx s2 = fpan::sum_parts(W.RPHI, kc);
        const cplx s3 = fpan::sum_parts(W.SPHI, kc);
        if (model::IRAD >= 0) {
            for (int a = 1; a <= sym::NMODSC[static_cast<std::size_t>(kc)]; ++a) {
                const int m = sym::IMODSC(a, kc);
                const int jc = sym::IMODPOS(m);
                const cplx phi = rad(jc);
                if (cls == 0) {
                    KOCHR1(jc) += w * (s0 * vn(m) - s1 * phi);
                    KOCHR2(jc) += w * (s2 * vn(m) - s3 * phi);
                } else {
                    KOCHR1(jc) -= w * s1 * phi;
                    KOCHR2(jc) -= w * s3 * phi;
                }
            }
        }
        if (model::IDIFF != -1) {
            for (int j = IH1; j <= IH2; ++j) {
                const cplx phi = dif(j, kc);
                KOCHD1(j) -= w * s1 * phi;
                KOCHD2(j) -= w * s3 * phi;
            }
        }
    }
}

void kochin_zero() {
    frc::KOCHR1.fill(cplx{});
    frc::KOCHR2.fill(cplx{});
    frc::KOCHD1.fill(cplx{});
    frc::KOCHD2.fill(cplx{});
}

}  // namespace

void KOCHIN2(float K, float SINT, float COST, int IH1, int IH2) {
    using namespace frc;
    kochin_zero();
    const int ih2 = std::min<int>(IH2, static_cast<int>(DIFPOT.extent(2)));
    fpan::Point pts[4];
    for (int i = 1; i <= model::NEQN; ++i) {
        if (fpan::panel_tank(i) > 0) continue;
        const int cls = fpan::panel_class(i);
        const float nrm[3] = {pnl::PAXES(3, 1, i), pnl::PAXES(3, 2, i), pnl::PAXES(3, 3, i)};
        const int np = fpan::panel_points(i, pts);
        for (int ip = 0; ip < np; ++ip) {
            const fpan::Point& pt = pts[ip];
            fpan::set_vnwork(i, pt);
            kochin_point(
                K, SINT, COST, IH1, ih2, pt.x, nrm, pt.w, cls, [](int m) { return VNWORK(m); },
                [i](int jc) { return RADPOT(i, jc); }, [i](int j, int kc) { return DIFPOT(i, j, kc); });
        }
    }
}

void KOCHIN1(float K, float SINT, float COST, int IH1, int IH2) {
    using namespace frc;
    kochin_zero();
    const int ih2 = std::min<int>(IH2, static_cast<int>(DIFPOT.extent(2)));
    const float nsymf = static_cast<float>(sym::NSYMF);
    fho::for_each(true, [&](const fho::Point& q) {
        const float w = q.w * nsymf * (q.cls > 1 ? 0.5f : 1.0f);
        kochin_point(
            K, SINT, COST, IH1, ih2, q.x, q.n, w, q.cls, [&q](int m) { return model::VNQP(m, q.pt); },
            [&q](int jc) { return fho::potential(q, RADPOT.ptr(1, jc)); },
            [&q](int j, int kc) { return fho::potential(q, DIFPOT.ptr(1, j, kc)); });
    });
}

namespace {

// Kochin functions at angle theta and the totals for headings IH1..IH2.
void kochin_total(float K, float nu, float s, float c, int IH1, int IH2) {
    using namespace frc;
    if (cfg::ILOWHI == 1)
        KOCHIN1(K, s, c, IH1, IH2);
    else
        KOCHIN2(K, s, c, IH1, IH2);
    for (int i = IH1; i <= IH2; ++i) {
        cplx t1 = KOCHD1(i), t2 = KOCHD2(i);
        for (int jc = 1; jc <= sym::NSOLC; ++jc) {
            t1 += nu * RAO(jc, i) * KOCHR1(jc);
            t2 += nu * RAO(jc, i) * KOCHR2(jc);
        }
        KOCHT1(i) = t1;
        KOCHT2(i) = t2;
    }
}

}  // namespace

void MOMDRIFT(float WNUMNU, float WNUMK, int IOPTN8) {
    using namespace frc;
    const float nu = WNUMNU, K = WNUMK;
    const int NH = NBETAF;
    constexpr float TWOPI = 6.2831855f;
    constexpr float TOL = 0.0001f;

    // 1. Coefficients of the far-field integrals and incident-wave terms.
    float c0, c1, cM, cF;
    const float h = model::HBOT;
    if (h < 0.0f) {
        c0 = 0.25f;
        c1 = 0.25f / nu;
        cM = 0.125f;
        cF = 0.25f * nu;
    } else {
        const float kh = K * h, nh = nu * h;
        c0 = 0.25f * kh / nh;
        c1 = c0 / K;
        cM = 0.5f * c0 * kh / (kh * kh + nh - nh * nh);
        cF = 2.0f * cM * K;
    }

    // 2. Heading pairs.
    std::vector<std::pair<int, int>> pr;
    if (IOPTN8 == 1) {
        for (int i = 1; i <= NH; ++i) pr.emplace_back(i, i);
    } else {
        for (int i = 1; i <= NH; ++i)
            for (int j = i; j <= NH; ++j) pr.emplace_back(i, j);
    }
    const int NP = static_cast<int>(pr.size());
    auto pairno = [NH](int I, int J) { return (I - 1) * NH - (I - 1) * (I - 2) / 2 + (J - I + 1); };
    Arr2<float> DRIFTERR(3, std::max(NP, 1));
    DRIFTERR.fill(0.0f);
    for (int k = 1; k <= NP; ++k)
        for (int r = 1; r <= 3; ++r) DRIFTM(r, k) = DRIFTS(r, k) = cplx{};

    // 3. Angular mean, refined by halving the spacing of the angles.
    if (cfg::MAXMIT >= 0) {
        int n = 0, N = 1;
        float theta0 = 0.0f, dtheta = TWOPI, w = 1.0f;
        bool stopped = false;
        for (;;) {
            for (int p = 1; p <= N; ++p) {
                const float th = static_cast<float>(p - 1) * dtheta + theta0;
                const float ct = std::cos(th), st = std::sin(th);
                kochin_total(K, nu, st, ct, 1, NH);
                for (int k = 1; k <= NP; ++k) {
                    const auto [I, J] = pr[static_cast<std::size_t>(k - 1)];
                    const cplx t = w * KOCHT1(I) * std::conj(KOCHT1(J));
                    DRIFTS(1, k) += ct * t;
                    DRIFTS(2, k) += st * t;
                    DRIFTS(3, k) += w * (KOCHT2(I) * std::conj(KOCHT1(J)) - KOCHT1(I) * std::conj(KOCHT2(J)));
                }
            }
            for (int k = 1; k <= NP; ++k)
                for (int r = 1; r <= 3; ++r) {
                    const float d = std::abs(DRIFTM(r, k) - DRIFTS(r, k));
                    const float s = std::abs(DRIFTS(r, k));
                    DRIFTERR(r, k) = s > 1.0f ? d / s : d;
                    DRIFTM(r, k) = DRIFTS(r, k);
                }
            if (n > 2) {
                int nconv = 0;
                for (int k = 1; k <= NP; ++k)
                    if (std::max({DRIFTERR(1, k), DRIFTERR(2, k), DRIFTERR(3, k)}) < TOL) ++nconv;
                if (nconv == NP) break;
            }
            for (int k = 1; k <= NP; ++k)
                for (int r = 1; r <= 3; ++r) DRIFTS(r, k) *= 0.5f;
            w *= 0.5f;
            if (n > 0) N *= 2;
            ++n;
            dtheta = TWOPI / static_cast<float>(N);
            theta0 = dtheta / 2.0f;
            if (n > cfg::MAXMIT) {
                stopped = true;
                break;
            }
        }
        // 4. Warnings for the results that did not settle.
        if (stopped) {
            static const char* const row[3] = {"Dx", "Dy", "Mz"};
            for (int k = 1; k <= NP; ++k)
                for (int r = 1; r <= 3; ++r)
                    if (DRIFTERR(r, k) > TOL) {
                        const auto [I, J] = pr[static_cast<std::size_t>(k - 1)];
                        ERRMSG(std::string(" WARNING -- no convergence in momentum ") + row[r - 1] + " for headings I=", I);
                        ERRMSG(std::string(51, ' ') + "and J=", J);
                    }
        }
    }

    // 5. Scaling of the far-field integrals.
    for (int k = 1; k <= NP; ++k) {
        DRIFTM(1, k) *= cF;
        DRIFTM(2, k) *= cF;
        DRIFTM(3, k) *= cplx(0.0f, -cM);
    }

    // 6. Incident-wave interaction terms.
    if (model::IDIFF == -1) return;
    const cplx I1(0.0f, 1.0f);
    for (int i = 1; i <= NH; ++i) {
        const float c = model::COSBETA(i), s = model::SINBETA(i);
        const int ih1 = IOPTN8 == 1 ? i : 1, ih2 = IOPTN8 == 1 ? i : NH;
        kochin_total(K, nu, -s, -c, ih1, ih2);
        if (IOPTN8 == 1) {
            const int k = i;
            DRIFTM(1, k) += -2.0f * c0 * c * KOCHT1(i).imag();
            DRIFTM(2, k) += -2.0f * c0 * s * KOCHT1(i).imag();
            DRIFTM(3, k) -= 2.0f * c1 * KOCHT2(i).real();
            continue;
        }
        for (int j = i; j <= NH; ++j) {
            const int k = pairno(i, j);
            DRIFTM(1, k) += -I1 * c0 * c * std::conj(KOCHT1(j));
            DRIFTM(2, k) += -I1 * c0 * s * std::conj(KOCHT1(j));
            DRIFTM(3, k) -= c1 * std::conj(KOCHT2(j));
        }
        for (int ip = 1; ip <= i; ++ip) {
            const int k = pairno(ip, i);
            DRIFTM(1, k) += I1 * c0 * c * KOCHT1(ip);
            DRIFTM(2, k) += I1 * c0 * s * KOCHT1(ip);
            DRIFTM(3, k) -= c1 * KOCHT2(ip);
        }
    }
}

}  // namespace zorva
