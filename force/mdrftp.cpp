// Drift integrals of the higher-order method: Gauss quadrature over the
// patches of a body (quadratic velocity, body motion and first-order
// pressure-normal sums) and along their sides on the free surface (the
// relative wave elevation), with the total potential and velocity of the
// two headings of a pair at each point from the B-spline coefficients.
#include <cmath>
#include <vector>

#include "common/messages.hpp"
#include "force/bodyprs.hpp"
#include "force/drftpi.hpp"
#include "force/forceres.hpp"
#include "geometry/bspline.hpp"
#include "geometry/hogeom.hpp"
#include "geometry/model.hpp"
#include "geometry/modelmore.hpp"
#include "main/config.hpp"
#include "main/symmetry.hpp"
#include "p2f/forcedata.hpp"
#include "solver/lufact.hpp"

namespace zorva {

void BPBVMD(const float* BU, const float* BV, int IP, int CSPAN, int IDIFF, float S, const float* XU, const float* XV,
            const float* EN, int J1, int J2, int ISYM, int IFLAG, drft::PointVals& PV, int& IERR) {
    using namespace model;
    for (auto& p : PV.PHIPT) p = cplx{};
    for (auto& v : PV.VELPT) v = cplx{};
    cplx A[9];
    int ipiv[3] = {1, 2, 3};
    if (IFLAG == 1 && !gradient_matrix(XU, XV, EN, A, ipiv)) {
        ERRMSG(" Error in matrix inversion in BPBV", 0);
        IERR = 1;
        return;
    }
    const int ku = KU(IP), kv = KV(IP), nbu = NBU(IP), mku = MAXKU, mkv = MAXKV;
    const int g = sym::ISYMF[static_cast<std::size_t>(ISYM)], ib = IBPTH(IP);
    const float c0 = CSPHIB(1, ib), s0 = CSPHIB(2, ib);
    const int js[2] = {J1, J2};
    for (int k = 1; k <= sym::NSYMC; ++k) {
        const int nmk = sym::NMODSC[static_cast<std::size_t>(k)];
        for (int t = 0; t < 2; ++t) {
            const int j = js[t];
            cplx phi{}, G[3]{};
            if (IRAD >= 0)
                for (int a = 1; a <= nmk; ++a) {
                    const int m = sym::IMODSC(a, k), q = sym::IMODPOS(m);
                    G[2] += S * VNPT(m) * frc::XIMOD(q, j);
                }
            for (int b = 1; b <= kv; ++b)
                for (int a = 1; a <= ku; ++a) {
                    const int c = CSPAN + a + (b - 1) * nbu;
                    cplx co{};
                    if (IDIFF >= 0) co = frc::DIFPOT(c, j, k);
                    if (IRAD >= 0)
                        for (int i = 1; i <= nmk; ++i) {
                            const int q = sym::IMODPOS(sym::IMODSC(i, k));
                            co += S * frc::RADPOT(c, q) * frc::XIMOD(q, j);
                        }
                    phi += co * (BU[a - 1] * BV[b - 1]);
                    if (IFLAG == 1) {
                        G[0] += co * (BU[mku + a - 1] * BV[b - 1]);
                        G[1] += co * (BU[a - 1] * BV[mkv + b - 1]);
                    }
                }
            const int h = sym::ISYMC[static_cast<std::size_t>(k)];
            PV.PHIPT[t] += static_cast<float>(frc::ISGNPZ(h, g)) * phi;
            if (IFLAG != 1) continue;
            LUSOLV(A, G, 1, ipiv, 3);
            PV.VELPT[3 * t] += static_cast<float>(frc::ISGNX(h, g)) * (c0 * G[0] - s0 * G[1]);
            PV.VELPT[3 * t + 1] += static_cast<float>(frc::ISGNY(h, g)) * (s0 * G[0] + c0 * G[1]);
            PV.VELPT[3 * t + 2] += static_cast<float>(frc::ISGNPZ(h, g)) * G[2];
        }
    }
}

void MDRFTP(const drft::Copy& C, drft::Sums& S, int& ICOEF, int ICOEFB, float FNU, int IDIFF, int& IERR) {
    using namespace model;
    IERR = 0;
    const int ib = C.IB, s1 = C.SGN[1], s2 = C.SGN[2], s3 = C.SGN[3], s4 = C.SGN[4], s5 = C.SGN[5];
    const float cr = C.CROT, sr = C.SROT;
    const cplx* X1 = C.XIB1;
    const cplx* X2 = C.XIB2;
    std::vector<float> bu(2 * static_cast<std::size_t>(MAXKU)), bv(2 * static_cast<std::size_t>(MAXKV));
    std::vector<float> xu(static_cast<std::size_t>(MAXQU) + 16), wu(xu.size()), xv(static_cast<std::size_t>(MAXQV) + 16),
        wv(xv.size());
    int O = ICOEFB;
    for (int ip = IPSTART(ib); ip < IPSTART(ib) + NPATCHB(ib); ++ip) {
        const int o = O;
        O += NBU(ip) * NBV(ip);
        if (IFSPAT(ip) == -1) continue;
        ICOEF = o;
        const int tank = ITANK.allocated() && ip <= ITANK.extent(1) ? ITANK(ip) : 0;
        const float rho = tank == 0 ? 1.0f : cfg::RHOTANK(tank);
        const int ku = KU(ip), kv = KV(ip), nu = NU(ip), nv = NV(ip), nbu = NBU(ip), nbv = NBV(ip);
        const int qu = IQUI(ip), qv = IQVI(ip);
        int ig = 0;
        GAUSLE(-1.0f, 1.0f, xu.data(), wu.data(), qu, ig);
        GAUSLE(-1.0f, 1.0f, xv.data(), wv.data(), qv, ig);
        const float* tu = &HOTAB1(1, ip);
        const float* tv = &HOTAB2(1, ip);
        // Everything the integrals need at (u, v) of span (iu, jv).
        float X[3], N[3], XU[3], XV[3], AJ = 0.0f, n[7], b[7], xp = 0, yp = 0, z = 0;
        cplx D1[4], D2[4];
        drft::PointVals PV;
        auto point = [&](float u, float v, int iu, int jv, int flag) {
            int intv = 0, ierr = 0;
            BASEF(tv, nbv, kv, v, 1, 1, bv.data(), MAXKV, intv, ierr);
            if (ierr == 0) BASEF(tu, nbu, ku, u, 1, 1, bu.data(), MAXKU, intv, ierr);
            if (ierr != 0) {
                ERRMSG(" Error calling BASEF in MDRFTP", 0);
                IERR = ierr;
                return false;
            }
            BODYGEOM(u, v, IBPTH(ip), ip, X, N, XU, XV, AJ, 2, NWALL, ierr);
            if (ierr != 0) {
                ERRMSG(" Error calling BODYGEOM in MDRFTP, PATCH ", ip);
                IERR = 1;
                return false;
            }
            const int cspan = o + (jv - 1) * nbu + (iu - 1);
            BPBVMD(bu.data(), bv.data(), ip, cspan, IDIFF, FNU, XU, XV, N, C.J1, C.J2, C.ISYM, flag, PV, ierr);
            if (ierr > 0) {
                IERR = ierr;
                return false;
            }
            for (int j = 1; j <= 6; ++j) n[j] = VNPT(C.IMOFFB + j);
            b[1] = static_cast<float>(s1) * n[1], b[2] = static_cast<float>(s2) * n[2], b[3] = n[3];
            b[4] = static_cast<float>(s3) * n[4], b[5] = static_cast<float>(s4) * n[5], b[6] = static_cast<float>(s5) * n[6];
            xp = static_cast<float>(s1) * X[0], yp = static_cast<float>(s2) * X[1], z = X[2];
            auto disp = [&](const cplx* xi, cplx* d) {
                d[1] = xi[1] + z * xi[5] - yp * xi[6];
                d[2] = xi[2] + xp * xi[6] - z * xi[4];
                d[3] = xi[3] + yp * xi[4] - xp * xi[5];
            };
            disp(X1, D1);
            disp(X2, D2);
            return true;
        };
        // Surface integral.
        for (int jv = 1; jv <= nv; ++jv) {
            const float vm = 0.5f * (tv[kv + jv - 1] + tv[kv + jv - 2]), vh = 0.5f * (tv[kv + jv - 1] - tv[kv + jv - 2]);
            for (int iu = 1; iu <= nu; ++iu) {
                const float um = 0.5f * (tu[ku + iu - 1] + tu[ku + iu - 2]), uh = 0.5f * (tu[ku + iu - 1] - tu[ku + iu - 2]);
                for (int j = 1; j <= qv; ++j)
                    for (int i = 1; i <= qu; ++i) {
                        if (!point(xu[i - 1] * uh + um, xv[j - 1] * vh + vm, iu, jv, 1)) return;
                        const float dS = AJ * wu[i - 1] * wv[j - 1] * uh * vh;
                        float a[7];
                        for (int k = 1; k <= 6; ++k) a[k] = b[k] * dS;
                        const cplx* V1 = &PV.VELPT[0];
                        const cplx* V2 = &PV.VELPT[3];
                        const cplx P1 = PV.PHIPT[0], P2 = PV.PHIPT[1];
                        const cplx Q = V1[0] * std::conj(V2[0]) + V1[1] * std::conj(V2[1]) + V1[2] * std::conj(V2[2]);
                        for (int k = 1; k <= 3; ++k) {
                            S.DQVF[k] += rho * Q * a[k];
                            S.DQVM[k] += rho * Q * a[k + 3];
                            if (tank > 0) S.TQVF[k] += rho * Q * a[k], S.TQVM[k] += rho * Q * a[k + 3];
                        }
                        if (IRAD == -1) continue;
                        cplx W1[3], W2[3];
                        for (int c = 0; c < 3; ++c) W1[c] = V1[c], W2[c] = V2[c];
                        if (C.IROTV == 1) {
                            W1[0] = cr * V1[0] + sr * V1[1], W1[1] = -sr * V1[0] + cr * V1[1];
                            W2[0] = cr * V2[0] + sr * V2[1], W2[1] = -sr * V2[0] + cr * V2[1];
                        }
                        const cplx R = D1[1] * std::conj(W2[0]) + D1[2] * std::conj(W2[1]) + D1[3] * std::conj(W2[2]) +
                                       W1[0] * D2[1] + W1[1] * D2[2] + W1[2] * D2[3];
                        for (int k = 1; k <= 3; ++k) {
                            const cplx mf = rho * R * a[k], mm = rho * R * a[k + 3];
                            const cplx pf2 = rho * a[k] * std::conj(P2), pf1 = rho * a[k] * P1;
                            const cplx pm2 = rho * a[k + 3] * std::conj(P2), pm1 = rho * a[k + 3] * P1;
                            S.DMTF[k] += mf, S.DMTM[k] += mm;
                            S.PNF[k][1] += pf2, S.PNF[k][2] += pf1, S.PNM[k][1] += pm2, S.PNM[k][2] += pm1;
                            if (tank > 0) {
                                S.TMTF[k] += mf, S.TMTM[k] += mm;
                                S.TPNF[k][1] += pf2, S.TPNF[k][2] += pf1, S.TPNM[k][1] += pm2, S.TPNM[k][2] += pm1;
                            }
                        }
                    }
            }
        }
        // Waterline integral: sides 1 (u = 1), 2 (v = 1), 3 (u = -1), 4 (v = -1).
        for (int side = 1; side <= 4; ++side) {
            if ((IWTL(ip) & (1 << (side - 1))) == 0) continue;
            const bool alongv = side == 1 || side == 3;
            const int nspan = alongv ? nv : nu, nq = alongv ? qv : qu;
            for (int s = 1; s <= nspan; ++s) {
                const float* t = alongv ? tv : tu;
                const int kk = alongv ? kv : ku;
                const float m = 0.5f * (t[kk + s - 1] + t[kk + s - 2]), h = 0.5f * (t[kk + s - 1] - t[kk + s - 2]);
                for (int q = 1; q <= nq; ++q) {
                    const float node = (alongv ? xv : xu)[static_cast<std::size_t>(q - 1)] * h + m;
                    const float w = (alongv ? wv : wu)[static_cast<std::size_t>(q - 1)];
                    const float u = alongv ? (side == 1 ? 1.0f : -1.0f) : node;
                    const float v = alongv ? node : (side == 2 ? 1.0f : -1.0f);
                    const int iu = alongv ? (side == 1 ? nu : 1) : s, jv = alongv ? s : (side == 2 ? nv : 1);
                    if (!point(u, v, iu, jv, 0)) return;
                    const float* T = alongv ? XV : XU;
                    const float dl = std::sqrt(T[0] * T[0] + T[1] * T[1] + T[2] * T[2]) * w * h;
                    const float gg = 1.0f - n[3] * n[3];
                    if (std::fabs(gg) <= 1.0e-5f) {
                        ERRMSG(" WARNING: Error in waterline integral, OPTN 9 (large flare)", 0);
                        ERRMSG(" Body number: ", ib);
                        IERR = 1;
                        return;
                    }
                    const float dlp = rho * dl / std::sqrt(gg);
                    const cplx P1 = PV.PHIPT[0], P2c = std::conj(PV.PHIPT[1]);
                    const cplx Z = (P1 - D1[3]) * (P2c - D2[3]) * dlp, Dp = D1[3] * D2[3] * dlp, E = Z - Dp;
                    const float c4 = yp * n[3], c5 = -xp * n[3];
                    const cplx f[4] = {{}, b[1] * E, b[2] * E, n[3] * Z};
                    const cplx mo[4] = {{}, b[4] * E + c4 * Dp, b[5] * E + c5 * Dp, b[6] * E};
                    for (int k = 1; k <= 3; ++k) {
                        S.DWLF[k] += f[k], S.DWLM[k] += mo[k];
                        if (tank > 0) S.TWLF[k] += f[k], S.TWLM[k] += mo[k];
                    }
                    if (tank > 0) continue;
                    const cplx H1 = b[1] * D1[1] + b[2] * D1[2], H2 = b[1] * D2[1] + b[2] * D2[2];
                    const cplx TT = (P1 * H2 + P2c * H1) * dlp, G = P1 * P2c * dlp;
                    S.DWLZH[3] += n[3] * Z - TT;
                    S.DWLMH[1] += c4 * Z - yp * TT;
                    S.DWLMH[2] += c5 * Z + xp * TT;
                    S.DWPF[1] += b[1] * G, S.DWPF[2] += b[2] * G;
                    S.DWPM[1] += (b[4] - c4) * G, S.DWPM[2] += (b[5] - c5) * G, S.DWPM[3] += b[6] * G;
                }
            }
        }
    }
    ICOEF = O;
}

}  // namespace zorva
