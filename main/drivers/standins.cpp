// Stand-ins for routines not in this build; see standins.hpp.  Each writes
// its message; those with a status return 1, so that the run stops rather
// than report results that were never computed.
#include "main/drivers/standins.hpp"

#include <string>

#include "common/messages.hpp"

namespace zorva {

namespace {
int unavailable(const char* what) {
    ERRMSG(std::string(" ") + what + " not available in this build", 0);
    return 1;
}
}  // namespace


void RGKDONE() { unavailable("The geometry kernel (RGKDONE) is"); }

}  // namespace zorva
