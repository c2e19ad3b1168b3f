// Spline control files: the B-spline orders, interval counts and
// quadrature orders of every patch (from the .spl files, the configuration
// or the panel size), the number of unknowns, and the side lengths of a
// patch.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "common/bounds.hpp"
#include "common/channels.hpp"
#include "common/fnamext.hpp"
#include "common/freeread.hpp"
#include "common/messages.hpp"
#include "geometry/bspline.hpp"
#include "geometry/hogeom.hpp"
#include "geometry/model.hpp"
#include "geometry/modelmore.hpp"
#include "main/config.hpp"
#include "main/fnames.hpp"
#include "panels/irrfs.hpp"

namespace zorva {

using namespace model;
namespace fr = fread;

namespace {
constexpr int MAXKORD = MAXBSPLORD;  // largest B-spline order the assembly takes

// "A", "A and B", "A, B and C".
std::string listed(const std::vector<std::string>& v) {
    std::string s;
    for (std::size_t i = 0; i < v.size(); ++i) {
        if (i > 0) s += i + 1 == v.size() ? " and " : ", ";
        s += v[i];
    }
    return s;
}
}  // namespace

void PSIDLEN(float* S, int IB, int IP, int& IERR) {
    // |dX/dv| along sides 1 and 3, |dX/du| along sides 2 and 4.
    auto f = [&](int side, float t, float& val) {
        const float u = side == 1 ? 1.0f : side == 3 ? -1.0f : t;
        const float v = side == 2 ? 1.0f : side == 4 ? -1.0f : t;
        float x[3], vn[3], xu[3], xv[3], aj = 0.0f;
        BODYGEOM(u, v, IB, IP, x, vn, xu, xv, aj, 1, 0, IERR);
        if (IERR != 0) {
            ERRMSG(" Error in call to BODYGEOM from PSIDLEN, PATCH= ", IP);
            return false;
        }
        const float* d = side % 2 == 1 ? xv : xu;
        val = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
        return true;
    };
    for (int side = 1; side <= 4; ++side) {
        float T = 0.0f;
        const int st = SIDELEN([&](float t, float& v) { return f(side, t, v); }, T);
        if (st < 0) return;
        if (st == 0) {
            ERRMSG(" Warning: Romberg not converged in PSIDLEN", 0);
            ERRMSG("                                 BODY= ", IB);
            ERRMSG("                                PATCH= ", IP);
            std::fill(S, S + 6, 1.0f);
            return;
        }
        S[side - 1] = T;
    }
    float x[3], vn[3], xu[3], xv[3], aj = 0.0f;
    BODYGEOM(0.0f, 0.0f, IB, IP, x, vn, xu, xv, aj, 1, 0, IERR);
    if (IERR != 0) {
        ERRMSG(" Error in call to BODYGEOM from PSIDLEN, PATCH= ", IP);
        return;
    }
    S[4] = std::sqrt(xv[0] * xv[0] + xv[1] * xv[1] + xv[2] * xv[2]);
    S[5] = std::sqrt(xu[0] * xu[0] + xu[1] * xu[1] + xu[2] * xu[2]);
}

int SIDELEN(const std::function<bool(float, float&)>& F, float& T) {
    // Romberg-style halving of the trapezoidal rule on [-1, 1].
    float a, b, c;
    if (!F(1.0f, a) || !F(-1.0f, b) || !F(0.0f, c)) return -1;
    T = (a + b) / 2.0f + c;
    float h = 1.0f;
    bool done = false;
    for (int m = 1; m <= 10 && !done; ++m) {
        h /= 2.0f;
        float sum = 0.0f;
        for (int i = 1; i <= (1 << m); ++i) {
            float fv;
            if (!F(-1.0f + static_cast<float>(2 * i - 1) * h, fv)) return -1;
            sum += fv;
        }
        const float Tn = h * sum + T / 2.0f;
        const float change = std::fabs(Tn) + std::fabs(T) <= 2.0f ? std::fabs(T - Tn) : std::fabs(1.0f - T / Tn);
        done = change < 0.01f && m > 4;
        T = Tn;
    }
    return done ? 1 : 0;
}

void RDSPL(const ExtTable& EXTS, int LEXT, int IU, int& NEQN, int& IERR) {
    (void)LEXT;
    IERR = 0;
    NEQN = 0;
    const int nb = cfg::NBODY, np = std::max(NPATCHR, NPATCHW);
    auto nomem = [&] {
        ERRMSG("Insufficient memory to allocate RDSPL arrays", 0);
        IERR = 1;
    };
    if (!SPLNAME.allocate(nb) || !SPLHDR.allocate(nb) || !ISPLB.allocate(nb) || !NBU.allocate(NPATCHW) ||
        !NBV.allocate(NPATCHW))
        return nomem();
    for (auto* a : {&KU, &KV, &NU, &NV, &IQUO, &IQVO, &IQUI, &IQVI})
        if (!a->allocate(np)) return nomem();
    MAXKNU = MAXKNV = MAXKU = MAXKV = MAXNU = MAXNV = MAXQU = MAXQV = MXIQUO = MXIQVO = MXNBUKV = 0;

    KU.fill(cfg::KSPLIN >= 1 ? cfg::KSPLIN : 3);
    KV.fill(cfg::KSPLIN >= 1 ? cfg::KSPLIN : 3);
    IQUO.fill(cfg::IQUADO >= 1 ? cfg::IQUADO : 3);
    IQVO.fill(cfg::IQUADO >= 1 ? cfg::IQUADO : 3);
    IQUI.fill(cfg::IQUADI >= 1 ? cfg::IQUADI : 4);
    IQVI.fill(cfg::IQUADI >= 1 ? cfg::IQUADI : 4);
    const bool sized = cfg::PANEL_SIZE > 0.0f;
    ISPLB.fill(sized && cfg::KSPLIN >= 1 && cfg::IQUADO >= 1 && cfg::IQUADI >= 1 ? 0 : 1);

    if (sized) {
        const float ps = cfg::PANEL_SIZE * ULENI;
        for (int q = 1; q <= NPATCHBD; ++q) {
            NU(q) = static_cast<int>(ARCLEN(q) / ps) + 1;
            NV(q) = static_cast<int>(WTLARR5(q) / ps) + 1;
        }
        ARCLEN.deallocate();
        WTLARR5.deallocate();
    }

    // The groups of each patch of a .spl file; a group is left out of the
    // file when the panel size or a configuration key gives its values.
    struct GroupKey {
        bool present;
        const char* names;  // the group's values
        const char* key;    // the key that removes it
    };
    const GroupKey gkeys[4] = {{!sized, "NU NV", "PANEL_SIZE"},
                               {cfg::KSPLIN == 0, "KU KV", "KSPLIN"},
                               {cfg::IQUADO == 0, "IQUO IQVO", "IQUADO"},
                               {cfg::IQUADI == 0, "IQUI IQVI", "IQUADI"}};
    std::vector<std::string> removed, rkeys;
    for (const GroupKey& g : gkeys) {
        if (g.present) continue;
        removed.emplace_back(g.names);
        rkeys.emplace_back(g.key);
    }
    const int nremoved = static_cast<int>(removed.size());
    // "KSPLIN set in the configuration removes the group KU KV from every
    // patch of the file", and what to do when the file still holds it.
    const std::string rule = listed(rkeys) + " set in the configuration " + (nremoved == 1 ? "removes" : "remove") +
                             (nremoved == 1 ? " the group " : " the groups ") + listed(removed) +
                             " from every patch of the file";
    const char* them = nremoved == 1 ? "that group" : "those groups";
    auto fix = [&](const std::string& file) {
        return "the " + listed(removed) + (nremoved == 1 ? " group" : " groups") + " of each patch from " + file +
               ", or " + listed(rkeys) + " from the configuration";
    };

    // The .spl files, patch k counted over the geometry files of all bodies.
    int k = 0;
    for (int ib = 1; ib <= nb; ++ib) {
        if (ISPLB(ib) != 1) {
            k += NPATCH(ib);
            continue;
        }
        FNAMEXT(fnames::GDFNAME(ib), SPLNAME(ib), EXTS[7]);
        if (chan::open(IU, SPLNAME(ib), chan::Status::Old) != 0) {
            if (!sized) {
                ERRMSG("Spline file (.spl) cannot be opened for body N=", ib);
                IERR = 1;
                return;
            }
            k += NPATCH(ib);
            ISPLB(ib) = 0;
            continue;
        }
        ECHOINP(SPLNAME(ib), IU, 0);
        auto refuse = [&](const std::string& text, int value) {
            ERRMSG(text, value);
            chan::close(IU);
            IERR = 1;
        };
        auto fail = [&](const char* text) { refuse(text, ib); };
        // Status of a read: end of file is missing data, a bad value the
        // group's own message; counts and orders below 1, spline orders above the
        // assembly's and quadrature orders above the rule's limit are bad values.
        const char* missing = "Spline file (.spl) missing data for body N=";
        const int hst = fr::read_text(IU, SPLHDR(ib), 72);
        if (hst != 0) return fail(hst == -1 ? missing : "Error reading header in .spl file for body N=");
        for (int p = 1; p <= NPATCH(ib); ++p) {
            ++k;
            struct Group {
                bool present;
                int *a, *b;
                int lo, hi;
                const char* bad;
            };
            const Group groups[4] = {
                {!sized, &NU(k), &NV(k), 1, fr::MAXITEMS, "Error reading NU,NV in .spl file for body N="},
                {cfg::KSPLIN == 0, &KU(k), &KV(k), 1, MAXKORD, "Error reading KU,KV in .spl file for body N="},
                {cfg::IQUADO == 0, &IQUO(k), &IQVO(k), 1, gauss::MAXORDER, "Error reading IQUO in .spl file for body N="},
                {cfg::IQUADI == 0, &IQUI(k), &IQVI(k), 1, gauss::MAXORDER, "Error reading IQUI in .spl file for body N="}};
            for (const Group& g : groups) {
                if (!g.present) continue;
                const int st = fr::read_group(IU, {fr::I(*g.a), fr::I(*g.b)});
                if (st == -1) return fail(missing);
                if (st != 0 || *g.a < g.lo || *g.b < g.lo || *g.a > g.hi || *g.b > g.hi) {
                    if (nremoved == 0) return fail(g.bad);
                    // A file that still holds a removed group is read out of
                    // place from there on: the likely cause of a bad value.
                    return refuse(g.bad + errmsg_value(ib) + ", patch " + std::to_string(p) + "; " + rule + " (" +
                                  SPLNAME(ib) + "): if it still holds " + them + ", remove " + fix(SPLNAME(ib)),
                                  0);
                }
            }
        }
        // After the last patch: blank lines and notes, or whole further
        // patches that are not read.  Numbers there are groups the patches
        // did not take: when keys removed groups, most likely groups that
        // the file still holds; numbers that make no whole patches, a line
        // too many or too few in the file.  Either shifts every value read
        // after it.
        constexpr int PERGROUP = 2, PERPATCH = 4 * PERGROUP;  // numbers of a group, of a whole patch
        long long left = 0;
        int lines = 0;
        for (;;) {
            std::string line;
            const int st = fr::read_line(IU, line);
            if (st == -1) break;
            if (st != 0) return fail("Error reading .spl file after the last patch for body N=");
            const long long n = fr::count_numbers(line);
            if (n > 0) left = std::min(left + n, 1LL << 60), lines = std::min(lines + 1, fr::MAXITEMS);
        }
        if (left > 0 && (nremoved > 0 || left % PERPATCH != 0)) {
            std::string text = "Error in .spl file " + SPLNAME(ib) + " for body N=" + errmsg_value(ib) + ": " +
                               std::to_string(left) + (left == 1 ? " number on " : " numbers on ") +
                               std::to_string(lines) + (lines == 1 ? " line" : " lines") + " left over after its " +
                               std::to_string(NPATCH(ib)) + (NPATCH(ib) == 1 ? " patch" : " patches");
            if (nremoved == 0) {
                text += ", not whole patches of " + std::to_string(PERPATCH) +
                        " numbers each (the groups NU NV, KU KV, IQUO IQVO and IQUI IQVI): a line too many or "
                        "missing in the file shifts every value read after it";
            } else if (left == static_cast<long long>(PERGROUP) * nremoved * NPATCH(ib)) {
                // Just as many numbers as the removed groups take.
                text += ": as many as the " + listed(removed) + (nremoved == 1 ? " group takes" : " groups take") +
                        " in each patch, which " + listed(rkeys) + " set in the configuration " +
                        (nremoved == 1 ? "removes" : "remove") + " from the file: the file still holds " + them +
                        ", so values were read out of place. Remove " + fix(SPLNAME(ib));
            } else {
                text += "; " + rule + ": if it still holds " + them + ", remove " + fix(SPLNAME(ib));
            }
            return refuse(text, 0);
        }
        chan::close(IU);
    }

    // Symmetry images take the values of their source patch.
    // (over the patches before trimming, which IPIR numbers)
    if (NPATCHT < NPATCHR && NPATCH(1) + 1 <= NPATCHR) {
        for (int q = NPATCHR; q >= NPATCH(1) + 1; --q) {
            const int s = IPIR(q);
            KU(q) = KU(s), KV(q) = KV(s);
            IQUO(q) = IQUO(s), IQVO(q) = IQVO(s), IQUI(q) = IQUI(s), IQVI(q) = IQVI(s);
            if (!sized) NU(q) = NU(s), NV(q) = NV(s);
        }
    }
    if (cfg::ITRIMWL > 0) {
        GROWSPL(NPATCHR, NPATCHW, NPATCHBD, IERR);
        if (IERR != 0) return;
    }
    int irrmax = 0;
    for (int ib = 1; ib <= nb; ++ib) irrmax = std::max(irrmax, cfg::IRR(ib));
    if (irrmax == 3) {
        // Interior free-surface patches: the orders and counts of the body
        // patch they start from, with as many intervals across the patch as
        // its depth holds of the body patch's intervals.
        for (int q = NPATCHBD + 1; q <= NPATCHW; ++q) {
            const int j = q - NPATCHBD, k = ifs::IFSBP(j);
            if (cfg::IRR(IBPTH(k)) <= 1) continue;
            float S[6];
            PSIDLEN(S, IBPTH(k), k, IERR);
            if (IERR != 0) return;
            const float L = ifs::FSLEN(j);
            const int e = std::abs(ifs::IFSEDG(j));
            if (e == 1 || e == 3) {
                NU(q) = static_cast<int>(std::ceil(static_cast<float>(NU(k)) * L / std::max({S[1], S[3], S[5]})));
                NV(q) = NV(k);
                KU(q) = KU(k), KV(q) = KV(k);
                IQUO(q) = IQUO(k), IQVO(q) = IQVO(k), IQUI(q) = IQUI(k), IQVI(q) = IQVI(k);
            } else {
                NU(q) = static_cast<int>(std::ceil(static_cast<float>(NV(k)) * L / std::max({S[0], S[2], S[4]})));
                NV(q) = NU(k);
                KU(q) = KV(k), KV(q) = KU(k);
                IQUO(q) = IQVO(k), IQVO(q) = IQUO(k), IQUI(q) = IQVI(k), IQVI(q) = IQUI(k);
            }
            NU(q) = std::max(NU(q), 1);
        }
    }

    NPATCHT = NPATCHW;
    long neqn = 0;
    for (int q = 1; q <= NPATCHT; ++q) {
        NBU(q) = NU(q) + KU(q) - 1;
        NBV(q) = NV(q) + KV(q) - 1;
        neqn += static_cast<long>(NBU(q)) * NBV(q);
        MAXKNU = std::max(MAXKNU, NBU(q) + KU(q));
        MAXKNV = std::max(MAXKNV, NBV(q) + KV(q));
        MAXKU = std::max(MAXKU, KU(q));
        MAXKV = std::max(MAXKV, KV(q));
        MAXNU = std::max(MAXNU, NU(q));
        MAXNV = std::max(MAXNV, NV(q));
        MXIQUO = std::max(MXIQUO, IQUO(q));
        MXIQVO = std::max(MXIQVO, IQVO(q));
        MAXQU = std::max(MAXQU, IQUI(q));
        MAXQV = std::max(MAXQV, IQVI(q));
        MXNBUKV = std::max(MXNBUKV, NBU(q) * KV(q));
    }
    if (neqn > fr::MAXITEMS) {
        ERRMSG("Number of unknowns of the spline control files is too large, NEQN=", fr::MAXITEMS);
        IERR = 1;
        return;
    }
    if (neqn < 1) {
        ERRMSG("Error: the bodies' patches have no unknowns, NEQN=", 0);
        IERR = 1;
        return;
    }
    NEQN = static_cast<int>(neqn);
    if (cfg::ITRIMWL > 0) NPATCHLIM = NPATCHBD;

    if (cfg::IDIPOLE != 0) {
        const int K = std::max(MAXKU, MAXKV);
        if (!BINOM.allocate(K, K)) return nomem();
        BINOM(1, 1) = 1.0f;
        for (int n = 2; n <= K; ++n) {
            BINOM(n, 1) = 1.0f;
            for (int j = 1; j <= n - 1; ++j)
                BINOM(n, j + 1) = static_cast<float>(n - j) * BINOM(n, j) / static_cast<float>(j);
        }
    }
    IPIR.deallocate();
}

void GROWSPL(int NPATCHR, int NPATCHW, int NPATCHBD, int& IERR) {
    IERR = 0;
    const bool sized = cfg::PANEL_SIZE > 0.0f;
    const int np = std::max(NPATCHR, NPATCHW);
    std::vector<Arr1<int>*> tabs = {&IQUI, &IQVI, &IQUO, &IQVO, &KU, &KV};
    if (!sized) tabs.insert(tabs.end(), {&NU, &NV});
    for (Arr1<int>* a : tabs) {
        Arr1<int> old = *a;
        if (!old.allocated() || (a->extent(1) < np && !a->resize_keep(np))) {
            IERR = 1;
            return;
        }
        for (int q = 1; q <= NPATCHBD; ++q) {
            const int s = IPGDF(q), m = ITRIMSV.allocated() ? ITRIMSV(q) : 1;
            (*a)(q) = old(s);
            // A quarter of m subdivisions has 1/m of the source's intervals.
            if ((a == &NU || a == &NV) && m >= 2) (*a)(q) = old(s) / m + 1;
        }
    }
}

}  // namespace zorva
