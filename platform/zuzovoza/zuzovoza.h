/* zuzovoza.h -- the routines of the geometry kernel libzuzovoza.so that
 * SURFLINK calls.
 *
 * This build carries a small kernel of its own: it reads the text model
 * format described in surflink/model_format.md and evaluates its surfaces
 * exactly.  Handles (models and entities) are 32-bit integers, 0 = none;
 * reals are doubles; list indices are 0-based; surface parameters (u, v)
 * run over [0, 1] x [0, 1].
 *
 * Error states: a failing load or an entity in error carries an error state
 * 1000 x kind + number (kind 1: entity flagged in error in the model, 2: the
 * same with the severe flag, 3: model loading, 4: geometry found invalid);
 * rg_GetErrorNumber gives the number.  A failing load also carries the line
 * of the model file at fault: its state is 10000 x line + 3000 + number
 * (numbers: 1 the file cannot be opened, 2 the first line is not the
 * header "ZUZOVOZA MODEL 1", 3 a faulty record), the line 0 when there is
 * none (a file that cannot be opened) or it lies beyond line 200000.
 */
#ifndef ZUZOVOZA_H
#define ZUZOVOZA_H

#if defined(__GNUC__)
#define RG_EXPORT __attribute__((visibility("default")))
#else
#define RG_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---- access, version, date ------------------------------------------- */
RG_EXPORT int rg_AccessInit(int flags);  /* 0 = success */
RG_EXPORT void rg_AccessDone(void);
RG_EXPORT const char* rg_KernelVersion(void);
/* Local date and time "DD-Mon-YYYY HH:MM:SS" into buf (len bytes, NUL ended). */
RG_EXPORT void rg_DateTime(int len, char* buf);

RG_EXPORT extern const double rg_PI;
/* The default object: names the whole model where an entity is expected. */
RG_EXPORT extern const int rg_DEFAULTOBJECT;

/* ---- handle lists (also used for integers); zeroed = empty ----------- */
typedef struct rg_SDAH {
    int* a;
    int n;
    int cap;
} rg_SDAH;
RG_EXPORT int rg_GetSizeSDAH(const rg_SDAH* l);
RG_EXPORT int rg_GetAtSDAH(const rg_SDAH* l, int i); /* 0 outside the list */
RG_EXPORT void rg_SetAtSDAH(rg_SDAH* l, int i, int h); /* ignored outside */
RG_EXPORT void rg_AppendToSDAH(rg_SDAH* l, int h);
RG_EXPORT void rg_RemoveAtSDAH(rg_SDAH* l, int i);
RG_EXPORT int rg_LookUpSDAH(const rg_SDAH* l, int h); /* index, -1 absent */
RG_EXPORT void rg_CopySDAH(rg_SDAH* to, const rg_SDAH* from);
RG_EXPORT void rg_RedimSDAH(rg_SDAH* l, int n); /* new entries 0; 0 frees */

/* ---- models ------------------------------------------------------------ */
/* 0 = success (handle in *model), else an error state. */
RG_EXPORT int rg_LoadModelFromFile(const char* path, int flags, int* model);
RG_EXPORT int rg_GetErrorNumber(int state);
RG_EXPORT void rg_DestroyModel(int model);
RG_EXPORT void rg_SetUseEvalTable(int model, int mask);
RG_EXPORT int rg_GetModelDivMult(int model);
RG_EXPORT void rg_SetModelDivMult(int model, int divmult);
/* Unit codes: 0 none, 1 ft, 2 m, 3 ft-in, 4 ft-in-16, 5 m-mm, 6 in, 7 mm,
 * 8 cm.  1, 3, 4 measure lengths in feet, 2 and 5 in metres. */
