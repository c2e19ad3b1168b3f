// Patch points for the higher-order Rankine integrals.
#include "geometry/hogeom.hpp"
#include "geometry/model.hpp"
#include "kernels/horank.hpp"

namespace zorva {

int HOEVAL(float U, float V, int IB, int IP, int MODE, HoPt& P, float* VN) {
    int ierr = 0;
    BODYGEOM(U, V, IB, IP, P.X, P.N, P.XU, P.XV, P.J, MODE, model::NWALL, ierr);
    if (ierr != 0) return ierr;
    P.ORIENT = model::ORIENT;
    if (MODE == 2 && VN)
        for (int m = 1; m <= model::NMODT; ++m) VN[m - 1] = model::VNPT(m);
    return 0;
}

}  // namespace zorva
