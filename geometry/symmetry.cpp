#include "geometry/symmetry.hpp"

namespace zorva::geo {

int NBETAC, IDIPSYM;
int NIMAGE, NSYMC, NSOLC;
int IMGSYM[4], ICOMPSYM[4];
Arr1<int> NMODCOMP;
Arr2<int> IMODSC;
Arr1<int> IMODPOS;

int ISGNX(int g) { return (g == 2 || g == 3) ? -1 : 1; }
int ISGNY(int g) { return (g == 3 || g == 4) ? -1 : 1; }
int ISIGMA(int c, int g) {
    static const int s[4][4] = {{1, 1, 1, 1}, {1, -1, -1, 1}, {1, -1, 1, -1}, {1, 1, -1, -1}};
    return s[c - 1][g - 1];  // s[component][image]
}

void reset() {
    NBETAC = 1;
    IDIPSYM = 0;
    NIMAGE = NSYMC = 1;
    NSOLC = 0;
    for (int k = 0; k < 4; ++k) IMGSYM[k] = ICOMPSYM[k] = k + 1;
    NMODCOMP.deallocate();
    IMODSC.deallocate();
    IMODPOS.deallocate();
}

}  // namespace zorva::geo
