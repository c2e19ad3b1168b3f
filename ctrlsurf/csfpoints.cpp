// Quadrature points of a control-surface patch: 3 x 3 Gauss points on each
// of its sub-panels (free-surface or submerged), 3 Gauss points along each
// sub-panel side that lies on the free surface (waterline), and the
// sub-panel counts of the patches from the panel size or the .csp file.
#include <algorithm>
#include <cmath>

#include "common/channels.hpp"
#include "common/freeread.hpp"
#include "common/messages.hpp"
#include "ctrlsurf/ctrlsurf.hpp"
#include "geometry/model.hpp"
#include "geometry/modelin.hpp"
#include "main/config.hpp"

namespace zorva {

namespace {
// Sub-panels of one patch beyond this make the point count overflow.
constexpr long MAXSUB = fread::MAXITEMS / 9;

float length(const float* a) { return std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]); }

void csfgeom_failed(int IB, int& IERR) {
    ERRMSG("Error return from subroutine CSFGEOM for body ", IB);
    IERR = 1;
}
}  // namespace

void RDCSFSPL(int IB, float PSZ, int NPATCSF, const std::string& CSPNAME, int& IERR) {
    using namespace csf;
    const int np = std::max(NPATCSF, 0);
    if (!NUC.allocate(np) || !NVC.allocate(np)) {
        ERRMSG(" Allocation error for NUC,NVC in RDCSFSPL", 0);
        IERR = 1;
        return;
    }
    auto too_many = [&](int ip) {
        ERRMSG(" Error: too many sub-panels in CSF for patch ", ip);
        IERR = 1;
    };
    if (PSZ == 0.0f) {
        ERRMSG(" Error: panel size PSZCSF is 0 in CSF for body ", IB);
        IERR = 1;
        return;
    }
    if (PSZ > 0.0f) {
        float SL[6];
        for (int ip = 1; ip <= np; ++ip) {
            PSIDLENC(ip, IB, SL, IERR);
            if (IERR != 0) {
                ERRMSG(" Error calling PSIDLENC in RDCSFSPL ", 0);
                IERR = 1;
                return;
            }
            const float nu = std::max({SL[1], SL[3], SL[5]}) / PSZ, nv = std::max({SL[0], SL[2], SL[4]}) / PSZ;
            if (!(nu < static_cast<float>(MAXSUB)) || !(nv < static_cast<float>(MAXSUB))) return too_many(ip);
            NUC(ip) = std::max(static_cast<int>(nu), 1);
            NVC(ip) = std::max(static_cast<int>(nv), 1);
            if (static_cast<long>(NUC(ip)) * NVC(ip) > MAXSUB) return too_many(ip);
        }
        return;
    }
    if (chan::open(IUCSP, CSPNAME, chan::Status::Old) != 0) {
        ERRMSG(" Error -- cannot open CSP file ", 0);
        IERR = 1;
        return;
    }
    std::string head;
    if (fread::read_text(IUCSP, head, 80) != 0) {
        ERRMSG(" Error reading header in CSP file ", 0);
        chan::close(IUCSP);
        IERR = 1;
        return;
    }
    for (int ip = 1; ip <= np; ++ip) {
        const int st = fread::read_group(IUCSP, {fread::I(NUC(ip)), fread::I(NVC(ip))});
        if (st == -1) {
            ERRMSG(" Insufficient data in CSP file ", 0);
            ERRMSG(" Total number of control surface patches =", NPATCSF);
        } else if (st != 0) {
            ERRMSG(" Error reading panel data in CSP file ", 0);
        } else if (NUC(ip) < 1 || NVC(ip) < 1) {
            ERRMSG(" Error: sub-panel counts below 1 in CSP file for patch ", ip);
        } else if (static_cast<long>(NUC(ip)) * NVC(ip) > MAXSUB) {
            ERRMSG(" Error: too many sub-panels in CSP file for patch ", ip);
        } else {
            continue;
        }
        chan::close(IUCSP);
        IERR = 1;
        return;
    }
    ECHOINP(CSPNAME, IUCSP, 0);
    chan::close(IUCSP);
}

