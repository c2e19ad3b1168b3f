#include "tests/support/panelfix.hpp"

#include <cmath>

#include "panels/paneldata.hpp"

namespace zorva::test {
namespace {

Vertex sub(const Vertex& a, const Vertex& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
Vertex cross(const Vertex& a, const Vertex& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
double dot(const Vertex& a, const Vertex& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
Vertex unit(const Vertex& a) {
    double n = std::sqrt(dot(a, a));
    return {a[0] / n, a[1] / n, a[2] / n};
}

// Integral of xi^a eta^b over the polygon (xi, eta) by the boundary form
// int xi^(a+1) eta^b / (a+1) d eta, 4-point Gauss per side (exact here).
double moment(const double* xi, const double* eta, int a, int b) {
    static const double g[4] = {-0.8611363115940526, -0.3399810435848563, 0.3399810435848563, 0.8611363115940526};
    static const double w[4] = {0.3478548451374538, 0.6521451548625461, 0.6521451548625461, 0.3478548451374538};
    double sum = 0;
    for (int k = 0; k < 4; ++k) {
        int kp = (k + 1) % 4;
        for (int q = 0; q < 4; ++q) {
            double t = 0.5 * (1 + g[q]);
            double x = xi[k] + t * (xi[kp] - xi[k]), y = eta[k] + t * (eta[kp] - eta[k]);
            sum += 0.5 * w[q] * std::pow(x, a + 1) / (a + 1) * std::pow(y, b) * (eta[kp] - eta[k]);
        }
    }
    return sum;
}

}  // namespace

PanelFrame panel_frame(const Quad& p) {
    PanelFrame f;
    Vertex m{}, A{}, B{};
    for (int c = 0; c < 3; ++c) {
        m[c] = 0.25 * (p[0][c] + p[1][c] + p[2][c] + p[3][c]);
        A[c] = p[0][c] + p[1][c] - p[2][c] - p[3][c];
        B[c] = p[0][c] + p[3][c] - p[1][c] - p[2][c];
    }
    Vertex a1 = unit(A), a3 = unit(cross(A, B)), a2 = cross(a3, a1);
    for (int c = 0; c < 3; ++c) f.ax[0][c] = a1[c], f.ax[1][c] = a2[c], f.ax[2][c] = a3[c];
    double xi[4], eta[4];
    for (int k = 0; k < 4; ++k) {
        Vertex d = sub(p[k], m);
        xi[k] = dot(d, a1);
        eta[k] = dot(d, a2);
    }
    // The vertices run clockwise seen from +axis 3: the signed area of the
    // boundary form is negative; areas and moments are taken with that sign.
    double area = -moment(xi, eta, 0, 0);
    double xc = -moment(xi, eta, 1, 0) / area, yc = -moment(xi, eta, 0, 1) / area;
    for (int c = 0; c < 3; ++c) f.c[c] = m[c] + xc * a1[c] + yc * a2[c];
    for (int k = 0; k < 4; ++k) f.xi[k] = xi[k] - xc, f.eta[k] = eta[k] - yc;
    f.area = area;
    return f;
}

void build_panels(const std::vector<Quad>& panels) {
    using namespace zorva::pnl;
    const int n = static_cast<int>(panels.size());
    PCENT.allocate(3, n);
    PAXES.allocate(3, 3, n);
    PNLARR6.allocate(4, n);
    PNLARR5.allocate(4, n);
    PNLARR4.allocate(4, n);
    PNLARR3.allocate(2, n);
    PPROP.allocate(13, n);
    IPFLAG.allocate(n);
    VNMODE.allocate(6, n);
    for (int i = 1; i <= n; ++i) {
        PanelFrame f = panel_frame(panels[i - 1]);
        for (int c = 1; c <= 3; ++c) {
            PCENT(c, i) = static_cast<float>(f.c[c - 1]);
            for (int k = 1; k <= 3; ++k) PAXES(k, c, i) = static_cast<float>(f.ax[k - 1][c - 1]);
        }
        double d2 = 0;
        for (int k = 1; k <= 4; ++k) {
            int kp = k % 4 + 1;
            PNLARR6(k, i) = static_cast<float>(f.xi[k - 1]);
            PNLARR5(k, i) = static_cast<float>(f.eta[k - 1]);
            double L = std::hypot(f.xi[kp - 1] - f.xi[k - 1], f.eta[kp - 1] - f.eta[k - 1]);
            PNLARR4(k, i) = L < 1e-6 ? 0.0f : static_cast<float>(L);
            for (int l = 1; l <= 4; ++l)
                d2 = std::max(d2, std::pow(f.xi[k - 1] - f.xi[l - 1], 2) + std::pow(f.eta[k - 1] - f.eta[l - 1], 2));
        }
        PNLARR3(1, i) = static_cast<float>(f.area / std::sqrt(d2));
        PNLARR3(2, i) = static_cast<float>(d2);
        static const int ea[13] = {0, 2, 1, 0, 3, 2, 1, 0, 4, 3, 2, 1, 0};
        static const double sc[13] = {1, 1.5, 3, 1.5, 1.5, 1.5, 1.5, 1.5, 3.75, 7.5, 3.75, 7.5, 3.75};
        for (int m = 0; m < 13; ++m) {
            int a = ea[m], b = (m == 0 ? 0 : (m < 4 ? 2 : (m < 8 ? 3 : 4)) - a);
            PPROP(m + 1, i) = static_cast<float>(-sc[m] * moment(f.xi, f.eta, a, b));
        }
        IPFLAG(i) = 0;
        const double* nrm = f.ax[2];
        for (int c = 0; c < 3; ++c) VNMODE(c + 1, i) = static_cast<float>(nrm[c]);
        VNMODE(4, i) = static_cast<float>(f.c[1] * nrm[2] - f.c[2] * nrm[1]);
        VNMODE(5, i) = static_cast<float>(f.c[2] * nrm[0] - f.c[0] * nrm[2]);
        VNMODE(6, i) = static_cast<float>(f.c[0] * nrm[1] - f.c[1] * nrm[0]);
    }
}

}  // namespace zorva::test
