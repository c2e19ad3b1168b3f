// Control surfaces: the point set of all bodies' control surfaces (read
// once per FORCE run) with the potential and velocity filled at its points
// each period, and the description of the surface being read.
#pragma once

#include <string>
#include <vector>

#include "common/farray.hpp"
#include "common/types.hpp"

namespace zorva::csf {

// Point set.  Lengths nondimensional; points and normals in the body frame
// (XCSFG global).  The points of body ib follow those of bodies 1..ib-1;
// within a body the free-surface block, the submerged block and the
// waterline block, kind k of body ib being the points offset+1..offset+count.
extern int NCSFPT;
extern Arr2<float> XCSF, VNCSF, XCSFG;   // (3, NCSFPT)
extern Arr1<float> WCSF;                 // (NCSFPT) area or length element
extern Arr1<int> ITANKCSF;               // (NCSFPT) tank of the point, 0 outside
extern Arr1<int> NCSFPTB, NCSFF, NCSFS, NCSFW, ICSFF, ICSFS, ICSFW;  // (NBODY)

// Values of a period: heading ih and image (or component) f in column
// ih + (f - 1) * NBETAF.
extern Arr2<cplx> PHICSF, PHICSFC;       // (NCSFPT, NBETAF * NSYMF | NSYMC)
extern Arr3<cplx> VELCSF, VELCSFC;       // (3, NCSFPT, NBETAF * NSYMF | NSYMC)

// Per body, as read from its file.
extern Arr2<int> ISCSF;                  // (2, NBODY) surface given as its half (quarter)
extern Arr1<int> ICDEF;                  // (NBODY) kind of the surface's patches
extern Arr1<float> PSZCSF;               // (NBODY) panel size, nondimensional

// The surface being read.
extern std::string FILECSF;              // its file
extern int ISXBODY, ISYBODY, ICSFAUTO;
extern float XGCSF[4], WGCSF[4];         // [1..3] Gauss rule on [-1, 1]
extern Arr3<float> XVCSF;                // (4, 3, NPATCSF) flat patches, dimensional
extern Arr1<int> NUC, NVC;               // (NPATCSF) sub-panels in u and v
// B-spline patches.
extern Arr1<int> NUCG, NVCG, KUCG, KVCG, NBUCG, NBVCG;
extern Arr2<float> UKNOTC, VKNOTC, UPARC, VPARC, XCOEFC;
extern int MKNOTC, NCOEFC, MAXKUC, MAXKVC;
extern Arr3<float> XVERC;                // (4, 3, n) low-order panels of the surface
// The plot file is open (from the first surface to the end of the run's reading).
extern bool PLTOPEN;

// Points of one kind of one surface, as collected (body frame).
struct Points {
    std::vector<float> x, vn, w;  // x, vn: three values per point
    int n() const { return static_cast<int>(w.size()); }
    void add(const float* X, const float* N, float W) {
        x.insert(x.end(), X, X + 3);
        vn.insert(vn.end(), N, N + 3);
        w.push_back(W);
    }
};

void reset();

}  // namespace zorva::csf
