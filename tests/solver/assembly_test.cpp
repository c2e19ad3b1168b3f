// Low-order assembly and direct solution of whole periods on submerged
// bodies, against closed forms and against the same body solved without
// symmetry.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <vector>

#include "common/channels.hpp"
#include "geometry/model.hpp"
#include "main/config.hpp"
#include "main/drivers/drivers.hpp"
#include "main/runparams.hpp"
#include "main/symmetry.hpp"
#include "panels/paneldata.hpp"
#include "solver/assembly.hpp"
#include "solver/matrices.hpp"
#include "solver/rankin.hpp"
#include "solver/scrstore.hpp"
#include "solver/incrhs.hpp"
#include "solver/solve.hpp"
#include "kernels/wgsetup.hpp"
#include "kernels/wgreenv.hpp"
#include "solver/srcvel.hpp"
#include "common/threads.hpp"
#include "tests/support/lowbody.hpp"
#include "tests/support/panelfix.hpp"
#include "tests/support/testdir.hpp"

namespace zorva {
namespace {

using test::LowPanel;
using cd = std::complex<double>;

class Assembly : public test::TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        fresh();
    }
    // A new run in the same directory.
    void fresh() {
        chan::close(23);
        chan::close(24);
        cfg::reset();
        model::reset();
        sym::reset();
        run::reset();
        pnl::reset();
        slv::reset();
        slv::store_reset();
    }

    // Loads the body, the symmetry set-up, the arrays of the solution and
    // the Rankine scratch.
    std::vector<test::FlatPanel> setup(const std::vector<LowPanel>& ps, int isx, int isy,
                                       const std::vector<double>& betas, double near = 3.0) {
        cfg::ISOLVE = 1;
        cfg::ILOG = 0;
        cfg::ISOR = 0;
        cfg::IQUAD = iquad;
        model::HBOT = -1.0f;
        auto f = test::load_panels(ps, isx, isy);
        const int n = model::NEQN;
        cfg::MAXSCR = n;
        ALLOCPOTW(6, 1);
        model::NBETA = static_cast<int>(betas.size());
        model::SINBETA.allocate(model::NBETA);
        model::COSBETA.allocate(model::NBETA);
        for (int b = 1; b <= model::NBETA; ++b) {
            model::SINBETA(b) = static_cast<float>(std::sin(betas[static_cast<std::size_t>(b - 1)]));
            model::COSBETA(b) = static_cast<float>(std::cos(betas[static_cast<std::size_t>(b - 1)]));
        }
        run::NBETAX = std::max(model::NBETA, 1);
        int ierr = 0;
        slv::ALLOCMAT(n, run::NBETAX, 1, ierr);
        EXPECT_EQ(ierr, 0);
        if (near > 0.0) test::write_rankine(f, near);
        return f;
    }

    int iquad = 0;  // the source-point rule of the next setup

    // One ordinary period of infinite depth, ending with the solution.
    void period(float nu) {
        int ierr = 0;
        const int n = model::NEQN;
        float K = nu;
        const float per = 1.0f;
        HGRN00(nu, K, per, ierr);  // the finite-depth wavenumber and coefficients
        ASSERT_EQ(ierr, 0);
        INCRHS(n, &sym::NSYMRHS[1], model::NBETA, K, 1, 0, ierr);
        ASSERT_EQ(ierr, 0);
        WAVEGR(1, 1, run::NBETAX, n, nu, slv::ALHS, 0, ierr);
        ASSERT_EQ(ierr, 0);
        int niter[2] = {0, 0};
        SOLVE(n, 1, 1, run::NBETAX, &slv::IUNIT[0], 1.0e-6f, slv::RHSMOD, slv::RHSRAD, slv::ALHS, niter, 0, 0,
              ierr);
        ASSERT_EQ(ierr, 0);
        EXPECT_EQ(niter[0], -1);
        EXPECT_EQ(niter[1], -1);
    }
};

// A sphere of radius 1 ten radii below the surface: heave radiation is the
// infinite-fluid dipole, diffraction the incident wave with the sphere's
// uniform-flow disturbance 3/2 grad(phi_I).(x - c), both to the
// discretisation error of the flat panels, which falls as the panels are
// refined (96 and 384 panels).
TEST_F(Assembly, DeepSphereMatchesDipoleAndUniformFlowLimits) {
    const double zc = -10.0;
    const float nu = 0.05f;
    const double dnu = nu;
    double heave_err[2] = {0, 0};
    for (int level = 0; level < 2; ++level) {
        fresh();
        auto ps = test::ellipsoid(1, 1, 1, zc, 8 << level, 12 << level, false);
        auto f = setup(ps, 0, 0, {0.0, 0.7});
        for (const auto& p : f) ASSERT_LT(test::dot(p.n, {p.c[0], p.c[1], p.c[2] - zc}), 0.0);  // into the body
        period(nu);
        const int n = model::NEQN;

        double e2 = 0, r2 = 0;
        const int c3 = sym::IMODPOS(3);
        for (int i = 1; i <= n; ++i) {
            const auto& c = f[static_cast<std::size_t>(i - 1)].c;
            double r = std::sqrt(c[0] * c[0] + c[1] * c[1] + (c[2] - zc) * (c[2] - zc));
            double ref = -(c[2] - zc) / (2 * r * r * r);
            e2 += std::norm(cd(slv::RHSMOD(i, c3)) - ref);
            r2 += ref * ref;
        }
        heave_err[level] = std::sqrt(e2 / r2);

        for (int b = 1; b <= 2; ++b) {
            const double cb = model::COSBETA(b), sb = model::SINBETA(b);
            const double amp = std::exp(dnu * zc);  // the wave's decay to the sphere's depth
            double d2 = 0, s2 = 0;
            for (int i = 1; i <= n; ++i) {
                const auto& c = f[static_cast<std::size_t>(i - 1)].c;
                cd grad_dot = dnu * cd((c[2] - zc), -(cb * c[0] + sb * c[1]));
                cd ref = amp * (1.0 + 1.5 * grad_dot);
                d2 += std::norm(cd(test::col2(slv::RHSRAD, i, b)) - ref);
                s2 += std::norm(ref);
            }
            EXPECT_LT(std::sqrt(d2 / s2), 0.01) << "heading " << b;
        }
    }
    EXPECT_LT(heave_err[1], 0.025);
    EXPECT_LT(heave_err[1], 0.35 * heave_err[0]);  // second order in the panel size
}

