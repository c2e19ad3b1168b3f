// Waterline trimming of low-order bodies: move, classify, cut and split.
#include "geometry/trimlow.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "common/fmtwrite.hpp"
#include "common/messages.hpp"
#include "geometry/model.hpp"
#include "geometry/modelin.hpp"
#include "main/config.hpp"
#include "main/fnames.hpp"

namespace zorva {

using namespace model;

namespace {

constexpr int NEXT[5] = {0, 2, 3, 4, 1};
constexpr int PREV[5] = {0, 4, 1, 2, 3};
constexpr int OPP[5] = {0, 3, 4, 1, 2};

struct V3 {
    float x[3];
};

V3 vert(int p, int k) { return {{XVER(k, 1, p), XVER(k, 2, p), XVER(k, 3, p)}}; }
void set_vert(int p, int k, const V3& v) {
    for (int c = 1; c <= 3; ++c) XVER(k, c, p) = v.x[c - 1];
}

// A point of body IB in its own frame, pitched, heeled and sunk by XTRIM.
V3 trimmed(const V3& v, int IB) {
    const float ct = TRIMCS(1, IB), st = TRIMCS(2, IB), cp = TRIMCS(3, IB), sp = TRIMCS(4, IB);
    const float x = v.x[0], y = v.x[1], z = v.x[2];
    return {{ct * x + st * sp * y + st * cp * z, cp * y - sp * z,
             -st * x + ct * sp * y + ct * cp * z + cfg::XTRIM(1, IB)}};
}

// Point where the edge (a, b) crosses the level ZL.  When its wet end lies
// on the waterline, that end itself: a crossing a hair away from it would
// leave an edge too short to be a waterline segment but long enough to be
// taken for one, and three vertices of the panel on the free surface.
V3 cut(const V3& a, const V3& b, float ZL) {
    const float A = a.x[2] - ZL, B = b.x[2] - ZL;
    if (B == A) return a;  // both ends at one level: no crossing to find
    if (A < 0.0f && A > -ONWL) return a;
    if (B < 0.0f && B > -ONWL) return b;
    V3 r;
    for (int c = 0; c < 3; ++c) r.x[c] = (a.x[c] * B - b.x[c] * A) / (B - A);
    return r;
}

// Two adjacent dry vertices K and next(K): each is moved to the crossing of
// the edge that joins it to its wet neighbour.
void two_dry(int p, int K, float ZL) {
    const int Q = NEXT[K];
    const V3 nk = cut(vert(p, PREV[K]), vert(p, K), ZL);
    const V3 nq = cut(vert(p, Q), vert(p, OPP[K]), ZL);
    set_vert(p, K, nk);
    set_vert(p, Q, nq);
}

// Level of panel IP: its tank's own free surface where one is given.
float level(int IP, float ZFS) {
    const int t = ITANK(IP);
    if (t != 0 && cfg::IZTANKFS == 1 && t >= 1 && t <= cfg::ZTANKFS.extent(1)) return cfg::ZTANKFS(t) + ZFS;
    return ZFS;
}

// The three panel arrays with count -1 (delete IP) or +1 (copy IP to IP+1).
void services(int n, int IP, int IB, int& IERR) {
    GROWXVER(n, IP, IERR);
    if (IERR == 0) GROWTANK(n, IP, IERR);
    if (IERR != 0) return;
    if (IDIPWM(IP) == 1) NPAND(IB) += n;
    GROWDIPW(n, IP, IERR);
}

}  // namespace

void DELPAN(int& IP, int& NPAN, float ZL, int IB, int& IERR) {
    IERR = 0;
    float c[3] = {0, 0, 0}, a[3], b[3];
    for (int d = 1; d <= 3; ++d) {
        c[d - 1] = 0.25f * (XVER(1, d, IP) + XVER(2, d, IP) + XVER(3, d, IP) + XVER(4, d, IP));
        a[d - 1] = XVER(1, d, IP) + XVER(2, d, IP) - XVER(3, d, IP) - XVER(4, d, IP);
        b[d - 1] = XVER(1, d, IP) + XVER(4, d, IP) - XVER(2, d, IP) - XVER(3, d, IP);
    }
    float A = 0.0f;
    const float la = std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]);
    float n[3] = {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
    const float ln = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (la > 0.0f && ln > 0.0f) {
        float e1[3], e2[3];
        for (int d = 0; d < 3; ++d) {
            e1[d] = a[d] / la;
            n[d] /= ln;
        }
        e2[0] = n[1] * e1[2] - n[2] * e1[1];
        e2[1] = n[2] * e1[0] - n[0] * e1[2];
        e2[2] = n[0] * e1[1] - n[1] * e1[0];
        float xi[5], eta[5];
        for (int k = 1; k <= 4; ++k) {
            xi[k] = eta[k] = 0.0f;
            for (int d = 1; d <= 3; ++d) {
                const float v = XVER(k, d, IP) - c[d - 1];
                xi[k] += v * e1[d - 1];
                eta[k] += v * e2[d - 1];
            }
        }
        for (int k = 1; k <= 4; ++k) A += 0.5f * (xi[NEXT[k]] - xi[k]) * (eta[k] + eta[NEXT[k]]);
    }
    float D = 1.0f;
    for (int k = 1; k <= 4; ++k) D = std::min(D, XVER(k, 3, IP) - ZL);
    if (D > -2.0E-6f || !(A >= 1.0E-10f)) {
        services(-1, IP, IB, IERR);
        if (IERR != 0) return;
        --IP;
        --NPAN;
    }
}

