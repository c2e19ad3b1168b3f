#include "p2f/forcedata.hpp"

namespace zorva::frc {

int NBETA0, NBETAP, NBETAF, NBETAH, NBETAX, NDRIFT;
int NMODWM, NMODBD, NMODFREE;
int NFIELD, NPCT, NPBOUT, NBPTT, IBPPRS, IBPVEL;
Arr1<int> MODCOL, MODNUM, MODEC, MODE;
std::string HEADFRC;
float RHO;
std::array<int, 4> IMASS;
std::array<std::string, 4> FILEEXT, HEADEXT;
Arr1<std::string> FILEFRCB, HEADFRCB;
Arr2<int> IMASSB;
Arr2<float> CGBODY;
Arr3<float> XPRDCT;
Arr3<float> EXTMAT, EXTMATND;
Arr2<float> XFIELD;
Arr1<int> IFPTANK;
Arr2<float> VMOMB;
Arr1<float> CZ33, CZ34, CZ35;
Arr2<cplx> RADPOT, RADSRC;
Arr3<cplx> DIFPOT, RADVEL, DIFSRC, VDIFP;
std::string FILERAO;
Arr2<cplx> RAO, FEXH, FEXD, PTOTF, PRADF, PDIFF, DRIFTM, DRIFTS, DRIFTCM, DRIFTCS, PTOTB, PDIFB, PRADB;
Arr2<float> AMAT, BMAT;
Arr3<cplx> VTOTF, VRADF, VDIFF, PTOTP, PDIFP, PRADP, VTOTP, VRADP, VTOTB, VDIFB, VRADB;
Arr1<cplx> KOCHR1, KOCHR2, KOCHD1, KOCHD2, KOCHT1, KOCHT2;
Arr1<float> VNWORK;
Arr1<int> NBPT;

void reset() {
    NBETA0 = NBETAP = NBETAF = NBETAH = NBETAX = NDRIFT = 0;
    NMODWM = NMODBD = NMODFREE = 0;
    NFIELD = NPCT = NPBOUT = NBPTT = IBPPRS = IBPVEL = 0;
    MODCOL.deallocate();
    MODNUM.deallocate();
    MODEC.deallocate();
    MODE.deallocate();
    HEADFRC.clear();
    RHO = 0.0f;
    IMASS.fill(0);
    for (auto& s : FILEEXT) s.clear();
    for (auto& s : HEADEXT) s.clear();
    FILEFRCB.deallocate();
    HEADFRCB.deallocate();
    IMASSB.deallocate();
    CGBODY.deallocate();
    XPRDCT.deallocate();
    EXTMAT.deallocate();
    EXTMATND.deallocate();
    XFIELD.deallocate();
    IFPTANK.deallocate();
    VMOMB.deallocate();
    CZ33.deallocate();
    CZ34.deallocate();
    CZ35.deallocate();
    RADPOT.deallocate();
    RADSRC.deallocate();
    DIFPOT.deallocate();
    RADVEL.deallocate();
    DIFSRC.deallocate();
    VDIFP.deallocate();
    FILERAO.clear();
    for (auto* a : {&RAO, &FEXH, &FEXD, &PTOTF, &PRADF, &PDIFF, &DRIFTM, &DRIFTS, &DRIFTCM, &DRIFTCS, &PTOTB, &PDIFB,
                    &PRADB})
        a->deallocate();
    AMAT.deallocate();
    BMAT.deallocate();
    for (auto* a : {&VTOTF, &VRADF, &VDIFF, &PTOTP, &PDIFP, &PRADP, &VTOTP, &VRADP, &VTOTB, &VDIFB, &VRADB})
        a->deallocate();
    for (auto* a : {&KOCHR1, &KOCHR2, &KOCHD1, &KOCHD2, &KOCHT1, &KOCHT2}) a->deallocate();
    VNWORK.deallocate();
    NBPT.deallocate();
}

}  // namespace zorva::frc
