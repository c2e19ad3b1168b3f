// Test copy of the reference values of the regular wave part of the
// infinite-depth free-surface Green function (the table generator
// tools/gen_wgtabs.cpp uses the same code in long double).
//
//   Gw(R, d) = 2 PV Int_0^inf e^(-k d) J0(k R) / (k - 1) dk
//            = -pi e^(-d) [H0(R) + Y0(R)] - 2 Int_0^d e^(t-d) (R^2 + t^2)^(-1/2) dt   (R > 0)
//   Gw(0, d) = -2 e^(-d) Ei(d)
//
// H0 is the Struve function.  It is reached through
//   H0(x) - Y0(x) = (2/pi) Int_0^inf e^(-x t) (1 + t^2)^(-1/2) dt,
// so that Gw = -pi e^(-d) [(H0 - Y0) + 2 Y0] - 2 F0 with no cancellation at large R.
// The principal-value integral itself is offered as an independent check.
#pragma once

#include <boost/math/constants/constants.hpp>
#include <boost/math/quadrature/exp_sinh.hpp>
#include <boost/math/quadrature/gauss_kronrod.hpp>
#include <boost/math/quadrature/tanh_sinh.hpp>
#include <boost/math/special_functions/bessel.hpp>
#include <boost/math/special_functions/expint.hpp>
#include <cmath>
#include <limits>

namespace wgref {

template <typename T>
T qtol() {
    return std::numeric_limits<T>::epsilon() * T(16);
}

template <typename T>
boost::math::quadrature::tanh_sinh<T>& tsq() {
    static boost::math::quadrature::tanh_sinh<T> q(15);
    return q;
}

template <typename T>
boost::math::quadrature::exp_sinh<T>& esq() {
    static boost::math::quadrature::exp_sinh<T> q(15);
    return q;
}

// Integral over [0, inf) of e^(-x t) t^p (1 + t^2)^(-1/2) dt, p = 0 or 1, x > 0.
template <typename T>
T laplace_kernel(T x, int p) {
    using std::exp;
    using std::sinh;
    using std::sqrt;
    if (x >= T(1)) {
        // t = v / x: e^(-v) (v/x)^p / sqrt(x^2 + v^2) dv
        auto f = [x, p](T v) {
            if (v > T(2000)) return T(0);
        T g = exp(-v) / sqrt(x * x + v * v);
            return p == 0 ? g : g * v / x;
        };
        return esq<T>().integrate(f, qtol<T>());
    }
    // t = sinh u: e^(-x sinh u) sinh^p u du
    auto f = [x, p](T u) {
        if (u > T(200)) return T(0);
        T s = sinh(u);
        T g = exp(-x * s);
        if (g == T(0)) return T(0);
        return p == 0 ? g : g * s;
    };
    return esq<T>().integrate(f, qtol<T>());
}

// H0(x) - Y0(x) and its derivative, x > 0.
template <typename T>
T h0my0(T x) {
    return T(2) / boost::math::constants::pi<T>() * laplace_kernel(x, 0);
}
template <typename T>
T dh0my0(T x) {
    return -T(2) / boost::math::constants::pi<T>() * laplace_kernel(x, 1);
}

// F_q(R, d) = Int_0^d e^(t-d) (R^2 + t^2)^(-q/2) dt for q = 1, 3 and R > 0
// (d < 0 allowed: the integral then runs backwards).
template <typename T>
T fint(T R, T d, int q) {
    using std::asinh;
    using std::cosh;
    using std::exp;
    using std::sinh;
    using std::sqrt;
    if (d == T(0)) return T(0);
    if (d > T(40)) {
        // s = d - t; beyond s = 60 the weight e^(-s) is negligible
        T top = d < T(60) ? d : T(60);
        auto f = [R, d, q](T s) {
            T rho2 = R * R + (d - s) * (d - s);
            T g = exp(-s) / sqrt(rho2);
            return q == 1 ? g : g / rho2;
        };
        return tsq<T>().integrate(f, T(0), top, qtol<T>());
    }
    // t = R sinh u: smooth also where R is small against d
    T U = asinh(d / R);
    auto f = [R, d, q](T u) {
        T g = exp(R * sinh(u) - d);
        if (q == 1) return g;
        T c = cosh(u);
        return g / (R * R * c * c);
    };
    if (U > T(0)) return tsq<T>().integrate(f, T(0), U, qtol<T>());
    return -tsq<T>().integrate(f, U, T(0), qtol<T>());
}

// Gw(R, d) for R >= 0 (d > 0 when R = 0).
template <typename T>
T gw(T R, T d) {
    using std::exp;
    const T pi = boost::math::constants::pi<T>();
    if (R == T(0)) return -T(2) * exp(-d) * boost::math::expint(d);
    T y0 = boost::math::cyl_neumann(0, R);
    return -pi * exp(-d) * (h0my0(R) + T(2) * y0) - T(2) * fint(R, d, 1);
}

// dGw/dR.
template <typename T>
T gwr(T R, T d) {
    using std::exp;
    const T pi = boost::math::constants::pi<T>();
    if (R == T(0)) return T(0);
    T y1 = boost::math::cyl_neumann(1, R);
    return -pi * exp(-d) * (dh0my0(R) - T(2) * y1) + T(2) * R * fint(R, d, 3);
}

// Gw - (-2 pi e^(-d) Y0(R)): the part of Gw that does not oscillate, R > 0.
template <typename T>
T gw_smooth(T R, T d) {
    using std::exp;
    const T pi = boost::math::constants::pi<T>();
    return -pi * exp(-d) * h0my0(R) - T(2) * fint(R, d, 1);
}

// e^d Gw, for moderate d (R > 0).
template <typename T>
T gw_scaled(T R, T d) {
    using std::exp;
    const T pi = boost::math::constants::pi<T>();
    T y0 = boost::math::cyl_neumann(0, R);
    return -pi * (h0my0(R) + T(2) * y0) - T(2) * exp(d) * fint(R, d, 1);
}

// Independent check: 2 PV Int_0^inf e^(-k d) J0(k R) / (k - 1) dk, d > 0.
template <typename T>
T gw_pv(T R, T d) {
    using std::exp;
    using std::log;
    using boost::math::quadrature::gauss_kronrod;
    auto f = [R, d](T k) { return exp(-k * d) * boost::math::cyl_bessel_j(0, k * R); };
    const T tol = std::sqrt(std::numeric_limits<T>::epsilon()) * T(1e-4);
    // PV over [0, 2] folded about k = 1
    auto g = [&f](T x) { return (f(T(1) + x) - f(T(1) - x)) / x; };
    T s = gauss_kronrod<T, 31>::integrate(g, T(0), T(1), 20, tol);
    // tail [2, K] in pieces no longer than one wavelength of J0(k R)
    T K = T(2) + T(46) / d;
    T step = R > T(0) ? T(3) / R : K;
    if (step > T(4)) step = T(4);
    for (T a = T(2); a < K; a += step) {
        T b = a + step < K ? a + step : K;
        s += gauss_kronrod<T, 31>::integrate([&f](T k) { return f(k) / (k - T(1)); }, a, b, 20, tol);
    }
    return T(2) * s;
}

}  // namespace wgref
