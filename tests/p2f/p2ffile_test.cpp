// The POTEN-to-FORCE file written by the POTEN stage and read back by the
// FORCE stage: every table restored bit for bit, the period records in
// file order, the record lengths of a small model as laid down in the
// file's description, and truncated or foreign files refused with status 1.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <set>
#include <iostream>
#include <sstream>

#include "common/channels.hpp"
#include "common/unformatted.hpp"
#include "p2f/p2f.hpp"
#include "p2f/p2flayout.hpp"
#include "tests/p2f/p2fmodel.hpp"
#include "tests/support/testdir.hpp"

namespace zorva::test {
namespace {

struct PeriodData {
    Arr2<cplx> rad, radsrc;
    Arr3<cplx> dif, difsrc;
    Arr3<cplx> radvel, difvel;
};

class P2FTest : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        reset_all();
    }

    // The POTEN side: scratch files as the period loop leaves them, then
    // the writer.
    int poten(const ModelDesc& s, const std::vector<std::string>& summary = {"Run summary line 1"}) {
        build_model(s);
        chan::open_scratch(21, chan::Form::Unformatted);
        chan::open_scratch(22);
        for (const auto& l : summary) chan::write_line(22, l);
        if (s.nrgkbody > 0)
            write_file("rgkinit.txt", "     1            !ILOWHI\nline two\n" + std::string(90, 'x') + "\nlast\n");
        fnames::FILEP2F = "run.p2f";
        Filler F;
        F.k = 5000;
        const int n = s.neqn, m = std::max(s.nbeta, 1);
        periods.assign(static_cast<std::size_t>(s.nper), {});
        for (int j = 1; j <= s.nper; ++j) {
            PeriodData& P = periods[static_cast<std::size_t>(j - 1)];
            const int ipfl = s.iperfl[static_cast<std::size_t>(j - 1)];
            F(P.rad, n, sym::NSOLC);
            F(P.dif, n, m, sym::NSYMC);
            if (s.isolve < 0) P.rad.fill(cplx(0.0f, 0.0f));
            int ierr = 0;
            if (s.isolve >= 0) WRSCR21(n, m, s.irad, s.idiff, P.rad, P.dif, 0, ipfl, ierr);
            EXPECT_EQ(ierr, 0);
            if (s.isor == 1) {
                F(P.radsrc, n, sym::NSOLC);
                F(P.difsrc, n, m, sym::NSYMC);
                F(P.radvel, n, 3, sym::NSOLC);
                F(P.difvel, n, 3, m * sym::NSYMC);
                run::VELRAD = P.radvel;
                run::VELDIF = P.difvel;
                WRSCR21(n, m, s.irad, s.idiff, P.radsrc, P.difsrc, 1, ipfl, ierr);
                EXPECT_EQ(ierr, 0);
                EXPECT_FALSE(run::VELRAD.allocated());
            }
        }
        int ierr = 0;
        WRP2F(s.irad, s.idiff, s.nper, s.nbeta, s.neqn, ierr);
        return ierr;
    }

    // The FORCE side: header, model, kernel lines, run summary and every
    // period, in file order.  Status 0, or 1 at the first failure.
    int force(const ModelDesc& s, std::vector<std::string>* summary = nullptr, bool check = false) {
        reset_all();
        run::IOPTN[5] = 1;  // keep the velocity arrays for the comparison
        EXPECT_EQ(chan::open(13, "run.p2f", chan::Status::Old, chan::Form::Unformatted), 0);
        int ierr = 0;
        RDP2FH(13, ierr);
        if (ierr) return ierr;
        RDP2F(13, ierr);
        if (ierr) return ierr;
        if (model::NRGKBODY > 0) RDP2FRGK(13, ierr);
        if (ierr) return ierr;
        p2f::Pass p(p2f::Pass::Dir::Read, 13);
        for (;;) {
            std::string line;
            p2f::lay_line(p, "T", line, 72);
            if (!p.ok()) return 1;
            if (line.rfind('*', 0) == 0) break;
            if (summary) summary->push_back(line);
        }
        frc::NBETA0 = model::NBETA;
        frc::NBETAP = std::max(model::NBETA, 1);
        for (int j = 1; j <= model::NPER; ++j) {
            RDP2FPOT(13, model::IPERFL(j), ierr);
            if (ierr) return ierr;
            if (check) check_period(s, j);
        }
        // Nothing may follow the last period.
        std::vector<char> buf;
        if (chan::read_record(13, buf) != -1) return 1;
        return 0;
    }

