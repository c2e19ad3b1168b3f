// The kernel's store of models and entities, access, lists and the entity
// and model queries.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "platform/zuzovoza/kernel.hpp"

namespace zuz {
namespace {

std::vector<std::unique_ptr<Object>> g_objects;
std::vector<std::unique_ptr<Model>> g_models;

}  // namespace

Object* object(int h) {
    if (h < 1 || h > static_cast<int>(g_objects.size())) return nullptr;
    return g_objects[h - 1].get();
}

Model* model(int h) {
    if (h < 1 || h > static_cast<int>(g_models.size())) return nullptr;
    return g_models[h - 1].get();
}

int add_object(std::unique_ptr<Object> o) {
    g_objects.push_back(std::move(o));
    const int h = static_cast<int>(g_objects.size());
    g_objects.back()->handle = h;
    return h;
}

int add_model(std::unique_ptr<Model> m) {
    g_models.push_back(std::move(m));
    const int h = static_cast<int>(g_models.size());
    g_models.back()->handle = h;
    return h;
}

void remove_model(int h) {
    Model* m = model(h);
    if (!m) return;
    for (int o : m->objects) g_objects[o - 1].reset();
    g_models[h - 1].reset();
}

double unit_metres(int code) {
    switch (code) {
    case 1: case 3: case 4: return 0.3048;
    case 2: case 5: return 1.0;
    case 6: return 0.0254;
    case 7: return 0.001;
    case 8: return 0.01;
    default: return 0.0;
    }
}

}  // namespace zuz

using namespace zuz;

