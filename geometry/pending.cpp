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

}  // namespace zorva
