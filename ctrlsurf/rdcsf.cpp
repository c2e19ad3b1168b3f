// The control-surface reader: per body its .csf file (or the two files of
// an index file), the surface's patches or panels turned into quadrature
// points, the points stored with the mirror images the surface asks for,
// and after the last body their global positions and the arrays of the
// period's values.
#include <algorithm>
#include <cmath>

#include "common/channels.hpp"
#include "common/fnamext.hpp"
#include "common/freeread.hpp"
#include "common/messages.hpp"
#include "ctrlsurf/ctrlsurf.hpp"
#include "geometry/bspline.hpp"
#include "geometry/model.hpp"
#include "geometry/modelin.hpp"
#include "geometry/modelmore.hpp"
#include "geometry/rgklink.hpp"
#include "main/config.hpp"
#include "main/fnames.hpp"
#include "main/symmetry.hpp"
#include "p2f/forcedata.hpp"
#include "panels/irrfs.hpp"
#include "platform/zorva_userlib.h"

namespace zorva {

namespace {

using csf::Points;

// The points of one body, kind by kind (free surface, submerged,
// waterline), images included, in the order they are stored.
struct BodyPoints {
    Points F, S, W;
};

// Appends the N points of P from entry 0 to OUT, then their images in x
// (MX = 1) and then the images in y of all so far (MY = 1).
void CSFPTSYM(const Points& P, Points& OUT, int MX, int MY) {
    const std::size_t n0 = static_cast<std::size_t>(OUT.n());
    for (int j = 0; j < P.n(); ++j) OUT.add(&P.x[3 * static_cast<std::size_t>(j)], &P.vn[3 * static_cast<std::size_t>(j)], P.w[static_cast<std::size_t>(j)]);
    std::size_t c = static_cast<std::size_t>(P.n());
    for (int k = 0; k < 2; ++k) {
        if ((k == 0 ? MX : MY) != 1) continue;
        for (std::size_t j = 0; j < c; ++j) {
            float x[3], vn[3];
            for (std::size_t d = 0; d < 3; ++d) {
                x[d] = OUT.x[3 * (n0 + j) + d];
                vn[d] = OUT.vn[3 * (n0 + j) + d];
            }
            x[k] = -x[k];
            vn[k] = -vn[k];
            OUT.add(x, vn, OUT.w[n0 + j]);
        }
        c *= 2;
    }
}

// One surface's points, with its images, onto the body's lists.
void store_surface(int ib, const Points& F, const Points& S, const Points& W, BodyPoints& B, int& IERR) {
    using namespace csf;
    if ((ISCSF(1, ib) == 0 && ISXBODY == 1) || (ISCSF(2, ib) == 0 && ISYBODY == 1)) {
        ERRMSG(" Symmetry in CSF file inconsistent with IS in GDF", 0);
        ERRMSG("                                     body ", ib);
        IERR = 1;
        return;
    }
    const int mx = ISCSF(1, ib) == 1 && model::ISX <= 0 ? 1 : 0;
    const int my = ISCSF(2, ib) == 1 && model::ISY <= 0 ? 1 : 0;
    CSFPTSYM(F, B.F, mx, my);
    CSFPTSYM(S, B.S, mx, my);
    CSFPTSYM(W, B.W, mx, my);
}

// The body's points into the point set, each kind contiguous.
void store_body(int ib, const BodyPoints& B, int& IERR) {
    using namespace csf;
    const long add = static_cast<long>(B.F.n()) + B.S.n() + B.W.n();
    const long total = NCSFPT + add;
    if (add == 0) return;
    if (total > fread::MAXITEMS || !XCSF.resize_keep(3, total) || !VNCSF.resize_keep(3, total) ||
        !WCSF.resize_keep(total)) {
        ERRMSG(" Error allocating CSFARRAYS arrays in RDCSF ", 0);
        ERRMSG("                                     body ", ib);
        IERR = 1;
        return;
    }
    NCSFPTB(ib) = static_cast<int>(add);
    auto put = [&](const Points& P, int& off, int& cnt) {
        if (P.n() == 0) return;
        off = NCSFPT;
        cnt = P.n();
        for (int j = 0; j < P.n(); ++j) {
            const auto u = static_cast<std::size_t>(j);
            for (int d = 1; d <= 3; ++d) {
                XCSF(d, NCSFPT + 1) = P.x[3 * u + static_cast<std::size_t>(d - 1)];
                VNCSF(d, NCSFPT + 1) = P.vn[3 * u + static_cast<std::size_t>(d - 1)];
            }
            WCSF(NCSFPT + 1) = P.w[u];
            ++NCSFPT;
        }
    };
    put(B.F, ICSFF(ib), NCSFF(ib));
    put(B.S, ICSFS(ib), NCSFS(ib));
    put(B.W, ICSFW(ib), NCSFW(ib));
}

void RDCSF0(int NPATCSF, float ZLIM, int& IERR) {
    using namespace csf;
    if (!XVCSF.allocate(4, 3, NPATCSF)) {
        ERRMSG(" Allocation error for XVCSF array in RDCSF0 ", 0);
        IERR = 1;
        return;
    }
    for (int ip = 1; ip <= NPATCSF; ++ip) {
        float v[12] = {};
        if (fread::read_group(IUCSF, {fread::R(v, 12)}) != 0) {
            ERRMSG(" Error reading CSF file for patch ", ip);
            IERR = 1;
            return;
        }
        if (!COORDSOK(v, 12, model::ULENI)) {
            ERRMSG(" Error in CSF file: vertex beyond 1.E6 x ULEN for patch ", ip);
            IERR = 1;
            return;
        }
        for (int k = 1; k <= 4; ++k)
            for (int c = 1; c <= 3; ++c) XVCSF(k, c, ip) = v[3 * (k - 1) + c - 1];
        for (int k = 1; k <= 4; ++k)
            if (XVCSF(k, 3, ip) * model::ULENI > ZLIM) {
                ERRMSG(" CSF vertex above free surface for patch ", ip);
                IERR = 1;
                return;
            }
    }
}

// The body waterline tables of a surface bounded by the waterline, and the
// body numbers of the panels that the low-order waterline sets up.
void release_waterline() {
    if (csf::ICSFAUTO != 1) return;
    wl::reset();
    if (cfg::ILOWHI == 0) model::IBPTH.deallocate();
}

// One surface of body ib from the open .csf unit: its points onto B.
// FOUND = 0 when a low-order file holds no panels.
void read_surface(int ib, int isurf, const std::string& cspname, BodyPoints& B, int& FOUND, int& IERR) {
    using namespace csf;
    using fread::I;
    using fread::R;
    const float zlim = 1.0e-6f - cfg::XBODY(3, ib);
    ICSFAUTO = 0;
    FOUND = 1;
    Points F, S, W;
    std::string header;
    int ilow = 0;
    auto fail = [&](const char* msg) {
        ERRMSG(msg, ib);
        IERR = 1;
    };
    auto body_line = [&] {
        release_waterline();
        ERRMSG("                                     body ", ib);
        IERR = 1;
    };
    if (fread::read_text(IUCSF, header, 80) != 0) return fail(" Error reading header from CSF for body ");
    if (fread::read_group(IUCSF, {I(ilow)}) != 0) return fail(" Error reading ILOWHICSF in CSF for body ");
    if (fread::read_group(IUCSF, {I(ISCSF.ptr(1, ib), 2)}) != 0)
        return fail(" Error reading symmetry indices of CSF for body ");
    if (ilow == 0) {
        int npan = 0;
        RDCSFL(ib, zlim, npan, S, F, W, IERR);
        if (IERR != 0) return;
        if (cfg::IPLTDAT > 0) {
            CSFPLTP(ib, 0, npan, IERR);
            if (IERR != 0) return;
        }
        if (npan == 0) {
            FOUND = 0;
            return;
        }
        return store_surface(ib, F, S, W, B, IERR);
    }
    int npatcsf = 0;
    if (fread::read_group(IUCSF, {I(npatcsf), I(ICDEF(ib)), R(PSZCSF(ib))}) != 0)
        return fail(" Error reading 4th line from CSF for body ");
    PSZCSF(ib) *= model::ULENI;
    if (npatcsf > fread::MAXITEMS || ICDEF(ib) < 0) return fail(" Error reading 4th line from CSF for body ");
    // Patches given in the file (B-spline or user-routine surfaces) must be
    // there: a surface without patches has no points.
    if (npatcsf < 1 && ICDEF(ib) != 0 && ICDEF(ib) != 2)
        return fail(" Error: control surface without patches, NPATCSF < 1 in CSF for body ");
    if (npatcsf <= 0 && ICDEF(ib) == 0) {
        RDCSFA(npatcsf, ib, IERR);
        ICSFAUTO = 1;
    } else if (ICDEF(ib) == 0) {
        RDCSF0(npatcsf, zlim, IERR);
    } else if (ICDEF(ib) == 1) {
        RDCSFBSP(npatcsf, IERR);
    } else if (ICDEF(ib) == 2) {
        INITRGKCSF(ib, IERR);
        if (IERR == 0) {
            RGKNPATCSF(npatcsf);
            if (npatcsf < 1 || npatcsf > fread::MAXITEMS) {
                ERRMSG(" Error calling RGKNPATCSF for body ", ib);
                IERR = 1;
                return;
            }
        }
    } else {
        RDCSFGX(ib, IERR);
    }
    if (IERR != 0) return body_line();
    RDCSFSPL(ib, PSZCSF(ib), npatcsf, cspname, IERR);
    if (IERR != 0) return body_line();

    // Low-order panels of the surface, counted wide so that no size wraps.
    double nlow = 0.0;
    for (int ip = 1; ip <= npatcsf; ++ip) nlow += static_cast<double>(NUC(ip)) * NVC(ip);
    nlow *= static_cast<double>(cfg::ILOWGDF) * cfg::ILOWGDF;
    if (cfg::ILOWGDF > 0 && (nlow > fread::MAXITEMS || !XVERC.allocate(4, 3, static_cast<long>(nlow)))) {
        ERRMSG(" Allocation error for XVERC in RDCSF", 0);
        IERR = 1;
        return;
    }
    int nlowc = 0;
    for (int ip = 1; ip <= npatcsf; ++ip) {
        float du, dv, du2, dv2;
        int ifs = 0;
        CSFFSCHK(ib, ip, 3, du, dv, du2, dv2, ifs, S, F, IERR);
        if (IERR == 0 && cfg::ICTRSURF == 1 && ifs == 0) CSFWLCHK(ib, ip, 3, du, dv, du2, dv2, W, IERR);
        if (IERR == 0 && cfg::ILOWGDF > 0) CSFLOWP(ib, ip, nlowc, IERR);
        if (IERR == 0 && cfg::IPLTDAT > 0) CSFPLTP(ib, ip, npatcsf, IERR);
        if (IERR != 0) return body_line();
    }
    // The waterline of this body is no longer needed (the next body builds its own).
    release_waterline();
    chan::close(IUCSF);
    if (cfg::ILOWGDF > 0) {
        OPLOWCSF(ib, isurf, nlowc, header, IERR);
        if (IERR != 0) return body_line();
    }
    store_surface(ib, F, S, W, B, IERR);
}

}  // namespace

void RDCSFGX(int IB, int& IERR) {
    using namespace csf;
    int nlines = 0;
    auto bad = [&IERR] {
        ERRMSG(" Error GEOMXACT data lines from CSF ", 0);
        chan::close(IUCSP);
        IERR = 1;
    };
    if (fread::read_group(IUCSF, {fread::I(nlines)}) != 0 || nlines < 0 || nlines > fread::MAXITEMS) return bad();
    if (chan::open_scratch(IUCSP) != 0) return bad();
    for (int i = 1; i <= nlines; ++i) {
        std::string line;
        if (fread::read_line(IUCSF, line) != 0) return bad();
        line.resize(80, ' ');
        chan::write_line(IUCSP, line);
    }
    chan::rewind(IUCSP);
    if (nlines > 0) {
        float u = 0.0f, v = 0.0f, X[3] = {}, XU[3] = {}, XV[3] = {};
        const int ip = 0, isxy[2] = {0, 0}, npatch = 0, irr = 0, iunit = IUCSP;
        int ierr = 0;
        GEOMXACT(&u, &v, &IB, &ip, isxy, &npatch, &irr, X, XU, XV, ICDEF.ptr(1), &iunit, &ierr);
        if (ierr != 0) {
            ERRMSG(" Error calling GEOMXACT in RDCSF for body ", IB);
            IERR = 1;
            return;
        }
    }
    chan::close(IUCSP);
}

void RDCSF(int& IERR) {
    using namespace csf;
    IERR = 0;
    const int nb = cfg::NBODY;
    bool ok = true;
    for (auto* a : {&NCSFPTB, &NCSFF, &NCSFS, &NCSFW, &ICSFF, &ICSFS, &ICSFW}) ok = a->allocate(nb) && ok;
    if (!ok || !ISCSF.allocate(2, nb)) {
        ERRMSG(" Allocation error in RDCSF, FILENCSF", 0);
        IERR = 1;
        return;
    }
    if (!PSZCSF.allocate(nb) || !ICDEF.allocate(nb)) {
        ERRMSG(" Allocation error for PSZCSF in RDCSF", 0);
        IERR = 1;
        return;
    }
    int ig = 0;
    GAUSLE(-1.0f, 1.0f, &XGCSF[1], &WGCSF[1], 3, ig);
    NCSFPT = 0;
    for (auto* a : {&XCSF, &VNCSF, &XCSFG}) a->deallocate();
    WCSF.deallocate();
    PLTOPEN = false;
    auto warn = [](int ib) { ERRMSG("WARNING: No control surface found for body: ", ib); };
    auto finish = [&] {
        chan::close(IUCSF);
        if (PLTOPEN) chan::close(IUCSFP);
        PLTOPEN = false;
    };

    for (int ib = 1; ib <= nb && IERR == 0; ++ib) {
        FNAMEXT(fnames::GDFNAME(ib), FILECSF, ".csf");
        if (chan::open(IUCSF, FILECSF, chan::Status::Old) != 0) {
            warn(ib);
            continue;
        }
        // Title and kind of the file, then the whole file (or the head of a
        // panel file) into the run log.
        auto head = [&](const std::string& name, int& ilow) {
            std::string t;
            if (fread::read_text(IUCSF, t, 80) != 0) {
                ERRMSG(" Error reading header from CSF for body ", ib);
                return false;
            }
            if (fread::read_group(IUCSF, {fread::I(ilow)}) != 0) {
                ERRMSG(" Error reading ILOWHICSF in CSF for body ", ib);
                return false;
            }
            ECHOINP(name, IUCSF, ilow == 0 ? 10 : 0);
            return true;
        };
        int ilow = 0;
        if (!head(FILECSF, ilow)) {
            IERR = 1;
            break;
        }
        ISXBODY = model::IREFLB.allocated() && model::IREFLB(1, ib) == 1 ? 0 : model::IS(1, ib);
        ISYBODY = model::IREFLB.allocated() && model::IREFLB(2, ib) == 1 ? 0 : model::IS(2, ib);
        std::vector<std::string> files;
        if (ilow == 2) {
            std::string t, f1, f2;
            int k = 0;
            if (fread::read_text(IUCSF, t, 80) != 0 || fread::read_group(IUCSF, {fread::I(k)}) != 0 ||
                fread::read_text(IUCSF, f1, 24) != 0 || fread::read_text(IUCSF, f2, 24) != 0) {
                ERRMSG(" Error reading symmetry indices of CSF for body ", ib);
                IERR = 1;
                break;
            }
            chan::close(IUCSF);
            for (std::string* f : {&f1, &f2}) {
                const auto b = f->find_first_not_of(' ');
                files.push_back(b == std::string::npos ? std::string() : f->substr(b));
            }
        } else {
            files.push_back(FILECSF);
        }
        BodyPoints B;
        for (std::size_t k = 0; k < files.size() && IERR == 0; ++k) {
            if (ilow == 2) {
                int il = 0;
                if (chan::open(IUCSF, files[k], chan::Status::Old) != 0) {
                    warn(ib);
                    break;
                }
                if (!head(files[k], il)) {
                    IERR = 1;
                    break;
                }
                FILECSF = files[k];
            }
            std::string csp;
            FNAMEXT(files[k], csp, ".csp");
            int found = 1;
            read_surface(ib, static_cast<int>(k) + 1, csp, B, found, IERR);
            chan::close(IUCSF);
            // A geometry-model surface is released once its points are taken.
            if (IERR == 0 && ICDEF(ib) == 2) RGKDONECSF();
            if (IERR == 0 && found == 0) {
                warn(ib);
                break;
            }
        }
        if (IERR == 0) store_body(ib, B, IERR);
    }
    finish();
    if (IERR != 0) return;

    // Global positions, checked against the free surface and the sea bed.
    if (!XCSFG.allocate(3, NCSFPT)) {
        ERRMSG(" Allocation error in RDCSF, XCSFG", 0);
        IERR = 1;
        return;
    }
    int i0 = 0;
    for (int ib = 1; ib <= nb; ++ib) {
        const float c = model::CSPHIB(1, ib), s = model::CSPHIB(2, ib);
        for (int i = i0 + 1; i <= i0 + NCSFPTB(ib); ++i) {
            const float x = XCSF(1, i), y = XCSF(2, i);
            XCSFG(1, i) = c * x - s * y + cfg::XBODY(1, ib);
            XCSFG(2, i) = s * x + c * y + cfg::XBODY(2, ib);
            XCSFG(3, i) = XCSF(3, i) + cfg::XBODY(3, ib);
            if (XCSFG(3, i) > 1.0e-4f) {
                ERRMSG(" Control surface above free surface for body ", ib);
                IERR = 1;
                return;
            }
            if (model::HBOT > 0.0f && XCSFG(3, i) < -1.0e-4f - model::HBOT) {
                ERRMSG(" Control surface below bottom for body ", ib);
                IERR = 1;
                return;
            }
        }
        i0 += NCSFPTB(ib);
    }
    if (!ITANKCSF.allocate(NCSFPT)) {
        ERRMSG(" Allocation error in RDCSF, ITANKCSF", 0);
        IERR = 1;
        return;
    }
    const long nf = static_cast<long>(frc::NBETAF) * sym::NSYMF, nc = static_cast<long>(frc::NBETAF) * sym::NSYMC;
    if (!PHICSF.allocate(NCSFPT, nf) || !PHICSFC.allocate(NCSFPT, nc) || !VELCSF.allocate(3, NCSFPT, nf) ||
        !VELCSFC.allocate(3, NCSFPT, nc)) {
        ERRMSG(" Error allocating FLDCSF arrays in RDCSF ", 0);
        IERR = 1;
        return;
    }
    PSZCSF.deallocate();
    ICDEF.deallocate();
}

}  // namespace zorva
