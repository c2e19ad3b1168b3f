// A box 2 x 1 x 0.8 of six flat patches, its sides from z = -0.5 up to
// z = 0.3 and a deck there: the geometry file of the trimming tests (a body
// with freeboard, which a trim may pitch or lift without opening it).
#pragma once

namespace zorva::test {

inline constexpr const char* DECKED_BOX =
    "Decked box\n1. 9.80665\n0 0\n6 0\n"
    "-1 -0.5 -0.5  -1 0.5 -0.5  1 0.5 -0.5  1 -0.5 -0.5\n"
    "-1 0.5 0.3  1 0.5 0.3  1 0.5 -0.5  -1 0.5 -0.5\n"
    "1 -0.5 0.3  -1 -0.5 0.3  -1 -0.5 -0.5  1 -0.5 -0.5\n"
    "1 0.5 0.3  1 -0.5 0.3  1 -0.5 -0.5  1 0.5 -0.5\n"
    "-1 -0.5 0.3  -1 0.5 0.3  -1 0.5 -0.5  -1 -0.5 -0.5\n"
    "1 -0.5 0.3  1 0.5 0.3  -1 0.5 0.3  -1 -0.5 0.3\n";

}  // namespace zorva::test
