// The body pressure and velocity, field-point, pressure-integration drift
// and panel-listing outputs of one period of a small example (three
// panels, six modes, two headings, one waterline segment), against
// reference files computed independently in double precision
// (tools/bodyfld_golden.py).
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "ctrlsurf/ctrlsurf.hpp"
#include "force/bodyprs.hpp"
#include "force/bodypts.hpp"
#include "force/drftpi.hpp"
#include "force/fieldpt.hpp"
#include "tests/force/forcefix.hpp"
#include "tests/force/golden.hpp"

namespace zorva {
namespace {

using test::ForceTest;
using test::Pan;

using test::golden;
using test::lines_of;

// Loads bodyfld.fix into the shared FORCE data, with the result arrays of
// options 5 = 3, 6 = 2, 7 = 2 and 9 = 1 as the FORCE set-up makes them.
void load_example() {
    std::ifstream f(golden("bodyfld.fix"));
    const test::FixHead h = test::read_fix_head(f);
    const int ne = h.ne, nm = h.nm, nb = h.nb;
    const float per = h.per, nu = h.nu, k = h.k;
    const std::vector<float>& beta = h.beta;
    std::vector<Pan> pans(static_cast<std::size_t>(ne));
    std::vector<std::array<float, 18>> geo(static_cast<std::size_t>(ne));
    for (std::size_t i = 0; i < pans.size(); ++i) {
        auto& p = pans[i];
        f >> p.c[0] >> p.c[1] >> p.c[2] >> p.n[0] >> p.n[1] >> p.n[2] >> p.area;
        for (auto& g : geo[i]) f >> g;
    }
    ForceTest::model1(pans, beta, per, nu, {0, 0, 0, 0, 0, 3, 2, 2, 0, 1});
    model::WNUMK(1) = k;
    pnl::PNLARR4.allocate(4, ne);
    pnl::PNLARR5.allocate(4, ne);
    pnl::PNLARR6.allocate(4, ne);
    for (int i = 1; i <= ne; ++i) {
        const auto& g = geo[static_cast<std::size_t>(i - 1)];
        for (int c = 1; c <= 3; ++c) {
            pnl::PAXES(1, c, i) = g[static_cast<std::size_t>(c - 1)];
            pnl::PAXES(2, c, i) = g[static_cast<std::size_t>(c + 2)];
        }
        for (int s = 1; s <= 4; ++s) {
            pnl::PNLARR6(s, i) = g[static_cast<std::size_t>(5 + s)];
            pnl::PNLARR5(s, i) = g[static_cast<std::size_t>(9 + s)];
            pnl::PNLARR4(s, i) = g[static_cast<std::size_t>(13 + s)];
        }
    }
    auto cread = [&f] {
        float re, im;
        f >> re >> im;
        return cplx{re, im};
    };
    for (int i = 1; i <= ne; ++i)
        for (int m = 1; m <= nm; ++m) frc::RADPOT(i, m) = cread();
    for (int i = 1; i <= ne; ++i)
        for (int j = 1; j <= nb; ++j) frc::DIFPOT(i, j, 1) = cread();
    frc::RADVEL.allocate(ne, 3, nm);
    frc::VDIFP.allocate(ne, 3, nb);
    for (int i = 1; i <= ne; ++i)
        for (int c = 1; c <= 3; ++c)
            for (int m = 1; m <= nm; ++m) frc::RADVEL(i, c, m) = cread();
    for (int i = 1; i <= ne; ++i)
        for (int c = 1; c <= 3; ++c)
            for (int j = 1; j <= nb; ++j) frc::VDIFP(i, c, j) = cread();
    for (int m = 1; m <= nm; ++m)
        for (int j = 1; j <= nb; ++j) frc::RAO(m, j) = cread();
    f >> frc::NFIELD;
    frc::XFIELD.allocate(3, frc::NFIELD);
    for (int n = 1; n <= frc::NFIELD; ++n) f >> frc::XFIELD(1, n) >> frc::XFIELD(2, n) >> frc::XFIELD(3, n);
    f >> model::NWLSEG;
    model::IWLPAN.allocate(model::NWLSEG);
    model::IWLSIDE.allocate(model::NWLSEG);
    for (int s = 1; s <= model::NWLSEG; ++s) f >> model::IWLPAN(s) >> model::IWLSIDE(s);
    for (int m = 1; m <= nm; ++m)
        for (int n = 1; n <= nm; ++n) f >> pnl::CHYD(m, n);
    for (auto* a : {&frc::CZ33, &frc::CZ35, &frc::CZ34}) a->allocate(1);
    frc::VMOMB.allocate(2, 1);
    f >> frc::CZ33(1) >> frc::CZ35(1) >> frc::CZ34(1) >> frc::VMOMB(1, 1) >> frc::VMOMB(2, 1);
    cfg::XBODY.allocate(4, 1);
    for (int c = 1; c <= 4; ++c) f >> cfg::XBODY(c, 1);
    ASSERT_TRUE(f.good());

    sym::ISYMC[1] = sym::ISYMF[1] = 1;
    model::NPANB.allocate(1);
    model::NWLPANB.allocate(1);
    model::NPANB(1) = ne;
    model::NWLPANB(1) = model::NWLSEG;
    model::CSPHIB.allocate(2, 1);
    model::CSPHIB(1, 1) = 1.0f;
    model::CSPHIB(2, 1) = 0.0f;
    model::ULEN.allocate(1);
    model::ULEN(1) = 1.0f;
    model::ULENI = 1.0f;
    fnames::GDFNAME.allocate(1);
    fnames::GDFNAME(1) = "bodyfld.gdf";
    using namespace frc;
    NPBOUT = ne;
    IBPPRS = IBPVEL = 1;
    const long ns = nm, nbf = NBETAF;
    PTOTP.allocate(ne, nbf, 1);
    PDIFP.allocate(ne, nbf, 1);
    PRADP.allocate(ne, ns, 1);
    VTOTP.allocate(ne, 3, nbf);
    VRADP.allocate(ne, 3, ns);
    const long nf = NFIELD;
    for (auto* a : {&PTOTF, &PDIFF}) a->allocate(nf, nbf);
    PRADF.allocate(nf, ns);
    for (auto* a : {&VTOTF, &VDIFF}) a->allocate(3, nf, nbf);
    VRADF.allocate(3, nf, ns);
    RADSRC.allocate(ne, ns);
    RADSRC.fill(cplx{});
    DIFSRC.allocate(ne, nbf, 1);
    DIFSRC.fill(cplx{});
    IFPTANK.allocate(nf);
    IFPTANK.fill(0);
    model::ITANK.allocate(ne);
    model::ITANK.fill(0);
    pnl::PNLARR3.allocate(2, ne);
    pnl::PNLARR3.fill(1.0f);
    sym::NIMAGE = 1;
    sym::IMAGEID[1] = 1;
}

TEST_F(ForceTest, BodyFieldDriftExampleReportAndNumericFiles) {
    load_example();
    cfg::NUMHDR = 1;
    fnames::FILEOUT = "bodyfld.out";
    int ierr = 0;
    OPNUMOUT(ierr);
    ASSERT_EQ(ierr, 0);
    OPNPNL(ierr);
    ASSERT_EQ(ierr, 0);
    ASSERT_EQ(chan::open(11, "bodyfld.out", chan::Status::Replace), 0);

    const float per = model::PER(1), nu = model::WNUMNU(1), k = model::WNUMK(1);
    const auto& NAME = run::NUMNAME;
    const auto& IU = run::IUNUM;
    BPBVDRV(nu, k, 0, ierr);
    ASSERT_EQ(ierr, 0);
    OUTBPRS(per, 11, 1, IU[5], NAME[5], ierr);
    OUTBVEL(per, 11, 1, &IU[12], &NAME[12], ierr);
    ASSERT_EQ(ierr, 0);
    // Zero source strengths in the source representation: the bodies add
    // nothing, each point sees the incident wave.
    FIELDPT(nu, k, &sym::NSYMRHS[1], 0, ierr);
    ASSERT_EQ(ierr, 0);
    OUTFPRS(per, 11, IU[6], NAME[6], ierr);
    OUTFVEL(per, 11, &IU[7], &NAME[7], ierr);
    ASSERT_EQ(ierr, 0);
    DRFTPI(nu, 1, ierr);
    ASSERT_EQ(ierr, 0);
    OUTDRIFT(frc::DRIFTM, frc::DRIFTS, per, 11, 1, IU[11], NAME[11], 1, 1, 0, ierr);
    ASSERT_EQ(ierr, 0);
    chan::close(11);

    for (const char* f : {"bodyfld.out", "bodyfld.5p", "bodyfld.5vx", "bodyfld.5vy", "bodyfld.5vz", "bodyfld.6",
                          "bodyfld.7x", "bodyfld.7y", "bodyfld.7z", "bodyfld.9", "bodyfld.pnl"})
        test::expect_same_layout(read_lines(f), lines_of(golden(f)), f);
}

// The control-surface drift of the same period (option 9 = 1, ICTRSURF = 1)
// through four flat panels around the body (tools/csfdrift_golden.py): the
// reader, the points' incident wave (zero source strengths), the sums and
// the section and numeric file.
TEST_F(ForceTest, ControlSurfaceDriftReportAndNumericFile) {
    load_example();
    cfg::NUMHDR = 1;
    cfg::ICTRSURF = 1;
    fnames::FILEOUT = "bodyfld.out";
    model::IS.allocate(2, 1);
    frc::DRIFTCM.allocate(model::NMODT, frc::NBETAF);
    frc::DRIFTCS.allocate(model::NMODT, frc::NBETAF);
    write_file("bodyfld.csf", read_file(golden("bodyfld.csf")));
    int ierr = 0;
    OPNUMOUT(ierr);
    ASSERT_EQ(ierr, 0);
    ASSERT_EQ(chan::open(11, "csfdrift.out", chan::Status::Replace), 0);
    RDCSF(ierr);
    ASSERT_EQ(ierr, 0);
    EXPECT_EQ(csf::NCSFPT, 6);
    const float per = model::PER(1), nu = model::WNUMNU(1), k = model::WNUMK(1);
    BPBVDRV(nu, k, 0, ierr);
    ASSERT_EQ(ierr, 0);
    CSFPT(nu, k, &sym::NSYMRHS[1], 0, ierr);
    ASSERT_EQ(ierr, 0);
    DRFTPI(nu, 1, ierr);
    ASSERT_EQ(ierr, 0);
    OUTDRIFT(frc::DRIFTCM, frc::DRIFTCS, per, 11, 1, run::IUNUM[18], run::NUMNAME[18], 1, 1, 1, ierr);
    ASSERT_EQ(ierr, 0);
    chan::close(11);
    test::expect_same_layout(read_lines("csfdrift.out"), lines_of(golden("csfdrift.out")), "csfdrift.out");
    test::expect_same_layout(read_lines("bodyfld.9c"), lines_of(golden("bodyfld.9c")), "bodyfld.9c");
}

}  // namespace
}  // namespace zorva