// The same deep sphere with the Rankine parts of the kernels' own
// pre-computation: heave radiation is again the dipole; with the source
// formulation the second solution gives source strengths whose velocity at
// the panels is the dipole flow, cos(theta) e_r + sin(theta)/2 e_theta.
TEST_F(Assembly, DeepSphereWithKernelRankinePartsAndSourceFormulation) {
    const double zc = -10.0;
    const float nu = 0.05f;
    auto ps = test::ellipsoid(1, 1, 1, zc, 16, 24, false);
    setup(ps, 0, 0, {0.0}, 0.0);  // panel and symmetry tables; no fixture Rankine parts
    std::vector<test::Quad> quads;
    // Clockwise seen from the side the normal points to (into the body).
    for (const auto& p : ps) quads.push_back({p.v[0], p.v[3], p.v[2], p.v[1]});
    test::build_panels(quads);
    pnl::IPFLAG.fill(1);
    const int n = model::NEQN;
    cfg::ISOR = 1;
        chan::close(23);
    chan::close(24);
    int ierr = 0;
    RANKIN(n, 1, ierr);
    ASSERT_EQ(ierr, 0);

    INCRHS(n, &sym::NSYMRHS[1], 1, nu, 1, 0, ierr);
    WAVEGR(1, 1, 1, n, nu, slv::ALHS, 0, ierr);
    ASSERT_EQ(ierr, 0);
    int niter[2];
    SOLVE(n, 1, 1, 1, &slv::IUNIT[0], 1.0e-6f, slv::RHSMOD, slv::RHSRAD, slv::ALHS, niter, 0, 0, ierr);
    ASSERT_EQ(ierr, 0);
    const int c3 = sym::IMODPOS(3);
    double e2 = 0, r2 = 0;
    for (int i = 1; i <= n; ++i) {
        const double x = pnl::PCENT(1, i), y = pnl::PCENT(2, i), z = static_cast<double>(pnl::PCENT(3, i)) - zc;
        const double r = std::sqrt(x * x + y * y + z * z);
        const double ref = -z / (2 * r * r * r);
        e2 += std::norm(cd(slv::RHSMOD(i, c3)) - ref);
        r2 += ref * ref;
    }
    EXPECT_LT(std::sqrt(e2 / r2), 0.025);

    // Second solution: the modal normals as right-hand sides.
    for (int i = 1; i <= n; ++i)
        for (int m = 1; m <= 6; ++m) slv::RHSMOD(i, sym::IMODPOS(m)) = cplx(pnl::VNMODE(m, i), 0.0f);
    SOLVE(n, 1, 1, 1, &slv::IUNIT[8], 1.0e-6f, slv::RHSMOD, slv::RHSSRC, slv::ALHS, niter, 1, 0, ierr);
    ASSERT_EQ(ierr, 0);
    POTSRCST(n, 1, 1, 1, ierr);
    ASSERT_EQ(ierr, 0);
    // The velocities are the fluid's on the body: tangential and normal
    // parts against the dipole flow (the normal one includes the panel's
    // own source sheet, 2 pi sigma, and is the prescribed normal velocity).
    double t2 = 0, tr2 = 0, q2 = 0, qr2 = 0;
    for (int i = 1; i <= n; ++i) {
        const double x = pnl::PCENT(1, i), y = pnl::PCENT(2, i), z = static_cast<double>(pnl::PCENT(3, i)) - zc;
        const double r = std::sqrt(x * x + y * y + z * z), rh = std::hypot(x, y);
        const double ct = z / r, st = rh / r, cp = rh > 0 ? x / rh : 1, sp = rh > 0 ? y / rh : 0;
        const double ref[3] = {ct * st * cp + 0.5 * st * ct * cp, ct * st * sp + 0.5 * st * ct * sp,
                               ct * ct - 0.5 * st * st};
        const double nrm[3] = {pnl::PAXES(3, 1, i), pnl::PAXES(3, 2, i), pnl::PAXES(3, 3, i)};
        cd got[3];
        cd gn = 0;
        double rn = 0;
        for (int c = 0; c < 3; ++c) {
            got[c] = cd(run::VELRAD(i, c + 1, c3));
            gn += got[c] * nrm[c];
            rn += ref[c] * nrm[c];
        }
        for (int c = 0; c < 3; ++c) {
            t2 += std::norm((got[c] - gn * nrm[c]) - (ref[c] - rn * nrm[c]));
            tr2 += std::pow(ref[c] - rn * nrm[c], 2);
        }
        q2 += std::norm(gn - rn);
        qr2 += rn * rn;
    }
    EXPECT_LT(std::sqrt(t2 / tr2), 0.04);
    EXPECT_LT(std::sqrt(q2 / qr2), 0.03);
}

