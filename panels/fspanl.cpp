// Interior free surface of the low-order method: for every body with
// IRR >= 3 the waterline panel sides are ordered into contours, the water
// plane inside each contour is covered with flat panels (the advancing-front
// mesher, or concentric rings with the source formulation), and the panels
// are inserted right after the body's own panels.  Each such body is
// written with its new panels to its .idf file.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "common/channels.hpp"
#include "common/fmtwrite.hpp"
#include "common/fnamext.hpp"
#include "common/messages.hpp"
#include "geometry/model.hpp"
#include "geometry/modelin.hpp"
#include "main/config.hpp"
#include "main/fnames.hpp"
#include "panels/irrfs.hpp"

namespace zorva {

using namespace model;

namespace {

constexpr int NEXT[5] = {0, 2, 3, 4, 1};

// Boundary point table of one contour (x, y), grown on demand.
struct FsBoundary {
    Arr2<float> XY;
    int n = 0;
};

// Grow-and-keep of the boundary point table: capacity twice the larger of
// the request and the present size.
bool GROWFSP(FsBoundary& b, int NREQ) {
    if (NREQ <= b.XY.extent(2)) return true;
    return b.XY.resize_keep(2, 2L * std::max<long>(NREQ, b.XY.extent(2)));
}

bool add_point(FsBoundary& b, float x, float y) {
    // One spare place stays for the closing point the mesher writes.
    if (!GROWFSP(b, b.n + 2)) return false;
    ++b.n;
    b.XY(1, b.n) = x;
    b.XY(2, b.n) = y;
    return true;
}

// XVER holds at least NEED panels; NPANMAX, its capacity as the mesher
// knows it, becomes CAP when NEED is beyond it.  XVER never shrinks.
bool xver_room(int NEED, int& NPANMAX, int CAP) {
    if (NEED > NPANMAX) NPANMAX = std::max(CAP, NEED);
    if (NEED <= XVER.extent(3)) return true;
    int e = 0;
    GROWXVER(NPANMAX, 0, e);
    return e == 0;
}

// Contours of one body's waterline sides.
struct FsContours {
    std::vector<int> pan, side;   // per side of the body: panel (global, current layout) and side
    std::vector<int> order;       // ordered sides (indices into pan/side)
    std::vector<int> first, count;
    std::vector<int> plane_end;   // per contour: 0 closed, 1 ends on x = 0, 2 on y = 0
    std::vector<int> plane_beg;   // per contour: plane of its first point (0 none)
    float mean = 0.0f, tol = 0.0f;
};

float vx(int p, int k) { return XVER(k, 1, p); }
float vy(int p, int k) { return XVER(k, 2, p); }

// Orders one body's waterline panel sides into contours.  Returns 1 when a
// side has no successor and its end lies on no symmetry plane.
int FSWLEXT(FsContours& c, std::array<int, 2> ISXY) {
    const int n = static_cast<int>(c.pan.size());
    std::vector<float> len(static_cast<std::size_t>(n));
    double sum = 0.0;
    int cnt = 0;
    for (int i = 0; i < n; ++i) {
        const int p = c.pan[i], s = c.side[i];
        len[i] = std::hypot(vx(p, NEXT[s]) - vx(p, s), vy(p, NEXT[s]) - vy(p, s));
        sum += static_cast<double>(len[i]);
        if (len[i] >= 1.0E-6f) ++cnt;
    }
    c.mean = static_cast<float>(sum / std::max(cnt, 1));
    c.tol = 0.001f * c.mean;
    const float tol = c.tol;
    std::vector<char> placed(static_cast<std::size_t>(n), 0);
    for (int i = 0; i < n; ++i)
        if (len[i] < tol) placed[i] = 1;  // degenerate: no part in the ordering
    auto on_plane = [&](float x, float y) {
        if (ISXY[0] == 1 && std::fabs(x) < tol) return 1;
        if (ISXY[1] == 1 && std::fabs(y) < tol) return 2;
        return 0;
    };
    for (;;) {
        // A contour starts at the first free side that starts on a plane,
        // else at the first free side: an open chain is then walked whole.
        int start = -1;
        for (int i = 0; i < n && start < 0; ++i)
            if (!placed[i] && on_plane(vx(c.pan[i], c.side[i]), vy(c.pan[i], c.side[i])) != 0) start = i;
        for (int i = 0; i < n && start < 0; ++i)
            if (!placed[i]) start = i;
        if (start < 0) return 0;
        c.first.push_back(static_cast<int>(c.order.size()));
        c.plane_beg.push_back(on_plane(vx(c.pan[start], c.side[start]), vy(c.pan[start], c.side[start])));
        int cur = start, count = 0, pend = 0;
        const float x0 = vx(c.pan[start], c.side[start]), y0 = vy(c.pan[start], c.side[start]);
        for (;;) {
            placed[cur] = 1;
            c.order.push_back(cur);
            ++count;
            const int p = c.pan[cur], s = c.side[cur];
            const float ex = vx(p, NEXT[s]), ey = vy(p, NEXT[s]);
            const int pl = on_plane(ex, ey);
            if (pl != 0) {
                pend = pl;
                break;
            }
            if ((ex - x0) * (ex - x0) + (ey - y0) * (ey - y0) < tol * tol) break;  // closed
            int best = -1;
            float bd = tol * tol;
            for (int j = 0; j < n; ++j) {
                if (placed[j]) continue;
                const float dx = vx(c.pan[j], c.side[j]) - ex, dy = vy(c.pan[j], c.side[j]) - ey;
                const float d2 = dx * dx + dy * dy;
                if (d2 < bd) {
                    bd = d2;
                    best = j;
                }
            }
            if (best < 0) return 1;
            cur = best;
        }
        c.count.push_back(count);
        c.plane_end.push_back(pend);
        if (pend != 0 && c.plane_beg.back() == 0) return 1;  // an open chain must start on a plane
    }
}

// Boundary polygon of contour ic: the start points of its sides, closed
// along the symmetry plane(s) when it ends on one.
bool FSSUBD(const FsContours& c, int ic, FsBoundary& b) {
    b.n = 0;
    const int f = c.first[ic], n = c.count[ic];
    for (int i = f; i < f + n; ++i) {
        const int p = c.pan[c.order[i]], s = c.side[c.order[i]];
        if (!add_point(b, vx(p, s), vy(p, s))) return false;
    }
    const int pe = c.plane_end[ic];
    if (pe == 0) return true;
    const int pl = c.pan[c.order[f + n - 1]], sl = c.side[c.order[f + n - 1]];
    const int pf = c.pan[c.order[f]], sf = c.side[c.order[f]];
    float ex = vx(pl, NEXT[sl]), ey = vy(pl, NEXT[sl]);
    const float sx = vx(pf, sf), sy = vy(pf, sf);
    // The ends are put exactly on their planes.
    if (pe == 1) ex = 0.0f; else ey = 0.0f;
    if (!add_point(b, ex, ey)) return false;
    const float h = c.mean;
    // Walks from (ax, ay) to (bx, by) along a plane in equal steps; the end
    // point is written only when `last` says so.
    auto walk = [&](float ax, float ay, float bx, float by, bool last) {
        const float L = std::hypot(bx - ax, by - ay);
        const int steps = std::max(1, static_cast<int>(L / h));
        for (int j = 1; j <= steps; ++j) {
            if (j == steps && !last) break;
            const float t = static_cast<float>(j) / static_cast<float>(steps);
            if (!add_point(b, ax + t * (bx - ax), ay + t * (by - ay))) return false;
        }
        return true;
    };
    const int pb = c.plane_beg[ic];
    if (pb == pe) return walk(ex, ey, pe == 1 ? 0.0f : sx, pe == 2 ? 0.0f : sy, false);
    // Quarter: along the end's plane to the axis, then along the other.
    return walk(ex, ey, 0.0f, 0.0f, true) && walk(0.0f, 0.0f, pb == 1 ? 0.0f : sx, pb == 2 ? 0.0f : sy, false);
}

// Ring panels of contour ic from panel IP0 on; NNEW out.  Returns false
// when XVER cannot be grown.
bool FSCONT(const FsContours& c, int ic, std::array<int, 2> ISXY, float ZB, int IP0, int& NNEW, int& NPANMAX) {
    const int f = c.first[ic], s = c.count[ic];
    // Polygon: the sides' start points, the last end point, and the axis
    // when the contour runs from one plane to the other.
    std::vector<std::array<float, 2>> poly;
    for (int i = f; i < f + s; ++i) {
        const int p = c.pan[c.order[i]], sd = c.side[c.order[i]];
        poly.push_back({vx(p, sd), vy(p, sd)});
    }
    {
        const int pl = c.pan[c.order[f + s - 1]], sl = c.side[c.order[f + s - 1]];
        poly.push_back({vx(pl, NEXT[sl]), vy(pl, NEXT[sl])});
        if (c.plane_end[ic] != 0 && c.plane_beg[ic] != 0 && c.plane_end[ic] != c.plane_beg[ic])
            poly.push_back({0.0f, 0.0f});
    }
    double a = 0, cx = 0, cy = 0;
    for (std::size_t i = 0; i < poly.size(); ++i) {
        const double px = poly[i][0], py = poly[i][1];
        const double qx = poly[(i + 1) % poly.size()][0], qy = poly[(i + 1) % poly.size()][1];
        const double cr = px * qy - qx * py;
        a += cr;
        cx += (px + qx) * cr;
        cy += (py + qy) * cr;
    }
    a *= 0.5;
    float xc = a != 0.0 ? static_cast<float>(cx / (6.0 * a)) : 0.0f;
    float yc = a != 0.0 ? static_cast<float>(cy / (6.0 * a)) : 0.0f;
    const float area = static_cast<float>(std::fabs(a));
    if (ISXY[0] == 1) xc = 0.0f;
    if (ISXY[1] == 1) yc = 0.0f;
    const float h = c.mean;
    const int n = static_cast<int>(area / (h * h)) / s;
    const float dlt = 1.5707964f / static_cast<float>(n + 1);
    std::vector<float> r(static_cast<std::size_t>(n + 2));
    r[0] = 1.0f;
    for (int k = 1; k <= n; ++k) r[k] = std::cos(static_cast<float>(k) * dlt);
    r[n + 1] = 0.0f;
    NNEW = s * (n + 1);
    const int need = IP0 + NNEW - 1;
    if (!xver_room(need, NPANMAX, static_cast<int>(1.1 * need))) return false;
    int ip = IP0;
    for (int i = f; i < f + s; ++i) {
        const int p = c.pan[c.order[i]], sd = c.side[c.order[i]];
        const float ax = vx(p, sd), ay = vy(p, sd), bx = vx(p, NEXT[sd]), by = vy(p, NEXT[sd]);
        for (int k = 0; k <= n; ++k, ++ip) {
            const float v[4][2] = {{xc + r[k] * (bx - xc), yc + r[k] * (by - yc)},
                                   {xc + r[k] * (ax - xc), yc + r[k] * (ay - yc)},
                                   {xc + r[k + 1] * (ax - xc), yc + r[k + 1] * (ay - yc)},
                                   {xc + r[k + 1] * (bx - xc), yc + r[k + 1] * (by - yc)}};
            for (int q = 1; q <= 4; ++q) {
                XVER(q, 1, ip) = v[q - 1][0];
                XVER(q, 2, ip) = v[q - 1][1];
                XVER(q, 3, ip) = -ZB;
            }
        }
    }
    return true;
}

void copy_panel(const Arr3<float>& from, long pf, long pt) {
    for (int c = 1; c <= 3; ++c)
        for (int k = 1; k <= 4; ++k) XVER(k, c, pt) = from(k, c, pf);
}

}  // namespace

void FSPANL(int IUNIT, const ExtTable& EXTS, std::array<int, 2> ISXY, int NWTLD, int ISOR, int& IERR) {
    IERR = 0;
    const int nb = cfg::NBODY;
    auto alloc_fail = [&](int ib) {
        ERRMSG("Allocation error, insufficient RAM for IRR=3", 0);
        ERRMSG("Error in generating free-surface panels for body N=", ib);
        IERR = 1;
    };
    const int m = std::max(1, NWTLD);
    FsBoundary bnd;
    if (!bnd.XY.allocate(2, 2 * m)) return alloc_fail(1);
    int npanmax = static_cast<int>(XVER.extent(3));
    if (!xver_room(static_cast<int>(1.1 * NEQN), npanmax, static_cast<int>(1.1 * NEQN))) return alloc_fail(1);

    // The later bodies' panels (with their tank and dipole classes) are set
    // aside; each is put back right before its body is processed, behind
    // the new panels of the bodies before it.
    Arr3<float> save;
    Arr1<int> savetk, savedp;
    const int n1 = NPANB(1), nlater = NEQN - n1;
    if (nb > 1 && nlater > 0) {
        if (!save.allocate(4, 3, nlater) || !savetk.allocate(nlater) || !savedp.allocate(nlater)) return alloc_fail(1);
        for (int i = 1; i <= nlater; ++i) {
            for (int cc = 1; cc <= 3; ++cc)
                for (int k = 1; k <= 4; ++k) save(k, cc, i) = XVER(k, cc, n1 + i);
            savetk(i) = i + n1 <= ITANK.extent(1) ? ITANK(n1 + i) : 0;
            savedp(i) = i + n1 <= IDIPWM.extent(1) ? IDIPWM(n1 + i) : 0;
        }
    }

    int ipf = 1;          // first panel of the body in the new layout
    int iorig = 1;        // first panel of the body as read (XWTLD numbering)
    int iwf = 1;          // first entry of the body in the waterline list
    int isave = 1;        // next saved panel
    int total = 0;        // new panels of all bodies
    for (int ib = 1; ib <= nb; ++ib) {
        const int np0 = NPANB(ib);
        if (ib > 1) {
            // Put the body's own panels back in place.
            const int need = ipf + np0 - 1;
            if (!xver_room(need, npanmax, need + np0 / 2)) return alloc_fail(ib);
            if ((ITANK.extent(1) < need && !ITANK.resize_keep(need)) ||
                (IDIPWM.extent(1) < need && !IDIPWM.resize_keep(need)))
                return alloc_fail(ib);
            for (int i = 0; i < np0; ++i) {
                copy_panel(save, isave + i, ipf + i);
                ITANK(ipf + i) = savetk(isave + i);
                IDIPWM(ipf + i) = savedp(isave + i);
            }
            isave += np0;
        }
        const int nw = ib <= ZWTLD.extent(1) ? ZWTLD(ib) : 0;
        if (cfg::IRR(ib) < 3 || nw <= 0) {
            ipf += np0;
            iorig += np0;
            iwf += std::max(nw, 0);
            continue;
        }
        FsContours con;
        for (int k = iwf; k < iwf + nw; ++k) {
            con.pan.push_back(ipf + XWTLD(k) - iorig);
            con.side.push_back(YWTLD(k));
        }
        if (FSWLEXT(con, ISXY) != 0) {
            ERRMSG("Waterline panels do not form a closed contour", 0);
            ERRMSG("Error in generating free-surface panels for body N=", ib);
            IERR = 1;
            return;
        }
        const float zb = cfg::XBODY(3, ib);
        const int first = ipf + np0;  // first new panel
        if (!xver_room(first + 4, npanmax, first + 4 + np0 / 2)) return alloc_fail(ib);
        int nnew = 0;
        for (std::size_t ic = 0; ic < con.first.size(); ++ic) {
            int made = 0;
            if (ISOR == 0) {
                if (!FSSUBD(con, static_cast<int>(ic), bnd)) return alloc_fail(ib);
                int e = 0;
                FSMESH(zb, made, npanmax, first + nnew, con.mean, bnd.XY, bnd.n, np0, 2 * NEQN,
                       static_cast<int>(bnd.XY.extent(2)), 32, 1.4f, e);
                if (e != 0) {
                    ERRMSG("Error in generating free-surface panels for body N=", ib);
                    IERR = 1;
                    return;
                }
            } else if (!FSCONT(con, static_cast<int>(ic), ISXY, zb, first + nnew, made, npanmax)) {
                return alloc_fail(ib);
            }
            nnew += made;
        }
        if (ISOR == 0 && nnew > 0) {
            // Slivers: a diagonal cross product under a tenth of the mean.
            auto cr = [](int p) {
                return (XVER(1, 2, p) - XVER(3, 2, p)) * (XVER(2, 1, p) - XVER(4, 1, p)) +
                       (XVER(1, 1, p) - XVER(3, 1, p)) * (XVER(4, 2, p) - XVER(2, 2, p));
            };
            double mean = 0.0;
            for (int p = first; p < first + nnew; ++p) mean += static_cast<double>(cr(p));
            mean /= nnew;
            int kept = 0;
            for (int p = first; p < first + nnew; ++p) {
                if (mean != 0.0 && static_cast<double>(cr(p)) / mean < 0.1) continue;
                if (first + kept != p) copy_panel(XVER, p, first + kept);
                ++kept;
            }
            nnew = kept;
        }
        // New panels are hull panels of the ordinary class.
        const int last = first + nnew - 1;
        if ((ITANK.extent(1) < last && !ITANK.resize_keep(last)) ||
            (IDIPWM.extent(1) < last && !IDIPWM.resize_keep(last)))
            return alloc_fail(ib);
        for (int p = first; p <= last; ++p) ITANK(p) = IDIPWM(p) = 0;
        NPANB(ib) = np0 + nnew;
        total += nnew;

        // The body with its new panels, in the low-order geometry layout.
        std::string name;
        FNAMEXT(fnames::GDFNAME(ib), name, EXTS[6]);
        if (chan::open(IUNIT, name, chan::Status::Replace) != 0) {
            ERRMSG("Error opening free-surface geometry file for body N=", ib);
            IERR = 1;
            return;
        }
        const float s1 = ULEN(1);
        chan::write_line(IUNIT, " Free surface discretizaton; GDF=" + fmt::ljust(fnames::GDFNAME(ib), 20));
        fmt::write_list(IUNIT, {ULEN(ib), GRAV});
        fmt::write_list(IUNIT, {ISXY[0], ISXY[1]});
        fmt::write_list(IUNIT, {NPANB(ib)});
        for (int p = ipf; p <= last; ++p)
            for (int k = 1; k <= 4; ++k)
                fmt::write_list(IUNIT, {XVER(k, 1, p) * s1, XVER(k, 2, p) * s1, XVER(k, 3, p) * s1});
        chan::close(IUNIT);

        ipf += NPANB(ib);
        iorig += np0;
        iwf += nw;
    }
    NEQN += total;
}

}  // namespace zorva
