#include "main/config.hpp"

namespace zorva::cfg {

int IDIAG, ILOWHI, ILOG, IPERIO, IQUAD, IQUADI, IQUADO, ISCATT, ISOLVE, ISOR, KSPLIN, MAXSCR, MODLST, MONITR,
    IFORCE, IPOTEN, MAXITT, MAXMIT, NUMHDR, NUMNAM, ILOWGDF, IPLTDAT, IPNLBPT, INUMOPT5, INUMOPT6, INUMOPT7,
    IALTPOT, IALTFRC, ITANKFPT, ICTRSURF, IFIELD_ARRAYS, ITRIMWL, IBODY_WAVEMAKER, IWALLX0, IWALLY0, IREADRAO;
float PANEL_SIZE, TOLGAPWL;
std::string SCRATCH_PATH;
int LSCRATCH;
Arr1<int> CFGSET;
int KEYXBODY;
int NBODY;
Arr1<int> IRR;
Arr2<float> XBODY, XTRIM;
Arr1<int> NEWMDS, IGENMDS, NTANKB, IALTFRCN, NOOUT;
int NTANKS, IDIPOLE, IZTANKFS;
Arr1<float> ZTANKFS;
Arr2<float> CTANK, VOLTANK;
Arr1<int> ITANKB;
Arr1<float> RHOTANK;

void set_defaults() {
    TOLGAPWL = 0.001f;
    MAXSCR = 2;
    IPERIO = 1;
    MAXMIT = 8;
    IFORCE = 1;
    IPOTEN = 1;
    MAXITT = 35;
    IALTPOT = 1;
    IALTFRC = 1;
    PANEL_SIZE = -1.0f;
}

void reset() {
    IDIAG = ILOWHI = ILOG = IQUAD = IQUADI = IQUADO = ISCATT = ISOLVE = ISOR = KSPLIN = 0;
    MODLST = MONITR = NUMHDR = NUMNAM = ILOWGDF = IPLTDAT = IPNLBPT = INUMOPT5 = INUMOPT6 = INUMOPT7 = 0;
    ITANKFPT = ICTRSURF = IFIELD_ARRAYS = ITRIMWL = IBODY_WAVEMAKER = IWALLX0 = IWALLY0 = IREADRAO = 0;
    set_defaults();
    SCRATCH_PATH.clear();
    LSCRATCH = 0;
    CFGSET.allocate(NKEYS);
    KEYXBODY = 42;
    NBODY = 1;
    IRR.deallocate();
    XBODY.deallocate();
    XTRIM.deallocate();
    NEWMDS.deallocate();
    IGENMDS.deallocate();
    NTANKB.deallocate();
    IALTFRCN.deallocate();
    NOOUT.deallocate();
    NTANKS = IDIPOLE = IZTANKFS = 0;
    ZTANKFS.deallocate();
    CTANK.deallocate();
    VOLTANK.deallocate();
    ITANKB.deallocate();
    RHOTANK.deallocate();
}

namespace {
struct Init {
    Init() { reset(); }
} init;
}  // namespace

}  // namespace zorva::cfg
