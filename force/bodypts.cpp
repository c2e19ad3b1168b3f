// Body points of the .bpi files (low-order method): each point is folded
// into the body's representative part, attached to the nearest panel
// centroids of its own body with inverse-distance weights, and reported
// in the body's .bpo file.
#include <cmath>
#include <string>
#include <vector>

#include "common/channels.hpp"
#include "common/fmtwrite.hpp"
#include "common/fnamext.hpp"
#include "common/freeread.hpp"
#include "common/messages.hpp"
#include "force/bodypts.hpp"
#include "geometry/hogeom.hpp"
#include "geometry/model.hpp"
#include "geometry/modelmore.hpp"
#include "geometry/modelin.hpp"
#include "main/config.hpp"
#include "main/fnames.hpp"
#include "main/runparams.hpp"
#include "p2f/forcedata.hpp"
#include "panels/paneldata.hpp"

namespace zorva {

namespace frc {
Arr1<int> IBPIMG, IBPIDX;
Arr2<int> IBPPAN;
Arr2<float> WBPPAN;
void reset_bpt() {
    IBPIMG.deallocate();
    IBPIDX.deallocate();
    IBPPAN.deallocate();
    WBPPAN.deallocate();
}
}  // namespace frc

namespace {

constexpr int IUBPI = 25, IUBPO = 39;

std::string bpname(int ib, std::string_view ext) {
    std::string out;
    FNAMEXT(fnames::GDFNAME(ib), out, ext);
    return out;
}

// Image id and its position for quadrant K (1..4) by symmetry case
// (planes x = 0 and y = 0, each 0 or 1).
constexpr int IMGID[4][4] = {{1, 1, 1, 1}, {1, 2, 2, 1}, {1, 1, 4, 4}, {1, 2, 3, 4}};
constexpr int IMGPOS[4][4] = {{1, 1, 1, 1}, {1, 2, 2, 1}, {1, 1, 2, 2}, {1, 2, 3, 4}};

bool available(int p) { return !pnl::IPFLAG.allocated() || pnl::IPFLAG(p) != -1; }
bool dipole(int p) { return model::IDIPWM.allocated() && model::IDIPWM(p) != 0; }

// Title and point count of a .bpi file open on IUBPI; false after a
// message naming the file when the count cannot be read.
bool read_head(const std::string& name, std::string& title, int& n) {
    const int st = fread::read_text(IUBPI, title, 72);
    int st2 = st == 0 ? fread::read_group(IUBPI, {fread::I(n)}) : st;
    if (st2 != 0 || n < 0) {
        ERRMSG(" Error reading the number of points (record 2) of body-point file " + name, 0);
        return false;
    }
    return true;
}

}  // namespace

void PNLBPT(const float* X, int IB, int IUNIT, int IFIRST, int J, int& IERR) {
    using namespace frc;
    const int N = std::abs(cfg::IPNLBPT);
    const int p0 = IFIRST, p1 = IFIRST + model::NPANB(IB) - 1;
    // Panels the search may use: those not flagged out; with dipole panels
    // in the run the search keeps to one kind, so a body holding both kinds
    // offers only the smaller count.
    int nord = 0, ndip = 0;
    for (int p = p0; p <= p1; ++p)
        if (available(p)) ++(dipole(p) ? ndip : nord);
    int navail = nord + ndip;
    if (cfg::IDIPOLE == 1 && nord > 0 && ndip > 0) navail = std::min(nord, ndip);
    if (navail < N) {
        ERRMSG(" |IPNLBPT| is too large, reduce it to ", navail);
        cfg::name_given("IPNLBPT");
        IERR = 1;
        return;
    }
    std::vector<float> d2(static_cast<std::size_t>(N) + 1), dist(static_cast<std::size_t>(N) + 1);
    std::vector<int> pan(static_cast<std::size_t>(N) + 1, 0);
    auto search = [&](int kind) {  // kind -1 any, 0 ordinary, 1 dipole
        int c = 0;
        for (int p = p0; p <= p1; ++p) {
            if (!available(p)) continue;
            if (kind >= 0 && (dipole(p) ? 1 : 0) != kind) continue;
            const float xg[3] = {pnl::PCENT(1, p), pnl::PCENT(2, p), pnl::PCENT(3, p)};
            float xc[3];
            GLB2BODY(xg, xc, IB);
            const float d = (X[0] - xc[0]) * (X[0] - xc[0]) + (X[1] - xc[1]) * (X[1] - xc[1]) +
                            (X[2] - xc[2]) * (X[2] - xc[2]);
            ++c;
            if (c > N && d >= d2[static_cast<std::size_t>(N)]) continue;
            int k = std::min(c, N);
            while (k > 1 && d2[static_cast<std::size_t>(k - 1)] >= d) {
                d2[static_cast<std::size_t>(k)] = d2[static_cast<std::size_t>(k - 1)];
                pan[static_cast<std::size_t>(k)] = pan[static_cast<std::size_t>(k - 1)];
                --k;
            }
            d2[static_cast<std::size_t>(k)] = d;
            pan[static_cast<std::size_t>(k)] = p;
        }
    };
    search(-1);
    if (cfg::IDIPOLE == 1) {
        bool mixed = false;
        for (int e = 1; e <= N; ++e) mixed = mixed || dipole(pan[static_cast<std::size_t>(e)]);
        if (mixed) search(dipole(pan[1]) ? 1 : 0);
    }
    for (int e = 1; e <= N; ++e) dist[static_cast<std::size_t>(e)] = std::sqrt(d2[static_cast<std::size_t>(e)]);

    // The .bpo line(s): image position, then (panel, distance) pairs, four a line.
    std::vector<fmt::Arg> a{IBPIDX(J)};
    for (int e = 1; e <= N; ++e) {
        a.emplace_back(pan[static_cast<std::size_t>(e)] - IFIRST + 1);
        a.emplace_back(dist[static_cast<std::size_t>(e)]);
    }
    int st = fmt::write(IUNIT, "(I4,1X,4(I6,F10.6),:,/,(5X,4(I6,F10.6)))", std::span<const fmt::Arg>(a));
    if (st != 0) {
        ERRMSG(" Error writing body-point output file " + chan::name(IUNIT), 0);
        IERR = 1;
        return;
    }

    for (int e = 1; e <= N; ++e) IBPPAN(e, J) = pan[static_cast<std::size_t>(e)];
    if (N == 1) {
        WBPPAN(1, J) = 1.0f;
    } else if (dist[1] < 1.0e-8f) {
        for (int e = 1; e <= N; ++e) WBPPAN(e, J) = e == 1 ? 1.0f : 0.0f;
    } else {
        float s = 0.0f;
        for (int e = 1; e <= N; ++e) s += 1.0f / dist[static_cast<std::size_t>(e)];
        for (int e = 1; e <= N; ++e) WBPPAN(e, J) = (1.0f / dist[static_cast<std::size_t>(e)]) / s;
    }
}

void FINDBPT(int& IERR) {
    using namespace frc;
    const int nb = cfg::NBODY;
    const bool hi = cfg::ILOWHI != 0;
    if (!NBPT.allocate(nb)) {
        ERRMSG(" Error allocating memory in FINDBPT ", 0);
        IERR = 1;
        return;
    }
    // Counting pass.
    for (int ib = 1; ib <= nb; ++ib) {
        NBPT(ib) = 0;
        const std::string name = bpname(ib, ".bpi");
        if (chan::open(IUBPI, name, chan::Status::Old) != 0) {
            ERRMSG(" WARNING: no .bpi input file for body IB=", ib);
            continue;
        }
        std::string title;
        int n = 0;
        const bool ok = read_head(name, title, n);
        chan::close(IUBPI);
        if (!ok) {
            IERR = 1;
            return;
        }
        NBPT(ib) = n;
    }
    NBPTT = 0;
    for (int ib = 1; ib <= nb; ++ib) NBPTT += NBPT(ib);
    const int N = std::max(std::abs(cfg::IPNLBPT), 1);
    bool ok = IBPIMG.allocate(NBPTT) && IBPIDX.allocate(NBPTT);
    if (hi)
        ok = ok && IBPPAT.allocate(NBPTT) && IBPLEFT.allocate(NBPTT) && ENBP.allocate(3, NBPTT) &&
             XUBP.allocate(3, NBPTT) && XVBP.allocate(3, NBPTT) && BUBP.allocate(model::MAXKU, 2, NBPTT) &&
             BVBP.allocate(model::MAXKV, 2, NBPTT) && VNBP.allocate(model::NMODT, NBPTT) &&
             UVBP.allocate(2, NBPTT);
    else
        ok = ok && WBPPAN.allocate(N, NBPTT) && IBPPAN.allocate(N, NBPTT);
    if (!ok) {
        ERRMSG(" Error allocating memory in FINDBPT ", 0);
        IERR = 1;
        return;
    }
    IBPPAN.fill(0);
    WBPPAN.fill(0.0f);

    const int isx = std::max(model::ISX, 0), isy = std::max(model::ISY, 0);
    const int scase = isx + 2 * isy;  // 0 none, 1 x = 0, 2 y = 0, 3 both
    int J = 0, IFIRST = 1;
    for (int ib = 1; ib <= nb; ++ib) {
        const int first = IFIRST;
        IFIRST += model::NPANB(ib);
        const std::string name = bpname(ib, ".bpi");
        if (chan::open(IUBPI, name, chan::Status::Old) != 0) {
            ERRMSG(" WARNING: no .BPI input file for body IB=", ib);
            continue;
        }
        if (chan::open(IUBPO, bpname(ib, ".bpo"), chan::Status::Replace) != 0) {
            chan::close(IUBPI);
            ERRMSG("Error opening .BPO output file ", 0);
            IERR = 1;
            return;
        }
        auto stop = [&] {
            chan::close(IUBPI);
            chan::close(IUBPO);
            IERR = 1;
        };
        std::string title;
        int n = 0;
        if (!read_head(name, title, n)) return stop();
        if (n != NBPT(ib)) {
            ERRMSG(" Body-point file " + name + " changed while it was read", 0);
            return stop();
        }
        title.resize(72, ' ');
        fmt::write(IUBPO, "(A)", {std::string_view(title)});
        fmt::write_list(IUBPO, {n});

        // Side of the geometry that the panels describe.
        float sgnx = 1.0f, sgny = 1.0f;
        if ((isx == 1 || isy == 1) && hi) {
            float xm = 0.0f, ym = 0.0f;
            for (int p = model::IPSTART(ib); p < model::IPSTART(ib) + model::NPATCHB(ib); ++p) {
                if (model::IFSPAT(p) == -1) continue;
                const float at[5][2] = {{0, 0}, {-0.99999f, -0.99999f}, {-0.99999f, 0.99999f}, {0.99999f, -0.99999f},
                                        {0.99999f, 0.99999f}};
                for (const auto& uv : at) {
                    float xs[3], e[3], xu[3], xv[3], aj;
                    int ierr = 0;
                    BODYGEOM(uv[0], uv[1], ib, p, xs, e, xu, xv, aj, 1, 0, ierr);
                    if (ierr != 0) {
                        ERRMSG(" Error calling BODYGEOM from FINDBPTH, PATCH ", p);
                        return stop();
                    }
                    if (model::ISX == 1 && std::fabs(xs[0]) > std::fabs(xm)) xm = xs[0];
                    if (model::ISY == 1 && std::fabs(xs[1]) > std::fabs(ym)) ym = xs[1];
                }
            }
            if (model::ISX == 1 && xm < 0.0f) sgnx = -1.0f;
            if (model::ISY == 1 && ym < 0.0f) sgny = -1.0f;
        } else if (isx == 1 || isy == 1) {
            float xm = 0.0f, ym = 0.0f;
            for (int p = first; p < IFIRST; ++p) {
                if (model::ISX == 1 && std::fabs(pnl::PCENT(1, p)) > std::fabs(xm)) xm = pnl::PCENT(1, p);
                if (model::ISY == 1 && std::fabs(pnl::PCENT(2, p)) > std::fabs(ym)) ym = pnl::PCENT(2, p);
            }
            if (model::ISX == 1 && xm < 0.0f) sgnx = -1.0f;
            if (model::ISY == 1 && ym < 0.0f) sgny = -1.0f;
        }
        int nunconv = 0;
        for (int i = 1; i <= n; ++i) {
            ++J;
            float x[3] = {0.0f, 0.0f, 0.0f};
            int got = 0;
            const int st = fread::read_group(IUBPI, {fread::R(x, 3)}, &got);
            if (st != 0 || got < 3 || !std::isfinite(x[0]) || !std::isfinite(x[1]) || !std::isfinite(x[2])) {
                ERRMSG(" Body point " + std::to_string(i) + " (record " + std::to_string(i + 2) + ") of " + name +
                           " cannot be placed: three coordinates x y z expected",
                       0);
                return stop();
            }
            float X[3];
            for (int c = 0; c < 3; ++c) X[c] = x[c] * model::ULENI;
            if (cfg::IPNLBPT < 0) {
                const float xg[3] = {X[0], X[1], X[2]};
                GLB2BODY(xg, X, ib);
            }
            const float xs = X[0] * sgnx, ys = X[1] * sgny;
            const int k = ys >= 0.0f ? (xs >= 0.0f ? 1 : 2) : (xs < 0.0f ? 3 : 4);
            IBPIMG(J) = IMGID[scase][k - 1];
            IBPIDX(J) = IMGPOS[scase][k - 1];
            if (isx == 1) X[0] = std::fabs(X[0]) * sgnx;
            if (isy == 1) X[1] = std::fabs(X[1]) * sgny;
            if (hi)
                FINDBPTH(X, ib, IUBPO, i, J, nunconv, IERR);
            else
                PNLBPT(X, ib, IUBPO, first, J, IERR);
            if (IERR > 0) {
                chan::close(IUBPI);
                chan::close(IUBPO);
                return;
            }
        }
        chan::close(IUBPI);
        chan::close(IUBPO);
        if (nunconv > 0) {
            ERRMSG(" Warning: Number of unconverged BPT inputs =", nunconv);
            ERRMSG("                       on body number  IB =", ib);
            ERRMSG("          Check BPO file for details ", 0);
        }
    }
}

void OPNPNL(int& IERR) {
    const auto& IOPTN = run::IOPTN;
    if (IOPTN[5] < 1 || IOPTN[5] > 3) return;
    if (cfg::IPNLBPT != 0) {
        FINDBPT(IERR);
        return;
    }
    if (cfg::ILOWHI == 1) {
        GETPCT(IERR);
        if (IERR != 0) return;
    }
    WRPNL(IERR);
}

}  // namespace zorva
