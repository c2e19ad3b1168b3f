// Green-function influence of a flat panel at a field point.  Near the
// panel the Rankine terms (1/r, its free-surface image with, where asked,
// the logarithmic part of the wave term, and the sea-bed image) are
// integrated exactly over the panel; the wave kernel is then asked for
// without the terms so integrated and taken once at the centroid.
#include "kernels/fldgrn.hpp"

#include <algorithm>
#include <cmath>

#include "common/messages.hpp"
#include "common/types.hpp"
#include "geometry/model.hpp"
#include "kernels/rankpan.hpp"
#include "kernels/wgreenv.hpp"
#include "main/config.hpp"
#include "panels/paneldata.hpp"

namespace zorva {

// Frequency-limit kernel of the finite-depth Green function (one pair).
void FDGRNSC(const float& R, const float& Z, const float& ZETA, const float& H, cplx* G, const int& IFLAGA,
             const int& IFLAGB, const int& IROW);

namespace {

// One Rankine evaluation of the panel at Q.
struct Rank {
    float D = 0.0f, S = 0.0f, LD = 0.0f, LS = 0.0f;
    float GS[3] = {0.0f, 0.0f, 0.0f}, GD[3] = {0.0f, 0.0f, 0.0f}, GLS[3] = {0.0f, 0.0f, 0.0f}, GLD[3] = {0.0f, 0.0f, 0.0f};
};

bool rankine(const float* Q, int ILOGF, int IPAN, int IVEL, Rank& r) {
    int ierr = 0;
    RANKPF(Q, ILOGF, IPAN, pnl::PAXES, pnl::PNLARR6, pnl::PNLARR5, pnl::PCENT, pnl::PNLARR4, pnl::PPROP,
           pnl::PNLARR3, r.D, r.S, r.LD, r.LS, IVEL, r.GS, r.GD, r.GLS, r.GLD, ierr);
    if (ierr == 1) {
        ERRMSG(" Error in evaluation of Rankine integrals ", 0);
        return false;
    }
    return true;
}

float dist2(const float* Q, const float* c) {
    const float dx = Q[0] - c[0], dy = Q[1] - c[1], dz = Q[2] - c[2];
    return dx * dx + dy * dy + dz * dz;
}

}  // namespace

void FLDGRNLO(const float* P, const float& FAC, const float& NU, const int& IPAN, float& DRE, float& DIM, float* GDRE,
              float* GDIM, float& SRE, float& SIM, float* GSRE, float* GSIM, const int& MODE, const int& IVEL,
              const int& KPER, int& IERR) {
    IERR = 0;
    DRE = DIM = SRE = SIM = 0.0f;
    for (int c = 0; c < 3; ++c) GDRE[c] = GDIM[c] = GSRE[c] = GSIM[c] = 0.0f;
    const int L = (MODE != 1 && KPER <= 0) ? cfg::ILOG : 0;
    const float cen[3] = {pnl::PCENT(1, IPAN), pnl::PCENT(2, IPAN), pnl::PCENT(3, IPAN)};
    const float A = pnl::PPROP(1, IPAN);
    float zfs = 0.0f;
    if (const int t = model::ITANK(IPAN); t != 0) zfs = cfg::ZTANKFS(t) + cfg::XBODY(3, cfg::ITANKB(t));
    const float T = FAC * pnl::PNLARR3(2, IPAN);
    const float z = P[2];
    const bool grad = IVEL != 0 && (MODE == 1 || MODE == 2);

    // Rankine terms near the panel; the caller's point is left as it is.
    float Q[3] = {P[0], P[1], P[2]};
    int near = 0, bottom = 0;
    if (dist2(Q, cen) <= T) {
        Rank r;
        if (!rankine(Q, 0, IPAN, IVEL, r)) {
            IERR = 1;
            return;
        }
        DRE = r.D;
        SRE = r.S;
        if (grad)
            for (int c = 0; c < 3; ++c) {
                GSRE[c] = r.GS[c];
                if (MODE == 1) GDRE[c] = r.GD[c];
            }
        near = 1;

        // Free-surface image.
        Q[2] = 2.0f * zfs - z;
        if (dist2(Q, cen) <= T) {
            Rank f;
            if (!rankine(Q, L, IPAN, IVEL, f)) {
                IERR = 1;
                return;
            }
            near = L + 2;
            if (KPER == 2) {
                f.D = -f.D;
                f.S = -f.S;
                for (int c = 0; c < 3; ++c) {
                    f.GS[c] = -f.GS[c];
                    f.GD[c] = -f.GD[c];
                }
            }
            const float lf = 2.0f * NU * static_cast<float>(L);
            DRE += f.D - lf * f.LD;
            SRE += f.S - (L != 0 ? lf * (A * std::log(NU) + f.LS) : 0.0f);
            if (grad && MODE == 1) {
                for (int c = 0; c < 3; ++c) {
                    const float s = c == 2 ? -1.0f : 1.0f;
                    GDRE[c] += s * f.GD[c];
                    GSRE[c] += s * f.GS[c];
                }
            } else if (grad) {
                GSRE[0] += f.GS[0] - lf * f.GLS[0];
                GSRE[1] += f.GS[1] - lf * f.GLS[1];
                GSRE[2] += -f.GS[2] + lf * f.GLS[2];
            }
        }

        // Sea-bed image in finite depth.
        if (model::HBOT > 0.0f) {
            Q[2] = 2.0f * zfs - 2.0f * model::HBOT - z;
            if (dist2(Q, cen) <= T) {
                Rank b;
                if (!rankine(Q, 0, IPAN, IVEL, b)) {
                    IERR = 1;
                    return;
                }
                bottom = 1;
                DRE += b.D;
                SRE += b.S;
                if (grad)
                    for (int c = 0; c < 3; ++c) {
                        const float s = c == 2 ? -1.0f : 1.0f;
                        GSRE[c] += s * b.GS[c];
                        if (MODE == 1) GDRE[c] += s * b.GD[c];
                    }
            }
        }
    }

    // Wave part between the point and the centroid, without the Rankine
    // terms integrated above.
    const float dx = P[0] - cen[0], dy = P[1] - cen[1];
    const float R = std::sqrt(dx * dx + dy * dy);
    const float eRx = R > 1.0e-5f ? dx / R : 0.0f, eRy = R > 1.0e-5f ? dy / R : 0.0f;
    const float X = NU * R, Z = -NU * (z - zfs), ZETA = -NU * (cen[2] - zfs), H = NU * model::HBOT;
    cplx G[8];
    if (KPER == 0) {
        const float A0 = 0.0f;
        const int one = 1;
        int w[14];
        WGREENV(&X, A0, &Z, &ZETA, H, G, &near, &bottom, one, &w[0], &w[1], &w[2], &w[3], &w[4], &w[5], &w[6], &w[7],
                &w[8], &w[9], &w[10], &w[11], &w[12], &w[13]);
    } else {
        FDGRNSC(X, Z, ZETA, H, G, near, bottom, KPER);
    }

    const float nx = pnl::PAXES(3, 1, IPAN), ny = pnl::PAXES(3, 2, IPAN), nz = pnl::PAXES(3, 3, IPAN);
    const float nR = nx * eRx + ny * eRy;
    const float nu2 = NU * NU, nu3 = nu2 * NU;
    const cplx S = A * NU * G[0];
    const cplx D = -A * nu2 * (G[1] * nR + G[6] * nz);
    SRE += S.real();
    SIM += S.imag();
    DRE += D.real();
    DIM += D.imag();
    if (grad) {
        const cplx gs[3] = {A * nu2 * G[1] * eRx, A * nu2 * G[1] * eRy, -A * nu2 * G[2]};
        for (int c = 0; c < 3; ++c) {
            GSRE[c] += gs[c].real();
            GSIM[c] += gs[c].imag();
        }
        if (MODE == 1) {
            // G_R / R; straight above the centroid (where G_R vanishes) its
            // limit G_RR, which is -G_zz / 2 since the kernel is harmonic.
            const float rho = std::max(NU * R, 1.0e-5f);
            const cplx grr = R > 1.0e-5f ? G[1] / rho : -0.5f * G[4];
            const cplx Hc = (-G[4] - 2.0f * grr) * nR + G[7] * nz;
            const cplx gd[3] = {-A * nu3 * (Hc * eRx + nx * grr), -A * nu3 * (Hc * eRy + ny * grr),
                                A * nu3 * (G[5] * nz + G[3] * nR)};
            for (int c = 0; c < 3; ++c) {
                GDRE[c] += gd[c].real();
                GDIM[c] += gd[c].imag();
            }
        }
    }
}

}  // namespace zorva
