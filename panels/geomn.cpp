// Low-order panel tables: every panel's geometry and modal normals, its
// checks, the per-body hydrostatic sums, the panel classes and the strips
// of interior free-surface (lid) panels.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "common/fmtwrite.hpp"
#include "common/messages.hpp"
#include "geometry/model.hpp"
#include "main/config.hpp"
#include "main/fnames.hpp"
#include "panels/geom.hpp"
#include "panels/geomdata.hpp"
#include "panels/paneldata.hpp"

namespace zorva {

using namespace pnl;

namespace {

// Refusal of panel I of body NB, whose centroid lies below the bottom: the
// panel's message, then the line naming the file, the body and the depth.
void below_bottom(int NB, int I) {
    ERRMSG(" Field point is below bottom on panel ", I);
    ERRMSG(" Error in GDF file " + fnames::GDFNAME(NB) + ", body " + std::to_string(NB) + ", panel " +
               std::to_string(I) + ": centroid below the bottom (depth HBOT = " + fmt::num(model::HBOT * model::ULEN(1), 6) +
               " in POT file " + fnames::FILEPOT + ")",
           0);
}

}  // namespace

void PNLCHKS(int NB, int NP, int IPAN0, int& IPERR) {
    using model::XVER;
    const int m0 = model::IBMOD(NB);
    const float XB = cfg::XBODY(1, NB), YB = cfg::XBODY(2, NB), ZB = cfg::XBODY(3, NB);
    const float cs = model::CSPHIB(1, NB), sn = model::CSPHIB(2, NB);
    const bool turned = XB != 0.0f || YB != 0.0f || cfg::XBODY(4, NB) != 0.0f;
    const bool wall = model::ISX == -1 || model::ISY == -1;
    const bool quad = cfg::IQUAD == 1;
    const float HBOT = model::HBOT;
    float xg[12], wg[4];
    for (int i = 1; i <= NP; ++i) {
        const int g = IPAN0 + i - 1;
        float* XG = quad ? &XVERG(1, 1, g) : xg;
        float* WG = quad ? &PNLARR2(1, g) : wg;
        int ierr = 0;
        PANEL(&XVER(1, 1, g), &PCENT(1, g), &PAXES(1, 1, g), &PNLARR6(1, g), &PNLARR5(1, g), &PPROP(1, g),
              &PNLARR4(1, g), XG, WG, cfg::IDIAG, &PNLARR3(1, g), i, cfg::IQUAD, ierr);
        if (ierr == 1) IPERR = 1;

        const int t = model::ITANK(g);
        const float nx = PAXES(3, 1, g), ny = PAXES(3, 2, g), nz = PAXES(3, 3, g);
        const float x = PCENT(1, g), y = PCENT(2, g), z = PCENT(3, g);
        const float A = PPROP(1, g);

        // Modal normals; a lid candidate keeps zeros and so adds to no sum.
        if (!(nz <= -0.9999f && t <= 0 && ZB + z >= -0.0001f)) {
            VNMODE(m0 + 1, g) = nx;
            VNMODE(m0 + 2, g) = ny;
            VNMODE(m0 + 3, g) = nz;
            VNMODE(m0 + 4, g) = y * nz - z * ny;
            VNMODE(m0 + 5, g) = z * nx - x * nz;
            VNMODE(m0 + 6, g) = x * ny - y * nx;
        }

        // Second moments of the area: at the centroid, or by the rule.
        float Sxx, Syy, Sxy, Szz;
        if (!quad) {
            Sxx = A * x * x;
            Syy = A * y * y;
            Sxy = A * x * y;
            Szz = A * (z + ZB) * (z + ZB);
        } else {
            Sxx = Syy = Sxy = Szz = 0.0f;
            for (int q = 1; q <= 4; ++q) {
                const float xq = XVERG(q, 1, g), yq = XVERG(q, 2, g), zq = XVERG(q, 3, g);
                const float w = PNLARR2(q, g);
                Sxx += w * xq * xq;
                Syy += w * yq * yq;
                Sxy += w * xq * yq;
                Szz += w * (zq + ZB) * (zq + ZB);
                PNLARR1(q, 1, g) = yq * nz - zq * ny;
                PNLARR1(q, 2, g) = zq * nx - xq * nz;
                PNLARR1(q, 3, g) = xq * ny - yq * nx;
            }
        }

        if (model::IDIPWM(g) == 0) {
            const float vx = VNMODE(m0 + 1, g), vy = VNMODE(m0 + 2, g), vz = VNMODE(m0 + 3, g);
            // Horizontal position and normal for VOLX, VOLY: global with a wall.
            float xh = x, yh = y, nxh = vx, nyh = vy;
            if (wall) {
                xh = x * cs - y * sn + XB;
                yh = x * sn + y * cs + YB;
                nxh = vx * cs - vy * sn;
                nyh = vy * cs + vx * sn;
            }
            if (t == 0) {
                auto C = [m0](int j, int k) -> float& { return CHYD(m0 + j, m0 + k); };
                C(3, 3) += A * vz;
                C(3, 4) += y * A * vz;
                C(3, 5) += x * A * vz;
                C(4, 4) += Syy * vz;
                C(4, 5) += Sxy * vz;
                C(5, 5) += Sxx * vz;
                VOLXYZ(1, NB) += A * nxh * xh;
                VOLXYZ(2, NB) += A * nyh * yh;
                VOLXYZ(3, NB) += A * vz * z;
                XBUOY(1, NB) += Sxx * vx;
                XBUOY(2, NB) += Syy * vy;
                XBUOY(3, NB) += Szz * vz;
            } else if (t > 0 && t <= cfg::CTANK.extent(2) && t <= cfg::ZTANKFS.extent(1)) {
                const float zt = cfg::ZTANKFS(t);
                cfg::CTANK(1, t) += A * vz;
                cfg::CTANK(2, t) -= x * A * vz;
                cfg::CTANK(3, t) += y * A * vz;
                cfg::CTANK(4, t) += Sxx * vx;
                cfg::CTANK(5, t) += Syy * vy;
                cfg::CTANK(6, t) += A * vz * (z + zt) * (z - zt);
                cfg::CTANK(7, t) += Sxx * vz;
                cfg::CTANK(8, t) -= Sxy * vz;
                cfg::CTANK(9, t) += Syy * vz;
                cfg::VOLTANK(1, t) += A * nxh * xh;
                cfg::VOLTANK(2, t) += A * nyh * yh;
                cfg::VOLTANK(3, t) += A * vz * (z - zt);
                if (HBOT > 0.0f && HBOT + z - zt < -1.0E-5f) {
                    below_bottom(NB, i);
                    if (IPERR == 0) IPERR = 2;
                    return;
                }
            }
        }

        // The global tables move with the body; XVER stays in the body frame.
        PCENT(3, g) += ZB;
        if (quad)
            for (int q = 1; q <= 4; ++q) XVERG(q, 3, g) += ZB;
        if (turned) {
            auto move = [&](float& px, float& py) {
                const float u = px, v = py;
                px = cs * u - sn * v + XB;
                py = cs * v + sn * u + YB;
            };
            move(PCENT(1, g), PCENT(2, g));
            if (quad)
                for (int q = 1; q <= 4; ++q) move(XVERG(q, 1, g), XVERG(q, 2, g));
            for (int a = 1; a <= 3; ++a) {
                const float u = PAXES(a, 1, g), v = PAXES(a, 2, g);
                PAXES(a, 1, g) = cs * u - sn * v;
                PAXES(a, 2, g) = cs * v + sn * u;
            }
        }

        if (t == 0 && HBOT > 0.0f && PCENT(3, g) + HBOT < -1.0E-5f) {
            below_bottom(NB, i);
            if (IPERR == 0) IPERR = 2;
            return;
        }
    }
}

void PNLTRI(int NB, int NP, int IPAN0, int IW, int IS, int& NOUT) {
    using model::XVER;
    static constexpr int NEXT[5] = {0, 2, 3, 4, 1};
    static constexpr int OPP[5] = {0, 3, 4, 1, 2};
    NOUT = 0;
    // Free lid panels, the last found first (body-local numbers).
    std::vector<int> freel;
    for (int p = 1; p <= NP; ++p)
        if (IPFLAG(IPAN0 + p - 1) == -1) freel.insert(freel.begin(), p);
    auto put = [&](int v) {
        const int k = IS + NOUT;
        if (LIDSTRIP.extent(1) < k && !LIDSTRIP.resize_keep(k + 16)) return false;
        LIDSTRIP(k) = v;
        ++NOUT;
        return true;
    };
    auto dist2 = [](float ax, float ay, float bx, float by) {
        return (ax - bx) * (ax - bx) + (ay - by) * (ay - by);
    };
    for (int s = 0; s < model::NWLPANB(NB); ++s) {
        const int p = IPAN0 + model::IWLPAN(IW + s) - 1;
        const int m = model::IWLSIDE(IW + s);
        float sx = XVER(m, 1, p), sy = XVER(m, 2, p);
        float ex = XVER(NEXT[m], 1, p), ey = XVER(NEXT[m], 2, p);
        const int cnt = IS + NOUT;
        if (!put(0)) return;
        int n = 0;
        bool go = dist2(sx, sy, ex, ey) >= 1.0E-8f;
        while (go) {
            go = false;
            for (std::size_t f = 0; f < freel.size(); ++f) {
                const int q = IPAN0 + freel[f] - 1;
                int ms = 0;
                for (int k = 1; k <= 4 && ms == 0; ++k)
                    if (dist2(XVER(k, 1, q), XVER(k, 2, q), ex, ey) < 1.0E-8f &&
                        dist2(XVER(NEXT[k], 1, q), XVER(NEXT[k], 2, q), sx, sy) < 1.0E-8f)
                        ms = k;
                if (ms == 0) continue;
                if (!put(q)) return;
                ++n;
                freel.erase(freel.begin() + static_cast<long>(f));
                float per = 0.0f, shortest = 1.0E30f;
                for (int k = 1; k <= 4; ++k) {
                    const float l = std::sqrt(dist2(XVER(k, 1, q), XVER(k, 2, q), XVER(NEXT[k], 1, q), XVER(NEXT[k], 2, q)));
                    per += l;
                    shortest = std::min(shortest, l);
                }
                if (shortest < 0.01f * per || per < 1.0E-30f) break;
                const int o = OPP[ms];
                sx = XVER(o, 1, q);
                sy = XVER(o, 2, q);
                ex = XVER(NEXT[o], 1, q);
                ey = XVER(NEXT[o], 2, q);
                go = true;
                break;
            }
        }
        LIDSTRIP(cnt) = n;
    }
}

void GEOMN(int NEQN, int IMODFL, int& IERR) {
    const int nb = cfg::NBODY, nmodt = model::NMODT;
    const int nq = cfg::IQUAD == 1 ? NEQN : 1;
    int irrmax = 0;
    for (int b = 1; b <= nb; ++b) irrmax = std::max(irrmax, cfg::IRR(b));
    if (!NPANBG.allocate(nb) || !IPFLAG.allocate(NEQN) || !PNLARR6.allocate(4, NEQN) ||
        !PNLARR5.allocate(4, NEQN) || !PCENT.allocate(3, NEQN) || !PAXES.allocate(3, 3, NEQN) ||
        !PPROP.allocate(13, NEQN) || !PNLARR4.allocate(4, NEQN) || !PNLARR3.allocate(2, NEQN) ||
        !VNMODE.allocate(nmodt, NEQN) || !XVERG.allocate(4, 3, nq) || !PNLARR2.allocate(4, nq) ||
        !PNLARR1.allocate(4, 3, nq) || !LIDSTRIP.allocate(irrmax > 0 ? NEQN : 1) ||
        // every panel has a tank number and a class (0 where none was given)
        (model::ITANK.extent(1) < NEQN && !model::ITANK.resize_keep(NEQN)) ||
        (model::IDIPWM.extent(1) < NEQN && !model::IDIPWM.resize_keep(NEQN))) {
        ERRMSG(" RAM too small to allocate arrays in GEOMN ", 0);
        IERR = 1;
        return;
    }
    NLIDSTRIP = 0;
    IERR = 0;
    int ipan0 = 1, iw = 1, is = 1;
    for (int NB = 1; NB <= nb; ++NB) {
        const int np = model::NPANB(NB);
        const int last = ipan0 + np - 1;
        int iperr = 0;
        PNLCHKS(NB, np, ipan0, iperr);
        // A refusal that names the body needs no list of its panels.
        if (iperr != 0) {
            IERR = 1;
            if (iperr == 1) ERRMSG("Panels listed above are for body N=", NB);
        }
        if (IERR == 0) {
            // Extra modes of the body.
            const int nm = NB <= cfg::NEWMDS.extent(1) ? cfg::NEWMDS(NB) : 0;
            if (nm < 0) {
                WRPNLLST(NB, ipan0, last);
                if (nb > 1) ERRMSG(" PRE file completed for body NBDY=", NB);
            } else if (nm > 0) {
                if (cfg::IGENMDS(NB) == 0)
                    RDMOD(NB, ipan0, last, {model::ISX, model::ISY}, IERR);
                else
                    NEWMDVEL(NB, ipan0, last, IERR);
                if (IERR != 0) return;
            }

            // Panel classes: lid panels and physical panels in the free surface.
            int L = 0, U = 0;
            for (int i = ipan0; i <= last; ++i) {
                if (model::ITANK(i) >= 1) continue;
                const float z = PCENT(3, i), nz = PAXES(3, 3, i);
                if (nz < -0.9999f && z > -0.0001f) {
                    IPFLAG(i) = -1;
                    ++L;
                    if (cfg::IRR(NB) == 0) {
                        ERRMSG(" Interior free-surface panels input with IRR=0, body", NB);
                        IERR = 1;
                        return;
                    }
                } else if (nz > 0.9999f && z > -0.0001f) {
                    IPFLAG(i) = 1;
                    ++U;
                }
            }
            NPANBG(NB) = np - L;
            if (U > 0) ERRMSG(" Warning: Physical panel in free surface for body=", NB);
            if (cfg::IRR(NB) > 0) {
                if (L == 0) {
                    ERRMSG(" Warning: IRR>0 but no interior free-surface for body=", NB);
                } else {
                    int nout = 0;
                    PNLTRI(NB, np, ipan0, iw, is, nout);
                    is += nout;
                }
            }
        }
        // The segment table holds the segments of every body in turn.
        iw += NB <= model::NWLPANB.extent(1) ? model::NWLPANB(NB) : 0;
        ipan0 += np;
    }
    NLIDSTRIP = is - 1;
    if (IERR != 0) return;
    if (IMODFL < 0) {
        ERRMSG(" POTEN run 1 completed -- now run NORMIX", 0);
        IERR = 1;
        return;
    }
    model::XVER.deallocate();
}

}  // namespace zorva
