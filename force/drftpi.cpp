// Mean drift forces by pressure integration: the loops over bodies,
// heading pairs and symmetric copies, the surface and waterline integrals
// of the low-order method, and the terms that need only the motions, the
// first-order pressure force and the hydrostatics.
#include <cmath>
#include <vector>

#include "common/messages.hpp"
#include "ctrlsurf/csfdata.hpp"
#include "force/drftpi.hpp"
#include "force/forceres.hpp"
#include "geometry/model.hpp"
#include "geometry/modelmore.hpp"
#include "main/config.hpp"
#include "main/symmetry.hpp"
#include "p2f/forcedata.hpp"
#include "panels/geomdata.hpp"
#include "panels/paneldata.hpp"

namespace zorva {

namespace {

using drft::Copy;
using drft::Sums;

// Complex cross product of 1-based 3-vectors.
void cross(const cplx* a, const cplx* b, cplx* out) {
    out[1] = a[2] * b[3] - a[3] * b[2];
    out[2] = a[3] * b[1] - a[1] * b[3];
    out[3] = a[1] * b[2] - a[2] * b[1];
}

// Signs of the copy with component id IC: x mirror, y mirror, and the
// rotational normals n4, n5, n6.
constexpr int SGNT[6][5] = {{0, 0, 0, 0, 0},  {0, 1, -1, -1, 1}, {0, 1, 1, -1, -1},
                            {0, 1, 1, -1, -1}, {0, 1, -1, -1, 1}, {0, 1, -1, 1, -1}};

}  // namespace

void DRFTPLO(const Copy& C, Sums& S, int IWLB, int IPANB, int& IERR) {
    using namespace frc;
    const int ib = C.IB, np = model::NPANB(ib), nwl = model::NWLPANB(ib);
    const int s1 = C.SGN[1], s2 = C.SGN[2], s3 = C.SGN[3], s4 = C.SGN[4], s5 = C.SGN[5];
    const float c = C.CROT, s = C.SROT;
    const float xb = cfg::XBODY(1, ib), yb = cfg::XBODY(2, ib), zb = cfg::XBODY(3, ib);
    const int L1 = C.J1 + (C.ISYM - 1) * NBETAF, L2 = C.J2 + (C.ISYM - 1) * NBETAF;
    auto tank = [](int p) { return model::ITANK.allocated() ? model::ITANK(p) : 0; };
    auto rho = [&](int p) { return tank(p) == 0 ? 1.0f : cfg::RHOTANK(tank(p)); };
    // Displacement at the signed point (x', y', z) for amplitudes xi.
    auto disp = [](const cplx* xi, float x, float y, float z, cplx* d) {
        d[1] = xi[1] + z * xi[5] - y * xi[6];
        d[2] = xi[2] + x * xi[6] - z * xi[4];
        d[3] = xi[3] + y * xi[4] - x * xi[5];
    };

    // 1. Body-frame centroids.
    std::vector<float> X(static_cast<std::size_t>(np) + 1), Y(X.size()), Z(X.size());
    for (int q = 1; q <= np; ++q) {
        const int p = IPANB + q - 1;
        const float dx = pnl::PCENT(1, p) - xb, dy = pnl::PCENT(2, p) - yb;
        X[static_cast<std::size_t>(q)] = c * dx + s * dy;
        Y[static_cast<std::size_t>(q)] = c * dy - s * dx;
        Z[static_cast<std::size_t>(q)] = pnl::PCENT(3, p) - zb;
    }

    // 2. Waterline segments.
    for (int k = IWLB; k < IWLB + nwl; ++k) {
        const int p = IPANB - 1 + model::IWLPAN(k), sd = model::IWLSIDE(k), sd2 = sd % 4 + 1;
        const float len = pnl::PNLARR4(sd, p);
        const float u = 0.5f * (pnl::PNLARR6(sd, p) + pnl::PNLARR6(sd2, p));
        const float v = 0.5f * (pnl::PNLARR5(sd, p) + pnl::PNLARR5(sd2, p));
        const float dx = pnl::PCENT(1, p) - xb + u * pnl::PAXES(1, 1, p) + v * pnl::PAXES(2, 1, p);
        const float dy = pnl::PCENT(2, p) - yb + u * pnl::PAXES(1, 2, p) + v * pnl::PAXES(2, 2, p);
        const float Xs = c * dx + s * dy, Ys = c * dy - s * dx;
        const int t = tank(p);
        const float z = t == 0 ? -zb : cfg::ZTANKFS(t);
        const float xp = static_cast<float>(s1) * Xs, yp = static_cast<float>(s2) * Ys, r = rho(p);
        auto n = [&](int j) { return pnl::VNMODE(C.IMOFFB + j, p); };
        const float b1 = static_cast<float>(s1) * n(1), b2 = static_cast<float>(s2) * n(2), n3 = n(3);
        const float b4 = static_cast<float>(s3) * (Ys * n3 - z * n(2));
        const float b5 = static_cast<float>(s4) * (z * n(1) - Xs * n3);
        const float b6 = static_cast<float>(s5) * (Xs * n(2) - Ys * n(1));
        const float c4 = yp * n3, c5 = -xp * n3;
        const cplx P1 = PTOTP(p, C.J1, C.ISYM), P2c = std::conj(PTOTP(p, C.J2, C.ISYM));
        cplx D1[4], D2[4];
        disp(C.XIB1, xp, yp, z, D1);
        disp(C.XIB2, xp, yp, z, D2);
        const cplx zeta1 = P1 - D1[3], zeta2 = P2c - D2[3];
        const float g = 1.0f - n3 * n3;
        if (std::fabs(g) <= 1.0e-5f) {
            ERRMSG(" Error in waterline integral, OPTN 9 (horizontal panel)", 0);
            ERRMSG("                              Body number :", ib);
            ERRMSG("                             Panel number :", k);
            IERR = 1;
            return;
        }
        const float dl = r * len / std::sqrt(g);
        const cplx Zt = zeta1 * zeta2 * dl, Dp = D1[3] * D2[3] * dl, E = Zt - Dp;
        const cplx wf[4] = {{}, b1 * E, b2 * E, n3 * Zt};
        const cplx wm[4] = {{}, b4 * E + c4 * Dp, b5 * E + c5 * Dp, b6 * E};
        for (int j = 1; j <= 3; ++j) {
            S.DWLF[j] += wf[j];
            S.DWLM[j] += wm[j];
            if (t > 0) {
                S.TWLF[j] += wf[j];
                S.TWLM[j] += wm[j];
            }
        }
        if (t == 0) {
            const cplx H1 = b1 * D1[1] + b2 * D1[2], H2 = b1 * D2[1] + b2 * D2[2];
            const cplx T = (P1 * H2 + P2c * H1) * len;
            const cplx G = P1 * P2c * dl;
            S.DWLZH[3] += n3 * Zt - T;
            S.DWLMH[1] += c4 * Zt - yp * T;
            S.DWLMH[2] += c5 * Zt + xp * T;
            S.DWPF[1] += b1 * G;
            S.DWPF[2] += b2 * G;
            S.DWPM[1] += (b4 - c4) * G;
            S.DWPM[2] += (b5 - c5) * G;
            S.DWPM[3] += b6 * G;
        }
    }

    // 3. Panels.
    for (int q = 1; q <= np; ++q) {
        const int p = IPANB + q - 1, t = tank(p);
        auto n = [&](int j) { return pnl::VNMODE(C.IMOFFB + j, p); };
        const float A = pnl::PPROP(1, p), r = rho(p);
        const float a[7] = {0.0f, s1 * n(1) * A, s2 * n(2) * A, n(3) * A, s3 * n(4) * A, s4 * n(5) * A, s5 * n(6) * A};
        cplx V1[4], V2[4];
        for (int j = 1; j <= 3; ++j) {
            V1[j] = VTOTP(p, j, L1);
            V2[j] = VTOTP(p, j, L2);
        }
        const cplx Q = V1[1] * std::conj(V2[1]) + V1[2] * std::conj(V2[2]) + V1[3] * std::conj(V2[3]);
        for (int j = 1; j <= 3; ++j) {
            S.DQVF[j] += r * Q * a[j];
            S.DQVM[j] += r * Q * a[j + 3];
            if (t > 0) {
                S.TQVF[j] += r * Q * a[j];
                S.TQVM[j] += r * Q * a[j + 3];
            }
        }
        if (model::IRAD == -1) continue;
        const auto uq = static_cast<std::size_t>(q);
        const float xp = static_cast<float>(s1) * X[uq], yp = static_cast<float>(s2) * Y[uq], z = Z[uq];
        cplx D1[4], D2[4], W1[4], W2[4];
        disp(C.XIB1, xp, yp, z, D1);
        disp(C.XIB2, xp, yp, z, D2);
        for (int j = 1; j <= 3; ++j) {
            W1[j] = V1[j];
            W2[j] = V2[j];
        }
        if (C.IROTV == 1) {
            W1[1] = c * V1[1] + s * V1[2];
            W1[2] = c * V1[2] - s * V1[1];
            W2[1] = c * V2[1] + s * V2[2];
            W2[2] = c * V2[2] - s * V2[1];
        }
        const cplx R = D1[1] * std::conj(W2[1]) + D1[2] * std::conj(W2[2]) + D1[3] * std::conj(W2[3]) + W1[1] * D2[1] +
                       W1[2] * D2[2] + W1[3] * D2[3];
        const cplx P1 = PTOTP(p, C.J1, C.ISYM), P2c = std::conj(PTOTP(p, C.J2, C.ISYM));
        for (int j = 1; j <= 3; ++j) {
            const cplx mf = r * R * a[j], mm = r * R * a[j + 3];
            const cplx f1 = r * a[j] * P2c, f2 = r * a[j] * P1, m1 = r * a[j + 3] * P2c, m2 = r * a[j + 3] * P1;
            S.DMTF[j] += mf;
            S.DMTM[j] += mm;
            S.PNF[j][1] += f1;
            S.PNF[j][2] += f2;
            S.PNM[j][1] += m1;
            S.PNM[j][2] += m2;
            if (t > 0) {
                S.TMTF[j] += mf;
                S.TMTM[j] += mm;
                S.TPNF[j][1] += f1;
                S.TPNF[j][2] += f2;
                S.TPNM[j][1] += m1;
                S.TPNM[j][2] += m2;
            }
        }
    }
    IERR = 0;
}

void DRFTPI(float NU, int IOPT9, int& IERR) {
    using namespace frc;
    DRIFTM.fill(cplx{});
    DRIFTS.fill(cplx{});
    if (DRIFTCM.allocated()) DRIFTCM.fill(cplx{});
    if (DRIFTCS.allocated()) DRIFTCS.fill(cplx{});
    const float FAC = 1.0f / NU;
    const bool rad = model::IRAD != -1;
    const bool hi = cfg::ILOWHI != 0;
    int K = 0, ipan = 1, iwl = 1, icoef = 0;
    for (int ib = 1; ib <= cfg::NBODY; ++ib) {
        const int k0 = K, p0 = ipan, w0 = iwl;
        const int newm = cfg::NEWMDS.allocated() ? cfg::NEWMDS(ib) : 0;
        K += 6 + newm;
        int icoefb = 0;
        if (hi) {
            for (int p = 1; p < model::IPSTART(ib); ++p) icoefb += model::NBU(p) * model::NBV(p);
        } else {
            ipan += model::NPANB(ib);
            iwl += model::NWLPANB(ib);
        }
        bool skip = newm > 0;
        for (int p = p0; p < ipan && !skip; ++p) skip = pnl::IPFLAG.allocated() && pnl::IPFLAG(p) == 1;
        if (skip) continue;
        const bool cs = cfg::ICTRSURF > 0 && csf::NCSFS.allocated() && csf::NCSFS(ib) > 0;

        Copy C{};
        C.IB = ib;
        C.IMOFFB = k0;
        C.IROTV = cfg::XBODY(4, ib) != 0.0f ? 1 : 0;
        C.CROT = model::CSPHIB(1, ib);
        C.SROT = model::CSPHIB(2, ib);
        auto ch = [&](int i, int j) { return pnl::CHYD(k0 + i, k0 + j); };
        const float C33 = ch(3, 3), C34 = ch(3, 4), C35 = ch(3, 5), C44 = ch(4, 4), C45 = ch(4, 5), C55 = ch(5, 5);
        const float HYD1 = CZ33(ib), HYD2 = CZ35(ib), HYD3 = CZ34(ib), HYD41 = VMOMB(1, ib), HYD42 = VMOMB(2, ib);
        int P = 0;
        for (int j1 = 1; j1 <= NBETAF; ++j1)
            for (int j2 = j1; j2 <= (IOPT9 == 1 ? j1 : NBETAF); ++j2) {
                ++P;
                C.J1 = j1;
                C.J2 = j2;
                for (int m = 1; m <= 6; ++m) C.XIB1[m] = C.XIB2[m] = cplx{};
                for (int i = 1; i <= sym::NSOLC; ++i) {
                    const int m = sym::IMODORD(i);
                    if (m < k0 + 1 || m > k0 + 6) continue;
                    C.XIB1[m - k0] = XIMOD(i, j1);
                    C.XIB2[m - k0] = std::conj(XIMOD(i, j2));
                }
                Sums S{};
                drft::CsSums Q{};
                for (int isym = 1; isym <= sym::NSYMF; ++isym) {
                    const int ic = sym::ISYMF[static_cast<std::size_t>(isym)];
                    C.ISYM = isym;
                    for (int t = 1; t <= 5; ++t) C.SGN[t] = SGNT[t][ic];
                    int ierr = 0;
                    if (hi)
                        MDRFTP(C, S, icoef, icoefb, NU, model::IDIFF, ierr);
                    else
                        DRFTPLO(C, S, w0, p0, ierr);
                    // Any nonzero status of a surface routine is a failure.
                    if (ierr != 0) {
                        IERR = 1;
                        return;
                    }
                    if (cs) DRFTQUAD(Q, ib, j1, j2, isym, C.SGN[1], C.SGN[2]);
                }
                // Terms of the motions, first-order forces and hydrostatics.
                const cplx* A = C.XIB1;
                const cplx* B = C.XIB2;
                cplx RF[4]{}, RM[4]{}, T[4]{}, Tp[4]{}, HF[4]{}, HM[4]{}, TRF[4]{}, TRM[4]{}, TT[4]{};
                if (rad) {
                    auto Sk = [&](int k, int l) { return A[k] * B[l] + A[l] * B[k]; };
                    cplx FA[4], FB[4], MA[4], MB[4], GA[4]{}, GB[4]{}, Ar[4], Br[4], At[4], Bt[4], x1[4], x2[4];
                    for (int j = 1; j <= 3; ++j) {
                        FB[j] = S.PNF[j][1];
                        FA[j] = S.PNF[j][2];
                        MB[j] = S.PNM[j][1];
                        MA[j] = S.PNM[j][2];
                        At[j] = A[j];
                        Bt[j] = B[j];
                        Ar[j] = A[j + 3];
                        Br[j] = B[j + 3];
                    }
                    GB[3] = -(C33 * B[3] + C34 * B[4] + C35 * B[5]);
                    GA[3] = -(C33 * A[3] + C34 * A[4] + C35 * A[5]);
                    auto cross2 = [&](const cplx* a1, const cplx* b1, const cplx* a2, const cplx* b2, cplx* out) {
                        cross(a1, b1, x1);
                        cross(a2, b2, x2);
                        for (int j = 1; j <= 3; ++j) out[j] = x1[j] + x2[j];
                    };
                    cross2(Ar, FB, Br, FA, RF);
                    cross2(Ar, MB, Br, MA, RM);
                    cross2(At, FB, Bt, FA, T);
                    cross2(At, GB, Bt, GA, Tp);
                    // The same with the tank panels' first-order forces.
                    cplx TFA[4], TFB[4], TMA[4], TMB[4];
                    for (int j = 1; j <= 3; ++j) {
                        TFB[j] = S.TPNF[j][1];
                        TFA[j] = S.TPNF[j][2];
                        TMB[j] = S.TPNM[j][1];
                        TMA[j] = S.TPNM[j][2];
                    }
                    cross2(Ar, TFB, Br, TFA, TRF);
                    cross2(Ar, TMB, Br, TMA, TRM);
                    cross2(At, TFB, Bt, TFA, TT);
                    HF[3] = -(C34 * Sk(5, 6) - C35 * Sk(4, 6)) - 0.5f * HYD1 * (Sk(4, 4) + Sk(5, 5));
                    HM[1] = (C55 - C44) * Sk(5, 6) - C35 * (Sk(2, 5) - Sk(3, 6)) - C34 * Sk(2, 4) - C33 * Sk(2, 3) -
                            HYD1 * Sk(3, 4) + 2.0f * C45 * Sk(4, 6) - HYD3 * (1.5f * Sk(4, 4) + 0.5f * Sk(5, 5)) -
                            0.5f * HYD42 * (Sk(4, 4) + Sk(6, 6)) + (HYD2 + HYD41) * Sk(4, 5);
                    HM[2] = (C55 - C44) * Sk(4, 6) - 2.0f * C45 * Sk(5, 6) + C33 * Sk(1, 3) + C34 * (Sk(1, 4) - Sk(3, 6)) +
                            C35 * Sk(1, 5) - HYD1 * Sk(3, 5) - HYD3 * Sk(4, 5) + HYD2 * (0.5f * Sk(4, 4) + 1.5f * Sk(5, 5)) +
                            0.5f * HYD41 * (Sk(5, 5) + Sk(6, 6));
                }
                for (int n = 1; n <= 3; ++n) {
                    DRIFTM(k0 + n, P) = 0.25f * (S.DWLF[n] + S.DMTF[n] + RF[n] + HF[n] - FAC * S.DQVF[n]);
                    DRIFTM(k0 + 3 + n, P) = 0.25f * (S.DWLM[n] + S.DMTM[n] + RM[n] + HM[n] - FAC * S.DQVM[n] + T[n]);
                    DRIFTS(k0 + 3 + n, P) = DRIFTM(k0 + 3 + n, P) - 0.25f * (T[n] + Tp[n]);
                }
                // Control surface: the momentum flux through it, with the
                // terms of the body's tanks, hydrostatics and hull waterline.
                if (!cs || (cfg::ICTRSURF != 1 && cfg::ICTRSURF != 2)) continue;
                const cplx DWLMH[4] = {{}, S.DWLMH[1], S.DWLMH[2], {}};
                const cplx DWPF[4] = {{}, S.DWPF[1], S.DWPF[2], {}};
                for (int n = 1; n <= 3; ++n) {
                    const cplx tf = S.TWLF[n] + S.TMTF[n] + TRF[n] - FAC * S.TQVF[n];
                    const cplx tm = S.TWLM[n] + S.TMTM[n] + TRM[n] - FAC * S.TQVM[n];
                    cplx f, m;
                    if (cfg::ICTRSURF == 1) {
                        f = tf + (HF[n] + S.DWLZH[n] - Q.CSWF[n]) - FAC * (Q.CSQF[n] + Q.CSFZ[n]);
                        m = tm + (HM[n] + DWLMH[n] - Q.CSWM[n]) - FAC * (Q.CSQM[n] + Q.CSFZM[n]) + TT[n];
                    } else {
                        f = tf + (HF[n] + DWPF[n] + S.DWLZH[n]) - FAC * (Q.CSQF[n] + Q.CSFZ[n] + Q.CSFH[n]);
                        m = tm + (HM[n] + S.DWPM[n] + DWLMH[n]) - FAC * (Q.CSQM[n] + Q.CSFZM[n] + Q.CSFHM[n]) + TT[n];
                    }
                    DRIFTCM(k0 + n, P) = 0.25f * f;
                    DRIFTCM(k0 + 3 + n, P) = 0.25f * m;
                    DRIFTCS(k0 + 3 + n, P) = DRIFTCM(k0 + 3 + n, P) - 0.25f * (T[n] + Tp[n]);
                }
            }
    }
}

}  // namespace zorva
