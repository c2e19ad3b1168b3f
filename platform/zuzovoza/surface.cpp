// Surface geometry: exact points and first derivatives of the surface
// kinds, their boxes, division counts, trial evaluation and triangulation.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/zuzovoza/kernel.hpp"

namespace zuz {
namespace {

constexpr int ERR_GEOMETRY = 4021;
constexpr double DEG = 3.14159265358979323846 / 180.0;

// Clamped uniform B-spline basis of order k (>= 2) over n functions at t in
// [0, 1]: values N and derivatives D (n entries each).
void bspline_basis(int k, int n, double t, std::vector<double>& N, std::vector<double>& D) {
    const int nk = n + k, spans = n - k + 1;
    std::vector<double> knot(static_cast<size_t>(nk));
    for (int i = 0; i < nk; ++i) knot[static_cast<size_t>(i)] = static_cast<double>(std::clamp(i - k + 1, 0, spans)) / spans;
    t = std::clamp(t, 0.0, 1.0);
    const int span = std::min(static_cast<int>(t * spans), spans - 1) + k - 1;  // knot[span] <= t <= knot[span+1]
    auto kn = [&](int i) { return knot[static_cast<size_t>(i)]; };
    // Order 1, then raised order by order (Cox-de Boor); the order k-1
    // functions give the derivatives.
    std::vector<double> b(static_cast<size_t>(nk), 0.0), lower;
    b[static_cast<size_t>(span)] = 1.0;
    for (int p = 2; p <= k; ++p) {
        if (p == k) lower = b;
        std::vector<double> next(static_cast<size_t>(nk), 0.0);
        for (int i = 0; i + p < nk; ++i) {
            const double d1 = kn(i + p - 1) - kn(i), d2 = kn(i + p) - kn(i + 1);
            double v = 0.0;
            if (d1 > 0.0) v += (t - kn(i)) / d1 * b[static_cast<size_t>(i)];
            if (d2 > 0.0) v += (kn(i + p) - t) / d2 * b[static_cast<size_t>(i + 1)];
            next[static_cast<size_t>(i)] = v;
        }
        b = std::move(next);
    }
    N.assign(b.begin(), b.begin() + n);
    D.assign(static_cast<size_t>(n), 0.0);
    for (int i = 0; i < n; ++i) {
        const double d1 = kn(i + k - 1) - kn(i), d2 = kn(i + k) - kn(i + 1);
        if (d1 > 0.0) D[static_cast<size_t>(i)] += (k - 1) / d1 * lower[static_cast<size_t>(i)];
        if (d2 > 0.0) D[static_cast<size_t>(i)] -= (k - 1) / d2 * lower[static_cast<size_t>(i + 1)];
    }
}

double r(const Object& s, int i) { return s.reals[static_cast<size_t>(i)]; }

}  // namespace

bool validate(Object& s) {
    if (s.valid) return s.geom_error == 0;
    for (size_t i = 0; i < s.reals.size(); ++i)
        if (const Object* v = object(s.bound[i])) s.reals[i] = s.bound_sign[i] * v->reals[0];
    // An angle range is not empty and at most a full turn; latitudes lie
    // between the poles.
    auto turn = [&](int a, int b) { return r(s, a) != r(s, b) && std::fabs(r(s, b) - r(s, a)) <= 360.0; };
    auto lat = [&](int a) { return std::fabs(r(s, a)) <= 90.0; };
    bool ok = true;
    switch (s.type) {
    case RG_TYPE_CYLINDER: ok = r(s, 2) > 0.0 && r(s, 3) != r(s, 4) && turn(5, 6); break;
    case RG_TYPE_DISC: ok = r(s, 3) > 0.0 && turn(4, 5); break;
    case RG_TYPE_SPHERE: ok = r(s, 3) > 0.0 && r(s, 4) != r(s, 5) && lat(4) && lat(5) && turn(6, 7); break;
    default: break;
    }
    s.geom_error = ok ? 0 : ERR_GEOMETRY;
    s.valid = true;
    return ok;
}

bool surface_eval(const Object& s, double u, double v, Vec3& X, Vec3& Xu, Vec3& Xv) {
    switch (s.type) {
    case RG_TYPE_QUAD: {
        // corners P00, P10, P11, P01
        for (int c = 0; c < 3; ++c) {
            const double p00 = r(s, c), p10 = r(s, 3 + c), p11 = r(s, 6 + c), p01 = r(s, 9 + c);
            X[c] = (1 - u) * (1 - v) * p00 + u * (1 - v) * p10 + u * v * p11 + (1 - u) * v * p01;
            Xu[c] = (1 - v) * (p10 - p00) + v * (p11 - p01);
            Xv[c] = (1 - u) * (p01 - p00) + u * (p11 - p10);
        }
        return true;
    }
    case RG_TYPE_BSPLINE: {
        std::vector<double> Nu, Du, Nv, Dv;
        bspline_basis(s.ku, s.nu, u, Nu, Du);
        bspline_basis(s.kv, s.nv, v, Nv, Dv);
        X = Xu = Xv = Vec3{0, 0, 0};
        for (int j = 0; j < s.nv; ++j)
            for (int i = 0; i < s.nu; ++i) {
                const size_t b = 3 * static_cast<size_t>(j * s.nu + i);
                for (int c = 0; c < 3; ++c) {
                    const double p = s.reals[b + static_cast<size_t>(c)];
                    X[c] += Nu[static_cast<size_t>(i)] * Nv[static_cast<size_t>(j)] * p;
                    Xu[c] += Du[static_cast<size_t>(i)] * Nv[static_cast<size_t>(j)] * p;
                    Xv[c] += Nu[static_cast<size_t>(i)] * Dv[static_cast<size_t>(j)] * p;
                }
            }
        return true;
    }
    case RG_TYPE_CYLINDER: {
        // xc yc r z0 z1 th0 th1: u around from th0 to th1, v from z0 to z1
        const double rad = r(s, 2), dth = (r(s, 6) - r(s, 5)) * DEG, th = r(s, 5) * DEG + u * dth;
        X = {r(s, 0) + rad * std::cos(th), r(s, 1) + rad * std::sin(th), r(s, 3) + v * (r(s, 4) - r(s, 3))};
        Xu = {-rad * std::sin(th) * dth, rad * std::cos(th) * dth, 0.0};
        Xv = {0.0, 0.0, r(s, 4) - r(s, 3)};
        return true;
    }
    case RG_TYPE_DISC: {
        // xc yc zc r th0 th1: u from the centre out, v around from th0 to th1
        const double rad = r(s, 3), dth = (r(s, 5) - r(s, 4)) * DEG, th = r(s, 4) * DEG + v * dth;
        X = {r(s, 0) + u * rad * std::cos(th), r(s, 1) + u * rad * std::sin(th), r(s, 2)};
        Xu = {rad * std::cos(th), rad * std::sin(th), 0.0};
        Xv = {-u * rad * std::sin(th) * dth, u * rad * std::cos(th) * dth, 0.0};
        return true;
    }
    case RG_TYPE_SPHERE: {
        // xc yc zc r lat0 lat1 lon0 lon1: u along the latitude, v along the longitude
        const double rad = r(s, 3), dla = (r(s, 5) - r(s, 4)) * DEG, dlo = (r(s, 7) - r(s, 6)) * DEG;
        const double la = r(s, 4) * DEG + u * dla, lo = r(s, 6) * DEG + v * dlo;
        const double cla = std::cos(la), sla = std::sin(la), clo = std::cos(lo), slo = std::sin(lo);
        X = {r(s, 0) + rad * cla * clo, r(s, 1) + rad * cla * slo, r(s, 2) + rad * sla};
        Xu = {-rad * sla * clo * dla, -rad * sla * slo * dla, rad * cla * dla};
        Xv = {-rad * cla * slo * dlo, rad * cla * clo * dlo, 0.0};
        return true;
    }
    default: return false;
    }
}

namespace {

// Extremes of cos and sin over an angle range (degrees): [cmin, cmax, smin, smax].
std::array<double, 4> arc_range(double a0, double a1) {
    if (a1 < a0) std::swap(a0, a1);
    std::array<double, 4> e{std::cos(a0 * DEG), std::cos(a0 * DEG), std::sin(a0 * DEG), std::sin(a0 * DEG)};
    auto take = [&](double a) {
        const double c = std::cos(a * DEG), s = std::sin(a * DEG);
        e = {std::min(e[0], c), std::max(e[1], c), std::min(e[2], s), std::max(e[3], s)};
    };
    take(a1);
    for (double q = std::ceil(a0 / 90.0) * 90.0; q < a1 && q - a0 < 360.0 + 90.0; q += 90.0) take(q);
    return e;
}

}  // namespace
}  // namespace zuz

