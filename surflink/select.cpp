// Selection of a loaded block's surfaces (wetted list, tank list), their
// checks and classification, and the entry's tables: surface list with
// rotation copies, evaluation arrays, patch types, pane map, low-order panel
// ranges and tanks; the patch table of the log.
#include <algorithm>
#include <cmath>

#include "surflink/state.hpp"

namespace surflink {
namespace {

bool is_surface(int h) { return rg_GetObjectClass(h) == RG_CLASS_SURFACE; }

// Surfaces of the tank list into T; 0 success, 1 an entry that is neither a
// surface nor a list of surfaces, 2 a trimmed surface, 3 the list does not
// evaluate.
int tank_surfaces(int list, rg_SDAH& T, int& ntank) {
    rg_SDAH top{};
    int err = 0;
    if (!rg_EvalObjectList(list, &top)) err = 3;
    for (int i = 0; err == 0 && i < rg_GetSizeSDAH(&top); ++i) {
        const int h = rg_GetAtSDAH(&top, i);
        if (is_surface(h)) {
            if (!rg_IsObjectUntrimmedSurface(h)) err = 2;
            else rg_AppendToSDAH(&T, h);
        } else if (rg_GetObjectClass(h) == RG_CLASS_LIST) {
            rg_SDAH members{};
            rg_AppendToSDAH(&members, h);
            const int n = rg_ExpandObjectLists(&members, 0);
            for (int k = 0; err == 0 && k < n; ++k) {
                const int m = rg_GetAtSDAH(&members, k);
                if (!is_surface(m)) err = 1;
                else if (!rg_IsObjectUntrimmedSurface(m)) err = 2;
                else rg_AppendToSDAH(&T, m);
            }
            rg_RedimSDAH(&members, 0);
        } else {
            err = 1;
        }
    }
    ntank = rg_GetSizeSDAH(&top);
    rg_RedimSDAH(&top, 0);
    return err;
}

// Low-order panel count of one surface.
int panel_count(int h) {
    if (rg_IsObjectUntrimmedSurface(h)) {
        int c[4] = {0, 0, 0, 0};
        if (!rg_SurfDivn(h, 1, c)) return 0;
        return c[0] * c[1] * c[2] * c[3];
    }
    rg_Triangulation t;
    rg_InitTrimSurfTriangulation(&t);
    const int n = rg_GetObjectTrimSurfTriangulation(h, &t) ? t.nidx / 3 : 0;
    rg_FreeTrimSurfTriangulation1(&t);
    return n;
}

void panel_ranges(const Entry& en, Record& r, const rg_SDAH& W, bool body) {
    const int n = rg_GetSizeSDAH(&W);
    const int m = symmetry_class(en, r.model) == 1 ? rg_CountSymmetryImages(r.model) : 1;
    r.firstpan.assign(static_cast<size_t>(n), 0);
    r.lastpan.assign(static_cast<size_t>(n), 0);
    int t = 0;
    for (int group = 1; group <= 2; ++group) {
        for (int i = 0; i < n; ++i) {
            const int h = rg_GetAtSDAH(&W, i);
            const bool dipole = body && colour_type(rg_GetObjectColorCode(h)) == 2;
            if (dipole != (group == 2)) continue;
            // The export writes each surface with all its images in a row.
            r.firstpan[static_cast<size_t>(i)] = t + 1;
            t += panel_count(h) * m;
            r.lastpan[static_cast<size_t>(i)] = t;
        }
        if (group == 1) r.npan1 = t;
    }
    r.npan2 = t - r.npan1;
}

void positioning_checks(int h, double zoffset, bool check_lid, bool check_hull) {
    double box[6];
    if (!rg_GetObjectBBox(h, box)) return;
    const double zmin = box[2] + zoffset, zmax = box[5] + zoffset;
    const double tol = 1.0E-6 * rg_GetBBoxSize(box);
    const char* name = rg_GetObjectName(h);
    if (check_hull) {
        if (zmax > tol)
            log::put("WARNING: When positioned by XBODY, surface %s\nextends %10.2e %s above the global free surface.\n",
                     name, zmax, "  ");
        if (zmin > -tol && zmax < tol)
            log::put("WARNING: When positioned by XBODY, surface %s\nlies on the global free surface.\n", name);
    } else if (check_lid && (zmin < -tol || zmax > tol)) {
        log::put("WARNING: When positioned by XBODY, surface %s\ndoes not lie on the global free surface.\n", name);
    }
}

void errors_listing(int model) {
    rg_SDAH hs{}, nums{}, kinds{};
    const int c = rg_ListObjectsInError(model, &hs, &nums, &kinds);
    if (c > 0) {
        log::put("%d entit%s in error\n", c, c == 1 ? "y is" : "ies are");
        log::put("error no.    entity type and name\n");
        for (int i = 0; i < c; ++i)
            log::put("%s%-d     %s\n", rg_GetAtSDAH(&kinds, i) != 0 ? "S" : "M", rg_GetAtSDAH(&nums, i),
                     rg_GetObjectFullName(rg_GetAtSDAH(&hs, i)));
    }
    rg_RedimSDAH(&hs, 0);
    rg_RedimSDAH(&nums, 0);
    rg_RedimSDAH(&kinds, 0);
}

}  // namespace

int symmetry_class(const Entry& en, int model) {
    static const int table[4][5] = {{0, 1, 1, 1, 1}, {-1, 0, -2, -2, -3}, {-1, -2, 0, -2, -3}, {-1, -2, -2, 0, -3}};
    int xs = 0, ys = 0, axis = 0, foldm1 = 0;
    rg_GetModelSymmetry(model, &xs, &ys, &axis, &foldm1);
    const int c = axis == 3 ? 4 : xs + 2 * ys;
    return table[en.symcode & 3][c];
}

void select_surfaces(int e, const BlockNames& names, int& ierr) {
    State& st = S();
    Entry& en = st.e[static_cast<size_t>(e)];
    Record& r = *en.rec;
    const bool body = e > 0;
    const bool lowcsf = !body && r.ilowhi == 0;
    const int model = r.model;
    rg_SDAH T{}, W{};

    // Tank list.
    if (body && !names.tank.empty()) {
        const int h = rg_GetObjectFromName(model, names.tank.c_str());
        if (h == 0) {
            first_code(ierr, 12);
            log::put("Entity List %s not found in model.\n", names.tank.c_str());
        } else if (rg_GetObjectSubClass(h) != RG_SUBCLASS_ENTITY_LIST) {
            first_code(ierr, 13);
            log::put("The entity named %s is not an Entity List.\n", names.tank.c_str());
        } else if (const int state = rg_GetObjectError(h); state != 0) {
            first_code(ierr, 14);
            log::put("Entity List %s has error %d.\n", names.tank.c_str(), rg_GetErrorNumber(state));
        } else {
            int ntank = 0;
            const int err = tank_surfaces(h, T, ntank);
            if (err != 0) {
                first_code(ierr, 15);
                log::put("Entity List %s contents don't qualify for a tank list; err = %d.\n", names.tank.c_str(), err);
            } else {
                r.tanklist = h;
                r.ntank = ntank;
            }
        }
    }

    // Wetted surfaces.
    const int hw = rg_GetObjectFromName(model, names.wetted.c_str());
    if (hw == 0) {
        first_code(ierr, 4);
        log::put("Entity %s was not found in model.\n", names.wetted.c_str());
    } else {
        if (hw == rg_DEFAULTOBJECT) {
            if (!lowcsf) {
                rg_ListObjectsOfClass(model, RG_CLASS_SURFACE, 1, &W);
            } else {
                for (int h = rg_GetModelFirstObj(model); h != 0; h = rg_GetObjectNextObj(h))
                    if (rg_IsObjectVisible(h) && rg_IsOnEnabledLayer(h) && rg_QualifyForTriangles(h))
                        rg_AppendToSDAH(&W, h);
            }
        } else if (rg_GetObjectSubClass(hw) == RG_SUBCLASS_ENTITY_LIST) {
            if (!rg_EvalObjectList(hw, &W)) {
                first_code(ierr, 6);
                log::put("Entity List %s failed to evaluate.\n", names.wetted.c_str());
            }
        } else {
            first_code(ierr, 5);
            log::put("The entity named %s is not an Entity List.\n", names.wetted.c_str());
        }

        if (en.itkms2 != 0)
            for (int i = 0; i < rg_GetSizeSDAH(&T); ++i) rg_AppendToSDAH(&W, rg_GetAtSDAH(&T, i));

        const int N = names.npatch, nrot = en.nrot;
        if (N > 0 && N <= rg_GetSizeSDAH(&W)) rg_RedimSDAH(&W, N);
        if (N > 0 && static_cast<long>(nrot) * rg_GetSizeSDAH(&W) < N) {
            first_code(ierr, 8);
            log::put("The surface list contains only %d entities.This is fewer than NPATCH / NROT (%d).\n",
                     rg_GetSizeSDAH(&W), N / nrot);
        }
        for (int i = 0; i < rg_GetSizeSDAH(&W); ++i)
            for (int j = i + 1; j < rg_GetSizeSDAH(&W); ++j)
                if (rg_GetAtSDAH(&W, i) == rg_GetAtSDAH(&W, j)) {
                    first_code(ierr, 16);
                    log::put("The surface list contains duplicate entities; for example, %s.\n",
                             rg_GetObjectName(rg_GetAtSDAH(&W, i)));
                }

        if (body) {
            if (en.irr != 1)
                for (int i = rg_GetSizeSDAH(&W) - 1; i >= 0; --i)
                    if (colour_type(rg_GetObjectColorCode(rg_GetAtSDAH(&W, i))) == 3) rg_RemoveAtSDAH(&W, i);
            for (int i = 0; i < rg_GetSizeSDAH(&W); ++i) {
                const int h = rg_GetAtSDAH(&W, i), type = colour_type(rg_GetObjectColorCode(h));
                if (type < 1 || type > 3) {
                    log::put("Surface %s, classified by color as patch type %d,\ndoesn't qualify for analysis.\n",
                             rg_GetObjectName(h), type);
                    first_code(ierr, 19);
                    rg_RedimSDAH(&W, 0);
                    rg_RedimSDAH(&T, 0);
                    return;
                }
            }
        }

        const int n = rg_GetSizeSDAH(&W);
        r.evalarrays.assign(static_cast<size_t>(n) * static_cast<size_t>(nrot), nullptr);
        r.flags = 3;
        for (int i = 0; i < n; ++i) {
            const int h = rg_GetAtSDAH(&W, i);
            if (!rg_QualifyForTriangles(h)) r.flags &= ~1;
            if (!rg_IsObjectUntrimmedSurface(h)) r.flags &= ~2;
        }
        if (r.flags & 1) panel_ranges(en, r, W, body);

        for (int i = 0; i < n; ++i) {
            const int h = rg_GetAtSDAH(&W, i);
            const char* name = rg_GetObjectName(h);
            log::put("Body %d surface %d name: %s\n", e, i + 1, name);
            if (!lowcsf) {
                if (!is_surface(h)) log::put("%s is not a surface. Class = %d.\n", name, rg_GetObjectClass(h));
                if (rg_IsObjectTrimSurfType(h))
                    log::put("%s is a trimmed surface; not eligible for ZORVA higher-order analysis.\n", name);
            } else if (!rg_QualifyForTriangles(h)) {
                log::put("%s doesn't qualify for low-order panels.\n", name);
            }
            rg_Array* arr = nullptr;
            if (!rg_ForceValidTable(h)) {
                first_code(ierr, 11);
                log::put("Failed to build table for %s. (error %d)\n", name, rg_GetErrorNumber(rg_GetObjectError(h)));
            } else if (rg_IsObjectUntrimmedSurface(h)) {
                // Trial evaluation; its array stays with the surface.
                rg_Array params{};
                rg_Redim(&params, 1);
                rg_FillParamList(&params, 0.0, 1.0);
                auto a = std::make_unique<rg_Array>();
                *a = rg_Array{};
                rg_InitializeArray(a.get(), 1);
                const bool ok = rg_Surface(h, &params, a.get()) != 0;
                rg_Redim(&params, 0);
                if (!ok) {
                    rg_Redim(a.get(), 0);
                    first_code(ierr, 11);
                    log::put("Failed to build table for %s. (error %d)\n", name,
                             rg_GetErrorNumber(rg_GetObjectError(h)));
                } else {
                    arr = a.get();
                    r.owned.push_back(std::move(a));
                }
            }
            if (rg_IsObjectUntrimmedSurface(h) && rg_LookUpSDAH(&T, h) < 0) {
                const int type = colour_type(rg_GetObjectColorCode(h));
                positioning_checks(h, names.zoffset, body && type == 3, !body || type == 1 || type == 2);
            }
            for (int k = 0; k < nrot; ++k) {
                rg_AppendToSDAH(&r.surfaces, h);
                r.evalarrays[static_cast<size_t>(i) * static_cast<size_t>(nrot) + static_cast<size_t>(k)] = arr;
            }
        }

        const int M = rg_GetSizeSDAH(&r.surfaces);
        if (r.flags & 2) {
            r.panemap = std::make_unique<rg_PaneMap>();
            *r.panemap = rg_PaneMap{};
            en.npatch = rg_StorePaneMaps(&r.surfaces, r.panemap.get());
        } else {
            en.npatch = M;
        }
        r.ptype.resize(static_cast<size_t>(M));
        for (int j = 0; j < M; ++j)
            r.ptype[static_cast<size_t>(j)] = body ? colour_type(rg_GetObjectColorCode(rg_GetAtSDAH(&r.surfaces, j))) : 1;
    }

    log::put("Do body surfaces qualify for making low-order panels? %s\n", (r.flags & 1) ? "Y" : "N");
    log::put("Do body surfaces qualify for higher-order analysis? %s\n", (r.flags & 2) ? "Y" : "N");
    errors_listing(model);
    rg_RedimSDAH(&W, 0);
    rg_RedimSDAH(&T, 0);
}

void patch_table() {
    State& st = S();
    log::put("%s\n", log::DASH_LINE);
    log::put(" body  isurf  patches ptype   ior  surface name\n");
    for (int ib = 1; ib <= st.NBODY; ++ib) {
        const Entry& en = st.e[static_cast<size_t>(ib)];
        if (en.igdef != 2 || !en.rec || !en.rec->panemap) continue;
        const Record& r = *en.rec;
        for (int j = 1; j <= rg_GetSizeSDAH(&r.surfaces); ++j) {
            const int h = rg_GetAtSDAH(&r.surfaces, j - 1);
            log::put("%5d %5d %4d -%3d  %4d  %4d  %s\n", ib, j, r.panemap->surface_first[j - 1],
                     r.panemap->surface_last[j - 1], r.ptype[static_cast<size_t>(j - 1)], rg_GetObjectOrient(h),
                     rg_GetObjectName(h));
        }
    }
    log::put("%s\n", log::DASH_LINE);
}

}  // namespace surflink
