#include "geometry/model.hpp"

namespace zorva::model {

std::string POTTITLE;
float HBOT;
int IRAD, IDIFF, NPER;
Arr1<float> PER, WNUMNU, WNUMK;
Arr1<int> IPERFL;
int IPERSPC, NBETA;
Arr1<float> BETA, SINBETA, COSBETA;
Arr1<int> IMODERB;
int NMODT;
Arr1<int> IMODE, IBMOD;
int NITMAX, NBLKSZ, NBLKLAST;
std::string GGDFTITLE, FILEGGDF;
Arr1<std::string> GDFTITLE;
Arr1<float> ULEN;
float ULENI, GRAV;
Arr1<int> NPANB, NPAND, NWLPANB, IGDEF;
Arr2<int> IS;
Arr2<float> CSPHIB;
Arr1<int> NPATCH;
Arr2<float> TRIMCS;
Arr2<int> IREFLB;
int ISX, ISY, NWALL, NRGKBODY, NRGKLINES;
int NEQN;
Arr3<float> XVER;
Arr1<int> ITANK, IDIPWM;
int NWLSEG;
Arr1<int> IWLPAN, IWLSIDE;
int IDIPSYM;
Arr1<int> XWTLD, YWTLD, ZWTLD;
int NWTLD;

void reset() {
    POTTITLE.clear();
    HBOT = -1.0f;
    IRAD = IDIFF = NPER = IPERSPC = NBETA = NMODT = 0;
    PER.deallocate();
    WNUMNU.deallocate();
    WNUMK.deallocate();
    IPERFL.deallocate();
    BETA.deallocate();
    SINBETA.deallocate();
    COSBETA.deallocate();
    IMODERB.deallocate();
    IMODE.deallocate();
    IBMOD.deallocate();
    NITMAX = NBLKSZ = NBLKLAST = 0;
    GGDFTITLE.clear();
    FILEGGDF.clear();
    GDFTITLE.deallocate();
    ULEN.deallocate();
    ULENI = 1.0f;
    GRAV = 9.80665f;
    NPANB.deallocate();
    NPAND.deallocate();
    NWLPANB.deallocate();
    IGDEF.deallocate();
    IS.deallocate();
    CSPHIB.deallocate();
    NPATCH.deallocate();
    TRIMCS.deallocate();
    IREFLB.deallocate();
    ISX = ISY = NWALL = NRGKBODY = NRGKLINES = 0;
    NEQN = 0;
    XVER.deallocate();
    ITANK.deallocate();
    IDIPWM.deallocate();
    NWLSEG = 0;
    IWLPAN.deallocate();
    IWLSIDE.deallocate();
    IDIPSYM = 0;
    XWTLD.deallocate();
    YWTLD.deallocate();
    ZWTLD.deallocate();
    NWTLD = 0;
}

namespace {
struct Init {
    Init() { reset(); }
} init;
}  // namespace

}  // namespace zorva::model
