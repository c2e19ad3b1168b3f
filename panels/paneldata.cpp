#include "panels/paneldata.hpp"

namespace zorva::pnl {

Arr2<float> PCENT;
Arr3<float> PAXES;
Arr2<float> PNLARR6, PNLARR5, PNLARR4, PNLARR3, PPROP;
Arr1<int> IPFLAG;
Arr2<float> VNMODE;

void reset() {
    PCENT.deallocate();
    PAXES.deallocate();
    PNLARR6.deallocate();
    PNLARR5.deallocate();
    PNLARR4.deallocate();
    PNLARR3.deallocate();
    PPROP.deallocate();
    IPFLAG.deallocate();
    VNMODE.deallocate();
}

}  // namespace zorva::pnl
