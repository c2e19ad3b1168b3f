// Integration points of a low-order panel for the far-field and Haskind
// sums, and the symmetry parts of each solved component.
#pragma once

#include "common/types.hpp"

namespace zorva::fpan {

struct Point {
    float x[3];
    float w;
    int q;  // point of the panel's four-point rule (0: the centroid)
};

// Class of panel i: its dipole / wavemaker class when dipoles are kept, else 0.
int panel_class(int i);
// Tank number of panel i (0 for the hull).
int panel_tank(int i);
// Points and weights of panel i (centroid and area, or the four-point
// rule when IQUAD = 1), weights times NSYMF and halved for a dipole panel
// in a symmetry plane.  Returns the number of points.
int panel_points(int i, Point pts[4]);
// frc::VNWORK for point p of panel i: the modal normals of the panel, the
// rotational entries replaced by the point's moment normals with IQUAD = 1.
void set_vnwork(int i, const Point& p);
// Sum of the parts 1..4 of V listed for symmetry component kc.
cplx sum_parts(const cplx* V, int kc);

}  // namespace zorva::fpan
