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
float RCSFCYL = 0.0f, DCSFCYL = 0.0f;
int ICSFCYL = 0, NBNDCSF = 0, NVERTCSF = 0, NWALLCSF = 0, NCSFFSP = 0, NEXTPTS = 0, NBNDMAX = 0;
Arr2<float> XYCSF;
Arr1<int> NPTBND;
Arr1<int> IWLFSP, IBFSP;
Arr1<float> TFSP1, TFSP2;
Arr2<float> XFSP1, XFSP2;
Arr2<float> XBND;

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
    RCSFCYL = DCSFCYL = 0.0f;
    ICSFCYL = NBNDCSF = NVERTCSF = NWALLCSF = NCSFFSP = NEXTPTS = NBNDMAX = 0;
    for (auto* a : {&XYCSF, &XFSP1, &XFSP2, &XBND}) a->deallocate();
    for (auto* a : {&NPTBND, &IWLFSP, &IBFSP}) a->deallocate();
    TFSP1.deallocate();
    TFSP2.deallocate();
}

}  // namespace zorva::csf
