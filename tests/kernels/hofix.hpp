// Test fixture of the higher-order Rankine kernels: one body whose patches
// are flat parallelograms (geometry kind 0, X = O + u a + v b) or sectors
// of a sphere from the sample user geometry routine.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "common/channels.hpp"
#include "common/messages.hpp"
#include "geometry/bspline.hpp"
#include "geometry/hogeom.hpp"
#include "geometry/model.hpp"
#include "geometry/modelmore.hpp"
#include "main/config.hpp"
#include "platform/zorva_userlib.h"
#include "tests/support/modules.hpp"
#include "tests/support/testdir.hpp"

namespace zorva::test {

using D3 = std::array<double, 3>;

inline D3 cross3(const D3& a, const D3& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
inline double dot3(const D3& a, const D3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
inline double norm3(const D3& a) { return std::sqrt(dot3(a, a)); }

// An affine patch X = O + u A + v B on [-1, 1]^2.
struct Affine {
    D3 O, A, B;
    D3 at(double u, double v) const { return {O[0] + u * A[0] + v * B[0], O[1] + u * A[1] + v * B[1], O[2] + u * A[2] + v * B[2]}; }
};

class HoKernelTest : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        reset_modules();
        ASSERT_EQ(chan::open(IUERR, "errorp.log", chan::Status::Replace), 0);
        ASSERT_EQ(chan::open(IULOG, "zorvalog.txt", chan::Status::Replace), 0);
    }
    void TearDown() override {
        reset_modules();
        TempDirTest::TearDown();
    }

    // NB bodies at the origin (body b has the patches whose entry of IBS is
    // b, all of body 1 when IBS is empty), six rigid modes each, NP patches
    // of geometry kind KIND.
    static void body(int np, int kind, int nb = 1, const std::vector<int>& IBS = {}) {
        using namespace model;
        cfg::IRR.allocate(nb), cfg::NEWMDS.allocate(nb), cfg::IGENMDS.allocate(nb);
        cfg::XBODY.allocate(4, nb);
        cfg::ITRIMWL = 0;
        NMODT = 6 * nb;
        IMODE.allocate(NMODT), IBMOD.allocate(nb);
        ULEN.allocate(nb), ULENI = 1.0f;
        IGDEF.allocate(nb), IS.allocate(2, nb), NPATCH.allocate(nb), CSPHIB.allocate(2, nb), IPATOFF.allocate(nb);
        NPATCHT = NPATCHLIM = np;
        for (auto* a : {&IPRL, &IPREF, &ITRIM, &IBPTH, &IFSPAT, &ITANK, &IDIPWM}) a->allocate(np);
        for (int b = 1; b <= nb; ++b) {
            ULEN(b) = 1.0f, IGDEF(b) = kind, CSPHIB(1, b) = 1.0f, IBMOD(b) = 6 * (b - 1);
        }
        for (int p = 1; p <= np; ++p) {
            const int b = IBS.empty() ? 1 : IBS[static_cast<std::size_t>(p - 1)];
            IBPTH(p) = b, IPRL(p) = ++NPATCH(b), IPREF(p) = 1;
        }
        for (int b = 2; b <= nb; ++b) IPATOFF(b) = IPATOFF(b - 1) + NPATCH(b - 1);
    }

    static void flat(const std::vector<Affine>& ps, int nb = 1, const std::vector<int>& IBS = {}) {
        body(static_cast<int>(ps.size()), 0, nb, IBS);
        model::XVER.allocate(4, 3, static_cast<int>(ps.size()));
        for (std::size_t p = 0; p < ps.size(); ++p) {
            const D3 v[4] = {ps[p].at(1, -1), ps[p].at(-1, -1), ps[p].at(-1, 1), ps[p].at(1, 1)};
            for (int k = 0; k < 4; ++k)
                for (int c = 0; c < 3; ++c) model::XVER(k + 1, c + 1, static_cast<int>(p + 1)) = static_cast<float>(v[k][c]);
        }
    }

    // Sphere of radius R centred at (0, 0, ZC), four sectors (patches), u
    // from the bottom pole to the top pole, v the azimuth of the sector.
    void sphere(double R, double ZC) { user({"SPHERE " + std::to_string(R) + " " + std::to_string(ZC)}, 4); }
    // A body of the user geometry routine described by data lines, NP patches.
    void user(const std::vector<std::string>& lines, int np) {
        body(np, 3);
        ASSERT_EQ(chan::open_scratch(2), 0);
        for (std::string l : lines) {
            l.resize(80, ' ');
            chan::write_line(2, l);
        }
        chan::rewind(2);
        float u = 0, v = 0, x[3], xu[3], xv[3];
        int ib = 1, ipatch = 0, npatch = model::NPATCH(1), irr = 0, iudat = 2, ierr = -1;
        GEOMXACT(&u, &v, &ib, &ipatch, &model::IS(1, 1), &npatch, &irr, x, xu, xv, &model::IGDEF(1), &iudat, &ierr);
        chan::close(2);
        ASSERT_EQ(ierr, 0);
    }
    // Potential B-splines of order K (u and v) over N x N spans on every
    // patch, outer Gauss order QO and inner QI, and the tables the Rankine
    // step reads (knots, rules, span tables, outer and inner points).
    static void spline(int K, int N, int QO, int QI) {
        spline(std::vector<int>(static_cast<std::size_t>(model::NPATCHT), K),
               std::vector<int>(static_cast<std::size_t>(model::NPATCHT), N), QO, QI);
    }
    // The same with order KS[p - 1] and N x N = NS[p - 1] spans on patch p.
    static void spline(const std::vector<int>& KS, const std::vector<int>& NS, int QO, int QI) {
        using namespace model;
        const int np = NPATCHT;
        const int KM = *std::max_element(KS.begin(), KS.end()), NM = *std::max_element(NS.begin(), NS.end());
        const int nk = NM + 2 * KM - 1;
        for (auto* a : {&KU, &KV, &NU, &NV, &NBU, &NBV, &IQUO, &IQVO, &IQUI, &IQVI}) a->allocate(np);
        ZBDYFS.allocate(np);
        MAXKU = MAXKV = KM, MAXNU = MAXNV = NM, MAXQU = MAXQV = QI, MAXKNU = MAXKNV = nk;
        HOTAB1.allocate(nk, np), HOTAB2.allocate(nk, np);
        for (auto* a : {&HOTAB3, &HOTAB4, &HOTAB5, &HOTAB6}) a->allocate(QI, np);
        for (auto* a : {&XGUO, &WGUO, &XGVO, &WGVO}) a->allocate(QO, np);
        HOTAB7.allocate(KM * KM, NM, np), HOTAB8.allocate(KM * KM, NM, np);
        BASUQ.allocate(KM * QO, NM, np), BASVQ.allocate(KM * QO, NM, np);
        NQO = NQP = 0;
        for (int n : NS) NQO += n * n * QO * QO, NQP += n * n * QI * QI;
        XQO.allocate(3, NQO), ENQO.allocate(3, NQO), VNQO.allocate(NMODT, NQO);
        XQP.allocate(3, NQP), ENQP.allocate(3, NQP), WQP.allocate(NQP), VNQP.allocate(NMODT, NQP);
        int ierr = 0, no = 0, ni = 0;
        for (int p = 1; p <= np; ++p) {
            const int K = KS[static_cast<std::size_t>(p - 1)], N = NS[static_cast<std::size_t>(p - 1)];
            KU(p) = KV(p) = K, NU(p) = NV(p) = N, NBU(p) = NBV(p) = N + K - 1;
            IQUO(p) = IQVO(p) = QO, IQUI(p) = IQVI(p) = QI;
            KNOTVEC(N, K, 0, 0, &HOTAB1(1, p), ierr);
            KNOTVEC(N, K, 0, 0, &HOTAB2(1, p), ierr);
            GAUSLE(-1, 1, &HOTAB3(1, p), &HOTAB4(1, p), QI, ierr);
            GAUSLE(-1, 1, &HOTAB5(1, p), &HOTAB6(1, p), QI, ierr);
            GAUSLE(-1, 1, &XGUO(1, p), &WGUO(1, p), QO, ierr);
            GAUSLE(-1, 1, &XGVO(1, p), &WGVO(1, p), QO, ierr);
            const float* t = &HOTAB1(1, p);
            for (int i = 1; i <= N; ++i) {
                const float m = 0.5f * (t[K + i - 2] + t[K + i - 1]), h = 0.5f * (t[K + i - 1] - t[K + i - 2]);
                int iv;
                BASEF(t, N + K - 1, K, m, K - 1, 0, &HOTAB7(1, i, p), K, iv, ierr);
                BASEF(t, N + K - 1, K, m, K - 1, 0, &HOTAB8(1, i, p), K, iv, ierr);
                for (int q = 1; q <= QO; ++q) {
                    BASEF(t, N + K - 1, K, m + h * XGUO(q, p), 0, 1, &BASUQ(1 + (q - 1) * KM, i, p), KM, iv, ierr);
                    BASEF(t, N + K - 1, K, m + h * XGUO(q, p), 0, 1, &BASVQ(1 + (q - 1) * KM, i, p), KM, iv, ierr);
                }
            }
            auto put = [&](float u, float v, Arr2<float>& X, Arr2<float>& E, Arr2<float>& VN, int n, float* J) {
                float x[3], e[3], xu[3], xv[3], aj;
                int ie;
                BODYGEOM(u, v, IBPTH(p), p, x, e, xu, xv, aj, 2, NWALL, ie);
                ierr |= ie;
                for (int c = 1; c <= 3; ++c) X(c, n) = x[c - 1], E(c, n) = e[c - 1];
                for (int m = 1; m <= NMODT; ++m) VN(m, n) = VNPT(m);
                if (J) *J = aj;
            };
            for (int j = 1; j <= N; ++j)
                for (int i = 1; i <= N; ++i) {
                    const float um = 0.5f * (t[K + i - 2] + t[K + i - 1]), uh = 0.5f * (t[K + i - 1] - t[K + i - 2]);
                    const float vm = 0.5f * (t[K + j - 2] + t[K + j - 1]), vh = 0.5f * (t[K + j - 1] - t[K + j - 2]);
                    for (int qv = 1; qv <= QO; ++qv)
                        for (int qu = 1; qu <= QO; ++qu)
                            put(um + uh * XGUO(qu, p), vm + vh * XGVO(qv, p), XQO, ENQO, VNQO, ++no, nullptr);
                    for (int qv = 1; qv <= QI; ++qv)
                        for (int qu = 1; qu <= QI; ++qu) {
                            ++ni;
                            put(um + uh * HOTAB3(qu, p), vm + vh * HOTAB5(qv, p), XQP, ENQP, VNQP, ni, &WQP(ni));
                        }
                }
        }
        ASSERT_EQ(ierr, 0);
    }
    // The same sphere in double: point and derivatives of sector K (1..4).
    static void sphere_at(double R, double ZC, int K, double u, double v, D3& X, D3& XU, D3& XV) {
        const double PI = 3.14159265358979323846;
        const double phi = PI / 2 * (K - 1 + (v + 1) / 2), pv = PI / 4, b = PI * (u + 1) / 2, bu = PI / 2;
        const double c = std::cos(phi), s = std::sin(phi), cb = std::cos(b), sb = std::sin(b);
        X = {R * sb * c, R * sb * s, ZC - R * cb};
        XU = {R * cb * c * bu, R * cb * s * bu, R * sb * bu};
        XV = {-R * sb * s * pv, R * sb * c * pv, 0.0};
    }
};

}  // namespace zorva::test