using namespace zuz;

extern "C" {

int rg_ForceValidTable(int h) {
    Object* s = object(h);
    return s && s->cls == RG_CLASS_SURFACE && s->error == 0 && validate(*s) ? 1 : 0;
}

int rg_GetObjectBBox(int h, double box[6]) {
    Object* s = object(h);
    if (!s || s->cls != RG_CLASS_SURFACE || s->error != 0 || !validate(*s)) return 0;
    double lo[3], hi[3];
    auto span = [&](int c, double a, double b) {
        lo[c] = std::min(a, b);
        hi[c] = std::max(a, b);
    };
    switch (s->type) {
    case RG_TYPE_QUAD:
    case RG_TYPE_BSPLINE:  // the control points hold the surface
        for (int c = 0; c < 3; ++c) {
            lo[c] = hi[c] = s->reals[static_cast<size_t>(c)];
            for (size_t i = static_cast<size_t>(c); i < s->reals.size(); i += 3) {
                lo[c] = std::min(lo[c], s->reals[i]);
                hi[c] = std::max(hi[c], s->reals[i]);
            }
        }
        break;
    case RG_TYPE_CYLINDER: {
        const auto e = arc_range(r(*s, 5), r(*s, 6));
        const double rad = r(*s, 2);
        span(0, r(*s, 0) + rad * e[0], r(*s, 0) + rad * e[1]);
        span(1, r(*s, 1) + rad * e[2], r(*s, 1) + rad * e[3]);
        span(2, r(*s, 3), r(*s, 4));
        break;
    }
    case RG_TYPE_DISC: {
        const auto e = arc_range(r(*s, 4), r(*s, 5));
        const double rad = r(*s, 3);
        span(0, r(*s, 0) + rad * std::min(e[0], 0.0), r(*s, 0) + rad * std::max(e[1], 0.0));
        span(1, r(*s, 1) + rad * std::min(e[2], 0.0), r(*s, 1) + rad * std::max(e[3], 0.0));
        span(2, r(*s, 2), r(*s, 2));
        break;
    }
    case RG_TYPE_SPHERE: {
        const auto la = arc_range(r(*s, 4), r(*s, 5));  // cos and sin of the latitude
        const double rad = r(*s, 3);
        // horizontal extent within the largest circle of the zone
        span(0, r(*s, 0) - rad * la[1], r(*s, 0) + rad * la[1]);
        span(1, r(*s, 1) - rad * la[1], r(*s, 1) + rad * la[1]);
        span(2, r(*s, 2) + rad * la[2], r(*s, 2) + rad * la[3]);
        break;
    }
    default: return 0;
    }
    for (int c = 0; c < 3; ++c) {
        box[c] = lo[c];
        box[3 + c] = hi[c];
    }
    return 1;
}

double rg_GetBBoxSize(const double b[6]) { return std::hypot(b[3] - b[0], b[4] - b[1], b[5] - b[2]); }

double rg_DistancePtToBBox(const double p[3], const double b[6], int) {
    double d2 = 0.0;
    for (int c = 0; c < 3; ++c) {
        const double d = std::max({b[c] - p[c], 0.0, p[c] - b[3 + c]});
        d2 += d * d;
    }
    return std::sqrt(d2);
}

void rg_CopyVector3(double to[3], const double from[3]) { std::memmove(to, from, 3 * sizeof(double)); }

int rg_SurfDivn(int h, int, int counts[4]) {
    const Object* s = object(h);
    if (!s || s->cls != RG_CLASS_SURFACE) return 0;
    const int dm = model(s->model)->divmult;
    counts[0] = s->divu;
    counts[1] = s->divv;
    counts[2] = counts[3] = dm;
    return 1;
}

// ---- parameter lists and evaluation arrays ----
namespace {
// An array of n zeroed entries of the given width (none for n <= 0).
void reshape(rg_Array* a, int n, int width) {
    if (!a) return;
    std::free(a->v);
    *a = rg_Array{};
    if (n <= 0) return;
    a->v = static_cast<double*>(std::calloc(static_cast<size_t>(width) * static_cast<size_t>(n), sizeof(double)));
    if (!a->v) std::abort();  // out of memory
    a->n = n;
    a->width = width;
}
}  // namespace

void rg_Redim(rg_Array* a, int n) { reshape(a, n, 2); }

void rg_FillParamList(rg_Array* a, double lo, double hi) {
    for (int i = 0; a && i < a->n; ++i) {
        const double t = a->n == 1 ? 0.5 * (lo + hi) : lo + (hi - lo) * i / (a->n - 1);
        a->v[2 * i] = a->v[2 * i + 1] = t;
    }
}

void rg_InitializeArray(rg_Array* a, int n) { reshape(a, n, 9); }

int rg_Surface(int h, const rg_Array* params, rg_Array* result) {
    Object* s = object(h);
    if (!s || !params || !result || params->width != 2 || result->width != 9 || result->n < params->n) return 0;
    if (s->cls != RG_CLASS_SURFACE || s->error != 0 || !validate(*s)) return 0;
    for (int i = 0; i < params->n; ++i) {
        Vec3 X, Xu, Xv;
        if (!surface_eval(*s, params->v[2 * i], params->v[2 * i + 1], X, Xu, Xv)) return 0;
        double* o = result->v + 9 * i;
        for (int c = 0; c < 3; ++c) o[c] = X[c], o[3 + c] = Xu[c], o[6 + c] = Xv[c];
    }
    return 1;
}

// ---- triangulation of a trimmed surface ----
// The stand-in's trim loop is the edge of the parameter square: the
// triangulation covers the division grid, two triangles a cell.
void rg_InitTrimSurfTriangulation(rg_Triangulation* t) {
    if (t) *t = rg_Triangulation{};
}

void rg_FreeTrimSurfTriangulation1(rg_Triangulation* t) {
    if (!t) return;
    std::free(t->idx);
    std::free(t->xyz);
    *t = rg_Triangulation{};
}

int rg_GetObjectTrimSurfTriangulation(int h, rg_Triangulation* t) {
    Object* s = object(h);
    if (!t || !s || s->cls != RG_CLASS_SURFACE || !s->trimmed || s->error != 0 || !validate(*s)) return 0;
    rg_FreeTrimSurfTriangulation1(t);
    const int dm = model(s->model)->divmult;
    const int nu = s->divu * dm, nv = s->divv * dm;
    t->npts = (nu + 1) * (nv + 1);
    t->nidx = 6 * nu * nv;
    t->xyz = static_cast<double*>(std::malloc(3 * sizeof(double) * static_cast<size_t>(t->npts)));
    t->idx = static_cast<int*>(std::malloc(sizeof(int) * static_cast<size_t>(t->nidx)));
    if (!t->xyz || !t->idx) std::abort();
    for (int j = 0; j <= nv; ++j)
        for (int i = 0; i <= nu; ++i) {
            Vec3 X, Xu, Xv;
            surface_eval(*s, static_cast<double>(i) / nu, static_cast<double>(j) / nv, X, Xu, Xv);
            std::memcpy(t->xyz + 3 * (j * (nu + 1) + i), X.data(), 3 * sizeof(double));
        }
    int* q = t->idx;
    for (int j = 0; j < nv; ++j)
        for (int i = 0; i < nu; ++i) {
            const int a = j * (nu + 1) + i, b = a + 1, c = a + nu + 2, d = a + nu + 1;
            *q++ = a, *q++ = b, *q++ = c;
            *q++ = a, *q++ = c, *q++ = d;
        }
    return 1;
}

}  // extern "C"
