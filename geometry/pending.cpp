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

void TRIMWLB(int& IERR) {
    unavailable("Waterline trimming of higher-order bodies (ITRIMWL>0, TRIMWLB) is");
    IERR = 1;
}

void GROWSPL(int, int, int, int& IERR) {
    unavailable("Spline counts of waterline-trimmed patches (GROWSPL) are");
    IERR = 1;
}

void PATCHWL(float&, float&, int, int, float*, float*, float*, int, int, int& IERR) {
    unavailable("Evaluation of waterline-trimmed patches (PATCHWL) is");
    IERR = 1;
}

}  // namespace zorva