    static bool same(const cplx* a, const cplx* b, std::size_t n) {
        return n == 0 || std::memcmp(a, b, n * sizeof(cplx)) == 0;
    }
    void check_period(const ModelDesc& s, int j) {
        const PeriodData& P = periods[static_cast<std::size_t>(j - 1)];
        const auto n = static_cast<std::size_t>(s.neqn);
        const auto nsolc = static_cast<std::size_t>(sym::NSOLC);
        const auto nd = n * static_cast<std::size_t>(s.nbeta * sym::NSYMC);
        const bool ordinary = s.iperfl[static_cast<std::size_t>(j - 1)] == 0;
        SCOPED_TRACE("period " + std::to_string(j));
        if (s.irad >= 0) {
            EXPECT_TRUE(same(frc::RADPOT.data(), P.rad.data(), n * nsolc));
        }
        if (s.idiff >= 0 && ordinary) {
            EXPECT_TRUE(same(frc::DIFPOT.data(), P.dif.data(), nd));
        }
        if (s.isor == 1 && s.irad >= 0) {
            EXPECT_TRUE(same(frc::RADSRC.data(), P.radsrc.data(), n * nsolc));
            EXPECT_TRUE(same(frc::RADVEL.data(), P.radvel.data(), 3 * n * nsolc));
        }
        if (s.isor == 1 && s.idiff >= 0 && ordinary) {
            EXPECT_TRUE(same(frc::DIFSRC.data(), P.difsrc.data(), nd));
            EXPECT_TRUE(same(frc::VDIFP.data(), P.difvel.data(), 3 * nd));
        }
    }

    // Lengths of the records of a file, from its framing.
    static std::vector<std::uint32_t> record_lengths(const std::string& name) {
        std::string b = read_file(name);
        std::vector<std::uint32_t> v;
        std::size_t pos = 0;
        while (pos + 4 <= b.size()) {
            std::uint32_t len = 0;
            std::memcpy(&len, b.data() + pos, 4);
            v.push_back(len);
            pos += 8 + len;
        }
        EXPECT_EQ(pos, b.size());
        return v;
    }

    std::vector<PeriodData> periods;
};

ModelDesc low_full() {
    ModelDesc s;
    s.nbody = 2;
    s.neqn = 5;
    s.nper = 3;
    s.iperfl = {0, 1, 0};  // a limit period has no diffraction records
    s.nbeta = 2;
    s.ntanks = 2;
    s.iquad = 1;
    s.irr = 1;
    s.idipwmf = 1;
    s.idipole = 1;
    s.isx = 1;
    return s;
}

