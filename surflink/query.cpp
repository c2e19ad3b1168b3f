// Counts, patch and panel types of a loaded entry, and the low-order
// export of a body or the control surface.
#include <cmath>

#include "surflink/state.hpp"
#include "surflink/surflink.h"

namespace surflink {
namespace {

const Entry* body_entry(int ib) {
    const State& st = S();
    if (!st.tables || ib < 1 || ib > st.NBODY) return nullptr;
    return &st.e[static_cast<size_t>(ib)];
}

// The body entry of a type query, its outputs zeroed; null with ierr 1
// (body number out of range) or 2 (not a geometry-model body).
const Entry* typed_entry(int ib, int* ptype, int* itank, int* ierr) {
    *ptype = *itank = *ierr = 0;
    const Entry* en = body_entry(ib);
    if (!en) *ierr = 1;
    else if (en->igdef != 2 || !en->rec) *ierr = 2;
    return *ierr == 0 ? en : nullptr;
}

// Tank of surface h: the top-level entry of the tank list holding it.
int tank_of(const Record& r, int h) {
    if (r.tanklist == 0) return 0;
    rg_SDAH top{};
    int itank = 0;
    if (rg_EvalObjectList(r.tanklist, &top)) {
        for (int t = 1; t <= rg_GetSizeSDAH(&top) && itank == 0; ++t) {
            const int x = rg_GetAtSDAH(&top, t - 1);
            if (x == h) {
                itank = t;
            } else if (rg_GetObjectClass(x) == RG_CLASS_LIST) {
                rg_SDAH m{};
                rg_AppendToSDAH(&m, x);
                rg_ExpandObjectLists(&m, 0);
                if (rg_LookUpSDAH(&m, h) >= 0) itank = t;
                rg_RedimSDAH(&m, 0);
            }
        }
    }
    rg_RedimSDAH(&top, 0);
    return itank;
}

int low_export(int e, const char* name) {
    const State& st = S();
    if (!st.tables || e < 0 || e > st.NBODY) return 1;
    const Entry& en = st.e[static_cast<size_t>(e)];
    if (en.igdef != 2 || !en.rec) return 2;
    const Record& r = *en.rec;
    if ((r.flags & 1) == 0) return 8;
    rg_GDFOptions opt;
    rg_GDFExportOptionDefaults(r.model, &opt);
    if (r.ULEN > 0.0) opt.ULEN = r.ULEN;
    if (r.GRAV > 0.0) opt.GRAV = r.GRAV;
    const int cls = symmetry_class(en, r.model);
    switch (cls) {
    case -3: log::put("%s ERROR: Rotational symmetry combined with nonzero ISX or ISY.\n", name); return 3;
    case -2:
        if (en.symcode & 1) log::put("%s ERROR: Nonzero ISX requires model X-symmetry.\n", name);
        if (en.symcode & 2) log::put("%s ERROR: Nonzero ISY requires model Y-symmetry.\n", name);
        return 4;
    case -1: log::put("%s ERROR: If no model level symmetry, ISX and ISY must be 0.\n", name); return 5;
    default: break;
    }
    int kind = e == 0 ? 4 : 1;
    const int res = rg_WriteGDF(&r.surfaces, cls, &opt, r.title.c_str(), r.file2.c_str(), &kind);
    if (res == 1) {
        log::put("%s ERROR: Cannot open output file %s.\n", name, r.file2.c_str());
        return 6;
    }
    if (res == 2) {
        log::put("%s ERROR: No qualifying objects for export.\n", name);
        return 7;
    }
    return 0;
}

}  // namespace
}  // namespace surflink

using namespace surflink;

extern "C" {

void RGKNPATCH(const int* IB, int* NPATCH) {
    const Entry* en = body_entry(*IB);
    *NPATCH = en && en->rec && en->rec->panemap ? en->rec->panemap->npatch : -1;
}

void RGKNPATCSF(int* NPATCH) {
    const State& st = S();
    const Entry* en = st.tables ? &st.e[0] : nullptr;
    *NPATCH = en && en->rec && en->rec->panemap ? en->rec->panemap->npatch : -1;
}

void RGKNPAN(const int* IB, int* NPAN1, int* NPAN2) {
    const State& st = S();
    *NPAN1 = *NPAN2 = -1;
    if (!st.tables || *IB < 0 || *IB > st.NBODY) return;
    const Entry& en = st.e[static_cast<size_t>(*IB)];
    if (!en.rec || (en.rec->flags & 1) == 0) return;
    *NPAN1 = en.rec->npan1;
    *NPAN2 = en.rec->npan2;
}

void RGKNTANK(const int* IB, int* NTANK) {
    const Entry* en = body_entry(*IB);
    *NTANK = en && en->rec ? en->rec->ntank : -1;
}

void RGKPATTYPE(const int* IB, const int* IP, int* PTYPE, int* ITANK, int* IERR) {
    const Entry* en = typed_entry(*IB, PTYPE, ITANK, IERR);
    if (!en) return;
    const Record& r = *en->rec;
    // Without a pane map there are no patches to ask about.
    if (!r.panemap || *IP < 1 || *IP > r.panemap->npatch) {
        *IERR = 3;
        return;
    }
    const int is = static_cast<int>(std::lround(r.panemap->patch_surface[*IP - 1]));
    *PTYPE = r.ptype[static_cast<size_t>(is - 1)];
    *ITANK = tank_of(r, rg_GetAtSDAH(&r.surfaces, is - 1));
}

void RGKPANTYPE(const int* IB, const int* IPAN, int* PTYPE, int* ITANK, int* IERR) {
    const Entry* en = typed_entry(*IB, PTYPE, ITANK, IERR);
    if (!en) return;
    const Record& r = *en->rec;
    if ((r.flags & 1) == 0 || *IPAN < 1 || *IPAN > r.npan1 + r.npan2) {
        *IERR = 3;
        return;
    }
    const int n = static_cast<int>(r.firstpan.size());
    for (int i = 0; i < n; ++i)
        if (r.firstpan[static_cast<size_t>(i)] <= *IPAN && *IPAN <= r.lastpan[static_cast<size_t>(i)]) {
            // Surface i of the selection is entry i x NROT of the surface list.
            const size_t j = static_cast<size_t>(i) * static_cast<size_t>(en->nrot);
            *PTYPE = r.ptype[j];
            *ITANK = tank_of(r, rg_GetAtSDAH(&r.surfaces, static_cast<int>(j)));
            return;
        }
}

void RGKLOWGDF(const int* IB, int* IERR) { *IERR = low_export(*IB, *IB == 0 ? "RGKLOWCSF" : "RGKLOWGDF"); }

void RGKLOWCSF(int* IERR) { *IERR = low_export(0, "RGKLOWCSF"); }

}  // extern "C"
