// Shared set-up of the FORCE computation tests: every shared module back at
// its start, then a one-body model whose panels, potentials and matrices a
// test gives directly, as the .p2f file and the force control file would.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/channels.hpp"
#include "common/datetime.hpp"
#include "force/force.hpp"
#include "force/forceres.hpp"
#include "geometry/model.hpp"
#include "geometry/modelmore.hpp"
#include "main/config.hpp"
#include "main/fnames.hpp"
#include "main/runparams.hpp"
#include "main/symmetry.hpp"
#include "p2f/forcedata.hpp"
#include "panels/geomdata.hpp"
#include "panels/paneldata.hpp"
#include "tests/support/modules.hpp"
#include "tests/support/testdir.hpp"

namespace zorva::test {

// One panel: centroid, unit normal, area.
struct Pan {
    float c[3];
    float n[3];
    float area;
};

class ForceTest : public TempDirTest {
public:
    void SetUp() override {
        TempDirTest::SetUp();
        reset_modules();
        RUNDATE = "05-Mar-2024";
        RUNTIME = "09:07:03";
    }

    // One body of six rigid modes (no symmetry, one component) with the
    // given panels, NBETA headings (degrees) and one period of wavenumber
    // nu (infinite depth).  Potentials, restoring and mass matrices zero;
    // output options as given, then the result arrays allocated.
    static void model1(const std::vector<Pan>& pans, const std::vector<float>& beta, float per, float nu,
                       std::array<int, 10> ioptn) {
        const int ne = static_cast<int>(pans.size()), nm = 6, nb = static_cast<int>(beta.size());
        model::NEQN = ne;
        model::NMODT = nm;
        model::IRAD = model::IDIFF = 1;
        model::HBOT = -1.0f;
        model::NPER = 1;
        model::PER.allocate(1);
        model::WNUMNU.allocate(1);
        model::WNUMK.allocate(1);
        model::IPERFL.allocate(1);
        model::PER(1) = per;
        model::WNUMNU(1) = model::WNUMK(1) = nu;
        model::IPERFL(1) = 0;
        set_headings(beta);
        cfg::NBODY = 1;
        cfg::NEWMDS.allocate(1);
        cfg::NEWMDS(1) = 0;
        cfg::NOOUT.allocate(9);
        cfg::NOOUT.fill(1);
        sym::NSYMF = sym::NSYMC = 1;
        sym::NSYMD = 4;
        for (int k = 1; k <= 4; ++k) sym::NSYMRHS[static_cast<std::size_t>(k)] = k;
        sym::NSOLC = nm;
        sym::NMODSC[1] = nm;
        sym::IMODORD.allocate(nm);
        sym::IMODPOS.allocate(nm);
        sym::IMODSC.allocate(nm, 4);
        sym::IMODSC.fill(0);
        frc::MODCOL.allocate(nm);
        frc::MODNUM.allocate(nm);
        frc::MODEC.allocate(nm);
        for (int m = 1; m <= nm; ++m) {
            sym::IMODORD(m) = sym::IMODPOS(m) = sym::IMODSC(m, 1) = m;
            frc::MODCOL(m) = frc::MODNUM(m) = m;
            frc::MODEC(m) = 1;
        }
        frc::NMODBD = frc::NMODFREE = nm;
        frc::NMODWM = 0;
        frc::NBETAF = frc::NBETAP = frc::NBETAX = std::max(nb, 1);
        frc::RADPOT.allocate(ne, nm);
        frc::RADPOT.fill({});
        frc::DIFPOT.allocate(ne, frc::NBETAP, 1);
        frc::DIFPOT.fill({});
        frc::EXTMATND.allocate(3, nm, nm);
        frc::EXTMATND.fill(0.0f);
        pnl::PCENT.allocate(3, ne);
        pnl::PAXES.allocate(3, 3, ne);
        pnl::PPROP.allocate(13, ne);
        pnl::VNMODE.allocate(nm, ne);
        pnl::PAXES.fill(0.0f);
        pnl::PPROP.fill(0.0f);
        for (int i = 1; i <= ne; ++i) {
            const Pan& p = pans[static_cast<std::size_t>(i - 1)];
            for (int c = 1; c <= 3; ++c) {
                pnl::PCENT(c, i) = p.c[c - 1];
                pnl::PAXES(3, c, i) = p.n[c - 1];
                pnl::VNMODE(c, i) = p.n[c - 1];
            }
            pnl::PPROP(1, i) = p.area;
            pnl::VNMODE(4, i) = p.c[1] * p.n[2] - p.c[2] * p.n[1];
            pnl::VNMODE(5, i) = p.c[2] * p.n[0] - p.c[0] * p.n[2];
            pnl::VNMODE(6, i) = p.c[0] * p.n[1] - p.c[1] * p.n[0];
        }
        pnl::CHYD.allocate(nm, nm);
        pnl::CHYD.fill(0.0f);
        run::IOPTN = ioptn;
        alloc_results();
    }

    // The result arrays, zeroed, as the FORCE set-up makes them for the
    // options (here also the far-field arrays whenever option 8 is on).
    static void alloc_results() {
        const auto& IOPTN = run::IOPTN;
        const long nm = model::NMODT, nbf = frc::NBETAF, nbx = frc::NBETAX;
        auto pairs = [](int v, long n) { return v == 1 ? n : v == 2 ? n * (n + 1) / 2 : 1; };
        const long nd = std::max(pairs(IOPTN[8], nbf), pairs(IOPTN[9], nbf));
        auto z2 = [](auto& a, long n1, long n2) {
            a.allocate(n1, n2);
            a.fill({});
        };
        z2(frc::RAO, nm, nbx);
        if (IOPTN[1] == 1 || IOPTN[4] >= 1) {
            z2(frc::AMAT, nm, nm);
            z2(frc::BMAT, nm, nm);
        }
        if (IOPTN[2] == 1 || IOPTN[4] == 1) z2(frc::FEXH, nm, nbx);
        if (IOPTN[3] == 1 || IOPTN[4] == 2) z2(frc::FEXD, nm, nbf);
        if (IOPTN[8] > 0 || IOPTN[9] >= 1) {
            z2(frc::DRIFTM, nm, nd);
            z2(frc::DRIFTS, nm, nd);
        }
        frc::VNWORK.allocate(nm);
        for (auto* a : {&frc::KOCHR1, &frc::KOCHR2}) a->allocate(nm);
        for (auto* a : {&frc::KOCHD1, &frc::KOCHD2, &frc::KOCHT1, &frc::KOCHT2}) a->allocate(nbf);
    }

    static void set_headings(const std::vector<float>& beta) {
        const int nb = static_cast<int>(beta.size());
        model::NBETA = nb;
        const int n = std::max(nb, 1);
        model::BETA.allocate(n);
        model::SINBETA.allocate(n);
        model::COSBETA.allocate(n);
        model::BETA.fill(0.0f);
        model::SINBETA.fill(0.0f);
        model::COSBETA.fill(1.0f);
        for (int j = 1; j <= nb; ++j) {
            const double r = static_cast<double>(beta[static_cast<std::size_t>(j - 1)]) * M_PI / 180.0;
            model::BETA(j) = beta[static_cast<std::size_t>(j - 1)];
            model::SINBETA(j) = static_cast<float>(std::sin(r));
            model::COSBETA(j) = static_cast<float>(std::cos(r));
        }
        frc::NBETAF = frc::NBETAP = frc::NBETAX = n;
    }
};

}  // namespace zorva::test
