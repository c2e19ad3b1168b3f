#include "main/runparams.hpp"

namespace zorva::run {

int IMODFL, NBETAX;
Arr3<cplx> VELRAD, VELDIF;
Arr2<float> BASUG, BASVG;
Arr1<float> HQMOD1, HQMOD2;
std::array<int, 10> IOPTN;
std::array<int, NNUM + 1> IUNUM;
std::array<std::string, NNUM + 1> NUMNAME;

void reset() {
    IMODFL = 0;
    NBETAX = 1;
    VELRAD.deallocate();
    VELDIF.deallocate();
    BASUG.deallocate();
    BASVG.deallocate();
    HQMOD1.deallocate();
    HQMOD2.deallocate();
    IOPTN.fill(0);
    static const char* const names[NNUM] = {
        "optn.1", "optn.2",   "optn.3",   "optn.4",   "optn.5p",  "optn.6",   "optn.7x",  "optn.7y",  "optn.7z",
        "optn.8", "optn.9",   "optn.5vx", "optn.5vy", "optn.5vz", "optn.pnl", "optn.fpt", "optn.5pb", "optn.9c"};
    IUNUM[0] = 0;
    NUMNAME[0].clear();
    for (int k = 1; k <= NNUM; ++k) {
        IUNUM[static_cast<std::size_t>(k)] = 24 + k;
        NUMNAME[static_cast<std::size_t>(k)] = names[k - 1];
    }
}

namespace {
struct Init {
    Init() { reset(); }
} init;
}  // namespace

}  // namespace zorva::run
