#include "ctrlsurf/csfdata.hpp"

#include "common/channels.hpp"

namespace zorva::csf {

int NCSFPT = 0;
Arr2<float> XCSF, VNCSF, XCSFG;
Arr1<float> WCSF;
Arr1<int> ITANKCSF;
Arr1<int> NCSFPTB, NCSFF, NCSFS, NCSFW, ICSFF, ICSFS, ICSFW;
Arr2<cplx> PHICSF, PHICSFC;
Arr3<cplx> VELCSF, VELCSFC;
Arr2<int> ISCSF;
Arr1<int> ICDEF;
Arr1<float> PSZCSF;
std::string FILECSF;
int ISXBODY = 0, ISYBODY = 0, ICSFAUTO = 0;
float XGCSF[4] = {}, WGCSF[4] = {};
Arr3<float> XVCSF;
Arr1<int> NUC, NVC;
Arr1<int> NUCG, NVCG, KUCG, KVCG, NBUCG, NBVCG;
Arr2<float> UKNOTC, VKNOTC, UPARC, VPARC, XCOEFC;
int MKNOTC = 0, NCOEFC = 0, MAXKUC = 0, MAXKVC = 0;
Arr3<float> XVERC;
bool PLTOPEN = false;

void reset() {
    NCSFPT = 0;
    for (auto* a : {&XCSF, &VNCSF, &XCSFG, &UKNOTC, &VKNOTC, &UPARC, &VPARC, &XCOEFC}) a->deallocate();
    WCSF.deallocate();
    PSZCSF.deallocate();
    for (auto* a : {&ITANKCSF, &NCSFPTB, &NCSFF, &NCSFS, &NCSFW, &ICSFF, &ICSFS, &ICSFW, &ICDEF, &NUC, &NVC, &NUCG,
                    &NVCG, &KUCG, &KVCG, &NBUCG, &NBVCG})
        a->deallocate();
    for (auto* a : {&PHICSF, &PHICSFC}) a->deallocate();
    for (auto* a : {&VELCSF, &VELCSFC}) a->deallocate();
    ISCSF.deallocate();
    XVCSF.deallocate();
    XVERC.deallocate();
    FILECSF.clear();
    ISXBODY = ISYBODY = ICSFAUTO = 0;
    for (int k = 0; k < 4; ++k) XGCSF[k] = WGCSF[k] = 0.0f;
    MKNOTC = NCOEFC = MAXKUC = MAXKVC = 0;
    PLTOPEN = false;
}

}  // namespace zorva::csf
