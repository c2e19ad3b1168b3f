// Reader of the global geometry file: the list of bodies of a low-order run
// with the single-body .pot layout.  A geometry file named for the run that
// turns out to be one body's file (ULEN > 0 on its second line) leaves the
// run with one body.
#include <string>

#include "common/channels.hpp"
#include "common/fmtwrite.hpp"
#include "common/freeread.hpp"
#include "common/messages.hpp"
#include "geometry/model.hpp"
#include "geometry/modelin.hpp"
#include "main/config.hpp"
#include "main/fnames.hpp"

namespace zorva {

using namespace model;
namespace fr = fread;

void RDGLBGDF(int IU, int& IRAD_, int& IDIFF_, int& IERR) {
    IERR = 0;
    auto fail = [&](const char* text, int value) {
        ERRMSG(text, value);
        chan::close(IU);
        IERR = 1;
    };
    const std::string name = fnames::GDFNAME(1);
    if (chan::open(IU, name, chan::Status::Old) != 0) {
        ERRMSG("Error opening GDF file ", 0);
        IERR = 1;
        return;
    }
    ECHOINP(name, IU, 10);

    if (fr::read_text(IU, GGDFTITLE, 72) != 0) return fail("Error reading GDF file, header line", 0);
    float x = 0.0f;
    if (fr::read_group(IU, {fr::R(x)}) != 0) return fail("Error reading GDF file, ULEN,GRAV line", 0);
    if (x > 0.0f) {
        // A body's own geometry file: its length scale stands here.
        cfg::NBODY = 1;
        chan::close(IU);
        return;
    }

    int nb = 0;
    if (fr::read_group(IU, {fr::I(nb)}) != 0) return fail("Error reading global GDF file:  parameter NBODY ", 0);
    if (nb < 1 || nb > fr::MAXITEMS) return fail(" Value of NBODY in global GDF is illegal:  NBODY=", nb);
    cfg::NBODY = nb;

    int ierr = 0;
    if (!cfg::NEWMDS.allocated() || cfg::NEWMDS.extent(1) < nb) cfg::GROWGENM(nb, ierr);
    bool ok = ierr == 0;
    FILEGGDF = name;
    ok = ok && GDFTITLE.allocate(nb) && fnames::GDFNAME.allocate(nb) && NPANB.allocate(nb) &&
         NWLPANB.allocate(nb) && ULEN.allocate(nb) && IMODERB.allocate(6 * nb);
    const bool xbody_read = !(cfg::CFGSET.allocated() && cfg::CFGSET(cfg::KEYXBODY) == 1);
    if (ok && xbody_read) {
        cfg::GROWXBODY(nb, ierr);
        ok = ierr == 0;
    }
    if (!ok) return fail("Insufficient memory to allocate NBODY arrays", 0);

    NMODT = 0;
    for (int ib = 1; ib <= nb; ++ib) {
        if (fr::read_fname(IU, fnames::GDFNAME(ib)) != 0)
            return fail("Error reading GDF filename in global GDF file for body N=", ib);
        if (xbody_read && fr::read_group(IU, {fr::R(cfg::XBODY.ptr(1, ib), 4)}) != 0)
            return fail("Error reading XBODY coordinates in global GDF file for body N=", ib);
        int iradb = 0, idiffb = 0;
        if (cfg::IALTPOT == -1) {
            if (fr::read_group(IU, {fr::I(iradb), fr::I(idiffb)}) != 0)
                return fail("Error reading IRAD,IDIFF in global GDF file for body N=", ib);
            if (iradb < -1 || iradb > 1) return fail("Value of IRAD index is illegal for body N=", ib);
            if (idiffb < -1 || idiffb > 1) return fail("Value of IDIFF index is illegal for body N=", ib);
        }
        if (fr::read_group(IU, {fr::I(IMODERB.ptr(NMODT + 1), 6)}) != 0)
            return fail("Error reading array MODE in global GDF file for body N=", ib);
        if (cfg::IALTPOT == -1 && iradb != 0)
            for (int k = 1; k <= 6; ++k) IMODERB(NMODT + k) = iradb == 1 ? 1 : 0;
        NMODT += 6;
        if (cfg::IALTPOT == -1) {
            if (ib == 1) {
                IRAD_ = iradb;
                IDIFF_ = idiffb;
            } else {
                // The run keeps -1 or 1 only when every body has that value.
                if ((IRAD_ == -1 && iradb != -1) || (IRAD_ == 1 && iradb != 1)) IRAD_ = 0;
                if ((IDIFF_ == -1 && idiffb != -1) || (IDIFF_ == 1 && idiffb != 1)) IDIFF_ = 0;
            }
        }
    }

    WRSUMM(" NBODY data from Global GDF    :         " + fmt::ljust(FILEGGDF, 20));
    WRSUMM(std::string(" ").append(fmt::ljust(GGDFTITLE, 72)));
    WRSUMM("");
    chan::close(IU);
}

}  // namespace zorva