// The frequency limits of a sphere close to the surface (the free-surface
// image integrated with the Rankine parts): the zero-frequency solution is
// that of a very long period, the infinite-frequency one that of a very
// short period.
TEST_F(Assembly, FrequencyLimitsAreTheLimitsOfOrdinaryPeriods) {
    auto ps = test::ellipsoid(1, 1, 1, -1.5, 8, 12, false);
    auto solve_heave = [&](float nu, int iperfl) {
        fresh();
        setup(ps, 0, 0, {0.0}, 0.0);
        std::vector<test::Quad> quads;
        for (const auto& p : ps) quads.push_back({p.v[0], p.v[3], p.v[2], p.v[1]});
        test::build_panels(quads);
        pnl::IPFLAG.fill(1);
                chan::close(23);
        chan::close(24);
        int ierr = 0, niter[2];
        const int n = model::NEQN;
        RANKIN(n, 1, ierr);
        EXPECT_EQ(ierr, 0);
        INCRHS(n, &sym::NSYMRHS[1], 1, nu, 1, iperfl, ierr);
        WAVEGR(1, 1, 1, n, nu, slv::ALHS, iperfl, ierr);
        EXPECT_EQ(ierr, 0);
        SOLVE(n, 1, 1, 1, &slv::IUNIT[0], 1.0e-6f, slv::RHSMOD, slv::RHSRAD, slv::ALHS, niter, 0, iperfl, ierr);
        EXPECT_EQ(ierr, 0);
        std::vector<cd> out;
        for (int m : {1, 3, 5})
            for (int i = 1; i <= n; ++i) out.push_back(cd(slv::RHSMOD(i, sym::IMODPOS(m))));
        return out;
    };
    auto rel = [](const std::vector<cd>& a, const std::vector<cd>& b) {
        double e = 0, r = 0;
        for (std::size_t k = 0; k < a.size(); ++k) {
            e += std::norm(a[k] - b[k]);
            r += std::norm(b[k]);
        }
        return std::sqrt(e / r);
    };
    const auto zero = solve_heave(1.0f, 1), inf = solve_heave(1.0f, 2);
    EXPECT_LT(rel(solve_heave(1.0e-4f, 0), zero), 5.0e-3);
    EXPECT_LT(rel(solve_heave(200.0f, 0), inf), 5.0e-3);
    EXPECT_GT(rel(zero, inf), 0.05);  // the two limits differ
}

// A floating hemisphere of radius 1 (a quarter with two symmetry planes):
// its heave added mass at the two frequency limits, against the known
// values 0.5 (infinite frequency) and 0.831 (zero frequency) of the
// displaced mass, to the discretisation error of 192 panels.
TEST_F(Assembly, FloatingHemisphereAddedMassLimits) {
    auto sphere = test::ellipsoid(1, 1, 1, 0.0, 16, 24, true);
    std::vector<LowPanel> ps;
    for (std::size_t p = 0; p < sphere.size() / 2; ++p) ps.push_back(sphere[p]);  // bands below z = 0
    double added[2] = {0, 0};
    for (int iperfl : {1, 2}) {
        fresh();
        setup(ps, 1, 1, {0.0}, 0.0);
        std::vector<test::Quad> quads;
        for (const auto& p : ps) quads.push_back({p.v[0], p.v[3], p.v[2], p.v[1]});
        test::build_panels(quads);
        pnl::IPFLAG.fill(1);
                chan::close(23);
        chan::close(24);
        int ierr = 0, niter[2];
        const int n = model::NEQN;
        RANKIN(n, 1, ierr);
        ASSERT_EQ(ierr, 0);
        INCRHS(n, &sym::NSYMRHS[1], 1, 1.0f, 1, iperfl, ierr);
        WAVEGR(1, 1, 1, n, 1.0f, slv::ALHS, iperfl, ierr);
        ASSERT_EQ(ierr, 0);
        SOLVE(n, 1, 1, 1, &slv::IUNIT[0], 1.0e-6f, slv::RHSMOD, slv::RHSRAD, slv::ALHS, niter, 0, iperfl, ierr);
        ASSERT_EQ(ierr, 0);
        double a33 = 0;
        for (int i = 1; i <= n; ++i)
            a33 += 4.0 * static_cast<double>(slv::RHSMOD(i, sym::IMODPOS(3)).real() * pnl::PAXES(3, 3, i) * pnl::PPROP(1, i));
        added[iperfl - 1] = a33 / (2.0 * M_PI / 3.0);
    }
    EXPECT_NEAR(added[0], 0.831, 0.03);
    EXPECT_NEAR(added[1], 0.5, 0.02);
}

