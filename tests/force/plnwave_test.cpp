// The plane wave with its normal, heading and mixed derivatives, against
// closed forms in double precision: the four parts sum to the wave, each
// part has its parity, the derivatives are those of the whole wave.
#include <gtest/gtest.h>

#include <complex>

#include "solver/incwave.hpp"
#include "tests/force/forcefix.hpp"

namespace zorva {
namespace {

using cd = std::complex<double>;

struct Ref {
    cd P, D, R, S;
};

// Infinite depth (h <= 0) or finite depth h, F the wall factor.
Ref wave(double K, double beta, const double* x, const double* n, double h, double F) {
    const double c = std::cos(beta), s = std::sin(beta);
    double A, Kz;
    if (h <= 0.0) {
        A = F * std::exp(std::max(K * x[2], -30.0));
        Kz = K;
    } else {
        A = F * std::cosh(K * (x[2] + h)) / std::cosh(K * h);
        Kz = K * std::tanh(K * (x[2] + h));
    }
    const cd I(0.0, 1.0);
    Ref r;
    r.P = A * std::exp(-I * K * (x[0] * c + x[1] * s));
    r.D = (-I * K * (c * n[0] + s * n[1]) + Kz * n[2]) * r.P;
    const cd L = I * K * (x[0] * s - x[1] * c);  // d/dbeta of the phase
    r.R = L * r.P;
    r.S = I * K * (n[0] * s - n[1] * c) * r.P + L * r.D;
    return r;
}

cd sum4(const cplx* v) {
    cd s;
    for (int p = 1; p <= 4; ++p) s += cd(v[p].real(), v[p].imag());
    return s;
}

void expect_near(cd got, cd ref, double tol, const char* what) {
    EXPECT_NEAR(got.real(), ref.real(), tol) << what;
    EXPECT_NEAR(got.imag(), ref.imag(), tol) << what;
}

TEST(PlaneWave, PartsSumToTheWaveAndItsDerivatives) {
    struct Case {
        float K, beta, h;
        int walls;
        float x[3], n[3];
    };
    const Case cases[] = {
        {0.7f, 0.4f, -1.0f, 0, {0.3f, -0.8f, -0.4f}, {0.6f, 0.0f, -0.8f}},
        {1.9f, 2.5f, -1.0f, 0, {-1.1f, 0.5f, -0.05f}, {0.36f, 0.48f, 0.8f}},
        {0.4f, -1.2f, 3.0f, 0, {0.7f, 0.2f, -1.3f}, {0.0f, -0.6f, -0.8f}},
        {2.2f, 0.9f, 1.5f, 1, {-0.2f, -0.9f, -0.6f}, {-0.48f, 0.6f, -0.64f}},
        {0.9f, 3.0f, -1.0f, 2, {1.3f, 0.4f, -0.2f}, {0.0f, 0.0f, 1.0f}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.beta);
        cfg::reset();
        model::HBOT = c.h;
        cfg::IWALLX0 = c.walls >= 1 ? 1 : 0;
        cfg::IWALLY0 = c.walls >= 2 ? 1 : 0;
        float nrm[3] = {c.n[0], c.n[1], c.n[2]};
        PlaneWave W;
        PLNWAVE(c.K, std::sin(c.beta), std::cos(c.beta), c.x, nrm, W);
        const double x[3] = {c.x[0], c.x[1], c.x[2]}, n[3] = {c.n[0], c.n[1], c.n[2]};
        const Ref r = wave(c.K, c.beta, x, n, c.h, c.walls == 0 ? 1.0 : c.walls == 1 ? 2.0 : 4.0);
        const double tol = 2e-6 * (1.0 + std::abs(r.S));
        expect_near(sum4(W.PHIINC), r.P, tol, "P");
        expect_near(sum4(W.DPHI), r.D, tol, "D");
        expect_near(sum4(W.RPHI), r.R, tol, "R");
        expect_near(sum4(W.SPHI), r.S, tol, "S");

        // Parities: part p at the point mirrored in x (y) changes sign when
        // the part is odd in x (y): parts 2, 3 odd in x, parts 3, 4 odd in y.
        // The mirrored normal mirrors the normal derivatives with it.
        cplx P[5], D[5], R[5], S[5];
        std::copy(W.PHIINC, W.PHIINC + 5, P);
        std::copy(W.DPHI, W.DPHI + 5, D);
        std::copy(W.RPHI, W.RPHI + 5, R);
        std::copy(W.SPHI, W.SPHI + 5, S);
        const float xm[3] = {-c.x[0], c.x[1], c.x[2]};
        nrm[0] = -c.n[0];
        PLNWAVE(c.K, std::sin(c.beta), std::cos(c.beta), xm, nrm, W);
        for (int p = 1; p <= 4; ++p) {
            const float sg = (p == 2 || p == 3) ? -1.0f : 1.0f;
            EXPECT_NEAR(std::abs(W.PHIINC[p] - sg * P[p]), 0.0f, 1e-5f) << p;
            EXPECT_NEAR(std::abs(W.DPHI[p] - sg * D[p]), 0.0f, 1e-5f) << p;
            EXPECT_NEAR(std::abs(W.RPHI[p] - sg * R[p]), 0.0f, 1e-5f) << p;
            EXPECT_NEAR(std::abs(W.SPHI[p] - sg * S[p]), 0.0f, 1e-5f) << p;
        }
        // The same potential parts as the incident-wave routine.
        nrm[0] = c.n[0];
        PLNWAVE(c.K, std::sin(c.beta), std::cos(c.beta), c.x, nrm, W);
        std::copy(W.PHIINC, W.PHIINC + 5, P);
        IncWave I;
        INCWAVE(c.K, std::sin(c.beta), std::cos(c.beta), c.x, 0, I);
        for (int p = 1; p <= 4; ++p) EXPECT_NEAR(std::abs(I.PHIINC[p] - P[p]), 0.0f, 1e-6f) << p;
    }
}

TEST(PlaneWave, EdgeCases) {
    cfg::reset();
    model::HBOT = -1.0f;
    // No normal: no normal derivatives; the origin: no heading derivative.
    float nrm[3] = {0.0f, 0.0f, 0.0f};
    PlaneWave W;
    const float x0[3] = {0.0f, 0.0f, -0.5f};
    PLNWAVE(1.3f, 0.6f, 0.8f, x0, nrm, W);
    for (int p = 1; p <= 4; ++p) {
        EXPECT_EQ(W.DPHI[p], cplx(0.0f, 0.0f));
        EXPECT_EQ(W.RPHI[p], cplx(0.0f, 0.0f));
    }
    // Vertical normal: D1 = K P1.
    nrm[2] = 1.0f;
    const float x1[3] = {0.4f, -0.3f, -0.2f};
    PLNWAVE(1.3f, 0.6f, 0.8f, x1, nrm, W);
    EXPECT_FLOAT_EQ(W.DPHI[1].real(), 1.3f * W.PHIINC[1].real());
    // Deep below the surface the depth factor stops at exp(-30), in both depths.
    const float xd[3] = {0.0f, 0.0f, -100.0f};
    PLNWAVE(1.0f, 0.0f, 1.0f, xd, nrm, W);
    EXPECT_FLOAT_EQ(W.PHIINC[1].real(), std::exp(-30.0f));
    model::HBOT = 200.0f;
    PLNWAVE(1.0f, 0.0f, 1.0f, xd, nrm, W);
    EXPECT_GT(W.PHIINC[1].real(), 0.0f);
    EXPECT_TRUE(std::isfinite(W.PHIINC[1].real()));
    // Stored zeros of the purely real and purely imaginary parts.
    EXPECT_EQ(W.PHIINC[2].real(), 0.0f);
    EXPECT_EQ(W.SPHI[3].imag(), 0.0f);
}

}  // namespace
}  // namespace zorva
