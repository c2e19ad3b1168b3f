// Evaluation of a patch of a loaded entry (RGKEVAL, RGKEVALCSF) and the
// closest surface point (RGKX2NUV).
#include <cmath>

#include "surflink/state.hpp"
#include "surflink/surflink.h"

namespace surflink {
namespace {

// Rotation of w about axis a (1 x, 2 y, 3 z) by theta.
void rotate(int a, double theta, double w[3]) {
    const int i = a % 3, j = (i + 1) % 3;
    const double c = std::cos(theta), s = std::sin(theta);
    const double wi = w[i], wj = w[j];
    w[i] = c * wi + s * wj;
    w[j] = c * wj - s * wi;
}

// -1 where the evaluation reverses v (surface orientation against the
// block's normals), else 1.
double v_sign(const Record& r, int h) { return r.inward == rg_GetObjectOrient(h) ? -1.0 : 1.0; }

// Evaluates patch ip of entry e into the buffers X, XU, XV; gives ierr.
int evaluate(int e, double u, double v, int ip, double X[3], double XU[3], double XV[3]) {
    State& st = S();
    const Entry& en = st.e[static_cast<size_t>(e)];
    int ierr = 0;
    if (en.igdef != 2 || !en.rec) {
        log::put("RGKEVAL ERROR: body index ib = %d. Body's IGDEF isn't 2.\n", e);
        ierr = 1;
    } else if ((en.rec->flags & 2) == 0) {
        log::put("RGKEVAL ERROR: body index ib = %d. This body's surfaces\ndon't all qualify for higher-order "
                 "evaluation.\n",
                 e);
        ierr = 5;
    }
    const Record* r = en.rec.get();
    if (r && r->panemap && (ip < 1 || ip > r->panemap->npatch)) {
        log::put("RGKEVAL ERROR: patch index ip = %d. (NPATCH = %d)\n", ip, r->panemap->npatch);
        return 3;
    }
    if (ierr != 0) return ierr;
    // Surface-list entry of the patch; its place among the entry's NROT
    // copies of the surface gives the rotation.
    const int is = static_cast<int>(std::lround(r->panemap->patch_surface[ip - 1]));
    const int k = (is - 1) % en.nrot;
    const int h = rg_GetAtSDAH(&r->surfaces, is - 1);
    const double f = v_sign(*r, h);
    const double uv[2] = {(u + 1.0) / 2.0, (f * v + 1.0) / 2.0};
    if (!rg_PanePointLevel1(&r->surfaces, r->panemap.get(), ip, uv, X, XU, XV)) {
        log::put("RGKEVAL ERROR: Surface evaluation failed.\n");
        log::put("ib: %d  ip: %d  index: %d\n", e, ip, 0);
        log::put("U,V: %8.5f %8.5f\n", u, v);
        log::put("Surface %s (has object error %d).\n", rg_GetObjectName(h), rg_GetObjectError(h));
        return 4;
    }
    for (int c = 0; c < 3; ++c) {
        XU[c] /= 2.0;
        XV[c] *= f / 2.0;
    }
    if (en.axis > 0 && k > 0) {
        const double theta = 2.0 * rg_PI * k / en.nrot;
        rotate(en.axis, theta, X);
        rotate(en.axis, theta, XU);
        rotate(en.axis, theta, XV);
    }
    return 0;
}

// Closest point of body ib to the point in the buffer: patch, mirror
// images, rotation copy, and u, v, distance into the buffers; gives ierr.
// Nothing is set when the body has no surfaces.
int closest(int ib, int& ipatch, int& ixrefl, int& iyrefl, int& irot) {
    State& st = S();
    if (!st.tables || ib < 1 || ib > st.NBODY) {
        log::put("RGKX2NUV ERROR: body index ib = %d. (NBODY = %d)\n", ib, st.NBODY);
        return 1;
    }
    const Entry& en = st.e[static_cast<size_t>(ib)];
    if (en.igdef != 2 || !en.rec) {
        log::put("RGKX2NUV ERROR: body index ib = %d. Body's IGDEF isn't 2.\n", ib);
        return 2;
    }
    const Record& r = *en.rec;
    if ((r.flags & 2) == 0 || !r.panemap) {
        log::put("RGKX2NUV ERROR: body index ib = %d. This body's surfaces\ndon't all qualify for higher-order "
                 "evaluation.\n",
                 ib);
        return 5;
    }
    double best = -1.0;
    const int M = rg_GetSizeSDAH(&r.surfaces);
    for (int i = 1; i <= M; ++i) {
        const int k = (i - 1) % en.nrot;
        const int h = rg_GetAtSDAH(&r.surfaces, i - 1);
        double box[6];
        const bool have_box = rg_GetObjectBBox(h, box) != 0;
        for (int ix = 0; ix <= (en.symcode & 1); ++ix)
            for (int iy = 0; iy <= ((en.symcode >> 1) & 1); ++iy) {
                double P[3] = {st.Xp[0], st.Xp[1], st.Xp[2]};
                if (k > 0 && en.axis > 0) rotate(en.axis, -2.0 * rg_PI * k / en.nrot, P);
                if (ix == 1) P[0] = -P[0];
                if (iy == 1) P[1] = -P[1];
                if (best >= 0.0 && have_box && rg_DistancePtToBBox(P, box, 0) > std::sqrt(best)) continue;
                double uv[2], pt[3], d2 = 0.0, puv[2];
                if (!rg_ClosestPtOnSurf(h, r.evalarrays[static_cast<size_t>(i - 1)], P, 1.0E-4, uv, pt, &d2)) continue;
                const int patch = rg_MapSurfaceToPane(r.panemap.get(), i, uv, puv);
                if (best < 0.0 || d2 < best) {
                    best = d2;
                    st.distp = d2 > 0.0 ? std::sqrt(d2) : 0.0;
                    ipatch = patch;
                    ixrefl = ix;
                    iyrefl = iy;
                    irot = k;
                    // v as RGKEVAL takes it: reversed where the evaluation reverses it.
                    const double f = v_sign(r, h);
                    st.up = 2.0 * puv[0] - 1.0;
                    st.vp = f * (2.0 * puv[1] - 1.0);
                }
            }
    }
    return 0;
}

void copy_out(const double* from, float* to) {
    for (int c = 0; c < 3; ++c) to[c] = static_cast<float>(from[c]);
}

}  // namespace
}  // namespace surflink