// Weight of image identifier g in component identifier c.
int sigma(int c, int g) {
    static const int S[5][5] = {{0}, {0, 1, 1, 1, 1}, {0, 1, -1, -1, 1}, {0, 1, -1, 1, -1}, {0, 1, 1, -1, -1}};
    return S[c][g];
}

// An ellipsoid close to the surface solved as a quarter with two symmetry
// planes (four components) gives the potentials of the whole body solved
// without symmetry, with the one-point and with the four-point rule (the
// two rules agree to the discretisation error), and in finite depth.
TEST_F(Assembly, QuarterWithTwoPlanesEqualsWholeBody) {
    auto quarter = test::ellipsoid(2.0, 1.0, 0.5, -1.2, 8, 24, true);
    const int nq = static_cast<int>(quarter.size());
    const float nu = 0.8f;
    const std::vector<double> betas = {0.5236};

    Arr2<cplx> rad1;
    Arr3<cplx> dif1;
    for (int run_case : {0, 1, 2}) {
        const int iquad = run_case == 1 ? 1 : 0;
        const float depth = run_case == 2 ? 2.5f : -1.0f;
        SCOPED_TRACE(run_case);
        fresh();
        setup(test::whole_from_quarter(quarter), 0, 0, betas);
        cfg::IQUAD = iquad;
        model::HBOT = depth;
        period(nu);
        Arr2<cplx> rad = slv::RHSMOD;
    Arr3<cplx> dif = slv::RHSRAD;
        Arr1<int> pos = sym::IMODPOS;

        fresh();
        setup(quarter, 1, 1, betas);
        cfg::IQUAD = iquad;
        model::HBOT = depth;
        ASSERT_EQ(sym::NSYMC, 4);
        period(nu);

        double scale = 0, err = 0, rule = 0;
        for (int g = 1; g <= 4; ++g) {
            for (int i = 1; i <= nq; ++i) {
                const int iw = (g - 1) * nq + i;  // panel of image g in the whole body
                // Radiation: each mode lives in one component.
                for (int k = 1; k <= sym::NSYMC; ++k)
                    for (int l = 1; l <= sym::NMODSC[static_cast<std::size_t>(k)]; ++l) {
                        const int md = sym::IMODSC(l, k);
                        const float w = static_cast<float>(sigma(sym::ISYMC[static_cast<std::size_t>(k)], g));
                        cplx want = rad(iw, pos(md));
                        cplx got = w * slv::RHSMOD(i, sym::IMODPOS(md));
                        scale = std::max(scale, static_cast<double>(std::abs(want)));
                        err = std::max(err, static_cast<double>(std::abs(got - want)));
                        if (run_case == 1) rule = std::max(rule, static_cast<double>(std::abs(want - rad1(iw, pos(md)))));
                    }
                // Diffraction: the sum of the components.
                cplx got(0.0f, 0.0f);
                for (int k = 1; k <= sym::NSYMC; ++k)
                    got += static_cast<float>(sigma(sym::ISYMC[static_cast<std::size_t>(k)], g)) * test::col2(slv::RHSRAD, i, k);
                scale = std::max(scale, static_cast<double>(std::abs(test::col2(dif, iw, 1))));
                err = std::max(err, static_cast<double>(std::abs(got - test::col2(dif, iw, 1))));
                if (run_case == 1) rule = std::max(rule, static_cast<double>(std::abs(test::col2(dif, iw, 1) - test::col2(dif1, iw, 1))));
            }
        }
        EXPECT_LT(err / scale, 1.0e-5);
        if (run_case == 1) {
            EXPECT_LT(rule / scale, 0.02);
            EXPECT_GT(rule / scale, 1.0e-5);  // the rules differ
        }
        if (run_case == 0) {
            rad1 = rad;
            dif1 = dif;
        }
    }
}