RG_EXPORT int rg_GetModelUnits(int model);
RG_EXPORT const char* rg_GetUnitNames(int code);
RG_EXPORT int rg_ConvertModelUnits(int model, int code); /* nonzero = success */
RG_EXPORT void rg_GetModelSymmetry(int model, int* xflag, int* yflag, int* axis, int* fold_minus_one);
RG_EXPORT int rg_CountSymmetryImages(int model);
/* Entities in error, in model order: handles, error numbers, severe flags. */
RG_EXPORT int rg_ListObjectsInError(int model, rg_SDAH* handles, rg_SDAH* numbers, rg_SDAH* kinds);
/* Entities of a class in model order; flag 1 also lists hidden ones. */
RG_EXPORT int rg_ListObjectsOfClass(int model, int cls, int flag, rg_SDAH* handles);
RG_EXPORT int rg_GetModelFirstObj(int model);
RG_EXPORT int rg_GetObjectNextObj(int obj);

/* ---- entities ---------------------------------------------------------- */
/* Types */
#define RG_TYPE_VARIABLE 13
#define RG_TYPE_QUAD 31
#define RG_TYPE_BSPLINE 32
#define RG_TYPE_CYLINDER 33
#define RG_TYPE_DISC 34
#define RG_TYPE_SPHERE 35
#define RG_TYPE_LIST 41
/* Classes */
#define RG_CLASS_VARIABLE 1
#define RG_CLASS_SURFACE 3
#define RG_CLASS_LIST 10
/* Subclass of an entity list */
#define RG_SUBCLASS_ENTITY_LIST 113

RG_EXPORT int rg_GetObjectFromName(int model, const char* name);
RG_EXPORT int rg_GetObjectType(int obj);
RG_EXPORT int rg_GetObjectSubClass(int obj);
RG_EXPORT int rg_GetObjectClass(int obj);
RG_EXPORT int rg_NReals(int obj);
RG_EXPORT double rg_GetObjectReal(int obj, int i);         /* 0-based */
RG_EXPORT int rg_SetObjectReal(int obj, int i, double x);  /* nonzero = success */
RG_EXPORT void rg_InvalidateObjectAndDependencies(int obj);
RG_EXPORT const char* rg_GetObjectName(int obj);           /* "" for no entity */
RG_EXPORT const char* rg_GetObjectFullName(int obj);       /* "<kind> <name>" */
RG_EXPORT const char* rg_Ordinal(int k, char* buf);        /* "1st", ...; buf >= 16 */
RG_EXPORT int rg_GetObjectError(int obj);                  /* error state, 0 none */
RG_EXPORT int rg_GetObjectColorCode(int obj);
RG_EXPORT int rg_GetObjectOrient(int obj);
RG_EXPORT int rg_IsObjectVisible(int obj);
RG_EXPORT int rg_IsOnEnabledLayer(int obj);
RG_EXPORT int rg_QualifyForTriangles(int obj);
RG_EXPORT int rg_IsObjectUntrimmedSurface(int obj);
RG_EXPORT int rg_IsObjectTrimSurfType(int obj);
/* Top-level entries of an entity list into *out; nonzero = success; on a
 * failure *out holds the entries before the failing one. */
RG_EXPORT int rg_EvalObjectList(int list, rg_SDAH* out);
/* Replaces every entity list in *l by its members (recursively); gives the
 * new length. */
RG_EXPORT int rg_ExpandObjectLists(rg_SDAH* l, int flags);

/* ---- surfaces ------------------------------------------------------------ */
/* Arrays of entries of a fixed width: parameter lists (u, v) and
 * evaluation results (X, Xu, Xv: 9 values an entry).  Zeroed = empty. */
typedef struct rg_Array {
    double* v;
    int n;
    int width;
} rg_Array;
RG_EXPORT void rg_Redim(rg_Array* a, int n);  /* parameter list of n entries; 0 frees */
/* Fills a parameter list with n points (t, t), t evenly spaced over
 * [lo, hi] (the middle for one entry). */
RG_EXPORT void rg_FillParamList(rg_Array* a, double lo, double hi);
RG_EXPORT void rg_InitializeArray(rg_Array* a, int n); /* n result entries, zero */
/* Evaluates a surface at the parameters; nonzero = success. */
RG_EXPORT int rg_Surface(int surface, const rg_Array* params, rg_Array* result);
/* Resolves the surface's values and checks its geometry; nonzero = success. */
RG_EXPORT int rg_ForceValidTable(int surface);
/* xmin, ymin, zmin, xmax, ymax, zmax (a box holding the surface); nonzero =
 * success. */
