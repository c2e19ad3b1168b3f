// Body values of the higher-order method: the input-panel centroids of
// the patches (GETPCT), the inverse mapping of a .bpi point onto a patch
// (FINDBPTH), and the potential and velocity at those points from the
// patches' B-spline coefficients (BPBV, BPBVBPTH, BPBVSOL).
#include <algorithm>
#include <cmath>
#include <vector>

#include "common/channels.hpp"
#include "common/fmtwrite.hpp"
#include "common/messages.hpp"
#include "force/bodyprs.hpp"
#include "force/bodypts.hpp"
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

namespace frc {
Arr1<int> IBPPAT, IBPLEFT;
Arr2<float> ENBP, XUBP, XVBP, VNBP, UVBP;
Arr3<float> BUBP, BVBP;
Arr3<int> NSUBPCT;
Arr2<float> XPCT, ENPCT, XUPCT, XVPCT, VNPCT;
Arr1<float> APCT;
Arr3<float> BUPCT, BVPCT;
void reset_hobody() {
    IBPPAT.deallocate(), IBPLEFT.deallocate();
    for (auto* a : {&ENBP, &XUBP, &XVBP, &VNBP, &UVBP, &XPCT, &ENPCT, &XUPCT, &XVPCT, &VNPCT}) a->deallocate();
    for (auto* a : {&BUBP, &BVBP, &BUPCT, &BVPCT}) a->deallocate();
    NSUBPCT.deallocate(), APCT.deallocate();
}
}  // namespace frc

