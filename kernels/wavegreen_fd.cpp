// Finite-depth wave Green function: the region kernels WGRK01..WGRK08 and
// the finite-depth path of WGREENV.
//
// Far pairs (R > h) take the eigenfunction expansion: the propagating mode
// (WGRK01 for K R <= 3 by economised Bessel series, WGRK02 beyond by Hankel
// forms) and five evanescent modes (WGRK03).  Near pairs take the
// near-field series G - 1/r - 1/r2 = F(R, z - zeta) + F(R, 2h - d) with F
// fitted per depth ratio (FITA, WGRK04); when the depth sum d is below h the
// bottom-image part is split into the infinite-depth wave part (WGRK05..07,
// the infinite-depth kernels restricted to the real parts) and a smooth
// remainder (FITB, WGRK08).  The imaginary parts always come from the
// propagating mode.
#include <algorithm>
#include <cmath>
#include <memory>

#include "kernels/wavegreen_fd.hpp"
#include "kernels/wavegreen_inf.hpp"
#include "kernels/wgmod.hpp"
#include "kernels/wgreenv.hpp"

namespace zorva {

namespace {

constexpr float REUSE = 1.0e-7f;

inline bool changed(bool first, float now, float before) { return first || std::fabs(now - before) > REUSE; }

template <int N>
inline float horner_up(const float* c, float x) {  // lowest power first
    float p = c[N - 1];
    for (int j = N - 2; j >= 0; --j) p = p * x + c[j];
    return p;
}

// Vertical factors of the propagating mode (reused on Z1, Z2 and Z1 + Z2).
struct Vert {
    float z1 = 0, z2 = 0, zs = 0, e1 = 0, e2 = 0, e3 = 0;
    void update(bool first, float Z1, float Z2, float h) {
        using namespace wgcoef;
        if (changed(first, Z1, z1)) {
            z1 = Z1;
            e1 = std::exp(-std::min(AKNUT2 * (h - Z1), 30.0f));
        }
        if (changed(first, Z2, z2)) {
            z2 = Z2;
            e2 = std::exp(-std::min(AKNUT2 * (h - Z2), 30.0f));
        }
        if (changed(first, Z1 + Z2, zs)) {
            zs = Z1 + Z2;
            e3 = std::exp(-std::min(AKNU * zs, 30.0f));
        }
    }
};

// Store the propagating mode: imaginary parts from (F0, F1), and the real
// parts from (H0, H1) when the pair is far.
inline void store_prop(cplx* g, const Vert& v, float F0, float F1, float H0, float H1, bool far) {
    using namespace wgcoef;
    const float C1 = 1.0f + v.e1, S1 = 1.0f - v.e1, C2 = 1.0f + v.e2, S2 = 1.0f - v.e2;
    const float V = v.e3 * C1 * C2;
    const float Vz = AKNU * v.e3 * S1 * C2;
    const float Vzeta = AKNU * v.e3 * C1 * S2;
    const float Vzz = AKNU2 * V;
    const float Vzzeta = AKNU2 * v.e3 * S1 * S2;
    const float fi[8] = {-V * F0, V * F1, Vz * F0, -Vz * F1, -Vzz * F0, -Vzzeta * F0, Vzeta * F0, -Vzeta * F1};
    if (far) {
        const float fr[8] = {-V * H0, V * H1, Vz * H0, -Vz * H1, -Vzz * H0, -Vzzeta * H0, Vzeta * H0, -Vzeta * H1};
        for (int k = 0; k < 8; ++k) g[k] = cplx(fr[k], fi[k]);
    } else {
        for (int k = 0; k < 8; ++k) g[k].imag(fi[k]);
    }
}

// Row polynomials of a fit (rows of the given lengths, highest power of s
// first): value P[k] and derivative Pd[k] at s.
template <int NROW>
inline void row_polys(const float* fit, const int* len, float s, float* P, float* Pd) {
    int b = 0;
    for (int k = 0; k < NROW; ++k) {
        float p = fit[b], d = 0.0f;
        for (int i = 1; i < len[k]; ++i) {
            d = d * s + p;
            p = p * s + fit[b + i];
        }
        P[k] = p;
        Pd[k] = d;
        b += len[k];
    }
}

// Series in v with row polynomials: value, dv, d2v/2 of sum P[k] v^(n-1-k),
// and value, dv of sum Pd[k] v^(n-1-k).
struct Series {
    float f, fv, fvv2, fs, fsv;
};
template <int NROW>
inline Series series(const float* P, const float* Pd, float v) {
    float f = 0, fv = 0, fvv2 = 0, fs = 0, fsv = 0;
    for (int k = 0; k < NROW; ++k) {
        fvv2 = fvv2 * v + fv;
        fv = fv * v + f;
        f = f * v + P[k];
        fsv = fsv * v + fs;
        fs = fs * v + Pd[k];
    }
    return {f, fv, fvv2, fs, fsv};
}

constexpr int LENA[9] = {6, 8, 9, 10, 11, 11, 12, 12, 12};
constexpr int LENB[10] = {3, 4, 5, 5, 6, 6, 7, 7, 7, 7};

// The imaginary parts of the pairs of WGRK05..07, kept (in a buffer of the
// call, every value written before it is read) while the infinite-depth
// kernels overwrite whole records.
std::unique_ptr<float[]> save_imag(const cplx* G, const int* LIST, int n) {
    auto w = std::make_unique_for_overwrite<float[]>(8 * static_cast<size_t>(n));
    for (int l = 0; l < n; ++l)
        for (int k = 0; k < 8; ++k) w[8 * l + k] = G[8 * (LIST[l] - 1) + k].imag();
    return w;
}

void restore_imag(cplx* G, const int* LIST, int n, const std::unique_ptr<float[]>& w) {
    for (int l = 0; l < n; ++l)
        for (int k = 0; k < 8; ++k) G[8 * (LIST[l] - 1) + k].imag(w[8 * l + k]);
}

}  // namespace

void WGRK01(const float* R, const float& A, const float* Z, const float* ZETA, const float& H, cplx* G,
            const int* LIST, const int& NLIST) {
    using namespace wgcoef;
    if (NLIST < 1) return;
    Vert v;
    float kr = 0, F0 = 0, F1 = 0, H0 = 0, H1 = 0;
    for (int l = 0; l < NLIST; ++l) {
        const int i = LIST[l] - 1;
        const bool first = l == 0;
        const float r = R[i];
        v.update(first, Z[i] + A, ZETA[i] + A, H);
        if (changed(first, AKNU * r, kr)) {
            kr = AKNU * r;
            const float r2 = r * r;
            F0 = horner_up<6>(SJ0, r2);
            F1 = r * horner_up<6>(SJ1, r2);
            if (r > 0.0f) {
                const float L = 0.63661975f * std::log(kr);
                H0 = L * F0 + horner_up<7>(SY0, r2);
                H1 = L * F1 - A0T4 / r + r * horner_up<6>(SY1, r2);
            } else {
                H0 = H1 = 0.0f;  // only far pairs (R > h > 0) use them
            }
        }
        store_prop(G + 8 * i, v, F0, F1, H0, H1, r > H);
    }
}

void WGRK02(const float* R, const float& A, const float* Z, const float* ZETA, const float& H, cplx* G,
            const int* LIST, const int& NLIST) {
    using namespace wgcoef;
    if (NLIST < 1) return;
    Vert v;
    float kr = 0, F0 = 0, F1 = 0, H0 = 0, H1 = 0;
    for (int l = 0; l < NLIST; ++l) {
        const int i = LIST[l] - 1;
        const bool first = l == 0;
        const float r = R[i];
        v.update(first, Z[i] + A, ZETA[i] + A, H);
        if (changed(first, AKNU * r, kr)) {
            kr = AKNU * r;
            const float rho = 1.0f / r, rho2 = rho * rho, sr = std::sqrt(rho);
            const float th = kr - 0.7853982f;
            const float c = sr * std::cos(th), sn = sr * std::sin(th);
            const float P0 = horner_up<6>(AP0, rho2), Q0 = rho * horner_up<6>(AQ0, rho2);
            const float P1 = horner_up<6>(AP1, rho2), Q1 = rho * horner_up<6>(AQ1, rho2);
            F0 = P0 * c - Q0 * sn;
            F1 = Q1 * c + P1 * sn;
            H0 = Q0 * c + P0 * sn;
            H1 = Q1 * sn - P1 * c;
        }
        store_prop(G + 8 * i, v, F0, F1, H0, H1, r > H);
    }
}

void WGRK03(const float* R, const float& A2, const float* Z, const float* ZETA, cplx* G, const int* LIST,
            const int& NLIST) {
    using namespace wgcoef;
    for (int l = 0; l < NLIST; ++l) {
        const int i = LIST[l] - 1;
        const float rho = 1.0f / R[i], sr = std::sqrt(rho);
        const float D = Z[i] - ZETA[i];
        const float S = XNUH2 - A2 - Z[i] - ZETA[i];
        float a[8] = {0, 0, 0, 0, 0, 0, 0, 0};
        for (int n = 0; n < 5; ++n) {
            const float kn = EVK[n];
            const float E = std::exp(-kn * R[i]) * sr;
            float An, Bn;
            if (n == 0) {
                An = E * horner_up<7>(EVC[0], rho);
                Bn = E * horner_up<7>(EVD[0], rho);
            } else {
                An = E * horner_up<5>(EVC[n], rho);
                Bn = E * horner_up<5>(EVD[n], rho);
            }
            const float cD = std::cos(kn * D), sD = std::sin(kn * D);
            const float cS = std::cos(kn * S), sS = std::sin(kn * S);
            a[0] += An * (cD + cS);
            a[1] -= Bn * (cD + cS);
            a[2] += kn * An * (sS - sD);
            a[3] -= kn * Bn * (sS - sD);
            a[4] -= kn * kn * An * (cD + cS);
            a[5] -= kn * kn * An * (cS - cD);
            a[6] += kn * An * (sS + sD);
            a[7] -= kn * Bn * (sS + sD);
        }
        cplx* g = G + 8 * i;
        for (int k = 0; k < 8; ++k) g[k].real(g[k].real() + a[k]);
    }
}

void WGRK04(const float* R, const float& A2, const float* Z, const float* ZETA, cplx* G, const int* LIST,
            const int& NLIST) {
    using namespace wgcoef;
    if (NLIST < 1) return;
    float P[9], Pd[9], sp = 0;
    for (int l = 0; l < NLIST; ++l) {
        const int i = LIST[l] - 1;
        const float r = R[i];
        const float s = r * r * RXNUH2;
        if (changed(l == 0, s, sp)) {
            sp = s;
            row_polys<9>(FITA, LENA, s, P, Pd);
        }
        const float vD = Z[i] - ZETA[i];
        const float vS = XNUH2 - A2 - Z[i] - ZETA[i];
        const float uD = vD * vD * RXNUH2, uS = vS * vS * RXNUH2;
        const Series fD = series<9>(P, Pd, uD), fS = series<9>(P, Pd, uS);
        const float gR = r * RXNUH2T2, gD = vD * RXNUH2T2, gS = vS * RXNUH2T2;
        const float TD = fD.fv * RXNUH2T2 + fD.fvv2 * uD * RXNUH2T8;
        const float TS = fS.fv * RXNUH2T2 + fS.fvv2 * uS * RXNUH2T8;
        cplx* g = G + 8 * i;
        g[0].real(fD.f + fS.f);
        g[1].real(gR * (fD.fs + fS.fs));
        g[2].real(gD * fD.fv - gS * fS.fv);
        g[3].real(gR * (gD * fD.fsv - gS * fS.fsv));
        g[4].real(TD + TS);
        g[5].real(-TD + TS);
        g[6].real(-gD * fD.fv - gS * fS.fv);
        g[7].real(gR * (-gD * fD.fsv - gS * fS.fsv));
    }
}

void WGRK05(const float* R, const float& A2, const float* Z, const float* ZETA, cplx* G, const int* ISING,
            const int* LIST, const int& NLIST) {
    if (NLIST < 1) return;
    const auto im = save_imag(G, LIST, NLIST);
    WGRK09(R, A2, Z, ZETA, G, ISING, LIST, NLIST, &wgmod::WGTABS[0][0]);
    restore_imag(G, LIST, NLIST, im);
}

void WGRK06(const float* R, const float& A2, const float* Z, const float* ZETA, cplx* G, const int* ISING,
            const int* LIST, const int& NLIST) {
    if (NLIST < 1) return;
    const auto im = save_imag(G, LIST, NLIST);
    WGRK10(R, A2, Z, ZETA, G, ISING, LIST, NLIST, &wgmod::WGTABL[0][0]);
    restore_imag(G, LIST, NLIST, im);
}

void WGRK07(const float* R, const float& A2, const float* Z, const float* ZETA, cplx* G, const int* LIST,
            const int& NLIST) {
    if (NLIST < 1) return;
    const auto im = save_imag(G, LIST, NLIST);
    WGRK11(R, A2, Z, ZETA, G, LIST, NLIST, &wgmod::WGTABS[0][0]);
    restore_imag(G, LIST, NLIST, im);
}

void WGRK08(const float* R, const float& A2, const float* Z, const float* ZETA, cplx* G, const int* LIST,
            const int& NLIST) {
    using namespace wgcoef;
    if (NLIST < 1) return;
    float P[9], Pd[9], Q[10], Qd[10], sp = 0;
    for (int l = 0; l < NLIST; ++l) {
        const int i = LIST[l] - 1;
        const float r = R[i];
        const float s = r * r * RXNUH2;
        if (changed(l == 0, s, sp)) {
            sp = s;
            row_polys<9>(FITA, LENA, s, P, Pd);
            row_polys<10>(FITB, LENB, s, Q, Qd);
        }
        const float vD = Z[i] - ZETA[i];
        const float uD = vD * vD * RXNUH2;
        const Series f = series<9>(P, Pd, uD);
        const float w = (Z[i] + ZETA[i] + A2) * RXNUH;
        const Series hh = series<10>(Q, Qd, w);
        const float gR = r * RXNUH2T2, gD = vD * RXNUH2T2;
        const float TD = f.fv * RXNUH2T2 + f.fvv2 * uD * RXNUH2T8;
        const float Hw = hh.fv * RXNUH, Hsw = hh.fsv * RXNUH, Hww = hh.fvv2 * RXNUH2T2;
        cplx* g = G + 8 * i;
        const float a[8] = {f.f + hh.f,         gR * (f.fs + hh.fs), gD * f.fv + Hw, gR * (gD * f.fsv + Hsw),
                            TD + Hww,           -TD + Hww,           -gD * f.fv + Hw, gR * (-gD * f.fsv + Hsw)};
        for (int k = 0; k < 8; ++k) g[k].real(g[k].real() + a[k]);
    }
}

void WGREENVFD(const float* R, const float& A, const float* Z, const float* ZETA, const float& H, cplx* G,
               const int* ISING, const int* IBOT, const int& N, int* L10, int* L11, int* L12, int* L13, int* L14,
               int* L15, int* L16, int* L17, int* L18, int* L19, int* L20, int* L21, int* L22, int* L23) {
    if (N <= 0) return;
    const float A2 = 2.0f * A;
    const float T = 3.0f / wgcoef::AKNU;
    int n10 = 0, n11 = 0, n12 = 0, n13 = 0, n14 = 0, n15 = 0, n16 = 0, n17 = 0;
    int n18 = 0, n19 = 0, n20 = 0, n21 = 0, n22 = 0, n23 = 0;
    for (int i = 1; i <= N; ++i) {
        const float r = R[i - 1];
        const int c = ISING[i - 1], b = IBOT[i - 1];
        bool logreg = false;
        if (r <= T)
            L10[n10++] = i;
        else
            L11[n11++] = i;
        if (r > H) {
            L13[n13++] = i;
            if (b == 1) L18[n18++] = i;
            if (c >= 1) L21[n21++] = i;
            if (c >= 2) L22[n22++] = i;
        } else {
            const float d = Z[i - 1] + A2 + ZETA[i - 1];
            if (d >= H) {
                L14[n14++] = i;
                if (c >= 2) L22[n22++] = i;
            } else if (r > 3.0f) {
                L16[n16++] = i;
                L17[n17++] = i;
            } else if (c >= 3 && d < 4.0f) {
                logreg = true;
                L12[n12++] = i;
                L17[n17++] = i;
            } else {
                L15[n15++] = i;
                L17[n17++] = i;
            }
            if (b == 0) L19[n19++] = i;
            if (c == 0) L20[n20++] = i;
        }
        if (c == 3 && !logreg) L23[n23++] = i;
    }

    if (n10 > 0) WGRK01(R, A, Z, ZETA, H, G, L10, n10);
    if (n11 > 0) WGRK02(R, A, Z, ZETA, H, G, L11, n11);
    if (n13 > 0) WGRK03(R, A2, Z, ZETA, G, L13, n13);
    if (n14 > 0) WGRK04(R, A2, Z, ZETA, G, L14, n14);
    if (n15 > 0) WGRK05(R, A2, Z, ZETA, G, ISING, L15, n15);
    if (n16 > 0) WGRK06(R, A2, Z, ZETA, G, ISING, L16, n16);
    if (n12 > 0) WGRK07(R, A2, Z, ZETA, G, L12, n12);
    if (n17 > 0) WGRK08(R, A2, Z, ZETA, G, L17, n17);

    const float h2 = wgcoef::XNUH2;
    auto dsum = [&](int i) { return Z[i] + A2 + ZETA[i]; };
    for (int l = 0; l < n18; ++l) {
        const int i = L18[l] - 1;
        WGRANK(G + 8 * i, -1.0f, R[i], h2 - dsum(i), -1.0f, -1.0f);
    }
    for (int l = 0; l < n19; ++l) {
        const int i = L19[l] - 1;
        WGRANK(G + 8 * i, 1.0f, R[i], h2 - dsum(i), -1.0f, -1.0f);
    }
    for (int l = 0; l < n21; ++l) {
        const int i = L21[l] - 1;
        WGRANK(G + 8 * i, -1.0f, R[i], Z[i] - ZETA[i], 1.0f, -1.0f);
    }
    for (int l = 0; l < n22; ++l) {
        const int i = L22[l] - 1;
        WGRANK(G + 8 * i, -1.0f, R[i], dsum(i), 1.0f, 1.0f);
    }
    for (int l = 0; l < n20; ++l) {
        const int i = L20[l] - 1;
        WGRANK(G + 8 * i, 1.0f, R[i], Z[i] - ZETA[i], 1.0f, -1.0f);
    }
    for (int l = 0; l < n23; ++l) {
        const int i = L23[l] - 1;
        WGLOGT(G + 8 * i, R[i], dsum(i));
    }
}

}  // namespace zorva
