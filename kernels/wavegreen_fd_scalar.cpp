// FDGRNSC: the wave Green function of one pair at the two frequency limits,
// where the free surface is a rigid lid (zero frequency, row 1: dG/dz = 0,
// surface image +1) or a node (infinite frequency, row 2: G = 0, surface
// image -1).  In finite depth the pair is evaluated either by a smooth
// series in (R/h)^2 plus explicit Rankine images (R <= h) or by the
// eigenfunction expansion of the channel (R > h); the images that the caller
// integrates itself are left out.  Only the real parts are written.
#include <cmath>

#include "kernels/wavegreen_fd.hpp"
#include "kernels/wgreenv.hpp"

namespace zorva {

namespace {

// Smooth parts: five polynomials in s (lowest power first) A0 (1-5),
// A1 (6-10), A2 (11-15), A3 (16-19), A4 (20-22), combined in powers of t.
constexpr float SROW[2][22] = {
    {-1.8090787f, -0.02525711f, 0.0008654601f, -4.062824e-05f, 1.925347e-06f, 0.050514176f, -0.0069237994f,
     0.00073292217f, -6.635338e-05f, 3.977337e-06f, 0.0023083785f, -0.0009787474f, 0.00020597281f,
     -3.3337874e-05f, 5.240419e-06f, 0.0001293368f, -0.00010878528f, 3.964608e-05f, -8.90707e-06f,
     9.1325255e-06f, -1.2699054e-05f, 4.6593414e-06f},
    {0.30685282f, -0.012307164f, 0.0006534112f, -3.6029625e-05f, 1.8225063e-06f, 0.02461428f, -0.005227393f,
     0.00065004325f, -6.286024e-05f, 3.855924e-06f, 0.0017428991f, -0.00086821296f, 0.00019542805f,
     -3.2596614e-05f, 5.1923985e-06f, 0.00011462581f, -0.00010319482f, 3.8777456e-05f, -8.819649e-06f,
     8.70289e-06f, -1.2424751e-05f, 4.603581e-06f}};
// e^z sqrt(2z/pi) K0(z) and K1(z) as polynomials in (pi/2)/z.
constexpr float K0F[7] = {0.9999999f, -0.079562694f, 0.028229972f, -0.016976781f,
                          0.011013586f, -0.0052129063f, 0.0011713845f};
constexpr float K1F[7] = {1.0000002f, 0.23871414f, -0.04716581f, 0.02410116f,
                          -0.014671038f, 0.0067597246f, -0.001499919f};
constexpr float PIS = 3.1415927f;

template <int N>
inline void poly_d(const float* c, float s, float& p, float& d) {  // lowest power first
    p = c[N - 1];
    d = 0.0f;
    for (int j = N - 2; j >= 0; --j) {
        d = d * s + p;
        p = p * s + c[j];
    }
}

// g * S(s, X^2) with derivatives added to the 8 real parts; s = rr^2,
// X linear in z and zeta with slopes sz, szeta (all in units of h).
void add_smooth(float* a, const float* row, float g, float rr, float X, float sz, float szeta) {
    const float s = rr * rr, t = X * X;
    float A[5], Ad[5];
    poly_d<5>(row, s, A[0], Ad[0]);
    poly_d<5>(row + 5, s, A[1], Ad[1]);
    poly_d<5>(row + 10, s, A[2], Ad[2]);
    poly_d<4>(row + 15, s, A[3], Ad[3]);
    poly_d<3>(row + 19, s, A[4], Ad[4]);
    float S = 0, St = 0, Stt = 0, Ss = 0, Sst = 0;
    for (int k = 4; k >= 0; --k) {
        Stt = Stt * t + 2.0f * St;
        St = St * t + S;
        S = S * t + A[k];
        Sst = Sst * t + Ss;
        Ss = Ss * t + Ad[k];
    }
    const float dR = 2.0f * rr, dX = 2.0f * X;
    a[0] += g * S;
    a[1] += g * Ss * dR;
    a[2] += g * St * dX * sz;
    a[3] += g * Sst * dR * dX * sz;
    a[4] += g * (Stt * dX * dX + 2.0f * St) * sz * sz;
    a[5] += g * (Stt * dX * dX + 2.0f * St) * sz * szeta;
    a[6] += g * St * dX * szeta;
    a[7] += g * Sst * dR * dX * szeta;
}

void add_rank(float* a, float s, float rr, float c, float sz, float szeta) {
    cplx g[8];
    WGRANK(g, s, rr, c, sz, szeta);
    for (int k = 0; k < 8; ++k) a[k] += g[k].real();
}

}  // namespace

void FDGRNSC(const float& R, const float& Z, const float& ZETA, const float& H, cplx* G, const int& IFLAGA,
             const int& IFLAGB, const int& IROW) {
    for (int k = 0; k < 8; ++k) G[k] = cplx(0.0f, 0.0f);
    const float f = IROW == 1 ? 1.0f : -1.0f;
    float a[8] = {0, 0, 0, 0, 0, 0, 0, 0};
    if (H <= 0.0f) {
        if (IFLAGA == 0) add_rank(a, 1.0f, R, Z - ZETA, 1.0f, -1.0f);
        if (IFLAGA <= 1) add_rank(a, f, R, Z + ZETA, 1.0f, 1.0f);
        for (int k = 0; k < 8; ++k) G[k].real(a[k]);
        return;
    }
    const float rh = 1.0f / H;
    const float rr = R * rh, s = rr * rr;
    const float Dh = (Z - ZETA) * rh, sig = (Z + ZETA) * rh;
    const float* row = SROW[IROW == 1 ? 0 : 1];
    if (rr <= 1.0f) {
        add_smooth(a, row, 1.0f, rr, Dh, 1.0f, -1.0f);
        if (sig >= 1.0f)
            add_smooth(a, row, 1.0f, rr, sig - 2.0f, 1.0f, 1.0f);
        else
            add_smooth(a, row, f, rr, sig, 1.0f, 1.0f);
        if (IFLAGA == 0) add_rank(a, 1.0f, rr, Dh, 1.0f, -1.0f);
        if (IFLAGA <= 1) add_rank(a, f, rr, sig, 1.0f, 1.0f);
        if (IFLAGB == 0) add_rank(a, 1.0f, rr, sig - 2.0f, 1.0f, 1.0f);
        if (sig >= 1.0f)
            add_rank(a, f, rr, sig - 4.0f, 1.0f, 1.0f);
        else
            add_rank(a, 1.0f, rr, sig + 2.0f, 1.0f, 1.0f);
        add_rank(a, f, rr, Dh - 2.0f, 1.0f, -1.0f);
        add_rank(a, f, rr, Dh + 2.0f, 1.0f, -1.0f);
    } else {
        // Channel modes lambda = m pi (row 1) or (m - 1/2) pi (row 2); the
        // cosines and sines of lambda (z - zeta)/h and lambda (z + zeta)/h
        // advance by angle addition.
        const float fp = f;
        const float lam0 = IROW == 1 ? PIS : 0.5f * PIS;
        float cD = std::cos(lam0 * Dh), sD = std::sin(lam0 * Dh);
        float cS = std::cos(lam0 * sig), sS = std::sin(lam0 * sig);
        const float cdD = std::cos(PIS * Dh), sdD = std::sin(PIS * Dh);
        const float cdS = std::cos(PIS * sig), sdS = std::sin(PIS * sig);
        float lam = lam0;
        for (int m = 1; m <= 7; ++m) {
            const float z = lam * rr;
            if (z > 80.0f) break;
            const float tt = 1.5707963f / z;
            float p0 = 0, p1 = 0;
            for (int j = 6; j >= 0; --j) {
                p0 = p0 * tt + K0F[j];
                p1 = p1 * tt + K1F[j];
            }
            const float e = std::exp(-z) * std::sqrt(tt);
            const float k0 = 2.0f * e * p0, k1 = 2.0f * e * p1;  // twice K0, K1
            const float cc = cD + fp * cS;
            const float sm = -lam * (sD + fp * sS);  // d/dz of cc
            const float sp = lam * (sD - fp * sS);   // d/dzeta of cc
            a[0] += k0 * cc;
            a[1] += -lam * k1 * cc;
            a[2] += k0 * sm;
            a[3] += -lam * k1 * sm;
            a[4] += -lam * lam * k0 * (cD + fp * cS);
            a[5] += lam * lam * k0 * (cD - fp * cS);
            a[6] += k0 * sp;
            a[7] += -lam * k1 * sp;
            // advance by pi
            const float cD1 = cD * cdD - sD * sdD, sD1 = sD * cdD + cD * sdD;
            const float cS1 = cS * cdS - sS * sdS, sS1 = sS * cdS + cS * sdS;
            cD = cD1;
            sD = sD1;
            cS = cS1;
            sS = sS1;
            lam += PIS;
        }
        if (IROW == 1) {
            a[0] += -std::log(s);
            a[1] += -2.0f / rr;
        }
        if (IFLAGA > 1) add_rank(a, -f, rr, sig, 1.0f, 1.0f);
        if (IFLAGB == 1) add_rank(a, -1.0f, rr, sig - 2.0f, 1.0f, 1.0f);
        if (IFLAGA > 0) add_rank(a, -1.0f, rr, Dh, 1.0f, -1.0f);
    }
    const float rh2 = rh * rh, rh3 = rh2 * rh;
    const float sc[8] = {rh, rh2, rh2, rh3, rh3, rh3, rh2, rh3};
    for (int k = 0; k < 8; ++k) G[k].real(a[k] * sc[k]);
}

}  // namespace zorva
