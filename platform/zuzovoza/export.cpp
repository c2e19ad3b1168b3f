// Low-order export: the flat panels of a list of surfaces in the
// low-order geometry layout (title; ULEN GRAV; ISX ISY; NPAN; 12 reals a
// panel, the vertices in turn; a body's dipole panels after their count).
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/zuzovoza/kernel.hpp"

using namespace zuz;

namespace {

using Quad = std::array<Vec3, 4>;

// Panels of one surface; the front side (XU x XV, reversed by the
// orientation flag) is the side the vertex order turns to.
std::vector<Quad> panels(Object& s) {
    std::vector<Quad> out;
    const int dm = model(s.model)->divmult;
    const int nu = s.divu * dm, nv = s.divv * dm;
    auto at = [&](int i, int j) {
        Vec3 X, Xu, Xv;
        surface_eval(s, static_cast<double>(i) / nu, static_cast<double>(j) / nv, X, Xu, Xv);
        return X;
    };
    for (int j = 0; j < nv; ++j)
        for (int i = 0; i < nu; ++i) {
            const Vec3 a = at(i, j), b = at(i + 1, j), c = at(i + 1, j + 1), d = at(i, j + 1);
            if (!s.trimmed) {
                out.push_back({a, b, c, d});
            } else {  // two triangles, each repeating its last vertex
                out.push_back({a, b, c, c});
                out.push_back({a, c, d, d});
            }
        }
    if (s.orient == 1)
        for (Quad& q : out) std::reverse(q.begin(), q.end());
    return out;
}

}  // namespace

extern "C" int rg_WriteGDF(const rg_SDAH* surfaces, int symmetry, const rg_GDFOptions* options, const char* title,
                           const char* path, int* kind) {
    // Distinct surfaces in list order; a body's dipole surfaces last.
    std::vector<Object*> list;
    for (int pass = 0; pass < 2 && surfaces; ++pass)
        for (int i = 0; i < surfaces->n; ++i) {
            Object* s = object(surfaces->a[i]);
            if (!s || s->cls != RG_CLASS_SURFACE || s->nomesh || s->error != 0 || !validate(*s)) continue;
            const bool dipole = kind && *kind == 1 && s->color == 11;
            if (dipole != (pass == 1) || std::find(list.begin(), list.end(), s) != list.end()) continue;
            list.push_back(s);
        }
    if (list.empty()) return 2;
    const Model& m = *model(list.front()->model);
    // Images: rotations about the model's axis, then mirrors in x and y.
    struct Image {
        int k, mx, my;
    };
    std::vector<Image> images{{0, 0, 0}};
    if (symmetry == 1) {
        images.clear();
        const int fold = m.axis > 0 ? m.fold : 1;
        for (int mx = 0; mx <= m.xsym; ++mx)
            for (int my = 0; my <= m.ysym; ++my)
                for (int k = 0; k < fold; ++k) images.push_back({k, mx, my});
    }
    // Panels of the surfaces before the dipole surfaces, and of those.
    std::vector<Quad> all[2];
    for (Object* s : list) {
        const auto base = panels(*s);
        const int part = kind && *kind == 1 && s->color == 11 ? 1 : 0;
        for (const Image& im : images) {
            const double th = m.axis > 0 ? 2.0 * rg_PI * im.k / m.fold : 0.0;
            for (Quad q : base) {
                for (Vec3& p : q) {
                    if (im.k > 0) {
                        const int i = m.axis % 3, j = (i + 1) % 3;
                        const double wi = p[i], wj = p[j];
                        p[i] = std::cos(th) * wi + std::sin(th) * wj;
                        p[j] = std::cos(th) * wj - std::sin(th) * wi;
                    }
                    if (im.mx) p[0] = -p[0];
                    if (im.my) p[1] = -p[1];
                }
                if (im.mx != im.my) std::reverse(q.begin(), q.end());  // one mirror turns the side
                all[part].push_back(q);
            }
        }
    }
    FILE* f = std::fopen(path ? path : "", "w");
    if (!f) return 1;
    auto write = [&](const std::vector<Quad>& qs) {
        for (const Quad& q : qs) {
            for (const Vec3& p : q) std::fprintf(f, " %15.8e %15.8e %15.8e", p[0], p[1], p[2]);
            std::fprintf(f, "\n");
        }
    };
    std::fprintf(f, "%s\n", title ? title : "");
    std::fprintf(f, "%14.6f %14.6f      ULEN GRAV\n", options->ULEN, options->GRAV);
    std::fprintf(f, "%4d %4d      ISX ISY\n", symmetry == 1 ? 0 : m.xsym, symmetry == 1 ? 0 : m.ysym);
    std::fprintf(f, "%8zu      NPAN\n", all[0].size());
    write(all[0]);
    if (!all[1].empty()) {
        std::fprintf(f, "%8zu      NPAN of the dipole surfaces\n", all[1].size());
        write(all[1]);
    }
    return std::fclose(f) == 0 ? 0 : 1;
}