// The matrices of the four components, as the solver reads them back (the
// first from memory, the others from their scratch files), are the image
// sums of the whole body's matrix; the iterative solver's packed and
// overflow stores hold the same matrices.
TEST_F(Assembly, ComponentMatricesReadBackAreImageSumsOfWholeMatrix) {
    auto quarter = test::ellipsoid(1.5, 1.0, 0.6, -1.0, 6, 16, true);
    const int nq = static_cast<int>(quarter.size());
    const float nu = 1.3f;
    int ierr = 0;

    setup(test::whole_from_quarter(quarter), 0, 0, {0.0});
    WAVEGR(1, 1, 1, model::NEQN, nu, slv::ALHS, 0, ierr);
    ASSERT_EQ(ierr, 0);
    const int nw = model::NEQN;
    Arr2<cplx> whole = slv::ALHS;

    fresh();
    setup(quarter, 1, 1, {0.0});
    WAVEGR(1, 1, 1, nq, nu, slv::ALHS, 0, ierr);
    ASSERT_EQ(ierr, 0);
    std::vector<std::vector<cplx>> comp;
    for (int k = 1; k <= 4; ++k) {
        std::vector<cplx> a(static_cast<std::size_t>(nq * nq));
        if (k == 1) {
            std::copy(slv::ALHS.data(), slv::ALHS.data() + nq * nq, a.data());
        } else {
            std::vector<cplx> r(static_cast<std::size_t>(nq)), c(r);
            const int iu = slv::IUNIT[k - 1];
            ASSERT_EQ(slv::scr_records(iu), nq);
            ASSERT_EQ(slv::SCRREWIND(iu), 0);
            slv::RDLHS(iu, a.data(), r.data(), c.data(), nq, ierr);
            ASSERT_EQ(ierr, 0);
        }
        const int cid = sym::ISYMC[static_cast<std::size_t>(k)];
        double err = 0, scale = 0;
        for (int p = 1; p <= nq; ++p)
            for (int q = 1; q <= nq; ++q) {
                cplx want(0.0f, 0.0f);
                for (int g = 1; g <= 4; ++g)
                    want += static_cast<float>(sigma(cid, g)) *
                            whole.data()[static_cast<long>(p - 1) + static_cast<long>((g - 1) * nq + q - 1) * nw];
                cplx got = a[static_cast<std::size_t>(p - 1 + (q - 1) * nq)];
                scale = std::max(scale, static_cast<double>(std::abs(want)));
                err = std::max(err, static_cast<double>(std::abs(got - want)));
            }
        EXPECT_LT(err / scale, 2.0e-6) << "component " << k;
        comp.push_back(a);
    }

    // The iterative solver's delivery with room for half the rows: rows
    // 1..m packed in memory (component 1) or in the first file set, the
    // rest in the second set; every diagonal as its reciprocal.
    fresh();
    setup(quarter, 1, 1, {0.0});
    const int m = nq / 2;
    cfg::ISOLVE = 0;
    cfg::MAXSCR = m;
    WAVEGR(1, 1, 1, nq, nu, slv::ALHS, 0, ierr);
    ASSERT_EQ(ierr, 0);
    for (int k = 1; k <= 4; ++k) {
        std::vector<cplx> a(static_cast<std::size_t>(nq * nq));
        auto put = [&](int i, const cplx* v) {
            for (int j = 1; j <= i; ++j) a[static_cast<std::size_t>(i - 1 + (j - 1) * nq)] = v[j - 1];
            for (int j = 1; j < i; ++j) a[static_cast<std::size_t>(j - 1 + (i - 1) * nq)] = v[i + j - 1];
        };
        std::vector<char> buf;
        auto from_file = [&](int iu, int i0, int i1) {
            ASSERT_EQ(slv::scr_records(iu), i1 - i0 + 1);
            ASSERT_EQ(slv::SCRREWIND(iu), 0);
            for (int i = i0; i <= i1; ++i) {
                ASSERT_EQ(slv::scr_read(iu, buf), 0);
                ASSERT_EQ(buf.size(), static_cast<std::size_t>(2 * i - 1) * sizeof(cplx));
                put(i, reinterpret_cast<const cplx*>(buf.data()));
            }
        };
        if (k == 1)
            for (int i = 1; i <= m; ++i) put(i, slv::ALHS.data() + (i - 1) * (i - 1));
        else
            from_file(slv::IUNIT[k - 1], 1, m);
        from_file(slv::IUNIT[4 + k - 1], m + 1, nq);
        double err = 0;
        for (int p = 1; p <= nq; ++p)
            for (int q = 1; q <= nq; ++q) {
                const auto at = static_cast<std::size_t>(p - 1 + (q - 1) * nq);
                cplx want = p == q ? 1.0f / comp[static_cast<std::size_t>(k - 1)][at] : comp[static_cast<std::size_t>(k - 1)][at];
                err = std::max(err, static_cast<double>(std::abs(a[at] - want) / std::abs(want)));
            }
        EXPECT_LT(err, 1.0e-5) << "component " << k;
    }
}

// The iterative solver (half the rows in memory) and the block solver
// (three diagonal blocks) read what the assembly delivered for them and
// reach the direct solution of every component.
TEST_F(Assembly, IterativeAndBlockSolversReachTheDirectSolution) {
    auto quarter = test::ellipsoid(2.0, 1.0, 0.5, -1.2, 8, 24, true);
    const int nq = static_cast<int>(quarter.size());
    const float nu = 0.8f;
    setup(quarter, 1, 1, {0.5236});
    period(nu);
    Arr2<cplx> rad = slv::RHSMOD;
    Arr3<cplx> dif = slv::RHSRAD;

    struct Case {
        int isolve, maxscr, nblk;
    };
    for (const Case c : {Case{0, nq / 2, 0}, Case{3, 0, (nq + 2) / 3}}) {
        SCOPED_TRACE(c.isolve);
        fresh();
        setup(quarter, 1, 1, {0.5236});
        cfg::ISOLVE = c.isolve;
        model::NITMAX = 36;
        if (c.isolve == 0) cfg::MAXSCR = c.maxscr;
        if (c.isolve >= 2) {
            model::NBLKSZ = c.nblk;
            model::NBLKLAST = nq - c.nblk * (nq / c.nblk) == 0 ? c.nblk : nq - c.nblk * (nq / c.nblk);
            cfg::MAXSCR = c.nblk;
        }
        int ierr = 0, niter[2] = {0, 0};
        INCRHS(nq, &sym::NSYMRHS[1], 1, nu, 1, 0, ierr);
        WAVEGR(1, 1, 1, nq, nu, slv::ALHS, 0, ierr);
        ASSERT_EQ(ierr, 0);
        SOLVE(nq, 1, 1, 1, &slv::IUNIT[0], 1.0e-6f, slv::RHSMOD, slv::RHSRAD, slv::ALHS, niter, 0, 0, ierr);
        ASSERT_EQ(ierr, 0);
        EXPECT_GT(niter[0], 0);
        EXPECT_GT(niter[1], 0);
        double err = 0, scale = 0;
        for (int i = 1; i <= nq; ++i) {
            for (int col = 1; col <= sym::NSOLC; ++col) {
                err = std::max(err, static_cast<double>(std::abs(slv::RHSMOD(i, col) - rad(i, col))));
                scale = std::max(scale, static_cast<double>(std::abs(rad(i, col))));
            }
            for (int col = 1; col <= sym::NSYMC; ++col) {
                err = std::max(err, static_cast<double>(std::abs(test::col2(slv::RHSRAD, i, col) - test::col2(dif, i, col))));
                scale = std::max(scale, static_cast<double>(std::abs(test::col2(dif, i, col))));
            }
        }
        EXPECT_LT(err / scale, 1.0e-4);
    }
}

