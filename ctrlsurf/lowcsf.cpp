// Control surfaces of flat panels: the panel block of a low-order .csf
// file turned into one point per panel (and one per waterline side), the
// flat panels of a higher-order surface with their "_low.csf" file, and the
// plot file "_csf.dat" of all surfaces.
#include <cmath>
#include <vector>

#include "common/channels.hpp"
#include "common/fmtwrite.hpp"
#include "common/fnamext.hpp"
#include "common/freeread.hpp"
#include "common/messages.hpp"
#include "ctrlsurf/ctrlsurf.hpp"
#include "geometry/model.hpp"
#include "geometry/modelin.hpp"
#include "geometry/rgklink.hpp"
#include "main/config.hpp"
#include "main/fnames.hpp"
#include "panels/geom.hpp"

namespace zorva {

void RDCSFL(int IB, float ZLIM, int& NPAN, csf::Points& S, csf::Points& F, csf::Points& W, int& IERR) {
    using namespace csf;
    IERR = 0;
    NPAN = 0;
    const float zb = cfg::XBODY(3, IB);
    std::string line;
    int icdef = 0;
    if (fread::read_line(IUCSF, line) != 0 || fread::parse_group(line, {fread::I(NPAN)}) != 0 || NPAN < 0 ||
        NPAN > fread::MAXITEMS) {
        ERRMSG(" Error reading number of panels of CSF for body ", IB);
        NPAN = 0;
        IERR = 1;
        return;
    }
    if (NPAN == 0) {
        int zero = 0;
        fread::parse_group(line, {fread::I(zero), fread::I(icdef)});
        ICDEF(IB) = icdef;
        if (icdef != 2) return;
        // The surface's panels come from the geometry kernel's low-order
        // file, read on in place of the .csf file.
        INITRGKCSF(IB, IERR);
        if (IERR != 0) return;
        int code = 0;
        RGKLOWCSF(code);
        if (code != 0) {
            ERRMSG(" Error return from subroutine RGKLOWCSF for body ", IB);
            ERRMSG("                                  error code = ", code);
            RGKLOGNOTE();
            IERR = 1;
            return;
        }
        chan::close(IUCSF);
        std::string ms2;
        FNAMEXT(csf::FILECSF, ms2, "_ms2.csf");
        if (chan::open(IUCSF, ms2, chan::Status::Old) != 0) {
            ERRMSG(" Error opening low-order RGKCSF file for body ", IB);
            IERR = 1;
            return;
        }
        // Title, ULEN GRAV, ISX ISY and the panel count.
        std::string title;
        float lg[2];
        int sxy[2];
        if (fread::read_text(IUCSF, title, 80) != 0 || fread::read_group(IUCSF, {fread::R(lg, 2)}) != 0 ||
            fread::read_group(IUCSF, {fread::I(sxy, 2)}) != 0 || fread::read_group(IUCSF, {fread::I(NPAN)}) != 0 ||
            NPAN < 0 || NPAN > fread::MAXITEMS) {
            ERRMSG(" Error reading low-order RGKCSF file for body ", IB);
            NPAN = 0;
            IERR = 1;
            return;
        }
        if (NPAN == 0) return;
    }
    if (!XVERC.allocate(4, 3, NPAN)) {
        ERRMSG(" Allocation error for XTMPC in RDCSFL for body ", IB);
        IERR = 1;
        return;
    }
    for (int k = 1; k <= NPAN; ++k) {
        float v[12] = {};
        if (fread::read_group(IUCSF, {fread::R(v, 12)}) != 0) {
            ERRMSG(" Error reading vertices from CSF for panel ", k);
            ERRMSG("                                      body ", IB);
            IERR = 1;
            return;
        }
        if (!COORDSOK(v, 12, model::ULENI)) {
            ERRMSG(" Error in CSF file: vertex beyond 1.E6 x ULEN for panel ", k);
            ERRMSG("                                      body ", IB);
            IERR = 1;
            return;
        }
        float X[12];  // column-major 4 x 3
        for (int m = 1; m <= 4; ++m)
            for (int c = 1; c <= 3; ++c) {
                X[(c - 1) * 4 + m - 1] = XVERC(m, c, k) = v[3 * (m - 1) + c - 1] * model::ULENI;
            }
        for (int m = 1; m <= 4; ++m)
            if (XVERC(m, 3, k) > ZLIM) {
                ERRMSG(" CSF above free surface  PANEL ", k);
                ERRMSG("                         BODY  ", IB);
                IERR = 1;
                return;
            }
        float C[3], AX[9], XI[4], ETA[4], PROP[13], SIDE[4], XG[12], WG[4], DIAM[2];
        PANEL(X, C, AX, XI, ETA, PROP, SIDE, XG, WG, 0, DIAM, k, 0, IERR);
        if (IERR != 0) {
            ERRMSG(" Error from subroutine PANEL for CSF, body number", IB);
            IERR = 1;
            return;
        }
        const float N[3] = {AX[2], AX[5], AX[8]}, A = PROP[0];
        const float nn[3] = {-N[0], -N[1], -N[2]};
        if (N[2] < -0.9999f && C[2] + zb > -1.0e-4f) {
            F.add(C, nn, A);
            continue;
        }
        S.add(C, nn, A);
        if (cfg::ICTRSURF == 2) continue;
        // A side on the free surface gives a waterline point at its middle.
        int listed[4], nl = 0, p = 0;
        for (int m = 1; m <= 4; ++m) {
            if (std::fabs(XVERC(m, 3, k) + zb) <= 1.0e-5f)
                listed[nl++] = m;
            else
                p = m;
        }
        int s = 0;
        if (nl == 2) {
            s = listed[0] == 1 && listed[1] == 4 ? 4 : listed[0];
        } else if (nl == 3) {
            auto dist = [&](int a, int b) {
                float d = 0.0f;
                for (int c = 1; c <= 3; ++c) d = std::max(d, std::fabs(XVERC(a, c, k) - XVERC(b, c, k)));
                return d;
            };
            const float d[3] = {dist(listed[0], listed[1]), dist(listed[1], listed[2]), dist(listed[2], listed[0])};
            const float dmin = std::min({d[0], d[1], d[2]});
            int m = 1;
            while (d[m - 1] > dmin + 1.0e-5f) ++m;
            s = ((p - ((m - p) + 4) % 3 + 2) % 4) + 1;
        }
        if (s == 0) continue;
        const int e = s % 4 + 1;
        const float dx = XVERC(e, 1, k) - XVERC(s, 1, k), dy = XVERC(e, 2, k) - XVERC(s, 2, k);
        const float X0[3] = {(XVERC(s, 1, k) + XVERC(e, 1, k)) / 2, (XVERC(s, 2, k) + XVERC(e, 2, k)) / 2, -zb};
        const float r = std::fabs(N[2]) <= 1.0e-5f ? 1.0f : std::sqrt(1.0f - N[2] * N[2]);
        if (!(r > 0.0f)) continue;
        const float wn[3] = {-N[0] / r, -N[1] / r, 0.0f};
        W.add(X0, wn, std::sqrt(dx * dx + dy * dy));
    }
}

void CSFLOWP(int IB, int IP, int& NLOWC, int& IERR) {
    using namespace csf;
    const int nu = NUC(IP) * cfg::ILOWGDF, nv = NVC(IP) * cfg::ILOWGDF;
    Arr3<float> XLOW;
    if (!XLOW.allocate_bounds({1, 0, 0}, {3, nu + 1, nv + 1})) {
        ERRMSG(" Allocation error for XLOW in RDCSF ", 0);
        IERR = 1;
        return;
    }
    float X[3], N[3], XU[3], XV[3], AJ;
    for (int j = 0; j <= nv; ++j)
        for (int i = 0; i <= nu; ++i) {
            CSFGEOM(static_cast<float>(i) * 2.0f / static_cast<float>(nu) - 1.0f,
                    static_cast<float>(j) * 2.0f / static_cast<float>(nv) - 1.0f, IB, IP, X, N, XU, XV, AJ, 0, IERR);
            if (IERR != 0) return;
            for (int c = 1; c <= 3; ++c) XLOW(c, i, j) = X[c - 1];
        }
    for (int j = 1; j <= nv; ++j)
        for (int i = 1; i <= nu; ++i) {
            ++NLOWC;
            for (int c = 1; c <= 3; ++c) {
                XVERC(1, c, NLOWC) = XLOW(c, i - 1, j - 1);
                XVERC(2, c, NLOWC) = XLOW(c, i - 1, j);
                XVERC(3, c, NLOWC) = XLOW(c, i, j);
                XVERC(4, c, NLOWC) = XLOW(c, i, j - 1);
            }
        }
}

void OPLOWCSF(int IB, int ISURF, int NLOWC, const std::string& HEADER, int& IERR) {
    using namespace csf;
    std::string name;
    FNAMEXT(FILECSF, name, "_low.csf");
    auto bad = [&IERR] {
        ERRMSG(" Error reading/writing Low-order CSF file ", 0);
        chan::close(IUCSF);
        IERR = 1;
    };
    const float ul = model::ULEN(1);
    std::vector<float> old;  // vertices of the surfaces written before, as read
    if (ISURF > 1) {
        if (chan::open(IUCSF, name, chan::Status::Old) != 0) return bad();
        std::string t;
        int il = 0, sx = 0, sy = 0, nold = 0;
        if (fread::read_text(IUCSF, t, 80) != 0 || fread::read_group(IUCSF, {fread::I(il)}) != 0 ||
            fread::read_group(IUCSF, {fread::I(sx), fread::I(sy)}) != 0 ||
            fread::read_group(IUCSF, {fread::I(nold)}) != 0 || nold < 0 || nold > fread::MAXITEMS)
            return bad();
        old.resize(12 * static_cast<std::size_t>(nold));
        for (int k = 0; k < 4 * nold; ++k)
            if (fread::read_group(IUCSF, {fread::R(&old[3 * static_cast<std::size_t>(k)], 3)}) != 0) return bad();
        chan::close(IUCSF);
    }
    if (chan::open(IUCSF, name, chan::Status::Replace) != 0) return bad();
    int st = chan::write_line(IUCSF, HEADER);
    st |= fmt::write(IUCSF, "(I10)", {0});
    st |= fmt::write(IUCSF, "(2I10)", {ISCSF(1, IB), ISCSF(2, IB)});
    st |= fmt::write(IUCSF, "(I10)", {static_cast<int>(old.size() / 12) + NLOWC});
    for (std::size_t k = 0; k < old.size(); k += 3)
        st |= fmt::write(IUCSF, "(4E13.5)", {old[k], old[k + 1], old[k + 2]});
    for (int k = 1; k <= NLOWC; ++k)
        for (int m = 1; m <= 4; ++m)
            st |= fmt::write(IUCSF, "(4E13.5)", {XVERC(m, 1, k) * ul, XVERC(m, 2, k) * ul, XVERC(m, 3, k) * ul});
    chan::close(IUCSF);
    if (st != 0) {
        ERRMSG(" Error reading/writing Low-order CSF file ", 0);
        IERR = 1;
    }
}

void CSFPLTP(int IB, int IP, int N, int& IERR) {
    using namespace csf;
    if (!PLTOPEN) {
        // One plot file for all surfaces of the run, named after the first body.
        std::string name;
        FNAMEXT(fnames::GDFNAME(1), name, "_csf.dat");
        if (chan::open(IUCSFP, name, chan::Status::Replace) != 0) {
            ERRMSG(" Error opening CSF plot file ", 0);
            IERR = 1;
            return;
        }
        PLTOPEN = true;
    }
    const float c = model::CSPHIB(1, IB), s = model::CSPHIB(2, IB), ul = model::ULEN(1);
    const float zb = cfg::XBODY(3, IB);
    int st = 0;
    auto put = [&](float sx, float sy, const float* X) {
        const float x = sx * X[0], y = sy * X[1];
        st |= fmt::write(IUCSFP, "(4E13.5)",
                         {(c * x - s * y + cfg::XBODY(1, IB)) * ul, (s * x + c * y + cfg::XBODY(2, IB)) * ul,
                          (X[2] + zb) * ul});
    };
    const int nx = ISCSF(1, IB) == 1 ? 2 : 1, ny = ISCSF(2, IB) == 1 ? 2 : 1;
    if (IP == 0) {
        for (int a = 0; a < nx; ++a)
            for (int b = 0; b < ny; ++b) {
                st |= fmt::write(IUCSFP, "('zone I=',I6,'   J=',I6,'  F=FEPOINT')", {4 * N, N});
                for (int k = 1; k <= N; ++k)
                    for (int m = 1; m <= 4; ++m) {
                        const float X[3] = {XVERC(m, 1, k), XVERC(m, 2, k), XVERC(m, 3, k)};
                        put(a == 0 ? 1.0f : -1.0f, b == 0 ? 1.0f : -1.0f, X);
                    }
                std::vector<int> conn(static_cast<std::size_t>(4 * N));
                for (int k = 0; k < 4 * N; ++k) conn[static_cast<std::size_t>(k)] = k + 1;
                if (N > 0) st |= fmt::write(IUCSFP, "(4I8)", {std::span<const int>(conn)});
            }
    } else {
        if ((static_cast<double>(NUC(IP)) * cfg::IPLTDAT + 1) * (static_cast<double>(NVC(IP)) * cfg::IPLTDAT + 1) >
            fread::MAXITEMS) {
            ERRMSG(" Allocation error for XPLT in RDCSF", 0);
            IERR = 1;
            return;
        }
        const int nu = NUC(IP) * cfg::IPLTDAT, nv = NVC(IP) * cfg::IPLTDAT;
        std::vector<float> P(3 * static_cast<std::size_t>((nu + 1) * (nv + 1)));
        float X[3], VN[3], XU[3], XV[3], AJ;
        for (int j = 0; j <= nv; ++j)
            for (int i = 0; i <= nu; ++i) {
                CSFGEOM(static_cast<float>(i) * 2.0f / static_cast<float>(nu) - 1.0f,
                        static_cast<float>(j) * 2.0f / static_cast<float>(nv) - 1.0f, IB, IP, X, VN, XU, XV, AJ, 0,
                        IERR);
                if (IERR != 0) return;
                for (int d = 0; d < 3; ++d) P[3 * static_cast<std::size_t>(j * (nu + 1) + i) + static_cast<std::size_t>(d)] = X[d];
            }
        for (int a = 0; a < nx; ++a)
            for (int b = 0; b < ny; ++b) {
                st |= fmt::write(IUCSFP, "('zone I=',I6,'   J=',I6,'  F=POINT')", {nu + 1, nv + 1});
                for (std::size_t q = 0; q < P.size(); q += 3) put(a == 0 ? 1.0f : -1.0f, b == 0 ? 1.0f : -1.0f, &P[q]);
            }
    }
    if (st != 0) {
        ERRMSG(" Error writing CSF plot file ", 0);
        IERR = 1;
    }
}

}  // namespace zorva
