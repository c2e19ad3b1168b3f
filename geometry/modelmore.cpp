#include "geometry/modelmore.hpp"

namespace zorva::model {

Arr1<int> NGXLINE;
int NPATCHR, NPATCHW, NPATCHLIM, MXIQUO, MXIQVO, MXNBUKV, NQO;
Arr1<int> IQUO, IQVO, IPIR, IPGDF, ITRIMSV, ISPLB;
Arr1<float> ZBDYFS, ARCLEN, WTLARR5;
Arr1<std::string> SPLNAME, SPLHDR;
Arr2<float> BINOM, BASUG, BASVG, XQO, ENQO, VNQO, XGUO, WGUO, XGVO, WGVO;
Arr3<float> BASUQ, BASVQ;
int NPATCHT, NPATCHBD, NCOEFT, MAXKNOT, MAXKUG, MAXKVG, MAXKNU, MAXKNV, MAXKU, MAXKV, MAXQU, MAXQV, MAXNU,
    MAXNV, NPANT;
Arr1<int> KU, KV, NU, NV, NBU, NBV, IQUI, IQVI, IBPTH, ITRIM, IWTL, IFSPAT, IPRL, IPREF;
Arr1<int> IPSTART, IPATOFF, NPATCHB;
Arr1<int> ITRMIDX;
Arr2<float> TRMRNG1, TRMRNG2, TRMMAP1, TRMMAP2, TRMMAP3, TRMMAP4;
Arr1<int> KUG, KVG, IUGOFF, IVGOFF, NUG, NVG;
Arr2<float> UKNOTG, VKNOTG, GEOPAR1, GEOPAR2, XCOEFG;
int NQP;
Arr2<float> XQP, ENQP, VNQP, HOTAB1, HOTAB2, HOTAB3, HOTAB4, HOTAB5, HOTAB6;
Arr1<float> WQP;
Arr3<float> HOTAB7, HOTAB8;

void reset_more() {
    for (auto* a : {&NGXLINE, &KU, &KV, &NU, &NV, &NBU, &NBV, &IQUI, &IQVI, &IBPTH, &ITRIM, &IWTL, &IFSPAT,
                    &IPRL, &IPREF, &IPSTART, &IPATOFF, &NPATCHB, &ITRMIDX, &KUG, &KVG, &IUGOFF, &IVGOFF, &NUG, &NVG})
        a->deallocate();
    for (auto* a : {&TRMRNG1, &TRMRNG2, &TRMMAP1, &TRMMAP2, &TRMMAP3, &TRMMAP4, &UKNOTG, &VKNOTG, &GEOPAR1,
                    &GEOPAR2, &XCOEFG, &XQP, &ENQP, &VNQP, &HOTAB1, &HOTAB2, &HOTAB3, &HOTAB4, &HOTAB5, &HOTAB6})
        a->deallocate();
    for (auto* a : {&IQUO, &IQVO, &IPIR, &IPGDF, &ITRIMSV, &ISPLB}) a->deallocate();
    for (auto* a : {&ZBDYFS, &ARCLEN, &WTLARR5}) a->deallocate();
    SPLNAME.deallocate();
    SPLHDR.deallocate();
    for (auto* a : {&BINOM, &BASUG, &BASVG, &XQO, &ENQO, &VNQO, &XGUO, &WGUO, &XGVO, &WGVO}) a->deallocate();
    BASUQ.deallocate();
    BASVQ.deallocate();
    NPATCHR = NPATCHW = NPATCHLIM = MXIQUO = MXIQVO = MXNBUKV = NQO = 0;
    WQP.deallocate();
    HOTAB7.deallocate();
    HOTAB8.deallocate();
    NPATCHT = NPATCHBD = NCOEFT = MAXKNOT = MAXKUG = MAXKVG = MAXKNU = MAXKNV = MAXKU = MAXKV = MAXQU = MAXQV =
        MAXNU = MAXNV = NPANT = NQP = 0;
}

}  // namespace zorva::model