// A dipole panel lying in the plane x = 0 keeps only its diagonal in the
// components symmetric about that plane (ids 1 and 4), and has no radiation
// right-hand side there; in the antisymmetric components its row is full.
TEST_F(Assembly, DipolePanelInSymmetryPlane) {
    auto ps = test::ellipsoid(1.5, 1.0, 0.6, -1.5, 6, 16, true);
    ps.push_back({{{{0, 0.2, -0.4}, {0, 0.2, -0.2}, {0, 0.4, -0.2}, {0, 0.4, -0.4}}}});  // a fin in x = 0
    const int n = static_cast<int>(ps.size());
    setup(ps, 1, 1, {0.0});
    model::IDIPWM(n) = 2;
    cfg::IDIPOLE = 1;
    int ierr = 0;
    INCRHS(n, &sym::NSYMRHS[1], 1, 0.9f, 1, 0, ierr);
    WAVEGR(1, 1, 1, n, 0.9f, slv::ALHS, 0, ierr);
    ASSERT_EQ(ierr, 0);
    for (int k = 1; k <= 4; ++k) {
        std::vector<cplx> a(static_cast<std::size_t>(n * n));
        if (k == 1) {
            std::copy(slv::ALHS.data(), slv::ALHS.data() + n * n, a.data());
        } else {
            std::vector<cplx> r(static_cast<std::size_t>(n)), c(r);
            ASSERT_EQ(slv::SCRREWIND(slv::IUNIT[k - 1]), 0);
            slv::RDLHS(slv::IUNIT[k - 1], a.data(), r.data(), c.data(), n, ierr);
            ASSERT_EQ(ierr, 0);
        }
        const int cid = sym::ISYMC[static_cast<std::size_t>(k)];
        const bool symmetric = cid == 1 || cid == 4;
        double off = 0;
        for (int j = 1; j < n; ++j) off = std::max(off, static_cast<double>(std::abs(a[static_cast<std::size_t>(n - 1 + (j - 1) * n)])));
        EXPECT_NE(a[static_cast<std::size_t>(n * n - 1)], cplx(0.0f, 0.0f)) << "component " << k;
        if (symmetric) {
            EXPECT_EQ(off, 0.0) << "component " << k;
            for (int l = 1; l <= sym::NMODSC[static_cast<std::size_t>(k)]; ++l)
                EXPECT_EQ(slv::RHSMOD(n, sym::IMODPOS(sym::IMODSC(l, k))), cplx(0.0f, 0.0f));
        } else {
            EXPECT_GT(off, 0.0) << "component " << k;
        }
        for (int i = 1; i <= n; ++i)
            for (int j = 1; j <= n; ++j)
                ASSERT_TRUE(std::isfinite(std::abs(a[static_cast<std::size_t>(i - 1 + (j - 1) * n)])));
    }
}