namespace {
bool skip_patch(int p) { return model::IFSPAT(p) == -1; }
int first_patch(int ib) { return model::IPSTART(ib); }
int last_patch(int ib) { return model::IPSTART(ib) + model::NPATCHB(ib) - 1; }
float dot(const float* a, const float* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
void cross(const float* a, const float* b, float* c) {
    c[0] = a[1] * b[2] - a[2] * b[1];
    c[1] = a[2] * b[0] - a[0] * b[2];
    c[2] = a[0] * b[1] - a[1] * b[0];
}
// First unknown of the knot span that holds (u, v) on patch IP.
int span_left(int IP, float u, float v) {
    using namespace model;
    auto interval = [](const float* t, int k, int nint, float x) {
        for (int i = 1; i <= nint; ++i)
            if (t[k + i - 2] <= x && x <= t[k + i - 1]) return i;
        return nint;
    };
    const int iu = interval(&HOTAB1(1, IP), KU(IP), NU(IP), u), iv = interval(&HOTAB2(1, IP), KV(IP), NV(IP), v);
    int off = 0;
    for (int p = 1; p < IP; ++p) off += NBU(p) * NBV(p);
    return off + (iv - 1) * NBU(IP) + iu - 1;
}

// Length of a tangent, relative to the other, below which its direction
// counts as collapsed (a patch edge drawn together into a pole).  Within
// this the B-spline potential's derivative along the collapsed direction,
// divided by the short tangent, would dominate the velocity.
constexpr float COLLAPSED = 0.02f;

// Which parameter direction has collapsed at a point with tangents XU, XV:
// 1 u, 2 v, 0 neither.  Tangents both small against nothing are left alone.
int collapsed_direction(const float* XU, const float* XV) {
    const float lu = std::sqrt(dot(XU, XU)), lv = std::sqrt(dot(XV, XV));
    if (lu < COLLAPSED * lv) return 1;
    if (lv < COLLAPSED * lu) return 2;
    return 0;
}
}  // namespace

void GETPCT(int& IERR) {
    using namespace model;
    using namespace frc;
    IERR = 0;
    long npmax = 4L * NPATCHT;
    for (int p = 1; p <= NPATCHT; ++p) npmax += static_cast<long>(KU(p) + 1) * NU(p) * (KV(p) + 1) * NV(p);
    const int nm = NMODT;
    if (!NSUBPCT.allocate(MAXNU, MAXNV, NPATCHT) || !XPCT.allocate(3, npmax) || !ENPCT.allocate(3, npmax) ||
        !XUPCT.allocate(3, npmax) || !XVPCT.allocate(3, npmax) || !APCT.allocate(npmax) ||
        !BUPCT.allocate(MAXKU, 2, npmax) || !BVPCT.allocate(MAXKV, 2, npmax) || !VNPCT.allocate(nm, npmax)) {
        ERRMSG(" Error allocating memory in GETPCT ", 0);
        IERR = 1;
        return;
    }
    int N = 0;
    for (int ib = 1; ib <= cfg::NBODY; ++ib)
        for (int p = first_patch(ib); p <= last_patch(ib); ++p) {
            if (skip_patch(p) || NV(p) == 0) continue;
            const int ku = KU(p), kv = KV(p);
            const float du = 2.0f / static_cast<float>((ku + 1) * NU(p)), dv = 2.0f / static_cast<float>((kv + 1) * NV(p));
            for (int iv = 1; iv <= NV(p); ++iv)
                for (int iu = 1; iu <= NU(p); ++iu)
                    for (int kv1 = 1; kv1 <= kv + 1; ++kv1)
                        for (int ku1 = 1; ku1 <= ku + 1; ++ku1) {
                            ++N;
                            NSUBPCT(iu, iv, p) += 1;
                            const float uc = -1.0f - du / 2 + static_cast<float>((ku + 1) * (iu - 1) + ku1) * du;
                            const float vc = -1.0f - dv / 2 + static_cast<float>((kv + 1) * (iv - 1) + kv1) * dv;
                            // Centroid in the parameters, weighted by the Jacobian.
                            float x[3], e[3], xu[3], xv[3], aj = 0.0f;
                            double sj = 0, su = 0, sv = 0;
                            int ierr = 0;
                            for (int qv = 1; qv <= IQVI(p); ++qv)
                                for (int qu = 1; qu <= IQUI(p); ++qu) {
                                    const float u = HOTAB3(qu, p) * du / 2 + uc, v = HOTAB5(qv, p) * dv / 2 + vc;
                                    BODYGEOM(u, v, ib, p, x, e, xu, xv, aj, 1, 0, ierr);
                                    if (ierr != 0) {
                                        ERRMSG(" Error calling BODYGEOM in GETPCT", 0);
                                        IERR = 1;
                                        return;
                                    }
                                    sj += static_cast<double>(aj);
                                    su += static_cast<double>(u) * static_cast<double>(aj);
                                    sv += static_cast<double>(v) * static_cast<double>(aj);
                                }
                            const float u = static_cast<float>(su / sj), v = static_cast<float>(sv / sj);
                            int intv = 0;
                            BASEF(&HOTAB1(1, p), NBU(p), ku, u, 1, 1, &BUPCT(1, 1, N), MAXKU, intv, ierr);
                            if (ierr == 0) BASEF(&HOTAB2(1, p), NBV(p), kv, v, 1, 1, &BVPCT(1, 1, N), MAXKV, intv, ierr);
                            if (ierr != 0) {
                                ERRMSG(" Error calling BASEF in GETPCT", 0);
                                IERR = 1;
                                return;
                            }
                            BODYGEOM(u, v, ib, p, &XPCT(1, N), &ENPCT(1, N), &XUPCT(1, N), &XVPCT(1, N), APCT(N), 2, 0,
                                     ierr);
                            if (ierr != 0) {
                                ERRMSG(" Error calling BODYGEOM in GETPCT", 0);
                                IERR = 1;
                                return;
                            }
                            APCT(N) *= du * dv;
                            for (int m = 1; m <= nm; ++m) VNPCT(m, N) = VNPT(m);
                        }
        }
    NPCT = N;
}

void FINDBPTH(const float* X, int IB, int IUNIT, int I, int J, int& NUNCONV, int& IERR) {
    using namespace model;
    using namespace frc;
    const int np = NPATCHT;
    Arr1<float> UB(np), VB(np), DB(np);
    float s[3], n[3], su[3], sv[3], aj = 0.0f;
    int ierr = 0;
    auto d2 = [&](float u, float v, int ip) {
        BODYGEOM(u, v, IB, ip, s, n, su, sv, aj, 1, 0, ierr);
        return (X[0] - s[0]) * (X[0] - s[0]) + (X[1] - s[1]) * (X[1] - s[1]) + (X[2] - s[2]) * (X[2] - s[2]);
    };
    auto geomfail = [&](int ip) {
        ERRMSG(" Error calling BODYGEOM from FINDBPTH, PATCH ", ip);
        IERR = 1;
    };
    constexpr float LIM = 0.99999f;
    int found = 0, fall = 0, iters = 17;
    for (int ip = first_patch(IB); ip <= last_patch(IB) && found == 0; ++ip) {
        if (skip_patch(ip)) continue;
        const int ngu = NU(ip) * KU(ip), ngv = NV(ip) * KV(ip);
        const float du = 2.0f / static_cast<float>(ngu), dv = 2.0f / static_cast<float>(ngv);
        float& ub = UB(ip);
        float& vb = VB(ip);
        ub = vb = -LIM;
        float best = d2(ub, vb, ip);
        if (ierr != 0) return geomfail(ip);
        for (int iu = 1; iu <= ngu; ++iu)
            for (int iv = 1; iv <= ngv; ++iv) {
                const float u = -1.0f - du / 2 + static_cast<float>(iu) * du, v = -1.0f - dv / 2 + static_cast<float>(iv) * dv;
                const float d = d2(u, v, ip);
                if (ierr != 0) return geomfail(ip);
                if (d < best) best = d, ub = u, vb = v;
            }
        float tol = 1.0e-8f;
        for (int k = 1; k <= 16; ++k) {
            ub = std::clamp(ub, -LIM, LIM);
            vb = std::clamp(vb, -LIM, LIM);
            DB(ip) = d2(ub, vb, ip);
            if (ierr != 0) return geomfail(ip);
            if (k == 1 && aj > 1.0f) tol = 1.0e-8f * aj * aj;
            if (DB(ip) < tol) {
                found = ip;
                iters = k;
                break;
            }
            const float D[3] = {X[0] - s[0], X[1] - s[1], X[2] - s[2]};
            float a[3], b[3];
            cross(sv, n, a);
            cross(n, su, b);
            const float det = dot(su, a);
            ub += dot(D, a) / det;
            vb += dot(D, b) / det;
        }
        if (found == 0 && (fall == 0 || DB(ip) < DB(fall))) fall = ip;
    }
    if (found == 0) {
        found = fall;
        ++NUNCONV;
    }
    const int ip = found;
    if (ip == 0) {
        ERRMSG(" Error calling BODYGEOM from FINDBPTH, PATCH ", 0);
        IERR = 1;
        return;
    }
    const float u = std::clamp(UB(ip), -1.0f, 1.0f), v = std::clamp(VB(ip), -1.0f, 1.0f);
    IBPPAT(J) = ip;
    int intv = 0;
    BASEF(&HOTAB2(1, ip), NBV(ip), KV(ip), v, 1, 1, &BVBP(1, 1, J), MAXKV, intv, IERR);
    if (IERR != 0) return ERRMSG(" Error calling BASEF for VF in FINDBPTH", 0);
    BASEF(&HOTAB1(1, ip), NBU(ip), KU(ip), u, 1, 1, &BUBP(1, 1, J), MAXKU, intv, IERR);
    if (IERR != 0) return ERRMSG(" Error calling BASEF for UF in FINDBPTH", 0);
    BODYGEOM(u, v, IB, ip, s, &ENBP(1, J), &XUBP(1, J), &XVBP(1, J), aj, 2, 0, IERR);
    if (IERR != 0) {
        ERRMSG(" Error calling BODYGEOM in FINDBPTH", 0);
        IERR = 1;
        return;
    }
    for (int m = 1; m <= NMODT; ++m) VNBP(m, J) = VNPT(m);
    IBPLEFT(J) = span_left(ip, u, v);
    UVBP(1, J) = u;
    UVBP(2, J) = v;

    // The report line: the surface point and normal mirrored back into the
    // point's own image.
    const int g = IBPIMG(J);
    const float sx = g == 2 || g == 3 ? -1.0f : 1.0f, sy = g == 3 || g == 4 ? -1.0f : 1.0f, L = ULEN(1);
    const float dist = std::sqrt(DB(ip));
    const int st = fmt::write(IUNIT, "(I7,1X,2I4,1X,2F10.6,2X,1P,E12.2,I4,3E12.4,0P,3F10.5)",
                              {I, IBPIDX(J), ip, u, v, dist, iters, s[0] * sx * L, s[1] * sy * L, s[2] * L,
                               ENBP(1, J) * sx, ENBP(2, J) * sy, ENBP(3, J)});
    if (st != 0) {
        ERRMSG(" Error writing body-point output file " + chan::name(IUNIT), 0);
        IERR = 1;
    }
}

// One point: potential P(q, f) and velocity V(c, q, f) for the columns of
// the kind (1 radiation: NSOLC columns; 0 diffraction: one per heading),
// for the NF copies of image ids IMG[1..NF].
void BPBVSOL(int IP, const float* BU, const float* BV, int ILEFT, int KIND, int NCOL, const float* VN,
             const cplx* A, const int* IPIV, float S, int IB, int NF, const int* IMG, int IPRS, int IVEL, int IPERFL,
             cplx* P, cplx* V, const float* BU2, const float* BV2, int ILEFT2, int IROW2) {
    using namespace model;
    const int ku = KU(IP), kv = KV(IP), nbu = NBU(IP), mku = MAXKU, mkv = MAXKV;
    std::fill(P, P + static_cast<std::ptrdiff_t>(NCOL) * NF, cplx{});
    std::fill(V, V + 3L * NCOL * NF, cplx{});
    std::vector<cplx> phi(static_cast<std::size_t>(NCOL)), rhs(3 * static_cast<std::size_t>(NCOL));
    std::vector<char> used(static_cast<std::size_t>(NCOL));
    const float c0 = CSPHIB(1, IB), s0 = CSPHIB(2, IB);
    for (int k = 1; k <= sym::NSYMC; ++k) {
        std::fill(phi.begin(), phi.end(), cplx{});
        std::fill(rhs.begin(), rhs.end(), cplx{});
        std::fill(used.begin(), used.end(), 0);
        if (KIND == 1) {
            for (int a = 1; a <= sym::NMODSC[static_cast<std::size_t>(k)]; ++a) {
                const int m = sym::IMODSC(a, k), q = sym::IMODPOS(m);
                used[static_cast<std::size_t>(q - 1)] = 1;
                rhs[3 * static_cast<std::size_t>(q - 1) + 2] = S * VN[m - 1];
            }
        } else if (IPERFL == 0) {
            std::fill(used.begin(), used.end(), 1);
        }
        // Potential and its u and v derivatives at the point; where a
        // direction has collapsed (IROW2), its row takes the derivative
        // along the other direction at the second point instead.
        auto sum = [&](const float* bu, const float* bv, int left, bool val, bool du, bool dv, int row) {
            for (int iv = 1; iv <= kv; ++iv)
                for (int iu = 1; iu <= ku; ++iu) {
                    const int c = left + (iv - 1) * nbu + iu;
                    const float w = bv[iv - 1] * bu[iu - 1], wu = bv[iv - 1] * bu[mku + iu - 1],
                                wv = bv[mkv + iv - 1] * bu[iu - 1];
                    for (int q = 1; q <= NCOL; ++q) {
                        if (!used[static_cast<std::size_t>(q - 1)]) continue;
                        const cplx co = KIND == 1 ? S * frc::RADPOT(c, q) : frc::DIFPOT(c, q, k);
                        if (val) phi[static_cast<std::size_t>(q - 1)] += co * w;
                        if (du) rhs[3 * static_cast<std::size_t>(q - 1) + (row == 1 ? 1 : 0)] += co * wu;
                        if (dv) rhs[3 * static_cast<std::size_t>(q - 1) + (row == 2 ? 0 : 1)] += co * wv;
                    }
                }
        };
        sum(BU, BV, ILEFT, true, IROW2 != 1, IROW2 != 2, 0);
        if (IVEL == 1 && IROW2 == 1) sum(BU2, BV2, ILEFT2, false, false, true, 2);
        if (IVEL == 1 && IROW2 == 2) sum(BU2, BV2, ILEFT2, false, true, false, 1);
        for (int q = 1; q <= NCOL; ++q) {
            if (!used[static_cast<std::size_t>(q - 1)]) continue;
            cplx* g = &rhs[3 * static_cast<std::size_t>(q - 1)];
            if (IVEL == 1) LUSOLV(A, g, 1, IPIV, 3);
            for (int f = 1; f <= NF; ++f) {
                const int h = sym::ISYMC[static_cast<std::size_t>(k)], im = IMG[f - 1];
                const long at = (q - 1) + static_cast<long>(f - 1) * NCOL;
                if (IPRS == 1) P[at] += static_cast<float>(frc::ISGNPZ(h, im)) * phi[static_cast<std::size_t>(q - 1)];
                if (IVEL == 1) {
                    V[3 * at] += static_cast<float>(frc::ISGNX(h, im)) * (c0 * g[0] - s0 * g[1]);
                    V[3 * at + 1] += static_cast<float>(frc::ISGNY(h, im)) * (s0 * g[0] + c0 * g[1]);
                    V[3 * at + 2] += static_cast<float>(frc::ISGNPZ(h, im)) * g[2];
                }
            }
        }
    }
}

bool gradient_matrix(const float* XU, const float* XV, const float* EN, cplx* A, int* IPIV) {
    for (int c = 0; c < 3; ++c) {
        A[3 * c] = XU[c];
        A[3 * c + 1] = XV[c];
        A[3 * c + 2] = EN[c];
    }
    int info = 0;
    LUFACT(A, IPIV, 3, info);
    return info == 0;
}

namespace {
// The second point of a point at a pole: its tables, first unknown, the
// tangent that replaces the collapsed one and the row it replaces (0: none).
struct PoleRow {
    std::vector<float> bu, bv;
    float t[3] = {};
    int left = 0, row = 0;
};

// Evaluates one point (patch IP, its tables) for both kinds and hands the
// results of column q and copy f to PUT(kind, q, f, P, V); POLE, when set,
// replaces one row of the gradient system.

template <typename Put>
bool point_values(int IP, const float* BU, const float* BV, int ILEFT, const float* XU, const float* XV,
                  const float* EN, const float* VN, float S, int IPRS, int IVEL, int IPERFL, int NF, const int* IMG,
                  const char* msg, int& IERR, Put&& put, const PoleRow& pole = PoleRow{}) {
    using namespace model;
    cplx A[9];
    int ipiv[3] = {1, 2, 3};
    if (IVEL == 1 && !gradient_matrix(pole.row == 1 ? pole.t : XU, pole.row == 2 ? pole.t : XV, EN, A, ipiv)) {
        ERRMSG(msg, 0);
        IERR = 1;
        return false;
    }
    const int ib = IBPTH(IP);
    for (int kind : {1, 0}) {
        if (kind == 1 && IRAD < 0) continue;
        if (kind == 0 && IDIFF < 0) continue;
        const int ncol = kind == 1 ? sym::NSOLC : frc::NBETAF;
        std::vector<cplx> P(static_cast<std::size_t>(ncol) * NF), V(3 * P.size());
        BPBVSOL(IP, BU, BV, ILEFT, kind, ncol, VN, A, ipiv, S, ib, NF, IMG, IPRS, IVEL, IPERFL, P.data(), V.data(),
                pole.bu.data(), pole.bv.data(), pole.left, pole.row);
        for (int f = 1; f <= NF; ++f)
            for (int q = 1; q <= ncol; ++q) {
                const std::size_t at = static_cast<std::size_t>(q - 1 + (f - 1) * ncol);
                put(kind, q, f, P[at], &V[3 * at]);
            }
    }
    return true;
}
}  // namespace

void BPBV(float S, int IPRS, int IVEL, int IPERFL, int& IERR) {
    using namespace model;
    using namespace frc;
    IERR = 0;
    const int nsymf = sym::NSYMF, nb = NBETAF, ns = sym::NSOLC;
    int img[4];
    for (int f = 1; f <= nsymf; ++f) img[f - 1] = sym::ISYMF[static_cast<std::size_t>(f)];
    int n = 0, off = 0;
    for (int ip = 1; ip <= NPATCHT; ++ip) {
        const int coff = off;
        off += NBU(ip) * NBV(ip);
        if (skip_patch(ip)) continue;
        for (int iv = 1; iv <= NV(ip); ++iv)
            for (int iu = 1; iu <= NU(ip); ++iu) {
                const int npt = NSUBPCT.allocated() && iu <= NSUBPCT.extent(1) && iv <= NSUBPCT.extent(2)
                                    ? NSUBPCT(iu, iv, ip)
                                    : 0;
                const int left = coff + (iv - 1) * NBU(ip) + iu - 1;
                for (int t = 1; t <= npt; ++t) {
                    ++n;
                    auto put = [&](int kind, int q, int f, cplx p, const cplx* v) {
                        if (IPRS == 1) (kind == 1 ? PRADP(n, q, f) : PDIFP(n, q, f)) = p;
                        if (IVEL == 1)
                            for (int c = 1; c <= 3; ++c)
                                (kind == 1 ? VRADP(n, c, q + (f - 1) * ns) : VDIFP(n, c, q + (f - 1) * nb)) = v[c - 1];
                    };
                    if (!point_values(ip, &BUPCT(1, 1, n), &BVPCT(1, 1, n), left, &XUPCT(1, n), &XVPCT(1, n),
                                      &ENPCT(1, n), &VNPCT(1, n), S, IPRS, IVEL, IPERFL, nsymf, img,
                                      " Error in matrix inversion in BPBV", IERR, put))
                        return;
                }
            }
    }
}

namespace {
// A body point where one parameter direction of its patch has collapsed
// (a pole): the tangent plane is spanned by the other direction's tangents
// along the collapsed edge, so the second row is taken at the point of the
// same edge parameter whose tangent makes the widest angle with the
// point's own.  Returns false on a failed evaluation.
bool pole_row(int J, PoleRow& pole, int& IERR) {
    using namespace model;
    using namespace frc;
    const int ip = IBPPAT(J), dir = collapsed_direction(&XUBP(1, J), &XVBP(1, J));
    if (dir == 0) return true;
    const float* own = dir == 1 ? &XVBP(1, J) : &XUBP(1, J);
    const float u = UVBP(1, J), v = UVBP(2, J);
    float best = COLLAPSED, s[3], n[3], su[3], sv[3], aj = 0.0f, w = 0.0f;
    for (float c : {-1.0f, -0.5f, 0.0f, 0.5f, 1.0f}) {
        BODYGEOM(dir == 1 ? c : u, dir == 1 ? v : c, IBPTH(ip), ip, s, n, su, sv, aj, 2, 0, IERR);
        if (IERR != 0) return false;
        const float* t = dir == 1 ? sv : su;
        float x[3];
        cross(own, t, x);
        const float sn = std::sqrt(dot(x, x) / (dot(own, own) * dot(t, t)));
        if (sn > best) best = sn, w = c, std::copy(t, t + 3, pole.t);
    }
    if (best == COLLAPSED) return true;  // the edge does not turn: nothing better to take
    const float u2 = dir == 1 ? w : u, v2 = dir == 1 ? v : w;
    pole.bu.assign(2 * static_cast<std::size_t>(MAXKU), 0.0f);
    pole.bv.assign(2 * static_cast<std::size_t>(MAXKV), 0.0f);
    int intv = 0;
    BASEF(&HOTAB1(1, ip), NBU(ip), KU(ip), u2, 1, 1, pole.bu.data(), MAXKU, intv, IERR);
    if (IERR == 0) BASEF(&HOTAB2(1, ip), NBV(ip), KV(ip), v2, 1, 1, pole.bv.data(), MAXKV, intv, IERR);
    if (IERR != 0) return false;
    pole.left = span_left(ip, u2, v2);
    pole.row = dir;
    return true;
}
}  // namespace

void BPBVBPTH(float S, int IPRS, int IVEL, int IPERFL, int& IERR) {
    using namespace frc;
    IERR = 0;
    for (int j = 1; j <= NBPTT; ++j) {
        const int ip = IBPPAT(j), img = IBPIMG(j);
        PoleRow pole;
        if (IVEL == 1 && !pole_row(j, pole, IERR)) {
            ERRMSG(" Error evaluating the patch at a pole in BPBVBPTH", 0);
            IERR = 1;
            return;
        }
        auto put = [&](int kind, int q, int, cplx p, const cplx* v) {
            if (IPRS == 1) (kind == 1 ? PRADB(j, q) : PDIFB(j, q)) = p;
            if (IVEL == 1)
                for (int c = 1; c <= 3; ++c) (kind == 1 ? VRADB(j, c, q) : VDIFB(j, c, q)) = v[c - 1];
        };
        if (!point_values(ip, &BUBP(1, 1, j), &BVBP(1, 1, j), IBPLEFT(j), &XUBP(1, j), &XVBP(1, j), &ENBP(1, j),
                          &VNBP(1, j), S, IPRS, IVEL, IPERFL, 1, &img, " Error in matrix inversion in BPBVBPTH", IERR,
                          put, pole))
            return;
    }
}

}  // namespace zorva
