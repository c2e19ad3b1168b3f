// The shared model of a run: what the potential control file, the global
// geometry file and the geometry files give, and what the model input
// builds from them (periods, headings, modes, panels).  Lengths are held
// nondimensional (divided by ULEN(1)); angles of the input are degrees.
// The configuration's per-body arrays (XBODY, IRR, XTRIM, NEWMDS, ...) and
// NBODY live in the configuration block (main/config.hpp); the geometry
// file names in main/fnames.hpp.
#pragma once

#include <string>

#include "common/farray.hpp"

namespace zorva::model {

// Potential control file.
extern std::string POTTITLE;      // 72 characters at most
extern float HBOT;                // water depth; 0 or less (after conversion -1): infinite
extern int IRAD, IDIFF;           // radiation and diffraction switches (-1, 0, 1)
extern int NPER;                  // number of periods (reduced after a break)
extern Arr1<float> PER;           // periods (0 zero period, -1 infinite period)
extern Arr1<float> WNUMNU;        // infinite-depth wavenumber omega^2/g (nondimensional)
extern Arr1<float> WNUMK;         // finite-depth wavenumber (set by the Green-function set-up)
extern Arr1<int> IPERFL;          // 0 ordinary, 1 infinite period, 2 zero period
extern int IPERSPC;               // 1 when some period is zero
extern int NBETA;                 // number of headings
extern Arr1<float> BETA, SINBETA, COSBETA;  // headings (degrees) and their sine/cosine
extern Arr1<int> IMODERB;         // rigid-mode indices as read, six per body

// Modes.
extern int NMODT;                 // modes of all bodies
extern Arr1<int> IMODE;           // per mode: 0 not solved, else its symmetry class
extern Arr1<int> IBMOD;           // per body: offset in the mode list

// Solver layout.
extern int NITMAX, NBLKSZ, NBLKLAST;

// Global geometry file.
extern std::string GGDFTITLE;     // its title (72 characters at most)
extern std::string FILEGGDF;      // its name

// Per body.
extern Arr1<std::string> GDFTITLE;
extern Arr1<float> ULEN;          // length scale of each body's geometry file
extern float ULENI;               // 1/ULEN(1)
extern float GRAV;                // gravity
extern Arr1<int> NPANB, NPAND, NWLPANB;  // panels, dipole panels, waterline segments
extern Arr1<int> IGDEF;           // geometry kind: 0 panels, 1 B-splines, 2 geometry model, else user routine
extern Arr2<int> IS;              // (1:2, ib): the geometry file's ISX, ISY
extern Arr2<float> CSPHIB;        // (1:2, ib): cosine and sine of the heading
extern Arr1<int> NPATCH;          // patches of each body's file (higher order, geometry model)
extern Arr2<float> TRIMCS;        // (1:4, ib): cos, sin of the trim pitch, cos, sin of the trim roll
extern Arr2<int> IREFLB;          // (1:2, ib): 1 when the trim breaks the symmetry about x = 0 (y = 0)
extern int ISX, ISY;              // run symmetry: 1 plane, 0 none, -1 wall
extern int NWALL;                 // number of walls (IWALLX0 + IWALLY0)
extern int NRGKBODY;              // bodies evaluated by the geometry kernel
extern int NRGKLINES;             // lines of rgkinit.txt

// Panels of the low-order method (all bodies, contiguous per body).
extern int NEQN;                  // unknowns (panels)
extern Arr3<float> XVER;          // (vertex 1:4, coordinate 1:3, panel)
extern Arr1<int> ITANK;           // tank number, 0 hull
extern Arr1<int> IDIPWM;          // dipole / wavemaker class
extern int NWLSEG;                // waterline segments
extern Arr1<int> IWLPAN, IWLSIDE; // body-local panel and side of each segment
extern int IDIPSYM;               // 1: the dipole / wavemaker classes IDIPWM are kept for the run (a
                                  // panel in a symmetry plane is then not integrated again as its own image)

// Waterline segments bounding the interior free surface of IRR = 3 bodies.
extern Arr1<int> XWTLD, YWTLD;    // global panel number and side (1..4) of each kept segment
extern Arr1<int> ZWTLD;           // per body: segments kept
extern int NWTLD;                 // segments kept in all

void reset();

}  // namespace zorva::model
