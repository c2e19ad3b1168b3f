// The head of the FORCE report: the POTEN run summary carried in the .p2f
// file, the run and body parameters with the hydrostatics, the tank tables
// and the FORCE banner.
#include <array>
#include <vector>

#include "common/channels.hpp"
#include "common/datetime.hpp"
#include "common/fmtwrite.hpp"
#include "common/messages.hpp"
#include "geometry/model.hpp"
#include "geometry/modelmore.hpp"
#include "main/config.hpp"
#include "main/fnames.hpp"
#include "main/symmetry.hpp"
#include "p2f/forcedata.hpp"
#include "p2f/forceprep.hpp"
#include "p2f/p2flayout.hpp"
#include "panels/geomdata.hpp"

namespace zorva {

namespace {
constexpr int IUOUT = 11;

// Lines from the gravity line on go to the screen and to the report.
void out(std::string_view f, std::initializer_list<fmt::Arg> args) {
    fmt::write(IUSCR, f, args);
    fmt::write(IUOUT, f, args);
}

const char* symtext(int isx, int isy) {
    static const char* const T[9] = {"     Walls:  X=0,Y=0    ", "      Wall:      X=0    ", "Wall: X=0  Symmetry: Y=0",
                                     "      Wall:      Y=0    ", "    Symmetries: none    ", "     Symmetry:   Y=0    ",
                                     "Symmetry: X=0  Wall: Y=0", "     Symmetry:   X=0    ", "Symmetries:  X=0,Y=0    "};
    int k = 3 * isx + isy + 4;
    return k >= 0 && k < 9 ? T[k] : T[4];
}

std::string pad(std::string s, std::size_t n) {
    s.resize(n, ' ');
    return s;
}
}  // namespace

void OPHEAD(std::string& DATE, std::string& TIME, int& IERR) {
    using namespace model;
    // Run summary.
    p2f::Pass p(p2f::Pass::Dir::Read, p2f::IUP2F);
    for (bool first = true;; first = false) {
        std::string line;
        p2f::lay_line(p, "T", line, 72);
        if (!p.ok()) {
            ERRMSG("Error reading header from P2F file ", 0);
            IERR = 1;
            return;
        }
        if (!first && line.rfind('*', 0) == 0) break;
        chan::write_line(IUOUT, line);
    }

    const float L = ULEN(1);
    // Depth, density, quadrature.
    const std::string depth = HBOT <= 0.0f ? std::string(" Water depth:        infinite")
                                           : fmt::format("(' Water depth: ',F15.5)", {HBOT * L})[0];
    const std::string dens =
        cfg::IALTFRC < 2 ? std::string(30, ' ') : fmt::format("(' Water density:',F15.5)", {frc::RHO})[0];
    out("(/,' Gravity:',F12.5,15X,' Length scale:',F15.5,/,A,6X,A,/,' Panel quadrature indices:       IQUAD =',I2,"
        "'   ILOG =',I2,'   IDIAG =',I2)",
        {GRAV, L, depth, dens, cfg::IQUAD, cfg::ILOG, cfg::IDIAG});
    // Solution indices.
    const std::string sym = symtext(ISX, ISY);
    const char* head4 =
        "(' Source formulation index:','                   ISOR =',I6,/,' Diffraction/scattering formulation "
        "index:',' ISCATT =',I6,/,' Number of blocks used in linear system:','   ISOLVE =',I6,/,' Number of "
        "unknowns in linear system:','        NEQN =',I6,/,/,";
    if (cfg::NBODY == 1 || NWALL == 0)
        out(std::string(head4) + "' BODY PARAMETERS:',/)", {cfg::ISOR, cfg::ISCATT, cfg::ISOLVE, NEQN});
    else
        out(std::string(head4) + "50X,A,/,/,' BODY PARAMETERS:',/)", {cfg::ISOR, cfg::ISCATT, cfg::ISOLVE, NEQN, sym});

    // IRR for every body.
    if (cfg::ILOWHI == 1 && cfg::NBODY > 1 && cfg::IRR.extent(1) < cfg::NBODY) {
        int ierr = 0;
        cfg::GROWIRR(cfg::NBODY, ierr);
        if (ierr != 0) {
            ERRMSG("Error allocating IRR in OPHEAD ", 0);
            IERR = ierr;
            return;
        }
    }
    const int nimg = (1 + (ISX == 1 ? 1 : 0)) * (ISY == 1 ? 2 : 1);

    // Bodies.
    int o = 0, p1 = 1;
    for (int ib = 1; ib <= cfg::NBODY; ++ib) {
        const int irr = cfg::IRR.extent(1) >= ib ? cfg::IRR(ib) : -1;
        if (cfg::ILOWHI == 0) {
            const int npan = irr < 1 ? NPANB(ib) : pnl::NPANBG(ib);
            const int f = cfg::NBODY == 1 ? nimg : 1;
            if (cfg::NBODY == 1)
                out("(' Total panels:',I8,2X,'Waterline panels:',I7,2X,A,/,' Irregular frequency index: IRR =',I4)",
                    {npan * f, NWLPANB(ib) * f, sym, irr});
            else
                out("(' Body number: N=',I2,6X,' Total panels:',I6,4X,'Waterline panels:',I5,/,20X,"
                    "' Irregular frequency index: IRR =',I4)",
                    {ib, npan, NWLPANB(ib), irr});
            if (cfg::IDIPOLE > 0) out("(' Dipole panels:',I8)", {NPAND(ib) * f});
            if (irr > 0) out("(' Free surface panels:',I8)", {(NPANB(ib) - pnl::NPANBG(ib)) * f});
        } else {
            // The index is left blank only when no stage of the run knows it.
            const bool noirr = irr < 0;
            if (cfg::NBODY == 1) {
                const std::string f = "(' NPATCH:',I6,4X,'           IGDEF:',I5,10X,A,/,' Irregular frequency index: IRR =',I4)";
                if (noirr) out(f, {NPATCHT, IGDEF(1), sym});
                else out(f, {NPATCHT, IGDEF(1), sym, irr});
            } else {
                const std::string f = "(' Body number: N=',I3,2X,' Body Patches after reflection:',I4,4X,'IGDEF:',I4,/,21X,"
                                      "' Irregular frequency index IRR=',I4)";
                if (noirr) out(f, {ib, NPATCHB(ib), IGDEF(ib)});
                else out(f, {ib, NPATCHB(ib), IGDEF(ib), irr});
            }
            const bool tanks = cfg::NTANKS > 0, dip = cfg::IDIPOLE > 0;
            out(dip ? (tanks ? "(12X,'Patch   NU  NV    KU  KV   IQUI IQVI IPATCHD ITANK')"
                             : "(12X,'Patch   NU  NV    KU  KV   IQUI IQVI IPATCHD')")
                    : (tanks ? "(12X,'Patch   NU  NV    KU  KV   IQUI IQVI  ITANK')"
                             : "(12X,'Patch   NU  NV    KU  KV   IQUI IQVI')"),
                {});
            const int np = NPATCHB(ib);
            for (int pt = p1; pt < p1 + np; ++pt) {
                std::vector<int> v = {pt, NU(pt), NV(pt), KU(pt), KV(pt), IQUI(pt), IQVI(pt)};
                if (dip) v.push_back(IDIPWM.extent(1) >= pt ? IDIPWM(pt) : 0);
                if (tanks && ITANK.extent(1) >= pt && ITANK(pt) != 0) v.push_back(ITANK(pt));
                out("(12X,I4,2X,2I4,2X,2I4,1X,2I5,1X,2I5,2I8)", {std::span<const int>(v)});
            }
            p1 += np;
        }
        const auto& XB = cfg::XBODY;
        out("(/,' XBODY =',F10.4,' YBODY =',F10.4,' ZBODY =',F10.4,' PHIBODY =',F6.1)",
            {XB(1, ib) * L, XB(2, ib) * L, XB(3, ib) * L, XB(4, ib)});
        const float L3 = L * L * L;
        out("(' Volumes (VOLX,VOLY,VOLZ):         ',3G13.6,/,' Center of Buoyancy (Xb,Yb,Zb):',3F13.6)",
            {pnl::VOLXYZ(1, ib) * L3, pnl::VOLXYZ(2, ib) * L3, pnl::VOLXYZ(3, ib) * L3, pnl::XBUOY(1, ib) * L,
             pnl::XBUOY(2, ib) * L, pnl::XBUOY(3, ib) * L});
        auto C = [&](int i, int j) { return pnl::CHYD(o + i, o + j); };
        out("(' Hydrostatic and gravitational restoring coefficients: ',/,' C(3,3),C(3,4),C(3,5):',3G13.5,/,"
            "' C(4,4),C(4,5),C(4,6):             ',3G13.5,/,'        C(5,5),C(5,6):                          ',2G13.5)",
            {C(3, 3), C(3, 4), C(3, 5), C(4, 4), C(4, 5), C(4, 6), C(5, 5), C(5, 6)});
        const int alt = cfg::IALTFRC, altb = cfg::IALTFRCN.extent(1) >= ib ? cfg::IALTFRCN(ib) : 1;
        const auto& CG = frc::CGBODY;
        if (alt == 1 || (alt == 3 && altb == 1)) {
            out("(' Center of Gravity  (Xg,Yg,Zg):',3F13.6,/,' Radii of gyration:',3F13.6,2(/,19X,3F13.6),/)",
                {CG(1, ib), CG(2, ib), CG(3, ib), std::span<const float>(frc::XPRDCT.ptr(1, 1, ib), 9)});
        } else if (alt == 2 || (alt == 3 && altb == 2)) {
            out("(' Center of Gravity  (Xg,Yg,Zg):',3F13.6,/)", {CG(1, ib), CG(2, ib), CG(3, ib)});
        }
        if (alt == 3 && altb == 2) {
            static const char* const title[4] = {"", " Global body and external mass matrix:        ",
                                                 " Global external damping matrix      :        ",
                                                 " Global external stiffness matrix    :        "};
            for (int K = 1; K <= 3; ++K) {
                if (frc::IMASSB(K, ib) <= 0) continue;
                std::vector<float> blk;
                for (int j = 1; j <= 6; ++j)
                    for (int i = 1; i <= 6; ++i) blk.push_back(frc::EXTMAT(K, o + i, o + j));
                out("(A,6(/,1X,1P,6E12.4),/)", {std::string_view(title[K]), std::span<const float>(blk)});
            }
        }
        o += 6 + (cfg::NEWMDS.extent(1) >= ib ? cfg::NEWMDS(ib) : 0);
    }

    // Tanks.
    if (cfg::NTANKS > 0) {
        const float L3 = L * L * L;
        out("(' Tank parameters: ',/,'   NTANK    ZTANKFS',2X,'     VOLX         VOLY         VOLZ')", {});
        for (int t = 1; t <= cfg::NTANKS; ++t)
            out("(I6,4X,4G13.6)", {t, cfg::ZTANKFS(t), cfg::VOLTANK(1, t) * L3, cfg::VOLTANK(2, t) * L3,
                                   cfg::VOLTANK(3, t) * L3});
        out("(/,12X,'RHOTANK',6X,'-C(3,3)       C(3,4)       C(3,5) ')", {});
        for (int t = 1; t <= cfg::NTANKS; ++t)
            out("(I6,4X,4G13.6)", {t, cfg::RHOTANK(t), -cfg::CTANK(1, t), cfg::CTANK(3, t), cfg::CTANK(2, t)});
        cfg::CTANK.deallocate();
    }

    // Banner.
    DATETIME(DATE, TIME);
    out("(/,1X,72('-'),/,28X,'Output from  ZORVA',/,1X,72('-'),/,' FORCE run date and starting time:  ',14X,A,"
        "' -- ',A,/,1X,72('-'),/,' I/O Filenames:  ',3A20,/,1X,A,/)",
        {DATE, TIME, pad(fnames::FILEFRC, 20), pad(fnames::FILEP2F, 20), pad(fnames::FILEOUT, 20), frc::HEADFRC});
    if (cfg::IREADRAO == 2)
        out("(' External RAO Filename:  ',A20,/)", {pad(frc::FILERAO, 20)});
    else
        out("()", {});
}

}  // namespace zorva