// The equation of a dipole panel is for the normal velocity: its entry
// for a distant ordinary panel is the derivative along its normal of that
// panel's dipole influence, here against central differences of the
// influence formed from the Green function at displaced field points, with
// the one-point rule (centroid and area) and with the four-point rule (the
// panel's four points and weights).
TEST_F(Assembly, DipoleRowIsNormalDerivativeOfDipoleInfluence) {
    std::vector<LowPanel> ps = {
        {{{{0.1, -0.1, -0.6}, {0.1, 0.1, -0.6}, {-0.1, 0.1, -0.7}, {-0.1, -0.1, -0.7}}}},   // ordinary
        {{{{1.2, 0.5, -0.9}, {1.2, 0.7, -0.9}, {1.25, 0.7, -0.7}, {1.25, 0.5, -0.7}}}},     // dipole
    };
    for (int rule : {0, 1}) {
        SCOPED_TRACE(rule);
        fresh();
        iquad = rule;
        auto f = setup(ps, 0, 0, {0.0}, 0.5);  // only the panels' own terms near
        model::IDIPWM(2) = 1;
        cfg::IDIPOLE = 1;
        const float nu = 1.7f;
        int ierr = 0;
        INCRHS(2, &sym::NSYMRHS[1], 1, nu, 1, 0, ierr);
        WAVEGR(1, 1, 1, 2, nu, slv::ALHS, 0, ierr);
        ASSERT_EQ(ierr, 0);
        const cplx got = slv::ALHS.data()[1];  // entry (2, 1)

        // Source points of panel 1 with their weights.
        const auto& p1 = f[0];
        std::vector<std::array<double, 4>> pts;
        if (rule == 0)
            pts.push_back({p1.c[0], p1.c[1], p1.c[2], p1.area});
        else
            for (int q = 1; q <= 4; ++q)
                pts.push_back({pnl::XVERG(q, 1, 1), pnl::XVERG(q, 2, 1), pnl::XVERG(q, 3, 1), pnl::PNLARR2(q, 1)});
        double wsum = 0;
        for (const auto& s : pts) wsum += s[3];
        EXPECT_NEAR(wsum, p1.area, 1e-6 * p1.area);
        // Dipole influence of panel 1 at a field point P.
        auto dipole = [&](const std::array<double, 3>& P) {
            cd sum = 0;
            for (const auto& s : pts) {
                const float dx = static_cast<float>(s[0] - P[0]), dy = static_cast<float>(s[1] - P[1]);
                const float R = std::sqrt(dx * dx + dy * dy);
                float X = nu * R, Z = -nu * static_cast<float>(s[2]), ZETA = -nu * static_cast<float>(P[2]);
                const float A = 0.0f, H = -1.0f;
                cplx g[8] = {};
                int ising = 0, ibot = 0, one = 1, l[14];
                WGREENV(&X, A, &Z, &ZETA, H, g, &ising, &ibot, one, &l[0], &l[1], &l[2], &l[3], &l[4], &l[5], &l[6],
                        &l[7], &l[8], &l[9], &l[10], &l[11], &l[12], &l[13]);
                const double ux = dx / R, uy = dy / R;
                const cd GR(g[1]), Gz(g[2]);
                const double nud = nu;
                sum += nud * nud * s[3] * (GR * (p1.n[0] * ux + p1.n[1] * uy) - Gz * p1.n[2]);
            }
            return sum;
        };
        const auto& p2 = f[1];
        const double h = 1.0e-2;
        std::array<double, 3> Pp, Pm;
        for (int c = 0; c < 3; ++c) {
            Pp[c] = p2.c[c] + h * p2.n[c];
            Pm[c] = p2.c[c] - h * p2.n[c];
        }
        const cd want = (dipole(Pp) - dipole(Pm)) / (2 * h);
        EXPECT_NEAR(std::abs(cd(got) - want) / std::abs(want), 0.0, 1.0e-3);
    }
}

// The Rankine matrices, the assembled matrices, right-hand sides and every
// scratch record are the same, bit for bit, on one thread and on eight (whose rows go in other
// blocks): with symmetry, source and scattering formulations in finite
// depth for the iterative solver beyond its memory limit, at the
// infinite-frequency limit with the four-point rule and a dipole panel,
// with the block solver, and for a body of several blocks of rows on eight
// threads (whose buffers are used again and whose sums go block after
// block), with the direct and with the iterative solver.
TEST_F(Assembly, SameMatricesOnOneAndEightThreads) {
    struct Case {
        bool quarter;
        int isolve, iperfl, rule;
        float depth;
        bool dipole;
        int bands = 8;
    };
    const int saved = thr::count();
    for (const Case c : {Case{true, 0, 0, 0, 2.5f, false}, Case{false, 1, 2, 1, -1.0f, true},
                         Case{false, 3, 0, 0, -1.0f, false}, Case{false, 1, 0, 0, 3.0f, false, 16},
                         Case{false, 0, 0, 0, -1.0f, false, 16}}) {
        SCOPED_TRACE(c.isolve);
        std::vector<std::vector<char>> out[2];
        for (int t : {1, 8}) {
            fresh();
            iquad = c.rule;
            auto ps = test::ellipsoid(2.0, 1.0, 0.5, -1.2, c.bands, 3 * c.bands, c.quarter);
            if (c.dipole) ps.push_back({{{{0.3, 0.2, -0.4}, {0.3, 0.2, -0.2}, {0.3, 0.4, -0.2}, {0.3, 0.4, -0.4}}}});
            setup(ps, c.quarter ? 1 : 0, c.quarter ? 1 : 0, {0.0, 0.7}, 0.0);
            std::vector<test::Quad> quads;
            for (const auto& p : ps) quads.push_back({p.v[0], p.v[3], p.v[2], p.v[1]});
            test::build_panels(quads);
            pnl::IPFLAG.fill(1);
            const int n = model::NEQN;
            if (c.dipole) {
                model::IDIPWM(n) = 1;
                cfg::IDIPOLE = 1;
            }
            model::HBOT = c.depth;
            cfg::ISOR = c.dipole ? 0 : 1;
            cfg::ISCATT = 1;
            cfg::ISOLVE = c.isolve;
            if (c.isolve == 0) cfg::MAXSCR = n / 3;
            if (c.isolve == 3) {
                model::NBLKSZ = (n + 2) / 3;
                model::NBLKLAST = n - 2 * model::NBLKSZ;
                cfg::MAXSCR = model::NBLKSZ;
            }
            chan::close(23);
            chan::close(24);
            int ierr = 0;
            thr::set_count(t);
            RANKIN(n, 1, ierr);
            thr::set_count(saved);
            ASSERT_EQ(ierr, 0);
            const float nu = 0.8f;
            float K = nu;
            const float per = 1.0f;
            if (c.depth > 0) HGRN00(nu, K, per, ierr);
            INCRHS(n, &sym::NSYMRHS[1], model::NBETA, K, 1, c.iperfl, ierr);
            ASSERT_EQ(ierr, 0);
            thr::set_count(t);
            WAVEGR(1, 1, run::NBETAX, n, nu, slv::ALHS, c.iperfl, ierr);
            thr::set_count(saved);
            ASSERT_EQ(ierr, 0);
            auto& o = out[t == 1 ? 0 : 1];
            auto bytes = [&](const cplx* p, std::size_t m) {
                const char* b = reinterpret_cast<const char*>(p);
                o.emplace_back(b, b + m * sizeof(cplx));
            };
            bytes(slv::ALHS.data(), slv::ALHS.size());
            bytes(slv::RHSMOD.data(), slv::RHSMOD.size());
            bytes(slv::RHSRAD.data(), slv::RHSRAD.size());
            for (int u : {23, 24}) {
                chan::rewind(u);
                std::vector<char> rec;
                while (chan::read_record(u, rec) == 0) o.push_back(rec);
            }
            std::vector<int> units(slv::IUNIT, slv::IUNIT + 16);
            units.push_back(IUSRC);
            for (int u : units) {
                if (slv::scr_records(u) == 0) continue;
                ASSERT_EQ(slv::SCRREWIND(u), 0);
                std::vector<char> rec;
                while (slv::scr_read(u, rec) == 0) o.push_back(rec);
            }
        }
        ASSERT_EQ(out[0].size(), out[1].size());
        EXPECT_GT(out[0].size(), 100u);
        for (std::size_t r = 0; r < out[0].size(); ++r) EXPECT_TRUE(out[0][r] == out[1][r]) << "record " << r;
    }
}

