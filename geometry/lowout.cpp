// Low-order output files: the subdivided panels of body 1 (or the
// subdivided patches of every body) in the layout of a low-order geometry
// file, and the plot files of all panels or patches.
#include "geometry/lowout.hpp"

#include <algorithm>
#include <string>
#include <utility>

#include "common/channels.hpp"
#include "common/farray.hpp"
#include "common/fmtwrite.hpp"
#include "common/fnamext.hpp"
#include "common/messages.hpp"
#include "geometry/hogeom.hpp"
#include "geometry/model.hpp"
#include "geometry/modelmore.hpp"
#include "geometry/modelin.hpp"
#include "main/config.hpp"
#include "main/fnames.hpp"

namespace zorva {

using namespace model;

namespace {

constexpr int IULOW = 8, IUPLT = 9;

// A real as a free-format value: blank-separated, seven digits.
std::string rv(float v) {
    std::string r(1, ' ');
    r += fmt::ES(v, 15, 7);
    return r;
}

// Head of a low-order geometry file: title, length scale and gravity,
// symmetry indices, panel count.
void low_head(const std::string& title, float ulen, int isx, int isy, long npan) {
    chan::write_line(IULOW, " " + title);
    chan::write_line(IULOW, rv(ulen) + rv(GRAV));
    chan::write_line(IULOW, fmt::I(isx, 6) + fmt::I(isy, 6));
    chan::write_line(IULOW, fmt::I(npan, 10));
}

// One panel record: the four grid points V (x y z each).
void low_panel(const Arr2<float>& grid, const long* V) {
    std::string rec;
    for (int k = 0; k < 4; ++k)
        for (int c = 1; c <= 3; ++c) rec += rv(grid(c, V[k]));
    chan::write_line(IULOW, rec);
}

}  // namespace

void WRLOWPAN(int& IERR) {
    IERR = 0;
    const float ul = ULEN(1);
    const std::string& gdf = fnames::GDFNAME(1);
    std::string name;

    if (cfg::ILOWGDF >= 1) {
        const int n = cfg::ILOWGDF;
        Arr2<float> grid;
        if (!grid.allocate(3, static_cast<long>(n + 1) * (n + 1))) {
            ERRMSG("Insufficient memory to allocate LOWGDF array", 0);
            IERR = 1;
            return;
        }
        FNAMEXT(gdf, name, "_low.gdf");
        chan::open(IULOW, name, chan::Status::Replace);
        low_head(GDFTITLE(1), ULEN(1), ISX, ISY, static_cast<long>(NPANB(1)) * n * n);
        auto at = [n](int i, int j) { return static_cast<long>(j) * (n + 1) + i + 1; };
        for (int p = 1; p <= NPANB(1); ++p) {
            // Bilinear map: vertex 1 at (s,t) = (1,-1), 2 at (-1,-1), 3 at
            // (-1,1), 4 at (1,1); the end parameters are exact.
            for (int j = 0; j <= n; ++j) {
                const float t = j == n ? 1.0f : -1.0f + 2.0f * static_cast<float>(j) / static_cast<float>(n);
                for (int i = 0; i <= n; ++i) {
                    const float s = i == n ? 1.0f : -1.0f + 2.0f * static_cast<float>(i) / static_cast<float>(n);
                    const float w1 = 0.25f * (1 + s) * (1 - t), w2 = 0.25f * (1 - s) * (1 - t);
                    const float w3 = 0.25f * (1 - s) * (1 + t), w4 = 0.25f * (1 + s) * (1 + t);
                    for (int c = 1; c <= 3; ++c)
                        grid(c, at(i, j)) =
                            (w1 * XVER(1, c, p) + w2 * XVER(2, c, p) + w3 * XVER(3, c, p) + w4 * XVER(4, c, p)) * ul;
                }
            }
            for (int j = 1; j <= n; ++j)
                for (int i = 1; i <= n; ++i) {
                    const long v[4] = {at(i, j - 1), at(i - 1, j - 1), at(i - 1, j), at(i, j)};
                    low_panel(grid, v);
                }
        }
        chan::close(IULOW);
    }

    if (cfg::IPLTDAT >= 1) {
        int np = NEQN;
        if (ISX > 0) np *= 2;
        if (ISY > 0) np *= 2;
        FNAMEXT(gdf, name, "_pan.dat");
        chan::open(IUPLT, name, chan::Status::Replace);
        chan::write_line(IUPLT, "ZONE T=\"1\", I=" + fmt::I(4L * np, 6) + ", J=" + fmt::I(np, 6) + ", F=FEPOINT");
        static constexpr float SX[5] = {0, 1, -1, -1, 1}, SY[5] = {0, 1, 1, -1, -1};
        for (int k = 1; k <= 4; ++k) {
            if ((k == 2 || k == 3) && ISX <= 0) continue;
            if ((k == 3 || k == 4) && ISY <= 0) continue;
            int ib = 1, end = NPANB(1);
            for (int i = 1; i <= NEQN; ++i) {
                while (i > end && ib < cfg::NBODY) end += NPANB(++ib);
                for (int v = 1; v <= 4; ++v) {
                    const float xb[3] = {SX[k] * XVER(v, 1, i), SY[k] * XVER(v, 2, i), XVER(v, 3, i)};
                    float xg[3];
                    BODY2GLB(xb, xg, ib);
                    chan::write_line(IUPLT, fmt::F(xg[0] * ul, 12, 3) + fmt::F(xg[1] * ul, 12, 3) +
                                                fmt::F(xg[2] * ul, 12, 3));
                }
            }
        }
        std::string rec;
        for (long m = 1; m <= 4L * np; ++m) {
            rec += fmt::I(m, 6);
            if (m % 4 == 0) {
                chan::write_line(IUPLT, rec);
                rec.clear();
            }
        }
        chan::close(IUPLT);
    }
}

void PLTDATH(int& IERR) {
    IERR = 0;
    const int np = NPATCHT;
    if (!IDIPWM.allocated() || IDIPWM.extent(1) < np) {
        if (!IDIPWM.resize_keep(np)) {
            ERRMSG("Insufficient memory to allocate LOWGDF arrays", 0);
            IERR = 1;
            return;
        }
    }
    const int m = std::max(cfg::ILOWGDF, cfg::IPLTDAT);
    const float ul = ULEN(1);
    // Grid of patch p: (NU m + 1) x (NV m + 1) points at equal parameter
    // steps, the ends exactly -1 and 1; point (i, j) at index j (ni) + i + 1.
    Arr2<float> grid;
    int ni = 0, nj = 0;
    auto make_grid = [&](int p) {
        const int ib = IBPTH(p);
        ni = NU(p) * m + 1;
        nj = NV(p) * m + 1;
        if (!grid.allocate(3, static_cast<long>(ni) * nj)) {
            ERRMSG("Insufficient memory to allocate LOWGDF arrays", 0);
            IERR = 1;
            return false;
        }
        for (int j = 0; j < nj; ++j) {
            const float v = j == nj - 1 ? 1.0f : -1.0f + 2.0f * static_cast<float>(j) / static_cast<float>(nj - 1);
            for (int i = 0; i < ni; ++i) {
                const float u = i == ni - 1 ? 1.0f : -1.0f + 2.0f * static_cast<float>(i) / static_cast<float>(ni - 1);
                float x[3], vn[3], xu[3], xv[3], aj = 0.0f;
                BODYGEOM(u, v, ib, p, x, vn, xu, xv, aj, 0, 0, IERR);
                if (IERR != 0) {
                    ERRMSG("Error calling BODYGEOM from PLTDATH subroutine ", 0);
                    return false;
                }
                for (int c = 1; c <= 3; ++c) grid(c, static_cast<long>(j) * ni + i + 1) = x[c - 1] * ul;
            }
        }
        return true;
    };
    auto at = [&](int i, int j) { return static_cast<long>(j) * ni + i + 1; };
    const bool low = cfg::ILOWGDF >= 1, plt = cfg::IPLTDAT >= 1;
    const int n = cfg::IPLTDAT;

    // Body ib's low-order file up to its panels.
    auto low_open = [&](int ib) {
        const int p0 = IPSTART(ib), p1 = IPSTART(ib) + NPATCHB(ib) - 1;
        long npan = 0;
        for (int p = p0; p <= p1; ++p) npan += static_cast<long>(NU(p)) * m * NV(p) * m;
        std::string name;
        FNAMEXT(fnames::GDFNAME(ib), name, "_low.gdf");
        chan::open(IULOW, name, chan::Status::Replace);
        // A plane about which the patches were reflected is no symmetry
        // plane of the file: its images are written as panels.
        const int isx = IS(1, ib) == 1 && ISX == 1 ? 1 : 0, isy = IS(2, ib) == 1 && ISY == 1 ? 1 : 0;
        low_head(GDFTITLE(ib), ULEN(ib), isx, isy, npan);
    };
    auto zone = [](int unit, int I, int J) {
        chan::write_line(unit, "zone I=" + fmt::I(I, 6) + "   J=" + fmt::I(J, 6) + "  F=POINT");
    };
    auto point = [&](int unit, long g) {
        chan::write_line(unit, fmt::F(grid(1, g), 12, 3) + fmt::F(grid(2, g), 12, 3) + fmt::F(grid(3, g), 12, 3));
    };
    if (plt) {
        std::string pat, pan;
        FNAMEXT(fnames::GDFNAME(1), pat, "_pat.dat");
        FNAMEXT(fnames::GDFNAME(1), pan, "_pan.dat");
        chan::open(IUPLT, pat, chan::Status::Replace);
        chan::open(IUPLT + 1, pan, chan::Status::Replace);
    }

    // Each patch's grid, evaluated once, goes to its body's low-order file
    // and to the plot files.  The bodies own consecutive blocks of patches
    // in body order: a body's file is opened at its first patch (a body
    // without patches gets its head alone) and closed after its last.
    int nextb = 1, lowb = 0;  // the next body to open, the body whose file is open
    auto close_all = [&] {
        if (lowb != 0) chan::close(IULOW);
        lowb = 0;
        if (plt) {
            chan::close(IUPLT);
            chan::close(IUPLT + 1);
        }
    };
    for (int p = 1; p <= np; ++p) {
        while (low && lowb == 0 && nextb <= cfg::NBODY && IPSTART(nextb) <= p) {
            low_open(nextb);
            lowb = nextb++;
            if (NPATCHB(lowb) <= 0) {
                chan::close(IULOW);
                lowb = 0;
            }
        }
        if (lowb == 0 && !plt) continue;
        if (!make_grid(p)) return close_all();
        if (lowb != 0) {
            const bool mirrored = IPREF(p) == 2 || IPREF(p) == 4;
            for (int j = 1; j < nj; ++j)
                for (int i = 1; i < ni; ++i) {
                    long v[4] = {at(i, j - 1), at(i - 1, j - 1), at(i - 1, j), at(i, j)};
                    if (mirrored) {
                        std::swap(v[0], v[1]);
                        std::swap(v[2], v[3]);
                    }
                    low_panel(grid, v);
                }
            if (p == IPSTART(lowb) + NPATCHB(lowb) - 1) {
                chan::close(IULOW);
                lowb = 0;
            }
        }
        if (plt) {
            zone(IUPLT, ni, nj);
            for (int j = 0; j < nj; ++j)
                for (int i = 0; i < ni; ++i) point(IUPLT, at(i, j));
            // One zone per spline panel: n + 1 points per direction taken
            // from the panel's own (m + 1) x (m + 1) block, ends included.
            for (int b = 0; b < NV(p); ++b)
                for (int a = 0; a < NU(p); ++a) {
                    zone(IUPLT + 1, n + 1, n + 1);
                    for (int j = 0; j <= n; ++j)
                        for (int i = 0; i <= n; ++i) point(IUPLT + 1, at(a * m + i * m / n, b * m + j * m / n));
                }
        }
    }
    // Bodies without patches after the last patch: their heads alone.
    for (; low && nextb <= cfg::NBODY; ++nextb) {
        low_open(nextb);
        chan::close(IULOW);
    }
    close_all();
}

}  // namespace zorva
