// A small reference solver of the low-order radiation and diffraction
// problems for the physics tests of the FORCE computations: flat panels,
// collocation at the centroids, the potential formulation
//   2 pi phi_i + sum_j phi_j D_ij = sum_j (dphi/dn)_j S_ij,
// with D and S the integrals of dG/dn and G over panel j, n pointing out of
// the fluid into the body, as the program's panel tables hold the normals.  The 1/r part is integrated in double precision (exactly on the
// panel itself, by a Gauss rule elsewhere); the rest of the Green function
// comes from the program's infinite-depth kernel at the Gauss points.  It
// stands in for the POTEN stage where that is not at hand; the tests check
// relations that hold for any consistent solution.
#pragma once

#include <array>
#include <cmath>
#include <complex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "common/types.hpp"
#include "kernels/wgreenv.hpp"

extern "C" {
void cgetrf_(const int* m, const int* n, std::complex<float>* a, const int* lda, int* ipiv, int* info);
void cgetrs_(const char* trans, const int* n, const int* nrhs, const std::complex<float>* a, const int* lda,
             const int* ipiv, std::complex<float>* b, const int* ldb, int* info, std::size_t len);
}

namespace zorva::test {

using V3 = std::array<double, 3>;
using cd = std::complex<double>;

struct RPanel {
    std::array<V3, 4> v;  // vertices (a triangle repeats one)
    V3 c, n;               // centroid, unit normal into the body
    double area;
};

inline V3 sub(V3 a, V3 b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
inline V3 cross(V3 a, V3 b) { return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]}; }
inline double dot(V3 a, V3 b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
inline double norm(V3 a) { return std::sqrt(dot(a, a)); }

// Panel from four vertices; the normal is turned to point towards `inside`.
inline RPanel make_panel(V3 a, V3 b, V3 c, V3 d, V3 inside) {
    RPanel p;
    p.v = {a, b, c, d};
    V3 nn = cross(sub(c, a), sub(d, b));
    const double l = norm(nn);
    p.area = 0.5 * l;
    for (int k = 0; k < 3; ++k) {
        p.c[static_cast<std::size_t>(k)] = 0.25 * (a[k] + b[k] + c[k] + d[k]);
        nn[static_cast<std::size_t>(k)] /= l;
    }
    // Centroid of the area for a triangle.
    if (norm(sub(d, a)) < 1e-12 || norm(sub(d, c)) < 1e-12)
        for (int k = 0; k < 3; ++k) p.c[static_cast<std::size_t>(k)] = (a[k] + b[k] + c[k]) / 3.0;
    if (dot(nn, sub(p.c, inside)) > 0.0)
        for (double& x : nn) x = -x;
    p.n = nn;
    return p;
}

// Box of length L, beam B and draft T, centred at the origin, panels of
// about h on each side (no lid).
inline std::vector<RPanel> box(double L, double B, double T, int nx, int ny, int nz) {
    std::vector<RPanel> out;
    const V3 in = {0.0, 0.0, -T / 2};
    auto grid = [&](auto pt, int n1, int n2) {
        for (int i = 0; i < n1; ++i)
            for (int j = 0; j < n2; ++j)
                out.push_back(make_panel(pt(i, j), pt(i + 1, j), pt(i + 1, j + 1), pt(i, j + 1), in));
    };
    const double dx = L / nx, dy = B / ny, dz = T / nz;
    grid([&](int i, int j) { return V3{-L / 2 + i * dx, -B / 2 + j * dy, -T}; }, nx, ny);
    for (double s : {-1.0, 1.0}) {
        grid([&](int i, int k) { return V3{-L / 2 + i * dx, s * B / 2, -T + k * dz}; }, nx, nz);
        grid([&](int j, int k) { return V3{s * L / 2, -B / 2 + j * dy, -T + k * dz}; }, ny, nz);
    }
    return out;
}

// Hemisphere of radius R below z = 0, nt panels from the bottom to the
// waterline and np around; the bottom row holds triangles.
inline std::vector<RPanel> hemisphere(double R, int nt, int np) {
    std::vector<RPanel> out;
    const double pi = M_PI;
    auto pt = [&](int i, int j) {
        const double t = pi / 2 * i / nt, f = 2 * pi * j / np;  // t from the bottom
        return V3{R * std::sin(t) * std::cos(f), R * std::sin(t) * std::sin(f), -R * std::cos(t)};
    };
    const V3 in = {0.0, 0.0, 0.0};
    for (int i = 0; i < nt; ++i)
        for (int j = 0; j < np; ++j) {
            if (i == 0)
                out.push_back(make_panel(pt(0, 0), pt(1, j), pt(1, j + 1), pt(1, j + 1), in));
            else
                out.push_back(make_panel(pt(i, j), pt(i + 1, j), pt(i + 1, j + 1), pt(i, j + 1), in));
        }
    return out;
}

class RefSolver {
public:
    // nu: infinite-depth wavenumber (lengths of the panels).
    RefSolver(const std::vector<RPanel>& pans, double nu) : P(pans), nu(nu), N(static_cast<int>(pans.size())) {
        const std::size_t n2 = static_cast<std::size_t>(N) * static_cast<std::size_t>(N);
        S.assign(n2, {});
        M.assign(n2, {});
        build();
    }
    int size() const { return N; }
    // Potentials on the panels for the normal velocities vn.
    std::vector<cplx> solve(const std::vector<cd>& vn) const {
        std::vector<cplx> b(static_cast<std::size_t>(N));
        for (int i = 0; i < N; ++i) {
            cd s{};
            for (int j = 0; j < N; ++j) s += S[idx(i, j)] * vn[static_cast<std::size_t>(j)];
            b[static_cast<std::size_t>(i)] = cplx(static_cast<float>(s.real()), static_cast<float>(s.imag()));
        }
        int one = 1, info = 0;
        cgetrs_("N", &N, &one, LU.data(), &N, piv.data(), b.data(), &N, &info, 1);
        return b;
    }

private:
    std::size_t idx(int i, int j) const { return static_cast<std::size_t>(i) + static_cast<std::size_t>(j) * static_cast<std::size_t>(N); }

    // In-plane integral of 1/r over panel p from its own centroid.
    double self_s(const RPanel& p) const {
        double s = 0.0;
        for (int e = 0; e < 4; ++e) {
            const V3 a = p.v[static_cast<std::size_t>(e)], b = p.v[static_cast<std::size_t>((e + 1) % 4)];
            const double l = norm(sub(b, a));
            if (l < 1e-12) continue;
            const double ra = norm(sub(a, p.c)), rb = norm(sub(b, p.c));
            const double h = norm(cross(sub(b, a), sub(a, p.c))) / l;
            s += h * std::log((ra + rb + l) / (ra + rb - l));
        }
        return s;
    }

    void build() {
        static const double gx[2] = {-0.5773502691896257, 0.5773502691896257};
        const int nq = 4;
        std::vector<V3> qx(static_cast<std::size_t>(N * nq));
        std::vector<double> qw(static_cast<std::size_t>(N * nq));
        for (int j = 0; j < N; ++j) {
            const RPanel& p = P[static_cast<std::size_t>(j)];
            int q = 0;
            for (double u : gx)
                for (double v : gx) {
                    const double w[4] = {(1 - u) * (1 - v) / 4, (1 + u) * (1 - v) / 4, (1 + u) * (1 + v) / 4,
                                         (1 - u) * (1 + v) / 4};
                    V3 x{}, xu{}, xv{};
                    const double du[4] = {-(1 - v) / 4, (1 - v) / 4, (1 + v) / 4, -(1 + v) / 4};
                    const double dv[4] = {-(1 - u) / 4, -(1 + u) / 4, (1 + u) / 4, (1 - u) / 4};
                    for (int k = 0; k < 4; ++k)
                        for (int c = 0; c < 3; ++c) {
                            x[static_cast<std::size_t>(c)] += w[k] * p.v[static_cast<std::size_t>(k)][static_cast<std::size_t>(c)];
                            xu[static_cast<std::size_t>(c)] += du[k] * p.v[static_cast<std::size_t>(k)][static_cast<std::size_t>(c)];
                            xv[static_cast<std::size_t>(c)] += dv[k] * p.v[static_cast<std::size_t>(k)][static_cast<std::size_t>(c)];
                        }
                    qx[static_cast<std::size_t>(j * nq + q)] = x;
                    qw[static_cast<std::size_t>(j * nq + q)] = norm(cross(xu, xv));
                    ++q;
                }
        }
        const int np = N * nq;
        std::vector<float> R(static_cast<std::size_t>(np)), Z(R), ZE(R);
        std::vector<cplx> G(static_cast<std::size_t>(8 * np));
        std::vector<int> ising(static_cast<std::size_t>(np), 1), ibot(static_cast<std::size_t>(np), 0);
        std::vector<std::vector<int>> L(14, std::vector<int>(static_cast<std::size_t>(np)));
        for (int i = 0; i < N; ++i) {
            const V3 x = P[static_cast<std::size_t>(i)].c;
            for (int k = 0; k < np; ++k) {
                const V3 xi = qx[static_cast<std::size_t>(k)];
                R[static_cast<std::size_t>(k)] = static_cast<float>(nu * std::hypot(x[0] - xi[0], x[1] - xi[1]));
                Z[static_cast<std::size_t>(k)] = static_cast<float>(-nu * x[2]);
                ZE[static_cast<std::size_t>(k)] = static_cast<float>(-nu * xi[2]);
            }
            WGREENV(R.data(), 0.0f, Z.data(), ZE.data(), -1.0f, G.data(), ising.data(), ibot.data(), np,
                    L[0].data(), L[1].data(), L[2].data(), L[3].data(), L[4].data(), L[5].data(), L[6].data(),
                    L[7].data(), L[8].data(), L[9].data(), L[10].data(), L[11].data(), L[12].data(), L[13].data());
            for (int j = 0; j < N; ++j) {
                const RPanel& pj = P[static_cast<std::size_t>(j)];
                const V3 nf = pj.n;
                cd s{}, d{};
                for (int q = 0; q < nq; ++q) {
                    const std::size_t k = static_cast<std::size_t>(j * nq + q);
                    const V3 xi = qx[k];
                    const double w = qw[k];
                    const cplx* g = &G[8 * k];
                    // The kernel's values are in lengths times nu.
                    s += w * nu * cd(g[0].real(), g[0].imag());
                    const double rh = std::hypot(x[0] - xi[0], x[1] - xi[1]);
                    cd dn = -nu * nu * cd(g[6].real(), g[6].imag()) * nf[2];
                    if (rh > 1e-12)
                        dn += nu * nu * cd(g[1].real(), g[1].imag()) *
                              ((xi[0] - x[0]) * nf[0] + (xi[1] - x[1]) * nf[1]) / rh;
                    d += w * dn;
                    if (i != j) {
                        const V3 r = sub(x, xi);
                        const double rr = norm(r);
                        s += w / rr;
                        d += w * dot(r, nf) / (rr * rr * rr);
                    }
                }
                if (i == j) s += self_s(pj);
                S[idx(i, j)] = s;
                M[idx(i, j)] = d + (i == j ? 2.0 * M_PI : 0.0);
            }
        }
        LU.resize(M.size());
        for (std::size_t k = 0; k < M.size(); ++k) LU[k] = cplx(static_cast<float>(M[k].real()), static_cast<float>(M[k].imag()));
        piv.resize(static_cast<std::size_t>(N));
        int info = 0;
        cgetrf_(&N, &N, LU.data(), &N, piv.data(), &info);
    }

    std::vector<RPanel> P;
    double nu;
    int N;
    std::vector<cd> S, M;
    std::vector<cplx> LU;
    std::vector<int> piv;
};

// Geometry file of the panels, each with its vertices ordered so that
// (P1+P2-P3-P4) x (P1+P4-P2-P3) points into the body.
inline std::string gdf_of(const std::vector<RPanel>& pans) {
    std::ostringstream f;
    f.precision(9);
    f << "Panels\n1.0 9.80665\n0 0\n" << pans.size() << "\n";
    for (const auto& p : pans) {
        auto v = p.v;
        V3 u{}, w{};
        for (std::size_t k = 0; k < 3; ++k) {
            u[k] = v[0][k] + v[1][k] - v[2][k] - v[3][k];
            w[k] = v[0][k] + v[3][k] - v[1][k] - v[2][k];
        }
        if (dot(cross(u, w), p.n) < 0.0) std::swap(v[1], v[3]);
        for (const auto& x : v) f << x[0] << ' ' << x[1] << ' ' << x[2] << "  ";
        f << "\n";
    }
    return f.str();
}

}  // namespace zorva::test
