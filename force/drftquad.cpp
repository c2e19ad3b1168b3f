// Control-surface sums of the mean drift of one body, heading pair and
// symmetric copy: the momentum flux through the submerged control surface,
// the velocity products on its free-surface part, and the potential
// products along its waterline.
#include "ctrlsurf/csfdata.hpp"
#include "force/drftpi.hpp"
#include "p2f/forcedata.hpp"

namespace zorva {

void DRFTQUAD(drft::CsSums& Q, int IB, int J1, int J2, int ISYM, int S1, int S2) {
    using namespace csf;
    const int L1 = J1 + (ISYM - 1) * frc::NBETAF, L2 = J2 + (ISYM - 1) * frc::NBETAF;
    const float s1 = static_cast<float>(S1), s2 = static_cast<float>(S2);
    auto vel = [&](int i, cplx* U, cplx* V) {
        for (int d = 1; d <= 3; ++d) {
            U[d] = VELCSF(d, i, L1);
            V[d] = std::conj(VELCSF(d, i, L2));
        }
    };
    // Submerged points: momentum flux.
    {
        cplx f[4]{}, m[4]{};
        for (int i = ICSFS(IB) + 1; i <= ICSFS(IB) + NCSFS(IB); ++i) {
            cplx U[4], V[4];
            vel(i, U, V);
            const float w = WCSF(i), x = s1 * XCSF(1, i), y = s2 * XCSF(2, i), z = XCSF(3, i);
            const float n[4] = {0.0f, s1 * VNCSF(1, i), s2 * VNCSF(2, i), VNCSF(3, i)};
            const cplx nV = n[1] * V[1] + n[2] * V[2] + n[3] * V[3], nU = n[1] * U[1] + n[2] * U[2] + n[3] * U[3];
            const cplx UV = U[1] * V[1] + U[2] * V[2] + U[3] * V[3];
            cplx T[4];
            for (int d = 1; d <= 3; ++d) T[d] = U[d] * nV + V[d] * nU - UV * n[d];
            for (int d = 1; d <= 3; ++d) f[d] += w * T[d];
            m[1] += w * (y * T[3] - z * T[2]);
            m[2] += w * (z * T[1] - x * T[3]);
            m[3] += w * (x * T[2] - y * T[1]);
        }
        for (int d = 1; d <= 3; ++d) {
            Q.CSQF[d] += f[d];
            Q.CSQM[d] += m[d];
        }
    }
    // Free-surface points.
    {
        cplx fz{}, mz1{}, mz2{}, h1{}, h2{}, hm[4]{};
        for (int i = ICSFF(IB) + 1; i <= ICSFF(IB) + NCSFF(IB); ++i) {
            cplx U[4], V[4];
            vel(i, U, V);
            const float w = WCSF(i), x = XCSF(1, i), y = XCSF(2, i), z = XCSF(3, i);
            const cplx P = -(U[1] * V[1] + U[2] * V[2] - U[3] * V[3]) * VNCSF(3, i);
            fz += w * P;
            mz1 += w * s2 * y * P;
            mz2 += -w * s1 * x * P;
            const cplx q1 = U[1] * V[3] + U[3] * V[1], q2 = U[2] * V[3] + U[3] * V[2];
            h1 += w * q1;
            h2 += w * q2;
            hm[1] += -w * z * q2;
            hm[2] += w * z * q1;
            hm[3] += w * (s1 * x * q2 - s2 * y * q1);
        }
        Q.CSFZ[3] += fz;
        Q.CSFZM[1] += mz1;
        Q.CSFZM[2] += mz2;
        Q.CSFH[1] += h1;
        Q.CSFH[2] += h2;
        for (int d = 1; d <= 3; ++d) Q.CSFHM[d] += hm[d];
    }
    // Waterline points.
    {
        cplx f[4]{}, m[4]{};
        for (int i = ICSFW(IB) + 1; i <= ICSFW(IB) + NCSFW(IB); ++i) {
            const cplx E = PHICSF(i, L1) * std::conj(PHICSF(i, L2));
            const float w = WCSF(i), x = s1 * XCSF(1, i), y = s2 * XCSF(2, i), z = XCSF(3, i);
            const cplx En[4] = {{}, E * (s1 * VNCSF(1, i)), E * (s2 * VNCSF(2, i)), E * VNCSF(3, i)};
            for (int d = 1; d <= 3; ++d) f[d] += w * En[d];
            m[1] += w * (y * En[3] - z * En[2]);
            m[2] += w * (z * En[1] - x * En[3]);
            m[3] += w * (x * En[2] - y * En[1]);
        }
        for (int d = 1; d <= 3; ++d) {
            Q.CSWF[d] += f[d];
            Q.CSWM[d] += m[d];
        }
    }
}

}  // namespace zorva