using namespace surflink;

extern "C" {

void RGKEVAL(const float* U, const float* V, const int* IB, const int* IP, float* X, float* XU, float* XV,
             int* IERR) {
    State& st = S();
    ++st.neval;
    int ierr = 0;
    if (!st.tables || *IB < 1 || *IB > st.NBODY) {
        log::put("RGKEVAL ERROR: body index ib = %d. (NBODY = %d)\n", *IB, st.NBODY);
        ierr = 1;
    } else {
        ierr = evaluate(*IB, *U, *V, *IP, st.X, st.XU, st.XV);
    }
    copy_out(st.X, X);
    copy_out(st.XU, XU);
    copy_out(st.XV, XV);
    *IERR = ierr;
}

void RGKEVALCSF(const float* U, const float* V, const int* IP, float* X, float* XU, float* XV, int* IERR) {
    State& st = S();
    ++st.nevalcsf;
    int ierr = 0;
    if (!st.tables) {
        log::put("RGKEVAL ERROR: body index ib = %d. Body's IGDEF isn't 2.\n", 0);
        ierr = 1;
    } else {
        ierr = evaluate(0, *U, *V, *IP, st.Xc, st.XUc, st.XVc);
    }
    copy_out(st.Xc, X);
    copy_out(st.XUc, XU);
    copy_out(st.XVc, XV);
    *IERR = ierr;
}

void RGKX2NUV(const int* IB, const float* X, int* IPATCH, int* IXREFL, int* IYREFL, int* IROT, float* U, float* V,
              float* DIST, int* IERR) {
    State& st = S();
    ++st.nx2nuv;
    for (int c = 0; c < 3; ++c) st.Xp[c] = X[c];
    *IERR = closest(*IB, *IPATCH, *IXREFL, *IYREFL, *IROT);
    // u, v and the distance through the library-wide buffers, also on a
    // failure (the previous call's values then)
    *U = static_cast<float>(st.up);
    *V = static_cast<float>(st.vp);
    *DIST = static_cast<float>(st.distp);
}

}  // extern "C"
