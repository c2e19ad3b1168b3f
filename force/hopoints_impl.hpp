// Template part of hopoints.hpp.
#pragma once

#include "geometry/model.hpp"
#include "geometry/modelmore.hpp"

namespace zorva::fho {

template <typename F>
void for_each(bool skip_tanks, F&& f) {
    using namespace model;
    int pt = 0, coff = 0;
    for (int p = 1; p <= NPATCHT; ++p) {
        const int npts = NU(p) * NV(p) * IQUI(p) * IQVI(p);
        const int ncof = NBU(p) * NBV(p);
        const int tank = ITANK.allocated() && p <= ITANK.extent(1) ? ITANK(p) : 0;
        if (IFSPAT(p) == -1 || (skip_tanks && tank > 0)) {
            pt += npts;
            coff += ncof;
            continue;
        }
        Point q{};
        q.p = p;
        q.coff = coff;
        q.tank = tank;
        for (q.b = 1; q.b <= NV(p); ++q.b)
            for (q.a = 1; q.a <= NU(p); ++q.a)
                for (q.qv = 1; q.qv <= IQVI(p); ++q.qv)
                    for (q.qu = 1; q.qu <= IQUI(p); ++q.qu) {
                        q.pt = ++pt;
                        setup_point(q);
                        f(static_cast<const Point&>(q));
                    }
        coff += ncof;
    }
}

}  // namespace zorva::fho
