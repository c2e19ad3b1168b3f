// Low-order geometry files: every body's flat panels into the run's panel
// list XVER, with tanks, dipole and wavemaker classes, mirror images,
// waterline trimming, the projected interior free surface of IRR = 2 bodies
// and the waterline segments.
#include <algorithm>
#include <cmath>
#include <string>

#include "common/channels.hpp"
#include "common/fnamext.hpp"
#include "common/freeread.hpp"
#include "common/messages.hpp"
#include "geometry/model.hpp"
#include "geometry/modelin.hpp"
#include "geometry/rgklink.hpp"
#include "geometry/trimlow.hpp"
#include "main/config.hpp"
#include "main/fnames.hpp"

namespace zorva {

using namespace model;
namespace fr = fread;

namespace {

constexpr int IUTKDP = 21;  // the configuration's tank and dipole records

// Tanks of the bodies before IB: tank numbers run over the bodies in order.
int tanks_before(int IB) {
    int t = 0;
    for (int b = 1; b < IB && b <= cfg::NTANKB.extent(1); ++b) t += cfg::NTANKB(b);
    return t;
}

bool grow_panel_ints(int l) {
    int ierr = 0;
    if (!ITANK.allocated() || ITANK.extent(1) < l) GROWTANK(l, 0, ierr);
    if (ierr == 0 && (!IDIPWM.allocated() || IDIPWM.extent(1) < l)) GROWDIPW(l, 0, ierr);
    return ierr == 0;
}

}  // namespace

bool COORDSOK(const float* X, int N, float SCALE) {
    for (int i = 0; i < N; ++i)
        if (!(std::fabs(X[i] * SCALE) <= MAXCOORD)) return false;
    return true;
}

void RDXVER(int IU, int IF, int N, float ZL, int IB, int& IERR, int ITKDP) {
    IERR = 0;
    const int l = IF + N - 1;
    if (!XVER.allocated() || XVER.extent(3) < l) {
        GROWXVER(l, 0, IERR);
        if (IERR != 0) {
            ERRMSG("RAM is not sufficient to allocate XVER array from GDF file ", 0);
            return;
        }
    }
    if (IB > 0) {
        if (ITKDP == 1) {
            RDTKDP(IB, IF, N, IERR);
            if (IERR != 0) return;
        }
        if (!grow_panel_ints(l)) {
            IERR = 1;
            return;
        }
        if (ITKDP == 1 && cfg::NTANKS > 0 && IGDEF(IB) == 2) {
            int ntk = 0;
            RGKNTANK(IB, ntk);
            const int ncfg = IB <= cfg::NTANKB.extent(1) ? cfg::NTANKB(IB) : 0;
            if (ntk != ncfg) {
                ERRMSG("Error:NTANKS different in CFG and MS2 files, body ", IB);
                IERR = 1;
                return;
            }
            const int t0 = tanks_before(IB);
            for (int i = 1; i <= N; ++i) {
                int ityp = 0, itk = 0, ierr = 0;
                RGKPANTYPE(IB, i, ityp, itk, ierr);
                if (ierr != 0 || itk < 0 || itk > ntk || t0 + itk > cfg::NTANKS) {
                    ERRMSG(" Error calling RGKPANTYPE, body ", IB);
                    IERR = 1;
                    return;
                }
                if (itk > 0) {
                    ITANK(IF + i - 1) = t0 + itk;
                    cfg::ITANKB(t0 + itk) = IB;
                }
            }
        }
    }
    for (int p = IF; p <= l; ++p) {
        float v[12] = {};
        if (fr::read_group(IU, {fr::R(v, 12)}) != 0) {
            ERRMSG("Error reading GDF file, vertices XVER of panel N=", p - IF + 1);
            IERR = 1;
            return;
        }
        if (!COORDSOK(v, 12, ULENI)) {
            ERRMSG("Error in GDF file: vertex coordinate beyond 1.E6 x ULEN for panel N=", p - IF + 1);
            IERR = 1;
            return;
        }
        const float s = IB > 0 ? ULENI : 1.0f;
        for (int k = 1; k <= 4; ++k)
            for (int c = 1; c <= 3; ++c) XVER(k, c, p) = v[3 * (k - 1) + c - 1] * s;
        if (IB <= 0) continue;
        const int t = ITANK(p);
        if (cfg::ITRIMWL == 0 && t == 0) {
            for (int k = 1; k <= 4; ++k)
                if (XVER(k, 3, p) > ZL) {
                    ERRMSG("Error in GDF file: vertex above free surface for panel N=", p - IF + 1);
                    IERR = 1;
                    return;
                }
        }
        if (t > 0 && cfg::IZTANKFS != 1 && t <= cfg::ZTANKFS.extent(1)) {
            float zmax = XVER(1, 3, p);
            for (int k = 2; k <= 4; ++k) zmax = std::max(zmax, XVER(k, 3, p));
            const bool first = p == IF || ITANK(p - 1) != t;
            if (first || zmax > cfg::ZTANKFS(t)) cfg::ZTANKFS(t) = zmax;
        }
    }
}

void DIPWMCLS(int IF, int N, std::array<int, 2> ISXY, int MODE, int& IERR) {
    IERR = 0;
    const int l = IF + N - 1;
    if (!IDIPWM.allocated() || IDIPWM.extent(1) < l) {
        GROWDIPW(l, 0, IERR);
        if (IERR != 0) return;
    }
    for (int p = IF; p <= l; ++p) {
        float mx = 0.0f, my = 0.0f;
        for (int k = 1; k <= 4; ++k) {
            mx = std::max(mx, std::fabs(XVER(k, 1, p)));
            my = std::max(my, std::fabs(XVER(k, 2, p)));
        }
        if (MODE == 1 || MODE == 2) {
            if (MODE == 1 && IDIPWM(p) == 0) continue;
            if (ISXY[0] == 1 && mx < 1.0E-5f)
                IDIPWM(p) = 2;
            else if (ISXY[1] == 1 && my < 1.0E-5f)
                IDIPWM(p) = 3;
            else
                IDIPWM(p) = 1;
        } else if (MODE == -1) {
            if (cfg::IWALLX0 == 1 && mx < 1.0E-5f) IDIPWM(p) = -2;
            if (cfg::IWALLY0 == 1 && my < 1.0E-5f) IDIPWM(p) = -3;
            if (IDIPWM(p) >= -1) IERR = -1;
        }
    }
}

void RDTKDP(int IB, int IF, int N, int& IERR) {
    IERR = 0;
    const int l = IF + N - 1;
    if (!grow_panel_ints(l)) {
        ERRMSG(" Allocation error for arrays ITANK,IDIPWM", 0);
        IERR = 1;
        return;
    }
    if (!NPAND.allocated() || NPAND.extent(1) < IB) {
        if (!NPAND.resize_keep(IB)) {
            ERRMSG(" Allocation error for arrays ITANK,IDIPWM", 0);
            IERR = 1;
            return;
        }
    }
    if (!chan::is_open(IUTKDP)) return;  // no ranges given
    chan::rewind(IUTKDP);
    const bool model_body = IGDEF.allocated() && IB <= IGDEF.extent(1) && IGDEF(IB) == 2;
    int t = tanks_before(IB);
    int lastkey = 0;
    auto illegal = [&](const char* text) {
        ERRMSG(text, lastkey);
        IERR = 1;
    };
    for (;;) {
        int key = 0, val = 0;
        const int st = fr::read_group(IUTKDP, {fr::I(key), fr::I(val)});
        if (st == -1) return;
        if (st != 0) return illegal("Error reading ISCR file for NPTANK,NPDIPOL, body ");
        int a, b;
        if (key >= 1) {
            lastkey = key;
            a = b = val;
        } else if (key == 0 && val == 1) {
            int r[6];
            if (fr::read_group(IUTKDP, {fr::I(r, 6)}) != 0)
                return illegal("Error reading ISCR file for NPTANK,NPDIPOL, body ");
            lastkey = r[0];
            if (r[0] == 0 || r[2] != r[0] || r[4] != 0 || r[5] != -1)
                return illegal("Error: NPTANK or NPDIPOL illegal in CFG file, body ");
            key = r[0];
            a = r[1];
            b = r[3];
        } else {
            return illegal("Error: NPTANK or NPDIPOL illegal in CFG file, body ");
        }
        if (std::abs(key) != IB || model_body) continue;
        // A range must lie among the body's panels (patches) in its file.
        if (a < 1 || b > N || a > b) {
            ERRMSG("Error: NPTANK or NPDIPOL range outside the panels of body ", IB);
            cfg::name_given(key < 0 ? "NPTANK" : "NPDIPOLE", IB);
            IERR = 1;
            return;
        }
        if (key < 0) {
            ++t;
            if (t > cfg::NTANKS || t > cfg::ITANKB.extent(1))
                return illegal("Error: NPTANK or NPDIPOL illegal in CFG file, body ");
            for (int p = IF + a - 1; p <= IF + b - 1; ++p) ITANK(p) = t;
            cfg::ITANKB(t) = IB;
        } else {
            for (int p = IF + a - 1; p <= IF + b - 1; ++p) IDIPWM(p) = 1;
            NPAND(IB) += b - a + 1;
        }
    }
}

void RDGDFL(int IU, int& IERR) {
    IERR = 0;
    const int nb = cfg::NBODY;
    if (!NPAND.allocate(nb)) {
        ERRMSG("Allocation error in RDGDFL for body N=", 1);
        IERR = 1;
        return;
    }
    IDIPSYM = 0;
    XVER.deallocate();
    ITANK.deallocate();
    IDIPWM.deallocate();
    IWLPAN.deallocate();
    IWLSIDE.deallocate();
    int f = 1, iseg = 1;
    auto fail = [&](const char* text, int value) {
        if (text) ERRMSG(text, value);
        chan::close(IU);
        IERR = 1;
    };

    for (int ib = 1; ib <= nb; ++ib) {
        std::string name = fnames::GDFNAME(ib);
        if (IGDEF(ib) != 0 && IGDEF(ib) != 2) {
            // B-spline patches and the user geometry routine have no flat
            // panels to read here.
            ERRMSG("Geometry kind IGDEF of GDF file needs ILOWHI=1 in CONFIG file, body N=", ib);
            cfg::name_given("ILOWHI");
            IERR = 1;
            return;
        }
        if (NPANB(ib) < 1 && IGDEF(ib) == 2) {
            int code = 0;
            RGKLOWGDF(ib, code);
            if (code != 0) {
                ERRMSG("Error calling RGKLOWGDF for body N=", ib);
                ERRMSG("                      error code = ", code);
                RGKLOGNOTE();
                IERR = 1;
                return;
            }
            FNAMEXT(fnames::GDFNAME(ib), name, "_ms2.gdf");
        }
        if (chan::open(IU, name, chan::Status::Old) != 0) return fail("Error opening GDF file for body N=", ib);
        {
            std::string title;
            float ulen = 0.0f, grav = 0.0f;
            int isxy[2] = {0, 0};
            if (fr::read_text(IU, title, 72) != 0) return fail("Error reading GDF file header for body N=", ib);
            if (fr::read_group(IU, {fr::R(ulen), fr::R(grav)}) != 0)
                return fail("Error reading GDF file, ULEN,GRAV line for body N=", ib);
            if (fr::read_group(IU, {fr::I(isxy, 2)}) != 0)
                return fail("Error reading GDF file, symmetry indices ISX,ISY for body N=", ib);
            if (fr::read_group(IU, {fr::I(NPANB(ib))}) != 0 || NPANB(ib) < 0 || NPANB(ib) > fr::MAXITEMS)
                return fail("Error reading GDF file, NPAN line for body N=", ib);
        }

        const float zl = 1.0E-6f - cfg::XBODY(3, ib);
        int ierr = 0;
        if (NPANB(ib) > 0) {
            RDXVER(IU, f, NPANB(ib), zl, ib, ierr);
            if (ierr != 0) return fail("Error reading GDF file, panels or internal tanks on body N=", ib);
        }

        const std::array<int, 2> isb = {IS(1, ib), IS(2, ib)};
        if (NPAND(ib) == 0) {
            // After the panels: the end of the file, or the count of the
            // body's dipole panels and those panels.
            int n = 0;
            const int st = fr::read_group(IU, {fr::I(n)});
            if (st == 1) return fail("Error in GDF file: extra data at end of file for body N=", ib);
            if (st == 0 && n > fr::MAXITEMS) return fail("Error reading GDF file, dipole panels on body N=", ib);
            if (st == 0 && n > 0) {
                cfg::IDIPOLE = 1;
                NPAND(ib) = n;
                // The configuration's ranges were applied to the body's
                // panels above; they do not address the dipole panels.
                RDXVER(IU, f + NPANB(ib), n, zl, ib, ierr, 0);
                if (ierr == 0) DIPWMCLS(f + NPANB(ib), n, isb, 2, ierr);
                if (ierr != 0) return fail("Error reading GDF file, dipole panels on body N=", ib);
                NPANB(ib) += n;
                IDIPSYM = 1;
            }
        } else {
            DIPWMCLS(f, NPANB(ib), isb, 1, ierr);
            if (ierr != 0) return fail("Error reading GDF file, dipole panels on body N=", ib);
            IDIPSYM = 1;
        }
        // A body without panels has no unknowns.
        if (NPANB(ib) < 1) return fail("Error in GDF file: no panels (NPAN = 0) for body N=", ib);
        chan::close(IU);

        std::array<int, 2> s = isb;
        if (cfg::ITRIMWL > 0) {
            // A body open under water once trimmed has no closed wetted
            // surface: refused on its panels as numbered in its file.
            OPENEDGE(f, NPANB(ib), zl, ib, isb, ierr);
            if (ierr != 0) return fail(nullptr, 0);
            const std::array<int, 2> fl = {IREFLB(1, ib) == 1 ? IS(1, ib) : 0, IREFLB(2, ib) == 1 ? IS(2, ib) : 0};
            if (fl[0] == 1 || fl[1] == 1) {
                REFLPAN(NPANB(ib), f, fl, ierr);
                if (ierr != 0) return fail(nullptr, 0);
            }
            if (IREFLB(1, ib) == 1) s[0] = 0;
            if (IREFLB(2, ib) == 1) s[1] = 0;
            TRIMGDF(f, NPANB(ib), zl, ib, ierr);
            if (ierr != 0) return fail("Error trimming waterline in RDGDFL for body N=", ib);
            // A body trimmed out of the water, or left with no vertex deeper
            // than the waterline, has no unknowns or no wetted surface.
            float zmin = HUGE_VALF;
            for (int p = f; p < f + NPANB(ib); ++p)
                for (int k = 1; k <= 4; ++k) zmin = std::min(zmin, XVER(k, 3, p));
            if (!(zmin < zl - ONWL)) {
                std::string text = " Error in GDF file ";
                text += fnames::GDFNAME(ib);
                text += ", body ";
                text += std::to_string(ib);
                text += ": every panel of the body is above the free surface (none reaches 1.E-5 x ULEN below it) after "
                        "waterline trimming (";
                text += TRIMTEXT(ib);
                text += "): check the sign of the sinkage (a positive sinkage in XTRIM lifts the body) and the freeboard";
                ERRMSG(text, 0);
                return fail(nullptr, 0);
            }
        }
        if (s[0] == 1 || s[1] == 1) {
            REFLPAN(NPANB(ib), f, {s[0] - ISX, s[1] - ISY}, ierr);
            if (ierr != 0) return fail(nullptr, 0);
        }

        const int last = f + NPANB(ib) - 1;
        if (cfg::IDIPOLE == 0 && (!IDIPWM.allocated() || IDIPWM.extent(1) < last)) {
            GROWDIPW(last, 0, ierr);
            if (ierr != 0) return fail(nullptr, 0);
        }

        if (cfg::IRR(ib) == 2) {
            IRR2FS(NPANB(ib), f, cfg::XBODY(3, ib), ierr);
            if (ierr != 0) return fail("Error reading GDF file for body N=", ib);
            if (!grow_panel_ints(f + NPANB(ib) - 1)) return fail(nullptr, 0);
        }

        if (cfg::IBODY_WAVEMAKER > 0 && ib >= cfg::IBODY_WAVEMAKER) {
            DIPWMCLS(f, NPANB(ib), isb, -1, ierr);
            if (ierr == 1) return fail("Error allocating IDIPWM array on body N=", ib);
            if (ierr == -1) return fail(" Wavemaker panel not in plane X=0 or Y=0 on body N=", ib);
            IDIPSYM = 1;
        }

        WLSEGS(ib, f, iseg, ierr);
        if (ierr != 0) return fail("Error reading GDF file for body N=", ib);
        f += NPANB(ib);
        iseg += NWLPANB(ib);
    }

    if (cfg::IWALLX0 == 1) ISX = -1;
    if (cfg::IWALLY0 == 1) ISY = -1;
    NEQN = f - 1;
    NWLSEG = iseg - 1;
    chan::close(IUTKDP);
}

}  // namespace zorva
