// Before the POTEN stage solves: the panel or patch tables that its .p2f
// file will carry, held to the rules by which the FORCE stage reads them
// back, so that geometry the file cannot hold is refused where it was read,
// naming the geometry file, the body and the panel or patch.
#include <initializer_list>
#include <string>

#include "common/messages.hpp"
#include "geometry/model.hpp"
#include "geometry/modelmore.hpp"
#include "main/config.hpp"
#include "main/fnames.hpp"
#include "p2f/p2f.hpp"
#include "p2f/p2flayout.hpp"
#include "panels/geomdata.hpp"
#include "panels/paneldata.hpp"

namespace zorva {

namespace {

// The first value of a table's column that the reader refuses, or -1.
struct Col {
    const float* v;
    long n;
    const char* what;
};

const char* refused(std::initializer_list<Col> cols) {
    for (const Col& c : cols)
        for (long k = 0; k < c.n; ++k)
            if (!p2f::carried(c.v[k])) return c.what;
    return nullptr;
}

void refuse(int ib, const std::string& where, const std::string& why, int& IERR) {
    ERRMSG(" Error in GDF file " + fnames::GDFNAME(ib) + ", body " + std::to_string(ib) + ", " + where + ": " + why,
           0);
    IERR = 1;
}

void low_order(int& IERR) {
    using namespace pnl;
    const long nmodt = model::NMODT;
    const bool quad = cfg::IQUAD == 1;
    long g = 1;
    for (int ib = 1; ib <= cfg::NBODY; ++ib) {
        for (int i = 1; i <= model::NPANB(ib); ++i, ++g) {
            const std::string where = "panel " + std::to_string(i);
            const char* what = refused({{PNLARR6.ptr(1, g), 4, "vertices in the panel's plane"},
                                        {PNLARR5.ptr(1, g), 4, "vertices in the panel's plane"},
                                        {PCENT.ptr(1, g), 3, "centroid"},
                                        {PAXES.ptr(1, 1, g), 9, "axes"},
                                        {PPROP.ptr(1, g), 13, "area or area moments"},
                                        {PNLARR4.ptr(1, g), 4, "side lengths"},
                                        {PNLARR3.ptr(1, g), 2, "size"},
                                        {VNMODE.ptr(1, g), nmodt, "modal normals"}});
            if (!what && quad)
                what = refused({{XVERG.ptr(1, 1, g), 4, "quadrature points"},
                                {XVERG.ptr(1, 2, g), 4, "quadrature points"},
                                {XVERG.ptr(1, 3, g), 4, "quadrature points"},
                                {PNLARR2.ptr(1, g), 4, "quadrature weights"},
                                {PNLARR1.ptr(1, 1, g), 4, "moments of the quadrature points"},
                                {PNLARR1.ptr(1, 2, g), 4, "moments of the quadrature points"},
                                {PNLARR1.ptr(1, 3, g), 4, "moments of the quadrature points"}});
            if (what) return refuse(ib, where, std::string(what) + " beyond 1.E10 or not finite", IERR);
            if (cfg::NTANKS == 0 && !p2f::wetted(PCENT(3, g)))
                return refuse(ib, where, "centroid above the free surface or below the bottom", IERR);
        }
    }
}

void higher_order(int& IERR) {
    using namespace model;
    const long nmodt = NMODT;
    long q = 0;
    for (int p = 1; p <= NPATCHT; ++p) {
        const int ib = IBPTH(p);
        const std::string where = p > NPATCHBD ? "interior free surface of patch " + std::to_string(IPRL(p))
                                               : "patch " + std::to_string(IPRL(p));
        const bool height = p2f::heights_held(p);
        const long n = static_cast<long>(NU(p)) * NV(p) * IQUI(p) * IQVI(p);
        for (long k = 1; k <= n && q < NQP; ++k) {
            ++q;
            const char* what = refused({{XQP.ptr(1, q), 3, "quadrature point"},
                                        {ENQP.ptr(1, q), 3, "normal"},
                                        {WQP.ptr(q), 1, "surface Jacobian"},
                                        {VNQP.ptr(1, q), nmodt, "modal normals"}});
            if (what) return refuse(ib, where, std::string(what) + " beyond 1.E10 or not finite", IERR);
            if (height && !p2f::wetted(XQP(3, q) + cfg::XBODY(3, ib)))
                return refuse(ib, where, "point above the free surface or below the bottom", IERR);
        }
    }
}

}  // namespace

void CHKCARRY(int& IERR) {
    IERR = 0;
    if (cfg::ILOWHI == 0)
        low_order(IERR);
    else
        higher_order(IERR);
}

}  // namespace zorva
