// Symmetry components of the run: the geometric images of the input half
// or quarter, the independent components of the solution, and the order in
// which the solved modes are held (set by ALLOCPOTW once per POTEN stage;
// the FORCE stage reads the same values from the .p2f file).
#pragma once

#include <array>

#include "common/farray.hpp"

namespace zorva::sym {

// One case of the symmetry table, selected by (ISX, ISY), each -1 wall,
// 0 none, 1 plane.
struct SymCase {
    int nimage;                 // A: images of the geometry
    std::array<int, 4> imageid; //    1 itself, 2 mirror in x, 3 both, 4 mirror in y
    int nsymf;                  // B: components
    std::array<int, 4> isymf;
    std::array<int, 4> nrig;    // C: rigid modes per component
    std::array<int, 6> mrig;    // D: the rigid modes, component after component
    int nsymd;                  // E: ids per component
    std::array<int, 4> isymd;
};
// The case of (ISX, ISY).
const SymCase& symcase(int ISX, int ISY);

extern int NIMAGE;                 // images of the geometry
extern std::array<int, 5> IMAGEID; // [1..4], 0 beyond NIMAGE
extern int NSYMF;                  // components of the geometry
extern std::array<int, 5> ISYMF;   // [1..4]
extern int NSYMD;                  // incident-wave parts per component
extern int NSYMC;                  // components kept
extern std::array<int, 5> ISYMC;   // [1..4] id of each kept component
extern std::array<int, 5> NMODSC;  // [1..4] solved modes of each kept component
extern std::array<int, 5> NSYMRHS; // [1..4] wave-part ids of the kept components, in order
extern Arr2<int> IMODSC;           // (NMODT, 4) modes of each kept component
extern Arr1<int> IMODORD;          // mode at each solution position
extern Arr1<int> IMODPOS;          // solution position of each mode, 0 not solved
extern int NSOLC;                  // solution positions

// Reflection signs of image id g (1..4): -1 where the image is mirrored in
// x = 0 (ISGNX) or in y = 0 (ISGNY).
int ISGNX(int g);
int ISGNY(int g);
// Weight (+1 or -1) of image id g in the component of id c (1..4): the
// component's parity under the image's reflections.
int ISIGMA(int c, int g);

void reset();

}  // namespace zorva::sym
