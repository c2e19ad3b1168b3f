#include "solver/rwindow.hpp"

#include <cstring>

#include "common/messages.hpp"
#include "solver/scrstore.hpp"

namespace zorva {

void RASSEMB(const float* BU, int KUF, const float* BV, int KVF, float WT, int G0, int L0, int NBUF, const float* CU,
             int KUS, const float* CV, int KVS, int S0, int NBUS, const RkOut& O, int NEQN, int NSYMC, int NSOLC,
             int IRAD, int ILOG, int IPERSPC, RkWindows& R) {
    const int NT = KUF * KVF, NE = KUS * KVS;
    R.T.resize(static_cast<std::size_t>(NT));
    for (int b = 0; b < KVF; ++b)
        for (int a = 0; a < KUF; ++a) R.T[static_cast<std::size_t>(b * KUF + a)] = WT * BU[a] * BV[b];
    auto eq = [&](int n) { return G0 + (n / KUF) * NBUF + n % KUF + 1; };
    auto col = [&](int n) { return L0 + (n / KUF) * NBUF + n % KUF + 1; };

    if (IRAD >= 0)
        for (int m = 1; m <= NSOLC; ++m)
            for (int n = 0; n < NT; ++n) {
                const float t = R.T[static_cast<std::size_t>(n)];
                R.RSRCV(eq(n), m) += t * O.SRC[m - 1];
                if (IPERSPC == 1) R.RSRCIV(eq(n), m) += t * O.SRCI[m - 1];
                if (ILOG == 1) R.RSRCLV(eq(n), m) += t * O.SRCL[m - 1];
            }

    // moments of the span to integrals against its B-splines:
    // S(a', b') = sum_j CV(b', j) sum_i CU(a', i) M((j - 1) KUS + i)
    R.CM.resize(static_cast<std::size_t>(NE));
    R.SM.resize(static_cast<std::size_t>(NE));
    auto basis = [&](const float* M) {
        for (int j = 0; j < KVS; ++j)
            for (int a = 0; a < KUS; ++a) {
                float s = 0.0f;
                for (int i = 0; i < KUS; ++i) s += CU[a + KUS * i] * M[j * KUS + i];
                R.CM[static_cast<std::size_t>(a + KUS * j)] = s;
            }
        for (int b = 0; b < KVS; ++b)
            for (int a = 0; a < KUS; ++a) {
                float s = 0.0f;
                for (int j = 0; j < KVS; ++j) s += CV[b + KVS * j] * R.CM[static_cast<std::size_t>(a + KUS * j)];
                R.SM[static_cast<std::size_t>(a + KUS * b)] = s;
            }
    };
    auto add = [&](Arr3<float>& Wd, const std::vector<float>& V) {
        for (int k = 1; k <= NSYMC; ++k) {
            basis(V.data() + static_cast<std::size_t>(k - 1) * NE);
            for (int e = 0; e < NE; ++e) {
                const int unk = S0 + (e / KUS) * NBUS + e % KUS + 1;
                if (unk > NEQN) continue;
                const float s = R.SM[static_cast<std::size_t>(e)];
                for (int n = 0; n < NT; ++n) Wd(unk, col(n), k) += R.T[static_cast<std::size_t>(n)] * s;
            }
        }
    };
    add(R.RDIPW, O.DIP);
    if (IPERSPC == 1) add(R.RDIPIW, O.DIPI);
    if (ILOG == 1) add(R.RDIPLW, O.DIPL);
}

namespace {

// Slot s of window A as one record (first index fastest, then column, then
// component), or the record back into the slot.
bool slot_io(float* A, int N1, int N2, int N3, int NBU, int s, int IU, bool read, std::vector<float>& buf) {
    const std::size_t n1 = static_cast<std::size_t>(N1), len = n1 * NBU;
    auto at = [&](int c, int k) { return A + n1 * (static_cast<std::size_t>(s - 1) * NBU + c) + n1 * N2 * (k - 1); };
    if (!read) {
        buf.resize(len * N3);
        for (int k = 1; k <= N3; ++k)
            for (int c = 0; c < NBU; ++c) std::memcpy(buf.data() + len * (k - 1) + n1 * c, at(c, k), n1 * sizeof(float));
        return slv::scr_write(IU, buf.data(), buf.size() * sizeof(float)) == 0;
    }
    std::vector<char> rec;
    if (slv::scr_read(IU, rec) != 0 || rec.size() != len * N3 * sizeof(float)) return false;
    for (int k = 1; k <= N3; ++k)
        for (int c = 0; c < NBU; ++c)
            std::memcpy(at(c, k), rec.data() + (len * (k - 1) + n1 * c) * sizeof(float), n1 * sizeof(float));
    return true;
}

bool vec_io(float* V, int N, int IU, bool read) {
    const std::size_t bytes = static_cast<std::size_t>(std::max(N, 0)) * sizeof(float);
    if (!read) return slv::scr_write(IU, V, bytes) == 0;
    std::vector<char> rec;
    if (slv::scr_read(IU, rec) != 0 || rec.size() != bytes) return false;
    if (bytes) std::memcpy(V, rec.data(), bytes);
    return true;
}

}  // namespace

void RWRANK(float* A, float* B, int TWO, int N1, int N2, int N3, int NBU, int KV, int IUB, int MODE, float* VA,
            float* VB, int NVEC, int IUV, int VEC, int READ, int& IERR) {
    IERR = 0;
    const bool rd = READ != 0;
    auto fail = [&](int unit) {
        ERRMSG(rd ? " Error reading Rankine scratch file, UNIT=" : " Error writing Rankine scratch file, UNIT=", unit);
        IERR = 1;
    };
    if (VEC != 0) {
        if (!vec_io(VA, NVEC, IUV, rd) || (TWO == 1 && !vec_io(VB, NVEC, IUV, rd))) fail(IUV);
        return;
    }
    std::vector<float> buf;
    int s1 = 1, s2 = MODE == 1 ? KV : 1;
    if (rd && MODE != 1) s1 = s2 = KV;
    for (int s = s1; s <= s2; ++s)
        if (!slot_io(A, N1, N2, N3, NBU, s, IUB, rd, buf) || (TWO == 1 && !slot_io(B, N1, N2, N3, NBU, s, IUB, rd, buf)))
            return fail(IUB);
}

void RBLKSHFT(float* A, float* B, int TWO, int N1, int N2, int N3, int NBU, int KV, int LAST) {
    if (LAST == 1) return;
    const std::size_t n1 = static_cast<std::size_t>(N1), blk = n1 * NBU;
    for (float* W : {A, B}) {
        if (W == B && TWO != 1) break;
        for (int k = 1; k <= N3; ++k) {
            float* base = W + n1 * N2 * (k - 1);
            if (KV > 1) std::memmove(base, base + blk, blk * (KV - 1) * sizeof(float));
            std::fill(base + blk * (KV - 1), base + blk * KV, 0.0f);
        }
    }
}

}  // namespace zorva