void TRIMGDF(int IFIRST, int& NPAN, float ZFS, int IB, int& IERR) {
    if (NPAN < 1) return;
    const int N = NPAN;
    // The class and tank arrays move in step with XVER below: they must
    // hold an entry for every panel (a reflection may have left the class
    // array shorter).
    const int last = IFIRST + NPAN - 1;
    int ierr = 0;
    if (!ITANK.allocated() || ITANK.extent(1) < last) GROWTANK(last, 0, ierr);
    if (ierr == 0 && (!IDIPWM.allocated() || IDIPWM.extent(1) < last)) GROWDIPW(last, 0, ierr);
    if (ierr != 0) {
        IERR = ierr;
        ERRMSG("RAM is not sufficient to allocate arrays from GDF file ", 0);
        return;
    }
    int IP = IFIRST - 1;
    for (int pass = 1; pass <= N; ++pass) {
        ++IP;
        const float ZL = level(IP, ZFS);
        for (int k = 1; k <= 4; ++k) set_vert(IP, k, trimmed(vert(IP, k), IB));
        if (ITANK(IP) != 0 && cfg::IZTANKFS != 1) continue;  // a tank without its own level is not cut

        bool dry[5] = {false, false, false, false, false};
        int ndry = 0, K1 = 0, KW = 0;
        for (int k = 1; k <= 4; ++k) {
            dry[k] = !(XVER(k, 3, IP) < ZL);
            if (dry[k]) {
                ++ndry;
                if (K1 == 0) K1 = k;
            } else {
                KW = k;
            }
        }
        if (KW == 3) K1 = 4;

        if (ndry == 0) continue;
        if (ndry == 4) {
            services(-1, IP, IB, IERR);
            if (IERR != 0) break;
            --IP;
            --NPAN;
            continue;
        }
        if (ndry == 2 && dry[OPP[K1]]) {
            // Two opposite dry corners: the panel is split along the diagonal
            // of its wet corners W1, W2 and each triangle keeps its wet part,
            // so that no dry vertex is left.
            const int W1 = NEXT[K1], D2 = OPP[K1], W2 = PREV[K1];
            const V3 k1 = vert(IP, K1), w1 = vert(IP, W1), d2 = vert(IP, D2), w2 = vert(IP, W2);
            services(1, IP, IB, IERR);
            if (IERR != 0) break;
            ++NPAN;
            set_vert(IP, K1, cut(w2, k1, ZL));
            set_vert(IP, W1, cut(k1, w1, ZL));
            set_vert(IP, D2, w1);
            set_vert(IP, W2, w2);
            DELPAN(IP, NPAN, ZL, IB, IERR);
            if (IERR != 0) break;
            ++IP;
            set_vert(IP, K1, w2);
            set_vert(IP, W1, w1);
            set_vert(IP, D2, cut(w1, d2, ZL));
            set_vert(IP, W2, cut(d2, w2, ZL));
            DELPAN(IP, NPAN, ZL, IB, IERR);
            if (IERR != 0) break;
            continue;
        }
        if (ndry == 2) {
            two_dry(IP, K1, ZL);
        } else if (ndry == 3) {
            const int W = KW, Q = NEXT[W], P = PREV[W];
            const V3 w = vert(IP, W);
            const V3 nq = cut(w, vert(IP, Q), ZL), np = cut(w, vert(IP, P), ZL);
            set_vert(IP, Q, nq);
            set_vert(IP, P, np);
            set_vert(IP, OPP[W], nq);
        } else {
            const int K = K1, P = PREV[K], Q = NEXT[K], O = OPP[K];
            auto d2 = [&](int a, int b) {
                float s = 0.0f;
                for (int c = 1; c <= 3; ++c) s += (XVER(a, c, IP) - XVER(b, c, IP)) * (XVER(a, c, IP) - XVER(b, c, IP));
                return s;
            };
            if (ZL - XVER(Q, 3, IP) < 2.0E-6f) {
                two_dry(IP, K, ZL);
            } else if (ZL - XVER(P, 3, IP) < 2.0E-6f) {
                two_dry(IP, P, ZL);
            } else if (d2(P, O) < 1.0E-12f) {
                set_vert(IP, P, vert(IP, K));
                two_dry(IP, P, ZL);
            } else if (d2(Q, O) < 1.0E-12f) {
                set_vert(IP, Q, vert(IP, K));
                two_dry(IP, K, ZL);
            } else {
                // Split: the triangle P, P1, O and the quadrilateral P1, P2, Q, O.
                const V3 p1 = cut(vert(IP, P), vert(IP, K), ZL), p2 = cut(vert(IP, K), vert(IP, Q), ZL);
                services(1, IP, IB, IERR);
                if (IERR != 0) break;
                ++NPAN;
                set_vert(IP, K, p1);
                set_vert(IP, Q, vert(IP, O));
                DELPAN(IP, NPAN, ZL, IB, IERR);
                if (IERR != 0) break;
                ++IP;
                set_vert(IP, K, p2);
                set_vert(IP, P, p1);
            }
        }
        DELPAN(IP, NPAN, ZL, IB, IERR);
        if (IERR != 0) break;
    }
    if (IERR != 0) ERRMSG("RAM is not sufficient to allocate arrays from GDF file ", 0);
}

