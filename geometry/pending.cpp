// Stand-ins for routines of parts of the program not in this build; see
// pending.hpp.  Each is replaced when its part is built.
#include "geometry/pending.hpp"

#include "common/messages.hpp"
#include "geometry/model.hpp"

namespace zorva {

int IPENDERR = 0;

namespace {
void unavailable(const char* what) {
    ERRMSG(std::string(what) + " not available in this build", 0);
}
}  // namespace

void GROWMDRB(int N, int& IERR) {
    IERR = 0;
    if (!model::IMODERB.resize_keep(N)) {
        ERRMSG("Insufficient memory to allocate IMODERB array", 0);
        IERR = 1;
    }
}

void PLTDATH(int& IERR) {
    ERRMSG("WARNING: low-order geometry and plot files (ILOWGDF, IPLTDAT) are not written:", 0);
    unavailable("PLTDATH is");
    IERR = 0;
}

void RDGDFH(int, int& IERR) {
    unavailable("The higher-order method (ILOWHI=1, RDGDFH) is");
    IERR = 1;
}

void RDSPL(const ExtTable&, int, int, int&, int& IERR) {
    unavailable("The spline control file reader (RDSPL) is");
    IERR = 1;
}

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

void RGKPANTYPE(int, int, int& ITYPE, int& ITANK, int& IERR) {
    unavailable("The geometry kernel (SURFLINK, RGKPANTYPE) is");
    ITYPE = ITANK = 0;
    IERR = 1;
}

}  // namespace zorva
