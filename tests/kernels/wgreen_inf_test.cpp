// Infinite-depth wave Green function through WGREENV and its region kernels,
// against a double-precision reference (closed form with the Struve function,
// checked against the principal-value integral; depth derivatives by finite
// differences of the reference).
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "geometry/model.hpp"
#include "kernels/wavegreen_inf.hpp"
#include "kernels/wgmod.hpp"
#include "kernels/wgreenv.hpp"
#include "kernels/wgsetup.hpp"
#include "tools/wgref.hpp"

namespace {

using zorva::cplx;

// Expected 8 slots, real and imaginary parts, in double.
struct Slots {
    std::array<double, 8> re{}, im{};
};

// Richardson-extrapolated central differences in d.
template <typename F>
double diff1(F f, double x, double h) {
    auto D = [&](double s) { return (f(x + s) - f(x - s)) / (2 * s); };
    return (4 * D(h / 2) - D(h)) / 3;
}
template <typename F>
double diff2(F f, double x, double h) {
    auto D = [&](double s) { return (f(x + s) - 2 * f(x) + f(x - s)) / (s * s); };
    return (4 * D(h / 2) - D(h)) / 3;
}

// The wave part alone (singular-part code 2): Gw and derivatives, imaginary
// part -2 pi e^(-d) J0(R) and derivatives.  R = 0 needs d > 0.
Slots wave_ref(double R, double d) {
    const double pi = boost::math::constants::pi<double>();
    Slots s;
    double h = 0.02 * std::min(1.0, std::hypot(R, d));
    double g = wgref::gw(R, d), gr = wgref::gwr(R, d);
    double gd = diff1([R](double x) { return wgref::gw(R, x); }, d, h);
    double grd = R == 0 ? 0.0 : diff1([R](double x) { return wgref::gwr(R, x); }, d, h);
    double gdd = diff2([R](double x) { return wgref::gw(R, x); }, d, 2 * h);
    s.re = {g, gr, gd, grd, gdd, gdd, gd, grd};
    double i0 = -2 * pi * std::exp(-d) * boost::math::cyl_bessel_j(0, R);
    double i1 = 2 * pi * std::exp(-d) * boost::math::cyl_bessel_j(1, R);
    s.im = {i0, i1, -i0, -i1, i0, i0, -i0, -i1};
    return s;
}

// f = 1/sqrt(R^2 + c^2) with c = sz z + szeta zeta + const, added with sign sg.
void add_inverse(Slots& s, double sg, double R, double c, double sz, double szeta) {
    double f = 1 / std::sqrt(R * R + c * c), f3 = f * f * f, f5 = f3 * f * f;
    double cc = 3 * c * c * f5 - f3;
    s.re[0] += sg * f;
    s.re[1] += sg * (-R * f3);
    s.re[2] += sg * sz * (-c * f3);
    s.re[3] += sg * sz * 3 * R * c * f5;
    s.re[4] += sg * sz * sz * cc;
    s.re[5] += sg * sz * szeta * cc;
    s.re[6] += sg * szeta * (-c * f3);
    s.re[7] += sg * szeta * 3 * R * c * f5;
}

// 2 ln(r1 + d) and its derivatives (d/dz = d/dzeta = d/dd).
void add_log(Slots& s, double R, double d) {
    double r1 = std::hypot(R, d);
    s.re[0] += 2 * std::log(r1 + d);
    s.re[1] += 2 * R / (r1 * (r1 + d));
    s.re[2] += 2 / r1;
    s.re[6] += 2 / r1;
    s.re[3] += -2 * R / (r1 * r1 * r1);
    s.re[7] += -2 * R / (r1 * r1 * r1);
    s.re[4] += -2 * d / (r1 * r1 * r1);
    s.re[5] += -2 * d / (r1 * r1 * r1);
}

// Expected result of a code for a pair (R, z, zeta, shift a).
Slots expected(int code, double R, double z, double zeta, double a) {
    double d = z + zeta + 2 * a;
    Slots s = wave_ref(R, d);
    if (code <= 1) add_inverse(s, 1, R, d, 1, 1);
    if (code == 0) add_inverse(s, 1, R, z - zeta, 1, -1);
    if (code == 3) add_log(s, R, d);
    return s;
}

// One WGREENV call in infinite depth with caller-owned work lists.
struct Batch {
    std::vector<float> R, Z, ZETA;
    std::vector<int> ising, ibot;
    std::vector<cplx> G;
    std::array<std::vector<int>, 14> lists;
    void add(float r, float z, float zeta, int code) {
        R.push_back(r);
        Z.push_back(z);
        ZETA.push_back(zeta);
        ising.push_back(code);
        ibot.push_back(0);
    }
    void run(float a = 0.0f, float h = -1.0f) {
        const int n = static_cast<int>(R.size());
        G.assign(8 * static_cast<std::size_t>(n), cplx(-999.0f, -999.0f));
        for (auto& l : lists) l.assign(n + 1, -1);
        auto L = [this](int k) { return lists[k - 10].data(); };
        zorva::WGREENV(R.data(), a, Z.data(), ZETA.data(), h, G.data(), ising.data(), ibot.data(), n, L(10), L(11),
                       L(12), L(13), L(14), L(15), L(16), L(17), L(18), L(19), L(20), L(21), L(22), L(23));
    }
    cplx at(int pair, int slot) const { return G[8 * (pair - 1) + (slot - 1)]; }
    // Entries of list k up to the first unused one.
    std::vector<int> list(int k) const {
        std::vector<int> v;
        for (int x : lists[k - 10])
            if (x > 0) v.push_back(x); else break;
        return v;
    }
};

// Error measure: relative, turning absolute below a floor of the slot's size.
double err(double got, double want, double floor) { return std::fabs(got - want) / std::max(std::fabs(want), floor); }

// 5e-6 is met everywhere but in the deep near field (8 < d <= 16, R <= 3), where
// the fitted form reaches 6.4e-7 in dG/dR (6.4e-6 against the 0.1 floor).
constexpr double TOL = 6.5e-6;
constexpr double FLOOR = 0.1;

void compare(const Batch& b, int pair, const Slots& want, const std::string& what) {
    for (int k = 1; k <= 8; ++k) {
        cplx g = b.at(pair, k);
        EXPECT_LE(err(g.real(), want.re[k - 1], FLOOR), TOL)
            << what << " slot " << k << " real: got " << g.real() << " want " << want.re[k - 1];
        EXPECT_LE(err(g.imag(), want.im[k - 1], FLOOR), TOL)
            << what << " slot " << k << " imag: got " << g.imag() << " want " << want.im[k - 1];
    }
}

TEST(WaveGreenInfReference, ClosedFormAgreesWithPrincipalValueIntegral) {
    const double pts[][2] = {{0.0, 0.5}, {0.7, 0.2}, {2.5, 1.5}, {4.0, 0.3}, {12.0, 5.0}, {1.0, 20.0}};
    for (auto& p : pts) {
        double a = wgref::gw(p[0], p[1]), b = wgref::gw_pv(p[0], p[1]);
        EXPECT_NEAR(a, b, 1e-11 * std::max(1.0, std::fabs(b))) << "R " << p[0] << " d " << p[1];
        if (p[0] > 0) {  // horizontal derivative against differences of the value
            double fd = diff1([&](double r) { return wgref::gw(r, p[1]); }, p[0], 1e-3);
            EXPECT_NEAR(wgref::gwr(p[0], p[1]), fd, 1e-9 * std::max(1.0, std::fabs(fd)));
        }
    }
}

// All codes on a grid that covers the 8 depth intervals and the R-intervals
// (R <= 3 and the 5 intervals of 15/R), their boundaries and both sides.
TEST(WaveGreenInf, AllSlotsAllCodesAgainstReference) {
    const float Rs[] = {0.0f, 0.3f, 1.5f, 2.9999f, 3.0f, 3.0001f, 3.5f, 3.75f, 3.7501f, 4.4f, 5.0f, 5.0001f,
                        6.3f, 7.5f, 7.5001f, 11.0f, 15.0f, 15.0001f, 16.0f, 45.0f, 300.0f};
    const float ds[] = {0.0f, 0.05f, 0.5f, 0.9999f, 1.0f, 1.0001f, 1.7f, 2.0f, 2.6f, 3.0f, 3.4f, 3.9999f, 4.0f,
                        4.0001f, 4.7f, 5.3333f, 5.3334f, 6.6f, 8.0f, 8.0001f, 12.0f, 16.0f, 16.0001f, 27.0f, 40.0f,
                        150.0f};
    Batch b;
    std::vector<std::array<float, 4>> cases;  // R, z, zeta, code
    for (float R : Rs)
        for (float d : ds) {
            if (R == 0.0f && d < 0.05f) continue;  // log singularity; see the R = 0, d = 0 test
            float z = 0.7f * d, zeta = d - z;
            for (int code = 0; code <= 3; ++code) {
                if (code == 0 && R == 0.0f && z == zeta) continue;
                b.add(R, z, zeta, code);
                cases.push_back({R, z, zeta, float(code)});
            }
        }
    b.run();
    for (std::size_t i = 0; i < cases.size(); ++i) {
        auto [R, z, zeta, code] = cases[i];
        double d = double(z) + double(zeta);
        Slots want = expected(int(code), R, z, zeta, 0.0);
        compare(b, int(i + 1), want,
                "R " + std::to_string(R) + " d " + std::to_string(d) + " code " + std::to_string(int(code)));
    }
}

// The vertical shift moves the image (d) but never the direct term (z - zeta).
TEST(WaveGreenInf, VerticalShiftEntersOnlyTheDepthSum) {
    Batch b;
    b.add(0.5f, 1.0f, 0.5f, 0);
    b.add(6.0f, 1.0f, 0.5f, 0);
    b.add(1.0f, 0.2f, 0.1f, 3);
    b.run(0.25f);
    compare(b, 1, expected(0, 0.5, 1.0, 0.5, 0.25), "shift R 0.5");
    compare(b, 2, expected(0, 6.0, 1.0, 0.5, 0.25), "shift R 6");
    compare(b, 3, expected(3, 1.0, 0.2, 0.1, 0.25), "shift code 3");
}

// Codes 0 and 1 differ by 1/r exactly, 1 and 2 by 1/r1; 2 and 3 (outside the
// logarithmic region) by 2 ln(r1 + d).
TEST(WaveGreenInf, CodesDifferByTheRankineAndLogTerms) {
    struct P {
        float R, z, zeta;
    };
    const P pts[] = {{0.5f, 1.0f, 1.0f}, {0.5f, 0.3f, 1.2f}, {2.0f, 3.0f, 2.5f}, {4.5f, 0.4f, 0.1f}, {20.0f, 2.0f, 9.0f}};
    for (const P& p : pts) {
        Batch b;
        for (int code = 0; code <= 3; ++code) b.add(p.R, p.z, p.zeta, code);
        b.run();
        double d = p.z + p.zeta;
        Slots inv_r, inv_r1, lg;
        add_inverse(inv_r, 1, p.R, double(p.z) - double(p.zeta), 1, -1);
        add_inverse(inv_r1, 1, p.R, d, 1, 1);
        add_log(lg, p.R, d);
        bool logregion = p.R <= 3.0f && d < 4.0;
        for (int k = 1; k <= 8; ++k) {
            double scale = 1e-6 * (1 + std::fabs(double(b.at(1, k).real())));
            EXPECT_NEAR(b.at(1, k).real() - b.at(2, k).real(), inv_r.re[k - 1], scale) << "slot " << k;
            EXPECT_NEAR(b.at(2, k).real() - b.at(3, k).real(), inv_r1.re[k - 1], scale) << "slot " << k;
            EXPECT_EQ(b.at(1, k).imag(), b.at(3, k).imag());
            if (!logregion) {
                EXPECT_NEAR(b.at(4, k).real() - b.at(3, k).real(), lg.re[k - 1], scale) << "slot " << k;
            }
        }
    }
}

TEST(WaveGreenInf, LogarithmicRegionAtTheOrigin) {
    Batch b;
    b.add(0.0f, 0.0f, 0.0f, 3);
    b.run();
    EXPECT_EQ(b.list(12), std::vector<int>{1});
    EXPECT_NEAR(b.at(1, 1).real(), 0.2318625f, 1e-7);
    EXPECT_NEAR(b.at(1, 3).real(), -0.2318625f, 1e-7);
    EXPECT_EQ(b.at(1, 2).real(), 0.0f);
    EXPECT_NEAR(b.at(1, 1).imag(), -6.2831845f, 2e-6);
    // the limit of Gw + 2 ln(r1 + d) at the origin is -(pi Y0 - 2 J0 ln R)(0) = 2 ln 2 - 2 gamma
    const double lim = 2 * std::log(2.0) - 2 * boost::math::constants::euler<double>();
    EXPECT_NEAR(b.at(1, 1).real(), lim, 2e-6);
}

// Sorting and tie rules: code 3 with R <= 3 (R = 3 included) and d < 4 goes to
// the logarithmic region only; elsewhere R <= 3 / R > 3 with the term lists.
TEST(WaveGreenInf, ListsAndTies) {
    Batch b;
    b.add(1.0f, 1.0f, 1.0f, 3);    // 1: log region
    b.add(3.5f, 1.0f, 1.0f, 3);    // 2: R > 3, log term
    b.add(3.0f, 1.0f, 1.0f, 3);    // 3: R = 3 is log region
    b.add(1.0f, 2.0f, 2.0f, 3);    // 4: d = 4 is outside: R <= 3, log term
    b.add(3.0f, 1.0f, 0.5f, 0);    // 5: R = 3 counts as R <= 3, 1/r
    b.add(3.0001f, 1.0f, 0.5f, 1); // 6: R > 3
    b.add(0.5f, 0.1f, 0.1f, 2);    // 7: R <= 3, nothing added
    b.run();
    EXPECT_EQ(b.list(10), (std::vector<int>{4, 5, 7}));
    EXPECT_EQ(b.list(11), (std::vector<int>{2, 6}));
    EXPECT_EQ(b.list(12), (std::vector<int>{1, 3}));
    EXPECT_EQ(b.list(20), (std::vector<int>{5}));
    EXPECT_EQ(b.list(23), (std::vector<int>{2, 4}));
    for (int i = 1; i <= 7; ++i)
        compare(b, i, expected(b.ising[i - 1], b.R[i - 1], b.Z[i - 1], b.ZETA[i - 1], 0.0), "pair " + std::to_string(i));
}

// Far below the surface the depth factor of the propagating wave stops at e^(-30).
TEST(WaveGreenInf, DepthFactorCappedAtThirty) {
    Batch b;
    b.add(1.0f, 20.0f, 20.0f, 2);
    b.add(7.0f, 20.0f, 20.0f, 2);
    b.run();
    const double e30 = std::exp(-30.0), pi = boost::math::constants::pi<double>();
    EXPECT_NEAR(b.at(1, 1).imag(), -2 * pi * e30 * boost::math::cyl_bessel_j(0, 1.0), 1e-5 * 2 * pi * e30);
    EXPECT_NEAR(b.at(2, 2).imag(), 2 * pi * e30 * boost::math::cyl_bessel_j(1, 7.0), 1e-5 * 2 * pi * e30);
}

TEST(WaveGreenInf, NoPairsWritesNothing) {
    Batch b;
    b.add(1.0f, 1.0f, 1.0f, 0);
    const int n = 0;
    std::vector<cplx> G(8, cplx(7.0f, 7.0f));
    std::vector<int> w(1, -1);
    int* L = w.data();
    zorva::WGREENV(b.R.data(), 0.0f, b.Z.data(), b.ZETA.data(), -1.0f, G.data(), b.ising.data(), b.ibot.data(), n,
                   L, L, L, L, L, L, L, L, L, L, L, L, L, L);
    for (cplx g : G) EXPECT_EQ(g, cplx(7.0f, 7.0f));
    EXPECT_EQ(w[0], -1);
}

// Values on the two sides of every region boundary agree: R = 3, the steps of
// 15/R, d = 1, 2, 3, 4 and the steps of 16/d.
TEST(WaveGreenInf, ContinuousAcrossRegionBoundaries) {
    auto side = [](float x, bool up) { return std::nextafter(x, up ? 1e30f : 0.0f); };
    struct Cut {
        bool inR;
        float at;
    };
    const Cut cuts[] = {{true, 3.0f}, {true, 3.75f}, {true, 5.0f}, {true, 7.5f}, {true, 15.0f},
                        {false, 1.0f}, {false, 2.0f}, {false, 3.0f}, {false, 4.0f}, {false, 16.0f / 3.0f},
                        {false, 8.0f}, {false, 16.0f}};
    const float others_R[] = {0.0f, 0.8f, 2.2f, 3.3f, 6.0f, 20.0f};
    const float others_d[] = {0.1f, 1.5f, 3.5f, 6.0f, 20.0f};
    for (const Cut& c : cuts) {
        Batch b;
        const auto& others = c.inR ? std::vector<float>(std::begin(others_d), std::end(others_d))
                                   : std::vector<float>(std::begin(others_R), std::end(others_R));
        for (float o : others)
            for (int code : {2, 3})
                for (bool up : {false, true}) {
                    float x = side(c.at, up);
                    if (c.inR) b.add(x, o, 0.0f, code); else b.add(o, x, 0.0f, code);
                }
        b.run();
        for (std::size_t i = 1; i < b.R.size(); i += 2)
            for (int k = 1; k <= 8; ++k) {
                cplx lo = b.at(int(i), k), hi = b.at(int(i + 1), k);
                EXPECT_LE(err(lo.real(), hi.real(), FLOOR), TOL)
                    << (c.inR ? "R = " : "d = ") << c.at << " other " << (c.inR ? b.Z[i] : b.R[i]) << " code "
                    << b.ising[i] << " slot " << k << ": " << lo.real() << " vs " << hi.real();
                EXPECT_LE(err(lo.imag(), hi.imag(), FLOOR), TOL) << "slot " << k;
            }
    }
}

// The fitted rows reproduce the rows printed with the method: WGTABS rows 1
// and 8 and WGTABL row 5 (c1..c31), compared in value over their intervals.
TEST(WaveGreenInfTables, PrintedRowsReproducedInValue) {
    const float s1[31] = {-2, -0.50000286f, -0.11107845f, -0.020969886f, -0.0030787389f, -0.00067438878f, 2,
                          0.28124931f, 0.04000463f, 0.0052000149f, 0.00061141182f, 7.7191711e-05f, -0.71999937f,
                          -0.070311844f, -0.0073521682f, -0.00071785395f, -8.4316685e-05f, 0.13224143f,
                          0.0098876813f, 0.00081631856f, 6.5819833e-05f, 5.3955064e-06f, -0.014684912f,
                          -0.00088981987f, -6.0650331e-05f, -4.1485373e-06f, 0.001080853f, 5.5444125e-05f,
                          3.1038435e-06f, -4.9967144e-05f, -2.3552252e-06f};
    const float s8[31] = {4.7612343e-08f, -0.12500326f, -0.0077771032f, -0.0011128242f, 3.9741357e-05f,
                          -0.00018966485f, 4.8424533e-07f, -2.2305541e-05f, 0.00015779739f, 0.001838231f,
                          0.00067198114f, 0.00012197086f, -3.931861e-07f, 1.8794806e-05f, -0.00014005826f,
                          0.0003483133f, -0.00031589184f, 3.0130003e-08f, -1.5486456e-06f, 1.2007104e-05f,
                          -2.8817376e-05f, 2.1663254e-05f, 3.2005134e-09f, -1.540018e-07f, 6.2963073e-07f,
                          -6.0016572e-07f, 1.7702722e-09f, -8.1522433e-09f, 9.6939834e-09f, -3.2737102e-10f,
                          3.6020137e-10f};
    const float l5[31] = {-9.0016085e-12f, -1.8638002e-09f, 1.4412374e-08f, -2.5764992e-08f, 1.1936624e-08f,
                          1.3935449e-09f, -0.13333333f, 5.8040328e-09f, -3.6535459e-07f, 8.1131805e-07f,
                          -4.4970736e-07f, -6.5502714e-09f, -2.0536103e-08f, 5.4785568e-07f, 6.4708058e-07f,
                          -3.275163e-06f, 2.0936302e-06f, 0.00059245882f, -0.00059569825f, 0.00029982621f,
                          2.2883123e-06f, -2.5535969e-06f, 1.2823824e-06f, 5.3292538e-06f, -1.0135555e-05f,
                          3.7609427e-06f, -2.7328064e-05f, 2.1788885e-05f, -4.4222356e-06f, 4.6934292e-06f,
                          -3.0647193e-06f};
    auto S = [](const float* c, double t, double s) {
        const int deg[7] = {5, 5, 4, 4, 3, 2, 1};
        double v = 0, sp = 1;
        int off = 0;
        for (int p = 0; p < 7; ++p) {
            double q = 0;
            for (int j = deg[p]; j >= 0; --j) q = q * t + double(c[off + j]);
            v += q * sp;
            sp *= s;
            off += deg[p] + 1;
        }
        return v;
    };
    struct Row {
        const float* printed;
        const float* ours;
        double tol;
    };
    const Row rows[] = {{s1, zorva::wgmod::WGTABS[0], 5e-7},
                        {s8, zorva::wgmod::WGTABS[7], 5e-7},
                        {l5, zorva::wgmod::WGTABL[4], 5e-7}};
    for (const Row& r : rows)
        for (int i = 0; i <= 10; ++i)
            for (int j = 0; j <= 10; ++j) {
                double t = i / 10.0, s = j / 10.0;
                EXPECT_NEAR(S(r.ours, t, s), S(r.printed, t, s), r.tol) << "t " << t << " s " << s;
            }
}

TEST(WaveGreenSetup, InfiniteDepthReturnsTheDeepWaterWavenumber) {
    zorva::model::reset();
    int ierr = 7;
    float K = 0.0f;
    zorva::HGRN00(0.4f, K, 8.0f, ierr);
    EXPECT_EQ(K, 0.4f);
    EXPECT_EQ(ierr, 7);  // not written
    zorva::model::HBOT = 50.0f;
    K = 0.0f;
    zorva::HGRN00(0.4f, K, 1.0e-6f, ierr);  // limit period in finite depth: no set-up either
    EXPECT_EQ(K, 0.4f);
    EXPECT_EQ(ierr, 7);
    zorva::model::reset();
}

}  // namespace

namespace zorva {
namespace {

// A pair whose point lies above its free surface (d < 0, only from broken
// input) is taken at the surface: finite values, never an index outside the
// tables.
TEST(WaveGreenInf, PointAboveTheSurfaceTakenAtIt) {
    const float R[2] = {1.0f, 1.0f}, Z[2] = {-2.0e9f, 0.0f}, ZETA[2] = {0.0f, 0.0f};
    const int ISING[2] = {2, 2}, LIST[2] = {1, 2};
    const int n = 2;
    const float A2 = 0.0f;
    cplx G[16];
    WGRK09(R, A2, Z, ZETA, G, ISING, LIST, n, &wgmod::WGTABS[0][0]);
    for (int k = 0; k < 8; ++k) {
        EXPECT_TRUE(std::isfinite(G[k].real()) && std::isfinite(G[k].imag())) << k;
        EXPECT_EQ(G[k], G[8 + k]) << k;
    }
}

}  // namespace
}  // namespace zorva