TEST_F(P2FTest, RoundTripRestoresEveryTable) {
    struct Case {
        const char* name;
        std::function<ModelDesc()> make;
    };
    const std::vector<Case> cases = {
        {"low order, tanks, limit period, IQUAD 1, panel flags, dipoles", low_full},
        {"source formulation", [] {
             ModelDesc s = low_full();
             s.isor = 1;
             return s;
         }},
        {"source formulation, no headings", [] {
             ModelDesc s;
             s.isor = 1;
             s.nbeta = 0;
             s.nper = 1;
             s.iperfl = {0};
             return s;
         }},
        {"no period after a break", [] {
             ModelDesc s;
             s.nper = 0;
             s.iperfl = {};
             return s;
         }},
        {"nothing solved", [] {
             ModelDesc s;
             s.isolve = -1;
             s.idiff = -1;
             return s;
         }},
        {"radiation only", [] {
             ModelDesc s;
             s.idiff = -1;
             s.nbeta = 0;
             return s;
         }},
        {"higher order, trimming, kernel lines, tanks", [] {
             ModelDesc s = high_trimmed();
             s.nrgkbody = 1;
             s.ntanks = 1;
             s.idipwmf = 1;
             return s;
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        reset_all();
        chan::reset();
        const ModelDesc s = c.make();
        build_model(s);
        const Snapshot before = snapshot(s);
        ASSERT_EQ(poten(s, {"Summary A", std::string(80, 'y')}), 0);
        EXPECT_FALSE(chan::is_open(21));
        EXPECT_FALSE(chan::is_open(22));
        std::vector<std::string> summary;
        ASSERT_EQ(force(s, &summary, true), 0);
        const Snapshot after = snapshot(s);
        for (const auto& [name, bytes] : before) {
            auto it = after.find(name);
            ASSERT_NE(it, after.end()) << name;
            EXPECT_TRUE(it->second == bytes) << name;
        }
        EXPECT_EQ(summary, std::vector<std::string>({"Summary A", std::string(72, 'y')}));
        if (s.nrgkbody > 0) {
            EXPECT_EQ(read_lines("rgkinit.txt"),
                      std::vector<std::string>({"     1            !ILOWHI", "line two", std::string(80, 'x'), "last"}));
        }
        if (s.ilowhi == 0 && s.idipwmf == 0) {
            EXPECT_FALSE(model::IDIPWM.allocated());
        }
        if (s.ilowhi == 0 && s.irr < 1) {
            ASSERT_EQ(pnl::IPFLAG.extent(1), s.neqn);
            EXPECT_TRUE(std::all_of(pnl::IPFLAG.begin(), pnl::IPFLAG.end(), [](int v) { return v == 0; }));
        }
        std::filesystem::remove("run.p2f");
    }
}

// Record lengths of a one-body, two-panel, two-period model, worked out by
// hand from the record list of the file (bytes of data per record).
TEST_F(P2FTest, RecordLengthsOfASmallModel) {
    ModelDesc s;
    s.neqn = 2;
    s.nbeta = 1;
    s.nwlseg = 1;
    ASSERT_EQ(poten(s, {"one summary line"}), 0);
    std::ifstream in(source_path("tests/data/p2f_small_lengths.txt"));
    ASSERT_TRUE(in.good());
    std::vector<std::uint32_t> expected;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream ls(line);
        std::string id;
        std::uint32_t len = 0;
        ls >> id >> len;
        expected.push_back(len);
    }
    EXPECT_EQ(record_lengths("run.p2f"), expected);
}

TEST_F(P2FTest, TruncatedFileGivesReadErrorEverywhere) {
    for (bool high : {false, true}) {
        reset_all();
        chan::reset();
        ModelDesc s = high ? ModelDesc{} : low_full();
        if (high) {
            s.ilowhi = 1;
            s.itrimwl = 1;
            s.nrgkbody = 1;
            s.nbody = 2;
            s.neqn = 7;
        } else {
            s.isor = 1;
        }
        ASSERT_EQ(poten(s), 0);
        const std::string whole = read_file("run.p2f");
        ASSERT_EQ(force(s), 0);
        chan::reset();
        // Every cut near a record's framing (inside either length marker
        // and the first and last data bytes), and a sweep through the data.
        std::set<std::size_t> cuts;
        for (std::size_t pos = 0; pos < whole.size();) {
            std::uint32_t len = 0;
            std::memcpy(&len, whole.data() + pos, 4);
            const std::size_t end = pos + 8 + len;
            for (std::size_t k = 0; k <= 6; ++k) {
                cuts.insert(pos + k);
                if (end >= k + 1) cuts.insert(end - k - 1);
            }
            pos = end;
        }
        for (std::size_t cut = 0; cut < whole.size(); cut += 13) cuts.insert(cut);
        for (std::size_t cut : cuts) {
            if (cut >= whole.size()) continue;
            write_file("run.p2f", whole.substr(0, cut));
            screen.str("");
            ASSERT_EQ(force(s), 1) << "cut at " << cut;
            chan::reset();
            chan::set_screen(&screen);
        }
    }
}

TEST_F(P2FTest, ForeignFilesAreRefused) {
    ModelDesc s;
    ASSERT_EQ(poten(s), 0);
    const std::string whole = read_file("run.p2f");
    auto with = [&](std::size_t at, const std::string& bytes) {
        std::string b = whole;
        b.replace(at, bytes.size(), bytes);
        write_file("run.p2f", b);
    };
    auto i32 = [](int v) { return std::string(reinterpret_cast<char*>(&v), 4); };
    auto f32 = [](float v) { return std::string(reinterpret_cast<char*>(&v), 4); };
    auto again = [this] {
        chan::reset();
        chan::set_screen(&screen);
        screen.str("");
    };

    // Version 6.2 is reported as 619 (6.2 in single precision), then the
    // read error with 1.
    with(4, f32(6.2f));
    EXPECT_EQ(force(s), 1);
    EXPECT_NE(screen.str().find(" Different version from P2F: VER=619"), std::string::npos);
    EXPECT_NE(screen.str().find(" Error reading .P2F file, subroutine RDP2F1"), std::string::npos);
    again();
    // Version 6.3 shows 630.
    with(4, f32(6.3f));
    EXPECT_EQ(force(s), 1);
    EXPECT_NE(screen.str().find(" Different version from P2F: VER=630"), std::string::npos);
    again();
    // A version within 1.0E-4 is accepted.
    with(4, f32(6.40009f));
    EXPECT_EQ(force(s), 0);
    again();
    // An absurd count in the header (NEQN of record 2).
    with(20 + 4, i32(-5));
    EXPECT_EQ(force(s), 1);
    again();
    with(20 + 4, i32(2000000000));
    EXPECT_EQ(force(s), 1);
    again();
    // Data of record r (1-based): past the length markers of those before.
    auto data_at = [&](int r) {
        std::size_t pos = 0;
        for (int k = 1; k < r; ++k) {
            std::uint32_t len = 0;
            std::memcpy(&len, whole.data() + pos, 4);
            pos += 8 + len;
        }
        return pos + 4;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    // Symmetry tables that index outside their four entries (record 5:
    // NSYMD, NSYMRHS(1..4), NMODSC(1..4)), switches out of their ranges
    // (record 6: IDIAG, ISOLVE below -1, ISCATT), a wavemaker body that is
    // none of the bodies (record 2: negative, beyond NBODY), a NaN gravity or
    // depth (record 7), and a NaN among the model's reals (ULEN, the record
    // after the body names).
    const std::pair<std::size_t, std::string> damaged[] = {
        {data_at(5) + 4, i32(-2147483647 - 1)}, {data_at(5) + 4, i32(5)},   {data_at(5) + 20, i32(-1)},
        {data_at(5), i32(5)},                   {data_at(7), f32(nan)},     {data_at(7), f32(0.0f)},
        {data_at(7) + 4, f32(nan)},             {data_at(10), f32(nan)},    {data_at(6) + 12, i32(2147483647)},
        {data_at(6) + 16, i32(-2)},             {data_at(6) + 20, i32(-2147483647 - 1)},
        {data_at(6) + 20, i32(2)},              {data_at(2) + 16, i32(-1)}, {data_at(2) + 16, i32(s.nbody + 1)},
    };
    for (const auto& [at, bytes] : damaged) {
        SCOPED_TRACE(at);
        with(at, bytes);
        EXPECT_EQ(force(s), 1);
        EXPECT_NE(screen.str().find(" Error reading .P2F file, subroutine RDP2F"), std::string::npos) << screen.str();
        again();
    }
    // Not a .p2f file at all.
    write_file("run.p2f", std::string(300, 'A'));
    EXPECT_EQ(force(s), 1);
}

// The panel-flag record follows the bodies of the file, whatever the
// reading run's configuration holds beyond them.
TEST_F(P2FTest, PanelFlagRecordDecidedByTheFile) {
    for (int irr : {0, 1}) {
        reset_all();
        chan::reset();
        ModelDesc s;
        s.irr = irr;
        build_model(s);
        // The writing run's configuration named a body 3 that does not exist.
        cfg::IRR.resize_keep_fill(1 - irr, 3);
        ASSERT_EQ(poten(s), 0);
        reset_all();
        EXPECT_EQ(chan::open(13, "run.p2f", chan::Status::Old, chan::Form::Unformatted), 0);
        // So did the reading run's, with the other value.
        cfg::IRR.allocate(3);
        cfg::IRR.fill(irr);
        cfg::IRR(3) = 1 - irr;
        int ierr = 0;
        RDP2FH(13, ierr);
        RDP2F(13, ierr);
        EXPECT_EQ(ierr, 0) << irr;
        EXPECT_EQ(cfg::IRR.extent(1), 3);
        EXPECT_EQ(cfg::IRR(3), 1 - irr);
        chan::close(13);
        std::filesystem::remove("run.p2f");
    }
}

TEST_F(P2FTest, WriterFailureIsReported) {
    ModelDesc s;
    build_model(s);
    chan::open_scratch(21, chan::Form::Unformatted);
    chan::open_scratch(22);
    fnames::FILEP2F = "no/such/dir/run.p2f";
    int ierr = 0;
    WRP2F(s.irad, s.idiff, 0, s.nbeta, s.neqn, ierr);
    EXPECT_EQ(ierr, 1);
    EXPECT_NE(screen.str().find("Unable to open new .P2F file"), std::string::npos);
    EXPECT_FALSE(chan::is_open(21));

    // Periods missing from the scratch file: no file passes for a whole one.
    reset_all();
    build_model(s);
    chan::open_scratch(21, chan::Form::Unformatted);
    chan::open_scratch(22);
    fnames::FILEP2F = "run.p2f";
    screen.str("");
    WRP2F(s.irad, s.idiff, s.nper, s.nbeta, s.neqn, ierr);
    EXPECT_EQ(ierr, 1);
    EXPECT_NE(screen.str().find("Error writing .P2F file, solutions of period 1"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists("run.p2f"));
}

// The velocity arrays of the source formulation stay only when option 5
// or 9 needs them; the source strengths stay in any case.
TEST_F(P2FTest, PeriodReaderKeepsVelocitiesOnlyWhenNeeded) {
    ModelDesc s;
    s.isor = 1;
    for (int opt5 : {0, 1}) {
        SCOPED_TRACE(opt5);
        reset_all();
        chan::reset();
        chan::set_screen(&screen);
        ASSERT_EQ(poten(s), 0);
        reset_all();
        ASSERT_EQ(chan::open(13, "run.p2f", chan::Status::Old, chan::Form::Unformatted), 0);
        int ierr = 0;
        RDP2FH(13, ierr);
        RDP2F(13, ierr);
        p2f::Pass p(p2f::Pass::Dir::Read, 13);
        std::string line;
        do {
            p2f::lay_line(p, "T", line, 72);
        } while (p.ok() && line != "*");
        frc::NBETA0 = frc::NBETAP = model::NBETA;
        run::IOPTN[5] = opt5;
        for (int j = 1; j <= model::NPER; ++j) {
            RDP2FPOT(13, model::IPERFL(j), ierr);
            ASSERT_EQ(ierr, 0);
            EXPECT_EQ(frc::RADVEL.allocated(), opt5 == 1);
            EXPECT_EQ(frc::VDIFP.allocated(), opt5 == 1);
            EXPECT_TRUE(frc::RADSRC.allocated());
            EXPECT_TRUE(frc::DIFSRC.allocated());
        }
        // Past the last period the reader fails with its message.
        screen.str("");
        RDP2FPOT(13, 0, ierr);
        EXPECT_EQ(ierr, 1);
        EXPECT_NE(screen.str().find("Unable to read potentials in .P2F file"), std::string::npos);
        chan::close(13);
        std::filesystem::remove("run.p2f");
    }
    // Neither radiation nor diffraction: a call reads nothing.
    model::IRAD = model::IDIFF = -1;
    int ierr = 0;
    RDP2FPOT(13, 0, ierr);
    EXPECT_EQ(ierr, 0);
}

TEST_F(P2FTest, ScratchRecordsOfOnePeriod) {
    ModelDesc s;
    build_model(s);
    chan::open_scratch(21, chan::Form::Unformatted);
    Arr2<cplx> xr(3, 6);
    Arr3<cplx> xd(3, 1, 1);
    int ierr = 0;
    // Limit period: radiation only; with the source strengths also the
    // radiation velocities, and both velocity arrays are released.
    run::VELRAD.allocate(3, 3, 6);
    run::VELDIF.allocate(3, 3, 1);
    WRSCR21(3, 1, 1, 1, xr, xd, 0, 2, ierr);
    WRSCR21(3, 1, 1, 1, xr, xd, 1, 2, ierr);
    EXPECT_FALSE(run::VELRAD.allocated());
    EXPECT_FALSE(run::VELDIF.allocated());
    // Nothing to write, arrays released all the same.
    run::VELRAD.allocate(1, 1, 1);
    WRSCR21(3, 1, -1, -1, xr, xd, 1, 0, ierr);
    EXPECT_FALSE(run::VELRAD.allocated());
    EXPECT_EQ(ierr, 0);
    chan::rewind(21);
    std::vector<std::size_t> sizes;
    std::vector<char> b;
    while (chan::read_record(21, b) == 0) sizes.push_back(b.size());
    EXPECT_EQ(sizes, std::vector<std::size_t>({3 * 6 * 8, 3 * 6 * 8, 3 * 3 * 6 * 8}));
    // An array too small for its record is an error, not a short record.
    Arr2<cplx> small(2, 6);
    WRSCR21(3, 1, 1, -1, small, xd, 0, 0, ierr);
    EXPECT_EQ(ierr, 1);
}

}  // namespace
}  // namespace zorva::test
