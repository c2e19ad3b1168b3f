// Panes (the patches of a list of surfaces) and the closest point of a
// surface.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/zuzovoza/kernel.hpp"

using namespace zuz;

namespace {

template <class T>
T* alloc(int n) {
    T* p = static_cast<T*>(std::calloc(static_cast<size_t>(std::max(n, 1)), sizeof(T)));
    if (!p) std::abort();
    return p;
}

double dist2(const Vec3& a, const double p[3]) {
    return (a[0] - p[0]) * (a[0] - p[0]) + (a[1] - p[1]) * (a[1] - p[1]) + (a[2] - p[2]) * (a[2] - p[2]);
}

}  // namespace

extern "C" {

int rg_StorePaneMaps(const rg_SDAH* surfaces, rg_PaneMap* map) {
    if (!surfaces || !map) return -1;
    *map = rg_PaneMap{};
    const int ns = surfaces->n;
    long np = 0;
    for (int i = 0; i < ns; ++i) {
        const Object* s = object(surfaces->a[i]);
        if (!s || s->cls != RG_CLASS_SURFACE || s->trimmed) return -1;
        np += static_cast<long>(s->paneu) * s->panev;
        if (np > 16777216L) return -1;  // more patches than any list of the program holds
    }
    const int n = static_cast<int>(np);
    map->npatch = n;
    map->nsurf = ns;
    map->patch_surface = alloc<double>(n);
    map->patch_pane = alloc<int>(2 * n);
    map->surface_first = alloc<int>(ns);
    map->surface_last = alloc<int>(ns);
    map->surface_panes = alloc<int>(2 * ns);
    int p = 0;
    for (int i = 0; i < ns; ++i) {
        const Object* s = object(surfaces->a[i]);
        map->surface_first[i] = p + 1;
        map->surface_panes[2 * i] = s->paneu;
        map->surface_panes[2 * i + 1] = s->panev;
        for (int jv = 0; jv < s->panev; ++jv)
            for (int iu = 0; iu < s->paneu; ++iu, ++p) {
                map->patch_surface[p] = i + 1;
                map->patch_pane[2 * p] = iu;
                map->patch_pane[2 * p + 1] = jv;
            }
        map->surface_last[i] = p;
    }
    return n;
}

void rg_DeallocatePaneMaps(rg_PaneMap* map) {
    if (!map) return;
    std::free(map->patch_surface);
    std::free(map->patch_pane);
    std::free(map->surface_first);
    std::free(map->surface_last);
    std::free(map->surface_panes);
    *map = rg_PaneMap{};
}

int rg_PanePointLevel1(const rg_SDAH* surfaces, const rg_PaneMap* map, int ip, const double uv[2], double X[3],
                       double Xu[3], double Xv[3]) {
    if (!surfaces || !map || ip < 1 || ip > map->npatch) return 0;
    const int is = static_cast<int>(std::lround(map->patch_surface[ip - 1]));
    if (is < 1 || is > surfaces->n || is > map->nsurf) return 0;
    Object* s = object(surfaces->a[is - 1]);
    if (!s || s->cls != RG_CLASS_SURFACE || s->error != 0 || !validate(*s)) return 0;
    const int pu = map->surface_panes[2 * (is - 1)], pv = map->surface_panes[2 * (is - 1) + 1];
    const double u = (map->patch_pane[2 * (ip - 1)] + uv[0]) / pu, v = (map->patch_pane[2 * (ip - 1) + 1] + uv[1]) / pv;
    Vec3 P, Pu, Pv;
    if (!surface_eval(*s, u, v, P, Pu, Pv)) return 0;
    for (int c = 0; c < 3; ++c) {
        X[c] = P[c];
        Xu[c] = Pu[c] / pu;
        Xv[c] = Pv[c] / pv;
    }
    return 1;
}

int rg_MapSurfaceToPane(const rg_PaneMap* map, int isurf, const double uv[2], double puv[2]) {
    if (!map || isurf < 1 || isurf > map->nsurf) return 0;
    const int pu = map->surface_panes[2 * (isurf - 1)], pv = map->surface_panes[2 * (isurf - 1) + 1];
    const int iu = std::clamp(static_cast<int>(std::floor(uv[0] * pu)), 0, pu - 1);
    const int jv = std::clamp(static_cast<int>(std::floor(uv[1] * pv)), 0, pv - 1);
    puv[0] = uv[0] * pu - iu;
    puv[1] = uv[1] * pv - jv;
    return map->surface_first[isurf - 1] + jv * pu + iu;
}

int rg_ClosestPtOnSurf(int h, const rg_Array*, const double p[3], double tol, double uv[2], double point[3],
                       double* d2out) {
    Object* s = object(h);
    if (!s || s->cls != RG_CLASS_SURFACE || s->error != 0 || !validate(*s) || !p) return 0;
    Vec3 X, Xu, Xv;
    // Seeds: the best points of a grid over the parameter square.
    constexpr int G = 16;
    std::vector<std::pair<double, std::pair<double, double>>> seeds;
    for (int j = 0; j <= G; ++j)
        for (int i = 0; i <= G; ++i) {
            const double u = static_cast<double>(i) / G, v = static_cast<double>(j) / G;
            surface_eval(*s, u, v, X, Xu, Xv);
            seeds.push_back({dist2(X, p), {u, v}});
        }
    std::partial_sort(seeds.begin(), seeds.begin() + 4, seeds.end());
    double best = -1.0, bu = 0.0, bv = 0.0;
    for (int k = 0; k < 4; ++k) {
        double u = seeds[static_cast<size_t>(k)].second.first, v = seeds[static_cast<size_t>(k)].second.second;
        surface_eval(*s, u, v, X, Xu, Xv);
        double d = dist2(X, p);
        // Newton steps on the squared distance (second derivatives of the
        // surface by differences of the first; the first-order model where
        // that is not convex), kept inside the square, halved while they do
        // not help.
        for (int it = 0; it < 100; ++it) {
            double r[3] = {X[0] - p[0], X[1] - p[1], X[2] - p[2]};
            double a = Xu[0] * Xu[0] + Xu[1] * Xu[1] + Xu[2] * Xu[2];
            double b = Xu[0] * Xv[0] + Xu[1] * Xv[1] + Xu[2] * Xv[2];
            double c = Xv[0] * Xv[0] + Xv[1] * Xv[1] + Xv[2] * Xv[2];
            const double gu = r[0] * Xu[0] + r[1] * Xu[1] + r[2] * Xu[2];
            const double gv = r[0] * Xv[0] + r[1] * Xv[1] + r[2] * Xv[2];
            {
                constexpr double hd = 1e-6;
                const double su = u + hd <= 1.0 ? hd : -hd, sv = v + hd <= 1.0 ? hd : -hd;
                Vec3 Y, Yu, Yv, Z, Zu, Zv;
                surface_eval(*s, u + su, v, Y, Yu, Yv);
                surface_eval(*s, u, v + sv, Z, Zu, Zv);
                double huu = 0, huv = 0, hvv = 0;
                for (int q = 0; q < 3; ++q) {
                    huu += r[q] * (Yu[q] - Xu[q]) / su;
                    huv += r[q] * (Zu[q] - Xu[q]) / sv;
                    hvv += r[q] * (Zv[q] - Xv[q]) / sv;
                }
                const double fa = a + huu, fb = b + huv, fc = c + hvv;
                if (fa > 0.0 && fa * fc - fb * fb > 0.0) a = fa, b = fb, c = fc;
            }
            double du = 0.0, dv = 0.0;
            const double det = a * c - b * b;
            if (det > 1e-30 * (a * c + 1e-300)) {
                du = -(c * gu - b * gv) / det;
                dv = -(a * gv - b * gu) / det;
            } else if (a > 0.0) {
                du = -gu / a;
            } else if (c > 0.0) {
                dv = -gv / c;
            }
            bool moved = false;
            for (int half = 0; half < 30; ++half) {
                const double nu = std::clamp(u + du, 0.0, 1.0), nv = std::clamp(v + dv, 0.0, 1.0);
                Vec3 Y, Yu, Yv;
                surface_eval(*s, nu, nv, Y, Yu, Yv);
                const double dn = dist2(Y, p);
                if (dn < d) {
                    moved = std::fabs(nu - u) + std::fabs(nv - v) > 1e-15;
                    const bool small = std::fabs(nu - u) < 1e-6 * tol && std::fabs(nv - v) < 1e-6 * tol;
                    u = nu, v = nv, d = dn, X = Y, Xu = Yu, Xv = Yv;
                    if (small) moved = false;
                    break;
                }
                du *= 0.5, dv *= 0.5;
            }
            if (!moved) break;
        }
        if (best < 0.0 || d < best) best = d, bu = u, bv = v;
    }
    surface_eval(*s, bu, bv, X, Xu, Xv);
    uv[0] = bu;
    uv[1] = bv;
    for (int c = 0; c < 3; ++c) point[c] = X[c];
    *d2out = best;
    return 1;
}

}  // extern "C"