void CSFFSCHK(int IB, int IP, int NG, float& DU, float& DV, float& DU2, float& DV2, int& IFS, csf::Points& S,
              csf::Points& F, int& IERR) {
    using namespace csf;
    const float zb = cfg::XBODY(3, IB);
    float X[3], N[3], XU[3], XV[3], AJ;
    auto fail = [&] { csfgeom_failed(IB, IERR); };
    CSFGEOM(0.0f, 0.0f, IB, IP, X, N, XU, XV, AJ, 1, IERR);
    if (IERR != 0) return fail();
    const float zc = X[2] + zb;
    if (zc > 1.0e-6f) {
        ERRMSG(" Error: Free surface patch above Z=0 in CSF, patch= ", IP);
        IERR = 1;
        return;
    }
    IFS = zc > -1.0e-4f ? 1 : 0;
    if (IFS == 1 && N[2] > 0.9999f) {
        ERRMSG(" Error: Free surface normal reversed in CSF, patch= ", IP);
        IERR = 1;
        return;
    }
    DU = 2.0f / static_cast<float>(NUC(IP));
    DV = 2.0f / static_cast<float>(NVC(IP));
    DU2 = DU / 2;
    DV2 = DV / 2;
    for (int j = 1; j <= NVC(IP); ++j)
        for (int i = 1; i <= NUC(IP); ++i) {
            const float uc = static_cast<float>(i - 1) * DU - 1 + DU2, vc = static_cast<float>(j - 1) * DV - 1 + DV2;
            for (int m = 1; m <= NG; ++m)
                for (int l = 1; l <= NG; ++l) {
                    CSFGEOM(DU2 * XGCSF[l] + uc, DV2 * XGCSF[m] + vc, IB, IP, X, N, XU, XV, AJ, 1, IERR);
                    if (IERR != 0) return fail();
                    const float nn[3] = {-N[0], -N[1], -N[2]};
                    const float w = WGCSF[l] * WGCSF[m] * DU2 * DV2 * AJ;
                    (N[2] < -0.9999f && zc > -1.0e-4f ? F : S).add(X, nn, w);
                }
        }
}

void CSFWLCHK(int IB, int IP, int NG, float DU, float DV, float DU2, float DV2, csf::Points& W, int& IERR) {
    using namespace csf;
    const float zb = cfg::XBODY(3, IB);
    float X[3], N[3], XU[3], XV[3], AJ;
    auto fail = [&] { csfgeom_failed(IB, IERR); };
    float SL[6];
    PSIDLENC(IP, IB, SL, IERR);
    if (IERR != 0) return fail();
    const float CU[5] = {1, 1, -1, -1, 1}, CV[5] = {-1, 1, 1, -1, -1};  // corners C1..C4, C5 = C1
    const float MU[4] = {1, 0, -1, 0}, MV[4] = {0, 1, 0, -1};           // side middles
    float zc[5];
    for (int k = 0; k < 4; ++k) {
        CSFGEOM(CU[k], CV[k], IB, IP, X, N, XU, XV, AJ, 0, IERR);
        if (IERR != 0) return fail();
        zc[k] = X[2];
    }
    zc[4] = zc[0];
    const float tol = 1.0e-4f * *std::max_element(SL, SL + 6);
    bool on[4] = {};
    int count = 0;
    for (int k = 0; k < 4; ++k) {
        CSFGEOM(MU[k], MV[k], IB, IP, X, N, XU, XV, AJ, 0, IERR);
        if (IERR != 0) return fail();
        on[k] = std::fabs(zc[k] - zc[k + 1]) < tol && std::fabs(X[2] + zb) < 1.0e-4f &&
                std::fabs(zc[k] + zb) < 1.0e-4f && SL[k] >= 1.0e-4f;
        count += on[k] ? 1 : 0;
    }
    if (count > 2) {
        ERRMSG(" Warning: >2 vertices on free surface, NPATCH =", IP);
        ERRMSG("                                 CSF for body =", IB);
    }
    for (int k = 0; k < 4; ++k) {
        if (!on[k]) continue;
        const bool alongv = k == 0 || k == 2;
        for (int j = 1; j <= NVC(IP); ++j)
            for (int i = 1; i <= NUC(IP); ++i) {
                if ((k == 0 && i != NUC(IP)) || (k == 1 && j != NVC(IP)) || (k == 2 && i != 1) || (k == 3 && j != 1))
                    continue;
                const float uc = static_cast<float>(i - 1) * DU - 1 + DU2, vc = static_cast<float>(j - 1) * DV - 1 + DV2;
                for (int m = 1; m <= NG; ++m) {
                    const float u = alongv ? MU[k] : DU2 * XGCSF[m] + uc, v = alongv ? DV2 * XGCSF[m] + vc : MV[k];
                    CSFGEOM(u, v, IB, IP, X, N, XU, XV, AJ, 1, IERR);
                    if (IERR != 0) return fail();
                    const float w = alongv ? length(XV) * WGCSF[m] * DV2 : length(XU) * WGCSF[m] * DU2;
                    const float g = 1.0f - N[2] * N[2];
                    if (g <= 1.0e-5f) {
                        // A horizontal surface along the waterline has no
                        // horizontal normal to give the waterline point.
                        ERRMSG(" Error: horizontal CSF patch side on the free surface, patch= ", IP);
                        ERRMSG("                                               body= ", IB);
                        IERR = 1;
                        return;
                    }
                    const float r = std::sqrt(g), nn[3] = {-N[0] / r, -N[1] / r, -N[2] / r};
                    W.add(X, nn, w);
                }
            }
    }
}