std::string TRIMTEXT(int IB) {
    std::string text = "XTRIM =";
    for (int c = 1; c <= 3; ++c) {
        text += ' ';
        text += fmt::num(cfg::XTRIM(c, IB) * (c == 1 ? ULEN(1) : 1.0f) + 0.0f, 6);
    }
    return text;
}

namespace {

// A panel side, its ends and middle, and the panel it belongs to.
struct Edge {
    V3 a, b, m;
    int p;
    bool source;  // a side of a body panel (not a dipole panel)
};

float gap(const V3& a, const V3& b) {
    return std::max({std::fabs(a.x[0] - b.x[0]), std::fabs(a.x[1] - b.x[1]), std::fabs(a.x[2] - b.x[2])});
}

// Largest coordinate difference from the point Q to the segment (A, B).
float gap_to_segment(const V3& q, const V3& a, const V3& b) {
    double A[3], D[3], Q[3], ab2 = 0.0, t = 0.0;
    for (int c = 0; c < 3; ++c) {
        A[c] = static_cast<double>(a.x[c]);
        D[c] = static_cast<double>(b.x[c]) - A[c];
        Q[c] = static_cast<double>(q.x[c]) - A[c];
        ab2 += D[c] * D[c];
        t += Q[c] * D[c];
    }
    t = ab2 > 0.0 ? std::clamp(t / ab2, 0.0, 1.0) : 0.0;
    double g = 0.0;
    for (int c = 0; c < 3; ++c) g = std::max(g, std::fabs(Q[c] - t * D[c]));
    return static_cast<float>(g);
}

std::string point_text(const V3& v) {
    std::string s = "(";
    for (int c = 0; c < 3; ++c) {
        if (c > 0) s += ", ";
        s += fmt::num(v.x[c] * ULEN(1) + 0.0f, 6);  // + 0: no "-0"
    }
    return s + ")";
}

}  // namespace

