#include "force/hopoints.hpp"

#include "force/forceres.hpp"
#include "geometry/modelin.hpp"
#include "main/config.hpp"

namespace zorva::fho {

void setup_point(Point& q) {
    using namespace model;
    const int p = q.p, ib = IBPTH(p);
    q.ib = ib;
    q.cls = cfg::IDIPOLE != 0 && IDIPWM.allocated() && p <= IDIPWM.extent(1) ? IDIPWM(p) : 0;
    const int ku = KU(p), kv = KV(p);
    const float hu = 0.5f * (HOTAB1(ku + q.a, p) - HOTAB1(ku + q.a - 1, p));
    const float hv = 0.5f * (HOTAB2(kv + q.b, p) - HOTAB2(kv + q.b - 1, p));
    q.w = hu * hv * HOTAB6(q.qv, p) * HOTAB4(q.qu, p) * WQP(q.pt);
    const float xb[3] = {XQP(1, q.pt), XQP(2, q.pt), XQP(3, q.pt)};
    BODY2GLB(xb, q.x, ib);
    const float c = CSPHIB(1, ib), s = CSPHIB(2, ib);
    const float nx = ENQP(1, q.pt), ny = ENQP(2, q.pt);
    q.n[0] = nx * c - ny * s;
    q.n[1] = nx * s + ny * c;
    q.n[2] = ENQP(3, q.pt);
}

cplx potential(const Point& q, const cplx* col) {
    using namespace model;
    const int p = q.p, nbu = NBU(p);
    cplx phi{};
    for (int kv = 1; kv <= KV(p); ++kv) {
        const float bv = frc::BASQV(kv + (q.qv - 1) * MAXKV, q.b, p);
        const int iv = q.b + kv - 1;
        for (int ku = 1; ku <= KU(p); ++ku) {
            const int iu = q.a + ku - 1;
            phi += frc::BASQU(ku + (q.qu - 1) * MAXKU, q.a, p) * bv * col[q.coff + iu - 1 + (iv - 1) * nbu];
        }
    }
    return phi;
}

}  // namespace zorva::fho
