// Readers of the POTEN-to-FORCE file: header, model records, kernel lines
// and the potentials of each period.
#include <cmath>

#include "common/channels.hpp"
#include "common/messages.hpp"
#include "geometry/model.hpp"
#include "geometry/modelmore.hpp"
#include "main/config.hpp"
#include "main/fnames.hpp"
#include "main/runparams.hpp"
#include "main/symmetry.hpp"
#include "p2f/forcedata.hpp"
#include "p2f/p2f.hpp"
#include "p2f/p2flayout.hpp"
#include "platform/zorva_userlib.h"

namespace zorva {

namespace {
constexpr int IUGX = 2;    // data lines handed to the user geometry routine
constexpr int IURGK = 3;   // rgkinit.txt

// What a failed pass met in the file: the record and item that a damaged
// or foreign file fails on.
void fault_line(const p2f::Pass& p) { ERRMSG(" File " + fnames::FILEP2F + ", " + p.fault(), 0); }

// The reader's message, with what it met.
void read_error(int n, int& IERR, const p2f::Pass& p) {
    ERRMSG(" Error reading .P2F file, subroutine RDP2F", n);
    fault_line(p);
    IERR = 1;
}
}  // namespace

void RDP2FH(int IUNIT, int& IERR) {
    p2f::Pass p(p2f::Pass::Dir::Read, IUNIT);
    float ver = 0.0f;
    p2f::lay_version(p, ver);
    if (!p.ok()) return read_error(1, IERR, p);
    if (std::fabs(p2f::VERSION - ver) > 1.0E-4f) {
        // The version times 100 truncated, formed without rounding the
        // product to single precision (6.2 held as 6.1999998 shows 619).
        const double v100 = static_cast<double>(ver) * 100.0;
        const int iv = std::isfinite(v100) && std::fabs(v100) < 2.0e9 ? static_cast<int>(v100) : 0;
        ERRMSG(" Different version from P2F: VER=", iv);
        p.check(false, "1", "VER", "not the version of this program");
        return read_error(1, IERR, p);
    }
    p2f::lay_header(p);
    if (p.ok()) p2f::header_sane(p);
    if (!p.ok()) return read_error(1, IERR, p);
}

void RDP2F(int IUNIT, int& IERR) {
    using namespace model;
    p2f::Pass p(p2f::Pass::Dir::Read, IUNIT);
    if (cfg::ILOWHI == 1) {
        p2f::lay_gxcounts(p);
        if (!p.ok()) return read_error(2, IERR, p);
        for (int ib = 1; ib <= cfg::NBODY; ++ib) {
            const int nl = NGXLINE(ib);
            const bool user = IGDEF(ib) < 0 || IGDEF(ib) > 2;
            if (user && chan::open_scratch(IUGX) != 0) {
                p.check(false, "G5", "", "scratch file of the data lines cannot be opened");
                return read_error(2, IERR, p);
            }
            for (int k = 1; k <= nl; ++k) {
                std::string line;
                p2f::lay_line(p, "G5", line, 80);
                if (!p.ok()) return read_error(2, IERR, p);
                if (user) {
                    line.resize(80, ' ');
                    chan::write_line(IUGX, line);
                }
            }
            if (!user) continue;
            chan::rewind(IUGX);
            float U = 0.0f, V = 0.0f, X[3] = {}, XU[3] = {}, XV[3] = {};
            int IPATCH = 0, IRR0 = 0, IUDAT = IUGX, ierr = 0;
            GEOMXACT(&U, &V, &ib, &IPATCH, IS.ptr(1, ib), NPATCH.ptr(ib), &IRR0, X, XU, XV, IGDEF.data(), &IUDAT,
                     &ierr);
            IERR = ierr;
            if (ierr != 0) {
                ERRMSG(" Error reading .P2F file, data in GDF file", 2);
                IERR = 1;
                return;
            }
            chan::close(IUGX);
        }
    }
    p2f::lay_bulk(p);
    if (!p.ok()) return read_error(2, IERR, p);
    // Without the POTEN stage of this run the bodies' IRR of a higher-order
    // file come from the patch tables it holds.
    if (cfg::ILOWHI == 1 && cfg::IPOTEN == 0 && !p2f::irr_from_patches()) {
        IERR = 1;
        return;
    }
}

void RDP2FRGK(int IUNIT, int& IERR) {
    p2f::Pass p(p2f::Pass::Dir::Read, IUNIT);
    auto bad = [&IERR, &p] {
        ERRMSG(" Error reading .P2F file, data in RGKINIT file", 0);
        fault_line(p);
        IERR = 1;
    };
    if (chan::open(IURGK, fnames::RUNFILES[3], chan::Status::Replace) != 0) {
        ERRMSG("Unable to open rgkinit.txt", 0);
        IERR = 1;
        return;
    }
    int n = 0;
    p2f::lay_count(p, "K1", n);
    if (!p.ok()) {
        chan::close(IURGK);
        return bad();
    }
    model::NRGKLINES = n;
    for (int k = 1; k <= n; ++k) {
        std::string line;
        p2f::lay_line(p, "K2", line, 80);
        if (!p.ok()) {
            chan::close(IURGK);
            return bad();
        }
        chan::write_line(IURGK, line);
    }
    chan::close(IURGK);
}

void RDP2FPOT(int IUNIT, int IFLAG, int& IERR) {
    using namespace frc;
    const long n = model::NEQN;
    const int nsolc = sym::NSOLC, nsymc = sym::NSYMC, nbeta = NBETA0;
    const bool keepvel = run::IOPTN[5] != 0 || run::IOPTN[9] != 0;
    p2f::Pass p(p2f::Pass::Dir::Read, IUNIT);
    for (const auto& r : p2f::period_layout(IFLAG)) {
        if (r.kind == p2f::PerKind::DIFVEL && !VDIFP.allocated())
            p.alloc(VDIFP, {n, 3, static_cast<long>(NBETAP) * std::max(sym::NSYMF, nsymc)});
        if (!p.begin("S")) break;
        switch (r.kind) {
            case p2f::PerKind::RAD: p.arr(RADPOT, {n, nsolc}, "RADPOT"); break;
            case p2f::PerKind::RADSRC: p.arr(RADSRC, {n, nsolc}, "RADSRC"); break;
            case p2f::PerKind::RADVEL: p.arr(RADVEL, {n, 3, nsolc}, "RADVEL"); break;
            case p2f::PerKind::DIF: p.arr(DIFPOT, {n, nbeta, nsymc}, "DIFPOT"); break;
            case p2f::PerKind::DIFSRC: p.arr(DIFSRC, {n, nbeta, nsymc}, "DIFSRC"); break;
            case p2f::PerKind::DIFVEL: p.arr(VDIFP, {n, 3, static_cast<long>(nbeta) * nsymc}, "VDIFP"); break;
        }
        if (!p.end()) break;
        if (r.kind == p2f::PerKind::RADVEL && !keepvel) RADVEL.deallocate();
        if (r.kind == p2f::PerKind::DIFVEL && !keepvel) VDIFP.deallocate();
    }
    if (!p.ok()) {
        ERRMSG("Unable to read potentials in .P2F file", 0);
        fault_line(p);
        IERR = 1;
    }
}

}  // namespace zorva
