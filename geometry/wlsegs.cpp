// Waterline segments of a low-order body and the projected interior free
// surface of an IRR = 2 body.
#include <algorithm>
#include <cmath>

#include "common/messages.hpp"
#include "geometry/model.hpp"
#include "geometry/modelin.hpp"
#include "main/config.hpp"

namespace zorva {

using namespace model;

namespace {
constexpr int NEXT[5] = {0, 2, 3, 4, 1};
}

void IRR2FS(int& NPAN, int IPFIRST, float ZBODY, int& IERR) {
    IERR = 0;
    int inew = IPFIRST + NPAN - 1;
    const int last = inew;
    for (int ip = IPFIRST; ip <= last; ++ip) {
        if (ITANK(ip) > 0) continue;
        if (IDIPSYM == 1 && IDIPWM(ip) != 0) continue;
        // z component of the unit normal (X4 - X2) x (X3 - X1).
        const double ax = XVER(4, 1, ip) - XVER(2, 1, ip), ay = XVER(4, 2, ip) - XVER(2, 2, ip),
                     az = XVER(4, 3, ip) - XVER(2, 3, ip);
        const double bx = XVER(3, 1, ip) - XVER(1, 1, ip), by = XVER(3, 2, ip) - XVER(1, 2, ip),
                     bz = XVER(3, 3, ip) - XVER(1, 3, ip);
        const double nx = ay * bz - az * by, ny = az * bx - ax * bz, nzr = ax * by - ay * bx;
        const double len = std::sqrt(nx * nx + ny * ny + nzr * nzr);
        if (len <= 0.0) continue;  // degenerate panel: no direction to project along
        const float nz = static_cast<float>(nzr / len);
        if (std::fabs(nz) < 1.0E-5f) continue;
        if (nz < -0.99999f) {
            bool inplane = true;
            for (int k = 1; k <= 4; ++k)
                if (std::fabs(XVER(k, 3, ip) + ZBODY) >= 1.0E-5f) inplane = false;
            if (inplane) continue;
        }
        if (nz < -1.0E-5f) ERRMSG(" WARNING: IRR=2, panel slopes upward for panel number =", ip);
        ++inew;
        GROWXVER(inew, 0, IERR);
        if (IERR != 0) {
            IERR = 1;
            ERRMSG(" For IRR=2, RAM too small for free-surface panels", 0);
            return;
        }
        for (int k = 1; k <= 4; ++k) {
            XVER(k, 1, inew) = XVER(5 - k, 1, ip);
            XVER(k, 2, inew) = XVER(5 - k, 2, ip);
            XVER(k, 3, inew) = -ZBODY;
        }
    }
    NPAN = inew - IPFIRST + 1;
}

void GROWWLS(int N, int& IERR) {
    IERR = 0;
    const int n = std::max(N, 0);
    if (!IWLPAN.resize_keep(n) || !IWLSIDE.resize_keep(n)) IERR = 1;
}

void WLSEGS(int IB, int IPFIRST, int ISEG, int& IERR) {
    IERR = 0;
    const int npan = NPANB(IB);
    GROWWLS(ISEG - 1 + npan, IERR);
    if (IERR != 0) {
        ERRMSG("Insufficient memory to allocate waterline segments ", 0);
        return;
    }
    const float zbody = cfg::XBODY(3, IB);
    int c = 0;
    for (int ip = IPFIRST; ip <= IPFIRST + npan - 1; ++ip) {
        const int t = ITANK.allocated() && ip <= ITANK.extent(1) ? ITANK(ip) : 0;
        const float zref = t >= 1 && t <= cfg::ZTANKFS.extent(1) ? -cfg::ZTANKFS(t) : zbody;
        float zv[5];
        float zmax = -1.0E30f, zmin = 1.0E30f;
        for (int k = 1; k <= 4; ++k) {
            zv[k] = XVER(k, 3, ip) + zref;
            zmax = std::max(zmax, zv[k]);
            zmin = std::min(zmin, zv[k]);
        }
        if (!(zmax >= -1.0E-5f && zmin <= -1.0E-5f)) continue;
        float sz = 0.01f;
        for (int i = 1; i <= 3; ++i)
            for (int j = i + 1; j <= 4; ++j)
                for (int d = 1; d <= 3; ++d) sz = std::max(sz, XVER(j, d, ip) - XVER(i, d, ip));
        auto side_len = [&](int a, int b) {
            float m = 0.0f;
            for (int d = 1; d <= 3; ++d) m = std::max(m, std::fabs(XVER(b, d, ip) - XVER(a, d, ip)));
            return m;
        };
        for (int k = 1; k <= 4; ++k) {
            const int tk = NEXT[k];
            if (side_len(k, tk) < 0.0001f * sz || std::fabs(zv[k]) > 1.0E-5f || std::fabs(zv[tk]) > 1.0E-5f)
                continue;
            const int u = NEXT[tk];
            if (std::fabs(zv[u]) < 1.0E-5f && side_len(tk, u) > 0.0001f * sz) {
                NWLPANB(IB) = c;
                ERRMSG("Error: Three vertices on the free surface of panel I= ", ip);
                IERR = 1;
                return;
            }
            ++c;
            IWLPAN(ISEG - 1 + c) = ip - IPFIRST + 1;
            IWLSIDE(ISEG - 1 + c) = k;
            break;
        }
    }
    NWLPANB(IB) = c;
    GROWWLS(std::max(1, ISEG + c - 1), IERR);
    if (IERR != 0) ERRMSG("Insufficient memory to allocate waterline segments ", 0);
}

}  // namespace zorva