extern "C" {

const double rg_PI = 3.14159265358979323846;
const int rg_DEFAULTOBJECT = -1;

int rg_AccessInit(int) { return 0; }
void rg_AccessDone(void) {}
const char* rg_KernelVersion(void) { return "1.0 (stand-in kernel)"; }

void rg_DateTime(int len, char* buf) {
    if (!buf || len <= 0) return;
    static const char* mon[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    std::snprintf(buf, static_cast<size_t>(len), "%02d-%s-%04d %02d:%02d:%02d", tm.tm_mday, mon[tm.tm_mon],
                  tm.tm_year + 1900, tm.tm_hour, tm.tm_min, tm.tm_sec);
}

// ---- handle lists ----
int rg_GetSizeSDAH(const rg_SDAH* l) { return l ? l->n : 0; }
int rg_GetAtSDAH(const rg_SDAH* l, int i) { return l && i >= 0 && i < l->n ? l->a[i] : 0; }
void rg_SetAtSDAH(rg_SDAH* l, int i, int h) {
    if (l && i >= 0 && i < l->n) l->a[i] = h;
}
void rg_RedimSDAH(rg_SDAH* l, int n) {
    if (!l) return;
    if (n <= 0) {
        std::free(l->a);
        *l = rg_SDAH{};
        return;
    }
    if (n > l->cap) {
        const int cap = std::max(n, 2 * l->cap);
        int* a = static_cast<int*>(std::realloc(l->a, sizeof(int) * static_cast<size_t>(cap)));
        if (!a) std::abort();  // out of memory
        l->a = a;
        l->cap = cap;
    }
    for (int i = l->n; i < n; ++i) l->a[i] = 0;
    l->n = n;
}
void rg_AppendToSDAH(rg_SDAH* l, int h) {
    if (!l) return;
    rg_RedimSDAH(l, l->n + 1);
    l->a[l->n - 1] = h;
}
void rg_RemoveAtSDAH(rg_SDAH* l, int i) {
    if (!l || i < 0 || i >= l->n) return;
    std::memmove(l->a + i, l->a + i + 1, sizeof(int) * static_cast<size_t>(l->n - i - 1));
    --l->n;
}
int rg_LookUpSDAH(const rg_SDAH* l, int h) {
    for (int i = 0; l && i < l->n; ++i)
        if (l->a[i] == h) return i;
    return -1;
}
void rg_CopySDAH(rg_SDAH* to, const rg_SDAH* from) {
    if (!to || !from || to == from) return;
    rg_RedimSDAH(to, 0);
    rg_RedimSDAH(to, from->n);
    for (int i = 0; i < from->n; ++i) to->a[i] = from->a[i];
}

// ---- models ----
int rg_GetErrorNumber(int state) { return state % 1000; }
void rg_DestroyModel(int m) { remove_model(m); }
void rg_SetUseEvalTable(int m, int mask) {
    if (Model* p = model(m)) p->evaltable = mask;
}
int rg_GetModelDivMult(int m) {
    const Model* p = model(m);
    return p ? p->divmult : 0;
}
void rg_SetModelDivMult(int m, int d) {
    if (Model* p = model(m); p && d > 0 && d <= MAXDIVMULT) p->divmult = d;
}
int rg_GetModelUnits(int m) {
    const Model* p = model(m);
    return p ? p->units : 0;
}
const char* rg_GetUnitNames(int code) {
    static const char* names[] = {"", "ft", "m", "ft-in", "ft-in-16", "m-mm", "in", "mm", "cm"};
    return code >= 0 && code <= 8 ? names[code] : "unknown";
}
int rg_ConvertModelUnits(int m, int code) {
    Model* p = model(m);
    const double to = unit_metres(code);
    if (!p || to == 0.0) return 0;
    const double from = unit_metres(p->units);
    if (from != 0.0) {
        const double f = from / to;
        for (int h : p->objects) {
            Object* o = object(h);
            for (size_t i = 0; i < o->reals.size(); ++i)
                if (o->length[i]) o->reals[i] *= f;
            o->valid = false;
        }
    }
    p->units = code;
    return 1;
}
void rg_GetModelSymmetry(int m, int* x, int* y, int* axis, int* foldm1) {
    const Model* p = model(m);
    *x = p ? p->xsym : 0;
    *y = p ? p->ysym : 0;
    *axis = p ? p->axis : 0;
    *foldm1 = p ? p->fold - 1 : 0;
}
int rg_CountSymmetryImages(int m) {
    const Model* p = model(m);
    if (!p) return 1;
    return (1 + p->xsym) * (1 + p->ysym) * (p->axis > 0 ? p->fold : 1);
}
int rg_ListObjectsInError(int m, rg_SDAH* handles, rg_SDAH* numbers, rg_SDAH* kinds) {
    rg_RedimSDAH(handles, 0);
    rg_RedimSDAH(numbers, 0);
    rg_RedimSDAH(kinds, 0);
    const Model* p = model(m);
    if (!p) return 0;
    for (int h : p->objects) {
        const int state = rg_GetObjectError(h);
        if (state == 0) continue;
        rg_AppendToSDAH(handles, h);
        rg_AppendToSDAH(numbers, state % 1000);
        rg_AppendToSDAH(kinds, state / 1000 == 2 ? 1 : 0);
    }
    return handles->n;
}
int rg_ListObjectsOfClass(int m, int cls, int flag, rg_SDAH* out) {
    rg_RedimSDAH(out, 0);
    const Model* p = model(m);
    if (!p) return 0;
    for (int h : p->objects) {
        const Object* o = object(h);
        if (o->cls == cls && (flag == 1 || o->visible)) rg_AppendToSDAH(out, h);
    }
    return out->n;
}
int rg_GetModelFirstObj(int m) {
    const Model* p = model(m);
    return p && !p->objects.empty() ? p->objects.front() : 0;
}
int rg_GetObjectNextObj(int h) {
    const Object* o = object(h);
    if (!o) return 0;
    const Model* p = model(o->model);
    auto it = std::find(p->objects.begin(), p->objects.end(), h);
    return it != p->objects.end() && it + 1 != p->objects.end() ? *(it + 1) : 0;
}

// ---- entities ----
int rg_GetObjectFromName(int m, const char* name) {
    const Model* p = model(m);
    if (!p || !name) return 0;
    if (std::strcmp(name, "DEFAULT") == 0) return rg_DEFAULTOBJECT;
    for (int h : p->objects)
        if (object(h)->name == name) return h;
    return 0;
}
int rg_GetObjectType(int h) {
    const Object* o = object(h);
    return o ? o->type : 0;
}
int rg_GetObjectSubClass(int h) {
    const Object* o = object(h);
    return o ? o->subclass : 0;
}
int rg_GetObjectClass(int h) {
    const Object* o = object(h);
    return o ? o->cls : 0;
}
int rg_NReals(int h) {
    const Object* o = object(h);
    return o ? static_cast<int>(o->reals.size()) : 0;
}
double rg_GetObjectReal(int h, int i) {
    Object* o = object(h);
    if (!o || i < 0 || i >= static_cast<int>(o->reals.size())) return 0.0;
    if (o->cls == RG_CLASS_SURFACE) validate(*o);
    return o->reals[static_cast<size_t>(i)];
}
int rg_SetObjectReal(int h, int i, double x) {
    Object* o = object(h);
    if (!o || i < 0 || i >= static_cast<int>(o->reals.size())) return 0;
    o->reals[static_cast<size_t>(i)] = x;
    o->bound[static_cast<size_t>(i)] = 0;
    return 1;
}
void rg_InvalidateObjectAndDependencies(int h) {
    Object* o = object(h);
    if (!o) return;
    o->valid = false;
    for (int d : model(o->model)->objects) {
        Object* s = object(d);
        if (std::find(s->bound.begin(), s->bound.end(), h) != s->bound.end()) s->valid = false;
    }
}
const char* rg_GetObjectName(int h) {
    const Object* o = object(h);
    return o ? o->name.c_str() : "";
}
const char* rg_GetObjectFullName(int h) {
    const Object* o = object(h);
    return o ? o->full_name.c_str() : "";
}
const char* rg_Ordinal(int k, char* buf) {
    const int t = std::abs(k) % 100;
    const char* suf = "th";
    if (t < 11 || t > 13) {
        if (t % 10 == 1) suf = "st";
        else if (t % 10 == 2) suf = "nd";
        else if (t % 10 == 3) suf = "rd";
    }
    std::snprintf(buf, 16, "%d%s", k, suf);
    return buf;
}
int rg_GetObjectError(int h) {
    Object* o = object(h);
    if (!o) return 0;
    if (o->error != 0) return o->error;
    if (o->cls == RG_CLASS_SURFACE && !validate(*o)) return o->geom_error;
    return 0;
}
int rg_GetObjectColorCode(int h) {
    const Object* o = object(h);
    return o ? o->color : 0;
}
int rg_GetObjectOrient(int h) {
    const Object* o = object(h);
    return o ? o->orient : 0;
}
int rg_IsObjectVisible(int h) {
    const Object* o = object(h);
    return o && o->visible ? 1 : 0;
}
int rg_IsOnEnabledLayer(int h) {
    const Object* o = object(h);
    if (!o) return 0;
    return o->layer == 0 || model(o->model)->layers[static_cast<size_t>(o->layer - 1)].on ? 1 : 0;
}
int rg_QualifyForTriangles(int h) {
    const Object* o = object(h);
    return o && o->cls == RG_CLASS_SURFACE && !o->nomesh && rg_GetObjectError(h) == 0 ? 1 : 0;
}
int rg_IsObjectUntrimmedSurface(int h) {
    const Object* o = object(h);
    return o && o->cls == RG_CLASS_SURFACE && !o->trimmed ? 1 : 0;
}
int rg_IsObjectTrimSurfType(int h) {
    const Object* o = object(h);
    return o && o->cls == RG_CLASS_SURFACE && o->trimmed ? 1 : 0;
}
int rg_EvalObjectList(int h, rg_SDAH* out) {
    rg_RedimSDAH(out, 0);
    const Object* o = object(h);
    if (!o || o->cls != RG_CLASS_LIST || o->error != 0) return 0;
    for (int m : o->members) {
        const Object* x = object(m);
        if (!x || x->error != 0) return 0;  // a member flagged in error
        rg_AppendToSDAH(out, m);
    }
    return 1;
}
int rg_ExpandObjectLists(rg_SDAH* l, int) {
    if (!l) return 0;
    rg_SDAH out{};
    // Depth-first walk; a list reached again inside itself is not re-entered.
    std::vector<int> path;
    auto walk = [&](auto&& self, int h) -> void {
        const Object* o = object(h);
        if (o && o->cls == RG_CLASS_LIST) {
            if (std::find(path.begin(), path.end(), h) != path.end()) return;
            path.push_back(h);
            for (int m : o->members) self(self, m);
            path.pop_back();
        } else {
            rg_AppendToSDAH(&out, h);
        }
    };
    for (int i = 0; i < l->n; ++i) walk(walk, l->a[i]);
    rg_RedimSDAH(l, 0);
    *l = out;
    return l->n;
}

void rg_GDFExportOptionDefaults(int m, rg_GDFOptions* opt) {
    const double u = unit_metres(rg_GetModelUnits(m));
    opt->ULEN = 1.0;
    opt->GRAV = u > 0.0 ? 9.80665 / u : 9.80665;
}

}  // extern "C"
