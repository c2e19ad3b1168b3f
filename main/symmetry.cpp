#include "main/symmetry.hpp"

#include <algorithm>

namespace zorva::sym {

namespace {
// Rows in the order (ISX, ISY) = (-1,-1), (-1,0), (-1,1), (0,-1), ..., (1,1).
const SymCase TABLE[9] = {
    {4, {1, 2, 3, 4}, 1, {1, 0, 0, 0}, {6, 0, 0, 0}, {1, 2, 3, 4, 5, 6}, 1, {1, 0, 0, 0}},
    {2, {1, 2, 0, 0}, 1, {1, 0, 0, 0}, {6, 0, 0, 0}, {1, 2, 3, 4, 5, 6}, 2, {1, 4, 0, 0}},
    {4, {1, 2, 3, 4}, 2, {1, 4, 0, 0}, {3, 3, 0, 0}, {1, 3, 5, 2, 4, 6}, 1, {1, 4, 0, 0}},
    {2, {1, 4, 0, 0}, 1, {1, 0, 0, 0}, {6, 0, 0, 0}, {1, 2, 3, 4, 5, 6}, 2, {1, 2, 0, 0}},
    {1, {1, 0, 0, 0}, 1, {1, 0, 0, 0}, {6, 0, 0, 0}, {1, 2, 3, 4, 5, 6}, 4, {1, 2, 3, 4}},
    {2, {1, 4, 0, 0}, 2, {1, 4, 0, 0}, {3, 3, 0, 0}, {1, 3, 5, 2, 4, 6}, 2, {1, 2, 3, 4}},
    {4, {1, 2, 3, 4}, 2, {1, 2, 0, 0}, {3, 3, 0, 0}, {2, 3, 4, 1, 5, 6}, 1, {1, 2, 0, 0}},
    {2, {1, 2, 0, 0}, 2, {1, 2, 0, 0}, {3, 3, 0, 0}, {2, 3, 4, 1, 5, 6}, 2, {1, 4, 2, 3}},
    {4, {1, 2, 3, 4}, 4, {1, 2, 3, 4}, {1, 2, 1, 2}, {3, 1, 5, 6, 2, 4}, 1, {1, 2, 3, 4}},
};
}  // namespace

const SymCase& symcase(int ISX, int ISY) {
    // The geometry readers admit only -1, 0 and 1.
    int ix = std::clamp(ISX, -1, 1) + 1, iy = std::clamp(ISY, -1, 1) + 1;
    return TABLE[3 * ix + iy];
}

int ISGNX(int g) { return (g == 2 || g == 3) ? -1 : 1; }
int ISGNY(int g) { return (g == 3 || g == 4) ? -1 : 1; }
int ISIGMA(int c, int g) {
    // Component 1 even in x and y, 2 odd in x, 3 odd in both, 4 odd in y.
    static const int s[4][4] = {{1, 1, 1, 1}, {1, -1, -1, 1}, {1, -1, 1, -1}, {1, 1, -1, -1}};
    return s[c - 1][g - 1];
}

int NIMAGE, NSYMF, NSYMD, NSYMC, NSOLC;
std::array<int, 5> IMAGEID, ISYMF, ISYMC, NMODSC, NSYMRHS;
Arr2<int> IMODSC;
Arr1<int> IMODORD, IMODPOS;

void reset() {
    NIMAGE = NSYMF = NSYMD = NSYMC = NSOLC = 0;
    IMAGEID.fill(0);
    ISYMF.fill(0);
    ISYMC.fill(0);
    NMODSC.fill(0);
    NSYMRHS.fill(0);
    IMODSC.deallocate();
    IMODORD.deallocate();
    IMODPOS.deallocate();
}

namespace {
struct Init {
    Init() { reset(); }
} init;
}  // namespace

}  // namespace zorva::sym
