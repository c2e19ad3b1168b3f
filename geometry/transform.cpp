// Point transforms between a body's own frame and the global frame: body IB
// sits at XBODY(1:3, IB) with the heading whose cosine and sine are
// CSPHIB(1:2, IB).  Products are formed in double precision.
#include "geometry/model.hpp"
#include "geometry/modelin.hpp"
#include "main/config.hpp"

namespace zorva {

void BODY2GLB(const float* XIN, float* XOUT, int IB) {
    const double c = model::CSPHIB(1, IB), s = model::CSPHIB(2, IB);
    const double x = XIN[0], y = XIN[1], z = XIN[2];
    XOUT[0] = static_cast<float>(c * x - s * y + static_cast<double>(cfg::XBODY(1, IB)));
    XOUT[1] = static_cast<float>(s * x + c * y + static_cast<double>(cfg::XBODY(2, IB)));
    XOUT[2] = static_cast<float>(z + static_cast<double>(cfg::XBODY(3, IB)));
}

void GLB2BODY(const float* XIN, float* XOUT, int IB) {
    const double c = model::CSPHIB(1, IB), s = model::CSPHIB(2, IB);
    const double d1 = static_cast<double>(XIN[0]) - static_cast<double>(cfg::XBODY(1, IB));
    const double d2 = static_cast<double>(XIN[1]) - static_cast<double>(cfg::XBODY(2, IB));
    const double d3 = static_cast<double>(XIN[2]) - static_cast<double>(cfg::XBODY(3, IB));
    XOUT[0] = static_cast<float>(c * d1 + s * d2);
    XOUT[1] = static_cast<float>(c * d2 - s * d1);
    XOUT[2] = static_cast<float>(d3);
}

}  // namespace zorva
