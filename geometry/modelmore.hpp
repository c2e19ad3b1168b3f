// Model tables that the model input and the geometry step leave for the
// rest of the run and that the .p2f file carries to the FORCE stage, beside
// those of geometry/model.hpp: the data-line counts of the user geometry
// routine, and the patch, B-spline, trimming and quadrature tables of the
// higher-order method.  Lengths are nondimensional.
#pragma once

#include <string>

#include "common/farray.hpp"

namespace zorva::model {

// Per body.
extern Arr1<int> NGXLINE;         // data lines of the user geometry routine per body (0 for other kinds)
                                  // (NLINESB of the higher-order reader)

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
extern int NPATCHR;               // body patches after reflection (before trimming)
extern int NPATCHW;               // body patches after trimming
extern int NPATCHLIM;             // highest body patch: above it, interior free-surface patches (NPLIM)
extern int MXIQUO, MXIQVO;        // largest outer (influence-set) quadrature orders
extern int MXNBUKV;               // largest NBU x KV

// Per patch (NPATCHT).  ITANK and IDIPWM of geometry/model.hpp serve the
// patches in a higher-order run.
extern Arr1<int> KU, KV, NU, NV, NBU, NBV, IQUI, IQVI;
extern Arr1<int> IQUO, IQVO;      // outer (influence-set) quadrature orders
extern Arr1<int> IBPTH, ITRIM, IWTL, IFSPAT, IPRL, IPREF;
extern Arr1<int> IPIR;            // running number of the source patch over all geometry files (reader only)
extern Arr1<float> ZBDYFS;        // free-surface level of each patch, body frame
extern Arr1<float> ARCLEN, WTLARR5;  // greatest u- and v-direction side lengths (PANEL_SIZE > 0; reader only)
// Per body (higher order).  IPATOFF: flat patches (IGDEF 0) or geometry
// B-spline patches (IGDEF 1) of the earlier bodies of the same kind, the
// offset of the body's patches in XVER or in the geometry B-spline tables.
extern Arr1<int> IPSTART, IPATOFF, NPATCHB;

// Spline control files.
extern Arr1<std::string> SPLNAME, SPLHDR;  // per body: file name, header line
extern Arr1<int> ISPLB;           // per body: 1 when its .spl file is read
extern Arr2<float> BINOM;         // binomial coefficients C(n-1, k-1) (IDIPOLE /= 0)

// Waterline trimming of body patches: ITRMIDX the waterline edge code of a
// sub-patch (IWLEDG), TRMRNG1, TRMRNG2 its corner parameters u and v,
// TRMMAP1..4 the bilinear parameter map TRMA0, TRMAU, TRMAV, TRMAUV;
// IPGDF the source patch of each sub-patch (kept to the end of the run).
extern Arr1<int> ITRMIDX;                          // (NPATCHT)
extern Arr2<float> TRMRNG1, TRMRNG2;               // (4, NPATCHT)
extern Arr2<float> TRMMAP1, TRMMAP2, TRMMAP3, TRMMAP4;  // (2, NPATCHT)
extern Arr1<int> IPGDF;                            // (NPATCHW)
extern Arr1<int> ITRIMSV;                          // (NPATCHW) 1, or 2^n for a quarter of n subdivisions

// Geometry B-splines of the bodies of kind 1 (patches of their geometry
// files numbered from 1 over those bodies: NG of them).
extern Arr1<int> KUG, KVG, IUGOFF, IVGOFF, NUG, NVG;  // (NG)
extern Arr2<float> UKNOTG, VKNOTG;                 // (MAXKNOT, NG)
extern Arr2<float> GEOPAR1, GEOPAR2;               // (2, NG)
extern Arr2<float> XCOEFG;                         // (3, NCOEFT)
extern Arr2<float> BASUG, BASVG;                   // (MAXKUG, MAXKUG), (MAXKVG, MAXKVG) basis work tables

// Quadrature of the higher-order hydrostatics step.  Points are numbered
// patch by patch, then v-interval, u-interval, v-node, u-node.
// Force set (inner quadrature orders IQUI, IQVI):
extern int NQP;
extern Arr2<float> XQP, ENQP;                      // (3, NQP) points (global frame with walls) and unit normals
extern Arr1<float> WQP;                            // (NQP) surface Jacobian (no Gauss weight)
extern Arr2<float> VNQP;                           // (NMODT, NQP) modal normals
extern Arr2<float> HOTAB1, HOTAB2;                 // (MAXKNU | MAXKNV, NPATCHT) potential knot vectors UKNOTP, VKNOTP
extern Arr2<float> HOTAB3, HOTAB4, HOTAB5, HOTAB6; // (MAXQU | MAXQV, NPATCHT) inner Gauss nodes, weights on [-1, 1]
                                                   // XGUI, WGUI, XGVI, WGVI
extern Arr3<float> HOTAB7, HOTAB8;                 // (MAXKU^2, MAXNU, NPATCHT), (MAXKV^2, MAXNV, NPATCHT) BASUT, BASVT:
                                                   // per interval the K x K table of BASEF at its centre (leading
                                                   // dimension K = KU(p) or KV(p)), derivatives up to K-1 divided
                                                   // by their factorials: Taylor coefficients of the K non-zero
                                                   // basis functions about the centre
// Influence set (outer quadrature orders IQUO, IQVO):
extern int NQO;
extern Arr2<float> XQO, ENQO;                      // (3, NQO) points (global frame with walls) and unit normals
extern Arr2<float> VNQO;                           // (NMODT, NQO) modal normals
extern Arr2<float> XGUO, WGUO, XGVO, WGVO;         // (MXIQUO | MXIQVO, NPATCHT) outer Gauss nodes, weights on [-1, 1]
extern Arr3<float> BASUQ, BASVQ;                   // (MAXKU * MXIQUO, MAXNU, NPATCHT): BASUQ(k + (q-1) MAXKU, i, p) value of
                                                   // the k-th non-zero basis function of u-interval i at node q; BASVQ in v

void reset_more();

}  // namespace zorva::model