RG_EXPORT int rg_GetObjectBBox(int surface, double box[6]);
RG_EXPORT double rg_GetBBoxSize(const double box[6]);
RG_EXPORT double rg_DistancePtToBBox(const double p[3], const double box[6], int flags);
RG_EXPORT void rg_CopyVector3(double to[3], const double from[3]);
/* Division counts of a surface's low-order panels: u, v and the model's
 * DivMult twice; nonzero = success. */
RG_EXPORT int rg_SurfDivn(int surface, int level, int counts[4]);

/* Triangulation of a trimmed surface: three point indices a triangle. */
typedef struct rg_Triangulation {
    int nidx;
    int* idx;
    int npts;
    double* xyz;
} rg_Triangulation;
RG_EXPORT void rg_InitTrimSurfTriangulation(rg_Triangulation* t);
RG_EXPORT int rg_GetObjectTrimSurfTriangulation(int surface, rg_Triangulation* t); /* nonzero = success */
RG_EXPORT void rg_FreeTrimSurfTriangulation1(rg_Triangulation* t);

/* Closest point of a surface to p: (u, v), the point and the squared
 * distance; the evaluation array may be null.  Nonzero = success. */
RG_EXPORT int rg_ClosestPtOnSurf(int surface, const rg_Array* array, const double p[3], double tol,
                                 double uv[2], double point[3], double* dist2);

/* ---- panes: the patches of a surface list ------------------------------- */
typedef struct rg_PaneMap {
    int npatch;
    int nsurf;
    double* patch_surface; /* per patch: its 1-based surface number */
    int* patch_pane;       /* per patch: pane column and row (2 values) */
    int* surface_first;    /* per surface: first patch */
    int* surface_last;     /* per surface: last patch */
    int* surface_panes;    /* per surface: pane columns and rows (2 values) */
} rg_PaneMap;
/* Fills the map for the surfaces of the list; gives the patch count, -1 when
 * a list entry is not an untrimmed surface. */
RG_EXPORT int rg_StorePaneMaps(const rg_SDAH* surfaces, rg_PaneMap* map);
RG_EXPORT void rg_DeallocatePaneMaps(rg_PaneMap* map);
/* Point and first derivatives of patch ip (1-based) at uv in [0, 1]^2;
 * nonzero = success. */
RG_EXPORT int rg_PanePointLevel1(const rg_SDAH* surfaces, const rg_PaneMap* map, int ip, const double uv[2],
                                 double X[3], double Xu[3], double Xv[3]);
/* The patch holding surface point uv of surface isurf (1-based), and the
 * point's parameters on the patch; 0 when isurf is outside the map. */
RG_EXPORT int rg_MapSurfaceToPane(const rg_PaneMap* map, int isurf, const double uv[2], double puv[2]);

/* ---- low-order export ------------------------------------------------------ */
typedef struct rg_GDFOptions {
    double ULEN;
    double GRAV;
} rg_GDFOptions;
RG_EXPORT void rg_GDFExportOptionDefaults(int model, rg_GDFOptions* options);
/* Writes the low-order panels of the distinct surfaces of the list to path
 * (kind 1 a body, 4 a control surface).  symmetry 0: the panels of the
 * surfaces, with the model's X and Y symmetry flags in the header; 1: each
 * surface followed by its symmetry images, no symmetry in the header.
 * A body's dipole surfaces (colour 11) follow the others' panels after a
 * line with their panel count.  Gives 1 when
 * the file cannot be opened, 2 when there is nothing to write, 0 success. */
RG_EXPORT int rg_WriteGDF(const rg_SDAH* surfaces, int symmetry, const rg_GDFOptions* options, const char* title,
                          const char* path, int* kind);

#ifdef __cplusplus
}
#endif

#endif