void RDCSFBSP(int NPATCSF, int& IERR) {
    using namespace csf;
    using fread::I;
    using fread::R;
    const int np = std::max(NPATCSF, 0);
    auto fail = [&](const char* msg, int v) {
        ERRMSG(msg, v);
        IERR = 1;
    };
    bool ok = true;
    for (auto* a : {&NUCG, &NVCG, &KUCG, &KVCG, &NBUCG, &NBVCG}) ok = a->allocate(np) && ok;
    ok = UPARC.allocate(2, np) && VPARC.allocate(2, np) && ok;
    if (!ok) return fail(" Allocation error for NUCG in RDCSF", 0);
    MAXKUC = MAXKVC = 0;
    MKNOTC = NCOEFC = 0;
    XCOEFC.deallocate();
    for (int ip = 1; ip <= np; ++ip) {
        if (fread::read_group(IUCSF, {I(NUCG(ip)), I(NVCG(ip))}) != 0)
            return fail(" Error reading NU & NV from CSF for patch ", ip);
        if (fread::read_group(IUCSF, {I(KUCG(ip)), I(KVCG(ip))}) != 0)
            return fail(" Error reading KU & KV from CSF for patch ", ip);
        // Orders and interval counts that make no spline, or more knots or
        // control points than any file can hold, cannot be read.
        const long nu0 = NUCG(ip), nv0 = NVCG(ip), ku = KUCG(ip), kv = KVCG(ip);
        if (nu0 < 1 || nv0 < 1 || ku < 1 || kv < 1 || nu0 + 2 * ku > fread::MAXITEMS ||
            nv0 + 2 * kv > fread::MAXITEMS || (nu0 + ku) * (nv0 + kv) > fread::MAXITEMS)
            return fail(" Error reading NU & NV from CSF for patch ", ip);
        MAXKUC = std::max(MAXKUC, KUCG(ip));
        MAXKVC = std::max(MAXKVC, KVCG(ip));
        NBUCG(ip) = NUCG(ip) + KUCG(ip) - 1;
        NBVCG(ip) = NVCG(ip) + KVCG(ip) - 1;
        const int nu = NBUCG(ip) + KUCG(ip), nv = NBVCG(ip) + KVCG(ip), m = std::max(nu, nv);
        if (ip == 1 || m > MKNOTC) {
            if (ip == 1) {
                if (!UKNOTC.allocate(m, np) || !VKNOTC.allocate(m, np))
                    return fail(" Allocation error for VKNTUCG in RDCSF", 0);
            } else if (!UKNOTC.resize_keep(m, np) || !VKNOTC.resize_keep(m, np)) {
                return fail(" Allocation error for VKNTUCG in RDCSF", 0);
            }
            MKNOTC = m;
        }
        if (fread::read_group(IUCSF, {R(UKNOTC.ptr(1, ip), nu)}) != 0 ||
            fread::read_group(IUCSF, {R(VKNOTC.ptr(1, ip), nv)}) != 0)
            return fail(" Error reading knot vector from CSF for patch ", ip);
        if (!COORDSOK(UKNOTC.ptr(1, ip), nu, 1.0f) || !COORDSOK(VKNOTC.ptr(1, ip), nv, 1.0f))
            return fail(" Error in CSF file: knot beyond 1.E6 for patch ", ip);
        const int n = NBUCG(ip) * NBVCG(ip);
        if (!XCOEFC.resize_keep(3, NCOEFC + n)) return fail(" Allocation error in RDCSF, XCOEFC", 0);
        for (int k = NCOEFC + 1; k <= NCOEFC + n; ++k)
            if (fread::read_group(IUCSF, {R(XCOEFC.ptr(1, k), 3)}) != 0)
                return fail(" Error reading XCOEF from CSF for patch ", ip);
            else if (!COORDSOK(XCOEFC.ptr(1, k), 3, model::ULENI))
                return fail(" Error in CSF file: XCOEF beyond 1.E6 x ULEN for patch ", ip);
        NCOEFC += n;
        const float u0 = UKNOTC(KUCG(ip), ip), u1 = UKNOTC(NBUCG(ip) + 1, ip);
        const float v0 = VKNOTC(KVCG(ip), ip), v1 = VKNOTC(NBVCG(ip) + 1, ip);
        UPARC(1, ip) = (u1 - u0) / 2;
        UPARC(2, ip) = (u0 + u1) / 2;
        VPARC(1, ip) = (v1 - v0) / 2;
        VPARC(2, ip) = (v0 + v1) / 2;
    }
}

}  // namespace zorva
