#include "panels/hoquad.hpp"

namespace zorva::hoq {

Arr1<int> IQUO, IQVO;
int NQPO = 0;
Arr2<float> UVQPO, XQPO, ENQPO, VNQPO, BUO, BVO;
Arr1<float> WTQPO;

void reset() {
    IQUO.deallocate(), IQVO.deallocate(), WTQPO.deallocate();
    for (auto* a : {&UVQPO, &XQPO, &ENQPO, &VNQPO, &BUO, &BVO}) a->deallocate();
    NQPO = 0;
}

}  // namespace zorva::hoq