// Rankine records that end in the middle of the body: the reader's message
// and status 1, on one thread and on eight (where the reading of a later
// block waits for the buffers of an earlier one), without a hang.
TEST_F(Assembly, RankineRecordsEndingEarlyStopThePeriod) {
    const int saved = thr::count();
    for (int t : {1, 8}) {
        SCOPED_TRACE(t);
        fresh();
        setup(test::ellipsoid(2.0, 1.0, 0.5, -1.2, 16, 48, false), 0, 0, {0.0});
        const int n = model::NEQN;
        ASSERT_GE(n, 640);
        // Keep the first half of the records.
        std::vector<std::vector<char>> recs;
        chan::rewind(23);
        for (std::vector<char> r; chan::read_record(23, r) == 0;) recs.push_back(r);
        chan::close(23);
        ASSERT_EQ(chan::open_scratch(23, chan::Form::Unformatted), 0);
        for (std::size_t r = 0; r < recs.size() / 2; ++r)
            ASSERT_EQ(chan::write_record(23, recs[r].data(), recs[r].size()), 0);
        float K = 0.8f;
        int ierr = 0;
        INCRHS(n, &sym::NSYMRHS[1], model::NBETA, K, 1, 0, ierr);
        ASSERT_EQ(ierr, 0);
        thr::set_count(t);
        WAVEGR(1, 1, run::NBETAX, n, 0.8f, slv::ALHS, 0, ierr);
        thr::set_count(saved);
        EXPECT_EQ(ierr, 1);
        EXPECT_NE(screen.str().find(" Error reading scratch file for Rankine LHS, UNIT="), std::string::npos);
        screen.str("");
    }
}

// A free-surface panel with flag 0 and no Rankine value has a zero
// diagonal: the assembly stops with a message instead of handing on a
// singular matrix (or, for the iterative solver, an infinite reciprocal).
TEST_F(Assembly, ZeroDiagonalIsAnErrorNotAnInfinity) {
    for (int isolve : {1, 0}) {
        fresh();
        std::vector<LowPanel> one = {{{{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}}}};
        setup(one, 0, 0, {0.0});
        cfg::ISOLVE = isolve;
        pnl::IPFLAG(1) = 0;
        // Rankine records of the one panel: a zero value and a free-surface code.
        chan::close(23);
        chan::open_scratch(23, chan::Form::Unformatted);
        const float zero = 0.0f;
        const int code = 4096 + 3;
        chan::write_record(23, nullptr, 0);
        chan::write_record(23, &zero, sizeof zero);
        chan::write_record(23, &code, sizeof code);
        int ierr = 0;
        WAVEGR(1, 1, 1, 1, 1.0f, slv::ALHS, 0, ierr);
        EXPECT_EQ(ierr, 1);
        EXPECT_NE(screen.str().find("Zero diagonal"), std::string::npos);
        EXPECT_TRUE(std::isfinite(slv::ALHS.data()[0].real()));
        screen.str("");
    }
}

}  // namespace
}  // namespace zorva
