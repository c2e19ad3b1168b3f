#include "panels/geomdata.hpp"

namespace zorva::pnl {

Arr3<float> XVERG, PNLARR1;
Arr2<float> PNLARR2;
Arr1<int> NPANBG, LIDSTRIP;
int NLIDSTRIP = 0;
Arr2<float> XBUOY, VOLXYZ, CHYD;
Arr1<float> VOLB;

void reset_geom() {
    XVERG.deallocate();
    PNLARR1.deallocate();
    PNLARR2.deallocate();
    NPANBG.deallocate();
    LIDSTRIP.deallocate();
    NLIDSTRIP = 0;
    XBUOY.deallocate();
    VOLXYZ.deallocate();
    CHYD.deallocate();
    VOLB.deallocate();
    WMPT.deallocate();
}

}  // namespace zorva::pnl
