// Vector wave Green function: sorts the pairs into regions of the (R, d) plane,
// calls the region kernel accurate there, then adds the Rankine and
// logarithmic terms that the singular-part codes ask for.
#include "kernels/wgreenv.hpp"

#include <cmath>

#include "kernels/wavegreen_inf.hpp"
#include "kernels/wgmod.hpp"

namespace zorva {

void WGRANK(cplx* g, float s, float R, float c, float SZ, float SZETA) {
    const float rr2 = 1.0f / (c * c + R * R);
    const float rr1 = std::sqrt(rr2);
    const float rr3 = rr1 * rr2;
    const float rr5 = rr3 * rr2;
    const float zz = 3.0f * c * c * rr5 - rr3;
    g[0] += s * rr1;
    g[1] += -s * R * rr3;
    g[2] += -s * SZ * c * rr3;
    g[3] += 3.0f * s * SZ * R * c * rr5;
    g[4] += s * zz;
    g[5] += s * SZ * SZETA * zz;
    g[6] += -s * SZETA * c * rr3;
    g[7] += 3.0f * s * SZETA * R * c * rr5;
}

void WGLOGT(cplx* g, float R, float d) {
    const float r1 = std::sqrt(R * R + d * d);
    const float rr1 = 1.0f / r1;
    const float rr3 = rr1 * rr1 * rr1;
    g[0] += 2.0f * std::log(r1 + d);
    g[1] += 2.0f * R / (r1 * (r1 + d));
    g[2] += 2.0f * rr1;
    g[3] += -2.0f * R * rr3;
    g[4] += -2.0f * d * rr3;
    g[5] += -2.0f * d * rr3;
    g[6] += 2.0f * rr1;
    g[7] += -2.0f * R * rr3;
}

void WGREENV(const float* R, const float& A, const float* Z, const float* ZETA, const float& H, cplx* G,
             const int* ISING, const int* IBOT, const int& N, int* L10, int* L11, int* L12, int* L13, int* L14,
             int* L15, int* L16, int* L17, int* L18, int* L19, int* L20, int* L21, int* L22, int* L23) {
    if (N <= 0) return;
    if (H > 0.0f) {
        WGREENVFD(R, A, Z, ZETA, H, G, ISING, IBOT, N, L10, L11, L12, L13, L14, L15, L16, L17, L18, L19, L20,
                  L21, L22, L23);
        return;
    }
    const float A2 = 2.0f * A;

    // Sort: logarithmic region (code 3, R <= 3, d < 4), else R <= 3 or R > 3
    // with the terms that the code asks for.
    int n10 = 0, n11 = 0, n12 = 0, n20 = 0, n23 = 0;
    for (int i = 1; i <= N; ++i) {
        const float r = R[i - 1];
        const float d = Z[i - 1] + A2 + ZETA[i - 1];
        const int ic = ISING[i - 1];
        if (ic >= 3 && r <= 3.0f && d < 4.0f) {
            L12[n12++] = i;
            continue;
        }
        if (r <= 3.0f)
            L10[n10++] = i;
        else
            L11[n11++] = i;
        if (ic == 0)
            L20[n20++] = i;
        else if (ic >= 3)
            L23[n23++] = i;
    }

    if (n10 > 0) WGRK09(R, A2, Z, ZETA, G, ISING, L10, n10, &wgmod::WGTABS[0][0]);
    if (n11 > 0) WGRK10(R, A2, Z, ZETA, G, ISING, L11, n11, &wgmod::WGTABL[0][0]);
    if (n12 > 0) WGRK11(R, A2, Z, ZETA, G, L12, n12, &wgmod::WGTABS[0][0]);

    // 1/r, then 2 ln(r1 + d).
    for (int l = 0; l < n20; ++l) {
        const int i = L20[l] - 1;
        WGRANK(G + 8 * i, 1.0f, R[i], Z[i] - ZETA[i], 1.0f, -1.0f);
    }
    for (int l = 0; l < n23; ++l) {
        const int i = L23[l] - 1;
        WGLOGT(G + 8 * i, R[i], Z[i] + A2 + ZETA[i]);
    }
}

}  // namespace zorva
