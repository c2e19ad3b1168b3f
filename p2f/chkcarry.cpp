// Before the POTEN stage solves: the records of its .p2f file that are known
// at that point (the version, the header with its counts, the geometry
// counts of a higher-order file and the body, period and panel or patch
// tables), walked as the file's description lays them out and held to the
// whole rule by which the FORCE stage reads them back (the value rule of the
// reals, the ranges of the integers, the relations between items), and the
// heights that the reader holds to the free surface and the bottom, so that
// no run solves to write a file that its own FORCE stage refuses.  Geometry
// the file cannot hold is refused naming the geometry file, the body and the
// panel or patch, the depth naming the potential control file, any other
// item as the reader names it (record, item, why).
//
// After the geometry step and the symmetry set-up the records hold what the
// writer will write, but for these: the number of periods, less when a
// break ends the loop early (its records shrink with it); the finite-depth
// wavenumbers WNUMK, set period by period in the loop (zeros before it; the
// model input bounds the periods and the infinite-depth wavenumbers they
// follow from); and the records the walk does not reach, written from
// scratch files after the solve: the data lines of a user geometry routine,
// the geometry-kernel lines, the run summary and the solutions of each
// period (the solutions are checked as each period is solved).
#include <string>
#include <string_view>

#include "common/messages.hpp"
#include "geometry/model.hpp"
#include "geometry/modelmore.hpp"
#include "geometry/patchwhere.hpp"
#include "main/config.hpp"
#include "main/fnames.hpp"
#include "p2f/p2f.hpp"
#include "p2f/p2flayout.hpp"
#include "panels/paneldata.hpp"

namespace zorva {

namespace {

// What an item of the panel or quadrature-point tables is to the user; its
// last index is a low-order panel, or a quadrature point of a patch.
struct Meaning {
    std::string_view item;
    const char* what;
    bool point;
};

constexpr Meaning MEANINGS[] = {
    {"PNLARR6", "vertices in the panel's plane", false},
    {"PNLARR5", "vertices in the panel's plane", false},
    {"PCENT", "centroid", false},
    {"PAXES", "axes", false},
    {"PPROP", "area or area moments", false},
    {"PNLARR4", "side lengths", false},
    {"PNLARR3", "size", false},
    {"VNMODE", "modal normals", false},
    {"XVERG", "quadrature points", false},
    {"PNLARR2", "quadrature weights", false},
    {"PNLARR1", "moments of the quadrature points", false},
    {"XQP", "quadrature point", true},
    {"ENQP", "normal", true},
    {"WQP", "surface Jacobian", true},
    {"VNQP", "modal normals", true},
};

constexpr const char* BEYOND = " beyond 1.E10 or not finite";

void refuse(const std::string& where, const std::string& why, int& IERR) {
    ERRMSG(" Error in GDF file" + where + ": " + why, 0);
    IERR = 1;
}

void refuse_pot(const std::string& why, int& IERR) {
    ERRMSG(" Error in POT file " + fnames::FILEPOT + ": " + why, 0);
    IERR = 1;
}

// ", body IB, panel I" of the file of global low-order panel G, or "" when
// G lies beyond the bodies' panels.
std::string panel_where(long g) {
    long end = 0;
    for (int ib = 1; ib <= cfg::NBODY; ++ib) {
        if (g > end && g <= end + model::NPANB(ib))
            return " " + fnames::GDFNAME(ib) + ", body " + std::to_string(ib) + ", panel " + std::to_string(g - end);
        end += model::NPANB(ib);
    }
    return {};
}

// Number of the quadrature points of patch P.
long points_of(int p) {
    using namespace model;
    return static_cast<long>(NU(p)) * NV(p) * IQUI(p) * IQVI(p);
}

// ", body IB (file), patch P" of quadrature point Q, or "" when Q lies
// beyond the patches' points.
std::string point_where(long q) {
    long end = 0;
    for (int p = 1; p <= model::NPATCHT; ++p) {
        end += points_of(p);
        if (q <= end) return ", " + PATCHWHERE(model::IBPTH(p), p);
    }
    return {};
}

// What an item of the header is to the user, as the potential control file
// gives it (in units of ULEN in the file).
struct Given {
    std::string_view item;
    const char* what;
};

constexpr Given GIVEN[] = {
    {"HBOT", "water depth HBOT beyond 1.E10 x ULEN or not finite"},
};

// What the check pass refused: a real's value named as the panel or patch
// it belongs to or as the input that gives it, else as the item of the
// file; any other rule of the reader as the reader names it.
void refuse_value(const p2f::Pass& p, int& IERR) {
    const std::string& item = p.failed_item();
    if (p.failed_at() == 0) {
        ERRMSG(" Error before the solve: the .p2f file cannot carry " + p.fault(), 0);
        IERR = 1;
        return;
    }
    for (const Given& g : GIVEN)
        if (g.item == item) return refuse_pot(g.what, IERR);
    for (const Meaning& m : MEANINGS) {
        if (m.item != item) continue;
        const std::string where = m.point ? point_where(p.failed_at()) : panel_where(p.failed_at());
        if (where.empty()) break;
        std::string why = std::string(m.what) + BEYOND;
        if (item == "PPROP")
            why += " (area moments beyond 1.E10 in units of ULEN, as of a square panel more than about 75 x ULEN "
                   "on a side: give a larger ULEN or smaller panels)";
        return refuse(where, why, IERR);
    }
    ERRMSG(" Error before the solve: the .p2f file cannot carry item " + item + ", index " +
               std::to_string(p.failed_at()) + " (record " + p.id() + "):" + BEYOND,
           0);
    IERR = 1;
}

// The centroids of a run without tanks lie between the bottom and the free
// surface, as the reader requires.
void low_heights(int& IERR) {
    if (cfg::NTANKS != 0) return;
    long g = 1;
    for (int ib = 1; ib <= cfg::NBODY; ++ib)
        for (int i = 1; i <= model::NPANB(ib); ++i, ++g)
            if (!p2f::wetted(pnl::PCENT(3, g)))
                return refuse(panel_where(g), "centroid above the free surface or below the bottom", IERR);
}

// So do the quadrature points of the patches whose heights the reader holds.
void high_heights(int& IERR) {
    using namespace model;
    long q = 0;
    for (int p = 1; p <= NPATCHT; ++p) {
        const int ib = IBPTH(p);
        const bool height = p2f::heights_held(p);
        const long n = points_of(p);
        for (long k = 1; k <= n && q < NQP; ++k) {
            ++q;
            if (height && !p2f::wetted(XQP(3, q) + cfg::XBODY(3, ib)))
                return refuse(", " + PATCHWHERE(ib, p), "point above the free surface or below the bottom", IERR);
        }
    }
}

}  // namespace

void CHKCARRY(int& IERR) {
    IERR = 0;
    p2f::Pass p(p2f::Pass::Dir::Check, p2f::IUP2F);
    float ver = p2f::VERSION;
    p2f::lay_version(p, ver);
    p2f::lay_header(p);
    p2f::header_sane(p);
    if (cfg::ILOWHI == 1) p2f::lay_gxcounts(p);
    p2f::lay_bulk(p);
    if (!p.ok()) return refuse_value(p, IERR);
    if (cfg::ILOWHI == 0)
        low_heights(IERR);
    else
        high_heights(IERR);
}

}  // namespace zorva
