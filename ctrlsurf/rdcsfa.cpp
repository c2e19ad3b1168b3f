// Control surface bounded by the body waterline: an outer wall (vertical
// cylinder or prism over a polygon) down to a flat bottom, and optionally
// the free surface between the body waterline and the wall, cut into
// four-sided patches whose inner sides lie on the waterline segments.
#include <algorithm>
#include <array>
#include <utility>
#include <cmath>
#include <vector>

#include "common/channels.hpp"
#include "common/freeread.hpp"
#include "common/messages.hpp"
#include "ctrlsurf/ctrlsurf.hpp"
#include "geometry/model.hpp"
#include "geometry/modelin.hpp"
#include "geometry/modelmore.hpp"
#include "main/config.hpp"
#include "panels/irrfs.hpp"

namespace zorva {

namespace {

using fread::I;
using fread::R;

// One point (x, y) of a list, made nondimensional; a point beyond
// MAXCOORD is no point of a control surface.
bool read_point(float* p) {
    if (fread::read_group(IUCSF, {R(p, 2)}) != 0) return false;
    p[0] *= model::ULENI;
    p[1] *= model::ULENI;
    return COORDSOK(p, 2, 1.0f);
}

void read_error(int& IERR) {
    ERRMSG("Error reading CSF file for boundaries of waterlines= ", 0);
    IERR = 1;
}

// The polygon of a prism into XYCSF (and its first N points into XBND
// when TOBND).
bool read_polygon(int IB, bool TOBND, int& IERR) {
    using namespace csf;
    if (fread::read_group(IUCSF, {I(NVERTCSF)}) != 0) {
        read_error(IERR);
        return false;
    }
    if (NVERTCSF < 2 || NVERTCSF > fread::MAXITEMS || (TOBND && NVERTCSF > XBND.extent(2))) {
        ERRMSG(" Control-surface polygon needs at least two vertices, body ", IB);
        IERR = 1;
        return false;
    }
    if (!XYCSF.allocate(2, NVERTCSF)) {
        ERRMSG(" Allocation error for XYCSF array in RDCSFA, body ", IB);
        IERR = 1;
        return false;
    }
    for (int v = 1; v <= NVERTCSF; ++v) {
        if (!read_point(XYCSF.ptr(1, v))) {
            read_error(IERR);
            return false;
        }
        if (TOBND) XBND(1, v) = XYCSF(1, v), XBND(2, v) = XYCSF(2, v);
    }
    return true;
}

// The body waterline turned counter-clockwise seen from +z (the body
// waterline routines give the loops in the direction of the body's panel
// sides), each segment's angles those of its outward horizontal normal,
// continuous along the loop, and the ray angle at each start vertex.  A
// reversed higher-order segment keeps its patch edge with the code negated
// (its parameter then runs from the edge's end).
void WLCCW(int& IERR) {
    using namespace wl;
    IERR = 0;
    constexpr float PI = 3.1415927f, TWOPI = 6.2831855f;
    for (int k = 1; k <= NCONTWL; ++k) {
        const int i1 = IFSTWL(k), i2 = ILSTWL(k);
        double area = 0.0;
        auto cross = [&area](float ax, float ay, float bx, float by) {
            area += static_cast<double>(ax) * static_cast<double>(by) - static_cast<double>(ay) * static_cast<double>(bx);
        };
        for (int i = i1; i <= i2; ++i) cross(XWLBEG(1, i), XWLBEG(2, i), XWLEND(1, i), XWLEND(2, i));
        if (ISYMEND(k) == 0) {
            // closed loop: the end of the last is the start of the first
        } else {
            cross(XWLEND(1, i2), XWLEND(2, i2), 0.0f, 0.0f);
            cross(0.0f, 0.0f, XWLBEG(1, i1), XWLBEG(2, i1));
        }
        if (area < 0.0) {
            for (int a = i1, b = i2; a <= b; ++a, --b) {
                for (int c = 1; c <= 2; ++c) {
                    const float pa = XWLBEG(c, a), qa = XWLEND(c, a);
                    XWLBEG(c, a) = XWLEND(c, b), XWLEND(c, a) = XWLBEG(c, b);
                    XWLBEG(c, b) = qa, XWLEND(c, b) = pa;
                }
                for (int c = 1; c <= 2; ++c) std::swap(IWLSEG(a, c), IWLSEG(b, c));
                std::swap(TOLWL(a), TOLWL(b));
            }
            if (cfg::ILOWHI != 0)
                for (int i = i1; i <= i2; ++i) IWLSEG(i, 2) = -IWLSEG(i, 2);
            std::swap(ISYMBEG(k), ISYMEND(k));
        }
        // Outward normal angles at the ends of each segment.
        float prev = 0.0f;
        for (int i = i1; i <= i2; ++i) {
            const float dx = XWLEND(1, i) - XWLBEG(1, i), dy = XWLEND(2, i) - XWLBEG(2, i);
            const float chord = std::atan2(dy, dx) - PI / 2;
            float ang[2];
            for (int e = 0; e < 2; ++e) {
                float a = chord;
                if (cfg::ILOWHI != 0) {
                    float X[3], N[3];
                    WLPNT(i, static_cast<float>(e), 1, X, N, IERR);
                    if (IERR != 0) return;
                    // The patch normal, whichever way it points, turned outward.
                    a = std::atan2(N[1], N[0]);
                    if (std::cos(a - chord) < 0.0f) a += PI;
                }
                const float ref = (i == i1 && e == 0) ? chord : (e == 0 ? prev : ang[0]);
                while (a < ref - PI) a += TWOPI;
                while (a > ref + PI) a -= TWOPI;
                ang[e] = a;
            }
            ANGBEG(i) = ang[0];
            ANGEND(i) = ang[1];
            prev = ang[1];
        }
        for (int i = i1 + 1; i <= i2; ++i) ANGVTX(i) = 0.5f * (ANGBEG(i) + ANGEND(i - 1));
        if (ISYMBEG(k) == 1) ANGVTX(i1) = -PI / 2;
        if (ISYMBEG(k) == 2) ANGVTX(i1) = 0.0f;
        if (ISYMEND(k) == 1) ANGEND(i2) = PI / 2;
        if (ISYMEND(k) == 2) ANGEND(i2) = PI;
        if (ISYMBEG(k) == 0 && ISYMEND(k) == 0) ANGVTX(i1) = 0.5f * (ANGBEG(i1) + ANGEND(i2)) - PI;
    }
}

}  // namespace

void EXTFSH(int IFLAG, int IB, int& IERR) {
    using namespace csf;
    using namespace wl;
    IERR = 0;
    const int ne = std::max(NEXTPTS, 1);
    if (!XBND.allocate(2, std::max(NBNDMAX, 1)) || !IWLFSP.allocate(ne) || !IBFSP.allocate(ne) ||
        !TFSP1.allocate(ne) || !TFSP2.allocate(ne) || !XFSP1.allocate(2, ne) || !XFSP2.allocate(2, ne)) {
        ERRMSG("Allocation error in subroutine EXTFSH, body ", IB);
        IERR = 1;
        return;
    }
    XFSP1.fill(0.0f);
    XFSP2.fill(0.0f);
    TFSP1.fill(0.0f);
    TFSP2.fill(1.0f);
    IBFSP.fill(0);
    IWLFSP.fill(0);
    float aref = -10.0f;
    int np = 0;
    // A new patch; refused beyond the room of the arrays.
    auto next = [&]() {
        if (np >= NEXTPTS) {
            ERRMSG(" Too many free-surface patches of the control surface in EXTFSH, body ", IB);
            IERR = 1;
            return false;
        }
        ++np;
        return true;
    };
    auto set2 = [](Arr2<float>& A, int i, const float* p) {
        if (i >= 1) A(1, i) = p[0], A(2, i) = p[1];
    };
    auto ray_angle = [&](int w) {
        float a = 0.0f;
        const float P[2] = {XWLBEG(1, w), XWLBEG(2, w)};
        WLANGLE(P, ANGVTX(w), 1, a, aref);
        return a;
    };
    auto polar = [&](const float* P) {
        float a = 0.0f;
        WLANGLE(P, 0.0f, 0, a, aref);
        return a;
    };
    if (ICSFCYL == 1)
        for (int j = 1; j <= NSEGWL; ++j)
            if (std::hypot(XWLBEG(1, j), XWLBEG(2, j)) >= RCSFCYL) {
                ERRMSG(" Body waterline reaches the control-surface cylinder, body ", IB);
                IERR = 1;
                return;
            }

    if (NBNDMAX == 0) {
        if (ICSFCYL == 0) {
            ERRMSG(" Control-surface prism needs boundary lists for the free surface, body ", IB);
            IERR = 1;
            return;
        }
        // One arc patch per waterline segment.
        for (int j = 1; j <= NSEGWL; ++j) {
            IWLFSP(j) = j;
            const float a = ray_angle(j);
            XFSP1(1, j) = a;
            if (j >= 2) XFSP2(1, j - 1) = a;
            if (j == 1) XFSP2(1, NSEGWL) = ISYMEND(1) == 0 ? a + 6.2831855f : ANGEND(NSEGWL);
        }
        np = NSEGWL;
    } else {
        int n = 0;
        if (ICSFCYL == 0) {
            if (!read_polygon(IB, true, IERR)) return;
            n = NVERTCSF;
        }
        const bool lists = ICSFCYL == 1 || NBNDCSF > 1;
        if (lists && NBNDCSF - (ICSFCYL == 0 ? 1 : 0) != NCONTWL) {
            ERRMSG(" Number of boundary lists differs from the number of waterlines, body ", IB);
            IERR = 1;
            return;
        }
        int first = 0;
        for (int k = 1; k <= NCONTWL; ++k) {
            const int i1 = IFSTWL(k), i2 = ILSTWL(k), nk = i2 - i1 + 1;
            const bool closed = ISYMEND(k) == 0;
            if (lists) {
                aref = -10.0f;
                if (fread::read_group(IUCSF, {I(n)}) != 0) return read_error(IERR);
                if (n < 1 || n > NBNDMAX) {
                    ERRMSG(" Boundary list of the control surface has a wrong point count, waterline ", k);
                    IERR = 1;
                    return;
                }
                for (int m = 1; m <= n; ++m)
                    if (!read_point(XBND.ptr(1, m))) return read_error(IERR);
                if (std::fabs(XBND(1, 1) - XBND(1, n)) > 1.0e-6f || std::fabs(XBND(2, 1) - XBND(2, n)) > 1.0e-6f) {
                    FSPART(n, IB, IERR);
                    if (IERR != 0) return;
                }
            }
            bool open = false;
            int J = 0, S = 0, Jp = 0;
            float T = 0.0f, Tp = 0.0f;
            for (int m = 1; m <= n; ++m) {
                PCLOSE(XBND.ptr(1, m), k, IFLAG, J, T, S, IERR);
                if (IERR != 0) return;
                if (S == 2 && m < n) {
                    set2(XFSP2, np, XBND.ptr(1, m));
                    open = false;
                    continue;
                }
                if (open) {
                    // Rays from the waterline vertices between the two feet.
                    int q = 0;
                    if (i1 == i2) {
                        q = Tp > T ? 1 : 0;
                    } else if (closed && J == Jp && T >= Tp) {
                        q = 0;  // further along the same segment: no vertex in between
                    } else {
                        const int jq = closed && J <= Jp ? J + nk : J;
                        q = jq - Jp - (S == 1 ? 1 : 0);
                        if (q < 0) q += nk;
                    }
                    for (int wq = Jp + 1; wq <= Jp + q; ++wq) {
                        const int w = wq > i2 ? wq - nk : wq;
                        float H[2];
                        int st = 0;
                        const float P[2] = {XWLBEG(1, w), XWLBEG(2, w)};
                        SLINT(P, ANGVTX(w), XBND.ptr(1, m - 1), XBND.ptr(1, m), H, st);
                        if (st != 0) {
                            ERRMSG("Error in subroutine EXTFSH/SLINT, waterline ", k);
                            IERR = 1;
                            return;
                        }
                        if (!next()) return;
                        set2(XFSP1, np, H);
                        set2(XFSP2, np - 1, H);
                        IBFSP(np) = m - 1;
                        IWLFSP(np) = w;
                    }
                }
                if (m == n) break;
                if (!next()) return;
                set2(XFSP1, np, XBND.ptr(1, m));
                IBFSP(np) = m;
                IWLFSP(np) = J;
                Jp = J;
                Tp = T;
                if (S == 0) TFSP1(np) = T;
                if (open) {
                    set2(XFSP2, np - 1, XBND.ptr(1, m));
                    if (S == 0 && np >= 2) TFSP2(np - 1) = T;
                } else if (m == 1) {
                    first = np;
                }
                open = true;
            }
            const float t1first = first >= 1 ? TFSP1(first) : 0.0f;
            if (ICSFCYL == 0) {
                if (closed) {
                    if (first >= 1) set2(XFSP2, np, XFSP1.ptr(1, first));
                    if (S == 0 && np >= 1) TFSP2(np) = t1first;
                } else {
                    set2(XFSP2, np, XBND.ptr(1, n));
                }
                continue;
            }
            // Cylinder: arc patches round the rest of the loop.
            if (!next()) return;
            float a = 0.0f;
            if (S < 2) {
                IWLFSP(np) = J;
                if (S == 0) {
                    TFSP1(np) = T;
                    if (np >= 2) TFSP2(np - 1) = T;
                }
                a = polar(XBND.ptr(1, n));
            } else {
                IWLFSP(np) = i1;
            }
            set2(XFSP2, np - 1, XBND.ptr(1, n));
            XFSP1(1, np) = a;
            const int wfirst = first >= 1 ? IWLFSP(first) : 0;
            int q = 0, js = J;
            if (i1 == i2) {
                q = T > t1first && closed ? 1 : 0;
            } else {
                if (t1first < 1.0e-6f) {
                    int je = wfirst - 1;
                    if (je < i1) je += nk;
                    js = S == 2 ? i1 : J;
                    q = je - js;
                } else {
                    q = wfirst - J;
                }
                if (q < 0) q += nk;
            }
            for (int wq = js + 1; wq <= js + q; ++wq) {
                const int w = wq > i2 ? wq - nk : wq;
                const float aw = ray_angle(w);
                if (!next()) return;
                XFSP1(1, np) = aw;
                XFSP2(1, np - 1) = aw;
                IWLFSP(np) = w;
            }
            if (ISYMEND(k) == 1 && XBND(1, 1) < 1.0e-6f) {
                XFSP2(1, np) = 1.5707964f;
            } else {
                XFSP2(1, np) = polar(XBND.ptr(1, 1));
                if (S == 0) TFSP2(np) = t1first;
            }
        }
    }
    NCSFFSP = NCONTWL > 0 ? np : 0;
    NPTBND.deallocate();
    XBND.deallocate();
    TOLWL.deallocate();
    ANGBEG.deallocate();
    ANGEND.deallocate();
    ANGVTX.deallocate();
    IFSTWL.deallocate();
    ILSTWL.deallocate();
    ISYMBEG.deallocate();
    ISYMEND.deallocate();
    if (cfg::ILOWHI == 1) {
        XWLBEG.deallocate();
        XWLEND.deallocate();
    }
}

void RDCSFA(int& NPATCSF, int IB, int& IERR) {
    using namespace csf;
    IERR = 0;
    const std::array<int, 2> isxy = {ISXBODY, ISYBODY};
    const bool fs = NPATCSF == 0;
    if (fs) {
        if (cfg::ILOWHI == 0)
            WLINESL(1, isxy, IB, IERR);
        else
            WLINESH(1, isxy, IB, IERR);
        if (IERR > 0) return;
        WLCCW(IERR);
        if (IERR > 0) return;
    }
    if (fread::read_group(IUCSF, {R(RCSFCYL), R(DCSFCYL)}) != 0 || fread::read_group(IUCSF, {I(NBNDCSF)}) != 0)
        return read_error(IERR);
    RCSFCYL *= model::ULENI;
    DCSFCYL *= model::ULENI;
    if (!COORDSOK(&RCSFCYL, 1, 1.0f) || !COORDSOK(&DCSFCYL, 1, 1.0f)) {
        ERRMSG(" Error in CSF file: radius or depth beyond 1.E6 x ULEN", 0);
        IERR = 1;
        return;
    }
    ICSFCYL = RCSFCYL >= 1.0e-8f ? 1 : 0;
    NCSFFSP = 0;
    if (fs) {
        if (NBNDCSF < 0 || NBNDCSF > wl::NCONTWL + 1) {
            ERRMSG(" More boundary lists than waterlines in the CSF file, body ", IB);
            IERR = 1;
            return;
        }
        if (!NPTBND.allocate(wl::NCONTWL + 1)) {
            ERRMSG(" Allocation error in RDCSFA subroutine ", 0);
            IERR = 1;
            return;
        }
        NPTBND.fill(0);
        long next = wl::NSEGWL, nmax = 0;
        for (int b = 1; b <= NBNDCSF; ++b) {
            int nb = 0;
            if (fread::read_group(IUCSF, {I(nb)}) != 0) return read_error(IERR);
            if (nb < 1 || nb > fread::MAXITEMS) {
                ERRMSG(" Boundary list of the control surface has a wrong point count, list ", b);
                IERR = 1;
                return;
            }
            for (int m = 1; m <= nb; ++m) {
                float p[2];
                if (!read_point(p)) return read_error(IERR);
            }
            NPTBND(b) = nb;
            if (b >= 2 && ICSFCYL == 0) NPTBND(b) += NPTBND(1);
            next += NPTBND(b);
            nmax = std::max<long>(nmax, NPTBND(b));
        }
        NEXTPTS = static_cast<int>(next);
        NBNDMAX = static_cast<int>(nmax);
        if (NBNDCSF > 0) {
            // Back to the first list.
            std::string t;
            int iv[3] = {};
            float rv[3] = {};
            int nb = 0;
            if (chan::rewind(IUCSF) != 0 || fread::read_text(IUCSF, t, 80) != 0 ||
                fread::read_group(IUCSF, {I(iv[0])}) != 0 || fread::read_group(IUCSF, {I(iv + 1, 2)}) != 0 ||
                fread::read_group(IUCSF, {I(iv[0]), I(iv[1]), R(rv[0])}) != 0 ||
                fread::read_group(IUCSF, {R(rv, 2)}) != 0 || fread::read_group(IUCSF, {I(nb)}) != 0)
                return read_error(IERR);
        }
        EXTFSH(1, IB, IERR);
        if (IERR != 0) return;
    } else if (ICSFCYL == 0) {
        if (!read_polygon(IB, false, IERR)) return;
    }
    if (ICSFCYL == 1) {
        NWALLCSF = 2;
        NPATCSF = NCSFFSP + NWALLCSF;
        return;
    }
    // Prism: a flat wall patch on every polygon side, and the bottom, the
    // polygon in reverse order (closed through the origin for a quarter),
    // in flat patches of at most four vertices fanned from its first.
    const int nv = NVERTCSF;
    std::vector<int> ring;  // vertex numbers of the bottom, 0 the origin
    for (int m = nv; m >= 1; --m) ring.push_back(m);
    const bool shut =
        nv >= 3 && std::fabs(XYCSF(1, 1) - XYCSF(1, nv)) < 1.0e-6f && std::fabs(XYCSF(2, 1) - XYCSF(2, nv)) < 1.0e-6f;
    if (shut) ring.pop_back();
    if (!shut && ISCSF(1, IB) == 1 && ISCSF(2, IB) == 1 && std::fabs(XYCSF(2, 1)) < 1.0e-6f &&
        std::fabs(XYCSF(1, nv)) < 1.0e-6f)
        ring.push_back(0);
    std::vector<std::array<int, 4>> bottom;
    if (ring.size() <= 4) {
        std::array<int, 4> b{};
        for (std::size_t m = 0; m < 4; ++m) b[m] = m < ring.size() ? ring[m] : ring.back();
        bottom.push_back(b);
    } else {
        for (std::size_t k = 1; k + 1 < ring.size(); k += 2)
            bottom.push_back({ring[0], ring[k], ring[k + 1], k + 2 < ring.size() ? ring[k + 2] : ring[k + 1]});
    }
    NWALLCSF = nv - 1 + static_cast<int>(bottom.size());
    if (!XVCSF.allocate(4, 3, NWALLCSF)) {
        ERRMSG(" Allocation error for XVCSF array in RDCSF0 ", 0);
        IERR = 1;
        return;
    }
    const float zb = cfg::XBODY(3, IB), d = DCSFCYL;
    auto put = [](int k, int m, float x, float y, float z) {
        XVCSF(m, 1, k) = x, XVCSF(m, 2, k) = y, XVCSF(m, 3, k) = z;
    };
    for (int k = 1; k <= nv - 1; ++k) {
        put(k, 1, XYCSF(1, k), XYCSF(2, k), -d - zb);
        put(k, 2, XYCSF(1, k + 1), XYCSF(2, k + 1), -d - zb);
        put(k, 3, XYCSF(1, k + 1), XYCSF(2, k + 1), -zb);
        put(k, 4, XYCSF(1, k), XYCSF(2, k), -zb);
    }
    for (std::size_t b = 0; b < bottom.size(); ++b)
        for (int m = 1; m <= 4; ++m) {
            const int v = bottom[b][static_cast<std::size_t>(m - 1)];
            put(nv + static_cast<int>(b), m, v == 0 ? 0.0f : XYCSF(1, v), v == 0 ? 0.0f : XYCSF(2, v), -d - zb);
        }
    NPATCSF = NCSFFSP + NWALLCSF;
}

}  // namespace zorva
