// Stand-ins for routines of parts of the program not in this build; see
// pending.hpp.  Each is replaced when its part is built.
#include "geometry/pending.hpp"

#include "common/messages.hpp"
#include "geometry/hogeom.hpp"
#include "geometry/model.hpp"

namespace zorva {

int IPENDERR = 0;

namespace {
void unavailable(const char* what) {
    ERRMSG(std::string(what) + " not available in this build", 0);
}
}  // namespace

void RGKINIT(int& IERR) {
    unavailable("The geometry kernel (SURFLINK, RGKINIT) is");
    IERR = 1;
}

void RGKLOWGDF(int, int& IERR) {
    unavailable("The geometry kernel (SURFLINK, RGKLOWGDF) is");
    IERR = 1;
}

void RGKNTANK(int, int& N) {
    unavailable("The geometry kernel (SURFLINK, RGKNTANK) is");
    N = -1;
}

void RGKNPATCH(int, int& N) {
    unavailable("The geometry kernel (SURFLINK, RGKNPATCH) is");
    N = -1;
}

void RGKPANTYPE(int, int, int& ITYPE, int& ITANK, int& IERR) {
    unavailable("The geometry kernel (SURFLINK, RGKPANTYPE) is");
    ITYPE = ITANK = 0;
    IERR = 1;
}

void RGKPATTYPE(int, int, int& ITYPE, int& ITANK, int& IERR) {
    unavailable("The geometry kernel (SURFLINK, RGKPATTYPE) is");
    ITYPE = ITANK = 0;
    IERR = 1;
}

void RGKEVAL(float, float, int, int, float*, float*, float*, int& IERR) {
    unavailable("The geometry kernel (SURFLINK, RGKEVAL) is");
    IERR = 1;
}

}  // namespace zorva
