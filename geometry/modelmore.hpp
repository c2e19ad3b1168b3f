// Model tables that the model input and the geometry step leave for the
// rest of the run and that the .p2f file carries to the FORCE stage, beside
// those of geometry/model.hpp: the data-line counts of the user geometry
// routine, and the patch, B-spline, trimming and quadrature tables of the
// higher-order method.  Lengths are nondimensional.
#pragma once

#include "common/farray.hpp"

namespace zorva::model {

// Per body.
extern Arr1<int> NGXLINE;         // data lines of the user geometry routine per body (0 for other kinds)

// Higher-order counts and maxima.
extern int NPATCHT;               // all patches (body patches, then interior free-surface patches)
extern int NPATCHBD;              // body patches
extern int NCOEFT;                // geometry B-spline control points
extern int MAXKNOT, MAXKUG, MAXKVG;   // longest geometry knot vector, largest geometry orders
extern int MAXKNU, MAXKNV;        // longest potential knot vectors
extern int MAXKU, MAXKV;          // largest potential orders
extern int MAXQU, MAXQV;          // largest inner quadrature orders
extern int MAXNU, MAXNV;          // largest interval counts
extern int NPANT;                 // panels held in XVER (third extent)

// Per patch (NPATCHT).
extern Arr1<int> KU, KV, NU, NV, NBU, NBV, IQUI, IQVI;
extern Arr1<int> IBPTH, ITRIM, IWTL, IFSPAT, IPRL, IPREF;
// Per body (higher order).
extern Arr1<int> IPSTART, IPATOFF, NPATCHB;

// Waterline trimming of body patches.
extern Arr1<int> ITRMIDX;                          // (NPATCHT)
extern Arr2<float> TRMRNG1, TRMRNG2;               // (4, NPATCHT)
extern Arr2<float> TRMMAP1, TRMMAP2, TRMMAP3, TRMMAP4;  // (2, NPATCHT)

// Geometry B-splines of the bodies of kind 1 (patches numbered from 1 over
// those bodies).
extern Arr1<int> KUG, KVG, IUGOFF, IVGOFF, NUG, NVG;
extern Arr2<float> UKNOTG, VKNOTG;                 // (MAXKNOT, NPATCHT)
extern Arr2<float> GEOPAR1, GEOPAR2;               // (2, NPATCHT)
extern Arr2<float> XCOEFG;                         // (3, NCOEFT)

// Quadrature of the higher-order hydrostatics step.
extern int NQP;
extern Arr2<float> XQP, ENQP;                      // (3, NQP) points and unit normals, body frame
extern Arr1<float> WQP;                            // (NQP) weight times Jacobian
extern Arr2<float> VNQP;                           // (NMODT, NQP) modal normals
extern Arr2<float> HOTAB1, HOTAB2;                 // (MAXKNU | MAXKNV, NPATCHT) potential knot vectors
extern Arr2<float> HOTAB3, HOTAB4, HOTAB5, HOTAB6; // (MAXQU | MAXQV, NPATCHT) inner Gauss nodes, weights
extern Arr3<float> HOTAB7, HOTAB8;                 // (MAXKU^2, MAXNU, NPATCHT), (MAXKV^2, MAXNV, NPATCHT)

void reset_more();

}  // namespace zorva::model
