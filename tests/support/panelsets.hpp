// Test fixture: low-order panel sets built from vertices (boxes, a quarter
// box, a faceted hemisphere) and the shared model of a run set up around
// them, without the geometry readers.  Every panel's normal points out of
// the fluid (into the body).
#pragma once

#include <array>
#include <string>
#include <vector>

namespace zorva::test {

using P3 = std::array<double, 3>;
using Panel4 = std::array<P3, 4>;  // a triangle repeats a vertex
using PanelSet = std::vector<Panel4>;

// Box of length L (x), beam B (y) and draft T, centred on the z axis, top
// open at z = 0, square panels of side h.  quarter: only x >= 0, y >= 0
// (no panels in the symmetry planes).
PanelSet box_panels(double L, double B, double T, double h, bool quarter = false);

// Hemisphere of radius R below z = 0, faceted into nphi panels around and
// ntheta panels from the pole to the waterline (triangles at the pole).
PanelSet hemisphere_panels(double R, int nphi, int ntheta);

// A low-order geometry file (ULEN 1) holding the panels.
std::string gdf_text(const PanelSet& panels, int isx = 0, int isy = 0);

// One body of a run.
struct Body {
    PanelSet panels;
    std::array<float, 4> xbody{0.0f, 0.0f, 0.0f, 0.0f};  // position and heading (degrees)
    int newmds = 0, igenmds = 0, irr = 0;
    std::string gdfname = "body.gdf";
};

// Resets the configuration, the model and the panel tables, then sets up a
// low-order run (ULEN = 1, all modes solved) holding the bodies' panels in
// XVER.  isx, isy: the run's symmetry indices.
void setup_run(const std::vector<Body>& bodies, int isx = 0, int isy = 0, int iquad = 0);

}  // namespace zorva::test
