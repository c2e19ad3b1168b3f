// B-spline basis (Cox-de Boor recurrence with derivatives), knot vectors of
// the potential B-splines and scaled Gauss-Legendre rules.
#include "geometry/bspline.hpp"

#include <cmath>

#include "common/messages.hpp"

namespace zorva {

void BASEF(const float* T, int NB, int K, float X, int ID, int IDFORM, float* B, int LDB, int& INTV, int& IERR) {
    if (ID < 0 || ID >= K) {
        ERRMSG(" Order of derivative exceeds degree of polynomial", 0);
        IERR = 1;
        return;
    }
    auto b = [B, LDB](int r, int d) -> float& { return B[static_cast<long>(d) * LDB + (r - 1)]; };
    auto t = [T](int j) { return T[j - 1]; };
    for (int d = 0; d <= ID; ++d)
        for (int r = 1; r <= K; ++r) b(r, d) = 0.0f;

    auto degenerate = [&] {
        ERRMSG(" Knot vector is degenerate: fewer basis functions than the order or an empty interval", 0);
        INTV = NB + 1;
        IERR = 3;
    };
    if (NB < K || !(t(NB + 1) - t(K) > 0.0f)) return degenerate();

    // Interval search; intervals of zero length (repeated knots) hold no
    // point of their own.
    int i = 0;
    for (int j = K; j <= NB; ++j) {
        if (t(j) <= X && X <= t(j + 1) && t(j) < t(j + 1)) {
            i = j;
            break;
        }
    }
    if (i == 0) {
        const float L = std::fabs(t(NB + 1) - t(K));
        if (std::fabs(t(K) - X) / L < 1.0E-6f) {
            i = K;
        } else if (std::fabs(X - t(NB + 1)) / L < 1.0E-6f) {
            i = NB;
        } else {
            ERRMSG(" The coordinate is out of physical space", 0);
            INTV = NB + 1;
            IERR = 2;
            return;
        }
        if (!(t(i) < t(i + 1))) return degenerate();
    }
    INTV = i;
    IERR = 0;

    if (K == 1) {
        b(1, 0) = 1.0f;
        return;
    }

    // Level m occupies rows K-m+1..K (function j in row K-i+j), so that the
    // step from level m-1 to m works in place: row r of level m needs rows r
    // and r+1 of level m-1, rows are taken in ascending order and, within a
    // row, the derivative orders in descending order.
    b(K, 0) = 1.0f;
    for (int m = 2; m <= K; ++m) {
        const int dmax = (m < ID + 1 ? m : ID + 1) - 1;
        for (int j = i - m + 1; j <= i; ++j) {
            const int r = K - i + j;
            for (int d = dmax; d >= 0; --d) {
                float v = 0.0f;
                if (j > i - m + 1) {  // left term, from N(j, m-1) in row r
                    float num = (X - t(j)) * b(r, d);
                    if (d > 0) num += static_cast<float>(d) * b(r, d - 1);
                    v += num / (t(j + m - 1) - t(j));
                }
                if (j < i) {  // right term, from N(j+1, m-1) in row r+1
                    float num = (t(j + m) - X) * b(r + 1, d);
                    if (d > 0) num -= static_cast<float>(d) * b(r + 1, d - 1);
                    v += num / (t(j + m) - t(j + 1));
                }
                b(r, d) = v;
            }
        }
    }

    if (IDFORM == 0 && ID >= 2) {
        float fact = 1.0f;
        for (int d = 2; d <= ID; ++d) {
            fact *= static_cast<float>(d);
            for (int r = 1; r <= K; ++r) b(r, d) /= fact;
        }
    }
}

void KNOTVEC(int N, int K, int IEND, int ISPACE, float* T, int& IERR) {
    IERR = 0;
    if (N < 1) {
        ERRMSG(" Number of knot intervals less than 1 in KNOTVEC, N=", N);
        IERR = 1;
        return;
    }
    auto t = [T](int j) -> float& { return T[j - 1]; };
    const float fn = static_cast<float>(N);
    if (ISPACE == 0) {
        for (int j = 0; j <= N; ++j) t(K + j) = static_cast<float>(j) / fn;
    } else if (ISPACE == 1 || ISPACE == -1 || ISPACE == 2) {
        const float step = static_cast<float>(ISPACE) * 1.5707964f / fn;
        for (int j = 0; j <= N; ++j) {
            const float a = step * static_cast<float>(j);
            t(K + j) = ISPACE == 1 ? std::sin(a) : ISPACE == -1 ? 1.0f - std::cos(a) : (1.0f - std::cos(a)) / 2.0f;
        }
    }
    const float h1 = t(K + 1) - t(K), hn = t(N + K) - t(N + K - 1);
    if (IEND >= -1 && IEND <= 2) {
        for (int j = 1; j <= K - 1; ++j) {
            t(j) = (IEND == -1 || IEND == 2) ? t(K) - static_cast<float>(K - j) * h1 : t(K);
            t(N + K + j) = (IEND == 1 || IEND == 2) ? t(N + K) + static_cast<float>(j) * hn : t(N + K);
        }
    }
    for (int j = 1; j <= N + 2 * K - 1; ++j) t(j) = 2.0f * t(j) - 1.0f;
}

void KNOTVEC(int N, int K, int IEND, int ISPACE, float* T) {
    if (N < 1) return;
    int ierr = 0;
    KNOTVEC(N, K, IEND, ISPACE, T, ierr);
}

void GAUSLE(float A, float B, float* X, float* W, int N, int& IERR) {
    IERR = 0;
    if (N > gauss::MAXORDER) {
        ERRMSG(" Order of Gauss integration exceeds limit 16, Order=", N);
        IERR = 1;
        return;
    }
    if (N <= 0) return;
    const int s = N * (N - 1) / 2;
    const float c = (A + B) / 2.0f, h = (B - A) / 2.0f;
    for (int k = 0; k < N; ++k) {
        X[k] = c + h * gauss::XGTAB[s + k];
        W[k] = h * gauss::WGTAB[s + k];
    }
}

}  // namespace zorva
