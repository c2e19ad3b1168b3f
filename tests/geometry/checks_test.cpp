// Input consistency checks, the period conversion, the block layout of the
// solver and the mode list.  Reference values of the period conversion are
// computed here in double precision from the closed forms
// nu = 4 pi^2 L / (g T^2) and T = 2 pi / sqrt(g nu / L).
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "tests/geometry/modeltest.hpp"

namespace zorva::test {
namespace {

using namespace model;

struct ChkCase {
    const char* what;
    std::function<void()> set;
    int irad, idiff, nbeta, imodfl, neqn;
    int ierr;
    std::vector<const char*> messages;  // each must appear
    std::function<void(int idiff, float tol)> check;
};

TEST_F(ModelTest, ChkpotRules) {
    auto none = [](int, float) {};
    const std::vector<ChkCase> cases = {
        {"all IRR 0: the tight tolerance", [] {}, 1, 1, 1, 0, 10, 0, {},
         [](int, float tol) { EXPECT_EQ(tol, 1.0E-6f); }},
        {"one body with IRR 1: the loose tolerance", [] { cfg::IRR(2) = 1; }, 1, 1, 1, 0, 10, 0, {},
         [](int, float tol) { EXPECT_EQ(tol, 1.0E-4f); }},
        {"ISOLVE = -1 with IDIFF = -1, ISOR = 0: only the wavemaker warning", [] { cfg::ISOLVE = -1; }, 1, -1, 1, 0,
         10, 0, {" Warning: ISOLVE=-1 is used only for wavemakers \n"}, none},
        {"ISOLVE = -1 with IDIFF = 1 and ISOR = 1", [] { cfg::ISOLVE = -1; cfg::ISOR = 1; }, 1, 1, 1, 0, 10, 1,
         {" Value of IDIFF is illegal : IDIFF=1\n", " Set IDIFF=-1 \n", " Value of ISOR is illegal : ISOR=1\n",
          " Set ISOR=0 \n"},
         none},
        {"ISOLVE < -1", [] { cfg::ISOLVE = -2; }, 1, 1, 1, 0, 10, 1,
         {" Value of ISOLVE is illegal In CONFIG file: ISOLVE=    -2\n"}, none},
        {"ISOLVE 0, MAXSCR 2, one unknown: MAXSCR 1", [] {}, 1, 1, 1, 0, 1, 0, {},
         [](int, float) { EXPECT_EQ(cfg::MAXSCR, 1); }},
        {"ISOLVE 0, MAXSCR 2, 500 unknowns: MAXSCR stays", [] {}, 1, 1, 1, 0, 500, 0, {},
         [](int, float) { EXPECT_EQ(cfg::MAXSCR, 2); }},
        {"ISOLVE 1: MAXSCR = NEQN", [] { cfg::ISOLVE = 1; }, 1, 1, 1, 0, 500, 0, {},
         [](int, float) { EXPECT_EQ(cfg::MAXSCR, 500); }},
        {"ISOLVE 3: MAXSCR = block size", [] { cfg::ISOLVE = 3; NBLKSZ = 167; }, 1, 1, 1, 0, 500, 0, {},
         [](int, float) { EXPECT_EQ(cfg::MAXSCR, 167); }},
        {"every rule is checked: symmetry and IQUAD together", [] { ISX = 2; cfg::IQUAD = 2; }, 1, 1, 1, 0, 10, 1,
         {" Value of a symmetry index is illegal\n", " Value of IQUAD index is illegal \n"}, none},
        {"IMODFL = -1, every mode fixed and IRAD = 0: no mode error", [] { IMODE.fill(0); }, 0, 1, 1, -1, 10, 0,
         {}, none},
        {"IRAD = 1, IDIFF = 0, every mode fixed", [] { IMODE.fill(0); }, 1, 0, 1, 0, 10, 1,
         {" Error return: IDIFF=0 and all mode indices IMODE(I)=0\n"},
         [](int, float) {}},
        {"IRAD = 0 and every mode fixed", [] { IMODE.fill(0); }, 0, 1, 1, 0, 10, 1,
         {" IRAD=0 and all mode indices IMODE(I)=0\n"}, none},
        {"both problems off", [] {}, -1, -1, 1, 0, 10, 1, {" Error return: both IRAD=-1 and IDIFF=-1\n"}, none},
        {"no headings for diffraction", [] {}, 1, 0, 0, 0, 10, 1,
         {" No wave headings specified for diffraction problem\n"}, none},
        {"IRR 2 and 2 in the higher-order method: one message",
         [] {
             cfg::ILOWHI = 1;
             cfg::IRR(1) = 2;
             cfg::IRR(2) = 2;
             cfg::ILOG = 1;
             cfg::IDIAG = 1;
         },
         1, 1, 1, 0, 10, 1, {" IRR = 2 is illegal with ILOWHI=1 \n", " Warning: IDIAG is ignored with ILOWHI=1 \n"},
         [](int, float) { EXPECT_EQ(cfg::MAXSCR, 10); }},
        {"IRR above 3", [] { cfg::IRR(1) = 4; }, 1, 1, 1, 0, 10, 1, {" IRR > 3 is illegal  \n"}, none},
        {"low-order dipoles with ISCATT 0: ISCATT becomes 1", [] { cfg::IDIPOLE = 1; }, 1, 1, 1, 0, 10, 0,
         {" WARNING: ISCATT=0 may be inaccurate for DIPOLE PANELS\n", "          ISCATT is set to ISCATT=1 \n"},
         [](int, float) { EXPECT_EQ(cfg::ISCATT, 1); }},
        {"switches out of their ranges: every one named",
         [] {
             cfg::ISCATT = 2;
             cfg::IBODY_WAVEMAKER = -1;
         },
         1, 1, 1, 0, 10, 1,
         {" Value of ISCATT is illegal In CONFIG file: ISCATT=2\n",
          " Value of IBODY_WAVEMAKER is illegal In CONFIG file: IBODY_WAVEMAKER=    -1\n"},
         none},
        {"wavemaker body beyond the bodies", [] { cfg::IBODY_WAVEMAKER = 3; }, 1, -1, 1, 0, 10, 1,
         {" Value of IBODY_WAVEMAKER is illegal In CONFIG file: IBODY_WAVEMAKER=3\n"}, none},
        {"wavemaker body beyond the bodies, with diffraction: nothing reset after the refusal",
         [] { cfg::IBODY_WAVEMAKER = 3; }, 1, 1, 1, 0, 10, 1,
         {" Value of IBODY_WAVEMAKER is illegal In CONFIG file: IBODY_WAVEMAKER=3\n"},
         [this](int idiff, float) {
             EXPECT_EQ(idiff, 1);
             EXPECT_EQ(screen.str(), "\n Value of IBODY_WAVEMAKER is illegal In CONFIG file: IBODY_WAVEMAKER=3\n\n");
         }},
        {"dipoles with ISOR 1", [] { cfg::IDIPOLE = 1; cfg::ISOR = 1; }, 1, 1, 1, 0, 10, 1,
         {" Set ISOR=0 if dipole panels are used in GDF\n"}, none},
        {"wavemaker bodies after a physical one: IDIFF reset",
         [] {
             cfg::IBODY_WAVEMAKER = 1;
         },
         1, 1, 1, 0, 10, 0,
         {" IDIFF=-1 reset for wavetank \n", " WARNING: NBODY>IBODYW.  Check that physical \n",
          "          bodies precede wavemakers\n"},
         [](int idiff, float) { EXPECT_EQ(idiff, -1); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fresh();
        cfg::NBODY = 2;
        cfg::IRR.allocate(2);
        NMODT = 12;
        IMODE.allocate(12);
        for (int m = 1; m <= 12; ++m) IMODE(m) = (m - 1) % 6 + 1;
        c.set();
        int idiff = c.idiff, ierr = -1;
        float tol = 0.f;
        CHKPOT(c.irad, idiff, 3, c.nbeta, c.imodfl, c.neqn, 1.0E-6f, 1.0E-4f, tol, ierr);
        EXPECT_EQ(ierr, c.ierr) << screen.str();
        for (const char* m : c.messages) EXPECT_TRUE(said(m)) << m << "\n" << screen.str();
        if (c.messages.empty()) {
            EXPECT_EQ(screen.str(), "");
        }
        const std::string all = screen.str();
        if (std::string(c.what).find("one message") != std::string::npos) {
            EXPECT_EQ(all.find("IRR = 2 is illegal"), all.rfind("IRR = 2 is illegal"));
        }
        c.check(idiff, tol);
    }
}

// Per-body keys of the configuration for bodies beyond those of the model
// are warned of by the checks, naming the line; the run goes on.
TEST_F(ModelTest, ChkpotWarnsOfKeysForBodiesBeyondTheModel) {
    copy_example("twoboxes");
    write_file("twoboxes.cfg", "ILOWHI=0\nXTRIM(2) = 0 0 0\nNEWMDS(4) = 0\nXTRIM(3) = 0 0 1\n");
    ASSERT_EQ(getip(), 0) << screen.str();
    ASSERT_EQ(cfg::NBODY, 2);
    screen.str("");
    int idiff = IDIFF, ierr = -1;
    float tol = 0.f;
    CHKPOT(IRAD, idiff, NPER, NBETA, IMODFL, NEQN, 1.0E-6f, 1.0E-4f, tol, ierr);
    EXPECT_EQ(ierr, 0) << screen.str();
    EXPECT_EQ(screen.str(),
              "\n  WARNING: keyword NEWMDS(4) in line 3 of configuration file twoboxes.cfg ignored: the run has 2 "
              "bodies\n"
              "\n  WARNING: keyword XTRIM(3) in line 4 of configuration file twoboxes.cfg ignored: the run has 2 "
              "bodies\n");
}

TEST_F(ModelTest, PeriodConversion) {
    struct Case {
        const char* what;
        int iperio;
        float hbot, ulen;
        float p;
        float per, nu;  // expected (nu < -0.5: infinite; per = 0: zero period)
        int iperfl;
    };
    const double g = 9.80665, pi = M_PI;
    auto nu_of = [&](double T, double L) { return static_cast<float>(4 * pi * pi * L / (g * T * T)); };
    auto T_of = [&](double nu, double L) { return static_cast<float>(2 * pi / std::sqrt(g * nu / L)); };
    const Case cases[] = {
        {"period in seconds", 1, 0, 1, 4.f, 4.f, nu_of(4, 1), 0},
        {"period with a length scale of 2", 1, 0, 2, 6.f, 6.f, nu_of(6, 2), 0},
        {"radian frequency", 2, 0, 1, static_cast<float>(2 * pi / 4), 4.f, nu_of(4, 1), 0},
        {"infinite-depth wavenumber", 3, 0, 1, 0.5f, T_of(0.5, 1), 0.5f, 0},
        {"finite-depth wavenumber, depth 2", 4, 2, 1, 1.f, T_of(std::tanh(2.0), 1),
         static_cast<float>(std::tanh(2.0)), 0},
        {"IPERIO 4 in infinite depth: nu L", 4, 0, 1, 1.f, T_of(1, 1), 1.f, 0},
        {"zero period", 2, 0, 1, 0.5e-6f, 0.f, 0.f, 2},
        {"negative: infinite period", 1, 0, 1, -3.f, -1.f, -1.f, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fresh();
        cfg::IPERIO = c.iperio;
        HBOT = c.hbot;
        ULEN.allocate(1);
        ULEN(1) = c.ulen;
        ULENI = 1.f / c.ulen;
        GRAV = 9.80665f;
        NPER = 1;
        PER.allocate(1);
        WNUMNU.allocate(1);
        IPERFL.allocate(1);
        PER(1) = c.p;
        PERCONV();
        EXPECT_NEAR(PER(1), c.per, 2e-6f * std::fabs(c.per));
        EXPECT_NEAR(WNUMNU(1), c.nu, 2e-6f * std::fabs(c.nu));
        EXPECT_EQ(IPERFL(1), c.iperfl);
        EXPECT_EQ(IPERSPC, c.iperfl == 2 ? 1 : 0);
        EXPECT_EQ(HBOT, c.hbot > 0 ? c.hbot / c.ulen : -1.f);
    }
}

TEST_F(ModelTest, BlockLayout) {
    struct Case {
        int neqn, isolve;
        int nblksz, isolve_out, nblklast;
        const char* warning;
    };
    const Case cases[] = {
        {10, 4, 3, 4, 1, ""},
        {10, 3, 4, 3, 2, ""},
        {10, 5, 2, 5, 2, ""},
        {10, 7, 2, 5, 2, " WARNING: Number of blocks is reset to 5\n"},
        {10, 10, 1, 0, 0, " WARNING: Block size = 1 ; ISOLVE is reset to =\n"},
        {10, 12, 1, 0, 0, " WARNING: Block size = 1 ; ISOLVE is reset to =\n"},
        {80, 2147483647, 1, 0, 0, " WARNING: Block size = 1 ; ISOLVE is reset to =\n"},  // no wrap-around
        {10, 1, 0, 1, 0, ""},  // one block: no layout
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.isolve);
        fresh();
        NEQN = c.neqn;
        cfg::ISOLVE = c.isolve;
        BLKLAYOUT();
        EXPECT_EQ(NBLKSZ, c.nblksz);
        EXPECT_EQ(cfg::ISOLVE, c.isolve_out);
        if (c.nblksz > 1) {
            EXPECT_EQ(NBLKLAST, c.nblklast);
        }
        if (*c.warning) {
            EXPECT_TRUE(said(c.warning)) << screen.str();
        } else {
            EXPECT_EQ(screen.str(), "");
        }
    }
}

TEST_F(ModelTest, ModeList) {
    struct Case {
        const char* what;
        std::vector<int> moderb;
        std::vector<int> newmds;
        int irad, idiff, wavemaker;
        std::vector<int> imode;
        int irad_out, idiff_out, ierr;
    };
    const Case cases[] = {
        {"all ones with IRAD = IDIFF = 0", {1, 1, 1, 1, 1, 1}, {0}, 0, 0, 0, {1, 2, 3, 4, 5, 6}, 1, 1, 0},
        {"some modes", {1, 0, 1, 0, 1, 0}, {0}, 0, 1, 0, {1, 0, 3, 0, 5, 0}, 0, 1, 0},
        {"IRAD = 1 frees every mode", {0, 0, 0, 0, 0, 0}, {0}, 1, 0, 0, {1, 2, 3, 4, 5, 6}, 1, 0, 0},
        {"IRAD = -1 with IDIFF = 1", {0, 0, 1, 0, 0, 0}, {0}, -1, 1, 0, {1, 2, 3, 4, 5, 6}, -1, 1, 0},
        {"generalized modes and a wavemaker second body",
         {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1},
         {2, 0},
         0,
         0,
         2,
         {1, 2, 3, 4, 5, 6, 1, 1, 0, 0, 0, 0, 0, 0},
         1,
         1,
         0},
        {"illegal index", {1, 2, 0, 0, 0, 0}, {0}, 0, 1, 0, {}, 0, 1, 1},
        // The largest integer a file can hold is refused, not summed.
        {"huge index", {2147483647, 1, 1, 1, 1, 1}, {0}, 0, 1, 0, {}, 0, 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fresh();
        const int nb = static_cast<int>(c.newmds.size());
        cfg::NBODY = nb;
        cfg::NEWMDS.allocate(nb);
        for (int ib = 1; ib <= nb; ++ib) cfg::NEWMDS(ib) = c.newmds[static_cast<std::size_t>(ib - 1)];
        cfg::IBODY_WAVEMAKER = c.wavemaker;
        IMODERB.allocate(6 * nb);
        for (int i = 1; i <= 6 * nb; ++i) IMODERB(i) = c.moderb[static_cast<std::size_t>(i - 1)];
        int irad = c.irad, idiff = c.idiff, ierr = -1;
        ALLMODE(irad, idiff, ierr);
        EXPECT_EQ(ierr, c.ierr);
        if (ierr != 0) {
            EXPECT_TRUE(said(" Value of MODE index is illegal for body N=1\n")) << screen.str();
            continue;
        }
        ASSERT_EQ(NMODT, static_cast<int>(c.imode.size()));
        for (int m = 1; m <= NMODT; ++m) EXPECT_EQ(IMODE(m), c.imode[static_cast<std::size_t>(m - 1)]) << m;
        EXPECT_EQ(IBMOD(nb), nb == 2 ? 8 : 0);
        EXPECT_EQ(irad, c.irad_out);
        EXPECT_EQ(idiff, c.idiff_out);
        EXPECT_FALSE(IMODERB.allocated());
    }
}

}  // namespace
}  // namespace zorva::test
