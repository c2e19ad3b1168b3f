// The name of a patch for messages; see patchwhere.hpp.
#include "geometry/patchwhere.hpp"

#include "geometry/model.hpp"
#include "geometry/modelmore.hpp"
#include "main/config.hpp"
#include "main/fnames.hpp"

namespace zorva {

std::string PATCHWHERE(int IB, int IP) {
    using namespace model;
    if (IB < 1 || IB > cfg::NBODY) return "body " + std::to_string(IB) + ", patch " + std::to_string(IP);
    std::string s = "body " + std::to_string(IB);
    if (fnames::GDFNAME.allocated() && IB <= fnames::GDFNAME.extent(1) && !fnames::GDFNAME(IB).empty())
        s += " (" + fnames::GDFNAME(IB) + ")";
    if (!IPRL.allocated() || IP < 1 || IP > IPRL.extent(1)) return s + ", patch " + std::to_string(IP);
    const int p = IPRL(IP);
    const bool fs = IFSPAT.allocated() && IP <= IFSPAT.extent(1) && IP > NPATCHBD && IFSPAT(IP) == -1;
    s += fs ? ", interior free surface beside patch " : ", patch ";
    s += std::to_string(p);
    // A geometry-model body's patches are numbered in the order in which
    // SURFLINK gives them for the model its geometry file names.
    if (IGDEF.allocated() && IB <= IGDEF.extent(1) && IGDEF(IB) == 2) s += " of its geometry model";
    return s;
}

}  // namespace zorva