void OPENEDGE(int IFIRST, int NPAN, float ZFS, int IB, std::array<int, 2> ISXY, int& IERR) {
    IERR = 0;
    if (NPAN < 1 || (cfg::IBODY_WAVEMAKER > 0 && IB >= cfg::IBODY_WAVEMAKER)) return;
    const int last = IFIRST + NPAN - 1;
    auto tank = [&](int p) { return ITANK.allocated() && p <= ITANK.extent(1) && ITANK(p) != 0; };
    auto dipole = [&](int p) { return IDIPWM.allocated() && p <= IDIPWM.extent(1) && IDIPWM(p) != 0; };
    float big = 0.0f;
    for (int p = IFIRST; p <= last; ++p)
        for (int k = 1; k <= 4; ++k)
            for (int c = 1; c <= 3; ++c) big = std::max(big, std::fabs(XVER(k, c, p)));
    const float tol = std::max(1.0E-4f, 1.0E-6f * big);

    // The sides of the panels, tanks left out (their own surfaces).
    std::vector<Edge> e;
    for (int p = IFIRST; p <= last; ++p) {
        if (tank(p)) continue;
        for (int k = 1; k <= 4; ++k) {
            const V3 a = vert(p, k), b = vert(p, NEXT[k]);
            if (gap(a, b) <= tol) continue;
            V3 m;
            for (int c = 0; c < 3; ++c) m.x[c] = 0.5f * (a.x[c] + b.x[c]);
            e.push_back({a, b, m, p, !dipole(p)});
        }
    }
    if (e.empty()) return;

    // Sides sorted by the cell of their middle (cells 2 x tol wide): sides
    // that match have their middles in neighbouring cells.
    using Key = std::tuple<std::int64_t, std::int64_t, std::int64_t>;
    const double cell = 2.0 * static_cast<double>(tol);
    auto key = [&](const V3& m, int dx, int dy, int dz) {
        return Key{static_cast<std::int64_t>(std::floor(static_cast<double>(m.x[0]) / cell)) + dx,
                   static_cast<std::int64_t>(std::floor(static_cast<double>(m.x[1]) / cell)) + dy,
                   static_cast<std::int64_t>(std::floor(static_cast<double>(m.x[2]) / cell)) + dz};
    };
    std::vector<std::pair<Key, int>> byc;
    byc.reserve(e.size());
    for (std::size_t i = 0; i < e.size(); ++i) byc.emplace_back(key(e[i].m, 0, 0, 0), static_cast<int>(i));
    std::sort(byc.begin(), byc.end());
    auto matched = [&](int i) {
        const Edge& s = e[static_cast<std::size_t>(i)];
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                for (int dz = -1; dz <= 1; ++dz) {
                    const Key k = key(s.m, dx, dy, dz);
                    auto lo = std::lower_bound(byc.begin(), byc.end(), std::make_pair(k, -1));
                    for (auto it = lo; it != byc.end() && it->first == k; ++it) {
                        if (it->second == i) continue;
                        const Edge& o = e[static_cast<std::size_t>(it->second)];
                        if ((gap(s.a, o.a) <= tol && gap(s.b, o.b) <= tol) ||
                            (gap(s.a, o.b) <= tol && gap(s.b, o.a) <= tol))
                            return true;
                    }
                }
        return false;
    };
    std::vector<int> open;  // the unmatched sides, found when first needed
    bool found = false;
    auto covered = [&](int i) {
        if (!found) {
            for (std::size_t j = 0; j < e.size(); ++j)
                if (!matched(static_cast<int>(j))) open.push_back(static_cast<int>(j));
            found = true;
        }
        const Edge& s = e[static_cast<std::size_t>(i)];
        for (int j : open) {
            const Edge& o = e[static_cast<std::size_t>(j)];
            if (j != i && gap_to_segment(s.m, o.a, o.b) <= tol) return true;
        }
        return false;
    };

    const float XB = cfg::XBODY(1, IB), YB = cfg::XBODY(2, IB), ch = CSPHIB(1, IB), sh = CSPHIB(2, IB);
    // In a wall plane of the run, once trimmed and placed.
    auto on_wall = [&](const V3& v) {
        const V3 t = trimmed(v, IB);
        const float x = t.x[0], y = t.x[1];
        return (cfg::IWALLX0 == 1 && std::fabs(XB + ch * x - sh * y) <= tol) ||
               (cfg::IWALLY0 == 1 && std::fabs(YB + sh * x + ch * y) <= tol);
    };
    auto depth = [&](const V3& v) { return ZFS - trimmed(v, IB).x[2]; };
    for (std::size_t i = 0; i < e.size(); ++i) {
        const Edge& s = e[i];
        if (!s.source) continue;
        // A side in a plane of symmetry meets its own mirror image.
        bool inplane = false;
        for (int c = 0; c < 2; ++c)
            if (ISXY[static_cast<std::size_t>(c)] == 1 && std::fabs(s.a.x[c]) <= tol && std::fabs(s.b.x[c]) <= tol)
                inplane = true;
        if (inplane) continue;
        // The side and its mirror images, each as the trim moves it.
        for (int img = 0; img < 4; ++img) {
            const int mx = img & 1, my = img >> 1;
            if ((mx == 1 && ISXY[0] != 1) || (my == 1 && ISXY[1] != 1)) continue;
            V3 a = s.a, b = s.b;
            if (mx == 1) a.x[0] = -a.x[0], b.x[0] = -b.x[0];
            if (my == 1) a.x[1] = -a.x[1], b.x[1] = -b.x[1];
            const float d = std::max(depth(a), depth(b));
            if (!(d > ONWL) || (on_wall(a) && on_wall(b))) continue;
            if (matched(static_cast<int>(i)) || covered(static_cast<int>(i))) break;
            std::string text = " Error in GDF file " + fnames::GDFNAME(IB) + ", body " + std::to_string(IB) + ": ";
            if (img == 0) {
                text += "panel " + std::to_string(s.p - IFIRST + 1);
            } else {
                text += "the mirror image about ";
                text += mx == 1 && my == 1 ? "x = 0 and y = 0" : (mx == 1 ? "x = 0" : "y = 0");
                text += " of panel " + std::to_string(s.p - IFIRST + 1);
            }
            text += " has an open edge, from " + point_text(a) + " to " + point_text(b) +
                    ", that no other panel shares, and waterline trimming (" + TRIMTEXT(IB) + ") puts it " +
                    fmt::num((d - 1.0E-6f) * ULEN(1), 6) +
                    " below the free surface: the body is open under water. A body to be trimmed needs freeboard "
                    "(its panels must reach above the waterline it will have: a deck, or sides high enough), or a "
                    "smaller trim or sinkage";
            ERRMSG(text, 0);
            IERR = 1;
            return;
        }
    }
}

}  // namespace zorva
