// Quadrature points of the higher-order patches for the surface integrals
// of the FORCE stage: per patch, knot interval in v, knot interval in u,
// Gauss point in v, Gauss point in u, numbered through the point tables
// (XQP, ENQP, WQP, VNQP) in that order; the potential at a point from the
// patch's B-spline coefficients and the basis tables.
#pragma once

#include <functional>

#include "common/types.hpp"

namespace zorva::fho {

struct Point {
    int p, ib, pt;      // patch, its body, point number
    int a, b, qu, qv;   // knot intervals and Gauss points
    int coff;           // coefficients of the patches before p
    int cls, tank;      // dipole / wavemaker class (0 without dipoles), tank number
    float x[3], n[3];   // point and unit normal, global frame
    float w;            // interval half-lengths x Gauss weights x surface factor
};

// Calls f(point) for every quadrature point of the patches not marked -1
// in IFSPAT (and, with skip_tanks, not in a tank); skipped patches still
// advance the point and coefficient numbering.
template <typename F>
void for_each(bool skip_tanks, F&& f);

// Potential at the point from the coefficient column col (col[0] is the
// first coefficient of the first patch).
cplx potential(const Point& q, const cplx* col);

// Tables of the patch needed by for_each.
void setup_point(Point& q);

// Green's representation at a point x (nondimensional, global frame) in
// the fluid of tank ti, from the patches' B-spline potentials (values
// times 4 pi): for each symmetry component k, the radiation of solution
// column q (kind 1; source integral of the mode normal less the dipole
// integral of the potential, without F or motion) and the diffraction of
// heading q (kind 0), with the parity signs of the images applied, handed
// to SINK(k, kind, q, value, gradient[3]).  GRAD 0 leaves the gradients
// zero; FIELD selects the dipole rules of the field points (else those of
// the control surfaces).  IERR 1 when a Green-function integral failed.
using SpanSink = std::function<void(int, int, int, cplx, const cplx*)>;
void span_sums(const float* x, int ti, float F, int IPERFL, bool grad, bool field, const SpanSink& sink, int& IERR);

}  // namespace zorva::fho

#include "force/hopoints_impl.hpp"
