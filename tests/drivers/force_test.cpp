// The FORCE driver: the order of the report sections of each period under the output
// options, and its failure rules.  Each case runs the POTEN stage of a
// small model first, so that the FORCE set-up reads a real .p2f file and
// force control file.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <functional>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "common/channels.hpp"
#include "kernels/wavegreen_fd.hpp"
#include "main/drivers/drivers.hpp"
#include "tests/drivers/fixture.hpp"

namespace zorva {
namespace {

using test::DriverTest;
using V = std::vector<std::string>;

// The sections the FORCE stage writes to the report, in order: the
// period banner, then each output of the period.
V sections(const std::string& report) {
    static const std::pair<const char*, const char*> marks[] = {
        {" Wave period", "period"},
        {"ADDED-MASS", "added mass"},
        {"HASKIND EXCITING", "haskind"},
        {"DIFFRACTION EXCITING", "diffraction"},
        {"RESPONSE AMPLITUDE OPERATORS", "rao"},
        {"HYDRODYNAMIC PRESSURE AT", "body pressure"},
        {"VELOCITY VECTOR AT", "body velocity"},
        {"HYDRODYNAMIC PRESSURE IN FLUID DOMAIN", "field pressure"},
        {"VELOCITY VECTOR IN FLUID DOMAIN", "field velocity"},
        {"(Momentum Conservation)", "drift momentum"},
        {"(Pressure Integration)", "drift pressure"},
        {"(Control Surface)", "drift control surface"},
    };
    V out;
    std::istringstream in(report);
    for (std::string l; std::getline(in, l);)
        for (const auto& [key, name] : marks)
            if (l.find(key) != std::string::npos) out.push_back(name);
    return out;
}

// What the potential control file of a case gives beside its periods.
struct PotSpec {
    const char* hbot = "0.";
    const char* mode = "1 1 1 1 1 1";
    const char* raddiff = "1 1";
    const char* gdf = nullptr;  // the geometry file, when not the fixture's
};

struct ForceCase {
    const char* name;
    std::array<int, 10> ioptn;  // [1..9]
    std::vector<float> per;
    std::vector<int> iperfl;     // what the model input makes of them
    const char* cfg;
    std::function<void(PotSpec&)> pre;  // before the POTEN stage
    std::function<void()> post;  // after it, before the FORCE stage
    int ierr;
    V report;  // the sections of the report
    // The Green-function set-up of the one finite-depth period: 0 not run,
    // 1 run (its coefficients are those of the period), 2 failed.
    int green = 0;
    const char* message = nullptr;  // in the FORCE error log
};

// K/nu of the propagating root of y tanh y = x, x = nu h, in double.
double kappa0(double x) {
    double y = x > 1 ? x : std::sqrt(x);
    for (int k = 0; k < 100; ++k) y -= (y * std::tanh(y) - x) / (std::tanh(y) + y / (std::cosh(y) * std::cosh(y)));
    return y / x;
}

// A screen that calls `f` once when a text holding `key` is written to it:
// a hook into the FORCE set-up at one of its messages.
struct WatchBuf : std::streambuf {
    std::string text, key;
    std::function<void()> f;
    int_type overflow(int_type c) override {
        if (c == traits_type::eof()) return c;
        text.push_back(static_cast<char>(c));
        if (f && text.find(key) != std::string::npos) {
            auto g = std::move(f);
            f = nullptr;
            g();
        }
        return c;
    }
};
WatchBuf watch;
std::ostream watched(&watch);

TEST_F(DriverTest, ForceOrder) {
    const V all = {"period", "added mass", "haskind", "diffraction", "rao", "body pressure", "body velocity",
                   "field pressure", "field velocity", "drift momentum", "drift pressure", "drift control surface"};
    const char* SRC = "ISOR = 1\n";
    auto none = [] {};
    auto plain = [](PotSpec&) {};
    auto finite = [](PotSpec& p) { p.hbot = "2.0"; };
    // Without a control-surface file the run warns and has no
    // control-surface points: the option-9c sections hold zeros.
    const std::vector<ForceCase> cases = {
        {"every option, finite depth, control surface", {0, 1, 1, 1, 1, 3, 1, 1, 1, 2}, {8}, {0}, "ISOR = 1\nICTRSURF = 1\n",
         finite, none, 0, all, 1},
        {"infinite depth: no Green-function set-up", {0, 1, 1, 1, 1, 3, 1, 1, 1, 2}, {8}, {0}, "ISOR = 1\nICTRSURF = 1\n",
         plain, none, 0, all},
        {"zero and infinite periods: added mass only", {0, 1, 1, 1, 1, 3, 1, 1, 1, 1}, {0, -1}, {2, 1}, SRC,
         finite, none, 0,
         {"period", "added mass", "period", "added mass"}},
        {"zero period with the numeric options", {0, 0, 0, 0, 0, 1, 1, 1, 0, 0}, {0}, {2},
         "ISOR = 1\nINUMOPT5 = 1\nINUMOPT7 = 1\n", plain, none, 0,
         {"period", "body pressure", "field velocity"}},
        {"single solution set runs body and field outputs", {0, 0, 0, 0, 0, 1, 1, 0, 0, 0}, {-1}, {1}, SRC,
         [](PotSpec& p) {
             p.mode = "0 0 1 0 0 0";
             p.raddiff = "0 1";
         },
         none, 0,
         {"period", "body pressure", "field pressure"}},
        {"motions read: nothing after them", {0, 0, 0, 0, 2, 1, 1, 0, 1, 1}, {8, 9}, {0, 0},
         "ISOR = 1\nIREADRAO = 1\n", plain, none, 0,
         {"period", "rao", "period", "rao"}},
        {"diffraction forces written, motions from Haskind", {0, 0, 0, 1, 1, 0, 0, 0, 0, 0}, {8}, {0}, SRC, plain,
         none, 0, {"period", "diffraction", "rao"}},
        // A higher-order body whose one patch has no knot intervals: no
        // input panels, and the period's body values and coefficient records
        // hold nothing, but the run goes through.
        {"higher-order body values", {0, 0, 0, 0, 0, 2, 0, 0, 0, 0}, {8}, {0}, SRC,
         [](PotSpec&) { higher_order_body(); }, none, 0, {"period", "body velocity"}},
        // Options 5, 6, 7 and 9 off: the set-up switches the kernel off.
        {"no periods, kernel not needed", {0, 1, 0, 0, 0, 0, 0, 0, 0, 0}, {}, {}, SRC,
         [](PotSpec&) { kernel_body(); }, none, 0, {}},
        // No yaw inertia, restoring, added mass or damping: no motions.  The
        // panel is horizontal about the vertical axis, so that the centre of
        // buoyancy gives the yaw row no coupling either.
        {"motion failure returns at once", {0, 0, 0, 0, 1, 0, 0, 0, 0, 0}, {8, 9}, {0, 0}, SRC,
         [](PotSpec& p) {
             p.gdf = "One square panel\n1.0 9.80665\n0 0\n1\n"
                     "-0.5 -0.5 -0.5  -0.5 0.5 -0.5  0.5 0.5 -0.5  0.5 -0.5 -0.5\n";
         },
         [] {
             write_file("run.frc", "Force control of the test model\n 0 0 0 1 0 0 0 0 0\n0.0\n0 0 0  0 0 0  0 0 0\n0\n0\n");
         },
         1, {"period"}, 0, "Error -- singular matrix in RAO solution"},
        {"higher-order drift", {0, 0, 0, 0, 0, 0, 0, 0, 0, 1}, {8}, {0}, SRC,
         [](PotSpec&) { higher_order_body(); }, none, 0, {"period", "drift pressure"}},
        {"potential read failure", {0, 1, 0, 0, 0, 0, 0, 0, 0, 0}, {8, 9}, {0, 0}, SRC, plain,
         [] {
             std::string b = read_file("run.p2f");
             write_file("run.p2f", b.substr(0, b.size() - 10));
         },
         1, {"period", "added mass"}},
        // The FORCE stage's depth made 1e7 (at the control-surface input of
        // its set-up, after the .p2f file): nu h = 0.0629 * 1e7 is beyond the
        // range of the Green-function set-up.
        {"Green-function failure", {0, 0, 0, 0, 0, 0, 1, 0, 0, 1}, {8}, {0}, "ISOR = 1\nICTRSURF = 1\n", finite,
         [] {
             watch.key = "No control surface found";
             watch.f = [] { model::HBOT = 1.0e7f; };
             chan::set_screen(&watched);
         },
         1, {"period"}, 2},
        // Control surfaces of the second formulation: every period has both
        // drift sections.
        {"control surface, second formulation", {0, 0, 0, 0, 0, 0, 0, 0, 0, 1}, {8, 9}, {0, 0},
         "ISOR = 1\nICTRSURF = 2\n", plain, none, 0,
         {"period", "drift pressure", "drift control surface", "period", "drift pressure", "drift control surface"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        chan::close(1);
        fresh();
        std::filesystem::remove("run.p2f");
        PotSpec ps;
        c.pre(ps);
        std::string per = std::to_string(c.per.size()) + "\n";
        for (float t : c.per) per += std::to_string(t) + " ";
        config(c.cfg, std::string("Test model\n") + (std::strstr(c.cfg, "ISOR") ? "" : "0\n") + "0\n" + ps.hbot +
                          " 0. 0. 0. 0.\n0 0 0\n" + ps.raddiff + "\n" + ps.mode + "\n" + per + "\n1\n0.\n",
               ps.gdf ? ps.gdf : GDF);
        frc_file(c.ioptn);
        poten_file();
        for (std::size_t j = 0; j < c.iperfl.size(); ++j)
            EXPECT_EQ(model::IPERFL(static_cast<int>(j) + 1), c.iperfl[j]);
        wgcoef::reset();  // what the POTEN stage left
        c.post();
        int ierr = -1;
        FORCERUN(ierr);
        EXPECT_EQ(ierr, c.ierr);
        chan::close(11);
        EXPECT_EQ(sections(chan::exists("run.out") ? read_file("run.out") : ""), c.report);
        if (c.green == 1) {
            const double nu = std::pow(2 * M_PI / 8.0, 2) / 9.80665;
            EXPECT_NEAR(wgcoef::AKNU, kappa0(nu * 2.0), 1e-5);
        } else {
            EXPECT_EQ(wgcoef::AKNU, 0.0f);
        }
        chan::close(1);
        const std::string log = read_file("errorf.log");
        EXPECT_EQ(log.find(" Error return in HGRN00: depth HBOT is illegal") != std::string::npos, c.green == 2) << log;
        if (c.message) {
            EXPECT_NE(log.find(c.message), std::string::npos) << log;
        }
        chan::reset();
        chan::set_keyboard(&keyboard);
        chan::set_screen(&screen);
    }
}

// A FORCE stage on the .p2f file of a POTEN stage: the report holds the
// period banner and the sections of options 1 to 4 and 8 in order, and the
// numeric files one record per value.
TEST_F(DriverTest, ForceReportAndNumericFiles) {
    config("", pot("0\n0\n", "0 0 0", "1 1", "1\n8."));
    frc_file({0, 1, 1, 1, 1, 0, 0, 0, 1, 0});
    poten_file();
    int ierr = -1;
    FORCERUN(ierr);
    ASSERT_EQ(ierr, 0);
    chan::close(11);
    const std::string out = read_file("run.out");
    std::size_t at = 0;
    for (const char* t : {" Wave period (sec) =  8.000000E+00", "    ADDED-MASS AND DAMPING COEFFICIENTS",
                          "    HASKIND EXCITING FORCES AND MOMENTS", "    DIFFRACTION EXCITING FORCES AND MOMENTS",
                          "    RESPONSE AMPLITUDE OPERATORS",
                          " SURGE, SWAY & YAW DRIFT FORCES (Momentum Conservation)"}) {
        const std::size_t k = out.find(t, at);
        EXPECT_NE(k, std::string::npos) << t;
        if (k != std::string::npos) at = k;
    }
    const std::pair<const char*, std::size_t> files[] = {
        {"run.1", 36}, {"run.2", 6}, {"run.3", 6}, {"run.4", 6}, {"run.8", 3}};
    for (const auto& [f, n] : files) EXPECT_EQ(read_lines(f).size(), n) << f;
    EXPECT_FALSE(chan::exists("run.5p"));
}

TEST_F(DriverTest, ForceSetupFailures) {
    struct Case {
        const char* name;
        std::function<void()> make;
        const char* message;
    };
    const Case cases[] = {
        {"no force control file", [] { std::filesystem::remove("run.frc"); }, " Unable to open .FRC input file"},
        {"no option set", [] { frc_file({0, 0, 0, 0, 0, 0, 0, 0, 0, 0}); }, "  All option indices IOPTN = 0"},
        {"no .p2f file", [] { std::filesystem::remove("run.p2f"); }, " Unable to open .P2F input file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        chan::close(1);
        fresh();
        std::filesystem::remove("run.p2f");
        config("");
        frc_file({0, 1, 0, 0, 0, 0, 0, 0, 0, 0});
        poten_file();
        c.make();
        model::NRGKBODY = 1;
        int ierr = -1;
        FORCERUN(ierr);
        EXPECT_EQ(ierr, 1);
        EXPECT_EQ(screen.str().find(" Wave period"), std::string::npos);
        EXPECT_FALSE(std::filesystem::exists("rgklog.txt")) << "the kernel is neither set up nor released";
        chan::close(1);
        const auto log = read_lines("errorf.log");
        EXPECT_EQ(log[0], "Warning and error log from FORCE run:  05-Mar-2024 09:07:03");
        EXPECT_NE(std::find(log.begin(), log.end(), c.message), log.end());
        chan::reset();
        chan::set_keyboard(&keyboard);
        chan::set_screen(&screen);
    }
}

// A kernel body whose outputs need the geometry kernel: the set-up loads
// the kernel again from the lines of rgkinit.txt that the .p2f file
// carries, and the stage releases it after its period loop.
TEST_F(DriverTest, ForceKernelLoadedAndReleased) {
    config("ISOR = 1\n", pot("0\n"));
    frc_file({0, 0, 0, 0, 0, 1, 0, 0, 0, 0});
    kernel_body();
    poten_file();
    std::filesystem::remove("rgkinit.txt");
    int ierr = -1;
    FORCERUN(ierr);
    EXPECT_EQ(ierr, 0) << screen.str();
    EXPECT_NE(screen.str().find(" Wave period"), std::string::npos);
    const std::string log = read_file("rgklog.txt");
    EXPECT_NE(log.find("NBODY: 1\n"), std::string::npos) << log;
    EXPECT_NE(log.find(", err = 0\n"), std::string::npos) << log;
    EXPECT_NE(log.find("Executing RGKDONE at "), std::string::npos) << log;
}

}  // namespace
}  // namespace zorva
