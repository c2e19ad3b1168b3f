#include "solver/blkstore.hpp"

#include <algorithm>
#include <cstring>
#include <vector>

#include "common/messages.hpp"
#include "solver/scrstore.hpp"

namespace zorva {

namespace {

std::size_t zs(int n) { return static_cast<std::size_t>(std::max(n, 0)); }

}  // namespace

void WRBLKS(const cplx* W, int N1, int N2, int N3, int NBU, int KV, const int* IU, int LAST, int& IERR) {
    IERR = 0;
    const std::size_t n1 = zs(N1), len = n1 * zs(NBU);
    const int s2 = LAST == 1 ? KV : 1;
    for (int s = 1; s <= s2; ++s)
        for (int k = 1; k <= N3; ++k) {
            const cplx* p = W + n1 * zs(N2) * zs(k - 1) + n1 * zs(NBU) * zs(s - 1);
            if (slv::scr_write(IU[k - 1], p, len * sizeof(cplx)) != 0) {
                ERRMSG(" Error writing LHS slot record, UNIT=", IU[k - 1]);
                IERR = 1;
                return;
            }
        }
}

void BLKSHFT(cplx* W, int N1, int N2, int N3, int NBU, int KV, int LAST) {
    if (LAST == 1) return;
    const std::size_t n1 = zs(N1), blk = n1 * zs(NBU);
    for (int k = 1; k <= N3; ++k) {
        cplx* base = W + n1 * zs(N2) * zs(k - 1);
        if (KV > 1) std::memmove(static_cast<void*>(base), base + blk, blk * zs(KV - 1) * sizeof(cplx));
        std::fill(base + blk * zs(KV - 1), base + blk * zs(KV), cplx(0.0f, 0.0f));
    }
}

void RDBLKS(cplx* M, int N, int IU, int NBU, int NBV, int OFF, int& IERR) {
    IERR = 0;
    const std::size_t n = zs(N), len = n * zs(NBU) * sizeof(cplx);
    std::vector<char> rec;
    for (int r = 0; r < NBV; ++r) {
        if (slv::scr_read(IU, rec) != 0 || rec.size() != len) {
            ERRMSG(" Error reading LHS slot record, UNIT=", IU);
            IERR = 1;
            return;
        }
        const cplx* v = reinterpret_cast<const cplx*>(rec.data());
        for (int c = 1; c <= NBU; ++c) {
            const std::size_t row = zs(OFF + r * NBU + c - 1);
            const cplx* col = v + n * zs(c - 1);
            for (std::size_t i = 0; i < n; ++i) M[row + i * n] = col[i];
        }
    }
}

void BLKIDEN(cplx* M, int N, int R0, int C0, int NR, int NC, int IP, int JP) {
    const std::size_t n = zs(N);
    for (int c = C0 + 1; c <= C0 + NC; ++c)
        for (int r = R0 + 1; r <= R0 + NR; ++r) M[zs(r - 1) + zs(c - 1) * n] = cplx(0.0f, 0.0f);
    if (IP == JP)
        for (int m = 1; m <= NR; ++m) M[zs(R0 + m - 1) * (n + 1)] = cplx(1.0f, 0.0f);
}

void WRLUBRD(cplx* M, int N, int IU, int FLAG, int& IERR) {
    IERR = 0;
    const std::size_t n = zs(N);
    std::vector<cplx> rec;
    rec.reserve(2 * n);
    for (int i = 1; i <= N; ++i) {
        const std::size_t ii = zs(i - 1);
        if (FLAG == 0) {
            cplx& d = M[ii * (n + 1)];
            const float a = d.real(), b = d.imag(), q = a * a + b * b;
            if (!(q > 0.0f)) {
                ERRMSG(" Zero diagonal element of the LHS, row", i);
                IERR = 1;
                return;
            }
            const float f = 1.0f / q;
            d = cplx(a * f, -b * f);
        }
        rec.clear();
        for (std::size_t j = 0; j <= ii; ++j) rec.push_back(M[ii + j * n]);
        for (std::size_t j = 0; j < ii; ++j) rec.push_back(M[j + ii * n]);
        if (slv::scr_write(IU, rec.data(), rec.size() * sizeof(cplx)) != 0) {
            ERRMSG(" Error writing border record of the LHS, UNIT=", IU);
            IERR = 1;
            return;
        }
    }
}

void CASSEMB(const float* BU, int KUF, const float* BV, int KVF, float WT, int G0, int L0, int NBUF, const float* CU,
             int KUS, const float* CV, int KVS, int S0, int NBUS, const cplx* M, const cplx* V, int NEQN, int NSYMC,
             int NSOLC, int IRAD, Arr3<cplx>& CWIN, Arr2<cplx>* RHS, float* T, cplx* S) {
    const int NT = KUF * KVF, NE = KUS * KVS;
    for (int b = 0; b < KVF; ++b)
        for (int a = 0; a < KUF; ++a) T[b * KUF + a] = WT * BU[a] * BV[b];
    const int dn = NBUF - KUF;  // equation step from one v-row of the cell to the next

    if (RHS && IRAD >= 0)
        for (int m = 1; m <= NSOLC; ++m) {
            const cplx v = V[m - 1];
            cplx* r = RHS->ptr(1, m);
            for (int n = 0; n < NT; ++n) r[G0 + n + (n / KUF) * dn] += T[n] * v;
        }

    // Moments to integrals against the cell's B-splines:
    // S(a', b', k) = sum_j CV(b', j) sum_i CU(a', i) M((j - 1) KUS + i, k).
    cplx tmp[16 * 16];
    for (int k = 0; k < NSYMC; ++k) {
        const cplx* Mk = M + static_cast<std::size_t>(k) * NE;
        for (int j = 0; j < KVS; ++j)
            for (int a = 0; a < KUS; ++a) {
                cplx s(0.0f, 0.0f);
                for (int i = 0; i < KUS; ++i) s += CU[a + KUS * i] * Mk[j * KUS + i];
                tmp[a + KUS * j] = s;
            }
        cplx* Sk = S + static_cast<std::size_t>(k) * NE;
        for (int b = 0; b < KVS; ++b)
            for (int a = 0; a < KUS; ++a) {
                cplx s(0.0f, 0.0f);
                for (int j = 0; j < KVS; ++j) s += CV[b + KVS * j] * tmp[a + KUS * j];
                Sk[a + KUS * b] = s;
            }
    }

    for (int k = 1; k <= NSYMC; ++k) {
        const cplx* Sk = S + static_cast<std::size_t>(k - 1) * NE;
        for (int n = 0; n < NT; ++n) {
            const float t = T[n];
            cplx* col = CWIN.ptr(1, L0 + n + (n / KUF) * dn + 1, k);
            for (int e = 0; e < NE; ++e) {
                const int unk = S0 + e + (e / KUS) * (NBUS - KUS) + 1;
                if (unk > NEQN) continue;
                col[unk - 1] += t * Sk[e];
            }
        }
    }
}

}  // namespace zorva
