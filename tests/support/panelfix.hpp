// Test fixture: fills the panel geometry tables (PCENT, PAXES, PNLARR3..6,
// PPROP, IPFLAG, VNMODE) from panel vertices, computed in double precision
// with the axis and moment conventions of the tables.
#pragma once

#include <array>
#include <vector>

namespace zorva::test {

using Vertex = std::array<double, 3>;
using Quad = std::array<Vertex, 4>;  // a triangle repeats a vertex

// Local frame of one panel, in double: centroid, axes (axis k, component c),
// vertex coordinates about the centroid.
struct PanelFrame {
    Vertex c;
    double ax[3][3];
    double xi[4], eta[4];
    double area;
};
PanelFrame panel_frame(const Quad& q);

// Allocate the tables for the panels and fill them (IPFLAG 0, VNMODE with
// NMODT = 6: normal and r x n about the origin).
void build_panels(const std::vector<Quad>& panels);

}  // namespace zorva::test
