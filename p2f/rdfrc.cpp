// The force control file: output options, mode list, body mass data and
// external matrices, Haskind headings and field points.
#include <cmath>
#include <vector>

#include "common/channels.hpp"
#include "common/fmtwrite.hpp"
#include "common/freeread.hpp"
#include "common/messages.hpp"
#include "geometry/model.hpp"
#include "geometry/modelin.hpp"
#include "main/config.hpp"
#include "main/runparams.hpp"
#include "p2f/forcedata.hpp"
#include "p2f/forceprep.hpp"
#include "panels/geomdata.hpp"

namespace zorva {

namespace {

using fread::I;
using fread::R;

int nmodes(int ib) { return 6 + (cfg::NEWMDS.extent(1) >= ib ? cfg::NEWMDS(ib) : 0); }

// Body lengths (c.g. coordinates, radii of gyration) are bounded as the
// geometry's coordinates are (COORDSOK): beyond that the mass matrix leaves
// single precision.
bool lengths_ok(const float* v, int n) { return COORDSOK(v, n, model::ULENI); }

void notes() {
    ERRMSG("Note: if data is missing from the .frc file this", 0);
    ERRMSG("may precede the line where the READ error occurs.", 0);
}

// A failure with its message (and value), the note lines and status 1.
bool fail(int& IERR, std::string_view text, int value = 0) {
    ERRMSG(text, value);
    notes();
    IERR = 1;
    return false;
}
bool fail2(int& IERR, std::string_view text, int value, std::string_view second) {
    ERRMSG(text, value);
    ERRMSG(second, 0);
    notes();
    IERR = 1;
    return false;
}
// Body lengths beyond the limit: the reader's message for the record (none
// inside a body file), then the file, the item, the body and the limit.  No
// note: the values were read, nothing is missing.
bool too_far(int& IERR, std::string_view text, const std::string& file, std::string_view item, int ib) {
    if (!text.empty()) ERRMSG(text, 0);
    ERRMSG("Error in FRC file " + file + ": " + std::string(item) + " beyond 1.E6 x ULEN for body N=", ib);
    IERR = 1;
    return false;
}
// The first body of the XCG,YCG,ZCG record (three values a body) with a
// length beyond the limit.
int far_body(const float* cg, int nb) {
    for (int ib = 1; ib <= nb; ++ib)
        if (!lengths_ok(cg + 3 * (ib - 1), 3)) return ib;
    return 0;
}

// Failures inside a body or matrix file: the screen only, then the notes.
bool file_fail(int& IERR, std::string_view name, bool open) {
    const std::string n = fmt::A(name.substr(0, std::min<std::size_t>(name.size(), 20)), -1);
    std::string padded = n;
    padded.resize(20, ' ');
    SCRLINE(" ");
    SCRLINE(open ? " " + padded + " file cannot be opened" : " Unable to read data in file     " + padded);
    notes();
    IERR = 1;
    return false;
}

// The header line and the layout value of line 2 (0 when line 2 is the
// option line).  The unit is left at the option line.
int header(int unit, std::string& head, int& old, bool main, int& IERR) {
    if (fread::read_text(unit, head, 72) != 0) return fail(IERR, "Error reading header in .FRC file"), 1;
    if (main) SCRLINE(" " + head);
    int first = 0;
    if (fread::read_group(unit, {I(first)}) != 0) return fail(IERR, "Error reading .FRC file, line 2"), 1;
    old = 0;
    if (first >= 2) {
        old = first;
        return 0;
    }
    chan::rewind(unit);
    if (fread::read_text(unit, head, 72) != 0) return fail(IERR, "Error reading header in .FRC file"), 1;
    return 0;
}

// A square block of EXTMAT(K, ...): rows and columns i0+1 .. i0+n, first
// index fastest.
int read_block(int unit, int K, int i0, int n) {
    std::vector<float> v(static_cast<std::size_t>(n) * static_cast<std::size_t>(n));
    int st = fread::read_group(unit, {R(v.data(), n * n)});
    if (st != 0) return st;
    for (int j = 1; j <= n; ++j)
        for (int i = 1; i <= n; ++i)
            frc::EXTMAT(K, i0 + i, i0 + j) = v[static_cast<std::size_t>((j - 1) * n + (i - 1))];
    return 0;
}

// A matrix in a file of its own, on unit IU0 + K (IU0 the unit of a
// body's own force control file).
bool matrix_file(int IU0, const std::string& name, int K, int i0, int n, int& IERR) {
    const int unit = IU0 + K;
    if (chan::open(unit, name, chan::Status::Old) != 0) return file_fail(IERR, name, true);
    std::string head;
    bool ok = fread::read_text(unit, head, 72) == 0 && read_block(unit, K, i0, n) == 0;
    chan::close(unit);
    if (!ok) return file_fail(IERR, name, false);
    frc::HEADEXT[static_cast<std::size_t>(K)] = head;
    return true;
}

// The force control file of body IB, open on unit U.
bool body_file(int u, int ib, int ioff, int& IERR) {
    using namespace frc;
    const std::string& name = FILEFRCB(ib);
    std::string head;
    int old = 0;
    // Errors inside a body file name the file on the screen.
    auto bad = [&] { return file_fail(IERR, name, false); };
    if (fread::read_text(u, head, 72) != 0) return bad();
    int first = 0;
    if (fread::read_group(u, {I(first)}) != 0) return bad();
    if (first >= 2) {
        old = first;
        cfg::IALTFRCN(ib) = old;
        ERRMSG("WARNING: Old FRC format is deprecated, IALTFRC=", cfg::IALTFRC);
    } else {
        chan::rewind(u);
        if (fread::read_text(u, head, 72) != 0) return bad();
    }
    HEADFRCB(ib) = head;
    int skip[9];
    if (fread::read_group(u, {I(skip, 9)}) != 0) return bad();
    auto far = [&](std::string_view item) { return too_far(IERR, "", name, item, ib); };
    if (cfg::IALTFRCN(ib) == 1) {
        if (fread::read_group(u, {R(CGBODY(3, ib))}) != 0) return bad();
        if (!lengths_ok(&CGBODY(3, ib), 1)) return far("ZCG");
        if (fread::read_group(u, {R(XPRDCT.ptr(1, 1, ib), 9)}) != 0) return bad();
        if (!lengths_ok(XPRDCT.ptr(1, 1, ib), 9)) return far("radius of gyration XPRDCT");
        MASSGYR(model::NMODT, model::ULENI, ib, ioff);
        return true;
    }
    float dens = 0.0f;
    if (fread::read_group(u, {R(dens)}) != 0) return bad();
    if (fread::read_group(u, {R(CGBODY.ptr(1, ib), 3)}) != 0) return bad();
    if (!lengths_ok(CGBODY.ptr(1, ib), 3)) return far("XCG,YCG,ZCG");
    const int n = nmodes(ib);
    for (int K = 1; K <= 3; ++K) {
        int& im = IMASSB(K, ib);
        if (fread::read_group(u, {I(im)}) != 0) return bad();
        if (im < 0 || im > 2)
            return fail2(IERR, " Illegal values of IMASS, IDAMP, or ISTIF ", 0, "Error reading data in .FRC file");
        if (im == 1 && read_block(u, K, ioff, n) != 0) return bad();
        if (im == 2) {
            std::string fn;
            if (fread::read_fname(u, fn) != 0) return bad();
            FILEEXT[static_cast<std::size_t>(K)] = fn;
            if (!matrix_file(u, fn, K, ioff, n, IERR)) return false;
        }
    }
    SCALEXM(model::NMODT, RHO, model::GRAV, model::ULENI, ib, ib, ioff);
    return true;
}
}  // namespace

void ALLXFLD(int NEW, int& IERR) {
    if (!frc::XFIELD.resize_keep(3, NEW) || !frc::IFPTANK.resize_keep(NEW)) {
        ERRMSG("Insufficient memory to allocate XFIELD array", 0);
        IERR = 1;
    }
}

void MASSGYR(int NMODT, float ULENI, int IB, int IOFF) {
    (void)NMODT;
    using frc::EXTMATND;
    const float m = pnl::VOLB(IB);
    const float L = model::ULEN(1);
    const float xb = pnl::XBUOY(1, IB), yb = pnl::XBUOY(2, IB);
    const float zg = frc::CGBODY(3, IB) * ULENI;
    frc::CGBODY(1, IB) = xb * L;
    frc::CGBODY(2, IB) = yb * L;
    const int o = IOFF;
    auto M = [&](int i, int j) -> float& { return EXTMATND(1, o + i, o + j); };
    M(1, 1) = M(2, 2) = M(3, 3) = m;
    for (int l = 1; l <= 3; ++l)
        for (int k = 1; k <= 3; ++k) {
            const float r = frc::XPRDCT(l, k, IB);
            M(3 + l, 3 + k) = m * r * std::fabs(r) * ULENI * ULENI;
        }
    M(1, 5) = m * zg;
    M(1, 6) = -m * yb;
    M(2, 4) = -m * zg;
    M(2, 6) = m * xb;
    M(3, 4) = m * yb;
    M(3, 5) = -m * xb;
    for (int l = 1; l <= 3; ++l)
        for (int k = 1; k <= 3; ++k) M(3 + l, k) = M(k, 3 + l);
    auto C = [&](int i, int j) -> float& { return pnl::CHYD(o + i, o + j); };
    C(4, 4) += -m * zg;
    C(5, 5) += -m * zg;
    C(4, 6) = 0.0f;
    C(5, 6) = 0.0f;
}

void SCALEXM(int NMODT, float RHO, float GRAV, float ULENI, int IB1, int IB2, int IOFF) {
    (void)NMODT;
    using frc::EXTMAT;
    using frc::EXTMATND;
    if (IB2 < IB1) return;
    // Global mode and local index of every mode of the bodies in range.
    std::vector<int> glob, loc;
    std::vector<int> first;  // offset of each body
    int o = IOFF;
    for (int ib = IB1; ib <= IB2; ++ib) {
        first.push_back(o);
        for (int l = 1; l <= nmodes(ib); ++l) {
            glob.push_back(o + l);
            loc.push_back(l);
        }
        o += nmodes(ib);
    }
    const float s0 = ULENI * ULENI * ULENI / RHO;
    for (std::size_t a = 0; a < glob.size(); ++a)
        for (std::size_t b = 0; b < glob.size(); ++b) {
            float s = s0;
            if (loc[a] >= 4 && loc[a] <= 6) s *= ULENI;
            if (loc[b] >= 4 && loc[b] <= 6) s *= ULENI;
            const int i = glob[a], j = glob[b];
            EXTMATND(1, i, j) = EXTMAT(1, i, j) * s;
            EXTMATND(2, i, j) = EXTMAT(2, i, j) * s;
            EXTMATND(3, i, j) = EXTMAT(3, i, j) * s / (GRAV * ULENI);
        }
    for (int ib = IB1; ib <= IB2; ++ib) {
        const int b = first[static_cast<std::size_t>(ib - IB1)];
        const float m = EXTMATND(1, b + 3, b + 3) * ULENI;
        pnl::CHYD(b + 4, b + 4) -= frc::CGBODY(3, ib) * m;
        pnl::CHYD(b + 5, b + 5) -= frc::CGBODY(3, ib) * m;
        pnl::CHYD(b + 4, b + 6) += frc::CGBODY(1, ib) * m;
        pnl::CHYD(b + 5, b + 6) += frc::CGBODY(2, ib) * m;
    }
}

void RDFRC(int IUNIT, float ULENI, int& IERR, int IUFIRST) {
    using namespace frc;
    auto& IOPTN = run::IOPTN;
    const int nb = cfg::NBODY, nm = model::NMODT;
    const int u = IUNIT;
    model::ULENI = ULENI;
    if (!EXTMAT.allocate(3, nm, nm) || !EXTMATND.allocate(3, nm, nm) ||
        (!CGBODY.allocated() && !CGBODY.allocate(3, nb)) || (!XPRDCT.allocated() && !XPRDCT.allocate(3, 3, nb)) ||
        (!IMASSB.allocated() && !IMASSB.allocate(3, nb)) || (!FILEFRCB.allocated() && !FILEFRCB.allocate(nb)) ||
        (!HEADFRCB.allocated() && !HEADFRCB.allocate(nb))) {
        ERRMSG("Insufficient RAM to allocate .FRC inputs ", 0);
        IERR = 1;
        return;
    }
    if (cfg::IALTFRCN.extent(1) < nb && !cfg::IALTFRCN.resize_keep_fill(1, nb)) {
        ERRMSG("Insufficient RAM to allocate .FRC inputs ", 0);
        IERR = 1;
        return;
    }

    // Header, layout, options.
    int old = 0;
    if (header(u, HEADFRC, old, true, IERR) != 0) return;
    if (old >= 2) {
        cfg::IALTFRC = old;
        ERRMSG("WARNING: Old FRC format is deprecated, IALTFRC=", old);
    }
    if (fread::read_group(u, {I(&IOPTN[1], 9)}) != 0) return (void)fail(IERR, "Error reading .FRC file, line 2");

    // Mode list.
    if (IOPTN[4] < 0) {
        int ndfr = 0;
        if (fread::read_group(u, {I(ndfr)}) != 0)
            return (void)fail(IERR, "Error reading .FRC file, number of degrees of freedom");
        if (ndfr != nm)
            return (void)fail2(IERR, " Length of MODE array not equal to NDFR=", nm, "Error reading data in .FRC file");
        if (!MODE.allocate(nm)) {
            ERRMSG("Insufficient RAM to allocate .FRC inputs ", 0);
            IERR = 1;
            return;
        }
        if (nm > 0 && fread::read_group(u, {I(MODE.data(), nm)}) != 0)
            return (void)fail(IERR, "Error reading .FRC file, array MODE of active modes");
        if (IOPTN[4] == -1 || IOPTN[4] == -2) IOPTN[4] = -IOPTN[4];
    }

    // Body data.
    const int alt = cfg::IALTFRC;
    if (alt == 1) {
        int o = 0;
        for (int ib = 1; ib <= nb; ++ib) {
            if (fread::read_group(u, {R(CGBODY(3, ib))}) != 0)
                return (void)fail(IERR, "Error reading .FRC file, body c.g. data XCG,YCG,ZCG");
            if (!lengths_ok(&CGBODY(3, ib), 1))
                return (void)too_far(IERR, "Error reading .FRC file, body c.g. data XCG,YCG,ZCG", chan::name(u),
                                     "ZCG", ib);
            if (fread::read_group(u, {R(XPRDCT.ptr(1, 1, ib), 9)}) != 0)
                return (void)fail(IERR, "Error reading .FRC file, XPRDCT matrix");
            if (!lengths_ok(XPRDCT.ptr(1, 1, ib), 9))
                return (void)too_far(IERR, "Error reading .FRC file, XPRDCT matrix", chan::name(u),
                                     "radius of gyration XPRDCT", ib);
            MASSGYR(nm, ULENI, ib, o);
            o += nmodes(ib);
        }
    } else {
        if (fread::read_group(u, {R(RHO)}) != 0 || !(RHO > 0.0f))
            return (void)fail(IERR, "Error reading .FRC file, fluid density RHO");
        if (alt == 2) {
            if (fread::read_group(u, {R(CGBODY.data(), 3 * nb)}) != 0)
                return (void)fail(IERR, "Error reading .FRC file, body c.g. data XCG,YCG,ZCG");
            if (const int ib = far_body(CGBODY.data(), nb); ib != 0)
                return (void)too_far(IERR, "Error reading .FRC file, body c.g. data XCG,YCG,ZCG", chan::name(u),
                                     "XCG,YCG,ZCG", ib);
            for (int K = 1; K <= 3; ++K) {
                int& im = IMASS[static_cast<std::size_t>(K)];
                if (fread::read_group(u, {I(im)}) != 0)
                    return (void)fail2(IERR, "Error reading .FRC file, external force index, K=", K,
                                       "  K=1,2,3 for mass, damping, stiffness matrix");
                if (im < 0 || im > 2)
                    return (void)fail2(IERR, " Illegal values of IMASS, IDAMP or ISTIF ", 0,
                                       "Error reading data in .FRC file");
                if (im == 1 && read_block(u, K, 0, nm) != 0)
                    return (void)fail2(IERR, "Error reading .FRC file, external force index, K=", K,
                                       "  K=1,2,3 for mass, damping, stiffness matrix");
                if (im == 2) {
                    std::string fn;
                    if (fread::read_fname(u, fn) != 0)
                        return (void)fail2(IERR, "Error reading .FRC file, external force filename K=", K,
                                           "  K=1,2,3 for mass, damping, stiffness matrix");
                    FILEEXT[static_cast<std::size_t>(K)] = fn;
                    if (!matrix_file(IUFIRST, fn, K, 0, nm, IERR)) return;
                }
            }
            SCALEXM(nm, RHO, model::GRAV, ULENI, 1, nb, 0);
        } else {
            int o = 0;
            for (int ib = 1; ib <= nb; ++ib) {
                std::string fn;
                if (fread::read_fname(u, fn) != 0 || fn.empty())
                    return (void)fail(IERR, "Error reading .FRC file, filename for body N=", ib);
                FILEFRCB(ib) = fn;
                if (chan::open(IUFIRST, fn, chan::Status::Old) != 0) return (void)file_fail(IERR, fn, true);
                ECHOINP(fn, IUFIRST, 0);
                const bool ok = body_file(IUFIRST, ib, o, IERR);
                chan::close(IUFIRST);
                if (!ok) return;
                o += nmodes(ib);
            }
        }
    }

    // Haskind headings.
    if (fread::read_group(u, {I(NBETAH)}) != 0 || NBETAH < 0 || NBETAH > fread::MAXITEMS)
        return (void)fail(IERR, "Error reading .FRC file, number of Haskind headings NBETAH");
    if (NBETAH > 0) {
        if (IOPTN[4] == 2) {
            ERRMSG(" NBETAH > 0 is inconsistent with IOPTN(4) = 2", 0);
            IERR = 1;
            return;
        }
        if (!model::BETA.allocate(NBETAH) || !model::SINBETA.allocate(NBETAH) || !model::COSBETA.allocate(NBETAH)) {
            ERRMSG("Insufficient RAM to allocate .FRC inputs ", 0);
            IERR = 1;
            return;
        }
        if (fread::read_group(u, {R(model::BETA.data(), NBETAH)}) != 0)
            return (void)fail(IERR, "Error reading .FRC file, Haskind headings BETAH");
    }

    // Field points and field arrays.
    if (fread::read_group(u, {I(NFIELD)}) != 0 || NFIELD < 0 || NFIELD > fread::MAXITEMS)
        return (void)fail(IERR, "Error reading .FRC file, number of field points NFIELD");
    if (!XFIELD.allocate(3, NFIELD) || !IFPTANK.allocate(NFIELD)) {
        ERRMSG("Insufficient RAM to allocate .FRC inputs ", 0);
        IERR = 1;
        return;
    }
    for (int n = 1; n <= NFIELD; ++n) {
        int st = cfg::ITANKFPT == 0 ? fread::read_group(u, {R(XFIELD.ptr(1, n), 3)})
                                    : fread::read_group(u, {I(IFPTANK(n)), R(XFIELD.ptr(1, n), 3)});
        if (st != 0) return (void)fail(IERR, "Error reading .FRC file, field points XFIELD");
    }
    if (cfg::IFIELD_ARRAYS > 0) {
        auto bad = [&] { return (void)fail(IERR, "Error reading .FRC file, field points XFIELD"); };
        int narr = 0;
        if (fread::read_group(u, {I(narr)}) != 0 || narr < 0) return bad();
        for (int a = 1; a <= narr; ++a) {
            int tank = 0, nx = 0, ny = 0, nz = 0;
            float x0 = 0, dx = 0, y0 = 0, dy = 0, z0 = 0, dz = 0;
            if (fread::read_group(u, {I(tank)}) != 0 || fread::read_group(u, {I(nx), R(x0), R(dx)}) != 0 ||
                fread::read_group(u, {I(ny), R(y0), R(dy)}) != 0 || fread::read_group(u, {I(nz), R(z0), R(dz)}) != 0)
                return bad();
            if (nx < 0 || ny < 0 || nz < 0) return bad();
            const long add = static_cast<long>(nx) * ny * nz;
            if (add > (1L << 26)) return bad();
            const int n0 = NFIELD;
            ALLXFLD(n0 + static_cast<int>(add), IERR);
            if (IERR == 1) return;
            NFIELD = n0 + static_cast<int>(add);
            int n = n0;
            for (int iz = 1; iz <= nz; ++iz)
                for (int iy = 1; iy <= ny; ++iy)
                    for (int ix = 1; ix <= nx; ++ix) {
                        ++n;
                        XFIELD(1, n) = x0 + static_cast<float>(ix - 1) * dx;
                        XFIELD(2, n) = y0 + static_cast<float>(iy - 1) * dy;
                        XFIELD(3, n) = z0 + static_cast<float>(iz - 1) * dz;
                        IFPTANK(n) = tank;
                    }
        }
    }

    // Field points and field options.
    if ((IOPTN[6] != 0 || IOPTN[7] != 0) && NFIELD == 0)
        return (void)fail2(IERR, " IOPTN(6) and IOPTN(7) >0 but NFIELD=0", 0, "Error reading data in .FRC file");
    if (IOPTN[6] == 0 && IOPTN[7] == 0 && NFIELD > 0)
        return (void)fail2(IERR, " IOPTN(6)=0 and IOPTN(7)=0 but NFIELD>0", 0, "Error reading data in .FRC file");
}

}  // namespace zorva
